// kaede postal CODE / kaede address TEXT: look-ups in the postal-code dictionary, one
// candidate per line (UTF-8); exit status 1 when there is none.
#include "AppPaths.h"
#include "Commands.h"
#include "PostalDatas.h"

namespace kaede::cli {

std::unique_ptr<TPostalData> OpenDictionary(const std::string& dir) {
  auto data = !dir.empty() ? std::make_unique<TPostalData>(std::vector<std::string>{ArgToSjis(dir, "the folder")})
                           : std::make_unique<TPostalData>();
  if (!data->LoadData()) {
    std::string where = dir.empty() ? JoinStr(DictionaryFolders(), SJ("、")) : ArgToSjis(dir, "the folder");
    throw Exception(SJ("郵便番号辞書（Ken.dat City.dat Postal.dat）がありません: ") + where);
  }
  // an empty dictionary answers nothing to every question: that is an error, not "no match"
  if (data->Lists().Postal.empty())
    throw Exception(SJ("郵便番号辞書（Ken.dat City.dat Postal.dat）が空です: ") + data->Folder());
  return data;
}

namespace {

int PrintCandidates(const std::string& result, int count) {
  if (count == 0) return 1;
  for (const std::string& line : SplitStr(result, "\r\n")) PrintLine(line);
  return 0;
}

using TLookup = std::string (TPostalData::*)(const std::string&, int&);

int RunLookup(const TArgs& args, TLookup lookup, const char* usage, const char* what) {
  TArgReader r(args);
  std::string dir;
  r.Option("--dict", dir);
  TArgs rest = r.Positionals();
  if (rest.size() != 1) throw Exception(usage);
  auto data = OpenDictionary(dir);
  int count = 0;
  std::string result = ((*data).*lookup)(ArgToSjis(rest[0], what), count);
  return PrintCandidates(result, count);
}

int RunPostal(const TArgs& args) {
  return RunLookup(args, &TPostalData::PostalToAddress, "usage: kaede postal CODE [--dict DIR]", "the postal code");
}

int RunAddress(const TArgs& args) {
  return RunLookup(args, &TPostalData::AddressToPostal, "usage: kaede address TEXT [--dict DIR]", "the address");
}

TCommandRegistrar regPostal({"postal", "postal CODE [--dict DIR]", "print the addresses of a postal code", RunPostal});
TCommandRegistrar regAddress({"address", "address TEXT [--dict DIR]", "print the postal codes of an address", RunAddress});

}  // namespace
}  // namespace kaede::cli
