// The Internet Explorer page. Everything but the Favorites tab is an HKCU value queued
// for Apply; the Favorites tab hides or shows a folder on disk at once, as Explorer's own
// folder properties would.
#include "pages/browser/internet_explorer.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
using forms::PageControl;
using forms::RadioButton;
using forms::TabSheet;
using forms::TrackBar;
using forms::TreeNode;
using forms::TreeView;
using forms::UpDown;
using lang::MessageId;
using platform::HKCU;
namespace win = platform::win;

constexpr int kTag = 8;

// --- names -------------------------------------------------------------------------

constexpr const char* kPageControl = "pagIE";
constexpr const char* kTabCommon = "TabSheet_IE_Common";
constexpr const char* kTabView = "TabSheet_IE_View";
constexpr const char* kTabFavorites = "TabSheet_IE_Favorites";
constexpr const char* kTabMenu = "TabSheet_IE_Menu";

constexpr const char* kHomepageLabel = "Label_IE_Common_Homepage_Address";
constexpr const char* kHomepage = "Edit_IE_Common_Homepage_Address";
constexpr const char* kWithBlank = "Button_IE_Common_Homepage_WithBlank";
constexpr const char* kKeepDaysLabel = "Label_IE_Common_History_KeepDays";
constexpr const char* kKeepDaysEdit = "Edit_IE_Common_History_KeepDays";
constexpr const char* kKeepDays = "Updown_IE_Common_History_KeepDays";
constexpr const char* kKeepDaysUnit = "Label_IE_Common_History_Days";
constexpr const char* kClearHistory = "Button_IE_Common_History_ClearHistory";
constexpr const char* kGroupMedia = "GroupBox_IE_Common_Media";
constexpr const char* kMedia = "Checkbox_IE_Common_Media_Open";
constexpr const char* kDefaultCommon = "Button_IE_Common_Default";

constexpr const char* kTitleLabel = "Label_IE_View_Title_Title";
constexpr const char* kTitle = "Edit_IE_View_Title_Title";
constexpr const char* kGroupToolBack = "GroupBox_IE_View_ToolBack";
constexpr const char* kBitmap = "Checkbox_IE_View_ToolBack_Bitmap";
constexpr const char* kPictureLabel = "Label_IE_View_ToolBack_Picture";
constexpr const char* kPicturePath = "Edit_IE_View_ToolBack_PicturePath";
constexpr const char* kBrowse = "Button_IE_View_ToolBack_Select";
constexpr const char* kGroupPictureToolbar = "GroupBox_IE_View_PictureToolbar";
constexpr const char* kPictureToolbarShow = "Checkbox_IE_View_PictureToolbar_Show";
constexpr const char* kPictureToolbarSize = "TrackBar_IE_View_PictureToolbar_Size";
constexpr const char* kDefaultView = "Button_IE_View_Default";
constexpr const char* kBackBitmapRecord = "BackBitmap";

constexpr const char* kTree = "Tree_IE_Favorites_Show";
constexpr const char* kHide = "Button_IE_Favorites_Hide";
constexpr const char* kHideCaption = "Label_IE_Favorites_Hide";
constexpr const char* kShowCaption = "Label_IE_Favorites_Show";

constexpr const char* kGroupFileMenu = "GroupBox_IE_Menu_File";
constexpr const char* kShowNew = "Radio_IE_Menu_File_ShowNew";
constexpr const char* kSubMenu = "Radio_IE_Menu_File_SubMenu";
constexpr const char* kGroupFileAddition = "GroupBox_IE_Menu_FileAddition";
constexpr const char* kFileAdditionSettings = "Button_IE_Menu_FileAddition_Settings";

// --- locations ---------------------------------------------------------------------

constexpr const char* kMainKey = "\\Software\\Microsoft\\Internet Explorer\\Main\\";
constexpr const char* kHistoryKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Url History\\";
constexpr const char* kRestrictionsKey = "\\Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions\\";
constexpr const char* kToolbarKey = "\\Software\\Microsoft\\Internet Explorer\\Toolbar\\";
constexpr const char* kPoliciesKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
constexpr const char* kTypedUrlsKey = "\\Software\\Microsoft\\Internet Explorer\\TypedURLs\\";
constexpr const char* kShellFoldersKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\";

