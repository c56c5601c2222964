#include "forms/layout.h"

#include "forms/controls.h"

namespace corvanel::forms {

namespace {

std::string Describe(const Control& c) {
  const Rect& r = c.Bounds();
  return (c.Name().empty() ? std::string("(unnamed ") + c.ClassName() + ")" : c.Name()) + " (" +
         std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.width) + "x" +
         std::to_string(r.height) + ")";
}

// Whether a child of a page control takes part: a sheet whose tab is hidden cannot be
// brought to the front by the user, unless it already is in front.
bool Shown(const Control& child) {
  if (!child.Visible()) return false;
  if (const auto* sheet = dynamic_cast<const TabSheet*>(&child)) {
    const PageControl* pages = sheet->GetPageControl();
    if (!sheet->TabVisible() && (pages == nullptr || pages->ActivePage() != sheet)) return false;
  }
  return true;
}

bool IsBackdropOf(const Control& below, const Control& above) {
  return (below.IsA<Image>() || below.IsA<Panel>()) && below.Bounds().Contains(above.Bounds());
}

void Check(const Control& parent, std::vector<LayoutProblem>& out) {
  std::vector<const Control*> shown;
  for (const Control* child : parent.Children()) {
    if (Shown(*child)) shown.push_back(child);
  }
  const Rect client = parent.ClientRect();
  const bool sheets = parent.IsA<PageControl>();
  for (const Control* child : shown) {
    if (!sheets && !child->Bounds().Empty() && !client.Contains(child->Bounds())) {
      out.push_back({LayoutProblem::Kind::OutsideParent, child, &parent,
                     Describe(*child) + " lies outside the client area of " + Describe(parent)});
    }
  }
  if (!sheets) {
    for (std::size_t i = 0; i < shown.size(); ++i) {
      const Control& a = *shown[i];
      if (a.Bounds().Empty()) continue;
      for (std::size_t j = i + 1; j < shown.size(); ++j) {
        const Control& b = *shown[j];
        if (b.Bounds().Empty() || !a.Bounds().Intersects(b.Bounds()) || IsBackdropOf(a, b)) continue;
        out.push_back({LayoutProblem::Kind::OverlapsSibling, &b, &a, Describe(b) + " overlaps " + Describe(a)});
      }
    }
  }
  for (const Control* child : shown) Check(*child, out);
}

}  // namespace

std::vector<LayoutProblem> CheckLayout(const Control& root) {
  std::vector<LayoutProblem> out;
  Check(root, out);
  return out;
}

std::string DescribeLayout(const std::vector<LayoutProblem>& problems) {
  std::string text;
  for (const LayoutProblem& p : problems) text += p.message + "\n";
  return text;
}

void MoveToTopOf(Control& control, const Control& other) { control.SetTop(other.Top()); }
void MoveToLeftOf(Control& control, const Control& other) { control.SetLeft(other.Left()); }
void ShrinkHeight(Control& control, int n) { control.SetHeight(control.Height() - n); }
void MoveUp(Control& control, int n) { control.SetTop(control.Top() - n); }

}  // namespace corvanel::forms
