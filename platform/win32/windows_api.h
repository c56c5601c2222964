// <windows.h> for code that also sees the seam. platform.h must come first: its
// constants (REG_SZ, MB_OK, ...) share their names with Windows macros, and its methods
// (MessageBox, ChooseColor, OpenService, ExitWindows) with A/W macros, which are undone here.
#pragma once

#include "platform/platform.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#undef MessageBox
#undef ChooseColor
#undef OpenService
#undef ExitWindows
