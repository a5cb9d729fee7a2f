#!/usr/bin/env bash
# The installer end to end under Wine and Xvfb:
#
#   tests/e2e/run_e2e.sh [--shard K/N] [--installer WINDOWS_BUILD_DIR] WIN64_BUILD_DIR
#                        NATIVE_BUILD_DIR [SCENARIO...]
#
# Runs every scenario of tests/e2e/scenarios (or the ones named, without ".drive"; with --shard,
# the K-th of every N of them) with the win64 build's vokuta-drive against the vokuta-setup.exe
# and V370rsh32.dll of WINDOWS_BUILD_DIR (default: the win64 build). The release build (win32)
# runs through scripts/wine-session.sh i686. One Wine prefix in the native build tree serves a
# run (each shard has its own, so that shards can run at once); before each scenario, the package copies, the PC software's folders and the
# installer's folder (vokuta-setup.exe with the simulated device's V370rsh32.dll beside it) are
# made afresh in the prefix. Each scenario sets the registry values it needs itself, and one that
# connects writes the DLL's settings and prepares its device with the driver's file commands.
# A scenario named *.fail.drive checks the driver: it must fail at a check and report the text
# of its "# expect: " line.
# Screenshots go to NATIVE_BUILD_DIR/wine/e2e-shots (e2e-shots-i686 for the release build). Every scenario runs even when one fails;
# the exit code is non-zero when any did. Wine and Xvfb are ended on the way out.
set -euo pipefail

shard=1/1
installer_dir_arg=
while [ $# -gt 0 ]; do
  case $1 in
    --shard) shard=$2 ;;
    --installer) installer_dir_arg=$2 ;;
    *) break ;;
  esac
  shift 2
