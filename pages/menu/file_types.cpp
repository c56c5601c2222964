// The File Types page. Nearly everything here is a shell verb or a shell-extension
// registration under HKCR: a box is checked when its key has a default value, checking it
// writes that value, clearing it deletes the key.
#include "pages/menu/file_types.h"

#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "forms/layout.h"
#include "pages/page_layout.h"
#include "pages/page_rows.h"

namespace corvanel::pages {

namespace {

using engine::Value;
using forms::Button;
using forms::CheckBox;
using forms::Edit;
using forms::GroupBox;
using forms::PageControl;
using forms::RadioButton;
using forms::TabSheet;
using lang::MessageId;
using platform::HKCR;
using platform::HKCU;
using platform::HKLM;

// --- names -------------------------------------------------------------------------

constexpr const char* kPageControl = "pagctrlFiletype";
constexpr const char* kTabMenu = "TabSheet_FileType_MenuOperation";
constexpr const char* kTabOpenFile = "TabSheet_FileType_OpenFile";
constexpr const char* kTabAdvanced = "TabSheet_FileType_Advanced";

constexpr const char* kGroupDrive = "Groupbox_FileType_MenuOperation_Drive";
constexpr const char* kGroupFileAndFolder = "Groupbox_FileType_MenuOperation_FileAndFolder";
constexpr const char* kGroupUnknown = "GroupBox_FileType_OpenFile_DefaultPrograme";
constexpr const char* kGroupNoExt = "GroupBox_FileType_OpenFile_NoEndExe";
constexpr const char* kGroupShortcut = "GroupBox_FileType_Advanced_NewShortcut";
constexpr const char* kGroupPicture = "GroupBox_FileType_Advanced_PictureAndFax";

constexpr const char* kOpenDrive = "Checkbox_FileType_MenuOperation_Drive_OpenDrive";
constexpr const char* kOpenCmd = "Checkbox_FileType_MenuOperation_Drive_OpenCmd";
constexpr const char* kSendTo = "Checkbox_FileType_MenuOperation_FileAndFolder_SendTo";
constexpr const char* kMoveTo = "Checkbox_FileType_MenuOperation_FileAndFolder_MoveTo";
constexpr const char* kEncryption = "Checkbox_FileType_MenuOperation_FileAndFolder_Encryption";
constexpr const char* kCopyTo = "Checkbox_FileType_MenuOperation_FileAndFolder_CopyTo";
constexpr const char* kNew = "Checkbox_FileType_MenuOperation_FileAndFolder_New";
constexpr const char* kNet = "Checkbox_FileType_OpenFile_DefaultPrograme_Net";
constexpr const char* kAddHead = "Checkbox_FileType_Advanced_NewShortcut_AddHead";
constexpr const char* kOpenPicture = "Checkbox_FileType_Advanced_PictureAndFax_OpenPicture";

constexpr const char* kUnknownWithOpen = "Radio_FileType_OpenFile_DefaultPrograme_WithOpen";
constexpr const char* kUnknownOpen = "Radio_FileType_OpenFile_DefaultPrograme_Open";
constexpr const char* kUnknownEdit = "Edit_FileType_OpenFile_DefaultPrograme_Open";
constexpr const char* kUnknownChange = "Button_FileType_OpenFile_DefaultPrograme_Change";
constexpr const char* kNoExtOpenWith = "Radio_FileType_OpenFile_NoEndExe_OpenWith";
constexpr const char* kNoExtOpen = "Radio_FileType_OpenFile_NoEndExe_Open";
constexpr const char* kNoExtEdit = "Edit_FileType_OpenFile_NoEndExe_Open";
constexpr const char* kNoExtChange = "Button_FileType_OpenFile_NoEndExe_Change";

constexpr const char* kDefaultMenu = "Button_FileType_MenuOperation_Default";
constexpr const char* kDefaultOpenFile = "Button_FileType_OpenFile_Default";
constexpr const char* kDefaultAdvanced = "Button_FileType_Advanced_Default";

// --- locations ---------------------------------------------------------------------

constexpr const char* kUnknownShell = "\\Unknown\\shell\\";
constexpr const char* kUnknownCommandRead = "\\Unknown\\shell\\open\\command\\";
constexpr const char* kUnknownCommandWrite = "\\Unknown\\shell\\open\\Command\\";
constexpr const char* kNoExtOpenKey = "\\.\\shell\\open\\";
constexpr const char* kNoExtCommandRead = "\\.\\shell\\open\\command\\";
constexpr const char* kNoExtCommandWrite = "\\.\\shell\\open\\Command\\";
constexpr const char* kExplorerAdvanced = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
constexpr const char* kExplorerPolicies = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
constexpr const char* kExplorer = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
constexpr const char* kImagePreview =
    "\\SystemFileAssociations\\image\\ShellEx\\ContextMenuHandlers\\ShellImagePreview\\";
constexpr const char* kImagePreviewClsid = "{e84fda7c-1d6a-45f6-b725-cb260c236066}";
constexpr const char* kMayChangeDefaultMenu =
    "\\CLSID\\{e84fda7c-1d6a-45f6-b725-cb260c236066}\\shellex\\MayChangeDefaultMenu";

constexpr const char* kDesignCommand = "notepad.exe \"%1\"";

// --- the check boxes ----------------------------------------------------------------

enum class BoxKind {
  Verb,     // a shell verb: the verb key's default value (its menu text), then its Command
  Handler,  // a shell-extension key: its default value is the handler's CLSID
  Flag,     // an integer value: checked when it equals `checked_number`
  Link,     // the "Shortcut to" prefix bytes
  Picture,  // the picture viewer hook: two keys, one of which is read
};

enum class Tab { Menu, OpenFile, Advanced };

struct BoxRow {
  const char* name;
  const char* group;
  int top;  // inside the group
  const char* caption;
  Tab tab;
  BoxKind kind;
  platform::RegKey root;
  // Verb / Handler / Picture: the key whose default value is read.
  const char* read_path;
  // Verb / Handler: the key written when checked, deleted when cleared. Picture: the first
  // key written. Flag / Link: the value's key.
  const char* write_path;
  // Verb / Handler / Picture: the default value written (null: the message text `text`).
  // Flag / Link: the value name.
  const char* value;
  MessageId text;
  // Verb: the command key written after the verb key. Picture: the second key written,
  // the one deleted when cleared.
  const char* command_path;
  const char* command;
  BoxState default_state;  // what the tab's Default button sets
  // Flag: how the value reads, and whether it is a "No..." policy.
  FlagRead flag_read = FlagRead::kNonZero;
  bool inverted = false;
};

// Rows in each tab's load order.
const BoxRow kBoxes[] = {
    {kOpenDrive, kGroupDrive, layout::RowTop(0), "Show \"Explorer From Here\"", Tab::Menu, BoxKind::Verb, HKCR,
     "\\Folder\\shell\\Menu_root", "\\Folder\\shell\\Menu_root\\", nullptr, MessageId::D_OpenExplorer,
     "\\Folder\\shell\\Menu_root\\Command\\", "Explorer.exe /e,/root,/idlist,%I", kChecked},
    {kOpenCmd, kGroupDrive, layout::RowTop(1), "Show \"Open command prompt Here\"", Tab::Menu, BoxKind::Verb, HKCR,
     "\\Directory\\shell\\Menu_Cmd", "\\Directory\\shell\\Menu_CMD\\", nullptr, MessageId::D_OpenCmd,
     "\\Directory\\shell\\Menu_CMD\\Command\\", "cmd.exe /k \"cd %L\"", kCleared},
    {kSendTo, kGroupFileAndFolder, layout::RowTop(0), "Show \"Send To\" menu.", Tab::Menu, BoxKind::Handler, HKCR,
     "\\AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Send To",
     "\\AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Send To\\", "{7BA4C740-9E81-11CF-99D3-00AA004AE837}",
     MessageId::D_General, nullptr, nullptr, kChecked},
    {kMoveTo, kGroupFileAndFolder, layout::RowTop(1), "Show \"Move To Folder\xE2\x80\xA6\"", Tab::Menu,
     BoxKind::Handler, HKCR, "\\AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Move To",
     "\\AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Move To\\", "{C2FBB631-2971-11D1-A18C-00C04FD75D13}",
     MessageId::D_General, nullptr, nullptr, kKeep},
    {kEncryption, kGroupFileAndFolder, layout::RowTop(2), "Show \"Encrypt\" and \"Decrypt\".", Tab::Menu, BoxKind::Flag,
     HKLM, nullptr, kExplorerAdvanced, "EncryptionContextMenu", MessageId::D_General, nullptr, nullptr, kKeep,
     FlagRead::kEqualsOne},
    {kCopyTo, kGroupFileAndFolder, layout::RowTop(3), "Show \"Copy To Folder\xE2\x80\xA6\"", Tab::Menu,
     BoxKind::Handler, HKCR, "\\AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Copy To",
     "\\AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Copy To\\", "{C2FBB630-2971-11D1-A18C-00C04FD75D13}",
     MessageId::D_General, nullptr, nullptr, kCleared},
    {kNew, kGroupFileAndFolder, layout::RowTop(4),
     "Display \"New\" submenu in the context menu for the desktop and folder", Tab::Menu, BoxKind::Handler, HKCR,
     "\\Directory\\Background\\shellex\\ContextMenuHandlers\\New\\",
     "\\Directory\\Background\\shellex\\ContextMenuHandlers\\New\\", "{D969A300-E7FF-11D0-A93B-00A0C90F2719}",
     MessageId::D_General, nullptr, nullptr, kKeep},
    // The policy is "No...": 0 offers the web search.
    {kNet, kGroupUnknown, 72, "Offer web service search for unknown file types.", Tab::OpenFile, BoxKind::Flag, HKCU,
     nullptr, kExplorerPolicies, "NoInternetOpenWith", MessageId::D_General, nullptr, nullptr, kChecked,
     FlagRead::kNonZero, true},
    {kAddHead, kGroupShortcut, layout::RowTop(0), "\"Shortcut to\" prefix for new shortcut", Tab::Advanced,
     BoxKind::Link, HKCU, nullptr, kExplorer, "link", MessageId::D_General, nullptr, nullptr, kChecked},
    {kOpenPicture, kGroupPicture, layout::RowTop(0), "Open images with Windows Picture and Fax Viewer.", Tab::Advanced,
     BoxKind::Picture, HKCR, kMayChangeDefaultMenu, kImagePreview, kImagePreviewClsid, MessageId::D_General,
     kMayChangeDefaultMenu, "", kChecked},
};

RegFlag FlagOf(const BoxRow& row) { return {row.root, row.write_path, row.value, row.flag_read, row.inverted}; }

// --- the two command groups of the Opening Files tab --------------------------------

struct CommandGroup {
  const char* open_radio;
  const char* edit;
  const char* change;
  const char* command_key;  // shown in the edit, written by "Change"
};

const CommandGroup kUnknownGroup = {kUnknownOpen, kUnknownEdit, kUnknownChange, kUnknownCommandRead};
const CommandGroup kNoExtGroup = {kNoExtOpen, kNoExtEdit, kNoExtChange, kNoExtCommandRead};

// The "Shortcut to" prefix: Explorer leaves the prefix out while the first byte is 0.
// The bytes as stored: a binary value as it is, a number as its little-endian bytes.
std::vector<std::uint8_t> StoredBytes(const engine::TRegRecor& read) {
  if (read.Status != engine::kStatusFound) return {};
  if (read.Value.IsBytes()) return read.Value.AsBytes();
  if (read.Value.IsInt()) {
    const auto n = static_cast<std::uint32_t>(read.Value.AsInt());
    return {static_cast<std::uint8_t>(n & 0xFF), static_cast<std::uint8_t>(n >> 8 & 0xFF),
            static_cast<std::uint8_t>(n >> 16 & 0xFF), static_cast<std::uint8_t>(n >> 24 & 0xFF)};
  }
  return {};
}

// An existing but empty value has no first byte to keep; it is treated as a missing one.
std::vector<std::uint8_t> LinkBytes(const engine::TRegRecor& read, bool checked) {
  std::vector<std::uint8_t> bytes = StoredBytes(read);
  if (bytes.empty()) return {static_cast<std::uint8_t>(checked ? 0x0F : 0x00)};
  bytes[0] = static_cast<std::uint8_t>(checked ? (bytes[0] | 0x0F) : 0x00);
  return bytes;
}

std::string VerbText(const ui::PageContext& ctx, const BoxRow& row) {
  return row.value != nullptr ? std::string(row.value) : ctx.Text(row.text);
}

// --- the page -----------------------------------------------------------------------

class FileTypesPage : public ui::PageModule {
 public:
  int Tag() const override { return 2; }
  void Build(ui::PageContext& ctx) override;
  void Adapt(ui::PageContext& ctx, int version_class) override;
  void Load(ui::PageContext& ctx) override;
  void Change(ui::PageContext& ctx, forms::Component& sender) override;

