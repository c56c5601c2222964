// The review of changes and Undo of the last Apply, on the whole window: what the rows
// say, and that Undo puts the system and the pages back as they were.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/reg_file.h"
#include "pages/all_pages.h"
#include "platform/memory/memory_platform.h"
#include "platform/reg_text.h"
#include "tests/pages/page_harness.h"
#include "ui/changes.h"
#include "ui/main_window.h"

namespace corvanel::pages {
namespace {

namespace win = platform::win;
using platform::HKCU;
using platform::HKLM;

constexpr const char* kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const char* kDfrg = "SOFTWARE\\Microsoft\\Dfrg\\BootOptimizeFunction";
constexpr const char* kCrash = "SYSTEM\\CurrentControlSet\\Control\\CrashControl";
constexpr std::uint32_t SPI_GETBEEP = 0x0001;

// Every key and value of the registry, in a stable order.
std::vector<std::string> Dump(platform::memory::MemoryRegistry& reg) {
  std::vector<std::string> out;
  std::function<void(platform::RegKey, const std::string&)> walk = [&](platform::RegKey root, const std::string& path) {
    out.push_back(std::to_string(root) + "[" + path + "]");
    for (const std::string& name : reg.ValueNames(root, path)) {
      const auto v = reg.Get(root, path, name);
      std::string bytes;
      for (std::uint8_t b : v->bytes) bytes += std::to_string(b) + ",";
      out.push_back(name + "=" + std::to_string(v->type) + ":" + bytes);
    }
    for (const std::string& sub : reg.SubkeyNames(root, path)) walk(root, path.empty() ? sub : path + "\\" + sub);
  };
  for (platform::RegKey root : {platform::HKCR, HKCU, HKLM}) walk(root, "");
  return out;
}

class Changes : public ::testing::Test {
 protected:
  void SetUp() override {
    memory_.registry().SetDword(HKCU, kPolicies, "NoWinKeys", 1);
    memory_.registry().SetDword(HKLM, kCrash, "AutoReboot", 1);
    memory_.spi().SetValue(SPI_GETBEEP, 1);
    harness::SetVersionClass(memory_, 7);
    window_ = std::make_unique<ui::TCorvanel_FormMain>(memory_, CreateAllPages());
    window_->ShowForm();
    ASSERT_TRUE(window_->Find<forms::Timer>("Timer_Click").Tick());
    ASSERT_TRUE(window_->Find<forms::Timer>("Timer_Loading").Tick());
  }
  void Visit(int tag) {
    ui::GroupBar& bar = window_->RzGroupBar1();
    int group = 0;
    int item = 0;
    ASSERT_TRUE(bar.Locate(bar.FindItemByTag(tag), &group, &item)) << tag;
    ASSERT_TRUE(bar.UserClickItem(group, item)) << tag;
  }
  template <class T>
  T& Get(std::string_view name) {
    return window_->Find<T>(name);
  }
  // One value delete (Input Options), one HKLM value and one system parameter (Start and
  // Maintenance), and a list chosen away and back: a change to what is already there.
  void ChangeThreePages() {
    Visit(4);
    ASSERT_TRUE(Get<forms::CheckBox>("Checkbox_Use_Keyboard_WinKey_Active").UserClick());
    Visit(16);
    ASSERT_TRUE(Get<forms::CheckBox>("Checkbox_Startup_System_Defrag_Enable").UserClick());
    ASSERT_TRUE(Get<forms::CheckBox>("Checkbox_Startup_Error_Sound_beep").UserClick());
    ASSERT_TRUE(Get<forms::ComboBox>("CB_Startup_Error_SystemError_Type").UserSelect(0));
    ASSERT_TRUE(Get<forms::ComboBox>("CB_Startup_Error_SystemError_Type").UserSelect(1));
  }
  int RestartQuestions() {
    int n = 0;
    for (const auto& call : memory_.dialogs().calls())
      n += call.kind == platform::memory::DialogCall::Kind::kMessageBox &&
           call.text == window_->Texts().Get(lang::MessageId::D_RestoreWarning);
    return n;
  }

