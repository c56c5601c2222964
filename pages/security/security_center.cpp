#include "pages/security/security_center.h"

#include <optional>
#include <string>

#include "engine/host_probes.h"
#include "pages/page_layout.h"
#include "pages/page_rows.h"

namespace corvanel::pages {
namespace {

using forms::Button;
using forms::CheckBox;
using forms::Edit;
using forms::GroupBox;
using forms::Label;
using forms::Rect;
using forms::TabSheet;
using forms::UpDown;
using platform::HKLM;

constexpr int kTag = 18;

constexpr const char* kActive = "Checkbox_Security_Center_Active";
constexpr const char* kNoAntivirus = "Checkbox_Security_Center_SC_NoAntivirusSoftware";
constexpr const char* kNoFirewall = "Checkbox_Security_Center_SC_NoFirewall";
constexpr const char* kExpired = "Checkbox_Security_Center_SC_SecuritySoftwareExpired";
constexpr const char* kWaitTime = "Edit_Security_Advanced_Screensaver_WaitTime";
constexpr const char* kWaitTimeUpDown = "Updown_Security_Advanced_Screensaver_WaitTime";

constexpr const char* kSecurityCenterKey = "\\SOFTWARE\\Microsoft\\Security Center\\";
constexpr const char* kWinlogonKey = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\";
constexpr const char* kGracePeriod = "ScreenSaverGracePeriod";

// Service actions Apply carries out on "wscsvc".
constexpr std::int32_t kStartService = 1;
constexpr std::int32_t kStopService = 2;
constexpr int kServiceRunning = 2;
constexpr int kServiceSilent = 0;

// The warning boxes: checked while the balloon is not switched off.
struct WarningRow {
  const char* name;
  const char* caption;
  const char* value;        // up to XP
  const char* value_vista;  // Vista and later
};
const WarningRow kWarnings[] = {
    {kNoAntivirus, "Warn of non-installed virus scanner.", "AntiVirusDisableNotify", "AntiVirusDisableNotify"},
    {kNoFirewall, "Warn of non-installed firewall.", "FirewallDisableNotify", "FirewallDisableNotify"},
    {kExpired, "Warn of outdated security software.", "UpdatesDisableNotify", "AutoUpdateDisableNotify"},
};

RegFlag WarningFlag(const WarningRow& row, int version_class) {
  return {HKLM, kSecurityCenterKey, version_class > 5 ? row.value_vista : row.value, FlagRead::kEqualsOne, true};
}

class SecurityCenterPage : public ui::PageModule {
 public:
  int Tag() const override { return kTag; }
  void Build(ui::PageContext& ctx) override;
  void Load(ui::PageContext& ctx) override;
  void Change(ui::PageContext& ctx, forms::Component& sender) override;

 private:
  static void LoadSecurityCenter(ui::PageContext& ctx);
  static void LoadSecurityAdvanced(ui::PageContext& ctx);
  static void EnableWarnings(ui::PageContext& ctx, bool enabled);
};

void SecurityCenterPage::Build(ui::PageContext& ctx) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forwarder = ctx.Forwarder();
  auto& pages = form.Create<forms::PageControl>(ctx.Page(), "PageControl17", layout::kPageControl);
  auto& center = form.Create<TabSheet>(pages, "TabSheet_Security_Center", Rect{}, "Security Center");
  auto& advanced = form.Create<TabSheet>(pages, "TabSheet_Security_Advanced", Rect{}, "Advanced");
  pages.SetActivePageIndex(0);

  form.Create<Label>(center, "Label_Security_Center_Info",
                     Rect{layout::kGroupLeft, layout::kFirstGroupTop, layout::kGroupWidth, 2 * layout::kLabelHeight},
                     "The Windows Security Center will monitor the security aspect operations on your computer and "
                     "display warnings or recommendations for improving security.");
  form.Create<CheckBox>(center, kActive, Rect{layout::kGroupLeft, 40, layout::kGroupWidth, layout::kRowHeight},
                        "Enable Windows Security Center.")
      .OnClick = forwarder;
  constexpr int kTipsTop = 66;
  auto& tips = form.Create<GroupBox>(center, "GroupBox_Security_Center_SC",
                                     layout::GroupBounds(kTipsTop, layout::RowTop(4) + 4),
                                     "Security Center Tips Settings");
  form.Create<Label>(tips, "Label_Security_Center_SC_Info",
                     Rect{layout::kRowLeft, layout::RowTop(0), layout::kRowWidth, layout::kLabelHeight},
                     "Specify whether to see a warning balloon when a security check fails:");
  int line = 1;
  for (const WarningRow& row : kWarnings) {
    form.Create<CheckBox>(tips, row.name, layout::RowBounds(line++), row.caption).OnClick = forwarder;
  }
  form.Create<Button>(center, "Button_Security_Center_Default", layout::SheetButtonBounds(0, 1), "Default Settings")
      .Hide();

