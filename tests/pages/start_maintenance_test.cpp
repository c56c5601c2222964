#include "pages/others/start_maintenance.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/pages/page_harness.h"
#include "tests/pages/row_checks.h"

namespace corvanel::pages {
namespace {

using checks::Described;
using checks::Int;
using checks::Str;
using engine::TRegRecor;
using forms::Button;
using forms::ComboBox;
using forms::PageControl;
using forms::RadioButton;
using forms::UpDown;
using platform::HKCU;
using platform::HKLM;
using Registry = platform::memory::MemoryRegistry;
namespace spi = platform::memory::spi;

constexpr const char* kDfrg = "\\SOFTWARE\\Microsoft\\Dfrg\\BootOptimizeFunction\\";
constexpr const char* kSession = "\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\";
constexpr const char* kDesktop = "\\Control Panel\\Desktop\\";
constexpr const char* kAdvanced = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
constexpr const char* kWinlogon = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\";
constexpr const char* kCrash = "\\SYSTEM\\CurrentControlSet\\Control\\CrashControl\\";

constexpr const char* kDefrag = "Checkbox_Startup_System_Defrag_Enable";
constexpr const char* kDelay = "Updown_Startup_System_DelayTime_Time";
constexpr const char* kWait = "UpDown_Startup_Exit_WaitTime_Time";
constexpr const char* kAutoClose = "Radio_Startup_Exit_AutoClose_AutoClose";
constexpr const char* kShowDialog = "Radio_Startup_Exit_AutoClose_ShowCloseDialog";
constexpr const char* kInExplorer = "Radio_Startup_DesktopAndTaskbar_DAndTSeparateProcess_Explorer";
constexpr const char* kSeparate = "Radio_Startup_DesktopAndTaskbar_DAndTSeparateProcess_Process";
constexpr const char* kAutoRun = "Checkbox_Startup_DesktopAndTaskbar_AutoRestartExplorer_AutoRun";
constexpr const char* kBeep = "Checkbox_Startup_Error_Sound_beep";
constexpr const char* kLog = "Checkbox_Startup_Error_SystemError_Log";
constexpr const char* kType = "CB_Startup_Error_SystemError_Type";

class StartMaintenanceTest : public harness::PageTest {
 protected:
  StartMaintenanceTest() : PageTest(CreateStartMaintenancePage) {}
  void Open(int version_class = 5) { PageTest::Open(version_class); }
  int State(const char* name) const { return checks::StateOf(Get<forms::Component>(name)); }
  void Click(const char* name) const {
    if (auto* radio = Window().TryFind<RadioButton>(name)) {
      ASSERT_TRUE(radio->UserClick());
    } else {
      ASSERT_TRUE(Box(name).UserClick());
    }
  }
};

using Prepare = std::function<void(Registry&)>;

TEST_F(StartMaintenanceTest, StoredValuesShowInTheirControls) {
  struct Row {
    const char* what;
    Prepare setup;
    const char* control;
    int state;
  };
  const Row rows[] = {
      {"defrag Y", [](Registry& r) { r.SetString(HKLM, kDfrg, "Enable", "Y"); }, kDefrag, 1},
      {"defrag y", [](Registry& r) { r.SetString(HKLM, kDfrg, "Enable", "y"); }, kDefrag, 1},
      {"defrag N", [](Registry& r) { r.SetString(HKLM, kDfrg, "Enable", "N"); }, kDefrag, 0},
      {"defrag as DWORD", [](Registry& r) { r.SetDword(HKLM, kDfrg, "Enable", 1); }, kDefrag, 0},
      {"no defrag value", [](Registry&) {}, kDefrag, 0},
      {"scan delay", [](Registry& r) { r.SetDword(HKLM, kSession, "AutoChkTimeOut", 30); }, kDelay, 30},
      {"scan delay no number", [](Registry& r) { r.SetString(HKLM, kSession, "AutoChkTimeOut", "soon"); }, kDelay, 10},
      {"no scan delay", [](Registry&) {}, kDelay, 10},
      {"wait time text", [](Registry& r) { r.SetString(HKCU, kDesktop, "HungAppTimeout", "20000"); }, kWait, 20000},
      {"wait time no number", [](Registry& r) { r.SetString(HKCU, kDesktop, "HungAppTimeout", "x"); }, kWait, 32000},
      {"no wait time", [](Registry&) {}, kWait, 32000},
      {"end tasks missing", [](Registry&) {}, kAutoClose, 1},
      {"end tasks text 1", [](Registry& r) { r.SetString(HKCU, kDesktop, "AutoEndTasks", "1"); }, kAutoClose, 1},
      {"end tasks DWORD 1", [](Registry& r) { r.SetDword(HKCU, kDesktop, "AutoEndTasks", 1); }, kAutoClose, 1},
      {"end tasks text 0", [](Registry& r) { r.SetString(HKCU, kDesktop, "AutoEndTasks", "0"); }, kShowDialog, 1},
      {"end tasks DWORD 0", [](Registry& r) { r.SetDword(HKCU, kDesktop, "AutoEndTasks", 0); }, kShowDialog, 1},
      {"separate process", [](Registry& r) { r.SetDword(HKCU, kAdvanced, "SeparateProcess", 1); }, kSeparate, 1},
      {"one process", [](Registry& r) { r.SetDword(HKCU, kAdvanced, "SeparateProcess", 0); }, kInExplorer, 1},
      {"no process value, first radio", [](Registry&) {}, kInExplorer, 0},
      {"no process value, second radio", [](Registry&) {}, kSeparate, 0},
      {"restart shell", [](Registry& r) { r.SetDword(HKLM, kWinlogon, "AutoRestartShell", 1); }, kAutoRun, 1},
      {"restart shell as text", [](Registry& r) { r.SetString(HKLM, kWinlogon, "AutoRestartShell", "1"); }, kAutoRun,
       1},
      {"shell not restarted", [](Registry& r) { r.SetDword(HKLM, kWinlogon, "AutoRestartShell", 2); }, kAutoRun, 0},
      {"no restart value", [](Registry&) {}, kAutoRun, 0},
      {"log event", [](Registry& r) { r.SetDword(HKLM, kCrash, "LogEvent", 1); }, kLog, 1},
      {"no log event", [](Registry& r) { r.SetDword(HKLM, kCrash, "LogEvent", 0); }, kLog, 0},
      {"reboot", [](Registry& r) { r.SetDword(HKLM, kCrash, "AutoReboot", 1); }, kType, 1},
      {"reboot as text", [](Registry& r) { r.SetString(HKLM, kCrash, "AutoReboot", "1"); }, kType, 1},
      {"no reboot value", [](Registry&) {}, kType, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Reset();
    row.setup(Reg());
    Open();
    EXPECT_EQ(State(row.control), row.state);
    EXPECT_TRUE(Queue().Empty());
    EXPECT_FALSE(ApplyEnabled());
  }
}

TEST_F(StartMaintenanceTest, TheBeepBoxFollowsTheSystemParameter) {
  struct Row {
    const char* what;
    std::uint32_t beep;
    bool fail;
    int state;
  };
  for (const Row row : {Row{"on", 1, false, 1}, Row{"off", 0, false, 0}, Row{"refused query", 1, true, 0}}) {
    SCOPED_TRACE(row.what);
    Reset();
    Memory().spi().SetValue(spi::GETBEEP, row.beep);
    Memory().spi().FailAction(spi::GETBEEP, row.fail);
    Open();
    EXPECT_EQ(State(kBeep), row.state);
  }
}

TEST_F(StartMaintenanceTest, EachChangeQueuesItsRecords) {
  struct Row {
    const char* what;
    std::function<void()> act;
    std::vector<TRegRecor> records;
    bool restart;
  };
  const Row rows[] = {
      {"defrag on", [this] { Click(kDefrag); }, {Str(kDefrag, HKLM, kDfrg, "Enable", "y")}, false},
      {"defrag on and off",
       [this] { Click(kDefrag), Click(kDefrag); },
       {Str(kDefrag, HKLM, kDfrg, "Enable", "N")},
       false},
      {"scan delay up",
       [this] { ASSERT_TRUE(Get<UpDown>(kDelay).UserClickUp()); },
       {Int(kDelay, HKLM, kSession, "AutoChkTimeOut", 11)},
       false},
      {"wait time typed",
       [this] { ASSERT_TRUE(Get<forms::Edit>("Edit_Startup_Exit_WaitTime_Time").UserSetText("7000")); },
       {Str(kWait, HKCU, kDesktop, "HungAppTimeout", "7000")},
       false},
      {"show a dialog", [this] { Click(kShowDialog); }, {Str(kAutoClose, HKCU, kDesktop, "AutoEndTasks", "0")}, false},
      {"dialog, then close automatically",
       [this] { Click(kShowDialog), Click(kAutoClose); },
       {Str(kAutoClose, HKCU, kDesktop, "AutoEndTasks", "1")},
       false},
      {"separate process",
       [this] { Click(kSeparate); },
       {Int("RadProcess", HKCU, kAdvanced, "SeparateProcess", 1)},
       true},
      {"within Explorer",
       [this] { Click(kInExplorer); },
       {Int("RadProcess", HKCU, kAdvanced, "SeparateProcess", 0)},
       true},
      {"restart shell", [this] { Click(kAutoRun); }, {Int(kAutoRun, HKLM, kWinlogon, "AutoRestartShell", 1)}, true},
      {"no beep", [this] { Click(kBeep); }, {engine::SpiRecord(kBeep, 0x0002, 0, std::uint32_t{0}, 1)}, false},
      {"log event", [this] { Click(kLog); }, {Int(kLog, HKLM, kCrash, "LogEvent", 1)}, false},
      {"reboot",
       [this] { ASSERT_TRUE(Combo(kType).UserSelect(1)); },
       {Int(kType, HKLM, kCrash, "AutoReboot", 1)},
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Reset();
    Memory().spi().SetValue(spi::GETBEEP, 1);
    Open();
    row.act();
    EXPECT_EQ(Described(Records()), Described(row.records));
    EXPECT_EQ(Requests().RestartNeeded, row.restart);
    EXPECT_TRUE(ApplyEnabled());
  }
}

TEST_F(StartMaintenanceTest, DefaultButtonsQueueOnlyWhatTheyChange) {
  struct Row {
    const char* button;
    Prepare setup;
    std::vector<TRegRecor> records;
  };
  const Row rows[] = {
      {"Button_Startup_System_Default",
       [](Registry& r) {
         r.SetString(HKLM, kDfrg, "Enable", "Y");
         r.SetDword(HKLM, kSession, "AutoChkTimeOut", 3);
       },
       {Str(kDefrag, HKLM, kDfrg, "Enable", "N"), Int(kDelay, HKLM, kSession, "AutoChkTimeOut", 10)}},
      {"Button_Startup_System_Default", [](Registry&) {}, {}},
      {"Button_Startup_Exit_Default",
       [](Registry& r) { r.SetString(HKCU, kDesktop, "AutoEndTasks", "0"); },
       {Str(kWait, HKCU, kDesktop, "HungAppTimeout", "5000"), Str(kAutoClose, HKCU, kDesktop, "AutoEndTasks", "1")}},
      {"Button_Startup_DesktopAndTaskbar_Default",
       [](Registry&) {},
       {Int("RadProcess", HKCU, kAdvanced, "SeparateProcess", 0),
        Int(kAutoRun, HKLM, kWinlogon, "AutoRestartShell", 1)}},
      {"Button_Startup_Error_Default",
       [](Registry& r) {
         r.SetDword(HKLM, kCrash, "LogEvent", 1);
         r.SetDword(HKLM, kCrash, "AutoReboot", 1);
       },
       {Int(kType, HKLM, kCrash, "AutoReboot", 0)}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.button);
    Reset();
    Memory().spi().SetValue(spi::GETBEEP, 1);
    row.setup(Reg());
    Open();
    Get<PageControl>("PagStart_manege").SetActivePage(&Get<forms::TabSheet>(Get<Button>(row.button).Parent()->Name()));
    ASSERT_TRUE(Get<Button>(row.button).UserClick());
    EXPECT_EQ(Described(Records()), Described(row.records));
  }
  EXPECT_EQ(Combo(kType).ItemIndex(), 0);
}

TEST_F(StartMaintenanceTest, TheExitTabIsHiddenFromVistaOnAndTheLayoutHolds) {
  for (const int version_class : harness::kVersionClasses) {
    SCOPED_TRACE(version_class);
    Reset();
    Open(version_class);
    PageControl& pages = Get<PageControl>("PagStart_manege");
    ASSERT_EQ(pages.PageCount(), 4);
    for (int tab = 0; tab < 4; ++tab) {
      const bool shown = tab != 1 || version_class <= 5;
      EXPECT_EQ(pages.Page(tab)->TabVisible(), shown) << "tab " << tab;
      pages.SetActivePageIndex(tab);
      EXPECT_EQ(LayoutProblems(), "") << "tab " << tab;
    }
    // Hidden, the Exit tab is still read.
    EXPECT_EQ(Get<UpDown>(kWait).Position(), 32000);
    EXPECT_TRUE(Get<RadioButton>(kAutoClose).Checked());
  }
}

TEST_F(StartMaintenanceTest, ApplyWritesTheBeepAndTheTextValues) {
  Memory().spi().SetValue(spi::GETBEEP, 1);
  Reg().SetDword(HKCU, kDesktop, "AutoEndTasks", 1);
  Open();
  Click(kBeep);
  Click(kShowDialog);
  Apply();
  EXPECT_EQ(Memory().spi().Value(spi::GETBEEP), 0u);
  EXPECT_EQ(Reg().GetString(HKCU, kDesktop, "AutoEndTasks"), "0");
  EXPECT_TRUE(Queue().Empty());
}

}  // namespace
}  // namespace corvanel::pages
