// Settings that two pages write, each under its own record names: whichever page the
// user changed last, Apply leaves that choice in the registry.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "pages/all_pages.h"
#include "platform/memory/memory_platform.h"
#include "tests/pages/page_harness.h"
#include "ui/main_window.h"

namespace corvanel::pages {
namespace {

using platform::HKCU;
using platform::HKLM;

constexpr const char* kDesktop = "Control Panel\\Desktop";

// The whole window, every page, on a memory platform.
class CrossPage : public ::testing::Test {
 protected:
  void Open(int version_class) {
    harness::SetVersionClass(memory_, version_class);
    window_ = std::make_unique<ui::TCorvanel_FormMain>(memory_, CreateAllPages());
    window_->ShowForm();
    ASSERT_TRUE(window_->Find<forms::Timer>("Timer_Click").Tick());
    ASSERT_TRUE(window_->Find<forms::Timer>("Timer_Loading").Tick());
  }
  // Clicks the page's navigation item, as the user opens it.
  void Visit(int tag) {
    ui::GroupBar& bar = window_->RzGroupBar1();
    int group = 0;
    int item = 0;
    ASSERT_TRUE(bar.Locate(bar.FindItemByTag(tag), &group, &item)) << tag;
    ASSERT_TRUE(bar.UserClickItem(group, item)) << tag;
  }
  template <class T>
  T& Get(std::string_view name) {
    return window_->Find<T>(name);
  }
  void Click(std::string_view box) { ASSERT_TRUE(Get<forms::CheckBox>(box).UserClick()) << box; }
  void Select(std::string_view radio) { ASSERT_TRUE(Get<forms::RadioButton>(radio).UserClick()) << radio; }
  void Apply() { Get<forms::Button>("Button_Apply").UserClick(); }
  platform::memory::MemoryRegistry& Reg() { return memory_.registry(); }

  platform::memory::MemoryPlatform memory_;
  std::unique_ptr<ui::TCorvanel_FormMain> window_;
};

// "End tasks automatically" (User Logon) and "Close programs automatically" (Start and
// Maintenance) are one value, AutoEndTasks, kept as text.
TEST_F(CrossPage, AutoEndTasksEndsAsTheLastPageSaid) {
  struct Row {
    bool logon_last;
    const char* expected;
  };
  for (const Row& row : {Row{true, "0"}, Row{false, "1"}}) {
    SCOPED_TRACE(row.logon_last ? "User Logon last" : "Start and Maintenance last");
    memory_.registry().SetString(HKCU, kDesktop, "AutoEndTasks", "0");
    Open(5);
    Visit(13);
    Visit(16);
    // Both start from "off"; each page switches it on, then the last one off (logon) or
    // on again (maintenance).
    Click("Checkbox_UserLogin_Common_Set_EndTask");
    Select("Radio_Startup_Exit_AutoClose_AutoClose");
    if (row.logon_last) {
      Select("Radio_Startup_Exit_AutoClose_ShowCloseDialog");
      Click("Checkbox_UserLogin_Common_Set_EndTask");
      Click("Checkbox_UserLogin_Common_Set_EndTask");
      Click("Checkbox_UserLogin_Common_Set_EndTask");
    } else {
      Click("Checkbox_UserLogin_Common_Set_EndTask");
      Select("Radio_Startup_Exit_AutoClose_ShowCloseDialog");
      Select("Radio_Startup_Exit_AutoClose_AutoClose");
    }
    Apply();
    EXPECT_EQ(Reg().GetString(HKCU, kDesktop, "AutoEndTasks"), row.expected);
    window_.reset();
  }
}

}  // namespace
}  // namespace corvanel::pages
