// The association file's download into the work copy and its upload from it.
#include "link/fini_file.h"

#include "fini/fini_image.h"
#include "util/text.h"

namespace vokuta {
namespace {

// A failure of the PC's own files: there is no device status to go by.
TransferResult workCopyFailed(Program& p) {
  PcFileErrorBox(p, p.g.FiniPcPath);
  p.g.LinkStatus = 0;
  return kGiveUp;
}

} // namespace

TransferResult Filerini読出(Program& p) {
  // The work copy must be possible before the device is asked for its file.
  if (!PcFileExists(p.files, p.g.FiniPcPath) && !p.files.writeFile(p.g.FiniPcPath, {}))
    return workCopyFailed(p);
  const TransferResult r =
      TransferFile(p, kDownload, 0, kFiniDeviceDir, kFiniFileName, p.g.FiniPcPath);
  if (r == kGiveUp) {
    if (CopyIfExists(p, DirPart(p.g.FiniPcPath) + kFiniFileName, p.g.FiniPcPath) == kCopied)
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

TransferResult Filerini書込(Program& p) {
  PcDeleteFile(p, p.g.FiniPcPath);
  if (!p.files.writeFile(p.g.FiniPcPath, FiniFileBytes(p.finiImage))) return workCopyFailed(p);
  return TransferFile(p, kUpload, 1, kFiniDeviceDir, kFiniFileName, p.g.FiniPcPath);
}

} // namespace vokuta
