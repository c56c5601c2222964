#include <algorithm>

#include "platform/memory/memory_platform.h"
#include "platform/memory/text.h"
#include "platform/reg_text.h"

namespace corvanel::platform::memory {
namespace {

constexpr long kBadPathname = 161;
constexpr long kKeyDeleted = 1018;

constexpr std::uint32_t kDelete = 0x10000;
constexpr std::uint32_t kGenericAll = 0x10000000;
constexpr std::uint32_t kGenericExecute = 0x20000000;
constexpr std::uint32_t kGenericWrite = 0x40000000;
constexpr std::uint32_t kGenericRead = 0x80000000;
constexpr std::uint32_t kMaximumAllowed = 0x02000000;
constexpr std::uint32_t kKeyWrite = 0x20006;
// Rights that a read-only key refuses.
constexpr std::uint32_t kWriteRights = win::KEY_SET_VALUE | win::KEY_CREATE_SUB_KEY | 0x20 /*CREATE_LINK*/ |
                                       kDelete | 0x40000 /*WRITE_DAC*/ | 0x80000 /*WRITE_OWNER*/;

std::uint32_t MapGeneric(std::uint32_t access) {
  std::uint32_t granted = access & ~(kGenericAll | kGenericExecute | kGenericWrite | kGenericRead |
                                     kMaximumAllowed | win::KEY_WOW64_64KEY | win::KEY_WOW64_32KEY);
  if (access & (kGenericRead | kGenericExecute)) granted |= win::KEY_READ;
  if (access & kGenericWrite) granted |= kKeyWrite;
  if (access & (kGenericAll | kMaximumAllowed)) granted |= win::KEY_ALL_ACCESS;
  return granted;
}

std::vector<std::string> Split(const std::string& path) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : path) {
    if (c == '\\') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

std::string Join(const std::vector<std::string>& parts) {
  std::string out;
  for (const auto& p : parts) {
    if (!out.empty()) out += '\\';
    out += p;
  }
  return out;
}

std::string JoinPath(const std::string& a, const std::string& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  return a + "\\" + b;
}

}  // namespace

struct MemoryRegistry::Node {
  struct Value {
    std::string name;
    std::string folded;
    RegValue value;
  };
  std::string name;
  std::string folded;
  Node* parent = nullptr;
  // Sorted by folded name, as Windows keeps (and enumerates) subkeys.
  std::vector<std::shared_ptr<Node>> subkeys;
  std::vector<Value> values;                   // creation order
  bool read_only = false;
  bool deleted = false;

