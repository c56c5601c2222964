#include "pages/system/driver.h"

#include <cstdint>
#include <optional>
#include <string>

#include "pages/page_layout.h"
#include "pages/page_rows.h"

namespace corvanel::pages {
namespace {

using forms::Button;
using forms::CheckBox;
using forms::GroupBox;
using forms::Rect;
using forms::TabSheet;
using platform::HKCU;
using platform::HKLM;

constexpr int kTag = 14;

constexpr const char* kPages = "pagDriver";
constexpr const char* kFileSystemKey = "\\SYSTEM\\CurrentControlSet\\Control\\FileSystem\\";
constexpr const char* kIdeKey =
    "\\SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96A-E325-11CE-BFC1-08002BE10318}\\0000\\";
// Under HKCU for the disk-space warning, under HKLM for CD monitoring.
constexpr const char* kPoliciesKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\Explorer\\";
constexpr const char* kCdromKey = "\\SYSTEM\\CurrentControlSet\\Services\\Cdrom\\";
constexpr const char* kAutoRunKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
constexpr const char* kAutoRunValue = "NoDriveTypeAutoRun";

constexpr const char* kLastAccess = "Checkbox_Drives_Common_NTFS_SaveLastVisitData";
constexpr const char* kShortNames = "Checkbox_Drives_Common_NTFS_SaveShortName";
constexpr const char* kUdma66 = "Checkbox_Drives_Common_Enable";
constexpr const char* kSpaceWarning = "Checkbox_Drives_DiskSpace_SpaceWarn_ShowWarn";
constexpr const char* kMediaChange = "Checkbox_Drives_AutoPlay_MonitorMediaChanges_Enable";
constexpr const char* kRemovable = "Checkbox_Drives_AutoPlay_AutoPlayInfo_RemovableMedia";
constexpr const char* kCdDvd = "Checkbox_Drives_AutoPlay_AutoPlayInfo_DVD";
constexpr const char* kAutoPlayGroup = "GroupBox_Drives_AutoPlay_AutoPlayInfo";

// The integer flags of the page, each one record under its box's name.
struct FlagRow {
  const char* name;
  RegFlag flag;
  bool restart;
};
const FlagRow kFlags[] = {
    {kUdma66, {HKLM, kIdeKey, "EnableUDMA66", FlagRead::kEqualsOne}, true},
    {kLastAccess, {HKLM, kFileSystemKey, "NtfsDisableLastAccessUpdate", FlagRead::kNumberIsOne, true, kChecked}, false},
    {kShortNames, {HKLM, kFileSystemKey, "NtfsDisable8dot3NameCreation", FlagRead::kNumberIsOne, true}, false},
    {kSpaceWarning, {HKCU, kPoliciesKey, "NoLowDiskSpaceChecks", FlagRead::kNumberIsOne, true, kChecked}, true},
};

// NoDriveTypeAutoRun: a set bit switches AutoPlay off for that kind of drive.
struct AutoPlayRow {
  const char* name;
  std::uint32_t bit;
};
constexpr AutoPlayRow kAutoPlay[] = {{kRemovable, 0x04}, {kCdDvd, 0x20}};

class DriverPage : public ui::PageModule {
 public:
  int Tag() const override { return kTag; }
  void Build(ui::PageContext& ctx) override;
  void Adapt(ui::PageContext& ctx, int version_class) override;
  void Load(ui::PageContext& ctx) override;
  void Change(ui::PageContext& ctx, forms::Component& sender) override;
};

void ReadFlagRow(ui::PageContext& ctx, const char* name) {
  const FlagRow* row = RowNamed(kFlags, name);
  Guarded([&] { SetCheckedIf(ctx.Find<CheckBox>(row->name), ReadFlag(ctx.Queue(), row->flag)); });
}

void DriverPage::Build(ui::PageContext& ctx) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forward = ctx.Forwarder();
  auto& pages = form.Create<forms::PageControl>(ctx.Page(), kPages, layout::kPageControl);
  const auto group = [&](TabSheet& sheet, const char* name, const char* caption, int top) -> GroupBox& {
    return form.Create<GroupBox>(sheet, name, layout::GroupBounds(top, 0), caption);
  };
  const auto box = [&](GroupBox& g, const char* name, int top, const char* caption) {
    form.Create<CheckBox>(g, name, Rect{layout::kRowLeft, top, layout::kRowWidth, layout::kRowHeight}, caption)
        .OnClick = forward;
    return top + layout::kRowStep;
  };
  // Closes a group whose next row would start at `next_row`; returns the next group's top.
  const auto close = [](GroupBox& g, int next_row) {
    g.SetHeight(next_row - layout::kRowStep + layout::kRowHeight + 8);
    return layout::GroupBelow(g.Top(), g.Height());
  };

