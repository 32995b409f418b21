#!/usr/bin/env bash
# replay_test.sh WITH_MIXER SETUP_SIM VANTOR_SETUP
# A run that setup-sim recorded, served by the virtual mixer as the mixer (--replay) to
# vantor-setup through the real hidraw node: the same end and the same transfers; with one
# recorded command changed, the virtual mixer names it on standard error. Exits 77 (skipped) where
# the virtual mixer cannot be served (no root).
set -uo pipefail
with_mixer=$1 setup_sim=$2 vantor_setup=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "replay_test: $*" >&2; exit 1; }

# replay LOG NAME: vantor-setup against the virtual mixer replaying LOG; its status in $status.
replay() {
  "$with_mixer" --replay="$1" -- "$vantor_setup" -quiet --log-transfers="$work/$2.log" \
    >"$work/$2.out" 2>"$work/$2.err"
  status=$?
  if [ "$status" -eq 77 ] && grep -q "^with-virtual-mixer: skipped" "$work/$2.err"; then
    cat "$work/$2.err"
    exit 77
  fi
}
transfers() { sed -n 's/^[0-9]* \(transfer .*\)/\1/p' "$1"; }

"$setup_sim" --fast -quiet --wrong-status=ERFW:2 --log-transfers="$work/recorded.log" \
  >"$work/recorded.out" 2>&1
[ $? -eq 31 ] || fail "the recording did not end with 31: $(tail -n 1 "$work/recorded.out")"

replay "$work/recorded.log" replayed
[ "$status" -eq 31 ] || { cat "$work/replayed.err"; fail "the replay ended with $status"; }
[ "$(tail -n 1 "$work/replayed.out")" = "exit code: 31 (0x0000001F)" ] ||
  fail "last line: $(tail -n 1 "$work/replayed.out")"
# The failure's reason, and nothing else, on standard error.
reason="vantor-setup: Firmware Update Failed: A device connected to the computer is not working properly."
[ "$(cat "$work/replayed.err")" = "$reason" ] || fail "standard error: $(cat "$work/replayed.err")"
[ -n "$(transfers "$work/recorded.log")" ] || fail "the recording holds no transfers"
diff <(transfers "$work/recorded.log") <(transfers "$work/replayed.log") >&2 ||
  fail "the replay's transfers are not the recorded ones"

# The mixer was recorded taking "ERFX" where vantor-setup sends "ERFW". The virtual mixer tells it
# as it happens, and again as it ends, unless the program ended within its 10 ms between looks.
sed '0,/transfer set F0 0 F0455246570/s//transfer set F0 0 F0455246580/' "$work/recorded.log" \
  >"$work/changed.log"
replay "$work/changed.log" changed
expected='virtual-mixer: replay: transfer 2 differs: recorded set F0 "ERFX" -> 0, asked set F0 "ERFW"'
[ "$(grep -cxF "$expected" "$work/changed.err")" -ge 1 ] || fail "the difference was not named"
[ "$(grep -cxF "$reason" "$work/changed.err")" = 1 ] || fail "the failure's reason, not once"
while IFS= read -r line; do
  [ "$line" = "$expected" ] || [ "$line" = "$reason" ] || fail "standard error: $line"
done <"$work/changed.err"
[ "$status" -eq 31 ] || fail "the changed replay ended with $status"
echo "ok"
