#include "pages/menu/task_bar.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/setting_queue.h"
#include "tests/pages/page_harness.h"

namespace corvanel::pages {
namespace {

using engine::MakeInt;
using engine::TRegRecor;
using forms::Button;
using forms::ComboBox;
using forms::Control;
using forms::Edit;
using forms::RadioButton;
using forms::UpDown;
using platform::HKCU;
using platform::memory::MemoryRegistry;
using platform::memory::MemorySystemParameters;
namespace spi = platform::memory::spi;
using Metrics = MemorySystemParameters::MinimizedMetrics;

constexpr const char* kAdvanced = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
constexpr const char* kPolicies = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";

constexpr const char* kActive = "Checkbox_Taskbar_ButtonFlashes_Active";
constexpr const char* kClick = "Radio_Taskbar_ButtonFlashes_Speed_Click";
constexpr const char* kFlash = "Radio_Taskbar_ButtonFlashes_Speed_Flash";
constexpr const char* kSpeed = "Edit_Taskbar_ButtonFlashes_Speed_Flash";
constexpr const char* kSpeedUpDown = "UpDown_Taskbar_ButtonFlashes_Speed_Flash";
constexpr const char* kTime = "Edit_Taskbar_ButtonFlashes_Common_Time";
constexpr const char* kTimeUpDown = "UpDown_Taskbar_ButtonFlashes_Common_Time";
constexpr const char* kShow = "Checkbox_Taskbar_ButtonAppearance_Show";
constexpr const char* kShowButton = "Checkbox_Taskbar_ButtonAppearance_ShowButton";
constexpr const char* kClassification = "Checkbox_Taskbar_ButtonAppearance_Group_Classification";
constexpr const char* kProgram = "Radio_Taskbar_ButtonAppearance_Group_Program";
constexpr const char* kWindows = "Radio_Taskbar_ButtonAppearance_Group_Windows";
constexpr const char* kAtLeast = "Radio_Taskbar_ButtonAppearance_Group_AtLeast";
constexpr const char* kCount = "Edit_Taskbar_ButtonAppearance_Group_AtLeastCount";
constexpr const char* kCountUpDown = "UpDown_Taskbar_ButtonAppearance_Group_AtLeastCount";
constexpr const char* kLeft = "CB_Taskbar_MinWindows_Position_Left";
constexpr const char* kTop = "CB_Taskbar_MinWindows_Position_Top";
constexpr const char* kArrangement = "CB_Taskbar_MinWindows_Position_Arrangement";
constexpr const char* kTrayTip = "Checkbox_Taskbar_Advanced_SystemTray_TrayTip";
constexpr const char* kBalloonTip = "Checkbox_Taskbar_Advanced_SystemTray_BalloonTip";

const char* const kFlashSix[] = {kClick, kFlash, kSpeed, kSpeedUpDown, kTime, kTimeUpDown};
const char* const kGroupRadios[] = {kProgram, kWindows, kAtLeast};

std::vector<std::uint8_t> Block(std::int32_t width, std::int32_t horz, std::int32_t vert, std::int32_t arrange) {
  const std::int32_t fields[] = {20, width, horz, vert, arrange};
  std::vector<std::uint8_t> block(20);
  std::memcpy(block.data(), fields, sizeof fields);
  return block;
}
TRegRecor ShowRecord(std::vector<std::uint8_t> block) {
  return engine::SpiRecord(kShow, 0x002C, 20, std::move(block), 1);
}
TRegRecor ArrangementRecord(std::vector<std::uint8_t> block) {
  TRegRecor r = engine::SpiRecord(kArrangement, 0x002C, 20, std::move(block), 1);
  r.KeyPath = "\\Control Panel\\Desktop\\WindowMetrics\\";
  r.ValueName = "MinWidth";
  return r;
}
TRegRecor Advanced(const char* name, const char* value, std::int32_t n) {
  return engine::WriteRecord(name, HKCU, kAdvanced, value, 3, MakeInt(n));
}
TRegRecor Tray(std::uint8_t type, engine::Value value) {
  return engine::WriteRecord(kTrayTip, HKCU, kPolicies, "NoTrayItemsDisplay", type, std::move(value));
}

using Store = std::function<void(MemoryRegistry&)>;
void None(MemoryRegistry&) {}
Store Dword(const char* key, const char* value, std::uint32_t n) {
  return [=](MemoryRegistry& r) { r.SetDword(HKCU, key, value, n); };
}
Store Text(const char* key, const char* value, std::string text) {
  return [=](MemoryRegistry& r) { r.SetString(HKCU, key, value, text); };
}
Store TrayBytes(std::vector<std::uint8_t> bytes) {
  return [=](MemoryRegistry& r) { r.SetBinary(HKCU, kPolicies, "NoTrayItemsDisplay", bytes); };
}
Store TrayDword(std::uint32_t n) { return Dword(kPolicies, "NoTrayItemsDisplay", n); }
Store All(std::vector<Store> stores) {
  return [=](MemoryRegistry& r) {
    for (const Store& s : stores) s(r);
  };
}

class TaskBarTest : public harness::PageTest {
 protected:
  TaskBarTest() : PageTest(CreateTaskBarPage) {}
  void Open(int version_class = 5) { PageTest::Open(version_class); }
  MemorySystemParameters& Spi() const { return Memory().spi(); }
  bool Enabled(const char* name) const { return Ctl(name).Enabled(); }
  bool Selected(const char* radio) const { return Get<RadioButton>(radio).Checked(); }
  std::vector<int> Lists() const {
    return {Combo(kLeft).ItemIndex(), Combo(kTop).ItemIndex(), Combo(kArrangement).ItemIndex()};
  }
};

// --- loading -------------------------------------------------------------------------

TEST_F(TaskBarTest, FlashingLoadsFromItsTwoSystemParameters) {
  struct Case {
    std::optional<std::uint32_t> time_out;  // nullopt: the query fails
    std::optional<std::uint32_t> count;
    bool active;
    const char* radio;  // null: neither
    int position;
    bool six_enabled;
    bool speed_enabled;
  };
  const Case cases[] = {
      {200000, 3, true, kFlash, 3, true, true},
      {1, 7, true, kFlash, 7, true, true},
      {0, 0, false, kClick, 3, false, false},
      {200000, 0, true, kClick, 3, true, false},
      {200000, 0x10005, true, kFlash, 5, true, true},  // the low 16 bits
      {std::nullopt, std::nullopt, false, nullptr, 3, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.time_out.value_or(99)) + " / " + std::to_string(c.count.value_or(99)));
    Reset();
    if (c.time_out) Spi().SetValue(spi::GETFOREGROUNDLOCKTIMEOUT, *c.time_out);
    if (c.count) Spi().SetValue(spi::GETFOREGROUNDFLASHCOUNT, *c.count);
    Spi().FailAction(spi::GETFOREGROUNDLOCKTIMEOUT, !c.time_out);
    Spi().FailAction(spi::GETFOREGROUNDFLASHCOUNT, !c.count);
    Open();
    EXPECT_EQ(Checked(kActive), c.active);
    EXPECT_EQ(Selected(kClick), c.radio == kClick);
    EXPECT_EQ(Selected(kFlash), c.radio == kFlash);
    EXPECT_EQ(Get<UpDown>(kSpeedUpDown).Position(), c.position);
    for (const char* name : {kClick, kFlash, kTime, kTimeUpDown}) EXPECT_EQ(Enabled(name), c.six_enabled) << name;
    EXPECT_EQ(Enabled(kSpeed), c.speed_enabled);
    EXPECT_EQ(Enabled(kSpeedUpDown), c.speed_enabled);
    EXPECT_EQ(Get<Edit>(kTime).Text(), "200");
    EXPECT_TRUE(Records().empty());
  }
}

TEST_F(TaskBarTest, ButtonAppearanceLoadsInItsOrderAndTheLastStepDecides) {
  struct Case {
    const char* what;
    int version_class;
    std::int32_t arrange;
    Store store;
    bool show, show_button, show_button_enabled, grouped, radios_enabled;
    const char* radio;  // null: none
    bool count_enabled;
    int count;
  };
  const Case cases[] = {
      {"xp, all missing", 5, 8, None, false, false, true, true, true, kProgram, false, 2},
      {"vista, hidden", 7, 8, None, true, false, true, true, true, kProgram, false, 2},
      {"vista, not hidden", 7, 2, None, false, false, false, true, true, kProgram, false, 2},
      {"animations on, glomming off, at least 3", 5, 8,
       All({Dword(kAdvanced, "TaskbarAnimations", 1), Dword(kAdvanced, "TaskbarGlomming", 0),
            Dword(kAdvanced, "TaskbarGroupSize", 3)}),
       false, true, true, false, false, kAtLeast, true, 3},
      {"animations 0, windows", 5, 8,
       All({Dword(kAdvanced, "TaskbarAnimations", 0), Dword(kAdvanced, "TaskbarGroupSize", 1)}), false, false, true,
       true, true, kWindows, false, 2},
      {"texts", 6, 9,
       All({Text(kAdvanced, "TaskbarAnimations", "on"), Text(kAdvanced, "TaskbarGlomming", "0"),
            Text(kAdvanced, "TaskbarGroupSize", "many")}),
       true, true, true, false, false, nullptr, false, 2},
      {"group size beyond the range", 5, 8, Dword(kAdvanced, "TaskbarGroupSize", 500), false, false, true, true, true,
       kAtLeast, true, 99},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    Spi().set_minimized_metrics({154, 0, 0, c.arrange});
    c.store(Reg());
    Open(c.version_class);
    EXPECT_EQ(Checked(kShow), c.show);
    EXPECT_EQ(Checked(kShowButton), c.show_button);
    EXPECT_EQ(Enabled(kShowButton), c.show_button_enabled);
    EXPECT_EQ(Checked(kClassification), c.grouped);
    for (const char* radio : kGroupRadios) {
      EXPECT_EQ(Enabled(radio), c.radios_enabled) << radio;
      EXPECT_EQ(Selected(radio), c.radio == radio) << radio;
    }
    EXPECT_EQ(Enabled(kCount), c.count_enabled);
    EXPECT_EQ(Enabled(kCountUpDown), c.count_enabled);
    EXPECT_EQ(Get<UpDown>(kCountUpDown).Position(), c.count);
    EXPECT_TRUE(Records().empty());
  }
}

TEST_F(TaskBarTest, ArrangementShowsInTheThreeLists) {
  struct Case {
    std::optional<std::int32_t> arrange;  // nullopt: the query fails
    std::vector<int> lists;               // Left/Right, Top/Bottom, Side by side/Cascading
  };
  const Case cases[] = {
      {0, {0, 1, 0}},  {1, {1, 1, 0}},  {2, {0, 0, 0}},
      {3, {1, 0, 0}},  {10, {0, 0, 0}}, {9, {1, 1, 0}},
      {4, {0, 1, 1}},  {5, {1, 1, 1}},  {6, {0, 0, 1}},
      {7, {1, 0, 1}},  {14, {0, 0, 1}}, {13, {1, 1, 1}},
      {16, {1, 1, 1}}, {-1, {1, 1, 1}}, {std::nullopt, {0, 0, 0}},  // unread: the first items
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arrange.value_or(999));
    Reset();
    if (c.arrange) Spi().set_minimized_metrics({154, 0, 0, *c.arrange});
    Spi().FailAction(spi::GETMINIMIZEDMETRICS, !c.arrange);
    Open();
    EXPECT_EQ(Lists(), c.lists);
  }
}

