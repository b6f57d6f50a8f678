#pragma once
// The geometry of the editor's pages: how the text area of a page is cut into partitions
// (blocks of lines, 段), how many cells a line and how many lines a partition hold, where each
// display line and each cell lies, where the caret stands, which text position a point hits,
// and where ruby, emphasis marks and footnote marks go. Plain arithmetic over the style and
// the text area, so that the view, the printer and the tests share it.
//
// "Along" is the direction of the writing (down in vertical writing, right in horizontal),
// "across" the direction in which lines follow (left in vertical writing, down in horizontal).
// Partitions are laid along the writing: stacked top to bottom in vertical writing, side by
// side in horizontal writing.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "EditorStyles.h"
#include "KaedeTypes.h"

namespace kaede {

class TEditList;

// What the layout is computed from.
struct TEditorLayoutInput {
  int32_t Width = 0, Height = 0;  // the text area of a page (or the window) in pixels
  double Zoom = 1;                // the paper view's zoom factor
  bool PaperShown = false;
  // A style length (LineSpace, ColumnSpace, the margins) in pixels of the surface.
  std::function<int32_t(double)> Length;
  int32_t FontHeight = 16;          // the Normal element's font height in pixels of the surface
  int32_t LineInfoFontHeight = 16;  // the LineInfo element's
  int32_t LineInfoDigits = 1;       // what the line store says the margin needs
};

// The proportions a reference pass (in printer metrics) keeps for the zoomed passes, so that
// the screen shows the lines exactly as they print.
struct TEditorReference {
  bool Valid = false;
  int32_t Cells = 1, Rows = 1;  // q and r
  double AlongShare = 0;        // (2 TailHang + q + Return) × g of the along extent
  double AcrossShare = 0;       // h × r of the across extent
  double FontShare = 0;         // H of the page height
  int32_t LineExtent = 0;       // E
  int32_t Spacing = 0;
  int32_t PageWidth = 0;
};

// One display line placed on a page.
struct TRowPlace {
  int32_t Partition = 0;
  int32_t Index = 0;  // in the partition
  TRect Row;          // the whole row: the partition's extent along, the row's pitch across
  int32_t TextStart = 0;  // along: where the first cell begins (after the margin and TextLeftMargin)
  TRect Band;         // the strip across the row that the text's cells occupy (full length along)
};

class TEditorGeometry {
public:
  // Runs the layout. With ref given (a zoomed pass after a reference pass) q and r are kept
  // and the font height and leftovers follow the kept proportions. keep, when given, receives
  // the proportions of this pass (the reference pass).
  void Compute(const TEditorStyle& style, const TEditorLayoutInput& in, const TEditorReference* ref = nullptr,
               TEditorReference* keep = nullptr);

  // ---- Results ---------------------------------------------------------------------------
  bool Vertical = false;
  int32_t Width = 0, Height = 0;  // the text area
  int32_t Partitions = 1;         // N
  int32_t PartitionGap = 0;       // M
  int32_t PartitionExtent = 0;    // S (the last partition takes what remains)
  std::vector<TRect> PartitionRects;  // relative to the text area's corner
  int32_t Margin = 0;             // line-number margin (along)
  int32_t TextLeft = 0, TextRight = 0;  // TextLeftMargin and TextRightMargin in pixels
  int32_t LineExtent = 0;         // E
  int32_t CrossExtent = 0;        // across a partition
  int32_t FontHeight = 1;         // H
  int32_t Spacing = 0;            // o (ColumnSpace)
  int32_t LineSpace = 0;          // in pixels, with the across leftover shared out
  int32_t CellPitch = 1;          // g
  int32_t LinePitch = 1;          // h
  int32_t Cells = 1;              // q
  int32_t Rows = 1;               // r
  int32_t AlongLeftover = 0;      // spread one pixel at a time over the first cells
  int32_t AcrossLeftover = 0;     // the remainder spread over the first rows
  int32_t LinesPerPage = 1;
  int32_t GridInset = 0;
  double Zoom = 1;
  bool AnnotationMode = false;
  bool TailHang = true, ReturnMark = false;

