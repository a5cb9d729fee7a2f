#include "win32/win32_registry.h"

#include "win32/unique_handle.h"

namespace vokuta {

std::optional<std::vector<std::uint8_t>> Win32Registry::readValue(const std::string& subKey,
                                                                  const std::string& name) {
  win32::UniqueKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_QUERY_VALUE, key.receive()) !=
      ERROR_SUCCESS)
    return std::nullopt;

  DWORD size = 0;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;

  // The size asked without a buffer may be larger than the ANSI data (and the value may change
  // between the two calls): read until it fits, then keep what was written.
  std::vector<std::uint8_t> bytes;
  LSTATUS status = ERROR_MORE_DATA;
  while (status == ERROR_MORE_DATA) {
    bytes.resize(size);
    status = RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, bytes.data(), &size);
  }
  if (status != ERROR_SUCCESS) return std::nullopt;
  bytes.resize(size);
  return bytes;
}

} // namespace vokuta
