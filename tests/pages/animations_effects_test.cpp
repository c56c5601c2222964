#include "pages/others/animations_effects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/pages/page_harness.h"

namespace corvanel::pages {
namespace {

using engine::TRegRecor;
using forms::Button;
using forms::CheckBox;
using forms::ComboBox;
using forms::Control;
using platform::HKCU;
namespace spi = platform::memory::spi;

constexpr const char* kDesktop = "Control Panel\\Desktop";
constexpr const char* kAdvanced = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
constexpr const char* kDesktopKey = "\\Control Panel\\Desktop\\";
constexpr const char* kAdvancedKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";

constexpr const char* kBackground = "CheckBox_Display_Effect_DisplayAndEffectSettings_Background";
constexpr const char* kDrag = "CheckBox_Display_Effect_DisplayAndEffectSettings_Drag";
constexpr const char* kTitle = "CheckBox_Display_Effect_DisplayAndEffectSettings_Title";
constexpr const char* kCurSh = "CheckBox_Display_Effect_DisplayAndEffectSettings_CurSh";
constexpr const char* kRect = "CheckBox_Display_Effect_DisplayAndEffectSettings_Rect";
constexpr const char* kDesktopShadow = "CheckBox_Display_Effect_DisplayAndEffectSettings_DesktopShadow";
constexpr const char* kFolder = "Checkbox_Display_Effect_BehaviorSettings_Folder";
constexpr const char* kHotTrack = "Checkbox_Display_Effect_BehaviorSettings_ToolTip";
constexpr const char* kWinVersion = "Checkbox_Display_Effect_BehaviorSettings_DesktopWinVersion";
constexpr const char* kKeyboard = "Checkbox_Display_Effect_BehaviorSettings_Keyboard";
constexpr const char* kMaxMin = "Checkbox_Display_Animation_MessageAndAnimation_MaxAndMin";
constexpr const char* kToolTip = "Checkbox_Display_Animation_MessageAndAnimation_ToolTip";
constexpr const char* kToolTipType = "CB_Display_Animation_MessageAndAnimation_ToolTipType";
constexpr const char* kListTree = "Checkbox_Display_Animation_DynamicElements_ListAndTree";
constexpr const char* kComboAnim = "Checkbox_Display_Animation_DynamicElements_ComboBox";
constexpr const char* kSmoothList = "Checkbox_Display_Animation_DynamicElements_SmoothListBox";
constexpr const char* kSelFade = "Checkbox_Display_MenuAppearance_WindowsAndMessage_Click";
constexpr const char* kMenuAnim = "Checkbox_Display_MenuAppearance_WindowsAndMessage_UseType";
constexpr const char* kMenuType = "CB_Display_MenuAppearance_WindowsAndMessage_UseType";
constexpr const char* kFlatMenu = "Checkbox_Display_MenuAppearance_DynamicElements_GraphicMenu";
constexpr const char* kMenuShadow = "Checkbox_Display_MenuAppearance_DynamicElements_MenuShadow";
constexpr const char* kSmoothType = "CB_Display_FontSmooth_SmoothType";

const char* const kAllBoxes[] = {kBackground, kDrag,     kTitle,    kCurSh,      kRect,      kDesktopShadow, kFolder,
                                 kHotTrack,   kWinVersion, kKeyboard, kMaxMin,   kToolTip,   kListTree,      kComboAnim,
                                 kSmoothList, kSelFade,  kMenuAnim, kFlatMenu,   kMenuShadow};

class AnimationsEffectsTest : public harness::PageTest {
 protected:
  AnimationsEffectsTest() : PageTest(CreateAnimationsEffectsPage) {}
  void Open(int version_class = 7) { PageTest::Open(version_class); }
  // Every boolean system parameter of the page switched off.
  void AllSpiOff() {
    for (std::uint32_t get : {spi::GETDRAGFULLWINDOWS, spi::GETGRADIENTCAPTIONS, spi::GETCURSORSHADOW,
                              spi::GETHOTTRACKING, spi::GETKEYBOARDCUES, spi::GETTOOLTIPANIMATION,
                              spi::GETTOOLTIPFADE, spi::GETCOMBOBOXANIMATION, spi::GETLISTBOXSMOOTHSCROLLING,
                              spi::GETSELECTIONFADE, spi::GETMENUANIMATION, spi::GETMENUFADE, spi::GETFLATMENU,
                              spi::GETDROPSHADOW, spi::GETFONTSMOOTHING}) {
      Memory().spi().SetValue(get, 0);
    }
    Memory().spi().set_min_animate(0);
  }
};

// ---------------------------------------------------------------------------------
// Loading

TEST_F(AnimationsEffectsTest, EachSystemParameterShowsInItsOwnBox) {
  struct Row {
    std::uint32_t get;
    const char* box;
  };
  const Row rows[] = {
      {spi::GETDRAGFULLWINDOWS, kDrag},         {spi::GETGRADIENTCAPTIONS, kTitle},
      {spi::GETCURSORSHADOW, kCurSh},           {spi::GETHOTTRACKING, kHotTrack},
      {spi::GETKEYBOARDCUES, kKeyboard},        {spi::GETTOOLTIPANIMATION, kToolTip},
      {spi::GETCOMBOBOXANIMATION, kComboAnim},  {spi::GETLISTBOXSMOOTHSCROLLING, kSmoothList},
      {spi::GETSELECTIONFADE, kSelFade},        {spi::GETMENUANIMATION, kMenuAnim},
      {spi::GETFLATMENU, kFlatMenu},            {spi::GETDROPSHADOW, kMenuShadow},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.box);
    Reset();
    AllSpiOff();
    Memory().spi().SetValue(row.get, 1);
    Open();
    for (const char* box : kAllBoxes) EXPECT_EQ(Box(box).Checked(), std::string(box) == row.box) << box;
    EXPECT_TRUE(Queue().Empty());
    EXPECT_FALSE(Window().Find<Button>("Button_Apply").Enabled());
  }
}

// The loader asks in a fixed order; the two lists come right after the box that governs
// them, so the box's read can set their enabled state before they are filled.
TEST_F(AnimationsEffectsTest, TheLoaderAsksInItsOrder) {
  Open(7);
  std::vector<std::uint32_t> asked;
  for (const auto& call : Memory().spi().calls()) {
    asked.push_back(call.action);
    EXPECT_EQ(call.win_ini, 0u) << call.action;
    EXPECT_EQ(call.ui, call.action == spi::GETANIMATION ? 8u : 0u) << call.action;
  }
  EXPECT_EQ(asked, (std::vector<std::uint32_t>{
                       spi::GETGRADIENTCAPTIONS, spi::GETKEYBOARDCUES, spi::GETHOTTRACKING,
                       spi::GETCOMBOBOXANIMATION, spi::GETLISTBOXSMOOTHSCROLLING, spi::GETMENUANIMATION,
                       spi::GETCURSORSHADOW, spi::GETTOOLTIPANIMATION, spi::GETTOOLTIPFADE, spi::GETSELECTIONFADE,
                       spi::GETMENUFADE, spi::GETFLATMENU, spi::GETDROPSHADOW, spi::GETDRAGFULLWINDOWS,
                       spi::GETFONTSMOOTHING, spi::GETFONTSMOOTHINGTYPE, spi::GETANIMATION}));

  // The registry values: the two under Desktop come before the four Explorer ones.
  std::vector<std::string> opened;
  for (const auto& access : Memory().registry().access_log()) {
    if (access.root != HKCU) continue;
    if (access.path.find("Control Panel\\Desktop") != std::string::npos) opened.push_back("desktop");
    if (access.path.find("Explorer\\Advanced") != std::string::npos) opened.push_back("explorer");
  }
  EXPECT_EQ(opened, (std::vector<std::string>{"desktop", "desktop", "explorer", "explorer", "explorer", "explorer"}));
}

TEST_F(AnimationsEffectsTest, WindowAnimationIsReadThroughAnAnimationInfoBlock) {
  for (const std::int32_t animate : {0, 1}) {
    Reset();
    AllSpiOff();
    Memory().spi().set_min_animate(animate);
    Open();
    EXPECT_EQ(Box(kMaxMin).Checked(), animate != 0);
    bool asked = false;
    for (const auto& call : Memory().spi().calls()) {
      if (call.action != spi::GETANIMATION) continue;
      asked = true;
      EXPECT_EQ(call.ui, 8u);
      EXPECT_EQ(call.block, (std::vector<std::uint8_t>{8, 0, 0, 0, 0, 0, 0, 0}));
    }
    EXPECT_TRUE(asked);
  }
}

TEST_F(AnimationsEffectsTest, FlatMenusAndShadowsAreNotAskedOnWindows2000) {
  Memory().spi().SetValue(spi::GETFLATMENU, 1);
  Memory().spi().SetValue(spi::GETDROPSHADOW, 1);
  Open(4);
  EXPECT_FALSE(Box(kFlatMenu).Checked());
  EXPECT_FALSE(Box(kMenuShadow).Checked());
  for (const auto& call : Memory().spi().calls()) {
    EXPECT_NE(call.action, spi::GETFLATMENU);
    EXPECT_NE(call.action, spi::GETDROPSHADOW);
  }
}

TEST_F(AnimationsEffectsTest, RegistryFlagsAreReadAsNumbersAndOtherwiseLeftAlone) {
  struct Location {
    const char* box;
    const char* path;
    const char* value;
  };
  const Location locations[] = {{kBackground, kAdvanced, "ListviewWatermark"},
                                {kRect, kAdvanced, "ListviewAlphaSelect"},
                                {kDesktopShadow, kAdvanced, "ListviewShadow"},
                                {kFolder, kAdvanced, "WebView"},
                                {kWinVersion, kDesktop, "PaintDesktopVersion"}};
  enum class Stored { kDword1, kDword0, kText1, kText0, kTextWord, kBinary, kMissing };
  struct Case {
    Stored stored;
    bool checked;
  };
  const Case cases[] = {{Stored::kDword1, true},     {Stored::kDword0, false}, {Stored::kText1, true},
                        {Stored::kText0, false},     {Stored::kTextWord, false}, {Stored::kBinary, false},
                        {Stored::kMissing, false}};
  for (const Location& at : locations) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(at.box) + " case " + std::to_string(static_cast<int>(c.stored)));
      Reset();
      auto& reg = Memory().registry();
      switch (c.stored) {
        case Stored::kDword1: reg.SetDword(HKCU, at.path, at.value, 1); break;
        case Stored::kDword0: reg.SetDword(HKCU, at.path, at.value, 0); break;
        case Stored::kText1: reg.SetString(HKCU, at.path, at.value, "1"); break;
        case Stored::kText0: reg.SetString(HKCU, at.path, at.value, "0"); break;
        case Stored::kTextWord: reg.SetString(HKCU, at.path, at.value, "yes"); break;
        case Stored::kBinary: reg.SetBinary(HKCU, at.path, at.value, {1, 0, 0, 0}); break;
        case Stored::kMissing: break;
      }
      // A setting read after the one under test still loads.
      Memory().spi().set_min_animate(1);
      Open();
      EXPECT_EQ(Box(at.box).Checked(), c.checked);
      EXPECT_TRUE(Box(kMaxMin).Checked());
      EXPECT_TRUE(Queue().Empty());
    }
  }
}

