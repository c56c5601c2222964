// The minimized-window metrics (SPI_GET/SETMINIMIZEDMETRICS), which the Task Bar and the
// General Setting pages both change: the block, the three lists that show iArrange, and
// the record a change queues.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/setting_queue.h"
#include "platform/platform.h"

namespace corvanel::pages {

inline constexpr std::uint32_t SPI_GETMINIMIZEDMETRICS = 0x002B, SPI_SETMINIMIZEDMETRICS = 0x002C;
inline constexpr std::int32_t ARW_STARTRIGHT = 1, ARW_STARTTOP = 2, ARW_UP = 4, ARW_HIDE = 8;

// MINIMIZEDMETRICS without its cbSize.
struct MinimizedMetrics {
  std::int32_t width = 0;
  std::int32_t horz_gap = 0;
  std::int32_t vert_gap = 0;
  std::int32_t arrange = 0;
};

// The system's current metrics; nothing when the query is refused.
std::optional<MinimizedMetrics> QueryMinimizedMetrics(platform::SystemParameters& spi);
// What Apply would leave: a queued block (from either page) wins over the system's
// reading, so two changes before one Apply build on each other.
std::optional<MinimizedMetrics> LatestMinimizedMetrics(const engine::TCorvanel& queue, platform::SystemParameters& spi);

// The item indexes of the "Left"/"Right", "Top"/"Bottom" and "Side by side"/"Cascading"
// lists for an iArrange; values beyond the four bits count as cascading.
struct MinimizedLists {
  int left = 0;
  int top = 0;
  int arrangement = 0;
};
MinimizedLists ListsOf(std::int32_t arrange);
// The iArrange the lists choose, keeping the hide bit of `current`.
std::int32_t ArrangeOf(const MinimizedLists& lists, std::int32_t current);

// The SPI record of a change. The arrangement records also carry the user's MinWidth
// value, which the queue removes after the call so that it cannot override the block.
engine::TRegRecor MinimizedMetricsRecord(std::string name, const MinimizedMetrics& m, bool drops_min_width);

}  // namespace corvanel::pages
