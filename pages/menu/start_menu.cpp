// The Start Menu page. Everything lives under HKCU: the submenu delay as a string in the
// desktop key, the rest as Explorer policy values, which count by their mere presence.
#include "pages/menu/start_menu.h"

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

constexpr int kTag = 5;

// --- names -------------------------------------------------------------------------

constexpr const char* kPageControl = "PageControl3";
constexpr const char* kTabCommon = "TabSheet_Use_StartMenu_Common";
constexpr const char* kTabRecentlyUse = "TabSheet_Use_StartMenu_RecentlyUse";
constexpr const char* kTabShortCut = "TabSheet_Use_StartMenu_ShortCut";

constexpr const char* kGroupSpeed = "Groupbox_Use_StartMenu_Common_StartMenuSpeed";
constexpr const char* kGroupUser = "Groupbox_Use_StartMenu_Common_User";
constexpr const char* kGroupDocument = "Groupbox_Use_StartMenu_RecentlyUse_Document";
constexpr const char* kGroupProgram = "Groupbox_Use_StartMenu_RecentlyUse_Program";
constexpr const char* kGroupMoveAndEdit = "Groupbox_Use_StartMenu_ShortCut_MoveAndEdit";

constexpr const char* kAuto = "Radio_Use_StartMenu_Common_StartMenuSpeed_Auto";
constexpr const char* kClick = "Radio_Use_StartMenu_Common_StartMenuSpeed_Click";
constexpr const char* kDelay = "TrackBar_Use_StartMenu_Common_StartMenuSpeed_Delay";
constexpr const char* kDelayLabel = "Label_Use_StartMenu_Common_StartMenuSpeed_Delay";
constexpr const char* kShortDelay = "Label_Use_StartMenu_Common_StartMenuSpeed_ShortDelay";
constexpr const char* kLongDelay = "Label_Use_StartMenu_Common_StartMenuSpeed_LongDelay";
constexpr const char* kShowUserName = "Checkbox_Use_StartMenu_Common_User_ShowUserName";
constexpr const char* kShowLogoff = "Checkbox_Use_StartMenu_Common_User_ShowLogoff";
constexpr const char* kSave = "Checkbox_Use_StartMenu_RecentlyUse_Document_Save";
constexpr const char* kFileCountLabel = "Label_Use_StartMenu_RecentlyUse_Document_FileCount";
constexpr const char* kFileCount = "Edit_Use_StartMenu_RecentlyUse_Document_FileCount";
constexpr const char* kFileCountUpDown = "UpDown_Use_StartMenu_RecentlyUse_Document_FileCount";
constexpr const char* kProgramSet = "Button_Use_StartMenu_RecentlyUse_Program_Set";
constexpr const char* kMoveAndEdit = "Checkbox_Use_StartMenu_ShortCut_MoveAndEdit_Active";
constexpr const char* kSortByName = "Button_Use_StartMenu_ShortCut_MoveAndEdit_Sort";
constexpr const char* kEditInExplorer = "Button_Use_StartMenu_ShortCut_MoveAndEdit_Edit";

constexpr const char* kDefaultCommon = "Button_Use_StartMenu_Common_User_Default";
constexpr const char* kDefaultRecentlyUse = "Button_Use_StartMenu_RecentlyUse_Default";
constexpr const char* kDefaultShortCut = "Button_Use_StartMenu_ShortCut_Default";

// Records named otherwise than their control.
constexpr const char* kDelayRecord = "Starmenu";
constexpr const char* kNoRecentRecord = "StarFilelist";

// --- locations ---------------------------------------------------------------------

constexpr const char* kDesktopKey = "\\Control Panel\\Desktop\\";
constexpr const char* kPoliciesKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
constexpr const char* kAdvancedKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";

// --- the delay ----------------------------------------------------------------------

constexpr int kDelayMax = 1200;
constexpr int kDesignDelay = 217;
constexpr int kDefaultDelay = 400;
// What a stored delay beyond the track bar's range shows.
constexpr int kTooLongDelay = 460;
// The stored delay that means "open on click only".
constexpr const char* kClickOnly = "65535";

constexpr int kDefaultFileCount = 14;
constexpr std::int32_t kShowRecentDocs = 2;

// --- the policy boxes ---------------------------------------------------------------

// A box that is checked while its policy does not restrict (see LoadPolicy). A
// checked box deletes the row's values; a cleared one writes them.
struct PolicyWrite {
  const char* value_name;
  std::int32_t when_cleared;
};
struct PolicyRow {
  const char* name;
  const char* group;
  Rect bounds;
  const char* caption;
  const char* read_value;
  PolicyWrite writes[2];  // the second may be empty
  bool restart;
};

