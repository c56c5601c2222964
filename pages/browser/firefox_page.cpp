#include "pages/browser/firefox_page.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "engine/host_probes.h"
#include "firefox/firefox_prefs.h"
#include "pages/page_layout.h"
#include "pages/page_rows.h"
#include "ui/numeric_field.h"

namespace corvanel::pages {
namespace {

using forms::Button;
using forms::CheckBox;
using forms::ComboBox;
using forms::Edit;
using forms::GroupBox;
using forms::Label;
using forms::PageControl;
using forms::RadioButton;
using forms::Rect;
using forms::TabSheet;
using forms::TrackBar;
using forms::UpDown;

constexpr int kTag = 9;

constexpr const char* kPageControl = "PagFirefox";
constexpr const char* kTabCommon = "TabSheet_Firefox_Common";
constexpr const char* kTabUse = "TabSheet_Firefox_Use";
constexpr const char* kTabPopup = "TabSheet_Firefox_Popup";
constexpr const char* kTabLabel = "TabSheet_Firefox_Label";
constexpr const char* kTabNoFirefox = "TabSheet_Firefox_NoFirefox";

// General.
constexpr const char* kErrorWindows = "Radio_Firefox_Common_ErrorMessage_Windows";
constexpr const char* kErrorWebPage = "Radio_Firefox_Common_ErrorMessage_WebPage";
constexpr const char* kHomepage = "Edit_Firefox_Common_Homepage_Address";
// The General Setting page's Firefox home page reaches this page's handler too.
constexpr const char* kGeneralHomepage = "Edit_CommonSettings_Display_FirefoxHomepage_HomePage";
// Usage.
constexpr const char* kSpeedWindows = "Radio_Firefox_Use_MenuSpeed_UseWinSet";
constexpr const char* kSpeedClick = "Radio_Firefox_Use_MenuSpeed_Click";
constexpr const char* kSpeedDelay = "Radio_Firefox_Use_MenuSpeed_Delay";
constexpr const char* kSpeedTrack = "TrackBar_Firefox_Use_MenuSpeed_Delay";
constexpr const char* kSpeedLabel = "Label_Firefox_Use_MenuSpeed_Delay";
// Popup Window.
constexpr const char* kOpenType = "Checkbox_Firefox_Popup_Open_Type";
constexpr const char* kOpenSameTab = "Radio_Firefox_Popup_Open_SameTab";
constexpr const char* kOpenNewTab = "Radio_Firefox_Popup_Open_NewTab";
// Tabs.
constexpr const char* kCloseButtons = "CB_Firefox_Tab_CloseButton_Pos";
constexpr const char* kMinWidthEdit = "Edit_Firefox_Tab_MinWidth_Min";
constexpr const char* kMinWidth = "Updown_Firefox_Tab_MinWidth_Min";
// No fireFox.
constexpr const char* kLink = "Label62";

constexpr const char* kErrorPref = "\"browser.xul.error_pages.enabled\"";
constexpr const char* kHomepagePref = "\"browser.startup.homepage\"";
constexpr const char* kSpeedPref = "\"ui.submenuDelay\"";
constexpr const char* kOpenPref = "\"browser.link.open_newwindow\"";
constexpr const char* kClosePref = "\"browser.tabs.closeButtons\"";
constexpr const char* kMinWidthPref = "\"browser.tabs.tabMinWidth\"";

constexpr const char* kClickOnly = "65000";  // "ui.submenuDelay" of "Open menu only by mouse click."
constexpr int kDesignDelay = 217;
constexpr int kDefaultMinWidth = 125;
constexpr int kDefaultCloseButtons = 1;
constexpr int kShowNormal = 1;  // SW_SHOWNORMAL

// A check box standing for a true / false preference.
struct BoolRow {
  const char* name;
  const char* caption;
  const char* pref;
  const char* word;     // the value the read compares with, without regard to case
  bool word_checks;     // that value checks the box (else it clears it)
  const char* checked;  // what a checked box writes; a cleared one writes the other word
};

constexpr BoolRow kBools[] = {
    {"CheckBox_Firefox_Common_DynamicText_ProhibitFlashing", "Disable blinking text.", "\"browser.blink_allowed\"",
     "false", true, "false"},
    {"Checkbox_Firefox_Use_AddressBar_AutoFill", "Auto-complete address input in address bar.",
     "\"browser.urlbar.autoFill\"", "true", true, "true"},
    {"Checkbox_Firefox_Use_AddressBar_ShowLoadAddressButton", "Show button \"Load Address\".",
     "\"browser.urlbar.hideGoButton\"", "true", false, "false"},
    {"Checkbox_Firefox_Popup_JavaScript_Size", "Change the window size.",
     "\"dom.disable_window_open_feature.resizable\"", "false", true, "false"},
    {"Checkbox_Firefox_Popup_JavaScript_Min", "Minimize window.", "\"dom.disable_window_open_feature.minimizable\"",
     "true", false, "false"},
    {"Checkbox_Firefox_Popup_JavaScript_HideMenu", "Hide the menu bar.", "\"dom.disable_window_open_feature.menubar\"",
     "true", false, "false"},
    {"Checkbox_Firefox_Popup_JavaScript_HideTask", "Hide the taskbar.", "\"dom.disable_window_open_feature.location\"",
     "false", true, "false"},
    {"Checkbox_Firefox_Popup_JavaScript_HideSroll", "Hide the scrollbars.",
     "\"dom.disable_window_open_feature.scrollbars\"", "true", false, "false"},
};

constexpr const char* kScriptBoxes[] = {
    "Checkbox_Firefox_Popup_JavaScript_Size", "Checkbox_Firefox_Popup_JavaScript_Min",
    "Checkbox_Firefox_Popup_JavaScript_HideMenu", "Checkbox_Firefox_Popup_JavaScript_HideTask",
    "Checkbox_Firefox_Popup_JavaScript_HideSroll"};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return Lower(x) == Lower(y);
         });
}

