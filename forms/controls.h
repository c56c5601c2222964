// The kinds of controls pages are built from, with the toolkit's event rules:
// - a check box raises OnClick only when its state changes (from code or the user);
// - a radio button raises OnClick only when it becomes selected; selecting it clears the
//   radio buttons beside it in the same parent, which raises nothing;
// - a track bar raises OnChange when its position changes; the position is kept inside
//   [Min, Max], also when the range moves;
// - an edit raises OnChange when its text changes (from code or the user), OnKeyPress and
//   OnKeyUp as the user types, OnEnter and OnExit as the focus moves;
// - an up-down keeps its position in range and writes it into its buddy edit (raising the
//   edit's OnChange when the text differs); a user arrow click moves it by the increment,
//   then raises the up-down's OnClick; a position set from code raises no OnClick;
// - a selection made from code in a combo box, tree or list raises nothing; the user's
//   selection raises OnChange.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "forms/component.h"
#include "forms/form.h"

namespace corvanel::forms {

class Label : public Control {
 public:
  ComponentKind Kind() const override { return ComponentKind::Label; }
  const char* ClassName() const override { return "Label"; }
  bool AcceptsChild(const Control&) const override { return false; }

  // A label the user can click (a link): the renderer shows the hand over it.
  bool HandCursor() const { return hand_cursor_; }
  void SetHandCursor(bool hand) { hand_cursor_ = hand; }
  // User: raises OnClick when the user can reach the label.
  bool UserClick();
  NotifyEvent OnClick;

 private:
  bool hand_cursor_ = false;
};

class Button : public Control {
 public:
  Button();
  ComponentKind Kind() const override { return ComponentKind::Button; }
  const char* ClassName() const override { return "Button"; }
  bool AcceptsChild(const Control&) const override { return false; }
  bool CanFocusKind() const override { return true; }

  // What pressing the button sets as its form's result (None: nothing).
  ModalResult GetModalResult() const { return modal_result_; }
  void SetModalResult(ModalResult result) { modal_result_ = result; }

  // Code: raises OnClick (as the toolkit's Click does), then sets the form's result.
  void Click();
  // User: the same, when the user can reach the button.
  bool UserClick();
  NotifyEvent OnClick;

 private:
  ModalResult modal_result_ = ModalResult::None;
};

class GroupBox : public Control {
 public:
  ComponentKind Kind() const override { return ComponentKind::GroupBox; }
  const char* ClassName() const override { return "GroupBox"; }
};

class Panel : public Control {
 public:
  ComponentKind Kind() const override { return ComponentKind::Panel; }
  const char* ClassName() const override { return "Panel"; }
};

class CheckBox : public Control {
 public:
  CheckBox();
  ComponentKind Kind() const override { return ComponentKind::CheckBox; }
  const char* ClassName() const override { return "CheckBox"; }
  bool AcceptsChild(const Control&) const override { return false; }
  bool CanFocusKind() const override { return true; }

  bool Checked() const { return checked_; }
  // Raises OnClick when the state changes.
  void SetChecked(bool checked);
  // Toggles the state (and so raises OnClick).
  bool UserClick();
  NotifyEvent OnClick;

 private:
  bool checked_ = false;
};

class RadioButton : public Control {
 public:
  RadioButton();
  ComponentKind Kind() const override { return ComponentKind::RadioButton; }
  const char* ClassName() const override { return "RadioButton"; }
  bool AcceptsChild(const Control&) const override { return false; }
  bool CanFocusKind() const override { return true; }

  bool Checked() const { return checked_; }
  // Selecting clears the sibling radio buttons (silently) and raises OnClick; clearing
  // raises nothing.
  void SetChecked(bool checked);
  // Selects it; a click on the selected one changes nothing.
  bool UserClick();
  NotifyEvent OnClick;

 private:
  bool checked_ = false;
};

// A drop-down list.
class ComboBox : public Control {
 public:
  ComboBox();
  ComponentKind Kind() const override { return ComponentKind::ComboBox; }
  const char* ClassName() const override { return "ComboBox"; }
  bool AcceptsChild(const Control&) const override { return false; }
  bool CanFocusKind() const override { return true; }

