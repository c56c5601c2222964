// UTF-8 <-> UTF-16 at the Windows boundary. The one conversion every W-call of
// platform/win32 and ui/win32 goes through, so that text has a single encoding rule
// (invalid sequences and unpaired surrogates become U+FFFD, see platform/reg_text.h).
#pragma once

#include <string>
#include <string_view>

namespace corvanel::platform::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
// A NUL-terminated wide string; null gives "".
std::string Narrow(const wchar_t* utf16);

}  // namespace corvanel::platform::win32
