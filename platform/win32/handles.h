// Owning wrappers for the Windows handles the platform layer opens itself.
#pragma once

#include "platform/win32/windows_api.h"

#include <utility>

namespace corvanel::platform::win32 {

template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(Type h) : h_(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Type get() const { return h_; }
  explicit operator bool() const { return Traits::Valid(h_); }
  Type release() { return std::exchange(h_, Traits::Invalid()); }
  void reset(Type h = Traits::Invalid()) {
    if (Traits::Valid(h_)) Traits::Close(h_);
    h_ = h;
  }
  // For APIs that return the handle through a pointer; drops what was held.
  Type* out() {
    reset();
    return &h_;
  }

 private:
  Type h_ = Traits::Invalid();
};

struct KeyTraits {
  using Type = HKEY;
  static Type Invalid() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Close(Type h) { RegCloseKey(h); }
};
struct ScTraits {
  using Type = SC_HANDLE;
  static Type Invalid() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Close(Type h) { CloseServiceHandle(h); }
};
struct ModuleTraits {
  using Type = HMODULE;
  static Type Invalid() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Close(Type h) { FreeLibrary(h); }
};
// Kernel objects: tokens, events, files. CreateFileW fails with INVALID_HANDLE_VALUE,
// most others with null; neither is closed.
struct KernelTraits {
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) { CloseHandle(h); }
};
struct FindTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) { FindClose(h); }
};

using UniqueKey = UniqueHandle<KeyTraits>;
using UniqueSc = UniqueHandle<ScTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueKernel = UniqueHandle<KernelTraits>;
using UniqueFind = UniqueHandle<FindTraits>;

}  // namespace corvanel::platform::win32
