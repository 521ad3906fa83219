# SPDX-License-Identifier: GPL-3.0-or-later
"""Copies the glyphs of some characters from one TrueType font into another.

The page's Arabic font lacks "+", "-", "−", "E" and "e", which a user may type
into a number box; taken from DejaVu Sans into the same font, every character
of a typed number is drawn by one font; they keep the size DejaVu Sans gives
them, so that an "e" in a Latin word looks like its neighbours.

Usage: AddGlyphs.py BASE.ttf DONOR.ttf HEX,HEX,... OUTPUT.woff2
(the characters by their code points, e.g. 2B,2D,2212,45,65)
"""
import sys

from fontTools.pens.transformPen import TransformPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont


def main(base_path, donor_path, characters, output):
    # The subset's own date stays in the font, not the time of this build:
    # the same characters give the same file.
    base = TTFont(base_path, recalcTimestamp=False)
    donor = TTFont(donor_path)
    # At the donor's own size: the same "e" as in a Latin word beside it.
    scale = base["head"].unitsPerEm / donor["head"].unitsPerEm
    donor_cmap = donor.getBestCmap()
    donor_glyphs = donor.getGlyphSet()
    order = base.getGlyphOrder()
    glyf, hmtx = base["glyf"], base["hmtx"]
    for code in (int(text, 16) for text in characters.split(",")):
        if code in base.getBestCmap():
            continue
        source = donor_cmap[code]
        name = f"added.{source}"
        pen = TTGlyphPen(None)
        donor_glyphs[source].draw(TransformPen(pen, (scale, 0, 0, scale, 0, 0)))
        glyph = pen.glyph()
        glyph.recalcBounds(glyf)
        order.append(name)
        base.setGlyphOrder(order)
        glyf[name] = glyph
        hmtx[name] = (round(donor["hmtx"][source][0] * scale), getattr(glyph, "xMin", 0))
        for table in base["cmap"].tables:
            if table.isUnicode():
                table.cmap[code] = name
    base.flavor = "woff2"
    base.save(output)


if __name__ == "__main__":
    main(*sys.argv[1:])
