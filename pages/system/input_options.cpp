// The Input Options page. The mouse settings are system parameters, queued as records of
// Kind 1; the keyboard settings are values under HKCU.
#include "pages/system/input_options.h"

#include <algorithm>
#include <functional>
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
using forms::Component;
using forms::Control;
using forms::Edit;
using forms::GroupBox;
using forms::Label;
using forms::PageControl;
using forms::RadioButton;
using forms::Rect;
using forms::TabSheet;
using forms::TrackBar;
using forms::UpDown;
using platform::HKCU;

constexpr int kTag = 4;

// SystemParametersInfoW actions and GetSystemMetrics indexes of this page.
constexpr std::uint32_t SPI_SETDOUBLECLKWIDTH = 0x001D, SPI_SETDOUBLECLKHEIGHT = 0x001E;
constexpr std::uint32_t SPI_SETMOUSEBUTTONSWAP = 0x0021;
constexpr std::uint32_t SPI_SETDRAGWIDTH = 0x004C, SPI_SETDRAGHEIGHT = 0x004D;
constexpr std::uint32_t SPI_GETSNAPTODEFBUTTON = 0x005F, SPI_SETSNAPTODEFBUTTON = 0x0060;
constexpr std::uint32_t SPI_GETMOUSEHOVERWIDTH = 0x0062, SPI_SETMOUSEHOVERWIDTH = 0x0063;
constexpr std::uint32_t SPI_SETMOUSEHOVERHEIGHT = 0x0065;
constexpr std::uint32_t SPI_GETMOUSEHOVERTIME = 0x0066, SPI_SETMOUSEHOVERTIME = 0x0067;
constexpr std::uint32_t SPI_GETWHEELSCROLLLINES = 0x0068, SPI_SETWHEELSCROLLLINES = 0x0069;
constexpr std::uint32_t SPIF_UPDATEINIFILE = 1;
constexpr std::uint32_t WHEEL_PAGESCROLL = 0xFFFFFFFF;
constexpr int SM_SWAPBUTTON = 23;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXDRAG = 68;

// --- names -------------------------------------------------------------------------

constexpr const char* kPageControl = "PageControl2";

constexpr const char* kSwap = "Checkbox_Use_MouseFunction_ChangeKey_Change";
constexpr const char* kRollAScreen = "Radio_Use_MouseFunction_Wheel_RollAScreen";
constexpr const char* kRollRow = "Radio_Use_MouseFunction_Wheel_RollRow";
constexpr const char* kNotRolling = "Radio_Use_MouseFunction_Wheel_NotRolling";
constexpr const char* kWheelEdit = "Edit_Use_MouseFunction_Wheel_Count";
constexpr const char* kWheelUpDown = "UpDown_Use_MouseFunction_Wheel_Count";
constexpr const char* kAutoMove = "Checkbox_Use_MouseFunction_Wheel_AutoMove";

constexpr const char* kDoubleClick = "Updown_Use_MouseSensitivity_DoubleClickError";
constexpr const char* kDrag = "UpDown_Use_MouseSensitivity_Drag";
constexpr const char* kHoverMove = "UpDown_Use_MouseSensitivity_Hover_MoveError";
constexpr const char* kHoverTime = "UpDown_Use_MouseSensitivity_Hover_Time";

constexpr const char* kBlinkActive = "Checkbox_Use_Keyboard_BlinkingCursor_Active";
constexpr const char* kBlinkSpeed = "TrackBar_Use_Keyboard_BlinkingCursor_Speed";
constexpr const char* kCaretUpDown = "UpDown_Use_Keyboard_CursorWidth_Width";
constexpr const char* kWinKey = "Checkbox_Use_Keyboard_WinKey_Active";

// --- locations ---------------------------------------------------------------------

constexpr const char* kDesktopKey = "\\Control Panel\\Desktop\\";
constexpr const char* kPoliciesKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";

// --- the blink rate ----------------------------------------------------------------

// The track bar runs from slow (0, 2500 ms) to fast (2500, 0 ms).
constexpr int kBlinkSlowest = 2500;
constexpr int kBlinkDesign = 2000;

std::string BlinkRateText(int position) { return std::to_string(kBlinkSlowest - position); }

