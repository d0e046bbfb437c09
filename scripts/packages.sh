# Sourced by the scripts: installs the Debian packages the project needs, once, when missing.

# Build, test and run dependencies, all from Debian's archive.
# dpkg-dev computes the Debian package's dependencies (cpack -G DEB).
BUKVOTOK_PACKAGES=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libbenchmark-dev
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
    xvfb xauth xdotool fonts-dejavu-core fonts-liberation2 imagemagick
    desktop-file-utils man-db dpkg-dev
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
        echo "Install them as root: apt-get install ${missing[*]}" >&2
        return 1
    fi
    echo "Installing ${missing[*]}" >&2
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