  // General.
  auto& common = form.Create<TabSheet>(pages, "TabSheet_Drives_Common", Rect{}, "General");
  auto& ntfs = group(common, "GroupBox_Drives_Common_NTFS", "NTFS File System", layout::kFirstGroupTop);
  int y = InfoText(form, ntfs, "Label_Drives_Common_NTFS_Info", layout::kRowTop,
                   "Here you can configure the settings for all drives formatted with the NTFS file system.");
  y = box(ntfs, kLastAccess, y, "Save date of last file access.");
  y = box(ntfs, kShortNames, y, "Save short (DOS) file name.");
  int top = close(ntfs, y);
  auto& udma = group(common, "GroupBox_Drives_Common_UDMA66", "UDMA66 Support", top);
  y = InfoText(form, udma, "Label_Drives_Common_UDMA66_Info", layout::kRowTop,
               "Activating the UDMA66 support on computers with Intel chipsets may increase the transfer speeds of "
               "your drivers.");
  close(udma, box(udma, kUdma66, y, "Enable UDMA66 support."));
  form.Create<Button>(common, "Button_Drives_Common_Default", layout::SheetButtonBounds(0, 1), "Default Settings")
      .OnClick = [&ctx](forms::Component&) {
    DefaultCheck(ctx.Find<CheckBox>(kUdma66), kCleared);
    DefaultCheck(ctx.Find<CheckBox>(kLastAccess), kChecked);
    DefaultCheck(ctx.Find<CheckBox>(kShortNames), kChecked);
  };

  // Disk Space.
  auto& space = form.Create<TabSheet>(pages, "TabSheet_Drives_DiskSpace", Rect{}, "Disk Space");
  auto& warning = group(space, "GroupBox_Drives_DiskSpace_SpaceWarn", "Low Disk Space Warning", layout::kFirstGroupTop);
  y = InfoText(form, warning, "Label_Drives_DiskSpace_SpaceWarn_Info", layout::kRowTop,
               "Activate or deactivate here the warning that Windows displays when disk space is low.");
  close(warning, box(warning, kSpaceWarning, y, "Show low disk space warning."));
  form.Create<Button>(space, "Button_Drives_DiskSpace_SpaceWarn_Default", layout::SheetButtonBounds(0, 1),
                      "Default Settings")
      .OnClick = [&ctx](forms::Component&) { DefaultCheck(ctx.Find<CheckBox>(kSpaceWarning), kChecked); };

