// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the program once the module is loaded, and lets the page work offline
// after this first visit.
startTakhmin();
if ('serviceWorker' in navigator)
    navigator.serviceWorker.register('sw.js').catch(() => {});
