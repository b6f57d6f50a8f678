#include "TableViews.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "CommaText.h"
#include "Cp932.h"

namespace kaede {

int32_t TableRowOffset(int32_t height, int32_t rowsPerPage, int32_t q) {
  return static_cast<int32_t>(std::trunc(static_cast<double>(height) / std::max(1, rowsPerPage) * q));
}

TTableView::TTableView(TTableStyle* style)
    : TBaseView(style, [] { return new TTableStyle(); }), FColumnNames{SJ("項目")}, FColumnWidths(1, 0),
      FColumnRatios(1, 0) {}

void TTableView::HostChanged() {
  // a view placed in its control has the control apply the style
  if (Host() && Style()->OnAfterChange) Style()->OnAfterChange(nullptr, -1);
}

void TTableView::ApplyStyle() {
  TBaseView::ApplyStyle();
  FColumnNames = DecodeCommaText(TableStyle().Table().ValueNames);
  FColumnWidths.resize(FColumnNames.size(), 0);
  FColumnRatios.resize(FColumnNames.size(), 0);
}

void TTableView::SetRowCount(int32_t n) {
  n = std::max<int32_t>(0, n);
  if (n == FRowCount) return;
  FRowCount = n;
  Resize();
  Invalidate();
}

void TTableView::Remeasure() {
  Resize();
  Invalidate();
}

int32_t TTableView::KeyToCommand(int32_t key, TShiftState shift) {
  if (!(shift & (ssCtrl | ssAlt))) {
    switch (key) {
      case vkUp: return vcScrollBack;
      case vkDown: return vcScrollForward;
      case vkLeft: return vcScrollLeft;
      case vkRight: return vcScrollRight;
      case vkHome: return vcScrollHome;
      case vkEnd: return vcScrollEnd;
      default: break;
    }
  }
  return TBaseView::KeyToCommand(key, shift);
}

void TTableView::CellText(int32_t column, int32_t row, int32_t& align, std::string& text) {
  align = caLeft;
  text.clear();
  if (OnCellText) OnCellText(column, row, align, text);
}

void TTableView::Arrange(const TRect& rect) {
  const TTableStyle& st = TableStyle();
  const bool paper = st.PaperVisible();
  // The proportions and page breaks of the print, measured in printer dots first.
  if (!Measuring() && !Printing() && paper) {
    SetMeasuring(true);
    SetPrinting(true);
    TAtScopeExit back([this] {
      SetPrinting(false);
      SetMeasuring(false);
    });
    Arrange(rect);
  }
  TBaseView::Arrange(rect);
  const TViewInfo& normal = *st.Normal();
  SetFont(normal.Font(), 0);
  TCanvas& c = Canvas();
  FCellMarginY = ToPixels(st.Table().InBoxVerticalMargin);
  FCellMarginX = ToPixels(st.Table().InBoxLevelMargin);
  FMinColumnWidth = ToPixels(16);  // 16 mm at the surface's scale (the zoom is in ToPixels)
  const int32_t contentWidth = FContentBox.Width;
  const size_t columns = FColumnNames.size();
  FColumnWidths.resize(columns, 0);
  FColumnRatios.resize(columns, 0);
  FHeaderHeight = 0;
  std::string text;
  for (size_t i = 0; i < columns; ++i) {
    FHeaderHeight = std::max(FHeaderHeight, c.TextHeight(FColumnNames[i]) + 2 * FCellMarginY);
    if (Measuring()) {
      int32_t w = c.TextWidth(FColumnNames[i]) + 2 * FCellMarginX;
      for (int32_t r = 0; r < FRowCount; ++r) {
        int32_t align = caLeft;
        CellText(static_cast<int32_t>(i), r, align, text);
        if (!text.empty()) w = std::max(w, c.TextWidth(text) + 2 * FCellMarginX);
      }
      w = std::max(w, FMinColumnWidth);
      FColumnWidths[i] = w;
      FColumnRatios[i] = contentWidth > 0 ? static_cast<double>(w) / contentWidth : 0;
    } else {
      // The ratios were measured against the content width: the same width here gives the
      // print's proportions on screen; an unmeasured table shares the width evenly.
      FColumnWidths[i] = std::max(1, FColumnRatios[i] != 0 ? RoundHalfEven(FColumnRatios[i] * contentWidth)
                                                           : contentWidth / static_cast<int32_t>(columns));
    }
  }
  int64_t total = 0;
  for (int32_t w : FColumnWidths) total += w;
  // Too wide: the widest column (the first of equal ones) gives up a tenth, at least a pixel,
  // until the table fits or no column can give up anything.
  while (contentWidth - 1 < total) {
    auto widest = std::max_element(FColumnWidths.begin(), FColumnWidths.end());
    if (widest == FColumnWidths.end() || *widest <= 1) break;
    int32_t cut = std::min(std::max(1, RoundHalfEven(*widest * 0.1)), *widest - 1);
    *widest -= cut;
    total -= cut;
  }
  FTableWidth = static_cast<int32_t>(total);
  if (Measuring() || Printing() || !paper) {
    const int32_t rowHeight = std::abs(c.Font().Height) + 2 * FCellMarginY + 1;
    // at least one row, so that a page too small for any row cannot divide by zero
    FRowsPerPage = std::max(1, (FContentBox.Height - FHeaderHeight) / std::max(1, rowHeight));
  }
  SetPageCount(FRowCount / FRowsPerPage + (FRowCount % FRowsPerPage ? 1 : 0));
}

// On screen with paper a text keeps the share of its cell it has on paper: its advances are
// the print's scaled to the zoom. The font's pixel height is rounded (at a whole-page zoom
// by up to a tenth), its advances need not be.
void TTableView::TextAdvances(const TFontRecord& font, const std::string& text, std::vector<int32_t>& out) {
  out.resize(text.size());
  TCanvas& c = Canvas();
  if (Printing() || Measuring() || !TableStyle().PaperVisible()) {
    c.Advances(text, out.data());
    return;
  }
  const TPageMetrics& m = PageMetrics();
  std::vector<int32_t> print(text.size());
  c.Metrics().Advances(text, PointsToPixels(font.Size > 0 ? font.Size : 9, m.PageDpi), false, print.data());
  const double f = m.ScreenDpi * Zoom() / m.PageDpi;
  int64_t sum = 0;
  int32_t placed = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    sum += print[i];
    const int32_t to = RoundHalfEven(static_cast<double>(sum) * f);
    out[i] = to - placed;
    placed = to;
  }
}

