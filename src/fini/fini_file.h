#pragma once
#include <cstdint>

#include "app/program.h"

namespace vokuta {

/// Downloads the device's "Ravuz.ini" into the PC work copy and loads it into the image. When
/// the download is given up, the standard "Ravuz.ini" beside the work copy stands in for it.
/// The result is the download's: 0, -1 (reconnection failed) or -2 (given up); a work copy that
/// cannot be made or read also gives -2, after a box naming it.
std::int16_t Filerini読出(Program& p);

/// Writes the image into a fresh work copy and uploads it. The upload's result; -2 after a box
/// when the work copy cannot be written (the device's file is then not touched).
std::int16_t Filerini書込(Program& p);

} // namespace vokuta
