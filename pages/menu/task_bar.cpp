// The Task Bar page. Flashing and the minimized-window metrics are system parameters; the
// button look, grouping and the notification area are HKCU registry values.
#include "pages/menu/task_bar.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pages/minimized_metrics.h"
#include "pages/page_layout.h"
#include "pages/page_rows.h"

namespace corvanel::pages {

namespace {

using forms::Button;
using forms::CheckBox;
using forms::ComboBox;
using forms::Component;
using forms::Control;
using forms::Edit;
using forms::GroupBox;
using forms::Label;
using forms::PageControl;
using forms::RadioButton;
using forms::Rect;
using forms::TabSheet;
using forms::UpDown;
using platform::HKCU;

constexpr int kTag = 6;

constexpr std::uint32_t SPI_GETFOREGROUNDLOCKTIMEOUT = 0x2000, SPI_SETFOREGROUNDLOCKTIMEOUT = 0x2001;
constexpr std::uint32_t SPI_GETFOREGROUNDFLASHCOUNT = 0x2004, SPI_SETFOREGROUNDFLASHCOUNT = 0x2005;
constexpr std::uint32_t SPIF_UPDATEINIFILE = 1;

constexpr std::uint32_t kFlashingTimeOut = 200000;  // milliseconds, when flashing is on
constexpr int kDefaultFlashCount = 3;
constexpr int kDefaultIdleTime = 200;

// --- names -------------------------------------------------------------------------

constexpr const char* kPageControl = "PageControl6";
constexpr const char* kTabFlashes = "TabSheet_Taskbar_ButtonFlashes";
constexpr const char* kTabAppearance = "TabSheet_Taskbar_ButtonAppearance";
constexpr const char* kTabMinWindows = "TabSheet_Taskbar_MinWindows";
constexpr const char* kTabAdvanced = "TabSheet_Taskbar_Advanced";

constexpr const char* kGroupSpeed = "Groupbox_Taskbar_ButtonFlashes_Speed";
constexpr const char* kGroupCommon = "Groupbox_Taskbar_ButtonFlashes_Common";
constexpr const char* kGroupGrouping = "Groupbox_Taskbar_ButtonAppearance_Group";
constexpr const char* kGroupPosition = "Groupbox_Taskbar_MinWindows_Position";
constexpr const char* kGroupTray = "Groupbox_Taskbar_Advanced_SystemTray";

constexpr const char* kActive = "Checkbox_Taskbar_ButtonFlashes_Active";
constexpr const char* kClick = "Radio_Taskbar_ButtonFlashes_Speed_Click";
constexpr const char* kFlash = "Radio_Taskbar_ButtonFlashes_Speed_Flash";
constexpr const char* kSpeed = "Edit_Taskbar_ButtonFlashes_Speed_Flash";
constexpr const char* kSpeedUpDown = "UpDown_Taskbar_ButtonFlashes_Speed_Flash";
constexpr const char* kTimeLabel = "Label_Taskbar_ButtonFlashes_Common_Time";
constexpr const char* kTime = "Edit_Taskbar_ButtonFlashes_Common_Time";
constexpr const char* kTimeUpDown = "UpDown_Taskbar_ButtonFlashes_Common_Time";

constexpr const char* kShow = "Checkbox_Taskbar_ButtonAppearance_Show";
constexpr const char* kShowButton = "Checkbox_Taskbar_ButtonAppearance_ShowButton";
constexpr const char* kClassification = "Checkbox_Taskbar_ButtonAppearance_Group_Classification";
constexpr const char* kProgram = "Radio_Taskbar_ButtonAppearance_Group_Program";
constexpr const char* kWindows = "Radio_Taskbar_ButtonAppearance_Group_Windows";
constexpr const char* kAtLeast = "Radio_Taskbar_ButtonAppearance_Group_AtLeast";
constexpr const char* kCount = "Edit_Taskbar_ButtonAppearance_Group_AtLeastCount";
constexpr const char* kCountUpDown = "UpDown_Taskbar_ButtonAppearance_Group_AtLeastCount";

constexpr const char* kLeft = "CB_Taskbar_MinWindows_Position_Left";
constexpr const char* kTop = "CB_Taskbar_MinWindows_Position_Top";
constexpr const char* kArrangement = "CB_Taskbar_MinWindows_Position_Arrangement";
constexpr const char* kLeftLabel = "Label_Taskbar_MinWindows_Position_Left";
constexpr const char* kTopLabel = "Label_Taskbar_MinWindows_Position_Top";
constexpr const char* kArrangementLabel = "Label_Taskbar_MinWindows_Position_Arrangement";

constexpr const char* kTrayTip = "Checkbox_Taskbar_Advanced_SystemTray_TrayTip";
constexpr const char* kBalloonTip = "Checkbox_Taskbar_Advanced_SystemTray_BalloonTip";

constexpr const char* kDefaultFlashes = "Button_Taskbar_ButtonFlashes_Default";
constexpr const char* kDefaultAppearance = "Button_Taskbar_ButtonAppearance_Default";
constexpr const char* kDefaultMinWindows = "Button_Taskbar_MinWindows_Default";

// --- locations ---------------------------------------------------------------------

constexpr const char* kAdvancedKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
constexpr const char* kPoliciesKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
// Where a stale MinWidth would override the metrics; the queue removes it after the call.

// What the flashing box switches along with itself.
constexpr std::initializer_list<const char*> kFlashControls = {
    kClick, kFlash, kSpeed, kSpeedUpDown, kTime, kTimeUpDown};
constexpr std::initializer_list<const char*> kGroupRadios = {kProgram, kWindows, kAtLeast};
constexpr std::initializer_list<const char*> kCountField = {kCount, kCountUpDown};

void SetEnabled(ui::PageContext& ctx, std::initializer_list<const char*> names, bool enabled) {
  for (const char* name : names) ctx.Find<Control>(name).SetEnabled(enabled);
}

std::optional<std::uint32_t> QueryNumber(platform::SystemParameters& spi, std::uint32_t action) {
  std::uint32_t n = 0;
  if (!spi.Spi(action, 0, &n, 0)) return std::nullopt;
  return n;
}

// --- the tray flag ------------------------------------------------------------------

// Bit 0 of the stored flag: the first byte of binary data, the number of a DWORD or of a
// numeric text.
bool TrayHidden(const TRegRecor& r) {
  if (r.Value.IsBytes()) return BitOf(r.Value.AsBytes(), 0);
  const auto n = AsNumber(r.Value);
  return n.has_value() && (*n & 1) != 0;
}

std::int32_t WithLowBit(std::int32_t n, bool on) { return on ? (n | 1) : (n & ~std::int32_t{1}); }

// The flag written back in the type it is stored in: bit 0 changed, the rest kept. A
// value of a type the queue cannot write keeps its data (DataType 0 writes nothing).
TRegRecor TrayRecord(const TRegRecor& latest, bool hidden) {
  constexpr const char* kValue = "NoTrayItemsDisplay";
  if (latest.Status != engine::kStatusFound) {
    return BinaryRecord(kTrayTip, HKCU, kPoliciesKey, kValue, {static_cast<std::uint8_t>(hidden ? 1 : 0)});
  }
  switch (latest.DataType) {
    case engine::kTypeBinary: {
      engine::Value::Bytes bytes = latest.Value.IsBytes() ? latest.Value.AsBytes() : engine::Value::Bytes{};
      // An empty value has no bit to clear; hiding gives it its first byte.
      if (!bytes.empty() || hidden) bytes = WithBit(std::move(bytes), 0, hidden);
      return BinaryRecord(kTrayTip, HKCU, kPoliciesKey, kValue, std::move(bytes));
    }
    case engine::kTypeNumber:
      return IntegerRecord(kTrayTip, HKCU, kPoliciesKey, kValue,
                           WithLowBit(latest.Value.IsInt() ? latest.Value.AsInt() : 0, hidden));
    case engine::kTypeText:
    case engine::kTypeExpandText:
      return engine::WriteRecord(
          kTrayTip, HKCU, kPoliciesKey, kValue, latest.DataType,
          engine::MakeText(std::to_string(WithLowBit(AsNumber(latest.Value).value_or(0), hidden))));
    default:
      return engine::WriteRecord(kTrayTip, HKCU, kPoliciesKey, kValue, latest.DataType, engine::Value());
  }
}

// --- the page -----------------------------------------------------------------------

class TaskBarPage : public ui::PageModule {
 public:
  int Tag() const override { return kTag; }
  void Build(ui::PageContext& ctx) override;
  void Adapt(ui::PageContext& ctx, int version_class) override;
  void Load(ui::PageContext& ctx) override;
  void Change(ui::PageContext& ctx, Component& sender) override;

