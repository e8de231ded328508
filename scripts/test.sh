#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test three times over:
# a normal build, an AddressSanitizer + UBSan build, and a ThreadSanitizer
# build of the serial component and its tests. After the first build it checks
# that the install step brings in every Debian package the build used, and
# after its tests it builds the Debian package and checks it with lintian.
# Each libFuzzer target runs for 30 s (scripts/fuzz.sh, two at a time) beside
# the ThreadSanitizer build, and the package is made beside the
# AddressSanitizer build: no suite with timed exchanges runs beside them. Warnings are errors in every build.
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
# usable speed: with their instrumentation, -O2 costs a third more compile
# time. The run command's build keeps the compiler's defaults.
ci_flags=()
command -v mold >/dev/null && ci_flags+=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=mold)
build_suite() { # DIR "OPTIMISE DEBUG" [cmake options...]
  local dir="$1" code="$2"; shift 2
  echo "=== build $dir $*"
  "$here/scripts/build.sh" "$dir" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$code -DNDEBUG" "${ci_flags[@]}" "$@"
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
step "check-deps" "$here/scripts/check-deps.sh" "$here/build/normal"
step "test normal" test_suite "$here/build/normal"

# Two steps run beside others, their output kept until they end: the package
# and lintian's check beside the AddressSanitizer build, the fuzz targets
# (their build, then each target for its 30 s) beside the ThreadSanitizer
# build. Test suites run alone: their exchanges with the simulator have time
# limits that a machine busy with other work can miss. Their CPU time is counted in
# the step during which the shell collected them.
beside() { # LOG COMMAND...: runs COMMAND in the background, output to LOG
  local log="$1"; shift
  setsid "$@" >"$log" 2>&1 &
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
beside "$here/build/normal/package.log" "$here/scripts/package.sh" "$here/build/normal"; package_pid=$beside_pid
step "build asan" build_suite "$here/build/asan" "-O1 -g1" -DVANTREL_SANITIZE=address
step package collect package "$package_pid" "$here/build/normal/package.log"
step "test asan" test_suite "$here/build/asan"
mkdir -p "$here/build"
if command -v clang++ >/dev/null; then
  beside "$here/build/fuzz.log" "$here/scripts/fuzz.sh" all 30
else
  echo "fuzz: skipped: clang++ is not installed (scripts/debian-packages.sh names it)" >"$here/build/fuzz.log"
  beside_pid=
fi
fuzz_pid=$beside_pid
step "build tsan" build_suite "$here/build/tsan" "-O1 -g1" -DVANTREL_SANITIZE=thread
step fuzz collect fuzz "$fuzz_pid" "$here/build/fuzz.log"
step "test tsan" test_suite "$here/build/tsan"
summary
sed -n '/tests passed/,$p' "$here/build/tsan/ctest.log"
