// Undo of the last Apply. Before Apply changes a place, the journal captures what the
// place held, through the same platform interfaces Apply writes through; Undo puts every
// place back in reverse order. One level: the next Apply starts the journal afresh.
//
// What is captured, per change:
// - a value written or deleted: whether it existed, its type and bytes;
// - a key a write creates: the topmost key of its path that did not exist;
// - a key delete: the whole subtree, values and subkeys in the order the registry lists them;
// - a system parameter: its current value through the GET counterpart of the SET action
//   (a number, or the parameter block), or the system metric where no GET exists;
// - a service: its start type and whether it ran (the caller captures around its step);
// - a file the caller replaces (user.js): its bytes, or that it did not exist.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/setting_queue.h"
#include "platform/platform.h"

namespace corvanel::engine {

// A key and everything below it.
struct KeySnapshot {
  std::string name;  // as stored, case kept; empty for the top key of a capture
  std::vector<std::pair<std::string, StoredValue>> values;  // in enumeration order
  std::vector<KeySnapshot> subkeys;                         // in enumeration order
  bool operator==(const KeySnapshot&) const = default;
};

enum class UndoKind {
  kValue,       // a value written or deleted: before / after (nullopt: absent)
  kKeyCreated,  // Apply created `key_path` (the topmost key of the record's path that was missing)
  kKeyTree,     // a key delete: `tree` is what the key held (nullopt: it did not exist)
  kSpi,         // a system parameter: spi_before / spi_after
  kService,     // a service: start type and state before / after
  kFile,        // a file the caller replaced: bytes before (nullopt: absent) / after
};

// A system parameter's value: a plain number (flags as 0/1) or its parameter block.
using SpiValue = SpiParam;

struct ServiceState {
  std::uint32_t start_type = 0;  // SERVICE_AUTO_START ...
  std::uint32_t state = 0;       // SERVICE_RUNNING, SERVICE_STOPPED ...
  bool operator==(const ServiceState&) const = default;
};

// One captured change. The fields that matter depend on `kind`.
struct UndoEntry {
  UndoKind kind = UndoKind::kValue;
  std::string record_name;  // the record's Name, or the setting name the caller gave

  // Registry places: key_path has no leading or trailing backslash. view64: a record of
  // the 64-bit view (actions 3 and 4).
  platform::RegKey root = 0;
  std::string key_path;
  std::string value_name;
  bool view64 = false;
  std::string created_leaf;  // kKeyCreated: the record's key, at or below key_path
  std::optional<StoredValue> before;  // kValue
  std::optional<StoredValue> after;   // kValue: what Apply stores (nullopt: deleted)
  std::optional<KeySnapshot> tree;    // kKeyTree

  // kSpi: the SET action Apply called, and the value before and after it.
  std::uint32_t spi_action = 0;
  std::optional<SpiValue> spi_before;  // nullopt: the value could not be read
  SpiValue spi_after = std::uint32_t{0};
  std::uint32_t spi_ui = 0;  // uiParam Apply passed (kept for SETs that take the value in pvParam)
  std::uint32_t spi_win_ini = 0;

  // kService
  std::string service;
  std::optional<ServiceState> service_before;  // nullopt: the service could not be queried
  ServiceState service_after;

  // kFile
  std::string path;
  std::optional<std::vector<std::uint8_t>> file_before;  // nullopt: the file did not exist
  std::vector<std::uint8_t> file_after;
  bool file_written = false;  // FileSaved(path, true) came

