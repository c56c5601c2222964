#include "pages/system/memory_cache.h"

#include <string>

#include "pages/page_layout.h"
#include "pages/page_rows.h"

namespace corvanel::pages {
namespace {

using forms::Button;
using forms::CheckBox;
using forms::GroupBox;
using forms::RadioButton;
using forms::Rect;
using forms::TabSheet;
using platform::HKLM;

constexpr int kTag = 15;

constexpr const char* kMemoryKey = "\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\";

constexpr const char* kPages = "pagmemroy";
constexpr const char* kPageAsNeeded = "Radio_MemoryAndCache_MemoryManage_VirtualMemory_Page";
constexpr const char* kKeepInMemory = "Radio_MemoryAndCache_MemoryManage_VirtualMemory_Allways";
constexpr const char* kClearPageFile = "Checkbox_MemoryAndCache_MemoryManage_Pagefile_Delete";
constexpr const char* kForPrograms = "Radio_MemoryAndCache_MemoryUse_Program";
constexpr const char* kForCache = "Radio_MemoryAndCache_MemoryUse_System";

const RegFlag kClearPageFileFlag = {HKLM, kMemoryKey, "ClearPageFileAtShutdown", FlagRead::kEqualsOne};

// A radio pair over one integer: the second radio stands for 1, the first for anything else.
struct RadioPair {
  const char* off;
  const char* on;
  const char* value;
  const char* record;
};
constexpr RadioPair kPairs[] = {
    {kPageAsNeeded, kKeepInMemory, "DisablePagingExecutive", "RadPagingExecutive"},
    {kForPrograms, kForCache, "LargeSystemCache", "RadLargeSystem"},
};

class MemoryCachePage : public ui::PageModule {
 public:
  int Tag() const override { return kTag; }
  void Build(ui::PageContext& ctx) override;
  void Adapt(ui::PageContext& ctx, int version_class) override;
  void Load(ui::PageContext& ctx) override;
  void Change(ui::PageContext& ctx, forms::Component& sender) override;
};

// A missing value leaves both radios as they are (none selected on the form).
void ReadPair(ui::PageContext& ctx, const RadioPair& pair) {
  Guarded([&] {
    if (const auto one = ReadEquals(ctx.Queue(), HKLM, kMemoryKey, pair.value, 1)) {
      ctx.Find<RadioButton>(*one ? pair.on : pair.off).SetChecked(true);
    }
  });
}

void MemoryCachePage::Build(ui::PageContext& ctx) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forward = ctx.Forwarder();
  auto& pages = form.Create<forms::PageControl>(ctx.Page(), kPages, layout::kPageControl);
  const auto row = [](int top) { return Rect{layout::kRowLeft, top, layout::kRowWidth, layout::kRowHeight}; };

  // Memory Management.
  auto& manage = form.Create<TabSheet>(pages, "TabSheet_MemoryAndCache_MemoryManage", Rect{}, "Memory Management");
  int top = InfoText(form, manage, "Label_MemoryAndCache_MemoryManage_Info", layout::kFirstGroupTop,
                     "Here are settings for managing the physical and virtual memory of your system.",
                     layout::kGroupLeft, layout::kGroupWidth);
  auto& virtual_memory = form.Create<GroupBox>(manage, "GroupBox_MemoryAndCache_MemoryManage_VirtualMemory",
                                               layout::GroupBounds(top, 0), "Virtual Memory");
  int y = InfoText(form, virtual_memory, "Label_MemoryAndCache_MemoryManage_VirtualMemory_Info", layout::kRowTop,
                   "The system performance can be improved by disabling driver and core paging on computers with 256 "
                   "MB memory or more.");
  form.Create<RadioButton>(virtual_memory, kPageAsNeeded, row(y), "Page as needed.").OnClick = forward;
  y += layout::kRowStep;
  form.Create<RadioButton>(virtual_memory, kKeepInMemory, row(y), "Always keep in memory.").OnClick = forward;
  virtual_memory.SetHeight(y + layout::kRowHeight + 8);
  top = layout::GroupBelow(top, virtual_memory.Height());
  auto& pagefile = form.Create<GroupBox>(manage, "GroupBox_MemoryAndCache_MemoryManage_Pagefile",
                                         layout::GroupBounds(top, 0), "Page File");
  y = InfoText(form, pagefile, "Label_MemoryAndCache_MemoryManage_Pagefile_Info", layout::kRowTop,
               "If you would like to overwrite the paging file with zeros at shutdown to protect your privacy, please "
               "tick this option.");
  y = InfoText(form, pagefile, "Label_MemoryAndCache_MemoryManage_Pagefile_Attention", y,
               "Attention: this option slows the shutdown process considerably!");
  form.Create<CheckBox>(pagefile, kClearPageFile, row(y), "Delete page file at shutdown.").OnClick = forward;
  pagefile.SetHeight(y + layout::kRowHeight + 8);
  form.Create<Button>(manage, "Button_MemoryAndCache_MemoryManage_Recommend", layout::SheetButtonBounds(0, 2),
                      "Recommended")
      .Hide();
  form.Create<Button>(manage, "Button_MemoryAndCache_MemoryManage_Default", layout::SheetButtonBounds(1, 2),
                      "Default Settings")
      .OnClick = [&ctx](forms::Component&) {
    DefaultSelect(ctx.Find<RadioButton>(kPageAsNeeded));
    DefaultCheck(ctx.Find<CheckBox>(kClearPageFile), kCleared);
  };

