#include "pages/others/start_maintenance.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "pages/page_layout.h"
#include "pages/page_rows.h"

namespace corvanel::pages {
namespace {

using forms::Button;
using forms::CheckBox;
using forms::ComboBox;
using forms::Edit;
using forms::GroupBox;
using forms::Label;
using forms::RadioButton;
using forms::Rect;
using forms::TabSheet;
using forms::UpDown;
using platform::HKCU;
using platform::HKLM;

constexpr int kTag = 16;

constexpr std::uint32_t SPI_GETBEEP = 0x0001, SPI_SETBEEP = 0x0002;
constexpr std::uint32_t SPIF_UPDATEINIFILE = 1;

constexpr const char* kDfrgKey = "\\SOFTWARE\\Microsoft\\Dfrg\\BootOptimizeFunction\\";
constexpr const char* kSessionKey = "\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\";
constexpr const char* kDesktopKey = "\\Control Panel\\Desktop\\";
constexpr const char* kAdvancedKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
constexpr const char* kWinlogonKey = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\";
constexpr const char* kCrashKey = "\\SYSTEM\\CurrentControlSet\\Control\\CrashControl\\";

constexpr const char* kPages = "PagStart_manege";
constexpr const char* kDefrag = "Checkbox_Startup_System_Defrag_Enable";
constexpr const char* kDelayEdit = "Edit_Startup_System_DelayTime_Time";
constexpr const char* kDelay = "Updown_Startup_System_DelayTime_Time";
constexpr const char* kWaitEdit = "Edit_Startup_Exit_WaitTime_Time";
constexpr const char* kWait = "UpDown_Startup_Exit_WaitTime_Time";
constexpr const char* kAutoClose = "Radio_Startup_Exit_AutoClose_AutoClose";
constexpr const char* kShowDialog = "Radio_Startup_Exit_AutoClose_ShowCloseDialog";
constexpr const char* kInExplorer = "Radio_Startup_DesktopAndTaskbar_DAndTSeparateProcess_Explorer";
constexpr const char* kSeparate = "Radio_Startup_DesktopAndTaskbar_DAndTSeparateProcess_Process";
constexpr const char* kAutoRestart = "Checkbox_Startup_DesktopAndTaskbar_AutoRestartExplorer_AutoRun";
constexpr const char* kBeep = "Checkbox_Startup_Error_Sound_beep";
constexpr const char* kLog = "Checkbox_Startup_Error_SystemError_Log";
constexpr const char* kErrorType = "CB_Startup_Error_SystemError_Type";

// The two integer flags: 1 when checked, 0 when not; any stored value other than 1 reads
// as off, a missing one leaves the box.
const RegFlag kAutoRestartFlag = {HKLM, kWinlogonKey, "AutoRestartShell", FlagRead::kEqualsOne};
const RegFlag kLogFlag = {HKLM, kCrashKey, "LogEvent", FlagRead::kEqualsOne};

// Windows keeps AutoEndTasks as text, but other tools store a DWORD: both read alike.
constexpr const char* kAutoEndTasks = "AutoEndTasks";

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

class StartMaintenancePage : public ui::PageModule {
 public:
  int Tag() const override { return kTag; }
  void Build(ui::PageContext& ctx) override;
  void Adapt(ui::PageContext& ctx, int version_class) override;
  void Load(ui::PageContext& ctx) override;
  void Change(ui::PageContext& ctx, forms::Component& sender) override;

