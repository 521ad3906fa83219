// SPDX-License-Identifier: GPL-3.0-or-later
// Copies a script without its comments and indentation, for the download:
// the gap between two tokens becomes one line break if it held any (so that
// automatic semicolon insertion reads the code as before), one space if it
// held other blanks, and nothing if it was empty. The first comment (the
// licence line) is kept. Tokens come from acorn, which Emscripten's own
// optimiser uses too, so strings, templates and regular expressions are
// copied untouched.
// Usage: node StripJs.cjs IN OUT
'use strict';
const fs = require('fs');
const acorn = require('acorn');

const [source, target] = process.argv.slice(2);
const code = fs.readFileSync(source, 'utf8');
const licence = code.match(/^\/\/[^\n]*\n/)?.[0] ?? '';
let out = licence;
let last = 0; // end of the previous token
let first = true;
for (const token of acorn.tokenizer(code, { ecmaVersion: 'latest', sourceType: 'module' })) {
    const gap = code.slice(last, token.start);
    if (!first && gap)
        out += /[\n\r\u2028\u2029]/.test(gap) ? '\n' : ' ';
    out += code.slice(token.start, token.end);
    last = token.end;
    first = false;
}
fs.writeFileSync(target, out + '\n');
