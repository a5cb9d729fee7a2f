// PC-file searches and helpers over the PcFiles seam: matches, existence, cache and work files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/pc_files.h"

namespace vokuta {

/// Bare names of the files that one row's pattern matched, in the file system's order.
using MatchList = std::vector<std::wstring>;

/// Fills `matches` with the ordinary, hidden and system files (no directories) matching
/// `dir` + "\" + `pattern`; `dir` has no trailing backslash. The list grows as far as the
/// matches go.
void ListMatchingFiles(PcFiles& files, const std::wstring& dir, const std::wstring& pattern,
                       MatchList& matches);

/// True when a search for `path` finds an ordinary, hidden or system file (not a directory);
/// false on any error.
bool PcFileExists(PcFiles& files, const std::wstring& path);

/// True when a search for `path`, directories included, finds a name.
bool PcDirExists(PcFiles& files, const std::wstring& path);

/// The PC file manager's marker file exists.
inline bool FilerTempExists(PcFiles& files, const std::wstring& path) {
  return PcFileExists(files, path);
}

/// What MakeCacheDir did; the values are the installer's own.
enum CacheDirResult : std::int16_t { kCacheDirMade = 0, kCacheDirExists = -1, kCacheDirFailed = 1 };
/// Creates the directory when nothing of that name exists.
CacheDirResult MakeCacheDir(PcFiles& files, const std::wstring& path);

/// What CopyIfExists did; the values are the installer's own.
enum CopyResult : std::int16_t { kNoSource = 0, kCopied = -1, kCopyFailed = 1 };
/// Copies `source` over `target` when `source` is a file.
CopyResult CopyIfExists(PcFiles& files, const std::wstring& source, const std::wstring& target);

/// Deletes the file whatever its attributes; failures are ignored.
void PcDeleteFile(PcFiles& files, const std::wstring& path);

} // namespace vokuta
