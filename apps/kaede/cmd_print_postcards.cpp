// kaede print postcards BOOK.kad -o OUT.pdf: the address prints of a book (postcards,
// envelopes, labels) as a PDF file, one page per sheet, laid out as the window prints them.
//   --style NAME|NUMBER|FILE.kps  a style of the list (the 42 predefined ones, then the user's
//                                 styles of the settings) by name or place from 0, or a style
//                                 file; the official postcard without
//   --sender N                    the N-th sender of the settings (default: the style's)
//   --filter-row/--classify/--find/--all-fields   the entries, as kaede list takes them
//   --entries A-B                 entries A to B of those (from 1; "A-" to the end, "A" alone)
//   --guides                      print the outlines of the text rectangles (a proof)
//   --preview                     print the cards as the preview shows them: with the card's
//                                 colour, its pre-printed frames and title, and the pictures
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
#include "PostPrints.h"
#include "QtCanvas.h"
#include "QtPrinters.h"
#include "Strs.h"

namespace kaede::cli {
namespace {

namespace fs = std::filesystem;

const char* const kUsage =
    "usage: kaede print postcards BOOK.kad [--style NAME|NUMBER|FILE.kps] [--sender N] "
    "[--classify NAME|--filter-row N|--find TEXT] [--entries A-B] [--guides] [--preview] -o OUT.pdf";

// The settings of the address book: the user's styles and the senders live there.
const char* const kAppKey = "KaedeAddress";

bool IsNumber(const std::string& s) {
  return !s.empty() && s.size() < 9 && s.find_first_not_of("0123456789") == std::string::npos;
}

// "A-B", "A-", "-B" or "A" (entries from 1).
void ParseEntries(const std::string& text, int32_t& from, int32_t& to) {
  const size_t dash = text.find('-');
  const std::string a = text.substr(0, dash), b = dash == std::string::npos ? a : text.substr(dash + 1);
  auto bad = [&] { return Exception("--entries takes A-B, A- or A with entry numbers from 1, not '" + text + "'"); };
  if ((!a.empty() && !IsNumber(a)) || (!b.empty() && !IsNumber(b)) || (a.empty() && b.empty())) throw bad();
  from = a.empty() ? 0 : std::atoi(a.c_str());
  to = b.empty() ? 0 : std::atoi(b.c_str());
  if ((!a.empty() && from < 1) || (!b.empty() && to < 1) || (from > 0 && to > 0 && to < from)) throw bad();
}

// The style: a .kps file, a place in the list, or a name of the list.
void ChooseStyle(const std::string& arg, TPostStyle& style) {
  if (arg.size() > 4 && (arg.substr(arg.size() - 4) == ".kps" || arg.substr(arg.size() - 4) == ".KPS")) {
    std::string file = ArgToSjis(arg, "the style file");
    if (!FileExists(file) || !style.LoadFromFile(file, "Style"))
      throw Exception("cannot read the postcard style file " + file);
    style.EnsurePreset();
    return;
  }
  TPostStyleList list;
  list.ReadFromRegistry(kAppKey);
  if (list.Count() == 0) list.Reset();
  TBaseStyle* found = nullptr;
  if (IsNumber(arg)) {
    int index = std::atoi(arg.c_str());
    if (index < list.Count()) found = list.Style(index);
  } else {
    std::string name = ArgToSjis(arg, "the style name");
    for (int i = 0; i < list.Count() && !found; ++i)
      if (list.Style(i)->Name() == name) found = list.Style(i);
  }
  if (!found)
    throw Exception("no postcard style '" + Utf8ToSjis(arg, TConvMode::Replace) + "': give a name or a number from 0 to " +
                    std::to_string(list.Count() - 1) + " of the style list, or a .kps file");
  style.Assign(found);
}

// The Qt side of printing: an application object without a display (it lives while the
// command runs), the PDF printer and the Qt canvas.
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
  std::string styleArg, senderArg, entriesArg, out;
  const bool hasStyle = r.Option("--style", styleArg);
  const bool hasSender = r.Option("--sender", senderArg);
  const bool hasEntries = r.Option("--entries", entriesArg);
  const bool hasOut = r.Option("-o", out) || r.Option("--output", out);
  const bool guides = r.Flag("--guides");
  const bool preview = r.Flag("--preview");
  TBookSelection selection = ReadSelection(r);
  TArgs files = r.Positionals();
  if (files.size() != 1 || !hasOut || out.empty()) throw Exception(kUsage);

