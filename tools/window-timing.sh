#!/usr/bin/env bash
# Times the Windows program under Wine on generated drawings (after the preset mingw-ARCH has
# been built):
#   tools/window-timing.sh [x86_64|i686] [mixed [N] | search N | circles MB]
# mixed (the default): N (1,000,000) entities, start to the first composed picture, a wheel zoom
# and repaints; search N: the search button on N image references; circles MB: a drawing of
# circles with Esc held from the moment the window is shown (needs libXtst, as Wine's X driver).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build/mingw-${1:-x86_64}
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
shift || true
work=$(mktemp -d /tmp/pikrotta-timing-XXXXXX)
trap 'rm -rf "$work"' EXIT
# PIKROTTA_PROGRAM times another build of the program (an earlier one, to compare).
cp "${PIKROTTA_PROGRAM:-$build/src/win32/pikrotta.exe}" "$work/pikrotta.exe"
export WINEPREFIX=$build/wineprefix-e2e-ja_JP
tools/wine-prefix.sh "$WINEPREFIX"
# Holds Esc through the X server (XTest) while the timing program's flag file is there.
hold_esc_while_flagged() {
  python3 - "$work/esc-held.flag" <<'PY'
import ctypes, os, sys, time
flag = sys.argv[1]
x11, xtst = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
display = ctypes.c_void_p(x11.XOpenDisplay(None))
escape = x11.XKeysymToKeycode(display, 0xFF1B)
def key(down):
    xtst.XTestFakeKeyEvent(display, escape, down, 0)
    x11.XFlush(display)
deadline = time.time() + 600
while not os.path.exists(flag) and time.time() < deadline:
    time.sleep(0.001)
key(True)
while os.path.exists(flag) and time.time() < deadline:
    time.sleep(0.001)
key(False)
PY
}
if [[ ${1:-} == circles ]]; then hold_esc_while_flagged & fi
# CPU times mean something on a shared machine only beside how loaded it was.
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
tools/wine-run.sh "$build/tests/e2e/window_timing.exe" "Z:${work//\//\\}" "$@"
wait
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
