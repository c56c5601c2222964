// The General Setting page. Most of its rows repeat a setting of a specialised page; where
// both use one record name their changes merge in the queue, where they do not, the queue
// still ends in the user's latest choice for the place both write.
#include "pages/general/general_setting.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/host_probes.h"
#include "engine/registry.h"
#include "pages/minimized_metrics.h"
#include "pages/page_layout.h"
#include "pages/page_rows.h"

namespace corvanel::pages {
namespace {

using forms::Button;
using forms::CheckBox;
using forms::ComboBox;
using forms::Control;
using forms::Edit;
using forms::GroupBox;
using forms::Label;
using forms::PageControl;
using forms::Rect;
using forms::TabSheet;
using forms::UpDown;
using platform::HKCU;
using platform::HKLM;

constexpr int kTag = 19;

// SystemParametersInfoW actions and flags of this page.
constexpr std::uint32_t SPI_GETFONTSMOOTHING = 0x004A, SPI_SETFONTSMOOTHING = 0x004B;
constexpr std::uint32_t SPI_GETFONTSMOOTHINGTYPE = 0x200A, SPI_SETFONTSMOOTHINGTYPE = 0x200B;
constexpr std::uint32_t SPIF_UPDATEINIFILE = 1;
constexpr std::int32_t FE_FONTSMOOTHINGSTANDARD = 1;
constexpr std::int32_t FE_FONTSMOOTHINGCLEARTYPE = 2;

// --- names -------------------------------------------------------------------------

constexpr const char* kPageControl = "PageControl_CommonSettings";
constexpr const char* kSecurityTab = "TabSheet_CommonSettings_Security";
constexpr int kSecurityTabIndex = 2;

constexpr const char* kFirefoxGroup = "GroupBox_CommonSettings_Display_FirefoxHomePage";
constexpr const char* kMyDocument = "CheckBox_CommonSettings_Display_Desktop_MyDocument";
constexpr const char* kNetNeighborhood = "CheckBox_CommonSettings_Display_Desktop_NetNeighborhood";

constexpr const char* kIEHomePage = "Edit_CommonSettings_Display_IECommonSettings_HomePage";
constexpr const char* kUseBlankPage = "Button_CommonSettings_Display_IECommonSettings_UseBlankPage";
constexpr const char* kHistoryEdit = "MaskEdit_CommonSettings_Display_IECommonSettings_KeepRecordDays";
constexpr const char* kHistoryUpDown = "Updown_CommonSettings_Display_IECommonSettings_KeepRecordDays";
constexpr const char* kFirefoxHomePage = "Edit_CommonSettings_Display_FirefoxHomepage_HomePage";

constexpr const char* kAutoPlayRemovable = "Checkbox_CommonSettings_Function_AutoPlay_AutoPlayRemovable";
constexpr const char* kAutoPlayDVD = "CheckBox_CommonSettings_Function_AutoPlay_AutoPlayDVD";
constexpr const char* kCaretEdit = "MaskEdit_CommonSettings_Function_CursorWidth_Width";
constexpr const char* kCaretUpDown = "UpDownCur_CommonSettings_Function_CursorWidth_Width";
constexpr const char* kWinKey = "CheckBox_CommonSettings_Function_WinKey_Active";

constexpr const char* kFirewall = "ChkeckBox_CommonSettings_Security_SecuritySettings_StartWF";
constexpr const char* kAutoUpdate = "ChkeckBox_CommonSettings_Security_SecuritySettings_ActiveAU";
constexpr const char* kAutoUpdateType = "CB_CommonSettings_Security_SecuritySettings_AutoUpdateType";
constexpr const char* kSecurityCenter = "ChkeckBox_CommonSettings_Security_SecuritySettings_ActiveSC";

constexpr const char* kSystemError = "CM_CommonSettings_Others_SystemError_DoType";
constexpr const char* kSmoothType = "CB_CommonSettings_Others_Font_SmoothType";
constexpr const char* kMinLeft = "CB_CommonSettings_Others_TaskBar_Left";
constexpr const char* kMinTop = "CB_CommonSettings_Others_TaskBar_Top";
constexpr const char* kMinArrangement = "CB_CommonSettings_Others_TaskBar_Arrangement";

// Record names that are not the sender's name.
constexpr const char* kIEHomeRecord = "Edit_IE_Common_Homepage_Address";
constexpr const char* kAutoUpdateRecord = "CHKAutoupdate";
constexpr const char* kFontRecord = "norCBfont";
constexpr const char* kFontTypeRecord = "norCBfont1";
constexpr const char* kMinimizedRecord = "Cmblocal";

// The Firefox preference behind the Firefox home-page edit, as the preference layer names it.
constexpr const char* kHomePagePref = "\"browser.startup.homepage\"";

// The Internet Explorer page's hidden history button; this page's hidden Button20 runs its event.
constexpr const char* kIEClearHistory = "Button_IE_Common_History_ClearHistory";

// --- locations ---------------------------------------------------------------------

constexpr const char* kHideKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel\\";
constexpr const char* kNameSpaceKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace\\";
constexpr const char* kPoliciesKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
constexpr const char* kIEMainKey = "\\Software\\Microsoft\\Internet Explorer\\Main\\";
constexpr const char* kUrlHistoryKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Url History\\";
constexpr const char* kDesktopKey = "\\Control Panel\\Desktop\\";
constexpr const char* kFirewallKey =
    "\\SYSTEM\\CurrentControlSet\\Services\\SharedAccess\\Parameters\\FirewallPolicy\\StandardProfile\\";
constexpr const char* kAutoUpdateKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update\\";
constexpr const char* kCrashControlKey = "\\SYSTEM\\CurrentControlSet\\Control\\CrashControl\\";

constexpr std::uint32_t kRemovableBit = 0x04;
constexpr std::uint32_t kCdRomBit = 0x20;

// --- the desktop icons ---------------------------------------------------------------

struct IconRow {
  const char* name;
  const char* caption;
  const char* clsid;
  const char* record;  // the first record's name; the second appends "1"
  BoxState missing;    // shown when the Hide key has no value for the icon
  Rect bounds;         // inside the Desktop group
};

constexpr int kIconLeft0 = layout::kRowLeft;
constexpr int kIconLeft1 = 216;
constexpr int kIconWidth0 = kIconLeft1 - kIconLeft0 - 8;
constexpr int kIconWidth1 = layout::kGroupWidth - layout::kRowLeft - kIconLeft1;
constexpr Rect IconBounds(int column, int row) {
  return {column == 0 ? kIconLeft0 : kIconLeft1, 40 + row * layout::kRowStep, column == 0 ? kIconWidth0 : kIconWidth1,
          layout::kRowHeight};
}

// The two icons Vista and later hide share the last row, so hiding them leaves no hole.
constexpr IconRow kIcons[] = {
    {"CheckBox_CommonSettings_Display_Desktop_MyComputer", "My Computer", "{20D04FE0-3AEA-1069-A2D8-08002B30309D}",
     "CHKmycomputer", kKeep, IconBounds(0, 0)},
    {"CheckBox_CommonSettings_Display_Desktop_ManageTools", "Administrative Tools",
     "{D20EA4E1-3957-11D2-A40B-0C5020524153}", "CHKmantools", kKeep, IconBounds(1, 0)},
    {"CheckBox_CommonSettings_Display_Desktop_Recycled", "Recycle Bin", "{645FF040-5081-101B-9F08-00AA002F954E}",
     "CHKrec", kChecked, IconBounds(0, 1)},
    {"CheckBox_CommonSettings_Display_Desktop_NetConnect", "Network Connection",
     "{992CFFA0-F557-101A-88EC-00DD010CCC48}", "CHKnetconnect", kKeep, IconBounds(1, 1)},
    {kNetNeighborhood, "My Network Places", "{208D2C60-3AEA-1069-A2D7-08002B30309D}", "CHKnet", kKeep,
     IconBounds(0, 2)},
    {kMyDocument, "My Documents", "{450D8FBA-AD25-11D0-98A8-0800361B1103}", "CHkmydoc", kKeep, IconBounds(1, 2)},
};
constexpr const char* kManageTools = "CheckBox_CommonSettings_Display_Desktop_ManageTools";

// The loader's order.
constexpr const char* kIconLoadOrder[] = {
    kManageTools,
    "CheckBox_CommonSettings_Display_Desktop_MyComputer",
    kMyDocument,
    kNetNeighborhood,
    "CheckBox_CommonSettings_Display_Desktop_Recycled",
    "CheckBox_CommonSettings_Display_Desktop_NetConnect",
};

// --- list contents -------------------------------------------------------------------

// Automatic updates: AUOptions for each list index.
constexpr std::array<std::int32_t, 4> kAutoUpdateOptions = {0, 2, 3, 4};

// --- system parameters ---------------------------------------------------------------

// The loader's queries are not checked: a refused one reads as 0.
std::int32_t QueryInt(platform::SystemParameters& spi, std::uint32_t action) {
  std::int32_t result = 0;
  if (!spi.Spi(action, 0, &result, 0)) return 0;
  return result;
}

// --- the page -------------------------------------------------------------------------

class GeneralSettingPage : public ui::PageModule {
 public:
  int Tag() const override { return kTag; }
  void Build(ui::PageContext& ctx) override;
  void Adapt(ui::PageContext& ctx, int version_class) override;
  void Load(ui::PageContext& ctx) override;
  void Change(ui::PageContext& ctx, forms::Component& sender) override;

