#include "forms/translate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/forms.h"
#include "platform/memory/memory_platform.h"

namespace corvanel::forms {
namespace {

using Strings = std::vector<std::string>;

class TranslateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pages_ = &form_.Create<PageControl>(form_, "notset", {0, 0, 459, 403});
    sheet_ = &form_.Create<TabSheet>(*pages_, "TabSheet_Startup_Error", {}, "Error");
    group_ = &form_.Create<GroupBox>(*sheet_, "GroupBox_Startup_Error_SystemError", {}, "System error");
    check_ = &form_.Create<CheckBox>(*group_, "Checkbox_Startup_Error_Log", {}, "Write an event");
    radio_ = &form_.Create<RadioButton>(*group_, "Radio_Startup_Error_Restart", {}, "Restart");
    label_ = &form_.Create<Label>(*group_, "Label_Startup_Error_Type", {}, "Type:");
    button_ = &form_.Create<Button>(*sheet_, "Button_Startup_Default", {}, "Default Settings");
    combo_ = &form_.Create<ComboBox>(*group_, "CB_Startup_Error_SystemError_Type");
    combo_->SetItems({"None", "Small", "Full"});
    combo_->SetItemIndex(2);
    tree_ = &form_.Create<TreeView>(*sheet_, "Tree_IE_Favorites_Show");
    TreeNode& root = tree_->AddNode(nullptr, "Favorites");
    tree_->AddNode(&tree_->AddNode(&root, "Links"), "Deep");
    tree_->AddNode(&root, "News");
    list_ = &form_.Create<ListView>(*sheet_, "ListView1");
    list_->AddColumn("Drive");
    list_->AddColumn("Label");
    list_->AddItem({"C:", true, -1, 0, {}});
    edit_ = &form_.Create<Edit>(*sheet_, "Edit_Startup_Name");
    edit_->SetText("untouched");
    panel_ = &form_.Create<Panel>(*sheet_, "Panel_Loading", {}, "panel");
    form_.SetCaption("Velmora Corvanel");
  }

  lang::TLanguage Language(const std::string& text) {
    platform_.files().AddFile("C:\\Program Files\\Corvanel\\Language\\Test.lng", text);
    return lang::TLanguage(platform_, "", "");
  }

  platform::memory::MemoryPlatform platform_;
  Form form_{"Corvanel_FormMain"};
  PageControl* pages_ = nullptr;
  TabSheet* sheet_ = nullptr;
  GroupBox* group_ = nullptr;
  CheckBox* check_ = nullptr;
  RadioButton* radio_ = nullptr;
  Label* label_ = nullptr;
  Button* button_ = nullptr;
  ComboBox* combo_ = nullptr;
  TreeView* tree_ = nullptr;
  ListView* list_ = nullptr;
  Edit* edit_ = nullptr;
  Panel* panel_ = nullptr;
};

Strings NodeTexts(const TreeView& tree) {
  Strings out;
  for (const TreeNode* n : tree.AllNodes()) out.push_back(n->Text());
  return out;
}

