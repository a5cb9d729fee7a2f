#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "devsim/sim_config.h"
#include "platform/link_library.h"
#include "platform/pc_files.h"
#include "util/shift_jis.h"

namespace vokuta::devsim {

/// A device that keeps its files in a folder of the PC and speaks the link library's six
/// functions: for tests, demonstrations and package authors without a device.
///
/// Device paths are absolute, compared without regard to case and stored in upper case; no path
/// leaves the folder. Each file occupies its length rounded up to 512-byte blocks of the
/// capacity. An upload goes to a temporary name first and is renamed when complete, so a
/// device file is always either the old or the new one.
class SimulatedDevice final : public LinkLibrary {
public:
  struct Call {
    std::string function;
    std::string arguments; ///< CP932 bytes as passed, joined with ", "
    std::int32_t result = 0;
    std::int32_t status = 0;
  };

  /// `pc` serves both the device folder and the PC files named in uploads and downloads.
  SimulatedDevice(Config config, PcFiles& pc, const ShiftJis& sjis);

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

  /// Bytes in use: every file counted in whole 512-byte blocks. Counted when the link opens and
  /// kept as uploads change the files; without a link, counted afresh.
  std::uint64_t usedBytes();
  std::uint64_t freeBytes();
  bool linked() const { return linked_; }

  const std::vector<Call>& calls() const { return calls_; }
  /// Called after every call with its log entry (the DLL writes them to its log file).
  std::function<void(const Call&)> onCall;
  /// Called as a call that moved data ends, with the time its bytes take on the line: the DLL
  /// sleeps until that long after the call began; tests leave it unset.
  std::function<void(std::chrono::microseconds)> sleep;

  /// The folder path of a device path, or std::nullopt when the device cannot hold it (a name
  /// that is empty, "." or "..", longer than 8.3 Shift-JIS bytes, or with a character the
  /// device does not take).
  std::optional<std::wstring> hostPath(const std::string& devicePath) const;

private:
  struct Outcome {
    std::int32_t result;
    std::int32_t status;
  };
  // Counts the call, applies a drop of the link and any fault for it; a value means "fail so".
  std::optional<Outcome> intercept(const std::string& function, bool needsLink);
  std::optional<Fault> faultFor(const std::string& function);
  std::int32_t finish(const std::string& function, std::string arguments, Outcome outcome,
                      std::int32_t* status);
  void delay(std::uint64_t bytes);
  std::uint64_t usedBelow(const std::wstring& dir);

  Config config_;
  PcFiles& pc_;
  const ShiftJis& sjis_;
  bool linked_ = false;
  bool dropped_ = false;
  std::optional<std::uint64_t> used_; ///< the count kept while linked
  int callsMade_ = 0;
  std::map<std::string, int> callsOf_;
  std::vector<Call> calls_;
  std::chrono::microseconds lineTime_{}; ///< owed by the call under way
};

} // namespace vokuta::devsim
