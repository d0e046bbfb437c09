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

# For the tests, the benchmarks and the screenshots: GoogleTest and Google Benchmark, the window
# under Xvfb and under a window manager (openbox, measured with x11-utils' xwininfo and xprop),
# the checks of the menu entry and manual pages, dpkg-shlibdeps for the Debian package
# (cpack -G DEB), and clang with its libFuzzer for the short fuzz run.
BUKVOTOK_TEST_PACKAGES=(
    libgtest-dev libbenchmark-dev
    xvfb xauth xdotool fonts-dejavu-core imagemagick openbox x11-utils
    desktop-file-utils man-db dpkg-dev
    clang libclang-rt-dev
)

EnsurePackages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages: ${missing[*]}" >&2
        echo "Install them, then run $0 again:" >&2
        echo "    sudo apt-get install --no-install-recommends ${missing[*]}" >&2
        return 1
    fi
    echo "Installing ${missing[*]}" >&2
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
