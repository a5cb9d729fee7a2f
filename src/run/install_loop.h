// The install loop: every row to the device, the associations merged, the table written once.
#pragma once
#include "state/program.h"

namespace vokuta {

/// Told where the loop is, for a caller that reports what the loop does (the package tool's
/// plan); the installer passes none.
class InstallWatcher {
public:
  virtual ~InstallWatcher() = default;
  virtual void rowStarts(std::size_t row) = 0;
  virtual void mergeStarts(std::size_t row) = 0;
  virtual void mergeDone(std::size_t row) = 0;
  virtual void tableWriteStarts() = 0;
};

/// Copies every row of the setup table to the device, merges the package's associations and
/// writes the association file back once when the whole run went well. Any failure sets
/// RunFailed; a give-up stops the loop. The work copy of the association file is deleted at the
/// end, whatever happened.
void InstallFiles(Program& p, InstallWatcher* watcher = nullptr);

} // namespace vokuta
