#!/usr/bin/env bash
# Builds every preset and runs every test: native units and behaviour tests, the same under
# AddressSanitizer and UndefinedBehaviorSanitizer with the fuzz targets, both Windows cross
# builds, and the Windows tests under Wine for each of them (the i686 release build on 32-bit
# Wine under qemu-i386, see scripts/wine-session.sh). The two test runs go side by side; the
# log ends with both summaries.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}

step() { printf "\n==== %s  (%d s)\n" "$*" "$SECONDS"; }

step "bootstrap"
bash scripts/bootstrap.sh

step "format"
python3 scripts/check-includes.py
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

for preset in win64 win32; do
  step "build $preset"
  cmake --preset "$preset" -DVOKUTA_WERROR=ON >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

step "build sanitize"
cmake --preset sanitize -DVOKUTA_WERROR=ON >/dev/null
cmake --build --preset sanitize -j "$jobs"

step "build native"
cmake --preset native -DVOKUTA_WERROR=ON -DVOKUTA_WIN64_DIR="$PWD/build/win64" \
  -DVOKUTA_WIN32_DIR="$PWD/build/win32" >/dev/null
cmake --build --preset native -j "$jobs"

# Both test runs at once, and one Wine test more than there are cores: the Wine tests spend much
# of their time waiting for windows and the simulated line, which leaves the processor to the
# others.
step "tests: sanitizers and fuzzing, native and Wine"
sanitize_log=build/sanitize/tests.log
ctest --preset sanitize -j "$jobs" >"$sanitize_log" 2>&1 &
sanitize_run=$!
native_status=0
ctest --preset native -j "$((jobs + 1))" || native_status=$?
sanitize_status=0
wait "$sanitize_run" || sanitize_status=$?
step "sanitizers and fuzzing (ran beside the native tests)"
cat "$sanitize_log"
step "done"
[ "$native_status" -eq 0 ] && [ "$sanitize_status" -eq 0 ]
