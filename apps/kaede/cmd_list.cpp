// kaede list BOOK.kad: the entries of an address book in the book's order (reading order),
// one per line: name, reading, postal code and address, separated by tabs, as UTF-8.
// Filters and finds are the book's own: --filter-row N keeps the entries whose reading
// begins in kana row N (0 あ … 9 わ, 10 anything else), --classify NAME the entries of a
// classification, and --find TEXT the entries whose name (or, with --all-fields, any field)
// holds the text, spaces ignored.
#include "BookSelection.h"
#include "Commands.h"
#include "PersonLists.h"
#include "Strs.h"

namespace kaede::cli {
namespace {

std::string EntryLine(const TPerson* p) {
  return p->Name() + "\t" + p->Yomi() + "\t" + p->Postal() + "\t" + JoinStr(p->Address().Lines(), " ");
}

int Run(const TArgs& args) {
  TArgReader r(args);
  TBookSelection selection = ReadSelection(r);
  TArgs files = r.Positionals();
  if (files.size() != 1)
    throw UsageError("kaede list BOOK.kad [--filter-row N | --classify NAME] [--find TEXT [--all-fields]]");
  std::string file = ExistingBook(files[0]);

  TPersonList& book = OpenBookForRun(file);
  for (const TPerson* p : SelectEntries(book, selection)) PrintLine(EntryLine(p));
  return 0;
}

TCommandRegistrar reg({"list", "list BOOK.kad [--filter-row N|--classify NAME] [--find TEXT [--all-fields]]",
                       "print the entries of an address book", Run});

}  // namespace
}  // namespace kaede::cli
