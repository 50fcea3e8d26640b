#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks that the installed programs, run from an
# unrelated folder, find their own data there: every texture of the default library resolves
# (no Marble fall-backs), and the launcher, icons, file types and help pages are in place.
#   install_test.sh BUILD_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
source_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
prefix="$(mktemp -d)"
elsewhere="$(mktemp -d)"
trap 'rm -rf "$prefix" "$elsewhere"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
data="$prefix/share/quorvel"
for file in bin/quorvel bin/quorvel-render share/applications/quorvel.desktop \
    share/mime/packages/quorvel.xml share/icons/hicolor/256x256/apps/quorvel.png \
    share/icons/hicolor/48x48/apps/quorvel.png share/quorvel/sphere.par \
    share/quorvel/default.qlb share/quorvel/tips.txt share/quorvel/link.html \
    share/quorvel/help/contents.html share/quorvel/help/index.html \
    share/metainfo/org.quorvel.quorvel.metainfo.xml share/thumbnailers/quorvel.thumbnailer \
    share/man/man1/quorvel.1 share/man/man1/quorvel-render.1 share/mime/mime.cache; do
    [ -e "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
[ "$(stat -c %s "$data/sphere.par")" -eq 244376 ] || { echo "sphere.par has the wrong size"; exit 1; }
desktop-file-validate "$prefix/share/applications/quorvel.desktop"

cd "$elsewhere"
mkdir thumbs
HOME="$elsewhere" "$prefix/bin/quorvel" --version
HOME="$elsewhere" "$prefix/bin/quorvel-render" --library "$data/default.qlb" --thumbnail \
    --out-dir thumbs -q 2>notes.txt
# The stored paths are bare names: each texture must come from the installed data folder, with
# no note, or a fall-back to the Marble defaults would say so.
if grep -v "used $data/" notes.txt; then
    echo "the installed program did not find every library texture in $data"
    exit 1
fi
entries=$(( ($(stat -c %s "$data/default.qlb") - 2) / 160 ))
thumbnails=$(ls thumbs | wc -l)
[ "$thumbnails" -eq "$entries" ] || { echo "$thumbnails thumbnails for $entries entries"; exit 1; }

# Software centres: the metainfo validates; manual pages: every option --help lists is there,
# and they render without a warning.
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --pedantic \
        "$prefix/share/metainfo/org.quorvel.quorvel.metainfo.xml"
fi
for program in quorvel quorvel-render; do
    page="$prefix/share/man/man1/$program.1"
    # Read once, not piped into grep -q: grep leaving at the first match would end the writer
    # with SIGPIPE, which pipefail reports as a missing option.
    text=$(tr -d '\\' <"$page")
    for option in $("$prefix/bin/$program" --help | grep -oE '(^|[ ,])-{1,2}[A-Za-z][a-z-]*' |
        tr -d ' ,' | sort -u); do
        grep -q -- "$option" <<<"$text" || { echo "$program.1 lacks $option"; exit 1; }
    done
    if command -v man >/dev/null; then
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
        [ -z "$warnings" ] || { echo "$program.1: $warnings"; exit 1; }
    fi
done

# File managers: the thumbnailer's own command line makes a PNG within the size asked for.
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/thumbnailers/quorvel.thumbnailer")
exec_line=${exec_line//%i/$data/warm-wood.qvl}
exec_line=${exec_line//%s/128}
exec_line=${exec_line//%o/$elsewhere/thumbnail}
PATH="$prefix/bin:$PATH" sh -c "$exec_line"
size=$(od -An -tu1 -j16 -N8 "$elsewhere/thumbnail" | tr -s ' ')
[ "$(head -c 8 "$elsewhere/thumbnail" | od -An -tx1 | tr -d ' ')" = "89504e470d0a1a0a" ] ||
    { echo "the thumbnail is no PNG"; exit 1; }
read -r _ _ w1 w2 _ _ h1 h2 <<<"$size"
[ $((w1 * 256 + w2)) -le 128 ] && [ $((h1 * 256 + h2)) -le 128 ] &&
    [ $((w1 * 256 + w2)) -eq 128 -o $((h1 * 256 + h2)) -eq 128 ] ||
    { echo "the thumbnail is $((w1 * 256 + w2)) x $((h1 * 256 + h2))"; exit 1; }
# Every icon size and the scalable icon are installed, and the icons in the tree are what their
# one source makes.
for size in 16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256; do
    [ -e "$prefix/share/icons/hicolor/$size/apps/quorvel.png" ] || { echo "no $size icon"; exit 1; }
done
[ -e "$prefix/share/icons/hicolor/scalable/apps/quorvel.svg" ] || { echo "no scalable icon"; exit 1; }
"$build/tools/icons/quorvel-icons" "$source_root/res" "$elsewhere"
for made in "$elsewhere"/quorvel-*.png "$elsewhere/quorvel.svg"; do
    cmp -s "$made" "$source_root/res/icons/$(basename "$made")" ||
        { echo "res/icons/$(basename "$made") is not what tools/icons makes"; exit 1; }
done
# The file types resolve right after the install.
grep -q "application/x-quorvel-texture" "$prefix/share/mime/globs2" ||
    { echo "update-mime-database did not run"; exit 1; }
echo "installed into $prefix: $entries library textures found"
