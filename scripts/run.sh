#!/usr/bin/env bash
# Runs the installer under Wine on the sample package (examples/sample):
#
#   scripts/run.sh
#
# Installs what is missing (scripts/bootstrap.sh), builds the installer, the simulated device's
# link DLL and the driver in the win64 preset, and prepares a Wine prefix in build/run/wine as
# the PC software would leave it: InstallDir = C:\VokutaPC with its work folders, no serial port
# recorded. The package goes to C:\pkg with the installer and the DLL beside it (as a package
# author ships them), its port line commented out so that the port dialog comes first.
#
# With a display ($DISPLAY set and answering) the installer opens there and the script waits
# for it to end. Without one it runs on a private Xvfb display: vokuta-drive goes through the
# first step (port dialog, Next, main window, directory dialog, Cancel, Yes) and saves a
# screenshot of each window in build/run/screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/bootstrap.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "${JOBS:-2}" --target vokuta_setup vokuta_devsim_dll vokuta_drive

run_dir=$root/build/run
prefix=$run_dir/wine
scripts/wine-prefix.sh "$prefix"
# shellcheck disable=SC1091
source "$prefix/vokuta-env.sh"
# shellcheck source=tests/e2e/wine-session.sh
source tests/e2e/wine-session.sh
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

exec 9>"$prefix/.vokuta-run-lock"
if ! flock -n 9; then
  echo "run: another scripts/run.sh is using $prefix" >&2
  exit 1
fi

xvfb_pid=
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

# The PC software's side: its install directory and work folders, the file manager not running.
drive_c=$WINEPREFIX/drive_c
rm -rf "$drive_c/VokutaPC" "$drive_c/pkg"
mkdir -p "$drive_c/VokutaPC/ReDirav/Temp" "$drive_c/VokutaPC/ReDirav/cache" \
  "$drive_c/VokutaPC/vkapps"

# The package as its author ships it: the installer beside Setup.inf and the programs.
cp -R examples/sample "$drive_c/pkg"
sed 's/^\[PORT\]=/;[PORT]=/' examples/sample/Setup.inf >"$drive_c/pkg/Setup.inf"
cp build/win64/src/win32/vokuta-setup.exe build/win64/devsim/dll/V370rsh32.dll "$drive_c/pkg/"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  interactive=1
  managed=Y # the desktop's window manager places and moves the windows
else
  interactive=
  managed=N # no window manager on a private Xvfb
  start_xvfb "$run_dir/xvfb-display"
fi

registry() { "$wine" reg "$@" >/dev/null 2>&1; }
"$wineserver" -p </dev/null >/dev/null 2>&1
registry add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$managed" /f
# With a trailing backslash, as the PC software writes it.
registry add 'HKCU\Software\NKV\Vokuta\PC' /v InstallDir /t REG_SZ /d "C:\\VokutaPC\\" /f
registry delete 'HKCU\Software\NKV\Vokuta\Ravuz' /f || true

if [ -n "$interactive" ]; then
  echo "run: the installer opens on $DISPLAY; the script ends when it does"
  echo "run: Wine prefix: $prefix (package in C:\\pkg = $drive_c/pkg)"
  status=0
  "$wine" 'C:\pkg\vokuta-setup.exe' 'C:\pkg\Setup.inf' || status=$?
  echo "run: the installer ended with exit code $status"
  exit "$status"
fi

shots=$run_dir/screenshots
rm -rf "$shots"
mkdir -p "$shots"
status=0
"$wine" build/win64/tests/e2e/vokuta-drive.exe --exe 'C:\pkg\vokuta-setup.exe' \
  --shots "$(windows_path "$shots")" -f "$(windows_path "$root/tests/e2e/first-step.drive")" \
  </dev/null 2>&1 | serve_shots "$shots" || status=$?
echo "run: screenshots: $shots"
ls "$shots"
echo "run: Wine prefix: $prefix (package in C:\\pkg = $drive_c/pkg)"
if [ "$status" -ne 0 ]; then
  echo "run: the driver failed (exit $status)" >&2
  exit "$status"
fi