done
if [ $# -lt 2 ] || ! [[ $shard =~ ^([1-9][0-9]*)/([1-9][0-9]*)$ ]] ||
  [ "${BASH_REMATCH[1]}" -gt "${BASH_REMATCH[2]}" ]; then
  echo "usage: $0 [--shard K/N] [--installer WINDOWS_BUILD_DIR] WIN64_BUILD_DIR" \
    "NATIVE_BUILD_DIR [SCENARIO...]" >&2
  exit 2
fi
shard_index=${BASH_REMATCH[1]}
shard_count=${BASH_REMATCH[2]}
win64_dir=$(cd "$1" && pwd)
native_dir=$(cd "$2" && pwd)
shift 2
build_dir=$(cd "${installer_dir_arg:-$win64_dir}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
setup_exe=$build_dir/src/win32/vokuta-setup.exe
drive_exe=$win64_dir/tests/e2e/vokuta-drive.exe
device_dll=$build_dir/devsim/dll/V370rsh32.dll
for f in "$setup_exe" "$drive_exe" "$device_dll"; do
  if [ ! -f "$f" ]; then
    echo "run_e2e: $f is missing; build its preset first" >&2
    exit 1
  fi
done

scenarios=()
if [ $# -gt 0 ]; then
  for name in "$@"; do scenarios+=("$here/scenarios/$name.drive"); done
else
  scenarios=("$here"/scenarios/*.drive)
fi
if [ "$shard_count" -gt 1 ]; then
  mine=()
  for i in "${!scenarios[@]}"; do
    if [ $((i % shard_count + 1)) -eq "$shard_index" ]; then mine+=("${scenarios[$i]}"); fi
  done
  scenarios=("${mine[@]}")
fi

prefix=$native_dir/wine/e2e
[ "$shard_count" -eq 1 ] || prefix=$prefix-$shard_index
# shellcheck source=../../scripts/wine-session.sh
source "$source_dir/scripts/wine-session.sh"
wine_session_start "$prefix" xvfb
prefix=$WINEPREFIX

# The shards share the folder: each removes only the pictures it takes again.
shots=$native_dir/wine/e2e-shots$wine_session_suffix
mkdir -p "$shots"

# The folders the scenarios name: C:\ヴォクタ\PC側 is the PC software's InstallDir, C:\インストーラ
# holds the installer with the simulated device's V370rsh32.dll beside it, as a package author
# ships them; a scenario that connects writes the DLL's V370rsh32.ini there.
drive_c=$WINEPREFIX/drive_c
install_dir=$drive_c/ヴォクタ/PC側
installer_dir=$drive_c/インストーラ
package=$source_dir/examples/sample
reset_files() {
  rm -rf "$drive_c/ヴォクタ" "$drive_c/サンプル" "$drive_c/サンプル-ポートなし" "$installer_dir"
  mkdir -p "$install_dir/ReDirav/Temp" "$install_dir/ReDirav/cache" "$install_dir/vkapps" \
    "$installer_dir"
  cp "$setup_exe" "$device_dll" "$installer_dir/"
  cp -R "$package" "$drive_c/サンプル"
  # The same package without its port line, for the runs where no port is known.
  cp -R "$package" "$drive_c/サンプル-ポートなし"
  local inf=$drive_c/サンプル-ポートなし/Setup.inf
  sed 's/^\[PORT\]=/;[PORT]=/' "$inf" >"$inf.new"
  mv "$inf.new" "$inf"
  # A package under InstallDir, for a command line relative to it.
  cp -R "$package" "$install_dir/パッケージ"
}

# How long the driver waits for what a step expects. A 32-bit program starts under qemu, several
# times slower than a 64-bit one, and the machine may be busy with other builds.
timeout_ms=${VOKUTA_E2E_TIMEOUT_MS:-10000}
[ "$wine_session_arch" = win64 ] || timeout_ms=${VOKUTA_E2E_TIMEOUT_MS:-30000}

run_scenario() {
  local script=$1 log=$2
  "$wine" "$drive_exe" --exe 'C:\インストーラ\vokuta-setup.exe' --timeout "$timeout_ms" \
    --shots "$(windows_path "$shots")" \
    -f "$(windows_path "$script")" </dev/null 2>&1 | serve_shots "$shots" >"$log"
  return "${PIPESTATUS[0]}"
}

failed=()
count=0
for script in "${scenarios[@]}"; do
  name=$(basename "$script" .drive)
  if [ ! -f "$script" ]; then
    echo "==== $name: no such scenario" >&2
    failed+=("$name")
    continue
  fi
  count=$((count + 1))
  reset_files
  sed -n 's/^shot \(.*\)$/\1/p' "$script" | while IFS= read -r picture; do
    rm -f "$shots/$picture"
  done
  log=$prefix/$name.log
  started=$EPOCHREALTIME
  status=0
  run_scenario "$script" "$log" || status=$?
  # A scenario that changes the screen's DPI may have stopped before it set it back.
  if [[ $name == *dpi* ]]; then
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f \
      >/dev/null 2>&1 || true
  fi
  took=$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }')
  if [[ $name == *.fail ]]; then
    # The driver must fail, at a check and with its report, not for any other reason.
    expected=$(sed -n 's/^# expect: //p' "$script")
    if [ "$status" -eq 1 ] && grep -q 'FAILED at line' "$log" && [ -n "$expected" ] &&
      grep -qF -- "$expected" "$log"; then
      echo "==== $name: the driver failed as it should (${took} s)"
      continue
    fi
    echo "==== $name: FAILED: the driver did not report the wrong expectation (exit $status)"
  elif [ "$status" -eq 0 ]; then
    echo "==== $name: passed (${took} s)"
    continue
  else
    echo "==== $name: FAILED (exit $status, ${took} s)"
  fi
  sed 's/^/    /' "$log"
  failed+=("$name")
done

echo "run_e2e: $count scenarios; screenshots in $shots"
if [ ${#failed[@]} -gt 0 ]; then
  printf 'run_e2e: failed: %s\n' "${failed[@]}" >&2
  exit 1
fi
echo "run_e2e: all passed"
