// SPDX-License-Identifier: GPL-3.0-or-later
// The page's window manager. The program's windows are panels that behave
// like windows on a desktop: a new one opens where it covers no other window
// (or covers the least, when the page has no room), a click raises and
// activates it, its title bar drags it, and the keyboard focus stays inside
// the active one (Tab, Shift+Tab; F6 and Shift+F6 go from window to window and
// to the list of open windows). On a narrow screen the windows stand in the
// order they opened, side by side as far as they fit and else one under the
// other, each with its controls set in lines (takhmin.css), and the page
// scrolls. The C++ adapter
// builds and fills the panels through `windowManager`; what the program does
// is decided there, never here.
//
// This file heads the takhmin.js module, ahead of Emscripten's glue: its names
// are the module's own, and `windowManager` is the one it exports.

const EDGE = 8; // CSS px kept free at the desk's edges and between windows
const GRID = 8; // CSS px: the step of the search for a free place
// A touch that lands this close to the touch before it, on a window that
// appeared after that touch and less than this long ago, was meant for what
// stood there before: it is a double tap, or an impatient second tap before
// the new window was seen (measured: 550-800 ms after the first). The time is
// Firefox's own for this (security.dialog_enable_delay): its prompts' buttons
// take no press for 1 s after they appear, so that a click meant for what
// was there before cannot press them. Android's double-tap time (300 ms) and
// Chromium's guard on its permission prompts (the double-click time, 500 ms)
// would let those taps through. The distance is about a fingertip's width.
// A mouse's double click is counted by the browser (event.detail) with the
// system's own settings.
const NEW_WINDOW_MS = 1000;
const SAME_PLACE_PX = 48;
// Narrower than the puzzle and the calculator side by side, or lower than the
// puzzle above the list of windows, a screen has no room for windows that
// cover nothing: they stand in one column.
const narrowScreen = matchMedia('(max-width: 859px), (max-height: 519px)');
// The role that screen readers present as an alert: Gecko exposes
// alertdialog as a plain dialog and alert as an alert, where Blink and WebKit
// expose alertdialog as an alert and alert as a notification.
const ALERT = /\bGecko\/\d/.test(navigator.userAgent) ? 'alert' : 'alertdialog';

const desk = document.getElementById('desktop');
const taskbar = document.getElementById('taskbar');
// The list stands in an application region of its own, shown and hidden with
// it. When the focus leaves an application region (the desk) for the plain
// page around it, Orca's web script takes it for a change of document and
// moves without a word; into another such region, it says where it went.
const taskbarRegion = document.getElementById('taskbar-region');
const ended = document.getElementById('ended');

const noPress = { time: -Infinity, x: 0, y: 0 };
// Everything the window manager keeps from one event or call to the next.
const state = {
    panels: [], // every live panel: the program's windows and the failure message
    windows: [], // the program's windows by form number
    opened: [], // the visible panels, in the order they opened
    failure: null, // made at the first failure, then reused
    active: null,
    stack: 0, // z-index of the topmost panel
    program: null, // what the window manager reports to: see connect()
    // How the user last acted: 'mouse', 'touch', 'pen' or 'keyboard'.
    lastInput: matchMedia('(pointer: coarse)').matches ? 'touch' : 'mouse',
    press: noPress, // the last pointer press
    pressBefore: noPress, // the one before it
    // The first window as the page's HTML holds it, until the program first
    // creates a window (see takeOverPrerendered).
    prerendered: desk.querySelector('.window.prerendered'),
    // The listeners of each window's elements, for takeOverPrerendered.
    listeners: new WeakMap(),
    lastFocused: null, // the element that last took the focus
};

function element(tag, className, parent) {
    const el = document.createElement(tag);
    parent.appendChild(el);
    if (className)
        el.className = className;
    return el;
}

// Adds the listener and keeps it with the element: a window's elements may
// hand their listeners on to the ones they stand in for (takeOverPrerendered).
function listen(el, type, listener) {
    el.addEventListener(type, listener);
    state.listeners.set(el, [...state.listeners.get(el) ?? [], [type, listener]]);
}

function panelOf(node) {
    return state.panels.find((p) => p.el.contains(node)) ?? null;
}

