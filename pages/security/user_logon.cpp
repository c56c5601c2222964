#include "pages/security/user_logon.h"

#include <optional>
#include <string>
#include <string_view>

#include "forms/layout.h"
#include "pages/page_layout.h"
#include "pages/page_rows.h"

namespace corvanel::pages {
namespace {

using forms::Button;
using forms::CheckBox;
using forms::Edit;
using forms::GroupBox;
using forms::Image;
using forms::Label;
using forms::Memo;
using forms::RadioButton;
using forms::Rect;
using forms::TabSheet;
using platform::HKCU;
using platform::HKLM;

constexpr int kTag = 13;

constexpr const char* kWinlogonKey = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\";
constexpr const char* kPoliciesKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\system\\";
constexpr const char* kDesktopKey = "\\Control Panel\\Desktop\\";

constexpr const char* kPageControl = "Pagautologin";
constexpr const char* kGroupLogonScreen = "Groupbox_UserLogin_Common_LoginInterface";
constexpr const char* kGroupGeneral = "Groupbox_UserLogin_Common_Set";

constexpr const char* kRadioXp = "Radio_UserLogin_Common_LoginInterface_XP";
constexpr const char* kRadioClassic = "Radio_UserLogin_Common_LoginInterface_2k";
constexpr const char* kPictureXp = "Image_UserLogin_Common_LoginInterface_xp";
constexpr const char* kPictureInfo = "Image_UserLogin_Common_LoginInterface_Info";
constexpr const char* kLogonTypeRecord = "RadLogonType";
// The renderer draws these two pictures itself.
constexpr const char* kWelcomePicture = "LogonWelcome";
constexpr const char* kClassicPicture = "LogonClassic";

constexpr const char* kHideUserName = "Checkbox_UserLogin_Common_Set_UserName";
constexpr const char* kPressCad = "Checkbox_UserLogin_Common_Set_PressCAD";
constexpr const char* kEndTask = "Checkbox_UserLogin_Common_Set_EndTask";
constexpr const char* kShowShutdown = "Checkbox_UserLogin_Common_Set_ShowShutdown";

constexpr const char* kAutoLogon = "Checkbox_UserLogin_AutoLogin_ActiveAutoLogin";
constexpr const char* kUserName = "Edit_UserLogin_AutoLogin_LoginInfo_UserName";
constexpr const char* kPassword = "Edit_UserLogin_AutoLogin_LoginInfo_Password";
constexpr const char* kDomain = "Edit_UserLogin_AutoLogin_LoginInfo_Domain";
constexpr const char* kAfterLogoff = "Checkbox_UserLogin_AutoLogin_Option_AutoLoginAfterLogoff";
constexpr const char* kSkipLogon = "Checkbox_UserLogin_AutoLogin_Option_SkipLogin";

constexpr const char* kShowNotice = "Checkbox_UserLogin_Message_Notify_ActiveShowMessage";
constexpr const char* kNoticeTitle = "Edit_UserLogin_Message_Notify_Title";
constexpr const char* kNoticeText = "Edit_UserLogin_Message_Notify_Text";
constexpr const char* kVerboseStatus = "Checkbox_UserLogin_Message_Logoff_ActiveShow";

// What a cleared "Enable automatic logon." leaves as the user-name deletion's value.
constexpr const char* kDeletedUserName = "xxxxxx";
constexpr char32_t kPasswordChar = U'*';

// --- the integer flags ------------------------------------------------------------

// A box that writes 1/0 (or 0/1) to one value, and to a second one with the same
// number where Windows looks in two places.
struct FlagRow {
  const char* name;
  RegFlag flag;
  const char* also_key;  // null: one record
};
const FlagRow kFlags[] = {
    {kHideUserName, {HKLM, kPoliciesKey, "dontdisplaylastusername", FlagRead::kEqualsOne}, kWinlogonKey},
    // DisableCAD 1 spares the key combination, so the box is its opposite.
    {kPressCad, {HKLM, kWinlogonKey, "DisableCAD", FlagRead::kNumberIsOne, true}, nullptr},
    {kShowShutdown, {HKLM, kPoliciesKey, "ShutdownWithoutLogon", FlagRead::kEqualsOne}, kWinlogonKey},
    {kVerboseStatus, {HKLM, kPoliciesKey, "verbosestatus", FlagRead::kEqualsOne}, nullptr},
};
// The Winlogon copies carry the second spelling Windows uses there.
const char* AlsoValueName(const FlagRow& row) {
  return row.name == std::string_view(kHideUserName) ? "DontDisplayLastUserName" : row.flag.value_name;
}

// --- the "1"/"0" texts ---------------------------------------------------------------

// Windows keeps these as texts and compares them as such; a stored number counts too.
// AutoEndTasks is also written by the Start and Maintenance page, as text.
struct TextFlagRow {
  const char* name;
  RegKey root;
  const char* key;
  const char* value;
  BoxState missing;
};
const TextFlagRow kTextFlags[] = {
    {kEndTask, HKCU, kDesktopKey, "AutoEndTasks", kChecked},
    {kAfterLogoff, HKLM, kWinlogonKey, "ForceAutoLogon", kKeep},
    {kSkipLogon, HKLM, kWinlogonKey, "IgnoreShiftOverride", kKeep},
};

// The texts typed into edits, each queued on every key release.
struct TextRow {
  const char* name;
  const char* value;
};
const TextRow kTexts[] = {
    {kUserName, "DefaultUserName"},
    {kPassword, "DefaultPassword"},
    {kDomain, "DefaultDomainName"},
    {kNoticeTitle, "LegalNoticeCaption"},
    {kNoticeText, "LegalNoticeText"},
};

// A stored value as an edit shows it: a text as it is, a number in decimal.
std::optional<std::string> ShownText(const TRegRecor& r) {
  if (r.Status != engine::kStatusFound) return std::nullopt;
  if (r.Value.IsText()) return r.Value.AsText();
  if (r.Value.IsInt()) return std::to_string(r.Value.AsInt());
  return std::nullopt;
}

// "Equals the one-character text": the number and the text alike.
std::optional<bool> FoundEquals(const TRegRecor& r, std::int32_t n) {
  if (r.Status != engine::kStatusFound) return std::nullopt;
  const std::optional<std::int32_t> number = AsNumber(r.Value);
  return number.has_value() && *number == n;
}

TRegRecor DeleteText(std::string name, std::string value_name, std::string carried) {
  TRegRecor r = StringRecord(std::move(name), HKLM, kWinlogonKey, std::move(value_name), std::move(carried));
  r.Action = engine::kActionDeleteValue;
  return r;
}

// --- the page ----------------------------------------------------------------------

class UserLogonPage : public ui::PageModule {
 public:
  int Tag() const override { return kTag; }
  void Build(ui::PageContext& ctx) override;
  void Adapt(ui::PageContext& ctx, int version_class) override;
  void Load(ui::PageContext& ctx) override;
  void Change(ui::PageContext& ctx, forms::Component& sender) override;

