#!/usr/bin/env bash
# Makes the Debian package with the README's command, `cpack -G DEB` in the build folder, and
# checks what it holds: the programs, dependencies that dpkg-shlibdeps worked out, which needs
# the `file` and `dpkg-dev` packages, and files dated from the source, not from the build.
#   check-package.sh CPACK BUILD_DIR VERSION WINDOW SOURCE_DATE_EPOCH
#   (WINDOW: 1 when the window program was built)
set -euo pipefail
cpack_program=$1
build=$2
version=$3
window=$4
source_date=$5
log=$(mktemp)
# The package goes to a scratch folder: the one it is made with a strict umask, which shows in
# the modes of its archive members, is not the one a user makes.
scratch=$(mktemp -d)
trap 'rm -rf "$log" "$scratch"' EXIT
status=0
fail() {
    echo "$*" >&2
    status=1
}

cd "$build"
package=$scratch/bukvotok_${version}_$(dpkg --print-architecture).deb
# With the strictest umask, which must not show in the files and folders the package holds.
if ! (umask 077 && env -u SOURCE_DATE_EPOCH "$cpack_program" -G DEB -B "$scratch") >"$log" 2>&1; then
    cat "$log" >&2
    echo "cpack -G DEB failed in $build" >&2
    exit 1
fi
[ -f "$package" ] || { cat "$log" >&2; echo "cpack -G DEB wrote no $package" >&2; exit 1; }

programs=(./usr/bin/bukvotok-search)
# What dpkg-shlibdeps finds for the programs, and what the package names itself.
depends=(libc6)
if [ "$window" = 1 ]; then
    programs+=(./usr/bin/bukvotok)
    depends+=(libqt6widgets6 qt6-qpa-plugins fonts-liberation2)
fi
contents=$(dpkg-deb --contents "$package" | awk '{print $NF}')
for program in "${programs[@]}"; do
    grep -qx "$program" <<<"$contents" || fail "$package holds no $program"
done
field=$(dpkg-deb --field "$package" Depends)
for dependency in "${depends[@]}"; do
    grep -qE "(^|, )$dependency( |,|$)" <<<"$field" ||
        fail "$package does not depend on $dependency: Depends: $field"
done
# Two builds of one commit make the same package only if nothing in it carries the time it
# was made or the umask of who made it (packaging/check-reproducible.sh builds twice and
# compares).
expected_time=$(date -u -d "@$source_date" '+%Y-%m-%d %H:%M:%S')
for part in ctrl fsys; do
    listing=$(dpkg-deb "--$part-tarfile" "$package" | TZ=UTC tar -tv --full-time)
    times=$(awk '{print $4, $5}' <<<"$listing" | sort -u)
    [ "$times" = "$expected_time" ] ||
        fail "the package's $part tar has files dated $(echo $times), not $expected_time"
done
modes=$(dpkg-deb --fsys-tarfile "$package" | tar -tv | awk '{print $1}' | sort -u | tr '\n' ' ')
[ "$modes" = "-rw-r--r-- -rwxr-xr-x drwxr-xr-x " ] ||
    fail "the package's files and folders have the modes $modes, not 644, 755 and folders 755"
exit $status
