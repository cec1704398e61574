#!/usr/bin/env bash
# Times the Windows program under Wine on generated drawings (after the preset mingw-ARCH has
# been built):
#   tools/window-timing.sh [x86_64|i686] [mixed | search N | circles MB]
# mixed (the default): 1,000,000 entities, start to the first composed picture, a wheel zoom
# and repaints; search N: the search button on N image references; circles MB: a drawing of
# circles with Esc held from the moment the window is shown.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build/mingw-${1:-x86_64}
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
shift || true
work=$(mktemp -d /tmp/pikrotta-timing-XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$build/src/win32/pikrotta.exe" "$work/"
export WINEPREFIX=$build/wineprefix-e2e-ja_JP
tools/wine-prefix.sh "$WINEPREFIX"
tools/wine-run.sh "$build/tests/e2e/window_timing.exe" "Z:${work//\//\\}" "$@"
