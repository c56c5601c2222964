#include "pages/menu/folder_types.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/setting_queue.h"
#include "tests/pages/page_harness.h"

namespace corvanel::pages {
namespace {

using engine::TRegRecor;
using forms::Button;
using forms::CheckBox;
using forms::Control;
using forms::Edit;
using forms::Panel;
using forms::RadioButton;
using forms::TrackBar;
using forms::UpDown;
using platform::HKCR;
using platform::HKCU;
using platform::HKLM;
using platform::memory::MemoryRegistry;

constexpr const char* kAdvanced = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
constexpr const char* kExplorer = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
constexpr const char* kPolicies = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\Explorer\\";

constexpr const char* kTree = "Checkbox_Folder_View_Windows_Tree";
constexpr const char* kDetails = "Checkbox_Folder_View_Windows_Details";
constexpr const char* kSaveViewSet = "Checkbox_Folder_View_BehaviorSet_SaveViewSet";
constexpr const char* kViewCount = "Trabar_Folder_View_BehaviorSet_SaveViewSetCount";
constexpr const char* kViewCountShow = "Label_Folder_View_BehaviorSet_SaveViewSetCountShow";
constexpr const char* kFileTip = "Checkbox_Folder_List_Details_FileAndDesktopTip";
constexpr const char* kFolderTip = "Checkbox_Folder_List_Details_FolderTip";
constexpr const char* kCompColor = "Checkbox_Folder_List_EAndCFileWithColor";
constexpr const char* kWithNumber = "Radio_Folder_List_ArrangeIcons_WithNumber";
constexpr const char* kWithLetter = "Radio_Folder_List_ArrangeIcons_WithLetter";
constexpr const char* kThumbSize = "Edit_Folder_Thumbnail_Size";
constexpr const char* kThumbUpDown = "UpDown_Folder_Thumbnail_Size";
constexpr const char* kQuality = "Trackbar_Folder_Thumbnail_Quality";

class FolderTypesTest : public harness::PageTest {
 protected:
  FolderTypesTest() : PageTest([this] { return CreateFolderTypesPage(show_); }) {}

  // Builds the window with only this page, then opens the page as a navigation click does.
  void Open(int version_class = 5, folder_dialog::ShowModal show = {}) {
    show_ = std::move(show);
    ASSERT_NO_FATAL_FAILURE(PageTest::Open(version_class));
    auto& bar = Window().RzGroupBar1();
    int group = 0;
    int item = 0;
    ASSERT_TRUE(bar.Locate(bar.FindItemByTag(3), &group, &item));
    ASSERT_EQ(group, bar.GroupIndex("RzGroup_Display"));
    ASSERT_EQ(item, 1);
  }

