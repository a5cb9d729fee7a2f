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
// `shot` needs --shots: the driver prints "@@shot FILE LEFT TOP WIDTH HEIGHT" (the screen
// rectangle to keep) and waits until whoever reads its output has written DIR\FILE.
#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "control_names.h"
#include "device_files.h"
#include "probe.h"
#include "script.h"
#include "win32/win.h"

#include <commctrl.h>

namespace vokuta::drive {
namespace {

struct Failure {
  std::wstring message;
};
[[noreturn]] void fail(const std::wstring& message) { throw Failure{message}; }

std::string toUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::optional<std::wstring> fromUtf8(const std::string& bytes) {
  if (bytes.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                    static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                      out.data(), n);
  return out;
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
  const std::string bytes = toUtf8(text);
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

int parseNumber(const std::wstring& text, const wchar_t* what) {
  try {
    std::size_t used = 0;
    const long value = std::stol(text, &used, 0);
    if (used == text.size()) return static_cast<int>(value);
  } catch (const std::exception&) {}
  fail(std::wstring(what) + L" must be a number, not " + Quote(text));
}

int controlId(const std::wstring& name) {
  const auto id = ControlId(name);
  if (!id) fail(L"unknown control " + Quote(name));
  return *id;
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

LRESULT send(HWND h, UINT message, WPARAM w, LPARAM l) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(h, message, w, l, SMTO_ABORTIFHUNG, 5000, &result))
    fail(L"window " + hex(reinterpret_cast<std::uintptr_t>(h)) + L" (" + className(h) +
         L") did not answer message " + hex(message) + L" within 5 s");
  return static_cast<LRESULT>(result);
}

void post(HWND h, UINT message, WPARAM w, LPARAM l) {
  if (!PostMessageW(h, message, w, l))
    fail(L"cannot post message " + hex(message) + L": error " + std::to_wstring(GetLastError()));
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

std::vector<std::wstring> listItems(HWND list) {
  const LRESULT count = send(list, LB_GETCOUNT, 0, 0);
  if (count == LB_ERR) fail(L"the control is not a list box");
  std::vector<std::wstring> items;
  for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
    const LRESULT length = send(list, LB_GETTEXTLEN, i, 0);
    std::wstring buf(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    const LRESULT got = send(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf.data()));
    buf.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
    items.push_back(buf);
  }
  return items;
}

std::wstring joinItems(const std::vector<std::wstring>& items) {
  if (items.empty()) return L"(none)";
  std::wstring out;
  for (const auto& item : items) out += (out.empty() ? L"" : L" ") + Quote(item);
  return out;
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

std::wstring describeWindow(HWND h) {
  std::wstring line = std::wstring(IsWindowVisible(h) ? L"visible " : L"hidden  ") + L"class " +
                      Quote(className(h)) + L" caption " + Quote(caption(h));
  if (isMessageBox(h)) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(h, 0xFFFF, text, 1024);
    line += L" text " + Quote(text);
  }
  return line;
}

struct Answer {
  const wchar_t* name;
  int id;
};
constexpr Answer kAnswers[] = {
    {L"ok", IDOK}, {L"cancel", IDCANCEL}, {L"retry", IDRETRY}, {L"yes", IDYES}, {L"no", IDNO}};

// The commands that work on files rather than on windows (Driver::fileCommand).
const std::set<std::wstring> kFileCommands = {
    L"make-dir", L"write-file", L"write-cp932",     L"write-ravuz", L"files", L"same",      L"size",
    L"missing",  L"record",     L"changed-records", L"lines",       L"keep",  L"unchanged", L"log"};

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

class Driver {
public:
  explicit Driver(Options options) : options_(std::move(options)) {}
  Driver(const Driver&) = delete;
  Driver& operator=(const Driver&) = delete;
  ~Driver() {
    for (Program& p : programs_) CloseHandle(p.process);
  }

  void run(const Command& c);
  /// Ends every started program that still runs; returns their labels.
  std::vector<std::wstring> endPrograms();
  /// What the current program shows, for a failure report.
  void report();

private:
  using Check = std::function<std::optional<std::wstring>()>;

  const std::wstring& arg(const Command& c, std::size_t i) {
    if (i >= c.word.size()) fail(L"'" + c.word[0] + L"' needs more arguments");
    return c.word[i];
  }
  void arity(const Command& c, std::size_t least, std::size_t most) {
    if (c.word.size() < least + 1 || c.word.size() > most + 1)
      fail(L"'" + c.word[0] + L"' takes " + std::to_wstring(least) +
           (least == most ? L"" : L" to " + std::to_wstring(most)) + L" arguments");
  }
  Program& current() {
    if (!current_) fail(L"no program has been started");
    return *current_;
  }
  std::optional<DWORD> exitCode() {
    DWORD code = 0;
    if (!current_ || !GetExitCodeProcess(current_->process, &code) || code == STILL_ACTIVE)
      return std::nullopt;
    return code;
  }

