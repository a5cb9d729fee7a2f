#pragma once
#include <cstdint>
#include <unordered_map>

#include "platform/pc_files.h"

namespace vokuta {

/// The PC's file system through the wide-character Win32 file functions.
class Win32PcFiles final : public PcFiles {
public:
  std::vector<FoundFile> find(const std::wstring& pattern, std::uint32_t include) override;
  std::optional<std::uint64_t> fileLength(const std::wstring& path) override;
  std::optional<std::vector<std::uint8_t>> readFile(const std::wstring& path) override;
  bool writeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) override;
  bool copyFile(const std::wstring& source, const std::wstring& target) override;
  bool moveFile(const std::wstring& source, const std::wstring& target) override;
  bool deleteFile(const std::wstring& path) override;
  bool setAttributes(const std::wstring& path, std::uint32_t attributes) override;
  bool makeDirectory(const std::wstring& path) override;
  std::wstring currentDirectory() override;
  bool setCurrentDrive(wchar_t drive) override;

private:
  // The lengths of the files the last search found, for fileLength on them right after (the
  // size total asks the length of every file it has just found). Forgotten at the next search,
  // at any change made through this object and after kSeenFor milliseconds, so a length always
  // comes from the disk as it was a moment before.
  void forget();
  std::wstring seenDir_; ///< the folder searched, as the pattern spelt it
  std::unordered_map<std::wstring, std::uint64_t> seen_;
  std::uint64_t seenAt_ = 0;
};

} // namespace vokuta
