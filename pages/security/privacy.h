// The Privacy page (navigation tag 12): automatic Windows updates, the traces cleared at
// logoff or on leaving Internet Explorer, and two Internet Explorer switches, on three
// tabs of `PageControl10`.
#pragma once

#include <memory>

#include "ui/page_module.h"

namespace corvanel::pages {

std::unique_ptr<ui::PageModule> CreatePrivacyPage();

}  // namespace corvanel::pages
