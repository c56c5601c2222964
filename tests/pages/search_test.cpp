// Finding a setting across every page: which rows a query gives on each Windows version,
// in the current language, and opening one, without reading any setting to build them.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "pages/all_pages.h"
#include "platform/memory/memory_platform.h"
#include "tests/pages/page_harness.h"
#include "ui/main_window.h"
#include "ui/search.h"

namespace corvanel::pages {
namespace {

using platform::memory::MemoryPlatform;
using Hit = std::tuple<int, std::string, std::string>;  // page tag, tab, control

struct Window {
  std::unique_ptr<ui::TCorvanel_FormMain> main;
  std::unique_ptr<ui::SettingSearch> search;
};

// The whole program, shown and on its start page, as the user first sees it.
Window Start(MemoryPlatform& p, int version_class) {
  harness::SetVersionClass(p, version_class);
  Window w;
  w.main = std::make_unique<ui::TCorvanel_FormMain>(p, CreateAllPages());
  w.main->SetPageFactory(&CreateAllPages);
  w.main->ShowForm();
  w.main->Find<forms::Timer>("Timer_Click").Tick();
  w.main->Find<forms::Timer>("Timer_Loading").Tick();
  w.search = std::make_unique<ui::SettingSearch>(*w.main);
  return w;
}

std::vector<Hit> Hits(ui::SettingSearch& search, const std::string& query) {
  std::vector<Hit> hits;
  for (const ui::SearchRow* row : search.Find(query)) hits.emplace_back(row->page_tag, row->tab, row->control);
  return hits;
}

TEST(SettingSearch, QueriesFindTheSettingsAUserCanSee) {
  const std::string kGerman =
      "\xEF\xBB\xBF[Main]\nDisplayName=Deutsch\n"
      "[_Corvanel_FormMain]\n"
      "Checkbox_Net_Neighbor_Security_ActiveShare.Caption=Administrative Freigaben f\xC3\xBCr Arbeitsstationen.\n"
      "TabSheet_Net_Neighbor.Caption=Netzwerkumgebung\n";
  const Hit kShares{7, "My Network Places", "Checkbox_Net_Neighbor_Security_ActiveShare"};
  const Hit kMyDocuments{19, "Display", "CheckBox_CommonSettings_Display_Desktop_MyDocument"};
  const Hit kAutoClose{16, "Exit", "Radio_Startup_Exit_AutoClose_AutoClose"};
  const Hit kCrashList{16, "Error", "CB_Startup_Error_SystemError_Type"};
  struct Row {
    int version_class;
    bool german;
    const char* query;
    std::vector<Hit> hits;
  } rows[] = {
      {7, false, "administrative shares", {kShares}},
      {7, false, "SHARES  Administrative", {kShares}},
      {7, false, "a", {}},
      {5, false, "my documents", {kMyDocuments}},
      {6, false, "my documents", {}},
      // Every word anywhere in caption, group or tab; captions starting with one come first.
      {5, false, "close programs automatically",
       {{13, "General", "Checkbox_UserLogin_Common_Set_EndTask"}, kAutoClose,
        {16, "Exit", "Radio_Startup_Exit_AutoClose_ShowCloseDialog"}}},
      {6, false, "close programs automatically", {}},
      {7, false, "critical system error", {kCrashList}},
      {7, true, "freigaben FUR arbeitsstationen", {{7, "Netzwerkumgebung", std::get<2>(kShares)}}},
      {7, true, "netzwerkumgebung administrative", {{7, "Netzwerkumgebung", std::get<2>(kShares)}}},
      {7, true, "administrative shares", {}},
  };
  for (const Row& row : rows) {
    MemoryPlatform p;
    if (row.german) p.files().AddFile("C:\\Program Files\\Corvanel\\Language\\Deutsch.lng", kGerman);
    Window w = Start(p, row.version_class);
    EXPECT_EQ(Hits(*w.search, row.query), row.hits) << row.query << " on class " << row.version_class;
  }
}

TEST(SettingSearch, BuildingTheIndexReadsNoSetting) {
  MemoryPlatform p;
  Window w = Start(p, 5);
  p.registry().ClearLogs();
  p.spi().ClearCalls();
  p.services().ClearCalls();
  const int file_writes = p.files().write_count();
  ASSERT_FALSE(w.search->Find("enable").empty());
  ASSERT_GT(w.search->Rows().size(), 100u);
  // Only the host probes the pages' adaptation asks (the browser versions) reach the registry.
  for (const auto& read : p.registry().read_log()) {
    const bool probe = read.path.find("Internet Explorer") != std::string::npos ||
                       read.path.find("Uninstall") != std::string::npos;
    EXPECT_TRUE(probe) << read.path << " " << read.name;
  }
  EXPECT_TRUE(p.registry().write_log().empty());
  EXPECT_TRUE(p.spi().calls().empty());
  EXPECT_TRUE(p.services().calls().empty());
  EXPECT_EQ(p.files().write_count(), file_writes);
  EXPECT_EQ(w.main->LoadedPages(), std::vector<std::string>{"19"}) << "no page of the window is loaded";
  EXPECT_TRUE(w.main->Queue().Records().empty());
}

TEST(SettingSearch, OpeningAResultShowsPageTabAndControlAndQueuesNothing) {
  MemoryPlatform p;
  Window w = Start(p, 7);
  ui::TCorvanel_FormMain& main = *w.main;
  // A collapsed group does not keep its page from being opened.
  main.RzGroupBar1().SetGroupExpanded(main.RzGroupBar1().GroupIndex("RzGroup_Communication"), false);
  const std::vector<const ui::SearchRow*> rows = w.search->Find("reserve bandwidth");
  ASSERT_EQ(rows.size(), 1u);
  ASSERT_TRUE(w.search->Open(*rows[0]));
  EXPECT_EQ(main.LoadedPages(), (std::vector<std::string>{"19", "7"}));
  EXPECT_EQ(main.notset().ActivePage(), main.notset().PageByCaption("7"));
  EXPECT_EQ(main.Find<forms::PageControl>("PageControl5").ActivePage()->Caption(), "Advanced");
  EXPECT_TRUE(main.Find<forms::CheckBox>("Checkbox_Net_Advanced_Qos_Keep").Focused());
  ASSERT_NE(main.SelectedItem(), nullptr);
  EXPECT_EQ(main.SelectedItem()->Tag, 7);
  EXPECT_TRUE(main.SelectedItem()->Bold);
  EXPECT_TRUE(main.Queue().Records().empty());
  EXPECT_FALSE(main.Find<forms::Button>("Button_Apply").Enabled());

  // Back to a page already loaded: shown again, not loaded twice.
  const std::vector<const ui::SearchRow*> crash = w.search->Find("critical error");
  ASSERT_EQ(crash.size(), 1u);
  ASSERT_TRUE(w.search->Open(*crash[0]));
  const std::vector<const ui::SearchRow*> shares = w.search->Find("administrative shares");
  ASSERT_EQ(shares.size(), 1u);
  ASSERT_TRUE(w.search->Open(*shares[0]));
  EXPECT_EQ(main.LoadedPages(), (std::vector<std::string>{"19", "7", "16"}));
  EXPECT_EQ(main.Find<forms::PageControl>("PageControl5").ActivePage()->Caption(), "My Network Places");
  EXPECT_TRUE(main.Find<forms::CheckBox>("Checkbox_Net_Neighbor_Security_ActiveShare").Focused());
  EXPECT_TRUE(main.Queue().Records().empty());
  EXPECT_FALSE(main.Find<forms::Button>("Button_Apply").Enabled());
}

}  // namespace
}  // namespace corvanel::pages
