#!/usr/bin/env bash
# scripts/with-virtual-mixer from outside: COMMAND's status comes back, COMMAND sees the node and
# its sysfs entries, and nothing of it is left on the host afterwards: no node, no mount, no
# process. Without root it is skipped with one line and 77. Exits 77 itself when not run as root.
set -uo pipefail
script=$1
failures=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

if [ "$(id -u)" -ne 0 ]; then
  echo "withvirtualmixer_test: skipped: root is needed" >&2
  exit 77
fi

status=0
"$script" -- sh -c 'exit 3' || status=$?
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