  const std::vector<std::string>& Items() const { return items_; }
  // Replacing or clearing the whole list leaves nothing selected.
  void SetItems(std::vector<std::string> items);
  void AddItem(std::string item);
  void ClearItems();
  // Rewrites one item; the selection stays.
  void SetItemText(int index, std::string text);

  // -1: nothing selected.
  int ItemIndex() const { return item_index_; }
  // Silent; an index outside the list selects nothing.
  void SetItemIndex(int index);
  // The selected item's text, or empty.
  std::string Text() const;
  // The user picks item `index`: raises OnChange when the selection changes.
  bool UserSelect(int index);
  NotifyEvent OnChange;

 private:
  std::vector<std::string> items_;
  int item_index_ = -1;
};

class TrackBar : public Control {
 public:
  TrackBar();
  ComponentKind Kind() const override { return ComponentKind::TrackBar; }
  const char* ClassName() const override { return "TrackBar"; }
  bool AcceptsChild(const Control&) const override { return false; }
  bool CanFocusKind() const override { return true; }

  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  // A range with max below min is made empty at the new bound. The position is clamped
  // into the new range (raising OnChange when it moves).
  void SetMin(int min);
  void SetMax(int max);
  void SetRange(int min, int max);
  // Clamped to [Min, Max]; raises OnChange when the position changes.
  void SetPosition(int position);
  bool UserSetPosition(int position);
  int Frequency() const { return frequency_; }
  void SetFrequency(int frequency);
  int PageSize() const { return page_size_; }
  void SetPageSize(int page_size);
  NotifyEvent OnChange;

 private:
  void Clamp();
  int min_ = 0;
  int max_ = 10;
  int position_ = 0;
  int frequency_ = 1;
  int page_size_ = 2;
};

class UpDown;

class Edit : public Control {
 public:
  Edit();
  ComponentKind Kind() const override { return ComponentKind::Edit; }
  const char* ClassName() const override { return "Edit"; }
  bool AcceptsChild(const Control&) const override { return false; }
  bool CanFocusKind() const override { return true; }

  const std::string& Text() const { return text_; }
  // Raises OnChange when the text changes.
  void SetText(std::string text);

  // 0: no limit. Limits what the user types (in characters), not what code sets.
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int max_length);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool read_only);
  // 0: the text is shown as typed.
  char32_t PasswordChar() const { return password_char_; }
  void SetPasswordChar(char32_t password_char);
  virtual bool MultiLine() const { return false; }

  // The up-down attached to this edit, or null.
  UpDown* Buddy() const { return buddy_; }

  // User input. The renderer, whose real edit does the editing, uses UserKeyPress (the key
  // filter: returns the character to insert, 0 when discarded) and UserSetText (the text
  // after the user's edit). UserType does both for tests: it focuses the edit, runs the
  // key filter and appends the character at the end (backspace, 8, removes the last one),
  // within MaxLength and not when read-only.
  char32_t UserKeyPress(char32_t key);
  bool UserSetText(std::string text);
  bool UserType(char32_t key);
  bool UserKeyUp(int key);
  // Types every character of a UTF-8 text, each followed by its key-up (the virtual-key
  // code of the character: letters upper case, digits, space, backspace; 0 for others).
  bool UserTypeText(const std::string& text);

  NotifyEvent OnChange;
  KeyPressEvent OnKeyPress;
  KeyEvent OnKeyUp;

 private:
  std::string text_;
  int max_length_ = 0;
  bool read_only_ = false;
  char32_t password_char_ = 0;
  UpDown* buddy_ = nullptr;

  friend class UpDown;
};

class Memo : public Edit {
 public:
  ComponentKind Kind() const override { return ComponentKind::Memo; }
  const char* ClassName() const override { return "Memo"; }
  bool MultiLine() const override { return true; }
};

// Increment 1, no thousands separator, no wrap-around.
class UpDown : public Control {
 public:
  UpDown();
  ~UpDown() override;
  ComponentKind Kind() const override { return ComponentKind::UpDown; }
  const char* ClassName() const override { return "UpDown"; }
  bool AcceptsChild(const Control&) const override { return false; }