TEST_F(TaskBarTest, TrayAndBalloonsLoad) {
  struct Case {
    const char* what;
    Store store;
    bool tray;
    bool balloon;
    bool balloon_enabled;
  };
  const Case cases[] = {
      {"missing", None, true, true, true},
      {"binary 01", TrayBytes({1, 0, 0, 0}), false, true, false},
      {"binary 02", TrayBytes({2}), true, true, true},
      {"binary empty", TrayBytes({}), true, true, true},
      {"dword 3", TrayDword(3), false, true, false},
      {"dword 256", TrayDword(256), true, true, true},
      {"text 1", Text(kPolicies, "NoTrayItemsDisplay", "1"), false, true, false},
      {"balloons 0", Dword(kAdvanced, "EnableBalloonTips", 0), true, false, true},
      {"balloons text", Text(kAdvanced, "EnableBalloonTips", "x"), true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    c.store(Reg());
    Open();
    EXPECT_EQ(Checked(kTrayTip), c.tray);
    EXPECT_EQ(Checked(kBalloonTip), c.balloon);
    EXPECT_EQ(Enabled(kBalloonTip), c.balloon_enabled);
    EXPECT_TRUE(Records().empty());
  }
}

// --- changes -------------------------------------------------------------------------

TEST_F(TaskBarTest, FlashingRecordsAndTheirEnabledStates) {
  Open();  // time-out 200000, count 3: checked, Flash
  Box(kActive).UserClick();
  EXPECT_EQ(Records(), std::vector<TRegRecor>{engine::SpiRecord(kActive, 0x2001, 0, 0u, 1)});
  for (const char* name : kFlashSix) EXPECT_FALSE(Enabled(name)) << name;
  Box(kActive).UserClick();
  EXPECT_EQ(Records(), std::vector<TRegRecor>{engine::SpiRecord(kActive, 0x2001, 0, 200000u, 1)});
  for (const char* name : kFlashSix) EXPECT_TRUE(Enabled(name)) << name;

  Get<RadioButton>(kClick).UserClick();
  EXPECT_EQ(*Record(kClick), engine::SpiRecord(kClick, 0x2005, 0, 0u, 1));
  EXPECT_FALSE(Enabled(kSpeed));
  EXPECT_FALSE(Enabled(kSpeedUpDown));
  Get<RadioButton>(kFlash).UserClick();
  EXPECT_EQ(*Record(kClick), engine::SpiRecord(kClick, 0x2005, 0, 3u, 1));
  EXPECT_TRUE(Enabled(kSpeedUpDown));
  ASSERT_TRUE(Get<UpDown>(kSpeedUpDown).UserClickUp());
  EXPECT_EQ(*Record(kClick), engine::SpiRecord(kClick, 0x2005, 0, 4u, 1));
  ASSERT_TRUE(Get<Edit>(kSpeed).SetFocus());
  ASSERT_TRUE(Get<Edit>(kSpeed).UserSetText("12"));
  EXPECT_EQ(*Record(kClick), engine::SpiRecord(kClick, 0x2005, 0, 12u, 1));
  EXPECT_EQ(Records().size(), 2u);
  EXPECT_FALSE(Requests().RestartNeeded);

  // The idle time is no setting: Apply is enabled, nothing is queued.
  Window().Button_ApplyClick();
  ASSERT_FALSE(ApplyEnabled());
  ASSERT_TRUE(Get<UpDown>(kTimeUpDown).UserClickUp());
  EXPECT_TRUE(Records().empty());
  EXPECT_TRUE(ApplyEnabled());
  EXPECT_EQ(Spi().Value(spi::GETFOREGROUNDFLASHCOUNT), 12u);
  EXPECT_EQ(Spi().Value(spi::GETFOREGROUNDLOCKTIMEOUT), 200000u);
}

TEST_F(TaskBarTest, ButtonAndGroupingRecordsAskForARestart) {
  struct Step {
    const char* sender;
    TRegRecor record;
  };
  Open();  // animations unchecked, glomming checked, Program
  const Step steps[] = {
      {kShowButton, Advanced(kShowButton, "TaskbarAnimations", 1)},
      {kClassification, Advanced(kClassification, "TaskbarGlomming", 0)},
      {kClassification, Advanced(kClassification, "TaskbarGlomming", 1)},
      {kWindows, Advanced(kProgram, "TaskbarGroupSize", 1)},
      {kAtLeast, Advanced(kProgram, "TaskbarGroupSize", 2)},
      {kCountUpDown, Advanced(kProgram, "TaskbarGroupSize", 3)},
      {kProgram, Advanced(kProgram, "TaskbarGroupSize", 0)},
      {kBalloonTip, Advanced(kBalloonTip, "EnableBalloonTips", 0)},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.sender);
    Requests().RestartNeeded = false;
    Control& sender = Ctl(s.sender);
    if (auto* box = dynamic_cast<forms::CheckBox*>(&sender)) {
      ASSERT_TRUE(box->UserClick());
    } else if (auto* radio = dynamic_cast<RadioButton*>(&sender)) {
      ASSERT_TRUE(radio->UserClick());
    } else {
      ASSERT_TRUE(dynamic_cast<UpDown&>(sender).UserClickUp());
    }
    ASSERT_NE(Record(s.record.Name), nullptr);
    EXPECT_EQ(*Record(s.record.Name), s.record);
    EXPECT_TRUE(Requests().RestartNeeded);
  }
  EXPECT_EQ(Records().size(), 4u);
}

