#pragma once

namespace vokuta::drive {

/// The window that `vokuta-drive --probe` shows: a list box (control 100) that adds an item
/// for every Delete key it receives, "Delete" or, with the keys held as the list saw them,
/// "Shift+Delete", "Ctrl+Delete" and so on. A scenario types keys into it the way it types them
/// into the installer and checks the items, which shows that the driver's Shift reaches
/// another program's GetKeyState. Returns the exit code once the window is closed.
int RunProbe();

inline constexpr int kProbeList = 100;
inline constexpr const wchar_t* kProbeTitle = L"vokuta-drive probe";

} // namespace vokuta::drive