 private:
  static void BuildGeneral(ui::PageContext& ctx, TabSheet& sheet);
  static void BuildAutomatic(ui::PageContext& ctx, TabSheet& sheet);
  static void BuildMessages(ui::PageContext& ctx, TabSheet& sheet);
  static void LoadUserLogonGeneral(ui::PageContext& ctx);
  static void LoadUserLogonAutomatic(ui::PageContext& ctx);
  static void LoadUserLogonMessages(ui::PageContext& ctx);
  static void ChangeAutoLogon(ui::PageContext& ctx, bool checked);
  static void ChangeNotice(ui::PageContext& ctx, bool checked);
};

// The picture of the chosen logon screen: the welcome screen's with the XP style, the
// classic dialog's otherwise.
void ShowLogonPicture(ui::PageContext& ctx, bool xp) {
  ctx.Find<Image>(kPictureXp).SetVisible(xp);
  ctx.Find<Image>(kPictureInfo).SetVisible(!xp);
}

void EnableUserDetails(ui::PageContext& ctx, bool enabled) {
  for (const char* edit : {kUserName, kPassword, kDomain}) ctx.Find<Edit>(edit).SetEnabled(enabled);
}

void EnableNotice(ui::PageContext& ctx, bool enabled) {
  ctx.Find<Edit>(kNoticeTitle).SetEnabled(enabled);
  ctx.Find<Memo>(kNoticeText).SetEnabled(enabled);
}

Label& MakeText(forms::Form& form, forms::Control& parent, const char* name, Rect bounds, const char* caption) {
  return form.Create<Label>(parent, name, bounds, caption);
}

void MakeDefaultButton(forms::Form& form, TabSheet& sheet, const char* name) {
  // Kept on the form, but the page has no defaults to offer.
  form.Create<Button>(sheet, name, layout::SheetButtonBounds(0, 1), "Default Settings").Hide();
}

void UserLogonPage::BuildGeneral(ui::PageContext& ctx, TabSheet& sheet) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forwarder = ctx.Forwarder();
  constexpr int kScreenHeight = 128;
  constexpr int kTextLeft = 30;
  constexpr int kTextWidth = 290;
  constexpr int kTwoLines = 2 * layout::kLabelHeight;
  auto& screen = form.Create<GroupBox>(sheet, kGroupLogonScreen, layout::GroupBounds(layout::kFirstGroupTop,
                                                                                       kScreenHeight),
                                       "Logon Screen Settings");
  constexpr int kRowWidth = kTextLeft + kTextWidth - layout::kRowLeft;
  form.Create<RadioButton>(screen, kRadioXp, Rect{layout::kRowLeft, 20, kRowWidth, layout::kRowHeight},
                           "Use Windows XP default logon Screen")
      .OnClick = forwarder;
  MakeText(form, screen, "Label_UserLogin_Common_LoginInterface_XP", Rect{kTextLeft, 40, kTextWidth, kTwoLines},
           "You can click your user name to log on by using Windows XP logon Screen.");
  form.Create<RadioButton>(screen, kRadioClassic, Rect{layout::kRowLeft, 72, kRowWidth, layout::kRowHeight},
                           "Use Classic logon Screen")
      .OnClick = forwarder;
  MakeText(form, screen, "Label_UserLogin_Common_LoginInterface_2k", Rect{kTextLeft, 92, kTextWidth, kTwoLines},
           "You must enter your user name and password manually in the secure Windows NT/2000 logon dialog.");
  // Both pictures share one place; exactly one of them is shown.
  constexpr Rect kPicture = {326, 30, 90, 72};
  auto& xp = form.Create<Image>(screen, kPictureXp, kPicture);
  xp.SetPicture(kWelcomePicture);
  xp.Hide();
  form.Create<Image>(screen, kPictureInfo, kPicture).SetPicture(kClassicPicture);

