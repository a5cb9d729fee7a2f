// vokuta-pkg check: every line of a Setup.inf against what the installer and the device do.
#include "pkg/check.h"

#include <algorithm>
#include <map>
#include <numeric>

#include "fini/fini_image.h"
#include "pkg/device_names.h"
#include "setupinfo/item_list.h"
#include "setupinfo/setup_info.h"
#include "util/device_path.h"
#include "util/text.h"

namespace vokuta::pkg {
namespace {

// Where the fields of one line start, in characters of the line as written: the reader drops
// leading quotes before it splits at commas.
class LineColumns {
public:
  explicit LineColumns(const std::wstring& line) : reduced_(ReduceLine(line)) {
    while (lead_ < line.size() && line[lead_] == L'"') ++lead_;
  }
  const std::wstring& reduced() const { return reduced_; }
  /// Column (from 1) of the first character of field `n` (from 1), plus `offset` characters.
  std::size_t of(int n, std::size_t offset = 0) const {
    std::size_t start = 0;
    for (int i = 1; i < n; ++i) {
      const std::size_t comma = reduced_.find(L',', start);
      if (comma == std::wstring::npos) return lead_ + reduced_.size() + 1;
      start = comma + 1;
    }
    return lead_ + start + offset + 1;
  }
  std::wstring field(int n) const { return FieldOf(reduced_, L",", n); }

private:
  std::wstring reduced_;
  std::size_t lead_ = 0;
};

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool hasOuterBlanks(const std::wstring& text) {
  return !text.empty() && (isBlank(text.front()) || isBlank(text.back()));
}

bool hasData(const std::wstring& text) {
  return std::any_of(text.begin(), text.end(), [](wchar_t c) { return !isBlank(c); });
}

// Double-byte characters and blanks cannot be stored in the association table.
bool storable(wchar_t c, const ShiftJis& sjis) { return FiniByteOf(sjis, c) != 0; }

// A hexadecimal column read as the installer reads it, remembering where reading stopped and
// whether the value went beyond what 32 bits keep.
struct HexReading {
  std::uint64_t value = 0; ///< saturates at 2^36, enough to tell any limit apart
  std::uint32_t kept = 0;  ///< the low 32 bits, which the installer keeps
  std::optional<wchar_t> stop;
};

HexReading readHex(const std::wstring& text) {
  HexReading r;
  for (wchar_t c : text) {
    if (isBlank(c)) continue;
    int digit;
    if (c >= L'0' && c <= L'9')
      digit = c - L'0';
    else if (c >= L'A' && c <= L'F')
      digit = c - L'A' + 10;
    else if (c >= L'a' && c <= L'f')
      digit = c - L'a' + 10;
    else {
      r.stop = c;
      break;
    }
    r.value = std::min<std::uint64_t>((r.value << 4) | static_cast<std::uint64_t>(digit),
                                      std::uint64_t{1} << 36);
    r.kept = (r.kept << 4) | static_cast<std::uint32_t>(digit);
  }
  return r;
}

std::wstring hexText(std::uint64_t value) {
  static const wchar_t digits[] = L"0123456789ABCDEF";
  std::wstring out;
  do {
    out.insert(out.begin(), digits[value & 0xF]);
    value >>= 4;
  } while (value);
  return out;
}

std::wstring trimmedRight(const std::wstring& text) {
  const std::size_t end = text.find_last_not_of(L' ');
  return end == std::wstring::npos ? std::wstring() : text.substr(0, end + 1);
}

class Checker {
public:
  Checker(PcFiles& files, const ShiftJis& sjis, CheckReport& report)
      : files_(files), sjis_(sjis), report_(report) {}

  void run(const std::vector<std::uint8_t>& bytes);

private:
  void add(MessageId id, std::size_t line, std::size_t column,
           std::vector<std::wstring> args = {}) {
    report_.problems.push_back(MakeProblem(id, line, column, std::move(args)));
  }
  void checkEncoding(const std::vector<std::uint8_t>& bytes, const ParsedSetupInfo& info);
  void checkLine(std::size_t n, const std::wstring& line, const ParsedSetupInfo& info);
  void checkPort(std::size_t n, const LineColumns& cols);
  void checkRow(CheckedRow& row, const LineColumns& cols);
  void checkFiles(CheckedRow& row, const LineColumns& cols);
  void checkAssociation(CheckedRow& row, const LineColumns& cols);
  void checkIcon(const LineColumns& cols, std::size_t line, int field, std::uint64_t limit);
  void addNameFault(std::size_t line, std::size_t column, const NameFault& fault) {
    add(fault.id, line, column, fault.args);
  }
  std::uint64_t installerSize(const SetupRow& row);