TEST_F(TaskBarTest, GroupingSwitchesItsRadiosAndCount) {
  Open();
  Box(kClassification).UserClick();
  for (const char* name : {kProgram, kWindows, kAtLeast, kCount, kCountUpDown}) EXPECT_FALSE(Enabled(name)) << name;
  Box(kClassification).UserClick();
  for (const char* name : {kProgram, kWindows, kAtLeast, kCount, kCountUpDown}) EXPECT_TRUE(Enabled(name)) << name;
  Get<RadioButton>(kWindows).UserClick();
  EXPECT_FALSE(Enabled(kCount));
  Get<RadioButton>(kAtLeast).UserClick();
  EXPECT_TRUE(Enabled(kCount));
  EXPECT_TRUE(Enabled(kCountUpDown));
}

TEST_F(TaskBarTest, HideBitQueuesOnlyAChangeOfTheBit) {
  struct Case {
    std::int32_t arrange;
    int clicks;  // the box starts cleared (class 5 does not read it)
    std::optional<std::int32_t> queued;
  };
  const Case cases[] = {{2, 1, 10}, {10, 1, std::nullopt}, {10, 2, 2}, {2, 2, 2}, {5, 1, 13}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.arrange) + " x" + std::to_string(c.clicks));
    Reset();
    Spi().set_minimized_metrics({100, 3, 4, c.arrange});
    Open();
    for (int i = 0; i < c.clicks; ++i) Box(kShow).UserClick();
    if (c.queued) {
      EXPECT_EQ(Records(), std::vector<TRegRecor>{ShowRecord(Block(100, 3, 4, *c.queued))});
    } else {
      EXPECT_TRUE(Records().empty());
    }
    EXPECT_EQ(Requests().RestartNeeded, c.queued.has_value());
  }
  // Cleared: everything that depends on it is off; checked again: on, radios by grouping.
  EXPECT_TRUE(Checked(kShow));
  Box(kShow).UserClick();
  for (const char* name : {kShowButton, kClassification, kCount, kCountUpDown, kProgram, kAtLeast}) {
    EXPECT_FALSE(Enabled(name)) << name;
  }
  Box(kShow).UserClick();
  for (const char* name : {kShowButton, kClassification, kCount, kCountUpDown, kProgram, kAtLeast}) {
    EXPECT_TRUE(Enabled(name)) << name;
  }
}

