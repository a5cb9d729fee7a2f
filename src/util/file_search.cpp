// PC-file searches and the small helpers of the cache mirror and the work copy.
#include "util/file_search.h"

namespace vokuta {

void ListMatchingFiles(PcFiles& files, const std::wstring& dir, const std::wstring& pattern,
                       MatchList& matches) {
  matches.clear();
  for (FoundFile& f : files.find(dir + L"\\" + pattern, kAttrHidden | kAttrSystem)) {
    if (!(f.attributes & kAttrDirectory)) matches.push_back(std::move(f.name));
  }
}

bool PcFileExists(PcFiles& files, const std::wstring& path) {
  for (const FoundFile& f : files.find(path, kAttrHidden | kAttrSystem)) {
    if (!(f.attributes & kAttrDirectory)) return true;
  }
  return false;
}

bool PcDirExists(PcFiles& files, const std::wstring& path) {
  return !files.find(path, kAttrDirectory | kAttrHidden | kAttrSystem).empty();
}

CacheDirResult MakeCacheDir(PcFiles& files, const std::wstring& path) {
  if (PcDirExists(files, path)) return kCacheDirExists;
  return files.makeDirectory(path) ? kCacheDirMade : kCacheDirFailed;
}

CopyResult CopyIfExists(PcFiles& files, const std::wstring& source, const std::wstring& target) {
  if (!PcFileExists(files, source)) return kNoSource;
  return files.copyFile(source, target) ? kCopied : kCopyFailed;
}

void PcDeleteFile(PcFiles& files, const std::wstring& path) {
  if (!PcFileExists(files, path)) return;
  if (files.setAttributes(path, kAttrArchive)) files.deleteFile(path);
}

} // namespace vokuta
