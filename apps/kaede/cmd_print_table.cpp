// kaede print table BOOK.kad -o OUT.pdf: the entries of a book as a ruled table in a PDF file,
// laid out and paged as the window's table preview prints them.
//   --style NAME|NUMBER   a table style of the settings (the four predefined ones when the
//                         settings hold none) by name or place from 0; the first by default
//   --filter-row/--classify/--find/--all-fields   the entries, as kaede list takes them
//   --nenga-unsent Y ...  the New Year card lists of a year (the 年賀状 column shows that year)
//   --pages A-B           pages A to B (from 1; "A-" to the end, "A" alone)
//   --offset X,Y          move everything printed X mm right and Y mm down (-10 ... 10)
//   --printer QUEUE [--copies N]   send the table to a print queue instead of a file
// The file is written under a temporary name beside OUT and renamed when it is complete, so
// that a failure leaves no partial file.
#include <cstdlib>
#include <memory>
#include <optional>

#include "BaseOptions.h"
#include "BookSelection.h"
#include "Commands.h"
#include "PdfPrints.h"
#include "PersonColumns.h"
#include "Strs.h"
#include "Tables.h"

namespace kaede::cli {
namespace {

#define KAEDE_PRINT_TABLE_SYNOPSIS \
  "print table BOOK.kad [--style NAME|NUMBER] [--classify NAME|--filter-row N|--find TEXT] [--nenga-unsent Y|...] " \
  "[--pages A-B] [--offset X,Y] (-o OUT.pdf | --printer QUEUE [--copies N])"
const char* const kUsage = "kaede " KAEDE_PRINT_TABLE_SYNOPSIS;

// The table style of the settings by place or name.
void ChooseStyle(const std::string& arg, bool given, TTableStyle& style) {
  TTableStyleList list;
  TBaseStyle* found = ListedStyle(list, given ? arg : "0");
  if (!found) {
    std::string names;
    for (int i = 0; i < list.Count(); ++i) names += "\n  " + std::to_string(i) + " " + list.Style(i)->Name();
    throw Exception(SJ("表のスタイル") + Quoted(arg) + SJ("はありません。表のスタイルは次のとおりです:") + names);
  }
  style.Assign(found);
}

int Run(const TArgs& args) {
  TArgReader r(args);
  std::string styleArg, pagesArg, out;
  const bool hasStyle = r.Option("--style", styleArg);
  const bool hasPages = r.Option("--pages", pagesArg);
  const bool hasOut = r.Option("-o", out) || r.Option("--output", out);
  TakeOffsetOption(r);
  std::string queue, copies;
  const bool hasQueue = r.Option("--printer", queue);
  const bool hasCopies = r.Option("--copies", copies);
  TBookSelection selection = ReadSelection(r);
  TArgs files = r.Positionals();
  if (files.size() != 1 || hasOut == hasQueue || (hasOut && out.empty()) || (hasCopies && !hasQueue))
    throw UsageError(kUsage);

  int32_t from = 0, to = 0;
  if (hasPages) ParseRange(pagesArg, "--pages", "ページ", from, to);
  const std::string file = ExistingBook(files[0]);
  std::unique_ptr<QGuiApplication> app;  // goes after the printer
  // a PDF file, or a print queue
  std::optional<TPdfOutput> output;
  std::optional<TQueueOutput> queued;
  if (hasOut) output.emplace(out);
  else queued.emplace(queue, copies);

  TPersonList book;
  book.Open(file, false);
  const std::vector<TPerson*> rows = SelectEntries(book, selection);
  if (rows.empty()) throw Exception(file + SJ(" に印刷する宛名がありません"));

  app = StartQt();
  // The PDF printer is the printer before the table is laid out, so that it is measured in
  // the PDF's dots.
  if (output) output->InstallPrinter();
  else queued->InstallPrinter();

  int32_t pages = 0, total = 0;
  try {
    TTable table;
    TTableView& view = table.View();
    view.OnCellText = [&rows, &view](int32_t column, int32_t row, int32_t& align, std::string& text) {
      const TStrings& columns = view.ColumnNames();
      if (row < 0 || row >= static_cast<int32_t>(rows.size()) || column < 0 ||
          column >= static_cast<int32_t>(columns.size()))
        return;
      text = PersonTableCellText(*rows[static_cast<size_t>(row)], columns[static_cast<size_t>(column)], align);
    };
    ChooseStyle(styleArg, hasStyle, table.Style());  // the control lays the table out
    view.SetRowCount(static_cast<int32_t>(rows.size()));
    total = view.PageCount();
    pages = view.Print(table.Style().Name(), from, to) * std::max(1, table.Style().PagesPerSheet());
  } catch (const EPrintRangeEmpty&) {
    throw Exception(SJ("印刷するページがありません: 表は") + std::to_string(total) + SJ("ページで、--pages ") +
                    Quoted(pagesArg) + SJ("に当たるページはありません"));
  }
  if (output) output->Finish();
  PrintLine((output ? output->File() : "sent to " + queued->Queue()) + ": " + std::to_string(rows.size()) + " entries, " + std::to_string(std::min(pages, total)) +
            " of " + std::to_string(total) + " pages");
  return 0;
}

TCommandRegistrar reg({"print table", KAEDE_PRINT_TABLE_SYNOPSIS, "print the entries of a book as a table to a PDF file or a print queue",
                       Run});

}  // namespace
}  // namespace kaede::cli
