// vokuta-drive: works the installer's windows from outside, as a user would, and checks what
// they show. It runs under Wine beside the installer; tests/e2e/run_e2e.sh runs its scenarios.
//
//   vokuta-drive [--exe PATH] [--shots DIR] [--timeout MS] -f SCRIPT
//
// SCRIPT (UTF-8) holds a command a line, its words separated by blanks; a line starting with #
// is a comment. A bare word is taken literally, backslashes included; a quoted word may hold
// blanks and knows the escapes \\ \" \r \n and \t. A line ending in a bare "<<" takes the lines
// after it, up to one that is ">>", as further words, one a line, as they stand. The first
// failure (an unreadable or empty script too) ends the run with exit code 1, after ending every
// program the run started; so does a program that still runs at the end of the script.
//
// The actions:
//   start LABEL [CMDLINE]          starts the installer (--exe); it becomes the current program
//   use LABEL                      makes an earlier started program current again
//   cwd DIR                        working directory of the programs started after it
//   window NAME CONTROL [TITLE]    names the visible top-level window of the current program
//                                  that holds CONTROL (and has the caption TITLE)
//   find NAME CONTROL              the same for a window that may be hidden
//   select NAME CONTROL ITEM       selects a list item; dblclick also double-clicks it
//   key NAME CONTROL KEY [shift|ctrl|alt]   types delete, escape, up, down or c into the control
//   settext NAME CONTROL TEXT      replaces an edit box's text
//   click NAME CONTROL             clicks an enabled, visible button
//   close NAME                     the window's close box
//   box TITLE TEXT [ANSWER]        waits for a message box with that title and text; with
//                                  ANSWER, presses ok, cancel, retry, yes or no
//   answer ANSWER                  presses a button of the box met last
//   quiet MS                       no new window of the current program appears for MS
//   exit CODE                      the current program ends with CODE
//   shot FILE                      a screenshot of the current program's visible windows
//   timeout MS                     the waiting time of the commands after it (10 s at first)
//   for MS CHECK...                CHECK must hold all through MS instead of becoming true
//   reg-sz KEY NAME TEXT | reg-dword KEY NAME NUMBER | reg-delete KEY    (KEY under HKCU)
//   write-file PATH [LINE...]      the lines, each ended by CR LF, in UTF-8, making the folders
//   write-ravuz PATH COUNT         an association file of made-up records (see madeUpRavuz)
//   delete-file PATH               (a path may name environment variables: %TEMP%)
//   keep PATH                      remembers a file's bytes and last-write time
//
// A check waits up to the timeout for what it reads to equal the words after its arguments,
// and otherwise fails with what it saw. CONTROL is named after the installer's forms, as
// Frm3Port.Optポート(2) (see controlId); "." is the window itself.
//   visible NAME                   the window's state, 0 or 1
//   enabled|checked NAME CONTROL   a control's state, 0 or 1
//   focused NAME CONTROL           nothing, when the control has the keyboard focus
//   text NAME CONTROL              a control's text; shown-text reads it without a message, so
//                                  also while the program is busy in a link call (and, with
//                                  CONTROL ".", the window's caption)
//   bar NAME CONTROL               a progress bar's position
//   items|selected NAME CONTROL    a list box's items, or its selected one
//   item NAME CONTROL INDEX        one item, or nothing after the last one
//   fits NAME                      the client area's width and height, and the controls that
//                                  do not lie inside it
//   files DIR                      every folder (ending in \) and file below DIR, depth first,
//                                  each folder's names in ordinal order, as on disk (nothing
//                                  when there is no such folder)
//   lines PATH                     a UTF-8 file's lines (the link library's log)
//   log PATH                       the run log's lines without the time each starts with; "*"
//                                  in a wanted line matches any text
//   same PATH OTHER | missing PATH | unchanged PATH    nothing, when the files hold the same
//                                  bytes | there is no such file | it is as `keep` saw it
//   size PATH                      a file's length
//   record PATH SLOT               an association record: suffix, attr, id, font, mmp (numbers
//                                  in hexadecimal), file, app (without trailing zero bytes)
//   changed-records PATH OTHER     the slots whose records differ between the two files
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "win32/control_ids.h"
#include "win32/win.h"

#include <commctrl.h>