// clang-format off
const PolicyRow kPolicies[] = {
    {kShowUserName, kGroupUser, layout::RowBounds(0), "Show user name in Start menu.", "NoUserNameInStartMenu",
     {{"NoUserNameInStartMenu", 1}, {nullptr, 0}}, true},
    {kShowLogoff, kGroupUser, layout::RowBounds(1), "Show Log Off button.", "StartMenuLogOff",
     {{"StartMenuLogOff", 1}, {nullptr, 0}}, true},
    {kMoveAndEdit, kGroupMoveAndEdit, layout::RowBounds(0, layout::kTwoLineRowHeight),
     "Enable moving shortcuts by dragging and dropping and editing via the context menu.", "Start_EnabledDragDrop",
     {{"NoChangeStartMenu", 1}, {"Start_EnabledDragDrop", 0}}, false},
};
// clang-format on

// --- the page -----------------------------------------------------------------------

class StartMenuPage : public ui::PageModule {
 public:
  int Tag() const override { return kTag; }
  void Build(ui::PageContext& ctx) override;
  void Adapt(ui::PageContext& ctx, int version_class) override;
  void Load(ui::PageContext& ctx) override;
  void Change(ui::PageContext& ctx, Component& sender) override;

 private:
  void LoadStartMenuGeneral(ui::PageContext& ctx);
  void LoadStartMenuRecentlyUse(ui::PageContext& ctx);
  void LoadStartMenuShortCut(ui::PageContext& ctx);
  void LoadMenuDelay(ui::PageContext& ctx);
  void LoadPolicy(ui::PageContext& ctx, const PolicyRow& row);
  void ChangeDelay(ui::PageContext& ctx);
  void ChangeRecentDocuments(ui::PageContext& ctx);
  void ChangePolicy(ui::PageContext& ctx, const PolicyRow& row);
};

void ShowDelay(ui::PageContext& ctx) {
  ctx.Find<Label>(kDelayLabel).SetCaption(std::to_string(ctx.Find<TrackBar>(kDelay).Position()) + "(ms)");
}

void EnableFileCount(ui::PageContext& ctx, bool enabled) {
  ctx.Find<Edit>(kFileCount).SetEnabled(enabled);
  ctx.Find<UpDown>(kFileCountUpDown).SetEnabled(enabled);
}

void StartMenuPage::Build(ui::PageContext& ctx) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forward = ctx.Forwarder();
  ui::PageContext* c = &ctx;
  constexpr Rect kDefaultButton = layout::SheetButtonBounds(0, 1);

  auto& pages = form.Create<PageControl>(ctx.Page(), kPageControl, layout::kPageControl);
  auto& common = form.Create<TabSheet>(pages, kTabCommon, Rect{}, "General");
  auto& recent = form.Create<TabSheet>(pages, kTabRecentlyUse, Rect{}, "Last Used");
  auto& shortcut = form.Create<TabSheet>(pages, kTabShortCut, Rect{}, "Shortcuts");
  pages.SetActivePageIndex(0);

  // General. The delay rows sit below the radios, so Vista's shorter group keeps the radios.
  auto& speed = form.Create<GroupBox>(common, kGroupSpeed, layout::GroupBounds(8, 124), "Show Menu Delay");
  form.Create<RadioButton>(speed, kAuto, layout::RowBounds(0), "Open menus automatically when pointing at them.")
      .OnClick = forward;
  form.Create<RadioButton>(speed, kClick, layout::RowBounds(1), "Open menu only via mouse click.").OnClick = forward;
  auto& delay = form.Create<TrackBar>(speed, kDelay, Rect{layout::kRowLeft, 66, 340, 28});
  delay.SetRange(0, kDelayMax);
  delay.SetFrequency(100);
  delay.SetPageSize(100);
  delay.SetPosition(kDesignDelay);
  delay.OnChange = forward;
  form.Create<Label>(speed, kDelayLabel, Rect{360, 74, 55, layout::kLabelHeight},
                     std::to_string(kDesignDelay) + "(ms)");
  form.Create<Label>(speed, kShortDelay, Rect{layout::kRowLeft, 100, 80, layout::kLabelHeight}, "Short delay");
  form.Create<Label>(speed, kLongDelay, Rect{272, 100, 80, layout::kLabelHeight}, "Long delay");
  form.Create<GroupBox>(common, kGroupUser, layout::GroupBounds(layout::GroupBelow(8, 124), 70), "User");
  form.Create<Button>(common, kDefaultCommon, kDefaultButton, "Default Settings").OnClick = [c](Component&) {
    DefaultSelect(c->Find<RadioButton>(kAuto));
    DefaultPosition(c->Find<TrackBar>(kDelay), kDefaultDelay);
    DefaultCheck(c->Find<CheckBox>(kShowUserName), kChecked);
    DefaultCheck(c->Find<CheckBox>(kShowLogoff), kChecked);
  };

  // Last Used. The count field's range and events come from the window's numeric fields.
  auto& documents = form.Create<GroupBox>(recent, kGroupDocument, layout::GroupBounds(8, 76), "Recently Used Files");
  form.Create<CheckBox>(documents, kSave, layout::RowBounds(0), "Save and display list of recently used files.")
      .OnClick = forward;
  form.Create<Label>(documents, kFileCountLabel, Rect{28, 48, 160, layout::kLabelHeight},
                     "Number of files in the menu:");
  form.Create<Edit>(documents, kFileCount, Rect{190, 44, 40, layout::kEditHeight});
  form.Create<UpDown>(documents, kFileCountUpDown, Rect{230, 44, 17, layout::kEditHeight});
  auto& programs = form.Create<GroupBox>(recent, kGroupProgram, layout::GroupBounds(92, 56), "Recently Used Programs");
  form.Create<Button>(programs, kProgramSet, Rect{layout::kRowLeft, 20, 100, layout::kButtonHeight}, "Settings").Hide();
  programs.Hide();
  form.Create<Button>(recent, kDefaultRecentlyUse, kDefaultButton, "Default Settings").OnClick = [c](Component&) {
    DefaultCheck(c->Find<CheckBox>(kSave), kChecked);
    DefaultPositionClicked(c->Find<UpDown>(kFileCountUpDown), kDefaultFileCount);
  };

  // Shortcuts.
  form.Create<GroupBox>(shortcut, kGroupMoveAndEdit, layout::GroupBounds(8, 62), "Move and Edit Shortcuts");
  form.Create<Button>(shortcut, kSortByName, Rect{layout::kGroupLeft, 78, 110, layout::kButtonHeight}, "Sort by name")
      .Hide();
  form.Create<Button>(shortcut, kEditInExplorer, Rect{124, 78, 110, layout::kButtonHeight}, "Edit in Explorer").Hide();
  form.Create<Button>(shortcut, kDefaultShortCut, kDefaultButton, "Default Settings").OnClick = [c](Component&) {
    DefaultCheck(c->Find<CheckBox>(kMoveAndEdit), kChecked);
  };

  for (const PolicyRow& row : kPolicies) {
    form.Create<CheckBox>(ctx.Find<GroupBox>(row.group), row.name, row.bounds, row.caption).OnClick = forward;
  }
}

