// kaede check BOOK.kad [--dict DIR] [--duplicates] [--fix]: the address check of a book
// against the postal-code dictionary, one finding per line (entry, kind, detail, proposed
// fix, tab-separated), the counts on standard error; exit status 1 when anything was found.
// --duplicates adds the groups of probable duplicates; --fix applies every fix the dictionary
// leaves exactly one answer for, saves the book and says what it changed.
#include "AddressChecks.h"
#include "Commands.h"
#include "Duplicates.h"
#include "PersonLists.h"
#include "PostalDatas.h"

namespace kaede::cli {
namespace {

// Tabs and line breaks of a field would split the line.
std::string Cell(const std::string& text) {
  std::string r = text;
  for (char& c : r)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return r;
}

int Run(const TArgs& args) {
  TArgReader r(args);
  std::string dir;
  r.Option("--dict", dir);
  bool duplicates = r.Flag("--duplicates"), fix = r.Flag("--fix");
  TArgs files = r.Positionals();
  if (files.size() != 1) throw UsageError("kaede check BOOK.kad [--dict DIR] [--duplicates] [--fix]");
  std::string file = ExistingBook(files[0]);
  auto data = OpenDictionary(dir);
  TPersonList& book = OpenBookForRun(file);
  TAddressChecker checker(*data);
  std::vector<TCheckFinding> findings = checker.CheckBook(book);
  int counts[ckKindCount] = {};
  for (const TCheckFinding& f : findings) {
    ++counts[f.Kind];
    PrintLine(Cell(f.Name) + "\t" + CheckKindCaption(f.Kind) + "\t" + Cell(f.Detail) + "\t" + Cell(f.FixText()));
  }
  std::vector<TDuplicateGroup> groups;
  if (duplicates) {
    groups = FindDuplicates(book);
    for (const TDuplicateGroup& g : groups) {
      TStrings names;
      for (int32_t id : g.Ids) names.push_back(Cell(static_cast<TPerson*>(book.ItemOfId(id))->Name()));
      PrintLine(JoinStr(names, SJ("、")) + "\t" + SJ("重複の可能性") + "\t" + DuplicateFactsText(g.Facts) +
                SJ("が一致") + "\t");
    }
  }
  for (int k = 0; k < ckKindCount; ++k)
    if (counts[k]) PrintError(CheckKindCaption(static_cast<TCheckKind>(k)) + ": " + std::to_string(counts[k]));
  if (duplicates) PrintError(SJ("重複の可能性: ") + std::to_string(groups.size()) + SJ("組"));
  PrintError(SJ("確認した項目: ") + std::to_string(book.AllCount()) + SJ("、見つかったこと: ") +
             std::to_string(findings.size() + groups.size()));
  if (fix) {
    std::vector<size_t> applied;
    int changed = ApplyCheckFixes(book, findings, &applied);
    for (size_t i : applied)
      PrintError(SJ("修正: ") + findings[i].Name + " - " + findings[i].FixText());
    if (changed > 0) book.SaveToFile("");
    PrintError(SJ("修正した項目: ") + std::to_string(changed) + (changed > 0 ? SJ("（保存しました）") : std::string()));
  }
  return findings.empty() && groups.empty() ? 0 : 1;
}

TCommandRegistrar reg({"check", "check BOOK.kad [--dict DIR] [--duplicates] [--fix]",
                       "check the postal codes and addresses of a book against the dictionary", Run});

}  // namespace
}  // namespace kaede::cli
