// The Mozilla Firefox page (navigation tag 9): twelve Firefox preferences on the tabs of
// `PagFirefox`, changed at once in the preference list that Apply saves as user.js; a
// "No fireFox" tab with a link to the Firefox web site when Firefox is not installed.
#pragma once

#include <memory>

#include "ui/page_module.h"

namespace corvanel::pages {

// The address the "No fireFox" tab shows and opens.
inline constexpr const char* kFirefoxWebSite = "https://www.mozilla.org/firefox/";

std::unique_ptr<ui::PageModule> CreateFirefoxPage();

}  // namespace corvanel::pages
