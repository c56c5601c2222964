#include "engine/setting_queue.h"

#include "engine/undo.h"
#include "platform/reg_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <charconv>
#include <exception>
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

// A 64-bit number: an integer as its 32 bits (no sign), bytes as a little-endian number of
// at most 8 bytes, a decimal text.
std::uint64_t ToQword(const Value& v) {
  if (v.IsInt()) return static_cast<std::uint32_t>(v.AsInt());
  if (v.IsEmpty()) return 0;
  if (v.IsBytes()) {
    const auto& bytes = v.AsBytes();
    if (bytes.size() > 8) throw ConversionError("more than 8 bytes cannot be written as a 64-bit number");
    std::uint64_t n = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) n |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return n;
  }
  const std::string& s = v.AsText();
  std::uint64_t n = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n, 10);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) {
    throw ConversionError("\"" + s + "\" is not a 64-bit decimal number");
  }
  return n;
}

Value::Bytes QwordBytes(std::uint64_t n) {
  Value::Bytes bytes(8);
  for (std::size_t i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(n >> (8 * i));
  return bytes;
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
    case kTypeQword:
      reg.WriteQword(r.ValueName, ToQword(r.Value));
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
bool WritesValue(const TRegRecor& r) {
  return IsWrite(r) && ((r.DataType >= kTypeText && r.DataType <= kTypeBinary) || r.DataType == kTypeQword);
}

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
    case kTypeQword: return StoredValue{win::REG_QWORD, QwordBytes(ToQword(r.Value))};
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
    return place;
  }
  place.root = r.RootKey;
  place.key = FoldedKey(r.KeyPath);
  place.key_delete = IsKeyDelete(r);
  place.write = IsWrite(r);
  if (!place.key_delete) place.value = Folded(r.ValueName);
  return place;
}

std::string TCorvanel::KeySlot(RegKey root, std::string_view key) {
  // A fixed-width root first, so that one root's keys form one range of the ordered map.
  char head[10];
  std::snprintf(head, sizeof head, "%08X:", static_cast<unsigned>(root));
  std::string slot(head, 9);
  slot += key;
  return slot;
}

std::vector<TCorvanel::SlotRef> TCorvanel::SlotsOf(const Place& place) {
  if (place.kind == kKindSpi) return {{kSpiSlots, std::to_string(place.spi)}};
  std::string key = KeySlot(place.root, place.key);
  if (place.key_delete) return {{kKeyDeleteSlots, std::move(key)}};
  std::vector<SlotRef> slots{{kValueSlots, key + '\0' + place.value}};
  if (place.write) slots.push_back({kWriteKeySlots, std::move(key)});
  return slots;
}

namespace {

using Slots = std::vector<std::size_t>;

void SlotInsert(Slots& slots, std::size_t index) {
  const auto it = std::lower_bound(slots.begin(), slots.end(), index);
  if (it == slots.end() || *it != index) slots.insert(it, index);
}

Slots::const_iterator SlotsAfter(const Slots& slots, std::size_t index) {
  return std::upper_bound(slots.begin(), slots.end(), index);
}

template <class Map>
const Slots* Lookup(const Map& map, const std::string& key) {
  const auto it = map.find(key);
  return it == map.end() ? nullptr : &it->second;
}

template <class Map>
void Erase(Map& map, const std::string& key, std::size_t index) noexcept {
  const auto it = map.find(key);
  if (it == map.end()) return;
  Slots& slots = it->second;
  const auto at = std::lower_bound(slots.begin(), slots.end(), index);
  if (at != slots.end() && *at == index) slots.erase(at);
  if (slots.empty()) map.erase(it);
}

}  // namespace

const TCorvanel::Slots* TCorvanel::FindSlots(SlotMap map, const std::string& key) const {
  switch (map) {
    case kSpiSlots: return Lookup(spi_slots_, key);
    case kValueSlots: return Lookup(value_slots_, key);
    case kKeyDeleteSlots: return Lookup(key_delete_slots_, key);
    case kWriteKeySlots: return Lookup(write_key_slots_, key);
  }
  return nullptr;
}