TEST_F(AnimationsEffectsTest, SmoothScrollIsOnForNumbersTextsAndBytesThatAreNotZero) {
  enum class Type { kDword, kText, kBinary, kMissing };
  struct Case {
    Type type;
    std::uint32_t number;
    std::string text;
    std::vector<std::uint8_t> bytes;
    bool checked;
  };
  const Case cases[] = {
      {Type::kText, 0, "on", {}, true},  {Type::kText, 0, "", {}, false},   {Type::kText, 0, "1", {}, true},
      {Type::kText, 0, "0", {}, false},  {Type::kBinary, 0, "", {1}, true}, {Type::kBinary, 0, "", {0, 0, 0, 0}, false},
      {Type::kBinary, 0, "", {}, false}, {Type::kDword, 0, "", {}, false},  {Type::kDword, 1, "", {}, true},
      {Type::kMissing, 0, "", {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("type " + std::to_string(static_cast<int>(c.type)) + " text '" + c.text + "'");
    Reset();
    auto& reg = Memory().registry();
    if (c.type == Type::kDword) reg.SetDword(HKCU, kDesktop, "SmoothScroll", c.number);
    if (c.type == Type::kText) reg.SetString(HKCU, kDesktop, "SmoothScroll", c.text);
    if (c.type == Type::kBinary) reg.SetBinary(HKCU, kDesktop, "SmoothScroll", c.bytes);
    Open();
    EXPECT_EQ(Box(kListTree).Checked(), c.checked);
  }
}

TEST_F(AnimationsEffectsTest, FontSmoothingShowsTheKindWindowsUses) {
  struct Case {
    int version_class;
    std::uint32_t on;
    std::uint32_t type;
    int index;
  };
  const Case cases[] = {
      {7, 0, 2, 0}, {7, 1, 1, 1}, {7, 1, 2, 2}, {7, 1, 3, 0}, {7, 1, 0, 0}, {5, 1, 2, 2},
      {8, 1, 1, 1}, {4, 1, 2, 1}, {4, 0, 2, 0}, {0, 1, 2, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("class " + std::to_string(c.version_class) + " on " + std::to_string(c.on) + " type " +
                 std::to_string(c.type));
    Reset();
    Memory().spi().SetValue(spi::GETFONTSMOOTHING, c.on);
    Memory().spi().SetValue(spi::GETFONTSMOOTHINGTYPE, c.type);
    Open(c.version_class);
    EXPECT_EQ(Combo(kSmoothType).ItemIndex(), c.index);
  }
}

TEST_F(AnimationsEffectsTest, EffectListsFollowTheirBoxesAndFadeSettings) {
  struct Case {
    std::uint32_t animate;
    std::uint32_t fade;
  };
  for (const Case c : {Case{0, 0}, Case{0, 1}, Case{1, 0}, Case{1, 1}}) {
    SCOPED_TRACE("animate " + std::to_string(c.animate) + " fade " + std::to_string(c.fade));
    Reset();
    Memory().spi().SetValue(spi::GETTOOLTIPANIMATION, c.animate);
    Memory().spi().SetValue(spi::GETMENUANIMATION, c.animate);
    Memory().spi().SetValue(spi::GETTOOLTIPFADE, c.fade);
    Memory().spi().SetValue(spi::GETMENUFADE, c.fade);
    Open();
    for (const char* combo : {kToolTipType, kMenuType}) {
      EXPECT_EQ(Combo(combo).Enabled(), c.animate != 0) << combo;
      EXPECT_EQ(Combo(combo).ItemIndex(), c.fade != 0 ? 1 : 0) << combo;
    }
  }
}

TEST_F(AnimationsEffectsTest, ARefusedQueryLeavesTheBoxAsDesigned) {
  Memory().spi().FailAction(spi::GETDRAGFULLWINDOWS);
  Memory().spi().FailAction(spi::GETANIMATION);
  Memory().spi().FailAction(spi::GETFONTSMOOTHING);
  Memory().spi().SetValue(spi::GETCURSORSHADOW, 1);
  Open();
  EXPECT_FALSE(Box(kDrag).Checked());
  EXPECT_FALSE(Box(kMaxMin).Checked());
  EXPECT_EQ(Combo(kSmoothType).ItemIndex(), 0);
  EXPECT_TRUE(Box(kCurSh).Checked());
}

// ---------------------------------------------------------------------------------
// Changes

TEST_F(AnimationsEffectsTest, SystemParameterBoxesQueueTheirSetAction) {
  enum class Via { kUi, kPv };
  struct Row {
    const char* box;
    std::uint32_t set;
    Via via;
  };
  const Row rows[] = {
      {kDrag, 0x25, Via::kUi},       {kTitle, 0x1009, Via::kPv},    {kCurSh, 0x101B, Via::kPv},
      {kHotTrack, 0x100F, Via::kPv}, {kKeyboard, 0x100B, Via::kPv}, {kToolTip, 0x1017, Via::kPv},
      {kComboAnim, 0x1005, Via::kPv}, {kSmoothList, 0x1007, Via::kPv}, {kSelFade, 0x1015, Via::kPv},
      {kMenuAnim, 0x1003, Via::kPv}, {kFlatMenu, 0x1023, Via::kPv}, {kMenuShadow, 0x1025, Via::kPv},
  };
  AllSpiOff();
  Open(5);  // every box reachable
  for (const Row& row : rows) {
    SCOPED_TRACE(row.box);
    for (const bool checked : {true, false}) {
      ASSERT_TRUE(Box(row.box).UserClick());
      const TRegRecor* r = Record(row.box);
      ASSERT_NE(r, nullptr);
      const std::uint32_t flag = checked ? 1 : 0;
      EXPECT_EQ(r->Kind, 1);
      EXPECT_EQ(r->SpiAction, row.set);
      EXPECT_EQ(r->SpiUiParam, row.via == Via::kUi ? flag : 0u);
      EXPECT_EQ(r->SpiPvParam, engine::SpiParam(row.via == Via::kPv ? flag : 0u));
      EXPECT_EQ(r->SpiWinIni, 1u);
    }
  }
  // Each box merged its two clicks into one record.
  EXPECT_EQ(Queue().Count(), std::size(rows));
  EXPECT_TRUE(Window().Find<Button>("Button_Apply").Enabled());

  Window().Button_ApplyClick();
  EXPECT_EQ(Memory().spi().Value(spi::GETDRAGFULLWINDOWS), 0u);
  EXPECT_EQ(Memory().spi().Value(spi::GETGRADIENTCAPTIONS), 0u);
  EXPECT_TRUE(Queue().Empty());
}

TEST_F(AnimationsEffectsTest, TwoClicksLeaveOneRecordWithTheLastState) {
  Open();
  ASSERT_TRUE(Box(kDrag).Checked());
  Box(kDrag).UserClick();
  Box(kDrag).UserClick();
  ASSERT_EQ(Queue().Count(), 1u);
  EXPECT_EQ(Queue().Records()[0].Name, kDrag);
  EXPECT_EQ(Queue().Records()[0].SpiUiParam, 1u);
}

TEST_F(AnimationsEffectsTest, WindowAnimationOwnsItsBlockAndApplyPassesIt) {
  Open();
  ASSERT_TRUE(Box(kMaxMin).Checked());
  Box(kMaxMin).UserClick();
  const TRegRecor* r = Record(kMaxMin);
  ASSERT_NE(r, nullptr);
  const std::vector<std::uint8_t> off{8, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(r->Kind, 1);
  EXPECT_EQ(r->SpiAction, 0x49u);
  EXPECT_EQ(r->SpiUiParam, 8u);
  EXPECT_EQ(r->SpiPvParam, engine::SpiParam(off));
  EXPECT_EQ(r->SpiWinIni, 1u);

  Memory().spi().ClearCalls();
  Window().Button_ApplyClick();
  // Apply reads the block back first, so that it can be undone; it sets it once.
  std::vector<platform::memory::SpiCall> sets;
  for (const auto& c : Memory().spi().calls())
    if (c.action != spi::GETANIMATION) sets.push_back(c);
  ASSERT_EQ(sets.size(), 1u);
  const auto& call = sets[0];
  EXPECT_EQ(call.action, spi::SETANIMATION);
  EXPECT_EQ(call.ui, 8u);
  EXPECT_EQ(call.block, off);
  EXPECT_EQ(call.win_ini, 1u);
  EXPECT_TRUE(call.result);
  EXPECT_EQ(Memory().spi().min_animate(), 0);

  Box(kMaxMin).UserClick();
  EXPECT_EQ(Record(kMaxMin)->SpiPvParam, engine::SpiParam(std::vector<std::uint8_t>{8, 0, 0, 0, 1, 0, 0, 0}));
}

TEST_F(AnimationsEffectsTest, RegistryFlagsAreWrittenInTheStoredType) {
  enum class Stored { kDword, kText, kBinary, kMissing };
  struct Case {
    Stored stored;
    std::uint8_t data_type;
    std::uint32_t reg_type;
    std::vector<std::uint8_t> on_bytes;  // REG_BINARY only
  };
  const Case cases[] = {
      {Stored::kDword, 3, platform::win::REG_DWORD, {}},
      {Stored::kText, 1, platform::win::REG_SZ, {}},
      {Stored::kBinary, 4, platform::win::REG_BINARY, {1, 0, 0, 0}},
      {Stored::kMissing, 3, platform::win::REG_DWORD, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.stored));
    Reset();
    auto& reg = Memory().registry();
    // Stored as "off" in each type, so the click turns the setting on.
    if (c.stored == Stored::kDword) reg.SetDword(HKCU, kDesktop, "SmoothScroll", 0);
    if (c.stored == Stored::kText) reg.SetString(HKCU, kDesktop, "SmoothScroll", "");
    if (c.stored == Stored::kBinary) reg.SetBinary(HKCU, kDesktop, "SmoothScroll", {0, 0, 0, 0});
    Open();
    ASSERT_FALSE(Box(kListTree).Checked());
    Box(kListTree).UserClick();
    const TRegRecor* r = Record(kListTree);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Kind, 0);
    EXPECT_EQ(r->Action, 0);
    EXPECT_EQ(r->RootKey, HKCU);
    EXPECT_EQ(r->KeyPath, kDesktopKey);
    EXPECT_EQ(r->ValueName, "SmoothScroll");
    EXPECT_EQ(r->DataType, c.data_type);

    Window().Button_ApplyClick();
    const auto stored = reg.Get(HKCU, kDesktop, "SmoothScroll");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, c.reg_type);
    if (c.reg_type == platform::win::REG_DWORD) {
      EXPECT_EQ(reg.GetDword(HKCU, kDesktop, "SmoothScroll"), 1u);
    } else if (c.reg_type == platform::win::REG_SZ) {
      EXPECT_EQ(reg.GetString(HKCU, kDesktop, "SmoothScroll"), "1");
    } else {
      EXPECT_EQ(stored->bytes, c.on_bytes);
    }

    // What the page wrote reads back as what was chosen, on and off.
    Box(kListTree).UserClick();
    Window().Button_ApplyClick();
    Memory().spi().ClearCalls();
    Open();
    EXPECT_FALSE(Box(kListTree).Checked());
  }
}

TEST_F(AnimationsEffectsTest, EveryRegistryBoxWritesItsOwnValue) {
  struct Row {
    const char* box;
    const char* key;
    const char* value;
  };
  const Row rows[] = {{kBackground, kAdvancedKey, "ListviewWatermark"},
                      {kRect, kAdvancedKey, "ListviewAlphaSelect"},
                      {kDesktopShadow, kAdvancedKey, "ListviewShadow"},
                      {kFolder, kAdvancedKey, "WebView"},
                      {kWinVersion, kDesktopKey, "PaintDesktopVersion"},
                      {kListTree, kDesktopKey, "SmoothScroll"}};
  for (const Row& row : rows) Memory().registry().SetDword(HKCU, std::string(row.key).substr(1), row.value, 0);
  Open(5);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.box);
    Box(row.box).UserClick();
    const TRegRecor* r = Record(row.box);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->KeyPath, row.key);
    EXPECT_EQ(r->ValueName, row.value);
    EXPECT_EQ(r->Value, engine::MakeInt(1));
  }
  Window().Button_ApplyClick();
  for (const Row& row : rows) {
    EXPECT_EQ(Memory().registry().GetDword(HKCU, std::string(row.key).substr(1), row.value), 1u) << row.value;
  }
}

