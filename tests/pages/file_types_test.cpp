#include "pages/menu/file_types.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "forms/layout.h"
#include "tests/pages/page_harness.h"

namespace corvanel::pages {
namespace {

using engine::TRegRecor;
using forms::Button;
using forms::CheckBox;
using forms::Edit;
using forms::GroupBox;
using forms::RadioButton;
using platform::HKCR;
using platform::HKCU;
using platform::HKLM;
using Bytes = std::vector<std::uint8_t>;

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
constexpr const char* kGroupDrive = "Groupbox_FileType_MenuOperation_Drive";
constexpr const char* kGroupFileAndFolder = "Groupbox_FileType_MenuOperation_FileAndFolder";
constexpr const char* kGroupPicture = "GroupBox_FileType_Advanced_PictureAndFax";

constexpr const char* kSendToKey = "\\AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Send To\\";
constexpr const char* kAdvanced = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
constexpr const char* kPolicies = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
constexpr const char* kExplorer = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
constexpr const char* kMayChange = "\\CLSID\\{e84fda7c-1d6a-45f6-b725-cb260c236066}\\shellex\\MayChangeDefaultMenu";

// The main window with only this page, its File Types item clicked.
class FileTypesPageTest : public harness::PageTest {
 protected:
  FileTypesPageTest() : PageTest(CreateFileTypesPage) {}
  void Open(int version_class = 7) { PageTest::Open(version_class); }
};

TRegRecor Text(std::string name, platform::RegKey root, std::string key, std::string text) {
  return engine::WriteRecord(std::move(name), root, std::move(key), "", 1, engine::MakeText(std::move(text)));
}
TRegRecor Number(std::string name, platform::RegKey root, std::string key, std::string value, std::int32_t n) {
  return engine::WriteRecord(std::move(name), root, std::move(key), std::move(value), 3, engine::MakeInt(n));
}
TRegRecor Binary(std::string name, Bytes bytes) {
  return engine::WriteRecord(std::move(name), HKCU, kExplorer, "link", 4, engine::MakeBytes(std::move(bytes)));
}

// --- loading ---------------------------------------------------------------------------

TEST_F(FileTypesPageTest, CheckBoxesShowTheStoredState) {
  using Setup = std::function<void(platform::memory::MemoryRegistry&)>;
  struct Row {
    const char* what;
    Setup setup;
    const char* box;
    bool checked;
  };
  const Row rows[] = {
      {"verb key with its text", [](auto& r) { r.SetString(HKCR, "\\Directory\\shell\\Menu_CMD", "", "x"); }, kOpenCmd,
       true},
      {"verb key without text", [](auto& r) { r.CreateKeyPath(HKCR, "\\Directory\\shell\\Menu_Cmd"); }, kOpenCmd,
       false},
      {"Send To registered", [](auto& r) { r.SetString(HKCR, kSendToKey, "", "{7BA4C740}"); }, kSendTo, true},
      {"empty Send To key", [](auto& r) { r.CreateKeyPath(HKCR, kSendToKey); }, kSendTo, false},
      {"no Send To key", [](auto&) {}, kSendTo, false},
      {"New handler",
       [](auto& r) { r.SetString(HKCR, "\\Directory\\Background\\shellex\\ContextMenuHandlers\\New", "", ""); }, kNew,
       true},
      {"encryption as text 1", [](auto& r) { r.SetString(HKLM, kAdvanced, "EncryptionContextMenu", "1"); },
       kEncryption, true},
      {"encryption as DWORD 1", [](auto& r) { r.SetDword(HKLM, kAdvanced, "EncryptionContextMenu", 1); }, kEncryption,
       true},
      {"encryption as DWORD 2", [](auto& r) { r.SetDword(HKLM, kAdvanced, "EncryptionContextMenu", 2); }, kEncryption,
       false},
      {"no encryption value", [](auto&) {}, kEncryption, false},
      {"web search allowed", [](auto& r) { r.SetDword(HKCU, kPolicies, "NoInternetOpenWith", 0); }, kNet, true},
      {"web search allowed as text", [](auto& r) { r.SetString(HKCU, kPolicies, "NoInternetOpenWith", "0"); }, kNet,
       true},
      {"web search refused", [](auto& r) { r.SetDword(HKCU, kPolicies, "NoInternetOpenWith", 3); }, kNet, false},
      {"no web search policy", [](auto&) {}, kNet, false},
      {"prefix off", [](auto& r) { r.SetBinary(HKCU, kExplorer, "link", {0, 0, 0, 0}); }, kAddHead, false},
      {"prefix on", [](auto& r) { r.SetBinary(HKCU, kExplorer, "link", {0x1E, 0, 0, 0}); }, kAddHead, true},
      {"prefix value empty", [](auto& r) { r.SetBinary(HKCU, kExplorer, "link", {}); }, kAddHead, false},
      {"prefix as DWORD", [](auto& r) { r.SetDword(HKCU, kExplorer, "link", 0x0F); }, kAddHead, true},
      {"viewer hook key without value", [](auto& r) { r.CreateKeyPath(HKCR, kMayChange); }, kOpenPicture, true},
      {"no viewer hook key", [](auto&) {}, kOpenPicture, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Reg().DeleteTree(HKCR, "\\Directory");
    Reg().DeleteTree(HKCR, "\\AllFilesystemObjects");
    Reg().DeleteTree(HKCR, "\\CLSID");
    Reg().DeleteTree(HKLM, kAdvanced);
    Reg().DeleteTree(HKCU, kPolicies);
    Reg().DeleteTree(HKCU, kExplorer);
    row.setup(Reg());
    Open(5);
    EXPECT_EQ(Get<CheckBox>(row.box).Checked(), row.checked);
    EXPECT_TRUE(Window().Queue().Empty());
    EXPECT_FALSE(ApplyEnabled());
  }
}

// The three loaders run in tab order, each reading its rows in its own order.
TEST_F(FileTypesPageTest, TheLoadersReadInTheirOrder) {
  for (const int version_class : {5, 6}) {
    SCOPED_TRACE(version_class);
    Reg().ClearLogs();
    Open(version_class);
    std::vector<std::string> opened;
    for (const auto& access : Reg().access_log()) {
      if (access.call != "open") continue;
      const char* root = access.root == HKCR ? "HKCR\\" : access.root == HKLM ? "HKLM\\" : "HKCU\\";
      opened.push_back(root + access.path);
    }
    std::vector<std::string> expected = {
        "HKCR\\Folder\\shell\\Menu_root",
        "HKCR\\Directory\\shell\\Menu_Cmd",
        "HKCR\\AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Send To",
        "HKCR\\AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Move To",
        "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced",
        "HKCR\\AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Copy To",
        "HKCR\\Directory\\Background\\shellex\\ContextMenuHandlers\\New",
        "HKCR\\Unknown\\shell",
        "HKCR\\Unknown\\shell\\open\\command",
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
        "HKCR\\.\\shell\\open",
        "HKCR\\.\\shell\\open\\command",
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer",
        "HKCR\\CLSID\\{e84fda7c-1d6a-45f6-b725-cb260c236066}\\shellex\\MayChangeDefaultMenu",
    };
    // The hidden Explorer verb is not read from Vista on.
    if (version_class > 5) expected.erase(expected.begin());
    EXPECT_EQ(opened, expected);
  }
}

TEST_F(FileTypesPageTest, UnknownTypesChoiceAndEnabledStates) {
  struct Row {
    std::optional<std::string> verb;  // nullopt: \Unknown\shell has no default value
    bool open_with;
  };
  const Row rows[] = {{std::nullopt, false}, {"openas", false}, {"open", true}, {"edit", true}, {"", true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.verb.value_or("(missing)"));
    Reg().DeleteTree(HKCR, "\\Unknown");
    Reg().CreateKeyPath(HKCR, "\\Unknown\\shell");
    if (row.verb) Reg().SetString(HKCR, "\\Unknown\\shell", "", *row.verb);
    Open();
    EXPECT_EQ(Get<RadioButton>(kUnknownOpen).Checked(), row.open_with);
    EXPECT_EQ(Get<RadioButton>(kUnknownWithOpen).Checked(), !row.open_with);
    EXPECT_EQ(Get<Edit>(kUnknownEdit).Enabled(), row.open_with);
    EXPECT_EQ(Get<Button>(kUnknownChange).Enabled(), row.open_with);
    EXPECT_EQ(Get<CheckBox>(kNet).Enabled(), !row.open_with);
    EXPECT_TRUE(Window().Queue().Empty());
  }
}

TEST_F(FileTypesPageTest, NoExtensionChoiceFollowsTheOpenKey) {
  Open();
  EXPECT_TRUE(Get<RadioButton>(kNoExtOpenWith).Checked());
  EXPECT_FALSE(Get<Edit>(kNoExtEdit).Enabled());
  EXPECT_FALSE(Get<Button>(kNoExtChange).Enabled());
  EXPECT_EQ(Get<Edit>(kNoExtEdit).Text(), "notepad.exe \"%1\"");

  Reg().CreateKeyPath(HKCR, "\\.\\shell\\open");  // no default value: still "Open with:"
  Open();
  EXPECT_TRUE(Get<RadioButton>(kNoExtOpen).Checked());
  EXPECT_TRUE(Get<Edit>(kNoExtEdit).Enabled());
  EXPECT_TRUE(Get<Button>(kNoExtChange).Enabled());
}

TEST_F(FileTypesPageTest, AFailingReadLeavesItsControlAndTheLoaderGoesOn) {
  // A number where the edit expects text cannot be shown; the rows after it still load.
  Reg().SetDword(HKCR, "\\Unknown\\shell\\open\\command", "", 5);
  Reg().SetDword(HKCU, kPolicies, "NoInternetOpenWith", 0);
  Reg().SetString(HKCR, "\\.\\shell\\open\\command", "", "vi %1");
  Open();
  EXPECT_EQ(Get<Edit>(kUnknownEdit).Text(), "notepad.exe \"%1\"");
  EXPECT_TRUE(Get<CheckBox>(kNet).Checked());
  EXPECT_EQ(Get<Edit>(kNoExtEdit).Text(), "vi %1");
  EXPECT_TRUE(Get<Edit>(kNoExtEdit).ReadOnly());
}

// --- changes ---------------------------------------------------------------------------

TEST_F(FileTypesPageTest, CheckBoxClicksQueueTheirRecords) {
  struct Row {
    const char* box;
    std::vector<TRegRecor> checked;
  };
  const Row rows[] = {
      {kOpenDrive,
       {Text(kOpenDrive, HKCR, "\\Folder\\shell\\Menu_root\\", "Open Windows Explorer"),
        Text(std::string(kOpenDrive) + "1", HKCR, "\\Folder\\shell\\Menu_root\\Command\\",
             "Explorer.exe /e,/root,/idlist,%I")}},
      {kOpenCmd,
       {Text(kOpenCmd, HKCR, "\\Directory\\shell\\Menu_CMD\\", "Open a command prompt"),
        Text(std::string(kOpenCmd) + "1", HKCR, "\\Directory\\shell\\Menu_CMD\\Command\\", "cmd.exe /k \"cd %L\"")}},
      {kSendTo, {Text(kSendTo, HKCR, kSendToKey, "{7BA4C740-9E81-11CF-99D3-00AA004AE837}")}},
      {kMoveTo,
       {Text(kMoveTo, HKCR, "\\AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Move To\\",
             "{C2FBB631-2971-11D1-A18C-00C04FD75D13}")}},
      {kCopyTo,
       {Text(kCopyTo, HKCR, "\\AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Copy To\\",
             "{C2FBB630-2971-11D1-A18C-00C04FD75D13}")}},
      {kNew,
       {Text(kNew, HKCR, "\\Directory\\Background\\shellex\\ContextMenuHandlers\\New\\",
             "{D969A300-E7FF-11D0-A93B-00A0C90F2719}")}},
      {kEncryption, {Number(kEncryption, HKLM, kAdvanced, "EncryptionContextMenu", 1)}},
      {kNet, {Number(kNet, HKCU, kPolicies, "NoInternetOpenWith", 0)}},
      {kOpenPicture,
       {Text(kOpenPicture, HKCR, "\\SystemFileAssociations\\image\\ShellEx\\ContextMenuHandlers\\ShellImagePreview\\",
             "{e84fda7c-1d6a-45f6-b725-cb260c236066}"),
        Text(std::string(kOpenPicture) + "1", HKCR, kMayChange, "")}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.box);
    Open(5);
    ASSERT_TRUE(Get<CheckBox>(row.box).UserClick());
    EXPECT_EQ(Records(), row.checked);
    EXPECT_TRUE(ApplyEnabled());
    EXPECT_FALSE(Window().Requests().RestartNeeded);
  }
}

TEST_F(FileTypesPageTest, ClearingQueuesTheDeleteOrTheOtherNumber) {
  struct Row {
    const char* box;
    TRegRecor cleared;
  };
  const Row rows[] = {
      {kOpenDrive, engine::DeleteKeyRecord(kOpenDrive, HKCR, "\\Folder\\shell\\Menu_root\\")},
      {kOpenCmd, engine::DeleteKeyRecord(kOpenCmd, HKCR, "\\Directory\\shell\\Menu_CMD\\")},
      {kSendTo, engine::DeleteKeyRecord(kSendTo, HKCR, kSendToKey)},
      {kOpenPicture, engine::DeleteKeyRecord(kOpenPicture, HKCR, kMayChange)},
      {kEncryption, Number(kEncryption, HKLM, kAdvanced, "EncryptionContextMenu", 0)},
      {kNet, Number(kNet, HKCU, kPolicies, "NoInternetOpenWith", 1)},
  };
  Reg().SetString(HKCR, "\\Folder\\shell\\Menu_root", "", "x");
  Reg().SetString(HKCR, "\\Directory\\shell\\Menu_Cmd", "", "x");
  Reg().SetString(HKCR, kSendToKey, "", "x");
  Reg().CreateKeyPath(HKCR, kMayChange);
  Reg().SetDword(HKLM, kAdvanced, "EncryptionContextMenu", 1);
  Reg().SetDword(HKCU, kPolicies, "NoInternetOpenWith", 0);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.box);
    Open(5);
    ASSERT_TRUE(Get<CheckBox>(row.box).Checked());
    ASSERT_TRUE(Get<CheckBox>(row.box).UserClick());
    ASSERT_EQ(Records().size(), 1u);
    EXPECT_EQ(Records()[0], row.cleared);
  }
}

TEST_F(FileTypesPageTest, ShortcutPrefixKeepsTheOtherBytes) {
  struct Row {
    const char* what;
    std::optional<Bytes> stored;
    bool check;  // the state clicked into
    Bytes queued;
  };
  const Row rows[] = {
      {"off, checked", Bytes{0, 0, 0, 0}, true, {0x0F, 0, 0, 0}},
      {"on, cleared", Bytes{0x1E, 0, 0, 0}, false, {0, 0, 0, 0}},
      {"other bytes kept", Bytes{0x10, 0xAB, 0xCD}, false, {0, 0xAB, 0xCD}},
      {"missing, checked", std::nullopt, true, {0x0F}},
      {"empty, checked", Bytes{}, true, {0x0F}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Reg().RemoveValue(HKCU, kExplorer, "link");
    if (row.stored) Reg().SetBinary(HKCU, kExplorer, "link", *row.stored);
    Open();
    ASSERT_NE(Get<CheckBox>(kAddHead).Checked(), row.check);
    ASSERT_TRUE(Get<CheckBox>(kAddHead).UserClick());
    ASSERT_EQ(Records().size(), 1u);
    EXPECT_EQ(Records()[0], Binary(kAddHead, row.queued));
    EXPECT_TRUE(Window().Requests().RestartNeeded);
  }
  // Cleared again without a stored value: a single zero byte.
  Reg().RemoveValue(HKCU, kExplorer, "link");
  Open();
  Get<CheckBox>(kAddHead).UserClick();
  Get<CheckBox>(kAddHead).UserClick();
  ASSERT_EQ(Records().size(), 1u);
  EXPECT_EQ(Records()[0], Binary(kAddHead, {0}));
}

TEST_F(FileTypesPageTest, OpenWithQueuesTwoNumberedRecordsAndTrimsTheCommand) {
  Reg().SetString(HKCR, "\\Unknown\\shell\\open\\command", "", "  wordpad.exe \"%1\" ");
  Open();
  ASSERT_TRUE(Get<RadioButton>(kUnknownOpen).UserClick());
  const std::string base = kUnknownOpen;
  EXPECT_EQ(Records(), (std::vector<TRegRecor>{
                           Text(base + "1", HKCR, "\\Unknown\\shell\\", "open"),
                           Text(base + "2", HKCR, "\\Unknown\\shell\\open\\Command\\", "wordpad.exe \"%1\""),
                       }));
  EXPECT_TRUE(Get<Button>(kUnknownChange).Enabled());
  EXPECT_FALSE(Get<CheckBox>(kNet).Enabled());

  ASSERT_TRUE(Get<RadioButton>(kUnknownWithOpen).UserClick());
  EXPECT_EQ(Window().Queue().Find(kUnknownWithOpen)->Value, engine::MakeText("openas"));
  EXPECT_FALSE(Get<Button>(kUnknownChange).Enabled());
  EXPECT_TRUE(Get<CheckBox>(kNet).Enabled());
}

TEST_F(FileTypesPageTest, NoExtensionRadiosWriteOrDeleteTheOpenKey) {
  Reg().SetString(HKCR, "\\.\\shell\\open\\command", "", "vi %1 ");
  Reg().SetString(HKCR, "\\.\\shell\\open\\ddeexec", "", "x");
  Open();
  ASSERT_TRUE(Get<RadioButton>(kNoExtOpenWith).UserClick());
  EXPECT_EQ(Records(), (std::vector<TRegRecor>{engine::DeleteKeyRecord(kNoExtOpenWith, HKCR, "\\.\\shell\\open\\")}));
  EXPECT_FALSE(Get<Button>(kNoExtChange).Enabled());
  Apply();
  EXPECT_FALSE(Reg().KeyExists(HKCR, "\\.\\shell\\open"));

  ASSERT_TRUE(Get<RadioButton>(kNoExtOpen).UserClick());
  EXPECT_EQ(Records(), (std::vector<TRegRecor>{Text(kNoExtOpen, HKCR, "\\.\\shell\\open\\Command\\", "vi %1")}));
  EXPECT_TRUE(Get<Button>(kNoExtChange).Enabled());
}

TEST_F(FileTypesPageTest, ChangeButtonsQuoteTheChosenProgram) {
  struct Row {
    const char* radio;
    const char* button;
    const char* edit;
    const char* key;
  };
  const Row rows[] = {
      {kUnknownOpen, kUnknownChange, kUnknownEdit, "\\Unknown\\shell\\open\\command\\"},
      {kNoExtOpen, kNoExtChange, kNoExtEdit, "\\.\\shell\\open\\command\\"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.button);
    Open();
    ASSERT_TRUE(Get<RadioButton>(row.radio).UserClick());  // enables "Change"
    Window().Queue().Apply();
    Memory().dialogs().ClearCalls();
    Memory().dialogs().QueueOpenFile("C:\\Program Files\\My Editor\\edit.exe");
    ASSERT_TRUE(Get<Button>(row.button).UserClick());
    const std::string command = "\"C:\\Program Files\\My Editor\\edit.exe\" \"%1\"";
    EXPECT_EQ(Get<Edit>(row.edit).Text(), command);
    EXPECT_EQ(Records(), (std::vector<TRegRecor>{Text(row.button, HKCR, row.key, command)}));

    ASSERT_EQ(Memory().dialogs().calls().size(), 1u);
    const auto& call = Memory().dialogs().calls()[0];
    EXPECT_EQ(call.initial, "");
    ASSERT_EQ(call.filters.size(), 2u);
    EXPECT_EQ(call.filters[0].name, "Executable file(*.exe,*.com,*.bat)");
    EXPECT_EQ(call.filters[0].pattern, "*.exe;*.com;*.bat;");
    EXPECT_EQ(call.filters[1].name, "All files(*.*)");
    EXPECT_EQ(call.filters[1].pattern, "*.*;");
    // The button does not choose "Open with:" for the user.
    EXPECT_TRUE(Get<RadioButton>(row.radio).Checked());
  }
}

TEST_F(FileTypesPageTest, CancelledDialogQueuesNothingButEnablesApply) {
  Reg().SetString(HKCR, "\\Unknown\\shell", "", "open");
  Open();
  ASSERT_FALSE(ApplyEnabled());
  ASSERT_TRUE(Get<Button>(kUnknownChange).UserClick());  // no scripted answer: cancelled
  EXPECT_EQ(Memory().dialogs().calls().size(), 1u);
  EXPECT_TRUE(Window().Queue().Empty());
  EXPECT_EQ(Get<Edit>(kUnknownEdit).Text(), "notepad.exe \"%1\"");
  EXPECT_TRUE(ApplyEnabled());
}

// Records of one control merge in place; a record queued earlier under another name must
// not be written after a later change and undo it.
TEST_F(FileTypesPageTest, TheLastChoiceWinsOnApply) {
  Open(5);
  auto& open_drive = Get<CheckBox>(kOpenDrive);
  open_drive.UserClick();
  open_drive.UserClick();
  Apply();
  EXPECT_FALSE(Reg().KeyExists(HKCR, "\\Folder\\shell\\Menu_root"));
  open_drive.UserClick();
  Apply();
  EXPECT_EQ(Reg().GetString(HKCR, "\\Folder\\shell\\Menu_root", ""), "Open Windows Explorer");
  EXPECT_EQ(Reg().GetString(HKCR, "\\Folder\\shell\\Menu_root\\Command", ""),
            "Explorer.exe /e,/root,/idlist,%I");

  auto& picture = Get<CheckBox>(kOpenPicture);
  picture.UserClick();
  picture.UserClick();
  Apply();
  EXPECT_FALSE(Reg().KeyExists(HKCR, kMayChange));

  Get<RadioButton>(kUnknownOpen).UserClick();
  Get<RadioButton>(kUnknownWithOpen).UserClick();
  Get<RadioButton>(kUnknownOpen).UserClick();
  Apply();
  EXPECT_EQ(Reg().GetString(HKCR, "\\Unknown\\shell", ""), "open");

  Get<RadioButton>(kNoExtOpen).UserClick();
  Get<RadioButton>(kNoExtOpenWith).UserClick();
  Get<RadioButton>(kNoExtOpen).UserClick();
  Memory().dialogs().QueueOpenFile("C:\\Tools\\a.exe");
  Get<Button>(kNoExtChange).UserClick();
  Get<RadioButton>(kNoExtOpenWith).UserClick();
  Get<RadioButton>(kNoExtOpen).UserClick();
  Memory().dialogs().QueueOpenFile("C:\\Tools\\b.exe");
  Get<Button>(kNoExtChange).UserClick();
  Apply();
  EXPECT_EQ(Reg().GetString(HKCR, "\\.\\shell\\open\\command", ""), "\"C:\\Tools\\b.exe\" \"%1\"");
  EXPECT_TRUE(Window().Queue().Empty());
}

// --- Default buttons ---------------------------------------------------------------------

TEST_F(FileTypesPageTest, DefaultButtonsQueueOnlyWhatChanges) {
  Reg().SetString(HKCR, "\\Directory\\shell\\Menu_Cmd", "", "x");  // checked: cleared by default
  Reg().SetString(HKCR, "\\Unknown\\shell", "", "open");
  Reg().CreateKeyPath(HKCR, "\\.\\shell\\open");
  Reg().SetDword(HKCU, kPolicies, "NoInternetOpenWith", 0);  // already as the default sets it
  Reg().SetBinary(HKCU, kExplorer, "link", {0, 0, 0, 0});
  Open(6);

  // The Explorer box Vista hides keeps its state.
  Get<Button>("Button_FileType_MenuOperation_Default").UserClick();
  EXPECT_EQ(Names(), (std::vector<std::string>{kOpenCmd, kSendTo}));
  EXPECT_FALSE(Get<CheckBox>(kOpenDrive).Checked());
  EXPECT_EQ(Window().Queue().Find(kOpenCmd)->Action, engine::kActionDeleteKey);

  Window().Queue().Apply();
  Get<Button>("Button_FileType_OpenFile_Default").UserClick();
  EXPECT_EQ(Names(), (std::vector<std::string>{kUnknownWithOpen, kNoExtOpenWith}));
  EXPECT_TRUE(Get<CheckBox>(kNet).Checked());
  EXPECT_TRUE(Get<CheckBox>(kNet).Enabled());

  Window().Queue().Apply();
  Get<Button>("Button_FileType_Advanced_Default").UserClick();
  EXPECT_EQ(Names(), (std::vector<std::string>{kAddHead}));
  EXPECT_TRUE(Window().Requests().RestartNeeded);

  // Pressed again, nothing is left to change.
  Window().Queue().Apply();
  Get<Button>("Button_FileType_MenuOperation_Default").UserClick();
  Get<Button>("Button_FileType_OpenFile_Default").UserClick();
  Get<Button>("Button_FileType_Advanced_Default").UserClick();
  EXPECT_TRUE(Window().Queue().Empty());
}

// --- Windows versions ---------------------------------------------------------------------

TEST_F(FileTypesPageTest, VersionAdaptationAndLayout) {
  Reg().SetString(HKCR, "\\Folder\\shell\\Menu_root", "", "Open Windows Explorer");
  for (int version_class : {0, 4, 5, 6, 7, 8}) {
    SCOPED_TRACE(version_class);
    Open(version_class);
    const bool vista = version_class > 5;
    EXPECT_EQ(Get<GroupBox>(kGroupPicture).Visible(), !vista);
    EXPECT_EQ(Get<CheckBox>(kOpenDrive).Visible(), !vista);
    EXPECT_EQ(Get<CheckBox>(kOpenDrive).Checked(), !vista);  // not even read from Vista on
    EXPECT_TRUE(Get<CheckBox>(kOpenCmd).Visible());
    EXPECT_EQ(Get<CheckBox>(kOpenCmd).Top(), vista ? Get<CheckBox>(kOpenDrive).Top() : 42);
    EXPECT_EQ(Get<GroupBox>(kGroupDrive).Height(), vista ? 60 : 70);
    EXPECT_EQ(Get<GroupBox>(kGroupFileAndFolder).Top(), vista ? 76 : 86);
    const auto problems = forms::CheckLayout(Window().Context(2).Page());
    EXPECT_TRUE(problems.empty()) << forms::DescribeLayout(problems);
  }
}

}  // namespace
}  // namespace corvanel::pages
