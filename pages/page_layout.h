// The grid every settings page is laid out on, in 96-DPI pixels (the renderer scales).
// The notebook page is 459 x 403; the page control fills it but for a 4-px margin, which
// leaves its sheets a 443 x 367 client area. Group boxes stack down a sheet, their rows
// 22 px apart below a 16-px caption strip, and the Default / preset buttons sit at the
// sheet's bottom right:
//   form.Create<GroupBox>(sheet, name, layout::GroupBounds(8, 70), caption);
//   form.Create<CheckBox>(group, name, layout::RowBounds(1), caption);
//   form.Create<Button>(sheet, name, layout::SheetButtonBounds(0, 1), "Default Settings");
#pragma once

#include "forms/component.h"

namespace corvanel::pages::layout {

inline constexpr forms::Rect kPageControl = {4, 4, 451, 395};
inline constexpr int kSheetWidth = 443;
inline constexpr int kSheetHeight = 367;

inline constexpr int kGroupLeft = 8;
inline constexpr int kGroupWidth = 427;
inline constexpr int kGroupGap = 8;  // between stacked group boxes
inline constexpr int kFirstGroupTop = 8;

inline constexpr int kRowLeft = 12;
inline constexpr int kRowWidth = kGroupWidth - 2 * kRowLeft;
inline constexpr int kRowTop = 20;  // below the group box's caption strip
inline constexpr int kRowStep = 22;
inline constexpr int kRowHeight = 17;
inline constexpr int kTwoLineRowHeight = 30;
inline constexpr int kLabelHeight = 13;  // per line
inline constexpr int kComboHeight = 21;
inline constexpr int kEditHeight = 21;
inline constexpr int kButtonHeight = 25;

inline constexpr int kButtonTop = 334;
inline constexpr int kButtonWidth = 110;
inline constexpr int kButtonGap = 6;
inline constexpr int kButtonsRight = kGroupLeft + kGroupWidth;  // flush with the group boxes

// Top of row `row` (0 first) inside a group box.
constexpr int RowTop(int row) { return kRowTop + row * kRowStep; }

// A check box or radio button filling row `row` of a group box.
constexpr forms::Rect RowBounds(int row, int height = kRowHeight) {
  return {kRowLeft, RowTop(row), kRowWidth, height};
}

// A group box of the sheet's column.
constexpr forms::Rect GroupBounds(int top, int height) { return {kGroupLeft, top, kGroupWidth, height}; }

// The top of the group box that follows one at `top` with `height`.
constexpr int GroupBelow(int top, int height) { return top + height + kGroupGap; }

// Button `index` (0 leftmost) of `count` buttons lined up at the sheet's bottom right.
constexpr forms::Rect SheetButtonBounds(int index, int count, int width = kButtonWidth) {
  const int left = kButtonsRight - count * width - (count - 1) * kButtonGap + index * (width + kButtonGap);
  return {left, kButtonTop, width, kButtonHeight};
}

}  // namespace corvanel::pages::layout
