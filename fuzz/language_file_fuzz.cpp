// The language-file reader on any bytes, in any encoding its byte-order mark claims: it
// parses without failing, every section it lists can be read back, and every text it
// returns is valid UTF-8 (the captions go to the window as they are).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "lang/ini_file.h"
#include "platform/memory/memory_platform.h"

namespace {

bool ValidUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static corvanel::platform::memory::MemoryPlatform platform;
  corvanel::lang::TExtIniFile ini(platform.files(), platform.system());
  ini.LoadFromBytes(std::vector<std::uint8_t>(data, data + size));
  for (const std::string& section : ini.ReadSections()) {
    if (!ValidUtf8(section) || !ini.SectionExists(section)) std::abort();
    for (const std::string& line : ini.ReadSectionValues(section)) {
      if (!ValidUtf8(line)) std::abort();
      const std::size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      if (!ValidUtf8(ini.ReadString(section, line.substr(0, eq), "default"))) std::abort();
    }
  }
  return 0;
}