constexpr int kKeepDaysDesign = 20;
constexpr const char* kBlankPage = "about:blank";

// The state images of the Favorites tree.
constexpr int kShownImage = 0;
constexpr int kHiddenImage = 1;

// SetFileAttributes: read-only, hidden, system, archive, temporary, offline, not indexed;
// and FILE_ATTRIBUTE_NORMAL, which stands alone.
constexpr std::uint32_t kSettableAttributes = 0x1 | 0x2 | 0x4 | 0x20 | 0x100 | 0x1000 | 0x2000;
constexpr std::uint32_t kNormalAttribute = 0x80;

// What a Favorites folder node carries.
struct TIEinfo {
  std::uint8_t Hidden = 0;  // 1: the folder has the hidden attribute
  std::string Path;
};

// --- the page -----------------------------------------------------------------------

class InternetExplorerPage : public ui::PageModule {
 public:
  int Tag() const override { return kTag; }
  void Build(ui::PageContext& ctx) override;
  void Adapt(ui::PageContext& ctx, int version_class) override;
  void Load(ui::PageContext& ctx) override;
  void Change(ui::PageContext& ctx, forms::Component& sender) override;

 private:
  void LoadIEDefaultSettings(ui::PageContext& ctx);
  void LoadIEView(ui::PageContext& ctx);
  void LoadIEFavorites(ui::PageContext& ctx);
  void LoadIEMenu(ui::PageContext& ctx);
  void ScanFavorites(ui::PageContext& ctx, TreeView& tree, TreeNode& node, const std::string& folder);

  void Button_IE_Common_History_ClearHistoryClick(ui::PageContext& ctx, forms::Component& sender);
  void Tree_IE_Favorites_ShowChange(ui::PageContext& ctx);
  void Button_IE_Favorites_HideClick(ui::PageContext& ctx);
  TIEinfo* InfoOf(const TreeNode* node) const;
  static void ShowBitmapChoice(ui::PageContext& ctx, bool checked);
  static void QueueBackBitmap(ui::PageContext& ctx);

  forms::NotifyEvent forward_;
  // Every folder's record, for the window's whole life; a node's Data is its index + 1.
  std::vector<std::unique_ptr<TIEinfo>> infos_;
};

template <class T>
T& Put(ui::PageContext& ctx, forms::Control& parent, const char* name, forms::Rect bounds,
       std::string caption = {}) {
  return ctx.Form().Create<T>(parent, name, bounds, std::move(caption));
}