// The track-bar position a stored rate gives. A rate above the slowest shows the design
// position; a negative one is beyond the fast end (computed wide: the stored number may be
// anything a 32-bit value holds).
int BlinkPosition(std::int32_t rate) {
  if (rate > kBlinkSlowest) return kBlinkDesign;
  return static_cast<int>(std::min<std::int64_t>(kBlinkSlowest - static_cast<std::int64_t>(rate), kBlinkSlowest));
}

// --- the numeric fields of the sensitivity tab -------------------------------------

struct SensitivityRow {
  const char* updown;
  const char* edit;
  const char* label;
  const char* caption;
  const char* unit_label;
  const char* unit;
  std::uint32_t write;         // the first record's action
  std::uint32_t second_write;  // the second record's ("...1"), 0 for none
  int factor;                  // the system keeps the whole rectangle, the page shows half of it
  int default_position;
};

const SensitivityRow kSensitivity[] = {
    {kDoubleClick, "Edit_Use_MouseSensitivity_DoubleClickError", "Label_Use_MouseSensitivity_DoubleClickError",
     "Double clicking tolerance:", "Label_Use_MouseSensitivity_DoubleClickError_Pixel", "Pixel.",
     SPI_SETDOUBLECLKHEIGHT, SPI_SETDOUBLECLKWIDTH, 2, 2},
    {kDrag, "Edit_Use_MouseSensitivity_Drag", "Label_Use_MouseSensitivity_Drag", "Dragging threshold:",
     "Label_Use_MouseSensitivity_Drag_Pixel", "Pixel.", SPI_SETDRAGHEIGHT, SPI_SETDRAGWIDTH, 1, 4},
    {kHoverMove, "Edit_Use_MouseSensitivity_Hover_MoveError", "Label_Use_MouseSensitivity_Hover_MoveError",
     "Movement tolerance:", "Label_Use_MouseSensitivity_Hover_MoveError_Pixel", "Pixel.", SPI_SETMOUSEHOVERHEIGHT,
     SPI_SETMOUSEHOVERWIDTH, 2, 2},
    {kHoverTime, "Edit_Use_MouseSensitivity_Hover_Time", "Label_Use_MouseSensitivity_Hover_Time", "Hover time:",
     "Label_Use_MouseSensitivity_Hover_Time_ms", "ms.", SPI_SETMOUSEHOVERTIME, 0, 1, 400},
};

TRegRecor SpiUiRecord(std::string name, std::uint32_t action, std::uint32_t ui_param) {
  return engine::SpiRecord(std::move(name), action, ui_param, std::uint32_t{0}, SPIF_UPDATEINIFILE);
}

// A 32-bit answer in pvParam; nullopt when the system refuses the query.
std::optional<std::uint32_t> QueryUint(platform::SystemParameters& spi, std::uint32_t action) {
  std::uint32_t result = 0;
  if (!spi.Spi(action, 0, &result, 0)) return std::nullopt;
  return result;
}

// --- layout ------------------------------------------------------------------------

using layout::kEditHeight;
using layout::kLabelHeight;
using layout::kRowLeft;
using layout::RowBounds;
using layout::RowTop;
constexpr Rect kDefaultButton = layout::SheetButtonBounds(0, 1);
constexpr int kOneRowGroup = layout::RowTop(1) + 4;
// A numeric field line: caption, edit, up-down, unit; `top` is the edit's.
constexpr int kFieldCaptionWidth = 150;
constexpr int kFieldEditLeft = kRowLeft + kFieldCaptionWidth + 8;
constexpr int kFieldEditWidth = 44;
constexpr int kUpDownWidth = 17;
constexpr int kFieldLineStep = 28;

// ---------------------------------------------------------------------------------

class InputOptionsPage : public ui::PageModule {
 public:
  int Tag() const override { return kTag; }

