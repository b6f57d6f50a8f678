#pragma once
// The line store of the text-layout editor: the text as logical lines (paragraphs) and, beside
// them, the table of display lines into which each logical line is broken by Japanese
// typesetting rules — hanging punctuation, line-start and line-end prohibitions, word
// protection for Latin text, hanging indents — with ruby and annotation notation taking no
// room. The store translates between logical positions (byte, line) and display positions
// (column, display line), keeps the table current while the text is edited and carries out
// the primitive edits of the editor view. BreakLine, the breaker itself, also serves the other
// text boxes that wrap text into a width.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "EditorStyles.h"
#include "Notations.h"
#include "TextMetrics.h"

namespace kaede {

// ---- Line breaking -------------------------------------------------------------------------

// The switches and character sets of the breaker (from an editor style, or from a caller that
// wraps text into a box).
struct TBreakOptions {
  bool ProportionalFont = false;  // break by measured widths instead of cells
  bool ColumnCountAuto = true;    // the cell count follows from the width
  bool TailHang = true;           // a character of HangStr may hang beyond the last cell
  bool TailAdjust = false;        // line-start and line-end prohibitions
  bool WordWrap = false;          // runs of half-width letters or digits are not broken
  TCharSet HangStr;
  TCharSet ProhibitTopStr;
  TCharSet ProhibitBottomStr;
  bool ReturnMark = false;  // a cell is kept free for the line-end mark
  TColumnOptions Columns;   // tabs, hidden notation, speaker names
};

// The surface that measures text in proportional mode; without metrics the width is turned
// into cells of half the font height.
struct TMeasure {
  const TTextMetrics* Metrics = nullptr;
  int32_t FontHeight = 0;  // its absolute value is used, and at least 1
  bool Vertical = false;
};

// The byte lengths of the pieces into which a line is broken, in order; their sum is the
// line's length, no piece ends on a lead byte, and notation is never split from the
// character it follows. width: the line length in pixels; cells: the cell count (0 none);
// spacing: letter spacing in pixels; indent: cells before every piece after the first, and
// before the first too when indentFirst.
void BreakLine(const std::string& line, int32_t width, int32_t cells, int32_t spacing, int32_t indent,
               bool indentFirst, const TBreakOptions& options, const TMeasure& measure, TIntegers& pieces);
TIntegers BreakLine(const std::string& line, int32_t width, int32_t cells, int32_t spacing, int32_t indent,
                    bool indentFirst, const TBreakOptions& options, const TMeasure& measure);

// The lines of a text for the store: every line break (CR LF, a lone CR or LF) ends a line,
// so that a text ending with one gives an empty last line, and an empty text one empty line.
TStrings TextLines(const std::string& text);

// ---- Display table -------------------------------------------------------------------------

// One display line: a piece of a logical line.
struct TDisplayLine {
  int32_t LineIndex = -1;  // the logical line
  int32_t Start = 0;       // 1-based byte where the piece starts in the logical line
  int32_t Length = 0;      // bytes of the piece (with an absorbed CR LF)
  int32_t Row = 0;         // index of the piece in its logical line
  int32_t Indent = 0;      // cells of hanging indent before the piece
  bool LastRow = false;    // the last piece of its logical line
  int32_t HeadingNo = 0;   // number of the heading that starts here (heading numbering), else 0
  bool operator==(const TDisplayLine&) const = default;
};

// The display lines in display order. Reading outside the table gives the empty record.
class TInfoList {
public:
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  const TDisplayLine& operator[](int32_t i) const {
    static const TDisplayLine kEmpty;
    return i >= 0 && i < Count() ? FItems[static_cast<size_t>(i)] : kEmpty;
  }
  const std::vector<TDisplayLine>& Items() const { return FItems; }

private:
  friend class TEditList;
  std::vector<TDisplayLine> FItems;
};

enum class TLayoutProgress {
  Start,       // value 0
  LongLayout,  // the layout is expected to take long; value: records so far; may cancel
  Step,        // value: the logical line reached; may cancel
  End,         // value: the record count
};
using TLayoutProgressEvent = std::function<void(TLayoutProgress kind, int32_t value, bool& cancel)>;

// What an edit changed: the caret after it, the display lines to redraw, the text it deleted
// or inserted and, for a box edit, the start and end caret of every edited row in the order
// the rows were edited.
struct TEditResult {
  TPoint Caret;
  int32_t FirstRow = 0;
  int32_t LastRow = -1;
  std::string Text;
  T2Carets Carets;
  // The same rows as logical (byte, line) ranges: where the text went in, or came out.
  T2Carets LogicalCarets;
};

// What HardWrap made of each logical line it started from, so that UnWrap can join it again.
struct TWrapResult {
  int32_t FirstLine = 0;
  TIntegers Counts;        // the lines it became
  TIntegers Indents;       // padding bytes put before each continuation line
  TIntegers FirstIndents;  // padding bytes put before its first line
};

// The units of SelectUnit.
enum { suChar = 1, suWord, suRow, suLine, suPage, suAll };

class TEditList {
public:
  TEditList();
  ~TEditList();
  TEditList(const TEditList&) = delete;
  TEditList& operator=(const TEditList&) = delete;

