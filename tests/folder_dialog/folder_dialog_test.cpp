#include "folder_dialog/folder_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"

namespace corvanel::folder_dialog {
namespace {

using forms::Button;
using forms::CheckBox;
using forms::Form;
using forms::ModalResult;
using platform::HKCU;
using platform::HKLM;
using platform::memory::MemoryPlatform;
namespace win = platform::win;

using Bytes = std::vector<std::uint8_t>;

// Acts like the user: the dialog appears (FormShow), `act` does what the user does, then
// the user presses the button named `button`.
ShowModal User(std::function<void(TCorvanel_FormFolder&)> act, const char* button = "Button_OK") {
  return [act = std::move(act), button](Form& form) {
    auto& dialog = dynamic_cast<TCorvanel_FormFolder&>(form);
    form.ShowForm();
    if (act) act(dialog);
    EXPECT_TRUE(form.Find<Button>(button).UserClick());
    return form.Result();
  };
}

class FolderDialogTest : public ::testing::Test {
 protected:
  ModalResult Run(int mode, const ShowModal& show, int version_class = 5) {
    return RunFolderDialog(p_, version_class, nullptr, mode, "Caption", 0, show);
  }
  void SetIcon(const char* clsid, std::uint32_t v) { p_.registry().SetDword(HKCU, kNewStartPanelKey, clsid, v); }
  std::optional<platform::memory::RegValue> NoDrives() {
    return p_.registry().Get(HKCU, kDrivePolicyKey, kNoDrives);
  }
  // Changes made through the seam (test helpers bypass the log).
  std::size_t Writes() { return p_.registry().write_log().size(); }

