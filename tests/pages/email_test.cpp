#include "pages/system/email.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/pages/page_harness.h"
#include "tests/pages/row_checks.h"

namespace corvanel::pages {
namespace {

using checks::Described;
using checks::Int;
using checks::Str;
using forms::Edit;
using forms::PageControl;
using forms::RadioButton;
using platform::HKCU;

constexpr const char* kExpress =
    "\\Identities\\{BBA5B953-D1DB-45E6-85A2-3756E4850C44}\\Software\\Microsoft\\Outlook Express\\5.0\\";
constexpr const char* kTrident =
    "\\Identities\\{BBA5B953-D1DB-45E6-85A2-3756E4850C44}\\Software\\Microsoft\\Outlook Express\\5.0\\Trident\\Main\\";
constexpr const char* kToolbars = "\\Software\\Microsoft\\Office\\12.0\\Common\\Toolbars\\Settings\\";
constexpr const char* kOutlook = "\\Software\\Microsoft\\Office\\12.0\\Outlook\\Preferences\\";
constexpr const char* kMessenger = "\\Software\\Policies\\Microsoft\\Messenger\\Client\\";

constexpr const char* kHelpValue = "Microsoft Office Outlook AWDropdownHidden";

class EmailTest : public harness::PageTest {
 protected:
  EmailTest() : PageTest(CreateEmailPage) {}
  // The bar keeps the item hidden: the page is opened as the program opens it.
  void Open(int version_class = 5) { PageTest::Open(version_class, /*hidden_item=*/true); }
};

TEST_F(EmailTest, TagElevenLoadsBehindItsHiddenItem) {
  for (const int version_class : harness::kVersionClasses) {
    SCOPED_TRACE(version_class);
    Reset();
    Open(version_class);
    EXPECT_EQ(Get<Edit>("edWindowTitle").Text(), "Outlook Express");
    EXPECT_TRUE(Queue().Empty());
    PageControl& pages = Get<PageControl>("PageControl9");
    ASSERT_EQ(pages.PageCount(), 3);
    for (int tab = 0; tab < 3; ++tab) {
      EXPECT_TRUE(pages.Page(tab)->TabVisible());
      pages.SetActivePageIndex(tab);
      EXPECT_EQ(LayoutProblems(), "") << "tab " << tab;
    }
  }
  // The form keeps its Chinese captions; the hidden item has one of its own.
  const std::pair<const char*, const char*> captions[] = {
      {"CHKAnimat", "启动时显示启动动画"},
      {"CHKSmoothScroll", "使用平滑滚动"},
      {"Label_Email_WindowTitle", "文本:"},
      {"CHKHiddenhelp", "在工具栏中显示\"键入需要帮助的问题\""},
      {"CHKMinToTray", "最小化Outlook 到系统托盘区"},
      {"RadMessenger1", "允许 Windows Messenger运行"},
      {"RadMessenger2", "不允许 Windows Messenger运行"},
      {"CheckBox25", "阻挡可执行附件"},
      {"Button72", "最高性能"},
      {"Button73", "最佳外观"},
      {"Button74", "默认设置"},
      {"Button75", "默认设置"},
      {"Button78", "默认设置"},
      {"Button76", "设置"},
  };
  for (const auto& [name, caption] : captions) EXPECT_EQ(Ctl(name).Caption(), caption) << name;
  EXPECT_EQ(Window().RzGroupBar1().FindItemByTag(11)->Caption, "E-mail 和 联络");
}

TEST_F(EmailTest, StoredValuesShowInTheirControls) {
  struct Row {
    const char* key;
    const char* value;
    std::optional<std::uint32_t> stored;  // nullopt: missing
    const char* control;
    bool checked;
  };
  const Row rows[] = {
      {kExpress, "NoSplash", std::nullopt, "CHKAnimat", true},
      {kExpress, "NoSplash", 1, "CHKAnimat", false},
      {kExpress, "NoSplash", 2, "CHKAnimat", true},
      {kTrident, "SmoothScroll", 1, "CHKSmoothScroll", true},
      {kTrident, "SmoothScroll", 0, "CHKSmoothScroll", false},
      {kTrident, "SmoothScroll", std::nullopt, "CHKSmoothScroll", false},
      {kToolbars, kHelpValue, 0, "CHKHiddenhelp", true},
      {kToolbars, kHelpValue, 1, "CHKHiddenhelp", false},
      {kToolbars, kHelpValue, std::nullopt, "CHKHiddenhelp", false},
      {kOutlook, "MinToTray", 1, "CHKMinToTray", true},
      {kOutlook, "MinToTray", 0, "CHKMinToTray", false},
      {kMessenger, "Windows Messenger", 0, "RadMessenger1", true},
      {kMessenger, "Windows Messenger", 1, "RadMessenger2", true},
      {kMessenger, "Windows Messenger", std::nullopt, "RadMessenger1", false},
      {kMessenger, "Windows Messenger", std::nullopt, "RadMessenger2", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.control) + " " + (row.stored ? std::to_string(*row.stored) : "missing"));
    Reset();
    if (row.stored) Reg().SetDword(HKCU, row.key, row.value, *row.stored);
    Open();
    EXPECT_EQ(checks::StateOf(Get<forms::Component>(row.control)) == 1, row.checked);
    EXPECT_TRUE(Queue().Empty());
  }
  Reset();
  Reg().SetString(HKCU, kExpress, "WindowTitle", "Mail");
  Open();
  EXPECT_EQ(Get<Edit>("edWindowTitle").Text(), "Mail");
}

TEST_F(EmailTest, ChangesQueueTheirRecordsWithoutARestart) {
  Reg().SetDword(HKCU, kOutlook, "MinToTray", 1);
  Open();
  ASSERT_TRUE(Box("CHKAnimat").UserClick());
  ASSERT_TRUE(Box("CHKSmoothScroll").UserClick());
  ASSERT_TRUE(Box("CHKHiddenhelp").UserClick());
  ASSERT_TRUE(Box("CHKMinToTray").UserClick());
  ASSERT_TRUE(Get<Edit>("edWindowTitle").UserTypeText("!"));
  EXPECT_EQ(Described(Records()), Described({Int("CHKAnimat", HKCU, kExpress, "NoSplash", 1),
                                             Int("CHKSmoothScroll", HKCU, kTrident, "SmoothScroll", 1),
                                             Int("CHKHiddenhelp", HKCU, kToolbars, kHelpValue, 0),
                                             Int("CHKMinToTray", HKCU, kOutlook, "MinToTray", 0),
                                             Str("edWindowTitle", HKCU, kExpress, "WindowTitle", "Outlook Express!")}));
  // Checked again: the same record now says 1.
  ASSERT_TRUE(Box("CHKMinToTray").UserClick());
  EXPECT_EQ(Described({*Record("CHKMinToTray")}), Described({Int("CHKMinToTray", HKCU, kOutlook, "MinToTray", 1)}));
  EXPECT_FALSE(Requests().RestartNeeded);
}

TEST_F(EmailTest, MessengerAndAttachmentControlsOnlyEnableApply) {
  for (const char* name : {"RadMessenger2", "CheckBox25"}) {
    SCOPED_TRACE(name);
    Reset();
    Open();
    auto& c = Get<forms::Control>(name);
    if (auto* radio = dynamic_cast<RadioButton*>(&c)) {
      ASSERT_TRUE(radio->UserClick());
    } else {
      ASSERT_TRUE(Box(name).UserClick());
    }
    EXPECT_TRUE(Queue().Empty());
    EXPECT_TRUE(ApplyEnabled());
  }
}

}  // namespace
}  // namespace corvanel::pages
