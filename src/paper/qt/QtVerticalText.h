#pragma once
// Vertical writing (縦書き) on a QPainter. The Qt canvas draws every vertical text run through
// these two functions, so that the screen, the printer and the PDF writer set vertical text
// alike.
//
// Geometry (as for TCanvas): (x, y) is the top-right corner of the column; the run goes down;
// the column is font.pixelSize() wide and extends to the left of x. Full-width characters
// stand upright in the font's vertical forms; half-width characters lie on their side (turned
// 90 degrees clockwise); a character the font has no vertical form for is turned explicitly
// where it must be (long vowel mark, brackets, dashes).
#include <QFont>
#include <cstdint>
#include <string_view>

class QPainter;

namespace kaede {

// Draws CP932 text down from (x, y). advances: one per byte along the column (the lead byte
// of a double-byte character carries its advance, the trail byte 0); none: the font's own
// vertical advances. The painter's pen colour is the text colour.
void DrawVerticalText(QPainter& painter, const QFont& font, int32_t x, int32_t y, std::string_view sjis,
                      const int32_t* advances);

// The font's own vertical advance of each byte of CP932 text, in pixels of font.pixelSize():
// out[0 .. sjis.size()).
void VerticalAdvances(const QFont& font, std::string_view sjis, int32_t* out);

}  // namespace kaede
