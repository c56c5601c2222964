// Program entry of corvanel.exe: one instance per session, then the main window.

#include <exception>
#include <memory>
#include <string>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "ui/main_window.h"
#include "ui/win32/automation.h"
#include "ui/win32/main_frame.h"

#include <commctrl.h>

#if __has_include("pages/all_pages.h")
#include "pages/all_pages.h"
#define CORVANEL_HAVE_PAGES 1
#endif

namespace {

using corvanel::platform::win32::Widen;
namespace w32 = corvanel::ui::win32;

// A second start hands over to the running window and leaves without one of its own.
void ActivateRunningInstance() {
  HWND running = FindWindowW(w32::kMainWindowClass, nullptr);
  if (running == nullptr) return;
  if (IsIconic(running)) PostMessageW(running, WM_SYSCOMMAND, SC_RESTORE, 0);
  SetForegroundWindow(running);
  // Bounded: a hung first instance must not hang this one too.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(running, w32::kActivateMessage, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

// An elevated program loads system DLLs from System32 only.
void RestrictDllSearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  if (kernel32 == nullptr) return;
  auto fn = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
  if (fn != nullptr) fn(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
}

// The manifest declares per-monitor awareness; this covers a manifest the loader
// ignored (older systems read only <dpiAware>).
void EnsureDpiAwareness() {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return;
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  using SetAwareFn = BOOL(WINAPI*)();
  if (auto fn = reinterpret_cast<SetContextFn>(
          reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")))) {
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2; fails harmlessly when already set.
    if (fn(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return;
    return;
  }
  if (auto fn = reinterpret_cast<SetAwareFn>(reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware"))))
    fn();
}

corvanel::ui::PageModules CreatePages() {
#ifdef CORVANEL_HAVE_PAGES
  return corvanel::pages::CreateAllPages();
#else
  return {};
#endif
}

void ShowFatal(const std::string& what) {
  const std::string text = "Corvanel cannot start:\n\n" + what;
  MessageBoxW(nullptr, Widen(text).c_str(), Widen(corvanel::ui::kApplicationTitle).c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show_command) {
  // Owned by this process until it ends; a second start finds it and hands over.
  HANDLE mutex = CreateMutexW(nullptr, TRUE, w32::kMutexName);
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    ActivateRunningInstance();
    if (mutex != nullptr) CloseHandle(mutex);
    return 0;
  }
  RestrictDllSearch();
  EnsureDpiAwareness();

  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS |
              ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES;
  InitCommonControlsEx(&icc);

  int code = 0;
  try {
    auto platform = corvanel::platform::MakeWin32Platform();
    corvanel::ui::TCorvanel_FormMain model(*platform, CreatePages());
    model.SetPageFactory(&CreatePages);
    w32::MainFrame frame(model);
    if (!frame.Create()) {
      ShowFatal("The main window could not be created.");
      code = 1;
    } else {
      frame.Show(show_command);
      code = frame.RunMessageLoop();
    }
  } catch (const std::exception& e) {
    ShowFatal(e.what());
    code = 1;
  }
  if (mutex != nullptr) CloseHandle(mutex);
  return code;
}
