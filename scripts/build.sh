#!/usr/bin/env bash
# scripts/build.sh <build-dir> [cmake options...]: configures and builds.
# Warnings are not errors unless the options say so
# (-DCMAKE_COMPILE_WARNING_AS_ERROR=ON, as scripts/test.sh does).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
dir="$1"; shift
cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_COMPILE_WARNING_AS_ERROR=OFF "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
