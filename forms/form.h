// A form: the top-level window of the model. It owns its components, knows the focused
// control and tells its observers (the renderer) about every change.
#pragma once

#include <string>
#include <vector>

#include "forms/component.h"

namespace corvanel::forms {

enum class ModalResult { None, Ok, Cancel };

class Form : public Control {
 public:
  explicit Form(std::string name = {});
  ~Form() override;

  ComponentKind Kind() const override { return ComponentKind::Form; }
  const char* ClassName() const override { return "Form"; }
  bool AcceptsChild(const Control& child) const override;

  // The renderer (and tests) observe the form. Observers are not owned; remove one
  // before it dies.
  void AddObserver(FormObserver* observer);
  void RemoveObserver(FormObserver* observer);

  // Client size of the window; the form's bounds are its client area.
  int ClientWidth() const { return Width(); }
  int ClientHeight() const { return Height(); }

  // The focused control, or null.
  Control* FocusedControl() const { return focused_; }
  // Every control that can take the focus now, in tab order (depth first through the
  // containers, each container's children by TabOrder). Only tab stops unless `all`.
  std::vector<Control*> FocusableControls(bool all = false) const;
  // The Tab key: moves the focus to the next (or previous) tab stop, wrapping around.
  bool UserFocusNext(bool backward = false);
  // Takes the focus away from every control (OnExit of the one that had it).
  void ClearFocus();

  // Raises OnShow each time the form is shown.
  void ShowForm();
  NotifyEvent OnShow;

  ModalResult Result() const { return modal_result_; }
  void SetModalResult(ModalResult result);

 private:
  void Broadcast(Component& component, Property property, int index);
  bool MoveFocus(Control* to);

  std::vector<FormObserver*> observers_;
  Control* focused_ = nullptr;
  ModalResult modal_result_ = ModalResult::None;

  friend class Component;
  friend class Control;
};

}  // namespace corvanel::forms