  folder_dialog::ShowModal show_;
};

// --- loading -------------------------------------------------------------------------

// What a row finds stored.
struct Stored {
  enum Kind { Missing, Dword, Text } kind = Missing;
  std::uint32_t number = 0;
  std::string text;
};
Stored Missing() { return {}; }
Stored Dword(std::uint32_t n) { return {Stored::Dword, n, {}}; }
Stored Text(std::string t) { return {Stored::Text, 0, std::move(t)}; }

void Store(MemoryRegistry& reg, platform::RegKey root, const char* key, const char* value, const Stored& s) {
  if (s.kind == Stored::Dword) reg.SetDword(root, key, value, s.number);
  if (s.kind == Stored::Text) reg.SetString(root, key, value, s.text);
}

struct LoadCase {
  const char* box;
  const char* value;
  platform::RegKey root;
  const char* key;
  int version_class;
  Stored stored;
  bool checked;
};

TEST_F(FolderTypesTest, FlagBoxesLoadTheirValues) {
  const LoadCase cases[] = {
      {"Checkbox_Folder_View_Windows_Restore", "PersistBrowsers", HKCU, kAdvanced, 5, Missing(), false},
      {"Checkbox_Folder_View_Windows_Restore", "PersistBrowsers", HKCU, kAdvanced, 5, Dword(0), false},
      {"Checkbox_Folder_View_Windows_Restore", "PersistBrowsers", HKCU, kAdvanced, 5, Dword(2), true},
      {"Checkbox_Folder_View_Windows_Restore", "PersistBrowsers", HKCU, kAdvanced, 5, Text(" 1 "), true},
      {"Checkbox_Folder_View_Windows_ShowMenuBar", "AlwaysShowMenus", HKCU, kAdvanced, 7, Missing(), true},
      {"Checkbox_Folder_View_Windows_ShowMenuBar", "AlwaysShowMenus", HKCU, kAdvanced, 7, Dword(1), true},
      {"Checkbox_Folder_View_Windows_ShowMenuBar", "AlwaysShowMenus", HKCU, kAdvanced, 7, Dword(2), false},
      {"Checkbox_Folder_View_Windows_ShowMenuBar", "AlwaysShowMenus", HKCU, kAdvanced, 5, Missing(), false},
      {kDetails, "NoPreviewPane", HKCU, kPolicies, 6, Missing(), true},
      {kDetails, "NoPreviewPane", HKCU, kPolicies, 6, Dword(0), false},
      {kDetails, "NoPreviewPane", HKCU, kPolicies, 8, Text("x"), false},
      {kDetails, "NoPreviewPane", HKCU, kPolicies, 5, Missing(), false},
      {kSaveViewSet, "ClassicViewState", HKCU, kAdvanced, 5, Missing(), true},
      {kSaveViewSet, "ClassicViewState", HKCU, kAdvanced, 5, Dword(0), true},
      {kSaveViewSet, "ClassicViewState", HKCU, kAdvanced, 5, Dword(1), false},
      {kFileTip, "ShowInfoTip", HKCU, kAdvanced, 5, Missing(), true},
      {kFileTip, "ShowInfoTip", HKCU, kAdvanced, 5, Dword(0), false},
      {kFileTip, "ShowInfoTip", HKCU, kAdvanced, 5, Dword(7), true},
      {kFolderTip, "FolderContentsInfoTip", HKCU, kAdvanced, 5, Missing(), true},
      {kFolderTip, "FolderContentsInfoTip", HKCU, kAdvanced, 5, Text("0"), false},
      {kCompColor, "ShowCompColor", HKCU, kAdvanced, 5, Missing(), false},
      {kCompColor, "ShowCompColor", HKCU, kAdvanced, 5, Dword(1), true},
      {"Checkbox_Folder_Thumbnail_Cache", "DisableThumbnailCache", HKCU, kAdvanced, 5, Missing(), false},
      {"Checkbox_Folder_Thumbnail_Cache", "DisableThumbnailCache", HKCU, kAdvanced, 5, Dword(0), true},
      {"Checkbox_Folder_Thumbnail_Cache", "DisableThumbnailCache", HKCU, kAdvanced, 5, Dword(1), false},
      {"Checkbox_Folder_Choose_AddCheckBox", "AutoCheckSelect", HKCU, kAdvanced, 7, Missing(), false},
      {"Checkbox_Folder_Choose_AddCheckBox", "AutoCheckSelect", HKCU, kAdvanced, 7, Dword(1), true},
      {"Checkbox_Folder_Choose_AddCheckBox", "AutoCheckSelect", HKCU, kAdvanced, 5, Dword(1), false},
  };
  for (const LoadCase& c : cases) {
    Reset();
    Store(Reg(), c.root, c.key, c.value, c.stored);
    Open(c.version_class);
    EXPECT_EQ(Checked(c.box), c.checked) << c.box << " class " << c.version_class << " stored kind "
                                         << c.stored.kind << " " << c.stored.number << c.stored.text;
    EXPECT_TRUE(Records().empty()) << c.box;
    EXPECT_FALSE(ApplyEnabled()) << c.box;
  }
}

TEST_F(FolderTypesTest, AValueThatIsNoNumberLeavesTheBoxAsDesigned) {
  Reg().SetString(HKCU, kAdvanced, "ClassicViewState", "yes");
  Reg().SetString(HKCU, kAdvanced, "ShowInfoTip", "yes");
  Reg().SetBinary(HKCU, kAdvanced, "PersistBrowsers", {1});
  Open();
  EXPECT_FALSE(Checked(kSaveViewSet));
  EXPECT_TRUE(Get<TrackBar>(kViewCount).Enabled());
  EXPECT_FALSE(Checked(kFileTip));
  EXPECT_TRUE(Get<CheckBox>(kFolderTip).Enabled());
  EXPECT_FALSE(Checked("Checkbox_Folder_View_Windows_Restore"));
}

TEST_F(FolderTypesTest, LoadersSetTheDependentEnabledStates) {
  Reg().SetDword(HKCU, kAdvanced, "ClassicViewState", 1);
  Reg().SetDword(HKCU, kAdvanced, "ShowInfoTip", 0);
  Open();
  EXPECT_FALSE(Get<TrackBar>(kViewCount).Enabled());
  EXPECT_FALSE(Get<CheckBox>(kFolderTip).Enabled());
  // ShowCompColor missing: both colour buttons off.
  EXPECT_FALSE(Get<Button>("Button_Folder_List_CompressedFile_Change").Enabled());
  EXPECT_FALSE(Get<Button>("Button_Folder_List_EncryptedFile_Change").Enabled());

  Reset();
  Reg().SetDword(HKCU, kAdvanced, "ShowCompColor", 1);
  Open();
  EXPECT_TRUE(Get<TrackBar>(kViewCount).Enabled());
  EXPECT_TRUE(Get<CheckBox>(kFolderTip).Enabled());
  EXPECT_TRUE(Get<Button>("Button_Folder_List_EncryptedFile_Change").Enabled());
}

TEST_F(FolderTypesTest, TreeViewVerbIsReadUpToXpOnly) {
  struct Case {
    int version_class;
    std::optional<std::string> verb;
    bool checked;
  };
  for (const Case& c : {Case{5, "explore", true}, Case{4, "explore", true}, Case{5, "open", false},
                        Case{5, std::nullopt, false}, Case{7, "explore", false}}) {
    Reset();
    if (c.verb) Reg().SetString(HKCR, "\\Folder\\shell\\", "", *c.verb);
    Open(c.version_class);
    EXPECT_EQ(Checked(kTree), c.checked) << c.version_class << " " << c.verb.value_or("(none)");
  }
}

TEST_F(FolderTypesTest, NumbersAndRadiosLoad) {
  Reg().SetDword(HKCU, "\\Software\\Microsoft\\Windows\\Shell\\", "BagMRU Size", 20000);
  Reg().SetDword(HKCU, kExplorer, "ThumbnailSize", 128);
  Reg().SetDword(HKCU, kExplorer, "ThumbnailQuality", 40);
  Reg().SetDword(HKLM, kPolicies, "NoStrCmpLogical", 1);
  Open();
  EXPECT_EQ(Get<TrackBar>(kViewCount).Position(), 7000);
  EXPECT_EQ(Get<forms::Label>(kViewCountShow).Caption(), "7000");
  EXPECT_EQ(Get<UpDown>(kThumbUpDown).Position(), 128);
  EXPECT_EQ(Get<Edit>(kThumbSize).Text(), "128");
  EXPECT_EQ(Get<TrackBar>(kQuality).Position(), 40);
  EXPECT_TRUE(Get<RadioButton>(kWithLetter).Checked());
  EXPECT_FALSE(Get<RadioButton>(kWithNumber).Checked());
  EXPECT_TRUE(Records().empty());

  Reset();
  Reg().SetDword(HKCU, "\\Software\\Microsoft\\Windows\\Shell\\", "BagMRU Size", 5);
  Open();
  EXPECT_EQ(Get<forms::Label>(kViewCountShow).Caption(), "100");
  EXPECT_TRUE(Get<RadioButton>(kWithNumber).Checked());  // NoStrCmpLogical missing
  EXPECT_EQ(Get<Edit>(kThumbSize).Text(), "96");          // the field's design number
}

TEST_F(FolderTypesTest, ColoursLoadFromBytesAndText) {
  struct Case {
    std::function<void(MemoryRegistry&)> store;
    const char* swatch;
    forms::Color color;
  };
  const Case cases[] = {
      {[](MemoryRegistry& r) { r.SetString(HKCU, "\\Control Panel\\Colors\\", "HotTrackingColor", "0 102 204"); },
       "Ctrbar_Folder_Choose_Click_Color", 0xCC6600},
      {[](MemoryRegistry& r) { r.SetString(HKCU, "\\Control Panel\\Colors\\", "HotTrackingColor", "1 2"); },
       "Ctrbar_Folder_Choose_Click_Color", 12615935},
      {[](MemoryRegistry& r) { r.SetString(HKCU, "\\Control Panel\\Colors\\", "HotTrackingColor", "1 2 300"); },
       "Ctrbar_Folder_Choose_Click_Color", 12615935},
      {[](MemoryRegistry& r) { r.SetBinary(HKCU, kExplorer, "AltColor", {0, 0, 0xFF, 0}); },
       "Ctrbar_Folder_List_CompressedFile_Color", 0xFF0000},
      {[](MemoryRegistry& r) { r.SetBinary(HKCU, kExplorer, "AltEncryptionColor", {0x12, 0x34}); },
       "Ctrbar_Folder_List_EncryptedFile_Color", 0x3412},
      {[](MemoryRegistry& r) { r.SetBinary(HKCU, kExplorer, "AltEncryptionColor", {}); },
       "Ctrbar_Folder_List_EncryptedFile_Color", 0x008000},
  };
  for (const Case& c : cases) {
    Reset();
    c.store(Reg());
    Open();
    EXPECT_EQ(Get<Panel>(c.swatch).BackgroundColor(), c.color) << c.swatch;
  }
}

// --- changes -------------------------------------------------------------------------

TEST_F(FolderTypesTest, FlagClicksQueueTheirValue) {
  struct Case {
    const char* box;
    const char* value;
    const char* key;
    platform::RegKey root;
    int when_checked;
  };
  const Case cases[] = {
      {"Checkbox_Folder_View_Windows_Restore", "PersistBrowsers", kAdvanced, HKCU, 1},
      {kSaveViewSet, "ClassicViewState", kAdvanced, HKCU, 0},
      {kFileTip, "ShowInfoTip", kAdvanced, HKCU, 1},
      {kFolderTip, "FolderContentsInfoTip", kAdvanced, HKCU, 1},
      {kCompColor, "ShowCompColor", kAdvanced, HKCU, 1},
      {"Checkbox_Folder_Thumbnail_Cache", "DisableThumbnailCache", kAdvanced, HKCU, 0},
      {"Checkbox_Folder_View_Windows_ShowMenuBar", "AlwaysShowMenus", kAdvanced, HKCU, 1},
      {"Checkbox_Folder_Choose_AddCheckBox", "AutoCheckSelect", kAdvanced, HKCU, 1},
  };
  Open(7);
  for (const Case& c : cases) {
    auto& box = Get<CheckBox>(c.box);
    for (int click = 0; click < 2; ++click) {
      ASSERT_TRUE(box.UserClick()) << c.box;
      const int expected = box.Checked() ? c.when_checked : 1 - c.when_checked;
      ASSERT_NE(Record(c.box), nullptr) << c.box;
      EXPECT_EQ(*Record(c.box), engine::WriteRecord(c.box, c.root, c.key, c.value, 3, engine::MakeInt(expected)))
          << c.box;
    }
  }
  EXPECT_EQ(Records().size(), std::size(cases));
  EXPECT_TRUE(ApplyEnabled());
  EXPECT_FALSE(Window().Requests().RestartNeeded);
}

TEST_F(FolderTypesTest, DetailsBarDeletesThePolicyOrSetsItAndAsksForARestart) {
  Reg().SetDword(HKCU, kPolicies, "NoPreviewPane", 1);
  Open(7);
  ASSERT_FALSE(Checked(kDetails));
  Get<CheckBox>(kDetails).UserClick();
  ASSERT_EQ(Records().size(), 1u);
  EXPECT_EQ(Records()[0], engine::DeleteValueRecord(kDetails, HKCU, kPolicies, "NoPreviewPane"));
  EXPECT_EQ(Records()[0].Action, engine::kActionDeleteValue);
  EXPECT_TRUE(Window().Requests().RestartNeeded);
  Window().Button_ApplyClick();
  EXPECT_FALSE(Reg().ValueExists(HKCU, kPolicies, "NoPreviewPane"));

  Get<CheckBox>(kDetails).UserClick();
  ASSERT_EQ(Records().size(), 1u);
  EXPECT_EQ(Records()[0], engine::WriteRecord(kDetails, HKCU, kPolicies, "NoPreviewPane", 3, engine::MakeInt(1)));
  EXPECT_TRUE(Window().Requests().RestartNeeded);
}

TEST_F(FolderTypesTest, TreeViewAddsTheExploreVerbOnlyWhereItIsMissing) {
  Open(5);
  Get<CheckBox>(kTree).UserClick();
  const std::vector<TRegRecor> expected = {
      engine::WriteRecord(kTree, HKCR, "\\Folder\\shell\\", "", 1, engine::MakeText("explore")),
      engine::WriteRecord("Checkbox_Folder_View_Windows_Tree1", HKCR, "\\Folder\\shell\\explore\\", "BrowserFlags", 3,
                          engine::MakeInt(22)),
      engine::WriteRecord("Checkbox_Folder_View_Windows_Tree2", HKCR, "\\Folder\\shell\\explore\\", "ExplorerFlags", 3,
                          engine::MakeInt(22)),
      engine::WriteRecord("Checkbox_Folder_View_Windows_Tree3", HKCR, "\\Folder\\shell\\explore\\Command", "", 1,
                          engine::MakeText("%SystemRoot%\\Explorer.exe /e,/idlist,%I,%L")),
  };
  EXPECT_EQ(Records(), expected);
  Window().Button_ApplyClick();
  EXPECT_EQ(Reg().GetString(HKCR, "\\Folder\\shell\\explore\\Command", ""),
            "%SystemRoot%\\Explorer.exe /e,/idlist,%I,%L");
  EXPECT_EQ(Reg().GetDword(HKCR, "\\Folder\\shell\\explore\\", "BrowserFlags"), 22u);

  // Now the verb exists: checking again queues the default value only.
  Get<CheckBox>(kTree).UserClick();
  EXPECT_EQ(*Record(kTree), engine::WriteRecord(kTree, HKCR, "\\Folder\\shell\\", "", 1, engine::MakeText("")));
  Get<CheckBox>(kTree).UserClick();
  EXPECT_EQ(Records(), std::vector<TRegRecor>{expected[0]});
}

TEST_F(FolderTypesTest, SavedViewsTrackBarQueuesBothKeysAndShowsItsPosition) {
  Open();
  ASSERT_TRUE(Get<TrackBar>(kViewCount).UserSetPosition(1234));
  EXPECT_EQ(Get<forms::Label>(kViewCountShow).Caption(), "1234");
  const std::vector<TRegRecor> expected = {
      engine::WriteRecord("Trabar_Folder_View_BehaviorSet_SaveViewSetCount1", HKCU,
                          "\\Software\\Microsoft\\Windows\\Shell\\", "BagMRU Size", 3, engine::MakeInt(1234)),
      engine::WriteRecord("Trabar_Folder_View_BehaviorSet_SaveViewSetCount2", HKCU,
                          "\\Software\\Microsoft\\Windows\\ShellNoRoam\\", "BagMRU Size", 3, engine::MakeInt(1234)),
  };
  EXPECT_EQ(Records(), expected);

  Get<CheckBox>(kSaveViewSet).UserClick();  // loaded checked (missing): now cleared
  EXPECT_FALSE(Get<TrackBar>(kViewCount).Enabled());
  Get<CheckBox>(kSaveViewSet).UserClick();
  EXPECT_TRUE(Get<TrackBar>(kViewCount).Enabled());
}

TEST_F(FolderTypesTest, BothSortRadiosShareOneRecord) {
  Open();
  Get<RadioButton>(kWithLetter).UserClick();
  EXPECT_EQ(Records(), std::vector<TRegRecor>{engine::WriteRecord(kWithLetter, HKLM, kPolicies, "NoStrCmpLogical", 3,
                                                                 engine::MakeInt(1))});
  Get<RadioButton>(kWithNumber).UserClick();
  EXPECT_EQ(Records(), std::vector<TRegRecor>{engine::WriteRecord(kWithLetter, HKLM, kPolicies, "NoStrCmpLogical", 3,
                                                                 engine::MakeInt(0))});
}

TEST_F(FolderTypesTest, FileTipEnablesTheFolderTipWhereTheVersionOffersIt) {
  for (int version_class : {4, 5, 7}) {
    Reset();
    Open(version_class);
    auto& file_tip = Get<CheckBox>(kFileTip);  // loaded checked (missing)
    file_tip.UserClick();
    EXPECT_FALSE(Get<CheckBox>(kFolderTip).Enabled()) << version_class;
    file_tip.UserClick();
    EXPECT_EQ(Get<CheckBox>(kFolderTip).Enabled(), version_class >= 5) << version_class;
  }
}

TEST_F(FolderTypesTest, CompressedColoursToggleTheirLabelsAndButtons) {
  Reg().SetDword(HKCU, kAdvanced, "ShowCompColor", 1);
  Open();
  Get<CheckBox>(kCompColor).UserClick();
  for (const char* name : {"Label_Folder_List_CompressedFile", "Label_Folder_List_EncryptedFile",
                           "Button_Folder_List_CompressedFile_Change", "Button_Folder_List_EncryptedFile_Change"}) {
    EXPECT_FALSE(Get<Control>(name).Enabled()) << name;
  }
  Get<CheckBox>(kCompColor).UserClick();
  EXPECT_TRUE(Get<Control>("Label_Folder_List_EncryptedFile").Enabled());
  EXPECT_TRUE(Get<Control>("Button_Folder_List_EncryptedFile_Change").Enabled());
}

TEST_F(FolderTypesTest, ColourButtonsQueueWhatTheDialogChose) {
  Reg().SetDword(HKCU, kAdvanced, "ShowCompColor", 1);
  Open();
  Memory().dialogs().QueueColor(0x0000FF);
  ASSERT_TRUE(Get<Button>("Button_Folder_Choose_Click_Change").UserClick());
  EXPECT_EQ(*Record("Button_Folder_Choose_Click_Change"),
            engine::WriteRecord("Button_Folder_Choose_Click_Change", HKCU, "\\Control Panel\\Colors\\",
                                "HotTrackingColor", 1, engine::MakeText("255 0 0")));
  EXPECT_EQ(Get<Panel>("Ctrbar_Folder_Choose_Click_Color").BackgroundColor(), 0x0000FFu);

  Memory().dialogs().QueueColor(0xFF0000);
  ASSERT_TRUE(Get<Button>("Button_Folder_List_EncryptedFile_Change").UserClick());
  EXPECT_EQ(*Record("Button_Folder_List_EncryptedFile_Change"),
            engine::WriteRecord("Button_Folder_List_EncryptedFile_Change", HKCU, kExplorer, "AltEncryptionColor", 4,
                                engine::MakeBytes({0, 0, 0xFF})));
  EXPECT_EQ(Get<Panel>("Ctrbar_Folder_List_EncryptedFile_Color").BackgroundColor(), 0xFF0000u);

  Window().Button_ApplyClick();
  EXPECT_EQ(Reg().GetString(HKCU, "\\Control Panel\\Colors\\", "HotTrackingColor"), "255 0 0");
  EXPECT_EQ(Reg().Get(HKCU, kExplorer, "AltEncryptionColor")->bytes, (std::vector<std::uint8_t>{0, 0, 0xFF}));

  // Cancelled: nothing queued, the swatch stays, Apply is enabled all the same.
  Memory().dialogs().QueueColor(std::nullopt);
  ASSERT_TRUE(Get<Button>("Button_Folder_List_EncryptedFile_Change").UserClick());
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(Get<Panel>("Ctrbar_Folder_List_EncryptedFile_Color").BackgroundColor(), 0xFF0000u);
  EXPECT_TRUE(ApplyEnabled());
}

TEST_F(FolderTypesTest, ThumbnailFieldsQueueTheirNumbers) {
  Open();
  ASSERT_TRUE(Get<UpDown>(kThumbUpDown).UserClickUp());
  EXPECT_EQ(*Record(kThumbSize), engine::WriteRecord(kThumbSize, HKCU, kExplorer, "ThumbnailSize", 3,
                                                     engine::MakeInt(97)));
  auto& edit = Get<Edit>(kThumbSize);
  edit.UserSetText("  ");
  EXPECT_EQ(Record(kThumbSize)->Value, engine::MakeInt(0));
  edit.UserSetText("abc");  // pasted: no number to store
  EXPECT_EQ(Record(kThumbSize)->Value, engine::MakeInt(0));
  ASSERT_TRUE(Get<TrackBar>(kQuality).UserSetPosition(55));
  EXPECT_EQ(*Record(kQuality), engine::WriteRecord(kQuality, HKCU, kExplorer, "ThumbnailQuality", 3,
                                                   engine::MakeInt(55)));
}

// --- Default buttons ------------------------------------------------------------------

TEST_F(FolderTypesTest, ViewDefaultsQueueOnlyWhatChanges) {
  Reg().SetDword(HKCU, kAdvanced, "PersistBrowsers", 1);
  Reg().SetDword(HKCU, kAdvanced, "ClassicViewState", 0);  // already the default
  Reg().SetDword(HKCU, "\\Software\\Microsoft\\Windows\\Shell\\", "BagMRU Size", 400);
  Open(5);
  Get<Button>("Button_Folder_View_BehaviorSet_Default").UserClick();
  // Class 5 hides the details box and never reads it: the default leaves it alone.
  EXPECT_EQ(Names(),
            (std::vector<std::string>{"Checkbox_Folder_View_Windows_Restore",
                                      "Trabar_Folder_View_BehaviorSet_SaveViewSetCount1",
                                      "Trabar_Folder_View_BehaviorSet_SaveViewSetCount2"}));
  EXPECT_FALSE(Checked(kDetails));
  EXPECT_FALSE(Window().Requests().RestartNeeded);  // only the details box asks for it
  ASSERT_NE(Record("Trabar_Folder_View_BehaviorSet_SaveViewSetCount1"), nullptr);
  EXPECT_EQ(Record("Trabar_Folder_View_BehaviorSet_SaveViewSetCount1")->Value, engine::MakeInt(5000));
  EXPECT_EQ(Get<forms::Label>(kViewCountShow).Caption(), "5000");
}

TEST_F(FolderTypesTest, ListAndThumbnailDefaults) {
  Reg().SetDword(HKCU, kAdvanced, "ShowInfoTip", 0);
  Reg().SetDword(HKLM, kPolicies, "NoStrCmpLogical", 1);
  Reg().SetDword(HKCU, kExplorer, "ThumbnailSize", 200);
  Reg().SetDword(HKCU, kAdvanced, "DisableThumbnailCache", 0);  // cache on already
  Open(5);
  Get<Button>("Button_Folder_List_Default").UserClick();
  // FolderContentsInfoTip loaded checked (missing) and stays; ShowCompColor loaded unchecked.
  EXPECT_EQ(Names(), (std::vector<std::string>{kFileTip, kCompColor, kWithLetter}));
  EXPECT_EQ(Record(kWithLetter)->Value, engine::MakeInt(0));
  EXPECT_TRUE(Get<CheckBox>(kFolderTip).Enabled());

  Get<Button>("Button_Folder_Thumbnail_Default").UserClick();
  EXPECT_EQ(Record(kThumbSize)->Value, engine::MakeInt(96));
  EXPECT_EQ(Record(kQuality), nullptr);  // design position 90 already
  EXPECT_EQ(Record("Checkbox_Folder_Thumbnail_Cache"), nullptr);
}

// --- versions and layout ------------------------------------------------------------

TEST_F(FolderTypesTest, VersionClassesAdaptThePage) {
  for (int version_class : {0, 4, 5, 6, 7, 8}) {
    Reset();
    Open(version_class);
    const bool vista = version_class > 5;
    const bool old = version_class < 5;
    const std::string where = "class " + std::to_string(version_class);
    EXPECT_EQ(Get<Control>(kTree).Visible(), !vista) << where;
    EXPECT_EQ(Get<Control>("Checkbox_Folder_View_Windows_ShowMenuBar").Visible(), vista) << where;
    EXPECT_EQ(Get<Control>(kDetails).Visible(), vista) << where;
    EXPECT_EQ(Get<Control>("GroupBox_Folder_Choose_Choose").Visible(), vista) << where;
    EXPECT_EQ(Get<forms::TabSheet>("TabSheet_Folder_Thumbnail").TabVisible(), !vista) << where;
    if (vista) {
      EXPECT_EQ(Get<Control>("Checkbox_Folder_View_Windows_ShowMenuBar").Left(), Get<Control>(kTree).Left()) << where;
    }
    EXPECT_EQ(Get<Control>("Groupbox_Folder_View_Windows").Height(), vista ? 92 : 72) << where;
    EXPECT_EQ(Get<Control>("Groupbox_Folder_View_BehaviorSet").Top(), vista ? 108 : 88) << where;
    for (const char* name : {"Checkbox_Folder_View_Windows_Restore", kFolderTip, kWithLetter, kWithNumber,
                             "GroupBox_Folder_List_ArrangeIcons"}) {
      EXPECT_EQ(Get<Control>(name).Enabled(), !old) << where << " " << name;
    }
    const auto& sheets = Get<forms::PageControl>("pagctrlfloder").Sheets();
    for (forms::TabSheet* sheet : sheets) {
      // Every sheet is judged, also the one whose tab is hidden.
      EXPECT_EQ(forms::DescribeLayout(forms::CheckLayout(*sheet)), "") << where << " " << sheet->Name();
    }
    EXPECT_EQ(forms::DescribeLayout(forms::CheckLayout(Window().Context(3).Page())), "") << where;
  }
}

// --- the folder dialog buttons ------------------------------------------------------

TEST_F(FolderTypesTest, SettingsButtonsOpenTheFolderDialogInTheirModes) {
  struct Shown {
    std::string caption;
    int mode;
  };
  std::vector<Shown> shown;
  Open(7, [&](forms::Form& form) {
    auto& dialog = dynamic_cast<folder_dialog::TCorvanel_FormFolder&>(form);
    shown.push_back({form.Caption(), dialog.DialogMode()});
    form.ShowForm();
    if (dialog.DesktopMode()) {
      dialog.Find<CheckBox>("CHKmantools").UserClick();
    } else {
      dialog.ListView1().UserCheckItem(2, false);
    }
    form.Find<Button>("Button_OK").UserClick();
    return form.Result();
  });
  Get<Button>("Button_Folder_Advanced_Desktop_Set").UserClick();
  Get<Button>("Button_Folder_Advanced_MyComputer_Set").UserClick();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].caption, "Desktop");
  EXPECT_EQ(shown[0].mode, folder_dialog::kDesktopMode);
  EXPECT_EQ(shown[1].caption, "Drivers");
  EXPECT_EQ(shown[1].mode, folder_dialog::kDrivesMode);
  // The dialog writes on its own OK; the window's queue and Apply are not involved.
  EXPECT_EQ(Reg().GetDword(HKCU, folder_dialog::kNewStartPanelKey, "{D20EA4E1-3957-11D2-A40B-0C5020524153}"), 0u);
  EXPECT_EQ(Reg().Get(HKCU, folder_dialog::kDrivePolicyKey, "NoDrives")->bytes,
            (std::vector<std::uint8_t>{0x04, 0, 0, 0}));
  EXPECT_TRUE(Records().empty());
  EXPECT_FALSE(ApplyEnabled());
}

