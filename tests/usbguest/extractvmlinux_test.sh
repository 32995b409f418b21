#!/usr/bin/env bash
# scripts/lib/extract-vmlinux on made-up kernels: an ELF file compressed with each compressor, behind
# a decoy (a compressor's magic number with no stream after it) and followed by other bytes, as in a
# bzImage, comes out whole; a file without one is refused with a message, and no output is left.
set -uo pipefail
extract=$1
source "$(dirname "$0")/../support/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
elf=$(type -P true)

for compressor in xz gzip zstd; do
  {
    printf 'setup code\xfd7zXZ\x00 and a decoy\x1f\x8b\x08 or two\x28\xb5\x2f\xfd'
    "$compressor" -c <"$elf"
    printf 'the rest of the bzImage'
  } >"$work/vmlinuz-$compressor"
  "$extract" "$work/vmlinuz-$compressor" "$work/vmlinux-$compressor"
  check "$compressor: the kernel comes out whole" cmp -s "$work/vmlinux-$compressor" "$elf"
done

printf 'no kernel \xfd7zXZ\x00 here' >"$work/vmlinuz-none"
status=0
error=$("$extract" "$work/vmlinuz-none" "$work/vmlinux-none" 2>&1) || status=$?
check "no kernel: status 1" [ "$status" -eq 1 ]
check "no kernel: why" [ "$error" = \
  "extract-vmlinux: $work/vmlinuz-none carries no kernel compressed with xz, gzip or zstd" ]
check "no kernel: no output" [ ! -e "$work/vmlinux-none" ]

[ "$failures" -eq 0 ]
