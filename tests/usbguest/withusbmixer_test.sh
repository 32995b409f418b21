#!/usr/bin/env bash
# scripts/with-usb-mixer from outside, with a device that serves nothing (stand-in-usb-mixer): one
# boot of the guest checks that COMMAND's output, error and status come back byte for byte, that it
# runs in the caller's working directory (its writes land there) with the caller's environment and
# the package's udev rule installed, that the host's root is not written, that USB_MIXER_REPLUG
# reaches the device, and how the device was started and ended; a second boot, that a reader that
# leaves early does not stop COMMAND. Exits 77 where QEMU cannot run.
set -uo pipefail
script=$1 stand_in=$2 rule=$3
source "$(dirname "$0")/../support/check.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
cp "$rule" expected.rules  # where the guest sees it, also for a tree under /tmp
export STAND_IN_LOG=$work/device.log USB_MIXER=$stand_in
export PROBE=$'two words\nand a line'

# Bytes that a terminal would change (CR LF, NUL) and no newline at the end.
# shellcheck disable=SC2016  # expanded in the guest
inside='printf "a\r\nb\0c"; printf "e\nf" >&2
  pwd >where; printf %s "$PROBE" >probe
  cmp -s /etc/udev/rules.d/70-vantor-setup.rules "$1" && echo same >rule
  echo written >/etc/with-usb-mixer-probe
  "$USB_MIXER_REPLUG" && echo replugged >replug
  exit 7'
status=0
"$script" --fast --second-mixer -- sh -c "$inside" sh expected.rules >stdout 2>stderr || status=$?
if [ "$status" -eq 77 ]; then
  cat stderr >&2
  exit 77
fi
check "COMMAND's status is the script's" [ "$status" -eq 7 ]
check "COMMAND's output comes back byte for byte" cmp stdout <(printf 'a\r\nb\0c')
check "COMMAND's error comes back byte for byte, and nothing else" cmp stderr <(printf 'e\nf')
check "COMMAND runs in the caller's working directory" [ "$(cat where)" = "$work" ]
check "COMMAND has the caller's environment" [ "$(cat probe)" = "$PROBE" ]
check "the package's udev rule is installed" [ "$(cat rule)" = same ]
check "the host's root is not written" [ ! -e /etc/with-usb-mixer-probe ]
check "USB_MIXER_REPLUG returns once the device has had SIGUSR2" [ "$(cat replug)" = replugged ]
expected=$(printf '%s\n' --fast --second-mixer "--socket=@" "--ready=@" "--second-socket=@" USR2 TERM)
check "the device had the options, its two sockets, the replug and the end, in this order" \
  [ "$(sed 's/=\/.*/=@/' device.log)" = "$expected" ]
check "the temporary folder is gone" [ ! -e "$(sed -n 's/^--ready=\(.*\)\/[^/]*$/\1/p' device.log)" ]

# A reader that leaves early does not stop COMMAND: the rest of its output is dropped, and it runs
# to its end. Were it held up, the bound would end the script (124).
timeout 120 "$script" -- sh -c 'echo first; head -c 1048576 /dev/zero; echo ended >ended' \
  2>stderr | head -n 1 >first
status=${PIPESTATUS[0]}
check "a reader that leaves: COMMAND runs to its end, and its status is the script's" \
  [ "$status $(cat ended 2>/dev/null)" = "0 ended" ]
check "a reader that leaves: it had the first line" [ "$(cat first)" = first ]

[ "$failures" -eq 0 ]
