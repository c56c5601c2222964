#include "pages/security/privacy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/pages/page_harness.h"

namespace corvanel::pages {
namespace {

using engine::TRegRecor;
using forms::Button;
using platform::HKCU;
using platform::HKLM;

constexpr const char* kAutoUpdate = "Checkbox_Privacy_Common_AutoUpdate_Active";
constexpr const char* kUpdateType = "CB_Privacy_Common_AutoUpdate_Type";
constexpr const char* kUpdateKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update\\";
constexpr const char* kClearLogoff = "Checkbox_CleanTraces_ClearHistoryList_ClearLogoff";
constexpr const char* kClearCache = "Checkbox_CleanTraces_ClearIECache_ClearOnExit";
constexpr const char* kAuthentication = "Checkbox_Privacy_IE_Authentication_Enable";
constexpr const char* kStopUpdate = "Checkbox_Privacy_IE_Update_Stop";

struct BoxAt {
  const char* box;
  const char* key;
  const char* value;
};
const BoxAt kBoxes[] = {
    {kClearLogoff, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\", "ClearRecentDocsOnExit"},
    {kClearCache, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\", "Persistent"},
    {kAuthentication, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\", "EnableNegotiate"},
    {kStopUpdate, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Webcheck\\", "NoScheduledUpdates"},
};

class PrivacyTest : public harness::PageTest {
 protected:
  PrivacyTest() : PageTest(CreatePrivacyPage) {}
  void Open(int version_class = 7) { PageTest::Open(version_class); }
  void Click(const char* button) { Get<Button>(button).UserClick(); }
  std::int32_t QueuedUpdateMode() const {
    const TRegRecor* r = Record("CHKAutoupdate");
    return r != nullptr && r->Value.IsInt() ? r->Value.AsInt() : -1;
  }
};

enum class Stored { kDword0, kDword1, kDword2, kText1, kText0, kTextWord, kBinary, kMissing };

void Store(platform::memory::MemoryRegistry& reg, platform::RegKey root, const char* key, const char* value,
           Stored stored) {
  switch (stored) {
    case Stored::kDword0: reg.SetDword(root, key, value, 0); break;
    case Stored::kDword1: reg.SetDword(root, key, value, 1); break;
    case Stored::kDword2: reg.SetDword(root, key, value, 2); break;
    case Stored::kText1: reg.SetString(root, key, value, "1"); break;
    case Stored::kText0: reg.SetString(root, key, value, "0"); break;
    case Stored::kTextWord: reg.SetString(root, key, value, "on"); break;
    case Stored::kBinary: reg.SetBinary(root, key, value, {1, 0, 0, 0}); break;
    case Stored::kMissing: break;
  }
}

TEST_F(PrivacyTest, BoxesShowTheirStoredValues) {
  // Per box: what each stored form shows, in the order of `stored` below.
  const Stored stored[] = {Stored::kDword0, Stored::kDword1, Stored::kDword2,  Stored::kText1,
                           Stored::kText0,  Stored::kTextWord, Stored::kBinary, Stored::kMissing};
  struct Row {
    const char* box;
    bool checked[8];
  };
  const Row rows[] = {
      {kClearLogoff, {false, true, false, true, false, false, false, false}},
      {kClearCache, {true, false, true, false, true, true, true, false}},
      {kAuthentication, {true, false, false, false, true, false, false, false}},
      {kStopUpdate, {false, true, false, true, false, false, false, false}},
  };
  for (const Row& row : rows) {
    const BoxAt& at = *std::find_if(std::begin(kBoxes), std::end(kBoxes),
                                    [&](const BoxAt& b) { return std::string(b.box) == row.box; });
    for (std::size_t i = 0; i < std::size(stored); ++i) {
      SCOPED_TRACE(std::string(row.box) + " case " + std::to_string(i));
      Reset();
      Store(Reg(), HKCU, at.key, at.value, stored[i]);
      Open();
      EXPECT_EQ(Checked(row.box), row.checked[i]);
      EXPECT_TRUE(Queue().Empty());
      EXPECT_FALSE(ApplyEnabled());
    }
  }
}

TEST_F(PrivacyTest, UpdateModeShowsInTheBoxAndTheList) {
  struct Case {
    Stored stored;
    std::uint32_t number;  // for kDword2: the number stored
    bool checked;
    bool list_enabled;
    int item;
  };
  const Case cases[] = {
      {Stored::kDword2, 0, true, true, 0},  {Stored::kDword2, 2, true, true, 1}, {Stored::kDword2, 3, true, true, 2},
      {Stored::kDword2, 4, true, true, 3},  {Stored::kDword2, 1, false, false, 0},
      {Stored::kDword2, 5, true, true, 0},  {Stored::kText1, 0, false, false, 0},
      {Stored::kTextWord, 0, true, true, 0}, {Stored::kMissing, 0, false, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("case " + std::to_string(static_cast<int>(c.stored)) + " " + std::to_string(c.number));
    Reset();
    if (c.stored == Stored::kDword2) {
      Reg().SetDword(HKLM, kUpdateKey, "AUOptions", c.number);
    } else {
      Store(Reg(), HKLM, kUpdateKey, "AUOptions", c.stored);
    }
    Open();
    EXPECT_EQ(Checked(kAutoUpdate), c.checked);
    EXPECT_EQ(Combo(kUpdateType).Enabled(), c.list_enabled);
    EXPECT_EQ(Combo(kUpdateType).ItemIndex(), c.item);
    EXPECT_TRUE(Queue().Empty());
  }
}

TEST_F(PrivacyTest, BoxesQueueTheirValueUnderTheirName) {
  struct Row {
    const char* box;
    std::int32_t checked;
    std::int32_t cleared;
  };
  const Row rows[] = {{kClearLogoff, 1, 0}, {kClearCache, 0, 1}, {kAuthentication, 0, 1}, {kStopUpdate, 1, 0}};
  Open();
  for (const Row& row : rows) {
    const BoxAt& at = *std::find_if(std::begin(kBoxes), std::end(kBoxes),
                                    [&](const BoxAt& b) { return std::string(b.box) == row.box; });
    SCOPED_TRACE(row.box);
    for (const bool checked : {true, false}) {
      ASSERT_TRUE(Box(row.box).UserClick());
      ASSERT_EQ(Checked(row.box), checked);
      EXPECT_EQ(*Record(row.box), engine::WriteRecord(row.box, HKCU, at.key, at.value, 3,
                                                      engine::MakeInt(checked ? row.checked : row.cleared)));
    }
  }
  EXPECT_EQ(Queue().Count(), std::size(rows));
  EXPECT_TRUE(ApplyEnabled());
  EXPECT_FALSE(Requests().RestartNeeded);
  Apply();
  EXPECT_EQ(Reg().GetDword(HKCU, kBoxes[1].key, "Persistent"), 1u);
  EXPECT_EQ(Reg().GetDword(HKCU, kBoxes[2].key, "EnableNegotiate"), 1u);
  EXPECT_EQ(Reg().GetDword(HKCU, kBoxes[0].key, "ClearRecentDocsOnExit"), 0u);
}

TEST_F(PrivacyTest, BoxAndListQueueTheWholeUpdateSettingUnderOneName) {
  Reg().SetDword(HKLM, kUpdateKey, "AUOptions", 3);
  Open();
  ASSERT_EQ(Combo(kUpdateType).ItemIndex(), 2);
  Box(kAutoUpdate).UserClick();
  EXPECT_EQ(*Record("CHKAutoupdate"),
            engine::WriteRecord("CHKAutoupdate", HKLM, kUpdateKey, "AUOptions", 3, engine::MakeInt(1)));
  EXPECT_FALSE(Combo(kUpdateType).Enabled());

  Combo(kUpdateType).SetItemIndex(1);
  Box(kAutoUpdate).UserClick();
  EXPECT_EQ(QueuedUpdateMode(), 2);
  EXPECT_TRUE(Combo(kUpdateType).Enabled());
  for (const auto& [item, mode] : {std::pair{3, 4}, std::pair{0, 0}, std::pair{2, 3}}) {
    Combo(kUpdateType).UserSelect(item);
    EXPECT_EQ(QueuedUpdateMode(), mode) << item;
  }
  EXPECT_EQ(Names(), std::vector<std::string>{"CHKAutoupdate"});
  Apply();
  EXPECT_EQ(Reg().GetDword(HKLM, kUpdateKey, "AUOptions"), 3u);
}

TEST_F(PrivacyTest, DefaultButtonsSetTheBoxesAndQueueOnlyWhatChanged) {
  // The General default queues the item shown while the box is checked, then shows item
  // 0 without queuing it.
  Reg().SetDword(HKLM, kUpdateKey, "AUOptions", 1);
  Open();
  Combo(kUpdateType).SetItemIndex(2);
  Click("Button_Privacy_Common_Default");
  EXPECT_TRUE(Checked(kAutoUpdate));
  EXPECT_EQ(Combo(kUpdateType).ItemIndex(), 0);
  EXPECT_EQ(QueuedUpdateMode(), 3);
  EXPECT_EQ(Get<Button>("Button_Privacy_Common_Default").Caption(), "Default Settings ");

  Reset();
  Reg().SetDword(HKCU, kBoxes[0].key, "ClearRecentDocsOnExit", 1);  // checked
  Reg().SetDword(HKCU, kBoxes[3].key, "NoScheduledUpdates", 1);     // checked
  Open();
  Click("Button_CleanTraces_Default");
  EXPECT_EQ(Names(), std::vector<std::string>{kClearLogoff});
  Click("Button_Privacy_IE_Default");
  EXPECT_EQ(Names(), (std::vector<std::string>{kClearLogoff, kStopUpdate}));
  for (const BoxAt& at : kBoxes) EXPECT_FALSE(Checked(at.box)) << at.box;
  EXPECT_EQ(Record(kStopUpdate)->Value, engine::MakeInt(0));
}

TEST_F(PrivacyTest, LayoutHoldsInEveryVersionClass) {
  for (const int version_class : harness::kVersionClasses) {
    SCOPED_TRACE("class " + std::to_string(version_class));
    Reset();
    Open(version_class);
    for (const auto* sheet : Get<forms::PageControl>("PageControl10").Sheets()) EXPECT_TRUE(sheet->TabVisible());
    for (const BoxAt& at : kBoxes) EXPECT_TRUE(Box(at.box).Enabled()) << at.box;
    EXPECT_FALSE(Ctl("Button_CleanTraces_ClearHistoryList_DeleteNow").Visible());
    EXPECT_FALSE(Ctl("Button_CleanTraces_ClearIECache_DeleteNow").Visible());
    for (int tab = 0; tab < 3; ++tab) {
      Get<forms::PageControl>("PageControl10").SetActivePageIndex(tab);
      EXPECT_EQ(LayoutProblems(), "") << "tab " << tab;
    }
  }
}

}  // namespace
}  // namespace corvanel::pages
