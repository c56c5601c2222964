// The real corvanel.exe under Wine, driven from this process through window messages
// only. Each test starts its own instance and ends it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/remote.h"

namespace corvanel::e2e {
namespace {

using ui::win32::kQueryItemHighlighted;
using ui::win32::kQueryNavItemPoint;
using ui::win32::kQuerySelectedTag;

constexpr int kStartTimeoutMs = 20000;
constexpr int kTimeoutMs = 10000;

class Started : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.Start(ProgramPath())) << "cannot start corvanel.exe, error " << GetLastError();
    ASSERT_NE(program_.WaitMainWindow(kStartTimeoutMs), nullptr) << "no main window appeared";
  }
  bool Highlighted(int tag) const { return program_.Query(kQueryItemHighlighted, std::to_string(tag)) == 1; }
  bool PageShown(int tag) const { return IsWindowVisible(program_.Control("Page_" + std::to_string(tag))) != FALSE; }
  Program program_;
};

class Ready : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(program_.WaitStartup(kStartTimeoutMs)) << "the start page did not finish loading";
  }

  POINT ItemPoint(int tag) const {
    const LRESULT r = program_.Query(kQueryNavItemPoint, std::to_string(tag));
    if (r == -1) return {-1, -1};
    return {static_cast<short>(LOWORD(r)), static_cast<short>(HIWORD(r))};
  }
  static void Click(HWND hwnd, POINT p) {
    const LPARAM at = MAKELPARAM(p.x, p.y);
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, at);
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
  }
};

TEST_F(Started, LoadingPanelShowsWithButtonsDisabledThenGoes) {
  HWND panel = program_.Control("Panel_Loading");
  HWND ok = program_.Control("Button_OK");
  HWND cancel = program_.Control("Button_Cancel");
  HWND apply = program_.Control("Button_Apply");
  ASSERT_TRUE(panel && ok && cancel && apply);

  // The panel stands for at least one 100 ms tick; catch it while it is up.
  bool seen = false;
  bool disabled_meanwhile = true;
  std::wstring caption;
  WaitFor(
      [&] {
        if (IsWindowVisible(panel)) {
          seen = true;
          disabled_meanwhile = disabled_meanwhile && !IsWindowEnabled(ok) && !IsWindowEnabled(cancel) &&
                               !IsWindowEnabled(apply);
          caption = TextOf(program_.Control("Label_Wait"));
        }
        return program_.StartupDone();
      },
      kStartTimeoutMs);
  ASSERT_TRUE(program_.StartupDone());
  EXPECT_TRUE(seen) << "the loading panel was never visible";
  EXPECT_TRUE(disabled_meanwhile) << "a button was enabled while the panel was up";
  EXPECT_EQ(caption.rfind(L"System settings loading", 0), 0u) << "label read: " << std::string(caption.begin(), caption.end());

  EXPECT_FALSE(IsWindowVisible(panel));
  EXPECT_TRUE(IsWindowEnabled(ok));
  EXPECT_TRUE(IsWindowEnabled(cancel));
  EXPECT_FALSE(IsWindowEnabled(apply));
  // The start-up click opened General Settings.
  EXPECT_EQ(program_.Query(kQuerySelectedTag), 19);
  EXPECT_TRUE(Highlighted(19));
  EXPECT_TRUE(PageShown(19));
}

TEST_F(Ready, ClickingNavigationItemsSwitchesPageAndHighlight) {
  HWND bar = program_.Control("RzGroupBar1");
  ASSERT_NE(bar, nullptr);
  struct Step {
    int tag;
    int previous;
  };
  // Across groups, back to an already visited page, and an item that needs scrolling.
  const std::vector<Step> steps = {{2, 19}, {8, 2}, {19, 8}, {16, 19}, {2, 16}};
  for (const Step& s : steps) {
    SCOPED_TRACE("tag " + std::to_string(s.tag));
    const POINT p = ItemPoint(s.tag);
    ASSERT_GE(p.x, 0) << "item not shown";
    Click(bar, p);
    EXPECT_EQ(program_.Query(kQuerySelectedTag), s.tag);
    EXPECT_TRUE(Highlighted(s.tag));
    EXPECT_FALSE(Highlighted(s.previous));
    EXPECT_TRUE(PageShown(s.tag));
    EXPECT_FALSE(PageShown(s.previous));
  }
}

TEST_F(Ready, GroupHeaderCollapsesAndExpandsItsItems) {
  HWND bar = program_.Control("RzGroupBar1");
  ASSERT_NE(bar, nullptr);
  const POINT file_types = ItemPoint(2);
  ASSERT_GE(file_types.x, 0);
  // The "Menu" caption strip lies just above its first item (96 DPI in the test prefix).
  const POINT header{file_types.x, file_types.y - 20};
  Click(bar, header);
  EXPECT_EQ(ItemPoint(2).x, -1) << "File Types still shown after collapsing its group";
  EXPECT_EQ(program_.Query(kQuerySelectedTag), 19) << "a caption click must not navigate";
  Click(bar, header);
  EXPECT_GE(ItemPoint(2).x, 0);
}