void InternetExplorerPage::Build(ui::PageContext& ctx) {
  ui::PageContext* c = &ctx;
  forward_ = ctx.Forwarder();
  auto& pages = ctx.Form().Create<PageControl>(ctx.Page(), kPageControl, layout::kPageControl);
  auto& common = Put<TabSheet>(ctx, pages, kTabCommon, {}, "Default settings");
  auto& view = Put<TabSheet>(ctx, pages, kTabView, {}, "View");
  auto& favorites = Put<TabSheet>(ctx, pages, kTabFavorites, {}, "Favorites");
  auto& menu = Put<TabSheet>(ctx, pages, kTabMenu, {}, "Menu");
  pages.SetActivePageIndex(0);

  // Default settings. The history field's range, design position and events come from
  // the window's numeric fields; the home page edit's key releases too.
  Put<Label>(ctx, common, kHomepageLabel, {8, 15, 62, 13}, "Homepage:");
  Put<Edit>(ctx, common, kHomepage, {72, 12, 267, 21});
  Put<Button>(ctx, common, kWithBlank, {345, 10, 90, 25}, "Use Blank").OnClick = forward_;
  Put<Label>(ctx, common, kKeepDaysLabel, {8, 50, 110, 13}, "Remember history for");
  Put<Edit>(ctx, common, kKeepDaysEdit, {120, 46, 40, 21});
  Put<UpDown>(ctx, common, kKeepDays, {160, 46, 17, 21});
  Put<Label>(ctx, common, kKeepDaysUnit, {183, 50, 40, 13}, "days.");
  Put<Button>(ctx, common, kClearHistory, {345, 44, 90, 25}, "Clean History").OnClick =
      [this, c](forms::Component& sender) { Button_IE_Common_History_ClearHistoryClick(*c, sender); };
  ctx.Find<Button>(kClearHistory).Hide();
  auto& media = Put<GroupBox>(ctx, common, kGroupMedia, layout::GroupBounds(80, 46), "Media Bar");
  Put<CheckBox>(ctx, media, kMedia, layout::RowBounds(0),
                "Set a media bar so that you could play audio or video in IE.")
      .OnClick = forward_;
  Put<Button>(ctx, common, kDefaultCommon, layout::SheetButtonBounds(0, 1), "Default Settings ").Hide();

  // View.
  Put<Label>(ctx, view, kTitleLabel, {8, 15, 70, 13}, "Title for IE:");
  Put<Edit>(ctx, view, kTitle, {82, 12, 353, 21});
  auto& toolback = Put<GroupBox>(ctx, view, kGroupToolBack, layout::GroupBounds(46, 76), "Toolbar Background Image");
  Put<CheckBox>(ctx, toolback, kBitmap, layout::RowBounds(0), "Customize toolbar background image.").OnClick =
      forward_;
  Put<Label>(ctx, toolback, kPictureLabel, {12, 48, 40, 13}, "Image:");
  auto& path = Put<Edit>(ctx, toolback, kPicturePath, {56, 44, 253, 21});
  path.SetReadOnly(true);
  path.SetEnabled(false);
  auto& browse = Put<Button>(ctx, toolback, kBrowse, {315, 42, 100, 25}, "Browse");
  browse.SetEnabled(false);
  browse.OnClick = forward_;
  // Kept from an older form; nothing reads or writes them.
  auto& picture_toolbar =
      Put<GroupBox>(ctx, view, kGroupPictureToolbar, layout::GroupBounds(130, 80), "Image Toolbar");
  Put<CheckBox>(ctx, picture_toolbar, kPictureToolbarShow, layout::RowBounds(0), "Show image toolbar over images.");
  Put<TrackBar>(ctx, picture_toolbar, kPictureToolbarSize, {12, 42, 403, 28}).SetRange(100, 7000);
  picture_toolbar.Hide();
  Put<Button>(ctx, view, kDefaultView, layout::SheetButtonBounds(0, 1), "Default Settings").Hide();

  // Favorites.
  auto& tree = Put<TreeView>(ctx, favorites, kTree, {8, 8, 427, 318});
  tree.SetReadOnly(true);
  tree.OnChange = [this, c](forms::Component&) { Tree_IE_Favorites_ShowChange(*c); };
  auto& hide = Put<Button>(ctx, favorites, kHide, layout::SheetButtonBounds(0, 1), "Hide");
  hide.SetEnabled(false);
  hide.OnClick = [this, c](forms::Component&) { Button_IE_Favorites_HideClick(*c); };
  // Only the button's two captions, where the language file can translate them.
  Put<Label>(ctx, favorites, kHideCaption, {8, 340, 40, 13}, "Hide").Hide();
  Put<Label>(ctx, favorites, kShowCaption, {56, 340, 40, 13}, "Show").Hide();

  // Menu.
  auto& file_menu = Put<GroupBox>(ctx, menu, kGroupFileMenu, layout::GroupBounds(8, 68), "IE File Menu");
  Put<RadioButton>(ctx, file_menu, kShowNew, layout::RowBounds(0), "Show the New Window.").OnClick = forward_;
  Put<RadioButton>(ctx, file_menu, kSubMenu, layout::RowBounds(1), "Show the New Tab.").OnClick = forward_;
  auto& addition = Put<GroupBox>(ctx, menu, kGroupFileAddition, layout::GroupBounds(84, 52), "File Menu");
  Put<Button>(ctx, addition, kFileAdditionSettings, {12, 20, 90, 25}, "Settings");
  addition.Hide();
}

void InternetExplorerPage::Adapt(ui::PageContext& ctx, int version_class) {
  // The media bar left Internet Explorer with Windows XP; the toolbar bitmap with Vista.
  if (version_class > 4) ctx.Find<GroupBox>(kGroupMedia).Hide();
  if (version_class > 5) ctx.Find<GroupBox>(kGroupToolBack).Hide();
  // Internet Explorer 8 has neither the toolbar bitmap nor the old New entry.
  if (IsIE8OrLater(engine::GetIEVersion(ctx.Platform()))) {
    ctx.Find<GroupBox>(kGroupToolBack).Hide();
    ctx.Find<TabSheet>(kTabMenu).SetTabVisible(false);
  }
}

