// kaede postal CODE / kaede address TEXT: look-ups in the postal-code dictionary, one
// candidate per line (UTF-8); exit status 1 when there is none, with a line on standard error
// that says so. kaede postal --info says
// which dictionary answers (the user's update or the one shipped with the program).
#include "AppPaths.h"
#include "Commands.h"
#include "PostalDatas.h"

namespace kaede::cli {

// The dictionary of --dict DIR, or of the folders the address book reads from (not loaded).
static std::unique_ptr<TPostalData> MakeDictionary(const std::string& dir) {
  return !dir.empty() ? std::make_unique<TPostalData>(std::vector<std::string>{ArgToSjis(dir, "フォルダ")})
                      : std::make_unique<TPostalData>();
}

std::unique_ptr<TPostalData> OpenDictionary(const std::string& dir) {
  auto data = MakeDictionary(dir);
  if (!data->LoadData()) {
    std::string where = dir.empty() ? JoinStr(DictionaryFolders(), SJ("、")) : ArgToSjis(dir, "フォルダ");
    throw Exception(SJ("郵便番号辞書（Ken.dat City.dat Postal.dat）がありません: ") + where);
  }
  // an empty dictionary answers nothing to every question: that is an error, not "no match"
  if (data->Lists().Postal.empty())
    throw Exception(SJ("郵便番号辞書（Ken.dat City.dat Postal.dat）が空です: ") + data->Folder());
  return data;
}

namespace {

// none: what is not found, with {} for what was asked
int PrintCandidates(const std::string& result, int count, const std::string& asked, const char* none) {
  if (count == 0) {
    PrintError(ReplaceStrAll(Utf8ToSjis(none), "{}", asked));
    return 1;
  }
  for (const std::string& line : SplitStr(result, "\r\n")) PrintLine(line);
  return 0;
}

using TLookup = std::string (TPostalData::*)(const std::string&, int&);

int RunLookup(const TArgs& args, TLookup lookup, const char* usage, const char* what, const char* none) {
  TArgReader r(args);
  std::string dir;
  r.Option("--dict", dir);
  TArgs rest = r.Positionals();
  if (rest.size() != 1) throw UsageError(usage);
  auto data = OpenDictionary(dir);
  int count = 0;
  const std::string asked = ArgToSjis(rest[0], what);
  std::string result = ((*data).*lookup)(asked, count);
  return PrintCandidates(result, count, asked, none);
}

// The dictionary in use, its date and folder; status 1 when there is none.
int RunInfo(const std::string& dir) {
  auto data = MakeDictionary(dir);
  TPostalDictionaryInfo info = DictionaryInfo(*data);
  PrintLine(DescribeDictionary(info));
  if (info.Folder.empty() && dir.empty()) PrintLine(SJ("探した場所: ") + JoinStr(DictionaryFolders(), SJ("、")));
  return info.Folder.empty() ? 1 : 0;
}

int RunPostal(const TArgs& args) {
  TArgReader r(args);
  if (r.Flag("--info")) {
    std::string dir;
    r.Option("--dict", dir);
    if (!r.Positionals().empty()) throw UsageError("kaede postal --info [--dict DIR]");
    return RunInfo(dir);
  }
  return RunLookup(args, &TPostalData::PostalToAddress, "kaede postal CODE [--dict DIR]", "郵便番号",
                   "郵便番号「{}」は辞書にありません");
}

int RunAddress(const TArgs& args) {
  return RunLookup(args, &TPostalData::AddressToPostal, "kaede address TEXT [--dict DIR]", "住所",
                   "住所「{}」に当たる郵便番号は辞書にありません");
}

TCommandRegistrar regPostal({"postal", "postal CODE|--info [--dict DIR]",
                             "print the addresses of a postal code, or which dictionary answers", RunPostal});
TCommandRegistrar regAddress({"address", "address TEXT [--dict DIR]", "print the postal codes of an address", RunAddress});

}  // namespace
}  // namespace kaede::cli
