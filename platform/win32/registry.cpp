#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/win32/windows_api.h"
#include "platform/win32/parts.h"
#include "platform/win32/system_module.h"
#include "platform/win32/wide_text.h"

namespace corvanel::platform::win32 {
namespace {

// Bytes asked for in the first read of a value; larger values take a second call.
constexpr DWORD kFirstRead = 256;

bool IsPredefinedRoot(RegKey key) { return key >= 0x80000000u && key <= 0x800000FFu; }

// The seam writes the roots as their 32-bit values; a 64-bit HKEY_* constant is that
// value sign-extended, so the roots need widening, opened keys do not.
HKEY ToHkey(RegKey key) {
  if (IsPredefinedRoot(key)) {
    const auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(key));
    return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(value));
  }
  return reinterpret_cast<HKEY>(key);
}

RegKey FromHkey(HKEY key) { return reinterpret_cast<RegKey>(key); }

class Win32Registry final : public Registry {
 public:
  long OpenKey(RegKey parent, const std::string& subkey, std::uint32_t access, RegKey* result) override {
    HKEY key = nullptr;
    const LONG rc = RegOpenKeyExW(ToHkey(parent), Widen(subkey).c_str(), 0, access, &key);
    if (result) *result = rc == ERROR_SUCCESS ? FromHkey(key) : 0;
    else if (rc == ERROR_SUCCESS) RegCloseKey(key);
    return rc;
  }

  long CreateKey(RegKey parent, const std::string& subkey, std::uint32_t access, RegKey* result,
                 bool* created) override {
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG rc = RegCreateKeyExW(ToHkey(parent), Widen(subkey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    access, nullptr, &key, &disposition);
    if (created) *created = rc == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
    if (result) *result = rc == ERROR_SUCCESS ? FromHkey(key) : 0;
    else if (rc == ERROR_SUCCESS) RegCloseKey(key);
    return rc;
  }

  long CloseKey(RegKey key) override {
    if (IsPredefinedRoot(key)) return ERROR_SUCCESS;
    return RegCloseKey(ToHkey(key));
  }

  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::vector<std::uint8_t>* data,
                  std::uint32_t* size) override {
    const HKEY h = ToHkey(key);
    const std::wstring wname = Widen(name);
    DWORD t = REG_NONE;
    DWORD bytes = 0;
    if (data) {
      // Most values are small: one call reads them whole; only a larger one needs the
      // size first. (Every registry call is a round trip to the server.)
      data->resize(kFirstRead);
      bytes = kFirstRead;
      const LONG first = RegQueryValueExW(h, wname.c_str(), nullptr, &t, data->data(), &bytes);
      if (first == ERROR_SUCCESS && bytes <= data->size()) {
        data->resize(bytes);
        if (type) *type = t;
        if (size) *size = bytes;
        return ERROR_SUCCESS;
      }
      if (first != ERROR_MORE_DATA) return first;
    }
    LONG rc = RegQueryValueExW(h, wname.c_str(), nullptr, &t, nullptr, &bytes);
    if (rc != ERROR_SUCCESS) return rc;
    if (data) {
      // Another writer may grow the value between the size query and the read: ask again
      // with the size reported, a bounded number of times, rather than truncate it.
      for (int attempt = 0;; ++attempt) {
        data->resize(bytes);
        DWORD got = bytes;
        rc = RegQueryValueExW(h, wname.c_str(), nullptr, &t, data->empty() ? nullptr : data->data(), &got);
        if (rc == ERROR_SUCCESS && got <= data->size()) {
          data->resize(got);
          bytes = got;
          break;
        }
        if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return rc;
        if (attempt == 7) return ERROR_MORE_DATA;
        bytes = got > bytes ? got : bytes * 2 + 2;
      }
    }
    if (type) *type = t;
    if (size) *size = bytes;
    return ERROR_SUCCESS;
  }

  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override {
    static const BYTE kNothing = 0;
    return RegSetValueExW(ToHkey(key), Widen(name).c_str(), 0, type, data ? data : &kNothing, size);
  }

