// Registry behaviour both platforms share.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "platform/reg_text.h"
#include "tests/platform/contract_fixture.h"

namespace corvanel::contract {
namespace {

using namespace platform::win;
using Bytes = std::vector<std::uint8_t>;
using platform::HKCU;
using platform::HKLM;

struct TypedValue {
  const char* name;
  std::uint32_t type;
  Bytes bytes;
};

std::vector<TypedValue> AllTypes() {
  return {
      {"sz", REG_SZ, platform::EncodeRegString("text")},
      {"expand", REG_EXPAND_SZ, platform::EncodeRegString("%SystemRoot%\\x")},
      {"dword", REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
      {"binary", REG_BINARY, {0x00, 0xFF, 0x10, 0x00, 0x7F}},
      {"empty binary", REG_BINARY, {}},
      {"multi", REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
      {"qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"none", REG_NONE, {9, 9}},
      {"odd type", 0x4242, {1, 2, 3}},
      {"empty sz", REG_SZ, {}},
      {"large binary", REG_BINARY, Bytes(1000, 0x5A)},
  };
}

TEST_F(ContractTest, EveryValueTypeRoundTripsAsBytes) {
  for (RegKey root : {HKCU, HKLM}) {
    ScopedKey key(reg(), Create(root));
    for (const auto& v : AllTypes()) {
      SCOPED_TRACE(v.name);
      ASSERT_EQ(0, reg().SetValue(key.get(), v.name, v.type, v.bytes.data(), static_cast<std::uint32_t>(v.bytes.size())));
      std::uint32_t type = 0xDEAD;
      std::uint32_t size = 0xDEAD;
      Bytes data;
      ASSERT_EQ(0, reg().QueryValue(key.get(), v.name, &type, &data, &size));
      EXPECT_EQ(v.type, type);
      EXPECT_EQ(v.bytes, data);
      EXPECT_EQ(v.bytes.size(), size);
    }
    // Enumerated with their data, each once, as stored.
    std::map<std::string, std::pair<std::uint32_t, Bytes>> listed;
    std::string name;
    std::uint32_t type = 0;
    Bytes bytes;
    for (std::uint32_t i = 0; reg().EnumValueData(key.get(), i, &name, &type, &bytes) == 0; ++i)
      EXPECT_TRUE(listed.emplace(name, std::make_pair(type, bytes)).second) << name;
    ASSERT_EQ(listed.size(), AllTypes().size());
    for (const auto& want : AllTypes()) EXPECT_EQ(listed[want.name], std::make_pair(want.type, want.bytes)) << want.name;
  }
}

TEST_F(ContractTest, SizeQueryAndBuffersOfAnySize) {
  ScopedKey key(reg(), Create(HKCU));
  const Bytes stored = platform::EncodeRegString("twelve chars");
  ASSERT_EQ(0, reg().SetValue(key.get(), "v", REG_SZ, stored.data(), static_cast<std::uint32_t>(stored.size())));

  // Without a buffer only the size (and type) comes back.
  std::uint32_t size = 0;
  std::uint32_t type = 0;
  EXPECT_EQ(0, reg().QueryValue(key.get(), "v", &type, nullptr, &size));
  EXPECT_EQ(26u, size);
  EXPECT_EQ(REG_SZ, type);

  // A buffer too small, or too large with old content, ends up holding exactly the data.
  for (std::size_t initial : {std::size_t{0}, std::size_t{3}, std::size_t{200}}) {
    Bytes data(initial, 0xAA);
    EXPECT_EQ(0, reg().QueryValue(key.get(), "v", nullptr, &data, nullptr)) << initial;
    EXPECT_EQ(stored, data) << initial;
  }
}

TEST_F(ContractTest, NamesCompareWithoutCaseAndKeepTheirCase) {
  struct Row {
    const char* created;
    const char* looked_up;
  };
  const Row rows[] = {
      {"MixedCase", "mIXEDcASE"},
      {"\xC3\x84rger \xC3\xA9t\xC3\xA9", "\xC3\xA4RGER \xC3\x89T\xC3\x89"},     // Ärger été / äRGER ÉTÉ
      {"\xD0\x9A\xD0\xBB\xD1\x8E\xD1\x87", "\xD0\xBA\xD0\x9B\xD0\xAE\xD0\xA7"},  // Ключ / кЛЮЧ
  };
  ScopedKey scratch(reg(), Create(HKCU));
  for (const auto& r : rows) {
    SCOPED_TRACE(r.created);
    ScopedKey made(reg(), Create(HKCU, r.created));
    const std::uint8_t one[4] = {1, 0, 0, 0};
    ASSERT_EQ(0, reg().SetValue(made.get(), r.created, REG_DWORD, one, 4));

    RegKey other = 0;
    ASSERT_EQ(0, Open(HKCU, r.looked_up, KEY_READ, &other));
    ScopedKey opened(reg(), other);
    Bytes data;
    EXPECT_EQ(0, reg().QueryValue(opened.get(), r.looked_up, nullptr, &data, nullptr));
    EXPECT_EQ(Bytes(one, one + 4), data);

    // Writing under the other spelling replaces the value and keeps the first spelling.
    const std::uint8_t two[4] = {2, 0, 0, 0};
    ASSERT_EQ(0, reg().SetValue(made.get(), r.looked_up, REG_DWORD, two, 4));
    EXPECT_EQ(std::vector<std::string>{r.created}, ValuesOf(made.get()));
    EXPECT_EQ(0, reg().QueryValue(made.get(), r.created, nullptr, &data, nullptr));
    EXPECT_EQ(Bytes(two, two + 4), data);
  }
  std::vector<std::string> expected;
  for (const auto& r : rows) expected.push_back(r.created);
  EXPECT_EQ(expected, SubkeysOf(scratch.get()));
}

TEST_F(ContractTest, DefaultValueIsTheEmptyName) {
  ScopedKey key(reg(), Create(HKCU));
  std::uint32_t size = 0;
  EXPECT_EQ(kFileNotFound, reg().QueryValue(key.get(), "", nullptr, nullptr, &size));

  const Bytes text = platform::EncodeRegString("{7BA4C740-9E81-11CF-99D3-00AA004AE837}");
  ASSERT_EQ(0, reg().SetValue(key.get(), "", REG_SZ, text.data(), static_cast<std::uint32_t>(text.size())));
  Bytes data;
  std::uint32_t type = 0;
  EXPECT_EQ(0, reg().QueryValue(key.get(), "", &type, &data, nullptr));
  EXPECT_EQ(REG_SZ, type);
  EXPECT_EQ(text, data);
  EXPECT_EQ(kFileNotFound, reg().QueryValue(key.get(), "named", nullptr, nullptr, &size));

  EXPECT_EQ(0, reg().DeleteValue(key.get(), ""));
  EXPECT_EQ(kFileNotFound, reg().QueryValue(key.get(), "", nullptr, nullptr, &size));
}

// Windows keeps subkeys sorted without regard to case and enumerates them so; the order
// of values is the system's own (creation order on Windows, sorted under Wine), so only
// their set is part of the contract.
TEST_F(ContractTest, SubkeysEnumerateSortedWithoutCaseValuesAllOnce) {
  ScopedKey key(reg(), Create(HKCU));
  for (const char* name : {"zeta", "Alpha", "mid", "Zulu", "beta"}) {
    ScopedKey sub(reg(), Create(HKCU, name));
    ASSERT_EQ(0, reg().SetValue(key.get(), name, REG_BINARY, nullptr, 0));
  }
  EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "mid", "zeta", "Zulu"}), SubkeysOf(key.get()));
  std::vector<std::string> values = ValuesOf(key.get());
  std::sort(values.begin(), values.end());
  EXPECT_EQ((std::vector<std::string>{"Alpha", "Zulu", "beta", "mid", "zeta"}), values);
  std::string name;
  EXPECT_EQ(kNoMoreItems, reg().EnumKey(key.get(), 5, &name));
  EXPECT_EQ(kNoMoreItems, reg().EnumValue(key.get(), 5, &name));
  std::uint32_t subkeys = 0;
  std::uint32_t values_held = 0;
  EXPECT_EQ(0, reg().QueryKeyCounts(key.get(), &subkeys, &values_held));
  EXPECT_EQ(5u, subkeys);
  EXPECT_EQ(5u, values_held);
}

TEST_F(ContractTest, CreateMakesEveryMissingLevelAndTellsWhetherItWasNew) {
  RegKey key = 0;
  bool created = false;
  const std::string deep = scratch_ + "\\one\\two\\three";
  ASSERT_EQ(0, reg().CreateKey(HKCU, deep, KEY_ALL_ACCESS, &key, &created));
  reg().CloseKey(key);
  EXPECT_TRUE(created);
  ASSERT_EQ(0, reg().CreateKey(HKCU, deep, KEY_ALL_ACCESS, &key, &created));
  reg().CloseKey(key);
  EXPECT_FALSE(created);
  ASSERT_EQ(0, Open(HKCU, "one\\two", KEY_READ, &key));
  ScopedKey two(reg(), key);
  EXPECT_EQ(std::vector<std::string>{"three"}, SubkeysOf(two.get()));
}

TEST_F(ContractTest, DeletingAKeyWithSubkeysFailsAndKeepsIt) {
  ScopedKey leaf(reg(), Create(HKCU, "parent\\child"));
  struct Way {
    const char* name;
    long (*remove)(platform::Registry&, RegKey, const std::string&);
  };
  const Way ways[] = {
      {"DeleteKey", [](platform::Registry& r, RegKey k, const std::string& p) { return r.DeleteKey(k, p); }},
      {"DeleteKeyEx", [](platform::Registry& r, RegKey k, const std::string& p) {
         return r.DeleteKeyEx(k, p, KEY_WOW64_64KEY);
       }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    ScopedKey again(reg(), Create(HKCU, "parent\\child"));
    EXPECT_EQ(kAccessDenied, way.remove(reg(), HKCU, scratch_ + "\\parent"));
    RegKey key = 0;
    ASSERT_EQ(0, Open(HKCU, "parent\\child", KEY_READ, &key));
    reg().CloseKey(key);

    EXPECT_EQ(0, way.remove(reg(), HKCU, scratch_ + "\\parent\\child"));
    EXPECT_EQ(kFileNotFound, Open(HKCU, "parent\\child", KEY_READ, &key));
    EXPECT_EQ(0, way.remove(reg(), HKCU, scratch_ + "\\parent"));
    EXPECT_EQ(kFileNotFound, Open(HKCU, "parent", KEY_READ, &key));
    EXPECT_EQ(kFileNotFound, way.remove(reg(), HKCU, scratch_ + "\\parent"));
  }
}

TEST_F(ContractTest, MissingKeysValuesAndHandles) {
  RegKey key = 0;
  EXPECT_EQ(kFileNotFound, Open(HKCU, "absent", KEY_READ, &key));
  EXPECT_EQ(kFileNotFound, Open(HKLM, "absent\\deeper", KEY_ALL_ACCESS, &key));

  ScopedKey scratch(reg(), Create(HKCU));
  std::uint32_t size = 0;
  EXPECT_EQ(kFileNotFound, reg().QueryValue(scratch.get(), "absent", nullptr, nullptr, &size));
  EXPECT_EQ(kFileNotFound, reg().DeleteValue(scratch.get(), "absent"));
  EXPECT_EQ(kFileNotFound, reg().DeleteKey(scratch.get(), "absent"));

  // A closed handle is no handle any more.
  RegKey closed = Create(HKCU, "closed");
  ASSERT_EQ(0, reg().CloseKey(closed));
  EXPECT_EQ(kInvalidHandle, reg().QueryValue(closed, "x", nullptr, nullptr, &size));
  EXPECT_EQ(kInvalidHandle, reg().CloseKey(closed));
}

TEST_F(ContractTest, AccessRightsOfAHandleAreEnforced) {
  ScopedKey full(reg(), Create(HKCU));
  const std::uint8_t v[4] = {7, 0, 0, 0};
  ASSERT_EQ(0, reg().SetValue(full.get(), "n", REG_DWORD, v, 4));

  RegKey key = 0;
  ASSERT_EQ(0, Open(HKCU, "", KEY_READ, &key));
  ScopedKey read(reg(), key);
  EXPECT_EQ(kAccessDenied, reg().SetValue(read.get(), "n", REG_DWORD, v, 4));
  EXPECT_EQ(kAccessDenied, reg().DeleteValue(read.get(), "n"));
  std::uint32_t size = 0;
  EXPECT_EQ(0, reg().QueryValue(read.get(), "n", nullptr, nullptr, &size));

  ASSERT_EQ(0, Open(HKCU, "", KEY_SET_VALUE, &key));
  ScopedKey write_only(reg(), key);
  EXPECT_EQ(kAccessDenied, reg().QueryValue(write_only.get(), "n", nullptr, nullptr, &size));
  EXPECT_EQ(0, reg().SetValue(write_only.get(), "m", REG_DWORD, v, 4));
}

TEST_F(ContractTest, The64BitViewFlagOpensTheSameKeys) {
  for (RegKey root : {HKCU, HKLM}) {
    ScopedKey plain(reg(), Create(root, "wow"));
    const std::uint8_t v[4] = {5, 0, 0, 0};
    ASSERT_EQ(0, reg().SetValue(plain.get(), "n", REG_DWORD, v, 4));
    RegKey key = 0;
    ASSERT_EQ(0, Open(root, "wow", KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key));
    ScopedKey wide(reg(), key);
    Bytes data;
    EXPECT_EQ(0, reg().QueryValue(wide.get(), "n", nullptr, &data, nullptr));
    EXPECT_EQ(Bytes(v, v + 4), data);
    ASSERT_EQ(0, reg().CreateKey(root, scratch_ + "\\wow\\sub", KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key, nullptr));
    reg().CloseKey(key);
    EXPECT_EQ(std::vector<std::string>{"sub"}, SubkeysOf(plain.get()));
  }
}

TEST_F(ContractTest, TextSurvivesAStringValue) {
  ScopedKey key(reg(), Create(HKCU));
  const std::string texts[] = {
      "",
      "plain ASCII",
      "Gr\xC3\xBC\xC3\x9F" "e \xE2\x80\x93 \xE2\x82\xAC",  // Grüße – €
      "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",              // 日本語
      "emoji \xF0\x9F\x8E\x89",                            // outside the BMP
  };
  for (const auto& text : texts) {
    SCOPED_TRACE(text);
    const Bytes bytes = platform::EncodeRegString(text);
    ASSERT_EQ(0, reg().SetValue(key.get(), "t", REG_SZ, bytes.data(), static_cast<std::uint32_t>(bytes.size())));
    Bytes back;
    ASSERT_EQ(0, reg().QueryValue(key.get(), "t", nullptr, &back, nullptr));
    EXPECT_EQ(bytes, back);
    EXPECT_EQ(text, platform::DecodeRegString(back));
  }
}

TEST_F(ContractTest, IsWow64ProcessAnswers) {
  // A 64-bit test process, or the memory platform's default: a 32-bit Windows.
  bool wow64 = true;
  EXPECT_TRUE(reg().IsWow64Process(&wow64));
  EXPECT_FALSE(wow64);
}

}  // namespace
}  // namespace corvanel::contract
