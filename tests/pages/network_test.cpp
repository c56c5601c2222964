#include "pages/system/network.h"

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
using forms::CheckBox;
using forms::Control;
using forms::RadioButton;
using forms::TabSheet;
using forms::UpDown;
using platform::HKCU;
using platform::HKLM;
using platform::RegKey;
namespace win = platform::win;

constexpr const char* kTasksKey =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RemoteComputer\\NameSpace\\"
    "{D6277990-4C6A-11CF-8D87-00AA0060F5BF}";
constexpr const char* kPrintersKey =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RemoteComputer\\NameSpace\\"
    "{2227A280-3AEA-1069-A2DE-08002B30309D}";
constexpr const char* kExplorer = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
constexpr const char* kPolicies = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
constexpr const char* kServer = "\\SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters\\";
constexpr const char* kSsdp = "\\SYSTEM\\CurrentControlSet\\Services\\SSDPSRV\\";
constexpr const char* kPSched = "\\SOFTWARE\\Policies\\Microsoft\\Windows\\PSched\\";
constexpr const char* kPwdPolicy = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\Network\\";
constexpr const char* kWorkstation = "\\SYSTEM\\CurrentControlSet\\Services\\lanmanworkstation\\parameters\\";
constexpr const char* kWinlogon = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\";
constexpr const char* kFirewallKey =
    "\\SYSTEM\\CurrentControlSet\\Services\\SharedAccess\\Parameters\\FirewallPolicy\\StandardProfile\\";

constexpr const char* kTask = "Checkbox_Net_Neighbor_Common_Task";
constexpr const char* kPrinter = "Checkbox_Net_Neighbor_Common_Printer";
constexpr const char* kShare = "Checkbox_Net_Neighbor_Common_Share";
constexpr const char* kAdd = "Checkbox_Net_Neighbor_Common_Add";
constexpr const char* kHide = "Checkbox_Net_Neighbor_Security_Hide";
constexpr const char* kActiveShare = "Checkbox_Net_Neighbor_Security_ActiveShare";
constexpr const char* kUpnp = "Checkbox_Net_Advanced_UPnp_Enable";
constexpr const char* kQos = "Checkbox_Net_Advanced_Qos_Keep";
constexpr const char* kQosUpDown = "Updown_Net_Advanced_Qos_Count";
constexpr const char* kSavePassword = "Checkbox_Net_Password_Storage_SavePassword";
constexpr const char* kOnlyForShare = "Checkbox_Net_Password_Transmission_OnlyForShare";
constexpr const char* kAsk = "Radio_Net_Internet_CloseConnection_Ask";
constexpr const char* kNoClose = "Radio_Net_Internet_CloseConnection_NoClose";
constexpr const char* kFirewall = "Checkbox_Net_Internet_WindowsFirewall_Enable";
constexpr const char* kFirewallGroup = "GroupBox_Net_Internet_WindowsFirewall";

TRegRecor Dword(const std::string& name, RegKey root, const char* key, const char* value, std::int32_t n) {
  return engine::WriteRecord(name, root, key, value, 3, engine::MakeInt(n));
}

class NetworkTest : public harness::PageTest {
 protected:
  NetworkTest() : PageTest(CreateNetworkPage) {}
  void Open(int version_class = 5) { PageTest::Open(version_class); }
  int Count() const { return Get<UpDown>(kQosUpDown).Position(); }
};

// --- loading -------------------------------------------------------------------------

struct Stored {
  enum Kind { Missing, Dword, Text } kind = Missing;
  std::uint32_t number = 0;
  std::string text;
};
Stored None() { return {}; }
Stored D(std::uint32_t n) { return {Stored::Dword, n, {}}; }
Stored T(std::string t) { return {Stored::Text, 0, std::move(t)}; }