 private:
  void LoadTaskbarFlashing(ui::PageContext& ctx);
  void LoadTaskbarButtonAppearance(ui::PageContext& ctx);
  void LoadTaskbarMinimizedWindows(ui::PageContext& ctx);
  void LoadTaskbarAdvanced(ui::PageContext& ctx);
  void ChangeFlashCount(ui::PageContext& ctx);
  void ChangeHideBit(ui::PageContext& ctx);
  void ChangeGrouping(ui::PageContext& ctx, const Component& sender);
  void ChangeArrangement(ui::PageContext& ctx);
  void ChangeTray(ui::PageContext& ctx);
};

ComboBox& MakeList(forms::Form& form, Control& parent, const char* name, int top, std::vector<std::string> items,
                   const forms::NotifyEvent& forward) {
  auto& list = form.Create<ComboBox>(parent, name, Rect{180, top, 150, layout::kComboHeight});
  list.SetItems(std::move(items));
  list.OnChange = forward;
  return list;
}

void TaskBarPage::Build(ui::PageContext& ctx) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forward = ctx.Forwarder();
  ui::PageContext* c = &ctx;
  constexpr Rect kDefaultButton = layout::SheetButtonBounds(0, 1);
  constexpr Rect kSheetRow0 = {layout::kGroupLeft, 8, layout::kGroupWidth, layout::kRowHeight};
  constexpr Rect kSheetRow1 = {layout::kGroupLeft, 30, layout::kGroupWidth, layout::kRowHeight};