  // False when the prior state could not be captured exactly; Undo then leaves the place
  // as it is and reports it (`note` says why).
  bool restorable = true;
  std::string note;
};

// Why one place could not be put back.
enum class UndoFailureKind {
  kWindowsError,  // a call failed; `error` holds the Win32 code
  kFileChanged,   // the file is no longer what Apply left; it was left alone
  kNotCaptured,   // the prior state was never known (see the entry's note)
};

struct UndoFailure {
  UndoFailureKind kind = UndoFailureKind::kWindowsError;
  std::string place;  // PlaceText of the entry
  std::string record_name;
  long error = 0;
};

struct UndoResult {
  std::size_t restored = 0;
  std::vector<UndoFailure> failures;
  bool ok() const { return failures.empty(); }
};

// How a SET action's prior value is read back: its GET action (value through pvParam,
// a block when `block_size` is not 0) or, where Windows has no GET, a system metric.
struct SpiCounterpart {
  std::uint32_t set = 0;
  std::uint32_t get = 0;      // 0: no GET; see `metric`
  int metric = -1;            // GetSystemMetrics index when there is no GET
  bool set_via_ui = false;    // SET takes the value in uiParam (else in pvParam)
  std::uint32_t block_size = 0;  // a parameter block of this size (cbSize first)
};
// The counterpart of a SET action the pages use; null when unknown.
const SpiCounterpart* FindSpiCounterpart(std::uint32_t set_action);

class UndoJournal {
 public:
  explicit UndoJournal(platform::Platform& platform);
  ~UndoJournal();
  UndoJournal(const UndoJournal&) = delete;
  UndoJournal& operator=(const UndoJournal&) = delete;

  // Forgets everything captured (Apply calls it when it starts).
  void Begin();
  bool Empty() const { return entries_.empty(); }
  // In the order the changes were made.
  const std::vector<UndoEntry>& Entries() const { return entries_; }

  // Apply calls these: before each record is written (`wow64`: Apply writes the 64-bit
  // view), and once the records are done (closes the keys the capture kept open).
  void CaptureRecord(const TRegRecor& r, bool wow64) noexcept;
  void EndRecords() noexcept;

  // Before a service step: the start type and state now; `after` is what the step sets.
  void CaptureService(const std::string& service, ServiceState after, std::string setting_name) noexcept;
  // Before a file is replaced, and after: `saved` false drops the capture (the file was
  // not replaced); true reads what was written, so Undo can tell a later change.
  void CaptureFile(const std::string& path, std::string setting_name) noexcept;
  void FileSaved(const std::string& path, bool saved) noexcept;

  // Puts every captured place back, newest first, and empties the journal. A place that
  // fails is reported and the others are still restored. `pump` runs while a service is
  // awaited (at most `service_wait_ms` per service).
  UndoResult Undo(const std::function<void()>& pump = {}, std::uint64_t service_wait_ms = 30'000);

  // A .reg file that returns the registry places to their captured state: a value that
  // did not exist becomes `"name"=-`, a key that did not exist `[-KEY]`, a deleted
  // subtree is written back whole. System parameters, services and files are listed in
  // comment lines at the top.
  std::string UndoRegText() const;

  // "HKEY_CURRENT_USER\\Key\\Value" ("(Default)" for the default value; the key alone for
  // key entries), "System parameter SPI_SETBEEP", "Service wscsvc", the file's path.
  static std::string PlaceText(const UndoEntry& e);

 private:
  struct Cache;  // keys kept open for reading during one Apply run
  void CaptureValue(platform::RegKey root, const std::string& path, const std::string& name, bool view64,
                    std::optional<StoredValue> after, const std::string& record_name, platform::RegKey known = 0,
                    bool key_new = false);
  std::optional<SpiValue> ReadSpi(const SpiCounterpart& c);
  std::optional<UndoFailure> RestoreValue(const UndoEntry& e);
  std::optional<UndoFailure> RestoreCreatedKey(const UndoEntry& e);
  long WriteTree(platform::RegKey root, const std::string& path, const KeySnapshot& tree, bool view64);
  std::optional<UndoFailure> RestoreSpi(const UndoEntry& e);
  std::optional<UndoFailure> RestoreService(const UndoEntry& e, const std::function<void()>& pump,
                                            std::uint64_t wait_ms);
  std::optional<UndoFailure> RestoreFile(const UndoEntry& e);

  platform::Platform& platform_;
  std::vector<UndoEntry> entries_;
  std::unique_ptr<Cache> cache_;
};

}  // namespace corvanel::engine
