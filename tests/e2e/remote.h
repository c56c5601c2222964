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

  bool Start(const std::wstring& exe);
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
  bool StartupDone() const { return Query(ui::win32::kQueryStartupDone) == 1; }
  // Waits until the start page is loaded and the loading panel has gone.
  bool WaitStartup(int timeout_ms) const;

 private:
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

// Text of another process's window (WM_GETTEXT; GetWindowText returns "" for edits of
// other processes).
std::wstring TextOf(HWND hwnd);
// The window that has the keyboard focus in the thread of `hwnd`.
HWND FocusOf(HWND hwnd);

}  // namespace corvanel::e2e
