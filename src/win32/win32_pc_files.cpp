#include "win32/win32_pc_files.h"

#include <algorithm>

#include "win32/unique_handle.h"

namespace vokuta {
namespace {

// The attribute bits the seam speaks of; Windows reports others (normal, not indexed, ...)
// that would only make the real file system look different from the fake one.
constexpr std::uint32_t kSeamAttributes =
    kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory | kAttrArchive;

// Attributes that keep an entry out of a search unless `include` asks for them.
constexpr std::uint32_t kFilteredAttributes = kAttrHidden | kAttrSystem | kAttrDirectory;

// How long the lengths a search saw are taken as the disk's: the size total reads them within
// microseconds; anything later asks the disk again.
constexpr std::uint64_t kSeenFor = 1000;

// ReadFile and WriteFile take a DWORD count: larger files go in pieces.
constexpr DWORD kChunk = 1u << 20;

bool isDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

} // namespace

void Win32PcFiles::forget() {
  seenDir_.clear();
  seen_.clear();
}

std::vector<FoundFile> Win32PcFiles::find(const std::wstring& pattern, std::uint32_t include) {
  forget();
  std::vector<FoundFile> found;
  WIN32_FIND_DATAW data;
  // The basic information leaves out the short names, which nothing here uses.
  win32::UniqueFind search(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                            FindExSearchNameMatch, nullptr,
                                            FIND_FIRST_EX_LARGE_FETCH));
  if (!search) return found;
  const std::size_t cut = pattern.find_last_of(L"\\/");
  seenDir_ = cut == std::wstring::npos ? std::wstring() : pattern.substr(0, cut);
  seenAt_ = GetTickCount64();
  do {
    if (isDotEntry(data.cFileName)) continue;
    const std::uint32_t attributes = data.dwFileAttributes & kSeamAttributes;
    if (attributes & kFilteredAttributes & ~include) continue;
    found.push_back({data.cFileName, attributes});
    if (!(attributes & kAttrDirectory))
      seen_[data.cFileName] = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  } while (FindNextFileW(search.get(), &data));
  return found;
}

std::optional<std::uint64_t> Win32PcFiles::fileLength(const std::wstring& path) {
  if (!seen_.empty() && GetTickCount64() - seenAt_ < kSeenFor) {
    const std::size_t cut = path.find_last_of(L"\\/");
    if (cut != std::wstring::npos && path.compare(0, cut, seenDir_) == 0 && cut == seenDir_.size())
      if (const auto it = seen_.find(path.substr(cut + 1)); it != seen_.end()) return it->second;
  }
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

std::optional<std::vector<std::uint8_t>> Win32PcFiles::readFile(const std::wstring& path) {
  win32::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) ||
      static_cast<std::uint64_t>(size.QuadPart) > std::vector<std::uint8_t>().max_size())
    return std::nullopt;

  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD part = static_cast<DWORD>(std::min<std::size_t>(kChunk, bytes.size() - done));
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + done, part, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

bool Win32PcFiles::writeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  forget();
  win32::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  for (std::size_t done = 0; done < bytes.size();) {
    const DWORD part = static_cast<DWORD>(std::min<std::size_t>(kChunk, bytes.size() - done));
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data() + done, part, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  return true;
}

bool Win32PcFiles::copyFile(const std::wstring& source, const std::wstring& target) {
  forget();
  return CopyFileW(source.c_str(), target.c_str(), FALSE) != 0;
}

bool Win32PcFiles::moveFile(const std::wstring& source, const std::wstring& target) {
  forget();
  return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool Win32PcFiles::deleteFile(const std::wstring& path) {
  forget();
  return DeleteFileW(path.c_str()) != 0;
}

bool Win32PcFiles::setAttributes(const std::wstring& path, std::uint32_t attributes) {
  forget();
  return SetFileAttributesW(path.c_str(), attributes) != 0;
}

bool Win32PcFiles::makeDirectory(const std::wstring& path) {
  forget();
  return CreateDirectoryW(path.c_str(), nullptr) != 0;
}

std::wstring Win32PcFiles::currentDirectory() {
  // The length asked first includes the terminating NUL; the directory may change between the
  // calls (another thread), so ask until it fits.
  std::wstring dir;
  DWORD needed = GetCurrentDirectoryW(0, nullptr);
  while (needed > dir.size()) {
    dir.resize(needed);
    needed = GetCurrentDirectoryW(static_cast<DWORD>(dir.size()), dir.data());
    if (needed == 0) return {};
  }
  dir.resize(needed);
  return dir;
}

bool Win32PcFiles::setCurrentDrive(wchar_t drive) {
  forget();
  if (drive >= L'a' && drive <= L'z') drive = static_cast<wchar_t>(drive - L'a' + L'A');
  if (drive < L'A' || drive > L'Z') return false;
  const wchar_t root[] = {drive, L':', L'\\', L'\0'};
  const UINT type = GetDriveTypeW(root);
  if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR) return false;

  // Windows keeps one current directory per process; the directory of each other drive lives
  // in the environment variable "=X:", which "X:" resolves through. Record the one being left
  // so that coming back to its drive finds it again.
  const std::wstring current = currentDirectory();
  if (current.size() >= 2 && current[1] == L':') {
    const wchar_t variable[] = {L'=', current[0], L':', L'\0'};
    SetEnvironmentVariableW(variable, current.c_str());
  }
  const wchar_t relative[] = {drive, L':', L'\0'};
  return SetCurrentDirectoryW(relative) != 0;
}

} // namespace vokuta
