// Service manager behaviour both platforms share, on the contract service.
#include <gtest/gtest.h>

#include <cctype>

#include "tests/platform/contract_fixture.h"

namespace corvanel::contract {
namespace {

using namespace platform::win;
using platform::ScHandle;

class ServiceContract : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    name_ = ContractServiceName();
    manager_ = svc().OpenManager(SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(0u, manager_) << svc().LastError();
    service_ = svc().OpenService(manager_, name_, SERVICE_ALL_ACCESS);
    ASSERT_NE(0u, service_) << svc().LastError();
  }
  void TearDown() override {
    if (service_ != 0) {
      // Leave the service as found: stopped, on demand.
      svc().ChangeStartType(service_, SERVICE_DEMAND_START);
      if (State() == SERVICE_RUNNING) {
        platform::ServiceStatus st;
        svc().Control(service_, SERVICE_CONTROL_STOP, &st);
        WaitFor(SERVICE_STOPPED);
      }
      svc().Close(service_);
    }
    if (manager_ != 0) svc().Close(manager_);
    ContractTest::TearDown();
  }
  platform::Services& svc() { return sys().services(); }
  std::uint32_t State() {
    platform::ServiceStatus st;
    return svc().QueryStatus(service_, &st) ? st.current_state : 0;
  }
  // Bounded: a few seconds at most.
  std::uint32_t WaitFor(std::uint32_t state) {
    std::uint32_t now = State();
    for (int i = 0; i < 100 && now != state; ++i) {
      sys().clock().SleepMs(50);
      now = State();
    }
    return now;
  }

  std::string name_;
  ScHandle manager_ = 0;
  ScHandle service_ = 0;
};

// Callers open and close the manager around each use; one closing must not take it from
// another that still holds it.
TEST_F(ServiceContract, AManagerStaysUsableWhenAnotherOpeningIsClosed) {
  const ScHandle again = svc().OpenManager(SC_MANAGER_ALL_ACCESS);
  ASSERT_NE(0u, again) << svc().LastError();
  svc().Close(again);
  const ScHandle service = svc().OpenService(manager_, name_, GENERIC_READ);
  EXPECT_NE(0u, service) << svc().LastError();
  svc().Close(service);
  const ScHandle third = svc().OpenManager(SC_MANAGER_ALL_ACCESS);
  ASSERT_NE(0u, third) << svc().LastError();
  const ScHandle from_third = svc().OpenService(third, name_, GENERIC_READ);
  EXPECT_NE(0u, from_third) << svc().LastError();
  svc().Close(from_third);
  svc().Close(third);
}

TEST_F(ServiceContract, StartInterrogateStop) {
  platform::ServiceStatus st;
  ASSERT_EQ(SERVICE_STOPPED, State());
  EXPECT_FALSE(svc().Control(service_, SERVICE_CONTROL_INTERROGATE, &st));
  EXPECT_EQ(kServiceNotActive, svc().LastError());
  EXPECT_FALSE(svc().Control(service_, SERVICE_CONTROL_STOP, &st));
  EXPECT_EQ(kServiceNotActive, svc().LastError());

  ASSERT_TRUE(svc().Start(service_)) << svc().LastError();
  ASSERT_EQ(SERVICE_RUNNING, WaitFor(SERVICE_RUNNING));
  EXPECT_FALSE(svc().Start(service_));
  EXPECT_EQ(kServiceAlreadyRunning, svc().LastError());

  // The probes interrogate through a read-only handle.
  const ScHandle reader = svc().OpenService(manager_, name_, GENERIC_READ);
  ASSERT_NE(0u, reader);
  st = {};
  EXPECT_TRUE(svc().Control(reader, SERVICE_CONTROL_INTERROGATE, &st)) << svc().LastError();
  EXPECT_EQ(SERVICE_RUNNING, st.current_state);
  EXPECT_FALSE(svc().Control(reader, SERVICE_CONTROL_STOP, &st));
  EXPECT_EQ(kAccessDenied, svc().LastError());
  svc().Close(reader);

  EXPECT_TRUE(svc().Control(service_, SERVICE_CONTROL_STOP, &st)) << svc().LastError();
  EXPECT_EQ(SERVICE_STOPPED, WaitFor(SERVICE_STOPPED));
  EXPECT_FALSE(svc().Control(service_, SERVICE_CONTROL_INTERROGATE, &st));
  EXPECT_EQ(kServiceNotActive, svc().LastError());
}

TEST_F(ServiceContract, DisabledServiceDoesNotStartUntilEnabled) {
  ASSERT_TRUE(svc().ChangeStartType(service_, SERVICE_DISABLED)) << svc().LastError();
  std::uint32_t start_type = 0;
  EXPECT_TRUE(svc().QueryStartType(service_, &start_type)) << svc().LastError();
  EXPECT_EQ(start_type, SERVICE_DISABLED) << "the start type reads back";
  EXPECT_FALSE(svc().Start(service_));
  EXPECT_EQ(kServiceDisabled, svc().LastError());
  EXPECT_EQ(SERVICE_STOPPED, State());

  ASSERT_TRUE(svc().ChangeStartType(service_, SERVICE_DEMAND_START));
  EXPECT_TRUE(svc().Start(service_)) << svc().LastError();
  EXPECT_EQ(SERVICE_RUNNING, WaitFor(SERVICE_RUNNING));
}

TEST_F(ServiceContract, NamesAreFoundWithoutCase) {
  std::string upper = name_;
  for (auto& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const ScHandle h = svc().OpenService(manager_, upper, GENERIC_READ);
  EXPECT_NE(0u, h) << svc().LastError();
  if (h != 0) svc().Close(h);

  EXPECT_EQ(0u, svc().OpenService(manager_, "CorvanelNoSuchService", GENERIC_READ));
  EXPECT_EQ(kServiceDoesNotExist, svc().LastError());
}

}  // namespace
}  // namespace corvanel::contract
