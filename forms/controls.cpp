#include "forms/controls.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <stdexcept>

#include "platform/reg_text.h"

namespace corvanel::forms {

namespace {


bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Code points of a UTF-8 text; a malformed byte stands for itself.
std::vector<char32_t> DecodeUtf8(const std::string& s) {
  std::vector<char32_t> out;
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    char32_t cp = extra == 3 ? (b & 0x07u) : extra == 2 ? (b & 0x0Fu) : extra == 1 ? (b & 0x1Fu) : b;
    std::size_t j = i + 1;
    for (; extra > 0 && j < s.size() && IsContinuation(s[j]); --extra, ++j)
      cp = (cp << 6) | (static_cast<unsigned char>(s[j]) & 0x3Fu);
    if (extra > 0) {
      cp = b;
      j = i + 1;
    }
    out.push_back(cp);
    i = j;
  }
  return out;
}

std::size_t CodePointCount(const std::string& s) {
  std::size_t n = 0;
  for (char c : s) {
    if (!IsContinuation(c)) ++n;
  }
  return n;
}

void RemoveLastCodePoint(std::string& s) {
  while (!s.empty() && IsContinuation(s.back())) s.pop_back();
  if (!s.empty()) s.pop_back();
}

// The virtual-key code a typed character comes from, as far as it is unambiguous.
int VirtualKeyOf(char32_t cp) {
  if (cp >= 'a' && cp <= 'z') return static_cast<int>(cp - 'a' + 'A');
  if ((cp >= 'A' && cp <= 'Z') || (cp >= '0' && cp <= '9') || cp == ' ' || cp == 8 || cp == '\r' || cp == '\t')
    return static_cast<int>(cp);
  return 0;
}

// A plain decimal integer: optional minus, digits only, nothing around it.
bool ParseDecimal(const std::string& text, int* value) {
  if (text.empty()) return false;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(first, last, *value, 10);
  return ec == std::errc() && ptr == last;
}

template <class T>
void CheckIndex(const std::vector<T>& v, int index, const char* what) {
  if (index < 0 || index >= static_cast<int>(v.size())) throw std::out_of_range(std::string(what) + " index out of range");
}

}  // namespace

// ---------------------------------------------------------------------------------

Button::Button() { SetTabStop(true); }

bool Label::UserClick() {
  if (!CanUserReach()) return false;
  if (OnClick) OnClick(*this);
  return true;
}

void Button::Click() {
  if (OnClick) OnClick(*this);
  if (modal_result_ != ModalResult::None && OwnerForm() != nullptr) OwnerForm()->SetModalResult(modal_result_);
}

bool Button::UserClick() {
  if (!CanUserReach()) return false;
  Click();
  return true;
}

CheckBox::CheckBox() { SetTabStop(true); }

void CheckBox::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Notify(Property::Checked);
  if (OnClick) OnClick(*this);
}

bool CheckBox::UserClick() {
  if (!CanUserReach()) return false;
  SetChecked(!checked_);
  return true;
}

RadioButton::RadioButton() { SetTabStop(true); }

void RadioButton::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  if (checked && Parent() != nullptr) {
    for (Control* sibling : Parent()->Children()) {
      auto* radio = dynamic_cast<RadioButton*>(sibling);
      if (radio != nullptr && radio != this && radio->checked_) {
        radio->checked_ = false;
        radio->Notify(Property::Checked);
      }
    }
  }
  Notify(Property::Checked);
  if (checked && OnClick) OnClick(*this);
}

bool RadioButton::UserClick() {
  if (!CanUserReach()) return false;
  SetChecked(true);
  return true;
}

// ---------------------------------------------------------------------------------

ComboBox::ComboBox() { SetTabStop(true); }

void ComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  const bool had_selection = item_index_ != -1;
  item_index_ = -1;
  Notify(Property::Items);
  if (had_selection) Notify(Property::ItemIndex);
}

void ComboBox::AddItem(std::string item) {
  items_.push_back(std::move(item));
  Notify(Property::Items);
}

void ComboBox::ClearItems() {
  if (items_.empty() && item_index_ == -1) return;
  SetItems({});
}

void ComboBox::SetItemText(int index, std::string text) {
  CheckIndex(items_, index, "combo box item");
  auto& item = items_[static_cast<std::size_t>(index)];
  if (item == text) return;
  item = std::move(text);
  Notify(Property::Items);
}