TEST_F(AnimationsEffectsTest, OnlyFourBoxesAskForARestart) {
  const std::string restart[] = {kHotTrack, kSmoothList, kWinVersion, kFolder};
  for (const char* box : kAllBoxes) {
    SCOPED_TRACE(box);
    Reset();
    Open(5);
    Box(box).UserClick();
    ASSERT_NE(Record(box), nullptr);
    EXPECT_EQ(Window().Requests().RestartNeeded, std::find(std::begin(restart), std::end(restart), box) != std::end(restart));
  }
  for (const char* combo : {kToolTipType, kMenuType, kSmoothType}) {
    Reset();
    Open(5);
    Combo(combo).UserSelect(1);
    EXPECT_FALSE(Window().Requests().RestartNeeded) << combo;
  }
}

TEST_F(AnimationsEffectsTest, ClickingTheEffectBoxSwitchesItsList) {
  AllSpiOff();
  Open();
  for (const auto& [box, combo] : {std::pair{kToolTip, kToolTipType}, std::pair{kMenuAnim, kMenuType}}) {
    ASSERT_FALSE(Combo(combo).Enabled());
    Box(box).UserClick();
    EXPECT_TRUE(Combo(combo).Enabled());
    Box(box).UserClick();
    EXPECT_FALSE(Combo(combo).Enabled());
  }
}

