#include "engine/host_probes.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"

namespace corvanel::engine {
namespace {

namespace win = platform::win;
using platform::HKLM;
using platform::HKCU;

constexpr std::uint16_t kX86 = win::PROCESSOR_ARCHITECTURE_INTEL;
constexpr std::uint16_t kAmd64 = win::PROCESSOR_ARCHITECTURE_AMD64;
constexpr std::uint8_t kWorkstation = win::VER_NT_WORKSTATION;
constexpr std::uint8_t kServer = 3;

TEST(HostProbes, WindowsNameAndVersionClass) {
  struct Row {
    std::uint32_t platform_id, major, minor;
    std::uint8_t product;
    std::optional<std::uint16_t> native;  // nullopt: GetNativeSystemInfo missing
    std::uint16_t legacy;
    const char* name;
    int cls;
  };
  const Row rows[] = {
      {2, 3, 51, kWorkstation, kX86, kX86, "Windows NT", 0},
      {2, 4, 0, kWorkstation, kX86, kX86, "Windows NT", 0},
      {2, 5, 0, kServer, kX86, kX86, "Windows 2000", 4},
      {2, 5, 1, kWorkstation, kX86, kX86, "Windows XP", 5},
      {2, 5, 2, kWorkstation, kAmd64, kX86, "Windows XP", 5},  // XP x64, seen from a 32-bit process
      {2, 5, 2, kServer, kAmd64, kX86, "Windows 2003 Server", 0},
      {2, 5, 2, kWorkstation, kX86, kX86, "Windows 2003 Server", 0},
      {2, 5, 2, kWorkstation, std::nullopt, kAmd64, "Windows XP", 5},
      {2, 5, 2, kWorkstation, std::nullopt, kX86, "Windows 2003 Server", 0},
      {2, 5, 3, kWorkstation, kX86, kX86, "", 0},
      {2, 6, 0, kWorkstation, kX86, kX86, "Windows Vista", 6},
      {2, 6, 1, kServer, kAmd64, kAmd64, "Windows 7", 7},  // Server 2008 R2
      {2, 6, 2, kWorkstation, kAmd64, kAmd64, "Windows 8", 8},
      {2, 6, 3, kWorkstation, kAmd64, kAmd64, "", 0},
      {2, 10, 0, kWorkstation, kAmd64, kAmd64, "", 0},
      {1, 4, 10, 0, kX86, kX86, "", 0},  // Windows 98
      {0, 6, 1, kWorkstation, kX86, kX86, "", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.platform_id << ":" << row.major << "." << row.minor << " product "
                                    << int(row.product));
    platform::memory::MemoryPlatform p;
    platform::OsVersion v;
    v.platform_id = row.platform_id;
    v.major = row.major;
    v.minor = row.minor;
    v.product_type = row.product;
    p.system().set_version(v);
    p.system().set_native_info_available(row.native.has_value());
    p.system().set_native_architecture(row.native.value_or(kX86));
    p.system().set_architecture(row.legacy);
    const std::string name = GetWindowsName(p);
    EXPECT_EQ(name, row.name);
    EXPECT_EQ(VersionClassFromName(name), row.cls);
  }
}

TEST(HostProbes, UnansweredVersionQueryIsAnUnknownWindows) {
  platform::memory::MemoryPlatform p;
  p.system().set_version_fails(true);
  EXPECT_EQ(GetWindowsName(p), "");
}

TEST(HostProbes, VersionClassNeedsTheExactName) {
  const std::pair<const char*, int> rows[] = {{"Windows 8", 8},   {"Windows 7", 7},   {"Windows Vista", 6},
                                              {"Windows XP", 5},  {"Windows 2000", 4}, {"windows 7", 0},
                                              {"Windows 7 ", 0},  {"Windows 8.1", 0}, {"", 0}};
  for (const auto& [name, cls] : rows) {
    EXPECT_EQ(VersionClassFromName(name), cls) << name;
  }
}

TEST(HostProbes, ServiceState) {
  struct Row {
    const char* label;
    std::optional<std::uint32_t> state;  // nullopt: not installed
    long manager_error;
    int expected;
  };
  const Row rows[] = {
      {"running", win::SERVICE_RUNNING, 0, 2},
      {"stopped", win::SERVICE_STOPPED, 0, 0},
      {"missing", std::nullopt, 0, 1},
      {"manager refused", win::SERVICE_RUNNING, win::kAccessDenied, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    platform::memory::MemoryPlatform p;
    if (row.state) {
      p.services().AddService("wscsvc", *row.state);
    }
    p.services().FailOpenManager(row.manager_error);
    EXPECT_EQ(QueryServiceState(p, "wscsvc"), row.expected);
    EXPECT_EQ(p.services().open_handle_count(), 0u);
    for (const auto& call : p.services().calls()) {
      if (call.call == "open_manager") {
        EXPECT_EQ(call.arg, win::SC_MANAGER_ALL_ACCESS);
      }
      if (call.call == "open") {
        EXPECT_EQ(call.arg, win::GENERIC_READ);
      }
    }
  }
}

TEST(HostProbes, InternetExplorerVersion) {
  const std::string key = "SOFTWARE\\Microsoft\\Internet Explorer\\Version Vector";
  struct Row {
    const char* label;
    void (*setup)(platform::memory::MemoryRegistry&, const std::string&);
    const char* expected;
  };
  const Row rows[] = {
      {"IE 8", [](auto& m, const std::string& k) { m.SetString(HKLM, k, "IE", "8.0000"); }, "8.0000"},
      {"IE 10", [](auto& m, const std::string& k) { m.SetString(HKLM, k, "IE", "10.0000"); }, "10.0000"},
      {"no key", [](auto&, const std::string&) {}, ""},
      {"no value", [](auto& m, const std::string& k) { m.SetString(HKLM, k, "VML", "1.0"); }, ""},
      {"not text", [](auto& m, const std::string& k) { m.SetDword(HKLM, k, "IE", 8); }, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    platform::memory::MemoryPlatform p;
    row.setup(p.registry(), key);
    EXPECT_EQ(GetIEVersion(p), row.expected);
    EXPECT_EQ(p.registry().open_handle_count(), 0u);
  }
}

TEST(HostProbes, FirefoxFromUninstallNames) {
  const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  struct Row {
    std::vector<std::string> names;
    bool create_key;
    bool expected;
    platform::RegKey root = HKLM;  // HKCU: installed for one user only
  };
  const Row rows[] = {
      {{"Mozilla Firefox 31.0 (x86 en-US)"}, true, true},
      {{"Mozilla Firefox 120.0 (x64 en-US)"}, true, true, HKCU},
      {{"Mozilla Thunderbird"}, true, false, HKCU},
      {{"mozilla firefox"}, true, true},
      {{"Mozilla Thunderbird", "Mozilla Maintenance Service", "XMOZILLA FIREFOXX"}, true, true},
      {{"Firefox", "Mozilla  Firefox", "MozillaFirefox"}, true, false},
      {{}, true, false},
      {{}, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.names.size() << " names");
    platform::memory::MemoryPlatform p;
    if (row.create_key) {
      p.registry().CreateKeyPath(row.root, key);
    }
    for (const auto& n : row.names) {
      p.registry().CreateKeyPath(row.root, key + "\\" + n);
    }
    EXPECT_EQ(IsFirefoxInstalled(p), row.expected);
    EXPECT_EQ(p.registry().open_handle_count(), 0u);
  }
}

TEST(HostProbes, RegistryProbesUseTheProcessView) {
  platform::memory::MemoryPlatform p;
  p.registry().SetWow64Answer(true);
  p.registry().CreateKeyPath(HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Mozilla Firefox");
  p.registry().SetString(HKLM, "SOFTWARE\\Microsoft\\Internet Explorer\\Version Vector", "IE", "9.0000");
  p.registry().ClearLogs();
  EXPECT_TRUE(IsFirefoxInstalled(p));
  EXPECT_EQ(GetIEVersion(p), "9.0000");
  ASSERT_FALSE(p.registry().access_log().empty());
  for (const auto& a : p.registry().access_log()) {
    EXPECT_EQ(a.access & win::KEY_WOW64_64KEY, 0u) << a.path;
  }
}

// The memory registry has one view, so the second look shows in the access flags.
TEST(HostProbes, FirefoxMissingFromTheOwnViewIsLookedForInThe64BitViewOnA64BitHost) {
  for (const bool wow64 : {false, true}) {
    platform::memory::MemoryPlatform p;
    p.registry().SetWow64Answer(wow64);
    p.registry().CreateKeyPath(HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Mozilla Thunderbird");
    p.registry().ClearLogs();
    EXPECT_FALSE(IsFirefoxInstalled(p));
    int opens64 = 0;
    for (const auto& a : p.registry().access_log()) {
      if ((a.access & win::KEY_WOW64_64KEY) != 0) {
        ++opens64;
        EXPECT_EQ(a.path, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
      }
    }
    EXPECT_EQ(opens64 > 0, wow64);
    EXPECT_EQ(p.registry().open_handle_count(), 0u);
  }
}

}  // namespace
}  // namespace corvanel::engine
