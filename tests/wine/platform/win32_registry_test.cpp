// Registry behaviour that only the real system shows: key security, the 64-bit form of
// the predefined roots, UTF-16 names, run-time lookups.
#include <gtest/gtest.h>

#include <string>

#include "platform/reg_text.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"
#include "tests/platform/contract.h"

namespace corvanel::platform {
namespace {

using win32::UniqueKey;
using win32::Widen;

class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = contract::ContractScratchKey();
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, Widen(path_).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, key_.out(), nullptr));
  }
  void TearDown() override {
    Unlock();
    key_.reset();
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) RegDeleteTreeW(root, Widen(path_).c_str());
  }

  // Leaves only read access for everyone: the state of a policy key the user may read
  // but not change.
  void LockReadOnly() {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone));
    alignas(DWORD) unsigned char acl_buffer[256];
    auto* acl = reinterpret_cast<ACL*>(acl_buffer);
    ASSERT_TRUE(InitializeAcl(acl, sizeof(acl_buffer), ACL_REVISION));
    ASSERT_TRUE(AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, everyone));
    SECURITY_DESCRIPTOR sd;
    ASSERT_TRUE(InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE));
    const LONG rc = RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, &sd);
    FreeSid(everyone);
    ASSERT_EQ(ERROR_SUCCESS, rc);
    locked_ = true;
  }
  void Unlock() {
    if (!locked_) return;
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE);  // no DACL: full access again
    RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, &sd);
    locked_ = false;
  }

  std::unique_ptr<Platform> platform_ = contract::MakePlatformUnderTest();
  Registry& reg_ = platform_->registry();
  std::string path_;
  UniqueKey key_;
  bool locked_ = false;
};

TEST_F(Win32RegistryTest, ReadOnlyKeyRefusesWriteAccessButOpensForReading) {
  const DWORD seven = 7;
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key_.get(), L"Kept", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&seven), 4));
  LockReadOnly();

  RegKey key = 123;
  EXPECT_EQ(win::kAccessDenied, reg_.OpenKey(HKCU, path_, KEY_ALL_ACCESS, &key));
  EXPECT_EQ(0u, key);
  EXPECT_EQ(win::kAccessDenied, reg_.CreateKey(HKCU, path_, KEY_ALL_ACCESS, &key, nullptr));

  for (DWORD access : {DWORD{KEY_READ}, DWORD{KEY_READ | KEY_WOW64_64KEY}, DWORD{0x20009}}) {
    SCOPED_TRACE(access);
    ASSERT_EQ(win::kSuccess, reg_.OpenKey(HKCU, path_, access, &key));
    std::vector<std::uint8_t> data;
    EXPECT_EQ(win::kSuccess, reg_.QueryValue(key, "Kept", nullptr, &data, nullptr));
    EXPECT_EQ((std::vector<std::uint8_t>{7, 0, 0, 0}), data);
    const std::uint8_t one[4] = {1, 0, 0, 0};
    EXPECT_EQ(win::kAccessDenied, reg_.SetValue(key, "Kept", REG_DWORD, one, 4));
    EXPECT_EQ(win::kSuccess, reg_.CloseKey(key));
  }
}

// The seam carries the roots as 0x8000000x; on 64-bit Windows the real constants are
// sign-extended, and a zero-extended value is just an invalid handle.
TEST_F(Win32RegistryTest, SeamRootsAreTheSystemsRoots) {
  struct Row {
    RegKey seam;
    HKEY system;
  };
  for (const Row& row : {Row{HKCU, HKEY_CURRENT_USER}, Row{HKLM, HKEY_LOCAL_MACHINE}}) {
    SCOPED_TRACE(row.seam);
    RegKey key = 0;
    ASSERT_EQ(win::kSuccess, reg_.CreateKey(row.seam, path_, KEY_ALL_ACCESS, &key, nullptr));
    const std::vector<std::uint8_t> text = EncodeRegString("root check");
    ASSERT_EQ(win::kSuccess, reg_.SetValue(key, "Where", REG_SZ, text.data(), static_cast<std::uint32_t>(text.size())));
    EXPECT_EQ(win::kSuccess, reg_.CloseKey(key));

    wchar_t buffer[32] = {};
    DWORD size = sizeof(buffer);
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueW(row.system, Widen(path_).c_str(), L"Where", RRF_RT_REG_SZ, nullptr, buffer, &size));
    EXPECT_STREQ(L"root check", buffer);
  }
  // Closing a root is harmless, and the root stays usable.
  EXPECT_EQ(win::kSuccess, reg_.CloseKey(HKCU));
  RegKey again = 0;
  EXPECT_EQ(win::kSuccess, reg_.OpenKey(HKCU, path_, KEY_READ, &again));
  reg_.CloseKey(again);
}

