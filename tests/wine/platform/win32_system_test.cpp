// Files, system and token behaviour of the Win32 platform that the memory platform does
// not model: what stays on disk after a replace, the real executable, the real token.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"
#include "tests/platform/contract.h"

namespace corvanel::platform {
namespace {

using win32::Widen;

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

class Win32FilesTest : public ::testing::Test {
 protected:
  std::unique_ptr<Platform> platform_ = contract::MakePlatformUnderTest();
  Files& files_ = platform_->files();
  std::string folder_ = contract::ContractScratchFolder();
  std::string target_ = folder_ + "\\user.js";
};

TEST_F(Win32FilesTest, ReplacingLeavesOnlyTheTarget) {
  ASSERT_TRUE(files_.WriteFileAtomic(target_, Bytes("first")));
  ASSERT_TRUE(files_.WriteFileAtomic(target_, Bytes("second, longer")));
  std::vector<std::uint8_t> data;
  ASSERT_TRUE(files_.ReadFile(target_, &data));
  EXPECT_EQ(Bytes("second, longer"), data);
  EXPECT_EQ(std::vector<std::string>{"user.js"}, files_.List(folder_, "*"));
}

TEST_F(Win32FilesTest, RefusedReplaceKeepsTheOldFileAndNoTemporary) {
  ASSERT_TRUE(files_.WriteFileAtomic(target_, Bytes("kept")));
  ASSERT_TRUE(files_.SetAttributes(target_, 0x1 /* read-only */));
  EXPECT_FALSE(files_.WriteFileAtomic(target_, Bytes("lost")));
  files_.SetAttributes(target_, 0x80 /* normal */);
  std::vector<std::uint8_t> data;
  ASSERT_TRUE(files_.ReadFile(target_, &data));
  EXPECT_EQ(Bytes("kept"), data);
  EXPECT_EQ(std::vector<std::string>{"user.js"}, files_.List(folder_, "*"));

  EXPECT_FALSE(files_.WriteFileAtomic(folder_ + "\\missing\\user.js", Bytes("x")));
  EXPECT_FALSE(files_.DirectoryExists(folder_ + "\\missing"));
}

TEST_F(Win32FilesTest, ListingSkipsDotEntriesAndMatchesThePattern) {
  ASSERT_TRUE(CreateDirectoryW(Widen(folder_ + "\\Sub").c_str(), nullptr));
  ASSERT_TRUE(files_.WriteFileAtomic(folder_ + "\\English.lng", Bytes("[x]")));
  std::vector<std::string> all = files_.List(folder_ + "\\", "*");
  std::sort(all.begin(), all.end());
  EXPECT_EQ((std::vector<std::string>{"English.lng", "Sub"}), all);
  EXPECT_EQ(std::vector<std::string>{"English.lng"}, files_.List(folder_, "*.lng"));
  EXPECT_TRUE(files_.List(folder_ + "\\Missing", "*").empty());
}

TEST(Win32System, ExecutablePathNamesThisProgram) {
  auto platform = contract::MakePlatformUnderTest();
  std::string path = platform->system().ExecutablePath();
  EXPECT_TRUE(platform->files().FileExists(path)) << path;
  std::transform(path.begin(), path.end(), path.begin(), [](unsigned char c) { return std::tolower(c); });
  const std::string tail = "\\test_platform_win32.exe";
  ASSERT_GE(path.size(), tail.size());
  EXPECT_EQ(tail, path.substr(path.size() - tail.size()));
}

TEST(Win32System, ArchitectureOfA64BitProcess) {
  auto platform = contract::MakePlatformUnderTest();
  std::uint16_t native = 0xFFFF;
  ASSERT_TRUE(platform->system().GetNativeProcessorArchitecture(&native));
  EXPECT_EQ(PROCESSOR_ARCHITECTURE_AMD64, native);
  EXPECT_EQ(PROCESSOR_ARCHITECTURE_AMD64, platform->system().GetProcessorArchitecture());
}

TEST(Win32Restart, ShutdownPrivilegeEndsUpEnabledInTheToken) {
  auto platform = contract::MakePlatformUnderTest();
  ASSERT_TRUE(platform->restart().EnableShutdownPrivilege());
  win32::UniqueKernel token;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.out()));
  PRIVILEGE_SET wanted{};
  wanted.PrivilegeCount = 1;
  wanted.Control = PRIVILEGE_SET_ALL_NECESSARY;
  ASSERT_TRUE(LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &wanted.Privilege[0].Luid));
  BOOL enabled = FALSE;
  ASSERT_TRUE(PrivilegeCheck(token.get(), &wanted, &enabled));
  EXPECT_TRUE(enabled);
}

}  // namespace
}  // namespace corvanel::platform