  MemoryPlatform p_;
};

// --- desktop mode -------------------------------------------------------------------

struct StoredIcon {
  const char* what;
  std::function<void(MemoryPlatform&, const char* clsid)> store;  // null: missing
  bool checked;         // the box after loading
  bool missing = false;  // the box follows the row's "missing" rule instead
};

TEST_F(FolderDialogTest, DesktopBoxesLoadFromNewStartPanel) {
  const std::vector<StoredIcon> cases = {
      {"missing", nullptr, false, true},
      {"1 hides the icon", [](MemoryPlatform& p, const char* c) { p.registry().SetDword(HKCU, kNewStartPanelKey, c, 1); },
       false},
      {"0 shows it", [](MemoryPlatform& p, const char* c) { p.registry().SetDword(HKCU, kNewStartPanelKey, c, 0); },
       true},
      {"2 shows it", [](MemoryPlatform& p, const char* c) { p.registry().SetDword(HKCU, kNewStartPanelKey, c, 2); },
       true},
      {"text 1", [](MemoryPlatform& p, const char* c) { p.registry().SetString(HKCU, kNewStartPanelKey, c, "1"); },
       false},
      {"text 0", [](MemoryPlatform& p, const char* c) { p.registry().SetString(HKCU, kNewStartPanelKey, c, "0"); },
       true},
      {"binary", [](MemoryPlatform& p, const char* c) { p.registry().SetBinary(HKCU, kNewStartPanelKey, c, {1}); },
       true},
  };
  for (const StoredIcon& c : cases) {
    for (const DesktopIconRow& row : DesktopIcons()) {
      MemoryPlatform p;
      p.registry().CreateKeyPath(HKCU, kNewStartPanelKey);
      if (c.store) c.store(p, row.clsid);
      TCorvanel_FormFolder dialog(p, 5, nullptr);
      dialog.SetDialogMode(kDesktopMode);
      dialog.ShowForm();
      const bool expected = c.missing ? row.checked_when_missing : c.checked;
      EXPECT_EQ(dialog.Find<CheckBox>(row.box).Checked(), expected) << row.box << ", " << c.what;
    }
  }
}

TEST_F(FolderDialogTest, WithoutTheNewStartPanelKeyOnlyRecycleBinIsChecked) {
  TCorvanel_FormFolder dialog(p_, 5, nullptr);
  dialog.ShowForm();
  for (const DesktopIconRow& row : DesktopIcons()) {
    EXPECT_EQ(dialog.Find<CheckBox>(row.box).Checked(), std::string(row.box) == "CHKrec") << row.box;
  }
}

TEST_F(FolderDialogTest, LoadingQueuesNothingAndOkWithoutAClickWritesNothing) {
  for (const DesktopIconRow& row : DesktopIcons()) SetIcon(row.clsid, 0);  // every box loads checked
  bool all_checked = true;
  const ModalResult result = Run(kDesktopMode, User([&](TCorvanel_FormFolder& d) {
                                   for (const DesktopIconRow& row : DesktopIcons())
                                     all_checked = all_checked && d.Find<CheckBox>(row.box).Checked();
                                   EXPECT_TRUE(d.Queue().Empty());
                                 }));
  EXPECT_EQ(result, ModalResult::Ok);
  EXPECT_TRUE(all_checked);
  EXPECT_EQ(Writes(), 0u);
  EXPECT_FALSE(p_.registry().KeyExists(HKLM, kNameSpaceKey));
}

TEST_F(FolderDialogTest, ClickingABoxQueuesItsTwoRecordsAndOkWritesThem) {
  SetIcon("{D20EA4E1-3957-11D2-A40B-0C5020524153}", 0);
  std::vector<engine::TRegRecor> queued;
  Run(kDesktopMode, User([&](TCorvanel_FormFolder& d) {
        ASSERT_TRUE(d.Find<CheckBox>("CHKmantools").UserClick());  // cleared: icon hidden
        ASSERT_TRUE(d.Find<CheckBox>("CHKnet").UserClick());        // checked: icon shown
        queued = d.Queue().Records();
      }));

  const std::string tools_key = std::string(kNameSpaceKey) + "{D20EA4E1-3957-11D2-A40B-0C5020524153}";
  const std::vector<engine::TRegRecor> expected = {
      engine::WriteRecord("CHKmantools", HKLM, tools_key, "", engine::kTypeText, engine::MakeText("")),
      engine::WriteRecord("CHKmantools1", HKCU, kNewStartPanelKey, "{D20EA4E1-3957-11D2-A40B-0C5020524153}",
                          engine::kTypeNumber, engine::MakeInt(1)),
      engine::WriteRecord("CHKnet", HKLM, std::string(kNameSpaceKey) + "{208D2C60-3AEA-1069-A2D7-08002B30309D}", "",
                          engine::kTypeText, engine::MakeText("")),
      engine::WriteRecord("CHKnet1", HKCU, kNewStartPanelKey, "{208D2C60-3AEA-1069-A2D7-08002B30309D}",
                          engine::kTypeNumber, engine::MakeInt(0)),
  };
  EXPECT_EQ(queued, expected);

  auto& reg = p_.registry();
  EXPECT_EQ(reg.GetString(HKLM, tools_key, ""), std::optional<std::string>(""));
  EXPECT_EQ(reg.GetDword(HKCU, kNewStartPanelKey, "{D20EA4E1-3957-11D2-A40B-0C5020524153}"), 1u);
  EXPECT_EQ(reg.GetDword(HKCU, kNewStartPanelKey, "{208D2C60-3AEA-1069-A2D7-08002B30309D}"), 0u);
  // Objects nobody clicked get no NameSpace key.
  EXPECT_FALSE(reg.KeyExists(HKLM, std::string(kNameSpaceKey) + "{645FF040-5081-101B-9F08-00AA002F954E}"));
  ASSERT_EQ(p_.shell().notifications().size(), 1u);
  EXPECT_EQ(p_.shell().notifications()[0].event_id, win::SHCNE_ASSOCCHANGED);
}

TEST_F(FolderDialogTest, ModesAndVersionsShowTheirTabsAndBoxes) {
  struct Case {
    int mode;
    int version_class;
    const char* active_tab;
    int visible_boxes;
    int box_height;
  };
  for (const Case& c : {Case{kDesktopMode, 0, "TabSheet_View", 6, 100}, Case{kDesktopMode, 4, "TabSheet_View", 6, 100},
                        Case{kDesktopMode, 5, "TabSheet_View", 6, 100}, Case{kDesktopMode, 6, "TabSheet_View", 4, 80},
                        Case{kDesktopMode, 8, "TabSheet_View", 4, 80}, Case{kDrivesMode, 6, "TabSheet_List", 6, 100},
                        Case{0, 5, "TabSheet_List", 6, 100}}) {
    MemoryPlatform p;
    TCorvanel_FormFolder dialog(p, c.version_class, nullptr);
    dialog.SetDialogMode(c.mode);
    dialog.ShowForm();
    const std::string where = "mode " + std::to_string(c.mode) + ", class " + std::to_string(c.version_class);
    auto& pages = dialog.Find<forms::PageControl>("PageControl1");
    ASSERT_NE(pages.ActivePage(), nullptr) << where;
    EXPECT_EQ(pages.ActivePage()->Name(), c.active_tab) << where;
    int visible_tabs = 0;
    for (const auto* sheet : pages.Sheets()) visible_tabs += sheet->TabVisible() ? 1 : 0;
    EXPECT_EQ(visible_tabs, 1) << where;
    int visible = 0;
    for (const DesktopIconRow& row : DesktopIcons()) visible += dialog.Find<CheckBox>(row.box).Visible() ? 1 : 0;
    EXPECT_EQ(visible, c.visible_boxes) << where;
    EXPECT_EQ(dialog.Find<forms::GroupBox>("Grpdorptop").Height(), c.box_height) << where;
    EXPECT_EQ(forms::DescribeLayout(forms::CheckLayout(dialog)), "") << where;
  }
}

// --- drives mode --------------------------------------------------------------------

std::vector<bool> CheckedItems(const TCorvanel_FormFolder& d) {
  std::vector<bool> checked;
  for (const auto& item : d.ListView1().Items()) checked.push_back(item.checked);
  return checked;
}

std::vector<bool> AllBut(std::initializer_list<int> hidden) {
  std::vector<bool> v(kDriveCount, true);
  for (int i : hidden) v[static_cast<std::size_t>(i)] = false;
  return v;
}

TEST_F(FolderDialogTest, DriveListHoldsTheLettersInOrder) {
  TCorvanel_FormFolder dialog(p_, 5, nullptr);
  const auto& items = dialog.ListView1().Items();
  ASSERT_EQ(items.size(), 26u);
  EXPECT_EQ(items.front().caption, "A:");
  EXPECT_EQ(items[2].caption, "C:");
  EXPECT_EQ(items.back().caption, "Z:");
  EXPECT_TRUE(dialog.ListView1().Checkboxes());
}

TEST_F(FolderDialogTest, NoDrivesLoadsIntoTheList) {
  struct Case {
    const char* what;
    std::function<void(platform::memory::MemoryRegistry&)> store;
    std::vector<bool> checked;
  };
  const std::vector<Case> cases = {
      {"missing", nullptr, AllBut({})},
      {"C", [](auto& r) { r.SetBinary(HKCU, kDrivePolicyKey, kNoDrives, {0x04, 0, 0, 0}); }, AllBut({2})},
      {"Z", [](auto& r) { r.SetBinary(HKCU, kDrivePolicyKey, kNoDrives, {0, 0, 0, 0x02}); }, AllBut({25})},
      {"bits above Z", [](auto& r) { r.SetBinary(HKCU, kDrivePolicyKey, kNoDrives, {0x81, 0, 0x01, 0xFC}); },
       AllBut({0, 7, 16})},
      {"short binary", [](auto& r) { r.SetBinary(HKCU, kDrivePolicyKey, kNoDrives, {0x03}); }, AllBut({0, 1})},
      {"empty binary", [](auto& r) { r.SetBinary(HKCU, kDrivePolicyKey, kNoDrives, {}); }, AllBut({})},
      {"dword A and Z", [](auto& r) { r.SetDword(HKCU, kDrivePolicyKey, kNoDrives, 0x02000001); }, AllBut({0, 25})},
      {"decimal text", [](auto& r) { r.SetString(HKCU, kDrivePolicyKey, kNoDrives, "12"); }, AllBut({2, 3})},
      {"other text", [](auto& r) { r.SetString(HKCU, kDrivePolicyKey, kNoDrives, "C:"); }, AllBut({})},
  };
  for (const Case& c : cases) {
    MemoryPlatform p;
    if (c.store) c.store(p.registry());
    TCorvanel_FormFolder dialog(p, 5, nullptr);
    dialog.SetDialogMode(kDrivesMode);
    dialog.ShowForm();
    EXPECT_EQ(CheckedItems(dialog), c.checked) << c.what;
    EXPECT_TRUE(dialog.Queue().Empty()) << c.what;
  }
}

TEST_F(FolderDialogTest, OkWritesNoDrivesFromTheList) {
  struct Case {
    std::vector<int> unchecked;
    Bytes bytes;
  };
  for (const Case& c : {Case{{}, {0, 0, 0, 0}}, Case{{2}, {0x04, 0, 0, 0}}, Case{{25}, {0, 0, 0, 0x02}},
                        Case{{0, 8, 16, 24}, {1, 1, 1, 1}}}) {
    MemoryPlatform p;
    std::vector<engine::TRegRecor> queued_before_ok;
    RunFolderDialog(p, 5, nullptr, kDrivesMode, "Drivers", 0, User([&](TCorvanel_FormFolder& d) {
                      for (int i : c.unchecked) ASSERT_TRUE(d.ListView1().UserCheckItem(i, false));
                      // Boxes of the other mode are inert here.
                      d.Find<CheckBox>("CHKmantools").SetChecked(true);
                      queued_before_ok = d.Queue().Records();
                    }));
    EXPECT_TRUE(queued_before_ok.empty());
    const auto stored = p.registry().Get(HKCU, kDrivePolicyKey, kNoDrives);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, win::REG_BINARY);
    EXPECT_EQ(stored->bytes, c.bytes);
    // Nothing but NoDrives is written.
    std::vector<std::string> values;
    for (const auto& w : p.registry().write_log())
      if (w.call == "set_value") values.push_back(w.name);
    EXPECT_EQ(values, std::vector<std::string>{kNoDrives});
    ASSERT_EQ(p.shell().notifications().size(), 1u);
    EXPECT_EQ(p.shell().notifications()[0].event_id, win::SHCNE_ASSOCCHANGED);
  }
}

TEST_F(FolderDialogTest, OkRewritesADwordNoDrivesAsFourBytes) {
  p_.registry().SetDword(HKCU, kDrivePolicyKey, kNoDrives, 0x08);  // D hidden
  Run(kDrivesMode, User(nullptr));
  const auto stored = NoDrives();
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->bytes, (Bytes{0x08, 0, 0, 0}));
}

