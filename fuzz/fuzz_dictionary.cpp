// The three dictionary files (the input split at 0x1E into Ken.dat, City.dat and Postal.dat):
// any files load without harm or with an error naming the file, and the indexed look-ups
// give what the plain scans give.
#include <sys/stat.h>

#include <algorithm>

#include "FuzzUtil.h"
#include "PostalDatas.h"
#include "Strs.h"

using namespace kaede;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = fuzz::ScratchFile("dict");
  static const bool made = (::mkdir(OsPath(folder).c_str(), 0700), true);
  (void)made;
  std::string_view text = fuzz::AsText(data, size);
  std::string parts[3];
  for (int i = 0; i < 3; ++i) {
    size_t end = i < 2 ? text.find('\x1E') : std::string_view::npos;
    parts[i] = std::string(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  fuzz::WriteInput(folder + "/Ken.dat", parts[0]);
  fuzz::WriteInput(folder + "/City.dat", parts[1]);
  fuzz::WriteInput(folder + "/Postal.dat", parts[2]);
  TPostalData dictionary({folder});
  try {
    if (!dictionary.LoadData()) return 0;
  } catch (const Exception& e) {
    KAEDE_FUZZ_CHECK(!e.FileName().empty());
    return 0;
  }
  TPostalScan scan(dictionary);
  const TPostalLists& lists = dictionary.Lists();
  // questions taken from the files themselves, and one from the raw input
  std::vector<std::string> codes, addresses{parts[2].substr(0, 40)};
  for (size_t i = 0; i < lists.Postal.size() && i < 8; ++i) codes.push_back(lists.Postal[i].substr(0, 8));
  for (int i = 0; i < 8 && i < static_cast<int>(lists.Postal.size()); ++i)
    addresses.push_back(dictionary.PrefectureOf(i) + dictionary.CityOf(i) +
                        lists.Postal[static_cast<size_t>(i)].substr(std::min<size_t>(7, lists.Postal[static_cast<size_t>(i)].size())));
  // The two forms must agree on files of the updater's making: CP932 text without control
  // bytes. On other bytes (a lead byte before a NUL, say) they only must not fail.
  bool wellFormed = true;
  for (const TStrings* file : {&lists.Ken, &lists.City, &lists.Postal})
    for (const std::string& line : *file)
      wellFormed = wellFormed && IsValidSjis(line) && std::none_of(line.begin(), line.end(), [](char c) {
               return static_cast<unsigned char>(c) < 0x20;
             });
  for (const std::string& code : codes) {
    int a = 0, b = 0;
    bool same = dictionary.PostalToAddress(code, a) == scan.PostalToAddress(code, b) && a == b;
    KAEDE_FUZZ_CHECK(same || !wellFormed);
  }
  for (const std::string& address : addresses) {
    int a = 0, b = 0;
    bool same = dictionary.AddressToPostal(address, a) == scan.AddressToPostal(address, b) && a == b;
    KAEDE_FUZZ_CHECK(same || !wellFormed);
  }
  for (int i = -1; i <= static_cast<int>(lists.Postal.size()); ++i) {
    bool same = dictionary.PrefectureOf(i) == scan.PrefectureOf(i) && dictionary.CityOf(i) == scan.CityOf(i);
    KAEDE_FUZZ_CHECK(same || !wellFormed);
  }
  return 0;
}
