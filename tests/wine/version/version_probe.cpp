// Prints what the program learns about the Windows version through the Win32 platform,
// one "key=value" per line, for the version-class test script to compare.
#include <cstdio>

#include "platform/win32/win32_platform.h"
#ifdef CORVANEL_HAVE_HOST_PROBES
#include "engine/host_probes.h"
#endif

int main() {
  auto platform = corvanel::platform::MakeWin32Platform();
  corvanel::platform::OsVersion version;
  if (!platform->system().GetVersion(&version)) {
    std::puts("error=GetVersion failed");
    return 1;
  }
  std::uint16_t native = 0xFFFF;
  const bool have_native = platform->system().GetNativeProcessorArchitecture(&native);
  std::printf("version=%u.%u\n", static_cast<unsigned>(version.major), static_cast<unsigned>(version.minor));
  std::printf("build=%u\n", static_cast<unsigned>(version.build));
  std::printf("platform=%u\n", static_cast<unsigned>(version.platform_id));
  std::printf("product=%u\n", static_cast<unsigned>(version.product_type));
  std::printf("native_arch=%d\n", have_native ? static_cast<int>(native) : -1);
  std::printf("arch=%u\n", static_cast<unsigned>(platform->system().GetProcessorArchitecture()));
#ifdef CORVANEL_HAVE_HOST_PROBES
  const std::string name = corvanel::engine::GetWindowsName(*platform);
  std::printf("name=%s\n", name.c_str());
  std::printf("class=%d\n", corvanel::engine::VersionClassFromName(name));
#endif
  std::puts("done");
  return 0;
}