  void Build(ui::PageContext& ctx) override {
    ui::PageContext* c = &ctx;
    forward_ = ctx.Forwarder();
    auto& pages = ctx.Form().Create<PageControl>(ctx.Page(), kPageControl, layout::kPageControl);
    auto& function = ctx.Form().Create<TabSheet>(pages, "TabSheet_Use_MouseFunction", Rect{}, "Mouse Functions");
    auto& sensitivity =
        ctx.Form().Create<TabSheet>(pages, "TabSheet_Use_MouseSensitivity", Rect{}, "Mouse Sensitivity");
    auto& unused = ctx.Form().Create<TabSheet>(pages, "TabSheet11", Rect{}, "TabSheet11");
    auto& keyboard = ctx.Form().Create<TabSheet>(pages, "TabSheet_Use_Keyboard", Rect{}, "Keyboard");

    // Mouse Functions.
    int top = layout::kFirstGroupTop;
    auto& swap = Group(ctx, function, "GroupBox_Use_MouseFunction_ChangeKey", top, kOneRowGroup, "Swap Mouse Buttons");
    Box(ctx, swap, kSwap, RowBounds(0), "Swap right and left mouse buttons");
    top = layout::GroupBelow(top, kOneRowGroup);
    constexpr int kWheelHeight = layout::RowTop(3) + 4;
    auto& wheel = Group(ctx, function, "GroupBox_Use_MouseFunction_Wheel", top, kWheelHeight, "Scroll wheel");
    Radio(ctx, wheel, kRollAScreen, RowBounds(0), "Scroll one screen page");
    // The count sits on the "Scroll by" row, the edit's frame a little taller than the row.
    constexpr int kCountTop = layout::RowTop(1) - 2;
    auto& by = Put<RadioButton>(ctx, wheel, kRollRow, {kRowLeft, RowTop(1), 70, layout::kRowHeight}, "Scroll by");
    by.SetChecked(true);
    by.OnClick = forward_;
    Put<Edit>(ctx, wheel, kWheelEdit, {88, kCountTop, 40, kEditHeight});
    Put<UpDown>(ctx, wheel, kWheelUpDown, {128, kCountTop, kUpDownWidth, kEditHeight});
    Put<Label>(ctx, wheel, "Label_Use_MouseFunction_Wheel_Lines", {152, RowTop(1) + 2, 60, kLabelHeight}, "Lines.");
    Radio(ctx, wheel, kNotRolling, RowBounds(2), "No Scroll");
    top = layout::GroupBelow(top, kWheelHeight);
    auto& snap =
        Group(ctx, function, "GroupBox_Use_MouseFunction_AutoMove", top, kOneRowGroup, "Set Pointer Automatically");
    Box(ctx, snap, kAutoMove, RowBounds(0), "Move the mouse pointer to default position automatically.");
    DefaultButton(ctx, function, "Button_Use_MouseFunction_Default", [this, c] { MouseFunctionDefaults(*c); });

    // Mouse Sensitivity: two fields in each group.
    constexpr int kFieldGroupHeight = 20 + kFieldLineStep + kEditHeight + 10;
    auto& click = Group(ctx, sensitivity, "GroupBox_Use_MouseSensitivity_DoubleClick", layout::kFirstGroupTop,
                        kFieldGroupHeight, "Double Clicking and Dragging");
    auto& hover = Group(ctx, sensitivity, "GroupBox_Use_MouseSensitivity_Hover",
                        layout::GroupBelow(layout::kFirstGroupTop, kFieldGroupHeight), kFieldGroupHeight,
                        "Hover effect");
    int line = 0;
    for (const SensitivityRow& row : kSensitivity) {
      Field(ctx, line < 2 ? click : hover, row, 20 + (line % 2) * kFieldLineStep);
      ++line;
    }
    DefaultButton(ctx, sensitivity, "Button_Use_MouseSensitivity_Default", [this, c] { SensitivityDefaults(*c); });

    // The unused sheet: its tab is hidden and nothing on it works.
    unused.SetTabVisible(false);
    Put<Edit>(ctx, unused, "MaskEdit6", {kRowLeft, 12, 50, kEditHeight}).SetEnabled(false);
    Put<UpDown>(ctx, unused, "UpDowndelay", {kRowLeft + 50, 12, kUpDownWidth, kEditHeight}).SetEnabled(false);

    // Keyboard.
    constexpr int kBlinkHeight = 20 + 22 + 30 + 8;
    auto& blink = Group(ctx, keyboard, "GroupBox_Use_Keyboard_BlinkingCursor", layout::kFirstGroupTop, kBlinkHeight,
                        "Flashing Cursor");
    Box(ctx, blink, kBlinkActive, RowBounds(0), "Activating flashing cursor.");
    Put<Label>(ctx, blink, "Label_Use_Keyboard_BlinkingCursor_Slow", {kRowLeft, 50, 30, kLabelHeight}, "Slow");
    auto& speed = Put<TrackBar>(ctx, blink, kBlinkSpeed, {48, 42, 330, 30});
    speed.SetRange(0, kBlinkSlowest);
    speed.SetFrequency(250);
    speed.SetPageSize(100);
    speed.SetPosition(kBlinkDesign);
    speed.OnChange = forward_;
    Put<Label>(ctx, blink, "Label_Use_Keyboard_BlinkingCursor_Fast", {384, 50, 31, kLabelHeight}, "Fast");
    top = layout::GroupBelow(layout::kFirstGroupTop, kBlinkHeight);
    constexpr int kWidthHeight = 20 + kEditHeight + 10;
    auto& width = Group(ctx, keyboard, "GroupBox_Use_Keyboard_CursorWidth", top, kWidthHeight, "Cursor width");
    Put<Label>(ctx, width, "Label_Use_Keyboard_CursorWidth_Width", {kRowLeft, 24, 100, kLabelHeight},
               "Cursor Width:");
    Put<Edit>(ctx, width, "Edit_Use_Keyboard_CursorWidth_Width", {120, 20, 40, kEditHeight});
    Put<UpDown>(ctx, width, kCaretUpDown, {160, 20, kUpDownWidth, kEditHeight});
    Put<Label>(ctx, width, "Label_Use_Keyboard_CursorWidth_Pixel", {184, 24, 60, kLabelHeight}, "Pixel.");
    top = layout::GroupBelow(top, kWidthHeight);
    constexpr int kWinKeyHeight = 20 + layout::kTwoLineRowHeight + 8;
    auto& winkey = Group(ctx, keyboard, "GroupBox_Use_Keyboard_WinKey", top, kWinKeyHeight, "Windows Key");
    Box(ctx, winkey, kWinKey, RowBounds(0, layout::kTwoLineRowHeight),
        "Activate key combinations with Windows key (Such as Windows+M or Windows+E).");
    DefaultButton(ctx, keyboard, "Button_Use_Keyboard_WinKey_Default", [this, c] { KeyboardDefaults(*c); });

    pages.SetActivePageIndex(0);
  }

