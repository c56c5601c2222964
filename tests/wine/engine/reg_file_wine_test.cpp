// The .reg writer and Undo against the real registry: a file the program writes, imported
// with the system's own `reg import`, leaves what Apply leaves; Undo, and the undo file
// imported, leave what was there before Apply. States are compared as `reg export` shows them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/reg_file.h"
#include "engine/registry.h"
#include "engine/setting_queue.h"
#include "engine/undo.h"
#include "platform/reg_text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

namespace corvanel::wine_test {
namespace {

using namespace engine;
using platform::HKCU;
using platform::HKLM;
const std::string kBase = "Software\\CorvanelRoundTrip";
constexpr std::uint32_t kSetBeep = 0x0002, kGetBeep = 0x0001;

std::wstring Wide(const std::string& s) {
  const std::u16string w = platform::Utf8ToUtf16(s);
  return std::wstring(w.begin(), w.end());
}

std::string Temp(const std::string& name) {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH, temp);
  return platform::Utf16ToUtf8(std::u16string(temp, temp + n)) + name;
}

long RunCommand(const std::string& command_line) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring line = Wide(command_line);
  long code = -1;
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) {
      DWORD exit_code = 0;
      GetExitCodeProcess(pi.hProcess, &exit_code);
      code = static_cast<long>(exit_code);
    } else {
      TerminateProcess(pi.hProcess, 1);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  return code;
}

// Both test trees as `reg export` writes them. `by_name` sorts the values of each key: a
// value deleted and written back comes last in the registry's own listing.
std::string Exported(platform::Platform& p, bool by_name) {
  std::string all;
  for (const char* root : {"HKCU", "HKLM"}) {
    const std::string file = Temp("corvanel_roundtrip_export.reg");
    std::vector<std::uint8_t> bytes;
    if (RunCommand("reg.exe export \"" + std::string(root) + "\\" + kBase + "\" \"" + file + "\" /y") != 0 ||
        !p.files().ReadFile(file, &bytes) || bytes.size() < 2) {
      all += std::string(root) + ": (none)\n";
      continue;
    }
    std::u16string wide;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) wide.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    std::string text = platform::Utf16ToUtf8(wide);
    if (by_name) {
      std::string sorted;
      std::size_t at = 0;
      while (at < text.size()) {
        std::size_t end = text.find("\r\n\r\n", at);
        if (end == std::string::npos) end = text.size();
        std::string block = text.substr(at, end - at);
        std::vector<std::string> lines;
        std::size_t s = 0;
        while (s < block.size()) {
          std::size_t e = block.find("\r\n", s);
          if (e == std::string::npos) e = block.size();
          std::string line = block.substr(s, e - s);
          if (!lines.empty() && !lines.back().empty() && lines.back().back() == '\\') {
            lines.back() += line;
          } else {
            lines.push_back(line);
          }
          s = e + 2;
        }
        if (lines.size() > 1) std::sort(lines.begin() + 1, lines.end());
        for (const auto& l : lines) sorted += l + "\n";
        sorted += "\n";
        at = end + 4;
      }
      text = sorted;
    }
    all += std::string(root) + ":\n" + text;
  }
  return all;
}

void Seed(platform::Platform& p) {
  TRegistry reg(p.registry());
  for (const platform::RegKey root : {HKCU, HKLM}) {
    reg.SelectRoot(root);
    reg.RemoveTree("\\" + kBase);
  }
  reg.SelectRoot(HKCU);
  reg.OpenPath("\\" + kBase + "\\Keep", true);
  reg.WriteText("old", "stale");
  reg.WriteNumber("num", 5);
  reg.WriteText("gone", "x");
  reg.OpenPath("\\" + kBase + "\\Tree\\Sub", true);
  reg.WriteNumber("deep", 1);
  reg.OpenPath("\\" + kBase + "\\Tree", true);
  reg.WriteBytes("t", std::vector<std::uint8_t>{1, 2});
  reg.WriteExpandText("e", "%PATH%");
  reg.SelectRoot(HKLM);
  reg.OpenPath("\\" + kBase, true);
  reg.WriteText("m", "x");
  reg.WriteText("m2", "x");
}

