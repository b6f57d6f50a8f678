// One line of a book: any bytes are read without harm (or refused with an error), and what
// an entry writes reads back as an entry that writes the same line again. (Empty items at
// the end of a list field are not kept: every round drops one, "a||" becoming "a|", so the
// fields are compared without them.)
#include "CommaText.h"
#include "FuzzUtil.h"
#include "PersonLists.h"

using namespace kaede;

namespace {

// The line the entry read from the text writes; the entry must read.
std::string Round(const std::string& text) {
  TPersonList list;
  TDataItem* item = list.AddText(text);
  KAEDE_FUZZ_CHECK(item != nullptr);
  return item->GetText();
}

// The fields of a line, each without the "|" of empty items at its end.
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields = DecodeCommaText(line);
  for (std::string& f : fields)
    while (!f.empty() && f.back() == '|') f.pop_back();
  return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text = fuzz::AsText(data, size);
  std::string line(text.substr(0, text.find_first_of(std::string_view("\r\n\0", 3))));
  std::string first;
  try {
    TPersonList list;
    TDataItem* item = list.AddText(line);
    if (!item) return 0;
    first = item->GetText();
  } catch (const Exception&) {
    return 0;
  }
  // what the program wrote it must read, and a written line reads back the same
  std::string second = Round(first);
  std::string third = Round(second);
  if (Fields(third) != Fields(second))
    std::fprintf(stderr, "written: %s\nread as: %s\n", SjisToUtf8(second, TConvMode::Replace).c_str(),
                 SjisToUtf8(third, TConvMode::Replace).c_str());
  KAEDE_FUZZ_CHECK(Fields(third) == Fields(second));
  return 0;
}
