#include "ui/win32/form_view.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <string_view>

#include "platform/win32/wide_text.h"
#include "ui/win32/art.h"
#include "ui/win32/automation.h"

namespace corvanel::ui::win32 {

using platform::win32::Narrow;
using platform::win32::Widen;

namespace {

constexpr wchar_t kPanelClass[] = L"CorvanelPanel";
constexpr wchar_t kImageClass[] = L"CorvanelImage";
constexpr wchar_t kViewProp[] = L"CorvanelFormView";
constexpr UINT_PTR kTimerBase = 0x7100;

// Pushing model state into a window counts as one nesting level; notifications the window
// sends meanwhile are the view's own doing, not the user's.
class PushGuard {
 public:
  explicit PushGuard(int& depth) : depth_(depth) { ++depth_; }
  ~PushGuard() { --depth_; }
  PushGuard(const PushGuard&) = delete;
  PushGuard& operator=(const PushGuard&) = delete;

 private:
  int& depth_;
};

// The view of each window, looked up on every message the view's windows get. A window
// property would do the same, but under Wine each property lookup is a round trip to
// the server. Windows live on one thread.
std::unordered_map<HWND, FormView*>& Views() {
  static std::unordered_map<HWND, FormView*> views;
  return views;
}

FormView* ViewFromWindow(HWND hwnd) {
  const auto it = Views().find(hwnd);
  return it == Views().end() ? nullptr : it->second;
}

void Forget(HWND hwnd) { Views().erase(hwnd); }

std::wstring WindowText(HWND hwnd) {
  const int n = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, text.data(), n + 1);
  text.resize(static_cast<size_t>(std::max(0, got)));
  return text;
}

void SetStyleBits(HWND hwnd, LONG_PTR bits, bool on) {
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  const LONG_PTR next = on ? (style | bits) : (style & ~bits);
  if (next != style) SetWindowLongPtrW(hwnd, GWL_STYLE, next);
}

void RegisterClasses(HINSTANCE inst, WNDPROC panel, WNDPROC image) {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpfnWndProc = panel;
  wc.lpszClassName = kPanelClass;
  RegisterClassExW(&wc);
  wc.lpfnWndProc = image;
  wc.lpszClassName = kImageClass;
  RegisterClassExW(&wc);
}

// Check marks and radio dots for tree views, drawn by the system's own frame painter so
// they match the check boxes around them. Index 0 stays blank: Windows reads state image
// 0 as "none".
HIMAGELIST MakeStateImages(int size) {
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 5, 0);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  const UINT kinds[5] = {0, DFCS_BUTTONCHECK, DFCS_BUTTONCHECK | DFCS_CHECKED, DFCS_BUTTONRADIO,
                         DFCS_BUTTONRADIO | DFCS_CHECKED};
  for (UINT k : kinds) {
    HBITMAP bmp = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT rc{0, 0, size, size};
    FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW));
    if (k != 0) {
      RECT box{1, 1, size - 1, size - 1};
      DrawFrameControl(dc, &box, DFC_BUTTON, k | DFCS_FLAT);
    }
    SelectObject(dc, old);
    ImageList_AddMasked(list, bmp, RGB(1, 2, 3));
    DeleteObject(bmp);
  }
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return list;
}

}  // namespace

FormView::FormView(forms::Form& form, HWND host, int dpi, Hooks hooks)
    : form_(form), host_(host), dpi_(dpi > 0 ? dpi : 96), hooks_(std::move(hooks)) {
  RegisterClasses(GetModuleHandleW(nullptr), &PanelProc, &ImageProc);
  // The property is for the dialog procedure, which finds its view by it.
  SetPropW(host_, kViewProp, this);
  Views()[host_] = this;
  form_.AddObserver(this);
}

FormView::~FormView() {
  form_.RemoveObserver(this);
  for (size_t i = 0; i < timers_.size(); ++i) KillTimer(host_, kTimerBase + i);
  for (auto& [hwnd, proc] : originals_) {
    if (IsWindow(hwnd)) SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
  }
  for (auto& [hwnd, view] : by_hwnd_) Forget(hwnd);
  Forget(host_);
  RemovePropW(host_, kViewProp);
  for (auto& [key, font] : fonts_) DeleteObject(font);
  for (auto& [color, brush] : brushes_) DeleteObject(brush);
  if (state_images_) ImageList_Destroy(state_images_);
}

void FormView::Build(bool defer_sheets) {
  built_ = true;
  {
    PushGuard guard(pushing_);
    SetWindowTextW(host_, Widen(form_.Caption()).c_str());
  }
  // Timers first: one the form enabled already counts while the windows are made.
  std::function<void(forms::Component&)> walk = [&](forms::Component& c) {
    if (auto* timer = dynamic_cast<forms::Timer*>(&c)) {
      if (std::find(timers_.begin(), timers_.end(), timer) == timers_.end()) {
        timers_.push_back(timer);
        PushTimer(*timer);
      }
    }
    for (forms::Component* owned : c.Components()) walk(*owned);
  };
  walk(form_);
  defer_sheets_ = defer_sheets;
  const auto& kids = form_.Children();
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) CreateTree(**it);
  defer_sheets_ = false;
  PushFocus();
}

bool FormView::Deferred(const forms::Control& control) const {
  for (const forms::Control* p = control.Parent(); p != nullptr; p = p->Parent())
    if (deferred_.count(p) != 0) return true;
  return false;
}

void FormView::RealizeShownSheets() {
  const std::vector<const forms::Control*> waiting(deferred_.begin(), deferred_.end());
  for (const forms::Control* sheet : waiting)
    if (deferred_.count(sheet) != 0) RealizeIfShown(const_cast<forms::Control&>(*sheet));
}

void FormView::RealizeIfShown(forms::Control& sheet) {
  if (!ShownInWindow(sheet) || deferred_.erase(&sheet) == 0) return;
  CreateTree(sheet);
}

void FormView::CreateTree(forms::Control& control) {
  if (Deferred(control)) return;
  // A sheet that is not in front gets its window, and its controls theirs, when it comes
  // to the front: most of the notebook's pages are never opened in a session, and every
  // window costs its creation and its first state.
  if (control.Kind() == forms::ComponentKind::TabSheet && (defer_sheets_ || !ShownInWindow(control)) &&
      ViewOf(control) == nullptr) {
    deferred_.insert(&control);
    return;
  }
  Create(control);
  // A new child window goes under its siblings: made from the top down, the windows
  // come out in the model's drawing order with no restacking afterwards.
  const auto& kids = control.Children();
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) CreateTree(**it);
  UpdateRadioTabStops(control);
}

HWND FormView::ParentWindowOf(const forms::Control& control) const {
  const forms::Control* parent = control.Parent();
  if (parent == nullptr || parent == &form_) return host_;
  return WindowOf(*parent);
}

