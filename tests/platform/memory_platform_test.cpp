// Test hooks of the memory system parameters, files, shell, dialogs and restart, and the
// text rules they share.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/memory/memory_platform.h"
#include "platform/memory/text.h"

namespace corvanel::platform::memory {
namespace {

using namespace win;

TEST(MemorySpi, FreshPrefixDefaults) {
  MemorySystemParameters spi_params;
  struct Row {
    std::uint32_t get, value;
  };
  for (const Row& r : {Row{spi::GETFONTSMOOTHING, 1}, Row{spi::GETFONTSMOOTHINGTYPE, 1},
                       Row{spi::GETFOREGROUNDFLASHCOUNT, 3}, Row{spi::GETWHEELSCROLLLINES, 3},
                       Row{spi::GETMOUSEHOVERWIDTH, 4}, Row{spi::GETMOUSEHOVERHEIGHT, 4},
                       Row{spi::GETMOUSEHOVERTIME, 400}, Row{spi::GETBEEP, 1}}) {
    std::uint32_t v = 0xFFFF;
    EXPECT_TRUE(spi_params.Spi(r.get, 0, &v, 0)) << r.get;
    EXPECT_EQ(r.value, v) << r.get;
  }
  std::int32_t mm[5] = {20, 0, 0, 0, 0};
  ASSERT_TRUE(spi_params.Spi(spi::GETMINIMIZEDMETRICS, 20, mm, 0));
  EXPECT_EQ(154, mm[1]);
  EXPECT_EQ(8, mm[4]);
}

TEST(MemorySpi, CallLogKeepsBlocksAndNumbers) {
  MemorySystemParameters spi_params;
  std::int32_t mm[5] = {20, 100, 2, 3, 1};
  ASSERT_TRUE(spi_params.Spi(spi::SETMINIMIZEDMETRICS, 20, mm, 1));
  mm[4] = 99;  // the log holds the bytes as they were at the call
  ASSERT_TRUE(spi_params.Spi(spi::SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(200000), 1));
  // Flags read back as 0/1 whatever non-zero value was passed; uiParam actions ignore pvParam.
  ASSERT_TRUE(spi_params.Spi(spi::SETMENUANIMATION, 0, reinterpret_cast<void*>(5), 0));
  ASSERT_TRUE(spi_params.Spi(spi::SETBEEP, 0, reinterpret_cast<void*>(1), 0));
  EXPECT_FALSE(spi_params.Spi(0x7FF0, 1, nullptr, 0));

  const auto& calls = spi_params.calls();
  ASSERT_EQ(5u, calls.size());
  ASSERT_EQ(20u, calls[0].block.size());
  std::int32_t logged[5];
  std::memcpy(logged, calls[0].block.data(), 20);
  EXPECT_EQ(1, logged[4]);
  EXPECT_EQ((MemorySystemParameters::MinimizedMetrics{100, 2, 3, 1}), spi_params.minimized_metrics());
  EXPECT_EQ(200000u, calls[1].pv);
  EXPECT_TRUE(calls[1].block.empty());
  EXPECT_EQ(1u, calls[1].win_ini);
  EXPECT_EQ(std::optional<std::uint32_t>(1), spi_params.Value(spi::GETMENUANIMATION));
  EXPECT_EQ(std::optional<std::uint32_t>(0), spi_params.Value(spi::GETBEEP));
  EXPECT_FALSE(calls[4].result);

  spi_params.FailAction(spi::SETBEEP);
  EXPECT_FALSE(spi_params.Spi(spi::SETBEEP, 1, nullptr, 0));
  EXPECT_EQ(std::optional<std::uint32_t>(0), spi_params.Value(spi::GETBEEP));
}

TEST(MemoryText, CaseFoldingAndWildcards) {
  struct Fold {
    const char* a;
    const char* b;
    bool equal;
  };
  for (const Fold& f : {Fold{"abc", "ABC", true}, Fold{"\xC3\xBF", "\xC5\xB8", true} /* ÿ Ÿ */,
                        Fold{"\xC5\x8D", "\xC5\x8C", true} /* ō Ō */, Fold{"\xCF\x82", "\xCE\xA3", true} /* ς Σ */,
                        Fold{"\xC3\x9F", "SS", false} /* ß */, Fold{"a", "b", false}}) {
    EXPECT_EQ(f.equal, EqualsNoCase(f.a, f.b)) << f.a << " / " << f.b;
  }
  struct Wild {
    const char* pattern;
    const char* name;
    bool match;
  };
  for (const Wild& w : {Wild{"*.lng", "English.LNG", true}, Wild{"*.lng", "a.lng.bak", false},
                        Wild{"?.lng", "ab.lng", false}, Wild{"*.*", "noext", true}, Wild{"*", "", true},
                        Wild{"a*b*c", "aXbYc", true}, Wild{"a*b*c", "aXcYb", false}}) {
    EXPECT_EQ(w.match, WildcardMatch(w.pattern, w.name)) << w.pattern << " " << w.name;
  }
}

TEST(MemoryFilesTest, ListingOrderFailuresAndReadOnlyTargets) {
  MemoryFiles files;
  files.AddFile("C:\\Program Files\\Corvanel\\Language\\Zulu.lng", "z");
  files.AddFile("c:/program files/corvanel/language/Alpha.lng", "a");
  files.AddDirectory("C:\\Program Files\\Corvanel\\Language\\Sub.lng");
  EXPECT_EQ((std::vector<std::string>{"Zulu.lng", "Alpha.lng", "Sub.lng"}),
            files.List("C:\\PROGRAM FILES\\Corvanel\\Language", "*.lng"));

  const std::string js = "C:\\users\\user\\AppData\\Roaming\\user.js";
  files.AddFile(js, "old");
  files.FailWrite(js);
  EXPECT_FALSE(files.WriteFileAtomic(js, {'n', 'e', 'w'}));
  EXPECT_EQ(std::optional<std::string>("old"), files.Text(js));
  files.FailWrite(js, false);
  files.FailRead(js);
  std::vector<std::uint8_t> data;
  EXPECT_FALSE(files.ReadFile(js, &data));
  files.FailRead(js, false);

  files.SetAttributes(js, kFileAttributeReadOnly);
  EXPECT_FALSE(files.WriteFileAtomic(js, {'n'}));
  files.SetAttributes(js, FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(files.WriteFileAtomic(js, {'n'}));
  EXPECT_EQ(kFileAttributeArchive, files.GetAttributes(js));
  EXPECT_EQ(1, files.write_count());
}

TEST(MemoryShellTest, EnvironmentAndLogs) {
  MemoryShell shell;
  shell.SetEnv("Mixed", "v");
  struct Row {
    const char* in;
    const char* out;
  };
  for (const Row& r : {Row{"%MIXED%", "v"}, Row{"%unknown%%mixed%", "%unknown%v"}, Row{"%%", "%%"},
                       Row{"a%mixed", "a%mixed"}, Row{"%%mixed%", "%v"}}) {
    EXPECT_EQ(r.out, shell.ExpandEnvironment(r.in)) << r.in;
  }
  shell.UnsetEnv("MIXED");
  EXPECT_EQ("%Mixed%", shell.ExpandEnvironment("%Mixed%"));
  shell.ChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST);
  EXPECT_EQ(42, shell.Execute(7, "open", "firefox.exe", "", "", 1));
  ASSERT_EQ(1u, shell.notifications().size());
  EXPECT_EQ(SHCNE_ASSOCCHANGED, shell.notifications()[0].event_id);
  ASSERT_EQ(1u, shell.executions().size());
  EXPECT_EQ("firefox.exe", shell.executions()[0].file);
}

TEST(MemoryDialogsTest, ScriptedAnswersThenDefaults) {
  MemoryDialogs dialogs;
  dialogs.QueueMessageBox(IDYES);
  dialogs.QueueOpenFile("C:\\x.exe");
  dialogs.QueueOpenFile(std::nullopt);
  dialogs.QueueColor(0x00FF00);
  EXPECT_EQ(IDYES, dialogs.MessageBox(1, "Restart?", "Corvanel", MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(IDNO, dialogs.MessageBox(1, "Restart?", "Corvanel", MB_YESNO));
  EXPECT_EQ(IDOK, dialogs.MessageBox(0, "Note", "Corvanel", MB_OK | MB_ICONWARNING));
  std::string path;
  EXPECT_TRUE(dialogs.OpenFile(1, {{"Executable file", "*.exe"}}, "", &path));
  EXPECT_EQ("C:\\x.exe", path);
  EXPECT_FALSE(dialogs.OpenFile(1, {}, "", &path));
  std::uint32_t color = 0x123456;
  EXPECT_TRUE(dialogs.ChooseColor(1, &color));
  EXPECT_EQ(0x00FF00u, color);
  EXPECT_FALSE(dialogs.ChooseColor(1, &color));
  EXPECT_EQ(0u, dialogs.pending_answers());

  const auto& calls = dialogs.calls();
  ASSERT_EQ(7u, calls.size());
  EXPECT_TRUE(calls[0].scripted);
  EXPECT_FALSE(calls[1].scripted);
  EXPECT_EQ(MB_YESNO | MB_ICONQUESTION, calls[0].flags);
  EXPECT_EQ("*.exe", calls[3].filters.at(0).pattern);
  EXPECT_EQ(0x123456u, calls[5].color);
}

TEST(MemorySystemTest, VersionsRestartAndCodePage) {
  MemoryPlatform p;
  p.system().set_version(5, 2);
  OsVersion v;
  ASSERT_TRUE(p.system().GetVersion(&v));
  EXPECT_EQ(3790u, v.build);
  p.system().set_native_info_available(false);
  std::uint16_t arch = 0;
  EXPECT_FALSE(p.system().GetNativeProcessorArchitecture(&arch));
  EXPECT_EQ("\x80\x9F?", p.system().Utf8ToAnsi("\xE2\x82\xAC\xC5\xB8\xF0\x9F\x8E\x89"));  // € Ÿ 🎉

  p.restart().set_privilege_result(false);
  EXPECT_FALSE(p.restart().EnableShutdownPrivilege());
  EXPECT_TRUE(p.restart().ExitWindows(EWX_REBOOT, 0));
  ASSERT_EQ(1u, p.restart().exit_calls().size());
  EXPECT_EQ(EWX_REBOOT, p.restart().exit_calls()[0].flags);
}

}  // namespace
}  // namespace corvanel::platform::memory
