// TransferFile in its four parts: directory levels, the copy, the cache mirror, the recovery.
#include "link/transfer.h"

#include <optional>

#include "link/connection.h"
#include "util/device_path.h"
#include "util/text.h"

namespace vokuta {
namespace {

// Levels: every level of `deviceDir` on the device and in the cache, unless they are the ones
// created last. A level the device did not make leaves LastDeviceDir empty, so that the next
// transfer asks for the levels again; the upload into a missing level fails by itself.
void makeLevels(Program& p, const std::wstring& deviceDir) {
  const std::wstring dir = deviceDir + L"\\";
  if (TrimBlanks(UpperAscii(dir)) == TrimBlanks(UpperAscii(p.g.LastDeviceDir))) return;
  bool allMade = true;
  for (const std::wstring& path : DeviceLevels(deviceDir)) {
    const std::wstring level = UpperAscii(path);
    allMade = p.link->u_mkdir(p.ui.mainWindowHandle(), p.g.PortNumber, link_option::kMkdir,
                              p.g.LinkMode, p.sjis.encode(level), &p.g.LinkStatus) == 0 &&
              allMade;
    // The mirror never reaches outside the cache nor opens a device of the PC.
    if (SafeOnPc(level)) MakeCacheDir(p, p.g.CacheDir + level);
  }
  p.g.LastDeviceDir = allMade ? dir : std::wstring();
}

// The copy: the library's result, or nothing when no copy was asked for.
std::optional<std::int32_t> copyOnce(Program& p, TransferOp op, std::int16_t uploadFlag,
                                     const std::string& pcPath, const std::string& devicePath) {
  const std::intptr_t window = p.ui.mainWindowHandle();
  if (op == kDownload)
    return p.link->u_download(window, p.g.PortNumber, link_option::kTransfer, p.g.LinkMode,
                              devicePath, pcPath, &p.g.LinkStatus);
  if (uploadFlag != 1) return std::nullopt;
  return p.link->u_upload(window, p.g.PortNumber, link_option::kTransfer, p.g.LinkMode, pcPath,
                          devicePath, &p.g.LinkStatus);
}

// The mirror shows what the device holds: a file goes there once the device has it, and
// never outside the cache. The copy fails by itself when the PC file is missing, so no search
// goes before it (one per file adds up in a large package).
void mirror(Program& p, const std::wstring& deviceDir, const std::wstring& fileName,
            const std::wstring& pcPath) {
  const std::wstring dir = deviceDir + L"\\";
  if (SafeOnPc(dir + fileName) && fileName.find(L'\\') == std::wstring::npos)
    p.files.copyFile(pcPath, p.g.CacheDir + dir + fileName);
}

// The recovery after a broken link: the result to end with, or nothing to try again.
std::optional<TransferResult> recover(Program& p, TransferOp op, const std::wstring& fileName,
                                      const std::wstring& pcPath) {
  EndLink(p);
  // The levels may be what failed, or were asked of a link that was down: ask for them again.
  p.g.LastDeviceDir.clear();
  // A download's PC path is where the file is going, not a file that must exist.
  if (op == kUpload && !PcFileExists(p.files, pcPath)) {
    PcFileErrorBox(p, pcPath);
    return kGiveUp;
  }
  if (CommErrorBox(p, fileName) != kYes) return kGiveUp;
  // Ended once more before the prompt: the installer's order of calls, kept as it is.
  EndLink(p);
  if (ConnectPrompt(p) != kYes) return kGiveUp;
  if (CheckConnection(p) != kConnected) return kReconnectFailed;
  return std::nullopt;
}

} // namespace

void MemoryErrorBox(Program& p) {
  p.ui.messageBox(
      L"Vokuta本体がメモリ容量不足です。\r\n\r\n不要なﾌｧｲﾙを削除後、再試行してください。",
      AppTitle + L" - メモリ容量エラー", Buttons::Ok, Icon::Stop);
}

void DeviceFileErrorBox(Program& p, const std::wstring& fileName) {
  p.ui.messageBox(L"Vokuta本体に、" + fileName + L"がありません。\r\n\r\n",
                  AppTitle + L" - Vokuta本体ファイルエラー", Buttons::Ok, Icon::Stop);
}

void PcFileErrorBox(Program& p, const std::wstring& pcPath) {
  p.ui.messageBox(pcPath + L"\r\n\r\nがありません。\r\n\r\n", AppTitle + L" - PCファイルエラー",
                  Buttons::Ok, Icon::Stop);
}

int CommErrorBox(Program& p, const std::wstring& fileName) {
  return p.ui.messageBox(UpperAscii(fileName) + L" で通信エラー発生\r\n\r\n「" + AppTitle +
                             L"」を続けますか？",
                         AppTitle + L" - 通信エラー", Buttons::YesNo, Icon::Stop);
}

TransferResult TransferFile(Program& p, TransferOp op, std::int16_t uploadFlag,
                            const std::wstring& deviceDir, const std::wstring& fileName,
                            const std::wstring& pcPath) {
  const std::string devicePath = p.sjis.encode(DevicePathOf(deviceDir, fileName));
  const std::string pcBytes = p.sjis.encode(pcPath);
  for (;;) {
    if (op == kUpload) makeLevels(p, deviceDir);
    const std::optional<std::int32_t> r = copyOnce(p, op, uploadFlag, pcBytes, devicePath);
    if (!r) return kDone;
    const std::int32_t status = p.g.LinkStatus;
    // A positive status other than a full memory means the device counts the file as copied.
    if (*r == 0 || (status > 0 && status != link_status::kMemoryFull)) {
      if (op == kUpload) mirror(p, deviceDir, fileName, pcPath);
      return kDone;
    }
    if (status == link_status::kMemoryFull) {
      MemoryErrorBox(p);
      return kGiveUp;
    }
    // Only the association file may be missing on the device, and only when it is read: its
    // reader starts from the standard one. Its write-back must reach the device.
    if (op == kDownload && status == link_status::kNoSuchFile && fileName == kFiniFileName) {
      DeviceFileErrorBox(p, fileName);
      return kDone;
    }
    if (const auto result = recover(p, op, fileName, pcPath)) return *result;
  }
}

} // namespace vokuta
