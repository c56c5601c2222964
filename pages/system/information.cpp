#include "pages/system/information.h"

#include <string>
#include <vector>

#include "pages/page_layout.h"
#include "pages/page_rows.h"

namespace corvanel::pages {
namespace {

using forms::Button;
using forms::CheckBox;
using forms::ComboBox;
using forms::Edit;
using forms::GroupBox;
using forms::Label;
using forms::Rect;
using forms::TabSheet;
using platform::HKCU;
using platform::HKLM;

constexpr int kTag = 17;

constexpr const char* kPages = "pagcmd";
constexpr const char* kCurrentVersionKey = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\";
constexpr const char* kUserInfoKey = "\\Software\\Microsoft\\MS Setup (ACME)\\User Info\\";
constexpr const char* kComdlgKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\comdlg32\\";
constexpr const char* kAutoCompleteKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete\\";
constexpr const char* kCabinetStateKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CabinetState\\";
constexpr const char* kIndexServiceKey = "\\SYSTEM\\CurrentControlSet\\Services\\CiSvc\\";
constexpr const char* kConsoleKey = "\\Software\\Microsoft\\Command Processor\\";

constexpr const char* kOwner = "Edit_System_Common_Infomation_Name";
constexpr const char* kOrganization = "Edit_System_Common_Infomation_Company";
constexpr const char* kInstallerName = "Edit_System_Common_Installer_Name";
constexpr const char* kInstallerCompany = "Edit_System_Common_Installer_Company";
constexpr const char* kAutoFill = "Checkbox_System_CommonDialog_FileName_Autofinish";
constexpr const char* kRecent = "Checkbox_System_CommonDialog_FileName_Recent";
constexpr const char* kPlacesBar = "Checkbox_System_CommonDialog_FolderNavigation_ShowLeft";
constexpr const char* kBackButton = "Checkbox_System_CommonDialog_FolderNavigation_ShowReturn";
constexpr const char* kClassicSearch = "Checkbox_System_Search_IndexService_ClassicSearch_InExplorer";
constexpr const char* kNoIndexing = "Checkbox_System_Search_IndexService_Enabled";
constexpr const char* kBackground = "CMboundColor";
constexpr const char* kFont = "CMfontcolor";

// The four text fields, each a string value shown and written as it is.
struct TextRow {
  const char* name;
  RegKey root;
  const char* key;
  const char* value;
};
constexpr TextRow kTexts[] = {
    {kOwner, HKLM, kCurrentVersionKey, "RegisteredOwner"},
    {kOrganization, HKLM, kCurrentVersionKey, "RegisteredOrganization"},
    {kInstallerName, HKCU, kUserInfoKey, "DefName"},
    {kInstallerCompany, HKCU, kUserInfoKey, "DefCompany"},
};

// The Common Dialogs boxes; all checked unless Windows was told otherwise.
struct FlagRow {
  const char* name;
  RegFlag flag;
};
const FlagRow kDialogFlags[] = {
    {kAutoFill, {HKCU, kAutoCompleteKey, "AutoComplete In File Dialog", FlagRead::kNonZero, false, kChecked}},
    {kRecent, {HKCU, kComdlgKey, "NoFileMru", FlagRead::kEqualsOne, true, kChecked}},
    {kPlacesBar, {HKCU, kComdlgKey, "NoPlacesBar", FlagRead::kEqualsOne, true, kChecked}},
    {kBackButton, {HKCU, kComdlgKey, "NoBackButton", FlagRead::kEqualsOne, true, kChecked}},
};

// The console's colour order.
const std::vector<std::string> kColors = {
    "Black", "Blue",       "Green",       "Aqua",       "Red",       "Purple",       "Yellow",       "White",
    "Gray",  "Light Blue", "Light Green", "Light Aqua", "Light Red", "Light Purple", "Light Yellow", "Bright White",
};
constexpr int kBlack = 0;
constexpr int kWhite = 7;

class InformationPage : public ui::PageModule {
 public:
  int Tag() const override { return kTag; }
  void Build(ui::PageContext& ctx) override;
  void Adapt(ui::PageContext& ctx, int version_class) override;
  void Load(ui::PageContext& ctx) override;
  void Change(ui::PageContext& ctx, forms::Component& sender) override;
};

// Shows a string value in its edit; false when it is missing.
bool ReadText(ui::PageContext& ctx, const TextRow& row) {
  const TRegRecor r = Read(ctx.Queue(), row.root, row.key, row.value);
  if (r.Status != engine::kStatusFound) return false;
  // A number shows as its decimal text; bytes have none and leave the edit as it is.
  if (const auto text = ValueText(r.Value)) ctx.Find<Edit>(row.name).SetText(*text);
  return true;
}

void ReadFlagRow(ui::PageContext& ctx, const char* name) {
  const FlagRow* row = RowNamed(kDialogFlags, name);
  Guarded([&] { SetCheckedIf(ctx.Find<CheckBox>(row->name), ReadFlag(ctx.Queue(), row->flag)); });
}

GroupBox& MakeGroup(forms::Form& form, forms::Control& sheet, const char* name, const char* caption, int top) {
  return form.Create<GroupBox>(sheet, name, layout::GroupBounds(top, 0), caption);
}

// A label and its edit across the group's row column.
void LabelledEdit(forms::Form& form, GroupBox& group, int top, const char* label, const char* caption,
                  const char* edit) {
  form.Create<Label>(group, label, Rect{layout::kRowLeft, top + 4, 90, layout::kLabelHeight}, caption);
  form.Create<Edit>(group, edit, Rect{108, top, 307, layout::kEditHeight});
}

void InformationPage::Build(ui::PageContext& ctx) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forward = ctx.Forwarder();
  auto& pages = form.Create<forms::PageControl>(ctx.Page(), kPages, layout::kPageControl);
  const auto row = [](int top) { return Rect{layout::kRowLeft, top, layout::kRowWidth, layout::kRowHeight}; };
  const auto box = [&](GroupBox& group, const char* name, int top, const char* caption) {
    form.Create<CheckBox>(group, name, row(top), caption).OnClick = forward;
  };
  const auto sheet_text = [&](TabSheet& sheet, const char* name, const char* text) {
    return InfoText(form, sheet, name, layout::kFirstGroupTop, text, layout::kGroupLeft, layout::kGroupWidth);
  };
  constexpr int kFieldStep = 28;

