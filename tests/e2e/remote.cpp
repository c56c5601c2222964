#include "tests/e2e/remote.h"

#include <thread>
#include <vector>

namespace corvanel::e2e {

bool WaitFor(const std::function<bool()>& condition, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

std::wstring ExeFolder() {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n);
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring ProgramPath() { return ExeFolder() + L"..\\..\\ui\\win32\\corvanel.exe"; }

Program::~Program() {
  if (pi_.hProcess != nullptr) {
    if (Running()) {
      if (main_ != nullptr) PostMessageW(main_, WM_CLOSE, 0, 0);
      if (WaitForSingleObject(pi_.hProcess, 3000) != WAIT_OBJECT_0) {
        TerminateProcess(pi_.hProcess, 99);
        WaitForSingleObject(pi_.hProcess, 3000);
      }
    }
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }
}

bool Program::Start(const std::wstring& exe) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  std::wstring cmd = L"\"" + exe + L"\"";
  return CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_) != FALSE;
}

bool Program::Running() const { return pi_.hProcess != nullptr && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

bool Program::WaitExit(int timeout_ms, DWORD* code) {
  if (WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeout_ms)) != WAIT_OBJECT_0) return false;
  if (code != nullptr) GetExitCodeProcess(pi_.hProcess, code);
  return true;
}

HWND Program::FindWindowOf(const wchar_t* cls) const {
  struct Search {
    DWORD pid;
    const wchar_t* cls;
    HWND found;
  } search{pi_.dwProcessId, cls, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid != s->pid) return TRUE;
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        if (s->cls != nullptr && lstrcmpW(name, s->cls) != 0) return TRUE;
        s->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND Program::WaitMainWindow(int timeout_ms) {
  WaitFor(
      [&] {
        main_ = FindWindowOf(ui::win32::kMainWindowClass);
        return main_ != nullptr || !Running();
      },
      timeout_ms);
  return main_;
}

LRESULT Program::Query(ui::win32::AutomationQuery query, const std::string& arg) const {
  if (main_ == nullptr) return 0;
  COPYDATASTRUCT cds{};
  cds.dwData = query;
  cds.cbData = static_cast<DWORD>(arg.size());
  cds.lpData = arg.empty() ? nullptr : const_cast<char*>(arg.data());
  DWORD_PTR result = 0;
  if (SendMessageTimeoutW(main_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 5000, &result) == 0)
    return 0;
  return static_cast<LRESULT>(result);
}

HWND Program::Control(const std::string& name) const {
  return reinterpret_cast<HWND>(Query(ui::win32::kQueryFindControl, name));
}

bool Program::WaitStartup(int timeout_ms) const {
  return WaitFor([&] { return StartupDone(); }, timeout_ms);
}

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[512] = {};
  DWORD_PTR got = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 5000, &got);
  return std::wstring(buffer, got);
}

HWND FocusOf(HWND hwnd) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

}  // namespace corvanel::e2e