TEST_F(NetworkTest, SwitchesLoadTheirValues) {
  struct Case {
    const char* box;
    RegKey root;
    const char* key;
    const char* value;
    Stored stored;
    bool checked;
  };
  const Case cases[] = {
      {kShare, HKCU, kExplorer, "NoNetCrawling", None(), true},
      {kShare, HKCU, kExplorer, "NoNetCrawling", D(0), true},
      {kShare, HKCU, kExplorer, "NoNetCrawling", D(1), false},
      {kShare, HKCU, kExplorer, "NoNetCrawling", T("no"), false},
      {kAdd, HKCU, kPolicies, "NoRecentDocsNetHood", T("0"), true},
      {kAdd, HKCU, kPolicies, "NoRecentDocsNetHood", D(2), false},
      {kHide, HKLM, kServer, "Hidden", None(), false},
      {kHide, HKLM, kServer, "Hidden", D(1), true},
      {kHide, HKLM, kServer, "Hidden", D(2), false},
      {kActiveShare, HKLM, kServer, "AutoShareWks", None(), true},
      {kActiveShare, HKLM, kServer, "AutoShareWks", D(0), false},
      {kActiveShare, HKLM, kServer, "AutoShareWks", T("x"), false},
      {kUpnp, HKLM, kSsdp, "Start", None(), false},
      {kUpnp, HKLM, kSsdp, "Start", D(3), true},
      {kUpnp, HKLM, kSsdp, "Start", D(4), false},
      {kSavePassword, HKLM, kPwdPolicy, "DisablePwdCaching", None(), true},
      {kSavePassword, HKLM, kPwdPolicy, "DisablePwdCaching", D(1), false},
      {kSavePassword, HKLM, kPwdPolicy, "DisablePwdCaching", D(2), true},
      {kOnlyForShare, HKLM, kWorkstation, "enableplaintextpassword", T("1"), false},
      {kOnlyForShare, HKLM, kWorkstation, "enableplaintextpassword", T("yes"), true},
      {kFirewall, HKLM, kFirewallKey, "EnableFirewall", None(), true},
      {kFirewall, HKLM, kFirewallKey, "EnableFirewall", D(0), false},
  };
  for (const Case& c : cases) {
    Reset();
    if (c.stored.kind == Stored::Dword) Reg().SetDword(c.root, c.key, c.value, c.stored.number);
    if (c.stored.kind == Stored::Text) Reg().SetString(c.root, c.key, c.value, c.stored.text);
    Open(5);
    EXPECT_EQ(Checked(c.box), c.checked) << c.box << " " << c.stored.kind << " " << c.stored.number << c.stored.text;
    EXPECT_TRUE(Records().empty()) << c.box;
    EXPECT_FALSE(ApplyEnabled()) << c.box;
  }
}

TEST_F(NetworkTest, EachVersionReadsItsOwnSearchKey) {
  struct Case {
    int version_class;
    std::function<void(platform::memory::MemoryRegistry&)> store;
    bool task;
    bool printer;
  };
  using R = platform::memory::MemoryRegistry;
  const Case cases[] = {
      {5, [](R& r) { r.SetString(HKLM, kTasksKey, "", "1"); }, true, false},
      {5, [](R& r) { r.CreateKeyPath(HKLM, kTasksKey); }, false, false},  // no default value
      {5, [](R& r) { r.SetString(HKLM, kPrintersKey, "", "Printers"); }, false, false},
      {7, [](R& r) { r.SetString(HKLM, kPrintersKey, "", "x"); }, false, true},
      {7, [](R& r) { r.SetString(HKLM, kTasksKey, "", "1"); }, false, false},
  };
  for (const Case& c : cases) {
    Reset();
    c.store(Reg());
    Open(c.version_class);
    EXPECT_EQ(Checked(kTask), c.task) << c.version_class;
    EXPECT_EQ(Checked(kPrinter), c.printer) << c.version_class;
  }
}

TEST_F(NetworkTest, BandwidthAndDialUpLoad) {
  struct Qos {
    Stored stored;
    bool checked;
    int position;
  };
  for (const Qos& c : {Qos{None(), true, 20}, Qos{D(35), true, 35}, Qos{D(0), false, 20},
                       Qos{D(0xFFFFFFFF), false, 20}, Qos{T("70"), true, 70}}) {
    Reset();
    if (c.stored.kind == Stored::Dword) Reg().SetDword(HKLM, kPSched, "NonBestEffortLimit", c.stored.number);
    if (c.stored.kind == Stored::Text) Reg().SetString(HKLM, kPSched, "NonBestEffortLimit", c.stored.text);
    Open();
    EXPECT_EQ(Checked(kQos), c.checked) << c.stored.number << c.stored.text;
    EXPECT_EQ(Ctl(kQosUpDown).Enabled(), c.checked) << c.stored.number;
    EXPECT_EQ(Ctl("Edit_Net_Advanced_Qos_Count").Enabled(), c.checked) << c.stored.number;
    EXPECT_EQ(Count(), c.position) << c.stored.number;
  }

  struct Ras {
    Stored stored;
    bool ask;
  };
  for (const Ras& c : {Ras{None(), true}, Ras{T("0"), true}, Ras{D(0), true}, Ras{T("1"), false}, Ras{D(5), false}}) {
    Reset();
    if (c.stored.kind == Stored::Dword) Reg().SetDword(HKLM, kWinlogon, "KeepRASConnections", c.stored.number);
    if (c.stored.kind == Stored::Text) Reg().SetString(HKLM, kWinlogon, "KeepRASConnections", c.stored.text);
    Open();
    EXPECT_EQ(Get<RadioButton>(kAsk).Checked(), c.ask) << c.stored.number << c.stored.text;
    EXPECT_EQ(Get<RadioButton>(kNoClose).Checked(), !c.ask) << c.stored.number << c.stored.text;
  }
}

