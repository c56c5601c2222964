#include "pages/system/memory_cache.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/pages/page_harness.h"
#include "tests/pages/row_checks.h"

namespace corvanel::pages {
namespace {

using checks::Described;
using checks::Int;
using engine::TRegRecor;
using forms::PageControl;
using forms::RadioButton;
using platform::HKLM;

constexpr const char* kMemory = "\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\";
constexpr const char* kPage = "Radio_MemoryAndCache_MemoryManage_VirtualMemory_Page";
constexpr const char* kKeep = "Radio_MemoryAndCache_MemoryManage_VirtualMemory_Allways";
constexpr const char* kClear = "Checkbox_MemoryAndCache_MemoryManage_Pagefile_Delete";
constexpr const char* kPrograms = "Radio_MemoryAndCache_MemoryUse_Program";
constexpr const char* kCache = "Radio_MemoryAndCache_MemoryUse_System";

class MemoryCacheTest : public harness::PageTest {
 protected:
  MemoryCacheTest() : PageTest(CreateMemoryCachePage) {}
  void Open(int version_class = 5) { PageTest::Open(version_class); }
  bool Selected(const char* radio) const { return Get<RadioButton>(radio).Checked(); }
};

TEST_F(MemoryCacheTest, StoredValuesSelectTheirControls) {
  // For each value: stored as given (nullopt: missing), the states of the two controls
  // standing for it (the off radio or box, the on radio).
  struct Row {
    const char* value;
    std::optional<std::uint32_t> stored;
    const char* off;
    const char* on;
    bool off_state;
    bool on_state;
  };
  const Row rows[] = {
      {"DisablePagingExecutive", 1, kPage, kKeep, false, true},
      {"DisablePagingExecutive", 0, kPage, kKeep, true, false},
      {"DisablePagingExecutive", 2, kPage, kKeep, true, false},
      {"DisablePagingExecutive", std::nullopt, kPage, kKeep, false, false},
      {"LargeSystemCache", 1, kPrograms, kCache, false, true},
      {"LargeSystemCache", 0, kPrograms, kCache, true, false},
      {"LargeSystemCache", std::nullopt, kPrograms, kCache, false, false},
      {"ClearPageFileAtShutdown", 1, kClear, kClear, true, true},
      {"ClearPageFileAtShutdown", 3, kClear, kClear, false, false},
      {"ClearPageFileAtShutdown", std::nullopt, kClear, kClear, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.value) + " " + (row.stored ? std::to_string(*row.stored) : "missing"));
    Reset();
    if (row.stored) Reg().SetDword(HKLM, kMemory, row.value, *row.stored);
    Open();
    EXPECT_EQ(checks::StateOf(Get<forms::Component>(row.off)) == 1, row.off_state);
    EXPECT_EQ(checks::StateOf(Get<forms::Component>(row.on)) == 1, row.on_state);
    EXPECT_TRUE(Queue().Empty());
  }
  // A text that is no number reads as "another value".
  Reset();
  Reg().SetString(HKLM, kMemory, "DisablePagingExecutive", "on");
  Open();
  EXPECT_TRUE(Selected(kPage));
}

TEST_F(MemoryCacheTest, ChangesQueueTheirRecordsAndRestartWhereNeeded) {
  struct Row {
    const char* click;
    TRegRecor record;
    bool restart;
  };
  const Row rows[] = {
      {kKeep, Int("RadPagingExecutive", HKLM, kMemory, "DisablePagingExecutive", 1), true},
      {kPage, Int("RadPagingExecutive", HKLM, kMemory, "DisablePagingExecutive", 0), true},
      {kCache, Int("RadLargeSystem", HKLM, kMemory, "LargeSystemCache", 1), true},
      {kPrograms, Int("RadLargeSystem", HKLM, kMemory, "LargeSystemCache", 0), true},
      {kClear, Int(kClear, HKLM, kMemory, "ClearPageFileAtShutdown", 1), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.click);
    Reset();
    Open();
    auto& c = Get<forms::Control>(row.click);
    if (auto* radio = dynamic_cast<RadioButton*>(&c)) {
      ASSERT_TRUE(radio->UserClick());
    } else {
      ASSERT_TRUE(Box(row.click).UserClick());
    }
    EXPECT_EQ(Described(Records()), Described({row.record}));
    EXPECT_EQ(Requests().RestartNeeded, row.restart);
    EXPECT_TRUE(ApplyEnabled());
  }
  // Both radios of a pair share one record: the last choice stays.
  Reset();
  Open();
  ASSERT_TRUE(Get<RadioButton>(kKeep).UserClick());
  ASSERT_TRUE(Get<RadioButton>(kPage).UserClick());
  EXPECT_EQ(Described(Records()), Described({Int("RadPagingExecutive", HKLM, kMemory, "DisablePagingExecutive", 0)}));
}

TEST_F(MemoryCacheTest, DefaultSelectsPagingAndClearsTheBox) {
  Reg().SetDword(HKLM, kMemory, "DisablePagingExecutive", 1);
  Reg().SetDword(HKLM, kMemory, "ClearPageFileAtShutdown", 1);
  Reg().SetDword(HKLM, kMemory, "LargeSystemCache", 1);
  Open();
  ASSERT_TRUE(Get<forms::Button>("Button_MemoryAndCache_MemoryManage_Default").UserClick());
  EXPECT_EQ(Described(Records()), Described({Int("RadPagingExecutive", HKLM, kMemory, "DisablePagingExecutive", 0),
                                             Int(kClear, HKLM, kMemory, "ClearPageFileAtShutdown", 0)}));
  EXPECT_TRUE(Requests().RestartNeeded);
  EXPECT_TRUE(Selected(kCache));
  // Already at the defaults: nothing more to queue.
  Queue().Apply();
  ASSERT_TRUE(Get<forms::Button>("Button_MemoryAndCache_MemoryManage_Default").UserClick());
  EXPECT_TRUE(Queue().Empty());
  EXPECT_EQ(Reg().GetDword(HKLM, kMemory, "DisablePagingExecutive"), 0u);
}

TEST_F(MemoryCacheTest, MemoryUsageIsHiddenBeforeXpAndTheLayoutHolds) {
  for (const int version_class : harness::kVersionClasses) {
    SCOPED_TRACE(version_class);
    Reset();
    Reg().SetDword(HKLM, kMemory, "LargeSystemCache", 1);
    Open(version_class);
    PageControl& pages = Get<PageControl>("pagmemroy");
    ASSERT_EQ(pages.PageCount(), 2);
    EXPECT_TRUE(pages.Page(0)->TabVisible());
    EXPECT_EQ(pages.Page(1)->TabVisible(), version_class >= 5);
    EXPECT_TRUE(Selected(kCache));  // read also when hidden
    for (int tab = 0; tab < 2; ++tab) {
      pages.SetActivePageIndex(tab);
      EXPECT_EQ(LayoutProblems(), "") << "tab " << tab;
    }
  }
}

}  // namespace
}  // namespace corvanel::pages
