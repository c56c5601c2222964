// The seam between the portable program and Windows. Everything above this header is
// plain C++20 and never includes <windows.h>; every call that touches the system goes
// through one of these interfaces. `memory/` implements them in-process (tests, and runs
// off Windows); `win32/` forwards them to the real Windows API.
//
// Conventions of the seam:
// - Text is UTF-8. Paths are Windows paths ("C:\\users\\...") in UTF-8.
// - Results that Windows reports as error codes are returned as Win32 error codes
//   (0 = ERROR_SUCCESS), so both implementations can be compared code for code.
// - Registry value data is exchanged exactly as Windows stores it: string types as
//   UTF-16LE bytes with their terminating NUL (see platform/reg_text.h for the
//   conversions), numbers little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvanel::platform {

// ---------------------------------------------------------------------------------
// Win32 constants the portable code needs by value.
namespace win {
inline constexpr long kSuccess = 0;
inline constexpr long kFileNotFound = 2;
inline constexpr long kPathNotFound = 3;
inline constexpr long kAccessDenied = 5;
inline constexpr long kInvalidHandle = 6;
inline constexpr long kInvalidParameter = 87;
inline constexpr long kMoreData = 234;
inline constexpr long kNoMoreItems = 259;
inline constexpr long kProcNotFound = 127;
inline constexpr long kServiceAlreadyRunning = 1056;
inline constexpr long kServiceNotActive = 1062;
inline constexpr long kServiceDoesNotExist = 1060;
inline constexpr long kServiceCannotAcceptCtrl = 1061;
inline constexpr long kServiceDisabled = 1058;

// Registry value types.
inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;
inline constexpr std::uint32_t REG_QWORD = 11;

// Registry access rights.
inline constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr std::uint32_t KEY_SET_VALUE = 0x0002;
inline constexpr std::uint32_t KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr std::uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr std::uint32_t KEY_WOW64_64KEY = 0x0100;
inline constexpr std::uint32_t KEY_WOW64_32KEY = 0x0200;
inline constexpr std::uint32_t STANDARD_RIGHTS_READ = 0x20000;
inline constexpr std::uint32_t KEY_READ = 0x20019;
inline constexpr std::uint32_t KEY_ALL_ACCESS = 0xF003F;

// Service manager.
inline constexpr std::uint32_t SC_MANAGER_ALL_ACCESS = 0xF003F;
inline constexpr std::uint32_t SERVICE_ALL_ACCESS = 0xF01FF;
inline constexpr std::uint32_t GENERIC_READ = 0x80000000;
inline constexpr std::uint32_t SERVICE_QUERY_CONFIG = 0x0001;
inline constexpr std::uint32_t SERVICE_NO_CHANGE = 0xFFFFFFFF;
inline constexpr std::uint32_t SERVICE_AUTO_START = 2;
inline constexpr std::uint32_t SERVICE_DEMAND_START = 3;
inline constexpr std::uint32_t SERVICE_DISABLED = 4;
inline constexpr std::uint32_t SERVICE_CONTROL_STOP = 1;
inline constexpr std::uint32_t SERVICE_CONTROL_INTERROGATE = 4;
inline constexpr std::uint32_t SERVICE_STOPPED = 1;
inline constexpr std::uint32_t SERVICE_START_PENDING = 2;
inline constexpr std::uint32_t SERVICE_STOP_PENDING = 3;
inline constexpr std::uint32_t SERVICE_RUNNING = 4;

// Version and processor.
inline constexpr std::uint32_t VER_PLATFORM_WIN32_NT = 2;
inline constexpr std::uint8_t VER_NT_WORKSTATION = 1;
inline constexpr std::uint16_t PROCESSOR_ARCHITECTURE_INTEL = 0;
inline constexpr std::uint16_t PROCESSOR_ARCHITECTURE_AMD64 = 9;

// Message boxes.
inline constexpr std::uint32_t MB_OK = 0x0;
inline constexpr std::uint32_t MB_YESNO = 0x4;
inline constexpr std::uint32_t MB_ICONQUESTION = 0x20;
inline constexpr std::uint32_t MB_ICONWARNING = 0x30;
inline constexpr std::uint32_t MB_ICONERROR = 0x10;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Shell.
inline constexpr int CSIDL_APPDATA = 26;
inline constexpr int CSIDL_COMMON_APPDATA = 35;
inline constexpr std::int32_t SHCNE_ALLEVENTS = 0x7FFFFFFF;
inline constexpr std::int32_t SHCNE_ASSOCCHANGED = 0x08000000;
inline constexpr std::uint32_t SHCNF_IDLIST = 0x0000;
inline constexpr std::uint32_t SHCNF_FLUSH = 0x1000;

// Restart.
inline constexpr std::uint32_t EWX_REBOOT = 2;

// File attributes.
inline constexpr std::uint32_t FILE_ATTRIBUTE_HIDDEN = 0x2;
inline constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
// A junction or a symbolic link: following it may lead back up the tree.
inline constexpr std::uint32_t FILE_ATTRIBUTE_REPARSE_POINT = 0x400;
inline constexpr std::uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
}  // namespace win

