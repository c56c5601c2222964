#include <algorithm>

#include "platform/memory/memory_platform.h"
#include "platform/memory/text.h"

namespace corvanel::platform::memory {
namespace {

constexpr std::uint32_t kFileAttributeNormal = 0x80;
// Attributes SetFileAttributes can change.
constexpr std::uint32_t kSettable = 0x1 | 0x2 | 0x4 | 0x20 | 0x100 | 0x1000 | 0x2000;

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

std::string FoldPath(const std::string& path) {
  std::string out;
  for (const auto& p : SplitPath(path)) {
    if (!out.empty()) out += '\\';
    out += FoldCase(p);
  }
  return out;
}

}  // namespace

struct MemoryFiles::Entry {
  std::string name;
  std::string folded;
  bool directory = false;
  std::uint32_t attributes = 0;
  std::vector<std::uint8_t> content;
  std::vector<std::unique_ptr<Entry>> children;  // insertion order
  std::string junction_target;                   // a junction: the folder it leads to

  Entry* Child(const std::string& child_name) const {
    const std::string f = FoldCase(child_name);
    for (const auto& c : children) {
      if (c->folded == f) return c.get();
    }
    return nullptr;
  }
  Entry* Add(const std::string& child_name, bool dir) {
    auto e = std::make_unique<Entry>();
    e->name = child_name;
    e->folded = FoldCase(child_name);
    e->directory = dir;
    children.push_back(std::move(e));
    return children.back().get();
  }
};

MemoryFiles::MemoryFiles() : root_(std::make_unique<Entry>()) {
  root_->directory = true;
  for (const char* d : {"C:\\windows\\system32", "C:\\users\\user\\AppData\\Roaming", "C:\\ProgramData",
                        "C:\\Program Files\\Corvanel"}) {
    AddDirectory(d);
  }
}

MemoryFiles::~MemoryFiles() = default;

MemoryFiles::Entry* MemoryFiles::Find(const std::string& path) const {
  const auto parts = SplitPath(path);
  if (parts.empty()) return nullptr;
  Entry* e = root_.get();
  for (const auto& p : parts) {
    if (!e->directory) return nullptr;
    if (!e->junction_target.empty()) e = Find(e->junction_target);
    if (!e) return nullptr;
    e = e->Child(p);
    if (!e) return nullptr;
  }
  return e;
}

// The folder whose entries a path lists: a junction lists its target's.
MemoryFiles::Entry* MemoryFiles::Listed(Entry* e) const {
  if (e && !e->junction_target.empty()) return Find(e->junction_target);
  return e;
}

MemoryFiles::Entry* MemoryFiles::EnsureDirectory(const std::string& path) {
  Entry* e = root_.get();
  for (const auto& p : SplitPath(path)) {
    Entry* c = e->Child(p);
    if (!c) c = e->Add(p, true);
    if (!c->directory) return nullptr;
    e = c;
  }
  return e;
}

MemoryFiles::Entry* MemoryFiles::Put(const std::string& path, const std::vector<std::uint8_t>& content,
                                     std::uint32_t attributes) {
  auto parts = SplitPath(path);
  if (parts.empty()) return nullptr;
  const std::string leaf = parts.back();
  parts.pop_back();
  std::string dir;
  for (const auto& p : parts) dir += p + "\\";
  Entry* d = EnsureDirectory(dir);
  if (!d) return nullptr;
  Entry* f = d->Child(leaf);
  if (!f) f = d->Add(leaf, false);
  if (f->directory) return nullptr;
  f->content = content;
  f->attributes = attributes & kSettable;
  return f;
}

bool MemoryFiles::ReadFile(const std::string& path, std::vector<std::uint8_t>* data) {
  if (fail_read_[FoldPath(path)]) return Failed(win::kAccessDenied);
  Entry* e = Find(path);
  if (!e) return Failed(win::kFileNotFound);
  if (e->directory) return Failed(win::kAccessDenied);
  if (data) *data = e->content;
  return true;
}

bool MemoryFiles::WriteFileAtomic(const std::string& path, const std::vector<std::uint8_t>& data) {
  if (fail_write_[FoldPath(path)]) return Failed(win::kAccessDenied);
  auto parts = SplitPath(path);
  if (parts.size() < 2) return Failed(win::kPathNotFound);
  const std::string leaf = parts.back();
  parts.pop_back();
  Entry* d = root_.get();
  for (const auto& p : parts) {
    d = d->Child(p);
    if (!d || !d->directory) return Failed(win::kPathNotFound);
  }
  Entry* f = d->Child(leaf);
  if (f && (f->directory || (f->attributes & kFileAttributeReadOnly))) return Failed(win::kAccessDenied);
  if (!f) f = d->Add(leaf, false);
  // The renamed temporary file is a new file: its content and plain attributes replace the old.
  f->content = data;
  f->attributes = kFileAttributeArchive;
  ++write_count_;
  return true;
}

bool MemoryFiles::FileExists(const std::string& path) {
  Entry* e = Find(path);
  return e && !e->directory;
}

bool MemoryFiles::RemoveFile(const std::string& path) {
  Entry* e = Find(path);
  if (!e) return Failed(win::kFileNotFound);
  if (e->directory || fail_write_[FoldPath(path)] || (e->attributes & kFileAttributeReadOnly)) {
    return Failed(win::kAccessDenied);
  }
  Remove(path);
  last_error_ = 0;
  return true;
}

bool MemoryFiles::DirectoryExists(const std::string& path) {
  Entry* e = Find(path);
  return e && e->directory;
}

std::vector<std::string> MemoryFiles::List(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> out;
  Entry* d = Listed(Find(folder));
  if (!d || !d->directory) return out;
  for (const auto& c : d->children) {
    if (WildcardMatch(pattern, c->name)) out.push_back(c->name);
  }
  return out;
}

std::uint32_t MemoryFiles::GetAttributes(const std::string& path) {
  Entry* e = Find(path);
  last_error_ = e ? win::kSuccess : win::kFileNotFound;
  if (!e) return win::INVALID_FILE_ATTRIBUTES;
  if (e->directory) {
    const std::uint32_t reparse = e->junction_target.empty() ? 0 : win::FILE_ATTRIBUTE_REPARSE_POINT;
    return e->attributes | win::FILE_ATTRIBUTE_DIRECTORY | reparse;
  }
  return e->attributes == 0 ? kFileAttributeNormal : e->attributes;
}

bool MemoryFiles::SetAttributes(const std::string& path, std::uint32_t attributes) {
  Entry* e = Find(path);
  const auto failing = fail_set_attributes_.find(FoldPath(path));
  if (failing != fail_set_attributes_.end() && failing->second != win::kSuccess) {
    last_error_ = failing->second;
    return false;
  }
  last_error_ = e ? win::kSuccess : win::kFileNotFound;
  if (!e) return false;
  e->attributes = attributes & kSettable;
  return true;
}

void MemoryFiles::AddFile(const std::string& path, const std::string& content, std::uint32_t attributes) {
  Put(path, std::vector<std::uint8_t>(content.begin(), content.end()), attributes);
}

void MemoryFiles::AddFile(const std::string& path, const std::vector<std::uint8_t>& content,
                          std::uint32_t attributes) {
  Put(path, content, attributes);
}

void MemoryFiles::AddDirectory(const std::string& path) { EnsureDirectory(path); }

void MemoryFiles::AddJunction(const std::string& path, const std::string& target) {
  if (Entry* e = EnsureDirectory(path)) {
    e->children.clear();
    e->junction_target = target;
  }
}

bool MemoryFiles::Remove(const std::string& path) {
  auto parts = SplitPath(path);
  if (parts.empty()) return false;
  const std::string leaf = FoldCase(parts.back());
  parts.pop_back();
  Entry* d = root_.get();
  for (const auto& p : parts) {
    d = d->Child(p);
    if (!d) return false;
  }
  auto& kids = d->children;
  auto it = std::find_if(kids.begin(), kids.end(), [&](const std::unique_ptr<Entry>& c) { return c->folded == leaf; });
  if (it == kids.end()) return false;
  kids.erase(it);
  return true;
}

std::optional<std::vector<std::uint8_t>> MemoryFiles::Content(const std::string& path) const {
  Entry* e = Find(path);
  if (!e || e->directory) return std::nullopt;
  return e->content;
}

std::optional<std::string> MemoryFiles::Text(const std::string& path) const {
  auto c = Content(path);
  if (!c) return std::nullopt;
  return std::string(c->begin(), c->end());
}

void MemoryFiles::FailRead(const std::string& path, bool fail) { fail_read_[FoldPath(path)] = fail; }
void MemoryFiles::FailWrite(const std::string& path, bool fail) { fail_write_[FoldPath(path)] = fail; }
void MemoryFiles::FailSetAttributes(const std::string& path, long error) {
  fail_set_attributes_[FoldPath(path)] = error;
}

}  // namespace corvanel::platform::memory