TEST_F(NetworkTest, TheFirewallIsAServiceFromVistaOn) {
  struct Case {
    int version_class;
    std::optional<std::uint32_t> mpssvc;         // state of "MpsSvc"; nullopt: not installed
    std::optional<std::uint32_t> shared_access;  // state of "SharedAccess"
    bool checked;
    bool group_visible;
  };
  const Case cases[] = {
      {7, win::SERVICE_RUNNING, std::nullopt, true, true},
      {8, win::SERVICE_STOPPED, std::nullopt, false, true},
      {6, std::nullopt, std::nullopt, false, true},
      {5, std::nullopt, win::SERVICE_RUNNING, true, true},   // the registry value is missing
      {5, std::nullopt, win::SERVICE_STOPPED, true, false},  // a stopped service does not answer
      {5, std::nullopt, std::nullopt, true, true},           // not installed: a different answer
      {4, std::nullopt, win::SERVICE_RUNNING, true, false},
      {0, win::SERVICE_RUNNING, win::SERVICE_RUNNING, true, false},
  };
  for (const Case& c : cases) {
    Reset();
    if (c.mpssvc) Memory().services().AddService("MpsSvc", *c.mpssvc);
    if (c.shared_access) Memory().services().AddService("SharedAccess", *c.shared_access);
    Open(c.version_class);
    EXPECT_EQ(Checked(kFirewall), c.checked) << c.version_class;
    EXPECT_EQ(Ctl(kFirewallGroup).Visible(), c.group_visible) << c.version_class;
  }
}

// --- changes -------------------------------------------------------------------------

TEST_F(NetworkTest, EachBoxQueuesItsRecordsBothWays) {
  struct Case {
    const char* box;
    std::vector<TRegRecor> checked;
    std::vector<TRegRecor> cleared;
  };
  const Case cases[] = {
      {kTask, {engine::WriteRecord(kTask, HKLM, kTasksKey, "", 1, engine::MakeText("1"))},
       {engine::DeleteKeyRecord(kTask, HKLM, kTasksKey)}},
      {kShare, {Dword(kShare, HKCU, kExplorer, "NoNetCrawling", 0)},
       {Dword(kShare, HKCU, kExplorer, "NoNetCrawling", 1)}},
      {kAdd, {Dword(kAdd, HKCU, kPolicies, "NoRecentDocsNetHood", 0)},
       {Dword(kAdd, HKCU, kPolicies, "NoRecentDocsNetHood", 1)}},
      {kHide, {Dword(kHide, HKLM, kServer, "Hidden", 1)}, {Dword(kHide, HKLM, kServer, "Hidden", 0)}},
      {kActiveShare, {Dword(kActiveShare, HKLM, kServer, "AutoShareWks", 1)},
       {Dword(kActiveShare, HKLM, kServer, "AutoShareWks", 0)}},
      {kUpnp,
       {Dword(kUpnp, HKLM, kSsdp, "Start", 3),
        Dword("Checkbox_Net_Advanced_UPnp_Enable1", HKLM, "\\SYSTEM\\CurrentControlSet\\Services\\upnphost\\", "Start",
              3)},
       {Dword(kUpnp, HKLM, kSsdp, "Start", 4),
        Dword("Checkbox_Net_Advanced_UPnp_Enable1", HKLM, "\\SYSTEM\\CurrentControlSet\\Services\\upnphost\\", "Start",
              4)}},
      {kSavePassword, {Dword(kSavePassword, HKLM, kPwdPolicy, "DisablePwdCaching", 0)},
       {Dword(kSavePassword, HKLM, kPwdPolicy, "DisablePwdCaching", 1)}},
      {kOnlyForShare, {Dword(kOnlyForShare, HKLM, kWorkstation, "enableplaintextpassword", 0)},
       {Dword(kOnlyForShare, HKLM, kWorkstation, "enableplaintextpassword", 1)}},
      {kFirewall, {Dword(kFirewall, HKLM, kFirewallKey, "EnableFirewall", 1)},
       {Dword(kFirewall, HKLM, kFirewallKey, "EnableFirewall", 0)}},
  };
  for (const Case& c : cases) {
    Reset();
    Open(5);
    for (int click = 0; click < 2; ++click) {
      ASSERT_TRUE(Box(c.box).UserClick()) << c.box;
      EXPECT_EQ(Records(), Checked(c.box) ? c.checked : c.cleared) << c.box;
    }
    EXPECT_TRUE(ApplyEnabled()) << c.box;
    EXPECT_FALSE(Requests().RestartNeeded) << c.box;
    EXPECT_EQ(Requests().FirewallServiceAction, 0) << c.box;
  }
  Reset();
  Open(7);
  Box(kPrinter).UserClick();
  EXPECT_EQ(Records(), std::vector<TRegRecor>{engine::WriteRecord(kPrinter, HKLM, kPrintersKey, "", 1,
                                                                  engine::MakeText("Printers"))});
  Box(kPrinter).UserClick();
  EXPECT_EQ(Records()[0].Action, engine::kActionDeleteKey);
}

