#!/usr/bin/env bash
# Inside with-virtual-mixer, after the mixer left for good: plugs it in again and returns once its
# hidraw node is there to open, so that the next program finds it however busy the machine is.
set -u
kill -USR2 "$VIRTUAL_MIXER_PID" || exit 1
for _ in $(seq 300); do
  compgen -G '/dev/hidraw*' >/dev/null && exit 0
  sleep 0.1
done
echo "replug-virtual-mixer: the mixer did not come back within 30 s" >&2
exit 1
