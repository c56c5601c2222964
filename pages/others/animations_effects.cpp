#include "pages/others/animations_effects.h"

#include <algorithm>
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
using forms::Control;
using forms::GroupBox;
using forms::Label;
using forms::Rect;
using forms::TabSheet;

constexpr int kTag = 1;

// SystemParametersInfoW actions of this page.
constexpr std::uint32_t SPI_SETDRAGFULLWINDOWS = 0x0025, SPI_GETDRAGFULLWINDOWS = 0x0026;
constexpr std::uint32_t SPI_GETANIMATION = 0x0048, SPI_SETANIMATION = 0x0049;
constexpr std::uint32_t SPI_GETFONTSMOOTHING = 0x004A, SPI_SETFONTSMOOTHING = 0x004B;
constexpr std::uint32_t SPI_GETMENUANIMATION = 0x1002, SPI_SETMENUANIMATION = 0x1003;
constexpr std::uint32_t SPI_GETCOMBOBOXANIMATION = 0x1004, SPI_SETCOMBOBOXANIMATION = 0x1005;
constexpr std::uint32_t SPI_GETLISTBOXSMOOTHSCROLLING = 0x1006, SPI_SETLISTBOXSMOOTHSCROLLING = 0x1007;
constexpr std::uint32_t SPI_GETGRADIENTCAPTIONS = 0x1008, SPI_SETGRADIENTCAPTIONS = 0x1009;
constexpr std::uint32_t SPI_GETKEYBOARDCUES = 0x100A, SPI_SETKEYBOARDCUES = 0x100B;
constexpr std::uint32_t SPI_GETHOTTRACKING = 0x100E, SPI_SETHOTTRACKING = 0x100F;
constexpr std::uint32_t SPI_GETMENUFADE = 0x1012, SPI_SETMENUFADE = 0x1013;
constexpr std::uint32_t SPI_GETSELECTIONFADE = 0x1014, SPI_SETSELECTIONFADE = 0x1015;
constexpr std::uint32_t SPI_GETTOOLTIPANIMATION = 0x1016, SPI_SETTOOLTIPANIMATION = 0x1017;
constexpr std::uint32_t SPI_GETTOOLTIPFADE = 0x1018, SPI_SETTOOLTIPFADE = 0x1019;
constexpr std::uint32_t SPI_GETCURSORSHADOW = 0x101A, SPI_SETCURSORSHADOW = 0x101B;
constexpr std::uint32_t SPI_GETFLATMENU = 0x1022, SPI_SETFLATMENU = 0x1023;
constexpr std::uint32_t SPI_GETDROPSHADOW = 0x1024, SPI_SETDROPSHADOW = 0x1025;
constexpr std::uint32_t SPI_GETFONTSMOOTHINGTYPE = 0x200A, SPI_SETFONTSMOOTHINGTYPE = 0x200B;
constexpr std::uint32_t SPIF_UPDATEINIFILE = 1;
constexpr std::uint32_t kAnimationInfoSize = 8;  // ANIMATIONINFO: cbSize, iMinAnimate
constexpr std::int32_t FE_FONTSMOOTHINGSTANDARD = 1;
constexpr std::int32_t FE_FONTSMOOTHINGCLEARTYPE = 2;

constexpr const char* kDesktopKey = "\\Control Panel\\Desktop\\";
constexpr const char* kExplorerKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";

// Controls and records named outside the row table.
constexpr const char* kToolTipType = "CB_Display_Animation_MessageAndAnimation_ToolTipType";
constexpr const char* kMenuType = "CB_Display_MenuAppearance_WindowsAndMessage_UseType";
constexpr const char* kSmoothType = "CB_Display_FontSmooth_SmoothType";
constexpr const char* kFontRecord = "CBfontset";
constexpr const char* kFontTypeRecord = "CBfontset1";

// How a check box reads its setting.
enum class ReadKind {
  kBool,          // SPI query into a BOOL
  kBoolAbove4,    // the same, only on a version class above 4
  kNumber,        // registry value compared as a number with 0
  kSmoothScroll,  // registry value that may be a string, bytes or a number
  kAnimation,     // SPI_GETANIMATION with an ANIMATIONINFO
};
// How a check box writes it.
enum class WriteKind {
  kSpiUi,      // uiParam 1/0
  kSpiPv,      // pvParam 1/0
  kRegistry,   // 1/0 in the type the value is stored in
  kAnimation,  // an owned ANIMATIONINFO block
};
// What a Default / preset button does to a box.
constexpr BoxState On = kChecked, Off = kCleared, Keep = kKeep;