namespace vokuta::drive {
namespace {

using Words = std::vector<std::wstring>;

[[noreturn]] void fail(const std::wstring& message) { throw message; }

// With the escapes of a quoted word, so that a CR LF or a trailing blank shows.
std::wstring Quote(const std::wstring& text) {
  std::wstring out = L"\"";
  for (wchar_t c : text) {
    const auto e = std::wstring(L"\\\"\r\n\t").find(c);
    out += e == std::wstring::npos ? std::wstring(1, c) : std::wstring{L'\\', L"\\\"rnt"[e]};
  }
  return out + L"\"";
}

// The words of a script line; fails on a quoted word that is not closed or a wrong escape.
Words splitWords(const std::wstring& line) {
  Words words;
  for (std::size_t i = 0; (i = line.find_first_not_of(L" \t", i)) != std::wstring::npos;) {
    if (words.empty() && line[i] == L'#') break;
    std::wstring& word = words.emplace_back();
    if (line[i] != L'"') {
      while (i < line.size() && line[i] != L' ' && line[i] != L'\t') word += line[i++];
      continue;
    }
    for (++i; i < line.size() && line[i] != L'"'; ++i) {
      const auto e = line[i] == L'\\' ? std::wstring(L"\\\"rnt").find(line.c_str()[++i]) : 5;
      if (e == std::wstring::npos) fail(L"unknown escape in a quoted word");
      word += e < 5 ? L"\\\"\r\n\t"[e] : line[i];
    }
    if (i++ == line.size()) fail(L"a quoted word is not closed");
  }
  return words;
}

int number(const std::wstring& text) {
  wchar_t* end = nullptr;
  const long value = std::wcstol(text.c_str(), &end, 0);
  if (text.empty() || *end) fail(L"not a number: " + Quote(text));
  return static_cast<int>(value);
}

std::string utf8(const std::wstring& text) {
  const std::u8string bytes = std::filesystem::path(text).u8string();
  return {bytes.begin(), bytes.end()};
}

// UTF-8, which is what the scripts reading the output expect whatever Wine's code page.
void say(const std::wstring& line, DWORD to = STD_OUTPUT_HANDLE) {
  const std::string bytes = utf8(line + L"\n");
  DWORD written = 0;
  WriteFile(GetStdHandle(to), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring expandVariables(const std::wstring& text) {
  wchar_t buf[1024];
  const DWORD n = ExpandEnvironmentStringsW(text.c_str(), buf, 1024);
  return n > 0 && n <= 1024 ? std::wstring(buf) : text;
}

std::optional<std::string> readBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(expandVariables(path)), std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Makes the folders above `path` that are missing, then replaces the file.
void writeBytes(const std::wstring& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  if (!(std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes).flush())
    fail(L"cannot write " + Quote(path));
}

// A UTF-8 file's lines (none when it cannot be read), without a byte-order mark, the CR of a
// CR LF and a last empty line.
Words readLines(const std::wstring& path) {
  std::string data = readBytes(path).value_or("");
  if (data.starts_with("\xEF\xBB\xBF")) data.erase(0, 3);
  std::wstring text(data.size(), L'\0');
  text.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_UTF8, 0, data.data(), static_cast<int>(data.size()), text.data(),
                          static_cast<int>(text.size()))));
  std::wistringstream in(text);
  Words lines;
  for (std::wstring line; std::getline(in, line); lines.push_back(line))
    if (line.ends_with(L'\r')) line.pop_back();
  return lines;
}

// Every folder (ending in a backslash) and file below `dir`, depth first, each folder's names
// in ordinal order (as paths compare), as on disk, so that a check sees their case.
Words tree(const std::wstring& dir) {
  std::error_code error;
  std::map<std::filesystem::path, bool> entries; // whether a folder
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir, error))
    entries[entry.path().lexically_relative(dir)] = entry.is_directory();
  Words out;
  for (const auto& [path, folder] : entries) out.push_back(path.wstring() + (folder ? L"\\" : L""));
  return out;
}

// An association record: suffix 4 bytes, attr 2, id 2, font 2, mmp 4 (little-endian), file 8,
// app 32; the texts padded with zero bytes.
constexpr std::size_t kRecordBytes = 54, kFieldBytes[] = {4, 2, 2, 2, 4, 8, 32};

