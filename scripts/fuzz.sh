#!/usr/bin/env bash
# A long fuzzing campaign of one libFuzzer target of the sanitize build:
#
#   scripts/fuzz.sh TARGET RUNS [LIBFUZZER_OPTION...]
#
# TARGET is setup_info_fuzz, pkg_check_fuzz or fini_merge_fuzz ("_fuzz" may be left off); RUNS
# the number of inputs to execute. Builds the target (configuring the sanitize preset first
# when needed), runs it in one process on one core from its corpus in the build tree, seeded
# from the source tree, and ends with libFuzzer's figures: executions, seconds, executions per
# second, new inputs. A finding is kept as a crash-/leak-/timeout- file in the campaign's
# artifacts folder, named in the output; the exit status is then libFuzzer's (non-zero).
#
# VOKUTA_FUZZ_WORKERS=N shares the RUNS among N processes on the same corpus (one per core):
# libFuzzer reloads the corpus folder as it goes, so each takes up what the others found. Each
# worker has its own log; the figures are summed at the end.
set -euo pipefail

if [ $# -lt 2 ] || ! [[ $2 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 TARGET RUNS [LIBFUZZER_OPTION...]" >&2
  exit 2
fi
target=${1%_fuzz}_fuzz
runs=$2
shift 2
src=$(cd "$(dirname "$0")/.." && pwd)
case $target in
setup_info_fuzz | pkg_check_fuzz) seeds=$src/tests/fuzz/corpus ;;
fini_merge_fuzz) seeds=$src/tests/fuzz/merge_corpus ;;
*)
  echo "fuzz.sh: no target $target (setup_info_fuzz, pkg_check_fuzz, fini_merge_fuzz)" >&2
  exit 2
  ;;
esac

build=$src/build/sanitize
# Without allocation stacks in a report, the allocator's bookkeeping costs far less: a campaign
# runs about 1.4 times as many inputs, with the same checks.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0}
cd "$src"
[ -f "$build/CMakeCache.txt" ] || cmake --preset sanitize >/dev/null
cmake --build --preset sanitize --target "$target" -j2

# The campaign's corpus is its own, so that a long run does not lengthen the bounded test runs.
work=$build/tests/fuzz/campaign/$target
mkdir -p "$work/corpus" "$work/artifacts"
workers=${VOKUTA_FUZZ_WORKERS:-1}
rm -f "$work"/last*.log
echo "fuzz.sh: $target for $runs runs in $workers process(es); logs: $work/last-N.log"
start=$(date +%s)
pids=()
for w in $(seq "$workers"); do
  share=$((runs / workers + (w == 1 ? runs % workers : 0)))
  "$build/tests/fuzz/$target" -runs="$share" -rss_limit_mb=2048 -max_len=8192 \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$@" "$work/corpus" "$seeds" \
    >"$work/last-$w.log" 2>&1 &
  pids+=("$!")
done
status=0
for pid in "${pids[@]}"; do wait "$pid" || status=$?; done
for log in "$work"/last-*.log; do
  echo "== $log"
  grep -E '^(#[0-9]+ +(INITED|DONE)|Done |stat::|==[0-9]+==ERROR|SUMMARY|artifact_prefix|Test unit)' \
    "$log" || true
done
end=$(date +%s)
executed=$(cat "$work"/last-*.log | sed -n 's/^stat::number_of_executed_units: *//p' |
  awk '{ n += $1 } END { print n + 0 }')
echo "fuzz.sh: $target, $runs runs asked, $executed executed, $((end - start)) s of wall time," \
  "exit status $status"
exit "$status"