  void Load(ui::PageContext& ctx) override {
    LoadInputMouseFunction(ctx);
    LoadInputMouseSensitivity(ctx);
    LoadInputKeyboard(ctx);
  }

  void Change(ui::PageContext& ctx, Component& sender) override {
    const std::string& name = sender.Name();
    TCorvanel& queue = ctx.Queue();
    if (name == kSwap) {
      queue.AddRecord(SpiUiRecord(kSwap, SPI_SETMOUSEBUTTONSWAP, Checked(ctx, kSwap) ? 1 : 0));
    } else if (name == kRollAScreen || name == kRollRow || name == kNotRolling || name == kWheelUpDown) {
      ChangeWheel(ctx);
    } else if (name == kAutoMove) {
      queue.AddRecord(SpiUiRecord(kAutoMove, SPI_SETSNAPTODEFBUTTON, Checked(ctx, kAutoMove) ? 1 : 0));
    } else if (const SensitivityRow* row = RowNamed(kSensitivity, name, &SensitivityRow::updown)) {
      const auto value = static_cast<std::uint32_t>(row->factor * ctx.Find<UpDown>(row->updown).Position());
      queue.AddRecord(SpiUiRecord(row->updown, row->write, value));
      if (row->second_write != 0) {
        queue.AddRecord(SpiUiRecord(std::string(row->updown) + "1", row->second_write, value));
      }
    } else if (name == kBlinkActive) {
      const bool on = Checked(ctx, kBlinkActive);
      auto& speed = ctx.Find<TrackBar>(kBlinkSpeed);
      speed.SetEnabled(on);
      queue.AddRecord(StringRecord(kBlinkActive, HKCU, kDesktopKey, "CursorBlinkRate",
                                   on ? BlinkRateText(speed.Position()) : "-1"));
      ctx.Requests().RestartNeeded = true;
    } else if (name == kBlinkSpeed) {
      // While flashing is switched off the box's "-1" is the choice; the speed goes out
      // with the box's own record once it is checked again. Otherwise a Default press,
      // which clears the box and then moves the bar, would turn flashing back on.
      if (!Checked(ctx, kBlinkActive)) return;
      queue.AddRecord(StringRecord(kBlinkSpeed, HKCU, kDesktopKey, "CursorBlinkRate",
                                   BlinkRateText(ctx.Find<TrackBar>(kBlinkSpeed).Position())));
      ctx.Requests().RestartNeeded = true;
    } else if (name == kCaretUpDown) {
      queue.AddRecord(IntegerRecord(kCaretUpDown, HKCU, kDesktopKey, "CaretWidth",
                                    ctx.Find<UpDown>(kCaretUpDown).Position()));
      ctx.Requests().RestartNeeded = true;
    } else if (name == kWinKey) {
      if (Checked(ctx, kWinKey)) {
        queue.AddRecord(engine::DeleteValueRecord(kWinKey, HKCU, kPoliciesKey, "NoWinKeys"));
      } else {
        queue.AddRecord(IntegerRecord(kWinKey, HKCU, kPoliciesKey, "NoWinKeys", 1));
      }
      ctx.Requests().RestartNeeded = true;
    }
  }