TEST_F(TaskBarTest, ListsQueueTheArrangementWithTheReadMetrics) {
  struct Case {
    std::int32_t arrange;
    const char* list;
    int item;
    std::int32_t queued;
  };
  const Case cases[] = {
      {8, kLeft, 1, 9},           // Right, Bottom, side by side; the hide bit stays
      {8, kArrangement, 1, 12},   // Left, Bottom, cascading
      {0, kTop, 0, 2},            // Left, Top
      {13, kLeft, 0, 12},         // Left, Bottom, cascading
      {5, kTop, 0, 7},            // Right, Top, cascading
      {10, kArrangement, 1, 14},  // Left, Top, cascading
      {4, kLeft, 1, 5},           // Right, Bottom, cascading ...
      {12, kLeft, 1, 13},         // ... and so with the hide bit
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.arrange) + " " + c.list);
    Reset();
    Spi().set_minimized_metrics({120, 5, 6, c.arrange});
    Open();
    ASSERT_TRUE(Combo(c.list).UserSelect(c.item));
    EXPECT_EQ(Records(), std::vector<TRegRecor>{ArrangementRecord(Block(120, 5, 6, c.queued))});
    EXPECT_TRUE(Requests().RestartNeeded);
  }
}

TEST_F(TaskBarTest, HideBitAndArrangementBeforeOneApplyBothSurvive) {
  struct Case {
    bool hide_first;
    std::int32_t end;
  };
  for (const Case& c : {Case{true, 6}, Case{false, 6}}) {
    SCOPED_TRACE(c.hide_first);
    Reset();
    Spi().set_minimized_metrics({120, 5, 6, 10});  // Left, Top, side by side, hidden
    Reg().SetString(HKCU, "\\Control Panel\\Desktop\\WindowMetrics\\", "MinWidth", "-255");
    Open();
    Box(kShow).SetChecked(true);  // as it stands on Vista: checked while hidden, nothing queued
    EXPECT_TRUE(Records().empty());
    const auto hide = [&] { Box(kShow).UserClick(); };
    const auto cascade = [&] { Combo(kArrangement).UserSelect(1); };
    if (c.hide_first) {
      hide();
      cascade();
    } else {
      cascade();
      hide();
    }
    Window().Button_ApplyClick();
    EXPECT_EQ(Spi().minimized_metrics(), (Metrics{120, 5, 6, c.end}));
    EXPECT_FALSE(Reg().ValueExists(HKCU, "\\Control Panel\\Desktop\\WindowMetrics\\", "MinWidth"));
  }
}

