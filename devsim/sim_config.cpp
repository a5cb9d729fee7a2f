#include "devsim/sim_config.h"

#include <sstream>

namespace vokuta::devsim {
namespace {

std::wstring trim(const std::wstring& s) {
  const auto first = s.find_first_not_of(L" \t\r");
  if (first == std::wstring::npos) return {};
  return s.substr(first, s.find_last_not_of(L" \t\r") - first + 1);
}

// A whole decimal number, no sign unless `allowNegative`.
std::optional<long long> number(const std::wstring& s, bool allowNegative = false) {
  if (s.empty() || s.size() > 12) return std::nullopt;
  std::size_t i = 0;
  const bool negative = allowNegative && s[0] == L'-';
  if (negative) ++i;
  if (i == s.size()) return std::nullopt;
  long long value = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < L'0' || s[i] > L'9') return std::nullopt;
    value = value * 10 + (s[i] - L'0');
  }
  return negative ? -value : value;
}

} // namespace

Config ParseConfig(const std::wstring& text, std::vector<std::wstring>* errors) {
  Config config;
  std::wistringstream in(text);
  std::wstring line;
  int lineNo = 0;
  auto complain = [&](const std::wstring& what) {
    if (errors) errors->push_back(L"line " + std::to_wstring(lineNo) + L": " + what);
  };
  while (std::getline(in, line)) {
    ++lineNo;
    line = trim(line.substr(0, line.find(L'#')));
    if (line.empty()) continue;
    const auto eq = line.find(L'=');
    if (eq == std::wstring::npos) {
      complain(L"expected key = value");
      continue;
    }
    const std::wstring key = trim(line.substr(0, eq));
    const std::wstring value = trim(line.substr(eq + 1));
    if (key == L"device") {
      config.deviceDir = value;
    } else if (key == L"log") {
      config.logFile = value;
    } else if (key == L"port" || key == L"capacity" || key == L"speed" || key == L"drop-after") {
      const auto n = number(value);
      if (!n || *n > 0x7FFFFFFF) {
        complain(L"not a number: " + value);
      } else if (key == L"port") {
        config.port = static_cast<std::int32_t>(*n);
      } else if (key == L"capacity") {
        config.capacity = static_cast<std::uint32_t>(*n);
      } else if (key == L"speed") {
        config.bitsPerSecond = static_cast<std::uint32_t>(*n);
      } else {
        config.dropAfter = static_cast<int>(*n);
      }
    } else if (key == L"fail") {
      std::wistringstream parts(value);
      std::wstring function, nth, status, extra;
      parts >> function >> nth >> status >> extra;
      const auto n = number(nth);
      const auto s = number(status, true);
      if (function.empty() || !n || *n < 1 || !s || !extra.empty()) {
        complain(L"expected: fail = FUNCTION N STATUS");
        continue;
      }
      std::string name;
      for (wchar_t c : function) name.push_back(c < 128 ? static_cast<char>(c) : '?');
      config.faults.push_back({name, static_cast<int>(*n), static_cast<std::int32_t>(*s)});
    } else {
      complain(L"unknown setting: " + key);
    }
  }
  return config;
}

} // namespace vokuta::devsim
