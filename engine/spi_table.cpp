// The system parameters the pages set, with how each one's current value is read back.
#include <cstdio>

#include "engine/reg_file.h"
#include "engine/undo.h"

namespace corvanel::engine {

namespace {

struct SpiRow {
  SpiCounterpart c;
  const char* name;
};

// Windows has no GET for the double-click and drag sizes or the button swap; the value
// they set is what the matching system metric reports.
constexpr int kSmSwapButton = 23, kSmCxDoubleClk = 36, kSmCyDoubleClk = 37, kSmCxDrag = 68, kSmCyDrag = 69;

constexpr SpiRow kRows[] = {
    {{0x0002, 0x0001, -1, true, 0}, "SPI_SETBEEP"},
    {{0x000B, 0x000A, -1, true, 0}, "SPI_SETKEYBOARDSPEED"},
    {{0x0017, 0x0016, -1, true, 0}, "SPI_SETKEYBOARDDELAY"},
    {{0x001D, 0, kSmCxDoubleClk, true, 0}, "SPI_SETDOUBLECLKWIDTH"},
    {{0x001E, 0, kSmCyDoubleClk, true, 0}, "SPI_SETDOUBLECLKHEIGHT"},
    {{0x0021, 0, kSmSwapButton, true, 0}, "SPI_SETMOUSEBUTTONSWAP"},
    {{0x0025, 0x0026, -1, true, 0}, "SPI_SETDRAGFULLWINDOWS"},
    {{0x002C, 0x002B, -1, true, 20}, "SPI_SETMINIMIZEDMETRICS"},
    {{0x0049, 0x0048, -1, true, 8}, "SPI_SETANIMATION"},
    {{0x004B, 0x004A, -1, true, 0}, "SPI_SETFONTSMOOTHING"},
    {{0x004C, 0, kSmCxDrag, true, 0}, "SPI_SETDRAGWIDTH"},
    {{0x004D, 0, kSmCyDrag, true, 0}, "SPI_SETDRAGHEIGHT"},
    {{0x0060, 0x005F, -1, true, 0}, "SPI_SETSNAPTODEFBUTTON"},
    {{0x0063, 0x0062, -1, true, 0}, "SPI_SETMOUSEHOVERWIDTH"},
    {{0x0065, 0x0064, -1, true, 0}, "SPI_SETMOUSEHOVERHEIGHT"},
    {{0x0067, 0x0066, -1, true, 0}, "SPI_SETMOUSEHOVERTIME"},
    {{0x0069, 0x0068, -1, true, 0}, "SPI_SETWHEELSCROLLLINES"},
    {{0x006B, 0x006A, -1, true, 0}, "SPI_SETMENUSHOWDELAY"},
    {{0x1003, 0x1002, -1, false, 0}, "SPI_SETMENUANIMATION"},
    {{0x1005, 0x1004, -1, false, 0}, "SPI_SETCOMBOBOXANIMATION"},
    {{0x1007, 0x1006, -1, false, 0}, "SPI_SETLISTBOXSMOOTHSCROLLING"},
    {{0x1009, 0x1008, -1, false, 0}, "SPI_SETGRADIENTCAPTIONS"},
    {{0x100B, 0x100A, -1, false, 0}, "SPI_SETKEYBOARDCUES"},
    {{0x100F, 0x100E, -1, false, 0}, "SPI_SETHOTTRACKING"},
    {{0x1013, 0x1012, -1, false, 0}, "SPI_SETMENUFADE"},
    {{0x1015, 0x1014, -1, false, 0}, "SPI_SETSELECTIONFADE"},
    {{0x1017, 0x1016, -1, false, 0}, "SPI_SETTOOLTIPANIMATION"},
    {{0x1019, 0x1018, -1, false, 0}, "SPI_SETTOOLTIPFADE"},
    {{0x101B, 0x101A, -1, false, 0}, "SPI_SETCURSORSHADOW"},
    {{0x1023, 0x1022, -1, false, 0}, "SPI_SETFLATMENU"},
    {{0x1025, 0x1024, -1, false, 0}, "SPI_SETDROPSHADOW"},
    {{0x103F, 0x103E, -1, false, 0}, "SPI_SETUIEFFECTS"},
    {{0x1043, 0x1042, -1, false, 0}, "SPI_SETCLIENTAREAANIMATION"},
    {{0x2001, 0x2000, -1, false, 0}, "SPI_SETFOREGROUNDLOCKTIMEOUT"},
    {{0x2005, 0x2004, -1, false, 0}, "SPI_SETFOREGROUNDFLASHCOUNT"},
    {{0x2007, 0x2006, -1, false, 0}, "SPI_SETCARETWIDTH"},
    {{0x200B, 0x200A, -1, false, 0}, "SPI_SETFONTSMOOTHINGTYPE"},
};

const SpiRow* FindRow(std::uint32_t set_action) {
  for (const SpiRow& row : kRows) {
    if (row.c.set == set_action) return &row;
  }
  return nullptr;
}

}  // namespace

const SpiCounterpart* FindSpiCounterpart(std::uint32_t set_action) {
  const SpiRow* row = FindRow(set_action);
  return row ? &row->c : nullptr;
}

std::string SpiActionName(std::uint32_t action) {
  if (const SpiRow* row = FindRow(action)) return row->name;
  char text[16];
  std::snprintf(text, sizeof text, "SPI 0x%04X", static_cast<unsigned>(action));
  return text;
}

}  // namespace corvanel::engine
