// vokuta-pkg's command line, independent of the platform's main.
#pragma once
#include <string>
#include <vector>

#include "platform/pc_files.h"
#include "util/shift_jis.h"

namespace vokuta::pkg {

/// Exit status for a command line the tool cannot follow.
inline constexpr int kUsageStatus = 3;

/// vokuta-pkg without its platform: runs the command line `args` (without the program's name)
/// over `files`, which it only ever reads, and `sjis`. The report goes to `out`, usage
/// mistakes to `err`; the result is the exit status.
int RunPkgTool(const std::vector<std::wstring>& args, PcFiles& files, const ShiftJis& sjis,
               std::wstring& out, std::wstring& err);

/// The help text in English or Japanese ("en", "ja").
std::wstring HelpText(bool japanese);

} // namespace vokuta::pkg
