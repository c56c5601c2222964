#include "forms/layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/forms.h"

namespace corvanel::forms {
namespace {

using Strings = std::vector<std::string>;

// "<kind> <control> <other>" per problem, for compact expectations.
Strings Summary(const std::vector<LayoutProblem>& problems) {
  Strings out;
  for (const LayoutProblem& p : problems) {
    out.push_back(std::string(p.kind == LayoutProblem::Kind::OutsideParent ? "outside " : "overlap ") +
                  p.control->Name() + " " + p.other->Name());
  }
  return out;
}

class LayoutTest : public ::testing::Test {
 protected:
  LayoutTest() { form_.SetBounds({0, 0, 691, 517}); }

  Form form_{"F"};
  PageControl& pages_ = form_.Create<PageControl>(form_, "Pages", {0, 0, 459, 403});
  TabSheet& sheet_ = form_.Create<TabSheet>(pages_, "Sheet");
  GroupBox& group_ = form_.Create<GroupBox>(sheet_, "Group", {8, 8, 300, 100}, "Group");
};

TEST_F(LayoutTest, ControlsPlacedInsideWithoutOverlapPass) {
  form_.Create<CheckBox>(group_, "One", {12, 20, 280, 17});
  form_.Create<CheckBox>(group_, "Two", {12, 40, 280, 17});
  form_.Create<Label>(group_, "InCaptionStrip", {100, 0, 80, 13});
  form_.Create<Button>(sheet_, "Default", {8, 120, 90, 25});
  EXPECT_EQ(DescribeLayout(CheckLayout(form_)), "");
}

TEST_F(LayoutTest, ReportsControlsOutsideTheirParent) {
  struct Row {
    Rect bounds;
    bool outside;
  };
  const Row rows[] = {
      {{12, 20, 288, 17}, false},  // touches the right edge
      {{12, 20, 289, 17}, true},   // one pixel over it
      {{-1, 20, 50, 17}, true},
      {{12, 83, 50, 17}, false},   // touches the bottom edge
      {{12, 84, 50, 17}, true},
      {{400, 400, 0, 0}, false},   // nothing to see
  };
  for (const Row& row : rows) {
    Form form("F");
    form.SetBounds({0, 0, 300, 100});
    auto& group = form.Create<GroupBox>(form, "Group", {0, 0, 300, 100});
    form.Create<CheckBox>(group, "Box", row.bounds);
    const auto problems = CheckLayout(form);
    EXPECT_EQ(problems.size(), row.outside ? 1u : 0u) << DescribeLayout(problems) << row.bounds.left << "," << row.bounds.top;
    if (row.outside && !problems.empty()) {
      EXPECT_EQ(Summary(problems), (Strings{"outside Box Group"}));
    }
  }
}

TEST_F(LayoutTest, ReportsOverlappingVisibleSiblingsOnly) {
  form_.Create<CheckBox>(group_, "One", {12, 20, 280, 17});
  auto& two = form_.Create<CheckBox>(group_, "Two", {12, 36, 280, 17});  // one pixel into One
  auto& three = form_.Create<CheckBox>(group_, "Three", {12, 20, 280, 17});
  form_.Create<CheckBox>(sheet_, "Elsewhere", {20, 30, 100, 17});  // overlaps the group
  EXPECT_EQ(Summary(CheckLayout(form_)),
            (Strings{"overlap Elsewhere Group", "overlap Two One", "overlap Three One", "overlap Three Two"}));

  three.Hide();
  two.SetTop(37);
  form_.Find<CheckBox>("Elsewhere").SetTop(120);
  EXPECT_EQ(Summary(CheckLayout(form_)), Strings{}) << "hidden controls are ignored";
}

TEST_F(LayoutTest, HiddenContainersAndHiddenTabsAreSkippedButTheActiveSheetIsNot) {
  auto& back = form_.Create<TabSheet>(pages_, "Back");
  form_.Create<CheckBox>(back, "Far", {500, 0, 10, 10});
  form_.Create<CheckBox>(group_, "Far2", {500, 0, 10, 10});
  EXPECT_EQ(Summary(CheckLayout(form_)), (Strings{"outside Far2 Group", "outside Far Back"}))
      << "sheets not in front are checked, and sheets are not compared with each other";

  group_.Hide();
  back.SetTabVisible(false);
  EXPECT_EQ(Summary(CheckLayout(form_)), Strings{});
  EXPECT_EQ(Summary(CheckLayout(back)), (Strings{"outside Far Back"})) << "a root is always checked";
  pages_.SetActivePage(&back);
  EXPECT_EQ(Summary(CheckLayout(form_)), (Strings{"outside Far Back"}));
}

TEST_F(LayoutTest, AnImageOrPanelBehindALaterSiblingIsABackdrop) {
  auto& header = form_.Create<Panel>(form_, "pantop", {0, 0, 691, 69});
  form_.Create<Image>(header, "Background", {0, 0, 691, 69});
  form_.Create<Label>(header, "Label_Main_Title", {80, 14, 200, 19});
  form_.Create<Label>(header, "Label_Main_Info", {80, 40, 300, 13});
  pages_.SetTop(69);
  EXPECT_EQ(Summary(CheckLayout(form_)), Strings{});

  form_.Create<Image>(header, "Logo", {70, 10, 20, 20});  // drawn over the title
  EXPECT_EQ(Summary(CheckLayout(form_)), (Strings{"overlap Logo Label_Main_Title"}));
}

TEST_F(LayoutTest, AdaptationHelpersMoveAndShrink) {
  auto& a = form_.Create<CheckBox>(group_, "A", {12, 20, 200, 17});
  auto& b = form_.Create<CheckBox>(group_, "B", {40, 60, 200, 17});
  MoveToTopOf(b, a);
  EXPECT_EQ(b.Bounds(), (Rect{40, 20, 200, 17}));
  MoveToLeftOf(b, a);
  EXPECT_EQ(b.Left(), 12);
  ShrinkHeight(group_, 10);
  MoveUp(group_, 5);
  EXPECT_EQ(group_.Bounds(), (Rect{8, 3, 300, 90}));
}

}  // namespace
}  // namespace corvanel::forms
