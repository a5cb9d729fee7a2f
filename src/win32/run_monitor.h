#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/link_library.h"
#include "state/program.h"
#include "win32/run_log.h"

struct HWND__;
struct HICON__;

namespace vokuta {

/// Watches the installer for the user, between the program and the link library: every link
/// call, message box and run goes to the run log, and during a run the main window shows the
/// file being copied, how many of how many, and a progress bar by bytes, with the wait cursor
/// from its first link call until it waits for the user. The calls stay on the window thread, as
/// the link library expects; before each, the main window is repainted and put on the screen.
///
/// The run's files and their sizes come from the program's tables when the run starts, found
/// as the install loop finds them, so an upload is recognised by its PC path.
class RunMonitor final : public LinkLibrary {
public:
  /// `mainWindow` gives the main window once it exists.
  RunMonitor(LinkLibrary& inner, RunLog& log, std::function<HWND__*()> mainWindow);

  /// The first line of a session: the date, the version, the command line.
  void programStarted(const std::wstring& commandLine);
  /// The main window's Next: a run of `p` begins, and the progress replaces the hints.
  void runStarting(Program& p);
  /// The run came back to the main window: the window looks as before it.
  void runReturned();
  /// A message box was answered (kOk, kYes, ...).
  void boxAnswered(const std::wstring& title, const std::wstring& text, int answer);
  /// The program ends now; during a run, with the run's outcome.
  void programEnding();
  /// A box or a modal form is about to wait for the user: the cursor is the one before the wait
  /// cursor.
  void waitsForUser();

  std::int32_t u_nego(std::intptr_t window, std::int32_t port, std::int32_t option,
                      std::int32_t mode, std::int32_t* status) override;
  std::int32_t u_end(std::intptr_t window, std::int32_t port, std::int32_t option,
                     std::int32_t mode, std::int32_t* status) override;
  std::int32_t u_mkdir(std::intptr_t window, std::int32_t port, std::int32_t option,
                       std::int32_t mode, const std::string& deviceDir,
                       std::int32_t* status) override;
  std::int32_t u_upload(std::intptr_t window, std::int32_t port, std::int32_t option,
                        std::int32_t mode, const std::string& pcPath, const std::string& devicePath,
                        std::int32_t* status) override;
  std::int32_t u_download(std::intptr_t window, std::int32_t port, std::int32_t option,
                          std::int32_t mode, const std::string& devicePath,
                          const std::string& pcPath, std::int32_t* status) override;
  std::int32_t u_dir(std::intptr_t window, std::int32_t port, std::int32_t option,
                     std::int32_t mode, const std::string& deviceDir, char* buffer,
                     std::int32_t bufferSize, std::int32_t* freeBytes,
                     std::int32_t* status) override;

private:
  struct PlannedFile {
    int number;          ///< 1 for the first file of the run
    std::uint64_t bytes; ///< its length when the run started
    bool copied = false;
  };

  /// Runs one link call: the repainted window and the wait cursor before it, its log line
  /// (with the free space when `freeBytes` is given) after it.
  template <typename Call>
  std::int32_t call(const std::wstring& what, const std::int32_t* status, Call&& f,
                    const std::int32_t* freeBytes = nullptr);
  void showProgress(bool shown);
  void setProgressText(const std::wstring& text);
  void setProgressBar();

  LinkLibrary& inner_;
  RunLog& log_;
  std::function<HWND__*()> mainWindow_;
  Program* run_ = nullptr; ///< the program whose run is going on
  bool progressShown_ = false;
  HWND__* label_ = nullptr; ///< the main window's progress label and bar, once it has shown them
  HWND__* bar_ = nullptr;
  std::map<std::string, PlannedFile> plan_; ///< by PC path as the link library gets it
  std::uint64_t totalBytes_ = 0;
  std::uint64_t copiedBytes_ = 0;
  std::int32_t lastEnd_ = 0;
  HICON__* waitCursor_; ///< loaded once: a link call is no time to look it up
  HICON__* cursorBefore_ = nullptr;
  bool cursorHeld_ = false; ///< the wait cursor is up, and `cursorBefore_` what it replaced
};

} // namespace vokuta
