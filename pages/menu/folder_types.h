// The Folder Types page (navigation tag 3): how Explorer folder windows look and behave
// (tree view, menu bar, detail pane, remembered views, info tips, colours, icon sorting,
// thumbnails, check-box selection), and the two buttons that open the folder dialog.
#pragma once

#include <memory>

#include "folder_dialog/folder_dialog.h"
#include "ui/page_module.h"

namespace corvanel::pages {

// `show_modal` shows the folder dialog as a modal window (the renderer's); without one the
// two "Settings" buttons do nothing.
std::unique_ptr<ui::PageModule> CreateFolderTypesPage(folder_dialog::ShowModal show_modal = {});

}  // namespace corvanel::pages