  // ---- Cells and rows ----------------------------------------------------------------------
  // Pitch of cell k (0-based) along a line, leftovers included.
  int32_t CellPitchAt(int32_t k) const;
  // From the text start to the start of display column c (1-based).
  int32_t CellOffset(int32_t column) const;
  // The same along a row whose cells have their own advances (proportional text): offsets[i]
  // is the start of column i + 1; past its end the cells go on at the pitch. None: the pitch.
  int32_t CellOffset(int32_t column, const TIntegers* offsets) const;
  // Pitch of row k (0-based) across a partition.
  int32_t RowPitchAt(int32_t k) const;
  int32_t RowOffset(int32_t index) const;
  // Display lines in one partition of a page.
  int32_t RowsPerPartition() const { return std::max(1, LinesPerPage / std::max(1, Partitions)); }
  // Where display line k goes on the page that begins with display line pageFirst (with
  // paper: k − k mod LinesPerPage; without: the first line the scroll position shows).
  TRowPlace PlaceRow(int32_t k, int32_t pageFirst) const;
  // The cells to lay the line store out with (q with automatic cells, 0 when proportional and
  // automatic, else the style's count).
  int32_t StoreCells(const TEditorStyle& style) const;
  // The line width the store breaks at: E less the hanging reserve and the return mark's cell.
  int32_t StoreLineWidth(const TEditorStyle& style, int32_t hangWidth) const;

  // ---- Caret and hit testing --------------------------------------------------------------
  // The caret at display column `column` of a row placed at p, as a rectangle. charCells: the
  // cells of the character under the caret (overwrite mode), 0 in insert mode.
  TRect CaretRect(const TRowPlace& p, int32_t column, bool bigCaret, int32_t charCells,
                  const TIntegers* offsets = nullptr) const;
  // The display column a point along a row hits (past the middle of a cell: the next column).
  int32_t ColumnAt(const TRowPlace& p, int32_t along, const TIntegers* offsets = nullptr) const;
  // The row index in a partition a point across hits, or -1 outside.
  int32_t RowIndexAt(const TRect& partition, int32_t across) const;

private:
  TRect Cross(const TRect& partition, int32_t from, int32_t to) const;
};

// ---- Line numbers ------------------------------------------------------------------------

// The number text of display line k in the line-number margin ("" when none is shown):
// LineInfoStyle 0 k + 1; 1 the logical line + 1 on its first row; 2 "P" + page on the first
// line of a page, else the line in the page; 3 only the page marks; 4 the heading number.
std::string LineNumberText(const TEditorStyle& style, const TEditList& lines, int32_t k);
// Digits of the line-number margin (for its width).
int32_t LineNumberDigits(const TEditorStyle& style, int32_t storeDigits);

// ---- Annotations ---------------------------------------------------------------------------

// The per-byte advances of a ruby share of k bytes over base columns with the given advances
// (t is their sum), in a ruby font h pixels high; the ruby is exactly as long as its base
// unless its characters would be squeezed below half their height.
TIntegers RubyAdvances(int32_t k, const TIntegers& baseAdvances, int32_t h);
// Where a ruby text is cut when its base of n bytes is split over two display lines after
// `cut` bytes: round(ruby bytes × cut ÷ n), one more when that would split a character. The
// first line takes the ruby's bytes before the cut, the second the rest.
int32_t RubyCut(const std::string& ruby, int32_t n, int32_t cut);

// Whether the cells of a display text form upright pairs ("12" in vertical text): true for
// each byte of a run of exactly two characters of "0123456789!? " that are not both spaces.
// indent: cells at the start that do not count as a neighbour.
std::vector<bool> VerticalRowPairs(const std::string& displayText, int32_t indent);

// The emphasis mark of a kind (0-7) and the second mark drawn over it (kinds 6 and 7).
std::string EmphasisMark(int32_t kind);

}  // namespace kaede
