// The in-process platform: a faithful stand-in for the parts of Windows the program uses.
// It behaves like the real system where the program can tell the difference (case-
// insensitive registry names, kept value types, access rights per handle, service states,
// a file tree), so that tests can prepare a system, run portable code on it and read the
// result back. Every class has test hooks beside its seam methods: helpers to set and read
// state directly (they bypass access checks and injected failures), failure injection, and
// logs of the calls made through the seam.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace corvanel::platform::memory {

// =================================================================================
// Registry.
struct RegValue {
  std::uint32_t type = win::REG_NONE;
  std::vector<std::uint8_t> bytes;
  bool operator==(const RegValue&) const = default;
};

// One OpenKey / CreateKey / DeleteKeyEx call as the program made it. `root` and `path`
// are where the key lies (the parent handle resolved), `access` the mask passed.
struct RegAccess {
  std::string call;  // "open", "create", "delete_ex"
  RegKey root = 0;
  std::string path;
  std::uint32_t access = 0;
  long result = 0;
};

// One change that reached the tree through the seam, in order.
struct RegWrite {
  std::string call;  // "set_value", "delete_value", "create_key", "delete_key"
  RegKey root = 0;
  std::string path;
  std::string name;  // value name for value calls
};

class MemoryRegistry : public Registry {
 public:
  MemoryRegistry();
  ~MemoryRegistry() override;
  MemoryRegistry(const MemoryRegistry&) = delete;
  MemoryRegistry& operator=(const MemoryRegistry&) = delete;

