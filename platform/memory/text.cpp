#include "platform/memory/text.h"

#include <cstdint>

#include "platform/reg_text.h"

namespace corvanel::platform::memory {
namespace {

char16_t Upper(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
  if (c == 0xFF) return 0x178;
  // Latin Extended-A pairs: upper case even in these ranges, odd in the others.
  if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) {
    return static_cast<char16_t>(c & ~1u);
  }
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
    return (c % 2 == 0) ? static_cast<char16_t>(c - 1) : c;
  }
  if (c == 0x3C2) return 0x3A3;
  if (c >= 0x3B1 && c <= 0x3C9) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
  return c;
}

// Windows-1252 bytes 0x80..0x9F; the five undefined ones map to the C1 control of the
// same value, as MultiByteToWideChar does.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool Match(const std::u16string& p, std::size_t pi, const std::u16string& n, std::size_t ni) {
  while (pi < p.size()) {
    if (p[pi] == u'*') {
      while (pi < p.size() && p[pi] == u'*') ++pi;
      if (pi == p.size()) return true;
      for (std::size_t k = ni; k <= n.size(); ++k) {
        if (Match(p, pi, n, k)) return true;
      }
      return false;
    }
    if (ni == n.size()) return false;
    if (p[pi] != u'?' && p[pi] != n[ni]) return false;
    ++pi;
    ++ni;
  }
  return ni == n.size();
}

std::u16string Fold16(const std::string& utf8) {
  std::u16string s = Utf8ToUtf16(utf8);
  for (auto& c : s) c = Upper(c);
  return s;
}

}  // namespace

std::string FoldCase(const std::string& utf8) { return Utf16ToUtf8(Fold16(utf8)); }

bool EqualsNoCase(const std::string& a, const std::string& b) { return Fold16(a) == Fold16(b); }

std::string Cp1252ToUtf8(const std::string& ansi) {
  std::u16string wide;
  wide.reserve(ansi.size());
  for (char ch : ansi) {
    const auto b = static_cast<unsigned char>(ch);
    wide.push_back(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : static_cast<char16_t>(b));
  }
  return Utf16ToUtf8(wide);
}

std::string Utf8ToCp1252(const std::string& utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  std::string out;
  out.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const char16_t c = wide[i];
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    char mapped = '?';
    for (int k = 0; k < 32; ++k) {
      if (kHigh[k] == c) mapped = static_cast<char>(0x80 + k);
    }
    // A character outside the BMP is one '?', not two.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) ++i;
    out.push_back(mapped);
  }
  return out;
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  // "*.*" is FindFirstFile's way of saying every name, with or without a dot.
  const std::u16string p = pattern == "*.*" ? u"*" : Fold16(pattern);
  return Match(p, 0, Fold16(name), 0);
}

}  // namespace corvanel::platform::memory