function makePanel(name, title, closeLabel, alert, onClose) {
    // Chromium reports an alert that appears as added three times, and Orca
    // reads the whole alert each time, before it reads it once more as the
    // focus arrives. Within a region whose live news is off Orca leaves
    // those reports alone: the alert is read once, as the focus arrives.
    const holder = alert ? element('div', null, desk) : null;
    holder?.setAttribute('aria-live', 'off');
    const el = element('section', 'window', holder ?? desk);
    el.hidden = true;
    el.tabIndex = -1; // a click on a label focuses the window, not the page
    el.setAttribute('role', alert ? ALERT : 'dialog');
    el.setAttribute('aria-modal', 'false');
    el.dataset.form = name;
    const bar = element('div', 'titlebar', el);
    const heading = element('span', 'title', bar);
    heading.id = `${name}-title`;
    heading.textContent = title;
    // Orca does not say a window's title when it equals the name of what had
    // the focus before (the button that opened it, or the window's own entry
    // in the list of open windows): it takes it for a repeat. A right-to-left
    // mark, which is not spoken, makes the title a name of its own.
    el.setAttribute('aria-label', `${title}\u200f`);
    if (onClose) {
        const close = element('button', 'close', bar);
        close.type = 'button';
        close.tabIndex = -1;
        close.setAttribute('aria-label', closeLabel);
        listen(close, 'click', onClose);
    }
    // The view shows the client area.
    const view = element('div', 'view', el);
    const p = { name, title, el, holder, view, client: element('div', 'client', view), controls: [],
                order: [], last: null, home: null, x: 0, y: 0, z: -1, shownAt: -Infinity, tab: null,
                prerendered: null, takenOver: false };
    p.client.dataset.client = '';
    listen(bar, 'pointerdown', (event) => drag(p, event));
    state.panels.push(p);
    return p;
}

// The first window may stand in the page's HTML already, written at build
// time by this same code (web/prerender.mjs), so that it shows before the
// program has arrived. When the program first shows that window, the panel
// it has built for it, as for any window, takes those elements over: each
// of them gets the attributes, inline style, text and listeners of the new
// element in its place, and the new ones leave. What the user typed there and
// where the focus is stay as they are. Later windows, and every window after
// a restart, are made afresh.
function takeOverPrerendered(p) {
    const page = p.holder ? p.prerendered.parentElement : p.prerendered;
    p.prerendered = null;
    // Each new element and the page's own in its place: this code made both,
    // in the same order.
    const twins = new Map();
    const pair = (made, old) => {
        if (!old || old.localName !== made.localName ||
            old.children.length !== made.children.length)
            return false;
        twins.set(made, old);
        return [...made.children].every((child, i) => pair(child, old.children[i]));
    };
    if (!pair(p.holder ?? p.el, page)) {
        // Not the window this code makes: the new one stands instead.
        discardPrerendered(page);
        return;
    }
    for (const [made, old] of twins) {
        // All but `hidden`: the new window is hidden until it is shown, and
        // the page's, hidden, would lose the focus. The style goes through
        // the CSSOM, which the page's Content Security Policy allows, unlike
        // a style attribute.
        for (const { name, value } of made.attributes) {
            if (name !== 'hidden' && name !== 'style')
                old.setAttribute(name, value);
        }
        old.style.cssText = made.style.cssText;
        // A title's, label's or button's text. A box's text is its value,
        // no attribute: it stays what the user typed.
        if (!made.firstElementChild)
            old.textContent = made.textContent;
        for (const [type, listener] of state.listeners.get(made) ?? [])
            old.addEventListener(type, listener);
    }
    (p.holder ?? p.el).remove();
    // Every element the panel holds, alone or in a list (its controls, its
    // tab order), is the page's own from now on.
    const twin = (value) => twins.get(value) ?? value;
    for (const [key, value] of Object.entries(p))
        p[key] = Array.isArray(value) ? value.map(twin) : twin(value);
    // Its entry in the list of open windows, the only one yet.
    p.tab = taskbar.querySelector('button');
    p.takenOver = true;
}

