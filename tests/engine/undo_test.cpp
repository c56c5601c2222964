#include "engine/undo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "platform/reg_text.h"

namespace corvanel::engine {
namespace {

namespace win = platform::win;
namespace spi = platform::memory::spi;
using platform::HKCU;
using platform::HKLM;
using Bytes = std::vector<std::uint8_t>;

constexpr const char* kUserJs = "C:\\users\\u\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\p\\user.js";

Bytes MinimizedBlock(std::int32_t width) {
  const std::int32_t fields[5] = {20, width, 2, 3, 8};
  Bytes block(sizeof fields);
  std::memcpy(block.data(), fields, sizeof fields);
  return block;
}

class Undo : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& reg = p.registry();
    reg.SetString(HKCU, "Software\\Undo\\A", "x", "text");
    reg.SetDword(HKCU, "Software\\Undo\\A", "y", 7);
    reg.SetString(HKCU, "Software\\Undo\\A", "", "default");
    reg.SetBinary(HKCU, "Software\\Undo\\A\\Sub", "b", {1, 2, 3});
    reg.SetExpandString(HKCU, "Software\\Undo\\A\\Sub\\Deep", "e", "%TEMP%");
    reg.SetMultiString(HKCU, "Software\\Undo\\A\\Sub\\Deep", "m", {"one", "two"});
    reg.SetQword(HKCU, "Software\\Undo\\B", "q", 0x1122334455667788ull);
    reg.SetDword(HKLM, "Software\\Undo\\C", "z", 1);
    reg.SetString(HKCU, "Control Panel\\Desktop\\WindowMetrics", "MinWidth", "-255");
    p.services().AddService("wscsvc", win::SERVICE_RUNNING, win::SERVICE_AUTO_START);
    p.files().AddFile(kUserJs, std::string("user_pref(\"a\", 1);\n"));
  }
  void TearDown() override { EXPECT_EQ(p.registry().open_handle_count(), 0u) << "a key handle was left open"; }

  // What ui/apply.cpp's stop step does to a service, captured first.
  void StopDisabled(UndoJournal& journal) {
    journal.CaptureService("wscsvc", {win::SERVICE_DISABLED, win::SERVICE_STOPPED}, "Security Center");
    auto& sc = p.services();
    const auto m = sc.OpenManager(win::SC_MANAGER_ALL_ACCESS);
    const auto s = sc.OpenService(m, "wscsvc", win::SERVICE_ALL_ACCESS);
    sc.ChangeStartType(s, win::SERVICE_DISABLED);
    platform::ServiceStatus status;
    sc.Control(s, win::SERVICE_CONTROL_STOP, &status);
    sc.Close(s);
    sc.Close(m);
  }

  platform::memory::MemoryPlatform p;
};