void TCorvanel::Relink(std::size_t index, const Place* from, const Place& to) {
  const std::vector<SlotRef> old_slots = from ? SlotsOf(*from) : std::vector<SlotRef>{};
  const std::vector<SlotRef> new_slots = SlotsOf(to);
  const auto among = [](const SlotRef& s, const std::vector<SlotRef>& v) {
    for (const SlotRef& t : v) {
      if (t == s) return true;
    }
    return false;
  };
  const auto erase = [&](const SlotRef& s) noexcept {
    switch (s.map) {
      case kSpiSlots: Erase(spi_slots_, s.key, index); break;
      case kValueSlots: Erase(value_slots_, s.key, index); break;
      case kKeyDeleteSlots: Erase(key_delete_slots_, s.key, index); break;
      case kWriteKeySlots: Erase(write_key_slots_, s.key, index); break;
    }
  };
  std::size_t added = 0;
  try {
    for (; added < new_slots.size(); ++added) {
      const SlotRef& s = new_slots[added];
      if (among(s, old_slots)) continue;
      switch (s.map) {
        case kSpiSlots: SlotInsert(spi_slots_[s.key], index); break;
        case kValueSlots: SlotInsert(value_slots_[s.key], index); break;
        case kKeyDeleteSlots: SlotInsert(key_delete_slots_[s.key], index); break;
        case kWriteKeySlots: SlotInsert(write_key_slots_[s.key], index); break;
      }
    }
  } catch (const std::bad_alloc&) {
    for (std::size_t i = 0; i < added; ++i) {
      if (!among(new_slots[i], old_slots)) erase(new_slots[i]);
    }
    throw;
  }
  for (const SlotRef& s : old_slots) {
    if (!among(s, new_slots)) erase(s);
  }
}

template <class Fn>
void TCorvanel::ForEachWriteUnder(RegKey root, const std::string& key, Fn&& fn) const {
  const std::string slot = KeySlot(root, key);
  if (key.empty()) {
    // The whole root: every slot that starts with its prefix.
    for (auto it = write_key_slots_.lower_bound(slot); it != write_key_slots_.end(); ++it) {
      if (it->first.compare(0, slot.size(), slot) != 0) break;
      fn(it->second);
    }
    return;
  }
  if (const Slots* at = Lookup(write_key_slots_, slot)) fn(*at);
  // Subkeys sort between "key\" and "key]", the character after the backslash.
  const auto last = write_key_slots_.lower_bound(slot + ']');
  for (auto it = write_key_slots_.lower_bound(slot + '\\'); it != last; ++it) fn(it->second);
}

template <class Fn>
void TCorvanel::ForEachKeyDeleteOver(RegKey root, const std::string& key, Fn&& fn) const {
  if (key_delete_slots_.empty()) return;
  std::string slot = KeySlot(root, "");
  const std::size_t head = slot.size();
  slot += key;
  for (std::size_t end = head;; ++end) {
    if (end == slot.size() || slot[end] == '\\') {
      if (const Slots* at = Lookup(key_delete_slots_, slot.substr(0, end))) fn(*at);
      if (end == slot.size()) break;
    }
  }
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
    const TRegRecor& r = records_[index];
    const Place& place = places_[index];
    // Only records that can meet r's place, from the index: the same action, the same
    // value, a key delete above a write, writes below a key delete.
    std::vector<std::size_t> later;
    const auto collect = [&](const Slots& slots) {
      later.insert(later.end(), SlotsAfter(slots, index), slots.end());
    };
    if (place.kind == kKindSpi) {
      if (const Slots* s = FindSlots(kSpiSlots, std::to_string(place.spi))) collect(*s);
    } else if (place.key_delete) {
      ForEachWriteUnder(place.root, place.key, collect);
    } else {
      if (const Slots* s = FindSlots(kValueSlots, KeySlot(place.root, place.key) + '\0' + place.value)) collect(*s);
      if (place.write) ForEachKeyDeleteOver(place.root, place.key, collect);
    }
    std::sort(later.begin(), later.end());
    later.erase(std::unique(later.begin(), later.end()), later.end());
    for (const std::size_t j : later) {
      if (!Undoes(records_[j], places_[j], r, place)) continue;
      TRegRecor& target = records_[j];
      if (place.kind == kKindSpi) {
        // The call is the choice; where the record cleans up after it stays its own.
        target.SpiUiParam = r.SpiUiParam;
        target.SpiPvParam = r.SpiPvParam;
        target.SpiWinIni = r.SpiWinIni;
        continue;
      }
      TRegRecor copy = r;
      copy.Name = target.Name;
      Place copy_place = place;
      Relink(j, &places_[j], copy_place);
      target = std::move(copy);
      places_[j] = std::move(copy_place);
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
      Relink(index, &places_[index], place);
      records_[index] = std::move(r);
      places_[index] = std::move(place);
    } else {
      index = records_.size();
      // Room first, growing as push_back would, so that nothing can fail once the
      // index holds the record.
      if (records_.size() == records_.capacity()) records_.reserve(2 * index + 8);
      if (places_.size() == places_.capacity()) places_.reserve(2 * index + 8);
      auto pos = index_.emplace(r.Name, index).first;
      try {
        Relink(index, nullptr, place);
      } catch (const std::bad_alloc&) {
        index_.erase(pos);
        throw;
      }
      records_.push_back(std::move(r));  // cannot throw after the reserve
      places_.push_back(std::move(place));
    }
    AlignLater(index);
  } catch (const std::bad_alloc&) {
    // Out of memory: the change is dropped and the queue stays as it was; a queue
    // operation must never take the window down.
  }
}