TEST_F(Ready, TabWalksTheReachableControlsAndEscCancels) {
  HWND ok = program_.Control("Button_OK");
  HWND cancel = program_.Control("Button_Cancel");
  HWND apply = program_.Control("Button_Apply");
  ASSERT_TRUE(ok && cancel && apply);
  // Posted keys are handled after the sent queries, so wait for the focus to move.
  auto press = [&](WPARAM key) {
    HWND before = FocusOf(program_.Main());
    HWND target = before != nullptr ? before : program_.Main();
    PostMessageW(target, WM_KEYDOWN, key, 0);
    PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000000));
    WaitFor([&] { return FocusOf(program_.Main()) != before; }, 2000);
    return FocusOf(program_.Main());
  };
  // Tab until the focus comes round again: one full cycle of the tab stops.
  std::vector<HWND> cycle;
  HWND first = press(VK_TAB);
  ASSERT_NE(first, nullptr) << "Tab did not focus anything";
  cycle.push_back(first);
  for (int i = 0; i < 200; ++i) {
    HWND next = press(VK_TAB);
    ASSERT_NE(next, nullptr);
    // Apply may be a stop, but only while it is enabled.
    if (next == apply) {
      EXPECT_TRUE(IsWindowEnabled(apply)) << "the disabled Apply button took the focus";
    }
    if (next == first) break;
    ASSERT_EQ(std::count(cycle.begin(), cycle.end(), next), 0) << "a stop came twice before the cycle closed";
    cycle.push_back(next);
  }
  EXPECT_EQ(std::count(cycle.begin(), cycle.end(), ok), 1);
  EXPECT_EQ(std::count(cycle.begin(), cycle.end(), cancel), 1);
  for (HWND h : cycle) {
    EXPECT_TRUE(IsWindowVisible(h)) << "focus went to a control that is not shown";
    EXPECT_TRUE(IsWindowEnabled(h));
  }

  press(VK_ESCAPE);
  DWORD code = 1234;
  ASSERT_TRUE(program_.WaitExit(kTimeoutMs, &code)) << "Esc did not close the window";
  EXPECT_EQ(code, 0u);
}

TEST_F(Ready, SecondStartBringsTheRunningWindowBackAndExitsZero) {
  ShowWindow(program_.Main(), SW_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return IsIconic(program_.Main()) != FALSE; }, kTimeoutMs));
  // Another window in front, so that coming to the front is the second start's doing.
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == other; }, kTimeoutMs));

  Program second;
  ASSERT_TRUE(second.Start(ProgramPath()));
  DWORD code = 1234;
  ASSERT_TRUE(second.WaitExit(kTimeoutMs, &code)) << "the second instance did not end";
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(second.FindWindowOf(nullptr), nullptr);

  EXPECT_TRUE(WaitFor([&] { return IsIconic(program_.Main()) == FALSE; }, kTimeoutMs)) << "still minimized";
  EXPECT_TRUE(IsWindowVisible(program_.Main()));
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == program_.Main(); }, kTimeoutMs))
      << "not brought to the front";
  DestroyWindow(other);
  EXPECT_TRUE(program_.Running());
  // Only the first instance's window exists.
  EXPECT_EQ(FindWindowW(ui::win32::kMainWindowClass, nullptr), program_.Main());
}

TEST_F(Ready, DialogFormsAreModalAndClosingOneIsCancel) {
  // Folder Types, tab Advanced: "Settings" of the desktop opens the folder dialog.
  ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, "3,4"), 1);
  HWND set = program_.Control("Button_Folder_Advanced_Desktop_Set");
  ASSERT_NE(set, nullptr);
  PostMessageW(set, BM_CLICK, 0, 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (dialog = program_.FindWindowOf(ui::win32::kFolderDialogClass)) != nullptr; }, kTimeoutMs));
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(dialog) != FALSE; }, kTimeoutMs));
  EXPECT_FALSE(IsWindowEnabled(program_.Main())) << "the main window must wait for the dialog";
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), program_.Main());

  PostMessageW(dialog, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return IsWindow(dialog) == FALSE; }, kTimeoutMs)) << "the dialog stayed";
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(program_.Main()) != FALSE; }, kTimeoutMs));
  EXPECT_FALSE(IsWindowEnabled(program_.Control("Button_Apply"))) << "a cancelled dialog changes nothing";
  EXPECT_TRUE(program_.Running());
}

TEST_F(Ready, ClosingTheMainWindowDuringADialogEndsCleanly) {
  ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, "3,4"), 1);
  HWND set = program_.Control("Button_Folder_Advanced_Desktop_Set");
  ASSERT_NE(set, nullptr);
  PostMessageW(set, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return program_.FindWindowOf(ui::win32::kFolderDialogClass) != nullptr; }, kTimeoutMs));
  PostMessageW(program_.Main(), WM_CLOSE, 0, 0);
  DWORD code = 1234;
  ASSERT_TRUE(program_.WaitExit(kTimeoutMs, &code));
  EXPECT_EQ(code, 0u) << "the dialog must be cancelled before the window goes";
}

// The registry's answer to "is Send To shown": its handler key's default value.
bool SendToHandlerRegistered() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Send To", 0, KEY_READ,
                    &key) != ERROR_SUCCESS)
    return false;
  wchar_t value[64] = {};
  DWORD size = sizeof(value) - sizeof(wchar_t);
  DWORD type = 0;
  const LONG rc = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS && type == REG_SZ && std::wstring(value) == L"{7BA4C740-9E81-11CF-99D3-00AA004AE837}";
}

