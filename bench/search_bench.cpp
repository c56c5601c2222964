// Finding a setting: the first search of a window (the index built from every page on a
// scratch form, then matched) and a later keystroke, against the real platform. Medians
// of several fresh indexes over one window, as the program would see them.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "pages/all_pages.h"
#include "platform/win32/win32_platform.h"
#include "ui/main_window.h"
#include "ui/search.h"

namespace {

constexpr int kRuns = 21;
// What a user types, one keystroke at a time; the first search is the second character.
constexpr const char* kTyped = "administrative shares";

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  auto platform = corvanel::platform::MakeWin32Platform();
  corvanel::ui::TCorvanel_FormMain main(*platform, corvanel::pages::CreateAllPages());
  main.SetPageFactory(&corvanel::pages::CreateAllPages);
  main.ShowForm();  // the language, as the window has it before anyone can type
  const std::string typed = kTyped;
  std::vector<double> first;
  std::vector<double> later;
  std::size_t rows = 0;
  std::size_t hits = 0;
  for (int run = 0; run < kRuns; ++run) {
    corvanel::ui::SettingSearch search(main);
    auto start = std::chrono::steady_clock::now();
    search.Find(typed.substr(0, 2));
    first.push_back(MsSince(start));
    for (std::size_t n = 3; n <= typed.size(); ++n) {
      start = std::chrono::steady_clock::now();
      hits = search.Find(typed.substr(0, n)).size();
      later.push_back(MsSince(start));
    }
    rows = search.Rows().size();
  }
  std::printf("search: %zu settings indexed; \"%s\" finds %zu\n", rows, kTyped, hits);
  std::printf("%-44s %10s %10s\n", "", "median ms", "max ms");
  std::printf("%-44s %10.2f %10.2f\n", "first search (index build included)", Median(first),
              *std::max_element(first.begin(), first.end()));
  std::printf("%-44s %10.3f %10.3f\n", "later keystroke", Median(later), *std::max_element(later.begin(), later.end()));
  std::printf("aims: first < 50 ms, later < 5 ms\n");
  return 0;
}