// Record `slot` as words: numbers in upper-case hexadecimal, texts without their trailing zero
// bytes, a byte that is no ASCII character as U+FFFD; nothing when the file is shorter.
Words recordFields(const std::string& file, std::size_t slot) {
  if (file.size() < (slot + 1) * kRecordBytes) return {};
  Words fields;
  for (std::size_t at = slot * kRecordBytes; const std::size_t n : kFieldBytes) {
    const std::string field = file.substr(std::exchange(at, at + n), n);
    std::wstring& word = fields.emplace_back();
    if (fields.size() > 1 && fields.size() < 6)
      for (auto c = field.rbegin(); c != field.rend(); ++c)
        word += {L"0123456789ABCDEF"[(*c >> 4) & 15], L"0123456789ABCDEF"[*c & 15]};
    else
      for (const unsigned char c : field.substr(0, field.find_last_not_of('\0') + 1))
        word += c < 0x80 ? static_cast<wchar_t>(c) : L'\xFFFD';
  }
  return fields;
}

// An association record; the texts are cut or padded to their fields, the numbers little-endian
// as this machine keeps them.
std::string record(std::string suffix, int attr, int id, int font, int mmp, std::string app) {
  suffix.resize(4);
  app.resize(32);
  for (const int value : {attr, id, font}) suffix.append(reinterpret_cast<const char*>(&value), 2);
  suffix.append(reinterpret_cast<const char*>(&mmp), 4);
  return suffix + std::string(8, '\0') + app;
}

// An association file of `count` records: slots 0..2 hold the device's own associations (.EXF,
// .INI, .BMP), slot 3 is empty, and every slot k from 4 on is taken by the made-up suffix ".Xkk"
// (kk two decimal digits): attr 0, id 0, font 0900 + k, mmp 00300000 + k * 100 (hexadecimal),
// no file, app \SYSTEM\APPS\Xkk.EXF.
std::string madeUpRavuz(int count) {
  std::string out = record(".EXF", 1, 1, 0x0801, 0x00200000, "\\SYSTEM\\SHELL.EXF") +
                    record(".INI", 1, 2, 0x0802, 0x00200100, "\\SYSTEM\\EDIT.EXF") +
                    record(".BMP", 1, 3, 0x0803, 0x00200200, "\\SYSTEM\\VIEW.EXF") +
                    record("", 0, 0, 0, 0, "");
  for (int k = 4; k < count; ++k) {
    const std::string kk = std::to_string(100 + k).substr(1);
    out += record(".X" + kk, 0, 0, 0x0900 + k, 0x00300000 + k * 0x100,
                  "\\SYSTEM\\APPS\\X" + kk + ".EXF");
  }
  return out;
}

// `*` matches any text, every other character itself.
bool matches(const wchar_t* pattern, const wchar_t* text) {
  if (*pattern == L'*') return matches(pattern + 1, text) || (*text && matches(pattern, text + 1));
  if (*pattern == 0) return *text == 0;
  return *pattern == *text && matches(pattern + 1, text + 1);
}

// Nothing when what was seen is what is wanted; else where they part.
std::wstring mismatch(const Words& seen, const Words& wanted, bool patterns = false) {
  std::size_t i = 0;
  while (i < wanted.size() && i < seen.size() &&
         (patterns ? matches(wanted[i].c_str(), seen[i].c_str()) : wanted[i] == seen[i]))
    ++i;
  if (i == wanted.size() && i == seen.size()) return {};
  const auto at = [i](const Words& list) { return i < list.size() ? Quote(list[i]) : L"no more"; };
  return L"wanted " + at(wanted) + L", found " + at(seen) + L" (word " + std::to_wstring(i + 1) +
         L")";
}

// The state the script works on.
std::map<std::wstring, std::wstring> options; ///< of the command line
std::wstring cwd;
DWORD timeoutMs = 10000;
std::map<std::wstring, PROCESS_INFORMATION> programs; ///< by label
PROCESS_INFORMATION current{};                        ///< the program the commands work on
std::map<std::wstring, HWND> windows;
HWND box = nullptr; ///< the message box met last, until it is answered
std::map<std::wstring, std::pair<std::string, ULONGLONG>> kept; ///< by path, as `keep` saw it

/// Waits until `problem` answers nothing (or, with `hold`, that it does so all that time), else
/// fails with what it answered.
template <class F> void expect(F problem, std::optional<DWORD> hold = {}) {
  for (const DWORD begin = GetTickCount();; Sleep(20)) {
    const std::wstring bad = problem();
    const DWORD spent = GetTickCount() - begin;
    if (bad.empty() && spent >= hold.value_or(0)) return;
    if (hold ? !bad.empty() : spent >= timeoutMs)
      fail((hold ? L"stopped holding after " : L"did not happen within ") + std::to_wstring(spent) +
           L" ms: " + bad);
  }
}