TEST_F(Ready, ClickingABoxEnablesApplyAndApplyWritesTheRegistry) {
  ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, "2,0"), 1);
  HWND box = program_.Control("Checkbox_FileType_MenuOperation_FileAndFolder_SendTo");
  HWND apply = program_.Control("Button_Apply");
  ASSERT_TRUE(box && apply);
  EXPECT_FALSE(IsWindowEnabled(apply)) << "loading the page must not count as a change";
  const bool initially = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
  EXPECT_EQ(initially, SendToHandlerRegistered()) << "the box shows what the registry holds";

  // Twice: once away from the current state, once back, so the prefix ends as it began.
  for (bool want : {!initially, initially}) {
    SCOPED_TRACE(want ? "checking" : "clearing");
    PostMessageW(box, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) != FALSE; }, kTimeoutMs)) << "Apply stayed disabled";
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED, want);
    EXPECT_EQ(SendToHandlerRegistered(), !want) << "nothing is written before Apply";
    PostMessageW(apply, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) == FALSE; }, kTimeoutMs)) << "Apply did not finish";
    EXPECT_EQ(SendToHandlerRegistered(), want);
  }
}

// --- Registry and system parameters as the driver sees them (the same wineserver) ---

struct StoredValue {
  DWORD type = 0;
  std::vector<BYTE> data;
};

std::optional<StoredValue> ReadValue(HKEY root, const wchar_t* path, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  StoredValue v;
  DWORD size = 0;
  LONG rc = RegQueryValueExW(key, name, nullptr, &v.type, nullptr, &size);
  if (rc == ERROR_SUCCESS) {
    v.data.resize(size);
    rc = RegQueryValueExW(key, name, nullptr, &v.type, v.data.data(), &size);
    v.data.resize(size);
  }
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return std::nullopt;
  return v;
}

bool KeyExists(HKEY root, const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::wstring AsText(const StoredValue& v) {
  std::wstring text(reinterpret_cast<const wchar_t*>(v.data.data()), v.data.size() / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

void WriteValue(HKEY root, const wchar_t* path, const wchar_t* name, const StoredValue& v) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExW(key, name, 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
  RegCloseKey(key);
}

void DeleteValue(HKEY root, const wchar_t* path, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueW(key, name);
  RegCloseKey(key);
}

constexpr wchar_t kSendToKey[] = L"AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Send To";
constexpr wchar_t kSendToHandler[] = L"{7BA4C740-9E81-11CF-99D3-00AA004AE837}";
constexpr wchar_t kDrivePolicyKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

// Send To starts unregistered, so its box loads unchecked; the prefix gets back what it had.
class SendToFromAbsent : public Ready, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    saved_ = ReadValue(HKEY_CLASSES_ROOT, kSendToKey, nullptr);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kSendToKey);
    ASSERT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kSendToKey)) << "cannot prepare the start state";
    Ready::SetUp();
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kSendToKey);
    if (saved_) WriteValue(HKEY_CLASSES_ROOT, kSendToKey, nullptr, *saved_);
  }
  std::optional<StoredValue> saved_;
};

// One change to the page, then the button of the row ends the editing.
TEST_P(SendToFromAbsent, CheckingSendToThenEndingWithAButton) {
  const std::string button = GetParam();
  const bool writes = button != "Button_Cancel";
  const bool closes = button != "Button_Apply";
  ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, "2,0"), 1);
  HWND box = program_.Control("Checkbox_FileType_MenuOperation_FileAndFolder_SendTo");
  HWND apply = program_.Control("Button_Apply");
  HWND end = program_.Control(button);
  ASSERT_TRUE(box && apply && end);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED) << "a missing handler key shows unchecked";

  PostMessageW(box, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) != FALSE; }, kTimeoutMs)) << "Apply stayed disabled";
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kSendToKey)) << "written before Apply";

  PostMessageW(end, BM_CLICK, 0, 0);
  if (closes) {
    DWORD code = 1234;
    ASSERT_TRUE(program_.WaitExit(kTimeoutMs, &code)) << button << " did not close the window";
    EXPECT_EQ(code, 0u);
  } else {
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) == FALSE; }, kTimeoutMs)) << "Apply did not finish";
    EXPECT_TRUE(program_.Running());
  }
  if (!writes) {
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kSendToKey)) << "Cancel wrote the change";
    return;
  }
  const std::optional<StoredValue> handler = ReadValue(HKEY_CLASSES_ROOT, kSendToKey, nullptr);
  ASSERT_TRUE(handler.has_value()) << "no default value under the Send To key";
  EXPECT_EQ(handler->type, static_cast<DWORD>(REG_SZ));
  EXPECT_TRUE(AsText(*handler) == kSendToHandler) << "wrong handler CLSID";
}

INSTANTIATE_TEST_SUITE_P(Buttons, SendToFromAbsent, ::testing::Values("Button_Apply", "Button_OK", "Button_Cancel"),
                         [](const ::testing::TestParamInfo<const char*>& row) { return std::string(row.param); });

// The drives mode of the folder dialog, opened from Folder Types with no NoDrives policy.
struct DriveDialogCase {
  const char* name;
  enum { kOkButton, kEnter, kEsc, kCloseBox } how;
  bool writes;
};

