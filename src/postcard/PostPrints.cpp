#include "PostPrints.h"

#include <algorithm>

namespace kaede {

TPostPrintRange PostPrintRange(int32_t from, int32_t to, int32_t count, int32_t pagesPerSheet) {
  TPostPrintRange r;
  pagesPerSheet = std::max(1, pagesPerSheet);
  if (count <= 0) return r;
  const int32_t first = from > 0 ? from - 1 : 0;
  const int32_t last = to > 0 ? std::min(to, count) - 1 : count - 1;
  if (first > last || first >= count) return r;
  r.FirstPage = first;
  r.LastPage = last;
  r.FirstSheet = first / pagesPerSheet;
  r.LastSheet = last / pagesPerSheet;
  return r;
}

TRect PostPageRect(const TBaseStyleValues& b, TPoint paperDots, int32_t dpi, int32_t page) {
  auto px = [&](double mm) { return RoundHalfEven(mm * dpi / 25.4); };
  const int32_t left = px(b.PaperMarginLeft), top = px(b.PaperMarginTop);
  const TRect area{left, top, paperDots.X - px(b.PaperMarginRight), paperDots.Y - px(b.PaperMarginBottom)};
  const int32_t across = std::max(1, b.PaperLevelDivide), down = std::max(1, b.PaperVerticalDivide);
  if (across * down == 1) return area;
  const int32_t cellW = RoundHalfEven(static_cast<double>(area.Right - area.Left) / across);
  const int32_t cellH = RoundHalfEven(static_cast<double>(area.Bottom - area.Top) / down);
  int32_t col = page % across, row = (page % (across * down)) / across;
  if (b.PaperTileHReverse) col = across - 1 - col;
  if (b.PaperTileVReverse) row = down - 1 - row;
  TRect r{area.Left + col * cellW, area.Top + row * cellH, area.Left + (col + 1) * cellW,
          area.Top + (row + 1) * cellH};
  if (col == across - 1) r.Right = area.Right;
  if (row == down - 1) r.Bottom = area.Bottom;
  return r;
}

void SetupPostPaper(TSheetPrinter& printer, const TBaseStyleValues& b) {
  if (b.PaperSize == kPaperUser)
    printer.SetPaperExtent(b.PaperWidth * 10, b.PaperHeight * 10);
  else
    printer.SetPaperSizeNumber(b.PaperSize);
  if (printer.SupportedSettings() & psOrientation) printer.SetOrientation(b.Orientation);
  printer.ApplySettings();
}

int32_t PrintPostcards(TSheetPrinter& printer, const TPostPrintJob& job) {
  if (!job.Style) throw ESheetPrinter("PrintPostcards: no style");
  const TPostStyle& style = *job.Style;
  const TBaseStyleValues& b = style.Base();
  const int32_t perSheet = style.PagesPerSheet();
  const TPostPrintRange range = job.Range;
  if (range.Empty()) return 0;
  SetupPostPaper(printer, b);
  const int32_t dpi = printer.PixelsPerInch().Y;
  const TPoint paper = printer.PaperSizeDots();
  const TPoint offset = printer.PhysicalOffset();

  printer.BeginDoc(job.Title);
  int32_t sheets = 0;
  try {
    std::unique_ptr<TCanvas> canvas = Surfaces().PrintCanvas(printer.Canvas(), dpi);
    if (!canvas) throw ESheetPrinter("PrintPostcards: the printer's surface cannot be drawn on");
    for (int32_t sheet = range.FirstSheet; sheet <= range.LastSheet; ++sheet) {
      if (sheet > range.FirstSheet) printer.NewPage();
      for (int32_t k = 0; k < perSheet; ++k) {
        const int32_t page = sheet * perSheet + k;
        if (page < range.FirstPage || page > range.LastPage) continue;
        if (page >= static_cast<int32_t>(job.Persons.size())) break;
        TPostPaint paint;
        paint.PageRect = PostPageRect(b, paper, dpi, page);
        paint.Printing = !job.Preview;
        paint.PrintOffset = offset;
        if (job.Preview) {
          TRect& r = paint.PageRect;
          r = {r.Left - offset.X, r.Top - offset.Y, r.Right - offset.X, r.Bottom - offset.Y};
          paint.Pictures = job.Pictures;
        }
        paint.ShowGuides = job.Guides;
        paint.PrintGuides = job.Guides;
        paint.Person = job.Persons[static_cast<size_t>(page)];
        paint.Sender = job.Sender;
        // a label's text stays on its label
        const TRect& pg = paint.PageRect;
        const TPoint shift = job.Preview ? TPoint{} : offset;
        if (perSheet > 1)
          canvas->SetClipRect({pg.Left - shift.X, pg.Top - shift.Y, pg.Right - shift.X, pg.Bottom - shift.Y});
        TPostLayout(style, *canvas, paint).Draw();
        if (perSheet > 1) canvas->ResetClip();
      }
      ++sheets;
    }
  } catch (...) {
    try {
      printer.EndDoc();
    } catch (...) {
      // the first failure is the one to report
    }
    throw;
  }
  printer.EndDoc();
  return sheets;
}

}  // namespace kaede
