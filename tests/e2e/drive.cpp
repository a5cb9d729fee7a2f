// vokuta-drive: works the installer's windows from outside, as a user would, and checks what
// they show. It runs under Wine beside the installer; tests/e2e/run_e2e.sh runs its scenarios.
//
//   vokuta-drive [--exe PATH] [--shots DIR] [--timeout MS] (-f SCRIPT | COMMAND...)
//   vokuta-drive --probe
//
// Each COMMAND argument, or each line of SCRIPT (UTF-8), is one command; in a script, a command
// ending in "<<" takes the lines up to ">>" as its last arguments (see script.h). Checks wait up
// to the timeout (10 s unless changed) for their condition and otherwise fail with what they
// saw; the first failure ends the run with exit code 1, after ending every program the run
// started.
//
//   start LABEL [CMDLINE]          starts the installer (--exe); it becomes the current program
//   start-probe LABEL              starts this driver's key probe (see probe.cpp)
//   use LABEL                      makes an earlier started program current again
//   cwd DIR                        working directory of the programs started after it
//   window NAME CONTROL [TITLE]    names the visible top-level window of the current program
//                                  that holds CONTROL (and has the caption TITLE)
//   find NAME CONTROL              the same for a window that may be hidden
//   visible NAME | hidden NAME     the window's state
//   title NAME TEXT                its caption
//   text NAME CONTROL TEXT         a control's text
//   shown-text NAME CONTROL TEXT   the same, read without a message, so also while the program
//                                  is busy in a link call
//   bar NAME CONTROL N             a progress bar's position
//   fits NAME WIDTH HEIGHT         the window's client area has that size in pixels and every
//                                  control lies inside it
//   items NAME CONTROL [ITEM...]   a list box's items, all of them, in order
//   selected NAME CONTROL [ITEM]   the list's selected items (none, or the one given)
//   checked NAME CONTROL 0|1       a radio button's or check box's state
//   enabled NAME [CONTROL] 0|1     a control's state, or without CONTROL the window's
//   select NAME CONTROL ITEM       selects a list item
//   dblclick NAME CONTROL ITEM     selects a list item and double-clicks it
//   key NAME CONTROL KEY [shift] [ctrl] [alt]   types a key into the control (see keyCode)
//   focused NAME CONTROL           the control has the keyboard focus
//   settext NAME CONTROL TEXT      replaces an edit box's text
//   click NAME CONTROL             clicks an enabled, visible button
//   close NAME                     the window's close box
//   box TITLE TEXT [ANSWER]        waits for a message box and checks its text exactly; with
//                                  ANSWER, presses ok, cancel, retry, yes or no
//   answer ANSWER                  presses a button of the box checked last
//   quiet MS                       no new window of the current program appears for MS
//   exit CODE                      the current program ends with CODE
//   for MS CHECK...                CHECK must hold all through MS instead of becoming true
//   shot FILE                      a screenshot of the current program's visible windows
//   timeout MS                     the waiting time of the commands after it
//   reg-sz KEY NAME TEXT | reg-dword KEY NAME NUMBER | reg-delete KEY    (KEY: HKCU\...)
//   make-file PATH | delete-file PATH
//   make-dir PATH                  makes the folder and the missing ones above it
//   write-file PATH [LINE...]      writes the lines, each ended by CR LF, in UTF-8 (the simulated
//                                  device's settings); write-cp932 the same in code page 932
//                                  (a Setup.inf)
//   write-ravuz PATH COUNT         an association file of COUNT made-up records, slots 4 on
//                                  taken by ".X04", ".X05", ... (see device_files.h)
//   files DIR [ENTRY...]           every folder (ENTRY ending in \) and file below DIR, depth
//                                  first, each folder's names in ordinal order, as on disk
//   same PATH OTHER                two files hold the same bytes
//   size PATH BYTES | missing PATH  a file's length | no file or folder has that name
//   record PATH SLOT SUFFIX ATTR ID FONT MMP FILE APP
//                                  record SLOT of an association file (numbers in hexadecimal,
//                                  texts without trailing zero bytes; "\0" is a zero inside)
//   changed-records PATH OTHER [SLOT...]
//                                  two association files of one length differ in exactly the
//                                  records of the slots named
//   lines PATH [LINE...]           a UTF-8 file's lines, all of them (the link library's log)
//   log PATH [LINE...]             the lines of the installer's run log, all of them, without
//                                  the time each starts with; "*" in a LINE matches any text
//   keep PATH | unchanged PATH     remembers a file's bytes and last-write time | both are still
//                                  what `keep` saw
//   count NAME CONTROL N           a list box holds N items
//   item NAME CONTROL INDEX TEXT   a list box's item INDEX (from 0)
//
// Paths of delete-file and log may name environment variables (%TEMP%).
// CONTROL is a name from src/win32/control_ids.h (see control_names.cpp) or a number.
#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "control_names.h"
#include "device_files.h"
#include "probe.h"
#include "script.h"
#include "win32/win.h"

#include <commctrl.h>

