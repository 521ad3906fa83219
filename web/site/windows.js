// SPDX-License-Identifier: GPL-3.0-or-later
// The page's window manager. The program's windows are panels that behave
// like windows on a desktop: a new one opens where it covers no other window
// (or covers the least, when the page has no room), a click raises and
// activates it, its title bar drags it, and the keyboard focus stays inside
// the active one (Tab, Shift+Tab; F6 and Shift+F6 go from window to window and
// to the list of open windows). On a narrow screen the windows stand in one
// column in the order they opened, and the page scrolls. The C++ adapter
// builds and fills the panels through `windowManager`; what the program does
// is decided there, never here.
//
// This file heads the takhmin.js module, ahead of Emscripten's glue: its names
// are the module's own, and `windowManager` is the one it exports.

const EDGE = 8; // CSS px kept free at the desk's edges and between windows
const GRID = 8; // CSS px: the step of the search for a free place
// A second press this soon after the first, and this close to it, makes a
// double tap; a mouse's double click is counted by the browser (event.detail)
// with the system's own settings.
const DOUBLE_TAP_MS = 500;
const DOUBLE_TAP_PX = 24;
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
const ended = document.getElementById('ended');

const panels = []; // every live panel: the program's windows and the failure message
const windows = []; // the program's windows by form number
const opened = []; // the visible panels, in the order they opened
let failure = null; // made at the first failure, then reused
let active = null;
let stack = 0; // z-index of the topmost panel
let program = null; // what the window manager reports to: see connect()
// How the user last acted: 'mouse', 'touch', 'pen' or 'keyboard'.
let lastInput = matchMedia('(pointer: coarse)').matches ? 'touch' : 'mouse';
let press = { time: -Infinity, x: 0, y: 0 }; // the last pointer press
let pressBefore = press; // the one before it
// The first window may stand in the page's HTML already, written at build
// time by this same code (web/prerender.mjs), so that it shows before the
// program has arrived. The first time the program creates that window, its
// panel takes over those elements instead of making new ones: what the user
// typed there and where the focus is stay as they are. Later windows, and
// every window after a restart, are made afresh.
let prerendered = desk.querySelector('.window.prerendered');
let taking = null; // the elements taken over so far, while that happens

// The next element of `parent` not yet taken over, while a prerendered
// window is: this code made them in the same order.
function takeOver(tag, parent) {
    const el = taking && [...parent.children].find((c) => c.localName === tag && !taking.has(c));
    if (!el)
        return null;
    taking.add(el);
    return el;
}

function element(tag, className, parent) {
    let el = takeOver(tag, parent);
    if (!el) {
        el = document.createElement(tag);
        parent.appendChild(el);
    }
    if (className)
        el.className = className;
    return el;
}

function panelOf(node) {
    return panels.find((p) => p.el.contains(node)) ?? null;
}

function makePanel(name, title, closeLabel, alert, onClose) {
    // Chromium reports an alert that appears as added three times, and Orca
    // reads the whole alert each time, before it reads it once more as the
    // focus arrives. Within a region whose live news is off Orca leaves
    // those reports alone: the alert is read once, as the focus arrives.
    const holder = alert ? element('div', null, desk) : null;
    holder?.setAttribute('aria-live', 'off');
    const el = element('section', 'window', holder ?? desk);
    // Hiding a window taken over would take the focus out of it.
    el.hidden = !taking;
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
        close.addEventListener('click', onClose);
    }
    // The view shows the client area; on a narrow screen it scrolls sideways
    // when the window is wider than the screen, so that the page never does
    // (a phone would zoom the whole page out and shrink its text).
    const view = element('div', 'view', el);
    const p = { name, title, el, holder, view, client: element('div', 'client', view), controls: [],
                order: [], last: null, home: null, x: 0, y: 0, z: -1, shownAt: -Infinity, tab: null,
                takenOver: !!taking };
    p.client.dataset.client = '';
    bar.addEventListener('pointerdown', (event) => drag(p, event));
    panels.push(p);
    return p;
}

function removePanel(p) {
    panels.splice(panels.indexOf(p), 1);
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
    const i = opened.indexOf(p);
    if (i >= 0)
        opened.splice(i, 1);
    p.tab?.remove();
    p.tab = null;
    taskbar.hidden = !opened.length;
    if (narrowScreen.matches)
        layOut();
    if (active !== p)
        return;
    active = null;
    queueMicrotask(() => {
        if (active)
            return;
        const top = opened.reduce((a, b) => (!a || b.z > a.z ? b : a), null);
        if (top)
            focusInside(activate(top));
    });
}