class DriveDialog : public Ready, public ::testing::WithParamInterface<DriveDialogCase> {
 protected:
  void SetUp() override {
    saved_ = ReadValue(HKEY_CURRENT_USER, kDrivePolicyKey, L"NoDrives");
    DeleteValue(HKEY_CURRENT_USER, kDrivePolicyKey, L"NoDrives");
    ASSERT_FALSE(ReadValue(HKEY_CURRENT_USER, kDrivePolicyKey, L"NoDrives")) << "cannot prepare the start state";
    Ready::SetUp();
  }
  void TearDown() override {
    DeleteValue(HKEY_CURRENT_USER, kDrivePolicyKey, L"NoDrives");
    if (saved_) WriteValue(HKEY_CURRENT_USER, kDrivePolicyKey, L"NoDrives", *saved_);
  }
  std::optional<StoredValue> saved_;
};

TEST_P(DriveDialog, UncheckingDriveCThenClosing) {
  const DriveDialogCase& row = GetParam();
  ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, "3,4"), 1);
  HWND set = program_.Control("Button_Folder_Advanced_MyComputer_Set");
  ASSERT_NE(set, nullptr);
  PostMessageW(set, BM_CLICK, 0, 0);
  HWND dialog = program_.WaitWindowOf(ui::win32::kFolderDialogClass, kTimeoutMs);
  ASSERT_NE(dialog, nullptr) << "no folder dialog appeared";
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), program_.Main());
  EXPECT_FALSE(IsWindowEnabled(program_.Main()));
  EXPECT_TRUE(TextOf(dialog) == L"Drivers") << "caption of the drives mode";

  HWND list = program_.ControlIn(dialog, "ListView1");
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(IsWindowVisible(list)) << "the drives tab is not in front";
  EXPECT_TRUE(IsWindowVisible(program_.ControlIn(dialog, "Button_OK")));
  ASSERT_EQ(ListItemCount(list), 26);
  for (int i = 0; i < 26; ++i) EXPECT_TRUE(ListItemChecked(list, i)) << "drive " << char('A' + i) << " loaded hidden";
  // Once painted (a list view measures its columns again then), all 26 letters fit.
  UpdateWindow(list);
  EXPECT_TRUE(WaitFor([&] { return (GetWindowLongPtrW(list, GWL_STYLE) & WS_HSCROLL) == 0; }, 1000))
      << "the drives list scrolls sideways";

  ASSERT_TRUE(SetListItemChecked(program_.Process(), list, 2, false));
  EXPECT_FALSE(ListItemChecked(list, 2));
  EXPECT_TRUE(ListItemChecked(list, 3)) << "a neighbour changed with it";

  switch (row.how) {
    case DriveDialogCase::kOkButton:
      PostMessageW(program_.ControlIn(dialog, "Button_OK"), BM_CLICK, 0, 0);
      break;
    case DriveDialogCase::kEnter:
    case DriveDialogCase::kEsc: {
      const WPARAM key = row.how == DriveDialogCase::kEnter ? VK_RETURN : VK_ESCAPE;
      HWND focus = FocusOf(dialog);
      ASSERT_NE(focus, nullptr) << "nothing in the dialog has the focus";
      PostMessageW(focus, WM_KEYDOWN, key, 0);
      PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000000));
      break;
    }
    case DriveDialogCase::kCloseBox:
      PostMessageW(dialog, WM_CLOSE, 0, 0);
      break;
  }
  ASSERT_TRUE(WaitFor([&] { return IsWindow(dialog) == FALSE; }, kTimeoutMs)) << "the dialog stayed";
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(program_.Main()) != FALSE; }, kTimeoutMs))
      << "the main window stayed disabled";
  EXPECT_FALSE(IsWindowEnabled(program_.Control("Button_Apply"))) << "the dialog applies its own changes";

  const std::optional<StoredValue> stored = ReadValue(HKEY_CURRENT_USER, kDrivePolicyKey, L"NoDrives");
  if (!row.writes) {
    EXPECT_FALSE(stored.has_value()) << "closing without OK wrote NoDrives";
  } else {
    ASSERT_TRUE(stored.has_value()) << "NoDrives not written";
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(stored->data, (std::vector<BYTE>{0x04, 0x00, 0x00, 0x00}));
  }
  EXPECT_TRUE(program_.Running());
}

INSTANTIATE_TEST_SUITE_P(Closing, DriveDialog,
                         ::testing::Values(DriveDialogCase{"OkButton", DriveDialogCase::kOkButton, true},
                                           DriveDialogCase{"Enter", DriveDialogCase::kEnter, true},
                                           DriveDialogCase{"Esc", DriveDialogCase::kEsc, false},
                                           DriveDialogCase{"CloseBox", DriveDialogCase::kCloseBox, false}),
                         [](const ::testing::TestParamInfo<DriveDialogCase>& row) { return row.param.name; });

// A visual effect the page sets through SystemParametersInfoW. Read and restored by fresh
// processes: Wine hands a process the values it read once, not what another one set since.
struct EffectCase {
  const char* box;
  UINT get;
  UINT set;
  bool in_ui_param;  // the SET call takes the state in uiParam, not pvParam
};