void ComboBox::SetItemIndex(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) index = -1;
  if (item_index_ == index) return;
  item_index_ = index;
  Notify(Property::ItemIndex);
}

std::string ComboBox::Text() const {
  return item_index_ < 0 ? std::string() : items_[static_cast<std::size_t>(item_index_)];
}

bool ComboBox::UserSelect(int index) {
  if (!CanUserReach() || index < 0 || index >= static_cast<int>(items_.size())) return false;
  if (item_index_ == index) return true;
  item_index_ = index;
  Notify(Property::ItemIndex);
  if (OnChange) OnChange(*this);
  return true;
}

// ---------------------------------------------------------------------------------

TrackBar::TrackBar() { SetTabStop(true); }

void TrackBar::SetRange(int min, int max) {
  if (max < min) max = min;
  if (min_ == min && max_ == max) return;
  min_ = min;
  max_ = max;
  Notify(Property::Range);
  Clamp();
}

void TrackBar::SetMin(int min) { SetRange(min, std::max(max_, min)); }
void TrackBar::SetMax(int max) { SetRange(std::min(min_, max), max); }

void TrackBar::Clamp() { SetPosition(position_); }

void TrackBar::SetPosition(int position) {
  position = std::clamp(position, min_, max_);
  if (position_ == position) return;
  position_ = position;
  Notify(Property::Position);
  if (OnChange) OnChange(*this);
}

bool TrackBar::UserSetPosition(int position) {
  if (!CanUserReach()) return false;
  SetPosition(position);
  return true;
}

void TrackBar::SetFrequency(int frequency) {
  if (frequency_ == frequency) return;
  frequency_ = frequency;
  Notify(Property::Range);
}

void TrackBar::SetPageSize(int page_size) {
  if (page_size_ == page_size) return;
  page_size_ = page_size;
  Notify(Property::Range);
}

// ---------------------------------------------------------------------------------

Edit::Edit() { SetTabStop(true); }

void Edit::SetText(std::string text) {
  // A multi-line edit separates its lines with CR LF, as Windows shows and stores them; a
  // bare LF or CR (a value written by another tool) would show the lines run together.
  if (MultiLine() && text.find_first_of("\r\n") != std::string::npos) {
    std::string lines;
    lines.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char ch = text[i];
      if (ch != '\r' && ch != '\n') {
        lines += ch;
        continue;
      }
      lines += "\r\n";
      if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    text = std::move(lines);
  }
  if (text_ == text) return;
  text_ = std::move(text);
  Notify(Property::Text);
  // The up-down follows first, so a change handler reading its position sees the text.
  if (buddy_ != nullptr) buddy_->BuddyTextChanged();
  if (OnChange) OnChange(*this);
}

void Edit::SetMaxLength(int max_length) {
  if (max_length_ == max_length) return;
  max_length_ = max_length;
  Notify(Property::ReadOnly);
}

void Edit::SetReadOnly(bool read_only) {
  if (read_only_ == read_only) return;
  read_only_ = read_only;
  Notify(Property::ReadOnly);
}

void Edit::SetPasswordChar(char32_t password_char) {
  if (password_char_ == password_char) return;
  password_char_ = password_char;
  Notify(Property::ReadOnly);
}

char32_t Edit::UserKeyPress(char32_t key) {
  if (!CanUserReach()) return 0;
  if (OnKeyPress) OnKeyPress(*this, key);
  return key;
}

bool Edit::UserSetText(std::string text) {
  if (!CanUserReach() || read_only_) return false;
  SetText(std::move(text));
  return true;
}

bool Edit::UserType(char32_t key) {
  if (!CanUserReach()) return false;
  if (!Focused() && !SetFocus()) return false;
  const char32_t ch = UserKeyPress(key);
  if (ch == 0 || read_only_) return true;
  std::string text = text_;
  if (ch == 8) {
    RemoveLastCodePoint(text);
  } else if (ch == '\r' || ch == '\n') {
    if (!MultiLine()) return true;
    if (max_length_ > 0 && CodePointCount(text) + 2 > static_cast<std::size_t>(max_length_)) return true;
    text += "\r\n";
  } else if (ch < 0x20 && ch != '\t') {
    return true;  // other control characters insert nothing
  } else {
    if (max_length_ > 0 && CodePointCount(text) >= static_cast<std::size_t>(max_length_)) return true;
    platform::AppendUtf8(text, ch);
  }
  SetText(std::move(text));
  return true;
}

