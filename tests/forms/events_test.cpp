// The toolkit's event rules: which operations raise which events, from code and from
// the user.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/forms.h"

namespace corvanel::forms {
namespace {

class EventsTest : public ::testing::Test {
 protected:
  // Records "<name>.<event>" for every event raised.
  NotifyEvent Log(const char* event) {
    return [this, event](Component& sender) { log_.push_back(sender.Name() + "." + event); };
  }

  Form form_{"Test_Form"};
  std::vector<std::string> log_;
};

using Strings = std::vector<std::string>;

TEST_F(EventsTest, CheckBoxClicksOnlyWhenItsStateChanges) {
  auto& box = form_.Create<CheckBox>(form_, "Box", {8, 8, 100, 17});
  box.OnClick = Log("Click");

  box.SetChecked(false);  // already unchecked
  box.SetChecked(true);
  box.SetChecked(true);
  box.UserClick();        // user unchecks
  box.UserClick();        // and checks again
  EXPECT_TRUE(box.Checked());
  EXPECT_EQ(log_, (Strings{"Box.Click", "Box.Click", "Box.Click"}));
}

TEST_F(EventsTest, SelectingARadioClearsItsSiblingsSilentlyAndOnlyInTheSameParent) {
  auto& left = form_.Create<GroupBox>(form_, "Left", {0, 0, 200, 100});
  auto& right = form_.Create<GroupBox>(form_, "Right", {200, 0, 200, 100});
  auto& a = form_.Create<RadioButton>(left, "A");
  auto& b = form_.Create<RadioButton>(left, "B");
  auto& other = form_.Create<RadioButton>(right, "Other");
  auto& box = form_.Create<CheckBox>(left, "Box");
  for (RadioButton* r : {&a, &b, &other}) r->OnClick = Log("Click");
  box.SetChecked(true);
  other.SetChecked(true);
  log_.clear();

  a.SetChecked(true);
  b.UserClick();
  b.UserClick();        // already selected: nothing
  b.SetChecked(true);   // likewise
  EXPECT_EQ(log_, (Strings{"A.Click", "B.Click"}));
  EXPECT_FALSE(a.Checked());
  EXPECT_TRUE(b.Checked());
  EXPECT_TRUE(other.Checked()) << "a radio in another group box is not a sibling";
  EXPECT_TRUE(box.Checked()) << "check boxes are not part of the radio group";

  log_.clear();
  b.SetChecked(false);  // clearing raises nothing and selects nothing else
  EXPECT_TRUE(log_.empty());
  EXPECT_FALSE(a.Checked());
  EXPECT_FALSE(b.Checked());
}

TEST_F(EventsTest, ComboSelectionFromCodeIsSilentAndTheUsersRaisesChange) {
  auto& combo = form_.Create<ComboBox>(form_, "Combo");
  combo.SetItems({"zero", "one", "two"});
  combo.OnChange = Log("Change");

  combo.SetItemIndex(2);
  EXPECT_EQ(combo.Text(), "two");
  EXPECT_TRUE(log_.empty());

  EXPECT_TRUE(combo.UserSelect(1));
  EXPECT_TRUE(combo.UserSelect(1));  // the same item again changes nothing
  EXPECT_FALSE(combo.UserSelect(3));
  EXPECT_EQ(log_, (Strings{"Combo.Change"}));
  EXPECT_EQ(combo.ItemIndex(), 1);

  combo.SetItemIndex(7);
  EXPECT_EQ(combo.ItemIndex(), -1) << "an index outside the list selects nothing";
  combo.SetItemIndex(0);
  combo.SetItemText(0, "nought");
  EXPECT_EQ(combo.ItemIndex(), 0) << "rewriting one item keeps the selection";
  combo.SetItems({"a", "b"});
  EXPECT_EQ(combo.ItemIndex(), -1) << "a new list has no selection";
  EXPECT_EQ(log_.size(), 1u);
}

TEST_F(EventsTest, TrackBarKeepsItsPositionInRangeAndRaisesChangeWhenItMoves) {
  struct Row {
    int min, max, start;
    std::function<void(TrackBar&)> act;
    int position;
    int changes;
  };
  const Row rows[] = {
      {0, 10, 5, [](TrackBar& t) { t.SetPosition(7); }, 7, 1},
      {0, 10, 5, [](TrackBar& t) { t.SetPosition(5); }, 5, 0},
      {0, 10, 5, [](TrackBar& t) { t.SetPosition(99); }, 10, 1},
      {0, 10, 5, [](TrackBar& t) { t.SetPosition(-3); }, 0, 1},
      {0, 10, 10, [](TrackBar& t) { t.SetPosition(11); }, 10, 0},
      {0, 10, 8, [](TrackBar& t) { t.SetMax(6); }, 6, 1},
      {0, 10, 2, [](TrackBar& t) { t.SetMin(4); }, 4, 1},
      {0, 10, 5, [](TrackBar& t) { t.SetRange(1, 20); }, 5, 0},
      {0, 10, 5, [](TrackBar& t) { t.SetMin(30); }, 30, 1},  // max follows the new min
      {0, 10, 5, [](TrackBar& t) { t.UserSetPosition(3); }, 3, 1},
  };
  int i = 0;
  for (const Row& row : rows) {
    Form form("F");
    auto& bar = form.Create<TrackBar>(form, "Bar");
    bar.SetRange(row.min, row.max);
    bar.SetPosition(row.start);
    int changes = 0;
    bar.OnChange = [&](Component&) { ++changes; };
    row.act(bar);
    EXPECT_EQ(bar.Position(), row.position) << "row " << i;
    EXPECT_EQ(changes, row.changes) << "row " << i;
    EXPECT_LE(bar.Min(), bar.Max()) << "row " << i;
    ++i;
  }
}

TEST_F(EventsTest, EditRaisesChangeOnlyWhenItsTextChanges) {
  auto& edit = form_.Create<Edit>(form_, "Edit");
  edit.OnChange = Log("Change");
  edit.SetText("abc");
  edit.SetText("abc");
  edit.UserSetText("abc");
  edit.UserSetText("abd");
  EXPECT_EQ(log_, (Strings{"Edit.Change", "Edit.Change"}));
}

TEST_F(EventsTest, TypingRunsTheKeyFilterAndRespectsMaxLengthAndReadOnly) {
  auto& edit = form_.Create<Edit>(form_, "Edit");
  // A digits-only filter, as numeric fields install.
  edit.OnKeyPress = [](Component&, char32_t& key) {
    if (!((key >= '0' && key <= '9') || key == 8)) key = 0;
  };
  std::vector<int> keys_up;
  edit.OnKeyUp = [&](Component&, int key) { keys_up.push_back(key); };
  edit.OnChange = Log("Change");
  edit.SetMaxLength(3);

  edit.UserTypeText("1a2\x16" "34");  // letters and Ctrl+V are discarded, the 4th digit is over the limit
  EXPECT_EQ(edit.Text(), "123");
  EXPECT_EQ(log_.size(), 3u);
  EXPECT_EQ(keys_up, (std::vector<int>{'1', 'A', '2', 0, '3', '4'})) << "every key is released";
  EXPECT_TRUE(edit.Focused()) << "typing puts the focus into the edit";

  edit.UserType(8);
  EXPECT_EQ(edit.Text(), "12");
  EXPECT_EQ(edit.UserKeyPress('x'), 0u) << "the renderer gets the filtered key";
  EXPECT_EQ(edit.UserKeyPress('7'), U'7');

  edit.SetReadOnly(true);
  edit.UserType('9');
  EXPECT_FALSE(edit.UserSetText("999"));
  EXPECT_EQ(edit.Text(), "12");
  edit.SetText("code may still write");
  EXPECT_EQ(edit.Text(), "code may still write");
}

TEST_F(EventsTest, TypingHandlesMultiByteCharactersAndLineBreaks) {
  auto& edit = form_.Create<Edit>(form_, "Edit");
  auto& memo = form_.Create<Memo>(form_, "Memo");
  edit.SetMaxLength(2);
  edit.UserTypeText("\xC3\xA9\xE2\x82\xAC\xE2\x82\xAC");  // e-acute, euro, euro
  EXPECT_EQ(edit.Text(), "\xC3\xA9\xE2\x82\xAC") << "the limit counts characters, not bytes";
  edit.UserType(8);
  EXPECT_EQ(edit.Text(), "\xC3\xA9") << "backspace removes a whole character";
  edit.UserType('\r');
  EXPECT_EQ(edit.Text(), "\xC3\xA9") << "a one-line edit takes no line break";
  memo.UserTypeText("a\rb");
  EXPECT_EQ(memo.Text(), "a\r\nb");
  EXPECT_TRUE(memo.IsA<Edit>());
}

TEST_F(EventsTest, MovingTheFocusRaisesExitThenEnter) {
  auto& first = form_.Create<Edit>(form_, "First");
  auto& second = form_.Create<Edit>(form_, "Second");
  auto& label = form_.Create<Label>(form_, "Label");
  bool first_focused_in_exit = true;
  first.OnEnter = Log("Enter");
  first.OnExit = [&](Component& c) {
    first_focused_in_exit = first.Focused();
    log_.push_back(c.Name() + ".Exit");
  };
  second.OnEnter = Log("Enter");
  second.OnExit = Log("Exit");

  EXPECT_TRUE(first.UserFocus());
  EXPECT_TRUE(first.SetFocus());  // already focused: nothing
  EXPECT_TRUE(second.UserFocus());
  EXPECT_FALSE(label.SetFocus()) << "a label takes no focus";
  form_.ClearFocus();
  EXPECT_EQ(log_, (Strings{"First.Enter", "First.Exit", "Second.Enter", "Second.Exit"}));
  EXPECT_FALSE(first_focused_in_exit) << "the focus has already moved on while OnExit runs";
  EXPECT_EQ(form_.FocusedControl(), nullptr);
}

TEST_F(EventsTest, UpDownWritesItsPositionIntoTheEditAndFollowsWhatIsTyped) {
  auto& edit = form_.Create<Edit>(form_, "Edit", {0, 0, 40, 21});
  auto& updown = form_.Create<UpDown>(form_, "UpDown", {40, 0, 16, 21});
  updown.SetRange(1, 100);
  updown.SetPosition(64);
  updown.SetAssociate(&edit);
  EXPECT_EQ(edit.Text(), "64");
  edit.OnChange = [&](Component&) { log_.push_back("Edit.Change " + edit.Text() + " at " + std::to_string(updown.Position())); };
  updown.OnClick = Log("Click");

  updown.SetPosition(1000);  // code: clamped, written, no click
  EXPECT_EQ(updown.Position(), 100);
  EXPECT_EQ(log_, (Strings{"Edit.Change 100 at 100"}));

  log_.clear();
  updown.UserClickUp();    // at the top: stays, but the click is still reported
  updown.UserClickDown();  // the edit changes first, then the click
  EXPECT_EQ(log_, (Strings{"UpDown.Click", "Edit.Change 99 at 99", "UpDown.Click"}));

  log_.clear();
  edit.UserSetText("12");
  EXPECT_EQ(updown.Position(), 12) << "typing moves the position before the edit's change event";
  edit.UserSetText("");
  edit.UserSetText("500");
  edit.UserSetText("1,5");
  EXPECT_EQ(updown.Position(), 12) << "text that is no number in range leaves the position";
  updown.UserClickUp();
  EXPECT_EQ(edit.Text(), "13");
  updown.SetPosition(13);  // same position: the edit shows it, nothing changes
  EXPECT_EQ(log_.back(), "UpDown.Click");

  edit.UserSetText("abc");
  log_.clear();
  updown.SetPosition(13);  // same position, but the edit shows something else: rewritten
  EXPECT_EQ(log_, (Strings{"Edit.Change 13 at 13"}));
}

TEST_F(EventsTest, UpDownRangeChangeClampsAndSwitchingBuddiesDetachesTheOld) {
  auto& one = form_.Create<Edit>(form_, "One");
  auto& two = form_.Create<Edit>(form_, "Two");
  auto& updown = form_.Create<UpDown>(form_, "UpDown");
  updown.SetAssociate(&one);
  updown.SetPosition(50);
  updown.SetRange(0, 20);
  EXPECT_EQ(updown.Position(), 20);
  EXPECT_EQ(one.Text(), "20");
  updown.SetAssociate(&two);
  EXPECT_EQ(one.Buddy(), nullptr);
  EXPECT_EQ(two.Buddy(), &updown);
  one.SetText("5");
  EXPECT_EQ(updown.Position(), 20) << "the old edit no longer drives the position";
  EXPECT_EQ(two.Text(), "20");
}

// A numeric field as the pages build it: the change handler caps what is typed by setting
// the text from inside OnChange, which raises OnChange again.
TEST_F(EventsTest, ChangeHandlerMayRewriteTheTextItIsReactingTo) {
  auto& edit = form_.Create<Edit>(form_, "Edit_Count");
  auto& updown = form_.Create<UpDown>(form_, "UpDown_Count");
  updown.SetRange(1, 100);
  updown.SetAssociate(&edit);
  std::vector<int> forwarded;
  edit.OnChange = [&](Component&) {
    if (edit.Focused() && !edit.Text().empty() && std::stoi(edit.Text()) > 100) edit.SetText("100");
    forwarded.push_back(updown.Position());
  };
  edit.UserSetText("");
  forwarded.clear();
  edit.UserTypeText("150");
  EXPECT_EQ(edit.Text(), "100");
  EXPECT_EQ(updown.Position(), 100);
  EXPECT_EQ(forwarded, (std::vector<int>{1, 15, 100, 100})) << "\"1\", \"15\", the capped text, the typed 150";
}

TEST_F(EventsTest, UserOperationsDoNothingOnHiddenOrDisabledControls) {
  struct Row {
    const char* name;
    std::function<bool(Form&, Control&)> act;  // builds a control in the given parent, acts
  };
  const Row rows[] = {
      {"check box", [](Form& f, Control& p) { return f.Create<CheckBox>(p, "C").UserClick(); }},
      {"radio", [](Form& f, Control& p) { return f.Create<RadioButton>(p, "C").UserClick(); }},
      {"button", [](Form& f, Control& p) { return f.Create<Button>(p, "C").UserClick(); }},
      {"link label", [](Form& f, Control& p) { return f.Create<Label>(p, "C").UserClick(); }},
      {"combo", [](Form& f, Control& p) {
         auto& c = f.Create<ComboBox>(p, "C");
         c.SetItems({"a"});
         return c.UserSelect(0);
       }},
      {"track bar", [](Form& f, Control& p) { return f.Create<TrackBar>(p, "C").UserSetPosition(3); }},
      {"edit", [](Form& f, Control& p) { return f.Create<Edit>(p, "C").UserType('1'); }},
      {"up-down", [](Form& f, Control& p) { return f.Create<UpDown>(p, "C").UserClickUp(); }},
  };
  for (const Row& row : rows) {
    for (int way = 0; way < 3; ++way) {
      Form form("F");
      auto& group = form.Create<GroupBox>(form, "Group");
      int events = 0;
      if (way == 0) group.SetEnabled(false);
      if (way == 1) group.SetVisible(false);
      if (way == 2) {
        EXPECT_TRUE(row.act(form, group)) << row.name << " reachable";
        continue;
      }
      EXPECT_FALSE(row.act(form, group)) << row.name << (way == 0 ? " in a disabled box" : " in a hidden box");
      auto* control = form.TryFind<Control>("C");
      ASSERT_NE(control, nullptr);
      if (auto* c = dynamic_cast<CheckBox*>(control)) events += c->Checked();
      if (auto* c = dynamic_cast<RadioButton*>(control)) events += c->Checked();
      if (auto* c = dynamic_cast<ComboBox*>(control)) events += c->ItemIndex() != -1;
      if (auto* c = dynamic_cast<TrackBar*>(control)) events += c->Position() != 0;
      if (auto* c = dynamic_cast<Edit*>(control)) events += !c->Text().empty();
      if (auto* c = dynamic_cast<UpDown*>(control)) events += c->Position() != 0;
      EXPECT_EQ(events, 0) << row.name << " changed although unreachable";
    }
  }
}

TEST_F(EventsTest, ButtonClickRaisesItsEventAndSetsTheFormsResult) {
  auto& ok = form_.Create<Button>(form_, "Button_OK");
  auto& plain = form_.Create<Button>(form_, "Plain");
  ok.SetModalResult(ModalResult::Ok);
  ok.OnClick = Log("Click");
  plain.OnClick = Log("Click");
  plain.Click();
  EXPECT_EQ(form_.Result(), ModalResult::None);
  ok.UserClick();
  EXPECT_EQ(form_.Result(), ModalResult::Ok);
  EXPECT_EQ(log_, (Strings{"Plain.Click", "Button_OK.Click"}));
}

TEST_F(EventsTest, ListViewAndTreeRaiseOnlyForTheUser) {
  auto& list = form_.Create<ListView>(form_, "List");
  auto& tree = form_.Create<TreeView>(form_, "Tree");
  list.SetCheckboxes(true);
  list.AddItem({"A:", false, -1, 0, {}});
  list.AddItem({"B:", false, -1, 1, {}});
  std::vector<int> checked;
  list.OnItemChecked = [&](Component&, int index) { checked.push_back(index); };
  tree.OnChange = Log("Change");
  TreeNode& root = tree.AddNode(nullptr, "root");
  TreeNode& child = tree.AddNode(&root, "child");

  list.SetItemChecked(0, true);
  list.UserCheckItem(1, true);
  list.UserCheckItem(1, true);
  list.UserCheckItem(0, false);
  EXPECT_EQ(checked, (std::vector<int>{1, 0}));
  EXPECT_FALSE(list.Items()[0].checked);

  tree.SetSelected(&root);
  tree.UserSelect(&child);
  tree.UserSelect(&child);
  EXPECT_EQ(log_, (Strings{"Tree.Change"}));
  EXPECT_EQ(tree.Selected(), &child);

  list.SetCheckboxes(false);
  EXPECT_FALSE(list.UserCheckItem(0, true)) << "without check boxes the user cannot check";
}

TEST_F(EventsTest, TimerTicksOnlyWhileEnabled) {
  auto& timer = form_.Create<Timer>("Timer_Click");
  timer.OnTimer = Log("Timer");
  timer.SetInterval(100);
  EXPECT_TRUE(timer.Tick());
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Tick());
  EXPECT_EQ(log_, (Strings{"Timer_Click.Timer"}));
}

}  // namespace
}  // namespace corvanel::forms
