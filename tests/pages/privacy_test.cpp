#include "pages/security/privacy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/pages/page_harness.h"

namespace corvanel::pages {
namespace {

using engine::MakeInt;
using forms::Button;
using platform::HKCU;
using platform::HKLM;

constexpr const char* kAutoUpdate = "Checkbox_Privacy_Common_AutoUpdate_Active";
constexpr const char* kUpdateType = "CB_Privacy_Common_AutoUpdate_Type";
constexpr const char* kUpdateKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update\\";
constexpr const char* kLogoff = "Checkbox_CleanTraces_ClearHistoryList_ClearLogoff";
constexpr const char* kCache = "Checkbox_CleanTraces_ClearIECache_ClearOnExit";
constexpr const char* kNegotiate = "Checkbox_Privacy_IE_Authentication_Enable";
constexpr const char* kNoUpdates = "Checkbox_Privacy_IE_Update_Stop";

// Stored as: DWORD 0, 1, 2; text "1", "0", "on"; binary; missing.
constexpr int kStoredForms = 8;
void Store(platform::memory::MemoryRegistry& reg, platform::RegKey root, const char* key, const char* value, int form) {
  switch (form) {
    case 0: case 1: case 2: reg.SetDword(root, key, value, static_cast<std::uint32_t>(form)); break;
    case 3: reg.SetString(root, key, value, "1"); break;
    case 4: reg.SetString(root, key, value, "0"); break;
    case 5: reg.SetString(root, key, value, "on"); break;
    case 6: reg.SetBinary(root, key, value, {1, 0, 0, 0}); break;
    default: break;
  }
}

struct BoxRow {
  const char* box;
  const char* key;
  const char* value;
  bool shows[kStoredForms];
  std::int32_t checked, cleared;  // what a click writes
};
const BoxRow kBoxes[] = {
    {kLogoff, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\", "ClearRecentDocsOnExit",
     {false, true, false, true, false, false, false, false}, 1, 0},
    {kCache, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\", "Persistent",
     {true, false, true, false, true, true, true, false}, 0, 1},
    {kNegotiate, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\", "EnableNegotiate",
     {true, false, false, false, true, false, false, false}, 0, 1},
    {kNoUpdates, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Webcheck\\", "NoScheduledUpdates",
     {false, true, false, true, false, false, false, false}, 1, 0},
};

class PrivacyTest : public harness::PageTest {
 protected:
  PrivacyTest() : PageTest(CreatePrivacyPage) {}
  std::int32_t QueuedMode() const {
    const engine::TRegRecor* r = Record("CHKAutoupdate");
    return r != nullptr ? r->Value.AsInt() : -1;
  }
};

TEST_F(PrivacyTest, BoxesShowTheirStoredValueAndQueueTheirOwn) {
  for (const BoxRow& row : kBoxes) {
    for (int form = 0; form < kStoredForms; ++form) {
      SCOPED_TRACE(std::string(row.box) + " stored form " + std::to_string(form));
      Reset();
      Store(Reg(), HKCU, row.key, row.value, form);
      Open(7);
      EXPECT_EQ(Checked(row.box), row.shows[form]);
      EXPECT_TRUE(Queue().Empty());
    }
    for (const bool checked : {!Checked(row.box), Checked(row.box)}) {
      ASSERT_TRUE(Box(row.box).UserClick());
      EXPECT_EQ(Records(), std::vector{engine::WriteRecord(row.box, HKCU, row.key, row.value, 3,
                                                           MakeInt(checked ? row.checked : row.cleared))});
    }
    EXPECT_TRUE(ApplyEnabled());
    EXPECT_FALSE(Requests().RestartNeeded);
  }
}

TEST_F(PrivacyTest, UpdateModeShowsInTheBoxAndTheList) {
  struct Case {
    int form;  // kStoredForms for "DWORD `number`"
    std::uint32_t number;
    bool checked, list_enabled;
    int item;
  };
  const Case cases[] = {{8, 0, true, true, 0},  {8, 2, true, true, 1},  {8, 3, true, true, 2},
                        {8, 4, true, true, 3},  {8, 1, false, false, 0}, {8, 5, true, true, 0},
                        {3, 0, false, false, 0}, {5, 0, true, true, 0},  {7, 0, false, true, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE("form " + std::to_string(c.form) + " number " + std::to_string(c.number));
    Reset();
    if (c.form == kStoredForms) Reg().SetDword(HKLM, kUpdateKey, "AUOptions", c.number);
    Store(Reg(), HKLM, kUpdateKey, "AUOptions", c.form);
    Open(7);
    EXPECT_EQ(Checked(kAutoUpdate), c.checked);
    EXPECT_EQ(Combo(kUpdateType).Enabled(), c.list_enabled);
    EXPECT_EQ(Combo(kUpdateType).ItemIndex(), c.item);
  }
}

TEST_F(PrivacyTest, BoxAndListQueueTheWholeUpdateSettingUnderOneName) {
  Reg().SetDword(HKLM, kUpdateKey, "AUOptions", 3);
  Open(5);
  Box(kAutoUpdate).UserClick();
  EXPECT_EQ(Records(), std::vector{engine::WriteRecord("CHKAutoupdate", HKLM, kUpdateKey, "AUOptions", 3, MakeInt(1))});
  EXPECT_FALSE(Combo(kUpdateType).Enabled());
  Combo(kUpdateType).SetItemIndex(1);
  Box(kAutoUpdate).UserClick();
  EXPECT_EQ(QueuedMode(), 2);
  EXPECT_TRUE(Combo(kUpdateType).Enabled());
  for (const auto& [item, mode] : {std::pair{3, 4}, std::pair{0, 0}, std::pair{2, 3}}) {
    Combo(kUpdateType).UserSelect(item);
    EXPECT_EQ(QueuedMode(), mode) << item;
  }
  EXPECT_EQ(Queue().Count(), 1u);
}

TEST_F(PrivacyTest, DefaultButtonsQueueOnlyWhatTheyChange) {
  // General: the box's click queues the item still shown, then the choice of item 0 replaces it.
  Reg().SetDword(HKLM, kUpdateKey, "AUOptions", 1);
  Open(7);
  Combo(kUpdateType).SetItemIndex(2);
  Get<Button>("Button_Privacy_Common_Default").UserClick();
  EXPECT_TRUE(Checked(kAutoUpdate));
  EXPECT_EQ(Combo(kUpdateType).ItemIndex(), 0);
  EXPECT_EQ(QueuedMode(), 0);
  EXPECT_EQ(Get<Button>("Button_Privacy_Common_Default").Caption(), "Default Settings ");

  Reset();
  Reg().SetDword(HKCU, kBoxes[0].key, kBoxes[0].value, 1);
  Reg().SetDword(HKCU, kBoxes[3].key, kBoxes[3].value, 1);
  Open(7);
  Get<Button>("Button_CleanTraces_Default").UserClick();
  Get<Button>("Button_Privacy_IE_Default").UserClick();
  EXPECT_EQ(Names(), (std::vector<std::string>{kLogoff, kNoUpdates}));
  for (const BoxRow& row : kBoxes) EXPECT_FALSE(Checked(row.box)) << row.box;
}

TEST_F(PrivacyTest, LayoutHoldsInEveryVersionClass) {
  for (const int version_class : harness::kVersionClasses) {
    Reset();
    Open(version_class);
    for (const auto* sheet : Get<forms::PageControl>("PageControl10").Sheets()) EXPECT_TRUE(sheet->TabVisible());
    EXPECT_FALSE(Ctl("Button_CleanTraces_ClearHistoryList_DeleteNow").Visible());
    EXPECT_FALSE(Ctl("Button_CleanTraces_ClearIECache_DeleteNow").Visible());
    EXPECT_EQ(LayoutProblems(), "") << "class " << version_class;
  }
}

}  // namespace
}  // namespace corvanel::pages
