// The Registry seam: reading one value of the current user's keys.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vokuta {

/// Read-only access to values under HKEY_CURRENT_USER. Abstract so it can be faked in tests.
class Registry {
public:
  virtual ~Registry() = default;

  /// The bytes of value `name` of key `subKey` (ASCII names), as the ANSI registry functions
  /// give them: string values in the ANSI code page with their terminating NUL, other types
  /// raw. std::nullopt when the key cannot be opened for querying or the value does not exist.
  virtual std::optional<std::vector<std::uint8_t>> readValue(const std::string& subKey,
                                                             const std::string& name) = 0;
};

} // namespace vokuta
