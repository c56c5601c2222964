// Settings that two pages write, each under its own record names: whichever page the
// user changed last, Apply leaves that choice in the registry.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pages/all_pages.h"
#include "platform/memory/memory_platform.h"
#include "tests/pages/page_harness.h"
#include "ui/main_window.h"

namespace corvanel::pages {
namespace {

namespace win = platform::win;
using platform::HKCU;
using platform::HKLM;

constexpr const char* kDesktop = "Control Panel\\Desktop";
constexpr const char* kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const char* kCrash = "SYSTEM\\CurrentControlSet\\Control\\CrashControl";

// The whole window, every page, on a memory platform.
class CrossPage : public ::testing::Test {
 protected:
  void Open(int version_class) {
    harness::SetVersionClass(memory_, version_class);
    window_ = std::make_unique<ui::TCorvanel_FormMain>(memory_, CreateAllPages());
    window_->ShowForm();
    ASSERT_TRUE(window_->Find<forms::Timer>("Timer_Click").Tick());
    ASSERT_TRUE(window_->Find<forms::Timer>("Timer_Loading").Tick());
  }
  // Clicks the page's navigation item, as the user opens it.
  void Visit(int tag) {
    ui::GroupBar& bar = window_->RzGroupBar1();
    int group = 0;
    int item = 0;
    ASSERT_TRUE(bar.Locate(bar.FindItemByTag(tag), &group, &item)) << tag;
    ASSERT_TRUE(bar.UserClickItem(group, item)) << tag;
  }
  template <class T>
  T& Get(std::string_view name) {
    return window_->Find<T>(name);
  }
  void Click(std::string_view box) { ASSERT_TRUE(Get<forms::CheckBox>(box).UserClick()) << box; }
  void Select(std::string_view radio) { ASSERT_TRUE(Get<forms::RadioButton>(radio).UserClick()) << radio; }
  void Choose(std::string_view list, int index) { ASSERT_TRUE(Get<forms::ComboBox>(list).UserSelect(index)) << list; }
  void Step(std::string_view updown, int direction) {
    ASSERT_TRUE(Get<forms::UpDown>(updown).UserStep(direction)) << updown;
  }
  void Apply() { Get<forms::Button>("Button_Apply").UserClick(); }
  platform::memory::MemoryRegistry& Reg() { return memory_.registry(); }

