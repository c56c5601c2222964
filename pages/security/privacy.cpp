#include "pages/security/privacy.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "pages/page_layout.h"
#include "pages/page_rows.h"

namespace corvanel::pages {
namespace {

using forms::Button;
using forms::CheckBox;
using forms::ComboBox;
using forms::GroupBox;
using forms::Rect;
using forms::TabSheet;
using platform::HKCU;
using platform::HKLM;

constexpr int kTag = 12;

constexpr const char* kAutoUpdate = "Checkbox_Privacy_Common_AutoUpdate_Active";
constexpr const char* kUpdateType = "CB_Privacy_Common_AutoUpdate_Type";
constexpr const char* kAutoUpdateRecord = "CHKAutoupdate";
constexpr const char* kAutoUpdateKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update\\";
constexpr const char* kAuOptions = "AUOptions";
constexpr std::int32_t kUpdatesOff = 1;
// AUOptions of list items 0 to 3; 1 is not an item, it switches automatic updates off.
constexpr std::array<std::int32_t, 4> kUpdateModes = {0, 2, 3, 4};

constexpr const char* kClearLogoff = "Checkbox_CleanTraces_ClearHistoryList_ClearLogoff";
constexpr const char* kClearCache = "Checkbox_CleanTraces_ClearIECache_ClearOnExit";
constexpr const char* kAuthentication = "Checkbox_Privacy_IE_Authentication_Enable";
constexpr const char* kStopUpdate = "Checkbox_Privacy_IE_Update_Stop";

constexpr const char* kDefaultCaption = "Default Settings ";

// The four plain boxes of the page. Their Default buttons clear them all.
struct BoxRow {
  const char* name;
  const char* caption;
  RegFlag flag;
};
const BoxRow kBoxes[] = {
    {kClearLogoff, "Clear history list at logoff.",
     {HKCU, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\", "ClearRecentDocsOnExit",
      FlagRead::kEqualsOne}},
    // Persistent 1 keeps the cache, so the box says the opposite of the value.
    {kClearCache, "Empty Internet Explorer cache when IE is closed.",
     {HKCU, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\", "Persistent",
      FlagRead::kEqualsOne, true}},
    {kAuthentication, "Disable integrated Windows authentication.",
     {HKCU, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\", "EnableNegotiate",
      FlagRead::kNonZero, true}},
    {kStopUpdate, "Prevent checking for updates.",
     {HKCU, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Webcheck\\", "NoScheduledUpdates",
      FlagRead::kEqualsOne}},
};

const BoxRow& Row(std::string_view name) {
  const BoxRow* row = RowNamed(kBoxes, name);
  if (row == nullptr) throw forms::ModelError("no setting row \"" + std::string(name) + "\"");
  return *row;
}

class PrivacyPage : public ui::PageModule {
 public:
  int Tag() const override { return kTag; }
  void Build(ui::PageContext& ctx) override;
  void Load(ui::PageContext& ctx) override;
  void Change(ui::PageContext& ctx, forms::Component& sender) override;

 private:
  static void LoadPrivacyGeneral(ui::PageContext& ctx);
  static void LoadPrivacyCleanTraces(ui::PageContext& ctx);
  static void LoadPrivacyIE(ui::PageContext& ctx);
  static void LoadBox(ui::PageContext& ctx, const char* name);
  static void ChangeAutoUpdate(ui::PageContext& ctx);
};

constexpr int GroupHeight(int rows) { return layout::RowTop(rows) + 4; }

// A group box of a sheet with `boxes` in its rows.
GroupBox& MakeGroup(ui::PageContext& ctx, TabSheet& sheet, const char* name, const char* caption, int top,
               std::initializer_list<const char*> boxes) {
  forms::Form& form = ctx.Form();
  const int rows = static_cast<int>(boxes.size());
  auto& group = form.Create<GroupBox>(sheet, name, layout::GroupBounds(top, GroupHeight(rows)), caption);
  int line = 0;
  for (const char* box : boxes) {
    form.Create<CheckBox>(group, box, layout::RowBounds(line++), Row(box).caption).OnClick = ctx.Forwarder();
  }
  return group;
}

void PrivacyPage::Build(ui::PageContext& ctx) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forwarder = ctx.Forwarder();
  auto& pages = form.Create<forms::PageControl>(ctx.Page(), "PageControl10", layout::kPageControl);
  auto& general = form.Create<TabSheet>(pages, "TabSheet_Privacy_Common", Rect{}, "General");
  auto& traces = form.Create<TabSheet>(pages, "TabSheet_CleanTraces", Rect{}, "Clean Traces");
  auto& ie = form.Create<TabSheet>(pages, "TabSheet_Privacy_IE", Rect{}, "Internet Explorer");
  pages.SetActivePageIndex(0);

  // General: the switch and, below it, the mode it enables.
  auto& update = form.Create<GroupBox>(general, "GroupBox_Privacy_Common_AutoUpdate",
                                       layout::GroupBounds(layout::kFirstGroupTop, 76), "Automatic Updates");
  form.Create<CheckBox>(update, kAutoUpdate, layout::RowBounds(0), "Active automatic Windows updates.").OnClick =
      forwarder;
  auto& type = form.Create<ComboBox>(update, kUpdateType, Rect{28, layout::RowTop(1) + 2, 330, layout::kComboHeight});
  type.SetItems({"Use Windows default settings", "Notify me before downloading updates",
                 "Notify me before auto downloading and installing updates",
                 "Download and install updates at a scheduled time"});
  type.SetItemIndex(0);
  type.OnChange = forwarder;
  form.Create<Button>(general, "Button_Privacy_Common_Default", layout::SheetButtonBounds(0, 1), kDefaultCaption)
      .OnClick = [&ctx](forms::Component&) {
    DefaultCheck(ctx.Find<CheckBox>(kAutoUpdate), kChecked);
    DefaultSelect(ctx.Find<ComboBox>(kUpdateType), 0);
  };

