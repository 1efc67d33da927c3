#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the layout, validates the desktop entry and the
# metainfo, and starts the installed program with a fresh HOME: its files must land under HOME only.
#   check_install.sh <build dir>
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

id=org.halvora.Halvora
expected="bin/halvora
share/applications/$id.desktop
share/doc/halvora/copyright
share/halvora/SPG1.jpg
share/halvora/SPG2.jpg
share/halvora/spm1.mp3
share/halvora/スタート1.bmp
share/halvora/スタート2.bmp
share/halvora/スタート3.bmp
share/halvora/スタート4.bmp
share/halvora/操作説明.txt
share/icons/hicolor/128x128/apps/$id.png
share/icons/hicolor/256x256/apps/$id.png
share/icons/hicolor/48x48/apps/$id.png
share/icons/hicolor/64x64/apps/$id.png
share/icons/hicolor/scalable/apps/$id.svg
share/metainfo/$id.metainfo.xml"
layout() { (cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort); }
diff <(echo "$expected" | LC_ALL=C sort) <(layout)

desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null

# The installed program, even where it could write beside itself, keeps its files in HOME.
home=$work/home
mkdir "$home"
before=$(cd "$prefix" && find . | LC_ALL=C sort)
env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" QT_QPA_PLATFORM=offscreen HALVORA_QUIT_WHEN_IDLE=1 \
    "$prefix/bin/halvora" </dev/null
[ "$before" = "$(cd "$prefix" && find . | LC_ALL=C sort)" ] || { echo "the program wrote into $prefix" >&2; exit 1; }
data=$home/.local/share/Halvora
for f in Halvora.ini Halvora.env 操作説明.txt Sample/spm1.mp3 Sample/スタート4.bmp; do
    [ -f "$data/$f" ] || { echo "missing $data/$f" >&2; exit 1; }
done
[ -d "$data/History" ]
grep -q "^DataFilePath=$data/" "$data/Halvora.ini"
echo "install: ok"
