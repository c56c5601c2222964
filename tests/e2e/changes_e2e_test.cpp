// The window "Changes" on the real corvanel.exe under Wine: it lists one row per pending
// change, and its Undo last Apply puts the registry, a system parameter and the pages'
// boxes back as they were before Apply.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/remote.h"

namespace corvanel::e2e {
namespace {

constexpr int kStartTimeoutMs = 20000;
constexpr int kTimeoutMs = 10000;
constexpr wchar_t kChangesClass[] = L"TCorvanel_FormChanges";

constexpr wchar_t kPolicies[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr wchar_t kDfrg[] = L"SOFTWARE\\Microsoft\\Dfrg";
constexpr wchar_t kDfrgKey[] = L"SOFTWARE\\Microsoft\\Dfrg\\BootOptimizeFunction";

constexpr char kWinKeyBox[] = "Checkbox_Use_Keyboard_WinKey_Active";
constexpr char kDefragBox[] = "Checkbox_Startup_System_Defrag_Enable";
constexpr char kBeepBox[] = "Checkbox_Startup_Error_Sound_beep";

// Every value below a key, as text, in the order the registry lists them.
void Export(HKEY root, const std::wstring& path, std::vector<std::wstring>& out) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    out.push_back(L"[" + path + L"] missing");
    return;
  }
  out.push_back(L"[" + path + L"]");
  for (DWORD i = 0;; ++i) {
    wchar_t name[512];
    DWORD name_len = 512;
    BYTE data[4096];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegEnumValueW(key, i, name, &name_len, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
    std::wstring line = std::wstring(name) + L"=" + std::to_wstring(type) + L":";
    for (DWORD b = 0; b < size; ++b) line += std::to_wstring(data[b]) + L",";
    out.push_back(line);
  }
  std::vector<std::wstring> subkeys;
  for (DWORD i = 0;; ++i) {
    wchar_t name[512];
    DWORD name_len = 512;
    if (RegEnumKeyExW(key, i, name, &name_len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.push_back(name);
  }
  RegCloseKey(key);
  for (const std::wstring& sub : subkeys) Export(root, path + L"\\" + sub, out);
}

std::vector<std::wstring> ExportAll() {
  std::vector<std::wstring> out;
  Export(HKEY_CURRENT_USER, kPolicies, out);
  Export(HKEY_LOCAL_MACHINE, kDfrg, out);
  return out;
}

int Beep() { return RunTool(L"spi " + std::to_wstring(SPI_GETBEEP)); }
void SetBeep(bool on) { RunTool(L"spi-set " + std::to_wstring(SPI_SETBEEP) + (on ? L" 1 0" : L" 0 0")); }

bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

class ChangesWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    const int beep = Beep();
    ASSERT_TRUE(beep == 0 || beep == 1) << "cannot read the beep";
    beep_ = beep == 1;
    // Windows keys switched off by policy; no boot defragmentation setting.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kPolicies, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD one = 1;
    RegSetValueExW(key, L"NoWinKeys", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegCloseKey(key);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kDfrgKey);
    ASSERT_TRUE(program_.Start(ProgramPath())) << "cannot start corvanel.exe, error " << GetLastError();
    ASSERT_NE(program_.WaitMainWindow(kStartTimeoutMs), nullptr) << "no main window appeared";
    ASSERT_TRUE(program_.WaitStartup(kStartTimeoutMs)) << "the start page did not finish loading";
  }
  void TearDown() override {
    SetBeep(beep_);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kPolicies, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueW(key, L"NoWinKeys");
      RegCloseKey(key);
    }
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kDfrgKey);
  }
  HWND ShowAndFind(const std::string& page, const char* box) {
    EXPECT_EQ(program_.Query(ui::win32::kQueryShowPage, page), 1) << "cannot open " << page;
    return program_.Control(box);
  }
  // Answers the restart question No (Yes would restart the machine).
  void AnswerRestartNo() {
    HWND question = program_.WaitWindowOf(L"#32770", kTimeoutMs);
    ASSERT_NE(question, nullptr) << "no restart question";
    HWND no = GetDlgItem(question, IDNO);
    ASSERT_NE(no, nullptr) << "the question has no No button";
    PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), reinterpret_cast<LPARAM>(no));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(question) || !IsWindowVisible(question); }, kTimeoutMs));
  }
  HWND OpenChanges() {
    HWND button = program_.Control("Button_Changes");
    EXPECT_TRUE(button != nullptr && IsWindowEnabled(button)) << "Changes... is not available";
    PostMessageW(button, BM_CLICK, 0, 0);
    return program_.WaitWindowOf(kChangesClass, kTimeoutMs);
  }
  // Esc closes the window.
  void CloseChanges(HWND dialog, HWND focus) {
    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, kTimeoutMs)) << "Esc did not close the window";
  }

  Program program_;
  bool beep_ = false;
};