TEST_F(NetworkTest, BandwidthBoxAndCountShareOneRecord) {
  Reg().SetDword(HKLM, kPSched, "NonBestEffortLimit", 0);
  Open();
  auto& count = Get<UpDown>(kQosUpDown);
  Box(kQos).UserClick();
  EXPECT_EQ(Records(), std::vector<TRegRecor>{Dword(kQos, HKLM, kPSched, "NonBestEffortLimit", 20)});
  EXPECT_TRUE(count.Enabled());
  ASSERT_TRUE(count.UserClickUp());
  EXPECT_EQ(Records(), std::vector<TRegRecor>{Dword(kQos, HKLM, kPSched, "NonBestEffortLimit", 21)});
  auto& edit = Get<forms::Edit>("Edit_Net_Advanced_Qos_Count");
  edit.UserTypeText("5");  // "215" is cut to the field's bound while typing
  EXPECT_EQ(Record(kQos)->Value, engine::MakeInt(100));
  Box(kQos).UserClick();
  EXPECT_EQ(Records(), std::vector<TRegRecor>{Dword(kQos, HKLM, kPSched, "NonBestEffortLimit", 0)});
  EXPECT_FALSE(count.Enabled());
}

TEST_F(NetworkTest, BothDialUpRadiosShareOneRecord) {
  Open();
  Get<RadioButton>(kNoClose).UserClick();
  EXPECT_EQ(Records(), std::vector<TRegRecor>{engine::WriteRecord(kAsk, HKLM, kWinlogon, "KeepRASConnections", 1,
                                                                 engine::MakeText("1"))});
  Get<RadioButton>(kAsk).UserClick();
  EXPECT_EQ(Records(), std::vector<TRegRecor>{engine::WriteRecord(kAsk, HKLM, kWinlogon, "KeepRASConnections", 1,
                                                                 engine::MakeText("0"))});
}

TEST_F(NetworkTest, FromVistaOnTheFirewallBoxAsksApplyForTheService) {
  Memory().services().AddService("MpsSvc", win::SERVICE_STOPPED, win::SERVICE_DISABLED);
  Open(7);
  Box(kFirewall).UserClick();
  EXPECT_TRUE(Records().empty());
  EXPECT_TRUE(ApplyEnabled());
  EXPECT_EQ(Requests().FirewallServiceAction, 1);
  Box(kFirewall).UserClick();
  EXPECT_EQ(Requests().FirewallServiceAction, 2);
  Box(kFirewall).UserClick();
  Apply();
  EXPECT_EQ(Memory().services().State("MpsSvc"), win::SERVICE_RUNNING);
  EXPECT_EQ(Memory().services().StartType("MpsSvc"), win::SERVICE_AUTO_START);
  EXPECT_EQ(Requests().FirewallServiceAction, 0);
  EXPECT_FALSE(Reg().ValueExists(HKLM, kFirewallKey, "EnableFirewall"));
}

// --- Default buttons ------------------------------------------------------------------

