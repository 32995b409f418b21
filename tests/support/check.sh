# Sourced by the shell tests: `check DESCRIPTION COMMAND...` runs COMMAND, says "ok" or "FAILED"
# with the description, and counts the failures; the test ends with `[ "$failures" -eq 0 ]`.
failures=0
check() {
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); return 1; fi
}
