// Slot searches over the device's association table and the texts that show its slots.
#include "fini/fini_slots.h"

#include <algorithm>

#include "fini/fini_image.h"
#include "util/text.h"

namespace vokuta {

std::wstring SlotNumber(std::size_t slot) { return L" " + std::to_wstring(slot); }

std::int16_t FindSuffixSlot(const DeviceFiniTable& table, const ShiftJis& sjis, std::int16_t start,
                            const std::wstring& suffix) {
  const std::wstring wanted = UpperAscii(FitWidth(suffix, FiniRecord::kSuffixWidth));
  for (std::size_t k = static_cast<std::size_t>(std::max<std::int16_t>(start, 0)); k < kFiniSlots;
       ++k) {
    if (IsFreeSlot(table, sjis, k)) continue;
    if (UpperAscii(FitWidth(table[k].suffix, FiniRecord::kSuffixWidth)) == wanted)
      return static_cast<std::int16_t>(k);
  }
  return -1;
}

std::int16_t FindSuffixSlot(Program& p, std::int16_t start, const std::wstring& suffix) {
  return FindSuffixSlot(p.deviceFiniTable, p.sjis, start, suffix);
}

std::int16_t FindFreeSlot(const DeviceFiniTable& table, const ShiftJis& sjis, std::int16_t start) {
  for (std::size_t k = static_cast<std::size_t>(std::max<std::int16_t>(start, 0)); k < kFiniSlots;
       ++k)
    if (IsFreeSlot(table, sjis, k)) return static_cast<std::int16_t>(k);
  return -1;
}

std::int16_t FindFreeSlot(Program& p, std::int16_t start) {
  return FindFreeSlot(p.deviceFiniTable, p.sjis, start);
}

std::wstring ChoiceLine(const DeviceFiniTable& table, std::size_t slot) {
  const FiniRecord& r = table[slot];
  return PadLeft(SlotNumber(slot), 3) + PadLeft(Shown(r.suffix), 5) + L" " + Hex4(r.attr) + L" " +
         Hex4(r.id) + L" " + Hex4(r.font) + L" " + Hex8(r.mmp) + L" " +
         Shown(FitWidth(r.file, FiniRecord::kFileWidth)) + L" " +
         Shown(FitWidth(r.app, FiniRecord::kAppWidth));
}

std::wstring ChoiceLine(const Program& p, std::size_t slot) {
  return ChoiceLine(p.deviceFiniTable, slot);
}

bool SameValues(const FiniRecord& a, const FiniRecord& b) {
  return a.attr == b.attr && a.id == b.id && a.font == b.font && a.mmp == b.mmp &&
         UpperAscii(TrimBlanks(a.file)) == UpperAscii(TrimBlanks(b.file));
}

std::wstring RecordLines(const FiniRecord& r) {
  return L"suffix = " + Shown(r.suffix) + L" , attr = " + Hex4(r.attr) + L" , id = " + Hex4(r.id) +
         L" , font = " + Hex4(r.font) + L"\r\nmmp = " + Hex8(r.mmp) + L" , file = " +
         Shown(RemoveBlanks(r.file)) + L"\r\n";
}

} // namespace vokuta
