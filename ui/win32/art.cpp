#include "ui/win32/art.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "ui/win32/res/resource_ids.h"

namespace corvanel::ui::win32 {

void PaintBuffered(HWND hwnd, const std::function<void(HDC dc, const RECT& client)>& draw) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  // Covered (the loading panel lies over the bar and the page at start): nothing would
  // reach the screen, and uncovering it asks for a paint again.
  RECT visible;
  if (GetClipBox(dc, &visible) == NULLREGION) {
    EndPaint(hwnd, &ps);
    return;
  }
  RECT rc;
  GetClientRect(hwnd, &rc);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, std::max<LONG>(1, rc.right), std::max<LONG>(1, rc.bottom));
  HGDIOBJ old = SelectObject(mem, bmp);
  draw(mem, rc);
  BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  EndPaint(hwnd, &ps);
}
namespace {

constexpr int kSuper = 4;

// Renders `paint` into a 4x bitmap over `background` and averages it into `rc`.
// `paint` gets the memory DC and the side length of the 4x square it may use.
void Supersampled(HDC dc, const RECT& rc, COLORREF background, const std::function<void(HDC, int, int)>& paint) {
  const int w = rc.right - rc.left;
  const int h = rc.bottom - rc.top;
  if (w <= 0 || h <= 0) return;
  const int bw = w * kSuper;
  const int bh = h * kSuper;

  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = bw;
  bi.bmiHeader.biHeight = -bh;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* big_bits = nullptr;
  HDC big_dc = CreateCompatibleDC(dc);
  HBITMAP big = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &big_bits, nullptr, 0);
  if (big_dc == nullptr || big == nullptr) {
    if (big) DeleteObject(big);
    if (big_dc) DeleteDC(big_dc);
    return;
  }
  HGDIOBJ old_big = SelectObject(big_dc, big);
  RECT all{0, 0, bw, bh};
  HBRUSH bg = CreateSolidBrush(background);
  FillRect(big_dc, &all, bg);
  DeleteObject(bg);
  paint(big_dc, bw, bh);
  GdiFlush();

  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  void* small_bits = nullptr;
  HDC small_dc = CreateCompatibleDC(dc);
  HBITMAP small = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &small_bits, nullptr, 0);
  if (small_dc != nullptr && small != nullptr) {
    HGDIOBJ old_small = SelectObject(small_dc, small);
    const auto* src = static_cast<const std::uint8_t*>(big_bits);
    auto* dst = static_cast<std::uint8_t*>(small_bits);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        unsigned sum[3] = {0, 0, 0};
        for (int sy = 0; sy < kSuper; ++sy) {
          const std::uint8_t* row = src + (static_cast<size_t>(y * kSuper + sy) * bw + x * kSuper) * 4;
          for (int sx = 0; sx < kSuper; ++sx)
            for (int c = 0; c < 3; ++c) sum[c] += row[sx * 4 + c];
        }
        std::uint8_t* out = dst + (static_cast<size_t>(y) * w + x) * 4;
        for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>(sum[c] / (kSuper * kSuper));
        out[3] = 0;
      }
    }
    BitBlt(dc, rc.left, rc.top, w, h, small_dc, 0, 0, SRCCOPY);
    SelectObject(small_dc, old_small);
  }
  if (small) DeleteObject(small);
  if (small_dc) DeleteDC(small_dc);
  SelectObject(big_dc, old_big);
  DeleteObject(big);
  DeleteDC(big_dc);
}

COLORREF Mix(COLORREF a, COLORREF b, double t) {
  auto ch = [t](int x, int y) { return static_cast<BYTE>(std::lround(x + (y - x) * t)); };
  return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)), ch(GetBValue(a), GetBValue(b)));
}

class Pen {
 public:
  Pen(HDC dc, COLORREF color, int width) : dc_(dc), pen_(CreatePen(PS_SOLID, width, color)) {
    old_ = SelectObject(dc_, pen_);
  }
  ~Pen() {
    SelectObject(dc_, old_);
    DeleteObject(pen_);
  }
  Pen(const Pen&) = delete;
  Pen& operator=(const Pen&) = delete;

 private:
  HDC dc_;
  HPEN pen_;
  HGDIOBJ old_;
};

class Brush {
 public:
  Brush(HDC dc, COLORREF color) : dc_(dc), brush_(CreateSolidBrush(color)) { old_ = SelectObject(dc_, brush_); }
  ~Brush() {
    SelectObject(dc_, old_);
    DeleteObject(brush_);
  }
  Brush(const Brush&) = delete;
  Brush& operator=(const Brush&) = delete;

