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

// Messages are CP932 as every message of the core.
std::string Usage() {
  return SJ("usage: kaede nenga BOOK.kad [--year Y] [--unsent|--received-only|--mourning|--sent|--last-year|--received|--stopped]\n"
            "       kaede nenga BOOK.kad [--year Y] --mark 送|受|喪|寒|止 [--unmark] --entries A-B|--find TEXT");
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
    if (filter != nfNone) throw Exception("only one list can be given\n" + Usage());
    filter = f;
  }
  TBookSelection selection = ReadSelection(r);
  TArgs files = r.Positionals();
  if (files.size() != 1 || (unmark && !hasMark) || (hasEntries && !hasMark)) throw Exception(Usage());
  if (selection.Nenga) throw Exception("kaede nenga takes its list as --unsent, --sent ... with --year");
  const int year = hasYear ? ParseNengaYear(yearArg, "--year") : DefaultCardYear(Today());
  uint8_t marks = 0;
  if (hasMark) {
    if (!ParseNengaMarkText(ArgToSjis(markArg, "--mark"), marks) || marks == 0)
      throw Exception(SJ("--mark takes the marks 送, 受, 喪, 寒 or 止, not '") + ArgToSjis(markArg, "--mark") + "'");
    if (!hasEntries && !selection.HasFind) throw Exception("--mark needs --entries A-B or --find TEXT: which entries?");
  }
  std::string file = ArgToSjis(files[0], "the book name");
  if (!FileExists(file)) throw Exception("no such book: " + file);

  TPersonList& book = OpenBookForRun(file);
  selection.Nenga = filter;
  selection.NengaYear = year;
  std::vector<TPerson*> entries = SelectEntries(book, selection);

  if (hasMark) {
    if (hasEntries) {
      int32_t from = 0, to = 0;
      ParseRange(entriesArg, "--entries", "entry", from, to);
      const int32_t n = static_cast<int32_t>(entries.size());
      const int32_t first = from > 0 ? from : 1, last = to > 0 ? std::min(to, n) : n;
      if (first > last)
        throw Exception("no entries to mark: the list holds " + std::to_string(n) + " entries, --entries " + entriesArg +
                        " none of them");
      entries = std::vector<TPerson*>(entries.begin() + (first - 1), entries.begin() + last);
    }
    if (entries.empty()) throw Exception("no entries to mark in " + file);
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
