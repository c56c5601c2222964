#include "platform/memory/memory_platform.h"
#include "platform/memory/text.h"

namespace corvanel::platform::memory {
namespace {

constexpr std::uint32_t kChangeConfig = 0x0002;
constexpr std::uint32_t kQueryStatus = 0x0004;
constexpr std::uint32_t kStart = 0x0010;
constexpr std::uint32_t kStop = 0x0020;
constexpr std::uint32_t kInterrogate = 0x0080;

std::uint32_t MapServiceAccess(std::uint32_t access) {
  std::uint32_t granted = access & 0x000F01FF;
  if (access & win::GENERIC_READ) granted |= 0x2008D;
  if (access & 0x40000000) granted |= 0x20002;  // GENERIC_WRITE
  if (access & 0x20000000) granted |= 0x201F0;  // GENERIC_EXECUTE
  if (access & 0x10000000) granted |= win::SERVICE_ALL_ACCESS;
  return granted;
}

bool Pending(std::uint32_t state) {
  return state == win::SERVICE_START_PENDING || state == win::SERVICE_STOP_PENDING;
}

}  // namespace

bool MemoryServices::Fail(const std::string& call, const std::string& service, std::uint32_t arg, long error) {
  last_error_ = error;
  calls_.push_back({call, service, arg, false, error});
  return false;
}

void MemoryServices::Ok(const std::string& call, const std::string& service, std::uint32_t arg) {
  calls_.push_back({call, service, arg, true, 0});
}

ServiceStatus MemoryServices::StatusOf(const Service& s) {
  ServiceStatus st;
  st.service_type = kServiceWin32OwnProcess;
  st.current_state = s.state;
  // A service takes controls only once it runs.
  st.controls_accepted =
      (s.state == win::SERVICE_RUNNING || s.state == win::SERVICE_STOP_PENDING) ? s.controls_accepted : 0;
  st.check_point = Pending(s.state) ? 1 : 0;
  st.wait_hint = Pending(s.state) ? 2000 : 0;
  return st;
}

MemoryServices::Service* MemoryServices::ServiceOf(ScHandle h, std::uint32_t right, const char* call,
                                                   std::uint32_t arg) {
  auto it = handles_.find(h);
  if (it == handles_.end() || it->second.manager) {
    Fail(call, "", arg, win::kInvalidHandle);
    return nullptr;
  }
  auto s = services_.find(it->second.key);
  if (s == services_.end()) {
    // Deleted while open: Windows answers "marked for delete".
    Fail(call, it->second.key, arg, 1072);
    return nullptr;
  }
  if (!(it->second.access & right)) {
    Fail(call, s->second.name, arg, win::kAccessDenied);
    return nullptr;
  }
  return &s->second;
}

ScHandle MemoryServices::OpenManager(std::uint32_t access) {
  if (open_manager_error_ != 0) {
    Fail("open_manager", "", access, open_manager_error_);
    return 0;
  }
  const ScHandle h = next_handle_;
  next_handle_ += 4;
  handles_[h] = HandleInfo{true, "", access};
  Ok("open_manager", "", access);
  return h;
}

ScHandle MemoryServices::OpenService(ScHandle manager, const std::string& name, std::uint32_t access) {
  auto m = handles_.find(manager);
  if (m == handles_.end() || !m->second.manager) {
    Fail("open", name, access, win::kInvalidHandle);
    return 0;
  }
  const std::string key = FoldCase(name);
  if (!services_.count(key)) {
    Fail("open", name, access, win::kServiceDoesNotExist);
    return 0;
  }
  const ScHandle h = next_handle_;
  next_handle_ += 4;
  handles_[h] = HandleInfo{false, key, MapServiceAccess(access)};
  Ok("open", services_[key].name, access);
  return h;
}

bool MemoryServices::ChangeStartType(ScHandle service, std::uint32_t start_type) {
  Service* s = ServiceOf(service, kChangeConfig, "change_start_type", start_type);
  if (!s) return false;
  if (start_type != win::SERVICE_NO_CHANGE) {
    if (start_type > win::SERVICE_DISABLED) return Fail("change_start_type", s->name, start_type, win::kInvalidParameter);
    s->start_type = start_type;
  }
  Ok("change_start_type", s->name, start_type);
  return true;
}

bool MemoryServices::Start(ScHandle service) {
  Service* s = ServiceOf(service, kStart, "start", 0);
  if (!s) return false;
  if (s->state != win::SERVICE_STOPPED) return Fail("start", s->name, 0, win::kServiceAlreadyRunning);
  if (s->start_type == win::SERVICE_DISABLED) return Fail("start", s->name, 0, win::kServiceDisabled);
  if (s->start_error != 0) return Fail("start", s->name, 0, s->start_error);
  if (s->start_pending != 0) {
    s->state = win::SERVICE_START_PENDING;
    s->pending_left = s->start_pending;
  } else {
    s->state = win::SERVICE_RUNNING;
  }
  Ok("start", s->name, 0);
  return true;
}

bool MemoryServices::Control(ScHandle service, std::uint32_t control, ServiceStatus* status) {
  const std::uint32_t right = control == win::SERVICE_CONTROL_STOP          ? kStop
                              : control == win::SERVICE_CONTROL_INTERROGATE ? kInterrogate
                                                                            : 0x0100;
  Service* s = ServiceOf(service, right, "control", control);
  if (!s) return false;
  if (status) *status = StatusOf(*s);
  if (control != win::SERVICE_CONTROL_STOP && control != win::SERVICE_CONTROL_INTERROGATE) {
    return Fail("control", s->name, control, control == 0 ? win::kInvalidParameter : win::kServiceCannotAcceptCtrl);
  }
  if (s->state == win::SERVICE_STOPPED) return Fail("control", s->name, control, win::kServiceNotActive);
  if (Pending(s->state)) return Fail("control", s->name, control, win::kServiceCannotAcceptCtrl);
  if (control == win::SERVICE_CONTROL_STOP) {
    if (!(s->controls_accepted & kServiceAcceptStop)) {
      return Fail("control", s->name, control, win::kServiceCannotAcceptCtrl);
    }
    if (s->stop_pending != 0) {
      s->state = win::SERVICE_STOP_PENDING;
      s->pending_left = s->stop_pending;
    } else {
      s->state = win::SERVICE_STOPPED;
    }
  }
  if (status) *status = StatusOf(*s);
  Ok("control", s->name, control);
  return true;
}

std::string MemoryServices::Dump() const {
  std::string out;
  for (const auto& [key, s] : services_) {
    out += "service " + s.name + " state " + std::to_string(s.state) + " start " + std::to_string(s.start_type) + "\n";
  }
  return out;
}

bool MemoryServices::QueryStartType(ScHandle service, std::uint32_t* start_type) {
  Service* s = ServiceOf(service, win::SERVICE_QUERY_CONFIG, "query_config", 0);
  if (!s) return false;
  if (start_type) *start_type = s->start_type;
  Ok("query_config", s->name, s->start_type);
  return true;
}

bool MemoryServices::QueryStatus(ScHandle service, ServiceStatus* status) {
  Service* s = ServiceOf(service, kQueryStatus, "query", 0);
  if (!s) return false;
  if (Pending(s->state)) {
    if (s->pending_left == 0) {
      s->state = s->state == win::SERVICE_START_PENDING ? win::SERVICE_RUNNING : win::SERVICE_STOPPED;
    } else if (s->pending_left > 0) {
      --s->pending_left;
    }
  }
  if (status) *status = StatusOf(*s);
  Ok("query", s->name, s->state);
  return true;
}

void MemoryServices::Close(ScHandle handle) {
  auto it = handles_.find(handle);
  if (it == handles_.end()) {
    Fail("close", "", 0, win::kInvalidHandle);
    return;
  }
  const std::string key = it->second.key;
  handles_.erase(it);
  Ok("close", key, 0);
}

void MemoryServices::AddService(const std::string& name, std::uint32_t state, std::uint32_t start_type,
                                std::uint32_t controls_accepted) {
  Service s;
  s.name = name;
  s.state = state;
  s.start_type = start_type;
  s.controls_accepted = controls_accepted;
  services_[FoldCase(name)] = s;
}

void MemoryServices::RemoveService(const std::string& name) { services_.erase(FoldCase(name)); }

bool MemoryServices::HasService(const std::string& name) const { return services_.count(FoldCase(name)) != 0; }

std::optional<std::uint32_t> MemoryServices::State(const std::string& name) const {
  auto it = services_.find(FoldCase(name));
  if (it == services_.end()) return std::nullopt;
  return it->second.state;
}

std::optional<std::uint32_t> MemoryServices::StartType(const std::string& name) const {
  auto it = services_.find(FoldCase(name));
  if (it == services_.end()) return std::nullopt;
  return it->second.start_type;
}

void MemoryServices::SetState(const std::string& name, std::uint32_t state) {
  auto it = services_.find(FoldCase(name));
  if (it == services_.end()) return;
  it->second.state = state;
  // A pending state set by hand lasts until the test sets another.
  it->second.pending_left = Pending(state) ? -1 : 0;
}

void MemoryServices::SetStartPending(const std::string& name, int status_queries) {
  auto it = services_.find(FoldCase(name));
  if (it != services_.end()) it->second.start_pending = status_queries;
}

void MemoryServices::SetStopPending(const std::string& name, int status_queries) {
  auto it = services_.find(FoldCase(name));
  if (it != services_.end()) it->second.stop_pending = status_queries;
}

void MemoryServices::FailStart(const std::string& name, long error) {
  auto it = services_.find(FoldCase(name));
  if (it != services_.end()) it->second.start_error = error;
}

}  // namespace corvanel::platform::memory
