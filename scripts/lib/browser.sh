# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the browser check, the browser benchmark and the browser
# screenshots: Debian's browsers and emscripten, npm where node has none,
# the locked npm packages of tests/web, the built site and the native window
# tables. Source after common.sh.

# The three engines the roads run in: chromium (Playwright), firefox-esr
# (WebDriver BiDi) and WebKitGTK (webkit2gtk-driver brings WebKitWebDriver
# and, through libwebkit2gtk-4.1-0, MiniBrowser), which needs an X server.
WEB_TEST_PACKAGES=(chromium firefox-esr webkit2gtk-driver xvfb emscripten gzip)

ensure_browser_tools() {
    ensure_packages "${WEB_TEST_PACKAGES[@]}"
    command -v node >/dev/null || ensure_packages nodejs
    # Debian's nodejs comes without npm; a node from elsewhere brings its own.
    command -v npm >/dev/null || ensure_packages npm
}

# The packages of tests/web exactly as locked; Playwright and puppeteer
# drive Debian's browsers and never download one of their own.
install_web_tests() {
    (cd "$ROOT/tests/web" &&
        PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 PUPPETEER_SKIP_DOWNLOAD=1 \
            npm ci --no-audit --no-fund --loglevel=error)
}

# Debian's chromium wrapper prints its version; stderr holds its warnings.
chromium_version() {
    /usr/bin/chromium --version 2>/dev/null | head -n1
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
