#include "PostPrints.h"

#include <algorithm>

#include "PostViews.h"
#include "PrintOffsets.h"
#include "SheetPrinters.h"

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

int32_t PrintPostcards(const TPostPrintJob& job, std::vector<TBarcodeMissing>* missing) {
  if (!job.Style) throw Exception("PrintPostcards: no style");
  if (job.Range.Empty()) return 0;
  TPostView view;
  view.SetStyle(const_cast<TPostStyle*>(job.Style));  // assigned into the view's own style
  view.SetPersons(job.Persons);
  view.SetSender(job.Sender);
  view.SetShowGuides(job.Guides);
  view.PrintGuides = job.Guides;
  view.PrintAsShown = job.Preview;
  view.Dictionary = job.Dictionary;
  int32_t sheets = 0;
  // a free-text card is one page showing the current entry: the first of the range
  if (job.Style->Post().Editor) {
    view.SelectPerson(job.Range.FirstPage);
    sheets = view.Print(job.Title, 1, 1);
  } else {
    sheets = view.Print(job.Title, job.Range.FirstPage + 1, job.Range.LastPage + 1);
  }
  if (missing) *missing = view.BarcodeMisses();
  return sheets;
}

TCalibrationNote PrintCalibrationSheet(const TPostStyle& style, const std::string& title) {
  TPostView view;
  view.SetStyle(const_cast<TPostStyle*>(&style));  // assigned into the view's own style
  view.Calibration = true;
  const TPrintOffset offset = JobPrintOffset(SheetPrinter());
  view.CalibrationNote = {CurrentPrinterName(SheetPrinter()), offset.X, offset.Y};
  view.Print(title, 1, 1);
  return view.CalibrationNote;
}

}  // namespace kaede
