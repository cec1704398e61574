#!/usr/bin/env bash
# Times the Windows program under Wine on a generated drawing of 1,000,000 entities: start to
# the first composed picture, a wheel zoom, and repaints from the composed bitmap.
#   tools/window-timing.sh [x86_64|i686]      (after the preset mingw-ARCH has been built)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build/mingw-${1:-x86_64}
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
work=$(mktemp -d /tmp/pikrotta-timing-XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$build/src/win32/pikrotta.exe" "$work/"
export WINEPREFIX=$build/wineprefix-e2e-ja_JP
tools/wine-prefix.sh "$WINEPREFIX"
tools/wine-run.sh "$build/tests/e2e/window_timing.exe" "Z:${work//\//\\}"
