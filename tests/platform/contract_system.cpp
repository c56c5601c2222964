// System parameters, version, code page, shell and clock behaviour both platforms share.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/contract_fixture.h"

namespace corvanel::contract {
namespace {

using namespace platform::win;

constexpr std::uint32_t kUpdateIniFile = 1;

void* AsPv(std::uintptr_t n) { return reinterpret_cast<void*>(n); }

// A scalar parameter: read with `get`, written with `set` through uiParam or pvParam.
struct SpiRow {
  const char* name;
  std::uint32_t get;
  std::uint32_t set;
  bool via_pv;
  std::uint32_t a, b;  // two distinct values to write
};

const SpiRow kRows[] = {
    {"wheel lines", 0x0068, 0x0069, false, 5, 3},
    {"hover time", 0x0066, 0x0067, false, 500, 400},
    {"hover width", 0x0062, 0x0063, false, 6, 4},
    {"snap to default", 0x005F, 0x0060, false, 1, 0},
    {"beep", 0x0001, 0x0002, false, 0, 1},
    {"full window drag", 0x0026, 0x0025, false, 0, 1},
    {"font smoothing type", 0x200A, 0x200B, true, 2, 1},
    {"foreground flash count", 0x2004, 0x2005, true, 7, 3},
    {"foreground lock timeout", 0x2000, 0x2001, true, 0, 200000},
    {"menu animation", 0x1002, 0x1003, true, 0, 1},
    {"tooltip fade", 0x1018, 0x1019, true, 0, 1},
};

class SpiContract : public ContractTest {
 protected:
  bool Get(std::uint32_t action, std::uint32_t* out) { return sys().spi().Spi(action, 0, out, 0); }
  bool Set(const SpiRow& r, std::uint32_t v) {
    return r.via_pv ? sys().spi().Spi(r.set, 0, AsPv(v), kUpdateIniFile) : sys().spi().Spi(r.set, v, nullptr, kUpdateIniFile);
  }
};

TEST_F(SpiContract, ScalarParametersRoundTrip) {
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.name);
    std::uint32_t old = 0xDEADBEEF;
    ASSERT_TRUE(Get(r.get, &old));
    const std::uint32_t fresh = old == r.a ? r.b : r.a;
    EXPECT_TRUE(Set(r, fresh));
    std::uint32_t now = 0xDEADBEEF;
    EXPECT_TRUE(Get(r.get, &now));
    EXPECT_EQ(fresh, now);
    EXPECT_TRUE(Set(r, old));
    EXPECT_TRUE(Get(r.get, &now));
    EXPECT_EQ(old, now);
  }
}

TEST_F(SpiContract, MinimizedMetricsNeedTheirSize) {
  std::int32_t block[5] = {20, 0, 0, 0, 0};
  ASSERT_TRUE(sys().spi().Spi(0x002B, 20, block, 0));
  std::int32_t old[5];
  std::memcpy(old, block, sizeof old);

  std::int32_t changed[5] = {20, old[1], old[2], old[3], old[4] ^ 1};
  EXPECT_TRUE(sys().spi().Spi(0x002C, 20, changed, kUpdateIniFile));
  std::int32_t now[5] = {20, 0, 0, 0, 0};
  EXPECT_TRUE(sys().spi().Spi(0x002B, 20, now, 0));
  EXPECT_EQ(old[4] ^ 1, now[4]);
  EXPECT_EQ(old[1], now[1]);
  EXPECT_TRUE(sys().spi().Spi(0x002C, 20, old, kUpdateIniFile));

  std::int32_t wrong[5] = {0, 0, 0, 0, 0};
  EXPECT_FALSE(sys().spi().Spi(0x002B, 20, wrong, 0));
}

TEST_F(SpiContract, SizesSetOnlyShowInMetrics) {
  struct Row {
    const char* name;
    std::uint32_t set;
    int metric;
  };
  const Row rows[] = {{"double-click width", 0x001D, 36}, {"double-click height", 0x001E, 37},
                      {"drag width", 0x004C, 68},         {"drag height", 0x004D, 69}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    const int old = sys().spi().Metrics(r.metric);
    ASSERT_GT(old, 0);
    const int fresh = old == 6 ? 8 : 6;
    EXPECT_TRUE(sys().spi().Spi(r.set, static_cast<std::uint32_t>(fresh), nullptr, kUpdateIniFile));
    EXPECT_EQ(fresh, sys().spi().Metrics(r.metric));
    EXPECT_TRUE(sys().spi().Spi(r.set, static_cast<std::uint32_t>(old), nullptr, kUpdateIniFile));
    EXPECT_EQ(old, sys().spi().Metrics(r.metric));
  }
}