void TCorvanel::ReadLatest(TRegRecor& r, bool qword) noexcept {
  try {
    const Place place = PlaceOf(r);
    // The newest record that decides the place: a value write or delete there, or a key
    // delete at or above its key.
    std::optional<std::size_t> last;
    const auto newest = [&](std::size_t i) {
      if (!last || i > *last) last = i;
    };
    if (const Slots* s = FindSlots(kValueSlots, KeySlot(place.root, place.key) + '\0' + place.value)) {
      for (auto it = s->rbegin(); it != s->rend(); ++it) {
        if (IsValueDelete(records_[*it]) || WritesValue(records_[*it])) {
          newest(*it);
          break;
        }
      }
    }
    ForEachKeyDeleteOver(place.root, place.key, [&](const Slots& s) { newest(*s.rbegin()); });
    // A write at or below the key after `after` (or anywhere) creates the key again.
    const auto key_made = [&](std::optional<std::size_t> after) {
      bool made = false;
      ForEachWriteUnder(place.root, place.key, [&](const Slots& s) {
        if (!after || SlotsAfter(s, *after) != s.end()) made = true;
      });
      return made;
    };
    if (!last) {
      ReadValue(r);
      if (r.Status == kStatusKeyMissing && key_made(std::nullopt)) r.Status = kStatusValueMissing;
      if (qword && r.Status == kStatusFound && r.DataType == kTypeOther) ReadStoredQword(r);
      return;
    }
    const TRegRecor& q = records_[*last];
    if (IsKeyDelete(q)) {
      r.Status = key_made(*last) ? kStatusValueMissing : kStatusKeyMissing;
      return;
    }
    if (IsValueDelete(q)) {
      r.Status = kStatusValueMissing;
      return;
    }
    r.Status = kStatusFound;
    r.DataType = q.DataType;
    try {
      switch (q.DataType) {
        case kTypeText:
        case kTypeExpandText: r.Value = ToText(q.Value); break;
        case kTypeNumber: r.Value = ToNumber(q.Value); break;
        case kTypeQword:
          if (qword) {
            r.Value = QwordBytes(ToQword(q.Value));
          } else {
            r.DataType = kTypeOther;  // as ReadValue reports it once written
          }
          break;
        default: r.Value = ToBytes(q.Value, platform_.system()); break;
      }
    } catch (const ConversionError&) {
      r.Value = q.Value;  // Apply would stop at this record; the queued value is the best answer
    }
  } catch (const std::exception&) {
    // Only allocation can throw here: answer as ReadValue does for an unreadable key.
    r.Status = kStatusKeyMissing;
  }
}

void TCorvanel::ReadStoredQword(TRegRecor& r) {
  TRegistry reg(platform_.registry());
  reg.Use64BitView(IsWow64(platform_.registry()));
  reg.SelectRoot(r.RootKey);
  if (!reg.OpenPath(r.KeyPath, false)) return;
  try {
    r.Value = QwordBytes(reg.ReadQword(r.ValueName));
    r.DataType = kTypeQword;
  } catch (const RegistryError&) {
    // Not a QWORD (or gone since): it stays a value of another type.
  }
}

const TRegRecor* TCorvanel::PendingSpi(std::uint32_t spi_action) const {
  const Slots* s = FindSlots(kSpiSlots, std::to_string(spi_action));
  return s ? &records_[*s->rbegin()] : nullptr;
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
  if (journal != nullptr) journal->Begin(records_);
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
    spi_slots_.clear();
    value_slots_.clear();
    key_delete_slots_.clear();
    write_key_slots_.clear();
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
