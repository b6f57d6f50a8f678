#pragma once
// The entries of a book that a command works on: all of them, or those of a kana row or a
// classification, narrowed by a find text — the book's own filters and finds.
#include <string>
#include <vector>

#include "Commands.h"
#include "PersonLists.h"

namespace kaede::cli {

struct TBookSelection {
  bool HasRow = false, HasClassify = false, HasFind = false, AllFields = false;
  std::string Row, Classify, Find;  // as given (UTF-8)
  // A New Year card list of a year (TNengaFilter; 0 none): --nenga-unsent Y and the others.
  int Nenga = 0;
  int NengaYear = 0;
};

// A year of New Year cards from the command line (1 to 9999); raises naming the option.
int ParseNengaYear(const std::string& text, const char* option);

// Takes --filter-row N, --classify NAME, --find TEXT, --all-fields and one of the New Year
// card lists (--nenga-unsent Y, --nenga-received-only Y, --nenga-mourning Y, --nenga-sent Y,
// --nenga-last-year Y); raises on a combination that makes no sense.
TBookSelection ReadSelection(TArgReader& args);
// Applies the filter to the open book and returns the entries it keeps that the find text
// matches (all of them without one), in the book's order.
std::vector<TPerson*> SelectEntries(TPersonList& book, const TBookSelection& selection);

}  // namespace kaede::cli