void FormView::Create(forms::Control& control) {
  if (views_.count(&control) != 0) return;
  HWND parent = ParentWindowOf(control);
  if (parent == nullptr) return;

  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  // Nothing here listens for WM_PARENTNOTIFY, and without this style every window created
  // sends it to each of its ancestors, a page's controls lying eight levels deep.
  DWORD ex = WS_EX_NOPARENTNOTIFY;
  const wchar_t* cls = kPanelClass;
  bool subclass = true;
  const forms::Rect& b = control.Bounds();
  switch (control.Kind()) {
    case forms::ComponentKind::Label:
      cls = L"STATIC";
      style |= (b.height >= 26 ? SS_LEFT : SS_LEFTNOWORDWRAP);
      // Only a link takes the mouse; other labels stay transparent to clicks.
      if (const auto& label = static_cast<const forms::Label&>(control); label.HandCursor() || label.OnClick)
        style |= SS_NOTIFY;
      break;
    case forms::ComponentKind::Button:
      cls = L"BUTTON";
      style |= BS_PUSHBUTTON;
      break;
    case forms::ComponentKind::GroupBox:
      cls = L"BUTTON";
      style |= BS_GROUPBOX | WS_CLIPCHILDREN;
      ex |= WS_EX_CONTROLPARENT;
      break;
    case forms::ComponentKind::CheckBox:
      cls = L"BUTTON";
      style |= BS_CHECKBOX | (b.height >= 26 ? BS_MULTILINE : 0);
      break;
    case forms::ComponentKind::RadioButton:
      cls = L"BUTTON";
      style |= BS_RADIOBUTTON | (b.height >= 26 ? BS_MULTILINE : 0);
      break;
    case forms::ComponentKind::ComboBox:
      cls = WC_COMBOBOXW;
      style |= CBS_DROPDOWNLIST | WS_VSCROLL;
      break;
    case forms::ComponentKind::TrackBar:
      cls = TRACKBAR_CLASSW;
      style |= TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM;
      break;
    case forms::ComponentKind::Edit:
    case forms::ComponentKind::Memo:
      cls = WC_EDITW;
      ex |= WS_EX_CLIENTEDGE;
      if (static_cast<forms::Edit&>(control).MultiLine())
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
      else
        style |= ES_AUTOHSCROLL | (static_cast<forms::Edit&>(control).PasswordChar() != 0 ? ES_PASSWORD : 0);
      break;
    case forms::ComponentKind::UpDown:
      cls = UPDOWN_CLASSW;
      style |= UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_HOTTRACK;
      break;
    case forms::ComponentKind::PageControl:
      if (std::string_view(control.ClassName()) == "Notebook") {
        // The page notebook has no tab row: a plain container of its pages.
        style |= WS_CLIPCHILDREN;
        ex |= WS_EX_CONTROLPARENT;
        subclass = false;
        break;
      }
      cls = WC_TABCONTROLW;
      style |= WS_CLIPCHILDREN;
      ex |= WS_EX_CONTROLPARENT;
      break;
    case forms::ComponentKind::TreeView:
      cls = WC_TREEVIEWW;
      style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
      ex |= WS_EX_CLIENTEDGE;
      break;
    case forms::ComponentKind::ListView:
      cls = WC_LISTVIEWW;
      style |= LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_REPORT;
      ex |= WS_EX_CLIENTEDGE;
      break;
    case forms::ComponentKind::Image:
      cls = kImageClass;
      subclass = false;
      break;
    case forms::ComponentKind::Panel:
    case forms::ComponentKind::TabSheet:
    default:
      style |= WS_CLIPCHILDREN;
      ex |= WS_EX_CONTROLPARENT;
      subclass = false;
      break;
  }
  if (control.CanFocusKind() && control.TabStop()) style |= WS_TABSTOP;
  if (control.Kind() != forms::ComponentKind::RadioButton) style |= WS_GROUP;

  auto view = std::make_unique<View>();
  view->control = &control;
  view->id = NextId(control.Name());

  const auto creation_start = std::chrono::steady_clock::now();
  HWND hwnd = nullptr;
  if (control.Kind() == forms::ComponentKind::Custom && hooks_.create_custom) {
    hwnd = hooks_.create_custom(control, parent, view->id);
    subclass = false;
  }
  if (hwnd == nullptr) {
    // Born in place, with its caption and shown when it should be: each later change of
    // a window is one more round trip under Wine.
    const RECT at = ScaledBounds(control);
    std::wstring caption;
    switch (control.Kind()) {
      case forms::ComponentKind::Label:
      case forms::ComponentKind::Button:
      case forms::ComponentKind::GroupBox:
      case forms::ComponentKind::CheckBox:
      case forms::ComponentKind::RadioButton:
        caption = WindowCaption(control);
        break;
      default:
        break;
    }
    if (ShownInWindow(control)) style |= WS_VISIBLE;
    if (!control.Enabled()) style |= WS_DISABLED;
    hwnd = CreateWindowExW(ex, cls, caption.c_str(), style, at.left, at.top, at.right - at.left, at.bottom - at.top,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(view->id)), GetModuleHandleW(nullptr),
                           nullptr);
  }
  creation_us_ += MicrosecondsSince(creation_start);
  if (hwnd == nullptr) return;
  view->hwnd = hwnd;
  Views()[hwnd] = this;
  View& v = *view;
  by_hwnd_[hwnd] = view.get();
  by_id_[view->id] = view.get();
  views_[&control] = std::move(view);
  if (subclass) Subclass(hwnd);
  // Born visible in a window on screen, a window of the view's own classes may have been
  // erased before the view knew it (a swatch panel stayed the dialog colour): it paints
  // once more. The system's controls paint their background in WM_PAINT, which comes later.
  if (cls == kPanelClass && (style & WS_VISIBLE) != 0 && IsWindowVisible(hwnd)) InvalidateRect(hwnd, nullptr, TRUE);
  if (control.Kind() == forms::ComponentKind::ListView) {
    PushGuard guard(pushing_);
    SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  }
  PushAll(v);
}

int FormView::NextId(const std::string& name) {
  int id = ControlIdForName(name);
  while (by_id_.count(id) != 0) id = id >= 0x7FFF ? 0x1000 : id + 1;
  return id;
}

FormView::View* FormView::ViewOf(const forms::Component& component) {
  auto it = views_.find(&component);
  return it == views_.end() ? nullptr : it->second.get();
}

HWND FormView::WindowOf(const forms::Component& component) const {
  if (&component == &form_) return host_;
  auto it = views_.find(&component);
  return it == views_.end() ? nullptr : it->second->hwnd;
}

forms::Control* FormView::ControlOf(HWND hwnd) const {
  if (hwnd == host_) return &form_;
  auto it = by_hwnd_.find(hwnd);
  return it == by_hwnd_.end() ? nullptr : it->second->control;
}

HWND FormView::FindByName(const std::string& name) const {
  forms::Component* c = form_.FindComponent(name);
  return c == nullptr ? nullptr : WindowOf(*c);
}

bool FormView::ShownInWindow(const forms::Control& control) const {
  if (!control.Visible()) return false;
  if (auto* sheet = dynamic_cast<const forms::TabSheet*>(&control)) {
    const forms::PageControl* pc = sheet->GetPageControl();
    return pc == nullptr || pc->ActivePage() == sheet;
  }
  return true;
}

bool FormView::HasBackdrop(const forms::Control& control) const {
  if (!hooks_.paint_backdrop || control.Kind() != forms::ComponentKind::Panel) return false;
  // Asking the painter with no DC tells whether it paints this panel.
  return hooks_.paint_backdrop(const_cast<forms::Control&>(control), nullptr, RECT{});
}

// ---------------------------------------------------------------------------------
// Model -> window

void FormView::PushAll(View& v) {
  PushGuard guard(pushing_);
  // A new window has not been painted yet: its first paint already has the font.
  PushFont(v, false);
  const forms::Rect& b = v.control->Bounds();
  if (v.control->Kind() == forms::ComponentKind::Custom ||
      (v.control->Kind() == forms::ComponentKind::Label && (b.width <= 0 || b.height <= 0)))
    PushBounds(v);
  PushText(v);
  if ((IsWindowEnabled(v.hwnd) != FALSE) != v.control->Enabled()) EnableWindow(v.hwnd, v.control->Enabled());
  switch (v.control->Kind()) {
    case forms::ComponentKind::CheckBox:
    case forms::ComponentKind::RadioButton:
      PushChecked(v);
      break;
    case forms::ComponentKind::ComboBox:
      PushItems(v);
      break;
    case forms::ComponentKind::TrackBar:
    case forms::ComponentKind::UpDown:
      PushRange(v);
      PushPosition(v);
      break;
    case forms::ComponentKind::Edit:
    case forms::ComponentKind::Memo:
      PushEditOptions(v);
      // The up-down may have been created before its buddy.
      for (auto& [c, other] : views_) {
        if (auto* ud = dynamic_cast<forms::UpDown*>(other->control); ud && ud->Associate() == v.control)
          PushPosition(*other);
      }
      break;
    case forms::ComponentKind::PageControl:
      PushTabs(v);
      break;
    case forms::ComponentKind::TreeView:
      PushNodes(v);
      break;
    case forms::ComponentKind::ListView:
      PushColumns(v);
      PushListItems(v, -1);
      break;
    default:
      break;
  }
  PushVisible(v);
}