TEST_F(FolderDialogTest, CancelWritesNothingInEitherMode) {
  p_.registry().SetBinary(HKCU, kDrivePolicyKey, kNoDrives, {0x04, 0, 0, 0});
  EXPECT_EQ(Run(kDesktopMode, User([](TCorvanel_FormFolder& d) { d.Find<CheckBox>("CHKrec").UserClick(); },
                                   "Button_Cancel")),
            ModalResult::Cancel);
  EXPECT_EQ(Run(kDrivesMode, User([](TCorvanel_FormFolder& d) { d.ListView1().UserCheckItem(2, true); },
                                  "Button_Cancel")),
            ModalResult::Cancel);
  EXPECT_EQ(Writes(), 0u);
  EXPECT_TRUE(p_.shell().notifications().empty());
  EXPECT_EQ(NoDrives()->bytes, (Bytes{0x04, 0, 0, 0}));
}

TEST_F(FolderDialogTest, AFailedWriteStillClosesTheDialog) {
  p_.registry().FailWritesUnder(HKCU, kDrivePolicyKey, win::kAccessDenied);
  EXPECT_EQ(Run(kDrivesMode, User(nullptr)), ModalResult::Ok);
  EXPECT_FALSE(NoDrives().has_value());
}

TEST_F(FolderDialogTest, WithoutAWayToShowItNothingHappens) {
  EXPECT_EQ(Run(kDrivesMode, ShowModal()), ModalResult::None);
  EXPECT_EQ(Writes(), 0u);
}

TEST_F(FolderDialogTest, CaptionsComeFromTheLanguageFile) {
  p_.files().AddFile("C:\\Program Files\\Corvanel\\Language\\Test.lng",
                     "[_Corvanel_FormFolder]\nCHKrec.Caption=Papierkorb\nTabSheet_List.Caption=Liste\n");
  lang::TLanguage language(p_, "", "");
  TCorvanel_FormFolder dialog(p_, 5, &language);
  dialog.SetCaption("Drivers");
  dialog.SetDialogMode(kDrivesMode);
  dialog.ShowForm();
  EXPECT_EQ(dialog.Find<CheckBox>("CHKrec").Caption(), "Papierkorb");
  EXPECT_EQ(dialog.Find<forms::TabSheet>("TabSheet_List").Caption(), "Liste");
  EXPECT_EQ(dialog.Find<CheckBox>("CHKnet").Caption(), "My Network Places");
  EXPECT_EQ(dialog.Caption(), "Drivers");  // no form caption in the file: the caller's stays
}

}  // namespace
}  // namespace corvanel::folder_dialog
