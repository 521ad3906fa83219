# SPDX-License-Identifier: GPL-3.0-or-later
"""Cuts the page's Arabic font down to what the first window draws.

The first cut holds the glyphs that the texts of the prerendered first window
(and the loading sign beside it) are drawn with, as HarfBuzz shapes them, and
every form of the number characters TYPED (digits, separators, signs). Its
layout rules keep only what those glyphs need (no closure over the other
letter forms), which makes it well under the whole font: small enough to
arrive with the page's first bytes. The whole font follows once the first
window is drawn (site/start.js) and draws every text from then on. Text
boxes take the TYPED characters from the first cut and every other one from
the whole font, whenever they are drawn.

Both cuts come from one font, so a text drawn by the first cut must look the
same drawn by the whole font: each text is shaped with both, and the build
stops if any glyph, advance or offset differs.

Prints a CMake script that sets, as CSS unicode-range values,
naskh_first_range, the characters of the first cut, and naskh_rest_range,
those of the whole font that it lacks; naskh_typed_range, the TYPED
characters, and naskh_untyped_range, the whole font's others.

Usage: FirstFont.py HB_SHAPE WHOLE.woff2 PAGE.html TYPED OUTPUT.woff2
(TYPED: the typed characters by their code points, e.g. 30-39,2B,660-669)
"""
import json
import re
import subprocess
import sys
import tempfile
from html.parser import HTMLParser

from fontTools import subset
from fontTools.pens.recordingPen import DecomposingRecordingPen
from fontTools.ttLib import TTFont

# Elements that are never drawn; any element marked hidden is not drawn either.
UNDRAWN = {"head", "title", "style", "script", "template"}
VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source", "track", "wbr"}


class DrawnText(HTMLParser):
    """The texts of the page's body that are drawn, one per element."""

    def __init__(self):
        super().__init__()
        self.undrawn = [False]
        self.texts = []

    def handle_starttag(self, tag, attrs):
        if tag not in VOID:
            names = {name for name, _ in attrs}
            self.undrawn.append(self.undrawn[-1] or tag in UNDRAWN or "hidden" in names)

    def handle_endtag(self, tag):
        if tag not in VOID:
            self.undrawn.pop()

    def handle_data(self, data):
        text = data.strip("\n")
        if text and not self.undrawn[-1]:
            self.texts.append(text)


def code_points(spec):
    for item in spec.split(","):
        first, _, last = item.partition("-")
        yield from range(int(first, 16), int(last or first, 16) + 1)


def css_range(codes):
    """Code points as a unicode-range value, runs joined: U+30-39, U+45."""
    codes = sorted(codes)
    runs = []
    for code in codes:
        if runs and runs[-1][1] == code - 1:
            runs[-1][1] = code
        else:
            runs.append([code, code])
    return ", ".join(f"U+{a:X}" if a == b else f"U+{a:X}-{b:X}" for a, b in runs)


def shape(hb_shape, font_path, text, *options):
    """HarfBuzz's glyphs for the text, as the page's Arabic (lang="ar") asks."""
    return subprocess.run([hb_shape, font_path, "--language=ar", "--no-glyph-names", *options, "--", text],
                          check=True, capture_output=True, encoding="utf-8").stdout


def placed_glyphs(hb_shape, font_path, text, script):
    return json.loads(shape(hb_shape, font_path, text, f"--script={script}", "--output-format=json"))


def every_glyph(hb_shape, font_path, text):
    """Every glyph that shaping the text passes through, those that later
    rules replace included: the rules that make them must stay too."""
    trace = shape(hb_shape, font_path, text, "--trace")
    return {int(gid) for gid in re.findall(r"[\[|](\d+)=", trace)}


# The features that browsers apply unasked (HarfBuzz's defaults for Arabic
# and Latin): the others, such as tabular digits, the page never asks for,
# and the first cut leaves them out.
DEFAULT_FEATURES = ["ccmp", "locl", "isol", "init", "medi", "fina", "rlig", "calt", "clig", "liga",
                    "rclt", "curs", "kern", "mark", "mkmk"]


# FreeType's automatic hinter, which browsers on Linux apply to a font
# without hints, places Arabic glyphs by heights it measures on these
# letters (its blue zones: "ا إ ل ك ط ظ", "ت ث ط ظ ك", "ـ"; its standard
# letters "ل ح ـ"). The first cut keeps them all, so that both cuts are
# hinted alike: without ظ, ث and ـ a typed "٫" moved by part of a pixel.
HINTER_LETTERS = "اإلكطظتثـح"


def subset_options(closure):
    options = subset.Options()
    options.layout_features = DEFAULT_FEATURES
    options.layout_closure = closure
    options.hinting = False
    options.notdef_outline = True
    options.recalc_timestamp = False
    return options


