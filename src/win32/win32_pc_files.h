#pragma once
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
};

} // namespace vokuta
