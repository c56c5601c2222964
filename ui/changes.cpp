#include "ui/changes.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <unordered_map>

#include "engine/reg_file.h"
#include "platform/reg_text.h"
#include "ui/main_window.h"

namespace corvanel::ui {

namespace win = platform::win;
using engine::StoredValue;
using engine::TRegRecor;
using lang::MessageId;

namespace {

// A .reg file's comments stay in English, as the file's own syntax is.
constexpr const char* kDeleted = "(deleted)";

// What the list shows where a place has no value, in the window's language.
struct Placeholders {
  explicit Placeholders(const lang::MessageTexts& texts)
      : not_set(texts.Get(MessageId::D_ChangesNotSet)),
        no_change(texts.Get(MessageId::D_ChangesNoChange)),
        deleted(texts.Get(MessageId::D_ChangesDeleted)),
        key_deleted(texts.Get(MessageId::D_ChangesKeyDeleted)),
        key_created(texts.Get(MessageId::D_ChangesKeyCreated)),
        key_exists(texts.Get(MessageId::D_ChangesKeyExists)) {}
  std::string not_set, no_change, deleted, key_deleted, key_created, key_exists;
};
constexpr const char* kSeparator = " \xE2\x80\xBA ";  // " › "

std::string Fold(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return s;
}

std::string KeyText(const std::string& path) {
  std::size_t b = 0;
  std::size_t e = path.size();
  while (b < e && path[b] == '\\') ++b;
  while (e > b && path[e - 1] == '\\') --e;
  return path.substr(b, e - b);
}

bool IsKeyAction(const TRegRecor& r) {
  return r.Action == engine::kActionDeleteKey || r.Action == engine::kActionDeleteKey64;
}
bool IsValueDelete(const TRegRecor& r) {
  return r.Action == engine::kActionDeleteValue || r.Action == engine::kActionDeleteValue64;
}
bool IsView64Action(const TRegRecor& r) {
  return r.Action == engine::kActionDeleteKey64 || r.Action == engine::kActionDeleteValue64;
}

std::string PlaceOf(const TRegRecor& r, bool key_only) {
  std::string text = engine::RegRootName(r.RootKey) + "\\" + KeyText(r.KeyPath);
  if (!key_only) text += "\\" + (r.ValueName.empty() ? std::string("(Default)") : r.ValueName);
  return text;
}

// Reads registry places for the "Now" column, keeping the last key open: the records of
// one setting group share their key.
class PlaceReader {
 public:
  explicit PlaceReader(platform::Registry& registry) : registry_(registry), wow64_(engine::IsWow64(registry)) {}
  ~PlaceReader() { Close(); }
  PlaceReader(const PlaceReader&) = delete;
  PlaceReader& operator=(const PlaceReader&) = delete;

  bool KeyExists(const TRegRecor& r) { return Open(r); }
  std::optional<StoredValue> Value(const TRegRecor& r) {
    if (!Open(r)) return std::nullopt;
    StoredValue v;
    std::uint32_t size = 0;
    if (registry_.QueryValue(key_, r.ValueName, &v.type, &v.bytes, &size) != win::kSuccess) return std::nullopt;
    return v;
  }

 private:
  bool Open(const TRegRecor& r) {
    const std::uint32_t access = win::KEY_READ | ((wow64_ || IsView64Action(r)) ? win::KEY_WOW64_64KEY : 0);
    const std::string path = KeyText(r.KeyPath);
    if (open_ && root_ == r.RootKey && access_ == access && path_ == path) return key_ != 0;
    Close();
    open_ = true;
    root_ = r.RootKey;
    access_ = access;
    path_ = path;
    if (registry_.OpenKey(r.RootKey, path, access, &key_) != win::kSuccess) key_ = 0;
    return key_ != 0;
  }
  void Close() {
    if (key_ != 0) registry_.CloseKey(key_);
    key_ = 0;
    open_ = false;
  }