const char* OtherWord(const char* word) { return std::string_view(word) == "true" ? "false" : "true"; }

// The looked-up value as a number; nullopt for anything else (the control keeps its state).
std::optional<int> NumberOf(const std::string& value) {
  int n = 0;
  if (!ui::ParseNumber(value, &n)) return std::nullopt;
  return n;
}

class FirefoxPage : public ui::PageModule {
 public:
  int Tag() const override { return kTag; }
  void Build(ui::PageContext& ctx) override;
  void Load(ui::PageContext& ctx) override;
  void Change(ui::PageContext& ctx, forms::Component& sender) override;

 private:
  void LoadFirefoxGeneral(ui::PageContext& ctx);
  void LoadFirefoxUsage(ui::PageContext& ctx);
  void LoadFirefoxPopup(ui::PageContext& ctx);
  void LoadFirefoxTabs(ui::PageContext& ctx);
  void ReadBool(ui::PageContext& ctx, const char* name);
  void WriteMenuSpeed(ui::PageContext& ctx);
  void WriteOpenType(ui::PageContext& ctx);
  void SetOpenRadiosEnabled(ui::PageContext& ctx, bool enabled);
  void Label62Click(ui::PageContext& ctx);
};

const BoolRow& Bool(std::string_view name) {
  const BoolRow* row = RowNamed(kBools, name);
  if (row == nullptr) throw forms::ModelError("no preference row \"" + std::string(name) + "\"");
  return *row;
}

