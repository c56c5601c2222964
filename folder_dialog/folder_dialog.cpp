#include "folder_dialog/folder_dialog.h"

#include <cctype>
#include <charconv>
#include <exception>
#include <limits>
#include <string_view>
#include <utility>

namespace corvanel::folder_dialog {

using engine::TRegRecor;
using forms::Button;
using forms::CheckBox;
using forms::Component;
using forms::GroupBox;
using forms::Label;
using forms::ListItem;
using forms::ModalResult;
using forms::PageControl;
using forms::TabSheet;
namespace win = platform::win;

namespace {

constexpr std::array<DesktopIconRow, 6> kDesktopIcons = {{
    {"CHKmycomputer", "My Computer", "{20D04FE0-3AEA-1069-A2D8-08002B30309D}", false, true},
    {"CHKrec", "Recycle Bin", "{645FF040-5081-101B-9F08-00AA002F954E}", true, true},
    {"CHKmantools", "Administrative Tools", "{D20EA4E1-3957-11D2-A40B-0C5020524153}", false, true},
    {"CHKnetconnect", "Network Connection", "{992CFFA0-F557-101A-88EC-00DD010CCC48}", false, true},
    {"CHkmydoc", "My Documents", "{450D8FBA-AD25-11D0-98A8-0800361B1103}", false, false},
    {"CHKnet", "My Network Places", "{208D2C60-3AEA-1069-A2D7-08002B30309D}", false, false},
}};

constexpr int kClientWidth = 350;
constexpr int kClientHeight = 300;
constexpr int kIconBoxHeightAboveClass5 = 80;

const DesktopIconRow* IconRowOf(std::string_view box) {
  for (const DesktopIconRow& row : kDesktopIcons) {
    if (box == row.box) return &row;
  }
  return nullptr;
}

std::string_view Trimmed(std::string_view t) {
  while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) t.remove_prefix(1);
  while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.remove_suffix(1);
  return t;
}

// A decimal text as a 32-bit pattern (a negative number keeps its bits).
bool ParseMask(std::string_view text, std::uint32_t* mask) {
  text = Trimmed(text);
  if (text.empty()) return false;
  std::int64_t n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::uint32_t>::max()) return false;
  *mask = static_cast<std::uint32_t>(n);
  return true;
}

bool IsOne(const engine::Value& value) {
  if (value.IsInt()) return value.AsInt() == 1;
  if (value.IsText()) return Trimmed(value.AsText()) == "1";
  return false;
}

engine::Value::Bytes LittleEndian(std::uint32_t n) {
  return {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n >> 16),
          static_cast<std::uint8_t>(n >> 24)};
}

// Keeps the loading flag set for one load, whatever way it ends.
class LoadingScope {
 public:
  explicit LoadingScope(bool& flag) : flag_(flag), outer_(std::exchange(flag, true)) {}
  ~LoadingScope() { flag_ = outer_; }
  LoadingScope(const LoadingScope&) = delete;
  LoadingScope& operator=(const LoadingScope&) = delete;

 private:
  bool& flag_;
  bool outer_;
};

}  // namespace

const std::array<DesktopIconRow, 6>& DesktopIcons() { return kDesktopIcons; }

TCorvanel_FormFolder::TCorvanel_FormFolder(platform::Platform& platform, int version_class,
                                           const lang::TLanguage* language)
    : forms::Form(kFolderFormName), platform_(platform), version_class_(version_class), language_(language) {
  BuildLayout();
  OnShow = [this](Component&) { FormShow(); };
  FormCreate();
}

TCorvanel_FormFolder::~TCorvanel_FormFolder() = default;

