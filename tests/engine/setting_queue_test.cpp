#include "engine/setting_queue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "platform/reg_text.h"

namespace corvanel::engine {
namespace {

namespace win = platform::win;
namespace spi = platform::memory::spi;
using platform::HKCR;
using platform::HKCU;
using platform::HKLM;
using platform::memory::RegValue;
using Bytes = std::vector<std::uint8_t>;

RegValue Sz(const std::string& s) { return {win::REG_SZ, platform::EncodeRegString(s)}; }
RegValue Dword(std::uint32_t n) {
  return {win::REG_DWORD, {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                           static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)}};
}

Bytes MinimizedMetricsBlock(std::int32_t width, std::int32_t hgap, std::int32_t vgap, std::int32_t arrange) {
  const std::int32_t fields[5] = {20, width, hgap, vgap, arrange};
  Bytes block(sizeof fields);
  std::memcpy(block.data(), fields, sizeof fields);
  return block;
}

class Queue : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(reg().open_handle_count(), 0u) << "a key handle was left open"; }
  platform::memory::MemoryRegistry& reg() { return p.registry(); }

  platform::memory::MemoryPlatform p;
  TCorvanel q{p};
};

// ----- merge by name -------------------------------------------------------------

TEST_F(Queue, SameNameReplacesEveryFieldInPlace) {
  q.AddRecord(WriteRecord("A", HKCU, "\\K\\", "a", 1, "x"));
  q.AddRecord(WriteRecord("B", HKCU, "\\K\\", "b", 3, 1));
  q.AddRecord(WriteRecord("C", HKCU, "\\K\\", "c", 1, "z"));
  TRegRecor second = SpiRecord("B", 0x2001, 7, Bytes{1, 2}, 3);
  second.RootKey = HKLM;
  second.KeyPath = "\\Other\\";
  second.ValueName = "w";
  second.DataType = 4;
  second.Value = Bytes{5};
  second.Action = 2;
  q.AddRecord(second);

  ASSERT_EQ(q.Count(), 3u);
  EXPECT_EQ(q.Records()[0].Name, "A");
  EXPECT_EQ(q.Records()[1], second);
  EXPECT_EQ(q.Records()[2].Name, "C");
}

TEST_F(Queue, NamesAreCaseSensitiveAndKeepFirstAddedOrder) {
  const char* names[] = {"Cmblocal", "cmblocal", "CMBLOCAL", "Cmblocal1", "Cmblocal"};
  for (const char* n : names) {
    q.AddRecord(WriteRecord(n, HKCU, "\\K\\", n, 1, n));
  }
  ASSERT_EQ(q.Count(), 4u);
  EXPECT_EQ(q.Records()[0].Name, "Cmblocal");
  EXPECT_EQ(q.Records()[3].Name, "Cmblocal1");
}

TEST_F(Queue, ManyDistinctNamesStayInOrderAndFindable) {
  constexpr int kCount = 10000;
  for (int i = 0; i < kCount; ++i) {
    q.AddRecord(WriteRecord("R" + std::to_string(i), HKCU, "\\K\\", "v" + std::to_string(i), 3, i));
  }
  for (int i = 0; i < kCount; i += 2) {
    q.AddRecord(WriteRecord("R" + std::to_string(i), HKCU, "\\K\\", "v" + std::to_string(i), 3, -i));
  }
  ASSERT_EQ(q.Count(), static_cast<std::size_t>(kCount));
  for (int i = 0; i < kCount; i += 997) {
    EXPECT_EQ(q.Records()[static_cast<std::size_t>(i)].Name, "R" + std::to_string(i));
    const TRegRecor* r = q.Find("R" + std::to_string(i));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Value.AsInt(), i % 2 == 0 ? -i : i);
  }
  EXPECT_EQ(q.Find("R10000"), nullptr);
}

// ----- writes and their conversions ----------------------------------------------

