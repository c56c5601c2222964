// The component model that pages are written against: components with names and owners,
// controls with a parent, bounds and state, and the events of a classic component-based
// desktop toolkit. Plain C++: no window exists here; ui/win32 renders a form by observing
// it (FormObserver) and feeds the user's input back through the User* operations.
//
// Two families of operations:
// - code operations (SetChecked, SetItemIndex, SetPosition, SetText, ...) are what loaders,
//   Default buttons and handlers call; they raise the events the toolkit raises for a
//   change made by the program;
// - user operations (UserClick, UserSelect, UserSetPosition, UserType, UserKeyUp,
//   UserFocus, UserCheckItem, ...) act like the user: they do nothing on a control that is
//   hidden or disabled (itself or through a parent) and otherwise raise the user events.
//   They do not require the control's tab sheet to be the active one.
// Setting a value to what it already is changes nothing and raises nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace corvanel::forms {

class Component;
class Control;
class Form;

// Pixels at 96 DPI, relative to the parent's client area.
struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool Empty() const { return width <= 0 || height <= 0; }
  bool Intersects(const Rect& o) const;
  bool Contains(const Rect& o) const;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Colours are 0x00BBGGRR, as Windows stores them.
using Color = std::uint32_t;
// "Use what the parent / the system uses."
inline constexpr Color kDefaultColor = 0xFFFFFFFFu;

struct Font {
  std::string name;         // empty: the parent's font (the form's is Tahoma)
  int height = 0;           // 0: the parent's; negative: character height in pixels
  bool bold = false;
  Color color = kDefaultColor;
  friend bool operator==(const Font&, const Font&) = default;
};

// Which property of a component changed; what the renderer copies to its window.
enum class Property {
  Created,      // the component was just added to its form
  Bounds,
  Visible,
  Enabled,
  Caption,
  Text,         // edit text
  Font,
  Background,   // background colour
  ZOrder,       // order among the parent's children changed
  TabOrder,
  Focus,        // the form's focused control changed (sent for the form)
  Checked,      // check box, radio button
  Items,        // combo box list
  ItemIndex,    // combo box selection
  Position,     // track bar, up-down
  Range,        // track bar Min/Max/Frequency/PageSize; up-down Min/Max/Increment/Associate
  ReadOnly,     // edit ReadOnly/MaxLength/PasswordChar, tree view ReadOnly
  ActivePage,   // page control
  TabVisible,   // tab sheet
  Nodes,        // tree view nodes (text, images, structure)
  Selection,    // tree view selected node, list view selected item
  Columns,      // list view columns
  ListItems,    // list view items, check boxes, style (index: the item, -1 for all)
  ItemChecked,  // list view item check mark (index: the item)
  Picture,      // image
  Timer,        // timer Interval / Enabled
  ModalResult,  // form
  Shown,        // form shown
};

// Notified after every model change of a component of the observed form. `index` names
// the list view item for ListItems / ItemChecked and is -1 otherwise.
class FormObserver {
 public:
  virtual ~FormObserver() = default;
  virtual void Changed(Component& component, Property property, int index) = 0;
};

using NotifyEvent = std::function<void(Component& sender)>;
// The handler may replace the character or discard it by setting it to 0.
using KeyPressEvent = std::function<void(Component& sender, char32_t& key)>;
// Windows virtual-key code of the released key.
using KeyEvent = std::function<void(Component& sender, int key)>;
using ItemEvent = std::function<void(Component& sender, int index)>;

// The class of a component; "a class also matches its descendants" is IsA() (or
// dynamic_cast), e.g. a Memo is an Edit.
enum class ComponentKind {
  Custom,
  Timer,
  Form,
  Label,
  Button,
  GroupBox,
  Panel,
  CheckBox,
  RadioButton,
  ComboBox,
  TrackBar,
  Edit,
  Memo,
  UpDown,
  TabSheet,
  PageControl,
  TreeView,
  ListView,
  Image,
};

// Thrown for misuse of the model (a duplicate name, a child placed in a control that
// cannot hold it, a missing component asked for by Find<T>).
class ModelError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

class Component {
 public:
  Component() = default;
  virtual ~Component();
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  const std::string& Name() const { return name_; }
  Component* Owner() const { return owner_; }
  // The form this component belongs to (itself for a form); null for a free component.
  Form* OwnerForm() const { return form_; }
  virtual ComponentKind Kind() const = 0;
  virtual const char* ClassName() const = 0;
  // True when this component is a T or a descendant of T.
  template <class T>
  bool IsA() const { return dynamic_cast<const T*>(this) != nullptr; }

  std::intptr_t Tag() const { return tag_; }
  void SetTag(std::intptr_t tag) { tag_ = tag; }

  // Components this one owns, in creation order.
  const std::vector<Component*>& Components() const { return owned_view_; }
  // Owned component by name (case-insensitive, as the toolkit compares names), or null.
  Component* FindComponent(std::string_view name) const;
  // Typed look-up that fails loudly: throws ModelError when the name is missing or the
  // component is of another class.
  template <class T>
  T& Find(std::string_view name) const;
  // Typed look-up that returns null when missing or of another class.
  template <class T>
  T* TryFind(std::string_view name) const { return dynamic_cast<T*>(FindComponent(name)); }

