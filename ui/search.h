// Find a setting: every setting a user can see on every page they can open, searched by
// the words of its caption, its group and its tab.
//
// The index is built once, on the first search, from a second set of the page modules
// built and adapted to the Windows version on a scratch form in the current language. No
// page is loaded for it, so no setting is read and the window's own pages are untouched.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/main_window.h"

namespace corvanel::ui {

struct SearchRow {
  int page_tag = 0;
  std::string page;     // the navigation item's caption
  std::string tab;      // the tab holding the setting; empty on a page without tabs
  std::string group;    // the group box around it; may be empty
  std::string caption;  // as the user reads it, without accelerator marks
  std::string control;  // what opening the row focuses: the box itself, or the list a label names
  // The group is worth showing: another row of the same page reads the same.
  bool group_tells_apart = false;
  // "Page › Tab", then the group where it tells two rows apart.
  std::string Where() const;

  std::string folded_caption;  // for matching: lower case, accents removed
  std::string folded_context;  // caption, group and tab together
};

// Lower case and without accents, for comparing what a user types with a caption.
std::string FoldForSearch(std::string_view text);

class SettingSearch {
 public:
  // A query needs this many characters before it is searched.
  static constexpr std::size_t kMinimumQuery = 2;

  explicit SettingSearch(TCorvanel_FormMain& main) : main_(main) {}

  // The rows matching every word of `query` in any order: those whose caption starts with
  // one of the words first, the rest after them, each part in page order. Builds the
  // index on the first call. Empty for a query shorter than kMinimumQuery.
  std::vector<const SearchRow*> Find(std::string_view query);

  // The whole index (built when needed), in page order.
  const std::vector<SearchRow>& Rows();
  bool Built() const { return built_; }

  // Shows the row's page as a click on its navigation item shows it, selects its tab and
  // gives its control the focus. False when the page could not be brought to the front
  // (a page load in progress holds the click) or the control is no longer there.
  bool Open(const SearchRow& row);

 private:
  void BuildIndex();

  TCorvanel_FormMain& main_;
  std::vector<SearchRow> rows_;
  bool built_ = false;
};

}  // namespace corvanel::ui
