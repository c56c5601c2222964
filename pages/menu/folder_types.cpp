// The Folder Types page. Most rows are integer flags under Explorer's Advanced key; the
// tree-view verb, the three colours, the two track bars and the thumbnail size are
// written out below their table.
#include "pages/menu/folder_types.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/layout.h"
#include "pages/page_layout.h"
#include "pages/page_rows.h"
#include "ui/numeric_field.h"

namespace corvanel::pages {

namespace {

using forms::Button;
using forms::CheckBox;
using forms::Color;
using forms::Component;
using forms::Edit;
using forms::GroupBox;
using forms::Label;
using forms::PageControl;
using forms::Panel;
using forms::RadioButton;
using forms::Rect;
using forms::TabSheet;
using forms::TrackBar;
using forms::UpDown;
using lang::MessageId;
using platform::HKCR;
using platform::HKCU;
using platform::HKLM;

constexpr int kTag = 3;

// --- names -------------------------------------------------------------------------

constexpr const char* kPageControl = "pagctrlfloder";
constexpr const char* kTabView = "TabSheet_Folder_View";
constexpr const char* kTabList = "TabSheet_Folder_List";
constexpr const char* kTabThumbnail = "TabSheet_Folder_Thumbnail";
constexpr const char* kTabChoose = "TabSheet_Folder_Choose";
constexpr const char* kTabAdvanced = "TabSheet_Folder_Advanced";

constexpr const char* kGroupWindows = "Groupbox_Folder_View_Windows";
constexpr const char* kGroupBehavior = "Groupbox_Folder_View_BehaviorSet";
constexpr const char* kGroupDetails = "GroupBox_Folder_List_Details";
constexpr const char* kGroupColors = "GroupBox_Folder_List_EAndCFile";
constexpr const char* kGroupArrange = "GroupBox_Folder_List_ArrangeIcons";
constexpr const char* kGroupThumbSize = "GroupBox_Folder_Thumbnail_Size";
constexpr const char* kGroupThumbQuality = "GroupBox_Folder_Thumbnail_Quality";
constexpr const char* kGroupThumbCache = "GroupBox_Folder_Thumbnail_Cache";
constexpr const char* kGroupClick = "GroupBox_Folder_Choose_Click";
constexpr const char* kGroupChoose = "GroupBox_Folder_Choose_Choose";
constexpr const char* kGroupDesktop = "GroupBox_Folder_Advanced_Desktop";
constexpr const char* kGroupMyComputer = "GroupBox_Folder_Advanced_MyComputer";

constexpr const char* kTree = "Checkbox_Folder_View_Windows_Tree";
constexpr const char* kRestore = "Checkbox_Folder_View_Windows_Restore";
constexpr const char* kShowMenuBar = "Checkbox_Folder_View_Windows_ShowMenuBar";
constexpr const char* kDetails = "Checkbox_Folder_View_Windows_Details";
constexpr const char* kSaveViewSet = "Checkbox_Folder_View_BehaviorSet_SaveViewSet";
constexpr const char* kViewCount = "Trabar_Folder_View_BehaviorSet_SaveViewSetCount";
constexpr const char* kViewCountCaption = "Label_Folder_View_BehaviorSet_SaveViewSetCount";
constexpr const char* kViewCountShow = "Label_Folder_View_BehaviorSet_SaveViewSetCountShow";
constexpr const char* kFileTip = "Checkbox_Folder_List_Details_FileAndDesktopTip";
constexpr const char* kFolderTip = "Checkbox_Folder_List_Details_FolderTip";
constexpr const char* kCompColor = "Checkbox_Folder_List_EAndCFileWithColor";
constexpr const char* kCompressedLabel = "Label_Folder_List_CompressedFile";
constexpr const char* kCompressedSwatch = "Ctrbar_Folder_List_CompressedFile_Color";
constexpr const char* kCompressedChange = "Button_Folder_List_CompressedFile_Change";
constexpr const char* kEncryptedLabel = "Label_Folder_List_EncryptedFile";
constexpr const char* kEncryptedSwatch = "Ctrbar_Folder_List_EncryptedFile_Color";
constexpr const char* kEncryptedChange = "Button_Folder_List_EncryptedFile_Change";
constexpr const char* kWithNumber = "Radio_Folder_List_ArrangeIcons_WithNumber";
constexpr const char* kWithLetter = "Radio_Folder_List_ArrangeIcons_WithLetter";
constexpr const char* kThumbSizeCaption = "Label_Folder_Thumbnail_Size";
constexpr const char* kThumbSize = "Edit_Folder_Thumbnail_Size";
constexpr const char* kThumbSizeUpDown = "UpDown_Folder_Thumbnail_Size";
constexpr const char* kQuality = "Trackbar_Folder_Thumbnail_Quality";
constexpr const char* kQualityLow = "Label_Folder_Thumbnail_Quality_Low";
constexpr const char* kQualityHigh = "Label_Folder_Thumbnail_Quality_High";
constexpr const char* kCache = "Checkbox_Folder_Thumbnail_Cache";
constexpr const char* kHotTrackLabel = "Label_Folder_Choose_Click";
constexpr const char* kHotTrackSwatch = "Ctrbar_Folder_Choose_Click_Color";
constexpr const char* kHotTrackChange = "Button_Folder_Choose_Click_Change";
constexpr const char* kAutoCheck = "Checkbox_Folder_Choose_AddCheckBox";
constexpr const char* kDesktopSet = "Button_Folder_Advanced_Desktop_Set";
constexpr const char* kMyComputerSet = "Button_Folder_Advanced_MyComputer_Set";

constexpr const char* kDefaultView = "Button_Folder_View_BehaviorSet_Default";
constexpr const char* kDefaultList = "Button_Folder_List_Default";
constexpr const char* kDefaultThumbnail = "Button_Folder_Thumbnail_Default";

// --- locations ---------------------------------------------------------------------

constexpr const char* kAdvanced = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
constexpr const char* kExplorer = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
constexpr const char* kPolicies = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\Explorer\\";
constexpr const char* kShell = "\\Software\\Microsoft\\Windows\\Shell\\";
constexpr const char* kShellNoRoam = "\\Software\\Microsoft\\Windows\\ShellNoRoam\\";
constexpr const char* kColorsKey = "\\Control Panel\\Colors\\";
constexpr const char* kFolderShell = "\\Folder\\shell\\";
constexpr const char* kFolderExplore = "\\Folder\\shell\\explore\\";
constexpr const char* kFolderExploreCommand = "\\Folder\\shell\\explore\\Command";
constexpr const char* kExploreCommand = "%SystemRoot%\\Explorer.exe /e,/idlist,%I,%L";

// --- layout --------------------------------------------------------------------------

using layout::kRowHeight;
using layout::kRowLeft;
using layout::RowBounds;
constexpr Rect kDefaultButton = layout::SheetButtonBounds(0, 1);
// What class 5 and older take off the "Window" group (two rows instead of three).
constexpr int kWindowsGroupTrim = 20;

constexpr Color kDesignCompressed = 0xFF0000;  // blue
constexpr Color kDesignEncrypted = 0x008000;   // green
constexpr Color kDesignHotTrack = 12615935;

constexpr int kViewCountMin = 100;
constexpr int kViewCountMax = 7000;
constexpr int kViewCountDefault = 5000;
constexpr int kQualityDefault = 90;
constexpr int kThumbSizeDefault = 96;

// --- the flag boxes ----------------------------------------------------------------

enum class Tab { View, List, Thumbnail, Choose };

enum class Version { Any, AboveClass5 };

struct FlagRow {
  const char* name;
  const char* caption;
  Tab tab;
  const char* group;
  Rect bounds;
  bool visible;  // as the form defines it
  RegFlag flag;
  Version version;  // when the value is read at all
  BoxState default_state;
  // Checked only while the value is missing, whatever a stored value says.
  bool any_value_clears = false;
};

const FlagRow kFlags[] = {
    {kRestore, "Restore folder window opened last when logging on.", Tab::View, kGroupWindows, RowBounds(1), true,
     {HKCU, kAdvanced, "PersistBrowsers", FlagRead::kNonZero, false, kKeep}, Version::Any, kCleared},
    {kShowMenuBar, "Always show menu bar.", Tab::View, kGroupWindows, {220, 20, 195, kRowHeight}, false,
     {HKCU, kAdvanced, "AlwaysShowMenus", FlagRead::kEqualsOne, false, kChecked}, Version::AboveClass5, kKeep},
    // Checked deletes the policy value instead of writing 0; see Change.
    {kDetails, "Always show detailed information bar.", Tab::View, kGroupWindows, RowBounds(2), false,
     {HKCU, kPolicies, "NoPreviewPane", FlagRead::kNonZero, true, kChecked}, Version::AboveClass5, kChecked, true},
    {kSaveViewSet, "Save view settings of every folder.", Tab::View, kGroupBehavior, RowBounds(0), true,
     {HKCU, kAdvanced, "ClassicViewState", FlagRead::kNonZero, true, kChecked}, Version::Any, kChecked},
    {kFileTip, "Show pop-up above files and desktop elements.", Tab::List, kGroupDetails, RowBounds(0), true,
     {HKCU, kAdvanced, "ShowInfoTip", FlagRead::kNonZero, false, kChecked}, Version::Any, kChecked},
    {kFolderTip, "Display content information in a popup above folder.", Tab::List, kGroupDetails, RowBounds(1), true,
     {HKCU, kAdvanced, "FolderContentsInfoTip", FlagRead::kNonZero, false, kChecked}, Version::Any, kChecked},
    {kCompColor, "Show encrypted and compressed elements in other colors.", Tab::List, kGroupColors, RowBounds(0),
     true, {HKCU, kAdvanced, "ShowCompColor", FlagRead::kNonZero, false, kCleared}, Version::Any, kChecked},
    {kCache, "Cache thumbnails for faster loading.", Tab::Thumbnail, kGroupThumbCache, RowBounds(0), true,
     {HKCU, kAdvanced, "DisableThumbnailCache", FlagRead::kNonZero, true, kKeep}, Version::Any, kChecked},
    {kAutoCheck, "Add check box for selected items.", Tab::Choose, kGroupChoose, RowBounds(0), true,
     {HKCU, kAdvanced, "AutoCheckSelect", FlagRead::kEqualsOne, false, kKeep}, Version::AboveClass5, kKeep},
};

const FlagRow& Flag(std::string_view name) { return *RowNamed(kFlags, name); }

// --- the colour swatches -----------------------------------------------------------

enum class ColorStore {
  ThreeBytes,  // binary; read as a little-endian number, written as red, green, blue
  Text,        // "red green blue" in decimal
};

struct ColorRow {
  const char* button;
  const char* swatch;
  const char* value;
  const char* key;
  ColorStore store;
};

const ColorRow kColors[] = {
    {kCompressedChange, kCompressedSwatch, "AltColor", kExplorer, ColorStore::ThreeBytes},
    {kEncryptedChange, kEncryptedSwatch, "AltEncryptionColor", kExplorer, ColorStore::ThreeBytes},
    {kHotTrackChange, kHotTrackSwatch, "HotTrackingColor", kColorsKey, ColorStore::Text},
};

const ColorRow* FindColor(std::string_view button) { return RowNamed(kColors, button, &ColorRow::button); }

std::uint8_t Red(Color c) { return static_cast<std::uint8_t>(c & 0xFF); }
std::uint8_t Green(Color c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
std::uint8_t Blue(Color c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }

// The low 32 bits of a little-endian byte string; nullopt for no bytes.
std::optional<Color> ColorOfBytes(const engine::Value::Bytes& bytes) {
  if (bytes.empty()) return std::nullopt;
  Color c = 0;
  for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) c |= static_cast<Color>(bytes[i]) << (8 * i);
  return c;
}

// "red green blue": three decimal numbers of 0 to 255 separated by blanks. Anything else
// is not a colour the system would use either.
std::optional<Color> ColorOfText(std::string_view text) {
  std::array<Color, 3> parts{};
  std::size_t count = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    if (count == parts.size()) return std::nullopt;
    unsigned n = 0;
    const auto [end, ec] = std::from_chars(text.data() + i, text.data() + text.size(), n);
    if (ec != std::errc() || n > 255) return std::nullopt;
    i = static_cast<std::size_t>(end - text.data());
    if (i < text.size() && text[i] != ' ') return std::nullopt;
    parts[count++] = n;
  }
  if (count != parts.size()) return std::nullopt;
  return parts[0] + parts[1] * 256 + parts[2] * 65536;
}

std::string TextOfColor(Color c) {
  return std::to_string(Red(c)) + " " + std::to_string(Green(c)) + " " + std::to_string(Blue(c));
}

// --- the page ------------------------------------------------------------------------

class FolderTypesPage : public ui::PageModule {
 public:
  explicit FolderTypesPage(folder_dialog::ShowModal show_modal) : show_modal_(std::move(show_modal)) {}