  // --- seam ---
  long OpenKey(RegKey parent, const std::string& subkey, std::uint32_t access, RegKey* result) override;
  long CreateKey(RegKey parent, const std::string& subkey, std::uint32_t access, RegKey* result,
                 bool* created) override;
  long CloseKey(RegKey key) override;
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::vector<std::uint8_t>* data,
                  std::uint32_t* size) override;
  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override;
  long DeleteValue(RegKey key, const std::string& name) override;
  long EnumKey(RegKey key, std::uint32_t index, std::string* name) override;
  long EnumValue(RegKey key, std::uint32_t index, std::string* name) override;
  long EnumValueData(RegKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                     std::vector<std::uint8_t>* data) override;
  long QueryKeyCounts(RegKey key, std::uint32_t* subkeys, std::uint32_t* values) override;
  long DeleteKey(RegKey parent, const std::string& subkey) override;
  long DeleteKeyEx(RegKey parent, const std::string& subkey, std::uint32_t access) override;
  bool IsWow64Process(bool* wow64) override;

  // --- test helpers: paths may have leading/trailing backslashes; keys are created as needed ---
  void SetRaw(RegKey root, const std::string& path, const std::string& name, std::uint32_t type,
              std::vector<std::uint8_t> bytes);
  void SetString(RegKey root, const std::string& path, const std::string& name, const std::string& text);
  void SetExpandString(RegKey root, const std::string& path, const std::string& name, const std::string& text);
  void SetMultiString(RegKey root, const std::string& path, const std::string& name,
                      const std::vector<std::string>& texts);
  void SetDword(RegKey root, const std::string& path, const std::string& name, std::uint32_t value);
  void SetQword(RegKey root, const std::string& path, const std::string& name, std::uint64_t value);
  void SetBinary(RegKey root, const std::string& path, const std::string& name, std::vector<std::uint8_t> bytes);
  void CreateKeyPath(RegKey root, const std::string& path);
  // Removes a key with everything below it; false when it does not exist.
  bool DeleteTree(RegKey root, const std::string& path);
  bool RemoveValue(RegKey root, const std::string& path, const std::string& name);

  std::optional<RegValue> Get(RegKey root, const std::string& path, const std::string& name) const;
  // The text of a REG_SZ / REG_EXPAND_SZ value; nullopt for a missing value or another type.
  std::optional<std::string> GetString(RegKey root, const std::string& path, const std::string& name) const;
  // A REG_DWORD value; nullopt for a missing value or another type.
  std::optional<std::uint32_t> GetDword(RegKey root, const std::string& path, const std::string& name) const;
  bool KeyExists(RegKey root, const std::string& path) const;
  bool ValueExists(RegKey root, const std::string& path, const std::string& name) const;
  // Names as created (case preserved): subkeys sorted without regard to case, values in creation order.
  std::vector<std::string> SubkeyNames(RegKey root, const std::string& path) const;
  std::vector<std::string> ValueNames(RegKey root, const std::string& path) const;

  // --- test hooks ---
  // A key that can be opened for reading only: opens or creates asking for any write
  // right fail with 5, so do deleting it and creating subkeys in it. Creates the key.
  void SetReadOnly(RegKey root, const std::string& path, bool read_only = true);
  // Setting or deleting the value `name` of the key fails with `error`.
  void FailWrite(RegKey root, const std::string& path, const std::string& name, long error);
  // Every change at or below the key (values, new subkeys, deletions) fails with `error`.
  void FailWritesUnder(RegKey root, const std::string& path, long error);
  void ClearWriteFailures();
  // Whether RegDeleteKeyExW exists (default true; otherwise DeleteKeyEx gives 127).
  void SetDeleteKeyExAvailable(bool available);
  // The answer of IsWow64Process, or nullopt when the function does not exist (default false).
  void SetWow64Answer(std::optional<bool> answer);

  const std::vector<RegAccess>& access_log() const { return access_log_; }
  const std::vector<RegWrite>& write_log() const { return write_log_; }
  // Every value query through the seam (call "query"), found or not.
  const std::vector<RegWrite>& read_log() const { return read_log_; }
  void ClearLogs();
  // Handles opened through the seam and not closed yet (leak checks).
  std::size_t open_handle_count() const;
  // Every key of the three roots (names as stored) with its values, one line each, for
  // comparing whole states. Values are listed by name: a value deleted and written again
  // moves to the end of the registry's own listing, on Windows too.
  std::string Dump() const;

  struct Node;  // the tree, defined in the implementation

 private:
  struct Handle;
  struct Failure;
  Node* RootNode(RegKey root) const;
  Node* Find(RegKey root, const std::string& path) const;
  Node* Ensure(RegKey root, const std::string& path);
  const Handle* Lookup(RegKey key) const;
  long WriteFailure(RegKey root, const std::string& path, const std::string* name) const;
  RegKey NewHandle(const std::shared_ptr<Node>& node, RegKey root, const std::string& path, std::uint32_t access);

  std::shared_ptr<Node> hkcu_, hklm_, hkcr_;
  std::map<RegKey, std::unique_ptr<Handle>> handles_;
  RegKey next_handle_ = 0x1000;
  std::vector<Failure> failures_;
  bool delete_key_ex_available_ = true;
  std::optional<bool> wow64_ = false;
  std::vector<RegAccess> access_log_;
  std::vector<RegWrite> write_log_;
  std::vector<RegWrite> read_log_;
};

