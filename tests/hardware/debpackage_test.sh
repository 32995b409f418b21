#!/usr/bin/env bash
# debpackage_test.sh BUILD_DIR [fortified]
# Makes the Debian package from the build tree with CPack, twice, and checks that the two are the same
# bytes; checks its control fields, contents and postinst, installs it with dpkg into a private root,
# checks the installed documents and the program's hardening (with glibc's checked functions when
# "fortified" is given), and runs it.
set -euo pipefail
build=$1
source=$(cd "$(dirname "$0")/../.." && pwd)
fortified=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "debpackage_test: $*" >&2; exit 1; }

cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/package/*.deb)
[ "$(basename "$deb")" = "vantor-setup_1.0.0_amd64.deb" ] || fail "named $(basename "$deb")"

# Packed again a second later, the package is the same bytes, and its files carry the time of the
# commit, not of the packing.
sleep 1
cpack -G DEB -B "$work/again" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed the second time"; }
cmp "$deb" "$work/again/$(basename "$deb")" || fail "two packings of the same build differ"
commit_time=$(date -u -d "@$(git -C "$(dirname "$0")" log -1 --format=%ct)" '+%Y-%m-%d %H:%M')
dates=$(TZ=UTC dpkg-deb -c "$deb" | awk '{print $4 " " $5}' | sort -u)
[ "$dates" = "$commit_time" ] || fail "the files are dated $dates, the commit $commit_time"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vantor-setup ] || fail "Package: $(field Package)"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = utils ] || fail "Section: $(field Section)"
[ "$(field Priority)" = optional ] || fail "Priority: $(field Priority)"
for dependency in libc6 libstdc++6 libudev1 libasound2 udev; do
  field Depends | tr ',' '\n' | sed 's/^ //; s/ .*//' | grep -qxF "$dependency" ||
    fail "no dependency on $dependency"
done

expected="-rwxr-xr-x ./usr/bin/vantor-setup
-rw-r--r-- ./usr/lib/udev/rules.d/70-vantor-setup.rules
-rw-r--r-- ./usr/share/doc/vantor-setup/changelog.gz
-rw-r--r-- ./usr/share/doc/vantor-setup/copyright
-rw-r--r-- ./usr/share/man/man1/vantor-setup.1.gz"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $1 " " $NF}')
[ "$files" = "$expected" ] || fail "files: $files"

# The postinst, executable, as the sources have it, beside the control file and the md5sums.
dpkg-deb -e "$deb" "$work/control"
[ "$(stat -c %a "$work/control/postinst")" = 755 ] || fail "the postinst is not executable"
cmp "$work/control/postinst" "$source/packaging/postinst" || fail "the postinst differs"
[ "$(ls "$work/control")" = "$(printf 'control\nmd5sums\npostinst')" ] ||
  fail "control files: $(ls "$work/control")"

# A private root with a dpkg database of its own; the system's own is not touched, nor its devices:
# the postinst leaves the udevadm on PATH alone when dpkg installs into another root.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$work/stub"
touch "$root/var/lib/dpkg/status"
printf '#!/bin/sh\necho "$*" >>"%s"\n' "$work/udevadm-calls" >"$work/stub/udevadm"
chmod +x "$work/stub/udevadm"
PATH="$work/stub:$PATH" dpkg --instdir="$root" --admindir="$root/var/lib/dpkg" --force-depends \
  --force-not-root --force-script-chrootless -i "$deb" >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log"; fail "dpkg -i"; }
[ ! -e "$work/udevadm-calls" ] || fail "udevadm was called: $(cat "$work/udevadm-calls")"
[ -x "$root/usr/bin/vantor-setup" ] || fail "the program is not installed"
rule=$root/usr/lib/udev/rules.d/70-vantor-setup.rules
grep -q '^SUBSYSTEM=="hidraw", ATTRS{idVendor}=="0ca8", ATTRS{idProduct}=="0800|0801|0804", TAG+="uaccess"$' \
  "$rule" || fail "the rule: $(grep -v '^#' "$rule")"

# The documents: the manual page and the changelog gzipped without a name or a time in the header
# (the bytes after the method and the flags are zero), so that the same sources make the same
# package; the changelog's entry for this version; the copyright with the licence of LICENSE.
doc=$root/usr/share/doc/vantor-setup
for compressed in "$root/usr/share/man/man1/vantor-setup.1.gz" "$doc/changelog.gz"; do
  [ "$(od -An -tx1 -j3 -N5 "$compressed")" = " 00 00 00 00 00" ] ||
    fail "$compressed has a name or a time: $(od -An -tx1 -N10 "$compressed")"
done
zcat "$root/usr/share/man/man1/vantor-setup.1.gz" | cmp - "$source/packaging/vantor-setup.1" ||
  fail "the manual page differs from packaging/vantor-setup.1"
[ "$(zcat "$doc/changelog.gz" | head -n 1)" = \
  "vantor-setup ($(field Version)) unstable; urgency=medium" ] ||
  fail "the changelog begins: $(zcat "$doc/changelog.gz" | head -n 1)"
# The licence is the paragraph after the last "License: Expat" line: LICENSE's text from its
# permission on, each line indented by a space, an empty line as " .".
license=$(awk '/^License: Expat$/ { text = ""; next } { text = text $0 "\n" }
  END { printf "%s", text }' "$doc/copyright")
expected=$(sed -n '/^Permission is hereby granted/,$p' "$source/LICENSE" | sed 's/^$/./; s/^/ /')
[ "$license" = "$expected" ] || fail "the copyright's licence is not that of LICENSE: $license"
grep -qxF 'Copyright: 2026 Corvena' "$doc/copyright" || fail "the copyright names no holder"

# Hardened as Debian's own programs are: loaded anywhere (PIE), every relocation resolved at start
# and then read-only (BIND_NOW, GNU_RELRO), canaries on the stack, and the checked functions.
program=$root/usr/bin/vantor-setup
dynamic=$(readelf -dW "$program")
grep -Eq '\(FLAGS\) .*\bBIND_NOW\b' <<<"$dynamic" || fail "not linked with BIND_NOW"
grep -Eq '\(FLAGS_1\) .*\bPIE\b' <<<"$dynamic" || fail "not a position-independent executable"
segments=$(readelf -lW "$program")
grep -Eq '^ +GNU_RELRO ' <<<"$segments" || fail "no segment made read-only after relocation"
symbols=$(readelf --dyn-syms -W "$program" | awk '{print $8}')
grep -q '^__stack_chk_fail\b' <<<"$symbols" || fail "no stack protector"
if [ "$fortified" = fortified ]; then
  grep -Eq '^__[a-z0-9_]+_chk\b' <<<"$symbols" || fail "no checked function of glibc's (_FORTIFY_SOURCE)"
fi
"$root/usr/bin/vantor-setup" --help >"$work/help" || fail "--help failed"
grep -q "^  -dantetestonly" "$work/help" && grep -q "^  1223  cancelled" "$work/help" ||
  fail "--help lists neither the switches nor the exit codes"
echo "debpackage_test: $(basename "$deb") holds the program, the rule, the manual page and the" \
  "documents, and installs"