// The box's record, changed last, gives its block to the arrangement record queued after
// it; the MinWidth clean-up must stay with the arrangement, and nothing else is written.
TEST_F(TaskBarTest, BoxChangedAfterTheArrangementKeepsTheMinWidthCleanUp) {
  for (const int version_class : {4, 5}) {
    SCOPED_TRACE(version_class);
    Reset();
    Spi().set_minimized_metrics({120, 5, 6, 2});  // Left, Top, side by side
    Reg().SetString(HKCU, "\\Control Panel\\Desktop\\WindowMetrics\\", "MinWidth", "-255");
    Reg().SetString(HKCU, "", "", "root default");
    Reg().SetString(HKCU, "\\Control Panel\\Desktop\\WindowMetrics\\", "", "key default");
    Open(version_class);
    ASSERT_FALSE(Checked(kShow));
    ASSERT_TRUE(Box(kShow).UserClick());
    ASSERT_TRUE(Combo(kArrangement).UserSelect(1));
    ASSERT_TRUE(Box(kShow).UserClick());
    EXPECT_EQ(Records(), (std::vector<TRegRecor>{ShowRecord(Block(120, 5, 6, 6)), ArrangementRecord(Block(120, 5, 6, 6))}));
    Reg().ClearLogs();
    Window().Button_ApplyClick();
    EXPECT_EQ(Spi().minimized_metrics(), (Metrics{120, 5, 6, 6}));
    EXPECT_FALSE(Reg().ValueExists(HKCU, "\\Control Panel\\Desktop\\WindowMetrics\\", "MinWidth"));
    ASSERT_EQ(Reg().write_log().size(), 1u);
    EXPECT_EQ(Reg().write_log()[0].call, "delete_value");
    EXPECT_EQ(Reg().write_log()[0].name, "MinWidth");
    EXPECT_EQ(Reg().GetString(HKCU, "", ""), "root default");
    EXPECT_EQ(Reg().GetString(HKCU, "\\Control Panel\\Desktop\\WindowMetrics\\", ""), "key default");
  }
}

