// kaede list BOOK.kad: the entries of an address book in the book's order (reading order),
// one per line: name, reading, postal code and address, separated by tabs, as UTF-8.
// Filters and finds are the book's own: --filter-row N keeps the entries whose reading
// begins in kana row N (0 あ … 9 わ, 10 anything else), --classify NAME the entries of a
// classification, and --find TEXT the entries whose name (or, with --all-fields, any field)
// holds the text, spaces ignored.
#include <algorithm>
#include <cstdlib>

#include "Commands.h"
#include "PersonLists.h"
#include "Strs.h"

namespace kaede::cli {
namespace {

int ParseRow(const std::string& text) {
  char* end = nullptr;
  long row = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != 0 || row < 0 || row > 10)
    throw Exception("--filter-row needs a kana row number from 0 to 10, not '" + Utf8ToSjis(text, TConvMode::Replace) + "'");
  return static_cast<int>(row);
}

std::string EntryLine(const TPerson* p) {
  return p->Name() + "\t" + p->Yomi() + "\t" + p->Postal() + "\t" + JoinStr(p->Address().Lines(), " ");
}

int Run(const TArgs& args) {
  TArgReader r(args);
  std::string row, classify, find;
  bool hasRow = r.Option("--filter-row", row);
  bool hasClassify = r.Option("--classify", classify);
  bool hasFind = r.Option("--find", find);
  bool allFields = r.Flag("--all-fields");
  TArgs files = r.Positionals();
  if (files.size() != 1)
    throw Exception("usage: kaede list BOOK.kad [--filter-row N | --classify NAME] [--find TEXT [--all-fields]]");
  if (hasRow && hasClassify) throw Exception("--filter-row and --classify cannot be used together");
  if (allFields && !hasFind) throw Exception("--all-fields belongs to --find");
  std::string file = ArgToSjis(files[0], "the book name");
  if (!FileExists(file)) throw Exception("no such book: " + file);

  TPersonList& book = OpenBookForRun(file);
  if (hasRow) {
    book.FindMode = pfmKanaRow;
    book.FilterNo(ParseRow(row));
  } else if (hasClassify) {
    std::string name = ArgToSjis(classify, "the classification");
    const TStrings& names = book.Classifications();
    auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) throw Exception("the book has no classification '" + name + "'");
    book.FindMode = pfmClassify;
    book.FilterNo(static_cast<int32_t>(it - names.begin()));
  }
  if (!hasFind) {
    for (int i = 0; i < book.Count(); ++i) PrintLine(EntryLine(book.Persons(i)));
    return 0;
  }
  // Find and find next walk the entries that the filter shows.
  book.FindMode = allFields ? pfmAllFields : pfmName;
  for (int i = book.FindText(ArgToSjis(find, "the find text"), false); i >= 0; i = book.FindNext(i + 1, false))
    PrintLine(EntryLine(book.Persons(i)));
  return 0;
}

TCommandRegistrar reg({"list", "list BOOK.kad [--filter-row N|--classify NAME] [--find TEXT [--all-fields]]",
                       "print the entries of an address book", Run});

}  // namespace
}  // namespace kaede::cli
