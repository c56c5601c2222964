#include "engine/setting_queue.h"

#include "engine/undo.h"
#include "platform/reg_text.h"

#include <cctype>
#include <charconv>
#include <exception>
#include <functional>
#include <new>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace corvanel::engine {

namespace win = platform::win;
using platform::RegKey;

namespace {

constexpr const char* kMinimizedMetricsNames[] = {"CB_Taskbar_MinWindows_Position_Arrangement", "Cmblocal"};

// A value that cannot become what DataType asks for; ends the run like a refused write.
using ConversionError = ValueConversionError;

std::string ToText(const Value& v) {
  if (v.IsText()) {
    return v.AsText();
  }
  if (v.IsInt()) {
    return std::to_string(v.AsInt());
  }
  if (v.IsEmpty()) {
    return {};
  }
  throw ConversionError("a byte string cannot be written as text");
}

std::int32_t ToNumber(const Value& v) {
  if (v.IsInt()) {
    return v.AsInt();
  }
  if (v.IsEmpty()) {
    return 0;
  }
  if (v.IsText()) {
    const std::string& s = v.AsText();
    const char* first = s.data();
    const char* last = s.data() + s.size();
    if (first != last && *first == '+') {
      ++first;  // from_chars takes '-' but not '+'
    }
    std::int32_t n = 0;
    const auto [end, ec] = std::from_chars(first, last, n, 10);
    if (first == last || ec != std::errc() || end != last) {
      throw ConversionError("\"" + s + "\" is not a 32-bit decimal integer");
    }
    return n;
  }
  throw ConversionError("a byte string cannot be written as a number");
}

std::vector<std::uint8_t> ToBytes(const Value& v, platform::System& system) {
  if (v.IsBytes()) {
    return v.AsBytes();
  }
  if (v.IsEmpty()) {
    return {};
  }
  const std::string ansi = system.Utf8ToAnsi(ToText(v));
  return std::vector<std::uint8_t>(ansi.begin(), ansi.end());
}

bool IsMinimizedMetricsRecord(const std::string& name) {
  for (const char* n : kMinimizedMetricsNames) {
    if (name == n) {
      return true;
    }
  }
  return false;
}

void WriteValue(TRegistry& reg, const TRegRecor& r, platform::System& system) {
  switch (r.DataType) {
    case kTypeText:
      reg.WriteText(r.ValueName, ToText(r.Value));
      break;
    case kTypeExpandText:
      reg.WriteExpandText(r.ValueName, ToText(r.Value));
      break;
    case kTypeNumber:
      reg.WriteNumber(r.ValueName, ToNumber(r.Value));
      break;
    case kTypeBinary:
      reg.WriteBytes(r.ValueName, ToBytes(r.Value, system));
      break;
    default:
      break;  // the key now exists; there is no value to write
  }
}

// Registry names compare without regard to case; the names this program writes are ASCII.
std::string Folded(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string FoldedKey(std::string_view path) {
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return Folded(path);
}

// `path` is `key` or lies below it.
bool Within(const std::string& path, const std::string& key) {
  if (key.empty()) return true;
  if (path.size() < key.size() || path.compare(0, key.size(), key) != 0) return false;
  return path.size() == key.size() || path[key.size()] == '\\';
}

bool IsKeyDelete(const TRegRecor& r) { return r.Action == kActionDeleteKey || r.Action == kActionDeleteKey64; }
bool IsValueDelete(const TRegRecor& r) {
  return r.Action == kActionDeleteValue || r.Action == kActionDeleteValue64;
}
bool IsWrite(const TRegRecor& r) { return !IsKeyDelete(r) && !IsValueDelete(r); }
// A write of DataType 0 only makes sure the key exists.
bool WritesValue(const TRegRecor& r) { return IsWrite(r) && r.DataType >= kTypeText && r.DataType <= kTypeBinary; }

}  // namespace

TRegRecor WriteRecord(std::string name, RegKey root, std::string key_path, std::string value_name,
                      std::uint8_t data_type, engine::Value value) {
  TRegRecor r;
  r.Name = std::move(name);
  r.RootKey = root;
  r.KeyPath = std::move(key_path);
  r.ValueName = std::move(value_name);
  r.DataType = data_type;
  r.Value = std::move(value);
  r.Action = kActionWrite;
  return r;
}

TRegRecor DeleteValueRecord(std::string name, RegKey root, std::string key_path, std::string value_name) {
  TRegRecor r;
  r.Name = std::move(name);
  r.RootKey = root;
  r.KeyPath = std::move(key_path);
  r.ValueName = std::move(value_name);
  r.Action = kActionDeleteValue;
  return r;
}

TRegRecor DeleteKeyRecord(std::string name, RegKey root, std::string key_path, bool view64) {
  TRegRecor r;
  r.Name = std::move(name);
  r.RootKey = root;
  r.KeyPath = std::move(key_path);
  r.Action = view64 ? kActionDeleteKey64 : kActionDeleteKey;
  return r;
}

TRegRecor SpiRecord(std::string name, std::uint32_t action, std::uint32_t ui_param, SpiParam pv_param,
                    std::uint32_t win_ini) {
  TRegRecor r;
  r.Name = std::move(name);
  r.Kind = kKindSpi;
  r.SpiAction = action;
  r.SpiUiParam = ui_param;
  r.SpiPvParam = std::move(pv_param);
  r.SpiWinIni = win_ini;
  return r;
}

std::optional<StoredValue> StoredValueOf(const TRegRecor& r, platform::System& system) {
  if (r.Kind == kKindSpi || !IsWrite(r)) return std::nullopt;
  switch (r.DataType) {
    case kTypeText: return StoredValue{win::REG_SZ, platform::EncodeRegString(ToText(r.Value))};
    case kTypeExpandText: return StoredValue{win::REG_EXPAND_SZ, platform::EncodeRegString(ToText(r.Value))};
    case kTypeNumber: {
      const auto u = static_cast<std::uint32_t>(ToNumber(r.Value));
      return StoredValue{win::REG_DWORD, {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                                          static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)}};
    }
    case kTypeBinary: return StoredValue{win::REG_BINARY, ToBytes(r.Value, system)};
    default: return std::nullopt;
  }
}