// ---------------------------------------------------------------------------------
// Registry. Keys are opaque handles; the three predefined roots have their Windows
// handle values. Subkey paths have no leading backslash (the accessor drops it).
using RegKey = std::uintptr_t;
inline constexpr RegKey HKCR = 0x80000000u;
inline constexpr RegKey HKCU = 0x80000001u;
inline constexpr RegKey HKLM = 0x80000002u;

class Registry {
 public:
  virtual ~Registry() = default;
  // RegOpenKeyExW.
  virtual long OpenKey(RegKey parent, const std::string& subkey, std::uint32_t access, RegKey* result) = 0;
  // RegCreateKeyExW, non-volatile; `created` (optional) tells whether the key is new.
  virtual long CreateKey(RegKey parent, const std::string& subkey, std::uint32_t access, RegKey* result,
                         bool* created) = 0;
  // RegCloseKey. Closing a predefined root is a no-op.
  virtual long CloseKey(RegKey key) = 0;
  // RegQueryValueExW. `type` and `data` are optional; with `data` null only `size` is
  // filled. With `data` given, the stored bytes are copied into it (resized to fit).
  virtual long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::vector<std::uint8_t>* data,
                          std::uint32_t* size) = 0;
  // RegSetValueExW with exactly these bytes.
  virtual long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                        std::uint32_t size) = 0;
  // RegDeleteValueW.
  virtual long DeleteValue(RegKey key, const std::string& name) = 0;
  // RegEnumKeyExW: name of subkey `index`, or kNoMoreItems.
  virtual long EnumKey(RegKey key, std::uint32_t index, std::string* name) = 0;
  // RegEnumValueW: name of value `index`, or kNoMoreItems.
  virtual long EnumValue(RegKey key, std::uint32_t index, std::string* name) = 0;
  // RegEnumValueW with the data: name, type and bytes of value `index` in one call (a
  // second when the data is larger than a first guess), or kNoMoreItems.
  virtual long EnumValueData(RegKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                             std::vector<std::uint8_t>* data) = 0;
  // RegQueryInfoKeyW: how many subkeys and values the key holds (either may be null).
  virtual long QueryKeyCounts(RegKey key, std::uint32_t* subkeys, std::uint32_t* values) = 0;
  // RegDeleteKeyW: deletes a key without subkeys in the process's own view.
  virtual long DeleteKey(RegKey parent, const std::string& subkey) = 0;
  // RegDeleteKeyExW, looked up in advapi32 at run time. Returns kProcNotFound when the
  // function does not exist on this Windows.
  virtual long DeleteKeyEx(RegKey parent, const std::string& subkey, std::uint32_t access) = 0;
  // IsWow64Process for the current process, looked up in kernel32 at run time.
  // False when the function does not exist or fails; otherwise `*wow64` is its answer.
  virtual bool IsWow64Process(bool* wow64) = 0;
};