namespace vokuta::drive {
namespace {

using Words = std::vector<std::wstring>;
/// What a check saw when it does not hold; std::nullopt when it holds.
using Problem = std::optional<std::wstring>;

struct Failure {
  std::wstring message;
};
[[noreturn]] void fail(const std::wstring& message) { throw Failure{message}; }
[[noreturn]] void failWith(const std::wstring& what, DWORD error) {
  fail(L"cannot " + what + L": error " + std::to_wstring(error));
}

// A console gets UTF-16 through the console API; a pipe or file gets UTF-8 bytes, which is what
// the scripts reading the driver's output expect whatever Wine's code page.
void emit(DWORD which, const std::wstring& text) {
  HANDLE h = GetStdHandle(which);
  DWORD written = 0;
  DWORD mode = 0;
  if (GetConsoleMode(h, &mode)) {
    WriteConsoleW(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const Bytes bytes = Encode(text, CP_UTF8).value_or(Bytes{});
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  FlushFileBuffers(h);
}
void say(const std::wstring& line) { emit(STD_OUTPUT_HANDLE, line + L"\n"); }
void complain(const std::wstring& line) { emit(STD_ERROR_HANDLE, line + L"\n"); }

std::wstring hex(std::uintptr_t value) {
  wchar_t buf[32];
  std::swprintf(buf, 32, L"%llx", static_cast<unsigned long long>(value));
  return buf;
}

int number(const std::wstring& text, const wchar_t* what) {
  if (const auto value = ParseNumber(text)) return static_cast<int>(*value);
  fail(std::wstring(what) + L" must be a number, not " + Quote(text));
}

std::wstring className(HWND h) {
  wchar_t buf[256] = {};
  GetClassNameW(h, buf, 256);
  return buf;
}

// The caption of a top-level window is kept by the system, so this needs no message to the
// program (which may be busy in a modal box).
std::wstring caption(HWND h) {
  std::wstring buf(static_cast<std::size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
  buf.resize(static_cast<std::size_t>(GetWindowTextW(h, buf.data(), static_cast<int>(buf.size()))));
  return buf;
}

// How long a window may take to answer a sent message; a longer --timeout raises it, since a
// program under emulation (the release build) can be slow to answer on a busy machine.
DWORD answerLimitMs = 10000;

LRESULT send(HWND h, UINT message, WPARAM w, LPARAM l) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(h, message, w, l, SMTO_ABORTIFHUNG, answerLimitMs, &result))
    fail(L"window " + hex(reinterpret_cast<std::uintptr_t>(h)) + L" (" + className(h) +
         L") did not answer message " + hex(message) + L" within " +
         std::to_wstring(answerLimitMs) + L" ms");
  return static_cast<LRESULT>(result);
}

void post(HWND h, UINT message, WPARAM w, LPARAM l) {
  if (!PostMessageW(h, message, w, l)) failWith(L"post message " + hex(message), GetLastError());
}

std::wstring controlText(HWND h) {
  const auto length = static_cast<std::size_t>(send(h, WM_GETTEXTLENGTH, 0, 0));
  std::wstring buf(length + 1, L'\0');
  const auto got = static_cast<std::size_t>(
      send(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data())));
  buf.resize(std::min(got, length));
  return buf;
}

// A window's text as Windows keeps it, without sending the window a message.
std::wstring storedText(HWND h) {
  wchar_t buf[512] = {};
  InternalGetWindowText(h, buf, 512);
  return buf;
}

std::wstring expandVariables(const std::wstring& text) {
  wchar_t buf[1024];
  const DWORD n = ExpandEnvironmentStringsW(text.c_str(), buf, 1024);
  return n > 0 && n <= 1024 ? std::wstring(buf) : text;
}

// `*` matches any text, every other character itself.
bool matches(const wchar_t* pattern, const wchar_t* text) {
  if (*pattern == L'*') return matches(pattern + 1, text) || (*text && matches(pattern, text + 1));
  if (*pattern == 0) return *text == 0;
  return *pattern == *text && matches(pattern + 1, text + 1);
}

Words listItems(HWND list) {
  const LRESULT count = send(list, LB_GETCOUNT, 0, 0);
  if (count == LB_ERR) fail(L"the control is not a list box");
  Words items;
  for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
    const LRESULT length = send(list, LB_GETTEXTLEN, i, 0);
    std::wstring buf(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    const LRESULT got = send(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf.data()));
    buf.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
    items.push_back(buf);
  }
  return items;
}

std::wstring joinItems(const Words& items) {
  if (items.empty()) return L"(none)";
  std::wstring out;
  for (const auto& item : items) out += (out.empty() ? L"" : L" ") + Quote(item);
  return out;
}

Problem mismatch(const std::wstring& seen, const std::wstring& wanted) {
  if (seen == wanted) return std::nullopt;
  return L"wanted " + Quote(wanted) + L", found " + Quote(seen);
}
Problem mismatch(const Words& seen, const Words& wanted) {
  if (seen == wanted) return std::nullopt;
  return L"wanted " + joinItems(wanted) + L", found " + joinItems(seen);
}

// Long lists of lines (files, a log): where they part, then all that was found.
bool sameLine(const std::wstring& wanted, const std::wstring& seen) { return wanted == seen; }

Problem lineMismatch(const Words& seen, const Words& wanted,
                     bool (*same)(const std::wstring&, const std::wstring&) = sameLine) {
  std::size_t i = 0;
  while (i < wanted.size() && i < seen.size() && same(wanted[i], seen[i])) ++i;
  if (i == wanted.size() && i == seen.size()) return std::nullopt;
  std::wstring all;
  for (const auto& line : seen) all += L"\n    " + Quote(line);
  return L"line " + std::to_wstring(i + 1) + L" differs: wanted " +
         (i < wanted.size() ? Quote(wanted[i]) : L"no more lines") + L", found " +
         (i < seen.size() ? Quote(seen[i]) : L"no more lines") + L"; all found:" +
         (all.empty() ? L" (none)" : all);
}

struct WindowSearch {
  DWORD pid = 0; ///< top-level windows of this process
  int id = 0;    ///< the child with this control id
  std::vector<HWND> found;
};

// CALLBACK, not a lambda: the 32-bit build needs the stdcall convention.
BOOL CALLBACK collectTopWindow(HWND h, LPARAM param) {
  auto& s = *reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(h, &owner);
  if (owner == s.pid) s.found.push_back(h);
  return TRUE;
}

BOOL CALLBACK findChild(HWND h, LPARAM param) {
  auto& s = *reinterpret_cast<WindowSearch*>(param);
  if (GetDlgCtrlID(h) != s.id) return TRUE;
  s.found.push_back(h);
  return FALSE;
}

std::vector<HWND> topWindows(DWORD pid) {
  WindowSearch search;
  search.pid = pid;
  EnumWindows(collectTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Controls may sit inside a frame window, so the whole tree below the window is searched.
HWND findControl(HWND top, int id) {
  WindowSearch search;
  search.id = id;
  EnumChildWindows(top, findChild, reinterpret_cast<LPARAM>(&search));
  return search.found.empty() ? nullptr : search.found.front();
}

bool isMessageBox(HWND h) { return className(h) == L"#32770" && GetDlgItem(h, 0xFFFF); }

std::wstring boxText(HWND box) {
  wchar_t text[2048] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 2048);
  return text;
}

std::wstring describeWindow(HWND h) {
  return std::wstring(IsWindowVisible(h) ? L"visible " : L"hidden  ") + L"class " +
         Quote(className(h)) + L" caption " + Quote(caption(h)) +
         (isMessageBox(h) ? L" text " + Quote(boxText(h)) : L"");
}

int controlId(const std::wstring& name) {
  const auto id = ControlId(name);
  if (!id) fail(L"unknown control " + Quote(name));
  return *id;
}

// Whatever the encoding, and whatever the line ends; std::nullopt when it is no UTF-8 text.
std::optional<Words> readLines(const std::wstring& path) {
  auto bytes = ReadBytes(path);
  if (!bytes) return std::nullopt;
  if (bytes->size() >= 3 && (*bytes)[0] == 0xEF && (*bytes)[1] == 0xBB && (*bytes)[2] == 0xBF)
    bytes->erase(bytes->begin(), bytes->begin() + 3);
  const auto size = static_cast<int>(bytes->size());
  const auto data = reinterpret_cast<const char*>(bytes->data());
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, data, size, nullptr, 0);
  if (n <= 0 && size > 0) return std::nullopt;
  std::wstring text(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, data, size, text.data(), n);
  Words lines;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find(L'\n', start), text.size());
    std::wstring line = text.substr(start, end - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::optional<FILETIME> lastWritten(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return data.ftLastWriteTime;
}

void writeBytes(const std::wstring& path, const std::optional<Bytes>& bytes) {
  if (!bytes) fail(L"a character of the text has no code in the file's code page");
  if (!WriteBytes(path, *bytes)) failWith(L"write " + Quote(path), GetLastError());
}

// Both files' bytes, or the failure of the one that cannot be read.
std::pair<Bytes, Bytes> readBoth(const std::wstring& a, const std::wstring& b, Problem& problem) {
  auto x = ReadBytes(a), y = ReadBytes(b);
  if (!x || !y) problem = Quote(!x ? a : b) + L" cannot be read";
  return {x.value_or(Bytes{}), y.value_or(Bytes{})};
}

std::wstring registryPath(const std::wstring& key) {
  if (key.rfind(L"HKCU\\", 0) != 0) fail(L"registry keys start with HKCU\\: " + Quote(key));
  return key.substr(5);
}

void setValue(const Words& w, DWORD type, const void* data, DWORD size) {
  HKEY h = nullptr;
  LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, registryPath(w[1]).c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &h, nullptr);
  if (rc != ERROR_SUCCESS) failWith(L"open " + Quote(w[1]), static_cast<DWORD>(rc));
  rc = RegSetValueExW(h, w[2].c_str(), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(h);
  if (rc != ERROR_SUCCESS) failWith(L"set " + Quote(w[1] + L"\\" + w[2]), static_cast<DWORD>(rc));
}

WORD keyCode(const std::wstring& name) {
  static const std::map<std::wstring, WORD> kKeys = {
      {L"delete", VK_DELETE}, {L"escape", VK_ESCAPE}, {L"return", VK_RETURN}, {L"space", VK_SPACE},
      {L"tab", VK_TAB},       {L"up", VK_UP},         {L"down", VK_DOWN},     {L"left", VK_LEFT},
      {L"right", VK_RIGHT},   {L"shift", VK_SHIFT},   {L"ctrl", VK_CONTROL},  {L"alt", VK_MENU}};
  if (const auto it = kKeys.find(name); it != kKeys.end()) return it->second;
  if (name.size() == 1 && name[0] >= L'a' && name[0] <= L'z')
    return static_cast<WORD>(name[0] - L'a' + L'A');
  fail(L"unknown key " + Quote(name) +
       L" (a letter, delete, escape, return, space, tab, up, down, left, right, shift, ctrl, alt)");
}

struct Program {
  std::wstring label;
  HANDLE process = nullptr;
  DWORD pid = 0;
};

struct Options {
  std::wstring exe;
  std::wstring shots;
  DWORD timeoutMs = 10000;
};

// The state a script works on; the commands themselves are in kCommands below.
struct Driver {
  explicit Driver(Options o) : options(std::move(o)) {}
  Driver(const Driver&) = delete;
  Driver& operator=(const Driver&) = delete;
  ~Driver() {
    for (Program& p : programs) CloseHandle(p.process);
  }

  /// Runs one command; `held` when it follows `for`, which takes checks only.
  void run(const Words& w, bool held = false);
  /// Ends every started program that still runs; returns their labels.
  Words endPrograms();
  /// What the current program shows, for a failure report.
  void report();

  Program& current() {
    if (!currentProgram) fail(L"no program has been started");
    return *currentProgram;
  }
  std::optional<DWORD> exitCode() {
    DWORD code = 0;
    if (!currentProgram || !GetExitCodeProcess(currentProgram->process, &code) ||
        code == STILL_ACTIVE)
      return std::nullopt;
    return code;
  }

  /// Waits until `check` holds (or, after `for`, that it holds all the time), else fails.
  template <class Check> void expect(const std::wstring& what, const Check& check) {
    const DWORD begin = GetTickCount();
    while (true) {
      const Problem bad = check();
      const DWORD spent = GetTickCount() - begin;
      if (holdMs && bad)
        fail(what + L" stopped holding after " + std::to_wstring(spent) + L" ms: " + *bad);
      if (holdMs ? spent >= *holdMs : !bad) return;
      if (!holdMs && spent >= options.timeoutMs) {
        std::wstring message = what + L" did not happen within " +
                               std::to_wstring(options.timeoutMs) + L" ms: " + *bad;
        if (const auto code = exitCode())
          message += L"\n(the program has ended with exit code " + std::to_wstring(*code) + L")";
        fail(message);
      }
      Sleep(20);
    }
  }

  HWND window(const std::wstring& name) {
    const auto it = windows.find(name);
    if (it == windows.end()) fail(L"no window is named " + Quote(name));
    if (!IsWindow(it->second)) fail(L"window " + Quote(name) + L" no longer exists");
    return it->second;
  }

  HWND control(const std::wstring& name, const std::wstring& id) {
    HWND h = findControl(window(name), controlId(id));
    if (!h) fail(L"window " + Quote(name) + L" has no control " + id);
    return h;
  }

  HWND waitForWindow(const std::wstring& idText, const std::optional<std::wstring>& title,
                     bool mustBeVisible) {
    const int id = controlId(idText);
    const DWORD pid = current().pid;
    HWND found = nullptr;
    expect(L"a window holding " + idText + (title ? L" titled " + Quote(*title) : L""),
           [&]() -> Problem {
             std::wstring seen = L"none seen";
             for (HWND h : topWindows(pid)) {
               if ((mustBeVisible && !IsWindowVisible(h)) || !findControl(h, id)) continue;
               if (title && caption(h) != *title) {
                 seen = L"one is titled " + Quote(caption(h));
                 continue;
               }
               found = h;
               return std::nullopt;
             }
             return seen;
           });
    return found;
  }

  HWND waitForBox(const std::wstring& title) {
    const DWORD pid = current().pid;
    HWND found = nullptr;
    expect(L"a message box titled " + Quote(title), [&]() -> Problem {
      for (HWND h : topWindows(pid)) {
        if (!IsWindowVisible(h) || !isMessageBox(h)) continue;
        // A different box will not go away by itself: waiting on would only hide what happened.
        if (caption(h) != title)
          fail(L"expected a box titled " + Quote(title) + L", found " + describeWindow(h));
        found = h;
        return std::nullopt;
      }
      return L"none seen";
    });
    return found;
  }

  void start(const std::wstring& label, const std::wstring& exe, const std::wstring& args) {
    for (const Program& p : programs)
      if (p.label == label) fail(L"a program is already labelled " + Quote(label));
    std::wstring commandLine = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        cwd.empty() ? nullptr : cwd.c_str(), &si, &pi))
      failWith(L"start " + Quote(exe), GetLastError());
    CloseHandle(pi.hThread);
    programs.push_back({label, pi.hProcess, pi.dwProcessId});
    currentProgram = &programs.back();
  }

