#include "pages/general/general_setting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pages/all_pages.h"
#include "tests/pages/page_harness.h"

namespace corvanel::pages {
namespace {

using engine::TRegRecor;
using forms::Button;
using forms::CheckBox;
using forms::ComboBox;
using forms::Edit;
using forms::PageControl;
using forms::UpDown;
using platform::HKCU;
using platform::HKLM;
using Bytes = std::vector<std::uint8_t>;
namespace spi = platform::memory::spi;
namespace win = platform::win;

// Registry paths as the tests store them, and as the records name them.
constexpr const char* kHide = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel";
constexpr const char* kHideKey =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel\\";
constexpr const char* kNameSpaceKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace\\";
constexpr const char* kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const char* kPoliciesKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
constexpr const char* kIEMain = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr const char* kIEMainKey = "\\Software\\Microsoft\\Internet Explorer\\Main\\";
constexpr const char* kUrlHistory = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Url History";
constexpr const char* kUrlHistoryKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Url History\\";
constexpr const char* kDesktop = "Control Panel\\Desktop";
constexpr const char* kDesktopKey = "\\Control Panel\\Desktop\\";
constexpr const char* kFirewall = "SYSTEM\\CurrentControlSet\\Services\\SharedAccess\\Parameters\\FirewallPolicy\\StandardProfile";
constexpr const char* kFirewallKey =
    "\\SYSTEM\\CurrentControlSet\\Services\\SharedAccess\\Parameters\\FirewallPolicy\\StandardProfile\\";
constexpr const char* kAutoUpdate = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update";
constexpr const char* kAutoUpdateKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update\\";
constexpr const char* kCrash = "SYSTEM\\CurrentControlSet\\Control\\CrashControl";
constexpr const char* kCrashKey = "\\SYSTEM\\CurrentControlSet\\Control\\CrashControl\\";
constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

constexpr const char* kMyComputerId = "{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
constexpr const char* kManageToolsId = "{D20EA4E1-3957-11D2-A40B-0C5020524153}";
constexpr const char* kRecycledId = "{645FF040-5081-101B-9F08-00AA002F954E}";

constexpr const char* kMyComputer = "CheckBox_CommonSettings_Display_Desktop_MyComputer";
constexpr const char* kManageTools = "CheckBox_CommonSettings_Display_Desktop_ManageTools";
constexpr const char* kRecycled = "CheckBox_CommonSettings_Display_Desktop_Recycled";
constexpr const char* kNetConnect = "CheckBox_CommonSettings_Display_Desktop_NetConnect";
constexpr const char* kNetNeighborhood = "CheckBox_CommonSettings_Display_Desktop_NetNeighborhood";
constexpr const char* kMyDocument = "CheckBox_CommonSettings_Display_Desktop_MyDocument";
constexpr const char* kIEHome = "Edit_CommonSettings_Display_IECommonSettings_HomePage";
constexpr const char* kUseBlank = "Button_CommonSettings_Display_IECommonSettings_UseBlankPage";
constexpr const char* kHistory = "Updown_CommonSettings_Display_IECommonSettings_KeepRecordDays";
constexpr const char* kFirefoxGroup = "GroupBox_CommonSettings_Display_FirefoxHomePage";
constexpr const char* kRemovable = "Checkbox_CommonSettings_Function_AutoPlay_AutoPlayRemovable";
constexpr const char* kDVD = "CheckBox_CommonSettings_Function_AutoPlay_AutoPlayDVD";
constexpr const char* kCaret = "UpDownCur_CommonSettings_Function_CursorWidth_Width";
constexpr const char* kWinKey = "CheckBox_CommonSettings_Function_WinKey_Active";
constexpr const char* kStartWF = "ChkeckBox_CommonSettings_Security_SecuritySettings_StartWF";
constexpr const char* kActiveAU = "ChkeckBox_CommonSettings_Security_SecuritySettings_ActiveAU";
constexpr const char* kAUType = "CB_CommonSettings_Security_SecuritySettings_AutoUpdateType";
constexpr const char* kActiveSC = "ChkeckBox_CommonSettings_Security_SecuritySettings_ActiveSC";
constexpr const char* kDoType = "CM_CommonSettings_Others_SystemError_DoType";
constexpr const char* kSmooth = "CB_CommonSettings_Others_Font_SmoothType";
constexpr const char* kLeft = "CB_CommonSettings_Others_TaskBar_Left";
constexpr const char* kTop = "CB_CommonSettings_Others_TaskBar_Top";
constexpr const char* kArrangement = "CB_CommonSettings_Others_TaskBar_Arrangement";

enum Tab { kDisplay = 0, kFunction = 1, kSecurity = 2, kOthers = 3 };

TRegRecor Rec(std::string name, platform::RegKey root, std::string key, std::string value, std::uint8_t type,
              engine::Value v, std::int32_t action = engine::kActionWrite) {
  TRegRecor r;
  r.Name = std::move(name);
  r.RootKey = root;
  r.KeyPath = std::move(key);
  r.ValueName = std::move(value);
  r.DataType = type;
  r.Value = std::move(v);
  r.Action = action;
  return r;
}

TRegRecor Spi(std::string name, std::uint32_t action, std::uint32_t ui, engine::SpiParam pv) {
  TRegRecor r;
  r.Name = std::move(name);
  r.Kind = engine::kKindSpi;
  r.SpiAction = action;
  r.SpiUiParam = ui;
  r.SpiPvParam = std::move(pv);
  r.SpiWinIni = 1;
  return r;
}

Bytes MinimizedBlock(std::int32_t width, std::int32_t h, std::int32_t v, std::int32_t arrange) {
  const std::int32_t fields[5] = {20, width, h, v, arrange};
  Bytes block(20);
  std::memcpy(block.data(), fields, 20);
  return block;
}

TRegRecor Minimized(Bytes block) {
  TRegRecor r = Spi("Cmblocal", spi::SETMINIMIZEDMETRICS, 20, std::move(block));
  r.KeyPath = "\\Control Panel\\Desktop\\WindowMetrics\\";
  r.ValueName = "MinWidth";
  return r;
}

class GeneralSettingTest : public harness::PageTest {
 protected:
  GeneralSettingTest() : PageTest(CreateGeneralSettingPage) {}
  void Open(int version_class = 7) { PageTest::Open(version_class); }
  void InstallFirefox() { Reg().CreateKeyPath(HKLM, std::string(kUninstall) + "\\Mozilla Firefox 3.6 (en-US)"); }
  void ShowTab(Tab tab) { Get<PageControl>("PageControl_CommonSettings").SetActivePageIndex(tab); }
  bool Click(const char* box, Tab tab) {
    ShowTab(tab);
    return Box(box).UserClick();
  }
  bool Select(const char* list, int index, Tab tab) {
    ShowTab(tab);
    return Combo(list).UserSelect(index);
  }
  // A control's state in one word or number, for the tables.
  std::string State(const char* name) const {
    forms::Control& c = Ctl(name);
    std::string s;
    if (auto* box = dynamic_cast<CheckBox*>(&c)) s = box->Checked() ? "checked" : "unchecked";
    if (auto* list = dynamic_cast<ComboBox*>(&c)) s = std::to_string(list->ItemIndex());
    if (auto* updown = dynamic_cast<UpDown*>(&c)) s = std::to_string(updown->Position());
    if (auto* edit = dynamic_cast<Edit*>(&c)) s = "\"" + edit->Text() + "\"";
    return c.Enabled() ? s : s + " disabled";
  }
};

// ---------------------------------------------------------------------------------
// Loading

TEST_F(GeneralSettingTest, StoredValuesShowInTheirControls) {
  struct Case {
    const char* what;
    std::function<void(platform::memory::MemoryRegistry&)> store;
    std::vector<std::pair<const char*, const char*>> shown;
  };
  using R = platform::memory::MemoryRegistry;
  const Case cases[] = {
      {"nothing stored",
       [](R&) {},
       {{kMyComputer, "unchecked"}, {kRecycled, "checked"}, {kManageTools, "unchecked"}, {kRemovable, "unchecked"},
        {kDVD, "unchecked"}, {kCaret, "10"}, {kWinKey, "checked"}, {kHistory, "20"}, {kIEHome, "\"\""},
        {kActiveAU, "unchecked"}, {kAUType, "0"}}},
      {"icons hidden",
       [](R& r) {
         r.SetDword(HKCU, kHide, kMyComputerId, 1);
         r.SetDword(HKCU, kHide, kRecycledId, 1);
       },
       {{kMyComputer, "unchecked"}, {kRecycled, "unchecked"}}},
      {"icons shown, one as text, one as bytes",
       [](R& r) {
         r.SetDword(HKCU, kHide, kMyComputerId, 0);
         r.SetString(HKCU, kHide, kManageToolsId, "0");
         r.SetBinary(HKCU, kHide, kRecycledId, {1, 0, 0, 0});
       },
       {{kMyComputer, "checked"}, {kManageTools, "checked"}, {kRecycled, "checked"}}},
      {"AutoPlay 0x91", [](R& r) { r.SetDword(HKCU, kPolicies, "NoDriveTypeAutoRun", 0x91); },
       {{kRemovable, "checked"}, {kDVD, "checked"}}},
      {"AutoPlay 0xB5", [](R& r) { r.SetDword(HKCU, kPolicies, "NoDriveTypeAutoRun", 0xB5); },
       {{kRemovable, "unchecked"}, {kDVD, "unchecked"}}},
      {"AutoPlay as bytes", [](R& r) { r.SetBinary(HKCU, kPolicies, "NoDriveTypeAutoRun", {0x95, 0, 0, 0}); },
       {{kRemovable, "unchecked"}, {kDVD, "checked"}}},
      {"AutoPlay as text", [](R& r) { r.SetString(HKCU, kPolicies, "NoDriveTypeAutoRun", "177"); },
       {{kRemovable, "checked"}, {kDVD, "unchecked"}}},
      {"no failure action", [](R&) {}, {{kDoType, "-1"}}},  // the window's show leaves it unselected
      {"blue screen", [](R& r) { r.SetDword(HKLM, kCrash, "AutoReboot", 0); }, {{kDoType, "0"}}},
      {"numbers", [](R& r) {
         r.SetDword(HKCU, kDesktop, "CaretWidth", 3);
         r.SetDword(HKCU, kUrlHistory, "DaysToKeep", 45);
         r.SetDword(HKLM, kCrash, "AutoReboot", 1);
       },
       {{kCaret, "3"}, {kHistory, "45"}, {kDoType, "1"}}},
      {"numbers of the wrong type or out of range", [](R& r) {
         r.SetString(HKCU, kDesktop, "CaretWidth", "wide");
         r.SetBinary(HKCU, kUrlHistory, "DaysToKeep", {9});
         r.SetDword(HKLM, kCrash, "AutoReboot", 7);
         r.SetBinary(HKCU, kIEMain, "Start Page", {1, 2});
       },
       {{kDoType, "-1"}, {kCaret, "10"}, {kHistory, "20"}, {kIEHome, "\"\""}}},
      {"Windows keys policy set to Disabled", [](R& r) { r.SetDword(HKCU, kPolicies, "NoWinKeys", 0); },
       {{kWinKey, "checked"}}},
      {"Windows keys switched off", [](R& r) { r.SetDword(HKCU, kPolicies, "NoWinKeys", 1); },
       {{kWinKey, "unchecked"}}},
      {"home page", [](R& r) { r.SetString(HKCU, kIEMain, "Start Page", "http://example.org/"); },
       {{kIEHome, "\"http://example.org/\""}}},
      {"updates off", [](R& r) { r.SetDword(HKLM, kAutoUpdate, "AUOptions", 1); },
       {{kActiveAU, "unchecked"}, {kAUType, "0 disabled"}}},
      {"updates 0", [](R& r) { r.SetDword(HKLM, kAutoUpdate, "AUOptions", 0); }, {{kActiveAU, "checked"}, {kAUType, "0"}}},
      {"updates 3", [](R& r) { r.SetDword(HKLM, kAutoUpdate, "AUOptions", 3); }, {{kActiveAU, "checked"}, {kAUType, "2"}}},
      {"updates 4", [](R& r) { r.SetDword(HKLM, kAutoUpdate, "AUOptions", 4); }, {{kActiveAU, "checked"}, {kAUType, "3"}}},
      {"updates 9", [](R& r) { r.SetDword(HKLM, kAutoUpdate, "AUOptions", 9); }, {{kActiveAU, "checked"}, {kAUType, "0"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    c.store(Reg());
    Open(5);
    for (const auto& [control, state] : c.shown) EXPECT_EQ(State(control), state) << control;
    EXPECT_TRUE(Queue().Empty());
    EXPECT_FALSE(ApplyEnabled());
  }
}

TEST_F(GeneralSettingTest, FirewallFollowsTheRegistryUpToXpAndTheServiceLater) {
  struct Case {
    int version_class;
    std::optional<std::uint32_t> enable_firewall;
    std::optional<std::uint32_t> mps_state;
    const char* shown;
  };
  const Case cases[] = {
      {5, std::nullopt, std::nullopt, "checked"},  {5, 1, std::nullopt, "checked"},
      {5, 0, win::SERVICE_RUNNING, "unchecked"},   {4, 2, std::nullopt, "unchecked"},
      {7, 1, std::nullopt, "unchecked"},           {7, 0, win::SERVICE_RUNNING, "checked"},
      {6, std::nullopt, win::SERVICE_STOPPED, "unchecked"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.version_class) + " " + std::to_string(c.enable_firewall.value_or(99)));
    Reset();
    if (c.enable_firewall) Reg().SetDword(HKLM, kFirewall, "EnableFirewall", *c.enable_firewall);
    if (c.mps_state) Memory().services().AddService("MpsSvc", *c.mps_state);
    Memory().services().AddService("wscsvc", win::SERVICE_RUNNING);
    Open(c.version_class);
    EXPECT_EQ(State(kStartWF), c.shown);
    EXPECT_EQ(State(kActiveSC), "checked");
  }
}

TEST_F(GeneralSettingTest, SystemParametersShowInTheirLists) {
  struct Smoothing {
    int version_class;
    std::uint32_t on;
    std::uint32_t type;
    bool fails;
    int index;
  };
  const Smoothing smoothing[] = {
      {7, 0, 2, false, 0}, {7, 1, 1, false, 1}, {7, 1, 2, false, 2}, {5, 1, 3, false, 0},
      {4, 1, 2, false, 1}, {0, 1, 2, false, 1}, {7, 1, 2, true, 0},
  };
  for (const Smoothing& s : smoothing) {
    SCOPED_TRACE("smoothing " + std::to_string(s.version_class) + " " + std::to_string(s.type));
    Reset();
    Memory().spi().SetValue(spi::GETFONTSMOOTHING, s.on);
    Memory().spi().SetValue(spi::GETFONTSMOOTHINGTYPE, s.type);
    Memory().spi().FailAction(spi::GETFONTSMOOTHING, s.fails);
    Open(s.version_class);
    EXPECT_EQ(State(kSmooth), std::to_string(s.index));
  }

  struct Arrange {
    std::int32_t arrange;
    const char* left;
    const char* top;
    const char* arrangement;
  };
  // 0 Left / Right, 0 Top / 1 Bottom, 0 Side by side / 1 Cascading.
  const Arrange arranges[] = {
      {0, "0", "1", "0"},  {2, "0", "0", "0"},  {3, "1", "0", "0"},  {9, "1", "1", "0"},  {10, "0", "0", "0"},
      {4, "0", "1", "1"},  {6, "0", "0", "1"},  {7, "1", "0", "1"},  {13, "1", "1", "1"}, {14, "0", "0", "1"},
      {16, "1", "1", "1"},
  };
  for (const Arrange& a : arranges) {
    SCOPED_TRACE("iArrange " + std::to_string(a.arrange));
    Reset();
    Memory().spi().set_minimized_metrics({154, 0, 0, a.arrange});
    Open();
    EXPECT_EQ(State(kLeft), a.left);
    EXPECT_EQ(State(kTop), a.top);
    EXPECT_EQ(State(kArrangement), a.arrangement);
    for (const auto& call : Memory().spi().calls()) {
      if (call.action == spi::GETMINIMIZEDMETRICS) {
        EXPECT_EQ(call.ui, 20u);
      }
    }
  }
  // A refused query reads as iArrange 0.
  Reset();
  Memory().spi().set_minimized_metrics({154, 0, 0, 14});
  Memory().spi().FailAction(spi::GETMINIMIZEDMETRICS);
  Open();
  EXPECT_EQ(State(kLeft) + State(kTop) + State(kArrangement), "010");
}

// The start page loads while the window paints: messages are processed before each of
// the four loaders and after the last, and every read lies in its loader's stretch.
TEST_F(GeneralSettingTest, LoadersRunInOrderWithMessagesBetweenThem) {
  InstallFirefox();
  Memory().services().AddService("SharedAccess", win::SERVICE_RUNNING);
  harness::SetVersionClass(Memory(), 5);
  ui::PageModules pages;
  pages.push_back(CreateGeneralSettingPage());
  ui::TCorvanel_FormMain main(Memory(), std::move(pages));
  struct Mark {
    std::size_t registry, spi, services;
  };
  std::vector<Mark> marks;
  main.SetProcessMessages([&] {
    marks.push_back({Reg().access_log().size(), Memory().spi().calls().size(), Memory().services().calls().size()});
    EXPECT_TRUE(main.PageLoading());
  });
  main.ShowForm();
  Reg().ClearLogs();
  Memory().spi().ClearCalls();
  Memory().services().ClearCalls();
  ASSERT_TRUE(main.Find<forms::Timer>("Timer_Click").Tick());
  ASSERT_EQ(marks.size(), 5u);
  // Before the first loader only the adaptation has asked: is Firefox installed?
  for (std::size_t i = 0; i < marks[0].registry; ++i) {
    EXPECT_NE(Reg().access_log()[i].path.find("Uninstall"), std::string::npos) << Reg().access_log()[i].path;
  }
  EXPECT_EQ(marks[0].spi, 0u);
  EXPECT_EQ(marks[0].services, 0u);

  // Which loader stretch (1..4) a registry key, a parameter or a service was read in.
  const auto stretch_of = [&](std::size_t index, std::size_t Mark::*field) {
    for (std::size_t m = 0; m < marks.size(); ++m) {
      if (index < marks[m].*field) return static_cast<int>(m);
    }
    return 99;
  };
  const auto registry_stretch = [&](const std::string& part) {
    std::vector<int> found;
    const auto& log = Reg().access_log();
    for (std::size_t i = 0; i < log.size(); ++i) {
      if (log[i].path.find(part) != std::string::npos) found.push_back(stretch_of(i, &Mark::registry));
    }
    return found;
  };
  EXPECT_EQ(registry_stretch("HideDesktopIcons"), std::vector<int>(6, 1));
  EXPECT_EQ(registry_stretch("Policies\\Explorer"), (std::vector<int>{2, 2}));  // AutoPlay once, Windows keys
  EXPECT_EQ(registry_stretch("Control Panel\\Desktop"), (std::vector<int>{2}));
  EXPECT_EQ(registry_stretch("StandardProfile"), (std::vector<int>{3}));
  EXPECT_EQ(registry_stretch("Auto Update"), (std::vector<int>{3}));
  EXPECT_EQ(registry_stretch("CrashControl"), (std::vector<int>{4}));
  EXPECT_EQ(registry_stretch("Url History"), (std::vector<int>{4}));
  EXPECT_EQ(registry_stretch("Internet Explorer\\Main"), (std::vector<int>{4}));

  // Display: smoothing, its type, then the minimized-window metrics.
  std::vector<std::uint32_t> asked;
  for (std::size_t i = 0; i < Memory().spi().calls().size(); ++i) {
    EXPECT_EQ(stretch_of(i, &Mark::spi), 1);
    asked.push_back(Memory().spi().calls()[i].action);
  }
  EXPECT_EQ(asked, (std::vector<std::uint32_t>{spi::GETFONTSMOOTHING, spi::GETFONTSMOOTHINGTYPE,
                                               spi::GETMINIMIZEDMETRICS}));
  // Security: the XP firewall service, the Security Center; the firewall box reads the
  // registry on XP.
  std::vector<std::string> services;
  for (std::size_t i = 0; i < Memory().services().calls().size(); ++i) {
    const auto& call = Memory().services().calls()[i];
    if (call.call != "open") continue;
    EXPECT_EQ(stretch_of(i, &Mark::services), 3);
    services.push_back(call.service);
  }
  EXPECT_EQ(services, (std::vector<std::string>{"SharedAccess", "wscsvc"}));
  EXPECT_TRUE(main.Queue().Empty());
}

// ---------------------------------------------------------------------------------
// Changes

TEST_F(GeneralSettingTest, DesktopIconsQueueTheirKeyAndTheirHideValue) {
  struct Case {
    const char* box;
    const char* stored;  // "0", "1" or "" for none
    std::optional<bool> wow64;
    std::vector<TRegRecor> queued;
  };
  const std::string ns = kNameSpaceKey;
  const Case cases[] = {
      {kMyComputer, "", false,
       {Rec("CHKmycomputer", HKLM, ns + kMyComputerId, "", 1, ""),
        Rec("CHKmycomputer1", HKCU, kHideKey, kMyComputerId, 3, 0)}},
      {kMyComputer, "0", false,
       {Rec("CHKmycomputer", HKLM, ns + kMyComputerId, "", 1, ""),
        Rec("CHKmycomputer1", HKCU, kHideKey, kMyComputerId, 3, 1)}},
      {kManageTools, "0", true,
       {Rec("CHKmantools", HKLM, ns + kManageToolsId, "", 1, "", engine::kActionDeleteKey64),
        Rec("CHKmantools1", HKCU, kHideKey, kManageToolsId, 3, 1)}},
      {kManageTools, "0", false,
       {Rec("CHKmantools", HKLM, ns + kManageToolsId, "", 1, "", engine::kActionDeleteKey),
        Rec("CHKmantools1", HKCU, kHideKey, kManageToolsId, 3, 1)}},
      {kManageTools, "1", true,
       {Rec("CHKmantools", HKLM, ns + kManageToolsId, "", 1, ""),
        Rec("CHKmantools1", HKCU, kHideKey, kManageToolsId, 3, 0)}},
      {kRecycled, "", false,
       {Rec("CHKrec", HKLM, ns + kRecycledId, "", 1, ""), Rec("CHKrec1", HKCU, kHideKey, kRecycledId, 3, 1)}},
      {kNetConnect, "", false,
       {Rec("CHKnetconnect", HKLM, ns + "{992CFFA0-F557-101A-88EC-00DD010CCC48}", "", 1, ""),
        Rec("CHKnetconnect1", HKCU, kHideKey, "{992CFFA0-F557-101A-88EC-00DD010CCC48}", 3, 0)}},
      {kNetNeighborhood, "", false,
       {Rec("CHKnet", HKLM, ns + "{208D2C60-3AEA-1069-A2D7-08002B30309D}", "", 1, ""),
        Rec("CHKnet1", HKCU, kHideKey, "{208D2C60-3AEA-1069-A2D7-08002B30309D}", 3, 0)}},
      {kMyDocument, "", false,
       {Rec("CHkmydoc", HKLM, ns + "{450D8FBA-AD25-11D0-98A8-0800361B1103}", "", 1, ""),
        Rec("CHkmydoc1", HKCU, kHideKey, "{450D8FBA-AD25-11D0-98A8-0800361B1103}", 3, 0)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.box) + " stored \"" + c.stored + "\"");
    Reset();
    Reg().SetWow64Answer(c.wow64);
    const TRegRecor& hide = c.queued[1];
    if (*c.stored != '\0') Reg().SetDword(HKCU, kHide, hide.ValueName, c.stored[0] == '1' ? 1 : 0);
    Open(5);
    ASSERT_TRUE(Click(c.box, kDisplay));
    EXPECT_EQ(Records(), c.queued);
    EXPECT_TRUE(Requests().AssociationsChanged);
    EXPECT_FALSE(Requests().RestartNeeded);
    EXPECT_TRUE(ApplyEnabled());
  }
}

TEST_F(GeneralSettingTest, ControlsQueueTheirRecordsAndRequests) {
  struct Case {
    const char* what;
    int version_class;
    std::function<void()> act;
    std::vector<TRegRecor> queued;
    bool restart = false;
    std::int32_t security_center = 0;
    std::int32_t firewall = 0;
  };
  const TRegRecor win_keys_off = Rec(kWinKey, HKCU, kPoliciesKey, "NoWinKeys", 3, 1);
  const Case cases[] = {
      {"Windows keys off", 7, [this] { Click(kWinKey, kFunction); }, {win_keys_off}, true},
      {"Windows keys on again", 7,
       [this] {
         Click(kWinKey, kFunction);
         Click(kWinKey, kFunction);
       },
       {Rec(kWinKey, HKCU, kPoliciesKey, "NoWinKeys", 3, 1, engine::kActionDeleteValue)}, true},
      {"caret width", 7,
       [this] {
         ShowTab(kFunction);
         Get<UpDown>(kCaret).UserClickDown();
       },
       {Rec(kCaret, HKCU, kDesktopKey, "CaretWidth", 3, 9)}, true},
      {"history days", 7,
       [this] { Get<UpDown>(kHistory).UserClickUp(); },
       {Rec(kHistory, HKCU, kUrlHistoryKey, "DaysToKeep", 3, 21)}},
      {"home page typed", 7,
       [this] {
         auto& edit = Get<Edit>(kIEHome);
         edit.UserSetText("http://a.example/");
         edit.UserKeyUp('/');
       },
       {Rec("Edit_IE_Common_Homepage_Address", HKCU, kIEMainKey, "Start Page", 1, "http://a.example/")}},
      {"blank page", 7, [this] { Get<Button>(kUseBlank).UserClick(); },
       {Rec("Edit_IE_Common_Homepage_Address", HKCU, kIEMainKey, "Start Page", 1, "about:blank")}},
      {"firewall off on XP", 5, [this] { Click(kStartWF, kSecurity); },
       {Rec(kStartWF, HKLM, kFirewallKey, "EnableFirewall", 3, 0)}},
      {"firewall on on Windows 7", 7, [this] { Click(kStartWF, kSecurity); }, {}, false, 0, 1},
      {"firewall on and off on Vista", 6,
       [this] {
         Click(kStartWF, kSecurity);
         Click(kStartWF, kSecurity);
       },
       {}, false, 0, 2},
      {"Security Center on", 7, [this] { Click(kActiveSC, kSecurity); }, {}, false, 1},
      {"Security Center on and off", 5,
       [this] {
         Click(kActiveSC, kSecurity);
         Click(kActiveSC, kSecurity);
       },
       {}, false, 2},
      {"automatic restart", 7, [this] { Select(kDoType, 1, kOthers); },
       {Rec(kDoType, HKLM, kCrashKey, "AutoReboot", 3, 1)}},
      {"ClearType", 7, [this] { Select(kSmooth, 2, kOthers); },
       {Spi("norCBfont", spi::SETFONTSMOOTHING, 1, std::uint32_t{0}),
        Spi("norCBfont1", spi::SETFONTSMOOTHINGTYPE, 0, std::uint32_t{2})}},
      {"ClearType on Windows 2000", 4, [this] { Select(kSmooth, 2, kOthers); },
       {Spi("norCBfont", spi::SETFONTSMOOTHING, 1, std::uint32_t{0})}},
      // "No Smoothing" leaves the queued type; it does nothing while smoothing is off.
      {"ClearType, then none", 5,
       [this] {
         Select(kSmooth, 2, kOthers);
         Select(kSmooth, 0, kOthers);
       },
       {Spi("norCBfont", spi::SETFONTSMOOTHING, 0, std::uint32_t{0}),
        Spi("norCBfont1", spi::SETFONTSMOOTHINGTYPE, 0, std::uint32_t{2})}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    Open(c.version_class);
    c.act();
    EXPECT_EQ(Records(), c.queued);
    EXPECT_EQ(Requests().RestartNeeded, c.restart);
    EXPECT_EQ(Requests().SecurityCenterServiceAction, c.security_center);
    EXPECT_EQ(Requests().FirewallServiceAction, c.firewall);
    EXPECT_FALSE(Requests().AssociationsChanged);
    EXPECT_TRUE(ApplyEnabled());
  }
}

TEST_F(GeneralSettingTest, AutomaticUpdatesBoxAndListShareOneRecord) {
  Reg().SetDword(HKLM, kAutoUpdate, "AUOptions", 1);
  Open(5);
  const auto queued = [&] { return Record("CHKAutoupdate")->Value; };
  ASSERT_TRUE(Click(kActiveAU, kSecurity));
  EXPECT_EQ(Records(), (std::vector<TRegRecor>{Rec("CHKAutoupdate", HKLM, kAutoUpdateKey, "AUOptions", 3, 0)}));
  EXPECT_TRUE(Combo(kAUType).Enabled());
  ASSERT_TRUE(Select(kAUType, 1, kSecurity));
  EXPECT_EQ(queued(), engine::MakeInt(2));
  ASSERT_TRUE(Select(kAUType, 3, kSecurity));
  EXPECT_EQ(queued(), engine::MakeInt(4));
  ASSERT_TRUE(Click(kActiveAU, kSecurity));
  EXPECT_EQ(queued(), engine::MakeInt(1));
  EXPECT_FALSE(Combo(kAUType).Enabled());
  EXPECT_EQ(Records().size(), 1u);
}

TEST_F(GeneralSettingTest, MinimizedWindowsKeepTheMetricsAndTheHideBit) {
  struct Case {
    const char* what;
    std::int32_t arrange;
    const char* list;
    int index;
    std::int32_t queued;
  };
  const Case cases[] = {
      {"cascading with the hide bit", 10, kArrangement, 1, 14},
      {"right without it", 2, kLeft, 1, 3},
      {"bottom", 11, kTop, 1, 9},
      {"side by side", 5, kArrangement, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    Memory().spi().set_minimized_metrics({100, 3, 4, c.arrange});
    Open();
    ASSERT_TRUE(Select(c.list, c.index, kOthers));
    EXPECT_EQ(Records(), (std::vector<TRegRecor>{Minimized(MinimizedBlock(100, 3, 4, c.queued))}));
    EXPECT_TRUE(Requests().RestartNeeded);
  }

  // No reading: no width or gaps to keep, so nothing is queued.
  Reset();
  Open();
  Memory().spi().FailAction(spi::GETMINIMIZEDMETRICS);
  ASSERT_TRUE(Select(kTop, 0, kOthers));
  EXPECT_TRUE(Queue().Empty());
  EXPECT_FALSE(Requests().RestartNeeded);
  EXPECT_TRUE(ApplyEnabled());

  // A change queued by another page is the starting point, not the system's metrics.
  Reset();
  Memory().spi().set_minimized_metrics({154, 0, 0, 0});
  Open();
  Queue().AddRecord(Spi("CB_Taskbar_MinWindows_Position_Arrangement", spi::SETMINIMIZEDMETRICS, 20,
                        MinimizedBlock(60, 2, 5, 8)));
  ASSERT_TRUE(Select(kLeft, 1, kOthers));
  EXPECT_EQ(*Record("Cmblocal"), Minimized(MinimizedBlock(60, 2, 5, 9)));
  Apply();
  EXPECT_EQ(Memory().spi().minimized_metrics(), (platform::memory::MemorySystemParameters::MinimizedMetrics{60, 2, 5, 9}));
}

// Both AutoPlay boxes write bits of one mask: each click starts from what the queue
// would leave there, so two changes before one Apply both reach the registry.
TEST_F(GeneralSettingTest, AutoPlayBoxesChangeTheirBitsOfTheLatestMask) {
  const auto queued = [&](const char* box) { return Record(box)->Value; };
  Reg().SetDword(HKCU, kPolicies, "NoDriveTypeAutoRun", 0x91);
  Open();
  ASSERT_TRUE(Click(kRemovable, kFunction));
  EXPECT_EQ(Records(), (std::vector<TRegRecor>{Rec(kRemovable, HKCU, kPoliciesKey, "NoDriveTypeAutoRun", 3, 0x95)}));
  ASSERT_TRUE(Click(kRemovable, kFunction));
  EXPECT_EQ(queued(kRemovable), engine::MakeInt(0x91));
  ASSERT_TRUE(Click(kRemovable, kFunction));
  ASSERT_TRUE(Click(kDVD, kFunction));
  EXPECT_EQ(queued(kDVD), engine::MakeInt(0xB5));
  Apply();
  EXPECT_EQ(Reg().GetDword(HKCU, kPolicies, "NoDriveTypeAutoRun"), 0xB5u);
  // After Apply the stored mask is the start again.
  ASSERT_TRUE(Click(kRemovable, kFunction));
  EXPECT_EQ(queued(kRemovable), engine::MakeInt(0xB1));
  ASSERT_TRUE(Click(kDVD, kFunction));
  EXPECT_EQ(queued(kDVD), engine::MakeInt(0x91));
  Apply();
  EXPECT_EQ(Reg().GetDword(HKCU, kPolicies, "NoDriveTypeAutoRun"), 0x91u);

  // A missing mask counts as 0.
  Reset();
  Open();
  ASSERT_TRUE(Click(kDVD, kFunction));
  EXPECT_EQ(queued(kDVD), engine::MakeInt(0));
  ASSERT_TRUE(Click(kDVD, kFunction));
  EXPECT_EQ(queued(kDVD), engine::MakeInt(32));

  // Another page's queued mask is the start as well.
  Reset();
  Reg().SetDword(HKCU, kPolicies, "NoDriveTypeAutoRun", 0x95);
  Open();
  Queue().AddRecord(Rec("Checkbox_Drives_AutoPlay_AutoPlayInfo_DVD", HKCU, kPoliciesKey, "NoDriveTypeAutoRun", 3, 0xB5));
  ASSERT_TRUE(Click(kRemovable, kFunction));
  EXPECT_EQ(queued(kRemovable), engine::MakeInt(0xB1));
  Apply();
  EXPECT_EQ(Reg().GetDword(HKCU, kPolicies, "NoDriveTypeAutoRun"), 0xB1u);
}

TEST_F(GeneralSettingTest, AutoPlayMaskKeepsTheTypeItIsStoredIn) {
  struct Case {
    const char* what;
    std::function<void(platform::memory::MemoryRegistry&)> store;
    const char* box;
    std::optional<TRegRecor> queued;  // nothing: the box goes back to what it showed
  };
  using R = platform::memory::MemoryRegistry;
  const auto rec = [](const char* box, std::uint8_t type, engine::Value v) {
    return Rec(box, HKCU, kPoliciesKey, "NoDriveTypeAutoRun", type, std::move(v));
  };
  const Case cases[] = {
      {"bytes, longer than a number",
       [](R& r) { r.SetBinary(HKCU, kPolicies, "NoDriveTypeAutoRun", {0x91, 0, 0, 0, 0xAA}); }, kRemovable,
       rec(kRemovable, 4, Bytes{0x95, 0, 0, 0, 0xAA})},
      {"one byte", [](R& r) { r.SetBinary(HKCU, kPolicies, "NoDriveTypeAutoRun", {0xB5}); }, kDVD,
       rec(kDVD, 4, Bytes{0x95})},
      {"no bytes", [](R& r) { r.SetBinary(HKCU, kPolicies, "NoDriveTypeAutoRun", {}); }, kRemovable,
       rec(kRemovable, 4, Bytes{0x04})},
      {"decimal text", [](R& r) { r.SetString(HKCU, kPolicies, "NoDriveTypeAutoRun", "145"); }, kRemovable,
       rec(kRemovable, 1, "149")},
      {"expandable text", [](R& r) { r.SetExpandString(HKCU, kPolicies, "NoDriveTypeAutoRun", "181"); }, kDVD,
       rec(kDVD, 2, "149")},
      {"text without a number", [](R& r) { r.SetString(HKCU, kPolicies, "NoDriveTypeAutoRun", "off"); }, kDVD,
       std::nullopt},
      {"multi-string", [](R& r) { r.SetMultiString(HKCU, kPolicies, "NoDriveTypeAutoRun", {"145"}); }, kRemovable,
       std::nullopt},
      {"QWORD", [](R& r) { r.SetQword(HKCU, kPolicies, "NoDriveTypeAutoRun", 0x91); }, kRemovable,
       rec(kRemovable, 11, Bytes{0x95, 0, 0, 0, 0, 0, 0, 0})},
      {"QWORD with high bits", [](R& r) { r.SetQword(HKCU, kPolicies, "NoDriveTypeAutoRun", 0x7F000000000000B5); },
       kDVD, rec(kDVD, 11, Bytes{0x95, 0, 0, 0, 0, 0, 0, 0x7F})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    c.store(Reg());
    Open();
    const bool shown = Checked(c.box);
    ASSERT_TRUE(Click(c.box, kFunction));
    if (!c.queued) {
      EXPECT_TRUE(Records().empty());
      EXPECT_EQ(Checked(c.box), shown);
      continue;
    }
    ASSERT_EQ(Records().size(), 1u);
    EXPECT_EQ(Records()[0], *c.queued);
  }
}

// ---------------------------------------------------------------------------------
// Versions, Firefox and layout

TEST_F(GeneralSettingTest, VersionClassesAndFirefoxAdaptThePage) {
  for (const int version_class : harness::kVersionClasses) {
    for (const bool firefox : {false, true}) {
      SCOPED_TRACE("class " + std::to_string(version_class) + (firefox ? " with Firefox" : " without Firefox"));
      Reset();
      if (firefox) InstallFirefox();
      Memory().services().AddService("SharedAccess", win::SERVICE_RUNNING);
      Open(version_class);
      const bool vista = version_class > 5;
      EXPECT_EQ(Ctl(kMyDocument).Visible(), !vista);
      EXPECT_EQ(Ctl(kNetNeighborhood).Visible(), !vista);
      EXPECT_TRUE(Ctl(kMyComputer).Visible());
      EXPECT_EQ(Ctl(kFirefoxGroup).Visible(), firefox);
      EXPECT_EQ(Get<forms::TabSheet>("TabSheet_CommonSettings_Security").TabVisible(), version_class >= 5);
      for (const char* hidden : {"Button_CommonSettings_Function_Default", "Button_CommonSettings_Security_Default",
                                 "Button20", "Label_CommonSettings_Function_WinKey_Info"}) {
        EXPECT_FALSE(Ctl(hidden).Visible()) << hidden;
      }
      for (int tab = kDisplay; tab <= kOthers; ++tab) {
        ShowTab(static_cast<Tab>(tab));
        EXPECT_EQ(LayoutProblems(), "") << "tab " << tab;
      }
    }
  }
  // XP without a running firewall service has no Security tab; the other tabs stay.
  for (const std::uint32_t state : {win::SERVICE_STOPPED, win::SERVICE_RUNNING}) {
    Reset();
    Memory().services().AddService("SharedAccess", state);
    Open(5);
    EXPECT_EQ(Get<forms::TabSheet>("TabSheet_CommonSettings_Security").TabVisible(), state == win::SERVICE_RUNNING);
    EXPECT_TRUE(Get<forms::TabSheet>("TabSheet_CommonSettings_Others").TabVisible());
  }
}

// The Firefox home page comes from the profile's preference files, only when Firefox is
// installed; the edit shows the address without the string's quotes and escapes.
TEST_F(GeneralSettingTest, FirefoxHomePageShowsTheProfilesAddress) {
  const std::string folder = "C:\\users\\user\\AppData\\Roaming\\Mozilla\\Firefox\\";
  struct Case {
    bool installed;
    const char* prefs_js;
    const char* user_js;  // null: none
    const char* shown;
  };
  const Case cases[] = {
      {true, "user_pref(\"browser.startup.homepage\", \"http://a.example/\");\n", nullptr, "http://a.example/"},
      {true, "user_pref(\"browser.startup.homepage\", \"http://a.example/\");\n",
       "// mine\nuser_pref(\"browser.startup.homepage\", \"http://say \\\"hi\\\"/\");\n", "http://say \"hi\"/"},
      {true, "user_pref(\"browser.tabs.warnOnClose\", false);\n", nullptr, ""},
      {false, "user_pref(\"browser.startup.homepage\", \"http://a.example/\");\n", nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.installed ? "installed: " : "not installed: ") + c.shown);
    Reset();
    if (c.installed) InstallFirefox();
    auto& files = Memory().files();
    files.AddFile(folder + "profiles.ini", "[Profile0]\r\nIsRelative=1\r\nPath=Profiles/a.default\r\n");
    files.AddFile(folder + "Profiles/a.default\\prefs.js", c.prefs_js);
    if (c.user_js != nullptr) files.AddFile(folder + "Profiles/a.default\\user.js", c.user_js);
    Open();
    EXPECT_EQ(Get<Edit>("Edit_CommonSettings_Display_FirefoxHomepage_HomePage").Text(), c.shown);
    EXPECT_EQ(Window().Firefox().Loaded(), c.installed);
    EXPECT_TRUE(Queue().Empty());
    EXPECT_FALSE(Window().Firefox().HasPendingChanges());
  }
}

// The program opens on this page: the start-up timer loads it behind the loading panel,
// shows it and highlights its item; the panel goes with the next animation tick.
TEST(GeneralSettingStartUp, TheWindowOpensOnTheGeneralSettingPage) {
  platform::memory::MemoryPlatform memory;
  memory.registry().SetDword(HKCU, kPolicies, "NoDriveTypeAutoRun", 0x91);
  ui::TCorvanel_FormMain main(memory, CreateAllPages());
  ASSERT_NE(main.Module(19), nullptr);
  int ticks_while_loading = 0;
  main.SetProcessMessages([&] {
    // The animation moves on while the page loads, and the panel stays.
    if (main.Find<forms::Timer>("Timer_Loading").Tick()) ++ticks_while_loading;
    EXPECT_TRUE(main.Find<forms::Panel>("Panel_Loading").Visible());
    EXPECT_TRUE(main.PageLoading());
  });
  main.ShowForm();
  auto& panel = main.Find<forms::Panel>("Panel_Loading");
  ASSERT_TRUE(main.Find<forms::Timer>("Timer_Click").Tick());
  EXPECT_EQ(main.LoadedPages(), (std::vector<std::string>{"19"}));
  EXPECT_EQ(main.notset().ActivePage(), &main.Context(19).Page());
  ASSERT_NE(main.SelectedItem(), nullptr);
  EXPECT_EQ(main.SelectedItem()->Tag, 19);
  EXPECT_TRUE(main.SelectedItem()->Bold);
  EXPECT_EQ(ticks_while_loading, 5);
  EXPECT_TRUE(panel.Visible());
  EXPECT_TRUE(main.Find<CheckBox>(kRemovable).Checked());
  EXPECT_TRUE(main.Queue().Empty());
  EXPECT_FALSE(main.Find<Button>("Button_Apply").Enabled());

  ASSERT_TRUE(main.Find<forms::Timer>("Timer_Loading").Tick());
  EXPECT_FALSE(panel.Visible());
  EXPECT_TRUE(main.Find<Button>("Button_OK").Enabled());
  EXPECT_FALSE(main.Find<Button>("Button_Apply").Enabled());
}

// The Firefox home page typed here is the Firefox page's change: it is pending in the
// preference layer, and the Firefox page, loaded later, shows it instead of the file's.
TEST(GeneralSettingStartUp, AFirefoxHomePageTypedHereSurvivesTheFirefoxPage) {
  platform::memory::MemoryPlatform memory;
  harness::SetVersionClass(memory, 7);
  memory.registry().CreateKeyPath(HKLM, std::string(kUninstall) + "\\Mozilla Firefox (x64 en-US)");
  const std::string folder = "C:\\users\\user\\AppData\\Roaming\\Mozilla\\Firefox\\";
  memory.files().AddFile(folder + "profiles.ini", "[Profile0]\r\nIsRelative=1\r\nPath=Profiles/a.default\r\n");
  memory.files().AddFile(folder + "Profiles/a.default\\prefs.js",
                         "user_pref(\"browser.startup.homepage\", \"http://old.example/\");\n");
  ui::TCorvanel_FormMain main(memory, CreateAllPages());
  main.ShowForm();
  ASSERT_TRUE(main.Find<forms::Timer>("Timer_Click").Tick());
  ASSERT_TRUE(main.Find<forms::Timer>("Timer_Loading").Tick());
  auto& edit = main.Find<Edit>("Edit_CommonSettings_Display_FirefoxHomepage_HomePage");
  EXPECT_EQ(edit.Text(), "http://old.example/");
  ASSERT_TRUE(edit.UserSetText("http://new.example/"));
  ASSERT_TRUE(edit.UserKeyUp('/'));
  EXPECT_TRUE(main.Requests().FirefoxChanged);
  EXPECT_TRUE(main.Find<Button>("Button_Apply").Enabled());
  EXPECT_TRUE(main.Queue().Empty()) << "a Firefox preference is no setting record";

  ui::GroupBar& bar = main.RzGroupBar1();
  int group = 0;
  int item = 0;
  ASSERT_TRUE(bar.Locate(bar.FindItemByTag(9), &group, &item));
  ASSERT_TRUE(bar.UserClickItem(group, item));
  EXPECT_EQ(main.Find<Edit>("Edit_Firefox_Common_Homepage_Address").Text(), "http://new.example/");
  EXPECT_EQ(main.Firefox().GetFirefoxPref("\"browser.startup.homepage\""), "\"http://new.example/\"");
}

}  // namespace
}  // namespace corvanel::pages