  // A non-visual component (a timer) owned by this one. Names are unique per owner
  // (case-insensitive); empty names are allowed any number of times.
  template <class T>
  T& Create(std::string name);
  // A control owned by this component and placed in `parent` (which must accept it).
  template <class T>
  T& Create(Control& parent, std::string name, Rect bounds = {}, std::string caption = {});

 protected:
  // Tells the observers of the owning form about a change.
  void Notify(Property property, int index = -1);

 private:
  void Adopt(std::unique_ptr<Component> child, std::string name);
  void PlaceIn(Control& child, Control& parent, Rect bounds, std::string caption);

  std::string name_;
  Component* owner_ = nullptr;
  Form* form_ = nullptr;
  std::intptr_t tag_ = 0;
  std::vector<std::unique_ptr<Component>> owned_;
  std::vector<Component*> owned_view_;
  std::unordered_map<std::string, Component*> by_name_;  // folded name -> component

  friend class Form;
};

class Control : public Component {
 public:
  Control* Parent() const { return parent_; }
  // Children in creation order, which is also their z-order (later ones on top).
  const std::vector<Control*>& Children() const { return children_; }
  // Children sorted by TabOrder (ties in creation order).
  std::vector<Control*> ChildrenInTabOrder() const;

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Self and every parent visible. Tab sheets count by their own Visible flag, not by
  // being the active page, so controls of a page that is not in front still count.
  bool VisibleOnScreen() const;
  // Self and every parent enabled.
  bool EnabledOnScreen() const;
  // Visible and enabled, with all parents: a user can reach it.
  bool CanUserReach() const { return VisibleOnScreen() && EnabledOnScreen(); }

  const Rect& Bounds() const { return bounds_; }
  void SetBounds(Rect bounds);
  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.width; }
  int Height() const { return bounds_.height; }
  void SetLeft(int v);
  void SetTop(int v);
  void SetWidth(int v);
  void SetHeight(int v);
  // The rectangle children are placed in, in the children's coordinates: (0, 0, width,
  // height) for every container. A group box's caption strip is part of it.
  virtual Rect ClientRect() const { return {0, 0, bounds_.width, bounds_.height}; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

  const Font& GetFont() const { return font_; }
  void SetFont(Font font);
  void SetBold(bool bold);
  void SetFontColor(Color color);
  Color BackgroundColor() const { return color_; }
  void SetBackgroundColor(Color color);

  bool TabStop() const { return tab_stop_; }
  void SetTabStop(bool tab_stop);
  int TabOrder() const { return tab_order_; }
  void SetTabOrder(int tab_order);
  // Whether this kind of control can take the keyboard focus at all.
  virtual bool CanFocusKind() const { return false; }
  // Whether it can take the focus now (focusable kind, reachable by the user).
  bool CanFocus() const { return CanFocusKind() && CanUserReach(); }
  bool Focused() const;
  // Moves the form's focus here: OnExit of the control losing it, then OnEnter of this
  // one. False when the control cannot take the focus.
  bool SetFocus();
  bool UserFocus() { return SetFocus(); }

  // Last among its siblings (drawn on top) / first (drawn below the others).
  void BringToFront();
  void SendToBack();

  NotifyEvent OnEnter;
  NotifyEvent OnExit;

  // Whether `child` may be placed in this control.
  virtual bool AcceptsChild(const Control& child) const;

 protected:
  // Called after a child has been placed in this control.
  virtual void ChildAdded(Control& /*child*/) {}

 private:
  Control* parent_ = nullptr;
  std::vector<Control*> children_;
  bool visible_ = true;
  bool enabled_ = true;
  Rect bounds_;
  std::string caption_;
  Font font_;
  Color color_ = kDefaultColor;
  bool tab_stop_ = false;
  int tab_order_ = 0;

  friend class Component;
};

template <class T>
T& Component::Find(std::string_view name) const {
  Component* found = FindComponent(name);
  if (found == nullptr) throw ModelError("no component named \"" + std::string(name) + "\" in \"" + name_ + "\"");
  T* typed = dynamic_cast<T*>(found);
  if (typed == nullptr)
    throw ModelError("component \"" + std::string(name) + "\" is a " + found->ClassName() + ", not the class asked for");
  return *typed;
}

template <class T>
T& Component::Create(std::string name) {
  static_assert(std::is_base_of_v<Component, T>);
  auto owned = std::make_unique<T>();
  T& ref = *owned;
  Adopt(std::move(owned), std::move(name));
  static_cast<Component&>(ref).Notify(Property::Created);
  return ref;
}

template <class T>
T& Component::Create(Control& parent, std::string name, Rect bounds, std::string caption) {
  static_assert(std::is_base_of_v<Control, T>);
  auto owned = std::make_unique<T>();
  T& ref = *owned;
  if (!parent.AcceptsChild(ref))
    throw ModelError("\"" + parent.Name() + "\" (" + parent.ClassName() + ") cannot hold a " + ref.ClassName());
  Adopt(std::move(owned), std::move(name));
  PlaceIn(ref, parent, bounds, std::move(caption));
  static_cast<Component&>(ref).Notify(Property::Created);
  return ref;
}

}  // namespace corvanel::forms
