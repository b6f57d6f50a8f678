// kaede print table BOOK.kad -o OUT.pdf: the entries of a book as a ruled table in a PDF file,
// laid out and paged as the window's table preview prints them.
//   --style NAME|NUMBER   a table style of the settings (the four predefined ones when the
//                         settings hold none) by name or place from 0; the first by default
//   --filter-row/--classify/--find/--all-fields   the entries, as kaede list takes them
//   --pages A-B           pages A to B (from 1; "A-" to the end, "A" alone)
// The file is written under a temporary name beside OUT and renamed when it is complete, so
// that a failure leaves no partial file.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "AppPaths.h"
#include "BaseOptions.h"
#include "BookSelection.h"
#include "Commands.h"
#include "PersonColumns.h"
#include "QtCanvas.h"
#include "QtPrinters.h"
#include "Strs.h"
#include "Tables.h"

namespace kaede::cli {
namespace {

namespace fs = std::filesystem;

#define KAEDE_PRINT_TABLE_SYNOPSIS \
  "print table BOOK.kad [--style NAME|NUMBER] [--classify NAME|--filter-row N|--find TEXT] [--pages A-B] -o OUT.pdf"
const char* const kUsage = "usage: kaede " KAEDE_PRINT_TABLE_SYNOPSIS;

// The settings of the address book, where the table styles live.
const char* const kAppKey = "KaedeAddress";

bool IsNumber(const std::string& s) {
  return !s.empty() && s.size() < 9 && s.find_first_not_of("0123456789") == std::string::npos;
}

// "A-B", "A-", "-B" or "A" (pages from 1).
void ParsePages(const std::string& text, int32_t& from, int32_t& to) {
  const size_t dash = text.find('-');
  const std::string a = text.substr(0, dash), b = dash == std::string::npos ? a : text.substr(dash + 1);
  auto bad = [&] { return Exception("--pages takes A-B, A- or A with page numbers from 1, not '" + text + "'"); };
  if ((!a.empty() && !IsNumber(a)) || (!b.empty() && !IsNumber(b)) || (a.empty() && b.empty())) throw bad();
  from = a.empty() ? 0 : std::atoi(a.c_str());
  to = b.empty() ? 0 : std::atoi(b.c_str());
  if ((!a.empty() && from < 1) || (!b.empty() && to < 1) || (from > 0 && to > 0 && to < from)) throw bad();
}

// The table style of the settings by place or name.
void ChooseStyle(const std::string& arg, bool given, TTableStyle& style) {
  TTableStyleList list;
  list.ReadFromRegistry(kAppKey);
  if (list.Count() == 0) list.Reset();
  TBaseStyle* found = nullptr;
  if (!given) {
    found = list.Style(0);
  } else if (IsNumber(arg)) {
    int index = std::atoi(arg.c_str());
    if (index < list.Count()) found = list.Style(index);
  } else {
    std::string name = ArgToSjis(arg, "the style name");
    for (int i = 0; i < list.Count() && !found; ++i)
      if (list.Style(i)->Name() == name) found = list.Style(i);
  }
  if (!found) {
    std::string names;
    for (int i = 0; i < list.Count(); ++i) names += "\n  " + std::to_string(i) + " " + list.Style(i)->Name();
    throw Exception("no table style '" + Utf8ToSjis(arg, TConvMode::Replace) + "'; the table styles are:" + names);
  }
  style.Assign(found);
}

// The Qt side of printing: an application object without a display (it lives while the
// command runs), the drawing surfaces and the PDF printer.
std::unique_ptr<QGuiApplication> StartQt() {
  if (QGuiApplication::instance()) return nullptr;
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "kaede";
  static char* argv[] = {name, nullptr};
  auto app = std::make_unique<QGuiApplication>(argc, argv);
  InstallQtDrawing();
  return app;
}

int Run(const TArgs& args) {
  TArgReader r(args);
  std::string styleArg, pagesArg, out;
  const bool hasStyle = r.Option("--style", styleArg);
  const bool hasPages = r.Option("--pages", pagesArg);
  const bool hasOut = r.Option("-o", out) || r.Option("--output", out);
  TBookSelection selection = ReadSelection(r);
  TArgs files = r.Positionals();
  if (files.size() != 1 || !hasOut || out.empty()) throw Exception(kUsage);

  int32_t from = 0, to = 0;
  if (hasPages) ParsePages(pagesArg, from, to);
  const std::string file = ArgToSjis(files[0], "the book name");
  if (!FileExists(file)) throw Exception("no such book: " + file);
  const std::string outFile = ArgToSjis(out, "the output file");
  const fs::path outPath(out);
  const fs::path folder = outPath.has_parent_path() ? outPath.parent_path() : fs::path(".");
  if (!IsWritableFolder(FromOsPath(folder.string())))
    throw Exception("cannot write " + outFile + ": the folder does not exist or is not writable");
  if (fs::is_directory(outPath)) throw Exception("cannot write " + outFile + ": it is a folder");

  TPersonList book;
  book.Open(file, false);
  const std::vector<TPerson*> rows = SelectEntries(book, selection);
  if (rows.empty()) throw Exception("no entries to print in " + file);

  std::unique_ptr<QGuiApplication> app = StartQt();
  // Written beside the result and renamed when complete. The PDF printer is the printer
  // before the table is laid out, so that it is measured in the PDF's dots.
  const std::string partFile = outFile + ".part";
  auto backend = std::make_unique<TPdfPrinterBackend>();
  backend->SetOutputFileName(partFile);
  SheetPrinter().SetBackend(std::move(backend));
  auto cleanUp = [&] {
    std::error_code ec;
    fs::remove(OsPath(partFile), ec);
    SheetPrinter().SetBackend(nullptr);
  };

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
    cleanUp();
    throw Exception("no pages to print: the table has " + std::to_string(total) + " pages, --pages " + pagesArg +
                    " holds none of them");
  } catch (...) {
    cleanUp();
    throw;
  }
  std::error_code ec;
  fs::rename(OsPath(partFile), OsPath(outFile), ec);
  if (ec) {
    cleanUp();
    throw Exception("cannot write " + outFile + ": " + ec.message());
  }
  SheetPrinter().SetBackend(nullptr);
  PrintLine(outFile + ": " + std::to_string(rows.size()) + " entries, " + std::to_string(std::min(pages, total)) +
            " of " + std::to_string(total) + " pages");
  return 0;
}

TCommandRegistrar reg({"print table", KAEDE_PRINT_TABLE_SYNOPSIS, "print the entries of a book as a table to a PDF file",
                       Run});

}  // namespace
}  // namespace kaede::cli
