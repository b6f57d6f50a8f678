#pragma once
// Printing address prints without a window (the command line): a postcard view without host
// prints a selection of entries through the process's printer, with the paper view's print
// loop, exactly as the window prints them.
#include <cstdint>
#include <string>
#include <vector>

#include "PostLayouts.h"

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
  // Where the barcode finds towns (none: the usual dictionary folders).
  TPostalData* Dictionary = nullptr;
};


// Prints the range through SheetPrinter(); returns the number of sheets printed (0 for an
// empty range, without starting a job). A free-text style prints its one card with the first
// entry of the range. Printer errors reach the caller after the job ended.
// `missing` (when given) receives the entries that went without their barcode.
int32_t PrintPostcards(const TPostPrintJob& job, std::vector<TBarcodeMissing>* missing = nullptr);

// Prints the printer test sheet of the style (one page) through SheetPrinter(), with the
// offset the job takes for the current printer; returns the note it printed.
TCalibrationNote PrintCalibrationSheet(const TPostStyle& style, const std::string& title);

}  // namespace kaede