 private:
  void BuildDisplay(ui::PageContext& ctx, PageControl& pages);
  void BuildFunction(ui::PageContext& ctx, PageControl& pages);
  void BuildSecurity(ui::PageContext& ctx, PageControl& pages);
  void BuildOthers(ui::PageContext& ctx, PageControl& pages);

  void LoadGeneralDisplay(ui::PageContext& ctx);
  void LoadGeneralFunction(ui::PageContext& ctx);
  void LoadGeneralSecurity(ui::PageContext& ctx);
  void LoadGeneralOthers(ui::PageContext& ctx);
  void LoadFontSmoothing(ui::PageContext& ctx);
  void LoadMinimizedWindows(ui::PageContext& ctx);
  void LoadIcon(ui::PageContext& ctx, const IconRow& row);
  void LoadAutoUpdate(ui::PageContext& ctx);
  void LoadFirefoxHomePage(ui::PageContext& ctx);

  void ChangeIcon(ui::PageContext& ctx, const IconRow& row, bool checked);
  void ChangeAutoUpdate(ui::PageContext& ctx);
  void ChangeFontSmoothing(ui::PageContext& ctx, int index);
  void ChangeMinimizedWindows(ui::PageContext& ctx);
  void QueueIEHomePage(ui::PageContext& ctx);

