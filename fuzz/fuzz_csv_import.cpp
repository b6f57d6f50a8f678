// CSV import: any file is read, mapped and imported into a book without harm, and the book
// it made is saved and opens again with the same entries.
#include "CsvExchange.h"
#include "FuzzUtil.h"
#include "PersonColumns.h"
#include "PersonLists.h"

using namespace kaede;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TCsvImportSession session;
  session.Start(PersonColumnNames(), PersonColumnAlias);
  TPersonList book;
  try {
    if (!session.LoadBytes(std::string(fuzz::AsText(data, size)))) return 0;
    session.Import(book);
  } catch (const Exception&) {
    return 0;
  }
  if (book.AllCount() == 0) return 0;
  // what came in is written as a book, which opens again (an error here ends the run)
  static const std::string saved = fuzz::ScratchFile("imported.kad");
  book.SaveToFile(saved);
  TPersonList again;
  again.Open(saved, false);
  KAEDE_FUZZ_CHECK(again.AllCount() == book.AllCount());
  return 0;
}