void TCorvanel_FormFolder::BuildLayout() {
  SetBounds({0, 0, kClientWidth, kClientHeight});
  SetCaption("Folder");
  SetFont({"Tahoma", -11, false, forms::kDefaultColor});
  SetVisible(false);

  auto& pages = Create<PageControl>(*this, "PageControl1", {8, 8, 334, 250});
  auto& view = Create<TabSheet>(pages, "TabSheet_View", {}, "View");
  auto& list = Create<TabSheet>(pages, "TabSheet_List", {}, "List");

  Create<Label>(view, "Label_View_Text", {8, 8, 310, 26},
                "Check the box next to the special objects to be shown on the desktop.");
  auto& icons = Create<GroupBox>(view, "Grpdorptop", {8, 40, 310, 100}, "Desktop Shortcut");
  for (std::size_t i = 0; i < kDesktopIcons.size(); ++i) {
    const DesktopIconRow& row = kDesktopIcons[i];
    const int column = static_cast<int>(i % 2);
    const int line = static_cast<int>(i / 2);
    auto& box = Create<CheckBox>(icons, row.box, {12 + column * 148, 20 + line * 22, 138, 17}, row.caption);
    box.OnClick = [this](Component& sender) { CHKmantoolsClick(sender); };
  }

  Create<Label>(list, "Label_List_Text", {8, 8, 310, 26},
                "Remove the check mark next to the drives you don't want to display under My Computer.");
  Create<Label>(list, "Label_List_Drives", {8, 40, 100, 13}, "Drives:");
  drives_ = &Create<forms::ListView>(list, "ListView1", {8, 56, 310, 158});
  drives_->SetCheckboxes(true);
  drives_->SetStyle(forms::ViewStyle::List);
  // Letters only: the list needs no words a language file would have to translate.
  for (int i = 0; i < kDriveCount; ++i) {
    ListItem item;
    item.caption = std::string(1, static_cast<char>('A' + i)) + ":";
    item.data = i;
    drives_->AddItem(std::move(item));
  }

  auto& ok = Create<Button>(*this, "Button_OK", {186, 266, 75, 25}, "OK");
  ok.SetModalResult(ModalResult::Ok);
  ok.OnClick = [this](Component&) { Button_OKClick(); };
  Create<Button>(*this, "Button_Cancel", {267, 266, 75, 25}, "Cancel").SetModalResult(ModalResult::Cancel);
}

void TCorvanel_FormFolder::FormCreate() { queue_ = std::make_unique<engine::TCorvanel>(platform_); }

void TCorvanel_FormFolder::FormShow() {
  if (language_ != nullptr) forms::TranslateComponent(*language_, *this);
  if (DesktopMode()) {
    Find<TabSheet>("TabSheet_List").SetTabVisible(false);
    if (version_class_ > 5) {
      for (const DesktopIconRow& row : kDesktopIcons) {
        if (!row.shown_above_class5) Find<CheckBox>(row.box).Hide();
      }
      Find<GroupBox>("Grpdorptop").SetHeight(kIconBoxHeightAboveClass5);
    }
  } else {
    Find<TabSheet>("TabSheet_View").SetTabVisible(false);
  }
  LoadFolderDialog();
}

void TCorvanel_FormFolder::LoadFolderDialog() {
  // The boxes raise their click events as the loader sets them; those are not the
  // user's changes and must queue nothing.
  LoadingScope scope(loading_);
  if (DesktopMode()) {
    LoadDesktopIcons();
  } else {
    LoadDrives();
  }
}

void TCorvanel_FormFolder::LoadDesktopIcons() {
  for (const DesktopIconRow& row : kDesktopIcons) {
    TRegRecor r = engine::ReadRecord(platform::HKCU, kNewStartPanelKey, row.clsid);
    queue_->ReadValue(r);
    auto& box = Find<CheckBox>(row.box);
    if (r.Status != engine::kStatusFound) {
      if (row.checked_when_missing) box.SetChecked(true);
    } else {
      box.SetChecked(!IsOne(r.Value));
    }
  }
}