 private:
  void LoadFileTypeMenuOperation(ui::PageContext& ctx);
  void LoadFileTypeOpenFile(ui::PageContext& ctx);
  void LoadFileTypeAdvanced(ui::PageContext& ctx);
  void LoadBoxes(ui::PageContext& ctx, Tab tab);
  void LoadBox(ui::PageContext& ctx, const BoxRow& row);
  void ChangeBox(ui::PageContext& ctx, const BoxRow& row, bool checked);
  void ChangeCommand(ui::PageContext& ctx, const CommandGroup& group);
  void SetDefaults(ui::PageContext& ctx, Tab tab);
};

// The radio choice of a command group decides what can be edited: the program's edit and
// "Change" only count with "Open with:"; the web search only without it.
void SetUnknownChoice(ui::PageContext& ctx, bool open_with) {
  ctx.Find<Edit>(kUnknownEdit).SetEnabled(open_with);
  ctx.Find<Button>(kUnknownChange).SetEnabled(open_with);
  ctx.Find<CheckBox>(kNet).SetEnabled(!open_with);
}

void SetNoExtChoice(ui::PageContext& ctx, bool open_with) {
  ctx.Find<Edit>(kNoExtEdit).SetEnabled(open_with);
  ctx.Find<Button>(kNoExtChange).SetEnabled(open_with);
}

void FileTypesPage::Build(ui::PageContext& ctx) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forward = ctx.Forwarder();
  constexpr forms::Rect kDefaultButton = layout::SheetButtonBounds(0, 1);

