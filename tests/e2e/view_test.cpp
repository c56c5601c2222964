// The renderer in one process: a model form shown as real Win32 controls under Wine,
// checked in both directions (model -> window, window input -> model) and for the
// loops and refusals between them.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "forms/forms.h"
#include "ui/win32/automation.h"
#include "ui/win32/form_view.h"

#include <commctrl.h>

namespace corvanel::ui::win32 {
namespace {

using namespace corvanel::forms;

std::wstring Text(HWND hwnd) {
  wchar_t buf[256] = {};
  GetWindowTextW(hwnd, buf, 256);
  return buf;
}

bool Shown(HWND hwnd) { return (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

// Sends a control's notification the way Windows does: WM_COMMAND / WM_NOTIFY to its parent.
void Command(HWND ctl, int code) {
  SendMessageW(GetParent(ctl), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ctl), code), reinterpret_cast<LPARAM>(ctl));
}
LRESULT Notify(HWND ctl, NMHDR* hdr) {
  hdr->hwndFrom = ctl;
  hdr->idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(ctl));
  return SendMessageW(GetParent(ctl), WM_NOTIFY, hdr->idFrom, reinterpret_cast<LPARAM>(hdr));
}

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static bool registered = false;
    if (!registered) {
      registered = true;
      INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
      InitCommonControlsEx(&icc);
      WNDCLASSW wc{};
      wc.lpfnWndProc = &HostProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"CorvanelViewTestHost";
      RegisterClassW(&wc);
    }
    host_ = CreateWindowExW(0, L"CorvanelViewTestHost", L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 700, 500,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
    form_.SetBounds({0, 0, 600, 400});
    box_ = &form_.Create<GroupBox>(form_, "Box", {8, 8, 300, 200}, "Box");
    check_ = &form_.Create<CheckBox>(*box_, "Check", {8, 20, 150, 17}, "Check me");
    radio_a_ = &form_.Create<RadioButton>(*box_, "RadioA", {8, 40, 100, 17}, "A");
    radio_b_ = &form_.Create<RadioButton>(*box_, "RadioB", {8, 60, 100, 17}, "B");
    combo_ = &form_.Create<ComboBox>(*box_, "Combo", {8, 80, 120, 21});
    combo_->SetItems({"one", "two", "three"});
    track_ = &form_.Create<TrackBar>(*box_, "Track", {8, 110, 150, 30});
    track_->SetRange(0, 20);
    edit_ = &form_.Create<Edit>(*box_, "Edit", {8, 150, 60, 21});
    updown_ = &form_.Create<UpDown>(*box_, "UpDown", {68, 150, 16, 21});
    updown_->SetRange(0, 10);
    updown_->SetAssociate(edit_);
    pages_ = &form_.Create<PageControl>(form_, "Pages", {320, 8, 260, 200});
    for (const char* name : {"Sheet0", "Sheet1", "Sheet2"})
      sheets_.push_back(&form_.Create<TabSheet>(*pages_, name, {}, std::string("Tab ") + name));
    sheet_button_ = &form_.Create<Button>(*sheets_[1], "SheetButton", {8, 8, 80, 25}, "On sheet 1");
    list_ = &form_.Create<ListView>(form_, "List", {8, 220, 300, 120});
    list_->SetCheckboxes(true);
    list_->SetStyle(ViewStyle::Report);
    list_->AddColumn("Name", 200);
    for (const char* caption : {"first", "second"}) {
      ListItem item;
      item.caption = caption;
      list_->AddItem(item);
    }
    ok_ = &form_.Create<Button>(form_, "OK", {400, 300, 90, 25}, "OK");

    check_->OnClick = [this](Component&) { ++check_clicks_; };
    combo_->OnChange = [this](Component&) { ++combo_changes_; };
    track_->OnChange = [this](Component&) { ++track_changes_; };
    edit_->OnChange = [this](Component&) { ++edit_changes_; };
    updown_->OnClick = [this](Component&) { ++updown_clicks_; };
    pages_->OnChange = [this](Component&) { ++page_changes_; };
    list_->OnItemChecked = [this](Component&, int item) { checked_items_.push_back(item); };

    FormView::Hooks hooks;
    hooks.report_error = [this](const std::string& message) { errors_.push_back(message); };
    view_ = std::make_unique<FormView>(form_, host_, 96, hooks);
    view_->Build();
  }
  void TearDown() override {
    view_.reset();
    if (host_) DestroyWindow(host_);
  }
  static LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* view = static_cast<FormView*>(GetPropW(hwnd, L"CorvanelFormView"));
    LRESULT r = 0;
    if (view != nullptr && view->Route(hwnd, msg, wp, lp, &r)) return r;
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  HWND W(const Component& c) const { return view_->WindowOf(c); }

