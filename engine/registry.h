// The registry accessor every part of the program uses. Locations are written as a root
// (HKCR, HKCU, HKLM) plus a key path; a leading backslash means "from the root", a path
// without one is taken from the open key (or the root when none is open).
//
// Opening, existence tests and deletions report failure through their result. Reads
// throw RegistryError only on a type mismatch, writes only when the registry refuses.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace corvanel::engine {

class RegistryError : public std::runtime_error {
 public:
  RegistryError(long code, std::string key, std::string value, const std::string& what);
  long code() const { return code_; }
  const std::string& key() const { return key_; }
  const std::string& value() const { return value_; }

 private:
  long code_;
  std::string key_;
  std::string value_;
};

// DataType codes of a setting record, as ValueType reports them.
enum DataTypeCode : std::uint8_t {
  kTypeOther = 0,
  kTypeText = 1,
  kTypeExpandText = 2,
  kTypeNumber = 3,
  kTypeBinary = 4,
  // REG_QWORD's own code. ValueType and reads report a QWORD as kTypeOther; only a caller
  // that asks for the 64-bit number (ReadQword) and writes it back uses this code.
  kTypeQword = 11,
};
std::uint8_t DataTypeOfRegType(std::uint32_t reg_type);

// A key handle that closes itself.
class KeyHandle {
 public:
  KeyHandle() = default;
  KeyHandle(platform::Registry& registry, platform::RegKey key) : registry_(&registry), key_(key) {}
  KeyHandle(KeyHandle&& other) noexcept;
  KeyHandle& operator=(KeyHandle&& other) noexcept;
  KeyHandle(const KeyHandle&) = delete;
  KeyHandle& operator=(const KeyHandle&) = delete;
  ~KeyHandle() { Reset(); }

  platform::RegKey get() const { return key_; }
  explicit operator bool() const { return key_ != 0; }
  void Reset();

 private:
  platform::Registry* registry_ = nullptr;
  platform::RegKey key_ = 0;
};

class TRegistry {
 public:
  // Full access in the process's own view; Use64BitView adds KEY_WOW64_64KEY.
  explicit TRegistry(platform::Registry& registry);

  void SelectRoot(platform::RegKey root);
  platform::RegKey Root() const { return root_; }

  void Use64BitView(bool on);
  std::uint32_t Access() const { return access_; }

  bool OpenPath(const std::string& path, bool create);
  void CloseKey();
  bool HasOpenKey() const { return static_cast<bool>(current_); }
  // Path of the open key from the root, without leading backslash.
  const std::string& CurrentPath() const { return current_path_; }

  bool PathExists(const std::string& path);

  bool HasValue(const std::string& name);
  int ValueType(const std::string& name);
  int ValueSize(const std::string& name);

  std::string ReadText(const std::string& name);
  std::int32_t ReadNumber(const std::string& name);
  std::uint64_t ReadQword(const std::string& name);
  int ReadBytes(const std::string& name, std::uint8_t* buffer, std::size_t size);
  // All stored bytes of a binary (or unknown-typed) value; empty when it cannot be queried.
  std::vector<std::uint8_t> ReadBytes(const std::string& name);

  void WriteText(const std::string& name, const std::string& text);
  void WriteExpandText(const std::string& name, const std::string& text);
  void WriteNumber(const std::string& name, std::int32_t n);
  void WriteQword(const std::string& name, std::uint64_t n);
  void WriteBytes(const std::string& name, const std::uint8_t* bytes, std::size_t size);
  void WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    WriteBytes(name, bytes.data(), bytes.size());
  }

  bool RemoveValue(const std::string& name);
  bool RemoveTree(const std::string& path);
  std::vector<std::string> SubkeyNames();

 private:
  struct Target {
    platform::RegKey base;
    std::string subkey;
    bool relative;
  };
  Target Resolve(const std::string& path) const;
  bool RemoveTreeAt(platform::RegKey base, const std::string& subkey);
  bool Query(const std::string& name, std::uint32_t* type, std::vector<std::uint8_t>* data, std::uint32_t* size);
  void Write(const std::string& name, std::uint32_t type, const std::uint8_t* data, std::size_t size);
  [[noreturn]] void Fail(long code, const std::string& name, const char* what) const;

  platform::Registry& registry_;
  platform::RegKey root_ = platform::HKCU;
  std::uint32_t access_ = platform::win::KEY_ALL_ACCESS;
  KeyHandle current_;
  std::string current_path_;
};

// Deletes a key without subkeys in the 64-bit view (RegDeleteKeyExW). `subpath` has no
// leading backslash. 0 on success; -1 when the function is missing or the call fails.
std::int32_t DeleteKey64(platform::Registry& registry, platform::RegKey root, const std::string& subpath);

// True only for a 32-bit process on 64-bit Windows. Asked anew at every call.
bool IsWow64(platform::Registry& registry);

}  // namespace corvanel::engine
