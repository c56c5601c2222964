#include "pages/page_rows.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"

namespace corvanel::pages {
namespace {

using platform::HKCU;

constexpr const char* kKey = "\\Software\\Test\\Rows\\";
constexpr const char* kPath = "Software\\Test\\Rows";

class PageRowsTest : public ::testing::Test {
 protected:
  platform::memory::MemoryPlatform memory;
  engine::TCorvanel queue{memory};
};

TEST(AsNumberTest, TakesIntegersAndDecimalTextOnly) {
  struct Row {
    engine::Value value;
    std::optional<std::int32_t> expected;
  };
  const Row rows[] = {
      {engine::MakeInt(7), 7},          {engine::MakeInt(-1), -1},
      {engine::MakeText("1"), 1},       {engine::MakeText(" 42 "), 42},
      {engine::MakeText("+3"), 3},      {engine::MakeText("-12"), -12},
      {engine::MakeText(""), {}},       {engine::MakeText("1a"), {}},
      {engine::MakeText("0x10"), {}},   {engine::MakeText("99999999999"), {}},
      {engine::MakeBytes({1}), {}},     {engine::Value(), {}},
  };
  for (const Row& row : rows) EXPECT_EQ(AsNumber(row.value), row.expected);
}

TEST_F(PageRowsTest, ReadEqualsComparesAsNumberOrText) {
  memory.registry().SetDword(HKCU, kPath, "AsDword", 1);
  memory.registry().SetString(HKCU, kPath, "AsText", "1");
  memory.registry().SetDword(HKCU, kPath, "Two", 2);
  memory.registry().SetBinary(HKCU, kPath, "Bin", {1, 0, 0, 0});
  EXPECT_EQ(ReadEquals(queue, HKCU, kKey, "AsDword", 1), true);
  EXPECT_EQ(ReadEquals(queue, HKCU, kKey, "AsText", 1), true);
  EXPECT_EQ(ReadEquals(queue, HKCU, kKey, "Two", 1), false);
  EXPECT_EQ(ReadEquals(queue, HKCU, kKey, "Bin", 1), false);
  EXPECT_EQ(ReadEquals(queue, HKCU, kKey, "Missing", 1), std::nullopt);
  EXPECT_EQ(ReadEquals(queue, HKCU, "\\Software\\Nowhere\\", "AsDword", 1), std::nullopt);
}

TEST_F(PageRowsTest, ReadNonZeroIgnoresWhatIsNotANumber) {
  memory.registry().SetDword(HKCU, kPath, "Zero", 0);
  memory.registry().SetString(HKCU, kPath, "Five", "5");
  memory.registry().SetString(HKCU, kPath, "Word", "yes");
  EXPECT_EQ(ReadNonZero(queue, HKCU, kKey, "Zero"), false);
  EXPECT_EQ(ReadNonZero(queue, HKCU, kKey, "Five"), true);
  EXPECT_EQ(ReadNonZero(queue, HKCU, kKey, "Word"), std::nullopt);
  EXPECT_EQ(ReadNonZero(queue, HKCU, kKey, "Missing"), std::nullopt);
}

TEST_F(PageRowsTest, KeyReadNeedsADefaultValue) {
  memory.registry().CreateKeyPath(HKCU, "Software\\Test\\Empty");
  memory.registry().SetString(HKCU, "Software\\Test\\Full", "", "x");
  EXPECT_FALSE(ReadKeyHasDefault(queue, HKCU, "\\Software\\Test\\Empty"));
  EXPECT_TRUE(ReadKeyHasDefault(queue, HKCU, "\\Software\\Test\\Full"));
  EXPECT_FALSE(ReadKeyHasDefault(queue, HKCU, "\\Software\\Test\\Missing"));
}

TEST(BitsTest, SetAndClearGrowOnlyWhenNeeded) {
  const engine::Value::Bytes four = {0, 0, 0, 0};
  EXPECT_EQ(WithBit(four, 2, true), (engine::Value::Bytes{4, 0, 0, 0}));
  EXPECT_EQ(WithBit(four, 25, true), (engine::Value::Bytes{0, 0, 0, 2}));
  EXPECT_EQ(WithBit({0xFF}, 0, false), (engine::Value::Bytes{0xFE}));
  EXPECT_EQ(WithBit({}, 9, true), (engine::Value::Bytes{0, 2}));
  EXPECT_TRUE(BitOf({0, 2}, 9));
  EXPECT_FALSE(BitOf({0, 2}, 8));
  EXPECT_FALSE(BitOf({0xFF}, 8));
}

TEST(FlagRecordTest, InvertedPoliciesStoreOneWhenCleared) {
  EXPECT_EQ(FlagRecord("a", HKCU, kKey, "V", true).Value, engine::MakeInt(1));
  EXPECT_EQ(FlagRecord("a", HKCU, kKey, "V", false).Value, engine::MakeInt(0));
  EXPECT_EQ(FlagRecord("a", HKCU, kKey, "NoX", true, true).Value, engine::MakeInt(0));
  EXPECT_EQ(FlagRecord("a", HKCU, kKey, "NoX", false, true).Value, engine::MakeInt(1));
  const TRegRecor r = FlagRecord("a", HKCU, kKey, "V", true);
  EXPECT_EQ(r.DataType, 3);
  EXPECT_EQ(r.Action, engine::kActionWrite);
  EXPECT_EQ(r.Kind, engine::kKindRegistry);
}

TEST(GuardedTest, SwallowsAFailingReadAndGoesOn) {
  int reads = 0;
  Guarded([&] {
    ++reads;
    throw std::runtime_error("wrong type");
  });
  Guarded([&] { ++reads; });
  EXPECT_EQ(reads, 2);
}

}  // namespace
}  // namespace corvanel::pages
