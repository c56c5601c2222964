#include "tests/wine/support/test_service.h"

#include "platform/win32/handles.h"
#include "platform/win32/system_module.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/windows_api.h"

namespace corvanel::wine_test {
namespace {

using platform::win32::Narrow;
using platform::win32::UniqueSc;
using platform::win32::Widen;

constexpr DWORD kWaitMs = 10000;

std::string Describe(const char* what, DWORD code) { return std::string(what) + " failed: " + std::to_string(code); }

// Waits until the service leaves the pending states; bounded.
DWORD WaitWhilePending(SC_HANDLE service) {
  SERVICE_STATUS status{};
  const ULONGLONG deadline = GetTickCount64() + kWaitMs;
  while (QueryServiceStatus(service, &status)) {
    if (status.dwCurrentState != SERVICE_START_PENDING && status.dwCurrentState != SERVICE_STOP_PENDING) break;
    if (GetTickCount64() > deadline) break;
    Sleep(20);
  }
  return status.dwCurrentState;
}

}  // namespace

std::string TestServiceBinary() {
  // The build knows the file by its Unix path; Wine maps it to a drive letter.
  const char* unix_path = CORVANEL_TEST_SERVICE_EXE;
  using Fn = LPWSTR(CDECL*)(LPCSTR);
  const auto to_dos = platform::win32::FindKernel32Proc<Fn>("wine_get_dos_file_name");
  if (to_dos) {
    if (LPWSTR dos = to_dos(unix_path)) {
      std::string path = Narrow(dos);
      HeapFree(GetProcessHeap(), 0, dos);
      return path;
    }
  }
  std::string path = unix_path;
  if (!path.empty() && path[0] == '/') {
    for (char& c : path) c = c == '/' ? '\\' : c;
    path = "Z:" + path;
  }
  return path;
}

bool RemoveService(const std::string& name) {
  UniqueSc manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager) return false;
  UniqueSc service(OpenServiceW(manager.get(), Widen(name).c_str(), SERVICE_ALL_ACCESS));
  if (!service) return GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST;
  SERVICE_STATUS status{};
  if (ControlService(service.get(), SERVICE_CONTROL_STOP, &status) || GetLastError() == ERROR_SERVICE_CANNOT_ACCEPT_CTRL) {
    WaitWhilePending(service.get());
  }
  if (!DeleteService(service.get()) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) return false;
  service.reset();
  // Deletion completes when the last handle is closed; wait until the name is free.
  const ULONGLONG deadline = GetTickCount64() + kWaitMs;
  while (GetTickCount64() < deadline) {
    UniqueSc again(OpenServiceW(manager.get(), Widen(name).c_str(), SERVICE_QUERY_STATUS));
    if (!again && GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST) return true;
    Sleep(20);
  }
  return false;
}

std::unique_ptr<TestService> TestService::Install(const std::string& name, const TestServiceOptions& options,
                                                  std::string* error) {
  auto fail = [&](std::string why) -> std::unique_ptr<TestService> {
    if (error) *error = std::move(why);
    return nullptr;
  };
  if (!RemoveService(name)) return fail("could not remove an earlier service " + name);
  UniqueSc manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager) return fail(Describe("OpenSCManagerW", GetLastError()));
  const std::string command =
      "\"" + TestServiceBinary() + "\" \"" + name + "\" " + std::to_string(options.pending_ms);
  const std::wstring wname = Widen(name);
  UniqueSc service(CreateServiceW(manager.get(), wname.c_str(), wname.c_str(), SERVICE_ALL_ACCESS,
                                  SERVICE_WIN32_OWN_PROCESS, options.start_type, SERVICE_ERROR_IGNORE,
                                  Widen(command).c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
  if (!service) return fail(Describe("CreateServiceW", GetLastError()));
  return std::unique_ptr<TestService>(new TestService(name));
}

TestService::~TestService() { RemoveService(name_); }

}  // namespace corvanel::wine_test
