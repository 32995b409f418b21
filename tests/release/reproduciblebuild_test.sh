#!/usr/bin/env bash
# reproduciblebuild_test.sh SOURCE_DIR WORK_DIR
# Builds setup.exe (the setup target of the windows preset) twice, from clean build trees: once from
# SOURCE_DIR into WORK_DIR/first, once from a copy of the sources at another path into
# WORK_DIR/second/build, a minute or so later. The two programs must be the same bytes.
# Both trees stay for the signing test.
set -euo pipefail
source_dir=$1
work=$2
fail() { echo "reproduciblebuild_test: $*" >&2; exit 1; }

rm -rf "$work/first" "$work/second"
mkdir -p "$work/second/source-copy"
tar -C "$source_dir" --exclude=./build --exclude=./.git --exclude=./dist --exclude=./.cache -cf - . |
  tar -C "$work/second/source-copy" -xf -

# build_setup SOURCE BUILD: a clean build of the setup target; its log is BUILD.log.
build_setup() {
  { cmake -S "$1" --preset windows -B "$2" && cmake --build "$2" --target setup; } >"$2.log" 2>&1 ||
    { tail -n 40 "$2.log"; fail "the build in $2 failed"; }
}
build_setup "$source_dir" "$work/first"
build_setup "$work/second/source-copy" "$work/second/build"

first=$work/first/app/setup.exe
second=$work/second/build/app/setup.exe
if ! cmp -s "$first" "$second"; then
  echo "differing bytes (offset, octal values):" >&2
  cmp -l "$first" "$second" | head -n 20 >&2 || true
  for program in "$first" "$second"; do
    x86_64-w64-mingw32-objdump -p "$program" | grep -E '^(Time/Date|CheckSum)' >&2
  done
  fail "two builds of the same sources differ"
fi
# The header says nothing of when the program was built: no time stamp at all.
stamp=$(x86_64-w64-mingw32-objdump -p "$first" | sed -n 's/^Time\/Date[[:space:]]*//p')
[ "$stamp" = "Thu Jan  1 00:00:00 1970" ] || fail "the PE header carries the time $stamp"
echo "reproduciblebuild_test: both builds made the same setup.exe" \
  "($(stat -c %s "$first") bytes, SHA-256 $(sha256sum "$first" | cut -c1-16)...)"
