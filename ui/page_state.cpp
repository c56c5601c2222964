#include "ui/page_state.h"

#include <string>

namespace corvanel::ui {

using namespace forms;

namespace {

struct NodeState {
  std::string text;
  int state_index = -1;
  int image_index = -1;
  bool expanded = false;
  std::int64_t data = 0;
  std::vector<NodeState> children;
  bool operator==(const NodeState&) const = default;
};

NodeState TakeNode(const TreeNode& node) {
  NodeState s{node.Text(), node.StateIndex(), node.ImageIndex(), node.Expanded(), node.Data(), {}};
  for (const TreeNode* child : node.Children()) s.children.push_back(TakeNode(*child));
  return s;
}

void AddNodes(TreeView& tree, TreeNode* parent, const std::vector<NodeState>& nodes) {
  for (const NodeState& s : nodes) {
    TreeNode& node = tree.AddNode(parent, s.text);
    node.SetStateIndex(s.state_index);
    node.SetImageIndex(s.image_index);
    node.SetData(s.data);
    AddNodes(tree, &node, s.children);
    node.SetExpanded(s.expanded);
  }
}

std::vector<NodeState> TakeRoots(const TreeView& tree) {
  std::vector<NodeState> out;
  for (const TreeNode* root : tree.RootNodes()) out.push_back(TakeNode(*root));
  return out;
}

int NodeIndex(const TreeView& tree, const TreeNode* node) {
  const auto all = tree.AllNodes();
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i] == node) return static_cast<int>(i);
  }
  return -1;
}

bool SameItems(const std::vector<ListItem>& a, const std::vector<ListItem>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].caption != b[i].caption || a[i].checked != b[i].checked || a[i].image_index != b[i].image_index ||
        a[i].data != b[i].data || a[i].sub_items != b[i].sub_items)
      return false;
  }
  return true;
}

void CollectControls(Control& parent, std::vector<Control*>& out) {
  for (Control* child : parent.Children()) {
    out.push_back(child);
    CollectControls(*child, out);
  }
}

}  // namespace

struct PageDesignState::Entry {
  Control* control = nullptr;
  bool visible = false;
  bool enabled = false;
  Rect bounds;
  std::string caption;
  Font font;
  Color color = kDefaultColor;
  bool checked = false;
  std::vector<std::string> strings;  // combo box items
  int index = -1;                    // combo, list view, tree view selection
  int min = 0, max = 0, position = 0;
  std::string text;
  bool read_only = false;
  std::vector<ListItem> items;
  std::vector<NodeState> nodes;
  std::string picture;
};

PageDesignState::PageDesignState(Control& page) {
  std::vector<Control*> controls;
  CollectControls(page, controls);
  for (Control* c : controls) {
    auto e = std::make_unique<Entry>();
    e->control = c;
    e->visible = c->Visible();
    e->enabled = c->Enabled();
    e->bounds = c->Bounds();
    e->caption = c->Caption();
    e->font = c->GetFont();
    e->color = c->BackgroundColor();
    if (auto* b = dynamic_cast<CheckBox*>(c)) e->checked = b->Checked();
    if (auto* r = dynamic_cast<RadioButton*>(c)) e->checked = r->Checked();
    if (auto* cb = dynamic_cast<ComboBox*>(c)) {
      e->strings = cb->Items();
      e->index = cb->ItemIndex();
    }
    if (auto* t = dynamic_cast<TrackBar*>(c)) {
      e->min = t->Min();
      e->max = t->Max();
      e->position = t->Position();
    }
    if (auto* u = dynamic_cast<UpDown*>(c)) {
      e->min = u->Min();
      e->max = u->Max();
      e->position = u->Position();
    }
    if (auto* ed = dynamic_cast<Edit*>(c)) {
      e->text = ed->Text();
      e->read_only = ed->ReadOnly();
    }
    if (auto* lv = dynamic_cast<ListView*>(c)) {
      e->items = lv->Items();
      e->index = lv->ItemIndex();
    }
    if (auto* tv = dynamic_cast<TreeView*>(c)) {
      e->nodes = TakeRoots(*tv);
      e->index = NodeIndex(*tv, tv->Selected());
    }
    if (auto* im = dynamic_cast<Image*>(c)) e->picture = im->Picture();
    entries_.push_back(std::move(e));
  }
}

PageDesignState::~PageDesignState() = default;

void PageDesignState::Restore() const {
  // Radio buttons are cleared before any is selected, and edits come after the up-downs
  // that write into them, so every control ends exactly as it was taken.
  for (const auto& e : entries_) {
    Control& c = *e->control;
    c.SetBounds(e->bounds);
    c.SetCaption(e->caption);
    c.SetFont(e->font);
    c.SetBackgroundColor(e->color);
    c.SetEnabled(e->enabled);
    c.SetVisible(e->visible);
    if (auto* b = dynamic_cast<CheckBox*>(&c)) b->SetChecked(e->checked);
    if (auto* r = dynamic_cast<RadioButton*>(&c); r != nullptr && !e->checked) r->SetChecked(false);
    if (auto* cb = dynamic_cast<ComboBox*>(&c)) {
      if (cb->Items() != e->strings) cb->SetItems(e->strings);
      cb->SetItemIndex(e->index);
    }
    if (auto* t = dynamic_cast<TrackBar*>(&c)) {
      t->SetRange(e->min, e->max);
      t->SetPosition(e->position);
    }
    if (auto* u = dynamic_cast<UpDown*>(&c)) {
      u->SetRange(e->min, e->max);
      u->SetPosition(e->position);
    }
    if (auto* lv = dynamic_cast<ListView*>(&c)) {
      if (!SameItems(lv->Items(), e->items)) {
        lv->ClearItems();
        for (const ListItem& item : e->items) lv->AddItem(item);
      }
      lv->SetItemIndex(e->index);
    }
    if (auto* tv = dynamic_cast<TreeView*>(&c)) {
      if (TakeRoots(*tv) != e->nodes) {
        tv->ClearNodes();
        AddNodes(*tv, nullptr, e->nodes);
      }
      const auto all = tv->AllNodes();
      tv->SetSelected(e->index >= 0 && e->index < static_cast<int>(all.size()) ? all[static_cast<std::size_t>(e->index)]
                                                                                : nullptr);
    }
    if (auto* im = dynamic_cast<Image*>(&c)) im->SetPicture(e->picture);
  }
  for (const auto& e : entries_) {
    Control& c = *e->control;
    if (auto* r = dynamic_cast<RadioButton*>(&c); r != nullptr && e->checked) r->SetChecked(true);
    if (auto* ed = dynamic_cast<Edit*>(&c)) {
      ed->SetReadOnly(e->read_only);
      ed->SetText(e->text);
    }
  }
}

}  // namespace corvanel::ui