// =================================================================================
// System parameters. A table of the actions the program uses; every other action fails.
namespace spi {
inline constexpr std::uint32_t GETBEEP = 0x0001, SETBEEP = 0x0002;
inline constexpr std::uint32_t GETKEYBOARDSPEED = 0x000A, SETKEYBOARDSPEED = 0x000B;
inline constexpr std::uint32_t GETKEYBOARDDELAY = 0x0016, SETKEYBOARDDELAY = 0x0017;
inline constexpr std::uint32_t SETDOUBLECLKWIDTH = 0x001D, SETDOUBLECLKHEIGHT = 0x001E;
inline constexpr std::uint32_t SETMOUSEBUTTONSWAP = 0x0021;
inline constexpr std::uint32_t SETDRAGFULLWINDOWS = 0x0025, GETDRAGFULLWINDOWS = 0x0026;
inline constexpr std::uint32_t GETMINIMIZEDMETRICS = 0x002B, SETMINIMIZEDMETRICS = 0x002C;
inline constexpr std::uint32_t GETANIMATION = 0x0048, SETANIMATION = 0x0049;
inline constexpr std::uint32_t GETFONTSMOOTHING = 0x004A, SETFONTSMOOTHING = 0x004B;
inline constexpr std::uint32_t SETDRAGWIDTH = 0x004C, SETDRAGHEIGHT = 0x004D;
inline constexpr std::uint32_t GETSNAPTODEFBUTTON = 0x005F, SETSNAPTODEFBUTTON = 0x0060;
inline constexpr std::uint32_t GETMOUSEHOVERWIDTH = 0x0062, SETMOUSEHOVERWIDTH = 0x0063;
inline constexpr std::uint32_t GETMOUSEHOVERHEIGHT = 0x0064, SETMOUSEHOVERHEIGHT = 0x0065;
inline constexpr std::uint32_t GETMOUSEHOVERTIME = 0x0066, SETMOUSEHOVERTIME = 0x0067;
inline constexpr std::uint32_t GETWHEELSCROLLLINES = 0x0068, SETWHEELSCROLLLINES = 0x0069;
inline constexpr std::uint32_t GETMENUSHOWDELAY = 0x006A, SETMENUSHOWDELAY = 0x006B;
inline constexpr std::uint32_t GETMENUANIMATION = 0x1002, SETMENUANIMATION = 0x1003;
inline constexpr std::uint32_t GETCOMBOBOXANIMATION = 0x1004, SETCOMBOBOXANIMATION = 0x1005;
inline constexpr std::uint32_t GETLISTBOXSMOOTHSCROLLING = 0x1006, SETLISTBOXSMOOTHSCROLLING = 0x1007;
inline constexpr std::uint32_t GETGRADIENTCAPTIONS = 0x1008, SETGRADIENTCAPTIONS = 0x1009;
inline constexpr std::uint32_t GETKEYBOARDCUES = 0x100A, SETKEYBOARDCUES = 0x100B;
inline constexpr std::uint32_t GETHOTTRACKING = 0x100E, SETHOTTRACKING = 0x100F;
inline constexpr std::uint32_t GETMENUFADE = 0x1012, SETMENUFADE = 0x1013;
inline constexpr std::uint32_t GETSELECTIONFADE = 0x1014, SETSELECTIONFADE = 0x1015;
inline constexpr std::uint32_t GETTOOLTIPANIMATION = 0x1016, SETTOOLTIPANIMATION = 0x1017;
inline constexpr std::uint32_t GETTOOLTIPFADE = 0x1018, SETTOOLTIPFADE = 0x1019;
inline constexpr std::uint32_t GETCURSORSHADOW = 0x101A, SETCURSORSHADOW = 0x101B;
inline constexpr std::uint32_t GETFLATMENU = 0x1022, SETFLATMENU = 0x1023;
inline constexpr std::uint32_t GETDROPSHADOW = 0x1024, SETDROPSHADOW = 0x1025;
inline constexpr std::uint32_t GETUIEFFECTS = 0x103E, SETUIEFFECTS = 0x103F;
inline constexpr std::uint32_t GETCLIENTAREAANIMATION = 0x1042, SETCLIENTAREAANIMATION = 0x1043;
inline constexpr std::uint32_t GETFOREGROUNDLOCKTIMEOUT = 0x2000, SETFOREGROUNDLOCKTIMEOUT = 0x2001;
inline constexpr std::uint32_t GETFOREGROUNDFLASHCOUNT = 0x2004, SETFOREGROUNDFLASHCOUNT = 0x2005;
inline constexpr std::uint32_t GETCARETWIDTH = 0x2006, SETCARETWIDTH = 0x2007;
inline constexpr std::uint32_t GETFONTSMOOTHINGTYPE = 0x200A, SETFONTSMOOTHINGTYPE = 0x200B;

inline constexpr int SM_SWAPBUTTON = 23;
inline constexpr int SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37;
inline constexpr int SM_CXDRAG = 68, SM_CYDRAG = 69;

inline constexpr std::uint32_t kAnimationInfoSize = 8;
inline constexpr std::uint32_t kMinimizedMetricsSize = 20;
}  // namespace spi

