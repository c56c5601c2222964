#include "forms/component.h"

#include <algorithm>

#include "forms/controls.h"
#include "forms/form.h"

namespace corvanel::forms {

namespace {

// Component names are identifiers; the toolkit compares them without regard to case.
std::string FoldName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

}  // namespace

bool Rect::Intersects(const Rect& o) const {
  return left < o.Right() && o.left < Right() && top < o.Bottom() && o.top < Bottom();
}

bool Rect::Contains(const Rect& o) const {
  return o.left >= left && o.top >= top && o.Right() <= Right() && o.Bottom() <= Bottom();
}

Component::~Component() {
  // Later components may refer to earlier ones (an up-down to its edit); free them first.
  while (!owned_.empty()) owned_.pop_back();
}

Component* Component::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  const auto it = by_name_.find(FoldName(name));
  return it == by_name_.end() ? nullptr : it->second;
}

void Component::Notify(Property property, int index) {
  if (form_ != nullptr) form_->Broadcast(*this, property, index);
}

void Component::Adopt(std::unique_ptr<Component> child, std::string name) {
  if (!name.empty()) {
    std::string folded = FoldName(name);
    if (by_name_.count(folded) != 0)
      throw ModelError("a component named \"" + name + "\" already exists in \"" + name_ + "\"");
    by_name_.emplace(std::move(folded), child.get());
  }
  child->name_ = std::move(name);
  child->owner_ = this;
  child->form_ = form_;
  owned_view_.push_back(child.get());
  owned_.push_back(std::move(child));
}

void Component::PlaceIn(Control& child, Control& parent, Rect bounds, std::string caption) {
  child.parent_ = &parent;
  child.tab_order_ = static_cast<int>(parent.children_.size());
  child.bounds_ = bounds;
  child.caption_ = std::move(caption);
  parent.children_.push_back(&child);
  parent.ChildAdded(child);
}

// ---------------------------------------------------------------------------------
// Control

std::vector<Control*> Control::ChildrenInTabOrder() const {
  std::vector<Control*> ordered = children_;
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const Control* a, const Control* b) { return a->tab_order_ < b->tab_order_; });
  return ordered;
}

bool Control::AcceptsChild(const Control& child) const {
  return !child.IsA<TabSheet>() && !child.IsA<Form>();
}

void Control::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Notify(Property::Visible);
}

void Control::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Notify(Property::Enabled);
}

bool Control::VisibleOnScreen() const {
  for (const Control* c = this; c != nullptr; c = c->parent_) {
    if (!c->visible_) return false;
  }
  return true;
}

bool Control::EnabledOnScreen() const {
  for (const Control* c = this; c != nullptr; c = c->parent_) {
    if (!c->enabled_) return false;
  }
  return true;
}

void Control::SetBounds(Rect bounds) {
  if (bounds_ == bounds) return;
  bounds_ = bounds;
  Notify(Property::Bounds);
  if (auto* pages = dynamic_cast<PageControl*>(this)) pages->LayoutSheets();
}

void Control::SetLeft(int v) { SetBounds({v, bounds_.top, bounds_.width, bounds_.height}); }
void Control::SetTop(int v) { SetBounds({bounds_.left, v, bounds_.width, bounds_.height}); }
void Control::SetWidth(int v) { SetBounds({bounds_.left, bounds_.top, v, bounds_.height}); }
void Control::SetHeight(int v) { SetBounds({bounds_.left, bounds_.top, bounds_.width, v}); }

void Control::SetCaption(std::string caption) {
  if (caption_ == caption) return;
  caption_ = std::move(caption);
  Notify(Property::Caption);
}

void Control::SetFont(Font font) {
  if (font_ == font) return;
  font_ = std::move(font);
  Notify(Property::Font);
}

void Control::SetBold(bool bold) {
  Font f = font_;
  f.bold = bold;
  SetFont(std::move(f));
}

void Control::SetFontColor(Color color) {
  Font f = font_;
  f.color = color;
  SetFont(std::move(f));
}

void Control::SetBackgroundColor(Color color) {
  if (color_ == color) return;
  color_ = color;
  Notify(Property::Background);
}

void Control::SetTabStop(bool tab_stop) {
  if (tab_stop_ == tab_stop) return;
  tab_stop_ = tab_stop;
  Notify(Property::TabOrder);
}

void Control::SetTabOrder(int tab_order) {
  if (tab_order_ == tab_order) return;
  tab_order_ = tab_order;
  Notify(Property::TabOrder);
}

bool Control::Focused() const { return OwnerForm() != nullptr && OwnerForm()->FocusedControl() == this; }

bool Control::SetFocus() {
  if (!CanFocus() || OwnerForm() == nullptr) return false;
  return OwnerForm()->MoveFocus(this);
}

void Control::BringToFront() {
  if (parent_ == nullptr) return;
  auto& siblings = parent_->children_;
  const auto it = std::find(siblings.begin(), siblings.end(), this);
  if (it == siblings.end() || it + 1 == siblings.end()) return;
  std::rotate(it, it + 1, siblings.end());
  Notify(Property::ZOrder);
}

void Control::SendToBack() {
  if (parent_ == nullptr) return;
  auto& siblings = parent_->children_;
  const auto it = std::find(siblings.begin(), siblings.end(), this);
  if (it == siblings.end() || it == siblings.begin()) return;
  std::rotate(siblings.begin(), it, it + 1);
  Notify(Property::ZOrder);
}

}  // namespace corvanel::forms