struct FlagRow {
  const char* name;
  const char* caption;
  ReadKind read;
  WriteKind write;
  std::uint32_t get;    // SPI rows
  std::uint32_t set;
  const char* key;      // registry rows (HKCU)
  const char* value;
  bool restart;         // Apply offers a restart
  const char* governs;  // the combo box this box enables
  // Default / Best Performance / Best Appearance of the box's tab.
  std::array<BoxState, 3> preset;
};

constexpr FlagRow kRows[] = {
    // Effects tab, "Visual Effects Settings".
    {"CheckBox_Display_Effect_DisplayAndEffectSettings_Background", "Use a background image for each folder type.",
     ReadKind::kNumber, WriteKind::kRegistry, 0, 0, kExplorerKey, "ListviewWatermark", false, nullptr, {On, Off, On}},
    {"CheckBox_Display_Effect_DisplayAndEffectSettings_Drag", "Show window contents while dragging.", ReadKind::kBool,
     WriteKind::kSpiUi, SPI_GETDRAGFULLWINDOWS, SPI_SETDRAGFULLWINDOWS, nullptr, nullptr, false, nullptr, {On, Off, On}},
    {"CheckBox_Display_Effect_DisplayAndEffectSettings_Title", "Show color shading in title bar.", ReadKind::kBool,
     WriteKind::kSpiPv, SPI_GETGRADIENTCAPTIONS, SPI_SETGRADIENTCAPTIONS, nullptr, nullptr, false, nullptr, {On, Off, On}},
    {"CheckBox_Display_Effect_DisplayAndEffectSettings_CurSh", "Show mouse pointer shadow.", ReadKind::kBool,
     WriteKind::kSpiPv, SPI_GETCURSORSHADOW, SPI_SETCURSORSHADOW, nullptr, nullptr, false, nullptr, {On, Off, On}},
    {"CheckBox_Display_Effect_DisplayAndEffectSettings_Rect", "Display selection rectangle with color background.",
     ReadKind::kNumber, WriteKind::kRegistry, 0, 0, kExplorerKey, "ListviewAlphaSelect", false, nullptr, {On, Off, On}},
    {"CheckBox_Display_Effect_DisplayAndEffectSettings_DesktopShadow",
     "Use drop shadow for icon labels on the desktop.", ReadKind::kNumber, WriteKind::kRegistry, 0, 0, kExplorerKey,
     "ListviewShadow", false, nullptr, {On, Off, On}},
    // Effects tab, "Behavior Settings".
    {"Checkbox_Display_Effect_BehaviorSettings_Folder", "Show common tasks in folders.", ReadKind::kNumber,
     WriteKind::kRegistry, 0, 0, kExplorerKey, "WebView", true, nullptr, {On, On, On}},
    {"Checkbox_Display_Effect_BehaviorSettings_Keyboard", "Always show keyboard navigation indicators.", ReadKind::kBool,
     WriteKind::kSpiPv, SPI_GETKEYBOARDCUES, SPI_SETKEYBOARDCUES, nullptr, nullptr, false, nullptr, {Off, Off, Off}},
    {"Checkbox_Display_Effect_BehaviorSettings_ToolTip", "Show tooltips in the title bar buttons.", ReadKind::kBool,
     WriteKind::kSpiPv, SPI_GETHOTTRACKING, SPI_SETHOTTRACKING, nullptr, nullptr, true, nullptr, {On, On, Off}},
    {"Checkbox_Display_Effect_BehaviorSettings_DesktopWinVersion", "Show Windows version on desktop.", ReadKind::kNumber,
     WriteKind::kRegistry, 0, 0, kDesktopKey, "PaintDesktopVersion", true, nullptr, {Off, Off, Off}},
    // Animation tab.
    {"Checkbox_Display_Animation_MessageAndAnimation_MaxAndMin", "Animate windows when maximizing and minimizing.",
     ReadKind::kAnimation, WriteKind::kAnimation, SPI_GETANIMATION, SPI_SETANIMATION, nullptr, nullptr, false, nullptr,
     {On, Off, Keep}},
    {"Checkbox_Display_Animation_MessageAndAnimation_ToolTip", "Use following animation with tooltips:", ReadKind::kBool,
     WriteKind::kSpiPv, SPI_GETTOOLTIPANIMATION, SPI_SETTOOLTIPANIMATION, nullptr, nullptr, false, kToolTipType,
     {On, Off, Keep}},
    {"Checkbox_Display_Animation_DynamicElements_ListAndTree", "Animation list view and tree view.",
     ReadKind::kSmoothScroll, WriteKind::kRegistry, 0, 0, kDesktopKey, "SmoothScroll", false, nullptr, {On, Off, Keep}},
    {"Checkbox_Display_Animation_DynamicElements_ComboBox", "Slide open combo boxes.", ReadKind::kBool, WriteKind::kSpiPv,
     SPI_GETCOMBOBOXANIMATION, SPI_SETCOMBOBOXANIMATION, nullptr, nullptr, false, nullptr, {On, Off, Keep}},
    {"Checkbox_Display_Animation_DynamicElements_SmoothListBox", "Smooth-scroll list boxes.", ReadKind::kBool,
     WriteKind::kSpiPv, SPI_GETLISTBOXSMOOTHSCROLLING, SPI_SETLISTBOXSMOOTHSCROLLING, nullptr, nullptr, true, nullptr,
     {Off, Off, Keep}},
    // Menu Appearance tab.
    {"Checkbox_Display_MenuAppearance_WindowsAndMessage_Click", "Fade out menu items after clicking", ReadKind::kBool,
     WriteKind::kSpiPv, SPI_GETSELECTIONFADE, SPI_SETSELECTIONFADE, nullptr, nullptr, false, nullptr, {On, Off, Keep}},
    {"Checkbox_Display_MenuAppearance_WindowsAndMessage_UseType", "Use the following display effect:", ReadKind::kBool,
     WriteKind::kSpiPv, SPI_GETMENUANIMATION, SPI_SETMENUANIMATION, nullptr, nullptr, false, kMenuType, {On, Off, Keep}},
    {"Checkbox_Display_MenuAppearance_DynamicElements_GraphicMenu", "Show flat menus.", ReadKind::kBoolAbove4,
     WriteKind::kSpiPv, SPI_GETFLATMENU, SPI_SETFLATMENU, nullptr, nullptr, false, nullptr, {On, On, Keep}},
    {"Checkbox_Display_MenuAppearance_DynamicElements_MenuShadow", "Show shadows under menus.", ReadKind::kBoolAbove4,
     WriteKind::kSpiPv, SPI_GETDROPSHADOW, SPI_SETDROPSHADOW, nullptr, nullptr, false, nullptr, {On, Off, Keep}},
};

