#!/bin/bash
# Renders the main dialog, the installation dialog, the About box and the
# first page of the Windows installer in Japanese and English on the private
# X display, as PNG files in docs/ (or in the folder given): main_ja.png,
# main_en.png, install_ja.png, ..., installer_en.png. The installer is
# cancelled on that page.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
out=${1:-$TANDREL_ROOT/docs}
mkdir -p "$out"
out=$(cd "$out" && pwd)
"$TANDREL_ROOT/scripts/build.sh" >/dev/null
ensure_wine
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
status=0
wine "$BUILD_DIR/bin/ui_screenshots.exe" "$(winepath -w "$shots")" </dev/null || status=$?
for bmp in "$shots"/*.bmp; do
    [ -f "$bmp" ] || continue
    name=$(basename "${bmp%.bmp}").png
    /usr/bin/convert "$bmp" "$out/$name"
    echo "$out/$name"
done
quiet_wine wineserver -k || true
exit $status