TEST_F(TaskBarTest, UnreadableMetricsQueueNothing) {
  Open();
  Spi().FailAction(spi::GETMINIMIZEDMETRICS);
  Box(kShow).UserClick();
  EXPECT_TRUE(Enabled(kShowButton));
  ASSERT_TRUE(Combo(kArrangement).UserSelect(1));
  EXPECT_EQ(Combo(kArrangement).ItemIndex(), 1);
  Box(kShow).UserClick();
  EXPECT_FALSE(Enabled(kShowButton));  // the enabled states still follow the box
  EXPECT_TRUE(Records().empty());
  EXPECT_FALSE(Requests().RestartNeeded);
  EXPECT_TRUE(ApplyEnabled());
  for (const auto& call : Spi().calls()) EXPECT_NE(call.action, spi::SETMINIMIZEDMETRICS);
}

TEST_F(TaskBarTest, TrayFlagKeepsTheStoredTypeAndTheOtherBits) {
  struct Case {
    const char* what;
    Store store;
    int clicks;
    TRegRecor record;
  };
  const Case cases[] = {
      {"missing, cleared", None, 1, Tray(4, engine::MakeBytes({0x01}))},
      {"missing, cleared and checked", None, 2, Tray(4, engine::MakeBytes({0x00}))},
      {"binary 01 00 00 00, checked", TrayBytes({1, 0, 0, 0}), 1, Tray(4, engine::MakeBytes({0, 0, 0, 0}))},
      {"binary fe 07, cleared", TrayBytes({0xFE, 7}), 1, Tray(4, engine::MakeBytes({0xFF, 7}))},
      {"binary empty, cleared", TrayBytes({}), 1, Tray(4, engine::MakeBytes({0x01}))},
      {"dword 1, checked", TrayDword(1), 1, Tray(3, MakeInt(0))},
      {"dword 6, cleared", TrayDword(6), 1, Tray(3, MakeInt(7))},
      {"dword 6, cleared and checked", TrayDword(6), 2, Tray(3, MakeInt(6))},
      {"text 3, checked", Text(kPolicies, "NoTrayItemsDisplay", "3"), 1, Tray(1, engine::MakeText("2"))},
      {"multi-string, cleared",
       [](MemoryRegistry& r) { r.SetMultiString(HKCU, kPolicies, "NoTrayItemsDisplay", {"a"}); }, 1,
       Tray(0, engine::Value())},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    c.store(Reg());
    Open();
    for (int i = 0; i < c.clicks; ++i) ASSERT_TRUE(Box(kTrayTip).UserClick());
    EXPECT_EQ(Records(), std::vector<TRegRecor>{c.record});
    EXPECT_EQ(Enabled(kBalloonTip), Checked(kTrayTip));
    EXPECT_TRUE(Requests().RestartNeeded);
    const auto before = Reg().Get(HKCU, kPolicies, "NoTrayItemsDisplay");
    Window().Button_ApplyClick();
    EXPECT_TRUE(Records().empty());
    const auto after = Reg().Get(HKCU, kPolicies, "NoTrayItemsDisplay");
    ASSERT_TRUE(after.has_value());
    if (before) {
      EXPECT_EQ(after->type, before->type);
    }
  }
}

