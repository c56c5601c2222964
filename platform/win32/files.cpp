#include <algorithm>
#include <string>

#include "platform/win32/windows_api.h"
#include "platform/win32/handles.h"
#include "platform/win32/parts.h"
#include "platform/win32/wide_text.h"

namespace corvanel::platform::win32 {
namespace {

// Larger files are not ours to read whole into memory (preference files are a few MB).
constexpr std::uint64_t kMaxReadBytes = 512ull * 1024 * 1024;

bool WriteAll(HANDLE file, const std::vector<std::uint8_t>& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const std::size_t left = data.size() - done;
    const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!::WriteFile(file, data.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

class Win32Files final : public Files {
 public:
  bool ReadFile(const std::string& path, std::vector<std::uint8_t>* data) override {
    UniqueKernel file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return Failed();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return Failed();
    if (size.QuadPart < 0 || static_cast<std::uint64_t>(size.QuadPart) > kMaxReadBytes) {
      return Failed(ERROR_FILE_TOO_LARGE);
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    // Read to the end of file rather than trusting the size: the file may change meanwhile.
    for (;;) {
      if (done == bytes.size()) {
        if (bytes.size() >= kMaxReadBytes) return Failed(ERROR_FILE_TOO_LARGE);
        bytes.resize(bytes.size() + 65536);
      }
      DWORD got = 0;
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
      if (!::ReadFile(file.get(), bytes.data() + done, want, &got, nullptr)) return Failed();
      if (got == 0) break;
      done += got;
    }
    bytes.resize(done);
    if (data) *data = std::move(bytes);
    return true;
  }

  bool WriteFileAtomic(const std::string& path, const std::vector<std::uint8_t>& data) override {
    const std::wstring target = Widen(path);
    // Beside the target, so the rename stays on one volume and cannot half-happen.
    const std::wstring temp = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    // Windows will not replace a read-only file, Wine would: refuse on both, before any
    // temporary exists.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
      return Failed(ERROR_ACCESS_DENIED);
    }
    {
      UniqueKernel file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
      if (!file) return Failed();
      if (!WriteAll(file.get(), data) || !FlushFileBuffers(file.get())) {
        const DWORD error = GetLastError();
        file.reset();
        DeleteFileW(temp.c_str());
        return Failed(error);
      }
    }
    if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      const DWORD error = GetLastError();
      DeleteFileW(temp.c_str());
      return Failed(error);
    }
    return true;
  }

  bool FileExists(const std::string& path) override {
    const DWORD a = GetFileAttributesW(Widen(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
  }

  bool RemoveFile(const std::string& path) override {
    if (!DeleteFileW(Widen(path).c_str())) return Failed();
    last_error_ = 0;
    return true;
  }

  bool DirectoryExists(const std::string& path) override {
    const DWORD a = GetFileAttributesW(Widen(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
  }

  std::vector<std::string> List(const std::string& folder, const std::string& pattern) override {
    std::vector<std::string> names;
    std::wstring query = Widen(folder);
    if (!query.empty() && query.back() != L'\\' && query.back() != L'/') query += L'\\';
    query += Widen(pattern);
    WIN32_FIND_DATAW entry{};
    UniqueFind find(FindFirstFileW(query.c_str(), &entry));
    if (!find) return names;
    do {
      const std::wstring_view name(entry.cFileName);
      if (name == L"." || name == L"..") continue;
      names.push_back(Narrow(name));
    } while (FindNextFileW(find.get(), &entry));
    return names;
  }

  std::uint32_t GetAttributes(const std::string& path) override {
    const std::wstring wide = Widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    last_error_ = attributes == INVALID_FILE_ATTRIBUTES ? static_cast<long>(GetLastError()) : 0;
    return attributes;
  }

  bool SetAttributes(const std::string& path, std::uint32_t attributes) override {
    const std::wstring wide = Widen(path);
    const bool ok = SetFileAttributesW(wide.c_str(), attributes) != FALSE;
    last_error_ = ok ? 0 : static_cast<long>(GetLastError());
    return ok;
  }

  long LastError() override { return last_error_; }

 private:
  bool Failed(DWORD error = GetLastError()) {
    last_error_ = static_cast<long>(error);
    return false;
  }

  // Taken right after the call: later calls of this thread overwrite GetLastError.
  long last_error_ = 0;
};

}  // namespace

std::unique_ptr<Files> MakeFiles() { return std::make_unique<Win32Files>(); }

}  // namespace corvanel::platform::win32
