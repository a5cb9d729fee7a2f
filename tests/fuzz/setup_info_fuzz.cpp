// Feeds arbitrary bytes to the Setup.inf reader as a file, and every line of it to the text
// helpers, under AddressSanitizer and UndefinedBehaviorSanitizer.
#include <cstddef>
#include <cstdint>

#include "setupinfo/setup_info.h"
#include "support/test_program.h"
#include "util/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vokuta;
  // Built once: its tables of 200 records cost more than reading most inputs. What the reader
  // depends on is reset after every input, so that a finding reproduces from its input alone
  // and an input frees what it allocates (else libFuzzer looks for a leak after each one).
  static test::TestProgram t;
  t.p.g.SourceDir = L"C:\\pkg";
  t.p.g.SetupInfPath = L"C:\\pkg\\Setup.inf";
  t.files.addFile(t.p.g.SetupInfPath, std::string(reinterpret_cast<const char*>(data), size));
  if (ReadSetupInfo(t.p) == ReadResult::Ok) {
    std::size_t rows = 0;
    while (!t.p.setupTable[rows].terminates()) ++rows;
    if (rows > kMaxRows) __builtin_trap();
  }
  t.p.g = SetupGlobals();
  t.p.setupTable = SetupTable();
  t.files.log = {};

  const std::vector<std::uint8_t> bytes(data, data + size);
  for (const std::wstring& line : SetupInfoLines(bytes, test::TestShiftJis())) {
    const std::wstring reduced = ReduceLine(line);
    const std::int32_t fields = CountChar(reduced, L",") + 1;
    for (std::int32_t n = -1; n <= fields + 1 && n < 12; ++n) (void)FieldOf(reduced, L",", n);
    (void)StripBackslashes(reduced);
    (void)RemoveBlanks(reduced);
    (void)ByteWidth(reduced, test::TestShiftJis());
    (void)DirPart(reduced);
    (void)PadLeft(reduced, static_cast<std::size_t>(size % 40));
    (void)ParsePortLine(reduced);
    (void)ParseHexColumn(reduced);
    // Encoding and decoding again must give a text of the same length in characters.
    const std::wstring again = test::TestShiftJis().decode(test::TestShiftJis().encode(line));
    if (again.size() != line.size()) __builtin_trap();
  }
  return 0;
}
