// The translator: finds the language files beside the executable, keeps one loaded and
// answers text look-ups with a built-in default.
#pragma once

#include <string>
#include <vector>

#include "lang/ini_file.h"
#include "platform/platform.h"

namespace corvanel::lang {

class TLanguage {
 public:
  // Scans the "Language" folder beside the executable and then, when not empty,
  // `extra_folder`. The file listed last ends up loaded.
  TLanguage(platform::Platform& platform, std::string prefix, std::string extra_folder);

  // Makes `folder` (without a trailing delimiter) the language folder, appends every
  // "*.lng" in it to the names and display names, loading each in turn.
  void ScanLanguageFolder(const std::string& folder);
  // Loads the language `name` (case-insensitive); falls back to "English" when the name
  // is unknown or its file is gone; keeps the loaded texts when neither can be loaded.
  void SetLanguage(const std::string& name);

  // The value in the loaded file, or `def` when the section or key is missing or no
  // file is loaded.
  std::string ReadLanguageText(const std::string& section, const std::string& key, const std::string& def) const;
  bool ValueExists(const std::string& section, const std::string& key) const;

  // Put in front of "_" + form name to make a form's section.
  const std::string& Prefix() const { return prefix_; }
  const std::string& LanguageFolder() const { return language_folder_; }
  const std::vector<std::string>& Names() const { return names_; }
  const std::vector<std::string>& DisplayNames() const { return display_names_; }
  // Index into Names() of the loaded language; -1 while none is loaded.
  int CurrentIndex() const { return current_index_; }
  const TExtIniFile& IniFile() const { return ini_; }

 private:
  std::string LanguageFile(const std::string& name) const;
  int IndexOfName(const std::string& name) const;

  platform::Files& files_;
  std::string prefix_;
  std::string language_folder_;
  std::vector<std::string> names_;
  std::vector<std::string> display_names_;
  int current_index_ = -1;
  TExtIniFile ini_;
};

// The language folder beside an executable: its folder, with the delimiter, + "Language".
std::string DefaultLanguageFolder(const std::string& executable_path);

}  // namespace corvanel::lang
