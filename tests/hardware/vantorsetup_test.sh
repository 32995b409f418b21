#!/usr/bin/env bash
# vantorsetup_test.sh CASE WITH_MIXER VANTOR_SETUP FLASH_CHECK FWIMAGE CODE_IMAGE LOGIC_IMAGE
# vantor-setup against the virtual mixer on the real clock, through the real hidraw node, sysfs and
# libudev. WITH_MIXER is scripts/with-virtual-mixer (the mixer served through FUSE) or
# scripts/with-usb-mixer (the mixer as a USB device of a guest's kernel, whose drivers make the
# node). Each CASE runs one scene and checks its exit status, its last line, and what the mixer saw.
# Exits 77 (skipped) where the mixer cannot be served (no root, no QEMU).
set -uo pipefail
case_name=$1 with_mixer=$2 vantor_setup=$3 flash_check=$4 fwimage=$5 code=$6 logic=$7
support=$(cd "$(dirname "$0")/../support" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The guest of with-usb-mixer shares the working folder with the host: what a scene leaves there
# (outputs, the run log) is read here afterwards.
cd "$work" || exit 1

fail() { echo "vantorsetup_test $case_name: $*" >&2; exit 1; }
# The virtual mixer could not be served here: the scene is skipped, not passed.
check_skip() {
  if [ "$status" -eq 77 ] && grep -q "^with-[a-z-]*: skipped" "$work/err"; then
    cat "$work/err"
    exit 77
  fi
}

# run [mixer options] -- [vantor-setup arguments]: the status in $status, the output in $work/out.
run() {
  local options=()
  while [ "$1" != "--" ]; do options+=("$1"); shift; done
  shift
  "$with_mixer" "${options[@]}" --transcript="$work/transcript" -- "$vantor_setup" "$@" \
    >"$work/out" 2>"$work/err"
  status=$?
  check_skip
}

expect_end() {  # expect_end STATUS "exit code: ..."
  [ "$status" -eq "$1" ] || { cat "$work/err"; tail -5 "$work/out"; fail "status $status, not $1"; }
  [ "$(tail -n 1 "$work/out")" = "$2" ] || fail "last line: $(tail -n 1 "$work/out")"
}

commands() { sed -n 's/^set F0 \([^ ]*\).*/\1/p' "$work/transcript" | tr '\n' ' '; }
readonly whole_update="EFWU ERFW BLFW WRFW WRFI VFFW VFFI ERFP WRFP WFPI VFFP VFPI BOOT "

# run_inside [mixer options] -- SCRIPT: SCRIPT runs in bash inside the mixer's namespace, with
# vantor-setup as $1, the work folder as $2 and wait_for PATTERN, which waits (at most two minutes)
# until the transcript has a line that matches.
run_inside() {
  local options=()
  while [ "$1" != "--" ]; do options+=("$1"); shift; done
  "$with_mixer" "${options[@]}" --transcript="$work/transcript" -- bash -c '
    wait_for() {
      for _ in $(seq 1200); do grep -q "$1" "$2/transcript" && return 0; sleep 0.1; done
      echo "no \"$1\" in the transcript" >&2; return 1
    }
    '"$2" run "$vantor_setup" "$work" >"$work/out" 2>"$work/err"
  status=$?
  check_skip
  [ "$status" -eq 0 ] || { cat "$work/err"; fail "the scene ended with $status"; }
}

case $case_name in
  QuietUpdate)
    # With the run log: the mixer as found before the update and after "BOOT", through the node.
    run --flash="$work/flash" -- "--log=$work/run log" -quiet
    expect_end 0 "exit code: 0 (0x00000000)"
    [ "$(commands)" = "$whole_update" ] || fail "commands: $(commands)"
    "$flash_check" "$fwimage" "$work/flash" "$code" "$logic" || fail "the flash"
    found=$(sed -n 's/^[0-9]* \(found vendor=[^ ]* product=[^ ]* version=[^ ]*\) .*/\1/p' \
      "$work/run log" | tr '\n' ';')
    [ "$found" = "found vendor=0CA8 product=0801 version=2.14;found vendor=0CA8 product=0804 \
version=1.02;found vendor=0CA8 product=0801 version=2.14;" ] || fail "found: $found"
    grep -q "^[0-9]* looking for the restarted mixer$" "$work/run log" || fail "no look after BOOT"
    [ "$(tail -n 1 "$work/run log" | cut -d' ' -f2-3)" = "exit-code 0" ] ||
      fail "log ends: $(tail -n 1 "$work/run log")"
    ;;
  SecondUpdaterSendsNothing)
    # A second run, started while the first writes the code, sends nothing, names the first and
    # ends with its own code; the first updates the mixer alone.
    run_inside --flash="$work/flash" -- '
      "$1" -quiet >"$2/first" 2>&1 & first=$!
      echo "$first" >"$2/first-pid"
      wait_for "^set F1 " "$2"
      "$1" -quiet >"$2/second" 2>"$2/second-err"; echo "$?" >"$2/second-status"
      wait "$first"; echo "$?" >"$2/first-status"'
    [ "$(cat "$work/first-status")" = 0 ] || fail "first run: $(tail -n 1 "$work/first")"
    [ "$(cat "$work/second-status") $(tail -n 1 "$work/second")" = \
      "255 exit code: 1152 (0x00000480)" ] || fail "second run: $(tail -n 1 "$work/second")"
    grep -qx "vantor-setup: another firmware update is running on this machine, in process $(cat "$work/first-pid") (vantor-setup); nothing was sent to any mixer. Run again when it has ended." \
      "$work/second-err" || { cat "$work/second-err"; fail "the first run is not named"; }
    ! grep -q '^page: ' "$work/second" || fail "the second run showed its pages"
    [ "$(commands)" = "$whole_update" ] || fail "commands: $(commands)"
    "$flash_check" "$fwimage" "$work/flash" "$code" "$logic" || fail "the flash"
    ;;
  SignalsDuringTheUpdateAreRefused)
    # A lost terminal (SIGHUP) during the code's write and Ctrl-\ (SIGQUIT) during its check are
    # refused, and the reader of the output stops at 20 %: the update runs to its end all the same,
    # and the status tells its outcome.
    run_inside --flash="$work/flash" -- '
      mkfifo "$2/lines"
      sed "/^progress: 20%/q" <"$2/lines" >"$2/seen" &
      "$1" -quiet >"$2/lines" 2>"$2/stderr" & setup=$!
      wait_for "^set F1 " "$2" && kill -HUP "$setup"
      wait_for "^set F0 VFFW" "$2" && kill -QUIT "$setup"
      wait "$setup"; echo "$?" >"$2/status"'
    [ "$(cat "$work/status")" = 0 ] || { cat "$work/stderr"; fail "status $(cat "$work/status")"; }
    [ "$(tail -n 1 "$work/seen")" = "progress: 20%" ] || fail "the reader saw: $(tail -n 1 "$work/seen")"
    [ "$(commands)" = "$whole_update" ] || fail "commands: $(commands)"
    "$flash_check" "$fwimage" "$work/flash" "$code" "$logic" || fail "the flash"
    ;;
  WrongStatusFailsTheUpdate)
    run --wrong-status=WRFI:3 -- -quiet
    expect_end 31 "exit code: 31 (0x0000001F)"
    [ "$(commands)" = "EFWU ERFW BLFW WRFW WRFI BOOT " ] || fail "commands: $(commands)"
    # The finish page's reason also on standard error, once.
    reason="vantor-setup: Firmware Update Failed: A device connected to the computer is not working properly."
    [ "$(grep -cxF "$reason" "$work/err")" = 1 ] || { cat "$work/err"; fail "no reason, or more than one"; }
    ;;
  UnplugThenRunAgain)
    # The mixer leaves for good as the thousandth block comes; plugged in again, a second run
    # finishes the update from update mode, without "EFWU".
    "$with_mixer" --unplug-at-block=1000 --transcript="$work/transcript" -- bash -c '
      "$1" -quiet >"$2/first" 2>&1; echo "$?" >"$2/first-status"
      "$3" || exit 1
      "$1" -quiet >"$2/second" 2>&1; echo "$?" >"$2/second-status"' run "$vantor_setup" "$work" \
      "$support/replug-mixer.sh" >"$work/out" 2>"$work/err"
    status=$?
    check_skip
    [ "$(cat "$work/first-status") $(tail -n 1 "$work/first")" = \
      "255 exit code: 1167 (0x0000048F)" ] || fail "first run: $(tail -n 1 "$work/first")"
    grep -q "failed 1167" "$work/transcript" || fail "no transfer met the departed mixer"
    [ "$(cat "$work/second-status")" = 0 ] || fail "second run: $(tail -n 1 "$work/second")"
    [ "$(grep -c 'set F0 EFWU' "$work/transcript")" = 1 ] || fail "EFWU sent again"
    ;;
  DanteTestPasses)
    run --dante=10,12 -- -quiet -dantetestonly
    expect_end 0 "exit code: 0 (0x00000000)"
    ;;
  DanteTestFails)
    run --dante=10,13 -- -quiet -dantetestonly
    expect_end 255 "exit code: 2148532243 (0x80100013)"
    ;;
  SecondMixerIsLeftAlone)
    run --second-mixer -- -quiet
    expect_end 0 "exit code: 0 (0x00000000)"
    ! grep -q '^set .*(mixer 2)' "$work/transcript" || fail "the second mixer was written to"
    ;;
  NodeThatCannotBeOpenedIsExplained)
    # Run as another user than the node's owner: the node is there, but it is not ours. The wait
    # for it gives up, the mixer is not found, and standard error says why and what to do.
    "$with_mixer" --transcript="$work/transcript" -- \
      setpriv --reuid=65534 --regid=65534 --clear-groups "$vantor_setup" -quiet \
      >"$work/out" 2>"$work/err"
    status=$?
    check_skip
    expect_end 20 "exit code: 20 (0x00000014)"
    grep -q "^vantor-setup: the Vantor is at /dev/hidraw0, but it cannot be opened: Permission denied.$" \
      "$work/err" || { cat "$work/err"; fail "no explanation on standard error"; }
    grep -q "70-vantor-setup.rules" "$work/err" || fail "no fix named"
    [ "$(grep -c "cannot be opened" "$work/err")" = 1 ] || fail "explained more than once"
    ;;
  OtherVendorsDevicesAreLeftAlone)
    # Two other vendors' HID devices come first, one of them with the product id 0x0801: each is
    # opened and looked at, and none is taken for the mixer. The mixer's card is card2.
    run --other-devices -- -quiet -usbtest
    expect_end 0 "exit code: 0 (0x00000000)"
    [ "$(commands)" = "${whole_update}UATE UATD " ] ||
      fail "commands: $(commands)"
    ;;
  NodeWithoutFeatureReportsIsNotTaken)
    # A report descriptor without a feature report: nothing can be sent, so the node is no mixer.
    run --feature-length=0 -- -quiet
    expect_end 20 "exit code: 20 (0x00000014)"
    [ "$(commands)" = "" ] || fail "commands: $(commands)"
    ;;
  ListNamesEachMixer)
    # --list sends nothing: two mixers in application mode, a block each in the order of their
    # nodes; a mixer in update mode under the other identity; a node this user is not given.
    expect_listing() {  # expect_listing TEXT: status 0, this output, nothing sent to the mixer
      [ "$status" -eq 0 ] || { cat "$work/err"; fail "status $status, not 0"; }
      [ "$(cat "$work/out")" = "$1" ] || { cat "$work/out"; fail "not the listing above"; }
      [ "$(commands)" = "" ] || fail "commands: $(commands)"
    }
    readonly app_mode="  mode: application (product id 0x0801)
  firmware: 2.14 (bcdDevice 0x0214)"
    run --second-mixer -- --list
    expect_listing "Vantor at /dev/hidraw0
