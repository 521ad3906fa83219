// SPDX-License-Identifier: GPL-3.0-or-later
// The page's window manager. The program's windows are panels that behave
// like windows on a desktop: a new one opens cascaded inside the viewport, a
// click raises and activates it, its title bar drags it, one larger than the
// viewport is scaled down as a whole, and the keyboard focus stays inside the
// active one (Tab, Shift+Tab; F6 and Shift+F6 go to the next and previous
// window). The C++ adapter builds and fills the panels through the functions
// returned here, and hears of clicks and closes through _takhmin_click and
// _takhmin_close. What the program does is decided there, never here.
var Desk = (function () {
    'use strict';
    var LABEL = 0, TEXT_BOX = 1; // app::ControlKind; the rest are push buttons
    var EDGE = 8, STEP = 24; // CSS px: room kept at the viewport's edges; cascade step
    var desk = document.getElementById('desktop');
    var ended = document.getElementById('ended');
    var panels = []; // every live panel: the program's windows and the failure message
    var windows = []; // the program's windows by form number
    var failure = null; // made at the first failure, then reused
    var active = null;
    var stack = 0; // z-index of the topmost panel
    var cascade = EDGE;
    var armed = null; // the button the space bar went down on
    var resolveReady;
    window.takhminReady = new Promise(function (resolve) { resolveReady = resolve; });

    function element(tag, className, parent) {
        var el = document.createElement(tag);
        if (className)
            el.className = className;
        parent.appendChild(el);
        return el;
    }

    function panelOf(node) {
        for (var i = 0; i < panels.length; ++i)
            if (panels[i].el.contains(node))
                return panels[i];
        return null;
    }

    function makePanel(name, title, closeLabel, role, onClose) {
        var el = element('section', 'window', desk);
        el.hidden = true;
        el.setAttribute('role', role);
        el.setAttribute('aria-modal', 'false');
        el.dataset.form = name;
        var bar = element('div', 'titlebar', el);
        var heading = element('span', 'title', bar);
        heading.id = name + '-title';
        heading.textContent = title;
        el.setAttribute('aria-labelledby', heading.id);
        if (onClose) {
            var close = element('button', 'close', bar);
            close.type = 'button';
            close.tabIndex = -1;
            close.setAttribute('aria-label', closeLabel);
            close.addEventListener('click', onClose);
        }
        var p = { name: name, el: el, client: element('div', 'client', el), controls: [],
                  order: [], last: null, placed: false, x: 0, y: 0, w: 0, h: 0, scale: 1, z: -1 };
        p.client.dataset.client = '';
        bar.addEventListener('pointerdown', function (event) { drag(p, event); });
        panels.push(p);
        return p;
    }

    function removePanel(p) {
        panels.splice(panels.indexOf(p), 1);
        p.el.remove();
        if (active === p)
            afterLosingActive();
    }

    // Like a window manager after a window closes: the topmost remaining
    // window becomes active, once the running handler has shown what it shows.
    function afterLosingActive() {
        active = null;
        queueMicrotask(function () {
            if (active)
                return;
            var top = null;
            panels.forEach(function (p) {
                if (!p.el.hidden && (!top || p.z > top.z))
                    top = p;
            });
            if (top)
                focusInside(activate(top));
        });
    }

    function activate(p) {
        if (active !== p) {
            if (active)
                active.el.classList.remove('active');
            active = p;
            p.el.classList.add('active');
        }
        if (p.z !== stack) {
            p.z = ++stack;
            p.el.style.zIndex = String(p.z);
        }
        return p;
    }

    // The control that had the focus when the window was last active, or
    // the first in its tab order.
    function focusInside(p) {
        var target = p.last && p.el.contains(p.last) ? p.last : p.order[0];
        if (target)
            target.focus({ preventScroll: true });
    }

    function room() {
        return { w: desk.clientWidth, h: desk.clientHeight };
    }

    // A panel larger than the viewport shrinks as a whole; it never reflows.
    function fit(p) {
        var r = room(), w = p.el.offsetWidth, h = p.el.offsetHeight;
        p.scale = Math.min(1, (r.w - 2 * EDGE) / w, (r.h - 2 * EDGE) / h);
        p.w = w * p.scale;
        p.h = h * p.scale;
    }

    function moveTo(p, x, y) {
        var r = room();
        p.x = Math.round(Math.max(0, Math.min(x, r.w - p.w)));
        p.y = Math.round(Math.max(0, Math.min(y, r.h - p.h)));
        p.el.style.transform = 'translate(' + p.x + 'px,' + p.y + 'px)' +
            (p.scale < 1 ? ' scale(' + p.scale + ')' : '');
    }

    function cascadeIn(p) {
        fit(p);
        var r = room();
        if (cascade + p.w > r.w - EDGE || cascade + p.h > r.h - EDGE)
            cascade = EDGE;
        moveTo(p, cascade, cascade);
        cascade += STEP;
        p.placed = true;
    }

    function centreOver(p, over) {
        fit(p);
        var r = over || { x: 0, y: 0, w: room().w, h: room().h };
        moveTo(p, r.x + (r.w - p.w) / 2, r.y + (r.h - p.h) / 2);
    }

    function drag(p, event) {
        if (event.button !== 0 || event.target.closest('.close'))
            return;
        var bar = event.currentTarget, dx = event.clientX - p.x, dy = event.clientY - p.y;
        bar.setPointerCapture(event.pointerId);
        function move(e) { moveTo(p, e.clientX - dx, e.clientY - dy); }
        function stop() {
            bar.removeEventListener('pointermove', move);
            bar.removeEventListener('pointerup', stop);
            bar.removeEventListener('pointercancel', stop);
        }
        bar.addEventListener('pointermove', move);
        bar.addEventListener('pointerup', stop);
        bar.addEventListener('pointercancel', stop);
    }

    function cycleFocus(p, step) {
        var order = p.order, i = order.indexOf(document.activeElement);
        if (!order.length)
            return;
        var next = order[i < 0 ? (step > 0 ? 0 : order.length - 1)
                              : (i + step + order.length) % order.length];
        next.focus();
        // A text box reached with Tab has its text selected, as on the desktop.
        if (next.tagName === 'INPUT')
            next.select();
    }

    function cycleWindows(step) {
        var open = Array.prototype.filter.call(desk.children, function (el) { return !el.hidden; });
        if (!open.length)
            return;
        var i = active ? open.indexOf(active.el) : -1;
        focusInside(activate(panelOf(open[(i + step + open.length) % open.length])));
    }

    // A single-line box never holds a line break: a pasted or dropped one
    // becomes one space, as on the desktop.
    function keepOneLine(event) {
        var box = event.target;
        var text = event.data != null ? event.data
                 : event.dataTransfer ? event.dataTransfer.getData('text/plain') : null;
        if (!text || !/[\r\n\u2028\u2029]/.test(text))
            return;
        event.preventDefault();
        box.setRangeText(text.replace(/\r\n|[\r\n\u2028\u2029]/g, ' '),
                         box.selectionStart, box.selectionEnd, 'end');
    }

    var pointerType = 'mouse';
    document.addEventListener('pointerdown', function (event) {
        pointerType = event.pointerType;
        var p = panelOf(event.target);
        if (p)
            activate(p);
    }, true);
    // A click on a window outside its controls activates it and gives the
    // focus back to the control that had it, as on the desktop. A tap does
    // not, so that it never opens a phone's keyboard for a text box.
    document.addEventListener('mousedown', function (event) {
        var p = panelOf(event.target);
        if (p && !event.target.closest('.client button, .client input')) {
            event.preventDefault();
            if (pointerType === 'mouse')
                focusInside(p);
        }
    });
    document.addEventListener('focusin', function (event) {
        var p = panelOf(event.target);
        if (!p)
            return;
        if (!event.target.classList.contains('close'))
            p.last = event.target;
        activate(p);
    });
    document.addEventListener('keydown', function (event) {
        if (event.key === 'F6') {
            event.preventDefault();
            cycleWindows(event.shiftKey ? -1 : 1);
        } else if (event.key === 'Tab' && active && !active.el.hidden) {
            event.preventDefault();
            cycleFocus(active, event.shiftKey ? -1 : 1);
        } else if (event.target.tagName === 'BUTTON' && (event.key === 'Enter' || event.key === ' ')) {
            // Enter presses at once and the space bar on release, as on the
            // desktop; a held key presses at most one button, once.
            event.preventDefault();
            if (event.repeat)
                return;
            if (event.key === 'Enter') {
                event.target.click();
            } else {
                armed = event.target;
                armed.classList.add('down');
            }
        }
    });
    document.addEventListener('keyup', function (event) {
        if (event.key !== ' ' || !armed)
            return;
        var button = armed;
        armed = null;
        button.classList.remove('down');
        if (button === event.target)
            button.click();
    });
    document.addEventListener('focusout', function (event) {
        if (armed === event.target) {
            armed.classList.remove('down');
            armed = null;
        }
    });
    window.addEventListener('resize', function () {
        panels.forEach(function (p) {
            if (p.placed) {
                fit(p);
                moveTo(p, p.x, p.y);
            }
        });
    });
    ended.querySelector('button').addEventListener('click', function () {
        ended.hidden = true;
        desk.hidden = false;
        cascade = EDGE;
        _takhmin_restart();
    });

    function hideFailure() {
        failure.el.hidden = true;
        if (active === failure)
            afterLosingActive();
    }

    return {
        createWindow: function (form, name, title, width, height, alert, closeLabel) {
            var p = makePanel(name, title, closeLabel, alert ? 'alertdialog' : 'dialog',
                              function () { _takhmin_close(form); });
            p.client.style.width = width + 'px';
            p.client.style.height = height + 'px';
            windows[form] = p;
        },
        addControl: function (form, row, kind, name, text, left, top, width, height, background,
                              align, border, live) {
            var p = windows[form], el;
            if (kind === LABEL) {
                el = element('div', 'label', p.client);
                el.textContent = text;
                el.style.textAlign = align;
                if (border)
                    el.classList.add('border');
                if (live)
                    el.setAttribute('aria-live', 'polite');
            } else if (kind === TEXT_BOX) {
                el = element('input', 'textbox', p.client);
                el.type = 'text';
                el.value = text;
                el.inputMode = 'decimal';
                el.autocomplete = 'off';
                el.spellcheck = false;
                el.addEventListener('beforeinput', keepOneLine);
                if (live && !p.status) {
                    p.status = element('div', 'announce', p.el);
                    p.status.setAttribute('role', 'status');
                }
            } else {
                el = element('button', 'button', p.client);
                el.type = 'button';
                el.textContent = text;
                el.addEventListener('click', function () { _takhmin_click(form, row); });
            }
            el.id = p.name + '-' + name;
            el.dataset.control = name;
            if (live)
                el.dataset.live = '';
            el.style.left = left + 'px';
            el.style.top = top + 'px';
            el.style.width = width + 'px';
            el.style.height = height + 'px';
            if (background)
                el.style.background = background;
            p.controls[row] = el;
        },
        nameBy: function (form, label, control) {
            var p = windows[form];
            p.controls[control].setAttribute('aria-labelledby', p.controls[label].id);
        },
        describeBy: function (form, label) {
            var p = windows[form], ids = p.el.getAttribute('aria-describedby');
            p.el.setAttribute('aria-describedby', (ids ? ids + ' ' : '') + p.controls[label].id);
        },
        setTabOrder: function (form, rows) {
            var p = windows[form];
            p.order = rows.map(function (row) { return p.controls[row]; });
        },
        destroyWindow: function (form) {
            var p = windows[form];
            windows[form] = null;
            if (p)
                removePanel(p);
        },
        showWindow: function (form) {
            var p = windows[form];
            p.el.hidden = false;
            if (!p.placed)
                cascadeIn(p);
            focusInside(activate(p));
            resolveReady();
        },
        text: function (form, row) {
            var el = windows[form].controls[row];
            return el.tagName === 'INPUT' ? el.value : el.textContent;
        },
        setText: function (form, row, text) {
            var p = windows[form], el = p.controls[row];
            if (el.tagName !== 'INPUT') {
                el.textContent = text;
                return;
            }
            el.value = text;
            // Show a result from its first character, as typed text starts.
            el.setSelectionRange(0, 0);
            el.scrollLeft = 0;
            if ('live' in el.dataset)
                p.status.textContent = text;
        },
        showFailure: function (title, message, button) {
            if (!failure) {
                // Its one button closes it; the title bar has no close control.
                failure = makePanel('failure', title, null, 'alertdialog', null);
                failure.client.classList.add('message');
                element('div', 'icon', failure.client).setAttribute('aria-hidden', 'true');
                failure.text = element('p', 'text', failure.client);
                failure.text.id = 'failure-text';
                failure.el.setAttribute('aria-describedby', failure.text.id);
                var ok = element('button', 'button', failure.client);
                ok.type = 'button';
                ok.textContent = button;
                ok.addEventListener('click', hideFailure);
                failure.order = [ok];
            }
            failure.text.textContent = message;
            if (failure.el.hidden) {
                failure.el.hidden = false;
                centreOver(failure, active && active !== failure ? active : null);
                failure.placed = true;
            } else if (document.activeElement === failure.order[0]) {
                // Focus it afresh so that a screen reader reads the new message.
                failure.order[0].blur();
            }
            focusInside(activate(failure));
        },
        showEnded: function (text, button) {
            panels.slice().forEach(removePanel);
            failure = null;
            active = null;
            desk.hidden = true;
            ended.querySelector('p').textContent = text;
            var restart = ended.querySelector('button');
            restart.textContent = button;
            ended.hidden = false;
            restart.focus();
        },
    };
})();
