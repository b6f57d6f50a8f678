// kaede export / kaede import: entries out to and in from CSV and vCard files, with the
// automatic column mapping of the import dialog.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "Commands.h"
#include "CsvExchange.h"
#include "Files.h"
#include "PersonColumns.h"
#include "PersonLists.h"
#include "VCards.h"

namespace kaede::cli {
namespace {

// Writes an export: "-" is standard output; a path that exists and is no regular file (a
// terminal, a pipe, /dev/stdout) is written into as it is, never replaced by a file.
void WriteOutput(const std::string& out, const std::string& bytes) {
  if (out == "-") {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
    if (std::ferror(stdout)) throw Exception(SJ("標準出力に書き込めません"));
    return;
  }
  std::string file = ArgToSjis(out, "出力ファイル");
  struct stat st;
  if (::stat(OsPath(file).c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    if (S_ISDIR(st.st_mode)) throw Exception(file + SJ(" に書き込めません: フォルダです"));
    FILE* f = std::fopen(OsPath(file).c_str(), "wb");
    if (!f) throw Exception(file + SJ(" を開けません: ") + Utf8ToSjis(std::strerror(errno), TConvMode::Replace));
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) throw Exception(file + SJ(" に書き込めません"));
    return;
  }
  WriteFileAtomic(file, bytes);
}

int Export(const TArgs& args) {
  TArgReader r(args);
  std::string out, columns;
  bool haveOut = r.Option("-o", out) || r.Option("--output", out);
  bool noHeader = r.Flag("--no-header");
  bool utf8 = r.Flag("--utf8");
  bool vcard = r.Flag("--vcard");
  bool haveColumns = r.Option("--columns", columns);
  TArgs files = r.Positionals();
  if (files.size() != 1 || !haveOut || (vcard && (haveColumns || noHeader || utf8)))
    throw UsageError("kaede export BOOK.kad -o OUT.csv|- [--columns 氏名,よみ,...] [--no-header] [--utf8]\n"
                     "kaede export BOOK.kad -o OUT.vcf|- --vcard");
  TPersonList book;
  book.Open(ExistingBook(files[0]), false);
  int n = 0;
  std::string bytes;
  if (vcard) {
    bytes = VCardsOfList(book);
    n = book.Count();
  } else {
    TCsvExporter e;
    e.Reset(PersonExchangeNames());
    if (haveColumns) {
      for (const std::string& name : SplitStr(ArgToSjis(columns, "--columns の値"), ",")) {
        if (std::find(e.FieldNames.begin(), e.FieldNames.end(), name) == e.FieldNames.end())
          throw Exception(SJ("--columns の列「") + name + SJ("」はありません"));
        e.ExportNames.push_back(name);
      }
    } else {
      e.AddAll();
      // the New Year card marks go out when there are any
      if (!AnyNengaMarks(book)) std::erase(e.ExportNames, NengaColumnName());
    }
    e.FirstLine = !noHeader;
    bytes = e.Bytes(book, utf8 ? TCsvEncoding::Utf8 : TCsvEncoding::Cp932, n);
  }
  WriteOutput(out, bytes);
  // with the export on standard output, the count goes to standard error
  if (out == "-") PrintError(TCsvExporter::ResultMessage(n));
  else PrintLine(TCsvExporter::ResultMessage(n));
  return 0;
}

int Import(const TArgs& args) {
  const char* usage =
      "kaede import IN.csv|IN.vcf --into BOOK.kad [--first-line] [--encoding auto|sjis|utf8] [--map FIELD=COLUMN]...";
  TArgReader r(args);
  std::string into, encoding = "auto";
  if (!r.Option("--into", into)) throw UsageError(usage);
  bool firstLine = r.Flag("--first-line");
  r.Option("--encoding", encoding);
  std::vector<std::string> maps;
  for (std::string m; r.Option("--map", m);) maps.push_back(ArgToSjis(m, "--map の値"));
  TArgs files = r.Positionals();
  if (files.size() != 1) throw UsageError(usage);

  TCsvImportSession s;
  s.Start(PersonExchangeNames(), PersonColumnAlias);
  if (encoding == "sjis" || encoding == "cp932" || encoding == "shift_jis") s.EncodingChoice = TEncodingChoice::Cp932;
  else if (encoding == "utf8" || encoding == "utf-8") s.EncodingChoice = TEncodingChoice::Utf8;
  else if (encoding != "auto")
    throw Exception(SJ("--encoding には auto、sjis または utf8 を指定します（") + Quoted(encoding) + SJ("は使えません）"));
  if (!s.Load(ArgToSjis(files[0], "ファイルの名前"))) throw Exception(s.Error);
  PrintLine(SJ("文字コード: ") + s.EncodingText());
  for (const std::string& set : s.HeaderSets) PrintLine(SJ("見出し: ") + set);
  for (const TCsvIssue& issue : s.File.Issues) {
    if (issue.Character.empty())
      PrintError(std::to_string(issue.Line) + SJ("行目: ") + issue.Message);
    else
      std::fprintf(stderr, "kaede: %d行目 %d桁目: 「%s」は CP932 で表せないため「〓」にしました\n", issue.Line, issue.Column,
                   issue.Character.c_str());
  }
  for (const auto& [line, character] : s.Cards.Unmappable)
    std::fprintf(stderr, "kaede: %d行目のカード: 「%s」は CP932 で表せないため「〓」にしました\n", line,
                 character.c_str());
  // --map FIELD=COLUMN: the column by its header (or its 1-based number) replaces the mapping
  TStrings header = s.SplitLine(0);
  for (const std::string& m : maps) {
    if (s.IsVCard()) throw Exception(SJ("--map は CSV ファイルに使います（vCard は項目の名前を自分で持っています）"));
    std::string field = LeftOf(m, "="), column = RightOf(m, "=");
    auto f = std::find(s.FieldNames.begin(), s.FieldNames.end(), field);
    if (f == s.FieldNames.end()) throw Exception(SJ("--map の項目「") + field + SJ("」はありません"));
    int c = -1;
    for (size_t i = 0; i < header.size(); ++i)
      if (header[i] == column) c = static_cast<int>(i);
    if (c < 0 && !column.empty() && column.size() < 6 && column.find_first_not_of("0123456789") == std::string::npos)
      c = std::stoi(column) - 1;
    if (c < 0 || c >= static_cast<int>(header.size())) throw Exception(SJ("--map の列「") + column + SJ("」はありません"));
    s.SelectedRow = static_cast<int>(f - s.FieldNames.begin());
    s.SelectedColumn = c;
    s.MapSelected();
  }
  if (!s.IsVCard()) {
    for (size_t f = 0; f < s.FieldNames.size(); ++f)
      if (!s.Map[f].empty() || !s.Fallback[f].empty()) PrintLine(s.MappingText(static_cast<int>(f)));
    for (size_t e = 0; e < s.Entries.size(); ++e) PrintLine(s.EntryMappingText(static_cast<int>(e)));
  }
  s.NoFirstLine = !firstLine;
  if (!s.HasMapping()) throw Exception(TCsvImportSession::NoMappingMessage());

  std::string book = ArgToSjis(into, "住所録の名前");
  TPersonList list;
  if (FileExists(book)) list.Open(book, false);
  else list.SetFileName(book);  // a new book
  TImportResult result = s.Import(list);
  CompleteImport(list, result);
  list.SaveToFile("");
  for (const TImportProblem& p : result.Skipped)
    PrintError(std::to_string(p.Line) + SJ("行目: ") + p.Message);
  PrintLine(TCsvImportSession::ResultMessage(result));
  return result.Skipped.empty() ? 0 : 1;
}

TCommandRegistrar exportReg({"export", "export BOOK.kad -o OUT.csv|- [--columns ...]",
                             "write a book's entries as CSV (--no-header, --utf8) or vCard (--vcard)", Export});
TCommandRegistrar importReg({"import", "import IN.csv|IN.vcf --into BOOK.kad [--map F=C]",
                             "add the lines of a CSV file or the cards of a vCard file to a book", Import});

}  // namespace
}  // namespace kaede::cli
