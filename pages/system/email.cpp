#include "pages/system/email.h"

#include <initializer_list>
#include <string>
#include <utility>

#include "pages/page_layout.h"
#include "pages/page_rows.h"

namespace corvanel::pages {
namespace {

using forms::Button;
using forms::CheckBox;
using forms::Edit;
using forms::Label;
using forms::RadioButton;
using forms::Rect;
using forms::TabSheet;
using platform::HKCU;

constexpr int kTag = 11;

constexpr const char* kOutlookExpressKey =
    "\\Identities\\{BBA5B953-D1DB-45E6-85A2-3756E4850C44}\\Software\\Microsoft\\Outlook Express\\5.0\\";
constexpr const char* kTridentKey =
    "\\Identities\\{BBA5B953-D1DB-45E6-85A2-3756E4850C44}\\Software\\Microsoft\\Outlook Express\\5.0\\Trident\\Main\\";
constexpr const char* kToolbarsKey = "\\Software\\Microsoft\\Office\\12.0\\Common\\Toolbars\\Settings\\";
constexpr const char* kOutlookKey = "\\Software\\Microsoft\\Office\\12.0\\Outlook\\Preferences\\";
constexpr const char* kMessengerKey = "\\Software\\Policies\\Microsoft\\Messenger\\Client\\";

constexpr const char* kSplash = "CHKAnimat";
constexpr const char* kSmoothScroll = "CHKSmoothScroll";
constexpr const char* kWindowTitle = "edWindowTitle";
constexpr const char* kHelpBox = "CHKHiddenhelp";
constexpr const char* kMinToTray = "CHKMinToTray";
constexpr const char* kMessengerAllowed = "RadMessenger1";
constexpr const char* kMessengerRefused = "RadMessenger2";
constexpr const char* kAttachments = "CheckBox25";

constexpr const char* kDefaultTitle = "Outlook Express";

// The four boxes with a setting; each a DWORD under the box's name.
struct FlagRow {
  const char* name;
  const char* caption;
  RegFlag flag;
};
const FlagRow kFlags[] = {
    {kSplash, "启动时显示启动动画", {HKCU, kOutlookExpressKey, "NoSplash", FlagRead::kEqualsOne, true, kChecked}},
    {kSmoothScroll, "使用平滑滚动", {HKCU, kTridentKey, "SmoothScroll", FlagRead::kEqualsOne}},
    {kHelpBox,
     "在工具栏中显示\"键入需要帮助的问题\"",
     {HKCU, kToolbarsKey, "Microsoft Office Outlook AWDropdownHidden", FlagRead::kEqualsOne, true}},
    {kMinToTray, "最小化Outlook 到系统托盘区", {HKCU, kOutlookKey, "MinToTray", FlagRead::kAnyButZero}},
};

class EmailPage : public ui::PageModule {
 public:
  int Tag() const override { return kTag; }
  void Build(ui::PageContext& ctx) override;
  void Load(ui::PageContext& ctx) override;
  void Change(ui::PageContext& ctx, forms::Component& sender) override;
};

// Controls sit straight on the sheets, one per row.
constexpr int kLeft = 12;
constexpr int kWidth = layout::kSheetWidth - 2 * kLeft;
constexpr Rect RowAt(int row) { return {kLeft, 12 + row * layout::kRowStep, kWidth, layout::kRowHeight}; }

void ReadFlagRow(ui::PageContext& ctx, const char* name) {
  const FlagRow* row = RowNamed(kFlags, name);
  Guarded([&] { SetCheckedIf(ctx.Find<CheckBox>(row->name), ReadFlag(ctx.Queue(), row->flag)); });
}

void EmailPage::Build(ui::PageContext& ctx) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forward = ctx.Forwarder();
  auto& pages = form.Create<forms::PageControl>(ctx.Page(), "PageControl9", layout::kPageControl);
  const auto box = [&](TabSheet& sheet, const char* name, int row) {
    form.Create<CheckBox>(sheet, name, RowAt(row), RowNamed(kFlags, name)->caption).OnClick = forward;
  };
  // Buttons without an action, at the sheet's bottom right.
  const auto buttons = [&](TabSheet& sheet, std::initializer_list<std::pair<const char*, const char*>> list) {
    const int count = static_cast<int>(list.size());
    int index = 0;
    for (const auto& [name, caption] : list) {
      form.Create<Button>(sheet, name, layout::SheetButtonBounds(index++, count), caption);
    }
  };

