#include "ui/numeric_field.h"

#include <array>
#include <charconv>
#include <string>

#include "ui/main_window.h"

namespace corvanel::ui {

using forms::Component;
using forms::Edit;
using forms::UpDown;

namespace {

constexpr ForwardWhen A = ForwardWhen::Always;
constexpr ForwardWhen B = ForwardWhen::WhileFocused;
constexpr SenderIs kUpDown = SenderIs::UpDown;
constexpr CursorRule kPlain = CursorRule::None;

constexpr const char* kWheelClick = "UpDown_Use_MouseFunction_Wheel_CountClick";
constexpr const char* kFlashClick = "UpDown_Taskbar_ButtonFlashes_Speed_FlashClick";

// clang-format off
constexpr std::array<NumericFieldRow, 19> kNumericFields = {{
  {"Edit_Use_MouseFunction_Wheel_Count", "UpDown_Use_MouseFunction_Wheel_Count", 1, 100, 64, 3, 1, 100, A, kUpDown, 4, kWheelClick, kPlain},
  {"Edit_Use_MouseSensitivity_DoubleClickError", "Updown_Use_MouseSensitivity_DoubleClickError", 1, 100, 4, 0, 1, 100, A, kUpDown, 4, kWheelClick, kPlain},
  {"Edit_Use_MouseSensitivity_Drag", "UpDown_Use_MouseSensitivity_Drag", 1, 100, 64, 0, 1, 100, A, kUpDown, 4, kWheelClick, kPlain},
  {"Edit_Use_MouseSensitivity_Hover_MoveError", "UpDown_Use_MouseSensitivity_Hover_MoveError", 0, 100, 2, 0, 0, 100, A, kUpDown, 4, kWheelClick, kPlain},
  {"Edit_Use_MouseSensitivity_Hover_Time", "UpDown_Use_MouseSensitivity_Hover_Time", 0, 1000, 10, 0, 0, 1000, A, kUpDown, 4, kWheelClick, kPlain},
  {"Edit_Use_Keyboard_CursorWidth_Width", "UpDown_Use_Keyboard_CursorWidth_Width", 1, 10, 10, 0, 1, 10, A, kUpDown, 4, kWheelClick, CursorRule::ZeroBecomesOneOwnExit},
  {"Edit_Use_StartMenu_RecentlyUse_Document_FileCount", "UpDown_Use_StartMenu_RecentlyUse_Document_FileCount", 0, 99, 64, 2, 1, 99, B, kUpDown, 5, "UpDown_Use_StartMenu_RecentlyUse_Document_FileCountClick", kPlain},
  {"Edit_Taskbar_ButtonFlashes_Speed_Flash", "UpDown_Taskbar_ButtonFlashes_Speed_Flash", 1, 999, 3, 3, 1, 999, A, kUpDown, 6, kFlashClick, kPlain},
  {"Edit_Taskbar_ButtonFlashes_Common_Time", "UpDown_Taskbar_ButtonFlashes_Common_Time", 1, 32000, 200, 5, 1, 32000, A, kUpDown, 6, kFlashClick, kPlain},
  {"Edit_Taskbar_ButtonAppearance_Group_AtLeastCount", "UpDown_Taskbar_ButtonAppearance_Group_AtLeastCount", 2, 99, 2, 2, 2, 99, B, kUpDown, 6, kFlashClick, kPlain},
  {"Edit_Net_Advanced_Qos_Count", "Updown_Net_Advanced_Qos_Count", 0, 100, 20, 0, 0, 100, B, kUpDown, 7, "Updown_Net_Advanced_Qos_CountClick", kPlain},
  {"Edit_IE_Common_History_KeepDays", "Updown_IE_Common_History_KeepDays", 1, 100, 20, 0, 1, 100, A, kUpDown, 8, nullptr, kPlain},
  {"Edit_Firefox_Tab_MinWidth_Min", "Updown_Firefox_Tab_MinWidth_Min", 36, 500, 125, 0, 36, 500, A, kUpDown, 9, "Updown_Firefox_Tab_MinWidth_MinClick", kPlain},
  {"Edit_Startup_System_DelayTime_Time", "Updown_Startup_System_DelayTime_Time", 0, 600, 10, 0, 0, 600, A, kUpDown, 16, "Updown_Startup_System_DelayTime_TimeClick", kPlain},
  {"Edit_Startup_Exit_WaitTime_Time", "UpDown_Startup_Exit_WaitTime_Time", 1, 32000, 32000, 0, 1, 32000, A, kUpDown, 16, "UpDown_Startup_Exit_WaitTime_TimeClick", kPlain},
  {"Edit_Security_Advanced_Screensaver_WaitTime", "Updown_Security_Advanced_Screensaver_WaitTime", 1, 9999, 5, 0, 1, 9999, A, kUpDown, 18, "Updown_Security_Advanced_Screensaver_WaitTimeClick", kPlain},
  {"MaskEdit_CommonSettings_Display_IECommonSettings_KeepRecordDays", "Updown_CommonSettings_Display_IECommonSettings_KeepRecordDays", 1, 100, 20, 0, 1, 100, A, kUpDown, 19, "UDhistoryClick", kPlain},
  {"MaskEdit_CommonSettings_Function_CursorWidth_Width", "UpDownCur_CommonSettings_Function_CursorWidth_Width", 1, 10, 10, 0, 1, 10, B, kUpDown, 19, kWheelClick, CursorRule::ZeroBecomesOne},
  {"Edit_Folder_Thumbnail_Size", "UpDown_Folder_Thumbnail_Size", 32, 256, 96, 3, 32, 256, A, SenderIs::Edit, 3, "UpDown_Folder_Thumbnail_SizeClick", kPlain},
}};

constexpr std::array<PlainUpDownRow, 3> kPlainUpDowns = {{
  {"MaskEdit6", "UpDowndelay", 0, 32000, 64, kWheelClick},
  {"MaskEdit16", "UpDown6", 4, 64, 64, nullptr},
  {"MaskEdit17", "UpDown7", 4, 64, 64, nullptr},
}};

constexpr std::array<UpDownClickRow, 10> kUpDownClicks = {{
  {kWheelClick, 19, nullptr},
  {"UDhistoryClick", 19, nullptr},
  {kFlashClick, 6, nullptr},
  {"UpDown_Use_StartMenu_RecentlyUse_Document_FileCountClick", 5, nullptr},
  {"Updown_Net_Advanced_Qos_CountClick", 7, nullptr},
  {"Updown_Firefox_Tab_MinWidth_MinClick", 9, nullptr},
  {"Updown_Startup_System_DelayTime_TimeClick", 16, nullptr},
  {"UpDown_Startup_Exit_WaitTime_TimeClick", 16, nullptr},
  {"Updown_Security_Advanced_Screensaver_WaitTimeClick", 18, nullptr},
  {"UpDown_Folder_Thumbnail_SizeClick", 3, "Edit_Folder_Thumbnail_Size"},
}};

constexpr std::array<KeyUpRow, 15> kKeyUps = {{
  {"Edit_Firefox_Common_Homepage_Address", "Edit_Firefox_Common_Homepage_AddressKeyUp", 9},
  {"Edit_CommonSettings_Display_FirefoxHomepage_HomePage", "Edit_Firefox_Common_Homepage_AddressKeyUp", 9},
  {"Edit_CommonSettings_Display_IECommonSettings_HomePage", "Edit_CommonSettings_Display_IECommonSettings_HomePageKeyUp", 19},
  {"Edit_IE_Common_Homepage_Address", "Edit_IE_Common_Homepage_AddressKeyUp", 8},
  {"Edit_IE_View_Title_Title", "Edit_IE_View_Title_TitleKeyUp", 8},
  {"Edit_UserLogin_Message_Notify_Title", "Edit_UserLogin_Message_Notify_TitleKeyUp", 13},
  {"Edit_UserLogin_Message_Notify_Text", "Edit_UserLogin_Message_Notify_TitleKeyUp", 13},
  {"Edit_UserLogin_AutoLogin_LoginInfo_Password", "Edit_UserLogin_AutoLogin_LoginInfo_PasswordKeyUp", 13},
  {"Edit_UserLogin_AutoLogin_LoginInfo_UserName", "Edit_UserLogin_AutoLogin_LoginInfo_PasswordKeyUp", 13},
  {"Edit_UserLogin_AutoLogin_LoginInfo_Domain", "Edit_UserLogin_AutoLogin_LoginInfo_PasswordKeyUp", 13},
  {"Edit_System_Common_Infomation_Company", "Edit_System_Common_Infomation_NameKeyUp", 17},
  {"Edit_System_Common_Infomation_Name", "Edit_System_Common_Infomation_NameKeyUp", 17},
  {"Edit_System_Common_Installer_Company", "Edit_System_Common_Infomation_NameKeyUp", 17},
  {"Edit_System_Common_Installer_Name", "Edit_System_Common_Infomation_NameKeyUp", 17},
  {"edWindowTitle", "edWindowTitleKeyUp", 11},
}};
// clang-format on

// Table rows live in static storage, so the events can keep a pointer to them.
void OnNumericChange(TCorvanel_FormMain& main, const NumericFieldRow& row, Edit& edit, Component& sender) {
  if (edit.Focused() && !edit.Text().empty()) {
    int n = 0;
    if (!ParseNumber(edit.Text(), &n)) {
      // Pasted text that is no number: show the field's number again.
      const UpDown* updown = edit.Buddy();
      edit.SetText(std::to_string(updown != nullptr ? updown->Position() : row.exit_bound));
      return;
    }
    // Setting the text runs this event again, which then forwards the number in range.
    if (n > row.change_bound) {
      edit.SetText(std::to_string(row.change_bound));
      return;
    }
    if (row.cursor != CursorRule::None && n <= 0) {
      edit.SetText("1");
      return;
    }
  }
  if (row.forwards == ForwardWhen::Always || edit.Focused()) main.Forward(row.page_tag, sender);
}

void OnNumericExit(TCorvanel_FormMain& main, const NumericFieldRow& row, Edit& edit, Component& sender) {
  int n = 0;
  const bool number = !edit.Text().empty() && ParseNumber(edit.Text(), &n);
  if (row.cursor == CursorRule::ZeroBecomesOneOwnExit) {
    if (number && n >= 0) return;
    edit.SetText("1");
    main.Forward(row.page_tag, sender);
    return;
  }
  if (number && n >= row.exit_bound) return;
  edit.SetText(std::to_string(row.exit_bound));
  main.Forward(row.page_tag, sender);
}

void SetUpPair(Edit& edit, UpDown& updown, int min, int max, int design) {
  updown.SetRange(min, max);
  if (updown.Associate() != &edit) updown.SetAssociate(&edit);
  updown.SetPosition(design);
}

}  // namespace

std::span<const NumericFieldRow> NumericFields() { return kNumericFields; }
std::span<const PlainUpDownRow> PlainUpDowns() { return kPlainUpDowns; }
std::span<const UpDownClickRow> UpDownClickEvents() { return kUpDownClicks; }
std::span<const KeyUpRow> KeyUpFields() { return kKeyUps; }

void NumericKeyFilter(char32_t& key) {
  if ((key >= U'0' && key <= U'9') || key == 8) return;
  key = 0;
}

bool ParseNumber(const std::string& text, int* value) {
  if (text.empty()) return false;
  const char* first = text.data();
  const char* last = first + text.size();
  if (*first == '+') return false;
  const auto [end, error] = std::from_chars(first, last, *value);
  return error == std::errc() && end == last;
}

std::size_t BindNumericFields(TCorvanel_FormMain& main) {
  std::size_t bound = 0;
  for (const NumericFieldRow& row : kNumericFields) {
    auto* edit = main.TryFind<Edit>(row.edit);
    auto* updown = main.TryFind<UpDown>(row.updown);
    if (edit == nullptr || updown == nullptr) continue;
    SetUpPair(*edit, *updown, row.min, row.max, row.design);
    if (row.max_length > 0) edit->SetMaxLength(row.max_length);
    Component* sender = row.sender == SenderIs::UpDown ? static_cast<Component*>(updown) : edit;
    const NumericFieldRow* r = &row;
    TCorvanel_FormMain* m = &main;
    edit->OnChange = [m, r, edit, sender](Component&) { OnNumericChange(*m, *r, *edit, *sender); };
    edit->OnExit = [m, r, edit, sender](Component&) { OnNumericExit(*m, *r, *edit, *sender); };
    edit->OnKeyPress = [](Component&, char32_t& key) { NumericKeyFilter(key); };
    updown->OnClick = row.updown_click == nullptr ? forms::NotifyEvent() : main.Event(row.updown_click);
    ++bound;
  }
  for (const PlainUpDownRow& row : kPlainUpDowns) {
    auto* edit = main.TryFind<Edit>(row.edit);
    auto* updown = main.TryFind<UpDown>(row.updown);
    if (edit == nullptr || updown == nullptr) continue;
    SetUpPair(*edit, *updown, row.min, row.max, row.design);
    if (row.updown_click != nullptr) updown->OnClick = main.Event(row.updown_click);
  }
  for (const KeyUpRow& row : kKeyUps) {
    auto* edit = main.TryFind<Edit>(row.edit);
    if (edit == nullptr) continue;
    TCorvanel_FormMain* m = &main;
    const int tag = row.page_tag;
    edit->OnKeyUp = [m, tag, edit](Component&, int) { m->ForwardKeyUp(tag, *edit); };
  }
  return bound;
}

}  // namespace corvanel::ui