 private:
  // --- building ---

  template <class T>
  T& Put(ui::PageContext& ctx, Control& parent, const char* name, Rect bounds, std::string caption = {}) {
    return ctx.Form().Create<T>(parent, name, bounds, std::move(caption));
  }

  GroupBox& Group(ui::PageContext& ctx, TabSheet& sheet, const char* name, int top, int height, const char* caption) {
    return Put<GroupBox>(ctx, sheet, name, layout::GroupBounds(top, height), caption);
  }

  void Box(ui::PageContext& ctx, Control& group, const char* name, Rect bounds, const char* caption) {
    Put<CheckBox>(ctx, group, name, bounds, caption).OnClick = forward_;
  }

  void Radio(ui::PageContext& ctx, Control& group, const char* name, Rect bounds, const char* caption) {
    Put<RadioButton>(ctx, group, name, bounds, caption).OnClick = forward_;
  }

  // The edit and up-down only: their range, design number and events come from the
  // window's numeric fields.
  void Field(ui::PageContext& ctx, Control& group, const SensitivityRow& row, int top) {
    Put<Label>(ctx, group, row.label, {kRowLeft, top + 4, kFieldCaptionWidth, kLabelHeight}, row.caption);
    Put<Edit>(ctx, group, row.edit, {kFieldEditLeft, top, kFieldEditWidth, kEditHeight});
    Put<UpDown>(ctx, group, row.updown, {kFieldEditLeft + kFieldEditWidth, top, kUpDownWidth, kEditHeight});
    Put<Label>(ctx, group, row.unit_label,
               {kFieldEditLeft + kFieldEditWidth + kUpDownWidth + 8, top + 4, 60, kLabelHeight}, row.unit);
  }

  void DefaultButton(ui::PageContext& ctx, TabSheet& sheet, const char* name, std::function<void()> click) {
    Put<Button>(ctx, sheet, name, kDefaultButton, "Default Settings").OnClick =
        [click = std::move(click)](Component&) { click(); };
  }

  static bool Checked(ui::PageContext& ctx, const char* box) { return ctx.Find<CheckBox>(box).Checked(); }

  // --- loading ---

  // A refused query leaves its controls as the form defines them.
  static void LoadInputMouseFunction(ui::PageContext& ctx) {
    platform::SystemParameters& spi = ctx.Platform().spi();
    ctx.Find<CheckBox>(kSwap).SetChecked(spi.Metrics(SM_SWAPBUTTON) != 0);
    if (const auto lines = QueryUint(spi, SPI_GETWHEELSCROLLLINES)) {
      EnableCount(ctx, false);
      if (*lines == 0) {
        ctx.Find<RadioButton>(kNotRolling).SetChecked(true);
      } else if (*lines == WHEEL_PAGESCROLL) {
        ctx.Find<RadioButton>(kRollAScreen).SetChecked(true);
      } else {
        EnableCount(ctx, true);
        ctx.Find<RadioButton>(kRollRow).SetChecked(true);
        ctx.Find<UpDown>(kWheelUpDown).SetPosition(static_cast<int>(*lines & 0xFFFF));
      }
    }
    if (const auto snap = QueryUint(spi, SPI_GETSNAPTODEFBUTTON)) ctx.Find<CheckBox>(kAutoMove).SetChecked(*snap != 0);
  }

