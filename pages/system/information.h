// The Information page (navigation tag 17): the registered owner and the installer's user
// data, the common file dialogs, search, and the command prompt's colours, on four tabs
// of `pagcmd`.
#pragma once

#include <memory>

#include "ui/page_module.h"

namespace corvanel::pages {

std::unique_ptr<ui::PageModule> CreateInformationPage();

}  // namespace corvanel::pages