  auto& pages = form.Create<PageControl>(ctx.Page(), kPageControl, layout::kPageControl);
  auto& flashes = form.Create<TabSheet>(pages, kTabFlashes, Rect{}, "Flashing Buttons");
  auto& appearance = form.Create<TabSheet>(pages, kTabAppearance, Rect{}, "Button Appearance");
  auto& minimized = form.Create<TabSheet>(pages, kTabMinWindows, Rect{}, "Minimized Windows");
  auto& advanced = form.Create<TabSheet>(pages, kTabAdvanced, Rect{}, "Advanced");
  pages.SetActivePageIndex(0);

  // Flashing Buttons. The two numeric fields get their ranges and events from the window.
  form.Create<CheckBox>(flashes, kActive, kSheetRow0, "Enable flashing taskbar buttons.").OnClick = forward;
  auto& speed = form.Create<GroupBox>(flashes, kGroupSpeed, layout::GroupBounds(33, 72), "Flashing Speed");
  form.Create<RadioButton>(speed, kClick, layout::RowBounds(0),
                           "The button in the taskbar will flash until you click on it.")
      .OnClick = forward;
  form.Create<RadioButton>(speed, kFlash, Rect{layout::kRowLeft, layout::RowTop(1), 260, layout::kRowHeight},
                           "The flashing speed of button in the taskbar:")
      .OnClick = forward;
  form.Create<Edit>(speed, kSpeed, Rect{276, 40, 45, layout::kEditHeight});
  form.Create<UpDown>(speed, kSpeedUpDown, Rect{321, 40, 17, layout::kEditHeight});
  auto& common = form.Create<GroupBox>(flashes, kGroupCommon, layout::GroupBounds(113, 52), "General");
  form.Create<Label>(common, kTimeLabel, Rect{layout::kRowLeft, 26, 160, layout::kLabelHeight},
                     "Time after last input:");
  form.Create<Edit>(common, kTime, Rect{180, 22, 55, layout::kEditHeight});
  form.Create<UpDown>(common, kTimeUpDown, Rect{235, 22, 17, layout::kEditHeight});
  form.Create<Button>(flashes, kDefaultFlashes, kDefaultButton, "Default Settings").OnClick = [c](Component&) {
    DefaultCheck(c->Find<CheckBox>(kActive), kChecked);
    DefaultSelect(c->Find<RadioButton>(kFlash));
    DefaultPosition(c->Find<UpDown>(kSpeedUpDown), kDefaultFlashCount);
    DefaultPosition(c->Find<UpDown>(kTimeUpDown), kDefaultIdleTime);
  };

