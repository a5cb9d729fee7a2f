// InstallFiles: the row loop over the setup table and the write-back of the association file.
#include "run/install_loop.h"

#include "fini/fini_image.h"
#include "link/fini_file.h"
#include "link/transfer.h"
#include "run/fini_merge.h"

namespace vokuta {

void InstallFiles(Program& p, InstallWatcher* watcher) {
  p.g.FiniLoaded = false;
  p.g.FiniChanged = false;
  // Any failure marks the run; giving up ends the loop.
  auto keepGoing = [&](TransferResult result) {
    if (result != kDone) p.g.RunFailed = true;
    return result != kGiveUp;
  };
  for (std::size_t row = 0; row < kTableSlots && !p.setupTable[row].terminates(); ++row) {
    const SetupRow& r = p.setupTable[row];
    if (watcher) watcher->rowStarts(row);
    ListMatchingFiles(p.files, r.SourcePath, r.FileName, p.matchList);
    bool going = true;
    if (p.matchList.empty()) {
      // Nothing matched: the pattern itself goes, so that the user hears of the missing file.
      going = keepGoing(
          TransferFile(p, kUpload, 1, r.DestPath, r.FileName, r.SourcePath + L"\\" + r.FileName));
    }
    for (std::size_t j = 0; going && j < p.matchList.size(); ++j) {
      const std::wstring name = p.matchList[j];
      going = keepGoing(TransferFile(p, kUpload, 1, r.DestPath, name, r.SourcePath + L"\\" + name));
    }
    if (going && r.isFini()) {
      if (watcher) watcher->mergeStarts(row);
      going = keepGoing(Filerini変更(p, static_cast<std::int16_t>(row)));
      if (watcher) watcher->mergeDone(row);
    }
    if (!going) break;
  }
  if (!p.g.RunFailed && p.g.FiniChanged) {
    rR2FiniB(p);
    if (watcher) watcher->tableWriteStarts();
    if (Filerini書込(p) != kDone) p.g.RunFailed = true;
  }
  PcDeleteFile(p, p.g.FiniPcPath);
}

} // namespace vokuta
