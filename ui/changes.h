// The review of changes: every change Apply will make (or the last Apply made) as rows of
// words a user reads, from what to what; the .reg export of them; and the window
// "Changes" that shows the rows and offers Save as .reg, Undo last Apply and Save undo
// .reg. The rows are plain data: the window only puts them into its list view.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/setting_queue.h"
#include "engine/undo.h"
#include "forms/forms.h"
#include "ui/page_module.h"

namespace corvanel::ui {

class TCorvanel_FormMain;

inline constexpr const char* kChangesFormName = "Corvanel_FormChanges";

// Keys of the changes that are no records.
std::string ServiceOriginKey(const std::string& service);  // "service:wscsvc"
std::string FirefoxOriginKey(const std::string& pref);     // "firefox:<name folded>"
inline constexpr const char* kUserJsOriginKey = "firefox:user.js";

// Which page and control made each change, by record Name (and the keys above), so a row
// can name the setting as the user saw it. Kept across Apply for the journal's rows.
class ChangeOrigins {
 public:
  struct Origin {
    int tag = 0;
    std::string control;  // the sender's Name
  };
  // Around one change handler: what was pending before, then what the handler added or
  // replaced is put down to `sender` of page `tag`.
  void Before(const engine::TCorvanel& queue, const ApplyRequests& requests, const firefox::FirefoxPrefs& firefox);
  void After(int tag, const forms::Component& sender, const engine::TCorvanel& queue, const ApplyRequests& requests,
             const firefox::FirefoxPrefs& firefox);
  const Origin* Find(const std::string& key) const;

 private:
  void Note(const std::string& key, int tag, const std::string& control, bool replace);
  std::vector<engine::TRegRecor> records_;
  ApplyRequests requests_;
  std::vector<firefox::FirefoxPrefs::PendingChange> prefs_;
  std::unordered_map<std::string, Origin> origins_;
};

struct ChangeRow {
  std::string setting;  // "Start Menu › Show user name"
  std::string where;    // "HKEY_CURRENT_USER\\...\\Value", "System parameter SPI_SETBEEP", ...
  std::string now;      // the journal's rows: before
  std::string after;
};

struct ChangeList {
  bool journal = false;  // the last Apply's changes: columns "Before" and "After"
  std::vector<ChangeRow> rows;
  std::string count_line;
  std::string restart_line;  // empty when no restart is requested
};

// How values read to a user: numbers in decimal (hex in brackets from 10 up, where flags
// live), text in quotes, binary as hex bytes.
std::string NumberText(std::uint64_t n);
std::string BytesText(const std::vector<std::uint8_t>& bytes);
std::string StoredValueText(const engine::StoredValue& value);
std::string ServiceStateText(const engine::ServiceState& state);

// What waits for Apply, with the values the system holds now.
ChangeList PendingChangeList(TCorvanel_FormMain& main);
// What the last Apply changed, with the values before and after it.
ChangeList LastApplyChangeList(TCorvanel_FormMain& main);
// What the window shows: the pending changes, or, with nothing pending, the last Apply's
// when it can be undone.
ChangeList CurrentChangeList(TCorvanel_FormMain& main);

// The .reg text of the pending registry changes; the rest are listed in its comments.
std::string PendingRegText(TCorvanel_FormMain& main);

class TCorvanel_FormChanges : public forms::Form {
 public:
  explicit TCorvanel_FormChanges(TCorvanel_FormMain& main);

  // Reads the system and fills the list; sets which buttons can be used.
  void Refresh();
  void Button_SaveRegClick();
  void Button_UndoClick();
  void Button_SaveUndoRegClick();

  const ChangeList& List() const { return list_; }

 private:
  void BuildLayout();
  // Asks for a file name and writes `text` there as a .reg file; failures are shown.
  void SaveRegFile(const std::string& text, const std::string& suggested);

  TCorvanel_FormMain& main_;
  ChangeList list_;
};

}  // namespace corvanel::ui