  int Tag() const override { return kTag; }

  void Build(ui::PageContext& ctx) override {
    ui::PageContext* c = &ctx;
    forward_ = ctx.Forwarder();
    auto& pages = ctx.Form().Create<PageControl>(ctx.Page(), kPageControl, layout::kPageControl);
    auto& view = ctx.Form().Create<TabSheet>(pages, kTabView, {}, "View");
    auto& list = ctx.Form().Create<TabSheet>(pages, kTabList, {}, "List");
    auto& thumbnail = ctx.Form().Create<TabSheet>(pages, kTabThumbnail, {}, "Thumbnails");
    auto& choose = ctx.Form().Create<TabSheet>(pages, kTabChoose, {}, "Selection");
    auto& advanced = ctx.Form().Create<TabSheet>(pages, kTabAdvanced, {}, "Advanced");

    // View.
    Group(ctx, view, kGroupWindows, 8, 92, "Window");
    Group(ctx, view, kGroupBehavior, 108, 108, "Behave Settings");
    Box(ctx, kGroupWindows, kTree, RowBounds(0), "Always show tree view in folder windows.");
    Flags(ctx, Tab::View);
    Put<Label>(ctx, kGroupBehavior, kViewCountCaption, {kRowLeft, 46, 250, 13}, "Number of save folder views:");
    auto& count = Put<TrackBar>(ctx, kGroupBehavior, kViewCount, {kRowLeft, 64, 350, 28});
    count.SetRange(kViewCountMin, kViewCountMax);
    count.SetFrequency(500);
    count.SetPageSize(100);
    count.SetPosition(kViewCountDefault);
    count.OnChange = forward_;
    Put<Label>(ctx, kGroupBehavior, kViewCountShow, {370, 72, 45, 13}, std::to_string(kViewCountDefault));
    DefaultButton(ctx, view, kDefaultView, [this, c] { DefaultViewClick(*c); });

    // List.
    Group(ctx, list, kGroupDetails, 8, 68, "Pop-up With Detailed Information");
    Group(ctx, list, kGroupColors, 84, 104, "Encrypted and Compressed Elements");
    Group(ctx, list, kGroupArrange, 196, 68, "Icon Arrangement");
    Flags(ctx, Tab::List);
    ColorLine(ctx, kCompressedLabel, "Compressed elements:", kCompressedSwatch, kDesignCompressed, kCompressedChange,
              44, false);
    ColorLine(ctx, kEncryptedLabel, "Encrypted elements:", kEncryptedSwatch, kDesignEncrypted, kEncryptedChange, 72,
              true);
    Put<RadioButton>(ctx, kGroupArrange, kWithNumber, RowBounds(0),
                     "Sort numerically and alphabetically")
        .OnClick = forward_;
    Put<RadioButton>(ctx, kGroupArrange, kWithLetter, RowBounds(1), "Sort alphabetically")
        .OnClick = forward_;
    DefaultButton(ctx, list, kDefaultList, [this, c] { DefaultListClick(*c); });

    // Thumbnails. The size field's range and events come from the window's numeric fields.
    Group(ctx, thumbnail, kGroupThumbSize, 8, 52, "Thumbnails Size");
    Group(ctx, thumbnail, kGroupThumbQuality, 68, 60, "Picture Quality");
    Group(ctx, thumbnail, kGroupThumbCache, 136, 46, "Cache");
    Put<Label>(ctx, kGroupThumbSize, kThumbSizeCaption, {kRowLeft, 26, 120, 13}, "Thumbnails Size:(H)");
    Put<Edit>(ctx, kGroupThumbSize, kThumbSize, {140, 22, 50, 21});
    Put<UpDown>(ctx, kGroupThumbSize, kThumbSizeUpDown, {190, 22, 17, 21});
    Put<Label>(ctx, kGroupThumbQuality, kQualityLow, {kRowLeft, 30, 30, 13}, "Low");
    auto& quality = Put<TrackBar>(ctx, kGroupThumbQuality, kQuality, {48, 22, 330, 28});
    quality.SetRange(0, 100);
    quality.SetFrequency(10);
    quality.SetPageSize(10);
    quality.SetPosition(kQualityDefault);
    quality.OnChange = forward_;
    Put<Label>(ctx, kGroupThumbQuality, kQualityHigh, {384, 30, 31, 13}, "High");
    Flags(ctx, Tab::Thumbnail);
    DefaultButton(ctx, thumbnail, kDefaultThumbnail, [this, c] { DefaultThumbnailClick(*c); });

    // Selection.
    Group(ctx, choose, kGroupClick, 8, 56, "Simply Click to Open");
    Group(ctx, choose, kGroupChoose, 72, 46, "Selection").Hide();
    Put<Label>(ctx, kGroupClick, kHotTrackLabel, {kRowLeft, 26, 120, 13}, "Hot-tracking color:");
    Put<Panel>(ctx, kGroupClick, kHotTrackSwatch, {140, 22, 40, 21}).SetBackgroundColor(kDesignHotTrack);
    Put<Button>(ctx, kGroupClick, kHotTrackChange, {190, 20, 75, 25}, "Change").OnClick = forward_;
    Flags(ctx, Tab::Choose);

    // Advanced.
    Group(ctx, advanced, kGroupDesktop, 8, 56, "Desktop");
    Group(ctx, advanced, kGroupMyComputer, 72, 56, "My Computer");
    Put<Button>(ctx, kGroupDesktop, kDesktopSet, {kRowLeft, 22, 100, 25}, "Settings").OnClick =
        [this, c](Component&) { OpenFolderDialog(*c, folder_dialog::kDesktopMode, MessageId::D_Desktop); };
    Put<Button>(ctx, kGroupMyComputer, kMyComputerSet, {kRowLeft, 22, 100, 25}, "Settings ").OnClick =
        [this, c](Component&) { OpenFolderDialog(*c, folder_dialog::kDrivesMode, MessageId::D_Drivers); };
  }

