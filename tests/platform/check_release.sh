#!/usr/bin/env bash
# What can be checked of the release build (i686) without running it:
#
#   tests/platform/check_release.sh WIN32_BUILD_DIR SOURCE_DIR
#
# - vokuta-setup.exe: PE for i386, GUI subsystem, imports only from Windows' own DLLs (the
#   runtime is linked in), the manifest resource asking for asInvoker;
# - vokuta-setup.exe, vokuta-pkg.exe, V370rsh32.dll: a version resource with the project's version;
# - V370rsh32.dll: each export's plain name, and every return of it pops its arguments' bytes, so
#   that a caller built for the maker's library keeps its stack;
# - the release archive (made here with the package target): exactly the stripped programs, the
#   guide and the sample package.
# Every check runs; the exit code is non-zero when any failed.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 WIN32_BUILD_DIR SOURCE_DIR" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
objdump=i686-w64-mingw32-objdump
windres=i686-w64-mingw32-windres
setup=$build/src/win32/vokuta-setup.exe
pkg=$build/tools/vokuta-pkg.exe
dll=$build/devsim/dll/V370rsh32.dll
for f in "$setup" "$pkg" "$dll"; do
  if [ ! -f "$f" ]; then
    echo "check_release: $f is missing; build the win32 preset first" >&2
    exit 1
  fi
done
version=$(sed -n 's/^project(vokuta_setup VERSION \([0-9.]*\) .*/\1/p' "$source_dir/CMakeLists.txt")

failures=0
fail() {
  echo "check_release: FAILED: $*" >&2
  failures=$((failures + 1))
}
ok() { echo "check_release: $*"; }

# --- the installer's headers and imports
headers=$("$objdump" -p "$setup")
grep -q 'file format pei-i386' <<<"$headers" || fail "vokuta-setup.exe is not PE for i386"
grep -qE '^Subsystem[[:space:]]+0*2[[:space:]]+\(Windows GUI\)' <<<"$headers" ||
  fail "vokuta-setup.exe is not a GUI program"
mapfile -t dlls < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
windows_dlls=' kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll uxtheme.dll msvcrt.dll '
for d in "${dlls[@]}"; do
  [[ $windows_dlls == *" $d "* ]] || fail "vokuta-setup.exe imports $d, which Windows does not have"
done
ok "vokuta-setup.exe: pei-i386, GUI, imports ${dlls[*]}"

# --- resources, as windres reads them back from the files
resources() { "$windres" -J coff -O rc -i "$1" 2>/dev/null || true; }
setup_rc=$(resources "$setup")
# The manifest is resource 1 of type 24; windres shows its text as quoted lines, with each
# quote doubled.
manifest=$(sed -n '/^1 24 /,/^END/p' <<<"$setup_rc")
grep -q 'requestedExecutionLevel level=""asInvoker""' <<<"$manifest" ||
  fail "vokuta-setup.exe has no manifest resource asking for asInvoker"
# ProductName: "Vokuta本体ソフト インストーラ" as windres escapes it.
product='L"Vokuta\x672c\x4f53\x30bd\x30d5\x30c8 \x30a4\x30f3\x30b9\x30c8\x30fc\x30e9"'
for f in "$setup" "$pkg" "$dll"; do
  rc=$(resources "$f")
  grep -q "VALUE \"FileVersion\", \"$version\"" <<<"$rc" &&
    grep -q "VALUE \"ProductVersion\", \"$version\"" <<<"$rc" &&
    grep -q "FILEVERSION ${version//./, }, 0" <<<"$rc" &&
    grep -q 'VALUE "FileDescription", L"' <<<"$rc" &&
    grep -qF "VALUE \"ProductName\", $product" <<<"$rc" ||
    fail "$(basename "$f") has no version resource for $version with the product's name"
done
ok "manifest and version resources ($version) present"

# --- the simulated device's exports: plain names, and what each return pops
declare -A pops=([u_nego]=20 [u_end]=20 [u_mkdir]=24 [u_upload]=28 [u_download]=28 [u_dir]=36)
dll_headers=$("$objdump" -p "$dll")
base=$(sed -n 's/^ImageBase[[:space:]]*//p' <<<"$dll_headers")
for name in "${!pops[@]}"; do
  # "[   3] u_nego" in the name table gives the ordinal index; the address table has its RVA.
  index=$(sed -n "/^\[Ordinal\/Name Pointer\] Table/,/^\$/s/^[[:space:]]*\[ *\([0-9]*\)\] $name\$/\1/p" \
    <<<"$dll_headers")
  rva=$(sed -n "/^Export Address Table/,/^\$/s/^[[:space:]]*\[ *$index\] +base\[ *[0-9]*\] \([0-9a-f]*\) Export RVA\$/\1/p" \
    <<<"$dll_headers")
  if [ -z "$index" ] || [ -z "$rva" ]; then
    fail "V370rsh32.dll does not export $name under its plain name"
    continue
  fi
  start=$(printf '0x%x' $((0x$base + 0x$rva)))
  # The function's instructions up to the next label; every return in them must pop the same.
  # (awk reads on to the end: objdump must not die of a closed pipe.)
  rets=$("$objdump" -d --no-show-raw-insn --start-address="$start" \
    --stop-address=$((start + 4096)) "$dll" |
    awk '/^[0-9a-f]+ <.*>:$/ { labels++ } labels == 1 && /\tret/ { print $NF }' | sort -u)
  want=$(printf '$0x%x' "${pops[$name]}")
  if [ "$rets" != "$want" ]; then
    fail "$name returns with '${rets//$'\n'/, }', wanted ret $want (${pops[$name]} bytes)"
  fi
done
ok "V370rsh32.dll: each export pops its arguments' bytes"

# --- the release archive
archive=$build/vokuta-setup-$version-win32.zip
rm -f "$archive"
if ! cmake --build "$build" --target package >"$build/package.log" 2>&1; then
  fail "the package target failed (see $build/package.log)"
elif [ ! -f "$archive" ]; then
  fail "the package target did not make $(basename "$archive")"
else
  top=vokuta-setup-$version-win32
  expected=$(
    {
      printf '%s\n' "$top/vokuta-setup.exe" "$top/vokuta-pkg.exe" "$top/package-authors.txt"
      (cd "$source_dir/examples" && find sample -type f) | sed "s|^|$top/|"
    } | LC_ALL=C sort
  )
  # CMake reads zip archives itself, so no unzip is needed.
  found=$(cmake -E tar tf "$archive" | grep -v '/$' | LC_ALL=C sort)
  if [ "$found" != "$expected" ]; then
    fail "the archive holds otherwise than expected:"
    diff <(echo "$expected") <(echo "$found") | sed 's/^/    /' >&2 || true
  fi
  unpacked=$(mktemp -d)
  (cd "$unpacked" && cmake -E tar xf "$archive" "$top/vokuta-setup.exe" "$top/vokuta-pkg.exe")
  for exe in "$unpacked/$top"/*.exe; do
    if "$objdump" -h "$exe" | grep -q '\.debug_' || [ -n "$("$objdump" -t "$exe" | sed -n '/^\[/p')" ]; then
      fail "$(basename "$exe") in the archive is not stripped"
    fi
  done
  rm -rf "$unpacked"
  ok "$(basename "$archive"): $(wc -l <<<"$found") files, programs stripped"
fi

if [ "$failures" -gt 0 ]; then
  echo "check_release: $failures check(s) failed" >&2
  exit 1
fi
echo "check_release: all passed"
