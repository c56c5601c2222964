// corvanel_e2e.exe: without arguments (or with GoogleTest's), the end-to-end tests.
// With "--tool ..." a helper for the scripts:
//   --tool ready [ms]          wait for the running program's start page; print its client
//                              area on the screen, "left top width height"
//   --tool show TAG [TAB]      open page TAG (and tab TAB) in the running program
//   --tool click NAME [CLASS]  click the button NAME of the running program (posted), in its
//                              window of class CLASS when given
//   --tool close               close the running program and wait for it to end
//   --tool window CLASS [ms]   wait for the running program's visible top-level window of
//                              that class (a dialog); print its client area as "ready" does
//   --tool close-window CLASS  close that window (the close box) and wait for it to go
//   --tool bench N EMPTY_EXE   start-up time of corvanel.exe against an empty window, N runs
//   --tool pages N             each page's first visit (click to page painted), N fresh runs
//   --tool spi ACTION          a BOOL system parameter (SPI_GET..., decimal) as the exit
//                              code, 0 or 1; 3 when the query fails. A fresh process reads
//                              what Wine holds now: a process keeps the values it once read.
//   --tool spi-set ACTION UI PV  SystemParametersInfoW(ACTION, UI, PV as a number,
//                              SPIF_UPDATEINIFILE); exit code 0 when it succeeded
//   --tool metric INDEX        GetSystemMetrics(INDEX) as the exit code, read fresh as "spi"
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/remote.h"

namespace {

using corvanel::e2e::Program;
using corvanel::e2e::WaitFor;
namespace automation = corvanel::ui::win32;

HWND RunningMain(int timeout_ms) {
  HWND main = nullptr;
  WaitFor(
      [&] {
        main = FindWindowW(automation::kMainWindowClass, nullptr);
        return main != nullptr;
      },
      timeout_ms);
  return main;
}

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

void PrintClientArea(HWND hwnd) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, rc.right, rc.bottom);
}

int ToolWindow(const std::string& cls, int timeout_ms) {
  const std::wstring name = Wide(cls);
  HWND found = nullptr;
  WaitFor(
      [&] {
        found = FindWindowW(name.c_str(), nullptr);
        return found != nullptr && IsWindowVisible(found);
      },
      timeout_ms);
  if (found == nullptr || !IsWindowVisible(found)) {
    std::fprintf(stderr, "no visible window of class %s\n", cls.c_str());
    return 2;
  }
  PrintClientArea(found);
  return 0;
}

int ToolCloseWindow(const std::string& cls) {
  HWND found = FindWindowW(Wide(cls).c_str(), nullptr);
  if (found == nullptr) return 0;
  PostMessageW(found, WM_CLOSE, 0, 0);
  return WaitFor([&] { return IsWindow(found) == FALSE; }, 10000) ? 0 : 5;
}

int ToolReady(int timeout_ms) {
  Program p;
  HWND main = RunningMain(timeout_ms);
  if (main == nullptr) {
    std::fprintf(stderr, "no corvanel window\n");
    return 2;
  }
  p.Attach(main);
  if (!p.WaitStartup(timeout_ms)) {
    std::fprintf(stderr, "start page not loaded in time\n");
    return 3;
  }
  // The client area: under Xvfb there is no window manager to draw a frame.
  PrintClientArea(main);
  return 0;
}

int ToolShow(const std::string& tag, const std::string& tab) {
  Program p;
  HWND main = RunningMain(5000);
  if (main == nullptr) return 2;
  p.Attach(main);
  const std::string arg = tab.empty() ? tag : tag + "," + tab;
  return p.Query(automation::kQueryShowPage, arg) == 1 ? 0 : 4;
}

int ToolClick(const std::string& name, const std::string& window_class) {
  Program p;
  HWND main = RunningMain(5000);
  if (main == nullptr) return 2;
  p.Attach(main);
  HWND dialog = window_class.empty() ? nullptr : FindWindowW(Wide(window_class).c_str(), nullptr);
  if (!window_class.empty() && dialog == nullptr) return 3;
  HWND button = dialog == nullptr ? p.Control(name) : p.ControlIn(dialog, name);
  if (button == nullptr) return 4;
  PostMessageW(button, BM_CLICK, 0, 0);
  return 0;
}

// Types `text` (ASCII) into the edit `name` as keystrokes would, replacing what it holds.
int ToolType(const std::string& name, const std::string& text) {
  Program p;
  HWND main = RunningMain(5000);
  if (main == nullptr) return 2;
  p.Attach(main);
  HWND edit = p.Control(name);
  if (edit == nullptr) return 4;
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_CHAR, VK_BACK, 0);
  for (char ch : text) SendMessageW(edit, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(ch)), 0);
  return 0;
}

