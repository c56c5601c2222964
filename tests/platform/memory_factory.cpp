// Contract hooks for the memory platform.
#include <string>

#include "platform/memory/memory_platform.h"
#include "tests/platform/contract.h"

namespace corvanel::contract {
namespace {
int g_counter = 0;
}

std::unique_ptr<platform::Platform> MakePlatformUnderTest() {
  auto p = std::make_unique<platform::memory::MemoryPlatform>();
  p->services().AddService(ContractServiceName(), platform::win::SERVICE_STOPPED,
                           platform::win::SERVICE_DEMAND_START, platform::memory::kServiceAcceptStop);
  p->shell().SetEnv("CORVANEL_CONTRACT_VAR", ContractEnvironmentValue());
  // Each platform is new, so one scratch folder name serves every test.
  p->files().AddDirectory("C:\\users\\user\\Temp\\CorvanelContract");
  return p;
}

std::string ContractScratchKey() { return "Software\\CorvanelContract\\Run" + std::to_string(++g_counter); }
std::string ContractServiceName() { return "CorvanelContractSvc"; }
std::string ContractScratchFolder() { return "C:\\users\\user\\Temp\\CorvanelContract"; }
std::string ContractEnvironmentValue() { return "C:\\Contract Value"; }

bool MakeContractJunction(platform::Platform& platform, const std::string& link, const std::string& target) {
  auto* memory = dynamic_cast<platform::memory::MemoryPlatform*>(&platform);
  if (memory == nullptr) return false;
  memory->files().AddJunction(link, target);
  return true;
}

}  // namespace corvanel::contract