// The combo boxes that write one system parameter: pvParam 1 when an effect other than
// the first is chosen.
struct ListRow {
  const char* name;
  std::uint32_t get;
  std::uint32_t set;
};
constexpr ListRow kLists[] = {
    {kToolTipType, SPI_GETTOOLTIPFADE, SPI_SETTOOLTIPFADE},
    {kMenuType, SPI_GETMENUFADE, SPI_SETMENUFADE},
};

const FlagRow& Row(std::string_view name) {
  const FlagRow* row = RowNamed(kRows, name);
  if (row == nullptr) throw forms::ModelError("no setting row \"" + std::string(name) + "\"");
  return *row;
}

// The loader's SPI queries: uiParam 0, fWinIni 0, a 4-byte result. A refused query
// leaves its control as it is.
std::optional<std::int32_t> QueryInt(platform::SystemParameters& spi, std::uint32_t action) {
  std::int32_t result = 0;
  if (!spi.Spi(action, 0, &result, 0)) return std::nullopt;
  return result;
}

std::optional<bool> QueryBool(platform::SystemParameters& spi, std::uint32_t action) {
  const auto n = QueryInt(spi, action);
  if (!n) return std::nullopt;
  return *n != 0;
}

std::vector<std::uint8_t> AnimationInfo(std::int32_t min_animate) {
  std::vector<std::uint8_t> block(kAnimationInfoSize, 0);
  block[0] = static_cast<std::uint8_t>(kAnimationInfoSize);
  block[4] = static_cast<std::uint8_t>(min_animate);
  return block;
}

std::optional<bool> QueryMinAnimate(platform::SystemParameters& spi) {
  std::vector<std::uint8_t> block = AnimationInfo(0);
  if (!spi.Spi(SPI_GETANIMATION, kAnimationInfoSize, block.data(), 0)) return std::nullopt;
  return std::any_of(block.begin() + 4, block.end(), [](std::uint8_t b) { return b != 0; });
}

