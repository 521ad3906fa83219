// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the program's first window into the page at build time, so that the
// page shows it before the program has arrived. Nothing here knows what that
// window holds: the program itself (web/main.cpp, built for node) starts as
// it does in the browser, and the page's own window manager (site/windows.js)
// builds and shows the first window into a small stand-in for the document
// that records what it is given. The recorded elements then go into the page
// as HTML; their inline styles, which the page's Content Security Policy
// forbids in markup, go into one <style> element allowed by its hash. The
// window is marked "prerendered": windows.js takes it over when the program
// arrives (see there).
// Usage: node prerender.mjs PAGE WINDOWS_JS PROGRAM_CJS OUTPUT
import { createHash } from 'node:crypto';
import { readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { resolve } from 'node:path';

const [pagePath, windowsPath, programPath, outputPath] = process.argv.slice(2);
let page = readFileSync(pagePath, 'utf8');

const kebab = (name) => name.replace(/[A-Z]/g, (c) => `-${c.toLowerCase()}`);
const escapeText = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
const escapeAttribute = (s) => s.replace(/&/g, '&amp;').replace(/"/g, '&quot;');
const unescape = (s) => s.replace(/&(quot|lt|gt|amp);/g, (_, e) => ({ quot: '"', lt: '<', gt: '>', amp: '&' })[e]);

// Properties that windows.js sets and HTML writes as attributes. The elements
// take no other properties: windows.js is a module, so strict, and setting
// one this stand-in does not know throws instead of being lost.
const reflected = { id: 'id', className: 'class', type: 'type', inputMode: 'inputmode',
                    autocomplete: 'autocomplete', value: 'value' };

class Element {
    parentNode = null;
    childList = [];
    text = null;
    attributes = new Map();
    styles = new Map();
    scrollLeft = 0;
    // An element of the page that is not written back (the ended page): it
    // stands in with whatever windows.js looks for inside it.
    standIn = false;
    // No layout here: a window has no size and the desk room for any, so a
    // window opens where it opens on any screen wide enough for it.
    offsetWidth = 0;
    offsetHeight = 0;
    clientWidth = Infinity;
    clientHeight = Infinity;
    scrollHeight = 0;
    getBoundingClientRect() {
        return { left: 0, top: 0, right: 0, bottom: 0, width: 0, height: 0 };
    }

    constructor(tag) {
        this.localName = tag;
        this.tagName = tag.toUpperCase();
        const el = this;
        this.style = new Proxy({}, {
            get: (_, name) => el.styles.get(kebab(String(name))) ?? '',
            set: (_, name, value) => {
                if (value === '') el.styles.delete(kebab(name));
                else el.styles.set(kebab(name), String(value));
                return true;
            },
        });
        this.dataset = new Proxy({}, {
            get: (_, name) => el.getAttribute(`data-${kebab(String(name))}`) ?? undefined,
            set: (_, name, value) => { el.setAttribute(`data-${kebab(name)}`, value); return true; },
        });
        this.classList = {
            contains: (c) => el.className.split(' ').includes(c),
            add: (c) => { if (!el.classList.contains(c)) el.className = `${el.className} ${c}`.trim(); },
            remove: (c) => { el.className = el.className.split(' ').filter((x) => x && x !== c).join(' '); },
            toggle: (c, on = !el.classList.contains(c)) => { (on ? el.classList.add : el.classList.remove)(c); return on; },
        };
        Object.preventExtensions(this);
    }

    get children() { return this.childList; }
    get firstElementChild() { return this.childList[0] ?? null; }
    get isConnected() { return this.parentNode !== null; }
    get hidden() { return this.attributes.has('hidden'); }
    set hidden(on) { if (on) this.setAttribute('hidden', ''); else this.removeAttribute('hidden'); }
    get tabIndex() { return Number(this.getAttribute('tabindex') ?? -1); }
    set tabIndex(n) { this.setAttribute('tabindex', n); }
    get spellcheck() { return this.getAttribute('spellcheck') !== 'false'; }
    set spellcheck(on) { this.setAttribute('spellcheck', on ? 'true' : 'false'); }
    get textContent() { return this.text ?? this.childList.map((c) => c.textContent).join(''); }
    set textContent(text) { this.replaceChildren(); this.text = String(text); }

    getAttribute(name) { return this.attributes.get(name) ?? null; }
    setAttribute(name, value) { this.attributes.set(name, String(value)); }
    removeAttribute(name) { this.attributes.delete(name); }
    addEventListener() {}
    removeEventListener() {}
    focus() { document.activeElement = this; }
    blur() {}
    select() {}
    setSelectionRange() {}
    scrollIntoView() {}

    appendChild(child) { return this.insertBefore(child, null); }
    insertBefore(child, before) {
        child.remove();
        const i = before ? this.childList.indexOf(before) : -1;
        this.childList.splice(i < 0 ? this.childList.length : i, 0, child);
        child.parentNode = this;
        return child;
    }
    remove() {
        if (!this.parentNode) return;
        const siblings = this.parentNode.childList;
        siblings.splice(siblings.indexOf(this), 1);
        this.parentNode = null;
    }
    replaceChildren(...nodes) {
        for (const c of [...this.childList]) c.remove();
        this.text = null;
        for (const n of nodes) this.appendChild(n);
    }
    contains(node) {
        for (let n = node; n; n = n.parentNode) if (n === this) return true;
        return false;
    }
    // Selectors of one tag and classes only: all that windows.js asks.
    querySelector(selector) {
        const [, tag, classes] = selector.match(/^([a-z]*)((?:\.[\w-]+)*)$/) ?? [];
        if (tag === undefined) throw new Error(`prerender.mjs does not know the selector ${selector}`);
        const matches = (el) => (!tag || el.localName === tag) &&
            classes.split('.').filter(Boolean).every((c) => el.classList.contains(c));
        const walk = (el) => {
            for (const c of el.childList) {
                const found = matches(c) ? c : walk(c);
                if (found) return found;
            }
            return null;
        };
        return walk(this) ?? (this.standIn ? new Element(tag || 'div') : null);
    }
}
for (const [property, attribute] of Object.entries(reflected)) {
    Object.defineProperty(Element.prototype, property, {
        get() { return this.getAttribute(attribute) ?? ''; },
        set(value) { this.setAttribute(attribute, value); },
    });
}
// The page's elements by id, with their attributes from the page; the first
// window shows in these two.
const writtenBack = ['desktop', 'taskbar'];
const byId = new Map();
function pageElement(id) {
    if (!byId.has(id)) {
        const found = page.match(new RegExp(`<([a-z]+) id="${id}"([^>]*)>`));
        if (!found) throw new Error(`${pagePath} has no element ${id}`);
        const el = new Element(found[1]);
        el.setAttribute('id', id);
        for (const [, name, value] of found[2].matchAll(/([\w-]+)(?:="([^"]*)")?/g))
            el.setAttribute(name, unescape(value ?? ''));
        el.standIn = !writtenBack.includes(id);
        byId.set(id, el);
    }
    return byId.get(id);
}

const html = new Element('html');
const body = html.appendChild(new Element('body'));
const document = {
    documentElement: html,
    body,
    activeElement: body,
    createElement: (tag) => new Element(tag),
    getElementById: pageElement,
    addEventListener() {},
    // Text that takes no room: nothing is ever crowded here.
    createRange: () => ({ selectNodeContents() {}, getClientRects: () => [] }),
    fonts: { addEventListener() {} },
};
Object.assign(globalThis, {
    document,
    window: { addEventListener() {} },
    matchMedia: () => ({ matches: false, addEventListener() {} }),
    requestAnimationFrame: () => 0,
    getSelection: () => ({ isCollapsed: true }),
});
globalThis.navigator ??= { userAgent: '' }; // node 20 has none

// windows.js is an ES module that node, outside a "type": "module" package,
// would read as CommonJS: it comes in by its text.
const source = readFileSync(windowsPath, 'utf8');
const { windowManager } = await import(`data:text/javascript;base64,${Buffer.from(source).toString('base64')}`);
// What the program's EM_JS functions call (web/Dom.cpp); main runs as the
// module is required, and returns once the first window is shown.
globalThis.windowManager = windowManager;
createRequire(import.meta.url)(resolve(programPath));

// The recorded elements as HTML, their styles as rules. Inside a window an
// element is found by its place, from the window down.
const rules = [];
function write(el, selector) {
    if (el.styles.size) {
        if (!selector) throw new Error(`a style outside a window: ${el.localName}`);
        const style = [...el.styles].map(([name, value]) => `${name}: ${value};`).join(' ');
        if (/[{}<]/.test(style)) throw new Error(`an unexpected style: ${style}`);
        rules.push(`${selector} { ${style} }`);
    }
    // The control the program gave the focus: takhmin.css draws the ring on it
    // and site/start.js gives it the focus. Not `autofocus`, which
    // WebKit acted on as late as its first frame, even after the focus had
    // been put elsewhere, taking it from a box being typed into.
    const attributes = [...el.attributes, ...(el === document.activeElement ? [['data-focus', '']] : [])]
        .map(([name, value]) => ` ${name}="${escapeAttribute(value)}"`).join('');
    const inner = el.text !== null ? escapeText(el.text)
        : el.childList.map((c, i) => write(c, selector && `${selector} > :nth-child(${i + 1})`)).join('');
    return `<${el.localName}${attributes}>${el.localName === 'input' ? '' : `${inner}</${el.localName}>`}`;
}

const desk = pageElement('desktop');
const windows = desk.childList.filter((w) => !w.hidden);
if (windows.length !== desk.childList.length || !windows.length)
    throw new Error('the program showed no window, or left a hidden one');
for (const w of windows) w.classList.add('prerendered');
// A window's own rule names it; its elements follow from there.
const windowSelector = (w) => `.prerendered[data-form="${w.dataset.form}"]`;
for (const id of writtenBack) {
    const el = pageElement(id);
    const attributes = [...el.attributes].map(([n, v]) => ` ${n}="${escapeAttribute(v)}"`).join('');
    const inner = el.childList.map((c) => write(c, el === desk ? windowSelector(c) : null)).join('');
    const element = new RegExp(`<(${el.localName}) id="${id}"[^>]*></\\1>`);
    if (!element.test(page)) throw new Error(`${pagePath}: no empty element ${id} to fill`);
    page = page.replace(element, () => `<${el.localName}${attributes}>${inner}</${el.localName}>`);
}

const style = `\n${rules.join('\n')}\n`;
const hash = createHash('sha256').update(style).digest('base64');
const policy = "default-src 'self';";
if (!page.includes(policy)) throw new Error(`${pagePath}: no ${policy} to allow the window's <style> in`);
page = page.replace(policy, () => `${policy} style-src 'self' 'sha256-${hash}';`)
    .replace('</head>', () => `<style>${style}</style>\n</head>`);
writeFileSync(outputPath, page);
