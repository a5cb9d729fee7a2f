// vokuta-bench-probe: times a Windows program from outside, for bench/wine_bench.sh.
//
//   vokuta-bench-probe start CONTROL EXE [ARGUMENT]
//       prints the milliseconds from starting EXE until a visible top-level window of it holds
//       the control CONTROL (a number), and the processor time EXE used until then; then ends
//       the program
//   vokuta-bench-probe install EXE SETUP_INF
//       starts the installer on the package, waits for its main window, clicks Next, says yes
//       to the connect prompt and prints the milliseconds from that yes until the closing
//       message and the processor time the installer used in them; exit code 1 unless that
//       message is the success one and the installer then ends by itself with 0.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "win32/control_ids.h"

namespace {
using Clock = std::chrono::steady_clock;

struct Search {
  DWORD process;
  int control;
  HWND found = nullptr;
};

// A visible window of the process, not a box, that holds the control.
BOOL CALLBACK matchWindow(HWND h, LPARAM data) {
  auto& s = *reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(h, &owner);
  if (owner != s.process || !IsWindowVisible(h)) return TRUE;
  wchar_t cls[16] = {};
  GetClassNameW(h, cls, 16);
  if (std::wstring(cls) != L"#32770" && GetDlgItem(h, s.control) != nullptr) {
    s.found = h;
    return FALSE;
  }
  return TRUE;
}

// A visible message box of the process. Only the boxes' class is looked at: under Wine every
// question about another process's window is a call to its server, which the measured program
// needs too, and a poll over all windows each millisecond took a fifth of a core from it.
HWND findBox(DWORD process, HWND notThis) {
  for (HWND h = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); h;
       h = FindWindowExW(nullptr, h, L"#32770", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == process && h != notThis && IsWindowVisible(h)) return h;
  }
  return nullptr;
}

// Polls every millisecond; gives up after 10 minutes or when the program has ended.
HWND waitFor(const PROCESS_INFORMATION& pi, int control, HWND notThis = nullptr) {
  const auto until = Clock::now() + std::chrono::minutes(10);
  while (Clock::now() < until) {
    if (!control) {
      if (const HWND box = findBox(pi.dwProcessId, notThis)) return box;
    } else {
      Search s{pi.dwProcessId, control};
      EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&s));
      if (s.found) return s.found;
    }
    if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) return nullptr;
  }
  return nullptr;
}

// User and kernel time of the process so far.
double cpuMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::wstring title(HWND h) {
  wchar_t text[256] = {};
  GetWindowTextW(h, text, 256);
  return text;
}

int fail(const PROCESS_INFORMATION& pi, const char* why) {
  std::fprintf(stderr, "vokuta-bench-probe: %s\n", why);
  TerminateProcess(pi.hProcess, 99);
  return 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  const bool start = mode == L"start" && (argc == 4 || argc == 5);
  if (!start && !(mode == L"install" && argc == 4)) {
    std::fprintf(stderr, "usage: vokuta-bench-probe start CONTROL EXE [ARGUMENT] | install EXE "
                         "SETUP_INF\n");
    return 2;
  }
  const int control = start ? _wtoi(argv[2]) : vokuta::win32::ids::frm1main::kList1;
  const int exeAt = start ? 3 : 2;
  std::wstring commandLine = L"\"" + std::wstring(argv[exeAt]) + L"\"";
  if (argc > exeAt + 1) commandLine += L" " + std::wstring(argv[exeAt + 1]);

  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const auto begin = Clock::now();
  if (!CreateProcessW(argv[exeAt], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi)) {
    std::fprintf(stderr, "vokuta-bench-probe: cannot start the program\n");
    return 1;
  }
  const HWND main = waitFor(pi, control);
  const double startup = msSince(begin);
  const double startupCpu = cpuMs(pi.hProcess);
  if (!main) return fail(pi, "no window");
  if (start) {
    std::printf("%.1f %.1f\n", startup, startupCpu);
    TerminateProcess(pi.hProcess, 0);
    return 0;
  }

  const HWND next = GetDlgItem(main, vokuta::win32::ids::frm1main::kCmd次へ);
  PostMessageW(next, BM_CLICK, 0, 0);
  const HWND connect = waitFor(pi, 0);
  if (!connect || title(connect).find(L"接続") == std::wstring::npos)
    return fail(pi, "no connect prompt");
  // A user reads the prompt before answering it: the installer has painted its windows and
  // waits for input by then. Answered sooner, the time would include that painting.
  WaitForInputIdle(pi.hProcess, 5000);
  const auto go = Clock::now();
  const double goCpu = cpuMs(pi.hProcess);
  PostMessageW(connect, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(connect, IDYES)));
  const HWND closing = waitFor(pi, 0, connect);
  const double install = msSince(go);
  const double installCpu = cpuMs(pi.hProcess) - goCpu;
  if (!closing || title(closing).find(L"正常終了") == std::wstring::npos)
    return fail(pi, "the install did not end with the success message");
  PostMessageW(closing, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(closing, IDOK)));
  DWORD code = 1;
  if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(pi.hProcess, &code) || code != 0)
    return fail(pi, "the installer did not end with 0");
  std::printf("%.1f %.1f\n", install, installCpu);
  return 0;
}