// SmoothScroll is found as a number, a text or bytes depending on who wrote it last. The
// page itself writes 1/0 in the stored type, so a "0" text or zero bytes read as off.
std::optional<bool> SmoothScrollOn(const TRegRecor& r) {
  if (r.Status != engine::kStatusFound) return std::nullopt;
  if (r.Value.IsInt()) return r.Value.AsInt() != 0;
  if (r.Value.IsText()) {
    if (const auto n = AsNumber(r.Value)) return *n != 0;
    return !r.Value.AsText().empty();
  }
  if (r.Value.IsBytes()) {
    const auto& bytes = r.Value.AsBytes();
    return std::any_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b != 0; });
  }
  return std::nullopt;
}

// A 1/0 write that keeps the type the value is stored in. Bytes get a little-endian
// number, not the digit's character, so the flag reads back as what was chosen. A value
// that does not exist yet, or is of a type these settings never have, is written as a
// DWORD, which is how Windows keeps them; otherwise the change would be dropped.
TRegRecor StoredTypeFlagRecord(TCorvanel& queue, const FlagRow& row, bool checked) {
  TRegRecor r = engine::ReadRecord(platform::HKCU, row.key, row.value);
  queue.ReadValue(r);
  r.Name = row.name;
  r.Kind = engine::kKindRegistry;
  r.Action = engine::kActionWrite;
  const std::int32_t n = checked ? 1 : 0;
  switch (r.DataType) {
    case engine::kTypeText:
    case engine::kTypeExpandText:
    case engine::kTypeNumber:
      r.Value = engine::MakeInt(n);
      break;
    case engine::kTypeBinary:
      r.Value = engine::MakeBytes({static_cast<std::uint8_t>(n), 0, 0, 0});
      break;
    default:
      r.DataType = engine::kTypeNumber;
      r.Value = engine::MakeInt(n);
      break;
  }
  return r;
}

TRegRecor FlagRowRecord(TCorvanel& queue, const FlagRow& row, bool checked) {
  const std::uint32_t flag = checked ? 1 : 0;
  switch (row.write) {
    case WriteKind::kSpiUi:
      return engine::SpiRecord(row.name, row.set, flag, std::uint32_t{0}, SPIF_UPDATEINIFILE);
    case WriteKind::kSpiPv:
      return engine::SpiRecord(row.name, row.set, 0, flag, SPIF_UPDATEINIFILE);
    case WriteKind::kAnimation:
      return engine::SpiRecord(row.name, row.set, kAnimationInfoSize, AnimationInfo(checked ? 1 : 0),
                               SPIF_UPDATEINIFILE);
    case WriteKind::kRegistry:
      break;
  }
  return StoredTypeFlagRecord(queue, row, checked);
}

// ---------------------------------------------------------------------------------
struct ListTab;

class AnimationsEffectsPage : public ui::PageModule {
 public:
  int Tag() const override { return kTag; }
  void Build(ui::PageContext& ctx) override;
  void Adapt(ui::PageContext& ctx, int version_class) override;
  void Load(ui::PageContext& ctx) override;
  void Change(ui::PageContext& ctx, forms::Component& sender) override;

 private:
  CheckBox& Box(ui::PageContext& ctx, std::string_view name) const { return ctx.Find<CheckBox>(name); }
  void ReadRow(ui::PageContext& ctx, const FlagRow& row);
  void ReadList(ui::PageContext& ctx, const ListRow& list);
  void ReadFontSmoothing(ui::PageContext& ctx);
  void ChangeFontSmoothing(ui::PageContext& ctx, const ComboBox& combo);
  // Sets the tab's boxes as preset `which` asks; their own clicks queue the changes.
  void ApplyPreset(ui::PageContext& ctx, const std::vector<const char*>& boxes, int which);
  TabSheet& BuildListTab(ui::PageContext& ctx, forms::PageControl& pages, const ListTab& tab);
};

GroupBox& MakeBox(forms::Form& form, Control& sheet, const char* name, const char* caption, int top, int height) {
  return form.Create<GroupBox>(sheet, name, layout::GroupBounds(top, height), caption);
}

void MakeRows(forms::Form& form, GroupBox& box, const std::vector<const char*>& names,
              const forms::NotifyEvent& forwarder) {
  int line = 0;
  for (const char* name : names) {
    const FlagRow& row = Row(name);
    form.Create<CheckBox>(box, row.name, layout::RowBounds(line++), row.caption).OnClick = forwarder;
  }
}

ComboBox& MakeList(forms::Form& form, Control& parent, const char* name, Rect bounds,
                   std::vector<std::string> items, const forms::NotifyEvent& forwarder) {
  auto& combo = form.Create<ComboBox>(parent, name, bounds);
  combo.SetItems(std::move(items));
  combo.SetItemIndex(0);
  combo.OnChange = forwarder;
  return combo;
}

