#!/usr/bin/env bash
# Inside with-virtual-mixer or with-usb-mixer, after the mixer left for good: plugs it in again and
# returns once its hidraw node is there to open, so that the next program finds it however busy the
# machine is. A guest's other HID devices have nodes of their own, so the mixer's is known by its
# vendor id.
set -u
if [ -n "${USB_MIXER_REPLUG:-}" ]; then
  "$USB_MIXER_REPLUG" || exit 1
else
  kill -USR2 "$VIRTUAL_MIXER_PID" || exit 1
fi
mixer_node_is_there() {
  local uevent name
  for uevent in /sys/class/hidraw/hidraw*/device/uevent; do
    name=$(basename "$(dirname "$(dirname "$uevent")")")
    grep -q '^HID_ID=0003:00000CA8:' "$uevent" 2>/dev/null && [ -e "/dev/$name" ] && return 0
  done
  return 1
}
for _ in $(seq 300); do
  mixer_node_is_there && exit 0
  sleep 0.1
done
echo "replug-mixer: the mixer did not come back within 30 s" >&2
exit 1