  // The program reads Shift, Ctrl and Alt with GetKeyState, which answers from the key state of
  // its own input queue as it was when the key message was taken from it. Posted key messages
  // leave that state alone, so the keys go in as real input: this thread shares the program's
  // input queue for the moment, gives the control the focus and sends the keys.
  void typeKey(HWND target, WORD key, const std::vector<WORD>& modifiers) {
    const DWORD thread = GetWindowThreadProcessId(target, nullptr);
    const DWORD self = GetCurrentThreadId();
    if (!AttachThreadInput(self, thread, TRUE))
      failWith(L"share the program's input", GetLastError());
    struct Detach {
      DWORD self, thread;
      ~Detach() { AttachThreadInput(self, thread, FALSE); }
    } detach{self, thread};

    // A window that has only just appeared may still be in the middle of its activation.
    expect(L"the control taking the keyboard focus", [&]() -> Problem {
      SetForegroundWindow(GetAncestor(target, GA_ROOT));
      SetFocus(target);
      if (GetFocus() == target) return std::nullopt;
      return L"the focus stays elsewhere";
    });

    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, bool up) {
      INPUT in{};
      in.type = INPUT_KEYBOARD;
      in.ki.wVk = vk;
      in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
      in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
      if (vk == VK_DELETE || (vk >= VK_LEFT && vk <= VK_DOWN))
        in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
      inputs.push_back(in);
    };
    for (WORD m : modifiers) add(m, false);
    add(key, false);
    add(key, true);
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) add(*m, true);
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
      failWith(L"send the keys", GetLastError());

    // A thread takes its messages in a fixed order: sent, posted, input, then painting. Once a
    // window invalidated now has been painted, its thread has taken every key queued before.
    RedrawWindow(target, nullptr, nullptr, RDW_INVALIDATE);
    expect(L"the program taking the input", [&]() -> Problem {
      if (!GetUpdateRect(target, nullptr, FALSE)) return std::nullopt;
      return L"the control has not been painted again";
    });
  }

  void screenshot(const std::wstring& file) {
    if (options.shots.empty()) fail(L"'shot' needs --shots DIR");
    const std::wstring path = options.shots + L"\\" + file;
    DeleteFileW(path.c_str());
    RECT all{};
    bool any = false;
    for (HWND h : topWindows(current().pid)) {
      if (!IsWindowVisible(h)) continue;
      // A program busy in a link call would answer the redraw only afterwards: it is taken as it
      // painted itself before the call.
      if (SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, nullptr))
        RedrawWindow(h, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      RECT r{};
      GetWindowRect(h, &r);
      if (any)
        UnionRect(&all, &all, &r);
      else
        all = r;
      any = true;
    }
    if (!any) fail(L"the program shows no window to take a picture of");
    // Let the X server catch up with the painting before the picture is taken.
    Sleep(150);
    const int margin = 8;
    const LONG left = std::max<LONG>(all.left - margin, 0);
    const LONG top = std::max<LONG>(all.top - margin, 0);
    say(L"@@shot " + file + L" " + std::to_wstring(left) + L" " + std::to_wstring(top) + L" " +
        std::to_wstring(all.right + margin - left) + L" " +
        std::to_wstring(all.bottom + margin - top));
    expect(L"the screenshot " + Quote(path), [&]() -> Problem {
      if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return std::nullopt;
      return L"no file yet";
    });
  }

  void selectItem(HWND list, const std::wstring& item) {
    const auto items = listItems(list);
    const auto it = std::find(items.begin(), items.end(), item);
    if (it == items.end())
      fail(L"the list has no item " + Quote(item) + L"; it has " + joinItems(items));
    const auto index = static_cast<WPARAM>(it - items.begin());
    if (GetWindowLongPtrW(list, GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
      send(list, LB_SETSEL, FALSE, -1);
      send(list, LB_SETSEL, TRUE, static_cast<LPARAM>(index));
    } else if (send(list, LB_SETCURSEL, index, 0) == LB_ERR) {
      fail(L"cannot select item " + Quote(item));
    }
  }

  void press(const std::wstring& answerName) {
    static const std::map<std::wstring, int> kAnswers = {
        {L"ok", IDOK}, {L"cancel", IDCANCEL}, {L"retry", IDRETRY}, {L"yes", IDYES}, {L"no", IDNO}};
    const auto answer = kAnswers.find(answerName);
    if (answer == kAnswers.end()) fail(L"unknown answer " + Quote(answerName));
    HWND open = std::exchange(box, nullptr);
    if (!open || !IsWindow(open)) fail(L"no message box is open to answer");
    HWND button = GetDlgItem(open, answer->second);
    if (!button || !IsWindowVisible(button)) fail(L"the box has no " + answerName + L" button");
    post(open, WM_COMMAND, MAKEWPARAM(answer->second, BN_CLICKED),
         reinterpret_cast<LPARAM>(button));
    // Gone before the next command looks, so that a second box is never taken for this one.
    expect(L"the box closing", [&]() -> Problem {
      if (!IsWindow(open) || !IsWindowVisible(open)) return std::nullopt;
      return L"it is still open";
    });
  }

  struct Kept {
    Bytes bytes;
    FILETIME written;
  };

  Options options;
  std::wstring cwd;
  std::map<std::wstring, Kept> kept; ///< by path, as `keep` was given it
  std::deque<Program> programs;      ///< a deque: currentProgram stays valid as programs are added
  Program* currentProgram = nullptr;
  std::map<std::wstring, HWND> windows;
  std::optional<DWORD> holdMs;
  HWND box = nullptr; ///< the message box checked last, until it is answered
};