int GetEffect(const EffectCase& row) { return RunTool(L"spi " + std::to_wstring(row.get)); }

void SetEffect(const EffectCase& row, bool on) {
  const std::wstring state = on ? L"1" : L"0";
  RunTool(L"spi-set " + std::to_wstring(row.set) + (row.in_ui_param ? L" " + state + L" 0" : L" 0 " + state));
}

class Effect : public Ready, public ::testing::WithParamInterface<EffectCase> {
 protected:
  void SetUp() override {
    const int state = GetEffect(GetParam());
    ASSERT_TRUE(state == 0 || state == 1) << "cannot read the parameter";
    original_ = state == 1;
    Ready::SetUp();
  }
  void TearDown() override {
    SetEffect(GetParam(), original_);
    EXPECT_EQ(GetEffect(GetParam()), original_ ? 1 : 0) << "the original value did not come back";
  }
  bool original_ = false;
};

TEST_P(Effect, ClickAndApplyChangesTheSystemParameter) {
  const EffectCase& row = GetParam();
  ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, "1,0"), 1);
  HWND box = program_.Control(row.box);
  HWND apply = program_.Control("Button_Apply");
  ASSERT_TRUE(box && apply);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED, original_) << "the box shows the system's state";

  PostMessageW(box, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) != FALSE; }, kTimeoutMs)) << "Apply stayed disabled";
  EXPECT_EQ(GetEffect(row), original_ ? 1 : 0) << "set before Apply";
  PostMessageW(apply, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) == FALSE; }, kTimeoutMs)) << "Apply did not finish";
  EXPECT_EQ(GetEffect(row), original_ ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    AnimationsAndEffects, Effect,
    ::testing::Values(EffectCase{"CheckBox_Display_Effect_DisplayAndEffectSettings_Drag", SPI_GETDRAGFULLWINDOWS,
                                 SPI_SETDRAGFULLWINDOWS, true},
                      EffectCase{"CheckBox_Display_Effect_DisplayAndEffectSettings_Title", SPI_GETGRADIENTCAPTIONS,
                                 SPI_SETGRADIENTCAPTIONS, false}),
    [](const ::testing::TestParamInfo<EffectCase>& row) {
      return row.param.get == SPI_GETDRAGFULLWINDOWS ? std::string("FullWindowDrag") : std::string("TitleGradient");
    });

// The start page shows what the prefix holds, and both AutoPlay boxes changed before one
// Apply reach NoDriveTypeAutoRun together. The prefix gets back what it had.
class GeneralSettingStart : public Ready {
 protected:
  static constexpr wchar_t kHideKey[] =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel";
  static constexpr wchar_t kMyComputer[] = L"{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
  void SetUp() override {
    saved_mask_ = ReadValue(HKEY_CURRENT_USER, kDrivePolicyKey, L"NoDriveTypeAutoRun");
    saved_icon_ = ReadValue(HKEY_CURRENT_USER, kHideKey, kMyComputer);
    WriteValue(HKEY_CURRENT_USER, kDrivePolicyKey, L"NoDriveTypeAutoRun", Dword(0x95));
    WriteValue(HKEY_CURRENT_USER, kHideKey, kMyComputer, Dword(1));
    Ready::SetUp();
  }
  void TearDown() override {
    Restore(kDrivePolicyKey, L"NoDriveTypeAutoRun", saved_mask_);
    Restore(kHideKey, kMyComputer, saved_icon_);
  }
  static StoredValue Dword(DWORD n) {
    StoredValue v;
    v.type = REG_DWORD;
    v.data.resize(sizeof n);
    std::memcpy(v.data.data(), &n, sizeof n);
    return v;
  }
  static void Restore(const wchar_t* key, const wchar_t* name, const std::optional<StoredValue>& saved) {
    DeleteValue(HKEY_CURRENT_USER, key, name);
    if (saved) WriteValue(HKEY_CURRENT_USER, key, name, *saved);
  }
  std::optional<StoredValue> saved_mask_, saved_icon_;
};

TEST_F(GeneralSettingStart, ShowsTheStoredSettingsAndKeepsBothAutoPlayChanges) {
  EXPECT_EQ(program_.Query(kQuerySelectedTag), 19);
  HWND icon = program_.Control("CheckBox_CommonSettings_Display_Desktop_MyComputer");
  ASSERT_NE(icon, nullptr);
  EXPECT_TRUE(IsWindowVisible(icon));
  EXPECT_EQ(SendMessageW(icon, BM_GETCHECK, 0, 0), BST_UNCHECKED) << "a hidden icon shows unchecked";

  ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, "19,1"), 1);
  HWND removable = program_.Control("Checkbox_CommonSettings_Function_AutoPlay_AutoPlayRemovable");
  HWND dvd = program_.Control("CheckBox_CommonSettings_Function_AutoPlay_AutoPlayDVD");
  HWND apply = program_.Control("Button_Apply");
  ASSERT_TRUE(removable && dvd && apply);
  EXPECT_EQ(SendMessageW(removable, BM_GETCHECK, 0, 0), BST_UNCHECKED) << "bit 0x04 of 0x95 is set";
  EXPECT_EQ(SendMessageW(dvd, BM_GETCHECK, 0, 0), BST_CHECKED) << "bit 0x20 of 0x95 is clear";
  EXPECT_FALSE(IsWindowEnabled(apply));

  PostMessageW(removable, BM_CLICK, 0, 0);
  PostMessageW(dvd, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return SendMessageW(dvd, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, kTimeoutMs));
  ASSERT_TRUE(IsWindowEnabled(apply));
  PostMessageW(apply, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) == FALSE; }, kTimeoutMs)) << "Apply did not finish";
  const std::optional<StoredValue> mask = ReadValue(HKEY_CURRENT_USER, kDrivePolicyKey, L"NoDriveTypeAutoRun");
  ASSERT_TRUE(mask.has_value());
  EXPECT_EQ(mask->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(mask->data, Dword(0xB1).data) << "removable AutoPlay on (0x04 cleared), CD/DVD off (0x20 set)";
}