  auto& general = form.Create<GroupBox>(sheet, kGroupGeneral,
                                        layout::GroupBounds(layout::GroupBelow(layout::kFirstGroupTop, kScreenHeight),
                                                            layout::RowTop(4) + 4),
                                        "General Settings");
  const std::pair<const char*, const char*> boxes[] = {
      {kHideUserName, "Hide the name of the last user."},
      {kPressCad, "Press Ctrl+Alt+Del together to log on."},
      {kEndTask, "Automatically close running programs when turning off computer."},
      {kShowShutdown, "Show \"shutdown\" button in the logon screen."},
  };
  int line = 0;
  for (const auto& [name, caption] : boxes) {
    form.Create<CheckBox>(general, name, layout::RowBounds(line++), caption).OnClick = forwarder;
  }
  MakeDefaultButton(form, sheet, "Button_UserLogin_Common_Set_Default");
}

void UserLogonPage::BuildAutomatic(ui::PageContext& ctx, TabSheet& sheet) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forwarder = ctx.Forwarder();
  MakeText(form, sheet, "Label_UserLogin_AutoLogin_Info",
           Rect{layout::kGroupLeft, layout::kFirstGroupTop, layout::kGroupWidth, layout::kLabelHeight},
           "Automate the logon procedure by having a special user logged on automatically.");
  form.Create<CheckBox>(sheet, kAutoLogon, Rect{layout::kGroupLeft, 28, layout::kGroupWidth, layout::kRowHeight},
                        "Enable automatic logon.")
      .OnClick = forwarder;

  constexpr int kDetailsTop = 52;
  constexpr int kDetailsHeight = 138;
  auto& details = form.Create<GroupBox>(sheet, "Groupbox_UserLogin_AutoLogin_LoginInfo",
                                        layout::GroupBounds(kDetailsTop, kDetailsHeight), "User Details");
  MakeText(form, details, "Label_UserLogin_AutoLogin_LoginInfo_Attention",
           Rect{layout::kRowLeft, layout::RowTop(0), layout::kRowWidth, layout::kLabelHeight},
           "Attention: The password is stored in non-encrypted form in the registry.");
  const std::pair<const char*, const char*> fields[] = {
      {kUserName, "User:"}, {kPassword, "Password:"}, {kDomain, "Domain:"}};
  int top = 44;
  for (const auto& [name, caption] : fields) {
    const std::string label = "Label" + std::string(name).substr(4);
    MakeText(form, details, label.c_str(), Rect{layout::kRowLeft, top + 4, 70, layout::kLabelHeight}, caption);
    form.Create<Edit>(details, name, Rect{90, top, 220, layout::kEditHeight});
    top += 29;
  }
  // Shown masked; what is stored stays the text as typed.
  ctx.Find<Edit>(kPassword).SetPasswordChar(kPasswordChar);