TEST_F(Win32RegistryTest, NamesReachTheSystemAsUtf16) {
  const std::string key_name = "K\xC3\xA4se-\xE2\x82\xAC-\xF0\x9D\x84\x9E";  // Käse-€-𝄞
  const std::wstring key_wide = L"K\u00e4se-\u20ac-\U0001D11E";
  const std::string value_name = "Gr\xC3\xBC\xC3\x9F" "e";
  RegKey key = 0;
  ASSERT_EQ(win::kSuccess, reg_.CreateKey(HKCU, path_ + "\\" + key_name, KEY_ALL_ACCESS, &key, nullptr));
  const std::uint8_t byte = 1;
  ASSERT_EQ(win::kSuccess, reg_.SetValue(key, value_name, REG_BINARY, &byte, 1));
  reg_.CloseKey(key);

  UniqueKey raw;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(key_.get(), key_wide.c_str(), 0, KEY_READ, raw.out()));
  DWORD size = 0;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(raw.get(), L"Gr\u00fc\u00dfe", nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(1u, size);

  RegKey parent = 0;
  ASSERT_EQ(win::kSuccess, reg_.OpenKey(HKCU, path_, KEY_READ, &parent));
  std::string name;
  EXPECT_EQ(win::kSuccess, reg_.EnumKey(parent, 0, &name));
  EXPECT_EQ(key_name, name);
  reg_.CloseKey(parent);
}

// Value names may be far longer than key names; enumeration must not cut them off.
TEST_F(Win32RegistryTest, LongValueNamesEnumerateWhole) {
  for (std::size_t length : {std::size_t{255}, std::size_t{256}, std::size_t{300}, std::size_t{4000}}) {
    SCOPED_TRACE(length);
    const std::string name(length, 'v');
    RegKey key = 0;
    ASSERT_EQ(win::kSuccess, reg_.OpenKey(HKCU, path_, KEY_ALL_ACCESS, &key));
    const std::uint8_t byte = 0;
    ASSERT_EQ(win::kSuccess, reg_.SetValue(key, name, REG_BINARY, &byte, 1));
    std::string got;
    EXPECT_EQ(win::kSuccess, reg_.EnumValue(key, 0, &got));
    EXPECT_EQ(name, got);
    EXPECT_EQ(win::kSuccess, reg_.DeleteValue(key, name));
    EXPECT_EQ(win::kNoMoreItems, reg_.EnumValue(key, 0, &got));
    reg_.CloseKey(key);
  }
}

TEST_F(Win32RegistryTest, RunTimeLookupsFindTheirFunctions) {
  // Found: a missing key is the function's own answer, not "no such function".
  EXPECT_EQ(win::kFileNotFound, reg_.DeleteKeyEx(HKCU, path_ + "\\Missing", KEY_WOW64_64KEY));
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(key_.get(), L"Leaf", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           UniqueKey().out(), nullptr));
  EXPECT_EQ(win::kSuccess, reg_.DeleteKeyEx(HKCU, path_ + "\\Leaf", KEY_WOW64_64KEY));
  EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(key_.get(), L"Leaf", 0, KEY_READ, UniqueKey().out()));

  bool wow64 = true;
  ASSERT_TRUE(reg_.IsWow64Process(&wow64));
  EXPECT_FALSE(wow64) << "a 64-bit process is not a WOW64 process";
}

}  // namespace
}  // namespace corvanel::platform