// One Spi call. `pv` is pvParam as a number; `block` the bytes it pointed to before the
// call, for the actions that take a parameter block on SET (empty otherwise).
struct SpiCall {
  std::uint32_t action = 0;
  std::uint32_t ui = 0;
  std::uintptr_t pv = 0;
  std::vector<std::uint8_t> block;
  std::uint32_t win_ini = 0;
  bool result = false;
};

class MemorySystemParameters : public SystemParameters {
 public:
  MemorySystemParameters();
  bool Spi(std::uint32_t action, std::uint32_t ui_param, void* pv_param, std::uint32_t win_ini) override;
  int Metrics(int index) override;

  // Scalar parameters by their GET action (booleans are stored as 0/1).
  std::optional<std::uint32_t> Value(std::uint32_t get_action) const;
  void SetValue(std::uint32_t get_action, std::uint32_t value);
  // MINIMIZEDMETRICS fields after cbSize: width, horizontal gap, vertical gap, arrange.
  struct MinimizedMetrics {
    std::int32_t width = 154, horz_gap = 0, vert_gap = 0, arrange = 8;
    bool operator==(const MinimizedMetrics&) const = default;
  };
  MinimizedMetrics minimized_metrics() const { return minimized_; }
  void set_minimized_metrics(const MinimizedMetrics& m) { minimized_ = m; }
  std::int32_t min_animate() const { return min_animate_; }
  void set_min_animate(std::int32_t v) { min_animate_ = v; }
  void SetMetric(int index, int value) { metrics_[index] = value; }
  // Makes one action fail (return false, change nothing) until cleared.
  void FailAction(std::uint32_t action, bool fail = true);
  // Every parameter and metric, one line each, for comparing whole states.
  std::string Dump() const;

  const std::vector<SpiCall>& calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }

 private:
  bool Dispatch(std::uint32_t action, std::uint32_t ui, void* pv);
  std::map<std::uint32_t, std::uint32_t> values_;
  std::map<int, int> metrics_;
  std::map<std::uint32_t, bool> failing_;
  MinimizedMetrics minimized_;
  std::int32_t min_animate_ = 1;
  std::vector<SpiCall> calls_;
};

// =================================================================================
// Version, processor, code page, executable.
class MemorySystem : public System {
 public:
  MemorySystem();
  bool GetVersion(OsVersion* version) override;
  bool GetNativeProcessorArchitecture(std::uint16_t* architecture) override;
  std::uint16_t GetProcessorArchitecture() override;
  // Windows-1252; characters it cannot hold become '?'.
  std::string AnsiToUtf8(const std::string& ansi) override;
  std::string Utf8ToAnsi(const std::string& utf8) override;
  std::string ExecutablePath() override;

  // Default: Windows 7 SP1 workstation (6.1.7601), x86, native info available.
  void set_version(const OsVersion& v) { version_ = v; }
  void set_version(std::uint32_t major, std::uint32_t minor, std::uint8_t product_type = win::VER_NT_WORKSTATION);
  void set_version_fails(bool fails) { version_fails_ = fails; }
  void set_native_info_available(bool available) { native_available_ = available; }
  void set_native_architecture(std::uint16_t a) { native_architecture_ = a; }
  void set_architecture(std::uint16_t a) { architecture_ = a; }
  void set_executable_path(std::string p) { executable_path_ = std::move(p); }

 private:
  OsVersion version_;
  bool version_fails_ = false;
  bool native_available_ = true;
  std::uint16_t native_architecture_ = win::PROCESSOR_ARCHITECTURE_INTEL;
  std::uint16_t architecture_ = win::PROCESSOR_ARCHITECTURE_INTEL;
  std::string executable_path_ = "C:\\Program Files\\Corvanel\\corvanel.exe";
};

// =================================================================================
// Service control manager.
inline constexpr std::uint32_t kServiceAcceptStop = 0x1;
inline constexpr std::uint32_t kServiceWin32OwnProcess = 0x10;

struct ServiceCall {
  std::string call;  // "open_manager", "open", "change_start_type", "start", "control", "query", "close"
  std::string service;
  std::uint32_t arg = 0;  // access, start type or control code
  bool ok = false;
  long error = 0;
};

