#include "ui/win32/search_view.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "platform/win32/wide_text.h"

namespace corvanel::ui::win32 {

using platform::win32::Widen;

namespace {

constexpr int kListId = 0x7E00;
constexpr UINT_PTR kSubclassId = 0x5345;  // "SE"
constexpr int kListWidth96 = 452;
constexpr int kRowHeight96 = 30;
constexpr int kPadding96 = 4;
constexpr LPARAM kNothingRow = -1;
#ifndef EM_SETCUEBANNER
constexpr UINT EM_SETCUEBANNER = 0x1501;
#endif

}  // namespace

SearchView::SearchView(TCorvanel_FormMain& model, FormView& view, HWND host)
    : model_(model), view_(view), host_(host), search_(model) {}

SearchView::~SearchView() {
  if (auto* edit = model_.TryFind<forms::Edit>("Edit_Search")) edit->OnChange = nullptr;
  if (box_ != nullptr && IsWindow(box_)) RemoveWindowSubclass(box_, &SearchView::BoxProc, kSubclassId);
  if (list_ != nullptr && IsWindow(list_)) {
    RemoveWindowSubclass(list_, &SearchView::ListProc, kSubclassId);
    DestroyWindow(list_);
  }
}

HWND SearchView::Box() const { return box_; }

void SearchView::Create() {
  auto* edit = model_.TryFind<forms::Edit>("Edit_Search");
  if (edit == nullptr) return;
  box_ = view_.WindowOf(*edit);
  if (box_ == nullptr) return;
  // Shown while the box is empty and has not the focus.
  const std::wstring cue = Widen(model_.Texts().Get(lang::MessageId::D_SearchCue));
  SendMessageW(box_, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(cue.c_str()));
  SetWindowSubclass(box_, &SearchView::BoxProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  edit->OnChange = [this](forms::Component&) { QueryChanged(); };
  list_ = CreateWindowExW(0, L"LISTBOX", L"",
                          WS_CHILD | WS_CLIPSIBLINGS | WS_BORDER | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_NOTIFY |
                              LBS_NOINTEGRALHEIGHT,
                          0, 0, 0, 0, host_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)),
                          GetModuleHandleW(nullptr), nullptr);
  if (list_ == nullptr) return;
  SetWindowSubclass(list_, &SearchView::ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(view_.FontFor(*edit)), FALSE);
  SendMessageW(list_, LB_SETITEMHEIGHT, 0, RowHeight());
}

int SearchView::RowHeight() const { return view_.Scale(kRowHeight96); }

void SearchView::DpiChanged() {
  if (list_ == nullptr) return;
  if (auto* edit = model_.TryFind<forms::Edit>("Edit_Search"))
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(view_.FontFor(*edit)), FALSE);
  SendMessageW(list_, LB_SETITEMHEIGHT, 0, RowHeight());
  if (IsWindowVisible(list_)) Place();
}

void SearchView::QueryChanged() {
  if (list_ == nullptr) return;
  const auto* edit = model_.TryFind<forms::Edit>("Edit_Search");
  const std::string query = edit != nullptr ? edit->Text() : std::string();
  std::string trimmed = query;
  trimmed.erase(std::remove_if(trimmed.begin(), trimmed.end(), [](char c) { return c == ' ' || c == '\t'; }),
                trimmed.end());
  results_.clear();
  if (trimmed.size() < SettingSearch::kMinimumQuery) {
    ShowList(false);
    return;
  }
  view_.Guarded([&] { results_ = search_.Find(query); });
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  if (results_.empty()) {
    SendMessageW(list_, LB_ADDSTRING, 0, kNothingRow);
  } else {
    for (std::size_t i = 0; i < results_.size(); ++i) SendMessageW(list_, LB_ADDSTRING, 0, static_cast<LPARAM>(i));
  }
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  ShowList(true);
  InvalidateRect(list_, nullptr, TRUE);
}

void SearchView::Place() {
  RECT box;
  GetWindowRect(box_, &box);
  MapWindowPoints(nullptr, host_, reinterpret_cast<POINT*>(&box), 2);
  RECT client;
  GetClientRect(host_, &client);
  const int rows = std::clamp(static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0)), 1, kVisibleRows);
  const int border = 2 * GetSystemMetrics(SM_CYBORDER);
  const int top = box.bottom + view_.Scale(2);
  const int height = std::min<int>(rows * RowHeight() + border, client.bottom - top - view_.Scale(kPadding96));
  SetWindowPos(list_, HWND_TOP, box.left, top, view_.Scale(kListWidth96), height, SWP_NOACTIVATE);
}

void SearchView::ShowList(bool show) {
  if (show) {
    Place();
    ShowWindow(list_, SW_SHOWNA);
  } else if (IsWindowVisible(list_)) {
    ShowWindow(list_, SW_HIDE);
  }
}

void SearchView::Close(bool clear) {
  ShowList(false);
  if (!clear) return;
  view_.Guarded([this] {
    if (auto* edit = model_.TryFind<forms::Edit>("Edit_Search")) edit->SetText("");
  });
  if (box_ != nullptr) SetWindowTextW(box_, L"");
}

