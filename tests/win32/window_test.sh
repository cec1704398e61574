#!/usr/bin/env bash
# Runs a test program that opens real windows: with an X display (a virtual one when the run
# has none) and in a Wine prefix of its own, whose desktop was started with that display; the
# unit tests' shared prefix may have started its desktop without one.
#   window_test.sh BUILD_DIR PROGRAM.exe
set -euo pipefail
build=$(realpath "$1")
program=$2
src=$(cd "$(dirname "$0")/../.." && pwd)
"$src/tools/wine-env.sh" --can-run "$program" || exit
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
export WINEPREFIX=$build/wineprefix-window
"$src/tools/wine-prefix.sh" "$WINEPREFIX"
exec "$src/tools/wine-run.sh" "$program"