  // ---- Logical lines (each without line-break characters) --------------------------------
  int32_t Count() const { return static_cast<int32_t>(FLines.size()); }
  const std::string& operator[](int32_t i) const { return FLines[static_cast<size_t>(i)]; }
  const TStrings& Lines() const { return FLines; }
  void Add(const std::string& line) { Insert(Count(), line); }
  void Insert(int32_t index, const std::string& line);
  void Put(int32_t index, const std::string& line);
  void Delete(int32_t index);
  // One empty line, not modified.
  void Clear();
  // Lines split at CR LF (a lone CR or LF also ends a line); a text ending with a line break
  // gets one more empty line. Not modified; laid out again; OnChange.
  void SetText(const std::string& text);
  // The lines joined with CR LF, without a final CR LF.
  std::string GetText() const;
  void Assign(const TEditList& other) { SetText(other.GetText()); }

  // ---- State ------------------------------------------------------------------------------
  bool Modified() const { return FModified; }
  void SetModified(bool value);
  // While locked, full layouts are not run (edits still keep the table current).
  void Lock() { ++FLockCount; }
  void Unlock() { --FLockCount; }
  int32_t LockCount() const { return FLockCount; }
  bool Bulk() const { return FBulk; }
  int32_t LongestLine() const { return FLongestLine; }
  int32_t EstimatedTime() const { return FEstimatedTime; }
  bool NeedsLayout() const { return FNeedsLayout; }

  // Layout geometry, set by the view before a layout.
  const TTextMetrics* Metrics = nullptr;  // the measuring surface in proportional mode
  int32_t FontHeight = 0;                  // pixel height of its font
  int32_t LineWidth = 0;                   // line length in pixels
  int32_t Columns = 0;                     // cells per line; 0 none
  int32_t Spacing = 0;                     // letter spacing in pixels
  bool IgnoreCase = false;                 // of FindNth
  int32_t ProgressStep = 10000;            // base of the progress granularity
  // Milliseconds of a steady clock, for the estimate of a long layout.
  std::function<int64_t()> Clock;

  std::function<void()> OnChange;  // the whole text was replaced
  std::function<void()> OnModifiedChange;
  TLayoutProgressEvent OnProgress;
  std::function<void()> OnHeadingChange;

  // ---- Style -------------------------------------------------------------------------------
  const TEditorStyle& Style() const { return *FStyle; }
  // Copies the style; a full layout is needed when a key that decides the breaking changed.
  void AssignStyle(const TEditorStyle& style);

  // ---- Display table -----------------------------------------------------------------------
  const TInfoList& Infos() const { return FInfos; }
  // The larger of the logical line count and the record count.
  int32_t DisplayCount() const { return std::max(Count(), FInfos.Count()); }
  const TDisplayLine& Info(int32_t row) const { return FInfos[row]; }
  // Breaks every logical line again (nothing while bulk or locked).
  void Relayout();
  // The records of one logical line as they belong in the table.
  std::vector<TDisplayLine> SegmentLine(int32_t line) const;

