// Shared fixture of the contract tests: a fresh platform and fresh scratch keys below
// HKCU and HKLM, removed with everything below them afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/platform/contract.h"

namespace corvanel::contract {

using platform::RegKey;

// Closes the key it holds.
class ScopedKey {
 public:
  ScopedKey(platform::Registry& reg, RegKey key) : reg_(&reg), key_(key) {}
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  ~ScopedKey() {
    if (key_ != 0) reg_->CloseKey(key_);
  }
  RegKey get() const { return key_; }

 private:
  platform::Registry* reg_;
  RegKey key_;
};

// Deletes `path` below `parent` with all its subkeys, deepest first.
inline void DeleteTreeThroughSeam(platform::Registry& reg, RegKey parent, const std::string& path) {
  RegKey key = 0;
  if (reg.OpenKey(parent, path, platform::win::KEY_ALL_ACCESS, &key) != 0) return;
  std::vector<std::string> names;
  std::string name;
  for (std::uint32_t i = 0; reg.EnumKey(key, i, &name) == 0; ++i) names.push_back(name);
  reg.CloseKey(key);
  for (const auto& n : names) DeleteTreeThroughSeam(reg, parent, path + "\\" + n);
  reg.DeleteKey(parent, path);
}

class ContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_ = MakePlatformUnderTest();
    scratch_ = ContractScratchKey();
    for (RegKey root : {platform::HKCU, platform::HKLM}) {
      DeleteTreeThroughSeam(reg(), root, scratch_);
      RegKey key = 0;
      ASSERT_EQ(0, reg().CreateKey(root, scratch_, platform::win::KEY_ALL_ACCESS, &key, nullptr));
      reg().CloseKey(key);
    }
  }
  void TearDown() override {
    for (RegKey root : {platform::HKCU, platform::HKLM}) {
      DeleteTreeThroughSeam(reg(), root, scratch_);
      // Fails harmlessly while other runs still have keys there.
      reg().DeleteKey(root, "Software\\CorvanelContract");
    }
  }

  platform::Registry& reg() { return platform_->registry(); }
  platform::Platform& sys() { return *platform_; }

  // Opens (creating) the scratch key or a key below it.
  RegKey Create(RegKey root, const std::string& below = "",
                std::uint32_t access = platform::win::KEY_ALL_ACCESS) {
    RegKey key = 0;
    const std::string path = below.empty() ? scratch_ : scratch_ + "\\" + below;
    EXPECT_EQ(0, reg().CreateKey(root, path, access, &key, nullptr)) << path;
    return key;
  }
  long Open(RegKey root, const std::string& below, std::uint32_t access, RegKey* key) {
    return reg().OpenKey(root, below.empty() ? scratch_ : scratch_ + "\\" + below, access, key);
  }
  std::vector<std::string> SubkeysOf(RegKey key) {
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t i = 0; reg().EnumKey(key, i, &name) == 0; ++i) names.push_back(name);
    return names;
  }
  std::vector<std::string> ValuesOf(RegKey key) {
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t i = 0; reg().EnumValue(key, i, &name) == 0; ++i) names.push_back(name);
    return names;
  }

  std::unique_ptr<platform::Platform> platform_;
  std::string scratch_;
};

}  // namespace corvanel::contract
