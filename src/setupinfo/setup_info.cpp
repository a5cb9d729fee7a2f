// Reading Setup.inf: lines, reduced rows, the port line, and the tables filled from them.
#include "setupinfo/setup_info.h"

#include "util/device_path.h"
#include "util/text.h"

namespace vokuta {

std::vector<std::wstring> SetupInfoLines(const std::vector<std::uint8_t>& bytes,
                                         const ShiftJis& sjis, bool* utf8) {
  const bool bom = bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
  if (utf8) *utf8 = bom;
  std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (bom) all.remove_prefix(3);

  // Line ends are found in the bytes: CR and LF are never part of a character in either
  // encoding, so a broken character cannot hide a line end.
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i] != '\r' && all[i] != '\n') continue;
    const auto line = all.substr(start, i - start);
    lines.push_back(bom ? DecodeUtf8(line) : sjis.decode(line));
    if (all[i] == '\r' && i + 1 < all.size() && all[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < all.size()) {
    const auto line = all.substr(start);
    lines.push_back(bom ? DecodeUtf8(line) : sjis.decode(line));
  }
  return lines;
}

std::wstring ReduceLine(const std::wstring& line) { return TextBefore(StripQuotes(line), L";"); }

std::uint32_t ParseHexColumn(const std::wstring& text) {
  std::uint32_t value = 0;
  for (wchar_t c : text) {
    if (c == L' ' || c == L'\t') continue;
    std::uint32_t digit;
    if (c >= L'0' && c <= L'9')
      digit = static_cast<std::uint32_t>(c - L'0');
    else if (c >= L'A' && c <= L'F')
      digit = static_cast<std::uint32_t>(c - L'A' + 10);
    else if (c >= L'a' && c <= L'f')
      digit = static_cast<std::uint32_t>(c - L'a' + 10);
    else
      break;
    value = (value << 4) | digit;
  }
  return value;
}

std::optional<std::int32_t> ParsePortLine(const std::wstring& reduced) {
  static const std::wstring kPrefix = L"[PORT]=";
  if (UpperAscii(reduced.substr(0, kPrefix.size())) != kPrefix) return std::nullopt;
  std::int32_t port = 0;
  for (wchar_t c : reduced.substr(kPrefix.size(), 2)) {
    if (c == L' ' || c == L'\t') continue;
    if (c < L'0' || c > L'9') break;
    port = port * 10 + (c - L'0');
  }
  return port;
}

ParsedSetupInfo ParseSetupInfo(const std::vector<std::uint8_t>& bytes, const ShiftJis& sjis,
                               const std::wstring& sourceDir) {
  ParsedSetupInfo info;
  info.lines = SetupInfoLines(bytes, sjis, &info.utf8);
  for (std::size_t n = 0; n < info.lines.size(); ++n) {
    const std::wstring reduced = ReduceLine(info.lines[n]);
    if (CountChar(reduced, L",") >= 3) {
      ParsedRow r;
      r.line = n + 1;
      r.row.FileName = StripBackslashes(FieldOf(reduced, L",", 1));
      const std::wstring dest = L"\\" + StripBackslashes(FieldOf(reduced, L",", 2));
      r.row.DestPath = dest == L"\\" ? std::wstring() : dest;
      r.row.SourcePath = sourceDir + L"\\" + StripTrailingBackslashes(FieldOf(reduced, L",", 3));
      r.row.Control = FieldOf(reduced, L",", 4);
      if (!r.row.FileName.empty()) {
        if (r.row.isFini()) {
          r.suffix = FitWidth(FieldOf(reduced, L",", 5), FiniRecord::kSuffixWidth);
          r.font = ParseHexColumn(FieldOf(reduced, L",", 6));
          r.mmp = ParseHexColumn(FieldOf(reduced, L",", 7));
        }
        info.rows.push_back(std::move(r));
      }
    }
    if (!info.port) {
      if (auto port = ParsePortLine(reduced)) {
        info.port = port;
        info.portLine = n + 1;
      }
    }
  }
  return info;
}

bool HasUtf16Bom(const std::vector<std::uint8_t>& bytes) {
  return bytes.size() >= 2 &&
         ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF));
}

std::optional<UnholdablePath> FindUnholdablePath(Program& p) {
  // A reserved name is no fault of the device's: it holds the file, and only the PC cache
  // mirror, which skips such names, could not.
  const auto devices = [](const NameFault& f) { return f.problem != NameProblem::Reserved; };
  for (std::size_t row = 0; row < kTableSlots && !p.setupTable[row].terminates(); ++row) {
    const SetupRow& r = p.setupTable[row];
    for (const DirFault& d : CheckDeviceDir(r.DestPath, p.sjis))
      if (devices(d.fault))
        return UnholdablePath{row, DevicePathOf(r.DestPath, r.FileName), d.fault};
    // A pattern's names are the files it matches; the install loop lists them again.
    MatchList names;
    if (r.FileName.find_first_of(L"*?") != std::wstring::npos)
      ListMatchingFiles(p.files, r.SourcePath, r.FileName, names);
    else
      names.push_back(r.FileName);
    for (const std::wstring& name : names)
      if (const auto fault = CheckDeviceName(name, p.sjis); fault && devices(*fault))
        return UnholdablePath{row, DevicePathOf(r.DestPath, name), *fault};
  }
  return std::nullopt;
}

ReadResult ReadSetupInfo(Program& p) {
  const auto bytes = p.files.readFile(p.g.SetupInfPath);
  if (!bytes) return ReadResult::CannotOpen;
  // Read as Shift-JIS, UTF-16 gives rows of NULs and halves of characters.
  if (HasUtf16Bom(*bytes)) return ReadResult::Utf16;
  const ParsedSetupInfo info = ParseSetupInfo(*bytes, p.sjis, p.g.SourceDir);
  // A package is never installed in part: rows beyond the table's room refuse the whole file.
  if (info.rows.size() > kMaxRows) return ReadResult::TooManyRows;

  std::size_t r = 0;
  for (const ParsedRow& parsed : info.rows) {
    p.setupTable[r] = parsed.row;
    p.setupLines[r] = parsed.line;
    if (parsed.row.isFini()) {
      FiniRecord& rec = p.finiTable[r];
      rec.suffix = parsed.suffix;
      rec.font = parsed.font;
      rec.mmp = parsed.mmp;
      SetAppPath(p, r);
    }
    ++r;
  }
  p.setupTable[r].FileName.clear();
  p.setupTable[r].DestPath.clear();
  if (info.port && p.g.PortSource == kPortUnknown) {
    p.g.PortNumber = *info.port;
    p.g.PortSource = kPortFixed;
  }
  return ReadResult::Ok;
}

void SetAppPath(const SetupTable& setup, FiniTable& fini, std::size_t row) {
  const SetupRow& r = setup[row];
  fini[row].app = FitWidth(UpperAscii(r.DestPath + L"\\" + r.FileName), FiniRecord::kAppWidth);
}

void SetAppPath(Program& p, std::size_t row) { SetAppPath(p.setupTable, p.finiTable, row); }

} // namespace vokuta