RECT FormView::ScaledBounds(const forms::Control& control) const {
  const forms::Rect& b = control.Bounds();
  int h = Scale(b.height);
  if (control.Kind() == forms::ComponentKind::ComboBox) h += Scale(200);  // the drop-down list
  return RECT{Scale(b.left), Scale(b.top), Scale(b.left) + Scale(b.width), Scale(b.top) + h};
}

void FormView::PushBounds(View& v) {
  PushGuard guard(pushing_);
  const forms::Rect& b = v.control->Bounds();
  int w = Scale(b.width);
  int h = Scale(b.height);
  if (v.control->Kind() == forms::ComponentKind::Label && (b.width <= 0 || b.height <= 0)) {
    // A label without a size sizes itself to its caption.
    HDC dc = GetDC(v.hwnd);
    HGDIOBJ old = SelectObject(dc, FontFor(*v.control));
    RECT rc{0, 0, 0, 0};
    std::wstring text = Widen(v.control->Caption());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(v.hwnd, dc);
    if (b.width <= 0) w = rc.right;
    if (b.height <= 0) h = rc.bottom;
  }
  if (v.control->Kind() == forms::ComponentKind::ComboBox) h += Scale(200);  // the drop-down list
  SetWindowPos(v.hwnd, nullptr, Scale(b.left), Scale(b.top), w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  if (v.control->Kind() == forms::ComponentKind::ListView) FitListColumns(v);
}

void FormView::PushVisible(View& v) {
  PushGuard guard(pushing_);
  const bool show = ShownInWindow(*v.control);
  if ((IsWindowVisible(v.hwnd) != FALSE || (GetWindowLongPtrW(v.hwnd, GWL_STYLE) & WS_VISIBLE) != 0) == show) return;
  ShowWindow(v.hwnd, show ? SW_SHOWNA : SW_HIDE);
}

std::wstring FormView::WindowCaption(const forms::Control& control) {
  std::wstring text = Widen(control.Caption());
  // Wine's group box clips the last letter of some captions ("Scroll wheel" at 96 DPI);
  // a trailing space gives the caption the room on every system.
  if (control.Kind() == forms::ComponentKind::GroupBox && !text.empty()) text += L' ';
  return text;
}

void FormView::PushText(View& v) {
  PushGuard guard(pushing_);
  forms::Control& c = *v.control;
  switch (c.Kind()) {
    case forms::ComponentKind::Edit:
    case forms::ComponentKind::Memo: {
      // A memo's model text already has CR LF between its lines, as the window wants.
      const std::wstring text = Widen(static_cast<forms::Edit&>(c).Text());
      if (WindowText(v.hwnd) != text) {
        SetWindowTextW(v.hwnd, text.c_str());
        SendMessageW(v.hwnd, EM_SETSEL, static_cast<WPARAM>(text.size()), static_cast<LPARAM>(text.size()));
      }
      break;
    }
    case forms::ComponentKind::ComboBox:
    case forms::ComponentKind::TrackBar:
    case forms::ComponentKind::UpDown:
    case forms::ComponentKind::TreeView:
    case forms::ComponentKind::ListView:
    case forms::ComponentKind::PageControl:
      break;
    case forms::ComponentKind::TabSheet:
      if (auto* pc = static_cast<forms::TabSheet&>(c).GetPageControl())
        if (View* pv = ViewOf(*pc)) PushTabs(*pv);
      break;
    default: {
      const std::wstring text = WindowCaption(c);
      if (WindowText(v.hwnd) == text) break;
      SetWindowTextW(v.hwnd, text.c_str());
      if (c.Kind() == forms::ComponentKind::Label && c.Parent() != nullptr && HasBackdrop(*c.Parent())) {
        // A transparent label leaves its old text behind unless the backdrop repaints.
        RECT rc;
        GetWindowRect(v.hwnd, &rc);
        HWND parent = GetParent(v.hwnd);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
        RedrawWindow(parent, &rc, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      }
      if (c.Kind() == forms::ComponentKind::Label && (c.Width() <= 0 || c.Height() <= 0)) PushBounds(v);
      break;
    }
  }
}

void FormView::PushFont(View& v, bool redraw) {
  if (v.control->Kind() == forms::ComponentKind::Custom) {
    if (redraw) InvalidateRect(v.hwnd, nullptr, TRUE);
    return;
  }
  SendMessageW(v.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(*v.control)), redraw ? TRUE : FALSE);
  if (v.control->Kind() == forms::ComponentKind::ListView) FitListColumns(v);
}

void FormView::ApplyFontsBelow(forms::Control& control) {
  if (View* v = ViewOf(control)) {
    PushFont(*v);
    if (control.Kind() == forms::ComponentKind::Label) PushBounds(*v);
  }
  for (forms::Control* child : control.Children()) ApplyFontsBelow(*child);
}

void FormView::PushChecked(View& v) {
  PushGuard guard(pushing_);
  bool checked = false;
  if (auto* cb = dynamic_cast<forms::CheckBox*>(v.control)) checked = cb->Checked();
  if (auto* rb = dynamic_cast<forms::RadioButton*>(v.control)) checked = rb->Checked();
  SendMessageW(v.hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (v.control->Kind() == forms::ComponentKind::RadioButton && v.control->Parent() != nullptr)
    UpdateRadioTabStops(*v.control->Parent());
}

void FormView::UpdateRadioTabStops(forms::Control& parent) {
  // Radio buttons side by side in one parent form one arrow-key group; Tab enters it at
  // the selected button (the first when none is selected).
  const auto& kids = parent.Children();
  for (size_t i = 0; i < kids.size();) {
    if (kids[i]->Kind() != forms::ComponentKind::RadioButton) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < kids.size() && kids[end]->Kind() == forms::ComponentKind::RadioButton) ++end;
    size_t stop = i;
    for (size_t k = i; k < end; ++k)
      if (static_cast<forms::RadioButton*>(kids[k])->Checked()) stop = k;
    for (size_t k = i; k < end; ++k) {
      View* rv = ViewOf(*kids[k]);
      if (rv == nullptr) continue;
      SetStyleBits(rv->hwnd, WS_GROUP, k == i);
      SetStyleBits(rv->hwnd, WS_TABSTOP, k == stop && kids[k]->TabStop());
    }
    i = end;
  }
}

void FormView::PushItems(View& v) {
  PushGuard guard(pushing_);
  auto& combo = static_cast<forms::ComboBox&>(*v.control);
  SendMessageW(v.hwnd, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : combo.Items())
    SendMessageW(v.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
  SendMessageW(v.hwnd, CB_SETCURSEL, static_cast<WPARAM>(combo.ItemIndex()), 0);
}

void FormView::PushRange(View& v) {
  PushGuard guard(pushing_);
  if (auto* tb = dynamic_cast<forms::TrackBar*>(v.control)) {
    SendMessageW(v.hwnd, TBM_SETRANGEMIN, FALSE, tb->Min());
    SendMessageW(v.hwnd, TBM_SETRANGEMAX, TRUE, tb->Max());
    SendMessageW(v.hwnd, TBM_SETTICFREQ, static_cast<WPARAM>(std::max(1, tb->Frequency())), 0);
    SendMessageW(v.hwnd, TBM_SETPAGESIZE, 0, tb->PageSize());
  } else if (auto* ud = dynamic_cast<forms::UpDown*>(v.control)) {
    SendMessageW(v.hwnd, UDM_SETRANGE32, static_cast<WPARAM>(ud->Min()), ud->Max());
  }
}

void FormView::PushPosition(View& v) {
  PushGuard guard(pushing_);
  if (auto* tb = dynamic_cast<forms::TrackBar*>(v.control)) {
    SendMessageW(v.hwnd, TBM_SETPOS, TRUE, tb->Position());
  } else if (auto* ud = dynamic_cast<forms::UpDown*>(v.control)) {
    if (ud->Associate() != nullptr) {
      HWND buddy = WindowOf(*ud->Associate());
      if (buddy != nullptr && reinterpret_cast<HWND>(SendMessageW(v.hwnd, UDM_GETBUDDY, 0, 0)) != buddy)
        SendMessageW(v.hwnd, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    }
    SendMessageW(v.hwnd, UDM_SETPOS32, 0, ud->Position());
  }
}

void FormView::PushEditOptions(View& v) {
  PushGuard guard(pushing_);
  auto& edit = static_cast<forms::Edit&>(*v.control);
  SendMessageW(v.hwnd, EM_SETREADONLY, edit.ReadOnly() ? TRUE : FALSE, 0);
  SendMessageW(v.hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(std::max(0, edit.MaxLength())), 0);
  if (!edit.MultiLine()) {
    const char32_t pc = edit.PasswordChar();
    SendMessageW(v.hwnd, EM_SETPASSWORDCHAR, pc <= 0xFFFF ? static_cast<WPARAM>(pc) : L'*', 0);
    InvalidateRect(v.hwnd, nullptr, TRUE);
  }
}

void FormView::PushTabs(View& v) {
  PushGuard guard(pushing_);
  auto& pc = static_cast<forms::PageControl&>(*v.control);
  SendMessageW(v.hwnd, TCM_DELETEALLITEMS, 0, 0);
  v.tab_sheets.clear();
  for (int i = 0; i < pc.PageCount(); ++i) {
    forms::TabSheet* sheet = pc.Page(i);
    if (!sheet->TabVisible()) continue;
    std::wstring text = Widen(sheet->Caption());
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(v.hwnd, TCM_INSERTITEMW, v.tab_sheets.size(), reinterpret_cast<LPARAM>(&item));
    v.tab_sheets.push_back(i);
  }
  PushActivePage(v);
}

void FormView::PushActivePage(View& v) {
  PushGuard guard(pushing_);
  auto& pc = static_cast<forms::PageControl&>(*v.control);
  const int active = pc.ActivePageIndex();
  int tab = -1;
  for (size_t t = 0; t < v.tab_sheets.size(); ++t)
    if (v.tab_sheets[t] == active) tab = static_cast<int>(t);
  SendMessageW(v.hwnd, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
  for (forms::TabSheet* sheet : pc.Sheets()) RealizeIfShown(*sheet);
  for (forms::TabSheet* sheet : pc.Sheets())
    if (View* sv = ViewOf(*sheet)) PushVisible(*sv);
}

void FormView::PushNodes(View& v) {
  PushGuard guard(pushing_);
  auto& tree = static_cast<forms::TreeView&>(*v.control);
  if (state_images_ == nullptr) state_images_ = MakeStateImages(Scale(16));
  SendMessageW(v.hwnd, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(state_images_));
  SendMessageW(v.hwnd, WM_SETREDRAW, FALSE, 0);
  SendMessageW(v.hwnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  v.nodes = tree.AllNodes();
  v.tree_items.assign(v.nodes.size(), nullptr);
  std::unordered_map<const forms::TreeNode*, HTREEITEM> items;
  for (size_t i = 0; i < v.nodes.size(); ++i) {
    forms::TreeNode* node = v.nodes[i];
    std::wstring text = Widen(node->Text());
    TVINSERTSTRUCTW ins{};
    ins.hParent = node->Parent() ? items[node->Parent()] : TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
    ins.item.pszText = text.data();
    ins.item.lParam = static_cast<LPARAM>(i);
    ins.item.stateMask = TVIS_STATEIMAGEMASK;
    ins.item.state = node->StateIndex() >= 0 && node->StateIndex() <= 4
                         ? INDEXTOSTATEIMAGEMASK(static_cast<UINT>(node->StateIndex()))
                         : 0;
    auto h = reinterpret_cast<HTREEITEM>(SendMessageW(v.hwnd, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
    items[node] = h;
    v.tree_items[i] = h;
  }
  for (size_t i = 0; i < v.nodes.size(); ++i)
    if (v.nodes[i]->Expanded())
      SendMessageW(v.hwnd, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(v.tree_items[i]));
  SendMessageW(v.hwnd, WM_SETREDRAW, TRUE, 0);
  PushTreeSelection(v);
  InvalidateRect(v.hwnd, nullptr, TRUE);
}

void FormView::PushTreeSelection(View& v) {
  PushGuard guard(pushing_);
  auto& tree = static_cast<forms::TreeView&>(*v.control);
  HTREEITEM target = nullptr;
  for (size_t i = 0; i < v.nodes.size(); ++i)
    if (v.nodes[i] == tree.Selected()) target = v.tree_items[i];
  SendMessageW(v.hwnd, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(target));
}

void FormView::PushColumns(View& v) {
  PushGuard guard(pushing_);
  auto& list = static_cast<forms::ListView&>(*v.control);
  LONG_PTR type = LVS_REPORT;
  switch (list.Style()) {
    case forms::ViewStyle::Icon: type = LVS_ICON; break;
    case forms::ViewStyle::SmallIcon: type = LVS_SMALLICON; break;
    case forms::ViewStyle::List: type = LVS_LIST; break;
    case forms::ViewStyle::Report: type = LVS_REPORT; break;
  }
  // Without columns a report would show nothing; such lists are shown as a plain list.
  if (type == LVS_REPORT && list.Columns().empty()) type = LVS_LIST;
  const LONG_PTR style = GetWindowLongPtrW(v.hwnd, GWL_STYLE);
  if ((style & LVS_TYPEMASK) != type) SetWindowLongPtrW(v.hwnd, GWL_STYLE, (style & ~LVS_TYPEMASK) | type);
  SendMessageW(v.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, list.Checkboxes() ? LVS_EX_CHECKBOXES : 0);
  while (SendMessageW(v.hwnd, LVM_DELETECOLUMN, 0, 0) != FALSE) {
  }
  for (size_t i = 0; i < list.Columns().size(); ++i) {
    std::wstring text = Widen(list.Columns()[i].caption);
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = text.data();
    col.cx = Scale(list.Columns()[i].width);
    col.iSubItem = static_cast<int>(i);
    SendMessageW(v.hwnd, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
  }
}

void FormView::PushListItems(View& v, int index) {
  PushGuard guard(pushing_);
  auto& list = static_cast<forms::ListView&>(*v.control);
  const auto& items = list.Items();
  auto write = [&](int i, bool insert) {
    const forms::ListItem& it = items[static_cast<size_t>(i)];
    std::wstring text = Widen(it.caption);
    LVITEMW lv{};
    lv.mask = LVIF_TEXT;
    lv.iItem = i;
    lv.pszText = text.data();
    SendMessageW(v.hwnd, insert ? LVM_INSERTITEMW : LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&lv));
    for (size_t s = 0; s < it.sub_items.size(); ++s) {
      std::wstring sub = Widen(it.sub_items[s]);
      LVITEMW si{};
      si.iSubItem = static_cast<int>(s + 1);
      si.pszText = sub.data();
      SendMessageW(v.hwnd, LVM_SETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&si));
    }
  };
  const LRESULT shown = SendMessageW(v.hwnd, LVM_GETITEMCOUNT, 0, 0);
  if (index >= 0 && index + 1 == static_cast<int>(items.size()) && shown == index) {
    // An item added at the end: the others are shown already.
    write(index, true);
    PushListChecks(v, index);
  } else if (index < 0 || index >= static_cast<int>(items.size()) || shown != static_cast<LRESULT>(items.size())) {
    // One repaint for the whole list, not one per item.
    SendMessageW(v.hwnd, WM_SETREDRAW, FALSE, 0);
    SendMessageW(v.hwnd, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(v.hwnd, LVM_SETITEMCOUNT, items.size(), 0);
    for (int i = 0; i < static_cast<int>(items.size()); ++i) write(i, true);
    SendMessageW(v.hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(v.hwnd, nullptr, TRUE);
    PushListChecks(v, -1);
  } else {
    write(index, false);
    PushListChecks(v, index);
  }
  PushListSelection(v);
  FitListColumns(v);
}

// A list-style view lays its items out in columns of one width, which the control itself
// sets to a fixed default (128 px under Wine, however short the items) and sets again
// whenever its font, images or items change; with a few short items such as drive letters
// the columns overflow and a horizontal scroll bar appears although everything would fit.
// Share the client width between the columns needed instead, never narrower than the
// widest item, so only a list that truly does not fit scrolls.
void FormView::FitListColumns(View& v) {
  const LONG_PTR style = GetWindowLongPtrW(v.hwnd, GWL_STYLE);
  if ((style & LVS_TYPEMASK) != LVS_LIST) return;
  const int count = static_cast<int>(SendMessageW(v.hwnd, LVM_GETITEMCOUNT, 0, 0));
  if (count <= 0) return;
  RECT item{};
  item.left = LVIR_BOUNDS;
  if (SendMessageW(v.hwnd, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)) == FALSE) return;
  const int item_height = item.bottom - item.top;
  RECT client{};
  GetClientRect(v.hwnd, &client);
  // The scroll bar the overflow brought goes once the columns fit.
  int height = client.bottom;
  if ((style & WS_HSCROLL) != 0) height += GetSystemMetrics(SM_CYHSCROLL);
  if (item_height <= 0 || height < item_height || client.right <= 0) return;
  int widest = 0;
  for (const forms::ListItem& it : static_cast<forms::ListView&>(*v.control).Items()) {
    std::wstring text = Widen(it.caption);
    widest = std::max(widest, static_cast<int>(SendMessageW(v.hwnd, LVM_GETSTRINGWIDTHW, 0,
                                                            reinterpret_cast<LPARAM>(text.c_str()))));
  }
  // Check box and the gaps around the label.
  widest += GetSystemMetrics(SM_CXSMICON) + Scale(16);
  const int rows = height / item_height;
  const int columns = (count + rows - 1) / rows;
  // A few pixels to spare: a column flush with the right edge counts as cut off.
  int width = (client.right - Scale(4)) / columns;
  if (width < widest) width = widest;
  if (SendMessageW(v.hwnd, LVM_GETCOLUMNWIDTH, 0, 0) == width) return;
  SendMessageW(v.hwnd, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(width, 0));
  // Wine's list view leaves its scroll bar as it was until its client area changes size;
  // hiding the bar changes it, and the control shows the bar again if it still needs it.
  if ((style & WS_HSCROLL) != 0) ShowScrollBar(v.hwnd, SB_HORZ, FALSE);
}

void FormView::PushListChecks(View& v, int index) {
  PushGuard guard(pushing_);
  auto& list = static_cast<forms::ListView&>(*v.control);
  if (!list.Checkboxes()) return;
  const auto& items = list.Items();
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    if (index >= 0 && i != index) continue;
    LVITEMW lv{};
    lv.stateMask = LVIS_STATEIMAGEMASK;
    lv.state = INDEXTOSTATEIMAGEMASK(items[static_cast<size_t>(i)].checked ? 2u : 1u);
    SendMessageW(v.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&lv));
  }
}

void FormView::PushListSelection(View& v) {
  PushGuard guard(pushing_);
  auto& list = static_cast<forms::ListView&>(*v.control);
  LVITEMW lv{};
  lv.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  lv.state = 0;
  SendMessageW(v.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&lv));
  if (list.ItemIndex() >= 0) {
    lv.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(v.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(list.ItemIndex()), reinterpret_cast<LPARAM>(&lv));
  }
}

void FormView::PushZOrder(forms::Control& parent) {
  PushGuard guard(pushing_);
  // The model's last child is on top; Windows' first sibling is on top.
  HWND after = HWND_TOP;
  const auto& kids = parent.Children();
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
    View* cv = ViewOf(**it);
    if (cv == nullptr) continue;
    SetWindowPos(cv->hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = cv->hwnd;
  }
}

// One control moved among its siblings (brought to the front or sent to the back): its
// window alone moves, under the window of the nearest sibling above it. Restacking every
// sibling costs a server round trip and a redraw each, for the same result.
void FormView::PushZOrderOf(forms::Control& moved) {
  View* mv = ViewOf(moved);
  if (mv == nullptr || moved.Parent() == nullptr) return;
  const auto& kids = moved.Parent()->Children();
  auto it = std::find(kids.begin(), kids.end(), &moved);
  if (it == kids.end()) return;
  HWND after = HWND_TOP;
  for (++it; it != kids.end(); ++it) {
    if (View* above = ViewOf(**it)) {
      after = above->hwnd;
      break;
    }
  }
  PushGuard guard(pushing_);
  SetWindowPos(mv->hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void FormView::PushFocus() {
  PushGuard guard(pushing_);
  forms::Control* focused = form_.FocusedControl();
  if (focused == nullptr) return;
  HWND target = WindowOf(*focused);
  if (target != nullptr && GetFocus() != target && IsWindowVisible(target)) SetFocus(target);
}

void FormView::PushTimer(forms::Timer& timer) {
  auto it = std::find(timers_.begin(), timers_.end(), &timer);
  if (it == timers_.end()) return;
  const UINT_PTR id = kTimerBase + static_cast<UINT_PTR>(it - timers_.begin());
  if (timer.Enabled() && timer.Interval() > 0)
    SetTimer(host_, id, static_cast<UINT>(timer.Interval()), nullptr);
  else
    KillTimer(host_, id);
}

void FormView::SetDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  for (auto& [key, font] : fonts_) DeleteObject(font);
  fonts_.clear();
  if (state_images_) {
    ImageList_Destroy(state_images_);
    state_images_ = nullptr;
  }
  PushGuard guard(pushing_);
  for (auto& [c, v] : views_) {
    PushFont(*v);
    PushBounds(*v);
    if (v->control->Kind() == forms::ComponentKind::ListView) {
      PushColumns(*v);
      PushListItems(*v, -1);
    }
    if (v->control->Kind() == forms::ComponentKind::TreeView) PushNodes(*v);
  }
  RedrawWindow(host_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FormView::Changed(forms::Component& component, forms::Property property, int index) {
  if (!built_) return;
  if (&component == &form_) {
    PushGuard guard(pushing_);
    if (property == forms::Property::Caption) SetWindowTextW(host_, Widen(form_.Caption()).c_str());
    if (property == forms::Property::Focus) PushFocus();
    if (property == forms::Property::ZOrder) PushZOrder(form_);
    return;
  }
  if (property == forms::Property::Focus) {
    PushFocus();
    return;
  }
  if (auto* timer = dynamic_cast<forms::Timer*>(&component)) {
    if (property == forms::Property::Created) timers_.push_back(timer);
    PushTimer(*timer);
    return;
  }
  auto* control = dynamic_cast<forms::Control*>(&component);
  if (control == nullptr) return;
  if (property == forms::Property::Created) {
    CreateTree(*control);
    if (control->Parent() != nullptr) {
      UpdateRadioTabStops(*control->Parent());
      PushZOrderOf(*control);
    }
    return;
  }
  if (auto* sheet = dynamic_cast<forms::TabSheet*>(control); sheet != nullptr && ViewOf(*sheet) == nullptr) {
    // A sheet still waiting for its window: its tab and its coming to the front count.
    if (property == forms::Property::Caption || property == forms::Property::TabVisible)
      if (auto* pc = sheet->GetPageControl())
        if (View* pv = ViewOf(*pc)) PushTabs(*pv);
    if (property == forms::Property::Visible) RealizeIfShown(*sheet);
    return;
  }
  View* v = ViewOf(*control);
  if (v == nullptr) return;
  PushGuard guard(pushing_);
  switch (property) {
    case forms::Property::Bounds:
      PushBounds(*v);
      break;
    case forms::Property::Visible:
      RealizeIfShown(*control);
      PushVisible(*v);
      break;
    case forms::Property::Enabled:
      EnableWindow(v->hwnd, control->Enabled());
      break;
    case forms::Property::Caption:
    case forms::Property::Text:
      PushText(*v);
      break;
    case forms::Property::Font:
      ApplyFontsBelow(*control);
      InvalidateRect(v->hwnd, nullptr, TRUE);
      break;
    case forms::Property::Background:
      RedrawWindow(v->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      break;
    case forms::Property::ZOrder:
      PushZOrderOf(*control);
      break;
    case forms::Property::Checked:
      PushChecked(*v);
      break;
    case forms::Property::Items:
    case forms::Property::ItemIndex:
      PushItems(*v);
      break;
    case forms::Property::Position:
      PushPosition(*v);
      break;
    case forms::Property::Range:
      PushRange(*v);
      PushPosition(*v);
      break;
    case forms::Property::ReadOnly:
      PushEditOptions(*v);
      break;
    case forms::Property::ActivePage:
      PushActivePage(*v);
      break;
    case forms::Property::TabVisible:
      if (auto* pc = static_cast<forms::TabSheet*>(control)->GetPageControl())
        if (View* pv = ViewOf(*pc)) PushTabs(*pv);
      break;
    case forms::Property::Nodes:
      PushNodes(*v);
      break;
    case forms::Property::Selection:
      if (control->Kind() == forms::ComponentKind::TreeView) PushTreeSelection(*v);
      if (control->Kind() == forms::ComponentKind::ListView) PushListSelection(*v);
      break;
    case forms::Property::Columns:
      PushColumns(*v);
      PushListItems(*v, -1);
      break;
    case forms::Property::ListItems:
      PushListItems(*v, index);
      break;
    case forms::Property::ItemChecked:
      PushListChecks(*v, index);
      break;
    case forms::Property::Picture:
      InvalidateRect(v->hwnd, nullptr, FALSE);
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------
// Window -> model

void FormView::Guarded(const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception& e) {
    // Not swallowed: the user sees it and decides whether to go on.
    if (hooks_.report_error) hooks_.report_error(e.what());
  } catch (...) {
    if (hooks_.report_error) hooks_.report_error("An unexpected error occurred.");
  }
}

bool FormView::OnCommand(HWND ctl, int code) {
  auto it = by_hwnd_.find(ctl);
  if (it == by_hwnd_.end()) return false;
  if (pushing_ > 0) return true;
  View& v = *it->second;
  forms::Control& c = *v.control;
  switch (c.Kind()) {
    case forms::ComponentKind::Label:
      if (code == STN_CLICKED) Guarded([&] { static_cast<forms::Label&>(c).UserClick(); });
      return true;
    case forms::ComponentKind::Button:
      if (code == BN_CLICKED) Guarded([&] { static_cast<forms::Button&>(c).UserClick(); });
      return true;
    case forms::ComponentKind::CheckBox:
      if (code == BN_CLICKED) {
        Guarded([&] { static_cast<forms::CheckBox&>(c).UserClick(); });
        if (View* again = ViewOf(c)) PushChecked(*again);
      }
      return true;
    case forms::ComponentKind::RadioButton:
      if (code == BN_CLICKED) {
        Guarded([&] { static_cast<forms::RadioButton&>(c).UserClick(); });
        if (c.Parent() != nullptr)
          for (forms::Control* sib : c.Parent()->Children())
            if (sib->Kind() == forms::ComponentKind::RadioButton)
              if (View* sv = ViewOf(*sib)) PushChecked(*sv);
      }
      return true;
    case forms::ComponentKind::ComboBox:
      if (code == CBN_SELCHANGE) {
        const int index = static_cast<int>(SendMessageW(ctl, CB_GETCURSEL, 0, 0));
        Guarded([&] { static_cast<forms::ComboBox&>(c).UserSelect(index); });
        PushGuard guard(pushing_);
        SendMessageW(ctl, CB_SETCURSEL, static_cast<WPARAM>(static_cast<forms::ComboBox&>(c).ItemIndex()), 0);
      }
      return true;
    case forms::ComponentKind::Edit:
    case forms::ComponentKind::Memo:
      if (code == EN_CHANGE) {
        const std::wstring text = WindowText(ctl);
        Guarded([&] { static_cast<forms::Edit&>(c).UserSetText(Narrow(text)); });
        if (View* again = ViewOf(c)) PushText(*again);
      }
      return true;
    default:
      return false;
  }
}

bool FormView::OnNotify(NMHDR* hdr, LRESULT* result) {
  auto it = by_hwnd_.find(hdr->hwndFrom);
  if (it == by_hwnd_.end()) return false;
  View& v = *it->second;
  forms::Control& c = *v.control;
  *result = 0;
  switch (c.Kind()) {
    case forms::ComponentKind::UpDown:
      if (hdr->code == UDN_DELTAPOS) {
        // The model moves the position and writes the buddy; the control must not.
        *result = 1;
        if (pushing_ > 0) return true;
        const int delta = reinterpret_cast<NMUPDOWN*>(hdr)->iDelta;
        if (delta != 0) Guarded([&] { static_cast<forms::UpDown&>(c).UserStep(delta > 0 ? +1 : -1); });
        if (View* again = ViewOf(c)) PushPosition(*again);
        return true;
      }
      return false;
    case forms::ComponentKind::PageControl:
      if (hdr->code == TCN_SELCHANGE) {
        if (pushing_ > 0) return true;
        const int tab = static_cast<int>(SendMessageW(hdr->hwndFrom, TCM_GETCURSEL, 0, 0));
        if (tab >= 0 && tab < static_cast<int>(v.tab_sheets.size())) {
          const int sheet = v.tab_sheets[static_cast<size_t>(tab)];
          Guarded([&] { static_cast<forms::PageControl&>(c).UserSelectTab(sheet); });
        }
        if (View* again = ViewOf(c)) PushActivePage(*again);
        return true;
      }
      return false;
    case forms::ComponentKind::TreeView:
      if (hdr->code == TVN_SELCHANGEDW) {
        if (pushing_ > 0) return true;
        const LPARAM idx = reinterpret_cast<NMTREEVIEWW*>(hdr)->itemNew.lParam;
        if (idx >= 0 && idx < static_cast<LPARAM>(v.nodes.size())) {
          forms::TreeNode* node = v.nodes[static_cast<size_t>(idx)];
          Guarded([&] { static_cast<forms::TreeView&>(c).UserSelect(node); });
        }
        if (View* again = ViewOf(c)) PushTreeSelection(*again);
        return true;
      }
      return false;
    case forms::ComponentKind::ListView:
      if (hdr->code == LVN_ITEMCHANGED) {
        if (pushing_ > 0) return true;
        auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
        if ((nm->uChanged & LVIF_STATE) == 0 || nm->iItem < 0) return true;
        auto& list = static_cast<forms::ListView&>(c);
        const UINT old_image = (nm->uOldState & LVIS_STATEIMAGEMASK) >> 12;
        const UINT new_image = (nm->uNewState & LVIS_STATEIMAGEMASK) >> 12;
        const int item = nm->iItem;
        if (old_image != 0 && new_image != 0 && old_image != new_image) {
          Guarded([&] { list.UserCheckItem(item, new_image == 2); });
          if (View* again = ViewOf(c)) PushListChecks(*again, item);
        }
        if ((nm->uNewState & LVIS_SELECTED) != 0 && (nm->uOldState & LVIS_SELECTED) == 0)
          Guarded([&] { list.UserSelect(item); });
        return true;
      }
      return false;
    default:
      return false;
  }
}

bool FormView::OnScroll(HWND ctl) {
  auto it = by_hwnd_.find(ctl);
  if (it == by_hwnd_.end() || it->second->control->Kind() != forms::ComponentKind::TrackBar) return false;
  if (pushing_ > 0) return true;
  forms::Control& c = *it->second->control;
  const int pos = static_cast<int>(SendMessageW(ctl, TBM_GETPOS, 0, 0));
  Guarded([&] { static_cast<forms::TrackBar&>(c).UserSetPosition(pos); });
  if (View* again = ViewOf(c)) PushPosition(*again);
  return true;
}

bool FormView::OnTimer(UINT_PTR id) {
  if (id < kTimerBase || id >= kTimerBase + timers_.size()) return false;
  forms::Timer* timer = timers_[id - kTimerBase];
  Guarded([&] { timer->Tick(); });
  return true;
}

bool FormView::OnColor(HWND ctl, HDC dc, LRESULT* result) {
  auto it = by_hwnd_.find(ctl);
  if (it == by_hwnd_.end()) return false;
  forms::Control& c = *it->second->control;
  if (c.Kind() == forms::ComponentKind::Edit || c.Kind() == forms::ComponentKind::Memo) return false;
  const forms::Control* parent = c.Parent() != nullptr ? c.Parent() : &form_;
  for (const forms::Control* p = &c; p != nullptr; p = p->Parent()) {
    if (p->GetFont().color != forms::kDefaultColor) {
      SetTextColor(dc, p->GetFont().color);
      break;
    }
  }
  if (c.Kind() == forms::ComponentKind::Label && HasBackdrop(*parent)) {
    // The label draws its text over the piece of the backdrop behind it.
    PaintBehind(ctl, dc);
    SetBkMode(dc, TRANSPARENT);
    *result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    return true;
  }
  const COLORREF bg = BackgroundOf(*parent);
  SetBkColor(dc, bg);
  *result = reinterpret_cast<LRESULT>(BrushFor(bg));
  return true;
}

bool FormView::Route(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  switch (msg) {
    case WM_COMMAND:
      if (lp != 0 && OnCommand(reinterpret_cast<HWND>(lp), HIWORD(wp))) {
        *result = 0;
        return true;
      }
      return false;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lp), result);
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (lp != 0 && OnScroll(reinterpret_cast<HWND>(lp))) {
        *result = 0;
        return true;
      }
      return false;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnColor(reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp), result);
    case WM_TIMER:
      if (hwnd == host_ && OnTimer(wp)) {
        *result = 0;
        return true;
      }
      return false;
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------------
// Keyboard navigation. Windows would walk the z-order, which here is the model's drawing
// order; the model's tab order is what the user expects.

void FormView::CollectTabStops(forms::Control& control, std::vector<View*>* out) {
  for (forms::Control* child : control.ChildrenInTabOrder()) {
    if (!ShownInWindow(*child) || !child->Enabled()) continue;
    View* v = ViewOf(*child);
    if (v == nullptr) continue;
    if (child->CanFocusKind() && child->TabStop() && !(dynamic_cast<const forms::PageControl*>(child) &&
                                                        std::string_view(child->ClassName()) == "Notebook")) {
      const bool radio_stop = child->Kind() != forms::ComponentKind::RadioButton ||
                              (GetWindowLongPtrW(v->hwnd, GWL_STYLE) & WS_TABSTOP) != 0;
      if (radio_stop && IsWindowVisible(v->hwnd) && IsWindowEnabled(v->hwnd)) out->push_back(v);
    }
    CollectTabStops(*child, out);
  }
}

bool FormView::FocusNext(bool backward) {
  std::vector<View*> stops;
  CollectTabStops(form_, &stops);
  if (stops.empty()) return false;
  HWND focus = GetFocus();
  int current = -1;
  for (HWND h = focus; h != nullptr && h != host_ && current < 0; h = GetParent(h)) {
    for (size_t i = 0; i < stops.size(); ++i)
      if (stops[i]->hwnd == h) current = static_cast<int>(i);
  }
  const int n = static_cast<int>(stops.size());
  const int next = current < 0 ? (backward ? n - 1 : 0) : ((current + (backward ? n - 1 : 1)) % n);
  HWND target = stops[static_cast<size_t>(next)]->hwnd;
  SetFocus(target);
  if (stops[static_cast<size_t>(next)]->control->Kind() == forms::ComponentKind::Edit)
    SendMessageW(target, EM_SETSEL, 0, -1);
  return true;
}

bool FormView::MoveInRadioGroup(bool backward) {
  forms::Control* c = ControlOf(GetFocus());
  if (c == nullptr || c->Kind() != forms::ComponentKind::RadioButton || c->Parent() == nullptr) return false;
  const auto& kids = c->Parent()->Children();
  const auto self = std::find(kids.begin(), kids.end(), c);
  auto begin = self;
  while (begin != kids.begin() && (*(begin - 1))->Kind() == forms::ComponentKind::RadioButton) --begin;
  auto end = self;
  while (end != kids.end() && (*end)->Kind() == forms::ComponentKind::RadioButton) ++end;
  const auto count = end - begin;
  for (std::ptrdiff_t step = 1; step < count; ++step) {
    const std::ptrdiff_t pos = self - begin;
    const std::ptrdiff_t k = ((pos + (backward ? -step : step)) % count + count) % count;
    forms::Control* target = *(begin + k);
    View* tv = ViewOf(*target);
    if (tv == nullptr || !target->CanUserReach() || !IsWindowVisible(tv->hwnd)) continue;
    // Focusing a radio button with an arrow key selects it (see SubclassProc).
    arrow_move_ = true;
    SetFocus(tv->hwnd);
    arrow_move_ = false;
    return true;
  }
  return true;
}

// ---------------------------------------------------------------------------------
// Window procedures

void FormView::Subclass(HWND hwnd) {
  auto old = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormView::SubclassProc)));
  originals_[hwnd] = old;
}

LRESULT FormView::CallOriginal(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto it = originals_.find(hwnd);
  if (it == originals_.end()) return DefWindowProcW(hwnd, msg, wp, lp);
  return CallWindowProcW(it->second, hwnd, msg, wp, lp);
}

LRESULT CALLBACK FormView::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  FormView* self = ViewFromWindow(hwnd);
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  LRESULT routed = 0;
  if (self->Route(hwnd, msg, wp, lp, &routed)) return routed;
  auto it = self->by_hwnd_.find(hwnd);
  forms::Control* c = it == self->by_hwnd_.end() ? nullptr : it->second->control;
  if (c == nullptr) return self->CallOriginal(hwnd, msg, wp, lp);
  const bool is_edit = c->Kind() == forms::ComponentKind::Edit || c->Kind() == forms::ComponentKind::Memo;
  if (msg == WM_PAINT && c->Kind() == forms::ComponentKind::ListView &&
      (GetWindowLongPtrW(hwnd, GWL_STYLE) & LVS_TYPEMASK) == LVS_LIST) {
    // Wine's list view measures its columns again at its first paint, after every push.
    const LRESULT before = self->CallOriginal(hwnd, LVM_GETCOLUMNWIDTH, 0, 0);
    const LRESULT result = self->CallOriginal(hwnd, msg, wp, lp);
    if (self->CallOriginal(hwnd, LVM_GETCOLUMNWIDTH, 0, 0) != before) self->FitListColumns(*it->second);
    return result;
  }
  switch (msg) {
    case WM_ERASEBKGND:
      // A group box paints only its frame and caption; with its children clipped out, the
      // parent cannot paint what lies inside it.
      if (c->Kind() == forms::ComponentKind::GroupBox) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        const forms::Control* parent = c->Parent() != nullptr ? c->Parent() : &self->form_;
        FillRect(reinterpret_cast<HDC>(wp), &rc, self->BrushFor(self->BackgroundOf(*parent)));
        return 1;
      }
      break;
    case WM_PRINTCLIENT:
      // A themed check box or radio button inside the box asks for the box's picture
      // behind it (erase, then print). Inside the frame that picture is the background
      // the erase has just painted; drawing the whole themed frame and caption again,
      // clipped away, costs a few milliseconds per control under Wine.
      if (c->Kind() == forms::ComponentKind::GroupBox && self->InsideGroupFrame(hwnd, reinterpret_cast<HDC>(wp)))
        return 0;
      break;
    case WM_SETCURSOR:
      if (c->Kind() == forms::ComponentKind::Label && static_cast<forms::Label*>(c)->HandCursor()) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_CHAR:
      if (is_edit && self->pushing_ == 0 && (wp < 0xD800 || wp > 0xDFFF)) {
        char32_t key = static_cast<char32_t>(wp);
        self->Guarded([&] { key = static_cast<forms::Edit*>(c)->UserKeyPress(key); });
        if (key == 0) return 0;
        if (key <= 0xFFFF) wp = static_cast<WPARAM>(key);
      }
      break;
    case WM_KEYUP:
      if (is_edit && self->pushing_ == 0) {
        LRESULT r = self->CallOriginal(hwnd, msg, wp, lp);
        const int key = static_cast<int>(wp);
        self->Guarded([&] { static_cast<forms::Edit*>(c)->UserKeyUp(key); });
        return r;
      }
      break;
    case WM_SETFOCUS: {
      LRESULT r = self->CallOriginal(hwnd, msg, wp, lp);
      if (self->pushing_ == 0) {
        self->Guarded([&] { c->UserFocus(); });
        // An arrow key moved the focus inside a radio group: as on a dialog, that selects.
        // Tab into a group only focuses: passing through must not change a setting.
        if (auto* rb = dynamic_cast<forms::RadioButton*>(c); rb != nullptr && self->arrow_move_ && !rb->Checked()) {
          self->Guarded([&] { rb->UserClick(); });
          if (c->Parent() != nullptr)
            for (forms::Control* sib : c->Parent()->Children())
              if (View* sv = self->ViewOf(*sib); sv && sib->Kind() == forms::ComponentKind::RadioButton)
                self->PushChecked(*sv);
        }
      }
      return r;
    }
    case WM_NCDESTROY: {
      LRESULT r = self->CallOriginal(hwnd, msg, wp, lp);
      Forget(hwnd);
      return r;
    }
    default:
      break;
  }
  return self->CallOriginal(hwnd, msg, wp, lp);
}

LRESULT CALLBACK FormView::PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  FormView* self = ViewFromWindow(hwnd);
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  LRESULT routed = 0;
  if (self->Route(hwnd, msg, wp, lp, &routed)) return routed;
  switch (msg) {
    case WM_ERASEBKGND: {
      forms::Control* c = self->ControlOf(hwnd);
      if (c == nullptr) break;
      RECT rc;
      GetClientRect(hwnd, &rc);
      HDC dc = reinterpret_cast<HDC>(wp);
      if (!(self->hooks_.paint_backdrop && self->hooks_.paint_backdrop(*c, dc, rc)))
        FillRect(dc, &rc, self->BrushFor(self->BackgroundOf(*c)));
      return 1;
    }
    case WM_NCDESTROY:
      Forget(hwnd);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK FormView::ImageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  FormView* self = ViewFromWindow(hwnd);
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      // Buffered: the loading animation repaints ten times a second.
      PaintBuffered(hwnd, [&](HDC mem, const RECT& rc) {
        self->PaintBehind(hwnd, mem);
        auto* image = dynamic_cast<forms::Image*>(self->ControlOf(hwnd));
        if (image != nullptr && self->hooks_.paint_image) self->hooks_.paint_image(*image, mem, rc);
      });
      return 0;
    case WM_NCDESTROY:
      Forget(hwnd);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

bool FormView::InsideGroupFrame(HWND box, HDC dc) {
  RECT clip;
  if (GetClipBox(dc, &clip) == ERROR || IsRectEmpty(&clip)) return false;
  RECT inner;
  GetClientRect(box, &inner);
  // The caption sits on the top line; the frame is a couple of pixels wide elsewhere.
  View* v = ViewOf(*ControlOf(box));
  int caption = Scale(16);
  if (v != nullptr) {
    HDC screen = GetDC(box);
    HGDIOBJ old = SelectObject(screen, FontFor(*v->control));
    TEXTMETRICW tm{};
    if (GetTextMetricsW(screen, &tm)) caption = tm.tmHeight;
    SelectObject(screen, old);
    ReleaseDC(box, screen);
  }
  InflateRect(&inner, -Scale(4), 0);
  inner.top += caption + Scale(2);
  inner.bottom -= Scale(4);
  RECT both;
  return IntersectRect(&both, &clip, &inner) && EqualRect(&both, &clip);
}

void FormView::PaintBehind(HWND child, HDC dc) {
  HWND parent = GetParent(child);
  forms::Control* pc = ControlOf(parent);
  RECT mine;
  GetWindowRect(child, &mine);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&mine), 2);
  RECT prc;
  GetClientRect(parent, &prc);
  POINT old;
  OffsetViewportOrgEx(dc, -mine.left, -mine.top, &old);
  if (pc == nullptr || !(hooks_.paint_backdrop && hooks_.paint_backdrop(*pc, dc, prc)))
    FillRect(dc, &prc, BrushFor(pc != nullptr ? BackgroundOf(*pc) : GetSysColor(COLOR_BTNFACE)));
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

// ---------------------------------------------------------------------------------
// GDI objects

HFONT FormView::FontFor(const forms::Control& control) {
  std::wstring face;
  int height = 0;
  for (const forms::Control* c = &control; c != nullptr; c = c->Parent()) {
    if (face.empty() && !c->GetFont().name.empty()) face = Widen(c->GetFont().name);
    if (height == 0) height = c->GetFont().height;
  }
  if (face.empty()) face = hooks_.face;
  if (height == 0) height = hooks_.height96;
  const bool bold = control.GetFont().bold;
  const int scaled = height < 0 ? -MulDiv(-height, dpi_, 96) : MulDiv(height, dpi_, 96);
  auto key = std::make_tuple(face, scaled, bold);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  HFONT font = CreateFontW(scaled, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           face.c_str());
  fonts_[key] = font;
  return font;
}

COLORREF FormView::BackgroundOf(const forms::Control& control) const {
  for (const forms::Control* c = &control; c != nullptr; c = c->Parent()) {
    if (c->BackgroundColor() != forms::kDefaultColor) return static_cast<COLORREF>(c->BackgroundColor());
  }
  return GetSysColor(COLOR_BTNFACE);
}

HBRUSH FormView::BrushFor(COLORREF color) {
  auto it = brushes_.find(color);
  if (it != brushes_.end()) return it->second;
  HBRUSH brush = CreateSolidBrush(color);
  brushes_[color] = brush;
  return brush;
}

}  // namespace corvanel::ui::win32
