// The folder dialog: which special objects show icons on the desktop, and which drive
// letters My Computer hides. It is opened for one use by the Folder Types page, owns a
// change queue of its own and writes it itself on OK; Cancel writes nothing.
//
// The dialog is a model form. Showing it as a real modal window is the renderer's job:
// the caller passes a ShowModal function that shows the form, runs until the form has a
// modal result, and returns that result (tests pass one that acts like the user).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/setting_queue.h"
#include "forms/forms.h"
#include "lang/language.h"
#include "platform/platform.h"

namespace corvanel::folder_dialog {

inline constexpr const char* kFolderFormName = "Corvanel_FormFolder";
inline constexpr int kDesktopMode = 1;
inline constexpr int kDrivesMode = 2;
inline constexpr int kDriveCount = 26;

inline constexpr const char* kNameSpaceKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace\\";
inline constexpr const char* kNewStartPanelKey =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel\\";
inline constexpr const char* kDrivePolicyKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
inline constexpr const char* kNoDrives = "NoDrives";

// One desktop object and its check box.
struct DesktopIconRow {
  const char* box;
  const char* caption;
  const char* clsid;
  bool checked_when_missing;  // what a missing NewStartPanel entry shows
  bool shown_above_class5;    // still offered from Vista on
};
const std::array<DesktopIconRow, 6>& DesktopIcons();

// Shows a form modally and returns how it was closed.
using ShowModal = std::function<forms::ModalResult(forms::Form&)>;

class TCorvanel_FormFolder : public forms::Form {
 public:
  // Runs FormCreate. `language` may be null (no language loaded: the captions stay).
  TCorvanel_FormFolder(platform::Platform& platform, int version_class, const lang::TLanguage* language);
  ~TCorvanel_FormFolder() override;

  // 1 desktop icons; anything else drives.
  int DialogMode() const { return dialog_mode_; }
  void SetDialogMode(int mode) { dialog_mode_ = mode; }
  bool DesktopMode() const { return dialog_mode_ == kDesktopMode; }

  // Owner of the modal window (a window handle as a number; 0 none), for the renderer.
  std::uintptr_t OwnerWindow() const { return owner_window_; }
  void SetOwnerWindow(std::uintptr_t hwnd) { owner_window_ = hwnd; }

  // --- lifecycle: showing the form (ShowForm) runs FormShow ---
  void FormShow();
  void LoadFolderDialog();
  // True while LoadFolderDialog fills the boxes and the list.
  bool Loading() const { return loading_; }

  // --- events ---
  void CHKmantoolsClick(forms::Component& sender);
  void FolderDialogChange(forms::Component& sender);
  void Button_OKClick();

  // Shows the dialog through `show` and returns how it closed (None when there is no
  // way to show it).
  forms::ModalResult Execute(const ShowModal& show);

  engine::TCorvanel& Queue() { return *queue_; }
  forms::ListView& ListView1() const { return *drives_; }
  // The NoDrives bytes the drive list stands for: bit i set when item i is unchecked.
  engine::Value::Bytes DriveMask() const;

 private:
  void BuildLayout();
  void FormCreate();
  void LoadDesktopIcons();
  void LoadDrives();

  platform::Platform& platform_;
  int version_class_;
  const lang::TLanguage* language_;
  int dialog_mode_ = kDesktopMode;
  std::uintptr_t owner_window_ = 0;
  bool loading_ = false;
  std::unique_ptr<engine::TCorvanel> queue_;
  forms::ListView* drives_ = nullptr;
};

// One opening: creates the dialog, sets its mode, caption and owner, shows it through
// `show` and frees it when it closes.
forms::ModalResult RunFolderDialog(platform::Platform& platform, int version_class, const lang::TLanguage* language,
                                   int mode, const std::string& caption, std::uintptr_t owner,
                                   const ShowModal& show);

}  // namespace corvanel::folder_dialog
