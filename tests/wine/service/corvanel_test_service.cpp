// A minimal Windows service for tests: it runs until told to stop and answers STOP and
// INTERROGATE, so the service code of the program can be exercised against a real
// service manager under any name (Wine has none of the services the program asks about).
//
// Command line: corvanel_test_service.exe <name> [pending-ms]
//   pending-ms  how long start and stop stay in *_PENDING before completing (default 0).
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cwchar>

namespace {

// A test run that dies without stopping us must not leave a service running forever.
constexpr DWORD kMaxLifetimeMs = 10 * 60 * 1000;

wchar_t g_name[257] = L"CorvanelTestService";
DWORD g_pending_ms = 0;
SERVICE_STATUS_HANDLE g_handle = nullptr;
SERVICE_STATUS g_status{};
HANDLE g_stop = nullptr;

void Report(DWORD state, DWORD wait_hint = 0) {
  g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  g_status.dwCurrentState = state;
  g_status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  g_status.dwWin32ExitCode = NO_ERROR;
  g_status.dwWaitHint = wait_hint;
  g_status.dwCheckPoint = (state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING) ? 1 : 0;
  SetServiceStatus(g_handle, &g_status);
}

DWORD WINAPI Handler(DWORD control, DWORD, LPVOID, LPVOID) {
  switch (control) {
    case SERVICE_CONTROL_STOP:
      Report(SERVICE_STOP_PENDING, g_pending_ms + 1000);
      SetEvent(g_stop);
      return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
      SetServiceStatus(g_handle, &g_status);
      return NO_ERROR;
    default:
      return ERROR_CALL_NOT_IMPLEMENTED;
  }
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
  g_handle = RegisterServiceCtrlHandlerExW(g_name, Handler, nullptr);
  if (!g_handle) return;
  g_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!g_stop) {
    Report(SERVICE_STOPPED);
    return;
  }
  if (g_pending_ms) {
    Report(SERVICE_START_PENDING, g_pending_ms + 1000);
    Sleep(g_pending_ms);
  }
  Report(SERVICE_RUNNING);
  WaitForSingleObject(g_stop, kMaxLifetimeMs);
  if (g_pending_ms) Sleep(g_pending_ms);
  CloseHandle(g_stop);
  Report(SERVICE_STOPPED);
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv && argc > 1) {
    wcsncpy(g_name, argv[1], 256);
    g_name[256] = L'\0';
  }
  if (argv && argc > 2) g_pending_ms = static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10));
  if (argv) LocalFree(argv);
  SERVICE_TABLE_ENTRYW table[] = {{g_name, ServiceMain}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherW(table) ? 0 : static_cast<int>(GetLastError());
}
