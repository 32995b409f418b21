#!/usr/bin/env bash
# scripts/with-usb-mixer's answers that need no guest: a wrong command line is status 2 with the
# usage, and a machine without QEMU skips with 77 and one line.
set -uo pipefail
script=$1
source "$(dirname "$0")/../support/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

usage='usage: with-usb-mixer [simulator options] -- COMMAND [ARGS...]
(the simulator options: usb-mixer --help)'
while IFS='|' read -r what arguments; do
  status=0
  # shellcheck disable=SC2086  # the table's arguments are words
  error=$("$script" $arguments 2>&1 >/dev/null) || status=$?
  check "$what: status 2" [ "$status" -eq 2 ]
  check "$what: the usage" [ "$error" = "$usage" ]
done <<'TABLE'
nothing at all|
no --|--fast true
no COMMAND|--fast --
only --|--
TABLE

status=0
error=$(cd / && "$script" -- true 2>&1 >/dev/null) || status=$?
check "from /: status 2" [ "$status" -eq 2 ]
check "from /: why" [ "$error" = "with-usb-mixer: the working directory is shared with the guest:\
 run it from another folder than /" ]

# A PATH with what the script needs before it looks for QEMU, and no QEMU.
mkdir "$work/bin"
for tool in bash dirname; do ln -s "$(command -v "$tool")" "$work/bin/$tool"; done
status=0
error=$(cd "$work" && PATH=$work/bin "$script" -- true 2>&1 >/dev/null) || status=$?
check "without QEMU: status 77" [ "$status" -eq 77 ]
check "without QEMU: one line" [ "$error" = "with-usb-mixer: skipped: there is no qemu-system-x86_64" ]

[ "$failures" -eq 0 ]