TEST_F(AnimationsEffectsTest, EffectListsQueueTheirFadeSetting) {
  AllSpiOff();
  Memory().spi().SetValue(spi::GETTOOLTIPANIMATION, 1);
  Memory().spi().SetValue(spi::GETMENUANIMATION, 1);
  Open();
  for (const auto& [combo, set] : {std::pair{kToolTipType, 0x1019u}, std::pair{kMenuType, 0x1013u}}) {
    SCOPED_TRACE(combo);
    Combo(combo).UserSelect(1);
    const TRegRecor* r = Record(combo);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Kind, 1);
    EXPECT_EQ(r->SpiAction, set);
    EXPECT_EQ(r->SpiUiParam, 0u);
    EXPECT_EQ(r->SpiPvParam, engine::SpiParam(1u));
    EXPECT_EQ(r->SpiWinIni, 1u);
    Combo(combo).UserSelect(0);
    EXPECT_EQ(Record(combo)->SpiPvParam, engine::SpiParam(0u));
  }
  Window().Button_ApplyClick();
  EXPECT_EQ(Memory().spi().Value(spi::GETTOOLTIPFADE), 0u);
}

TEST_F(AnimationsEffectsTest, ClearTypeQueuesSmoothingAndItsType) {
  Memory().spi().SetValue(spi::GETFONTSMOOTHING, 0);
  Open(7);
  ComboBox& combo = Combo(kSmoothType);
  combo.UserSelect(2);
  ASSERT_EQ(Queue().Count(), 2u);
  const TRegRecor& on = Queue().Records()[0];
  const TRegRecor& type = Queue().Records()[1];
  EXPECT_EQ(on.Name, "CBfontset");
  EXPECT_EQ(on.Kind, 1);
  EXPECT_EQ(on.SpiAction, 0x4Bu);
  EXPECT_EQ(on.SpiUiParam, 1u);
  EXPECT_EQ(on.SpiPvParam, engine::SpiParam(0u));
  EXPECT_EQ(on.SpiWinIni, 1u);
  EXPECT_EQ(type.Name, "CBfontset1");
  EXPECT_EQ(type.SpiAction, 0x200Bu);
  EXPECT_EQ(type.SpiUiParam, 0u);
  EXPECT_EQ(type.SpiPvParam, engine::SpiParam(2u));
  EXPECT_EQ(type.SpiWinIni, 1u);

  combo.UserSelect(1);
  combo.UserSelect(2);
  EXPECT_EQ(Queue().Count(), 2u);

  // "No Smoothing" switches smoothing off; the queued type stays and runs after it.
  combo.UserSelect(0);
  ASSERT_EQ(Queue().Count(), 2u);
  EXPECT_EQ(Record("CBfontset")->SpiUiParam, 0u);
  EXPECT_EQ(Record("CBfontset1")->SpiPvParam, engine::SpiParam(2u));
  Window().Button_ApplyClick();
  EXPECT_EQ(Memory().spi().Value(spi::GETFONTSMOOTHING), 0u);
  EXPECT_EQ(Memory().spi().Value(spi::GETFONTSMOOTHINGTYPE), 2u);
}

