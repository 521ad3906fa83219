// SPDX-License-Identifier: GPL-3.0-or-later
// Inside Emscripten's glue: hands the page's window manager (site/windows.js,
// at the top of the same module) what it reports to, the functions the
// program exports from C++ (web/main.cpp).
windowManager.connect({
    click: (form, row) => _takhmin_click(form, row),
    close: (form) => _takhmin_close(form),
    restart: () => _takhmin_restart(),
    // The program's own rule (app::joinLines) turns each line break of a
    // pasted text into a space.
    oneLine(text) {
        const size = lengthBytesUTF8(text) + 1;
        const copy = _malloc(size);
        stringToUTF8(text, copy, size);
        const joined = _takhmin_one_line(copy);
        _free(copy);
        const result = UTF8ToString(joined);
        _free(joined);
        return result;
    },
});