// Input Options, Mouse Sensitivity: the drag threshold is a pair of system parameters,
// read back through GetSystemMetrics in fresh processes and restored afterwards.
class DragThreshold : public Ready {
 protected:
  static int Metric(int index) { return RunTool(L"metric " + std::to_wstring(index)); }
  static void SetDrag(int width, int height) {
    RunTool(L"spi-set " + std::to_wstring(SPI_SETDRAGWIDTH) + L" " + std::to_wstring(width) + L" 0");
    RunTool(L"spi-set " + std::to_wstring(SPI_SETDRAGHEIGHT) + L" " + std::to_wstring(height) + L" 0");
  }
  void SetUp() override {
    width_ = Metric(SM_CXDRAG);
    height_ = Metric(SM_CYDRAG);
    ASSERT_GT(width_, 0) << "cannot read the drag threshold";
    ASSERT_GT(height_, 0);
    Ready::SetUp();
  }
  void TearDown() override {
    SetDrag(width_, height_);
    EXPECT_EQ(Metric(SM_CXDRAG), width_) << "the original threshold did not come back";
    EXPECT_EQ(Metric(SM_CYDRAG), height_);
  }
  int width_ = 0;
  int height_ = 0;
};

TEST_F(DragThreshold, ChangedAndAppliedReachesTheSystem) {
  ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, "4,1"), 1);
  HWND edit = program_.Control("Edit_Use_MouseSensitivity_Drag");
  HWND apply = program_.Control("Button_Apply");
  ASSERT_TRUE(edit && apply);
  EXPECT_TRUE(TextOf(edit) == std::to_wstring(width_)) << "the field shows the system's width";

  const int wanted = width_ + 3;
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::to_wstring(wanted).c_str()));
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) != FALSE; }, kTimeoutMs)) << "Apply stayed disabled";
  EXPECT_EQ(Metric(SM_CXDRAG), width_) << "set before Apply";
  PostMessageW(apply, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) == FALSE; }, kTimeoutMs)) << "Apply did not finish";
  EXPECT_EQ(Metric(SM_CXDRAG), wanted);
  EXPECT_EQ(Metric(SM_CYDRAG), wanted);
}

// Network, My Network Places: the administrative shares switch of the server service.
constexpr wchar_t kServerKey[] = L"SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters";

class AdminShares : public Ready {
 protected:
  void SetUp() override {
    saved_ = ReadValue(HKEY_LOCAL_MACHINE, kServerKey, L"AutoShareWks");
    DeleteValue(HKEY_LOCAL_MACHINE, kServerKey, L"AutoShareWks");
    ASSERT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, kServerKey, L"AutoShareWks")) << "cannot prepare the start state";
    Ready::SetUp();
  }
  void TearDown() override {
    DeleteValue(HKEY_LOCAL_MACHINE, kServerKey, L"AutoShareWks");
    if (saved_) WriteValue(HKEY_LOCAL_MACHINE, kServerKey, L"AutoShareWks", *saved_);
  }
  std::optional<StoredValue> saved_;
};

TEST_F(AdminShares, ClearedAndAppliedWritesZero) {
  ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, "7,0"), 1);
  HWND box = program_.Control("Checkbox_Net_Neighbor_Security_ActiveShare");
  HWND apply = program_.Control("Button_Apply");
  ASSERT_TRUE(box && apply);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED) << "a missing value shows the shares enabled";

  PostMessageW(box, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) != FALSE; }, kTimeoutMs)) << "Apply stayed disabled";
  EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, kServerKey, L"AutoShareWks")) << "written before Apply";
  PostMessageW(apply, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) == FALSE; }, kTimeoutMs)) << "Apply did not finish";
  const std::optional<StoredValue> stored = ReadValue(HKEY_LOCAL_MACHINE, kServerKey, L"AutoShareWks");
  ASSERT_TRUE(stored.has_value()) << "AutoShareWks not written";
  EXPECT_EQ(stored->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(stored->data, (std::vector<BYTE>{0, 0, 0, 0}));
}

// --- Start Menu and Task Bar: a change, Apply, and the value read back ---------------

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kExplorerPolicyKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

