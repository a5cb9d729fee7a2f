#pragma once
#include "platform/registry.h"

namespace vokuta {

/// HKEY_CURRENT_USER through the ANSI registry functions, so string values arrive in the
/// ANSI code page (932 on a Japanese system) for ShiftJis to decode.
class Win32Registry final : public Registry {
public:
  std::optional<std::vector<std::uint8_t>> readValue(const std::string& subKey,
                                                     const std::string& name) override;
};

} // namespace vokuta
