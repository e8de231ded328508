#!/usr/bin/env bash
# bench/check-throughput.sh [VANTREL] [FILES] [ROUNDS]: how many program files
# per second `vantrel check` gets through, beside `cat` of the same files.
# Makes FILES (default 10000) copies of a clean 32-segment program in a
# temporary folder, then, in each of ROUNDS (default 5) rounds, runs one
# `vantrel check` on all of them and one `cat` of all of them, and prints the
# files per second of both (each round, then the medians). Output goes to
# /dev/null; page-cache reads, as a lab's cron job checking a folder meets them.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
tool="${1:-$here/build/normal/cli/vantrel}"
files="${2:-10000}"
rounds="${3:-5}"
tool="$(realpath -e "$tool" 2>/dev/null || echo "$tool")"
[ -x "$tool" ] || { echo "check-throughput: no $tool (build first: scripts/build.sh build/normal)" >&2; exit 2; }

dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT

# One program of 32 segments: ramps to 150.0 at 10.0 deg C/min and holds of
# 5 min 30 s by turns, written as the editor writes it (CRLF, quoted labels).
row() { # label, then the 32 cells
  local label="$1"; shift
  local IFS=,
  printf '" %s",%s\r\n' "$label" "$*"
}
modes=(); temps=(); rates=(); times=()
for ((s = 0; s < 32; ++s)); do
  if ((s % 2 == 0)); then modes+=(Ramp); temps+=(150.0); rates+=(10.0); times+=(0.00)
  else modes+=(Hold); temps+=(0.0); rates+=(0.0); times+=(5.30); fi
done
{
  printf 'Ver1.00\r\n3\r\n40.00\r\n'
  row Mode "${modes[@]}"
  row 'Temp.(deg C)' "${temps[@]}"
  row 'Rate(deg C/min)' "${rates[@]}"
  row 'Time(min.sec)' "${times[@]}"
  printf 'bench program\r\n'
} >"$dir/p00000.tpd"
"$tool" check "$dir/p00000.tpd" | grep -q ': ok (32 segments' \
  || { echo "check-throughput: the program is not clean:" >&2; "$tool" check "$dir/p00000.tpd" >&2; exit 1; }
for ((i = 1; i < files; ++i)); do printf -v name '%s/p%05d.tpd' "$dir" "$i"; cp "$dir/p00000.tpd" "$name"; done
cd "$dir"
names=(p*.tpd)
cat -- "${names[@]}" >/dev/null # into the page cache

now() { date +%s%N; }
rate() { echo $(( $1 * 1000000000 / ($2 > 0 ? $2 : 1) )); }
median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }
checks=(); cats=()
echo "files: ${#names[@]} copies of a 32-segment program ($(stat -c %s p00000.tpd) bytes each)"
echo "tool:  $tool"
for ((r = 1; r <= rounds; ++r)); do
  t0=$(now); status=0; "$tool" check "${names[@]}" >/dev/null || status=$?; t1=$(now)
  [ "$status" -eq 0 ] || { echo "check-throughput: vantrel check exited $status" >&2; exit 1; }
  cat -- "${names[@]}" >/dev/null; t2=$(now)
  checks+=("$(rate "${#names[@]}" $((t1 - t0)))"); cats+=("$(rate "${#names[@]}" $((t2 - t1)))")
  printf 'round %d: vantrel check %6d files/s  cat %6d files/s\n' "$r" "${checks[-1]}" "${cats[-1]}"
done
check_median="$(median "${checks[@]}")" cat_median="$(median "${cats[@]}")"
printf 'median:  vantrel check %6d files/s  cat %6d files/s  (check/cat %d%%)\n' \
  "$check_median" "$cat_median" $(( check_median * 100 / cat_median ))
