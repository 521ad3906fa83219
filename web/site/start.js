// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the page: loads the program's module and runs it, then lets the
// page work offline after this first visit. The service worker is registered
// only once the first window is up: it fetches the whole site to cache it,
// which must not hold up that window. If the program cannot start, the page
// says why, in Arabic, and what to do.
//
// The first window is in the page's HTML already (web/prerender.mjs), and
// the program takes it over when it arrives. A press of one of its buttons
// before then is held by the page's own small script (index.html), which
// runs before the window is painted, and handed over here once the program
// has started, so that it is handled, and handled once; until then a small
// sign says that the program is loading.
//
// A classic script that imports the module, not a module itself: a browser
// that refuses the module (Chromium and WebKit do, for a page opened from a
// file) still runs this and can say so. Its names stay inside the block.
'use strict';
{
    const loading = document.getElementById('loading');
    const failure = document.getElementById('start-failure');
    const reload = failure.querySelector('button');
    // Presses are no longer held once the program runs or cannot.
    const stopHolding = () => removeEventListener('click', earlyPress.hold, true);

    const failed = () => {
        stopHolding();
        loading.remove();
        // The first window cannot work: it leaves the message alone.
        document.getElementById('desktop').hidden = true;
        document.getElementById('taskbar-region').hidden = true;
        const fromDisk = location.protocol === 'file:';
        failure.querySelector(`[data-reason="${fromDisk ? 'disk' : 'failed'}"]`).hidden = false;
        // Loading again helps after a network fault, never from a file.
        reload.hidden = fromDisk;
        failure.hidden = false;
        if (!fromDisk)
            reload.focus();
    };
    reload.addEventListener('click', () => location.reload());

    // The whole Arabic font (takhmin.css): asked for only once the first
    // window has been drawn by the first cut, which came with the page, so
    // as not to slow that window down. The texts drawn by then keep the
    // first cut, which holds all their glyphs; every later one names the
    // whole font. Its file is only fetched here, into the browser's cache,
    // and becomes a font when a later text first needs it: a font that
    // loads while the first window stands has every text of the page laid
    // out again, and Chromium then draws the rounded corners of its
    // controls one level of grey apart. The program starts once the file
    // is in, or after the three seconds a browser would wait for a font, so
    // that its next window has the font at hand.
    const nextFrame = () => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)));
    // The browser's own word that it has painted text, where it gives one.
    // Nothing of this script runs in the frames before then: a callback in
    // the first frame would make that frame wait for this file in a page
    // analyser's eyes (Lighthouse ties the first paint to every script that
    // ran in its frame), though the window needs nothing from it.
    const reported = new Promise((resolve) => {
        if (!PerformanceObserver.supportedEntryTypes?.includes('paint'))
            return resolve(nextFrame().then(nextFrame));
        const observer = new PerformanceObserver((list) => {
            if (list.getEntriesByName('first-contentful-paint').length) {
                observer.disconnect();
                resolve();
            }
        });
        observer.observe({ type: 'paint', buffered: true });
    });
    // A page out of sight before its first paint (loaded in a tab in the
    // background) never has that paint reported: a second on, two frames
    // stand for it, which such a page draws once it is seen.
    let late;
    const unreported = new Promise((resolve) => { late = setTimeout(resolve, 1000); })
        .then(nextFrame)
        .then(nextFrame);
    const painted = Promise.race([reported.then(() => clearTimeout(late)), unreported]);
    // The control the first window gives the focus is only drawn so in the
    // HTML; it takes the focus once the window has been painted, unless the
    // user has put it elsewhere. Focusing has the page's style worked out
    // at once, which need not hold up the first paint.
    painted.then(() => {
        const first = document.querySelector('[data-focus]');
        if (!first)
            return;
        first.removeAttribute('data-focus');
        if (document.activeElement === document.body)
            first.focus({ preventScroll: true });
    });
    // Text is painted only once its font is in (font-display: block), and
    // the frame after that paint has surely drawn the whole window with it.
    const drawn = Promise.all([
        document.fonts.load('1em "Takhmin Naskh"', document.getElementById('desktop').textContent),
        painted,
    ]).then(nextFrame);
    const wholeFont = drawn
        .then(() => {
            for (const drawn of document.querySelectorAll('#desktop > .window, #taskbar button'))
                drawn.dataset.firstCut = '';
            document.documentElement.classList.add('naskh-whole');
            return fetch('fonts/naskh.woff2').then((response) => response.arrayBuffer());
        })
        .catch(() => {});
    const threeSeconds = new Promise((resolve) => setTimeout(resolve, 3000));
    const fontOrTimeout = Promise.race([wholeFont, threeSeconds]);

    const run = () => Promise.race([drawn.catch(() => {}), threeSeconds])
        .then(() => Promise.all([import('./takhmin.js'), fontOrTimeout]))
        .then(([module]) => module.default())
        .then(() => {
            // The program has taken the first window over: its buttons
            // answer for themselves from now on.
            stopHolding();
            loading.remove();
            earlyPress.held?.click();
            if ('serviceWorker' in navigator)
                navigator.serviceWorker.register('sw.js').catch(() => {});
        }, failed);
    // The page is loaded once its first window stands. WebKit would hold the
    // load event until a module imported before it had arrived, and with it
    // whatever waits for the page to load. Only then, and once the first
    // window has been drawn with its font (the load event may come before
    // the font has arrived), is the program asked for: asked for with the
    // page, its module and wasm would share the first round trips with the
    // window's style sheet and font, and the window would be drawn later.
    if (document.readyState === 'complete')
        run();
    else
        addEventListener('load', run, { once: true });
}
