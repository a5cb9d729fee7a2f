#include "fini/fini_file.h"

#include "fini/fini_image.h"
#include "link/transfer.h"
#include "util/text.h"

namespace vokuta {
namespace {

const std::wstring kDeviceDir = L"\\System";
const std::wstring kFileName = L"Ravuz.ini";

// A failure of the PC's own files: there is no device status to go by.
std::int16_t workCopyFailed(Program& p) {
  PcFileErrorBox(p, p.g.FiniPcPath);
  p.g.LinkStatus = 0;
  return kGiveUp;
}

} // namespace

std::int16_t Filerini読出(Program& p) {
  // The work copy must be possible before the device is asked for its file.
  if (!PcFileExists(p.files, p.g.FiniPcPath) && !p.files.writeFile(p.g.FiniPcPath, {}))
    return workCopyFailed(p);
  const std::int16_t r = TransferFile(p, kDownload, 0, kDeviceDir, kFileName, p.g.FiniPcPath);
  if (r == kGiveUp) {
    if (CopyIfExists(p, DirPart(p.g.FiniPcPath) + kFileName, p.g.FiniPcPath))
      p.ui.messageBox(L"標準のRavuz.iniを使い、セットアップを継続します。", AppTitle, Buttons::Ok,
                      Icon::Exclamation);
  }
  // A link library may remove its target when the download fails: the work copy then starts
  // empty, as for a device without the file.
  if (!PcFileExists(p.files, p.g.FiniPcPath) && !p.files.writeFile(p.g.FiniPcPath, {}))
    return workCopyFailed(p);
  const auto bytes = p.files.readFile(p.g.FiniPcPath);
  if (!bytes) return workCopyFailed(p);
  p.finiImage = FiniImageOf(*bytes);
  return r;
}

std::int16_t Filerini書込(Program& p) {
  PcDeleteFile(p, p.g.FiniPcPath);
  if (!p.files.writeFile(p.g.FiniPcPath, FiniFileBytes(p.finiImage))) return workCopyFailed(p);
  return TransferFile(p, kUpload, 1, kDeviceDir, kFileName, p.g.FiniPcPath);
}

} // namespace vokuta
