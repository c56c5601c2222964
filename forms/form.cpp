#include "forms/form.h"

#include <algorithm>

#include "forms/controls.h"

namespace corvanel::forms {

Form::Form(std::string name) {
  name_ = std::move(name);
  form_ = this;
}

Form::~Form() {
  // Nobody observes a form while it is torn down.
  observers_.clear();
  focused_ = nullptr;
}

bool Form::AcceptsChild(const Control& child) const { return Control::AcceptsChild(child); }

void Form::AddObserver(FormObserver* observer) {
  if (observer != nullptr && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
}

void Form::RemoveObserver(FormObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void Form::Broadcast(Component& component, Property property, int index) {
  // An observer may add or remove observers while it is told.
  const std::vector<FormObserver*> observers = observers_;
  for (FormObserver* o : observers) {
    if (std::find(observers_.begin(), observers_.end(), o) != observers_.end()) o->Changed(component, property, index);
  }
}

namespace {

void CollectFocusable(const Control& container, bool all, std::vector<Control*>& out) {
  if (const auto* pages = dynamic_cast<const PageControl*>(&container)) {
    // Only the sheet in front can be reached with the keyboard.
    if (TabSheet* active = pages->ActivePage(); active != nullptr && active->Visible() && active->Enabled())
      CollectFocusable(*active, all, out);
    return;
  }
  for (Control* c : container.ChildrenInTabOrder()) {
    if (!c->Visible() || !c->Enabled()) continue;
    if (c->CanFocusKind() && (all || c->TabStop())) out.push_back(c);
    CollectFocusable(*c, all, out);
  }
}

}  // namespace

std::vector<Control*> Form::FocusableControls(bool all) const {
  std::vector<Control*> out;
  if (Visible() && Enabled()) CollectFocusable(*this, all, out);
  return out;
}

bool Form::UserFocusNext(bool backward) {
  const std::vector<Control*> stops = FocusableControls(false);
  if (stops.empty()) return false;
  const auto n = static_cast<std::ptrdiff_t>(stops.size());
  const auto it = std::find(stops.begin(), stops.end(), focused_);
  std::ptrdiff_t next;
  if (it == stops.end()) {
    next = backward ? n - 1 : 0;
  } else {
    const std::ptrdiff_t i = it - stops.begin();
    next = backward ? (i + n - 1) % n : (i + 1) % n;
  }
  return MoveFocus(stops[static_cast<std::size_t>(next)]);
}

void Form::ClearFocus() { MoveFocus(nullptr); }

bool Form::MoveFocus(Control* to) {
  if (to == focused_) return true;
  Control* from = focused_;
  // The control losing the focus no longer has it while its OnExit runs.
  focused_ = to;
  Broadcast(*this, Property::Focus, -1);
  if (from != nullptr && from->OnExit) from->OnExit(*from);
  if (to != nullptr && focused_ == to && to->OnEnter) to->OnEnter(*to);
  return true;
}

void Form::ShowForm() {
  SetVisible(true);
  Broadcast(*this, Property::Shown, -1);
  if (OnShow) OnShow(*this);
}

void Form::SetModalResult(ModalResult result) {
  if (modal_result_ == result) return;
  modal_result_ = result;
  Broadcast(*this, Property::ModalResult, -1);
}

}  // namespace corvanel::forms
