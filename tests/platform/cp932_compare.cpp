// Checks ShiftJis over Windows' code page 932, as vokuta_platform_tests dumped it under Wine,
// against ShiftJis over iconv's:
//
//   cp932_compare DUMP_FILE
//
// Decoding every code and encoding every character must give the same on both platforms: the
// program's Shift-JIS files then read and write alike wherever it runs. The raw tables differ
// (0x80, private-use characters, iconv's one-way mappings such as the yen sign), but only where
// ShiftJis never looks.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "cp932_table.h"
#include "posix/iconv_codepage.h"
#include "util/shift_jis.h"

namespace vokuta::platform_test {
namespace {

std::string wideText(const std::wstring& text) {
  std::string out;
  for (wchar_t ch : text) out += (out.empty() ? "" : " ") + HexChar(ch);
  return out;
}

/// Prints each entry where the two differ; gives how many did.
int differences(const ShiftJis& windows, const ShiftJis& iconv) {
  int found = 0;
  auto report = [&](const std::string& entry, const std::string& w, const std::string& i) {
    if (w == i) return;
    std::printf("ShiftJis differs: %s: Windows %s, iconv %s\n", entry.c_str(),
                w.empty() ? "(nothing)" : w.c_str(), i.empty() ? "(nothing)" : i.c_str());
    ++found;
  };
  for (const std::string& code : Cp932Codes())
    report("decode " + HexCode(code), wideText(windows.decode(code)), wideText(iconv.decode(code)));
  for (unsigned c = 0; c <= 0xFFFF; ++c) {
    const auto ch = static_cast<wchar_t>(c);
    report("codeOf " + HexChar(ch), HexCode(windows.codeOf(ch)), HexCode(iconv.codeOf(ch)));
  }
  return found;
}

int compare(const std::string& dump) {
  RecordedCodepage windows(dump);
  IconvCodepage iconv;
  const std::size_t codes = Cp932Codes().size();
  if (windows.decodeCount() != codes || windows.encodeCount() != 0x10000) {
    std::printf("the dump holds %zu codes and %zu characters, not %zu and 65536\n",
                windows.decodeCount(), windows.encodeCount(), codes);
    return 1;
  }
  const int failures = differences(ShiftJis(windows), ShiftJis(iconv));
  std::printf("cp932_compare: %zu codes and 65536 characters; %d differences\n", codes, failures);
  return failures ? 1 : 0;
}

} // namespace
} // namespace vokuta::platform_test
int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: cp932_compare DUMP_FILE\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cp932_compare: cannot read %s\n", argv[1]);
    return 1;
  }
  std::ostringstream dump;
  dump << in.rdbuf();
  try {
    return vokuta::platform_test::compare(dump.str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "cp932_compare: %s\n", e.what());
    return 1;
  }
}
