// vokuta-pkg ravuz: an association file slot by slot, as the installer reads it.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/pc_files.h"
#include "state/fini_record.h"
#include "util/shift_jis.h"

namespace vokuta::pkg {

/// One record of an association file, as the installer reads it and would write it back.
struct RavuzRecord {
  std::size_t slot = 0;
  FiniRecord record; ///< as the installer reads it
  std::array<std::uint8_t, kFiniRecordBytes> bytes{};
  bool reserved = false;              ///< slots 0..3, which the installer never changes
  bool free = false;                  ///< the installer may put a new association here
  bool empty = false;                 ///< all bytes 0
  bool dropped = false;               ///< left out when the installer writes the table back
  std::optional<std::size_t> movesTo; ///< its slot after a write-back, when another one

  /// Free, yet holding data that a new association or the write-back would lose.
  bool atRisk() const { return free && !empty; }
};

/// An association file read for the tools. Only whole files are read: a length that is no
/// multiple of 54 bytes, or more than 64 records, is refused.
struct RavuzFile {
  enum class Status { Ok, CannotRead, NotWholeRecords, TooManyRecords };
  std::wstring path;
  Status status = Status::CannotRead;
  std::uint64_t length = 0;
  std::vector<RavuzRecord> records; ///< those of the file, in slot order
};

RavuzFile RavuzOf(const std::vector<std::uint8_t>& bytes, const ShiftJis& sjis);
RavuzFile ReadRavuz(PcFiles& files, const ShiftJis& sjis, const std::wstring& path);

/// 0: every record is safe; 1: some record is at risk; 2: the file was refused or unreadable.
int ExitStatusOf(const RavuzFile& file);

/// One field of a record as it reads before and after.
struct FieldChange {
  const char* field; ///< "suffix", "attr", "id", "font", "mmp", "file", "app"
  std::wstring before;
  std::wstring after;
};

struct SlotChange {
  enum class Kind { Added, Removed, Changed };
  std::size_t slot = 0;
  Kind kind = Kind::Changed;
  std::vector<FieldChange> fields;
};

struct RavuzDiff {
  RavuzFile a;
  RavuzFile b;
  std::vector<SlotChange> changes; ///< by slot; empty when the tables are the same
};

RavuzDiff DiffRavuz(RavuzFile a, RavuzFile b, const ShiftJis& sjis);

/// 0: the same; 1: they differ; 2: either was refused or unreadable.
int ExitStatusOf(const RavuzDiff& diff);

/// A text field of a record as the installer shows it: raw bytes as "?", trailing blanks cut.
std::wstring ShownField(const std::wstring& text);

} // namespace vokuta::pkg
