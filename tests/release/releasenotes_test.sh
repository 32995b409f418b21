#!/usr/bin/env bash
# releasenotes_test.sh SOURCE_DIR WORK_DIR
# packaging/release-notes on the reproducibility test's second trees (WORK_DIR/second): how it names
# the signer of a signed program, and how it refuses an image the update would refuse and an image
# that vantor-setup does not carry.
set -euo pipefail
source_dir=$1
work=$2
reference=$work/second
notes_dir=$work/notes
fail() { echo "releasenotes_test: $*" >&2; exit 1; }

rm -rf "$notes_dir"
mkdir -p "$notes_dir/firmware"
program=$reference/windows/programs/setup.exe
deb=$reference/package/vantor-setup_1.0.0_amd64.deb
firmware=$reference/windows/resources/firmware
fwimage=$reference/windows/host-tools/tools/fwimage/fwimage
# notes PROGRAM FIRMWARE_DIR: the release notes, in $notes_dir/RELEASE.md and its errors in
# $notes_dir/errors; returns release-notes' status.
notes() {
  (cd "$source_dir" && packaging/release-notes "$1" "$deb" "$2" "$fwimage") \
    >"$notes_dir/RELEASE.md" 2>"$notes_dir/errors"
}
line() { grep -qxF -- "$1" "$notes_dir/RELEASE.md" || fail "no line: $1"; }

notes "$program" "$firmware" || { cat "$notes_dir/errors"; fail "notes of the unsigned program"; }
line "- setup.exe is not signed."

# Signed with a throwaway certificate whose chain has two names in it.
(
  cd "$notes_dir"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/O=Corvena test/CN=Vantor notes signing" \
    -addext extendedKeyUsage=codeSigning -keyout key.pem -out cert.pem 2>/dev/null
  osslsigncode sign -certs cert.pem -key key.pem -in "$program" -out signed.exe >/dev/null
)
notes "$notes_dir/signed.exe" "$firmware" || { cat "$notes_dir/errors"; fail "notes of the signed"; }
line "- setup.exe is signed (Authenticode). Certificates in the signature:"
line "  - O = Corvena test, CN = Vantor notes signing"
line "| setup.exe | $(stat -c %s "$notes_dir/signed.exe") | $(sha256sum "$notes_dir/signed.exe" | cut -d' ' -f1) |"

# A program whose logic image has one changed byte in its payload: the image is not the one
# vantor-setup carries, and, were it, the update would refuse it.
pattern=$(od -An -tx1 -N16 "$firmware/112.bin" | tr -d ' \n' | sed 's/../\\x&/g')
image_offset=$(LC_ALL=C grep -obUaP "$pattern" "$program" | head -n 1 | cut -d: -f1)
[ -n "$image_offset" ] || fail "image 112 is not found in the program"
cp "$program" "$notes_dir/changed.exe"
printf 'X' | dd of="$notes_dir/changed.exe" bs=1 seek=$((image_offset + 1000)) conv=notrunc status=none
cp "$firmware/110.bin" "$notes_dir/firmware/110.bin"
cp "$firmware/112.bin" "$notes_dir/firmware/112.bin"
printf 'X' | dd of="$notes_dir/firmware/112.bin" bs=1 seek=1000 conv=notrunc status=none
cmp -s "$firmware/112.bin" "$notes_dir/firmware/112.bin" && fail "the byte was not changed"

# expect_refusal FIRMWARE_DIR MESSAGE: release-notes on the changed program fails with MESSAGE.
expect_refusal() {
  if notes "$notes_dir/changed.exe" "$1"; then fail "notes of a damaged image were written"; fi
  [ "$(cat "$notes_dir/errors")" = "release-notes: $2" ] ||
    fail "said: $(cat "$notes_dir/errors"), not: release-notes: $2"
}
expect_refusal "$firmware" \
  "firmware image 112 of setup.exe is not $firmware/112.bin, which vantor-setup carries"
expect_refusal "$notes_dir/firmware" \
  "firmware image 112 would be refused by the update: rejected at step 7: payload CRC does not match"
echo "releasenotes_test: the notes name the signer, and refuse a damaged or foreign image"
