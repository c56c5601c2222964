// The memory registry's own test hooks, and Windows rules that only it can be made to show.
#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "platform/reg_text.h"

namespace corvanel::platform::memory {
namespace {

using namespace win;

class MemoryRegistryTest : public ::testing::Test {
 protected:
  MemoryRegistry reg;
  const std::uint8_t one[4] = {1, 0, 0, 0};
};

TEST_F(MemoryRegistryTest, ReadOnlyKeyOpensOnlyForReading) {
  reg.SetDword(HKCU, "\\Locked\\", "n", 5);
  reg.SetReadOnly(HKCU, "Locked");
  RegKey key = 0;
  for (std::uint32_t access : {KEY_ALL_ACCESS, KEY_SET_VALUE, KEY_READ | KEY_CREATE_SUB_KEY, 0x10000u /*DELETE*/}) {
    EXPECT_EQ(kAccessDenied, reg.OpenKey(HKCU, "Locked", access, &key)) << access;
    EXPECT_EQ(kAccessDenied, reg.CreateKey(HKCU, "Locked", access, &key, nullptr)) << access;
  }
  ASSERT_EQ(0, reg.OpenKey(HKCU, "locked", KEY_READ | KEY_WOW64_64KEY, &key));
  std::uint32_t size = 0;
  EXPECT_EQ(0, reg.QueryValue(key, "n", nullptr, nullptr, &size));
  EXPECT_EQ(kAccessDenied, reg.SetValue(key, "n", REG_DWORD, one, 4));
  reg.CloseKey(key);
  EXPECT_EQ(kAccessDenied, reg.CreateKey(HKCU, "Locked\\child", KEY_READ, &key, nullptr));
  EXPECT_EQ(kAccessDenied, reg.DeleteKey(HKCU, "Locked"));
  EXPECT_EQ(std::optional<std::uint32_t>(5), reg.GetDword(HKCU, "Locked", "n"));

  reg.SetReadOnly(HKCU, "Locked", false);
  ASSERT_EQ(0, reg.OpenKey(HKCU, "Locked", KEY_ALL_ACCESS, &key));
  reg.CloseKey(key);
}

TEST_F(MemoryRegistryTest, InjectedWriteFailures) {
  reg.FailWrite(HKCU, "\\Control Panel\\Desktop\\", "Bad", 1021);
  RegKey key = 0;
  ASSERT_EQ(0, reg.CreateKey(HKCU, "control panel\\desktop", KEY_ALL_ACCESS, &key, nullptr));
  EXPECT_EQ(1021, reg.SetValue(key, "bad", REG_DWORD, one, 4));
  EXPECT_EQ(0, reg.SetValue(key, "Good", REG_DWORD, one, 4));
  EXPECT_FALSE(reg.ValueExists(HKCU, "Control Panel\\Desktop", "Bad"));
  reg.CloseKey(key);

  // Below a key: new subkeys, values and deletions; the key's siblings are untouched.
  reg.CreateKeyPath(HKLM, "Software\\Tree\\Old");
  reg.CreateKeyPath(HKLM, "Software\\TreeSibling");
  reg.FailWritesUnder(HKLM, "Software\\Tree", 5);
  EXPECT_EQ(5, reg.CreateKey(HKLM, "Software\\Tree\\New", KEY_ALL_ACCESS, &key, nullptr));
  EXPECT_EQ(5, reg.DeleteKey(HKLM, "Software\\Tree\\Old"));
  ASSERT_EQ(0, reg.OpenKey(HKLM, "Software\\Tree\\Old", KEY_ALL_ACCESS, &key));
  EXPECT_EQ(5, reg.SetValue(key, "v", REG_DWORD, one, 4));
  reg.CloseKey(key);
  ASSERT_EQ(0, reg.CreateKey(HKLM, "Software\\TreeSibling\\x", KEY_ALL_ACCESS, &key, nullptr));
  reg.CloseKey(key);
  // HKCR is the machine's Classes key, so a failure set there reaches writes through HKCR.
  reg.FailWritesUnder(HKLM, "Software\\Classes\\.txt", 1013);
  EXPECT_EQ(1013, reg.CreateKey(HKCR, ".txt", KEY_ALL_ACCESS, &key, nullptr));

  reg.ClearWriteFailures();
  ASSERT_EQ(0, reg.CreateKey(HKCR, ".txt", KEY_ALL_ACCESS, &key, nullptr));
  reg.CloseKey(key);
  EXPECT_TRUE(reg.KeyExists(HKLM, "Software\\Classes\\.TXT"));
}

TEST_F(MemoryRegistryTest, MissingFunctionsAndWow64Answers) {
  reg.CreateKeyPath(HKLM, "Software\\Leaf");
  reg.SetDeleteKeyExAvailable(false);
  EXPECT_EQ(kProcNotFound, reg.DeleteKeyEx(HKLM, "Software\\Leaf", KEY_WOW64_64KEY));
  EXPECT_TRUE(reg.KeyExists(HKLM, "Software\\Leaf"));

  struct Row {
    std::optional<bool> answer;
    bool result, wow64;
  };
  for (const Row& r : {Row{std::nullopt, false, false}, Row{true, true, true}, Row{false, true, false}}) {
    reg.SetWow64Answer(r.answer);
    bool wow64 = false;
    EXPECT_EQ(r.result, reg.IsWow64Process(&wow64));
    EXPECT_EQ(r.wow64, wow64);
  }
}

TEST_F(MemoryRegistryTest, LogsShowWhereAndHowKeysWereOpened) {
  RegKey parent = 0, key = 0;
  ASSERT_EQ(0, reg.CreateKey(HKCU, "Software", KEY_ALL_ACCESS, &parent, nullptr));
  ASSERT_EQ(0, reg.CreateKey(parent, "A\\B", KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key, nullptr));
  ASSERT_EQ(0, reg.SetValue(key, "v", REG_DWORD, one, 4));
  EXPECT_EQ(kFileNotFound, reg.OpenKey(HKLM, "Nope", KEY_READ, &key));
  reg.DeleteKeyEx(HKLM, "Nope", KEY_WOW64_64KEY);

  const auto& log = reg.access_log();
  ASSERT_EQ(4u, log.size());
  EXPECT_EQ("create", log[1].call);
  EXPECT_EQ(HKCU, log[1].root);
  EXPECT_EQ("Software\\A\\B", log[1].path);
  EXPECT_EQ(KEY_ALL_ACCESS | KEY_WOW64_64KEY, log[1].access);
  EXPECT_EQ(kFileNotFound, log[2].result);
  EXPECT_EQ("delete_ex", log[3].call);
  EXPECT_EQ(KEY_WOW64_64KEY, log[3].access);

  const auto& writes = reg.write_log();
  ASSERT_EQ(4u, writes.size());
  EXPECT_EQ("create_key", writes[0].call);
  EXPECT_EQ("Software\\A", writes[1].path);
  EXPECT_EQ("Software\\A\\B", writes[2].path);
  EXPECT_EQ("set_value", writes[3].call);
  EXPECT_EQ("v", writes[3].name);
  reg.CloseKey(key);
  reg.CloseKey(parent);
}

TEST_F(MemoryRegistryTest, HandlesOfDeletedKeysAndPathRules) {
  RegKey key = 0;
  ASSERT_EQ(0, reg.CreateKey(HKCU, "Gone", KEY_ALL_ACCESS, &key, nullptr));
  EXPECT_EQ(1u, reg.open_handle_count());
  ASSERT_EQ(0, reg.DeleteKey(HKCU, "Gone"));
  EXPECT_EQ(1018, reg.SetValue(key, "v", REG_DWORD, one, 4));  // ERROR_KEY_DELETED
  EXPECT_EQ(0, reg.CloseKey(key));
  EXPECT_EQ(0u, reg.open_handle_count());
  EXPECT_EQ(0, reg.CloseKey(HKLM));  // a root is never closed

  // The accessor drops the leading backslash; the registry itself refuses one.
  EXPECT_EQ(161, reg.CreateKey(HKCU, "\\Bad", KEY_ALL_ACCESS, &key, nullptr));
  EXPECT_EQ(161, reg.OpenKey(HKCU, "\\Software", KEY_READ, &key));
  // A trailing backslash is accepted.
  ASSERT_EQ(0, reg.CreateKey(HKCU, "Trailing\\", KEY_ALL_ACCESS, &key, nullptr));
  reg.CloseKey(key);
  EXPECT_EQ(std::vector<std::string>{"Trailing"}, reg.SubkeyNames(HKCU, ""));
}

TEST_F(MemoryRegistryTest, HelpersStoreWhatTheSeamReads) {
  reg.SetString(HKCU, "\\K\\", "s", "text");
  reg.SetExpandString(HKCU, "K", "e", "%SystemRoot%");
  reg.SetMultiString(HKCU, "K", "m", {"a", "b"});
  reg.SetQword(HKCU, "K", "q", 0x0102030405060708ull);
  reg.SetBinary(HKCU, "K", "b", {});
  RegKey key = 0;
  ASSERT_EQ(0, reg.OpenKey(HKCU, "k", KEY_READ, &key));
  std::vector<std::uint8_t> data;
  std::uint32_t type = 0;
  ASSERT_EQ(0, reg.QueryValue(key, "S", &type, &data, nullptr));
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ("text", DecodeRegString(data));
  ASSERT_EQ(0, reg.QueryValue(key, "m", &type, &data, nullptr));
  EXPECT_EQ((std::vector<std::uint8_t>{'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}), data);
  ASSERT_EQ(0, reg.QueryValue(key, "q", &type, &data, nullptr));
  EXPECT_EQ((std::vector<std::uint8_t>{8, 7, 6, 5, 4, 3, 2, 1}), data);
  reg.CloseKey(key);
  EXPECT_EQ(std::optional<std::string>("%SystemRoot%"), reg.GetString(HKCU, "K", "E"));
  EXPECT_EQ(std::nullopt, reg.GetDword(HKCU, "K", "s"));
  EXPECT_EQ((RegValue{REG_BINARY, {}}), reg.Get(HKCU, "K", "b"));
  EXPECT_EQ((std::vector<std::string>{"s", "e", "m", "q", "b"}), reg.ValueNames(HKCU, "K"));
  EXPECT_TRUE(reg.DeleteTree(HKCU, "K"));
  EXPECT_FALSE(reg.KeyExists(HKCU, "K"));
}

}  // namespace
}  // namespace corvanel::platform::memory
