#!/usr/bin/env bash
# The platform tests of the Windows build under Wine:
#
#   tests/wine/run_platform_tests.sh WINDOWS_BUILD_DIR NATIVE_BUILD_DIR
#
# WINDOWS_BUILD_DIR is a win64 build, or the win32 one (the release build) run through
# scripts/wine-session.sh i686: there only the tests of what differs between the two builds
# run (registry, files, code page); the windows are the same code.
# 1. writes the registry values the installer reads, with Wine's own "reg add" under the
#    Japanese locale, and runs all of vokuta_platform_tests.exe (registry, files, code page,
#    message boxes on a private Xvfb display);
# 2. deletes the values and runs the registry tests again, which must then find nothing;
# 3. has the .exe dump its code page 932 and compares the dump with iconv's, which the native
#    build's cp932_dump writes.
# The prefix lives in the native build tree (wine/platform, wine/platform-i686) (created on first use by scripts/wine-prefix.sh).
# Every step runs even when one fails; the exit code is non-zero when any did. Wine and Xvfb
# are ended on the way out.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 WINDOWS_BUILD_DIR NATIVE_BUILD_DIR" >&2
  exit 2
fi
build_dir=$(cd "$1" && pwd)
native_dir=$(cd "$2" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
exe=$build_dir/tests/platform/vokuta_platform_tests.exe
dumper=$native_dir/tests/platform/cp932_dump
for f in "$exe" "$dumper"; do
  if [ ! -x "$f" ]; then
    echo "run_platform_tests: $f is missing; build its preset and the native one first" >&2
    exit 1
  fi
done

prefix=$native_dir/wine/platform
# shellcheck source=../../scripts/wine-session.sh
source "$source_dir/scripts/wine-session.sh"
# The message boxes need a display: Wine shows none without one.
wine_session_start "$prefix" xvfb
prefix=$WINEPREFIX
filter='*'
if [ "$wine_session_arch" = i686 ]; then
  filter='RegistryTest.*:*PcFiles*:Win32Codepage.*'
fi

failed=()
step() {
  local name=$1
  shift
  echo "==== $name"
  if ! "$@"; then
    echo "==== FAILED: $name"
    failed+=("$name")
  fi
}
# Runs a command, showing its output only when it fails.
quiet() {
  if ! "$@" >"$prefix/step.log" 2>&1; then
    cat "$prefix/step.log" >&2
    return 1
  fi
}

# A path with a trailing backslash, as the PC software records it.
install_dir='C:\ヴォクタ\PC側'
pc_key='HKCU\Software\NKV\Vokuta\PC'
filer_key='HKCU\Software\NKV\Vokuta\Ravuz'

write_values() {
  quiet "$wine" reg add "$pc_key" /v InstallDir /t REG_SZ /d "$install_dir\\" /f &&
    quiet "$wine" reg add "$filer_key" /v PORT /t REG_DWORD /d 3 /f
}
delete_values() {
  # "reg delete" fails on a key that is already gone, which is all that is wanted.
  "$wine" reg delete "$pc_key" /f >/dev/null 2>&1 || true
  "$wine" reg delete "$filer_key" /f >/dev/null 2>&1 || true
  ! "$wine" reg query "$pc_key" >/dev/null 2>&1 && ! "$wine" reg query "$filer_key" >/dev/null 2>&1
}

step "registry values written" write_values
step "platform tests" env VOKUTA_EXPECT_INSTALL_DIR="$install_dir" VOKUTA_EXPECT_FILER_PORT=3 \
  "$wine" "$exe" --gtest_filter="$filter"
step "registry values deleted" delete_values
step "registry tests without the values" env VOKUTA_EXPECT_INSTALL_DIR= \
  VOKUTA_EXPECT_FILER_PORT=0 "$wine" "$exe" --gtest_filter='RegistryTest.*'

dump=$prefix/cp932-dump.txt
rm -f "$dump"
step "code page 932 dump" "$wine" "$exe" --cp932-dump "$(windows_path "$dump")"
# The first differences, if any, tell which answers differ.
against_iconv() {
  "$dumper" >"$prefix/cp932-iconv.txt" &&
    diff "$prefix/cp932-iconv.txt" "$dump" >"$prefix/cp932.diff" ||
    { head -n 40 "$prefix/cp932.diff" && false; }
}
step "code page 932 against iconv" against_iconv

if [ ${#failed[@]} -gt 0 ]; then
  printf 'run_platform_tests: failed: %s\n' "${failed[@]}" >&2
  exit 1
fi
echo "run_platform_tests: all passed"