TEST_F(FolderTypesTest, WithoutItsOwnDisplayThePageUsesTheWindows) {
  Open(7);
  // No renderer yet: the dialog cannot be shown and so writes nothing.
  Get<Button>("Button_Folder_Advanced_MyComputer_Set").UserClick();
  EXPECT_FALSE(Reg().ValueExists(HKCU, folder_dialog::kDrivePolicyKey, "NoDrives"));

  int shown = 0;
  Window().SetShowModal([&](forms::Form& form) {
    ++shown;
    form.ShowForm();
    dynamic_cast<folder_dialog::TCorvanel_FormFolder&>(form).ListView1().UserCheckItem(25, false);
    form.Find<Button>("Button_OK").UserClick();
    return form.Result();
  });
  Get<Button>("Button_Folder_Advanced_MyComputer_Set").UserClick();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(Reg().Get(HKCU, folder_dialog::kDrivePolicyKey, "NoDrives")->bytes,
            (std::vector<std::uint8_t>{0, 0, 0, 0x02}));
}

TEST_F(FolderTypesTest, AFailingDialogIsSwallowed) {
  Open(5, [](forms::Form&) -> forms::ModalResult { throw std::runtime_error("no window"); });
  EXPECT_NO_THROW(Get<Button>("Button_Folder_Advanced_MyComputer_Set").UserClick());
  EXPECT_NO_THROW(Get<Button>("Button_Folder_Advanced_Desktop_Set").UserClick());
  EXPECT_FALSE(Reg().ValueExists(HKCU, folder_dialog::kDrivePolicyKey, "NoDrives"));
}

}  // namespace
}  // namespace corvanel::pages
