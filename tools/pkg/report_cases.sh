# The reports that the tool tests compare, sourced by run_tool_tests.sh and run_wine_tests.sh.
# One case a line: a name, the folder to run in (from the source tree), the arguments.
report_cases=(
  "check-en|tests/packages/good|check"
  "check-ja|tests/packages/good|--lang ja check"
  "check-json|tests/packages/good|check --json Setup.inf"
  "check-broken|tests/packages/name-unusable|check"
  "check-broken-ja-json|tests/packages/app-path|--lang ja --json check"
  "check-utf8-json|tests/packages/utf8-with-bom|--json check"
  "check-utf16|tests/packages/utf16|check"
  "check-control-char|tests/packages/control-char|check"
  "check-icon|tests/packages/icon-too-large|check"
  "plan-utf16-json|tests/packages/utf16|--json plan --device ../../devices/sample"
  "plan-en|tests/packages/good|plan --device ../../devices/sample"
  "plan-ja|tests/packages/good|--lang ja plan --device ../../devices/sample"
  "plan-json|tests/packages/good|--json plan --device ../../devices/sample"
  "plan-stops-json|tests/packages/source-missing|--json plan --device ../../devices/sample"
  "ravuz-en|tests/ravuz|ravuz at-risk.ini"
  "ravuz-json|tests/ravuz|--json ravuz at-risk.ini"
  "ravuz-refused|tests/ravuz|ravuz not-whole.ini"
  "ravuz-diff|tests/ravuz|ravuz --diff sample.ini changed.ini"
  "ravuz-diff-json|tests/ravuz|--json ravuz --diff sample.ini changed.ini"
)

# Runs the tool ("$@" after the folder) in the folder $1 and prints its output followed by a
# line with its exit status.
report_of() {
  local dir=$1
  shift
  local status=0
  (cd "$dir" && "$@") || status=$?
  echo "[exit $status]"
}
