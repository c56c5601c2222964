// The main window's side of the review of changes: the "Changes..." button, the names of
// the settings behind the rows, and Undo of the last Apply.
#include <exception>
#include <string>
#include <vector>

#include "ui/main_window.h"

namespace corvanel::ui {

namespace win = platform::win;
using lang::MessageId;

namespace {

std::string FailureText(const engine::UndoFailure& f) {
  switch (f.kind) {
    case engine::UndoFailureKind::kWindowsError:
      return f.place + ": Windows error " + std::to_string(f.error);
    case engine::UndoFailureKind::kFileChanged:
      return f.place + ": changed since Apply, left as it is";
    case engine::UndoFailureKind::kNotCaptured:
      return f.place + ": its earlier state is not known, left as it is";
  }
  return f.place;
}

}  // namespace

bool TCorvanel_FormMain::HasPendingChanges() const {
  if (queue_ != nullptr && !queue_->Empty()) return true;
  return requests_.FirefoxChanged || requests_.RestartNeeded || requests_.SecurityCenterServiceAction != 0 ||
         (version_class_ > 5 && requests_.FirewallServiceAction != 0);
}

bool TCorvanel_FormMain::CanUndoLastApply() const {
  return journal_ != nullptr && !journal_->Empty() && last_apply_ok_ && !applying_;
}

void TCorvanel_FormMain::UpdateChangesButton() {
  // Before the start page is loaded the button row is not in use yet.
  if (!Find<forms::Button>("Button_OK").Enabled()) return;
  Find<forms::Button>("Button_Changes").SetEnabled(HasPendingChanges() || CanUndoLastApply());
}

std::string TCorvanel_FormMain::SettingText(const std::string& key) const {
  const ChangeOrigins::Origin* origin = origins_.Find(key);
  if (origin == nullptr) return key;
  std::string page;
  if (const NavItem* item = group_bar_->FindItemByTag(origin->tag)) page = item->Caption;
  std::string caption;
  // A control without a caption of its own (a list, a number field) is named by the
  // group around it.
  for (auto* c = dynamic_cast<forms::Control*>(FindComponent(origin->control));
       c != nullptr && caption.empty() && c->Parent() != notebook_; c = c->Parent()) {
    caption = c->Caption();
  }
  if (caption.empty()) caption = origin->control;
  std::string plain;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    plain += caption[i];
  }
  while (!plain.empty() && (plain.back() == ':' || plain.back() == ' ')) plain.pop_back();
  return page.empty() ? plain : page + " \xE2\x80\xBA " + plain;
}

void TCorvanel_FormMain::Button_ChangesClick() {
  if (applying_ || load_depth_ > 0) return;
  TCorvanel_FormChanges dialog(*this);
  ShowModal(dialog);
  UpdateChangesButton();
}

void TCorvanel_FormMain::ReloadPage(int tag) {
  PageModule* page = Module(tag);
  if (page == nullptr) return;
  const bool outer_loading = page_loading_;
  page_loading_ = true;
  ++load_depth_;
  std::string error;
  try {
    PageContext& ctx = Context(tag);
    if (const auto it = design_states_.find(tag); it != design_states_.end()) it->second->Restore();
    page->Adapt(ctx, version_class_);
    page->Load(ctx);
  } catch (const std::exception& e) {
    error = e.what();
    if (error.empty()) error = "unknown error";
  } catch (...) {
    error = "unknown error";
  }
  --load_depth_;
  page_loading_ = outer_loading;
  // The restored texts are the new baseline: a key release that changes nothing must not
  // queue the text Apply wrote.
  if (forms::TabSheet* sheet = notebook_->PageByCaption(std::to_string(tag))) NoteKeyUpTexts(*sheet);
  if (!error.empty()) ReportError("loading page " + std::to_string(tag), error);
}

void TCorvanel_FormMain::UndoLastApply() {
  if (!CanUndoLastApply() || HasPendingChanges()) return;
  applying_ = true;
  bool had_file = false;
  for (const engine::UndoEntry& e : journal_->Entries()) had_file = had_file || e.kind == engine::UndoKind::kFile;
  engine::UndoResult result;
  try {
    result = journal_->Undo([this] { ProcessMessages(); }, kServiceWaitLimitMs);
  } catch (const std::exception& e) {
    applying_ = false;
    ReportError("Undo last Apply", e.what());
    return;
  }
  last_apply_ok_ = false;
  if (!result.ok()) {
    std::string places;
    for (const engine::UndoFailure& f : result.failures) places += FailureText(f) + "\n";
    platform_.dialogs().MessageBox(owner_window_, lang::FormatMessage(texts_.Get(MessageId::D_UndoFailed), {places}),
                                   Caption(), win::MB_OK | win::MB_ICONWARNING);
  }
  // Firefox's files are read again by its page, as they now are on disk.
  if (had_file) firefox_.Forget();
  const std::vector<std::string> loaded = loaded_pages_;
  for (const std::string& key : loaded) ReloadPage(std::stoi(key));
  applying_ = false;
  if (queue_ != nullptr) Find<forms::Button>("Button_Apply").SetEnabled(!queue_->Empty());
  if (last_apply_restart_) {
    last_apply_restart_ = false;
    requests_.RestartNeeded = true;
    OfferRestart();
  }
  UpdateChangesButton();
  if (load_depth_ == 0) {
    PerformHeldClick();
    PassOnDeferredClose();
  }
}

}  // namespace corvanel::ui
