// The setting record and the pending-change queue. A page turns every user change into
// a TRegRecor and hands it to the queue; nothing reaches the system until Apply.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "engine/registry.h"
#include "platform/platform.h"

namespace corvanel::engine {

class UndoJournal;

// A record's value: empty, text, 32-bit integer or byte string.
class Value {
 public:
  using Bytes = std::vector<std::uint8_t>;

  Value() = default;
  Value(std::string text) : v_(std::move(text)) {}
  Value(const char* text) : v_(std::string(text)) {}
  Value(std::int32_t n) : v_(n) {}
  Value(Bytes bytes) : v_(std::move(bytes)) {}

  bool IsEmpty() const { return std::holds_alternative<std::monostate>(v_); }
  bool IsText() const { return std::holds_alternative<std::string>(v_); }
  bool IsInt() const { return std::holds_alternative<std::int32_t>(v_); }
  bool IsBytes() const { return std::holds_alternative<Bytes>(v_); }

  // Throw std::bad_variant_access when the value holds another kind.
  const std::string& AsText() const { return std::get<std::string>(v_); }
  std::int32_t AsInt() const { return std::get<std::int32_t>(v_); }
  const Bytes& AsBytes() const { return std::get<Bytes>(v_); }

  bool operator==(const Value&) const = default;

 private:
  std::variant<std::monostate, std::string, std::int32_t, Bytes> v_;
};

inline Value MakeText(std::string text) { return Value(std::move(text)); }
inline Value MakeInt(std::int32_t n) { return Value(n); }
inline Value MakeBytes(Value::Bytes bytes) { return Value(std::move(bytes)); }

// pvParam of a system-parameter call: a plain number passed as is, or a parameter block
// the record owns, passed by address.
using SpiParam = std::variant<std::uint32_t, std::vector<std::uint8_t>>;

// Record actions (registry records).
enum RecordAction : std::int32_t {
  kActionWrite = 0,
  kActionDeleteKey = 1,
  kActionDeleteValue = 2,
  kActionDeleteKey64 = 3,
  kActionDeleteValue64 = 4,
};
inline constexpr std::int32_t kKindRegistry = 0;
inline constexpr std::int32_t kKindSpi = 1;

// Status after ReadValue.
inline constexpr std::int32_t kStatusFound = 0;
inline constexpr std::int32_t kStatusKeyMissing = 1;
inline constexpr std::int32_t kStatusValueMissing = 2;

struct TRegRecor {
  std::string Name;
  platform::RegKey RootKey = 0;
  std::string KeyPath;
  std::string ValueName;
  std::uint8_t DataType = 0;
  engine::Value Value;
  std::int32_t Status = 0;
  std::int32_t Action = 0;
  std::int32_t Kind = 0;
  std::uint32_t SpiAction = 0;
  std::uint32_t SpiUiParam = 0;
  SpiParam SpiPvParam = std::uint32_t{0};
  std::uint32_t SpiWinIni = 0;

  bool operator==(const TRegRecor&) const = default;
};

// Builders for the records pages queue most.
TRegRecor WriteRecord(std::string name, platform::RegKey root, std::string key_path, std::string value_name,
                      std::uint8_t data_type, engine::Value value);
TRegRecor DeleteValueRecord(std::string name, platform::RegKey root, std::string key_path, std::string value_name);
// Action 1, or action 3 (the 64-bit view) when `view64`.
TRegRecor DeleteKeyRecord(std::string name, platform::RegKey root, std::string key_path, bool view64 = false);
TRegRecor SpiRecord(std::string name, std::uint32_t action, std::uint32_t ui_param, SpiParam pv_param,
                    std::uint32_t win_ini);
// A record that only names a location, for ReadValue and TestValue.
TRegRecor ReadRecord(platform::RegKey root, std::string key_path, std::string value_name);

// A value that cannot become what its record's DataType asks for.
class ValueConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A registry value as stored: its type and bytes.
struct StoredValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> bytes;
  bool operator==(const StoredValue&) const = default;
};

// What Apply stores for the write record `r`, converted by DataType exactly as Apply
// converts it. nullopt for a record that stores no value: a write of DataType 0 (it only
// makes the key), deletes and system parameters. Throws ValueConversionError when Apply
// would stop at the record because its value does not convert.
std::optional<StoredValue> StoredValueOf(const TRegRecor& r, platform::System& system);

// Whether Apply of this system-parameter record also removes the value ValueName of
// HKCU\KeyPath (the minimized-window metrics, whose stale registry copy would win).
bool SpiRecordRemovesValue(const TRegRecor& r);

// How an Apply run ended. When `stopped`, the record at `index` (from 0, in queue order)
// raised and the run ended there; every record is still queued.
struct ApplyResult {
  bool stopped = false;
  std::size_t index = 0;
  std::string name;
  platform::RegKey root = 0;
  std::string key_path;
  std::string value_name;
  long error_code = 0;  // Win32 code; ERROR_INVALID_PARAMETER when the value did not convert
  std::string error_text;

  bool ok() const { return !stopped; }
};

