#pragma once
#include <array>

#include "platform/link_library.h"
#include "platform/ui.h"
#include "win32/unique_handle.h"
#include "win32/win.h"

namespace vokuta {

/// The device maker's link library V370rsh32.dll, found by name (the copy beside the .exe
/// first) and loaded at the first call.
///
/// A missing library or function is reported once, in a box through `ui` that names it; every
/// call that cannot reach the library returns -1 and writes 0 to `*status`, as a failed link
/// would. The functions that are present work whatever others are missing.
class Win32LinkLibrary final : public LinkLibrary {
public:
  explicit Win32LinkLibrary(Ui& ui) : ui_(ui) {}

  /// For each new run: loads the library now, while the user answers the connect prompt, so
  /// that the first call does not wait for it. A library that could not be loaded is looked
  /// for again, and reported at the run's first call when still missing: the user may have put
  /// it in place since.
  void prepareRun();

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
  enum Function { kNego, kEnd, kMkdir, kUpload, kDownload, kDir, kFunctionCount };

  struct Entry {
    FARPROC address = nullptr;
    bool reported = false;
  };

  struct ModuleTraits {
    using Handle = HMODULE;
    static Handle none() { return nullptr; }
    static void close(Handle h) { FreeLibrary(h); }
  };

  // Loads the library and finds its functions, once, quietly.
  void load();
  // The function's address, or nullptr after telling the user (once) what is missing.
  FARPROC resolve(Function function);

  Ui& ui_;
  bool loadTried_ = false;
  bool libraryReported_ = false;
  win32::UniqueHandle<ModuleTraits> library_;
  std::array<Entry, kFunctionCount> entries_{};
};

} // namespace vokuta
