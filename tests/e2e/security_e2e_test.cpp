// The security pages of the real corvanel.exe under Wine, driven through window messages
// only: automatic logon on and off, a Privacy box, and the Security Center service on the
// Windows 7 class. Every value and service a test touches gets back what it had.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/remote.h"
#include "tests/wine/support/test_service.h"

namespace corvanel::e2e {
namespace {

constexpr int kStartTimeoutMs = 20000;
constexpr int kTimeoutMs = 10000;

constexpr wchar_t kWinlogon[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr wchar_t kWebcheck[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Webcheck";
// Wine's per-program Windows version, as winecfg keeps it.
constexpr wchar_t kProgramDefaults[] = L"Software\\Wine\\AppDefaults\\corvanel.exe";

struct Saved {
  HKEY root;
  std::wstring path;
  std::wstring name;
  std::optional<DWORD> type;
  std::vector<BYTE> data;
};

Saved Save(HKEY root, const wchar_t* path, const wchar_t* name) {
  Saved s{root, path, name, std::nullopt, {}};
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return s;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    s.data.resize(size);
    if (RegQueryValueExW(key, name, nullptr, &type, s.data.data(), &size) == ERROR_SUCCESS) s.type = type;
  }
  RegCloseKey(key);
  return s;
}

void Remove(HKEY root, const std::wstring& path, const std::wstring& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueW(key, name.c_str());
  RegCloseKey(key);
}

void Put(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

void PutText(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& text) {
  Put(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void Restore(const Saved& s) {
  Remove(s.root, s.path, s.name);
  if (s.type) Put(s.root, s.path, s.name, *s.type, s.data.data(), static_cast<DWORD>(s.data.size()));
}

// The value as the registry holds it now: its type and data, nothing when missing.
std::optional<std::pair<DWORD, std::vector<BYTE>>> Stored(HKEY root, const wchar_t* path, const wchar_t* name) {
  const Saved s = Save(root, path, name);
  if (!s.type) return std::nullopt;
  return std::pair{*s.type, s.data};
}

std::optional<std::wstring> StoredText(HKEY root, const wchar_t* path, const wchar_t* name) {
  const auto v = Stored(root, path, name);
  if (!v || (v->first != REG_SZ && v->first != REG_EXPAND_SZ)) return std::nullopt;
  std::wstring text(reinterpret_cast<const wchar_t*>(v->second.data()), v->second.size() / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

class SecurityPages : public ::testing::Test {
 protected:
  // Saves the values a test changes, then may start the program.
  void Keep(HKEY root, const wchar_t* path, std::initializer_list<const wchar_t*> names) {
    for (const wchar_t* name : names) saved_.push_back(Save(root, path, name));
  }
  void TearDown() override {
    if (program_.Running()) {
      PostMessageW(program_.Main(), WM_CLOSE, 0, 0);
      DWORD code = 0;
      program_.WaitExit(kTimeoutMs, &code);
    }
    for (const Saved& s : saved_) Restore(s);
    for (const std::wstring& key : new_keys_) RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
  }
  void StartOn(const std::string& page_and_tab) {
    ASSERT_TRUE(program_.Start(ProgramPath())) << "cannot start corvanel.exe, error " << GetLastError();
    ASSERT_NE(program_.WaitMainWindow(kStartTimeoutMs), nullptr) << "no main window appeared";
    ASSERT_TRUE(program_.WaitStartup(kStartTimeoutMs)) << "the start page did not finish loading";
    ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, page_and_tab), 1) << "cannot open " << page_and_tab;
    apply_ = program_.Control("Button_Apply");
    ASSERT_NE(apply_, nullptr);
    ASSERT_FALSE(IsWindowEnabled(apply_)) << "loading the page must not count as a change";
  }
  HWND Control(const char* name) const {
    HWND hwnd = program_.Control(name);
    EXPECT_NE(hwnd, nullptr) << name;
    return hwnd;
  }
  bool Checked(HWND box) const { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void ClickAndWaitForApply(HWND box) const {
    PostMessageW(box, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply_) != FALSE; }, kTimeoutMs)) << "Apply stayed disabled";
  }
  void ApplyAndWait() const {
    PostMessageW(apply_, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply_) == FALSE; }, kTimeoutMs)) << "Apply did not finish";
  }
  // Typing as the edit sees it: the new text, then the release of the last key.
  static void Type(HWND edit, const std::wstring& text) {
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(edit, WM_KEYUP, 'A', static_cast<LPARAM>(0xC0000001));
  }

