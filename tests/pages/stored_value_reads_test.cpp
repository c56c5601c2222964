// Reads of stored values that are not what a row usually finds: a policy set to Disabled
// (stored 0), and values of an unusual type.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "pages/general/general_setting.h"
#include "pages/menu/start_menu.h"
#include "pages/security/user_logon.h"
#include "pages/system/driver.h"
#include "pages/system/email.h"
#include "pages/system/information.h"
#include "pages/system/input_options.h"
#include "tests/pages/page_harness.h"
#include "tests/pages/row_checks.h"

namespace corvanel::pages {
namespace {

using platform::HKCU;
using platform::HKLM;
using platform::memory::MemoryRegistry;

constexpr const char* kPolicies = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
constexpr const char* kWinlogon = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\";
constexpr const char* kFileSystem = "\\SYSTEM\\CurrentControlSet\\Control\\FileSystem\\";
constexpr const char* kCurrentVersion = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\";
constexpr const char* kOutlookExpress =
    "\\Identities\\{BBA5B953-D1DB-45E6-85A2-3756E4850C44}\\Software\\Microsoft\\Outlook Express\\5.0\\";
constexpr const char* kOutlook = "\\Software\\Microsoft\\Office\\12.0\\Outlook\\Preferences\\";

struct Case {
  const char* what;
  std::unique_ptr<ui::PageModule> (*page)();
  int version_class;
  std::function<void(MemoryRegistry&)> store;
  const char* control;
  int state;  // checks::StateOf; for an edit, unused
  const char* text = nullptr;  // an edit's text
};

class StoredValueReads : public harness::PageTest {
 protected:
  StoredValueReads() : PageTest([this] { return make_(); }) {}

  void Check(const Case& c) {
    SCOPED_TRACE(c.what);
    Reset();
    make_ = c.page;
    c.store(Reg());
    Open(c.version_class, c.page == CreateEmailPage);
    if (c.text != nullptr) {
      EXPECT_EQ(Get<forms::Edit>(c.control).Text(), c.text);
    } else {
      EXPECT_EQ(checks::StateOf(Ctl(c.control)), c.state) << c.control;
    }
  }

