#!/usr/bin/env bash
# The built vokuta-pkg, natively:
#
#   tools/pkg/run_tool_tests.sh VOKUTA_PKG SOURCE_DIR [--update]
#
# 1. on the sample package of examples/ (when it is there): check finds no error, and a plan
#    onto an empty device folder leaves that folder empty;
# 2. on the test packages, devices and association files: every report of report_cases.sh must
#    be the one kept in tools/pkg/expected/ (--update writes them instead, for review).
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 VOKUTA_PKG SOURCE_DIR [--update]" >&2
  exit 2
fi
tool=$(realpath "$1")
src=$(cd "$2" && pwd)
update=${3:-}
# shellcheck source=report_cases.sh
source "$src/tools/pkg/report_cases.sh"

failed=()
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sample=$src/examples/sample
if [ -f "$sample/Setup.inf" ]; then
  status=0
  (cd "$sample" && "$tool" --json check) >"$work/sample.json" || status=$?
  if [ "$status" -ge 2 ] || ! grep -q '"errors": 0' "$work/sample.json"; then
    cat "$work/sample.json"
    failed+=("sample: check (status $status)")
  fi
  mkdir "$work/device"
  status=0
  (cd "$sample" && "$tool" plan --device "$work/device") >"$work/sample-plan.txt" || status=$?
  if [ "$status" -ge 2 ] || [ -n "$(ls -A "$work/device")" ]; then
    cat "$work/sample-plan.txt"
    failed+=("sample: plan (status $status)")
  fi
else
  echo "run_tool_tests: $sample/Setup.inf is missing; only the test packages are tried"
fi

for entry in "${report_cases[@]}"; do
  IFS='|' read -r name dir args <<<"$entry"
  # shellcheck disable=SC2086 # the arguments are words
  report_of "$src/$dir" "$tool" $args >"$work/$name.txt"
  expected=$src/tools/pkg/expected/$name.txt
  if [ "$update" = --update ]; then
    cp "$work/$name.txt" "$expected"
  elif ! diff -u "$expected" "$work/$name.txt"; then
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  printf 'run_tool_tests: failed: %s\n' "${failed[@]}" >&2
  exit 1
fi
echo "run_tool_tests: all passed"
