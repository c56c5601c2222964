#include "platform/win32/windows_api.h"
#include "platform/win32/parts.h"
#include "platform/win32/wide_text.h"

#include <map>

namespace corvanel::platform::win32 {
namespace {

SC_HANDLE ToSc(ScHandle h) { return reinterpret_cast<SC_HANDLE>(h); }
ScHandle FromSc(SC_HANDLE h) { return reinterpret_cast<ScHandle>(h); }

void CopyStatus(const SERVICE_STATUS& from, ServiceStatus* to) {
  if (!to) return;
  to->service_type = from.dwServiceType;
  to->current_state = from.dwCurrentState;
  to->controls_accepted = from.dwControlsAccepted;
  to->win32_exit_code = from.dwWin32ExitCode;
  to->check_point = from.dwCheckPoint;
  to->wait_hint = from.dwWaitHint;
}

// Handles returned here are owned by the caller, who gives them back with Close().
class Win32Services final : public Services {
 public:
  ~Win32Services() override {
    for (const auto& [access, manager] : managers_) CloseServiceHandle(manager);
  }

  // Opening the service manager is a remote call that costs milliseconds (under Wine
  // about eight, and as much again to close); pages and Apply open it often. One handle
  // per access is kept for the process's life, and closing it is left to the end.
  ScHandle OpenManager(std::uint32_t access) override {
    if (const auto it = managers_.find(access); it != managers_.end()) return Track(FromSc(it->second));
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, access);
    if (manager != nullptr) managers_[access] = manager;
    return Track(FromSc(manager));
  }

  ScHandle OpenService(ScHandle manager, const std::string& name, std::uint32_t access) override {
    return Track(FromSc(OpenServiceW(ToSc(manager), Widen(name).c_str(), access)));
  }

  bool ChangeStartType(ScHandle service, std::uint32_t start_type) override {
    return Track(ChangeServiceConfigW(ToSc(service), SERVICE_NO_CHANGE, start_type, SERVICE_NO_CHANGE, nullptr,
                                      nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) != FALSE);
  }

  bool Start(ScHandle service) override { return Track(StartServiceW(ToSc(service), 0, nullptr) != FALSE); }

  bool Control(ScHandle service, std::uint32_t control, ServiceStatus* status) override {
    SERVICE_STATUS s{};
    const bool ok = Track(ControlService(ToSc(service), control, &s) != FALSE);
    // Windows fills the status also for some refusals (a control the service does not accept).
    CopyStatus(s, status);
    return ok;
  }

  bool QueryStatus(ScHandle service, ServiceStatus* status) override {
    SERVICE_STATUS s{};
    const bool ok = Track(QueryServiceStatus(ToSc(service), &s) != FALSE);
    if (ok) CopyStatus(s, status);
    return ok;
  }

  bool QueryStartType(ScHandle service, std::uint32_t* start_type) override {
    // The first call only asks for the size: the configuration carries variable-length texts.
    DWORD needed = 0;
    QueryServiceConfigW(ToSc(service), nullptr, 0, &needed);
    if (needed == 0) return Track(false);
    std::vector<std::uint8_t> buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (!Track(QueryServiceConfigW(ToSc(service), config, needed, &needed) != FALSE)) return false;
    if (start_type) *start_type = config->dwStartType;
    return true;
  }

  void Close(ScHandle handle) override {
    if (!handle) return;
    for (const auto& [access, manager] : managers_)
      if (manager == ToSc(handle)) return;
    CloseServiceHandle(ToSc(handle));
  }

  long LastError() override { return last_error_; }

 private:
  template <typename T>
  T Track(T result) {
    last_error_ = result ? 0 : static_cast<long>(GetLastError());
    return result;
  }

  long last_error_ = 0;
  std::map<std::uint32_t, SC_HANDLE> managers_;
};

}  // namespace

std::unique_ptr<Services> MakeServices() { return std::make_unique<Win32Services>(); }

}  // namespace corvanel::platform::win32
