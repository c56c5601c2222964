#include "engine/registry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "platform/reg_text.h"

namespace corvanel::engine {
namespace {

namespace win = platform::win;
using platform::HKCU;
using platform::HKLM;
using Bytes = std::vector<std::uint8_t>;

class RegistryAccessor : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(mem.open_handle_count(), 0u) << "a key handle was left open"; }
  platform::memory::MemoryRegistry mem;
};

TEST_F(RegistryAccessor, LeadingBackslashStartsAtRootOtherwiseAtOpenKey) {
  mem.SetString(HKCU, "A\\B\\C", "v", "deep");
  mem.SetString(HKCU, "C", "v", "top");
  TRegistry reg(mem);
  ASSERT_TRUE(reg.OpenPath("\\A\\B\\", false));
  EXPECT_EQ(reg.CurrentPath(), "A\\B");
  ASSERT_TRUE(reg.OpenPath("C", false));
  EXPECT_EQ(reg.CurrentPath(), "A\\B\\C");
  EXPECT_EQ(reg.ReadText("v"), "deep");
  ASSERT_TRUE(reg.OpenPath("\\C\\", false));
  EXPECT_EQ(reg.ReadText("v"), "top");
  reg.CloseKey();
  ASSERT_TRUE(reg.OpenPath("C", false)) << "with no key open a relative path starts at the root";
  EXPECT_EQ(reg.ReadText("v"), "top");
}

TEST_F(RegistryAccessor, FailedOpenKeepsThePreviousKey) {
  mem.SetString(HKCU, "A", "v", "a");
  TRegistry reg(mem);
  ASSERT_TRUE(reg.OpenPath("\\A\\", false));
  EXPECT_FALSE(reg.OpenPath("\\Missing\\", false));
  EXPECT_FALSE(mem.KeyExists(HKCU, "Missing"));
  EXPECT_EQ(reg.ReadText("v"), "a");
  ASSERT_TRUE(reg.OpenPath("\\Missing\\Deeper\\", true));
  EXPECT_TRUE(mem.KeyExists(HKCU, "Missing\\Deeper"));
}

TEST_F(RegistryAccessor, SelectRootClosesTheKeyOnlyWhenTheRootChanges) {
  mem.CreateKeyPath(HKCU, "A");
  TRegistry reg(mem);
  ASSERT_TRUE(reg.OpenPath("\\A\\", false));
  reg.SelectRoot(HKCU);
  EXPECT_TRUE(reg.HasOpenKey());
  reg.SelectRoot(HKLM);
  EXPECT_FALSE(reg.HasOpenKey());
  EXPECT_EQ(reg.Root(), HKLM);
}

TEST_F(RegistryAccessor, PathExistsNeedsOnlyReadRightsAndKeepsTheViewFlag) {
  mem.SetReadOnly(HKLM, "Locked");
  for (const bool view64 : {false, true}) {
    SCOPED_TRACE(view64);
    mem.ClearLogs();
    TRegistry reg(mem);
    reg.SelectRoot(HKLM);
    reg.Use64BitView(view64);
    EXPECT_TRUE(reg.PathExists("\\Locked\\"));
    EXPECT_FALSE(reg.HasOpenKey()) << "an existence test must not change the open key";
    EXPECT_FALSE(reg.OpenPath("\\Locked\\", false));
    EXPECT_FALSE(reg.PathExists("\\Nowhere\\"));
    ASSERT_GE(mem.access_log().size(), 2u);
    const std::uint32_t flag = view64 ? win::KEY_WOW64_64KEY : 0;
    EXPECT_EQ(mem.access_log()[0].access, 0x20009u | flag);
    EXPECT_EQ(mem.access_log()[1].access, win::KEY_ALL_ACCESS | flag);
  }
}

