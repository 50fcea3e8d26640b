#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks that the installed programs, run from an
# unrelated folder, find their own data there: every texture of the default library resolves
# (no Marble fall-backs), and the launcher, icons, file types and help pages are in place.
#   install_test.sh BUILD_DIR
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
elsewhere="$(mktemp -d)"
trap 'rm -rf "$prefix" "$elsewhere"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
data="$prefix/share/quorvel"
for file in bin/quorvel bin/quorvel-render share/applications/quorvel.desktop \
    share/mime/packages/quorvel.xml share/icons/hicolor/256x256/apps/quorvel.png \
    share/icons/hicolor/48x48/apps/quorvel.png share/quorvel/sphere.par \
    share/quorvel/default.qlb share/quorvel/tips.txt share/quorvel/link.html \
    share/quorvel/help/contents.html share/quorvel/help/index.html; do
    [ -e "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
[ "$(stat -c %s "$data/sphere.par")" -eq 244376 ] || { echo "sphere.par has the wrong size"; exit 1; }
desktop-file-validate "$prefix/share/applications/quorvel.desktop"

cd "$elsewhere"
mkdir thumbs
HOME="$elsewhere" "$prefix/bin/quorvel" --version
HOME="$elsewhere" "$prefix/bin/quorvel-render" --library "$data/default.qlb" --thumbnail \
    --out-dir thumbs -q 2>notes.txt
# The stored paths are bare names, so each texture must come from the installed data folder.
if grep -v "used $data/" notes.txt; then
    echo "the installed program did not find every library texture in $data"
    exit 1
fi
entries=$(( ($(stat -c %s "$data/default.qlb") - 2) / 160 ))
thumbnails=$(ls thumbs | wc -l)
[ "$thumbnails" -eq "$entries" ] || { echo "$thumbnails thumbnails for $entries entries"; exit 1; }
echo "installed into $prefix: $entries library textures found"
