#include "lang/language.h"

#include <utility>

namespace corvanel::lang {

namespace {

constexpr std::string_view kExtension = ".lng";

bool IsDelimiter(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string DefaultLanguageFolder(const std::string& executable_path) {
  const std::size_t pos = executable_path.find_last_of("\\/:");
  const std::string folder = pos == std::string::npos ? std::string() : executable_path.substr(0, pos + 1);
  return folder + "Language";
}

TLanguage::TLanguage(platform::Platform& platform, std::string prefix, std::string extra_folder)
    : files_(platform.files()),
      prefix_(std::move(prefix)),
      language_folder_(DefaultLanguageFolder(platform.system().ExecutablePath())),
      ini_(platform.files(), platform.system()) {
  ScanLanguageFolder(language_folder_);
  if (!extra_folder.empty()) ScanLanguageFolder(extra_folder);
}

void TLanguage::ScanLanguageFolder(const std::string& folder) {
  language_folder_ = folder;
  if (!language_folder_.empty() && IsDelimiter(language_folder_.back())) language_folder_.pop_back();

  for (const std::string& entry : files_.List(language_folder_, "*.lng")) {
    // A pattern with a three-letter extension also matches longer extensions through
    // their short names ("x.lngbak"); only real ".lng" files are languages.
    if (entry.size() <= kExtension.size() ||
        FoldCase(std::string_view(entry).substr(entry.size() - kExtension.size())) != kExtension) {
      continue;
    }
    const std::string name = entry.substr(0, entry.size() - kExtension.size());
    names_.push_back(name);
    const int index = static_cast<int>(names_.size()) - 1;
    SetLanguage(name);
    // A file that could not be loaded must not take the display name of the file that
    // is still loaded.
    display_names_.push_back(current_index_ == index ? ini_.ReadString("Main", "DisplayName", name) : name);
  }
}

void TLanguage::SetLanguage(const std::string& name) {
  int index = IndexOfName(name);
  if (index < 0 || !files_.FileExists(LanguageFile(names_[static_cast<std::size_t>(index)]))) {
    index = IndexOfName("English");
    if (index < 0 || !files_.FileExists(LanguageFile(names_[static_cast<std::size_t>(index)]))) return;
  }
  // The index follows the texts actually loaded: an unreadable file changes neither.
  if (ini_.LoadFromFile(LanguageFile(names_[static_cast<std::size_t>(index)]))) current_index_ = index;
}

std::string TLanguage::ReadLanguageText(const std::string& section, const std::string& key,
                                        const std::string& def) const {
  return ini_.ReadString(section, key, def);
}

bool TLanguage::ValueExists(const std::string& section, const std::string& key) const {
  return ini_.ValueExists(section, key);
}

std::string TLanguage::LanguageFile(const std::string& name) const {
  return language_folder_ + "\\" + name + std::string(kExtension);
}

int TLanguage::IndexOfName(const std::string& name) const {
  // The last match: a name scanned again from a later folder lives in the current one.
  const std::string folded = FoldCase(name);
  for (std::size_t i = names_.size(); i-- > 0;) {
    if (FoldCase(names_[i]) == folded) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace corvanel::lang
