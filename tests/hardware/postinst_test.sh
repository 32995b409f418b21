#!/usr/bin/env bash
# postinst_test.sh POSTINST
# The package's postinst, run as dpkg runs it, with a udevadm of our own on PATH that records its
# arguments: at "configure" it asks udev to apply the rules to the hidraw nodes again, once; it never
# fails the installation, whether udevadm fails or is not there; an installation into another root
# (DPKG_ROOT) and every other action leave this machine's devices alone.
set -euo pipefail
postinst=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "postinst_test: $*" >&2; exit 1; }

[ "$(head -n 1 "$postinst")" = "#!/bin/sh" ] || fail "the first line is $(head -n 1 "$postinst")"
sh -n "$postinst" || fail "not a valid sh script"

# udevadm_stub DIR STATUS: a udevadm in DIR that appends its arguments, one call a line, to
# $work/calls and exits with STATUS.
udevadm_stub() {
  mkdir -p "$1"
  printf '#!/bin/sh\necho "$*" >>"%s"\nexit %s\n' "$work/calls" "$2" >"$1/udevadm"
  chmod +x "$1/udevadm"
}
udevadm_stub "$work/working" 0
udevadm_stub "$work/failing" 1
mkdir -p "$work/none"

trigger="trigger --subsystem-match=hidraw --action=change"
# case: the action dpkg passes | the udevadm on PATH | DPKG_ROOT | the calls udevadm gets
cases=(
  "configure|working||$trigger"
  "configure|failing||$trigger"
  "configure|none||"
  "configure|working|/srv/chroot|"
  "abort-upgrade|working||"
  "abort-remove|working||"
  "abort-deconfigure|working||"
)
for case in "${cases[@]}"; do
  IFS='|' read -r action udevadm root expected <<<"$case"
  rm -f "$work/calls"
  touch "$work/calls"
  status=0
  env -i PATH="$work/$udevadm" DPKG_ROOT="$root" "$postinst" "$action" 1.0.0 \
    >"$work/out" 2>&1 || status=$?
  [ "$status" -eq 0 ] || fail "$case: exited with $status: $(cat "$work/out")"
  [ ! -s "$work/out" ] || fail "$case: wrote $(cat "$work/out")"
  [ "$(cat "$work/calls")" = "$expected" ] || fail "$case: udevadm got: $(cat "$work/calls")"
done
echo "postinst_test: ${#cases[@]} cases"
