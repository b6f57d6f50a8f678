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
    throw Exception("--filter-row needs a kana row number from 0 to 10, not '" + Utf8ToSjis(text, TConvMode::Replace) + "'");
  return static_cast<int>(row);
}

}  // namespace

int ParseNengaYear(const std::string& text, const char* option) {
  char* end = nullptr;
  long year = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != 0 || year < kNengaFirstYear || year > kNengaLastYear)
    throw Exception(std::string(option) + " needs a year from " + std::to_string(kNengaFirstYear) + " to " +
                    std::to_string(kNengaLastYear) + ", not '" + Utf8ToSjis(text, TConvMode::Replace) + "'");
  return static_cast<int>(year);
}

TBookSelection ReadSelection(TArgReader& r) {
  TBookSelection s;
  s.HasRow = r.Option("--filter-row", s.Row);
  s.HasClassify = r.Option("--classify", s.Classify);
  s.HasFind = r.Option("--find", s.Find);
  s.AllFields = r.Flag("--all-fields");
  if (s.HasRow && s.HasClassify) throw Exception("--filter-row and --classify cannot be used together");
  if (s.AllFields && !s.HasFind) throw Exception("--all-fields belongs to --find");
  if (s.HasRow) ParseRow(s.Row);
  const std::pair<const char*, int> lists[] = {{"--nenga-unsent", nfUnsent}, {"--nenga-received-only", nfReceivedOnly},
                                               {"--nenga-mourning", nfMourning}, {"--nenga-sent", nfSent},
                                               {"--nenga-last-year", nfLastYear}};
  for (const auto& [option, filter] : lists) {
    std::string year;
    if (!r.Option(option, year)) continue;
    if (s.Nenga) throw Exception("only one of the --nenga-... lists can be given");
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
    std::string name = ArgToSjis(s.Classify, "the classification");
    const TStrings& names = book.Classifications();
    auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) throw Exception("the book has no classification '" + name + "'");
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
  for (int i = book.FindText(ArgToSjis(s.Find, "the find text"), false); i >= 0; i = book.FindNext(i + 1, false))
    keep(book.Persons(i));
  return r;
}

}  // namespace kaede::cli
