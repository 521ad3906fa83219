// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/Dom.h"

#include <emscripten/emscripten.h>

#include <cstdlib>

// Strings cross as UTF-8 pointer and length; `windowManager` is the page's
// window manager, defined in site/windows.js at the top of the same module.

EM_JS(void, js_createWindow,
      (int form, const char* name, int nameLength, const char* title, int titleLength, int width,
       int height, bool alert, const char* close, int closeLength),
      {
          windowManager.createWindow(form, UTF8ToString(name, nameLength),
                                     UTF8ToString(title, titleLength), width, height, alert,
                                     UTF8ToString(close, closeLength));
      });

EM_JS(void, js_addControl,
      (int form, int row, const char* kind, const char* name, int nameLength, const char* text,
       int textLength, int left, int top, int width, int height, const char* background,
       int backgroundLength, const char* align, int alignLength, bool border),
      {
          windowManager.addControl(form, row, UTF8ToString(kind), UTF8ToString(name, nameLength),
                                   UTF8ToString(text, textLength), left, top, width, height,
                                   UTF8ToString(background, backgroundLength),
                                   UTF8ToString(align, alignLength), border);
      });

EM_JS(void, js_nameBy, (int form, int label, int control),
      { windowManager.nameBy(form, label, control); });

EM_JS(void, js_describeBy, (int form, int label), { windowManager.describeBy(form, label); });

EM_JS(void, js_setTabOrder, (int form, const int* rows, int count), {
    windowManager.setTabOrder(form, Array.from(HEAP32.subarray(rows >> 2, (rows >> 2) + count)));
});

EM_JS(void, js_setFlow, (int form, const int* rows, const int* shares, int count), {
    windowManager.setFlow(form, Array.from(HEAP32.subarray(rows >> 2, (rows >> 2) + count)),
                          Array.from(HEAP32.subarray(shares >> 2, (shares >> 2) + count)));
});

EM_JS(void, js_destroyWindow, (int form), { windowManager.destroyWindow(form); });

EM_JS(void, js_showWindow, (int form), { windowManager.showWindow(form); });

// Returns a malloc'd NUL-terminated copy of the control's text.
EM_JS(char*, js_text, (int form, int row), {
    const text = windowManager.text(form, row);
    const size = lengthBytesUTF8(text) + 1;
    const copy = _malloc(size);
    stringToUTF8(text, copy, size);
    return copy;
});

EM_JS(void, js_setText, (int form, int row, const char* text, int length),
      { windowManager.setText(form, row, UTF8ToString(text, length)); });

EM_JS(void, js_announce, (int form, const char* message, int length),
      { windowManager.announce(form, UTF8ToString(message, length)); });

EM_JS(void, js_showFailure,
      (const char* title, int titleLength, const char* message, int messageLength,
       const char* button, int buttonLength),
      {
          windowManager.showFailure(UTF8ToString(title, titleLength),
                                    UTF8ToString(message, messageLength),
                                    UTF8ToString(button, buttonLength));
      });

EM_JS(void, js_showEnded, (const char* text, int textLength, const char* button, int buttonLength),
      {
          windowManager.showEnded(UTF8ToString(text, textLength),
                                  UTF8ToString(button, buttonLength));
      });

namespace web::dom {

namespace {

int size(std::string_view text) {
    return static_cast<int>(text.size());
}

// The name by which site/windows.js makes a control of the kind.
const char* kindName(app::ControlKind kind) {
    switch (kind) {
    case app::ControlKind::Label:
        return "label";
    case app::ControlKind::TextBox:
        return "textBox";
    case app::ControlKind::PushButton:
        return "pushButton";
    }
    return "";
}

} // namespace

void createWindow(int form, std::string_view name, std::string_view title, int width, int height,
                  bool alert, std::string_view closeLabel) {
    js_createWindow(form, name.data(), size(name), title.data(), size(title), width, height, alert,
                    closeLabel.data(), size(closeLabel));
}

void addControl(int form, int row, app::ControlKind kind, std::string_view name,
                std::string_view text, Box box, std::string_view background, std::string_view align,
                bool border) {
    js_addControl(form, row, kindName(kind), name.data(), size(name), text.data(), size(text),
                  box.left, box.top, box.width, box.height, background.data(), size(background),
                  align.data(), size(align), border);
}

void nameBy(int form, int label, int control) {
    js_nameBy(form, label, control);
}

void describeBy(int form, int label) {
    js_describeBy(form, label);
}

void setTabOrder(int form, const int* rows, int count) {
    js_setTabOrder(form, rows, count);
}

void setFlow(int form, const int* rows, const int* shares, int count) {
    js_setFlow(form, rows, shares, count);
}

void destroyWindow(int form) {
    js_destroyWindow(form);
}

void showWindow(int form) {
    js_showWindow(form);
}

std::string text(int form, int row) {
    char* copy = js_text(form, row);
    std::string result(copy);
    std::free(copy);
    return result;
}

void setText(int form, int row, std::string_view text) {
    js_setText(form, row, text.data(), size(text));
}

void announce(int form, std::string_view message) {
    js_announce(form, message.data(), size(message));
}

void showFailure(std::string_view title, std::string_view message, std::string_view button) {
    js_showFailure(title.data(), size(title), message.data(), size(message), button.data(),
                   size(button));
}

void showEnded(std::string_view text, std::string_view button) {
    js_showEnded(text.data(), size(text), button.data(), size(button));
}

} // namespace web::dom
