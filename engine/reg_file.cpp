#include "engine/reg_file.h"

#include <cstdio>
#include <string_view>

#include "platform/reg_text.h"

namespace corvanel::engine {

namespace win = platform::win;

namespace {

constexpr const char* kCrLf = "\r\n";
// Registry Editor breaks hex data before a line passes this many characters.
constexpr std::size_t kHexLineLimit = 76;

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

// A REG_SZ that reads back as exactly these bytes from "..." form: one terminating NUL,
// and no line breaks or other control characters, which the quoted form cannot hold.
bool QuotableText(const std::vector<std::uint8_t>& bytes, std::string* text) {
  *text = platform::DecodeRegString(bytes);
  for (const char c : *text) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
  }
  return platform::EncodeRegString(*text) == bytes;
}

std::string TrimmedPath(std::string_view path) {
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return std::string(path);
}

std::string KeyName(platform::RegKey root, const std::string& path) {
  const std::string trimmed = TrimmedPath(path);
  return trimmed.empty() ? RegRootName(root) : RegRootName(root) + "\\" + trimmed;
}

bool IsKeyDeleteAction(std::int32_t action) { return action == kActionDeleteKey || action == kActionDeleteKey64; }
bool IsValueDeleteAction(std::int32_t action) {
  return action == kActionDeleteValue || action == kActionDeleteValue64;
}

std::string DescribeSpi(const TRegRecor& r) {
  std::string text = "System parameter " + SpiActionName(r.SpiAction) + ": uiParam " + std::to_string(r.SpiUiParam);
  if (const auto* block = std::get_if<std::vector<std::uint8_t>>(&r.SpiPvParam)) {
    text += ", parameter block";
    char hex[4];
    for (const std::uint8_t b : *block) {
      std::snprintf(hex, sizeof hex, " %02x", b);
      text += hex;
    }
  } else {
    text += ", pvParam " + std::to_string(std::get<std::uint32_t>(r.SpiPvParam));
  }
  return text;
}

// Consecutive lines under one key share its header; a new key (or a key delete) ends the
// block with an empty line, as Registry Editor writes them.
class Body {
 public:
  void Key(const std::string& key) {
    if (open_ && key == key_) return;
    Close();
    text_ += "[" + key + "]" + kCrLf;
    key_ = key;
    open_ = true;
  }
  void Line(const std::string& line) { text_ += line + kCrLf; }
  void DeleteKey(const std::string& key) {
    Close();
    text_ += "[-" + key + "]" + kCrLf + kCrLf;
  }
  std::string Take() {
    Close();
    return std::move(text_);
  }

 private:
  void Close() {
    if (open_) text_ += kCrLf;
    open_ = false;
  }
  std::string text_;
  std::string key_;
  bool open_ = false;
};

}  // namespace

std::string RegRootName(platform::RegKey root) {
  switch (root) {
    case platform::HKCU: return "HKEY_CURRENT_USER";
    case platform::HKLM: return "HKEY_LOCAL_MACHINE";
    case platform::HKCR: return "HKEY_CLASSES_ROOT";
    default: return {};
  }
}

std::string RegValueNameText(const std::string& value_name) {
  return value_name.empty() ? std::string("@") : Quoted(value_name);
}

std::string RegValueLine(const std::string& lead, std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
  std::string text;
  if (type == win::REG_SZ && QuotableText(bytes, &text)) return lead + Quoted(text);
  char buffer[16];
  if (type == win::REG_DWORD && bytes.size() == 4) {
    const std::uint32_t n = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    std::snprintf(buffer, sizeof buffer, "dword:%08x", static_cast<unsigned>(n));
    return lead + buffer;
  }
  std::string line = lead;
  if (type == win::REG_BINARY) {
    line += "hex:";
  } else {
    std::snprintf(buffer, sizeof buffer, "hex(%x):", static_cast<unsigned>(type));
    line += buffer;
  }
  std::size_t column = line.size();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, "%02x", bytes[i]);
    line += buffer;
    column += 2;
    if (i + 1 < bytes.size()) {
      line += ',';
      ++column;
      if (column >= kHexLineLimit) {
        line += "\\\r\n  ";
        column = 2;
      }
    }
  }
  return line;
}

std::string RegFileText(const std::vector<TRegRecor>& records, platform::System& system,
                        const std::vector<std::string>& comments) {
  std::vector<std::string> notes = comments;
  Body body;
  for (const TRegRecor& r : records) {
    if (r.Kind == kKindSpi) {
      notes.push_back(DescribeSpi(r));
      if (SpiRecordRemovesValue(r)) {
        body.Key(KeyName(platform::HKCU, r.KeyPath));
        body.Line(RegValueNameText(r.ValueName) + "=-");
      }
      continue;
    }
    if (RegRootName(r.RootKey).empty()) {
      notes.push_back("Not in this file: " + r.Name + " (root " + std::to_string(r.RootKey) + ")");
      continue;
    }
    const std::string key = KeyName(r.RootKey, r.KeyPath);
    if (IsKeyDeleteAction(r.Action)) {
      body.DeleteKey(key);
      continue;
    }
    if (IsValueDeleteAction(r.Action)) {
      body.Key(key);
      body.Line(RegValueNameText(r.ValueName) + "=-");
      continue;
    }
    std::optional<StoredValue> stored;
    try {
      stored = StoredValueOf(r, system);
    } catch (const ValueConversionError& e) {
      // Apply stops at such a record; the file leaves it out and says so.
      notes.push_back("Not in this file: " + r.Name + " (" + e.what() + ")");
      continue;
    }
    body.Key(key);
    if (stored) body.Line(RegValueLine(RegValueNameText(r.ValueName) + "=", stored->type, stored->bytes));
  }

  std::string text = std::string("Windows Registry Editor Version 5.00") + kCrLf + kCrLf;
  if (!notes.empty()) {
    for (const std::string& note : notes) text += "; " + note + kCrLf;
    text += kCrLf;
  }
  return text + body.Take();
}

std::vector<std::uint8_t> RegFileBytes(const std::string& text) {
  const std::u16string wide = platform::Utf8ToUtf16(text);
  std::vector<std::uint8_t> bytes;
  bytes.reserve(2 + 2 * wide.size());
  bytes.push_back(0xFF);
  bytes.push_back(0xFE);
  for (const char16_t c : wide) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return bytes;
}

}  // namespace corvanel::engine
