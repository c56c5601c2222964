// The Firefox preferences on the real corvanel.exe under Wine: a profile prepared in the
// prefix's application data, a home page typed on the start page, a box of the Firefox
// page, then Apply or Cancel, and user.js read back from outside the program. The prefix
// gets back what it had: the profile goes, an existing Firefox folder comes back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/e2e/remote.h"

#include <shlobj.h>

namespace corvanel::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kStartTimeoutMs = 20000;
constexpr int kTimeoutMs = 10000;

constexpr wchar_t kUninstallKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Mozilla Firefox 115.0 (x64 en-US)";

constexpr char kProfilesIni[] =
    "[General]\r\nStartWithLastProfile=1\r\n\r\n"
    "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/e2e.default\r\nDefault=1\r\n";
// As Firefox writes it: a header, then one statement a line.
constexpr char kPrefsJs[] =
    "// Mozilla User Preferences\n\n"
    "user_pref(\"browser.blink_allowed\", true);\n"
    "user_pref(\"browser.startup.homepage\", \"http://prefs.example/\");\n"
    "user_pref(\"browser.tabs.tabMinWidth\", 90);\n"
    "user_pref(\"browser.tabs.closeButtons\", 3);\n"
    "user_pref(\"ui.submenuDelay\", 300);\n"
    "user_pref(\"browser.link.open_newwindow\", 2);\n";
constexpr char kUserJs[] =
    "// Kept by hand: the office proxy.\r\n"
    "\r\n"
    "user_pref(\"network.proxy.type\", 1);\r\n";

constexpr char kHomeEdit[] = "Edit_CommonSettings_Display_FirefoxHomepage_HomePage";
constexpr char kBlinkBox[] = "CheckBox_Firefox_Common_DynamicText_ProhibitFlashing";
constexpr wchar_t kTypedHome[] = L"http://typed.example/?q=\"a\"";

fs::path AppDataFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, path))) return {};
  return path;
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WriteBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary);
  out << bytes;
  return static_cast<bool>(out);
}

// The user_pref statements of a file, one a line, as written.
std::vector<std::string> StatementLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("user_pref(", 0) == 0) lines.push_back(line);
    at = end + 1;
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