$app_mode
  serial: VT24A0117
  access: read and write

Vantor at /dev/hidraw1
$app_mode
  serial: VT24A0342
  access: read and write"
    run --mixer=update-alt -- --list
    expect_listing "Vantor at /dev/hidraw0
  mode: update, as product id 0x0804
  firmware: 1.02 (bcdDevice 0x0102)
  serial: VT24A0117
  access: read and write"
    "$with_mixer" --transcript="$work/transcript" -- \
      setpriv --reuid=65534 --regid=65534 --clear-groups "$vantor_setup" --list \
      >"$work/out" 2>"$work/err"
    status=$?
    check_skip
    expect_listing "Vantor at /dev/hidraw0
$app_mode
  serial: VT24A0117
  access: none for this user (Permission denied): install the package's udev rule (/usr/lib/udev/rules.d/70-vantor-setup.rules), which gives the node to the person at the seat, then plug the mixer in again or run \"udevadm trigger\"; or run vantor-setup as root"
    ;;
  ListWithoutAMixer)
    run --mixer=none -- --list
    [ "$status" -eq 20 ] || fail "status $status, not 20"
    [ "$(cat "$work/out")" = "no Vantor is attached (no hidraw node of vendor id 0x0CA8)" ] ||
      fail "said: $(cat "$work/out")"
    ;;
  UsbTestPasses)
    run -- -quiet -usbtestonly
    expect_end 0 "exit code: 0 (0x00000000)"
    grep -q "^audio: start$" "$work/transcript" || fail "the mixer's capture never started"
    ;;
  UsbTestFailsOnADroppedValue)
    # Frame 46,000 lies in the last 4,096 frames of the second that is checked.
    run --audio-drop-frame=46000 -- -quiet -usbtestonly
    expect_end 13 "exit code: 13 (0x0000000D)"
    ;;
  UsbTestFailsOnSilence)
    run --audio-silence -- -quiet -usbtestonly
    expect_end 13 "exit code: 13 (0x0000000D)"
    ;;
  UsbTestTimesOutWithoutData)
    run --audio-never-completes -- -quiet -usbtestonly
    expect_end 255 "exit code: 258 (0x00000102)"
    ;;
  UdevRuleGivesTheMixerToTheSeat)
    # In a guest, udev applies the package's rule to the nodes its kernel made: the mixer's node
    # is given to the person at the seat ("uaccess"), another vendor's HID device's is not.
    # udev lists a node's tags in the order of its hash set, which changes from boot to boot, so
    # they are sorted here.
    "$with_mixer" -- sh -c 'for node in /sys/class/hidraw/hidraw*; do
        printf "%s tags=%s\n" "$(sed -n "s/^HID_ID=//p" "$node/device/uevent")" \
          "$(udevadm info --query=property --name="/dev/${node##*/}" | sed -n "s/^TAGS=//p" |
             tr : "\n" | grep . | sort | paste -sd " " -)"
      done' >"$work/out" 2>"$work/err"
    status=$?
    check_skip
    [ "$status" -eq 0 ] || { cat "$work/err"; fail "status $status"; }
    # The other device is QEMU's tablet; "seat" comes with "uaccess" from systemd's own rules.
    [ "$(sort "$work/out")" = "0003:00000627:00000001 tags=
0003:00000CA8:00000801 tags=seat uaccess" ] || { cat "$work/out"; fail "not the tags above"; }
    ;;
  *)
    fail "no such case"
    ;;
esac
echo "vantorsetup_test $case_name: passed"
