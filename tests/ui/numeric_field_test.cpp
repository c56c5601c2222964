#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "tests/ui/fake_pages.h"
#include "ui/numeric_field.h"

namespace corvanel::ui {
namespace {

using forms::Edit;
using forms::UpDown;
using testing::FakePage;
using testing::Harness;

// The fields as the pages define them, written down here on their own so that a wrong
// number in the window's table fails these tests.
constexpr ForwardWhen A = ForwardWhen::Always;
constexpr ForwardWhen B = ForwardWhen::WhileFocused;
constexpr SenderIs U = SenderIs::UpDown;
constexpr CursorRule P = CursorRule::None;
constexpr const char* kWheel = "UpDown_Use_MouseFunction_Wheel_CountClick";
constexpr const char* kFlash = "UpDown_Taskbar_ButtonFlashes_Speed_FlashClick";
// clang-format off
const NumericFieldRow kFields[] = {
  {"Edit_Use_MouseFunction_Wheel_Count", "UpDown_Use_MouseFunction_Wheel_Count", 1, 100, 64, 3, 1, 100, A, U, 4, kWheel, P},
  {"Edit_Use_MouseSensitivity_DoubleClickError", "Updown_Use_MouseSensitivity_DoubleClickError", 1, 100, 4, 0, 1, 100, A, U, 4, kWheel, P},
  {"Edit_Use_MouseSensitivity_Drag", "UpDown_Use_MouseSensitivity_Drag", 1, 100, 64, 0, 1, 100, A, U, 4, kWheel, P},
  {"Edit_Use_MouseSensitivity_Hover_MoveError", "UpDown_Use_MouseSensitivity_Hover_MoveError", 0, 100, 2, 0, 0, 100, A, U, 4, kWheel, P},
  {"Edit_Use_MouseSensitivity_Hover_Time", "UpDown_Use_MouseSensitivity_Hover_Time", 0, 1000, 10, 0, 0, 1000, A, U, 4, kWheel, P},
  {"Edit_Use_Keyboard_CursorWidth_Width", "UpDown_Use_Keyboard_CursorWidth_Width", 1, 10, 10, 0, 1, 10, A, U, 4, kWheel, CursorRule::ZeroBecomesOneOwnExit},
  {"Edit_Use_StartMenu_RecentlyUse_Document_FileCount", "UpDown_Use_StartMenu_RecentlyUse_Document_FileCount", 0, 99, 64, 2, 1, 99, B, U, 5, "UpDown_Use_StartMenu_RecentlyUse_Document_FileCountClick", P},
  {"Edit_Taskbar_ButtonFlashes_Speed_Flash", "UpDown_Taskbar_ButtonFlashes_Speed_Flash", 1, 999, 3, 3, 1, 999, A, U, 6, kFlash, P},
  {"Edit_Taskbar_ButtonFlashes_Common_Time", "UpDown_Taskbar_ButtonFlashes_Common_Time", 1, 32000, 200, 5, 1, 32000, A, U, 6, kFlash, P},
  {"Edit_Taskbar_ButtonAppearance_Group_AtLeastCount", "UpDown_Taskbar_ButtonAppearance_Group_AtLeastCount", 2, 99, 2, 2, 2, 99, B, U, 6, kFlash, P},
  {"Edit_Net_Advanced_Qos_Count", "Updown_Net_Advanced_Qos_Count", 0, 100, 20, 0, 0, 100, B, U, 7, "Updown_Net_Advanced_Qos_CountClick", P},
  {"Edit_IE_Common_History_KeepDays", "Updown_IE_Common_History_KeepDays", 1, 100, 20, 0, 1, 100, A, U, 8, nullptr, P},
  {"Edit_Firefox_Tab_MinWidth_Min", "Updown_Firefox_Tab_MinWidth_Min", 36, 500, 125, 0, 36, 500, A, U, 9, "Updown_Firefox_Tab_MinWidth_MinClick", P},
  {"Edit_Startup_System_DelayTime_Time", "Updown_Startup_System_DelayTime_Time", 0, 600, 10, 0, 0, 600, A, U, 16, "Updown_Startup_System_DelayTime_TimeClick", P},
  {"Edit_Startup_Exit_WaitTime_Time", "UpDown_Startup_Exit_WaitTime_Time", 1, 32000, 32000, 0, 1, 32000, A, U, 16, "UpDown_Startup_Exit_WaitTime_TimeClick", P},
  {"Edit_Security_Advanced_Screensaver_WaitTime", "Updown_Security_Advanced_Screensaver_WaitTime", 1, 9999, 5, 0, 1, 9999, A, U, 18, "Updown_Security_Advanced_Screensaver_WaitTimeClick", P},
  {"MaskEdit_CommonSettings_Display_IECommonSettings_KeepRecordDays", "Updown_CommonSettings_Display_IECommonSettings_KeepRecordDays", 1, 100, 20, 0, 1, 100, A, U, 19, "UDhistoryClick", P},
  {"MaskEdit_CommonSettings_Function_CursorWidth_Width", "UpDownCur_CommonSettings_Function_CursorWidth_Width", 1, 10, 10, 0, 1, 10, B, U, 19, kWheel, CursorRule::ZeroBecomesOne},
  {"Edit_Folder_Thumbnail_Size", "UpDown_Folder_Thumbnail_Size", 32, 256, 96, 3, 32, 256, A, SenderIs::Edit, 3, "UpDown_Folder_Thumbnail_SizeClick", P},
};
// clang-format on

bool Same(const char* a, const char* b) { return a == b || (a != nullptr && b != nullptr && std::string(a) == b); }

// Where each field's controls live, by the page that forwards its changes (for the
// plain pairs: the Input Options page and the unreachable page 10).
std::map<int, std::vector<std::pair<std::string, std::string>>> PairsByPage() {
  std::map<int, std::vector<std::pair<std::string, std::string>>> pairs;
  for (const NumericFieldRow& row : kFields) pairs[row.page_tag].emplace_back(row.edit, row.updown);
  pairs[4].emplace_back("MaskEdit6", "UpDowndelay");
  pairs[10].emplace_back("MaskEdit16", "UpDown6");
  pairs[10].emplace_back("MaskEdit17", "UpDown7");
  return pairs;
}

// Every page a field or a text field can reach, each creating its controls by name.
struct FieldHarness : Harness {
  FieldHarness() {
    auto pairs = PairsByPage();
    std::map<int, std::vector<std::string>> texts;
    for (const KeyUpRow& row : KeyUpFields()) texts[row.page_tag].push_back(row.edit);
    std::set<int> tags;
    for (const auto& [tag, list] : pairs) tags.insert(tag);
    for (const auto& [tag, list] : texts) tags.insert(tag);
    for (const UpDownClickRow& row : UpDownClickEvents()) tags.insert(row.page_tag);
    Make(std::vector<int>(tags.begin(), tags.end()), [pairs, texts](FakePage& page) {
      const int tag = page.Tag();
      const auto p = pairs.count(tag) ? pairs.at(tag) : std::vector<std::pair<std::string, std::string>>{};
      const auto t = texts.count(tag) ? texts.at(tag) : std::vector<std::string>{};
      page.build = [p, t](PageContext& ctx) {
        int top = 4;
        for (const auto& [edit, updown] : p) {
          ctx.Form().Create<Edit>(ctx.Page(), edit, {8, top, 60, 21});
          ctx.Form().Create<UpDown>(ctx.Page(), updown, {68, top, 16, 21});
          top += 22;
        }
        for (const std::string& edit : t) {
          ctx.Form().Create<Edit>(ctx.Page(), edit, {200, top, 200, 21});
          top += 22;
        }
      };
    });
    Run();
  }
  Edit& edit(const char* name) { return main->Find<Edit>(name); }
  UpDown& updown(const char* name) { return main->Find<UpDown>(name); }
  void Clear() {
    for (auto& [tag, page] : pages) page->senders.clear();
  }
  std::size_t Count(int tag, const std::string& sender) {
    std::size_t n = 0;
    for (const std::string& s : pages.at(tag)->senders) n += s == sender ? 1 : 0;
    return n;
  }
  std::size_t Total() {
    std::size_t n = 0;
    for (auto& [tag, page] : pages) n += page->senders.size();
    return n;
  }
};

std::string SenderName(const NumericFieldRow& row) { return row.sender == SenderIs::UpDown ? row.updown : row.edit; }
bool Cursor(const NumericFieldRow& row) { return row.cursor != CursorRule::None; }

TEST(NumericFields, TheWindowsTableHoldsEveryFieldAsDefined) {
  ASSERT_EQ(NumericFields().size(), std::size(kFields));
  for (const NumericFieldRow& want : kFields) {
    SCOPED_TRACE(want.edit);
    const NumericFieldRow* got = nullptr;
    for (const NumericFieldRow& row : NumericFields()) {
      if (Same(row.edit, want.edit)) got = &row;
    }
    ASSERT_NE(got, nullptr);
    EXPECT_TRUE(Same(got->updown, want.updown));
    EXPECT_EQ(std::tie(got->min, got->max, got->design, got->max_length, got->exit_bound, got->change_bound),
              std::tie(want.min, want.max, want.design, want.max_length, want.exit_bound, want.change_bound));
    EXPECT_EQ(got->forwards, want.forwards);
    EXPECT_EQ(got->sender, want.sender);
    EXPECT_EQ(got->page_tag, want.page_tag);
    EXPECT_TRUE(Same(got->updown_click, want.updown_click));
    EXPECT_EQ(got->cursor, want.cursor);
    EXPECT_NE(ForwarderName(want.page_tag), nullptr);
  }
}

TEST(NumericFields, BoundFieldsShowTheirDesignNumber) {
  FieldHarness h;
  for (const NumericFieldRow& row : kFields) {
    const UpDown& updown = h.updown(row.updown);
    EXPECT_EQ(updown.Min(), row.min) << row.edit;
    EXPECT_EQ(updown.Max(), row.max) << row.edit;
    EXPECT_EQ(updown.Position(), row.design) << row.edit;
    EXPECT_EQ(updown.Associate(), &h.edit(row.edit)) << row.edit;
    EXPECT_EQ(h.edit(row.edit).Text(), std::to_string(row.design)) << row.edit;
    EXPECT_EQ(h.edit(row.edit).MaxLength(), row.max_length) << row.edit;
  }
  for (const PlainUpDownRow& row : PlainUpDowns()) {
    EXPECT_EQ(h.updown(row.updown).Position(), row.design) << row.updown;
    EXPECT_EQ(h.updown(row.updown).Max(), row.max) << row.updown;
    EXPECT_EQ(h.edit(row.edit).Text(), std::to_string(row.design)) << row.edit;
  }
  EXPECT_EQ(h.Total(), 0u) << "setting up the fields forwards nothing";
}

TEST(NumericFields, TypingAboveTheChangeBoundSetsTheBound) {
  FieldHarness h;
  for (const NumericFieldRow& row : kFields) {
    Edit& edit = h.edit(row.edit);
    ASSERT_TRUE(edit.SetFocus());
    h.Clear();
    ASSERT_TRUE(edit.UserSetText(std::to_string(row.change_bound + 1)));
    EXPECT_EQ(edit.Text(), std::to_string(row.change_bound)) << row.edit;
    EXPECT_EQ(h.updown(row.updown).Position(), row.change_bound) << row.edit;
    EXPECT_GE(h.Count(row.page_tag, SenderName(row)), 1u) << row.edit;
  }
}

TEST(NumericFields, TypingInRangeForwardsWithTheTableSender) {
  FieldHarness h;
  for (const NumericFieldRow& row : kFields) {
    Edit& edit = h.edit(row.edit);
    ASSERT_TRUE(edit.SetFocus());
    const int n = row.max - 1;
    h.Clear();
    ASSERT_TRUE(edit.UserSetText(std::to_string(n)));
    EXPECT_EQ(edit.Text(), std::to_string(n)) << row.edit;
    EXPECT_EQ(h.Count(row.page_tag, SenderName(row)), 1u) << row.edit;
    EXPECT_EQ(h.Total(), 1u) << row.edit;
  }
}

TEST(NumericFields, ChangeFromCodeForwardsOnlyForVariantA) {
  FieldHarness h;
  h.main->ClearFocus();
  for (const NumericFieldRow& row : kFields) {
    h.Clear();
    Edit& edit = h.edit(row.edit);
    edit.SetText(std::to_string(edit.Text() == std::to_string(row.max) ? row.min : row.max));
    const std::size_t expected = row.forwards == ForwardWhen::Always ? 1u : 0u;
    EXPECT_EQ(h.Count(row.page_tag, SenderName(row)), expected) << row.edit;
    EXPECT_EQ(h.Total(), expected) << row.edit;
  }
}

TEST(NumericFields, LeavingEmptyOrBelowTheExitBoundSetsTheBound) {
  FieldHarness h;
  for (const NumericFieldRow& row : kFields) {
    Edit& edit = h.edit(row.edit);
    const std::string expected = row.cursor == CursorRule::ZeroBecomesOneOwnExit ? "1" : std::to_string(row.exit_bound);
    ASSERT_TRUE(edit.SetFocus());
    ASSERT_TRUE(edit.UserSetText(""));
    h.Clear();
    h.main->ClearFocus();
    EXPECT_EQ(edit.Text(), expected) << row.edit;
    EXPECT_GE(h.Count(row.page_tag, SenderName(row)), 1u) << row.edit;

    // A number at the bound is left alone.
    h.Clear();
    ASSERT_TRUE(edit.SetFocus());
    h.main->ClearFocus();
    EXPECT_EQ(edit.Text(), expected) << row.edit;
    EXPECT_EQ(h.Total(), 0u) << row.edit;

    // Below the bound (reachable by the arrows where the range starts lower).
    if (row.exit_bound > row.min) {
      h.updown(row.updown).SetPosition(row.min);
      ASSERT_EQ(edit.Text(), std::to_string(row.min));
      ASSERT_TRUE(edit.SetFocus());
      h.Clear();
      h.main->ClearFocus();
      EXPECT_EQ(edit.Text(), expected) << row.edit;
      EXPECT_GE(h.Count(row.page_tag, SenderName(row)), 1u) << row.edit;
    }
  }
}

TEST(NumericFields, StartMenuCountTakesZeroByArrowsButNotWhenTyped) {
  FieldHarness h;
  Edit& edit = h.edit("Edit_Use_StartMenu_RecentlyUse_Document_FileCount");
  UpDown& updown = h.updown("UpDown_Use_StartMenu_RecentlyUse_Document_FileCount");
  updown.SetPosition(1);
  h.Clear();
  ASSERT_TRUE(updown.UserClickDown());
  EXPECT_EQ(edit.Text(), "0");
  EXPECT_EQ(h.pages[5]->senders, std::vector<std::string>{updown.Name()}) << "through the click event only";
  ASSERT_TRUE(edit.SetFocus());
  ASSERT_TRUE(edit.UserType(8));
  h.Clear();
  ASSERT_TRUE(edit.UserType('0'));
  EXPECT_EQ(edit.Text(), "0") << "accepted while typing";
  h.main->ClearFocus();
  EXPECT_EQ(edit.Text(), "1") << "but not on leaving";
  EXPECT_EQ(h.pages[5]->senders.back(), updown.Name());
}

TEST(NumericFields, CursorWidthFieldsTurnATypedZeroIntoOne) {
  FieldHarness h;
  for (const NumericFieldRow& row : kFields) {
    if (!Cursor(row)) continue;
    Edit& edit = h.edit(row.edit);
    ASSERT_TRUE(edit.SetFocus());
    ASSERT_TRUE(edit.UserSetText(""));
    ASSERT_TRUE(edit.UserType('0'));
    EXPECT_EQ(edit.Text(), "1") << row.edit;
    h.main->ClearFocus();
  }
  // The Input Options field leaves a 0 set by the program alone when it loses the focus.
  Edit& keyboard = h.edit("Edit_Use_Keyboard_CursorWidth_Width");
  keyboard.SetText("0");
  ASSERT_TRUE(keyboard.SetFocus());
  h.Clear();
  h.main->ClearFocus();
  EXPECT_EQ(keyboard.Text(), "0");
  EXPECT_EQ(h.Total(), 0u);
  // The General Setting one raises it to its exit bound.
  Edit& general = h.edit("MaskEdit_CommonSettings_Function_CursorWidth_Width");
  general.SetText("0");
  ASSERT_TRUE(general.SetFocus());
  h.main->ClearFocus();
  EXPECT_EQ(general.Text(), "1");
}

TEST(NumericFields, UpDownClicksReachTheirEvents) {
  FieldHarness h;
  h.main->ClearFocus();
  std::map<std::string, const UpDownClickRow*> events;
  for (const UpDownClickRow& row : UpDownClickEvents()) events[row.event] = &row;
  for (const NumericFieldRow& row : kFields) {
    UpDown& updown = h.updown(row.updown);
    updown.SetPosition(row.min);
    h.Clear();
    ASSERT_TRUE(updown.UserClickUp());
    EXPECT_EQ(h.edit(row.edit).Text(), std::to_string(row.min + 1)) << row.edit;
    std::map<std::pair<int, std::string>, std::size_t> expected;
    if (row.forwards == ForwardWhen::Always) ++expected[{row.page_tag, SenderName(row)}];
    if (row.updown_click != nullptr) {
      const UpDownClickRow* click = events.at(row.updown_click);
      ++expected[{click->page_tag, click->edit_sender != nullptr ? click->edit_sender : row.updown}];
    }
    std::map<std::pair<int, std::string>, std::size_t> actual;
    for (auto& [tag, page] : h.pages) {
      for (const std::string& s : page->senders) ++actual[{tag, s}];
    }
    EXPECT_EQ(actual, expected) << row.edit;
  }
  // The plain pair with a click event of its own.
  h.Clear();
  ASSERT_TRUE(h.updown("UpDowndelay").UserClickUp());
  EXPECT_EQ(h.pages[19]->senders, std::vector<std::string>{"UpDowndelay"});
  EXPECT_TRUE(h.pages[4]->senders.empty());
  h.Clear();
  ASSERT_TRUE(h.updown("UpDown6").UserClickUp());
  EXPECT_EQ(h.Total(), 0u);
}

TEST(NumericFields, KeyFilterPassesDigitsAndBackspaceOnly) {
  for (char32_t key = 0; key < 0x80; ++key) {
    char32_t k = key;
    NumericKeyFilter(k);
    const bool pass = (key >= '0' && key <= '9') || key == 8;
    EXPECT_EQ(k, pass ? key : 0) << static_cast<int>(key);
  }
  char32_t wide = U'\u0663';  // ARABIC-INDIC DIGIT THREE
  NumericKeyFilter(wide);
  EXPECT_EQ(wide, 0u);

  FieldHarness h;
  for (const NumericFieldRow& row : kFields) {
    Edit& edit = h.edit(row.edit);
    const std::string before = edit.Text();
    h.Clear();
    for (char32_t key : {U'a', U'-', U' ', U'\x16'}) ASSERT_TRUE(edit.UserType(key));
    EXPECT_EQ(edit.Text(), before) << row.edit;
    EXPECT_EQ(h.Total(), 0u) << row.edit;
  }
}

TEST(NumericFields, PastedTextThatIsNoNumber) {
  FieldHarness h;
  Edit& edit = h.edit("Edit_Use_MouseFunction_Wheel_Count");
  ASSERT_TRUE(edit.SetFocus());
  for (const char* text : {"12a", "99999999999", "-"}) {
    ASSERT_TRUE(edit.UserSetText(text));
    const std::string shown = edit.Text();
    EXPECT_TRUE(shown == "64" || shown == "100") << text << " shows " << shown;
  }
  int n = 0;
  EXPECT_FALSE(ParseNumber("", &n));
  EXPECT_FALSE(ParseNumber("+5", &n));
  EXPECT_FALSE(ParseNumber("4294967296", &n));
  EXPECT_TRUE(ParseNumber("-3", &n));
  EXPECT_EQ(n, -3);
}

TEST(TextFields, KeyUpForwardsWithTheEditAsSender) {
  FieldHarness h;
  for (const KeyUpRow& row : KeyUpFields()) {
    h.Clear();
    ASSERT_TRUE(h.edit(row.edit).UserTypeText("a"));  // the key release of a changed text
    EXPECT_EQ(h.pages[row.page_tag]->senders, std::vector<std::string>{row.edit}) << row.edit;
    EXPECT_EQ(h.Total(), 1u) << row.edit;
  }
}

// Written out apart from the code's table, so a field left out of it is caught.
TEST(TextFields, EveryTextFieldHasItsKeyUpEventAndPage) {
  using Row = std::tuple<std::string, std::string, int>;
  const std::set<Row> expected = {
      {"Edit_Firefox_Common_Homepage_Address", "Edit_Firefox_Common_Homepage_AddressKeyUp", 9},
      {"Edit_CommonSettings_Display_FirefoxHomepage_HomePage", "Edit_Firefox_Common_Homepage_AddressKeyUp", 9},
      {"Edit_CommonSettings_Display_IECommonSettings_HomePage",
       "Edit_CommonSettings_Display_IECommonSettings_HomePageKeyUp", 19},
      {"Edit_IE_Common_Homepage_Address", "Edit_IE_Common_Homepage_AddressKeyUp", 8},
      {"Edit_IE_View_Title_Title", "Edit_IE_View_Title_TitleKeyUp", 8},
      {"Edit_UserLogin_Message_Notify_Title", "Edit_UserLogin_Message_Notify_TitleKeyUp", 13},
      {"Edit_UserLogin_Message_Notify_Text", "Edit_UserLogin_Message_Notify_TitleKeyUp", 13},
      {"Edit_UserLogin_AutoLogin_LoginInfo_Password", "Edit_UserLogin_AutoLogin_LoginInfo_PasswordKeyUp", 13},
      {"Edit_UserLogin_AutoLogin_LoginInfo_UserName", "Edit_UserLogin_AutoLogin_LoginInfo_PasswordKeyUp", 13},
      {"Edit_UserLogin_AutoLogin_LoginInfo_Domain", "Edit_UserLogin_AutoLogin_LoginInfo_PasswordKeyUp", 13},
      {"Edit_System_Common_Infomation_Company", "Edit_System_Common_Infomation_NameKeyUp", 17},
      {"Edit_System_Common_Infomation_Name", "Edit_System_Common_Infomation_NameKeyUp", 17},
      {"Edit_System_Common_Installer_Company", "Edit_System_Common_Infomation_NameKeyUp", 17},
      {"Edit_System_Common_Installer_Name", "Edit_System_Common_Infomation_NameKeyUp", 17},
      {"edWindowTitle", "edWindowTitleKeyUp", 11},
  };
  std::set<Row> actual;
  for (const KeyUpRow& row : KeyUpFields()) actual.emplace(row.edit, row.event, row.page_tag);
  EXPECT_EQ(actual, expected);

  // The E-mail title field reaches the E-mail page with itself as sender.
  FieldHarness h;
  h.Clear();
  ASSERT_TRUE(h.edit("edWindowTitle").UserTypeText("A"));
  EXPECT_EQ(h.pages.at(11)->senders, std::vector<std::string>{"edWindowTitle"});
}

TEST(NumericFields, IgnoredWhileAPageLoads) {
  FieldHarness h;
  h.pages[6]->load = [](PageContext& ctx) {
    ctx.Find<UpDown>("UpDown_Taskbar_ButtonFlashes_Speed_Flash").SetPosition(7);
    ctx.Find<Edit>("Edit_Taskbar_ButtonFlashes_Common_Time").SetText("500");
  };
  h.main->LoadPage(6);
  EXPECT_EQ(h.edit("Edit_Taskbar_ButtonFlashes_Speed_Flash").Text(), "7");
  EXPECT_EQ(h.Total(), 0u);
  EXPECT_FALSE(h.button("Button_Apply").Enabled());
}

}  // namespace
}  // namespace corvanel::ui
