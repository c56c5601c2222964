#include "engine/registry.h"

#include <functional>
#include <utility>

#include "platform/reg_text.h"

namespace corvanel::engine {

namespace win = platform::win;
using platform::RegKey;

namespace {

// Enumeration gives up past this many unreadable entries rather than loop on a broken key.
constexpr std::uint32_t kEnumLimit = 1u << 20;

std::string Describe(const char* what, long code, const std::string& key, const std::string& value) {
  std::string text = what;
  text += " (error " + std::to_string(code) + ")";
  text += " at \"" + key + "\"";
  if (!value.empty()) {
    text += ", value \"" + value + "\"";
  }
  return text;
}

// Windows ignores a trailing separator in a key path; the stand-ins need not, and
// RegDeleteKey* is stricter, so the accessor never passes one on.
std::string TrimTrailingSeparators(std::string path) {
  while (!path.empty() && path.back() == '\\') {
    path.pop_back();
  }
  return path;
}

}  // namespace

RegistryError::RegistryError(long code, std::string key, std::string value, const std::string& what)
    : std::runtime_error(Describe(what.c_str(), code, key, value)),
      code_(code),
      key_(std::move(key)),
      value_(std::move(value)) {}

std::uint8_t DataTypeOfRegType(std::uint32_t reg_type) {
  switch (reg_type) {
    case win::REG_SZ:
      return kTypeText;
    case win::REG_EXPAND_SZ:
      return kTypeExpandText;
    case win::REG_DWORD:
      return kTypeNumber;
    case win::REG_BINARY:
      return kTypeBinary;
    default:
      return kTypeOther;
  }
}

KeyHandle::KeyHandle(KeyHandle&& other) noexcept
    : registry_(std::exchange(other.registry_, nullptr)), key_(std::exchange(other.key_, 0)) {}

KeyHandle& KeyHandle::operator=(KeyHandle&& other) noexcept {
  if (this != &other) {
    Reset();
    registry_ = std::exchange(other.registry_, nullptr);
    key_ = std::exchange(other.key_, 0);
  }
  return *this;
}

void KeyHandle::Reset() {
  if (registry_ != nullptr && key_ != 0) {
    registry_->CloseKey(key_);
  }
  key_ = 0;
}

TRegistry::TRegistry(platform::Registry& registry) : registry_(registry) {}

void TRegistry::SelectRoot(RegKey root) {
  if (root != root_) {
    root_ = root;
    CloseKey();
  }
}

void TRegistry::Use64BitView(bool on) {
  if (on) {
    access_ |= win::KEY_WOW64_64KEY;
  } else {
    access_ &= ~win::KEY_WOW64_64KEY;
  }
}

void TRegistry::CloseKey() {
  current_.Reset();
  current_path_.clear();
}

TRegistry::Target TRegistry::Resolve(const std::string& path) const {
  Target t;
  t.relative = path.empty() || path.front() != '\\';
  t.subkey = TrimTrailingSeparators(t.relative ? path : path.substr(1));
  t.base = (t.relative && current_) ? current_.get() : root_;
  return t;
}

bool TRegistry::OpenPath(const std::string& path, bool create) {
  const Target t = Resolve(path);
  RegKey key = 0;
  long rc;
  if (!create || t.subkey.empty()) {
    rc = registry_.OpenKey(t.base, t.subkey, access_, &key);
  } else {
    rc = registry_.CreateKey(t.base, t.subkey, access_, &key, nullptr);
  }
  if (rc != win::kSuccess || key == 0) {
    return false;
  }
  std::string full = t.subkey;
  if (t.relative && current_) {
    full = current_path_.empty() ? t.subkey : current_path_ + "\\" + t.subkey;
  }
  current_ = KeyHandle(registry_, key);
  current_path_ = std::move(full);
  return true;
}

bool TRegistry::PathExists(const std::string& path) {
  const Target t = Resolve(path);
  const std::uint32_t access = win::STANDARD_RIGHTS_READ | win::KEY_QUERY_VALUE | win::KEY_ENUMERATE_SUB_KEYS |
                               (access_ & (win::KEY_WOW64_64KEY | win::KEY_WOW64_32KEY));
  RegKey key = 0;
  if (registry_.OpenKey(t.base, t.subkey, access, &key) != win::kSuccess || key == 0) {
    return false;
  }
  KeyHandle closer(registry_, key);
  return true;
}

bool TRegistry::Query(const std::string& name, std::uint32_t* type, std::vector<std::uint8_t>* data,
                      std::uint32_t* size) {
  if (!current_) {
    return false;
  }
  return registry_.QueryValue(current_.get(), name, type, data, size) == win::kSuccess;
}

void TRegistry::Fail(long code, const std::string& name, const char* what) const {
  throw RegistryError(code, current_path_, name, what);
}

bool TRegistry::HasValue(const std::string& name) {
  std::uint32_t size = 0;
  return Query(name, nullptr, nullptr, &size);
}

int TRegistry::ValueType(const std::string& name) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (!Query(name, &type, nullptr, &size)) {
    return kTypeOther;
  }
  return DataTypeOfRegType(type);
}