class MemoryServices : public Services {
 public:
  ScHandle OpenManager(std::uint32_t access) override;
  ScHandle OpenService(ScHandle manager, const std::string& name, std::uint32_t access) override;
  bool ChangeStartType(ScHandle service, std::uint32_t start_type) override;
  bool Start(ScHandle service) override;
  bool Control(ScHandle service, std::uint32_t control, ServiceStatus* status) override;
  bool QueryStatus(ScHandle service, ServiceStatus* status) override;
  bool QueryStartType(ScHandle service, std::uint32_t* start_type) override;
  void Close(ScHandle handle) override;
  long LastError() override { return last_error_; }

  // --- test hooks ---
  void AddService(const std::string& name, std::uint32_t state = win::SERVICE_STOPPED,
                  std::uint32_t start_type = win::SERVICE_DEMAND_START,
                  std::uint32_t controls_accepted = kServiceAcceptStop);
  void RemoveService(const std::string& name);
  bool HasService(const std::string& name) const;
  std::optional<std::uint32_t> State(const std::string& name) const;
  std::optional<std::uint32_t> StartType(const std::string& name) const;
  void SetState(const std::string& name, std::uint32_t state);
  // From now on a start (stop) stays *_PENDING for `status_queries` QueryStatus calls and
  // then reaches RUNNING (STOPPED); a negative count keeps it pending until SetState.
  // SetState with a pending state keeps it until the next SetState.
  void SetStartPending(const std::string& name, int status_queries);
  void SetStopPending(const std::string& name, int status_queries);
  // OpenManager fails with `error` (0: works again).
  void FailOpenManager(long error) { open_manager_error_ = error; }
  // Start of this service fails with `error` (0: works again).
  void FailStart(const std::string& name, long error);

  const std::vector<ServiceCall>& calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  std::size_t open_handle_count() const { return handles_.size(); }
  // Every service with its state and start type, one line each.
  std::string Dump() const;

 private:
  struct Service {
    std::string name;
    std::uint32_t state = win::SERVICE_STOPPED;
    std::uint32_t start_type = win::SERVICE_DEMAND_START;
    std::uint32_t controls_accepted = kServiceAcceptStop;
    int start_pending = 0;
    int stop_pending = 0;
    int pending_left = 0;  // queries left in the current pending state; < 0 forever
    long start_error = 0;
  };
  struct HandleInfo {
    bool manager = false;
    std::string key;  // upper-cased service name
    std::uint32_t access = 0;
  };
  Service* ServiceOf(ScHandle h, std::uint32_t right, const char* call, std::uint32_t arg);
  bool Fail(const std::string& call, const std::string& service, std::uint32_t arg, long error);
  void Ok(const std::string& call, const std::string& service, std::uint32_t arg);
  static ServiceStatus StatusOf(const Service& s);

  std::map<std::string, Service> services_;  // by upper-cased name
  std::map<ScHandle, HandleInfo> handles_;
  ScHandle next_handle_ = 0x5000;
  long open_manager_error_ = 0;
  long last_error_ = 0;
  std::vector<ServiceCall> calls_;
};

// =================================================================================
// Shell.
struct ChangeNotifyCall {
  std::int32_t event_id = 0;
  std::uint32_t flags = 0;
};
struct ExecuteCall {
  std::uintptr_t owner = 0;
  std::string verb, file, parameters, directory;
  int show = 0;
};

class MemoryShell : public Shell {
 public:
  MemoryShell();
  bool SpecialFolder(int csidl, std::string* path) override;
  // %NAME% with a known name (any case) is replaced; anything else stays as written.
  std::string ExpandEnvironment(const std::string& text) override;
  void ChangeNotify(std::int32_t event_id, std::uint32_t flags) override;
  std::intptr_t Execute(std::uintptr_t owner, const std::string& verb, const std::string& file,
                        const std::string& parameters, const std::string& directory, int show) override;

  void SetSpecialFolder(int csidl, std::string path) { folders_[csidl] = std::move(path); }
  void RemoveSpecialFolder(int csidl) { folders_.erase(csidl); }
  void SetEnv(const std::string& name, std::string value);
  void UnsetEnv(const std::string& name);
  void set_execute_result(std::intptr_t r) { execute_result_ = r; }

