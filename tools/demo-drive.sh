# Sourced by the demo scripts: the bundled Jw_cad folder copied to a scratch folder that
# stands for drive C:, with today's temporary folder of images kept inside the drawing.
cd "$(dirname "${BASH_SOURCE[0]}")/.."
cli=${PIKROTTA_CLI:-build/release/src/cli/pikrotta-cli}
drive=$(mktemp -d)
trap 'rm -rf "$drive"' EXIT
cp -r examples/demo/drive-c/. "$drive"
temp="$drive/JWW/BAK/$(date +%Y%m%d)-1"
mkdir -p "$temp"
cp examples/demo/jwtmp0001.bmp "$temp/jwtmp0001.bmp"
demo_args=(examples/demo/JWC_TEMP.TXT --jwcad 'C:\JWW\Jw_win.exe' --drive "C:=$drive")
