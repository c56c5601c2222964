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

}  // namespace
}  // namespace corvanel::pages