TEST_F(NetworkTest, DefaultButtonsQueueOnlyWhatTheyChange) {
  struct Case {
    const char* button;
    int version_class;
    std::function<void()> prepare;
    std::vector<std::string> queued;
  };
  const Case cases[] = {
      {"Button_Net_Neighbor_Default", 5,
       [this] {
         Reg().SetDword(HKCU, kExplorer, "NoNetCrawling", 1);
         Reg().SetDword(HKLM, kServer, "Hidden", 1);
       },
       // The printer box XP hides keeps its state.
       {kTask, kShare, kHide}},
      // So do the scheduled-tasks and share-history boxes Vista hides.
      {"Button_Net_Neighbor_Default", 7, [this] { Reg().SetString(HKLM, kPrintersKey, "", "Printers"); }, {}},
      {"Button_Net_Advanced_Default", 5, [this] { Reg().SetDword(HKLM, kSsdp, "Start", 4); },
       {kUpnp, "Checkbox_Net_Advanced_UPnp_Enable1"}},
      {"Button_Net_Password_Default", 5, [this] { Reg().SetDword(HKLM, kWorkstation, "enableplaintextpassword", 1); },
       {kOnlyForShare}},
  };
  for (const Case& c : cases) {
    Reset();
    c.prepare();
    Open(c.version_class);
    ASSERT_TRUE(Get<Button>(c.button).UserClick());
    EXPECT_EQ(Names(), c.queued) << c.button << " class " << c.version_class;
    Apply();
    ASSERT_TRUE(Get<Button>(c.button).UserClick());
    EXPECT_TRUE(Records().empty()) << c.button << " pressed twice";
  }
}

// The count field passes changes made from code on only while it has the focus; the
// Default button still leaves 20 to be written, whatever state the box was in.
TEST_F(NetworkTest, AdvancedDefaultWritesTheLimitItShows) {
  struct Case {
    Stored stored;
    bool queued;
  };
  for (const Case& c : {Case{D(35), true}, Case{D(0), true}, Case{D(20), false}, Case{None(), false}}) {
    Reset();
    Reg().SetDword(HKLM, kSsdp, "Start", 3);
    if (c.stored.kind == Stored::Dword) Reg().SetDword(HKLM, kPSched, "NonBestEffortLimit", c.stored.number);
    Open();
    Get<Button>("Button_Net_Advanced_Default").UserClick();
    EXPECT_EQ(Count(), 20);
    if (!c.queued) {
      EXPECT_TRUE(Records().empty()) << c.stored.number;
      continue;
    }
    EXPECT_EQ(Records(), std::vector<TRegRecor>{Dword(kQos, HKLM, kPSched, "NonBestEffortLimit", 20)})
        << c.stored.number;
    Apply();
    EXPECT_EQ(Reg().GetDword(HKLM, kPSched, "NonBestEffortLimit"), 20u);
  }
}

// --- versions and layout ------------------------------------------------------------

TEST_F(NetworkTest, VersionClassesAdaptThePage) {
  // Windows XP shows the page as the form designs it.
  Open(5);
  const int common_height = Ctl("Groupbox_Net_Neighbor_Common").Height();
  const int security_top = Ctl("Groupbox_Net_Neighbor_Security").Top();
  for (int version_class : harness::kVersionClasses) {
    Reset();
    Open(version_class);
    const bool vista = version_class >= 6;
    const std::string where = "class " + std::to_string(version_class);
    EXPECT_EQ(Ctl(kPrinter).Visible(), vista) << where;
    EXPECT_EQ(Ctl(kTask).Visible(), !vista) << where;
    EXPECT_EQ(Ctl(kAdd).Visible(), !vista) << where;
    if (vista) {
      EXPECT_EQ(Ctl(kPrinter).Left(), Ctl(kTask).Left()) << where;
    }
    EXPECT_EQ(Ctl("Groupbox_Net_Neighbor_Common").Height(), common_height - (vista ? 25 : 0)) << where;
    EXPECT_EQ(Ctl("Groupbox_Net_Neighbor_Security").Top(), security_top - (vista ? 25 : 0)) << where;
    EXPECT_EQ(Get<TabSheet>("TabSheet_Net_Advanced").TabVisible(), version_class >= 5) << where;
    EXPECT_EQ(Get<TabSheet>("TabSheet_Net_Password").TabVisible(), !vista) << where;
    EXPECT_TRUE(Get<TabSheet>("TabSheet_Net_Internet").TabVisible()) << where;
    for (const TabSheet* sheet : Get<forms::PageControl>("PageControl5").Sheets()) {
      EXPECT_EQ(forms::DescribeLayout(forms::CheckLayout(*sheet)), "") << where << " " << sheet->Name();
    }
    EXPECT_EQ(LayoutProblems(), "") << where;
  }
}

}  // namespace
}  // namespace corvanel::pages