  auto& pages = form.Create<PageControl>(ctx.Page(), kPageControl, layout::kPageControl);
  auto& menu = form.Create<TabSheet>(pages, kTabMenu, {}, "Menu Operation");
  auto& open_file = form.Create<TabSheet>(pages, kTabOpenFile, {}, "Opening Files");
  auto& advanced = form.Create<TabSheet>(pages, kTabAdvanced, {}, "Advanced");
  pages.SetActivePageIndex(0);

  form.Create<GroupBox>(menu, kGroupDrive, layout::GroupBounds(8, 70), "Driver and Folder");
  form.Create<GroupBox>(menu, kGroupFileAndFolder, layout::GroupBounds(86, 135), "Files and Folders");
  form.Create<Button>(menu, kDefaultMenu, kDefaultButton, "Default Settings").OnClick =
      [this, &ctx](forms::Component&) { SetDefaults(ctx, Tab::Menu); };

  auto& unknown = form.Create<GroupBox>(open_file, kGroupUnknown, layout::GroupBounds(8, 100), "Default Application");
  auto& no_ext = form.Create<GroupBox>(open_file, kGroupNoExt, layout::GroupBounds(116, 75),
                                       "Standard Application for Files Without Extension");
  form.Create<Button>(open_file, kDefaultOpenFile, kDefaultButton, "Default Settings").OnClick =
      [this, &ctx](forms::Component&) { SetDefaults(ctx, Tab::OpenFile); };