  void Adapt(ui::PageContext& ctx, int version_class) override {
    if (version_class > 5) {
      ctx.Find<CheckBox>(kTree).Hide();
      auto& menu_bar = ctx.Find<CheckBox>(kShowMenuBar);
      forms::MoveToLeftOf(menu_bar, ctx.Find<CheckBox>(kTree));
      menu_bar.Show();
      ctx.Find<CheckBox>(kDetails).Show();
      ctx.Find<GroupBox>(kGroupChoose).Show();
      ctx.Find<PageControl>(kPageControl).Page(2)->SetTabVisible(false);
      return;
    }
    if (version_class < 5) {
      for (const char* name : {kRestore, kFolderTip, kWithLetter, kWithNumber, kGroupArrange}) {
        ctx.Find<forms::Control>(name).SetEnabled(false);
      }
    }
    forms::ShrinkHeight(ctx.Find<GroupBox>(kGroupWindows), kWindowsGroupTrim);
    forms::MoveUp(ctx.Find<GroupBox>(kGroupBehavior), kWindowsGroupTrim);
  }

  void Load(ui::PageContext& ctx) override {
    LoadFolderView(ctx);
    LoadFolderList(ctx);
    LoadFolderThumbnail(ctx);
    LoadFolderSelection(ctx);
    // LoadFolderAdvanced: that tab only opens the folder dialog, which reads for itself.
  }

