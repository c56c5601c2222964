#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/fake_pages.h"

namespace corvanel::ui {
namespace {

using forms::Button;
using forms::CheckBox;
using forms::ComboBox;
using forms::Component;
using forms::Label;
using forms::Panel;
using forms::Rect;
using forms::Timer;
using testing::FakePage;
using testing::Harness;

// A check box on the page, bound to the page's forwarder; the loader checks it.
void CheckBoxPage(FakePage& page, const std::string& name) {
  page.build = [name](PageContext& ctx) {
    auto& box = ctx.Form().Create<CheckBox>(ctx.Page(), name, {8, 8, 200, 17}, name);
    box.OnClick = ctx.Forwarder();
  };
  page.load = [name](PageContext& ctx) { ctx.Find<CheckBox>(name).SetChecked(true); };
}

int Tag(const NavItem* item) { return item == nullptr ? -1 : item->Tag; }

TEST(MainWindowStartUp, CreationThenFirstShow) {
  Harness h;
  h.Make({});
  auto& main = *h.main;
  EXPECT_TRUE(main.LoadingFinished());
  EXPECT_FALSE(main.PageLoading());
  EXPECT_TRUE(main.LoadedPages().empty());
  EXPECT_EQ(main.SelectedItem(), nullptr);
  EXPECT_EQ(main.WindowsVersionClass(), 7);
  EXPECT_EQ(main.Firefox().Folder(), main.AppFrame().AppDataFolder + "\\Mozilla\\Firefox\\");
  EXPECT_EQ(main.AppFrame().ExeFolder, "C:\\Program Files\\Corvanel\\");
  EXPECT_FALSE(main.Find<Panel>("Panel_Loading").Visible());
  EXPECT_FALSE(h.button("Button_Apply").Enabled());
  for (const char* name : {"Timer_Click", "Timer_Loading"}) {
    EXPECT_FALSE(main.Find<Timer>(name).Enabled()) << name;
    EXPECT_EQ(main.Find<Timer>(name).Interval(), 100) << name;
  }

  main.ShowForm();
  ASSERT_NE(main.Language(), nullptr);
  for (const char* name : {"Button_OK", "Button_Cancel", "Button_Apply"}) EXPECT_FALSE(h.button(name).Enabled()) << name;
  EXPECT_FALSE(main.LoadingFinished());
  auto& loading = main.Find<Panel>("Panel_Loading");
  EXPECT_TRUE(loading.Visible());
  EXPECT_EQ(main.Children().back(), &loading);
  EXPECT_TRUE(main.Find<Timer>("Timer_Click").Enabled());
  EXPECT_TRUE(main.Find<Timer>("Timer_Loading").Enabled());
  EXPECT_TRUE(main.LoadedPages().empty()) << "the first page is opened by the timer, not by the show";
}

TEST(MainWindowStartUp, FirefoxItemOnlyFromWindowsXp) {
  struct Row {
    bool version_fails;
    std::uint32_t major, minor;
    int version_class;
    bool firefox_visible;
  };
  for (const Row& row : {Row{true, 0, 0, 0, false}, Row{false, 5, 0, 4, false}, Row{false, 5, 1, 5, true},
                         Row{false, 6, 0, 6, true}, Row{false, 6, 2, 8, true}}) {
    Harness h;
    h.platform.system().set_version(row.major, row.minor);
    h.platform.system().set_version_fails(row.version_fails);
    h.Make({});
    const GroupBar& bar = h.main->RzGroupBar1();
    const int use = bar.GroupIndex("RzGroup_Use");
    EXPECT_EQ(h.main->WindowsVersionClass(), row.version_class) << row.major << "." << row.minor;
    EXPECT_EQ(bar.Item(use, 1).Tag, 9);
    EXPECT_EQ(bar.Item(use, 1).Visible, row.firefox_visible) << "class " << row.version_class;
    EXPECT_TRUE(bar.Item(use, 0).Visible);
  }
}

TEST(MainWindowLayout, ComponentsWhereTheWindowPutsThem) {
  Harness h;
  h.Make({});
  auto& main = *h.main;
  EXPECT_EQ(main.Bounds(), (Rect{0, 0, 691, 517}));
  struct Row {
    const char* name;
    Rect bounds;
  };
  for (const Row& row : {Row{"pantop", {0, 0, 691, 69}}, Row{"Image_Program", {16, 9, 48, 48}},
                         // The search box above the navigation bar; the bar gives up the room.
                         Row{"Edit_Search", {8, 8, 216, 21}}, Row{"RzGroupBar1", {0, 37, 232, 366}},
                         Row{"notset", {0, 0, 459, 403}},
                         Row{"Button_OK", {377, 11, 90, 25}}, Row{"Button_Cancel", {481, 11, 90, 25}},
                         Row{"Button_Apply", {585, 11, 90, 25}}, Row{"Panel_Loading", {0, 69, 691, 403}},
                         Row{"ImageNote_Animate", {232, 144, 32, 32}}}) {
    EXPECT_EQ(main.Find<forms::Control>(row.name).Bounds(), row.bounds) << row.name;
  }
  EXPECT_EQ(main.Find<Label>("Label_Main_Title").Left(), 80);
  EXPECT_EQ(main.Find<Label>("Label_Main_Title").Top(), 14);
  EXPECT_TRUE(main.Find<Label>("Label_Main_Title").GetFont().bold);
  EXPECT_EQ(main.Find<Label>("Label_Main_Title").GetFont().height, -16);
  EXPECT_EQ(main.Find<Label>("Label_Main_Info").Top(), 40);
  EXPECT_EQ(main.Find<Label>("Label_Wait").Left(), 296);
  EXPECT_EQ(main.Find<Label>("Label_Wait").Top(), 152);
  EXPECT_EQ(main.Find<Panel>("Panel_Loading").BackgroundColor(), 0xFFFFFFu);
  // Every notebook page fills the notebook and is found by its caption.
  ASSERT_EQ(main.notset().PageCount(), 19);
  for (int tag = 1; tag <= 19; ++tag) {
    forms::TabSheet* page = main.notset().PageByCaption(std::to_string(tag));
    ASSERT_NE(page, nullptr) << tag;
    EXPECT_EQ(page->Bounds(), (Rect{0, 0, 459, 403})) << tag;
  }
  main.ShowForm();
  EXPECT_EQ(forms::DescribeLayout(forms::CheckLayout(main)), "");
}

TEST(MainWindowNavigation, BarHoldsTheNineteenItemsInOrder) {
  Harness h;
  h.Make({});
  const GroupBar& bar = h.main->RzGroupBar1();
  std::vector<std::pair<std::string, std::vector<int>>> expected = {
      {"RzGroup_CommonSettings", {19}}, {"RzGroup_Display", {2, 3, 5, 6}}, {"RzGroup_Use", {8, 9}},
      {"RzGroup_Communication", {17, 4, 7, 14, 15, 10, 11}}, {"RzGroup_Manage", {13, 18, 12}},
      {"RzGroup_Others", {1, 16}}};
  ASSERT_EQ(bar.Groups().size(), expected.size());
  for (std::size_t g = 0; g < expected.size(); ++g) {
    const NavGroup& group = bar.Groups()[g];
    EXPECT_EQ(group.Name, expected[g].first);
    std::vector<int> tags;
    for (const NavItem& item : group.Items) {
      tags.push_back(item.Tag);
      // Items not yet selected: the Others group keeps the bar's colour.
      EXPECT_FALSE(item.Bold);
      EXPECT_EQ(item.Color, group.Name == "RzGroup_Others" ? forms::kDefaultColor : kItemColorNormal) << item.Caption;
    }
    EXPECT_EQ(tags, expected[g].second) << group.Name;
  }
  const int comm = bar.GroupIndex("RzGroup_Communication");
  EXPECT_FALSE(bar.Item(comm, 5).Visible);
  EXPECT_FALSE(bar.Item(comm, 6).Visible);
  EXPECT_EQ(bar.Item(0, 0).ImageIndex, 17);
  EXPECT_EQ(bar.Item(comm, 4).ImageIndex, 13);
}

TEST(MainWindowLoadingPanel, TicksAnimateAndCloseThePanelOnceLoaded) {
  Harness h;
  h.Make({});
  auto& main = *h.main;
  main.ShowForm();
  auto& timer = main.Find<Timer>("Timer_Loading");
  auto& wait = main.Find<Label>("Label_Wait");
  const std::vector<std::string> dots = {"..", "...", "....", ".....", "......", ".......", "."};
  for (const std::string& d : dots) {
    ASSERT_TRUE(timer.Tick());
    EXPECT_EQ(wait.Caption(), "System settings loading" + d);
    EXPECT_TRUE(timer.Enabled()) << "re-armed while the first page loads";
  }
  EXPECT_EQ(main.AnimationFrame(), 0);
  EXPECT_EQ(main.Find<forms::Image>("ImageNote_Animate").Picture(), "Picture_0");

  ASSERT_TRUE(main.Find<Timer>("Timer_Click").Tick());
  EXPECT_FALSE(main.Find<Timer>("Timer_Click").Enabled());
  EXPECT_TRUE(main.LoadingFinished());
  EXPECT_EQ(main.LoadedPages(), std::vector<std::string>{"19"});
  EXPECT_EQ(Tag(main.SelectedItem()), 19);

  ASSERT_TRUE(timer.Tick());
  EXPECT_EQ(wait.Caption(), "System settings loading..");
  EXPECT_FALSE(timer.Enabled());
  EXPECT_FALSE(main.Find<Panel>("Panel_Loading").Visible());
  EXPECT_EQ(main.Children().front(), &main.Find<Panel>("Panel_Loading"));
  EXPECT_TRUE(h.button("Button_OK").Enabled());
  EXPECT_TRUE(h.button("Button_Cancel").Enabled());
  EXPECT_FALSE(h.button("Button_Apply").Enabled());
}

TEST(MainWindowLoadPage, AdaptsAndLoadsOncePerTagWithPageLoadingSet) {
  Harness h;
  h.platform.system().set_version(5, 1);
  h.Make({2, 19});
  auto& main = *h.main;
  main.LoadPage(2);
  main.LoadPage(2);
  main.LoadPage(10);  // no module: only recorded
  main.LoadPage(19);
  EXPECT_EQ(main.LoadedPages(), (std::vector<std::string>{"2", "10", "19"}));
  for (int tag : {2, 19}) {
    const FakePage& page = *h.pages[tag];
    EXPECT_EQ(page.adapt_count, 1) << tag;
    EXPECT_EQ(page.load_count, 1) << tag;
    EXPECT_EQ(page.adapted_class, 5) << tag;
    EXPECT_TRUE(page.loading_during_adapt) << tag;
    EXPECT_TRUE(page.loading_during_load) << tag;
  }
  EXPECT_EQ(h.log.entries,
            (std::vector<std::string>{"adapt 2", "load begin 2", "load end 2", "adapt 19", "load begin 19", "load end 19"}));
  EXPECT_FALSE(main.PageLoading());
}

TEST(MainWindowLoadPage, LoaderThatThrowsIsReportedAndDoesNotLeavePageLoading) {
  for (ErrorChoice choice : {ErrorChoice::Continue, ErrorChoice::Close}) {
    Harness h;
    h.Make({2}, [](FakePage& page) {
      CheckBoxPage(page, "Checkbox_Two");
      page.load = [](PageContext&) { throw std::runtime_error("registry gone"); };
    });
    h.Run();
    h.reporter.answer = choice;
    auto& main = *h.main;
    main.RzGroup1Items0Click(main.RzGroupBar1().FindItemByTag(2));
    EXPECT_FALSE(main.PageLoading());
    ASSERT_EQ(h.reporter.reports, std::vector<std::string>{"loading page 2: registry gone"});
    EXPECT_EQ(main.notset().ActivePage()->Caption(), "2") << "the click still shows the page";
    EXPECT_EQ(h.close_calls, choice == ErrorChoice::Close ? 1 : 0);

    // Not loaded again, and its controls work.
    main.LoadPage(2);
    EXPECT_EQ(h.pages[2]->load_count, 1);
    main.Find<CheckBox>("Checkbox_Two").UserClick();
    EXPECT_EQ(h.pages[2]->senders, std::vector<std::string>{"Checkbox_Two"});
    EXPECT_TRUE(h.button("Button_Apply").Enabled());
  }
}

TEST(MainWindowNavigation, ClicksSwitchPagesAndMoveTheHighlight) {
  Harness h;
  h.Make({2, 3, 1});
    h.Run();
  auto& main = *h.main;
  GroupBar& bar = main.RzGroupBar1();
  const int display = bar.GroupIndex("RzGroup_Display");
  const int others = bar.GroupIndex("RzGroup_Others");

  ASSERT_TRUE(bar.UserClickItem(display, 0));  // File Types, tag 2
  EXPECT_EQ(main.notset().ActivePage()->Caption(), "2");
  EXPECT_TRUE(bar.Item(display, 0).Bold);
  EXPECT_EQ(bar.Item(display, 0).Color, kItemColorSelected);

  ASSERT_TRUE(bar.UserClickItem(others, 0));  // Animations, tag 1
  EXPECT_EQ(main.notset().ActivePage()->Caption(), "1");
  EXPECT_FALSE(bar.Item(display, 0).Bold);
  EXPECT_EQ(bar.Item(display, 0).Color, kItemColorNormal);
  EXPECT_TRUE(bar.Item(others, 0).Bold);
  EXPECT_EQ(bar.Item(others, 0).Color, kItemColorSelected);
  EXPECT_EQ(Tag(main.SelectedItem()), 1);

  ASSERT_TRUE(bar.UserClickItem(display, 0));
  EXPECT_EQ(h.pages[2]->load_count, 1) << "a second visit only switches";
  EXPECT_EQ(main.notset().ActivePage()->Caption(), "2");

  // Hidden items and collapsed groups take no user clicks.
  const int comm = bar.GroupIndex("RzGroup_Communication");
  EXPECT_FALSE(bar.UserClickItem(comm, 5));
  ASSERT_TRUE(bar.UserToggleGroup(display));
  EXPECT_FALSE(bar.Groups()[static_cast<std::size_t>(display)].Expanded);
  EXPECT_FALSE(bar.UserClickItem(display, 1));
  EXPECT_EQ(h.pages[3]->load_count, 0);
}

TEST(MainWindowNavigation, ClickDuringARunningLoadWaitsForItsEnd) {
  Harness h;
  h.Make({9, 13});
    h.Run();
  auto& main = *h.main;
  GroupBar& bar = main.RzGroupBar1();
  // The Firefox page processes messages while it loads; the user clicks User Logon then.
  bool clicked = false;
  main.SetProcessMessages([&] {
    if (clicked) return;
    clicked = true;
    const int manage = bar.GroupIndex("RzGroup_Manage");
    bar.UserClickItem(manage, 0);
    EXPECT_EQ(h.pages[13]->load_count, 0) << "held back while the Firefox page loads";
    EXPECT_TRUE(main.PageLoading());
  });
  h.pages[9]->load = [](PageContext& ctx) {
    ctx.ProcessMessages();
    EXPECT_TRUE(ctx.PageLoading());
  };
  bar.UserClickItem(bar.GroupIndex("RzGroup_Use"), 1);
  EXPECT_EQ(h.log.entries, (std::vector<std::string>{"adapt 9", "load begin 9", "load end 9", "adapt 13",
                                                     "load begin 13", "load end 13"}));
  EXPECT_EQ(main.notset().ActivePage()->Caption(), "13");
  EXPECT_EQ(Tag(main.SelectedItem()), 13);
  EXPECT_FALSE(bar.Item(bar.GroupIndex("RzGroup_Use"), 1).Bold);
  EXPECT_FALSE(main.PageLoading());
}

TEST(MainWindowForwarders, ChangesDuringALoadAreIgnoredUserChangesEnableApply) {
  Harness h;
  h.Make({2}, [](FakePage& page) { CheckBoxPage(page, "Checkbox_FileType_MenuOperation_Drive_OpenDrive"); });
    h.Run();
  auto& main = *h.main;
  auto& box = main.Find<CheckBox>("Checkbox_FileType_MenuOperation_Drive_OpenDrive");
  main.LoadPage(2);
  EXPECT_TRUE(box.Checked());
  EXPECT_TRUE(h.pages[2]->senders.empty());
  EXPECT_FALSE(h.button("Button_Apply").Enabled());

  box.UserClick();
  EXPECT_EQ(h.pages[2]->senders, std::vector<std::string>{"Checkbox_FileType_MenuOperation_Drive_OpenDrive"});
  EXPECT_TRUE(h.button("Button_Apply").Enabled());
}

TEST(MainWindowForwarders, EveryNamedForwarderReachesItsPage) {
  std::vector<int> tags;
  for (int tag = 1; tag <= 19; ++tag) tags.push_back(tag);
  Harness h;
  h.Make(tags);
  auto& main = *h.main;
  auto& sender = main.Find<Button>("Button_OK");
  int named = 0;
  for (int tag = 1; tag <= 19; ++tag) {
    const char* name = ForwarderName(tag);
    if (name == nullptr) continue;
    ++named;
    forms::NotifyEvent event = main.Event(name);
    ASSERT_TRUE(event) << name;
    main.Find<Button>("Button_Apply").SetEnabled(false);
    event(sender);
    for (auto& [t, page] : h.pages) {
      EXPECT_EQ(page->senders.size(), t == tag ? 1u : 0u) << name << " reached page " << t;
      page->senders.clear();
    }
    EXPECT_TRUE(h.button("Button_Apply").Enabled()) << name;
  }
  EXPECT_EQ(named, 18);
  EXPECT_EQ(ForwarderName(10), nullptr);
  EXPECT_FALSE(main.Event("NoSuchEventClick"));
  EXPECT_THROW(main.Context(2).Event("NoSuchEventClick"), forms::ModelError);
}

TEST(MainWindowForwarders, HandlerErrorIsReportedAndApplyStillEnabled) {
  Harness h;
  h.Make({2}, [](FakePage& page) {
    CheckBoxPage(page, "Checkbox_Two");
    page.change = [](PageContext&, Component&) { throw std::runtime_error("bad record"); };
  });
    h.Run();
  h.main->LoadPage(2);
  h.main->Find<CheckBox>("Checkbox_Two").UserClick();
  EXPECT_EQ(h.reporter.reports, std::vector<std::string>{"change of Checkbox_Two: bad record"});
  EXPECT_TRUE(h.button("Button_Apply").Enabled());
}

TEST(MainWindowTranslation, LanguageFileRewritesCaptionsAndListsAreReselected) {
  Harness h;
  h.platform.files().AddFile("C:\\Program Files\\Corvanel\\Language\\English.lng",
                             "[Main]\nDisplayName=English\n"
                             "[Corvanel_M]\nD_Menu = Menus  \nD_Loading=Loading\n"
                             "[_Corvanel_FormMain]\nLabel_Main_Title.Caption=Corvanel Title\n"
                             "CB_Startup_Error_SystemError_Type.Items[1].Caption=Second\n");
  h.Make({16}, [](FakePage& page) {
    page.build = [](PageContext& ctx) {
      auto& combo = ctx.Form().Create<ComboBox>(ctx.Page(), "CB_Startup_Error_SystemError_Type", {8, 8, 120, 21});
      combo.SetItems({"First", "Two", "Three"});
    };
  });
  auto& main = *h.main;
  main.ShowForm();
  const GroupBar& bar = main.RzGroupBar1();
  EXPECT_EQ(bar.Groups()[1].Caption, "Menus");
  EXPECT_EQ(bar.Groups()[0].Caption, "General Settings");
  EXPECT_EQ(bar.Item(1, 0).Caption, "File Types");
  EXPECT_EQ(main.Texts().Get(lang::MessageId::D_Loading), "Loading");
  EXPECT_EQ(main.Find<Label>("Label_Main_Title").Caption(), "Corvanel Title");
  EXPECT_EQ(main.Find<Label>("Label_Main_Info").Caption(), "Corvanel helps you change operating system settings.");
  auto& combo = main.Find<ComboBox>("CB_Startup_Error_SystemError_Type");
  EXPECT_EQ(combo.Items(), (std::vector<std::string>{"First", "Second", "Three"}));
  EXPECT_EQ(combo.ItemIndex(), 0);
  main.Find<Timer>("Timer_Loading").Tick();
  EXPECT_EQ(main.Find<Label>("Label_Wait").Caption(), "Loading..");
}

TEST(MainWindowTranslation, WithoutLanguageFolderEveryTextIsEnglish) {
  Harness h;
  h.Make({});
  h.main->ShowForm();
  const GroupBar& bar = h.main->RzGroupBar1();
  std::vector<std::string> captions;
  for (const NavGroup& group : bar.Groups()) captions.push_back(group.Caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"General Settings", "Menu", "Browser", "System Settings", "Security",
                                                "Others"}));
  EXPECT_EQ(bar.Item(bar.GroupIndex("RzGroup_Communication"), 5).Caption, "Opera");
}

TEST(MainWindowPages, ModulesAreCheckedAndBuiltOnTheirOwnPage) {
  Harness h;
  h.Make({4}, [](FakePage& page) {
    page.build = [](PageContext& ctx) {
      EXPECT_EQ(ctx.Page().Caption(), "4");
      ctx.Form().Create<CheckBox>(ctx.Page(), "Checkbox_Four", {8, 8, 100, 17});
    };
  });
  EXPECT_EQ(h.main->Find<CheckBox>("Checkbox_Four").Parent(), h.main->notset().PageByCaption("4"));

  for (std::vector<int> bad : {std::vector<int>{0}, std::vector<int>{20}, std::vector<int>{3, 3}}) {
    Harness other;
    EXPECT_THROW(other.Make(bad), std::invalid_argument);
  }
}

}  // namespace
}  // namespace corvanel::ui