bool Edit::UserKeyUp(int key) {
  if (!CanUserReach()) return false;
  if (OnKeyUp) OnKeyUp(*this, key);
  return true;
}

bool Edit::UserTypeText(const std::string& text) {
  if (!CanUserReach()) return false;
  for (char32_t cp : DecodeUtf8(text)) {
    if (!UserType(cp)) return false;
    UserKeyUp(VirtualKeyOf(cp));
  }
  return true;
}

// ---------------------------------------------------------------------------------

UpDown::UpDown() = default;
UpDown::~UpDown() = default;

void UpDown::SetRange(int min, int max) {
  if (max < min) max = min;
  if (min_ == min && max_ == max) return;
  min_ = min;
  max_ = max;
  Notify(Property::Range);
  const int clamped = std::clamp(position_, min_, max_);
  if (clamped != position_) SetPosition(clamped);
}

void UpDown::SetIncrement(int increment) {
  increment = std::max(increment, 1);
  if (increment_ == increment) return;
  increment_ = increment;
  Notify(Property::Range);
}

void UpDown::SetPosition(int position) {
  position = std::clamp(position, min_, max_);
  if (position_ != position) {
    position_ = position;
    Notify(Property::Position);
  }
  WriteBuddy();
}

void UpDown::SetAssociate(Edit* edit) {
  if (associate_ == edit) return;
  if (associate_ != nullptr) associate_->buddy_ = nullptr;
  if (edit != nullptr && edit->buddy_ != nullptr) edit->buddy_->associate_ = nullptr;
  associate_ = edit;
  if (edit != nullptr) edit->buddy_ = this;
  Notify(Property::Range);
  WriteBuddy();
}

void UpDown::WriteBuddy() {
  if (associate_ != nullptr) associate_->SetText(std::to_string(position_));
}

void UpDown::BuddyTextChanged() {
  int value = 0;
  if (!ParseDecimal(associate_->Text(), &value) || value < min_ || value > max_) return;
  if (value == position_) return;
  position_ = value;
  Notify(Property::Position);
}

bool UpDown::UserStep(int direction) {
  if (!CanUserReach()) return false;
  const long long wanted = static_cast<long long>(position_) + static_cast<long long>(direction) * increment_;
  const int next = static_cast<int>(std::clamp<long long>(wanted, min_, max_));
  if (next != position_) {
    position_ = next;
    Notify(Property::Position);
    WriteBuddy();
  }
  if (OnClick) OnClick(*this);
  return true;
}

// ---------------------------------------------------------------------------------

PageControl* TabSheet::GetPageControl() const { return dynamic_cast<PageControl*>(Parent()); }

int TabSheet::PageIndex() const {
  const PageControl* pages = GetPageControl();
  if (pages == nullptr) return -1;
  const auto& sheets = pages->Sheets();
  const auto it = std::find(sheets.begin(), sheets.end(), this);
  return it == sheets.end() ? -1 : static_cast<int>(it - sheets.begin());
}

void TabSheet::SetTabVisible(bool tab_visible) {
  if (tab_visible_ == tab_visible) return;
  tab_visible_ = tab_visible;
  Notify(Property::TabVisible);
  PageControl* pages = GetPageControl();
  if (pages == nullptr) return;
  if (!tab_visible && pages->ActivePage() == this) pages->TabHidden(*this);
  if (tab_visible && pages->ActivePage() == nullptr) pages->SetActivePage(this);
}

PageControl::PageControl() { SetTabStop(true); }

bool PageControl::AcceptsChild(const Control& child) const { return child.IsA<TabSheet>(); }

TabSheet* PageControl::Page(int index) const {
  return index < 0 || index >= PageCount() ? nullptr : sheets_[static_cast<std::size_t>(index)];
}

int PageControl::ActivePageIndex() const { return active_ == nullptr ? -1 : active_->PageIndex(); }

