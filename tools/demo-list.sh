#!/usr/bin/env bash
# The main job on the bundled example: search the demo drawing for image references as the
# search button does, with the bundled Jw_cad folder standing for drive C:.
set -euo pipefail
source "$(dirname "$0")/demo-drive.sh"
status=0
"$cli" list "${demo_args[@]}" "$@" || status=$?
# 3 means some references are missing or unresolvable, which the demo shows on purpose.
[[ $status -eq 0 || $status -eq 3 ]]
