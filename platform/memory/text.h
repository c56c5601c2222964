// Text rules the memory platform shares between its parts.
#pragma once

#include <string>

namespace corvanel::platform::memory {

// Upper-cases a UTF-8 name the way Windows compares registry, service, file and
// environment names: ASCII, Latin-1, Latin Extended-A, basic Greek and Cyrillic.
std::string FoldCase(const std::string& utf8);
bool EqualsNoCase(const std::string& a, const std::string& b);

// Windows-1252 conversions; what the code page cannot hold becomes '?'.
std::string Cp1252ToUtf8(const std::string& ansi);
std::string Utf8ToCp1252(const std::string& utf8);

// FindFirstFile-style match of a whole name against "*" and "?" (case-insensitive).
bool WildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace corvanel::platform::memory