TEST_F(AnimationsEffectsTest, OlderOrUnknownWindowsGetOnlyTheSmoothingSwitch) {
  for (const int version_class : {4, 0}) {
    for (const int index : {1, 2}) {
      Reset();
      Memory().spi().SetValue(spi::GETFONTSMOOTHING, 0);
      Open(version_class);
      Combo(kSmoothType).UserSelect(index);
      ASSERT_EQ(Queue().Count(), 1u) << version_class << " " << index;
      EXPECT_EQ(Queue().Records()[0].Name, "CBfontset");
      EXPECT_EQ(Queue().Records()[0].SpiUiParam, 1u);
    }
  }
}

// ---------------------------------------------------------------------------------
// Default and preset buttons

TEST_F(AnimationsEffectsTest, EffectPresetsQueueOnlyTheBoxesTheyChange) {
  // A fresh profile: no Explorer values, Windows' own system parameters.
  Open(5);
  ASSERT_TRUE(Box(kHotTrack).Checked());
  Window().Find<Button>("Button_Display_Effect_BestAppearance").UserClick();
  EXPECT_EQ(Names(), (std::vector<std::string>{kBackground, kRect, kDesktopShadow, kFolder, kHotTrack}));
  EXPECT_FALSE(Box(kHotTrack).Checked());
  EXPECT_TRUE(Box(kFolder).Checked());
  EXPECT_TRUE(Window().Requests().RestartNeeded);

  Window().Find<Button>("Button_Display_Effect_Default").UserClick();
  EXPECT_TRUE(Box(kHotTrack).Checked());
  EXPECT_TRUE(Box(kFolder).Checked());
  EXPECT_EQ(Queue().Count(), 5u);
  EXPECT_EQ(Record(kHotTrack)->SpiPvParam, engine::SpiParam(1u));

  Window().Find<Button>("Button_Display_Effect_HighestPerformance").UserClick();
  for (const char* box : {kBackground, kDrag, kTitle, kCurSh, kRect, kDesktopShadow, kWinVersion, kKeyboard})
    EXPECT_FALSE(Box(box).Checked()) << box;
  EXPECT_TRUE(Box(kFolder).Checked());
  EXPECT_TRUE(Box(kHotTrack).Checked());
  EXPECT_EQ(Record(kDrag)->SpiUiParam, 0u);
}