// Buttons at the bottom right of a sheet, given from left to right.
void MakeButtons(forms::Form& form, Control& sheet, std::initializer_list<std::pair<const char*, const char*>> buttons,
                 std::initializer_list<forms::NotifyEvent> events) {
  const int count = static_cast<int>(buttons.size());
  int index = 0;
  auto event = events.begin();
  for (const auto& [name, caption] : buttons) {
    form.Create<Button>(sheet, name, layout::SheetButtonBounds(index++, count), caption).OnClick = *event++;
  }
}

const std::vector<const char*> kEffectBoxes = {
    "CheckBox_Display_Effect_DisplayAndEffectSettings_Background",
    "CheckBox_Display_Effect_DisplayAndEffectSettings_Drag",
    "CheckBox_Display_Effect_DisplayAndEffectSettings_Title",
    "CheckBox_Display_Effect_DisplayAndEffectSettings_CurSh",
    "CheckBox_Display_Effect_DisplayAndEffectSettings_Rect",
    "CheckBox_Display_Effect_DisplayAndEffectSettings_DesktopShadow",
    "Checkbox_Display_Effect_BehaviorSettings_Folder",
    "Checkbox_Display_Effect_BehaviorSettings_ToolTip",
    "Checkbox_Display_Effect_BehaviorSettings_DesktopWinVersion",
    "Checkbox_Display_Effect_BehaviorSettings_Keyboard",
};
const std::vector<const char*> kAnimationBoxes = {
    "Checkbox_Display_Animation_MessageAndAnimation_MaxAndMin",
    "Checkbox_Display_Animation_MessageAndAnimation_ToolTip",
    "Checkbox_Display_Animation_DynamicElements_ListAndTree",
    "Checkbox_Display_Animation_DynamicElements_ComboBox",
    "Checkbox_Display_Animation_DynamicElements_SmoothListBox",
};
const std::vector<const char*> kMenuBoxes = {
    "Checkbox_Display_MenuAppearance_WindowsAndMessage_Click",
    "Checkbox_Display_MenuAppearance_WindowsAndMessage_UseType",
    "Checkbox_Display_MenuAppearance_DynamicElements_GraphicMenu",
    "Checkbox_Display_MenuAppearance_DynamicElements_MenuShadow",
};

// The Animation and Menu Appearance tabs share one shape: a group whose second box
// switches an effect list below it, a group of further boxes, and Default (which also
// picks the fade effect) and Best Performance buttons.
struct ListTab {
  const char* sheet;
  const char* caption;
  const char* message_group;
  std::vector<const char*> message_boxes;
  const char* list;
  std::vector<std::string> effects;
  const char* elements_group;
  int elements_height;
  std::vector<const char*> element_boxes;
  const char* default_button;
  const char* performance_button;
  const std::vector<const char*>& preset_boxes;
};

const ListTab kAnimationTab = {
    "TabSheet_Display_Animation",
    "Animation",
    "GroupBox_Display_Animation_MessageAndAnimation",
    {"Checkbox_Display_Animation_MessageAndAnimation_MaxAndMin",
     "Checkbox_Display_Animation_MessageAndAnimation_ToolTip"},
    kToolTipType,
    {"Roll-up Effect", "Fade Effect"},
    "GroupBox_Display_Animation_DynamicElements",
    91,
    {"Checkbox_Display_Animation_DynamicElements_ListAndTree", "Checkbox_Display_Animation_DynamicElements_ComboBox",
     "Checkbox_Display_Animation_DynamicElements_SmoothListBox"},
    "Button_Display_Animation_Default",
    "Button_Display_Animation_HighestPerformance",
    kAnimationBoxes,
};

const ListTab kMenuTab = {
    "TabSheet_Display_MenuAppearance",
    "Menu Appearance",
    "GroupBox_Display_MenuAppearance_WindowsAndMessage",
    {"Checkbox_Display_MenuAppearance_WindowsAndMessage_Click",
     "Checkbox_Display_MenuAppearance_WindowsAndMessage_UseType"},
    kMenuType,
    {"Scroll Effect", "Fade Effect"},
    "GroupBox_Display_MenuAppearance_DynamicElements",
    69,
    {"Checkbox_Display_MenuAppearance_DynamicElements_GraphicMenu",
     "Checkbox_Display_MenuAppearance_DynamicElements_MenuShadow"},
    "Button_Display_MenuAppearance_Default",
    "Button_Display_MenuAppearance_HighestPerformance",
    kMenuBoxes,
};

