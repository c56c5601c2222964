// The main window with one settings page, started as the renderer starts it, on a memory
// platform the test prepares and reads back. A page test derives its fixture from
// PageTest and calls Open(version_class) after setting up the registry and the system
// parameters.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/layout.h"
#include "platform/memory/memory_platform.h"
#include "ui/main_window.h"
#include "ui/page_module.h"

namespace corvanel::pages::harness {

// Every version class a page adapts to.
inline constexpr int kVersionClasses[] = {0, 4, 5, 6, 7, 8};

// Sets the Windows version that gives `version_class` (0: one newer than the classes know).
inline void SetVersionClass(platform::memory::MemoryPlatform& p, int version_class) {
  switch (version_class) {
    case 0: p.system().set_version(10, 0); break;
    case 4: p.system().set_version(5, 0); break;
    case 5: p.system().set_version(5, 1); break;
    case 6: p.system().set_version(6, 0); break;
    case 7: p.system().set_version(6, 1); break;
    case 8: p.system().set_version(6, 2); break;
    default: FAIL() << "no Windows version gives class " << version_class;
  }
}

class PageTest : public ::testing::Test {
 protected:
  using PageFactory = std::function<std::unique_ptr<ui::PageModule>()>;

  explicit PageTest(PageFactory factory) : factory_(std::move(factory)) {}

  // A new window on the current platform: shown, the start-up click and the loading tick
  // as the renderer's timers run them, then the page's navigation item clicked. A page
  // whose item the bar keeps hidden (`hidden_item`) cannot be clicked by the user; it is
  // opened as the program can open it, through the items' shared click event.
  void Open(int version_class, bool hidden_item = false) {
    window_.reset();
    SetVersionClass(*memory_, version_class);
    std::unique_ptr<ui::PageModule> page = factory_();
    tag_ = page->Tag();
    ui::PageModules pages;
    pages.push_back(std::move(page));
    window_ = std::make_unique<ui::TCorvanel_FormMain>(*memory_, std::move(pages));
    ASSERT_EQ(window_->WindowsVersionClass(), version_class);
    window_->ShowForm();
    ASSERT_TRUE(window_->Find<forms::Timer>("Timer_Click").Tick());
    ASSERT_TRUE(window_->Find<forms::Timer>("Timer_Loading").Tick());
    ASSERT_TRUE(window_->Find<forms::Button>("Button_OK").Enabled());
    ui::GroupBar& bar = window_->RzGroupBar1();
    int group = 0;
    int item = 0;
    ui::NavItem* nav = bar.FindItemByTag(tag_);
    ASSERT_TRUE(bar.Locate(nav, &group, &item)) << "no navigation item for page " << tag_;
    ASSERT_EQ(nav->Visible, !hidden_item);
    ASSERT_EQ(bar.UserClickItem(group, item), !hidden_item);
    if (hidden_item) window_->RzGroup1Items0Click(nav);
    ASSERT_EQ(window_->LoadedPages().back(), std::to_string(tag_));
    ASSERT_EQ(window_->notset().ActivePage(), &window_->Context(tag_).Page());
  }

  // A fresh system for the next case of a table; the window on the old one goes first.
  void Reset() {
    window_.reset();
    memory_ = std::make_unique<platform::memory::MemoryPlatform>();
  }

  platform::memory::MemoryPlatform& Memory() const { return *memory_; }
  platform::memory::MemoryRegistry& Reg() const { return memory_->registry(); }
  ui::TCorvanel_FormMain& Window() const { return *window_; }
  ui::PageContext& Context() const { return window_->Context(tag_); }
  // The page's sheet of the notebook.
  forms::TabSheet& PageSheet() const { return Context().Page(); }

  template <class T>
  T& Get(std::string_view name) const { return window_->Find<T>(name); }
  forms::CheckBox& Box(std::string_view name) const { return Get<forms::CheckBox>(name); }
  forms::ComboBox& Combo(std::string_view name) const { return Get<forms::ComboBox>(name); }
  forms::Control& Ctl(std::string_view name) const { return Get<forms::Control>(name); }
  bool Checked(std::string_view box) const { return Box(box).Checked(); }

  engine::TCorvanel& Queue() const { return window_->Queue(); }
  const std::vector<engine::TRegRecor>& Records() const { return Queue().Records(); }
  const engine::TRegRecor* Record(const std::string& name) const { return Queue().Find(name); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const engine::TRegRecor& r : Records()) names.push_back(r.Name);
    return names;
  }
  ui::ApplyRequests& Requests() const { return window_->Requests(); }
  bool ApplyEnabled() const { return Get<forms::Button>("Button_Apply").Enabled(); }
  // Apply as the user presses it.
  void Apply() const { Get<forms::Button>("Button_Apply").UserClick(); }

  // What forms::CheckLayout finds wrong on the page, described; empty when nothing.
  std::string LayoutProblems() const { return forms::DescribeLayout(forms::CheckLayout(PageSheet())); }

 private:
  PageFactory factory_;
  int tag_ = 0;
  std::unique_ptr<platform::memory::MemoryPlatform> memory_ = std::make_unique<platform::memory::MemoryPlatform>();
  std::unique_ptr<ui::TCorvanel_FormMain> window_;
};

}  // namespace corvanel::pages::harness