  Node* Child(const std::string& folded_name) const {
    for (const auto& k : subkeys) {
      if (k->folded == folded_name) return k.get();
    }
    return nullptr;
  }
  std::shared_ptr<Node> SharedChild(const Node* child) const {
    for (const auto& k : subkeys) {
      if (k.get() == child) return k;
    }
    return nullptr;
  }
  Node* AddChild(const std::string& child_name) {
    auto n = std::make_shared<Node>();
    n->name = child_name;
    n->folded = FoldCase(child_name);
    n->parent = this;
    const auto at = std::upper_bound(subkeys.begin(), subkeys.end(), n->folded,
                                     [](const std::string& f, const std::shared_ptr<Node>& k) { return f < k->folded; });
    subkeys.insert(at, n);
    return n.get();
  }
  Value* FindValue(const std::string& value_name) {
    const std::string f = FoldCase(value_name);
    for (auto& v : values) {
      if (v.folded == f) return &v;
    }
    return nullptr;
  }
  void Put(const std::string& value_name, RegValue v) {
    if (Value* existing = FindValue(value_name)) {
      existing->value = std::move(v);
    } else {
      values.push_back({value_name, FoldCase(value_name), std::move(v)});
    }
  }
  void MarkDeleted() {
    deleted = true;
    for (auto& k : subkeys) k->MarkDeleted();
  }
};

struct MemoryRegistry::Handle {
  std::shared_ptr<Node> node;
  RegKey root = 0;
  std::string path;
  std::uint32_t access = 0;
};

struct MemoryRegistry::Failure {
  RegKey root = 0;
  std::string folded_path;
  bool whole_tree = false;
  std::string folded_name;
  long error = 0;
};

namespace {
// HKCR is the machine's Classes key here, as under Wine; failures and lookups compare
// locations in this one form.
std::pair<RegKey, std::string> Canonical(RegKey root, const std::string& path) {
  std::string folded = FoldCase(Join(Split(path)));
  if (root == HKCR) return {HKLM, JoinPath("SOFTWARE\\CLASSES", folded)};
  return {root, folded};
}
}  // namespace

MemoryRegistry::MemoryRegistry() : hkcu_(std::make_shared<Node>()), hklm_(std::make_shared<Node>()) {
  Node* software = hklm_->AddChild("Software");
  hkcr_ = software->SharedChild(software->AddChild("Classes"));
  for (auto [root, node] : {std::pair{HKCR, hkcr_}, std::pair{HKCU, hkcu_}, std::pair{HKLM, hklm_}}) {
    handles_[root] = std::make_unique<Handle>(Handle{node, root, "", win::KEY_ALL_ACCESS});
  }
}

MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistry::Node* MemoryRegistry::RootNode(RegKey root) const {
  if (root == HKCU) return hkcu_.get();
  if (root == HKLM) return hklm_.get();
  if (root == HKCR) return hkcr_.get();
  return nullptr;
}

MemoryRegistry::Node* MemoryRegistry::Find(RegKey root, const std::string& path) const {
  Node* n = RootNode(root);
  for (const auto& part : Split(path)) {
    if (!n) return nullptr;
    n = n->Child(FoldCase(part));
  }
  return n;
}

MemoryRegistry::Node* MemoryRegistry::Ensure(RegKey root, const std::string& path) {
  Node* n = RootNode(root);
  if (!n) return nullptr;
  for (const auto& part : Split(path)) {
    Node* c = n->Child(FoldCase(part));
    n = c ? c : n->AddChild(part);
  }
  return n;
}

const MemoryRegistry::Handle* MemoryRegistry::Lookup(RegKey key) const {
  auto it = handles_.find(key);
  return it == handles_.end() ? nullptr : it->second.get();
}

RegKey MemoryRegistry::NewHandle(const std::shared_ptr<Node>& node, RegKey root, const std::string& path,
                                 std::uint32_t access) {
  const RegKey h = next_handle_;
  next_handle_ += 4;
  handles_[h] = std::make_unique<Handle>(Handle{node, root, path, access});
  return h;
}

long MemoryRegistry::WriteFailure(RegKey root, const std::string& path, const std::string* name) const {
  const auto [croot, cpath] = Canonical(root, path);
  for (const auto& f : failures_) {
    if (f.root != croot) continue;
    if (f.whole_tree) {
      if (f.folded_path.empty() || cpath == f.folded_path || cpath.rfind(f.folded_path + "\\", 0) == 0) {
        return f.error;
      }
    } else if (name && cpath == f.folded_path && FoldCase(*name) == f.folded_name) {
      return f.error;
    }
  }
  return 0;
}

long MemoryRegistry::OpenKey(RegKey parent, const std::string& subkey, std::uint32_t access, RegKey* result) {
  const Handle* p = Lookup(parent);
  const std::string path = p ? JoinPath(p->path, Join(Split(subkey))) : subkey;
  auto finish = [&](long r) {
    access_log_.push_back({"open", p ? p->root : parent, path, access, r});
    return r;
  };
  if (!p) return finish(win::kInvalidHandle);
  if (!result) return finish(win::kInvalidParameter);
  if (!subkey.empty() && subkey.front() == '\\') return finish(kBadPathname);
  if (p->node->deleted) return finish(kKeyDeleted);
  Node* n = p->node.get();
  for (const auto& part : Split(subkey)) {
    n = n->Child(FoldCase(part));
    if (!n) return finish(win::kFileNotFound);
  }
  std::uint32_t granted = MapGeneric(access);
  if (n->read_only) {
    if ((access & kMaximumAllowed) && !(access & ~kMaximumAllowed & (kWriteRights | kGenericWrite | kGenericAll))) {
      granted &= ~kWriteRights;
    } else if (granted & kWriteRights) {
      return finish(win::kAccessDenied);
    }
  }
  std::shared_ptr<Node> shared = n == p->node.get() ? p->node : n->parent->SharedChild(n);
  *result = NewHandle(shared, p->root, path, granted);
  return finish(win::kSuccess);
}

long MemoryRegistry::CreateKey(RegKey parent, const std::string& subkey, std::uint32_t access, RegKey* result,
                               bool* created) {
  const Handle* p = Lookup(parent);
  const std::string path = p ? JoinPath(p->path, Join(Split(subkey))) : subkey;
  auto finish = [&](long r) {
    access_log_.push_back({"create", p ? p->root : parent, path, access, r});
    return r;
  };
  if (created) *created = false;
  if (!p) return finish(win::kInvalidHandle);
  if (!result) return finish(win::kInvalidParameter);
  if (!subkey.empty() && subkey.front() == '\\') return finish(kBadPathname);
  if (p->node->deleted) return finish(kKeyDeleted);
  Node* n = p->node.get();
  std::string walked = p->path;
  bool made = false;
  for (const auto& part : Split(subkey)) {
    walked = JoinPath(walked, part);
    Node* c = n->Child(FoldCase(part));
    if (!c) {
      if (n->read_only) return finish(win::kAccessDenied);
      if (const long e = WriteFailure(p->root, walked, nullptr)) return finish(e);
      c = n->AddChild(part);
      made = true;
      write_log_.push_back({"create_key", p->root, walked, ""});
    }
    n = c;
  }
  const std::uint32_t granted = MapGeneric(access);
  if (n->read_only && (granted & kWriteRights)) return finish(win::kAccessDenied);
  std::shared_ptr<Node> shared = n == p->node.get() ? p->node : n->parent->SharedChild(n);
  *result = NewHandle(shared, p->root, path, granted);
  if (created) *created = made;
  return finish(win::kSuccess);
}

long MemoryRegistry::CloseKey(RegKey key) {
  if (key == HKCR || key == HKCU || key == HKLM) return win::kSuccess;
  return handles_.erase(key) ? win::kSuccess : win::kInvalidHandle;
}

long MemoryRegistry::EnumValueData(RegKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                                   std::vector<std::uint8_t>* data) {
  const long rc = EnumValue(key, index, nullptr);
  if (rc != win::kSuccess) return rc;
  const Handle* h = Lookup(key);
  const auto& v = h->node->values[index];
  read_log_.push_back({"query", h->root, h->path, v.name});
  if (name) *name = v.name;
  if (type) *type = v.value.type;
  if (data) *data = v.value.bytes;
  return win::kSuccess;
}

long MemoryRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                std::vector<std::uint8_t>* data, std::uint32_t* size) {
  const Handle* h = Lookup(key);
  if (!h) return win::kInvalidHandle;
  if (!(h->access & win::KEY_QUERY_VALUE)) return win::kAccessDenied;
  if (h->node->deleted) return kKeyDeleted;
  read_log_.push_back({"query", h->root, h->path, name});
  const Node::Value* v = h->node->FindValue(name);
  if (!v) return win::kFileNotFound;
  if (type) *type = v->value.type;
  if (size) *size = static_cast<std::uint32_t>(v->value.bytes.size());
  if (data) *data = v->value.bytes;
  return win::kSuccess;
}

long MemoryRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                              std::uint32_t size) {
  const Handle* h = Lookup(key);
  if (!h) return win::kInvalidHandle;
  if (!(h->access & win::KEY_SET_VALUE)) return win::kAccessDenied;
  if (h->node->deleted) return kKeyDeleted;
  if (!data && size > 0) return win::kInvalidParameter;
  if (const long e = WriteFailure(h->root, h->path, &name)) return e;
  h->node->Put(name, RegValue{type, std::vector<std::uint8_t>(data, data + size)});
  write_log_.push_back({"set_value", h->root, h->path, name});
  return win::kSuccess;
}

long MemoryRegistry::DeleteValue(RegKey key, const std::string& name) {
  const Handle* h = Lookup(key);
  if (!h) return win::kInvalidHandle;
  if (!(h->access & win::KEY_SET_VALUE)) return win::kAccessDenied;
  if (h->node->deleted) return kKeyDeleted;
  auto& values = h->node->values;
  const std::string f = FoldCase(name);
  auto it = std::find_if(values.begin(), values.end(), [&](const Node::Value& v) { return v.folded == f; });
  if (it == values.end()) return win::kFileNotFound;
  if (const long e = WriteFailure(h->root, h->path, &name)) return e;
  values.erase(it);
  write_log_.push_back({"delete_value", h->root, h->path, name});
  return win::kSuccess;
}

