#include "support/fake_registry.h"

#include <algorithm>
#include <cctype>

namespace vokuta::test {
namespace {
std::string upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
  return s;
}
} // namespace

void FakeRegistry::set(const std::string& key, const std::string& name,
                       std::vector<std::uint8_t> bytes) {
  keys_[upper(key)][upper(name)] = std::move(bytes);
}

void FakeRegistry::setString(const std::string& key, const std::string& name,
                             const std::string& ansi) {
  set(key, name, {ansi.c_str(), ansi.c_str() + ansi.size() + 1}); // with the terminating NUL
}

void FakeRegistry::setDword(const std::string& key, const std::string& name, std::uint32_t value) {
  set(key, name,
      {std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
       std::uint8_t(value >> 24)});
}

void FakeRegistry::addKey(const std::string& key) { keys_[upper(key)]; }

std::optional<std::vector<std::uint8_t>> FakeRegistry::readValue(const std::string& subKey,
                                                                 const std::string& name) {
  ++reads;
  const auto key = keys_.find(upper(subKey));
  if (key == keys_.end() || !key->second.count(upper(name))) return std::nullopt;
  return key->second.at(upper(name));
}

} // namespace vokuta::test
