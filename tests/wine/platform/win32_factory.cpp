// The contract hooks for the real Windows platform: scratch keys, folders and the
// contract service live on the running (Wine) system and are cleaned up at exit.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

#include <winioctl.h>

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

// Starts a command line. Wine runs a Unix program this way but hands back no process
// handle to wait on, so callers wait for the program's effect instead.
bool StartCommand(std::wstring command) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  if (process.hThread != nullptr) CloseHandle(process.hThread);
  if (process.hProcess != nullptr) CloseHandle(process.hProcess);
  return true;
}

// Waits (bounded) until `path` exists or, with `exists` false, until it has gone.
bool WaitForPath(const std::wstring& path, bool exists) {
  for (int i = 0; i < 500; ++i) {
    if ((GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) == exists) return true;
    Sleep(10);
  }
  return false;
}

// Wine's name of a Windows path on the Unix side; empty off Wine.
std::wstring UnixPathOf(const std::wstring& path) {
  using UnixFileName = char*(__cdecl*)(const wchar_t*);
  const auto unix_name = reinterpret_cast<UnixFileName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (unix_name == nullptr) return {};
  char* name = unix_name(path.c_str());
  if (name == nullptr) return {};
  const std::string narrow(name);
  HeapFree(GetProcessHeap(), 0, name);
  return Widen(narrow);
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
      // A junction goes without what it leads to (which may be this very tree); Wine
      // shows a Unix symbolic link as one and leaves its removal to the Unix side.
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (!RemoveDirectoryW(child.c_str())) {
          const std::wstring unix_path = UnixPathOf(child);
          if (!unix_path.empty() && StartCommand(L"/bin/rm -f \"" + unix_path + L"\"")) WaitForPath(child, false);
        }
      } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileW(child.c_str());
      }
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

namespace {

// REPARSE_DATA_BUFFER of a mount point (the driver kit's layout).
struct MountPointReparse {
  DWORD ReparseTag;
  WORD ReparseDataLength;
  WORD Reserved;
  WORD SubstituteNameOffset;
  WORD SubstituteNameLength;
  WORD PrintNameOffset;
  WORD PrintNameLength;
  WCHAR PathBuffer[1];
};

bool MakeMountPoint(const std::wstring& link, const std::wstring& target) {
  if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
  HANDLE folder = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  bool made = false;
  if (folder != INVALID_HANDLE_VALUE) {
    const std::wstring substitute = L"\\??\\" + target;
    const std::size_t name_bytes = substitute.size() * sizeof(WCHAR);
    std::vector<BYTE> buffer(offsetof(MountPointReparse, PathBuffer) + name_bytes + 2 * sizeof(WCHAR), 0);
    auto* reparse = reinterpret_cast<MountPointReparse*>(buffer.data());
    reparse->ReparseTag = IO_REPARSE_TAG_MOUNT_POINT;
    reparse->SubstituteNameLength = static_cast<WORD>(name_bytes);
    reparse->PrintNameOffset = static_cast<WORD>(name_bytes + sizeof(WCHAR));
    std::copy(substitute.begin(), substitute.end(), reparse->PathBuffer);
    reparse->ReparseDataLength = static_cast<WORD>(buffer.size() - offsetof(MountPointReparse, SubstituteNameOffset));
    DWORD returned = 0;
    made = DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr,
                           0, &returned, nullptr) != FALSE;
    CloseHandle(folder);
  }
  if (!made) RemoveDirectoryW(link.c_str());
  return made;
}

}  // namespace

// Windows makes a mount point; Wine 8 cannot (FSCTL_SET_REPARSE_POINT is not supported)
// but shows a Unix symbolic link to a folder as a reparse point, so one is made there.
bool MakeContractJunction(platform::Platform&, const std::string& link, const std::string& target) {
  const std::wstring wide_link = Widen(link);
  const std::wstring wide_target = Widen(target);
  if (MakeMountPoint(wide_link, wide_target)) return true;
  const std::wstring unix_link = UnixPathOf(wide_link);
  const std::wstring unix_target = UnixPathOf(wide_target);
  if (unix_link.empty() || unix_target.empty()) return false;
  return StartCommand(L"/bin/ln -s \"" + unix_target + L"\" \"" + unix_link + L"\"") && WaitForPath(wide_link, true);
}

}  // namespace corvanel::contract