  // Auto Play.
  auto& autoplay = form.Create<TabSheet>(pages, "TabSheet_Drives_AutoPlay", Rect{}, "Auto Play");
  auto& monitor = group(autoplay, "GroupBox_Drives_AutoPlay_MonitorMediaChanges", "Media Change Monitoring",
                        layout::kFirstGroupTop);
  y = InfoText(form, monitor, "Label_Drives_AutoPlay_MonitorMediaChanges_Info", layout::kRowTop,
               "Activate or deactivate the Windows monitor when a new CD is inserted into your CD drives.");
  y = InfoText(form, monitor, "Label_Drives_AutoPlay_MonitorMediaChanges_Warning", y,
               "Warning: When media change monitoring is deactivated, the Explorer often shows old CD titles and does "
               "not update the display until the computer is restarted.");
  top = close(monitor, box(monitor, kMediaChange, y, "Monitor CD drivers for media change."));
  auto& info = group(autoplay, kAutoPlayGroup, "Autoplay", top);
  y = InfoText(form, info, "Label_Drives_AutoPlay_AutoPlayInfo_Info", layout::kRowTop,
               "Customize the play settings for removable media and music CDs.");
  y = box(info, kRemovable, y, "Auto play removable media.");
  close(info, box(info, kCdDvd, y, "Auto play CD/DVD drivers."));
  form.Create<Button>(autoplay, "Button_Drives_AutoPlay_Default", layout::SheetButtonBounds(0, 1), "Default Settings")
      .Hide();

  pages.SetActivePageIndex(0);
}

void DriverPage::Adapt(ui::PageContext& ctx, int version_class) {
  auto& pages = ctx.Find<forms::PageControl>(kPages);
  if (version_class > 5) {
    pages.Page(0)->SetTabVisible(false);
    ctx.Find<GroupBox>(kAutoPlayGroup).Hide();
  }
  if (version_class < 5) pages.Page(1)->SetTabVisible(false);
}

void DriverPage::Load(ui::PageContext& ctx) {
  // LoadDrivesCommon.
  ReadFlagRow(ctx, kUdma66);
  ReadFlagRow(ctx, kLastAccess);
  ReadFlagRow(ctx, kShortNames);
  // LoadDrivesDiskSpace.
  ReadFlagRow(ctx, kSpaceWarning);
  // LoadDrivesAutoPlay.
  Guarded([&] {
    if (const auto one = ReadEquals(ctx.Queue(), HKLM, kPoliciesKey, "CDRAutoRun", 1)) {
      ctx.Find<CheckBox>(kMediaChange).SetChecked(*one);
    } else {
      ctx.Find<CheckBox>(kMediaChange).SetChecked(true);
    }
  });
  Guarded([&] {
    const std::optional<std::uint32_t> mask = ReadMask(ctx.Queue(), HKCU, kAutoRunKey, kAutoRunValue);
    if (!mask) return;
    for (const AutoPlayRow& row : kAutoPlay) ctx.Find<CheckBox>(row.name).SetChecked((*mask & row.bit) == 0);
  });
}

void DriverPage::Change(ui::PageContext& ctx, forms::Component& sender) {
  TCorvanel& queue = ctx.Queue();
  const std::string& name = sender.Name();
  const auto* box = dynamic_cast<const CheckBox*>(&sender);
  if (box == nullptr) return;
  const bool checked = box->Checked();
  if (const FlagRow* row = RowNamed(kFlags, name)) {
    queue.AddRecord(FlagRecord(name, row->flag, checked));
    if (row->restart) ctx.Requests().RestartNeeded = true;
  } else if (name == kMediaChange) {
    queue.AddRecord(FlagRecord(name, HKLM, kPoliciesKey, "CDRAutoRun", checked));
    queue.AddRecord(FlagRecord(name + "1", HKLM, kCdromKey, "Autorun", checked));
    ctx.Requests().RestartNeeded = true;
  } else if (const AutoPlayRow* autoplay = RowNamed(kAutoPlay, name)) {
    // The mask may be stored as bytes or text too; the shared rule keeps that type and
    // starts from what the queue would leave, so the General Setting page's change stays.
    if (PuttingBack()) return;
    if (auto r = MaskBitRecord(queue, name, HKCU, kAutoRunKey, kAutoRunValue, autoplay->bit, !checked)) {
      queue.AddRecord(std::move(*r));
    } else {
      PutBack(dynamic_cast<CheckBox&>(sender));
    }
  }
}

}  // namespace

std::unique_ptr<ui::PageModule> CreateDriverPage() { return std::make_unique<DriverPage>(); }

}  // namespace corvanel::pages
