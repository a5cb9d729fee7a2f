#pragma once
#include <filesystem>

#include "platform/pc_files.h"

namespace vokuta::bench {

/// A writable PcFiles over a Linux folder that stands for drive C: ("C:\a\b" is root/a/b).
/// Names are compared as spelt, except that searches match "*" and "?" without regard to case,
/// as Windows does; the packages the benchmark makes need no more.
class DiskFiles final : public PcFiles {
public:
  explicit DiskFiles(std::filesystem::path root) : root_(std::move(root)) {}

  std::vector<FoundFile> find(const std::wstring& pattern, std::uint32_t include) override;
  std::optional<std::uint64_t> fileLength(const std::wstring& path) override;
  std::optional<std::vector<std::uint8_t>> readFile(const std::wstring& path) override;
  bool writeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) override;
  bool copyFile(const std::wstring& source, const std::wstring& target) override;
  bool moveFile(const std::wstring& source, const std::wstring& target) override;
  bool deleteFile(const std::wstring& path) override;
  bool setAttributes(const std::wstring&, std::uint32_t) override { return true; }
  bool makeDirectory(const std::wstring& path) override;
  std::wstring currentDirectory() override { return L"C:\\"; }
  bool setCurrentDrive(wchar_t drive) override { return drive == L'C' || drive == L'c'; }

  std::filesystem::path host(const std::wstring& path) const;

private:
  std::filesystem::path root_;
};

} // namespace vokuta::bench