 private:
  void LoadStartupSystem(ui::PageContext& ctx);
  void LoadStartupExit(ui::PageContext& ctx);
  void LoadStartupDesktop(ui::PageContext& ctx);
  void LoadStartupError(ui::PageContext& ctx);
};

GroupBox& MakeGroup(forms::Form& form, forms::Control& sheet, const char* name, const char* caption, int top) {
  // The height follows once the group's rows are placed.
  return form.Create<GroupBox>(sheet, name, layout::GroupBounds(top, 0), caption);
}

// Closes a group whose last row starts at `row_top`; returns the top of the next group.
int EndGroup(GroupBox& group, int row_top, int row_height = layout::kRowHeight) {
  group.SetHeight(row_top + row_height + 8);
  return layout::GroupBelow(group.Top(), group.Height());
}

// A numeric field's row: caption, edit with its up-down, unit.
void NumericRow(forms::Form& form, GroupBox& group, int top, const char* label_name, const char* caption,
                int label_width, const char* edit, const char* updown, const char* unit_name, const char* unit) {
  form.Create<Label>(group, label_name, Rect{layout::kRowLeft, top + 4, label_width, layout::kLabelHeight}, caption);
  const int left = layout::kRowLeft + label_width + 6;
  form.Create<Edit>(group, edit, Rect{left, top, 60, layout::kEditHeight});
  form.Create<UpDown>(group, updown, Rect{left + 60, top, 17, layout::kEditHeight});
  form.Create<Label>(group, unit_name, Rect{left + 83, top + 4, 40, layout::kLabelHeight}, unit);
}

void StartMaintenancePage::Build(ui::PageContext& ctx) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forward = ctx.Forwarder();
  auto& pages = form.Create<forms::PageControl>(ctx.Page(), kPages, layout::kPageControl);
  const auto button = [&](TabSheet& sheet, const char* name, forms::NotifyEvent click) {
    form.Create<Button>(sheet, name, layout::SheetButtonBounds(0, 1), "Default Settings").OnClick = std::move(click);
  };

  // System Start.
  auto& system = form.Create<TabSheet>(pages, "TabSheet_Startup_System", Rect{}, "System Start");
  auto& defrag =
      MakeGroup(form, system, "GroupBox_Startup_System_Defrag", "Boot Defragmentation", layout::kFirstGroupTop);
  int y = InfoText(form, defrag, "Label_Startup_System_Defrag_Info", layout::kRowTop,
                   "Speed up booting by optimizing the order in which the files necessary for the boot process are "
                   "loaded.");
  form.Create<CheckBox>(defrag, kDefrag, Rect{layout::kRowLeft, y, layout::kRowWidth, layout::kRowHeight},
                        "Enable boot defragmentation.")
      .OnClick = forward;
  int top = EndGroup(defrag, y);
  auto& delay = MakeGroup(form, system, "GroupBox_Startup_System_DelayTime", "Delay for Disk Scan", top);
  y = InfoText(form, delay, "Label_Startup_System_DelayTime_Info", layout::kRowTop,
               "If the system shuts down abnormally, a hard disk scan will be performed at next startup.");
  NumericRow(form, delay, y, "Label_Startup_System_DelayTime_Wait", "Wait for checking:", 110, kDelayEdit, kDelay,
             "Label_Startup_System_DelayTime_Unit", "s.");
  top = EndGroup(delay, y, layout::kEditHeight);
  // Kept on the form without a purpose.
  auto& logo =
      MakeGroup(form, system, "GroupBox_Startup_System_ErrorMessage", "Original Boot Logo and Error Messages", top);
  form.Create<CheckBox>(logo, "Checkbox_Startup_System_ErrorMessage_NoGuiBoot", layout::RowBounds(0),
                        "Do not show original boot logo and error messages.");
  EndGroup(logo, layout::RowTop(0));
  logo.Hide();
  button(system, "Button_Startup_System_Default", [&ctx](forms::Component&) {
    DefaultCheck(ctx.Find<CheckBox>(kDefrag), kCleared);
    DefaultPosition(ctx.Find<UpDown>(kDelay), 10);
  });