  int Min() const { return min_; }
  int Max() const { return max_; }
  // The range is fixed as given (max below min is made min); the position is clamped.
  void SetRange(int min, int max);
  void SetMin(int min) { SetRange(min, max_ < min ? min : max_); }
  void SetMax(int max) { SetRange(min_ > max ? max : min_, max); }
  int Increment() const { return increment_; }
  void SetIncrement(int increment);

  // Follows the buddy edit: when its text changes to a decimal number inside the range,
  // that number becomes the position (as the real control reads its buddy).
  int Position() const { return position_; }
  // Clamped into range; writes the position into the buddy (also when unchanged, so the
  // edit shows the position again). Raises no OnClick.
  void SetPosition(int position);

  Edit* Associate() const { return associate_; }
  // Attaches the buddy edit and writes the position into it.
  void SetAssociate(Edit* edit);

  // The user clicks an arrow: the position moves by the increment within the range, the
  // buddy shows it, then OnClick runs (also at the end of the range, as the real control
  // reports every click).
  bool UserClickUp() { return UserStep(+1); }
  bool UserClickDown() { return UserStep(-1); }
  bool UserStep(int direction);
  NotifyEvent OnClick;

 private:
  void WriteBuddy();
  void BuddyTextChanged();
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int increment_ = 1;
  Edit* associate_ = nullptr;

  friend class Edit;
};

class PageControl;

class TabSheet : public Control {
 public:
  ComponentKind Kind() const override { return ComponentKind::TabSheet; }
  const char* ClassName() const override { return "TabSheet"; }

  PageControl* GetPageControl() const;
  // Position among its page control's sheets.
  int PageIndex() const;
  // A sheet with a hidden tab stays part of its page control.
  bool TabVisible() const { return tab_visible_; }
  void SetTabVisible(bool tab_visible);

 private:
  bool tab_visible_ = true;
};

class PageControl : public Control {
 public:
  // Where a sheet sits inside its page control: below the tab row, inside the border.
  static constexpr int kSheetInsetLeft = 4;
  static constexpr int kSheetInsetTop = 24;
  static constexpr int kSheetInsetRight = 4;
  static constexpr int kSheetInsetBottom = 4;

  PageControl();
  ComponentKind Kind() const override { return ComponentKind::PageControl; }
  const char* ClassName() const override { return "PageControl"; }
  bool AcceptsChild(const Control& child) const override;
  bool CanFocusKind() const override { return true; }

  const std::vector<TabSheet*>& Sheets() const { return sheets_; }
  int PageCount() const { return static_cast<int>(sheets_.size()); }
  TabSheet* Page(int index) const;
  // The first sheet added is active. Hiding the tab of the active sheet moves to the
  // sheet whose tab takes its place (or the last visible tab); none when no tab is shown.
  TabSheet* ActivePage() const { return active_; }
  int ActivePageIndex() const;
  // Silent; null or a foreign sheet makes none active.
  void SetActivePage(TabSheet* sheet);
  void SetActivePageIndex(int index);
  // The user clicks a visible tab: raises OnChange when the page changes.
  bool UserSelectTab(int index);
  NotifyEvent OnChange;

  // The sheet rectangle for the current size.
  Rect SheetBounds() const;

 protected:
  void ChildAdded(Control& child) override;

 private:
  void TabHidden(TabSheet& sheet);
  void LayoutSheets();
  std::vector<TabSheet*> sheets_;
  TabSheet* active_ = nullptr;

  friend class TabSheet;
  friend class Control;
};

class TreeView;

class TreeNode {
 public:
  const std::string& Text() const { return text_; }
  void SetText(std::string text);
  int StateIndex() const { return state_index_; }
  void SetStateIndex(int index);
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int index);
  bool Expanded() const { return expanded_; }
  void SetExpanded(bool expanded);
  // A number the program attaches (an index into its own table, a flag).
  std::int64_t Data() const { return data_; }
  void SetData(std::int64_t data) { data_ = data; }

  TreeNode* Parent() const { return parent_; }
  std::vector<TreeNode*> Children() const;
  int Level() const;
  TreeView& Tree() const { return *tree_; }

 private:
  TreeView* tree_ = nullptr;
  TreeNode* parent_ = nullptr;
  std::string text_;
  int state_index_ = -1;
  int image_index_ = -1;
  bool expanded_ = false;
  std::int64_t data_ = 0;
  std::vector<std::unique_ptr<TreeNode>> children_;

  friend class TreeView;
};

