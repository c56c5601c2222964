#include "ui/win32/group_bar_view.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/win32/wide_text.h"
#include "ui/win32/art.h"

namespace corvanel::ui::win32 {

using platform::win32::Widen;

namespace {

constexpr wchar_t kGroupBarClass[] = L"CorvanelGroupBar";

// Sizes at 96 DPI.
constexpr int kMargin = 10;
constexpr int kGroupGap = 10;
constexpr int kHeaderHeight = 25;
constexpr int kItemHeight = 20;
constexpr int kBodyPad = 5;
constexpr int kGlyph = 16;

const COLORREF kBarTop = RGB(123, 162, 231);
const COLORREF kBarBottom = RGB(99, 117, 214);
const COLORREF kHeaderFrom = RGB(255, 255, 255);
const COLORREF kHeaderTo = RGB(198, 211, 247);
const COLORREF kHeaderText = RGB(33, 93, 198);
const COLORREF kBody = RGB(214, 223, 247);
// Items without a colour of their own (the Others group).
const COLORREF kItemDefault = RGB(0, 0, 0);

}  // namespace

GroupBarView::GroupBarView(FormView& view, GroupBar& bar) : view_(view), bar_(bar) {
  bar_.AddGroupBarObserver(this);
}

GroupBarView::~GroupBarView() {
  bar_.RemoveGroupBarObserver(this);
  if (bold_font_) DeleteObject(bold_font_);
  if (normal_font_) DeleteObject(normal_font_);
}

HWND GroupBarView::Create(FormView& view, GroupBar& bar, HWND parent, int id) {
  static bool registered = false;
  if (!registered) {
    registered = true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpfnWndProc = &GroupBarView::Proc;
    wc.lpszClassName = kGroupBarClass;
    RegisterClassExW(&wc);
  }
  auto* self = new GroupBarView(view, bar);
  HWND hwnd = CreateWindowExW(0, kGroupBarClass, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_VSCROLL | WS_GROUP, 0, 0, 0, 0,
                              parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                              self);
  if (hwnd == nullptr) delete self;
  return hwnd;
}

GroupBarView* GroupBarView::FromWindow(HWND hwnd) {
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  if (lstrcmpW(cls, kGroupBarClass) != 0) return nullptr;
  return reinterpret_cast<GroupBarView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void GroupBarView::GroupBarChanged(GroupBar&, int, int) {
  Layout();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

HFONT GroupBarView::ItemFont(bool bold) {
  if (font_dpi_ != view_.Dpi()) {
    if (bold_font_) DeleteObject(bold_font_);
    if (normal_font_) DeleteObject(normal_font_);
    bold_font_ = normal_font_ = nullptr;
    font_dpi_ = view_.Dpi();
  }
  HFONT& slot = bold ? bold_font_ : normal_font_;
  if (slot == nullptr) {
    LOGFONTW lf{};
    GetObjectW(view_.FontFor(bar_), sizeof(lf), &lf);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    slot = CreateFontIndirectW(&lf);
  }
  return slot;
}

void GroupBarView::Layout() {
  rows_.clear();
  RECT client;
  GetClientRect(hwnd_, &client);
  const int width = client.right;
  int y = S(kMargin);
  const auto& groups = bar_.Groups();
  for (size_t g = 0; g < groups.size(); ++g) {
    const NavGroup& group = groups[g];
    rows_.push_back({Row::Kind::Header, static_cast<int>(g), -1, {S(kMargin), y, width - S(kMargin), y + S(kHeaderHeight)}});
    y += S(kHeaderHeight);
    if (group.Expanded) {
      y += S(kBodyPad);
      for (size_t i = 0; i < group.Items.size(); ++i) {
        if (!group.Items[i].Visible) continue;
        rows_.push_back({Row::Kind::Item, static_cast<int>(g), static_cast<int>(i),
                         {S(kMargin), y, width - S(kMargin), y + S(kItemHeight)}});
        y += S(kItemHeight);
      }
      y += S(kBodyPad);
    }
    y += S(kGroupGap);
  }
  content_height_ = y;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = std::max(0, content_height_ - 1);
  si.nPage = static_cast<UINT>(std::max<LONG>(0, client.bottom));
  // Only a bar whose groups do not fit shows its scroll bar. It is touched only when it
  // changes: every navigation click restyles two items, and each scroll bar call
  // repaints the bar at once.
  const bool needed = content_height_ > client.bottom;
  const bool shown = (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VSCROLL) != 0;
  if (needed != shown) ShowScrollBar(hwnd_, SB_VERT, needed ? TRUE : FALSE);
  if (needed) {
    SCROLLINFO now{};
    now.cbSize = sizeof(now);
    now.fMask = SIF_RANGE | SIF_PAGE;
    if (needed != shown || !GetScrollInfo(hwnd_, SB_VERT, &now) || now.nMin != si.nMin || now.nMax != si.nMax ||
        now.nPage != si.nPage)
      SetScrollInfo(hwnd_, SB_VERT, &si, TRUE);
  }
  // Showing or hiding the scroll bar changes the width; lay out again for it once.
  RECT after;
  GetClientRect(hwnd_, &after);
  if (after.right != width) {
    for (Row& r : rows_) r.rc.right = after.right - S(kMargin);
  }
  ScrollTo(needed ? scroll_ : 0);
}

void GroupBarView::ScrollTo(int pos) {
  RECT client;
  GetClientRect(hwnd_, &client);
  const int max_pos = std::max(0, content_height_ - static_cast<int>(client.bottom));
  pos = std::clamp(pos, 0, max_pos);
  if (max_pos > 0 && GetScrollPos(hwnd_, SB_VERT) != pos) SetScrollPos(hwnd_, SB_VERT, pos, TRUE);
  if (pos == scroll_ && max_pos > 0) return;
  scroll_ = pos;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

const GroupBarView::Row* GroupBarView::HitTest(POINT p) const {
  p.y += scroll_;
  for (const Row& r : rows_)
    if (PtInRect(&r.rc, p)) return &r;
  return nullptr;
}

bool GroupBarView::ItemPoint(int tag, POINT* point) {
  for (const Row& r : rows_) {
    if (r.kind != Row::Kind::Item) continue;
    if (bar_.Item(r.group, r.item).Tag != tag) continue;
    RECT client;
    GetClientRect(hwnd_, &client);
    if (r.rc.top < scroll_ || r.rc.bottom > scroll_ + client.bottom)
      ScrollTo(r.rc.top - (client.bottom - (r.rc.bottom - r.rc.top)) / 2);
    point->x = (r.rc.left + r.rc.right) / 2;
    point->y = (r.rc.top + r.rc.bottom) / 2 - scroll_;
    return true;
  }
  return false;
}

GlyphStrip& GroupBarView::Glyphs() {
  const int g = S(kGlyph);
  if (glyphs_ == nullptr || glyphs_->Size() != g) glyphs_ = std::make_unique<GlyphStrip>(g, kBody);
  return *glyphs_;
}

void GroupBarView::Paint(HDC dc, const RECT& client) {
  FillGradient(dc, client, kBarTop, kBarBottom, true);
  SetBkMode(dc, TRANSPARENT);
  const auto& groups = bar_.Groups();
  // Group bodies first, so each header and its items draw over their own body.
  for (size_t g = 0; g < groups.size(); ++g) {
    int top = -1;
    int bottom = -1;
    RECT header{};
    for (const Row& r : rows_) {
      if (r.group != static_cast<int>(g)) continue;
      if (r.kind == Row::Kind::Header) header = r.rc;
      if (r.kind == Row::Kind::Item) {
        if (top < 0) top = r.rc.top;
        bottom = r.rc.bottom;
      }
    }
    if (!groups[g].Expanded) continue;
    RECT body{header.left, header.bottom, header.right, (bottom >= 0 ? bottom : header.bottom) + S(kBodyPad)};
    if (top >= 0) body.bottom = bottom + S(kBodyPad);
    OffsetRect(&body, 0, -scroll_);
    HBRUSH fill = CreateSolidBrush(kBody);
    FillRect(dc, &body, fill);
    DeleteObject(fill);
    HBRUSH edge = CreateSolidBrush(RGB(255, 255, 255));
    FrameRect(dc, &body, edge);
    DeleteObject(edge);
  }
  for (size_t n = 0; n < rows_.size(); ++n) {
    const Row& r = rows_[n];
    RECT rc = r.rc;
    OffsetRect(&rc, 0, -scroll_);
    if (rc.bottom < 0 || rc.top > client.bottom) continue;
    const NavGroup& group = groups[static_cast<size_t>(r.group)];
    if (r.kind == Row::Kind::Header) {
      // A rounded top edge: the corners take the bar's colour back.
      FillGradient(dc, rc, kHeaderFrom, kHeaderTo, false);
      HBRUSH corner = CreateSolidBrush(kBarTop);
      RECT c1{rc.left, rc.top, rc.left + 1, rc.top + 1};
      RECT c2{rc.right - 1, rc.top, rc.right, rc.top + 1};
      FillRect(dc, &c1, corner);
      FillRect(dc, &c2, corner);
      DeleteObject(corner);
      HGDIOBJ old = SelectObject(dc, ItemFont(true));
      SetTextColor(dc, static_cast<int>(n) == hot_row_ ? RGB(66, 142, 255) : kHeaderText);
      RECT text = rc;
      text.left += S(10);
      text.right -= S(26);
      std::wstring caption = Widen(group.Caption);
      DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
      SelectObject(dc, old);
      // Chevron in a circle: up when expanded (click collapses), down when collapsed.
      const int d = S(17);
      const int cx = rc.right - S(6) - d / 2;
      const int cy = (rc.top + rc.bottom) / 2;
      HPEN ring = CreatePen(PS_SOLID, 1, RGB(160, 180, 230));
      HGDIOBJ old_pen = SelectObject(dc, ring);
      HGDIOBJ old_brush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
      Ellipse(dc, cx - d / 2, cy - d / 2, cx + d / 2 + 1, cy + d / 2 + 1);
      SelectObject(dc, old_brush);
      SelectObject(dc, old_pen);
      DeleteObject(ring);
      HPEN arrow = CreatePen(PS_SOLID, std::max(1, S(1)), kHeaderText);
      old_pen = SelectObject(dc, arrow);
      // Two stacked chevrons pointing up (expanded) or down (collapsed).
      const int a = S(3);
      const int tip = group.Expanded ? -a / 2 : a / 2;
      for (int k = 0; k < 2; ++k) {
        const int y0 = cy - a / 2 + k * a - a / 2;
        POINT pts[3] = {{cx - a, y0 - tip}, {cx, y0 + tip}, {cx + a + 1, y0 - tip - (tip > 0 ? 1 : -1)}};
        Polyline(dc, pts, 3);
      }
      SelectObject(dc, old_pen);
      DeleteObject(arrow);
    } else {
      const NavItem& item = group.Items[static_cast<size_t>(r.item)];
      const int g = S(kGlyph);
      RECT glyph{rc.left + S(8), rc.top + (rc.bottom - rc.top - g) / 2, 0, 0};
      glyph.right = glyph.left + g;
      glyph.bottom = glyph.top + g;
      if (item.ImageIndex >= 0) {
        Glyphs().Draw(dc, glyph.left, glyph.top, item.ImageIndex);
      }
      HFONT font = ItemFont(item.Bold);
      LOGFONTW lf{};
      HFONT underlined = nullptr;
      if (static_cast<int>(n) == hot_row_) {
        GetObjectW(font, sizeof(lf), &lf);
        lf.lfUnderline = TRUE;
        underlined = CreateFontIndirectW(&lf);
      }
      HGDIOBJ old = SelectObject(dc, underlined ? underlined : font);
      SetTextColor(dc, item.Color == forms::kDefaultColor ? kItemDefault : static_cast<COLORREF>(item.Color));
      RECT text = rc;
      text.left = glyph.right + S(6);
      text.right -= S(4);
      std::wstring caption = Widen(item.Caption);
      DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
      SelectObject(dc, old);
      if (underlined) DeleteObject(underlined);
    }
  }
}

LRESULT CALLBACK GroupBarView::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<GroupBarView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    self = static_cast<GroupBarView*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_SIZE:
      self->Layout();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      // The glyphs are drawn on the first paint even while the loading panel covers the
      // bar: that paint is skipped, and the one that uncovers the bar has them ready.
      self->Glyphs();
      PaintBuffered(hwnd, [self](HDC mem, const RECT& rc) { self->Paint(mem, rc); });
      return 0;
    case WM_MOUSEMOVE: {
      const Row* r = self->HitTest({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      const int hot = r ? static_cast<int>(r - self->rows_.data()) : -1;
      if (hot != self->hot_row_) {
        self->hot_row_ = hot;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      if (!self->tracking_) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd, 0};
        self->tracking_ = TrackMouseEvent(&tme) != FALSE;
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      self->tracking_ = false;
      if (self->hot_row_ != -1) {
        self->hot_row_ = -1;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(hwnd, &p);
        SetCursor(LoadCursorW(nullptr, self->HitTest(p) ? IDC_HAND : IDC_ARROW));
        return TRUE;
      }
      break;
    case WM_LBUTTONUP: {
      const Row* r = self->HitTest({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      if (r == nullptr) return 0;
      const int group = r->group;
      const int item = r->item;
      const bool header = r->kind == Row::Kind::Header;
      // The click may rebuild the rows (a group toggles, an item is restyled).
      self->view_.Guarded([&] {
        if (header)
          self->bar_.UserToggleGroup(group);
        else
          self->bar_.UserClickItem(group, item);
      });
      return 0;
    }
    case WM_MOUSEWHEEL: {
      const int delta = GET_WHEEL_DELTA_WPARAM(wp);
      self->ScrollTo(self->scroll_ - delta * self->S(kItemHeight) * 3 / WHEEL_DELTA);
      return 0;
    }
    case WM_VSCROLL: {
      RECT rc;
      GetClientRect(hwnd, &rc);
      int pos = self->scroll_;
      switch (LOWORD(wp)) {
        case SB_LINEUP: pos -= self->S(kItemHeight); break;
        case SB_LINEDOWN: pos += self->S(kItemHeight); break;
        case SB_PAGEUP: pos -= rc.bottom; break;
        case SB_PAGEDOWN: pos += rc.bottom; break;
        case SB_TOP: pos = 0; break;
        case SB_BOTTOM: pos = self->content_height_; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
          SCROLLINFO si{};
          si.cbSize = sizeof(si);
          si.fMask = SIF_TRACKPOS;
          GetScrollInfo(hwnd, SB_VERT, &si);
          pos = si.nTrackPos;
          break;
        }
        default: break;
      }
      self->ScrollTo(pos);
      return 0;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      delete self;
      return DefWindowProcW(hwnd, msg, wp, lp);
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace corvanel::ui::win32