TEST_F(RegistryAccessor, ValueQueriesByType) {
  mem.SetString(HKCU, "K", "sz", "abc");
  mem.SetExpandString(HKCU, "K", "ex", "%TEMP%");
  mem.SetDword(HKCU, "K", "dw", 7);
  mem.SetBinary(HKCU, "K", "bin", {1, 2, 3});
  mem.SetMultiString(HKCU, "K", "multi", {"a", "b"});
  mem.SetQword(HKCU, "K", "qw", 1);
  mem.SetString(HKCU, "K", "", "default");
  struct Row {
    const char* name;
    bool has;
    int type;
    int size;
  };
  const Row rows[] = {
      {"sz", true, 1, 8},    {"ex", true, 2, 14},   {"dw", true, 3, 4},       {"bin", true, 4, 3},
      {"multi", true, 0, 10}, {"qw", true, 0, 8},   {"", true, 1, 16},        {"none", false, 0, -1},
  };
  TRegistry reg(mem);
  ASSERT_TRUE(reg.OpenPath("\\K\\", false));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(reg.HasValue(row.name), row.has);
    EXPECT_EQ(reg.ValueType(row.name), row.type);
    EXPECT_EQ(reg.ValueSize(row.name), row.size);
  }
}

TEST_F(RegistryAccessor, ReadsRaiseOnlyOnTypeMismatch) {
  mem.SetString(HKCU, "K", "empty", "");
  mem.SetRaw(HKCU, "K", "nothing", win::REG_SZ, {});
  mem.SetString(HKCU, "K", "sz", "text");
  mem.SetDword(HKCU, "K", "dw", 0xFFFFFFFE);
  mem.SetBinary(HKCU, "K", "bin", {9, 8, 7});
  mem.SetMultiString(HKCU, "K", "multi", {"x"});
  TRegistry reg(mem);
  ASSERT_TRUE(reg.OpenPath("\\K\\", false));

  EXPECT_EQ(reg.ReadText("empty"), "");
  EXPECT_EQ(reg.ReadText("nothing"), "");
  EXPECT_EQ(reg.ReadText("missing"), "");
  EXPECT_EQ(reg.ReadText("sz"), "text");
  EXPECT_THROW(reg.ReadText("dw"), RegistryError);
  EXPECT_THROW(reg.ReadText("bin"), RegistryError);

  EXPECT_EQ(reg.ReadNumber("dw"), -2);
  EXPECT_THROW(reg.ReadNumber("missing"), RegistryError);
  EXPECT_THROW(reg.ReadNumber("sz"), RegistryError);

  std::uint8_t buffer[3] = {};
  EXPECT_EQ(reg.ReadBytes("bin", buffer, sizeof buffer), 3);
  EXPECT_EQ(Bytes(buffer, buffer + 3), (Bytes{9, 8, 7}));
  EXPECT_THROW(reg.ReadBytes("bin", buffer, 2), RegistryError) << "buffer smaller than the data";
  EXPECT_THROW(reg.ReadBytes("sz", buffer, sizeof buffer), RegistryError);
  EXPECT_EQ(reg.ReadBytes("missing", buffer, sizeof buffer), 0);
  EXPECT_EQ(reg.ReadBytes("multi"), mem.Get(HKCU, "K", "multi")->bytes) << "an unknown type reads as raw bytes";
}

TEST_F(RegistryAccessor, WritesStoreExactlyTheDataAndRaiseWhenRefused) {
  TRegistry reg(mem);
  ASSERT_TRUE(reg.OpenPath("\\W\\", true));
  reg.WriteText("t", "h\xC3\xA9");
  reg.WriteExpandText("e", "%SystemRoot%");
  reg.WriteNumber("n", -1);
  reg.WriteBytes("b", Bytes{0, 255});
  reg.WriteBytes("z", Bytes{});
  EXPECT_EQ(mem.Get(HKCU, "W", "t"), (platform::memory::RegValue{win::REG_SZ, platform::EncodeRegString("h\xC3\xA9")}));
  EXPECT_EQ(mem.Get(HKCU, "W", "e"),
            (platform::memory::RegValue{win::REG_EXPAND_SZ, platform::EncodeRegString("%SystemRoot%")}));
  EXPECT_EQ(mem.Get(HKCU, "W", "n"), (platform::memory::RegValue{win::REG_DWORD, {255, 255, 255, 255}}));
  EXPECT_EQ(mem.Get(HKCU, "W", "b"), (platform::memory::RegValue{win::REG_BINARY, {0, 255}}));
  EXPECT_EQ(mem.Get(HKCU, "W", "z"), (platform::memory::RegValue{win::REG_BINARY, {}}));

  mem.FailWrite(HKCU, "W", "t", win::kAccessDenied);
  try {
    reg.WriteText("t", "again");
    FAIL() << "a refused write must raise";
  } catch (const RegistryError& e) {
    EXPECT_EQ(e.code(), win::kAccessDenied);
    EXPECT_EQ(e.key(), "W");
    EXPECT_EQ(e.value(), "t");
  }
  reg.CloseKey();
  EXPECT_THROW(reg.WriteNumber("n", 1), RegistryError) << "no key open";
}