 private:
  std::function<std::unique_ptr<ui::PageModule>()> make_;
};

std::function<void(MemoryRegistry&)> Dword(const char* key, const char* name, std::uint32_t n,
                                           platform::RegKey root = HKCU) {
  return [=](MemoryRegistry& r) { r.SetDword(root, key, name, n); };
}
std::function<void(MemoryRegistry&)> Text(const char* key, const char* name, const char* text,
                                          platform::RegKey root = HKLM) {
  return [=](MemoryRegistry& r) { r.SetString(root, key, name, text); };
}
std::function<void(MemoryRegistry&)> Bytes(const char* key, const char* name, platform::RegKey root = HKLM) {
  return [=](MemoryRegistry& r) { r.SetBinary(root, key, name, {1, 0, 0, 0}); };
}

// A policy set to Disabled stores 0: the box shows the unrestricted state; any other value
// restricts.
TEST_F(StoredValueReads, PolicyStoredAsZeroShowsUnrestricted) {
  constexpr const char* kUserName = "Checkbox_Use_StartMenu_Common_User_ShowUserName";
  constexpr const char* kLogoff = "Checkbox_Use_StartMenu_Common_User_ShowLogoff";
  constexpr const char* kWinKey = "Checkbox_Use_Keyboard_WinKey_Active";
  constexpr const char* kGeneralWinKey = "CheckBox_CommonSettings_Function_WinKey_Active";
  // clang-format off
  const Case cases[] = {
      {"user name 0", CreateStartMenuPage, 5, Dword(kPolicies, "NoUserNameInStartMenu", 0), kUserName, 1},
      {"user name 1", CreateStartMenuPage, 5, Dword(kPolicies, "NoUserNameInStartMenu", 1), kUserName, 0},
      {"log off 0", CreateStartMenuPage, 5, Dword(kPolicies, "StartMenuLogOff", 0), kLogoff, 1},
      {"log off 2", CreateStartMenuPage, 5, Dword(kPolicies, "StartMenuLogOff", 2), kLogoff, 0},
      {"input Windows key 0", CreateInputOptionsPage, 5, Dword(kPolicies, "NoWinKeys", 0), kWinKey, 1},
      {"input Windows key 1", CreateInputOptionsPage, 5, Dword(kPolicies, "NoWinKeys", 1), kWinKey, 0},
      {"general Windows key 0", CreateGeneralSettingPage, 5, Dword(kPolicies, "NoWinKeys", 0), kGeneralWinKey, 1},
      {"general Windows key 1", CreateGeneralSettingPage, 5, Dword(kPolicies, "NoWinKeys", 1), kGeneralWinKey, 0},
  };
  // clang-format on
  for (const Case& c : cases) Check(c);
}

// A value whose type the row does not expect leaves its control as the form defines it
// (radios unselected, boxes cleared, edits empty), unless the row says what it shows.
TEST_F(StoredValueReads, UnusualTypesShowWhatTheirRowSays) {
  constexpr const char* kXp = "Radio_UserLogin_Common_LoginInterface_XP";
  constexpr const char* kClassic = "Radio_UserLogin_Common_LoginInterface_2k";
  constexpr const char* kCad = "Checkbox_UserLogin_Common_Set_PressCAD";
  constexpr const char* kLastAccess = "Checkbox_Drives_Common_NTFS_SaveLastVisitData";
  constexpr const char* kShortNames = "Checkbox_Drives_Common_NTFS_SaveShortName";
  constexpr const char* kSpaceWarn = "Checkbox_Drives_DiskSpace_SpaceWarn_ShowWarn";
  constexpr const char* kTray = "CHKMinToTray";
  // clang-format off
  const Case cases[] = {
      {"LogonType text: no Classic", CreateUserLogonPage, 5, Text(kWinlogon, "LogonType", "modern"), kClassic, 0},
      {"LogonType text: no XP", CreateUserLogonPage, 5, Text(kWinlogon, "LogonType", "modern"), kXp, 0},
      {"LogonType bytes", CreateUserLogonPage, 5, Bytes(kWinlogon, "LogonType"), kClassic, 0},
      {"DisableCAD text", CreateUserLogonPage, 5, Text(kWinlogon, "DisableCAD", "no"), kCad, 0},
      {"DisableCAD bytes", CreateUserLogonPage, 5, Bytes(kWinlogon, "DisableCAD"), kCad, 0},
      {"last access text", CreateDriverPage, 5, Text(kFileSystem, "NtfsDisableLastAccessUpdate", "on"), kLastAccess, 0},
      {"short names text", CreateDriverPage, 5, Text(kFileSystem, "NtfsDisable8dot3NameCreation", "on"), kShortNames, 0},
      {"space warning text", CreateDriverPage, 5, Text(kPolicies, "NoLowDiskSpaceChecks", "on", HKCU), kSpaceWarn, 0},
      {"owner DWORD", CreateInformationPage, 5, Dword(kCurrentVersion, "RegisteredOwner", 42, HKLM),
       "Edit_System_Common_Infomation_Name", 0, "42"},
      {"window title DWORD", CreateEmailPage, 5, Dword(kOutlookExpress, "WindowTitle", 7), "edWindowTitle", 0, "7"},
      {"tray text", CreateEmailPage, 5, Text(kOutlook, "MinToTray", "yes", HKCU), kTray, 1},
      {"tray bytes", CreateEmailPage, 5, Bytes(kOutlook, "MinToTray", HKCU), kTray, 1},
      {"tray 0", CreateEmailPage, 5, Dword(kOutlook, "MinToTray", 0), kTray, 0},
  };
  // clang-format on
  for (const Case& c : cases) Check(c);
}

}  // namespace
}  // namespace corvanel::pages
