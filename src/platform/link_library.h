// The link-library seam: its six functions, the options they are called with, its statuses.
#pragma once
#include <cstdint>
#include <string>

namespace vokuta {

/// The device maker's link library: six functions with its argument lists. Every call blocks
/// until the device answers. `window` is the main window's handle as a number, `port` the
/// serial port (1 = COM1), `option` the value fixed per function, `mode` the link mode (4).
/// Paths are CP932 bytes without the terminating NUL; device paths are absolute and upper case.
/// After a nonzero result of upload or download, `*status` reads 5 for a full device memory,
/// another positive value when the file counts as copied, -1 when the device has no such file,
/// 0 or another negative value when the link failed.
class LinkLibrary {
public:
  virtual ~LinkLibrary() = default;

  /// Negotiates the link. 0 when it is established.
  virtual std::int32_t u_nego(std::intptr_t window, std::int32_t port, std::int32_t option,
                              std::int32_t mode, std::int32_t* status) = 0;
  /// Ends the link, if one is open. 0 when closed.
  virtual std::int32_t u_end(std::intptr_t window, std::int32_t port, std::int32_t option,
                             std::int32_t mode, std::int32_t* status) = 0;
  /// Creates one device directory. 0 when it exists afterwards.
  virtual std::int32_t u_mkdir(std::intptr_t window, std::int32_t port, std::int32_t option,
                               std::int32_t mode, const std::string& deviceDir,
                               std::int32_t* status) = 0;
  /// Copies a PC file to the device. 0 when done.
  virtual std::int32_t u_upload(std::intptr_t window, std::int32_t port, std::int32_t option,
                                std::int32_t mode, const std::string& pcPath,
                                const std::string& devicePath, std::int32_t* status) = 0;
  /// Copies a device file to the PC. 0 when done.
  virtual std::int32_t u_download(std::intptr_t window, std::int32_t port, std::int32_t option,
                                  std::int32_t mode, const std::string& devicePath,
                                  const std::string& pcPath, std::int32_t* status) = 0;
  /// Lists a device directory into `buffer` (of `bufferSize` bytes) and writes the device's
  /// free space in bytes to `*freeBytes`. 0 when done.
  virtual std::int32_t u_dir(std::intptr_t window, std::int32_t port, std::int32_t option,
                             std::int32_t mode, const std::string& deviceDir, char* buffer,
                             std::int32_t bufferSize, std::int32_t* freeBytes,
                             std::int32_t* status) = 0;
};

/// The option argument each function is called with: the values the library expects.
namespace link_option {
inline constexpr std::int32_t kNego = 1;
inline constexpr std::int32_t kEnd = 1;
inline constexpr std::int32_t kMkdir = -2;
inline constexpr std::int32_t kTransfer = -1; ///< upload and download
inline constexpr std::int32_t kDir = 0;
} // namespace link_option

/// Values of `*status` after a nonzero result of upload or download that the caller tells apart.
namespace link_status {
inline constexpr std::int32_t kMemoryFull = 5;
inline constexpr std::int32_t kNoSuchFile = -1;
} // namespace link_status

} // namespace vokuta