long MemoryRegistry::EnumKey(RegKey key, std::uint32_t index, std::string* name) {
  const Handle* h = Lookup(key);
  if (!h) return win::kInvalidHandle;
  if (!(h->access & win::KEY_ENUMERATE_SUB_KEYS)) return win::kAccessDenied;
  if (h->node->deleted) return kKeyDeleted;
  if (index >= h->node->subkeys.size()) return win::kNoMoreItems;
  if (name) *name = h->node->subkeys[index]->name;
  return win::kSuccess;
}

long MemoryRegistry::EnumValue(RegKey key, std::uint32_t index, std::string* name) {
  const Handle* h = Lookup(key);
  if (!h) return win::kInvalidHandle;
  if (!(h->access & win::KEY_QUERY_VALUE)) return win::kAccessDenied;
  if (h->node->deleted) return kKeyDeleted;
  if (index >= h->node->values.size()) return win::kNoMoreItems;
  if (name) *name = h->node->values[index].name;
  return win::kSuccess;
}

long MemoryRegistry::QueryKeyCounts(RegKey key, std::uint32_t* subkeys, std::uint32_t* values) {
  const Handle* h = Lookup(key);
  if (!h) return win::kInvalidHandle;
  if (!(h->access & win::KEY_QUERY_VALUE)) return win::kAccessDenied;
  if (h->node->deleted) return kKeyDeleted;
  if (subkeys) *subkeys = static_cast<std::uint32_t>(h->node->subkeys.size());
  if (values) *values = static_cast<std::uint32_t>(h->node->values.size());
  return win::kSuccess;
}

long MemoryRegistry::DeleteKey(RegKey parent, const std::string& subkey) {
  const Handle* p = Lookup(parent);
  if (!p) return win::kInvalidHandle;
  if (!subkey.empty() && subkey.front() == '\\') return kBadPathname;
  if (p->node->deleted) return kKeyDeleted;
  Node* n = p->node.get();
  for (const auto& part : Split(subkey)) {
    n = n->Child(FoldCase(part));
    if (!n) return win::kFileNotFound;
  }
  const std::string path = JoinPath(p->path, Join(Split(subkey)));
  if (!n->parent || n == hkcr_.get() || n->read_only || !n->subkeys.empty()) return win::kAccessDenied;
  if (const long e = WriteFailure(p->root, path, nullptr)) return e;
  Node* up = n->parent;
  n->MarkDeleted();
  up->subkeys.erase(std::find_if(up->subkeys.begin(), up->subkeys.end(),
                                 [n](const std::shared_ptr<Node>& k) { return k.get() == n; }));
  write_log_.push_back({"delete_key", p->root, path, ""});
  return win::kSuccess;
}

