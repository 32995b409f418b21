# shellcheck shell=bash
# Sourced by the scripts that pass signals on to a child they wait for.

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
