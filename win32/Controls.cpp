// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/Controls.h"

#include "app/ControlText.h"
#include "win32/Text.h"

#include <commctrl.h>
#include <usp10.h>

#include <string>

namespace win32 {

namespace {

// The width of `text` as it is drawn, shaped by Uniscribe. GDI's
// GetTextExtentPoint32 and DrawText's DT_CALCRECT measure Arabic letters
// unjoined where the system leaves shaping to Uniscribe (Wine does), which
// makes them wider than they are drawn.
double shapedWidth(HDC dc, const std::wstring& text) {
    if (text.empty())
        return 0;
    SCRIPT_STRING_ANALYSIS analysis = nullptr;
    if (FAILED(ScriptStringAnalyse(dc, text.data(), int(text.size()), int(text.size() * 3 / 2 + 16),
                                   -1, SSA_GLYPHS | SSA_FALLBACK, 0, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, &analysis))) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.data(), int(text.size()), &extent);
        return double(extent.cx);
    }
    const SIZE* size = ScriptString_pSize(analysis);
    const double width = size ? double(size->cx) : 0;
    ScriptStringFree(&analysis);
    return width;
}

void drawLabel(HWND label, HDC dc) {
    RECT area;
    GetClientRect(label, &area);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(label), WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(label)));
    FillRect(dc, &area, brush ? brush : GetSysColorBrush(COLOR_3DFACE));

    const auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    const HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    SetBkMode(dc, TRANSPARENT);

    const std::wstring caption = windowText(label);
    const std::string utf8 = toUtf8(caption);
    const auto lines =
        app::wrapAtSpaces(utf8, area.right - area.left,
                          [dc](std::string_view piece) { return shapedWidth(dc, toWide(piece)); });
    const LONG style = GetWindowLongW(label, GWL_STYLE);
    UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_TOP | DT_NOCLIP;
    switch (style & SS_TYPEMASK) {
    case SS_RIGHT:
        format |= DT_RIGHT;
        break;
    case SS_CENTER:
        format |= DT_CENTER;
        break;
    default:
        format |= DT_LEFT;
        break;
    }
    // The window is laid out left to right; a right-to-left caption is read
    // right to left, so that its neutral characters and any Latin words take
    // their places as in an Arabic paragraph.
    const bool rightToLeft = isRightToLeft(caption);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT line = area;
    for (const std::string_view text : lines) {
        line.bottom = line.top + metrics.tmHeight;
        const std::wstring wide = toWide(text);
        DrawTextW(dc, wide.data(), int(wide.size()), &line,
                  format | (rightToLeft ? DT_RTLREADING : 0));
        line.top = line.bottom;
    }
    RestoreDC(dc, saved);
    if (oldFont)
        SelectObject(dc, oldFont);
}

LRESULT CALLBACK labelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                           DWORD_PTR) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(label, &paint);
        drawLabel(label, dc);
        EndPaint(label, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        drawLabel(label, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SETTEXT: {
        const LRESULT result = DefSubclassProc(label, message, wParam, lParam);
        InvalidateRect(label, nullptr, FALSE);
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(label, labelProc, id);
        break;
    }
    return DefSubclassProc(label, message, wParam, lParam);
}

LRESULT CALLBACK textBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                             DWORD_PTR) {
    switch (message) {
    case WM_SETTEXT:
        if (lParam) {
            const std::wstring joined =
                toWide(app::joinLines(toUtf8(reinterpret_cast<const wchar_t*>(lParam))));
            return DefSubclassProc(box, message, wParam, reinterpret_cast<LPARAM>(joined.c_str()));
        }
        break;
    case WM_PASTE: {
        if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(box))
            return 0;
        std::wstring pasted;
        if (const HANDLE data = GetClipboardData(CF_UNICODETEXT))
            if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
                pasted = text;
                GlobalUnlock(data);
            }
        CloseClipboard();
        const std::wstring joined = toWide(app::joinLines(toUtf8(pasted)));
        SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(joined.c_str()));
        return 0;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(box, textBoxProc, id);
        break;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

} // namespace

void drawCaptionInLines(HWND label) {
    SetWindowSubclass(label, labelProc, 0, 0);
}

void keepOnOneLine(HWND box) {
    SetWindowSubclass(box, textBoxProc, 0, 0);
}

} // namespace win32