  void expect(const std::wstring& what, const Check& check);
  HWND window(const std::wstring& name);
  HWND control(const std::wstring& name, const std::wstring& id);
  HWND waitForWindow(const std::wstring& idText, const std::optional<std::wstring>& title,
                     bool mustBeVisible);
  HWND waitForBox(const std::wstring& title);
  void start(const std::wstring& label, const std::wstring& exe, const std::wstring& args);
  void typeKey(HWND target, WORD key, const std::vector<WORD>& modifiers);
  void settle(HWND target);
  void press(const std::wstring& answerName);
  void screenshot(const std::wstring& file);
  void selectItem(HWND list, const std::wstring& item);

  void fileCommand(const Command& c);
  void listCommand(const Command& c);

  struct Kept {
    Bytes bytes;
    FILETIME written;
  };

  Options options_;
  std::wstring cwd_;
  std::map<std::wstring, Kept> kept_; ///< by path, as `keep` was given it
  std::deque<Program> programs_;      ///< a deque: current_ stays valid as programs are added
  Program* current_ = nullptr;
  std::map<std::wstring, HWND> windows_;
  std::optional<DWORD> holdMs_;
  HWND box_ = nullptr; ///< the message box checked last, until it is answered
};

void Driver::expect(const std::wstring& what, const Check& check) {
  const DWORD begin = GetTickCount();
  if (holdMs_) {
    while (true) {
      if (auto bad = check())
        fail(what + L" stopped holding after " + std::to_wstring(GetTickCount() - begin) +
             L" ms: " + *bad);
      if (GetTickCount() - begin >= *holdMs_) return;
      Sleep(20);
    }
  }
  while (true) {
    const auto bad = check();
    if (!bad) return;
    if (GetTickCount() - begin >= options_.timeoutMs) {
      std::wstring message =
          what + L" did not happen within " + std::to_wstring(options_.timeoutMs) + L" ms: " + *bad;
      if (const auto code = exitCode())
        message += L"\n(the program has ended with exit code " + std::to_wstring(*code) + L")";
      fail(message);
    }
    Sleep(20);
  }
}

HWND Driver::window(const std::wstring& name) {
  const auto it = windows_.find(name);
  if (it == windows_.end()) fail(L"no window is named " + Quote(name));
  if (!IsWindow(it->second)) fail(L"window " + Quote(name) + L" no longer exists");
  return it->second;
}

HWND Driver::control(const std::wstring& name, const std::wstring& id) {
  HWND top = window(name);
  HWND h = findControl(top, controlId(id));
  if (!h) fail(L"window " + Quote(name) + L" has no control " + id);
  return h;
}

HWND Driver::waitForWindow(const std::wstring& idText, const std::optional<std::wstring>& title,
                           bool mustBeVisible) {
  const int id = controlId(idText);
  const DWORD pid = current().pid;
  HWND found = nullptr;
  expect(L"a window holding " + idText + (title ? L" titled " + Quote(*title) : L""), [&] {
    std::wstring seen;
    for (HWND h : topWindows(pid)) {
      if (mustBeVisible && !IsWindowVisible(h)) continue;
      if (!findControl(h, id)) continue;
      if (title && caption(h) != *title) {
        seen = L"one is titled " + Quote(caption(h));
        continue;
      }
      found = h;
      return std::optional<std::wstring>();
    }
    return std::optional<std::wstring>(seen.empty() ? L"none seen" : seen);
  });
  return found;
}

HWND Driver::waitForBox(const std::wstring& title) {
  const DWORD pid = current().pid;
  HWND found = nullptr;
  expect(L"a message box titled " + Quote(title), [&] {
    for (HWND h : topWindows(pid)) {
      if (!IsWindowVisible(h) || !isMessageBox(h)) continue;
      // A different box will not go away by itself: waiting on would only hide what happened.
      if (caption(h) != title)
        fail(L"expected a box titled " + Quote(title) + L", found " + describeWindow(h));
      found = h;
      return std::optional<std::wstring>();
    }
    return std::optional<std::wstring>(L"none seen");
  });
  return found;
}

void Driver::start(const std::wstring& label, const std::wstring& exe, const std::wstring& args) {
  for (const Program& p : programs_)
    if (p.label == label) fail(L"a program is already labelled " + Quote(label));
  std::wstring commandLine = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      cwd_.empty() ? nullptr : cwd_.c_str(), &si, &pi))
    fail(L"cannot start " + Quote(exe) + L": error " + std::to_wstring(GetLastError()));
  CloseHandle(pi.hThread);
  programs_.push_back({label, pi.hProcess, pi.dwProcessId});
  current_ = &programs_.back();
}

