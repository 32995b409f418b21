#!/usr/bin/env bash
# replaylog_test.sh SETUP_SIM LOG
# A run log that a user sent in (recorded with -logtransfers= or --log-transfers=), replayed by
# setup-sim as the mixer it was recorded from: the wizard, quiet and with the port tests the log's
# command line asked for, asks every transfer the log holds, in its order, and ends with the exit
# code the log ends with.
set -uo pipefail
setup_sim=$1 log=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "replaylog_test $(basename "$log"): $*" >&2; exit 1; }

exit_code=$(sed -n 's/^[0-9]* exit-code \([0-9]*\) .*/\1/p' "$log")
[ -n "$exit_code" ] || fail "the log holds no exit code: was the run cut short?"
command_line=" $(sed -n 's/^[0-9]* command-line //p' "$log") "
switches=()
for switch in -usbtest -dantetest -usbtestonly -dantetestonly; do
  [[ "$command_line" == *" $switch "* ]] && switches+=("$switch")
done

"$setup_sim" --fast -quiet "${switches[@]}" --replay="$log" >"$work/out" 2>"$work/err"
# A failed run tells its reason on standard error, once; anything else there is the replay's
# verdict on the log.
reasons=$(grep -c '^setup-sim: ' "$work/err")
[ "$reasons" = "$([ "$exit_code" = 0 ] && echo 0 || echo 1)" ] || fail "$reasons reasons for $exit_code"
! grep -v '^setup-sim: ' "$work/err" || fail "$(cat "$work/err")"
last=$(tail -n 1 "$work/out")
[[ "$last" == "exit code: $exit_code ("* ]] || fail "the log ends with $exit_code, the replay: $last"
echo "ok: $(grep -c ' transfer ' "$log") transfers, exit code $exit_code"
