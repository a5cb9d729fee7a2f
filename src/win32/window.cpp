#include "win32/window.h"

#include <stdexcept>
#include <string>

#include "state/program.h"
#include "win32/control_ids.h"

namespace vokuta::win32 {
namespace {

std::wstring widen(const char* text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (n <= 1) return {};
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), n);
  wide.resize(static_cast<std::size_t>(n - 1));
  return wide;
}

} // namespace

Window::~Window() { destroy(); }

ATOM Window::formClass() {
  static const ATOM atom = [] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = ids::kFormClass;
    // No class icon: each form that has one sets its own, so that the others show none.
    return RegisterClassExW(&wc);
  }();
  return atom;
}

Window* Window::fromHandle(HWND hwnd) {
  const ATOM atom = formClass();
  if (!hwnd || !atom || GetClassLongPtrW(hwnd, GCW_ATOM) != atom) return nullptr;
  return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Window::create(DWORD exStyle, DWORD style, const wchar_t* caption, const RECT& bounds) {
  const ATOM atom = formClass();
  if (!atom) throw std::runtime_error("RegisterClassExW failed");
  const HWND hwnd =
      CreateWindowExW(exStyle, MAKEINTATOM(atom), caption, style, bounds.left, bounds.top,
                      bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr, nullptr,
                      GetModuleHandleW(nullptr), this);
  if (!hwnd) throw std::runtime_error("CreateWindowExW failed for a form");
}

void Window::destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

LRESULT Window::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  // A handler that failed half-way has done what it could; 0 is the answer that makes
  // user32 do least (in particular, a WM_CLOSE does not go on to destroy the form).
  LRESULT result = 0;
  guarded([&] { result = self->onMessage(message, wParam, lParam); });
  return result;
}

void Window::reportException(std::exception_ptr error) noexcept {
  try {
    std::wstring what;
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      what = widen(e.what());
    } catch (...) {
      what = L"(unknown)";
    }
    MessageBoxW(GetActiveWindow(), (L"内部エラーが発生しました。\r\n" + what).c_str(),
                (AppTitle + L" - エラー").c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
  } catch (...) {
    // Out of memory for the text: a box without it still tells the user.
    MessageBoxW(nullptr, L"内部エラーが発生しました。", nullptr,
                MB_OK | MB_ICONSTOP | MB_TASKMODAL);
  }
}

} // namespace vokuta::win32