void StartMenuPage::Adapt(ui::PageContext& ctx, int version_class) {
  if (version_class > 5) {
    for (const char* name : {kGroupUser, kShortDelay, kLongDelay, kDelayLabel, kDelay}) {
      ctx.Find<Control>(name).Hide();
    }
    ctx.Find<GroupBox>(kGroupSpeed).SetHeight(111);
  } else if (version_class < 5) {
    ctx.Find<CheckBox>(kShowUserName).SetEnabled(false);
  }
}

void StartMenuPage::Load(ui::PageContext& ctx) {
  LoadStartMenuGeneral(ctx);
  LoadStartMenuRecentlyUse(ctx);
  LoadStartMenuShortCut(ctx);
}

void StartMenuPage::LoadMenuDelay(ui::PageContext& ctx) {
  const TRegRecor r = Read(ctx.Queue(), HKCU, kDesktopKey, "MenuShowDelay");
  auto& delay = ctx.Find<TrackBar>(kDelay);
  if (r.Status != engine::kStatusFound) {
    ctx.Find<RadioButton>(kAuto).SetChecked(true);
    delay.SetPosition(kDesignDelay);
    ShowDelay(ctx);
    return;
  }
  const std::optional<std::string> text = ValueText(r.Value);
  if (text == kClickOnly) {
    ctx.Find<RadioButton>(kClick).SetChecked(true);
    delay.SetEnabled(false);
    return;
  }
  ctx.Find<RadioButton>(kAuto).SetChecked(true);
  if (!text) return;
  const std::string trimmed = Trimmed(*text);
  int position = kDesignDelay;
  if (!trimmed.empty()) {
    const auto n = AsNumber(engine::MakeText(trimmed));
    // Not a delay: the track bar and its label stay as they are.
    if (!n) return;
    position = *n > kDelayMax ? kTooLongDelay : *n;
  }
  delay.SetPosition(position);
  ShowDelay(ctx);
}

