// How AddRecord scales with the number of distinct names: the per-record cost must stay
// flat from 10,000 to 160,000 names, or a long session of changes would grow quadratic.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/setting_queue.h"

#ifdef CORVANEL_BENCH_WIN32
#include "platform/win32/win32_platform.h"
#else
#include "platform/memory/memory_platform.h"
#endif

namespace {

using corvanel::engine::TCorvanel;
using corvanel::engine::TRegRecor;
using corvanel::engine::WriteRecord;

std::unique_ptr<corvanel::platform::Platform> MakePlatform() {
#ifdef CORVANEL_BENCH_WIN32
  return corvanel::platform::MakeWin32Platform();
#else
  return std::make_unique<corvanel::platform::memory::MemoryPlatform>();
#endif
}

double MedianMs(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Milliseconds to queue `n` distinct names and then re-queue every tenth one (merges).
double QueueOnce(corvanel::platform::Platform& platform, const std::vector<TRegRecor>& records) {
  TCorvanel queue(platform);
  const auto start = std::chrono::steady_clock::now();
  for (const TRegRecor& r : records) {
    queue.AddRecord(r);
  }
  for (std::size_t i = 0; i < records.size(); i += 10) {
    queue.AddRecord(records[i]);
  }
  const auto end = std::chrono::steady_clock::now();
  if (queue.Count() != records.size()) {
    std::fprintf(stderr, "queue holds %zu records, expected %zu\n", queue.Count(), records.size());
    std::exit(1);
  }
  return std::chrono::duration<double, std::milli>(end - start).count();
}

}  // namespace

int main() {
  auto platform = MakePlatform();
  constexpr int kRuns = 7;
  const std::size_t sizes[] = {10000, 40000, 160000};
  double per_record_10k = 0;
  std::printf("AddRecord, distinct names (+10%% merges), median of %d runs\n", kRuns);
  for (const std::size_t n : sizes) {
    std::vector<TRegRecor> records;
    records.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
      records.push_back(WriteRecord("Checkbox_Bench_Group_Setting_" + std::to_string(i), corvanel::platform::HKCU,
                                    "\\Software\\Bench\\", "v" + std::to_string(i), 3,
                                    static_cast<std::int32_t>(i)));
    }
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
      times.push_back(QueueOnce(*platform, records));
    }
    const double ms = MedianMs(times);
    const double ns_per_record = ms * 1e6 / static_cast<double>(n);
    if (n == sizes[0]) {
      per_record_10k = ns_per_record;
    }
    std::printf("  %7zu names: %9.2f ms  %7.1f ns/record  (x%.2f of the 10k cost per record)\n", n, ms,
                ns_per_record, ns_per_record / per_record_10k);
  }
  return 0;
}
