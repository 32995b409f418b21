# shellcheck shell=bash
# Sourced by the scripts that wait for the processes they start, and pass signals on to them.

# wait_for PID: waits for the child PID to end and returns its status. A signal that a trap takes
# ends a wait early (with a status above 128) while the child still runs: then it waits again.
wait_for() {
  local status
  while :; do
    status=0
    wait "$1" || status=$?
    if [ "$status" -le 128 ] || ! kill -0 "$1" 2>/dev/null; then return "$status"; fi
  done
}

# wait_gone PID SECONDS: waits at most SECONDS for PID, which need not be a child, to end; fails if
# it has not. tail writes nothing, but its output must not be the caller's: `tail -f` gives up at
# once when its output is a pipe whose reader has left.
wait_gone() {
  timeout "$2" tail -s 0.1 --pid="$1" -f /dev/null >/dev/null 2>&1
}