TEST_F(AnimationsEffectsTest, AnimationDefaultQueuesOnlyTheFadeItShows) {
  Memory().spi().set_min_animate(1);
  Memory().spi().SetValue(spi::GETTOOLTIPANIMATION, 1);
  Memory().spi().SetValue(spi::GETTOOLTIPFADE, 0);
  Memory().spi().SetValue(spi::GETCOMBOBOXANIMATION, 1);
  Memory().spi().SetValue(spi::GETLISTBOXSMOOTHSCROLLING, 0);
  Memory().registry().SetDword(HKCU, kDesktop, "SmoothScroll", 1);
  Open();
  Window().Find<Button>("Button_Display_Animation_Default").UserClick();
  EXPECT_EQ(Names(), (std::vector<std::string>{kToolTipType}));
  EXPECT_EQ(Record(kToolTipType)->SpiPvParam, engine::SpiParam{1u});
  EXPECT_EQ(Combo(kToolTipType).ItemIndex(), 1);

  Window().Find<Button>("Button_Display_Animation_HighestPerformance").UserClick();
  EXPECT_EQ(Names(), (std::vector<std::string>{kToolTipType, kMaxMin, kToolTip, kListTree, kComboAnim}));
  EXPECT_FALSE(Combo(kToolTipType).Enabled());
  EXPECT_EQ(Combo(kToolTipType).ItemIndex(), 1);
  EXPECT_FALSE(Window().Requests().RestartNeeded);
}

