#!/usr/bin/env bash
# Puts the Marlett font into the Wine prefix $WINEPREFIX. Wine draws the
# caption buttons with it; without it a fresh prefix shows the letter "r"
# where the close box's cross belongs, in screenshots too.
font=/usr/share/wine/fonts/marlett.ttf
fonts_dir="$WINEPREFIX/drive_c/windows/Fonts"
if [ -f "$font" ] && [ -d "$fonts_dir" ] && [ ! -f "$fonts_dir/marlett.ttf" ]; then
  cp "$font" "$fonts_dir/"
fi