// The program reads Shift, Ctrl and Alt with GetKeyState, which answers from the key state of
// its own input queue as it was when the key message was taken from it. Posted key messages
// leave that state alone, so the keys go in as real input: this thread shares the program's
// input queue for the moment, gives the control the focus and sends the keys.
void Driver::typeKey(HWND target, WORD key, const std::vector<WORD>& modifiers) {
  const DWORD thread = GetWindowThreadProcessId(target, nullptr);
  const DWORD self = GetCurrentThreadId();
  if (!AttachThreadInput(self, thread, TRUE))
    fail(L"cannot share the program's input: error " + std::to_wstring(GetLastError()));
  struct Detach {
    DWORD self, thread;
    ~Detach() { AttachThreadInput(self, thread, FALSE); }
  } detach{self, thread};

  // A window that has only just appeared may still be in the middle of its activation.
  expect(L"the control taking the keyboard focus", [&] {
    SetForegroundWindow(GetAncestor(target, GA_ROOT));
    SetFocus(target);
    if (GetFocus() == target) return std::optional<std::wstring>();
    return std::optional<std::wstring>(L"the focus stays elsewhere");
  });

  std::vector<INPUT> inputs;
  auto add = [&](WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (vk == VK_DELETE || (vk >= VK_LEFT && vk <= VK_DOWN)) in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    inputs.push_back(in);
  };
  for (WORD m : modifiers) add(m, false);
  add(key, false);
  add(key, true);
  for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) add(*m, true);

  if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
    fail(L"SendInput failed: error " + std::to_wstring(GetLastError()));
  settle(target);
}

// A thread takes its messages in a fixed order: sent, posted, input, then painting. Once a
// window invalidated now has been painted, its thread has taken every key queued before.
void Driver::settle(HWND target) {
  RedrawWindow(target, nullptr, nullptr, RDW_INVALIDATE);
  expect(L"the program taking the input", [&] {
    if (!GetUpdateRect(target, nullptr, FALSE)) return std::optional<std::wstring>();
    return std::optional<std::wstring>(L"the control has not been painted again");
  });
}

void Driver::screenshot(const std::wstring& file) {
  if (options_.shots.empty()) fail(L"'shot' needs --shots DIR");
  const std::wstring path = options_.shots + L"\\" + file;
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
    if (!any)
      all = r;
    else
      UnionRect(&all, &all, &r);
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
  expect(L"the screenshot " + Quote(path), [&] {
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
      return std::optional<std::wstring>();
    return std::optional<std::wstring>(L"no file yet");
  });
}

void Driver::selectItem(HWND list, const std::wstring& item) {
  const auto items = listItems(list);
  const auto it = std::find(items.begin(), items.end(), item);
  if (it == items.end())
    fail(L"the list has no item " + Quote(item) + L"; it has " + joinItems(items));
  const auto index = static_cast<WPARAM>(it - items.begin());
  const LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
  if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
    send(list, LB_SETSEL, FALSE, -1);
    send(list, LB_SETSEL, TRUE, static_cast<LPARAM>(index));
  } else if (send(list, LB_SETCURSEL, index, 0) == LB_ERR) {
    fail(L"cannot select item " + Quote(item));
  }
}

std::optional<std::wstring> mismatch(const std::wstring& seen, const std::wstring& wanted) {
  if (seen == wanted) return std::nullopt;
  return L"wanted " + Quote(wanted) + L", found " + Quote(seen);
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

HKEY createKey(const std::wstring& key) {
  const std::wstring prefix = L"HKCU\\";
  if (key.rfind(prefix, 0) != 0) fail(L"registry keys start with HKCU\\: " + Quote(key));
  HKEY h = nullptr;
  const LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, key.substr(prefix.size()).c_str(), 0, nullptr,
                                  0, KEY_SET_VALUE, nullptr, &h, nullptr);
  if (rc != ERROR_SUCCESS) fail(L"cannot open " + Quote(key) + L": error " + std::to_wstring(rc));
  return h;
}

