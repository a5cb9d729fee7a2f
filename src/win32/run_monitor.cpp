#include "win32/run_monitor.h"

#include "util/file_search.h"
#include "win32/control_ids.h"
#include "win32/win.h"

#include <commctrl.h>

namespace vokuta {
namespace {

namespace id = win32::ids::frm1main;

std::wstring fromCp932(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int n =
      MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

/// A message no window of the installer is sent or posted.
constexpr UINT kNeverPosted = WM_APP + 0x3F00;

std::wstring number(std::int64_t n) { return std::to_wstring(n); }

std::wstring linkArgs(std::int32_t port, std::int32_t option, std::int32_t mode) {
  return number(port) + L" " + number(option) + L" " + number(mode);
}

// A box's text on one line, its line breaks written as "\r\n".
std::wstring oneLine(const std::wstring& text) {
  std::wstring out;
  for (const wchar_t c : text) {
    if (c == L'\r')
      out += L"\\r";
    else if (c == L'\n')
      out += L"\\n";
    else
      out += c;
  }
  return out;
}

std::wstring answerName(int answer) {
  switch (answer) {
  case kOk:
    return L"OK";
  case kCancel:
    return L"Cancel";
  case kRetry:
    return L"Retry";
  case kYes:
    return L"Yes";
  case kNo:
    return L"No";
  default:
    return number(answer);
  }
}

} // namespace

RunMonitor::RunMonitor(LinkLibrary& inner, RunLog& log, std::function<HWND()> mainWindow)
    : inner_(inner), log_(log), mainWindow_(std::move(mainWindow)),
      waitCursor_(LoadCursorW(nullptr, IDC_WAIT)) {}

void RunMonitor::programStarted(const std::wstring& commandLine) {
  log_.write(L"==== " + LocalDateTime() + L" vokuta-setup " VOKUTA_VERSION L" started: " +
             commandLine);
}

void RunMonitor::runStarting(Program& p) {
  run_ = &p;
  plan_.clear();
  totalBytes_ = copiedBytes_ = 0;
  lastEnd_ = 0;
  // The files as the install loop will find them; a file named by two rows counts once.
  MatchList matches;
  int count = 0;
  for (std::size_t row = 0; row < kTableSlots && !p.setupTable[row].terminates(); ++row) {
    const SetupRow& r = p.setupTable[row];
    ListMatchingFiles(p.files, r.SourcePath, r.FileName, matches);
    for (const std::wstring& name : matches) {
      const std::wstring path = r.SourcePath + L"\\" + name;
      const std::uint64_t bytes = p.files.fileLength(path).value_or(0);
      if (plan_.emplace(p.sjis.encode(path), PlannedFile{count + 1, bytes}).second) {
        ++count;
        totalBytes_ += bytes;
      }
    }
  }
  log_.write(L"---- run " + LocalDateTime() + L": Setup.inf " + p.g.SetupInfPath + L", port " +
             number(p.g.PortNumber) + L", " + number(count) + L" files, " +
             number(static_cast<std::int64_t>(totalBytes_)) + L" bytes");
  // The window takes the run's look now, painted under the connect prompt, not after it.
  showProgress(true);
}

void RunMonitor::runReturned() {
  if (!run_) return;
  log_.write(L"outcome: nothing installed, back to the main window");
  run_ = nullptr;
  waitsForUser();
  showProgress(false);
}

void RunMonitor::boxAnswered(const std::wstring& title, const std::wstring& text, int answer) {
  log_.write(L"box \"" + oneLine(title) + L"\" \"" + oneLine(text) + L"\" -> " +
             answerName(answer));
}

void RunMonitor::programEnding() {
  // The closing message goes by the same two facts: the last u_end and the run's failures.
  if (run_)
    log_.write(lastEnd_ == 0 && !run_->g.RunFailed ? L"outcome: installed"
                                                   : L"outcome: the installation failed");
  log_.write(L"==== ended");
}

void RunMonitor::waitsForUser() {
  if (!cursorHeld_) return;
  SetCursor(cursorBefore_);
  cursorHeld_ = false;
}

void RunMonitor::showProgress(bool shown) {
  const HWND main = mainWindow_();
  if (!main || progressShown_ == shown) return;
  progressShown_ = shown;
  // Looked up once: under Wine each lookup asks the server for the window's children.
  label_ = GetDlgItem(main, id::kLblProgress);
  bar_ = GetDlgItem(main, id::kProgress);
  // The hints give way to the progress while a run goes on.
  ShowWindow(GetDlgItem(main, id::kLabel2), shown ? SW_HIDE : SW_SHOW);
  ShowWindow(GetDlgItem(main, id::kLabel3), shown ? SW_HIDE : SW_SHOW);
  if (shown) {
    SetWindowTextW(label_, L"");
    SendMessageW(bar_, PBM_SETRANGE32, 0, 1000);
    SendMessageW(bar_, PBM_SETPOS, 0, 0);
  }
  ShowWindow(label_, shown ? SW_SHOW : SW_HIDE);
  ShowWindow(bar_, shown ? SW_SHOW : SW_HIDE);
}

void RunMonitor::setProgressText(const std::wstring& text) {
  if (!run_) return;
  if (label_) SetWindowTextW(label_, text.c_str());
}

void RunMonitor::setProgressBar() {
  if (!run_ || !bar_ || totalBytes_ == 0) return;
  SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(copiedBytes_ * 1000 / totalBytes_), 0);
}

template <typename Call>
std::int32_t RunMonitor::call(const std::wstring& what, const std::int32_t* status, Call&& f,
                              const std::int32_t* freeBytes) {
  // The call blocks the window thread: what the window shows must be painted before it, and
  // be on the screen. Under Wine what a thread drew reaches the screen when it next looks at its
  // queue; a look for a message that never comes takes nothing from it.
  if (const HWND main = run_ ? mainWindow_() : nullptr) {
    RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    MSG none;
    PeekMessageW(&none, nullptr, kNeverPosted, kNeverPosted, PM_NOREMOVE);
  }
  if (!cursorHeld_) {
    cursorBefore_ = SetCursor(waitCursor_);
    cursorHeld_ = true;
  }
  const std::int32_t result = f();
  // A run stays busy between its calls (the cache copy, the repaint) until it waits for the
  // user; a call outside a run was all there was to wait for.
  if (!run_) waitsForUser();
  log_.write(what + L" -> " + number(result) + L" status " + (status ? number(*status) : L"-") +
             (freeBytes ? L" free " + number(*freeBytes) : L""));
  return result;
}

std::int32_t RunMonitor::u_nego(std::intptr_t window, std::int32_t port, std::int32_t option,
                                std::int32_t mode, std::int32_t* status) {
  setProgressText(L"Vokuta本体に接続しています。");
  return call(L"u_nego " + linkArgs(port, option, mode), status,
              [&] { return inner_.u_nego(window, port, option, mode, status); });
}

std::int32_t RunMonitor::u_end(std::intptr_t window, std::int32_t port, std::int32_t option,
                               std::int32_t mode, std::int32_t* status) {
  lastEnd_ = call(L"u_end " + linkArgs(port, option, mode), status,
                  [&] { return inner_.u_end(window, port, option, mode, status); });
  return lastEnd_;
}

std::int32_t RunMonitor::u_mkdir(std::intptr_t window, std::int32_t port, std::int32_t option,
                                 std::int32_t mode, const std::string& deviceDir,
                                 std::int32_t* status) {
  return call(L"u_mkdir " + linkArgs(port, option, mode) + L" " + fromCp932(deviceDir), status,
              [&] { return inner_.u_mkdir(window, port, option, mode, deviceDir, status); });
}

std::int32_t RunMonitor::u_upload(std::intptr_t window, std::int32_t port, std::int32_t option,
                                  std::int32_t mode, const std::string& pcPath,
                                  const std::string& devicePath, std::int32_t* status) {
  const std::wstring device = fromCp932(devicePath);
  const auto planned = run_ ? plan_.find(pcPath) : plan_.end();
  if (planned != plan_.end())
    setProgressText(L"転送中（" + number(planned->second.number) + L"/" + number(plan_.size()) +
                    L"）: " + device);
  else
    setProgressText(L"転送中: " + device);
  const std::int32_t result =
      call(L"u_upload " + linkArgs(port, option, mode) + L" " + fromCp932(pcPath) + L" " + device,
           status,
           [&] { return inner_.u_upload(window, port, option, mode, pcPath, devicePath, status); });
  // A positive status other than a full memory also means the file is on the device.
  const bool copied = result == 0 || (status && *status > 0 && *status != 5);
  if (planned != plan_.end() && copied && !planned->second.copied) {
    planned->second.copied = true;
    copiedBytes_ += planned->second.bytes;
    setProgressBar();
  }
  return result;
}

std::int32_t RunMonitor::u_download(std::intptr_t window, std::int32_t port, std::int32_t option,
                                    std::int32_t mode, const std::string& devicePath,
                                    const std::string& pcPath, std::int32_t* status) {
  const std::wstring device = fromCp932(devicePath);
  setProgressText(L"読み込み中: " + device);
  return call(
      L"u_download " + linkArgs(port, option, mode) + L" " + device + L" " + fromCp932(pcPath),
      status,
      [&] { return inner_.u_download(window, port, option, mode, devicePath, pcPath, status); });
}

std::int32_t RunMonitor::u_dir(std::intptr_t window, std::int32_t port, std::int32_t option,
                               std::int32_t mode, const std::string& deviceDir, char* buffer,
                               std::int32_t bufferSize, std::int32_t* freeBytes,
                               std::int32_t* status) {
  setProgressText(L"Vokuta本体の空き容量を調べています。");
  return call(
      L"u_dir " + linkArgs(port, option, mode) + L" " + fromCp932(deviceDir) + L" " +
          number(bufferSize),
      status,
      [&] {
        return inner_.u_dir(window, port, option, mode, deviceDir, buffer, bufferSize, freeBytes,
                            status);
      },
      freeBytes);
}

} // namespace vokuta
