// The Security Center page (navigation tag 18): the Security Center service, its warning
// balloons and the screen saver's grace period, on two tabs of `PageControl17`.
#pragma once

#include <memory>

#include "ui/page_module.h"

namespace corvanel::pages {

std::unique_ptr<ui::PageModule> CreateSecurityCenterPage();

}  // namespace corvanel::pages
