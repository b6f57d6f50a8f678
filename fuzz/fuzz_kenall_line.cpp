// One record of KEN_ALL.CSV, added twice (a town continued over two records), gives lines
// of the dictionary's form or a refusal.
#include "FuzzUtil.h"
#include "KenAllConverter.h"

using namespace kaede;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string record(fuzz::AsText(data, size));
  TKenAllBuilder builder(4);
  for (int i = 0; i < 2 && builder.Add(record); ++i) {
  }
  for (const std::string& line : builder.Lists().Postal) {
    KAEDE_FUZZ_CHECK(line.size() >= 7);
    for (int i = 0; i < 7; ++i) KAEDE_FUZZ_CHECK(line[static_cast<size_t>(i)] >= '0' && line[static_cast<size_t>(i)] <= '9');
  }
  KAEDE_FUZZ_CHECK(builder.Lists().Postal.size() <= 4);
  return 0;
}
