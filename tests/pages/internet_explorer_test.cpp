#include "pages/browser/internet_explorer.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/pages/page_harness.h"

namespace corvanel::pages {
namespace {

using engine::TRegRecor;
using forms::Button;
using forms::CheckBox;
using forms::Edit;
using forms::RadioButton;
using forms::TabSheet;
using forms::TreeNode;
using forms::TreeView;
using forms::UpDown;
using platform::HKCU;
using platform::memory::MemoryRegistry;
namespace win = platform::win;

constexpr const char* kHomepage = "Edit_IE_Common_Homepage_Address";
constexpr const char* kWithBlank = "Button_IE_Common_Homepage_WithBlank";
constexpr const char* kKeepDays = "Updown_IE_Common_History_KeepDays";
constexpr const char* kClearHistory = "Button_IE_Common_History_ClearHistory";
constexpr const char* kMedia = "Checkbox_IE_Common_Media_Open";
constexpr const char* kTitle = "Edit_IE_View_Title_Title";
constexpr const char* kBitmap = "Checkbox_IE_View_ToolBack_Bitmap";
constexpr const char* kPicturePath = "Edit_IE_View_ToolBack_PicturePath";
constexpr const char* kBrowse = "Button_IE_View_ToolBack_Select";
constexpr const char* kShowNew = "Radio_IE_Menu_File_ShowNew";
constexpr const char* kSubMenu = "Radio_IE_Menu_File_SubMenu";
constexpr const char* kTree = "Tree_IE_Favorites_Show";
constexpr const char* kHide = "Button_IE_Favorites_Hide";

constexpr const char* kMain = "\\Software\\Microsoft\\Internet Explorer\\Main\\";
constexpr const char* kHistory = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Url History\\";
constexpr const char* kRestrictions = "\\Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions\\";
constexpr const char* kToolbar = "\\Software\\Microsoft\\Internet Explorer\\Toolbar\\";
constexpr const char* kPolicies = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
constexpr const char* kShellFolders = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\";
constexpr const char* kVersionVector = "\\SOFTWARE\\Microsoft\\Internet Explorer\\Version Vector";
constexpr const char* kFavorites = "C:\\users\\user\\Favorites";
constexpr std::uint32_t kSystem = 0x4;

class InternetExplorerPageTest : public harness::PageTest {
 protected:
  InternetExplorerPageTest() : PageTest(CreateInternetExplorerPage) {}
  void Open(int version_class = 5) { PageTest::Open(version_class); }

