#include "lang/ini_file.h"

#include <algorithm>

#include "platform/reg_text.h"

namespace corvanel::lang {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view Trim(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

char16_t FoldUnit(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
  if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x0391 && c <= 0x03A9 && c != 0x03A2) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x0400 && c <= 0x040F) return static_cast<char16_t>(c + 0x50);
  return c;
}

std::string DecodeUtf16(const std::vector<std::uint8_t>& bytes, bool big_endian) {
  std::u16string units;
  units.reserve((bytes.size() - 2) / 2);
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto hi = big_endian ? bytes[i] : bytes[i + 1];
    const auto lo = big_endian ? bytes[i + 1] : bytes[i];
    units.push_back(static_cast<char16_t>((hi << 8) | lo));
  }
  return platform::Utf16ToUtf8(units);
}

// True when `s` is well-formed UTF-8 (no overlong forms, surrogates or values above
// U+10FFFF), so the common case needs no conversion.
bool IsValidUtf8(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const std::size_t n = s.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t len = 0;
    char32_t v = 0;
    if ((c & 0xE0) == 0xC0) {
      len = 2;
      v = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
      v = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
      v = c & 0x07;
    } else {
      return false;
    }
    if (i + len > n) return false;
    for (std::size_t k = 1; k < len; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      v = (v << 6) | (p[i + k] & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (v < kMin[len] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return false;
    i += len;
  }
  return true;
}

}  // namespace

std::string FoldCase(std::string_view text) {
  const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) {
    std::string out(text);
    for (char& c : out) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
    }
    return out;
  }
  std::u16string units = platform::Utf8ToUtf16(std::string(text));
  for (char16_t& c : units) c = FoldUnit(c);
  return platform::Utf16ToUtf8(units);
}

std::string DecodeTextFile(const std::vector<std::uint8_t>& bytes, platform::System& system) {
  const std::size_t n = bytes.size();
  if (n >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    std::string text(bytes.begin() + 3, bytes.end());
    // Malformed sequences must not reach the rest of the program: a round trip through
    // UTF-16 replaces them with U+FFFD.
    if (!IsValidUtf8(text)) text = platform::Utf16ToUtf8(platform::Utf8ToUtf16(text));
    return text;
  }
  if (n >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return DecodeUtf16(bytes, false);
  if (n >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) return DecodeUtf16(bytes, true);
  return system.AnsiToUtf8(std::string(bytes.begin(), bytes.end()));
}

TExtIniFile::TExtIniFile(platform::Files& files, platform::System& system) : files_(&files), system_(&system) {}

bool TExtIniFile::LoadFromFile(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  if (!files_->ReadFile(path, &bytes)) return false;
  LoadFromBytes(bytes);
  return true;
}

void TExtIniFile::LoadFromBytes(const std::vector<std::uint8_t>& bytes) { Parse(DecodeTextFile(bytes, *system_)); }

void TExtIniFile::Clear() {
  sections_.clear();
  section_index_.clear();
}

void TExtIniFile::Parse(const std::string& text) {
  Clear();
  Section* current = nullptr;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = pos;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    const std::string_view line = Trim(std::string_view(text).substr(pos, end - pos));
    pos = end + 1;
    if (end < text.size() && text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;

    if (line.empty() || line.front() == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      const std::string_view name = Trim(line.substr(1, line.size() - 2));
      const auto [it, added] = section_index_.emplace(FoldCase(name), sections_.size());
      if (added) sections_.push_back(Section{std::string(name), {}, {}});
      current = &sections_[it->second];
      continue;
    }
    if (current == nullptr) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      current->entries.push_back(Entry{std::string(line), std::string::npos});
      continue;
    }
    const std::string_view key = Trim(line.substr(0, eq));
    const std::string_view value = Trim(line.substr(eq + 1));
    std::string stored;
    stored.reserve(key.size() + 1 + value.size());
    stored.append(key).append("=").append(value);
    // emplace keeps an existing key: the first occurrence wins.
    current->index.emplace(FoldCase(key), current->entries.size());
    current->entries.push_back(Entry{std::move(stored), key.size()});
  }
}

const TExtIniFile::Section* TExtIniFile::FindSection(std::string_view section) const {
  const auto it = section_index_.find(FoldCase(section));
  return it == section_index_.end() ? nullptr : &sections_[it->second];
}

const TExtIniFile::Entry* TExtIniFile::FindEntry(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (s == nullptr) return nullptr;
  const auto it = s->index.find(FoldCase(key));
  return it == s->index.end() ? nullptr : &s->entries[it->second];
}

std::string TExtIniFile::ReadString(std::string_view section, std::string_view key, const std::string& def) const {
  const Entry* e = FindEntry(section, key);
  return e == nullptr ? def : e->line.substr(e->key_length + 1);
}

bool TExtIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return FindEntry(section, key) != nullptr;
}

bool TExtIniFile::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

std::vector<std::string> TExtIniFile::ReadSectionValues(std::string_view section) const {
  std::vector<std::string> out;
  if (const Section* s = FindSection(section)) {
    out.reserve(s->entries.size());
    for (const Entry& e : s->entries) out.push_back(e.line);
  }
  return out;
}

std::vector<std::string> TExtIniFile::ReadSections() const {
  std::vector<std::string> out;
  out.reserve(sections_.size());
  for (const Section& s : sections_) out.push_back(s.name);
  return out;
}

}  // namespace corvanel::lang
