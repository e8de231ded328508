#!/usr/bin/env bash
# scripts/fuzz.sh TARGET [SECONDS] [libFuzzer options...]
#   TARGET: program, settings, download, sim, transfer_log, table, or all (each in turn, two at a time);
#           build builds every target and runs none
#   SECONDS: how long each target runs (default 600)
# Builds the libFuzzer targets of fuzz/ with clang into build/fuzz (the
# libraries instrumented, ASan and UBSan on, Qt's own range checks on) and runs
# TARGET on a copy of its seed corpus in a temporary folder, so the repository
# is never changed. Fails on a crash, a failed check, a leak, an input that
# takes more than 10 s, or a run that does not end; the input that did it is
# kept in build/fuzz/findings/TARGET/ and the end of the log is printed.
# For each target it prints the inputs run, the coverage (cov: edges, ft:
# features) and the time.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/build/fuzz"
targets=(program settings download sim transfer_log table)

usage() { echo "usage: scripts/fuzz.sh {program|settings|download|sim|transfer_log|table|all|build} [SECONDS] [libFuzzer options...]" >&2; exit 64; }
[ $# -ge 1 ] || usage
target="$1"; shift
seconds="${1:-600}"; [ $# -ge 1 ] && shift
[[ "$seconds" =~ ^[0-9]+$ ]] || usage
if [ "$target" = all ] || [ "$target" = build ]; then
  chosen=("${targets[@]}")
elif [[ " ${targets[*]} " == *" $target "* ]]; then
  chosen=("$target")
else
  usage
fi

command -v clang++ >/dev/null || { echo "fuzz: clang++ is missing; scripts/install-deps.sh installs it" >&2; exit 1; }
echo "=== build $build (clang, libFuzzer)"
linker=()
command -v mold >/dev/null && linker=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=mold)
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVANTREL_FUZZ=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" "${linker[@]}" >/dev/null
cmake --build "$build" --target fuzzers --parallel "$(nproc)"
[ "$target" != build ] || exit 0

work="$(mktemp -d)"
# The targets write their files below one folder of the run's own (in memory
# where the machine has /dev/shm), removed here: a target that stops on a
# finding never gets to remove its own.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch="$(mktemp -d /dev/shm/vantrel-fuzz-XXXXXX)"; else scratch="$work/scratch"; mkdir "$scratch"; fi
trap 'rm -rf "$work" "$scratch"' EXIT

# Runs one target; its log goes to $work/NAME.log, its summary to $work/NAME.summary.
run_target() {
  local name="$1"; shift
  local corpus="$work/$name-corpus" log="$work/$name.log" findings="$build/findings/$name"
  mkdir -p "$corpus" "$findings"
  cp -r "$here/fuzz/corpus/$name/." "$corpus/"
  local start=$SECONDS status=0
  # libFuzzer ends the run itself after -max_total_time; the outer limit only
  # catches a process that stops answering altogether.
  mkdir -p "$scratch/$name"
  QT_QPA_PLATFORM=offscreen \
  VANTREL_FUZZ_SCRATCH="$scratch/$name" TMPDIR="$scratch/$name" \
  ASAN_OPTIONS=detect_leaks=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS="suppressions=$here/fuzz/lsan-suppressions.txt:print_suppressions=0" \
    timeout --kill-after=10 "$((seconds + 60))" \
    "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -detect_leaks=1 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$findings/" "$@" "$corpus" >"$log" 2>&1 || status=$?
  local execs coverage
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  coverage="$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1 || true)"
  echo "fuzz_$name: ${execs:-?} inputs in $((SECONDS - start)) s, ${coverage:-no coverage line}, exit $status" \
    >"$work/$name.summary"
  return "$status"
}

failed=()
report() {
  local name="$1" status="$2"
  cat "$work/$name.summary"
  if [ "$status" -ne 0 ]; then
    failed+=("$name")
    [ "$status" -eq 124 ] && echo "fuzz_$name did not end within $((seconds + 60)) s"
    echo "--- end of the fuzz_$name log; the input is in $build/findings/$name/"
    tail -n 60 "$work/$name.log"
  fi
}

echo "=== fuzz ${chosen[*]}: $seconds s each"
# Two at a time: the machine has two cores.
for ((i = 0; i < ${#chosen[@]}; i += 2)); do
  first="${chosen[i]}" second="${chosen[i + 1]:-}"
  run_target "$first" "$@" & first_pid=$!
  if [ -n "$second" ]; then run_target "$second" "$@" & second_pid=$!; fi
  first_status=0; wait "$first_pid" || first_status=$?
  report "$first" "$first_status"
  if [ -n "$second" ]; then
    second_status=0; wait "$second_pid" || second_status=$?
    report "$second" "$second_status"
  fi
done

[ ${#failed[@]} -gt 0 ] && echo "fuzz: a fault was found by ${failed[*]}"
echo "fuzz: $((${#chosen[@]} - ${#failed[@]})) passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
