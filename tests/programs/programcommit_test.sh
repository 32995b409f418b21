#!/usr/bin/env bash
# programcommit_test.sh COMMIT_SCRIPT
# cmake/ProgramCommit.cmake, run as every build runs it, on repositories of the test's own: it names
# the commit checked out, follows a new commit, leaves the header untouched when the commit is the
# same (so nothing rebuilds), names a given commit, and says "unknown" for sources that are no
# checkout, also when they lie inside another one.
set -euo pipefail
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "programcommit_test: $*" >&2; exit 1; }

header=$work/programcommit.h
# written DIR [COMMIT]: runs the script for DIR and prints the commit the header holds.
written() {
  cmake -DSOURCE_DIR="$1" -DOUTPUT="$header" ${2:+-DCOMMIT="$2"} -P "$script"
  sed -n 's/^#define PROGRAM_COMMIT "\(.*\)"$/\1/p' "$header"
}
commit() {
  git -C "$work/repo" -c user.name=Test -c user.email=test@corvena.invalid \
    commit -q --allow-empty -m "$1"
}

git init -q "$work/repo"
commit first
[ "$(written "$work/repo")" = "$(git -C "$work/repo" rev-parse --short HEAD)" ] ||
  fail "the first commit is not named"
touch -d @1000000000 "$header"
[ "$(written "$work/repo")" = "$(git -C "$work/repo" rev-parse --short HEAD)" ] &&
  [ "$(stat -c %Y "$header")" = 1000000000 ] || fail "an unchanged commit rewrote the header"
commit second
[ "$(written "$work/repo")" = "$(git -C "$work/repo" rev-parse --short HEAD)" ] ||
  fail "the header still names the commit before: $(cat "$header")"
mkdir -p "$work/repo/build/copy" "$work/plain"
[ "$(written "$work/repo/build/copy")" = unknown ] || fail "a folder inside a checkout took its commit"
[ "$(written "$work/plain")" = unknown ] || fail "a folder without git: $(cat "$header")"
[ "$(written "$work/plain" 1a2b3c4)" = 1a2b3c4 ] || fail "the given commit is not named"
echo "programcommit_test: the header follows the commit, and only the checkout's own"
