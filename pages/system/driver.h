// The Driver page (navigation tag 14): NTFS options, UDMA66, the low-disk-space warning,
// CD media-change monitoring and AutoPlay, on three tabs of `pagDriver`.
#pragma once

#include <memory>

#include "ui/page_module.h"

namespace corvanel::pages {

std::unique_ptr<ui::PageModule> CreateDriverPage();

}  // namespace corvanel::pages
