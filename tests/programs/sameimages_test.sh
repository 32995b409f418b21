#!/usr/bin/env bash
# sameimages_test.sh VANTOR_SETUP SETUP_SIM
# vantor-setup --images reports the images it carries as setup-sim --images does: both programs are
# built with the same ones, so the reports and their exit statuses are the same.
set -uo pipefail
vantor=$("$1" --images)
vantor_status=$?
sim=$("$2" --images)
sim_status=$?
[ -n "$vantor" ] && [ "$vantor $vantor_status" = "$sim $sim_status" ] || {
  diff <(echo "$sim" "$sim_status") <(echo "$vantor" "$vantor_status")
  echo "sameimages_test: vantor-setup --images differs from setup-sim's" >&2
  exit 1
}
echo "sameimages_test: both programs report the same images, exit $vantor_status"