// A window may take as long to answer a sent message as the commands wait, and at least 10 s: a
// program under emulation (the release build), or one at a cold start, can be slow to answer.
// One that does not answer in that time answers 0.
LRESULT send(HWND h, UINT message, WPARAM w, LPARAM l) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(h, message, w, l, SMTO_NORMAL, std::max<DWORD>(timeoutMs, 10000), &result);
  return static_cast<LRESULT>(result);
}

// A window's text as Windows keeps it, without a message to the program (which may be busy),
// or else as the program answers for it; the texts here are short.
std::wstring textOf(HWND h, bool stored = true) {
  wchar_t buf[1024] = {};
  if (stored) InternalGetWindowText(h, buf, 1024);
  if (!stored) send(h, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf));
  return buf;
}

// A list box's items (none when it is no list box); items here are short.
Words listItems(HWND list) {
  Words items;
  for (LRESULT i = 0, n = send(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
    wchar_t buf[1024] = {};
    send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
    items.push_back(buf);
  }
  return items;
}

// The top-level windows of the current program, the visible ones only if `visible`.
std::vector<HWND> topWindows(bool visible = false) {
  std::vector<HWND> found;
  for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == current.dwProcessId && (!visible || IsWindowVisible(h))) found.push_back(h);
  }
  return found;
}

// Controls may sit inside a frame window, so the whole tree below the window is searched.
HWND findControl(HWND parent, int id) {
  for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (HWND found = GetDlgCtrlID(h) == id ? h : findControl(h, id)) return found;
  return nullptr;
}

