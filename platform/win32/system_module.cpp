#include "platform/win32/system_module.h"

#include <string>

namespace corvanel::platform::win32 {

UniqueModule LoadSystemLibrary(const wchar_t* name) {
  HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module || GetLastError() != ERROR_INVALID_PARAMETER) return UniqueModule(module);
  // The flag is unknown before Windows 7 with KB2533623: name the System32 file itself.
  wchar_t dir[MAX_PATH];
  const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return UniqueModule();
  std::wstring path(dir, n);
  path += L'\\';
  path += name;
  return UniqueModule(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace corvanel::platform::win32
