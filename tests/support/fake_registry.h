#pragma once
#include <algorithm>
#include <cctype>
#include <map>
#include <utility>

#include "platform/registry.h"

namespace vokuta::test {

/// An in-memory HKEY_CURRENT_USER: keys compare without regard to case, like the real one.
class FakeRegistry : public Registry {
public:
  void set(const std::string& key, const std::string& name, std::vector<std::uint8_t> bytes) {
    keys_[upper(key)][upper(name)] = std::move(bytes);
  }
  /// A string value as the ANSI functions return it: the bytes and a terminating NUL.
  void setString(const std::string& key, const std::string& name, const std::string& ansi) {
    set(key, name, {ansi.c_str(), ansi.c_str() + ansi.size() + 1});
  }
  void setDword(const std::string& key, const std::string& name, std::uint32_t value) {
    set(key, name,
        {std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
         std::uint8_t(value >> 24)});
  }
  /// Makes the key exist with no values.
  void addKey(const std::string& key) { keys_[upper(key)]; }

  std::optional<std::vector<std::uint8_t>> readValue(const std::string& subKey,
                                                     const std::string& name) override {
    ++reads;
    const auto key = keys_.find(upper(subKey));
    if (key == keys_.end() || !key->second.count(upper(name))) return std::nullopt;
    return key->second.at(upper(name));
  }

  int reads = 0;

private:
  static std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
  }
  std::map<std::string, std::map<std::string, std::vector<std::uint8_t>>> keys_;
};

} // namespace vokuta::test