long MemoryRegistry::DeleteKeyEx(RegKey parent, const std::string& subkey, std::uint32_t access) {
  const Handle* p = Lookup(parent);
  const RegKey root = p ? p->root : parent;
  const std::string path = p ? JoinPath(p->path, Join(Split(subkey))) : subkey;
  // One registry view: the view flags only reach the log.
  const long r = delete_key_ex_available_ ? DeleteKey(parent, subkey) : win::kProcNotFound;
  access_log_.push_back({"delete_ex", root, path, access, r});
  return r;
}

bool MemoryRegistry::IsWow64Process(bool* wow64) {
  if (!wow64_) return false;
  if (wow64) *wow64 = *wow64_;
  return true;
}

// --- helpers ---

void MemoryRegistry::SetRaw(RegKey root, const std::string& path, const std::string& name, std::uint32_t type,
                            std::vector<std::uint8_t> bytes) {
  if (Node* n = Ensure(root, path)) n->Put(name, RegValue{type, std::move(bytes)});
}

void MemoryRegistry::SetString(RegKey root, const std::string& path, const std::string& name,
                               const std::string& text) {
  SetRaw(root, path, name, win::REG_SZ, EncodeRegString(text));
}

void MemoryRegistry::SetExpandString(RegKey root, const std::string& path, const std::string& name,
                                     const std::string& text) {
  SetRaw(root, path, name, win::REG_EXPAND_SZ, EncodeRegString(text));
}

void MemoryRegistry::SetMultiString(RegKey root, const std::string& path, const std::string& name,
                                    const std::vector<std::string>& texts) {
  std::vector<std::uint8_t> bytes;
  for (const auto& t : texts) {
    const auto one = EncodeRegString(t);
    bytes.insert(bytes.end(), one.begin(), one.end());
  }
  bytes.push_back(0);
  bytes.push_back(0);
  SetRaw(root, path, name, win::REG_MULTI_SZ, std::move(bytes));
}

void MemoryRegistry::SetDword(RegKey root, const std::string& path, const std::string& name, std::uint32_t value) {
  std::vector<std::uint8_t> b(4);
  for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(value >> (8 * i));
  SetRaw(root, path, name, win::REG_DWORD, std::move(b));
}

void MemoryRegistry::SetQword(RegKey root, const std::string& path, const std::string& name, std::uint64_t value) {
  std::vector<std::uint8_t> b(8);
  for (int i = 0; i < 8; ++i) b[i] = static_cast<std::uint8_t>(value >> (8 * i));
  SetRaw(root, path, name, win::REG_QWORD, std::move(b));
}

void MemoryRegistry::SetBinary(RegKey root, const std::string& path, const std::string& name,
                               std::vector<std::uint8_t> bytes) {
  SetRaw(root, path, name, win::REG_BINARY, std::move(bytes));
}

void MemoryRegistry::CreateKeyPath(RegKey root, const std::string& path) { Ensure(root, path); }

bool MemoryRegistry::DeleteTree(RegKey root, const std::string& path) {
  Node* n = Find(root, path);
  if (!n || !n->parent || n == hkcr_.get()) return false;
  Node* up = n->parent;
  n->MarkDeleted();
  up->subkeys.erase(std::find_if(up->subkeys.begin(), up->subkeys.end(),
                                 [n](const std::shared_ptr<Node>& k) { return k.get() == n; }));
  return true;
}

bool MemoryRegistry::RemoveValue(RegKey root, const std::string& path, const std::string& name) {
  Node* n = Find(root, path);
  if (!n) return false;
  const std::string f = FoldCase(name);
  auto it = std::find_if(n->values.begin(), n->values.end(), [&](const Node::Value& v) { return v.folded == f; });
  if (it == n->values.end()) return false;
  n->values.erase(it);
  return true;
}

std::optional<RegValue> MemoryRegistry::Get(RegKey root, const std::string& path, const std::string& name) const {
  Node* n = Find(root, path);
  if (!n) return std::nullopt;
  const Node::Value* v = n->FindValue(name);
  if (!v) return std::nullopt;
  return v->value;
}

