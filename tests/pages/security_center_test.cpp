#include "pages/security/security_center.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/pages/page_harness.h"

namespace corvanel::pages {
namespace {

using engine::TRegRecor;
using platform::HKLM;
namespace win = platform::win;

constexpr const char* kActive = "Checkbox_Security_Center_Active";
constexpr const char* kNoAntivirus = "Checkbox_Security_Center_SC_NoAntivirusSoftware";
constexpr const char* kNoFirewall = "Checkbox_Security_Center_SC_NoFirewall";
constexpr const char* kExpired = "Checkbox_Security_Center_SC_SecuritySoftwareExpired";
constexpr const char* kWarnings[] = {kNoAntivirus, kNoFirewall, kExpired};
constexpr const char* kWaitTime = "Edit_Security_Advanced_Screensaver_WaitTime";
constexpr const char* kWaitTimeUpDown = "Updown_Security_Advanced_Screensaver_WaitTime";
constexpr const char* kCenterKey = "\\SOFTWARE\\Microsoft\\Security Center\\";
constexpr const char* kWinlogonKey = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\";

// What the warning boxes read and write, by version class.
const char* ValueOf(const char* box, int version_class) {
  if (std::string(box) == kNoAntivirus) return "AntiVirusDisableNotify";
  if (std::string(box) == kNoFirewall) return "FirewallDisableNotify";
  return version_class > 5 ? "AutoUpdateDisableNotify" : "UpdatesDisableNotify";
}

class SecurityCenterTest : public harness::PageTest {
 protected:
  SecurityCenterTest() : PageTest(CreateSecurityCenterPage) {}
  // A service the probe answers `answer` for: 2 running, 0 stopped (silent), 1 absent.
  void Service(const char* name, int answer) {
    if (answer == 2) Memory().services().AddService(name, win::SERVICE_RUNNING);
    if (answer == 0) Memory().services().AddService(name, win::SERVICE_STOPPED);
  }
  bool Probed(const std::string& name) const {
    for (const auto& call : Memory().services().calls()) {
      if (call.call == "open" && call.service == name) return true;
    }
    return false;
  }
};

TEST_F(SecurityCenterTest, ServiceStatesEnableAndCheckTheBoxes) {
  for (const int version_class : harness::kVersionClasses) {
    for (const int shared_access : {0, 1, 2}) {
      for (const int wscsvc : {0, 1, 2}) {
        SCOPED_TRACE("class " + std::to_string(version_class) + " SharedAccess " + std::to_string(shared_access) +
                     " wscsvc " + std::to_string(wscsvc));
        Reset();
        Service("SharedAccess", shared_access);
        Service("wscsvc", wscsvc);
        Open(version_class);
        const bool unavailable = version_class < 5 || (version_class == 5 && shared_access == 0);
        EXPECT_EQ(Checked(kActive), wscsvc == 2);
        EXPECT_EQ(Box(kActive).Enabled(), !unavailable);
        for (const char* box : kWarnings) EXPECT_EQ(Box(box).Enabled(), !unavailable && wscsvc == 2) << box;
        EXPECT_EQ(Probed("SharedAccess"), version_class == 5);
        EXPECT_TRUE(Probed("wscsvc"));
        EXPECT_TRUE(Queue().Empty());
        EXPECT_EQ(Requests().SecurityCenterServiceAction, 0);
      }
    }
  }
}

// Up to XP the third box reads UpdatesDisableNotify, from Vista on AutoUpdateDisableNotify;
// a value says "no balloon" with 1, so its box is the opposite.
TEST_F(SecurityCenterTest, WarningsReadAndWriteTheValueOfTheVersionClass) {
  struct Case {
    int form;  // DWORD 1, DWORD 0, text "1", text "yes", missing
    bool checked;
  };
  const Case cases[] = {{0, false}, {1, true}, {2, false}, {3, true}, {4, false}};
  for (const int version_class : {5, 6}) {
    for (const char* box : kWarnings) {
      const char* value = ValueOf(box, version_class);
      for (const Case& c : cases) {
        SCOPED_TRACE(std::string(box) + " class " + std::to_string(version_class) + " form " + std::to_string(c.form));
        Reset();
        if (c.form < 2) Reg().SetDword(HKLM, kCenterKey, value, c.form == 0 ? 1 : 0);
        if (c.form == 2) Reg().SetString(HKLM, kCenterKey, value, "1");
        if (c.form == 3) Reg().SetString(HKLM, kCenterKey, value, "yes");
        // The other class's value says the opposite and must not be read.
        if (std::string(box) == kExpired) Reg().SetDword(HKLM, kCenterKey, ValueOf(box, 11 - version_class), c.checked);
        Service("wscsvc", 2);
        Open(version_class);
        EXPECT_EQ(Checked(box), c.checked);
      }
      for (const bool checked : {true, false}) {
        ASSERT_TRUE(Box(box).UserClick());
        EXPECT_EQ(Records(), std::vector{engine::WriteRecord(box, HKLM, kCenterKey, value, 3,
                                                             engine::MakeInt(checked ? 0 : 1))});
      }
      EXPECT_TRUE(ApplyEnabled());
      EXPECT_FALSE(Requests().RestartNeeded);
      EXPECT_EQ(Requests().SecurityCenterServiceAction, 0);
    }
  }
}

TEST_F(SecurityCenterTest, DisabledWarningsStillShowTheirValue) {
  Reg().SetDword(HKLM, kCenterKey, "FirewallDisableNotify", 0);
  Open(4);
  EXPECT_FALSE(Box(kNoFirewall).Enabled());
  EXPECT_TRUE(Checked(kNoFirewall));
}

TEST_F(SecurityCenterTest, TheServiceBoxSetsTheServiceActionOnly) {
  Memory().services().AddService("wscsvc", win::SERVICE_STOPPED, win::SERVICE_DISABLED);
  Open(7);
  ASSERT_FALSE(Checked(kActive));
  Box(kActive).UserClick();
  EXPECT_EQ(Requests().SecurityCenterServiceAction, 1);
  for (const char* box : kWarnings) EXPECT_TRUE(Box(box).Enabled()) << box;
  Box(kActive).UserClick();
  EXPECT_EQ(Requests().SecurityCenterServiceAction, 2);
  for (const char* box : kWarnings) EXPECT_FALSE(Box(box).Enabled()) << box;
  Box(kActive).UserClick();
  EXPECT_EQ(Requests().SecurityCenterServiceAction, 1);
  EXPECT_TRUE(Queue().Empty());
  EXPECT_TRUE(ApplyEnabled());

  Apply();
  EXPECT_EQ(Memory().services().State("wscsvc"), win::SERVICE_RUNNING);
  EXPECT_EQ(Memory().services().StartType("wscsvc"), win::SERVICE_AUTO_START);
  EXPECT_EQ(Requests().SecurityCenterServiceAction, 0);

  Box(kActive).UserClick();
  Apply();
  EXPECT_EQ(Memory().services().State("wscsvc"), win::SERVICE_STOPPED);
  EXPECT_EQ(Memory().services().StartType("wscsvc"), win::SERVICE_DISABLED);
}

TEST_F(SecurityCenterTest, GracePeriodIsReadAsANumberAndQueuedAsText) {
  struct Case {
    bool text;
    std::string stored;
    int position;
  };
  const Case cases[] = {{true, "10", 10}, {true, "ten", 5}, {false, "12", 12}, {true, "", 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    Reset();
    if (c.text) Reg().SetString(HKLM, kWinlogonKey, "ScreenSaverGracePeriod", c.stored);
    if (!c.text) Reg().SetDword(HKLM, kWinlogonKey, "ScreenSaverGracePeriod", 12);
    Open(5);
    EXPECT_EQ(Get<forms::UpDown>(kWaitTimeUpDown).Position(), c.position);
    EXPECT_EQ(Get<forms::Edit>(kWaitTime).Text(), std::to_string(c.position));
    EXPECT_TRUE(Queue().Empty());
  }

  Get<forms::PageControl>("PageControl17").SetActivePageIndex(1);
  ASSERT_TRUE(Get<forms::UpDown>(kWaitTimeUpDown).UserClickUp());
  EXPECT_EQ(*Record(kWaitTimeUpDown), engine::WriteRecord(kWaitTimeUpDown, HKLM, kWinlogonKey,
                                                          "ScreenSaverGracePeriod", 1, engine::MakeText("6")));
  ASSERT_TRUE(Get<forms::Edit>(kWaitTime).UserSetText("30"));
  EXPECT_EQ(Record(kWaitTimeUpDown)->Value, engine::MakeText("30"));
  EXPECT_EQ(Names(), std::vector<std::string>{kWaitTimeUpDown});
  Apply();
  EXPECT_EQ(Reg().GetString(HKLM, kWinlogonKey, "ScreenSaverGracePeriod"), "30");
}

TEST_F(SecurityCenterTest, LayoutHoldsInEveryVersionClass) {
  for (const int version_class : harness::kVersionClasses) {
    SCOPED_TRACE("class " + std::to_string(version_class));
    Reset();
    Open(version_class);
    EXPECT_FALSE(Ctl("Button_Security_Center_Default").Visible());
    EXPECT_FALSE(Ctl("Button_Security_Advanced_Default").Visible());
    for (const auto* sheet : Get<forms::PageControl>("PageControl17").Sheets()) EXPECT_TRUE(sheet->TabVisible());
    EXPECT_EQ(LayoutProblems(), "");
  }
}

}  // namespace
}  // namespace corvanel::pages
