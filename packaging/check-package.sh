#!/usr/bin/env bash
# Makes the Debian package with the README's command, `cpack -G DEB` in the build folder, and
# checks what it holds: the programs, and dependencies that dpkg-shlibdeps worked out, which
# needs the `file` and `dpkg-dev` packages.
#   check-package.sh CPACK BUILD_DIR VERSION WINDOW   (WINDOW: 1 when the window program was built)
set -euo pipefail
cpack_program=$1
build=$2
version=$3
window=$4
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
fail() {
    echo "$*" >&2
    status=1
}

cd "$build"
package=bukvotok_${version}_$(dpkg --print-architecture).deb
rm -f "$package"
if ! "$cpack_program" -G DEB >"$log" 2>&1; then
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
exit $status
