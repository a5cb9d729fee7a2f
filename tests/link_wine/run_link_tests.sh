#!/usr/bin/env bash
# The link-library binding against the simulated-device DLL under Wine:
#
#   tests/link_wine/run_link_tests.sh WINDOWS_BUILD_DIR NATIVE_BUILD_DIR
#
# WINDOWS_BUILD_DIR is a win64 build, or the win32 one (the release build) run through
# scripts/wine-session.sh i686.
# The binding loads V370rsh32.dll by name, so what it finds depends on the folder of the
# program. vokuta_link_tests.exe is copied into one folder per case, each with its own
# libraries and settings, and its suite for that case runs there:
#   device/      V370rsh32.dll, V370rsh32.ini beside it (UTF-8 with a BOM, CR LF)
#   faults/      V370rsh32.dll, settings named by VOKUTA_DEVSIM_CONFIG (UTF-8, LF); the
#                V370rsh32.ini beside it must not be read
#   defaults/    V370rsh32.dll alone
#   no-library/  no V370rsh32.dll
#   no-u_dir/    a V370rsh32.dll that lacks u_dir
# The folders are made afresh under NATIVE_BUILD_DIR/wine/link-run; the prefix is
# NATIVE_BUILD_DIR/wine/link (created on first use by scripts/wine-prefix.sh); both end in
# "-i686" for the release build. Every case runs
# even when one fails; the exit code is non-zero when any did.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 WINDOWS_BUILD_DIR NATIVE_BUILD_DIR" >&2
  exit 2
fi
build_dir=$(cd "$1" && pwd)
native_dir=$(cd "$2" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
exe=$build_dir/tests/link_wine/vokuta_link_tests.exe
device_dll=$build_dir/devsim/dll/V370rsh32.dll
partial_dll=$build_dir/tests/link_wine/V370rsh32_without_u_dir.dll
for f in "$exe" "$device_dll" "$partial_dll"; do
  if [ ! -f "$f" ]; then
    echo "run_link_tests: $f is missing; build its preset first" >&2
    exit 1
  fi
done

# The prefix and the folders are this test's own; one run at a time uses them.
# shellcheck source=../../scripts/wine-session.sh
source "$source_dir/scripts/wine-session.sh"
wine_session_start "$native_dir/wine/link"

run=$native_dir/wine/link-run$wine_session_suffix
rm -rf "$run"
folder() {
  mkdir -p "$run/$1"
  cp "$exe" "$run/$1/"
}

folder device
cp "$device_dll" "$run/device/"
{
  printf '\xef\xbb\xbf# The simulated device of the WithSimulatedDevice suite.\n'
  printf 'device = %s\n' "$(windows_path "$run/device/本体")"
  printf 'port = 2\ncapacity = 4096\n'
  printf 'log = %s\n' "$(windows_path "$run/device/calls.log")"
} | sed 's/$/\r/' >"$run/device/V370rsh32.ini"

folder faults
cp "$device_dll" "$run/faults/"
printf 'port = 3\n' >"$run/faults/V370rsh32.ini"
{
  printf 'device = %s\n' "$(windows_path "$run/faults/本体")"
  printf 'port = 4\nfail = u_mkdir 1 -7\nfail = u_upload 2 5\n'
  printf 'log = %s\n' "$(windows_path "$run/faults/calls.log")"
} >"$run/faults-settings.txt"

folder defaults
cp "$device_dll" "$run/defaults/"

folder no-library

folder no-u_dir
cp "$partial_dll" "$run/no-u_dir/V370rsh32.dll"

failed=()
# Runs one suite in its folder. A filter that matched nothing would pass quietly, so the
# summary must name at least one passed test.
suite() {
  local dir=$1 name=$2
  shift 2
  echo "==== $name in $dir/"
  local out=$run/$dir/gtest.out
  if (cd "$run/$dir" && env -u VOKUTA_DEVSIM_CONFIG "$@" "$wine" "$run/$dir/vokuta_link_tests.exe" \
    --gtest_filter="$name.*" </dev/null >"$out" 2>&1) &&
    grep -q '^\[  PASSED  \] [1-9]' "$out"; then
    grep -E '^\[ +(OK|PASSED) +\]' "$out"
  else
    cat "$out"
    echo "==== FAILED: $name"
    failed+=("$name")
  fi
}

suite device WithSimulatedDevice
suite faults WithInjectedFaults VOKUTA_DEVSIM_CONFIG="$(windows_path "$run/faults-settings.txt")"
suite defaults WithDefaults
suite no-library WithoutLibrary
suite no-u_dir WithoutDir

if [ ${#failed[@]} -gt 0 ]; then
  printf 'run_link_tests: failed: %s\n' "${failed[@]}" >&2
  exit 1
fi
echo "run_link_tests: all passed"
