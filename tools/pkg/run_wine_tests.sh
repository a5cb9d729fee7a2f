#!/usr/bin/env bash
# vokuta-pkg.exe of the win64 build under Wine against the native vokuta-pkg:
#
#   tools/pkg/run_wine_tests.sh WIN64_BUILD_DIR NATIVE_VOKUTA_PKG NATIVE_BUILD_DIR
#
# Runs every report of report_cases.sh (and check and plan on the sample package of examples/,
# when it is there) with both and compares their output byte for byte, exit status included.
# The Wine prefix is this test's own, in the native build tree.
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 WIN64_BUILD_DIR NATIVE_VOKUTA_PKG NATIVE_BUILD_DIR" >&2
  exit 2
fi
exe=$(cd "$1" && pwd)/tools/vokuta-pkg.exe
native=$(realpath "$2")
native_dir=$(cd "$3" && pwd)
src=$(cd "$(dirname "$0")/../.." && pwd)
if [ ! -f "$exe" ]; then
  echo "run_wine_tests: $exe is missing; build the win64 preset first" >&2
  exit 1
fi
# shellcheck source=report_cases.sh
source "$src/tools/pkg/report_cases.sh"

# shellcheck source=../../scripts/wine-session.sh
source "$src/scripts/wine-session.sh"
wine_session_start "$native_dir/wine/pkg"
work=$(mktemp -d)
trap 'rm -rf "$work"; wine_session_end' EXIT

cases=("${report_cases[@]}")
if [ -f "$src/examples/sample/Setup.inf" ]; then
  cases+=("sample-json|examples/sample|--json check"
    "sample-plan-json|examples/sample|--json plan --device ../../tests/devices/sample")
fi

failed=()
for entry in "${cases[@]}"; do
  IFS='|' read -r name dir args <<<"$entry"
  # shellcheck disable=SC2086 # the arguments are words
  report_of "$src/$dir" "$native" $args >"$work/$name.native"
  # shellcheck disable=SC2086
  report_of "$src/$dir" "$wine" "$exe" $args >"$work/$name.wine" 2>"$work/$name.stderr"
  if diff -u "$work/$name.native" "$work/$name.wine"; then
    echo "==== same: $name"
  else
    cat "$work/$name.stderr"
    echo "==== DIFFERENT: $name"
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  printf 'run_wine_tests: different: %s\n' "${failed[@]}" >&2
  exit 1
fi
echo "run_wine_tests: all the same"
