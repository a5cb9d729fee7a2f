// vokuta-pkg plan: what the installer would do with a package on a given device.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/pc_files.h"
#include "util/shift_jis.h"

namespace vokuta::pkg {

/// Why the installer would stop at a file. Each of them ends the installation there: the
/// installer gives up the run and writes no association.
enum class FailReason {
  PcFileMissing,    ///< nothing matched on the PC: the installer tries the name itself
  DeviceCannotHold, ///< the device refuses the path (names beyond 8.3, characters it lacks)
  DirIsFile,        ///< a file on the device stands where a directory is needed
  NoRoom,           ///< the device's memory is full
};

/// What the installer's merge would do with one association.
enum class Merge {
  Added,     ///< into a free slot
  Unchanged, ///< the device holds the same association
  Updated,   ///< the device's association of that suffix changes
  NeedsSlot, ///< no free slot: the installer asks the user which association to give up
};

struct PlanStep {
  enum class Kind { CreateDir, Write, Replace, Fail, Association };
  Kind kind = Kind::Write;
  std::size_t line = 0;    ///< Setup.inf line; 0 for the association file's write-back
  std::wstring devicePath; ///< directory or file
  std::wstring pcPath;
  std::uint64_t bytes = 0;    ///< written
  std::uint64_t oldBytes = 0; ///< the file it replaces
  FailReason reason = FailReason::PcFileMissing;
  // Kind::Association
  std::wstring suffix;
  std::wstring app;
  std::size_t slot = 0;
  Merge merge = Merge::Added;
  bool notice = false; ///< the installer tells the user the program path changes
  bool asks = false;   ///< the installer asks whether to change the record (the plan says OK)
};

struct Plan {
  enum class Load { Ok, CannotRead, TooManyRows, Utf16 };
  std::wstring setupInf;
  std::wstring deviceDir;
  Load load = Load::Ok;
  std::uint64_t capacity = 0;
  std::uint64_t usedBefore = 0;
  std::uint64_t usedAfter = 0;
  std::uint64_t packageBytes = 0; ///< by the installer's size rule
  std::uint64_t freeReported = 0; ///< what the device reports to the installer's check
  bool spaceAsks = false; ///< below the package and its reserve: the installer asks to go on
  bool hasAssociations = false;
  bool ravuzFound = false; ///< the device has its association file
  bool ravuzWritten = false;
  std::vector<PlanStep> steps;          ///< in the installer's order
  std::optional<std::size_t> stoppedAt; ///< the step where the installation would stop
  std::size_t rowsNotReached = 0;

  std::uint64_t freeBefore() const { return capacity > usedBefore ? capacity - usedBefore : 0; }
  std::uint64_t freeAfter() const { return capacity > usedAfter ? capacity - usedAfter : 0; }
};

/// A dry run of the installation of the Setup.inf at `setupInfPath` onto the simulated device
/// whose files are in the folder `deviceDir`: the installer's reader, size rule and association
/// merge over the device's present files. Reads only: nothing is written, uploaded or created.
Plan MakePlan(PcFiles& files, const ShiftJis& sjis, const std::wstring& setupInfPath,
              const std::wstring& sourceDir, const std::wstring& deviceDir, std::uint64_t capacity);

/// 0: everything would be installed without a question; 1: the installer would stop to ask or
/// tell the user something; 2: the installation would fail or not start.
int ExitStatusOf(const Plan& plan);

} // namespace vokuta::pkg
