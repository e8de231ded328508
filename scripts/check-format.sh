#!/usr/bin/env bash
# scripts/check-format.sh [--fix]: checks every C++ file the repository tracks
# against .clang-format, with clang-format 14 (Debian 12's). Another major
# version lays some lines out differently, so where only another one is
# installed (Debian 13 has 19) the check says so and passes.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
tool=""
for candidate in clang-format-14 clang-format; do
  if command -v "$candidate" >/dev/null \
     && "$candidate" --version | grep -Eq 'version 14\.'; then
    tool="$candidate"
    break
  fi
done
if [ -z "$tool" ]; then
  echo "=== format: skipped: clang-format 14 (Debian 12's) is not installed"
  exit 0
fi
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t files < <(find app bench cli cmake comm editor files fuzz model report sim tests \
    -name '*.cpp' -o -name '*.h' | sort)
fi
if [ "${1:-}" = "--fix" ]; then
  "$tool" -i "${files[@]}"
  exit 0
fi
echo "=== format: ${#files[@]} files against .clang-format ($tool)"
if ! "$tool" --dry-run --Werror "${files[@]}" 2>"${TMPDIR:-/tmp}/format-check.$$"; then
  grep -E '^[^ ].*: (error|warning):' "${TMPDIR:-/tmp}/format-check.$$" | cut -d: -f1 | sort -u \
    | sed 's/^/not formatted: /'
  rm -f "${TMPDIR:-/tmp}/format-check.$$"
  echo "=== format: run scripts/check-format.sh --fix and commit the result"
  exit 1
fi
rm -f "${TMPDIR:-/tmp}/format-check.$$"
