#!/usr/bin/env bash
# Refreshes the screenshots in docs/ of Kairon's main dialog and About box,
# as Windows draws them: Kairon.exe runs under Wine in a virtual desktop
# (which gives windows their frames and caption bars) on a private Xvfb,
# the GUI driver opens the About box, and ImageMagick takes each window
# from the screen. kairon-time writes the config.txt that fills the dialog
# in. Builds nothing.
#
#   scripts/screenshots.sh [BUILD_DIR_OR_KAIRON_EXE]
#
# The default is the build this host runs (build/windows, or build/windows64
# where 32-bit programs cannot start); the GUI driver is taken from the tools/
# folder beside Kairon.exe, kairon-time from its console/ folder. Writes docs/main-dialog.png and
# docs/about-box.png.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

export KAIRON_WINEPREFIX="${KAIRON_SCREENSHOT_WINEPREFIX:-$root/build/screenshots-wineprefix}"
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
kairon_require_wine

target="${1:-$KAIRON_WINE_BUILD}"
if [ -d "$target" ]; then
    kairon="$target/Kairon.exe"
else
    kairon="$target"
fi
build="$(cd "$(dirname "$kairon")" && pwd)"
kairon="$build/$(basename "$kairon")"
driver="$build/tools/gui_driver.exe"
kairon_time="$build/console/kairon-time.exe"
for file in "$kairon" "$driver" "$kairon_time"; do
    [ -f "$file" ] || { echo "screenshots: $file is missing; build the Windows preset first" >&2; exit 1; }
done
command -v import >/dev/null || { echo "screenshots: ImageMagick's import is missing" >&2; exit 1; }

desktop_size=800x600
work="$(mktemp -d)"
finish() {
    kairon_session_end
    rm -rf "$work"
}
trap finish EXIT
kairon_start_xvfb 1024x768

kairon_wine_stop
kairon_prefix_ready
# Programs started without naming a desktop (the driver) join this one.
kairon_virtual_desktop kairon "$desktop_size"

# A filled-in dialog, as a user would see it before pressing Run App.
cd "$work"
wine "$kairon_time" --save-config config.txt --attended --window Editor --input-idle --visible \
    --new-only --runs 10 --delay 5000 --log 'C:\Logs\results.txt' 'C:\Apps\editor.exe' </dev/null

wine explorer "/desktop=kairon,$desktop_size" "$kairon" </dev/null >/dev/null 2>&1 &
drive() { wine "$driver" "$@" </dev/null 2>/dev/null; }

# The virtual desktop is the X window at the top left of the screen, so its
# coordinates are the screen's.
rect_of() { sed -n "s/^$1 rect: //p"; }
crop() {
    local left top right bottom
    read -r left top right bottom
    echo "$((right - left))x$((bottom - top))+$left+$top"
}

drive find 20000 >/dev/null
drive move 40 40 >/dev/null
sleep 1
dialog_geometry=$(drive rect | rect_of dialog | crop)
mkdir -p "$root/docs"
import -window root -crop "$dialog_geometry" +repage "$root/docs/main-dialog.png"

about_geometry=$(drive about-open | rect_of about | crop)
sleep 1
import -window root -crop "$about_geometry" +repage "$root/docs/about-box.png"

echo "wrote docs/main-dialog.png ($dialog_geometry) and docs/about-box.png ($about_geometry)"
