#pragma once
#include <cstdint>
#include <string>

#include "win32/unique_handle.h"

namespace vokuta {

/// The run log that a user can send when an installation fails: UTF-8 lines ended by CR LF,
/// appended to one file that starts over (with a byte-order mark, for the editors of older
/// Windows) before it would reach `limit` bytes. Each line goes to the disk at once, so the log
/// holds everything up to a crash. The file stays open from the first line on (opening it for
/// each line cost more than the line), shared for reading, writing and deleting. A log that
/// cannot be written is silently left out: it never stops an installation.
class RunLog {
public:
  static constexpr std::uint64_t kLimit = 1024 * 1024;

  explicit RunLog(std::wstring path, std::uint64_t limit = kLimit)
      : path_(std::move(path)), limit_(limit) {}

  /// vokuta-setup.log in the user's temporary folder; empty when Windows names none.
  static std::wstring defaultPath();

  /// Appends `line`, after the time of day ("13:04:59 ").
  void write(const std::wstring& line) noexcept;

  const std::wstring& path() const { return path_; }

private:
  std::wstring path_;
  std::uint64_t limit_;
  win32::UniqueFile file_;
};

/// "2026-12-07 13:04:59", the local date and time.
std::wstring LocalDateTime();

} // namespace vokuta
