// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the program once the module is loaded, and lets the page work offline
// after this first visit. The service worker is registered only once the
// first window is up: it fetches the whole site to cache it, which must not
// hold up that window.
startTakhmin();
if ('serviceWorker' in navigator)
    window.takhminReady.then(() => navigator.serviceWorker.register('sw.js')).catch(() => {});