StoredValue TextValue(const std::wstring& text) {
  StoredValue v;
  v.type = REG_SZ;
  const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
  v.data.assign(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
  return v;
}

// --- Internet Explorer: Use Blank, Apply, and the start page read back ----------------

constexpr wchar_t kIEMainKey[] = L"Software\\Microsoft\\Internet Explorer\\Main";

// The start page starts as another address; the prefix gets back what it had.
class IEStartPage : public Ready {
 protected:
  void SetUp() override {
    saved_ = ReadValue(HKEY_CURRENT_USER, kIEMainKey, L"Start Page");
    WriteValue(HKEY_CURRENT_USER, kIEMainKey, L"Start Page", TextValue(L"http://before.example/"));
    Ready::SetUp();
  }
  void TearDown() override {
    if (saved_) WriteValue(HKEY_CURRENT_USER, kIEMainKey, L"Start Page", *saved_);
    else DeleteValue(HKEY_CURRENT_USER, kIEMainKey, L"Start Page");
  }
  std::optional<StoredValue> saved_;
};

TEST_F(IEStartPage, UseBlankThenApplyWritesAboutBlank) {
  ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, "8,0"), 1);
  HWND edit = program_.Control("Edit_IE_Common_Homepage_Address");
  HWND blank = program_.Control("Button_IE_Common_Homepage_WithBlank");
  HWND apply = program_.Control("Button_Apply");
  ASSERT_TRUE(edit && blank && apply);
  EXPECT_EQ(TextOf(edit), L"http://before.example/") << "the page shows the stored start page";

  PostMessageW(blank, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) != FALSE; }, kTimeoutMs)) << "Apply stayed disabled";
  EXPECT_EQ(TextOf(edit), L"about:blank");
  const auto before = ReadValue(HKEY_CURRENT_USER, kIEMainKey, L"Start Page");
  ASSERT_TRUE(before.has_value());
  EXPECT_EQ(AsText(*before), L"http://before.example/") << "nothing is written before Apply";

  PostMessageW(apply, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) == FALSE; }, kTimeoutMs)) << "Apply did not finish";
  const auto after = ReadValue(HKEY_CURRENT_USER, kIEMainKey, L"Start Page");
  ASSERT_TRUE(after.has_value());
  EXPECT_EQ(after->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(AsText(*after), L"about:blank");
}

// A visible system message box of the program (the restart question of Apply), or null.
HWND MessageBoxOf(DWORD pid) {
  struct Search {
    DWORD pid;
    HWND found;
  } search{pid, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        wchar_t cls[16] = {};
        if (owner != s->pid || !IsWindowVisible(hwnd) || GetClassNameW(hwnd, cls, 16) == 0) return TRUE;
        if (std::wstring(cls) != L"#32770") return TRUE;
        s->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A registry value the test changes through the program; the prefix gets back what it had.
class SavedValue : public Ready {
 protected:
  SavedValue(const wchar_t* key, const wchar_t* name) : key_(key), name_(name) {}
  void SetUp() override {
    saved_ = ReadValue(HKEY_CURRENT_USER, key_, name_);
    Prepare();
    Ready::SetUp();
  }
  void TearDown() override {
    DeleteValue(HKEY_CURRENT_USER, key_, name_);
    if (saved_) WriteValue(HKEY_CURRENT_USER, key_, name_, *saved_);
  }
  virtual void Prepare() = 0;
  std::optional<StoredValue> Current() const { return ReadValue(HKEY_CURRENT_USER, key_, name_); }

  const wchar_t* key_;
  const wchar_t* name_;
  std::optional<StoredValue> saved_;
};

// Opening on pointing, 400 ms: the Auto radio is selected when the page loads.
class StartMenuDelay : public SavedValue {
 protected:
  StartMenuDelay() : SavedValue(kDesktopKey, L"MenuShowDelay") {}
  void Prepare() override { WriteValue(HKEY_CURRENT_USER, key_, name_, TextValue(L"400")); }
};

TEST_F(StartMenuDelay, OpenOnClickOnlyAndApplyWritesTheStringDelay) {
  ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, "5,0"), 1);
  HWND on_click = program_.Control("Radio_Use_StartMenu_Common_StartMenuSpeed_Click");
  HWND pointing = program_.Control("Radio_Use_StartMenu_Common_StartMenuSpeed_Auto");
  HWND apply = program_.Control("Button_Apply");
  ASSERT_TRUE(on_click && pointing && apply);
  EXPECT_EQ(SendMessageW(pointing, BM_GETCHECK, 0, 0), BST_CHECKED) << "a delay of 400 opens on pointing";
  EXPECT_EQ(SendMessageW(on_click, BM_GETCHECK, 0, 0), BST_UNCHECKED);

  PostMessageW(on_click, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) != FALSE; }, kTimeoutMs)) << "Apply stayed disabled";
  ASSERT_TRUE(Current().has_value());
  EXPECT_TRUE(AsText(*Current()) == L"400") << "written before Apply";
  PostMessageW(apply, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) == FALSE; }, kTimeoutMs)) << "Apply did not finish";
  const std::optional<StoredValue> delay = Current();
  ASSERT_TRUE(delay.has_value());
  EXPECT_EQ(delay->type, static_cast<DWORD>(REG_SZ));
  EXPECT_TRUE(AsText(*delay) == L"65535") << "the delay is not the click-only text";
}

// No tray policy: "Show system tray." loads checked.
class TrayPolicy : public SavedValue {
 protected:
  TrayPolicy() : SavedValue(kExplorerPolicyKey, L"NoTrayItemsDisplay") {}
  void Prepare() override { DeleteValue(HKEY_CURRENT_USER, key_, name_); }
};

