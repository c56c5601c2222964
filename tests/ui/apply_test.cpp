#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/fake_pages.h"

namespace corvanel::ui {
namespace {

namespace win = platform::win;
using platform::memory::DialogCall;
using testing::Harness;

constexpr std::uint32_t kYesNoQuestion = win::MB_YESNO | win::MB_ICONQUESTION;

struct Notify {
  std::int32_t event;
  std::uint32_t flags;
  bool operator==(const Notify&) const = default;
};

std::vector<Notify> Notifications(Harness& h) {
  std::vector<Notify> out;
  for (const auto& n : h.platform.shell().notifications()) out.push_back({n.event_id, n.flags});
  return out;
}

std::vector<std::string> ServiceSteps(Harness& h) {
  std::vector<std::string> out;
  for (const auto& c : h.platform.services().calls()) {
    if (c.call == "change_start_type" || c.call == "start" || c.call == "control")
      out.push_back(c.call + " " + c.service + " " + std::to_string(c.arg));
  }
  return out;
}

void QueueRecord(Harness& h, const std::string& name, const std::string& value) {
  h.main->Queue().AddRecord(engine::WriteRecord(name, platform::HKCU, "\\Software\\Corvanel Test\\", name, 1,
                                                engine::MakeText(value)));
}

TEST(Apply, NothingPendingStillFlushesTheShellAndDisablesApply) {
  Harness h;
  h.Make({});
  h.button("Button_Apply").SetEnabled(true);
  h.main->Button_ApplyClick();
  EXPECT_EQ(Notifications(h), (std::vector<Notify>{{win::SHCNE_ALLEVENTS, win::SHCNF_FLUSH}}));
  EXPECT_FALSE(h.button("Button_Apply").Enabled());
  EXPECT_TRUE(h.platform.dialogs().calls().empty());
  EXPECT_TRUE(h.platform.services().calls().empty());
  EXPECT_EQ(h.close_calls, 0);
}

TEST(Apply, WritesTheQueueAndClearsIt) {
  Harness h;
  h.Make({});
  h.Run();
  QueueRecord(h, "First", "one");
  QueueRecord(h, "Second", "two");
  h.button("Button_Apply").UserClick();  // disabled: nothing happens
  EXPECT_EQ(h.main->Queue().Count(), 2u);
  h.button("Button_Apply").SetEnabled(true);
  h.button("Button_Apply").UserClick();
  EXPECT_EQ(h.platform.registry().GetString(platform::HKCU, "Software\\Corvanel Test", "First"), "one");
  EXPECT_EQ(h.platform.registry().GetString(platform::HKCU, "Software\\Corvanel Test", "Second"), "two");
  EXPECT_TRUE(h.main->Queue().Empty());
  EXPECT_FALSE(h.button("Button_Apply").Enabled());
}

TEST(Apply, FailedWriteKeepsTheQueueTellsTheUserAndGoesOn) {
  Harness h;
  h.Make({});
  h.platform.registry().FailWrite(platform::HKCU, "Software\\Corvanel Test", "Second", win::kAccessDenied);
  QueueRecord(h, "First", "one");
  QueueRecord(h, "Second", "two");
  h.main->Requests().AssociationsChanged = true;
  h.main->Button_ApplyClick();

  EXPECT_EQ(h.main->Queue().Count(), 2u);
  EXPECT_TRUE(h.button("Button_Apply").Enabled());
  ASSERT_EQ(h.platform.dialogs().calls().size(), 1u);
  const DialogCall& box = h.platform.dialogs().calls()[0];
  EXPECT_EQ(box.flags, win::MB_OK | win::MB_ICONWARNING);
  EXPECT_EQ(box.caption, "Velmora Corvanel");
  EXPECT_NE(box.text.find("\"Second\""), std::string::npos) << box.text;
  EXPECT_NE(box.text.find("HKCU\\Software\\Corvanel Test\\"), std::string::npos) << box.text;
  EXPECT_EQ(box.text.rfind("The setting \"Second\" could not be written.\n\nKey: HKCU\\Software\\Corvanel Test\\\n"
                          "Value: Second\n",
                          0),
            0u)
      << box.text;
  EXPECT_NE(box.text.find("\n\nThis change and the ones after it are still pending."), std::string::npos) << box.text;
  // The follow-up steps still ran.
  EXPECT_EQ(Notifications(h), (std::vector<Notify>{{win::SHCNE_ALLEVENTS, win::SHCNF_FLUSH},
                                                   {win::SHCNE_ASSOCCHANGED, win::SHCNF_IDLIST}}));
  EXPECT_FALSE(h.main->Requests().AssociationsChanged);

  h.platform.registry().ClearWriteFailures();
  h.main->Button_ApplyClick();
  EXPECT_TRUE(h.main->Queue().Empty());
  EXPECT_EQ(h.platform.registry().GetString(platform::HKCU, "Software\\Corvanel Test", "Second"), "two");
  EXPECT_FALSE(h.button("Button_Apply").Enabled());
}

TEST(Apply, ServiceActionsByVersionClass) {
  struct Row {
    std::uint32_t major, minor;  // Windows version
    std::int32_t security_center, firewall;
    std::vector<std::string> steps;
    std::int32_t firewall_after;
  };
  const std::vector<Row> rows = {
      {6, 1, 1, 2, {"change_start_type wscsvc 2", "start wscsvc 0", "change_start_type MpsSvc 4", "control MpsSvc 1"}, 0},
      {6, 1, 2, 1, {"change_start_type wscsvc 4", "control wscsvc 1", "change_start_type MpsSvc 2", "start MpsSvc 0"}, 0},
      {6, 0, 0, 1, {"change_start_type MpsSvc 2", "start MpsSvc 0"}, 0},
      {5, 1, 1, 2, {"change_start_type wscsvc 2", "start wscsvc 0"}, 2},  // XP: firewall untouched
      {5, 0, 0, 1, {}, 1},
      {6, 1, 0, 0, {}, 0},
  };
  for (const Row& row : rows) {
    Harness h;
    h.platform.system().set_version(row.major, row.minor);
    auto& services = h.platform.services();
    services.AddService("wscsvc", row.security_center == 2 ? win::SERVICE_RUNNING : win::SERVICE_STOPPED);
    services.AddService("MpsSvc", row.firewall == 2 ? win::SERVICE_RUNNING : win::SERVICE_STOPPED);
    h.Make({});
    h.main->Requests().SecurityCenterServiceAction = row.security_center;
    h.main->Requests().FirewallServiceAction = row.firewall;
    h.main->Button_ApplyClick();
    const std::string label = std::to_string(row.major) + "." + std::to_string(row.minor) + " sc " +
                              std::to_string(row.security_center) + " fw " + std::to_string(row.firewall);
    EXPECT_EQ(ServiceSteps(h), row.steps) << label;
    EXPECT_EQ(h.main->Requests().SecurityCenterServiceAction, 0) << label;
    EXPECT_EQ(h.main->Requests().FirewallServiceAction, row.firewall_after) << label;
    EXPECT_EQ(services.open_handle_count(), 0u) << label;
    if (row.security_center == 1) {
      EXPECT_EQ(services.State("wscsvc"), win::SERVICE_RUNNING) << label;
    }
    if (row.security_center == 2) {
      EXPECT_EQ(services.State("wscsvc"), win::SERVICE_STOPPED) << label;
      EXPECT_EQ(services.StartType("wscsvc"), win::SERVICE_DISABLED) << label;
    }
  }
}

TEST(Apply, RestartQuestionAnswersAndPlatforms) {
  struct Row {
    int answer;
    bool nt;
    bool privilege;
    bool restarts;
  };
  // Outside NT there is no privilege to enable, but the restart is still asked for.
  for (const Row& row : {Row{win::IDYES, true, true, true}, Row{win::IDNO, true, false, false},
                         Row{win::IDYES, false, false, true}}) {
    Harness h;
    platform::OsVersion v;
    v.major = 6;
    v.minor = 1;
    v.platform_id = row.nt ? win::VER_PLATFORM_WIN32_NT : 1;
    h.platform.system().set_version(v);
    h.Make({});
    h.main->SetOwnerWindow(0x1234);
    h.main->Requests().RestartNeeded = true;
    h.platform.dialogs().QueueMessageBox(row.answer);
    h.main->Button_ApplyClick();

    ASSERT_EQ(h.platform.dialogs().calls().size(), 1u);
    const DialogCall& box = h.platform.dialogs().calls()[0];
    EXPECT_EQ(box.text, "Need to restart Windows to take effect, restart now?");
    EXPECT_EQ(box.flags, kYesNoQuestion);
    EXPECT_EQ(box.caption, h.main->Caption());
    EXPECT_EQ(box.owner, 0x1234u);
    EXPECT_EQ(h.platform.restart().privilege_requests(), row.privilege ? 1 : 0);
    ASSERT_EQ(h.platform.restart().exit_calls().size(), row.restarts ? 1u : 0u);
    if (row.restarts) {
      EXPECT_EQ(h.platform.restart().exit_calls()[0].flags, win::EWX_REBOOT);
      EXPECT_EQ(h.platform.restart().exit_calls()[0].reason, 0u);
    }
    EXPECT_FALSE(h.main->Requests().RestartNeeded);
    EXPECT_EQ(Notifications(h).size(), 1u) << "the shell is told after the question";

    // Asked once: the next Apply does not ask again.
    h.main->Button_ApplyClick();
    EXPECT_EQ(h.platform.dialogs().calls().size(), 1u);
  }
}

TEST(Apply, FirefoxChangesAreSavedAndOnlyASavedFileGetsTheNotice) {
  const std::string folder = "C:\\users\\user\\AppData\\Roaming\\Mozilla\\Firefox\\";
  const std::string user_js = folder + "Profiles/a.default\\user.js";  // the slash as profiles.ini has it
  struct Row {
    bool profile;
    bool write_fails;
    std::string expected_message;  // the first line of the box
    std::string expected_place;    // the file the box names
  };
  for (const Row& row : {Row{true, false, "Need to restart Firefox to take effect.", ""},
                         Row{true, true, "The Firefox settings could not be saved to \"", user_js},
                         Row{false, false, "The Firefox settings could not be saved to \"",
                             folder + "profiles.ini"}}) {
    Harness h;
    if (row.profile) {
      h.platform.files().AddFile(folder + "profiles.ini", "[Profile0]\r\nIsRelative=1\r\nPath=Profiles/a.default\r\n");
      h.platform.files().AddFile(user_js, "// mine\r\n");
    }
    if (row.write_fails) h.platform.files().FailWrite(user_js);
    h.Make({});
    h.main->Firefox().LoadFirefoxPreferences();
    ASSERT_TRUE(h.main->Firefox().SetFirefoxPref("\"ui.submenuDelay\"", "65000"));
    h.main->Requests().FirefoxChanged = true;
    h.button("Button_Apply").SetEnabled(true);
    h.main->Button_ApplyClick();

    const bool saved = row.expected_place.empty();
    EXPECT_EQ(h.button("Button_Apply").Enabled(), !saved) << "a change still pending keeps Apply";
    if (row.profile) {
      EXPECT_EQ(*h.platform.files().Text(user_js),
                saved ? "// mine\r\nuser_pref(\"ui.submenuDelay\", 65000);\r\n" : "// mine\r\n");
    }
    ASSERT_EQ(h.platform.dialogs().calls().size(), 1u);
    const auto& box = h.platform.dialogs().calls()[0];
    EXPECT_EQ(box.text.substr(0, row.expected_message.size()), row.expected_message);
    if (!saved) {
      EXPECT_NE(box.text.find(row.expected_place), std::string::npos) << box.text;
      EXPECT_EQ(box.flags, win::MB_OK | win::MB_ICONWARNING);
    } else {
      EXPECT_EQ(box.flags, win::MB_OK);
    }
    if (row.write_fails) {
      EXPECT_NE(box.text.find("Access is denied."), std::string::npos) << box.text;
    }
    EXPECT_EQ(h.main->Requests().FirefoxChanged, !saved) << "kept for the next Apply";
    EXPECT_EQ(h.main->Firefox().HasPendingChanges(), !saved);

    if (row.write_fails) {
      // The next Apply, with the file writable again, saves and then gives the notice.
      h.platform.files().FailWrite(user_js, false);
      h.main->Button_ApplyClick();
      EXPECT_EQ(*h.platform.files().Text(user_js), "// mine\r\nuser_pref(\"ui.submenuDelay\", 65000);\r\n");
      EXPECT_EQ(h.platform.dialogs().calls().back().text, "Need to restart Firefox to take effect.");
      EXPECT_FALSE(h.main->Requests().FirefoxChanged);
    }
  }
}

TEST(Apply, AllRequestsTogetherInTheirOrder) {
  Harness h;
  h.platform.services().AddService("wscsvc");
  h.Make({});
  auto& r = h.main->Requests();
  r.SecurityCenterServiceAction = 1;
  r.RestartNeeded = true;
  r.AssociationsChanged = true;
  r.FirefoxChanged = true;
  std::vector<std::string> order;
  h.main->SetProcessMessages([&] { order.push_back("messages"); });
  h.platform.dialogs().QueueMessageBox(win::IDNO);
  h.main->Button_ApplyClick();
  for (const auto& call : h.platform.dialogs().calls()) order.push_back(call.text);
  EXPECT_EQ(order, (std::vector<std::string>{"messages", "Need to restart Windows to take effect, restart now?",
                                             "Need to restart Firefox to take effect."}));
  EXPECT_EQ(Notifications(h), (std::vector<Notify>{{win::SHCNE_ALLEVENTS, win::SHCNF_FLUSH},
                                                   {win::SHCNE_ASSOCCHANGED, win::SHCNF_IDLIST}}));
  EXPECT_FALSE(r.RestartNeeded || r.AssociationsChanged || r.FirefoxChanged);
  EXPECT_EQ(r.SecurityCenterServiceAction, 0);
}

TEST(Apply, OkAppliesThenClosesCancelClosesWithoutWriting) {
  {
    Harness h;
    h.Make({});
    QueueRecord(h, "First", "one");
    h.main->Requests().RestartNeeded = true;
    h.button("Button_OK").Click();
    EXPECT_EQ(h.platform.registry().GetString(platform::HKCU, "Software\\Corvanel Test", "First"), "one");
    EXPECT_EQ(h.platform.dialogs().calls().size(), 1u);
    EXPECT_EQ(h.close_calls, 1);
    EXPECT_TRUE(h.main->CloseRequested());
  }
  {
    Harness h;
    h.platform.services().AddService("wscsvc");
    h.Make({});
    QueueRecord(h, "First", "one");
    h.main->Requests().SecurityCenterServiceAction = 1;
    h.main->Requests().RestartNeeded = true;
    h.main->Requests().FirefoxChanged = true;
    h.button("Button_Cancel").Click();
    EXPECT_EQ(h.close_calls, 1);
    EXPECT_FALSE(h.platform.registry().KeyExists(platform::HKCU, "Software\\Corvanel Test"));
    EXPECT_TRUE(h.platform.services().calls().empty());
    EXPECT_TRUE(h.platform.dialogs().calls().empty());
    EXPECT_TRUE(h.platform.shell().notifications().empty());
    h.main->FormDestroy();
    EXPECT_FALSE(h.platform.registry().KeyExists(platform::HKCU, "Software\\Corvanel Test"));
  }
}

TEST(Apply, ChangesAndClicksDuringAServiceWait) {
  Harness h;
  h.platform.services().AddService("wscsvc");
  h.platform.services().SetStartPending("wscsvc", 2);
  h.Make({});
  h.main->Requests().SecurityCenterServiceAction = 1;
  int applies_inside = 0;
  h.main->SetProcessMessages([&] {
    if (applies_inside++ > 0) return;
    // The user changes a setting, presses Apply again and then Cancel while waiting.
    QueueRecord(h, "Later", "x");
    h.main->Button_ApplyClick();
    h.button("Button_Cancel").Click();
    EXPECT_EQ(h.close_calls, 0) << "the window stays until Apply has ended";
  });
  h.main->Button_ApplyClick();
  EXPECT_EQ(h.main->Queue().Count(), 1u) << "queued during the wait, for the next Apply";
  EXPECT_TRUE(h.button("Button_Apply").Enabled());
  EXPECT_EQ(Notifications(h).size(), 1u) << "the inner Apply did nothing";
  EXPECT_EQ(h.close_calls, 1);
}

// A box clicked while a service is awaited asks for the next service step: the running
// Apply must neither drop it nor hide it behind a disabled Apply.
TEST(Apply, ServiceChoicesMadeDuringAServiceWaitStayPending) {
  Harness h;
  h.platform.system().set_version(6, 1);
  h.platform.services().AddService("wscsvc");
  h.platform.services().AddService("MpsSvc", win::SERVICE_RUNNING);
  h.platform.services().SetStartPending("wscsvc", 2);
  h.Make({});
  h.main->Requests().SecurityCenterServiceAction = 1;
  int calls = 0;
  h.main->SetProcessMessages([&] {
    if (calls++ > 0) return;
    h.main->Requests().SecurityCenterServiceAction = 2;
    h.main->Requests().FirewallServiceAction = 2;
  });
  h.main->Button_ApplyClick();
  EXPECT_EQ(h.main->Requests().SecurityCenterServiceAction, 2);
  EXPECT_EQ(h.main->Requests().FirewallServiceAction, 2);
  EXPECT_TRUE(h.button("Button_Apply").Enabled());

  h.main->SetProcessMessages({});
  h.main->Button_ApplyClick();
  EXPECT_EQ(h.platform.services().State("wscsvc"), win::SERVICE_STOPPED);
  EXPECT_EQ(h.platform.services().State("MpsSvc"), win::SERVICE_STOPPED);
  EXPECT_EQ(h.main->Requests().SecurityCenterServiceAction, 0);
  EXPECT_EQ(h.main->Requests().FirewallServiceAction, 0);
  EXPECT_FALSE(h.button("Button_Apply").Enabled());
}

TEST(Apply, OkDuringAServiceWaitWritesWhatWasQueuedMeanwhileThenCloses) {
  Harness h;
  h.platform.services().AddService("wscsvc");
  h.platform.services().SetStartPending("wscsvc", 2);
  h.Make({});
  h.main->Requests().SecurityCenterServiceAction = 1;
  int calls = 0;
  h.main->SetProcessMessages([&] {
    if (calls++ > 0) return;
    QueueRecord(h, "Later", "x");
    h.button("Button_OK").Click();
    EXPECT_EQ(h.close_calls, 0) << "the window stays until Apply has ended";
  });
  h.main->Button_ApplyClick();
  EXPECT_EQ(h.platform.registry().GetString(platform::HKCU, "Software\\Corvanel Test", "Later"), "x");
  EXPECT_TRUE(h.main->Queue().Empty());
  EXPECT_EQ(h.close_calls, 1);
}

// --- the service routines ---

TEST(ServiceRoutines, StartWaitsInHalfSecondsWhilePending) {
  struct Row {
    int pending_queries;  // -1: stays pending
    bool result;
    std::uint64_t max_slept;
  };
  for (const Row& row : {Row{0, true, 500}, Row{3, true, 3500}, Row{-1, false, 31'000}}) {
    Harness h;
    h.platform.services().AddService("wscsvc");
    h.platform.services().SetStartPending("wscsvc", row.pending_queries);
    h.Make({});
    int messages = 0;
    h.main->SetProcessMessages([&] { ++messages; });
    EXPECT_EQ(h.main->StartServiceAuto("wscsvc"), row.result) << row.pending_queries;
    const auto& sleeps = h.platform.clock().sleeps();
    for (std::uint32_t ms : sleeps) EXPECT_EQ(ms, 500u);
    EXPECT_LE(h.platform.clock().total_slept(), row.max_slept) << row.pending_queries;
    if (row.pending_queries < 0) {
      EXPECT_GE(h.platform.clock().total_slept(), 30'000u);
    }
    EXPECT_EQ(static_cast<std::size_t>(messages), (sleeps.size() + 1) / 2) << "once per half-second pair";
    EXPECT_EQ(h.platform.services().StartType("wscsvc"), win::SERVICE_AUTO_START);
    EXPECT_EQ(h.platform.services().open_handle_count(), 0u);
  }
}

TEST(ServiceRoutines, StartOfARunningServiceOnlyChangesTheStartType) {
  Harness h;
  h.platform.services().AddService("wscsvc", win::SERVICE_RUNNING, win::SERVICE_DISABLED);
  h.Make({});
  EXPECT_FALSE(h.main->StartServiceAuto("wscsvc"));
  EXPECT_EQ(h.platform.services().StartType("wscsvc"), win::SERVICE_AUTO_START);
  EXPECT_TRUE(h.platform.clock().sleeps().empty());
  EXPECT_FALSE(h.main->StartServiceAuto("NoSuchService"));
  h.platform.services().FailOpenManager(win::kAccessDenied);
  EXPECT_FALSE(h.main->StartServiceAuto("wscsvc"));
  EXPECT_EQ(h.platform.services().open_handle_count(), 0u);
}

TEST(ServiceRoutines, StopWaitsInSecondsWhilePending) {
  struct Row {
    std::uint32_t state;
    int pending_queries;
    bool result;
    std::uint64_t min_slept, max_slept;
  };
  for (const Row& row : {Row{win::SERVICE_RUNNING, 0, true, 1000, 1000},
                         Row{win::SERVICE_RUNNING, 2, true, 3000, 3000},
                         Row{win::SERVICE_RUNNING, -1, false, 30'000, 31'000},
                         Row{win::SERVICE_STOPPED, 0, false, 0, 0}}) {
    Harness h;
    h.platform.services().AddService("MpsSvc", row.state, win::SERVICE_AUTO_START);
    h.platform.services().SetStopPending("MpsSvc", row.pending_queries);
    h.Make({});
    int messages = 0;
    h.main->SetProcessMessages([&] { ++messages; });
    EXPECT_EQ(h.main->StopServiceDisabled("MpsSvc"), row.result) << row.pending_queries;
    for (std::uint32_t ms : h.platform.clock().sleeps()) EXPECT_EQ(ms, 1000u);
    EXPECT_GE(h.platform.clock().total_slept(), row.min_slept) << row.pending_queries;
    EXPECT_LE(h.platform.clock().total_slept(), row.max_slept) << row.pending_queries;
    EXPECT_EQ(static_cast<std::size_t>(messages), h.platform.clock().sleeps().size());
    EXPECT_EQ(h.platform.services().StartType("MpsSvc"), win::SERVICE_DISABLED);
    EXPECT_EQ(h.platform.services().open_handle_count(), 0u);
  }
}

}  // namespace
}  // namespace corvanel::ui