// ---------------------------------------------------------------------------------
// System parameters. pvParam is passed through untouched: a pointer to a parameter block
// or a plain number cast to a pointer, exactly as SystemParametersInfoW takes it.
class SystemParameters {
 public:
  virtual ~SystemParameters() = default;
  virtual bool Spi(std::uint32_t action, std::uint32_t ui_param, void* pv_param, std::uint32_t win_ini) = 0;
  virtual int Metrics(int index) = 0;
};

// ---------------------------------------------------------------------------------
// Version queries.
struct OsVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint32_t platform_id = 0;
  std::uint8_t product_type = 0;
  std::uint16_t service_pack_major = 0;
  std::string csd_version;
};

class System {
 public:
  virtual ~System() = default;
  // GetVersionExW with an OSVERSIONINFOEXW (size 284).
  virtual bool GetVersion(OsVersion* version) = 0;
  // GetNativeSystemInfo, looked up in kernel32 by name; false when it does not exist.
  virtual bool GetNativeProcessorArchitecture(std::uint16_t* architecture) = 0;
  // GetSystemInfo.
  virtual std::uint16_t GetProcessorArchitecture() = 0;
  // Conversions between UTF-8 and the system's ANSI code page (CP_ACP).
  virtual std::string AnsiToUtf8(const std::string& ansi) = 0;
  virtual std::string Utf8ToAnsi(const std::string& utf8) = 0;
  // Full path of the running executable (GetModuleFileNameW of the process).
  virtual std::string ExecutablePath() = 0;
};

// ---------------------------------------------------------------------------------
// Service control manager.
using ScHandle = std::uintptr_t;  // 0 = none

struct ServiceStatus {
  std::uint32_t service_type = 0;
  std::uint32_t current_state = 0;
  std::uint32_t controls_accepted = 0;
  std::uint32_t win32_exit_code = 0;
  std::uint32_t check_point = 0;
  std::uint32_t wait_hint = 0;
};

class Services {
 public:
  virtual ~Services() = default;
  // Every call returns 0 / false on failure; LastError() then tells the Win32 code.
  virtual ScHandle OpenManager(std::uint32_t access) = 0;
  virtual ScHandle OpenService(ScHandle manager, const std::string& name, std::uint32_t access) = 0;
  // ChangeServiceConfigW with SERVICE_NO_CHANGE for everything but the start type.
  virtual bool ChangeStartType(ScHandle service, std::uint32_t start_type) = 0;
  // StartServiceW without arguments.
  virtual bool Start(ScHandle service) = 0;
  // ControlService.
  virtual bool Control(ScHandle service, std::uint32_t control, ServiceStatus* status) = 0;
  // QueryServiceStatus.
  virtual bool QueryStatus(ScHandle service, ServiceStatus* status) = 0;
  // QueryServiceConfigW: the service's start type (SERVICE_AUTO_START ...).
  virtual bool QueryStartType(ScHandle service, std::uint32_t* start_type) = 0;
  virtual void Close(ScHandle handle) = 0;
  virtual long LastError() = 0;
};

// ---------------------------------------------------------------------------------
// Shell.
class Shell {
 public:
  virtual ~Shell() = default;
  // SHGetSpecialFolderPathW without creating the folder; false when unknown.
  virtual bool SpecialFolder(int csidl, std::string* path) = 0;
  // ExpandEnvironmentStringsW.
  virtual std::string ExpandEnvironment(const std::string& text) = 0;
  // SHChangeNotify with no items.
  virtual void ChangeNotify(std::int32_t event_id, std::uint32_t flags) = 0;
  // ShellExecuteW; the result is the call's instance value (> 32 on success).
  virtual std::intptr_t Execute(std::uintptr_t owner, const std::string& verb, const std::string& file,
                                const std::string& parameters, const std::string& directory, int show) = 0;
};

