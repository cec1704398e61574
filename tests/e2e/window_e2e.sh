#!/usr/bin/env bash
# The Windows program end to end under Wine: a folder with pikrotta.exe and a transfer file
# that refers to images by every kind of path, a Jw_cad folder with its settings file and
# today's temporary folders, Jw_cad's registry entry, and the driver working the window.
#   window_e2e.sh BUILD_DIR LANG [SCREENSHOT.png]
# LANG ja_JP.UTF-8 is a Japanese Windows; C.UTF-8 an English one (code page 1252), which must
# show the very same Japanese. Each has a Wine prefix of its own in the build folder.
# PIKROTTA_E2E_DPI=144 (or another dpi) sets the display's scale, in a prefix of its own.
set -euo pipefail
build=$(realpath "$1")
lang=$2
shot=${3:-}
src=$(cd "$(dirname "$0")/../.." && pwd)
"$src/tools/wine-env.sh" --can-run "$build/src/win32/pikrotta.exe" || exit
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
export PIKROTTA_WINE_LANG=$lang
dpi=${PIKROTTA_E2E_DPI:-96}
export WINEPREFIX=$build/wineprefix-e2e-${lang%%.*}
[[ $dpi == 96 ]] || WINEPREFIX+=-dpi$dpi
"$src/tools/wine-prefix.sh" "$WINEPREFIX"
if [[ $dpi != 96 ]]; then
  # Where Wine reads the display's scale (winecfg's "Screen resolution").
  "$src/tools/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
    /d "$dpi" /f >/dev/null
  "$src/tools/wine-run.sh" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
fi

work=$(mktemp -d /tmp/pikrotta-e2e-XXXXXX)
trap 'rm -rf "$work"' EXIT
win() { local p=$1; echo "Z:${p//\//\\}"; }
sjis() { iconv -f UTF-8 -t CP932; }

today=$(date +%Y%m%d)
mkdir -p "$work/tool" "$work/jwcad/BAK/$today-1" "$work/jwcad/BAK/$today-2" \
  "$work/drawing/images" "$work/drawing/図面" "$work/drawing/表" "$work/drawing/old"
touch -d '1 hour ago' "$work/jwcad/BAK/$today-1"
for f in drawing/abs.bmp drawing/images/p.bmp drawing/図面/図.bmp drawing/表/ソ.bmp \
         "jwcad/BAK/$today-2/t1.bmp" jwcad/Jw_win.exe; do
  echo x > "$work/$f"
done
# Where two missing pictures went: the list's menu copies them back.
printf 'the lost q' > "$work/drawing/old/q.bmp"
printf 'the lost one' > "$work/drawing/old/nothere.bmp"
cp "$build/src/win32/pikrotta.exe" "$work/tool/"

drawing=$(win "$work/drawing")
jwcad=$(win "$work/jwcad")
printf '[JW_WIN]\r\nAutoSaveDir = %s\\BAK\r\nEND\r\n' "$jwcad" | sjis > "$work/jwcad/jw_win.jwf"
cat <<TEXT | sed 's/$/\r/' | sjis > "$work/tool/JWC_TEMP.TXT"
file=$drawing\\plan.jww
lc2
0 0 200 0
200 0 200 160
200 160 0 160
0 160 0 0
ci 100 80 30
ch 10 10 40 0 ^@BM$drawing\\abs.bmp,30,20
ch 60 10 40 0 ^@BM$drawing\\nothere.bmp,30,20
ch 10 40 40 0 ^@BMimages\\p.bmp,30,20
ch 60 40 40 0 ^@BMimages\\q.bmp,30,20
ch 110 40 40 0 ^@BM%temp%\\t1.bmp,30,20
ch 160 40 40 0 ^@BM%TEMP%\\t1.bmp,30,20
ch 10 70 40 0 ^@BM\\\\server\\share\\n.bmp,30,20
ch 60 70 40 0 ^@BM,30,20
ch 110 100 40 0 ^@BM図面\\図.bmp,30,20
ch 160 100 40 0 ^@BM表\\ソ.bmp,30,20
msg
100 130 110 140
cs 100 130 40 0 ^@BMframed.bmp,10
TEXT
cat <<ROWS > "$work/rows.txt"
画像参照文字数：10
$drawing\\abs.bmp　○
$drawing\\nothere.bmp　×
images\\p.bmp　○
images\\q.bmp　×
%temp%\\t1.bmp　○
%TEMP%\\t1.bmp　×
\\\\server\\share\\n.bmp　×※
　　？
図面\\図.bmp　○
表\\ソ.bmp　○
ROWS

"$src/tools/wine-run.sh" reg add 'HKCR\Jwwin.Document\shell\open\command' /ve \
  /d "\"$jwcad\\Jw_win.exe\" \"%1\"" /f >/dev/null
status=0
"$src/tools/wine-run.sh" "$build/tests/e2e/window_driver.exe" "$(win "$work/tool/pikrotta.exe")" \
  "$(win "$work/rows.txt")" "$(win "$work/shot.bmp")" "$drawing\\plan.jww" \
  "$jwcad\\Jw_win.exe" "$today-2" "$dpi" || status=$?
[[ -n $shot && -f $work/shot.bmp ]] && convert "$work/shot.bmp" "$shot"
[[ -n $shot && -f $work/shot-menu.bmp ]] && convert "$work/shot-menu.bmp" "${shot%.*}-menu.png"
exit $status
