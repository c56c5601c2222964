// How a test driver (or the screenshot script) talks to a running corvanel.exe from
// another process. Everything goes through WM_COPYDATA sent to the main window (class
// "TCorvanel_FormMain"): dwData names the query, lpData carries its UTF-8 argument
// (no terminating NUL needed), and the LRESULT is the answer. WM_COPYDATA is the one
// message Windows marshals across processes, so no shared memory is needed.
//
// Finding a control by Name: kQueryFindControl with the component's name returns its
// HWND (0 when unknown). Every control also has a stable dialog ID (ControlIdForName),
// so GetDlgItem(parent, ControlIdForName(name)) works once the parent is known.
//
// A dialog form shown modally is a top-level window of class "T" + the form's name, owned
// by the main window (which is disabled meanwhile). It answers kQueryFindControl for its
// own controls, sent to the dialog's window: its "Button_OK" is not the main window's.
#pragma once

#include <cstdint>
#include <string_view>

namespace corvanel::ui::win32 {

inline constexpr wchar_t kMainWindowClass[] = L"TCorvanel_FormMain";
inline constexpr wchar_t kFolderDialogClass[] = L"TCorvanel_FormFolder";
inline constexpr wchar_t kMutexName[] = L"_Velmora_Corvanel_";
// WM_USER + 156: bring the running window to the front.
inline constexpr unsigned kActivateMessage = 1180;

enum AutomationQuery : std::uintptr_t {
  // name -> HWND of the control, 0 when there is none. Controls of a tab sheet get their
  // windows when the sheet is first shown: open the page and tab first (kQueryShowPage).
  kQueryFindControl = 0x43560001,
  // decimal tag -> centre of the item's row in the group bar's client coordinates,
  // MAKELONG(x, y); -1 when the item is not shown (hidden, or its group collapsed).
  kQueryNavItemPoint = 0x43560002,
  // (no argument) -> tag of the selected navigation item, 0 when none.
  kQuerySelectedTag = 0x43560003,
  // "tag" or "tag,tab" -> opens the page as a click on its item would and, when given,
  // selects the tab with that sheet index. 1 when done, 0 when not possible.
  kQueryShowPage = 0x43560004,
  // decimal tag -> 1 when that item is drawn bold in the selected colour, else 0.
  kQueryItemHighlighted = 0x43560005,
  // (no argument) -> 1 once the start page is loaded and the loading panel is gone.
  kQueryStartupDone = 0x43560006,
  // "total", "windows" or "paint" -> microseconds of the last first visit of a page: the
  // whole click (load, adaptation and the windows of its controls), the part of it spent
  // inside the system's window creation, and the paint after it. The start page's visit
  // is the start-up timer's tick, whose paint comes later with the panel's going (0).
  kQueryLastVisit = 0x43560010,
};

// Dialog IDs of model controls: a hash of the folded name in [0x1000, 0x7FFF]. Names
// are case-insensitive in the model, so the ID is too. Collisions are resolved by the
// renderer (the later control takes the next free ID); the driver should prefer
// kQueryFindControl, which is exact.
inline int ControlIdForName(std::string_view name) {
  std::uint32_t h = 2166136261u;
  for (char c : name) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z') u = static_cast<unsigned char>(u - 'A' + 'a');
    h = (h ^ u) * 16777619u;
  }
  return 0x1000 + static_cast<int>(h % 0x7000u);
}

}  // namespace corvanel::ui::win32