  auto& option = form.Create<GroupBox>(sheet, "Groupbox_UserLogin_AutoLogin_Option",
                                       layout::GroupBounds(layout::GroupBelow(kDetailsTop, kDetailsHeight),
                                                           layout::RowTop(2) + 4),
                                       "Selection");
  form.Create<CheckBox>(option, kAfterLogoff, layout::RowBounds(0), "Automatically logon after logoff.").OnClick =
      forwarder;
  form.Create<CheckBox>(option, kSkipLogon, layout::RowBounds(1),
                        "Prevent skipping the logon procedure by pressing the Shift key.")
      .OnClick = forwarder;
  MakeDefaultButton(form, sheet, "Button_UserLogin_AutoLogin_Option_Default");
}

void UserLogonPage::BuildMessages(ui::PageContext& ctx, TabSheet& sheet) {
  forms::Form& form = ctx.Form();
  const forms::NotifyEvent forwarder = ctx.Forwarder();
  constexpr int kNotifyHeight = 170;
  auto& notify = form.Create<GroupBox>(sheet, "GroupBox_UserLogin_Message_Notify",
                                       layout::GroupBounds(layout::kFirstGroupTop, kNotifyHeight),
                                       "Notification Before Logon");
  MakeText(form, notify, "Label_UserLogin_Message_Notify_Info",
           Rect{layout::kRowLeft, layout::RowTop(0), layout::kRowWidth, layout::kLabelHeight},
           "Specify a message to display to all users before logging on.");
  form.Create<CheckBox>(notify, kShowNotice, layout::RowBounds(1), "Show message before logon.").OnClick = forwarder;
  MakeText(form, notify, "Label_UserLogin_Message_Notify_Title", Rect{layout::kRowLeft, 73, 60, layout::kLabelHeight},
           "Header:");
  form.Create<Edit>(notify, kNoticeTitle, Rect{76, 69, 339, layout::kEditHeight});
  MakeText(form, notify, "Label_UserLogin_Message_Notify_Text", Rect{layout::kRowLeft, 100, 60, layout::kLabelHeight},
           "Content:");
  form.Create<Memo>(notify, kNoticeText, Rect{76, 97, 339, 64});

  auto& logoff = form.Create<GroupBox>(sheet, "GroupBox_UserLogin_Message_Logoff",
                                       layout::GroupBounds(layout::GroupBelow(layout::kFirstGroupTop, kNotifyHeight),
                                                           78),
                                       "Logon and Logoff Troubleshooting");
  MakeText(form, logoff, "Label_UserLogin_Message_Logoff_Info",
           Rect{layout::kRowLeft, layout::RowTop(0), layout::kRowWidth, 2 * layout::kLabelHeight},
           "If you would like to show the detailed status messages during logon and logoff, please tick this "
           "option.");
  form.Create<CheckBox>(logoff, kVerboseStatus, Rect{layout::kRowLeft, 52, layout::kRowWidth, layout::kRowHeight},
                        "Show detailed status messages.")
      .OnClick = forwarder;
  MakeDefaultButton(form, sheet, "Button_UserLogin_Message_Logoff_Default");
}

void UserLogonPage::Build(ui::PageContext& ctx) {
  forms::Form& form = ctx.Form();
  auto& pages = form.Create<forms::PageControl>(ctx.Page(), kPageControl, layout::kPageControl);
  BuildGeneral(ctx, form.Create<TabSheet>(pages, "TabSheet_UserLogin_Common", Rect{}, "General"));
  BuildAutomatic(ctx, form.Create<TabSheet>(pages, "TabSheet_UserLogin_AutoLogin", Rect{}, "Automatic Logon"));
  BuildMessages(ctx, form.Create<TabSheet>(pages, "TabSheet_UserLogin_Message", Rect{}, "Messages"));
  pages.SetActivePageIndex(0);
}