int TRegistry::ValueSize(const std::string& name) {
  std::uint32_t size = 0;
  if (!Query(name, nullptr, nullptr, &size)) {
    return -1;
  }
  return static_cast<int>(size);
}

std::string TRegistry::ReadText(const std::string& name) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  std::vector<std::uint8_t> data;
  if (!Query(name, &type, &data, &size) || size == 0) {
    return {};
  }
  if (type != win::REG_SZ && type != win::REG_EXPAND_SZ) {
    Fail(win::kInvalidParameter, name, "value is not text");
  }
  data.resize(size);
  return platform::DecodeRegString(data);
}

namespace {

// A little-endian number of at most `max_size` bytes (4 or 8) stored as `expected_type`.
// `fail` throws.
std::uint64_t ReadStoredNumber(platform::Registry& registry, platform::RegKey key, const std::string& name,
                               std::uint32_t expected_type, std::uint32_t max_size,
                               const std::function<void(long, const std::string&, const char*)>& fail) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  std::vector<std::uint8_t> data;
  const long rc = registry.QueryValue(key, name, &type, &data, &size);
  if (rc != win::kSuccess) fail(rc, name, "cannot read number");
  if (type != expected_type)
    fail(win::kInvalidParameter, name, max_size == 4 ? "value is not a number" : "value is not a 64-bit number");
  if (size > max_size || data.size() < size)
    fail(win::kMoreData, name, max_size == 4 ? "number is larger than 4 bytes" : "number is larger than 8 bytes");
  std::uint64_t n = 0;
  for (std::uint32_t i = 0; i < size; ++i) n |= static_cast<std::uint64_t>(data[i]) << (8 * i);
  return n;
}

}  // namespace

std::int32_t TRegistry::ReadNumber(const std::string& name) {
  if (!current_) Fail(win::kInvalidHandle, name, "no key is open");
  const auto fail = [this](long rc, const std::string& n, const char* what) { Fail(rc, n, what); };
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(ReadStoredNumber(registry_, current_.get(), name, win::REG_DWORD, 4, fail)));
}

std::uint64_t TRegistry::ReadQword(const std::string& name) {
  if (!current_) Fail(win::kInvalidHandle, name, "no key is open");
  const auto fail = [this](long rc, const std::string& n, const char* what) { Fail(rc, n, what); };
  return ReadStoredNumber(registry_, current_.get(), name, win::REG_QWORD, 8, fail);
}

int TRegistry::ReadBytes(const std::string& name, std::uint8_t* buffer, std::size_t size) {
  std::uint32_t type = 0;
  std::uint32_t stored = 0;
  if (!Query(name, &type, nullptr, &stored)) {
    return 0;
  }
  const std::uint8_t kind = DataTypeOfRegType(type);
  if ((kind != kTypeBinary && kind != kTypeOther) || stored > size) {
    Fail(win::kInvalidParameter, name, "value is not binary or does not fit");
  }
  std::vector<std::uint8_t> data;
  if (!Query(name, &type, &data, &stored)) {
    return 0;
  }
  if (stored > size || data.size() < stored) {
    Fail(win::kMoreData, name, "value changed size while read");
  }
  for (std::uint32_t i = 0; i < stored; ++i) {
    buffer[i] = data[i];
  }
  return static_cast<int>(stored);
}

