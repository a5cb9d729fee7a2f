#pragma once
#include <map>
#include <utility>

#include "platform/registry.h"

namespace vokuta::test {

/// An in-memory HKEY_CURRENT_USER: keys compare without regard to case, like the real one.
class FakeRegistry : public Registry {
public:
  void set(const std::string& key, const std::string& name, std::vector<std::uint8_t> bytes);
  /// A string value as the ANSI functions return it: the bytes and a terminating NUL.
  void setString(const std::string& key, const std::string& name, const std::string& ansi);
  void setDword(const std::string& key, const std::string& name, std::uint32_t value);
  /// Makes the key exist with no values.
  void addKey(const std::string& key);

  std::optional<std::vector<std::uint8_t>> readValue(const std::string& subKey,
                                                     const std::string& name) override;

  int reads = 0;

private:
  std::map<std::string, std::map<std::string, std::vector<std::uint8_t>>> keys_;
};

} // namespace vokuta::test
