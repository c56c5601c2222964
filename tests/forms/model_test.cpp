// Ownership, look-up by name, observers, page controls, trees and focus order.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <tuple>
#include <vector>

#include "forms/forms.h"

namespace corvanel::forms {
namespace {

using Strings = std::vector<std::string>;

class Recorder : public FormObserver {
 public:
  void Changed(Component& component, Property property, int index) override {
    events.emplace_back(component.Name(), property, index);
  }
  std::vector<std::tuple<std::string, Property, int>> events;
};

// Windows ends the lines of a multi-line edit with CR LF; a bare LF or CR would show the
// lines run together, and be written so.
TEST(ModelTest, AMemoHoldsItsLinesWithCrLf) {
  const std::pair<const char*, const char*> rows[] = {
      {"A\nB", "A\r\nB"}, {"A\rB", "A\r\nB"}, {"A\r\nB", "A\r\nB"}, {"\n\r\n\r", "\r\n\r\n\r\n"}, {"AB", "AB"}};
  Form form("F");
  auto& memo = form.Create<Memo>(form, "Memo");
  auto& edit = form.Create<Edit>(form, "Edit");
  for (const auto& [given, held] : rows) {
    memo.SetText(given);
    EXPECT_EQ(memo.Text(), held) << given;
    edit.SetText(given);
    EXPECT_EQ(edit.Text(), given) << "a one-line edit keeps what it is given";
  }
}

TEST(ModelTest, FormFindsItsComponentsByNameWithoutRegardToCase) {
  Form form("Corvanel_FormMain");
  auto& sheet_host = form.Create<PageControl>(form, "pagctrlFiletype", {0, 0, 459, 403});
  auto& sheet = form.Create<TabSheet>(sheet_host, "TabSheet_FileType_MenuOperation");
  auto& box = form.Create<CheckBox>(sheet, "Checkbox_FileType_MenuOperation_Drive_OpenDrive");
  auto& memo = form.Create<Memo>(sheet, "Edit_UserLogin_Message_Notify_Text");
  auto& timer = form.Create<Timer>("Timer_Loading");

  EXPECT_EQ(form.FindComponent("checkbox_filetype_menuoperation_drive_opendrive"), &box);
  EXPECT_EQ(&form.Find<CheckBox>("Checkbox_FileType_MenuOperation_Drive_OpenDrive"), &box);
  EXPECT_EQ(&form.Find<Edit>("Edit_UserLogin_Message_Notify_Text"), &memo) << "a memo is an edit";
  EXPECT_EQ(form.TryFind<RadioButton>("Checkbox_FileType_MenuOperation_Drive_OpenDrive"), nullptr);
  EXPECT_EQ(form.FindComponent(""), nullptr);
  EXPECT_THROW(form.Find<CheckBox>("Checkbox_Missing"), ModelError);
  EXPECT_THROW(form.Find<RadioButton>("Checkbox_FileType_MenuOperation_Drive_OpenDrive"), ModelError);

  EXPECT_EQ(form.Components(), (std::vector<Component*>{&sheet_host, &sheet, &box, &memo, &timer}));
  EXPECT_EQ(box.Owner(), &form);
  EXPECT_EQ(box.OwnerForm(), &form);
  EXPECT_EQ(box.Parent(), &sheet);
  EXPECT_EQ(sheet.GetPageControl(), &sheet_host);
}

TEST(ModelTest, MisuseFailsLoudly) {
  Form form("F");
  auto& box = form.Create<CheckBox>(form, "Box");
  auto& pages = form.Create<PageControl>(form, "Pages");
  EXPECT_THROW(form.Create<Label>(form, "BOX"), ModelError) << "names are unique per owner";
  EXPECT_THROW(form.Create<Label>(box, "Inside"), ModelError) << "a check box holds no controls";
  EXPECT_THROW(form.Create<Label>(pages, "Loose"), ModelError) << "a page control holds only sheets";
  EXPECT_THROW(form.Create<TabSheet>(form, "Sheet"), ModelError) << "a sheet needs a page control";
  EXPECT_NO_THROW(form.Create<Label>(form, ""));
  EXPECT_NO_THROW(form.Create<Label>(form, ""));
  EXPECT_EQ(form.FindComponent("BOX"), &box);
  EXPECT_EQ(form.FindComponent("Inside"), nullptr) << "a refused control is not kept";
}

TEST(ModelTest, ObserverHearsEveryRealChangeOnce) {
  Form form("F");
  Recorder rec;
  form.AddObserver(&rec);
  auto& group = form.Create<GroupBox>(form, "Group", {0, 0, 100, 100}, "Group");
  auto& a = form.Create<RadioButton>(group, "A");
  auto& b = form.Create<RadioButton>(group, "B");
  auto& list = form.Create<ListView>(form, "List");
  rec.events.clear();

  a.SetChecked(true);
  b.SetChecked(true);
  group.SetCaption("Group");  // unchanged
  group.SetBounds({0, 0, 100, 100});
  group.SetHeight(63);
  group.SetEnabled(false);
  group.SetEnabled(false);
  list.AddItem({"A:", false, -1, 0, {}});
  list.AddItem({"B:", false, -1, 0, {}});
  list.SetItemChecked(1, true);
  b.SetFocus();  // disabled through its group: refused, nothing to tell

  using E = std::tuple<std::string, Property, int>;
  EXPECT_EQ(rec.events, (std::vector<E>{{"A", Property::Checked, -1},
                                        {"A", Property::Checked, -1},
                                        {"B", Property::Checked, -1},
                                        {"Group", Property::Bounds, -1},
                                        {"Group", Property::Enabled, -1},
                                        {"List", Property::ListItems, 0},
                                        {"List", Property::ListItems, 1},
                                        {"List", Property::ItemChecked, 1}}));

  rec.events.clear();
  auto& later = form.Create<Label>(group, "Later", {1, 2, 3, 4});
  EXPECT_EQ(rec.events, (std::vector<E>{{"Later", Property::Created, -1}}));
  EXPECT_EQ(later.Bounds(), (Rect{1, 2, 3, 4})) << "a new control is announced fully placed";

  form.RemoveObserver(&rec);
  rec.events.clear();
  later.Hide();
  EXPECT_TRUE(rec.events.empty());
}

TEST(ModelTest, VisibilityAndEnabledFollowTheParents) {
  Form form("F");
  auto& panel = form.Create<Panel>(form, "Panel");
  auto& group = form.Create<GroupBox>(panel, "Group");
  auto& box = form.Create<CheckBox>(group, "Box");
  EXPECT_TRUE(box.CanUserReach());
  panel.Hide();
  EXPECT_TRUE(box.Visible());
  EXPECT_FALSE(box.VisibleOnScreen());
  panel.Show();
  group.SetEnabled(false);
  EXPECT_TRUE(box.Enabled());
  EXPECT_FALSE(box.EnabledOnScreen());
  EXPECT_FALSE(box.CanUserReach());
}

TEST(ModelTest, HidingTheActiveTabMovesToTheTabTakingItsPlace) {
  Form form("F");
  auto& pages = form.Create<PageControl>(form, "Pages", {0, 0, 459, 403});
  std::vector<TabSheet*> s;
  for (int i = 0; i < 4; ++i) s.push_back(&form.Create<TabSheet>(pages, "Sheet" + std::to_string(i)));
  EXPECT_EQ(pages.ActivePage(), s[0]) << "the first sheet is active";
  EXPECT_EQ(s[2]->PageIndex(), 2);
  EXPECT_EQ(s[1]->Bounds(), pages.SheetBounds());

  s[0]->SetTabVisible(false);
  EXPECT_EQ(pages.ActivePage(), s[1]);
  pages.SetActivePageIndex(3);
  s[3]->SetTabVisible(false);
  EXPECT_EQ(pages.ActivePage(), s[2]) << "the last tab hidden: the one before it";
  s[1]->SetTabVisible(false);
  s[2]->SetTabVisible(false);
  EXPECT_EQ(pages.ActivePage(), nullptr);
  EXPECT_EQ(pages.PageCount(), 4) << "hidden tabs stay part of the page control";
  s[3]->SetTabVisible(true);
  EXPECT_EQ(pages.ActivePage(), s[3]);

  int changes = 0;
  pages.OnChange = [&](Component&) { ++changes; };
  EXPECT_FALSE(pages.UserSelectTab(0)) << "a hidden tab cannot be clicked";
  s[0]->SetTabVisible(true);
  EXPECT_TRUE(pages.UserSelectTab(0));
  pages.SetActivePageIndex(3);
  EXPECT_EQ(changes, 1);

  pages.SetBounds({0, 0, 300, 200});
  EXPECT_EQ(s[0]->Bounds(), (Rect{4, 24, 292, 172})) << "sheets follow the page control's size";
}

TEST(ModelTest, TreeListsAllNodesParentsBeforeChildren) {
  Form form("F");
  auto& tree = form.Create<TreeView>(form, "Tree");
  TreeNode& a = tree.AddNode(nullptr, "a");
  TreeNode& b = tree.AddNode(nullptr, "b");
  TreeNode& a1 = tree.AddNode(&a, "a1");
  TreeNode& a1x = tree.AddNode(&a1, "a1x");
  TreeNode& a2 = tree.AddNode(&a, "a2");
  TreeNode& b1 = tree.AddNode(&b, "b1");
  EXPECT_EQ(tree.AllNodes(), (std::vector<TreeNode*>{&a, &a1, &a1x, &a2, &b, &b1}));
  EXPECT_EQ(a1x.Level(), 2);
  EXPECT_EQ(a1x.Parent(), &a1);

  Form other("G");
  auto& foreign = other.Create<TreeView>(other, "Tree");
  EXPECT_THROW(foreign.AddNode(&a, "x"), ModelError);
  tree.SetSelected(&b1);
  tree.ClearNodes();
  EXPECT_EQ(tree.Selected(), nullptr);
  EXPECT_EQ(tree.NodeCount(), 0);
}

TEST(ModelTest, TabKeyFollowsTabOrderSkippingWhatCannotTakeTheFocus) {
  Form form("F");
  auto& group = form.Create<GroupBox>(form, "Group");
  auto& second = form.Create<Edit>(group, "Second");
  auto& first = form.Create<Edit>(group, "First");
  auto& hidden = form.Create<Edit>(group, "Hidden");
  auto& off = form.Create<CheckBox>(form, "Disabled");
  auto& last = form.Create<Button>(form, "Last");
  form.Create<Label>(form, "Label");
  auto& pages = form.Create<PageControl>(form, "Pages");
  auto& front = form.Create<TabSheet>(pages, "Front");
  auto& back = form.Create<TabSheet>(pages, "Back");
  auto& on_front = form.Create<CheckBox>(front, "OnFront");
  form.Create<CheckBox>(back, "OnBack");
  first.SetTabOrder(0);
  second.SetTabOrder(1);
  hidden.Hide();
  off.SetEnabled(false);
  group.SetTabOrder(0);

  EXPECT_EQ(form.FocusableControls(), (std::vector<Control*>{&first, &second, &last, &pages, &on_front}));
  Strings order;
  for (int i = 0; i < 6; ++i) {
    form.UserFocusNext();
    order.push_back(form.FocusedControl()->Name());
  }
  EXPECT_EQ(order, (Strings{"First", "Second", "Last", "Pages", "OnFront", "First"}));
  form.UserFocusNext(true);
  EXPECT_EQ(form.FocusedControl(), &on_front);
  (void)back;
}

TEST(ModelTest, ZOrderMovesAControlToEitherEnd) {
  Form form("F");
  auto& a = form.Create<Panel>(form, "A");
  auto& b = form.Create<Panel>(form, "B");
  auto& c = form.Create<Panel>(form, "C");
  a.BringToFront();
  EXPECT_EQ(form.Children(), (std::vector<Control*>{&b, &c, &a}));
  c.SendToBack();
  EXPECT_EQ(form.Children(), (std::vector<Control*>{&c, &b, &a}));
}

}  // namespace
}  // namespace corvanel::forms