// --- Default buttons ------------------------------------------------------------------

TEST_F(TaskBarTest, DefaultButtonsQueueOnlyWhatTheyChange) {
  struct Case {
    const char* what;
    std::function<void()> prepare;
    const char* button;
    std::vector<TRegRecor> records;
  };
  const Case cases[] = {
      {"flashing off, until click",
       [this] {
         Spi().SetValue(spi::GETFOREGROUNDLOCKTIMEOUT, 0);
         Spi().SetValue(spi::GETFOREGROUNDFLASHCOUNT, 0);
       },
       "Button_Taskbar_ButtonFlashes_Default",
       {engine::SpiRecord(kActive, 0x2001, 0, 200000u, 1), engine::SpiRecord(kClick, 0x2005, 0, 3u, 1)}},
      {"flashing 7 times",
       [this] { Spi().SetValue(spi::GETFOREGROUNDFLASHCOUNT, 7); },
       "Button_Taskbar_ButtonFlashes_Default",
       {engine::SpiRecord(kClick, 0x2005, 0, 3u, 1)}},
      {"flashing already default", [] {}, "Button_Taskbar_ButtonFlashes_Default", {}},
      {"appearance on xp, not hidden, windows",
       [this] {
         Spi().set_minimized_metrics({154, 0, 0, 2});
         Reg().SetDword(HKCU, kAdvanced, "TaskbarGroupSize", 1);
       },
       "Button_Taskbar_ButtonAppearance_Default",
       {ShowRecord(Block(154, 0, 0, 10)), Advanced(kShowButton, "TaskbarAnimations", 1),
        Advanced(kProgram, "TaskbarGroupSize", 0)}},
      {"appearance on vista already default",
       [this] { Reg().SetDword(HKCU, kAdvanced, "TaskbarAnimations", 1); },
       "Button_Taskbar_ButtonAppearance_Default",
       {}},
      {"minimized windows from right, top, cascading",
       [this] { Spi().set_minimized_metrics({154, 0, 0, 7}); },
       "Button_Taskbar_MinWindows_Default",
       {ArrangementRecord(Block(154, 0, 0, 0))}},
      {"minimized windows already default",
       [this] { Spi().set_minimized_metrics({154, 0, 0, 8}); },
       "Button_Taskbar_MinWindows_Default",
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    c.prepare();
    Open(std::string(c.what).find("vista") != std::string::npos ? 7 : 5);
    ASSERT_TRUE(Get<Button>(c.button).UserClick());
    EXPECT_EQ(Records(), c.records);
    EXPECT_EQ(ApplyEnabled(), !c.records.empty());
  }
  EXPECT_EQ(Lists(), (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(Combo(kTop).Text(), "Bottom");
}

// --- versions and layout ------------------------------------------------------------

TEST_F(TaskBarTest, VersionClassesAdaptThePage) {
  for (int version_class : harness::kVersionClasses) {
    SCOPED_TRACE("class " + std::to_string(version_class));
    Reset();
    Open(version_class);
    EXPECT_EQ(Ctl(kShow).Visible(), version_class <= 5);
    EXPECT_EQ(Ctl(kShowButton).Enabled(), version_class >= 5);
    EXPECT_EQ(Ctl("Groupbox_Taskbar_ButtonAppearance_Group").Visible(), version_class >= 5);
    // Read only where it is hidden: checked there by the default metrics (hide bit set).
    EXPECT_EQ(Checked(kShow), version_class > 5);
    for (forms::TabSheet* sheet : Get<forms::PageControl>("PageControl6").Sheets()) {
      EXPECT_EQ(forms::DescribeLayout(forms::CheckLayout(*sheet)), "") << sheet->Name();
    }
    EXPECT_EQ(LayoutProblems(), "");
  }
}

}  // namespace
}  // namespace corvanel::pages
