// Finding a setting on the real corvanel.exe under Wine with the keyboard alone: Ctrl+F,
// a few words, Enter; the setting's page, tab and control come to the front with the
// focus, and nothing is changed.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/remote.h"

namespace corvanel::e2e {
namespace {

using ui::win32::kQueryItemHighlighted;
using ui::win32::kQuerySelectedTag;

constexpr int kStartTimeoutMs = 20000;
constexpr int kTimeoutMs = 10000;

class Search : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.Start(ProgramPath())) << "cannot start corvanel.exe, error " << GetLastError();
    ASSERT_NE(program_.WaitMainWindow(kStartTimeoutMs), nullptr) << "no main window appeared";
    ASSERT_TRUE(program_.WaitStartup(kStartTimeoutMs)) << "the start page did not finish loading";
    box_ = program_.Control("Edit_Search");
    ASSERT_NE(box_, nullptr);
  }

  // Ctrl+F as the keyboard sends it, to the window in front.
  void CtrlF() {
    SetForegroundWindow(program_.Main());
    INPUT keys[4] = {};
    const WORD codes[4] = {VK_CONTROL, 'F', 'F', VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
      keys[i].type = INPUT_KEYBOARD;
      keys[i].ki.wVk = codes[i];
      keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    SendInput(4, keys, sizeof(INPUT));
  }

  // Ctrl+F, the query typed into the box, Enter; true when the focus moved off the box.
  bool Find(const std::wstring& query) {
    CtrlF();
    if (!WaitFor([&] { return FocusOf(program_.Main()) == box_; }, kTimeoutMs)) return false;
    for (wchar_t ch : query) SendMessageW(box_, WM_CHAR, ch, 0);
    PostMessageW(box_, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(box_, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000000));
    return WaitFor([&] { return FocusOf(program_.Main()) != box_; }, kTimeoutMs);
  }

  void ExpectOpened(int tag, const std::string& control) {
    HWND target = program_.Control(control);
    ASSERT_NE(target, nullptr) << control << " has no window";
    EXPECT_EQ(FocusOf(program_.Main()), target) << control << " has not the focus";
    EXPECT_TRUE(IsWindowVisible(target)) << "the tab holding " << control << " is not in front";
    EXPECT_EQ(program_.Query(kQuerySelectedTag), tag);
    EXPECT_EQ(program_.Query(kQueryItemHighlighted, std::to_string(tag)), 1);
    EXPECT_FALSE(IsWindowEnabled(program_.Control("Button_Apply"))) << "opening a result changed something";
  }

  Program program_;
  HWND box_ = nullptr;
};

TEST_F(Search, KeyboardAloneOpensTheSettingsPageTabAndControl) {
  ASSERT_TRUE(Find(L"administrative shares")) << "Enter did not open a result";
  ExpectOpened(7, "Checkbox_Net_Neighbor_Security_ActiveShare");
  // Another page, on a tab that is not its first.
  ASSERT_TRUE(Find(L"critical error")) << "Enter did not open the second result";
  ExpectOpened(16, "CB_Startup_Error_SystemError_Type");
  EXPECT_FALSE(IsWindowVisible(program_.Control("Checkbox_Net_Neighbor_Security_ActiveShare")));
}

}  // namespace
}  // namespace corvanel::e2e