  Program program_;
  HWND apply_ = nullptr;
  std::vector<Saved> saved_;
  std::vector<std::wstring> new_keys_;  // under HKCU, made by the test
};

TEST_F(SecurityPages, AutomaticLogonStoresTheAccountAndRemovesItAgain) {
  Keep(HKEY_LOCAL_MACHINE, kWinlogon, {L"AutoAdminLogon", L"DefaultUserName", L"DefaultPassword", L"DefaultDomainName"});
  for (const Saved& s : saved_) Remove(s.root, s.path, s.name);
  StartOn("13,1");
  HWND box = Control("Checkbox_UserLogin_AutoLogin_ActiveAutoLogin");
  HWND user = Control("Edit_UserLogin_AutoLogin_LoginInfo_UserName");
  HWND password = Control("Edit_UserLogin_AutoLogin_LoginInfo_Password");
  ASSERT_TRUE(box && user && password);
  EXPECT_FALSE(Checked(box));
  EXPECT_FALSE(IsWindowEnabled(user)) << "the user details wait for the box";
  EXPECT_NE(GetWindowLongW(password, GWL_STYLE) & ES_PASSWORD, 0) << "the password is shown as typed";
  EXPECT_NE(SendMessageW(password, EM_GETPASSWORDCHAR, 0, 0), 0);

  ClickAndWaitForApply(box);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(password) != FALSE; }, kTimeoutMs));
  Type(user, L"corvanel");
  Type(password, L"pa55 word");
  EXPECT_FALSE(StoredText(HKEY_LOCAL_MACHINE, kWinlogon, L"DefaultPassword")) << "written before Apply";
  ApplyAndWait();
  EXPECT_EQ(StoredText(HKEY_LOCAL_MACHINE, kWinlogon, L"AutoAdminLogon"), L"1");
  EXPECT_EQ(StoredText(HKEY_LOCAL_MACHINE, kWinlogon, L"DefaultUserName"), L"corvanel");
  EXPECT_EQ(StoredText(HKEY_LOCAL_MACHINE, kWinlogon, L"DefaultPassword"), L"pa55 word");
  EXPECT_EQ(StoredText(HKEY_LOCAL_MACHINE, kWinlogon, L"DefaultDomainName"), L"");

  ClickAndWaitForApply(box);
  EXPECT_FALSE(IsWindowEnabled(password));
  ApplyAndWait();
  EXPECT_EQ(StoredText(HKEY_LOCAL_MACHINE, kWinlogon, L"AutoAdminLogon"), L"0");
  for (const wchar_t* name : {L"DefaultUserName", L"DefaultPassword", L"DefaultDomainName"}) {
    EXPECT_FALSE(Stored(HKEY_LOCAL_MACHINE, kWinlogon, name).has_value()) << "left behind";
  }
}

TEST_F(SecurityPages, PrivacyBoxIsWrittenOnApply) {
  Keep(HKEY_CURRENT_USER, kWebcheck, {L"NoScheduledUpdates"});
  Remove(HKEY_CURRENT_USER, kWebcheck, L"NoScheduledUpdates");
  StartOn("12,2");
  HWND box = Control("Checkbox_Privacy_IE_Update_Stop");
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(Checked(box));
  ClickAndWaitForApply(box);
  EXPECT_FALSE(Stored(HKEY_CURRENT_USER, kWebcheck, L"NoScheduledUpdates")) << "written before Apply";
  ApplyAndWait();
  const auto stored = Stored(HKEY_CURRENT_USER, kWebcheck, L"NoScheduledUpdates");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->first, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(stored->second, (std::vector<BYTE>{1, 0, 0, 0}));
}

struct ServiceState {
  DWORD state = 0;
  DWORD start_type = 0;
};

std::optional<ServiceState> QueryService(const wchar_t* name) {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (manager == nullptr) return std::nullopt;
  std::optional<ServiceState> result;
  if (SC_HANDLE service = OpenServiceW(manager, name, SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG)) {
    SERVICE_STATUS status{};
    std::vector<BYTE> buffer(8192);
    DWORD needed = 0;
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (QueryServiceStatus(service, &status) &&
        QueryServiceConfigW(service, config, static_cast<DWORD>(buffer.size()), &needed)) {
      result = ServiceState{status.dwCurrentState, config->dwStartType};
    }
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
  return result;
}

TEST_F(SecurityPages, SecurityCenterBoxStartsTheServiceOnWindows7) {
  HKEY existing = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kProgramDefaults, 0, KEY_READ, &existing) == ERROR_SUCCESS) {
    RegCloseKey(existing);
  } else {
    new_keys_.push_back(kProgramDefaults);
  }
  Keep(HKEY_CURRENT_USER, kProgramDefaults, {L"Version"});
  PutText(HKEY_CURRENT_USER, kProgramDefaults, L"Version", L"win7");
  std::string error;
  const auto service = wine_test::TestService::Install("wscsvc", {}, &error);
  ASSERT_TRUE(service) << error;
  ASSERT_EQ(QueryService(L"wscsvc")->state, static_cast<DWORD>(SERVICE_STOPPED));

  StartOn("18,0");
  HWND box = Control("Checkbox_Security_Center_Active");
  HWND warning = Control("Checkbox_Security_Center_SC_NoFirewall");
  ASSERT_TRUE(box && warning);
  EXPECT_FALSE(Checked(box)) << "a stopped service shows unchecked";
  EXPECT_TRUE(IsWindowEnabled(box));
  EXPECT_FALSE(IsWindowEnabled(warning));

  ClickAndWaitForApply(box);
  EXPECT_TRUE(IsWindowEnabled(warning));
  EXPECT_EQ(QueryService(L"wscsvc")->state, static_cast<DWORD>(SERVICE_STOPPED)) << "started before Apply";
  ApplyAndWait();
  ASSERT_TRUE(WaitFor([] { return QueryService(L"wscsvc")->state == SERVICE_RUNNING; }, kTimeoutMs))
      << "the service did not start";
  EXPECT_EQ(QueryService(L"wscsvc")->start_type, static_cast<DWORD>(SERVICE_AUTO_START));
}

}  // namespace
}  // namespace corvanel::e2e