TEST_F(TranslateTest, RewritesTheCaptionsOfEveryTranslatableClass) {
  const auto language = Language(
      "[_Corvanel_FormMain]\n"
      "Corvanel_FormMain.Caption=Titel\n"
      "TabSheet_Startup_Error.Caption=Fehler\n"
      "GroupBox_Startup_Error_SystemError.Caption=Systemfehler\n"
      "Checkbox_Startup_Error_Log.Caption=Ereignis schreiben\n"
      "Radio_Startup_Error_Restart.Caption=Neu starten\n"
      "Label_Startup_Error_Type.Caption=Art:\n"
      "Button_Startup_Default.Caption=Standard\n"
      "CB_Startup_Error_SystemError_Type.Items[1].Caption=Klein\n"
      "Tree_IE_Favorites_Show.Items[0].Caption=Favoriten\n"
      "Tree_IE_Favorites_Show.Items[2].Caption=Tief\n"
      "ListView1.Columns[1].Caption=Name\n"
      "Edit_Startup_Name.Caption=never\n"
      "Panel_Loading.Caption=never\n");
  EXPECT_TRUE(TranslateComponent(language, form_));

  EXPECT_EQ(form_.Caption(), "Titel");
  EXPECT_EQ((Strings{sheet_->Caption(), group_->Caption(), check_->Caption(), radio_->Caption(), label_->Caption(),
                     button_->Caption()}),
            (Strings{"Fehler", "Systemfehler", "Ereignis schreiben", "Neu starten", "Art:", "Standard"}));
  EXPECT_EQ(combo_->Items(), (Strings{"None", "Klein", "Full"})) << "only the item named is replaced";
  EXPECT_EQ(combo_->ItemIndex(), -1) << "the list loses its selection";
  EXPECT_EQ(NodeTexts(*tree_), (Strings{"Favoriten", "Links", "Tief", "News"})) << "nodes count in tree order";
  EXPECT_EQ(list_->Columns()[0].caption, "Drive");
  EXPECT_EQ(list_->Columns()[1].caption, "Name");
  EXPECT_EQ(list_->Items()[0].caption, "C:") << "list items are not translated";
  EXPECT_EQ(edit_->Text(), "untouched");
  EXPECT_EQ(panel_->Caption(), "panel");
}

TEST_F(TranslateTest, MissingKeysKeepTheFormsTextsAndTheFormCaptionNeedsItsKey) {
  const auto language = Language(
      "[_Corvanel_FormMain]\n"
      "Checkbox_Startup_Error_Log.Caption=Logged\n"
      "[Other_Section]\n"
      "Label_Startup_Error_Type.Caption=wrong section\n");
  EXPECT_TRUE(TranslateComponent(language, form_));
  EXPECT_EQ(form_.Caption(), "Velmora Corvanel");
  EXPECT_EQ(check_->Caption(), "Logged");
  EXPECT_EQ(label_->Caption(), "Type:");
  EXPECT_EQ(combo_->Items(), (Strings{"None", "Small", "Full"}));
  EXPECT_EQ(NodeTexts(*tree_), (Strings{"Favorites", "Links", "Deep", "News"}));
}

TEST_F(TranslateTest, SectionsAndKeysMatchWithoutRegardToCaseAndBlanks) {
  const auto language = Language(
      "[_CORVANEL_formmain]\n"
      "  checkbox_startup_error_log.caption   =   Logged  \n"
      "CB_STARTUP_ERROR_SYSTEMERROR_TYPE.ITEMS[0].CAPTION=Keine\n"
      "corvanel_formmain.caption=\"Quoted\"\n");
  EXPECT_TRUE(TranslateComponent(language, form_));
  EXPECT_EQ(check_->Caption(), "Logged");
  EXPECT_EQ(combo_->Items()[0], "Keine");
  EXPECT_EQ(form_.Caption(), "\"Quoted\"") << "quotes are part of the value";
}

TEST_F(TranslateTest, PrefixNamesTheSectionAndAComponentNeedsAName) {
  platform_.files().AddFile("C:\\Program Files\\Corvanel\\Language\\Test.lng",
                            std::string("[Pre_Corvanel_FormMain]\nCheckbox_Startup_Error_Log.Caption=Prefixed\n"
                                        "[_Corvanel_FormMain]\nCheckbox_Startup_Error_Log.Caption=Plain\n"));
  const lang::TLanguage language(platform_, "Pre", "");
  EXPECT_TRUE(TranslateComponent(language, form_));
  EXPECT_EQ(check_->Caption(), "Prefixed");

  Form unnamed;
  EXPECT_FALSE(TranslateComponent(language, unnamed));
}

TEST_F(TranslateTest, WithoutALanguageFileNothingChanges) {
  const lang::TLanguage language(platform_, "", "");
  EXPECT_TRUE(TranslateComponent(language, form_));
  EXPECT_EQ(check_->Caption(), "Write an event");
  EXPECT_EQ(form_.Caption(), "Velmora Corvanel");
}

}  // namespace
}  // namespace corvanel::forms
