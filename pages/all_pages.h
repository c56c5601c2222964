// Every settings page of the main window, in one place.
#pragma once

#include "ui/page_module.h"

namespace corvanel::pages {

// A fresh module for every page the program has.
ui::PageModules CreateAllPages();

}  // namespace corvanel::pages
