#pragma once
#include <utility>

#include "win32/win.h"

namespace vokuta::win32 {

/// Owns one Win32 handle and closes it once. `Traits` names the handle type, the value that
/// means "none" (which differs between the kinds of handle) and the function that closes it.
template <typename Traits> class UniqueHandle {
public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : h_(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset();
      h_ = other.release();
    }
    return *this;
  }

  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::none(); }

  /// For functions that return the handle through a pointer; closes the one held before.
  Handle* receive() {
    reset();
    return &h_;
  }

  Handle release() { return std::exchange(h_, Traits::none()); }

  void reset() {
    if (*this) Traits::close(h_);
    h_ = Traits::none();
  }

private:
  Handle h_ = Traits::none();
};

struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle none() { return nullptr; }
  static void close(Handle h) { RegCloseKey(h); }
};

struct FindTraits {
  using Handle = HANDLE;
  static Handle none() { return INVALID_HANDLE_VALUE; }
  static void close(Handle h) { FindClose(h); }
};

struct FileTraits {
  using Handle = HANDLE;
  static Handle none() { return INVALID_HANDLE_VALUE; }
  static void close(Handle h) { CloseHandle(h); }
};

/// Kernel objects whose creation functions answer NULL on failure (mutexes, threads, events).
struct KernelObjectTraits {
  using Handle = HANDLE;
  static Handle none() { return nullptr; }
  static void close(Handle h) { CloseHandle(h); }
};

struct FontTraits {
  using Handle = HFONT;
  static Handle none() { return nullptr; }
  static void close(Handle h) { DeleteObject(h); }
};

/// Icons loaded from the program's resources without LR_SHARED, which their loader must free.
struct IconTraits {
  using Handle = HICON;
  static Handle none() { return nullptr; }
  static void close(Handle h) { DestroyIcon(h); }
};

using UniqueKey = UniqueHandle<RegistryKeyTraits>;
using UniqueFind = UniqueHandle<FindTraits>;
using UniqueFile = UniqueHandle<FileTraits>;
using UniqueKernelObject = UniqueHandle<KernelObjectTraits>;
using UniqueFont = UniqueHandle<FontTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;

} // namespace vokuta::win32
