// The Windows implementation of the seam. Only Windows builds link it.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace corvanel::platform {

// Every interface of platform.h forwarded to the real Windows API of this process.
std::unique_ptr<Platform> MakeWin32Platform();

}  // namespace corvanel::platform
