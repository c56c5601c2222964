#include "ui/win32/main_frame.h"

#include <commctrl.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <set>
#include <utility>
#include <string_view>

#include "platform/win32/wide_text.h"
#include "ui/win32/art.h"
#include "ui/win32/automation.h"
#include "ui/win32/group_bar_view.h"
#include "ui/win32/res/resource_ids.h"

namespace corvanel::ui::win32 {

using platform::win32::Widen;

namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

const COLORREF kHeaderLeft = RGB(255, 255, 255);
const COLORREF kHeaderRight = RGB(199, 214, 242);
const COLORREF kHeaderLine = RGB(138, 160, 200);

template <class Fn>
Fn User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

int SystemDpi() {
  using GetDpiForSystemFn = UINT(WINAPI*)();
  if (auto fn = User32Function<GetDpiForSystemFn>("GetDpiForSystem")) return static_cast<int>(fn());
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

RECT WindowRectForClient(int width, int height, int dpi) {
  RECT rc{0, 0, width, height};
  using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  if (auto fn = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi"))
    fn(&rc, kStyle, FALSE, kExStyle, static_cast<UINT>(dpi));
  else
    AdjustWindowRectEx(&rc, kStyle, FALSE, kExStyle);
  return rc;
}

std::string_view DataText(const COPYDATASTRUCT& data) {
  if (data.lpData == nullptr || data.cbData == 0) return {};
  return {static_cast<const char*>(data.lpData), data.cbData};
}

int ParseInt(std::string_view text, int fallback) {
  int value = fallback;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() ? value : fallback;
}

}  // namespace

int WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto fn = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (fn != nullptr && hwnd != nullptr) {
    const UINT dpi = fn(hwnd);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

ErrorChoice ErrorDialog::Report(const std::string& where, const std::string& what) {
  std::string text = "An error occurred";
  if (!where.empty()) text += " (" + where + ")";
  text += ":\n\n" + what +
          "\n\nChoose OK to continue working. Choose Cancel to close Corvanel; changes not yet "
          "applied are discarded.";
  const int answer = MessageBoxW(owner_ != nullptr ? *owner_ : nullptr, Widen(text).c_str(),
                                 Widen(kApplicationTitle).c_str(), MB_OKCANCEL | MB_ICONERROR | MB_DEFBUTTON1);
  return answer == IDCANCEL ? ErrorChoice::Close : ErrorChoice::Continue;
}

MainFrame::MainFrame(TCorvanel_FormMain& model) : model_(model), errors_(&hwnd_) {}

MainFrame::~MainFrame() {
  search_.reset();
  model_.SetShowModal({});
  model_.SetProcessMessages({});
  model_.SetCloseHandler({});
  model_.SetErrorReporter(nullptr);
  view_.reset();
  if (hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool MainFrame::Create() {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.hInstance = inst;
  wc.lpfnWndProc = &MainFrame::Proc;
  wc.lpszClassName = kMainWindowClass;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.hIcon = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(IDI_CORVANEL), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                           GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  wc.hIconSm = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(IDI_CORVANEL), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                             LR_DEFAULTCOLOR));
  if (RegisterClassExW(&wc) == 0) return false;

  const int dpi = SystemDpi();
  const RECT outer = WindowRectForClient(MulDiv(kClientWidth, dpi, 96), MulDiv(kClientHeight, dpi, 96), dpi);
  hwnd_ = CreateWindowExW(kExStyle, kMainWindowClass, Widen(model_.Caption()).c_str(), kStyle, CW_USEDEFAULT,
                          CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, inst, this);
  if (hwnd_ == nullptr) return false;

  FormView::Hooks hooks;
  hooks.report_error = [this](const std::string& message) { ReportError(message); };
  hooks.create_custom = [this](forms::Control& control, HWND parent, int id) -> HWND {
    if (auto* bar = dynamic_cast<GroupBar*>(&control)) return GroupBarView::Create(*view_, *bar, parent, id);
    return nullptr;
  };
  hooks.paint_backdrop = [](forms::Control& panel, HDC dc, const RECT& rc) {
    if (panel.Name() == "pantop") {
      if (dc != nullptr) FillGradient(dc, rc, kHeaderLeft, kHeaderRight, false);
      return true;
    }
    if (panel.Name() == "Bevel_Top") {
      if (dc != nullptr) {
        HBRUSH line = CreateSolidBrush(kHeaderLine);
        FillRect(dc, &rc, line);
        DeleteObject(line);
      }
      return true;
    }
    return false;
  };
  hooks.paint_image = [](forms::Image& image, HDC dc, const RECT& rc) {
    const std::string& picture = image.Picture();
    if (picture == "ProgramPicture") {
      DrawProgramPicture(dc, rc);
    } else if (picture == "LogonWelcome" || picture == "LogonClassic") {
      // What lies around the monitor is the parent's backdrop, already painted.
      DrawLogonPicture(dc, rc, picture == "LogonClassic", GetPixel(dc, rc.left, rc.top));
    } else if (picture.rfind("Picture_", 0) == 0) {
      const int frame = ParseInt(std::string_view(picture).substr(8), 0);
      DrawLoadingFrame(dc, rc, frame, RGB(255, 255, 255));
    }
    // "TopBackground" is the header's own gradient, already painted behind the image.
  };
  view_ = std::make_unique<FormView>(model_, hwnd_, WindowDpi(hwnd_), std::move(hooks));

  model_.SetOwnerWindow(reinterpret_cast<std::uintptr_t>(hwnd_));
  model_.SetErrorReporter(&errors_);
  model_.SetProcessMessages([this] { ProcessPendingMessages(); });
  // Posted, not done at once: the request comes from inside a click on one of the
  // window's own buttons.
  model_.SetCloseHandler([this] {
    close_confirmed_ = true;
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
  });
  model_.SetShowModal([this](forms::Form& dialog) { return ShowModal(dialog); });

  // The form's show event comes before the window is on screen, as in the toolkit, and
  // before its controls have windows: the start-up timers run while those are made, and
  // the windows are made once, from the translated form with its loading panel in front.
  view_->Guarded([this] { model_.ShowForm(); });
  // The page in front at design is not the start page, and the loading panel covers it
  // until the start page is in: its windows wait (see RunMessageLoop).
  view_->Build(true);
  search_ = std::make_unique<SearchView>(model_, *view_, hwnd_);
  search_->Create();
  Resize(WindowDpi(hwnd_), nullptr);

  // Centred on the work area of the monitor the window opens on.
  RECT wr;
  GetWindowRect(hwnd_, &wr);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &mi);
  const RECT& work = mi.rcWork;
  const int w = wr.right - wr.left;
  const int h = wr.bottom - wr.top;
  SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - w) / 2, work.top + (work.bottom - work.top - h) / 2,
               0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void MainFrame::Show(int show_command) {
  ShowWindow(hwnd_, show_command);
  UpdateWindow(hwnd_);
}

void MainFrame::Resize(int dpi, const RECT* suggested) {
  view_->SetDpi(dpi);
  if (suggested != nullptr) {
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    const RECT rc = WindowRectForClient(MulDiv(kClientWidth, dpi, 96), MulDiv(kClientHeight, dpi, 96), dpi);
    SetWindowPos(hwnd_, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void MainFrame::ReportError(const std::string& message) {
  if (errors_.Report("", message) == ErrorChoice::Close && hwnd_ != nullptr) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

bool MainFrame::TranslateAndDispatch(MSG& msg) {
  if (msg.message == WM_QUIT) {
    quit_seen_ = true;
    exit_code_ = static_cast<int>(msg.wParam);
    return false;
  }
  if (hwnd_ != nullptr && view_ != nullptr && msg.message == WM_KEYDOWN &&
      (msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd)) &&
      ((search_ != nullptr && search_->HandleKey(msg)) || HandleKey(msg)))
    return true;
  // The rest of the dialog keys (mnemonics, Enter, Space) as in a dialog.
  if (hwnd_ != nullptr && IsWindow(hwnd_) && IsDialogMessageW(hwnd_, &msg)) return true;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

bool MainFrame::HandleKey(const MSG& msg) {
  const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  const bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
  if (ctrl || alt) return false;
  switch (msg.wParam) {
    case VK_TAB:
      return view_->FocusNext((GetKeyState(VK_SHIFT) & 0x8000) != 0);
    case VK_ESCAPE: {
      // An open drop-down list closes first, as in any dialog.
      wchar_t cls[16] = {};
      GetClassNameW(msg.hwnd, cls, 16);
      if (lstrcmpiW(cls, WC_COMBOBOXW) == 0 && SendMessageW(msg.hwnd, CB_GETDROPPEDSTATE, 0, 0) != 0) return false;
      view_->Guarded([this] {
        if (auto* cancel = model_.TryFind<forms::Button>("Button_Cancel")) cancel->UserClick();
      });
      return true;
    }
    case VK_LEFT:
    case VK_UP:
      return view_->MoveInRadioGroup(true);
    case VK_RIGHT:
    case VK_DOWN:
      return view_->MoveInRadioGroup(false);
    default:
      return false;
  }
}

void MainFrame::ProcessPendingMessages() {
  const auto start = std::chrono::steady_clock::now();
  MSG msg;
  while (!quit_seen_ && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!TranslateAndDispatch(msg)) {
      // Seen in the middle of work: the outer loop must still end.
      PostQuitMessage(exit_code_);
      break;
    }
  }
  pending_us_ += FormView::MicrosecondsSince(start);
}

int MainFrame::RunMessageLoop() {
  MSG msg;
  bool idle_seen = false;
  for (;;) {
    // Once the start page is up and nothing is waiting: a page still in front from the
    // design gets its windows (normally the start page has replaced it by then).
    if (!idle_seen && StartupDone() && PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) == FALSE) {
      idle_seen = true;
      if (view_ != nullptr) view_->RealizeShownSheets();
    }
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return 1;
    TranslateAndDispatch(msg);
  }
}

namespace {
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// A dialog's window class is its form's class, "T" + the form's name, so a driver finds
// it as it finds the main window.
std::wstring DialogClassOf(const forms::Form& dialog) { return L"T" + Widen(dialog.Name()); }

bool RegisterDialogClass(const std::wstring& name, WNDPROC proc) {
  static std::set<std::wstring> registered;
  if (registered.count(name) != 0) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpfnWndProc = proc;
  wc.lpszClassName = name.c_str();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  registered.insert(name);
  return true;
}

// The button that closes the dialog with `result` (OK, Cancel), null when it has none.
forms::Button* ButtonWithResult(const forms::Form& form, forms::ModalResult result) {
  for (forms::Component* c : form.Components()) {
    if (auto* b = dynamic_cast<forms::Button*>(c); b != nullptr && b->GetModalResult() == result) return b;
  }
  return nullptr;
}

// Esc and the close box: the Cancel button's own click where the user could press it,
// so whatever it does runs; the result is Cancel in any case.
void CancelDialog(forms::Form& dialog) {
  if (forms::Button* cancel = ButtonWithResult(dialog, forms::ModalResult::Cancel); cancel && cancel->CanUserReach())
    cancel->UserClick();
  if (dialog.Result() == forms::ModalResult::None) dialog.SetModalResult(forms::ModalResult::Cancel);
}

// Enter: the focused push button, else the OK button, as in any dialog.
void PressDefault(FormView& view) {
  forms::Control* focused = view.ControlOf(GetFocus());
  auto* button = dynamic_cast<forms::Button*>(focused);
  if (button == nullptr) button = ButtonWithResult(view.Form(), forms::ModalResult::Ok);
  if (button != nullptr) button->UserClick();
}

RECT DialogRectForClient(int width, int height, int dpi) {
  RECT rc{0, 0, width, height};
  using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  if (auto fn = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi"))
    fn(&rc, kDialogStyle, FALSE, kDialogExStyle, static_cast<UINT>(dpi));
  else
    AdjustWindowRectEx(&rc, kDialogStyle, FALSE, kDialogExStyle);
  return rc;
}
}  // namespace

LRESULT CALLBACK MainFrame::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* view = static_cast<FormView*>(GetPropW(hwnd, L"CorvanelFormView"));
  if (view != nullptr) {
    LRESULT routed = 0;
    if (view->Route(hwnd, msg, wp, lp, &routed)) return routed;
    switch (msg) {
      case WM_CLOSE:
        view->Guarded([view] { CancelDialog(view->Form()); });
        return 0;
      case WM_COPYDATA: {
        // A driver finds the dialog's controls as it finds the main window's.
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (data == nullptr || data->dwData != kQueryFindControl) return 0;
        return reinterpret_cast<LRESULT>(view->FindByName(std::string(DataText(*data))));
      }
      case 0x02E0: {  // WM_DPICHANGED
        view->SetDpi(HIWORD(wp));
        const RECT* r = reinterpret_cast<const RECT*>(lp);
        SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
      }
      default:
        break;
    }
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

forms::ModalResult MainFrame::ShowModal(forms::Form& dialog) {
  const std::wstring cls = DialogClassOf(dialog);
  if (!RegisterDialogClass(cls, &MainFrame::DialogProc)) return forms::ModalResult::Cancel;
  const int dpi = WindowDpi(hwnd_);
  const RECT rc = DialogRectForClient(MulDiv(dialog.ClientWidth(), dpi, 96), MulDiv(dialog.ClientHeight(), dpi, 96), dpi);
  const int w = rc.right - rc.left;
  const int h = rc.bottom - rc.top;
  RECT owner;
  GetWindowRect(hwnd_, &owner);
  const int x = owner.left + ((owner.right - owner.left) - w) / 2;
  const int y = owner.top + ((owner.bottom - owner.top) - h) / 2;
  HWND dlg = CreateWindowExW(kDialogExStyle, cls.c_str(), Widen(dialog.Caption()).c_str(), kDialogStyle, x, y, w, h,
                             hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (dlg == nullptr) return forms::ModalResult::Cancel;

  FormView::Hooks hooks;
  hooks.report_error = [this](const std::string& message) { ReportError(message); };
  auto view = std::make_unique<FormView>(dialog, dlg, dpi, std::move(hooks));
  view->Build();
  // The OK button wears the default frame: Enter presses it.
  if (forms::Button* ok = ButtonWithResult(dialog, forms::ModalResult::Ok))
    if (HWND ok_window = view->WindowOf(*ok))
      SendMessageW(ok_window, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  dialog.SetModalResult(forms::ModalResult::None);
  forms::Form* outer_modal = std::exchange(modal_, &dialog);
  // Message boxes and file dialogs opened meanwhile belong to the dialog, not to the
  // disabled main window.
  const std::uintptr_t outer_owner = model_.OwnerWindow();
  model_.SetOwnerWindow(reinterpret_cast<std::uintptr_t>(dlg));
  EnableWindow(hwnd_, FALSE);
  ShowWindow(dlg, SW_SHOW);
  view->Guarded([&] { dialog.ShowForm(); });
  view->FocusNext(false);

  bool quit = false;
  WPARAM quit_code = 0;
  while (dialog.Result() == forms::ModalResult::None && IsWindow(dlg)) {
    MSG msg;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      quit = got == 0;
      quit_code = msg.wParam;
      break;
    }
    if (msg.message == WM_KEYDOWN && (msg.hwnd == dlg || IsChild(dlg, msg.hwnd)) &&
        (GetKeyState(VK_CONTROL) & 0x8000) == 0 && (GetKeyState(VK_MENU) & 0x8000) == 0) {
      bool used = false;
      switch (msg.wParam) {
        case VK_TAB: used = view->FocusNext((GetKeyState(VK_SHIFT) & 0x8000) != 0); break;
        case VK_ESCAPE: {
          wchar_t name[16] = {};
          GetClassNameW(msg.hwnd, name, 16);
          if (lstrcmpiW(name, WC_COMBOBOXW) == 0 && SendMessageW(msg.hwnd, CB_GETDROPPEDSTATE, 0, 0) != 0) break;
          view->Guarded([&] { CancelDialog(dialog); });
          used = true;
          break;
        }
        case VK_RETURN: {
          // A multi-line edit takes Enter as a line break.
          auto* edit = dynamic_cast<forms::Edit*>(view->ControlOf(msg.hwnd));
          if (edit != nullptr && edit->MultiLine()) break;
          view->Guarded([&] { PressDefault(*view); });
          used = true;
          break;
        }
        case VK_LEFT: case VK_UP: used = view->MoveInRadioGroup(true); break;
        case VK_RIGHT: case VK_DOWN: used = view->MoveInRadioGroup(false); break;
        default: break;
      }
      if (used) continue;
    }
    if (IsDialogMessageW(dlg, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  const forms::ModalResult result =
      dialog.Result() == forms::ModalResult::None ? forms::ModalResult::Cancel : dialog.Result();
  modal_ = outer_modal;
  model_.SetOwnerWindow(outer_owner);
  // The owner comes back before the dialog goes, so activation returns to it.
  if (modal_ == nullptr) EnableWindow(hwnd_, TRUE);
  // The caller frees the form next: the view stops observing it first.
  view.reset();
  DestroyWindow(dlg);
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
  if (quit) PostQuitMessage(static_cast<int>(quit_code));
  if (close_after_modal_ && modal_ == nullptr) {
    close_after_modal_ = false;
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
  }
  return result;
}

LRESULT CALLBACK MainFrame::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<MainFrame*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    self = static_cast<MainFrame*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  return self->Handle(msg, wp, lp);
}

namespace {

// Times a page's first visit from its construction: the whole, less the other messages
// handled in the middle of the load (the loading animation at start-up), and the part
// spent inside the system's window creation.
class VisitClock {
 public:
  VisitClock(const FormView& view, const std::int64_t& pending_us)
      : view_(view),
        pending_us_(pending_us),
        start_(std::chrono::steady_clock::now()),
        creation_(view.WindowCreationMicroseconds()),
        pending_(pending_us) {}
  MainFrame::Visit Stop() const {
    MainFrame::Visit v;
    v.total_us = FormView::MicrosecondsSince(start_) - (pending_us_ - pending_);
    v.windows_us = view_.WindowCreationMicroseconds() - creation_;
    return v;
  }

 private:
  const FormView& view_;
  const std::int64_t& pending_us_;
  std::chrono::steady_clock::time_point start_;
  std::int64_t creation_;
  std::int64_t pending_;
};

}  // namespace

LRESULT MainFrame::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  if (view_ != nullptr) {
    // The tick that visits the start page is timed: no click reaches it first.
    const bool first_visit = msg == WM_TIMER && model_.LoadedPages().empty();
    const VisitClock clock(*view_, pending_us_);
    LRESULT routed = 0;
    if (search_ != nullptr && search_->Route(msg, wp, lp, &routed)) return routed;
    const bool handled = view_->Route(hwnd_, msg, wp, lp, &routed);
    if (first_visit && !model_.LoadedPages().empty()) last_visit_ = clock.Stop();
    if (handled) return routed;
  }
  switch (msg) {
    case kActivateMessage:
      if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
      ShowWindow(hwnd_, SW_SHOW);
      SetForegroundWindow(hwnd_);
      return 0;
    case WM_COMMAND:
      // Esc, as IsDialogMessage reports it.
      if (LOWORD(wp) == IDCANCEL && lp == 0 && view_ != nullptr) {
        view_->Guarded([this] {
          if (auto* cancel = model_.TryFind<forms::Button>("Button_Cancel")) cancel->UserClick();
        });
        return 0;
      }
      break;
    case WM_COPYDATA:
      if (lp != 0) return Automation(*reinterpret_cast<const COPYDATASTRUCT*>(lp));
      return 0;
    case 0x02E0: {  // WM_DPICHANGED
      if (view_ != nullptr) Resize(HIWORD(wp), reinterpret_cast<const RECT*>(lp));
      if (search_ != nullptr) search_->DpiChanged();
      return 0;
    }
    case WM_CLOSE:
      if (modal_ != nullptr) {
        // A dialog is open: it is cancelled first, and the window closes after it.
        close_after_modal_ = true;
        view_->Guarded([this] { CancelDialog(*modal_); });
        return 0;
      }
      if (close_confirmed_ || view_ == nullptr) {
        DestroyWindow(hwnd_);
        return 0;
      }
      // The close box is Cancel: the window's logic decides when it may go (not in the
      // middle of Apply or of a page load), then confirms through the close handler.
      view_->Guarded([this] { model_.Button_CancelClick(); });
      return 0;
    case WM_DESTROY:
      if (view_ != nullptr) view_->Guarded([this] { model_.FormDestroy(); });
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

bool MainFrame::StartupDone() const {
  auto* loading = model_.TryFind<forms::Panel>("Panel_Loading");
  return model_.LoadingFinished() && loading != nullptr && !loading->Visible();
}

LRESULT MainFrame::Automation(const COPYDATASTRUCT& data) {
  if (view_ == nullptr) return 0;
  const std::string_view arg = DataText(data);
  switch (data.dwData) {
    case kQueryFindControl:
      return reinterpret_cast<LRESULT>(view_->FindByName(std::string(arg)));
    case kQueryNavItemPoint: {
      HWND bar = view_->WindowOf(model_.RzGroupBar1());
      GroupBarView* gv = bar ? GroupBarView::FromWindow(bar) : nullptr;
      POINT p{};
      if (gv == nullptr || !gv->ItemPoint(ParseInt(arg, -1), &p)) return -1;
      return MAKELONG(p.x, p.y);
    }
    case kQuerySelectedTag:
      return model_.SelectedItem() != nullptr ? model_.SelectedItem()->Tag : 0;
    case kQueryItemHighlighted: {
      NavItem* item = model_.RzGroupBar1().FindItemByTag(ParseInt(arg, -1));
      return item != nullptr && item->Bold && item->Color == kItemColorSelected ? 1 : 0;
    }
    case kQueryShowPage: {
      const size_t comma = arg.find(',');
      const int tag = ParseInt(arg.substr(0, comma), -1);
      const int tab = comma == std::string_view::npos ? -1 : ParseInt(arg.substr(comma + 1), -1);
      NavItem* item = model_.RzGroupBar1().FindItemByTag(tag);
      if (item == nullptr) return 0;
      bool ok = true;
      const auto& loaded = model_.LoadedPages();
      const bool first_visit = std::find(loaded.begin(), loaded.end(), std::to_string(tag)) == loaded.end();
      const VisitClock clock(*view_, pending_us_);
      view_->Guarded([&] {
        int g = 0;
        int i = 0;
        model_.RzGroupBar1().Locate(item, &g, &i);
        // Hidden items (Opera, E-mail) have no row to click; they are opened directly.
        if (!model_.RzGroupBar1().UserClickItem(g, i)) model_.RzGroup1Items0Click(item);
        if (tab >= 0) {
          ok = false;
          forms::TabSheet* page = model_.notset().PageByCaption(std::to_string(tag));
          if (page == nullptr) return;
          for (forms::Control* child : page->Children()) {
            if (auto* pc = dynamic_cast<forms::PageControl*>(child)) {
              ok = pc->UserSelectTab(tab);
              break;
            }
          }
        }
      });
      const Visit visit = clock.Stop();
      UpdateWindow(hwnd_);
      if (first_visit) {
        last_visit_ = visit;
        last_visit_.paint_us = clock.Stop().total_us - visit.total_us;
      }
      return ok ? 1 : 0;
    }
    case kQueryLastVisit:
      if (arg == "windows") return static_cast<LRESULT>(last_visit_.windows_us);
      if (arg == "paint") return static_cast<LRESULT>(last_visit_.paint_us);
      return static_cast<LRESULT>(last_visit_.total_us);
    case kQueryStartupDone:
      // Done means painted, as the user sees it: what the panel uncovered is drawn before
      // the answer goes back.
      if (!StartupDone()) return 0;
      UpdateWindow(hwnd_);
      return 1;
    default:
      return 0;
  }
}

}  // namespace corvanel::ui::win32