// A control named FORM.CONTROL after the installer's forms (the form's name in any case), "(N)"
// naming the N-th of an array of them.
int controlId(const std::wstring& name) {
  namespace ids = vokuta::win32::ids;
#define VOKUTA_CONTROL(space, control)                                                             \
  { L"" #space "." #control, ids::space::k##control }
  static const std::pair<const wchar_t*, int> kNames[] = {
      VOKUTA_CONTROL(frm1main, List1),         VOKUTA_CONTROL(frm1main, LblSize),
      VOKUTA_CONTROL(frm1main, Cmd戻る),       VOKUTA_CONTROL(frm1main, Cmd次へ),
      VOKUTA_CONTROL(frm1main, Cmdキャンセル), VOKUTA_CONTROL(frm1main, LblProgress),
      VOKUTA_CONTROL(frm1main, Progress),      VOKUTA_CONTROL(frm2list, List1),
      VOKUTA_CONTROL(frm2list, Lab追加),       VOKUTA_CONTROL(frm2list, CmdOK),
      VOKUTA_CONTROL(frm3port, Cmd戻る),       VOKUTA_CONTROL(frm3port, Cmd開始),
      VOKUTA_CONTROL(frm3port, Cmdキャンセル), VOKUTA_CONTROL(frm3port, Optポート),
      VOKUTA_CONTROL(frm4text, Text1),         VOKUTA_CONTROL(frm4text, CmdOK),
      VOKUTA_CONTROL(frm4text, Cmdキャンセル)};
#undef VOKUTA_CONTROL
  const std::size_t open = std::min(name.find(L'('), name.size());
  for (const auto& [known, id] : kNames)
    if (_wcsicmp(known, name.substr(0, open).c_str()) == 0)
      return id + (open < name.size() ? number(name.substr(open + 1, name.size() - open - 2)) : 0);
  fail(L"unknown control " + Quote(name));
}

// The keys the scripts type.
WORD keyCode(const std::wstring& name) {
  static const std::map<std::wstring, WORD> kKeys = {
      {L"delete", VK_DELETE}, {L"escape", VK_ESCAPE}, {L"up", VK_UP},    {L"down", VK_DOWN},
      {L"shift", VK_SHIFT},   {L"ctrl", VK_CONTROL},  {L"alt", VK_MENU}, {L"c", 'C'}};
  if (!kKeys.count(name)) fail(L"unknown key " + Quote(name));
  return kKeys.at(name);
}

// A file's bytes and last-write time (to the 100 ns that Windows keeps).
std::optional<std::pair<std::string, ULONGLONG>> snapshot(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  const auto bytes = readBytes(path);
  if (!bytes || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
    return std::nullopt;
  const auto [low, high] = data.ftLastWriteTime;
  return std::pair(*bytes, ULONGLONG{high} << 32 | low);
}

// The window named by the words `COMMAND NAME`, or with `CONTROL` after them, that control of it
// ("." the window itself).
HWND control(const Words& w, bool ofWindow = false) {
  const auto it = windows.find(w[1]);
  if (it == windows.end() || !IsWindow(it->second)) fail(L"no window " + Quote(w[1]) + L" now");
  HWND h = ofWindow || w[2] == L"." ? it->second : findControl(it->second, controlId(w[2]));
  if (!h) fail(L"window " + Quote(w[1]) + L" has no control " + w[2]);
  return h;
}

// Presses button ANSWER of the box met last.
void press(const std::wstring& answer) {
  static const std::map<std::wstring, int> kAnswers = {
      {L"ok", IDOK}, {L"cancel", IDCANCEL}, {L"retry", IDRETRY}, {L"yes", IDYES}, {L"no", IDNO}};
  HWND open = std::exchange(box, nullptr);
  HWND button = open && kAnswers.count(answer) ? GetDlgItem(open, kAnswers.at(answer)) : nullptr;
  if (!button || !IsWindowVisible(button)) fail(L"no box open with a button " + Quote(answer));
  PostMessageW(open, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  // Gone before the next command looks, so that a second box is never taken for this one.
  expect([&] { return IsWindow(open) && IsWindowVisible(open) ? L"the box is still open" : L""; });
}

// Whether `w` is the command `name` with `least` to `most` arguments.
bool is(const Words& w, const wchar_t* name, std::size_t least, std::size_t most = 0) {
  return w[0] == name && w.size() > least && w.size() <= std::max(least, most) + 1;
}

/// Runs one command; with `hold` (after `for`), a check that must hold all that time.
void run(const Words& w, std::optional<DWORD> hold = {});

void act(const Words& w) {
  if (is(w, L"answer", 1)) return press(w[1]);
  if (is(w, L"for", 2, 1000)) return run({w.begin() + 2, w.end()}, number(w[1]));
  if (is(w, L"write-ravuz", 2)) return writeBytes(w[1], madeUpRavuz(number(w[2])));
  if (is(w, L"start", 1, 2)) {
    const std::wstring& exe = options[L"--exe"];
    std::wstring commandLine = L"\"" + exe + L"\"" + (w.size() > 2 ? L" " + w[2] : L"");
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        cwd.empty() ? nullptr : cwd.c_str(), &si, &programs[w[1]]))
      fail(L"cannot start " + Quote(exe));
    current = programs[w[1]];
  } else if (is(w, L"use", 1)) {
    current = programs[w[1]];
  } else if (is(w, L"cwd", 1)) {
    cwd = w[1];
  } else if (is(w, L"window", 2, 3) || is(w, L"find", 2)) {
    expect([&]() -> std::wstring {
      for (HWND h : topWindows(w[0] == L"window"))
        if (findControl(h, controlId(w[2])) && (w.size() < 4 || textOf(h) == w[3])) {
          windows[w[1]] = h;
          return {};
        }
      return L"no such window";
    });
  } else if (is(w, L"select", 3) || is(w, L"dblclick", 3)) {
    HWND list = control(w);
    const auto items = listItems(list);
    const auto index = std::find(items.begin(), items.end(), w[3]) - items.begin();
    if (index == static_cast<std::ptrdiff_t>(items.size()) ||
        send(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0) == LB_ERR)
      fail(L"cannot select the item: " + mismatch(items, {w[3]}));
    // The mouse message goes to the list itself, which tells its parent as it does for a user.
    RECT r{};
    send(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    if (w[0] == L"select") return;
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, r.top + 1));
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(4, r.top + 1));
  } else if (is(w, L"key", 3, 4)) {
    // The program reads Shift, Ctrl and Alt with GetKeyState, which answers from the key state
    // of its own input queue as it was when the key message was taken from it. Posted key
    // messages leave that state alone, so the keys go in as real input: this thread shares the
    // program's input queue for the moment, gives the control the focus and sends the keys.
    HWND target = control(w);
    const DWORD thread = GetWindowThreadProcessId(target, nullptr), self = GetCurrentThreadId();
    if (!AttachThreadInput(self, thread, TRUE)) fail(L"cannot share the program's input");
    // A window that has only just appeared may still be in the middle of its activation.
    expect([&] {
      SetForegroundWindow(GetAncestor(target, GA_ROOT));
      SetFocus(target);
      return GetFocus() == target ? L"" : L"the control does not take the focus";
    });
    const WORD key = keyCode(w[3]), modifier = w.size() > 4 ? keyCode(w[4]) : 0;
    const std::pair<WORD, DWORD> strokes[] = {
        {modifier, 0}, {key, 0}, {key, KEYEVENTF_KEYUP}, {modifier, KEYEVENTF_KEYUP}};
    for (const auto& [vk, up] : strokes) {
      const bool extended = vk == VK_DELETE || (vk >= VK_LEFT && vk <= VK_DOWN);
      if (vk)
        keybd_event(static_cast<BYTE>(vk), static_cast<BYTE>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)),
                    up | (extended ? KEYEVENTF_EXTENDEDKEY : 0), 0);
    }
    // A thread takes its messages in a fixed order: sent, posted, input, then painting. Once a
    // window invalidated now has been painted, its thread has taken every key queued before.
    RedrawWindow(target, nullptr, nullptr, RDW_INVALIDATE);
    expect([&] { return GetUpdateRect(target, nullptr, FALSE) ? L"keys not taken" : L""; });
    AttachThreadInput(self, thread, FALSE);
  } else if (is(w, L"settext", 3)) {
    send(control(w), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w[3].c_str()));
  } else if (is(w, L"click", 2)) {
    HWND h = control(w);
    // A user's click cannot reach a window that a modal one has disabled; a message could.
    if (!IsWindowVisible(h) || !IsWindowEnabled(h) || !IsWindowEnabled(control(w, true)))
      fail(w[2] + L" cannot be clicked: it or its window is hidden or disabled");
    // Posted: the click may open a modal box, which this driver itself has to answer.
    PostMessageW(h, BM_CLICK, 0, 0);
  } else if (is(w, L"close", 1)) {
    PostMessageW(control(w, true), WM_SYSCOMMAND, SC_CLOSE, 0);
  } else if (is(w, L"box", 2, 3)) {
    expect([&]() -> std::wstring {
      for (HWND h : topWindows(true)) {
        // A message box is a dialog (class #32770) with the text control the system gives it.
        if (GetClassWord(h, GCW_ATOM) != 32770 || !GetDlgItem(h, 0xFFFF)) continue;
        // Another box will not go away by itself: waiting on would only hide what happened.
        if (textOf(h) != w[1] || textOf(GetDlgItem(h, 0xFFFF)) != w[2])
          fail(L"wanted a box titled " + Quote(w[1]) + L" saying " + Quote(w[2]) + L", found " +
               Quote(textOf(h)) + L" saying " + Quote(textOf(GetDlgItem(h, 0xFFFF))));
        box = h;
        return {};
      }
      return L"no message box";
    });
    if (w.size() > 3) press(w[3]);
  } else if (is(w, L"quiet", 1)) {
    const auto before = topWindows(true);
    expect(
        [&] {
          for (HWND h : topWindows(true))
            if (std::find(before.begin(), before.end(), h) == before.end())
              return L"a window appeared: " + Quote(textOf(h));
          return std::wstring();
        },
        number(w[1]));
  } else if (is(w, L"exit", 1)) {
    DWORD code = STILL_ACTIVE;
    WaitForSingleObject(current.hProcess, timeoutMs);
    GetExitCodeProcess(current.hProcess, &code);
    if (code != static_cast<DWORD>(number(w[1])))
      fail(L"exit code " + std::to_wstring(code) + L" (259: it still runs)");
  } else if (is(w, L"shot", 1)) {
    RECT all{};
    for (HWND h : topWindows(true)) {
      // A program busy in a link call would answer the redraw only afterwards: it is taken as it
      // painted itself before the call.
      if (SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, nullptr))
        RedrawWindow(h, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      RECT r{};
      GetWindowRect(h, &r);
      UnionRect(&all, &all, &r);
    }
    if (IsRectEmpty(&all)) fail(L"the program shows no window to take a picture of");
    // Let the X server catch up with the painting; the script reading the output takes the
    // picture (into --shots, where the scripts removed an older one).
    Sleep(150);
    const LONG left = std::max<LONG>(all.left - 8, 0), top = std::max<LONG>(all.top - 8, 0);
    say(L"@@shot " + w[1] + L" " + std::to_wstring(left) + L" " + std::to_wstring(top) + L" " +
        std::to_wstring(all.right + 8 - left) + L" " + std::to_wstring(all.bottom + 8 - top));
    const std::wstring path = options[L"--shots"] + L"\\" + w[1];
    expect([&] {
      return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? L"no picture yet" : L"";
    });
  } else if (is(w, L"timeout", 1)) {
    timeoutMs = static_cast<DWORD>(number(w[1]));
  } else if (is(w, L"reg-sz", 3) || is(w, L"reg-dword", 3)) {
    const bool text = w[0] == L"reg-sz";
    const DWORD value = text ? 0 : static_cast<DWORD>(number(w[3]));
    const auto size = static_cast<DWORD>(text ? (w[3].size() + 1) * sizeof(wchar_t) : sizeof value);
    if (const LSTATUS rc = RegSetKeyValueW(
            HKEY_CURRENT_USER, w[1].c_str(), w[2].c_str(), text ? REG_SZ : REG_DWORD,
            text ? static_cast<const void*>(w[3].c_str()) : &value, size))
      fail(L"cannot set " + Quote(w[2]) + L": error " + std::to_wstring(rc));
  } else if (is(w, L"reg-delete", 1) || is(w, L"delete-file", 1)) {
    // What is not there is as good as deleted.
    const std::wstring what = expandVariables(w[1]);
    const DWORD rc = w[0] == L"reg-delete"       ? RegDeleteTreeW(HKEY_CURRENT_USER, what.c_str())
                     : DeleteFileW(what.c_str()) ? ERROR_SUCCESS
                                                 : GetLastError();
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
      fail(L"cannot delete " + Quote(what) + L": error " + std::to_wstring(rc));
  } else if (is(w, L"write-file", 1, 1000)) {
    std::wstring text;
    for (auto line = w.begin() + 2; line != w.end(); ++line) text += *line + L"\r\n";
    writeBytes(w[1], utf8(text));
  } else if (is(w, L"keep", 1)) {
    if (!snapshot(w[1])) fail(Quote(w[1]) + L" cannot be read");
    kept[w[1]] = *snapshot(w[1]);
  } else {
    fail(L"no such command, or not with these arguments");
  }
}

