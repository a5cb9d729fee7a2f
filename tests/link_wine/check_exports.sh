#!/usr/bin/env bash
# Checks that a built V370rsh32.dll exports the link library's six functions under their plain
# names and nothing else (an i686 build would export u_nego@20 and the like without care):
#
#   tests/link_wine/check_exports.sh OBJDUMP DLL
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 OBJDUMP DLL" >&2
  exit 2
fi
objdump=$1
dll=$2
if ! command -v "$objdump" >/dev/null; then
  echo "check_exports: $objdump is missing; run scripts/bootstrap.sh" >&2
  exit 1
fi
if [ ! -f "$dll" ]; then
  echo "check_exports: $dll is missing; build its preset first" >&2
  exit 1
fi

expected=(u_dir u_download u_end u_mkdir u_nego u_upload)
# The names follow "[Ordinal/Name Pointer] Table" as lines "[   0] u_dir", up to a blank line.
mapfile -t actual < <("$objdump" -p "$dll" |
  sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' |
  LC_ALL=C sort)

echo "exports of $dll:"
printf '  %s\n' "${actual[@]}"
if [ "${actual[*]}" != "${expected[*]}" ]; then
  echo "check_exports: expected exactly: ${expected[*]}" >&2
  exit 1
fi