class FirefoxProfile : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path app_data = AppDataFolder();
    ASSERT_FALSE(app_data.empty()) << "no application data folder";
    firefox_ = app_data / L"Mozilla" / L"Firefox";
    kept_ = app_data / L"Mozilla" / L"Firefox.e2e-kept";
    std::error_code error;
    ASSERT_FALSE(fs::exists(kept_)) << "a kept Firefox folder of an earlier run is still there";
    if (fs::exists(firefox_)) {
      fs::rename(firefox_, kept_, error);
      ASSERT_FALSE(error) << "cannot set the prefix's Firefox folder aside";
      moved_ = true;
    }
    mozilla_made_ = !fs::exists(app_data / L"Mozilla");
    mozilla_ = app_data / L"Mozilla";
    profile_ = firefox_ / L"Profiles" / L"e2e.default";
    ASSERT_TRUE(fs::create_directories(profile_, error)) << "cannot create the profile folder";
    ASSERT_TRUE(WriteBytes(firefox_ / L"profiles.ini", kProfilesIni));
    ASSERT_TRUE(WriteBytes(profile_ / L"prefs.js", kPrefsJs));
    ASSERT_TRUE(WriteBytes(profile_ / L"user.js", kUserJs));

    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS)
        << "cannot register Firefox as installed";
    key_made_ = disposition == REG_CREATED_NEW_KEY;
    const std::wstring name = L"Mozilla Firefox (x64 en-US)";
    RegSetValueExW(key, L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                   static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);

    ASSERT_TRUE(program_.Start(ProgramPath())) << "cannot start corvanel.exe, error " << GetLastError();
    ASSERT_NE(program_.WaitMainWindow(kStartTimeoutMs), nullptr) << "no main window appeared";
    ASSERT_TRUE(program_.WaitStartup(kStartTimeoutMs)) << "the start page did not finish loading";
    apply_ = program_.Control("Button_Apply");
    ASSERT_NE(apply_, nullptr);
  }

  void TearDown() override {
    if (program_.Running()) {
      PostMessageW(program_.Main(), WM_CLOSE, 0, 0);
      DWORD code = 0;
      program_.WaitExit(kTimeoutMs, &code);
    }
    if (key_made_) RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey);
    std::error_code error;
    if (!firefox_.empty()) fs::remove_all(firefox_, error);
    if (moved_) {
      fs::rename(kept_, firefox_, error);
      EXPECT_FALSE(error) << "the prefix's Firefox folder did not come back";
    } else if (mozilla_made_) {
      fs::remove(mozilla_, error);
    }
  }

  // On the start page: the home page as typed, the release of the last key passing it on.
  void TypeHomePage() {
    HWND edit = program_.Control(kHomeEdit);
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(IsWindowVisible(edit)) << "the Firefox home page is hidden although Firefox is installed";
    EXPECT_TRUE(TextOf(edit) == L"http://prefs.example/") << "the edit does not show the profile's home page";
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kTypedHome));
    SendMessageW(edit, WM_KEYUP, 'A', static_cast<LPARAM>(0xC0000001));
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply_) != FALSE; }, kTimeoutMs)) << "Apply stayed disabled";
  }

  // Through the navigation bar to the Firefox page, then its blink box checked.
  void OpenFirefoxPageAndCheckTheBox() {
    HWND bar = program_.Control("RzGroupBar1");
    ASSERT_NE(bar, nullptr);
    const LRESULT point = program_.Query(ui::win32::kQueryNavItemPoint, "9");
    ASSERT_NE(point, -1) << "the Firefox item is not shown";
    const LPARAM at = MAKELPARAM(static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point)));
    SendMessageW(bar, WM_MOUSEMOVE, 0, at);
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(bar, WM_LBUTTONUP, 0, at);
    ASSERT_EQ(program_.Query(ui::win32::kQuerySelectedTag), 9);
    ASSERT_TRUE(IsWindowVisible(program_.Control("Page_9")));

    HWND home = program_.Control("Edit_Firefox_Common_Homepage_Address");
    HWND box = program_.Control(kBlinkBox);
    ASSERT_TRUE(home && box);
    ASSERT_TRUE(IsWindowVisible(box)) << "the General tab of an installed Firefox is not in front";
    EXPECT_TRUE(TextOf(home) == kTypedHome) << "the home page typed on the start page is lost";
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED) << "blinking allowed shows unchecked";
    PostMessageW(box, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }, kTimeoutMs));
    EXPECT_EQ(ReadBytes(profile_ / L"user.js"), kUserJs) << "written before Apply";
  }

  Program program_;
  HWND apply_ = nullptr;
  fs::path firefox_, kept_, mozilla_, profile_;
  bool moved_ = false;
  bool mozilla_made_ = false;
  bool key_made_ = false;
};

TEST_F(FirefoxProfile, ApplyWritesOnlyTheChangesIntoUserJsAndKeepsItsText) {
  TypeHomePage();
  OpenFirefoxPageAndCheckTheBox();

  PostMessageW(apply_, BM_CLICK, 0, 0);
  // Firefox reads user.js at its next start: Apply says so.
  HWND notice = program_.WaitWindowOf(L"#32770", kTimeoutMs);
  ASSERT_NE(notice, nullptr) << "Apply did not tell to restart Firefox";
  HWND ok = GetDlgItem(notice, IDOK);
  ASSERT_NE(ok, nullptr) << "the notice has no OK button";
  PostMessageW(notice, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply_) == FALSE; }, kTimeoutMs)) << "Apply did not finish";

  const std::string user_js = ReadBytes(profile_ / L"user.js");
  EXPECT_NE(user_js.find(kUserJs), std::string::npos) << "the file's own text changed:\n" << user_js;
  const std::vector<std::string> expected = {
      "user_pref(\"browser.blink_allowed\", false);",
      "user_pref(\"browser.startup.homepage\", \"http://typed.example/?q=\\\"a\\\"\");",
      "user_pref(\"network.proxy.type\", 1);",
  };
  EXPECT_EQ(StatementLines(user_js), expected) << user_js;
  EXPECT_EQ(ReadBytes(profile_ / L"prefs.js"), kPrefsJs) << "prefs.js is Firefox's own";
  std::vector<std::wstring> files;
  for (const auto& entry : fs::directory_iterator(profile_)) files.push_back(entry.path().filename().wstring());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::wstring>{L"prefs.js", L"user.js"})) << "a temporary file was left behind";
  EXPECT_TRUE(program_.Running());
}

