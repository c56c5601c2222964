// Page modules for the main window's tests: each records what the window asks of it, and
// tests give it whatever controls and loader behaviour they need.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "ui/main_window.h"

namespace corvanel::ui::testing {

// What all fake pages did, in order ("load 2 begin", "change 4 Edit_X").
struct EventLog {
  std::vector<std::string> entries;
};

class FakePage : public PageModule {
 public:
  FakePage(int tag, EventLog* log) : tag_(tag), log_(log) {}
  int Tag() const override { return tag_; }
  void Build(PageContext& ctx) override {
    if (build) build(ctx);
  }
  void Adapt(PageContext& ctx, int version_class) override {
    adapted_class = version_class;
    ++adapt_count;
    loading_during_adapt = ctx.PageLoading();
    Record("adapt");
  }
  void Load(PageContext& ctx) override {
    ++load_count;
    loading_during_load = ctx.PageLoading();
    Record("load begin");
    if (load) load(ctx);
    Record("load end");
  }
  void Change(PageContext& ctx, forms::Component& sender) override {
    senders.push_back(sender.Name());
    Record("change " + sender.Name());
    if (change) change(ctx, sender);
  }

  std::function<void(PageContext&)> build;
  std::function<void(PageContext&)> load;
  std::function<void(PageContext&, forms::Component&)> change;

  int adapt_count = 0;
  int load_count = 0;
  int adapted_class = -1;
  bool loading_during_adapt = false;
  bool loading_during_load = false;
  std::vector<std::string> senders;

 private:
  void Record(const std::string& what) {
    if (log_ != nullptr) log_->entries.push_back(what + " " + std::to_string(tag_));
  }
  int tag_;
  EventLog* log_;
};

class RecordingReporter : public ErrorReporter {
 public:
  ErrorChoice Report(const std::string& where, const std::string& what) override {
    reports.push_back(where + ": " + what);
    return answer;
  }
  ErrorChoice answer = ErrorChoice::Continue;
  std::vector<std::string> reports;
};

// A main window over a memory platform with one fake page per tag asked for.
struct Harness {
  // Prepare `platform` first, then Make the window.
  Harness() = default;
  void Make(std::vector<int> tags, std::function<void(FakePage&)> configure = {}) {
    PageModules modules;
    pages.clear();
    for (int tag : tags) {
      auto page = std::make_unique<FakePage>(tag, &log);
      if (configure) configure(*page);
      pages[tag] = page.get();
      modules.push_back(std::move(page));
    }
    main = std::make_unique<TCorvanel_FormMain>(platform, std::move(modules));
    main->SetErrorReporter(&reporter);
    main->SetCloseHandler([this] { ++close_calls; });
  }
  // Shows the window and runs the start-up timers once: the General Setting page is
  // loaded, the loading panel gone, OK and Cancel enabled.
  void Run() {
    main->ShowForm();
    main->Find<forms::Timer>("Timer_Click").Tick();
    main->Find<forms::Timer>("Timer_Loading").Tick();
  }
  forms::Button& button(const char* name) { return main->Find<forms::Button>(name); }

  platform::memory::MemoryPlatform platform;
  EventLog log;
  RecordingReporter reporter;
  std::map<int, FakePage*> pages;
  std::unique_ptr<TCorvanel_FormMain> main;
  int close_calls = 0;
};

}  // namespace corvanel::ui::testing
