// Checks Windows' code page 932, as vokuta_platform_tests dumped it under Wine, against iconv's:
//
//   cp932_compare DUMP_FILE
//
// 1. Every code and every character 0x0000-0xFFFF, both directions. The two tables differ in
//    the places listed in kExpected below, each with its reason; any other difference fails,
//    and so does a listed one that no longer occurs, so that the list stays true.
// 2. ShiftJis built over each table: decoding every code and encoding every character must
//    give the same on both platforms, with no exception. This is what the program relies on.
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "cp932_table.h"
#include "posix/iconv_codepage.h"
#include "util/shift_jis.h"

namespace vokuta::platform_test {
namespace {

struct Difference {
  std::string entry; ///< "decode 80" or "encode U+00A5"
  std::string windows;
  std::string iconv;
};

struct Expected {
  Difference difference;
  const char* reason;
};

// The differences between Wine 8's tables (Debian 12) and glibc's CP932 converter.
const Expected kExpected[] = {
    // Single bytes that ShiftJis::kUnmappedSingleBytes turns into U+FFFD on both platforms.
    {{"decode 80", "U+0080", "none"}, "Windows keeps 0x80 as the C1 control U+0080"},
    {{"encode U+0080", "80", "none"}, "the same byte, the other way"},
    {{"encode U+F8F0", "A0", "none"},
     "Windows gives 0xA0 and 0xFD-0xFF private-use characters; Wine only encodes them"},
    {{"encode U+F8F1", "FD", "none"}, "as U+F8F0"},
    {{"encode U+F8F2", "FE", "none"}, "as U+F8F0"},
    {{"encode U+F8F3", "FF", "none"}, "as U+F8F0"},
    // One-way mappings of iconv: characters that no code decodes to on either platform (the
    // codes decode to the characters in brackets), which ShiftJis therefore never encodes.
    // Windows reaches them only through best fit, which Win32Codepage refuses.
    {{"encode U+00A2", "none", "8191"}, "cent sign (U+FFE0)"},
    {{"encode U+00A3", "none", "8192"}, "pound sign (U+FFE1)"},
    {{"encode U+00A5", "none", "5C"}, "yen sign (0x5C is the backslash U+005C)"},
    {{"encode U+00AC", "none", "81CA"}, "not sign (U+FFE2)"},
    {{"encode U+2014", "none", "815C"}, "em dash (U+2015)"},
    {{"encode U+2016", "none", "8161"}, "double vertical line (U+2225)"},
    {{"encode U+203E", "none", "7E"}, "overline (0x7E is the tilde U+007E)"},
    {{"encode U+2212", "none", "817C"}, "minus sign (U+FF0D)"},
    {{"encode U+301C", "none", "8160"}, "wave dash (U+FF5E)"},
};

std::string codeText(const std::optional<std::string>& code) {
  return code ? HexCode(*code) : "none";
}

std::string wideText(const std::wstring& text) {
  std::string out;
  for (wchar_t ch : text) out += (out.empty() ? "" : " ") + HexChar(ch);
  return out;
}

std::vector<Difference> tableDifferences(Codepage& windows, Codepage& iconv) {
  std::vector<Difference> found;
  for (const std::string& code : Cp932Codes()) {
    const auto w = HexChar(windows.decodeChar(code));
    const auto i = HexChar(iconv.decodeChar(code));
    if (w != i) found.push_back({"decode " + HexCode(code), w, i});
  }
  for (unsigned c = 0; c <= 0xFFFF; ++c) {
    const auto ch = static_cast<wchar_t>(c);
    const auto w = codeText(windows.encodeChar(ch));
    const auto i = codeText(iconv.encodeChar(ch));
    if (w != i) found.push_back({"encode " + HexChar(ch), w, i});
  }
  return found;
}

std::vector<Difference> shiftJisDifferences(const ShiftJis& windows, const ShiftJis& iconv) {
  std::vector<Difference> found;
  for (const std::string& code : Cp932Codes()) {
    const auto w = wideText(windows.decode(code));
    const auto i = wideText(iconv.decode(code));
    if (w != i) found.push_back({"ShiftJis::decode " + HexCode(code), w, i});
  }
  for (unsigned c = 0; c <= 0xFFFF; ++c) {
    const auto ch = static_cast<wchar_t>(c);
    const auto w = HexCode(windows.codeOf(ch));
    const auto i = HexCode(iconv.codeOf(ch));
    if (w != i) found.push_back({"ShiftJis::codeOf " + HexChar(ch), w, i});
  }
  return found;
}

void print(const char* what, const Difference& d) {
  std::printf("%s: %s: Windows %s, iconv %s\n", what, d.entry.c_str(),
              d.windows.empty() ? "(nothing)" : d.windows.c_str(),
              d.iconv.empty() ? "(nothing)" : d.iconv.c_str());
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

  int failures = 0;
  std::set<std::string> seen;
  for (const Difference& d : tableDifferences(windows, iconv)) {
    const Expected* known = nullptr;
    for (const Expected& e : kExpected) {
      if (e.difference.entry == d.entry) known = &e;
    }
    if (known && known->difference.windows == d.windows && known->difference.iconv == d.iconv) {
      seen.insert(d.entry);
    } else {
      print("unexpected table difference", d);
      ++failures;
    }
  }
  for (const Expected& e : kExpected) {
    if (!seen.count(e.difference.entry)) {
      print("listed difference that does not occur", e.difference);
      ++failures;
    }
  }

  const ShiftJis windowsSjis(windows);
  const ShiftJis iconvSjis(iconv);
  const auto sjis = shiftJisDifferences(windowsSjis, iconvSjis);
  for (const Difference& d : sjis) print("ShiftJis differs", d);
  failures += static_cast<int>(sjis.size());

  std::printf("cp932_compare: %zu codes and 65536 characters; %zu table differences as listed; "
              "ShiftJis %s; %d failures\n",
              codes, seen.size(), sjis.empty() ? "the same on both" : "DIFFERS", failures);
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
