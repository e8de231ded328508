#!/usr/bin/env bash
# scripts/transfer-log-kill-check.sh <build-dir> [rounds] [editor]: sends a
# program to the controller simulator again and again, kills each sender with
# SIGKILL after a random delay, and then counts what the transfer log holds:
# records read whole, lines skipped as torn. Every record written before a
# kill must still read. The sender is `vantrel send`, or with "editor" the
# editor itself, driven with xdotool on $DISPLAY (Send, then Yes). Uses a
# temporary XDG_DATA_HOME and XDG_CONFIG_HOME; the user's own log is never
# touched.
set -euo pipefail
build="$(cd "$1" && pwd)"; rounds="${2:-100}"; sender="${3:-tool}"
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

mkdir -p "$XDG_CONFIG_HOME/Orrisan/VantrelAssistant"
printf '[System]\r\nComPortNo=9\r\n' >"$XDG_CONFIG_HOME/Orrisan/VantrelAssistant/VantrelAssistant.ini"

# Starts a send in the background; $pid is the sender.
start_send() {
  if [ "$sender" = editor ]; then
    "$build/app/vantrel-assistant" "$work/p.tpd" >/dev/null 2>&1 & pid=$!
    local window=""
    for _ in $(seq 50); do window=$(xdotool search --pid "$pid" --name "Vantrel Assistant Ver" 2>/dev/null | head -1); [ -n "$window" ] && break; sleep 0.1; done
    xdotool windowactivate --sync "$window" key alt+c Return 2>/dev/null || true  # Communication, Send
    sleep 0.5; xdotool key Return || true                                           # Yes
  else
    "$tool" send "$work/p.tpd" --port COM9 --yes >/dev/null 2>&1 & pid=$!
  fi
}

completed=0; killed=0
for round in $(seq "$rounds"); do
  start_send
  # A send takes a few hundred milliseconds; kill it anywhere in it, or after.
  delay=$((RANDOM % 600)); [ "$sender" = editor ] && delay=$((RANDOM % 1000))
  sleep "$((delay / 1000)).$(printf '%03d' $((delay % 1000)))"
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
