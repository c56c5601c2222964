// The pieces of the Windows platform, one per interface of the seam.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace corvanel::platform::win32 {

std::unique_ptr<Registry> MakeRegistry();
std::unique_ptr<SystemParameters> MakeSystemParameters();
std::unique_ptr<System> MakeSystem();
std::unique_ptr<Services> MakeServices();
std::unique_ptr<Shell> MakeShell();
std::unique_ptr<Restart> MakeRestart();
std::unique_ptr<Files> MakeFiles();
std::unique_ptr<Dialogs> MakeDialogs();
std::unique_ptr<Clock> MakeClock();

}  // namespace corvanel::platform::win32