bool SearchView::OpenAt(int index) {
  if (index < 0 || index >= static_cast<int>(results_.size())) return false;
  const SearchRow row = *results_[static_cast<std::size_t>(index)];
  ShowList(false);
  bool opened = false;
  view_.Guarded([&] { opened = search_.Open(row); });
  if (!opened) return true;
  // The renderer moves the focus with the model; a window made for the page just now may
  // not have been shown when the focus arrived.
  if (auto* target = model_.TryFind<forms::Control>(row.control); target != nullptr && target->Focused()) {
    if (HWND h = view_.WindowOf(*target); h != nullptr && GetFocus() != h) SetFocus(h);
  }
  return true;
}

bool SearchView::HandleKey(const MSG& msg) {
  if (box_ == nullptr || list_ == nullptr || msg.message != WM_KEYDOWN) return false;
  const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  const bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
  if (ctrl && !alt && msg.wParam == 'F') {
    if (!IsWindowEnabled(box_) || !IsWindowVisible(box_)) return false;
    SetFocus(box_);
    SendMessageW(box_, EM_SETSEL, 0, -1);
    return true;
  }
  if (ctrl || alt) return false;
  const bool in_box = msg.hwnd == box_;
  const bool in_list = msg.hwnd == list_;
  if (!in_box && !in_list) return false;
  const bool open = IsWindowVisible(list_) != FALSE;
  switch (msg.wParam) {
    case VK_ESCAPE:
      if (!open && GetWindowTextLengthW(box_) == 0) return false;  // Esc as anywhere else
      Close(true);
      SetFocus(box_);
      return true;
    case VK_RETURN: {
      if (!open) return in_box;
      const int selected = in_list ? static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0)) : 0;
      OpenAt(selected < 0 ? 0 : selected);
      return true;
    }
    case VK_DOWN:
      if (in_box && open && !results_.empty()) {
        SendMessageW(list_, LB_SETCURSEL, 0, 0);
        SetFocus(list_);
        return true;
      }
      return in_box;
    case VK_UP:
      if (in_list && SendMessageW(list_, LB_GETCURSEL, 0, 0) <= 0) {
        SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SetFocus(box_);
        return true;
      }
      return in_box;
    default:
      return false;
  }
}

bool SearchView::Route(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (list_ == nullptr) return false;
  if (msg == WM_MEASUREITEM && wp == kListId) {
    reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = static_cast<UINT>(RowHeight());
    *result = TRUE;
    return true;
  }
  if (msg != WM_DRAWITEM || wp != kListId) return false;
  const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
  *result = TRUE;
  if (di->itemID == static_cast<UINT>(-1)) return true;
  HDC dc = di->hDC;
  const bool selected = (di->itemState & ODS_SELECTED) != 0 && di->itemData != static_cast<ULONG_PTR>(kNothingRow);
  FillRect(dc, &di->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  RECT text = di->rcItem;
  const int pad = view_.Scale(kPadding96);
  text.left += pad;
  text.right -= pad;
  HGDIOBJ old_font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0)));
  if (di->itemData == static_cast<ULONG_PTR>(kNothingRow)) {
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    const std::wstring nothing = Widen(model_.Texts().Get(lang::MessageId::D_SearchNothing));
    DrawTextW(dc, nothing.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  } else if (di->itemData < results_.size()) {
    const SearchRow& row = *results_[di->itemData];
    const int half = (text.bottom - text.top) / 2;
    RECT first = text;
    first.bottom = first.top + half + view_.Scale(1);
    RECT second = text;
    second.top = first.bottom - view_.Scale(2);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    DrawTextW(dc, Widen(row.caption).c_str(), -1, &first,
              DT_SINGLELINE | DT_BOTTOM | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT));
    DrawTextW(dc, Widen(row.Where()).c_str(), -1, &second, DT_SINGLELINE | DT_TOP | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  SelectObject(dc, old_font);
  if ((di->itemState & ODS_FOCUS) != 0 && selected) DrawFocusRect(dc, &di->rcItem);
  return true;
}

LRESULT CALLBACK SearchView::ListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<SearchView*>(data);
  switch (msg) {
    case WM_LBUTTONUP: {
      const LRESULT hit = SendMessageW(hwnd, LB_ITEMFROMPOINT, 0, lp);
      const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
      if (HIWORD(hit) == 0) self->OpenAt(LOWORD(hit));
      return result;
    }
    case WM_KILLFOCUS:
      // Gone elsewhere than the box: the list has served its turn.
      if (reinterpret_cast<HWND>(wp) != self->box_) self->ShowList(false);
      break;
    case WM_GETDLGCODE:
      // The arrow keys and Enter are the list's own, not the dialog's.
      return DLGC_WANTALLKEYS;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK SearchView::BoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<SearchView*>(data);
  if (msg == WM_KILLFOCUS && reinterpret_cast<HWND>(wp) != self->list_) self->ShowList(false);
  if (msg == WM_SETFOCUS && self->results_.size() > 0 && !IsWindowVisible(self->list_)) {
    const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
    self->ShowList(true);
    return result;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace corvanel::ui::win32
