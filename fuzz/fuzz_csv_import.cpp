// CSV import: any file is read, mapped and imported into a book without harm.
#include "CsvExchange.h"
#include "FuzzUtil.h"
#include "PersonColumns.h"
#include "PersonLists.h"

using namespace kaede;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TCsvImportSession session;
  session.Start(PersonColumnNames(), PersonColumnAlias);
  try {
    if (!session.LoadBytes(std::string(fuzz::AsText(data, size)))) return 0;
    TPersonList book;
    session.Import(book);
    // what came in can be written as a book
    for (int i = 0; i < book.AllCount(); ++i) (void)book.AllItems(i)->GetText();
  } catch (const Exception&) {
  }
  return 0;
}
