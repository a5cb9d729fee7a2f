#pragma once
#include <cstdint>
#include <string>

#include "app/program.h"

namespace vokuta {

enum TransferOp : std::int16_t { kUpload = 1, kDownload = 2 };

/// Result codes of a transfer.
enum TransferResult : std::int16_t { kDone = 0, kReconnectFailed = -1, kGiveUp = -2 };

/// Copies one file between the PC and the device. An upload first creates the levels of
/// `deviceDir` (on the device and in the PC cache mirror) when they are not the ones created
/// last, then copies the file when `uploadFlag` is 1 and mirrors it into the cache. After a
/// failure it tells the user why and, for a broken link, reconnects on request and tries again.
/// `deviceDir` is absolute ("\System"), empty for the root; `fileName` the bare name.
std::int16_t TransferFile(Program& p, std::int16_t op, std::int16_t uploadFlag,
                          const std::wstring& deviceDir, const std::wstring& fileName,
                          const std::wstring& pcPath);

/// The device path a transfer uses: the directory and the name joined by a backslash, ASCII
/// letters in upper case ("\System", "Ravuz.ini" give "\SYSTEM\RAVUZ.INI").
std::wstring DevicePathOf(const std::wstring& deviceDir, const std::wstring& fileName);

void MemoryErrorBox(Program& p);
void DeviceFileErrorBox(Program& p, const std::wstring& fileName);
void PcFileErrorBox(Program& p, const std::wstring& pcPath);
int CommErrorBox(Program& p, const std::wstring& fileName);

/// Creates the directory when nothing of that name exists: 0; otherwise -1.
std::int16_t MakeCacheDir(Program& p, const std::wstring& path);
/// Copies `source` over `target` when `source` is a file: -1 (true); otherwise 0.
std::int16_t CopyIfExists(Program& p, const std::wstring& source, const std::wstring& target);
/// Deletes the file whatever its attributes; failures are ignored.
void PcDeleteFile(Program& p, const std::wstring& path);

/// True when `relative` ("\SYSTEM\APPS", "\SYSTEM\a.exf") stays inside the folder it is
/// appended to: no "." or ".." component, no drive or stream colon, no forward slash.
bool StaysInside(const std::wstring& relative);

} // namespace vokuta
