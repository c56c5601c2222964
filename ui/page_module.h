// How a settings page plugs into the main window. A page module builds its controls on
// its notebook page, adapts them to the Windows version, loads the current settings into
// them once, and turns the user's changes into queued records. Everything a page needs
// from the window reaches it through its PageContext.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/setting_queue.h"
#include "firefox/firefox_prefs.h"
#include "forms/forms.h"
#include "lang/language.h"
#include "lang/message_texts.h"
#include "platform/platform.h"

namespace corvanel::ui {

class TCorvanel_FormMain;

// Follow-up work a page asks Apply to carry out.
struct ApplyRequests {
  bool RestartNeeded = false;        // offer a restart of Windows
  bool FirefoxChanged = false;       // save the Firefox statement list as user.js
  bool AssociationsChanged = false;  // send the association-changed notification
  // 0 none, 1 start (automatic start), 2 stop and disable: "wscsvc".
  std::int32_t SecurityCenterServiceAction = 0;
  // The same for "MpsSvc"; carried out (and reset) only on a version class above 5.
  std::int32_t FirewallServiceAction = 0;
};

// The folders taken when the window is created (no trailing delimiter on the first two;
// the executable's folder keeps its trailing backslash).
struct TAppFrame {
  std::string CommonAppDataFolder;  // CSIDL_COMMON_APPDATA
  std::string AppDataFolder;        // CSIDL_APPDATA
  std::string ExeFolder;            // "C:\\Program Files\\Corvanel\\"
};

// One page's view of the main window. Valid for the window's whole life.
class PageContext {
 public:
  PageContext(TCorvanel_FormMain& main, int tag) : main_(main), tag_(tag) {}

  int Tag() const { return tag_; }
  platform::Platform& Platform() const;
  engine::TCorvanel& Queue() const;
  // The D_ texts; English until the window is first shown, then from the language file.
  const lang::MessageTexts& Texts() const;
  const std::string& Text(lang::MessageId id) const { return Texts().Get(id); }
  int VersionClass() const;
  ApplyRequests& Requests() const;
  // The Firefox preference files of the current user (Folder() is AppDataFolder +
  // "\\Mozilla\\Firefox\\"); read once per run, saved by Apply.
  firefox::FirefoxPrefs& Firefox() const;
  const TAppFrame& AppFrame() const;
  bool PageLoading() const;

  // The main window's form: every control of every page is found here by name.
  forms::Form& Form() const;
  template <class T>
  T& Find(std::string_view name) const { return Form().template Find<T>(name); }
  template <class T>
  T* TryFind(std::string_view name) const { return Form().template TryFind<T>(name); }
  // This page's sheet of the notebook (459 x 403 client area, 96 DPI pixels).
  forms::TabSheet& Page() const;

  // This page's change forwarder: bind every active control's OnClick / OnChange to it.
  forms::NotifyEvent Forwarder() const;
  // A form event by name (a page forwarder or an up-down click event such as
  // "UpDown_Use_MouseFunction_Wheel_CountClick"); throws forms::ModelError when unknown.
  forms::NotifyEvent Event(std::string_view name) const;

  // Lets the window paint and the timers run in the middle of long work.
  void ProcessMessages() const;
  // Owner of dialogs (the main window's handle; 0 before the renderer sets it) and their
  // title (the window's caption).
  std::uintptr_t OwnerWindow() const;
  // Shows a dialog form modally through the renderer; Cancel when none is attached.
  forms::ModalResult ShowModal(forms::Form& dialog) const;
  // The loaded language (null before the window is first shown), for dialogs that
  // translate themselves.
  const lang::TLanguage* Language() const;
  const std::string& Caption() const;

 private:
  TCorvanel_FormMain& main_;
  int tag_;
};

class PageModule {
 public:
  virtual ~PageModule() = default;
  // The navigation tag (1..19) of the page.
  virtual int Tag() const = 0;
  // Creates the page's controls on ctx.Page() (names, captions, design states, bounds)
  // with the form as owner, and binds the active controls' events to ctx.Forwarder().
  // Numeric fields: create the edit and the up-down by name; their range, design
  // position, maximum length, association and events come from the window's table.
  virtual void Build(PageContext& ctx) = 0;
  // Version adaptation, run once right before the first Load.
  virtual void Adapt(PageContext& /*ctx*/, int /*version_class*/) {}
  // The loaders in order, each read under its own guard.
  virtual void Load(PageContext& /*ctx*/) {}
  // The change handler: builds the records of exactly the control `sender`.
  virtual void Change(PageContext& /*ctx*/, forms::Component& /*sender*/) {}
};

using PageModules = std::vector<std::unique_ptr<PageModule>>;

}  // namespace corvanel::ui