void UserLogonPage::Adapt(ui::PageContext& ctx, int version_class) {
  auto& screen = ctx.Find<GroupBox>(kGroupLogonScreen);
  auto& general = ctx.Find<GroupBox>(kGroupGeneral);
  auto& end_task = ctx.Find<CheckBox>(kEndTask);
  if (version_class > 5) {
    // Vista and later have one logon screen only and close programs on their own terms.
    forms::MoveToTopOf(general, screen);
    screen.Hide();
    end_task.Hide();
  }
  if (version_class < 5) {
    auto& pages = ctx.Find<forms::PageControl>(kPageControl);
    pages.Page(1)->SetTabVisible(false);
    pages.Page(2)->SetTabVisible(false);
    end_task.SetEnabled(false);
    screen.Hide();
    forms::MoveToTopOf(general, screen);
  }
}

void UserLogonPage::LoadUserLogonGeneral(ui::PageContext& ctx) {
  engine::TCorvanel& queue = ctx.Queue();
  if (ctx.VersionClass() <= 5) {
    Guarded([&] {
      // A value that is no number names no screen: the radios stay as the form has them.
      const std::optional<std::int32_t> type = ReadNumber(queue, HKLM, kWinlogonKey, "LogonType");
      if (!type) return;
      const bool xp = *type == 1;
      ctx.Find<RadioButton>(xp ? kRadioXp : kRadioClassic).SetChecked(true);
      ShowLogonPicture(ctx, xp);
    });
  }
  for (const char* name : {kHideUserName, kPressCad, kShowShutdown}) {
    Guarded([&] { SetCheckedIf(ctx.Find<CheckBox>(name), ReadFlag(queue, RowNamed(kFlags, name)->flag)); });
  }
  Guarded([&] {
    const TextFlagRow& row = *RowNamed(kTextFlags, kEndTask);
    const std::optional<bool> on = FoundEquals(Read(queue, row.root, row.key, row.value), 1);
    SetCheckedIf(ctx.Find<CheckBox>(kEndTask), on.has_value() ? on : row.missing);
  });
}

void UserLogonPage::LoadUserLogonAutomatic(ui::PageContext& ctx) {
  engine::TCorvanel& queue = ctx.Queue();
  const std::optional<bool> on = FoundEquals(Read(queue, HKLM, kWinlogonKey, "AutoAdminLogon"), 1);
  if (on.value_or(false)) {
    ctx.Find<CheckBox>(kAutoLogon).SetChecked(true);
  } else {
    ctx.Find<CheckBox>(kAutoLogon).SetChecked(false);
    EnableUserDetails(ctx, false);
  }
  for (const char* name : {kUserName, kPassword, kDomain}) {
    if (const auto text = ShownText(Read(queue, HKLM, kWinlogonKey, RowNamed(kTexts, name)->value))) {
      ctx.Find<Edit>(name).SetText(*text);
    }
  }
  // "0" switches these off; any other stored value leaves them on.
  for (const char* name : {kSkipLogon, kAfterLogoff}) {
    const TextFlagRow& row = *RowNamed(kTextFlags, name);
    const std::optional<bool> off = FoundEquals(Read(queue, row.root, row.key, row.value), 0);
    if (off) ctx.Find<CheckBox>(name).SetChecked(!*off);
  }
}

void UserLogonPage::LoadUserLogonMessages(ui::PageContext& ctx) {
  engine::TCorvanel& queue = ctx.Queue();
  Guarded([&] {
    const TRegRecor caption = Read(queue, HKLM, kWinlogonKey, "LegalNoticeCaption");
    const std::optional<std::string> text = ShownText(caption);
    if (caption.Status == engine::kStatusFound) {
      // Present, even empty: the notice is on.
      ctx.Find<CheckBox>(kShowNotice).SetChecked(true);
      if (text) ctx.Find<Edit>(kNoticeTitle).SetText(*text);
    } else {
      ctx.Find<CheckBox>(kShowNotice).SetChecked(false);
      EnableNotice(ctx, false);
    }
  });
  Guarded([&] {
    if (const auto text = ShownText(Read(queue, HKLM, kWinlogonKey, "LegalNoticeText"))) {
      ctx.Find<Memo>(kNoticeText).SetText(*text);
    }
  });
  Guarded([&] {
    SetCheckedIf(ctx.Find<CheckBox>(kVerboseStatus), ReadFlag(queue, RowNamed(kFlags, kVerboseStatus)->flag));
  });
}