// Random queues over a few places that overlap: writes of every type (and some values that
// do not convert), value and key deletes in both views, system parameters by uiParam, by
// pvParam, by block and through a metric, and a service step. Undo must give back the
// very state Apply started from.
TEST_F(Undo, RandomQueuesApplyThenUndoLeaveEverythingAsItWas) {
  const char* keys[] = {"\\Software\\Undo\\A", "\\Software\\Undo\\A\\Sub", "\\Software\\Undo\\A\\Sub\\Deep",
                        "\\Software\\Undo\\B", "\\Software\\Undo\\New\\Leaf", "\\Software\\Undo\\New"};
  const char* names[] = {"x", "Y", "", "b", "fresh"};
  std::mt19937 rng(20261209);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    TCorvanel queue(p);
    const int count = 1 + pick(10);
    for (int i = 0; i < count; ++i) {
      const std::string name = "r" + std::to_string(i);
      const platform::RegKey root = pick(5) == 0 ? HKLM : HKCU;
      const std::string key = root == HKLM ? "\\Software\\Undo\\C" : keys[pick(6)];
      const std::string value = names[pick(5)];
      switch (pick(9)) {
        case 0: queue.AddRecord(WriteRecord(name, root, key, value, kTypeText, MakeText("t" + std::to_string(i)))); break;
        case 1: queue.AddRecord(WriteRecord(name, root, key, value, kTypeExpandText, MakeText("%X%"))); break;
        case 2:
          queue.AddRecord(WriteRecord(name, root, key, value, kTypeNumber,
                                      pick(8) == 0 ? MakeText("not a number") : MakeInt(pick(1000))));
          break;
        case 3: queue.AddRecord(WriteRecord(name, root, key, value, kTypeBinary, MakeBytes({9, 8, 7}))); break;
        case 4: queue.AddRecord(WriteRecord(name, root, key, value, kTypeOther, Value())); break;
        case 5: {
          TRegRecor r = DeleteValueRecord(name, root, key, value);
          if (pick(2) == 0) r.Action = kActionDeleteValue64;
          queue.AddRecord(r);
          break;
        }
        case 6: queue.AddRecord(DeleteKeyRecord(name, root, key, pick(2) == 0)); break;
        case 7: {
          switch (pick(4)) {
            case 0: queue.AddRecord(SpiRecord(name, spi::SETBEEP, 0, std::uint32_t{0}, 1)); break;
            case 1: queue.AddRecord(SpiRecord(name, spi::SETMENUANIMATION, 0, std::uint32_t{0}, 1)); break;
            case 2: queue.AddRecord(SpiRecord(name, spi::SETDOUBLECLKWIDTH, 9, std::uint32_t{0}, 1)); break;
            default: {
              TRegRecor r = SpiRecord("Cmblocal", spi::SETMINIMIZEDMETRICS, 20, MinimizedBlock(99), 1);
              r.KeyPath = "\\Control Panel\\Desktop\\WindowMetrics\\";
              r.ValueName = "MinWidth";
              queue.AddRecord(r);
            }
          }
          break;
        }
        default: queue.AddRecord(DeleteKeyRecord(name, root, "\\Software\\Undo\\A")); break;
      }
    }
    const std::string before = p.Dump();
    UndoJournal journal(p);
    queue.Apply(&journal);
    if (pick(3) == 0) StopDisabled(journal);
    const UndoResult undone = journal.Undo();
    EXPECT_TRUE(undone.ok()) << undone.failures.front().place << " error " << undone.failures.front().error;
    ASSERT_EQ(p.Dump(), before);
    EXPECT_TRUE(journal.Empty());
  }
}

TEST_F(Undo, KeysApplyCreatedGoUnlessSomethingElseLivesThereNow) {
  TCorvanel queue(p);
  queue.AddRecord(WriteRecord("w", HKCU, "\\Software\\Undo\\New\\Mid\\Leaf\\", "v", kTypeNumber, MakeInt(1)));
  queue.AddRecord(WriteRecord("w2", HKCU, "\\Software\\Undo\\New\\Mid\\Leaf", "V", kTypeText, MakeText("2")));
  UndoJournal journal(p);
  ASSERT_TRUE(queue.Apply(&journal).ok());
  ASSERT_EQ(journal.Entries().size(), 3u);
  ASSERT_EQ(journal.Entries().front().kind, UndoKind::kKeyCreated);
  EXPECT_EQ(journal.Entries()[2].before, journal.Entries()[1].after) << "the second write saw what the first left";
  EXPECT_EQ(UndoJournal::PlaceText(journal.Entries().front()), "HKEY_CURRENT_USER\\Software\\Undo\\New");
  p.registry().SetString(HKCU, "Software\\Undo\\New", "other", "written after Apply");
  EXPECT_TRUE(journal.Undo().ok());
  EXPECT_FALSE(p.registry().KeyExists(HKCU, "Software\\Undo\\New\\Mid"));
  EXPECT_EQ(p.registry().GetString(HKCU, "Software\\Undo\\New", "other"), "written after Apply");
}

TEST_F(Undo, AValueThatChangedTypeGetsItsTypeAndBytesBack) {
  TCorvanel queue(p);
  queue.AddRecord(WriteRecord("w", HKCU, "\\Software\\Undo\\A", "x", kTypeNumber, MakeInt(5)));
  queue.AddRecord(DeleteValueRecord("d", HKCU, "\\Software\\Undo\\A", "Y"));
  UndoJournal journal(p);
  ASSERT_TRUE(queue.Apply(&journal).ok());
  ASSERT_EQ(p.registry().Get(HKCU, "Software\\Undo\\A", "x")->type, win::REG_DWORD);
  EXPECT_TRUE(journal.Undo().ok());
  EXPECT_EQ(p.registry().Get(HKCU, "Software\\Undo\\A", "x"),
            (platform::memory::RegValue{win::REG_SZ, platform::EncodeRegString("text")}));
  EXPECT_EQ(p.registry().ValueNames(HKCU, "Software\\Undo\\A"), (std::vector<std::string>{"x", "", "y"}))
      << "a deleted value comes back under the name it was stored with";
}