TEST_F(AnimationsEffectsTest, MenuPresetsKeepFlatMenusOnAndQueueTheFadeTheyShow) {
  AllSpiOff();
  Open();
  Window().Find<Button>("Button_Display_MenuAppearance_Default").UserClick();
  for (const char* box : {kSelFade, kMenuAnim, kFlatMenu, kMenuShadow}) EXPECT_TRUE(Box(box).Checked()) << box;
  EXPECT_EQ(Combo(kMenuType).ItemIndex(), 1);
  EXPECT_TRUE(Combo(kMenuType).Enabled());
  EXPECT_EQ(Queue().Count(), 5u);
  ASSERT_NE(Record(kMenuType), nullptr);
  EXPECT_EQ(Record(kMenuType)->SpiPvParam, engine::SpiParam{1u});

  Window().Find<Button>("Button_Display_MenuAppearance_HighestPerformance").UserClick();
  EXPECT_FALSE(Box(kSelFade).Checked());
  EXPECT_FALSE(Box(kMenuAnim).Checked());
  EXPECT_TRUE(Box(kFlatMenu).Checked());
  EXPECT_FALSE(Box(kMenuShadow).Checked());
  EXPECT_FALSE(Combo(kMenuType).Enabled());
}

// ---------------------------------------------------------------------------------
// Windows versions and layout