TabSheet& AnimationsEffectsPage::BuildListTab(ui::PageContext& ctx, forms::PageControl& pages, const ListTab& tab) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forwarder = ctx.Forwarder();
  auto& sheet = form.Create<TabSheet>(pages, tab.sheet, Rect{}, tab.caption);
  auto& message = MakeBox(form, sheet, tab.message_group, "Window and Message Animation", layout::kFirstGroupTop, 95);
  MakeRows(form, message, tab.message_boxes, forwarder);
  MakeList(form, message, tab.list, Rect{28, layout::RowTop(2), 180, layout::kComboHeight}, tab.effects, forwarder);
  auto& elements = MakeBox(form, sheet, tab.elements_group, "Animation of Elements",
                           layout::GroupBelow(layout::kFirstGroupTop, 95), tab.elements_height);
  MakeRows(form, elements, tab.element_boxes, forwarder);
  MakeButtons(form, sheet, {{tab.default_button, "Default Settings"}, {tab.performance_button, "Best Performance"}},
              {[this, &ctx, &tab](forms::Component&) {
                 ApplyPreset(ctx, tab.preset_boxes, 0);
                 DefaultSelect(ctx.Find<ComboBox>(tab.list), 1);
               },
               [this, &ctx, &tab](forms::Component&) { ApplyPreset(ctx, tab.preset_boxes, 1); }});
  return sheet;
}

void AnimationsEffectsPage::Build(ui::PageContext& ctx) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forwarder = ctx.Forwarder();
  auto& pages = form.Create<forms::PageControl>(ctx.Page(), "pagecontrol0", layout::kPageControl);

  // Effects.
  auto& effect = form.Create<TabSheet>(pages, "TabSheet_Display_Effect", Rect{}, "Effects");
  auto& visual = MakeBox(form, effect, "GroupBox_Display_Effect_DisplayAndEffectSettings", "Visual Effects Settings", 8,
                         157);
  MakeRows(form, visual,
           std::vector<const char*>{"CheckBox_Display_Effect_DisplayAndEffectSettings_Background",
            "CheckBox_Display_Effect_DisplayAndEffectSettings_Drag",
            "CheckBox_Display_Effect_DisplayAndEffectSettings_Title",
            "CheckBox_Display_Effect_DisplayAndEffectSettings_CurSh",
            "CheckBox_Display_Effect_DisplayAndEffectSettings_Rect",
            "CheckBox_Display_Effect_DisplayAndEffectSettings_DesktopShadow"},
           forwarder);
  // The two boxes Vista and later hide come first, so the other two can take their rows.
  auto& behavior = MakeBox(form, effect, "GroupBox_Display_Effect_BehaviorSettings", "Behavior Settings", 173, 113);
  MakeRows(form, behavior,
           std::vector<const char*>{"Checkbox_Display_Effect_BehaviorSettings_Folder",
                                    "Checkbox_Display_Effect_BehaviorSettings_Keyboard",
                                    "Checkbox_Display_Effect_BehaviorSettings_ToolTip",
                                    "Checkbox_Display_Effect_BehaviorSettings_DesktopWinVersion"},
           forwarder);
  MakeButtons(form, effect,
              {{"Button_Display_Effect_Default", "Default Settings"},
               {"Button_Display_Effect_HighestPerformance", "Best Performance"},
               {"Button_Display_Effect_BestAppearance", "Best Appearance"}},
              {[this, &ctx](forms::Component&) { ApplyPreset(ctx, kEffectBoxes, 0); },
               [this, &ctx](forms::Component&) { ApplyPreset(ctx, kEffectBoxes, 1); },
               [this, &ctx](forms::Component&) { ApplyPreset(ctx, kEffectBoxes, 2); }});

  // Animation.
  BuildListTab(ctx, pages, kAnimationTab);

  // Menu Appearance.
  TabSheet& menu = BuildListTab(ctx, pages, kMenuTab);
  // Kept on the form without a purpose: the delay lives on the Start Menu page.
  auto& speed = MakeBox(form, menu, "GroupBox_Display_MenuAppearance_MenuSpeed", "Show Menu Delay", 188, 80);
  form.Create<Label>(speed, "Label_Display_MenuAppearance_MenuSpeed_Info", Rect{12, 20, 403, 26},
                     "You can find the opening delay settings for submenus under Start menu item.");
  form.Create<Label>(speed, "Label_Display_MenuAppearance_MenuSpeed_StartMenu", Rect{12, 52, 150, 13},
                     "Go to Start Menu");
  speed.Hide();

  // Font Smoothing.
  auto& font = form.Create<TabSheet>(pages, "TabSheet_Display_FontSmooth", Rect{}, "Font Smoothing");
  form.Create<Label>(font, "Label_Display_FontSmooth_Smoothing", Rect{12, 16, 60, 13}, "Smoothing:");
  MakeList(form, font, kSmoothType, Rect{80, 12, 200, 21}, {"No Smoothing", "Standard Font Smoothing", "ClearType"},
           forwarder);
  form.Create<Label>(font, "Label_Display_FontSmooth_Preview", Rect{12, 48, 60, 13}, "Preview:").Hide();
  form.Create<forms::Panel>(font, "Bevel_Display_FontSmooth_Preview", Rect{12, 64, 419, 120}).Hide();
  form.Create<Button>(font, "Button_Display_FontSmooth_Clear", layout::SheetButtonBounds(0, 1, 120),
                     "Clear Type Settings")
      .Hide();

  pages.SetActivePageIndex(0);
}

