// kaede sort FILE: the lines of a CP932 text file in the address book's order (Japanese
// collation: あ, ア and ｱ together, か before が), printed as UTF-8.
#include "Commands.h"
#include "DataLists.h"

namespace kaede::cli {
namespace {

class TLine : public TDataItem {
public:
  std::string Text;
  std::string GetText() const override { return Text; }
  void ReadText(const std::string& t) override { Text = t; }
};

class TLineList : public TDataList {
public:
  TDataItem* NewInstance() const override { return new TLine(); }
};

int Run(const TArgs& args) {
  TArgReader r(args);
  bool reverse = r.Flag("--reverse");
  TArgs files = r.Positionals();
  if (files.size() != 1) throw UsageError("kaede sort FILE [--reverse]");
  TLineList list;
  list.LoadFromFile(ArgToSjis(files[0], "ファイルの名前"), false);
  list.Sort();
  for (int i = 0; i < list.Count(); ++i) PrintLine(list.Items(reverse ? list.Count() - 1 - i : i)->GetText());
  return 0;
}

TCommandRegistrar reg({"sort", "sort FILE [--reverse]", "print the lines of a CP932 file in Japanese order", Run});

}  // namespace
}  // namespace kaede::cli