void PageControl::SetActivePage(TabSheet* sheet) {
  if (sheet != nullptr && sheet->Parent() != this) sheet = nullptr;
  if (active_ == sheet) return;
  active_ = sheet;
  Notify(Property::ActivePage);
}

void PageControl::SetActivePageIndex(int index) { SetActivePage(Page(index)); }

bool PageControl::UserSelectTab(int index) {
  TabSheet* sheet = Page(index);
  if (!CanUserReach() || sheet == nullptr || !sheet->TabVisible()) return false;
  if (active_ == sheet) return true;
  SetActivePage(sheet);
  if (OnChange) OnChange(*this);
  return true;
}

Rect PageControl::SheetBounds() const {
  return {kSheetInsetLeft, kSheetInsetTop, std::max(0, Width() - kSheetInsetLeft - kSheetInsetRight),
          std::max(0, Height() - kSheetInsetTop - kSheetInsetBottom)};
}

void PageControl::ChildAdded(Control& child) {
  auto* sheet = dynamic_cast<TabSheet*>(&child);
  if (sheet == nullptr) return;
  sheets_.push_back(sheet);
  sheet->SetBounds(SheetBounds());
  if (active_ == nullptr && sheet->TabVisible()) SetActivePage(sheet);
}

void PageControl::TabHidden(TabSheet& sheet) {
  // The tab that slides into the hidden tab's place becomes current, else the last one.
  const int index = sheet.PageIndex();
  TabSheet* next = nullptr;
  for (int i = index + 1; i < PageCount() && next == nullptr; ++i) {
    if (Page(i)->TabVisible()) next = Page(i);
  }
  for (int i = index - 1; i >= 0 && next == nullptr; --i) {
    if (Page(i)->TabVisible()) next = Page(i);
  }
  SetActivePage(next);
}

void PageControl::LayoutSheets() {
  for (TabSheet* sheet : sheets_) sheet->SetBounds(SheetBounds());
}

// ---------------------------------------------------------------------------------

void TreeNode::SetText(std::string text) {
  if (text_ == text) return;
  text_ = std::move(text);
  tree_->NodeChanged();
}

void TreeNode::SetStateIndex(int index) {
  if (state_index_ == index) return;
  state_index_ = index;
  tree_->NodeChanged();
}

void TreeNode::SetImageIndex(int index) {
  if (image_index_ == index) return;
  image_index_ = index;
  tree_->NodeChanged();
}

void TreeNode::SetExpanded(bool expanded) {
  if (expanded_ == expanded) return;
  expanded_ = expanded;
  tree_->NodeChanged();
}

std::vector<TreeNode*> TreeNode::Children() const {
  std::vector<TreeNode*> out;
  for (const auto& c : children_) out.push_back(c.get());
  return out;
}

int TreeNode::Level() const {
  int level = 0;
  for (const TreeNode* p = parent_; p != nullptr; p = p->parent_) ++level;
  return level;
}

TreeView::TreeView() { SetTabStop(true); }
TreeView::~TreeView() = default;

TreeNode& TreeView::AddNode(TreeNode* parent, std::string text) {
  if (parent != nullptr && parent->tree_ != this) throw ModelError("tree node of another tree view");
  auto node = std::make_unique<TreeNode>();
  node->tree_ = this;
  node->parent_ = parent;
  node->text_ = std::move(text);
  TreeNode& ref = *node;
  (parent != nullptr ? parent->children_ : roots_).push_back(std::move(node));
  NodeChanged();
  return ref;
}

void TreeView::ClearNodes() {
  if (roots_.empty()) return;
  const bool had_selection = selected_ != nullptr;
  selected_ = nullptr;
  roots_.clear();
  NodeChanged();
  if (had_selection) Notify(Property::Selection);
}

std::vector<TreeNode*> TreeView::RootNodes() const {
  std::vector<TreeNode*> out;
  for (const auto& r : roots_) out.push_back(r.get());
  return out;
}

std::vector<TreeNode*> TreeView::AllNodes() const {
  std::vector<TreeNode*> out;
  // Depth first with an explicit stack: each node before its children.
  std::vector<const std::unique_ptr<TreeNode>*> stack;
  for (auto it = roots_.rbegin(); it != roots_.rend(); ++it) stack.push_back(&*it);
  while (!stack.empty()) {
    TreeNode* node = stack.back()->get();
    stack.pop_back();
    out.push_back(node);
    for (auto it = node->children_.rbegin(); it != node->children_.rend(); ++it) stack.push_back(&*it);
  }
  return out;
}

