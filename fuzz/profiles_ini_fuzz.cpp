// The profiles.ini reader on any text: it answers without failing, and a folder it names
// never ends with a delimiter (the file names are joined to it with one).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "firefox/firefox_prefs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string folder = corvanel::firefox::ProfileFolderFromIni(text, "C:\\Mozilla\\Firefox\\");
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) std::abort();
  return 0;
}
