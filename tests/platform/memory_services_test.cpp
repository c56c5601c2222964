// Scripted service behaviour of the memory service manager.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/memory/memory_platform.h"

namespace corvanel::platform::memory {
namespace {

using namespace win;

class MemoryServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    svc.AddService("wscsvc");
    manager = svc.OpenManager(SC_MANAGER_ALL_ACCESS);
    service = svc.OpenService(manager, "WscSvc", SERVICE_ALL_ACCESS);
    ASSERT_NE(0u, service);
  }
  std::uint32_t Query() {
    ServiceStatus st;
    EXPECT_TRUE(svc.QueryStatus(service, &st));
    return st.current_state;
  }
  MemoryServices svc;
  ScHandle manager = 0, service = 0;
};

TEST_F(MemoryServicesTest, PendingLastsTheScriptedNumberOfQueries) {
  svc.SetStartPending("wscsvc", 2);
  svc.SetStopPending("wscsvc", 1);
  ASSERT_TRUE(svc.Start(service));
  EXPECT_EQ(SERVICE_START_PENDING, Query());
  // Controls are refused while the service is between states.
  ServiceStatus st;
  EXPECT_FALSE(svc.Control(service, SERVICE_CONTROL_INTERROGATE, &st));
  EXPECT_EQ(kServiceCannotAcceptCtrl, svc.LastError());
  EXPECT_EQ(SERVICE_START_PENDING, Query());
  EXPECT_EQ(SERVICE_RUNNING, Query());

  ASSERT_TRUE(svc.Control(service, SERVICE_CONTROL_STOP, &st));
  EXPECT_EQ(SERVICE_STOP_PENDING, st.current_state);
  EXPECT_EQ(SERVICE_STOP_PENDING, Query());
  EXPECT_EQ(SERVICE_STOPPED, Query());
}

TEST_F(MemoryServicesTest, EndlessPendingEndsOnlyWhenTheTestSaysSo) {
  svc.SetStartPending("wscsvc", -1);
  ASSERT_TRUE(svc.Start(service));
  for (int i = 0; i < 50; ++i) ASSERT_EQ(SERVICE_START_PENDING, Query());

  // A test can end it from the clock while the code under test waits.
  MemoryClock clock;
  clock.set_on_sleep([&](std::uint64_t) { svc.SetState("WSCSVC", SERVICE_RUNNING); });
  clock.SleepMs(100);
  EXPECT_EQ(SERVICE_RUNNING, Query());
  EXPECT_EQ(std::vector<std::uint32_t>{100}, clock.sleeps());
}

TEST_F(MemoryServicesTest, FailuresAndRights) {
  svc.FailOpenManager(kAccessDenied);
  EXPECT_EQ(0u, svc.OpenManager(SC_MANAGER_ALL_ACCESS));
  EXPECT_EQ(kAccessDenied, svc.LastError());
  svc.FailOpenManager(0);

  svc.FailStart("wscsvc", 1053);
  EXPECT_FALSE(svc.Start(service));
  EXPECT_EQ(1053, svc.LastError());
  EXPECT_EQ(std::optional<std::uint32_t>(SERVICE_STOPPED), svc.State("wscsvc"));
  svc.FailStart("wscsvc", 0);

  const ScHandle reader = svc.OpenService(manager, "wscsvc", GENERIC_READ);
  EXPECT_FALSE(svc.Start(reader));
  EXPECT_EQ(kAccessDenied, svc.LastError());
  EXPECT_FALSE(svc.ChangeStartType(reader, SERVICE_AUTO_START));
  EXPECT_TRUE(svc.ChangeStartType(service, SERVICE_AUTO_START));
  EXPECT_EQ(std::optional<std::uint32_t>(SERVICE_AUTO_START), svc.StartType("wscsvc"));

  // A service that does not take STOP.
  svc.AddService("MpsSvc", SERVICE_RUNNING, SERVICE_AUTO_START, 0);
  const ScHandle mps = svc.OpenService(manager, "mpssvc", SERVICE_ALL_ACCESS);
  ServiceStatus st;
  EXPECT_FALSE(svc.Control(mps, SERVICE_CONTROL_STOP, &st));
  EXPECT_EQ(kServiceCannotAcceptCtrl, svc.LastError());
  EXPECT_EQ(SERVICE_RUNNING, st.current_state);

  EXPECT_FALSE(svc.QueryStatus(manager, &st));
  EXPECT_EQ(kInvalidHandle, svc.LastError());

  for (ScHandle h : {reader, mps, service, manager}) svc.Close(h);
  EXPECT_EQ(0u, svc.open_handle_count());
  const auto& calls = svc.calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ("close", calls.back().call);
  EXPECT_EQ(1, std::count_if(calls.begin(), calls.end(), [](const ServiceCall& c) {
              return c.call == "change_start_type" && c.ok;
            }));
}

}  // namespace
}  // namespace corvanel::platform::memory