// A window's or control's state as a number, for `checked` and `enabled`.
void expectState(Driver& d, const Words& w, bool whole, int (*state)(HWND)) {
  HWND h = whole ? d.window(w[1]) : d.control(w[1], w[2]);
  const auto wanted = std::to_wstring(number(w.back(), L"the state"));
  d.expect(w[whole ? 1 : 2] + L" " + w[0] + L" " + w.back(),
           [&] { return mismatch(std::to_wstring(state(h)), wanted); });
}

void expectVisible(Driver& d, const Words& w, bool wanted) {
  HWND h = d.window(w[1]);
  d.expect(L"window " + Quote(w[1]) + L" " + w[0], [&]() -> Problem {
    if (!IsWindow(h)) fail(L"window " + Quote(w[1]) + L" no longer exists");
    if ((IsWindowVisible(h) != FALSE) == wanted) return std::nullopt;
    return wanted ? L"it is hidden" : L"it is visible";
  });
}

void writeText(const Words& w, unsigned codepage) {
  std::wstring text;
  for (auto line = w.begin() + 2; line != w.end(); ++line) text += *line + L"\r\n";
  writeBytes(w[1], Encode(text, codepage));
}

constexpr std::size_t kMany = 1000;

struct CommandEntry {
  const wchar_t* name;
  std::size_t least, most; ///< how many arguments follow the name
  bool check;              ///< waits for a state, so `for` can take it
  void (*run)(Driver&, const Words&);
};