// Walking the focus through the start page and the Firefox page's General tab changes
// nothing, so OK afterwards writes nothing: no registry value, no profile file.
TEST_F(FirefoxProfile, TabbingThroughThePagesThenOkWritesNothing) {
  // Any change under these keys, by anyone, signals its event.
  struct Watch {
    HKEY root;
    const wchar_t* path;
    HKEY key = nullptr;
    HANDLE event = nullptr;
  };
  Watch watches[] = {{HKEY_CURRENT_USER, L"Software\\Microsoft"},
                     {HKEY_CURRENT_USER, L"Control Panel"},
                     {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft"}};
  for (Watch& w : watches) {
    ASSERT_EQ(RegOpenKeyExW(w.root, w.path, 0, KEY_NOTIFY, &w.key), ERROR_SUCCESS);
    w.event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_EQ(RegNotifyChangeKeyValue(w.key, TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, w.event, TRUE),
              ERROR_SUCCESS);
  }

  // Tab as the keyboard gives it: pressed where the focus is, released where it went.
  int stops = 0;
  auto walk = [&] {
    HWND first = nullptr;
    for (int i = 0; i < 200; ++i) {
      HWND before = FocusOf(program_.Main());
      PostMessageW(before != nullptr ? before : program_.Main(), WM_KEYDOWN, VK_TAB, 0x000F0001);
      WaitFor([&] { return FocusOf(program_.Main()) != before; }, 2000);
      HWND now = FocusOf(program_.Main());
      ASSERT_NE(now, nullptr) << "Tab did not focus anything";
      PostMessageW(now, WM_KEYUP, VK_TAB, static_cast<LPARAM>(0xC00F0001));
      ++stops;
      if (now == first) return;
      if (first == nullptr) first = now;
    }
    FAIL() << "the focus did not come round";
  };
  for (const char* page : {"19,0", "19,1", "19,2", "19,3", "9,0"}) {
    SCOPED_TRACE(page);
    ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, page), 1);
    walk();
    if (HasFatalFailure()) return;
  }
  // The key releases are handled in order, before this query is answered.
  program_.Query(ui::win32::kQuerySelectedTag);
  EXPECT_FALSE(IsWindowEnabled(apply_)) << "walking through the controls queued a change";

  PostMessageW(program_.Control("Button_OK"), BM_CLICK, 0, 0);
  DWORD code = 1234;
  ASSERT_TRUE(program_.WaitExit(kTimeoutMs, &code)) << "OK did not close the window (a message box?)";
  EXPECT_EQ(code, 0u);
  EXPECT_GT(stops, 20);
  EXPECT_EQ(ReadBytes(profile_ / L"user.js"), kUserJs);
  EXPECT_EQ(ReadBytes(profile_ / L"prefs.js"), kPrefsJs);
  for (Watch& w : watches) {
    EXPECT_EQ(WaitForSingleObject(w.event, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "a value changed under " << w.path;
    CloseHandle(w.event);
    RegCloseKey(w.key);
  }
}

TEST_F(FirefoxProfile, CancelLeavesUserJsAsItWas) {
  TypeHomePage();
  OpenFirefoxPageAndCheckTheBox();
  PostMessageW(program_.Control("Button_Cancel"), BM_CLICK, 0, 0);
  DWORD code = 1234;
  ASSERT_TRUE(program_.WaitExit(kTimeoutMs, &code)) << "Cancel did not close the window";
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ReadBytes(profile_ / L"user.js"), kUserJs);
}

}  // namespace
}  // namespace corvanel::e2e