void TTableView::DrawCell(int32_t column, int32_t row, const TRect& clip, const TRect& cell) {
  // the cell's background is filled with its row (one fill a row instead of one a cell)
  const TRect area = IntersectRects(cell, clip);
  if (IsEmptyRect(area)) return;
  TCanvas& c = Canvas();
  int32_t align = caLeft;
  std::string text;
  CellText(column, row, align, text);
  if (text.empty()) return;
  std::vector<int32_t> adv;
  TextAdvances(TableStyle().Normal()->Font(), text, adv);
  int32_t tw = 0;
  for (int32_t a : adv) tw += a;
  const int32_t th = c.TextHeight(text);
  const int32_t cw = cell.Right - cell.Left, ch = cell.Bottom - cell.Top;
  int32_t x = align == caCenter ? cell.Left + (cw - tw) / 2
              : align == caRight ? cell.Right - FCellMarginX - tw
                                 : cell.Left + FCellMarginX;
  c.TextOut(x, cell.Top + (ch - th) / 2, text, adv.data(), &area, false);
}

void TTableView::DrawPageContent(int32_t page, const TRect& cr, const TRect& clip) {
  const TTableStyle& st = TableStyle();
  const TViewInfo& normal = *st.Normal();
  const TViewInfo& line = *st.Line();
  TCanvas& c = Canvas();
  int32_t s = page * FRowsPerPage;
  if (s >= FRowCount) {
    FillClipped(c, cr, clip, normal.BackColor());
    return;
  }
  const int32_t left = cr.Left + (cr.Right - cr.Left - FTableWidth) / 2, right = left + FTableWidth;
  // the rules' pen (none when the element draws no line)
  c.SetPen({TPenStyle::Clear, 1, clBlack});
  SetLinePen(&line);
  const TPen rulePen = c.Pen();
  const bool dbl = line.IsDoubleLine();
  auto rules = [&](int32_t y0, int32_t y1, bool top, bool bottom) {
    c.SetPen(rulePen);
    if (top) DrawHLine(c, left, right, y0, clip, dbl);
    if (bottom) DrawHLine(c, left, right, y1, clip, dbl);
    int32_t x = left;
    for (int32_t w : FColumnWidths) {
      DrawVLine(c, x, y0, y1, clip, dbl);
      x += w;
    }
    DrawVLine(c, right - 1, y0, y1, clip, dbl);
  };

  int32_t bottom = cr.Top;
  if (!(st.Table().ValueNameOnlyFirstPage && page != 0)) {
    bottom = cr.Top + FHeaderHeight;
    SetFont(line.Font(), 0);
    FillClipped(c, {left, cr.Top, right, bottom}, clip, line.BackColor());
    int32_t x = left;
    for (size_t i = 0; i < FColumnNames.size(); ++i) {
      const int32_t w = FColumnWidths[i];
      const TRect cell{x + 1, cr.Top + 1, x + w, bottom};
      const TRect area = IntersectRects(cell, clip);
      if (!IsEmptyRect(area)) {
        const std::string& name = FColumnNames[i];
        std::vector<int32_t> adv;
        TextAdvances(line.Font(), name, adv);
        int32_t tw = 0;
        for (int32_t a : adv) tw += a;
        const int32_t th = c.TextHeight(name);
        c.TextOut(cell.Left + (cell.Right - cell.Left - tw) / 2, cell.Top + (cell.Bottom - cell.Top - th) / 2, name,
                  adv.data(), &area, false);
      }
      x += w;
    }
    rules(cr.Top, bottom, true, false);
  }

  SetFont(normal.Font(), 0);
  const int32_t a = cr.Bottom - bottom - 1;  // the height the rows share
  int32_t lastBottom = bottom;
  for (int32_t q = 0; q < FRowsPerPage && s + q < FRowCount; ++q) {
    const int32_t y0 = bottom + TableRowOffset(a, FRowsPerPage, q);
    const int32_t y1 = bottom + TableRowOffset(a, FRowsPerPage, q + 1);
    lastBottom = y1;
    const int32_t reach = 2 + 3 * std::max<int32_t>(1, rulePen.Width);
    if (y1 + reach < clip.Top || y0 - reach > clip.Bottom) continue;  // nothing of this row is painted
    FillClipped(c, {left, y0, right, y1 + 1}, clip, normal.BackColor());
    int32_t x = left;
    for (size_t i = 0; i < FColumnWidths.size(); ++i) {
      DrawCell(static_cast<int32_t>(i), s + q, clip, {x + 1, y0 + 1, x + FColumnWidths[i], y1});
      x += FColumnWidths[i];
    }
    // a closing rule under the page's last row slot and under the last row of all
    rules(y0, y1, true, q == FRowsPerPage - 1 || s + q == FRowCount - 1);
  }
  // the page around the table in the body's back colour
  c.SetBrush({TBrushStyle::Solid, normal.BackColor()});
  FillBand(c, cr, {left, cr.Top, right, lastBottom + 1}, clip);
}

}  // namespace kaede
