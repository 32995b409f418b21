#!/usr/bin/env bash
# vantorsetup_test.sh CASE WITH_MIXER VANTOR_SETUP FLASH_CHECK FWIMAGE CODE_IMAGE LOGIC_IMAGE
# vantor-setup against the virtual mixer, through the real hidraw node, sysfs and libudev, on the
# real clock. Each CASE runs one scene and checks its exit status, its last line, and what the
# mixer saw. Exits 77 (skipped) where the virtual mixer cannot be served (no root).
set -uo pipefail
case_name=$1 with_mixer=$2 vantor_setup=$3 flash_check=$4 fwimage=$5 code=$6 logic=$7
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "vantorsetup_test $case_name: $*" >&2; exit 1; }
# The virtual mixer could not be served here: the scene is skipped, not passed.
check_skip() {
  if [ "$status" -eq 77 ] && grep -q "^with-virtual-mixer: skipped" "$work/err"; then
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

case $case_name in
  QuietUpdate)
    run --flash="$work/flash" -- -quiet
    expect_end 0 "exit code: 0 (0x00000000)"
    [ "$(commands)" = "EFWU ERFW BLFW WRFW WRFI VFFW VFFI ERFP WRFP WFPI VFFP VFPI BOOT " ] ||
      fail "commands: $(commands)"
    "$flash_check" "$fwimage" "$work/flash" "$code" "$logic" || fail "the flash"
    ;;
  WrongStatusFailsTheUpdate)
    run --wrong-status=WRFI:3 -- -quiet
    expect_end 31 "exit code: 31 (0x0000001F)"
    [ "$(commands)" = "EFWU ERFW BLFW WRFW WRFI BOOT " ] || fail "commands: $(commands)"
    ;;
  UnplugThenRunAgain)
    # The mixer leaves for good after 1,000 transfers; plugged in again, a second run finishes
    # the update from update mode, without "EFWU".
    "$with_mixer" --unplug-after=1000 --transcript="$work/transcript" -- bash -c '
      "$1" -quiet >"$2/first" 2>&1; echo "$?" >"$2/first-status"
      kill -USR2 "$VIRTUAL_MIXER_PID"; sleep 1
      "$1" -quiet >"$2/second" 2>&1; echo "$?" >"$2/second-status"' run "$vantor_setup" "$work" \
      >"$work/out" 2>"$work/err"
    status=$?
    check_skip
    # On the real clock the unplug falls on a data block (1167) or on a status poll, which ends as
    # a status that never came (31), depending on how many busy answers came before.
    case "$(cat "$work/first-status") $(tail -n 1 "$work/first")" in
      "255 exit code: 1167 (0x0000048F)" | "31 exit code: 31 (0x0000001F)") ;;
      *) fail "first run: $(tail -n 1 "$work/first")" ;;
    esac
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
    [ "$(commands)" = "EFWU ERFW BLFW WRFW WRFI VFFW VFFI ERFP WRFP WFPI VFFP VFPI BOOT UATE UATD " ] ||
      fail "commands: $(commands)"
    ;;
  NodeWithoutFeatureReportsIsNotTaken)
    # A report descriptor without a feature report: nothing can be sent, so the node is no mixer.
    run --feature-length=0 -- -quiet
    expect_end 20 "exit code: 20 (0x00000014)"
    [ "$(commands)" = "" ] || fail "commands: $(commands)"
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
  *)
    fail "no such case"
    ;;
esac
echo "vantorsetup_test $case_name: passed"
