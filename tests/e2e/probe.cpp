#include "probe.h"

#include <string>

#include "win32/win.h"

namespace vokuta::drive {
namespace {

WNDPROC listProc = nullptr;

LRESULT CALLBACK probeListProc(HWND h, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_KEYDOWN && w == VK_DELETE) {
    // Read the way the installer's list reads them: the thread's state for this message.
    std::wstring item;
    if (GetKeyState(VK_SHIFT) < 0) item += L"Shift+";
    if (GetKeyState(VK_CONTROL) < 0) item += L"Ctrl+";
    if (GetKeyState(VK_MENU) < 0) item += L"Alt+";
    item += L"Delete";
    SendMessageW(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    return 0;
  }
  return CallWindowProcW(listProc, h, message, w, l);
}

LRESULT CALLBACK probeProc(HWND h, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(h, message, w, l);
}

} // namespace

int RunProbe() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = probeProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"VokutaDriveProbe";
  if (!RegisterClassW(&wc)) return 1;
  HWND top = CreateWindowW(wc.lpszClassName, kProbeTitle, WS_OVERLAPPEDWINDOW, 40, 40, 300, 200,
                           nullptr, nullptr, instance, nullptr);
  HWND list = CreateWindowW(
      L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_NOTIFY, 10, 10, 260, 120, top,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProbeList)), instance, nullptr);
  if (!top || !list) return 1;
  listProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(probeListProc)));
  ShowWindow(top, SW_SHOW);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

} // namespace vokuta::drive