  // Exit.
  auto& exit = form.Create<TabSheet>(pages, "TabSheet_Startup_Exit", Rect{}, "Exit");
  top = InfoText(form, exit, "Label_Startup_Exit_Info", layout::kFirstGroupTop,
                 "Some programs do not respond when being shut down. Here you can set how Windows should handle "
                 "them.",
                 layout::kGroupLeft, layout::kGroupWidth);
  auto& wait = MakeGroup(form, exit, "GroupBox_Startup_Exit_WaitTime", "Idle Time without Response", top);
  y = InfoText(form, wait, "Label_Startup_Exit_WaitTime_Info", layout::kRowTop,
               "Define the time that Windows should wait to force non-responding applications to close in the Task "
               "Manager and during shutdown.");
  NumericRow(form, wait, y, "Label_Startup_Exit_WaitTime_Wait", "Time for Windows should wait:", 160, kWaitEdit, kWait,
             "Label_Startup_Exit_WaitTime_Unit", "ms.");
  top = EndGroup(wait, y, layout::kEditHeight);
  auto& close = MakeGroup(form, exit, "GroupBox_Startup_Exit_AutoClose", "Close Programs Automatically", top);
  y = InfoText(form, close, "Label_Startup_Exit_AutoClose_Info", layout::kRowTop,
               "Choose whether you would like the application to be closed automatically or a dialog should be "
               "shown before closing it after the lapse of specified time.");
  form.Create<Label>(close, "Label_Startup_Exit_AutoClose_After",
                     Rect{layout::kRowLeft, y, layout::kRowWidth, layout::kLabelHeight}, "After lapse of idle time:");
  y += layout::kLabelHeight + 6;
  form.Create<RadioButton>(close, kAutoClose, Rect{layout::kRowLeft, y, layout::kRowWidth, layout::kRowHeight},
                           "Close programs automatically.")
      .OnClick = forward;
  y += layout::kRowStep;
  form.Create<RadioButton>(close, kShowDialog, Rect{layout::kRowLeft, y, layout::kRowWidth, layout::kRowHeight},
                           "Show a dialog to end the program.")
      .OnClick = forward;
  EndGroup(close, y);
  button(exit, "Button_Startup_Exit_Default", [&ctx](forms::Component&) {
    DefaultPosition(ctx.Find<UpDown>(kWait), 5000);
    DefaultSelect(ctx.Find<RadioButton>(kAutoClose));
  });

  // Desktop and Taskbar.
  auto& desktop = form.Create<TabSheet>(pages, "TabSheet_Startup_DesktopAndTaskbar", Rect{}, "Desktop and Taskbar");
  top = InfoText(form, desktop, "Label_Startup_DesktopAndTaskbar_Info", layout::kFirstGroupTop,
                 "Configure settings that may affect the stability of the desktop and taskbar here", layout::kGroupLeft,
                 layout::kGroupWidth);
  auto& process = MakeGroup(form, desktop, "GroupBox_Startup_DesktopAndTaskbar_DAndTSeparateProcess",
                            "Desktop and Taskbar in Separate Process", top);
  y = InfoText(form, process, "Label_Startup_DesktopAndTaskbar_DAndTSeparateProcess_Info", layout::kRowTop,
               "The stability of the system could be increased by executing the desktop and taskbar in a separate "
               "process when Windows Explorer crashes.");
  form.Create<RadioButton>(process, kInExplorer, Rect{layout::kRowLeft, y, layout::kRowWidth, layout::kRowHeight},
                           "Execute desktop and taskbar within Explorer process.")
      .OnClick = forward;
  y += layout::kRowStep;
  form.Create<RadioButton>(process, kSeparate, Rect{layout::kRowLeft, y, layout::kRowWidth, layout::kRowHeight},
                           "Execute desktop and taskbar in a separate process.")
      .OnClick = forward;
  top = EndGroup(process, y);
  auto& restart = MakeGroup(form, desktop, "GroupBox_Startup_DesktopAndTaskbar_AutoRestartExplorer",
                            "Restart Desktop and Taskbar", top);
  y = InfoText(form, restart, "Label_Startup_DesktopAndTaskbar_AutoRestartExplorer_Info", layout::kRowTop,
               "To make sure you can still operate the system when the desktop and taskbar crash, please select this "
               "option.");
  form.Create<CheckBox>(restart, kAutoRestart, Rect{layout::kRowLeft, y, layout::kRowWidth, layout::kRowHeight},
                        "Restart desktop and taskbar automatically after errors.")
      .OnClick = forward;
  EndGroup(restart, y);
  button(desktop, "Button_Startup_DesktopAndTaskbar_Default", [&ctx](forms::Component&) {
    DefaultSelect(ctx.Find<RadioButton>(kInExplorer));
    DefaultCheck(ctx.Find<CheckBox>(kAutoRestart), kChecked);
  });

