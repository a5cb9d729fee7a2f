#!/usr/bin/env bash
# Installs the sample package (examples/sample) onto a simulated device under Wine:
#
#   scripts/run.sh [win64|win32]
#
# Installs what is missing (scripts/bootstrap.sh) and builds, in the win64 preset, the installer,
# the simulated device's link library V370rsh32.dll, the test driver and the package tool. With
# "win32" the installer and the DLL are the release build's (preset win32), run on 32-bit Wine
# (scripts/wine-session.sh i686), with the prefix in build/run/wine-i686. Then
# it prepares a Wine prefix in build/run/wine as the PC software would leave it: InstallDir =
# C:\VokutaPC with its work folders and the standard Ravuz.ini (the four reserved records) in
# vkapps, no serial port recorded. The package goes to C:\pkg with the installer and the DLL
# beside it, as a package author ships them, its port line commented out so that the port dialog
# comes first. The device is a copy of tests/devices/sample in C:\VokutaDevice: two files and an
# association table whose .TBL names an older program.
#
# With a display ($DISPLAY set and answering) the installer opens there and the user clicks
# through. Without one it runs on a private Xvfb display and vokuta-drive clicks through
# (tests/e2e/sample-install.drive), saving a screenshot of each step in build/run/screenshots.
# Afterwards the script prints the device's files and its association table.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-win64}
if [ $# -gt 1 ] || { [ "$build" != win64 ] && [ "$build" != win32 ]; }; then
  echo "usage: $0 [win64|win32]" >&2
  exit 2
fi

if [ -z "${VOKUTA_RUN_BOOTSTRAPPED:-}" ] && [ "${VOKUTA_WINE_ARCH:-}" != i686 ]; then
  bash scripts/bootstrap.sh
  # Once more in a fresh shell: glibc remembers a locale archive it could not open, so a shell
  # that started before bootstrap.sh generated ja_JP.UTF-8 (under a LANG such as en_US.UTF-8)
  # would warn "setlocale: LC_ALL: cannot change locale" when the Wine settings switch to it.
  VOKUTA_RUN_BOOTSTRAPPED=1 exec bash "$root/scripts/run.sh" "$@"
fi
if [ "${VOKUTA_WINE_ARCH:-}" != i686 ]; then
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 -j "${JOBS:-2}" \
    --target vokuta_setup vokuta_devsim_dll vokuta_drive vokuta_pkg_tool
  if [ "$build" = win32 ]; then
    cmake --preset win32 >/dev/null
    cmake --build --preset win32 -j "${JOBS:-2}" --target vokuta_setup vokuta_devsim_dll
    exec scripts/wine-session.sh i686 bash "$0" "$@"
  fi
fi

run_dir=$root/build/run
prefix=$run_dir/wine
# shellcheck source=wine-session.sh
source scripts/wine-session.sh
# The user's display when there is one, a private Xvfb otherwise.
wine_session_start --busy "run: another scripts/run.sh is using $prefix" "$prefix" display
prefix=$WINEPREFIX
if [ -n "$wine_session_xvfb_pid" ]; then
  interactive=
  managed=N # no window manager on a private Xvfb
else
  interactive=1
  managed=Y # the desktop's window manager places and moves the windows
fi

# The PC software's side: its install directory and work folders, the file manager not running,
# and the standard Ravuz.ini that the installer falls back on when the device's cannot be read.
drive_c=$WINEPREFIX/drive_c
pc_dir=$drive_c/VokutaPC
device=$drive_c/VokutaDevice
rm -rf "$pc_dir" "$drive_c/pkg" "$device"
mkdir -p "$pc_dir/ReDirav/Temp" "$pc_dir/ReDirav/cache" "$pc_dir/vkapps"
head -c $((4 * 54)) tests/devices/sample/SYSTEM/RAVUZ.INI >"$pc_dir/vkapps/Ravuz.ini"

# The device: a few files and associations of its own.
cp -R tests/devices/sample "$device"

# The package as its author ships it: the installer and the link library beside Setup.inf and
# the programs; the library's settings name the device and a log of its calls.
cp -R examples/sample "$drive_c/pkg"
sed 's/^\[PORT\]=/;[PORT]=/' examples/sample/Setup.inf >"$drive_c/pkg/Setup.inf"
cp "build/$build/src/win32/vokuta-setup.exe" "build/$build/devsim/dll/V370rsh32.dll" "$drive_c/pkg/"
printf 'device = C:\\VokutaDevice\r\nlog = C:\\pkg\\link.log\r\n' >"$drive_c/pkg/V370rsh32.ini"

registry() { "$wine" reg "$@" >/dev/null 2>&1; }
registry add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$managed" /f
# With a trailing backslash, as the PC software writes it.
registry add 'HKCU\Software\NKV\Vokuta\PC' /v InstallDir /t REG_SZ /d "C:\\VokutaPC\\" /f
registry delete 'HKCU\Software\NKV\Vokuta\Ravuz' /f || true

status=0
shots=
if [ -n "$interactive" ]; then
  echo "run: the installer opens on $DISPLAY; the script goes on when it ends"
  "$wine" 'C:\pkg\vokuta-setup.exe' 'C:\pkg\Setup.inf' || status=$?
  echo "run: the installer ended with exit code $status"
else
  shots=$run_dir/screenshots$wine_session_suffix
  rm -rf "$shots"
  mkdir -p "$shots"
  # A 32-bit program starts several times slower under qemu.
  timeout_ms=10000
  [ "$build" = win64 ] || timeout_ms=30000
  "$wine" build/win64/tests/e2e/vokuta-drive.exe --exe 'C:\pkg\vokuta-setup.exe' \
    --timeout "$timeout_ms" \
    --shots "$(windows_path "$shots")" -f "$(windows_path "$root/tests/e2e/sample-install.drive")" \
    </dev/null 2>&1 | serve_shots "$shots" || status=$?
fi

echo
echo "run: the device's files ($device):"
(cd "$device" && find . -type f -printf '%s\t%P\n' | LC_ALL=C sort -t $'\t' -k2) |
  while IFS=$'\t' read -r size file; do printf '  %6d bytes  \\%s\n' "$size" "${file//\//\\}"; done
echo
echo "run: its association table:"
"$wine" build/win64/tools/vokuta-pkg.exe ravuz 'C:\VokutaDevice\SYSTEM\RAVUZ.INI' </dev/null |
  sed 's/^./  &/' || true
echo
echo "run: the link library's calls: $drive_c/pkg/link.log"
# The installer's own log, in the Wine user's temporary folder.
run_log=$(find "$drive_c/users" -name vokuta-setup.log -print -quit 2>/dev/null || true)
if [ -n "$run_log" ]; then echo "run: the installer's run log: $run_log"; fi
if [ -n "$shots" ]; then
  echo "run: screenshots in $shots: $(cd "$shots" && echo *.png)"
fi
echo "run: Wine prefix: $prefix (package in C:\\pkg = $drive_c/pkg)"
if [ "$status" -ne 0 ]; then
  echo "run: the installation did not go through (exit $status)" >&2
  exit "$status"
fi
