// Layout checks and the small position adaptations pages make for a Windows version.
#pragma once

#include <string>
#include <vector>

#include "forms/component.h"

namespace corvanel::forms {

struct LayoutProblem {
  enum class Kind { OutsideParent, OverlapsSibling };
  Kind kind;
  const Control* control;
  const Control* other;  // the parent (OutsideParent) or the overlapped sibling
  std::string message;   // names and rectangles, for a test's failure output
};

// Every visible control under `root` (root itself is not judged against its parent) that
// lies outside its parent's client rectangle, or overlaps a visible sibling. Rules:
// - hidden controls and everything inside them are ignored;
// - a group box's caption strip belongs to its client area: forms place labels and check
//   boxes there on purpose, so only leaving the box counts;
// - the sheets of a page control share its area and are not compared with each other; a
//   sheet whose tab is hidden is skipped unless it is the active page (or the root);
// - an Image or Panel that fully contains a later sibling is that sibling's backdrop, not
//   an overlap;
// - controls of zero width or height are not compared.
std::vector<LayoutProblem> CheckLayout(const Control& root);

// One line per problem; empty when there are none.
std::string DescribeLayout(const std::vector<LayoutProblem>& problems);

// "Moved to the top (left position) of another": takes over its current top (left).
void MoveToTopOf(Control& control, const Control& other);
void MoveToLeftOf(Control& control, const Control& other);
// "N pixels lower (in height)": the height shrinks by n.
void ShrinkHeight(Control& control, int n);
// "Moved N pixels up": the top decreases by n.
void MoveUp(Control& control, int n);

}  // namespace corvanel::forms
