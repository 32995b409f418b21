#!/usr/bin/env bash
# version_test.sh SOURCE_DIR PROGRAM...
# Each program's --version is one line, "NAME VERSION (commit HASH)", with the project's version and
# the commit checked out in SOURCE_DIR, and exits 0. Exits 77 (skipped) where SOURCE_DIR is not a
# git checkout of its own: there is no commit to compare with.
set -uo pipefail
source_dir=$1
shift
fail() { echo "version_test: $*" >&2; exit 1; }

top=$(git -C "$source_dir" rev-parse --show-toplevel 2>/dev/null)
if [ "$top" != "$(cd "$source_dir" && pwd -P)" ]; then
  echo "version_test: skipped: $source_dir is not a git checkout of its own" >&2
  exit 77
fi
commit=$(git -C "$source_dir" rev-parse --short HEAD)
version=$(sed -n 's/^ *VERSION \([0-9.]*\)$/\1/p' "$source_dir/CMakeLists.txt" | head -n 1)
[ -n "$version" ] || fail "no VERSION in $source_dir/CMakeLists.txt"

for program in "$@"; do
  name=$(basename "$program")
  output=$("$program" --version 2>&1)
  status=$?
  [ "$status" -eq 0 ] || fail "$name --version exited with $status: $output"
  [ "$output" = "$name $version (commit $commit)" ] ||
    fail "$name --version said: $output; not: $name $version (commit $commit)"
done
echo "version_test: $* name $version and commit $commit"
