#include "link/transfer.h"

#include "link/connection.h"
#include "util/text.h"

namespace vokuta {

std::wstring DevicePathOf(const std::wstring& deviceDir, const std::wstring& fileName) {
  return UpperAscii(deviceDir + L"\\") + UpperAscii(fileName);
}

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

std::int16_t MakeCacheDir(Program& p, const std::wstring& path) {
  if (PcDirExists(p.files, path)) return -1;
  p.files.makeDirectory(path);
  return 0;
}

std::int16_t CopyIfExists(Program& p, const std::wstring& source, const std::wstring& target) {
  if (!PcFileExists(p.files, source)) return 0;
  p.files.copyFile(source, target);
  return -1;
}

void PcDeleteFile(Program& p, const std::wstring& path) {
  if (!PcFileExists(p.files, path)) return;
  if (p.files.setAttributes(path, kAttrArchive)) p.files.deleteFile(path);
}

bool StaysInside(const std::wstring& relative) {
  if (relative.find_first_of(L":/") != std::wstring::npos) return false;
  for (std::size_t start = 0; start <= relative.size();) {
    std::size_t end = relative.find(L'\\', start);
    if (end == std::wstring::npos) end = relative.size();
    const std::wstring name = TrimBlanks(relative.substr(start, end - start));
    if (name == L"." || name == L"..") return false;
    start = end + 1;
  }
  return true;
}

std::int16_t TransferFile(Program& p, std::int16_t op, std::int16_t uploadFlag,
                          const std::wstring& deviceDir, const std::wstring& fileName,
                          const std::wstring& pcPath) {
  const std::wstring dir = deviceDir + L"\\";
  const std::string devicePath = p.sjis.encode(DevicePathOf(deviceDir, fileName));
  const std::string pcBytes = p.sjis.encode(pcPath);
  const std::intptr_t window = p.ui.mainWindowHandle();
  for (;;) {
    bool attempted = false;
    std::int32_t r = 0;
    if (op == kUpload) {
      if (TrimBlanks(UpperAscii(dir)) != TrimBlanks(UpperAscii(p.g.LastDeviceDir))) {
        for (std::size_t i = 1; i < dir.size();) {
          const std::size_t slash = dir.find(L'\\', i);
          const std::wstring level = UpperAscii(dir.substr(0, slash));
          p.link->u_mkdir(window, p.g.PortNumber, -2, p.g.LinkMode, p.sjis.encode(level),
                          &p.g.LinkStatus);
          // The mirror never reaches outside the cache, whatever the package names.
          if (StaysInside(level)) MakeCacheDir(p, p.g.CacheDir + level);
          i = slash + 1;
        }
        p.g.LastDeviceDir = dir;
      }
      if (uploadFlag == 1) {
        r = p.link->u_upload(window, p.g.PortNumber, -1, p.g.LinkMode, pcBytes, devicePath,
                             &p.g.LinkStatus);
        attempted = true;
      }
    } else {
      r = p.link->u_download(window, p.g.PortNumber, -1, p.g.LinkMode, devicePath, pcBytes,
                             &p.g.LinkStatus);
      attempted = true;
    }
    // The mirror shows what the device holds: a file goes there once the device has it. The
    // copy fails by itself when the PC file is missing, so no search goes before it.
    auto mirror = [&] {
      if (attempted && op == kUpload && StaysInside(dir + fileName) &&
          fileName.find(L'\\') == std::wstring::npos)
        p.files.copyFile(pcPath, p.g.CacheDir + dir + fileName);
      return kDone;
    };
    if (!attempted || r == 0) return mirror();

    const std::int32_t status = p.g.LinkStatus;
    if (status == 5) {
      MemoryErrorBox(p);
      return kGiveUp;
    }
    if (status > 0) return mirror();
    if (status == -1 && fileName == L"Ravuz.ini") {
      DeviceFileErrorBox(p, fileName);
      return kDone;
    }
    EndLinkCall(p);
    // A download's PC path is where the file is going, not a file that must exist.
    if (op == kUpload && !PcFileExists(p.files, pcPath)) {
      PcFileErrorBox(p, pcPath);
      return kGiveUp;
    }
    if (CommErrorBox(p, fileName) != kYes) return kGiveUp;
    EndLinkCall(p);
    if (ConnectPrompt(p) != kYes) return kGiveUp;
    if (CheckConnection(p) == -1) return kReconnectFailed;
  }
}

} // namespace vokuta
