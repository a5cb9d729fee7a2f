#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

namespace vokuta::bench {

/// A package the benchmark makes: `files` files of `bytes` bytes each, spread over `folders`
/// folders D001, D002, ... (or all in the folder ALL when `folders` is 1), and a Setup.inf of
/// `rows` rows that names each file once: one row per folder ("*.DAT"), or in one folder one
/// row per name prefix ("R001*.DAT"). Every file goes to the device folder \D001, \D002, ...
/// of its row.
struct PackageShape {
  int files;
  int folders;
  int rows;
  std::uint32_t bytes;
};

/// Makes the package in `dir` (which must not exist yet).
void MakePackage(const std::filesystem::path& dir, const PackageShape& shape);

/// The folder a package's row `row` (from 0) reads, and its pattern.
std::string RowFolder(const PackageShape& shape, int row);
std::string RowPattern(const PackageShape& shape, int row);
std::string DeviceFolder(int row);

} // namespace vokuta::bench
