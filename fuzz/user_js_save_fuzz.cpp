// Saving changes into any user.js: the saved file holds exactly the changes made, keeps
// every statement not changed as it was, and keeps the byte-order mark when there is one; a
// UTF-16 file is refused and left as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "firefox/firefox_prefs.h"
#include "platform/memory/memory_platform.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
std::string Fold(std::string s) {
  for (char& c : s) c = Lower(c);
  return s;
}

const std::string kFolder = "C:\\users\\user\\AppData\\Roaming\\Mozilla\\Firefox\\";
const std::string kUserJs = kFolder + "Profiles\\f.default\\user.js";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvanel::firefox;
  if (size < 1) return 0;
  // The first byte chooses the changes, the rest is the file.
  const std::uint8_t plan = data[0];
  const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
  corvanel::platform::memory::MemoryPlatform platform;
  platform.files().AddFile(kFolder + "profiles.ini", "[Profile0]\nIsRelative=1\nPath=Profiles/f.default\n");
  platform.files().AddFile(kUserJs, file);
  FirefoxPrefs prefs(platform.files());
  prefs.SetFolder(kFolder);
  prefs.LoadFirefoxPreferences();
  Check(platform.files().write_count() == 0);

  const bool bom = file.rfind("\xEF\xBB\xBF", 0) == 0;
  const auto before = ParseStatements(bom ? std::string_view(file).substr(3) : std::string_view(file));
  // Expected value per folded name: "" removed.
  std::map<std::string, std::string> expected;
  std::size_t i = 0;
  for (const Statement& st : before) {
    const int what = (plan >> (i++ % 8)) & 3;
    // A preference without a name cannot be changed here (it is refused), only kept.
    if (st.name.empty()) {
      Check(!prefs.SetFirefoxPref("\"\"", "1"));
      continue;
    }
    if (what == 1) {
      Check(prefs.SetFirefoxPref(QuotedString(st.name), ""));
      expected[Fold(st.name)] = "";
    } else if (what == 2) {
      const std::string value = QuotedString("v;)\"\\" + std::to_string(i));
      Check(prefs.SetFirefoxPref(QuotedString(st.name), value));
      expected[Fold(st.name)] = value;
    }
  }
  if (plan & 0x80) {
    Check(prefs.SetFirefoxPref("\"fuzz.new\"", "42"));
    expected["fuzz.new"] = "42";
  }
  for (const auto& [name, value] : expected) {
    Check(prefs.GetFirefoxPref(QuotedString(name)) == (value.empty() ? std::string(kNotFound) : value));
  }
  const SaveResult saved = prefs.Save();
  // A UTF-16 file ("Unicode") is refused whole: appending UTF-8 to it would mix encodings.
  if (file.rfind("\xFF\xFE", 0) == 0 || file.rfind("\xFE\xFF", 0) == 0) {
    Check(platform.files().write_count() == 0 && *platform.files().Text(kUserJs) == file);
    Check(expected.empty() || !saved.ok);
    return 0;
  }
  Check(saved.ok);
  const std::string after_file = *platform.files().Text(kUserJs);
  Check((after_file.rfind("\xEF\xBB\xBF", 0) == 0) == bom);
  const auto after = ParseStatements(bom ? std::string_view(after_file).substr(3) : std::string_view(after_file));
  // Untouched statements in their order, changed ones with their value, removed ones gone.
  std::vector<std::pair<std::string, std::string>> want, got;
  for (const Statement& st : before) {
    const auto it = expected.find(Fold(st.name));
    if (it == expected.end()) {
      want.emplace_back(st.name, st.value);
    } else if (!it->second.empty()) {
      want.emplace_back(st.name, it->second);
    }
  }
  for (const auto& [name, value] : expected) {
    bool present = false;
    for (const Statement& st : before) present = present || Fold(st.name) == name;
    if (!present && !value.empty()) want.emplace_back(name, value);
  }
  for (const Statement& st : after) got.emplace_back(st.name, st.value);
  Check(want == got);
  return 0;
}
