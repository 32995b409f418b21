#!/usr/bin/env bash
# lintian_test.sh BUILD_DIR
# Makes the Debian package from the build tree with CPack and checks it with lintian, Debian's own
# package checker: no error and no warning, but those the package overrides, each with its reason
# (usr/share/lintian/overrides/vantor-setup). Exits 77 (skipped) where lintian is not installed.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "lintian_test: $*" >&2; exit 1; }

if ! command -v lintian >/dev/null; then
  echo "lintian_test: skipped: lintian is not installed (scripts/install-deps installs it)" >&2
  exit 77
fi

cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/package/*.deb)

# Informational tags are shown for the record; an error or a warning fails. Lintian says on
# standard error that it should not run as root: the tests do.
status=0
lintian --info --display-info "$deb" >"$work/lintian" 2>"$work/lintian.err" || status=$?
grep -v '^running with root privileges is not recommended!$' "$work/lintian.err" >&2 || true
bad=$(grep -E '^[EW]: ' "$work/lintian" || true)
if [ -n "$bad" ]; then
  cat "$work/lintian"
  fail "$(grep -c . <<<"$bad") errors and warnings"
fi
grep -E '^[IPX]: ' "$work/lintian" || true
[ "$status" -eq 0 ] || fail "lintian exited with $status"
echo "lintian_test: $(basename "$deb"): no error, no warning"
