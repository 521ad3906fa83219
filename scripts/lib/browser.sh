# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the browser check, the browser benchmark and the browser
# screenshots: Debian's chromium and emscripten, npm where node has none,
# the locked npm packages of tests/web, the built site and the native window
# tables. Source after common.sh.

WEB_TEST_PACKAGES=(chromium firefox-esr emscripten gzip)

ensure_browser_tools() {
    ensure_packages "${WEB_TEST_PACKAGES[@]}"
    command -v node >/dev/null || ensure_packages nodejs
    # Debian's nodejs comes without npm; a node from elsewhere brings its own.
    command -v npm >/dev/null || ensure_packages npm
}

# The packages of tests/web exactly as locked; Playwright drives Debian's
# chromium and never downloads a browser of its own.
install_web_tests() {
    (cd "$ROOT/tests/web" &&
        PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
}

build_site() {
    "$ROOT/scripts/web" --build-only
}

# The tests take every window's tables from the native program, so that
# nothing is typed twice; the target builds in the Release folder of
# scripts/test.
build_describe() {
    ensure_packages "${BUILD_PACKAGES[@]}"
    cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
    cmake --build "$ROOT/build" -j2 --target takhmin_describe >/dev/null
    export TAKHMIN_DESCRIBE="$ROOT/build/tools/takhmin_describe"
}