class TCorvanel {
 public:
  explicit TCorvanel(platform::Platform& platform);

  // Adds a copy of `r`, or replaces in place the queued record of the same Name. Queued
  // records of other names that come later and would undo what `r` leaves at its place
  // take r's content (keeping their names and positions), so Apply ends in the newest
  // choice wherever a setting is written under more than one name. Only records of r's
  // kind do so, and a system-parameter record takes over only the call: the value it
  // cleans up afterwards stays its own. The cost does not grow with the queue's length.
  void AddRecord(TRegRecor r) noexcept;
  // Sets Status, and DataType and Value when the value is found.
  void ReadValue(TRegRecor& r) noexcept;
  // As ReadValue, but what the queue would leave at r's place after Apply comes first: a
  // queued write gives Status 0 with its DataType and Value (as the registry would keep
  // it), a queued value delete Status 2, a queued key delete Status 1. For settings
  // changed bit by bit, so that two changes before one Apply both survive. With `qword`
  // a stored REG_QWORD comes back as kTypeQword with its 8 bytes (little-endian) instead
  // of as a value of another type, so that it can be written back in its own type.
  void ReadLatest(TRegRecor& r, bool qword = false) noexcept;
  // The system-parameter record for `spi_action` that Apply would carry out last; null
  // when none is queued.
  const TRegRecor* PendingSpi(std::uint32_t spi_action) const;
  // 0 present, 1 key missing, 2 named value missing (default view).
  std::int32_t TestValue(const TRegRecor& r) noexcept;
  // Writes every record in order and empties the queue, unless a write raises: then the
  // run stops at that record, the whole queue stays, and the result says where.
  // With a journal, it is started afresh (Begin) and the prior state of every place is
  // captured into it before the record is written, so that the run can be undone; the
  // records written before a stop are in it too.
  ApplyResult Apply(UndoJournal* journal = nullptr) noexcept;

  std::size_t Count() const { return records_.size(); }
  bool Empty() const { return records_.empty(); }
  const std::vector<TRegRecor>& Records() const { return records_; }
  const TRegRecor* Find(const std::string& name) const;

 private:
  // The key a write of this run left open: root, path and view.
  struct OpenForWrite {
    platform::RegKey root = 0;
    std::string path;
    std::uint32_t access = 0;
  };
  void ApplySpi(TRegistry& reg, const TRegRecor& r);
  void ApplyRegistry(TRegistry& reg, const TRegRecor& r, bool wow64, std::optional<OpenForWrite>& open);

  // Where a record leaves its mark, with the names folded as the registry compares them.
  struct Place {
    std::int32_t kind = 0;
    platform::RegKey root = 0;
    std::string key;    // without outer backslashes
    std::string value;  // registry records that name a value
    std::uint32_t spi = 0;
    bool key_delete = false;
    bool write = false;  // creates its key
  };
  static Place PlaceOf(const TRegRecor& r);
  // Whether `later`, written after `r`, changes what `r` leaves at its place.
  static bool Undoes(const TRegRecor& later, const Place& later_place, const TRegRecor& r, const Place& place);
  void AlignLater(std::size_t index) noexcept;
  // Replaces a found value of another type by the stored QWORD, when it is one.
  void ReadStoredQword(TRegRecor& r);

  // The queue indexed by place, so that a change finds the records it meets without a
  // walk through the queue. Each slot lists the indexes of its records in queue order; a
  // new record's index is the largest, so it almost always goes at the end.
  using Slots = std::vector<std::size_t>;
  enum SlotMap { kSpiSlots, kValueSlots, kKeyDeleteSlots, kWriteKeySlots };
  struct SlotRef {
    SlotMap map;
    std::string key;
    bool operator==(const SlotRef&) const = default;
  };
  static std::vector<SlotRef> SlotsOf(const Place& place);
  static std::string KeySlot(platform::RegKey root, std::string_view key);
  const Slots* FindSlots(SlotMap map, const std::string& key) const;
  // Moves record `index` from the slots of `from` (none when null) to those of `to`. When
  // it runs out of memory nothing has changed.
  void Relink(std::size_t index, const Place* from, const Place& to);
  // Calls `fn` with the slots of the writes at `key` and below it.
  template <class Fn>
  void ForEachWriteUnder(platform::RegKey root, const std::string& key, Fn&& fn) const;
  // Calls `fn` with the slots of the key deletes at `key` and above it.
  template <class Fn>
  void ForEachKeyDeleteOver(platform::RegKey root, const std::string& key, Fn&& fn) const;

  platform::Platform& platform_;
  std::vector<TRegRecor> records_;
  std::vector<Place> places_;  // one per record, in step with records_
  std::unordered_map<std::string, std::size_t> index_;
  std::unordered_map<std::string, Slots> spi_slots_;         // by action
  std::unordered_map<std::string, Slots> value_slots_;       // writes and value deletes, by root, key and value
  std::unordered_map<std::string, Slots> key_delete_slots_;  // by root and key
  std::map<std::string, Slots> write_key_slots_;             // writes by root and key; a subtree is one range
};

}  // namespace corvanel::engine
