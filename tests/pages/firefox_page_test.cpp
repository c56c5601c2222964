#include "pages/browser/firefox_page.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "firefox/firefox_prefs.h"
#include "forms/layout.h"
#include "tests/pages/page_harness.h"

namespace corvanel::pages {
namespace {

using forms::ComboBox;
using forms::Edit;
using forms::Label;
using forms::RadioButton;
using forms::TabSheet;
using forms::TrackBar;
using forms::UpDown;

const std::string kFolder = "C:\\users\\user\\AppData\\Roaming\\Mozilla\\Firefox\\";
const std::string kProfile = kFolder + "Profiles\\t.default";
const std::string kPrefsJs = kProfile + "\\prefs.js";
const std::string kUserJs = kProfile + "\\user.js";

constexpr const char* kBlink = "CheckBox_Firefox_Common_DynamicText_ProhibitFlashing";
constexpr const char* kErrWindows = "Radio_Firefox_Common_ErrorMessage_Windows";
constexpr const char* kErrWebPage = "Radio_Firefox_Common_ErrorMessage_WebPage";
constexpr const char* kHome = "Edit_Firefox_Common_Homepage_Address";
constexpr const char* kAutoFill = "Checkbox_Firefox_Use_AddressBar_AutoFill";
constexpr const char* kGoButton = "Checkbox_Firefox_Use_AddressBar_ShowLoadAddressButton";
constexpr const char* kWinSet = "Radio_Firefox_Use_MenuSpeed_UseWinSet";
constexpr const char* kClick = "Radio_Firefox_Use_MenuSpeed_Click";
constexpr const char* kDelay = "Radio_Firefox_Use_MenuSpeed_Delay";
constexpr const char* kTrack = "TrackBar_Firefox_Use_MenuSpeed_Delay";
constexpr const char* kTrackLabel = "Label_Firefox_Use_MenuSpeed_Delay";
constexpr const char* kOpenType = "Checkbox_Firefox_Popup_Open_Type";
constexpr const char* kSameTab = "Radio_Firefox_Popup_Open_SameTab";
constexpr const char* kNewTab = "Radio_Firefox_Popup_Open_NewTab";
constexpr const char* kSize = "Checkbox_Firefox_Popup_JavaScript_Size";
constexpr const char* kMin = "Checkbox_Firefox_Popup_JavaScript_Min";
constexpr const char* kHideMenu = "Checkbox_Firefox_Popup_JavaScript_HideMenu";
constexpr const char* kHideTask = "Checkbox_Firefox_Popup_JavaScript_HideTask";
constexpr const char* kHideScroll = "Checkbox_Firefox_Popup_JavaScript_HideSroll";
constexpr const char* kCloseButtons = "CB_Firefox_Tab_CloseButton_Pos";
constexpr const char* kMinWidth = "Updown_Firefox_Tab_MinWidth_Min";
constexpr const char* kMinWidthEdit = "Edit_Firefox_Tab_MinWidth_Min";
constexpr const char* kTabs[] = {"TabSheet_Firefox_Common", "TabSheet_Firefox_Use", "TabSheet_Firefox_Popup",
                                 "TabSheet_Firefox_Label", "TabSheet_Firefox_NoFirefox"};

class FirefoxPageTest : public harness::PageTest {
 public:
  // The table rows act and check through the fixture.
  using PageTest::Box;
  using PageTest::Checked;
  using PageTest::Combo;
  using PageTest::Ctl;
  using PageTest::Get;

 protected:
  FirefoxPageTest() : PageTest(CreateFirefoxPage) {}

 public:

