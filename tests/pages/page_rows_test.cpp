#include "pages/page_rows.h"

#include <gtest/gtest.h>

#include "pages/page_layout.h"
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

TEST_F(PageRowsTest, ReadFlagTable) {
  memory.registry().SetDword(HKCU, kPath, "Zero", 0);
  memory.registry().SetDword(HKCU, kPath, "One", 1);
  memory.registry().SetDword(HKCU, kPath, "Two", 2);
  memory.registry().SetString(HKCU, kPath, "TextOne", " 1");
  memory.registry().SetString(HKCU, kPath, "Word", "yes");
  memory.registry().SetBinary(HKCU, kPath, "Bin", {1, 0, 0, 0});
  constexpr auto kNonZero = FlagRead::kNonZero;
  constexpr auto kEqualsOne = FlagRead::kEqualsOne;
  struct Row {
    const char* value;
    FlagRead read;
    bool inverted;
    BoxState missing;
    BoxState expected;
  };
  const Row rows[] = {
      {"Zero", kNonZero, false, kKeep, kCleared},      {"Two", kNonZero, false, kKeep, kChecked},
      {"TextOne", kNonZero, false, kKeep, kChecked},   {"Word", kNonZero, false, kChecked, kKeep},
      {"Bin", kNonZero, false, kCleared, kKeep},       {"Zero", kNonZero, true, kKeep, kChecked},
      {"Two", kNonZero, true, kKeep, kCleared},        {"Word", kNonZero, true, kKeep, kKeep},
      {"One", kEqualsOne, false, kKeep, kChecked},     {"TextOne", kEqualsOne, false, kKeep, kChecked},
      {"Two", kEqualsOne, false, kKeep, kCleared},     {"Word", kEqualsOne, false, kChecked, kCleared},
      {"Bin", kEqualsOne, false, kKeep, kCleared},     {"One", kEqualsOne, true, kKeep, kCleared},
      {"Missing", kNonZero, false, kKeep, kKeep},      {"Missing", kNonZero, false, kChecked, kChecked},
      {"Missing", kNonZero, true, kCleared, kCleared}, {"Missing", kEqualsOne, false, kChecked, kChecked},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ReadFlag(queue, {HKCU, kKey, row.value, row.read, row.inverted, row.missing}), row.expected)
        << row.value << " read " << static_cast<int>(row.read) << " inverted " << row.inverted;
  }
  // A missing key counts as a missing value.
  EXPECT_EQ(ReadFlag(queue, {HKCU, "\\Software\\Nowhere\\", "Zero", kNonZero, false, kChecked}), kChecked);
}

TEST_F(PageRowsTest, ReadNumberNeedsAFoundNumber) {
  memory.registry().SetDword(HKCU, kPath, "Size", 96);
  memory.registry().SetString(HKCU, kPath, "Text", "128 ");
  memory.registry().SetString(HKCU, kPath, "Word", "big");
  EXPECT_EQ(ReadNumber(queue, HKCU, kKey, "Size"), 96);
  EXPECT_EQ(ReadNumber(queue, HKCU, kKey, "Text"), 128);
  EXPECT_EQ(ReadNumber(queue, HKCU, kKey, "Word"), std::nullopt);
  EXPECT_EQ(ReadNumber(queue, HKCU, kKey, "Missing"), std::nullopt);
}

TEST(FlagRecordTest, AFlagRowWritesItsOwnLocation) {
  const RegFlag policy = {HKCU, kKey, "NoX", FlagRead::kNonZero, true, kKeep};
  EXPECT_EQ(FlagRecord("box", policy, false), engine::WriteRecord("box", HKCU, kKey, "NoX", 3, engine::MakeInt(1)));
  EXPECT_EQ(FlagRecord("box", policy, true), engine::WriteRecord("box", HKCU, kKey, "NoX", 3, engine::MakeInt(0)));
  const RegFlag plain = {platform::HKLM, kKey, "V"};
  EXPECT_EQ(FlagRecord("b", plain, true), engine::WriteRecord("b", platform::HKLM, kKey, "V", 3, engine::MakeInt(1)));
}

TEST(TrimmedTest, DropsBlanksAndControlCharactersAtBothEnds) {
  EXPECT_EQ(Trimmed("  vi %1 \t\r\n"), "vi %1");
  EXPECT_EQ(Trimmed("\x01\x1F a  b\x7F"), "a  b\x7F");
  EXPECT_EQ(Trimmed(" \xC3\xA9 "), "\xC3\xA9");  // UTF-8 bytes are no blanks
  EXPECT_EQ(Trimmed(" \t "), "");
  EXPECT_EQ(Trimmed(""), "");
}

TEST(RowNamedTest, FindsByNameOrByAnotherMember) {
  struct Row {
    const char* name;
    const char* button;
  };
  const Row rows[] = {{"a", "x"}, {"b", "y"}};
  EXPECT_EQ(RowNamed(rows, "b"), &rows[1]);
  EXPECT_EQ(RowNamed(rows, "y"), nullptr);
  EXPECT_EQ(RowNamed(rows, "y", &Row::button), &rows[1]);
  EXPECT_EQ(RowNamed(rows, ""), nullptr);
}

TEST(PageLayoutTest, ButtonsLineUpAtTheSheetsBottomRight) {
  for (int count = 1; count <= 3; ++count) {
    for (int i = 0; i < count; ++i) {
      const forms::Rect b = layout::SheetButtonBounds(i, count);
      EXPECT_EQ(b.top, 334);
      EXPECT_LE(b.Bottom(), layout::kSheetHeight);
      if (i + 1 < count) {
        EXPECT_EQ(layout::SheetButtonBounds(i + 1, count).left, b.Right() + layout::kButtonGap);
      }
    }
    EXPECT_EQ(layout::SheetButtonBounds(count - 1, count).Right(), 435) << count;
  }
  EXPECT_EQ(layout::SheetButtonBounds(0, 1, 120).left, 315);
  // Rows fill a group box but for 12 px either side.
  const forms::Rect row = layout::RowBounds(2);
  EXPECT_EQ(row.top, 64);
  EXPECT_EQ(row.left + row.width + layout::kRowLeft, layout::kGroupWidth);
  EXPECT_EQ(layout::GroupBelow(8, 95), 111);
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
