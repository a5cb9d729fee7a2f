// Start-up: where Setup.inf is, loading it, and the first window.
#pragma once
#include <string>

#include "state/program.h"

namespace vokuta {

struct StartupArgs {
  std::wstring commandLine; ///< the whole command line after the program's name
  bool anotherCopyRunning = false;
};

/// Where Setup.inf is and the directory that holds it.
struct SetupInfLocation {
  std::wstring SetupInfPath;
  std::wstring SourceDir;
};

/// Resolves the command line: empty means Setup.inf in `currentDir`; a full path (drive letter
/// and ":\", or "\\" for a network path) is taken as it is; another path beginning with "\" is
/// on the current drive; anything else is relative to `installDir`. Quotes around the whole
/// command line are removed first.
SetupInfLocation LocateSetupInf(const std::wstring& commandLine, const std::wstring& installDir,
                                const std::wstring& currentDir);

/// Takes the port from the registry, reads Setup.inf; when it cannot be used, tells the user
/// and ends the program.
void LoadSetupInfo(Program& p);

/// The start-up sequence, run once when the main window is created.
void Form_Load(Program& p, const StartupArgs& args);

} // namespace vokuta
