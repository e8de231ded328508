#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test three times over:
# a normal build, an AddressSanitizer + UBSan build, and a ThreadSanitizer
# build of the serial component and its tests. After the first build it checks
# that the install step brings in every Debian package the build used, and it
# builds the Debian package and checks it with lintian. Each libFuzzer target
# runs for 30 s (scripts/fuzz.sh, two at a time). Warnings are errors in every
# build. Light steps run beside the others at idle priority (see beside).
# At the end it lists each step's wall time and CPU time, then repeats the
# last suite's summary.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

# Each step's wall time and the CPU time (user + system) of the processes it
# ran, summed by the shell's `times` over the children it has waited for
# (in this shell itself: a subshell counts only its own children).
steps=()
cpu_file="$(mktemp)"
# A step that runs beside others is a process group of its own (see beside),
# ended with the command when anything fails.
beside_groups=()
trap 'rm -f "$cpu_file"; for g in "${beside_groups[@]}"; do kill -- "-$g" 2>/dev/null || true; done' EXIT
cpu_now() { # sets cpu_ms
  times >"$cpu_file"
  cpu_ms="$(tail -1 "$cpu_file" | awk '{ t = 0; for (i = 1; i <= 2; i++) { split($i, p, /[ms]/); t += p[1] * 60 + p[2] }
                                        printf "%d", t * 1000 }')"
}
step() {
  local name="$1" wall0 cpu0; shift
  wall0="$(date +%s%N)"; cpu_now; cpu0="$cpu_ms"
  "$@"
  cpu_now
  steps+=("$(printf '%-14s %7.1f s wall %7.1f s CPU' "$name" \
    "$(( ($(date +%s%N) - wall0) / 1000000 ))e-3" "$(( cpu_ms - cpu0 ))e-3")")
}
summary() {
  echo "=== time per step (CPU: user + system of every process the step ran)"
  printf '%s\n' "${steps[@]}"
  cpu_now
  printf '%-14s %7d s wall %7.1f s CPU\n' total "$SECONDS" "${cpu_ms}e-3"
}

# The test builds are compiled for their tests, not for a debugger: no debug
# information in the normal build, line tables only in the sanitizer builds
# (their reports name file and line), and mold as the linker. The sanitizer
# builds optimise at -O1, the level the sanitizers' documentation names for
# usable speed: with their instrumentation, four files measured took 30 to 70%
# longer to compile at -O2. The run command's build keeps the compiler's defaults.
ci_flags=()
command -v mold >/dev/null && ci_flags+=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=mold)
build_command() { # DIR "OPTIMISE DEBUG" [cmake options...]: sets build_cmd
  local dir="$1" code="$2"; shift 2
  build_cmd=("$here/scripts/build.sh" "$dir" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$code -DNDEBUG" "${ci_flags[@]}" "$@")
}
build_suite() { # as build_command
  echo "=== build $1 ${*:3}"
  build_command "$@"
  "${build_cmd[@]}"
}
# The runner's output is kept in DIR/ctest.log too: the log of the whole
# command ends with the last suite's summary, after the table of steps.
test_suite() {
  echo "=== test $1"
  (cd "$1" && ctest --output-on-failure --timeout 300 -j "$(nproc)") 2>&1 | tee "$1/ctest.log"
}
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

step install "$here/scripts/install-deps.sh"
step format "$here/scripts/check-format.sh"
step "build normal" build_suite "$here/build/normal" "-O2 -g0"

# Steps that need little of the machine's time or can wait for it run beside
# the others, at the lowest CPU priority (SCHED_IDLE; nice 19 where the
# scheduler refuses it), their output kept until they end: the package, the
# dependency check and the fuzz targets' build beside the normal tests, the
# ThreadSanitizer build beside the AddressSanitizer tests. They get only the
# time the steps in front leave over, so the test suites, whose exchanges with
# the simulator have time limits, run as if alone, and the ASan build is not
# slowed. The fuzz targets run alone, on every core, each for its 30 s. A
# step's CPU time is counted in the step during which the shell collected it.
idle=(nice -n 19)
chrt --idle 0 true 2>/dev/null && idle=(chrt --idle 0)
beside() { # LOG COMMAND...: runs COMMAND in the background at idle priority, output to LOG
  local log="$1"; shift
  setsid "${idle[@]}" "$@" >"$log" 2>&1 &
  beside_pid=$!
  beside_groups+=("$beside_pid")
}
collect() { # NAME PID LOG: waits for a step that ran beside, then shows its output
  local status=0
  [ -z "$2" ] || wait "$2" || status=$?
  echo "=== $1 (ran beside the other steps)"
  cat "$3"
  return "$status"
}
have_clang=false
command -v clang++ >/dev/null && have_clang=true
no_clang="fuzz: skipped: clang++ is not installed (scripts/debian-packages.sh names it)"

mkdir -p "$here/build"
beside "$here/build/check-deps.log" "$here/scripts/check-deps.sh" "$here/build/normal"; deps_pid=$beside_pid
beside "$here/build/package.log" "$here/scripts/package.sh" "$here/build/normal"; package_pid=$beside_pid
if $have_clang; then
  beside "$here/build/fuzz-build.log" "$here/scripts/fuzz.sh" build; fuzz_build_pid=$beside_pid
else
  echo "$no_clang" >"$here/build/fuzz-build.log"; fuzz_build_pid=
fi
step "test normal" test_suite "$here/build/normal"
step "build asan" build_suite "$here/build/asan" "-O1 -g1" -DVANTREL_SANITIZE=address
build_command "$here/build/tsan" "-O1 -g1" -DVANTREL_SANITIZE=thread
beside "$here/build/tsan-build.log" "${build_cmd[@]}"; tsan_pid=$beside_pid
step "test asan" test_suite "$here/build/asan"
step check-deps collect check-deps "$deps_pid" "$here/build/check-deps.log"
step package collect package "$package_pid" "$here/build/package.log"
step "build fuzz" collect "fuzz build" "$fuzz_build_pid" "$here/build/fuzz-build.log"
step "build tsan" collect "build $here/build/tsan" "$tsan_pid" "$here/build/tsan-build.log"
if $have_clang; then step fuzz "$here/scripts/fuzz.sh" all 30; else echo "$no_clang"; fi
step "test tsan" test_suite "$here/build/tsan"
summary
sed -n '/tests passed/,$p' "$here/build/tsan/ctest.log"
