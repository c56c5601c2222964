#include "lang/language.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/message_texts.h"
#include "platform/memory/memory_platform.h"

namespace corvanel::lang {
namespace {

using Names = std::vector<std::string>;

constexpr const char* kFolder = "C:\\Program Files\\Corvanel\\Language";

class LanguageTest : public ::testing::Test {
 protected:
  void AddLanguage(const std::string& file, const std::string& text) {
    platform_.files().AddFile(std::string(kFolder) + "\\" + file, text);
  }

  platform::memory::MemoryPlatform platform_;
};

TEST(DefaultLanguageFolderTest, IsTheExecutablesFolderAndLanguage) {
  EXPECT_EQ(DefaultLanguageFolder("C:\\Program Files\\Corvanel\\corvanel.exe"), kFolder);
  EXPECT_EQ(DefaultLanguageFolder("D:\\corvanel.exe"), "D:\\Language");
  EXPECT_EQ(DefaultLanguageFolder("corvanel.exe"), "Language");
}

TEST_F(LanguageTest, WithoutALanguageFolderEveryTextIsItsDefault) {
  const TLanguage language(platform_, "", "");
  EXPECT_EQ(language.LanguageFolder(), kFolder);
  EXPECT_TRUE(language.Names().empty());
  EXPECT_EQ(language.CurrentIndex(), -1);
  EXPECT_EQ(language.ReadLanguageText("Corvanel_M", "D_Menu", "Menu"), "Menu");
  EXPECT_FALSE(language.ValueExists("Main", "DisplayName"));

  const MessageTexts texts = LoadMessageTexts(language);
  for (std::size_t i = 0; i < kMessageCount; ++i) {
    const auto id = static_cast<MessageId>(i);
    EXPECT_EQ(texts.Get(id), MessageDefault(id)) << MessageKey(id);
  }
}

TEST_F(LanguageTest, TheFileListedLastIsLoadedAndEachKeepsItsOwnDisplayName) {
  AddLanguage("Deutsch.lng", "[Main]\nDisplayName=Deutsch (Deutschland)\n[Corvanel_M]\nD_Menu=Men\xFC\n");
  AddLanguage("Plain.lng", "[Corvanel_M]\nD_Menu=Plain menu\n");
  AddLanguage("Francais.lng", "[Main]\nDisplayName=Fran\xE7" "ais\n[Corvanel_M]\nD_Menu=Menu FR\n");
  platform_.files().AddFile(std::string(kFolder) + "\\readme.txt", std::string("[Corvanel_M]\nD_Menu=no\n"));

  const TLanguage language(platform_, "", "");
  EXPECT_EQ(language.Names(), (Names{"Deutsch", "Plain", "Francais"}));
  EXPECT_EQ(language.DisplayNames(), (Names{"Deutsch (Deutschland)", "Plain", "Fran\xC3\xA7" "ais"}));
  EXPECT_EQ(language.CurrentIndex(), 2);
  EXPECT_EQ(language.ReadLanguageText("Corvanel_M", "D_Menu", "Menu"), "Menu FR");
}

TEST_F(LanguageTest, SetLanguageFallsBackToEnglishAndOtherwiseKeepsTheLoadedTexts) {
  AddLanguage("English.lng", "[Corvanel_M]\nD_Menu=Menu EN\n");
  AddLanguage("Deutsch.lng", "[Corvanel_M]\nD_Menu=Men\xFC\n");
  TLanguage language(platform_, "", "");
  ASSERT_EQ(language.CurrentIndex(), 1);

  language.SetLanguage("english");
  EXPECT_EQ(language.CurrentIndex(), 0);
  language.SetLanguage("DEUTSCH");
  EXPECT_EQ(language.CurrentIndex(), 1);
  language.SetLanguage("Klingon");
  EXPECT_EQ(language.CurrentIndex(), 0);
  EXPECT_EQ(language.ReadLanguageText("Corvanel_M", "D_Menu", ""), "Menu EN");

  // A listed language whose file has gone also falls back to English.
  language.SetLanguage("Deutsch");
  ASSERT_TRUE(platform_.files().Remove(std::string(kFolder) + "\\Deutsch.lng"));
  language.SetLanguage("Deutsch");
  EXPECT_EQ(language.CurrentIndex(), 0);

  // Without English nothing changes.
  language.SetLanguage("Deutsch");
  ASSERT_TRUE(platform_.files().Remove(std::string(kFolder) + "\\English.lng"));
  language.SetLanguage("Klingon");
  EXPECT_EQ(language.CurrentIndex(), 0);
  EXPECT_EQ(language.ReadLanguageText("Corvanel_M", "D_Menu", ""), "Menu EN");
}

TEST_F(LanguageTest, AnUnreadableFileKeepsTheTextsIndexAndDisplayNameOfNone) {
  AddLanguage("Deutsch.lng", "[Main]\nDisplayName=Deutsch\n[Corvanel_M]\nD_Menu=Men\xFC\n");
  AddLanguage("Locked.lng", "[Main]\nDisplayName=Locked\n[Corvanel_M]\nD_Menu=Locked\n");
  platform_.files().FailRead(std::string(kFolder) + "\\Locked.lng");

  const TLanguage language(platform_, "", "");
  EXPECT_EQ(language.Names(), (Names{"Deutsch", "Locked"}));
  EXPECT_EQ(language.DisplayNames(), (Names{"Deutsch", "Locked"}));
  EXPECT_EQ(language.CurrentIndex(), 0);
  EXPECT_EQ(language.ReadLanguageText("Corvanel_M", "D_Menu", ""), "Men\xC3\xBC");
}

TEST_F(LanguageTest, AnExtraFolderIsScannedAfterTheLanguageFolder) {
  AddLanguage("Deutsch.lng", "[Corvanel_M]\nD_Menu=Men\xFC\n");
  platform_.files().AddFile("D:\\More\\Extra.lng", std::string("[Main]\nDisplayName=Extra!\n[Corvanel_M]\nD_Menu=X\n"));

  const TLanguage language(platform_, "Pre", "D:\\More\\");
  EXPECT_EQ(language.Prefix(), "Pre");
  EXPECT_EQ(language.LanguageFolder(), "D:\\More");
  EXPECT_EQ(language.Names(), (Names{"Deutsch", "Extra"}));
  EXPECT_EQ(language.DisplayNames(), (Names{"Deutsch", "Extra!"}));
  EXPECT_EQ(language.CurrentIndex(), 1);
  EXPECT_EQ(language.ReadLanguageText("corvanel_m", "d_menu", ""), "X");
}

TEST_F(LanguageTest, MessageTextsComeFromTheFileAndKeepTheirDefaultsOtherwise) {
  AddLanguage("Test.lng",
              "; translated in part\n"
              "D_Browser=before any section\n"
              "[corvanel_m]\n"
              "  d_menu   =   \"Men\xFC\"  \n"
              ";D_Others=commented out\n"
              "D_Loading=\n"
              "[Other]\n"
              "D_System=wrong section\n");
  const MessageTexts texts = LoadMessageTexts(TLanguage(platform_, "", ""));

  EXPECT_EQ(texts[MessageId::D_Menu], "\"Men\xC3\xBC\"");
  EXPECT_EQ(texts[MessageId::D_Loading], "");
  for (const MessageId id : {MessageId::D_Browser, MessageId::D_Others, MessageId::D_System}) {
    EXPECT_EQ(texts[id], MessageDefault(id)) << MessageKey(id);
  }
  EXPECT_EQ(texts[MessageId::D_ClearIEHistory], "Do you want to delete IE history? You can not revert back!");

  ASSERT_NE(texts.Find("D_MENU"), nullptr);
  EXPECT_EQ(*texts.Find("D_MENU"), texts[MessageId::D_Menu]);
  EXPECT_EQ(texts.Find("D_Nothing"), nullptr);
}

}  // namespace
}  // namespace corvanel::lang

namespace corvanel::lang {
namespace {

TEST(FormatMessageTest, PlaceholdersAndLineBreaks) {
  struct Row {
    std::string_view text;
    std::string expected;
  };
  const Row rows[] = {
      {"Key: %2\\nValue: %1", "Key: two\nValue: one"},
      {"%1%1 and %3", "oneone and %3"},             // a placeholder without an argument stays
      {"100%% of %1", "100%% of one"},              // so does a percent sign of the text
      {"ends with \\", "ends with \\"},          // a lone backslash is no line break
      {"%2", "%1"},                                 // an argument is not scanned again
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.text));
    const std::string_view second = row.text == "%2" ? "%1" : "two";
    EXPECT_EQ(FormatMessage(row.text, {"one", second}), row.expected);
  }
}

}  // namespace
}  // namespace corvanel::lang
