// The Network page. Every setting is a registry value, except the firewall switch from
// Vista on, which is a service Apply starts or stops.
#include "pages/system/network.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "engine/host_probes.h"
#include "forms/layout.h"
#include "pages/page_layout.h"
#include "pages/page_rows.h"

namespace corvanel::pages {
namespace {

using forms::Button;
using forms::CheckBox;
using forms::Component;
using forms::Control;
using forms::Edit;
using forms::GroupBox;
using forms::Label;
using forms::PageControl;
using forms::RadioButton;
using forms::Rect;
using forms::TabSheet;
using forms::UpDown;
using platform::HKCU;
using platform::HKLM;

constexpr int kTag = 7;

// --- names -------------------------------------------------------------------------

constexpr const char* kPageControl = "PageControl5";
constexpr int kAdvancedTab = 1;
constexpr int kPasswordTab = 2;

constexpr const char* kGroupCommon = "Groupbox_Net_Neighbor_Common";
constexpr const char* kGroupSecurity = "Groupbox_Net_Neighbor_Security";
constexpr const char* kGroupFirewall = "GroupBox_Net_Internet_WindowsFirewall";

constexpr const char* kTask = "Checkbox_Net_Neighbor_Common_Task";
constexpr const char* kPrinter = "Checkbox_Net_Neighbor_Common_Printer";
constexpr const char* kShare = "Checkbox_Net_Neighbor_Common_Share";
constexpr const char* kAdd = "Checkbox_Net_Neighbor_Common_Add";
constexpr const char* kHide = "Checkbox_Net_Neighbor_Security_Hide";
constexpr const char* kActiveShare = "Checkbox_Net_Neighbor_Security_ActiveShare";
constexpr const char* kUpnp = "Checkbox_Net_Advanced_UPnp_Enable";
constexpr const char* kQosKeep = "Checkbox_Net_Advanced_Qos_Keep";
constexpr const char* kQosEdit = "Edit_Net_Advanced_Qos_Count";
constexpr const char* kQosUpDown = "Updown_Net_Advanced_Qos_Count";
constexpr const char* kSavePassword = "Checkbox_Net_Password_Storage_SavePassword";
constexpr const char* kOnlyForShare = "Checkbox_Net_Password_Transmission_OnlyForShare";
constexpr const char* kAsk = "Radio_Net_Internet_CloseConnection_Ask";
constexpr const char* kNoClose = "Radio_Net_Internet_CloseConnection_NoClose";
constexpr const char* kFirewall = "Checkbox_Net_Internet_WindowsFirewall_Enable";

// --- locations ---------------------------------------------------------------------

constexpr const char* kTasksKey =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RemoteComputer\\NameSpace\\"
    "{D6277990-4C6A-11CF-8D87-00AA0060F5BF}";
constexpr const char* kPrintersKey =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RemoteComputer\\NameSpace\\"
    "{2227A280-3AEA-1069-A2DE-08002B30309D}";
constexpr const char* kExplorerKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
constexpr const char* kPoliciesKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
constexpr const char* kServerKey = "\\SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters\\";
constexpr const char* kSsdpKey = "\\SYSTEM\\CurrentControlSet\\Services\\SSDPSRV\\";
constexpr const char* kUpnpHostKey = "\\SYSTEM\\CurrentControlSet\\Services\\upnphost\\";
constexpr const char* kPSchedKey = "\\SOFTWARE\\Policies\\Microsoft\\Windows\\PSched\\";
constexpr const char* kNetworkPolicyKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\Network\\";
constexpr const char* kWorkstationKey = "\\SYSTEM\\CurrentControlSet\\Services\\lanmanworkstation\\parameters\\";
constexpr const char* kWinlogonKey = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\";
constexpr const char* kFirewallKey =
    "\\SYSTEM\\CurrentControlSet\\Services\\SharedAccess\\Parameters\\FirewallPolicy\\StandardProfile\\";

constexpr std::int32_t kServiceManual = 3;
constexpr std::int32_t kServiceDisabled = 4;
constexpr int kQosDesign = 20;
constexpr int kServiceRunning = 2;
constexpr int kServiceSilent = 0;

// --- the plain switches --------------------------------------------------------------

enum class Reads {
  kZeroOn,  // missing or 0: checked; any other value: cleared (the "No..." switches)
  kFlag,    // RegFlag rules
};

struct SwitchRow {
  const char* name;
  RegFlag flag;
  Reads reads;
  BoxState default_state;
};

// Share, Add, SavePassword and OnlyForShare store the opposite of their box.
const SwitchRow kSwitches[] = {
    {kShare, {HKCU, kExplorerKey, "NoNetCrawling", FlagRead::kNonZero, true, kChecked}, Reads::kZeroOn, kChecked},
    {kAdd, {HKCU, kPoliciesKey, "NoRecentDocsNetHood", FlagRead::kNonZero, true, kChecked}, Reads::kZeroOn,
     kChecked},
    {kHide, {HKLM, kServerKey, "Hidden", FlagRead::kEqualsOne, false, kKeep}, Reads::kFlag, kCleared},
    {kActiveShare, {HKLM, kServerKey, "AutoShareWks", FlagRead::kEqualsOne, false, kChecked}, Reads::kFlag, kChecked},
    {kSavePassword, {HKLM, kNetworkPolicyKey, "DisablePwdCaching", FlagRead::kEqualsOne, true, kChecked}, Reads::kFlag,
     kChecked},
    {kOnlyForShare, {HKLM, kWorkstationKey, "enableplaintextpassword", FlagRead::kEqualsOne, true, kChecked},
     Reads::kFlag, kChecked},
};

BoxState ReadSwitch(TCorvanel& queue, const SwitchRow& row) {
  if (row.reads == Reads::kFlag) return ReadFlag(queue, row.flag);
  const auto zero = ReadEquals(queue, row.flag.root, row.flag.key_path, row.flag.value_name, 0);
  return zero.value_or(true);
}

// The two shell-folder boxes: checked while their key has a default value; checking writes
// that value, clearing deletes the whole key.
struct NameSpaceRow {
  const char* name;
  const char* key_path;
  const char* value;
};
const NameSpaceRow kNameSpaces[] = {
    {kTask, kTasksKey, "1"},
    {kPrinter, kPrintersKey, "Printers"},
};

// --- layout ------------------------------------------------------------------------

using layout::kEditHeight;
using layout::kLabelHeight;
using layout::kRowHeight;
using layout::kRowLeft;
using layout::RowBounds;
using layout::RowTop;
constexpr Rect kDefaultButton = layout::SheetButtonBounds(0, 1);
constexpr int kOneRowGroup = RowTop(1) + 4;
constexpr int kTwoRowGroup = RowTop(2) + 4;
constexpr int kThreeRowGroup = RowTop(3) + 4;
// What Vista and later take off the search group with the "Add" row.
constexpr int kCommonTrim = 25;

// ---------------------------------------------------------------------------------

class NetworkPage : public ui::PageModule {
 public:
  int Tag() const override { return kTag; }

