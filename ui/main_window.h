// The main window: its layout, start-up, navigation and page loading, the change
// forwarders and Apply / OK / Cancel. It is a forms::Form the renderer (ui/win32) shows:
// the renderer observes the form and the group bar, runs the two timers (Timer_Click,
// Timer_Loading) while they are enabled, supplies the hooks below and, when the window
// goes, calls FormDestroy.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/setting_queue.h"
#include "forms/forms.h"
#include "lang/language.h"
#include "lang/message_texts.h"
#include "engine/undo.h"
#include "platform/platform.h"
#include "ui/changes.h"
#include "ui/navigation.h"
#include "ui/page_module.h"
#include "ui/page_state.h"

namespace corvanel::ui {

inline constexpr const char* kMainFormName = "Corvanel_FormMain";
inline constexpr const char* kApplicationTitle = "Corvanel";
inline constexpr int kClientWidth = 691;
inline constexpr int kClientHeight = 517;
inline constexpr int kPageWidth = 459;
inline constexpr int kPageHeight = 403;
inline constexpr int kPageCount = 19;

// The page notebook `notset`: sheets without tabs, each filling the notebook; only the
// active sheet is shown. The renderer draws it as a plain container, not a tab control.
class Notebook : public forms::PageControl {
 public:
  Notebook();
  const char* ClassName() const override { return "Notebook"; }
  // The sheet whose caption is `caption` ("1".."19"), or null.
  forms::TabSheet* PageByCaption(std::string_view caption) const;

 protected:
  void ChildAdded(forms::Control& child) override;
};

// The form event of page `tag`'s change forwarder ("Checkbox_Drives_Common_EnableClick");
// null for a page without one (tag 10).
const char* ForwarderName(int tag);

// The combo boxes FormShow selects item 0 of again after translating their lists.
std::span<const char* const> ReselectedComboBoxes();

enum class ErrorChoice { Continue, Close };

// An error that escaped the program's own guards. The renderer shows it in a dialog from
// which the user continues or closes the program.
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual ErrorChoice Report(const std::string& where, const std::string& what) = 0;
};

class TCorvanel_FormMain : public forms::Form {
 public:
  // Builds the form (layout, the pages' controls, numeric fields), then runs FormCreate.
  TCorvanel_FormMain(platform::Platform& platform, PageModules pages);
  ~TCorvanel_FormMain() override;

  // A second set of the page modules, for work that must not touch this window's pages
  // (the search index builds them on a scratch form). Empty without a factory.
  using PageFactory = std::function<PageModules()>;
  void SetPageFactory(PageFactory factory) { page_factory_ = std::move(factory); }
  PageModules MakePages() const { return page_factory_ ? page_factory_() : PageModules(); }
  // A form like this one, built from `pages` and translated into the current language,
  // sharing this window's platform, version class and texts but no queue. It is never
  // loaded and its events change nothing: pages can be built and adapted on it freely.
  std::unique_ptr<TCorvanel_FormMain> MakeScratch(PageModules pages) const;

  // --- hooks the renderer sets ---
  // Processes the pending window messages (paint, timers, input) and returns.
  void SetProcessMessages(std::function<void()> hook) { process_messages_ = std::move(hook); }
  void SetErrorReporter(ErrorReporter* reporter) { error_reporter_ = reporter; }
  // Asked to close the window (OK, Cancel, the error dialog's Close). A request made
  // while Apply or a page load is running is passed on when that work has ended.
  void SetCloseHandler(std::function<void()> handler) { close_handler_ = std::move(handler); }
  void SetOwnerWindow(std::uintptr_t hwnd) { owner_window_ = hwnd; }
  // Shows a dialog form modally (owned by the main window) until it has a modal result,
  // and returns that result.
  using ShowModalHook = std::function<forms::ModalResult(forms::Form&)>;
  void SetShowModal(ShowModalHook hook) { show_modal_ = std::move(hook); }
  // Cancel when no renderer is attached: nothing can be shown, so nothing is chosen.
  forms::ModalResult ShowModal(forms::Form& dialog);

  // --- lifecycle events ---
  // Showing the form (ShowForm) runs FormShow the first time.
  void FormShow();
  // Releases the queue (pending records are dropped), the lists and the Firefox state.
  void FormDestroy() noexcept;

  // --- navigation and page loading ---
  void RzGroup1Items0Click(NavItem* item);
  void LoadPage(int tag);
  void Timer_ClickTimer();
  void Timer_LoadingTimer();

  // --- buttons ---
  void Button_ApplyClick();
  void Button_OKClick();
  void Button_CancelClick();
  // Bounded by kServiceWaitLimitMs of pending state; messages are processed between waits.
  bool StartServiceAuto(const std::string& name);
  bool StopServiceDisabled(const std::string& name);
  static constexpr std::uint64_t kServiceWaitLimitMs = 30'000;