def closure(font_path, codes):
    """Every glyph that the layout rules can make of the characters, in any
    context and script: a typed number mixes digits with Latin letters and
    signs, which browsers shape as Latin, and a Latin run takes other forms
    of some signs than an Arabic one."""
    font = TTFont(font_path)
    subsetter = subset.Subsetter(subset_options(True))
    subsetter.populate(unicodes=codes)
    subsetter.subset(font)
    # The glyphs keep the names they had in the whole font.
    whole = TTFont(font_path)
    return {whole.getGlyphID(name) for name in font.getGlyphOrder()}


def main(hb_shape, whole_path, page_path, typed_spec, output):
    with open(page_path, encoding="utf-8") as page:
        parser = DrawnText()
        parser.feed(page.read())
    texts = parser.texts
    typed = [chr(code) for code in code_points(typed_spec)]

    # The font's own date stays, not the time of this build: the same
    # characters give the same bytes.
    whole = TTFont(whole_path, recalcTimestamp=False)
    whole.flavor = None
    cmap = whole.getBestCmap()
    missing = {c for c in "".join(texts) + "".join(typed) if ord(c) not in cmap}
    if missing:
        sys.exit(f"{whole_path} lacks {''.join(sorted(missing))!r}, which the first window needs")

    with tempfile.TemporaryDirectory() as folder:
        whole_ttf = f"{folder}/whole.ttf"
        whole.save(whole_ttf)
        glyphs = closure(whole_ttf, [ord(c) for c in typed])
        for text in texts:
            glyphs |= every_glyph(hb_shape, whole_ttf, text)

        cut = TTFont(whole_ttf, recalcTimestamp=False)
        subsetter = subset.Subsetter(subset_options(False))
        characters = set("".join(texts)) | set(typed) | set(HINTER_LETTERS)
        subsetter.populate(gids=sorted(glyphs), unicodes=[ord(c) for c in characters])
        subsetter.subset(cut)
        cut_ttf = f"{folder}/cut.ttf"
        cut.save(cut_ttf)

        # The same outlines, advances and offsets from both cuts, glyph by glyph.
        first = TTFont(cut_ttf, recalcBBoxes=False, recalcTimestamp=False)

        def outline(font, gid):
            glyphs = font.getGlyphSet()
            pen = DecomposingRecordingPen(glyphs)
            glyphs[font.getGlyphName(gid)].draw(pen)
            return pen.value

        def placed(glyph):
            return {key: value for key, value in glyph.items() if key != "g"}

        # The texts as Arabic; what is typed also as Latin and as neither,
        # each character alone, all of them in a row, and numbers as typed.
        numbers = ["".join(typed), "-25.5e1", "+1,234.5E-3", "−١٢٫٥", "۱۲٬۳۴۵", "٢٥,5"]
        numbers = [n for n in numbers if set(n) <= set(typed)]
        checks = [(text, "arab") for text in texts] + [
            (text, script) for text in typed + numbers for script in ("arab", "latn", "zyyy")]
        for text, script in checks:
            a = placed_glyphs(hb_shape, whole_ttf, text, script)
            b = placed_glyphs(hb_shape, cut_ttf, text, script)
            differ = [(x, y) for x, y in zip(a, b)
                      if placed(x) != placed(y) or outline(whole, x["g"]) != outline(first, y["g"])]
            if differ or len(a) != len(b):
                sys.exit(f"the first cut draws {text!r} ({script}) otherwise than the whole font: "
                         f"{differ[:1] or (len(a), len(b))}")

        # The whole font's extents: browsers size text boxes and lines by a
        # font's widest glyph and bounds, which must not change either.
        for table, fields in [("head", ["xMin", "yMin", "xMax", "yMax"]),
                              ("hhea", ["advanceWidthMax", "minLeftSideBearing", "minRightSideBearing",
                                        "xMaxExtent", "ascent", "descent", "lineGap"])]:
            for field in fields:
                setattr(first[table], field, getattr(whole[table], field))
        first["OS/2"] = whole["OS/2"]
        first.flavor = "woff2"
        first.save(output)
        drawn = set(first.getBestCmap())
    print(f'set(naskh_first_range "{css_range(drawn)}")')
    print(f'set(naskh_rest_range "{css_range(set(cmap) - drawn)}")')
    print(f'set(naskh_typed_range "{css_range({ord(c) for c in typed})}")')
    print(f'set(naskh_untyped_range "{css_range(set(cmap) - {ord(c) for c in typed})}")')


if __name__ == "__main__":
    main(*sys.argv[1:])
