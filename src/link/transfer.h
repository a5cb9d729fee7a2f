// One file between the PC and the device: directory levels, the copy, the cache mirror, and
// the recovery after a failure; the transfer's message boxes.
#pragma once
#include <cstdint>
#include <string>

#include "state/program.h"

namespace vokuta {

enum TransferOp : std::int16_t { kUpload = 1, kDownload = 2 };

/// Result codes of a transfer; the values are the installer's own.
enum TransferResult : std::int16_t { kDone = 0, kReconnectFailed = -1, kGiveUp = -2 };

/// Copies one file between the PC and the device. An upload first creates the levels of
/// `deviceDir` (on the device and in the PC cache mirror) when they are not the ones created
/// last, then copies the file when `uploadFlag` is 1 and mirrors it into the cache. After a
/// failure it tells the user why and, for a broken link, reconnects on request and tries again.
/// `deviceDir` is absolute ("\System"), empty for the root; `fileName` the bare name.
[[nodiscard]] TransferResult TransferFile(Program& p, TransferOp op, std::int16_t uploadFlag,
                                          const std::wstring& deviceDir,
                                          const std::wstring& fileName, const std::wstring& pcPath);

void MemoryErrorBox(Program& p);
void DeviceFileErrorBox(Program& p, const std::wstring& fileName);
void PcFileErrorBox(Program& p, const std::wstring& pcPath);
[[nodiscard]] int CommErrorBox(Program& p, const std::wstring& fileName);

} // namespace vokuta
