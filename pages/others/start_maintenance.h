// The Start and Maintenance page (navigation tag 16): boot defragmentation and disk-scan
// delay, ending programs that do not respond, the shell process, and the reaction to
// errors, on four tabs of `PagStart_manege`.
#pragma once

#include <memory>

#include "ui/page_module.h"

namespace corvanel::pages {

std::unique_ptr<ui::PageModule> CreateStartMaintenancePage();

}  // namespace corvanel::pages
