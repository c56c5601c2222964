#include "tests/e2e/remote.h"

#include <thread>
#include <vector>

#include <commctrl.h>

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

bool Program::Start(const std::wstring& exe, const std::wstring& args) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  std::wstring cmd = L"\"" + exe + L"\"";
  if (!args.empty()) cmd += L" " + args;
  return CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_) != FALSE;
}

bool Program::Running() const { return pi_.hProcess != nullptr && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

bool Program::WaitExit(int timeout_ms, DWORD* code) {
  if (WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeout_ms)) != WAIT_OBJECT_0) return false;
  if (code != nullptr) GetExitCodeProcess(pi_.hProcess, code);
  return true;
}

int RunTool(const std::wstring& args) {
  std::wstring self(MAX_PATH, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  Program tool;
  DWORD code = 0;
  if (!tool.Start(self, L"--tool " + args) || !tool.WaitExit(10000, &code)) return -1;
  return static_cast<int>(code);
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
  return QueryWindow(main_, query, arg);
}

LRESULT QueryWindow(HWND target, ui::win32::AutomationQuery query, const std::string& arg) {
  if (target == nullptr) return 0;
  COPYDATASTRUCT cds{};
  cds.dwData = query;
  cds.cbData = static_cast<DWORD>(arg.size());
  cds.lpData = arg.empty() ? nullptr : const_cast<char*>(arg.data());
  DWORD_PTR result = 0;
  if (SendMessageTimeoutW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 5000, &result) == 0)
    return 0;
  return static_cast<LRESULT>(result);
}

HWND Program::Control(const std::string& name) const {
  return reinterpret_cast<HWND>(Query(ui::win32::kQueryFindControl, name));
}

HWND Program::ControlIn(HWND dialog, const std::string& name) const {
  return reinterpret_cast<HWND>(QueryWindow(dialog, ui::win32::kQueryFindControl, name));
}

HWND Program::WaitWindowOf(const wchar_t* cls, int timeout_ms) const {
  HWND found = nullptr;
  WaitFor(
      [&] {
        found = FindWindowOf(cls);
        return (found != nullptr && IsWindowVisible(found)) || !Running();
      },
      timeout_ms);
  return found != nullptr && IsWindowVisible(found) ? found : nullptr;
}

int ListItemCount(HWND list) {
  DWORD_PTR n = 0;
  if (SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000, &n) == 0) return -1;
  return static_cast<int>(n);
}

bool ListItemChecked(HWND list, int item) {
  DWORD_PTR state = 0;
  SendMessageTimeoutW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK, SMTO_NORMAL, 5000,
                      &state);
  return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

bool SetListItemChecked(HANDLE process, HWND list, int item, bool checked) {
  LVITEMW lv{};
  lv.stateMask = LVIS_STATEIMAGEMASK;
  lv.state = INDEXTOSTATEIMAGEMASK(checked ? 2u : 1u);
  void* remote = VirtualAllocEx(process, nullptr, sizeof(lv), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (remote == nullptr) return false;
  SIZE_T written = 0;
  DWORD_PTR ok = 0;
  const bool sent = WriteProcessMemory(process, remote, &lv, sizeof(lv), &written) && written == sizeof(lv) &&
                    SendMessageTimeoutW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                                        reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 5000, &ok) != 0;
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return sent && ok != 0;
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