  int32_t from = 0, to = 0;
  if (hasEntries) ParseEntries(entriesArg, from, to);
  std::string file = ArgToSjis(files[0], "the book name");
  if (!FileExists(file)) throw Exception("no such book: " + file);
  const std::string outFile = ArgToSjis(out, "the output file");
  fs::path outPath = fs::path(out);
  fs::path folder = outPath.has_parent_path() ? outPath.parent_path() : fs::path(".");
  if (!IsWritableFolder(FromOsPath(folder.string())))
    throw Exception("cannot write " + outFile + ": the folder does not exist or is not writable");
  if (fs::is_directory(outPath)) throw Exception("cannot write " + outFile + ": it is a folder");

  TPostStyle* style = TDataItem::Make<TPostStyle>();
  std::unique_ptr<TPostStyle, void (*)(TPostStyle*)> styleGuard(style, [](TPostStyle* s) { s->Free(); });
  if (hasStyle) ChooseStyle(styleArg, *style);

  TPersonList book;
  book.Open(file, false);
  std::vector<TPerson*> entries = SelectEntries(book, selection);
  if (entries.empty()) throw Exception("no entries to print in " + file);
  TPostPrintJob job;
  job.Style = style;
  job.Persons.assign(entries.begin(), entries.end());
  job.Range = PostPrintRange(from, to, static_cast<int32_t>(entries.size()), style->PagesPerSheet());
  if (job.Range.Empty())
    throw Exception("no entries to print: the selection holds " + std::to_string(entries.size()) + " entries");
  job.Title = style->Name();
  job.Guides = guides;
  job.Preview = preview;

  // The sender: the N-th of the settings, by default the one the style names.
  TPersonList senders;
  senders.AutoSort = false;
  senders.RecordUndo = false;
  {
    auto store = TSettingsStore::OpenRegistry(kAppKey);
    senders.SetCommaText(store->ReadString("Option", "SenderPersons", std::string()));
  }
  int32_t senderNo = style->Post().SenderNo;
  if (hasSender) {
    if (!IsNumber(senderArg) || std::atoi(senderArg.c_str()) < 1)
      throw Exception("--sender takes a sender number from 1, not '" + Utf8ToSjis(senderArg, TConvMode::Replace) + "'");
    senderNo = std::atoi(senderArg.c_str());
    if (senderNo > senders.Count())
      throw Exception("no sender " + std::to_string(senderNo) + ": the settings hold " +
                      std::to_string(senders.Count()) + " senders");
  }
  if (senderNo >= 1 && senderNo <= senders.Count()) job.Sender = senders.Persons(senderNo - 1);

  std::unique_ptr<QGuiApplication> app = StartQt();
  // Written beside the result and renamed when complete.
  const std::string partFile = outFile + ".part";
  auto backend = std::make_unique<TPdfPrinterBackend>();
  backend->SetOutputFileName(partFile);
  SheetPrinter().SetBackend(std::move(backend));
  int32_t sheets = 0;
  try {
    sheets = PrintPostcards(job);
    if (!fs::exists(OsPath(partFile))) throw Exception("the PDF printer wrote nothing to " + partFile);
    fs::rename(OsPath(partFile), OsPath(outFile));
  } catch (...) {
    std::error_code ec;
    fs::remove(OsPath(partFile), ec);
    throw;
  }
  PrintLine(std::to_string(job.Range.LastPage - job.Range.FirstPage + 1) + " entries on " + std::to_string(sheets) +
            " sheets (" + style->Name() + ") written to " + outFile);
  return 0;
}

TCommandRegistrar reg({"print postcards",
                       "print postcards BOOK.kad -o OUT.pdf [--style S] [--sender N] [--entries A-B] [--guides]",
                       "address prints of a book (postcards, envelopes, labels) as PDF", Run});

}  // namespace
}  // namespace kaede::cli