  platform::memory::MemoryPlatform memory_;
  std::unique_ptr<ui::TCorvanel_FormMain> window_;
};

// One user action on a page's control.
struct Act {
  enum Kind { kClick, kSelect, kChoose, kStep } kind;
  const char* control;
  int arg = 0;
};

// Each sequence changes the control whose record sits first in the queue last, so only
// the newest choice, not the queue order, gives the expected value.
class CrossPageSequence : public CrossPage {
 protected:
  void Do(const std::vector<Act>& acts) {
    for (const Act& act : acts) {
      switch (act.kind) {
        case Act::kClick: Click(act.control); break;
        case Act::kSelect: Select(act.control); break;
        case Act::kChoose: Choose(act.control, act.arg); break;
        case Act::kStep: Step(act.control, act.arg); break;
      }
    }
  }
};

// "End tasks automatically" (User Logon) and "Close programs automatically" (Start and
// Maintenance) are one value, AutoEndTasks, kept as text.
TEST_F(CrossPageSequence, AutoEndTasksEndsAsTheLastPageSaid) {
  constexpr const char* kBox = "Checkbox_UserLogin_Common_Set_EndTask";
  constexpr const char* kAuto = "Radio_Startup_Exit_AutoClose_AutoClose";
  constexpr const char* kAsk = "Radio_Startup_Exit_AutoClose_ShowCloseDialog";
  struct Row {
    std::vector<Act> acts;
    const char* expected;
  };
  const Row rows[] = {
      {{{Act::kClick, kBox}, {Act::kSelect, kAuto}, {Act::kClick, kBox}}, "0"},
      {{{Act::kSelect, kAuto}, {Act::kClick, kBox}, {Act::kClick, kBox}, {Act::kSelect, kAsk}, {Act::kSelect, kAuto}},
       "1"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    memory_.registry().SetString(HKCU, kDesktop, "AutoEndTasks", "0");
    Open(5);
    Visit(13);
    Visit(16);
    Do(row.acts);
    Apply();
    EXPECT_EQ(Reg().GetString(HKCU, kDesktop, "AutoEndTasks"), row.expected);
    window_.reset();
  }
}

// The cursor width: Input Options and General Setting each have a field for CaretWidth.
TEST_F(CrossPageSequence, CaretWidthEndsAsTheFieldChangedLast) {
  constexpr const char* kInput = "UpDown_Use_Keyboard_CursorWidth_Width";
  constexpr const char* kGeneral = "UpDownCur_CommonSettings_Function_CursorWidth_Width";
  struct Row {
    std::vector<Act> acts;
    std::uint32_t expected;
  };
  const Row rows[] = {
      {{{Act::kStep, kInput, +1}, {Act::kStep, kGeneral, -1}, {Act::kStep, kInput, +1}}, 5},
      {{{Act::kStep, kGeneral, -1}, {Act::kStep, kInput, +1}, {Act::kStep, kGeneral, -1}}, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    memory_.registry().SetDword(HKCU, kDesktop, "CaretWidth", 3);
    Open(7);
    Visit(4);
    Do(row.acts);
    Apply();
    EXPECT_EQ(Reg().GetDword(HKCU, kDesktop, "CaretWidth"), row.expected);
    window_.reset();
  }
}

// The system-failure action: General Setting's list and Start and Maintenance's list.
TEST_F(CrossPageSequence, AutoRebootEndsAsTheListChangedLast) {
  constexpr const char* kGeneral = "CM_CommonSettings_Others_SystemError_DoType";
  constexpr const char* kMaintenance = "CB_Startup_Error_SystemError_Type";
  struct Row {
    std::vector<Act> acts;
    std::uint32_t expected;
  };
  const Row rows[] = {
      {{{Act::kChoose, kGeneral, 0}, {Act::kChoose, kMaintenance, 1}, {Act::kChoose, kGeneral, 1},
        {Act::kChoose, kGeneral, 0}},
       0},
      {{{Act::kChoose, kMaintenance, 1}, {Act::kChoose, kGeneral, 0}, {Act::kChoose, kMaintenance, 0},
        {Act::kChoose, kMaintenance, 1}},
       1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    Open(5);
    Visit(16);
    Do(row.acts);
    Apply();
    EXPECT_EQ(Reg().GetDword(HKLM, kCrash, "AutoReboot"), row.expected);
    window_.reset();
  }
}

// NoDriveTypeAutoRun: each page changes its own bits, starting from what the other queued.
TEST_F(CrossPage, AutoPlayBitsFromBothPagesSurviveTogether) {
  memory_.registry().SetDword(HKCU, kPolicies, "NoDriveTypeAutoRun", 0x95);  // removable off, DVD on
  Open(5);
  Visit(14);
  Click("Checkbox_CommonSettings_Function_AutoPlay_AutoPlayRemovable");  // removable on: 0x91
  Click("Checkbox_Drives_AutoPlay_AutoPlayInfo_DVD");                    // DVD off: 0xB1
  Apply();
  EXPECT_EQ(Reg().GetDword(HKCU, kPolicies, "NoDriveTypeAutoRun"), 0xB1u);
  // Each page still shows what it loaded: removable off on Driver, DVD on on General.
  Click("Checkbox_Drives_AutoPlay_AutoPlayInfo_RemovableMedia");  // on: stays 0xB1
  Click("Checkbox_Drives_AutoPlay_AutoPlayInfo_RemovableMedia");  // off again: 0xB5
  Click("Checkbox_CommonSettings_Function_AutoPlay_AutoPlayDVD");   // off: DVD stays off
  Apply();
  EXPECT_EQ(Reg().GetDword(HKCU, kPolicies, "NoDriveTypeAutoRun"), 0xB5u);
}

// The Security Center service: both pages ask Apply for the same service step.
TEST_F(CrossPage, SecurityCenterServiceFollowsThePageChangedLast) {
  constexpr const char* kGeneral = "ChkeckBox_CommonSettings_Security_SecuritySettings_ActiveSC";
  constexpr const char* kCenter = "Checkbox_Security_Center_Active";
  struct Row {
    const char* last;
    std::uint32_t state;
    std::uint32_t start_type;
  };
  // General switches it on; the last page either leaves it on or switches it off.
  for (const Row& row : {Row{kGeneral, win::SERVICE_RUNNING, win::SERVICE_AUTO_START},
                         Row{kCenter, win::SERVICE_STOPPED, win::SERVICE_DISABLED}}) {
    SCOPED_TRACE(row.last);
    memory_.services().RemoveService("wscsvc");
    memory_.services().AddService("wscsvc");
    Open(7);
    Visit(18);
    Click(kGeneral);
    Click(kCenter);  // on as well
    if (row.last == kCenter) {
      Click(kCenter);
    } else {
      Click(kGeneral);
      Click(kGeneral);
    }
    Apply();
    EXPECT_EQ(memory_.services().State("wscsvc"), row.state);
    EXPECT_EQ(memory_.services().StartType("wscsvc"), row.start_type);
    window_.reset();
  }
}

}  // namespace
}  // namespace corvanel::pages
