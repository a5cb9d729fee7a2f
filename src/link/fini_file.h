// Reading and writing the device's association file through the PC work copy.
#pragma once
#include "link/transfer.h"

namespace vokuta {

/// Downloads the device's "Ravuz.ini" into the PC work copy and loads it into the image. When
/// the download is given up, the standard "Ravuz.ini" beside the work copy stands in for it.
/// The result is the download's; a work copy that cannot be made or read also gives kGiveUp,
/// after a box naming it.
[[nodiscard]] TransferResult Filerini読出(Program& p);

/// Writes the image into a fresh work copy and uploads it. The upload's result; kGiveUp after a
/// box when the work copy cannot be written (the device's file is then not touched).
[[nodiscard]] TransferResult Filerini書込(Program& p);

} // namespace vokuta