void setValue(const std::wstring& key, const std::wstring& name, DWORD type, const void* data,
              DWORD size) {
  HKEY h = createKey(key);
  const LONG rc = RegSetValueExW(h, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(h);
  if (rc != ERROR_SUCCESS)
    fail(L"cannot set " + Quote(key + L"\\" + name) + L": error " + std::to_wstring(rc));
}

void Driver::press(const std::wstring& answerName) {
  const auto answer = std::find_if(std::begin(kAnswers), std::end(kAnswers),
                                   [&](const Answer& a) { return answerName == a.name; });
  if (answer == std::end(kAnswers)) fail(L"unknown answer " + Quote(answerName));
  HWND box = box_;
  box_ = nullptr;
  if (!box || !IsWindow(box)) fail(L"no message box is open to answer");
  HWND button = GetDlgItem(box, answer->id);
  if (!button || !IsWindowVisible(button)) fail(L"the box has no " + answerName + L" button");
  post(box, WM_COMMAND, MAKEWPARAM(answer->id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  // Gone before the next command looks, so that a second box is never taken for this one.
  expect(L"the box closing", [&] {
    if (!IsWindow(box) || !IsWindowVisible(box)) return std::optional<std::wstring>();
    return std::optional<std::wstring>(L"it is still open");
  });
}

void Driver::run(const Command& c) {
  const std::wstring& name = c.word[0];
  if (name == L"for") {
    if (c.word.size() < 3) fail(L"'for' takes a time and a check");
    Command check{c.line, c.source, {c.word.begin() + 2, c.word.end()}};
    static const std::set<std::wstring> kChecks = {L"visible", L"hidden",   L"title",   L"text",
                                                   L"items",   L"selected", L"checked", L"enabled"};
    if (!kChecks.count(check.word[0])) fail(L"'for' works only with a check, not " + check.word[0]);
    holdMs_ = static_cast<DWORD>(parseNumber(c.word[1], L"the time"));
    struct Reset {
      std::optional<DWORD>& hold;
      ~Reset() { hold.reset(); }
    } reset{holdMs_};
    run(check);
  } else if (name == L"start") {
    arity(c, 1, 2);
    if (options_.exe.empty()) fail(L"'start' needs --exe PATH");
    start(c.word[1], options_.exe, c.word.size() > 2 ? c.word[2] : L"");
  } else if (name == L"start-probe") {
    arity(c, 1, 1);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    start(c.word[1], self, L"--probe");
  } else if (name == L"use") {
    arity(c, 1, 1);
    const auto it = std::find_if(programs_.begin(), programs_.end(),
                                 [&](const Program& p) { return p.label == c.word[1]; });
    if (it == programs_.end()) fail(L"no program is labelled " + Quote(c.word[1]));
    current_ = &*it;
  } else if (name == L"cwd") {
    arity(c, 1, 1);
    cwd_ = c.word[1];
  } else if (name == L"window" || name == L"find") {
    arity(c, 2, name == L"window" ? 3 : 2);
    std::optional<std::wstring> title;
    if (c.word.size() > 3) title = c.word[3];
    windows_[c.word[1]] = waitForWindow(c.word[2], title, name == L"window");
  } else if (name == L"visible" || name == L"hidden") {
    arity(c, 1, 1);
    HWND h = window(c.word[1]);
    const bool wanted = name == L"visible";
    expect(L"window " + Quote(c.word[1]) + L" " + name, [&] {
      if (!IsWindow(h)) fail(L"window " + Quote(c.word[1]) + L" no longer exists");
      if ((IsWindowVisible(h) != FALSE) == wanted) return std::optional<std::wstring>();
      return std::optional<std::wstring>(wanted ? L"it is hidden" : L"it is visible");
    });
  } else if (name == L"title") {
    arity(c, 2, 2);
    HWND h = window(c.word[1]);
    expect(L"the caption of " + Quote(c.word[1]), [&] { return mismatch(caption(h), c.word[2]); });
  } else if (name == L"text") {
    arity(c, 3, 3);
    HWND h = control(c.word[1], c.word[2]);
    expect(L"the text of " + c.word[2], [&] { return mismatch(controlText(h), c.word[3]); });
  } else if (name == L"shown-text") {
    arity(c, 3, 3);
    HWND h = control(c.word[1], c.word[2]);
    expect(L"the text of " + c.word[2], [&] { return mismatch(storedText(h), c.word[3]); });
  } else if (name == L"bar") {
    arity(c, 3, 3);
    HWND h = control(c.word[1], c.word[2]);
    const auto wanted = static_cast<LRESULT>(parseNumber(c.word[3], L"the position"));
    expect(L"the position of " + c.word[2], [&] {
      const LRESULT at = send(h, PBM_GETPOS, 0, 0);
      if (at == wanted) return std::optional<std::wstring>();
      return std::optional<std::wstring>(L"it is at " + std::to_wstring(at));
    });
  } else if (name == L"fits") {
    arity(c, 3, 3);
    HWND h = window(c.word[1]);
    const LONG width = parseNumber(c.word[2], L"the width");
    const LONG height = parseNumber(c.word[3], L"the height");
    expect(L"every control inside " + Quote(c.word[1]), [&] {
      RECT client;
      GetClientRect(h, &client);
      if (client.right != width || client.bottom != height)
        return std::optional<std::wstring>(L"its client area is " + std::to_wstring(client.right) +
                                           L" x " + std::to_wstring(client.bottom));
      for (HWND child = GetWindow(h, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&r), 2);
        if (r.left < 0 || r.top < 0 || r.right > width || r.bottom > height)
          return std::optional<std::wstring>(
              L"control " + std::to_wstring(GetDlgCtrlID(child)) + L" lies at " +
              std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L" - " +
              std::to_wstring(r.right) + L"," + std::to_wstring(r.bottom));
      }
      return std::optional<std::wstring>();
    });
  } else if (name == L"items") {
    arity(c, 2, 1000);
    HWND h = control(c.word[1], c.word[2]);
    const std::vector<std::wstring> wanted(c.word.begin() + 3, c.word.end());
    expect(L"the items of " + c.word[2], [&] {
      const auto items = listItems(h);
      if (items == wanted) return std::optional<std::wstring>();
      return std::optional<std::wstring>(L"wanted " + joinItems(wanted) + L", found " +
                                         joinItems(items));
    });
  } else if (name == L"selected") {
    arity(c, 2, 3);
    HWND h = control(c.word[1], c.word[2]);
    std::vector<std::wstring> wanted;
    if (c.word.size() > 3) wanted.push_back(c.word[3]);
    expect(L"the selection of " + c.word[2], [&] {
      const auto items = listItems(h);
      std::vector<std::wstring> chosen;
      for (std::size_t i = 0; i < items.size(); ++i)
        if (send(h, LB_GETSEL, i, 0) > 0) chosen.push_back(items[i]);
      if (chosen == wanted) return std::optional<std::wstring>();
      return std::optional<std::wstring>(L"wanted " + joinItems(wanted) + L", found " +
                                         joinItems(chosen));
    });
  } else if (name == L"checked" || name == L"enabled") {
    // "enabled NAME 0|1" is about the window itself: disabled while a modal one is open.
    const bool whole = name == L"enabled" && c.word.size() == 3;
    arity(c, whole ? 2 : 3, 3);
    HWND h = whole ? window(c.word[1]) : control(c.word[1], c.word[2]);
    const int wanted = parseNumber(c.word.back(), L"the state");
    expect(c.word[whole ? 1 : 2] + L" " + name + L" " + c.word.back(), [&] {
      const int state = name == L"checked" ? (send(h, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0)
                                           : (IsWindowEnabled(h) ? 1 : 0);
      if (state == wanted) return std::optional<std::wstring>();
      return std::optional<std::wstring>(L"it is " + std::to_wstring(state));
    });
  } else if (name == L"focused") {
    arity(c, 2, 2);
    HWND h = control(c.word[1], c.word[2]);
    expect(L"the focus in " + c.word[2], [&] {
      // GetFocus answers for the input queue this thread is attached to.
      const DWORD thread = GetWindowThreadProcessId(h, nullptr);
      AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
      HWND focus = GetFocus();
      AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
      if (focus == h) return std::optional<std::wstring>();
      const int id = focus ? GetDlgCtrlID(focus) : 0;
      return std::optional<std::wstring>(focus ? L"the focus is on control " + std::to_wstring(id) +
                                                     L" (" + className(focus) + L")"
                                               : L"no control of the program has it");
    });
  } else if (name == L"select") {
    arity(c, 3, 3);
    selectItem(control(c.word[1], c.word[2]), c.word[3]);
  } else if (name == L"dblclick") {
    arity(c, 3, 3);
    HWND list = control(c.word[1], c.word[2]);
    selectItem(list, c.word[3]);
    // The mouse message goes to the list itself, which tells its parent as it does for a user.
    const auto index = send(list, LB_GETCURSEL, 0, 0);
    const auto row = std::max<LRESULT>(index, 0) - send(list, LB_GETTOPINDEX, 0, 0);
    const auto height = send(list, LB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0);
    const auto y = static_cast<int>(row * height + height / 2);
    post(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, y));
    post(list, WM_LBUTTONUP, 0, MAKELPARAM(4, y));
  } else if (name == L"key") {
    arity(c, 3, 6);
    std::vector<WORD> modifiers;
    for (std::size_t i = 4; i < c.word.size(); ++i) modifiers.push_back(keyCode(c.word[i]));
    typeKey(control(c.word[1], c.word[2]), keyCode(c.word[3]), modifiers);
  } else if (name == L"settext") {
    arity(c, 3, 3);
    HWND h = control(c.word[1], c.word[2]);
    if (!send(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.word[3].c_str())))
      fail(L"the control refused the text");
  } else if (name == L"click") {
    arity(c, 2, 2);
    HWND h = control(c.word[1], c.word[2]);
    if (!IsWindowVisible(h) || !IsWindowEnabled(h))
      fail(c.word[2] + L" cannot be clicked: it is " +
           (IsWindowVisible(h) ? L"disabled" : L"hidden"));
    // A user's click cannot reach a window that a modal one has disabled; a message could.
    if (!IsWindowEnabled(window(c.word[1])))
      fail(c.word[2] + L" cannot be clicked: window " + Quote(c.word[1]) + L" is disabled");
    // Posted: the click may open a modal box, which this driver itself has to answer.
    post(h, BM_CLICK, 0, 0);
  } else if (name == L"close") {
    arity(c, 1, 1);
    post(window(c.word[1]), WM_SYSCOMMAND, SC_CLOSE, 0);
  } else if (name == L"box") {
    arity(c, 2, 3);
    HWND box = waitForBox(c.word[1]);
    wchar_t text[2048] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 2048);
    if (auto bad = mismatch(text, c.word[2])) fail(L"the box's text: " + *bad);
    box_ = box;
    if (c.word.size() > 3) press(c.word[3]);
  } else if (name == L"answer") {
    arity(c, 1, 1);
    press(c.word[1]);
  } else if (name == L"quiet") {
    arity(c, 1, 1);
    const auto ms = static_cast<DWORD>(parseNumber(c.word[1], L"the time"));
    std::set<HWND> before;
    for (HWND h : topWindows(current().pid))
      if (IsWindowVisible(h)) before.insert(h);
    const DWORD begin = GetTickCount();
    while (GetTickCount() - begin < ms) {
      for (HWND h : topWindows(current().pid))
        if (IsWindowVisible(h) && !before.count(h))
          fail(L"a window appeared: " + describeWindow(h));
      if (WaitForSingleObject(current().process, 20) == WAIT_OBJECT_0) break;
    }
  } else if (name == L"exit") {
    arity(c, 1, 1);
    const auto wanted = static_cast<DWORD>(parseNumber(c.word[1], L"the exit code"));
    if (WaitForSingleObject(current().process, options_.timeoutMs) != WAIT_OBJECT_0)
      fail(L"the program still runs after " + std::to_wstring(options_.timeoutMs) + L" ms");
    const DWORD code = exitCode().value_or(STILL_ACTIVE);
    if (code != wanted)
      fail(L"the program ended with exit code " + std::to_wstring(code) + L", not " +
           std::to_wstring(wanted));
  } else if (name == L"shot") {
    arity(c, 1, 1);
    screenshot(c.word[1]);
  } else if (name == L"timeout") {
    arity(c, 1, 1);
    options_.timeoutMs = static_cast<DWORD>(parseNumber(c.word[1], L"the timeout"));
  } else if (name == L"reg-sz") {
    arity(c, 3, 3);
    const std::wstring& text = c.word[3];
    setValue(c.word[1], c.word[2], REG_SZ, text.c_str(),
             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  } else if (name == L"reg-dword") {
    arity(c, 3, 3);
    const auto value = static_cast<DWORD>(parseNumber(c.word[3], L"the value"));
    setValue(c.word[1], c.word[2], REG_DWORD, &value, sizeof value);
  } else if (name == L"reg-delete") {
    arity(c, 1, 1);
    const std::wstring& key = c.word[1];
    if (key.rfind(L"HKCU\\", 0) != 0) fail(L"registry keys start with HKCU\\: " + Quote(key));
    const LONG rc = RegDeleteTreeW(HKEY_CURRENT_USER, key.substr(5).c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
      fail(L"cannot delete " + Quote(key) + L": error " + std::to_wstring(rc));
    RegDeleteKeyW(HKEY_CURRENT_USER, key.substr(5).c_str());
  } else if (name == L"make-file") {
    arity(c, 1, 1);
    HANDLE h = CreateFileW(c.word[1].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
      fail(L"cannot create " + Quote(c.word[1]) + L": error " + std::to_wstring(GetLastError()));
    CloseHandle(h);
  } else if (name == L"delete-file") {
    arity(c, 1, 1);
    const std::wstring path = expandVariables(c.word[1]);
    if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
      fail(L"cannot delete " + Quote(path) + L": error " + std::to_wstring(GetLastError()));
  } else if (kFileCommands.count(name)) {
    fileCommand(c);
  } else if (name == L"count" || name == L"item") {
    listCommand(c);
  } else {
    fail(L"unknown command " + Quote(name));
  }
}

std::vector<std::wstring> Driver::endPrograms() {
  std::vector<std::wstring> running;
  for (Program& p : programs_) {
    if (WaitForSingleObject(p.process, 0) == WAIT_OBJECT_0) continue;
    running.push_back(p.label);
    TerminateProcess(p.process, 99);
    WaitForSingleObject(p.process, 5000);
  }
  return running;
}

void Driver::report() {
  if (!current_) return;
  complain(L"windows of " + Quote(current_->label) + L":");
  for (HWND h : topWindows(current_->pid)) complain(L"  " + describeWindow(h));
  if (const auto code = exitCode())
    complain(L"  (the program has ended with exit code " + std::to_wstring(*code) + L")");
}

std::optional<std::vector<std::wstring>> readLines(const std::wstring& path) {
  HANDLE h =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
  CloseHandle(h);
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  while (start <= bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto text = fromUtf8(line);
    if (!text) return std::nullopt;
    lines.push_back(*text);
    start = end + 1;
  }
  return lines;
}

std::optional<FILETIME> lastWritten(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return data.ftLastWriteTime;
}

std::wstring listing(const std::vector<std::wstring>& list) {
  if (list.empty()) return L" (none)";
  std::wstring out;
  for (const auto& line : list) out += L"\n    " + Quote(line);
  return out;
}

// Where two lists of lines part, for a report that points at the difference.
std::wstring firstDifference(const std::vector<std::wstring>& wanted,
                             const std::vector<std::wstring>& found) {
  std::size_t i = 0;
  while (i < wanted.size() && i < found.size() && wanted[i] == found[i]) ++i;
  return L"line " + std::to_wstring(i + 1) + L" differs: wanted " +
         (i < wanted.size() ? Quote(wanted[i]) : L"no more lines") + L", found " +
         (i < found.size() ? Quote(found[i]) : L"no more lines");
}

std::wstring writeLines(const std::wstring& path, const std::vector<std::wstring>& words,
                        unsigned codepage) {
  std::wstring text;
  for (const auto& line : words) text += line + L"\r\n";
  const auto bytes = Encode(text, codepage);
  if (!bytes)
    return L"a character of the text has no code in code page " + std::to_wstring(codepage);
  if (!WriteBytes(path, *bytes))
    return L"cannot write " + Quote(path) + L": error " + std::to_wstring(GetLastError());
  return {};
}

void Driver::fileCommand(const Command& c) {
  const std::wstring& name = c.word[0];
  const std::wstring& path = arg(c, 1);
  if (name == L"make-dir") {
    arity(c, 1, 1);
    for (std::size_t at = path.find(L'\\', 3);; at = path.find(L'\\', at + 1)) {
      const std::wstring level = path.substr(0, at);
      if (!CreateDirectoryW(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        fail(L"cannot make " + Quote(level) + L": error " + std::to_wstring(GetLastError()));
      if (at == std::wstring::npos) break;
    }
  } else if (name == L"write-file" || name == L"write-cp932") {
    arity(c, 1, 1000);
    const std::wstring bad =
        writeLines(path, {c.word.begin() + 2, c.word.end()}, name == L"write-file" ? CP_UTF8 : 932);
    if (!bad.empty()) fail(bad);
  } else if (name == L"write-ravuz") {
    arity(c, 2, 2);
    const int count = parseNumber(c.word[2], L"the record count");
    if (count < 4 || count > static_cast<int>(kMaxRecords)) fail(L"the count must be 4 to 64");
    if (!WriteBytes(path, MadeUpRavuz(static_cast<std::size_t>(count))))
      fail(L"cannot write " + Quote(path) + L": error " + std::to_wstring(GetLastError()));
  } else if (name == L"files") {
    arity(c, 1, 1000);
    const std::vector<std::wstring> wanted(c.word.begin() + 2, c.word.end());
    expect(L"the files below " + Quote(path), [&] {
      const auto tree = Tree(path);
      if (!tree) return std::optional<std::wstring>(L"it is no folder");
      if (*tree == wanted) return std::optional<std::wstring>();
      return std::optional<std::wstring>(firstDifference(wanted, *tree) + L"; all found:" +
                                         listing(*tree));
    });
  } else if (name == L"same") {
    arity(c, 2, 2);
    expect(Quote(path) + L" holding the bytes of " + Quote(c.word[2]), [&] {
      const auto a = ReadBytes(path), b = ReadBytes(c.word[2]);
      if (!a || !b)
        return std::optional<std::wstring>(Quote(!a ? path : c.word[2]) + L" cannot be read");
      if (*a == *b) return std::optional<std::wstring>();
      return std::optional<std::wstring>(L"they differ (" + std::to_wstring(a->size()) + L" and " +
                                         std::to_wstring(b->size()) + L" bytes)");
    });
  } else if (name == L"size") {
    arity(c, 2, 2);
    const auto wanted = static_cast<std::size_t>(parseNumber(c.word[2], L"the size"));
    expect(L"the size of " + Quote(path), [&] {
      const auto bytes = ReadBytes(path);
      if (!bytes) return std::optional<std::wstring>(L"it cannot be read");
      if (bytes->size() == wanted) return std::optional<std::wstring>();
      return std::optional<std::wstring>(std::to_wstring(bytes->size()) + L" bytes");
    });
  } else if (name == L"missing") {
    arity(c, 1, 1);
    expect(Quote(path) + L" missing", [&] {
      if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return std::optional<std::wstring>();
      return std::optional<std::wstring>(L"it is there");
    });
  } else if (name == L"record") {
    arity(c, 9, 9);
    const auto slot = static_cast<std::size_t>(parseNumber(c.word[2], L"the slot"));
    const std::vector<std::wstring> wanted(c.word.begin() + 3, c.word.end());
    expect(L"record " + c.word[2] + L" of " + Quote(path), [&] {
      const auto bytes = ReadBytes(path);
      if (!bytes) return std::optional<std::wstring>(L"the file cannot be read");
      const auto fields = RecordFields(*bytes, slot);
      if (!fields)
        return std::optional<std::wstring>(L"the file has " + std::to_wstring(bytes->size()) +
                                           L" bytes");
      std::wstring bad;
      for (std::size_t i = 0; i < wanted.size(); ++i)
        if ((*fields)[i] != wanted[i])
          bad += std::wstring(bad.empty() ? L"" : L"; ") + kRecordFieldNames[i] + L" wanted " +
                 Quote(wanted[i]) + L", found " + Quote((*fields)[i]);
      if (bad.empty()) return std::optional<std::wstring>();
      return std::optional<std::wstring>(bad);
    });
  } else if (name == L"changed-records") {
    arity(c, 2, 1000);
    std::set<std::size_t> wanted;
    for (std::size_t i = 3; i < c.word.size(); ++i)
      wanted.insert(static_cast<std::size_t>(parseNumber(c.word[i], L"a slot")));
    expect(L"the records that differ between " + Quote(path) + L" and " + Quote(c.word[2]), [&] {
      const auto a = ReadBytes(path), b = ReadBytes(c.word[2]);
      if (!a || !b)
        return std::optional<std::wstring>(Quote(!a ? path : c.word[2]) + L" cannot be read");
      if (a->size() != b->size())
        return std::optional<std::wstring>(L"their lengths differ: " + std::to_wstring(a->size()) +
                                           L" and " + std::to_wstring(b->size()) + L" bytes");
      std::set<std::size_t> differ;
      for (std::size_t i = 0; i < a->size(); ++i)
        if ((*a)[i] != (*b)[i]) differ.insert(i / kRecordBytes);
      if (differ == wanted) return std::optional<std::wstring>();
      std::wstring slots;
      for (const std::size_t slot : differ) slots += L" " + std::to_wstring(slot);
      return std::optional<std::wstring>(L"they differ in slot(s)" +
                                         (slots.empty() ? L" (none)" : slots));
    });
  } else if (name == L"lines") {
    arity(c, 1, 1000);
    const std::vector<std::wstring> wanted(c.word.begin() + 2, c.word.end());
    expect(L"the lines of " + Quote(path), [&] {
      auto found = readLines(path);
      if (!found) return std::optional<std::wstring>(L"it cannot be read as UTF-8 text");
      if (!found->empty() && found->back().empty()) found->pop_back();
      if (*found == wanted) return std::optional<std::wstring>();
      return std::optional<std::wstring>(firstDifference(wanted, *found) + L"; all found:" +
                                         listing(*found));
    });
  } else if (name == L"log") {
    arity(c, 1, 1000);
    const std::wstring file = expandVariables(path);
    const std::vector<std::wstring> wanted(c.word.begin() + 2, c.word.end());
    expect(L"the run log " + Quote(file), [&] {
      auto found = readLines(file);
      if (!found) return std::optional<std::wstring>(L"it cannot be read as UTF-8 text");
      if (!found->empty() && found->back().empty()) found->pop_back();
      for (auto& line : *found)
        if (line.size() > 9 && line[2] == L':' && line[5] == L':') line.erase(0, 9);
      std::size_t i = 0;
      while (i < wanted.size() && i < found->size() &&
             matches(wanted[i].c_str(), (*found)[i].c_str()))
        ++i;
      if (i == wanted.size() && i == found->size()) return std::optional<std::wstring>();
      return std::optional<std::wstring>(L"line " + std::to_wstring(i + 1) + L" differs: wanted " +
                                         (i < wanted.size() ? Quote(wanted[i]) : L"no more lines") +
                                         L"; all found:" + listing(*found));
    });
  } else if (name == L"keep") {
    arity(c, 1, 1);
    const auto bytes = ReadBytes(path);
    const auto written = lastWritten(path);
    if (!bytes || !written) fail(Quote(path) + L" cannot be read");
    kept_[path] = {*bytes, *written};
  } else if (name == L"unchanged") {
    arity(c, 1, 1);
    const auto it = kept_.find(path);
    if (it == kept_.end()) fail(L"'keep' has not seen " + Quote(path));
    expect(Quote(path) + L" unchanged", [&] {
      const auto bytes = ReadBytes(path);
      const auto written = lastWritten(path);
      if (!bytes || !written) return std::optional<std::wstring>(L"it cannot be read");
      if (*bytes != it->second.bytes) return std::optional<std::wstring>(L"its bytes changed");
      if (CompareFileTime(&*written, &it->second.written) != 0)
        return std::optional<std::wstring>(L"it was written again");
      return std::optional<std::wstring>();
    });
  }
}

void Driver::listCommand(const Command& c) {
  HWND list = control(arg(c, 1), arg(c, 2));
  if (c.word[0] == L"count") {
    arity(c, 3, 3);
    const auto wanted = static_cast<std::size_t>(parseNumber(c.word[3], L"the count"));
    expect(L"the number of items of " + c.word[2], [&] {
      const auto items = listItems(list);
      if (items.size() == wanted) return std::optional<std::wstring>();
      return std::optional<std::wstring>(std::to_wstring(items.size()) + L" items");
    });
    return;
  }
  arity(c, 4, 4);
  const auto index = static_cast<std::size_t>(parseNumber(c.word[3], L"the index"));
  expect(L"item " + c.word[3] + L" of " + c.word[2], [&] {
    const auto items = listItems(list);
    if (index >= items.size())
      return std::optional<std::wstring>(L"the list has " + std::to_wstring(items.size()) +
                                         L" items");
    return mismatch(items[index], c.word[4]);
  });
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
    const bool hasValue = i + 1 < argc;
    if ((a == L"--exe" || a == L"--shots" || a == L"--timeout" || a == L"-f") && !hasValue)
      return usage();
    if (a == L"--exe") {
      options.exe = argv[++i];
    } else if (a == L"--shots") {
      options.shots = argv[++i];
    } else if (a == L"--timeout") {
      options.timeoutMs = static_cast<DWORD>(std::wcstoul(argv[++i], nullptr, 10));
    } else if (a == L"-f") {
      const std::wstring path = argv[++i];
      const auto lines = readLines(path);
      if (!lines) {
        complain(L"vokuta-drive: cannot read " + Quote(path) + L" as UTF-8 text");
        return 2;
      }
      std::wstring error;
      auto script = ParseScript(*lines, error);
      if (!script) {
        complain(L"vokuta-drive: " + path + L": " + error);
        return 2;
      }
      commands.insert(commands.end(), script->begin(), script->end());
    } else if (a.rfind(L"--", 0) == 0) {
      return usage();
    } else {
      std::wstring error;
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
      driver.run(c);
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
    std::wstring labels;
    for (const auto& l : running) labels += L" " + Quote(l);
    complain(L"vokuta-drive: FAILED: still running at the end of the script:" + labels);
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
