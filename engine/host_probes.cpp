#include "engine/host_probes.h"

#include <exception>
#include <utility>

#include "engine/registry.h"

namespace corvanel::engine {

namespace win = platform::win;

namespace {

// A service-manager handle that closes itself.
class ScopedService {
 public:
  ScopedService(platform::Services& services, platform::ScHandle handle) : services_(services), handle_(handle) {}
  ScopedService(const ScopedService&) = delete;
  ScopedService& operator=(const ScopedService&) = delete;
  ~ScopedService() {
    if (handle_ != 0) {
      services_.Close(handle_);
    }
  }
  platform::ScHandle get() const { return handle_; }

 private:
  platform::Services& services_;
  platform::ScHandle handle_;
};

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool ContainsIgnoringCase(const std::string& text, const std::string& needle) {
  if (needle.size() > text.size()) {
    return false;
  }
  for (std::size_t i = 0; i + needle.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < needle.size() && Upper(text[i + k]) == Upper(needle[k])) {
      ++k;
    }
    if (k == needle.size()) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string GetWindowsName(platform::Platform& platform) {
  platform::System& system = platform.system();
  platform::OsVersion v;
  if (!system.GetVersion(&v)) {
    v = platform::OsVersion{};  // an unanswered query is an unknown Windows
  }
  std::uint16_t arch = 0;
  if (!system.GetNativeProcessorArchitecture(&arch)) {
    arch = system.GetProcessorArchitecture();
  }

  if (v.platform_id != win::VER_PLATFORM_WIN32_NT) {
    return {};
  }
  if (v.major == 3 || v.major == 4) {
    return "Windows NT";
  }
  if (v.major == 5) {
    switch (v.minor) {
      case 0:
        return "Windows 2000";
      case 1:
        return "Windows XP";
      case 2:
        return (v.product_type == win::VER_NT_WORKSTATION && arch == win::PROCESSOR_ARCHITECTURE_AMD64)
                   ? "Windows XP"
                   : "Windows 2003 Server";
      default:
        return {};
    }
  }
  if (v.major == 6) {
    // Server editions carry the name of the matching client.
    switch (v.minor) {
      case 0:
        return "Windows Vista";
      case 1:
        return "Windows 7";
      case 2:
        return "Windows 8";
      default:
        return {};
    }
  }
  return {};
}

int VersionClassFromName(const std::string& name) {
  static const std::pair<const char*, int> kClasses[] = {
      {"Windows 8", 8}, {"Windows 7", 7}, {"Windows Vista", 6}, {"Windows XP", 5}, {"Windows 2000", 4}};
  for (const auto& [text, cls] : kClasses) {
    if (name == text) {
      return cls;
    }
  }
  return 0;
}

int QueryServiceState(platform::Platform& platform, const std::string& name) {
  platform::Services& services = platform.services();
  ScopedService manager(services, services.OpenManager(win::SC_MANAGER_ALL_ACCESS));
  if (manager.get() == 0) {
    return 1;
  }
  ScopedService service(services, services.OpenService(manager.get(), name, win::GENERIC_READ));
  if (service.get() == 0) {
    return 1;
  }
  platform::ServiceStatus status;
  if (!services.Control(service.get(), win::SERVICE_CONTROL_INTERROGATE, &status)) {
    return 0;  // a stopped service does not answer
  }
  return status.current_state == win::SERVICE_RUNNING ? 2 : 1;
}

std::string GetIEVersion(platform::Platform& platform) {
  TRegistry reg(platform.registry());
  reg.SelectRoot(platform::HKLM);
  if (!reg.OpenPath("SOFTWARE\\MICROSOFT\\Internet Explorer\\Version Vector", false)) {
    return {};
  }
  try {
    return reg.ReadText("IE");
  } catch (const RegistryError&) {
    // "IE" stored as something other than text: no version we can compare.
    return {};
  }
}

namespace {

bool UninstallNamesFirefox(platform::Platform& platform, platform::RegKey root, bool view64) {
  TRegistry reg(platform.registry());
  reg.Use64BitView(view64);
  reg.SelectRoot(root);
  if (!reg.OpenPath("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\", false)) {
    return false;
  }
  for (const std::string& name : reg.SubkeyNames()) {
    if (ContainsIgnoringCase(name, "Mozilla Firefox")) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool IsFirefoxInstalled(platform::Platform& platform) {
  if (UninstallNamesFirefox(platform, platform::HKLM, false)) {
    return true;
  }
  // A 64-bit Firefox registers only in the 64-bit view, which this 32-bit program does
  // not see by default on a 64-bit Windows.
  if (IsWow64(platform.registry()) && UninstallNamesFirefox(platform, platform::HKLM, true)) {
    return true;
  }
  // Installed for the current user only: the entry is the user's own, and HKCU's software
  // is one view for 32- and 64-bit programs alike.
  return UninstallNamesFirefox(platform, platform::HKCU, false);
}

}  // namespace corvanel::engine
