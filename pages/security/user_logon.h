// The User Logon page (navigation tag 13): the logon screen, automatic logon with a
// stored user and password, and the notice shown before logon, on three tabs of
// `Pagautologin`.
#pragma once

#include <memory>

#include "ui/page_module.h"

namespace corvanel::pages {

std::unique_ptr<ui::PageModule> CreateUserLogonPage();

}  // namespace corvanel::pages
