// The Network page (navigation tag 7): what My Network Places searches and lists, Universal
// Plug and Play and QoS, network passwords, dial-up connections at logoff and the Windows
// Firewall, on the tabs of `PageControl5`.
#pragma once

#include <memory>

#include "ui/page_module.h"

namespace corvanel::pages {

std::unique_ptr<ui::PageModule> CreateNetworkPage();

}  // namespace corvanel::pages