  void Change(ui::PageContext& ctx, Component& sender) override {
    const std::string& name = sender.Name();
    TCorvanel& queue = ctx.Queue();
    if (name == kTree) {
      ChangeTree(queue, ctx.Find<CheckBox>(kTree).Checked());
    } else if (name == kDetails) {
      if (ctx.Find<CheckBox>(kDetails).Checked()) {
        queue.AddRecord(engine::DeleteValueRecord(kDetails, HKCU, kPolicies, "NoPreviewPane"));
      } else {
        queue.AddRecord(IntegerRecord(kDetails, HKCU, kPolicies, "NoPreviewPane", 1));
      }
      ctx.Requests().RestartNeeded = true;
    } else if (const FlagRow* row = RowNamed(kFlags, name)) {
      const bool checked = ctx.Find<CheckBox>(row->name).Checked();
      queue.AddRecord(FlagRecord(row->name, row->flag, checked));
      FlagDependents(ctx, *row, checked);
    } else if (name == kViewCount) {
      const int position = ctx.Find<TrackBar>(kViewCount).Position();
      ShowViewCount(ctx);
      queue.AddRecord(IntegerRecord(std::string(kViewCount) + "1", HKCU, kShell, "BagMRU Size", position));
      queue.AddRecord(IntegerRecord(std::string(kViewCount) + "2", HKCU, kShellNoRoam, "BagMRU Size", position));
    } else if (name == kWithNumber || name == kWithLetter) {
      queue.AddRecord(IntegerRecord(kWithLetter, HKLM, kPolicies, "NoStrCmpLogical",
                                    ctx.Find<RadioButton>(kWithLetter).Checked() ? 1 : 0));
    } else if (name == kThumbSize) {
      const std::string text = Trimmed(ctx.Find<Edit>(kThumbSize).Text());
      int size = 0;
      // A pasted text that is no number is not a size to store.
      if (text.empty() || ui::ParseNumber(text, &size)) {
        queue.AddRecord(IntegerRecord(kThumbSize, HKCU, kExplorer, "ThumbnailSize", size));
      }
    } else if (name == kQuality) {
      queue.AddRecord(
          IntegerRecord(kQuality, HKCU, kExplorer, "ThumbnailQuality", ctx.Find<TrackBar>(kQuality).Position()));
    } else if (const ColorRow* color = FindColor(name)) {
      ChangeColor(ctx, *color);
    }
  }