bool SpiRecordRemovesValue(const TRegRecor& r) { return r.Kind == kKindSpi && IsMinimizedMetricsRecord(r.Name); }

TRegRecor ReadRecord(RegKey root, std::string key_path, std::string value_name) {
  TRegRecor r;
  r.RootKey = root;
  r.KeyPath = std::move(key_path);
  r.ValueName = std::move(value_name);
  return r;
}

TCorvanel::TCorvanel(platform::Platform& platform) : platform_(platform) {}

const TRegRecor* TCorvanel::Find(const std::string& name) const {
  const auto it = index_.find(name);
  return it == index_.end() ? nullptr : &records_[it->second];
}

TCorvanel::Place TCorvanel::PlaceOf(const TRegRecor& r) {
  Place place;
  place.kind = r.Kind == kKindSpi ? kKindSpi : kKindRegistry;
  if (place.kind == kKindSpi) {
    place.spi = r.SpiAction;
    place.hash = std::hash<std::uint32_t>{}(r.SpiAction);
    return place;
  }
  place.root = r.RootKey;
  place.key = FoldedKey(r.KeyPath);
  place.key_delete = IsKeyDelete(r);
  if (!place.key_delete) place.value = Folded(r.ValueName);
  place.hash = std::hash<std::string>{}(place.key) * 31 + std::hash<std::string>{}(place.value) + r.RootKey;
  return place;
}

bool TCorvanel::Undoes(const TRegRecor& later, const Place& later_place, const TRegRecor& r, const Place& place) {
  if (later_place.kind != place.kind) return false;
  if (place.kind == kKindSpi) return later_place.spi == place.spi;
  if (later_place.root != place.root) return false;
  if (IsKeyDelete(r)) return IsWrite(later) && Within(later_place.key, place.key);
  if (IsKeyDelete(later)) return IsWrite(r) && Within(place.key, later_place.key);
  if (later_place.key != place.key || later_place.value != place.value) return false;
  if (IsValueDelete(r)) return WritesValue(later);
  if (!WritesValue(r)) return false;
  if (IsValueDelete(later)) return true;
  return WritesValue(later) && (later.DataType != r.DataType || !(later.Value == r.Value));
}

void TCorvanel::AlignLater(std::size_t index) noexcept {
  try {
    const TRegRecor r = records_[index];
    const Place place = places_[index];
    for (std::size_t j = index + 1; j < records_.size(); ++j) {
      // Only a key delete reaches places other than its own.
      if (places_[j].hash != place.hash && !places_[j].key_delete && !place.key_delete) continue;
      if (!Undoes(records_[j], places_[j], r, place)) continue;
      TRegRecor copy = r;
      copy.Name = records_[j].Name;
      records_[j] = std::move(copy);
      places_[j] = place;
    }
  } catch (const std::bad_alloc&) {
    // Out of memory while copying: the records already aligned stay so; the others keep
    // their older content, as a queue without this rule would.
  }
}

