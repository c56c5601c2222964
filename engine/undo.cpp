#include "engine/undo.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>
#include <string_view>

#include "engine/reg_file.h"
#include "engine/registry.h"

namespace corvanel::engine {

namespace win = platform::win;
using platform::RegKey;

namespace {

// A broken or hostile tree must not take the capture down with it.
constexpr int kTreeDepthLimit = 64;
constexpr std::uint32_t kEnumLimit = 1u << 20;
constexpr long kKeyDeleted = 1018;
constexpr std::uint32_t kServiceQuery = 0x0001 /*QUERY_CONFIG*/ | 0x0004 /*QUERY_STATUS*/;

std::string Folded(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Trimmed(std::string_view path) {
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return std::string(path);
}

std::string Join(const std::string& a, const std::string& b) { return a.empty() ? b : a + "\\" + b; }

std::string Parent(const std::string& path) {
  const auto cut = path.rfind('\\');
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string Leaf(const std::string& path) {
  const auto cut = path.rfind('\\');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::uint32_t ViewFlag(bool view64) { return view64 ? win::KEY_WOW64_64KEY : 0; }

std::optional<StoredValue> ReadStored(platform::Registry& reg, RegKey key, const std::string& name) {
  StoredValue v;
  std::uint32_t size = 0;
  if (reg.QueryValue(key, name, &v.type, &v.bytes, &size) != win::kSuccess) return std::nullopt;
  v.bytes.resize(size);
  return v;
}

// The name a value is stored under, which may differ in case from the one asked for.
std::string StoredValueName(platform::Registry& reg, RegKey key, const std::string& name) {
  const std::string want = Folded(name);
  std::string found;
  for (std::uint32_t i = 0; i < kEnumLimit; ++i) {
    const long rc = reg.EnumValue(key, i, &found);
    if (rc == win::kNoMoreItems) break;
    if (rc == win::kSuccess && Folded(found) == want) return found;
  }
  return name;
}

void Snapshot(platform::Registry& reg, RegKey key, std::uint32_t view, KeySnapshot& out, int depth) {
  // The counts spare the call that would only answer "no more items" (one per list, in
  // every key of the tree); without them the lists are read to their end.
  std::uint32_t subkeys = 0;
  std::uint32_t values = 0;
  if (reg.QueryKeyCounts(key, &subkeys, &values) != win::kSuccess) subkeys = values = kEnumLimit;
  std::string name;
  for (std::uint32_t i = 0; i < std::min(values, kEnumLimit); ++i) {
    StoredValue v;
    const long rc = reg.EnumValueData(key, i, &name, &v.type, &v.bytes);
    if (rc == win::kNoMoreItems) break;
    if (rc == win::kSuccess) out.values.emplace_back(name, std::move(v));
  }
  if (depth >= kTreeDepthLimit) return;
  for (std::uint32_t i = 0; i < std::min(subkeys, kEnumLimit); ++i) {
    const long rc = reg.EnumKey(key, i, &name);
    if (rc == win::kNoMoreItems) break;
    if (rc != win::kSuccess) continue;
    RegKey sub = 0;
    if (reg.OpenKey(key, name, win::KEY_READ | view, &sub) != win::kSuccess || sub == 0) continue;
    KeyHandle closer(reg, sub);
    KeySnapshot child;
    child.name = name;
    Snapshot(reg, sub, view, child, depth + 1);
    out.subkeys.push_back(std::move(child));
  }
}

// Whether a key holds any value or subkey.
bool HoldsAnything(platform::Registry& reg, RegKey key) {
  // A key that cannot be asked counts as holding something: it stays.
  std::uint32_t subkeys = 0;
  std::uint32_t values = 0;
  return reg.QueryKeyCounts(key, &subkeys, &values) != win::kSuccess || subkeys != 0 || values != 0;
}

bool IsRunning(std::uint32_t state) {
  return state != win::SERVICE_STOPPED && state != win::SERVICE_STOP_PENDING;
}

UndoFailure Failure(const UndoEntry& e, UndoFailureKind kind, long error) {
  return UndoFailure{kind, UndoJournal::PlaceText(e), e.record_name, error};
}

}  // namespace

// What the capture knows of the keys it met during one Apply run, so that the records of
// one key cost one query each at most: its handle, open for reading, and, where the key
// holds fewer values than records will touch it, all its values as they are now (a record
// of a value the key does not hold then needs no query at all, one of a value it holds
// none either).
struct UndoJournal::Cache {
  struct KeyState {
    RegKey key = 0;       // open for reading; 0 until needed, or when missing
    bool exists = false;
    struct Listed {
      std::string name;  // as stored
      StoredValue value;
    };
    bool listed = false;  // `names` are all the values the key holds now
    std::map<std::string, Listed> names;  // by folded name
  };

  explicit Cache(platform::Registry& r) : reg(r) {}
  ~Cache() {
    for (auto& [id, state] : keys) Close(state);
  }
  void Close(KeyState& s) {
    if (s.key != 0) reg.CloseKey(s.key);
    s.key = 0;
  }
  static std::string Id(RegKey root, bool view64, const std::string& path) {
    return std::to_string(root) + (view64 ? "|64|" : "|-|") + Folded(path);
  }
  void Expect(const TRegRecor& r) { ++expected[std::to_string(r.RootKey) + "|" + Folded(Trimmed(r.KeyPath))]; }

  KeyState& State(RegKey root, const std::string& path, bool view64) {
    // Records of one key mostly come one after another.
    if (last != nullptr && last_root == root && last_view64 == view64 && last_path == path) return *last;
    KeyState& s = Find(root, path, view64);
    last = &s;
    last_root = root;
    last_view64 = view64;
    last_path = path;
    return s;
  }
  KeyState& Find(RegKey root, const std::string& path, bool view64) {
    const std::string id = Id(root, view64, path);
    const auto it = keys.find(id);
    if (it != keys.end()) return it->second;
    KeyState s;
    if (reg.OpenKey(root, path, win::KEY_READ | ViewFlag(view64), &s.key) != win::kSuccess) s.key = 0;
    s.exists = s.key != 0;
    const auto want = expected.find(std::to_string(root) + "|" + Folded(path));
    std::uint32_t count = 0;
    if (s.exists && want != expected.end() && want->second > 2 && reg.QueryKeyCounts(s.key, nullptr, &count) == win::kSuccess &&
        count + 1 < static_cast<std::uint32_t>(want->second)) {
      s.listed = true;
      std::string name;
      for (std::uint32_t i = 0; i < count && s.listed; ++i) {
        KeyState::Listed entry;
        if (reg.EnumValueData(s.key, i, &entry.name, &entry.value.type, &entry.value.bytes) == win::kSuccess) {
          const std::string folded = Folded(entry.name);
          s.names.emplace(folded, std::move(entry));
        } else {
          s.listed = false;  // changed under us: ask value by value
        }
      }
      if (!s.listed) s.names.clear();
    }
    return keys.emplace(id, std::move(s)).first->second;
  }
  RegKey Handle(KeyState& s, RegKey root, const std::string& path, bool view64) {
    if (s.key == 0 && s.exists &&
        reg.OpenKey(root, path, win::KEY_READ | ViewFlag(view64), &s.key) != win::kSuccess) {
      s.key = 0;
    }
    return s.key;
  }
  // A write is about to create `path` and the missing keys above it: all of them empty.
  void Created(RegKey root, const std::string& path, bool view64) {
    for (std::string p = path; !p.empty(); p = Parent(p)) {
      KeyState& s = keys[Id(root, view64, p)];
      if (s.exists) break;
      Close(s);
      s.exists = true;
      s.listed = true;
      s.names.clear();
    }
  }
  // A key delete is about to remove `path` with everything below it (in either view).
  void Deleted(RegKey root, const std::string& path) {
    last = nullptr;
    const std::string below = Folded(path);
    const std::string prefix = std::to_string(root) + "|";
    for (auto it = keys.begin(); it != keys.end();) {
      const std::string& id = it->first;
      bool hit = false;
      if (id.compare(0, prefix.size(), prefix) == 0) {
        const std::string p = id.substr(id.find('|', prefix.size()) + 1);
        hit = p == below || (p.size() > below.size() && p.compare(0, below.size(), below) == 0 &&
                             p[below.size()] == '\\');
      }
      if (hit) {
        Close(it->second);
        it = keys.erase(it);
      } else {
        ++it;
      }
    }
  }
  // The name a key is stored under, which may differ in case from the one asked for. The
  // parent's list is read once per run: deletes under one parent would otherwise list it
  // again and again, and a key created since is named as its record names it anyway.
  std::string StoredName(RegKey root, const std::string& path, bool view64) {
    const std::string parent = Parent(path);
    const std::string id = Id(root, view64, parent);
    auto it = subkeys.find(id);
    if (it == subkeys.end()) {
      std::vector<std::string> names;
      KeyState& ps = State(root, parent, view64);
      if (const RegKey p = Handle(ps, root, parent, view64); p != 0) {
        std::string found;
        for (std::uint32_t i = 0; i < kEnumLimit; ++i) {
          const long rc = reg.EnumKey(p, i, &found);
          if (rc == win::kNoMoreItems) break;
          if (rc == win::kSuccess) names.push_back(Folded(found) + '\0' + found);
        }
      }
      it = subkeys.emplace(id, std::move(names)).first;
    }
    const std::string want = Folded(Leaf(path)) + '\0';
    for (const std::string& entry : it->second) {
      if (entry.compare(0, want.size(), want) == 0) return entry.substr(want.size());
    }
    return Leaf(path);
  }

  platform::Registry& reg;
  std::map<std::string, KeyState> keys;
  std::map<std::string, std::vector<std::string>> subkeys;  // folded name, NUL, stored name
  std::map<std::string, int> expected;                      // records per key, any view
  KeyState* last = nullptr;  // the key State answered last (map nodes stay where they are)
  RegKey last_root = 0;
  bool last_view64 = false;
  std::string last_path;
};

UndoJournal::UndoJournal(platform::Platform& platform) : platform_(platform) {}
UndoJournal::~UndoJournal() = default;

void UndoJournal::Begin(const std::vector<TRegRecor>& records) {
  cache_.reset();
  entries_.clear();
  cache_ = std::make_unique<Cache>(platform_.registry());
  entries_.reserve(records.size() + 4);  // a record leaves one or two entries, the services and user.js a few
  for (const TRegRecor& r : records) {
    if (r.Kind != kKindSpi) cache_->Expect(r);
  }
}

void UndoJournal::EndRecords() noexcept { cache_.reset(); }

void UndoJournal::CaptureRecord(const TRegRecor& r, bool wow64) noexcept {
  try {
    platform::Registry& reg = platform_.registry();
    if (!cache_) cache_ = std::make_unique<Cache>(reg);
    UndoEntry e;
    e.record_name = r.Name;
    if (r.Kind == kKindSpi) {
      e.kind = UndoKind::kSpi;
      e.spi_action = r.SpiAction;
      e.spi_ui = r.SpiUiParam;
      e.spi_win_ini = r.SpiWinIni;
      const SpiCounterpart* c = FindSpiCounterpart(r.SpiAction);
      if (c == nullptr) {
        e.spi_after = r.SpiPvParam;
        e.restorable = false;
        e.note = "Windows offers no way to read " + SpiActionName(r.SpiAction) + " back";
      } else {
        if (c->block_size != 0) {
          e.spi_after = r.SpiPvParam;
        } else if (c->set_via_ui) {
          e.spi_after = r.SpiUiParam;
        } else if (const auto* n = std::get_if<std::uint32_t>(&r.SpiPvParam)) {
          e.spi_after = *n;
        }
        e.spi_before = ReadSpi(*c);
        if (!e.spi_before) {
          e.restorable = false;
          e.note = SpiActionName(r.SpiAction) + " could not be read before Apply";
        }
      }
      entries_.push_back(std::move(e));
      if (SpiRecordRemovesValue(r)) {
        CaptureValue(platform::HKCU, Trimmed(r.KeyPath), r.ValueName, wow64, std::nullopt, r.Name);
      }
      return;
    }

    const std::string path = Trimmed(r.KeyPath);
    const bool view64 = wow64 || r.Action == kActionDeleteKey64 || r.Action == kActionDeleteValue64;
    if (r.Action == kActionDeleteKey || r.Action == kActionDeleteKey64) {
      e.kind = UndoKind::kKeyTree;
      e.root = r.RootKey;
      e.key_path = path;
      e.view64 = view64;
      if (!path.empty()) {
        Cache::KeyState& state = cache_->State(r.RootKey, path, view64);
        if (const RegKey key = cache_->Handle(state, r.RootKey, path, view64); key != 0) {
          KeySnapshot top;
          top.name = cache_->StoredName(r.RootKey, path, view64);
          Snapshot(reg, key, ViewFlag(view64), top, 0);
          e.tree = std::move(top);
        }
        cache_->Deleted(r.RootKey, path);
      }
      entries_.push_back(std::move(e));
      return;
    }
    if (r.Action == kActionDeleteValue || r.Action == kActionDeleteValue64) {
      CaptureValue(r.RootKey, path, r.ValueName, view64, std::nullopt, r.Name);
      return;
    }
    // A write: the key is created where it is missing, then the value is stored.
    if (!cache_->State(r.RootKey, path, view64).exists) {
      std::string top = path;
      for (std::string p = Parent(path); !p.empty() && !cache_->State(r.RootKey, p, view64).exists; p = Parent(p)) {
        top = p;
      }
      UndoEntry created;
      created.kind = UndoKind::kKeyCreated;
      created.record_name = r.Name;
      created.root = r.RootKey;
      created.key_path = top;
      created.created_leaf = path;
      created.view64 = view64;
      entries_.push_back(std::move(created));
      cache_->Created(r.RootKey, path, view64);
    }
    std::optional<StoredValue> after;
    try {
      after = StoredValueOf(r, platform_.system());
    } catch (const ValueConversionError&) {
      return;  // Apply stops at this record before it stores anything
    }
    if (!after) return;
    CaptureValue(r.RootKey, path, r.ValueName, view64, std::move(after), r.Name);
  } catch (const std::exception&) {
    // Out of memory while capturing: Undo then puts back what was captured before.
    UndoEntry lost;
    lost.record_name = r.Name;
    lost.restorable = false;
    lost.note = "the state before Apply could not be recorded";
    try {
      entries_.push_back(std::move(lost));
    } catch (const std::exception&) {
      // No memory even for the note: the entry is missing from the list.
    }
  }
}

void UndoJournal::CaptureValue(RegKey root, const std::string& path, const std::string& name, bool view64,
                               std::optional<StoredValue> after, const std::string& record_name) {
  UndoEntry e;
  e.kind = UndoKind::kValue;
  e.record_name = record_name;
  e.root = root;
  e.key_path = path;
  e.value_name = name;
  e.view64 = view64;
  e.after = std::move(after);
  Cache::KeyState& s = cache_->State(root, path, view64);
  const std::string folded = Folded(name);
  const auto listed = s.listed ? s.names.find(folded) : s.names.end();
  if (s.listed && listed != s.names.end()) {
    e.before = listed->second.value;
    // A deleted value comes back under the name it had.
    if (!e.after) e.value_name = listed->second.name;
  } else if (s.exists && !s.listed) {
    if (const RegKey key = cache_->Handle(s, root, path, view64); key != 0) {
      e.before = ReadStored(platform_.registry(), key, name);
      if (e.before && !e.after) e.value_name = StoredValueName(platform_.registry(), key, name);
    }
  }
  if (s.listed) {
    if (e.after) {
      // A value written keeps the name it is stored under.
      s.names.try_emplace(folded, Cache::KeyState::Listed{name, {}}).first->second.value = *e.after;
    } else {
      s.names.erase(folded);
    }
  }
  entries_.push_back(std::move(e));
}

std::optional<SpiValue> UndoJournal::ReadSpi(const SpiCounterpart& c) {
  platform::SystemParameters& spi = platform_.spi();
  if (c.block_size != 0) {
    std::vector<std::uint8_t> block(c.block_size, 0);
    for (int i = 0; i < 4; ++i) block[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(c.block_size >> (8 * i));
    if (!spi.Spi(c.get, c.block_size, block.data(), 0)) return std::nullopt;
    return SpiValue(std::move(block));
  }
  if (c.get == 0) return SpiValue(static_cast<std::uint32_t>(spi.Metrics(c.metric)));
  std::uint32_t n = 0;
  if (!spi.Spi(c.get, 0, &n, 0)) return std::nullopt;
  return SpiValue(n);
}

void UndoJournal::CaptureService(const std::string& service, ServiceState after, std::string setting_name) noexcept {
  try {
    platform::Services& sc = platform_.services();
    UndoEntry e;
    e.kind = UndoKind::kService;
    e.service = service;
    e.record_name = std::move(setting_name);
    e.service_after = after;
    const platform::ScHandle manager = sc.OpenManager(win::GENERIC_READ);
    platform::ScHandle handle = manager != 0 ? sc.OpenService(manager, service, kServiceQuery) : 0;
    long error = handle == 0 ? sc.LastError() : 0;
    ServiceState before;
    platform::ServiceStatus status;
    if (handle != 0) {
      if (sc.QueryStartType(handle, &before.start_type) && sc.QueryStatus(handle, &status)) {
        before.state = status.current_state;
        e.service_before = before;
      } else {
        error = sc.LastError();
      }
      sc.Close(handle);
    }
    if (manager != 0) sc.Close(manager);
    // A service that does not exist is not changed by the step either.
    if (error == win::kServiceDoesNotExist) return;
    if (!e.service_before) {
      e.restorable = false;
      e.note = "the service could not be queried (error " + std::to_string(error) + ")";
    }
    entries_.push_back(std::move(e));
  } catch (const std::exception&) {
    // Out of memory: the service is left out of the journal, and so out of Undo.
  }
}

void UndoJournal::CaptureFile(const std::string& path, std::string setting_name) noexcept {
  try {
    platform::Files& files = platform_.files();
    UndoEntry e;
    e.kind = UndoKind::kFile;
    e.path = path;
    e.record_name = std::move(setting_name);
    if (files.FileExists(path)) {
      std::vector<std::uint8_t> bytes;
      if (files.ReadFile(path, &bytes)) {
        e.file_before = std::move(bytes);
      } else {
        e.restorable = false;
        e.note = "the file could not be read before Apply (error " + std::to_string(files.LastError()) + ")";
      }
    }
    entries_.push_back(std::move(e));
  } catch (const std::exception&) {
    // Out of memory: as for a service.
  }
}

void UndoJournal::FileSaved(const std::string& path, bool saved) noexcept {
  for (std::size_t i = entries_.size(); i-- > 0;) {
    UndoEntry& e = entries_[i];
    if (e.kind != UndoKind::kFile || e.path != path || e.file_written) continue;
    if (!saved) {
      entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
    try {
      std::vector<std::uint8_t> bytes;
      e.file_written = true;
      if (platform_.files().ReadFile(path, &bytes)) {
        e.file_after = std::move(bytes);
      } else {
        e.restorable = false;
        e.note = "the file could not be read after Apply";
      }
    } catch (const std::exception&) {
      e.restorable = false;
      e.note = "the file could not be read after Apply";
    }
    return;
  }
}

std::optional<UndoFailure> UndoJournal::RestoreValue(const UndoEntry& e) {
  platform::Registry& reg = platform_.registry();
  const std::uint32_t access = win::KEY_QUERY_VALUE | win::KEY_SET_VALUE | ViewFlag(e.view64);
  RegKey key = 0;
  if (e.before) {
    const long rc = reg.CreateKey(e.root, e.key_path, access, &key, nullptr);
    if (rc != win::kSuccess) return Failure(e, UndoFailureKind::kWindowsError, rc);
    KeyHandle closer(reg, key);
    if (ReadStored(reg, key, e.value_name) == e.before) return std::nullopt;
    const long set = reg.SetValue(key, e.value_name, e.before->type, e.before->bytes.data(),
                                  static_cast<std::uint32_t>(e.before->bytes.size()));
    if (set != win::kSuccess) return Failure(e, UndoFailureKind::kWindowsError, set);
    return std::nullopt;
  }
  const long rc = reg.OpenKey(e.root, e.key_path, access, &key);
  if (rc == win::kFileNotFound || rc == win::kPathNotFound) return std::nullopt;  // nothing there to remove
  if (rc != win::kSuccess) return Failure(e, UndoFailureKind::kWindowsError, rc);
  KeyHandle closer(reg, key);
  const long del = reg.DeleteValue(key, e.value_name);
  if (del != win::kSuccess && del != win::kFileNotFound) return Failure(e, UndoFailureKind::kWindowsError, del);
  return std::nullopt;
}

std::optional<UndoFailure> UndoJournal::RestoreCreatedKey(const UndoEntry& e) {
  platform::Registry& reg = platform_.registry();
  const std::string top = Folded(e.key_path);
  for (std::string p = e.created_leaf; !p.empty(); p = Parent(p)) {
    RegKey key = 0;
    const long rc = reg.OpenKey(e.root, p, win::KEY_READ | ViewFlag(e.view64), &key);
    if (rc == win::kSuccess) {
      KeyHandle closer(reg, key);
      // Something else lives there now (or lived there before a later record): it stays.
      if (HoldsAnything(reg, key)) return std::nullopt;
      closer.Reset();
      long del = e.view64 ? reg.DeleteKeyEx(e.root, p, win::KEY_WOW64_64KEY) : win::kProcNotFound;
      if (del == win::kProcNotFound) del = reg.DeleteKey(e.root, p);
      if (del != win::kSuccess && del != win::kFileNotFound) return Failure(e, UndoFailureKind::kWindowsError, del);
    } else if (rc != win::kFileNotFound && rc != win::kPathNotFound && rc != kKeyDeleted) {
      return Failure(e, UndoFailureKind::kWindowsError, rc);
    }
    if (Folded(p) == top) break;
  }
  return std::nullopt;
}

long UndoJournal::WriteTree(RegKey root, const std::string& path, const KeySnapshot& tree, bool view64) {
  platform::Registry& reg = platform_.registry();
  RegKey key = 0;
  const long rc = reg.CreateKey(root, path, win::KEY_ALL_ACCESS | ViewFlag(view64), &key, nullptr);
  if (rc != win::kSuccess) return rc;
  KeyHandle closer(reg, key);
  long first_error = win::kSuccess;
  for (const auto& [name, value] : tree.values) {
    if (ReadStored(reg, key, name) == value) continue;
    const long set =
        reg.SetValue(key, name, value.type, value.bytes.data(), static_cast<std::uint32_t>(value.bytes.size()));
    if (set != win::kSuccess && first_error == win::kSuccess) first_error = set;
  }
  for (const KeySnapshot& sub : tree.subkeys) {
    const long sub_rc = WriteTree(root, Join(path, sub.name), sub, view64);
    if (sub_rc != win::kSuccess && first_error == win::kSuccess) first_error = sub_rc;
  }
  return first_error;
}

std::optional<UndoFailure> UndoJournal::RestoreSpi(const UndoEntry& e) {
  const SpiCounterpart* c = FindSpiCounterpart(e.spi_action);
  if (!e.restorable || c == nullptr || !e.spi_before) return Failure(e, UndoFailureKind::kNotCaptured, 0);
  if (ReadSpi(*c) == e.spi_before) return std::nullopt;
  platform::SystemParameters& spi = platform_.spi();
  bool ok = false;
  if (const auto* block = std::get_if<std::vector<std::uint8_t>>(&*e.spi_before)) {
    std::vector<std::uint8_t> copy = *block;
    ok = spi.Spi(e.spi_action, static_cast<std::uint32_t>(copy.size()), copy.data(), e.spi_win_ini);
  } else {
    const std::uint32_t n = std::get<std::uint32_t>(*e.spi_before);
    ok = c->set_via_ui ? spi.Spi(e.spi_action, n, nullptr, e.spi_win_ini)
                       : spi.Spi(e.spi_action, e.spi_ui, reinterpret_cast<void*>(static_cast<std::uintptr_t>(n)),
                                 e.spi_win_ini);
  }
  // SystemParametersInfoW's error code does not cross the seam; 0 says "refused".
  if (!ok) return Failure(e, UndoFailureKind::kWindowsError, 0);
  return std::nullopt;
}

std::optional<UndoFailure> UndoJournal::RestoreService(const UndoEntry& e, const std::function<void()>& pump,
                                                        std::uint64_t wait_ms) {
  if (!e.restorable || !e.service_before) return Failure(e, UndoFailureKind::kNotCaptured, 0);
  platform::Services& sc = platform_.services();
  platform::Clock& clock = platform_.clock();
  const ServiceState& before = *e.service_before;
  const platform::ScHandle manager = sc.OpenManager(win::SC_MANAGER_ALL_ACCESS);
  if (manager == 0) return Failure(e, UndoFailureKind::kWindowsError, sc.LastError());
  const platform::ScHandle handle = sc.OpenService(manager, e.service, win::SERVICE_ALL_ACCESS);
  if (handle == 0) {
    const long error = sc.LastError();
    sc.Close(manager);
    return Failure(e, UndoFailureKind::kWindowsError, error);
  }
  long error = 0;
  auto note = [&](bool ok) {
    if (!ok && error == 0) error = sc.LastError();
    return ok;
  };
  auto await = [&](std::uint32_t pending) {
    const std::uint64_t started = clock.NowMs();
    platform::ServiceStatus status;
    while (sc.QueryStatus(handle, &status) && status.current_state == pending && clock.NowMs() - started < wait_ms) {
      if (pump) pump();
      clock.SleepMs(250);
    }
  };
  std::uint32_t start_type = 0;
  platform::ServiceStatus status;
  note(sc.QueryStartType(handle, &start_type));
  note(sc.QueryStatus(handle, &status));
  const bool running = IsRunning(status.current_state);
  if (IsRunning(before.state) && !running) {
    // A disabled service cannot start: it runs first, then gets its start type back.
    if (before.start_type == win::SERVICE_DISABLED) {
      note(sc.ChangeStartType(handle, win::SERVICE_DEMAND_START));
    } else if (start_type != before.start_type) {
      note(sc.ChangeStartType(handle, before.start_type));
    }
    if (note(sc.Start(handle))) await(win::SERVICE_START_PENDING);
    if (before.start_type == win::SERVICE_DISABLED) note(sc.ChangeStartType(handle, before.start_type));
  } else {
    if (start_type != before.start_type) note(sc.ChangeStartType(handle, before.start_type));
    if (!IsRunning(before.state) && running) {
      platform::ServiceStatus stop;
      if (note(sc.Control(handle, win::SERVICE_CONTROL_STOP, &stop))) await(win::SERVICE_STOP_PENDING);
    }
  }
  sc.Close(handle);
  sc.Close(manager);
  if (error != 0) return Failure(e, UndoFailureKind::kWindowsError, error);
  return std::nullopt;
}

std::optional<UndoFailure> UndoJournal::RestoreFile(const UndoEntry& e) {
  if (!e.restorable) return Failure(e, UndoFailureKind::kNotCaptured, 0);
  platform::Files& files = platform_.files();
  std::vector<std::uint8_t> now;
  if (!files.FileExists(e.path) || !files.ReadFile(e.path, &now) || now != e.file_after) {
    // Someone (Firefox itself, most likely) wrote the file after Apply: putting the old
    // bytes back would throw their change away.
    return Failure(e, UndoFailureKind::kFileChanged, 0);
  }
  const bool ok = e.file_before ? files.WriteFileAtomic(e.path, *e.file_before) : files.RemoveFile(e.path);
  if (!ok) return Failure(e, UndoFailureKind::kWindowsError, files.LastError());
  return std::nullopt;
}

UndoResult UndoJournal::Undo(const std::function<void()>& pump, std::uint64_t service_wait_ms) {
  cache_.reset();
  UndoResult result;
  for (std::size_t i = entries_.size(); i-- > 0;) {
    const UndoEntry& e = entries_[i];
    std::optional<UndoFailure> failure;
    try {
      if (!e.restorable && e.kind != UndoKind::kSpi && e.kind != UndoKind::kService && e.kind != UndoKind::kFile) {
        failure = Failure(e, UndoFailureKind::kNotCaptured, 0);
      } else {
        switch (e.kind) {
          case UndoKind::kValue: failure = RestoreValue(e); break;
          case UndoKind::kKeyCreated: failure = RestoreCreatedKey(e); break;
          case UndoKind::kKeyTree:
            if (e.tree) {
              if (const long rc = WriteTree(e.root, Join(Parent(e.key_path), e.tree->name), *e.tree, e.view64))
                failure = Failure(e, UndoFailureKind::kWindowsError, rc);
            }
            break;
          case UndoKind::kSpi: failure = RestoreSpi(e); break;
          case UndoKind::kService: failure = RestoreService(e, pump, service_wait_ms); break;
          case UndoKind::kFile: failure = RestoreFile(e); break;
        }
      }
    } catch (const std::exception&) {
      // Out of memory on the way: this place is reported, the others are still tried.
      failure = Failure(e, UndoFailureKind::kWindowsError, 8 /*ERROR_NOT_ENOUGH_MEMORY*/);
    }
    if (failure) {
      result.failures.push_back(std::move(*failure));
    } else {
      ++result.restored;
    }
  }
  entries_.clear();
  return result;
}

std::string UndoJournal::PlaceText(const UndoEntry& e) {
  switch (e.kind) {
    case UndoKind::kValue: {
      std::string key = RegRootName(e.root);
      if (!e.key_path.empty()) key += "\\" + e.key_path;
      return key + "\\" + (e.value_name.empty() ? std::string("(Default)") : e.value_name);
    }
    case UndoKind::kKeyCreated:
    case UndoKind::kKeyTree:
      return e.key_path.empty() ? RegRootName(e.root) : RegRootName(e.root) + "\\" + e.key_path;
    case UndoKind::kSpi: return "System parameter " + SpiActionName(e.spi_action);
    case UndoKind::kService: return "Service " + e.service;
    case UndoKind::kFile: return e.path;
  }
  return {};
}

namespace {

std::string SpiValueText(const SpiValue& v) {
  if (const auto* n = std::get_if<std::uint32_t>(&v)) return std::to_string(*n);
  std::string text = "block";
  char hex[4];
  for (const std::uint8_t b : std::get<std::vector<std::uint8_t>>(v)) {
    std::snprintf(hex, sizeof hex, " %02x", b);
    text += hex;
  }
  return text;
}

void WriteTreeText(std::string& body, const std::string& key, const KeySnapshot& tree) {
  body += "[" + key + "]\r\n";
  for (const auto& [name, value] : tree.values) {
    body += RegValueLine(RegValueNameText(name) + "=", value.type, value.bytes) + "\r\n";
  }
  body += "\r\n";
  for (const KeySnapshot& sub : tree.subkeys) WriteTreeText(body, key + "\\" + sub.name, sub);
}

}  // namespace

std::string UndoJournal::UndoRegText() const {
  std::string notes;
  std::string body;
  for (std::size_t i = entries_.size(); i-- > 0;) {
    const UndoEntry& e = entries_[i];
    if (!e.restorable) {
      notes += "; Cannot be put back: " + PlaceText(e) + " (" + e.note + ")\r\n";
      continue;
    }
    const std::string key = e.key_path.empty() ? RegRootName(e.root) : RegRootName(e.root) + "\\" + e.key_path;
    switch (e.kind) {
      case UndoKind::kValue:
        body += "[" + key + "]\r\n";
        body += e.before ? RegValueLine(RegValueNameText(e.value_name) + "=", e.before->type, e.before->bytes)
                         : RegValueNameText(e.value_name) + "=-";
        body += "\r\n\r\n";
        break;
      case UndoKind::kKeyCreated: body += "[-" + key + "]\r\n\r\n"; break;
      case UndoKind::kKeyTree:
        if (e.tree) {
          const std::string parent = Parent(e.key_path);
          const std::string path = parent.empty() ? e.tree->name : parent + "\\" + e.tree->name;
          WriteTreeText(body, RegRootName(e.root) + "\\" + path, *e.tree);
        }
        break;
      case UndoKind::kSpi:
        notes += "; " + PlaceText(e) + ": set back to " + SpiValueText(*e.spi_before) + "\r\n";
        break;
      case UndoKind::kService:
        notes += "; " + PlaceText(e) + ": start type " + std::to_string(e.service_before->start_type) +
                 (IsRunning(e.service_before->state) ? ", running" : ", stopped") + "\r\n";
        break;
      case UndoKind::kFile:
        notes += "; " + e.path + (e.file_before ? ": its earlier content" : ": did not exist") + "\r\n";
        break;
    }
  }
  std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
  if (!notes.empty()) text += notes + "\r\n";
  return text + body;
}

}  // namespace corvanel::engine
