// The E-mail page (navigation tag 11): a few settings of Outlook Express, Office Outlook
// 2007 and Windows Messenger, on three tabs of `PageControl9`. Its navigation item is
// hidden; the page still loads and works when tag 11 is opened.
#pragma once

#include <memory>

#include "ui/page_module.h"

namespace corvanel::pages {

std::unique_ptr<ui::PageModule> CreateEmailPage();

}  // namespace corvanel::pages
