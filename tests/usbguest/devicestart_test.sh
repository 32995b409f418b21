#!/usr/bin/env bash
# scripts/with-usb-mixer when its device does not start: a device that refuses its command line has
# its own words and status (2) given back; one that never listens is given up after 10 s with
# status 1 and asked to end. No guest boots. Exits 77 where QEMU cannot run.
set -uo pipefail
script=$1 stand_in=$2
source "$(dirname "$0")/../support/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export USB_MIXER=$stand_in

status=0
STAND_IN_LOG=$work/refuses.log STAND_IN_REFUSES=1 "$script" --bogus -- true >stdout 2>stderr ||
  status=$?
if [ "$status" -eq 77 ]; then cat stderr >&2; exit 77; fi
check "refused: the device's status" [ "$status" -eq 2 ]
check "refused: the device's words, and nothing else" [ "$(cat stderr)" = "usb-mixer: unknown option --bogus
(usb-mixer --help lists the options)" ]
check "refused: no output" [ ! -s stdout ]

status=0
STAND_IN_LOG=$work/silent.log STAND_IN_NEVER_READY=1 "$script" -- true >stdout 2>stderr ||
  status=$?
check "never listens: status 1" [ "$status" -eq 1 ]
check "never listens: why" [ "$(cat stderr)" = "with-usb-mixer: usb-mixer did not start within 10 s:" ]
check "never listens: the device was asked to end" [ "$(tail -n 1 silent.log)" = TERM ]
check "never listens: no output" [ ! -s stdout ]

[ "$failures" -eq 0 ]