std::optional<std::string> MemoryRegistry::GetString(RegKey root, const std::string& path,
                                                     const std::string& name) const {
  auto v = Get(root, path, name);
  if (!v || (v->type != win::REG_SZ && v->type != win::REG_EXPAND_SZ)) return std::nullopt;
  return DecodeRegString(v->bytes);
}

std::optional<std::uint32_t> MemoryRegistry::GetDword(RegKey root, const std::string& path,
                                                      const std::string& name) const {
  auto v = Get(root, path, name);
  if (!v || v->type != win::REG_DWORD || v->bytes.size() != 4) return std::nullopt;
  std::uint32_t r = 0;
  for (int i = 3; i >= 0; --i) r = (r << 8) | v->bytes[i];
  return r;
}

bool MemoryRegistry::KeyExists(RegKey root, const std::string& path) const { return Find(root, path) != nullptr; }

bool MemoryRegistry::ValueExists(RegKey root, const std::string& path, const std::string& name) const {
  return Get(root, path, name).has_value();
}

std::vector<std::string> MemoryRegistry::SubkeyNames(RegKey root, const std::string& path) const {
  std::vector<std::string> out;
  if (Node* n = Find(root, path)) {
    for (const auto& k : n->subkeys) out.push_back(k->name);
  }
  return out;
}

std::vector<std::string> MemoryRegistry::ValueNames(RegKey root, const std::string& path) const {
  std::vector<std::string> out;
  if (Node* n = Find(root, path)) {
    for (const auto& v : n->values) out.push_back(v.name);
  }
  return out;
}

void MemoryRegistry::SetReadOnly(RegKey root, const std::string& path, bool read_only) {
  if (Node* n = Ensure(root, path)) n->read_only = read_only;
}

void MemoryRegistry::FailWrite(RegKey root, const std::string& path, const std::string& name, long error) {
  const auto [croot, cpath] = Canonical(root, path);
  failures_.push_back({croot, cpath, false, FoldCase(name), error});
}

void MemoryRegistry::FailWritesUnder(RegKey root, const std::string& path, long error) {
  const auto [croot, cpath] = Canonical(root, path);
  failures_.push_back({croot, cpath, true, "", error});
}

void MemoryRegistry::ClearWriteFailures() { failures_.clear(); }
void MemoryRegistry::SetDeleteKeyExAvailable(bool available) { delete_key_ex_available_ = available; }
void MemoryRegistry::SetWow64Answer(std::optional<bool> answer) { wow64_ = answer; }

void MemoryRegistry::ClearLogs() {
  access_log_.clear();
  write_log_.clear();
  read_log_.clear();
}

std::size_t MemoryRegistry::open_handle_count() const { return handles_.size() - 3; }

namespace {

void DumpNode(const MemoryRegistry::Node& node, const std::string& path, std::string& out) {
  out += "[" + path + "]\n";
  std::vector<const MemoryRegistry::Node::Value*> values;
  for (const auto& v : node.values) values.push_back(&v);
  std::sort(values.begin(), values.end(), [](const auto* a, const auto* b) { return a->folded < b->folded; });
  static const char* const kHex = "0123456789abcdef";
  for (const auto* v : values) {
    out += "  \"" + v->name + "\"=" + std::to_string(v->value.type) + ":";
    for (const std::uint8_t b : v->value.bytes) {
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
    out += "\n";
  }
  for (const auto& k : node.subkeys) DumpNode(*k, path + "\\" + k->name, out);
}

}  // namespace

std::string MemoryRegistry::Dump() const {
  std::string out;
  DumpNode(*hkcr_, "HKCR", out);
  DumpNode(*hkcu_, "HKCU", out);
  DumpNode(*hklm_, "HKLM", out);
  return out;
}

}  // namespace corvanel::platform::memory
