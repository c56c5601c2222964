#include "bench/win32_process.h"

#include <windows.h>

#include "platform/reg_text.h"

namespace corvanel::bench {

namespace {
std::wstring Wide(const std::string& s) {
  const std::u16string w = platform::Utf8ToUtf16(s);
  return std::wstring(w.begin(), w.end());
}
}  // namespace

std::string TempFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH, temp);
  return platform::Utf16ToUtf8(std::u16string(temp, temp + n));
}

long RunQuiet(const std::string& command_line) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                           OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = si.hStdOutput = si.hStdError = nul;
  PROCESS_INFORMATION pi{};
  std::wstring line = Wide(command_line);
  long code = -1;
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) {
      DWORD exit_code = 0;
      GetExitCodeProcess(pi.hProcess, &exit_code);
      code = static_cast<long>(exit_code);
    } else {
      TerminateProcess(pi.hProcess, 1);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  if (nul != INVALID_HANDLE_VALUE) {
    CloseHandle(nul);
  }
  return code;
}

void RemoveFile(const std::string& path) { DeleteFileW(Wide(path).c_str()); }

}  // namespace corvanel::bench