  // General: the edits forward their key releases through the window's key-up table.
  auto& common = form.Create<TabSheet>(pages, "TabSheet_System_Common", Rect{}, "General");
  auto& registration =
      MakeGroup(form, common, "GroupBox_System_Common_Infomation", "Windows Registration", layout::kFirstGroupTop);
  int y = InfoText(form, registration, "Label_System_Common_Infomation_Info", layout::kRowTop,
                   "Change the name and company name of the current registered user here.");
  LabelledEdit(form, registration, y, "Label_System_Common_Infomation_Name", "Name:", kOwner);
  y += kFieldStep;
  LabelledEdit(form, registration, y, "Label_System_Common_Infomation_Company", "Company Name:", kOrganization);
  registration.SetHeight(y + layout::kEditHeight + 10);
  int top = layout::GroupBelow(registration.Top(), registration.Height());
  auto& installer = MakeGroup(form, common, "GroupBox_System_Common_Installer", "User Data", top);
  y = InfoText(form, installer, "Label_System_Common_Installer_Info", layout::kRowTop,
               "Define the default data that should be used by Windows Installer for current user.");
  LabelledEdit(form, installer, y, "Label_System_Common_Installer_Name", "Name:", kInstallerName);
  y += kFieldStep;
  LabelledEdit(form, installer, y, "Label_System_Common_Installer_Company", "Company Name:", kInstallerCompany);
  installer.SetHeight(y + layout::kEditHeight + 10);
  top = layout::GroupBelow(installer.Top(), installer.Height());
  // Kept on the form without a purpose.
  auto& support = MakeGroup(form, common, "GroupBox_System_Common_Support", "Support Information", top);
  form.Create<Button>(support, "Button_System_Common_Support_Settings",
                      Rect{layout::kRowLeft, layout::kRowTop, layout::kButtonWidth, layout::kButtonHeight},
                      "Settings ");
  support.SetHeight(layout::kRowTop + layout::kButtonHeight + 8);
  support.Hide();