  // Clean Traces: each box with the "Delete Now" button the form keeps hidden.
  constexpr int kTracesTop = layout::GroupBelow(layout::kFirstGroupTop, GroupHeight(1));
  constexpr Rect kDeleteNow = {335, 14, 80, layout::kButtonHeight};
  auto& history = MakeGroup(ctx, traces, "GroupBox_CleanTraces_ClearHistoryList", "History List",
                            layout::kFirstGroupTop, {kClearLogoff});
  form.Create<Button>(history, "Button_CleanTraces_ClearHistoryList_DeleteNow", kDeleteNow, "Delete Now").Hide();
  auto& cache = MakeGroup(ctx, traces, "GroupBox_CleanTraces_ClearIECache", "Internet Explorer Cache", kTracesTop,
                          {kClearCache});
  form.Create<Button>(cache, "Button_CleanTraces_ClearIECache_DeleteNow", kDeleteNow, "Delete Now").Hide();
  form.Create<Button>(traces, "Button_CleanTraces_Default", layout::SheetButtonBounds(0, 1), kDefaultCaption)
      .OnClick = [&ctx](forms::Component&) {
    DefaultCheck(ctx.Find<CheckBox>(kClearLogoff), kCleared);
    DefaultCheck(ctx.Find<CheckBox>(kClearCache), kCleared);
  };

  // Internet Explorer.
  MakeGroup(ctx, ie, "GroupBox_Privacy_IE_Authentication", "Authentication", layout::kFirstGroupTop,
            {kAuthentication});
  MakeGroup(ctx, ie, "GroupBox_Privacy_IE_Update", "Updates",
            layout::GroupBelow(layout::kFirstGroupTop, GroupHeight(1)), {kStopUpdate});
  form.Create<Button>(ie, "Button_Privacy_IE_Default", layout::SheetButtonBounds(0, 1), kDefaultCaption).OnClick =
      [&ctx](forms::Component&) {
        DefaultCheck(ctx.Find<CheckBox>(kAuthentication), kCleared);
        DefaultCheck(ctx.Find<CheckBox>(kStopUpdate), kCleared);
      };
}

void PrivacyPage::Load(ui::PageContext& ctx) {
  LoadPrivacyGeneral(ctx);
  LoadPrivacyCleanTraces(ctx);
  LoadPrivacyIE(ctx);
}

void PrivacyPage::LoadPrivacyGeneral(ui::PageContext& ctx) {
  Guarded([&] {
    const TRegRecor r = Read(ctx.Queue(), HKLM, kAutoUpdateKey, kAuOptions);
    if (r.Status != engine::kStatusFound) return;
    auto& box = ctx.Find<CheckBox>(kAutoUpdate);
    auto& type = ctx.Find<ComboBox>(kUpdateType);
    const std::optional<std::int32_t> n = AsNumber(r.Value);
    if (n == kUpdatesOff) {
      box.SetChecked(false);
      type.SetEnabled(false);
      return;
    }
    box.SetChecked(true);
    type.SetEnabled(true);
    for (std::size_t i = 0; n && i < kUpdateModes.size(); ++i) {
      if (kUpdateModes[i] == *n) type.SetItemIndex(static_cast<int>(i));
    }
  });
}

void PrivacyPage::LoadBox(ui::PageContext& ctx, const char* name) {
  Guarded([&] { SetCheckedIf(ctx.Find<CheckBox>(name), ReadFlag(ctx.Queue(), Row(name).flag)); });
}

void PrivacyPage::LoadPrivacyCleanTraces(ui::PageContext& ctx) {
  LoadBox(ctx, kClearLogoff);
  LoadBox(ctx, kClearCache);
}

void PrivacyPage::LoadPrivacyIE(ui::PageContext& ctx) {
  LoadBox(ctx, kAuthentication);
  LoadBox(ctx, kStopUpdate);
}

// The box and the list are one setting: either sender queues the whole of it again.
void PrivacyPage::ChangeAutoUpdate(ui::PageContext& ctx) {
  const bool on = ctx.Find<CheckBox>(kAutoUpdate).Checked();
  auto& type = ctx.Find<ComboBox>(kUpdateType);
  type.SetEnabled(on);
  std::int32_t value = kUpdatesOff;
  if (on) {
    const int index = type.ItemIndex();
    value = index >= 0 && index < static_cast<int>(kUpdateModes.size()) ? kUpdateModes[static_cast<std::size_t>(index)]
                                                                         : kUpdateModes[0];
  }
  ctx.Queue().AddRecord(IntegerRecord(kAutoUpdateRecord, HKLM, kAutoUpdateKey, kAuOptions, value));
}

void PrivacyPage::Change(ui::PageContext& ctx, forms::Component& sender) {
  const std::string& name = sender.Name();
  if (name == kAutoUpdate || name == kUpdateType) {
    ChangeAutoUpdate(ctx);
    return;
  }
  const BoxRow* row = RowNamed(kBoxes, name);
  const auto* box = dynamic_cast<const CheckBox*>(&sender);
  if (row == nullptr || box == nullptr) return;
  ctx.Queue().AddRecord(FlagRecord(row->name, row->flag, box->Checked()));
}

}  // namespace

std::unique_ptr<ui::PageModule> CreatePrivacyPage() { return std::make_unique<PrivacyPage>(); }

}  // namespace corvanel::pages
