#pragma once
// The table print: rows of a host's data as a ruled table with one column per name of the
// table style, a header row with the column names and as many rows per page as fit, laid on
// paper by the paper view. The view knows nothing of address books: the host gives the row
// count and, through OnCellText, every cell's text and alignment.
//
// With paper, column proportions and rows per page are measured in printer dots first, so that
// the screen shows the page breaks and proportions of the print at every zoom.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "BaseViews.h"
#include "Strs.h"
#include "TableStyles.h"

namespace kaede {

// Alignment of a cell's text.
enum TCellAlign : int32_t { caCenter = 0, caLeft = 1, caRight = 2 };

class TTableView : public TBaseView {
public:
  // With a style (the host control's) the view borrows it; without one it owns a new one.
  explicit TTableView(TTableStyle* style = nullptr);

  TTableStyle& TableStyle() const { return *static_cast<TTableStyle*>(Style()); }

  int32_t RowCount() const { return FRowCount; }
  // Lays out and repaints when the count changed.
  void SetRowCount(int32_t n);
  // The rows' texts changed (other entries shown, an entry edited) although their number may
  // not have: the columns are measured again and the pages repainted.
  void Remeasure();
  const TStrings& ColumnNames() const { return FColumnNames; }
  const std::vector<int32_t>& ColumnWidths() const { return FColumnWidths; }
  // Measured width of each column / content width (0: not measured).
  const std::vector<double>& ColumnRatios() const { return FColumnRatios; }
  int32_t TableWidth() const { return FTableWidth; }
  int32_t RowsPerPage() const { return FRowsPerPage; }
  int32_t HeaderHeight() const { return FHeaderHeight; }
  int32_t CellMarginX() const { return FCellMarginX; }
  int32_t CellMarginY() const { return FCellMarginY; }
  int32_t MinColumnWidth() const { return FMinColumnWidth; }
  // The first row of a page (rows and pages from 0).
  int32_t FirstRowOfPage(int32_t page) const { return page * FRowsPerPage; }

  // The text of the cell of column (from 0, in ColumnNames order) and row (from 0); align
  // comes in as caLeft. Asked while measuring and while drawing; an empty text is an empty
  // cell.
  std::function<void(int32_t column, int32_t row, int32_t& align, std::string& text)> OnCellText;

  // Arrow keys scroll, Home and End go to the first and last sheet.
  int32_t KeyToCommand(int32_t key, TShiftState shift) override;

protected:
  void Arrange(const TRect& rect) override;
  void DrawPageContent(int32_t page, const TRect& contentRect, const TRect& clip) override;
  void ApplyStyle() override;
  void HostChanged() override;

private:
  void CellText(int32_t column, int32_t row, int32_t& align, std::string& text);
  // The advances of text in font on the current surface (the canvas font set to it).
  void TextAdvances(const TFontRecord& font, const std::string& text, std::vector<int32_t>& out);
  void DrawCell(int32_t column, int32_t row, const TRect& clip, const TRect& cell);

  TStrings FColumnNames;
  std::vector<int32_t> FColumnWidths;
  std::vector<double> FColumnRatios;
  int32_t FRowCount = 0;
  int32_t FRowsPerPage = 1;
  int32_t FTableWidth = 0;
  int32_t FHeaderHeight = 0;
  int32_t FCellMarginX = 0, FCellMarginY = 0, FMinColumnWidth = 0;
};

// The rows each page of a table shows: rows of a page whose height is A (content height less
// the header row) share it evenly, the boundary of row q lying trunc(A / rowsPerPage × q)
// below the header.
int32_t TableRowOffset(int32_t height, int32_t rowsPerPage, int32_t q);

}  // namespace kaede