  void Build(ui::PageContext& ctx) override {
    ui::PageContext* c = &ctx;
    forward_ = ctx.Forwarder();
    auto& pages = ctx.Form().Create<PageControl>(ctx.Page(), kPageControl, layout::kPageControl);
    auto& neighbor = ctx.Form().Create<TabSheet>(pages, "TabSheet_Net_Neighbor", Rect{}, "My Network Places");
    auto& advanced = ctx.Form().Create<TabSheet>(pages, "TabSheet_Net_Advanced", Rect{}, "Advanced");
    auto& password = ctx.Form().Create<TabSheet>(pages, "TabSheet_Net_Password", Rect{}, "Passwords");
    auto& internet = ctx.Form().Create<TabSheet>(pages, "TabSheet_Net_Internet", Rect{}, "Internet");

    // My Network Places. The printer box shares the first row with the scheduled-tasks
    // box; each version shows one of them.
    int top = layout::kFirstGroupTop;
    auto& common = Group(ctx, neighbor, kGroupCommon, top, kThreeRowGroup, "Search and Display");
    Box(ctx, common, kTask, {kRowLeft, RowTop(0), 250, kRowHeight}, "Search network computer for scheduled tasks.");
    Box(ctx, common, kPrinter, {270, RowTop(0), 145, kRowHeight}, "Search network for printer");
    Box(ctx, common, kShare, RowBounds(1), "Search network for shared resources automaticaaly.");
    Box(ctx, common, kAdd, RowBounds(2), "Add used shares to My Network Places for faster access.");
    top = layout::GroupBelow(top, kThreeRowGroup);
    auto& security = Group(ctx, neighbor, kGroupSecurity, top, kTwoRowGroup, "Security");
    Box(ctx, security, kHide, RowBounds(0), "Hide this computer in the Network Places of other computers.");
    Box(ctx, security, kActiveShare, RowBounds(1), "Enable administrative shares.");
    DefaultButton(ctx, neighbor, "Button_Net_Neighbor_Default", [c] { NeighborDefaults(*c); });

    // Advanced.
    auto& upnp = Group(ctx, advanced, "GroupBox_Net_Advanced_UPnp", layout::kFirstGroupTop, kOneRowGroup,
                       "Universal Plug and Play");
    Box(ctx, upnp, kUpnp, RowBounds(0), "Enable Universal Plug and Play.");
    constexpr int kQosHeight = RowTop(1) + kEditHeight + 8;
    auto& qos = Group(ctx, advanced, "GroupBox_Net_Advanced_Qos", layout::GroupBelow(layout::kFirstGroupTop,
                                                                                       kOneRowGroup),
                      kQosHeight, "Quality of Service");
    auto& keep = Put<CheckBox>(ctx, qos, kQosKeep, RowBounds(0), "Reserve bandwidth.");
    keep.SetChecked(true);
    keep.OnClick = forward_;
    Put<Label>(ctx, qos, "Label_Net_Advanced_Qos_Count", {28, RowTop(1) + 4, 90, kLabelHeight}, "Bandwidth limit:");
    Put<Edit>(ctx, qos, kQosEdit, {120, RowTop(1), 40, kEditHeight});
    Put<UpDown>(ctx, qos, kQosUpDown, {160, RowTop(1), 17, kEditHeight});
    Put<Label>(ctx, qos, "Label_Net_Advanced_Qos_Percent", {184, RowTop(1) + 4, 20, kLabelHeight}, "%");
    DefaultButton(ctx, advanced, "Button_Net_Advanced_Default", [c] { AdvancedDefaults(*c); });

    // Passwords.
    auto& storage =
        Group(ctx, password, "GroupBox_Net_Password_Storage", layout::kFirstGroupTop, kOneRowGroup, "Storage");
    Box(ctx, storage, kSavePassword, RowBounds(0), "Save passwords for network services.");
    auto& transmission = Group(ctx, password, "GroupBox_Net_Password_Transmission",
                               layout::GroupBelow(layout::kFirstGroupTop, kOneRowGroup), kOneRowGroup, "Transmission");
    Box(ctx, transmission, kOnlyForShare, RowBounds(0), "Transfer only encrypted passwords for shared resources.");
    DefaultButton(ctx, password, "Button_Net_Password_Default", [c] { PasswordDefaults(*c); });

    // Internet (no Default button).
    top = layout::kFirstGroupTop;
    auto& dialup = Group(ctx, internet, "GroupBox_Net_Internet_CloseConnection", top, kTwoRowGroup,
                         "Dial-up Connections");
    auto& ask = Put<RadioButton>(ctx, dialup, kAsk, RowBounds(0), "Ask at logoff.");
    ask.SetChecked(true);
    ask.OnClick = forward_;
    Put<RadioButton>(ctx, dialup, kNoClose, RowBounds(1), "Always keep dial-up connections at logoff. ").OnClick =
        forward_;
    top = layout::GroupBelow(top, kTwoRowGroup);
    auto& firewall = Group(ctx, internet, kGroupFirewall, top, kOneRowGroup, "Windows Firewall");
    Box(ctx, firewall, kFirewall, RowBounds(0), "Enable Windows Firewall.");
    top = layout::GroupBelow(top, kOneRowGroup);
    constexpr int kTcpipHeight = RowTop(0) + kLabelHeight + 8 + layout::kButtonHeight + 8;
    auto& tcpip = Group(ctx, internet, "GroupBox_Net_Internet_TCPIP", top, kTcpipHeight, "TCP/IP Settings");
    Put<Label>(ctx, tcpip, "Label_Net_Internet_TCPIP", {kRowLeft, RowTop(0), layout::kRowWidth, kLabelHeight},
               "Experienced users can view and modify the current TCP/IP settings here.");
    // The form offers the button but gives it nothing to do.
    Put<Button>(ctx, tcpip, "Button_Net_Internet_TCPIP_Set",
                {kRowLeft, RowTop(0) + kLabelHeight + 8, 90, layout::kButtonHeight}, "Settings");

    pages.SetActivePageIndex(0);
  }

