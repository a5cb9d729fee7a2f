#include "win32/progress_bar.h"

#include <algorithm>
#include <new>

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

namespace vokuta::win32 {
namespace {

struct Bar {
  int low = 0;
  int high = 100;
  int pos = 0;
  HTHEME theme = nullptr;
  bool opaqueFill = false; ///< a longer fill may be drawn over a shorter one
  bool painted = false;    ///< the track is on the screen, and `inside` holds its inside
  RECT inside{};
};

Bar* barOf(HWND hwnd) { return reinterpret_cast<Bar*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

// The part of the track's inside that the position fills.
RECT filled(const Bar& bar) {
  RECT fill = bar.inside;
  const long long span = static_cast<long long>(bar.high) - bar.low;
  const long long done = static_cast<long long>(bar.pos) - bar.low;
  if (span > 0)
    fill.right = fill.left + static_cast<LONG>((fill.right - fill.left) * done / span);
  else
    fill.right = fill.left;
  return fill;
}

void drawFill(const Bar& bar, HDC dc) {
  const RECT fill = filled(bar);
  if (fill.right <= fill.left) return;
  if (bar.theme)
    DrawThemeBackground(bar.theme, dc, PP_FILL, PBFS_NORMAL, &fill, nullptr);
  else
    FillRect(dc, &fill, GetSysColorBrush(COLOR_HIGHLIGHT));
}

void paint(HWND hwnd, Bar& bar, HDC dc) {
  RECT all;
  GetClientRect(hwnd, &all);
  bar.inside = all;
  if (bar.theme) {
    if (IsThemeBackgroundPartiallyTransparent(bar.theme, PP_BAR, 0))
      DrawThemeParentBackground(hwnd, dc, &all);
    DrawThemeBackground(bar.theme, dc, PP_BAR, 0, &all, nullptr);
    GetThemeBackgroundContentRect(bar.theme, dc, PP_BAR, 0, &all, &bar.inside);
  } else {
    DrawEdge(dc, &bar.inside, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    FillRect(dc, &bar.inside, GetSysColorBrush(COLOR_3DFACE));
  }
  drawFill(bar, dc);
}

void openTheme(HWND hwnd, Bar& bar) {
  if (bar.theme) CloseThemeData(bar.theme);
  bar.theme = OpenThemeData(hwnd, VSCLASS_PROGRESS);
  bar.opaqueFill = !bar.theme || !IsThemeBackgroundPartiallyTransparent(bar.theme, PP_FILL, 0);
  bar.painted = false;
}

// A new position is drawn at once: the window thread is about to block in a link call. Only the
// fill grows over a track on the screen; anything else repaints the whole bar.
void show(HWND hwnd, Bar& bar, int before) {
  if (!IsWindowVisible(hwnd)) return;
  const HDC dc = GetDC(hwnd);
  if (!dc) return;
  if (bar.painted && bar.opaqueFill && bar.pos > before) {
    drawFill(bar, dc);
  } else {
    paint(hwnd, bar, dc);
    bar.painted = true;
  }
  ReleaseDC(hwnd, dc);
}

LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    Bar* bar = new (std::nothrow) Bar;
    if (!bar) return FALSE;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bar));
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  Bar* bar = barOf(hwnd);
  if (!bar) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
  case WM_CREATE:
    openTheme(hwnd, *bar);
    return 0;
  case WM_THEMECHANGED:
    openTheme(hwnd, *bar);
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
  case WM_SHOWWINDOW:
    // Hidden, the bar leaves the screen to others: the next paint starts with the track.
    if (!wParam) bar->painted = false;
    break;
  case WM_NCDESTROY:
    if (bar->theme) CloseThemeData(bar->theme);
    delete bar;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    break;
  case PBM_SETRANGE32: {
    const LRESULT before = MAKELRESULT(bar->low, bar->high);
    bar->low = static_cast<int>(wParam);
    bar->high = std::max(bar->low, static_cast<int>(lParam));
    bar->pos = std::clamp(bar->pos, bar->low, bar->high);
    InvalidateRect(hwnd, nullptr, FALSE);
    return before;
  }
  case PBM_GETRANGE:
    if (lParam) *reinterpret_cast<PBRANGE*>(lParam) = {bar->low, bar->high};
    return wParam ? bar->low : bar->high;
  case PBM_GETPOS:
    return bar->pos;
  case PBM_SETPOS: {
    const int before = bar->pos;
    bar->pos = std::clamp(static_cast<int>(wParam), bar->low, bar->high);
    if (bar->pos != before) show(hwnd, *bar, before);
    return before;
  }
  case WM_ERASEBKGND:
    return 1; // the paint covers every pixel
  case WM_PRINTCLIENT:
    paint(hwnd, *bar, reinterpret_cast<HDC>(wParam));
    return 0;
  case WM_PAINT: {
    PAINTSTRUCT ps;
    if (const HDC dc = BeginPaint(hwnd, &ps)) {
      paint(hwnd, *bar, dc);
      bar->painted = true;
      EndPaint(hwnd, &ps);
    }
    return 0;
  }
  default:
    break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

bool RegisterProgressBarClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kProgressBarClass;
    return RegisterClassExW(&wc) != 0;
  }();
  return registered;
}

} // namespace vokuta::win32
