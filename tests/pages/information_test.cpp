#include "pages/system/information.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/pages/page_harness.h"
#include "tests/pages/row_checks.h"

namespace corvanel::pages {
namespace {

using checks::Described;
using checks::Int;
using checks::Str;
using engine::TRegRecor;
using forms::Button;
using forms::Edit;
using forms::PageControl;
using platform::HKCU;
using platform::HKLM;
using Registry = platform::memory::MemoryRegistry;

constexpr const char* kCurrentVersion = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\";
constexpr const char* kUserInfo = "\\Software\\Microsoft\\MS Setup (ACME)\\User Info\\";
constexpr const char* kComdlg = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\comdlg32\\";
constexpr const char* kAutoComplete = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete\\";
constexpr const char* kCabinet = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CabinetState\\";
constexpr const char* kCiSvc = "\\SYSTEM\\CurrentControlSet\\Services\\CiSvc\\";
constexpr const char* kConsole = "\\Software\\Microsoft\\Command Processor\\";

constexpr const char* kOwner = "Edit_System_Common_Infomation_Name";
constexpr const char* kOrganization = "Edit_System_Common_Infomation_Company";
constexpr const char* kDefName = "Edit_System_Common_Installer_Name";
constexpr const char* kDefCompany = "Edit_System_Common_Installer_Company";
constexpr const char* kAutoFill = "Checkbox_System_CommonDialog_FileName_Autofinish";
constexpr const char* kRecent = "Checkbox_System_CommonDialog_FileName_Recent";
constexpr const char* kPlaces = "Checkbox_System_CommonDialog_FolderNavigation_ShowLeft";
constexpr const char* kBack = "Checkbox_System_CommonDialog_FolderNavigation_ShowReturn";
constexpr const char* kClassic = "Checkbox_System_Search_IndexService_ClassicSearch_InExplorer";
constexpr const char* kNoIndex = "Checkbox_System_Search_IndexService_Enabled";
constexpr const char* kBackground = "CMboundColor";
constexpr const char* kFont = "CMfontcolor";

class InformationTest : public harness::PageTest {
 protected:
  InformationTest() : PageTest(CreateInformationPage) {}
  void Open(int version_class = 5) { PageTest::Open(version_class); }
  const std::string& Text(const char* edit) const { return Get<Edit>(edit).Text(); }
};

using Prepare = std::function<void(Registry&)>;

TEST_F(InformationTest, NamesShowAndMissingInstallerDefaultsTakeTheRegistration) {
  struct Row {
    const char* what;
    Prepare setup;
    std::vector<std::string> texts;  // owner, organisation, installer name, installer company
  };
  const Row rows[] = {
      {"all four",
       [](Registry& r) {
         r.SetString(HKLM, kCurrentVersion, "RegisteredOwner", "Ann");
         r.SetString(HKLM, kCurrentVersion, "RegisteredOrganization", "Acme");
         r.SetString(HKCU, kUserInfo, "DefName", "Bob");
         r.SetString(HKCU, kUserInfo, "DefCompany", "Bits");
       },
       {"Ann", "Acme", "Bob", "Bits"}},
      {"installer values missing",
       [](Registry& r) {
         r.SetString(HKLM, kCurrentVersion, "RegisteredOwner", "Ann");
         r.SetString(HKLM, kCurrentVersion, "RegisteredOrganization", "Acme");
       },
       {"Ann", "Acme", "Ann", "Acme"}},
      {"a number shows in decimal",
       [](Registry& r) {
         r.SetString(HKLM, kCurrentVersion, "RegisteredOwner", "Ann");
         r.SetDword(HKCU, kUserInfo, "DefName", 5);
       },
       {"Ann", "", "5", ""}},
      {"bytes leave their edit, the rest still read",
       [](Registry& r) {
         r.SetBinary(HKLM, kCurrentVersion, "RegisteredOwner", {1});
         r.SetString(HKLM, kCurrentVersion, "RegisteredOrganization", "Acme");
       },
       {"", "Acme", "", "Acme"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Reset();
    row.setup(Reg());
    Open();
    EXPECT_EQ((std::vector<std::string>{Text(kOwner), Text(kOrganization), Text(kDefName), Text(kDefCompany)}),
              row.texts);
    EXPECT_TRUE(Queue().Empty());
  }
}

TEST_F(InformationTest, BoxesShowTheStoredState) {
  struct Row {
    const char* what;
    Prepare setup;
    const char* box;
    bool checked;
  };
  const Row rows[] = {
      {"auto-fill missing", [](Registry&) {}, kAutoFill, true},
      {"auto-fill 0", [](Registry& r) { r.SetDword(HKCU, kAutoComplete, "AutoComplete In File Dialog", 0); }, kAutoFill,
       false},
      {"auto-fill 2", [](Registry& r) { r.SetDword(HKCU, kAutoComplete, "AutoComplete In File Dialog", 2); }, kAutoFill,
       true},
      {"auto-fill text", [](Registry& r) { r.SetString(HKCU, kAutoComplete, "AutoComplete In File Dialog", "yes"); },
       kAutoFill, false},
      {"recent missing", [](Registry&) {}, kRecent, true},
      {"recent off", [](Registry& r) { r.SetDword(HKCU, kComdlg, "NoFileMru", 1); }, kRecent, false},
      {"recent 0", [](Registry& r) { r.SetDword(HKCU, kComdlg, "NoFileMru", 0); }, kRecent, true},
      {"places bar off", [](Registry& r) { r.SetDword(HKCU, kComdlg, "NoPlacesBar", 1); }, kPlaces, false},
      {"places bar 7", [](Registry& r) { r.SetDword(HKCU, kComdlg, "NoPlacesBar", 7); }, kPlaces, true},
      {"back button off", [](Registry& r) { r.SetDword(HKCU, kComdlg, "NoBackButton", 1); }, kBack, false},
      {"back button missing", [](Registry&) {}, kBack, true},
      {"search assistant yes", [](Registry& r) { r.SetString(HKCU, kCabinet, "Use Search Asst", "yes"); }, kClassic,
       false},
      {"search assistant no", [](Registry& r) { r.SetString(HKCU, kCabinet, "Use Search Asst", "no"); }, kClassic,
       true},
      {"search assistant missing", [](Registry&) {}, kClassic, false},
      {"indexing disabled", [](Registry& r) { r.SetDword(HKLM, kCiSvc, "Start", 4); }, kNoIndex, true},
      {"indexing automatic", [](Registry& r) { r.SetDword(HKLM, kCiSvc, "Start", 2); }, kNoIndex, false},
      {"no indexing service", [](Registry&) {}, kNoIndex, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Reset();
    row.setup(Reg());
    Open();
    EXPECT_EQ(Checked(row.box), row.checked);
    EXPECT_TRUE(Queue().Empty());
    EXPECT_FALSE(ApplyEnabled());
  }
}

TEST_F(InformationTest, ConsoleColoursSplitTheAttribute) {
  struct Row {
    const char* what;
    Prepare setup;
    int background;
    int font;
  };
  const Row rows[] = {
      {"blue on bright white", [](Registry& r) { r.SetDword(HKCU, kConsole, "DefaultColor", 0x1F); }, 1, 15},
      {"above a byte", [](Registry& r) { r.SetDword(HKCU, kConsole, "DefaultColor", 0x1A4); }, 10, 4},
      {"zero", [](Registry& r) { r.SetDword(HKCU, kConsole, "DefaultColor", 0); }, 0, 7},
      {"negative", [](Registry& r) { r.SetDword(HKCU, kConsole, "DefaultColor", 0xFFFFFFFF); }, 0, 7},
      {"missing", [](Registry&) {}, 0, 7},
      {"no number", [](Registry& r) { r.SetString(HKCU, kConsole, "DefaultColor", "blue"); }, 0, 7},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Reset();
    row.setup(Reg());
    Open();
    EXPECT_EQ(Combo(kBackground).ItemIndex(), row.background);
    EXPECT_EQ(Combo(kFont).ItemIndex(), row.font);
    EXPECT_EQ(Combo(kFont).Text(), Combo(kFont).Items()[static_cast<std::size_t>(row.font)]);
  }
  EXPECT_EQ(Combo(kFont).Items().size(), 16u);
  EXPECT_EQ(Combo(kFont).Items()[15], "Bright White");
}

TEST_F(InformationTest, ChangesQueueTheirRecords) {
  struct Row {
    const char* what;
    std::function<void()> act;
    std::vector<TRegRecor> records;
  };
  const Row rows[] = {
      {"owner typed",
       [this] { ASSERT_TRUE(Get<Edit>(kOwner).UserTypeText("Jo")); },
       {Str(kOwner, HKLM, kCurrentVersion, "RegisteredOwner", "Jo")}},
      {"organisation typed",
       [this] { ASSERT_TRUE(Get<Edit>(kOrganization).UserTypeText("X")); },
       {Str(kOrganization, HKLM, kCurrentVersion, "RegisteredOrganization", "X")}},
      {"installer name typed",
       [this] { ASSERT_TRUE(Get<Edit>(kDefName).UserTypeText("Y")); },
       {Str(kDefName, HKCU, kUserInfo, "DefName", "Y")}},
      {"installer company typed",
       [this] { ASSERT_TRUE(Get<Edit>(kDefCompany).UserTypeText("Z")); },
       {Str(kDefCompany, HKCU, kUserInfo, "DefCompany", "Z")}},
      {"auto-fill off",
       [this] { ASSERT_TRUE(Box(kAutoFill).UserClick()); },
       {Int(kAutoFill, HKCU, kAutoComplete, "AutoComplete In File Dialog", 0)}},
      {"recent off", [this] { ASSERT_TRUE(Box(kRecent).UserClick()); }, {Int(kRecent, HKCU, kComdlg, "NoFileMru", 1)}},
      {"places bar off",
       [this] { ASSERT_TRUE(Box(kPlaces).UserClick()); },
       {Int(kPlaces, HKCU, kComdlg, "NoPlacesBar", 1)}},
      {"back button off and on",
       [this] {
         ASSERT_TRUE(Box(kBack).UserClick());
         ASSERT_TRUE(Box(kBack).UserClick());
       },
       {Int(kBack, HKCU, kComdlg, "NoBackButton", 0)}},
      {"classic search",
       [this] { ASSERT_TRUE(Box(kClassic).UserClick()); },
       {Str(kClassic, HKCU, kCabinet, "Use Search Asst", "no")}},
      {"indexing disabled",
       [this] { ASSERT_TRUE(Box(kNoIndex).UserClick()); },
       {Int(kNoIndex, HKLM, kCiSvc, "Start", 4)}},
      {"indexing enabled again",
       [this] {
         ASSERT_TRUE(Box(kNoIndex).UserClick());
         ASSERT_TRUE(Box(kNoIndex).UserClick());
       },
       {Int(kNoIndex, HKLM, kCiSvc, "Start", 2)}},
      {"blue font",
       [this] { ASSERT_TRUE(Combo(kFont).UserSelect(1)); },
       {Int(kBackground, HKCU, kConsole, "DefaultColor", 1)}},
      {"blue background, then red font",
       [this] {
         ASSERT_TRUE(Combo(kBackground).UserSelect(1));
         ASSERT_TRUE(Combo(kFont).UserSelect(4));
       },
       {Int(kBackground, HKCU, kConsole, "DefaultColor", 0x14)}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Reset();
    Open();
    row.act();
    EXPECT_EQ(Described(Records()), Described(row.records));
    EXPECT_FALSE(Requests().RestartNeeded);
    EXPECT_TRUE(ApplyEnabled());
  }
  // A stored 0x1F, then "Black" as background: 15.
  Reset();
  Reg().SetDword(HKCU, kConsole, "DefaultColor", 0x1F);
  Open();
  ASSERT_TRUE(Combo(kBackground).UserSelect(0));
  EXPECT_EQ(Described(Records()), Described({Int(kBackground, HKCU, kConsole, "DefaultColor", 15)}));
}

TEST_F(InformationTest, DefaultButtonsQueueOnlyTheBoxesThatChange) {
  Reg().SetDword(HKCU, kComdlg, "NoFileMru", 1);
  Reg().SetDword(HKCU, kComdlg, "NoBackButton", 1);
  Reg().SetString(HKCU, kCabinet, "Use Search Asst", "no");
  Reg().SetDword(HKLM, kCiSvc, "Start", 2);
  Open();
  ASSERT_TRUE(Get<PageControl>("pagcmd").UserSelectTab(1));
  ASSERT_TRUE(Get<Button>("Button_System_CommonDialog_Default").UserClick());
  ASSERT_TRUE(Get<PageControl>("pagcmd").UserSelectTab(2));
  ASSERT_TRUE(Get<Button>("Button_System_Search_Default").UserClick());
  EXPECT_EQ(Described(Records()),
            Described({Int(kRecent, HKCU, kComdlg, "NoFileMru", 0), Int(kBack, HKCU, kComdlg, "NoBackButton", 0),
                       Str(kClassic, HKCU, kCabinet, "Use Search Asst", "yes")}));
  for (const char* box : {kAutoFill, kRecent, kPlaces, kBack}) EXPECT_TRUE(Checked(box)) << box;
}

TEST_F(InformationTest, SearchTabOnlyOnXpAndTheLayoutHolds) {
  for (const int version_class : harness::kVersionClasses) {
    SCOPED_TRACE(version_class);
    Reset();
    Reg().SetDword(HKLM, kCiSvc, "Start", 4);
    Open(version_class);
    PageControl& pages = Get<PageControl>("pagcmd");
    ASSERT_EQ(pages.PageCount(), 4);
    for (int tab = 0; tab < 4; ++tab) {
      EXPECT_EQ(pages.Page(tab)->TabVisible(), tab != 2 || version_class == 5) << "tab " << tab;
      pages.SetActivePageIndex(tab);
      EXPECT_EQ(LayoutProblems(), "") << "tab " << tab;
    }
    EXPECT_TRUE(Checked(kNoIndex));  // read also when hidden
  }
}

}  // namespace
}  // namespace corvanel::pages
