// The contract hooks for the real Windows platform: scratch keys, folders and the
// contract service live on the running (Wine) system and are cleaned up at exit.
#include <atomic>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"
#include "tests/platform/contract.h"
#include "tests/wine/support/test_service.h"

namespace corvanel::contract {
namespace {

using platform::win32::Widen;

constexpr const char kEnvironmentValue[] = "contract-v\xC3\xA4lue";
constexpr const char kServiceName[] = "CorvanelContractSvc";

std::string Unique() {
  static std::atomic<unsigned> counter{0};
  return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

bool RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW entry{};
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
      else DeleteFileW(child.c_str());
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  return RemoveDirectoryW(path.c_str()) != FALSE;
}

// What the hooks handed out, removed when the test program ends.
struct Leftovers {
  std::vector<std::wstring> folders;
  std::unique_ptr<wine_test::TestService> service;

  ~Leftovers() {
    for (const std::wstring& folder : folders) RemoveTree(folder);
    // The tests remove their scratch keys; the parent goes once no run uses it.
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\CorvanelContract");
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\CorvanelContract");
  }
};

Leftovers& leftovers() {
  static Leftovers instance;
  return instance;
}

}  // namespace

std::unique_ptr<platform::Platform> MakePlatformUnderTest() {
  SetEnvironmentVariableW(L"CORVANEL_CONTRACT_VAR", Widen(kEnvironmentValue).c_str());
  return platform::MakeWin32Platform();
}

std::string ContractScratchKey() { return "Software\\CorvanelContract\\Scratch" + Unique(); }

std::string ContractServiceName() {
  Leftovers& left = leftovers();
  if (!left.service) {
    std::string error;
    left.service = wine_test::TestService::Install(kServiceName, {}, &error);
    if (!left.service) ADD_FAILURE() << "cannot register the contract service: " << error;
  }
  return kServiceName;
}

std::string ContractScratchFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  std::wstring folder(temp, n);
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  folder += L"\\corvanel-contract-" + Widen(Unique());
  RemoveTree(folder);
  CreateDirectoryW(folder.c_str(), nullptr);
  leftovers().folders.push_back(folder);
  return platform::win32::Narrow(folder);
}

std::string ContractEnvironmentValue() { return kEnvironmentValue; }

}  // namespace corvanel::contract