  // --- review and undo of changes ---
  // Opens the window "Changes" over the main window.
  void Button_ChangesClick();
  // Something waits for Apply: records, a Firefox change, a service action Apply will
  // carry out, a restart request.
  bool HasPendingChanges() const;
  // The last Apply of this run succeeded, changed something, and has not been undone.
  bool CanUndoLastApply() const;
  // What the last Apply changed; null before the first one.
  const engine::UndoJournal* LastApply() const { return journal_.get(); }
  // Puts back everything the last Apply changed (the places that fail are reported in one
  // message, the others still put back), loads every loaded page again so it shows what
  // the system now holds, and asks the restart question again when that Apply asked it.
  void UndoLastApply();
  // "Page › Caption" of the control that made the change `key` (a record Name, or one of
  // the keys of ui/changes.h); the key itself when no control is known.
  std::string SettingText(const std::string& key) const;

  // The change forwarder of page `tag`: ignored while PageLoading, else the page's handler
  // with `sender`, then Apply is enabled.
  void Forward(int tag, forms::Component& sender);
  // A key release in a text field: passed to Forward only when the edit's text differs
  // from what it was at its previous key release (or when its page loaded), so Tab and
  // the arrows moving through a field queue nothing.
  void ForwardKeyUp(int tag, forms::Edit& edit);
  // A form event by name (page forwarders, up-down click events); null when unknown.
  forms::NotifyEvent Event(std::string_view name);

  // --- state ---
  platform::Platform& GetPlatform() const { return platform_; }
  engine::TCorvanel& Queue() { return *queue_; }
  const lang::MessageTexts& Texts() const { return texts_; }
  const lang::TLanguage* Language() const { return language_.get(); }
  int WindowsVersionClass() const { return version_class_; }
  ApplyRequests& Requests() { return requests_; }
  firefox::FirefoxPrefs& Firefox() { return firefox_; }
  const TAppFrame& AppFrame() const { return *app_frame_; }
  bool PageLoading() const { return page_loading_; }
  bool LoadingFinished() const { return loading_finished_; }
  const std::vector<std::string>& LoadedPages() const { return loaded_pages_; }
  NavItem* SelectedItem() const { return selected_item_; }
  int AnimationFrame() const { return animation_frame_; }
  bool CloseRequested() const { return close_requested_; }
  std::uintptr_t OwnerWindow() const { return owner_window_; }
  void ProcessMessages();

  GroupBar& RzGroupBar1() const { return *group_bar_; }
  Notebook& notset() const { return *notebook_; }
  PageModule* Module(int tag) const;
  PageContext& Context(int tag);

 private:
  struct ScratchOf {
    const TCorvanel_FormMain* source;
  };
  TCorvanel_FormMain(ScratchOf of, PageModules pages);
  void BuildLayout();
  void BindEvents();
  void BuildPages();
  void FormCreate();
  void RequestClose();
  void PassOnDeferredClose();
  void PerformHeldClick();
  void ReportError(const std::string& where, const std::string& what);
  // Runs `work`, handing an error that escapes it to the error reporter.
  void Guarded(const std::string& where, const std::function<void()>& work);
  void ShowWriteFailure(const engine::ApplyResult& result);
  // Saves the Firefox changes; a failure is shown with the file and the error.
  bool WriteFirefoxStatements();
  // Notes the text of every key-up text field on the page as loaded.
  void NoteKeyUpTexts(const forms::TabSheet& page);
  // The restart question of Apply; true when it was asked.
  bool OfferRestart();
  void UpdateChangesButton();
  // Loads page `tag` again from the state its controls had before its first load.
  void ReloadPage(int tag);

  platform::Platform& platform_;
  PageModules pages_;
  std::map<int, PageModule*> modules_;
  std::map<int, std::unique_ptr<PageContext>> contexts_;
  std::map<std::string, forms::NotifyEvent, std::less<>> events_;

  std::unique_ptr<engine::TCorvanel> queue_;
  std::unique_ptr<TAppFrame> app_frame_;
  std::unique_ptr<lang::TLanguage> language_;
  lang::MessageTexts texts_;
  std::vector<std::string> loaded_pages_;
  std::map<const forms::Edit*, std::string> key_up_texts_;  // as at the last key release
  bool page_loading_ = false;
  int load_depth_ = 0;
  bool in_click_ = false;
  NavItem* held_click_ = nullptr;
  NavItem* selected_item_ = nullptr;
  ApplyRequests requests_;
  firefox::FirefoxPrefs firefox_;
  int version_class_ = 0;
  bool loading_finished_ = false;
  int animation_frame_ = 0;
  bool shown_ = false;
  bool close_requested_ = false;
  bool close_deferred_ = false;
  bool applying_ = false;
  bool apply_before_close_ = false;  // OK pressed during an Apply

  std::unique_ptr<engine::UndoJournal> journal_;
  bool last_apply_ok_ = false;
  bool last_apply_restart_ = false;  // the last Apply asked the restart question
  ChangeOrigins origins_;
  std::map<int, std::unique_ptr<PageDesignState>> design_states_;

  std::function<void()> process_messages_;
  ErrorReporter* error_reporter_ = nullptr;
  std::function<void()> close_handler_;
  ShowModalHook show_modal_;
  std::uintptr_t owner_window_ = 0;
  PageFactory page_factory_;

  GroupBar* group_bar_ = nullptr;
  Notebook* notebook_ = nullptr;
};

}  // namespace corvanel::ui