  platform::Registry& registry_;
  bool wow64_;
  bool open_ = false;
  platform::RegKey root_ = 0;
  std::uint32_t access_ = 0;
  std::string path_;
  platform::RegKey key_ = 0;
};

std::string SpiValueText(const engine::SpiValue& v) {
  if (const auto* n = std::get_if<std::uint32_t>(&v)) return NumberText(*n);
  return BytesText(std::get<std::vector<std::uint8_t>>(v));
}

// What a system-parameter record sets, in the form its GET counterpart reads back.
engine::SpiValue SpiAfter(const TRegRecor& r) {
  if (const auto* block = std::get_if<std::vector<std::uint8_t>>(&r.SpiPvParam)) return *block;
  const engine::SpiCounterpart* c = engine::FindSpiCounterpart(r.SpiAction);
  if (c != nullptr && c->set_via_ui) return r.SpiUiParam;
  return std::get<std::uint32_t>(r.SpiPvParam);
}

std::optional<engine::SpiValue> SpiNow(platform::Platform& platform, std::uint32_t set_action) {
  const engine::SpiCounterpart* c = engine::FindSpiCounterpart(set_action);
  if (c == nullptr) return std::nullopt;
  if (c->get == 0) {
    if (c->metric < 0) return std::nullopt;
    return static_cast<std::uint32_t>(platform.spi().Metrics(c->metric));
  }
  if (c->block_size != 0) {
    std::vector<std::uint8_t> block(c->block_size, 0);
    for (int i = 0; i < 4 && i < static_cast<int>(block.size()); ++i)
      block[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(c->block_size >> (8 * i));
    if (!platform.spi().Spi(c->get, c->block_size, block.data(), 0)) return std::nullopt;
    return block;
  }
  std::uint32_t value = 0;
  if (!platform.spi().Spi(c->get, 0, &value, 0)) return std::nullopt;
  return value;
}

std::optional<engine::ServiceState> ServiceNow(platform::Services& services, const std::string& name) {
  const platform::ScHandle manager = services.OpenManager(win::GENERIC_READ);
  if (manager == 0) return std::nullopt;
  std::optional<engine::ServiceState> state;
  constexpr std::uint32_t kServiceQueryStatus = 0x0004;
  const platform::ScHandle service =
      services.OpenService(manager, name, win::SERVICE_QUERY_CONFIG | kServiceQueryStatus);
  if (service != 0) {
    engine::ServiceState s;
    platform::ServiceStatus status;
    if (services.QueryStartType(service, &s.start_type) && services.QueryStatus(service, &status)) {
      s.state = status.current_state;
      state = s;
    }
    services.Close(service);
  }
  services.Close(manager);
  return state;
}

engine::ServiceState ServiceAfter(std::int32_t action) {
  return action == 1 ? engine::ServiceState{win::SERVICE_AUTO_START, win::SERVICE_RUNNING}
                     : engine::ServiceState{win::SERVICE_DISABLED, win::SERVICE_STOPPED};
}

// The services Apply will start or stop, with the action of each.
std::vector<std::pair<std::string, std::int32_t>> PendingServices(TCorvanel_FormMain& main) {
  std::vector<std::pair<std::string, std::int32_t>> out;
  const ApplyRequests& q = main.Requests();
  if (q.SecurityCenterServiceAction == 1 || q.SecurityCenterServiceAction == 2)
    out.emplace_back("wscsvc", q.SecurityCenterServiceAction);
  if (main.WindowsVersionClass() > 5 && (q.FirewallServiceAction == 1 || q.FirewallServiceAction == 2))
    out.emplace_back("MpsSvc", q.FirewallServiceAction);
  return out;
}

std::string Count(const lang::MessageTexts& texts, MessageId id, std::size_t n) {
  return lang::FormatMessage(texts.Get(id), {std::to_string(n)});
}

std::string FileSizeText(std::size_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

std::string TreeText(const engine::KeySnapshot& tree) {
  return "(key with " + std::to_string(tree.values.size()) + " value(s), " + std::to_string(tree.subkeys.size()) +
         " subkey(s))";
}

}  // namespace

// ---------------------------------------------------------------------------------

std::string ServiceOriginKey(const std::string& service) { return "service:" + Fold(service); }
std::string FirefoxOriginKey(const std::string& pref) { return "firefox:" + Fold(pref); }

void ChangeOrigins::Before(const engine::TCorvanel& queue, const ApplyRequests& requests,
                           const firefox::FirefoxPrefs& firefox) {
  records_ = queue.Records();
  requests_ = requests;
  prefs_.clear();
  if (firefox.HasPendingChanges()) prefs_ = firefox.PendingChanges();
}

void ChangeOrigins::After(int tag, const forms::Component& sender, const engine::TCorvanel& queue,
                          const ApplyRequests& requests, const firefox::FirefoxPrefs& firefox) {
  std::unordered_map<std::string, const TRegRecor*> before;
  before.reserve(records_.size());
  for (const TRegRecor& r : records_) before.emplace(r.Name, &r);
  const std::string& control = sender.Name();
  for (const TRegRecor& r : queue.Records()) {
    const auto it = before.find(r.Name);
    if (it == before.end()) {
      Note(r.Name, tag, control, true);
    } else if (!(*it->second == r)) {
      // A record of another control that took this change's content keeps its origin;
      // the sender's own records (its name, plus a digit) are put down to it.
      Note(r.Name, tag, control, r.Name.compare(0, control.size(), control) == 0);
    }
  }
  if (requests.SecurityCenterServiceAction != requests_.SecurityCenterServiceAction)
    Note(ServiceOriginKey("wscsvc"), tag, control, true);
  if (requests.FirewallServiceAction != requests_.FirewallServiceAction)
    Note(ServiceOriginKey("MpsSvc"), tag, control, true);
  if (firefox.HasPendingChanges()) {
    for (const auto& change : firefox.PendingChanges()) {
      const auto same = std::find_if(prefs_.begin(), prefs_.end(), [&](const auto& p) {
        return Fold(p.name) == Fold(change.name) && p.value == change.value;
      });
      if (same == prefs_.end()) {
        Note(FirefoxOriginKey(change.name), tag, control, true);
        Note(kUserJsOriginKey, tag, "user.js", true);
      }
    }
  }
  records_.clear();
  prefs_.clear();
}

void ChangeOrigins::Note(const std::string& key, int tag, const std::string& control, bool replace) {
  auto [it, added] = origins_.try_emplace(key, Origin{tag, control});
  if (!added && replace) it->second = Origin{tag, control};
}

const ChangeOrigins::Origin* ChangeOrigins::Find(const std::string& key) const {
  const auto it = origins_.find(key);
  return it == origins_.end() ? nullptr : &it->second;
}

// ---------------------------------------------------------------------------------

std::string NumberText(std::uint64_t n) {
  std::string text = std::to_string(n);
  if (n >= 10) {
    char hex[24];
    std::snprintf(hex, sizeof hex, " (0x%llX)", static_cast<unsigned long long>(n));
    text += hex;
  }
  return text;
}

std::string BytesText(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty()) return "(empty)";
  std::string text;
  text.reserve(bytes.size() * 3);
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (std::uint8_t b : bytes) {
    if (!text.empty()) text += ' ';
    text += kHex[b >> 4];
    text += kHex[b & 15];
  }
  return text;
}

std::string StoredValueText(const StoredValue& value) {
  const auto& b = value.bytes;
  switch (value.type) {
    case win::REG_SZ:
    case win::REG_EXPAND_SZ:
      return "\"" + platform::DecodeRegString(b) + "\"";
    case win::REG_DWORD:
      if (b.size() == 4) return NumberText(std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
                                           std::uint32_t{b[3]} << 24);
      break;
    case win::REG_QWORD:
      if (b.size() == 8) {
        std::uint64_t n = 0;
        for (int i = 7; i >= 0; --i) n = (n << 8) | b[static_cast<std::size_t>(i)];
        return NumberText(n);
      }
      break;
    case win::REG_MULTI_SZ: {
      std::u16string units;
      for (std::size_t i = 0; i + 1 < b.size(); i += 2) units += static_cast<char16_t>(b[i] | (b[i + 1] << 8));
      std::string text;
      std::size_t start = 0;
      while (start < units.size()) {
        const std::size_t end = std::min(units.find(u'\0', start), units.size());
        if (end == start) break;  // the empty string that ends the list
        if (!text.empty()) text += ", ";
        text += "\"" + platform::Utf16ToUtf8(units.substr(start, end - start)) + "\"";
        start = end + 1;
      }
      return text.empty() ? "(empty)" : text;
    }
    default:
      break;
  }
  return BytesText(b);
}

std::string ServiceStateText(const engine::ServiceState& s) {
  std::string text;
  switch (s.start_type) {
    case 0: text = "Boot"; break;
    case 1: text = "System"; break;
    case win::SERVICE_AUTO_START: text = "Automatic"; break;
    case win::SERVICE_DEMAND_START: text = "Manual"; break;
    case win::SERVICE_DISABLED: text = "Disabled"; break;
    default: text = "Start type " + std::to_string(s.start_type); break;
  }
  switch (s.state) {
    case win::SERVICE_STOPPED: return text + ", stopped";
    case win::SERVICE_START_PENDING: return text + ", starting";
    case win::SERVICE_STOP_PENDING: return text + ", stopping";
    case win::SERVICE_RUNNING: return text + ", running";
    default: return text + ", state " + std::to_string(s.state);
  }
}

// ---------------------------------------------------------------------------------

ChangeList PendingChangeList(TCorvanel_FormMain& main) {
  const Placeholders ph(main.Texts());
  platform::Platform& platform = main.GetPlatform();
  const lang::MessageTexts& texts = main.Texts();
  ChangeList list;
  const auto& records = main.Queue().Records();
  list.rows.reserve(records.size() + 4);
  PlaceReader reader(platform.registry());
  for (const TRegRecor& r : records) {
    ChangeRow row;
    row.setting = main.SettingText(r.Name);
    if (r.Kind == engine::kKindSpi) {
      row.where = "System parameter " + engine::SpiActionName(r.SpiAction);
      const engine::SpiValue after = SpiAfter(r);
      const std::optional<engine::SpiValue> now = SpiNow(platform, r.SpiAction);
      row.now = now ? SpiValueText(*now) : std::string("(unknown)");
      row.after = now && *now == after ? ph.no_change : SpiValueText(after);
    } else if (IsKeyAction(r)) {
      row.where = PlaceOf(r, true);
      const bool exists = reader.KeyExists(r);
      row.now = exists ? ph.key_exists : ph.not_set;
      row.after = exists ? ph.key_deleted : ph.no_change;
    } else if (IsValueDelete(r)) {
      row.where = PlaceOf(r, false);
      const std::optional<StoredValue> now = reader.Value(r);
      row.now = now ? StoredValueText(*now) : ph.not_set;
      row.after = now ? ph.deleted : ph.no_change;
    } else {
      std::optional<StoredValue> after;
      bool convertible = true;
      try {
        after = engine::StoredValueOf(r, platform.system());
      } catch (const engine::ValueConversionError& e) {
        convertible = false;
        row.after = std::string("(cannot be written: ") + e.what() + ")";
      }
      if (!after && convertible) {
        // A write without a value type only makes the key.
        row.where = PlaceOf(r, true);
        const bool exists = reader.KeyExists(r);
        row.now = exists ? ph.key_exists : ph.not_set;
        row.after = exists ? ph.no_change : ph.key_created;
      } else {
        row.where = PlaceOf(r, false);
        const std::optional<StoredValue> now = reader.Value(r);
        row.now = now ? StoredValueText(*now) : ph.not_set;
        if (after) row.after = now && *now == *after ? ph.no_change : StoredValueText(*after);
      }
    }
    list.rows.push_back(std::move(row));
  }
  for (const auto& [service, action] : PendingServices(main)) {
    ChangeRow row;
    row.setting = main.SettingText(ServiceOriginKey(service));
    row.where = "Service " + service;
    const std::optional<engine::ServiceState> now = ServiceNow(platform.services(), service);
    const engine::ServiceState after = ServiceAfter(action);
    row.now = now ? ServiceStateText(*now) : std::string("(not installed)");
    row.after = now && *now == after ? ph.no_change : ServiceStateText(after);
    list.rows.push_back(std::move(row));
  }
  if (main.Requests().FirefoxChanged) {
    for (const auto& change : main.Firefox().PendingChanges()) {
      ChangeRow row;
      row.setting = main.SettingText(FirefoxOriginKey(change.name));
      row.where = "Firefox " + change.name;
      const bool absent = change.file_value == firefox::kNotFound;
      row.now = absent ? std::string(ph.not_set) : change.file_value;
      if (change.value.empty()) {
        row.after = absent ? ph.no_change : ph.deleted;
      } else {
        row.after = change.value == change.file_value ? std::string(ph.no_change) : change.value;
      }
      list.rows.push_back(std::move(row));
    }
  }
  list.count_line = Count(texts, MessageId::D_ChangesCount, list.rows.size());
  if (main.Requests().RestartNeeded) list.restart_line = texts.Get(MessageId::D_ChangesRestart);
  return list;
}

ChangeList LastApplyChangeList(TCorvanel_FormMain& main) {
  const Placeholders ph(main.Texts());
  ChangeList list;
  list.journal = true;
  const engine::UndoJournal* journal = main.LastApply();
  if (journal != nullptr) {
    for (const engine::UndoEntry& e : journal->Entries()) {
      ChangeRow row;
      row.setting = main.SettingText(e.record_name);
      row.where = engine::UndoJournal::PlaceText(e);
      switch (e.kind) {
        case engine::UndoKind::kValue:
          row.now = e.before ? StoredValueText(*e.before) : ph.not_set;
          row.after = e.after ? StoredValueText(*e.after) : ph.deleted;
          break;
        case engine::UndoKind::kKeyCreated:
          row.now = ph.not_set;
          row.after = ph.key_created;
          break;
        case engine::UndoKind::kKeyTree:
          row.now = e.tree ? TreeText(*e.tree) : ph.not_set;
          row.after = ph.key_deleted;
          break;
        case engine::UndoKind::kSpi:
          row.now = e.spi_before ? SpiValueText(*e.spi_before) : std::string("(unknown)");
          row.after = SpiValueText(e.spi_after);
          break;
        case engine::UndoKind::kService:
          row.now = e.service_before ? ServiceStateText(*e.service_before) : std::string("(unknown)");
          row.after = ServiceStateText(e.service_after);
          break;
        case engine::UndoKind::kFile:
          row.now = e.file_before ? FileSizeText(e.file_before->size()) : ph.not_set;
          row.after = FileSizeText(e.file_after.size());
          break;
      }
      if (!e.restorable && !e.note.empty()) row.after += " (cannot be undone: " + e.note + ")";
      list.rows.push_back(std::move(row));
    }
  }
  list.count_line = Count(main.Texts(), MessageId::D_ChangesApplied, list.rows.size());
  return list;
}

ChangeList CurrentChangeList(TCorvanel_FormMain& main) {
  if (!main.HasPendingChanges() && main.CanUndoLastApply()) return LastApplyChangeList(main);
  return PendingChangeList(main);
}

std::string PendingRegText(TCorvanel_FormMain& main) {
  std::vector<std::string> comments;
  for (const auto& [service, action] : PendingServices(main))
    comments.push_back("Service " + service + ": " + ServiceStateText(ServiceAfter(action)));
  if (main.Requests().FirefoxChanged) {
    for (const auto& change : main.Firefox().PendingChanges())
      comments.push_back("Firefox " + change.name + ": " + (change.value.empty() ? std::string(kDeleted) : change.value));
  }
  if (main.Requests().RestartNeeded) comments.push_back(main.Texts().Get(MessageId::D_ChangesRestart));
  return engine::RegFileText(main.Queue().Records(), main.GetPlatform().system(), comments);
}

// ---------------------------------------------------------------------------------

TCorvanel_FormChanges::TCorvanel_FormChanges(TCorvanel_FormMain& main) : forms::Form(kChangesFormName), main_(main) {
  BuildLayout();
  if (const lang::TLanguage* language = main_.Language()) forms::TranslateComponent(*language, *this);
  Refresh();
}

void TCorvanel_FormChanges::BuildLayout() {
  using forms::Button;
  using forms::Label;
  using forms::ListView;
  SetBounds({0, 0, 680, 440});
  SetCaption("Changes");
  SetFont({"Tahoma", -11, false, forms::kDefaultColor});
  auto& list = Create<ListView>(*this, "ListView_Changes", {8, 8, 664, 356});
  list.SetStyle(forms::ViewStyle::Report);
  const lang::MessageTexts& texts = main_.Texts();
  list.AddColumn(texts.Get(MessageId::D_ChangesSetting), 200);
  list.AddColumn(texts.Get(MessageId::D_ChangesWhere), 240);
  list.AddColumn(texts.Get(MessageId::D_ChangesNow), 105);
  list.AddColumn(texts.Get(MessageId::D_ChangesAfterApply), 105);
  list.SetTabOrder(0);
  Create<Label>(*this, "Label_Changes_Count", {8, 370, 664, 13});
  Create<Label>(*this, "Label_Changes_Restart", {8, 386, 664, 13});
  auto& save = Create<Button>(*this, "Button_Changes_SaveReg", {8, 406, 110, 25}, "Save as .reg...");
  auto& undo = Create<Button>(*this, "Button_Changes_Undo", {124, 406, 110, 25}, "Undo last Apply");
  auto& save_undo = Create<Button>(*this, "Button_Changes_SaveUndoReg", {240, 406, 120, 25}, "Save undo .reg...");
  auto& close = Create<Button>(*this, "Button_Changes_Close", {597, 406, 75, 25}, "Close");
  close.SetModalResult(forms::ModalResult::Cancel);
  save.OnClick = [this](forms::Component&) { Button_SaveRegClick(); };
  undo.OnClick = [this](forms::Component&) { Button_UndoClick(); };
  save_undo.OnClick = [this](forms::Component&) { Button_SaveUndoRegClick(); };
}

void TCorvanel_FormChanges::Refresh() {
  list_ = CurrentChangeList(main_);
  auto& view = Find<forms::ListView>("ListView_Changes");
  const lang::MessageTexts& texts = main_.Texts();
  view.SetColumnCaption(2, texts.Get(list_.journal ? MessageId::D_ChangesBefore : MessageId::D_ChangesNow));
  view.SetColumnCaption(3, texts.Get(list_.journal ? MessageId::D_ChangesAfter : MessageId::D_ChangesAfterApply));
  view.ClearItems();
  for (const ChangeRow& row : list_.rows) {
    forms::ListItem item;
    item.caption = row.setting;
    item.sub_items = {row.where, row.now, row.after};
    view.AddItem(std::move(item));
  }
  Find<forms::Label>("Label_Changes_Count").SetCaption(list_.count_line);
  Find<forms::Label>("Label_Changes_Restart").SetCaption(list_.restart_line);
  const bool pending = main_.HasPendingChanges();
  Find<forms::Button>("Button_Changes_SaveReg").SetEnabled(pending && !main_.Queue().Empty());
  Find<forms::Button>("Button_Changes_Undo").SetEnabled(!pending && main_.CanUndoLastApply());
  Find<forms::Button>("Button_Changes_SaveUndoReg").SetEnabled(main_.LastApply() != nullptr && !main_.LastApply()->Empty());
}

void TCorvanel_FormChanges::SaveRegFile(const std::string& text, const std::string& suggested) {
  platform::Platform& platform = main_.GetPlatform();
  std::string path;
  const std::vector<platform::FileFilter> filters = {{"Registration entries (*.reg)", "*.reg"},
                                                     {main_.Texts().Get(MessageId::D_AllFile), "*.*"}};
  if (!platform.dialogs().SaveFile(main_.OwnerWindow(), filters, suggested, "reg", &path)) return;
  if (platform.files().WriteFileAtomic(path, engine::RegFileBytes(text))) return;
  const std::string message = lang::FormatMessage(main_.Texts().Get(MessageId::D_RegSaveFailed),
                                                  {path, std::to_string(platform.files().LastError())});
  platform.dialogs().MessageBox(main_.OwnerWindow(), message, Caption(), win::MB_OK | win::MB_ICONWARNING);
}

void TCorvanel_FormChanges::Button_SaveRegClick() { SaveRegFile(PendingRegText(main_), "Corvanel changes.reg"); }

void TCorvanel_FormChanges::Button_SaveUndoRegClick() {
  if (const engine::UndoJournal* journal = main_.LastApply())
    SaveRegFile(journal->UndoRegText(), "Corvanel undo.reg");
}

void TCorvanel_FormChanges::Button_UndoClick() {
  main_.UndoLastApply();
  Refresh();
}

}  // namespace corvanel::ui
