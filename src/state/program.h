// The program-wide state: AppTitle, SetupGlobals, the seams and the tables, in one Program.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "platform/link_library.h"
#include "platform/pc_files.h"
#include "platform/registry.h"
#include "platform/ui.h"
#include "state/fini_record.h"
#include "state/setup_table.h"
#include "util/file_search.h"
#include "util/shift_jis.h"

namespace vokuta {

/// Base of every message-box title and the main window's caption.
inline const std::wstring AppTitle = L"Vokuta本体ソフト インストーラ";

/// Where PortNumber came from.
enum PortSourceKind : std::int32_t { kPortUnknown = 0, kPortFixed = 1, kPortChosen = 2 };

/// The program-wide state record.
struct SetupGlobals {
  std::int32_t PortNumber = 1; ///< serial port of the link (1 = COM1)
  std::int32_t PortSource = kPortUnknown;
  std::int32_t LinkMode = 4;   ///< fourth argument of every link call
  std::int32_t LinkStatus = 0; ///< written by the link library
  bool RunFailed = false;
  bool Communicating = false; ///< the install run holds the link; exit is refused
  std::wstring CacheDir;      ///< PC mirror of the device's files
  std::wstring SetupInfPath;
  std::wstring SourceDir;
  std::wstring FiniPcPath;    ///< PC work copy of the association file
  std::wstring FilerTempPath; ///< marker file of the running PC file manager
  std::wstring LastDeviceDir; ///< device directory whose levels were created last
  std::int32_t EditRow = 0;
  bool FiniLoaded = false;
  bool FiniChanged = false;
  std::int16_t DropIndex = 0;
};

/// The platform the program runs on, as seen through its seams.
struct Seams {
  Ui& ui;
  Registry& registry;
  PcFiles& files;
  const ShiftJis& sjis;
  LinkLibrary* link = nullptr; ///< the device link; every link call needs it
};

/// Everything the installer holds for its whole life. Created once; no other state is global,
/// so every test builds a fresh one.
struct Program {
  explicit Program(Seams s)
      : ui(s.ui), registry(s.registry), files(s.files), sjis(s.sjis), link(s.link) {}

  Ui& ui;
  Registry& registry;
  PcFiles& files;
  const ShiftJis& sjis;
  LinkLibrary* link;

  SetupGlobals g;
  SetupTable setupTable{};
  std::array<std::size_t, kTableSlots> setupLines{}; ///< each row's line in Setup.inf
  FiniTable finiTable{};
  DeviceFiniTable deviceFiniTable{};
  FiniImage finiImage{};
  MatchList matchList;
};

// The PC-file helpers on the program's own file system, under the installer's names.
inline CacheDirResult MakeCacheDir(Program& p, const std::wstring& path) {
  return MakeCacheDir(p.files, path);
}
inline CopyResult CopyIfExists(Program& p, const std::wstring& source, const std::wstring& target) {
  return CopyIfExists(p.files, source, target);
}
inline void PcDeleteFile(Program& p, const std::wstring& path) { PcDeleteFile(p.files, path); }

} // namespace vokuta