// Every command of the language (listed at the top of this file), in that order.
const CommandEntry kCommands[] = {
    {L"start", 1, 2, false,
     [](Driver& d, const Words& w) {
       if (d.options.exe.empty()) fail(L"'start' needs --exe PATH");
       d.start(w[1], d.options.exe, w.size() > 2 ? w[2] : L"");
     }},
    {L"start-probe", 1, 1, false,
     [](Driver& d, const Words& w) {
       wchar_t self[MAX_PATH] = {};
       GetModuleFileNameW(nullptr, self, MAX_PATH);
       d.start(w[1], self, L"--probe");
     }},
    {L"use", 1, 1, false,
     [](Driver& d, const Words& w) {
       const auto it = std::find_if(d.programs.begin(), d.programs.end(),
                                    [&](const Program& p) { return p.label == w[1]; });
       if (it == d.programs.end()) fail(L"no program is labelled " + Quote(w[1]));
       d.currentProgram = &*it;
     }},
    {L"cwd", 1, 1, false, [](Driver& d, const Words& w) { d.cwd = w[1]; }},
    {L"window", 2, 3, false,
     [](Driver& d, const Words& w) {
       const auto title = w.size() > 3 ? std::optional(w[3]) : std::nullopt;
       d.windows[w[1]] = d.waitForWindow(w[2], title, true);
     }},
    {L"find", 2, 2, false,
     [](Driver& d, const Words& w) { d.windows[w[1]] = d.waitForWindow(w[2], {}, false); }},
    {L"visible", 1, 1, true, [](Driver& d, const Words& w) { expectVisible(d, w, true); }},
    {L"hidden", 1, 1, true, [](Driver& d, const Words& w) { expectVisible(d, w, false); }},
    {L"title", 2, 2, true,
     [](Driver& d, const Words& w) {
       HWND h = d.window(w[1]);
       d.expect(L"the caption of " + Quote(w[1]), [&] { return mismatch(caption(h), w[2]); });
     }},
    {L"text", 3, 3, true,
     [](Driver& d, const Words& w) {
       HWND h = d.control(w[1], w[2]);
       d.expect(L"the text of " + w[2], [&] { return mismatch(controlText(h), w[3]); });
     }},
    {L"shown-text", 3, 3, true,
     [](Driver& d, const Words& w) {
       HWND h = d.control(w[1], w[2]);
       d.expect(L"the text of " + w[2], [&] { return mismatch(storedText(h), w[3]); });
     }},
    {L"bar", 3, 3, true,
     [](Driver& d, const Words& w) {
       HWND h = d.control(w[1], w[2]);
       const auto wanted = std::to_wstring(number(w[3], L"the position"));
       d.expect(L"the position of " + w[2],
                [&] { return mismatch(std::to_wstring(send(h, PBM_GETPOS, 0, 0)), wanted); });
     }},
    {L"fits", 3, 3, true,
     [](Driver& d, const Words& w) {
       HWND h = d.window(w[1]);
       const LONG width = number(w[2], L"the width");
       const LONG height = number(w[3], L"the height");
       d.expect(L"every control inside " + Quote(w[1]), [&]() -> Problem {
         RECT client;
         GetClientRect(h, &client);
         if (client.right != width || client.bottom != height)
           return L"its client area is " + std::to_wstring(client.right) + L" x " +
                  std::to_wstring(client.bottom);
         for (HWND child = GetWindow(h, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
           RECT r;
           GetWindowRect(child, &r);
           MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&r), 2);
           if (r.left < 0 || r.top < 0 || r.right > width || r.bottom > height)
             return L"control " + std::to_wstring(GetDlgCtrlID(child)) + L" lies at " +
                    std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L" - " +
                    std::to_wstring(r.right) + L"," + std::to_wstring(r.bottom);
         }
         return std::nullopt;
       });
     }},
    {L"items", 2, kMany, true,
     [](Driver& d, const Words& w) {
       HWND h = d.control(w[1], w[2]);
       const Words wanted(w.begin() + 3, w.end());
       d.expect(L"the items of " + w[2], [&] { return mismatch(listItems(h), wanted); });
     }},
    {L"selected", 2, 3, true,
     [](Driver& d, const Words& w) {
       HWND h = d.control(w[1], w[2]);
       const Words wanted(w.begin() + 3, w.end());
       d.expect(L"the selection of " + w[2], [&] {
         const auto items = listItems(h);
         Words chosen;
         for (std::size_t i = 0; i < items.size(); ++i)
           if (send(h, LB_GETSEL, i, 0) > 0) chosen.push_back(items[i]);
         return mismatch(chosen, wanted);
       });
     }},
    {L"checked", 3, 3, true,
     [](Driver& d, const Words& w) {
       expectState(d, w, false,
                   [](HWND h) { return send(h, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0; });
     }},
    // "enabled NAME 0|1" is about the window itself: disabled while a modal one is open.
    {L"enabled", 2, 3, true,
     [](Driver& d, const Words& w) {
       expectState(d, w, w.size() == 3, [](HWND h) { return IsWindowEnabled(h) ? 1 : 0; });
     }},
    {L"select", 3, 3, false,
     [](Driver& d, const Words& w) { d.selectItem(d.control(w[1], w[2]), w[3]); }},
    {L"dblclick", 3, 3, false,
     [](Driver& d, const Words& w) {
       HWND list = d.control(w[1], w[2]);
       d.selectItem(list, w[3]);
       // The mouse message goes to the list itself, which tells its parent as it does for a user.
       const auto index = send(list, LB_GETCURSEL, 0, 0);
       const auto row = std::max<LRESULT>(index, 0) - send(list, LB_GETTOPINDEX, 0, 0);
       const auto height = send(list, LB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0);
       const auto y = static_cast<int>(row * height + height / 2);
       post(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, y));
       post(list, WM_LBUTTONUP, 0, MAKELPARAM(4, y));
     }},
    {L"key", 3, 6, false,
     [](Driver& d, const Words& w) {
       std::vector<WORD> modifiers;
       for (std::size_t i = 4; i < w.size(); ++i) modifiers.push_back(keyCode(w[i]));
       d.typeKey(d.control(w[1], w[2]), keyCode(w[3]), modifiers);
     }},
    {L"focused", 2, 2, false,
     [](Driver& d, const Words& w) {
       HWND h = d.control(w[1], w[2]);
       d.expect(L"the focus in " + w[2], [&]() -> Problem {
         // GetFocus answers for the input queue this thread is attached to.
         const DWORD thread = GetWindowThreadProcessId(h, nullptr);
         AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
         HWND focus = GetFocus();
         AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
         if (focus == h) return std::nullopt;
         if (!focus) return L"no control of the program has it";
         return L"the focus is on control " + std::to_wstring(GetDlgCtrlID(focus)) + L" (" +
                className(focus) + L")";
       });
     }},
    {L"settext", 3, 3, false,
     [](Driver& d, const Words& w) {
       if (!send(d.control(w[1], w[2]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w[3].c_str())))
         fail(L"the control refused the text");
     }},
    {L"click", 2, 2, false,
     [](Driver& d, const Words& w) {
       HWND h = d.control(w[1], w[2]);
       if (!IsWindowVisible(h) || !IsWindowEnabled(h))
         fail(w[2] + L" cannot be clicked: it is " +
              (IsWindowVisible(h) ? L"disabled" : L"hidden"));
       // A user's click cannot reach a window that a modal one has disabled; a message could.
       if (!IsWindowEnabled(d.window(w[1])))
         fail(w[2] + L" cannot be clicked: window " + Quote(w[1]) + L" is disabled");
       // Posted: the click may open a modal box, which this driver itself has to answer.
       post(h, BM_CLICK, 0, 0);
     }},
    {L"close", 1, 1, false,
     [](Driver& d, const Words& w) { post(d.window(w[1]), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    {L"box", 2, 3, false,
     [](Driver& d, const Words& w) {
       HWND box = d.waitForBox(w[1]);
       if (auto bad = mismatch(boxText(box), w[2])) fail(L"the box's text: " + *bad);
       d.box = box;
       if (w.size() > 3) d.press(w[3]);
     }},
    {L"answer", 1, 1, false, [](Driver& d, const Words& w) { d.press(w[1]); }},
    {L"quiet", 1, 1, false,
     [](Driver& d, const Words& w) {
       const auto ms = static_cast<DWORD>(number(w[1], L"the time"));
       std::set<HWND> before;
       for (HWND h : topWindows(d.current().pid))
         if (IsWindowVisible(h)) before.insert(h);
       for (const DWORD begin = GetTickCount(); GetTickCount() - begin < ms;) {
         for (HWND h : topWindows(d.current().pid))
           if (IsWindowVisible(h) && !before.count(h))
             fail(L"a window appeared: " + describeWindow(h));
         if (WaitForSingleObject(d.current().process, 20) == WAIT_OBJECT_0) break;
       }
     }},
    {L"exit", 1, 1, false,
     [](Driver& d, const Words& w) {
       const auto wanted = static_cast<DWORD>(number(w[1], L"the exit code"));
       if (WaitForSingleObject(d.current().process, d.options.timeoutMs) != WAIT_OBJECT_0)
         fail(L"the program still runs after " + std::to_wstring(d.options.timeoutMs) + L" ms");
       const DWORD code = d.exitCode().value_or(STILL_ACTIVE);
       if (code != wanted)
         fail(L"the program ended with exit code " + std::to_wstring(code) + L", not " +
              std::to_wstring(wanted));
     }},
    {L"for", 2, kMany, false,
     [](Driver& d, const Words& w) {
       d.holdMs = static_cast<DWORD>(number(w[1], L"the time"));
       struct Reset {
         std::optional<DWORD>& hold;
         ~Reset() { hold.reset(); }
       } reset{d.holdMs};
       d.run({w.begin() + 2, w.end()}, true);
     }},
    {L"shot", 1, 1, false, [](Driver& d, const Words& w) { d.screenshot(w[1]); }},
    {L"timeout", 1, 1, false,
     [](Driver& d, const Words& w) {
       d.options.timeoutMs = static_cast<DWORD>(number(w[1], L"the timeout"));
     }},
    {L"reg-sz", 3, 3, false,
     [](Driver&, const Words& w) {
       setValue(w, REG_SZ, w[3].c_str(), static_cast<DWORD>((w[3].size() + 1) * sizeof(wchar_t)));
     }},
    {L"reg-dword", 3, 3, false,
     [](Driver&, const Words& w) {
       const auto value = static_cast<DWORD>(number(w[3], L"the value"));
       setValue(w, REG_DWORD, &value, sizeof value);
     }},
    {L"reg-delete", 1, 1, false,
     [](Driver&, const Words& w) {
       const std::wstring key = registryPath(w[1]);
       const LONG rc = RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
       if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
         failWith(L"delete " + Quote(w[1]), static_cast<DWORD>(rc));
       RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
     }},
    {L"make-file", 1, 1, false, [](Driver&, const Words& w) { writeBytes(w[1], Bytes{}); }},
    {L"delete-file", 1, 1, false,
     [](Driver&, const Words& w) {
       const std::wstring path = expandVariables(w[1]);
       if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
         failWith(L"delete " + Quote(path), GetLastError());
     }},
    {L"make-dir", 1, 1, false,
     [](Driver&, const Words& w) {
       for (std::size_t at = w[1].find(L'\\', 3);; at = w[1].find(L'\\', at + 1)) {
         const std::wstring level = w[1].substr(0, at);
         if (!CreateDirectoryW(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
           failWith(L"make " + Quote(level), GetLastError());
         if (at == std::wstring::npos) break;
       }
     }},
    {L"write-file", 1, kMany, false, [](Driver&, const Words& w) { writeText(w, CP_UTF8); }},
    {L"write-cp932", 1, kMany, false, [](Driver&, const Words& w) { writeText(w, 932); }},
    {L"write-ravuz", 2, 2, false,
     [](Driver&, const Words& w) {
       const int count = number(w[2], L"the record count");
       if (count < 4 || count > static_cast<int>(kMaxRecords)) fail(L"the count must be 4 to 64");
       writeBytes(w[1], MadeUpRavuz(static_cast<std::size_t>(count)));
     }},
    {L"files", 1, kMany, false,
     [](Driver& d, const Words& w) {
       const Words wanted(w.begin() + 2, w.end());
       d.expect(L"the files below " + Quote(w[1]), [&]() -> Problem {
         const auto tree = Tree(w[1]);
         if (!tree) return L"it is no folder";
         return lineMismatch(*tree, wanted);
       });
     }},
    {L"same", 2, 2, false,
     [](Driver& d, const Words& w) {
       d.expect(Quote(w[1]) + L" holding the bytes of " + Quote(w[2]), [&]() -> Problem {
         Problem unreadable;
         const auto [a, b] = readBoth(w[1], w[2], unreadable);
         if (unreadable || a == b) return unreadable;
         return L"they differ (" + std::to_wstring(a.size()) + L" and " +
                std::to_wstring(b.size()) + L" bytes)";
       });
     }},
    {L"size", 2, 2, false,
     [](Driver& d, const Words& w) {
       const auto wanted = std::to_wstring(number(w[2], L"the size"));
       d.expect(L"the size of " + Quote(w[1]), [&]() -> Problem {
         const auto bytes = ReadBytes(w[1]);
         if (!bytes) return L"it cannot be read";
         return mismatch(std::to_wstring(bytes->size()), wanted);
       });
     }},
    {L"missing", 1, 1, false,
     [](Driver& d, const Words& w) {
       d.expect(Quote(w[1]) + L" missing", [&]() -> Problem {
         if (GetFileAttributesW(w[1].c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
         return L"it is there";
       });
     }},
    {L"record", 9, 9, false,
     [](Driver& d, const Words& w) {
       const auto slot = static_cast<std::size_t>(number(w[2], L"the slot"));
       d.expect(L"record " + w[2] + L" of " + Quote(w[1]), [&]() -> Problem {
         const auto bytes = ReadBytes(w[1]);
         if (!bytes) return L"the file cannot be read";
         const auto fields = RecordFields(*bytes, slot);
         if (!fields) return L"the file has " + std::to_wstring(bytes->size()) + L" bytes";
         std::wstring bad;
         for (std::size_t i = 0; i < fields->size(); ++i)
           if (const auto differs = mismatch((*fields)[i], w[3 + i]))
             bad +=
                 std::wstring(bad.empty() ? L"" : L"; ") + kRecordFieldNames[i] + L" " + *differs;
         if (bad.empty()) return std::nullopt;
         return bad;
       });
     }},
    {L"changed-records", 2, kMany, false,
     [](Driver& d, const Words& w) {
       std::set<std::size_t> wanted;
       for (std::size_t i = 3; i < w.size(); ++i)
         wanted.insert(static_cast<std::size_t>(number(w[i], L"a slot")));
       d.expect(L"the records that differ between " + Quote(w[1]) + L" and " + Quote(w[2]),
                [&]() -> Problem {
                  Problem unreadable;
                  const auto [a, b] = readBoth(w[1], w[2], unreadable);
                  if (unreadable) return unreadable;
                  if (a.size() != b.size())
                    return L"their lengths differ: " + std::to_wstring(a.size()) + L" and " +
                           std::to_wstring(b.size()) + L" bytes";
                  std::set<std::size_t> differ;
                  for (std::size_t i = 0; i < a.size(); ++i)
                    if (a[i] != b[i]) differ.insert(i / kRecordBytes);
                  if (differ == wanted) return std::nullopt;
                  std::wstring slots;
                  for (const std::size_t slot : differ) slots += L" " + std::to_wstring(slot);
                  return L"they differ in slot(s)" + (slots.empty() ? L" (none)" : slots);
                });
     }},
    {L"lines", 1, kMany, false,
     [](Driver& d, const Words& w) {
       const Words wanted(w.begin() + 2, w.end());
       d.expect(L"the lines of " + Quote(w[1]), [&]() -> Problem {
         auto found = readLines(w[1]);
         if (!found) return L"it cannot be read as UTF-8 text";
         if (!found->empty() && found->back().empty()) found->pop_back();
         return lineMismatch(*found, wanted);
       });
     }},
    {L"log", 1, kMany, false,
     [](Driver& d, const Words& w) {
       const std::wstring file = expandVariables(w[1]);
       const Words wanted(w.begin() + 2, w.end());
       d.expect(L"the run log " + Quote(file), [&]() -> Problem {
         auto found = readLines(file);
         if (!found) return L"it cannot be read as UTF-8 text";
         if (!found->empty() && found->back().empty()) found->pop_back();
         for (auto& line : *found)
           if (line.size() > 9 && line[2] == L':' && line[5] == L':') line.erase(0, 9);
         return lineMismatch(*found, wanted,
                             [](const std::wstring& want, const std::wstring& seen) {
                               return matches(want.c_str(), seen.c_str());
                             });
       });
     }},
    {L"keep", 1, 1, false,
     [](Driver& d, const Words& w) {
       const auto bytes = ReadBytes(w[1]);
       const auto written = lastWritten(w[1]);
       if (!bytes || !written) fail(Quote(w[1]) + L" cannot be read");
       d.kept[w[1]] = {*bytes, *written};
     }},
    {L"unchanged", 1, 1, false,
     [](Driver& d, const Words& w) {
       const auto it = d.kept.find(w[1]);
       if (it == d.kept.end()) fail(L"'keep' has not seen " + Quote(w[1]));
       d.expect(Quote(w[1]) + L" unchanged", [&]() -> Problem {
         const auto bytes = ReadBytes(w[1]);
         const auto written = lastWritten(w[1]);
         if (!bytes || !written) return L"it cannot be read";
         if (*bytes != it->second.bytes) return L"its bytes changed";
         if (CompareFileTime(&*written, &it->second.written) != 0) return L"it was written again";
         return std::nullopt;
       });
     }},
    {L"count", 3, 3, false,
     [](Driver& d, const Words& w) {
       HWND list = d.control(w[1], w[2]);
       const auto wanted = std::to_wstring(number(w[3], L"the count"));
       d.expect(L"the number of items of " + w[2],
                [&] { return mismatch(std::to_wstring(listItems(list).size()), wanted); });
     }},
    {L"item", 4, 4, false,
     [](Driver& d, const Words& w) {
       HWND list = d.control(w[1], w[2]);
       const auto index = static_cast<std::size_t>(number(w[3], L"the index"));
       d.expect(L"item " + w[3] + L" of " + w[2], [&]() -> Problem {
         const auto items = listItems(list);
         if (index >= items.size())
           return L"the list has " + std::to_wstring(items.size()) + L" items";
         return mismatch(items[index], w[4]);
       });
     }},
};

void Driver::run(const Words& w, bool held) {
  const auto command = std::find_if(std::begin(kCommands), std::end(kCommands),
                                    [&](const CommandEntry& s) { return w[0] == s.name; });
  if (command == std::end(kCommands)) fail(L"unknown command " + Quote(w[0]));
  if (held && !command->check) fail(L"'for' works only with a check, not " + w[0]);
  const std::size_t given = w.size() - 1;
  if (given < command->least || given > command->most)
    fail(L"'" + w[0] + L"' takes " + std::to_wstring(command->least) +
         (command->least == command->most ? L"" : L" to " + std::to_wstring(command->most)) +
         L" arguments");
  command->run(*this, w);
}

Words Driver::endPrograms() {
  Words running;
  for (Program& p : programs) {
    if (WaitForSingleObject(p.process, 0) == WAIT_OBJECT_0) continue;
    running.push_back(p.label);
    TerminateProcess(p.process, 99);
    WaitForSingleObject(p.process, 5000);
  }
  return running;
}

void Driver::report() {
  if (!currentProgram) return;
  complain(L"windows of " + Quote(currentProgram->label) + L":");
  for (HWND h : topWindows(currentProgram->pid)) complain(L"  " + describeWindow(h));
  if (const auto code = exitCode())
    complain(L"  (the program has ended with exit code " + std::to_wstring(*code) + L")");
}

int usage() {
  complain(L"usage: vokuta-drive [--exe PATH] [--shots DIR] [--timeout MS] "
           L"(-f SCRIPT | COMMAND...)\n       vokuta-drive --probe\n"
           L"The commands are listed at the top of tests/e2e/drive.cpp.");
  return 2;
}

int runDriver(int argc, wchar_t** argv) {
  Options options;
  std::vector<Command> commands;
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    if ((a == L"--exe" || a == L"--shots" || a == L"--timeout" || a == L"-f") && i + 1 == argc)
      return usage();
    std::wstring error;
    if (a == L"--exe") {
      options.exe = argv[++i];
    } else if (a == L"--shots") {
      options.shots = argv[++i];
    } else if (a == L"--timeout") {
      options.timeoutMs = static_cast<DWORD>(std::wcstoul(argv[++i], nullptr, 10));
      answerLimitMs = std::max(answerLimitMs, options.timeoutMs);
    } else if (a == L"-f") {
      const std::wstring path = argv[++i];
      const auto lines = readLines(path);
      const auto script = lines ? ParseScript(*lines, error) : std::nullopt;
      if (!script) {
        complain(L"vokuta-drive: " + path + L": " +
                 (lines ? error : L"cannot read it as UTF-8 text"));
        return 2;
      }
      commands.insert(commands.end(), script->begin(), script->end());
    } else if (a.rfind(L"--", 0) == 0) {
      return usage();
    } else {
      auto words = SplitWords(a, error);
      if (!words) {
        complain(L"vokuta-drive: argument " + std::to_wstring(i) + L": " + error);
        return 2;
      }
      if (!words->empty()) commands.push_back({i, a, std::move(*words)});
    }
  }
  if (commands.empty()) return usage();

  Driver driver(options);
  const DWORD begin = GetTickCount();
  for (const Command& c : commands) {
    wchar_t at[32];
    std::swprintf(at, 32, L"%6lu ms > ", static_cast<unsigned long>(GetTickCount() - begin));
    say(at + c.source);
    try {
      driver.run(c.word);
    } catch (const Failure& f) {
      complain(L"vokuta-drive: FAILED at line " + std::to_wstring(c.line) + L": " + c.source);
      complain(L"  " + f.message);
      driver.report();
      driver.endPrograms();
      return 1;
    }
  }
  const auto running = driver.endPrograms();
  if (!running.empty()) {
    complain(L"vokuta-drive: FAILED: still running at the end of the script:" +
             (L" " + joinItems(running)));
    return 1;
  }
  say(L"vokuta-drive: passed");
  return 0;
}

} // namespace
} // namespace vokuta::drive

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"--probe") return vokuta::drive::RunProbe();
  return vokuta::drive::runDriver(argc, argv);
}
