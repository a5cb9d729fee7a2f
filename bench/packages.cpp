#include "packages.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace vokuta::bench {
namespace fs = std::filesystem;
namespace {

std::string numbered(const char* format, int n) {
  char text[16];
  std::snprintf(text, sizeof text, format, n);
  return text;
}

} // namespace

std::string RowFolder(const PackageShape& shape, int row) {
  return shape.folders == 1 ? "ALL" : numbered("D%03d", row + 1);
}

std::string RowPattern(const PackageShape& shape, int row) {
  return shape.folders == 1 && shape.rows > 1 ? numbered("R%03d*.DAT", row + 1) : "*.DAT";
}

std::string DeviceFolder(int row) { return numbered("D%03d", row + 1); }

void MakePackage(const fs::path& dir, const PackageShape& shape) {
  if (shape.folders != 1 && shape.folders != shape.rows)
    throw std::invalid_argument("one row per folder, or several rows over one folder");
  fs::create_directories(dir);
  const std::string content(shape.bytes, 'v');
  for (int k = 0; k < shape.files; ++k) {
    const int row = k % shape.rows;
    const std::string name = shape.folders == 1 && shape.rows > 1
                                 ? numbered("R%03d", row + 1) + numbered("%04d.DAT", k / shape.rows)
                                 : numbered("F%05d.DAT", k + 1);
    const fs::path folder = dir / RowFolder(shape, row);
    if (k < shape.rows) fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << content;
  }
  // ASCII only, so the file reads the same as Shift-JIS.
  std::ofstream inf(dir / "Setup.inf", std::ios::binary);
  inf << "[PORT]=1\r\n";
  for (int row = 0; row < shape.rows; ++row)
    inf << RowPattern(shape, row) << ",\\" << DeviceFolder(row) << ",.\\" << RowFolder(shape, row)
        << ",\r\n";
}

} // namespace vokuta::bench