  void Adapt(ui::PageContext& ctx, int version_class) override {
    auto& pages = ctx.Find<PageControl>(kPageControl);
    auto& printer = ctx.Find<CheckBox>(kPrinter);
    if (version_class >= 6) {
      auto& task = ctx.Find<CheckBox>(kTask);
      printer.Show();
      forms::MoveToLeftOf(printer, task);
      task.Hide();
      ctx.Find<CheckBox>(kAdd).Hide();
      forms::ShrinkHeight(ctx.Find<GroupBox>(kGroupCommon), kCommonTrim);
      forms::MoveUp(ctx.Find<GroupBox>(kGroupSecurity), kCommonTrim);
      pages.Page(kPasswordTab)->SetTabVisible(false);
      return;
    }
    printer.Hide();
    if (version_class <= 4) pages.Page(kAdvancedTab)->SetTabVisible(false);
  }

  void Load(ui::PageContext& ctx) override {
    LoadNetworkPlaces(ctx);
    LoadNetworkAdvanced(ctx);
    LoadNetworkPasswords(ctx);
    LoadNetworkInternet(ctx);
  }

  void Change(ui::PageContext& ctx, Component& sender) override {
    const std::string& name = sender.Name();
    TCorvanel& queue = ctx.Queue();
    if (const NameSpaceRow* row = RowNamed(kNameSpaces, name)) {
      if (Checked(ctx, row->name)) {
        queue.AddRecord(StringRecord(row->name, HKLM, row->key_path, "", row->value));
      } else {
        queue.AddRecord(engine::DeleteKeyRecord(row->name, HKLM, row->key_path));
      }
    } else if (const SwitchRow* sw = RowNamed(kSwitches, name)) {
      queue.AddRecord(FlagRecord(sw->name, sw->flag, Checked(ctx, sw->name)));
    } else if (name == kUpnp) {
      const std::int32_t start = Checked(ctx, kUpnp) ? kServiceManual : kServiceDisabled;
      queue.AddRecord(IntegerRecord(kUpnp, HKLM, kSsdpKey, "Start", start));
      queue.AddRecord(IntegerRecord(std::string(kUpnp) + "1", HKLM, kUpnpHostKey, "Start", start));
    } else if (name == kQosKeep || name == kQosUpDown) {
      const bool on = Checked(ctx, kQosKeep);
      EnableCount(ctx, on);
      queue.AddRecord(IntegerRecord(kQosKeep, HKLM, kPSchedKey, "NonBestEffortLimit",
                                    on ? ctx.Find<UpDown>(kQosUpDown).Position() : 0));
    } else if (name == kAsk || name == kNoClose) {
      queue.AddRecord(StringRecord(kAsk, HKLM, kWinlogonKey, "KeepRASConnections",
                                   ctx.Find<RadioButton>(kAsk).Checked() ? "0" : "1"));
    } else if (name == kFirewall) {
      const bool on = Checked(ctx, kFirewall);
      if (ctx.VersionClass() >= 6) {
        // The firewall is a service from Vista on: Apply starts or stops it.
        ctx.Requests().FirewallServiceAction = on ? 1 : 2;
      } else {
        queue.AddRecord(FlagRecord(kFirewall, HKLM, kFirewallKey, "EnableFirewall", on));
      }
    }
  }

