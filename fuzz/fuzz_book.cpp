// A whole book file: any bytes load without harm (or stop with an error naming the line), and
// a book that loaded saves and loads again with the same entries.
#include "FuzzUtil.h"
#include "PersonLists.h"

using namespace kaede;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string in = fuzz::ScratchFile("in.kad"), out = fuzz::ScratchFile("out.kad");
  WriteFileAtomic(in, fuzz::AsText(data, size));
  TPersonList book;
  try {
    book.LoadFromFile(in, false);
  } catch (const Exception& e) {
    KAEDE_FUZZ_CHECK(e.LineNo() >= 0);
    return 0;
  }
  book.Sort();
  book.SaveToFile(out);
  TPersonList again;
  again.LoadFromFile(out, false);
  KAEDE_FUZZ_CHECK(again.AllCount() == book.AllCount());
  return 0;
}
