# Sourced by ./run and ./test: installs what the build needs when it is missing,
# then configures and builds a tree. Works on a fresh Debian machine.

TABULON_PACKAGES=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev
                  qt6-base-dev libgl-dev fonts-dejavu-core nginx
                  desktop-file-utils appstream dpkg-dev file libxlsxwriter-dev
                  libgmime-3.0-dev libxml2-dev)
# Only ./test needs these: the table tests read what they wrote back through
# Python's csv and json modules and openpyxl.
TABULON_TEST_PACKAGES=(python3 python3-openpyxl)

tabulon_ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing ${missing[*]}..."
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# tabulon_build DIR [CMAKE OPTION...] -- [TARGET...]
tabulon_build() {
    local dir=$1
    shift
    local options=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    targets=("$@")
    cmake -S . -B "$dir" -G Ninja "${options[@]}" >/dev/null
    if [ ${#targets[@]} -gt 0 ]; then
        cmake --build "$dir" --parallel 2 --target "${targets[@]}"
    else
        cmake --build "$dir" --parallel 2
    fi
}
