// Our own test service (corvanel_test_service.exe) registered with the real service
// manager under any name, so that Wine tests can exercise code that asks for services
// Wine lacks ("wscsvc", "MpsSvc", "SharedAccess"). Needs a persistent wineserver for the
// session (scripts/wine-session): services die with the server.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace corvanel::wine_test {

struct TestServiceOptions {
  // SERVICE_DEMAND_START (3), SERVICE_AUTO_START (2) or SERVICE_DISABLED (4).
  std::uint32_t start_type = 3;
  // How long a start or a stop stays pending before it completes.
  std::uint32_t pending_ms = 0;
};

// One registration; the destructor stops the service (bounded wait) and deletes it.
class TestService {
 public:
  // Registers the service as SERVICE_WIN32_OWN_PROCESS, stopped. A leftover registration
  // of the same name (from a crashed run, or a real service) is stopped and replaced.
  // Null on failure, with the reason in `*error` when given.
  static std::unique_ptr<TestService> Install(const std::string& name, const TestServiceOptions& options = {},
                                              std::string* error = nullptr);
  ~TestService();
  TestService(const TestService&) = delete;
  TestService& operator=(const TestService&) = delete;

  const std::string& name() const { return name_; }

 private:
  explicit TestService(std::string name) : name_(std::move(name)) {}
  std::string name_;
};

// Stops (bounded wait) and deletes the service `name`; true when it is gone or was never there.
bool RemoveService(const std::string& name);

// Windows path of corvanel_test_service.exe.
std::string TestServiceBinary();

}  // namespace corvanel::wine_test
