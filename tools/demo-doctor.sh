#!/usr/bin/env bash
# doctor on the bundled example: why each reference is broken and where its file may be.
set -euo pipefail
source "$(dirname "$0")/demo-drive.sh"
status=0
"$cli" doctor "${demo_args[@]}" "$@" || status=$?
[[ $status -eq 0 || $status -eq 3 ]]
