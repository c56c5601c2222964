// Run-time lookup of functions that not every Windows has, loading DLLs from System32
// only: the program runs elevated, so a DLL planted beside it must never be picked up.
#pragma once

#include "platform/win32/windows_api.h"

#include "platform/win32/handles.h"

namespace corvanel::platform::win32 {

// LoadLibraryExW(name, LOAD_LIBRARY_SEARCH_SYSTEM32); on Windows that do not know the
// flag, the same file by its full System32 path. Empty when it cannot be loaded.
UniqueModule LoadSystemLibrary(const wchar_t* name);

// GetProcAddress cast to the function's type; null when missing.
template <typename Fn>
Fn FindProc(HMODULE module, const char* name) {
  if (!module) return nullptr;
  // Through void* to keep -Wcast-function-type quiet: FARPROC is a generic stand-in.
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A function of kernel32, which every process has loaded: no reference is taken.
template <typename Fn>
Fn FindKernel32Proc(const char* name) {
  return FindProc<Fn>(GetModuleHandleW(L"kernel32.dll"), name);
}

}  // namespace corvanel::platform::win32
