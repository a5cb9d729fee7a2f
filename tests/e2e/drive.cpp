// vokuta-drive: works the installer's windows from outside, as a user would, and checks what
// they show. It runs under Wine beside the installer; tests/e2e/run_e2e.sh runs its scenarios.
//
//   vokuta-drive [--exe PATH] [--shots DIR] [--timeout MS] -f SCRIPT
//
// SCRIPT (UTF-8) holds a command a line, its words separated by blanks; a line starting with #
// is a comment. A bare word is taken literally, backslashes included; a quoted word may hold
// blanks and knows the escapes \\ \" \r \n \t and \0. A line ending in a bare "<<" takes the
// lines after it, up to one that is ">>", as further words, one a line, as they stand. The first
// failure ends the run with exit code 1, after ending every program the run started.
//
// The actions:
//   start LABEL [CMDLINE]          starts the installer (--exe); it becomes the current program
//   use LABEL                      makes an earlier started program current again
//   cwd DIR                        working directory of the programs started after it
//   window NAME CONTROL [TITLE]    names the visible top-level window of the current program
//                                  that holds CONTROL (and has the caption TITLE)
//   find NAME CONTROL              the same for a window that may be hidden
//   select NAME CONTROL ITEM       selects a list item; dblclick also double-clicks it
//   key NAME CONTROL KEY [shift] [ctrl] [alt]   types a key into the control (see keyCode)
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
//   delete-file PATH               (the path may name environment variables: %TEMP%)
//   keep PATH                      remembers a file's bytes and last-write time
//
// A check waits up to the timeout for what it reads to equal the words after its arguments,
// and otherwise fails with what it saw. CONTROL "." is the window itself.
//   title NAME                     the window's caption
//   visible NAME                   the window's state, 0 or 1
//   enabled|checked NAME CONTROL   a control's state, 0 or 1
//   focused NAME CONTROL           nothing, when the control has the keyboard focus
//   text NAME CONTROL              a control's text; shown-text reads it without a message, so
//                                  also while the program is busy in a link call
//   bar NAME CONTROL               a progress bar's position
//   items|selected NAME CONTROL    a list box's items, or its selected one
//   item NAME CONTROL INDEX        one item, or nothing after the last one
//   fits NAME                      the client area's width and height, and the controls that
//                                  do not lie inside it
//   files DIR                      every folder (ending in \) and file below DIR, depth first,
//                                  each folder's names in ordinal order, as on disk
//   lines PATH                     a UTF-8 file's lines (the link library's log)
//   log PATH                       the run log's lines without the time each starts with; "*"
//                                  in a wanted line matches any text (the path may name %TEMP%)
//   same PATH OTHER | missing PATH | unchanged PATH    nothing, when the files hold the same
//                                  bytes | there is no such file | it is as `keep` saw it
//   size PATH                      a file's length
//   record PATH SLOT               an association record: suffix, attr, id, font, mmp (numbers
//                                  in hexadecimal), file, app (without trailing zero bytes)
//   changed-records PATH OTHER     the slots whose records differ between the two files
#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "win32/control_ids.h"
#include "win32/win.h"

#include <commctrl.h>

namespace vokuta::drive {
namespace {

using Words = std::vector<std::wstring>;
/// What a check saw when it does not hold; std::nullopt when it holds.
using Problem = std::optional<std::wstring>;

[[noreturn]] void fail(const std::wstring& message) { throw message; }
[[noreturn]] void failWith(const std::wstring& what) {
  fail(L"cannot " + what + L": error " + std::to_wstring(GetLastError()));
}

// The escapes of a quoted word: the letter after the backslash, and what it stands for.
constexpr struct {
  wchar_t letter, character;
} kEscapes[] = {{L'\\', L'\\'}, {L'"', L'"'},  {L'r', L'\r'},
                {L'n', L'\n'},  {L't', L'\t'}, {L'0', L'\0'}};

// With the escapes of a quoted word, so that a CR LF, a zero or a trailing blank shows.
std::wstring Quote(const std::wstring& text) {
  std::wstring out = L"\"";
  for (wchar_t c : text) {
    const auto* e = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                 [&](const auto& k) { return k.character == c; });
    out += e == std::end(kEscapes) ? std::wstring(1, c) : std::wstring{L'\\', e->letter};
  }
  return out + L"\"";
}

wchar_t unescape(wchar_t letter) {
  for (const auto& k : kEscapes)
    if (k.letter == letter) return k.character;
  fail(L"unknown escape in a quoted word");
}

// The words of a script line; fails on a quoted word that is not closed.
Words splitWords(const std::wstring& line) {
  Words words;
  for (std::size_t i = 0; (i = line.find_first_not_of(L" \t", i)) != std::wstring::npos;) {
    if (words.empty() && line[i] == L'#') break;
    std::wstring word;
    if (line[i] != L'"') {
      while (i < line.size() && line[i] != L' ' && line[i] != L'\t') word += line[i++];
    } else {
      for (++i; i < line.size() && line[i] != L'"'; ++i)
        word += line[i] == L'\\' ? unescape(++i < line.size() ? line[i] : L'\0') : line[i];
      if (i++ == line.size()) fail(L"a quoted word is not closed");
    }
    words.push_back(word);
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
  std::string out(text.size() * 3, '\0');
  out.resize(static_cast<std::size_t>(
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                          static_cast<int>(out.size()), nullptr, nullptr)));
  return out;
}

// UTF-8, which is what the scripts reading the output expect whatever Wine's code page.
void emit(DWORD which, const std::wstring& line) {
  const std::string bytes = utf8(line + L"\n");
  DWORD written = 0;
  WriteFile(GetStdHandle(which), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
void say(const std::wstring& line) { emit(STD_OUTPUT_HANDLE, line); }
void complain(const std::wstring& line) { emit(STD_ERROR_HANDLE, line); }

std::optional<std::string> readBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Makes the folders above `path` that are missing, then replaces the file.
void writeBytes(const std::wstring& path, const std::string& bytes) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush())
    fail(L"cannot write " + Quote(path));
}

// A UTF-8 file's lines, without a byte-order mark, the CR of a CR LF and a last empty line;
// std::nullopt when it cannot be read as UTF-8 text.
std::optional<Words> readLines(const std::wstring& path) {
  std::string data = readBytes(path).value_or("\xFF");
  if (data.rfind("\xEF\xBB\xBF", 0) == 0) data.erase(0, 3);
  std::wstring text(data.size(), L'\0');
  text.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, data.data(), static_cast<int>(data.size()),
                          text.data(), static_cast<int>(text.size()))));
  if (text.empty() && !data.empty()) return std::nullopt;
  Words lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find(L'\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    if (!lines.back().empty() && lines.back().back() == L'\r') lines.back().pop_back();
    start = end + 1;
  }
  return lines;
}

