#include "lang/ini_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "platform/reg_text.h"

namespace corvanel::lang {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Utf8Bom(const std::string& s) { return ToBytes("\xEF\xBB\xBF" + s); }

Bytes Utf16(const std::string& s, bool big_endian) {
  Bytes b = big_endian ? Bytes{0xFE, 0xFF} : Bytes{0xFF, 0xFE};
  for (char16_t u : platform::Utf8ToUtf16(s)) {
    const auto hi = static_cast<std::uint8_t>(u >> 8);
    const auto lo = static_cast<std::uint8_t>(u & 0xFF);
    if (big_endian) {
      b.push_back(hi);
      b.push_back(lo);
    } else {
      b.push_back(lo);
      b.push_back(hi);
    }
  }
  return b;
}

class IniFileTest : public ::testing::Test {
 protected:
  TExtIniFile Parse(const Bytes& bytes) {
    TExtIniFile ini(platform_.files(), platform_.system());
    ini.LoadFromBytes(bytes);
    return ini;
  }
  TExtIniFile Parse(const std::string& text) { return Parse(ToBytes(text)); }

  platform::memory::MemoryPlatform platform_;
};

struct EncodingRow {
  const char* label;
  Bytes bytes;
  const char* expected;  // value of [S] k, UTF-8
};

TEST_F(IniFileTest, EncodingFollowsTheByteOrderMarkAndOtherwiseTheAnsiCodePage) {
  const std::string text = "[S]\r\nk=Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC \xD0\x96 \xF0\x9F\x98\x80\r\n";  // "Größe € Ж 😀"
  const std::string expected = "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC \xD0\x96 \xF0\x9F\x98\x80";
  const std::vector<EncodingRow> rows = {
      {"utf-8 bom", Utf8Bom(text), expected.c_str()},
      {"utf-16 le bom", Utf16(text, false), expected.c_str()},
      {"utf-16 be bom", Utf16(text, true), expected.c_str()},
      // Windows-1252: E4 is "ä", 80 is "€".
      {"ansi", ToBytes("[S]\r\nk=K\xE4se \x80\r\n"), "K\xC3\xA4se \xE2\x82\xAC"},
      // Without a mark, UTF-8 bytes are ANSI characters like any others.
      {"utf-8 without bom", ToBytes("[S]\nk=\xC3\xA4\n"), "\xC3\x83\xC2\xA4"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const TExtIniFile ini = Parse(row.bytes);
    EXPECT_EQ(ini.ReadString("S", "k", "?"), row.expected);
  }
}

TEST_F(IniFileTest, EveryLineEndSeparatesLines) {
  const std::vector<std::string> ends = {"\r\n", "\n", "\r", "\n\r"};
  for (const auto& end : ends) {
    SCOPED_TRACE(testing::PrintToString(end));
    const TExtIniFile ini = Parse("[A]" + end + "a=1" + end + "b=2" + end + "[B]" + end + "c=3");
    EXPECT_EQ(ini.ReadString("A", "a", ""), "1");
    EXPECT_EQ(ini.ReadString("A", "b", ""), "2");
    EXPECT_EQ(ini.ReadString("B", "c", ""), "3");
    EXPECT_EQ(ini.ReadSectionValues("A"), (std::vector<std::string>{"a=1", "b=2"}));
  }
  // Mixed in one file.
  const TExtIniFile ini = Parse("[A]\r\na=1\rb=2\nc=3\r\n");
  EXPECT_EQ(ini.ReadSectionValues("A"), (std::vector<std::string>{"a=1", "b=2", "c=3"}));
}

struct LineRow {
  const char* line;
  const char* key;    // looked up in [S]
  const char* value;  // nullptr: the key must not exist
};

TEST_F(IniFileTest, EntriesAreTrimmedSplitAtTheFirstEqualsAndNeverUnquoted) {
  const std::vector<LineRow> rows = {
      {"  key  =  value  ", "key", "value"},
      {"\tkey\t=\tvalue\t\x01\x1F", "key", "value"},
      {"key=two  inner  blanks", "key", "two  inner  blanks"},
      {"key=a=b=c", "key", "a=b=c"},
      {"key = \"quoted\"", "key", "\"quoted\""},
      {"key='single'", "key", "'single'"},
      {"key=C:\\path\\n\\t", "key", "C:\\path\\n\\t"},
      {"key=  ", "key", ""},
      {"key=value ; not a comment", "key", "value ; not a comment"},
      {"spaced key = v", "spaced key", "v"},
      {"=orphan", "", "orphan"},
      {"; key=commented", "key", nullptr},
      {"   ;key=commented after blanks", "key", nullptr},
      {"no equals sign", "no equals sign", nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    const TExtIniFile ini = Parse(std::string("[S]\n") + row.line + "\n");
    EXPECT_EQ(ini.ValueExists("S", row.key), row.value != nullptr);
    EXPECT_EQ(ini.ReadString("S", row.key, "<default>"), row.value ? row.value : "<default>");
  }
}

TEST_F(IniFileTest, SectionHeadersAndTheLinesBeforeThem) {
  const TExtIniFile ini = Parse(
      "top=ignored\n"
      "[S]ignored too\n"
      "  [  Spaced Name  ]  \n"
      "a=1\n"
      "[]\n"
      "e=empty name\n"
      "[\n"
      "b=2\n");
  EXPECT_FALSE(ini.ValueExists("", "top"));
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Spaced Name", ""}));
  EXPECT_EQ(ini.ReadString("Spaced Name", "a", ""), "1");
  EXPECT_EQ(ini.ReadString("", "e", ""), "empty name");
  // "[" alone is not a header: it is a line of the section before, like any other.
  EXPECT_EQ(ini.ReadString("", "b", ""), "2");
  EXPECT_EQ(ini.ReadSectionValues(""), (std::vector<std::string>{"e=empty name", "[", "b=2"}));
}

TEST_F(IniFileTest, LookUpsIgnoreLetterCase) {
  const TExtIniFile ini = Parse(Utf8Bom(
      "[Corvanel_M]\nD_Menu=Men\xC3\xBC\n"
      "[\xC3\x84RGER]\n\xD0\x9A\xD0\x9B\xD0\xAE\xD0\xA7=v\n"));  // [ÄRGER] КЛЮЧ=v
  EXPECT_EQ(ini.ReadString("corvanel_m", "d_menu", ""), "Men\xC3\xBC");
  EXPECT_EQ(ini.ReadString("CORVANEL_M", "D_MENU", ""), "Men\xC3\xBC");
  EXPECT_TRUE(ini.ValueExists("\xC3\xA4rger", "\xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87"));  // [ärger] ключ
  EXPECT_FALSE(ini.ValueExists("Corvanel_M", "D_Menu2"));
  EXPECT_FALSE(ini.ValueExists("Corvanel", "D_Menu"));
}

TEST_F(IniFileTest, FirstOccurrenceOfAKeyWinsAndRepeatedSectionsAreJoined) {
  const TExtIniFile ini = Parse("[S]\nk=first\nK=second\n[T]\nt=1\n[s]\nk=third\nlater=yes\n");
  EXPECT_EQ(ini.ReadString("S", "k", ""), "first");
  EXPECT_EQ(ini.ReadString("S", "later", ""), "yes");
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"S", "T"}));
  EXPECT_EQ(ini.ReadSectionValues("S"), (std::vector<std::string>{"k=first", "K=second", "k=third", "later=yes"}));
  EXPECT_TRUE(ini.ReadSectionValues("missing").empty());
}

