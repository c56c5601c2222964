#include <cstring>

#include "platform/memory/memory_platform.h"

namespace corvanel::platform::memory {
namespace {

// How a SET action takes its new value, and whether it is a flag (read back as 0 or 1).
enum class SetVia { kUiParam, kPvParam };
struct Scalar {
  std::uint32_t get;
  std::uint32_t set;
  SetVia via;
  bool flag;
  std::uint32_t initial;
};

// Initial values are those of a fresh Wine prefix where known, otherwise Windows' own.
constexpr Scalar kScalars[] = {
    {spi::GETBEEP, spi::SETBEEP, SetVia::kUiParam, true, 1},
    {spi::GETKEYBOARDSPEED, spi::SETKEYBOARDSPEED, SetVia::kUiParam, false, 31},
    {spi::GETKEYBOARDDELAY, spi::SETKEYBOARDDELAY, SetVia::kUiParam, false, 1},
    {spi::GETDRAGFULLWINDOWS, spi::SETDRAGFULLWINDOWS, SetVia::kUiParam, true, 1},
    {spi::GETFONTSMOOTHING, spi::SETFONTSMOOTHING, SetVia::kUiParam, true, 1},
    {spi::GETSNAPTODEFBUTTON, spi::SETSNAPTODEFBUTTON, SetVia::kUiParam, true, 0},
    {spi::GETMOUSEHOVERWIDTH, spi::SETMOUSEHOVERWIDTH, SetVia::kUiParam, false, 4},
    {spi::GETMOUSEHOVERHEIGHT, spi::SETMOUSEHOVERHEIGHT, SetVia::kUiParam, false, 4},
    {spi::GETMOUSEHOVERTIME, spi::SETMOUSEHOVERTIME, SetVia::kUiParam, false, 400},
    {spi::GETWHEELSCROLLLINES, spi::SETWHEELSCROLLLINES, SetVia::kUiParam, false, 3},
    {spi::GETMENUSHOWDELAY, spi::SETMENUSHOWDELAY, SetVia::kUiParam, false, 400},
    {spi::GETMENUANIMATION, spi::SETMENUANIMATION, SetVia::kPvParam, true, 1},
    {spi::GETCOMBOBOXANIMATION, spi::SETCOMBOBOXANIMATION, SetVia::kPvParam, true, 1},
    {spi::GETLISTBOXSMOOTHSCROLLING, spi::SETLISTBOXSMOOTHSCROLLING, SetVia::kPvParam, true, 1},
    {spi::GETGRADIENTCAPTIONS, spi::SETGRADIENTCAPTIONS, SetVia::kPvParam, true, 1},
    {spi::GETKEYBOARDCUES, spi::SETKEYBOARDCUES, SetVia::kPvParam, true, 0},
    {spi::GETHOTTRACKING, spi::SETHOTTRACKING, SetVia::kPvParam, true, 1},
    {spi::GETMENUFADE, spi::SETMENUFADE, SetVia::kPvParam, true, 1},
    {spi::GETSELECTIONFADE, spi::SETSELECTIONFADE, SetVia::kPvParam, true, 1},
    {spi::GETTOOLTIPANIMATION, spi::SETTOOLTIPANIMATION, SetVia::kPvParam, true, 1},
    {spi::GETTOOLTIPFADE, spi::SETTOOLTIPFADE, SetVia::kPvParam, true, 1},
    {spi::GETCURSORSHADOW, spi::SETCURSORSHADOW, SetVia::kPvParam, true, 1},
    {spi::GETFLATMENU, spi::SETFLATMENU, SetVia::kPvParam, true, 0},
    {spi::GETDROPSHADOW, spi::SETDROPSHADOW, SetVia::kPvParam, true, 1},
    {spi::GETUIEFFECTS, spi::SETUIEFFECTS, SetVia::kPvParam, true, 1},
    {spi::GETCLIENTAREAANIMATION, spi::SETCLIENTAREAANIMATION, SetVia::kPvParam, true, 1},
    {spi::GETFOREGROUNDLOCKTIMEOUT, spi::SETFOREGROUNDLOCKTIMEOUT, SetVia::kPvParam, false, 200000},
    {spi::GETFOREGROUNDFLASHCOUNT, spi::SETFOREGROUNDFLASHCOUNT, SetVia::kPvParam, false, 3},
    {spi::GETCARETWIDTH, spi::SETCARETWIDTH, SetVia::kPvParam, false, 1},
    {spi::GETFONTSMOOTHINGTYPE, spi::SETFONTSMOOTHINGTYPE, SetVia::kPvParam, false, 1},
};

// SET actions without a GET; the value shows in a system metric.
struct MetricSet {
  std::uint32_t set;
  int metric;
  bool flag;
};
constexpr MetricSet kMetricSets[] = {
    {spi::SETDOUBLECLKWIDTH, spi::SM_CXDOUBLECLK, false}, {spi::SETDOUBLECLKHEIGHT, spi::SM_CYDOUBLECLK, false},
    {spi::SETDRAGWIDTH, spi::SM_CXDRAG, false},           {spi::SETDRAGHEIGHT, spi::SM_CYDRAG, false},
    {spi::SETMOUSEBUTTONSWAP, spi::SM_SWAPBUTTON, true},
};

std::int32_t ReadInt(const void* p, std::size_t index) {
  std::int32_t v = 0;
  std::memcpy(&v, static_cast<const std::uint8_t*>(p) + 4 * index, 4);
  return v;
}
void WriteInt(void* p, std::size_t index, std::int32_t v) {
  std::memcpy(static_cast<std::uint8_t*>(p) + 4 * index, &v, 4);
}

}  // namespace

MemorySystemParameters::MemorySystemParameters() {
  for (const auto& s : kScalars) values_[s.get] = s.initial;
  metrics_ = {{0, 1024}, {1, 768}, {spi::SM_SWAPBUTTON, 0}, {spi::SM_CXDOUBLECLK, 4},
              {spi::SM_CYDOUBLECLK, 4}, {spi::SM_CXDRAG, 4}, {spi::SM_CYDRAG, 4}};
}

bool MemorySystemParameters::Spi(std::uint32_t action, std::uint32_t ui_param, void* pv_param,
                                 std::uint32_t win_ini) {
  SpiCall call{action, ui_param, reinterpret_cast<std::uintptr_t>(pv_param), {}, win_ini, false};
  const bool block_action = action == spi::GETANIMATION || action == spi::SETANIMATION ||
                            action == spi::GETMINIMIZEDMETRICS || action == spi::SETMINIMIZEDMETRICS;
  if (block_action && pv_param) {
    // cbSize first; copy the whole block only when cbSize says it is there.
    const auto cb = static_cast<std::uint32_t>(ReadInt(pv_param, 0));
    const std::size_t n = (cb == spi::kAnimationInfoSize || cb == spi::kMinimizedMetricsSize) ? cb : 4;
    const auto* b = static_cast<const std::uint8_t*>(pv_param);
    call.block.assign(b, b + n);
  }
  auto fail = failing_.find(action);
  call.result = (fail != failing_.end() && fail->second) ? false : Dispatch(action, ui_param, pv_param);
  calls_.push_back(std::move(call));
  return calls_.back().result;
}

bool MemorySystemParameters::Dispatch(std::uint32_t action, std::uint32_t ui, void* pv) {
  for (const auto& s : kScalars) {
    if (action == s.get) {
      if (!pv) return false;
      WriteInt(pv, 0, static_cast<std::int32_t>(values_[s.get]));
      return true;
    }
    if (action == s.set) {
      const auto raw =
          s.via == SetVia::kUiParam ? ui : static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pv));
      values_[s.get] = s.flag ? (raw != 0 ? 1u : 0u) : raw;
      return true;
    }
  }
  for (const auto& m : kMetricSets) {
    if (action == m.set) {
      metrics_[m.metric] = m.flag ? (ui != 0 ? 1 : 0) : static_cast<int>(ui);
      return true;
    }
  }
  switch (action) {
    case spi::GETANIMATION:
    case spi::SETANIMATION:
      if (!pv || static_cast<std::uint32_t>(ReadInt(pv, 0)) != spi::kAnimationInfoSize) return false;
      if (action == spi::GETANIMATION) {
        WriteInt(pv, 1, min_animate_);
      } else {
        min_animate_ = ReadInt(pv, 1) != 0 ? 1 : 0;
      }
      return true;
    case spi::GETMINIMIZEDMETRICS:
    case spi::SETMINIMIZEDMETRICS:
      if (!pv || static_cast<std::uint32_t>(ReadInt(pv, 0)) != spi::kMinimizedMetricsSize) return false;
      if (action == spi::GETMINIMIZEDMETRICS) {
        WriteInt(pv, 1, minimized_.width);
        WriteInt(pv, 2, minimized_.horz_gap);
        WriteInt(pv, 3, minimized_.vert_gap);
        WriteInt(pv, 4, minimized_.arrange);
      } else {
        minimized_ = {ReadInt(pv, 1), ReadInt(pv, 2), ReadInt(pv, 3), ReadInt(pv, 4)};
      }
      return true;
    default:
      return false;
  }
}

int MemorySystemParameters::Metrics(int index) {
  auto it = metrics_.find(index);
  return it == metrics_.end() ? 0 : it->second;
}

std::optional<std::uint32_t> MemorySystemParameters::Value(std::uint32_t get_action) const {
  auto it = values_.find(get_action);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

void MemorySystemParameters::SetValue(std::uint32_t get_action, std::uint32_t value) { values_[get_action] = value; }

std::string MemorySystemParameters::Dump() const {
  std::string out;
  for (const auto& [get, value] : values_) out += "spi " + std::to_string(get) + " = " + std::to_string(value) + "\n";
  for (const auto& [index, value] : metrics_) out += "metric " + std::to_string(index) + " = " + std::to_string(value) + "\n";
  out += "minimized " + std::to_string(minimized_.width) + " " + std::to_string(minimized_.horz_gap) + " " +
         std::to_string(minimized_.vert_gap) + " " + std::to_string(minimized_.arrange) + "\n";
  out += "min_animate " + std::to_string(min_animate_) + "\n";
  return out;
}

void MemorySystemParameters::FailAction(std::uint32_t action, bool fail) { failing_[action] = fail; }

}  // namespace corvanel::platform::memory