void FirefoxPage::Build(ui::PageContext& ctx) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forward = ctx.Forwarder();
  constexpr Rect kDefaultButton = layout::SheetButtonBounds(0, 1);
  auto box = [&](forms::Control& parent, const char* name, int row) -> CheckBox& {
    auto& b = form.Create<CheckBox>(parent, name, layout::RowBounds(row), Bool(name).caption);
    b.OnClick = forward;
    return b;
  };
  auto radio = [&](forms::Control& parent, const char* name, Rect bounds, const char* caption) -> RadioButton& {
    auto& r = form.Create<RadioButton>(parent, name, bounds, caption);
    r.OnClick = forward;
    return r;
  };

  auto& pages = form.Create<PageControl>(ctx.Page(), kPageControl, layout::kPageControl);
  auto& common = form.Create<TabSheet>(pages, kTabCommon, {}, "General");
  auto& use = form.Create<TabSheet>(pages, kTabUse, {}, "Usage");
  auto& popup = form.Create<TabSheet>(pages, kTabPopup, {}, "Popup Window");
  auto& tabs = form.Create<TabSheet>(pages, kTabLabel, {}, "Tabs");
  auto& none = form.Create<TabSheet>(pages, kTabNoFirefox, {}, "No fireFox");
  pages.SetActivePageIndex(0);

  // General.
  auto& dynamic = form.Create<GroupBox>(common, "GroupBox_Firefox_Common_DynamicText", layout::GroupBounds(8, 45),
                                        "Dynamic Text");
  box(dynamic, "CheckBox_Firefox_Common_DynamicText_ProhibitFlashing", 0);
  auto& errors = form.Create<GroupBox>(common, "GroupBox_Firefox_Common_ErrorMessage", layout::GroupBounds(61, 67),
                                       "Error Messages");
  radio(errors, kErrorWindows, layout::RowBounds(0), "Display error messages in a window.").SetChecked(true);
  radio(errors, kErrorWebPage, layout::RowBounds(1), "Display error messages as a web page.");
  auto& home = form.Create<GroupBox>(common, "GroupBox_Firefox_Common_Homepage", layout::GroupBounds(136, 53),
                                     "Homepage");
  form.Create<Label>(home, "Label_Firefox_Common_Homepage_Address", {12, 24, 60, layout::kLabelHeight}, "Homepage:");
  form.Create<Edit>(home, kHomepage, {76, 20, 339, layout::kEditHeight});
  form.Create<Button>(common, "Button_Firefox_Common_Default", kDefaultButton, "Default Settings").OnClick =
      [&ctx](forms::Component&) {
        DefaultCheck(ctx.Find<CheckBox>("CheckBox_Firefox_Common_DynamicText_ProhibitFlashing"), kCleared);
        DefaultSelect(ctx.Find<RadioButton>(kErrorWindows));
      };

  // Usage.
  auto& address = form.Create<GroupBox>(use, "GroupBox_Firefox_Use_AddressBar", layout::GroupBounds(8, 67),
                                        "Address Bar");
  box(address, "Checkbox_Firefox_Use_AddressBar_AutoFill", 0);
  box(address, "Checkbox_Firefox_Use_AddressBar_ShowLoadAddressButton", 1).SetChecked(true);
  auto& speed = form.Create<GroupBox>(use, "GroupBox_Firefox_Use_MenuSpeed", layout::GroupBounds(83, 124),
                                      "Show Menu speed");
  radio(speed, kSpeedWindows, layout::RowBounds(0), "Use Windows default settings.").SetChecked(true);
  radio(speed, kSpeedClick, layout::RowBounds(1), "Open menu only by mouse click.");
  radio(speed, kSpeedDelay, layout::RowBounds(2), "Automatically open menus after mouse pointer delay.");
  auto& track = form.Create<TrackBar>(speed, kSpeedTrack, {28, layout::RowTop(3), 300, 30});
  track.SetRange(0, 1200);
  track.SetPosition(kDesignDelay);
  track.SetEnabled(false);
  track.OnChange = forward;
  form.Create<Label>(speed, kSpeedLabel, {336, layout::RowTop(3) + 8, 70, layout::kLabelHeight}, "217 ms");
  form.Create<Button>(use, "Button_Firefox_Use_Default", kDefaultButton, "Default Settings").OnClick =
      [&ctx](forms::Component&) {
        DefaultCheck(ctx.Find<CheckBox>("Checkbox_Firefox_Use_AddressBar_AutoFill"), kCleared);
        DefaultCheck(ctx.Find<CheckBox>("Checkbox_Firefox_Use_AddressBar_ShowLoadAddressButton"), kChecked);
        DefaultSelect(ctx.Find<RadioButton>(kSpeedWindows));
      };

  // Popup Window.
  auto& open = form.Create<GroupBox>(popup, "GroupBox_Firefox_Popup_Open", layout::GroupBounds(8, 89), "Links");
  auto& open_type = form.Create<CheckBox>(open, kOpenType, layout::RowBounds(0),
                                          "Do not open links in a new window. Open links as follows:");
  open_type.SetChecked(true);
  open_type.OnClick = forward;
  constexpr int kIndent = 16;
  radio(open, kOpenSameTab, {layout::kRowLeft + kIndent, layout::RowTop(1), layout::kRowWidth - kIndent,
                             layout::kRowHeight}, "In the same tab or window as the link.");
  radio(open, kOpenNewTab, {layout::kRowLeft + kIndent, layout::RowTop(2), layout::kRowWidth - kIndent,
                            layout::kRowHeight}, "In a new tab.")
      .SetChecked(true);
  auto& script = form.Create<GroupBox>(popup, "GroupBox_Firefox_Popup_JavaScript", layout::GroupBounds(105, 155),
                                       "Java Script");
  form.Create<Label>(script, "Label_Firefox_Popup_JavaScript_Info",
                     {layout::kRowLeft, 22, layout::kRowWidth, layout::kLabelHeight},
                     "Allowed window manipulation lists here:");
  int row = 1;
  for (const char* name : kScriptBoxes) box(script, name, row++);
  form.Create<Button>(popup, "Button_Firefox_Popup_Default", kDefaultButton, "Default Settings").OnClick =
      [&ctx](forms::Component&) {
        DefaultCheck(ctx.Find<CheckBox>(kOpenType), kChecked);
        DefaultSelect(ctx.Find<RadioButton>(kOpenNewTab));
        for (const char* name : kScriptBoxes) DefaultCheck(ctx.Find<CheckBox>(name), kCleared);
      };

  // Tabs.
  auto& close = form.Create<GroupBox>(tabs, "GroupBox_Firefox_Tab_CloseButton", layout::GroupBounds(8, 53),
                                      "Close Button");
  form.Create<Label>(close, "Label_Firefox_Tab_CloseButton_Pos", {12, 24, 60, layout::kLabelHeight}, "Position:");
  auto& positions = form.Create<ComboBox>(close, kCloseButtons, {76, 20, 240, layout::kComboHeight});
  positions.SetItems({"Only on the current tab", "On all tabs", "Do not show \"Close\" button",
                      "On the right end of the tab menu"});
  positions.SetItemIndex(kDefaultCloseButtons);
  positions.OnChange = forward;
  auto& width = form.Create<GroupBox>(tabs, "GroupBox_Firefox_Tab_MinWidth", layout::GroupBounds(69, 53),
                                      "Minimum width");
  form.Create<Label>(width, "Label_Firefox_Tab_MinWidth_Min", {12, 24, 80, layout::kLabelHeight}, "Minimum Width:");
  form.Create<Edit>(width, kMinWidthEdit, {96, 20, 50, layout::kEditHeight});
  form.Create<UpDown>(width, kMinWidth, {146, 20, 17, layout::kEditHeight});
  form.Create<Label>(width, "Label_Firefox_Tab_MinWidth_Pixel", {170, 24, 40, layout::kLabelHeight}, "Pixel.");

  // No fireFox.
  form.Create<Label>(none, "Label_Firefox_NoFirefox_NotInstalled", {12, 16, 419, layout::kLabelHeight},
                     "Firefox is not installed on your computer.");
  form.Create<Label>(none, "Label_Firefox_NoFirefox_MoreInfo", {12, 40, 419, layout::kLabelHeight},
                     "For more information, please click on link. ");
  auto& link = form.Create<Label>(none, kLink, {12, 60, 250, layout::kLabelHeight}, kFirefoxWebSite);
  link.SetHandCursor(true);
  link.SetFontColor(0x00CC6600);  // a link's blue (0x00BBGGRR)
  link.OnClick = [this, &ctx](forms::Component&) { Label62Click(ctx); };
}