int TreeView::NodeCount() const { return static_cast<int>(AllNodes().size()); }

void TreeView::SetReadOnly(bool read_only) {
  if (read_only_ == read_only) return;
  read_only_ = read_only;
  Notify(Property::ReadOnly);
}

void TreeView::SetSelected(TreeNode* node) {
  if (node != nullptr && node->tree_ != this) throw ModelError("tree node of another tree view");
  if (selected_ == node) return;
  selected_ = node;
  Notify(Property::Selection);
}

bool TreeView::UserSelect(TreeNode* node) {
  if (!CanUserReach() || node == nullptr || node->tree_ != this) return false;
  if (selected_ == node) return true;
  selected_ = node;
  Notify(Property::Selection);
  if (OnChange) OnChange(*this);
  return true;
}

// ---------------------------------------------------------------------------------

ListView::ListView() { SetTabStop(true); }

void ListView::SetCheckboxes(bool checkboxes) {
  if (checkboxes_ == checkboxes) return;
  checkboxes_ = checkboxes;
  Notify(Property::ListItems);
}

void ListView::SetStyle(ViewStyle style) {
  if (style_ == style) return;
  style_ = style;
  Notify(Property::ListItems);
}

void ListView::AddColumn(std::string caption, int width) {
  columns_.push_back({std::move(caption), width});
  Notify(Property::Columns);
}

void ListView::SetColumnCaption(int index, std::string caption) {
  CheckIndex(columns_, index, "list view column");
  auto& column = columns_[static_cast<std::size_t>(index)];
  if (column.caption == caption) return;
  column.caption = std::move(caption);
  Notify(Property::Columns);
}

int ListView::AddItem(ListItem item) {
  items_.push_back(std::move(item));
  const int index = static_cast<int>(items_.size()) - 1;
  Notify(Property::ListItems, index);
  return index;
}

void ListView::ClearItems() {
  if (items_.empty()) return;
  items_.clear();
  const bool had_selection = item_index_ != -1;
  item_index_ = -1;
  Notify(Property::ListItems);
  if (had_selection) Notify(Property::Selection);
}

void ListView::SetItemCaption(int index, std::string caption) {
  CheckIndex(items_, index, "list view item");
  auto& item = items_[static_cast<std::size_t>(index)];
  if (item.caption == caption) return;
  item.caption = std::move(caption);
  Notify(Property::ListItems, index);
}

void ListView::SetItemChecked(int index, bool checked) {
  CheckIndex(items_, index, "list view item");
  auto& item = items_[static_cast<std::size_t>(index)];
  if (item.checked == checked) return;
  item.checked = checked;
  Notify(Property::ItemChecked, index);
}

void ListView::SetItemIndex(int index) {
  if (!ValidItem(index)) index = -1;
  if (item_index_ == index) return;
  item_index_ = index;
  Notify(Property::Selection);
}

bool ListView::UserSelect(int index) {
  if (!CanUserReach() || !ValidItem(index)) return false;
  if (item_index_ == index) return true;
  item_index_ = index;
  Notify(Property::Selection);
  if (OnChange) OnChange(*this);
  return true;
}

bool ListView::UserCheckItem(int index, bool checked) {
  if (!CanUserReach() || !checkboxes_ || !ValidItem(index)) return false;
  auto& item = items_[static_cast<std::size_t>(index)];
  if (item.checked == checked) return true;
  item.checked = checked;
  Notify(Property::ItemChecked, index);
  if (OnItemChecked) OnItemChecked(*this, index);
  return true;
}

// ---------------------------------------------------------------------------------

void Image::SetPicture(std::string picture) {
  if (picture_ == picture) return;
  picture_ = std::move(picture);
  Notify(Property::Picture);
}

void Timer::SetInterval(int milliseconds) {
  if (interval_ == milliseconds) return;
  interval_ = milliseconds;
  Notify(Property::Timer);
}

void Timer::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Notify(Property::Timer);
}

bool Timer::Tick() {
  if (!enabled_) return false;
  if (OnTimer) OnTimer(*this);
  return true;
}

}  // namespace corvanel::forms