  // Error.
  auto& error = form.Create<TabSheet>(pages, "TabSheet_Startup_Error", Rect{}, "Error");
  auto& sound = MakeGroup(form, error, "GroupBox_Startup_Error_Sound", "Acoustic Signals", layout::kFirstGroupTop);
  y = InfoText(form, sound, "Label_Startup_Error_Sound_Info", layout::kRowTop,
               "If you would like to have acoustic signals when an error message or incorrect input occurs, please "
               "tick this option.");
  form.Create<CheckBox>(sound, kBeep, Rect{layout::kRowLeft, y, layout::kRowWidth, layout::kRowHeight},
                        "Play acoustic signals when errors occur.")
      .OnClick = forward;
  top = EndGroup(sound, y);
  auto& crash = MakeGroup(form, error, "GroupBox_Startup_Error_SystemError", "System Error", top);
  y = InfoText(form, crash, "Label_Startup_Error_SystemError_Info", layout::kRowTop,
               "Please choose which way you would like the Windows to behave when the system is stopped by a critical "
               "error.");
  form.Create<CheckBox>(crash, kLog, Rect{layout::kRowLeft, y, layout::kRowWidth, layout::kRowHeight},
                        "Record event in system log.")
      .OnClick = forward;
  y += layout::kRowStep + 4;
  form.Create<Label>(crash, "Label_Startup_Error_SystemError_Type",
                     Rect{layout::kRowLeft, y + 4, 180, layout::kLabelHeight}, "When a critical system error occurs:");
  // Wide enough for "Show an error message in blue screen" beside the drop-down arrow.
  auto& type = form.Create<ComboBox>(crash, kErrorType, Rect{196, y, 219, layout::kComboHeight});
  type.SetItems({"Show an error message in blue screen", "Restart system automatically"});
  type.SetItemIndex(0);
  type.OnChange = forward;
  top = EndGroup(crash, y, layout::kComboHeight);
  // Kept on the form without a purpose.
  auto& report = MakeGroup(form, error, "GroupBox_Startup_Error_ErrorReport", "Error Reporting", top);
  form.Create<Button>(report, "Button_Startup_Error_ErrorReport_Default",
                      Rect{layout::kRowLeft, layout::kRowTop, layout::kButtonWidth, layout::kButtonHeight},
                      "Default Settings");
  EndGroup(report, layout::kRowTop, layout::kButtonHeight);
  report.Hide();
  button(error, "Button_Startup_Error_Default", [&ctx](forms::Component&) {
    DefaultCheck(ctx.Find<CheckBox>(kBeep), kChecked);
    DefaultCheck(ctx.Find<CheckBox>(kLog), kChecked);
    DefaultSelect(ctx.Find<ComboBox>(kErrorType), 0);
  });

