#!/usr/bin/env bash
# reproduciblebuild_test.sh SOURCE_DIR WORK_DIR
# Builds setup.exe (the setup target of the windows preset) and vantor-setup's package (the release
# preset) twice, from clean build trees: once from SOURCE_DIR into WORK_DIR/first, once from a copy
# of the sources at another path into WORK_DIR/second, minutes later. Each pair must be the same
# bytes. The trees stay for the signing and release tests.
set -euo pipefail
source_dir=$1
work=$2
fail() { echo "reproduciblebuild_test: $*" >&2; exit 1; }

source "$(dirname "$0")/lib/sources.sh"

# The copy is the commit the release test makes of the same sources, so that both programs name that
# commit (vantor-setup in --version, setup.exe in its run log), as the release's do; the checkout's
# build is told it.
rm -rf "$work/first" "$work/second"
copy_sources "$source_dir" "$work/second/source-copy"
commit_sources "$work/second/source-copy"
commit=$(git -C "$work/second/source-copy" rev-parse --short HEAD)

# build SOURCE BUILD [OPTION...]: clean builds of setup.exe in BUILD/windows and of the package in
# BUILD/linux (both configured with the OPTIONs: both name their commit), whose logs are BUILD/windows.log and BUILD/linux.log.
# The package's files are dated as the release test's commit is.
build() {
  mkdir -p "$2"
  { cmake -S "$1" --preset windows -B "$2/windows" "${@:3}" &&
    cmake --build "$2/windows" --target setup; } \
    >"$2/windows.log" 2>&1 || { tail -n 40 "$2/windows.log"; fail "the build in $2/windows failed"; }
  { cmake -S "$1" --preset release -B "$2/linux" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "${@:3}" &&
    cmake --build "$2/linux" --target vantor-setup &&
    SOURCE_DATE_EPOCH=1796040000 cpack -G DEB -B "$2/package" --config "$2/linux/CPackConfig.cmake"
  } >"$2/linux.log" 2>&1 || { tail -n 40 "$2/linux.log"; fail "the build in $2/linux failed"; }
}
build "$source_dir" "$work/first" -DVANTOR_COMMIT="$commit"
build "$work/second/source-copy" "$work/second"

deb=vantor-setup_1.0.0_amd64.deb
cmp "$work/first/package/$deb" "$work/second/package/$deb" ||
  fail "two builds of the same sources make different packages"
first=$work/first/windows/programs/setup.exe
second=$work/second/windows/programs/setup.exe
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
  "($(stat -c %s "$first") bytes, SHA-256 $(sha256sum "$first" | cut -c1-16)...) and the same $deb"