std::vector<std::uint8_t> TRegistry::ReadBytes(const std::string& name) {
  const int size = ValueSize(name);
  if (size <= 0) {
    return {};
  }
  std::vector<std::uint8_t> out(static_cast<std::size_t>(size));
  out.resize(static_cast<std::size_t>(ReadBytes(name, out.data(), out.size())));
  return out;
}

void TRegistry::Write(const std::string& name, std::uint32_t type, const std::uint8_t* data, std::size_t size) {
  if (!current_) {
    Fail(win::kInvalidHandle, name, "no key is open");
  }
  if (size > 0xFFFFFFFFu) {
    Fail(win::kInvalidParameter, name, "data too large");
  }
  const long rc = registry_.SetValue(current_.get(), name, type, data, static_cast<std::uint32_t>(size));
  if (rc != win::kSuccess) {
    Fail(rc, name, "registry refused the value");
  }
}

void TRegistry::WriteText(const std::string& name, const std::string& text) {
  const auto bytes = platform::EncodeRegString(text);
  Write(name, win::REG_SZ, bytes.data(), bytes.size());
}

void TRegistry::WriteExpandText(const std::string& name, const std::string& text) {
  const auto bytes = platform::EncodeRegString(text);
  Write(name, win::REG_EXPAND_SZ, bytes.data(), bytes.size());
}

void TRegistry::WriteNumber(const std::string& name, std::int32_t n) {
  const auto u = static_cast<std::uint32_t>(n);
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                                 static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
  Write(name, win::REG_DWORD, bytes, sizeof bytes);
}

void TRegistry::WriteQword(const std::string& name, std::uint64_t n) {
  std::uint8_t bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(n >> (8 * i));
  Write(name, win::REG_QWORD, bytes, sizeof bytes);
}

void TRegistry::WriteBytes(const std::string& name, const std::uint8_t* bytes, std::size_t size) {
  Write(name, win::REG_BINARY, bytes, size);
}

bool TRegistry::RemoveValue(const std::string& name) {
  return current_ && registry_.DeleteValue(current_.get(), name) == win::kSuccess;
}

bool TRegistry::RemoveTreeAt(RegKey base, const std::string& subkey) {
  RegKey key = 0;
  if (registry_.OpenKey(base, subkey, access_, &key) == win::kSuccess && key != 0) {
    KeyHandle handle(registry_, key);
    std::uint32_t count = 0;
    std::string name;
    while (count < kEnumLimit && registry_.EnumKey(key, count, &name) != win::kNoMoreItems) {
      ++count;
    }
    for (std::uint32_t i = count; i-- > 0;) {
      if (registry_.EnumKey(key, i, &name) == win::kSuccess && !name.empty()) {
        RemoveTreeAt(key, name);
      }
    }
  }
  return registry_.DeleteKey(base, subkey) == win::kSuccess;
}

bool TRegistry::RemoveTree(const std::string& path) {
  const Target t = Resolve(path);
  // An empty path would name the base key itself: never wipe a whole root or open key.
  if (t.subkey.empty()) {
    return false;
  }
  return RemoveTreeAt(t.base, t.subkey);
}

std::vector<std::string> TRegistry::SubkeyNames() {
  std::vector<std::string> names;
  if (!current_) {
    return names;
  }
  std::string name;
  for (std::uint32_t i = 0; i < kEnumLimit; ++i) {
    const long rc = registry_.EnumKey(current_.get(), i, &name);
    if (rc == win::kNoMoreItems) {
      break;
    }
    if (rc == win::kSuccess) {
      names.push_back(name);
    }
  }
  return names;
}

std::int32_t DeleteKey64(platform::Registry& registry, RegKey root, const std::string& subpath) {
  const std::string subkey = TrimTrailingSeparators(subpath);
  if (subkey.empty()) {
    return -1;
  }
  return registry.DeleteKeyEx(root, subkey, win::KEY_WOW64_64KEY) == win::kSuccess ? 0 : -1;
}

bool IsWow64(platform::Registry& registry) {
  bool wow64 = false;
  return registry.IsWow64Process(&wow64) && wow64;
}

}  // namespace corvanel::engine
