// The Internet Explorer page (navigation tag 8): start page, history length, media bar,
// window title, toolbar background bitmap, the File menu's New entry, and the Favorites
// folders the user hides or shows.
#pragma once

#include <memory>
#include <string>

#include "ui/page_module.h"

namespace corvanel::pages {

std::unique_ptr<ui::PageModule> CreateInternetExplorerPage();

// Whether Internet Explorer's version text ("8.0000", "11.0000") names version 8 or later,
// judged by its major version as a number; a text without one is no such version.
bool IsIE8OrLater(const std::string& version);

}  // namespace corvanel::pages