TEST_F(IniFileTest, MalformedInputIsReadWithoutFault) {
  struct Row {
    const char* label;
    Bytes bytes;
    const char* key;
    std::string expected;
  };
  Bytes odd = Utf16("[S]\nk=ab", false);
  odd.push_back(0x41);  // half a code unit
  Bytes lone_surrogate = Utf16("[S]\nk=", false);
  lone_surrogate.insert(lone_surrogate.end(), {0x00, 0xD8, 0x78, 0x00});  // D800 'x'
  const std::vector<Row> rows = {
      {"odd utf-16", odd, "k", "ab"},
      {"lone surrogate", lone_surrogate, "k", "\xEF\xBF\xBDx"},
      {"invalid utf-8", Utf8Bom("[S]\nk=a\xFF\xC3(\xE2\x82\n"), "k", "a\xEF\xBF\xBD\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"overlong and surrogate utf-8", Utf8Bom("[S]\nk=\xC0\xAF|\xED\xA0\x80"), "k",
       "\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"truncated utf-8 at the end", Utf8Bom("[S]\nk=a\xE2\x82"), "k", "a\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"nul inside a value", ToBytes(std::string("[S]\nk=a\0b\n", 10)), "k", std::string("a\0b", 3)},
      {"nul as trailing control", ToBytes(std::string("[S]\nk=ab\0\0\n", 11)), "k", "ab"},
      {"only a bom", Bytes{0xEF, 0xBB, 0xBF}, "k", "<none>"},
      {"one byte", Bytes{0xFF}, "k", "<none>"},
      {"utf-16 bom only", Bytes{0xFF, 0xFE}, "k", "<none>"},
      {"empty", Bytes{}, "k", "<none>"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const TExtIniFile ini = Parse(row.bytes);
    EXPECT_EQ(ini.ReadString("S", row.key, "<none>"), row.expected);
  }
}

TEST_F(IniFileTest, HugeLinesAndManyEntries) {
  const std::string big(1024 * 1024, 'x');
  std::string text = "[S]\nbig=" + big + "\n";
  for (int i = 0; i < 20000; ++i) text += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  const TExtIniFile ini = Parse(text);
  EXPECT_EQ(ini.ReadString("S", "big", ""), big);
  EXPECT_EQ(ini.ReadString("S", "KEY19999", ""), "19999");
  EXPECT_EQ(ini.ReadSectionValues("S").size(), 20001u);
}

TEST_F(IniFileTest, LoadFromFileReplacesContentsAndKeepsThemWhenTheFileCannotBeRead) {
  auto& files = platform_.files();
  files.AddFile("C:\\L\\a.lng", std::string("[S]\nk=a\nonly_a=1\n"));
  files.AddFile("C:\\L\\b.lng", std::string("[S]\nk=b\n"));
  files.AddFile("C:\\L\\locked.lng", std::string("[S]\nk=locked\n"));
  files.FailRead("C:\\L\\locked.lng");

  TExtIniFile ini(files, platform_.system());
  ASSERT_TRUE(ini.LoadFromFile("C:\\L\\a.lng"));
  ASSERT_TRUE(ini.LoadFromFile("C:\\L\\b.lng"));
  EXPECT_EQ(ini.ReadString("S", "k", ""), "b");
  EXPECT_FALSE(ini.ValueExists("S", "only_a"));

  EXPECT_FALSE(ini.LoadFromFile("C:\\L\\locked.lng"));
  EXPECT_FALSE(ini.LoadFromFile("C:\\L\\missing.lng"));
  EXPECT_EQ(ini.ReadString("S", "k", ""), "b");
}

}  // namespace
}  // namespace corvanel::lang
