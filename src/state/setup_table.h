// The setup table: one row per install item of Setup.inf.
#pragma once
#include <array>
#include <string>

#include "state/fini_record.h"

namespace vokuta {

/// One install item: files on the PC and where they go on the device.
struct SetupRow {
  std::wstring FileName;   ///< file name or wildcard pattern, the same on the PC and the device
  std::wstring DestPath;   ///< device directory: empty (root) or "\dir\sub", no trailing "\"
  std::wstring SourcePath; ///< absolute PC directory
  std::wstring Control;    ///< "Fini" in any case marks an association row

  /// The first slot with both FileName and DestPath empty ends the table.
  bool terminates() const { return FileName.empty() && DestPath.empty(); }
  bool isFini() const;
};

/// Rows fill slots from 0; the slot after the last row is empty, so at most 199 rows fit.
using SetupTable = std::array<SetupRow, kTableSlots>;
inline constexpr std::size_t kMaxRows = kTableSlots - 1;

} // namespace vokuta
