#include "BookSelection.h"

#include <algorithm>
#include <cstdlib>

#include "NengaMarks.h"
#include "Strs.h"

namespace kaede::cli {

namespace {

int ParseRow(const std::string& text) {
  char* end = nullptr;
  long row = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != 0 || row < 0 || row > 10)
    throw Exception(SJ("--filter-row には 0 から 10 までの行の番号を指定します（") + Quoted(text) + SJ("は使えません）"));
  return static_cast<int>(row);
}

}  // namespace

int ParseNengaYear(const std::string& text, const char* option) {
  char* end = nullptr;
  long year = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != 0 || year < kNengaFirstYear || year > kNengaLastYear)
    throw Exception(std::string(option) + SJ(" には ") + std::to_string(kNengaFirstYear) + SJ(" から ") +
                    std::to_string(kNengaLastYear) + SJ(" までの年を指定します（") + Quoted(text) + SJ("は使えません）"));
  return static_cast<int>(year);
}

TBookSelection ReadSelection(TArgReader& r) {
  TBookSelection s;
  s.HasRow = r.Option("--filter-row", s.Row);
  s.HasClassify = r.Option("--classify", s.Classify);
  s.HasFind = r.Option("--find", s.Find);
  s.AllFields = r.Flag("--all-fields");
  if (s.HasRow && s.HasClassify) throw Exception(SJ("--filter-row と --classify は一緒には使えません"));
  if (s.AllFields && !s.HasFind) throw Exception(SJ("--all-fields は --find と一緒に使います"));
  if (s.HasRow) ParseRow(s.Row);
  const std::pair<const char*, int> lists[] = {{"--nenga-unsent", nfUnsent}, {"--nenga-received-only", nfReceivedOnly},
                                               {"--nenga-mourning", nfMourning}, {"--nenga-sent", nfSent},
                                               {"--nenga-last-year", nfLastYear}};
  for (const auto& [option, filter] : lists) {
    std::string year;
    if (!r.Option(option, year)) continue;
    if (s.Nenga) throw Exception(SJ("--nenga-... の一覧は一つだけ指定します"));
    s.Nenga = filter;
    s.NengaYear = ParseNengaYear(year, option);
  }
  return s;
}

std::vector<TPerson*> SelectEntries(TPersonList& book, const TBookSelection& s) {
  if (s.HasRow) {
    book.FindMode = pfmKanaRow;
    book.FilterNo(ParseRow(s.Row));
  } else if (s.HasClassify) {
    std::string name = ArgToSjis(s.Classify, "分類");
    const TStrings& names = book.Classifications();
    auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) throw Exception(SJ("住所録に分類「") + name + SJ("」はありません"));
    book.FindMode = pfmClassify;
    book.FilterNo(static_cast<int32_t>(it - names.begin()));
  }
  std::vector<TPerson*> r;
  // the year of a card list is the year of the book's 年賀状 column as well
  if (s.Nenga) book.SetNengaFilter(nfNone, s.NengaYear);
  auto keep = [&](TPerson* p) {
    if (!s.Nenga || NengaBitsPass(book.NengaBitsOf(p, s.NengaYear), static_cast<TNengaFilter>(s.Nenga))) r.push_back(p);
  };
  if (!s.HasFind) {
    for (int i = 0; i < book.Count(); ++i) keep(book.Persons(i));
    return r;
  }
  // Find and find next walk the entries that the filter shows.
  book.FindMode = s.AllFields ? pfmAllFields : pfmName;
  for (int i = book.FindText(ArgToSjis(s.Find, "検索する文字"), false); i >= 0; i = book.FindNext(i + 1, false))
    keep(book.Persons(i));
  return r;
}

}  // namespace kaede::cli