  PcFiles& files_;
  const ShiftJis& sjis_;
  CheckReport& report_;
  std::size_t nextRow_ = 0;
  std::vector<ParsedRow> parsedRows_;
  std::map<std::wstring, std::size_t> devicePaths_; // device path -> line that writes it first
  std::map<std::wstring, std::size_t> suffixes_;    // stored suffix, upper case -> first line
};

void Checker::run(const std::vector<std::uint8_t>& bytes) {
  // The installer refuses it before it reads a row, so there is nothing more to say.
  if (HasUtf16Bom(bytes)) {
    report_.utf16 = report_.refused = true;
    add(MessageId::Utf16, 0, 0);
    return;
  }
  const ParsedSetupInfo info = ParseSetupInfo(bytes, sjis_, report_.sourceDir);
  report_.utf8 = info.utf8;
  report_.lineCount = info.lines.size();
  report_.port = info.port;
  report_.portLine = info.portLine;
  parsedRows_ = info.rows;

  checkEncoding(bytes, info);
  for (std::size_t i = 0; i < info.lines.size(); ++i) checkLine(i + 1, info.lines[i], info);

  if (report_.rows.empty()) add(MessageId::NoRows, 0, 0);
  if (report_.rows.size() > kMaxRows) {
    report_.refused = true;
    add(MessageId::TooManyRows, report_.rows[kMaxRows].parsed.line, 1,
        {std::to_wstring(report_.rows.size())});
  }

  for (const CheckedRow& row : report_.rows) {
    report_.totalBytes += row.countedBytes;
    const std::wstring dir =
        row.parsed.row.DestPath.empty() ? std::wstring(L"\\") : UpperAscii(row.parsed.row.DestPath);
    auto it = std::find_if(report_.directories.begin(), report_.directories.end(),
                           [&](const DirectorySize& d) { return d.deviceDir == dir; });
    if (it == report_.directories.end())
      it = report_.directories.insert(report_.directories.end(), DirectorySize{dir, 0, 0});
    it->bytes += row.countedBytes;
    it->files += row.files.size();
  }
  std::stable_sort(report_.problems.begin(), report_.problems.end(),
                   [](const Problem& a, const Problem& b) {
                     return a.line != b.line ? a.line < b.line : a.column < b.column;
                   });
}

void Checker::checkEncoding(const std::vector<std::uint8_t>& bytes, const ParsedSetupInfo& info) {
  for (std::size_t i = 0; i < info.lines.size(); ++i) {
    const std::wstring& line = info.lines[i];
    const auto count = std::count(line.begin(), line.end(), ShiftJis::kReplacement);
    if (count)
      add(MessageId::NoCharacter, i + 1, line.find(ShiftJis::kReplacement) + 1,
          {std::to_wstring(count)});
  }
  if (info.utf8) return;
  // Text that is all well-formed UTF-8 and not all ASCII was most likely saved as UTF-8.
  const std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const bool nonAscii =
      std::any_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b >= 0x80; });
  if (!nonAscii || DecodeUtf8(all).find(ShiftJis::kReplacement) != std::wstring::npos) return;
  for (std::size_t i = 0; i < info.lines.size(); ++i) {
    const std::wstring& line = info.lines[i];
    const auto it = std::find_if(line.begin(), line.end(), [](wchar_t c) { return c >= 0x80; });
    if (it != line.end()) {
      add(MessageId::Utf8WithoutBom, i + 1, static_cast<std::size_t>(it - line.begin()) + 1);
      return;
    }
  }
}

void Checker::checkLine(std::size_t n, const std::wstring& line, const ParsedSetupInfo& info) {
  const LineColumns cols(line);
  const std::wstring& reduced = cols.reduced();
  const bool port = ParsePortLine(reduced).has_value();
  if (CountChar(reduced, L",") >= 3) {
    if (nextRow_ < parsedRows_.size() && parsedRows_[nextRow_].line == n) {
      CheckedRow row;
      row.parsed = parsedRows_[nextRow_++];
      checkRow(row, cols);
      report_.rows.push_back(std::move(row));
    } else {
      report_.ignored.push_back({n, IgnoredReason::EmptyFileName});
      add(MessageId::EmptyFileName, n, cols.of(1));
    }
    if (port && n == info.portLine) checkPort(n, cols);
    return;
  }
  if (port) {
    if (n == info.portLine) {
      checkPort(n, cols);
    } else {
      report_.ignored.push_back({n, IgnoredReason::SecondPort});
      add(MessageId::SecondPort, n, cols.of(1), {std::to_wstring(info.portLine)});
    }
    return;
  }
  if (!hasData(reduced)) {
    report_.ignored.push_back({n, IgnoredReason::CommentOrBlank});
    return;
  }
  report_.ignored.push_back({n, IgnoredReason::TooFewCommas});
  add(MessageId::TooFewCommas, n, cols.of(1, reduced.find_first_not_of(L" \t")),
      {std::to_wstring(CountChar(reduced, L","))});
}

