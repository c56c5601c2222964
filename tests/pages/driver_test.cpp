#include "pages/system/driver.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/pages/page_harness.h"
#include "tests/pages/row_checks.h"

namespace corvanel::pages {
namespace {

using checks::Bin;
using checks::Described;
using checks::Int;
using checks::Str;
using engine::TRegRecor;
using forms::Button;
using forms::GroupBox;
using forms::PageControl;
using platform::HKCU;
using platform::HKLM;
using Registry = platform::memory::MemoryRegistry;

constexpr const char* kFileSystem = "\\SYSTEM\\CurrentControlSet\\Control\\FileSystem\\";
constexpr const char* kIde =
    "\\SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E96A-E325-11CE-BFC1-08002BE10318}\\0000\\";
constexpr const char* kPolicies = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\Explorer\\";
constexpr const char* kCdrom = "\\SYSTEM\\CurrentControlSet\\Services\\Cdrom\\";
constexpr const char* kAutoRunKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";

constexpr const char* kLastAccess = "Checkbox_Drives_Common_NTFS_SaveLastVisitData";
constexpr const char* kShortNames = "Checkbox_Drives_Common_NTFS_SaveShortName";
constexpr const char* kUdma = "Checkbox_Drives_Common_Enable";
constexpr const char* kSpace = "Checkbox_Drives_DiskSpace_SpaceWarn_ShowWarn";
constexpr const char* kMedia = "Checkbox_Drives_AutoPlay_MonitorMediaChanges_Enable";
constexpr const char* kRemovable = "Checkbox_Drives_AutoPlay_AutoPlayInfo_RemovableMedia";
constexpr const char* kDvd = "Checkbox_Drives_AutoPlay_AutoPlayInfo_DVD";

class DriverTest : public harness::PageTest {
 protected:
  DriverTest() : PageTest(CreateDriverPage) {}
  void Open(int version_class = 5) { PageTest::Open(version_class); }
};

using Prepare = std::function<void(Registry&)>;

TEST_F(DriverTest, BoxesShowTheStoredState) {
  struct Row {
    const char* what;
    Prepare setup;
    const char* box;
    bool checked;
  };
  const Row rows[] = {
      {"last access missing", [](Registry&) {}, kLastAccess, true},
      {"last access off", [](Registry& r) { r.SetDword(HKLM, kFileSystem, "NtfsDisableLastAccessUpdate", 1); },
       kLastAccess, false},
      {"last access 0", [](Registry& r) { r.SetDword(HKLM, kFileSystem, "NtfsDisableLastAccessUpdate", 0); },
       kLastAccess, true},
      {"short names missing", [](Registry&) {}, kShortNames, false},
      {"short names off", [](Registry& r) { r.SetDword(HKLM, kFileSystem, "NtfsDisable8dot3NameCreation", 1); },
       kShortNames, false},
      {"short names 2", [](Registry& r) { r.SetDword(HKLM, kFileSystem, "NtfsDisable8dot3NameCreation", 2); },
       kShortNames, true},
      {"UDMA66 on", [](Registry& r) { r.SetDword(HKLM, kIde, "EnableUDMA66", 1); }, kUdma, true},
      {"UDMA66 0", [](Registry& r) { r.SetDword(HKLM, kIde, "EnableUDMA66", 0); }, kUdma, false},
      {"UDMA66 missing", [](Registry&) {}, kUdma, false},
      {"warning missing", [](Registry&) {}, kSpace, true},
      {"warning off", [](Registry& r) { r.SetDword(HKCU, kPolicies, "NoLowDiskSpaceChecks", 1); }, kSpace, false},
      {"monitoring missing", [](Registry&) {}, kMedia, true},
      {"monitoring on", [](Registry& r) { r.SetDword(HKLM, kPolicies, "CDRAutoRun", 1); }, kMedia, true},
      {"monitoring off", [](Registry& r) { r.SetDword(HKLM, kPolicies, "CDRAutoRun", 0); }, kMedia, false},
      {"mask B5, removable", [](Registry& r) { r.SetDword(HKCU, kAutoRunKey, "NoDriveTypeAutoRun", 0xB5); }, kRemovable,
       false},
      {"mask B5, DVD", [](Registry& r) { r.SetDword(HKCU, kAutoRunKey, "NoDriveTypeAutoRun", 0xB5); }, kDvd, false},
      {"mask 91, removable", [](Registry& r) { r.SetDword(HKCU, kAutoRunKey, "NoDriveTypeAutoRun", 0x91); }, kRemovable,
       true},
      {"mask 91, DVD", [](Registry& r) { r.SetDword(HKCU, kAutoRunKey, "NoDriveTypeAutoRun", 0x91); }, kDvd, true},
      {"mask missing", [](Registry&) {}, kRemovable, false},
      {"mask as bytes",
       [](Registry& r) {
         r.SetBinary(HKCU, kAutoRunKey, "NoDriveTypeAutoRun", {0x24, 0, 0, 0});
       },
       kDvd, false},
      {"mask as bytes, removable", [](Registry& r) { r.SetBinary(HKCU, kAutoRunKey, "NoDriveTypeAutoRun", {0x20}); },
       kRemovable, true},
      {"mask as text", [](Registry& r) { r.SetString(HKCU, kAutoRunKey, "NoDriveTypeAutoRun", "4"); }, kRemovable,
       false},
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

TEST_F(DriverTest, FlagBoxesQueueTheirRecords) {
  struct Row {
    const char* box;
    std::vector<TRegRecor> records;
    bool restart;
  };
  // Clicked from an empty registry: the boxes checked by a missing value are cleared.
  const Row rows[] = {
      {kLastAccess, {Int(kLastAccess, HKLM, kFileSystem, "NtfsDisableLastAccessUpdate", 1)}, false},
      {kShortNames, {Int(kShortNames, HKLM, kFileSystem, "NtfsDisable8dot3NameCreation", 0)}, false},
      {kUdma, {Int(kUdma, HKLM, kIde, "EnableUDMA66", 1)}, true},
      {kSpace, {Int(kSpace, HKCU, kPolicies, "NoLowDiskSpaceChecks", 1)}, true},
      {kMedia,
       {Int(kMedia, HKLM, kPolicies, "CDRAutoRun", 0), Int(std::string(kMedia) + "1", HKLM, kCdrom, "Autorun", 0)},
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.box);
    Reset();
    Open();
    ASSERT_TRUE(Box(row.box).UserClick());
    EXPECT_EQ(Described(Records()), Described(row.records));
    EXPECT_EQ(Requests().RestartNeeded, row.restart);
    EXPECT_TRUE(ApplyEnabled());
  }
}

TEST_F(DriverTest, AutoPlayBoxesChangeTheirBitInTheStoredType) {
  const std::string mask = "NoDriveTypeAutoRun";
  struct Row {
    const char* what;
    Prepare setup;
    const char* box;
    TRegRecor record;
  };
  const Row rows[] = {
      {"B5, removable on", [&](Registry& r) { r.SetDword(HKCU, kAutoRunKey, mask, 0xB5); }, kRemovable,
       Int(kRemovable, HKCU, kAutoRunKey, mask, 0xB1)},
      {"B5, DVD on", [&](Registry& r) { r.SetDword(HKCU, kAutoRunKey, mask, 0xB5); }, kDvd,
       Int(kDvd, HKCU, kAutoRunKey, mask, 0x95)},
      {"91, removable off", [&](Registry& r) { r.SetDword(HKCU, kAutoRunKey, mask, 0x91); }, kRemovable,
       Int(kRemovable, HKCU, kAutoRunKey, mask, 0x95)},
      {"missing, removable on", [](Registry&) {}, kRemovable, Int(kRemovable, HKCU, kAutoRunKey, mask, 0)},
      {"bytes, DVD on",
       [&](Registry& r) {
         r.SetBinary(HKCU, kAutoRunKey, mask, {0xB5, 1});
       },
       kDvd, Bin(kDvd, HKCU, kAutoRunKey, mask, {0x95, 1})},
      {"bytes, removable on",
       [&](Registry& r) {
         r.SetBinary(HKCU, kAutoRunKey, mask, {0xB5, 0, 0, 0});
       },
       kRemovable, Bin(kRemovable, HKCU, kAutoRunKey, mask, {0xB1, 0, 0, 0})},
      {"empty bytes, removable", [&](Registry& r) { r.SetBinary(HKCU, kAutoRunKey, mask, {}); }, kRemovable,
       Bin(kRemovable, HKCU, kAutoRunKey, mask, {0x04})},
      {"text, DVD on", [&](Registry& r) { r.SetString(HKCU, kAutoRunKey, mask, "181"); }, kDvd,
       Str(kDvd, HKCU, kAutoRunKey, mask, "149")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Reset();
    row.setup(Reg());
    Open();
    ASSERT_TRUE(Box(row.box).UserClick());
    EXPECT_EQ(Described(Records()), Described({row.record}));
    EXPECT_FALSE(Requests().RestartNeeded);
    // The write in the stored type goes through.
    Apply();
    EXPECT_TRUE(Queue().Empty());
  }
}

// A QWORD is shown and written back as the 64-bit number it is; a value that holds no
// number is left alone, and so is the box.
TEST_F(DriverTest, AutoPlayMaskOfAnotherTypeIsKeptOrLeftAlone) {
  const std::string mask = "NoDriveTypeAutoRun";
  Reg().SetQword(HKCU, kAutoRunKey, mask, 0x01000000000000B5);
  Open();
  EXPECT_FALSE(Checked(kRemovable));
  EXPECT_FALSE(Checked(kDvd));
  ASSERT_TRUE(Box(kDvd).UserClick());
  Apply();
  EXPECT_EQ(Reg().Get(HKCU, kAutoRunKey, mask),
            (platform::memory::RegValue{platform::win::REG_QWORD, {0x95, 0, 0, 0, 0, 0, 0, 1}}));

  for (const auto& store : std::vector<std::function<void(Registry&)>>{
           [&](Registry& r) { r.SetString(HKCU, kAutoRunKey, mask, "all"); },
           [&](Registry& r) { r.SetMultiString(HKCU, kAutoRunKey, mask, {"181"}); }}) {
    Reset();
    store(Reg());
    Open();
    const bool shown = Checked(kDvd);
    ASSERT_TRUE(Box(kDvd).UserClick());
    EXPECT_EQ(Checked(kDvd), shown);
    EXPECT_TRUE(Records().empty());
  }
}

TEST_F(DriverTest, AutoPlayClicksStartFromWhatTheQueueWouldLeave) {
  const std::string mask = "NoDriveTypeAutoRun";
  Reg().SetDword(HKCU, kAutoRunKey, mask, 0xB5);
  Open();
  // Both boxes changed before Apply: both changes survive.
  ASSERT_TRUE(Box(kRemovable).UserClick());
  ASSERT_TRUE(Box(kDvd).UserClick());
  EXPECT_EQ(Described(Records()), Described({Int(kRemovable, HKCU, kAutoRunKey, mask, 0xB1),
                                             Int(kDvd, HKCU, kAutoRunKey, mask, 0x91)}));
  Apply();
  EXPECT_EQ(Reg().GetDword(HKCU, kAutoRunKey, mask), 0x91u);

  // A write another page queued for the mask (General Setting, as bytes) is the start.
  Reset();
  Reg().SetDword(HKCU, kAutoRunKey, mask, 0xB5);
  Open();
  Queue().AddRecord(Bin("Checkbox_CommonSettings_AutoPlay", HKCU, kAutoRunKey, mask, {0xFF, 0, 0, 0}));
  ASSERT_TRUE(Box(kRemovable).UserClick());
  EXPECT_EQ(Described({*Record(kRemovable)}), Described({Bin(kRemovable, HKCU, kAutoRunKey, mask, {0xFB, 0, 0, 0})}));
  Apply();
  EXPECT_EQ(Reg().Get(HKCU, kAutoRunKey, mask)->bytes, (std::vector<std::uint8_t>{0xFB, 0, 0, 0}));
}

TEST_F(DriverTest, DefaultButtonsQueueOnlyWhatChanges) {
  Reg().SetDword(HKLM, kFileSystem, "NtfsDisable8dot3NameCreation", 1);
  Reg().SetDword(HKLM, kIde, "EnableUDMA66", 1);
  Reg().SetDword(HKCU, kPolicies, "NoLowDiskSpaceChecks", 1);
  Open();
  ASSERT_TRUE(Get<Button>("Button_Drives_Common_Default").UserClick());
  EXPECT_EQ(Described(Records()), Described({Int(kUdma, HKLM, kIde, "EnableUDMA66", 0),
                                             Int(kShortNames, HKLM, kFileSystem, "NtfsDisable8dot3NameCreation", 0)}));
  ASSERT_TRUE(Get<PageControl>("pagDriver").UserSelectTab(1));
  ASSERT_TRUE(Get<Button>("Button_Drives_DiskSpace_SpaceWarn_Default").UserClick());
  EXPECT_EQ(Described({*Record(kSpace)}), Described({Int(kSpace, HKCU, kPolicies, "NoLowDiskSpaceChecks", 0)}));
  EXPECT_FALSE(Get<Button>("Button_Drives_AutoPlay_Default").Visible());
}

TEST_F(DriverTest, VersionClassesHideTabsAndAutoPlayAndTheLayoutHolds) {
  for (const int version_class : harness::kVersionClasses) {
    SCOPED_TRACE(version_class);
    Reset();
    Reg().SetDword(HKLM, kIde, "EnableUDMA66", 1);
    Reg().SetDword(HKCU, kAutoRunKey, "NoDriveTypeAutoRun", 0x91);
    Open(version_class);
    PageControl& pages = Get<PageControl>("pagDriver");
    ASSERT_EQ(pages.PageCount(), 3);
    EXPECT_EQ(pages.Page(0)->TabVisible(), version_class <= 5);
    EXPECT_EQ(pages.Page(1)->TabVisible(), version_class >= 5);
    EXPECT_TRUE(pages.Page(2)->TabVisible());
    EXPECT_EQ(Get<GroupBox>("GroupBox_Drives_AutoPlay_AutoPlayInfo").Visible(), version_class <= 5);
    for (int tab = 0; tab < 3; ++tab) {
      pages.SetActivePageIndex(tab);
      EXPECT_EQ(LayoutProblems(), "") << "tab " << tab;
    }
    // Hidden controls are still read.
    EXPECT_TRUE(Checked(kUdma));
    EXPECT_TRUE(Checked(kDvd));
  }
}

}  // namespace
}  // namespace corvanel::pages
