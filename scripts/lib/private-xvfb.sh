# shellcheck shell=bash
# Sourced by the scripts that give Wine a screen of its own: an Xvfb that serves only the holders of
# a cookie made for it. An X server without one serves every user of the machine, who could then
# read its windows and type into them.
#
# private_xvfb_start: starts the server and exports DISPLAY and XAUTHORITY for its clients. The
# cookie is in a folder that only this user can read, and never on a command line, where any user
# could read it. private_xvfb_stop (for the caller's EXIT trap) ends the server and removes the
# folder.
private_xvfb_dir=
private_xvfb_pid=

private_xvfb_start() {
  private_xvfb_dir=$(mktemp -d -t vantor-xvfb.XXXXXX)
  local cookies=$private_xvfb_dir/Xauthority display=$private_xvfb_dir/display number=
  private_xvfb_new_cookie "$cookies"
  mkfifo "$display"
  # Room for Wine's desktop of the wizard at 200 % (scripts/wine-run).
  Xvfb -displayfd 3 -auth "$cookies" -screen 0 1600x1200x24 -nolisten tcp 3>"$display" \
    >"$private_xvfb_dir/log" 2>&1 &
  private_xvfb_pid=$!
  # The server writes its display's number once it serves; one that fails closes the pipe unwritten.
  read -r -t 60 number <"$display" || true
  if ! [[ $number =~ ^[0-9]+$ ]]; then
    echo "private-xvfb: Xvfb did not start:" >&2
    cat "$private_xvfb_dir/log" >&2
    private_xvfb_stop
    return 1
  fi
  export DISPLAY=":$number" XAUTHORITY=$cookies
}

# private_xvfb_new_cookie FILE: a new random cookie in FILE, which only this user can read. Its one
# entry is good for every display (family "wild", no address, no number): a server's number is
# known only once it runs, and the server reads the file as it starts.
private_xvfb_new_cookie() {
  (umask 077 && : >"$1")
  printf 'ffff 0000  0000  0012 %s 0010 %s\n' \
    "$(printf MIT-MAGIC-COOKIE-1 | od -An -tx1 | tr -d ' \n')" "$(mcookie)" |
    xauth -q -f "$1" nmerge -
}

private_xvfb_stop() {
  [ -z "$private_xvfb_pid" ] || kill "$private_xvfb_pid" 2>/dev/null || true
  [ -z "$private_xvfb_dir" ] || rm -rf "$private_xvfb_dir"
  private_xvfb_pid=
  private_xvfb_dir=
}
