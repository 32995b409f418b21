#!/usr/bin/env bash
# scripts/with-usb-mixer ended by a signal while COMMAND runs: it ends the guest and the device, and
# leaves nothing behind (no QEMU, no device, no temporary folder). Exits 77 where QEMU cannot run.
set -uo pipefail
script=$1 stand_in=$2 signal=$3
source "$(dirname "$0")/../support/check.sh"
# within SECONDS COMMAND...: whether COMMAND succeeds within SECONDS.
within() {
  local limit=$(($1 * 10))
  shift
  for _ in $(seq "$limit"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export STAND_IN_LOG=$work/device.log USB_MIXER=$stand_in

"$script" -- sh -c 'touch started; exec sleep 1000' >/dev/null 2>stderr &
script_pid=$!
within 180 bash -c "[ -e started ] || ! kill -0 $script_pid 2>/dev/null"
if [ ! -e started ]; then
  wait "$script_pid"
  status=$?
  if [ "$status" -eq 77 ]; then cat stderr >&2; exit 77; fi
  echo "FAILED: COMMAND did not start within 180 s, or the script ended first (status $status):"
  cat stderr
  exit 1
fi
run=$(sed -n 's/^--ready=\(.*\)\/[^/]*$/\1/p' device.log)
kill -s "$signal" "$script_pid"
check "the script ends within 60 s" within 60 bash -c "! kill -0 $script_pid 2>/dev/null"
wait "$script_pid"
status=$?
check "its status is that of $signal" [ "$status" -eq $((128 + $(kill -l "$signal"))) ]
check "it says nothing" [ ! -s stderr ]
check "the device was asked to end" [ "$(tail -n 1 device.log)" = TERM ]
# The bracket keeps pgrep from finding the bash that runs it.
check "no QEMU is left" bash -c "! pgrep -f -- '[q]emu-system-x86_64 .*$run' >/dev/null"
check "the temporary folder is gone" [ ! -e "$run" ]

[ "$failures" -eq 0 ]
