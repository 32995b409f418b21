#!/usr/bin/env bash
# scripts/lib/usb-guest-image's cache: the kernel that apt names is taken from the cache without a
# download, and the newest cached one when apt names none; the initramfs is made once, and made
# again (the old one deleted) when its init script changes; a second run waits while one makes it.
# The cache is seeded with copies of the tree's own kernel (build/usb-guest, fetched first if need
# be). Exits 77 when there is no kernel.
set -uo pipefail
image=$1 tree_cache=$2
source "$(dirname "$0")/../support/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
kernel=$("$image" "$tree_cache" 2>"$work/error" | head -n 1) || status=$?
if [ "$status" -eq 3 ]; then
  echo "guestimage_test: skipped: $(cat "$work/error")" >&2
  exit 77
fi
cache=$work/cache
mkdir "$cache"
for version in 6.1.0-9-amd64 6.1.0-10-amd64; do
  cp -al "$(dirname "$kernel")" "$cache/linux-$version"
done
# apt-cache as the test wants it: naming the version in $APT_NAMES, or failing;
mkdir "$work/bin"
cat >"$work/bin/apt-cache" <<'APT'
#!/bin/sh
[ -n "$APT_NAMES" ] || exit 100
echo linux-image-amd64
echo "  Depends: linux-image-$APT_NAMES"
APT
# and apt-get, which only says that it was asked.
printf '#!/bin/sh\necho "apt-get $*" >>%q\nexit 100\n' "$work/apt-get.log" >"$work/bin/apt-get"
chmod +x "$work/bin/apt-cache" "$work/bin/apt-get"
export PATH=$work/bin:$PATH

contents() { find "$cache" | sort; }
before=$(contents)
output=$(APT_NAMES='' "$image" "$cache")
initramfs=$(sed -n 2p <<<"$output")
check "apt names none: the newest cached kernel" \
  [ "$(sed -n 1p <<<"$output")" = "$cache/linux-6.1.0-10-amd64/vmlinux" ]
check "the initramfs is made in the cache" [ -s "$initramfs" ] && [ "${initramfs%/*}" = "$cache" ]
check "nothing else is added to the cache but its lock" \
  [ "$(contents)" = "$(printf '%s\n' "$before" "$initramfs" "$cache/.lock" | sort)" ]

# A run that finds another making the cache waits for it, and then takes what it made.
exec {held}>"$cache/.lock"
flock "$held"
rm "$initramfs"
APT_NAMES='' "$image" "$cache" {held}>&- >"$work/waited" &
waiting=$!
for _ in $(seq 600); do
  pgrep -P "$waiting" -x flock >/dev/null && break
  sleep 0.05
done
check "a second run waits for the lock" pgrep -P "$waiting" -x flock
check "and makes nothing while it waits" [ ! -e "$initramfs" ]
exec {held}>&-
wait "$waiting"
check "once it is free, it makes the initramfs" [ -s "$initramfs" ]
check "and prints the same paths" [ "$(cat "$work/waited")" = "$output" ]

made=$(stat -c '%i %Y' "$initramfs")
output=$(APT_NAMES='' "$image" "$cache")
check "the same initramfs for the same inputs" [ "$(sed -n 2p <<<"$output")" = "$initramfs" ]
check "it is not made again" [ "$(stat -c '%i %Y' "$initramfs")" = "$made" ]

output=$(APT_NAMES=6.1.0-9-amd64 "$image" "$cache")
check "apt names one: that one, from the cache" \
  [ "$(sed -n 1p <<<"$output")" = "$cache/linux-6.1.0-9-amd64/vmlinux" ]
check "nothing was downloaded" [ ! -e "$work/apt-get.log" ]

cp -r "$(dirname "$image")" "$work/lib"
echo "# changed" >>"$work/lib/usb-guest-init"
output=$(APT_NAMES='' "$work/lib/usb-guest-image" "$cache")
changed=$(sed -n 2p <<<"$output")
check "a changed init: another initramfs" [ "$changed" != "$initramfs" ] && [ -s "$changed" ]
check "a changed init: the old one is deleted" [ ! -e "$initramfs" ]
check "a changed init: it holds the changed script" \
  bash -c "gzip -dc '$changed' | cpio -i --quiet --to-stdout init | cmp -s - '$work/lib/usb-guest-init'"

[ "$failures" -eq 0 ]
