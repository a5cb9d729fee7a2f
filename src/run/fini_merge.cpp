// Filerini変更: the read once per run, then update, add, or replace the slot the user gives up.
#include "run/fini_merge.h"

#include "dialogs/choice_dialog.h"
#include "fini/fini_image.h"
#include "fini/fini_slots.h"
#include "link/connection.h"
#include "link/fini_file.h"
#include "util/text.h"

namespace vokuta {
namespace {

// The result of the read once per run: what the run must do after a failed download.
TransferResult readOnce(Program& p) {
  if (p.g.FiniLoaded) return kDone;
  const TransferResult r = Filerini読出(p);
  p.g.FiniLoaded = true;
  FiniB2rR(p);
  if (r == kDone) return kDone;
  if (p.g.LinkStatus == link_status::kMemoryFull) {
    MemoryErrorBox(p);
    return kGiveUp;
  }
  if (p.g.LinkStatus <= 0) {
    // The link is broken: the installer ends it twice in a row, ignoring both results. u_end
    // on a closed link does no harm, and the device keeps seeing the calls it always has.
    EndLink(p);
    EndLink(p);
    return kGiveUp;
  }
  return kDone;
}

// Changes of the entry of the same suffix: the program path at once, the other values when
// the user agrees.
void update(Program& p, std::size_t slot, std::size_t row) {
  FiniRecord& old = p.deviceFiniTable[slot];
  const FiniRecord& incoming = p.finiTable[row];
  const std::wstring oldApp = UpperAscii(RemoveBlanks(old.app));
  if (oldApp != UpperAscii(RemoveBlanks(incoming.app))) {
    if (!oldApp.empty()) AppChangeBox(p, slot, row);
    old.app = incoming.app;
    p.g.FiniChanged = true;
  }
  if (!SameValues(old, incoming) && RecordChangeBox(p, slot, row) == kOk) {
    old.suffix = incoming.suffix;
    old.attr = incoming.attr;
    old.id = incoming.id;
    old.font = incoming.font;
    old.mmp = incoming.mmp;
    old.file = incoming.file;
    p.g.FiniChanged = true;
  }
}

} // namespace

TransferResult Filerini変更(Program& p, std::int16_t row) {
  // The merge runs whatever the read gave; the read's outcome is the result.
  const TransferResult result = readOnce(p);
  const auto pkg = static_cast<std::size_t>(row);
  const FiniRecord& incoming = p.finiTable[pkg];
  const auto first = static_cast<std::int16_t>(kReservedSlots);
  if (const std::int16_t k = FindSuffixSlot(p, first, incoming.suffix); k != -1) {
    update(p, static_cast<std::size_t>(k), pkg);
    return result;
  }
  if (const std::int16_t e = FindFreeSlot(p, first); e != -1) {
    p.deviceFiniTable[static_cast<std::size_t>(e)] = incoming;
    p.g.FiniChanged = true;
    return result;
  }
  CannotAddBox(p);
  FillChoiceList(p);
  const int s = frm2list::ChooseSlotToDrop(p, incoming) + static_cast<int>(kReservedSlots);
  if (s >= static_cast<int>(kReservedSlots) && s < static_cast<int>(kFiniSlots)) {
    p.deviceFiniTable[static_cast<std::size_t>(s)] = incoming;
    p.g.FiniChanged = true;
  }
  return result;
}

} // namespace vokuta
