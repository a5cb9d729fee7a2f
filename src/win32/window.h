#pragma once
#include <exception>

#include "win32/win.h"

namespace vokuta::win32 {

/// A top-level window of the shared form class whose messages go to one C++ object.
///
/// One static window procedure finds the object through the window's user data and calls
/// `onMessage`. It is also the boundary to user32: no exception passes it, each is reported
/// to the user in a box instead.
class Window {
public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }

  /// The object behind a window of the form class; nullptr for any other window.
  static Window* fromHandle(HWND hwnd);

  /// Runs `f`; an exception it throws is reported in a box and goes no further. For every
  /// entry point that user32 calls: window and subclass procedures.
  template <typename F> static void guarded(F&& f) noexcept {
    try {
      f();
    } catch (...) {
      reportException(std::current_exception());
    }
  }

protected:
  /// Creates the window (hidden) at `bounds`, in screen coordinates.
  void create(DWORD exStyle, DWORD style, const wchar_t* caption, const RECT& bounds);
  /// Destroys the window now; the object no longer receives messages.
  void destroy();

  /// Every message after WM_NCCREATE. The default is DefWindowProc.
  virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  /// Registers the form class on first use; 0 when that failed.
  static ATOM formClass();
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static void reportException(std::exception_ptr error) noexcept;

  HWND hwnd_ = nullptr;
};

} // namespace vokuta::win32