  HWND host_ = nullptr;
  Form form_{"TestForm"};
  GroupBox* box_ = nullptr;
  CheckBox* check_ = nullptr;
  RadioButton* radio_a_ = nullptr;
  RadioButton* radio_b_ = nullptr;
  ComboBox* combo_ = nullptr;
  TrackBar* track_ = nullptr;
  Edit* edit_ = nullptr;
  UpDown* updown_ = nullptr;
  PageControl* pages_ = nullptr;
  std::vector<TabSheet*> sheets_;
  Button* sheet_button_ = nullptr;
  ListView* list_ = nullptr;
  Button* ok_ = nullptr;
  std::unique_ptr<FormView> view_;
  int check_clicks_ = 0, combo_changes_ = 0, track_changes_ = 0, edit_changes_ = 0, updown_clicks_ = 0,
      page_changes_ = 0;
  std::vector<int> checked_items_;
  std::vector<std::string> errors_;
};

TEST_F(ViewTest, CodeChangesReachTheWindowsAndRaiseOnlyTheModelsOwnEvents) {
  check_->SetChecked(true);
  combo_->SetItemIndex(2);
  track_->SetPosition(7);
  edit_->SetText("42");
  radio_b_->SetChecked(true);
  list_->SetItemChecked(1, true);
  pages_->SetActivePageIndex(2);
  box_->SetCaption("Renamed");

  EXPECT_EQ(SendMessageW(W(*check_), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(W(*combo_), CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(SendMessageW(W(*combo_), CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(W(*track_), TBM_GETPOS, 0, 0), 7);
  EXPECT_EQ(SendMessageW(W(*track_), TBM_GETRANGEMAX, 0, 0), 20);
  EXPECT_EQ(Text(W(*edit_)), L"42");
  EXPECT_EQ(SendMessageW(W(*radio_a_), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(W(*radio_b_), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ((SendMessageW(W(*list_), LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK) >> 12), 2);
  EXPECT_EQ(SendMessageW(W(*pages_), TCM_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(Shown(W(*sheets_[2])));
  EXPECT_FALSE(Shown(W(*sheets_[0])));
  // A group box's caption keeps a space after it, so its last letter is never clipped.
  EXPECT_EQ(Text(W(*box_)), L"Renamed ");

  // Each model event once, from the model; nothing came back from the windows.
  EXPECT_EQ(check_clicks_, 1);
  EXPECT_EQ(combo_changes_, 0);
  EXPECT_EQ(track_changes_, 1);
  EXPECT_EQ(edit_changes_, 1);
  EXPECT_EQ(page_changes_, 0);
  EXPECT_TRUE(checked_items_.empty());
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ViewTest, VisibleAndEnabledFollowTheModel) {
  for (Control* c : std::vector<Control*>{check_, combo_, edit_, ok_}) {
    SCOPED_TRACE(c->Name());
    c->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(W(*c)));
    c->SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(W(*c)));
    c->Hide();
    EXPECT_FALSE(Shown(W(*c)));
    c->Show();
    EXPECT_TRUE(Shown(W(*c)));
  }
}

TEST_F(ViewTest, UserInputBecomesTheModelsUserOperations) {
  SendMessageW(W(*check_), BM_CLICK, 0, 0);
  EXPECT_TRUE(check_->Checked());
  EXPECT_EQ(check_clicks_, 1);
  EXPECT_EQ(SendMessageW(W(*check_), BM_GETCHECK, 0, 0), BST_CHECKED);

  SendMessageW(W(*radio_b_), BM_CLICK, 0, 0);
  EXPECT_TRUE(radio_b_->Checked());
  SendMessageW(W(*radio_a_), BM_CLICK, 0, 0);
  EXPECT_TRUE(radio_a_->Checked());
  EXPECT_FALSE(radio_b_->Checked());
  EXPECT_EQ(SendMessageW(W(*radio_b_), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  SendMessageW(W(*combo_), CB_SETCURSEL, 1, 0);
  Command(W(*combo_), CBN_SELCHANGE);
  EXPECT_EQ(combo_->ItemIndex(), 1);
  EXPECT_EQ(combo_changes_, 1);

  SendMessageW(W(*track_), TBM_SETPOS, TRUE, 12);
  SendMessageW(GetParent(W(*track_)), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 12),
               reinterpret_cast<LPARAM>(W(*track_)));
  EXPECT_EQ(track_->Position(), 12);
  EXPECT_EQ(track_changes_, 1);

  SetWindowTextW(W(*edit_), L"7");  // EN_CHANGE
  EXPECT_EQ(edit_->Text(), "7");
  EXPECT_EQ(updown_->Position(), 7) << "the up-down follows its buddy";

  NMUPDOWN nm{};
  nm.hdr.code = UDN_DELTAPOS;
  nm.iPos = 7;
  nm.iDelta = 1;
  EXPECT_EQ(Notify(W(*updown_), &nm.hdr), 1) << "the control must not move by itself";
  EXPECT_EQ(updown_->Position(), 8);
  EXPECT_EQ(updown_clicks_, 1);
  EXPECT_EQ(Text(W(*edit_)), L"8");

  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(2);
  SendMessageW(W(*list_), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_TRUE(list_->Items()[0].checked);
  EXPECT_EQ(checked_items_, std::vector<int>{0});

  SendMessageW(W(*pages_), TCM_SETCURSEL, 1, 0);
  NMHDR hdr{};
  hdr.code = TCN_SELCHANGE;
  Notify(W(*pages_), &hdr);
  EXPECT_EQ(pages_->ActivePageIndex(), 1);
  EXPECT_EQ(page_changes_, 1);
  EXPECT_TRUE(Shown(W(*sheets_[1])));
  EXPECT_FALSE(Shown(W(*sheets_[0])));
  EXPECT_TRUE(errors_.empty());
}

TEST_F(ViewTest, InputTheModelRefusesIsUndoneInTheWindow) {
  // A disabled check box in the model (the window is enabled behind its back).
  check_->SetEnabled(false);
  EnableWindow(W(*check_), TRUE);
  SendMessageW(W(*check_), BM_CLICK, 0, 0);
  EXPECT_FALSE(check_->Checked());
  EXPECT_EQ(SendMessageW(W(*check_), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  // The key filter: digits pass, letters are dropped, '+' is replaced.
  edit_->OnKeyPress = [](Component&, char32_t& key) {
    if (key == U'+') key = U'1';
    else if (key < U'0' || key > U'9') key = 0;
  };
  edit_->SetText("");
  for (wchar_t ch : std::wstring(L"4a+x")) SendMessageW(W(*edit_), WM_CHAR, ch, 0);
  EXPECT_EQ(Text(W(*edit_)), L"41");
  EXPECT_EQ(edit_->Text(), "41");
}

TEST_F(ViewTest, HiddenTabsLeaveTheStripButKeepTheirSheets) {
  sheets_[1]->SetTabVisible(false);
  HWND tabs = W(*pages_);
  EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
  wchar_t text[64] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = 64;
  SendMessageW(tabs, TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, L"Tab Sheet2");
  // The second tab of the strip is the third sheet.
  SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
  NMHDR hdr{};
  hdr.code = TCN_SELCHANGE;
  Notify(tabs, &hdr);
  EXPECT_EQ(pages_->ActivePageIndex(), 2);
  sheets_[1]->SetTabVisible(true);
  EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 2) << "the active sheet keeps its tab selected";
}

TEST_F(ViewTest, TabWalksOnlyWhatTheUserCanSee) {
  ShowWindow(host_, SW_SHOWNA);
  auto walk = [&](bool backward, int steps) {
    std::vector<std::string> names;
    for (int i = 0; i < steps; ++i) {
      EXPECT_TRUE(view_->FocusNext(backward));
      Control* c = view_->ControlOf(GetFocus());
      names.push_back(c ? c->Name() : "?");
    }
    return names;
  };
  edit_->SetEnabled(false);
  // Sheet 0 is active: the button on sheet 1 is not reachable; radios are one stop.
  const std::vector<std::string> forward = walk(false, 7);
  const std::vector<std::string> expected = {"Check", "RadioA", "Combo", "Track", "Pages", "List", "OK"};
  EXPECT_EQ(forward, expected);
  EXPECT_EQ(walk(false, 1), std::vector<std::string>{"Check"}) << "wraps round";
  EXPECT_FALSE(radio_a_->Checked()) << "passing through a radio group must not select";
  EXPECT_EQ(walk(true, 2), (std::vector<std::string>{"OK", "List"}));
  // With sheet 1 in front its button joins, in its place after the page control.
  pages_->SetActivePageIndex(1);
  const std::vector<std::string> with_sheet = {"OK", "Check", "RadioA", "Combo", "Track", "Pages", "SheetButton", "List"};
  EXPECT_EQ(walk(false, 8), with_sheet);
}

TEST_F(ViewTest, ArrowKeysSelectWithinARadioGroup) {
  ShowWindow(host_, SW_SHOWNA);
  SetFocus(W(*radio_a_));
  EXPECT_FALSE(radio_a_->Checked()) << "focus alone does not select";
  EXPECT_TRUE(view_->MoveInRadioGroup(false));
  EXPECT_EQ(GetFocus(), W(*radio_b_));
  EXPECT_TRUE(radio_b_->Checked());
  EXPECT_EQ(SendMessageW(W(*radio_b_), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(view_->MoveInRadioGroup(false)) << "wraps to the first";
  EXPECT_TRUE(radio_a_->Checked());
  EXPECT_FALSE(radio_b_->Checked());
  SetFocus(W(*check_));
  EXPECT_FALSE(view_->MoveInRadioGroup(false)) << "arrows elsewhere are the control's own";
}

TEST_F(ViewTest, ControlsHaveStableIdsByName) {
  EXPECT_EQ(ControlIdForName("Button_OK"), ControlIdForName("button_ok"));
  for (Control* c : std::vector<Control*>{check_, combo_, ok_}) {
    SCOPED_TRACE(c->Name());
    EXPECT_EQ(GetDlgItem(GetParent(W(*c)), ControlIdForName(c->Name())), W(*c));
    EXPECT_EQ(view_->FindByName(c->Name()), W(*c));
  }
  EXPECT_EQ(view_->FindByName("NoSuchControl"), nullptr);
}

TEST_F(ViewTest, ErrorsInHandlersAreReportedAndTheViewGoesOn) {
  check_->OnClick = [](Component&) { throw std::runtime_error("handler broke"); };
  SendMessageW(W(*check_), BM_CLICK, 0, 0);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0], "handler broke");
  // The state the model reached before the error is what the window shows.
  EXPECT_EQ(SendMessageW(W(*check_), BM_GETCHECK, 0, 0), check_->Checked() ? BST_CHECKED : BST_UNCHECKED);
  SendMessageW(W(*combo_), CB_SETCURSEL, 2, 0);
  Command(W(*combo_), CBN_SELCHANGE);
  EXPECT_EQ(combo_->ItemIndex(), 2);
}

TEST_F(ViewTest, LaterControlsAndNewDpiFollow) {
  auto& late = form_.Create<CheckBox>(*box_, "Late", {150, 20, 100, 17}, "Late");
  ASSERT_NE(W(late), nullptr);
  late.SetChecked(true);
  EXPECT_EQ(SendMessageW(W(late), BM_GETCHECK, 0, 0), BST_CHECKED);

  view_->SetDpi(144);
  RECT rc;
  GetWindowRect(W(*ok_), &rc);
  MapWindowPoints(nullptr, host_, reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_EQ(rc.left, 600);
  EXPECT_EQ(rc.top, 450);
  EXPECT_EQ(rc.right - rc.left, 135);
  LOGFONTW lf{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(W(*ok_), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  EXPECT_EQ(lf.lfHeight, -17) << "Tahoma -11 at 144 DPI";
}

// A colour swatch: a panel with a colour of its own inside a group box, as the pages use
// them to show a stored colour, on a sheet that comes to the front while the window is
// on screen (its windows are made then).
TEST_F(ViewTest, SwatchesOnASheetShownLaterShowTheirOwnColour) {
  auto& group = form_.Create<GroupBox>(*sheets_[2], "SwatchBox", {4, 4, 200, 60}, "Colours");
  auto& swatch = form_.Create<Panel>(group, "Swatch", {100, 20, 40, 21});
  swatch.SetBackgroundColor(0x0000FF00);
  ShowWindow(host_, SW_SHOWNA);
  UpdateWindow(host_);
  ASSERT_EQ(W(swatch), nullptr) << "made before its sheet was shown";
  pages_->SetActivePageIndex(2);
  UpdateWindow(host_);
  HWND hwnd = W(swatch);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  HDC dc = GetDC(hwnd);
  EXPECT_EQ(GetPixel(dc, 20, 10), RGB(0, 255, 0));
  ReleaseDC(hwnd, dc);
  swatch.SetBackgroundColor(0x000000FF);
  UpdateWindow(host_);
  dc = GetDC(hwnd);
  EXPECT_EQ(GetPixel(dc, 20, 10), RGB(255, 0, 0)) << "a new colour is painted at once";
  ReleaseDC(hwnd, dc);
}

// The main window builds with its sheets waiting: the one in front at design gets its
// windows only when asked, or when it comes to the front again.
TEST_F(ViewTest, DeferredBuildLeavesEvenTheFrontSheetWaiting) {
  HWND host = CreateWindowExW(0, L"CorvanelViewTestHost", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(host, nullptr);
  for (bool ask : {true, false}) {
    SCOPED_TRACE(ask ? "realized on request" : "realized by coming to the front");
    Form form{"Deferred"};
    form.SetBounds({0, 0, 300, 200});
    auto& pages = form.Create<PageControl>(form, "Pages", {0, 0, 300, 200});
    auto& front = form.Create<TabSheet>(pages, "Front", {}, "Front");
    auto& back = form.Create<TabSheet>(pages, "Back", {}, "Back");
    auto& on_front = form.Create<Button>(front, "OnFront", {8, 8, 80, 25}, "Front");
    auto& on_back = form.Create<Button>(back, "OnBack", {8, 8, 80, 25}, "Back");
    FormView view(form, host, 96, {});
    view.Build(true);
    EXPECT_NE(view.WindowOf(pages), nullptr) << "the tab strip itself is made";
    EXPECT_EQ(view.WindowOf(on_front), nullptr);
    if (ask) {
      view.RealizeShownSheets();
      EXPECT_NE(view.WindowOf(on_front), nullptr);
      EXPECT_EQ(view.WindowOf(on_back), nullptr) << "a sheet behind still waits";
    } else {
      pages.SetActivePageIndex(1);
      EXPECT_NE(view.WindowOf(on_back), nullptr);
      EXPECT_EQ(view.WindowOf(on_front), nullptr);
      view.RealizeShownSheets();
      EXPECT_EQ(view.WindowOf(on_front), nullptr) << "only sheets in front are made";
      pages.SetActivePageIndex(0);
      EXPECT_NE(view.WindowOf(on_front), nullptr);
      EXPECT_TRUE(Shown(view.WindowOf(on_front)));
    }
  }
  DestroyWindow(host);
}

// A themed check box asks its group box for the picture behind it; the box leaves out its
// frame when the control lies inside it, but not when the control reaches the frame.
TEST_F(ViewTest, AGroupBoxPrintsItsFrameWhereAControlReachesIt) {
  HWND box = W(*box_);
  RECT rc;
  GetClientRect(box, &rc);
  HDC screen = GetDC(box);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, rc.right, rc.bottom);
  ReleaseDC(box, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  const COLORREF sentinel = RGB(255, 0, 255);
  auto print_count_changed = [&](const RECT& clip) {
    HBRUSH fill = CreateSolidBrush(sentinel);
    SelectClipRgn(dc, nullptr);
    FillRect(dc, &rc, fill);
    DeleteObject(fill);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    SendMessageW(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SelectClipRgn(dc, nullptr);
    int changed = 0;
    for (int y = 0; y < rc.bottom; ++y)
      for (int x = 0; x < rc.right; ++x) changed += GetPixel(dc, x, y) != sentinel ? 1 : 0;
    return changed;
  };
  EXPECT_GT(print_count_changed(RECT{0, 0, 60, 14}), 0) << "the caption";
  EXPECT_GT(print_count_changed(RECT{0, 30, 12, 90}), 0) << "the left edge";
  EXPECT_GT(print_count_changed(RECT{20, rc.bottom - 8, 120, rc.bottom}), 0) << "the bottom edge";
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

// Windows list siblings top first; the model lists them bottom first.
TEST_F(ViewTest, WindowsStackInTheModelsDrawingOrder) {
  auto expect_stack = [this](const Control& parent, const char* after) {
    std::vector<HWND> model;
    for (auto it = parent.Children().rbegin(); it != parent.Children().rend(); ++it) model.push_back(W(**it));
    std::vector<HWND> windows;
    for (HWND w = GetWindow(W(parent), GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) windows.push_back(w);
    EXPECT_EQ(windows, model) << after;
  };
  expect_stack(*box_, "built");
  radio_a_->BringToFront();
  expect_stack(*box_, "a middle one brought to the front");
  combo_->SendToBack();
  expect_stack(*box_, "a middle one sent to the back");
  form_.Create<CheckBox>(*box_, "Late", {8, 170, 100, 17}, "Late");
  expect_stack(*box_, "one created after the build");
  auto& cover = form_.Create<Panel>(form_, "Cover", {0, 0, 600, 400});
  EXPECT_EQ(GetWindow(host_, GW_CHILD), W(cover)) << "the last created control is on top";
  cover.SendToBack();
  EXPECT_EQ(GetWindow(W(*ok_), GW_HWNDNEXT), W(*list_)) << "the others keep their order";
  EXPECT_EQ(GetWindow(host_, GW_CHILD), W(*ok_));
}

}  // namespace
}  // namespace corvanel::ui::win32

// ---------------------------------------------------------------------------------
// The group bar and the pictures drawn by code.

#include "ui/navigation.h"
#include "ui/win32/art.h"
#include "ui/win32/group_bar_view.h"

namespace corvanel::ui::win32 {
namespace {

class GroupBarViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CorvanelBarTestHost";
    RegisterClassW(&wc);
    host_ = CreateWindowExW(0, L"CorvanelBarTestHost", L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 600, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    form_.SetBounds({0, 0, 300, 500});
    bar_ = &form_.Create<GroupBar>(form_, "RzGroupBar1", {0, 0, 232, 403});
    bar_->OnItemClick = [this](NavItem& item) { clicked_.push_back(item.Tag); };
    FormView::Hooks hooks;
    hooks.create_custom = [this](forms::Control& c, HWND parent, int id) {
      return GroupBarView::Create(*view_, static_cast<GroupBar&>(c), parent, id);
    };
    view_ = std::make_unique<FormView>(form_, host_, 96, hooks);
    view_->Build();
    bar_hwnd_ = view_->WindowOf(*bar_);
    gv_ = GroupBarView::FromWindow(bar_hwnd_);
  }
  void TearDown() override {
    view_.reset();
    DestroyWindow(host_);
  }
  bool Point(int tag, POINT* p) { return gv_->ItemPoint(tag, p); }
  void Click(POINT p) {
    SendMessageW(bar_hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(bar_hwnd_, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  }

  HWND host_ = nullptr;
  forms::Form form_{"BarForm"};
  GroupBar* bar_ = nullptr;
  std::unique_ptr<FormView> view_;
  HWND bar_hwnd_ = nullptr;
  GroupBarView* gv_ = nullptr;
  std::vector<int> clicked_;
};

TEST_F(GroupBarViewTest, ItemsAreHitWhereTheyAreDrawnAlsoAfterScrolling) {
  ASSERT_NE(gv_, nullptr);
  // Every visible item, the last ones only after the bar has scrolled to them.
  for (int tag : {19, 2, 3, 5, 6, 8, 9, 17, 4, 7, 14, 15, 13, 18, 12, 1, 16}) {
    SCOPED_TRACE("tag " + std::to_string(tag));
    POINT p{};
    ASSERT_TRUE(Point(tag, &p));
    RECT rc;
    GetClientRect(bar_hwnd_, &rc);
    EXPECT_TRUE(PtInRect(&rc, p)) << "item point outside the visible bar";
    clicked_.clear();
    Click(p);
    EXPECT_EQ(clicked_, std::vector<int>{tag});
  }
  // The two items without a row.
  POINT p{};
  EXPECT_FALSE(Point(10, &p));
  EXPECT_FALSE(Point(11, &p));
}

TEST_F(GroupBarViewTest, HiddenAndCollapsedItemsHaveNoRow) {
  POINT firefox{};
  ASSERT_TRUE(Point(9, &firefox));
  bar_->SetItemVisible(bar_->GroupIndex("RzGroup_Use"), 1, false);
  POINT p{};
  EXPECT_FALSE(Point(9, &p));
  clicked_.clear();
  Click(firefox);
  EXPECT_NE(clicked_, std::vector<int>{9}) << "a hidden item was clicked";

  bar_->SetGroupExpanded(bar_->GroupIndex("RzGroup_Display"), false);
  EXPECT_FALSE(Point(2, &p));
  ASSERT_TRUE(Point(8, &p)) << "the groups below move up";
}

TEST(Art, LoadingFramesAndGlyphsAreDrawnAndDistinct) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 32 * 8, 32);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  const COLORREF white = RGB(255, 255, 255);
  for (int f = 0; f < 8; ++f) DrawLoadingFrame(dc, RECT{f * 32, 0, f * 32 + 32, 32}, f, white);
  auto signature = [&](int left) {
    std::vector<COLORREF> px;
    for (int y = 0; y < 32; y += 2)
      for (int x = 0; x < 32; x += 2) px.push_back(GetPixel(dc, left + x, y));
    return px;
  };
  std::vector<std::vector<COLORREF>> frames;
  for (int f = 0; f < 8; ++f) {
    frames.push_back(signature(f * 32));
    EXPECT_GT(std::count_if(frames.back().begin(), frames.back().end(), [&](COLORREF c) { return c != white; }), 10)
        << "frame " << f << " is blank";
  }
  for (int f = 1; f < 8; ++f) EXPECT_NE(frames[f], frames[f - 1]) << "frames " << f - 1 << " and " << f << " alike";

  GlyphStrip strip(16, white);
  std::vector<std::vector<COLORREF>> glyphs;
  for (int i = 0; i < kNavGlyphCount; ++i) {
    RECT clear{0, 0, 32, 32};
    FillRect(dc, &clear, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    strip.Draw(dc, 0, 0, i);
    std::vector<COLORREF> px;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) px.push_back(GetPixel(dc, x, y));
    glyphs.push_back(px);
  }
  // Glyphs that share a symbol differ by colour; no two are the same picture.
  for (int i = 0; i < kNavGlyphCount; ++i)
    for (int j = i + 1; j < kNavGlyphCount; ++j) EXPECT_NE(glyphs[i], glyphs[j]) << "glyphs " << i << " and " << j;
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

TEST(Art, LogonPicturesAreTwoDifferentScreensOnTheirBackground) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 90 * 2, 72);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  const COLORREF face = RGB(236, 233, 216);
  DrawLogonPicture(dc, RECT{0, 0, 90, 72}, false, face);
  DrawLogonPicture(dc, RECT{90, 0, 180, 72}, true, face);
  int differ = 0;
  for (int y = 0; y < 72; y += 3)
    for (int x = 0; x < 90; x += 3) differ += GetPixel(dc, x, y) != GetPixel(dc, 90 + x, y) ? 1 : 0;
  EXPECT_GT(differ, 100) << "the two styles look alike";
  // The corners stay the backdrop: the picture is a monitor, not a filled box.
  for (const int left : {0, 90}) EXPECT_EQ(GetPixel(dc, left, 71), face) << left;
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

}  // namespace
}  // namespace corvanel::ui::win32
