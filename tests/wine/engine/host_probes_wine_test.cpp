// The engine's service probe against the real service manager, with our test service
// standing in for the services Wine lacks. (The version probes are checked per Windows
// version by version/version_classes.sh.)
#include <gtest/gtest.h>

#include "engine/host_probes.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"
#include "tests/wine/support/test_service.h"

namespace corvanel::wine_test {
namespace {

// Starts or stops `name` through the platform and waits (bounded) for the state.
bool Drive(platform::Platform& p, const std::string& name, bool start) {
  platform::Services& s = p.services();
  const platform::ScHandle manager = s.OpenManager(SC_MANAGER_ALL_ACCESS);
  const platform::ScHandle service = s.OpenService(manager, name, SERVICE_ALL_ACCESS);
  platform::ServiceStatus status;
  bool ok = service && (start ? s.Start(service) : s.Control(service, SERVICE_CONTROL_STOP, &status));
  const std::uint32_t want = start ? SERVICE_RUNNING : SERVICE_STOPPED;
  for (int i = 0; ok && i < 500 && s.QueryStatus(service, &status) && status.current_state != want; ++i) {
    p.clock().SleepMs(10);
  }
  ok = ok && status.current_state == want;
  s.Close(service);
  s.Close(manager);
  return ok;
}

TEST(HostProbesUnderWine, ServiceStateFollowsTheRealService) {
  auto platform = platform::MakeWin32Platform();
  for (const char* name : {"wscsvc", "MpsSvc", "SharedAccess"}) {
    SCOPED_TRACE(name);
    RemoveService(name);
    EXPECT_EQ(1, engine::QueryServiceState(*platform, name)) << "not installed";
    std::string error;
    auto service = TestService::Install(name, {}, &error);
    ASSERT_TRUE(service) << error;
    EXPECT_EQ(0, engine::QueryServiceState(*platform, name)) << "installed, stopped";
    ASSERT_TRUE(Drive(*platform, name, true));
    EXPECT_EQ(2, engine::QueryServiceState(*platform, name)) << "running";
    ASSERT_TRUE(Drive(*platform, name, false));
    EXPECT_EQ(0, engine::QueryServiceState(*platform, name)) << "stopped again";
  }
}

}  // namespace
}  // namespace corvanel::wine_test
