// kaede postal CODE / kaede address TEXT: look-ups in the postal-code dictionary, one
// candidate per line (UTF-8); exit status 1 when there is none.
#include "AppPaths.h"
#include "Commands.h"
#include "PostalDatas.h"

namespace kaede::cli {
namespace {

// The dictionary of --dict DIR, or of the folders the address book reads from.
std::unique_ptr<TPostalData> OpenDictionary(TArgReader& r) {
  std::string dir;
  auto data = r.Option("--dict", dir) ? std::make_unique<TPostalData>(std::vector<std::string>{ArgToSjis(dir, "the folder")})
                                      : std::make_unique<TPostalData>();
  if (!data->LoadData()) {
    std::string where = dir.empty() ? JoinStr(DictionaryFolders(), SJ("、")) : ArgToSjis(dir, "the folder");
    throw Exception(SJ("郵便番号辞書（Ken.dat City.dat Postal.dat）がありません: ") + where);
  }
  return data;
}

int PrintCandidates(const std::string& result, int count) {
  TStrings lines = SplitStr(result, "\r\n");
  for (const std::string& line : lines) PrintLine(line);
  return count > 0 ? 0 : 1;
}

int RunPostal(const TArgs& args) {
  TArgReader r(args);
  auto data = OpenDictionary(r);
  TArgs rest = r.Positionals();
  if (rest.size() != 1) throw Exception("usage: kaede postal CODE [--dict DIR]");
  int count = 0;
  std::string result = data->PostalToAddress(ArgToSjis(rest[0], "the postal code"), count);
  return PrintCandidates(result, count);
}

int RunAddress(const TArgs& args) {
  TArgReader r(args);
  auto data = OpenDictionary(r);
  TArgs rest = r.Positionals();
  if (rest.size() != 1) throw Exception("usage: kaede address TEXT [--dict DIR]");
  int count = 0;
  std::string result = data->AddressToPostal(ArgToSjis(rest[0], "the address"), count);
  return PrintCandidates(result, count);
}

TCommandRegistrar regPostal({"postal", "postal CODE [--dict DIR]", "print the addresses of a postal code", RunPostal});
TCommandRegistrar regAddress({"address", "address TEXT [--dict DIR]", "print the postal codes of an address", RunAddress});

}  // namespace
}  // namespace kaede::cli
