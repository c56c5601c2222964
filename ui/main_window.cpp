#include "ui/main_window.h"

#include <algorithm>
#include <array>
#include <exception>
#include <stdexcept>
#include <utility>

#include "engine/host_probes.h"
#include "ui/numeric_field.h"

namespace corvanel::ui {

using forms::Button;
using forms::ComboBox;
using forms::Component;
using forms::Control;
using forms::Image;
using forms::Label;
using forms::Panel;
using forms::Rect;
using forms::TabSheet;
using forms::Timer;
using lang::MessageId;

namespace {

constexpr std::array<std::pair<int, const char*>, 18> kForwarders = {{
    {1, "CheckBox_Display_Effect_DisplayAndEffectSettings_BackgroundClick"},
    {2, "Checkbox_FileType_MenuOperation_Drive_OpenDriveClick"},
    {3, "Checkbox_Folder_View_Windows_TreeClick"},
    {4, "Checkbox_Use_MouseFunction_ChangeKey_ChangeClick"},
    {5, "Checkbox_Use_StartMenu_Common_User_ShowUserNameClick"},
    {6, "Checkbox_Taskbar_ButtonFlashes_ActiveClick"},
    {7, "Checkbox_Net_Neighbor_Common_TaskClick"},
    {8, "Checkbox_IE_Common_Media_OpenClick"},
    {9, "CheckBox_Firefox_Common_DynamicText_ProhibitFlashingClick"},
    {11, "CHKAnimatClick"},
    {12, "Checkbox_CleanTraces_ClearHistoryList_ClearLogoffClick"},
    {13, "Checkbox_UserLogin_AutoLogin_ActiveAutoLoginClick"},
    {14, "Checkbox_Drives_Common_EnableClick"},
    {15, "Checkbox_MemoryAndCache_MemoryManage_Pagefile_DeleteClick"},
    {16, "Checkbox_Startup_System_Defrag_EnableClick"},
    {17, "Checkbox_System_CommonDialog_FileName_RecentClick"},
    {18, "Checkbox_Security_Center_ActiveClick"},
    {19, "CB_CommonSettings_Others_Font_SmoothTypeChange"},
}};

constexpr std::array<const char*, 14> kReselectedCombos = {
    "CB_CommonSettings_Others_Font_SmoothType",
    "CB_CommonSettings_Others_TaskBar_Arrangement",
    "CB_CommonSettings_Others_TaskBar_Left",
    "CB_CommonSettings_Others_TaskBar_Top",
    "CB_CommonSettings_Security_SecuritySettings_AutoUpdateType",
    "CB_Display_Animation_MessageAndAnimation_ToolTipType",
    "CB_Display_FontSmooth_SmoothType",
    "CB_Display_MenuAppearance_WindowsAndMessage_UseType",
    "CB_Firefox_Tab_CloseButton_Pos",
    "CB_Privacy_Common_AutoUpdate_Type",
    "CB_Startup_Error_SystemError_Type",
    "CB_Taskbar_MinWindows_Position_Arrangement",
    "CB_Taskbar_MinWindows_Position_Left",
    "CB_Taskbar_MinWindows_Position_Top",
};

constexpr int kAnimationFrames = 7;
constexpr int kSearchBarHeight = 37;
constexpr int kTimerIntervalMs = 100;
constexpr forms::Color kWhite = 0xFFFFFF;

TAppFrame MakeAppFrame(platform::Platform& platform) {
  TAppFrame frame;
  platform.shell().SpecialFolder(platform::win::CSIDL_COMMON_APPDATA, &frame.CommonAppDataFolder);
  platform.shell().SpecialFolder(platform::win::CSIDL_APPDATA, &frame.AppDataFolder);
  const std::string exe = platform.system().ExecutablePath();
  const auto cut = exe.find_last_of("\\/");
  frame.ExeFolder = cut == std::string::npos ? std::string() : exe.substr(0, cut + 1);
  return frame;
}

}  // namespace

const char* ForwarderName(int tag) {
  for (const auto& [t, name] : kForwarders) {
    if (t == tag) return name;
  }
  return nullptr;
}

std::span<const char* const> ReselectedComboBoxes() { return kReselectedCombos; }

// ---------------------------------------------------------------------------------

Notebook::Notebook() { SetTabStop(false); }

forms::TabSheet* Notebook::PageByCaption(std::string_view caption) const {
  for (TabSheet* sheet : Sheets()) {
    if (sheet->Caption() == caption) return sheet;
  }
  return nullptr;
}

void Notebook::ChildAdded(forms::Control& child) {
  PageControl::ChildAdded(child);
  // No tab row and no border: a page is the whole notebook.
  if (child.IsA<TabSheet>()) child.SetBounds({0, 0, Width(), Height()});
}

// ---------------------------------------------------------------------------------

platform::Platform& PageContext::Platform() const { return main_.GetPlatform(); }
engine::TCorvanel& PageContext::Queue() const { return main_.Queue(); }
const lang::MessageTexts& PageContext::Texts() const { return main_.Texts(); }
int PageContext::VersionClass() const { return main_.WindowsVersionClass(); }
ApplyRequests& PageContext::Requests() const { return main_.Requests(); }
firefox::FirefoxPrefs& PageContext::Firefox() const { return main_.Firefox(); }
const TAppFrame& PageContext::AppFrame() const { return main_.AppFrame(); }
bool PageContext::PageLoading() const { return main_.PageLoading(); }
forms::Form& PageContext::Form() const { return main_; }

forms::TabSheet& PageContext::Page() const {
  TabSheet* sheet = main_.notset().PageByCaption(std::to_string(tag_));
  if (sheet == nullptr) throw forms::ModelError("no notebook page for tag " + std::to_string(tag_));
  return *sheet;
}

forms::NotifyEvent PageContext::Forwarder() const {
  TCorvanel_FormMain* main = &main_;
  const int tag = tag_;
  return [main, tag](Component& sender) { main->Forward(tag, sender); };
}

forms::NotifyEvent PageContext::Event(std::string_view name) const {
  forms::NotifyEvent event = main_.Event(name);
  if (!event) throw forms::ModelError("no form event named \"" + std::string(name) + "\"");
  return event;
}

void PageContext::ProcessMessages() const { main_.ProcessMessages(); }
std::uintptr_t PageContext::OwnerWindow() const { return main_.OwnerWindow(); }
forms::ModalResult PageContext::ShowModal(forms::Form& dialog) const { return main_.ShowModal(dialog); }
const lang::TLanguage* PageContext::Language() const { return main_.Language(); }

forms::ModalResult TCorvanel_FormMain::ShowModal(forms::Form& dialog) {
  if (!show_modal_) return forms::ModalResult::Cancel;
  return show_modal_(dialog);
}
const std::string& PageContext::Caption() const { return main_.Caption(); }

// ---------------------------------------------------------------------------------

TCorvanel_FormMain::TCorvanel_FormMain(platform::Platform& platform, PageModules pages)
    : forms::Form(kMainFormName), platform_(platform), pages_(std::move(pages)), firefox_(platform.files()) {
  BuildLayout();
  BindEvents();
  BuildPages();
  BindNumericFields(*this);
  OnShow = [this](Component&) { FormShow(); };
  FormCreate();
}

TCorvanel_FormMain::TCorvanel_FormMain(ScratchOf of, PageModules pages)
    : forms::Form(kMainFormName), platform_(of.source->platform_), pages_(std::move(pages)),
      firefox_(of.source->platform_.files()) {
  // Held for the form's whole life: no handler a build or an adaptation raises reaches a
  // page's change handler, and there is no queue to reach.
  page_loading_ = true;
  version_class_ = of.source->version_class_;
  texts_ = of.source->texts_;
  if (of.source->app_frame_ != nullptr) app_frame_ = std::make_unique<TAppFrame>(*of.source->app_frame_);
  BuildLayout();
  BindEvents();
  BuildPages();
  BindNumericFields(*this);
  if (of.source->language_ != nullptr) forms::TranslateComponent(*of.source->language_, *this);
}

std::unique_ptr<TCorvanel_FormMain> TCorvanel_FormMain::MakeScratch(PageModules pages) const {
  return std::unique_ptr<TCorvanel_FormMain>(new TCorvanel_FormMain(ScratchOf{this}, std::move(pages)));
}

void TCorvanel_FormMain::BindEvents() {
  for (int tag = 1; tag <= kPageCount; ++tag) contexts_[tag] = std::make_unique<PageContext>(*this, tag);
  for (const auto& [tag, name] : kForwarders) {
    const int t = tag;
    events_[name] = [this, t](Component& sender) { Forward(t, sender); };
  }
  for (const UpDownClickRow& row : UpDownClickEvents()) {
    const int t = row.page_tag;
    const std::string edit = row.edit_sender == nullptr ? std::string() : row.edit_sender;
    events_[row.event] = [this, t, edit](Component& sender) {
      Component* from = &sender;
      if (!edit.empty()) {
        if (Component* e = FindComponent(edit)) from = e;
      }
      Forward(t, *from);
    };
  }
}

TCorvanel_FormMain::~TCorvanel_FormMain() { FormDestroy(); }

void TCorvanel_FormMain::BuildLayout() {
  SetBounds({0, 0, kClientWidth, kClientHeight});
  SetCaption("Velmora Corvanel");
  SetFont({"Tahoma", -11, false, forms::kDefaultColor});
  SetVisible(false);

  auto& pantop = Create<Panel>(*this, "pantop", {0, 0, kClientWidth, 69});
  Create<Image>(pantop, "Image_Top", {0, 0, kClientWidth, 69}).SetPicture("TopBackground");
  Create<Image>(pantop, "Image_Program", {16, 9, 48, 48}).SetPicture("ProgramPicture");
  auto& title = Create<Label>(pantop, "Label_Main_Title", {80, 14, 300, 20}, "Velmora Corvanel");
  title.SetFont({"", -16, true, forms::kDefaultColor});
  Create<Label>(pantop, "Label_Main_Info", {80, 40, 400, 13},
                "Corvanel helps you change operating system settings.");
  Create<Panel>(pantop, "Bevel_Top", {0, 68, kClientWidth, 1});

  auto& work = Create<Panel>(*this, "panclient", {0, 69, kClientWidth, kPageHeight});
  // The search box sits above the navigation bar, which gives up the room for it.
  Create<forms::Edit>(work, "Edit_Search", {8, 8, 216, 21});
  group_bar_ = &Create<GroupBar>(work, "RzGroupBar1", {0, kSearchBarHeight, 232, kPageHeight - kSearchBarHeight});
  group_bar_->OnItemClick = [this](NavItem& item) {
    Guarded("navigation", [this, &item] { RzGroup1Items0Click(&item); });
  };
  auto& holder = Create<Panel>(work, "Panel_Page", {232, 0, kPageWidth, kPageHeight});
  notebook_ = &Create<Notebook>(holder, "notset", {0, 0, kPageWidth, kPageHeight});
  for (int i = 1; i <= kPageCount; ++i) {
    Create<TabSheet>(*notebook_, "Page_" + std::to_string(i), {}, std::to_string(i));
  }
  notebook_->SetActivePageIndex(0);

  auto& buttons = Create<Panel>(*this, "panbottom", {0, 69 + kPageHeight, kClientWidth,
                                                     kClientHeight - 69 - kPageHeight});
  auto& ok = Create<Button>(buttons, "Button_OK", {377, 11, 90, 25}, "OK");
  auto& cancel = Create<Button>(buttons, "Button_Cancel", {481, 11, 90, 25}, "Cancel");
  auto& apply = Create<Button>(buttons, "Button_Apply", {585, 11, 90, 25}, "Apply");
  apply.SetEnabled(false);
  auto& changes = Create<Button>(buttons, "Button_Changes", {16, 11, 90, 25}, "Changes...");
  changes.SetEnabled(false);
  changes.OnClick = [this](Component&) { Guarded("Changes", [this] { Button_ChangesClick(); }); };
  ok.OnClick = [this](Component&) { Guarded("OK", [this] { Button_OKClick(); }); };
  cancel.OnClick = [this](Component&) { Guarded("Cancel", [this] { Button_CancelClick(); }); };
  apply.OnClick = [this](Component&) { Guarded("Apply", [this] { Button_ApplyClick(); }); };

  auto& loading = Create<Panel>(*this, "Panel_Loading", {0, 69, kClientWidth, kPageHeight});
  loading.SetBackgroundColor(kWhite);
  loading.SetVisible(false);
  Create<Image>(loading, "ImageNote_Animate", {232, 144, 32, 32}).SetPicture("Picture_0");
  Create<Label>(loading, "Label_Wait", {296, 152, 250, 13}, std::string(lang::MessageDefault(MessageId::D_Loading)));

  auto& click = Create<Timer>("Timer_Click");
  click.SetInterval(kTimerIntervalMs);
  click.SetEnabled(false);
  click.OnTimer = [this](Component&) { Guarded("start-up", [this] { Timer_ClickTimer(); }); };
  auto& anim = Create<Timer>("Timer_Loading");
  anim.SetInterval(kTimerIntervalMs);
  anim.SetEnabled(false);
  anim.OnTimer = [this](Component&) { Guarded("loading panel", [this] { Timer_LoadingTimer(); }); };
}

void TCorvanel_FormMain::BuildPages() {
  for (const auto& page : pages_) {
    if (page == nullptr) throw std::invalid_argument("null page module");
    const int tag = page->Tag();
    if (tag < 1 || tag > kPageCount) throw std::invalid_argument("page tag out of range: " + std::to_string(tag));
    if (!modules_.emplace(tag, page.get()).second)
      throw std::invalid_argument("two page modules for tag " + std::to_string(tag));
  }
  for (const auto& page : pages_) page->Build(Context(page->Tag()));
}

void TCorvanel_FormMain::FormCreate() {
  notebook_->SetBackgroundColor(forms::kDefaultColor);  // the parent's colour
  requests_.FirefoxChanged = false;
  app_frame_ = std::make_unique<TAppFrame>(MakeAppFrame(platform_));
  loaded_pages_.clear();
  requests_.RestartNeeded = false;
  requests_.SecurityCenterServiceAction = 0;
  requests_.FirewallServiceAction = 0;
  requests_.AssociationsChanged = false;
  loading_finished_ = true;
  version_class_ = engine::VersionClassFromName(engine::GetWindowsName(platform_));
  firefox_.SetFolder(app_frame_->AppDataFolder + "\\Mozilla\\Firefox\\");
  firefox_.SetProcessMessages([this] { ProcessMessages(); });
  if (version_class_ < 5) group_bar_->SetItemVisible(group_bar_->GroupIndex("RzGroup_Use"), 1, false);
  queue_ = std::make_unique<engine::TCorvanel>(platform_);
  // The Others group keeps the colour the bar gives its items.
  for (const char* name : {"RzGroup_CommonSettings", "RzGroup_Display", "RzGroup_Use", "RzGroup_Communication",
                           "RzGroup_Manage"}) {
    const int g = group_bar_->GroupIndex(name);
    const int count = static_cast<int>(group_bar_->Groups()[static_cast<std::size_t>(g)].Items.size());
    for (int i = 0; i < count; ++i) group_bar_->SetItemStyle(g, i, false, kItemColorNormal);
  }
}

void TCorvanel_FormMain::FormShow() {
  if (shown_) return;
  shown_ = true;
  language_ = std::make_unique<lang::TLanguage>(platform_, std::string(), std::string());
  texts_ = lang::LoadMessageTexts(*language_);
  forms::TranslateComponent(*language_, *this);
  for (const char* name : kReselectedCombos) {
    if (auto* combo = TryFind<ComboBox>(name)) combo->SetItemIndex(0);
  }
  group_bar_->ApplyTexts(texts_);
  Find<Button>("Button_OK").SetEnabled(false);
  Find<Button>("Button_Cancel").SetEnabled(false);
  Find<Button>("Button_Apply").SetEnabled(false);
  Find<Button>("Button_Changes").SetEnabled(false);
  loading_finished_ = false;
  auto& loading = Find<Panel>("Panel_Loading");
  loading.BringToFront();
  loading.Show();
  Find<Timer>("Timer_Click").SetEnabled(true);
  Find<Timer>("Timer_Loading").SetEnabled(true);
}

void TCorvanel_FormMain::FormDestroy() noexcept {
  // Pending records are dropped unwritten; nothing here may stop the window going.
  queue_.reset();
  journal_.reset();
  app_frame_.reset();
  loaded_pages_.clear();
}

// ---------------------------------------------------------------------------------

PageModule* TCorvanel_FormMain::Module(int tag) const {
  const auto it = modules_.find(tag);
  return it == modules_.end() ? nullptr : it->second;
}

PageContext& TCorvanel_FormMain::Context(int tag) {
  const auto it = contexts_.find(tag);
  if (it == contexts_.end()) throw std::out_of_range("no page of tag " + std::to_string(tag));
  return *it->second;
}

forms::NotifyEvent TCorvanel_FormMain::Event(std::string_view name) {
  const auto it = events_.find(name);
  return it == events_.end() ? forms::NotifyEvent() : it->second;
}

void TCorvanel_FormMain::ProcessMessages() {
  if (process_messages_) process_messages_();
}

void TCorvanel_FormMain::RzGroup1Items0Click(NavItem* item) {
  if (item == nullptr || !group_bar_->Locate(item, nullptr, nullptr)) return;
  if (load_depth_ > 0) {
    // A load is processing messages; this click runs when it has ended.
    held_click_ = item;
    return;
  }
  const bool outer_click = in_click_;
  in_click_ = true;
  LoadPage(item->Tag);
  if (TabSheet* page = notebook_->PageByCaption(std::to_string(item->Tag))) notebook_->SetActivePage(page);
  if (item != selected_item_) {
    int g = 0;
    int i = 0;
    if (selected_item_ != nullptr && group_bar_->Locate(selected_item_, &g, &i))
      group_bar_->SetItemStyle(g, i, false, kItemColorNormal);
    selected_item_ = item;
    group_bar_->Locate(item, &g, &i);
    group_bar_->SetItemStyle(g, i, true, kItemColorSelected);
  }
  in_click_ = outer_click;
  if (!in_click_) PerformHeldClick();
}

void TCorvanel_FormMain::PerformHeldClick() {
  while (held_click_ != nullptr && load_depth_ == 0) {
    NavItem* next = std::exchange(held_click_, nullptr);
    RzGroup1Items0Click(next);
  }
}

void TCorvanel_FormMain::LoadPage(int tag) {
  const std::string key = std::to_string(tag);
  if (std::find(loaded_pages_.begin(), loaded_pages_.end(), key) != loaded_pages_.end()) return;
  // Recorded first: a page whose loader fails is not loaded again.
  loaded_pages_.push_back(key);
  const bool outer_loading = page_loading_;
  page_loading_ = true;
  ++load_depth_;
  std::string error;
  bool failed = false;
  try {
    if (PageModule* page = Module(tag)) {
      PageContext& ctx = Context(tag);
      // Loading it again later (after Undo) starts from the controls as built.
      design_states_[tag] = std::make_unique<PageDesignState>(ctx.Page());
      page->Adapt(ctx, version_class_);
      page->Load(ctx);
    }
  } catch (const std::exception& e) {
    failed = true;
    error = e.what();
  } catch (...) {
    failed = true;
    error = "unknown error";
  }
  --load_depth_;
  page_loading_ = outer_loading;
  if (TabSheet* sheet = notebook_->PageByCaption(key)) NoteKeyUpTexts(*sheet);
  if (failed) ReportError("loading page " + key, error);
  if (load_depth_ == 0) {
    if (!in_click_) PerformHeldClick();
    PassOnDeferredClose();
  }
}

void TCorvanel_FormMain::Timer_ClickTimer() {
  Find<Timer>("Timer_Click").SetEnabled(false);
  RzGroup1Items0Click(&group_bar_->Item(group_bar_->GroupIndex("RzGroup_CommonSettings"), 0));
  loading_finished_ = true;
}

void TCorvanel_FormMain::Timer_LoadingTimer() {
  auto& timer = Find<Timer>("Timer_Loading");
  timer.SetEnabled(false);
  animation_frame_ = (animation_frame_ + 1) % kAnimationFrames;
  Find<Image>("ImageNote_Animate").SetPicture("Picture_" + std::to_string(animation_frame_));
  Find<Label>("Label_Wait")
      .SetCaption(texts_.Get(MessageId::D_Loading) + std::string(static_cast<std::size_t>(animation_frame_ + 1), '.'));
  if (loading_finished_) {
    auto& loading = Find<Panel>("Panel_Loading");
    loading.SendToBack();
    loading.Hide();
    Find<Button>("Button_OK").SetEnabled(true);
    Find<Button>("Button_Cancel").SetEnabled(true);
    Find<Button>("Button_Apply").SetEnabled(false);
    UpdateChangesButton();
  } else {
    timer.SetEnabled(true);
  }
}

void TCorvanel_FormMain::Forward(int tag, forms::Component& sender) {
  if (page_loading_ || queue_ == nullptr) return;
  if (PageModule* page = Module(tag)) {
    PageContext& ctx = Context(tag);
    origins_.Before(*queue_, requests_, firefox_);
    Guarded("change of " + sender.Name(), [&] { page->Change(ctx, sender); });
    if (queue_ != nullptr) origins_.After(tag, sender, *queue_, requests_, firefox_);
  }
  Find<Button>("Button_Apply").SetEnabled(true);
  UpdateChangesButton();
}

void TCorvanel_FormMain::ForwardKeyUp(int tag, forms::Edit& edit) {
  if (page_loading_) return;
  const auto [it, first] = key_up_texts_.try_emplace(&edit, edit.Text());
  // A field whose page never loaded has no text to compare with: pass it on.
  if (!first) {
    if (it->second == edit.Text()) return;
    it->second = edit.Text();
  }
  Forward(tag, edit);
}

void TCorvanel_FormMain::NoteKeyUpTexts(const forms::TabSheet& page) {
  for (const KeyUpRow& row : KeyUpFields()) {
    auto* edit = TryFind<forms::Edit>(row.edit);
    if (edit == nullptr) continue;
    for (const Control* c = edit->Parent(); c != nullptr; c = c->Parent()) {
      if (c == &page) {
        key_up_texts_[edit] = edit->Text();
        break;
      }
    }
  }
}

// ---------------------------------------------------------------------------------

void TCorvanel_FormMain::RequestClose() {
  if (applying_ || load_depth_ > 0) {
    close_deferred_ = true;
    return;
  }
  close_requested_ = true;
  if (close_handler_) close_handler_();
}

void TCorvanel_FormMain::PassOnDeferredClose() {
  if (!close_deferred_ || applying_ || load_depth_ > 0) return;
  close_deferred_ = false;
  RequestClose();
}

void TCorvanel_FormMain::ReportError(const std::string& where, const std::string& what) {
  if (error_reporter_ == nullptr) return;
  if (error_reporter_->Report(where, what) == ErrorChoice::Close) RequestClose();
}

void TCorvanel_FormMain::Guarded(const std::string& where, const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception& e) {
    ReportError(where, e.what());
  } catch (...) {
    ReportError(where, "unknown error");
  }
}

}  // namespace corvanel::ui
