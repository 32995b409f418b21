#!/usr/bin/env bash
# debpackage_test.sh BUILD_DIR [fortified]
# Makes the Debian package from the build tree with CPack, twice, and checks that the two are the same
# bytes; checks its control fields and contents, installs it with dpkg into a private root, checks
# the installed program's hardening (with glibc's checked functions when "fortified" is given), and
# runs it.
set -euo pipefail
build=$1
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
for dependency in libc6 libstdc++6 libudev1 libasound2 udev; do
  field Depends | tr ',' '\n' | sed 's/^ //; s/ .*//' | grep -qxF "$dependency" ||
    fail "no dependency on $dependency"
done

expected="./usr/bin/vantor-setup
./usr/lib/udev/rules.d/70-vantor-setup.rules"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $NF}')
[ "$files" = "$expected" ] || fail "files: $files"

# A private root with a dpkg database of its own; the system's own is not touched.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg --instdir="$root" --admindir="$root/var/lib/dpkg" --force-depends --force-not-root \
  --force-script-chrootless -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i"; }
[ -x "$root/usr/bin/vantor-setup" ] || fail "the program is not installed"
rule=$root/usr/lib/udev/rules.d/70-vantor-setup.rules
grep -q '^SUBSYSTEM=="hidraw", ATTRS{idVendor}=="0ca8", ATTRS{idProduct}=="0800|0801|0804", TAG+="uaccess"$' \
  "$rule" || fail "the rule: $(grep -v '^#' "$rule")"

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
echo "debpackage_test: $(basename "$deb") holds the program and the rule, and installs"
