// The language files that ship beside the executable.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "lang/language.h"
#include "lang/message_texts.h"
#include "platform/memory/memory_platform.h"

namespace corvanel::lang {
namespace {

std::vector<std::uint8_t> ReadDiskFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ShippedLanguageTest, EnglishFileIsATemplateOfEveryMessageWithItsDefault) {
  const std::vector<std::uint8_t> bytes = ReadDiskFile(std::string(CORVANEL_LANGUAGE_DIR) + "/English.lng");
  ASSERT_GE(bytes.size(), 3u);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 3), (std::vector<std::uint8_t>{0xEF, 0xBB, 0xBF}));

  platform::memory::MemoryPlatform platform;
  platform.files().AddFile("C:\\Program Files\\Corvanel\\Language\\English.lng", bytes);
  const TLanguage language(platform, "", "");
  ASSERT_EQ(language.Names(), std::vector<std::string>{"English"});
  EXPECT_EQ(language.DisplayNames(), std::vector<std::string>{"English"});

  // Every key once, no key that the program does not read.
  std::vector<std::string> keys;
  for (const std::string& line : language.IniFile().ReadSectionValues(kMessageSection)) {
    const auto eq = line.find('=');
    ASSERT_NE(eq, std::string::npos) << line;
    keys.push_back(line.substr(0, eq));
  }
  ASSERT_EQ(keys.size(), kMessageCount);
  for (std::size_t i = 0; i < kMessageCount; ++i) {
    const auto id = static_cast<MessageId>(i);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), MessageKey(id)), 1) << MessageKey(id);
    EXPECT_EQ(language.ReadLanguageText(kMessageSection, std::string(MessageKey(id)), "<missing>"), MessageDefault(id))
        << MessageKey(id);
  }
}

}  // namespace
}  // namespace corvanel::lang
