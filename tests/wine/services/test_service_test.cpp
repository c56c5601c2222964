// The test service and its registration helper against the real service manager, seen
// through the platform the program uses.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"
#include "tests/wine/support/test_service.h"

namespace corvanel::wine_test {
namespace {

using platform::ScHandle;
using platform::ServiceStatus;
namespace win = platform::win;

class TestServiceTest : public ::testing::Test {
 protected:
  // Polls the status until it is `state`, at most `limit_ms`; returns the last state seen.
  std::uint32_t WaitFor(ScHandle service, std::uint32_t state, std::uint64_t limit_ms = 5000) {
    ServiceStatus status;
    const std::uint64_t start = clock().NowMs();
    while (services().QueryStatus(service, &status) && status.current_state != state &&
           clock().NowMs() - start < limit_ms) {
      clock().SleepMs(10);
    }
    return status.current_state;
  }
  platform::Services& services() { return platform_->services(); }
  platform::Clock& clock() { return platform_->clock(); }

  std::unique_ptr<platform::Platform> platform_ = platform::MakeWin32Platform();
};

TEST_F(TestServiceTest, RunsUnderTheNamesTheProgramAsksFor) {
  for (const char* name : {"wscsvc", "MpsSvc", "SharedAccess"}) {
    SCOPED_TRACE(name);
    std::string error;
    {
      auto service = TestService::Install(name, {}, &error);
      ASSERT_TRUE(service) << error;
      const ScHandle manager = services().OpenManager(SC_MANAGER_ALL_ACCESS);
      ASSERT_NE(0u, manager);
      const ScHandle handle = services().OpenService(manager, name, SERVICE_ALL_ACCESS);
      ASSERT_NE(0u, handle) << services().LastError();

      ServiceStatus status;
      EXPECT_FALSE(services().Control(handle, SERVICE_CONTROL_INTERROGATE, &status));
      EXPECT_EQ(win::kServiceNotActive, services().LastError());

      const std::uint64_t t0 = clock().NowMs();
      ASSERT_TRUE(services().Start(handle)) << services().LastError();
      EXPECT_EQ(SERVICE_RUNNING, WaitFor(handle, SERVICE_RUNNING));
      const std::uint64_t t1 = clock().NowMs();
      ASSERT_TRUE(services().Control(handle, SERVICE_CONTROL_INTERROGATE, &status));
      EXPECT_EQ(SERVICE_RUNNING, status.current_state);
      ASSERT_TRUE(services().Control(handle, SERVICE_CONTROL_STOP, &status));
      EXPECT_EQ(SERVICE_STOPPED, WaitFor(handle, SERVICE_STOPPED));
      std::printf("%s: running after %llu ms, stopped %llu ms later\n", name,
                  static_cast<unsigned long long>(t1 - t0), static_cast<unsigned long long>(clock().NowMs() - t1));
      services().Close(handle);
      services().Close(manager);
    }
    // Gone with its owner.
    const ScHandle manager = services().OpenManager(SC_MANAGER_ALL_ACCESS);
    EXPECT_EQ(0u, services().OpenService(manager, name, GENERIC_READ));
    EXPECT_EQ(win::kServiceDoesNotExist, services().LastError());
    services().Close(manager);
  }
}

TEST_F(TestServiceTest, PendingStartIsVisibleBeforeRunning) {
  auto service = TestService::Install("CorvanelPendingSvc", {SERVICE_DEMAND_START, 700});
  ASSERT_TRUE(service);
  const ScHandle manager = services().OpenManager(SC_MANAGER_ALL_ACCESS);
  const ScHandle handle = services().OpenService(manager, service->name(), SERVICE_ALL_ACCESS);
  ASSERT_NE(0u, handle);
  ASSERT_TRUE(services().Start(handle));
  clock().SleepMs(200);
  ServiceStatus status;
  ASSERT_TRUE(services().QueryStatus(handle, &status));
  EXPECT_EQ(SERVICE_START_PENDING, status.current_state);
  EXPECT_EQ(SERVICE_RUNNING, WaitFor(handle, SERVICE_RUNNING));
  ASSERT_TRUE(services().Control(handle, SERVICE_CONTROL_STOP, &status));
  EXPECT_EQ(SERVICE_STOP_PENDING, status.current_state);
  EXPECT_EQ(SERVICE_STOPPED, WaitFor(handle, SERVICE_STOPPED));
  services().Close(handle);
  services().Close(manager);
}

// A leftover of a crashed run, still running, must not block the next registration.
TEST_F(TestServiceTest, ReplacesARunningLeftover) {
  auto leftover = TestService::Install("CorvanelLeftoverSvc");
  ASSERT_TRUE(leftover);
  const ScHandle manager = services().OpenManager(SC_MANAGER_ALL_ACCESS);
  ScHandle handle = services().OpenService(manager, "CorvanelLeftoverSvc", SERVICE_ALL_ACCESS);
  ASSERT_TRUE(services().Start(handle));
  EXPECT_EQ(SERVICE_RUNNING, WaitFor(handle, SERVICE_RUNNING));
  services().Close(handle);

  auto fresh = TestService::Install("CorvanelLeftoverSvc", {SERVICE_AUTO_START, 0});
  ASSERT_TRUE(fresh);
  handle = services().OpenService(manager, "CorvanelLeftoverSvc", SERVICE_ALL_ACCESS);
  ASSERT_NE(0u, handle);
  ServiceStatus status;
  ASSERT_TRUE(services().QueryStatus(handle, &status));
  EXPECT_EQ(SERVICE_STOPPED, status.current_state);
  services().Close(handle);
  services().Close(manager);
}

// ChangeStartType changes the start type and nothing else of the configuration.
TEST_F(TestServiceTest, StartTypeChangeKeepsTheRestOfTheConfiguration) {
  auto service = TestService::Install("CorvanelConfigSvc");
  ASSERT_TRUE(service);
  platform::win32::UniqueSc manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  platform::win32::UniqueSc raw(OpenServiceW(manager.get(), L"CorvanelConfigSvc", SERVICE_ALL_ACCESS));
  ASSERT_TRUE(raw);
  const auto handle = reinterpret_cast<ScHandle>(raw.get());
  auto config = [&] {
    std::vector<std::uint8_t> buffer(8192);
    DWORD needed = 0;
    auto* c = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    EXPECT_TRUE(QueryServiceConfigW(raw.get(), c, static_cast<DWORD>(buffer.size()), &needed));
    return std::make_tuple(c->dwStartType, c->dwServiceType, platform::win32::Narrow(c->lpBinaryPathName));
  };
  const auto before = config();
  struct Row {
    std::uint32_t start_type;
    bool starts;
  };
  for (const Row& row : {Row{SERVICE_DISABLED, false}, Row{SERVICE_AUTO_START, true},
                         Row{SERVICE_DEMAND_START, true}}) {
    SCOPED_TRACE(row.start_type);
    ASSERT_TRUE(services().ChangeStartType(handle, row.start_type)) << services().LastError();
    const auto after = config();
    EXPECT_EQ(row.start_type, std::get<0>(after));
    EXPECT_EQ(std::get<1>(before), std::get<1>(after));
    EXPECT_EQ(std::get<2>(before), std::get<2>(after));
    if (row.starts) {
      ASSERT_TRUE(services().Start(handle)) << services().LastError();
      EXPECT_EQ(SERVICE_RUNNING, WaitFor(handle, SERVICE_RUNNING));
      ServiceStatus status;
      ASSERT_TRUE(services().Control(handle, SERVICE_CONTROL_STOP, &status));
      EXPECT_EQ(SERVICE_STOPPED, WaitFor(handle, SERVICE_STOPPED));
    } else {
      EXPECT_FALSE(services().Start(handle));
      EXPECT_EQ(win::kServiceDisabled, services().LastError());
    }
  }
}

}  // namespace
}  // namespace corvanel::wine_test
