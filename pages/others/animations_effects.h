// The Animations and Effects page (navigation tag 1): visual effects, animations, menu
// appearance and font smoothing, on four tabs of `pagecontrol0`.
#pragma once

#include <memory>

#include "ui/page_module.h"

namespace corvanel::pages {

std::unique_ptr<ui::PageModule> CreateAnimationsEffectsPage();

}  // namespace corvanel::pages