TEST_F(RegistryAccessor, RemoveTreeDeletesNestedKeysButNeverTheBaseKey) {
  mem.SetString(HKCU, "T\\A\\A1\\A11", "v", "x");
  mem.SetString(HKCU, "T\\A\\A2", "v", "x");
  mem.CreateKeyPath(HKCU, "T\\B");
  mem.CreateKeyPath(HKCU, "Keep");
  TRegistry reg(mem);
  EXPECT_TRUE(reg.RemoveTree("\\T\\"));
  EXPECT_FALSE(mem.KeyExists(HKCU, "T"));
  EXPECT_FALSE(reg.RemoveTree("\\T\\"));
  EXPECT_FALSE(reg.RemoveTree("\\"));
  EXPECT_FALSE(reg.RemoveTree(""));
  EXPECT_TRUE(mem.KeyExists(HKCU, "Keep"));
}

TEST_F(RegistryAccessor, RemoveValueAndSubkeyNames) {
  mem.CreateKeyPath(HKLM, "U\\Second");
  mem.CreateKeyPath(HKLM, "U\\First");
  mem.SetString(HKLM, "U", "v", "x");
  TRegistry reg(mem);
  reg.SelectRoot(HKLM);
  EXPECT_TRUE(reg.SubkeyNames().empty()) << "no key open";
  ASSERT_TRUE(reg.OpenPath("\\U\\", false));
  EXPECT_EQ(reg.SubkeyNames(), (std::vector<std::string>{"First", "Second"})) << "the registry keeps subkeys sorted";
  EXPECT_TRUE(reg.RemoveValue("v"));
  EXPECT_FALSE(reg.RemoveValue("v"));
  EXPECT_FALSE(mem.ValueExists(HKLM, "U", "v"));
}

TEST_F(RegistryAccessor, DeleteKey64RemovesOnlyLeavesInThe64BitView) {
  mem.CreateKeyPath(HKLM, "S\\Leaf");
  mem.CreateKeyPath(HKLM, "S\\Parent\\Child");
  EXPECT_EQ(DeleteKey64(mem, HKLM, "S\\Leaf\\"), 0);
  EXPECT_FALSE(mem.KeyExists(HKLM, "S\\Leaf"));
  EXPECT_EQ(DeleteKey64(mem, HKLM, "S\\Parent"), -1);
  EXPECT_TRUE(mem.KeyExists(HKLM, "S\\Parent\\Child"));
  EXPECT_EQ(DeleteKey64(mem, HKLM, "S\\Missing"), -1);
  EXPECT_EQ(DeleteKey64(mem, HKLM, ""), -1);
  for (const auto& a : mem.access_log()) {
    if (a.call == "delete_ex") {
      EXPECT_EQ(a.access, win::KEY_WOW64_64KEY);
    }
  }
  mem.SetDeleteKeyExAvailable(false);
  mem.CreateKeyPath(HKLM, "S\\Other");
  EXPECT_EQ(DeleteKey64(mem, HKLM, "S\\Other"), -1);
  EXPECT_TRUE(mem.KeyExists(HKLM, "S\\Other"));
}

TEST_F(RegistryAccessor, IsWow64OnlyWhenTheFunctionAnswersTrue) {
  const std::pair<std::optional<bool>, bool> rows[] = {{true, true}, {false, false}, {std::nullopt, false}};
  for (const auto& [answer, expected] : rows) {
    mem.SetWow64Answer(answer);
    EXPECT_EQ(IsWow64(mem), expected);
  }
}

}  // namespace
}  // namespace corvanel::engine