TEST_F(ChangesWindow, ListsEachChangeAndUndoesTheApply) {
  const std::vector<std::wstring> before = ExportAll();
  HWND apply = program_.Control("Button_Apply");
  ASSERT_NE(apply, nullptr);
  // Each box clicked while its page is in front, as a user does.
  const struct {
    const char* page;
    const char* box;
    bool was;
  } clicks[] = {{"4,3", kWinKeyBox, false}, {"16,0", kDefragBox, false}, {"16,3", kBeepBox, beep_}};
  for (const auto& c : clicks) {
    HWND box = ShowAndFind(c.page, c.box);
    ASSERT_NE(box, nullptr) << c.box;
    ASSERT_EQ(Checked(box), c.was) << c.box << " does not show the system's state";
    PostMessageW(box, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return Checked(box) != c.was; }, kTimeoutMs)) << c.box;
  }
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) != FALSE; }, kTimeoutMs)) << "Apply stayed disabled";

  // Pending: one row per change.
  HWND dialog = OpenChanges();
  ASSERT_NE(dialog, nullptr) << "the Changes window did not open";
  HWND list = program_.ControlIn(dialog, "ListView_Changes");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ListItemCount(list), 3);
  CloseChanges(dialog, list);

  PostMessageW(apply, BM_CLICK, 0, 0);
  AnswerRestartNo();
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) == FALSE; }, kTimeoutMs)) << "Apply did not finish";
  ASSERT_NE(ExportAll(), before) << "Apply wrote nothing";
  ASSERT_EQ(Beep(), beep_ ? 0 : 1);

  dialog = OpenChanges();
  ASSERT_NE(dialog, nullptr);
  list = program_.ControlIn(dialog, "ListView_Changes");
  HWND undo = program_.ControlIn(dialog, "Button_Changes_Undo");
  ASSERT_TRUE(list && undo);
  // The Apply's changes: the key it created for the boot defragmentation value is a row
  // of its own.
  EXPECT_EQ(ListItemCount(list), 4) << "the Apply's changes";
  ASSERT_TRUE(IsWindowEnabled(undo));
  PostMessageW(undo, BM_CLICK, 0, 0);
  // The undone Apply asked the restart question: it is asked again.
  AnswerRestartNo();
  ASSERT_TRUE(WaitFor([&] { return ListItemCount(list) == 0; }, kTimeoutMs)) << "the list still shows the Apply";
  EXPECT_FALSE(IsWindowEnabled(undo));
  CloseChanges(dialog, list);

  EXPECT_EQ(ExportAll(), before);
  EXPECT_EQ(Beep(), beep_ ? 1 : 0) << "the beep was not set back";
  // The pages show the old states again.
  EXPECT_FALSE(Checked(program_.Control(kWinKeyBox)));
  EXPECT_FALSE(Checked(program_.Control(kDefragBox)));
  EXPECT_EQ(Checked(program_.Control(kBeepBox)), beep_);
  EXPECT_FALSE(IsWindowEnabled(apply));
}

}  // namespace
}  // namespace corvanel::e2e
