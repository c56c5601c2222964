#include "pages/menu/start_menu.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/setting_queue.h"
#include "tests/pages/page_harness.h"

namespace corvanel::pages {
namespace {

using engine::MakeInt;
using engine::MakeText;
using engine::TRegRecor;
using forms::Button;
using forms::Control;
using forms::Edit;
using forms::Label;
using forms::RadioButton;
using forms::TrackBar;
using forms::UpDown;
using platform::HKCU;
using platform::memory::MemoryRegistry;

constexpr const char* kDesktop = "\\Control Panel\\Desktop\\";
constexpr const char* kPolicies = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
constexpr const char* kAdvanced = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";

constexpr const char* kAuto = "Radio_Use_StartMenu_Common_StartMenuSpeed_Auto";
constexpr const char* kClick = "Radio_Use_StartMenu_Common_StartMenuSpeed_Click";
constexpr const char* kDelay = "TrackBar_Use_StartMenu_Common_StartMenuSpeed_Delay";
constexpr const char* kDelayLabel = "Label_Use_StartMenu_Common_StartMenuSpeed_Delay";
constexpr const char* kShowUserName = "Checkbox_Use_StartMenu_Common_User_ShowUserName";
constexpr const char* kShowLogoff = "Checkbox_Use_StartMenu_Common_User_ShowLogoff";
constexpr const char* kSave = "Checkbox_Use_StartMenu_RecentlyUse_Document_Save";
constexpr const char* kCount = "Edit_Use_StartMenu_RecentlyUse_Document_FileCount";
constexpr const char* kCountUpDown = "UpDown_Use_StartMenu_RecentlyUse_Document_FileCount";
constexpr const char* kMoveAndEdit = "Checkbox_Use_StartMenu_ShortCut_MoveAndEdit_Active";

using Store = std::function<void(MemoryRegistry&)>;
Store Nothing() {
  return [](MemoryRegistry&) {};
}
Store Text(const char* key, const char* value, std::string text) {
  return [=](MemoryRegistry& r) { r.SetString(HKCU, key, value, text); };
}
Store Dword(const char* key, const char* value, std::uint32_t n) {
  return [=](MemoryRegistry& r) { r.SetDword(HKCU, key, value, n); };
}
Store Binary(const char* key, const char* value, std::vector<std::uint8_t> bytes) {
  return [=](MemoryRegistry& r) { r.SetBinary(HKCU, key, value, bytes); };
}

TRegRecor Delay(std::string text) {
  return engine::WriteRecord("Starmenu", HKCU, kDesktop, "MenuShowDelay", 1, MakeText(std::move(text)));
}
TRegRecor Write(std::string name, const char* key, const char* value, std::int32_t n) {
  return engine::WriteRecord(std::move(name), HKCU, key, value, 3, MakeInt(n));
}
TRegRecor Delete(std::string name, const char* value) {
  return engine::DeleteValueRecord(std::move(name), HKCU, kPolicies, value);
}

class StartMenuTest : public harness::PageTest {
 protected:
  StartMenuTest() : PageTest(CreateStartMenuPage) {}
  void Open(int version_class = 5) { PageTest::Open(version_class); }
  std::string DelayLabel() const { return Get<Label>(kDelayLabel).Caption(); }
};

// --- loading -------------------------------------------------------------------------

TEST_F(StartMenuTest, MenuDelayLoadsAsRadioTrackBarAndLabel) {
  struct Case {
    const char* what;
    Store store;
    const char* radio;
    int position;
    bool track_enabled;
    const char* label;
  };
  const Case cases[] = {
      {"missing", Nothing(), kAuto, 217, true, "217(ms)"},
      {"65535", Text(kDesktop, "MenuShowDelay", "65535"), kClick, 217, false, "217(ms)"},
      {"400", Text(kDesktop, "MenuShowDelay", "400"), kAuto, 400, true, "400(ms)"},
      {"blanks", Text(kDesktop, "MenuShowDelay", " 90 "), kAuto, 90, true, "90(ms)"},
      {"too long", Text(kDesktop, "MenuShowDelay", "5000"), kAuto, 460, true, "460(ms)"},
      {"1200", Text(kDesktop, "MenuShowDelay", "1200"), kAuto, 1200, true, "1200(ms)"},
      {"negative", Text(kDesktop, "MenuShowDelay", "-5"), kAuto, 0, true, "0(ms)"},
      {"empty", Text(kDesktop, "MenuShowDelay", ""), kAuto, 217, true, "217(ms)"},
      {"no number", Text(kDesktop, "MenuShowDelay", "soon"), kAuto, 217, true, "217(ms)"},
      {"dword", Dword(kDesktop, "MenuShowDelay", 300), kAuto, 300, true, "300(ms)"},
      {"dword 65535", Dword(kDesktop, "MenuShowDelay", 65535), kClick, 217, false, "217(ms)"},
      {"binary", Binary(kDesktop, "MenuShowDelay", {0x34, 0x30}), kAuto, 217, true, "217(ms)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    c.store(Reg());
    Open();
    EXPECT_TRUE(Get<RadioButton>(c.radio).Checked());
    EXPECT_FALSE(Get<RadioButton>(c.radio == kAuto ? kClick : kAuto).Checked());
    EXPECT_EQ(Get<TrackBar>(kDelay).Position(), c.position);
    EXPECT_EQ(Get<TrackBar>(kDelay).Enabled(), c.track_enabled);
    EXPECT_EQ(DelayLabel(), c.label);
    EXPECT_TRUE(Records().empty());
    EXPECT_FALSE(ApplyEnabled());
  }
}

TEST_F(StartMenuTest, PolicyBoxesAreCheckedWhileTheirValueIsMissing) {
  struct Case {
    const char* box;
    Store store;
    bool checked;
  };
  const Case cases[] = {
      {kShowUserName, Nothing(), true},
      {kShowUserName, Dword(kPolicies, "NoUserNameInStartMenu", 0), true},  // the policy set to Disabled
      {kShowUserName, Text(kPolicies, "NoUserNameInStartMenu", "no"), false},
      {kShowLogoff, Nothing(), true},
      {kShowLogoff, Dword(kPolicies, "StartMenuLogOff", 1), false},
      {kShowLogoff, Binary(kPolicies, "StartMenuLogOff", {}), false},
      {kMoveAndEdit, Nothing(), true},
      {kMoveAndEdit, Dword(kPolicies, "Start_EnabledDragDrop", 1), false},
      {kMoveAndEdit, Dword(kPolicies, "NoChangeStartMenu", 1), true},  // only the drag value is read
      {kMoveAndEdit, Dword(kAdvanced, "Start_EnabledDragDrop", 0), true},
  };
  for (const Case& c : cases) {
    Reset();
    c.store(Reg());
    Open();
    EXPECT_EQ(Checked(c.box), c.checked) << c.box;
    EXPECT_TRUE(Records().empty()) << c.box;
  }
}

TEST_F(StartMenuTest, RecentDocumentsLoadTheBoxAndTheCount) {
  struct Case {
    const char* what;
    Store shown;
    Store count;
    bool checked;
    int position;
  };
  const Case cases[] = {
      {"both missing", Nothing(), Nothing(), true, 14},
      {"shown 2, count 30", Dword(kAdvanced, "Start_ShowRecentDocs", 2), Dword(kPolicies, "MaxRecentDocs", 30), true,
       30},
      {"shown 0", Dword(kAdvanced, "Start_ShowRecentDocs", 0), Nothing(), false, 14},
      {"shown text 0", Text(kAdvanced, "Start_ShowRecentDocs", "0"), Nothing(), false, 14},
      {"shown no number", Text(kAdvanced, "Start_ShowRecentDocs", "yes"), Nothing(), true, 14},
      {"count text", Nothing(), Text(kPolicies, "MaxRecentDocs", "25"), true, 25},
      {"count beyond range", Nothing(), Dword(kPolicies, "MaxRecentDocs", 500), true, 99},
      {"count no number", Nothing(), Text(kPolicies, "MaxRecentDocs", "many"), true, 64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    c.shown(Reg());
    c.count(Reg());
    Open();
    EXPECT_EQ(Checked(kSave), c.checked);
    EXPECT_EQ(Get<Edit>(kCount).Enabled(), c.checked);
    EXPECT_EQ(Get<UpDown>(kCountUpDown).Enabled(), c.checked);
    EXPECT_EQ(Get<UpDown>(kCountUpDown).Position(), c.position);
    EXPECT_EQ(Get<Edit>(kCount).Text(), std::to_string(c.position));
    EXPECT_TRUE(Records().empty());
  }
}

// --- changes -------------------------------------------------------------------------

TEST_F(StartMenuTest, EachChangeQueuesItsRowsRecords) {
  struct Step {
    const char* what;
    std::function<void()> act;
    std::vector<TRegRecor> records;  // the step's records, last in the queue
    bool restart;
  };
  const auto click = [this](const char* name) {
    return [this, name] {
      auto& control = Ctl(name);
      if (auto* box = dynamic_cast<forms::CheckBox*>(&control)) {
        ASSERT_TRUE(box->UserClick());
      } else {
        ASSERT_TRUE(dynamic_cast<RadioButton&>(control).UserClick());
      }
    };
  };
  const std::string move1 = std::string(kMoveAndEdit) + "1";
  // clang-format off
  const Step steps[] = {
      {"click only", click(kClick), {Delay("65535")}, false},
      {"automatic", click(kAuto), {Delay("217")}, false},
      {"track bar", [this] { ASSERT_TRUE(Get<TrackBar>(kDelay).UserSetPosition(800)); }, {Delay("800")}, false},
      {"user name cleared", click(kShowUserName), {Write(kShowUserName, kPolicies, "NoUserNameInStartMenu", 1)}, true},
      {"user name checked", click(kShowUserName), {Delete(kShowUserName, "NoUserNameInStartMenu")}, true},
      {"log off cleared", click(kShowLogoff), {Write(kShowLogoff, kPolicies, "StartMenuLogOff", 1)}, true},
      {"move and edit cleared", click(kMoveAndEdit),
       {Write(kMoveAndEdit, kPolicies, "NoChangeStartMenu", 1), Write(move1, kPolicies, "Start_EnabledDragDrop", 0)},
       false},
      {"move and edit checked", click(kMoveAndEdit),
       {Delete(kMoveAndEdit, "NoChangeStartMenu"), Delete(move1, "Start_EnabledDragDrop")}, false},
  };
  // clang-format on
  Open();
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    Requests().RestartNeeded = false;
    s.act();
    ASSERT_GE(Records().size(), s.records.size());
    EXPECT_EQ(std::vector<TRegRecor>(Records().end() - static_cast<std::ptrdiff_t>(s.records.size()), Records().end()),
              s.records);
    EXPECT_EQ(Requests().RestartNeeded, s.restart);
    EXPECT_TRUE(ApplyEnabled());
  }
  EXPECT_EQ(Names(), (std::vector<std::string>{"Starmenu", kShowUserName, kShowLogoff, kMoveAndEdit, move1}));
  EXPECT_EQ(DelayLabel(), "800(ms)");
  Get<RadioButton>(kClick).UserClick();
  EXPECT_FALSE(Get<TrackBar>(kDelay).Enabled());
  Get<RadioButton>(kAuto).UserClick();
  EXPECT_TRUE(Get<TrackBar>(kDelay).Enabled());
}

TEST_F(StartMenuTest, RecentDocumentsQueueUnderTheirTwoNames) {
  Reg().SetDword(HKCU, kPolicies, "MaxRecentDocs", 30);
  Reg().SetDword(HKCU, kAdvanced, "Start_ShowRecentDocs", 0);
  Open();
  Box(kSave).UserClick();
  const TRegRecor shown = Write(kSave, kAdvanced, "Start_ShowRecentDocs", 2);
  EXPECT_EQ(Records(),
            (std::vector<TRegRecor>{shown, Write(std::string(kSave) + "1", kPolicies, "MaxRecentDocs", 30)}));
  EXPECT_TRUE(Get<Edit>(kCount).Enabled());
  EXPECT_TRUE(Requests().RestartNeeded);

  // The count passes on arrow clicks (through the up-down) and typed changes only.
  ASSERT_TRUE(Get<UpDown>(kCountUpDown).UserClickUp());
  EXPECT_EQ(Record(std::string(kSave) + "1")->Value, MakeInt(31));
  ASSERT_TRUE(Get<Edit>(kCount).SetFocus());
  ASSERT_TRUE(Get<Edit>(kCount).UserSetText("7"));
  EXPECT_EQ(Record(std::string(kSave) + "1")->Value, MakeInt(7));

  Requests().RestartNeeded = false;
  Box(kSave).UserClick();
  EXPECT_EQ(Records().back(), Write("StarFilelist", kAdvanced, "Start_ShowRecentDocs", 0));
  EXPECT_EQ(Records().size(), 3u);
  EXPECT_FALSE(Get<Edit>(kCount).Enabled());
  EXPECT_FALSE(Get<UpDown>(kCountUpDown).Enabled());
  EXPECT_TRUE(Requests().RestartNeeded);
}

TEST_F(StartMenuTest, RecentDocumentsEndInTheLastChoiceAfterApply) {
  struct Case {
    int clicks;  // starting checked (value missing)
    std::uint32_t shown;
    std::uint32_t count;
  };
  // The stored count lies beyond the field's range: what is written is the 99 it shows,
  // and only where a checked box queued it.
  for (const Case& c : {Case{1, 0, 120}, Case{2, 2, 99}, Case{3, 0, 99}, Case{4, 2, 99}}) {
    SCOPED_TRACE(c.clicks);
    Reset();
    Reg().SetDword(HKCU, kPolicies, "MaxRecentDocs", 120);
    Open();
    for (int i = 0; i < c.clicks; ++i) Box(kSave).UserClick();
    Window().Find<Button>("Button_Apply").UserClick();
    EXPECT_TRUE(Records().empty());
    EXPECT_EQ(Reg().GetDword(HKCU, kAdvanced, "Start_ShowRecentDocs"), c.shown);
    EXPECT_EQ(Reg().GetDword(HKCU, kPolicies, "MaxRecentDocs"), c.count);
  }
}

// --- Default buttons ------------------------------------------------------------------

TEST_F(StartMenuTest, DefaultButtonsQueueOnlyWhatTheyChange) {
  struct Case {
    const char* what;
    Store store;
    const char* button;
    std::vector<TRegRecor> records;
  };
  const Case cases[] = {
      {"general from click-only and no user name",
       [](MemoryRegistry& r) {
         r.SetString(HKCU, kDesktop, "MenuShowDelay", "65535");
         r.SetDword(HKCU, kPolicies, "NoUserNameInStartMenu", 1);
       },
       "Button_Use_StartMenu_Common_User_Default",
       {Delay("400"), Delete(kShowUserName, "NoUserNameInStartMenu")}},
      {"general already default",
       Text(kDesktop, "MenuShowDelay", "400"),
       "Button_Use_StartMenu_Common_User_Default",
       {}},
      {"last used while cleared: the count the button shows",
       [](MemoryRegistry& r) {
         r.SetDword(HKCU, kAdvanced, "Start_ShowRecentDocs", 0);
         r.SetDword(HKCU, kPolicies, "MaxRecentDocs", 30);
       },
       "Button_Use_StartMenu_RecentlyUse_Default",
       {Write(kSave, kAdvanced, "Start_ShowRecentDocs", 2),
        Write(std::string(kSave) + "1", kPolicies, "MaxRecentDocs", 14)}},
      {"last used while checked",
       Dword(kPolicies, "MaxRecentDocs", 30),
       "Button_Use_StartMenu_RecentlyUse_Default",
       {Write(kSave, kAdvanced, "Start_ShowRecentDocs", 2),
        Write(std::string(kSave) + "1", kPolicies, "MaxRecentDocs", 14)}},
      {"last used already default",
       Dword(kPolicies, "MaxRecentDocs", 14),
       "Button_Use_StartMenu_RecentlyUse_Default",
       {}},
      {"shortcuts while cleared",
       Dword(kPolicies, "Start_EnabledDragDrop", 0),
       "Button_Use_StartMenu_ShortCut_Default",
       {Delete(kMoveAndEdit, "NoChangeStartMenu"), Delete(std::string(kMoveAndEdit) + "1", "Start_EnabledDragDrop")}},
      {"shortcuts while checked", Nothing(), "Button_Use_StartMenu_ShortCut_Default", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    c.store(Reg());
    Open();
    ASSERT_TRUE(Get<Button>(c.button).UserClick());
    EXPECT_EQ(Records(), c.records);
    EXPECT_EQ(ApplyEnabled(), !c.records.empty());
  }
  // The last two cases of each tab also show the defaults.
  EXPECT_TRUE(Checked(kMoveAndEdit));
  Get<Button>("Button_Use_StartMenu_RecentlyUse_Default").UserClick();
  EXPECT_EQ(Get<Edit>(kCount).Text(), "14");
  Get<Button>("Button_Use_StartMenu_Common_User_Default").UserClick();
  EXPECT_TRUE(Get<RadioButton>(kAuto).Checked());
  EXPECT_EQ(Get<TrackBar>(kDelay).Position(), 400);
  EXPECT_EQ(DelayLabel(), "400(ms)");
  EXPECT_TRUE(Checked(kShowUserName));
  EXPECT_TRUE(Checked(kShowLogoff));
}

// --- versions and layout ------------------------------------------------------------

TEST_F(StartMenuTest, VersionClassesAdaptThePage) {
  for (int version_class : harness::kVersionClasses) {
    SCOPED_TRACE("class " + std::to_string(version_class));
    Reset();
    Open(version_class);
    const bool vista = version_class > 5;
    for (const char* name :
         {"Groupbox_Use_StartMenu_Common_User", "Label_Use_StartMenu_Common_StartMenuSpeed_ShortDelay",
          "Label_Use_StartMenu_Common_StartMenuSpeed_LongDelay", kDelayLabel, kDelay}) {
      EXPECT_EQ(Ctl(name).Visible(), !vista) << name;
    }
    EXPECT_EQ(Ctl("Groupbox_Use_StartMenu_Common_StartMenuSpeed").Height() == 111, vista);
    EXPECT_EQ(Ctl(kShowUserName).Enabled(), version_class >= 5);
    EXPECT_TRUE(Ctl(kShowLogoff).Enabled());
    for (const char* hidden :
         {"Groupbox_Use_StartMenu_RecentlyUse_Program", "Button_Use_StartMenu_RecentlyUse_Program_Set",
          "Button_Use_StartMenu_ShortCut_MoveAndEdit_Sort", "Button_Use_StartMenu_ShortCut_MoveAndEdit_Edit"}) {
      EXPECT_FALSE(Ctl(hidden).Visible()) << hidden;
    }
    for (forms::TabSheet* sheet : Get<forms::PageControl>("PageControl3").Sheets()) {
      EXPECT_EQ(forms::DescribeLayout(forms::CheckLayout(*sheet)), "") << sheet->Name();
    }
    EXPECT_EQ(LayoutProblems(), "");
  }
}

}  // namespace
}  // namespace corvanel::pages