void Checker::checkPort(std::size_t n, const LineColumns& cols) {
  const std::wstring& reduced = cols.reduced();
  const std::int32_t port = *ParsePortLine(reduced);
  const std::size_t valueAt = 7; // after "[PORT]="
  std::wstring text = reduced.substr(valueAt);
  const std::size_t first = text.find_first_not_of(L" \t");
  text = first == std::wstring::npos
             ? L""
             : text.substr(first, text.find_last_not_of(L" \t") - first + 1);
  const bool plainNumber =
      !text.empty() && text.size() <= 2 &&
      std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }) &&
      std::accumulate(text.begin(), text.end(), 0,
                      [](int value, wchar_t c) { return value * 10 + (c - L'0'); }) == port;
  if (!plainNumber || port == 0)
    add(MessageId::PortUnclear, n, cols.of(1, valueAt), {text, std::to_wstring(port)});
}

void Checker::checkRow(CheckedRow& row, const LineColumns& cols) {
  const std::size_t line = row.parsed.line;
  const SetupRow& r = row.parsed.row;
  for (int field = 1; field <= 3; ++field) {
    if (hasOuterBlanks(cols.field(field)))
      add(MessageId::BlanksKept, line, cols.of(field),
          {std::to_wstring(field), field == 1   ? r.FileName
                                   : field == 2 ? r.DestPath
                                                : r.SourcePath});
  }
  if (r.FileName.find(L'\\') != std::wstring::npos)
    add(MessageId::FileNameBackslash, line, cols.of(1), {r.FileName});

  const std::wstring rawDest = cols.field(2);
  const std::size_t destLead = rawDest.find_first_not_of(L'\\');
  for (const DirFault& f : DeviceDirFaults(r.DestPath, sjis_))
    addNameFault(line, cols.of(2, (destLead == std::wstring::npos ? 0 : destLead) + f.offset - 1),
                 f.fault);

  checkFiles(row, cols);

  if (r.isFini()) {
    checkAssociation(row, cols);
  } else {
    const std::wstring control = r.Control;
    if (UpperAscii(TrimBlanks(control)) == L"FINI" || UpperAscii(RemoveBlanks(control)) == L"FINI")
      add(MessageId::ControlBlanks, line, cols.of(4), {control});
    else if (hasData(control))
      add(MessageId::UnknownControl, line, cols.of(4), {control});
    if (hasData(cols.field(5)) || hasData(cols.field(6)) || hasData(cols.field(7)))
      add(MessageId::AssocColumnsUnused, line, cols.of(5));
  }
}

void Checker::checkFiles(CheckedRow& row, const LineColumns& cols) {
  const std::size_t line = row.parsed.line;
  const SetupRow& r = row.parsed.row;
  MatchList matches;
  ListMatchingFiles(files_, r.SourcePath, r.FileName, matches);
  // The order NTFS lists a folder in, whatever file system the tool runs on.
  std::sort(matches.begin(), matches.end(), [](const std::wstring& a, const std::wstring& b) {
    return UpperAscii(a) < UpperAscii(b);
  });
  const std::size_t nameColumn =
      cols.of(1, cols.field(1).find_first_not_of(L'\\') == std::wstring::npos
                     ? 0
                     : cols.field(1).find_first_not_of(L'\\'));
  const bool wildcard = HasWildcard(r.FileName);
  if (matches.empty()) {
    add(wildcard ? MessageId::WildcardNoMatch : MessageId::SourceMissing, line, nameColumn,
        {r.SourcePath + L"\\" + r.FileName});
  }
  if (!wildcard && r.FileName.find(L'\\') == std::wstring::npos) {
    if (auto fault = DeviceNameFault(r.FileName, sjis_)) addNameFault(line, nameColumn, *fault);
  }
  for (const std::wstring& name : matches) {
    CheckedFile f;
    f.name = name;
    f.length = files_.fileLength(r.SourcePath + L"\\" + name).value_or(0);
    f.counted = CountedBytes(f.length);
    f.devicePath = DevicePathOf(r.DestPath, name);
    if (wildcard) {
      if (auto fault = DeviceNameFault(name, sjis_)) addNameFault(line, nameColumn, *fault);
    }
    const auto [it, fresh] = devicePaths_.try_emplace(f.devicePath, line);
    if (!fresh)
      add(MessageId::SameDevicePath, line, nameColumn, {f.devicePath, std::to_wstring(it->second)});
    row.files.push_back(std::move(f));
  }
  row.countedBytes = installerSize(r);
}