  bool firefox_installed_ = false;
};

Label& MakeText(forms::Form& form, Control& parent, const char* name, Rect bounds, const char* caption) {
  return form.Create<Label>(parent, name, bounds, caption);
}

ComboBox& MakeList(forms::Form& form, Control& parent, const char* name, Rect bounds,
                   std::vector<std::string> items, const forms::NotifyEvent& forwarder) {
  auto& combo = form.Create<ComboBox>(parent, name, bounds);
  combo.SetItems(std::move(items));
  combo.SetItemIndex(0);
  combo.OnChange = forwarder;
  return combo;
}

CheckBox& MakeBox(forms::Form& form, Control& parent, const char* name, Rect bounds, const char* caption,
                  const forms::NotifyEvent& forwarder) {
  auto& box = form.Create<CheckBox>(parent, name, bounds, caption);
  box.OnClick = forwarder;
  return box;
}

// An information text filling the first line of a group box.
constexpr Rect InfoBounds(int lines = 1) {
  return {layout::kRowLeft, layout::kRowTop, layout::kRowWidth, lines * layout::kLabelHeight};
}

void GeneralSettingPage::BuildDisplay(ui::PageContext& ctx, PageControl& pages) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forward = ctx.Forwarder();
  auto& sheet = form.Create<TabSheet>(pages, "TabSheet_CommonSettings_Display", Rect{}, "Display");

  constexpr int kDesktopTop = layout::kFirstGroupTop;
  constexpr int kDesktopHeight = 110;
  auto& desktop = form.Create<GroupBox>(sheet, "GroupBox_CommonSettings_Display_Desktop",
                                        layout::GroupBounds(kDesktopTop, kDesktopHeight), "Desktop");
  MakeText(form, desktop, "Label_CommonSettings_Display_Desktop_Info", InfoBounds(),
           "Display shortcuts of the selected items below on the desktop.");
  for (const IconRow& row : kIcons) MakeBox(form, desktop, row.name, row.bounds, row.caption, forward);

  constexpr int kIETop = layout::GroupBelow(kDesktopTop, kDesktopHeight);
  constexpr int kIEHeight = 100;
  auto& ie = form.Create<GroupBox>(sheet, "GroupBox_CommonSettings_Display_IECommonSettings",
                                   layout::GroupBounds(kIETop, kIEHeight), "General Settings for Internet Explorer");
  MakeText(form, ie, "Label_CommonSettings_Display_IECommonSettings_Info", InfoBounds(),
           "Set the home page for Internet Explorer here.");
  MakeText(form, ie, "Label_CommonSettings_Display_IECommonSettings_HomePage", {12, 44, 80, 13}, "Homepage:");
  form.Create<Edit>(ie, kIEHomePage, {136, 40, 160, layout::kEditHeight});
  form.Create<Button>(ie, kUseBlankPage, {304, 38, 111, layout::kButtonHeight}, "Use Blank Page").OnClick = forward;
  MakeText(form, ie, "Label_CommonSettings_Display_IECommonSettings_KeepRecordDays", {12, 72, 120, 13},
           "Days to keep history :");
  form.Create<Edit>(ie, kHistoryEdit, {136, 68, 40, layout::kEditHeight});
  form.Create<UpDown>(ie, kHistoryUpDown, {176, 68, 17, layout::kEditHeight});

  constexpr int kFirefoxTop = layout::GroupBelow(kIETop, kIEHeight);
  auto& firefox = form.Create<GroupBox>(sheet, kFirefoxGroup, layout::GroupBounds(kFirefoxTop, 54), "Firefox Homepage");
  MakeText(form, firefox, "Label_CommonSettings_Display_FirefoxHomepage_HomePage", {12, 26, 80, 13}, "Homepage:");
  form.Create<Edit>(firefox, kFirefoxHomePage, {136, 22, 279, layout::kEditHeight});

