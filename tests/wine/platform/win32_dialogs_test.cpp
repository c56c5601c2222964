// The system dialogs, answered by a helper thread the way a user would: find the dialog
// this thread opened, fill it in, press a button. Needs the session's X display.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <thread>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

#include <dlgs.h>
#include "tests/platform/contract.h"

namespace corvanel::platform {
namespace {

// Waits (bounded) for a dialog of `thread` and hands it to `answer`; if none shows up,
// whatever windows the thread has are closed so the modal call cannot hang the test.
class DialogAnswerer {
 public:
  explicit DialogAnswerer(std::function<void(HWND)> answer)
      : thread_id_(GetCurrentThreadId()), worker_([this, answer] { Run(answer); }) {}
  ~DialogAnswerer() { worker_.join(); }
  bool found() const { return found_; }

 private:
  static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM out) {
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    if (IsWindowVisible(hwnd) && std::wstring_view(name) == L"#32770") {
      *reinterpret_cast<HWND*>(out) = hwnd;
      return FALSE;
    }
    return TRUE;
  }
  static BOOL CALLBACK CloseAll(HWND hwnd, LPARAM) {
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
  }
  void Run(const std::function<void(HWND)>& answer) {
    for (int i = 0; i < 500; ++i) {
      HWND dialog = nullptr;
      EnumThreadWindows(thread_id_, FindDialog, reinterpret_cast<LPARAM>(&dialog));
      if (dialog) {
        Sleep(50);  // let the dialog finish its WM_INITDIALOG work
        found_ = true;
        answer(dialog);
        return;
      }
      Sleep(10);
    }
    EnumThreadWindows(thread_id_, CloseAll, 0);
  }

  DWORD thread_id_;
  std::atomic<bool> found_{false};
  std::thread worker_;
};

void Press(HWND dialog, int id) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

class Win32DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, std::getenv("DISPLAY")) << "the dialogs need an X display: run inside scripts/wine-session";
  }

  std::unique_ptr<Platform> platform_ = contract::MakePlatformUnderTest();
  Dialogs& dialogs_ = platform_->dialogs();
};

TEST_F(Win32DialogsTest, MessageBoxReturnsTheButtonPressed) {
  for (int button : {IDYES, IDNO}) {
    SCOPED_TRACE(button);
    std::wstring text;
    int result = 0;
    {
      DialogAnswerer answerer([&](HWND dialog) {
        wchar_t buffer[64] = {};
        GetDlgItemTextW(dialog, 0xFFFF, buffer, 64);  // the static text of a message box
        text = buffer;
        Press(dialog, button);
      });
      result = dialogs_.MessageBox(0, "Restart Windows n\xC3\xB6w?", "Corvanel", MB_YESNO | MB_ICONQUESTION);
      ASSERT_TRUE(answerer.found());
    }
    EXPECT_EQ(button, result);
    EXPECT_EQ(L"Restart Windows n\u00f6w?", text);
  }
}

TEST_F(Win32DialogsTest, ColourDialogStartsFromTheGivenColour) {
  {
    std::uint32_t colour = 0x00336699;
    DialogAnswerer answerer([](HWND dialog) { Press(dialog, IDOK); });
    ASSERT_TRUE(dialogs_.ChooseColor(0, &colour));
    EXPECT_TRUE(answerer.found());
    EXPECT_EQ(0x00336699u, colour);
  }
  {
    std::uint32_t colour = 0x00112233;
    DialogAnswerer answerer([](HWND dialog) { Press(dialog, IDCANCEL); });
    EXPECT_FALSE(dialogs_.ChooseColor(0, &colour));
    EXPECT_EQ(0x00112233u, colour);
  }
}

TEST_F(Win32DialogsTest, OpenFileReturnsTheChosenPathOrCancel) {
  const std::string folder = contract::ContractScratchFolder();
  const std::string file = folder + "\\notepad.exe";
  ASSERT_TRUE(platform_->files().WriteFileAtomic(file, {'M', 'Z'}));
  const std::vector<FileFilter> filters = {{"Executable file", "*.exe"}, {"All files", "*.*"}};
  {
    std::string path;
    DialogAnswerer answerer([&](HWND dialog) {
      const std::wstring wide = win32::Widen(file);
      SetDlgItemTextW(dialog, cmb13, wide.c_str());
      SetDlgItemTextW(dialog, edt1, wide.c_str());
      Press(dialog, IDOK);
    });
    ASSERT_TRUE(dialogs_.OpenFile(0, filters, folder, &path));
    EXPECT_TRUE(answerer.found());
    EXPECT_EQ(file, path);
  }
  {
    std::string path = "unchanged";
    DialogAnswerer answerer([](HWND dialog) { Press(dialog, IDCANCEL); });
    EXPECT_FALSE(dialogs_.OpenFile(0, filters, file, &path));
    EXPECT_EQ("unchanged", path);
  }
}

}  // namespace
}  // namespace corvanel::platform