void TCorvanel::AddRecord(TRegRecor r) noexcept {
  try {
    Place place = PlaceOf(r);
    std::size_t index = 0;
    const auto it = index_.find(r.Name);
    if (it != index_.end()) {
      index = it->second;
      records_[index] = std::move(r);
      places_[index] = std::move(place);
    } else {
      index = records_.size();
      places_.push_back(std::move(place));
      try {
        records_.push_back(std::move(r));
      } catch (const std::bad_alloc&) {
        places_.pop_back();
        throw;
      }
      try {
        index_.emplace(records_.back().Name, index);
      } catch (const std::bad_alloc&) {
        records_.pop_back();  // keep list, places and index in step
        places_.pop_back();
        throw;
      }
    }
    AlignLater(index);
  } catch (const std::bad_alloc&) {
    // Out of memory: the change is dropped and the queue stays as it was; a queue
    // operation must never take the window down.
  }
}

void TCorvanel::ReadLatest(TRegRecor& r) noexcept {
  try {
    const Place place = PlaceOf(r);
    bool key_made = false;  // a later queued write creates the key again
    for (std::size_t i = records_.size(); i-- > 0;) {
      const TRegRecor& q = records_[i];
      const Place& qp = places_[i];
      if (qp.kind != kKindRegistry || qp.root != place.root) continue;
      if (IsKeyDelete(q)) {
        if (Within(place.key, qp.key)) {
          r.Status = key_made ? kStatusValueMissing : kStatusKeyMissing;
          return;
        }
        continue;
      }
      if (IsWrite(q) && Within(qp.key, place.key)) key_made = true;
      if (qp.key != place.key || qp.value != place.value) continue;
      if (IsValueDelete(q)) {
        r.Status = kStatusValueMissing;
        return;
      }
      if (!WritesValue(q)) continue;
      r.Status = kStatusFound;
      r.DataType = q.DataType;
      try {
        switch (q.DataType) {
          case kTypeText:
          case kTypeExpandText: r.Value = ToText(q.Value); break;
          case kTypeNumber: r.Value = ToNumber(q.Value); break;
          default: r.Value = ToBytes(q.Value, platform_.system()); break;
        }
      } catch (const ConversionError&) {
        r.Value = q.Value;  // Apply would stop at this record; the queued value is the best answer
      }
      return;
    }
    ReadValue(r);
    if (key_made && r.Status == kStatusKeyMissing) r.Status = kStatusValueMissing;
  } catch (const std::exception&) {
    // Only allocation can throw here: answer as ReadValue does for an unreadable key.
    r.Status = kStatusKeyMissing;
  }
}

const TRegRecor* TCorvanel::PendingSpi(std::uint32_t spi_action) const {
  for (std::size_t i = records_.size(); i-- > 0;) {
    if (records_[i].Kind == kKindSpi && records_[i].SpiAction == spi_action) return &records_[i];
  }
  return nullptr;
}

void TCorvanel::ReadValue(TRegRecor& r) noexcept {
  try {
    TRegistry reg(platform_.registry());
    reg.Use64BitView(IsWow64(platform_.registry()));
    reg.SelectRoot(r.RootKey);
    r.Status = kStatusFound;
    if (!reg.OpenPath(r.KeyPath, false)) {
      r.Status = kStatusKeyMissing;
      return;
    }
    if (!reg.HasValue(r.ValueName)) {
      r.Status = kStatusValueMissing;
      return;
    }
    r.DataType = static_cast<std::uint8_t>(reg.ValueType(r.ValueName));
    switch (r.DataType) {
      case kTypeText:
      case kTypeExpandText:
        r.Value = reg.ReadText(r.ValueName);
        break;
      case kTypeNumber:
        r.Value = reg.ReadNumber(r.ValueName);
        break;
      case kTypeBinary:
        r.Value = reg.ReadBytes(r.ValueName);
        break;
      default:
        break;
    }
  } catch (const std::exception&) {
    // A value that changed type or size between the queries, or no memory: the loader
    // keeps its control's default, which is what a missing reading means to it.
  }
}

std::int32_t TCorvanel::TestValue(const TRegRecor& r) noexcept {
  try {
    TRegistry reg(platform_.registry());
    reg.SelectRoot(r.RootKey);
    if (!reg.OpenPath(r.KeyPath, false)) {
      return 1;
    }
    if (!r.ValueName.empty() && !reg.HasValue(r.ValueName)) {
      return 2;
    }
    return 0;
  } catch (const std::exception&) {
    // Only allocation can throw here; report the key as absent.
    return 1;
  }
}