  // Never shown; it stands for the Internet Explorer page's history button.
  auto& hidden = form.Create<Button>(sheet, "Button20", layout::SheetButtonBounds(0, 1), "Button20");
  hidden.Hide();
  hidden.OnClick = [&ctx](forms::Component&) {
    if (auto* clear = ctx.TryFind<Button>(kIEClearHistory)) clear->Click();
  };
}

void GeneralSettingPage::BuildFunction(ui::PageContext& ctx, PageControl& pages) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forward = ctx.Forwarder();
  auto& sheet = form.Create<TabSheet>(pages, "TabSheet_CommonSettings_Function", Rect{}, "Function");

  constexpr int kAutoPlayTop = layout::kFirstGroupTop;
  constexpr int kAutoPlayHeight = 86;
  auto& autoplay = form.Create<GroupBox>(sheet, "GroupBox_CommonSettings_Function_AutoPlay",
                                         layout::GroupBounds(kAutoPlayTop, kAutoPlayHeight), "Auto Play");
  MakeText(form, autoplay, "Label_CommonSettings_Function_AutoPlay_Info", InfoBounds(),
           "Select the device you want to autoplay.");
  MakeBox(form, autoplay, kAutoPlayRemovable, layout::RowBounds(1), "Autoplay removable disk",
          forward);
  MakeBox(form, autoplay, kAutoPlayDVD, layout::RowBounds(2), "Autoplay CD/DVD drive", forward);

  constexpr int kCaretTop = layout::GroupBelow(kAutoPlayTop, kAutoPlayHeight);
  constexpr int kCaretHeight = 52;
  auto& caret = form.Create<GroupBox>(sheet, "GroupBox_CommonSettings_Function_CursorWidth",
                                      layout::GroupBounds(kCaretTop, kCaretHeight), "Cursor Width");
  MakeText(form, caret, "Label_CommonSettings_Function_CursorWidth_Width", {12, 24, 80, 13}, "Cursor Width:");
  form.Create<Edit>(caret, kCaretEdit, {136, 20, 40, layout::kEditHeight});
  form.Create<UpDown>(caret, kCaretUpDown, {176, 20, 17, layout::kEditHeight});
  MakeText(form, caret, "Label_CommonSettings_Function_CursorWidth_Pixels", {200, 24, 60, 13}, "Pixels.");

  constexpr int kWinKeyTop = layout::GroupBelow(kCaretTop, kCaretHeight);
  auto& winkey = form.Create<GroupBox>(sheet, "GroupBox_CommonSettings_Function_WinKey",
                                       layout::GroupBounds(kWinKeyTop, 58), "Windows Key");
  MakeText(form, winkey, "Label_CommonSettings_Function_WinKey_Info", InfoBounds(2),
           "The setting determines whether shortcuts with Windows keys are available (Such as Windows+M or "
           "Windows+E).")
      .Hide();
  MakeBox(form, winkey, kWinKey, layout::RowBounds(0, layout::kTwoLineRowHeight),
          "Activate key combinations with Windows Key (Such as Windows+M or Windows+E).", forward);

  form.Create<Button>(sheet, "Button_CommonSettings_Function_Default", layout::SheetButtonBounds(0, 1),
                      "Default Settings")
      .Hide();
}

void GeneralSettingPage::BuildSecurity(ui::PageContext& ctx, PageControl& pages) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forward = ctx.Forwarder();
  auto& sheet = form.Create<TabSheet>(pages, kSecurityTab, Rect{}, "Security");

  auto& group = form.Create<GroupBox>(sheet, "GroupBox_CommonSettings_Security_SecuritySettings",
                                      layout::GroupBounds(layout::kFirstGroupTop, 168), "Security Settings");
  MakeText(form, group, "Label_CommonSettings_Security_SecuritySettings_Info", InfoBounds(3),
           "The Windows Security Center will monitor the security aspect operations on your computer and display "
           "warnings or recommendations for improving security.");
  constexpr int kFirstBox = 66;
  MakeBox(form, group, kFirewall, {layout::kRowLeft, kFirstBox, layout::kRowWidth, layout::kRowHeight},
          "Turn on Windows Firewall.", forward);
  MakeBox(form, group, kAutoUpdate,
          {layout::kRowLeft, kFirstBox + layout::kRowStep, layout::kRowWidth, layout::kRowHeight},
          "Turn on Windows Automatic Updates", forward);
  MakeList(form, group, kAutoUpdateType, {28, kFirstBox + 2 * layout::kRowStep, 320, layout::kComboHeight},
           {"Use Windows default settings", "Notify me before downloading updates",
            "Notify me before auto downloading and installing updates",
            "Download and install updates at a scheduled time"},
           forward);
  MakeBox(form, group, kSecurityCenter,
          {layout::kRowLeft, kFirstBox + 3 * layout::kRowStep + 8, layout::kRowWidth, layout::kRowHeight},
          "Turn on Windows Security Center.", forward);

  form.Create<Button>(sheet, "Button_CommonSettings_Security_Default", layout::SheetButtonBounds(0, 1),
                      "Default Settings")
      .Hide();
}