int ToolClose() {
  HWND main = RunningMain(2000);
  if (main == nullptr) return 0;
  DWORD pid = 0;
  GetWindowThreadProcessId(main, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  PostMessageW(main, WM_CLOSE, 0, 0);
  const bool ended = process == nullptr || WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
  if (process) CloseHandle(process);
  return ended ? 0 : 5;
}

// Milliseconds from CreateProcess until `ready` holds; negative on failure. `window`
// receives the time until the window existed.
double TimeStart(const std::wstring& exe, const wchar_t* cls, bool corvanel, double* window) {
  Program p;
  const auto t0 = std::chrono::steady_clock::now();
  if (!p.Start(exe)) return -1;
  HWND main = nullptr;
  const bool ok = WaitFor(
      [&] {
        if (main == nullptr) {
          main = p.FindWindowOf(cls);
          if (main != nullptr)
            *window = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        }
        if (main == nullptr) return false;
        p.Attach(main);
        if (corvanel) return p.StartupDone();
        // Painted, as corvanel's answer means: the empty window answers a sent message
        // once its first paint is done and it waits for messages.
        DWORD_PTR ignored = 0;
        return IsWindowVisible(main) != FALSE &&
               SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored) != 0;
      },
      30000);
  const auto t1 = std::chrono::steady_clock::now();
  DWORD code = 0;
  PostMessageW(main, WM_CLOSE, 0, 0);
  p.WaitExit(10000, &code);
  if (!ok) return -1;
  return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n == 0 ? 0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
}

int ToolBench(int runs, const std::wstring& empty_exe) {
  std::vector<double> program;
  std::vector<double> empty;
  std::vector<double> program_window;
  // Interleaved, so a slow phase of the machine hits both alike.
  for (int i = 0; i < runs; ++i) {
    double ignored = 0;
    double window = 0;
    const double e = TimeStart(empty_exe, L"CorvanelEmptyWindow", false, &ignored);
    const double c = TimeStart(corvanel::e2e::ProgramPath(), automation::kMainWindowClass, true, &window);
    program_window.push_back(window);
    if (e < 0 || c < 0) {
      std::fprintf(stderr, "run %d failed (empty %.1f, corvanel %.1f)\n", i, e, c);
      return 6;
    }
    empty.push_back(e);
    program.push_back(c);
  }
  const double me = Median(empty);
  const double mc = Median(program);
  // Corvanel cannot show its start page before its two start-up timer ticks (100 ms each).
  const double floor = me + 200.0;
  std::printf(
      "runs %d\nempty window shown and painted, median %.1f ms\ncorvanel window created, median %.1f ms\n"
      "corvanel start page loaded, panel gone and painted, median %.1f ms\nratio %.2f\n"
      "against the floor (the empty window plus the two 100 ms ticks, %.1f ms): %.3f\n",
      runs, me, Median(program_window), mc, me > 0 ? mc / me : 0.0, floor, mc / floor);
  return 0;
}

// One page's first visit as the program timed it, in milliseconds: the click to the page
// painted, and of that the system's window creation and the paint.
struct VisitTimes {
  double total = -1;
  double windows = 0;
  double paint = 0;
  double own() const { return total - windows - paint; }
};

VisitTimes LastVisit(const Program& p) {
  VisitTimes t;
  t.windows = static_cast<double>(p.Query(automation::kQueryLastVisit, "windows")) / 1000.0;
  t.paint = static_cast<double>(p.Query(automation::kQueryLastVisit, "paint")) / 1000.0;
  t.total = static_cast<double>(p.Query(automation::kQueryLastVisit, "total")) / 1000.0 + t.paint;
  return t;
}

