# Sourced by the run and test commands: installs the Debian packages a command
# needs, or says exactly what to install when it cannot.

# kp_require_packages PACKAGE...
kp_require_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Kestrelpad needs these Debian packages. Install them as root, then run this again:" >&2
        echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" >/dev/null 2>&1; then
        apt-get update -q >/dev/null 2>&1 || true
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" >/dev/null ||
            { echo "apt-get could not install: ${missing[*]}" >&2; exit 1; }
    fi
}

# The ja_JP.UTF-8 locale must exist before a Wine prefix is made, or Wine
# quietly falls back to code page 1252.
kp_require_japanese_locale() {
    if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
        if [ "$(id -u)" -ne 0 ]; then
            echo "Kestrelpad needs the ja_JP.UTF-8 locale. As root run:" >&2
            echo "  localedef -i ja_JP -f UTF-8 ja_JP.UTF-8" >&2
            exit 1
        fi
        localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
    fi
}

KP_WINE_PACKAGES=(mingw-w64 wine wine64 locales fonts-ipafont-gothic fonts-ipafont-mincho ghostscript cmake make)
KP_TEST_PACKAGES=(cmake make g++ googletest libgtest-dev libbenchmark-dev xvfb xdotool imagemagick x11-utils)
