// Start and Maintenance and Memory and Cache on the real corvanel.exe under Wine: a box
// clicked, Apply pressed, the system read back from outside the program and restored.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/remote.h"

namespace corvanel::e2e {
namespace {

constexpr int kStartTimeoutMs = 20000;
constexpr int kTimeoutMs = 10000;

class ReadyProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.Start(ProgramPath())) << "cannot start corvanel.exe, error " << GetLastError();
    ASSERT_NE(program_.WaitMainWindow(kStartTimeoutMs), nullptr) << "no main window appeared";
    ASSERT_TRUE(program_.WaitStartup(kStartTimeoutMs)) << "the start page did not finish loading";
  }
  // Opens `page` ("tag,tab"), clicks the box and presses Apply, each step awaited.
  void ClickAndApply(const std::string& page, const std::string& box_name) {
    ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, page), 1) << "cannot open " << page;
    HWND box = program_.Control(box_name);
    HWND apply = program_.Control("Button_Apply");
    ASSERT_TRUE(box && apply);
    box_checked_ = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    PostMessageW(box, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) != FALSE; }, kTimeoutMs)) << "Apply stayed disabled";
    before_apply_();
    PostMessageW(apply, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) == FALSE; }, kTimeoutMs)) << "Apply did not finish";
  }
  Program program_;
  bool box_checked_ = false;
  std::function<void()> before_apply_ = [] {};
};

// The beep is read and restored by fresh processes: Wine hands a process the values it
// read once, not what another one set since.
int Beep() { return RunTool(L"spi " + std::to_wstring(SPI_GETBEEP)); }
void SetBeep(bool on) { RunTool(L"spi-set " + std::to_wstring(SPI_SETBEEP) + (on ? L" 1 0" : L" 0 0")); }

class Beeping : public ReadyProgram {
 protected:
  void SetUp() override {
    const int state = Beep();
    ASSERT_TRUE(state == 0 || state == 1) << "cannot read the beep";
    original_ = state == 1;
    ReadyProgram::SetUp();
  }
  void TearDown() override {
    SetBeep(original_);
    EXPECT_EQ(Beep(), original_ ? 1 : 0) << "the original beep did not come back";
  }
  bool original_ = false;
};

TEST_F(Beeping, TheErrorTabBoxSetsTheBeepThroughApply) {
  before_apply_ = [&] { EXPECT_EQ(Beep(), original_ ? 1 : 0) << "set before Apply"; };
  ClickAndApply("16,3", "Checkbox_Startup_Error_Sound_beep");
  EXPECT_EQ(box_checked_, original_) << "the box shows the system's beep";
  EXPECT_EQ(Beep(), original_ ? 0 : 1);
}

constexpr wchar_t kMemoryKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
constexpr wchar_t kClearPageFile[] = L"ClearPageFileAtShutdown";

std::optional<DWORD> ReadDword(const wchar_t* path, const wchar_t* name) {
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, path, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

void WriteDword(const wchar_t* path, const wchar_t* name, DWORD value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  RegCloseKey(key);
}

void RemoveValue(const wchar_t* path, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueW(key, name);
  RegCloseKey(key);
}

// The page file box starts cleared (0 stored); the prefix gets back what it had.
class PageFile : public ReadyProgram {
 protected:
  void SetUp() override {
    saved_ = ReadDword(kMemoryKey, kClearPageFile);
    WriteDword(kMemoryKey, kClearPageFile, 0);
    ASSERT_EQ(ReadDword(kMemoryKey, kClearPageFile), 0u) << "cannot prepare the start state";
    ReadyProgram::SetUp();
  }
  void TearDown() override {
    if (saved_) {
      WriteDword(kMemoryKey, kClearPageFile, *saved_);
    } else {
      RemoveValue(kMemoryKey, kClearPageFile);
    }
  }
  std::optional<DWORD> saved_;
};

TEST_F(PageFile, DeletingThePageFileAtShutdownIsWrittenOnApply) {
  before_apply_ = [] { EXPECT_EQ(ReadDword(kMemoryKey, kClearPageFile), 0u) << "written before Apply"; };
  ClickAndApply("15,0", "Checkbox_MemoryAndCache_MemoryManage_Pagefile_Delete");
  EXPECT_FALSE(box_checked_) << "the box shows the stored 0";
  EXPECT_EQ(ReadDword(kMemoryKey, kClearPageFile), 1u);
  // No restart is offered for this one: the program is still there, without a question.
  EXPECT_TRUE(program_.Running());
  EXPECT_EQ(program_.WaitWindowOf(L"#32770", 300), nullptr) << "a message box appeared";
}

constexpr wchar_t kCrashKey[] = L"SYSTEM\\CurrentControlSet\\Control\\CrashControl";

// A restart after a crash stored, the error log on; beep and values come back afterwards.
class CrashListDefault : public Beeping {
 protected:
  void SetUp() override {
    for (const wchar_t* name : {L"AutoReboot", L"LogEvent"}) saved_.push_back(ReadDword(kCrashKey, name));
    WriteDword(kCrashKey, L"AutoReboot", 1);
    WriteDword(kCrashKey, L"LogEvent", 1);
    ASSERT_EQ(ReadDword(kCrashKey, L"AutoReboot"), 1u) << "cannot prepare the start state";
    Beeping::SetUp();
  }
  void TearDown() override {
    Beeping::TearDown();
    const wchar_t* names[] = {L"AutoReboot", L"LogEvent"};
    for (std::size_t i = 0; i < saved_.size(); ++i) {
      if (saved_[i]) {
        WriteDword(kCrashKey, names[i], *saved_[i]);
      } else {
        RemoveValue(kCrashKey, names[i]);
      }
    }
  }
  std::vector<std::optional<DWORD>> saved_;
};

TEST_F(CrashListDefault, DefaultThenApplyWritesTheChoiceTheListShows) {
  ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, "16,3"), 1);
  HWND list = program_.Control("CB_Startup_Error_SystemError_Type");
  HWND button = program_.Control("Button_Startup_Error_Default");
  HWND apply = program_.Control("Button_Apply");
  ASSERT_TRUE(list && button && apply);
  EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 1) << "AutoReboot 1 shows the restart";

  PostMessageW(button, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) != FALSE; }, kTimeoutMs)) << "Apply stayed disabled";
  EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 0) << "the list does not show the default";
  EXPECT_EQ(ReadDword(kCrashKey, L"AutoReboot"), 1u) << "written before Apply";

  PostMessageW(apply, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) == FALSE; }, kTimeoutMs)) << "Apply did not finish";
  EXPECT_EQ(ReadDword(kCrashKey, L"AutoReboot"), 0u) << "Apply did not write what the list shows";
  EXPECT_EQ(ReadDword(kCrashKey, L"LogEvent"), 1u);
}

}  // namespace
}  // namespace corvanel::e2e
