// A whole KEN_ALL.CSV: the conversion reads every line or names the line it stops at, and
// what it gives is a dictionary of the expected form (entries of seven digits, ranges in order).
#include "FuzzUtil.h"
#include "KenAllConverter.h"

using namespace kaede;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPostalLists lists;
  try {
    TKenAllStats stats = ConvertKenAllText(fuzz::AsText(data, size), lists);
    KAEDE_FUZZ_CHECK(stats.Records + stats.Skipped <= stats.Lines);
  } catch (const Exception& e) {
    KAEDE_FUZZ_CHECK(e.LineNo() > 0);
    return 0;
  }
  KAEDE_FUZZ_CHECK(lists.Ken.size() <= lists.Postal.size() && lists.City.size() <= lists.Postal.size());
  int last = -1;
  for (const std::string& line : lists.Ken) {
    int index = std::stoi(line.substr(0, 6));
    KAEDE_FUZZ_CHECK(index > last && index < static_cast<int>(lists.Postal.size()));
    last = index;
  }
  TDictionarySummary summary = SummarizePostalLists(lists);
  KAEDE_FUZZ_CHECK(ImplausibleReason(summary, summary).empty());
  return 0;
}