  auto& saver = form.Create<GroupBox>(advanced, "GroupBox_Security_Advanced_Screensaver",
                                      layout::GroupBounds(layout::kFirstGroupTop, 86), "Screensaver");
  form.Create<Label>(saver, "Label_Security_Advanced_Screensaver_Info",
                     Rect{layout::kRowLeft, layout::RowTop(0), layout::kRowWidth, 2 * layout::kLabelHeight},
                     "Define the time the screensaver has to be active before the password is requested.");
  form.Create<Label>(saver, "Label_Security_Advanced_Screensaver_WaitTime", Rect{12, 57, 64, layout::kLabelHeight},
                     "Wait time:");
  form.Create<Edit>(saver, kWaitTime, Rect{80, 54, 56, layout::kEditHeight});
  form.Create<UpDown>(saver, kWaitTimeUpDown, Rect{136, 54, 17, layout::kEditHeight});
  form.Create<Label>(saver, "Label_Security_Advanced_Screensaver_Unit", Rect{160, 57, 20, layout::kLabelHeight},
                     "s.");
  form.Create<Button>(advanced, "Button_Security_Advanced_Default", layout::SheetButtonBounds(0, 1),
                      "Default Settings")
      .Hide();
}

void SecurityCenterPage::EnableWarnings(ui::PageContext& ctx, bool enabled) {
  for (const WarningRow& row : kWarnings) ctx.Find<CheckBox>(row.name).SetEnabled(enabled);
}

void SecurityCenterPage::LoadSecurityCenter(ui::PageContext& ctx) {
  const int version_class = ctx.VersionClass();
  auto& active = ctx.Find<CheckBox>(kActive);
  // Without the firewall service XP has no Security Center; before XP there is none.
  Guarded([&] {
    const bool unavailable =
        version_class < 5 ||
        (version_class == 5 && engine::QueryServiceState(ctx.Platform(), "SharedAccess") == kServiceSilent);
    if (!unavailable) return;
    active.SetChecked(false);
    active.SetEnabled(false);
    EnableWarnings(ctx, false);
  });
  Guarded([&] {
    if (engine::QueryServiceState(ctx.Platform(), "wscsvc") == kServiceRunning) {
      active.SetChecked(true);
    } else {
      active.SetChecked(false);
      EnableWarnings(ctx, false);
    }
  });
  for (const WarningRow& row : kWarnings) {
    Guarded([&] { SetCheckedIf(ctx.Find<CheckBox>(row.name), ReadFlag(ctx.Queue(), WarningFlag(row, version_class))); });
  }
}

void SecurityCenterPage::LoadSecurityAdvanced(ui::PageContext& ctx) {
  Guarded([&] {
    const TRegRecor r = Read(ctx.Queue(), HKLM, kWinlogonKey, kGracePeriod);
    if (r.Status != engine::kStatusFound) return;
    if (const std::optional<std::int32_t> seconds = AsNumber(r.Value)) {
      ctx.Find<UpDown>(kWaitTimeUpDown).SetPosition(*seconds);
    }
  });
}

void SecurityCenterPage::Load(ui::PageContext& ctx) {
  LoadSecurityCenter(ctx);
  LoadSecurityAdvanced(ctx);
}

void SecurityCenterPage::Change(ui::PageContext& ctx, forms::Component& sender) {
  const std::string& name = sender.Name();
  if (name == kWaitTimeUpDown) {
    // Windows keeps the grace period as text.
    ctx.Queue().AddRecord(
        StringRecord(kWaitTimeUpDown, HKLM, kWinlogonKey, kGracePeriod, ctx.Find<Edit>(kWaitTime).Text()));
    return;
  }
  const auto* box = dynamic_cast<const CheckBox*>(&sender);
  if (box == nullptr) return;
  if (name == kActive) {
    ctx.Requests().SecurityCenterServiceAction = box->Checked() ? kStartService : kStopService;
    EnableWarnings(ctx, box->Checked());
    return;
  }
  if (const WarningRow* row = RowNamed(kWarnings, name)) {
    ctx.Queue().AddRecord(FlagRecord(row->name, WarningFlag(*row, ctx.VersionClass()), box->Checked()));
  }
}

}  // namespace

std::unique_ptr<ui::PageModule> CreateSecurityCenterPage() { return std::make_unique<SecurityCenterPage>(); }

}  // namespace corvanel::pages
