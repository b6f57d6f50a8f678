// kaede export / kaede import: entries out to and in from CSV files, with the automatic
// column mapping of the import dialog.
#include <cstdio>

#include "Commands.h"
#include "CsvExchange.h"
#include "Files.h"
#include "PersonColumns.h"
#include "PersonLists.h"

namespace kaede::cli {
namespace {

std::string BookName(const std::string& utf8) {
  std::string file = ArgToSjis(utf8, "the book name");
  if (!FileExists(file)) throw Exception("no such book: " + file);
  return file;
}

int Export(const TArgs& args) {
  TArgReader r(args);
  std::string out, columns;
  bool haveOut = r.Option("-o", out) || r.Option("--output", out);
  bool noHeader = r.Flag("--no-header");
  bool utf8 = r.Flag("--utf8");
  bool haveColumns = r.Option("--columns", columns);
  TArgs files = r.Positionals();
  if (files.size() != 1 || !haveOut)
    throw Exception("usage: kaede export BOOK.kad -o OUT.csv [--columns 氏名,よみ,...] [--no-header] [--utf8]");
  TPersonList book;
  book.Open(BookName(files[0]), false);
  TCsvExporter e;
  e.Reset(PersonColumnNames());
  if (haveColumns) {
    for (const std::string& name : SplitStr(ArgToSjis(columns, "--columns"), ",")) {
      if (std::find(e.FieldNames.begin(), e.FieldNames.end(), name) == e.FieldNames.end())
        throw Exception("unknown column: " + name);
      e.ExportNames.push_back(name);
    }
  } else {
    e.AddAll();
  }
  e.FirstLine = !noHeader;
  int n = e.Write(book, ArgToSjis(out, "the output file"), utf8 ? TCsvEncoding::Utf8 : TCsvEncoding::Cp932);
  PrintLine(TCsvExporter::ResultMessage(n));
  return 0;
}

int Import(const TArgs& args) {
  TArgReader r(args);
  std::string into;
  if (!r.Option("--into", into)) throw Exception("usage: kaede import IN.csv --into BOOK.kad [--first-line] [--map FIELD=COLUMN]...");
  bool firstLine = r.Flag("--first-line");
  std::vector<std::string> maps;
  for (std::string m; r.Option("--map", m);) maps.push_back(ArgToSjis(m, "--map"));
  TArgs files = r.Positionals();
  if (files.size() != 1) throw Exception("usage: kaede import IN.csv --into BOOK.kad [--first-line] [--map FIELD=COLUMN]...");

  TCsvImportSession s;
  s.Start(PersonColumnNames(), PersonColumnAlias);
  if (!s.Load(ArgToSjis(files[0], "the file name"))) throw Exception(s.Error);
  for (const TCsvIssue& issue : s.File.Issues) {
    if (issue.Character.empty())
      PrintError("line " + std::to_string(issue.Line) + ": " + issue.Message);
    else
      std::fprintf(stderr, "kaede: line %d, column %d: %s cannot be held in CP932; it became \xE3\x80\x93\n", issue.Line,
                   issue.Column, issue.Character.c_str());
  }
  // --map FIELD=COLUMN: the column by its header (or its 1-based number) replaces the mapping
  TStrings header = s.SplitLine(0);
  for (const std::string& m : maps) {
    std::string field = LeftOf(m, "="), column = RightOf(m, "=");
    auto f = std::find(s.FieldNames.begin(), s.FieldNames.end(), field);
    if (f == s.FieldNames.end()) throw Exception("unknown field: " + field);
    int c = -1;
    for (size_t i = 0; i < header.size(); ++i)
      if (header[i] == column) c = static_cast<int>(i);
    if (c < 0 && !column.empty() && column.find_first_not_of("0123456789") == std::string::npos) c = std::stoi(column) - 1;
    if (c < 0 || c >= static_cast<int>(header.size())) throw Exception("no such column: " + column);
    s.SelectedRow = static_cast<int>(f - s.FieldNames.begin());
    s.SelectedColumn = c;
    s.MapSelected();
  }
  for (size_t f = 0; f < s.FieldNames.size(); ++f)
    if (!s.Map[f].empty()) PrintLine(s.MappingText(static_cast<int>(f)));
  s.NoFirstLine = !firstLine;

  std::string book = ArgToSjis(into, "the book name");
  TPersonList list;
  if (FileExists(book)) list.Open(book, false);
  else list.SetFileName(book);  // a new book
  TImportResult result = s.Import(list);
  CompleteImport(list, result);
  list.SaveToFile("");
  for (const TImportProblem& p : result.Skipped)
    PrintError("line " + std::to_string(p.Line) + ": " + p.Message);
  PrintLine(TCsvImportSession::ResultMessage(result.Added));
  return result.Skipped.empty() ? 0 : 1;
}

TCommandRegistrar exportReg({"export", "export BOOK.kad -o OUT.csv [--columns ...]",
                             "write the entries of a book to a CSV file (--no-header, --utf8)", Export});
TCommandRegistrar importReg({"import", "import IN.csv --into BOOK.kad [--map F=C]",
                             "add the lines of a CSV file (CP932 or UTF-8) to a book", Import});

}  // namespace
}  // namespace kaede::cli