 private:
  HDC dc_;
  HBRUSH brush_;
  HGDIOBJ old_;
};

void Disc(HDC dc, double cx, double cy, double r, COLORREF color) {
  Pen pen(dc, color, 1);
  Brush brush(dc, color);
  Ellipse(dc, static_cast<int>(cx - r), static_cast<int>(cy - r), static_cast<int>(cx + r), static_cast<int>(cy + r));
}

void Box(HDC dc, double l, double t, double r, double b, COLORREF fill, COLORREF edge, int edge_width, double round) {
  Pen pen(dc, edge, std::max(1, edge_width));
  Brush brush(dc, fill);
  RoundRect(dc, static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b),
            static_cast<int>(round), static_cast<int>(round));
}

void Line(HDC dc, double x0, double y0, double x1, double y1, COLORREF color, int width) {
  Pen pen(dc, color, std::max(1, width));
  MoveToEx(dc, static_cast<int>(x0), static_cast<int>(y0), nullptr);
  LineTo(dc, static_cast<int>(x1), static_cast<int>(y1));
}

}  // namespace

void FillGradient(HDC dc, const RECT& rc, COLORREF from, COLORREF to, bool vertical) {
  if (rc.right <= rc.left || rc.bottom <= rc.top) return;
  TRIVERTEX v[2] = {};
  v[0].x = rc.left;
  v[0].y = rc.top;
  v[0].Red = static_cast<COLOR16>(GetRValue(from) << 8);
  v[0].Green = static_cast<COLOR16>(GetGValue(from) << 8);
  v[0].Blue = static_cast<COLOR16>(GetBValue(from) << 8);
  v[1].x = rc.right;
  v[1].y = rc.bottom;
  v[1].Red = static_cast<COLOR16>(GetRValue(to) << 8);
  v[1].Green = static_cast<COLOR16>(GetGValue(to) << 8);
  v[1].Blue = static_cast<COLOR16>(GetBValue(to) << 8);
  GRADIENT_RECT r{0, 1};
  GdiGradientFill(dc, v, 2, &r, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

GlyphStrip::GlyphStrip(int size, COLORREF background) : size_(size) {
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  bitmap_ = CreateCompatibleBitmap(screen, size * kNavGlyphCount, size);
  ReleaseDC(nullptr, screen);
  old_ = SelectObject(dc_, bitmap_);
  for (int i = 0; i < kNavGlyphCount; ++i) {
    RECT rc{i * size, 0, (i + 1) * size, size};
    DrawNavGlyph(dc_, rc, i, background);
  }
}

GlyphStrip::~GlyphStrip() {
  SelectObject(dc_, old_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

void GlyphStrip::Draw(HDC dc, int x, int y, int index) const {
  if (index < 0 || index >= kNavGlyphCount) return;
  BitBlt(dc, x, y, size_, size_, dc_, index * size_, 0, SRCCOPY);
}

void DrawProgramPicture(HDC dc, const RECT& rc) {
  const int w = rc.right - rc.left;
  const int h = rc.bottom - rc.top;
  HICON icon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_CORVANEL), IMAGE_ICON, w, h, LR_DEFAULTCOLOR));
  if (icon == nullptr) return;
  DrawIconEx(dc, rc.left, rc.top, icon, w, h, 0, nullptr, DI_NORMAL);
  DestroyIcon(icon);
}

void DrawLogonPicture(HDC dc, const RECT& rc, bool classic, COLORREF background) {
  const COLORREF white = RGB(255, 255, 255);
  Supersampled(dc, rc, background, [&](HDC m, int w, int h) {
    const int stroke = std::max(1, std::min(w, h) / 40);
    // The monitor: a dark frame on a short stand.
    Box(m, w * 0.40, h * 0.84, w * 0.60, h * 0.95, RGB(96, 96, 104), RGB(96, 96, 104), 1, 0);
    Box(m, w * 0.28, h * 0.93, w * 0.72, h * 0.99, RGB(80, 80, 88), RGB(80, 80, 88), 1, w * 0.03);
    Box(m, w * 0.02, h * 0.02, w * 0.98, h * 0.86, RGB(60, 60, 68), RGB(40, 40, 46), stroke, w * 0.06);
    // The screen, in its own unit square.
    const double l = w * 0.07, t = h * 0.08, sw = w * 0.86, sh = h * 0.71;
    auto X = [&](double u) { return l + u * sw; };
    auto Y = [&](double v) { return t + v * sh; };
    if (!classic) {
      const COLORREF band = RGB(0, 48, 156);
      Box(m, X(0), Y(0), X(1), Y(1), RGB(90, 126, 220), RGB(90, 126, 220), 1, 0);
      Box(m, X(0), Y(0), X(1), Y(0.14), band, band, 1, 0);
      Box(m, X(0), Y(0.86), X(1), Y(1), band, band, 1, 0);
      Line(m, X(0), Y(0.15), X(1), Y(0.15), RGB(150, 180, 240), stroke);
      Line(m, X(0.5), Y(0.26), X(0.5), Y(0.76), RGB(150, 180, 240), stroke);
      // The greeting on the left, two user tiles with their names on the right.
      Line(m, X(0.12), Y(0.42), X(0.4), Y(0.42), white, stroke * 2);
      Line(m, X(0.12), Y(0.56), X(0.32), Y(0.56), RGB(200, 215, 245), stroke);
      const COLORREF tiles[] = {RGB(236, 140, 40), RGB(80, 170, 80)};
      double v = 0.28;
      for (const COLORREF tile : tiles) {
        Box(m, X(0.57), Y(v), X(0.69), Y(v + 0.19), tile, white, stroke, 0);
        Disc(m, X(0.63), Y(v + 0.07), sw * 0.022, white);
        Box(m, X(0.595), Y(v + 0.11), X(0.665), Y(v + 0.17), white, white, 1, sw * 0.02);
        Line(m, X(0.73), Y(v + 0.09), X(0.92), Y(v + 0.09), white, stroke);
        v += 0.28;
      }
    } else {
      const COLORREF face = RGB(212, 208, 200);
      const COLORREF shadow = RGB(128, 128, 128);
      Box(m, X(0), Y(0), X(1), Y(1), RGB(0, 128, 128), RGB(0, 128, 128), 1, 0);
      // The logon dialog: title bar, two fields with their labels, a button.
      Box(m, X(0.14), Y(0.16), X(0.86), Y(0.86), face, shadow, stroke, 0);
      Box(m, X(0.15), Y(0.17), X(0.85), Y(0.3), RGB(10, 36, 106), RGB(10, 36, 106), 1, 0);
      Line(m, X(0.19), Y(0.235), X(0.45), Y(0.235), white, stroke);
      for (const double row : {0.4, 0.55}) {
        Line(m, X(0.2), Y(row + 0.04), X(0.36), Y(row + 0.04), RGB(40, 40, 40), stroke);
        Box(m, X(0.4), Y(row), X(0.8), Y(row + 0.09), white, shadow, stroke, 0);
      }
      Box(m, X(0.58), Y(0.7), X(0.8), Y(0.8), face, RGB(64, 64, 64), stroke, 0);
    }
  });
}

void DrawLoadingFrame(HDC dc, const RECT& rc, int frame, COLORREF background) {
  const COLORREF strong = RGB(33, 93, 198);
  const COLORREF faint = Mix(background, strong, 0.18);
  Supersampled(dc, rc, background, [&](HDC m, int w, int h) {
    const double cx = w / 2.0;
    const double cy = h / 2.0;
    const double ring = std::min(w, h) * 0.34;
    const double dot = std::min(w, h) * 0.085;
    constexpr double kPi = 3.14159265358979323846;
    for (int i = 0; i < 8; ++i) {
      const int age = ((frame - i) % 8 + 8) % 8;  // 0: the frame's own dot
      const double strength = age < 4 ? 1.0 - age * 0.25 : 0.0;
      const double a = -kPi / 2 + i * kPi / 4;
      Disc(m, cx + ring * std::cos(a), cy + ring * std::sin(a), dot * (1.0 + 0.25 * strength),
           Mix(faint, strong, strength));
    }
  });
}

void DrawNavGlyph(HDC dc, const RECT& rc, int index, COLORREF background) {
  // Each glyph is a small tile of its group's colour with a white symbol.
  struct Style {
    COLORREF tile;
    int symbol;
  };
  static const Style kStyles[kNavGlyphCount] = {
      {RGB(224, 128, 32), 0},   // 0 animations and effects: star
      {RGB(58, 120, 208), 1},   // 1 file types: page
      {RGB(222, 170, 40), 2},   // 2 folder types: folder
      {RGB(70, 150, 70), 3},    // 3 input options: mouse
      {RGB(58, 120, 208), 4},   // 4 start menu: window panes
      {RGB(58, 120, 208), 5},   // 5 task bar: bar
      {RGB(40, 150, 160), 6},   // 6 network: linked nodes
      {RGB(30, 110, 200), 7},   // 7 internet explorer: globe
      {RGB(220, 100, 30), 7},   // 8 firefox: globe
      {RGB(120, 120, 120), 8},  // 9 e-mail: envelope
      {RGB(150, 80, 170), 9},   // 10 privacy: eye
      {RGB(80, 110, 170), 10},  // 11 user logon: person
      {RGB(110, 110, 130), 11}, // 12 driver: disk
      {RGB(70, 140, 90), 12},   // 13 memory: chip
      {RGB(200, 70, 60), 13},   // 14 start and maintenance: power
      {RGB(60, 130, 200), 14},  // 15 information: "i"
      {RGB(50, 150, 80), 15},   // 16 security center: shield
      {RGB(40, 110, 200), 16},  // 17 general settings: sliders
  };
  if (index < 0 || index >= kNavGlyphCount) return;
  const Style& st = kStyles[index];
  const COLORREF white = RGB(255, 255, 255);
  Supersampled(dc, rc, background, [&](HDC m, int w, int h) {
    const double s = std::min(w, h);
    const double ox = (w - s) / 2.0;
    const double oy = (h - s) / 2.0;
    auto X = [&](double u) { return ox + u * s; };
    auto Y = [&](double v) { return oy + v * s; };
    const int stroke = std::max(1, static_cast<int>(s * 0.08));
    Box(m, X(0.04), Y(0.04), X(0.96), Y(0.96), st.tile, Mix(st.tile, RGB(0, 0, 0), 0.25), stroke / 2, s * 0.3);
    switch (st.symbol) {
      case 0: {  // star
        POINT p[10];
        constexpr double kPi = 3.14159265358979323846;
        for (int i = 0; i < 10; ++i) {
          const double r = (i % 2 == 0) ? 0.34 : 0.15;
          const double a = -kPi / 2 + i * kPi / 5;
          p[i] = {static_cast<LONG>(X(0.5 + r * std::cos(a))), static_cast<LONG>(Y(0.53 + r * std::sin(a)))};
        }
        Pen pen(m, white, 1);
        Brush brush(m, white);
        Polygon(m, p, 10);
        break;
      }
      case 1:  // page with lines
        Box(m, X(0.28), Y(0.2), X(0.72), Y(0.8), white, white, 1, s * 0.06);
        for (double v : {0.36, 0.5, 0.64}) Line(m, X(0.36), Y(v), X(0.64), Y(v), st.tile, stroke);
        break;
      case 2:  // folder
        Box(m, X(0.2), Y(0.28), X(0.48), Y(0.42), white, white, 1, s * 0.06);
        Box(m, X(0.2), Y(0.36), X(0.8), Y(0.74), white, white, 1, s * 0.06);
        break;
      case 3:  // mouse
        Box(m, X(0.33), Y(0.2), X(0.67), Y(0.8), white, white, 1, s * 0.3);
        Line(m, X(0.5), Y(0.22), X(0.5), Y(0.42), st.tile, stroke);
        Line(m, X(0.34), Y(0.42), X(0.66), Y(0.42), st.tile, stroke);
        break;
      case 4:  // four panes
        for (double u : {0.24, 0.52})
          for (double v : {0.24, 0.52}) Box(m, X(u), Y(v), X(u + 0.24), Y(v + 0.24), white, white, 1, s * 0.04);
        break;
      case 5:  // task bar with buttons
        Box(m, X(0.18), Y(0.6), X(0.82), Y(0.78), white, white, 1, s * 0.04);
        Box(m, X(0.22), Y(0.26), X(0.78), Y(0.52), Mix(st.tile, white, 0.55), white, stroke / 2, s * 0.04);
        break;
      case 6:  // linked nodes
        Line(m, X(0.3), Y(0.7), X(0.5), Y(0.32), white, stroke);
        Line(m, X(0.7), Y(0.7), X(0.5), Y(0.32), white, stroke);
        Line(m, X(0.3), Y(0.7), X(0.7), Y(0.7), white, stroke);
        for (auto [u, v] : {std::pair{0.5, 0.32}, std::pair{0.3, 0.7}, std::pair{0.7, 0.7}})
          Disc(m, X(u), Y(v), s * 0.1, white);
        break;
      case 7:  // globe
        Disc(m, X(0.5), Y(0.5), s * 0.3, white);
        {
          Pen pen(m, st.tile, stroke);
          HGDIOBJ old = SelectObject(m, GetStockObject(NULL_BRUSH));
          Ellipse(m, static_cast<int>(X(0.38)), static_cast<int>(Y(0.22)), static_cast<int>(X(0.62)),
                  static_cast<int>(Y(0.78)));
          SelectObject(m, old);
        }
        Line(m, X(0.22), Y(0.5), X(0.78), Y(0.5), st.tile, stroke);
        break;
      case 8:  // envelope
        Box(m, X(0.2), Y(0.3), X(0.8), Y(0.7), white, white, 1, s * 0.04);
        Line(m, X(0.22), Y(0.32), X(0.5), Y(0.52), st.tile, stroke);
        Line(m, X(0.78), Y(0.32), X(0.5), Y(0.52), st.tile, stroke);
        break;
      case 9:  // eye
        Box(m, X(0.18), Y(0.36), X(0.82), Y(0.64), white, white, 1, s * 0.3);
        Disc(m, X(0.5), Y(0.5), s * 0.1, st.tile);
        break;
      case 10:  // person
        Disc(m, X(0.5), Y(0.36), s * 0.13, white);
        Box(m, X(0.28), Y(0.54), X(0.72), Y(0.82), white, white, 1, s * 0.25);
        break;
      case 11:  // disk
        Box(m, X(0.2), Y(0.34), X(0.8), Y(0.66), white, white, 1, s * 0.08);
        Disc(m, X(0.68), Y(0.5), s * 0.05, st.tile);
        break;
      case 12:  // chip
        Box(m, X(0.3), Y(0.3), X(0.7), Y(0.7), white, white, 1, s * 0.04);
        for (double v : {0.38, 0.5, 0.62}) {
          Line(m, X(0.2), Y(v), X(0.3), Y(v), white, stroke);
          Line(m, X(0.7), Y(v), X(0.8), Y(v), white, stroke);
        }
        break;
      case 13: {  // power
        Pen pen(m, white, stroke + stroke / 2);
        HGDIOBJ old = SelectObject(m, GetStockObject(NULL_BRUSH));
        Arc(m, static_cast<int>(X(0.27)), static_cast<int>(Y(0.27)), static_cast<int>(X(0.73)),
            static_cast<int>(Y(0.73)), static_cast<int>(X(0.62)), static_cast<int>(Y(0.2)), static_cast<int>(X(0.38)),
            static_cast<int>(Y(0.2)));
        SelectObject(m, old);
        Line(m, X(0.5), Y(0.2), X(0.5), Y(0.48), white, stroke + stroke / 2);
        break;
      }
      case 14:  // "i"
        Disc(m, X(0.5), Y(0.28), s * 0.07, white);
        Box(m, X(0.44), Y(0.4), X(0.56), Y(0.76), white, white, 1, s * 0.04);
        break;
      case 15: {  // shield
        POINT p[5] = {{static_cast<LONG>(X(0.5)), static_cast<LONG>(Y(0.18))},
                      {static_cast<LONG>(X(0.76)), static_cast<LONG>(Y(0.28))},
                      {static_cast<LONG>(X(0.72)), static_cast<LONG>(Y(0.6))},
                      {static_cast<LONG>(X(0.5)), static_cast<LONG>(Y(0.82))},
                      {static_cast<LONG>(X(0.28)), static_cast<LONG>(Y(0.6))}};
        Pen pen(m, white, 1);
        Brush brush(m, white);
        POINT q[6] = {p[0], p[1], p[2], p[3], p[4], {static_cast<LONG>(X(0.24)), static_cast<LONG>(Y(0.28))}};
        Polygon(m, q, 6);
        break;
      }
      default:  // sliders
        for (auto [v, k] : {std::pair{0.32, 0.62}, std::pair{0.5, 0.38}, std::pair{0.68, 0.55}}) {
          Line(m, X(0.22), Y(v), X(0.78), Y(v), white, stroke);
          Disc(m, X(k), Y(v), s * 0.08, white);
        }
        break;
    }
  });
}

}  // namespace corvanel::ui::win32
