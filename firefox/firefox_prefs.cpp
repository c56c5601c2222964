#include "firefox/firefox_prefs.h"

#include <algorithm>
#include <exception>

namespace corvanel::firefox {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Fold(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Lower(c);
  return out;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// The pages pass names with their double quotes; the statement holds the name decoded.
std::string BareName(std::string_view name) {
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') return UnquotedString(name);
  return std::string(name);
}

// Text of a file without its byte-order mark; `bom` tells whether it had one.
std::string TextOf(const std::vector<std::uint8_t>& bytes, bool* bom) {
  std::string text(bytes.begin(), bytes.end());
  const bool has = text.compare(0, kBom.size(), kBom) == 0;
  if (has) text.erase(0, kBom.size());
  if (bom != nullptr) *bom = has;
  return text;
}

std::string Describe(long error) {
  switch (error) {
    case 0: return "The file could not be written.";
    case 2: return "The file was not found.";
    case 3: return "The folder was not found.";
    case 5: return "Access is denied.";
    case 32: return "The file is in use by another program.";
    case 33: return "A part of the file is locked by another program.";
    case 39:
    case 112: return "There is not enough space on the disk.";
    default: return "Error " + std::to_string(error) + ".";
  }
}

std::string StatementText(const std::string& text, const Statement& st, const std::string* value) {
  if (value == nullptr) return text.substr(st.begin, st.end - st.begin);
  return text.substr(st.begin, st.value_begin - st.begin) + *value + text.substr(st.value_end, st.end - st.value_end);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

FirefoxPrefs::FirefoxPrefs(platform::Files& files) : files_(files) {}

std::string FirefoxPrefs::UserJsPath() const {
  return profile_folder_.empty() ? std::string() : profile_folder_ + "\\user.js";
}

void FirefoxPrefs::LoadFirefoxPreferences() {
  if (loaded_ || loading_) return;
  // Messages processed while the files are split may reach here again.
  loading_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{loading_};

  std::string profile;
  std::vector<std::uint8_t> bytes;
  if (!folder_.empty() && files_.ReadFile(folder_ + "profiles.ini", &bytes)) {
    profile = ProfileFolderFromIni(TextOf(bytes, nullptr), folder_);
  }
  // Without the profile's folder there is nothing of Firefox's to read or to write to.
  if (!profile.empty() && !files_.DirectoryExists(profile)) profile.clear();

  File prefs, user;
  auto read = [&](const char* leaf, File& into) {
    std::vector<std::uint8_t> data;
    if (!files_.ReadFile(profile + "\\" + leaf, &data)) return;
    into.text = TextOf(data, nullptr);
    into.statements = ParseStatements(into.text, process_messages_);
  };
  if (!profile.empty()) {
    read("prefs.js", prefs);
    read("user.js", user);
  }
  profile_folder_ = std::move(profile);
  prefs_ = std::move(prefs);
  user_ = std::move(user);
  loaded_ = true;
}

const FirefoxPrefs::Change* FirefoxPrefs::FindChange(const std::string& key) const {
  const auto it = changes_.find(key);
  return it == changes_.end() ? nullptr : &it->second;
}

void FirefoxPrefs::GetFirefoxPref(std::string_view name, std::string& value) const {
  value = kNotFound;
  const std::string bare = BareName(name);
  if (const Change* c = FindChange(Fold(bare))) {
    if (!c->value.empty()) value = c->value;
    return;
  }
  for (const File* file : {&user_, &prefs_}) {
    const auto& list = file->statements;
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
      if (EqualNoCase(it->name, bare)) {
        value = it->value;
        return;
      }
    }
  }
}

std::string FirefoxPrefs::GetFirefoxPref(std::string_view name) const {
  std::string value;
  GetFirefoxPref(name, value);
  return value;
}

bool FirefoxPrefs::SetFirefoxPref(std::string_view name, std::string_view value) {
  const std::string bare = BareName(name);
  if (bare.empty()) return false;
  if (!value.empty() && !IsValueToken(value)) return false;
  const std::string key = Fold(bare);
  if (value.empty() && FindChange(key) == nullptr && GetFirefoxPref(bare) == kNotFound) return true;
  auto [it, added] = changes_.try_emplace(key);
  if (added) {
    it->second.name = bare;
    it->second.order = change_count_++;
  }
  it->second.value = std::string(value);
  if (value.empty()) it->second.erased = true;
  return true;
}

std::vector<FirefoxPrefs::PendingChange> FirefoxPrefs::PendingChanges() const {
  std::vector<const Change*> ordered;
  for (const auto& [key, c] : changes_) ordered.push_back(&c);
  std::sort(ordered.begin(), ordered.end(), [](const Change* a, const Change* b) { return a->order < b->order; });
  std::vector<PendingChange> out;
  for (const Change* c : ordered) {
    PendingChange p{c->name, c->value, std::string(kNotFound)};
    for (const File* file : {&user_, &prefs_}) {
      const auto& list = file->statements;
      const auto it = std::find_if(list.rbegin(), list.rend(), [&](const Statement& st) { return EqualNoCase(st.name, c->name); });
      if (it != list.rend()) {
        p.file_value = it->value;
        break;
      }
    }
    out.push_back(std::move(p));
  }
  return out;
}

void FirefoxPrefs::Forget() {
  loaded_ = false;
  profile_folder_.clear();
  prefs_ = {};
  user_ = {};
  changes_.clear();
  change_count_ = 0;
}

std::vector<std::string> FirefoxPrefs::Statements() const {
  std::vector<std::string> out;
  std::map<std::string, bool> seen;
  for (const File* file : {&prefs_, &user_}) {
    for (const Statement& st : file->statements) {
      const std::string key = Fold(st.name);
      const Change* c = FindChange(key);
      if (c != nullptr) seen[key] = true;
      if (c != nullptr && c->erased) continue;
      out.push_back(StatementText(file->text, st, c == nullptr ? nullptr : &c->value));
    }
  }
  std::vector<const Change*> added;
  for (const auto& [key, c] : changes_) {
    if ((!seen.contains(key) || c.erased) && !c.value.empty()) added.push_back(&c);
  }
  std::sort(added.begin(), added.end(), [](const Change* a, const Change* b) { return a->order < b->order; });
  for (const Change* c : added) out.push_back("user_pref(" + QuotedString(c->name) + ", " + c->value + ");");
  return out;
}

SaveResult FirefoxPrefs::Save() {
  SaveResult result;
  if (changes_.empty()) return result;
  LoadFirefoxPreferences();
  result.path = UserJsPath();
  if (profile_folder_.empty()) {
    result.ok = false;
    result.path = folder_ + "profiles.ini";
    result.error = 0;
    result.reason = "No Firefox profile was found.";
    return result;
  }

  // Start from the file as it is now: Firefox or the user may have changed it since it
  // was read, and a file that exists but cannot be read must not be replaced blindly.
  std::string text;
  bool bom = false;
  if (files_.FileExists(result.path)) {
    std::vector<std::uint8_t> bytes;
    if (!files_.ReadFile(result.path, &bytes)) {
      result.ok = false;
      result.error = files_.LastError();
      result.reason = "The file could not be read. " + Describe(result.error);
      return result;
    }
    // Saved as "Unicode" by an old editor: UTF-8 statements added to it would leave a
    // file in two encodings that Firefox cannot read.
    if (bytes.size() >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
      result.ok = false;
      result.error = 0;
      result.reason = "The file is saved as UTF-16 (\"Unicode\"). Save it as UTF-8 and apply again.";
      return result;
    }
    text = TextOf(bytes, &bom);
  }
  const std::vector<Statement> statements = ParseStatements(text);
  const std::string line_break =
      text.find("\r\n") != std::string::npos || text.find('\n') == std::string::npos ? "\r\n" : "\n";

  std::string out;
  out.reserve(text.size() + 64 * changes_.size());
  std::map<std::string, bool> present;
  std::size_t copied = 0;
  for (const Statement& st : statements) {
    const std::string key = Fold(st.name);
    const Change* c = FindChange(key);
    if (c == nullptr) continue;
    present[key] = true;
    if (!c->value.empty()) {
      out.append(text, copied, st.value_begin - copied);
      out += c->value;
      copied = st.value_end;
      continue;
    }
    // A removed statement alone on its line takes its line with it.
    std::size_t from = st.begin, to = st.end;
    std::size_t line_start = from;
    while (line_start > copied && IsBlank(text[line_start - 1])) --line_start;
    std::size_t line_end = to;
    while (line_end < text.size() && IsBlank(text[line_end])) ++line_end;
    const bool starts_line = line_start == 0 || text[line_start - 1] == '\n' || text[line_start - 1] == '\r';
    const bool ends_line = line_end == text.size() || text[line_end] == '\r' || text[line_end] == '\n';
    if (starts_line && ends_line && line_start >= copied) {
      from = line_start;
      to = line_end;
      if (to < text.size() && text[to] == '\r') ++to;
      if (to < text.size() && text[to] == '\n') ++to;
    }
    out.append(text, copied, from - copied);
    copied = to;
  }
  out.append(text, copied, std::string::npos);

  std::vector<const Change*> added;
  for (const auto& [key, c] : changes_) {
    if (!present.contains(key) && !c.value.empty()) added.push_back(&c);
  }
  std::sort(added.begin(), added.end(), [](const Change* a, const Change* b) { return a->order < b->order; });
  if (!added.empty()) {
    std::string appended;
    for (const Change* c : added) appended += "user_pref(" + QuotedString(c->name) + ", " + c->value + ");" + line_break;
    const std::vector<Statement> kept = ParseStatements(out);
    std::string candidate = out;
    if (!candidate.empty() && candidate.back() != '\n' && candidate.back() != '\r') candidate += line_break;
    candidate += appended;
    if (ParseStatements(candidate).size() == kept.size() + added.size()) {
      out = std::move(candidate);
    } else {
      // The file ends inside a string, a comment or an unfinished statement that would
      // swallow what is appended: the new statements go right after the last complete one.
      if (kept.empty()) {
        out.insert(0, appended);
      } else {
        appended.erase(appended.size() - line_break.size());
        out.insert(kept.back().end, line_break + appended);
      }
    }
  }

  if (bom) out.insert(0, kBom);
  std::vector<std::uint8_t> bytes(out.begin(), out.end());
  if (bom) out.erase(0, kBom.size());
  if (!files_.WriteFileAtomic(result.path, bytes)) {
    result.ok = false;
    result.error = files_.LastError();
    result.reason = Describe(result.error);
    return result;
  }
  result.written = true;

  // What is on disk now is the base of later changes and lookups.
  for (const auto& entry : changes_) {
    const Change& c = entry.second;
    if (!c.erased) continue;
    std::erase_if(prefs_.statements, [&c](const Statement& st) { return EqualNoCase(st.name, c.name); });
  }
  user_.text = std::move(out);
  user_.statements = ParseStatements(user_.text);
  changes_.clear();
  return result;
}

}  // namespace corvanel::firefox