  // Button Appearance.
  form.Create<CheckBox>(appearance, kShow, kSheetRow0, "Display window by buttons on the taskbar.").OnClick = forward;
  form.Create<CheckBox>(appearance, kShowButton, kSheetRow1, "Show animated buttons.").OnClick = forward;
  auto& grouping = form.Create<GroupBox>(appearance, kGroupGrouping, layout::GroupBounds(55, 115), "Grouping");
  form.Create<CheckBox>(grouping, kClassification, layout::RowBounds(0), "Group similar taskbar buttons.").OnClick =
      forward;
  constexpr int kRadioLeft = 28;
  constexpr int kRadioWidth = layout::kGroupWidth - kRadioLeft - layout::kRowLeft;
  form.Create<RadioButton>(grouping, kProgram, Rect{kRadioLeft, layout::RowTop(1), kRadioWidth, layout::kRowHeight},
                           "Group most rarely used program first.")
      .OnClick = forward;
  form.Create<RadioButton>(grouping, kWindows, Rect{kRadioLeft, layout::RowTop(2), kRadioWidth, layout::kRowHeight},
                           "Group programs with most windows first.")
      .OnClick = forward;
  form.Create<RadioButton>(grouping, kAtLeast, Rect{kRadioLeft, layout::RowTop(3), 180, layout::kRowHeight},
                           "Group programs with at least:")
      .OnClick = forward;
  form.Create<Edit>(grouping, kCount, Rect{212, 84, 40, layout::kEditHeight});
  form.Create<UpDown>(grouping, kCountUpDown, Rect{252, 84, 17, layout::kEditHeight});
  form.Create<Button>(appearance, kDefaultAppearance, kDefaultButton, "Default Settings ").OnClick = [c](Component&) {
    DefaultCheck(c->Find<CheckBox>(kShow), kChecked);
    DefaultCheck(c->Find<CheckBox>(kShowButton), kChecked);
    DefaultCheck(c->Find<CheckBox>(kClassification), kChecked);
    DefaultSelect(c->Find<RadioButton>(kProgram));
  };

  // Minimized Windows: one setting made of three lists. The window selects the first item
  // of each again once it has translated them, so that is what an unread system shows.
  auto& position = form.Create<GroupBox>(minimized, kGroupPosition, layout::GroupBounds(8, 110), "Position");
  form.Create<Label>(position, kLeftLabel, Rect{layout::kRowLeft, 26, 160, layout::kLabelHeight}, "Start at:");
  form.Create<Label>(position, kTopLabel, Rect{layout::kRowLeft, 54, 160, layout::kLabelHeight}, "Start from:");
  form.Create<Label>(position, kArrangementLabel, Rect{layout::kRowLeft, 82, 160, layout::kLabelHeight},
                     "Arrangement:");
  MakeList(form, position, kLeft, 22, {"Left", "Right"}, forward).SetItemIndex(0);
  MakeList(form, position, kTop, 50, {"Top", "Bottom"}, forward).SetItemIndex(0);
  MakeList(form, position, kArrangement, 78, {"Side by side", "Cascading"}, forward).SetItemIndex(0);
  form.Create<Button>(minimized, kDefaultMinWindows, kDefaultButton, "Default Settings").OnClick = [c](Component&) {
    DefaultSelect(c->Find<ComboBox>(kLeft), 0);
    DefaultSelect(c->Find<ComboBox>(kTop), 1);
    DefaultSelect(c->Find<ComboBox>(kArrangement), 0);
  };