TEST_F(Queue, WriteConvertsTheValueByDataType) {
  struct Row {
    std::uint8_t type;
    Value value;
    RegValue stored;
  };
  const Row rows[] = {
      {1, "abc", Sz("abc")},
      {1, 65, Sz("65")},
      {1, -7, Sz("-7")},
      {1, Value(), Sz("")},
      {2, "%SystemRoot%\\x", {win::REG_EXPAND_SZ, platform::EncodeRegString("%SystemRoot%\\x")}},
      {2, 3, {win::REG_EXPAND_SZ, platform::EncodeRegString("3")}},
      {3, 200, Dword(200)},
      {3, "200", Dword(200)},
      {3, "-1", Dword(0xFFFFFFFF)},
      {3, "+5", Dword(5)},
      {3, "-2147483648", Dword(0x80000000)},
      {4, Bytes{1, 2, 3}, {win::REG_BINARY, {1, 2, 3}}},
      {4, Bytes{}, {win::REG_BINARY, {}}},
      {4, 1, {win::REG_BINARY, {0x31}}},
      {4, "\xC3\xA9" "1", {win::REG_BINARY, {0xE9, 0x31}}},  // system code page, no terminator
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    q.AddRecord(WriteRecord("W" + std::to_string(i), HKCU, "\\Conv\\", "v" + std::to_string(i), rows[i].type,
                            rows[i].value));
  }
  ASSERT_TRUE(q.Apply().ok());
  EXPECT_TRUE(q.Empty());
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(reg().Get(HKCU, "Conv", "v" + std::to_string(i)), rows[i].stored);
  }
}

TEST_F(Queue, DataTypeZeroOnlyCreatesTheKey) {
  q.AddRecord(WriteRecord("K", HKCR, "\\New\\Sub\\", "v", 0, "ignored"));
  ASSERT_TRUE(q.Apply().ok());
  EXPECT_TRUE(reg().KeyExists(HKCR, "New\\Sub"));
  EXPECT_TRUE(reg().ValueNames(HKCR, "New\\Sub").empty());
}

TEST_F(Queue, EmptyQueueApplyDoesNothing) {
  const ApplyResult r = q.Apply();
  EXPECT_TRUE(r.ok());
  EXPECT_TRUE(q.Empty());
  EXPECT_TRUE(reg().write_log().empty());
}

TEST_F(Queue, UnconvertibleValueStopsTheRunLikeARefusedWrite) {
  struct Row {
    std::uint8_t type;
    Value value;
  };
  const Row rows[] = {{3, "12a"}, {3, ""}, {3, " 5"}, {3, "2147483648"}, {3, "0x10"},
                      {3, Bytes{1}}, {1, Bytes{1}}, {2, Bytes{}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << int(row.type));
    TCorvanel queue(p);
    queue.AddRecord(WriteRecord("bad", HKCU, "\\Conv\\", "bad", row.type, row.value));
    queue.AddRecord(WriteRecord("after", HKCU, "\\Conv\\", "after", 3, 1));
    const ApplyResult r = queue.Apply();
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.index, 0u);
    EXPECT_EQ(r.error_code, win::kInvalidParameter);
    EXPECT_FALSE(r.error_text.empty());
    EXPECT_EQ(queue.Count(), 2u);
    EXPECT_FALSE(reg().ValueExists(HKCU, "Conv", "bad"));
    EXPECT_FALSE(reg().ValueExists(HKCU, "Conv", "after"));
  }
}

TEST_F(Queue, RefusedWriteStopsAtThatRecordAndKeepsTheWholeQueue) {
  for (int i = 1; i <= 5; ++i) {
    q.AddRecord(WriteRecord("R" + std::to_string(i), HKLM, "\\Run\\", "v" + std::to_string(i), 3, i));
  }
  reg().FailWrite(HKLM, "Run", "v3", win::kAccessDenied);

  const ApplyResult r = q.Apply();
  EXPECT_TRUE(r.stopped);
  EXPECT_EQ(r.index, 2u);
  EXPECT_EQ(r.name, "R3");
  EXPECT_EQ(r.root, HKLM);
  EXPECT_EQ(r.key_path, "\\Run\\");
  EXPECT_EQ(r.value_name, "v3");
  EXPECT_EQ(r.error_code, win::kAccessDenied);
  EXPECT_EQ(reg().GetDword(HKLM, "Run", "v1"), 1u);
  EXPECT_EQ(reg().GetDword(HKLM, "Run", "v2"), 2u);
  EXPECT_FALSE(reg().ValueExists(HKLM, "Run", "v3"));
  EXPECT_FALSE(reg().ValueExists(HKLM, "Run", "v4"));
  EXPECT_FALSE(reg().ValueExists(HKLM, "Run", "v5"));
  EXPECT_EQ(q.Count(), 5u);

  reg().ClearWriteFailures();
  EXPECT_TRUE(q.Apply().ok());
  EXPECT_TRUE(q.Empty());
  for (std::uint32_t i = 1; i <= 5; ++i) {
    EXPECT_EQ(reg().GetDword(HKLM, "Run", "v" + std::to_string(i)), i);
  }
}