void GeneralSettingPage::BuildOthers(ui::PageContext& ctx, PageControl& pages) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forward = ctx.Forwarder();
  auto& sheet = form.Create<TabSheet>(pages, "TabSheet_CommonSettings_Others", Rect{}, "Others");

  constexpr int kErrorTop = layout::kFirstGroupTop;
  constexpr int kErrorHeight = 84;
  auto& error = form.Create<GroupBox>(sheet, "GroupBox_CommonSettings_Others_SystemError",
                                      layout::GroupBounds(kErrorTop, kErrorHeight), "System Failure");
  MakeText(form, error, "Label_CommonSettings_Others_SystemError_Info", InfoBounds(2),
           "Specify what should be done when the system is stopped as a result of a critical error here.");
  MakeText(form, error, "Label_CommonSettings_Others_SystemError_DoType", {12, 56, 120, 13}, "When an error occurs:");
  MakeList(form, error, kSystemError, {136, 52, 279, layout::kComboHeight},
           {"Display error information (Blue Screen)", "Automatically Restart"}, forward);

  constexpr int kFontTop = layout::GroupBelow(kErrorTop, kErrorHeight);
  constexpr int kFontHeight = 74;
  auto& font = form.Create<GroupBox>(sheet, "GroupBox_CommonSettings_Others_Font",
                                     layout::GroupBounds(kFontTop, kFontHeight), "Font");
  MakeText(form, font, "Label_CommonSettings_Others_Font_Info", InfoBounds(),
           "Specify whether fonts should be smoothed to enhance readability.");
  MakeText(form, font, "Label_CommonSettings_Others_Font_SmoothType", {12, 46, 120, 13}, "Smoothing:");
  MakeList(form, font, kSmoothType, {136, 42, 200, layout::kComboHeight},
           {"No Smoothing", "Standard Font Smoothing", "ClearType"}, forward);

  constexpr int kTaskBarTop = layout::GroupBelow(kFontTop, kFontHeight);
  auto& taskbar = form.Create<GroupBox>(sheet, "GroupBox_CommonSettings_Others_TaskBar",
                                        layout::GroupBounds(kTaskBarTop, 102), "Task Bar");
  MakeText(form, taskbar, "Label_CommonSettings_Others_TaskBar_Info", InfoBounds(),
           "Specify the location of the minimized window.");
  MakeText(form, taskbar, "Label_CommonSettings_Others_TaskBar_Location", {12, 46, 120, 13}, "Location:");
  MakeList(form, taskbar, kMinLeft, {136, 42, 96, layout::kComboHeight}, {"Left", "Right"}, forward);
  MakeList(form, taskbar, kMinTop, {240, 42, 96, layout::kComboHeight}, {"Top", "Bottom"}, forward);
  MakeText(form, taskbar, "Label_CommonSettings_Others_TaskBar_Arrangement", {12, 74, 120, 13}, "Arrangement:");
  MakeList(form, taskbar, kMinArrangement, {136, 70, 200, layout::kComboHeight}, {"Side by side", "Cascading"},
           forward);
}

void GeneralSettingPage::Build(ui::PageContext& ctx) {
  auto& pages = ctx.Form().Create<PageControl>(ctx.Page(), kPageControl, layout::kPageControl);
  BuildDisplay(ctx, pages);
  BuildFunction(ctx, pages);
  BuildSecurity(ctx, pages);
  BuildOthers(ctx, pages);
  pages.SetActivePageIndex(0);
}

void GeneralSettingPage::Adapt(ui::PageContext& ctx, int version_class) {
  if (version_class > 5) {
    ctx.Find<CheckBox>(kMyDocument).Hide();
    ctx.Find<CheckBox>(kNetNeighborhood).Hide();
  }
  firefox_installed_ = engine::IsFirefoxInstalled(ctx.Platform());
  if (!firefox_installed_) ctx.Find<GroupBox>(kFirefoxGroup).Hide();
}

// The page the window opens on: between the loaders the window paints and the loading
// animation moves on.
void GeneralSettingPage::Load(ui::PageContext& ctx) {
  ctx.ProcessMessages();
  LoadGeneralDisplay(ctx);
  ctx.ProcessMessages();
  LoadGeneralFunction(ctx);
  ctx.ProcessMessages();
  LoadGeneralSecurity(ctx);
  ctx.ProcessMessages();
  LoadGeneralOthers(ctx);
  ctx.ProcessMessages();
}

// --- loaders ---------------------------------------------------------------------------