  // Advanced.
  auto& tray = form.Create<GroupBox>(advanced, kGroupTray, layout::GroupBounds(8, 68), "System Tray");
  form.Create<CheckBox>(tray, kTrayTip, layout::RowBounds(0), "Show system tray.").OnClick = forward;
  form.Create<CheckBox>(tray, kBalloonTip, layout::RowBounds(1), "Show balloons in the system tray. ").OnClick =
      forward;
}

void TaskBarPage::Adapt(ui::PageContext& ctx, int version_class) {
  if (version_class > 5) {
    ctx.Find<CheckBox>(kShow).Hide();
  } else if (version_class < 5) {
    ctx.Find<CheckBox>(kShowButton).SetEnabled(false);
    ctx.Find<GroupBox>(kGroupGrouping).Hide();
  }
}

void TaskBarPage::Load(ui::PageContext& ctx) {
  LoadTaskbarFlashing(ctx);
  LoadTaskbarButtonAppearance(ctx);
  LoadTaskbarMinimizedWindows(ctx);
  LoadTaskbarAdvanced(ctx);
}

// A refused query leaves its controls as the form defines them.
void TaskBarPage::LoadTaskbarFlashing(ui::PageContext& ctx) {
  platform::SystemParameters& spi = ctx.Platform().spi();
  if (const auto time_out = QueryNumber(spi, SPI_GETFOREGROUNDLOCKTIMEOUT)) {
    ctx.Find<CheckBox>(kActive).SetChecked(*time_out > 0);
    if (*time_out == 0) SetEnabled(ctx, kFlashControls, false);
  }
  if (const auto count = QueryNumber(spi, SPI_GETFOREGROUNDFLASHCOUNT)) {
    if (*count == 0) {
      ctx.Find<RadioButton>(kClick).SetChecked(true);
      SetEnabled(ctx, {kSpeed, kSpeedUpDown}, false);
    } else {
      ctx.Find<RadioButton>(kFlash).SetChecked(true);
      ctx.Find<UpDown>(kSpeedUpDown).SetPosition(static_cast<int>(*count & 0xFFFF));
    }
  }
}

// Each step may overrule the enabled states an earlier one set.
void TaskBarPage::LoadTaskbarButtonAppearance(ui::PageContext& ctx) {
  TCorvanel& queue = ctx.Queue();
  if (ctx.VersionClass() > 5) {
    Guarded([&] {
      const auto metrics = QueryMinimizedMetrics(ctx.Platform().spi());
      if (!metrics) return;
      const bool hidden = metrics->arrange >= ARW_HIDE;
      ctx.Find<CheckBox>(kShow).SetChecked(hidden);
      SetEnabled(ctx, {kShowButton, kClassification}, hidden);
      const bool grouped = hidden && ctx.Find<CheckBox>(kClassification).Checked();
      SetEnabled(ctx, kGroupRadios, grouped);
      SetEnabled(ctx, kCountField, grouped);
    });
  }
  Guarded([&] {
    const TRegRecor r = Read(queue, HKCU, kAdvancedKey, "TaskbarAnimations");
    if (r.Status == engine::kStatusFound) ctx.Find<CheckBox>(kShowButton).SetChecked(NotZero(r.Value));
  });
  Guarded([&] {
    const TRegRecor r = Read(queue, HKCU, kAdvancedKey, "TaskbarGlomming");
    const bool grouped = r.Status != engine::kStatusFound || NotZero(r.Value);
    ctx.Find<CheckBox>(kClassification).SetChecked(grouped);
    SetEnabled(ctx, kGroupRadios, grouped);
    if (!grouped) SetEnabled(ctx, kCountField, false);
  });
  Guarded([&] {
    const TRegRecor r = Read(queue, HKCU, kAdvancedKey, "TaskbarGroupSize");
    std::int32_t size = 0;
    if (r.Status == engine::kStatusFound) {
      const auto n = AsNumber(r.Value);
      // No number to group by: the radios stay as they are.
      if (!n) return;
      size = *n;
    }
    const char* radio = size == 0 ? kProgram : size == 1 ? kWindows : kAtLeast;
    ctx.Find<RadioButton>(radio).SetChecked(true);
    if (radio == kAtLeast) ctx.Find<UpDown>(kCountUpDown).SetPosition(size);
    SetEnabled(ctx, kCountField, radio == kAtLeast);
  });
}

void TaskBarPage::LoadTaskbarMinimizedWindows(ui::PageContext& ctx) {
  if (const auto metrics = QueryMinimizedMetrics(ctx.Platform().spi())) {
    const MinimizedLists lists = ListsOf(metrics->arrange);
    ctx.Find<ComboBox>(kArrangement).SetItemIndex(lists.arrangement);
    ctx.Find<ComboBox>(kLeft).SetItemIndex(lists.left);
    ctx.Find<ComboBox>(kTop).SetItemIndex(lists.top);
  }
}

void TaskBarPage::LoadTaskbarAdvanced(ui::PageContext& ctx) {
  TCorvanel& queue = ctx.Queue();
  Guarded([&] {
    const TRegRecor r = Read(queue, HKCU, kPoliciesKey, "NoTrayItemsDisplay");
    const bool hidden = r.Status == engine::kStatusFound && TrayHidden(r);
    ctx.Find<CheckBox>(kTrayTip).SetChecked(!hidden);
    if (hidden) ctx.Find<CheckBox>(kBalloonTip).SetEnabled(false);
  });
  Guarded([&] {
    const TRegRecor r = Read(queue, HKCU, kAdvancedKey, "EnableBalloonTips");
    ctx.Find<CheckBox>(kBalloonTip).SetChecked(r.Status != engine::kStatusFound || NotZero(r.Value));
  });
}

void TaskBarPage::ChangeFlashCount(ui::PageContext& ctx) {
  const bool until_click = ctx.Find<RadioButton>(kClick).Checked();
  const auto count = until_click ? 0u : static_cast<std::uint32_t>(ctx.Find<UpDown>(kSpeedUpDown).Position());
  SetEnabled(ctx, {kSpeed, kSpeedUpDown}, !until_click);
  ctx.Queue().AddRecord(engine::SpiRecord(kClick, SPI_SETFOREGROUNDFLASHCOUNT, 0, count, SPIF_UPDATEINIFILE));
}

// A metrics block is only ever built from a real reading: without one nothing is queued.
void TaskBarPage::ChangeHideBit(ui::PageContext& ctx) {
  const bool show = ctx.Find<CheckBox>(kShow).Checked();
  SetEnabled(ctx, {kShowButton, kClassification}, show);
  SetEnabled(ctx, kCountField, show);
  SetEnabled(ctx, kGroupRadios, show && ctx.Find<CheckBox>(kClassification).Checked());
  auto metrics = LatestMinimizedMetrics(ctx.Queue(), ctx.Platform().spi());
  if (!metrics || (metrics->arrange >= ARW_HIDE) == show) return;
  metrics->arrange += show ? ARW_HIDE : -ARW_HIDE;
  ctx.Queue().AddRecord(MinimizedMetricsRecord(kShow, *metrics, false));
  ctx.Requests().RestartNeeded = true;
}

void TaskBarPage::ChangeGrouping(ui::PageContext& ctx, const Component& sender) {
  const bool at_least = ctx.Find<RadioButton>(kAtLeast).Checked();
  std::int32_t size = 0;
  if (at_least) {
    size = ctx.Find<UpDown>(kCountUpDown).Position();
  } else if (ctx.Find<RadioButton>(kWindows).Checked()) {
    size = 1;
  }
  if (sender.Name() != kCountUpDown) SetEnabled(ctx, kCountField, at_least);
  ctx.Queue().AddRecord(IntegerRecord(kProgram, HKCU, kAdvancedKey, "TaskbarGroupSize", size));
  ctx.Requests().RestartNeeded = true;
}

void TaskBarPage::ChangeArrangement(ui::PageContext& ctx) {
  auto metrics = LatestMinimizedMetrics(ctx.Queue(), ctx.Platform().spi());
  if (!metrics) return;
  const MinimizedLists lists = {ctx.Find<ComboBox>(kLeft).ItemIndex(), ctx.Find<ComboBox>(kTop).ItemIndex(),
                                ctx.Find<ComboBox>(kArrangement).ItemIndex()};
  metrics->arrange = ArrangeOf(lists, metrics->arrange);
  ctx.Queue().AddRecord(MinimizedMetricsRecord(kArrangement, *metrics, true));
  ctx.Requests().RestartNeeded = true;
}

void TaskBarPage::ChangeTray(ui::PageContext& ctx) {
  const bool shown = ctx.Find<CheckBox>(kTrayTip).Checked();
  TRegRecor latest = engine::ReadRecord(HKCU, kPoliciesKey, "NoTrayItemsDisplay");
  ctx.Queue().ReadLatest(latest);
  ctx.Queue().AddRecord(TrayRecord(latest, !shown));
  ctx.Find<CheckBox>(kBalloonTip).SetEnabled(shown);
  ctx.Requests().RestartNeeded = true;
}

void TaskBarPage::Change(ui::PageContext& ctx, Component& sender) {
  const std::string_view name = sender.Name();
  TCorvanel& queue = ctx.Queue();
  const auto checked = [&] { return ctx.Find<CheckBox>(name).Checked(); };
  if (name == kActive) {
    const bool on = checked();
    SetEnabled(ctx, kFlashControls, on);
    queue.AddRecord(
        engine::SpiRecord(kActive, SPI_SETFOREGROUNDLOCKTIMEOUT, 0, on ? kFlashingTimeOut : 0u, SPIF_UPDATEINIFILE));
  } else if (name == kClick || name == kFlash || name == kSpeedUpDown) {
    ChangeFlashCount(ctx);
  } else if (name == kShow) {
    ChangeHideBit(ctx);
  } else if (name == kShowButton) {
    queue.AddRecord(FlagRecord(kShowButton, HKCU, kAdvancedKey, "TaskbarAnimations", checked()));
    ctx.Requests().RestartNeeded = true;
  } else if (name == kClassification) {
    const bool on = checked();
    SetEnabled(ctx, kGroupRadios, on);
    SetEnabled(ctx, kCountField, on);
    queue.AddRecord(FlagRecord(kClassification, HKCU, kAdvancedKey, "TaskbarGlomming", on));
    ctx.Requests().RestartNeeded = true;
  } else if (name == kProgram || name == kWindows || name == kAtLeast || name == kCountUpDown) {
    ChangeGrouping(ctx, sender);
  } else if (name == kLeft || name == kTop || name == kArrangement) {
    ChangeArrangement(ctx);
  } else if (name == kTrayTip) {
    ChangeTray(ctx);
  } else if (name == kBalloonTip) {
    queue.AddRecord(FlagRecord(kBalloonTip, HKCU, kAdvancedKey, "EnableBalloonTips", checked()));
    ctx.Requests().RestartNeeded = true;
  }
  // The idle-time field (its up-down as sender) has no setting of its own.
}

}  // namespace

std::unique_ptr<ui::PageModule> CreateTaskBarPage() { return std::make_unique<TaskBarPage>(); }

}  // namespace corvanel::pages