  platform::memory::MemoryPlatform memory_;
  std::unique_ptr<ui::TCorvanel_FormMain> window_;
};

TEST(ChangeValues, ReadAsAUserReadsThem) {
  const auto dword = [](std::uint32_t n) {
    return engine::StoredValue{win::REG_DWORD, {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16),
                                                std::uint8_t(n >> 24)}};
  };
  const auto text = [](std::uint32_t type, const std::string& s) {
    return engine::StoredValue{type, platform::EncodeRegString(s)};
  };
  const struct {
    engine::StoredValue value;
    std::string shown;
  } rows[] = {
      {dword(0), "0"},
      {dword(145), "145 (0x91)"},
      {dword(0xFFFFFFFF), "4294967295 (0xFFFFFFFF)"},
      {engine::StoredValue{win::REG_QWORD, {1, 1, 0, 0, 0, 0, 0, 0}}, "257 (0x101)"},
      {text(win::REG_SZ, "C:\\a \"b\""), "\"C:\\a \"b\"\""},
      {text(win::REG_EXPAND_SZ, "%SystemRoot%"), "\"%SystemRoot%\""},
      {engine::StoredValue{win::REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}}, "\"a\", \"b\""},
      {engine::StoredValue{win::REG_BINARY, {0x90, 0x12, 0x03, 0x80}}, "90 12 03 80"},
      {engine::StoredValue{win::REG_BINARY, {}}, "(empty)"},
  };
  for (const auto& row : rows) EXPECT_EQ(ui::StoredValueText(row.value), row.shown) << row.shown;
}

TEST_F(Changes, PendingRowsSayWhereFromWhatToWhat) {
  ChangeThreePages();
  const ui::ChangeList list = ui::PendingChangeList(*window_);
  const std::string sep = " \xE2\x80\xBA ";
  const std::vector<std::vector<std::string>> expected = {
      {"Input Options" + sep + "Activate key combinations with Windows key (Such as Windows+M or Windows+E).",
       "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoWinKeys", "1",
       "(deleted)"},
      {"Start and Maintenance" + sep + "Enable boot defragmentation.",
       "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Dfrg\\BootOptimizeFunction\\Enable", "(not set)", "\"y\""},
      {"Start and Maintenance" + sep + "Play acoustic signals when errors occur.", "System parameter SPI_SETBEEP",
       "1", "0"},
      {"Start and Maintenance" + sep + "System Error",
       "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\CrashControl\\AutoReboot", "1", "(no change)"},
  };
  ASSERT_EQ(list.rows.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const ui::ChangeRow& row = list.rows[i];
    EXPECT_EQ((std::vector<std::string>{row.setting, row.where, row.now, row.after}), expected[i]) << i;
  }
  EXPECT_FALSE(list.journal);
  EXPECT_EQ(list.count_line, "4 change(s) wait for Apply.");
  EXPECT_EQ(list.restart_line, "Windows must be restarted for some of them.");
}

// The window's own words come from the language file, as the pages' captions do.
class ChangesInGerman : public Changes {
 protected:
  void SetUp() override {
    memory_.files().AddFile("C:\\Program Files\\Corvanel\\Language\\Deutsch.lng",
                            "\xEF\xBB\xBF[Main]\nDisplayName=Deutsch\n[Corvanel_M]\nD_ChangesNow=Jetzt\n"
                            "D_ChangesAfterApply=Nach dem Anwenden\nD_ChangesNotSet=(nicht gesetzt)\n");
    Changes::SetUp();
  }
};

TEST_F(ChangesInGerman, ColumnsAndPlaceholdersAreTranslated) {
  ChangeThreePages();
  ui::TCorvanel_FormChanges changes(*window_);
  const auto& columns = changes.Find<forms::ListView>("ListView_Changes").Columns();
  ASSERT_EQ(columns.size(), 4u);
  EXPECT_EQ(columns[2].caption, "Jetzt");
  EXPECT_EQ(columns[3].caption, "Nach dem Anwenden");
  EXPECT_EQ(changes.List().rows.at(1).now, "(nicht gesetzt)") << "boot defragmentation, never stored";
}