int ToolPages(int runs) {
  struct Row {
    int tag;
    const char* name;
  };
  // Navigation order; Opera and E-mail have no row in the bar and are opened directly.
  const Row rows[] = {{19, "General Setting"}, {2, "File Types"},      {3, "Folder Types"},
                      {5, "Start Menu"},       {6, "Task Bar"},        {8, "Internet Explorer"},
                      {9, "Mozilla Firefox"},  {17, "Information"},    {4, "Input Options"},
                      {7, "Network"},          {14, "Driver"},         {15, "Memory and Cache"},
                      {10, "Opera (hidden)"},  {11, "E-mail (hidden)"}, {13, "User Logon"},
                      {18, "Security Center"}, {12, "Privacy"},        {1, "Animations and Effects"},
                      {16, "Start and Maintenance"}};
  constexpr int kRows = static_cast<int>(sizeof(rows) / sizeof(rows[0]));
  std::vector<std::vector<VisitTimes>> times(kRows);
  for (int run = 0; run < runs; ++run) {
    Program p;
    if (!p.Start(corvanel::e2e::ProgramPath())) return 6;
    HWND main = p.WaitMainWindow(30000);
    if (main == nullptr) return 6;
    if (!p.WaitStartup(30000)) return 6;
    // The start page is visited by the program itself at start-up, behind the loading
    // panel, and painted when the panel goes: its load and windows, as timed inside.
    times[0].push_back(LastVisit(p));
    // A different page comes first in each run: the first visit of all pays for what
    // the later ones find ready (fonts, themes).
    for (int k = 1; k < kRows; ++k) {
      const int i = 1 + (k - 1 + run) % (kRows - 1);
      VisitTimes t;
      if (p.Query(automation::kQueryShowPage, std::to_string(rows[i].tag)) == 1) t = LastVisit(p);
      times[static_cast<size_t>(i)].push_back(t);
    }
    PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD code = 0;
    p.WaitExit(10000, &code);
  }
  std::printf(
      "first visit of each page, click to page painted, median ms over %d runs;\n"
      "own: the program's load, adaptation and control state, without the system's window creation and paint\n"
      "%-4s %-24s %8s %8s %8s %8s\n",
      runs, "tag", "page", "total", "windows", "paint", "own");
  double slowest_total = 0;
  double slowest_own = 0;
  for (int i = 0; i < kRows; ++i) {
    const std::vector<VisitTimes>& v = times[static_cast<size_t>(i)];
    if (std::any_of(v.begin(), v.end(), [](const VisitTimes& t) { return t.total < 0; })) {
      std::printf("%-4d %-24s   failed\n", rows[i].tag, rows[i].name);
      continue;
    }
    auto median_of = [&](double (*get)(const VisitTimes&)) {
      std::vector<double> x;
      for (const VisitTimes& t : v) x.push_back(get(t));
      return Median(x);
    };
    const double total = median_of([](const VisitTimes& t) { return t.total; });
    const double own = median_of([](const VisitTimes& t) { return t.own(); });
    slowest_total = std::max(slowest_total, total);
    slowest_own = std::max(slowest_own, own);
    std::printf("%-4d %-24s %8.1f %8.1f %8.1f %8.1f\n", rows[i].tag, rows[i].name, total,
                median_of([](const VisitTimes& t) { return t.windows; }),
                median_of([](const VisitTimes& t) { return t.paint; }), own);
  }
  std::printf("slowest median: total %.1f ms, own %.1f ms\n", slowest_total, slowest_own);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--tool") {
    const std::string tool = argv[2];
    if (tool == "ready") return ToolReady(argc > 3 ? std::atoi(argv[3]) : 30000);
    if (tool == "show" && argc > 3) return ToolShow(argv[3], argc > 4 ? argv[4] : "");
    if (tool == "close") return ToolClose();
    if (tool == "window" && argc > 3) return ToolWindow(argv[3], argc > 4 ? std::atoi(argv[4]) : 10000);
    if (tool == "close-window" && argc > 3) return ToolCloseWindow(argv[3]);
    if (tool == "click" && argc > 3) return ToolClick(argv[3], argc > 4 ? argv[4] : "");
    if (tool == "type" && argc > 4) return ToolType(argv[3], argv[4]);
    if (tool == "spi" && argc > 3) {
      BOOL on = FALSE;
      if (!SystemParametersInfoW(static_cast<UINT>(std::atoi(argv[3])), 0, &on, 0)) return 3;
      return on != FALSE ? 1 : 0;
    }
    if (tool == "spi-set" && argc > 5) {
      const auto pv = static_cast<UINT_PTR>(std::atoi(argv[5]));
      return SystemParametersInfoW(static_cast<UINT>(std::atoi(argv[3])), static_cast<UINT>(std::atoi(argv[4])),
                                   reinterpret_cast<void*>(pv), SPIF_UPDATEINIFILE)
                 ? 0
                 : 3;
    }
    if (tool == "metric" && argc > 3) return GetSystemMetrics(std::atoi(argv[3]));
    if (tool == "pages") return ToolPages(argc > 3 ? std::max(1, std::atoi(argv[3])) : 5);
    if (tool == "bench" && argc > 4) {
      std::string narrow = argv[4];
      return ToolBench(std::max(1, std::atoi(argv[3])), std::wstring(narrow.begin(), narrow.end()));
    }
    std::fprintf(stderr, "unknown tool\n");
    return 64;
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
