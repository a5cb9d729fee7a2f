// The device's rule for one file or directory name, as the package tool reports it.
#include "pkg/device_names.h"

#include "util/device_path.h"
#include "util/text.h"

namespace vokuta::pkg {

std::optional<NameFault> DeviceNameFault(const std::wstring& name, const ShiftJis& sjis) {
  const auto fault = CheckDeviceName(name, sjis);
  if (!fault) return std::nullopt;
  switch (fault->problem) {
  case NameProblem::Empty:
  case NameProblem::Dots:
    return NameFault{MessageId::NameDots, {name}};
  case NameProblem::BadCharacter:
    return NameFault{MessageId::NameBadCharacter, {name, ShowChar(fault->character)}};
  case NameProblem::TooLong:
    return NameFault{MessageId::NameTooLong,
                     {name, std::to_wstring(fault->baseBytes), std::to_wstring(fault->extBytes)}};
  case NameProblem::LastByte5C:
    return NameFault{MessageId::NameLastByte5C, {name, std::wstring(1, fault->character)}};
  case NameProblem::Reserved:
    return NameFault{MessageId::NameReserved, {name}};
  }
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
