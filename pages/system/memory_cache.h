// The Memory and Cache page (navigation tag 15): paging of drivers and kernel, clearing
// the page file at shutdown, and what physical memory favours, on two tabs of `pagmemroy`.
#pragma once

#include <memory>

#include "ui/page_module.h"

namespace corvanel::pages {

std::unique_ptr<ui::PageModule> CreateMemoryCachePage();

}  // namespace corvanel::pages
