#pragma once
// Drawing the editor's text on a canvas: the state of every cell of a display line (which
// view element draws it), then each row with its line-number margin, its text run by run at
// the layout's advances, the marks of line ends, tabs and spaces, the unfilled cells, the
// grid and dividers, and the ruby, emphasis and footnote marks over it all. The same code
// draws the window, the printed page and the PDF file. Text goes out directly whatever the
// style's supersampling factor (AntiArius): the canvas smooths glyphs itself.
#include <functional>
#include <string>
#include <vector>

#include "Canvas.h"
#include "EditLists.h"
#include "EditorGeometry.h"

namespace kaede {

// One cell of a display line: the element that draws it, its advance along the line and a
// spare advance kept for proportional layout.
struct TColumnStatus {
  int32_t Element = TEditorStyle::viNormal;
  int32_t Advance = 0;
  int32_t Spare = 0;
  bool operator==(const TColumnStatus&) const = default;
};
using TColumnStatuses = std::vector<TColumnStatus>;

// The state of one display line, kept between paints.
struct RLineStatus {
  int32_t Row = -1;        // the display line it describes
  uint64_t Version = 0;    // of the text and the marks it was made from
  std::string Text;        // DisplayText of the row
  TColumnStatuses Columns;  // one per cell (byte) of Text
  TIntegers Offsets;        // from the text start to each cell: Offsets[i] is where cell i begins
  TRects Notes;            // footnote marks of the row (hit areas), on the surface
};

// What the painter needs besides the style, the text and the geometry.
struct TEditorPaintState {
  TPoint Caret{1, 0};
  bool ReadOnly = false;
  bool HasSelection = false, Box = false;
  TPoint SelStart{1, 0}, SelEnd{1, 0};  // ordered
  std::string FindText;
  bool IgnoreCase = false;
  bool Printing = false;
  int32_t Dpi = 96;
  std::function<bool(int32_t line)> Marked;
  // Pixel height of an element's font on the surface (none: scaled from the text font).
  std::function<int32_t(int element)> FontPx;
  // Proportional text: the metrics of the text font, and (with the paper shown) the font
  // height and spacing of the printer's layout, so that a screen line ends where it prints.
  const TTextMetrics* Metrics = nullptr;
  int32_t ReferenceFontHeight = 0;
  int32_t ReferenceSpacing = 0;
};

class TEditorPainter {
public:
  TEditorPainter(const TEditorStyle& style, const TEditList& lines, const TEditorGeometry& geometry,
                 const TEditorPaintState& state);

  // The cell states of display line `row` (its DisplayText and the element of every cell).
  void MakeStatus(int32_t row, RLineStatus& st) const;
  // Paints display lines pageFirst ... pageFirst + LinesPerPage − 1 into the text area whose
  // top-left corner is at origin, skipping rows that do not meet the canvas clip. statuses,
  // when given, caches the cell states of the rows of the pages shown between paints, and
  // `version` (of the text and the caret) tells which of them are still good.
  void PaintPage(TCanvas& c, TPoint origin, int32_t pageFirst, std::vector<RLineStatus>* statuses = nullptr,
                 uint64_t version = 0) const;
  // One row (k may lie past the text: an unfilled row).
  void PaintRow(TCanvas& c, TPoint origin, int32_t k, int32_t pageFirst, RLineStatus& st) const;
  // The caret's rectangle on the surface (origin: the text area's corner).
  TRect CaretRect(TPoint origin, int32_t pageFirst, bool overwrite) const;

  bool Visible(int element) const;
  int32_t ElementFontPx(int element) const;

private:
  void MeasureCells(RLineStatus& st) const;
  void PaintMargin(TCanvas& c, const TRowPlace& p, int32_t k, bool caretRow) const;
  void PaintText(TCanvas& c, const TRowPlace& p, const RLineStatus& st) const;
  void PaintMarks(TCanvas& c, const TRowPlace& p, const RLineStatus& st, int32_t k) const;
  void PaintLines(TCanvas& c, const TRowPlace& p, int32_t k) const;
  void PaintRuby(TCanvas& c, const TRowPlace& p, int32_t k) const;
  void PaintEmphasis(TCanvas& c, const TRowPlace& p, int32_t k) const;
  void PaintNotes(TCanvas& c, const TRowPlace& p, int32_t k, RLineStatus& st) const;
  void Arrow(TCanvas& c, const TRect& box, int direction, TColor color) const;
  void ElementLine(TCanvas& c, int element, TPoint a, TPoint b) const;
  TCanvasFont FontOf(int element, int32_t px, bool vertical) const;
  // Along-line rectangle of cells [c1, c2) of a row (columns 1-based), across the given span.
  TRect CellsRect(const TRowPlace& p, int32_t c1, int32_t c2, int32_t across0, int32_t across1) const;
  int32_t Ext(int32_t c1, int32_t c2) const;  // advances of columns c1 .. c2
  // From the text start to column c of the row being painted.
  int32_t Off(int32_t column) const;

  const TEditorStyle& FStyle;
  const TEditList& FLines;
  const TEditorGeometry& FG;
  const TEditorPaintState& FState;
  // The cell offsets of the row being painted (its own advances with proportional text).
  mutable const TIntegers* FOffsets = nullptr;
};

// The directions of the mark arrows.
enum { adLeft, adUp, adRight, adDown };

}  // namespace kaede