void GeneralSettingPage::LoadFontSmoothing(ui::PageContext& ctx) {
  platform::SystemParameters& spi = ctx.Platform().spi();
  const bool on = QueryInt(spi, SPI_GETFONTSMOOTHING) != 0;
  const std::int32_t type = QueryInt(spi, SPI_GETFONTSMOOTHINGTYPE);
  auto& combo = ctx.Find<ComboBox>(kSmoothType);
  if (!on) {
    combo.SetItemIndex(0);
  } else if (ctx.VersionClass() <= 4) {
    combo.SetItemIndex(1);  // Windows 2000 knows one kind of smoothing
  } else if (type == FE_FONTSMOOTHINGSTANDARD) {
    combo.SetItemIndex(1);
  } else if (type == FE_FONTSMOOTHINGCLEARTYPE) {
    combo.SetItemIndex(2);
  }
}

void GeneralSettingPage::LoadMinimizedWindows(ui::PageContext& ctx) {
  const std::optional<MinimizedMetrics> metrics = QueryMinimizedMetrics(ctx.Platform().spi());
  const MinimizedLists lists = ListsOf(metrics ? metrics->arrange : 0);
  ctx.Find<ComboBox>(kMinArrangement).SetItemIndex(lists.arrangement);
  ctx.Find<ComboBox>(kMinLeft).SetItemIndex(lists.left);
  ctx.Find<ComboBox>(kMinTop).SetItemIndex(lists.top);
}

void GeneralSettingPage::LoadIcon(ui::PageContext& ctx, const IconRow& row) {
  const std::optional<bool> hidden = ReadEquals(ctx.Queue(), HKCU, kHideKey, row.clsid, 1);
  auto& box = ctx.Find<CheckBox>(row.name);
  if (hidden) {
    box.SetChecked(!*hidden);
  } else {
    SetCheckedIf(box, row.missing);
  }
}

void GeneralSettingPage::LoadGeneralDisplay(ui::PageContext& ctx) {
  Guarded([&] { LoadFontSmoothing(ctx); });
  Guarded([&] { LoadMinimizedWindows(ctx); });
  for (const char* name : kIconLoadOrder) {
    Guarded([&] { LoadIcon(ctx, *RowNamed(kIcons, name)); });
  }
  if (firefox_installed_) Guarded([&] { LoadFirefoxHomePage(ctx); });
}

// The files are read once per run: when the Firefox page loads later, what was typed here
// is still pending. Its edit is the Firefox page's, so typing here goes to that page.
void GeneralSettingPage::LoadFirefoxHomePage(ui::PageContext& ctx) {
  firefox::FirefoxPrefs& prefs = ctx.Firefox();
  prefs.LoadFirefoxPreferences();
  const std::string value = prefs.GetFirefoxPref(kHomePagePref);
  // The address, not the string token Firefox keeps it as (quotes and escapes).
  ctx.Find<Edit>(kFirefoxHomePage).SetText(value == firefox::kNotFound ? std::string() : firefox::UnquotedString(value));
}

void GeneralSettingPage::LoadGeneralFunction(ui::PageContext& ctx) {
  engine::TCorvanel& queue = ctx.Queue();
  Guarded([&] {
    // One read for both boxes; a mask stored in another type than an integer reads as
    // the number it holds, as a click takes it.
    const std::optional<std::uint32_t> mask = ReadMask(queue, HKCU, kPoliciesKey, "NoDriveTypeAutoRun");
    if (!mask) return;
    ctx.Find<CheckBox>(kAutoPlayRemovable).SetChecked((*mask & kRemovableBit) == 0);
    ctx.Find<CheckBox>(kAutoPlayDVD).SetChecked((*mask & kCdRomBit) == 0);
  });
  Guarded([&] {
    if (const auto width = ReadNumber(queue, HKCU, kDesktopKey, "CaretWidth"))
      ctx.Find<UpDown>(kCaretUpDown).SetPosition(*width);
  });
  Guarded([&] {
    // Any value but 0 switches the keys off; a policy set to Disabled stores 0.
    const RegFlag policy = {HKCU, kPoliciesKey, "NoWinKeys", FlagRead::kAnyButZero, true, kChecked};
    SetCheckedIf(ctx.Find<CheckBox>(kWinKey), ReadFlag(queue, policy));
  });
}

void GeneralSettingPage::LoadAutoUpdate(ui::PageContext& ctx) {
  const TRegRecor r = Read(ctx.Queue(), HKLM, kAutoUpdateKey, "AUOptions");
  if (r.Status != engine::kStatusFound) return;
  const std::optional<std::int32_t> option = AsNumber(r.Value);
  auto& box = ctx.Find<CheckBox>(kAutoUpdate);
  auto& list = ctx.Find<ComboBox>(kAutoUpdateType);
  if (option == 1) {
    box.SetChecked(false);
    list.SetEnabled(false);
    return;
  }
  box.SetChecked(true);
  list.SetEnabled(true);
  for (std::size_t i = 0; i < kAutoUpdateOptions.size(); ++i) {
    if (option == kAutoUpdateOptions[i]) list.SetItemIndex(static_cast<int>(i));
  }
}

