// The navigation group bar `RzGroupBar1`: six collapsible groups of items, each item
// naming a notebook page by its tag. The bar is a control of the main form (bounds,
// visibility go through forms::FormObserver); its groups and items are plain data here,
// and their changes reach the renderer through GroupBarObserver.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/forms.h"
#include "lang/message_texts.h"

namespace corvanel::ui {

// Item font colours, COLORREF values 0x00BBGGRR (the same convention as forms::Color):
// 0xC56A31 is red 49, green 106, blue 197; 0xC65D21 is red 33, green 93, blue 198.
inline constexpr forms::Color kItemColorNormal = 0xC56A31;
inline constexpr forms::Color kItemColorSelected = 0xC65D21;

struct NavItem {
  std::string Caption;
  int Tag = 0;
  int ImageIndex = -1;  // into the bar's image list; -1 none
  bool Visible = true;
  bool Bold = false;
  forms::Color Color = forms::kDefaultColor;  // kDefaultColor: the bar's own colour
  // Message text of the caption; none for the two items without a language key.
  bool HasTextKey = false;
  lang::MessageId TextKey = lang::MessageId::D_General;
};

struct NavGroup {
  std::string Name;  // "RzGroup_CommonSettings"
  std::string Caption;
  lang::MessageId TextKey = lang::MessageId::D_General;
  bool Expanded = true;
  std::vector<NavItem> Items;
};

class GroupBar;

class GroupBarObserver {
 public:
  virtual ~GroupBarObserver() = default;
  // `item` is -1 for a change of the group itself (caption, expanded state).
  virtual void GroupBarChanged(GroupBar& bar, int group, int item) = 0;
};

class GroupBar : public forms::Control {
 public:
  GroupBar();
  forms::ComponentKind Kind() const override { return forms::ComponentKind::Custom; }
  const char* ClassName() const override { return "GroupBar"; }
  bool AcceptsChild(const forms::Control&) const override { return false; }

  const std::vector<NavGroup>& Groups() const { return groups_; }
  const NavGroup* FindGroup(std::string_view name) const;
  int GroupIndex(std::string_view name) const;
  NavItem& Item(int group, int item);
  const NavItem& Item(int group, int item) const;
  // The first item (in bar order) carrying `tag`, or null.
  NavItem* FindItemByTag(int tag);
  // Where an item lies; false when it is not an item of this bar.
  bool Locate(const NavItem* item, int* group, int* index) const;

  void SetGroupCaption(int group, std::string caption);
  void SetGroupExpanded(int group, bool expanded);
  void SetItemCaption(int group, int item, std::string caption);
  void SetItemVisible(int group, int item, bool visible);
  void SetItemStyle(int group, int item, bool bold, forms::Color color);

  // Captions of groups and items from the message texts (items without a key keep theirs).
  void ApplyTexts(const lang::MessageTexts& texts);

  // User input from the renderer. A click on an item raises OnItemClick, unless the item
  // or its group is hidden, the group is collapsed, or the bar cannot be reached.
  bool UserClickItem(int group, int item);
  // A click on a group caption toggles the group.
  bool UserToggleGroup(int group);
  std::function<void(NavItem& item)> OnItemClick;

  void AddGroupBarObserver(GroupBarObserver* observer);
  void RemoveGroupBarObserver(GroupBarObserver* observer);

 private:
  void Changed(int group, int item);
  std::vector<NavGroup> groups_;
  std::vector<GroupBarObserver*> observers_;
};

}  // namespace corvanel::ui