void TCorvanel_FormFolder::LoadDrives() {
  TRegRecor r = engine::ReadRecord(platform::HKCU, kDrivePolicyKey, kNoDrives);
  queue_->ReadValue(r);
  engine::Value::Bytes mask;
  std::uint32_t number = 0;
  if (r.Status != engine::kStatusFound) {
    // No policy: every drive is shown.
  } else if (r.Value.IsBytes()) {
    // Bytes missing from a short value hide nothing.
    mask = r.Value.AsBytes();
  } else if (r.Value.IsInt()) {
    mask = LittleEndian(static_cast<std::uint32_t>(r.Value.AsInt()));
  } else if (r.Value.IsText() && ParseMask(r.Value.AsText(), &number)) {
    mask = LittleEndian(number);
  }
  // Any other shape is a value Explorer does not apply either: every drive shows.
  for (int i = 0; i < kDriveCount; ++i) {
    const auto byte = static_cast<std::size_t>(i / 8);
    const bool hidden = byte < mask.size() && ((mask[byte] >> (i % 8)) & 1) != 0;
    drives_->SetItemChecked(i, !hidden);
  }
}

void TCorvanel_FormFolder::CHKmantoolsClick(Component& sender) {
  if (loading_) return;
  FolderDialogChange(sender);
}

void TCorvanel_FormFolder::FolderDialogChange(Component& sender) {
  if (!DesktopMode()) return;
  const DesktopIconRow* row = IconRowOf(sender.Name());
  const auto* box = dynamic_cast<const CheckBox*>(&sender);
  if (row == nullptr || box == nullptr) return;
  // Writing the default value creates the object's NameSpace key when it is missing.
  queue_->AddRecord(engine::WriteRecord(row->box, platform::HKLM, std::string(kNameSpaceKey) + row->clsid, "",
                                        engine::kTypeText, engine::MakeText("")));
  queue_->AddRecord(engine::WriteRecord(std::string(row->box) + "1", platform::HKCU, kNewStartPanelKey, row->clsid,
                                        engine::kTypeNumber, engine::MakeInt(box->Checked() ? 0 : 1)));
}

engine::Value::Bytes TCorvanel_FormFolder::DriveMask() const {
  engine::Value::Bytes bytes(4, 0);
  const auto& items = drives_->Items();
  for (int i = 0; i < kDriveCount && i < static_cast<int>(items.size()); ++i) {
    if (!items[static_cast<std::size_t>(i)].checked) {
      bytes[static_cast<std::size_t>(i / 8)] |= static_cast<std::uint8_t>(1u << (i % 8));
    }
  }
  return bytes;
}

void TCorvanel_FormFolder::Button_OKClick() {
  try {
    if (!DesktopMode()) {
      TRegRecor r = engine::WriteRecord("", platform::HKCU, kDrivePolicyKey, kNoDrives, engine::kTypeBinary,
                                        engine::MakeBytes(DriveMask()));
      r.Kind = engine::kKindRegistry;
      queue_->AddRecord(std::move(r));
    }
    queue_->Apply();
    platform_.shell().ChangeNotify(win::SHCNE_ASSOCCHANGED, win::SHCNF_IDLIST);
  } catch (const std::exception&) {
    // Out of memory while building the drive record: the dialog closes all the same,
    // and whatever was not written stays as it was.
  }
}

ModalResult TCorvanel_FormFolder::Execute(const ShowModal& show) {
  if (!show) return ModalResult::None;
  return show(*this);
}

ModalResult RunFolderDialog(platform::Platform& platform, int version_class, const lang::TLanguage* language,
                            int mode, const std::string& caption, std::uintptr_t owner, const ShowModal& show) {
  auto dialog = std::make_unique<TCorvanel_FormFolder>(platform, version_class, language);
  dialog->SetDialogMode(mode);
  dialog->SetCaption(caption);
  dialog->SetOwnerWindow(owner);
  return dialog->Execute(show);
}

}  // namespace corvanel::folder_dialog