  pages.SetActivePageIndex(0);
}

void StartMaintenancePage::Adapt(ui::PageContext& ctx, int version_class) {
  // Vista and later end hung programs on their own terms.
  if (version_class > 5) ctx.Find<forms::PageControl>(kPages).Page(1)->SetTabVisible(false);
}

void StartMaintenancePage::LoadStartupSystem(ui::PageContext& ctx) {
  Guarded([&] {
    const TRegRecor r = Read(ctx.Queue(), HKLM, kDfrgKey, "Enable");
    if (r.Status != engine::kStatusFound) return;
    ctx.Find<CheckBox>(kDefrag).SetChecked(r.Value.IsText() && EqualsIgnoringCase(r.Value.AsText(), "Y"));
  });
  Guarded([&] {
    if (const auto n = ReadNumber(ctx.Queue(), HKLM, kSessionKey, "AutoChkTimeOut")) {
      ctx.Find<UpDown>(kDelay).SetPosition(*n);
    }
  });
}

void StartMaintenancePage::LoadStartupExit(ui::PageContext& ctx) {
  Guarded([&] {
    if (const auto n = ReadNumber(ctx.Queue(), HKCU, kDesktopKey, "HungAppTimeout")) {
      ctx.Find<UpDown>(kWait).SetPosition(*n);
    }
  });
  Guarded([&] {
    const auto one = ReadEquals(ctx.Queue(), HKCU, kDesktopKey, kAutoEndTasks, 1);
    ctx.Find<RadioButton>(one.value_or(true) ? kAutoClose : kShowDialog).SetChecked(true);
  });
}

void StartMaintenancePage::LoadStartupDesktop(ui::PageContext& ctx) {
  Guarded([&] { SetCheckedIf(ctx.Find<CheckBox>(kAutoRestart), ReadFlag(ctx.Queue(), kAutoRestartFlag)); });
  Guarded([&] {
    if (const auto one = ReadEquals(ctx.Queue(), HKCU, kAdvancedKey, "SeparateProcess", 1)) {
      ctx.Find<RadioButton>(*one ? kSeparate : kInExplorer).SetChecked(true);
    }
  });
}

void StartMaintenancePage::LoadStartupError(ui::PageContext& ctx) {
  // Not checked for failure: a refused query leaves the 0 it started with.
  std::int32_t beep = 0;
  ctx.Platform().spi().Spi(SPI_GETBEEP, 0, &beep, 0);
  ctx.Find<CheckBox>(kBeep).SetChecked(beep != 0);
  Guarded([&] { SetCheckedIf(ctx.Find<CheckBox>(kLog), ReadFlag(ctx.Queue(), kLogFlag)); });
  Guarded([&] {
    if (const auto n = ReadNumber(ctx.Queue(), HKLM, kCrashKey, "AutoReboot")) {
      ctx.Find<ComboBox>(kErrorType).SetItemIndex(*n);
    }
  });
}

void StartMaintenancePage::Load(ui::PageContext& ctx) {
  LoadStartupSystem(ctx);
  LoadStartupExit(ctx);
  LoadStartupDesktop(ctx);
  LoadStartupError(ctx);
}

void StartMaintenancePage::Change(ui::PageContext& ctx, forms::Component& sender) {
  TCorvanel& queue = ctx.Queue();
  const std::string& name = sender.Name();
  const auto checked = [&] { return ctx.Find<CheckBox>(name).Checked(); };
  if (name == kDefrag) {
    queue.AddRecord(StringRecord(name, HKLM, kDfrgKey, "Enable", checked() ? "y" : "N"));
  } else if (name == kDelay) {
    queue.AddRecord(IntegerRecord(name, HKLM, kSessionKey, "AutoChkTimeOut", ctx.Find<UpDown>(kDelay).Position()));
  } else if (name == kWait) {
    queue.AddRecord(
        StringRecord(name, HKCU, kDesktopKey, "HungAppTimeout", std::to_string(ctx.Find<UpDown>(kWait).Position())));
  } else if (name == kAutoClose || name == kShowDialog) {
    // Text, as Windows keeps it: a DWORD here would be ignored.
    queue.AddRecord(StringRecord(kAutoClose, HKCU, kDesktopKey, kAutoEndTasks,
                                 ctx.Find<RadioButton>(kAutoClose).Checked() ? "1" : "0"));
  } else if (name == kInExplorer || name == kSeparate) {
    queue.AddRecord(IntegerRecord("RadProcess", HKCU, kAdvancedKey, "SeparateProcess",
                                  ctx.Find<RadioButton>(kSeparate).Checked() ? 1 : 0));
    ctx.Requests().RestartNeeded = true;
  } else if (name == kAutoRestart) {
    queue.AddRecord(FlagRecord(name, kAutoRestartFlag, checked()));
    ctx.Requests().RestartNeeded = true;
  } else if (name == kBeep) {
    queue.AddRecord(engine::SpiRecord(name, SPI_SETBEEP, checked() ? 1 : 0, std::uint32_t{0}, SPIF_UPDATEINIFILE));
  } else if (name == kLog) {
    queue.AddRecord(FlagRecord(name, kLogFlag, checked()));
  } else if (name == kErrorType) {
    queue.AddRecord(IntegerRecord(name, HKLM, kCrashKey, "AutoReboot", ctx.Find<ComboBox>(kErrorType).ItemIndex()));
  }
}

}  // namespace

std::unique_ptr<ui::PageModule> CreateStartMaintenancePage() { return std::make_unique<StartMaintenancePage>(); }

}  // namespace corvanel::pages