void InternetExplorerPage::Load(ui::PageContext& ctx) {
  LoadIEDefaultSettings(ctx);
  LoadIEView(ctx);
  LoadIEFavorites(ctx);
  LoadIEMenu(ctx);
}

void InternetExplorerPage::LoadIEDefaultSettings(ui::PageContext& ctx) {
  engine::TCorvanel& queue = ctx.Queue();
  Guarded([&] {
    const TRegRecor r = Read(queue, HKCU, kMainKey, "Start Page");
    if (r.Status != engine::kStatusFound) return;
    if (const auto text = ValueText(r.Value)) ctx.Find<Edit>(kHomepage).SetText(*text);
  });
  Guarded([&] {
    const TRegRecor r = Read(queue, HKCU, kHistoryKey, "DaysToKeep");
    auto& days = ctx.Find<UpDown>(kKeepDays);
    if (r.Status != engine::kStatusFound) {
      days.SetPosition(kKeepDaysDesign);
    } else if (const auto n = AsNumber(r.Value)) {
      days.SetPosition(*n);
    }
  });
  Guarded([&] {
    // A "No..." policy: only an explicit 0, or none at all, lets the bar be used.
    const TRegRecor r = Read(queue, HKCU, kRestrictionsKey, "No_LaunchMediaBar");
    const auto n = AsNumber(r.Value);
    ctx.Find<CheckBox>(kMedia).SetChecked(r.Status != engine::kStatusFound || (n.has_value() && *n == 0));
  });
}

void InternetExplorerPage::LoadIEView(ui::PageContext& ctx) {
  engine::TCorvanel& queue = ctx.Queue();
  Guarded([&] {
    const TRegRecor r = Read(queue, HKCU, kMainKey, "Window Title");
    if (r.Status != engine::kStatusFound) return;
    if (const auto text = ValueText(r.Value)) ctx.Find<Edit>(kTitle).SetText(*text);
  });
  if (ctx.VersionClass() >= 6) {
    ctx.Find<GroupBox>(kGroupToolBack).Hide();
    return;
  }
  Guarded([&] {
    const TRegRecor r = Read(queue, HKCU, kToolbarKey, "BackBitmap");
    const bool found = r.Status == engine::kStatusFound;
    ctx.Find<CheckBox>(kBitmap).SetChecked(found);
    ShowBitmapChoice(ctx, found);
    if (!found) return;
    if (const auto text = ValueText(r.Value)) ctx.Find<Edit>(kPicturePath).SetText(*text);
  });
}

void InternetExplorerPage::LoadIEFavorites(ui::PageContext& ctx) {
  Guarded([&] {
    const TRegRecor r = Read(ctx.Queue(), HKCU, kShellFoldersKey, "Favorites");
    if (r.Status != engine::kStatusFound || !r.Value.IsText()) return;
    auto& tree = ctx.Find<TreeView>(kTree);
    TreeNode& root = tree.AddNode(nullptr, ctx.Text(MessageId::D_Favorites));
    std::string folder = ctx.Platform().shell().ExpandEnvironment(r.Value.AsText());
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    ScanFavorites(ctx, tree, root, folder);
    root.SetExpanded(true);
  });
}