 private:
  // --- building ---

  template <class T>
  T& Put(ui::PageContext& ctx, const char* parent, const char* name, Rect bounds, std::string caption = {}) {
    return ctx.Form().Create<T>(ctx.Find<forms::Control>(parent), name, bounds, std::move(caption));
  }

  GroupBox& Group(ui::PageContext& ctx, TabSheet& sheet, const char* name, int top, int height, const char* caption) {
    return ctx.Form().Create<GroupBox>(sheet, name, layout::GroupBounds(top, height), caption);
  }

  CheckBox& Box(ui::PageContext& ctx, const char* group, const char* name, Rect bounds, const char* caption) {
    auto& box = Put<CheckBox>(ctx, group, name, bounds, caption);
    box.OnClick = forward_;
    return box;
  }

  void Flags(ui::PageContext& ctx, Tab tab) {
    for (const FlagRow& row : kFlags) {
      if (row.tab != tab) continue;
      Box(ctx, row.group, row.name, row.bounds, row.caption).SetVisible(row.visible);
    }
  }

  void ColorLine(ui::PageContext& ctx, const char* label, const char* caption, const char* swatch, Color color,
                 const char* button, int top, bool visible) {
    Put<Label>(ctx, kGroupColors, label, {28, top + 4, 130, 13}, caption).SetVisible(visible);
    auto& bar = Put<Panel>(ctx, kGroupColors, swatch, {160, top, 40, 21});
    bar.SetBackgroundColor(color);
    bar.SetVisible(visible);
    auto& change = Put<Button>(ctx, kGroupColors, button, {210, top - 2, 75, 25}, "Change");
    change.OnClick = forward_;
    change.SetVisible(visible);
  }

