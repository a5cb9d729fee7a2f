// A PcFiles view that reads and never writes, for the package tool.
#pragma once
#include "platform/pc_files.h"

namespace vokuta::pkg {

/// The tools never change a file: this view passes searches and reads through to the real file
/// system and refuses every call that would write, copy, move, delete, change attributes or
/// create a directory (they return false and do nothing), as well as changing the current
/// drive.
class ReadOnlyFiles final : public PcFiles {
public:
  explicit ReadOnlyFiles(PcFiles& files) : files_(files) {}

  std::vector<FoundFile> find(const std::wstring& pattern, std::uint32_t include) override {
    return files_.find(pattern, include);
  }
  std::optional<std::uint64_t> fileLength(const std::wstring& path) override {
    return files_.fileLength(path);
  }
  std::optional<std::vector<std::uint8_t>> readFile(const std::wstring& path) override {
    return files_.readFile(path);
  }
  std::wstring currentDirectory() override { return files_.currentDirectory(); }

  bool writeFile(const std::wstring&, const std::vector<std::uint8_t>&) override { return false; }
  bool copyFile(const std::wstring&, const std::wstring&) override { return false; }
  bool moveFile(const std::wstring&, const std::wstring&) override { return false; }
  bool deleteFile(const std::wstring&) override { return false; }
  bool setAttributes(const std::wstring&, std::uint32_t) override { return false; }
  bool makeDirectory(const std::wstring&) override { return false; }
  bool setCurrentDrive(wchar_t) override { return false; }

private:
  PcFiles& files_;
};

} // namespace vokuta::pkg
