#include "platform/memory/memory_platform.h"
#include "platform/memory/text.h"

namespace corvanel::platform::memory {

// --- System ---

MemorySystem::MemorySystem() { set_version(6, 1); }

void MemorySystem::set_version(std::uint32_t major, std::uint32_t minor, std::uint8_t product_type) {
  OsVersion v;
  v.major = major;
  v.minor = minor;
  v.platform_id = win::VER_PLATFORM_WIN32_NT;
  v.product_type = product_type;
  const std::uint32_t key = major * 10 + minor;
  v.build = key == 50 ? 2195 : key == 51 ? 2600 : key == 52 ? 3790 : key == 60 ? 6002 : key == 61 ? 7601
          : key == 62 ? 9200 : 0;
  if (key == 61 || key == 60) {
    v.service_pack_major = key == 61 ? 1 : 2;
    v.csd_version = "Service Pack " + std::to_string(v.service_pack_major);
  }
  version_ = v;
}

bool MemorySystem::GetVersion(OsVersion* version) {
  if (version_fails_ || !version) return false;
  *version = version_;
  return true;
}

bool MemorySystem::GetNativeProcessorArchitecture(std::uint16_t* architecture) {
  if (!native_available_) return false;
  if (architecture) *architecture = native_architecture_;
  return true;
}

std::uint16_t MemorySystem::GetProcessorArchitecture() { return architecture_; }
std::string MemorySystem::AnsiToUtf8(const std::string& ansi) { return Cp1252ToUtf8(ansi); }
std::string MemorySystem::Utf8ToAnsi(const std::string& utf8) { return Utf8ToCp1252(utf8); }
std::string MemorySystem::ExecutablePath() { return executable_path_; }

// --- Shell ---

MemoryShell::MemoryShell() {
  folders_[win::CSIDL_APPDATA] = "C:\\users\\user\\AppData\\Roaming";
  folders_[win::CSIDL_COMMON_APPDATA] = "C:\\ProgramData";
  SetEnv("SystemRoot", "C:\\windows");
  SetEnv("windir", "C:\\windows");
  SetEnv("SystemDrive", "C:");
  SetEnv("USERPROFILE", "C:\\users\\user");
  SetEnv("APPDATA", "C:\\users\\user\\AppData\\Roaming");
  SetEnv("ProgramData", "C:\\ProgramData");
  SetEnv("ProgramFiles", "C:\\Program Files");
}

bool MemoryShell::SpecialFolder(int csidl, std::string* path) {
  auto it = folders_.find(csidl);
  if (it == folders_.end()) return false;
  if (path) *path = it->second;
  return true;
}

std::string MemoryShell::ExpandEnvironment(const std::string& text) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '%') {
      out.push_back(text[i++]);
      continue;
    }
    const std::size_t close = text.find('%', i + 1);
    if (close == std::string::npos) {
      out.append(text, i, std::string::npos);
      break;
    }
    const std::string name = text.substr(i + 1, close - i - 1);
    auto it = name.empty() ? env_.end() : env_.find(FoldCase(name));
    if (it != env_.end()) {
      out += it->second;
      i = close + 1;
    } else {
      // An unknown name stays; its closing '%' may open the next name.
      out.append(text, i, close - i);
      i = close;
    }
  }
  return out;
}

void MemoryShell::ChangeNotify(std::int32_t event_id, std::uint32_t flags) {
  notifications_.push_back({event_id, flags});
}

std::intptr_t MemoryShell::Execute(std::uintptr_t owner, const std::string& verb, const std::string& file,
                                   const std::string& parameters, const std::string& directory, int show) {
  executions_.push_back({owner, verb, file, parameters, directory, show});
  return execute_result_;
}

void MemoryShell::SetEnv(const std::string& name, std::string value) { env_[FoldCase(name)] = std::move(value); }
void MemoryShell::UnsetEnv(const std::string& name) { env_.erase(FoldCase(name)); }

// --- Restart ---

bool MemoryRestart::EnableShutdownPrivilege() {
  ++privilege_requests_;
  return privilege_result_;
}

bool MemoryRestart::ExitWindows(std::uint32_t flags, std::uint32_t reason) {
  exit_calls_.push_back({flags, reason});
  return exit_result_;
}

// --- Dialogs ---

int MemoryDialogs::MessageBox(std::uintptr_t owner, const std::string& text, const std::string& caption,
                              std::uint32_t flags) {
  DialogCall call;
  call.kind = DialogCall::Kind::kMessageBox;
  call.owner = owner;
  call.text = text;
  call.caption = caption;
  call.flags = flags;
  int answer = win::IDCANCEL;
  if (!message_boxes_.empty()) {
    answer = message_boxes_.front();
    message_boxes_.pop_front();
    call.scripted = true;
  } else if ((flags & 0xF) == win::MB_OK) {
    answer = win::IDOK;
  } else if ((flags & 0xF) == win::MB_YESNO) {
    answer = win::IDNO;
  }
  calls_.push_back(std::move(call));
  return answer;
}

bool MemoryDialogs::OpenFile(std::uintptr_t owner, const std::vector<FileFilter>& filters,
                             const std::string& initial, std::string* path) {
  DialogCall call;
  call.kind = DialogCall::Kind::kOpenFile;
  call.owner = owner;
  call.filters = filters;
  call.initial = initial;
  std::optional<std::string> answer;
  if (!open_files_.empty()) {
    answer = open_files_.front();
    open_files_.pop_front();
    call.scripted = true;
  }
  calls_.push_back(std::move(call));
  if (!answer) return false;
  if (path) *path = *answer;
  return true;
}

bool MemoryDialogs::SaveFile(std::uintptr_t owner, const std::vector<FileFilter>& filters,
                             const std::string& initial, const std::string& extension, std::string* path) {
  DialogCall call;
  call.kind = DialogCall::Kind::kSaveFile;
  call.owner = owner;
  call.filters = filters;
  call.initial = initial;
  call.extension = extension;
  std::optional<std::string> answer;
  if (!save_files_.empty()) {
    answer = save_files_.front();
    save_files_.pop_front();
    call.scripted = true;
  }
  calls_.push_back(std::move(call));
  if (!answer) return false;
  if (path) *path = *answer;
  return true;
}

bool MemoryDialogs::ChooseColor(std::uintptr_t owner, std::uint32_t* color) {
  DialogCall call;
  call.kind = DialogCall::Kind::kChooseColor;
  call.owner = owner;
  call.color = color ? *color : 0;
  std::optional<std::uint32_t> answer;
  if (!colors_.empty()) {
    answer = colors_.front();
    colors_.pop_front();
    call.scripted = true;
  }
  calls_.push_back(std::move(call));
  if (!answer) return false;
  if (color) *color = *answer;
  return true;
}

// --- Clock ---

void MemoryClock::SleepMs(std::uint32_t ms) {
  now_ += ms;
  sleeps_.push_back(ms);
  if (on_sleep_) on_sleep_(now_);
}

std::uint64_t MemoryClock::total_slept() const {
  std::uint64_t t = 0;
  for (auto s : sleeps_) t += s;
  return t;
}

// --- Platform ---

MemoryPlatform::MemoryPlatform() = default;
MemoryPlatform::~MemoryPlatform() = default;

}  // namespace corvanel::platform::memory
