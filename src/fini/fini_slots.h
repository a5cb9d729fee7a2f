// The slot searches of the association merge and the lines that show a device slot.
#pragma once
#include <cstdint>
#include <string>

#include "state/program.h"

namespace vokuta {

/// First slot from `start` to 63 that is in use and holds `suffix` (ASCII letters compared
/// without regard to case); -1 when none does.
[[nodiscard]] std::int16_t FindSuffixSlot(const DeviceFiniTable& table, const ShiftJis& sjis,
                                          std::int16_t start, const std::wstring& suffix);
[[nodiscard]] std::int16_t FindSuffixSlot(Program& p, std::int16_t start,
                                          const std::wstring& suffix);

/// First free slot from `start` to 63; -1 when none is.
[[nodiscard]] std::int16_t FindFreeSlot(const DeviceFiniTable& table, const ShiftJis& sjis,
                                        std::int16_t start);
[[nodiscard]] std::int16_t FindFreeSlot(Program& p, std::int16_t start);

/// The line of one slot in the choice list.
[[nodiscard]] std::wstring ChoiceLine(const DeviceFiniTable& table, std::size_t slot);
[[nodiscard]] std::wstring ChoiceLine(const Program& p, std::size_t slot);

/// True when the record's values other than suffix and program agree (the file name without
/// regard to blanks at its ends or the case of ASCII letters).
[[nodiscard]] bool SameValues(const FiniRecord& a, const FiniRecord& b);

/// The lines of a record in the merge's change question.
[[nodiscard]] std::wstring RecordLines(const FiniRecord& r);

/// " 12": a slot number as the merge's texts write it.
[[nodiscard]] std::wstring SlotNumber(std::size_t slot);

} // namespace vokuta
