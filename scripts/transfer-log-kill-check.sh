#!/usr/bin/env bash
# scripts/transfer-log-kill-check.sh <build-dir> [rounds]: sends a program to
# the controller simulator with `vantrel send` again and again, kills each
# send with SIGKILL after a random delay, and then counts what the transfer
# log holds: records read whole, lines skipped as torn. Every record written
# before a kill must still read. Uses a temporary XDG_DATA_HOME and
# XDG_CONFIG_HOME; the user's own log is never touched.
set -euo pipefail
build="$(cd "$1" && pwd)"; rounds="${2:-100}"
tool="$build/cli/vantrel"; sim="$build/sim/vantrel-controller-sim"
work="$(mktemp -d)"; trap 'kill "$simpid" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"

"$sim" --com 9 >"$work/sim.log" 2>&1 & simpid=$!
for _ in $(seq 50); do [ -e "$XDG_CONFIG_HOME/Orrisan/VantrelAssistant/ports/COM9" ] && break; sleep 0.1; done

# Two segments: Ramp to 100.0 at 5.0, Hold 1.30, from 25.00.
python3 - "$work/p.tpd" <<'PY'
import sys
def row(label, vals, fill):
    return '"%s",' % label + ','.join(vals + [fill] * (32 - len(vals)))
lines = ['Ver1.00', '3', '25.00', row(' Mode', ['Ramp', 'Hold'], '" "'),
         row(' Temp.(deg C)', ['100.0', '0.0'], '0.0'), row(' Rate(deg C/min)', ['5.0', '0.0'], '0.0'),
         row(' Time(min.sec)', ['0.00', '1.30'], '0.00'), '']
open(sys.argv[1], 'wb').write('\r\n'.join(lines).encode())
PY

completed=0; killed=0
for round in $(seq "$rounds"); do
  "$tool" send "$work/p.tpd" --port COM9 --yes >/dev/null 2>&1 & pid=$!
  # A send takes a few hundred milliseconds; kill it anywhere in it, or after.
  sleep "0.$(printf '%03d' $((RANDOM % 600)))"
  kill -KILL "$pid" 2>/dev/null || true
  status=0; wait "$pid" 2>/dev/null || status=$?
  if [ "$status" -eq 137 ]; then killed=$((killed + 1)); elif [ "$status" -eq 0 ]; then completed=$((completed + 1)); fi
done

log="$XDG_DATA_HOME/Orrisan/VantrelAssistant/transfers.jsonl"
lines=$( [ -e "$log" ] && grep -c '' "$log" || echo 0)
readable=$("$tool" log --json 2>"$work/warnings" | grep -c '' || true)
skipped=$(grep -c 'skipped' "$work/warnings" || true)
echo "rounds $rounds: killed by SIGKILL $killed, completed before the kill $completed"
echo "log lines $lines: records read $readable, lines skipped $skipped"