  static void LoadInputMouseSensitivity(ui::PageContext& ctx) {
    platform::SystemParameters& spi = ctx.Platform().spi();
    ctx.Find<UpDown>(kDoubleClick).SetPosition(spi.Metrics(SM_CYDOUBLECLK) / 2);
    ctx.Find<UpDown>(kDrag).SetPosition(spi.Metrics(SM_CXDRAG));
    if (const auto width = QueryUint(spi, SPI_GETMOUSEHOVERWIDTH)) {
      ctx.Find<UpDown>(kHoverMove).SetPosition(static_cast<int>(*width / 2));
    }
    if (const auto time = QueryUint(spi, SPI_GETMOUSEHOVERTIME)) {
      ctx.Find<UpDown>(kHoverTime).SetPosition(static_cast<int>(*time & 0xFFFF));
    }
  }

  static void LoadInputKeyboard(ui::PageContext& ctx) {
    TCorvanel& q = ctx.Queue();
    Guarded([&] {
      auto& active = ctx.Find<CheckBox>(kBlinkActive);
      const TRegRecor r = Read(q, HKCU, kDesktopKey, "CursorBlinkRate");
      if (r.Status != engine::kStatusFound) {
        active.SetChecked(true);
        return;
      }
      if (r.Value.IsText() && (r.Value.AsText() == "-1" || r.Value.AsText() == "9999999")) {
        active.SetChecked(false);
        ctx.Find<TrackBar>(kBlinkSpeed).SetEnabled(false);
        return;
      }
      active.SetChecked(true);
      // A text that is no number gives no position: the bar keeps its design one.
      if (const auto rate = AsNumber(r.Value)) ctx.Find<TrackBar>(kBlinkSpeed).SetPosition(BlinkPosition(*rate));
    });
    Guarded([&] {
      if (const auto width = ReadNumber(q, HKCU, kDesktopKey, "CaretWidth")) {
        ctx.Find<UpDown>(kCaretUpDown).SetPosition(*width);
      }
    });
    Guarded([&] {
      // Any value but 0 switches the keys off; a policy set to Disabled stores 0.
      const RegFlag policy = {HKCU, kPoliciesKey, "NoWinKeys", FlagRead::kAnyButZero, true, kChecked};
      SetCheckedIf(ctx.Find<CheckBox>(kWinKey), ReadFlag(q, policy));
    });
  }

  // --- changes ---

  static void EnableCount(ui::PageContext& ctx, bool enabled) {
    ctx.Find<Edit>(kWheelEdit).SetEnabled(enabled);
    ctx.Find<UpDown>(kWheelUpDown).SetEnabled(enabled);
  }

  static void ChangeWheel(ui::PageContext& ctx) {
    std::uint32_t lines = 0;
    if (ctx.Find<RadioButton>(kNotRolling).Checked()) {
      EnableCount(ctx, false);
    } else if (ctx.Find<RadioButton>(kRollAScreen).Checked()) {
      lines = WHEEL_PAGESCROLL;
      EnableCount(ctx, false);
    } else {
      lines = static_cast<std::uint32_t>(ctx.Find<UpDown>(kWheelUpDown).Position());
      EnableCount(ctx, true);
    }
    ctx.Queue().AddRecord(SpiUiRecord(kNotRolling, SPI_SETWHEELSCROLLLINES, lines));
  }

  // --- Default buttons: states only; the controls' own events queue what changes ---

  static void MouseFunctionDefaults(ui::PageContext& ctx) {
    DefaultCheck(ctx.Find<CheckBox>(kSwap), kCleared);
    DefaultCheck(ctx.Find<CheckBox>(kAutoMove), kCleared);
    DefaultSelect(ctx.Find<RadioButton>(kRollRow));
    DefaultPosition(ctx.Find<UpDown>(kWheelUpDown), 3);
  }

  static void SensitivityDefaults(ui::PageContext& ctx) {
    for (const SensitivityRow& row : kSensitivity) DefaultPosition(ctx.Find<UpDown>(row.updown), row.default_position);
  }

  static void KeyboardDefaults(ui::PageContext& ctx) {
    DefaultCheck(ctx.Find<CheckBox>(kBlinkActive), kCleared);
    DefaultPosition(ctx.Find<UpDown>(kCaretUpDown), 1);
    DefaultCheck(ctx.Find<CheckBox>(kWinKey), kChecked);
    DefaultPosition(ctx.Find<TrackBar>(kBlinkSpeed), kBlinkDesign);
  }

  forms::NotifyEvent forward_;
};

}  // namespace

std::unique_ptr<ui::PageModule> CreateInputOptionsPage() { return std::make_unique<InputOptionsPage>(); }

}  // namespace corvanel::pages