  // Common Dialogs.
  auto& dialogs = form.Create<TabSheet>(pages, "TabSheet_System_CommonDialog", Rect{}, "Common Dialogs");
  top = sheet_text(dialogs, "Label_System_CommonDialog_Info",
                   "Customize the appearance of the common dialogs for opening and saving files here.");
  auto& file_name = MakeGroup(form, dialogs, "GroupBox_System_CommonDialog_FileName", "File Name", top);
  y = InfoText(form, file_name, "Label_System_CommonDialog_FileName_Info", layout::kRowTop,
               "You could make it easier to select a file by the following settings.");
  box(file_name, kAutoFill, y, "Auto-fill with most similar entry.");
  y += layout::kRowStep;
  box(file_name, kRecent, y, "Show a combo box with recently frequently used files.");
  file_name.SetHeight(y + layout::kRowHeight + 8);
  top = layout::GroupBelow(top, file_name.Height());
  auto& navigation =
      MakeGroup(form, dialogs, "GroupBox_System_CommonDialog_FolderNavigation", "Folder Navigation", top);
  box(navigation, kPlacesBar, layout::RowTop(0), "Show Place Bar on left side.");
  box(navigation, kBackButton, layout::RowTop(1), "Show \"Back\" button.");
  // The product identifier's row, never shown.
  const int hidden_top = layout::RowTop(2);
  form.Create<Label>(navigation, "Label_System_CommonDialog_FolderNavigation_ProductId",
                     Rect{layout::kRowLeft, hidden_top + 4, 90, layout::kLabelHeight}, "Product ID:")
      .Hide();
  form.Create<Edit>(navigation, "Edit_System_CommonDialog_FolderNavigation_ProductId",
                    Rect{108, hidden_top, 200, layout::kEditHeight})
      .Hide();
  form.Create<Button>(navigation, "Button_System_CommonDialog_FolderNavigation_ProductId",
                      Rect{314, hidden_top - 2, 101, layout::kButtonHeight}, "Change")
      .Hide();
  navigation.SetHeight(layout::RowTop(1) + layout::kRowHeight + 8);
  form.Create<Button>(dialogs, "Button_System_CommonDialog_Default", layout::SheetButtonBounds(0, 1),
                      "Default Settings")
      .OnClick = [&ctx](forms::Component&) {
    for (const FlagRow& flag : kDialogFlags) DefaultCheck(ctx.Find<CheckBox>(flag.name), kChecked);
  };

  // Search.
  auto& search = form.Create<TabSheet>(pages, "TabSheet_System_Search", Rect{}, "Search");
  top = sheet_text(search, "Label_System_Search_Info",
                   "Configure the settings for appearance and feeling of search dialog.");
  auto& classic = MakeGroup(form, search, "GroupBox_System_Search_IndexService_ClassicSearch", "Classic Search", top);
  y = InfoText(form, classic, "Label_System_Search_IndexService_ClassicSearch_Info", layout::kRowTop,
               "If you don\xE2\x80\x99t like the appearance of the new search dialog, you can restore the classic "
               "Windows 200 search dialog.");
  box(classic, kClassicSearch, y, "Use classic search in Explorer.");
  classic.SetHeight(y + layout::kRowHeight + 8);
  top = layout::GroupBelow(top, classic.Height());
  auto& indexing = MakeGroup(form, search, "GroupBox_System_Search_IndexService", "Indexing Service", top);
  y = InfoText(form, indexing, "Label_System_Search_IndexService_Info", layout::kRowTop,
               "The Indexing Service will create a catalog of documents on your hard disks when your computer is idle, "
               "which causes higher disk activity.");
  box(indexing, kNoIndexing, y, "Disable Indexing service.");
  indexing.SetHeight(y + layout::kRowHeight + 8);
  top = layout::GroupBelow(top, indexing.Height());
  // Kept on the form without a purpose.
  auto& file_types =
      MakeGroup(form, search, "GroupBox_System_Search_IndexService_SearchFileType", "Searched File Type", top);
  form.Create<Button>(file_types, "Button_System_Search_IndexService_SearchFileType",
                      Rect{layout::kRowLeft, layout::kRowTop, layout::kButtonWidth, layout::kButtonHeight},
                      "File Type");
  file_types.SetHeight(layout::kRowTop + layout::kButtonHeight + 8);
  file_types.Hide();
  form.Create<Button>(search, "Button_System_Search_Default", layout::SheetButtonBounds(0, 1), "Default Settings")
      .OnClick = [&ctx](forms::Component&) {
    DefaultCheck(ctx.Find<CheckBox>(kNoIndexing), kCleared);
    DefaultCheck(ctx.Find<CheckBox>(kClassicSearch), kCleared);
  };

  // Command Prompt.
  auto& console = form.Create<TabSheet>(pages, "TabSheet_System_Cmd", Rect{}, "Command Prompt");
  top = sheet_text(console, "Label_System_Cmd_Info",
                   "Configure settings for the appearance and behavior of the command prompt.");
  auto& color = MakeGroup(form, console, "GroupBox_System_Cmd_Color", "Color Settings", top);
  y = InfoText(form, color, "Label_System_Cmd_Color_Info", layout::kRowTop,
               "Specify the background color and font color for the command prompt.");
  const auto list = [&](const char* label, const char* caption, const char* name, int index, int at) {
    form.Create<Label>(color, label, Rect{layout::kRowLeft, at + 4, 110, layout::kLabelHeight}, caption);
    auto& combo = form.Create<ComboBox>(color, name, Rect{128, at, 160, layout::kComboHeight});
    combo.SetItems(kColors);
    combo.SetItemIndex(index);
    combo.OnChange = forward;
  };
  list("Label_System_Cmd_Color_Background", "Background color:", kBackground, kBlack, y);
  y += kFieldStep;
  list("Label_System_Cmd_Color_Font", "Font color:", kFont, kWhite, y);
  color.SetHeight(y + layout::kComboHeight + 10);