// Nothing when the condition holds, else what was seen.
Words unless(bool holds, const std::wstring& seen) { return holds ? Words{} : Words{seen}; }

// How many arguments each check takes: the words after them are what it wants to read.
const std::map<std::wstring, std::size_t> kChecks = {
    {L"visible", 1},  {L"enabled", 2},    {L"checked", 2}, {L"focused", 2},
    {L"text", 2},     {L"shown-text", 2}, {L"bar", 2},     {L"items", 2},
    {L"selected", 2}, {L"item", 3},       {L"fits", 1},    {L"files", 1},
    {L"lines", 1},    {L"log", 1},        {L"same", 2},    {L"size", 1},
    {L"missing", 1},  {L"unchanged", 1},  {L"record", 2},  {L"changed-records", 2}};

// What check `w` reads.
Words read(const Words& w) {
  const std::wstring& c = w[0];
  if (c == L"visible") return {IsWindowVisible(control(w, true)) ? L"1" : L"0"};
  if (c == L"enabled") return {IsWindowEnabled(control(w)) ? L"1" : L"0"};
  if (c == L"checked") return {send(control(w), BM_GETCHECK, 0, 0) == BST_CHECKED ? L"1" : L"0"};
  if (c == L"text") return {textOf(control(w), false)};
  if (c == L"shown-text") return {textOf(control(w))};
  if (c == L"bar") return {std::to_wstring(send(control(w), PBM_GETPOS, 0, 0))};
  if (c == L"files") return tree(w[1]);
  if (c == L"size") return {std::to_wstring(readBytes(w[1]).value_or("").size())};
  if (c == L"record") return recordFields(readBytes(w[1]).value_or(""), number(w[2]));
  if (c == L"missing")
    return unless(GetFileAttributesW(w[1].c_str()) == INVALID_FILE_ATTRIBUTES, L"(it is there)");
  if (c == L"same")
    return unless(readBytes(w[1]) && readBytes(w[1]) == readBytes(w[2]),
                  L"(unreadable or different)");
  if (c == L"items" || c == L"item" || c == L"selected") {
    const Words items = listItems(control(w));
    if (c == L"items") return items;
    const auto i = c == L"item" ? number(w[3]) : send(control(w), LB_GETCURSEL, 0, 0);
    return i >= 0 && i < std::ssize(items) ? Words{items[i]} : Words{};
  }
  if (c == L"focused") {
    // Another thread's focus, without sharing its input queue.
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND h = control(w);
    GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &info);
    return unless(info.hwndFocus == h,
                  L"the focus on control " + std::to_wstring(GetDlgCtrlID(info.hwndFocus)));
  }
  if (c == L"fits") {
    HWND h = control(w, true);
    RECT client;
    GetClientRect(h, &client);
    Words seen = {std::to_wstring(client.right), std::to_wstring(client.bottom)};
    for (HWND child = GetWindow(h, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      RECT r;
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&r), 2);
      if (r.left < 0 || r.top < 0 || r.right > client.right || r.bottom > client.bottom)
        seen.push_back(L"control " + std::to_wstring(GetDlgCtrlID(child)) + L" outside");
    }
    return seen;
  }
  if (c == L"lines" || c == L"log") {
    Words lines = readLines(w[1]);
    for (auto& line : lines) // the run log's lines start with the time
      if (c == L"log" && line.size() > 9 && line[2] == L':' && line[5] == L':') line.erase(0, 9);
    return lines;
  }
  if (c == L"unchanged") {
    if (!kept.count(w[1])) fail(L"'keep' has not seen " + Quote(w[1]));
    const auto now = snapshot(w[1]);
    return unless(now == kept[w[1]], now && now->first == kept[w[1]].first
                                         ? L"(it was written again)"
                                         : L"(its bytes changed)");
  }
  // changed-records
  const auto a = readBytes(w[1]), b = readBytes(w[2]);
  if (!a || !b || a->size() != b->size()) return {L"(unreadable or of other lengths)"};
  Words slots;
  for (std::size_t at = 0; at < a->size(); at += kRecordBytes)
    if (a->compare(at, kRecordBytes, *b, at, kRecordBytes))
      slots.push_back(std::to_wstring(at / kRecordBytes));
  return slots;
}