TEST_F(AnimationsEffectsTest, VersionClassesAdaptThePage) {
  for (const int version_class : harness::kVersionClasses) {
    SCOPED_TRACE("class " + std::to_string(version_class));
    Reset();
    Open(version_class);
    const bool vista = version_class > 5;
    const bool older = version_class < 5;
    EXPECT_EQ(Box(kFolder).VisibleOnScreen(), !vista);
    EXPECT_EQ(Box(kKeyboard).VisibleOnScreen(), !vista);
    EXPECT_EQ(Box(kHotTrack).Top(), vista ? Box(kFolder).Top() : 64);
    EXPECT_EQ(Box(kWinVersion).Top(), vista ? Box(kKeyboard).Top() : 86);
    EXPECT_EQ(Ctl("GroupBox_Display_Effect_BehaviorSettings").Height(), vista ? 63 : 113);
    for (const char* box : {kBackground, kRect, kDesktopShadow, kFolder}) EXPECT_EQ(Box(box).Enabled(), !older) << box;
    EXPECT_EQ(Ctl("GroupBox_Display_MenuAppearance_DynamicElements").Visible(), !older);
    for (const char* hidden : {"GroupBox_Display_MenuAppearance_MenuSpeed", "Label_Display_FontSmooth_Preview",
                               "Bevel_Display_FontSmooth_Preview", "Button_Display_FontSmooth_Clear"}) {
      EXPECT_FALSE(Ctl(hidden).Visible()) << hidden;
    }
    for (const char* box : kAllBoxes) {
      if (std::string(box) == kFolder || std::string(box) == kKeyboard) continue;
      EXPECT_TRUE(Box(box).VisibleOnScreen() || (older && (std::string(box) == kFlatMenu || std::string(box) == kMenuShadow)))
          << box;
    }
    EXPECT_EQ(LayoutProblems(), "");
  }
}

}  // namespace
}  // namespace corvanel::pages
