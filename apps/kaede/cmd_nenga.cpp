// kaede nenga BOOK.kad: New Year cards of a card year.
//   --year Y              the card year (by default the coming New Year: next year from October)
//   --unsent | --received-only | --mourning | --sent | --last-year | --received | --stopped
//                         the list of that year (every entry without one), narrowed by
//                         --filter-row/--classify/--find/--all-fields as kaede list takes them;
//                         one line per entry (name, reading, postal code, address and the
//                         year's marks, tab-separated), the year's counts on standard error
//   --mark 送|受|喪|寒|止 [--unmark]   sets (or clears) the marks of the year on the entries
//                         of the list and saves the book: --entries A-B (of the list, from 1)
//                         or --find TEXT says which; one undo step of the book
#include <algorithm>
#include <cstdio>

#include "BookSelection.h"
#include "Commands.h"
#include "Cp932.h"
#include "NengaMarks.h"
#include "PdfPrints.h"
#include "Strs.h"

namespace kaede::cli {
namespace {

Exception Usage() {
  return UsageError("kaede nenga BOOK.kad [--year Y] [--unsent|--received-only|--mourning|--sent|--last-year|--received|--stopped]\n"
                    "kaede nenga BOOK.kad [--year Y] --mark 送|受|喪|寒|止 [--unmark] --entries A-B|--find TEXT");
}

int Run(const TArgs& args) {
  TArgReader r(args);
  std::string yearArg, markArg, entriesArg;
  const bool hasYear = r.Option("--year", yearArg);
  const bool hasMark = r.Option("--mark", markArg);
  const bool unmark = r.Flag("--unmark");
  const bool hasEntries = r.Option("--entries", entriesArg);
  const std::pair<const char*, TNengaFilter> lists[] = {
      {"--unsent", nfUnsent}, {"--received-only", nfReceivedOnly}, {"--mourning", nfMourning}, {"--sent", nfSent},
      {"--last-year", nfLastYear}, {"--received", nfReceived}, {"--stopped", nfStopped}};
  TNengaFilter filter = nfNone;
  for (const auto& [flag, f] : lists) {
    if (!r.Flag(flag)) continue;
    if (filter != nfNone) throw Exception(SJ("一覧は一つだけ指定します\n") + Usage().Message());
    filter = f;
  }
  TBookSelection selection = ReadSelection(r);
  TArgs files = r.Positionals();
  if (files.size() != 1 || (unmark && !hasMark) || (hasEntries && !hasMark)) throw Usage();
  if (selection.Nenga) throw Exception(SJ("kaede nenga では一覧を --unsent、--sent … と --year で指定します"));
  const int year = hasYear ? ParseNengaYear(yearArg, "--year") : DefaultCardYear(Today());
  uint8_t marks = 0;
  if (hasMark) {
    if (!ParseNengaMarkText(ArgToSjis(markArg, "--mark の値"), marks) || marks == 0)
      throw Exception(SJ("--mark には 送、受、喪、寒、止 の印を指定します（") + Quoted(markArg) + SJ("は使えません）"));
    if (!hasEntries && !selection.HasFind) throw Exception(SJ("--mark には印を付ける宛名を --entries A-B か --find TEXT で指定します"));
  }
  std::string file = ExistingBook(files[0]);

  TPersonList& book = OpenBookForRun(file);
  selection.Nenga = filter;
  selection.NengaYear = year;
  std::vector<TPerson*> entries = SelectEntries(book, selection);

  if (hasMark) {
    if (hasEntries) {
      int32_t from = 0, to = 0;
      ParseRange(entriesArg, "--entries", "一覧の宛名", from, to);
      const int32_t n = static_cast<int32_t>(entries.size());
      const int32_t first = from > 0 ? from : 1, last = to > 0 ? std::min(to, n) : n;
      if (first > last)
        throw Exception(SJ("印を付ける宛名がありません: 一覧は") + std::to_string(n) + SJ("件で、--entries ") + Quoted(entriesArg) +
                        SJ("に当たる宛名はありません"));
      entries = std::vector<TPerson*>(entries.begin() + (first - 1), entries.begin() + last);
    }
    if (entries.empty()) throw Exception(file + SJ(" に印を付ける宛名がありません"));
    if (book.InUse()) throw Exception(TPersonList::InUseMessage());
    const int changed = MarkNengaEntries(book, entries, year, marks, !unmark);
    if (changed) book.SaveToFile("");
    PrintLine(std::to_string(changed) + " of " + std::to_string(entries.size()) + " entries " +
              (unmark ? "unmarked " : "marked ") + NengaMarkText(marks) + " for " + std::to_string(year) +
              (changed ? " and saved" : ""));
    return 0;
  }
  for (TPerson* p : entries)
    PrintLine(p->Name() + "\t" + p->Yomi() + "\t" + p->Postal() + "\t" + JoinStr(p->Address().Lines(), " ") + "\t" +
              NengaMarkText(NengaMarksOf(*p).Of(year)));
  PrintError(std::to_string(entries.size()) + SJ("件 ／ ") + NengaSummaryText(SummarizeNenga(book, year), year));
  return 0;
}

TCommandRegistrar reg({"nenga", "nenga BOOK.kad [--year Y] [--unsent|--sent|...] [--mark M [--unmark] --entries A-B]",
                       "New Year cards of a year: the lists to send and sent, and marking them", Run});

}  // namespace
}  // namespace kaede::cli