void TCorvanel::ApplySpi(TRegistry& reg, const TRegRecor& r) {
  // The call gets its own copy of the block, so a block the system writes into does not
  // change what a later Apply of the same still-queued record passes.
  std::vector<std::uint8_t> block;
  void* pv = nullptr;
  if (const auto* owned = std::get_if<std::vector<std::uint8_t>>(&r.SpiPvParam)) {
    block = *owned;
    pv = block.empty() ? nullptr : block.data();
  } else {
    pv = reinterpret_cast<void*>(static_cast<std::uintptr_t>(std::get<std::uint32_t>(r.SpiPvParam)));
  }
  platform_.spi().Spi(r.SpiAction, r.SpiUiParam, pv, r.SpiWinIni);

  // The minimized-window metrics live in the user's desktop key; a stale MinWidth there
  // would override what the call just set.
  if (IsMinimizedMetricsRecord(r.Name)) {
    reg.SelectRoot(platform::HKCU);
    if (reg.OpenPath(r.KeyPath, false) && reg.HasValue(r.ValueName)) {
      reg.RemoveValue(r.ValueName);
    }
  }
}

void TCorvanel::ApplyRegistry(TRegistry& reg, const TRegRecor& r, bool wow64, std::optional<OpenForWrite>& open) {
  reg.SelectRoot(r.RootKey);
  const bool write = r.Action < kActionDeleteKey || r.Action > kActionDeleteValue64;  // unknown actions write too
  if (write || r.Action == kActionDeleteValue) {
    // Records of one setting group usually share a key: keep it open from the previous
    // record instead of reopening it. Only writes and value deletes run in between, so
    // it cannot be gone.
    const bool reuse = open && reg.HasOpenKey() && open->root == r.RootKey && open->path == r.KeyPath &&
                       open->access == reg.Access() && !r.KeyPath.empty() && r.KeyPath.front() == '\\';
    if (!reuse) {
      open.reset();
      if (!reg.OpenPath(r.KeyPath, write)) return;  // a missing key has no value to delete
      open = OpenForWrite{r.RootKey, r.KeyPath, reg.Access()};
    }
    if (write) {
      WriteValue(reg, r, platform_.system());
    } else {
      reg.RemoveValue(r.ValueName);  // a value that is not there is not an error
    }
    return;
  }
  open.reset();
  switch (r.Action) {
    case kActionDeleteKey:
      reg.RemoveTree(r.KeyPath);  // a missing key simply fails to open and to delete
      return;
    case kActionDeleteValue64:
      reg.Use64BitView(true);
      if (reg.OpenPath(r.KeyPath, false)) reg.RemoveValue(r.ValueName);
      reg.Use64BitView(wow64);
      return;
    case kActionDeleteKey64:
      reg.Use64BitView(true);
      if (reg.PathExists(r.KeyPath)) {
        const std::string sub = (!r.KeyPath.empty() && r.KeyPath.front() == '\\') ? r.KeyPath.substr(1) : r.KeyPath;
        DeleteKey64(platform_.registry(), r.RootKey, sub);  // only a leaf goes; the result does not matter
      }
      reg.Use64BitView(wow64);
      return;
    default:
      break;
  }
}

ApplyResult TCorvanel::Apply(UndoJournal* journal) noexcept {
  ApplyResult result;
  std::size_t i = 0;
  if (journal != nullptr) journal->Begin();
  try {
    const bool wow64 = IsWow64(platform_.registry());
    TRegistry reg(platform_.registry());
    reg.Use64BitView(wow64);
    std::optional<OpenForWrite> open;
    for (i = 0; i < records_.size(); ++i) {
      const TRegRecor& r = records_[i];
      if (journal != nullptr) journal->CaptureRecord(r, wow64);
      if (r.Kind == kKindSpi) {
        open.reset();
        try {
          ApplySpi(reg, r);
        } catch (const std::exception&) {
          // A system-parameter record never stops the run; its call has no result to act on.
        }
        continue;
      }
      try {
        ApplyRegistry(reg, r, wow64, open);
      } catch (const RegistryError& e) {
        result.error_code = e.code();
        result.error_text = e.what();
        throw;
      } catch (const ConversionError& e) {
        result.error_code = win::kInvalidParameter;
        result.error_text = e.what();
        throw;
      }
    }
    if (journal != nullptr) journal->EndRecords();
    records_.clear();
    places_.clear();
    index_.clear();
  } catch (const std::exception& e) {
    // The queue is kept whole so the next Apply writes every record again; the caller
    // learns from the result where and why the run stopped.
    if (journal != nullptr) journal->EndRecords();
    result.stopped = true;
    result.index = i;
    if (i < records_.size()) {
      const TRegRecor& r = records_[i];
      result.name = r.Name;
      result.root = r.RootKey;
      result.key_path = r.KeyPath;
      result.value_name = r.ValueName;
    }
    if (result.error_text.empty()) {
      result.error_text = e.what();
    }
  }
  return result;
}

}  // namespace corvanel::engine