 private:
  // --- building ---

  template <class T>
  T& Put(ui::PageContext& ctx, Control& parent, const char* name, Rect bounds, std::string caption = {}) {
    return ctx.Form().Create<T>(parent, name, bounds, std::move(caption));
  }

  GroupBox& Group(ui::PageContext& ctx, TabSheet& sheet, const char* name, int top, int height, const char* caption) {
    return Put<GroupBox>(ctx, sheet, name, layout::GroupBounds(top, height), caption);
  }

  void Box(ui::PageContext& ctx, Control& group, const char* name, Rect bounds, const char* caption) {
    Put<CheckBox>(ctx, group, name, bounds, caption).OnClick = forward_;
  }

  void DefaultButton(ui::PageContext& ctx, TabSheet& sheet, const char* name, std::function<void()> click) {
    Put<Button>(ctx, sheet, name, kDefaultButton, "Default Settings").OnClick =
        [click = std::move(click)](Component&) { click(); };
  }

  static bool Checked(ui::PageContext& ctx, const char* box) { return ctx.Find<CheckBox>(box).Checked(); }

  static void EnableCount(ui::PageContext& ctx, bool enabled) {
    ctx.Find<Edit>(kQosEdit).SetEnabled(enabled);
    ctx.Find<UpDown>(kQosUpDown).SetEnabled(enabled);
  }

  // --- loading: every read under its own guard ---

  static void LoadSwitch(ui::PageContext& ctx, const char* name) {
    Guarded([&] { SetCheckedIf(ctx.Find<CheckBox>(name), ReadSwitch(ctx.Queue(), *RowNamed(kSwitches, name))); });
  }

