#pragma once
// Printing address prints: one page per entry, laid out by TPostLayout on the sheets of a
// style (one card a sheet, or a sheet of labels divided into pages), through the sheet
// printer's running job. The command line prints books this way; the postcard view prints
// the same pages.
#include <cstdint>
#include <string>
#include <vector>

#include "PostLayouts.h"
#include "SheetPrinters.h"

namespace kaede {

// What a range of entries prints. Pages are entries (from 0); a sheet holds PagesPerSheet
// pages. Printing entries 5-5 on a sheet of twelve labels prints the first sheet with entry 5
// in its place and the other labels left blank.
struct TPostPrintRange {
  int32_t FirstPage = 0, LastPage = -1;
  int32_t FirstSheet = 0, LastSheet = -1;
  bool Empty() const { return LastPage < FirstPage; }
  int32_t Sheets() const { return Empty() ? 0 : LastSheet - FirstSheet + 1; }
};
// Entries from..to, numbered from 1 (0: from the first, to the last), of `count` entries,
// clamped to the entries there are; empty when none is left.
TPostPrintRange PostPrintRange(int32_t from, int32_t to, int32_t count, int32_t pagesPerSheet);

// The page `page` (any page number; its place on the sheet counts) of a sheet of paperDots
// printed at dpi: the sheet less the paper margins, divided into PaperLevelDivide x
// PaperVerticalDivide cells, the last column and row reaching the margin.
TRect PostPageRect(const TBaseStyleValues& style, TPoint paperDots, int32_t dpi, int32_t page);

// Gives the printer the style's paper and orientation.
void SetupPostPaper(TSheetPrinter& printer, const TBaseStyleValues& style);

struct TPostPrintJob {
  const TPostStyle* Style = nullptr;
  std::vector<const TPerson*> Persons;  // one page each, in order
  const TPerson* Sender = nullptr;
  TPostPrintRange Range;
  std::string Title;
  // A proof: the outlines of the text rectangles are printed too.
  bool Guides = false;
  // The cards as the preview shows them: the paper, what official cards have printed on them
  // (frames, title), the pictures and the fold are printed too.
  bool Preview = false;
  const TPostPictures* Pictures = nullptr;
};

// Prints the range: sets the paper up, begins a job, prints every sheet of the range (a page
// outside the range stays blank) and ends the job; a failure ends the job before it is passed
// on. Returns the number of sheets printed.
int32_t PrintPostcards(TSheetPrinter& printer, const TPostPrintJob& job);

}  // namespace kaede