  void DefaultButton(ui::PageContext& ctx, TabSheet& sheet, const char* name, std::function<void()> click) {
    ctx.Form().Create<Button>(sheet, name, kDefaultButton, "Default Settings").OnClick =
        [click = std::move(click)](Component&) { click(); };
  }

  // --- loading ---

  void LoadFolderView(ui::PageContext& ctx) {
    TCorvanel& q = ctx.Queue();
    if (ctx.VersionClass() > 5) {
      LoadFlag(ctx, Flag(kShowMenuBar));
      LoadFlag(ctx, Flag(kDetails));
    } else {
      Guarded([&] {
        const TRegRecor r = Read(q, HKCR, kFolderShell, "");
        if (r.Status == engine::kStatusFound && r.Value.IsText()) {
          ctx.Find<CheckBox>(kTree).SetChecked(r.Value.AsText() == "explore");
        }
      });
    }
    LoadFlag(ctx, Flag(kRestore));
    LoadFlag(ctx, Flag(kSaveViewSet));
    Guarded([&] {
      auto& count = ctx.Find<TrackBar>(kViewCount);
      if (const auto n = ReadNumber(q, HKCU, kShell, "BagMRU Size")) count.SetPosition(*n);
    });
    ShowViewCount(ctx);
  }

  void LoadFolderList(ui::PageContext& ctx) {
    LoadFlag(ctx, Flag(kFileTip));
    LoadFlag(ctx, Flag(kFolderTip));
    Guarded([&] {
      const BoxState by_letter =
          ReadFlag(ctx.Queue(), {HKLM, kPolicies, "NoStrCmpLogical", FlagRead::kNonZero, false, kCleared});
      if (by_letter) ctx.Find<RadioButton>(*by_letter ? kWithLetter : kWithNumber).SetChecked(true);
    });
    LoadFlag(ctx, Flag(kCompColor));
    LoadColor(ctx, *FindColor(kCompressedChange));
    LoadColor(ctx, *FindColor(kEncryptedChange));
  }