function activate(p) {
    if (active !== p) {
        active?.el.classList.remove('active');
        active?.tab?.setAttribute('aria-current', 'false');
        active = p;
        p.el.classList.add('active');
        p.tab?.setAttribute('aria-current', 'true');
    }
    if (p.z !== stack) {
        p.z = ++stack;
        p.el.style.zIndex = String(p.z);
    }
    return p;
}

// The control that had the focus when the window was last active, or the
// first in its tab order. After a touch a text box is left for the user's own
// tap, which opens the phone's keyboard: the window itself takes the focus.
function focusInside(p) {
    let target = p.last && p.el.contains(p.last) ? p.last : p.order[0];
    if (!target || (target.tagName === 'INPUT' && (lastInput === 'touch' || lastInput === 'pen')))
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
    const others = opened.filter((o) => o !== p && o.home).map((o) => ({
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
// narrow one, in one column in the order they opened, the page scrolling
// down; text keeps its size, and a window wider than the screen scrolls
// sideways inside, starting from its right, where Arabic lines begin.
function layOut() {
    if (narrowScreen.matches) {
        // The style sheet centres each window and keeps it within the page.
        let y = EDGE;
        for (const p of opened) {
            moveTo(p, 0, y);
            y += p.el.offsetHeight + EDGE;
        }
        desk.style.height = `${y}px`;
        return;
    }
    desk.style.height = '';
    for (const p of opened) {
        if (p === failure)
            centreOver(p, p.owner);
        else
            place(p);
    }
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
    const i = after ? opened.indexOf(after) + 1 : 0;
    opened.splice(i > 0 ? i : opened.length, 0, p);
    const tab = p.takenOver ? takeOver('button', taskbar) : null;
    p.tab = tab ?? document.createElement('button');
    p.tab.type = 'button';
    p.tab.textContent = p.title.trim();
    p.tab.setAttribute('aria-current', 'false');
    p.tab.addEventListener('click', () => bringBack(p));
    if (!tab)
        taskbar.insertBefore(p.tab, opened[opened.indexOf(p) + 1]?.tab ?? null);
    taskbar.hidden = false;
    if (narrowScreen.matches)
        layOut();
    else if (p === failure)
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
    if (!opened.length || (inList && !event.shiftKey))
        return;
    event.preventDefault();
    const stops = [...opened, null]; // null: the list
    const here = inList ? stops.length - 1 : Math.max(0, stops.indexOf(active));
    const next = stops[(here + (event.shiftKey ? -1 : 1) + stops.length) % stops.length];
    if (next)
        bringBack(next);
    else
        (active?.tab ?? opened[0].tab).focus();
}

// A single-line box never holds a line break: a pasted or dropped one
// becomes one space, as on the desktop.
function keepOneLine(event) {
    const box = event.target;
    const text = event.data ?? event.dataTransfer?.getData('text/plain') ?? null;
    if (!text || !/[\r\n\u2028\u2029]/.test(text))
        return;
    event.preventDefault();
    box.setRangeText(program.oneLine(text), box.selectionStart, box.selectionEnd, 'end');
}

function hideFailure() {
    closed(failure);
    const p = failure;
    leave(p, () => { p.el.hidden = true; });
}

// A press must never reach a window that appeared under the pointer during
// the same double click or double tap: the second press of the pair is not
// a press for it.
function secondOfDouble(event) {
    if (event.detail >= 2)
        return true;
    return lastInput !== 'mouse' && press.time - pressBefore.time < DOUBLE_TAP_MS &&
           Math.hypot(press.x - pressBefore.x, press.y - pressBefore.y) < DOUBLE_TAP_PX;
}

document.addEventListener('pointerdown', (event) => {
    lastInput = event.pointerType || 'mouse';
    pressBefore = press;
    press = { time: event.timeStamp, x: event.clientX, y: event.clientY };
    const p = panelOf(event.target);
    if (p)
        activate(p);
}, true);
document.addEventListener('click', (event) => {
    const p = panelOf(event.target);
    if (p && event.detail > 0 && p.shownAt > pressBefore.time && secondOfDouble(event)) {
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
        if (lastInput === 'mouse')
            focusInside(p);
    }
});
document.addEventListener('click', (event) => {
    const p = panelOf(event.target);
    if (p && lastInput === 'mouse' && document.activeElement === p.el && getSelection().isCollapsed)
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
    lastInput = 'keyboard';
    if (event.key === 'F6') {
        cycleWindows(event);
    } else if (event.key === 'Tab' && active && !active.el.hidden && !taskbar.contains(event.target)) {
        event.preventDefault();
        cycleFocus(active, event.shiftKey ? -1 : 1);
    } else if (event.key === 'Enter' && event.repeat && event.target.tagName === 'BUTTON') {
        // A held Enter presses the button it went down on once, and no other.
        event.preventDefault();
    } else if (event.key === 'Escape' && failure && active === failure) {
        // As a desktop's message box.
        hideFailure();
    }
});
window.addEventListener('resize', () => {
    if (opened.length)
        layOut();
});
ended.querySelector('button').addEventListener('click', () => {
    desk.hidden = false;
    desk.classList.remove('leaving');
    program.restart();
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
        if (!taking?.has(el))
            el.value = text;
        el.inputMode = 'decimal';
        el.autocomplete = 'off';
        el.spellcheck = false;
        el.addEventListener('beforeinput', keepOneLine);
        return el;
    },
    pushButton(p, form, row, text) {
        const el = element('button', 'button', p.client);
        el.type = 'button';
        el.textContent = text;
        el.addEventListener('click', () => program.click(form, row));
        return el;
    },
};

export const windowManager = {
    // The program's side: click(form, row), close(form), oneLine(text) and
    // restart(), from the glue (site/program.js).
    connect(callbacks) {
        program = callbacks;
    },
    createWindow(form, name, title, width, height, alert, closeLabel) {
        // Only the program's first window can be the one in the page.
        if (prerendered?.dataset.form === name) {
            taking = new WeakSet();
        } else if (prerendered) {
            prerendered.remove();
            taskbar.replaceChildren(); // its entry, the only one yet
        }
        prerendered = null;
        const p = makePanel(name, title, closeLabel, alert, () => program.close(form));
        p.client.style.width = `${width}px`;
        p.client.style.height = `${height}px`;
        // Where the window's news is read out, wherever the focus is.
        p.news = element('div', 'announce', p.el);
        p.news.setAttribute('role', 'status');
        p.news.setAttribute('aria-atomic', 'true');
        windows[form] = p;
    },
    addControl(form, row, kind, name, text, left, top, width, height, background, align, border) {
        const p = windows[form];
        const el = makeControl[kind](p, form, row, text, align, border);
        el.id = `${p.name}-${name}`;
        el.dataset.control = name;
        el.style.left = `${left}px`;
        el.style.top = `${top}px`;
        el.style.width = `${width}px`;
        el.style.height = `${height}px`;
        if (background)
            el.style.background = background;
        p.controls[row] = el;
    },
    nameBy(form, label, control) {
        const p = windows[form];
        p.controls[control].setAttribute('aria-labelledby', p.controls[label].id);
    },
    describeBy(form, label) {
        const p = windows[form], ids = p.el.getAttribute('aria-describedby');
        p.el.setAttribute('aria-describedby', (ids ? `${ids} ` : '') + p.controls[label].id);
    },
    setTabOrder(form, rows) {
        const p = windows[form];
        p.order = rows.map((row) => p.controls[row]);
    },
    destroyWindow(form) {
        const p = windows[form];
        windows[form] = null;
        if (p)
            removePanel(p);
    },
    showWindow(form) {
        const p = windows[form];
        if (!opened.includes(p))
            open(p);
        else
            bringBack(p);
        taking = null;
    },
    text(form, row) {
        const el = windows[form].controls[row];
        return el.tagName === 'INPUT' ? el.value : el.textContent;
    },
    setText(form, row, text) {
        const el = windows[form].controls[row];
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
        const p = windows[form];
        if (!p)
            return;
        const line = document.createElement('p');
        line.textContent = message;
        p.news.replaceChildren(line);
    },
    showFailure(title, message, button) {
        if (!failure) {
            // Its one button closes it; the title bar has no close control.
            failure = makePanel('failure', title, null, true, null);
            failure.client.classList.add('message');
            element('div', 'icon', failure.client).setAttribute('aria-hidden', 'true');
            failure.text = element('p', 'text', failure.client);
            failure.text.id = 'failure-text';
            failure.el.setAttribute('aria-describedby', failure.text.id);
            const ok = element('button', 'button', failure.client);
            ok.type = 'button';
            ok.textContent = button;
            ok.addEventListener('click', hideFailure);
            failure.order = [ok];
        }
        failure.text.textContent = message;
        if (failure.el.hidden) {
            // It belongs to the window the user was in: beside it in the
            // column, over it on a wide screen.
            failure.owner = active && active !== failure ? active : null;
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
        active = null;
        panels.slice().forEach(removePanel);
        failure = null;
        leave({ el: desk }, () => { desk.hidden = true; });
    },
};
