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

} // namespace vokuta