// ---------------------------------------------------------------------------------
// Restart of Windows.
class Restart {
 public:
  virtual ~Restart() = default;
  // Opens the process token for TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY and enables
  // "SeShutdownPrivilege". False when any step fails.
  virtual bool EnableShutdownPrivilege() = 0;
  // ExitWindowsEx.
  virtual bool ExitWindows(std::uint32_t flags, std::uint32_t reason) = 0;
};

// ---------------------------------------------------------------------------------
// Files.
class Files {
 public:
  virtual ~Files() = default;
  virtual bool ReadFile(const std::string& path, std::vector<std::uint8_t>* data) = 0;
  // Replaces the file atomically: writes a temporary file beside it, then renames it over.
  virtual bool WriteFileAtomic(const std::string& path, const std::vector<std::uint8_t>& data) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // DeleteFileW; false (LastError set) when it fails, also when there is no such file.
  // (Not named DeleteFile: <windows.h> defines that name as a macro.)
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual bool DirectoryExists(const std::string& path) = 0;
  // Names (not paths) of the entries of `folder` matching `pattern` ("*.lng"), in the
  // order the file system lists them (FindFirstFileW / FindNextFileW).
  virtual std::vector<std::string> List(const std::string& folder, const std::string& pattern) = 0;
  // GetFileAttributesW / SetFileAttributesW. A junction or symbolic link reports
  // FILE_ATTRIBUTE_REPARSE_POINT; listing it lists its target.
  virtual std::uint32_t GetAttributes(const std::string& path) = 0;
  virtual bool SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // The Win32 code of the last GetAttributes or SetAttributes call (0 after a success), or
  // of the last ReadFile or WriteFileAtomic that failed.
  virtual long LastError() = 0;
};

// ---------------------------------------------------------------------------------
// Dialogs the user answers. `owner` is the window handle as a number (0 = none).
struct FileFilter {
  std::string name;     // "Executable file"
  std::string pattern;  // "*.exe"
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // MessageBoxW; returns IDOK, IDYES, IDNO ...
  virtual int MessageBox(std::uintptr_t owner, const std::string& text, const std::string& caption,
                         std::uint32_t flags) = 0;
  // GetOpenFileNameW; false when cancelled.
  virtual bool OpenFile(std::uintptr_t owner, const std::vector<FileFilter>& filters, const std::string& initial,
                        std::string* path) = 0;
  // GetSaveFileNameW: asks before replacing an existing file; `extension` ("reg") is added
  // to a name typed without one. False when cancelled.
  virtual bool SaveFile(std::uintptr_t owner, const std::vector<FileFilter>& filters, const std::string& initial,
                        const std::string& extension, std::string* path) = 0;
  // ChooseColorW with an initial colour (0x00BBGGRR); false when cancelled.
  virtual bool ChooseColor(std::uintptr_t owner, std::uint32_t* color) = 0;
};

// ---------------------------------------------------------------------------------
// Time. Waits go through here so that bounded waits can be tested without waiting.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint64_t NowMs() = 0;
  virtual void SleepMs(std::uint32_t ms) = 0;
};

// ---------------------------------------------------------------------------------
// All interfaces of one platform. The objects live as long as the Platform.
class Platform {
 public:
  virtual ~Platform() = default;
  virtual Registry& registry() = 0;
  virtual SystemParameters& spi() = 0;
  virtual System& system() = 0;
  virtual Services& services() = 0;
  virtual Shell& shell() = 0;
  virtual Restart& restart() = 0;
  virtual Files& files() = 0;
  virtual Dialogs& dialogs() = 0;
  virtual Clock& clock() = 0;
};

}  // namespace corvanel::platform