std::uint64_t Checker::installerSize(const SetupRow& row) {
  // The installer's own size rule, one row at a time.
  SetupTable table{};
  table[0] = row;
  MatchList matches;
  return 合計容量(table, files_, matches);
}

void Checker::checkAssociation(CheckedRow& row, const LineColumns& cols) {
  const std::size_t line = row.parsed.line;
  const SetupRow& r = row.parsed.row;
  SetupTable setup{};
  setup[0] = r;
  FiniTable fini{};
  SetAppPath(setup, fini, 0);
  row.app = fini[0].app;

  const std::wstring rawSuffix = cols.field(5);
  const std::wstring& stored = row.parsed.suffix;
  if (rawSuffix.size() > FiniRecord::kSuffixWidth)
    add(MessageId::SuffixCut, line, cols.of(5, FiniRecord::kSuffixWidth), {rawSuffix, stored});
  if (!storable(stored[0], sjis_)) {
    add(MessageId::SuffixLooksFree, line, cols.of(5), {stored});
  } else {
    if (stored[0] != L'.') add(MessageId::SuffixNoDot, line, cols.of(5), {trimmedRight(stored)});
    const std::size_t used = trimmedRight(stored).size();
    for (std::size_t i = 1; i < used; ++i) {
      if (!storable(stored[i], sjis_)) {
        add(MessageId::SuffixNotSingleByte, line, cols.of(5, i), {stored});
        break;
      }
    }
  }
  const std::wstring key = UpperAscii(stored);
  if (const auto [it, fresh] = suffixes_.try_emplace(key, line); !fresh)
    add(MessageId::RepeatedSuffix, line, cols.of(5),
        {trimmedRight(stored), std::to_wstring(it->second)});

  checkIcon(cols, line, 6, 0xFFFF);
  checkIcon(cols, line, 7, 0xFFFFFF);

  const std::wstring full = UpperAscii(r.DestPath + L"\\" + r.FileName);
  if (full.size() > FiniRecord::kAppWidth)
    add(MessageId::AppPathCut, line, cols.of(1), {full, trimmedRight(row.app)});
  if (std::any_of(row.app.begin(),
                  row.app.begin() +
                      static_cast<std::ptrdiff_t>(std::min(full.size(), row.app.size())),
                  [&](wchar_t c) { return !storable(c, sjis_); }))
    add(MessageId::AppPathNotSingleByte, line, cols.of(1), {full});
  if (HasWildcard(r.FileName)) add(MessageId::AppPathWildcard, line, cols.of(1), {full});
}

void Checker::checkIcon(const LineColumns& cols, std::size_t line, int field, std::uint64_t limit) {
  const std::wstring text = cols.field(field);
  const HexReading r = readHex(text);
  const std::wstring shown = TrimBlanks(text);
  if (r.stop)
    add(MessageId::IconNotHex, line, cols.of(field, text.find(*r.stop)),
        {shown, ShowChar(*r.stop), hexText(r.kept)});
  if (r.value > limit) {
    if (field == 6)
      add(MessageId::SmallIconTooLarge, line, cols.of(field), {shown, Hex4(KeptFont(r.kept))});
    else
      add(MessageId::LargeIconTooLarge, line, cols.of(field), {shown});
  }
}

} // namespace

std::wstring SourceDirOf(const std::wstring& setupInfPath) {
  const std::size_t cut = setupInfPath.find_last_of(L"\\/");
  if (cut == std::wstring::npos) return L".";
  // "\Setup.inf": the root, which the rows' "\" + directory then names.
  return setupInfPath.substr(0, cut);
}

CheckReport CheckSetupInfo(PcFiles& files, const ShiftJis& sjis, const std::wstring& setupInfPath,
                           const std::wstring& sourceDir) {
  CheckReport report;
  report.setupInf = setupInfPath;
  report.sourceDir = sourceDir;
  const auto bytes = files.readFile(setupInfPath);
  if (!bytes) {
    report.problems.push_back(MakeProblem(MessageId::CannotRead, 0, 0, {setupInfPath}));
    return report;
  }
  report.readable = true;
  Checker(files, sjis, report).run(*bytes);
  return report;
}

} // namespace vokuta::pkg