  pages.SetActivePageIndex(0);
}

void InformationPage::Adapt(ui::PageContext& ctx, int version_class) {
  // Only XP has the search assistant and the indexing service these settings are for.
  if (version_class != 5) ctx.Find<forms::PageControl>(kPages).Page(2)->SetTabVisible(false);
}

void InformationPage::Load(ui::PageContext& ctx) {
  // LoadSystemGeneral: the registration first, so missing installer defaults take it.
  Guarded([&] { ReadText(ctx, kTexts[0]); });
  Guarded([&] { ReadText(ctx, kTexts[1]); });
  Guarded([&] {
    if (!ReadText(ctx, kTexts[2])) ctx.Find<Edit>(kInstallerName).SetText(ctx.Find<Edit>(kOwner).Text());
    if (!ReadText(ctx, kTexts[3])) ctx.Find<Edit>(kInstallerCompany).SetText(ctx.Find<Edit>(kOrganization).Text());
  });

  // LoadSystemCommonDialog.
  ReadFlagRow(ctx, kRecent);
  ReadFlagRow(ctx, kAutoFill);
  ReadFlagRow(ctx, kBackButton);
  ReadFlagRow(ctx, kPlacesBar);

  // LoadSystemSearch.
  Guarded([&] {
    if (const auto disabled = ReadEquals(ctx.Queue(), HKLM, kIndexServiceKey, "Start", 4)) {
      ctx.Find<CheckBox>(kNoIndexing).SetChecked(*disabled);
    }
  });
  Guarded([&] {
    const TRegRecor r = Read(ctx.Queue(), HKCU, kCabinetStateKey, "Use Search Asst");
    if (r.Status != engine::kStatusFound) return;
    ctx.Find<CheckBox>(kClassicSearch).SetChecked(!(r.Value.IsText() && r.Value.AsText() == "yes"));
  });

  // LoadSystemConsole: background in bits 4-7, text in bits 0-3. A value that is no
  // number shows the console's own colours too: translating the form has cleared the
  // lists' selection, and an empty list would queue a negative attribute on the next
  // change of the other one.
  Guarded([&] {
    int background = kBlack;
    int font = kWhite;
    const auto number = ReadNumber(ctx.Queue(), HKCU, kConsoleKey, "DefaultColor");
    if (number && *number > 0) {
      background = *number % 256 / 16;
      font = *number % 16;
    }
    ctx.Find<ComboBox>(kBackground).SetItemIndex(background);
    ctx.Find<ComboBox>(kFont).SetItemIndex(font);
  });
}

void InformationPage::Change(ui::PageContext& ctx, forms::Component& sender) {
  TCorvanel& queue = ctx.Queue();
  const std::string& name = sender.Name();
  if (const TextRow* row = RowNamed(kTexts, name)) {
    queue.AddRecord(StringRecord(name, row->root, row->key, row->value, ctx.Find<Edit>(name).Text()));
  } else if (const FlagRow* flag = RowNamed(kDialogFlags, name)) {
    queue.AddRecord(FlagRecord(name, flag->flag, ctx.Find<CheckBox>(name).Checked()));
  } else if (name == kClassicSearch) {
    queue.AddRecord(StringRecord(name, HKCU, kCabinetStateKey, "Use Search Asst",
                                 ctx.Find<CheckBox>(name).Checked() ? "no" : "yes"));
  } else if (name == kNoIndexing) {
    // The indexing service's start type: 4 disabled, 2 automatic.
    queue.AddRecord(IntegerRecord(name, HKLM, kIndexServiceKey, "Start", ctx.Find<CheckBox>(name).Checked() ? 4 : 2));
  } else if (name == kBackground || name == kFont) {
    const int background = ctx.Find<ComboBox>(kBackground).ItemIndex();
    const int font = ctx.Find<ComboBox>(kFont).ItemIndex();
    queue.AddRecord(IntegerRecord(kBackground, HKCU, kConsoleKey, "DefaultColor", background * 16 + font));
  }
}

}  // namespace

std::unique_ptr<ui::PageModule> CreateInformationPage() { return std::make_unique<InformationPage>(); }

}  // namespace corvanel::pages