void UserLogonPage::Load(ui::PageContext& ctx) {
  LoadUserLogonGeneral(ctx);
  LoadUserLogonAutomatic(ctx);
  LoadUserLogonMessages(ctx);
}

void UserLogonPage::ChangeAutoLogon(ui::PageContext& ctx, bool checked) {
  EnableUserDetails(ctx, checked);
  const std::string name = kAutoLogon;
  engine::TCorvanel& queue = ctx.Queue();
  queue.AddRecord(StringRecord(name, HKLM, kWinlogonKey, "AutoAdminLogon", checked ? "1" : "0"));
  const std::string& user = ctx.Find<Edit>(kUserName).Text();
  const std::string& password = ctx.Find<Edit>(kPassword).Text();
  const std::string& domain = ctx.Find<Edit>(kDomain).Text();
  if (checked) {
    queue.AddRecord(StringRecord(name + "1", HKLM, kWinlogonKey, "DefaultUserName", user));
    queue.AddRecord(StringRecord(name + "2", HKLM, kWinlogonKey, "DefaultPassword", password));
    queue.AddRecord(StringRecord(name + "3", HKLM, kWinlogonKey, "DefaultDomainName", domain));
  } else {
    // Without automatic logon nothing of the stored account may stay behind, least of all
    // the password, which is kept in clear text.
    queue.AddRecord(DeleteText(name + "1", "DefaultUserName", kDeletedUserName));
    queue.AddRecord(DeleteText(name + "2", "DefaultPassword", ""));
    queue.AddRecord(DeleteText(name + "3", "DefaultDomainName", domain));
  }
}

void UserLogonPage::ChangeNotice(ui::PageContext& ctx, bool checked) {
  EnableNotice(ctx, checked);
  const std::string name = kShowNotice;
  engine::TCorvanel& queue = ctx.Queue();
  if (checked) {
    queue.AddRecord(StringRecord(name, HKLM, kWinlogonKey, "LegalNoticeCaption", ctx.Find<Edit>(kNoticeTitle).Text()));
    queue.AddRecord(StringRecord(name + "1", HKLM, kWinlogonKey, "LegalNoticeText", ctx.Find<Memo>(kNoticeText).Text()));
  } else {
    queue.AddRecord(DeleteText(name, "LegalNoticeCaption", ""));
    queue.AddRecord(DeleteText(name + "1", "LegalNoticeText", ""));
  }
}

void UserLogonPage::Change(ui::PageContext& ctx, forms::Component& sender) {
  const std::string& name = sender.Name();
  engine::TCorvanel& queue = ctx.Queue();
  if (name == kRadioXp || name == kRadioClassic) {
    const bool xp = ctx.Find<RadioButton>(kRadioXp).Checked();
    queue.AddRecord(IntegerRecord(kLogonTypeRecord, HKLM, kWinlogonKey, "LogonType", xp ? 1 : 0));
    ShowLogonPicture(ctx, xp);
    return;
  }
  if (const TextRow* row = RowNamed(kTexts, name)) {
    const auto* edit = dynamic_cast<const Edit*>(&sender);
    if (edit != nullptr) queue.AddRecord(StringRecord(row->name, HKLM, kWinlogonKey, row->value, edit->Text()));
    return;
  }
  const auto* box = dynamic_cast<const CheckBox*>(&sender);
  if (box == nullptr) return;
  const bool checked = box->Checked();
  if (name == kAutoLogon) {
    ChangeAutoLogon(ctx, checked);
  } else if (name == kShowNotice) {
    ChangeNotice(ctx, checked);
  } else if (const FlagRow* flag = RowNamed(kFlags, name)) {
    queue.AddRecord(FlagRecord(flag->name, flag->flag, checked));
    if (flag->also_key != nullptr) {
      queue.AddRecord(
          FlagRecord(std::string(flag->name) + "1", HKLM, flag->also_key, AlsoValueName(*flag), checked, false));
    }
  } else if (const TextFlagRow* text = RowNamed(kTextFlags, name)) {
    queue.AddRecord(StringRecord(text->name, text->root, text->key, text->value, checked ? "1" : "0"));
  }
}

}  // namespace

std::unique_ptr<ui::PageModule> CreateUserLogonPage() { return std::make_unique<UserLogonPage>(); }

}  // namespace corvanel::pages
