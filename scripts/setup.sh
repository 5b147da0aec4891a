# Sourced by ./run and ./test: installs what the build needs when it is missing,
# then configures and builds a tree. Works on a fresh Debian machine.

# Building and running: the compiler and build tools, Qt, the mail, HTML and
# workbook libraries (minizip unpacks a workbook that --new-only adds to, zlib
# measures the progress of writing one),
# libcurl for IMAP mailboxes, QtKeychain for a mailbox password kept in the
# desktop's keyring, GLib for SHA-256 digests, scdoc for the manual pages, and
# the font the windows use.
TABULON_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev fonts-dejavu-core
                  scdoc libxlsxwriter-dev libminizip-dev zlib1g-dev libgmime-3.0-dev libxml2-dev
                  libcurl4-openssl-dev qtkeychain-qt6-dev libjson-glib-dev libglib2.0-dev
                  libuchardet-dev)
# Only ./test needs these: GoogleTest; nginx, the web server of the update test;
# desktop-file-utils and appstream check the desktop files, dpkg-dev and file
# let cpack work out the .deb's dependencies, lintian checks the .deb, man
# renders the manual pages; the table tests read what they wrote back through
# Python's csv and json modules and openpyxl; clang builds the fuzzers (its
# libFuzzer runtime comes from tabulon_ensure_fuzzer_runtime); Dovecot is the IMAP
# server of the mailbox tests, and openssl makes their certificates; strace kills
# --new-only at each step of its commit; Xvfb, openbox, xdotool and ImageMagick's
# import try the windows as a person would, by keys in a real X session, and take
# its pictures.
TABULON_TEST_PACKAGES=(libgtest-dev libgmock-dev nginx desktop-file-utils appstream
                       dpkg-dev file lintian man-db groff-base python3 python3-openpyxl clang
                       dovecot-imapd openssl strace xvfb xauth openbox xdotool imagemagick)

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

# Installs the libFuzzer runtime of the installed clang++ when a -fsanitize=fuzzer
# program does not link yet. Debian ships it for clang N in libclang-rt-N-dev,
# which clang only recommends (before clang 14 it came with clang itself).
tabulon_ensure_fuzzer_runtime() {
    local probe
    probe=$(mktemp -d)
    echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
        >"$probe/probe.cc"
    if ! clang++ -fsanitize=fuzzer "$probe/probe.cc" -o "$probe/probe" 2>/dev/null; then
        tabulon_ensure_packages "libclang-rt-$(clang++ -dumpversion | cut -d. -f1)-dev"
    fi
    rm -rf "$probe"
}

# tabulon_build DIR [CMAKE OPTION...] -- [TARGET...]
# A DIR that CMake set up with another generator (say `cmake -S . -B build`,
# which makes Makefiles) is built with that generator rather than refused; when
# that generator's build program is gone, DIR's configuration starts afresh.
tabulon_build() {
    local dir=$1
    shift
    local options=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    targets=("$@")
    local generator=Ninja cached=""
    [ -f "$dir/CMakeCache.txt" ] &&
        cached=$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$dir/CMakeCache.txt")
    if [ -n "$cached" ] && [ "$cached" != "$generator" ]; then
        local program
        program=$(sed -n 's/^CMAKE_MAKE_PROGRAM:[A-Z]*=//p' "$dir/CMakeCache.txt")
        if [ -x "$program" ]; then
            echo "$dir/ was set up with CMake's \"$cached\" generator: building it with that one" \
                 "(remove $dir/ to build with $generator)" >&2
            generator=$cached
        else
            echo "$dir/ was set up with CMake's \"$cached\" generator, whose build program" \
                 "is missing: configuring it afresh with $generator" >&2
            rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
        fi
    fi
    cmake -S . -B "$dir" -G "$generator" "${options[@]}" >/dev/null
    if [ ${#targets[@]} -gt 0 ]; then
        cmake --build "$dir" --parallel 2 --target "${targets[@]}"
    else
        cmake --build "$dir" --parallel 2
    fi
}
