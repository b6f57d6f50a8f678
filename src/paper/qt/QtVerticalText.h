#pragma once
// Vertical writing (縦書き) on a QPainter. The Qt canvas draws every vertical text run through
// these functions, so that the screen, the printer and the PDF writer set vertical text alike.
//
// Geometry (as for TCanvas): (x, y) is the top-right corner of the column; the run goes down;
// the column is font.pixelSize() wide and extends to the left of x.
//
// How a character is set:
// - A double-byte (full-width) character stands upright. When the font has a vertical form
//   of it (、。「」（）ー～ small kana and the like), that form is used: the run is shaped
//   top to bottom with HarfBuzz, which applies the font's vertical substitutions and places
//   the glyph at its vertical origin. A character without a vertical form in the font whose
//   Unicode vertical orientation says it is turned in vertical text (a colon, a dash, a
//   bracket of a face without vertical forms) is turned 90 degrees clockwise instead.
// - A single-byte (half-width) character lies on its side, turned 90 degrees clockwise, as
//   a line of horizontal text turned to run down.
// - A character the face cannot show is taken from the font the toolkit falls back to, and
//   failing that from the CJK faces installed with the program, so that nothing is drawn as
//   an empty box. Control characters (tab) draw nothing.
// Each character is placed at the start of its advance; its glyph is centred across the
// column.
#include <QFont>
#include <QString>
#include <cstdint>
#include <string_view>
#include <vector>

class QPainter;

namespace kaede {

// Draws CP932 text down from (x, y). advances: one per byte along the column (the lead byte
// of a double-byte character carries its advance, the trail byte 0); none: the font's own
// vertical advances. The painter's pen colour is the text colour; the font's underline is
// drawn along the left edge of the column and its strike-out down the middle.
void DrawVerticalText(QPainter& painter, const QFont& font, int32_t x, int32_t y, std::string_view sjis,
                      const int32_t* advances);

// The font's own vertical advance of each byte of CP932 text, in pixels of font.pixelSize():
// out[0 .. sjis.size()). An upright character takes its vertical advance, a turned one its
// horizontal advance.
void VerticalAdvances(const QFont& font, std::string_view sjis, int32_t* out);

// How each character of CP932 text is set in vertical writing (one entry per character).
struct TVerticalGlyph {
  uint32_t Code = 0;        // the Unicode character
  uint32_t Glyph = 0;       // glyph index in Family; 0 when no installed font has the character
  QString Family;           // the face that draws it
  bool Rotated = false;     // lies on its side
  bool VerticalForm = false;  // the font's vertical form replaces the ordinary glyph
  double Advance = 0;       // along the column, in pixels of the font
};
std::vector<TVerticalGlyph> VerticalGlyphs(const QFont& font, std::string_view sjis);

}  // namespace kaede
