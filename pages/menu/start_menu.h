// The Start Menu page (navigation tag 5): how fast submenus open, the user name and Log
// Off entries, the recent-documents list and whether shortcuts may be dragged and edited.
#pragma once

#include <memory>

#include "ui/page_module.h"

namespace corvanel::pages {

std::unique_ptr<ui::PageModule> CreateStartMenuPage();

}  // namespace corvanel::pages