void AnimationsEffectsPage::Adapt(ui::PageContext& ctx, int version_class) {
  if (version_class > 5) {
    auto& folder = Box(ctx, "Checkbox_Display_Effect_BehaviorSettings_Folder");
    auto& keyboard = Box(ctx, "Checkbox_Display_Effect_BehaviorSettings_Keyboard");
    folder.Hide();
    keyboard.Hide();
    forms::MoveToTopOf(Box(ctx, "Checkbox_Display_Effect_BehaviorSettings_ToolTip"), folder);
    forms::MoveToTopOf(Box(ctx, "Checkbox_Display_Effect_BehaviorSettings_DesktopWinVersion"), keyboard);
    ctx.Find<GroupBox>("GroupBox_Display_Effect_BehaviorSettings").SetHeight(63);
  }
  if (version_class < 5) {
    for (const char* name :
         {"CheckBox_Display_Effect_DisplayAndEffectSettings_Background",
          "CheckBox_Display_Effect_DisplayAndEffectSettings_Rect",
          "CheckBox_Display_Effect_DisplayAndEffectSettings_DesktopShadow",
          "Checkbox_Display_Effect_BehaviorSettings_Folder"}) {
      Box(ctx, name).SetEnabled(false);
    }
    ctx.Find<GroupBox>("GroupBox_Display_MenuAppearance_DynamicElements").Hide();
  }
}

void AnimationsEffectsPage::ReadRow(ui::PageContext& ctx, const FlagRow& row) {
  CheckBox& box = Box(ctx, row.name);
  platform::SystemParameters& spi = ctx.Platform().spi();
  switch (row.read) {
    case ReadKind::kBoolAbove4:
      if (ctx.VersionClass() <= 4) break;
      [[fallthrough]];
    case ReadKind::kBool:
      SetCheckedIf(box, QueryBool(spi, row.get));
      break;
    case ReadKind::kAnimation:
      SetCheckedIf(box, QueryMinAnimate(spi));
      break;
    case ReadKind::kNumber:
      SetCheckedIf(box, ReadNonZero(ctx.Queue(), platform::HKCU, row.key, row.value));
      break;
    case ReadKind::kSmoothScroll:
      SetCheckedIf(box, SmoothScrollOn(Read(ctx.Queue(), platform::HKCU, row.key, row.value)));
      break;
  }
  if (row.governs != nullptr) ctx.Find<ComboBox>(row.governs).SetEnabled(box.Checked());
}

void AnimationsEffectsPage::ReadList(ui::PageContext& ctx, const ListRow& list) {
  if (const auto fade = QueryBool(ctx.Platform().spi(), list.get)) {
    ctx.Find<ComboBox>(list.name).SetItemIndex(*fade ? 1 : 0);
  }
}

void AnimationsEffectsPage::ReadFontSmoothing(ui::PageContext& ctx) {
  platform::SystemParameters& spi = ctx.Platform().spi();
  const auto on = QueryBool(spi, SPI_GETFONTSMOOTHING);
  const auto type = QueryInt(spi, SPI_GETFONTSMOOTHINGTYPE);
  auto& combo = ctx.Find<ComboBox>(kSmoothType);
  if (!on) return;
  if (!*on) {
    combo.SetItemIndex(0);
  } else if (ctx.VersionClass() < 5) {
    combo.SetItemIndex(1);
  } else if (type == FE_FONTSMOOTHINGSTANDARD) {
    combo.SetItemIndex(1);
  } else if (type == FE_FONTSMOOTHINGCLEARTYPE) {
    combo.SetItemIndex(2);
  }
}

