#include "ui/navigation.h"

#include <algorithm>

namespace corvanel::ui {

using lang::MessageId;

namespace {

NavItem KeyedItem(MessageId key, int tag, int image) {
  NavItem item;
  item.Caption = std::string(lang::MessageDefault(key));
  item.Tag = tag;
  item.ImageIndex = image;
  item.HasTextKey = true;
  item.TextKey = key;
  return item;
}

NavItem HiddenItem(std::string caption, int tag, int image) {
  NavItem item;
  item.Caption = std::move(caption);
  item.Tag = tag;
  item.ImageIndex = image;
  item.Visible = false;
  return item;
}

NavGroup MakeGroup(std::string name, MessageId key, std::vector<NavItem> items) {
  NavGroup group;
  group.Name = std::move(name);
  group.Caption = std::string(lang::MessageDefault(key));
  group.TextKey = key;
  group.Items = std::move(items);
  return group;
}

}  // namespace

GroupBar::GroupBar() {
  groups_.push_back(MakeGroup("RzGroup_CommonSettings", MessageId::D_General,
                              {KeyedItem(MessageId::D_GeneralSettings, 19, 17)}));
  groups_.push_back(MakeGroup("RzGroup_Display", MessageId::D_Menu,
                              {KeyedItem(MessageId::D_MenuFile, 2, 1), KeyedItem(MessageId::D_MenuFolder, 3, 2),
                               KeyedItem(MessageId::D_MenuStartMenu, 5, 4),
                               KeyedItem(MessageId::D_MenuTaskbar, 6, 5)}));
  groups_.push_back(MakeGroup("RzGroup_Use", MessageId::D_Browser,
                              {KeyedItem(MessageId::D_BrowserIE, 8, 7), KeyedItem(MessageId::D_BrowserFF, 9, 8)}));
  groups_.push_back(MakeGroup(
      "RzGroup_Communication", MessageId::D_System,
      {KeyedItem(MessageId::D_SystemInfomation, 17, 15), KeyedItem(MessageId::D_SystemInput, 4, 3),
       KeyedItem(MessageId::D_SystemNetwork, 7, 6), KeyedItem(MessageId::D_SystemDriver, 14, 12),
       KeyedItem(MessageId::D_SystemMandC, 15, 13), HiddenItem("Opera", 10, -1),
       HiddenItem("E-mail \xE5\x92\x8C \xE8\x81\x94\xE7\xBB\x9C", 11, 9)}));
  groups_.push_back(MakeGroup("RzGroup_Manage", MessageId::D_Security,
                              {KeyedItem(MessageId::D_SecurityUserLogon, 13, 11),
                               KeyedItem(MessageId::D_SecurityCenter, 18, 16),
                               KeyedItem(MessageId::D_SecurityPrivacy, 12, 10)}));
  groups_.push_back(MakeGroup("RzGroup_Others", MessageId::D_Others,
                              {KeyedItem(MessageId::D_OthersAnimations, 1, 0),
                               KeyedItem(MessageId::D_OthersStartAndM, 16, 14)}));
}

const NavGroup* GroupBar::FindGroup(std::string_view name) const {
  const int index = GroupIndex(name);
  return index < 0 ? nullptr : &groups_[static_cast<std::size_t>(index)];
}

int GroupBar::GroupIndex(std::string_view name) const {
  for (std::size_t i = 0; i < groups_.size(); ++i) {
    if (groups_[i].Name == name) return static_cast<int>(i);
  }
  return -1;
}

NavItem& GroupBar::Item(int group, int item) {
  return groups_.at(static_cast<std::size_t>(group)).Items.at(static_cast<std::size_t>(item));
}

const NavItem& GroupBar::Item(int group, int item) const {
  return groups_.at(static_cast<std::size_t>(group)).Items.at(static_cast<std::size_t>(item));
}

NavItem* GroupBar::FindItemByTag(int tag) {
  for (NavGroup& group : groups_) {
    for (NavItem& item : group.Items) {
      if (item.Tag == tag) return &item;
    }
  }
  return nullptr;
}

bool GroupBar::Locate(const NavItem* item, int* group, int* index) const {
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    const auto& items = groups_[g].Items;
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (&items[i] != item) continue;
      if (group != nullptr) *group = static_cast<int>(g);
      if (index != nullptr) *index = static_cast<int>(i);
      return true;
    }
  }
  return false;
}

void GroupBar::SetGroupCaption(int group, std::string caption) {
  NavGroup& g = groups_.at(static_cast<std::size_t>(group));
  if (g.Caption == caption) return;
  g.Caption = std::move(caption);
  Changed(group, -1);
}

void GroupBar::SetGroupExpanded(int group, bool expanded) {
  NavGroup& g = groups_.at(static_cast<std::size_t>(group));
  if (g.Expanded == expanded) return;
  g.Expanded = expanded;
  Changed(group, -1);
}

void GroupBar::SetItemCaption(int group, int item, std::string caption) {
  NavItem& it = Item(group, item);
  if (it.Caption == caption) return;
  it.Caption = std::move(caption);
  Changed(group, item);
}

void GroupBar::SetItemVisible(int group, int item, bool visible) {
  NavItem& it = Item(group, item);
  if (it.Visible == visible) return;
  it.Visible = visible;
  Changed(group, item);
}

void GroupBar::SetItemStyle(int group, int item, bool bold, forms::Color color) {
  NavItem& it = Item(group, item);
  if (it.Bold == bold && it.Color == color) return;
  it.Bold = bold;
  it.Color = color;
  Changed(group, item);
}

void GroupBar::ApplyTexts(const lang::MessageTexts& texts) {
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    const int gi = static_cast<int>(g);
    SetGroupCaption(gi, texts.Get(groups_[g].TextKey));
    for (std::size_t i = 0; i < groups_[g].Items.size(); ++i) {
      const NavItem& item = groups_[g].Items[i];
      if (item.HasTextKey) SetItemCaption(gi, static_cast<int>(i), texts.Get(item.TextKey));
    }
  }
}

bool GroupBar::UserClickItem(int group, int item) {
  if (group < 0 || group >= static_cast<int>(groups_.size())) return false;
  NavGroup& g = groups_[static_cast<std::size_t>(group)];
  if (item < 0 || item >= static_cast<int>(g.Items.size())) return false;
  NavItem& it = g.Items[static_cast<std::size_t>(item)];
  if (!CanUserReach() || !g.Expanded || !it.Visible) return false;
  if (OnItemClick) OnItemClick(it);
  return true;
}

bool GroupBar::UserToggleGroup(int group) {
  if (group < 0 || group >= static_cast<int>(groups_.size()) || !CanUserReach()) return false;
  SetGroupExpanded(group, !groups_[static_cast<std::size_t>(group)].Expanded);
  return true;
}

void GroupBar::AddGroupBarObserver(GroupBarObserver* observer) {
  if (observer != nullptr && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
}

void GroupBar::RemoveGroupBarObserver(GroupBarObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void GroupBar::Changed(int group, int item) {
  // A copy, so an observer may remove itself while being told.
  const std::vector<GroupBarObserver*> observers = observers_;
  for (GroupBarObserver* observer : observers) observer->GroupBarChanged(*this, group, item);
}

}  // namespace corvanel::ui
