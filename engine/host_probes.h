// Questions the program asks about the machine it runs on. Each call asks the system
// again; none keeps state. Every probe answers from its own checks and never throws.
#pragma once

#include <string>

#include "platform/platform.h"

namespace corvanel::engine {

// "Windows 2000", "Windows XP", "Windows 2003 Server", "Windows Vista", "Windows 7",
// "Windows 8", "Windows NT", or empty text for anything else.
std::string GetWindowsName(platform::Platform& platform);

// The version class the pages test: 8, 7, 6 (Vista), 5 (XP), 4 (2000), else 0.
int VersionClassFromName(const std::string& name);

// 2 running, 0 installed but silent to an interrogation (typically stopped),
// 1 the manager or the service could not be opened, or it answered in another state.
int QueryServiceState(platform::Platform& platform, const std::string& name);

// The "IE" text of the Internet Explorer version vector ("8.0000"), or empty text.
std::string GetIEVersion(platform::Platform& platform);

// True when an uninstall entry's name contains "Mozilla Firefox" in any letter case: the
// machine's, in the program's own registry view or, on a 64-bit Windows, in the 64-bit
// view, or the current user's (Firefox installed for one user only).
bool IsFirefoxInstalled(platform::Platform& platform);

}  // namespace corvanel::engine