// The program's first window is another than the one in the page's HTML.
function discardPrerendered(prerendered) {
    prerendered.remove();
    taskbar.replaceChildren(); // its entry, the only one yet
}

function removePanel(p) {
    state.panels.splice(state.panels.indexOf(p), 1);
    closed(p);
    leave(p, () => (p.holder ?? p.el).remove());
}

// A window leaves the screen at once but the page only once the browser has
// told screen readers where the focus went: taken away while it still held
// the focus, it would take the screen reader's focus with it, and the
// focus's arrival in the next window would go unsaid (its title above all).
function leave(p, done) {
    p.el.classList.add('leaving');
    requestAnimationFrame(() => setTimeout(() => {
        if (p.el.classList.contains('leaving')) {
            p.el.classList.remove('leaving');
            done();
        }
    }));
}

// A panel leaves the screen: out of the list of open windows and the column;
// like a window manager, the topmost remaining window becomes active once
// the running handler has shown what it shows.
function closed(p) {
    const i = state.opened.indexOf(p);
    if (i >= 0)
        state.opened.splice(i, 1);
    p.tab?.remove();
    p.tab = null;
    showTaskbar(state.opened.length > 0);
    if (narrowScreen.matches)
        layOut();
    if (state.active !== p)
        return;
    state.active = null;
    queueMicrotask(() => {
        if (state.active)
            return;
        const top = state.opened.reduce((a, b) => (!a || b.z > a.z ? b : a), null);
        if (top)
            focusInside(activate(top));
    });
}

function showTaskbar(shown) {
    taskbar.hidden = taskbarRegion.hidden = !shown;
}

function activate(p) {
    if (state.active !== p) {
        state.active?.el.classList.remove('active');
        state.active?.tab?.setAttribute('aria-current', 'false');
        state.active = p;
        p.el.classList.add('active');
        p.tab?.setAttribute('aria-current', 'true');
    }
    if (p.z !== state.stack) {
        p.z = ++state.stack;
        p.el.style.zIndex = String(p.z);
    }
    return p;
}

// The control that had the focus when the window was last active, or the
// first in its tab order. After a touch a text box is left for the user's own
// tap, which opens the phone's keyboard: the window itself takes the focus.
function focusInside(p) {
    let target = p.last && p.el.contains(p.last) ? p.last : p.order[0];
    const touched = state.lastInput === 'touch' || state.lastInput === 'pen';
    if (!target || (target.tagName === 'INPUT' && touched))
        target = p.el;
    target.focus({ preventScroll: true });
}

// Raises a window, gives it the focus and, in the column, scrolls it in.
function bringBack(p) {
    focusInside(activate(p));
    if (narrowScreen.matches)
        p.el.scrollIntoView({ block: 'nearest', inline: 'nearest' });
}

function moveTo(p, x, y) {
    p.x = Math.round(x);
    p.y = Math.round(y);
    p.el.style.transform = `translate(${p.x}px, ${p.y}px)`;
}

// Inside the desk as far as the window fits, its title bar always.
function moveInside(p, x, y) {
    moveTo(p, Math.max(0, Math.min(x, desk.clientWidth - p.el.offsetWidth)),
           Math.max(0, Math.min(y, desk.clientHeight - p.el.offsetHeight)));
}