void FirefoxPage::Load(ui::PageContext& ctx) {
  auto& pages = ctx.Find<PageControl>(kPageControl);
  const bool installed = engine::IsFirefoxInstalled(ctx.Platform());
  for (const char* tab : {kTabCommon, kTabUse, kTabPopup, kTabLabel}) ctx.Find<TabSheet>(tab).SetTabVisible(installed);
  auto& none = ctx.Find<TabSheet>(kTabNoFirefox);
  none.SetTabVisible(!installed);
  if (!installed) {
    pages.SetActivePage(&none);
    return;
  }
  pages.SetActivePage(&ctx.Find<TabSheet>(kTabCommon));
  LoadFirefoxGeneral(ctx);
  LoadFirefoxUsage(ctx);
  LoadFirefoxPopup(ctx);
  LoadFirefoxTabs(ctx);
}

void FirefoxPage::ReadBool(ui::PageContext& ctx, const char* name) {
  const BoolRow& row = Bool(name);
  const bool matches = SameWord(ctx.Firefox().GetFirefoxPref(row.pref), row.word);
  ctx.Find<CheckBox>(name).SetChecked(matches == row.word_checks);
}

void FirefoxPage::LoadFirefoxGeneral(ui::PageContext& ctx) {
  // Read once per run: a home page typed on the General Setting page stays in the list.
  ctx.Firefox().LoadFirefoxPreferences();
  const firefox::FirefoxPrefs& prefs = ctx.Firefox();
  Guarded([&] { ReadBool(ctx, "CheckBox_Firefox_Common_DynamicText_ProhibitFlashing"); });
  Guarded([&] {
    const bool web_page = SameWord(prefs.GetFirefoxPref(kErrorPref), "true");
    ctx.Find<RadioButton>(web_page ? kErrorWebPage : kErrorWindows).SetChecked(true);
  });
  Guarded([&] {
    // The address itself: the string token's quotes and escapes undone. Its own quotes
    // stay, or the next key release would write the address back without them.
    const std::string value = prefs.GetFirefoxPref(kHomepagePref);
    ctx.Find<Edit>(kHomepage).SetText(value == firefox::kNotFound ? std::string() : firefox::UnquotedString(value));
  });
}

