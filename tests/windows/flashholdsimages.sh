#!/usr/bin/env bash
# flashholdsimages.sh FWIMAGE FLASH_DIR CODE_IMAGE LOGIC_IMAGE
# True when the mixer's flash, as the virtual mixer wrote it out, holds the payload of each image
# byte for byte, followed only by the zero bytes that fill up the last 60-byte data block.
set -euo pipefail
fwimage=$1 flash=$2

# holds FLASH IMAGE: the flash is the image's payload and its fill, nothing else.
holds() {
  local header size payload fill
  header=$("$fwimage" info "$2" | sed -n 's/^header length: \([0-9]*\).*/\1/p')
  size=$(stat -c %s "$2")
  payload=$((size - header))
  fill=$(((60 - payload % 60) % 60))
  if ! cmp <(tail -c +$((header + 1)) "$2"; head -c "$fill" /dev/zero) "$1"; then
    echo "flashholdsimages: $1 does not hold the payload of $2 ($payload bytes and $fill of fill)" >&2
    return 1
  fi
  echo "$1: the $payload bytes of $2's payload and $fill zero bytes"
}

holds "$flash/code.bin" "$3"
holds "$flash/logic.bin" "$4"
