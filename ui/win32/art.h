// The pictures the program draws itself: panel gradients, the program picture, the
// frames of the loading animation and the navigation glyphs. Shapes are drawn at four
// times the size and averaged down, so they stay smooth at every DPI without bitmaps.
#pragma once

#include "platform/win32/windows_api.h"

#include <functional>

namespace corvanel::ui::win32 {

// Answers WM_PAINT by drawing into an off-screen bitmap of the client area and copying it
// at once, so that controls repainted often (the loading animation, the group bar) do not
// flicker. `draw` paints the whole client rectangle.
void PaintBuffered(HWND hwnd, const std::function<void(HDC dc, const RECT& client)>& draw);

// Vertical (top to bottom) or horizontal (left to right) two-colour gradient.
void FillGradient(HDC dc, const RECT& rc, COLORREF from, COLORREF to, bool vertical);

// The program picture: the application icon at the size of `rc`.
void DrawProgramPicture(HDC dc, const RECT& rc);

// A small screen showing a logon: the welcome screen with its user tiles, or (`classic`)
// the logon dialog on a plain desktop. `background` is what lies around the monitor.
void DrawLogonPicture(HDC dc, const RECT& rc, bool classic, COLORREF background);

// One frame (0-7) of the loading animation: eight dots on a ring, the dot of the frame
// strongest and the ones before it fading.
void DrawLoadingFrame(HDC dc, const RECT& rc, int frame, COLORREF background);

// Glyph `index` of the navigation image strip, centred in `rc`.
void DrawNavGlyph(HDC dc, const RECT& rc, int index, COLORREF background);
inline constexpr int kNavGlyphCount = 18;

// The navigation glyphs drawn once at one size over one background: the bar's image
// strip, so that painting the bar is a copy per item.
class GlyphStrip {
 public:
  GlyphStrip(int size, COLORREF background);
  ~GlyphStrip();
  GlyphStrip(const GlyphStrip&) = delete;
  GlyphStrip& operator=(const GlyphStrip&) = delete;
  int Size() const { return size_; }
  void Draw(HDC dc, int x, int y, int index) const;

 private:
  int size_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace corvanel::ui::win32
