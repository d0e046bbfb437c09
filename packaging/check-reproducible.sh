#!/usr/bin/env bash
# Checks that the Debian package is reproducible: two clean clones of one commit, in folders of
# different names and depths, built one after the other in different time zones and locales,
# must give byte-identical packages.  Prints both packages' SHA-256 sums and leaves them in
# build/reproducible/.  Both builds run with umask 022, Debian's default: cpack records the modes
# of the package's three archive members from the files it writes, so the umask shows there
# (and only there: the files and folders inside are 644 and 755 whatever it is).
#
#   packaging/check-reproducible.sh [--windows] [COMMIT]      (default: HEAD)
#
# With --windows, the same for the Windows installers and ZIPs of both targets (what
# scripts/build-windows makes); a ZIP also records the user who packed it, so compare packages
# one user made.
#
# What is checked is the commit, not the working tree: commit first.  Needs what scripts/run
# installs, with dpkg-dev and file for cpack (or what scripts/build-windows installs), and takes
# two optimised builds without the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
repository=$PWD
windows=
if [ "${1:-}" = --windows ]; then
    windows=1
    shift
fi
commit=$(git rev-parse --verify "${1:-HEAD}^{commit}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
kept=$repository/build/reproducible
rm -rf "$kept"
mkdir -p "$kept"

echo "check-reproducible: commit $(git log -1 --format='%h, %cd' --date=iso-strict "$commit")"
# Build NAME FOLDER TZ LOCALE: a fresh clone of the commit in FOLDER, configured, built and
# packed as the README says, with cpack's own dates (no SOURCE_DATE_EPOCH from outside).
Build() {
    local name=$1 folder=$2
    local log=$kept/$name.log
    echo "check-reproducible: $name build in $folder (TZ=$3, LC_ALL=$4)"
    git clone --quiet --no-local --no-checkout "$repository" "$folder"
    git -C "$folder" checkout --quiet --detach "$commit"
    if ! (
        cd "$folder"
        umask 022
        export TZ=$3 LC_ALL=$4
        unset SOURCE_DATE_EPOCH
        for preset in "${presets[@]}"; do
            cmake --preset "$preset" -DBUKVOTOK_BUILD_TESTS=OFF &&
                cmake --build --preset "$preset" -j 2 &&
                (cd "build/$preset" && cpack "${cpack_options[@]}") || exit
        done
    ) >"$log" 2>&1; then
        tail -n 20 "$log" >&2
        echo "check-reproducible: the $name build failed; its whole output is in $log" >&2
        exit 1
    fi
    mkdir -p "$kept/$name"
    local preset packages
    for preset in "${presets[@]}"; do
        packages=$(shopt -s nullglob && echo "$folder/build/$preset"/bukvotok[_-]*.{deb,exe,zip})
        [ -n "$packages" ] || { echo "check-reproducible: the $name build made no package in build/$preset" >&2; exit 1; }
        cp $packages "$kept/$name/"
    done
}
if [ -n "$windows" ]; then
    presets=(windows-x86_64 windows-i686)
    cpack_options=()
else
    presets=(release)
    cpack_options=(-G DEB)
fi
Build first "$work/a/bukvotok" UTC C
Build second "$work/second-clone/of/the/same/commit" Asia/Vladivostok C.UTF-8

cd "$kept"
sha256sum first/* second/*
differ=
for package in first/*; do
    cmp -s "$package" "second/${package#first/}" || differ="$differ ${package#first/}"
done
if [ -z "$differ" ] && [ "$(ls first)" = "$(ls second)" ]; then
    echo "check-reproducible: the two builds' packages are identical"
    exit 0
fi
if [ -n "$windows" ]; then
    echo "check-reproducible: these packages differ:$differ" >&2
    exit 1
fi
first=$(echo first/*.deb)
second=$(echo second/*.deb)
# Which members and files differ, as a start for diffoscope.
echo "check-reproducible: the two packages differ" >&2
for side in first second; do
    mkdir -p "$work/$side/control" "$work/$side/data"
    dpkg-deb --ctrl-tarfile "$side"/*.deb | tar -x -C "$work/$side/control"
    dpkg-deb --fsys-tarfile "$side"/*.deb | tar -x -C "$work/$side/data"
    dpkg-deb --fsys-tarfile "$side"/*.deb | TZ=UTC tar -tv --full-time >"$work/$side/listing"
done
diff -r "$work/first/control" "$work/second/control" >&2 || true
diff -r "$work/first/data" "$work/second/data" >&2 || true
diff "$work/first/listing" "$work/second/listing" >&2 || true
exit 1
