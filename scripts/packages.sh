# Sourced by the scripts: installs the Debian packages the project needs, once, when missing.

# To build the programs.
BUKVOTOK_BUILD_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
)

# For the window at run time: Qt's dialogs in Russian, the window's font (it stands in for
# "MS Sans Serif"), and xdg-open, through which the two links open.
BUKVOTOK_RUN_PACKAGES=(
    qt6-translations-l10n fonts-liberation2 xdg-utils
)

# For the tests and the benchmarks: GoogleTest and Google Benchmark, the window under Xvfb and
# under a window manager (openbox, measured with x11-utils' xwininfo and xprop), the checks of
# the menu entry, the metainfo (appstreamcli) and manual pages, the Debian package (cpack -G DEB:
# dpkg-shlibdeps, which needs `file`), and clang with its libFuzzer for the short fuzz run.
BUKVOTOK_TEST_PACKAGES=(
    libgtest-dev libbenchmark-dev
    xvfb xauth xdotool fonts-dejavu-core openbox x11-utils
    desktop-file-utils appstream man-db dpkg-dev file
    clang libclang-rt-dev
)

# To build the Windows programs and their packages (scripts/build-windows): the mingw-w64 cross
# compilers, NSIS for the installers, and icoutils' icotool for the programs' icon.
BUKVOTOK_WINDOWS_PACKAGES=(
    cmake ninja-build g++-mingw-w64-x86-64 g++-mingw-w64-i686 nsis icoutils
)

# To test them (scripts/build-windows --tests, and scripts/test): GoogleTest's sources, wine64
# to run the 64-bit programs, tests and installer, unzip for the portable ZIP, file, an X screen
# and xdotool for the window program, and a 32-bit static Linux build of the core's tests under
# qemu-i386.
BUKVOTOK_WINDOWS_TEST_PACKAGES=(
    libgtest-dev wine wine64 unzip file xvfb xauth xdotool g++-multilib qemu-user-static
)

# Where apt-get's output goes: read it when an install fails.
BUKVOTOK_INSTALL_LOG=$PWD/build/install.log

# "1 Debian package", "23 Debian packages".
CountPackages() {
    [ "$1" -eq 1 ] && echo "1 Debian package" || echo "$1 Debian packages"
}

# Prints those of the packages given that are not installed, each once.
MissingPackages() {
    local package
    local -A named=()
    for package in "$@"; do
        [ -z "${named[$package]:-}" ] || continue
        named[$package]=1
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
            echo "$package"
        fi
    done
}

EnsurePackages() {
    local missing
    mapfile -t missing < <(MissingPackages "$@")
    [ ${#missing[@]} -eq 0 ] && return 0
    local install="apt-get install --no-install-recommends ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        # A minimal Debian has no sudo: su asks for root's password instead.
        echo "Missing Debian packages: ${missing[*]}" >&2
        echo "Install them as root, then run $0 again:" >&2
        echo "    su -c '$install'" >&2
        if command -v sudo >/dev/null; then
            echo "or, with sudo:" >&2
            echo "    sudo $install" >&2
        fi
        return 1
    fi
    mkdir -p "$(dirname "$BUKVOTOK_INSTALL_LOG")"
    echo "Installing $(CountPackages ${#missing[@]}) and what they need (apt-get's output: $BUKVOTOK_INSTALL_LOG)" >&2
    if ! { apt-get update &&
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
    } >"$BUKVOTOK_INSTALL_LOG" 2>&1; then
        tail -n 15 "$BUKVOTOK_INSTALL_LOG" >&2
        echo "Installing the packages failed; apt-get's whole output is in $BUKVOTOK_INSTALL_LOG" >&2
        return 1
    fi
}
