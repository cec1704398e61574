#!/usr/bin/env bash
# The report of the bundled example: the drawing with its image references circled and
# listed, as one HTML page (default demo-report.html); open it in any browser.
set -euo pipefail
output=$(realpath -m "${1:-demo-report.html}")
source "$(dirname "$0")/demo-drive.sh"
status=0
"$cli" report "${demo_args[@]}" -o "$output" "${@:2}" || status=$?
[[ $status -eq 0 || $status -eq 3 ]]
echo "report written to $output"
