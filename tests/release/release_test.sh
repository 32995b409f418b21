#!/usr/bin/env bash
# release_test.sh SOURCE_DIR WORK_DIR
# Runs scripts/release in a copy of the sources, committed to a repository of its own at a known
# time: first without git (the copy lies inside the build tree, itself perhaps inside a checkout),
# on a changed tree and with a stray file (all refused), then on the clean commit. The
# reproducibility test's second trees (WORK_DIR/second) are the reference for setup.exe, its
# firmware images and the package.
set -euo pipefail
source_dir=$1
work=$2
repo=$work/release-repo
reference=$work/second
fail() { echo "release_test: $*" >&2; exit 1; }

source "$(dirname "$0")/lib/sources.sh"

rm -rf "$repo"
copy_sources "$source_dir" "$repo"
cd "$repo"
# Sources that are not a checkout are not a commit either.
status=0
scripts/release >"$work/refused.log" 2>&1 || status=$?
[ "$status" -eq 1 ] && [ "$(cat "$work/refused.log")" = \
  "release: $repo is not a git checkout: a release is made from a commit" ] ||
  { cat "$work/refused.log"; fail "sources without git gave status $status"; }
# The commit the reference trees were built as (lib/sources.sh).
commit_sources "$repo"
commit=$(git rev-parse HEAD)

# expect_refusal CHANGE: scripts/release refuses the tree and names CHANGE, before building anything.
expect_refusal() {
  local status=0
  scripts/release >"$work/refused.log" 2>&1 || status=$?
  [ "$status" -eq 1 ] || { cat "$work/refused.log"; fail "a tree with '$1' gave status $status"; }
  [ "$(head -n 1 "$work/refused.log")" = \
    "release: the tree has changes that are not committed; commit or stash them first:" ] &&
    grep -qxF "$1" "$work/refused.log" || { cat "$work/refused.log"; fail "'$1' is not named"; }
  [ ! -e dist ] && [ ! -e build/dist ] || fail "a refused release built something"
}
echo "# a change" >>README.md
expect_refusal " M README.md"
git checkout -q README.md
touch stray-file
expect_refusal "?? stray-file"
rm stray-file

scripts/release >"$work/release.log" 2>&1 || { tail -n 40 "$work/release.log"; fail "release failed"; }
deb=vantor-setup_1.0.0_amd64.deb
[ "$(ls dist | tr '\n' ' ')" = "RELEASE.md SHA256SUMS setup.exe $deb " ] ||
  fail "dist/ holds: $(ls dist)"
(cd dist && sha256sum --check --strict --quiet SHA256SUMS) || fail "SHA256SUMS does not check"
[ "$(cut -d' ' -f3 dist/SHA256SUMS | tr '\n' ' ')" = "setup.exe $deb RELEASE.md " ] ||
  fail "SHA256SUMS covers: $(cut -d' ' -f3 dist/SHA256SUMS)"

# The release's programs are the same bytes as ones built elsewhere, earlier, from the same sources.
cmp dist/setup.exe "$reference/windows/programs/setup.exe" || fail "the release's setup.exe differs"
cmp "dist/$deb" "$reference/package/$deb" || fail "the release's package differs"
[ "$(TZ=UTC dpkg-deb -c "dist/$deb" | awk '{print $4 " " $5}' | sort -u)" = "2026-11-30 12:00" ] ||
  fail "the package's files are not dated at the commit"

notes=dist/RELEASE.md
line() { grep -qxF -- "$1" "$notes" || { cat "$notes"; fail "RELEASE.md has no line: $1"; }; }
[ "$(head -n 1 "$notes")" = "# Vantor firmware update 1.0.0" ] || fail "title: $(head -n 1 "$notes")"
line "- Commit: $commit"
line "- Commit time: 2026-11-30T12:00:00Z (SOURCE_DATE_EPOCH=1796040000)"
line "- setup.exe is not signed."
line "| setup.exe | $(stat -c %s dist/setup.exe) | $(sha256sum dist/setup.exe | cut -d' ' -f1) |"
line "| $deb | $(stat -c %s "dist/$deb") | $(sha256sum "dist/$deb" | cut -d' ' -f1) |"
[ "$(grep -c '^### Resource' "$notes")" = 2 ] || fail "not two images: $(grep '^### Resource' "$notes")"

# Each image: its heading, size and verdict, and fwimage info's report as the reference gives it.
fwimage=$reference/windows/host-tools/tools/fwimage/fwimage
firmware=$reference/windows/resources/firmware
image_section() {
  local id=$1 what=$2 check=$3
  line "### Resource $id: $what"
  line "Size: $(stat -c %s "$firmware/$id.bin") bytes. The update's acceptance check (fwimage check $check): accepted."
  cp "$firmware/$id.bin" "$work/resource-$id.bin"
  local expected actual
  expected=$(cd "$work" && "$fwimage" info "resource-$id.bin")
  actual=$(sed -n "/^image: resource-$id.bin\$/,/^\`\`\`\$/p" "$notes" | sed '$d')
  [ "$actual" = "$expected" ] || { diff <(echo "$expected") <(echo "$actual") || true; fail "image $id"; }
}
image_section 110 "processor code" "--code"
image_section 112 "logic, for a mixer in update mode as product 0x0804" "--logic --sub"
echo "release_test: dist/ holds the four files of $commit; setup.exe and the package are the reference's bytes"
