#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test three times over:
# a normal build, an AddressSanitizer + UBSan build, and a ThreadSanitizer
# build of the serial component and its tests. After the first build it checks
# that the install step brings in every Debian package the build used, and
# after its tests it builds the Debian package and checks it with lintian.
# Between the AddressSanitizer and the ThreadSanitizer suites, each libFuzzer
# target runs for 30 s (scripts/fuzz.sh, two at a time). Warnings are errors in
# every build.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"

build_suite() {
  local dir="$1"; shift
  echo "=== build $dir $*"
  "$here/scripts/build.sh" "$dir" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON "$@"
}
test_suite() {
  echo "=== test $1"
  (cd "$1" && ctest --output-on-failure --timeout 300 -j "$(nproc)")
}

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

build_suite "$here/build/normal"
"$here/scripts/check-deps.sh" "$here/build/normal"
test_suite "$here/build/normal"
"$here/scripts/package.sh" "$here/build/normal"
build_suite "$here/build/asan" -DVANTREL_SANITIZE=address
test_suite "$here/build/asan"
if command -v clang++ >/dev/null; then
  "$here/scripts/fuzz.sh" all 30
else
  echo "=== fuzz: skipped: clang++ is not installed (scripts/debian-packages.sh names it)"
fi
build_suite "$here/build/tsan" -DVANTREL_SANITIZE=thread
test_suite "$here/build/tsan"