  TreeNode* Node(const std::string& path) const {
    const std::vector<TreeNode*> nodes = Get<TreeView>(kTree).AllNodes();
    for (TreeNode* n : nodes) {
      std::string full = n->Text();
      for (TreeNode* p = n->Parent(); p != nullptr; p = p->Parent()) full = p->Text() + "\\" + full;
      if (full == path) return n;
    }
    return nullptr;
  }
  void Select(const std::string& path) { ASSERT_TRUE(Get<TreeView>(kTree).UserSelect(Node(path))) << path; }
  std::uint32_t Attributes(const std::string& below) { return Memory().files().GetAttributes(kFavorites + below); }
};

TRegRecor Text(std::string name, std::string key, std::string value, std::string text) {
  return engine::WriteRecord(std::move(name), HKCU, std::move(key), std::move(value), 1, engine::MakeText(std::move(text)));
}
TRegRecor Number(std::string name, std::string key, std::string value, std::int32_t n) {
  return engine::WriteRecord(std::move(name), HKCU, std::move(key), std::move(value), 3, engine::MakeInt(n));
}

// --- loading ---------------------------------------------------------------------------

TEST_F(InternetExplorerPageTest, StoredValuesShowAsTheirRowsSay) {
  using Setup = std::function<void(MemoryRegistry&)>;
  using Probe = std::function<std::string()>;
  const Probe homepage = [this] { return Get<Edit>(kHomepage).Text(); };
  const Probe days = [this] { return std::to_string(Get<UpDown>(kKeepDays).Position()); };
  const Probe media = [this] { return std::string(Checked(kMedia) ? "checked" : "cleared"); };
  const Probe title = [this] { return Get<Edit>(kTitle).Text(); };
  const Probe bitmap = [this] {
    return std::string(Checked(kBitmap) ? "checked " : "cleared ") + Get<Edit>(kPicturePath).Text() +
           (Get<Button>(kBrowse).Enabled() ? " browse" : "");
  };
  const Probe menu = [this] {
    const bool show_new = Get<RadioButton>(kShowNew).Checked();
    const bool sub_menu = Get<RadioButton>(kSubMenu).Checked();
    return std::string(show_new ? "ShowNew" : "") + (sub_menu ? "SubMenu" : "");
  };
  struct Row {
    const char* what;
    Setup setup;
    Probe probe;
    std::string shown;
  };
  const Row rows[] = {
      {"start page", [](auto& r) { r.SetString(HKCU, kMain, "Start Page", "http://a.example/"); }, homepage,
       "http://a.example/"},
      {"start page as number", [](auto& r) { r.SetDword(HKCU, kMain, "Start Page", 7); }, homepage, "7"},
      {"start page as binary", [](auto& r) { r.SetBinary(HKCU, kMain, "Start Page", {1, 2}); }, homepage, ""},
      {"no start page", [](auto&) {}, homepage, ""},
      {"history days", [](auto& r) { r.SetDword(HKCU, kHistory, "DaysToKeep", 45); }, days, "45"},
      {"history days as text", [](auto& r) { r.SetString(HKCU, kHistory, "DaysToKeep", "9"); }, days, "9"},
      {"history days beyond the range", [](auto& r) { r.SetDword(HKCU, kHistory, "DaysToKeep", 999); }, days, "100"},
      {"history days no number", [](auto& r) { r.SetString(HKCU, kHistory, "DaysToKeep", "many"); }, days, "20"},
      {"no history days", [](auto&) {}, days, "20"},
      {"media bar allowed", [](auto& r) { r.SetDword(HKCU, kRestrictions, "No_LaunchMediaBar", 0); }, media,
       "checked"},
      {"media bar refused", [](auto& r) { r.SetDword(HKCU, kRestrictions, "No_LaunchMediaBar", 1); }, media,
       "cleared"},
      {"media bar policy as text", [](auto& r) { r.SetString(HKCU, kRestrictions, "No_LaunchMediaBar", "yes"); },
       media, "cleared"},
      {"no media bar policy", [](auto&) {}, media, "checked"},
      {"window title", [](auto& r) { r.SetString(HKCU, kMain, "Window Title", "My IE"); }, title, "My IE"},
      {"no window title", [](auto&) {}, title, ""},
      {"toolbar bitmap", [](auto& r) { r.SetString(HKCU, kToolbar, "BackBitmap", "C:\\b.bmp"); }, bitmap,
       "checked C:\\b.bmp browse"},
      {"no toolbar bitmap", [](auto&) {}, bitmap, "cleared "},
      {"New window", [](auto& r) { r.SetDword(HKCU, kPolicies, "NoExpandedNewMenu", 1); }, menu, "ShowNew"},
      {"New window, 5", [](auto& r) { r.SetDword(HKCU, kPolicies, "NoExpandedNewMenu", 5); }, menu, "ShowNew"},
      {"New tab, 0", [](auto& r) { r.SetDword(HKCU, kPolicies, "NoExpandedNewMenu", 0); }, menu, "SubMenu"},
      {"New tab, negative", [](auto& r) { r.SetDword(HKCU, kPolicies, "NoExpandedNewMenu", 0xFFFFFFFF); }, menu,
       "SubMenu"},
      {"New entry not a number", [](auto& r) { r.SetString(HKCU, kPolicies, "NoExpandedNewMenu", "x"); }, menu, ""},
      {"no New entry policy", [](auto&) {}, menu, "SubMenu"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Reset();
    row.setup(Reg());
    Open(4);
    EXPECT_EQ(row.probe(), row.shown);
    EXPECT_TRUE(Queue().Empty());
    EXPECT_FALSE(ApplyEnabled());
  }
}

TEST_F(InternetExplorerPageTest, TheLoadersReadInTheirOrder) {
  for (const int version_class : {5, 6}) {
    SCOPED_TRACE(version_class);
    Reset();
    Open(version_class);
    std::vector<std::string> opened;
    for (const auto& access : Reg().access_log()) {
      if (access.call == "open" && access.root == HKCU) opened.push_back(access.path);
    }
    std::vector<std::string> expected = {
        "Software\\Microsoft\\Internet Explorer\\Main",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Url History",
        "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions",
        "Software\\Microsoft\\Internet Explorer\\Main",
        "Software\\Microsoft\\Internet Explorer\\Toolbar",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
    };
    // From Vista on the toolbar bitmap is not read.
    if (version_class > 5) expected.erase(expected.begin() + 4);
    EXPECT_EQ(opened, expected);
  }
}

// --- adaptation ------------------------------------------------------------------------

TEST_F(InternetExplorerPageTest, VersionClassesAndIEVersionsHideWhatTheyLack) {
  struct IE {
    std::optional<std::string> version;  // nullopt: no version vector
    bool eight_or_later;
  };
  const IE versions[] = {{std::nullopt, false}, {"6", false},        {"7.0000", false}, {"8", true},
                         {"8.0000", true},      {"9", true},         {"10", true},      {"10.0000", true},
                         {"11", true},          {"11.0000", true}};
  for (const int version_class : harness::kVersionClasses) {
    for (const IE& ie : versions) {
      SCOPED_TRACE(std::to_string(version_class) + " IE " + ie.version.value_or("(none)"));
      Reset();
      if (ie.version) Reg().SetString(platform::HKLM, kVersionVector, "IE", *ie.version);
      Reg().SetString(HKCU, kToolbar, "BackBitmap", "C:\\b.bmp");
      Open(version_class);
      EXPECT_EQ(Ctl("GroupBox_IE_Common_Media").Visible(), version_class <= 4);
      const bool old_windows = version_class <= 5;
      EXPECT_EQ(Ctl("GroupBox_IE_View_ToolBack").Visible(), old_windows && !ie.eight_or_later);
      // Read only where Windows still has it, also when Internet Explorer hides it.
      EXPECT_EQ(Checked(kBitmap), old_windows);
      EXPECT_EQ(Get<TabSheet>("TabSheet_IE_Menu").TabVisible(), !ie.eight_or_later);
      EXPECT_TRUE(Get<TabSheet>("TabSheet_IE_Favorites").TabVisible());
      for (const int tab : {0, 1, 2, 3}) {
        Get<forms::PageControl>("pagIE").SetActivePageIndex(tab);
        EXPECT_EQ(LayoutProblems(), "") << "tab " << tab;
      }
    }
  }
}

// --- changes -------------------------------------------------------------------------

TEST_F(InternetExplorerPageTest, EachControlQueuesItsRecords) {
  using Act = std::function<void()>;
  struct Row {
    const char* what;
    int version_class;
    Act act;
    std::vector<TRegRecor> records;
  };
  const TRegRecor no_bitmap = engine::DeleteValueRecord("BackBitmap", HKCU, kToolbar, "BackBitmap");
  const Row rows[] = {
      {"home page typed", 5, [this] { Get<Edit>(kHomepage).UserTypeText("ab"); },
       {Text(kHomepage, kMain, "Start Page", "ab")}},
      {"Use Blank", 5,
       [this] {
         Get<Edit>(kHomepage).UserTypeText("x");
         Get<Button>(kWithBlank).UserClick();
         EXPECT_EQ(Get<Edit>(kHomepage).Text(), "about:blank");
       },
       {Text(kHomepage, kMain, "Start Page", "about:blank")}},
      {"history days up", 5, [this] { Get<UpDown>(kKeepDays).UserClickUp(); },
       {Number(kKeepDays, kHistory, "DaysToKeep", 21)}},
      {"media bar cleared", 4, [this] { Box(kMedia).UserClick(); },
       {Number(kMedia, kRestrictions, "No_LaunchMediaBar", 1)}},
      {"media bar checked again", 4,
       [this] {
         Box(kMedia).UserClick();
         Box(kMedia).UserClick();
       },
       {Number(kMedia, kRestrictions, "No_LaunchMediaBar", 0)}},
      {"title typed", 5, [this] { Get<Edit>(kTitle).UserTypeText("T 1"); },
       {Text(kTitle, kMain, "Window Title", "T 1")}},
      {"title only blanks", 5, [this] { Get<Edit>(kTitle).UserTypeText("  "); },
       {engine::DeleteValueRecord(kTitle, HKCU, kMain, "Window Title")}},
      {"bitmap checked without a path", 5, [this] { Box(kBitmap).UserClick(); }, {no_bitmap}},
      {"bitmap browsed", 5,
       [this] {
         Box(kBitmap).UserClick();
         Memory().dialogs().QueueOpenFile("C:\\pics\\sky.bmp");
         Get<Button>(kBrowse).UserClick();
       },
       {Text("BackBitmap", kToolbar, "BackBitmap", "C:\\pics\\sky.bmp")}},
      {"bitmap cleared with a path shown", 5,
       [this] {
         Box(kBitmap).UserClick();
         Memory().dialogs().QueueOpenFile("C:\\pics\\sky.bmp");
         Get<Button>(kBrowse).UserClick();
         Box(kBitmap).UserClick();
         EXPECT_FALSE(Get<Button>(kBrowse).Enabled());
         EXPECT_FALSE(Get<Edit>(kPicturePath).Enabled());
       },
       {no_bitmap}},
      {"New window", 5, [this] { Get<RadioButton>(kShowNew).UserClick(); },
       {Number(kShowNew, kPolicies, "NoExpandedNewMenu", 1)}},
      {"New tab after New window", 5,
       [this] {
         Get<RadioButton>(kShowNew).UserClick();
         Get<RadioButton>(kSubMenu).UserClick();
       },
       {Number(kShowNew, kPolicies, "NoExpandedNewMenu", 0)}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Reset();
    Open(row.version_class);
    row.act();
    EXPECT_EQ(Records(), row.records);
    EXPECT_TRUE(ApplyEnabled());
  }
}

TEST_F(InternetExplorerPageTest, BrowseOffersBitmapsAndKeepsThePathWhenCancelled) {
  Reg().SetString(HKCU, kToolbar, "BackBitmap", "C:\\old.bmp");
  Open(5);
  Memory().dialogs().QueueOpenFile(std::nullopt);
  ASSERT_TRUE(Get<Button>(kBrowse).UserClick());
  ASSERT_EQ(Memory().dialogs().calls().size(), 1u);
  const auto& call = Memory().dialogs().calls()[0];
  ASSERT_EQ(call.filters.size(), 1u);
  EXPECT_EQ(call.filters[0].name, "(*.BMP)");
  EXPECT_EQ(call.filters[0].pattern, "*.BMP");
  EXPECT_EQ(call.initial, "");
  EXPECT_EQ(Get<Edit>(kPicturePath).Text(), "C:\\old.bmp");
  EXPECT_EQ(Records(), std::vector<TRegRecor>{Text("BackBitmap", kToolbar, "BackBitmap", "C:\\old.bmp")});
}

TEST_F(InternetExplorerPageTest, ClearingTheHistoryAsksFirst) {
  for (const int answer : {win::IDYES, win::IDNO}) {
    SCOPED_TRACE(answer);
    Reset();
    Open();
    EXPECT_FALSE(Ctl(kClearHistory).Visible());
    Memory().dialogs().QueueMessageBox(answer);
    Get<Button>(kClearHistory).Click();
    ASSERT_EQ(Memory().dialogs().calls().size(), 1u);
    const auto& call = Memory().dialogs().calls()[0];
    EXPECT_EQ(call.text, "Do you want to delete IE history? You can not revert back!");
    EXPECT_EQ(call.caption, Window().Caption());
    EXPECT_EQ(call.flags, win::MB_YESNO | win::MB_ICONQUESTION);
    if (answer == win::IDYES) {
      EXPECT_EQ(Records(), std::vector<TRegRecor>{engine::DeleteKeyRecord(
                               kClearHistory, HKCU, "\\Software\\Microsoft\\Internet Explorer\\TypedURLs\\")});
      EXPECT_TRUE(ApplyEnabled());
    } else {
      EXPECT_TRUE(Queue().Empty());
      EXPECT_FALSE(ApplyEnabled());
    }
  }
}

// --- Favorites -------------------------------------------------------------------------

class FavoritesTest : public InternetExplorerPageTest {
 protected:
  void SetUp() override {
    Reg().SetExpandString(HKCU, kShellFolders, "Favorites", "%USERPROFILE%\\Favorites\\");
    auto& files = Memory().files();
    files.AddDirectory(std::string(kFavorites) + "\\Links\\Deep");
    files.SetAttributes(std::string(kFavorites) + "\\Links", kSystem);
    files.AddFile(std::string(kFavorites) + "\\a.url", "[InternetShortcut]");
    files.AddDirectory(std::string(kFavorites) + "\\News");
    files.SetAttributes(std::string(kFavorites) + "\\News", win::FILE_ATTRIBUTE_HIDDEN);
    // A junction back to the folder itself: listed, never entered.
    files.AddJunction(std::string(kFavorites) + "\\Loop", kFavorites);
  }
};

TEST_F(FavoritesTest, TheTreeShowsTheFoldersWithTheirState) {
  Open();
  std::vector<std::string> shown;
  for (const TreeNode* n : Get<TreeView>(kTree).AllNodes()) {
    shown.push_back(std::string(n->Level(), ' ') + n->Text() + " " + std::to_string(n->StateIndex()));
  }
  const std::vector<std::string> expected = {"Favorites -1", " Links 0", "  Deep 0", " News 1", " Loop 0"};
  EXPECT_EQ(shown, expected);
  EXPECT_TRUE(Get<TreeView>(kTree).RootNodes()[0]->Expanded());
  EXPECT_FALSE(Get<Button>(kHide).Enabled());

  Reset();
  Open();
  EXPECT_EQ(Get<TreeView>(kTree).NodeCount(), 0) << "no Favorites value, no tree";
}

TEST_F(FavoritesTest, SelectionSetsTheButton) {
  Open();
  Select("Favorites\\News");
  EXPECT_TRUE(Get<Button>(kHide).Enabled());
  EXPECT_EQ(Get<Button>(kHide).Caption(), "Show");
  Select("Favorites\\Links\\Deep");
  EXPECT_EQ(Get<Button>(kHide).Caption(), "Hide");
  Select("Favorites");
  EXPECT_FALSE(Get<Button>(kHide).Enabled());
}

TEST_F(FavoritesTest, HideAndShowChangeTheFolderAtOnce) {
  Open();
  Select("Favorites\\Links");
  const std::uint32_t before = Attributes("\\Links");
  ASSERT_TRUE(Get<Button>(kHide).UserClick());
  EXPECT_EQ(Attributes("\\Links"), before | win::FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(Node("Favorites\\Links")->StateIndex(), 1);
  EXPECT_EQ(Get<Button>(kHide).Caption(), "Show");
  ASSERT_TRUE(Get<Button>(kHide).UserClick());
  EXPECT_EQ(Attributes("\\Links"), before);
  EXPECT_EQ(Node("Favorites\\Links")->StateIndex(), 0);
  EXPECT_EQ(Get<Button>(kHide).Caption(), "Hide");
  EXPECT_NE(0u, before & kSystem) << "other attributes stay";
  // A folder with no attribute but hidden is left with none.
  Select("Favorites\\News");
  ASSERT_TRUE(Get<Button>(kHide).UserClick());
  EXPECT_EQ(Attributes("\\News"), win::FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(Node("Favorites\\News")->StateIndex(), 0);
  EXPECT_TRUE(Queue().Empty());
  EXPECT_TRUE(Memory().dialogs().calls().empty());
}

TEST_F(FavoritesTest, AFailedChangeIsReportedAndNotShown) {
  struct Row {
    const char* what;
    std::function<void(platform::memory::MemoryFiles&)> fail;
    const char* error;
  };
  const std::string news = std::string(kFavorites) + "\\News";
  const Row rows[] = {
      {"access denied", [&](auto& f) { f.FailSetAttributes(news, win::kAccessDenied); }, "5"},
      {"folder gone", [&](auto& f) { f.Remove(news); }, "2"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Reset();
    SetUp();
    Open();
    Select("Favorites\\News");
    row.fail(Memory().files());
    const std::uint32_t before = Attributes("\\News");
    ASSERT_TRUE(Get<Button>(kHide).UserClick());
    EXPECT_EQ(Attributes("\\News"), before);
    EXPECT_EQ(Node("Favorites\\News")->StateIndex(), 1);
    EXPECT_EQ(Get<Button>(kHide).Caption(), "Show");
    ASSERT_EQ(Memory().dialogs().calls().size(), 1u);
    const auto& call = Memory().dialogs().calls()[0];
    EXPECT_EQ(call.text, "Cannot hide or show the folder \"" + news + "\" (Windows error " + row.error + ").");
    EXPECT_EQ(call.caption, Window().Caption());
  }
}

}  // namespace
}  // namespace corvanel::pages