void GeneralSettingPage::LoadGeneralSecurity(ui::PageContext& ctx) {
  platform::Platform& platform = ctx.Platform();
  const int version = ctx.VersionClass();
  Guarded([&] {
    // Without the firewall service XP has no firewall to show; before XP there is none.
    const bool hide = version < 5 || (version == 5 && engine::QueryServiceState(platform, "SharedAccess") == 0);
    if (hide) ctx.Find<TabSheet>(kSecurityTab).SetTabVisible(false);
  });
  Guarded([&] {
    ctx.Find<CheckBox>(kSecurityCenter).SetChecked(engine::QueryServiceState(platform, "wscsvc") == 2);
  });
  Guarded([&] {
    auto& box = ctx.Find<CheckBox>(kFirewall);
    if (version > 5) {
      box.SetChecked(engine::QueryServiceState(platform, "MpsSvc") == 2);
      return;
    }
    const std::optional<bool> on = ReadEquals(ctx.Queue(), HKLM, kFirewallKey, "EnableFirewall", 1);
    box.SetChecked(on.value_or(true));
  });
  Guarded([&] { LoadAutoUpdate(ctx); });
}

void GeneralSettingPage::LoadGeneralOthers(ui::PageContext& ctx) {
  engine::TCorvanel& queue = ctx.Queue();
  Guarded([&] {
    // A value naming no entry of the list leaves the designed choice.
    if (const auto action = ReadNumber(queue, HKLM, kCrashControlKey, "AutoReboot")) {
      auto& list = ctx.Find<ComboBox>(kSystemError);
      if (*action >= 0 && *action < static_cast<std::int32_t>(list.Items().size())) list.SetItemIndex(*action);
    }
  });
  Guarded([&] {
    if (const auto days = ReadNumber(queue, HKCU, kUrlHistoryKey, "DaysToKeep"))
      ctx.Find<UpDown>(kHistoryUpDown).SetPosition(*days);
  });
  Guarded([&] {
    const TRegRecor r = Read(queue, HKCU, kIEMainKey, "Start Page");
    if (r.Status != engine::kStatusFound) return;
    if (const auto text = ValueText(r.Value)) ctx.Find<Edit>(kIEHomePage).SetText(*text);
  });
}

// --- the change handler ----------------------------------------------------------------

void GeneralSettingPage::ChangeIcon(ui::PageContext& ctx, const IconRow& row, bool checked) {
  engine::TCorvanel& queue = ctx.Queue();
  TRegRecor key = StringRecord(row.record, HKLM, std::string(kNameSpaceKey) + row.clsid, "", "");
  // Only Administrative Tools goes away with its key; the others stay registered.
  if (row.name == std::string_view(kManageTools) && !checked) {
    key.Action = engine::IsWow64(ctx.Platform().registry()) ? engine::kActionDeleteKey64 : engine::kActionDeleteKey;
  }
  queue.AddRecord(std::move(key));
  queue.AddRecord(IntegerRecord(std::string(row.record) + "1", HKCU, kHideKey, row.clsid, checked ? 0 : 1));
  ctx.Requests().AssociationsChanged = true;
}

void GeneralSettingPage::ChangeAutoUpdate(ui::PageContext& ctx) {
  const bool on = ctx.Find<CheckBox>(kAutoUpdate).Checked();
  auto& list = ctx.Find<ComboBox>(kAutoUpdateType);
  std::int32_t option = 1;
  if (on) {
    const int index = list.ItemIndex();
    option = index > 0 && index < static_cast<int>(kAutoUpdateOptions.size())
                 ? kAutoUpdateOptions[static_cast<std::size_t>(index)]
                 : kAutoUpdateOptions[0];
  }
  list.SetEnabled(on);
  ctx.Queue().AddRecord(IntegerRecord(kAutoUpdateRecord, HKLM, kAutoUpdateKey, "AUOptions", option));
}

void GeneralSettingPage::ChangeFontSmoothing(ui::PageContext& ctx, int index) {
  engine::TCorvanel& queue = ctx.Queue();
  queue.AddRecord(
      engine::SpiRecord(kFontRecord, SPI_SETFONTSMOOTHING, index != 0 ? 1 : 0, std::uint32_t{0}, SPIF_UPDATEINIFILE));
  // Windows 2000 knows only one kind of smoothing. "No Smoothing" leaves a queued type
  // alone: it does nothing while smoothing is off.
  if (ctx.VersionClass() > 4 && index > 0) {
    queue.AddRecord(engine::SpiRecord(kFontTypeRecord, SPI_SETFONTSMOOTHINGTYPE, 0, static_cast<std::uint32_t>(index),
                                      SPIF_UPDATEINIFILE));
  }
}

