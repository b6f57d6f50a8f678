#include "KenAllConverter.h"

#include <set>

#include "AppPaths.h"
#include "CommaText.h"
#include "Files.h"

namespace kaede {
namespace {

// The number of "（" minus the number of "）" in the text, character by character.
int ParenBalance(std::string_view s) {
  const std::string& open = SJ("（");
  const std::string& close = SJ("）");
  int balance = 0;
  for (size_t i = 0; i < s.size(); i += CharLenAt(s, i)) {
    if (s.compare(i, 2, open) == 0) ++balance;
    else if (s.compare(i, 2, close) == 0) --balance;
  }
  return balance;
}

}  // namespace

bool TKenAllBuilder::Add(const std::string& record) {
  DecodeCommaText(record, FFields);
  const TStrings& f = FFields;
  if (f.size() < 9 || !IsPostalCodeDigits(f[2])) {
    ++FStats.Skipped;
    return true;
  }
  const std::string &code = f[2], &ken = f[6], &city = f[7], &town = f[8];
  if (!IsValidSjis(ken)) FError = SJ("都道府県名が CP932 の文字ではありません");
  else if (!IsValidSjis(city)) FError = SJ("市区町村名が CP932 の文字ではありません");
  else if (!IsValidSjis(town)) FError = SJ("町域名が CP932 の文字ではありません");
  if (!FError.empty()) return false;
  ++FStats.Records;
  if (code == FPreviousCode && FOpenParens > 0) {
    FLists.Postal.back() += town;
    FOpenParens += ParenBalance(town);
  } else {
    std::string t = town == SJ("以下に掲載がない場合") ? std::string() : town;
    if (!SearchAll(SJ("の次に番地がくる場合"), t, 0).empty()) t = SJ("（") + t + SJ("）");
    if (FLists.Postal.size() >= FMaxLines) {
      FError = SJ("郵便番号の件数が辞書の上限（") + std::to_string(FMaxLines) + SJ("件）を超えています");
      return false;
    }
    FLists.Postal.push_back(code + t);
    FOpenParens = ParenBalance(t);
    FPreviousCode = code;
  }
  int index = static_cast<int>(FLists.Postal.size()) - 1;
  if (ken != FPreviousKen) {
    FPreviousKen = ken;
    FLists.Ken.push_back(RangeLine(index, ken));
  }
  if (city != FPreviousCity) {
    FPreviousCity = city;
    FLists.City.push_back(RangeLine(index, city));
  }
  return true;
}

bool ConvertKenAll(const TStrings& records, TPostalLists& lists, const TConvertProgress& progress, size_t maxLines) {
  lists = TPostalLists();
  TKenAllBuilder builder(maxLines);
  const size_t n = records.size();
  for (size_t k = 0; k < n; ++k) {
    if (progress) progress(k, n);
    if (!builder.Add(records[k])) return false;
  }
  if (builder.Lists().Postal.empty()) return false;
  lists = builder.TakeLists();
  return true;
}

TKenAllStats ConvertKenAllText(std::string_view text, TPostalLists& lists, const TConvertProgress& progress,
                               size_t maxLines) {
  lists = TPostalLists();
  TKenAllBuilder builder(maxLines);
  auto fail = [&](int lineNo, const std::string& message) {
    Exception e(message);
    e.SetLineNo(lineNo);
    throw e;
  };
  std::string record;
  int lineNo = 0;
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    ++lineNo;
    size_t end = i;
    // A line ends at CR LF, LF or CR. Every other byte below 0x20, and 0x7F, is a control
    // byte: no name holds one (they are never the second byte of a CP932 character), and a
    // NUL would cut the name short. The file is read to its end all the same.
    while (end < n) {
      unsigned char c = static_cast<unsigned char>(text[end]);
      if (c == '\r' || c == '\n') break;
      if (c < 0x20 || c == 0x7F)
        fail(lineNo, SJ("制御文字 ") + HexBytes(text, end, 1) + SJ(" があります（") + std::to_string(end - i + 1) + SJ("バイト目）"));
      ++end;
    }
    if (end > i) {
      if (progress) progress(i, n);
      record.assign(text.data() + i, end - i);
      if (!builder.Add(record)) fail(lineNo, builder.Error());
    }
    i = end;
    if (i < n && text[i] == '\r') ++i;
    if (i < n && text[i] == '\n') ++i;
  }
  TKenAllStats stats = builder.Stats();
  stats.Lines = static_cast<size_t>(lineNo);
  if (!builder.Lists().Postal.empty()) lists = builder.TakeLists();
  return stats;
}

TDictionarySummary SummarizePostalLists(const TPostalLists& lists) {
  TDictionarySummary s;
  s.Present = !lists.Postal.empty();
  s.Entries = lists.Postal.size();
  std::set<std::string> names;
  for (const std::string& line : lists.Ken) names.insert(line.size() > 6 ? line.substr(6) : std::string());
  s.Prefectures = names.size();
  return s;
}

TDictionarySummary SummarizeDictionary(const std::string& folder) {
  TDictionarySummary s;
  std::string dir = IncludeTrailingDelimiter(folder);
  try {
    if (!FileExists(dir + kPostalFileName) || !FileExists(dir + kKenFileName)) return s;
    TPostalLists lists;
    const int64_t bound = int64_t(256) << 20;
    SplitLines(ReadFileBytes(dir + kKenFileName, bound), lists.Ken);
    std::string postal = ReadFileBytes(dir + kPostalFileName, bound);
    size_t lines = 0;
    for (size_t i = 0; i < postal.size(); ++i)
      if (postal[i] == '\n') ++lines;
    if (!postal.empty() && postal.back() != '\n') ++lines;
    s = SummarizePostalLists(lists);
    s.Entries = lines;
    s.Present = lines > 0;
  } catch (const Exception&) {
    // a dictionary that cannot be read is no measure for its replacement
    return TDictionarySummary();
  }
  return s;
}

std::string ImplausibleReason(const TDictionarySummary& current, const TDictionarySummary& built) {
  if (!current.Present) return std::string();
  auto text = [](const TDictionarySummary& s) {
    return std::to_string(s.Entries) + SJ("件、") + std::to_string(s.Prefectures) + SJ("都道府県");
  };
  const size_t allPrefectures = 47;
  bool fewEntries = built.Entries * 2 < current.Entries;
  bool fewPrefectures = built.Prefectures < std::min(current.Prefectures, allPrefectures);
  if (!fewEntries && !fewPrefectures) return std::string();
  return SJ("新しい郵便番号データ（") + text(built) + SJ("）は、今の辞書（") + text(current) +
         SJ("）に比べて少なすぎます。データが途中で切れているおそれがあります。");
}

}  // namespace kaede
