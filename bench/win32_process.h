// The few Windows calls the Apply benchmark makes beside the platform seam. Kept apart
// because <windows.h> macros clash with the seam's constants.
#pragma once

#include <string>

namespace corvanel::bench {

// The temporary folder, UTF-8, with a trailing backslash.
std::string TempFolder();
// Runs a command line with its output discarded; the exit code, or -1 when it did not
// start or did not end within a minute.
long RunQuiet(const std::string& command_line);
void RemoveFile(const std::string& path);

}  // namespace corvanel::bench