  void LoadFolderThumbnail(ui::PageContext& ctx) {
    Guarded([&] {
      if (const auto n = ReadNumber(ctx.Queue(), HKCU, kExplorer, "ThumbnailSize"))
        ctx.Find<UpDown>(kThumbSizeUpDown).SetPosition(*n);
    });
    Guarded([&] {
      if (const auto n = ReadNumber(ctx.Queue(), HKCU, kExplorer, "ThumbnailQuality"))
        ctx.Find<TrackBar>(kQuality).SetPosition(*n);
    });
    LoadFlag(ctx, Flag(kCache));
  }

  void LoadFolderSelection(ui::PageContext& ctx) {
    LoadColor(ctx, *FindColor(kHotTrackChange));
    if (ctx.VersionClass() > 5) LoadFlag(ctx, Flag(kAutoCheck));
  }

  void LoadFlag(ui::PageContext& ctx, const FlagRow& row) {
    Guarded([&] {
      BoxState checked;
      if (!row.any_value_clears) {
        checked = ReadFlag(ctx.Queue(), row.flag);
      } else if (Read(ctx.Queue(), row.flag.root, row.flag.key_path, row.flag.value_name).Status ==
                 engine::kStatusFound) {
        checked = kCleared;
      } else {
        checked = row.flag.missing;
      }
      // Not a number where one is expected: the box keeps its state.
      if (!checked) return;
      ctx.Find<CheckBox>(row.name).SetChecked(*checked);
      LoadDependents(ctx, row, *checked);
    });
  }

  // The enabled states a loaded box decides (its click event is ignored while loading).
  static void LoadDependents(ui::PageContext& ctx, const FlagRow& row, bool checked) {
    const std::string_view name = row.name;
    if (name == kSaveViewSet) {
      ctx.Find<TrackBar>(kViewCount).SetEnabled(checked);
    } else if (name == kFileTip) {
      if (!checked) ctx.Find<CheckBox>(kFolderTip).SetEnabled(false);
    } else if (name == kCompColor) {
      ctx.Find<Button>(kCompressedChange).SetEnabled(checked);
      ctx.Find<Button>(kEncryptedChange).SetEnabled(checked);
    }
  }

  // The enabled states a clicked box decides.
  static void FlagDependents(ui::PageContext& ctx, const FlagRow& row, bool checked) {
    const std::string_view name = row.name;
    if (name == kSaveViewSet) {
      ctx.Find<TrackBar>(kViewCount).SetEnabled(checked);
    } else if (name == kFileTip) {
      // Windows 2000 has no folder info tips: the box stays disabled there.
      ctx.Find<CheckBox>(kFolderTip).SetEnabled(checked && ctx.VersionClass() >= 5);
    } else if (name == kCompColor) {
      for (const char* control : {kCompressedLabel, kEncryptedLabel, kCompressedChange, kEncryptedChange}) {
        ctx.Find<forms::Control>(control).SetEnabled(checked);
      }
    }
  }

  void LoadColor(ui::PageContext& ctx, const ColorRow& row) {
    Guarded([&] {
      const TRegRecor r = Read(ctx.Queue(), HKCU, row.key, row.value);
      if (r.Status != engine::kStatusFound) return;
      std::optional<Color> color;
      if (row.store == ColorStore::ThreeBytes && r.Value.IsBytes()) {
        color = ColorOfBytes(r.Value.AsBytes());
      } else if (row.store == ColorStore::Text && r.Value.IsText()) {
        color = ColorOfText(r.Value.AsText());
      }
      if (color) ctx.Find<Panel>(row.swatch).SetBackgroundColor(*color);
    });
  }

