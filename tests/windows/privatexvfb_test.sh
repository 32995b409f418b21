#!/usr/bin/env bash
# privatexvfb_test.sh SOURCE_DIR
# The screen that the scripts give Wine (scripts/lib/private-xvfb.sh) serves the clients that hold
# its cookie and refuses every other, and nothing of it is left once it is stopped.
set -euo pipefail
source "$1/scripts/lib/private-xvfb.sh"
fail() { echo "privatexvfb_test: $*" >&2; exit 1; }

unset DISPLAY XAUTHORITY
trap private_xvfb_stop EXIT
private_xvfb_start
server=$private_xvfb_pid
xdpyinfo >/dev/null || fail "a client with the cookie is refused"
folder=$(dirname "$XAUTHORITY")
[ "$(stat -c %a "$folder")" = 700 ] || fail "others may look into $folder"

# Clients without the cookie: with none, and with one of another server's.
others=$(mktemp -d)
trap 'private_xvfb_stop; rm -rf "$others"' EXIT
private_xvfb_new_cookie "$others/Xauthority"
for cookies in /dev/null "$others/Xauthority"; do
  if XAUTHORITY=$cookies xdpyinfo >/dev/null 2>&1; then
    fail "a client with the cookies of $cookies is served"
  fi
done

private_xvfb_stop
[ ! -e "$folder" ] || fail "the cookie's folder is left"
for _ in $(seq 600); do kill -0 "$server" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$server" 2>/dev/null; then fail "Xvfb still runs a minute after it was stopped"; fi
echo "privatexvfb_test: its own client is served, clients without its cookie are refused"
