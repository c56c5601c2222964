// The Firefox preference files of the current user: the profile Firefox uses (found
// through profiles.ini), its prefs.js and user.js, lookups and changes, and the save of
// user.js that Apply carries out.
//
// prefs.js belongs to Firefox: it is read for lookups and never written. user.js
// overrides prefs.js at every Firefox start, so only what the user changes here goes
// into it; its own text (comments, blank lines, statements we do not touch) is kept as
// it is. Nothing is written before Save, and loading never creates a file.
//
// The files are read once per run: later loads keep the list and the changes made since,
// so a value typed on one page survives the first visit of another.
//
// Preference names are given with their double quotes, as the pages write them
// ("\"browser.blink_allowed\""); a bare name is taken too. Names are compared as the
// statement's name, without regard to letter case.
//
// Values are value tokens as Firefox stores them: a string in double quotes with `"` and
// `\` escaped (build it with QuotedString, read it back with UnquotedString), the word
// true or false, or a decimal integer.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace corvanel::firefox {

// The lookup's result for a preference that is not set.
inline constexpr const char* kNotFound = "Noexsit";

// A string value token for `text`: double quotes around it, `"` and `\` escaped.
std::string QuotedString(std::string_view text);
// The text of a string value token (double or single quotes, escapes undone). A value
// that is no string (true, 2) is returned unchanged.
std::string UnquotedString(std::string_view value);
// Whether `value` is one value token: a string, true, false or an integer.
bool IsValueToken(std::string_view value);

// One preference statement of a file, as read.
struct Statement {
  std::string name;          // decoded, as written ("browser.link.open_newwindow")
  std::string value;         // the value token, as written ("2", "\"about:blank\"")
  std::size_t begin = 0;     // the statement's text in the file's text (after any BOM):
  std::size_t end = 0;       //   from "user_pref" through its ";"
  std::size_t value_begin = 0, value_end = 0;  // the value token within that text
};

// The user_pref statements of a preference file's text, in file order. Comments (//,
// /* */ and #), blank lines and other statements are skipped; a malformed statement is
// skipped to its ";" as Firefox does. `each` (optional) runs once per statement read.
std::vector<Statement> ParseStatements(std::string_view text, const std::function<void()>& each = {});

// The profile folder profiles.ini names below `firefox_folder` (which ends with a
// backslash): the default of the first [Install...] section that has one, else the first
// profile section with a non-zero Default, else [Profile0]. Empty when there is none.
std::string ProfileFolderFromIni(std::string_view ini_text, const std::string& firefox_folder);

// What Save did.
struct SaveResult {
  bool ok = true;         // false: user.js is as it was before, the changes still pending
  bool written = false;   // user.js was replaced (false also when there was nothing to save)
  std::string path;       // the file concerned
  long error = 0;         // the system's error code when one is known
  std::string reason;     // what went wrong, in words (English)
};

class FirefoxPrefs {
 public:
  explicit FirefoxPrefs(platform::Files& files);

  // The Firefox folder ("...\\Mozilla\\Firefox\\"), set when the main window is created.
  void SetFolder(std::string folder) { folder_ = std::move(folder); }
  const std::string& Folder() const { return folder_; }
  // Runs between the statements while the files are read, so the window stays responsive.
  void SetProcessMessages(std::function<void()> hook) { process_messages_ = std::move(hook); }

  // The first call finds the profile and reads prefs.js and then user.js; every later
  // call returns at once. Unreadable or missing files contribute nothing.
  void LoadFirefoxPreferences();
  bool Loaded() const { return loaded_; }
  // The profile's folder without a trailing backslash; empty without a usable profile.
  const std::string& ProfileFolder() const { return profile_folder_; }
  std::string UserJsPath() const;

  // The value token of the preference (a user.js statement wins over prefs.js, a later
  // statement over an earlier one, a change made here over both), or kNotFound.
  void GetFirefoxPref(std::string_view name, std::string& value) const;
  std::string GetFirefoxPref(std::string_view name) const;
  // Changes the preference to the value token `value`; an empty value removes it. A value
  // that is no value token is refused (false, nothing changes), so the file cannot break.
  bool SetFirefoxPref(std::string_view name, std::string_view value);

  // Whether changes wait for Save.
  bool HasPendingChanges() const { return !changes_.empty(); }
  struct PendingChange {
    std::string name;
    std::string value;       // the new value token; empty: removed
    std::string file_value;  // the value token the files hold now, or kNotFound
  };
  // The changes waiting for Save, in the order they were first made.
  std::vector<PendingChange> PendingChanges() const;
  // Drops what was read and every pending change: the next LoadFirefoxPreferences reads
  // the files afresh (after user.js was put back as it was).
  void Forget();
  // Writes the pending changes into user.js: its current text with changed statements
  // replaced in place, removed ones taken out and new ones appended, through a temporary
  // file renamed over it. On success the changes are no longer pending; on failure
  // nothing on disk has changed and they stay pending.
  SaveResult Save();

  // The statement list as the pages see it: prefs.js statements, then user.js ones, with
  // the pending changes applied (new preferences at the end).
  std::vector<std::string> Statements() const;

 private:
  struct File {
    std::string text;  // without a byte-order mark
    std::vector<Statement> statements;
  };
  struct Change {
    std::string name;   // as the caller spelt it, without quotes
    std::string value;  // empty: removed
    std::size_t order = 0;
    bool erased = false;  // removed at some point: the files' statements are gone from the list
  };

  const Change* FindChange(const std::string& key) const;

  platform::Files& files_;
  std::string folder_;
  std::string profile_folder_;
  std::function<void()> process_messages_;
  bool loaded_ = false;
  bool loading_ = false;
  File prefs_, user_;
  std::map<std::string, Change> changes_;  // by folded name
  std::size_t change_count_ = 0;
};

}  // namespace corvanel::firefox
