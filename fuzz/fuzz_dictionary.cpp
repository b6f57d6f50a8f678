// The three dictionary files (the input split at 0x1E into Ken.dat, City.dat and Postal.dat):
// any files load without harm or with an error naming the file, and the indexed look-ups
// give what the plain scans give.
#include <sys/stat.h>

#include "FuzzUtil.h"
#include "PostalDatas.h"

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
  WriteFileAtomic(folder + "/Ken.dat", parts[0]);
  WriteFileAtomic(folder + "/City.dat", parts[1]);
  WriteFileAtomic(folder + "/Postal.dat", parts[2]);
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
  for (const std::string& code : codes) {
    int a = 0, b = 0;
    KAEDE_FUZZ_CHECK(dictionary.PostalToAddress(code, a) == scan.PostalToAddress(code, b) && a == b);
  }
  for (const std::string& address : addresses) {
    int a = 0, b = 0;
    KAEDE_FUZZ_CHECK(dictionary.AddressToPostal(address, a) == scan.AddressToPostal(address, b) && a == b);
  }
  for (int i = -1; i <= static_cast<int>(lists.Postal.size()); ++i)
    KAEDE_FUZZ_CHECK(dictionary.PrefectureOf(i) == scan.PrefectureOf(i) && dictionary.CityOf(i) == scan.CityOf(i));
  return 0;
}
