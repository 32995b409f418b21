#!/usr/bin/env bash
# scripts/with-virtual-mixer from outside: COMMAND's status comes back, COMMAND sees the node and
# its sysfs entries, and nothing of it is left on the host afterwards: no node, no mount, no
# process, also when the script is ended by a signal. Without root it is skipped with one line and
# 77. Exits 77 itself when not run as root, or when the script cannot make its namespace.
set -uo pipefail
script=$1
source "$(dirname "$0")/../support/check.sh"

if [ "$(id -u)" -ne 0 ]; then
  echo "withvirtualmixer_test: skipped: root is needed" >&2
  exit 77
fi

status=0
"$script" -- sh -c 'exit 3' || status=$?
if [ "$status" -eq 77 ]; then
  echo "withvirtualmixer_test: skipped: the script cannot make its namespace here" >&2
  exit 77
fi
check "COMMAND's status is the script's" [ "$status" -eq 3 ]

inside='test -L /dev/hidraw0 && test -c /dev/null && test -e /dev/pts/ptmx &&
  grep -qx DEVNAME=hidraw0 /sys/class/hidraw/hidraw0/uevent &&
  grep -qx HID_ID=0003:00000CA8:00000801 /sys/class/hidraw/hidraw0/../../uevent &&
  test "$SYSTEMD_DEVICE_VERIFY_SYSFS" = 0 && kill -0 "$VIRTUAL_MIXER_PID" &&
  { sleep 987 & }'
# A transcript of this run's own names its server among any others on the machine.
transcript=$(mktemp)
trap 'rm -f "$transcript"' EXIT
status=0
"$script" --transcript="$transcript" -- sh -c "$inside" || status=$?
check "COMMAND sees the node, the real /dev entries and the sysfs entries" [ "$status" -eq 0 ]
check "no node is left on the host" [ ! -e /dev/hidraw0 ] && [ ! -L /dev/hidraw0 ]
check "no sysfs entry is left" [ -z "$(ls -A /sys/class/hidraw)" ]
check "no mount is left" bash -c '! grep -q "vantor-" /proc/self/mountinfo'
check "no process of COMMAND's is left" bash -c '! pgrep -f "sleep 98[7]" >/dev/null'
check "the server is gone" bash -c "! pgrep -f -- '[-]-transcript=$transcript' >/dev/null"
check "the server was there" grep -qx "plug 0CA8:0801" "$transcript"

# wait_until_gone PID...: whether every PID has ended within 90 s (the builtin kill fails only when
# it reaches none of them).
wait_until_gone() {
  local _
  for _ in $(seq 900); do
    kill -0 "$@" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}
# on_host UNSHARE PID...: the host's pids of the processes that UNSHARE's namespace numbers PID...
on_host() {
  local namespace wanted process
  namespace=$(readlink "/proc/$(pgrep -P "$1")/ns/pid")  # of unshare's child, the first process
  shift
  for wanted in "$@"; do
    for process in /proc/[0-9]*; do
      [ "$(readlink "$process/ns/pid" 2>/dev/null)" = "$namespace" ] &&
        [ "$(awk '/^NSpid:/ {print $NF}' "$process/status" 2>/dev/null)" = "$wanted" ] &&
        echo "${process#/proc/}"
    done
  done
}
pids=$(mktemp)
trap 'rm -f "$transcript" "$pids"' EXIT
# Ended from outside by TERM, INT or HUP, the script passes the signal on, and COMMAND, the virtual
# mixer and the script end with COMMAND's status; a COMMAND that takes no notice is killed, with
# everything in the namespace, when the 30 s of grace have passed. COMMAND writes its own pid and
# the server's, as the namespace numbers them. The script runs in a session of its own (a ^C typed
# at a terminal is not passed on: COMMAND has it already) with INT as it is by default.
while read -r signal expected command; do
  : >"$pids"
  setsid env --default-signal=INT "$script" -- \
    sh -c 'echo $$ $VIRTUAL_MIXER_PID >"$0.new" && mv "$0.new" "$0"; '"$command" "$pids" &
  ended=$!
  for _ in $(seq 600); do [ -s "$pids" ] && break; sleep 0.1; done
  read -r command_pid server_pid <"$pids" || true
  namespace=$(pgrep -P "$ended")  # unshare
  running=$(on_host "$namespace" "$command_pid" "$server_pid")
  check "$signal: COMMAND and the virtual mixer run ($command)" [ "$(wc -w <<<"$running")" -eq 2 ]
  kill -s "$signal" "$ended"
  # shellcheck disable=SC2086 # one pid a word
  if ! check "$signal: COMMAND and the virtual mixer are gone ($command)" \
    wait_until_gone $running "$ended"; then
    kill -KILL "$namespace" "$ended" 2>/dev/null  # unshare's end ends the namespace
    break
  fi
  status=0
  wait "$ended" || status=$?
  check "$signal: the script ends with status $expected ($command)" [ "$status" -eq "$expected" ]
done <<'SIGNALS'
TERM 143 exec sleep 600
INT 130 exec sleep 600
HUP 129 exec sleep 600
TERM 137 trap '' TERM; sleep 600
SIGNALS

status=0
"$script" --no-such-option -- true 2>/dev/null || status=$?
check "a server that cannot start fails the run" [ "$status" -eq 1 ]
status=0
"$script" true 2>/dev/null || status=$?
check "a command line without -- is refused" [ "$status" -eq 2 ]

message=$(setpriv --reuid=65534 --regid=65534 --clear-groups "$script" -- true 2>&1)
status=$?
check "without root: 77" [ "$status" -eq 77 ]
check "without root: one line that says why" \
  [ "$message" = "with-virtual-mixer: skipped: a private mount namespace, /dev and FUSE need root" ]

[ "$failures" -eq 0 ]