  const std::vector<ChangeNotifyCall>& notifications() const { return notifications_; }
  const std::vector<ExecuteCall>& executions() const { return executions_; }
  void ClearLogs() {
    notifications_.clear();
    executions_.clear();
  }

 private:
  std::map<int, std::string> folders_;
  std::map<std::string, std::string> env_;  // by upper-cased name
  std::intptr_t execute_result_ = 42;
  std::vector<ChangeNotifyCall> notifications_;
  std::vector<ExecuteCall> executions_;
};

// =================================================================================
// Restart: records, never restarts anything.
struct ExitWindowsCall {
  std::uint32_t flags = 0;
  std::uint32_t reason = 0;
};

class MemoryRestart : public Restart {
 public:
  bool EnableShutdownPrivilege() override;
  bool ExitWindows(std::uint32_t flags, std::uint32_t reason) override;

  void set_privilege_result(bool ok) { privilege_result_ = ok; }
  void set_exit_result(bool ok) { exit_result_ = ok; }
  int privilege_requests() const { return privilege_requests_; }
  const std::vector<ExitWindowsCall>& exit_calls() const { return exit_calls_; }

 private:
  bool privilege_result_ = true;
  bool exit_result_ = true;
  int privilege_requests_ = 0;
  std::vector<ExitWindowsCall> exit_calls_;
};

// =================================================================================
// Files: a tree of folders and files; names case-insensitive, "/" taken as "\\".
inline constexpr std::uint32_t kFileAttributeReadOnly = 0x1;
inline constexpr std::uint32_t kFileAttributeArchive = 0x20;

class MemoryFiles : public Files {
 public:
  MemoryFiles();
  ~MemoryFiles() override;
  MemoryFiles(const MemoryFiles&) = delete;
  MemoryFiles& operator=(const MemoryFiles&) = delete;

  bool ReadFile(const std::string& path, std::vector<std::uint8_t>* data) override;
  bool WriteFileAtomic(const std::string& path, const std::vector<std::uint8_t>& data) override;
  bool FileExists(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  std::vector<std::string> List(const std::string& folder, const std::string& pattern) override;
  std::uint32_t GetAttributes(const std::string& path) override;
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
  long LastError() override { return last_error_; }

  // --- test helpers (folders on the way are created) ---
  void AddFile(const std::string& path, const std::string& content,
               std::uint32_t attributes = kFileAttributeArchive);
  void AddFile(const std::string& path, const std::vector<std::uint8_t>& content,
               std::uint32_t attributes = kFileAttributeArchive);
  void AddDirectory(const std::string& path);
  // A junction at `path` to the folder `target`: it reports FILE_ATTRIBUTE_REPARSE_POINT
  // and paths through it lead into the target (which may hold the junction itself).
  void AddJunction(const std::string& path, const std::string& target);
  bool Remove(const std::string& path);  // a file, or a folder with all it holds
  std::optional<std::vector<std::uint8_t>> Content(const std::string& path) const;
  std::optional<std::string> Text(const std::string& path) const;
  // Reads (writes) of this path fail until cleared, with ERROR_ACCESS_DENIED.
  void FailRead(const std::string& path, bool fail = true);
  void FailWrite(const std::string& path, bool fail = true);
  // SetAttributes of this path fails with `error` (0: no longer).
  void FailSetAttributes(const std::string& path, long error);
  int write_count() const { return write_count_; }

  struct Entry;

 private:
  Entry* Find(const std::string& path) const;
  Entry* Listed(Entry* e) const;
  Entry* EnsureDirectory(const std::string& path);
  Entry* Put(const std::string& path, const std::vector<std::uint8_t>& content, std::uint32_t attributes);
  bool Failed(long error) {
    last_error_ = error;
    return false;
  }

  std::unique_ptr<Entry> root_;
  std::map<std::string, bool> fail_read_, fail_write_;  // by folded path
  std::map<std::string, long> fail_set_attributes_;     // by folded path
  long last_error_ = 0;
  int write_count_ = 0;
};

// =================================================================================
// Dialogs: answers are scripted per kind; every call is logged.
struct DialogCall {
  enum class Kind { kMessageBox, kOpenFile, kChooseColor, kSaveFile };
  Kind kind = Kind::kMessageBox;
  std::uintptr_t owner = 0;
  std::string text, caption;  // message box
  std::uint32_t flags = 0;    // message box
  std::vector<FileFilter> filters;
  std::string initial;           // open and save file
  std::string extension;         // save file
  std::uint32_t color = 0;       // colour passed in
  bool scripted = false;         // an answer was queued for this call
};

class MemoryDialogs : public Dialogs {
 public:
  // Without a queued answer: IDOK for MB_OK boxes, IDNO for MB_YESNO, IDCANCEL otherwise.
  int MessageBox(std::uintptr_t owner, const std::string& text, const std::string& caption,
                 std::uint32_t flags) override;
  // Without a queued answer the dialog is cancelled.
  bool OpenFile(std::uintptr_t owner, const std::vector<FileFilter>& filters, const std::string& initial,
                std::string* path) override;
  // Without a queued answer the dialog is cancelled.
  bool SaveFile(std::uintptr_t owner, const std::vector<FileFilter>& filters, const std::string& initial,
                const std::string& extension, std::string* path) override;
  bool ChooseColor(std::uintptr_t owner, std::uint32_t* color) override;

