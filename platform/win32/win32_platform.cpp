#include "platform/win32/win32_platform.h"

#include "platform/win32/parts.h"

namespace corvanel::platform {
namespace {

class Win32Platform final : public Platform {
 public:
  Registry& registry() override { return *registry_; }
  SystemParameters& spi() override { return *spi_; }
  System& system() override { return *system_; }
  Services& services() override { return *services_; }
  Shell& shell() override { return *shell_; }
  Restart& restart() override { return *restart_; }
  Files& files() override { return *files_; }
  Dialogs& dialogs() override { return *dialogs_; }
  Clock& clock() override { return *clock_; }

 private:
  std::unique_ptr<Registry> registry_ = win32::MakeRegistry();
  std::unique_ptr<SystemParameters> spi_ = win32::MakeSystemParameters();
  std::unique_ptr<System> system_ = win32::MakeSystem();
  std::unique_ptr<Services> services_ = win32::MakeServices();
  std::unique_ptr<Shell> shell_ = win32::MakeShell();
  std::unique_ptr<Restart> restart_ = win32::MakeRestart();
  std::unique_ptr<Files> files_ = win32::MakeFiles();
  std::unique_ptr<Dialogs> dialogs_ = win32::MakeDialogs();
  std::unique_ptr<Clock> clock_ = win32::MakeClock();
};

}  // namespace

std::unique_ptr<Platform> MakeWin32Platform() { return std::make_unique<Win32Platform>(); }

}  // namespace corvanel::platform