void GeneralSettingPage::ChangeMinimizedWindows(ui::PageContext& ctx) {
  // Without a reading there are no width and gaps to keep; writing zeros would shrink
  // every minimized window, so nothing is queued.
  std::optional<MinimizedMetrics> metrics = LatestMinimizedMetrics(ctx.Queue(), ctx.Platform().spi());
  if (!metrics) return;
  const MinimizedLists lists = {ctx.Find<ComboBox>(kMinLeft).ItemIndex(), ctx.Find<ComboBox>(kMinTop).ItemIndex(),
                                ctx.Find<ComboBox>(kMinArrangement).ItemIndex()};
  metrics->arrange = ArrangeOf(lists, metrics->arrange);
  ctx.Queue().AddRecord(MinimizedMetricsRecord(kMinimizedRecord, *metrics, true));
  ctx.Requests().RestartNeeded = true;
}

void GeneralSettingPage::QueueIEHomePage(ui::PageContext& ctx) {
  ctx.Queue().AddRecord(
      StringRecord(kIEHomeRecord, HKCU, kIEMainKey, "Start Page", ctx.Find<Edit>(kIEHomePage).Text()));
}

void GeneralSettingPage::Change(ui::PageContext& ctx, forms::Component& sender) {
  const std::string_view name = sender.Name();
  engine::TCorvanel& queue = ctx.Queue();
  const auto* box = dynamic_cast<const CheckBox*>(&sender);
  const auto* list = dynamic_cast<const ComboBox*>(&sender);
  const auto* updown = dynamic_cast<const UpDown*>(&sender);

  if (box != nullptr) {
    const bool checked = box->Checked();
    if (const IconRow* icon = RowNamed(kIcons, name)) {
      ChangeIcon(ctx, *icon, checked);
    } else if (name == kAutoPlayRemovable || name == kAutoPlayDVD) {
      const std::uint32_t bit = name == kAutoPlayRemovable ? kRemovableBit : kCdRomBit;
      // The mask holds the drive types whose AutoPlay is off.
      if (PuttingBack()) return;
      if (auto r = MaskBitRecord(queue, std::string(name), HKCU, kPoliciesKey, "NoDriveTypeAutoRun", bit, !checked)) {
        queue.AddRecord(std::move(*r));
      } else {
        PutBack(dynamic_cast<CheckBox&>(sender));
      }
    } else if (name == kWinKey) {
      TRegRecor r = IntegerRecord(kWinKey, HKCU, kPoliciesKey, "NoWinKeys", 1);
      if (checked) r.Action = engine::kActionDeleteValue;
      queue.AddRecord(std::move(r));
      ctx.Requests().RestartNeeded = true;
    } else if (name == kFirewall) {
      if (ctx.VersionClass() > 5) {
        ctx.Requests().FirewallServiceAction = checked ? 1 : 2;
      } else {
        queue.AddRecord(FlagRecord(kFirewall, HKLM, kFirewallKey, "EnableFirewall", checked));
      }
    } else if (name == kAutoUpdate) {
      ChangeAutoUpdate(ctx);
    } else if (name == kSecurityCenter) {
      ctx.Requests().SecurityCenterServiceAction = checked ? 1 : 2;
    }
    return;
  }
  if (list != nullptr) {
    if (name == kAutoUpdateType) {
      ChangeAutoUpdate(ctx);
    } else if (name == kSystemError) {
      queue.AddRecord(IntegerRecord(kSystemError, HKLM, kCrashControlKey, "AutoReboot", list->ItemIndex()));
    } else if (name == kSmoothType) {
      ChangeFontSmoothing(ctx, list->ItemIndex());
    } else if (name == kMinLeft || name == kMinTop || name == kMinArrangement) {
      ChangeMinimizedWindows(ctx);
    }
    return;
  }
  if (updown != nullptr) {
    // The Input Options page's up-downs share this event; they have no row here.
    if (name == kCaretUpDown) {
      queue.AddRecord(IntegerRecord(kCaretUpDown, HKCU, kDesktopKey, "CaretWidth", updown->Position()));
      ctx.Requests().RestartNeeded = true;
    } else if (name == kHistoryUpDown) {
      queue.AddRecord(IntegerRecord(kHistoryUpDown, HKCU, kUrlHistoryKey, "DaysToKeep", updown->Position()));
    }
    return;
  }
  if (name == kIEHomePage) {
    QueueIEHomePage(ctx);
  } else if (name == kUseBlankPage) {
    ctx.Find<Edit>(kIEHomePage).SetText("about:blank");
    QueueIEHomePage(ctx);
  }
}

}  // namespace

std::unique_ptr<ui::PageModule> CreateGeneralSettingPage() { return std::make_unique<GeneralSettingPage>(); }

}  // namespace corvanel::pages
