#include "platform/win32/wide_text.h"

#include <cwchar>

#include "platform/reg_text.h"

namespace corvanel::platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 code units");

std::wstring Widen(std::string_view utf8) {
  const std::u16string u = Utf8ToUtf16(std::string(utf8));
  return std::wstring(u.begin(), u.end());
}

std::string Narrow(std::wstring_view utf16) {
  return Utf16ToUtf8(std::u16string(utf16.begin(), utf16.end()));
}

std::string Narrow(const wchar_t* utf16) {
  return utf16 ? Narrow(std::wstring_view(utf16, std::wcslen(utf16))) : std::string();
}

}  // namespace corvanel::platform::win32
