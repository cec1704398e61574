#!/usr/bin/env bash
# The main job with the real window: the Windows program under Wine on the bundled example.
# The bundled Jw_cad folder becomes C:\JWW of a Wine prefix (with today's temporary folder of
# images), Jw_cad's registry entry points at it, and the program starts beside the example's
# transfer file as Jw_cad would start it. The search runs, its rows are printed, and a
# screenshot is saved as demo-window.png. On your display the window stays open for you;
# without one it runs on Xvfb and is closed at the end.
#   tools/demo-window.sh        (after: cmake --workflow --preset mingw-x86_64, or the build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build/mingw-x86_64
if [[ -z ${DISPLAY:-} ]]; then
  PIKROTTA_ON_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
export WINEPREFIX=$build/wineprefix-demo
tools/wine-prefix.sh "$WINEPREFIX"
jww=$WINEPREFIX/drive_c/JWW
rm -rf "$jww" && cp -r examples/demo/drive-c/JWW "$jww"
mkdir -p "$jww/BAK/$(date +%Y%m%d)-1" "$jww/Pikrotta"
cp examples/demo/jwtmp0001.bmp "$jww/BAK/$(date +%Y%m%d)-1/jwtmp0001.bmp"
cp "$build/src/win32/pikrotta.exe" dist/Pikrotta.bat examples/demo/JWC_TEMP.TXT "$jww/Pikrotta/"
tools/wine-run.sh reg add 'HKCR\Jwwin.Document\shell\open\command' /ve \
  /d '"C:\JWW\Jw_win.exe" "%1"' /f >/dev/null
tools/wine-run.sh 'C:\JWW\Pikrotta\pikrotta.exe' &
program=$!
shot=$(mktemp -d)
tools/wine-run.sh "$build/tests/e2e/window_driver.exe" --search "Z:${shot//\//\\}\\shot.bmp"
convert "$shot/shot.bmp" demo-window.png
rm -rf "$shot"
echo "screenshot: $PWD/demo-window.png"
if [[ -n ${PIKROTTA_ON_XVFB:-} ]]; then
  tools/wine-run.sh "$build/tests/e2e/window_driver.exe" --close
fi
wait $program