function overlap(a, b) {
    const w = Math.min(a.x + a.w, b.x + b.w) - Math.max(a.x, b.x);
    const h = Math.min(a.y + a.h, b.y + b.h) - Math.max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

// The first place, row by row from the top left, where the window covers no
// other open window; when there is none, the place where it covers least.
function freePlace(p) {
    const w = p.el.offsetWidth, h = p.el.offsetHeight;
    const others = state.opened.filter((o) => o !== p && o.home).map((o) => ({
        x: o.x - EDGE, y: o.y - EDGE, w: o.el.offsetWidth + 2 * EDGE, h: o.el.offsetHeight + 2 * EDGE }));
    const lastX = Math.max(EDGE, desk.clientWidth - w - EDGE);
    const lastY = Math.max(EDGE, desk.clientHeight - h - EDGE);
    let best = null;
    for (let y = EDGE; y <= lastY; y += GRID) {
        for (let x = EDGE; x <= lastX; x += GRID) {
            const covered = others.reduce((sum, o) => sum + overlap(o, { x, y, w, h }), 0);
            if (!best || covered < best.covered)
                best = { x, y, covered };
            if (!covered)
                return best;
        }
    }
    return best;
}

// Where each open window stands. On a wide screen, where it was put: a new
// one at a free place, the failure message over the window it is about. On a
// narrow one, in the order they opened, which the style sheet's flow follows:
// as many side by side as fit, from the right, the page scrolling down.
function layOut() {
    if (narrowScreen.matches) {
        state.opened.forEach((p, i) => {
            moveTo(p, 0, 0);
            (p.holder ?? p.el).style.order = String(i);
        });
        return;
    }
    for (const p of state.opened) {
        if (p === state.failure)
            centreOver(p, p.owner);
        else
            place(p);
    }
}

// A wide screen keeps the table's rectangles. Where a window's text does
// not fit them, as with a user's text spacing or a larger font, a label's
// lines run on under the control below or are cut; such a window is set in
// lines instead, as on a narrow screen, where each control is as high as
// its text. Measured in the table's rectangles, so it stays in lines once
// set. Controls are drawn in table order: a later one covers an earlier one.
function crowded(p) {
    const controls = p.controls.filter(Boolean);
    return controls.some((el, i) => {
        if (el.tagName !== 'INPUT' && el.scrollHeight > el.clientHeight + 1)
            return true;
        const range = document.createRange();
        range.selectNodeContents(el);
        const lines = [...range.getClientRects()];
        return controls.slice(i + 1).some((later) => {
            const b = later.getBoundingClientRect();
            return lines.some((l) => l.right > b.left + 0.5 && b.right > l.left + 0.5 &&
                l.bottom > b.top + 0.5 && b.bottom > l.top + 0.5);
        });
    });
}

// Whether the window changed.
function setInLines(p) {
    if (narrowScreen.matches || p.el.classList.contains('lines') || !crowded(p))
        return false;
    p.el.classList.add('lines');
    return true;
}

function place(p) {
    p.home ??= freePlace(p);
    moveInside(p, p.home.x, p.home.y);
}

function centreOver(p, over) {
    const w = p.el.offsetWidth, h = p.el.offsetHeight;
    const r = over && !over.el.hidden
        ? { x: over.x, y: over.y, w: over.el.offsetWidth, h: over.el.offsetHeight }
        : { x: 0, y: 0, w: desk.clientWidth, h: desk.clientHeight };
    moveInside(p, r.x + (r.w - w) / 2, r.y + (r.h - h) / 2);
}

// A window opens: into the list of open windows and onto the desk.
function open(p, after = null) {
    p.el.hidden = false;
    p.el.classList.remove('leaving');
    p.shownAt = performance.now();
    const i = after ? state.opened.indexOf(after) + 1 : 0;
    state.opened.splice(i > 0 ? i : state.opened.length, 0, p);
    // A window taken over has its entry in the list already.
    const listed = !!p.tab;
    p.tab ??= document.createElement('button');
    p.tab.type = 'button';
    p.tab.textContent = p.title.trim();
    p.tab.setAttribute('aria-current', 'false');
    p.tab.addEventListener('click', () => bringBack(p));
    if (!listed)
        taskbar.insertBefore(p.tab, state.opened[state.opened.indexOf(p) + 1]?.tab ?? null);
    showTaskbar(true);
    setInLines(p);
    if (narrowScreen.matches)
        layOut();
    else if (p === state.failure)
        centreOver(p, p.owner);
    else
        place(p);
    // A window taken over keeps the focus where the user put it, if in it:
    // moved again, the phone's keyboard would close under the typing.
    const focused = document.activeElement;
    if (p.takenOver && p.el !== focused && p.el.contains(focused)) {
        if (!focused.classList.contains('close'))
            p.last = focused;
        activate(p);
    } else {
        bringBack(p);
    }
}

function drag(p, event) {
    if (event.button !== 0 || event.target.closest('.close') || narrowScreen.matches)
        return;
    const bar = event.currentTarget, dx = event.clientX - p.x, dy = event.clientY - p.y;
    bar.setPointerCapture(event.pointerId);
    const move = (e) => {
        moveInside(p, e.clientX - dx, e.clientY - dy);
        p.home = { x: p.x, y: p.y };
    };
    const stop = () => {
        bar.removeEventListener('pointermove', move);
        bar.removeEventListener('pointerup', stop);
        bar.removeEventListener('pointercancel', stop);
    };
    bar.addEventListener('pointermove', move);
    bar.addEventListener('pointerup', stop);
    bar.addEventListener('pointercancel', stop);
}

function cycleFocus(p, step) {
    const order = p.order, i = order.indexOf(document.activeElement);
    if (!order.length)
        return;
    const next = order[i < 0 ? (step > 0 ? 0 : order.length - 1)
                             : (i + step + order.length) % order.length];
    next.focus();
    // A text box reached with Tab has its text selected, as on the desktop.
    if (next.tagName === 'INPUT')
        next.select();
}

// F6 goes round the open windows and then the list of them; from the list
// the browser's own F6 goes on to its address bar, so the keyboard is never
// held inside the page.
function cycleWindows(event) {
    const inList = taskbar.contains(document.activeElement);
    if (!state.opened.length || (inList && !event.shiftKey))
        return;
    event.preventDefault();
    const stops = [...state.opened, null]; // null: the list
    const here = inList ? stops.length - 1 : Math.max(0, stops.indexOf(state.active));
    const next = stops[(here + (event.shiftKey ? -1 : 1) + stops.length) % stops.length];
    if (next)
        bringBack(next);
    else
        (state.active?.tab ?? state.opened[0].tab).focus();
}

// A single-line box never holds a line break: a pasted or dropped one
// becomes one space, as on the desktop.
function keepOneLine(event) {
    const box = event.target;
    const text = event.data ?? event.dataTransfer?.getData('text/plain') ?? null;
    if (!text || !/[\r\n\u2028\u2029]/.test(text))
        return;
    event.preventDefault();
    box.setRangeText(state.program.oneLine(text), box.selectionStart, box.selectionEnd, 'end');
}

function hideFailure() {
    closed(state.failure);
    const p = state.failure;
    leave(p, () => { p.el.hidden = true; });
}

// A press must never reach a window that appeared under the pointer after
// the press before it, while it is the second of a double click or is a
// touch too soon and too near the one before (see NEW_WINDOW_MS).
function meantForBefore(p, event) {
    const { press, pressBefore } = state;
    if (p.shownAt <= pressBefore.time)
        return false;
    if (event.detail >= 2)
        return true;
    return state.lastInput !== 'mouse' && press.time - p.shownAt < NEW_WINDOW_MS &&
           Math.hypot(press.x - pressBefore.x, press.y - pressBefore.y) < SAME_PLACE_PX;
}

document.addEventListener('pointerdown', (event) => {
    state.lastInput = event.pointerType || 'mouse';
    state.pressBefore = state.press;
    state.press = { time: event.timeStamp, x: event.clientX, y: event.clientY };
    const p = panelOf(event.target);
    if (p)
        activate(p);
}, true);
document.addEventListener('click', (event) => {
    const p = panelOf(event.target);
    if (p && event.detail > 0 && meantForBefore(p, event)) {
        event.stopImmediatePropagation();
        event.preventDefault();
    }
}, true);
// The title bar selects no text and keeps the focus where it was, as a
// desktop's does. Elsewhere a press may start a selection; a click that
// selected nothing gives the focus back to the window's control.
document.addEventListener('mousedown', (event) => {
    const p = panelOf(event.target);
    if (p && event.target.closest('.titlebar') && !event.target.closest('.close')) {
        event.preventDefault();
        if (state.lastInput === 'mouse')
            focusInside(p);
    }
});
document.addEventListener('click', (event) => {
    const p = panelOf(event.target);
    if (p && state.lastInput === 'mouse' && document.activeElement === p.el &&
        getSelection().isCollapsed)
        focusInside(p);
});
document.addEventListener('focusin', (event) => {
    const p = panelOf(event.target);
    if (!p)
        return;
    if (event.target !== p.el && !event.target.classList.contains('close'))
        p.last = event.target;
    activate(p);
});
document.addEventListener('keydown', (event) => {
    state.lastInput = 'keyboard';
    if (event.key === 'F6') {
        cycleWindows(event);
    } else if (event.key === 'Tab' && state.active && !state.active.el.hidden &&
               !taskbar.contains(event.target)) {
        event.preventDefault();
        cycleFocus(state.active, event.shiftKey ? -1 : 1);
    } else if (event.key === 'Enter' && event.repeat && event.target.tagName === 'BUTTON') {
        // A held Enter presses the button it went down on once, and no other.
        event.preventDefault();
    } else if (event.key === 'Escape' && state.failure && state.active === state.failure) {
        // As a desktop's message box.
        hideFailure();
    }
});
// Firefox's F6 from its own toolbars back into the page focuses the document,
// not the control that had the focus before, and Orca says nothing; Chromium
// gives that control the focus again. Once the browser has put the focus
// where it puts it, and nothing in the page has it, the page does the same.
document.addEventListener('focusin', (event) => {
    state.lastFocused = event.target;
});
window.addEventListener('focus', () => setTimeout(() => {
    const last = state.lastFocused;
    const nothing = [null, document.body, document.documentElement].includes(document.activeElement);
    // After a touch a text box is left for the user's own tap (focusInside).
    const touched = state.lastInput === 'touch' || state.lastInput === 'pen';
    if (nothing && last?.isConnected && !(touched && last.tagName === 'INPUT'))
        last.focus();
}));
window.addEventListener('resize', () => {
    state.opened.forEach(setInLines);
    if (state.opened.length)
        layOut();
});
// Text is laid out again when a font arrives, and may no longer fit.
document.fonts.addEventListener('loadingdone', () => {
    if (state.opened.map(setInLines).includes(true))
        layOut();
});
ended.querySelector('button').addEventListener('click', () => {
    desk.hidden = false;
    desk.classList.remove('leaving');
    state.program.restart();
    // Only once the focus is in the first window, as a window leaves.
    leave({ el: ended }, () => { ended.hidden = true; });
});

// Each kind of control, by the name the adapter gives it (web/Dom.cpp); a
// name not here fails at once instead of making some other control.
const makeControl = {
    label(p, form, row, text, align, border) {
        const el = element('div', 'label', p.client);
        el.textContent = text;
        el.style.textAlign = align;
        if (border)
            el.classList.add('border');
        return el;
    },
    textBox(p, form, row, text) {
        const el = element('input', 'textbox', p.client);
        el.type = 'text';
        el.value = text;
        el.inputMode = 'decimal';
        el.autocomplete = 'off';
        el.spellcheck = false;
        listen(el, 'beforeinput', keepOneLine);
        return el;
    },
    pushButton(p, form, row, text) {
        const el = element('button', 'button', p.client);
        el.type = 'button';
        el.textContent = text;
        listen(el, 'click', () => state.program.click(form, row));
        return el;
    },
};

export const windowManager = {
    // The program's side: click(form, row), close(form), oneLine(text) and
    // restart(), from the glue (site/program.js).
    connect(callbacks) {
        state.program = callbacks;
    },
    createWindow(form, name, title, width, height, alert, closeLabel) {
        // Only the program's first window can be the one in the page.
        const prerendered = state.prerendered;
        state.prerendered = null;
        const inPage = prerendered?.dataset.form === name;
        if (prerendered && !inPage)
            discardPrerendered(prerendered);
        const p = makePanel(name, title, closeLabel, alert, () => state.program.close(form));
        if (inPage)
            p.prerendered = prerendered; // taken over as it is shown
        p.client.style.width = `${width}px`;
        p.client.style.height = `${height}px`;
        // Where the window's news is read out, wherever the focus is.
        p.news = element('div', 'announce', p.el);
        p.news.setAttribute('role', 'status');
        p.news.setAttribute('aria-atomic', 'true');
        state.windows[form] = p;
    },
    addControl(form, row, kind, name, text, left, top, width, height, background, align, border) {
        const p = state.windows[form];
        const el = makeControl[kind](p, form, row, text, align, border);
        el.id = `${p.name}-${name}`;
        el.dataset.control = name;
        el.style.left = `${left}px`;
        el.style.top = `${top}px`;
        el.style.width = `${width}px`;
        el.style.height = `${height}px`;
        // A background of the table's own keeps its dark text also where
        // the ordinary colours are dark.
        if (background) {
            el.style.background = background;
            el.classList.add('painted');
        }
        if (align === 'center')
            el.classList.add('centred');
        p.controls[row] = el;
    },
    // On a narrow screen the controls stand in lines (web/Window.cpp), each
    // taking its share of its line's width.
    setFlow(form, rows, shares) {
        const p = state.windows[form];
        rows.forEach((row, i) => {
            p.controls[row].style.order = String(i);
            p.controls[row].style.gridColumn = `span ${shares[i]}`;
        });
    },
    nameBy(form, label, control) {
        const p = state.windows[form];
        p.controls[control].setAttribute('aria-labelledby', p.controls[label].id);
    },
    describeBy(form, label) {
        const p = state.windows[form], ids = p.el.getAttribute('aria-describedby');
        p.el.setAttribute('aria-describedby', (ids ? `${ids} ` : '') + p.controls[label].id);
    },
    setTabOrder(form, rows) {
        const p = state.windows[form];
        p.order = rows.map((row) => p.controls[row]);
    },
    destroyWindow(form) {
        const p = state.windows[form];
        state.windows[form] = null;
        if (p)
            removePanel(p);
    },
    showWindow(form) {
        const p = state.windows[form];
        if (p.prerendered)
            takeOverPrerendered(p);
        if (!state.opened.includes(p))
            open(p);
        else
            bringBack(p);
    },
    text(form, row) {
        const el = state.windows[form].controls[row];
        return el.tagName === 'INPUT' ? el.value : el.textContent;
    },
    setText(form, row, text) {
        const el = state.windows[form].controls[row];
        if (el.tagName !== 'INPUT') {
            el.textContent = text;
            return;
        }
        el.value = text;
        // Show a result from its first character, as typed text starts.
        el.setSelectionRange(0, 0);
        el.scrollLeft = 0;
    },
    // Says `message` once, whole, as news from the window: a new node in its
    // polite live region, so that even the same words again are read again.
    announce(form, message) {
        const p = state.windows[form];
        if (!p)
            return;
        const line = document.createElement('p');
        line.textContent = message;
        p.news.replaceChildren(line);
    },
    showFailure(title, message, button) {
        if (!state.failure) {
            // Its one button closes it; the title bar has no close control.
            const p = makePanel('failure', title, null, true, null);
            p.client.classList.add('message');
            element('div', 'icon', p.client).setAttribute('aria-hidden', 'true');
            p.text = element('p', 'text', p.client);
            p.text.id = 'failure-text';
            p.el.setAttribute('aria-describedby', p.text.id);
            const ok = element('button', 'button', p.client);
            ok.type = 'button';
            ok.textContent = button;
            ok.addEventListener('click', hideFailure);
            p.order = [ok];
            state.failure = p;
        }
        const failure = state.failure;
        failure.text.textContent = message;
        if (failure.el.hidden) {
            // It belongs to the window the user was in: beside it in the
            // column, over it on a wide screen.
            failure.owner = state.active && state.active !== failure ? state.active : null;
            open(failure, failure.owner);
        } else {
            if (document.activeElement === failure.order[0]) {
                // Focus it afresh so that a screen reader reads the new message.
                failure.order[0].blur();
            }
            bringBack(failure);
        }
    },
    // The ended page (index.html) is an application region like the desk:
    // Orca says nothing of a focus that moves from inside one to the document
    // outside it. Its button is described by its words, read with it.
    showEnded(text, button) {
        ended.querySelector('p').textContent = text;
        const restart = ended.querySelector('button');
        restart.textContent = button;
        ended.hidden = false;
        ended.classList.remove('leaving');
        // The focus moves first, then the windows leave.
        restart.focus();
        state.active = null;
        state.panels.slice().forEach(removePanel);
        state.failure = null;
        leave({ el: desk }, () => { desk.hidden = true; });
    },
};
