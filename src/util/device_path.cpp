// Device paths: splitting into names and levels, joining, and the containment rule.
#include "util/device_path.h"

#include "util/text.h"

namespace vokuta {

std::vector<DeviceName> DeviceNames(std::wstring_view path) {
  std::vector<DeviceName> names;
  for (std::size_t start = !path.empty() && path[0] == L'\\' ? 1 : 0; start <= path.size();) {
    std::size_t end = path.find(L'\\', start);
    if (end == std::wstring_view::npos) end = path.size();
    names.push_back({start, std::wstring(path.substr(start, end - start))});
    start = end + 1;
  }
  return names;
}

std::vector<std::wstring> DeviceLevels(std::wstring_view dir) {
  std::vector<std::wstring> levels;
  for (std::size_t i = 1; i <= dir.size(); ++i)
    if (i == dir.size() || dir[i] == L'\\') levels.emplace_back(dir.substr(0, i));
  return levels;
}

std::wstring DevicePathOf(const std::wstring& deviceDir, const std::wstring& fileName) {
  return UpperAscii(deviceDir + L"\\") + UpperAscii(fileName);
}

bool StaysInside(const std::wstring& relative) {
  if (relative.find_first_of(L":/") != std::wstring::npos) return false;
  for (const DeviceName& n : DeviceNames(relative)) {
    const std::wstring name = TrimBlanks(n.name);
    if (name == L"." || name == L"..") return false;
  }
  return true;
}

} // namespace vokuta
