# shellcheck shell=bash
# Sourced by the release tests: the sources as a release is made from them, so that trees the tests
# build at different places and times are of the same commit, and the commit the Linux programs
# name in --version is the same in each.

# copy_sources SOURCE_DIR DEST: the sources without their repository, build trees and releases.
copy_sources() {
  mkdir -p "$2"
  tar -C "$1" --exclude=./build --exclude=./.git --exclude=./dist --exclude=./.cache -cf - . |
    tar -C "$2" -xf -
}

# commit_sources DIR: DIR made a repository of its own holding one commit of everything in it, by
# a fixed author at a fixed time (2026-11-30T12:00:00Z, SOURCE_DATE_EPOCH=1796040000), so that the
# same sources always make the same commit.
commit_sources() {
  git -C "$1" init -q
  git -C "$1" add -A
  GIT_AUTHOR_DATE=2026-11-30T12:00:00Z GIT_COMMITTER_DATE=2026-11-30T12:00:00Z \
    git -C "$1" -c user.name="Release test" -c user.email=release-test@corvena.invalid \
    commit -qm "The release under test"
}