  static void ShowViewCount(ui::PageContext& ctx) {
    ctx.Find<Label>(kViewCountShow).SetCaption(std::to_string(ctx.Find<TrackBar>(kViewCount).Position()));
  }

  // --- changes written out ---

  static void ChangeTree(TCorvanel& queue, bool checked) {
    if (!checked) {
      queue.AddRecord(StringRecord(kTree, HKCR, kFolderShell, "", ""));
      return;
    }
    queue.AddRecord(StringRecord(kTree, HKCR, kFolderShell, "", "explore"));
    // Windows that lack the verb get one that opens Explorer with its tree.
    if (queue.TestValue(engine::ReadRecord(HKCR, kFolderExplore, "")) == engine::kStatusFound) return;
    queue.AddRecord(IntegerRecord(std::string(kTree) + "1", HKCR, kFolderExplore, "BrowserFlags", 22));
    queue.AddRecord(IntegerRecord(std::string(kTree) + "2", HKCR, kFolderExplore, "ExplorerFlags", 22));
    queue.AddRecord(StringRecord(std::string(kTree) + "3", HKCR, kFolderExploreCommand, "", kExploreCommand));
  }

  static void ChangeColor(ui::PageContext& ctx, const ColorRow& row) {
    std::uint32_t chosen = 0;
    if (!ctx.Platform().dialogs().ChooseColor(ctx.OwnerWindow(), &chosen)) return;
    const Color color = chosen & 0xFFFFFF;
    ctx.Find<Panel>(row.swatch).SetBackgroundColor(color);
    if (row.store == ColorStore::ThreeBytes) {
      ctx.Queue().AddRecord(
          BinaryRecord(row.button, HKCU, row.key, row.value, {Red(color), Green(color), Blue(color)}));
    } else {
      ctx.Queue().AddRecord(StringRecord(row.button, HKCU, row.key, row.value, TextOfColor(color)));
    }
  }

  // --- buttons ---

  // Default buttons only set states; the controls' own events queue what changes.
  static void SetDefaults(ui::PageContext& ctx, Tab tab) {
    for (const FlagRow& row : kFlags) {
      if (row.tab == tab) DefaultCheck(ctx.Find<CheckBox>(row.name), row.default_state);
    }
  }

  static void DefaultViewClick(ui::PageContext& ctx) {
    DefaultCheck(ctx.Find<CheckBox>(kTree), kCleared);
    SetDefaults(ctx, Tab::View);
    DefaultPosition(ctx.Find<TrackBar>(kViewCount), kViewCountDefault);
  }

  static void DefaultListClick(ui::PageContext& ctx) {
    SetDefaults(ctx, Tab::List);
    DefaultSelect(ctx.Find<RadioButton>(kWithNumber));
  }

  static void DefaultThumbnailClick(ui::PageContext& ctx) {
    DefaultPosition(ctx.Find<UpDown>(kThumbSizeUpDown), kThumbSizeDefault);
    DefaultPosition(ctx.Find<TrackBar>(kQuality), kQualityDefault);
    SetDefaults(ctx, Tab::Thumbnail);
  }

  void OpenFolderDialog(ui::PageContext& ctx, int mode, MessageId caption) {
    try {
      const folder_dialog::ShowModal show =
          show_modal_ ? show_modal_ : [&ctx](forms::Form& dialog) { return ctx.ShowModal(dialog); };
      folder_dialog::RunFolderDialog(ctx.Platform(), ctx.VersionClass(), ctx.Language(), mode, ctx.Text(caption),
                                     ctx.OwnerWindow(), show);
    } catch (const std::exception&) {
      // The dialog could not be built or shown; it is gone again and nothing was written.
    }
  }

  folder_dialog::ShowModal show_modal_;
  forms::NotifyEvent forward_;
};

}  // namespace

std::unique_ptr<ui::PageModule> CreateFolderTypesPage(folder_dialog::ShowModal show_modal) {
  return std::make_unique<FolderTypesPage>(std::move(show_modal));
}

}  // namespace corvanel::pages