class TreeView : public Control {
 public:
  TreeView();
  ~TreeView() override;
  ComponentKind Kind() const override { return ComponentKind::TreeView; }
  const char* ClassName() const override { return "TreeView"; }
  bool AcceptsChild(const Control&) const override { return false; }
  bool CanFocusKind() const override { return true; }

  // Adds a node at the end of `parent`'s children (a root node when null).
  TreeNode& AddNode(TreeNode* parent, std::string text);
  void ClearNodes();
  std::vector<TreeNode*> RootNodes() const;
  // Every node in tree order: each node before its children, depth first.
  std::vector<TreeNode*> AllNodes() const;
  int NodeCount() const;

  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool read_only);

  TreeNode* Selected() const { return selected_; }
  // Silent.
  void SetSelected(TreeNode* node);
  // The user selects a node: raises OnChange when the selection changes.
  bool UserSelect(TreeNode* node);
  NotifyEvent OnChange;

 private:
  void NodeChanged() { Notify(Property::Nodes); }
  std::vector<std::unique_ptr<TreeNode>> roots_;
  TreeNode* selected_ = nullptr;
  bool read_only_ = false;

  friend class TreeNode;
};

struct ListColumn {
  std::string caption;
  int width = 50;
};

struct ListItem {
  std::string caption;
  bool checked = false;
  int image_index = -1;
  std::int64_t data = 0;
  std::vector<std::string> sub_items;
};

enum class ViewStyle { Icon, SmallIcon, List, Report };

class ListView : public Control {
 public:
  ListView();
  ComponentKind Kind() const override { return ComponentKind::ListView; }
  const char* ClassName() const override { return "ListView"; }
  bool AcceptsChild(const Control&) const override { return false; }
  bool CanFocusKind() const override { return true; }

  bool Checkboxes() const { return checkboxes_; }
  void SetCheckboxes(bool checkboxes);
  ViewStyle Style() const { return style_; }
  void SetStyle(ViewStyle style);

  const std::vector<ListColumn>& Columns() const { return columns_; }
  void AddColumn(std::string caption, int width = 50);
  void SetColumnCaption(int index, std::string caption);

  const std::vector<ListItem>& Items() const { return items_; }
  int AddItem(ListItem item);
  void ClearItems();
  void SetItemCaption(int index, std::string caption);
  // Silent (code).
  void SetItemChecked(int index, bool checked);

  // -1: nothing selected. Code selection is silent.
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int index);
  bool UserSelect(int index);
  // The user toggles an item's check mark: raises OnItemChecked when it changes.
  bool UserCheckItem(int index, bool checked);
  NotifyEvent OnChange;
  ItemEvent OnItemChecked;

 private:
  bool ValidItem(int index) const { return index >= 0 && index < static_cast<int>(items_.size()); }
  bool checkboxes_ = false;
  ViewStyle style_ = ViewStyle::Icon;
  std::vector<ListColumn> columns_;
  std::vector<ListItem> items_;
  int item_index_ = -1;
};

class Image : public Control {
 public:
  ComponentKind Kind() const override { return ComponentKind::Image; }
  const char* ClassName() const override { return "Image"; }
  bool AcceptsChild(const Control&) const override { return false; }

  // The resource name of the picture shown ("Picture_3"); empty: none.
  const std::string& Picture() const { return picture_; }
  void SetPicture(std::string picture);

 private:
  std::string picture_;
};

// A non-visual component: the renderer runs a system timer while it is enabled.
class Timer : public Component {
 public:
  ComponentKind Kind() const override { return ComponentKind::Timer; }
  const char* ClassName() const override { return "Timer"; }

  int Interval() const { return interval_; }
  void SetInterval(int milliseconds);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // One tick: raises OnTimer when enabled (the renderer calls it on WM_TIMER).
  bool Tick();
  NotifyEvent OnTimer;

 private:
  int interval_ = 1000;
  bool enabled_ = true;
};

}  // namespace corvanel::forms
