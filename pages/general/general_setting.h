// The General Setting page (navigation tag 19), the page the window opens on: the most
// used settings of the other pages gathered on four tabs of `PageControl_CommonSettings`.
#pragma once

#include <memory>

#include "ui/page_module.h"

namespace corvanel::pages {

std::unique_ptr<ui::PageModule> CreateGeneralSettingPage();

}  // namespace corvanel::pages