// A file changed after Apply is left alone and reported; everything else is put back, and
// a place that fails does not stop the others.
TEST_F(Undo, ChangedUserJsAndUnwritableKeyAreReportedTheRestIsRestored) {
  const std::string other = "C:\\users\\u\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\q\\user.js";
  p.files().AddDirectory("C:\\users\\u\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\q");
  TCorvanel queue(p);
  queue.AddRecord(WriteRecord("a", HKCU, "\\Software\\Undo\\A", "x", kTypeText, MakeText("new")));
  queue.AddRecord(WriteRecord("c", HKLM, "\\Software\\Undo\\C", "z", kTypeNumber, MakeInt(2)));
  queue.AddRecord(SpiRecord("beep", spi::SETBEEP, 0, std::uint32_t{0}, 1));
  UndoJournal journal(p);
  ASSERT_TRUE(queue.Apply(&journal).ok());
  StopDisabled(journal);
  for (const std::string& path : {std::string(kUserJs), other}) {
    journal.CaptureFile(path, "Firefox");
    ASSERT_TRUE(p.files().WriteFileAtomic(path, Bytes{'n', 'e', 'w'}));
    journal.FileSaved(path, true);
  }
  p.files().AddFile(kUserJs, std::string("changed by Firefox"));
  p.registry().SetReadOnly(HKLM, "Software\\Undo\\C");

  const UndoResult undone = journal.Undo();
  ASSERT_EQ(undone.failures.size(), 2u);
  EXPECT_EQ(undone.failures[0].kind, UndoFailureKind::kFileChanged);
  EXPECT_EQ(undone.failures[0].place, kUserJs);
  EXPECT_EQ(undone.failures[1].place, "HKEY_LOCAL_MACHINE\\Software\\Undo\\C\\z");
  EXPECT_EQ(undone.failures[1].error, win::kAccessDenied);
  EXPECT_EQ(p.files().Text(kUserJs), "changed by Firefox");
  EXPECT_FALSE(p.files().FileExists(other)) << "a user.js Apply created goes again";
  EXPECT_EQ(p.registry().GetString(HKCU, "Software\\Undo\\A", "x"), "text");
  EXPECT_EQ(p.spi().Value(spi::GETBEEP), 1u);
  EXPECT_EQ(p.services().State("wscsvc"), win::SERVICE_RUNNING);
  EXPECT_EQ(p.services().StartType("wscsvc"), win::SERVICE_AUTO_START);
}

TEST_F(Undo, UndoRegTextPutsBackValuesKeysAndDeletedSubtrees) {
  TCorvanel queue(p);
  queue.AddRecord(WriteRecord("new", HKCU, "\\Software\\Undo\\New\\Leaf", "v", kTypeNumber, MakeInt(1)));
  queue.AddRecord(WriteRecord("fresh", HKCU, "\\Software\\Undo\\B", "fresh", kTypeText, MakeText("x")));
  queue.AddRecord(DeleteKeyRecord("tree", HKCU, "\\Software\\Undo\\A\\Sub"));
  queue.AddRecord(SpiRecord("beep", spi::SETBEEP, 0, std::uint32_t{0}, 1));
  UndoJournal journal(p);
  ASSERT_TRUE(queue.Apply(&journal).ok());
  EXPECT_EQ(journal.UndoRegText(),
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "; System parameter SPI_SETBEEP: set back to 1\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Undo\\A\\Sub]\r\n"
            "\"b\"=hex:01,02,03\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Undo\\A\\Sub\\Deep]\r\n"
            "\"e\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\r\n"
            "\"m\"=hex(7):6f,00,6e,00,65,00,00,00,74,00,77,00,6f,00,00,00,00,00\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Undo\\B]\r\n"
            "\"fresh\"=-\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Undo\\New\\Leaf]\r\n"
            "\"v\"=-\r\n\r\n"
            "[-HKEY_CURRENT_USER\\Software\\Undo\\New]\r\n\r\n");
}

}  // namespace
}  // namespace corvanel::engine