TEST_F(Queue, KeyThatCannotBeOpenedIsSkippedNotAnError) {
  reg().SetReadOnly(HKLM, "Locked");
  q.AddRecord(WriteRecord("locked", HKLM, "\\Locked\\", "v", 1, "x"));
  q.AddRecord(WriteRecord("next", HKCU, "\\Free\\", "v", 1, "y"));
  EXPECT_TRUE(q.Apply().ok());
  EXPECT_TRUE(q.Empty());
  EXPECT_FALSE(reg().ValueExists(HKLM, "Locked", "v"));
  EXPECT_EQ(reg().GetString(HKCU, "Free", "v"), "y");
}

// ----- delete actions ------------------------------------------------------------

TEST_F(Queue, DeleteActions) {
  struct Row {
    const char* label;
    std::function<void(platform::memory::MemoryRegistry&)> setup;
    TRegRecor record;
    std::function<void(platform::memory::MemoryRegistry&)> check;
  };
  auto del_value = [](std::int32_t action) {
    TRegRecor r = DeleteValueRecord("d", HKCU, "\\D\\", "v");
    r.Action = action;
    return r;
  };
  const Row rows[] = {
      {"tree",
       [](auto& m) {
         m.SetString(HKCU, "D\\A\\B", "v", "x");
         m.CreateKeyPath(HKCU, "D\\C");
       },
       DeleteKeyRecord("d", HKCU, "\\D\\"), [](auto& m) { EXPECT_FALSE(m.KeyExists(HKCU, "D")); }},
      {"tree missing", [](auto&) {}, DeleteKeyRecord("d", HKCU, "\\D\\"),
       [](auto& m) { EXPECT_FALSE(m.KeyExists(HKCU, "D")); }},
      {"value", [](auto& m) { m.SetString(HKCU, "D", "v", "x"); m.SetString(HKCU, "D", "w", "x"); },
       del_value(2),
       [](auto& m) {
         EXPECT_FALSE(m.ValueExists(HKCU, "D", "v"));
         EXPECT_TRUE(m.ValueExists(HKCU, "D", "w"));
       }},
      {"value, key missing", [](auto&) {}, del_value(2), [](auto& m) { EXPECT_FALSE(m.KeyExists(HKCU, "D")); }},
      {"value missing", [](auto& m) { m.SetString(HKCU, "D", "w", "x"); }, del_value(2),
       [](auto& m) { EXPECT_TRUE(m.ValueExists(HKCU, "D", "w")); }},
      {"value 64", [](auto& m) { m.SetString(HKCU, "D", "v", "x"); }, del_value(4),
       [](auto& m) { EXPECT_FALSE(m.ValueExists(HKCU, "D", "v")); }},
      {"leaf 64", [](auto& m) { m.SetString(HKCU, "D", "v", "x"); }, DeleteKeyRecord("d", HKCU, "\\D\\", true),
       [](auto& m) { EXPECT_FALSE(m.KeyExists(HKCU, "D")); }},
      {"parent 64 stays", [](auto& m) { m.CreateKeyPath(HKCU, "D\\Child"); },
       DeleteKeyRecord("d", HKCU, "\\D\\", true), [](auto& m) { EXPECT_TRUE(m.KeyExists(HKCU, "D\\Child")); }},
      {"key 64 missing", [](auto&) {}, DeleteKeyRecord("d", HKCU, "\\D\\", true),
       [](auto& m) { EXPECT_FALSE(m.KeyExists(HKCU, "D")); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    reg().DeleteTree(HKCU, "D");
    reg().DeleteTree(HKCU, "After");
    row.setup(reg());
    TCorvanel queue(p);
    queue.AddRecord(row.record);
    queue.AddRecord(WriteRecord("after", HKCU, "\\After\\", "v", 3, 1));
    EXPECT_TRUE(queue.Apply().ok());
    EXPECT_TRUE(queue.Empty());
    row.check(reg());
    EXPECT_EQ(reg().GetDword(HKCU, "After", "v"), 1u) << "the run goes on after a delete";
  }
}

TEST_F(Queue, UnknownActionWrites) {
  TRegRecor r = WriteRecord("x", HKCU, "\\U\\", "v", 1, "written");
  r.Action = 9;
  q.AddRecord(r);
  EXPECT_TRUE(q.Apply().ok());
  EXPECT_EQ(reg().GetString(HKCU, "U", "v"), "written");
}

TEST_F(Queue, WritesToOneKeyShareItsHandleUntilSomethingElseRuns) {
  q.AddRecord(WriteRecord("a", HKCU, "\\K\\", "a", 1, "1"));
  q.AddRecord(WriteRecord("b", HKCU, "\\K\\", "b", 1, "2"));
  q.AddRecord(DeleteKeyRecord("gone", HKCU, "\\K\\"));
  q.AddRecord(WriteRecord("c", HKCU, "\\K\\", "c", 1, "3"));
  q.AddRecord(SpiRecord("spi", spi::SETBEEP, 1, std::uint32_t{0}, 0));
  q.AddRecord(WriteRecord("d", HKCU, "\\K\\", "d", 1, "4"));
  q.AddRecord(WriteRecord("e", HKLM, "\\K\\", "e", 1, "5"));
  ASSERT_TRUE(q.Apply().ok());
  EXPECT_EQ(reg().ValueNames(HKCU, "K"), (std::vector<std::string>{"c", "d"}));
  EXPECT_EQ(reg().GetString(HKLM, "K", "e"), "5");
  int creates = 0;
  for (const auto& a : reg().access_log()) {
    creates += a.call == "create" ? 1 : 0;
  }
  EXPECT_EQ(creates, 4) << "a, c, d and e open their key; b reuses a's";
}

// ----- system-parameter records --------------------------------------------------

TEST_F(Queue, PlainNumberIsPassedAsPvParam) {
  q.AddRecord(SpiRecord("lock", spi::SETFOREGROUNDLOCKTIMEOUT, 0, std::uint32_t{200000}, 3));
  EXPECT_TRUE(q.Apply().ok());
  ASSERT_EQ(p.spi().calls().size(), 1u);
  const auto& call = p.spi().calls()[0];
  EXPECT_EQ(call.action, spi::SETFOREGROUNDLOCKTIMEOUT);
  EXPECT_EQ(call.pv, 200000u);
  EXPECT_EQ(call.win_ini, 3u);
  EXPECT_EQ(p.spi().Value(spi::GETFOREGROUNDLOCKTIMEOUT), 200000u);
}

TEST_F(Queue, OwnedBlockReachesTheCallAndSurvivesAStoppedRun) {
  const Bytes block = MinimizedMetricsBlock(100, 2, 3, 4);
  q.AddRecord(SpiRecord("metrics", spi::SETMINIMIZEDMETRICS, 20, block, 3));
  q.AddRecord(WriteRecord("fails", HKCU, "\\F\\", "v", 1, "x"));
  reg().FailWrite(HKCU, "F", "v", win::kAccessDenied);

  EXPECT_TRUE(q.Apply().stopped);
  ASSERT_EQ(p.spi().calls().size(), 1u);
  EXPECT_EQ(p.spi().calls()[0].ui, 20u);
  EXPECT_EQ(p.spi().calls()[0].block, block);
  EXPECT_EQ(p.spi().minimized_metrics(), (platform::memory::MemorySystemParameters::MinimizedMetrics{100, 2, 3, 4}));

  // The kept record is applied again with the same block, not a released one.
  p.spi().set_minimized_metrics({});
  reg().ClearWriteFailures();
  EXPECT_TRUE(q.Apply().ok());
  ASSERT_EQ(p.spi().calls().size(), 2u);
  EXPECT_EQ(p.spi().calls()[1].block, block);
  EXPECT_EQ(p.spi().minimized_metrics().width, 100);
}

TEST_F(Queue, FailingSystemParameterCallDoesNotStopTheRun) {
  p.spi().FailAction(spi::SETWHEELSCROLLLINES);
  q.AddRecord(SpiRecord("wheel", spi::SETWHEELSCROLLLINES, 5, std::uint32_t{0}, 3));
  q.AddRecord(WriteRecord("next", HKCU, "\\N\\", "v", 3, 1));
  EXPECT_TRUE(q.Apply().ok());
  EXPECT_TRUE(q.Empty());
  EXPECT_EQ(reg().GetDword(HKCU, "N", "v"), 1u);
}

TEST_F(Queue, MinimizedMetricsRecordsDropMinWidthUnderTheUserKey) {
  const std::string path = "\\Control Panel\\Desktop\\WindowMetrics\\";
  const std::pair<const char*, bool> rows[] = {{"Cmblocal", true},
                                               {"CB_Taskbar_MinWindows_Position_Arrangement", true},
                                               {"cmblocal", false},
                                               {"Cmblocal1", false}};
  for (const auto& [name, cleans] : rows) {
    SCOPED_TRACE(name);
    reg().SetString(HKCU, path, "MinWidth", "-255");
    reg().SetString(HKLM, path, "MinWidth", "-255");
    TCorvanel queue(p);
    queue.AddRecord(WriteRecord("before", HKLM, "\\Other\\", "v", 1, "x"));  // leaves the root at HKLM
    TRegRecor r = SpiRecord(name, spi::SETMINIMIZEDMETRICS, 20, MinimizedMetricsBlock(160, 0, 0, 8), 3);
    r.KeyPath = path;
    r.ValueName = "MinWidth";
    queue.AddRecord(r);
    EXPECT_TRUE(queue.Apply().ok());
    EXPECT_EQ(reg().ValueExists(HKCU, path, "MinWidth"), !cleans);
    EXPECT_TRUE(reg().ValueExists(HKLM, path, "MinWidth"));
  }
}

// ----- the latest choice wins at every place ----------------------------------------

// One setting written under several names: whatever order the names were first queued
// in, Apply leaves what the newest change says.
TEST_F(Queue, NewestChoiceWinsAtEveryPlaceItWrites) {
  const std::string k = "\\Software\\K\\";
  struct Row {
    const char* what;
    std::vector<TRegRecor> adds;
    std::vector<std::string> names;  // the queue afterwards, in order
    std::function<void(platform::memory::MemoryRegistry&)> check;
  };
  const Row rows[] = {
      {"a write under a second name, then the first again",
       {WriteRecord("A", HKCU, k, "v", 3, 1), WriteRecord("B", HKCU, k, "v", 3, 2), WriteRecord("A", HKCU, k, "v", 3, 3)},
       {"A", "B"},
       [&](auto& r) { EXPECT_EQ(r.GetDword(HKCU, k, "v"), 3u); }},
      {"checked, cleared under another name, checked again",
       {WriteRecord("Save", HKCU, k, "v", 3, 2), WriteRecord("Save1", HKCU, k, "n", 3, 30),
        WriteRecord("Off", HKCU, k, "v", 3, 0), WriteRecord("Save", HKCU, k, "v", 3, 2),
        WriteRecord("Save1", HKCU, k, "n", 3, 30)},
       {"Save", "Save1", "Off"},
       [&](auto& r) {
         EXPECT_EQ(r.GetDword(HKCU, k, "v"), 2u);
         EXPECT_EQ(r.GetDword(HKCU, k, "n"), 30u);
       }},
      {"a delete newer than another name's write",
       {WriteRecord("Box", HKCU, k, "v", 1, "on"), WriteRecord("Edit", HKCU, k, "v", 1, "secret"),
        DeleteValueRecord("Box", HKCU, k, "v")},
       {"Box", "Edit"},
       [&](auto& r) { EXPECT_FALSE(r.ValueExists(HKCU, k, "v")); }},
      {"a key delete newer than writes inside the key",
       {WriteRecord("A", HKCU, k + "S\\", "v", 3, 1), WriteRecord("B", HKCU, k + "S\\T\\", "w", 3, 1),
        DeleteKeyRecord("A", HKCU, k + "S\\")},
       {"A", "B"},
       [&](auto& r) { EXPECT_FALSE(r.KeyExists(HKCU, k + "S")); }},
      {"a write newer than a key delete above it",
       {WriteRecord("A", HKCU, k + "S\\", "v", 3, 1), DeleteKeyRecord("B", HKCU, k),
        WriteRecord("A", HKCU, k + "S\\", "v", 3, 7)},
       {"A", "B"},
       [&](auto& r) { EXPECT_EQ(r.GetDword(HKCU, k + "S", "v"), 7u); }},
      {"key and value names compare without case",
       {WriteRecord("A", HKCU, k, "Val", 3, 1), WriteRecord("B", HKCU, "\\SOFTWARE\\k", "val", 3, 2),
        WriteRecord("A", HKCU, k, "Val", 3, 3)},
       {"A", "B"},
       [&](auto& r) { EXPECT_EQ(r.GetDword(HKCU, k, "val"), 3u); }},
      {"other roots and other values are left alone",
       {WriteRecord("A", HKCU, k, "v", 3, 1), WriteRecord("B", HKLM, k, "v", 3, 2), WriteRecord("C", HKCU, k, "w", 3, 4),
        WriteRecord("A", HKCU, k, "v", 3, 3)},
       {"A", "B", "C"},
       [&](auto& r) {
         EXPECT_EQ(r.GetDword(HKCU, k, "v"), 3u);
         EXPECT_EQ(r.GetDword(HKLM, k, "v"), 2u);
         EXPECT_EQ(r.GetDword(HKCU, k, "w"), 4u);
       }},
      {"an older delete of another value in the key stays",
       {DeleteValueRecord("A", HKCU, k, "w"), WriteRecord("B", HKCU, k, "w", 3, 5), WriteRecord("A", HKCU, k, "v", 3, 1)},
       {"A", "B"},
       [&](auto& r) {
         EXPECT_EQ(r.GetDword(HKCU, k, "v"), 1u);
         EXPECT_EQ(r.GetDword(HKCU, k, "w"), 5u);
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    platform::memory::MemoryPlatform fresh;
    TCorvanel queue(fresh);
    for (const TRegRecor& r : row.adds) queue.AddRecord(r);
    std::vector<std::string> names;
    for (const TRegRecor& r : queue.Records()) names.push_back(r.Name);
    EXPECT_EQ(names, row.names);
    ASSERT_TRUE(queue.Apply().ok());
    row.check(fresh.registry());
  }
}

TEST_F(Queue, OnlyLaterRecordsFollowTheNewestChoice) {
  q.AddRecord(WriteRecord("A", HKCU, "\\K\\", "v", 3, 1));
  q.AddRecord(WriteRecord("B", HKCU, "\\K\\", "v", 3, 2));  // written after A anyway
  EXPECT_EQ(q.Find("A")->Value, Value(1));
  q.AddRecord(WriteRecord("A", HKCU, "\\K\\", "v", 3, 5));
  const TRegRecor* b = q.Find("B");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Value, Value(5));
  EXPECT_EQ(b->Name, "B");
}

TEST_F(Queue, NewestSystemParameterWins) {
  q.AddRecord(SpiRecord("Box", spi::SETBEEP, 1, std::uint32_t{0}, 3));
  q.AddRecord(SpiRecord("Other", spi::SETBEEP, 0, std::uint32_t{0}, 3));
  q.AddRecord(SpiRecord("Box", spi::SETBEEP, 1, std::uint32_t{0}, 3));
  q.AddRecord(SpiRecord("Wheel", spi::SETWHEELSCROLLLINES, 9, std::uint32_t{0}, 3));
  ASSERT_NE(q.PendingSpi(spi::SETBEEP), nullptr);
  EXPECT_EQ(*q.PendingSpi(spi::SETBEEP), SpiRecord("Other", spi::SETBEEP, 1, std::uint32_t{0}, 3));
  EXPECT_EQ(q.Records(), (std::vector<TRegRecor>{SpiRecord("Box", spi::SETBEEP, 1, std::uint32_t{0}, 3),
                                                 SpiRecord("Other", spi::SETBEEP, 1, std::uint32_t{0}, 3),
                                                 SpiRecord("Wheel", spi::SETWHEELSCROLLLINES, 9, std::uint32_t{0}, 3)}));
  EXPECT_EQ(q.PendingSpi(spi::SETDRAGFULLWINDOWS), nullptr);
  ASSERT_TRUE(q.Apply().ok());
  EXPECT_EQ(p.spi().Value(spi::GETBEEP), 1u);
  EXPECT_EQ(p.spi().Value(spi::GETWHEELSCROLLLINES), 9u);
}

// A record only takes over what a newer record of its own kind chooses: registry records
// and system-parameter calls never trade content, and a system-parameter record keeps the
// value it cleans up after its call.
TEST_F(Queue, NewestChoiceStaysWithinItsKind) {
  const std::string metrics = "\\Control Panel\\Desktop\\WindowMetrics\\";
  enum Kind { kWrite, kValueDelete, kKeyDelete, kCall, kCallWithCleanUp };
  // The records of each kind meet at the MinWidth value the clean-up removes.
  const auto make = [&](Kind kind, const char* name, std::int32_t n) {
    switch (kind) {
      case kWrite: return WriteRecord(name, HKCU, metrics, "MinWidth", 3, n);
      case kValueDelete: return DeleteValueRecord(name, HKCU, metrics, "MinWidth");
      case kKeyDelete: return DeleteKeyRecord(name, HKCU, metrics);
      case kCall: return SpiRecord(name, spi::SETMINIMIZEDMETRICS, 20, MinimizedMetricsBlock(n, 0, 0, 8), 3);
      case kCallWithCleanUp: break;
    }
    TRegRecor r = SpiRecord(name, spi::SETMINIMIZEDMETRICS, 20, MinimizedMetricsBlock(n, 0, 0, 8), 3);
    r.KeyPath = metrics;
    r.ValueName = "MinWidth";
    return r;
  };
  const auto is_call = [](Kind k) { return k == kCall || k == kCallWithCleanUp; };
  for (const Kind newer : {kWrite, kValueDelete, kKeyDelete, kCall, kCallWithCleanUp}) {
    for (const Kind later : {kWrite, kValueDelete, kKeyDelete, kCall, kCallWithCleanUp}) {
      if (newer == later || (!is_call(newer) && !is_call(later))) continue;
      SCOPED_TRACE(testing::Message() << "newer " << newer << ", later " << later);
      TCorvanel queue(p);
      queue.AddRecord(make(newer, "A", 100));
      queue.AddRecord(make(later, "B", 200));
      queue.AddRecord(make(newer, "A", 300));
      TRegRecor expected = make(later, "B", 200);
      if (is_call(newer) && is_call(later)) expected.SpiPvParam = MinimizedMetricsBlock(300, 0, 0, 8);
      EXPECT_EQ(queue.Records(), (std::vector<TRegRecor>{make(newer, "A", 300), expected}));
    }
  }
}

// What a bit-by-bit change starts from: the queue's last word on the place, else the
// registry.
TEST_F(Queue, ReadLatestPrefersWhatTheQueueWouldLeave) {
  const std::string k = "\\Policies\\";
  struct Row {
    const char* what;
    std::vector<TRegRecor> queued;
    std::int32_t status;
    std::uint8_t type;
    Value value;
  };
  const Row rows[] = {
      {"nothing queued: the stored value", {}, 0, 3, Value(0x91)},
      {"a queued write as the registry would keep it",
       {WriteRecord("A", HKCU, k, "NoDrive", 3, 1), WriteRecord("B", HKCU, k, "NoDrive", 3, "149")}, 0, 3, Value(149)},
      {"a queued text of a number", {WriteRecord("A", HKCU, k, "NoDrive", 1, 12)}, 0, 1, Value("12")},
      {"a queued value delete", {DeleteValueRecord("A", HKCU, k, "nodrive")}, 2, 9, Value("untouched")},
      {"a queued delete of the key", {DeleteKeyRecord("A", HKCU, "\\POLICIES")}, 1, 9, Value("untouched")},
      {"the key deleted, then written again", {DeleteKeyRecord("A", HKCU, k), WriteRecord("B", HKCU, k, "w", 3, 1)}, 2,
       9, Value("untouched")},
      {"another root does not count", {WriteRecord("A", HKLM, k, "NoDrive", 3, 7)}, 0, 3, Value(0x91)},
  };
  reg().SetDword(HKCU, k, "NoDrive", 0x91);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TCorvanel queue(p);
    for (const TRegRecor& r : row.queued) queue.AddRecord(r);
    TRegRecor r = ReadRecord(HKCU, k, "NoDrive");
    r.DataType = 9;
    r.Value = Value("untouched");
    queue.ReadLatest(r);
    EXPECT_EQ(r.Status, row.status);
    EXPECT_EQ(r.DataType, row.type);
    EXPECT_EQ(r.Value, row.value);
  }
}

// A QWORD is written as one, and comes back as its bytes only to a caller that asks.
TEST_F(Queue, QwordRecordsAndReads) {
  const Bytes stored{0x95, 0, 0, 0, 0, 0, 0, 0x7F};
  q.AddRecord(WriteRecord("Q", HKCU, "\\K\\", "mask", kTypeQword, stored));
  TRegRecor pending = ReadRecord(HKCU, "\\K\\", "mask");
  q.ReadLatest(pending);
  EXPECT_EQ(pending.DataType, kTypeOther);  // as ReadValue will report it
  ASSERT_TRUE(q.Apply().ok());
  EXPECT_EQ(reg().Get(HKCU, "K", "mask"), (RegValue{win::REG_QWORD, stored}));
  TRegRecor r = ReadRecord(HKCU, "\\K\\", "mask");
  q.ReadLatest(r, true);
  EXPECT_EQ(r.DataType, kTypeQword);
  EXPECT_EQ(r.Value, Value(stored));
  // More than 8 bytes are no QWORD: the run stops there, as for any value that does not convert.
  q.AddRecord(WriteRecord("Q", HKCU, "\\K\\", "mask", kTypeQword, Bytes(9, 1)));
  EXPECT_FALSE(q.Apply().ok());
}

// ----- reading -------------------------------------------------------------------

TEST_F(Queue, ReadValueStatusTypeAndValue) {
  auto& m = reg();
  m.SetString(HKCU, "R", "sz", "abc");
  m.SetString(HKCU, "R", "empty", "");
  m.SetExpandString(HKCU, "R", "ex", "%TEMP%\\x");
  m.SetDword(HKCU, "R", "dw", 0xFFFFFFFF);
  m.SetBinary(HKCU, "R", "bin", {1, 2});
  m.SetBinary(HKCU, "R", "nobin", {});
  m.SetMultiString(HKCU, "R", "multi", {"a"});
  m.SetQword(HKCU, "R", "qw", 5);
  m.CreateKeyPath(HKCU, "NoDefault");
  m.SetString(HKCU, "WithDefault", "", "def");
  m.SetReadOnly(HKCU, "Locked");
  m.SetString(HKCU, "Locked", "v", "x");

  const Value kBefore = "before";
  struct Row {
    const char* path;
    const char* name;
    std::int32_t status;
    std::uint8_t type;
    Value value;
  };
  const Row rows[] = {
      {"\\Missing\\", "v", 1, 9, kBefore},   {"\\R\\", "none", 2, 9, kBefore},
      {"\\R\\", "sz", 0, 1, "abc"},          {"\\r", "SZ", 0, 1, "abc"},
      {"\\R\\", "empty", 0, 1, ""},          {"\\R\\", "ex", 0, 2, "%TEMP%\\x"},
      {"\\R\\", "dw", 0, 3, -1},             {"\\R\\", "bin", 0, 4, Bytes{1, 2}},
      {"\\R\\", "nobin", 0, 4, Bytes{}},     {"\\R\\", "multi", 0, 0, kBefore},
      {"\\R\\", "qw", 0, 0, kBefore},        {"\\NoDefault\\", "", 2, 9, kBefore},
      {"\\WithDefault\\", "", 0, 1, "def"},  {"\\Locked\\", "v", 1, 9, kBefore},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.path << " " << row.name);
    TRegRecor r = ReadRecord(HKCU, row.path, row.name);
    r.Status = 7;
    r.DataType = 9;
    r.Value = kBefore;
    q.ReadValue(r);
    EXPECT_EQ(r.Status, row.status);
    EXPECT_EQ(int(r.DataType), int(row.type));
    EXPECT_EQ(r.Value, row.value);
  }
}

TEST_F(Queue, TestValueReportsKeyAndNamedValue) {
  reg().CreateKeyPath(HKCR, "NoDefault");
  reg().SetString(HKCR, "Named", "v", "x");
  reg().SetReadOnly(HKCR, "Locked");
  struct Row {
    const char* path;
    const char* name;
    std::int32_t expected;
  };
  const Row rows[] = {{"\\Missing\\", "", 1}, {"\\NoDefault\\", "", 0}, {"\\Named\\", "v", 0},
                      {"\\Named\\", "w", 2},  {"\\NoDefault\\", "v", 2}, {"\\Locked\\", "", 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.path << " " << row.name);
    EXPECT_EQ(q.TestValue(ReadRecord(HKCR, row.path, row.name)), row.expected);
  }
}

// ----- the 64-bit view -----------------------------------------------------------

TEST_F(Queue, SixtyFourBitViewExactlyWhereTheRulesSay) {
  constexpr std::uint32_t kFlag = win::KEY_WOW64_64KEY;
  for (const bool wow64 : {false, true}) {
    SCOPED_TRACE(wow64);
    reg().SetWow64Answer(wow64);
    reg().SetString(HKLM, "V\\Leaf", "v", "x");
    reg().SetString(HKLM, "V", "x", "x");
    const std::uint32_t expected = wow64 ? kFlag : 0;

    auto flags_of = [&](const std::string& path) {
      std::vector<std::uint32_t> flags;
      for (const auto& a : reg().access_log()) {
        if (a.path == path) {
          flags.push_back(a.access & kFlag);
        }
      }
      return flags;
    };

    reg().ClearLogs();
    TRegRecor read = ReadRecord(HKLM, "\\V\\", "x");
    q.ReadValue(read);
    EXPECT_EQ(flags_of("V"), std::vector<std::uint32_t>{expected}) << "ReadValue";

    reg().ClearLogs();
    q.TestValue(read);
    EXPECT_EQ(flags_of("V"), std::vector<std::uint32_t>{0}) << "TestValue";

    reg().ClearLogs();
    q.AddRecord(WriteRecord("w1", HKLM, "\\W1\\", "v", 1, "x"));
    q.AddRecord(DeleteKeyRecord("d3", HKLM, "\\V\\Leaf\\", true));
    TRegRecor d4 = DeleteValueRecord("d4", HKLM, "\\V\\", "x");
    d4.Action = 4;
    q.AddRecord(d4);
    q.AddRecord(WriteRecord("w2", HKLM, "\\W2\\", "v", 1, "x"));
    ASSERT_TRUE(q.Apply().ok());
    EXPECT_EQ(flags_of("W1"), std::vector<std::uint32_t>{expected}) << "write";
    EXPECT_EQ(flags_of("V\\Leaf"), (std::vector<std::uint32_t>{kFlag, kFlag})) << "action 3: test, delete";
    EXPECT_EQ(flags_of("V"), std::vector<std::uint32_t>{kFlag}) << "action 4";
    EXPECT_EQ(flags_of("W2"), std::vector<std::uint32_t>{expected}) << "a write after a 64-bit delete";
    EXPECT_FALSE(reg().KeyExists(HKLM, "V\\Leaf"));
    EXPECT_FALSE(reg().ValueExists(HKLM, "V", "x"));
  }
}

}  // namespace
}  // namespace corvanel::engine
