// The Input Options page (navigation tag 4): mouse buttons, wheel, snap to the default
// button, double-click, drag and hover tolerances, the text cursor's blinking and width,
// and the Windows-key shortcuts, on the tabs of `PageControl2`.
#pragma once

#include <memory>

#include "ui/page_module.h"

namespace corvanel::pages {

std::unique_ptr<ui::PageModule> CreateInputOptionsPage();

}  // namespace corvanel::pages
