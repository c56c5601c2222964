// Apply of 1,000 mixed records into the real registry, against importing the same changes
// with the system's own `reg import` from a .reg file (the program's own export of the
// records), in the same run, and Apply with its undo capture against Apply without. All
// must leave the same registry state, and Undo the state before, which the benchmark
// checks before it believes its figures. Natively it runs on the in-memory registry,
// without the import.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/reg_file.h"
#include "engine/registry.h"
#include "engine/setting_queue.h"
#include "engine/undo.h"
#include "platform/reg_text.h"
#ifdef _WIN32
#include "bench/win32_process.h"
#include "platform/win32/win32_platform.h"
#else
#include "platform/memory/memory_platform.h"
#endif

namespace {

namespace engine = corvanel::engine;
namespace platform = corvanel::platform;
namespace win = corvanel::platform::win;
using platform::HKCU;

constexpr int kRecords = 1000;
constexpr int kRuns = 7;
const std::string kBase = "Software\\CorvanelBench";

std::string SetKey(int i) { return kBase + "\\Set" + std::to_string(i / 20); }
std::string OldKey(int i) { return kBase + "\\Old" + std::to_string(i); }

std::vector<std::uint8_t> BinaryOf(int i) {
  std::vector<std::uint8_t> b(16);
  for (std::size_t k = 0; k < b.size(); ++k) {
    b[k] = static_cast<std::uint8_t>(i * 7 + static_cast<int>(k));
  }
  return b;
}

// 40% strings, 30% numbers, 20% binaries, 10% deletes (half values, half key trees).
std::vector<engine::TRegRecor> MakeRecords() {
  std::vector<engine::TRegRecor> out;
  for (int i = 0; i < kRecords; ++i) {
    const std::string name = "Bench_" + std::to_string(i);
    const std::string key = "\\" + SetKey(i) + "\\";
    const std::string value = "v" + std::to_string(i);
    switch (i % 10) {
      case 0: case 1: case 2: case 3:
        out.push_back(engine::WriteRecord(name, HKCU, key, value, 1, "text \"" + std::to_string(i) + "\" C:\\x"));
        break;
      case 4: case 5: case 6:
        out.push_back(engine::WriteRecord(name, HKCU, key, value, 3, i * 1000));
        break;
      case 7: case 8:
        out.push_back(engine::WriteRecord(name, HKCU, key, value, 4, BinaryOf(i)));
        break;
      default:
        if ((i / 10) % 2 == 0) {
          out.push_back(engine::DeleteValueRecord(name, HKCU, key, "old" + std::to_string(i)));
        } else {
          out.push_back(engine::DeleteKeyRecord(name, HKCU, "\\" + OldKey(i) + "\\"));
        }
    }
  }
  return out;
}

// Clears the bench tree and plants what the delete records remove.
void Reset(platform::Platform& p) {
  engine::TRegistry reg(p.registry());
  reg.RemoveTree("\\" + kBase + "\\");
  for (int i = 9; i < kRecords; i += 10) {
    if ((i / 10) % 2 == 0) {
      reg.OpenPath("\\" + SetKey(i) + "\\", true);
      reg.WriteText("old" + std::to_string(i), "stale");
    } else {
      reg.OpenPath("\\" + OldKey(i) + "\\Sub\\", true);
      reg.WriteNumber("stale", 1);
    }
  }
}

// Every key, value, type and byte below the bench tree, in a stable order.
void Digest(platform::Registry& reg, platform::RegKey key, const std::string& path, std::string* out) {
  std::vector<std::string> names;
  std::string name;
  for (std::uint32_t i = 0; reg.EnumValue(key, i, &name) == win::kSuccess; ++i) names.push_back(name);
  std::sort(names.begin(), names.end());
  for (const auto& n : names) {
    std::uint32_t type = 0, size = 0;
    std::vector<std::uint8_t> data;
    reg.QueryValue(key, n, &type, &data, &size);
    *out += path + "|" + n + "|" + std::to_string(type) + "|" + std::string(data.begin(), data.end()) + "\n";
  }
  names.clear();
  for (std::uint32_t i = 0; reg.EnumKey(key, i, &name) == win::kSuccess; ++i) names.push_back(name);
  std::sort(names.begin(), names.end());
  for (const auto& n : names) {
    platform::RegKey sub = 0;
    if (reg.OpenKey(key, n, win::KEY_READ, &sub) == win::kSuccess) {
      *out += path + "\\" + n + "\n";
      Digest(reg, sub, path + "\\" + n, out);
      reg.CloseKey(sub);
    }
  }
}

std::string TreeDigest(platform::Platform& p) {
  std::string out;
  platform::RegKey key = 0;
  if (p.registry().OpenKey(HKCU, kBase, win::KEY_READ, &key) == win::kSuccess) {
    Digest(p.registry(), key, "", &out);
    p.registry().CloseKey(key);
  }
  return out;
}

// The same changes as the records make, straight through the registry API, with the least
// work the API allows: a key stays open while the next change is in the same key, a tree
// is deleted bottom-up. No queue and no conversions beyond the UTF-16 the API needs: what
// the registry itself costs.
void DeleteTreePlain(platform::Registry& reg, platform::RegKey parent, const std::string& subkey) {
  platform::RegKey key = 0;
  if (reg.OpenKey(parent, subkey, win::KEY_ALL_ACCESS, &key) == win::kSuccess) {
    std::string name;
    while (reg.EnumKey(key, 0, &name) == win::kSuccess) DeleteTreePlain(reg, key, name);
    reg.CloseKey(key);
  }
  reg.DeleteKey(parent, subkey);
}

void PlainLoop(platform::Registry& reg, const std::vector<engine::TRegRecor>& records) {
  platform::RegKey k = 0;
  std::string open;
  auto close = [&] {
    if (k != 0) reg.CloseKey(k);
    k = 0;
    open.clear();
  };
  for (const auto& r : records) {
    const std::string key = r.KeyPath.substr(1, r.KeyPath.size() - 2);
    if (r.Action == engine::kActionDeleteKey) {
      close();
      DeleteTreePlain(reg, HKCU, key);
      continue;
    }
    if (key != open) {
      close();
      const long rc = r.Action == engine::kActionDeleteValue
                          ? reg.OpenKey(HKCU, key, win::KEY_ALL_ACCESS, &k)
                          : reg.CreateKey(HKCU, key, win::KEY_ALL_ACCESS, &k, nullptr);
      if (rc != win::kSuccess) {
        k = 0;
        continue;
      }
      open = key;
    }
    if (r.Action == engine::kActionDeleteValue) {
      reg.DeleteValue(k, r.ValueName);
    } else if (r.DataType == 1) {
      const auto bytes = platform::EncodeRegString(r.Value.AsText());
      reg.SetValue(k, r.ValueName, win::REG_SZ, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    } else if (r.DataType == 3) {
      const auto n = static_cast<std::uint32_t>(r.Value.AsInt());
      const std::uint8_t b[4] = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                                 static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
      reg.SetValue(k, r.ValueName, win::REG_DWORD, b, 4);
    } else {
      const auto& bytes = r.Value.AsBytes();
      reg.SetValue(k, r.ValueName, win::REG_BINARY, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    }
  }
  close();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
#ifdef _WIN32
  auto p = platform::MakeWin32Platform();
  const char* where = "Wine registry";
#else
  auto p = std::make_unique<platform::memory::MemoryPlatform>();
  const char* where = "in-memory registry";
#endif
  const auto records = MakeRecords();

#ifdef _WIN32
  const std::string reg_file = corvanel::bench::TempFolder() + "corvanel_bench_import.reg";
  if (!p->files().WriteFileAtomic(reg_file, engine::RegFileBytes(engine::RegFileText(records, p->system())))) {
    std::printf("cannot write the .reg file\n");
    return 1;
  }
  const std::string import = "reg.exe import \"" + reg_file + "\"";
  const std::string bare_start = "reg.exe query \"HKCU\\Software\\CorvanelBenchNothing\"";
#endif

  std::vector<double> apply_ms, capture_ms, undo_ms, import_ms, start_ms, plain_ms;
  bool same = true;
  bool undone = true;
  for (int run = 0; run < kRuns; ++run) {
    Reset(*p);
    const std::string before = TreeDigest(*p);
    engine::TCorvanel queue(*p);
    for (const auto& r : records) queue.AddRecord(r);
    auto t0 = std::chrono::steady_clock::now();
    const engine::ApplyResult result = queue.Apply();
    apply_ms.push_back(MsSince(t0));
    if (!result.ok()) {
      std::printf("Apply stopped at record %zu: %s\n", result.index, result.error_text.c_str());
      return 1;
    }
    const std::string after_apply = TreeDigest(*p);

    Reset(*p);
    engine::TCorvanel captured(*p);
    for (const auto& r : records) captured.AddRecord(r);
    engine::UndoJournal journal(*p);
    t0 = std::chrono::steady_clock::now();
    captured.Apply(&journal);
    capture_ms.push_back(MsSince(t0));
    same = same && TreeDigest(*p) == after_apply;
    t0 = std::chrono::steady_clock::now();
    undone = journal.Undo().ok() && undone;
    undo_ms.push_back(MsSince(t0));
    undone = undone && TreeDigest(*p) == before;

    Reset(*p);
    t0 = std::chrono::steady_clock::now();
    PlainLoop(p->registry(), records);
    plain_ms.push_back(MsSince(t0));
    same = same && TreeDigest(*p) == after_apply;

#ifdef _WIN32
    Reset(*p);
    t0 = std::chrono::steady_clock::now();
    const long rc = corvanel::bench::RunQuiet(import);
    import_ms.push_back(MsSince(t0));
    if (rc != 0) {
      std::printf("reg import failed (exit %ld)\n", rc);
      return 1;
    }
    same = same && TreeDigest(*p) == after_apply && !after_apply.empty();

    t0 = std::chrono::steady_clock::now();
    corvanel::bench::RunQuiet(bare_start);
    start_ms.push_back(MsSince(t0));
#endif
  }
  engine::TRegistry(p->registry()).RemoveTree("\\" + kBase + "\\");

  const double a = Median(apply_ms), c = Median(capture_ms), u = Median(undo_ms), l = Median(plain_ms);
  std::printf("Apply of %d records (400 strings, 300 numbers, 200 binaries, 50 value and 50 key deletes),\n",
              kRecords);
  std::printf("median of %d runs, %s:\n", kRuns, where);
  std::printf("  TCorvanel::Apply          %8.2f ms\n", a);
  std::printf("  Apply with undo capture   %8.2f ms\n", c);
  std::printf("  Undo of that Apply        %8.2f ms\n", u);
  std::printf("  plain registry API loop   %8.2f ms\n", l);
#ifdef _WIN32
  corvanel::bench::RemoveFile(reg_file);
  const double i = Median(import_ms), s = Median(start_ms);
  std::printf("  reg import (.reg, UTF-16) %8.2f ms\n", i);
  std::printf("  (reg.exe query of a missing key, i.e. mostly its start: %.2f ms)\n", s);
  std::printf("  ratio import / Apply      %8.2f\n", i / a);
#endif
  std::printf("  ratio capture / Apply     %8.2f\n", c / a);
  std::printf("  ratio Apply / plain loop  %8.2f\n", a / l);
  std::printf("  same registry state after all of them: %s\n", same ? "yes" : "NO");
  std::printf("  Undo gave back the state before Apply: %s\n", undone ? "yes" : "NO");
  return same && undone ? 0 : 1;
}