TEST_F(SpiContract, UnknownActionFails) {
  std::uint32_t out = 0;
  EXPECT_FALSE(sys().spi().Spi(0x7FF0, 0, &out, 0));
}

TEST_F(ContractTest, VersionAndProcessor) {
  platform::OsVersion v;
  ASSERT_TRUE(sys().system().GetVersion(&v));
  EXPECT_EQ(VER_PLATFORM_WIN32_NT, v.platform_id);
  EXPECT_GE(v.major, 5u);
  const auto arch = sys().system().GetProcessorArchitecture();
  EXPECT_TRUE(arch == PROCESSOR_ARCHITECTURE_INTEL || arch == PROCESSOR_ARCHITECTURE_AMD64) << arch;
  std::uint16_t native = 0xFFFF;
  if (sys().system().GetNativeProcessorArchitecture(&native)) {
    EXPECT_TRUE(native == PROCESSOR_ARCHITECTURE_INTEL || native == PROCESSOR_ARCHITECTURE_AMD64) << native;
  }
  const std::string exe = sys().system().ExecutablePath();
  ASSERT_GT(exe.size(), 6u);
  EXPECT_EQ(":\\", exe.substr(1, 2));
}

TEST_F(ContractTest, AnsiCodePageIsWestern) {
  struct Row {
    const char* utf8;
    const char* ansi;
  };
  const Row rows[] = {
      {"plain", "plain"},
      {"Gr\xC3\xBC\xC3\x9F" "e", "Gr\xFC\xDF" "e"},  // Grüße
      {"\xE2\x82\xAC 5", "\x80 5"},                  // € 5
      {"\xE6\x97\xA5\xE6\x9C\xAC", "??"},            // 日本: not in the code page
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.utf8);
    EXPECT_EQ(std::string(r.ansi), sys().system().Utf8ToAnsi(r.utf8));
  }
  for (const auto& r : rows) {
    if (std::string(r.ansi).find('?') != std::string::npos) continue;
    EXPECT_EQ(std::string(r.utf8), sys().system().AnsiToUtf8(r.ansi));
  }
}

TEST_F(ContractTest, SpecialFolders) {
  for (int csidl : {CSIDL_APPDATA, CSIDL_COMMON_APPDATA}) {
    std::string path;
    ASSERT_TRUE(sys().shell().SpecialFolder(csidl, &path)) << csidl;
    ASSERT_GT(path.size(), 3u);
    EXPECT_EQ(":\\", path.substr(1, 2)) << path;
    EXPECT_NE('\\', path.back()) << path;
  }
  std::string path;
  EXPECT_FALSE(sys().shell().SpecialFolder(0x7E, &path));
}

TEST_F(ContractTest, EnvironmentExpansion) {
  auto& shell = sys().shell();
  const std::string root = shell.ExpandEnvironment("%SystemRoot%");
  ASSERT_FALSE(root.empty());
  EXPECT_EQ(std::string::npos, root.find('%'));
  const std::string value = ContractEnvironmentValue();
  struct Row {
    std::string in, out;
  };
  const Row rows[] = {
      {"%systemroot%\\system32", root + "\\system32"},
      {"%CORVANEL_CONTRACT_VAR%", value},
      {"[%corvanel_contract_var%]", "[" + value + "]"},
      {"%CORVANEL_NO_SUCH_VAR%\\x", "%CORVANEL_NO_SUCH_VAR%\\x"},
      {"no variables", "no variables"},
      {"100%", "100%"},
      {"%CORVANEL_CONTRACT_VAR%%SystemRoot%", value + root},
  };
  for (const auto& r : rows) EXPECT_EQ(r.out, shell.ExpandEnvironment(r.in)) << r.in;
}

TEST_F(ContractTest, ClockMovesForwardWhileSleeping) {
  auto& clock = sys().clock();
  const std::uint64_t t0 = clock.NowMs();
  clock.SleepMs(30);
  const std::uint64_t t1 = clock.NowMs();
  EXPECT_GE(t1, t0 + 15);  // tick resolution on Windows is about 16 ms
  EXPECT_GE(clock.NowMs(), t1);
}

}  // namespace
}  // namespace corvanel::contract
