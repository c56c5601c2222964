#include "pages/minimized_metrics.h"

#include <cstring>
#include <initializer_list>
#include <variant>
#include <vector>

namespace corvanel::pages {
namespace {

constexpr std::uint32_t kBlockSize = 20;  // cbSize and four 32-bit fields
constexpr std::uint32_t SPIF_UPDATEINIFILE = 1;

std::vector<std::uint8_t> BlockOf(const MinimizedMetrics& m) {
  std::vector<std::uint8_t> block(kBlockSize, 0);
  const std::int32_t fields[] = {static_cast<std::int32_t>(kBlockSize), m.width, m.horz_gap, m.vert_gap, m.arrange};
  std::memcpy(block.data(), fields, sizeof fields);
  return block;
}

std::optional<MinimizedMetrics> MetricsOf(const std::vector<std::uint8_t>& block) {
  if (block.size() < kBlockSize) return std::nullopt;
  std::int32_t fields[5] = {};
  std::memcpy(fields, block.data(), sizeof fields);
  return MinimizedMetrics{fields[1], fields[2], fields[3], fields[4]};
}

bool OneOf(std::int32_t n, std::initializer_list<std::int32_t> set) {
  for (const std::int32_t m : set) {
    if (n == m) return true;
  }
  return false;
}

}  // namespace

std::optional<MinimizedMetrics> QueryMinimizedMetrics(platform::SystemParameters& spi) {
  std::vector<std::uint8_t> block = BlockOf({});
  if (!spi.Spi(SPI_GETMINIMIZEDMETRICS, kBlockSize, block.data(), 0)) return std::nullopt;
  return MetricsOf(block);
}

std::optional<MinimizedMetrics> LatestMinimizedMetrics(const engine::TCorvanel& queue,
                                                       platform::SystemParameters& spi) {
  if (const engine::TRegRecor* pending = queue.PendingSpi(SPI_SETMINIMIZEDMETRICS)) {
    if (const auto* block = std::get_if<std::vector<std::uint8_t>>(&pending->SpiPvParam)) {
      if (auto m = MetricsOf(*block)) return m;
    }
  }
  return QueryMinimizedMetrics(spi);
}

MinimizedLists ListsOf(std::int32_t a) {
  const bool side_by_side = (a >= 0 && a <= 3) || (a >= 8 && a <= 11);
  const bool left = side_by_side ? OneOf(a, {0, 2, 8, 10}) : OneOf(a, {4, 6, 12, 14});
  const bool top = side_by_side ? OneOf(a, {2, 3, 10, 11}) : OneOf(a, {6, 7, 14, 15});
  return {left ? 0 : 1, top ? 0 : 1, side_by_side ? 0 : 1};
}

std::int32_t ArrangeOf(const MinimizedLists& lists, std::int32_t current) {
  std::int32_t arrange = current >= ARW_HIDE ? ARW_HIDE : 0;
  if (lists.arrangement == 1) arrange += ARW_UP;
  if (lists.top == 0) arrange += ARW_STARTTOP;
  if (lists.left == 1) arrange += ARW_STARTRIGHT;
  return arrange;
}

engine::TRegRecor MinimizedMetricsRecord(std::string name, const MinimizedMetrics& m, bool drops_min_width) {
  engine::TRegRecor r =
      engine::SpiRecord(std::move(name), SPI_SETMINIMIZEDMETRICS, kBlockSize, BlockOf(m), SPIF_UPDATEINIFILE);
  if (drops_min_width) {
    r.KeyPath = "\\Control Panel\\Desktop\\WindowMetrics\\";
    r.ValueName = "MinWidth";
  }
  return r;
}

}  // namespace corvanel::pages