void run(const Words& w, std::optional<DWORD> hold) {
  if (const auto c = kChecks.find(w[0]); c != kChecks.end() && w.size() > c->second) {
    const Words wanted(w.begin() + 1 + static_cast<std::ptrdiff_t>(c->second), w.end());
    return expect([&] { return mismatch(read(w), wanted, w[0] == L"log"); }, hold);
  }
  if (hold) fail(L"'for' takes a check with its arguments");
  act(w);
}

} // namespace
} // namespace vokuta::drive

int wmain(int argc, wchar_t** argv) {
  using namespace vokuta::drive;
  for (int i = 1; i + 1 < argc; i += 2) options[argv[i]] = argv[i + 1];
  if (options.count(L"--timeout")) timeoutMs = std::stoul(options[L"--timeout"]);
  const Words lines = readLines(options[L"-f"]);
  std::size_t n = 0, first = 0;
  std::wstring source;
  try {
    for (const DWORD begin = GetTickCount(); n < lines.size(); ++n) {
      first = n;
      Words words = splitWords(source = lines[n]);
      // A quoted "<<" ends in a quote: only the bare word opens a block.
      if (!words.empty() && words.back() == L"<<" && source.back() == L'<') {
        words.pop_back();
        for (; ++n < lines.size() && lines[n] != L">>"; source += L"\n" + lines[n])
          words.push_back(lines[n]);
        if (n == lines.size()) fail(L"no line >> ends the block");
      }
      if (words.empty()) continue;
      say(std::to_wstring(GetTickCount() - begin) + L" ms > " + source);
      run(words);
    }
    if (lines.empty())
      fail(L"usage: vokuta-drive [--exe PATH] [--shots DIR] [--timeout MS] -f SCRIPT");
    first = lines.size();
    source = L"(the end of the script)";
    for (auto& [label, p] : programs)
      if (WaitForSingleObject(p.hProcess, 0) != WAIT_OBJECT_0) fail(L"still running: " + label);
  } catch (const std::wstring& message) {
    say(L"vokuta-drive: FAILED at line " + std::to_wstring(first + 1) + L": " + source + L"\n  " +
            message,
        STD_ERROR_HANDLE);
    for (auto& [label, p] : programs) {
      TerminateProcess(p.hProcess, 99);
      WaitForSingleObject(p.hProcess, 5000);
    }
    return 1;
  }
  say(L"vokuta-drive: passed");
  return 0;
}
