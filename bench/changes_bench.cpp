// Opening the Changes window with 1,000 pending records: reading the places they write
// and turning them into rows, then creating the window's controls with the rows in its
// list view. Half the places hold a value already, so both "Now" paths are measured.
#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "ui/changes.h"
#include "ui/main_window.h"
#include "ui/win32/form_view.h"

#include <commctrl.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr wchar_t kBenchKey[] = L"Software\\CorvanelChangesBench";
int kRecords = 1000;

double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

// CPU time of this process (user and kernel), in milliseconds: on a busy machine the wall
// clock also counts the time other processes held the processor.
double CpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ticks = [](const FILETIME& f) { return (static_cast<std::uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10'000.0;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd, msg, wp, lp); }

}  // namespace

int main(int argc, char** argv) {
  using namespace corvanel;
  // Another count to see the fixed cost of the window: "corvanel_bench_changes 0".
  if (argc > 1) kRecords = std::atoi(argv[1]);
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSW wc{};
  wc.lpfnWndProc = &HostProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"CorvanelChangesBenchHost";
  RegisterClassW(&wc);

  RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
  auto platform = platform::MakeWin32Platform();
  ui::TCorvanel_FormMain main(*platform, {});
  for (int i = 0; i < kRecords; ++i) {
    const std::string key = "\\Software\\CorvanelChangesBench\\Group" + std::to_string(i / 50);
    const std::string name = "Value" + std::to_string(i);
    if (i % 2 == 0) {
      HKEY k = nullptr;
      const std::wstring wkey = std::wstring(kBenchKey) + L"\\Group" + std::to_wstring(i / 50);
      const std::wstring wname = L"Value" + std::to_wstring(i);
      RegCreateKeyExW(HKEY_CURRENT_USER, wkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
      const DWORD v = 7;
      RegSetValueExW(k, wname.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
      RegCloseKey(k);
    }
    main.Queue().AddRecord(i % 3 == 0 ? engine::WriteRecord("Bench" + std::to_string(i), platform::HKCU, key, name,
                                                            engine::kTypeText, engine::MakeText("text " + name))
                                      : engine::WriteRecord("Bench" + std::to_string(i), platform::HKCU, key, name,
                                                            engine::kTypeNumber, engine::MakeInt(i)));
  }

  std::vector<double> rows_ms, window_ms, total_ms, cpu_ms;
  for (int run = 0; run < 7; ++run) {
    HWND host = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 700, 480,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    const double c0 = CpuMs();
    const auto t0 = Clock::now();
    auto dialog = std::make_unique<ui::TCorvanel_FormChanges>(main);
    const auto t1 = Clock::now();
    auto view = std::make_unique<ui::win32::FormView>(*dialog, host, 96, ui::win32::FormView::Hooks{});
    view->Build();
    const auto t2 = Clock::now();
    cpu_ms.push_back(CpuMs() - c0);
    if (dialog->List().rows.size() != static_cast<std::size_t>(kRecords)) {
      std::fprintf(stderr, "%zu rows, expected %d\n", dialog->List().rows.size(), kRecords);
      return 1;
    }
    rows_ms.push_back(Ms(t0, t1));
    window_ms.push_back(Ms(t1, t2));
    total_ms.push_back(Ms(t0, t2));
    view.reset();
    dialog.reset();
    DestroyWindow(host);
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
  std::printf("Changes window with %d pending records (median of 7)\n", kRecords);
  std::printf("  rows (read the places, format)   %8.2f ms\n", Median(rows_ms));
  std::printf("  window and list view filled      %8.2f ms\n", Median(window_ms));
  std::printf("  total                            %8.2f ms  (aim < 100 ms)\n", Median(total_ms));
  std::printf("  of it CPU time of this process   %8.2f ms\n", Median(cpu_ms));
  return 0;
}
