# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the scripts: installing missing Debian packages and building.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# Every time a build writes (file dates in the .deb, the .msi's summary, a
# font's header) is the time of the last commit, so that the same source
# gives the same bytes whenever it is built. A caller's own value wins; out
# of a checkout without git the build keeps the time it finds (CMakeLists.txt
# falls back to its own date).
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && command -v git >/dev/null &&
    epoch="$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null)" && [ -n "$epoch" ]; then
    export SOURCE_DATE_EPOCH="$epoch"
fi
unset epoch

# Qt's Arabic translation for the texts Qt draws itself; {fmt} as a
# header-only library for numtext/; the JSON reader of the tests' table of
# roads.
BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev libgl-dev fonts-noto-ui-core fonts-dejavu-core
    qt6-translations-l10n libfmt-dev nlohmann-json3-dev)
TEST_PACKAGES=(xvfb xauth x11-utils x11-xserver-utils openbox imagemagick locales dbus at-spi2-core python3-pyatspi)
# The screen reader the Orca road test listens to, the keys it types, and pgrep.
TEST_PACKAGES+=(orca xdotool procps)
# The Wayland road: weston's headless compositor and Qt's Wayland plugin.
TEST_PACKAGES+=(weston qt6-wayland)
# Building the .deb (dpkg-shlibdeps, and file for CPack), then checking it.
DEB_PACKAGES=(dpkg-dev file)
DEB_CHECK_PACKAGES=(desktop-file-utils appstream lintian librsvg2-bin)
# Clang with its sanitizer and libFuzzer runtimes, for the sanitized build
# and the fuzzer.
CLANG_PACKAGES=(clang-14 libclang-rt-14-dev)
# The browser build: Debian's Emscripten and node, the header-only number
# library the core uses, and what makes the site's font subsets (HarfBuzz's
# hb-shape finds the glyphs the first window draws).
WEB_PACKAGES=(cmake ninja-build emscripten nodejs libfmt-dev
    python3-fonttools python3-brotli fonts-noto-ui-core fonts-dejavu-core libharfbuzz-bin)
# The native Windows program: Debian's mingw-w64 cross compiler, the
# header-only libraries the core and its driver use, and what turns the SVG
# icon into an .ico; msitools' wixl, which makes the .msi, and msibuild and
# msiinfo, which set and read its tables; then Wine on a virtual X server
# with ImageMagick's import, to walk it and photograph its windows.
WINDOWS_PACKAGES=(cmake ninja-build g++ g++-mingw-w64-x86-64-posix libfmt-dev nlohmann-json3-dev
    librsvg2-bin icoutils wixl msitools wine64 fonts-wine xvfb xauth imagemagick)
# wixl and msibuild write the time they run into the .msi; libfaketime makes
# that the source's time.
WINDOWS_PACKAGES+=(libfaketime)
# The check that every output builds to the same bytes twice: faketime moves
# the second build's clock, diffoscope shows what differs inside a file.
REPRO_PACKAGES=(faketime diffoscope-minimal)

# Installs the Debian packages that are missing. As root it installs them;
# otherwise it prints the exact command to run and stops.
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages. Run this first, then try again:" >&2
        echo "  sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Generates the locales the tests switch to (Arabic, and French for its
# comma decimal separator), when running as root.
ensure_locales() {
    [ "$(id -u)" -eq 0 ] || return 0
    local wanted=(ar_EG.UTF-8 fr_FR.UTF-8)
    local have
    have="$(locale -a 2>/dev/null | tr 'A-Z' 'a-z')"
    local changed=0 loc
    for loc in "${wanted[@]}"; do
        local short
        short="$(echo "$loc" | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')"
        if ! grep -qx "$short" <<<"$have"; then
            sed -i "s/^# *${loc} UTF-8/${loc} UTF-8/" /etc/locale.gen
            grep -q "^${loc} UTF-8" /etc/locale.gen || echo "${loc} UTF-8" >>/etc/locale.gen
            changed=1
        fi
    done
    [ $changed -eq 0 ] || locale-gen >/dev/null
}

# write_sums DIR FILE...: writes DIR/SHA256SUMS with the SHA-256 of each
# FILE (named relative to DIR, as `sha256sum -c` in DIR reads them) and
# prints it.
write_sums() {
    local dir="$1"
    shift
    (cd "$dir" && sha256sum -- "${@#"$dir/"}" >SHA256SUMS.new && mv SHA256SUMS.new SHA256SUMS)
    echo "SHA-256 ($dir/SHA256SUMS):"
    sed 's/^/  /' "$dir/SHA256SUMS"
}

# configure_and_build BUILD_DIR BUILD_TYPE [extra cmake args...]
configure_and_build() {
    local dir="$1" type="$2"
    shift 2
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
    cmake --build "$dir" -j2
}

# Builds the browser site into $ROOT/build-web/site with Debian's Emscripten.
build_web() {
    local dir="$ROOT/build-web"
    # Optimised links run Emscripten's JavaScript optimiser, which finds
    # Debian's acorn only through NODE_PATH.
    NODE_PATH=/usr/share/nodejs emcmake cmake -S "$ROOT" -B "$dir" -G Ninja \
        -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
    cmake --build "$dir" -j2
}
