// The device's rule for one file or directory name, as the package tool reports it.
#include "pkg/device_names.h"

#include <string_view>

#include "util/device_path.h"
#include "util/text.h"

namespace vokuta::pkg {

std::wstring ShowChar(wchar_t c) {
  if (c >= 0x20 && c != ShiftJis::kReplacement && c != 0x7F) return std::wstring(1, c);
  static const wchar_t digits[] = L"0123456789ABCDEF";
  std::wstring out = L"U+";
  for (int shift = 12; shift >= 0; shift -= 4)
    out += digits[(static_cast<unsigned>(c) >> shift) & 0xF];
  return out;
}

std::optional<NameFault> DeviceNameFault(const std::wstring& name, const ShiftJis& sjis) {
  for (wchar_t c : name) {
    if (c < 0x20 || std::wstring_view(L"\"*/:<>?|").find(c) != std::wstring_view::npos ||
        sjis.codeOf(c).empty())
      return NameFault{MessageId::NameBadCharacter, {name, ShowChar(c)}};
  }
  const std::size_t dot = name.find(L'.');
  const std::wstring base = name.substr(0, dot);
  const std::wstring ext = dot == std::wstring::npos ? L"" : name.substr(dot + 1);
  if (base.empty() || ext.find(L'.') != std::wstring::npos)
    return NameFault{MessageId::NameDots, {name}};
  const std::size_t baseBytes = sjis.encode(base).size(), extBytes = sjis.encode(ext).size();
  if (baseBytes > 8 || extBytes > 3)
    return NameFault{MessageId::NameTooLong,
                     {name, std::to_wstring(baseBytes), std::to_wstring(extBytes)}};
  const std::string last = sjis.codeOf(name.back());
  if (static_cast<unsigned char>(last.back()) == 0x5C)
    return NameFault{MessageId::NameLastByte5C, {name, std::wstring(1, name.back())}};
  return std::nullopt;
}

std::vector<DirFault> DeviceDirFaults(const std::wstring& destPath, const ShiftJis& sjis) {
  std::vector<DirFault> faults;
  if (destPath.empty()) return faults;
  for (const DeviceName& n : DeviceNames(destPath)) {
    if (n.name.empty())
      faults.push_back({n.offset, {MessageId::NameEmpty, {destPath}}});
    else if (auto fault = DeviceNameFault(n.name, sjis))
      faults.push_back({n.offset, *fault});
  }
  return faults;
}

bool HasWildcard(const std::wstring& name) {
  return name.find_first_of(L"*?") != std::wstring::npos;
}

} // namespace vokuta::pkg
