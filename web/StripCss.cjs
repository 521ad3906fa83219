// SPDX-License-Identifier: GPL-3.0-or-later
// Copies a style sheet without its comments, indentation and empty lines,
// for the download: the comments are most of its compressed size. The first
// comment (the licence line) is kept. Strings are copied untouched, a
// comment mark inside one included; a comment between two tokens leaves a
// space, so that they stay apart.
// Usage: node StripCss.cjs IN OUT
'use strict';
const fs = require('fs');

const [source, target] = process.argv.slice(2);
const css = fs.readFileSync(source, 'utf8');
let out = '';
let kept = false; // the licence comment
for (let i = 0; i < css.length;) {
    const c = css[i];
    if (c === '"' || c === "'") {
        let end = i + 1;
        while (end < css.length && css[end] !== c && css[end] !== '\n')
            end += css[end] === '\\' ? 2 : 1;
        out += css.slice(i, end + 1);
        i = end + 1;
    } else if (css.startsWith('/*', i)) {
        const end = css.indexOf('*/', i + 2);
        if (end < 0)
            throw new Error(`${source}: a comment without its end`);
        out += kept ? ' ' : css.slice(i, end + 2);
        kept = true;
        i = end + 2;
    } else {
        out += c;
        ++i;
    }
}
const lines = out.split('\n').map((line) => line.trim()).filter((line) => line);
fs.writeFileSync(target, lines.join('\n') + '\n');