  form.Create<GroupBox>(advanced, kGroupShortcut, layout::GroupBounds(8, 45), "New Shortcut Prefix");
  form.Create<GroupBox>(advanced, kGroupPicture, layout::GroupBounds(61, 45), "Windows Picture and Fax Viewer");
  form.Create<Button>(advanced, kDefaultAdvanced, kDefaultButton, "Default Settings").OnClick =
      [this, &ctx](forms::Component&) { SetDefaults(ctx, Tab::Advanced); };

  for (const BoxRow& row : kBoxes) {
    auto& group = ctx.Find<GroupBox>(row.group);
    form.Create<CheckBox>(group, row.name, {layout::kRowLeft, row.top, layout::kRowWidth, layout::kRowHeight},
                          row.caption)
        .OnClick = forward;
  }

  // A radio pair with the program's command: "Open with:", the read-only edit, "Change".
  const auto command_rows = [&](GroupBox& group, const char* with_dialog, const CommandGroup& g) {
    form.Create<RadioButton>(group, with_dialog, layout::RowBounds(0), "Show \"Open With\xE2\x80\xA6\" dialog.")
        .OnClick = forward;
    form.Create<RadioButton>(group, g.open_radio, {12, 44, 80, 17}, "Open with:").OnClick = forward;
    auto& edit = form.Create<Edit>(group, g.edit, {96, 42, 235, 21});
    edit.SetReadOnly(true);
    edit.SetText(kDesignCommand);
    form.Create<Button>(group, g.change, {337, 40, 78, 25}, "Change").OnClick = forward;
  };
  command_rows(unknown, kUnknownWithOpen, kUnknownGroup);
  command_rows(no_ext, kNoExtOpenWith, kNoExtGroup);
}

void FileTypesPage::Adapt(ui::PageContext& ctx, int version_class) {
  if (version_class <= 5) return;
  // Vista and later have neither the picture viewer hook nor a use for the Explorer verb.
  ctx.Find<GroupBox>(kGroupPicture).Hide();
  auto& open_drive = ctx.Find<CheckBox>(kOpenDrive);
  open_drive.Hide();
  forms::MoveToTopOf(ctx.Find<CheckBox>(kOpenCmd), open_drive);
  forms::ShrinkHeight(ctx.Find<GroupBox>(kGroupDrive), 10);
  forms::MoveUp(ctx.Find<GroupBox>(kGroupFileAndFolder), 10);
}

void FileTypesPage::Load(ui::PageContext& ctx) {
  LoadFileTypeMenuOperation(ctx);
  LoadFileTypeOpenFile(ctx);
  LoadFileTypeAdvanced(ctx);
}

void FileTypesPage::LoadBox(ui::PageContext& ctx, const BoxRow& row) {
  engine::TCorvanel& queue = ctx.Queue();
  auto& box = ctx.Find<CheckBox>(row.name);
  switch (row.kind) {
    case BoxKind::Verb:
    case BoxKind::Handler:
      box.SetChecked(ReadKeyHasDefault(queue, row.root, row.read_path));
      break;
    case BoxKind::Flag:
      SetCheckedIf(box, ReadFlag(queue, FlagOf(row)));
      break;
    case BoxKind::Link: {
      const std::vector<std::uint8_t> bytes = StoredBytes(Read(queue, row.root, row.write_path, row.value));
      if (!bytes.empty()) box.SetChecked(bytes[0] != 0);
      break;
    }
    case BoxKind::Picture:
      // The hook counts as installed as soon as its key exists, with or without a value.
      box.SetChecked(Read(queue, row.root, row.read_path, "").Status != engine::kStatusKeyMissing);
      break;
  }
}

void FileTypesPage::LoadBoxes(ui::PageContext& ctx, Tab tab) {
  for (const BoxRow& row : kBoxes) {
    if (row.tab != tab) continue;
    // Hidden from Vista on: left as the form defines it.
    if (row.name == std::string_view(kOpenDrive) && ctx.VersionClass() > 5) continue;
    Guarded([&] { LoadBox(ctx, row); });
  }
}

void FileTypesPage::LoadFileTypeMenuOperation(ui::PageContext& ctx) {
  if (ctx.VersionClass() > 5) ctx.Find<CheckBox>(kOpenDrive).Hide();
  LoadBoxes(ctx, Tab::Menu);
}

void FileTypesPage::LoadFileTypeOpenFile(ui::PageContext& ctx) {
  engine::TCorvanel& queue = ctx.Queue();
  Guarded([&] {
    const engine::TRegRecor verb = Read(queue, HKCR, kUnknownShell, "");
    const bool shows_dialog = verb.Value.IsText() && verb.Value.AsText() == "openas";
    const bool open_with = verb.Status == engine::kStatusFound && !shows_dialog;
    ctx.Find<RadioButton>(open_with ? kUnknownOpen : kUnknownWithOpen).SetChecked(true);
    SetUnknownChoice(ctx, open_with);
  });
  Guarded([&] {
    const engine::TRegRecor command = Read(queue, HKCR, kUnknownCommandRead, "");
    if (command.Status == engine::kStatusFound) ctx.Find<Edit>(kUnknownEdit).SetText(command.Value.AsText());
  });
  LoadBoxes(ctx, Tab::OpenFile);
  Guarded([&] {
    const bool open_with = Read(queue, HKCR, kNoExtOpenKey, "").Status != engine::kStatusKeyMissing;
    ctx.Find<RadioButton>(open_with ? kNoExtOpen : kNoExtOpenWith).SetChecked(true);
    SetNoExtChoice(ctx, open_with);
  });
  Guarded([&] {
    const engine::TRegRecor command = Read(queue, HKCR, kNoExtCommandRead, "");
    if (command.Status == engine::kStatusFound) ctx.Find<Edit>(kNoExtEdit).SetText(command.Value.AsText());
  });
}

void FileTypesPage::LoadFileTypeAdvanced(ui::PageContext& ctx) { LoadBoxes(ctx, Tab::Advanced); }

void FileTypesPage::ChangeBox(ui::PageContext& ctx, const BoxRow& row, bool checked) {
  engine::TCorvanel& queue = ctx.Queue();
  const std::string name = row.name;
  switch (row.kind) {
    case BoxKind::Verb:
    case BoxKind::Handler:
      if (!checked) {
        queue.AddRecord(engine::DeleteKeyRecord(name, row.root, row.write_path));
        break;
      }
      queue.AddRecord(StringRecord(name, row.root, row.write_path, "", VerbText(ctx, row)));
      if (row.command_path != nullptr)
        queue.AddRecord(StringRecord(name + "1", row.root, row.command_path, "", row.command));
      break;
    case BoxKind::Flag:
      queue.AddRecord(FlagRecord(name, FlagOf(row), checked));
      break;
    case BoxKind::Link:
      queue.AddRecord(BinaryRecord(name, row.root, row.write_path, row.value,
                                       LinkBytes(Read(queue, row.root, row.write_path, row.value), checked)));
      ctx.Requests().RestartNeeded = true;
      break;
    case BoxKind::Picture:
      if (!checked) {
        queue.AddRecord(engine::DeleteKeyRecord(name, row.root, row.command_path));
        break;
      }
      queue.AddRecord(StringRecord(name, row.root, row.write_path, "", row.value));
      queue.AddRecord(StringRecord(name + "1", row.root, row.command_path, "", row.command));
      break;
  }
}

// "Change": the user picks the program; the edit shows it as a command line.
void FileTypesPage::ChangeCommand(ui::PageContext& ctx, const CommandGroup& group) {
  const std::vector<platform::FileFilter> filters = {
      {ctx.Text(MessageId::D_ExeFile) + "(*.exe,*.com,*.bat)", "*.exe;*.com;*.bat;"},
      {ctx.Text(MessageId::D_AllFile) + "(*.*)", "*.*;"},
  };
  std::string path;
  if (!ctx.Platform().dialogs().OpenFile(ctx.OwnerWindow(), filters, std::string(), &path)) return;
  auto& edit = ctx.Find<Edit>(group.edit);
  edit.SetText("\"" + path + "\" \"%1\"");
  ctx.Queue().AddRecord(StringRecord(group.change, HKCR, group.command_key, "", edit.Text()));
}

void FileTypesPage::Change(ui::PageContext& ctx, forms::Component& sender) {
  const std::string_view name = sender.Name();
  engine::TCorvanel& queue = ctx.Queue();
  if (const BoxRow* row = RowNamed(kBoxes, name)) {
    if (auto* box = dynamic_cast<CheckBox*>(&sender)) ChangeBox(ctx, *row, box->Checked());
    return;
  }
  if (name == kUnknownWithOpen) {
    queue.AddRecord(StringRecord(kUnknownWithOpen, HKCR, kUnknownShell, "", "openas"));
    SetUnknownChoice(ctx, false);
  } else if (name == kUnknownOpen) {
    const std::string base = kUnknownOpen;
    queue.AddRecord(StringRecord(base + "1", HKCR, kUnknownShell, "", "open"));
    queue.AddRecord(StringRecord(base + "2", HKCR, kUnknownCommandWrite, "",
                                     Trimmed(ctx.Find<Edit>(kUnknownEdit).Text())));
    SetUnknownChoice(ctx, true);
  } else if (name == kNoExtOpenWith) {
    queue.AddRecord(engine::DeleteKeyRecord(kNoExtOpenWith, HKCR, kNoExtOpenKey));
    SetNoExtChoice(ctx, false);
  } else if (name == kNoExtOpen) {
    queue.AddRecord(StringRecord(kNoExtOpen, HKCR, kNoExtCommandWrite, "",
                                     Trimmed(ctx.Find<Edit>(kNoExtEdit).Text())));
    SetNoExtChoice(ctx, true);
  } else if (name == kUnknownChange) {
    ChangeCommand(ctx, kUnknownGroup);
  } else if (name == kNoExtChange) {
    ChangeCommand(ctx, kNoExtGroup);
  }
}

// Only states: the controls' own events queue what changes.
void FileTypesPage::SetDefaults(ui::PageContext& ctx, Tab tab) {
  if (tab == Tab::OpenFile) {
    DefaultSelect(ctx.Find<RadioButton>(kUnknownWithOpen));
    DefaultSelect(ctx.Find<RadioButton>(kNoExtOpenWith));
  }
  for (const BoxRow& row : kBoxes) {
    if (row.tab == tab) DefaultCheck(ctx.Find<CheckBox>(row.name), row.default_state);
  }
}

}  // namespace

std::unique_ptr<ui::PageModule> CreateFileTypesPage() { return std::make_unique<FileTypesPage>(); }

}  // namespace corvanel::pages
