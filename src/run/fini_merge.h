// The association merge of one package row into the device's table.
#pragma once
#include <cstdint>

#include "link/transfer.h"

namespace vokuta {

/// Enters the association of setup row `row` into the device's table: updates the entry of the
/// same suffix, or takes the first free slot, or replaces the entry the user gives up in the
/// choice dialog. The first call of a run reads the device's file. kDone, or kGiveUp when that
/// read failed so that the run must stop.
TransferResult Filerini変更(Program& p, std::int16_t row);

} // namespace vokuta
