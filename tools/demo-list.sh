#!/usr/bin/env bash
# The main job on the bundled example: search the demo drawing for image references as the
# search button does, with the bundled Jw_cad folder standing for drive C: and today's
# temporary folder made in a scratch copy of it.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${PIKROTTA_CLI:-build/release/src/cli/pikrotta-cli}
drive=$(mktemp -d)
trap 'rm -rf "$drive"' EXIT
cp -r examples/demo/drive-c/. "$drive"
temp="$drive/JWW/BAK/$(date +%Y%m%d)-1"
mkdir -p "$temp"
printf 'demo image kept inside the drawing\n' > "$temp/jwtmp0001.bmp"
status=0
"$cli" list examples/demo/JWC_TEMP.TXT --jwcad 'C:\JWW\Jw_win.exe' --drive "C:=$drive" "$@" || status=$?
# 3 means some references are missing or unresolvable, which the demo shows on purpose.
[[ $status -eq 0 || $status -eq 3 ]]