std::wstring expandVariables(const std::wstring& text) {
  wchar_t buf[1024];
  const DWORD n = ExpandEnvironmentStringsW(text.c_str(), buf, 1024);
  return n > 0 && n <= 1024 ? std::wstring(buf) : text;
}

// Every folder (ending in a backslash) and file below `dir`, depth first, each folder's names
// in ordinal order, as on disk, so that a check sees their case.
Words tree(const std::filesystem::path& dir) {
  std::error_code error;
  if (!std::filesystem::is_directory(dir, error)) return {L"(no folder)"};
  std::map<std::wstring, bool> entries; // name, whether a folder
  for (const auto& entry : std::filesystem::directory_iterator(dir, error))
    entries[entry.path().filename().wstring()] = entry.is_directory();
  Words out;
  for (const auto& [name, folder] : entries) {
    out.push_back(name + (folder ? L"\\" : L""));
    for (const auto& below : folder ? tree(dir / name) : Words{})
      out.push_back(name + L"\\" + below);
  }
  return out;
}

// An association record: suffix 4 bytes, attr 2, id 2, font 2, mmp 4 (little-endian), file 8,
// app 32; the texts padded with zero bytes.
constexpr std::size_t kRecordBytes = 54;
constexpr std::size_t kFieldAt[] = {0, 4, 6, 8, 10, 14, 22, 54};

// Record `slot` as words: numbers in upper-case hexadecimal, texts without their trailing zero
// bytes, a byte that is no ASCII character as U+FFFD.
Words recordFields(const std::string& file, std::size_t slot) {
  if (file.size() < (slot + 1) * kRecordBytes)
    return {L"(the file has " + std::to_wstring(file.size()) + L" bytes)"};
  Words fields;
  for (std::size_t f = 0; f < 7; ++f) {
    std::string field =
        file.substr(slot * kRecordBytes + kFieldAt[f], kFieldAt[f + 1] - kFieldAt[f]);
    std::wstring word;
    if (f > 0 && f < 5)
      for (auto c = field.rbegin(); c != field.rend(); ++c)
        word += {L"0123456789ABCDEF"[(*c >> 4) & 15], L"0123456789ABCDEF"[*c & 15]};
    else
      for (const unsigned char c : field.substr(0, field.find_last_not_of('\0') + 1))
        word += c < 0x80 ? static_cast<wchar_t>(c) : L'\xFFFD';
    fields.push_back(word);
  }
  return fields;
}

// An association file of `count` records: slots 0..2 hold the device's own associations (.EXF,
// .INI, .BMP), slot 3 is empty, and every slot k from 4 on is taken by the made-up suffix ".Xkk"
// (kk two decimal digits): attr 0, id 0, font 0900 + k, mmp 00300000 + k * 100 (hexadecimal),
// no file, app \SYSTEM\APPS\Xkk.EXF.
std::string madeUpRavuz(int count) {
  std::string out;
  const auto put = [&](std::string suffix, int attr, int id, int font, int mmp, std::string app) {
    // Little-endian, as this machine keeps its numbers.
    const auto bytes = [](int value, std::size_t n) {
      return std::string(reinterpret_cast<char*>(&value), n);
    };
    suffix.resize(4);
    app.resize(32);
    out += suffix + bytes(attr, 2) + bytes(id, 2) + bytes(font, 2) + bytes(mmp, 4) +
           std::string(8, '\0') + app;
  };
  put(".EXF", 1, 1, 0x0801, 0x00200000, "\\SYSTEM\\SHELL.EXF");
  put(".INI", 1, 2, 0x0802, 0x00200100, "\\SYSTEM\\EDIT.EXF");
  put(".BMP", 1, 3, 0x0803, 0x00200200, "\\SYSTEM\\VIEW.EXF");
  put("", 0, 0, 0, 0, "");
  for (int k = 4; k < count; ++k) {
    const std::string kk = {static_cast<char>('0' + k / 10), static_cast<char>('0' + k % 10)};
    put(".X" + kk, 0, 0, 0x0900 + k, 0x00300000 + k * 0x100, "\\SYSTEM\\APPS\\X" + kk + ".EXF");
  }
  return out;
}

