// kaede unify BOOK.kad [--switches 0,1,...]: unifies the format of every entry (spaces of
// names and readings, readings in hiragana, half-width addresses, postal codes without
// hyphens, company marks) and saves the book. Without --switches all six apply.
#include <cstdio>
#include <cstdlib>

#include "Commands.h"
#include "PersonLists.h"
#include "Strs.h"

namespace kaede::cli {
namespace {

unsigned ParseSwitches(const std::string& text) {
  unsigned options = 0;
  for (const std::string& item : SplitStr(text, ",")) {
    char* end = nullptr;
    long n = std::strtol(item.c_str(), &end, 10);
    if (item.empty() || *end != 0 || n < 0 || n > 5)
      throw Exception(SJ("--switches には 0 から 5 までの番号をコンマで区切って指定します（") + Quoted(text) + SJ("は使えません）"));
    options |= 1u << n;
  }
  return options;
}

int Run(const TArgs& args) {
  TArgReader r(args);
  std::string switches;
  unsigned options = r.Option("--switches", switches) ? ParseSwitches(switches) : ufAll;
  TArgs files = r.Positionals();
  if (files.size() != 1) throw UsageError("kaede unify BOOK.kad [--switches 0,1,2,3,4,5]");
  std::string file = ExistingBook(files[0]);
  TPersonList& book = OpenBookForRun(file);
  book.UnifyFormat(options);
  book.SaveToFile("");
  std::printf("%d entries unified and saved\n", book.AllCount());
  return 0;
}

TCommandRegistrar reg({"unify", "unify BOOK.kad [--switches 0,1,...]",
                       "unify the format of every entry of an address book and save it", Run});

}  // namespace
}  // namespace kaede::cli
