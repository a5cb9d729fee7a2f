#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vokuta::devsim {

/// Makes the n-th call (from 1) of one link function fail with `status`.
struct Fault {
  std::string function; ///< "u_upload", "u_dir", ...
  int nth = 1;
  std::int32_t status = 0;
};

/// How a simulated device behaves.
struct Config {
  std::wstring deviceDir; ///< PC folder that holds the device's files
  std::int32_t port = 1;  ///< the only port the device answers on
  std::uint32_t capacity = 2 * 1024 * 1024;
  std::vector<Fault> faults;
  std::optional<int> dropAfter;    ///< the link drops after this many calls
  std::uint32_t bitsPerSecond = 0; ///< 0: no delay
  std::wstring logFile;            ///< where the DLL appends its call log; empty: none
};

/// Reads settings written as "key = value" lines ('#' starts a comment):
///   device = C:\vokuta\device      port = 1          capacity = 2097152
///   fail = u_upload 2 5            drop-after = 10   speed = 9600
///   log = C:\vokuta\calls.log
/// "fail" may repeat. Unknown keys and malformed values are reported in `errors` (one line
/// each, with the line number) and otherwise ignored.
Config ParseConfig(const std::wstring& text, std::vector<std::wstring>* errors = nullptr);

} // namespace vokuta::devsim
