// Comma text, the line format of items, settings values and CSV records: reading any bytes
// is safe, and what is written reads back as the same list.
#include "CommaText.h"
#include "FuzzUtil.h"

using namespace kaede;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text = fuzz::AsText(data, size);
  std::vector<std::string> items = DecodeCommaText(text);
  std::string written = EncodeCommaText(items);
  KAEDE_FUZZ_CHECK(DecodeCommaText(written) == items);
  std::vector<std::string> lines;
  SplitLines(text, lines);
  std::vector<std::string> whole = SplitLinesKeepingZeros(text);
  KAEDE_FUZZ_CHECK(whole.size() >= lines.size());
  return 0;
}
