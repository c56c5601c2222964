// The Firefox preference files against the memory platform's files.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "firefox/firefox_prefs.h"
#include "platform/memory/memory_platform.h"

namespace corvanel::firefox {
namespace {

const std::string kFolder = "C:\\users\\user\\AppData\\Roaming\\Mozilla\\Firefox\\";
const std::string kProfile = kFolder + "Profiles\\a.default";
const std::string kPrefsJs = kProfile + "\\prefs.js";
const std::string kUserJs = kProfile + "\\user.js";
// The path as the layer names it: the profile's path keeps the slash profiles.ini has.
const std::string kUserJsNamed = kFolder + "Profiles/a.default\\user.js";
const std::string kIni = "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                         "Path=Profiles/a.default\r\n";

struct Fixture {
  platform::memory::MemoryPlatform platform;
  FirefoxPrefs prefs{platform.files()};

  // Profile a.default with the given files (a null text leaves the file out).
  Fixture(const char* prefs_js, const char* user_js) {
    platform.files().AddFile(kFolder + "profiles.ini", kIni);
    platform.files().AddDirectory(kProfile);
    if (prefs_js != nullptr) platform.files().AddFile(kPrefsJs, prefs_js);
    if (user_js != nullptr) platform.files().AddFile(kUserJs, user_js);
    prefs.SetFolder(kFolder);
  }
  Fixture& Load() {
    prefs.LoadFirefoxPreferences();
    return *this;
  }
  std::string UserJs() { return platform.files().Text(kUserJs).value_or("<none>"); }
};

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs NamesAndValues(std::string_view text) {
  Pairs out;
  for (const Statement& st : ParseStatements(text)) out.emplace_back(st.name, st.value);
  return out;
}

TEST(FirefoxProfile, ProfilesIniVariants) {
  struct Row {
    const char* what;
    const char* ini;  // null: no profiles.ini
    std::vector<std::string> folders;  // folders that exist
    std::string expected;
  };
  const std::string abs = "D:\\Firefox Profiles\\work";
  const Row rows[] = {
      {"no file", nullptr, {kProfile}, ""},
      {"no default: Profile0", "[Profile1]\nIsRelative=1\nPath=Profiles/b\n[Profile0]\nIsRelative=1\nPath=Profiles/a\n",
       {kFolder + "Profiles\\a", kFolder + "Profiles\\b"}, kFolder + "Profiles/a"},
      {"second profile is the default",
       "[Profile0]\nIsRelative=1\nPath=Profiles/a\n\n[Profile1]\nIsRelative=1\nPath=Profiles/b\nDefault=1\n",
       {kFolder + "Profiles\\a", kFolder + "Profiles\\b"}, kFolder + "Profiles/b"},
      {"absolute path", "[Profile0]\r\nIsRelative=0\r\nPath=D:\\Firefox Profiles\\work\r\nDefault=1\r\n", {abs}, abs},
      {"IsRelative missing reads as 0", "[Profile0]\nPath=D:\\Firefox Profiles\\work\n", {abs}, abs},
      {"install default wins over Default=1",
       "[Profile1]\nName=old\nIsRelative=1\nPath=Profiles/old\nDefault=1\n\n[Profile0]\nName=release\nIsRelative=1\n"
       "Path=Profiles/x.default-release\n\n[Install308046B0AF4A39CB]\nDefault=Profiles/x.default-release\nLocked=1\n",
       {kFolder + "Profiles\\old", kFolder + "Profiles\\x.default-release"}, kFolder + "Profiles/x.default-release"},
      {"install default naming an absolute profile",
       "[Profile0]\nIsRelative=1\nPath=Profiles/a\nDefault=1\n[Profile1]\nIsRelative=0\nPath=D:\\Firefox Profiles\\work\n"
       "[InstallE7CF176E110C211B]\nDefault=D:\\Firefox Profiles\\work\n",
       {kFolder + "Profiles\\a", abs}, abs},
      {"empty install default falls back", "[InstallAB]\nDefault=\n[Profile0]\nIsRelative=1\nPath=Profiles/a\n",
       {kFolder + "Profiles\\a"}, kFolder + "Profiles/a"},
      {"no Profile0 and no default", "[General]\nStartWithLastProfile=1\n[Profile3]\nPath=x\n", {}, ""},
      {"empty path", "[Profile0]\nIsRelative=1\nPath=\n", {}, ""},
      {"profile folder missing", "[Profile0]\nIsRelative=1\nPath=Profiles/gone\n", {}, ""},
      {"keys in any case, blanks, comments and a BOM",
       "\xEF\xBB\xBF; profiles\n[profile0]\n  isrelative = 1 \n path = Profiles/a.default/ \n", {kProfile},
       kFolder + "Profiles/a.default"},
  };
  for (const Row& row : rows) {
    platform::memory::MemoryPlatform platform;
    if (row.ini != nullptr) platform.files().AddFile(kFolder + "profiles.ini", std::string(row.ini));
    for (const std::string& f : row.folders) platform.files().AddDirectory(f);
    FirefoxPrefs prefs(platform.files());
    prefs.SetFolder(kFolder);
    prefs.LoadFirefoxPreferences();
    EXPECT_EQ(prefs.ProfileFolder(), row.expected) << row.what;
    EXPECT_EQ(platform.files().write_count(), 0) << row.what;
  }
}

TEST(FirefoxStatements, ParsedAsFirefoxWritesThem) {
  struct Row {
    const char* what;
    std::string text;
    Pairs expected;
  };
  const Row rows[] = {
      {"plain forms", "user_pref(\"a\", true);\nuser_pref(\"b\", 2);\nuser_pref(\"c\", \"x\");\n",
       {{"a", "true"}, {"b", "2"}, {"c", "\"x\""}}},
      {"; and ) inside a string", "user_pref(\"h\", \"http://x/?a=1;b=(2)\");user_pref(\"n\", -5);",
       {{"h", "\"http://x/?a=1;b=(2)\""}, {"n", "-5"}}},
      {"escaped quote", "user_pref(\"q\", \"say \\\"hi\\\"; ok\");", {{"q", "\"say \\\"hi\\\"; ok\""}}},
      {"two backslashes before a quote end the string",
       "user_pref(\"p\", \"C:\\\\\");user_pref(\"z\", 1);", {{"p", "\"C:\\\\\""}, {"z", "1"}}},
      {"comments and blank lines",
       "// user_pref(\"gone1\", 1);\r\n\r\n/* user_pref(\"gone2\", 2);\r\n */\r\n# user_pref(\"gone3\", 3);\r\n"
       "user_pref(\"kept\", 4); // after\r\n",
       {{"kept", "4"}}},
      {"a comment line before a statement is not part of it", "user_pref(\"a\", 1);\n// note\nuser_pref(\"b\", 2);\n",
       {{"a", "1"}, {"b", "2"}}},
      {"statement over lines, any spacing", "user_pref (\n  \"a\" ,\n\t3 ) ;", {{"a", "3"}}},
      {"single quotes", "user_pref('s', 'it''s');user_pref('t', 'a\"b');", {{"t", "'a\"b'"}}},
      {"malformed statement skipped to its end",
       "user_pref(\"bad\" 1);user_pref(\"ok\", 1);user_pref(\"bad2\", maybe);user_pref(\"ok2\", false);",
       {{"ok", "1"}, {"ok2", "false"}}},
      {"other kinds are no user preferences", "pref(\"d\", 1);sticky_pref(\"s\", 2);user_pref(\"u\", 3, sticky);",
       {{"u", "3"}}},
      {"text before the first statement", "garbage here; user_pref(\"a\", 1);", {{"a", "1"}}},
      {"unterminated string at the end", "user_pref(\"a\", 1);user_pref(\"b\", \"open;", {{"a", "1"}}},
      {"unterminated comment", "user_pref(\"a\", 1);/* user_pref(\"b\", 2);", {{"a", "1"}}},
      {"escapes in the name are undone", "user_pref(\"a\\x2eb\", 1);", {{"a.b", "1"}}},
  };
  for (const Row& row : rows) EXPECT_EQ(NamesAndValues(row.text), row.expected) << row.what;
}

TEST(FirefoxStatements, StringValuesRoundTrip) {
  for (const std::string text : {"plain", "a\"b", "C:\\dir\\", "\\\"", "line\r\nbreak", "ümlaut", ""}) {
    const std::string token = QuotedString(text);
    EXPECT_TRUE(IsValueToken(token)) << token;
    EXPECT_EQ(UnquotedString(token), text);
    const Pairs parsed = NamesAndValues("user_pref(\"x\", " + token + ");");
    ASSERT_EQ(parsed.size(), 1u) << token;
    EXPECT_EQ(parsed[0].second, token);
  }
  EXPECT_EQ(QuotedString("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(UnquotedString("'\\u00e9\\ud83d\\ude00'"), "\xC3\xA9\xF0\x9F\x98\x80");
  for (const char* bad : {"\"a\"b\"", "\"open", "yes", "True", "1 2", "2)", "", "\"bad \\q\""}) {
    EXPECT_FALSE(IsValueToken(bad)) << bad;
  }
}

TEST(FirefoxLookup, UserJsWinsThenTheLaterStatementThenAChange) {
  Fixture f("user_pref(\"browser.blink_allowed\", false);\nuser_pref(\"ui.submenuDelay\", 100);\n"
            "user_pref(\"ui.submenuDelay\", 200);\nuser_pref(\"other\", \"browser.startup.homepage\");\n",
            "user_pref(\"Browser.Blink_Allowed\", true);\nuser_pref(\"browser.startup.homepage\", \"http://a.b/\");\n");
  f.Load();
  struct Row {
    const char* name;
    std::string expected;
  };
  const Row rows[] = {
      {"\"browser.blink_allowed\"", "true"},
      {"browser.blink_allowed", "true"},
      {"\"ui.submenuDelay\"", "200"},
      {"\"browser.startup.homepage\"", "\"http://a.b/\""},
      {"\"browser.startup\"", kNotFound},  // part of another name
      {"\"other\"", "\"browser.startup.homepage\""},
      {"\"missing\"", kNotFound},
  };
  for (const Row& row : rows) EXPECT_EQ(f.prefs.GetFirefoxPref(row.name), row.expected) << row.name;
  ASSERT_TRUE(f.prefs.SetFirefoxPref("\"ui.submenudelay\"", "300"));
  EXPECT_EQ(f.prefs.GetFirefoxPref("\"ui.submenuDelay\""), "300");
  ASSERT_TRUE(f.prefs.SetFirefoxPref("\"browser.blink_allowed\"", ""));
  EXPECT_EQ(f.prefs.GetFirefoxPref("\"browser.blink_allowed\""), kNotFound);
  std::string out;
  f.prefs.GetFirefoxPref("\"missing\"", out);
  EXPECT_EQ(out, "Noexsit");
}

TEST(FirefoxChanges, SetAndRemoveInBothFilesAndTheSavedUserJsByteForByte) {
  const char* prefs_js =
      "// Mozilla User Preferences\r\n\r\nuser_pref(\"browser.blink_allowed\", false);\r\n"
      "user_pref(\"ui.submenuDelay\", 300);\r\nuser_pref(\"browser.tabs.closeButtons\", 1);\r\n";
  const char* user_js =
      "// my own settings\r\n/* keep\r\n   this */\r\n\r\nuser_pref(\"browser.blink_allowed\", true);  // mine\r\n"
      "user_pref(\"browser.tabs.tabMinWidth\", 100);\r\n"
      "user_pref(\"keep.me\", \"as ; is\");\r\n"
      "user_pref(\"ui.submenuDelay\", 10); user_pref(\"keep.too\", 1);\r\n";
  Fixture f(prefs_js, user_js);
  f.Load();
  EXPECT_TRUE(f.prefs.SetFirefoxPref("\"browser.blink_allowed\"", "false"));  // in both files
  EXPECT_TRUE(f.prefs.SetFirefoxPref("\"browser.tabs.tabMinWidth\"", ""));    // user.js only
  EXPECT_TRUE(f.prefs.SetFirefoxPref("\"ui.submenuDelay\"", ""));             // both, shares a line
  EXPECT_TRUE(f.prefs.SetFirefoxPref("\"browser.tabs.closeButtons\"", "3"));  // prefs.js only
  EXPECT_TRUE(f.prefs.SetFirefoxPref("\"browser.startup.homepage\"", QuotedString("http://x/?q=\"a\"")));  // new
  EXPECT_TRUE(f.prefs.SetFirefoxPref("\"never.there\"", ""));
  EXPECT_FALSE(f.prefs.SetFirefoxPref("\"browser.startup.homepage\"", "\"http://x/\"y\""));

  EXPECT_EQ(f.prefs.Statements(),
            (std::vector<std::string>{"user_pref(\"browser.blink_allowed\", false);",
                                      "user_pref(\"browser.tabs.closeButtons\", 3);",
                                      "user_pref(\"browser.blink_allowed\", false);",
                                      "user_pref(\"keep.me\", \"as ; is\");", "user_pref(\"keep.too\", 1);",
                                      "user_pref(\"browser.startup.homepage\", \"http://x/?q=\\\"a\\\"\");"}));
  EXPECT_EQ(f.platform.files().write_count(), 0) << "nothing is written before Save";

  const SaveResult saved = f.prefs.Save();
  EXPECT_TRUE(saved.ok);
  EXPECT_TRUE(saved.written);
  EXPECT_EQ(saved.path, kUserJsNamed);
  EXPECT_EQ(f.UserJs(),
            "// my own settings\r\n/* keep\r\n   this */\r\n\r\nuser_pref(\"browser.blink_allowed\", false);  // mine\r\n"
            "user_pref(\"keep.me\", \"as ; is\");\r\n"
            " user_pref(\"keep.too\", 1);\r\n"
            "user_pref(\"browser.tabs.closeButtons\", 3);\r\n"
            "user_pref(\"browser.startup.homepage\", \"http://x/?q=\\\"a\\\"\");\r\n");
  EXPECT_EQ(f.platform.files().Text(kPrefsJs), std::string(prefs_js)) << "prefs.js is Firefox's own";
  EXPECT_FALSE(f.prefs.HasPendingChanges());
  EXPECT_EQ(f.prefs.GetFirefoxPref("\"ui.submenuDelay\""), kNotFound);
  EXPECT_EQ(f.prefs.GetFirefoxPref("\"browser.tabs.closeButtons\""), "3");

  // A later change builds on the saved file; no change, no write.
  const int writes = f.platform.files().write_count();
  EXPECT_FALSE(f.prefs.Save().written);
  EXPECT_EQ(f.platform.files().write_count(), writes);
  f.prefs.SetFirefoxPref("\"keep.too\"", "2");
  f.prefs.Save();
  EXPECT_NE(f.UserJs().find(" user_pref(\"keep.too\", 2);\r\nuser_pref(\"browser.tabs.closeButtons\", 3);"),
            std::string::npos);
}

TEST(FirefoxChanges, NewUserJsGetsOnlyTheChangesNeverPrefsJs) {
  struct Row {
    const char* user_js;  // null: none
    std::string expected;
  };
  const Row rows[] = {
      {nullptr, "user_pref(\"browser.link.open_newwindow\", 3);\r\n"},
      {"", "user_pref(\"browser.link.open_newwindow\", 3);\r\n"},
      {"// no break at the end", "// no break at the end\r\nuser_pref(\"browser.link.open_newwindow\", 3);\r\n"},
      {"user_pref(\"a\", 1);\n", "user_pref(\"a\", 1);\nuser_pref(\"browser.link.open_newwindow\", 3);\n"},
      // A broken end would swallow an appended statement: it goes after the last good one.
      {"user_pref(\"a\", 1);\nuser_pref(\"b\", \"open",
       "user_pref(\"a\", 1);\nuser_pref(\"browser.link.open_newwindow\", 3);\nuser_pref(\"b\", \"open"},
      {"user_pref(\"a\", 1);\r\nuser_pref(\"b\", 2)", "user_pref(\"a\", 1);\r\nuser_pref(\"browser.link.open_newwindow\", 3);\r\nuser_pref(\"b\", 2)"},
      {"/* never closed", "user_pref(\"browser.link.open_newwindow\", 3);\r\n/* never closed"},
  };
  for (const Row& row : rows) {
    Fixture f("user_pref(\"browser.link.open_newwindow\", 2);\nuser_pref(\"big.list\", \"x\");\n", row.user_js);
    f.Load();
    EXPECT_FALSE(f.platform.files().FileExists(kUserJs) && row.user_js == nullptr) << "loading creates no user.js";
    EXPECT_EQ(f.prefs.GetFirefoxPref("\"browser.link.open_newwindow\""), "2");
    f.prefs.SetFirefoxPref("\"browser.link.open_newwindow\"", "3");
    ASSERT_TRUE(f.prefs.Save().ok);
    EXPECT_EQ(f.UserJs(), row.expected);
  }
}

TEST(FirefoxChanges, LoadedOncePerRunSoPendingChangesStay) {
  Fixture f("user_pref(\"browser.startup.homepage\", \"http://old/\");\n", nullptr);
  int messages = 0;
  f.prefs.SetProcessMessages([&] { ++messages; });
  f.Load();
  EXPECT_EQ(messages, 1) << "once per statement";
  f.prefs.SetFirefoxPref("\"browser.startup.homepage\"", QuotedString("http://typed/"));
  f.platform.files().AddFile(kPrefsJs, "user_pref(\"browser.startup.homepage\", \"http://disk/\");\n");
  f.Load();
  EXPECT_EQ(f.prefs.GetFirefoxPref("\"browser.startup.homepage\""), "\"http://typed/\"");
  EXPECT_EQ(messages, 1);
  EXPECT_EQ(f.platform.files().write_count(), 0);
  EXPECT_FALSE(f.platform.files().FileExists(kUserJs));
}

TEST(FirefoxChanges, AFailedSaveChangesNothingAndStaysPending) {
  const char* user_js = "// mine\r\nuser_pref(\"a\", 1);\r\n";
  struct Row {
    const char* what;
    bool fail_read;
    bool fail_write;
    bool read_only;
  };
  for (const Row& row : {Row{"write refused", false, true, false}, Row{"read refused", true, false, false},
                         Row{"read-only file", false, false, true}}) {
    Fixture f(nullptr, user_js);
    f.Load();
    f.prefs.SetFirefoxPref("\"a\"", "2");
    if (row.fail_read) f.platform.files().FailRead(kUserJs);
    if (row.fail_write) f.platform.files().FailWrite(kUserJs);
    if (row.read_only) f.platform.files().AddFile(kUserJs, user_js, platform::memory::kFileAttributeReadOnly);
    const SaveResult r = f.prefs.Save();
    EXPECT_FALSE(r.ok) << row.what;
    EXPECT_FALSE(r.written) << row.what;
    EXPECT_EQ(r.path, kUserJsNamed) << row.what;
    EXPECT_EQ(r.error, platform::win::kAccessDenied) << row.what;
    EXPECT_NE(r.reason.find("Access is denied."), std::string::npos) << r.reason;
    EXPECT_EQ(f.UserJs(), user_js) << row.what;
    EXPECT_TRUE(f.prefs.HasPendingChanges()) << row.what;
    EXPECT_EQ(f.prefs.GetFirefoxPref("\"a\""), "2") << row.what;
  }
  // Without a profile there is nowhere to save to.
  platform::memory::MemoryPlatform platform;
  FirefoxPrefs prefs(platform.files());
  prefs.SetFolder(kFolder);
  prefs.LoadFirefoxPreferences();
  prefs.SetFirefoxPref("\"a\"", "1");
  const SaveResult r = prefs.Save();
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.path, kFolder + "profiles.ini");
  EXPECT_EQ(platform.files().write_count(), 0);
}

// A "Unicode" file from an old editor: appending UTF-8 to it would leave a file in two
// encodings, so it is refused like a file that cannot be written.
TEST(FirefoxChanges, AUtf16UserJsIsRefusedAndLeftAsItIs) {
  for (const std::string& mark : {std::string("\xFF\xFE"), std::string("\xFE\xFF")}) {
    std::string text = mark;
    for (const char ch : std::string("user_pref(\"a\", 1);\r\n")) {
      text += mark[0] == '\xFF' ? std::string{ch, '\0'} : std::string{'\0', ch};
    }
    Fixture f(nullptr, nullptr);
    f.platform.files().AddFile(kUserJs, text);
    f.Load();
    f.prefs.SetFirefoxPref("\"b\"", "2");
    const SaveResult r = f.prefs.Save();
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.written);
    EXPECT_EQ(r.path, kUserJsNamed);
    EXPECT_NE(r.reason.find("UTF-16"), std::string::npos) << r.reason;
    EXPECT_EQ(f.platform.files().Text(kUserJs), text);
    EXPECT_EQ(f.platform.files().write_count(), 0);
    EXPECT_TRUE(f.prefs.HasPendingChanges());
  }
}

TEST(FirefoxChanges, Utf8WithAndWithoutByteOrderMark) {
  for (const bool bom : {false, true}) {
    const std::string mark = bom ? "\xEF\xBB\xBF" : "";
    const std::string body = "user_pref(\"browser.startup.homepage\", \"http://m\xC3\xBCnchen.de/\");\r\n";
    Fixture f(nullptr, (mark + body).c_str());
    f.Load();
    EXPECT_EQ(UnquotedString(f.prefs.GetFirefoxPref("\"browser.startup.homepage\"")), "http://m\xC3\xBCnchen.de/");
    f.prefs.SetFirefoxPref("\"browser.startup.homepage\"", QuotedString("http://\xC5\xBC\xC3\xB3\xC5\x82w.pl/"));
    ASSERT_TRUE(f.prefs.Save().ok);
    EXPECT_EQ(f.UserJs(), mark + "user_pref(\"browser.startup.homepage\", \"http://\xC5\xBC\xC3\xB3\xC5\x82w.pl/\");\r\n");
  }
}

}  // namespace
}  // namespace corvanel::firefox
