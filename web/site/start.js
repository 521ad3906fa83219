// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the page: loads the program's module and runs it, then lets the
// page work offline after this first visit. The service worker is registered
// only once the first window is up: it fetches the whole site to cache it,
// which must not hold up that window. Until then the page shows that it is
// loading; if the program cannot start, it says why, in Arabic, and what to do.
//
// A classic script that imports the module, not a module itself: a browser
// that refuses the module (Chromium and WebKit do, for a page opened from a
// file) still runs this and can say so. Its names stay inside the block.
'use strict';
{
    const loading = document.getElementById('loading');
    const failure = document.getElementById('start-failure');
    const reload = failure.querySelector('button');

    const failed = () => {
        loading.remove();
        const fromDisk = location.protocol === 'file:';
        failure.querySelector(`[data-reason="${fromDisk ? 'disk' : 'failed'}"]`).hidden = false;
        // Loading again helps after a network fault, never from a file.
        reload.hidden = fromDisk;
        failure.hidden = false;
        if (!fromDisk)
            reload.focus();
    };
    reload.addEventListener('click', () => location.reload());

    import('./takhmin.js')
        .then((module) => module.default())
        .then(() => {
            loading.remove();
            if ('serviceWorker' in navigator)
                navigator.serviceWorker.register('sw.js').catch(() => {});
        }, failed);
}