  static void LoadNameSpace(ui::PageContext& ctx, const char* name) {
    Guarded([&] {
      const NameSpaceRow& row = *RowNamed(kNameSpaces, name);
      ctx.Find<CheckBox>(row.name).SetChecked(ReadKeyHasDefault(ctx.Queue(), HKLM, row.key_path));
    });
  }

  static void LoadNetworkPlaces(ui::PageContext& ctx) {
    if (ctx.VersionClass() < 6) {
      LoadNameSpace(ctx, kTask);
    } else {
      LoadNameSpace(ctx, kPrinter);
    }
    LoadSwitch(ctx, kShare);
    LoadSwitch(ctx, kAdd);
    LoadSwitch(ctx, kHide);
    LoadSwitch(ctx, kActiveShare);
  }

  static void LoadNetworkAdvanced(ui::PageContext& ctx) {
    TCorvanel& q = ctx.Queue();
    Guarded([&] {
      SetCheckedIf(ctx.Find<CheckBox>(kUpnp), ReadEquals(q, HKLM, kSsdpKey, "Start", kServiceManual));
    });
    Guarded([&] {
      auto& keep = ctx.Find<CheckBox>(kQosKeep);
      const TRegRecor r = Read(q, HKLM, kPSchedKey, "NonBestEffortLimit");
      if (r.Status != engine::kStatusFound) {
        keep.SetChecked(true);
        EnableCount(ctx, true);
        return;
      }
      // A limit that is no number is no setting the page can show.
      const auto limit = AsNumber(r.Value);
      if (!limit) return;
      keep.SetChecked(*limit > 0);
      EnableCount(ctx, *limit > 0);
      if (*limit > 0) ctx.Find<UpDown>(kQosUpDown).SetPosition(*limit);
    });
  }

  static void LoadNetworkPasswords(ui::PageContext& ctx) {
    LoadSwitch(ctx, kSavePassword);
    LoadSwitch(ctx, kOnlyForShare);
  }

  static void LoadNetworkInternet(ui::PageContext& ctx) {
    TCorvanel& q = ctx.Queue();
    platform::Platform& p = ctx.Platform();
    const int version = ctx.VersionClass();
    Guarded([&] {
      // "0" as a text or as a number: the user is asked.
      const bool ask = ReadEquals(q, HKLM, kWinlogonKey, "KeepRASConnections", 0).value_or(true);
      ctx.Find<RadioButton>(ask ? kAsk : kNoClose).SetChecked(true);
    });
    Guarded([&] {
      auto& group = ctx.Find<GroupBox>(kGroupFirewall);
      if (version < 5) {
        group.Hide();
      } else if (version == 5 && engine::QueryServiceState(p, "SharedAccess") == kServiceSilent) {
        group.Hide();
      }
    });
    Guarded([&] {
      auto& box = ctx.Find<CheckBox>(kFirewall);
      if (version < 6) {
        SetCheckedIf(box, ReadFlag(q, {HKLM, kFirewallKey, "EnableFirewall", FlagRead::kEqualsOne, false, kChecked}));
      } else {
        box.SetChecked(engine::QueryServiceState(p, "MpsSvc") == kServiceRunning);
      }
    });
  }

  // --- Default buttons: states only; the controls' own events queue what changes ---

  // The two search-key boxes have no switch row; their default is checked.
  static void SetDefaults(ui::PageContext& ctx, std::initializer_list<const char*> boxes) {
    for (const char* name : boxes) {
      const SwitchRow* sw = RowNamed(kSwitches, name);
      DefaultCheck(ctx.Find<CheckBox>(name), sw != nullptr ? sw->default_state : kChecked);
    }
  }

  static void NeighborDefaults(ui::PageContext& ctx) {
    SetDefaults(ctx, {kTask, kPrinter, kShare, kAdd, kActiveShare, kHide});
  }

  static void AdvancedDefaults(ui::PageContext& ctx) {
    DefaultCheck(ctx.Find<CheckBox>(kUpnp), kChecked);
    DefaultCheck(ctx.Find<CheckBox>(kQosKeep), kChecked);
    DefaultPositionClicked(ctx.Find<UpDown>(kQosUpDown), kQosDesign);
  }

  static void PasswordDefaults(ui::PageContext& ctx) { SetDefaults(ctx, {kSavePassword, kOnlyForShare}); }

  forms::NotifyEvent forward_;
};

}  // namespace

std::unique_ptr<ui::PageModule> CreateNetworkPage() { return std::make_unique<NetworkPage>(); }

}  // namespace corvanel::pages