  // (column, display line) of a logical (byte, line); display line -1 when the line has no
  // record. A byte just after a wrapped piece stands at the start of the next display line.
  TPoint ToDisplay(int32_t byte, int32_t line) const;
  TPoint ToDisplay(TPoint logical) const { return ToDisplay(logical.X, logical.Y); }
  // (byte, line) of a display (column, display line): the start of the character shown at or
  // after the column (notation before it included). A display line beyond the table means
  // the start of the last one.
  TPoint ToLogical(int32_t column, int32_t row) const;
  TPoint ToLogical(TPoint display) const { return ToLogical(display.X, display.Y); }
  // The column at which byte `index` (1-based in the piece) of a display line stands, as the
  // line store maps it: for drawing notation over its characters.
  int32_t RowIndexToColumn(int32_t row, int32_t index) const;
  // The same for every byte of the piece at once: out[i] is the column of byte i + 1.
  void RowByteColumns(int32_t row, TIntegers& out) const;
  // Cells of a display line, indent included.
  int32_t RowColumns(int32_t row) const;
  // The caret column at the end of a display line: after its last cell for the last row of a
  // logical line, else at its last character; at least 1.
  int32_t RowEndColumn(int32_t row) const;
  std::string RowText(int32_t row) const;
  // The row as drawn: indent, spread speaker name, tabs as tab characters to their stop,
  // without the notation the style hides.
  std::string DisplayText(int32_t row) const;
  bool IsLineEnd(int32_t column, int32_t row) const;
  // Display lines after this one in the same logical line.
  int32_t RowsToLineEnd(int32_t row) const;
  bool IsHeading(int32_t line) const;
  int32_t LineInfoDigits() const;
  // Start and end (display positions) of the unit (suChar ... suAll) around a position.
  T2Caret SelectUnit(int32_t kind, TPoint position) const;
  std::string GetRangeText(TPoint start, TPoint end, bool box) const;
  TEditResult DeleteRange(TPoint start, TPoint end, bool box);
  TEditResult InsertText(TPoint position, const std::string& text, bool box);
  // Replaces the logical range [from, to) (byte, line) by text as it stands (split at its
  // line breaks; no padding, indent or item number is added): for undo and redo, which put
  // back exactly what an edit took or gave. Positions outside the text are clamped; the
  // caret of the result stands after the new text.
  TEditResult ReplaceText(TPoint from, TPoint to, const std::string& text);
  // The logical position just after text put in at a logical position.
  static TPoint EndOfText(TPoint from, const std::string& text);
  // Every logical line of the display lines firstRow..lastRow becomes one logical line per
  // piece as broken at `columns` cells.
  TWrapResult HardWrap(int32_t firstRow, int32_t lastRow, int32_t columns);
  // Joins again what HardWrap made, without the padding it put before the lines.
  void UnWrap(const TWrapResult& wrap);
  // Display position of the n-th match of text after (or before) a display position;
  // (-1, -1) when there is none.
  TPoint FindNth(const std::string& text, TPoint start, int32_t n, bool forward) const;

  // The breaker's options as the style gives them (for callers that break text the same way).
  const TBreakOptions& BreakOptions() const { return FBreak; }

private:
  struct TRowView;
  // The part of one display line that a box covers.
  struct TBoxRow {
    int32_t Row = 0;
    int32_t Line = 0;
    int32_t From = 0;  // first byte in the logical line
    int32_t To = 0;    // byte after the last
    T2Caret Carets;    // display columns of From and To
  };
  void MakeRowView(int32_t row, TRowView& v) const;
  void UpdateOptions();
  void BreakInto(int32_t line, std::vector<TDisplayLine>& out) const;
  int32_t FirstRowOf(int32_t line) const;
  int32_t RowCountOf(int32_t line, int32_t firstRow) const;
  // Replaces lines [index, index + removeCount) by `lines`, keeping the table current. Gives
  // whether the number of display lines of the lines changed.
  bool ReplaceLines(int32_t index, int32_t removeCount, const TStrings& lines);
  void RenumberHeadings();
  // One unbroken record for every line from fromLine on.
  void SetPlaceholders(int32_t fromLine, std::vector<TDisplayLine>& items) const;
  void Progress(TLayoutProgress kind, int32_t value, bool& cancel);
  TPoint TextEnd() const;
  int32_t NextCharByte(int32_t byte, int32_t line) const;
  std::string LogicalText(TPoint a, TPoint b) const;
  std::vector<TBoxRow> BoxRows(TPoint start, TPoint end) const;
  // The logical position where text typed at a display position goes, and the spaces that
  // must go before it when the position lies beyond the end of its display line.
  TPoint InsertionPoint(TPoint position, std::string& pad) const;
  TEditResult InsertBox(TPoint position, const TStrings& pieces);
  TEditResult DeleteBox(TPoint start, TPoint end);
  // The first display line to redraw for an edit at a row: one earlier in a continuation row,
  // whose previous row may change.
  int32_t RedrawFrom(int32_t row) const;
  // The rows to redraw after an edit that starts redrawing at firstRow and ended on lastLine.
  void FinishEdit(TEditResult& r, int32_t firstRow, int32_t lastLine, bool wholeRest);

  TStrings FLines;
  TInfoList FInfos;
  TEditorStyle* FStyle;
  TBreakOptions FBreak;
  TIndentOptions FIndent;
  bool FHeadingNumbers = false;
  TStrings FHeadingStrs;
  int32_t FLockCount = 0;
  bool FBulk = false;
  bool FModified = false;
  int32_t FLongestLine = 0;
  int32_t FEstimatedTime = 0;
  bool FNeedsLayout = false;
  bool FLastEditHeading = false;  // the last line replacement touched a heading line
  uint64_t FEditCount = 0;        // changes of the text, so that a layout sees edits made meanwhile
};

}  // namespace kaede
