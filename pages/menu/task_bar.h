// The Task Bar page (navigation tag 6): flashing buttons, how window buttons look and
// group, where minimized windows go, and the notification area.
#pragma once

#include <memory>

#include "ui/page_module.h"

namespace corvanel::pages {

std::unique_ptr<ui::PageModule> CreateTaskBarPage();

}  // namespace corvanel::pages
