#include "platform/win32/windows_api.h"
#include "platform/win32/handles.h"
#include "platform/win32/parts.h"
#include "platform/win32/wide_text.h"

namespace corvanel::platform::win32 {
namespace {

const wchar_t* OrNull(const std::wstring& s) { return s.empty() ? nullptr : s.c_str(); }

class Win32Shell final : public Shell {
 public:
  bool SpecialFolder(int csidl, std::string* path) override {
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE)) return false;
    if (path) *path = Narrow(buffer);
    return true;
  }

  std::string ExpandEnvironment(const std::string& text) override {
    const std::wstring source = Widen(text);
    DWORD capacity = static_cast<DWORD>(source.size()) + 1;
    // The result can grow between calls if the environment changes: retry a few times.
    for (int attempt = 0; attempt < 4; ++attempt) {
      std::wstring buffer(capacity, L'\0');
      const DWORD needed = ExpandEnvironmentStringsW(source.c_str(), buffer.data(), capacity);
      if (needed == 0) return text;
      if (needed <= capacity) return Narrow(buffer.c_str());
      capacity = needed;
    }
    return text;
  }

  void ChangeNotify(std::int32_t event_id, std::uint32_t flags) override {
    SHChangeNotify(event_id, flags, nullptr, nullptr);
  }

  std::intptr_t Execute(std::uintptr_t owner, const std::string& verb, const std::string& file,
                        const std::string& parameters, const std::string& directory, int show) override {
    const std::wstring v = Widen(verb), f = Widen(file), p = Widen(parameters), d = Widen(directory);
    return reinterpret_cast<std::intptr_t>(
        ShellExecuteW(reinterpret_cast<HWND>(owner), OrNull(v), f.c_str(), OrNull(p), OrNull(d), show));
  }
};

class Win32Restart final : public Restart {
 public:
  bool EnableShutdownPrivilege() override {
    UniqueKernel token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.out())) return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) return false;
    SetLastError(ERROR_SUCCESS);
    if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) return false;
    // AdjustTokenPrivileges succeeds even when the token does not hold the privilege.
    return GetLastError() != ERROR_NOT_ALL_ASSIGNED;
  }

  bool ExitWindows(std::uint32_t flags, std::uint32_t reason) override {
    return ExitWindowsEx(flags, reason) != FALSE;
  }
};

}  // namespace

std::unique_ptr<Shell> MakeShell() { return std::make_unique<Win32Shell>(); }
std::unique_ptr<Restart> MakeRestart() { return std::make_unique<Win32Restart>(); }

}  // namespace corvanel::platform::win32