  // Memory Usage.
  auto& use = form.Create<TabSheet>(pages, "TabSheet_MemoryAndCache_MemoryUse", Rect{}, "Memory Usage");
  top = InfoText(form, use, "Label_MemoryAndCache_MemoryUse_Text", layout::kFirstGroupTop,
                 "Customize the way that Windows uses physical memory according to your needs.", layout::kGroupLeft,
                 layout::kGroupWidth);
  auto& info =
      form.Create<GroupBox>(use, "GroupBox_MemoryAndCache_MemoryUse_Info", layout::GroupBounds(top, 0), "Memory Usage");
  y = InfoText(form, info, "Label_MemoryAndCache_MemoryUse_Info", layout::kRowTop,
               "Allocate more memory here for either programs or system cache.");
  form.Create<RadioButton>(info, kForPrograms, row(y), "Reserve for programs.").OnClick = forward;
  y += layout::kRowStep;
  form.Create<RadioButton>(info, kForCache, row(y), "Reserve for system cache.").OnClick = forward;
  info.SetHeight(y + layout::kRowHeight + 8);
  form.Create<Button>(use, "Button_MemoryAndCache_MemoryUse_Default", layout::SheetButtonBounds(0, 1),
                      "Default Settings")
      .Hide();

  pages.SetActivePageIndex(0);
}

void MemoryCachePage::Adapt(ui::PageContext& ctx, int version_class) {
  if (version_class < 5) ctx.Find<forms::PageControl>(kPages).Page(1)->SetTabVisible(false);
}

void MemoryCachePage::Load(ui::PageContext& ctx) {
  // LoadMemoryManagement.
  ReadPair(ctx, kPairs[0]);
  Guarded([&] { SetCheckedIf(ctx.Find<CheckBox>(kClearPageFile), ReadFlag(ctx.Queue(), kClearPageFileFlag)); });
  // LoadMemoryUsage.
  ReadPair(ctx, kPairs[1]);
}

void MemoryCachePage::Change(ui::PageContext& ctx, forms::Component& sender) {
  const std::string& name = sender.Name();
  if (name == kClearPageFile) {
    ctx.Queue().AddRecord(FlagRecord(name, kClearPageFileFlag, ctx.Find<CheckBox>(name).Checked()));
    return;
  }
  for (const RadioPair& pair : kPairs) {
    if (name != pair.off && name != pair.on) continue;
    const bool on = ctx.Find<RadioButton>(pair.on).Checked();
    ctx.Queue().AddRecord(IntegerRecord(pair.record, HKLM, kMemoryKey, pair.value, on ? 1 : 0));
    ctx.Requests().RestartNeeded = true;
    return;
  }
}

}  // namespace

std::unique_ptr<ui::PageModule> CreateMemoryCachePage() { return std::make_unique<MemoryCachePage>(); }

}  // namespace corvanel::pages