  // Outlook Express: the title edit forwards its key releases through the key-up table.
  auto& express = form.Create<TabSheet>(pages, "TabSheet41", Rect{}, "Outlook Express");
  box(express, kSplash, 0);
  box(express, kSmoothScroll, 1);
  const int title_top = RowAt(2).top + 2;
  form.Create<Label>(express, "Label_Email_WindowTitle", Rect{kLeft, title_top + 4, 40, layout::kLabelHeight}, "文本:");
  form.Create<Edit>(express, kWindowTitle, Rect{kLeft + 46, title_top, 250, layout::kEditHeight});
  buttons(express, {{"Button72", "最高性能"}, {"Button73", "最佳外观"}, {"Button78", "默认设置"}});

  // Office Outlook.
  auto& office = form.Create<TabSheet>(pages, "TabSheet42", Rect{}, "Office Outlook");
  box(office, kHelpBox, 0);
  box(office, kMinToTray, 1);
  buttons(office, {{"Button74", "默认设置"}});

  // Windows Messenger: the radios and the attachment box only enable Apply.
  auto& messenger = form.Create<TabSheet>(pages, "TabSheet43", Rect{}, "Windows Messenger");
  form.Create<RadioButton>(messenger, kMessengerAllowed, RowAt(0), "允许 Windows Messenger运行").OnClick = forward;
  form.Create<RadioButton>(messenger, kMessengerRefused, RowAt(1), "不允许 Windows Messenger运行").OnClick = forward;
  form.Create<CheckBox>(messenger, kAttachments, RowAt(3), "阻挡可执行附件").OnClick = forward;
  buttons(messenger, {{"Button76", "设置"}, {"Button75", "默认设置"}});
  form.Find<Button>("Button76").Hide();

  pages.SetActivePageIndex(0);
}

void EmailPage::Load(ui::PageContext& ctx) {
  // LoadEmailOutlookExpress.
  ReadFlagRow(ctx, kSplash);
  ReadFlagRow(ctx, kSmoothScroll);
  Guarded([&] {
    const TRegRecor r = Read(ctx.Queue(), HKCU, kOutlookExpressKey, "WindowTitle");
    if (r.Status != engine::kStatusFound) {
      ctx.Find<Edit>(kWindowTitle).SetText(kDefaultTitle);
    } else if (const auto text = ValueText(r.Value)) {
      ctx.Find<Edit>(kWindowTitle).SetText(*text);
    }
  });
  // LoadEmailOffice.
  ReadFlagRow(ctx, kHelpBox);
  ReadFlagRow(ctx, kMinToTray);
  // LoadEmailMessenger.
  Guarded([&] {
    if (const auto refused = ReadEquals(ctx.Queue(), HKCU, kMessengerKey, "Windows Messenger", 1)) {
      ctx.Find<RadioButton>(*refused ? kMessengerRefused : kMessengerAllowed).SetChecked(true);
    }
  });
}

void EmailPage::Change(ui::PageContext& ctx, forms::Component& sender) {
  const std::string& name = sender.Name();
  if (name == kWindowTitle) {
    ctx.Queue().AddRecord(
        StringRecord(name, HKCU, kOutlookExpressKey, "WindowTitle", ctx.Find<Edit>(kWindowTitle).Text()));
  } else if (const FlagRow* row = RowNamed(kFlags, name)) {
    ctx.Queue().AddRecord(FlagRecord(name, row->flag, ctx.Find<CheckBox>(name).Checked()));
  }
}

}  // namespace

std::unique_ptr<ui::PageModule> CreateEmailPage() { return std::make_unique<EmailPage>(); }

}  // namespace corvanel::pages
