// The main window of corvanel.exe: the top-level window of class "TCorvanel_FormMain"
// that hosts the rendered main form, supplies the hooks the window's logic needs
// (message processing, error dialog, close, owner handle), follows the monitor's DPI and
// answers the automation queries of automation.h.
#pragma once


#include <cstdint>
#include <memory>
#include <string>

#include "ui/main_window.h"
#include "ui/win32/form_view.h"
#include "ui/win32/search_view.h"
// After the model headers: Windows macros would clash with their names.
#include "platform/win32/windows_api.h"

namespace corvanel::ui::win32 {

// The least form of a crash reporter: the error text in a dialog, and the choice to go
// on or to close the program.
class ErrorDialog : public ErrorReporter {
 public:
  explicit ErrorDialog(HWND* owner) : owner_(owner) {}
  ErrorChoice Report(const std::string& where, const std::string& what) override;

 private:
  HWND* owner_;
};

class MainFrame {
 public:
  explicit MainFrame(TCorvanel_FormMain& model);
  ~MainFrame();
  MainFrame(const MainFrame&) = delete;
  MainFrame& operator=(const MainFrame&) = delete;

  // A page's first visit, in microseconds: the whole, the part inside the system's window
  // creation, and the paint after it.
  struct Visit {
    std::int64_t total_us = 0;
    std::int64_t windows_us = 0;
    std::int64_t paint_us = 0;
  };

  // Creates the window (hidden), centred on the primary monitor's work area, and runs
  // the form's first show (the loading panel and the timers start) before its controls
  // get their windows.
  bool Create();
  // Shows it.
  void Show(int show_command);
  // Runs until the window is gone; returns the exit code.
  int RunMessageLoop();

  HWND Handle() const { return hwnd_; }
  SearchView* Search() const { return search_.get(); }

  // The start page is loaded and the loading panel has gone.
  bool StartupDone() const;

  // Processes the pending messages of this thread once (paint, timers, input).
  void ProcessPendingMessages();

  // Shows a dialog form over the main window until the form has a modal result (closing
  // the dialog or Esc is Cancel); the main window is disabled meanwhile.
  forms::ModalResult ShowModal(forms::Form& dialog);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Automation(const COPYDATASTRUCT& data);
  void Resize(int dpi, const RECT* suggested);
  bool TranslateAndDispatch(MSG& msg);
  // Tab, Shift+Tab, Esc and the arrow keys of radio groups; true when used.
  bool HandleKey(const MSG& msg);
  void ReportError(const std::string& message);

  TCorvanel_FormMain& model_;
  HWND hwnd_ = nullptr;
  std::unique_ptr<FormView> view_;
  std::unique_ptr<SearchView> search_;
  ErrorDialog errors_;
  forms::Form* modal_ = nullptr;  // the dialog shown now, if any
  bool close_after_modal_ = false;
  bool close_confirmed_ = false;
  bool quit_seen_ = false;
  int exit_code_ = 0;
  Visit last_visit_;  // for the page benchmark (kQueryLastVisit)
  std::int64_t pending_us_ = 0;  // spent in ProcessPendingMessages, for the same
};

// GetDpiForWindow where Windows has it (10 1607+), else the screen's LOGPIXELSX.
int WindowDpi(HWND hwnd);

}  // namespace corvanel::ui::win32