// Depth first, in the order the file system lists the entries. A junction is listed but
// not entered: one that points back up the tree would never end.
void InternetExplorerPage::ScanFavorites(ui::PageContext& ctx, TreeView& tree, TreeNode& node,
                                         const std::string& folder) {
  platform::Files& files = ctx.Platform().files();
  for (const std::string& name : files.List(folder, "*.*")) {
    if (name == "." || name == "..") continue;
    const std::string path = folder + "\\" + name;
    const std::uint32_t attributes = files.GetAttributes(path);
    if (attributes == win::INVALID_FILE_ATTRIBUTES || (attributes & win::FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
    auto info = std::make_unique<TIEinfo>();
    info->Hidden = (attributes & win::FILE_ATTRIBUTE_HIDDEN) != 0 ? 1 : 0;
    info->Path = path;
    TreeNode& child = tree.AddNode(&node, name);
    child.SetStateIndex(info->Hidden != 0 ? kHiddenImage : kShownImage);
    infos_.push_back(std::move(info));
    child.SetData(static_cast<std::int64_t>(infos_.size()));
    if ((attributes & win::FILE_ATTRIBUTE_REPARSE_POINT) == 0) ScanFavorites(ctx, tree, child, path);
  }
}

void InternetExplorerPage::LoadIEMenu(ui::PageContext& ctx) {
  Guarded([&] {
    const TRegRecor r = Read(ctx.Queue(), HKCU, kPoliciesKey, "NoExpandedNewMenu");
    if (r.Status != engine::kStatusFound) {
      ctx.Find<RadioButton>(kSubMenu).SetChecked(true);
      return;
    }
    // A value that is no number leaves the choice as the form has it.
    if (const auto n = AsNumber(r.Value)) ctx.Find<RadioButton>(*n > 0 ? kShowNew : kSubMenu).SetChecked(true);
  });
}

// --- changes ------------------------------------------------------------------------

void InternetExplorerPage::ShowBitmapChoice(ui::PageContext& ctx, bool checked) {
  ctx.Find<Edit>(kPicturePath).SetEnabled(checked);
  ctx.Find<Button>(kBrowse).SetEnabled(checked);
}

// A picture is set only while the box is checked and names one.
void InternetExplorerPage::QueueBackBitmap(ui::PageContext& ctx) {
  const std::string& path = ctx.Find<Edit>(kPicturePath).Text();
  if (ctx.Find<CheckBox>(kBitmap).Checked() && !Trimmed(path).empty()) {
    ctx.Queue().AddRecord(StringRecord(kBackBitmapRecord, HKCU, kToolbarKey, "BackBitmap", path));
  } else {
    ctx.Queue().AddRecord(engine::DeleteValueRecord(kBackBitmapRecord, HKCU, kToolbarKey, "BackBitmap"));
  }
}

void InternetExplorerPage::Change(ui::PageContext& ctx, forms::Component& sender) {
  const std::string_view name = sender.Name();
  engine::TCorvanel& queue = ctx.Queue();
  if (name == kHomepage || name == kWithBlank) {
    auto& edit = ctx.Find<Edit>(kHomepage);
    if (name == kWithBlank) edit.SetText(kBlankPage);
    queue.AddRecord(StringRecord(kHomepage, HKCU, kMainKey, "Start Page", edit.Text()));
  } else if (name == kKeepDays) {
    queue.AddRecord(IntegerRecord(kKeepDays, HKCU, kHistoryKey, "DaysToKeep", ctx.Find<UpDown>(kKeepDays).Position()));
  } else if (name == kMedia) {
    queue.AddRecord(FlagRecord(kMedia, HKCU, kRestrictionsKey, "No_LaunchMediaBar", ctx.Find<CheckBox>(kMedia).Checked(),
                               true));
  } else if (name == kClearHistory) {
    queue.AddRecord(engine::DeleteKeyRecord(kClearHistory, HKCU, kTypedUrlsKey));
  } else if (name == kTitle) {
    const std::string& title = ctx.Find<Edit>(kTitle).Text();
    if (Trimmed(title).empty()) {
      queue.AddRecord(engine::DeleteValueRecord(kTitle, HKCU, kMainKey, "Window Title"));
    } else {
      queue.AddRecord(StringRecord(kTitle, HKCU, kMainKey, "Window Title", title));
    }
  } else if (name == kBitmap) {
    ShowBitmapChoice(ctx, ctx.Find<CheckBox>(kBitmap).Checked());
    QueueBackBitmap(ctx);
  } else if (name == kBrowse) {
    std::string picked;
    if (ctx.Platform().dialogs().OpenFile(ctx.OwnerWindow(), {{"(*.BMP)", "*.BMP"}}, std::string(), &picked)) {
      ctx.Find<Edit>(kPicturePath).SetText(picked);
    }
    QueueBackBitmap(ctx);
  } else if (name == kShowNew || name == kSubMenu) {
    queue.AddRecord(IntegerRecord(kShowNew, HKCU, kPoliciesKey, "NoExpandedNewMenu", name == kShowNew ? 1 : 0));
  }
}

void InternetExplorerPage::Button_IE_Common_History_ClearHistoryClick(ui::PageContext& ctx,
                                                                      forms::Component& sender) {
  const int answer = ctx.Platform().dialogs().MessageBox(ctx.OwnerWindow(), ctx.Text(MessageId::D_ClearIEHistory),
                                                         ctx.Caption(), win::MB_YESNO | win::MB_ICONQUESTION);
  if (answer == win::IDYES) forward_(sender);
}

// --- Favorites ----------------------------------------------------------------------

TIEinfo* InternetExplorerPage::InfoOf(const TreeNode* node) const {
  if (node == nullptr || node->Parent() == nullptr) return nullptr;
  const std::int64_t index = node->Data() - 1;
  if (index < 0 || index >= static_cast<std::int64_t>(infos_.size())) return nullptr;
  return infos_[static_cast<std::size_t>(index)].get();
}

void InternetExplorerPage::Tree_IE_Favorites_ShowChange(ui::PageContext& ctx) {
  auto& hide = ctx.Find<Button>(kHide);
  TreeNode* selected = ctx.Find<TreeView>(kTree).Selected();
  const TIEinfo* info = InfoOf(selected);
  if (info == nullptr) {
    hide.SetEnabled(false);
    return;
  }
  selected->SetExpanded(true);
  hide.SetEnabled(true);
  hide.SetCaption(ctx.Find<Label>(info->Hidden != 0 ? kShowCaption : kHideCaption).Caption());
}

// Written to disk at once; only a change that took place is shown, and one that failed
// is said, so the tree never claims a state the folder does not have.
void InternetExplorerPage::Button_IE_Favorites_HideClick(ui::PageContext& ctx) {
  TreeNode* selected = ctx.Find<TreeView>(kTree).Selected();
  TIEinfo* info = InfoOf(selected);
  if (info == nullptr) return;
  platform::Files& files = ctx.Platform().files();
  const std::uint32_t attributes = files.GetAttributes(info->Path);
  bool changed = false;
  if (attributes != win::INVALID_FILE_ATTRIBUTES) {
    // Only what SetFileAttributes may set is passed on (a junction's own flag is not); an
    // empty set goes as FILE_ATTRIBUTE_NORMAL, since 0 would leave the attributes alone.
    std::uint32_t wanted = info->Hidden != 0 ? attributes & ~win::FILE_ATTRIBUTE_HIDDEN
                                             : attributes | win::FILE_ATTRIBUTE_HIDDEN;
    wanted &= kSettableAttributes;
    changed = files.SetAttributes(info->Path, wanted != 0 ? wanted : kNormalAttribute);
  }
  if (!changed) {
    const std::string error = std::to_string(files.LastError());
    const std::string text = lang::FormatMessage(ctx.Text(MessageId::D_FavoritesHideFailed), {info->Path, error});
    ctx.Platform().dialogs().MessageBox(ctx.OwnerWindow(), text, ctx.Caption(), win::MB_OK | win::MB_ICONWARNING);
    return;
  }
  info->Hidden = info->Hidden != 0 ? 0 : 1;
  selected->SetStateIndex(info->Hidden != 0 ? kHiddenImage : kShownImage);
  ctx.Find<Button>(kHide).SetCaption(ctx.Find<Label>(info->Hidden != 0 ? kShowCaption : kHideCaption).Caption());
}

}  // namespace

bool IsIE8OrLater(const std::string& version) {
  std::size_t i = 0;
  while (i < version.size() && version[i] == ' ') ++i;
  int major = 0;
  std::size_t digits = 0;
  // Five digits are more than any version has; more would only overflow.
  for (; i < version.size() && std::isdigit(static_cast<unsigned char>(version[i])) && digits < 5; ++i, ++digits) {
    major = major * 10 + (version[i] - '0');
  }
  return digits > 0 && major >= 8;
}

std::unique_ptr<ui::PageModule> CreateInternetExplorerPage() { return std::make_unique<InternetExplorerPage>(); }

}  // namespace corvanel::pages