void AnimationsEffectsPage::Load(ui::PageContext& ctx) {
  auto row = [&](const char* name) { Guarded([&] { ReadRow(ctx, Row(name)); }); };
  auto list = [&](const ListRow& l) { Guarded([&] { ReadList(ctx, l); }); };
  row("CheckBox_Display_Effect_DisplayAndEffectSettings_Title");
  row("Checkbox_Display_Effect_BehaviorSettings_Keyboard");
  row("Checkbox_Display_Effect_BehaviorSettings_ToolTip");
  row("Checkbox_Display_Animation_DynamicElements_ComboBox");
  row("Checkbox_Display_Animation_DynamicElements_SmoothListBox");
  row("Checkbox_Display_MenuAppearance_WindowsAndMessage_UseType");
  row("CheckBox_Display_Effect_DisplayAndEffectSettings_CurSh");
  row("Checkbox_Display_Animation_MessageAndAnimation_ToolTip");
  list(kLists[0]);
  row("Checkbox_Display_MenuAppearance_WindowsAndMessage_Click");
  list(kLists[1]);
  row("Checkbox_Display_MenuAppearance_DynamicElements_GraphicMenu");
  row("Checkbox_Display_MenuAppearance_DynamicElements_MenuShadow");
  row("Checkbox_Display_Effect_BehaviorSettings_DesktopWinVersion");
  row("CheckBox_Display_Effect_DisplayAndEffectSettings_Drag");
  row("Checkbox_Display_Animation_DynamicElements_ListAndTree");
  Guarded([&] { ReadFontSmoothing(ctx); });
  row("CheckBox_Display_Effect_DisplayAndEffectSettings_Background");
  row("CheckBox_Display_Effect_DisplayAndEffectSettings_Rect");
  row("CheckBox_Display_Effect_DisplayAndEffectSettings_DesktopShadow");
  row("Checkbox_Display_Effect_BehaviorSettings_Folder");
  row("Checkbox_Display_Animation_MessageAndAnimation_MaxAndMin");
}

void AnimationsEffectsPage::ChangeFontSmoothing(ui::PageContext& ctx, const ComboBox& combo) {
  const int index = combo.ItemIndex();
  ctx.Queue().AddRecord(
      engine::SpiRecord(kFontRecord, SPI_SETFONTSMOOTHING, index != 0 ? 1 : 0, std::uint32_t{0}, SPIF_UPDATEINIFILE));
  // Windows 2000 knows only one kind of smoothing.
  if (ctx.VersionClass() > 4 && index > 0) {
    ctx.Queue().AddRecord(engine::SpiRecord(kFontTypeRecord, SPI_SETFONTSMOOTHINGTYPE, 0,
                                            static_cast<std::uint32_t>(index), SPIF_UPDATEINIFILE));
  }
}

void AnimationsEffectsPage::Change(ui::PageContext& ctx, forms::Component& sender) {
  const std::string& name = sender.Name();
  if (const FlagRow* row = RowNamed(kRows, name)) {
    const auto* box = dynamic_cast<const CheckBox*>(&sender);
    if (box == nullptr) return;
    ctx.Queue().AddRecord(FlagRowRecord(ctx.Queue(), *row, box->Checked()));
    if (row->restart) ctx.Requests().RestartNeeded = true;
    // The list follows its box: usable exactly while the effect is switched on.
    if (row->governs != nullptr) ctx.Find<ComboBox>(row->governs).SetEnabled(box->Checked());
    return;
  }
  const auto* combo = dynamic_cast<const ComboBox*>(&sender);
  if (combo == nullptr) return;
  if (name == kSmoothType) {
    ChangeFontSmoothing(ctx, *combo);
    return;
  }
  for (const ListRow& list : kLists) {
    if (name == list.name) {
      ctx.Queue().AddRecord(
          engine::SpiRecord(list.name, list.set, 0, combo->ItemIndex() != 0 ? 1u : 0u, SPIF_UPDATEINIFILE));
      return;
    }
  }
}

void AnimationsEffectsPage::ApplyPreset(ui::PageContext& ctx, const std::vector<const char*>& boxes, int which) {
  for (const char* name : boxes) {
    DefaultCheck(Box(ctx, name), Row(name).preset[static_cast<std::size_t>(which)]);
  }
}

}  // namespace

std::unique_ptr<ui::PageModule> CreateAnimationsEffectsPage() { return std::make_unique<AnimationsEffectsPage>(); }

}  // namespace corvanel::pages