// `*` matches any text, every other character itself.
bool matches(const wchar_t* pattern, const wchar_t* text) {
  if (*pattern == L'*') return matches(pattern + 1, text) || (*text && matches(pattern, text + 1));
  if (*pattern == 0) return *text == 0;
  return *pattern == *text && matches(pattern + 1, text + 1);
}

// Where what was seen parts from what is wanted, then all that was seen.
Problem mismatch(const Words& seen, const Words& wanted, bool patterns = false) {
  std::size_t i = 0;
  while (i < wanted.size() && i < seen.size() &&
         (patterns ? matches(wanted[i].c_str(), seen[i].c_str()) : wanted[i] == seen[i]))
    ++i;
  if (i == wanted.size() && i == seen.size()) return std::nullopt;
  const auto at = [i](const Words& list) { return i < list.size() ? Quote(list[i]) : L"no more"; };
  std::wstring all;
  for (const auto& s : seen) all += L"\n    " + Quote(s);
  return L"wanted " + at(wanted) + L", found " + at(seen) + L" (word " + std::to_wstring(i + 1) +
         L"); all found:" + (all.empty() ? L" nothing" : all);
}

// How long a window may take to answer a sent message; a longer --timeout raises it, since a
// program under emulation (the release build) can be slow to answer on a busy machine. A program
// that has not looked at its messages for a while (a cold start) is waited for all the same.
DWORD answerLimitMs = 10000;

std::wstring className(HWND h) {
  wchar_t buf[256] = {};
  GetClassNameW(h, buf, 256);
  return buf;
}

LRESULT send(HWND h, UINT message, WPARAM w, LPARAM l) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(h, message, w, l, SMTO_NORMAL, answerLimitMs, &result))
    fail(L"a " + className(h) + L" did not answer within " + std::to_wstring(answerLimitMs) +
         L" ms");
  return static_cast<LRESULT>(result);
}

void post(HWND h, UINT message, WPARAM w, LPARAM l) {
  if (!PostMessageW(h, message, w, l)) failWith(L"post a message");
}

