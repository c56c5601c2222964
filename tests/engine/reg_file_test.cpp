#include "engine/reg_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"

namespace corvanel::engine {
namespace {

namespace win = platform::win;
using platform::HKCR;
using platform::HKCU;
using platform::HKLM;
using Bytes = std::vector<std::uint8_t>;

// Every type and action of a record, and what a .reg cannot carry, to the exact text.
TEST(RegFile, RecordsBecomeTheExactFileText) {
  platform::memory::MemoryPlatform p;
  TRegRecor spi = SpiRecord("Beep", 0x0002, 1, std::uint32_t{0}, 1);
  TRegRecor minimized = SpiRecord("Cmblocal", 0x002C, 20, Bytes{20, 0, 0, 0, 154, 0, 0, 0}, 1);
  minimized.KeyPath = "\\Control Panel\\Desktop\\WindowMetrics\\";
  minimized.ValueName = "MinWidth";
  TRegRecor delete_value64 = DeleteValueRecord("dv64", HKLM, "\\Software\\K", "Gone");
  delete_value64.Action = kActionDeleteValue64;
  const std::vector<TRegRecor> records = {
      WriteRecord("sz", HKCU, "\\Software\\K\\", "", kTypeText, MakeText("C:\\a \"b\"")),
      WriteRecord("num", HKCU, "\\Software\\K", "Num", kTypeNumber, MakeText("-2")),
      WriteRecord("exp", HKCU, "\\Software\\K", "Path", kTypeExpandText, MakeText("%A%")),
      WriteRecord("bin", HKLM, "\\Software\\K", "Bin", kTypeBinary, MakeBytes(Bytes(30, 0xAB))),
      WriteRecord("ansi", HKLM, "\\Software\\K", "Ansi", kTypeBinary, MakeText("\xC3\xA9!")),
      WriteRecord("lines", HKLM, "\\Software\\K", "Two\\Lines", kTypeText, MakeText("a\nb")),
      WriteRecord("key", HKCR, "\\.xyz\\ShellNew", "", kTypeOther, Value()),
      WriteRecord("bad", HKCU, "\\Software\\K", "Bad", kTypeNumber, MakeText("ten")),
      DeleteValueRecord("dv", HKCU, "\\Software\\K", "Old"),
      delete_value64,
      DeleteKeyRecord("dk", HKCU, "\\Software\\K\\Sub"),
      DeleteKeyRecord("dk64", HKLM, "\\Software\\K\\Sub", true),
      spi,
      minimized,
  };
  EXPECT_EQ(RegFileText(records, p.system(), {"Service wscsvc: started, start type automatic"}),
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "; Service wscsvc: started, start type automatic\r\n"
            "; Not in this file: bad (\"ten\" is not a 32-bit decimal integer)\r\n"
            "; System parameter SPI_SETBEEP: uiParam 1, pvParam 0\r\n"
            "; System parameter SPI_SETMINIMIZEDMETRICS: uiParam 20, parameter block 14 00 00 00 9a 00 00 00\r\n"
            "\r\n"
            "[HKEY_CURRENT_USER\\Software\\K]\r\n"
            "@=\"C:\\\\a \\\"b\\\"\"\r\n"
            "\"Num\"=dword:fffffffe\r\n"
            "\"Path\"=hex(2):25,00,41,00,25,00,00,00\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\K]\r\n"
            "\"Bin\"=hex:ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,\\\r\n"
            "  ab,ab,ab,ab,ab,ab,ab,ab\r\n"
            "\"Ansi\"=hex:e9,21\r\n"
            "\"Two\\\\Lines\"=hex(1):61,00,0a,00,62,00,00,00\r\n"
            "\r\n"
            "[HKEY_CLASSES_ROOT\\.xyz\\ShellNew]\r\n"
            "\r\n"
            "[HKEY_CURRENT_USER\\Software\\K]\r\n"
            "\"Old\"=-\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\K]\r\n"
            "\"Gone\"=-\r\n"
            "\r\n"
            "[-HKEY_CURRENT_USER\\Software\\K\\Sub]\r\n"
            "\r\n"
            "[-HKEY_LOCAL_MACHINE\\Software\\K\\Sub]\r\n"
            "\r\n"
            "[HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics]\r\n"
            "\"MinWidth\"=-\r\n"
            "\r\n");
}

TEST(RegFile, ValueLinesOfTypesNoRecordHasYet) {
  EXPECT_EQ(RegValueLine("\"Q\"=", win::REG_QWORD, {0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}),
            "\"Q\"=hex(b):88,77,66,55,44,33,22,11");
  EXPECT_EQ(RegValueLine("\"M\"=", win::REG_MULTI_SZ, {'a', 0, 0, 0, 0, 0}), "\"M\"=hex(7):61,00,00,00,00,00");
  EXPECT_EQ(RegValueLine("@=", win::REG_BINARY, {}), "@=hex:");
  EXPECT_EQ(RegValueLine("@=", win::REG_DWORD, {1, 0}), "@=hex(4):01,00") << "a short DWORD keeps its bytes";
}

TEST(RegFile, BytesAreUtf16LittleEndianWithByteOrderMark) {
  EXPECT_EQ(RegFileBytes("A\xC3\xA9\r\n"), (Bytes{0xFF, 0xFE, 'A', 0, 0xE9, 0, '\r', 0, '\n', 0}));
}

}  // namespace
}  // namespace corvanel::engine
