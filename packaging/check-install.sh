#!/usr/bin/env bash
# Installs a build into a scratch prefix and checks the tree a package is made from: exactly the
# files a user should get, the menu entry and the metainfo naming what was installed, each icon of the size its
# folder says and the scalable one able to scale, the installed search and manual pages working
# from there and naming one version.
#   check-install.sh CMAKE BUILD_DIR WINDOW   (WINDOW: 1 when the window program was built)
set -euo pipefail
cmake_program=$1
build=$2
window=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
status=0
fail() {
    echo "$*" >&2
    status=1
}

"$cmake_program" --install "$build" --prefix "$prefix" >/dev/null

programs=(bin/bukvotok-search)
pages=(share/man/man1/bukvotok-search.1.gz)
icon_sizes=(16 32 48 256)
if [ "$window" = 1 ]; then
    programs+=(bin/bukvotok)
    pages+=(share/man/man1/bukvotok.1.gz share/man/ru/man1/bukvotok.1.gz)
fi
expected=("${pages[@]}" share/doc/bukvotok/copyright share/doc/bukvotok/changelog.gz)
if [ "$window" = 1 ]; then
    expected+=(share/applications/bukvotok.desktop share/metainfo/ru.bukvotok.bukvotok.metainfo.xml)
    for size in "${icon_sizes[@]}"; do
        expected+=("share/icons/hicolor/${size}x${size}/apps/bukvotok.png")
    done
    expected+=(share/icons/hicolor/scalable/apps/bukvotok.svg)
fi
expected+=("${programs[@]}")
# Anything more, a test program or a static library, would end up in the package too.
if ! diff <(printf '%s\n' "${expected[@]}" | sort) \
    <(cd "$prefix" && find . -type f -printf '%P\n' | sort); then
    fail "the installed files differ from those expected (< expected, > installed)"
fi

for program in "${programs[@]}"; do
    [ -x "$prefix/$program" ] || fail "$program is not executable"
done

if [ "$window" = 1 ]; then
    entry=$prefix/share/applications/bukvotok.desktop
    exec_line=$(sed -n 's/^Exec=//p' "$entry")
    [ -x "$prefix/bin/${exec_line%% *}" ] || fail "the menu entry starts '$exec_line', not an installed program"
    # A software centre finds the program to start through the metainfo's desktop entry.
    launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' \
        "$prefix/share/metainfo/ru.bukvotok.bukvotok.metainfo.xml")
    [ -f "$prefix/share/applications/$launchable" ] ||
        fail "the metainfo launches '$launchable', not an installed menu entry"
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [ -f "$prefix/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "the menu entry's icon '$icon' is not installed"
    for size in "${icon_sizes[@]}"; do
        file=$prefix/share/icons/hicolor/${size}x${size}/apps/bukvotok.png
        [ -f "$file" ] || continue
        # A PNG's width and height are the two big-endian words after its signature and the
        # IHDR chunk's length and type.
        mapfile -t header < <(od -An -tu1 -v -N24 "$file" | tr -s ' ' '\n' | grep .)
        signature="${header[*]:0:8}"
        width=$(((header[16] << 24) | (header[17] << 16) | (header[18] << 8) | header[19]))
        height=$(((header[20] << 24) | (header[21] << 16) | (header[22] << 8) | header[23]))
        [ "$signature" = "137 80 78 71 13 10 26 10" ] || fail "$file is not a PNG"
        [ "$width" = "$size" ] && [ "$height" = "$size" ] ||
            fail "$file is ${width}x${height}, in the folder for ${size}x${size}"
    done
    svg=$prefix/share/icons/hicolor/scalable/apps/bukvotok.svg
    # Without a viewBox a renderer draws the SVG at its own width and height, whatever size
    # the desktop asks for.
    if [ -f "$svg" ] && ! grep -q '<svg[^>]* viewBox=' "$svg"; then
        fail "$svg has no viewBox, so it does not scale"
    fi
fi

# The installed search, not the one in the build tree, on a dictionary of the one word "а".
dictionary=$prefix/a.txt
printf '\xe0\r\n' >"$dictionary"
found=$("$prefix/bin/bukvotok-search" --passes 10 --utf8 "$dictionary") ||
    fail "the installed bukvotok-search failed"
[ "$found" = " а" ] || fail "the installed bukvotok-search found '$found', not ' а'"

# Every page carries the version the program reports, both taken from the project's.
version=$("$prefix/bin/bukvotok-search" --version | sed -n 's/^bukvotok-search //p')
[ -n "$version" ] || fail "bukvotok-search --version names no version"
for page in "${pages[@]}"; do
    zcat "$prefix/$page" | grep -q "^\.TH .* \"Bukvotok $version\"" ||
        fail "$page does not name version $version"
done
if command -v man >/dev/null; then
    # The English pages must read whole in the C locale, where man sets them in ASCII (a
    # minimal system's login shell); the Russian page in a UTF-8 locale.
    for page in "${pages[@]}"; do
        locale=C
        [[ $page == */ru/* ]] && locale=C.UTF-8
        warnings=$(LC_ALL=$locale MANWIDTH=80 man --warnings -l "$prefix/$page" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "$page draws warnings in the $locale locale: $warnings"
    done
    rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$prefix/${pages[0]}" 2>/dev/null)
    for heading in NAME SYNOPSIS OPTIONS "EXIT STATUS" SIGNALS EXAMPLES; do
        grep -qx "$heading" <<<"$rendered" || fail "the manual page has no $heading section"
    done
fi

grep -q '^License: Expat$' "$prefix/share/doc/bukvotok/copyright" ||
    fail "the copyright file names no licence for the project"

exit $status
