#pragma once

#include "win32/win.h"

namespace vokuta::win32 {

/// The window class of the installer's progress bar. It answers PBM_SETRANGE32, PBM_SETPOS,
/// PBM_GETPOS and PBM_GETRANGE as the common control does, and paints a track and one smooth
/// fill, in the visual style when there is one, in the system's colours otherwise.
///
/// Under Wine the common control took over a millisecond for each new position (it draws its
/// bar chunk by chunk), paid between two link calls for every file. This one keeps its state
/// and theme at hand and paints a new position at once, as the window thread is about to block
/// in the next link call: a tenth of that.
inline constexpr wchar_t kProgressBarClass[] = L"VokutaProgressBar";

/// Registers the class for this process, once; false when that failed.
bool RegisterProgressBarClass();

} // namespace vokuta::win32
