#include "pages/security/user_logon.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/pages/page_harness.h"

namespace corvanel::pages {
namespace {

using engine::MakeInt;
using engine::MakeText;
using engine::TRegRecor;
using forms::Edit;
using forms::Image;
using forms::RadioButton;
using platform::HKCU;
using platform::HKLM;

constexpr const char* kWinlogon = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\";
constexpr const char* kPolicies = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\system\\";
constexpr const char* kDesktop = "\\Control Panel\\Desktop\\";

constexpr const char* kRadioXp = "Radio_UserLogin_Common_LoginInterface_XP";
constexpr const char* kRadioClassic = "Radio_UserLogin_Common_LoginInterface_2k";
constexpr const char* kPictureXp = "Image_UserLogin_Common_LoginInterface_xp";
constexpr const char* kPictureInfo = "Image_UserLogin_Common_LoginInterface_Info";
constexpr const char* kHideUserName = "Checkbox_UserLogin_Common_Set_UserName";
constexpr const char* kPressCad = "Checkbox_UserLogin_Common_Set_PressCAD";
constexpr const char* kEndTask = "Checkbox_UserLogin_Common_Set_EndTask";
constexpr const char* kShowShutdown = "Checkbox_UserLogin_Common_Set_ShowShutdown";
constexpr const char* kAutoLogon = "Checkbox_UserLogin_AutoLogin_ActiveAutoLogin";
constexpr const char* kUserName = "Edit_UserLogin_AutoLogin_LoginInfo_UserName";
constexpr const char* kPassword = "Edit_UserLogin_AutoLogin_LoginInfo_Password";
constexpr const char* kDomain = "Edit_UserLogin_AutoLogin_LoginInfo_Domain";
constexpr const char* kAfterLogoff = "Checkbox_UserLogin_AutoLogin_Option_AutoLoginAfterLogoff";
constexpr const char* kSkipLogon = "Checkbox_UserLogin_AutoLogin_Option_SkipLogin";
constexpr const char* kShowNotice = "Checkbox_UserLogin_Message_Notify_ActiveShowMessage";
constexpr const char* kNoticeTitle = "Edit_UserLogin_Message_Notify_Title";
constexpr const char* kNoticeText = "Edit_UserLogin_Message_Notify_Text";
constexpr const char* kVerbose = "Checkbox_UserLogin_Message_Logoff_ActiveShow";
constexpr const char* kGroupScreen = "Groupbox_UserLogin_Common_LoginInterface";
constexpr const char* kGroupGeneral = "Groupbox_UserLogin_Common_Set";

TRegRecor Text(const std::string& name, platform::RegKey root, const char* key, const char* value, std::string text) {
  return engine::WriteRecord(name, root, key, value, 1, MakeText(std::move(text)));
}
TRegRecor Integer(const std::string& name, const char* key, const char* value, std::int32_t n) {
  return engine::WriteRecord(name, HKLM, key, value, 3, MakeInt(n));
}
TRegRecor Deletion(const std::string& name, const char* value, std::string carried) {
  TRegRecor r = Text(name, HKLM, kWinlogon, value, std::move(carried));
  r.Action = 2;
  return r;
}

class UserLogonTest : public harness::PageTest {
 protected:
  UserLogonTest() : PageTest(CreateUserLogonPage) {}
  void Open(int version_class = 5) { PageTest::Open(version_class); }
  Edit& Field(const char* name) const { return Get<Edit>(name); }
  void ShowTab(int index) const { Get<forms::PageControl>("Pagautologin").SetActivePageIndex(index); }
  bool PictureXpShown() const { return Get<Image>(kPictureXp).Visible(); }
  bool PictureInfoShown() const { return Get<Image>(kPictureInfo).Visible(); }
};

enum class Stored { kDword1, kDword0, kText1, kText0, kTextWord, kBinary, kMissing };
constexpr Stored kStored[] = {Stored::kDword1, Stored::kDword0, Stored::kText1, Stored::kText0,
                              Stored::kTextWord, Stored::kBinary, Stored::kMissing};

void Store(platform::memory::MemoryRegistry& reg, platform::RegKey root, const char* key, const char* value,
           Stored stored) {
  switch (stored) {
    case Stored::kDword1: reg.SetDword(root, key, value, 1); break;
    case Stored::kDword0: reg.SetDword(root, key, value, 0); break;
    case Stored::kText1: reg.SetString(root, key, value, "1"); break;
    case Stored::kText0: reg.SetString(root, key, value, "0"); break;
    case Stored::kTextWord: reg.SetString(root, key, value, "on"); break;
    case Stored::kBinary: reg.SetBinary(root, key, value, {1, 0, 0, 0}); break;
    case Stored::kMissing: break;
  }
}

// ---------------------------------------------------------------------------------
// The check boxes: what each stored form shows, and what a click queues.

struct BoxRow {
  const char* box;
  platform::RegKey root;
  const char* key;
  const char* value;
  bool shows[7];  // in the order of kStored
  bool text;      // written as "1"/"0" rather than as a number
  std::int32_t on;
  const char* also;  // the Winlogon copy written after it, if any
};
const BoxRow kBoxes[] = {
    {kHideUserName, HKLM, kPolicies, "dontdisplaylastusername", {true, false, true, false, false, false, false},
     false, 1, "DontDisplayLastUserName"},
    {kPressCad, HKLM, kWinlogon, "DisableCAD", {false, true, false, true, false, false, false}, false, 0, nullptr},
    {kEndTask, HKCU, kDesktop, "AutoEndTasks", {true, false, true, false, false, false, true}, true, 1, nullptr},
    {kShowShutdown, HKLM, kPolicies, "ShutdownWithoutLogon", {true, false, true, false, false, false, false}, false,
     1, "ShutdownWithoutLogon"},
    {kAfterLogoff, HKLM, kWinlogon, "ForceAutoLogon", {true, false, true, false, true, true, false}, true, 1, nullptr},
    {kSkipLogon, HKLM, kWinlogon, "IgnoreShiftOverride", {true, false, true, false, true, true, false}, true, 1,
     nullptr},
    {kVerbose, HKLM, kPolicies, "verbosestatus", {true, false, true, false, false, false, false}, false, 1, nullptr},
};

std::vector<TRegRecor> RecordsOf(const BoxRow& row, bool checked) {
  const std::int32_t n = checked ? row.on : 1 - row.on;
  std::vector<TRegRecor> records;
  if (row.text) {
    records.push_back(Text(row.box, row.root, row.key, row.value, std::to_string(n)));
  } else {
    records.push_back(Integer(row.box, row.key, row.value, n));
  }
  if (row.also != nullptr) records.push_back(Integer(std::string(row.box) + "1", kWinlogon, row.also, n));
  return records;
}

TEST_F(UserLogonTest, BoxesShowTheirStoredValueAndQueueExactlyTheirRecords) {
  for (const BoxRow& row : kBoxes) {
    for (std::size_t i = 0; i < std::size(kStored); ++i) {
      SCOPED_TRACE(std::string(row.box) + " case " + std::to_string(i));
      Reset();
      Store(Reg(), row.root, row.key, row.value, kStored[i]);
      Open();
      EXPECT_EQ(Checked(row.box), row.shows[i]);
      EXPECT_TRUE(Queue().Empty());
    }
    for (const bool checked : {!Checked(row.box), Checked(row.box)}) {
      ASSERT_TRUE(Box(row.box).UserClick());
      EXPECT_EQ(Records(), RecordsOf(row, checked)) << row.box;
    }
    EXPECT_TRUE(ApplyEnabled());
    EXPECT_FALSE(Requests().RestartNeeded);
  }
}

// Windows keeps AutoEndTasks as text, also where a number was stored before.
TEST_F(UserLogonTest, AutoEndTasksIsWrittenAsText) {
  Reg().SetDword(HKCU, kDesktop, "AutoEndTasks", 1);
  Open();
  Box(kEndTask).UserClick();
  Apply();
  ASSERT_TRUE(Reg().Get(HKCU, kDesktop, "AutoEndTasks").has_value());
  EXPECT_EQ(Reg().Get(HKCU, kDesktop, "AutoEndTasks")->type, platform::win::REG_SZ);
  EXPECT_EQ(Reg().GetString(HKCU, kDesktop, "AutoEndTasks"), "0");
}

TEST_F(UserLogonTest, LogonStyleIsReadUpToXpAndItsRadiosSwapThePictures) {
  struct Case {
    int version_class;
    Stored stored;
    bool xp;
    bool classic;
  };
  const Case cases[] = {
      {5, Stored::kDword1, true, false}, {5, Stored::kDword0, false, true},    {5, Stored::kText1, true, false},
      {5, Stored::kTextWord, false, false}, {5, Stored::kMissing, false, false}, {4, Stored::kDword1, true, false},
      {0, Stored::kDword0, false, true}, {6, Stored::kDword1, false, false},  {7, Stored::kDword1, false, false},
      {8, Stored::kDword0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("class " + std::to_string(c.version_class) + " case " + std::to_string(static_cast<int>(c.stored)));
    Reset();
    Store(Reg(), HKLM, kWinlogon, "LogonType", c.stored);
    Open(c.version_class);
    EXPECT_EQ(Get<RadioButton>(kRadioXp).Checked(), c.xp);
    EXPECT_EQ(Get<RadioButton>(kRadioClassic).Checked(), c.classic);
    EXPECT_EQ(PictureXpShown(), c.xp);
    EXPECT_EQ(PictureInfoShown(), !c.xp);
    EXPECT_TRUE(Queue().Empty());
  }
  Reset();
  Open(5);
  Get<RadioButton>(kRadioClassic).UserClick();
  EXPECT_EQ(Records(), std::vector<TRegRecor>{Integer("RadLogonType", kWinlogon, "LogonType", 0)});
  EXPECT_FALSE(PictureXpShown());
  EXPECT_TRUE(PictureInfoShown());
  Get<RadioButton>(kRadioXp).UserClick();
  EXPECT_EQ(Records(), std::vector<TRegRecor>{Integer("RadLogonType", kWinlogon, "LogonType", 1)});
  EXPECT_TRUE(PictureXpShown());
  EXPECT_FALSE(PictureInfoShown());
  Apply();
  EXPECT_EQ(Reg().GetDword(HKLM, kWinlogon, "LogonType"), 1u);
}

TEST_F(UserLogonTest, StoredAccountFillsTheUserDetails) {
  struct Case {
    Stored logon;
    bool checked;
  };
  for (const Case c : {Case{Stored::kText1, true}, Case{Stored::kDword1, true}, Case{Stored::kText0, false},
                       Case{Stored::kTextWord, false}, Case{Stored::kMissing, false}}) {
    SCOPED_TRACE(static_cast<int>(c.logon));
    Reset();
    Store(Reg(), HKLM, kWinlogon, "AutoAdminLogon", c.logon);
    Reg().SetString(HKLM, kWinlogon, "DefaultUserName", "anna");
    Reg().SetString(HKLM, kWinlogon, "DefaultPassword", "s3cret");
    Open();
    EXPECT_EQ(Checked(kAutoLogon), c.checked);
    EXPECT_EQ(Field(kUserName).Text(), "anna");
    EXPECT_EQ(Field(kPassword).Text(), "s3cret");
    EXPECT_EQ(Field(kDomain).Text(), "");
    for (const char* edit : {kUserName, kPassword, kDomain}) EXPECT_EQ(Field(edit).Enabled(), c.checked) << edit;
  }
  // The password is never shown as typed; the other fields are.
  EXPECT_NE(Field(kPassword).PasswordChar(), 0u);
  EXPECT_EQ(Field(kUserName).PasswordChar(), 0u);
  EXPECT_EQ(Field(kDomain).PasswordChar(), 0u);
}

TEST_F(UserLogonTest, AutomaticLogonQueuesTheAccountOrItsDeletion) {
  Reg().SetString(HKLM, kWinlogon, "DefaultUserName", "anna");
  Reg().SetString(HKLM, kWinlogon, "DefaultPassword", "pw");
  Reg().SetString(HKLM, kWinlogon, "DefaultDomainName", "HOME");
  Open();
  ASSERT_FALSE(Field(kUserName).Enabled());
  const std::string name = kAutoLogon;
  Box(kAutoLogon).UserClick();
  for (const char* edit : {kUserName, kPassword, kDomain}) EXPECT_TRUE(Field(edit).Enabled()) << edit;
  EXPECT_EQ(Records(), (std::vector<TRegRecor>{Text(name, HKLM, kWinlogon, "AutoAdminLogon", "1"),
                                               Text(name + "1", HKLM, kWinlogon, "DefaultUserName", "anna"),
                                               Text(name + "2", HKLM, kWinlogon, "DefaultPassword", "pw"),
                                               Text(name + "3", HKLM, kWinlogon, "DefaultDomainName", "HOME")}));
  Box(kAutoLogon).UserClick();
  for (const char* edit : {kUserName, kPassword, kDomain}) EXPECT_FALSE(Field(edit).Enabled()) << edit;
  EXPECT_EQ(Records(), (std::vector<TRegRecor>{Text(name, HKLM, kWinlogon, "AutoAdminLogon", "0"),
                                               Deletion(name + "1", "DefaultUserName", "xxxxxx"),
                                               Deletion(name + "2", "DefaultPassword", ""),
                                               Deletion(name + "3", "DefaultDomainName", "HOME")}));
  Apply();
  EXPECT_EQ(Reg().GetString(HKLM, kWinlogon, "AutoAdminLogon"), "0");
  for (const char* value : {"DefaultUserName", "DefaultPassword", "DefaultDomainName"})
    EXPECT_FALSE(Reg().ValueExists(HKLM, kWinlogon, value)) << value;
}

TEST_F(UserLogonTest, EveryKeyReleaseQueuesTheWholeText) {
  Reg().SetString(HKLM, kWinlogon, "AutoAdminLogon", "1");
  Reg().SetString(HKLM, kWinlogon, "LegalNoticeCaption", "Notice");
  Open();
  struct Row {
    const char* edit;
    int tab;
    const char* value;
  };
  const Row rows[] = {{kUserName, 1, "DefaultUserName"},  {kPassword, 1, "DefaultPassword"},
                      {kDomain, 1, "DefaultDomainName"},  {kNoticeTitle, 2, "LegalNoticeCaption"},
                      {kNoticeText, 2, "LegalNoticeText"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.edit);
    ShowTab(row.tab);
    const std::string before = Field(row.edit).Text();
    ASSERT_TRUE(Field(row.edit).UserTypeText("ab"));
    EXPECT_EQ(*Record(row.edit), Text(row.edit, HKLM, kWinlogon, row.value, before + "ab"));
  }
  EXPECT_EQ(Queue().Count(), std::size(rows));
  Apply();
  EXPECT_EQ(Reg().GetString(HKLM, kWinlogon, "DefaultPassword"), "ab");
  EXPECT_EQ(Reg().GetString(HKLM, kWinlogon, "LegalNoticeCaption"), "Noticeab");
}

// The password typed before automatic logon is switched off again must not reach the
// registry: the deletions are the user's last word for all three values.
TEST_F(UserLogonTest, ClearingAutomaticLogonLeavesNoPasswordBehind) {
  Reg().SetString(HKLM, kWinlogon, "DefaultUserName", "anna");
  Reg().SetString(HKLM, kWinlogon, "DefaultDomainName", "HOME");
  Open();
  ShowTab(1);
  Box(kAutoLogon).UserClick();
  ASSERT_TRUE(Field(kUserName).UserTypeText("x"));
  ASSERT_TRUE(Field(kPassword).UserTypeText("secret"));
  ASSERT_TRUE(Field(kDomain).UserTypeText("y"));
  Box(kAutoLogon).UserClick();
  Apply();
  EXPECT_EQ(Reg().GetString(HKLM, kWinlogon, "AutoAdminLogon"), "0");
  for (const char* value : {"DefaultUserName", "DefaultPassword", "DefaultDomainName"})
    EXPECT_FALSE(Reg().ValueExists(HKLM, kWinlogon, value)) << value;
}

TEST_F(UserLogonTest, LogonNoticeIsOnWhileItsCaptionExistsAndQueuesBothTexts) {
  Reg().SetString(HKLM, kWinlogon, "LegalNoticeCaption", "");
  Open();
  EXPECT_TRUE(Checked(kShowNotice));
  EXPECT_TRUE(Field(kNoticeTitle).Enabled());
  EXPECT_TRUE(Field(kNoticeText).Enabled());

  Reset();
  Reg().SetString(HKLM, kWinlogon, "LegalNoticeText", "Body");
  Open();
  EXPECT_FALSE(Checked(kShowNotice));
  EXPECT_EQ(Field(kNoticeText).Text(), "Body");
  EXPECT_FALSE(Field(kNoticeTitle).Enabled());
  EXPECT_FALSE(Field(kNoticeText).Enabled());
  const std::string name = kShowNotice;
  Box(kShowNotice).UserClick();
  EXPECT_TRUE(Field(kNoticeTitle).Enabled());
  EXPECT_TRUE(Field(kNoticeText).Enabled());
  EXPECT_EQ(Records(), (std::vector<TRegRecor>{Text(name, HKLM, kWinlogon, "LegalNoticeCaption", ""),
                                               Text(name + "1", HKLM, kWinlogon, "LegalNoticeText", "Body")}));
  Box(kShowNotice).UserClick();
  EXPECT_FALSE(Field(kNoticeTitle).Enabled());
  EXPECT_EQ(Records(), (std::vector<TRegRecor>{Deletion(name, "LegalNoticeCaption", ""),
                                               Deletion(name + "1", "LegalNoticeText", "")}));
  Apply();
  EXPECT_FALSE(Reg().ValueExists(HKLM, kWinlogon, "LegalNoticeText"));
}

// ---------------------------------------------------------------------------------
// Windows versions and layout

TEST_F(UserLogonTest, VersionClassesAdaptThePage) {
  for (const int version_class : harness::kVersionClasses) {
    SCOPED_TRACE("class " + std::to_string(version_class));
    Reset();
    Open(version_class);
    const bool vista = version_class > 5;
    const bool older = version_class < 5;
    const auto& pages = Get<forms::PageControl>("Pagautologin");
    EXPECT_TRUE(pages.Page(0)->TabVisible());
    EXPECT_EQ(pages.Page(1)->TabVisible(), !older);
    EXPECT_EQ(pages.Page(2)->TabVisible(), !older);
    EXPECT_EQ(Ctl(kGroupScreen).Visible(), version_class == 5);
    EXPECT_EQ(Ctl(kGroupGeneral).Top(), version_class == 5 ? Ctl(kGroupScreen).Top() + Ctl(kGroupScreen).Height() + 8
                                                            : Ctl(kGroupScreen).Top());
    EXPECT_EQ(Box(kEndTask).Visible(), !vista);
    EXPECT_EQ(Box(kEndTask).Enabled(), !older);
    for (const char* button : {"Button_UserLogin_Common_Set_Default", "Button_UserLogin_AutoLogin_Option_Default",
                               "Button_UserLogin_Message_Logoff_Default"}) {
      EXPECT_FALSE(Ctl(button).Visible()) << button;
    }
    for (int tab = 0; tab < 3; ++tab) {
      ShowTab(tab);
      EXPECT_EQ(LayoutProblems(), "") << "tab " << tab;
    }
    // The logon style's other radio and picture, as the user would switch to them.
    if (version_class == 5) {
      ShowTab(0);
      Get<RadioButton>(kRadioXp).UserClick();
      EXPECT_EQ(LayoutProblems(), "");
    }
  }
}

}  // namespace
}  // namespace corvanel::pages
