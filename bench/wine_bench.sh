#!/usr/bin/env bash
# The Windows build's costs under Wine, each beside its baseline in the same Wine session:
#
#   bench/wine_bench.sh [--quick] WIN64_BUILD_DIR VOKUTA_BENCH NATIVE_BUILD_DIR
#
# VOKUTA_BENCH is the native vokuta-bench (it makes the packages). Prints the medians and the
# ratios: an install at 115200 bit/s against the link time its bytes take on that line, installs
# without a speed limit per file at three sizes, and the installer's start-up to its main window
# on the 199-row package against a program that only opens a window with a list. --quick uses
# small packages and one run of each: seconds, for CI. VOKUTA_BENCH_RUNS and VOKUTA_BENCH_SIZES
# (install sizes, the first is the reference) shorten a full run. The prefix is NATIVE_BUILD_DIR/wine/bench.
set -euo pipefail
quick=
if [ "${1:-}" = --quick ]; then
  quick=1
  shift
fi
if [ $# -ne 3 ]; then
  echo "usage: $0 [--quick] WIN64_BUILD_DIR VOKUTA_BENCH NATIVE_BUILD_DIR" >&2
  exit 2
fi
win64_dir=$(cd "$1" && pwd)
bench=$2
native_dir=$(cd "$3" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
setup_exe=$win64_dir/src/win32/vokuta-setup.exe
device_dll=$win64_dir/devsim/dll/V370rsh32.dll
probe=$win64_dir/bench/vokuta-bench-probe.exe
window=$win64_dir/bench/vokuta-bench-window.exe
for f in "$setup_exe" "$device_dll" "$probe" "$window"; do
  if [ ! -f "$f" ]; then
    echo "wine_bench: $f is missing; build the win64 preset first" >&2
    exit 1
  fi
done

# shellcheck source=../scripts/wine-session.sh
source "$here/../scripts/wine-session.sh"
wine_session_start "$native_dir/wine/bench" xvfb
root=$WINEPREFIX/drive_c/bench
rm -rf "$root"
mkdir -p "$root/setup" "$root/pc/ReDirav/Temp" "$root/pc/ReDirav/cache" "$root/pc/vkapps"
cp "$setup_exe" "$device_dll" "$window" "$root/setup/"
# Stripped, as the release archive ships the installer: Wine maps a program's debugging
# sections too, which made loading the link library alone take some 30 ms.
strip=$(sed -n 's/^CMAKE_STRIP:FILEPATH=//p' "$win64_dir/CMakeCache.txt")
"${strip:-x86_64-w64-mingw32-strip}" "$root"/setup/*.exe "$root"/setup/*.dll
"$wine" reg add 'HKCU\Software\NKV\Vokuta\PC' /v InstallDir /t REG_SZ /d 'C:\bench\pc' /f \
  >/dev/null 2>&1

if [ -n "$quick" ]; then
  runs=1 slow_files=4 sizes=(20 40) start_files=200
else
  runs=3 slow_files=40 sizes=(40 500 2000) start_files=2000
fi
# A shorter full run: VOKUTA_BENCH_RUNS=1 VOKUTA_BENCH_SIZES="40 200 500".
runs=${VOKUTA_BENCH_RUNS:-$runs}
if [ -n "${VOKUTA_BENCH_SIZES:-}" ]; then read -ra sizes <<<"$VOKUTA_BENCH_SIZES"; fi
# Packages: FILES FOLDERS ROWS BYTES; one row per folder.
"$bench" --make-package "$root/slow" "$slow_files" 4 4 5120
for n in "${sizes[@]}"; do
  folders=$(((n + 9) / 10 < 199 ? (n + 9) / 10 : 199))
  "$bench" --make-package "$root/p$n" "$n" "$folders" "$folders" 512
done
"$bench" --make-package "$root/start" "$start_files" 199 199 100

# Medians of the two columns (wall and processor milliseconds) of the lines read.
median() {
  local lines
  lines=$(cat)
  for column in 1 2; do
    awk -v c="$column" '{ print $c }' <<<"$lines" | sort -g |
      awk '{ v[NR] = $1 } END { printf "%s ", (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
  done
}

# One install of package $1 at $2 bit/s (0: no limit) onto an empty device; prints its wall and
# processor ms.
install_ms() {
  rm -rf "$root/device" "$root/pc/ReDirav/cache"
  mkdir -p "$root/device" "$root/pc/ReDirav/cache"
  printf 'device = C:\\bench\\device\r\ncapacity = 2000000000\r\nspeed = %s\r\n' "$2" \
    >"$root/setup/V370rsh32.ini"
  local out
  out=$("$wine" "$probe" install 'C:\bench\setup\vokuta-setup.exe' "C:\\bench\\$1\\Setup.inf" \
    </dev/null 2>&1) || {
    echo "wine_bench: the install of $1 failed: $out" >&2
    exit 1
  }
  local files
  files=$(find "$root/device" -type f | wc -l)
  if [ "$files" -ne "$(find "$root/$1" -name '*.DAT' | wc -l)" ]; then
    echo "wine_bench: the device holds $files files after installing $1" >&2
    exit 1
  fi
  tr -d '\r' <<<"$out"
}
start_ms() { "$wine" "$probe" start 1003 "$@" </dev/null 2>&1 | tr -d '\r'; }
repeat() { for _ in $(seq "$runs"); do "$@"; done | median; }

# Once each first, so that neither pays for loading Wine's libraries into the page cache.
start_ms 'C:\bench\setup\vokuta-bench-window.exe' >/dev/null
start_ms 'C:\bench\setup\vokuta-setup.exe' 'C:\bench\start\Setup.inf' >/dev/null
read -r trivial trivial_cpu <<<"$(repeat start_ms 'C:\bench\setup\vokuta-bench-window.exe')"
read -r startup startup_cpu <<<"$(repeat start_ms 'C:\bench\setup\vokuta-setup.exe' 'C:\bench\start\Setup.inf')"
read -r slow slow_cpu <<<"$(repeat install_ms slow 115200)"
link=$(awk -v n="$slow_files" 'BEGIN { printf "%.1f", n * 5120 * 10 * 1000 / 115200 }')
declare -A per_file per_file_cpu
for n in "${sizes[@]}"; do
  read -r total total_cpu <<<"$(repeat install_ms "p$n" 0)"
  per_file[$n]=$(awk -v t="$total" -v n="$n" 'BEGIN { printf "%.2f", t / n }')
  per_file_cpu[$n]=$(awk -v t="$total_cpu" -v n="$n" 'BEGIN { printf "%.2f", t / n }')
done

# Processor time is the installer's own (Wine's server not counted): on a shared machine it shows
# the work when the wall time mostly shows the other users.
printf '\n%-52s %12s %12s %9s %10s %10s %7s  %s\n' "work (medians of $runs)" wall baseline ratio \
  cpu baseline ratio target
row() {
  awk -v w="$1" -v m="$2" -v b="$3" -v cm="$4" -v cb="$5" -v t="$6" 'BEGIN {
    printf "%-52s %9.2f ms %9.2f ms %8.4fx %7.2f ms ", w, m, b, (b > 0 ? m / b : 0), cm
    if (cb > 0) printf "%7.2f ms %6.2fx  %s\n", cb, cm / cb, t
    else printf "%10s %7s  %s\n", "-", "-", t }'
}
row "install, $slow_files x 5120 bytes at 115200 bit/s / link time" "$slow" "$link" "$slow_cpu" \
  0 "under 1.01x"
first=${sizes[0]}
for n in "${sizes[@]}"; do
  row "install, no limit, per file at $n files / at $first" "${per_file[$n]}" \
    "${per_file[$first]}" "${per_file_cpu[$n]}" "${per_file_cpu[$first]}" 1x
done
row "start-up, 199 rows / $start_files files / trivial window" "$startup" "$trivial" \
  "$startup_cpu" "$trivial_cpu" "at most 1.5x"
