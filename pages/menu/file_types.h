// The File Types page (navigation tag 2): Explorer context-menu entries, what Windows does
// with unknown files and files without an extension, the "Shortcut to" prefix and the
// picture viewer hook.
#pragma once

#include <memory>

#include "ui/page_module.h"

namespace corvanel::pages {

std::unique_ptr<ui::PageModule> CreateFileTypesPage();

}  // namespace corvanel::pages