TEST_F(Changes, UndoPutsSystemAndPagesBack) {
  const std::vector<std::string> before = Dump(memory_.registry());
  ChangeThreePages();
  EXPECT_FALSE(window_->CanUndoLastApply());
  ASSERT_TRUE(Get<forms::Button>("Button_Apply").UserClick());
  ASSERT_EQ(RestartQuestions(), 1);
  ASSERT_FALSE(memory_.registry().ValueExists(HKCU, kPolicies, "NoWinKeys"));
  ASSERT_EQ(memory_.spi().Value(SPI_GETBEEP), 0u);
  EXPECT_TRUE(Get<forms::Button>("Button_Changes").Enabled());
  ASSERT_TRUE(window_->CanUndoLastApply());

  // With nothing pending, the window shows what Apply did and offers Undo.
  ui::TCorvanel_FormChanges dialog(*window_);
  EXPECT_TRUE(dialog.List().journal);
  EXPECT_EQ(dialog.Find<forms::ListView>("ListView_Changes").Columns()[2].caption, "Before");
  EXPECT_FALSE(dialog.Find<forms::Button>("Button_Changes_SaveReg").Enabled());
  ASSERT_TRUE(dialog.Find<forms::Button>("Button_Changes_Undo").UserClick());

  EXPECT_EQ(Dump(memory_.registry()), before);
  EXPECT_EQ(memory_.spi().Value(SPI_GETBEEP), 1u);
  // The pages show the restored state, and loading them queued nothing.
  EXPECT_FALSE(Get<forms::CheckBox>("Checkbox_Use_Keyboard_WinKey_Active").Checked());
  EXPECT_FALSE(Get<forms::CheckBox>("Checkbox_Startup_System_Defrag_Enable").Checked());
  EXPECT_TRUE(Get<forms::CheckBox>("Checkbox_Startup_Error_Sound_beep").Checked());
  EXPECT_EQ(Get<forms::ComboBox>("CB_Startup_Error_SystemError_Type").ItemIndex(), 1);
  EXPECT_TRUE(window_->Queue().Empty());
  EXPECT_FALSE(window_->HasPendingChanges());
  EXPECT_FALSE(Get<forms::Button>("Button_Apply").Enabled());
  EXPECT_EQ(RestartQuestions(), 2);
  // One level: nothing is left to undo.
  EXPECT_FALSE(window_->CanUndoLastApply());
  EXPECT_FALSE(Get<forms::Button>("Button_Changes").Enabled());
  EXPECT_FALSE(dialog.Find<forms::Button>("Button_Changes_Undo").Enabled());
  EXPECT_TRUE(dialog.Find<forms::ListView>("ListView_Changes").Items().empty());
}

TEST_F(Changes, SaveAsRegWritesTheListedChanges) {
  ChangeThreePages();
  ui::TCorvanel_FormChanges dialog(*window_);
  EXPECT_EQ(dialog.Find<forms::ListView>("ListView_Changes").Items().size(), 4u);
  EXPECT_FALSE(dialog.Find<forms::Button>("Button_Changes_Undo").Enabled());
  memory_.files().AddDirectory("C:\\out");
  memory_.dialogs().QueueSaveFile("C:\\out\\changes.reg");
  ASSERT_TRUE(dialog.Find<forms::Button>("Button_Changes_SaveReg").UserClick());
  const auto& call = memory_.dialogs().calls().back();
  EXPECT_EQ(call.kind, platform::memory::DialogCall::Kind::kSaveFile);
  EXPECT_EQ(call.extension, "reg");
  const auto written = memory_.files().Content("C:\\out\\changes.reg");
  ASSERT_TRUE(written.has_value());
  EXPECT_EQ(*written, engine::RegFileBytes(ui::PendingRegText(*window_)));
  // Nothing reached the registry.
  EXPECT_TRUE(memory_.registry().ValueExists(HKCU, kPolicies, "NoWinKeys"));
}


TEST_F(Changes, AKeyReleaseAfterUndoQueuesNothing) {
  // The start page's Internet Explorer home page, typed, applied and undone: the edit
  // shows the restored (empty) text, and a Tab through it changes nothing.
  auto& edit = Get<forms::Edit>("Edit_CommonSettings_Display_IECommonSettings_HomePage");
  ASSERT_TRUE(edit.UserTypeText("x"));
  ASSERT_TRUE(Get<forms::Button>("Button_Apply").UserClick());
  ui::TCorvanel_FormChanges dialog(*window_);
  ASSERT_TRUE(dialog.Find<forms::Button>("Button_Changes_Undo").UserClick());
  ASSERT_EQ(edit.Text(), "");
  EXPECT_TRUE(edit.UserKeyUp(0x09));
  EXPECT_TRUE(window_->Queue().Empty());
  EXPECT_FALSE(Get<forms::Button>("Button_Apply").Enabled());
}

}  // namespace
}  // namespace corvanel::pages