std::vector<TRegRecor> Records() {
  const std::string keep = "\\" + kBase + "\\Keep\\";
  std::vector<std::uint8_t> long_binary(40);
  for (std::size_t i = 0; i < long_binary.size(); ++i) long_binary[i] = static_cast<std::uint8_t>(i * 13);
  TRegRecor delete64 = DeleteValueRecord("dv64", HKLM, "\\" + kBase, "m2");
  delete64.Action = kActionDeleteValue64;
  return {
      WriteRecord("sz", HKCU, keep, "", kTypeText, MakeText("C:\\a \"b\"")),
      WriteRecord("num", HKCU, keep, "num", kTypeNumber, MakeInt(-42)),
      WriteRecord("type", HKCU, keep, "old", kTypeNumber, MakeText("1")),
      WriteRecord("exp", HKCU, keep, "exp", kTypeExpandText, MakeText("%SystemRoot%\\x")),
      WriteRecord("bin", HKCU, keep, "bin", kTypeBinary, MakeBytes(long_binary)),
      WriteRecord("ansi", HKCU, keep, "ansi", kTypeBinary, MakeText("abc")),
      WriteRecord("lines", HKCU, keep, "Two\\Lines", kTypeText, MakeText("a\r\nb")),
      WriteRecord("key", HKCU, "\\" + kBase + "\\New\\Leaf\\", "", kTypeOther, Value()),
      DeleteValueRecord("dv", HKCU, keep, "gone"),
      DeleteKeyRecord("dk", HKCU, "\\" + kBase + "\\Tree\\"),
      WriteRecord("hklm", HKLM, "\\" + kBase, "m", kTypeText, MakeText("y")),
      delete64,
  };
}

void Write(platform::Platform& p, const std::string& path, const std::string& text) {
  ASSERT_TRUE(p.files().WriteFileAtomic(path, RegFileBytes(text)));
}

TEST(RegFileUnderWine, RegImportOfTheFileLeavesWhatApplyLeaves) {
  auto p = platform::MakeWin32Platform();
  const std::string file = Temp("corvanel_roundtrip.reg");
  Seed(*p);
  Write(*p, file, RegFileText(Records(), p->system()));
  ASSERT_EQ(RunCommand("reg.exe import \"" + file + "\""), 0);
  const std::string imported = Exported(*p, false);

  Seed(*p);
  TCorvanel queue(*p);
  for (const auto& r : Records()) queue.AddRecord(r);
  ASSERT_TRUE(queue.Apply().ok());
  EXPECT_EQ(Exported(*p, false), imported);
  EXPECT_NE(imported.find("Two\\\\Lines"), std::string::npos) << imported;
}

TEST(UndoUnderWine, UndoAndTheUndoFileGiveBackTheStateBeforeApply) {
  auto p = platform::MakeWin32Platform();
  std::uint32_t beep = 0;
  ASSERT_TRUE(p->spi().Spi(kGetBeep, 0, &beep, 0));
  std::vector<TRegRecor> records = Records();
  records.push_back(SpiRecord("beep", kSetBeep, beep ? 0 : 1, std::uint32_t{0}, 1 /*SPIF_UPDATEINIFILE*/));

  Seed(*p);
  const std::string before = Exported(*p, true);
  {
    TCorvanel queue(*p);
    for (const auto& r : records) queue.AddRecord(r);
    UndoJournal journal(*p);
    ASSERT_TRUE(queue.Apply(&journal).ok());
    ASSERT_NE(Exported(*p, true), before);
    const UndoResult undone = journal.Undo();
    EXPECT_TRUE(undone.ok()) << undone.failures.front().place << " error " << undone.failures.front().error;
    EXPECT_EQ(Exported(*p, true), before);
    std::uint32_t now = 2;
    ASSERT_TRUE(p->spi().Spi(kGetBeep, 0, &now, 0));
    EXPECT_EQ(now, beep);
  }

  Seed(*p);
  TCorvanel queue(*p);
  for (const auto& r : Records()) queue.AddRecord(r);
  UndoJournal journal(*p);
  ASSERT_TRUE(queue.Apply(&journal).ok());
  const std::string file = Temp("corvanel_undo.reg");
  Write(*p, file, journal.UndoRegText());
  ASSERT_EQ(RunCommand("reg.exe import \"" + file + "\""), 0);
  EXPECT_EQ(Exported(*p, true), before);

  TRegistry reg(p->registry());
  for (const platform::RegKey root : {HKCU, HKLM}) {
    reg.SelectRoot(root);
    reg.RemoveTree("\\" + kBase);
  }
}

}  // namespace
}  // namespace corvanel::wine_test