void FirefoxPage::LoadFirefoxUsage(ui::PageContext& ctx) {
  Guarded([&] { ReadBool(ctx, "Checkbox_Firefox_Use_AddressBar_AutoFill"); });
  Guarded([&] { ReadBool(ctx, "Checkbox_Firefox_Use_AddressBar_ShowLoadAddressButton"); });
  Guarded([&] {
    auto& track = ctx.Find<TrackBar>(kSpeedTrack);
    track.SetEnabled(false);
    const std::string value = ctx.Firefox().GetFirefoxPref(kSpeedPref);
    if (value == kClickOnly) {
      ctx.Find<RadioButton>(kSpeedClick).SetChecked(true);
    } else if (value == firefox::kNotFound) {
      ctx.Find<RadioButton>(kSpeedWindows).SetChecked(true);
    } else {
      ctx.Find<RadioButton>(kSpeedDelay).SetChecked(true);
      track.SetEnabled(true);
      if (const auto n = NumberOf(value)) track.SetPosition(*n);
    }
  });
}

void FirefoxPage::LoadFirefoxPopup(ui::PageContext& ctx) {
  Guarded([&] {
    const std::string value = ctx.Firefox().GetFirefoxPref(kOpenPref);
    const bool new_window = value == "2";
    ctx.Find<CheckBox>(kOpenType).SetChecked(!new_window);
    ctx.Find<RadioButton>(!new_window && value == "1" ? kOpenSameTab : kOpenNewTab).SetChecked(true);
    SetOpenRadiosEnabled(ctx, !new_window);
  });
  for (const char* name : kScriptBoxes) Guarded([&] { ReadBool(ctx, name); });
}

void FirefoxPage::LoadFirefoxTabs(ui::PageContext& ctx) {
  Guarded([&] {
    const std::string value = ctx.Firefox().GetFirefoxPref(kClosePref);
    auto& combo = ctx.Find<ComboBox>(kCloseButtons);
    const auto n = value == firefox::kNotFound ? std::nullopt : NumberOf(value);
    // A number no item stands for is taken as Firefox's own default, like a word would be.
    combo.SetItemIndex(n && *n >= 0 && *n < static_cast<int>(combo.Items().size()) ? *n : kDefaultCloseButtons);
  });
  Guarded([&] {
    const std::string value = ctx.Firefox().GetFirefoxPref(kMinWidthPref);
    auto& updown = ctx.Find<UpDown>(kMinWidth);
    if (value == firefox::kNotFound) {
      updown.SetPosition(kDefaultMinWidth);
    } else if (const auto n = NumberOf(value)) {
      updown.SetPosition(*n);
    }
  });
}