  // An installed Firefox with one profile; a null text leaves that file out.
  void Install(const char* prefs_js, const char* user_js = nullptr) {
    Reg().CreateKeyPath(platform::HKLM,
                        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Mozilla Firefox 115.0 (x86 en-US)");
    auto& files = Memory().files();
    files.AddFile(kFolder + "profiles.ini", "[Profile0]\r\nName=t\r\nIsRelative=1\r\nPath=Profiles/t.default\r\n");
    files.AddDirectory(kProfile);
    if (prefs_js != nullptr) files.AddFile(kPrefsJs, std::string(prefs_js));
    if (user_js != nullptr) files.AddFile(kUserJs, std::string(user_js));
  }
  // Firefox with just this one preference in prefs.js (none for a null value).
  void OpenWith(const char* pref, const char* value, int version_class = 7) {
    Reset();
    Install(value == nullptr ? "" : ("user_pref(\"" + std::string(pref) + "\", " + value + ");\n").c_str());
    Open(version_class);
  }
  std::string Pref(const char* name) const { return Context().Firefox().GetFirefoxPref(name); }
  RadioButton& Radio(const char* name) const { return Get<RadioButton>(name); }
  void ClearChanged() const { Requests().FirefoxChanged = false; }
};

// --- loading ---------------------------------------------------------------------------

TEST_F(FirefoxPageTest, CheckBoxesShowTheirPreference) {
  struct Row {
    const char* box;
    const char* pref;
    const char* value;  // null: not set
    bool checked;
  };
  const Row rows[] = {
      {kBlink, "browser.blink_allowed", "false", true},
      // Firefox's words are lower case; it refuses such a statement, so it is not set.
      {kBlink, "browser.blink_allowed", "FALSE", false},
      {kBlink, "browser.blink_allowed", "true", false},
      {kBlink, "browser.blink_allowed", nullptr, false},
      {kAutoFill, "browser.urlbar.autoFill", "true", true},
      {kAutoFill, "browser.urlbar.autoFill", "\"true\"", false},
      {kAutoFill, "browser.urlbar.autoFill", nullptr, false},
      {kGoButton, "browser.urlbar.hideGoButton", "True", true},
      {kGoButton, "browser.urlbar.hideGoButton", "true", false},
      {kGoButton, "browser.urlbar.hideGoButton", "false", true},
      {kGoButton, "browser.urlbar.hideGoButton", nullptr, true},
      {kSize, "dom.disable_window_open_feature.resizable", "false", true},
      {kSize, "dom.disable_window_open_feature.resizable", nullptr, false},
      {kMin, "dom.disable_window_open_feature.minimizable", "true", false},
      {kMin, "dom.disable_window_open_feature.minimizable", nullptr, true},
      {kHideMenu, "dom.disable_window_open_feature.menubar", "true", false},
      {kHideMenu, "dom.disable_window_open_feature.menubar", "false", true},
      {kHideTask, "dom.disable_window_open_feature.location", "false", true},
      {kHideTask, "dom.disable_window_open_feature.location", "true", false},
      {kHideScroll, "dom.disable_window_open_feature.scrollbars", "true", false},
      {kHideScroll, "dom.disable_window_open_feature.scrollbars", nullptr, true},
  };
  for (const Row& row : rows) {
    OpenWith(row.pref, row.value);
    EXPECT_EQ(Checked(row.box), row.checked) << row.box << " " << (row.value ? row.value : "(not set)");
    EXPECT_FALSE(Requests().FirefoxChanged) << "loading changes nothing";
  }
}

TEST_F(FirefoxPageTest, ChoicesShowTheirPreference) {
  struct Row {
    const char* pref;
    const char* value;
    std::function<void(FirefoxPageTest&)> check;
  };
  const Row rows[] = {
      {"browser.xul.error_pages.enabled", "true", [](FirefoxPageTest& t) { EXPECT_TRUE(t.Radio(kErrWebPage).Checked()); }},
      {"browser.xul.error_pages.enabled", "false", [](FirefoxPageTest& t) { EXPECT_TRUE(t.Radio(kErrWindows).Checked()); }},
      {"browser.xul.error_pages.enabled", nullptr, [](FirefoxPageTest& t) { EXPECT_TRUE(t.Radio(kErrWindows).Checked()); }},
      {"browser.startup.homepage", "\"http://a.example/\"",
       [](FirefoxPageTest& t) { EXPECT_EQ(t.Get<Edit>(kHome).Text(), "http://a.example/"); }},
      {"browser.startup.homepage", "\"say \\\"x\\\" C:\\\\dir\"",
       [](FirefoxPageTest& t) { EXPECT_EQ(t.Get<Edit>(kHome).Text(), "say x C:\\dir"); }},
      {"browser.startup.homepage", nullptr, [](FirefoxPageTest& t) { EXPECT_EQ(t.Get<Edit>(kHome).Text(), ""); }},
      {"ui.submenuDelay", "65000",
       [](FirefoxPageTest& t) {
         EXPECT_TRUE(t.Radio(kClick).Checked());
         EXPECT_FALSE(t.Ctl(kTrack).Enabled());
       }},
      {"ui.submenuDelay", "300",
       [](FirefoxPageTest& t) {
         EXPECT_TRUE(t.Radio(kDelay).Checked());
         EXPECT_TRUE(t.Ctl(kTrack).Enabled());
         EXPECT_EQ(t.Get<TrackBar>(kTrack).Position(), 300);
         EXPECT_EQ(t.Get<Label>(kTrackLabel).Caption(), "217 ms") << "refreshed only by a change";
       }},
      {"ui.submenuDelay", "\"soon\"",
       [](FirefoxPageTest& t) {
         EXPECT_TRUE(t.Radio(kDelay).Checked());
         EXPECT_EQ(t.Get<TrackBar>(kTrack).Position(), 217);
       }},
      {"ui.submenuDelay", nullptr,
       [](FirefoxPageTest& t) {
         EXPECT_TRUE(t.Radio(kWinSet).Checked());
         EXPECT_FALSE(t.Ctl(kTrack).Enabled());
       }},
      {"browser.link.open_newwindow", "2",
       [](FirefoxPageTest& t) {
         EXPECT_FALSE(t.Checked(kOpenType));
         EXPECT_TRUE(t.Radio(kNewTab).Checked());
         EXPECT_FALSE(t.Ctl(kSameTab).Enabled());
         EXPECT_FALSE(t.Ctl(kNewTab).Enabled());
       }},
      {"browser.link.open_newwindow", "1",
       [](FirefoxPageTest& t) {
         EXPECT_TRUE(t.Checked(kOpenType));
         EXPECT_TRUE(t.Radio(kSameTab).Checked());
         EXPECT_TRUE(t.Ctl(kSameTab).Enabled());
       }},
      {"browser.link.open_newwindow", "3",
       [](FirefoxPageTest& t) {
         EXPECT_TRUE(t.Checked(kOpenType));
         EXPECT_TRUE(t.Radio(kNewTab).Checked());
       }},
      {"browser.link.open_newwindow", nullptr,
       [](FirefoxPageTest& t) {
         EXPECT_TRUE(t.Checked(kOpenType));
         EXPECT_TRUE(t.Radio(kNewTab).Checked());
         EXPECT_TRUE(t.Ctl(kNewTab).Enabled());
       }},
      {"browser.tabs.closeButtons", "3", [](FirefoxPageTest& t) { EXPECT_EQ(t.Combo(kCloseButtons).ItemIndex(), 3); }},
      {"browser.tabs.closeButtons", "0", [](FirefoxPageTest& t) { EXPECT_EQ(t.Combo(kCloseButtons).ItemIndex(), 0); }},
      {"browser.tabs.closeButtons", "true", [](FirefoxPageTest& t) { EXPECT_EQ(t.Combo(kCloseButtons).ItemIndex(), 1); }},
      {"browser.tabs.closeButtons", nullptr, [](FirefoxPageTest& t) { EXPECT_EQ(t.Combo(kCloseButtons).ItemIndex(), 1); }},
      {"browser.tabs.tabMinWidth", "200",
       [](FirefoxPageTest& t) {
         EXPECT_EQ(t.Get<UpDown>(kMinWidth).Position(), 200);
         EXPECT_EQ(t.Get<Edit>(kMinWidthEdit).Text(), "200");
       }},
      {"browser.tabs.tabMinWidth", nullptr, [](FirefoxPageTest& t) { EXPECT_EQ(t.Get<UpDown>(kMinWidth).Position(), 125); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.pref) + " = " + (row.value ? row.value : "(not set)"));
    OpenWith(row.pref, row.value);
    row.check(*this);
    EXPECT_FALSE(Requests().FirefoxChanged);
  }
}

TEST_F(FirefoxPageTest, UserJsWinsOverPrefsJsAndLoadingWritesNothing) {
  Install("user_pref(\"browser.blink_allowed\", true);\n", "// mine\nuser_pref(\"browser.blink_allowed\", false);\n");
  Open(7);
  EXPECT_TRUE(Checked(kBlink));
  EXPECT_EQ(Memory().files().write_count(), 0);
}

// --- changes ---------------------------------------------------------------------------

TEST_F(FirefoxPageTest, EachControlWritesItsPreference) {
  struct Row {
    const char* what;
    std::function<void(FirefoxPageTest&)> act;
    const char* pref;
    std::string expected;
  };
  const Row rows[] = {
      {"blink checked", [](FirefoxPageTest& t) { t.Box(kBlink).UserClick(); }, "\"browser.blink_allowed\"", "false"},
      {"blink cleared", [](FirefoxPageTest& t) { t.Box(kBlink).UserClick(); t.Box(kBlink).UserClick(); },
       "\"browser.blink_allowed\"", "true"},
      {"web page", [](FirefoxPageTest& t) { t.Radio(kErrWebPage).UserClick(); }, "\"browser.xul.error_pages.enabled\"",
       "true"},
      {"window again",
       [](FirefoxPageTest& t) {
         t.Radio(kErrWebPage).UserClick();
         t.Radio(kErrWindows).UserClick();
       },
       "\"browser.xul.error_pages.enabled\"", "false"},
      {"auto fill", [](FirefoxPageTest& t) { t.Box(kAutoFill).UserClick(); }, "\"browser.urlbar.autoFill\"", "true"},
      {"go button cleared", [](FirefoxPageTest& t) { t.Box(kGoButton).UserClick(); }, "\"browser.urlbar.hideGoButton\"",
       "true"},
      {"resizable", [](FirefoxPageTest& t) { t.Box(kSize).UserClick(); },
       "\"dom.disable_window_open_feature.resizable\"", "false"},
      {"minimizable cleared", [](FirefoxPageTest& t) { t.Box(kMin).UserClick(); },
       "\"dom.disable_window_open_feature.minimizable\"", "true"},
      {"menubar cleared", [](FirefoxPageTest& t) { t.Box(kHideMenu).UserClick(); },
       "\"dom.disable_window_open_feature.menubar\"", "true"},
      {"location", [](FirefoxPageTest& t) { t.Box(kHideTask).UserClick(); },
       "\"dom.disable_window_open_feature.location\"", "false"},
      {"scrollbars cleared", [](FirefoxPageTest& t) { t.Box(kHideScroll).UserClick(); },
       "\"dom.disable_window_open_feature.scrollbars\"", "true"},
      {"same tab", [](FirefoxPageTest& t) { t.Radio(kSameTab).UserClick(); }, "\"browser.link.open_newwindow\"", "1"},
      {"new window", [](FirefoxPageTest& t) { t.Box(kOpenType).UserClick(); }, "\"browser.link.open_newwindow\"", "2"},
      {"close buttons", [](FirefoxPageTest& t) { t.Combo(kCloseButtons).UserSelect(2); }, "\"browser.tabs.closeButtons\"",
       "2"},
      {"min width up", [](FirefoxPageTest& t) { t.Get<UpDown>(kMinWidth).UserClickUp(); }, "\"browser.tabs.tabMinWidth\"",
       "126"},
      {"min width typed",
       [](FirefoxPageTest& t) {
         auto& edit = t.Get<Edit>(kMinWidthEdit);
         edit.UserSetText("");
         edit.UserTypeText("300");
       },
       "\"browser.tabs.tabMinWidth\"", "300"},
      {"home page typed", [](FirefoxPageTest& t) { t.Get<Edit>(kHome).UserTypeText("http://x/?q=\"a\\b\""); },
       "\"browser.startup.homepage\"", "\"http://x/?q=\\\"a\\\\b\\\"\""},
  };
  for (const Row& row : rows) {
    OpenWith("unrelated", "1");
    row.act(*this);
    EXPECT_EQ(Pref(row.pref), row.expected) << row.what;
    EXPECT_TRUE(Requests().FirefoxChanged) << row.what;
    EXPECT_TRUE(ApplyEnabled()) << row.what;
    EXPECT_EQ(Memory().files().write_count(), 0) << row.what << ": nothing before Apply";
  }
}

TEST_F(FirefoxPageTest, MenuSpeedWritesFromTheSelectedRadio) {
  Reset();
  Install("user_pref(\"ui.submenuDelay\", 300);\n", "user_pref(\"ui.submenuDelay\", 200);\n");
  Open(7);
  ASSERT_TRUE(Radio(kDelay).Checked());
  Radio(kWinSet).UserClick();
  EXPECT_EQ(Pref("\"ui.submenuDelay\""), firefox::kNotFound);
  for (const std::string& s : Context().Firefox().Statements()) EXPECT_EQ(s.find("submenuDelay"), std::string::npos) << s;
  EXPECT_FALSE(Ctl(kTrack).Enabled());
  EXPECT_EQ(Get<Label>(kTrackLabel).Caption(), "200 ms");

  Radio(kClick).UserClick();
  EXPECT_EQ(Pref("\"ui.submenuDelay\""), "65000");
  Radio(kDelay).UserClick();
  EXPECT_TRUE(Ctl(kTrack).Enabled());
  Get<TrackBar>(kTrack).UserSetPosition(400);
  EXPECT_EQ(Pref("\"ui.submenuDelay\""), "400");
  EXPECT_EQ(Get<Label>(kTrackLabel).Caption(), "400 ms");
  int count = 0;
  for (const std::string& s : Context().Firefox().Statements()) count += s.find("ui.submenuDelay") != std::string::npos;
  EXPECT_EQ(count, 1);
}

TEST_F(FirefoxPageTest, OpenTypeBoxAndItsRadios) {
  OpenWith("browser.link.open_newwindow", "2");
  Box(kOpenType).UserClick();
  EXPECT_EQ(Pref("\"browser.link.open_newwindow\""), "3") << "checked with \"In a new tab.\" selected";
  EXPECT_TRUE(Ctl(kSameTab).Enabled());
  Radio(kSameTab).UserClick();
  EXPECT_EQ(Pref("\"browser.link.open_newwindow\""), "1");
  Box(kOpenType).UserClick();
  EXPECT_EQ(Pref("\"browser.link.open_newwindow\""), "2");
  EXPECT_FALSE(Ctl(kSameTab).Enabled());
}

TEST_F(FirefoxPageTest, MinimumWidthOf125RemovesThePreference) {
  OpenWith("browser.tabs.tabMinWidth", "126");
  Get<UpDown>(kMinWidth).UserClickDown();
  EXPECT_EQ(Pref("\"browser.tabs.tabMinWidth\""), firefox::kNotFound);
  Get<UpDown>(kMinWidth).UserClickUp();
  EXPECT_EQ(Pref("\"browser.tabs.tabMinWidth\""), "126");
}

TEST_F(FirefoxPageTest, ARadioAlreadySelectedChangesNothingAnyOtherEventSetsTheFlag) {
  OpenWith("unrelated", "1");
  Radio(kErrWindows).UserClick();
  Radio(kWinSet).UserClick();
  EXPECT_FALSE(Requests().FirefoxChanged);
  EXPECT_FALSE(Context().Firefox().HasPendingChanges());
  forms::Form other("Other");
  auto& stranger = other.Create<forms::Label>(other, "Label_Nobody");
  Window().Forward(9, stranger);
  EXPECT_TRUE(Requests().FirefoxChanged) << "set also for a sender of no row";
  EXPECT_FALSE(Context().Firefox().HasPendingChanges());
}

TEST_F(FirefoxPageTest, DefaultButtonsChangeOnlyWhatDiffers) {
  struct Row {
    const char* button;
    std::function<void(FirefoxPageTest&)> before;
    std::function<void(FirefoxPageTest&)> after;
  };
  const Row rows[] = {
      {"Button_Firefox_Common_Default",
       [](FirefoxPageTest& t) {
         t.Box(kBlink).UserClick();
         t.Radio(kErrWebPage).UserClick();
       },
       [](FirefoxPageTest& t) {
         EXPECT_FALSE(t.Checked(kBlink));
         EXPECT_TRUE(t.Radio(kErrWindows).Checked());
         EXPECT_EQ(t.Pref("\"browser.blink_allowed\""), "true");
         EXPECT_EQ(t.Pref("\"browser.xul.error_pages.enabled\""), "false");
       }},
      {"Button_Firefox_Use_Default",
       [](FirefoxPageTest& t) {
         t.Box(kAutoFill).UserClick();
         t.Box(kGoButton).UserClick();
         t.Radio(kClick).UserClick();
       },
       [](FirefoxPageTest& t) {
         EXPECT_FALSE(t.Checked(kAutoFill));
         EXPECT_TRUE(t.Checked(kGoButton));
         EXPECT_TRUE(t.Radio(kWinSet).Checked());
         EXPECT_EQ(t.Pref("\"browser.urlbar.autoFill\""), "false");
         EXPECT_EQ(t.Pref("\"browser.urlbar.hideGoButton\""), "false");
         EXPECT_EQ(t.Pref("\"ui.submenuDelay\""), firefox::kNotFound);
       }},
      {"Button_Firefox_Popup_Default",
       [](FirefoxPageTest& t) {
         t.Box(kOpenType).UserClick();
         t.Box(kSize).UserClick();
         t.Box(kHideTask).UserClick();
       },
       [](FirefoxPageTest& t) {
         EXPECT_TRUE(t.Checked(kOpenType));
         EXPECT_TRUE(t.Radio(kNewTab).Checked());
         for (const char* box : {kSize, kMin, kHideMenu, kHideTask, kHideScroll}) EXPECT_FALSE(t.Checked(box)) << box;
         EXPECT_EQ(t.Pref("\"browser.link.open_newwindow\""), "3");
         EXPECT_EQ(t.Pref("\"dom.disable_window_open_feature.resizable\""), "true");
         EXPECT_EQ(t.Pref("\"dom.disable_window_open_feature.minimizable\""), "true");
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.button);
    OpenWith("unrelated", "1");
    Get<forms::Button>(row.button).UserClick();
    if (std::string(row.button) != "Button_Firefox_Popup_Default") {
      EXPECT_FALSE(Context().Firefox().HasPendingChanges()) << "the defaults are the design states";
    }
    row.before(*this);
    Get<forms::Button>(row.button).UserClick();
    row.after(*this);
  }
}

// --- the home page the General Setting page types, and Apply ----------------------------

TEST_F(FirefoxPageTest, AHomePageTypedEarlierSurvivesTheFirstVisit) {
  Reset();
  Install("user_pref(\"browser.startup.homepage\", \"http://disk/\");\n");
  Open(7);
  // The General Setting page's field passes its key releases to this page's handler.
  forms::Form general("General");
  auto& field = general.Create<Edit>(general, "Edit_CommonSettings_Display_FirefoxHomepage_HomePage");
  field.SetText("http://typed/");
  Window().Forward(9, field);
  EXPECT_EQ(Pref("\"browser.startup.homepage\""), "\"http://typed/\"");
  Context().Firefox().LoadFirefoxPreferences();
  EXPECT_EQ(Pref("\"browser.startup.homepage\""), "\"http://typed/\"") << "the list is read once per run";
}

TEST_F(FirefoxPageTest, ApplySavesOnlyTheChangesIntoUserJs) {
  Reset();
  const std::string user_js = "// my comment\r\nuser_pref(\"keep\", 1);\r\n";
  Install("user_pref(\"browser.blink_allowed\", true);\nuser_pref(\"lots.of.state\", \"x\");\n", user_js.c_str());
  Open(7);
  Box(kBlink).UserClick();
  Get<Edit>(kHome).UserTypeText("a");
  Apply();
  EXPECT_EQ(Memory().files().Text(kUserJs),
            user_js + "user_pref(\"browser.blink_allowed\", false);\r\nuser_pref(\"browser.startup.homepage\", \"a\");\r\n");
  ASSERT_FALSE(Memory().dialogs().calls().empty());
  EXPECT_EQ(Memory().dialogs().calls().back().text, "Need to restart Firefox to take effect.");
  EXPECT_FALSE(Requests().FirefoxChanged);
}

// --- without Firefox, versions and layout -----------------------------------------------

TEST_F(FirefoxPageTest, WithoutFirefoxOnlyTheNoFirefoxTabAndItsLink) {
  Reset();
  Memory().files().AddFile(kFolder + "profiles.ini", "[Profile0]\nIsRelative=1\nPath=Profiles/t.default\n");
  Memory().files().AddDirectory(kProfile);
  Open(7);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Get<TabSheet>(kTabs[i]).TabVisible(), i == 4) << kTabs[i];
  EXPECT_EQ(Get<forms::PageControl>("PagFirefox").ActivePage(), &Get<TabSheet>(kTabs[4]));
  EXPECT_FALSE(Context().Firefox().Loaded()) << "no profile file is touched";
  EXPECT_EQ(Get<Label>("Label62").Caption(), kFirefoxWebSite);
  EXPECT_TRUE(Get<Label>("Label62").HandCursor());

  auto& shell = Memory().shell();
  struct Row {
    std::intptr_t result;
    std::vector<std::pair<std::string, std::string>> calls;  // file, parameters
  };
  for (const Row& row : {Row{42, {{kFirefoxWebSite, ""}}},
                         Row{31, {{kFirefoxWebSite, ""}, {"Explorer.exe", kFirefoxWebSite}}}}) {
    shell.ClearLogs();
    shell.set_execute_result(row.result);
    Get<Label>("Label62").UserClick();
    std::vector<std::pair<std::string, std::string>> calls;
    for (const auto& c : shell.executions()) {
      EXPECT_EQ(c.verb, "open");
      calls.emplace_back(c.file, c.parameters);
    }
    EXPECT_EQ(calls, row.calls) << "result " << row.result;
  }
}

TEST_F(FirefoxPageTest, WithFirefoxTheNoFirefoxTabIsHidden) {
  OpenWith("unrelated", "1");
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Get<TabSheet>(kTabs[i]).TabVisible(), i != 4) << kTabs[i];
  EXPECT_TRUE(Context().Firefox().Loaded());
}

TEST_F(FirefoxPageTest, LayoutInEveryVersionClassWithAndWithoutFirefox) {
  for (const bool installed : {true, false}) {
    for (const int version_class : harness::kVersionClasses) {
      SCOPED_TRACE("class " + std::to_string(version_class) + (installed ? " with" : " without") + " Firefox");
      Reset();
      if (installed) Install("");
      if (version_class < 5) {
        // The navigation item is hidden there; the page is still built and must fit.
        harness::SetVersionClass(Memory(), version_class);
        ui::PageModules pages;
        pages.push_back(CreateFirefoxPage());
        ui::TCorvanel_FormMain main(Memory(), std::move(pages));
        ui::GroupBar& bar = main.RzGroupBar1();
        int group = 0, item = 0;
        ASSERT_TRUE(bar.Locate(bar.FindItemByTag(9), &group, &item));
        EXPECT_FALSE(bar.Groups()[static_cast<std::size_t>(group)].Items[static_cast<std::size_t>(item)].Visible);
        main.LoadPage(9);
        EXPECT_EQ(forms::DescribeLayout(forms::CheckLayout(main.Context(9).Page())), "");
        continue;
      }
      Open(version_class);
      EXPECT_EQ(LayoutProblems(), "");
    }
  }
}

}  // namespace
}  // namespace corvanel::pages
