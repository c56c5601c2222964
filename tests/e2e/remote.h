// Drives a running corvanel.exe from another process: starts it, finds its window and
// controls, asks it the automation queries of ui/win32/automation.h, and waits for
// conditions with a deadline. Every wait is bounded.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "ui/win32/automation.h"

#include <windows.h>

namespace corvanel::e2e {

// Polls `condition` every few milliseconds until it holds or `timeout_ms` passed.
bool WaitFor(const std::function<bool()>& condition, int timeout_ms);

// The folder of this executable, with a trailing backslash.
std::wstring ExeFolder();
// corvanel.exe of the same build: <build>\ui\win32\corvanel.exe, seen from
// <build>\tests\e2e\.
std::wstring ProgramPath();

class Program {
 public:
  Program() = default;
  ~Program();  // ends a process still running (bounded)
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Start(const std::wstring& exe, const std::wstring& args = {});
  DWORD Pid() const { return pi_.dwProcessId; }
  HANDLE Process() const { return pi_.hProcess; }
  bool Running() const;
  // Waits for the process to end; false on time-out. `code` receives its exit code.
  bool WaitExit(int timeout_ms, DWORD* code);

  // Its top-level window of the given class, or null.
  HWND FindWindowOf(const wchar_t* cls) const;
  // Waits for the main window to exist; null on time-out.
  HWND WaitMainWindow(int timeout_ms);
  HWND Main() const { return main_; }
  // Uses a window found by other means (a program the caller did not start).
  void Attach(HWND main) { main_ = main; }

  LRESULT Query(ui::win32::AutomationQuery query, const std::string& arg = {}) const;
  HWND Control(const std::string& name) const;
  // A control of a dialog window of this program (dialogs answer for their own controls).
  HWND ControlIn(HWND dialog, const std::string& name) const;
  // Waits for a visible top-level window of the class; null on time-out.
  HWND WaitWindowOf(const wchar_t* cls, int timeout_ms) const;
  bool StartupDone() const { return Query(ui::win32::kQueryStartupDone) == 1; }
  // Waits until the start page is loaded and the loading panel has gone.
  bool WaitStartup(int timeout_ms) const;

 private:
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

// Runs this driver's "--tool ..." `args` in a fresh process; its exit code, -1 when it
// did not start or end in time.
int RunTool(const std::wstring& args);

// Sends a query to one window of the program (bounded); 0 when it does not answer.
LRESULT QueryWindow(HWND target, ui::win32::AutomationQuery query, const std::string& arg);

// Check marks of another process's list view. Setting one goes through a buffer in that
// process (a pointer of ours means nothing there) and notifies the list's parent as a
// click on the box would.
int ListItemCount(HWND list);
bool ListItemChecked(HWND list, int item);
bool SetListItemChecked(HANDLE process, HWND list, int item, bool checked);

// Text of another process's window (WM_GETTEXT; GetWindowText returns "" for edits of
// other processes).
std::wstring TextOf(HWND hwnd);
// The window that has the keyboard focus in the thread of `hwnd`.
HWND FocusOf(HWND hwnd);

}  // namespace corvanel::e2e