void StartMenuPage::LoadPolicy(ui::PageContext& ctx, const PolicyRow& row) {
  // A "No..." policy set to Disabled stores 0 and restricts nothing; a value the cleared
  // box itself stores as 0 restricts by its presence.
  bool zero_restricts = false;
  for (const PolicyWrite& w : row.writes) {
    if (w.value_name != nullptr && std::string_view(w.value_name) == row.read_value) zero_restricts = w.when_cleared == 0;
  }
  const TRegRecor r = Read(ctx.Queue(), HKCU, kPoliciesKey, row.read_value);
  const bool unrestricted = r.Status != engine::kStatusFound || (!zero_restricts && !NotZero(r.Value));
  ctx.Find<CheckBox>(row.name).SetChecked(unrestricted);
}

void StartMenuPage::LoadStartMenuGeneral(ui::PageContext& ctx) {
  Guarded([&] { LoadMenuDelay(ctx); });
  Guarded([&] {
    LoadPolicy(ctx, *RowNamed(kPolicies, kShowUserName));
    LoadPolicy(ctx, *RowNamed(kPolicies, kShowLogoff));
  });
}

void StartMenuPage::LoadStartMenuRecentlyUse(ui::PageContext& ctx) {
  Guarded([&] {
    const TRegRecor shown = Read(ctx.Queue(), HKCU, kAdvancedKey, "Start_ShowRecentDocs");
    const bool save = shown.Status != engine::kStatusFound || NotZero(shown.Value);
    ctx.Find<CheckBox>(kSave).SetChecked(save);
    if (!save) EnableFileCount(ctx, false);
    const TRegRecor count = Read(ctx.Queue(), HKCU, kPoliciesKey, "MaxRecentDocs");
    auto& updown = ctx.Find<UpDown>(kFileCountUpDown);
    if (count.Status != engine::kStatusFound) {
      updown.SetPosition(kDefaultFileCount);
    } else if (const auto n = AsNumber(count.Value)) {
      updown.SetPosition(*n);
    }
  });
}

void StartMenuPage::LoadStartMenuShortCut(ui::PageContext& ctx) {
  Guarded([&] { LoadPolicy(ctx, *RowNamed(kPolicies, kMoveAndEdit)); });
}

void StartMenuPage::ChangeDelay(ui::PageContext& ctx) {
  auto& delay = ctx.Find<TrackBar>(kDelay);
  std::string value;
  if (ctx.Find<RadioButton>(kClick).Checked()) {
    value = kClickOnly;
    delay.SetEnabled(false);
  } else {
    value = std::to_string(delay.Position());
    ShowDelay(ctx);
    delay.SetEnabled(true);
  }
  ctx.Queue().AddRecord(StringRecord(kDelayRecord, HKCU, kDesktopKey, "MenuShowDelay", std::move(value)));
}

// Shown and not shown write the same value under two names; the queue keeps whichever
// the user chose last.
void StartMenuPage::ChangeRecentDocuments(ui::PageContext& ctx) {
  TCorvanel& queue = ctx.Queue();
  if (ctx.Find<CheckBox>(kSave).Checked()) {
    queue.AddRecord(IntegerRecord(kSave, HKCU, kAdvancedKey, "Start_ShowRecentDocs", kShowRecentDocs));
    queue.AddRecord(IntegerRecord(std::string(kSave) + "1", HKCU, kPoliciesKey, "MaxRecentDocs",
                                  ctx.Find<UpDown>(kFileCountUpDown).Position()));
    EnableFileCount(ctx, true);
  } else {
    queue.AddRecord(IntegerRecord(kNoRecentRecord, HKCU, kAdvancedKey, "Start_ShowRecentDocs", 0));
    EnableFileCount(ctx, false);
  }
  ctx.Requests().RestartNeeded = true;
}

void StartMenuPage::ChangePolicy(ui::PageContext& ctx, const PolicyRow& row) {
  const bool checked = ctx.Find<CheckBox>(row.name).Checked();
  std::string name = row.name;
  for (const PolicyWrite& write : row.writes) {
    if (write.value_name == nullptr) break;
    ctx.Queue().AddRecord(checked ? engine::DeleteValueRecord(name, HKCU, kPoliciesKey, write.value_name)
                                  : IntegerRecord(name, HKCU, kPoliciesKey, write.value_name, write.when_cleared));
    name = std::string(row.name) + "1";
  }
  if (row.restart) ctx.Requests().RestartNeeded = true;
}

void StartMenuPage::Change(ui::PageContext& ctx, Component& sender) {
  const std::string_view name = sender.Name();
  if (name == kAuto || name == kClick || name == kDelay) {
    ChangeDelay(ctx);
  } else if (name == kSave || name == kFileCountUpDown) {
    ChangeRecentDocuments(ctx);
  } else if (const PolicyRow* row = RowNamed(kPolicies, name)) {
    ChangePolicy(ctx, *row);
  }
}

}  // namespace

std::unique_ptr<ui::PageModule> CreateStartMenuPage() { return std::make_unique<StartMenuPage>(); }

}  // namespace corvanel::pages
