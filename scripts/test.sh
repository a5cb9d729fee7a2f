#!/usr/bin/env bash
# Builds every preset and runs every test: native units and behaviour tests, the same under
# AddressSanitizer and UndefinedBehaviorSanitizer with the fuzz targets, both Windows cross
# builds, and the Windows tests under Wine for each of them (the i686 release build on 32-bit
# Wine under qemu-i386, see scripts/wine-session.sh). Ends with the test runner's summary.
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

step "sanitizers and fuzzing"
cmake --preset sanitize -DVOKUTA_WERROR=ON >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

step "native and Wine"
cmake --preset native -DVOKUTA_WERROR=ON -DVOKUTA_WIN64_DIR="$PWD/build/win64" \
  -DVOKUTA_WIN32_DIR="$PWD/build/win32" >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"
