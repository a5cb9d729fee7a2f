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
  std::vector<std::uint8_t> bytes(ansi.begin(), ansi.end());
  bytes.push_back(0);
  set(key, name, std::move(bytes));
}

void FakeRegistry::setDword(const std::string& key, const std::string& name, std::uint32_t value) {
  set(key, name,
      {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
       static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

void FakeRegistry::addKey(const std::string& key) { keys_[upper(key)]; }

std::optional<std::vector<std::uint8_t>> FakeRegistry::readValue(const std::string& subKey,
                                                                 const std::string& name) {
  ++reads;
  auto key = keys_.find(upper(subKey));
  if (key == keys_.end()) return std::nullopt;
  auto value = key->second.find(upper(name));
  if (value == key->second.end()) return std::nullopt;
  return value->second;
}

} // namespace vokuta::test
