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

bool IsReservedName(const std::wstring& name) {
  // Windows also drops blanks before the extension: "CON .TXT" is the console too.
  const std::wstring base = UpperAscii(TrimBlanks(name.substr(0, name.find(L'.'))));
  if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL") return true;
  return base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT")) &&
         base[3] >= L'1' && base[3] <= L'9';
}

bool SafeOnPc(const std::wstring& relative) {
  if (!StaysInside(relative)) return false;
  for (const DeviceName& n : DeviceNames(relative))
    if (IsReservedName(n.name)) return false;
  return true;
}

std::optional<NameFault> CheckDeviceName(const std::wstring& name, const ShiftJis& sjis) {
  if (name.empty()) return NameFault{NameProblem::Empty};
  for (wchar_t c : name) {
    if (c < 0x20 || std::wstring_view(L"\"*/:<>?|").find(c) != std::wstring_view::npos ||
        sjis.codeOf(c).empty())
      return NameFault{NameProblem::BadCharacter, c};
  }
  const std::size_t dot = name.find(L'.');
  const std::wstring base = name.substr(0, dot);
  const std::wstring ext = dot == std::wstring::npos ? L"" : name.substr(dot + 1);
  if (base.empty() || ext.find(L'.') != std::wstring::npos) return NameFault{NameProblem::Dots};
  const std::size_t baseBytes = sjis.encode(base).size(), extBytes = sjis.encode(ext).size();
  if (baseBytes > 8 || extBytes > 3) return NameFault{NameProblem::TooLong, 0, baseBytes, extBytes};
  if (static_cast<unsigned char>(sjis.codeOf(name.back()).back()) == 0x5C)
    return NameFault{NameProblem::LastByte5C, name.back()};
  if (IsReservedName(name)) return NameFault{NameProblem::Reserved};
  return std::nullopt;
}

std::wstring ShowChar(wchar_t c) {
  if (c >= 0x20 && c != ShiftJis::kReplacement && c != 0x7F) return std::wstring(1, c);
  static const wchar_t digits[] = L"0123456789ABCDEF";
  std::wstring out = L"U+";
  for (int shift = 12; shift >= 0; shift -= 4)
    out += digits[(static_cast<unsigned>(c) >> shift) & 0xF];
  return out;
}

std::vector<DirFault> CheckDeviceDir(const std::wstring& dir, const ShiftJis& sjis) {
  std::vector<DirFault> faults;
  if (dir.empty()) return faults;
  for (const DeviceName& n : DeviceNames(dir))
    if (auto fault = CheckDeviceName(n.name, sjis)) faults.push_back({n.offset, *fault});
  return faults;
}

} // namespace vokuta