void FirefoxPage::SetOpenRadiosEnabled(ui::PageContext& ctx, bool enabled) {
  ctx.Find<RadioButton>(kOpenSameTab).SetEnabled(enabled);
  ctx.Find<RadioButton>(kOpenNewTab).SetEnabled(enabled);
}

void FirefoxPage::WriteMenuSpeed(ui::PageContext& ctx) {
  firefox::FirefoxPrefs& prefs = ctx.Firefox();
  auto& track = ctx.Find<TrackBar>(kSpeedTrack);
  if (ctx.Find<RadioButton>(kSpeedWindows).Checked()) {
    prefs.SetFirefoxPref(kSpeedPref, "");
    track.SetEnabled(false);
  } else if (ctx.Find<RadioButton>(kSpeedClick).Checked()) {
    prefs.SetFirefoxPref(kSpeedPref, kClickOnly);
    track.SetEnabled(false);
  } else if (ctx.Find<RadioButton>(kSpeedDelay).Checked()) {
    prefs.SetFirefoxPref(kSpeedPref, std::to_string(track.Position()));
    track.SetEnabled(true);
  }
  ctx.Find<Label>(kSpeedLabel).SetCaption(std::to_string(track.Position()) + " ms");
}

void FirefoxPage::WriteOpenType(ui::PageContext& ctx) {
  const bool same_window = ctx.Find<CheckBox>(kOpenType).Checked();
  const bool same_tab = ctx.Find<RadioButton>(kOpenSameTab).Checked();
  ctx.Firefox().SetFirefoxPref(kOpenPref, !same_window ? "2" : same_tab ? "1" : "3");
  SetOpenRadiosEnabled(ctx, same_window);
}

void FirefoxPage::Change(ui::PageContext& ctx, forms::Component& sender) {
  // Every handled event asks Apply to save, also one that matches no row.
  ctx.Requests().FirefoxChanged = true;
  firefox::FirefoxPrefs& prefs = ctx.Firefox();
  const std::string& name = sender.Name();
  if (const BoolRow* row = RowNamed(kBools, name)) {
    const bool checked = ctx.Find<CheckBox>(row->name).Checked();
    prefs.SetFirefoxPref(row->pref, checked ? row->checked : OtherWord(row->checked));
  } else if (name == kErrorWindows || name == kErrorWebPage) {
    prefs.SetFirefoxPref(kErrorPref, ctx.Find<RadioButton>(kErrorWindows).Checked() ? "false" : "true");
  } else if (name == kHomepage || name == kGeneralHomepage) {
    if (const auto* edit = dynamic_cast<const Edit*>(&sender)) {
      prefs.SetFirefoxPref(kHomepagePref, firefox::QuotedString(edit->Text()));
    }
  } else if (name == kSpeedWindows || name == kSpeedClick || name == kSpeedDelay || name == kSpeedTrack) {
    WriteMenuSpeed(ctx);
  } else if (name == kOpenType || name == kOpenSameTab || name == kOpenNewTab) {
    WriteOpenType(ctx);
  } else if (name == kCloseButtons) {
    const int index = ctx.Find<ComboBox>(kCloseButtons).ItemIndex();
    if (index >= 0) prefs.SetFirefoxPref(kClosePref, std::to_string(index));
  } else if (name == kMinWidth) {
    const int position = ctx.Find<UpDown>(kMinWidth).Position();
    prefs.SetFirefoxPref(kMinWidthPref, position == kDefaultMinWidth ? std::string() : std::to_string(position));
  }
}

void FirefoxPage::Label62Click(ui::PageContext& ctx) {
  platform::Shell& shell = ctx.Platform().shell();
  if (shell.Execute(ctx.OwnerWindow(), "open", kFirefoxWebSite, "", "", kShowNormal) > 32) return;
  // No program is registered for web addresses: Explorer hands it on to the browser.
  shell.Execute(ctx.OwnerWindow(), "open", "Explorer.exe", kFirefoxWebSite, "", kShowNormal);
}

}  // namespace

std::unique_ptr<ui::PageModule> CreateFirefoxPage() { return std::make_unique<FirefoxPage>(); }

}  // namespace corvanel::pages
