// The whole program with every page: each one opened in every version class, on an empty
// registry and on one where every value a page reads is of an unexpected type. Loading
// must never throw past a guard, queue a change or write anything, and Cancel must leave
// the system as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "pages/all_pages.h"
#include "platform/memory/memory_platform.h"
#include "platform/reg_text.h"
#include "tests/pages/page_harness.h"
#include "ui/main_window.h"

namespace corvanel::pages {
namespace {

namespace win = platform::win;
using platform::memory::MemoryPlatform;

class Reporter : public ui::ErrorReporter {
 public:
  ui::ErrorChoice Report(const std::string& where, const std::string& what) override {
    reports.push_back(where + ": " + what);
    return ui::ErrorChoice::Continue;
  }
  std::vector<std::string> reports;
};

using Place = std::tuple<platform::RegKey, std::string, std::string>;

// What every value a page reads is planted as.
enum class Fill { kEmpty, kMultiString, kNotANumber, kOneByte, kAllBitsSet, kEmptyText };

void Plant(MemoryPlatform& p, Fill fill, const std::set<Place>& places) {
  for (const auto& [root, path, name] : places) {
    switch (fill) {
      case Fill::kEmpty: break;
      case Fill::kMultiString: p.registry().SetMultiString(root, path, name, {"a", "b"}); break;
      case Fill::kNotANumber: p.registry().SetString(root, path, name, "not a number"); break;
      case Fill::kOneByte: p.registry().SetBinary(root, path, name, {0xFF}); break;
      case Fill::kAllBitsSet: p.registry().SetDword(root, path, name, 0xFFFFFFFFu); break;
      case Fill::kEmptyText: p.registry().SetString(root, path, name, ""); break;
    }
  }
}

struct Outcome {
  std::vector<std::string> reports;
  std::vector<int> unloaded;  // tags whose page did not load
  std::size_t queued = 0;
  bool apply_enabled = false;
  std::size_t writes = 0;         // registry changes, loading and Cancel together
  std::size_t spi_sets = 0;       // system-parameter calls that change something
  int file_writes = 0;
  std::set<Place> reads;
  std::set<std::pair<platform::RegKey, std::string>> opened;  // keys asked for, found or not
};

// Opens every page as a user would (pages without a visible item through their tag), then
// Cancel.
Outcome OpenEveryPage(MemoryPlatform& p, int version_class) {
  Outcome run;
  p.registry().ClearLogs();
  p.spi().ClearCalls();
  const int file_writes_before = p.files().write_count();
  Reporter reporter;
  {
    auto window = std::make_unique<ui::TCorvanel_FormMain>(p, CreateAllPages());
    window->SetErrorReporter(&reporter);
    EXPECT_EQ(window->WindowsVersionClass(), version_class);
    window->ShowForm();
    window->Find<forms::Timer>("Timer_Click").Tick();
    window->Find<forms::Timer>("Timer_Loading").Tick();
    ui::GroupBar& bar = window->RzGroupBar1();
    for (int tag = 1; tag <= 19; ++tag) {
      int group = 0;
      int item = 0;
      // Items the version hides (and E-mail's, always hidden) are opened through the tag.
      if (!(bar.Locate(bar.FindItemByTag(tag), &group, &item) && bar.UserClickItem(group, item)) && tag != 10)
        window->LoadPage(tag);
    }
    for (int tag = 1; tag <= 19; ++tag) {
      if (tag == 10) continue;  // no page has this tag
      const auto& loaded = window->LoadedPages();
      if (std::find(loaded.begin(), loaded.end(), std::to_string(tag)) == loaded.end()) run.unloaded.push_back(tag);
    }
    run.queued = window->Queue().Count();
    run.apply_enabled = window->Find<forms::Button>("Button_Apply").Enabled();
    window->Find<forms::Button>("Button_Cancel").Click();
    window->FormDestroy();
  }
  run.reports = reporter.reports;
  run.writes = p.registry().write_log().size();
  for (const auto& call : p.spi().calls()) run.spi_sets += call.win_ini != 0 ? 1 : 0;
  run.file_writes = p.files().write_count() - file_writes_before;
  for (const auto& r : p.registry().read_log()) run.reads.insert({r.root, r.path, r.name});
  for (const auto& a : p.registry().access_log()) run.opened.insert({a.root, a.path});
  return run;
}

TEST(WholeProgram, EveryPageOpensOnAnyRegistryWithoutQueueingOrWriting) {
  // The places the pages read, learnt from passes over an empty registry: values are
  // asked for only in keys that exist, so each pass creates the keys the last one asked for.
  std::set<Place> places;
  std::set<std::pair<platform::RegKey, std::string>> keys;
  for (int pass = 0; pass < 3; ++pass) {
    for (int version_class : harness::kVersionClasses) {
      MemoryPlatform p;
      harness::SetVersionClass(p, version_class);
      for (const auto& [root, path] : keys) p.registry().CreateKeyPath(root, path);
      const Outcome run = OpenEveryPage(p, version_class);
      places.insert(run.reads.begin(), run.reads.end());
      keys.insert(run.opened.begin(), run.opened.end());
    }
  }
  ASSERT_GT(places.size(), 50u) << "the pages read far more than this";

  for (Fill fill : {Fill::kEmpty, Fill::kMultiString, Fill::kNotANumber, Fill::kOneByte, Fill::kAllBitsSet,
                    Fill::kEmptyText}) {
    for (int version_class : harness::kVersionClasses) {
      SCOPED_TRACE("fill " + std::to_string(static_cast<int>(fill)) + ", class " + std::to_string(version_class));
      MemoryPlatform p;
      harness::SetVersionClass(p, version_class);
      Plant(p, fill, places);
      const Outcome run = OpenEveryPage(p, version_class);
      EXPECT_TRUE(run.reports.empty()) << run.reports.front();
      EXPECT_TRUE(run.unloaded.empty()) << "page " << run.unloaded.front() << " not loaded";
      EXPECT_EQ(run.queued, 0u) << "loading queued a change";
      EXPECT_FALSE(run.apply_enabled);
      EXPECT_EQ(run.writes, 0u) << "the registry was changed without Apply";
      EXPECT_EQ(run.spi_sets, 0u) << "a system parameter was set without Apply";
      EXPECT_EQ(run.file_writes, 0) << "a file was written without Apply";
    }
  }
}

// Tab and the arrows pass through a text field without changing it; only a key release
// that finds the text changed since the last one (or since the page loaded) queues it.
TEST(WholeProgram, AKeyReleaseQueuesOnlyAChangedText) {
  struct Row {
    const char* edit;
    int page;  // the page the edit sits on
  };
  const Row rows[] = {
      {"Edit_Firefox_Common_Homepage_Address", 9},
      {"Edit_CommonSettings_Display_FirefoxHomepage_HomePage", 19},
      {"Edit_CommonSettings_Display_IECommonSettings_HomePage", 19},
      {"Edit_IE_Common_Homepage_Address", 8},
      {"Edit_IE_View_Title_Title", 8},
      {"Edit_UserLogin_Message_Notify_Title", 13},
      {"Edit_UserLogin_Message_Notify_Text", 13},
      {"Edit_UserLogin_AutoLogin_LoginInfo_Password", 13},
      {"Edit_UserLogin_AutoLogin_LoginInfo_UserName", 13},
      {"Edit_UserLogin_AutoLogin_LoginInfo_Domain", 13},
      {"Edit_System_Common_Infomation_Company", 17},
      {"Edit_System_Common_Infomation_Name", 17},
      {"Edit_System_Common_Installer_Company", 17},
      {"Edit_System_Common_Installer_Name", 17},
      {"edWindowTitle", 11},
  };
  constexpr int kTab = 0x09;
  constexpr int kLeft = 0x25;
  MemoryPlatform p;
  harness::SetVersionClass(p, 7);
  const std::string firefox = "C:\\users\\user\\AppData\\Roaming\\Mozilla\\Firefox\\";
  p.registry().CreateKeyPath(platform::HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Mozilla Firefox");
  p.files().AddFile(firefox + "profiles.ini", "[Profile0]\r\nIsRelative=1\r\nPath=Profiles/t.default\r\n");
  p.files().AddDirectory(firefox + "Profiles\\t.default");
  const std::string winlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
  p.registry().SetString(platform::HKLM, winlogon, "AutoAdminLogon", "1");
  p.registry().SetString(platform::HKLM, winlogon, "LegalNoticeCaption", "Notice");
  p.registry().SetString(platform::HKCU, "Software\\Microsoft\\Internet Explorer\\Main", "Start Page", "http://a/");

  ui::TCorvanel_FormMain window(p, CreateAllPages());
  window.ShowForm();
  window.Find<forms::Timer>("Timer_Click").Tick();
  window.Find<forms::Timer>("Timer_Loading").Tick();
  auto& apply = window.Find<forms::Button>("Button_Apply");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.edit);
    window.RzGroup1Items0Click(window.RzGroupBar1().FindItemByTag(row.page));
    auto& edit = window.Find<forms::Edit>(row.edit);
    for (forms::Control* c = &edit; c != nullptr; c = c->Parent()) {
      if (auto* sheet = dynamic_cast<forms::TabSheet*>(c)) sheet->GetPageControl()->SetActivePage(sheet);
    }
    ASSERT_TRUE(edit.CanUserReach());
    ASSERT_FALSE(apply.Enabled());
    EXPECT_TRUE(edit.UserKeyUp(kTab) && edit.UserKeyUp(kLeft));
    EXPECT_FALSE(apply.Enabled()) << "a key release that changed nothing";
    EXPECT_EQ(window.Queue().Count(), 0u);
    EXPECT_FALSE(window.Requests().FirefoxChanged);

    EXPECT_TRUE(edit.UserTypeText("x"));
    EXPECT_TRUE(apply.Enabled()) << "typing is passed on";
    window.Button_ApplyClick();
    EXPECT_TRUE(edit.UserKeyUp(kLeft));
    EXPECT_FALSE(apply.Enabled()) << "nothing changed since the last key release";
    // A change whose own key release went elsewhere is passed on by the next one.
    EXPECT_TRUE(edit.UserType(8));
    EXPECT_TRUE(edit.UserKeyUp(kTab));
    EXPECT_TRUE(apply.Enabled());
    window.Button_ApplyClick();
  }
}

}  // namespace
}  // namespace corvanel::pages
