// Apply, OK and Cancel, and the service steps Apply carries out.
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "ui/main_window.h"

namespace corvanel::ui {

namespace win = platform::win;
using lang::MessageId;

namespace {

// The manager and service handles of one service step, closed on every way out.
class ServiceHandles {
 public:
  ServiceHandles(platform::Services& services, const std::string& name) : services_(services) {
    manager_ = services_.OpenManager(win::SC_MANAGER_ALL_ACCESS);
    if (manager_ != 0) service_ = services_.OpenService(manager_, name, win::SERVICE_ALL_ACCESS);
  }
  ~ServiceHandles() {
    if (service_ != 0) services_.Close(service_);
    if (manager_ != 0) services_.Close(manager_);
  }
  ServiceHandles(const ServiceHandles&) = delete;
  ServiceHandles& operator=(const ServiceHandles&) = delete;

  platform::ScHandle service() const { return service_; }

 private:
  platform::Services& services_;
  platform::ScHandle manager_ = 0;
  platform::ScHandle service_ = 0;
};

std::string RootName(platform::RegKey root) {
  switch (root) {
    case platform::HKCR: return "HKCR";
    case platform::HKCU: return "HKCU";
    case platform::HKLM: return "HKLM";
    default: return "(root " + std::to_string(root) + ")";
  }
}

}  // namespace

void TCorvanel_FormMain::Button_ApplyClick() {
  // A second Apply from messages processed during a service wait would run the queue
  // and the services inside the first one.
  if (applying_ || queue_ == nullptr) return;
  applying_ = true;
  // What every step changes is captured first, so that this Apply can be undone.
  if (journal_ == nullptr) journal_ = std::make_unique<engine::UndoJournal>(platform_);
  const engine::ApplyResult result = queue_->Apply(journal_.get());
  if (!result.ok()) ShowWriteFailure(result);
  const engine::ServiceState started{win::SERVICE_AUTO_START, win::SERVICE_RUNNING};
  const engine::ServiceState stopped{win::SERVICE_DISABLED, win::SERVICE_STOPPED};

  // Taken before the first wait: a box clicked while a service is awaited asks for the
  // next Apply's step, and must not be reset when this one ends.
  const int security_center = std::exchange(requests_.SecurityCenterServiceAction, 0);
  const int firewall = version_class_ > 5 ? std::exchange(requests_.FirewallServiceAction, 0) : 0;
  if (security_center == 1) {
    journal_->CaptureService("wscsvc", started, ServiceOriginKey("wscsvc"));
    StartServiceAuto("wscsvc");
  } else if (security_center == 2) {
    journal_->CaptureService("wscsvc", stopped, ServiceOriginKey("wscsvc"));
    StopServiceDisabled("wscsvc");
  }
  if (firewall == 1) {
    journal_->CaptureService("MpsSvc", started, ServiceOriginKey("MpsSvc"));
    StartServiceAuto("MpsSvc");
  } else if (firewall == 2) {
    journal_->CaptureService("MpsSvc", stopped, ServiceOriginKey("MpsSvc"));
    StopServiceDisabled("MpsSvc");
  }

  last_apply_restart_ = OfferRestart();

  platform_.shell().ChangeNotify(win::SHCNE_ALLEVENTS, win::SHCNF_FLUSH);
  if (requests_.AssociationsChanged) {
    platform_.shell().ChangeNotify(win::SHCNE_ASSOCCHANGED, win::SHCNF_IDLIST);
    requests_.AssociationsChanged = false;
  }
  // A failed save keeps the flag, so the next Apply tries again; Firefox needs no restart
  // for a file that was not written.
  if (requests_.FirefoxChanged) {
    firefox_.LoadFirefoxPreferences();
    const std::string user_js = firefox_.UserJsPath();
    if (!user_js.empty()) journal_->CaptureFile(user_js, kUserJsOriginKey);
    const bool saved = WriteFirefoxStatements();
    if (!user_js.empty()) journal_->FileSaved(user_js, saved);
    if (saved) {
      platform_.dialogs().MessageBox(owner_window_, texts_.Get(MessageId::D_FFRestartWarning), Caption(), win::MB_OK);
      requests_.FirefoxChanged = false;
    }
  }

  // Whatever is still pending (a failed write or save, changes made while a service was
  // awaited) keeps Apply available. A firewall choice on a version without the service
  // step is never carried out, so it does not count.
  if (queue_ != nullptr) {
    const bool pending = !queue_->Empty() || requests_.SecurityCenterServiceAction != 0 ||
                         (version_class_ > 5 && requests_.FirewallServiceAction != 0) || requests_.FirefoxChanged;
    Find<forms::Button>("Button_Apply").SetEnabled(pending);
  }
  applying_ = false;
  last_apply_ok_ = result.ok();
  UpdateChangesButton();
  if (apply_before_close_) {
    // OK came while a service was awaited: what was queued meanwhile is written too
    // before the window goes.
    apply_before_close_ = false;
    Button_ApplyClick();
    return;
  }
  PassOnDeferredClose();
}

bool TCorvanel_FormMain::OfferRestart() {
  if (requests_.RestartNeeded) {
    const int answer = platform_.dialogs().MessageBox(owner_window_, texts_.Get(MessageId::D_RestoreWarning), Caption(),
                                                      win::MB_YESNO | win::MB_ICONQUESTION);
    if (answer == win::IDYES) {
      // Only NT has a shutdown privilege to enable; the restart itself is asked for on
      // every platform. A refused privilege or restart leaves the program running, silently.
      platform::OsVersion version;
      if (platform_.system().GetVersion(&version) && version.platform_id == win::VER_PLATFORM_WIN32_NT)
        platform_.restart().EnableShutdownPrivilege();
      platform_.restart().ExitWindows(win::EWX_REBOOT, 0);
    }
    requests_.RestartNeeded = false;
    return true;
  }
  return false;
}

void TCorvanel_FormMain::Button_OKClick() {
  if (applying_) apply_before_close_ = true;
  Button_ApplyClick();
  RequestClose();
}

void TCorvanel_FormMain::Button_CancelClick() { RequestClose(); }

void TCorvanel_FormMain::ShowWriteFailure(const engine::ApplyResult& result) {
  std::string key = result.key_path;
  if (key.empty() || key.front() != '\\') key.insert(key.begin(), '\\');
  const std::string value = result.value_name.empty() ? texts_.Get(MessageId::D_DefaultValueName) : result.value_name;
  std::string reason = result.error_text;
  if (reason.empty()) reason = std::to_string(result.error_code);
  const std::string text =
      lang::FormatMessage(texts_.Get(MessageId::D_WriteFailed), {result.name, RootName(result.root) + key, value, reason});
  platform_.dialogs().MessageBox(owner_window_, text, Caption(), win::MB_OK | win::MB_ICONWARNING);
}

bool TCorvanel_FormMain::WriteFirefoxStatements() {
  const firefox::SaveResult saved = firefox_.Save();
  if (saved.ok) return true;
  const std::string text = lang::FormatMessage(texts_.Get(MessageId::D_FFSaveFailed), {saved.path, saved.reason});
  platform_.dialogs().MessageBox(owner_window_, text, Caption(), win::MB_OK | win::MB_ICONWARNING);
  return false;
}

bool TCorvanel_FormMain::StartServiceAuto(const std::string& name) {
  try {
    platform::Services& services = platform_.services();
    platform::Clock& clock = platform_.clock();
    ServiceHandles handles(services, name);
    if (handles.service() == 0) return false;
    services.ChangeStartType(handles.service(), win::SERVICE_AUTO_START);
    if (!services.Start(handles.service())) return false;
    const std::uint64_t started = clock.NowMs();
    platform::ServiceStatus status;
    bool queried = services.QueryStatus(handles.service(), &status);
    while (queried) {
      clock.SleepMs(500);
      ProcessMessages();
      if (status.current_state != win::SERVICE_START_PENDING) break;
      if (clock.NowMs() - started >= kServiceWaitLimitMs) break;
      clock.SleepMs(500);
      queried = services.QueryStatus(handles.service(), &status);
    }
    return status.current_state == win::SERVICE_RUNNING;
  } catch (const std::exception&) {
    // An error on the way ends the step quietly; Apply goes on with the next one.
    return false;
  }
}

bool TCorvanel_FormMain::StopServiceDisabled(const std::string& name) {
  try {
    platform::Services& services = platform_.services();
    platform::Clock& clock = platform_.clock();
    ServiceHandles handles(services, name);
    if (handles.service() == 0) return false;
    services.ChangeStartType(handles.service(), win::SERVICE_DISABLED);
    platform::ServiceStatus status;
    if (!services.Control(handles.service(), win::SERVICE_CONTROL_STOP, &status)) return false;
    const std::uint64_t started = clock.NowMs();
    clock.SleepMs(1000);
    bool queried = services.QueryStatus(handles.service(), &status);
    while (queried) {
      ProcessMessages();
      if (status.current_state != win::SERVICE_STOP_PENDING) break;
      if (clock.NowMs() - started >= kServiceWaitLimitMs) break;
      clock.SleepMs(1000);
      queried = services.QueryStatus(handles.service(), &status);
    }
    return status.current_state == win::SERVICE_STOPPED;
  } catch (const std::exception&) {
    // As above: a failed stop never stops Apply.
    return false;
  }
}

}  // namespace corvanel::ui
