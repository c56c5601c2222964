#include "pages/system/input_options.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/pages/page_harness.h"

namespace corvanel::pages {
namespace {

using engine::TRegRecor;
using forms::Button;
using forms::Control;
using forms::Edit;
using forms::RadioButton;
using forms::TrackBar;
using forms::UpDown;
using platform::HKCU;
namespace spi = platform::memory::spi;

constexpr const char* kDesktop = "\\Control Panel\\Desktop\\";
constexpr const char* kPolicies = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";

constexpr const char* kSwap = "Checkbox_Use_MouseFunction_ChangeKey_Change";
constexpr const char* kRollAScreen = "Radio_Use_MouseFunction_Wheel_RollAScreen";
constexpr const char* kRollRow = "Radio_Use_MouseFunction_Wheel_RollRow";
constexpr const char* kNotRolling = "Radio_Use_MouseFunction_Wheel_NotRolling";
constexpr const char* kWheel = "UpDown_Use_MouseFunction_Wheel_Count";
constexpr const char* kWheelEdit = "Edit_Use_MouseFunction_Wheel_Count";
constexpr const char* kAutoMove = "Checkbox_Use_MouseFunction_Wheel_AutoMove";
constexpr const char* kDoubleClick = "Updown_Use_MouseSensitivity_DoubleClickError";
constexpr const char* kDrag = "UpDown_Use_MouseSensitivity_Drag";
constexpr const char* kHoverMove = "UpDown_Use_MouseSensitivity_Hover_MoveError";
constexpr const char* kHoverTime = "UpDown_Use_MouseSensitivity_Hover_Time";
constexpr const char* kBlink = "Checkbox_Use_Keyboard_BlinkingCursor_Active";
constexpr const char* kSpeed = "TrackBar_Use_Keyboard_BlinkingCursor_Speed";
constexpr const char* kCaret = "UpDown_Use_Keyboard_CursorWidth_Width";
constexpr const char* kWinKey = "Checkbox_Use_Keyboard_WinKey_Active";

TRegRecor Spi(const std::string& name, std::uint32_t action, std::uint32_t ui) {
  return engine::SpiRecord(name, action, ui, std::uint32_t{0}, 1);
}
TRegRecor BlinkRate(const std::string& name, const std::string& text) {
  return engine::WriteRecord(name, HKCU, kDesktop, "CursorBlinkRate", 1, engine::MakeText(text));
}

class InputOptionsTest : public harness::PageTest {
 protected:
  InputOptionsTest() : PageTest(CreateInputOptionsPage) {}
  void Open(int version_class = 7) { PageTest::Open(version_class); }
  int Position(const char* updown) const { return Get<UpDown>(updown).Position(); }
  int Speed() const { return Get<TrackBar>(kSpeed).Position(); }
  bool Radio(const char* name) const { return Get<RadioButton>(name).Checked(); }
};

// --- loading -------------------------------------------------------------------------

TEST_F(InputOptionsTest, MouseSettingsLoadFromTheSystem) {
  Memory().spi().SetMetric(spi::SM_SWAPBUTTON, 1);
  Memory().spi().SetValue(spi::GETSNAPTODEFBUTTON, 1);
  Memory().spi().SetMetric(spi::SM_CYDOUBLECLK, 7);  // the heights and widths differ on purpose
  Memory().spi().SetMetric(spi::SM_CXDOUBLECLK, 20);
  Memory().spi().SetMetric(spi::SM_CXDRAG, 9);
  Memory().spi().SetMetric(spi::SM_CYDRAG, 30);
  Memory().spi().SetValue(spi::GETMOUSEHOVERWIDTH, 11);
  Memory().spi().SetValue(spi::GETMOUSEHOVERHEIGHT, 40);
  Memory().spi().SetValue(spi::GETMOUSEHOVERTIME, 0x10000 + 250);
  Open();
  EXPECT_TRUE(Checked(kSwap));
  EXPECT_TRUE(Checked(kAutoMove));
  EXPECT_EQ(Position(kDoubleClick), 3);
  EXPECT_EQ(Position(kDrag), 9);
  EXPECT_EQ(Position(kHoverMove), 5);
  EXPECT_EQ(Position(kHoverTime), 250);
  EXPECT_TRUE(Records().empty());
  EXPECT_FALSE(ApplyEnabled());

  struct Wheel {
    std::optional<std::uint32_t> lines;  // nullopt: the query is refused
    const char* radio;
    bool count_enabled;
    int count;
  };
  for (const Wheel& c : {Wheel{0, kNotRolling, false, 64}, Wheel{0xFFFFFFFF, kRollAScreen, false, 64},
                         Wheel{0x10007, kRollRow, true, 7}, Wheel{std::nullopt, kRollRow, true, 64}}) {
    Reset();
    if (c.lines) Memory().spi().SetValue(spi::GETWHEELSCROLLLINES, *c.lines);
    if (!c.lines) Memory().spi().FailAction(spi::GETWHEELSCROLLLINES);
    Open();
    const std::string what = c.lines ? std::to_string(*c.lines) : "refused";
    EXPECT_TRUE(Radio(c.radio)) << what;
    EXPECT_EQ(Ctl(kWheelEdit).Enabled(), c.count_enabled) << what;
    EXPECT_EQ(Ctl(kWheel).Enabled(), c.count_enabled) << what;
    EXPECT_EQ(Get<Edit>(kWheelEdit).Text(), std::to_string(c.count)) << what;
    EXPECT_TRUE(Records().empty()) << what;
  }
}

TEST_F(InputOptionsTest, KeyboardValuesLoad) {
  struct Case {
    std::function<void()> store;
    bool blink;
    int speed;  // 2000: the design position
    bool speed_enabled;
  };
  const auto rate = [this](const char* text) {
    return [this, text] { Reg().SetString(HKCU, kDesktop, "CursorBlinkRate", text); };
  };
  const Case cases[] = {
      {[] {}, true, 2000, true},
      {rate("530"), true, 1970, true},
      {rate("0"), true, 2500, true},
      {rate("-1"), false, 2000, false},
      {rate("9999999"), false, 2000, false},
      {rate("2600"), true, 2000, true},
      {rate("-20"), true, 2500, true},
      {rate("-2147483648"), true, 2500, true},
      {rate("fast"), true, 2000, true},
      {[this] { Reg().SetDword(HKCU, kDesktop, "CursorBlinkRate", 100); }, true, 2400, true},
      {[this] { Reg().SetBinary(HKCU, kDesktop, "CursorBlinkRate", {1, 2}); }, true, 2000, true},
  };
  for (const Case& c : cases) {
    Reset();
    c.store();
    Open();
    const std::string stored = Reg().GetString(HKCU, kDesktop, "CursorBlinkRate").value_or("(none or no text)");
    EXPECT_EQ(Checked(kBlink), c.blink) << stored;
    EXPECT_EQ(Speed(), c.speed) << stored;
    EXPECT_EQ(Ctl(kSpeed).Enabled(), c.speed_enabled) << stored;
    EXPECT_TRUE(Records().empty()) << stored;
  }

  struct Other {
    std::function<void()> store;
    int caret;  // 10: the field's design number
    bool winkey;
  };
  const Other others[] = {
      {[] {}, 10, true},
      {[this] { Reg().SetDword(HKCU, kDesktop, "CaretWidth", 3); }, 3, true},
      {[this] { Reg().SetString(HKCU, kDesktop, "CaretWidth", "wide"); }, 10, true},
      {[this] { Reg().SetDword(HKCU, kPolicies, "NoWinKeys", 0); }, 10, true},  // the policy set to Disabled
      {[this] { Reg().SetString(HKCU, kPolicies, "NoWinKeys", "x"); }, 10, false},
  };
  for (const Other& c : others) {
    Reset();
    c.store();
    Open();
    EXPECT_EQ(Position(kCaret), c.caret);
    EXPECT_EQ(Checked(kWinKey), c.winkey);
  }
}

// --- changes -------------------------------------------------------------------------

TEST_F(InputOptionsTest, MouseChangesQueueSystemParameterRecords) {
  struct Case {
    const char* control;
    std::function<void()> change;
    std::vector<TRegRecor> records;
  };
  // The memory system starts with double-click and drag rectangles of 4, hover width 4, 400 ms.
  const Case cases[] = {
      {kSwap, [this] { Box(kSwap).UserClick(); }, {Spi(kSwap, 0x0021, 1)}},
      {kAutoMove, [this] { Box(kAutoMove).UserClick(); }, {Spi(kAutoMove, 0x0060, 1)}},
      {kDoubleClick, [this] { Get<UpDown>(kDoubleClick).UserClickUp(); },
       {Spi(kDoubleClick, 0x001E, 6), Spi("Updown_Use_MouseSensitivity_DoubleClickError1", 0x001D, 6)}},
      {kDrag, [this] { Get<UpDown>(kDrag).UserClickUp(); },
       {Spi(kDrag, 0x004D, 5), Spi("UpDown_Use_MouseSensitivity_Drag1", 0x004C, 5)}},
      {kHoverMove, [this] { Get<UpDown>(kHoverMove).UserClickUp(); },
       {Spi(kHoverMove, 0x0065, 6), Spi("UpDown_Use_MouseSensitivity_Hover_MoveError1", 0x0063, 6)}},
      {kHoverTime, [this] { Get<UpDown>(kHoverTime).UserClickDown(); },
       {Spi(kHoverTime, 0x0067, 399)}},
  };
  for (const Case& c : cases) {
    Reset();
    Open();
    c.change();
    EXPECT_EQ(Records(), c.records) << c.control;
    EXPECT_EQ(Records().front().Kind, engine::kKindSpi) << c.control;
    EXPECT_TRUE(ApplyEnabled()) << c.control;
    EXPECT_FALSE(Requests().RestartNeeded) << c.control;
  }
}

TEST_F(InputOptionsTest, AllWheelSendersShareOneRecord) {
  Memory().spi().SetValue(spi::GETWHEELSCROLLLINES, 3);
  Open();
  const auto wheel = [this] { return Records().size() == 1 ? Records()[0].SpiUiParam : 12345u; };
  Get<RadioButton>(kNotRolling).UserClick();
  EXPECT_EQ(wheel(), 0u);
  EXPECT_FALSE(Ctl(kWheel).Enabled());
  Get<RadioButton>(kRollRow).UserClick();
  EXPECT_EQ(Records(), std::vector<TRegRecor>{Spi(kNotRolling, 0x0069, 3)});
  EXPECT_TRUE(Ctl(kWheelEdit).Enabled());
  Get<UpDown>(kWheel).UserClickUp();
  Get<UpDown>(kWheel).UserClickUp();
  EXPECT_EQ(wheel(), 5u);
  Get<RadioButton>(kRollAScreen).UserClick();
  EXPECT_EQ(wheel(), 0xFFFFFFFFu);
  EXPECT_FALSE(Ctl(kWheelEdit).Enabled());
  Apply();
  EXPECT_EQ(Memory().spi().Value(spi::GETWHEELSCROLLLINES), 0xFFFFFFFFu);
}

TEST_F(InputOptionsTest, KeyboardChangesQueueRegistryRecordsAndAskForARestart) {
  Reg().SetString(HKCU, kDesktop, "CursorBlinkRate", "530");
  Reg().SetDword(HKCU, kPolicies, "NoWinKeys", 1);
  Open();
  ASSERT_TRUE(Get<TrackBar>(kSpeed).UserSetPosition(2000));
  EXPECT_EQ(Records(), std::vector<TRegRecor>{BlinkRate(kSpeed, "500")});
  EXPECT_TRUE(Requests().RestartNeeded);
  Box(kBlink).UserClick();
  EXPECT_EQ(Records(), (std::vector<TRegRecor>{BlinkRate(kSpeed, "500"), BlinkRate(kBlink, "-1")}));
  EXPECT_FALSE(Ctl(kSpeed).Enabled());
  Box(kBlink).UserClick();
  EXPECT_EQ(*Record(kBlink), BlinkRate(kBlink, "500"));
  EXPECT_TRUE(Ctl(kSpeed).Enabled());

  Requests().RestartNeeded = false;
  Get<UpDown>(kCaret).UserClickDown();
  EXPECT_EQ(*Record(kCaret), engine::WriteRecord(kCaret, HKCU, kDesktop, "CaretWidth", 3, engine::MakeInt(9)));
  EXPECT_TRUE(Requests().RestartNeeded);

  Requests().RestartNeeded = false;
  Box(kWinKey).UserClick();
  EXPECT_EQ(*Record(kWinKey), engine::DeleteValueRecord(kWinKey, HKCU, kPolicies, "NoWinKeys"));
  EXPECT_EQ(Record(kWinKey)->Action, engine::kActionDeleteValue);
  EXPECT_TRUE(Requests().RestartNeeded);
  Box(kWinKey).UserClick();
  EXPECT_EQ(*Record(kWinKey), engine::WriteRecord(kWinKey, HKCU, kPolicies, "NoWinKeys", 3, engine::MakeInt(1)));
}

// The two names of the blink rate write one value; Apply leaves the latest choice.
TEST_F(InputOptionsTest, TheBlinkRateEndsAsLastChosen) {
  Reg().SetString(HKCU, kDesktop, "CursorBlinkRate", "530");
  Open();
  Get<TrackBar>(kSpeed).UserSetPosition(2000);
  Box(kBlink).UserClick();
  Box(kBlink).UserClick();
  Get<TrackBar>(kSpeed).UserSetPosition(1000);
  Apply();
  EXPECT_EQ(Reg().GetString(HKCU, kDesktop, "CursorBlinkRate"), "1500");

  Get<TrackBar>(kSpeed).UserSetPosition(2200);
  Box(kBlink).UserClick();
  Apply();
  EXPECT_EQ(Reg().GetString(HKCU, kDesktop, "CursorBlinkRate"), "-1");
}

// --- Default buttons ------------------------------------------------------------------

TEST_F(InputOptionsTest, DefaultButtonsQueueOnlyWhatTheyChange) {
  struct Case {
    const char* button;
    std::function<void()> prepare;
    std::vector<std::string> queued;
  };
  const Case cases[] = {
      {"Button_Use_MouseFunction_Default",
       [this] {
         Memory().spi().SetMetric(spi::SM_SWAPBUTTON, 1);
         Memory().spi().SetValue(spi::GETWHEELSCROLLLINES, 0);
       },
       {kSwap, kNotRolling}},
      {"Button_Use_MouseFunction_Default",
       [this] { Memory().spi().SetValue(spi::GETSNAPTODEFBUTTON, 1); }, {kAutoMove}},
      {"Button_Use_MouseSensitivity_Default",
       [this] {
         Memory().spi().SetMetric(spi::SM_CXDRAG, 8);
         Memory().spi().SetValue(spi::GETMOUSEHOVERTIME, 100);
       },
       {kDrag, "UpDown_Use_MouseSensitivity_Drag1", kHoverTime}},
      // Blinking at 530 with the keys off: the box clears (and so writes "-1"), the keys come
      // back; the caret width was the design 10.
      {"Button_Use_Keyboard_WinKey_Default",
       [this] {
         Reg().SetString(HKCU, kDesktop, "CursorBlinkRate", "530");
         Reg().SetDword(HKCU, kPolicies, "NoWinKeys", 1);
       },
       {kBlink, kCaret, kWinKey}},
  };
  for (const Case& c : cases) {
    Reset();
    c.prepare();
    Open();
    ASSERT_TRUE(Get<Button>(c.button).UserClick());
    EXPECT_EQ(Names(), c.queued) << c.button;
    Apply();
    ASSERT_TRUE(Get<Button>(c.button).UserClick());
    EXPECT_TRUE(Records().empty()) << c.button << " pressed twice";
  }
}

TEST_F(InputOptionsTest, DefaultsWriteTheirValues) {
  Memory().spi().SetValue(spi::GETWHEELSCROLLLINES, 0xFFFFFFFF);
  Reg().SetString(HKCU, kDesktop, "CursorBlinkRate", "100");
  Open();
  Get<Button>("Button_Use_MouseFunction_Default").UserClick();
  EXPECT_EQ(*Record(kNotRolling), Spi(kNotRolling, 0x0069, 3));
  Get<Button>("Button_Use_Keyboard_WinKey_Default").UserClick();
  EXPECT_EQ(Speed(), 2000);
  EXPECT_FALSE(Ctl(kSpeed).Enabled());
  // Flashing is off: the bar's new position is kept for when it is switched on again.
  EXPECT_EQ(Record(kSpeed), nullptr);
  Apply();
  EXPECT_EQ(Reg().GetString(HKCU, kDesktop, "CursorBlinkRate"), "-1");
  EXPECT_EQ(Reg().GetDword(HKCU, kDesktop, "CaretWidth"), 1u);
  EXPECT_EQ(Memory().spi().Value(spi::GETWHEELSCROLLLINES), 3u);
  Box(kBlink).UserClick();
  EXPECT_EQ(*Record(kBlink), BlinkRate(kBlink, "500"));
}

// --- versions and layout ------------------------------------------------------------

TEST_F(InputOptionsTest, EveryVersionShowsTheSamePage) {
  for (int version_class : harness::kVersionClasses) {
    Reset();
    Open(version_class);
    const std::string where = "class " + std::to_string(version_class);
    const auto& sheets = Get<forms::PageControl>("PageControl2").Sheets();
    ASSERT_EQ(sheets.size(), 4u) << where;
    EXPECT_EQ(sheets[2]->Name(), "TabSheet11");
    for (const forms::TabSheet* sheet : sheets) {
      EXPECT_EQ(sheet->TabVisible(), sheet->Name() != "TabSheet11") << where << " " << sheet->Name();
      EXPECT_EQ(forms::DescribeLayout(forms::CheckLayout(*sheet)), "") << where << " " << sheet->Name();
    }
    EXPECT_FALSE(Ctl("MaskEdit6").Enabled());
    EXPECT_FALSE(Ctl("UpDowndelay").Enabled());
    EXPECT_EQ(LayoutProblems(), "") << where;
  }
}

}  // namespace
}  // namespace corvanel::pages