TEST_F(TrayPolicy, HidingTheTrayAndApplyWritesOneByteAndAsksForARestart) {
  ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, "6,3"), 1);
  HWND tray = program_.Control("Checkbox_Taskbar_Advanced_SystemTray_TrayTip");
  HWND balloons = program_.Control("Checkbox_Taskbar_Advanced_SystemTray_BalloonTip");
  HWND apply = program_.Control("Button_Apply");
  ASSERT_TRUE(tray && balloons && apply);
  EXPECT_EQ(SendMessageW(tray, BM_GETCHECK, 0, 0), BST_CHECKED) << "a missing policy shows the tray";

  PostMessageW(tray, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) != FALSE; }, kTimeoutMs)) << "Apply stayed disabled";
  EXPECT_FALSE(IsWindowEnabled(balloons)) << "balloons still usable without a tray";
  EXPECT_FALSE(Current().has_value()) << "written before Apply";

  PostMessageW(apply, BM_CLICK, 0, 0);
  HWND question = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (question = MessageBoxOf(program_.Pid())) != nullptr; }, kTimeoutMs))
      << "Apply did not ask to restart";
  // Never Yes: that would restart the machine.
  HWND no = GetDlgItem(question, IDNO);
  ASSERT_NE(no, nullptr) << "the question has no No button";
  PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), reinterpret_cast<LPARAM>(no));
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) == FALSE; }, kTimeoutMs)) << "Apply did not finish";
  const std::optional<StoredValue> flag = Current();
  ASSERT_TRUE(flag.has_value()) << "NoTrayItemsDisplay was not written";
  EXPECT_EQ(flag->type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(flag->data, std::vector<BYTE>{0x01});
}

// --- User Logon: a two-line notice typed into its memo ------------------------------

constexpr wchar_t kWinlogonKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

// A notice shown with an empty text, so the memo is enabled; the prefix gets back what it had.
class LogonNotice : public Ready {
 protected:
  void SetUp() override {
    for (const wchar_t* name : {L"LegalNoticeCaption", L"LegalNoticeText"})
      saved_.push_back(ReadValue(HKEY_LOCAL_MACHINE, kWinlogonKey, name));
    WriteValue(HKEY_LOCAL_MACHINE, kWinlogonKey, L"LegalNoticeCaption", TextValue(L"Notice"));
    WriteValue(HKEY_LOCAL_MACHINE, kWinlogonKey, L"LegalNoticeText", TextValue(L""));
    Ready::SetUp();
  }
  void TearDown() override {
    const wchar_t* names[] = {L"LegalNoticeCaption", L"LegalNoticeText"};
    for (std::size_t i = 0; i < saved_.size(); ++i) {
      DeleteValue(HKEY_LOCAL_MACHINE, kWinlogonKey, names[i]);
      if (saved_[i]) WriteValue(HKEY_LOCAL_MACHINE, kWinlogonKey, names[i], *saved_[i]);
    }
  }
  std::vector<std::optional<StoredValue>> saved_;
};

TEST_F(LogonNotice, TwoTypedLinesAreStoredWithCrLf) {
  ASSERT_EQ(program_.Query(ui::win32::kQueryShowPage, "13,2"), 1);
  HWND memo = program_.Control("Edit_UserLogin_Message_Notify_Text");
  HWND apply = program_.Control("Button_Apply");
  ASSERT_TRUE(memo && apply);
  ASSERT_TRUE(IsWindowEnabled(memo)) << "a stored caption enables the notice";
  // Each key as the keyboard gives it: its character, then its release.
  for (const wchar_t ch : std::wstring(L"One\rTwo")) {
    PostMessageW(memo, WM_CHAR, ch, 1);
    const WPARAM key = ch == L'\r' ? VK_RETURN : static_cast<WPARAM>(towupper(ch));
    PostMessageW(memo, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
  }
  ASSERT_TRUE(WaitFor([&] { return TextOf(memo) == L"One\r\nTwo"; }, kTimeoutMs)) << "the memo shows the two lines";
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) != FALSE; }, kTimeoutMs)) << "Apply stayed disabled";
  PostMessageW(apply, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) == FALSE; }, kTimeoutMs)) << "Apply did not finish";
  const std::optional<StoredValue> text = ReadValue(HKEY_LOCAL_MACHINE, kWinlogonKey, L"LegalNoticeText");
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(text->type, static_cast<DWORD>(REG_SZ));
  EXPECT_TRUE(AsText(*text) == L"One\r\nTwo") << "the lines are not CR LF apart";
}

TEST_F(Ready, ClosingTheWindowEndsTheProcessWithZero) {
  PostMessageW(program_.Main(), WM_CLOSE, 0, 0);
  DWORD code = 1234;
  ASSERT_TRUE(program_.WaitExit(kTimeoutMs, &code));
  EXPECT_EQ(code, 0u);
}

TEST_F(Ready, CancelButtonEndsTheProcessWithZero) {
  HWND cancel = program_.Control("Button_Cancel");
  ASSERT_NE(cancel, nullptr);
  PostMessageW(cancel, BM_CLICK, 0, 0);
  DWORD code = 1234;
  ASSERT_TRUE(program_.WaitExit(kTimeoutMs, &code));
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace corvanel::e2e