std::wstring controlText(HWND h) {
  std::wstring buf(static_cast<std::size_t>(send(h, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  const auto got = send(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(std::min(static_cast<std::size_t>(got), buf.size() - 1));
  return buf;
}

// A window's text as Windows keeps it, without a message to the program (which may be busy).
std::wstring storedText(HWND h) {
  wchar_t buf[1024] = {};
  InternalGetWindowText(h, buf, 1024);
  return buf;
}

Words listItems(HWND list) {
  const LRESULT count = send(list, LB_GETCOUNT, 0, 0);
  if (count == LB_ERR) fail(L"the control is not a list box");
  Words items;
  for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
    std::wstring buf(static_cast<std::size_t>(send(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    buf.resize(
        static_cast<std::size_t>(send(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf.data()))));
    items.push_back(buf);
  }
  return items;
}

// The top-level windows of process `pid`, the visible ones only if `visible`.
std::vector<HWND> topWindows(DWORD pid, bool visible = false) {
  std::vector<HWND> found;
  for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == pid && (!visible || IsWindowVisible(h))) found.push_back(h);
  }
  return found;
}

// Controls may sit inside a frame window, so the whole tree below the window is searched.
HWND findControl(HWND parent, int id) {
  for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (HWND found = GetDlgCtrlID(h) == id ? h : findControl(h, id)) return found;
  return nullptr;
}

bool isMessageBox(HWND h) { return className(h) == L"#32770" && GetDlgItem(h, 0xFFFF); }

std::wstring describeWindow(HWND h) {
  return std::wstring(IsWindowVisible(h) ? L"visible " : L"hidden  ") + L"class " +
         Quote(className(h)) + L" caption " + Quote(storedText(h)) +
         (isMessageBox(h) ? L" text " + Quote(storedText(GetDlgItem(h, 0xFFFF))) : L"");
}

// A control named after the installer's forms, "(N)" naming the N-th of an array of them; or a
// number.
int controlId(const std::wstring& name) {
  namespace ids = vokuta::win32::ids;
#define VOKUTA_CONTROL(form, space, control)                                                       \
  { L"" #form "." #control, ids::space::k##control }
  static const std::map<std::wstring, int> kNames = {
      VOKUTA_CONTROL(Frm1Main, frm1main, List1),
      VOKUTA_CONTROL(Frm1Main, frm1main, LblSize),
      VOKUTA_CONTROL(Frm1Main, frm1main, Cmd戻る),
      VOKUTA_CONTROL(Frm1Main, frm1main, Cmd次へ),
      VOKUTA_CONTROL(Frm1Main, frm1main, Cmdキャンセル),
      VOKUTA_CONTROL(Frm1Main, frm1main, LblProgress),
      VOKUTA_CONTROL(Frm1Main, frm1main, Progress),
      VOKUTA_CONTROL(Frm2List, frm2list, List1),
      VOKUTA_CONTROL(Frm2List, frm2list, Lab追加),
      VOKUTA_CONTROL(Frm2List, frm2list, CmdOK),
      VOKUTA_CONTROL(Frm3Port, frm3port, Cmd戻る),
      VOKUTA_CONTROL(Frm3Port, frm3port, Cmd開始),
      VOKUTA_CONTROL(Frm3Port, frm3port, Cmdキャンセル),
      VOKUTA_CONTROL(Frm3Port, frm3port, Optポート),
      VOKUTA_CONTROL(Frm4Text, frm4text, Text1),
      VOKUTA_CONTROL(Frm4Text, frm4text, CmdOK),
      VOKUTA_CONTROL(Frm4Text, frm4text, Cmdキャンセル)};
#undef VOKUTA_CONTROL
  const std::size_t open = std::min(name.find(L'('), name.size());
  if (const auto it = kNames.find(name.substr(0, open)); it != kNames.end())
    return it->second +
           (open < name.size() ? number(name.substr(open + 1, name.size() - open - 2)) : 0);
  if (name.empty() || name[0] < L'1' || name[0] > L'9') fail(L"unknown control " + Quote(name));
  return number(name);
}

WORD keyCode(const std::wstring& name) {
  static const std::map<std::wstring, WORD> kKeys = {
      {L"delete", VK_DELETE}, {L"escape", VK_ESCAPE}, {L"up", VK_UP},   {L"down", VK_DOWN},
      {L"shift", VK_SHIFT},   {L"ctrl", VK_CONTROL},  {L"alt", VK_MENU}};
  if (const auto it = kKeys.find(name); it != kKeys.end()) return it->second;
  if (name.size() != 1 || name[0] < L'a' || name[0] > L'z') fail(L"unknown key " + Quote(name));
  return static_cast<WORD>(name[0] - L'a' + L'A');
}

void setValue(const Words& w, DWORD type, const void* data, std::size_t size) {
  if (const LSTATUS rc = RegSetKeyValueW(HKEY_CURRENT_USER, w[1].c_str(), w[2].c_str(), type, data,
                                         static_cast<DWORD>(size)))
    fail(L"cannot set " + Quote(w[2]) + L": error " + std::to_wstring(rc));
}

// A file's bytes and last-write time (to the 100 ns that Windows keeps).
std::optional<std::pair<std::string, ULONGLONG>> snapshot(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  const auto bytes = readBytes(path);
  if (!bytes || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
    return std::nullopt;
  const FILETIME t = data.ftLastWriteTime;
  return std::pair(*bytes, ULONGLONG{t.dwHighDateTime} << 32 | t.dwLowDateTime);
}

struct Program {
  std::wstring label;
  HANDLE process = nullptr;
  DWORD pid = 0;
};

// The state a script works on; the commands themselves are in the tables below.
struct Driver {
  ~Driver() {
    for (Program& p : programs) CloseHandle(p.process);
  }

  /// Runs one command; with `hold` (after `for`), a check that must hold all that time.
  void run(const Words& w, std::optional<DWORD> hold = {});

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

  /// Waits until `check` holds (or, with `hold`, that it holds all that time), else fails.
  void expect(const std::function<Problem()>& check, std::optional<DWORD> hold = {}) {
    for (const DWORD begin = GetTickCount();; Sleep(20)) {
      const Problem bad = check();
      const DWORD spent = GetTickCount() - begin;
      if (hold && bad) fail(L"stopped holding after " + std::to_wstring(spent) + L" ms: " + *bad);
      if (hold ? spent >= *hold : !bad) return;
      if (!hold && spent >= timeoutMs)
        fail(L"did not happen within " + std::to_wstring(timeoutMs) + L" ms: " + *bad);
    }
  }

  /// Waits until `holds` answers true, else fails saying `otherwise`.
  void expectThat(const std::function<bool()>& holds, const std::wstring& otherwise) {
    expect([&]() -> Problem {
      if (holds()) return std::nullopt;
      return otherwise;
    });
  }

  HWND window(const std::wstring& name) {
    const auto it = windows.find(name);
    if (it == windows.end()) fail(L"no window is named " + Quote(name));
    if (!IsWindow(it->second)) fail(L"window " + Quote(name) + L" no longer exists");
    return it->second;
  }

  HWND control(const std::wstring& name, const std::wstring& id) {
    if (id == L".") return window(name);
    HWND h = findControl(window(name), controlId(id));
    if (!h) fail(L"window " + Quote(name) + L" has no control " + id);
    return h;
  }

  // Names the top-level window of `window NAME CONTROL [TITLE]` or `find NAME CONTROL`.
  void nameWindow(const Words& w, bool visible) {
    const int id = controlId(w[2]);
    expect([&]() -> Problem {
      for (HWND h : topWindows(current().pid, visible))
        if (findControl(h, id) && (w.size() < 4 || storedText(h) == w[3])) {
          windows[w[1]] = h;
          return std::nullopt;
        }
      return L"no such window";
    });
  }

  void start(const std::wstring& label, const std::wstring& args) {
    if (exe.empty()) fail(L"'start' needs --exe PATH");
    std::wstring commandLine = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        cwd.empty() ? nullptr : cwd.c_str(), &si, &pi))
      failWith(L"start " + Quote(exe));
    CloseHandle(pi.hThread);
    currentProgram = &programs.emplace_back(Program{label, pi.hProcess, pi.dwProcessId});
  }

  // The program reads Shift, Ctrl and Alt with GetKeyState, which answers from the key state of
  // its own input queue as it was when the key message was taken from it. Posted key messages
  // leave that state alone, so the keys go in as real input: this thread shares the program's
  // input queue for the moment, gives the control the focus and sends the keys.
  void typeKey(HWND target, WORD key, const std::vector<WORD>& modifiers) {
    const DWORD thread = GetWindowThreadProcessId(target, nullptr);
    const DWORD self = GetCurrentThreadId();
    if (!AttachThreadInput(self, thread, TRUE)) failWith(L"share the program's input");
    struct Detach {
      DWORD self, thread;
      ~Detach() { AttachThreadInput(self, thread, FALSE); }
    } detach{self, thread};

    // A window that has only just appeared may still be in the middle of its activation.
    expectThat(
        [&] {
          SetForegroundWindow(GetAncestor(target, GA_ROOT));
          SetFocus(target);
          return GetFocus() == target;
        },
        L"the control does not take the focus");

    const auto press = [](WORD vk, DWORD up) {
      const bool extended = vk == VK_DELETE || (vk >= VK_LEFT && vk <= VK_DOWN);
      keybd_event(static_cast<BYTE>(vk), static_cast<BYTE>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)),
                  up | (extended ? KEYEVENTF_EXTENDEDKEY : 0), 0);
    };
    for (WORD m : modifiers) press(m, 0);
    press(key, 0);
    press(key, KEYEVENTF_KEYUP);
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) press(*m, KEYEVENTF_KEYUP);

    // A thread takes its messages in a fixed order: sent, posted, input, then painting. Once a
    // window invalidated now has been painted, its thread has taken every key queued before.
    RedrawWindow(target, nullptr, nullptr, RDW_INVALIDATE);
    expectThat([&] { return !GetUpdateRect(target, nullptr, FALSE); },
               L"the program has not taken the keys (the control is not painted again)");
  }

  void screenshot(const std::wstring& file) {
    if (shots.empty()) fail(L"'shot' needs --shots DIR");
    const std::wstring path = shots + L"\\" + file;
    DeleteFileW(path.c_str());
    RECT all{};
    for (HWND h : topWindows(current().pid, true)) {
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
    // Let the X server catch up with the painting before the picture is taken.
    Sleep(150);
    const LONG left = std::max<LONG>(all.left - 8, 0), top = std::max<LONG>(all.top - 8, 0);
    say(L"@@shot " + file + L" " + std::to_wstring(left) + L" " + std::to_wstring(top) + L" " +
        std::to_wstring(all.right + 8 - left) + L" " + std::to_wstring(all.bottom + 8 - top));
    expectThat([&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; },
               L"no screenshot " + Quote(path) + L" yet");
  }

  // Selects ITEM in the list box of `select NAME CONTROL ITEM`; the list.
  HWND selectItem(const Words& w) {
    HWND list = control(w[1], w[2]);
    const auto items = listItems(list);
    const auto index = std::find(items.begin(), items.end(), w[3]) - items.begin();
    if (index == static_cast<std::ptrdiff_t>(items.size()) ||
        send(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0) == LB_ERR)
      fail(L"cannot select the item: " + mismatch(items, {w[3]}).value_or(L""));
    return list;
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
    expectThat([&] { return !IsWindow(open) || !IsWindowVisible(open); }, L"the box is still open");
  }

  /// Ends every started program that still runs; returns their labels.
  Words endPrograms() {
    Words running;
    for (Program& p : programs) {
      if (WaitForSingleObject(p.process, 0) == WAIT_OBJECT_0) continue;
      running.push_back(p.label);
      TerminateProcess(p.process, 99);
      WaitForSingleObject(p.process, 5000);
    }
    return running;
  }

  /// What the current program shows, for a failure report.
  void report() {
    if (!currentProgram) return;
    complain(L"windows of " + Quote(currentProgram->label) + L":");
    for (HWND h : topWindows(currentProgram->pid)) complain(L"  " + describeWindow(h));
    if (const auto code = exitCode())
      complain(L"  (ended with exit code " + std::to_wstring(*code) + L")");
  }

  std::wstring exe, shots, cwd;
  DWORD timeoutMs = 10000;
  std::map<std::wstring, std::pair<std::string, ULONGLONG>> kept; ///< by path, as `keep` had it
  std::deque<Program> programs; ///< a deque: currentProgram stays valid as programs are added
  Program* currentProgram = nullptr;
  std::map<std::wstring, HWND> windows;
  HWND box = nullptr; ///< the message box met last, until it is answered
};

constexpr std::size_t kMany = 1000;

struct Action {
  const wchar_t* name;
  std::size_t least, most; ///< how many arguments follow the name
  void (*act)(Driver&, const Words&);
};

const Action kActions[] = {
    {L"start", 1, 2, [](auto& d, auto& w) { d.start(w[1], w.size() > 2 ? w[2] : L""); }},
    {L"use", 1, 1,
     [](auto& d, auto& w) {
       const auto it = std::find_if(d.programs.begin(), d.programs.end(),
                                    [&](const Program& p) { return p.label == w[1]; });
       if (it == d.programs.end()) fail(L"no program is labelled " + Quote(w[1]));
       d.currentProgram = &*it;
     }},
    {L"cwd", 1, 1, [](auto& d, auto& w) { d.cwd = w[1]; }},
    {L"window", 2, 3, [](auto& d, auto& w) { d.nameWindow(w, true); }},
    {L"find", 2, 2, [](auto& d, auto& w) { d.nameWindow(w, false); }},
    {L"select", 3, 3, [](auto& d, auto& w) { d.selectItem(w); }},
    {L"dblclick", 3, 3,
     [](auto& d, auto& w) {
       HWND list = d.selectItem(w);
       // The mouse message goes to the list itself, which tells its parent as it does for a user.
       const auto index = send(list, LB_GETCURSEL, 0, 0);
       const auto height = send(list, LB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0);
       const auto y =
           static_cast<int>((index - send(list, LB_GETTOPINDEX, 0, 0)) * height + height / 2);
       post(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, y));
       post(list, WM_LBUTTONUP, 0, MAKELPARAM(4, y));
     }},
    {L"key", 3, 6,
     [](auto& d, auto& w) {
       std::vector<WORD> modifiers;
       for (std::size_t i = 4; i < w.size(); ++i) modifiers.push_back(keyCode(w[i]));
       d.typeKey(d.control(w[1], w[2]), keyCode(w[3]), modifiers);
     }},
    {L"settext", 3, 3,
     [](auto& d, auto& w) {
       if (!send(d.control(w[1], w[2]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w[3].c_str())))
         fail(L"the control refused the text");
     }},
    {L"click", 2, 2,
     [](auto& d, auto& w) {
       HWND h = d.control(w[1], w[2]);
       // A user's click cannot reach a window that a modal one has disabled; a message could.
       if (!IsWindowVisible(h) || !IsWindowEnabled(h) || !IsWindowEnabled(d.window(w[1])))
         fail(w[2] + L" cannot be clicked: it or its window is hidden or disabled");
       // Posted: the click may open a modal box, which this driver itself has to answer.
       post(h, BM_CLICK, 0, 0);
     }},
    {L"close", 1, 1, [](auto& d, auto& w) { post(d.window(w[1]), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    {L"box", 2, 3,
     [](auto& d, auto& w) {
       d.expect([&]() -> Problem {
         for (HWND h : topWindows(d.current().pid, true)) {
           if (!isMessageBox(h)) continue;
           // Another box will not go away by itself: waiting on would only hide what happened.
           if (storedText(h) != w[1] || storedText(GetDlgItem(h, 0xFFFF)) != w[2])
             fail(L"wanted a box titled " + Quote(w[1]) + L" saying " + Quote(w[2]) + L", found " +
                  describeWindow(h));
           d.box = h;
           return std::nullopt;
         }
         return L"no message box";
       });
       if (w.size() > 3) d.press(w[3]);
     }},
    {L"answer", 1, 1, [](auto& d, auto& w) { d.press(w[1]); }},
    {L"quiet", 1, 1,
     [](auto& d, auto& w) {
       const auto before = topWindows(d.current().pid, true);
       for (const DWORD begin = GetTickCount();
            GetTickCount() - begin < static_cast<DWORD>(number(w[1]));) {
         for (HWND h : topWindows(d.current().pid, true))
           if (std::find(before.begin(), before.end(), h) == before.end())
             fail(L"a window appeared: " + describeWindow(h));
         if (WaitForSingleObject(d.current().process, 20) == WAIT_OBJECT_0) break;
       }
     }},
    {L"exit", 1, 1,
     [](auto& d, auto& w) {
       if (WaitForSingleObject(d.current().process, d.timeoutMs) != WAIT_OBJECT_0)
         fail(L"the program still runs after " + std::to_wstring(d.timeoutMs) + L" ms");
       if (d.exitCode() != static_cast<DWORD>(number(w[1]))) fail(L"it ended with another code");
     }},
    {L"shot", 1, 1, [](auto& d, auto& w) { d.screenshot(w[1]); }},
    {L"timeout", 1, 1, [](auto& d, auto& w) { d.timeoutMs = static_cast<DWORD>(number(w[1])); }},
    {L"for", 2, kMany,
     [](auto& d, auto& w) {
       d.run({w.begin() + 2, w.end()}, number(w[1]));
     }},
    {L"reg-sz", 3, 3,
     [](auto&, auto& w) {
       setValue(w, REG_SZ, w[3].c_str(), (w[3].size() + 1) * sizeof(wchar_t));
     }},
    {L"reg-dword", 3, 3,
     [](auto&, auto& w) {
       const auto value = static_cast<DWORD>(number(w[3]));
       setValue(w, REG_DWORD, &value, sizeof value);
     }},
    {L"reg-delete", 1, 1,
     [](auto&, auto& w) {
       const LSTATUS rc = RegDeleteTreeW(HKEY_CURRENT_USER, w[1].c_str());
       if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
         fail(L"cannot delete " + Quote(w[1]) + L": error " + std::to_wstring(rc));
     }},
    {L"write-file", 1, kMany,
     [](auto&, auto& w) {
       std::wstring text;
       for (auto line = w.begin() + 2; line != w.end(); ++line) text += *line + L"\r\n";
       writeBytes(w[1], utf8(text));
     }},
    {L"write-ravuz", 2, 2, [](auto&, auto& w) { writeBytes(w[1], madeUpRavuz(number(w[2]))); }},
    {L"delete-file", 1, 1,
     [](auto&, auto& w) {
       const std::wstring path = expandVariables(w[1]);
       if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
         failWith(L"delete " + Quote(path));
     }},
    {L"keep", 1, 1,
     [](auto& d, auto& w) {
       const auto now = snapshot(w[1]);
       if (!now) fail(Quote(w[1]) + L" cannot be read");
       d.kept[w[1]] = *now;
     }},
};

struct Check {
  const wchar_t* name;
  std::size_t arguments; ///< the words after them are what the check wants to read
  Words (*read)(Driver&, const Words&);
};

Words flag(bool value) { return {value ? L"1" : L"0"}; }
// Nothing when the condition holds, else what was seen.
Words unless(bool holds, const std::wstring& seen) { return holds ? Words{} : Words{seen}; }
// Item `index` of a list box, or nothing when it has no such item.
Words itemAt(HWND list, std::size_t index) {
  const auto items = listItems(list);
  return index < items.size() ? Words{items[index]} : Words{};
}
Words linesOf(const std::wstring& path) {
  return readLines(path).value_or(Words{L"(no UTF-8 text)"});
}

const Check kChecks[] = {
    {L"title", 1, [](auto& d, auto& w) { return Words{storedText(d.window(w[1]))}; }},
    {L"visible", 1, [](auto& d, auto& w) { return flag(IsWindowVisible(d.window(w[1]))); }},
    {L"enabled", 2, [](auto& d, auto& w) { return flag(IsWindowEnabled(d.control(w[1], w[2]))); }},
    {L"checked", 2,
     [](auto& d, auto& w) {
       return flag(send(d.control(w[1], w[2]), BM_GETCHECK, 0, 0) == BST_CHECKED);
     }},
    {L"focused", 2,
     [](auto& d, auto& w) {
       HWND h = d.control(w[1], w[2]);
       // GetFocus answers for the input queue this thread is attached to.
       const DWORD thread = GetWindowThreadProcessId(h, nullptr);
       AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
       HWND focus = GetFocus();
       AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
       return unless(focus == h, L"the focus on control " + std::to_wstring(GetDlgCtrlID(focus)));
     }},
    {L"text", 2, [](auto& d, auto& w) { return Words{controlText(d.control(w[1], w[2]))}; }},
    {L"shown-text", 2, [](auto& d, auto& w) { return Words{storedText(d.control(w[1], w[2]))}; }},
    {L"bar", 2,
     [](auto& d, auto& w) {
       return Words{std::to_wstring(send(d.control(w[1], w[2]), PBM_GETPOS, 0, 0))};
     }},
    {L"items", 2, [](auto& d, auto& w) { return listItems(d.control(w[1], w[2])); }},
    {L"selected", 2,
     [](auto& d, auto& w) {
       HWND list = d.control(w[1], w[2]);
       return itemAt(list, static_cast<std::size_t>(send(list, LB_GETCURSEL, 0, 0)));
     }},
    {L"item", 3,
     [](auto& d, auto& w) {
       return itemAt(d.control(w[1], w[2]), static_cast<std::size_t>(number(w[3])));
     }},
    {L"fits", 1,
     [](auto& d, auto& w) {
       HWND h = d.window(w[1]);
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
     }},
    {L"files", 1, [](auto&, auto& w) { return tree(w[1]); }},
    {L"lines", 1, [](auto&, auto& w) { return linesOf(w[1]); }},
    {L"log", 1,
     [](auto&, auto& w) {
       Words lines = linesOf(expandVariables(w[1]));
       for (auto& line : lines)
         if (line.size() > 9 && line[2] == L':' && line[5] == L':') line.erase(0, 9);
       return lines;
     }},
    {L"same", 2,
     [](auto&, auto& w) {
       const auto a = readBytes(w[1]), b = readBytes(w[2]);
       return unless(a && b && *a == *b, L"(unreadable or different)");
     }},
    {L"size", 1,
     [](auto&, auto& w) {
       const auto bytes = readBytes(w[1]);
       return Words{bytes ? std::to_wstring(bytes->size()) : L"(unreadable)"};
     }},
    {L"missing", 1,
     [](auto&, auto& w) {
       return unless(GetFileAttributesW(w[1].c_str()) == INVALID_FILE_ATTRIBUTES, L"(it is there)");
     }},
    {L"unchanged", 1,
     [](auto& d, auto& w) {
       if (!d.kept.count(w[1])) fail(L"'keep' has not seen " + Quote(w[1]));
       const auto now = snapshot(w[1]), then = d.kept[w[1]];
       if (!now || now->first != then.first) return Words{L"(its bytes changed)"};
       return unless(now->second == then.second, L"(it was written again)");
     }},
    {L"record", 2,
     [](auto&, auto& w) { return recordFields(readBytes(w[1]).value_or(""), number(w[2])); }},
    {L"changed-records", 2,
     [](auto&, auto& w) {
       const auto a = readBytes(w[1]), b = readBytes(w[2]);
       if (!a || !b || a->size() != b->size()) return Words{L"(unreadable or of other lengths)"};
       Words slots;
       for (std::size_t at = 0; at < a->size(); at += kRecordBytes)
         if (a->compare(at, kRecordBytes, *b, at, kRecordBytes))
           slots.push_back(std::to_wstring(at / kRecordBytes));
       return slots;
     }},
};

void Driver::run(const Words& w, std::optional<DWORD> hold) {
  for (const Check& c : kChecks)
    if (w[0] == c.name && w.size() > c.arguments) {
      const Words wanted(w.begin() + 1 + static_cast<std::ptrdiff_t>(c.arguments), w.end());
      return expect([&] { return mismatch(c.read(*this, w), wanted, w[0] == L"log"); }, hold);
    }
  for (const Action& a : kActions)
    if (w[0] == a.name && !hold && w.size() > a.least && w.size() <= a.most + 1)
      return a.act(*this, w);
  fail(L"no such command, or not with these arguments" +
       std::wstring(hold ? L" after 'for', which takes a check" : L""));
}

struct Command {
  std::size_t line;
  std::wstring source;
  Words words{};
};

// The commands of a script; fails naming the line that cannot be read.
std::vector<Command> parseScript(const std::wstring& path) {
  const auto lines = readLines(path);
  if (!lines) fail(L"cannot read " + Quote(path) + L" as UTF-8 text");
  std::vector<Command> commands;
  for (std::size_t n = 0; n < lines->size(); ++n) {
    Command c{n + 1, (*lines)[n]};
    try {
      c.words = splitWords(c.source);
    } catch (const std::wstring& message) {
      fail(L"line " + std::to_wstring(c.line) + L": " + message);
    }
    if (c.words.empty()) continue;
    // A quoted "<<" ends in a quote: only the bare word opens a block.
    if (c.words.back() == L"<<" && c.source.back() == L'<') {
      c.words.pop_back();
      while (++n < lines->size() && (*lines)[n] != L">>") {
        c.words.push_back((*lines)[n]);
        c.source += L"\n" + (*lines)[n];
      }
      if (n == lines->size())
        fail(L"line " + std::to_wstring(c.line) + L": no line >> ends the block");
    }
    commands.push_back(c);
  }
  return commands;
}

} // namespace
} // namespace vokuta::drive

int wmain(int argc, wchar_t** argv) {
  using namespace vokuta::drive;
  std::map<std::wstring, std::wstring> options;
  for (int i = 1; i + 1 < argc; i += 2) options[argv[i]] = argv[i + 1];
  Driver d;
  d.exe = options[L"--exe"];
  d.shots = options[L"--shots"];
  std::vector<Command> script;
  try {
    if (options.count(L"--timeout"))
      d.timeoutMs = static_cast<DWORD>(number(options[L"--timeout"]));
    answerLimitMs = std::max(answerLimitMs, d.timeoutMs);
    script = parseScript(options[L"-f"]);
  } catch (const std::wstring& message) {
    complain(L"vokuta-drive: " + message +
             L"\nusage: vokuta-drive [--exe PATH] [--shots DIR] [--timeout MS] -f SCRIPT");
    return 2;
  }
  const DWORD begin = GetTickCount();
  for (const Command& c : script) {
    say(std::to_wstring(GetTickCount() - begin) + L" ms > " + c.source);
    try {
      d.run(c.words);
    } catch (const std::wstring& message) {
      complain(L"vokuta-drive: FAILED at line " + std::to_wstring(c.line) + L": " + c.source +
               L"\n  " + message);
      d.report();
      d.endPrograms();
      return 1;
    }
  }
  if (const auto running = d.endPrograms(); !running.empty()) {
    complain(L"vokuta-drive: FAILED: still running at the end of the script: " + running[0]);
    return 1;
  }
  say(L"vokuta-drive: passed");
  return 0;
}
