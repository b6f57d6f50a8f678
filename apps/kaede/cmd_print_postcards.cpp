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
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "BaseOptions.h"
#include "BookSelection.h"
#include "Commands.h"
#include "PdfPrints.h"
#include "PostPrints.h"
#include "Strs.h"

namespace kaede::cli {
namespace {

const char* const kUsage =
    "usage: kaede print postcards BOOK.kad [--style NAME|NUMBER|FILE.kps] [--sender N] "
    "[--classify NAME|--filter-row N|--find TEXT] [--entries A-B] [--guides] [--preview] -o OUT.pdf";

// The settings of the address book: the senders live there.
const char* const kAppKey = "KaedeAddress";

// The style: a .kps file, a place in the list, or a name of the list.
void ChooseStyle(const std::string& arg, TPostStyle& style) {
  if (arg.size() > 4 && (arg.substr(arg.size() - 4) == ".kps" || arg.substr(arg.size() - 4) == ".KPS")) {
    std::string file = ArgToSjis(arg, "the style file");
    if (!FileExists(file) || !style.LoadStyleFile(file, "Style"))
      throw Exception("cannot read the postcard style file " + file);
    style.EnsurePreset();
    return;
  }
  TPostStyleList list;
  TBaseStyle* found = ListedStyle(list, arg);
  if (!found)
    throw Exception("no postcard style '" + Utf8ToSjis(arg, TConvMode::Replace) + "': give a name or a number from 0 to " +
                    std::to_string(list.Count() - 1) + " of the style list, or a .kps file");
  style.Assign(found);
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
  if (hasEntries) ParseRange(entriesArg, "--entries", "entry", from, to);
  std::string file = ArgToSjis(files[0], "the book name");
  if (!FileExists(file)) throw Exception("no such book: " + file);
  std::unique_ptr<QGuiApplication> app;  // goes after the printer
  TPdfOutput output(out);

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

  app = StartQt();
  output.InstallPrinter();
  const int32_t sheets = PrintPostcards(job);
  output.Finish();
  // a free-text card is one page: the command line prints it with the first entry, no text
  const int32_t printed = style->Post().Editor ? std::min(1, sheets) : job.Range.LastPage - job.Range.FirstPage + 1;
  auto count = [](int32_t n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); };
  PrintLine(count(printed, "entry", "entries") + " on " + count(sheets, "sheet", "sheets") + " (" + style->Name() +
            ") written to " + output.File());
  return 0;
}

TCommandRegistrar reg({"print postcards",
                       "print postcards BOOK.kad -o OUT.pdf [--style S] [--sender N] [--entries A-B] [--guides]",
                       "address prints of a book (postcards, envelopes, labels) as PDF", Run});

}  // namespace
}  // namespace kaede::cli
