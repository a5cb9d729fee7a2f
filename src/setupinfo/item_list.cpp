// The install items' text, the package size rule and the removal of a row.
#include "setupinfo/item_list.h"

#include "util/text.h"

namespace vokuta {

std::wstring ItemText(const SetupTable& table, std::size_t row) {
  return table[row].DestPath + L"\\" + table[row].FileName;
}

std::wstring ItemText(const Program& p, std::size_t row) { return ItemText(p.setupTable, row); }

std::uint64_t 合計容量(const SetupTable& table, PcFiles& files, MatchList& matches) {
  std::uint64_t total = 0;
  for (std::size_t row = 0; !table[row].terminates(); ++row) {
    const SetupRow& r = table[row];
    ListMatchingFiles(files, r.SourcePath, r.FileName, matches);
    for (const std::wstring& name : matches) {
      if (auto length = files.fileLength(r.SourcePath + L"\\" + name))
        total += *length / 512 * 512 + 512;
    }
  }
  return total;
}

std::uint64_t 合計容量(Program& p) { return 合計容量(p.setupTable, p.files, p.matchList); }

std::wstring FormatKBytes(std::uint64_t bytes) {
  const std::uint64_t whole = bytes / 1024;
  std::uint64_t rest = bytes % 1024;
  std::wstring text = L" ";
  if (whole != 0 || rest == 0) text += std::to_wstring(whole);
  if (rest != 0) {
    text += L'.';
    // rest / 1024 has at most ten decimal digits; write them until nothing is left.
    while (rest != 0) {
      rest *= 10;
      text += static_cast<wchar_t>(L'0' + rest / 1024);
      rest %= 1024;
    }
  }
  return text;
}

void RemoveRow(SetupTable& setup, FiniTable& fini, std::size_t row) {
  for (std::size_t i = row; i + 1 < kTableSlots && !setup[i].terminates(); ++i) {
    setup[i] = setup[i + 1];
    fini[i] = fini[i + 1];
  }
}

void RemoveRow(Program& p, std::size_t row) { RemoveRow(p.setupTable, p.finiTable, row); }

} // namespace vokuta