  void QueueMessageBox(int answer) { message_boxes_.push_back(answer); }
  // nullopt: the user cancels.
  void QueueOpenFile(std::optional<std::string> path) { open_files_.push_back(std::move(path)); }
  void QueueSaveFile(std::optional<std::string> path) { save_files_.push_back(std::move(path)); }
  void QueueColor(std::optional<std::uint32_t> color) { colors_.push_back(color); }
  std::size_t pending_answers() const {
    return message_boxes_.size() + open_files_.size() + save_files_.size() + colors_.size();
  }

  const std::vector<DialogCall>& calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }

 private:
  std::deque<int> message_boxes_;
  std::deque<std::optional<std::string>> open_files_;
  std::deque<std::optional<std::string>> save_files_;
  std::deque<std::optional<std::uint32_t>> colors_;
  std::vector<DialogCall> calls_;
};

// =================================================================================
// Virtual time.
class MemoryClock : public Clock {
 public:
  std::uint64_t NowMs() override { return now_; }
  // Advances the time by `ms`, then runs the sleep callback (if any) with the new time.
  void SleepMs(std::uint32_t ms) override;

  void Advance(std::uint64_t ms) { now_ += ms; }
  void set_on_sleep(std::function<void(std::uint64_t now_ms)> callback) { on_sleep_ = std::move(callback); }
  const std::vector<std::uint32_t>& sleeps() const { return sleeps_; }
  std::uint64_t total_slept() const;

 private:
  std::uint64_t now_ = 1'000'000;
  std::function<void(std::uint64_t)> on_sleep_;
  std::vector<std::uint32_t> sleeps_;
};

// =================================================================================
class MemoryPlatform : public Platform {
 public:
  MemoryPlatform();
  ~MemoryPlatform() override;
  MemoryRegistry& registry() override { return registry_; }
  MemorySystemParameters& spi() override { return spi_; }
  MemorySystem& system() override { return system_; }
  MemoryServices& services() override { return services_; }
  MemoryShell& shell() override { return shell_; }
  MemoryRestart& restart() override { return restart_; }
  MemoryFiles& files() override { return files_; }
  MemoryDialogs& dialogs() override { return dialogs_; }
  MemoryClock& clock() override { return clock_; }
  // Registry, system parameters and services together.
  std::string Dump() const { return registry_.Dump() + spi_.Dump() + services_.Dump(); }

 private:
  MemoryRegistry registry_;
  MemorySystemParameters spi_;
  MemorySystem system_;
  MemoryServices services_;
  MemoryShell shell_;
  MemoryRestart restart_;
  MemoryFiles files_;
  MemoryDialogs dialogs_;
  MemoryClock clock_;
};

}  // namespace corvanel::platform::memory