  long DeleteValue(RegKey key, const std::string& name) override {
    return RegDeleteValueW(ToHkey(key), Widen(name).c_str());
  }

  long EnumKey(RegKey key, std::uint32_t index, std::string* name) override {
    // Key names are at most 255 characters; the larger buffer only guards odd registries.
    for (DWORD capacity : {DWORD{256}, DWORD{32768}}) {
      std::wstring buffer(capacity, L'\0');
      DWORD length = capacity;
      const LONG rc = RegEnumKeyExW(ToHkey(key), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_MORE_DATA) continue;
      if (rc == ERROR_SUCCESS && name) *name = Narrow(std::wstring_view(buffer.data(), length));
      return rc;
    }
    return ERROR_MORE_DATA;
  }

  long EnumValueData(RegKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                     std::vector<std::uint8_t>* data) override {
    // Most names and values are small. Too small a buffer for either answers "more data"
    // (the data's size is then told): both grow, names to their limit of 16383
    // characters, and a value may grow between the calls, hence a few tries.
    std::wstring buffer(256, L'\0');
    std::vector<BYTE> bytes(256);
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD length = static_cast<DWORD>(buffer.size());
      DWORD kind = 0;
      DWORD size = static_cast<DWORD>(bytes.size());
      const LONG rc = RegEnumValueW(ToHkey(key), index, buffer.data(), &length, nullptr, &kind, bytes.data(), &size);
      if (rc == ERROR_MORE_DATA) {
        buffer.resize(16384);
        bytes.resize(std::max<std::size_t>(size, 2 * bytes.size()));
        continue;
      }
      if (rc != ERROR_SUCCESS) return rc;
      if (name) *name = Narrow(std::wstring_view(buffer.data(), length));
      if (type) *type = kind;
      if (data) data->assign(bytes.begin(), bytes.begin() + size);
      return ERROR_SUCCESS;
    }
    return ERROR_MORE_DATA;
  }

  long EnumValue(RegKey key, std::uint32_t index, std::string* name) override {
    // Value names may be up to 16383 characters.
    for (DWORD capacity : {DWORD{256}, DWORD{16384}}) {
      std::wstring buffer(capacity, L'\0');
      DWORD length = capacity;
      const LONG rc = RegEnumValueW(ToHkey(key), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_MORE_DATA) continue;
      if (rc == ERROR_SUCCESS && name) *name = Narrow(std::wstring_view(buffer.data(), length));
      return rc;
    }
    return ERROR_MORE_DATA;
  }

  long QueryKeyCounts(RegKey key, std::uint32_t* subkeys, std::uint32_t* values) override {
    DWORD keys = 0;
    DWORD vals = 0;
    const LONG rc = RegQueryInfoKeyW(ToHkey(key), nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &vals, nullptr,
                                     nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) {
      if (subkeys) *subkeys = keys;
      if (values) *values = vals;
    }
    return rc;
  }

  long DeleteKey(RegKey parent, const std::string& subkey) override {
    return RegDeleteKeyW(ToHkey(parent), Widen(subkey).c_str());
  }

  long DeleteKeyEx(RegKey parent, const std::string& subkey, std::uint32_t access) override {
    using Fn = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
    const UniqueModule advapi = LoadSystemLibrary(L"advapi32.dll");
    const auto fn = FindProc<Fn>(advapi.get(), "RegDeleteKeyExW");
    if (!fn) return ERROR_PROC_NOT_FOUND;
    return fn(ToHkey(parent), Widen(subkey).c_str(), access, 0);
  }

  bool IsWow64Process(bool* wow64) override {
    using Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto fn = FindKernel32Proc<Fn>("IsWow64Process");
    BOOL answer = FALSE;
    if (!fn || !fn(GetCurrentProcess(), &answer)) return false;
    if (wow64) *wow64 = answer != FALSE;
    return true;
  }
};

}  // namespace

std::unique_ptr<Registry> MakeRegistry() { return std::make_unique<Win32Registry>(); }

}  // namespace corvanel::platform::win32
