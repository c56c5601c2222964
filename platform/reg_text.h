// Conversions between the program's UTF-8 text and the UTF-16LE bytes that the registry
// stores for REG_SZ and REG_EXPAND_SZ values. Portable: used by both platforms and by the
// registry accessor, so that a string value has one encoding on every path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvanel::platform {

// UTF-8 to UTF-16 code units (invalid sequences become U+FFFD).
std::u16string Utf8ToUtf16(const std::string& text);
// UTF-16 code units to UTF-8 (unpaired surrogates become U+FFFD).
std::string Utf16ToUtf8(const std::u16string& text);
// One code point appended as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// The bytes of a REG_SZ value: UTF-16LE with the terminating NUL.
std::vector<std::uint8_t> EncodeRegString(const std::string& text);
// The characters of stored string bytes up to the first NUL (an odd trailing byte is ignored).
std::string DecodeRegString(const std::vector<std::uint8_t>& bytes);

}  // namespace corvanel::platform
