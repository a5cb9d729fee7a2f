// vokuta-pkg ravuz: reading an association file as the installer reads it, and diffs.
#include "pkg/ravuz.h"

#include <algorithm>

#include "fini/fini_image.h"

namespace vokuta::pkg {
namespace {

bool isUsed(const RavuzRecord& r) { return r.reserved ? !r.empty : !r.free; }

// Bytes of a record, all 54 when it is not in the file.
std::array<std::uint8_t, kFiniRecordBytes> bytesOf(const RavuzFile& f, std::size_t slot) {
  if (slot < f.records.size()) return f.records[slot].bytes;
  return {};
}

std::wstring hexBytes(const std::uint8_t* b, std::size_t n) {
  static const wchar_t digits[] = L"0123456789ABCDEF";
  std::wstring out;
  for (std::size_t i = 0; i < n; ++i) {
    if (i) out += L' ';
    out += digits[b[i] >> 4];
    out += digits[b[i] & 0xF];
  }
  return out;
}

} // namespace

std::wstring ShownField(const std::wstring& text) {
  std::wstring out = Shown(text);
  out.erase(out.find_last_not_of(L' ') + 1);
  return out;
}

RavuzFile RavuzOf(const std::vector<std::uint8_t>& bytes, const ShiftJis& sjis) {
  RavuzFile f;
  f.length = bytes.size();
  if (bytes.size() % kFiniRecordBytes != 0) {
    f.status = RavuzFile::Status::NotWholeRecords;
    return f;
  }
  const std::size_t count = bytes.size() / kFiniRecordBytes;
  if (count > kFiniSlots) {
    f.status = RavuzFile::Status::TooManyRecords;
    return f;
  }
  f.status = RavuzFile::Status::Ok;

  // The installer's own reading: the image of the file and its table of records.
  const FiniImage image = FiniImageOf(bytes);
  const DeviceFiniTable table = FiniB2rR(image, sjis);

  std::size_t kept = 0;
  for (std::size_t k = 0; k < count; ++k) {
    RavuzRecord r;
    r.slot = k;
    r.record = table[k];
    r.bytes = image[k];
    r.reserved = k < kReservedSlots;
    r.free = !r.reserved && IsFreeSlot(table, sjis, k);
    r.empty = std::all_of(r.bytes.begin(), r.bytes.end(), [](std::uint8_t b) { return b == 0; });
    // The write-back keeps the reserved slots and every slot whose suffix is not all 0 as it
    // writes it: bytes up to 32 are read as blanks and written as 0.
    r.dropped = !r.reserved && std::all_of(r.bytes.begin(), r.bytes.begin() + 4,
                                           [](std::uint8_t b) { return b <= 32; });
    if (!r.dropped) {
      if (kept != k) r.movesTo = kept;
      ++kept;
    }
    f.records.push_back(r);
  }
  return f;
}

RavuzFile ReadRavuz(PcFiles& files, const ShiftJis& sjis, const std::wstring& path) {
  const auto bytes = files.readFile(path);
  RavuzFile f;
  if (bytes) f = RavuzOf(*bytes, sjis);
  f.path = path;
  return f;
}

int ExitStatusOf(const RavuzFile& file) {
  if (file.status != RavuzFile::Status::Ok) return 2;
  return std::any_of(file.records.begin(), file.records.end(),
                     [](const RavuzRecord& r) { return r.atRisk(); })
             ? 1
             : 0;
}

RavuzDiff DiffRavuz(RavuzFile a, RavuzFile b, const ShiftJis& sjis) {
  RavuzDiff d;
  d.a = std::move(a);
  d.b = std::move(b);
  if (d.a.status != RavuzFile::Status::Ok || d.b.status != RavuzFile::Status::Ok) return d;
  // Slots beyond a file's records read as empty, as the installer's image holds them.
  const RavuzFile emptyTable =
      RavuzOf(std::vector<std::uint8_t>(kFiniSlots * kFiniRecordBytes), sjis);
  const auto recordOf = [&](const RavuzFile& f, std::size_t slot) -> const RavuzRecord& {
    return slot < f.records.size() ? f.records[slot] : emptyTable.records[slot];
  };
  const std::size_t slots = std::max(d.a.records.size(), d.b.records.size());
  for (std::size_t k = 0; k < slots; ++k) {
    const auto ba = bytesOf(d.a, k), bb = bytesOf(d.b, k);
    if (ba == bb) continue;
    const RavuzRecord& ra = recordOf(d.a, k);
    const RavuzRecord& rb = recordOf(d.b, k);
    SlotChange c;
    c.slot = k;
    c.kind = !isUsed(ra) && isUsed(rb)   ? SlotChange::Kind::Added
             : isUsed(ra) && !isUsed(rb) ? SlotChange::Kind::Removed
                                         : SlotChange::Kind::Changed;
    const auto text = [&](const char* name, std::size_t at, std::size_t width,
                          const std::wstring& before, const std::wstring& after) {
      if (std::equal(ba.begin() + static_cast<std::ptrdiff_t>(at),
                     ba.begin() + static_cast<std::ptrdiff_t>(at + width),
                     bb.begin() + static_cast<std::ptrdiff_t>(at)))
        return;
      std::wstring x = ShownField(before), y = ShownField(after);
      // Bytes that show alike (0 and a blank, say) still differ: show them.
      if (x == y) x = hexBytes(&ba[at], width), y = hexBytes(&bb[at], width);
      c.fields.push_back({name, x, y});
    };
    const auto number = [&](const char* name, std::int64_t before, std::int64_t after, bool wide) {
      if (before != after)
        c.fields.push_back(
            {name, wide ? Hex8(before) : Hex4(before), wide ? Hex8(after) : Hex4(after)});
    };
    text("suffix", 0, FiniRecord::kSuffixWidth, ra.record.suffix, rb.record.suffix);
    number("attr", ra.record.attr, rb.record.attr, false);
    number("id", ra.record.id, rb.record.id, false);
    number("font", ra.record.font, rb.record.font, false);
    number("mmp", ra.record.mmp, rb.record.mmp, true);
    text("file", 14, FiniRecord::kFileWidth, ra.record.file, rb.record.file);
    text("app", 22, FiniRecord::kAppWidth, ra.record.app, rb.record.app);
    d.changes.push_back(std::move(c));
  }
  return d;
}

int ExitStatusOf(const RavuzDiff& diff) {
  if (diff.a.status != RavuzFile::Status::Ok || diff.b.status != RavuzFile::Status::Ok) return 2;
  return diff.changes.empty() ? 0 : 1;
}

} // namespace vokuta::pkg
