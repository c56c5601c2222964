#include <climits>

#include "platform/win32/windows_api.h"
#include "platform/win32/parts.h"
#include "platform/win32/system_module.h"
#include "platform/win32/wide_text.h"

namespace corvanel::platform::win32 {
namespace {

class Win32SystemParameters final : public SystemParameters {
 public:
  bool Spi(std::uint32_t action, std::uint32_t ui_param, void* pv_param, std::uint32_t win_ini) override {
    return SystemParametersInfoW(action, ui_param, pv_param, win_ini) != FALSE;
  }
  int Metrics(int index) override { return GetSystemMetrics(index); }
};

class Win32System final : public System {
 public:
  bool GetVersion(OsVersion* version) override {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return false;
    if (version) {
      version->major = info.dwMajorVersion;
      version->minor = info.dwMinorVersion;
      version->build = info.dwBuildNumber;
      version->platform_id = info.dwPlatformId;
      version->product_type = info.wProductType;
      version->service_pack_major = info.wServicePackMajor;
      version->csd_version = Narrow(info.szCSDVersion);
    }
    return true;
  }

  bool GetNativeProcessorArchitecture(std::uint16_t* architecture) override {
    using Fn = void(WINAPI*)(LPSYSTEM_INFO);
    const auto fn = FindKernel32Proc<Fn>("GetNativeSystemInfo");
    if (!fn) return false;
    SYSTEM_INFO info{};
    fn(&info);
    if (architecture) *architecture = info.wProcessorArchitecture;
    return true;
  }

  std::uint16_t GetProcessorArchitecture() override {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return info.wProcessorArchitecture;
  }

  std::string AnsiToUtf8(const std::string& ansi) override {
    if (ansi.empty() || ansi.size() > INT_MAX) return std::string();
    const int length = static_cast<int>(ansi.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    if (needed <= 0) return std::string();
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), needed);
    return Narrow(wide);
  }

  std::string Utf8ToAnsi(const std::string& utf8) override {
    const std::wstring wide = Widen(utf8);
    if (wide.empty() || wide.size() > INT_MAX) return std::string();
    const int length = static_cast<int>(wide.size());
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return std::string();
    std::string ansi(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), length, ansi.data(), needed, nullptr, nullptr);
    return ansi;
  }

  std::string ExecutablePath() override {
    // GetModuleFileNameW truncates silently and returns the buffer size: grow until it fits.
    for (DWORD capacity = MAX_PATH; capacity <= 65536; capacity *= 2) {
      std::wstring buffer(capacity, L'\0');
      const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), capacity);
      if (n == 0) return std::string();
      if (n < capacity) return Narrow(std::wstring_view(buffer.data(), n));
    }
    return std::string();
  }
};

class Win32Clock final : public Clock {
 public:
  std::uint64_t NowMs() override {
    using Fn = ULONGLONG(WINAPI*)();
    static const auto tick64 = FindKernel32Proc<Fn>("GetTickCount64");
    if (tick64) return tick64();
    // Before Vista: widen the 32-bit counter, counting its wrap-arounds (every 49.7 days).
    const DWORD now = GetTickCount();
    if (now < last_tick_) high_ += 1ull << 32;
    last_tick_ = now;
    return high_ + now;
  }
  void SleepMs(std::uint32_t ms) override { Sleep(ms); }

 private:
  DWORD last_tick_ = 0;
  std::uint64_t high_ = 0;
};

}  // namespace

std::unique_ptr<SystemParameters> MakeSystemParameters() { return std::make_unique<Win32SystemParameters>(); }
std::unique_ptr<System> MakeSystem() { return std::make_unique<Win32System>(); }
std::unique_ptr<Clock> MakeClock() { return std::make_unique<Win32Clock>(); }

}  // namespace corvanel::platform::win32
