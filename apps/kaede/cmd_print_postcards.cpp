// kaede print postcards BOOK.kad -o OUT.pdf: the address prints of a book (postcards,
// envelopes, labels) as a PDF file, one page per sheet, laid out as the window prints them.
//   --style NAME|NUMBER|FILE.kps  a style of the list (the 42 predefined ones, then the user's
//                                 styles of the settings) by name or place from 0, or a style
//                                 file; the official postcard without
//   --sender N                    the N-th sender of the settings (default: the style's)
//   --filter-row/--classify/--find/--all-fields   the entries, as kaede list takes them
//   --entries A-B                 entries A to B of those (from 1; "A-" to the end, "A" alone)
//   --guides                      print the outlines of the text rectangles (a proof)
//   --printer QUEUE [--copies N]  send the cards to a print queue instead of a file, on the
//                                 queue's medium of the card's size, fed upright
//   --preview                     print the cards as the preview shows them: with the card's
//                                 colour, its pre-printed frames and title, and the pictures
//   --barcode on|off              print the customer barcode or not, whatever the style says
//   --dict DIR                    the postal dictionary the barcode finds towns in
//   --offset X,Y                  move everything printed X mm right and Y mm down (-10 ... 10;
//                                 a PDF file takes no offset otherwise)
// Entries that go without their barcode are listed after the summary.
//   --nenga-unsent Y ...          the New Year card lists of a year, as kaede list takes them
//   --mark-sent                   once the file is written, the printed entries get 送 for the
//                                 year of the --nenga-... list (else the coming New Year) and
//                                 the book is saved
// The file is written under a temporary name beside OUT and renamed when it is complete, so
// that a failure leaves no partial file.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>

#include "BaseOptions.h"
#include "BookSelection.h"
#include "Commands.h"
#include "Cp932.h"
#include "NengaMarks.h"
#include "PdfPrints.h"
#include "PostPrints.h"
#include "PostalDatas.h"
#include "Strs.h"

namespace kaede::cli {
namespace {

const char* const kUsage =
    "kaede print postcards BOOK.kad [--style NAME|NUMBER|FILE.kps] [--sender N] "
    "[--classify NAME|--filter-row N|--find TEXT] [--nenga-unsent Y|--nenga-sent Y|...] [--entries A-B] [--guides] "
    "[--preview] [--barcode on|off] [--dict DIR] [--offset X,Y] [--mark-sent] (-o OUT.pdf | --printer QUEUE [--copies N])";

// The settings of the address book: the senders live there.
const char* const kAppKey = "KaedeAddress";

int Run(const TArgs& args) {
  TArgReader r(args);
  std::string styleArg, senderArg, entriesArg, out;
  const bool hasStyle = r.Option("--style", styleArg);
  const bool hasSender = r.Option("--sender", senderArg);
  const bool hasEntries = r.Option("--entries", entriesArg);
  const bool hasOut = r.Option("-o", out) || r.Option("--output", out);
  std::string queue, copies;
  const bool hasQueue = r.Option("--printer", queue);
  const bool hasCopies = r.Option("--copies", copies);
  const bool guides = r.Flag("--guides");
  const bool preview = r.Flag("--preview");
  std::string barcodeArg, dictArg;
  const bool hasBarcode = r.Option("--barcode", barcodeArg);
  const bool hasDict = r.Option("--dict", dictArg);
  TakeOffsetOption(r);
  if (hasBarcode && barcodeArg != "on" && barcodeArg != "off")
    throw Exception(SJ("--barcode には on か off を指定します（") + Quoted(barcodeArg) + SJ("は使えません）"));
  const bool markSent = r.Flag("--mark-sent");
  TBookSelection selection = ReadSelection(r);
  TArgs files = r.Positionals();
  if (files.size() != 1 || hasOut == hasQueue || (hasOut && out.empty()) || (hasCopies && !hasQueue))
    throw UsageError(kUsage);

  int32_t from = 0, to = 0;
  if (hasEntries) ParseRange(entriesArg, "--entries", "宛名", from, to);
  std::string file = ExistingBook(files[0]);
  std::unique_ptr<QGuiApplication> app;  // goes after the printer
  // a PDF file, or a print queue
  std::optional<TPdfOutput> output;
  std::optional<TQueueOutput> queued;
  if (hasOut) output.emplace(out);
  else queued.emplace(queue, copies);

  TPostStyle* style = TDataItem::Make<TPostStyle>();
  std::unique_ptr<TPostStyle, void (*)(TPostStyle*)> styleGuard(style, [](TPostStyle* s) { s->Free(); });
  if (hasStyle) ChoosePostStyle(styleArg, *style);
  if (hasBarcode) style->SetPost(&TPostValues::Barcode, barcodeArg == "on");
  // the dictionary asked for must be there; the usual one is read when a barcode needs it
  std::unique_ptr<TPostalData> dictionary = hasDict ? OpenDictionary(dictArg) : std::make_unique<TPostalData>();

  TPersonList book;
  book.Open(file, false);
  std::vector<TPerson*> entries = SelectEntries(book, selection);
  if (entries.empty()) throw Exception(file + SJ(" に印刷する宛名がありません"));
  TPostPrintJob job;
  job.Style = style;
  job.Persons.assign(entries.begin(), entries.end());
  job.Range = PostPrintRange(from, to, static_cast<int32_t>(entries.size()), style->PagesPerSheet());
  if (job.Range.Empty())
    throw Exception(SJ("印刷する宛名がありません: 選んだ宛名は") + std::to_string(entries.size()) + SJ("件で、--entries ") +
                    Quoted(entriesArg) + SJ("に当たる宛名はありません"));
  job.Title = style->Name();
  job.Guides = guides;
  job.Preview = preview;
  job.Dictionary = dictionary.get();

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
      throw Exception(SJ("--sender には 1 から数えた差出人の番号を指定します（") + Quoted(senderArg) + SJ("は使えません）"));
    senderNo = std::atoi(senderArg.c_str());
    if (senderNo > senders.Count())
      throw Exception(SJ("差出人 ") + std::to_string(senderNo) + SJ(" はありません: 設定の差出人は") +
                      std::to_string(senders.Count()) + SJ("人です"));
  }
  if (senderNo >= 1 && senderNo <= senders.Count()) job.Sender = senders.Persons(senderNo - 1);

  app = StartQt();
  if (output) output->InstallPrinter();
  else queued->InstallPrinter();
  std::vector<TBarcodeMissing> missing;
  const int32_t sheets = PrintPostcards(job, &missing);
  if (output) output->Finish();
  // a free-text card is one page: the command line prints it with the first entry, no text
  const int32_t printed = style->Post().Editor ? std::min(1, sheets) : job.Range.LastPage - job.Range.FirstPage + 1;
  auto count = [](int32_t n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); };
  const std::string where = output ? "written to " + output->File()
                                   : "sent to " + queued->Queue() + (queued->Copies() > 1 ? ", " + count(queued->Copies(), "copy", "copies") : "");
  PrintLine(count(printed, "entry", "entries") + " on " + count(sheets, "sheet", "sheets") + " (" + style->Name() + ") " + where);
  if (!missing.empty()) {
    PrintLine(count(static_cast<int32_t>(missing.size()), "entry", "entries") + " without the barcode:");
    for (const TBarcodeMissing& m : missing) {
      const TPerson* p = job.Persons[static_cast<size_t>(m.Entry)];
      PrintLine("  " + std::to_string(m.Entry + 1) + " " + p->PrintName() + ": " + BarcodeFailureText(m.Why));
    }
  }
  if (markSent && !style->Post().Editor) {
    const int year = selection.Nenga ? selection.NengaYear : DefaultCardYear(Today());
    std::vector<TPerson*> done(entries.begin() + job.Range.FirstPage, entries.begin() + job.Range.LastPage + 1);
    const int changed = MarkNengaEntries(book, done, year, nmSent, true);
    if (changed) book.SaveToFile("");
    PrintLine(count(changed, "entry", "entries") + SJ(" marked 送 for ") + std::to_string(year));
  }
  return 0;
}

TCommandRegistrar reg({"print postcards",
                       "print postcards BOOK.kad (-o OUT.pdf | --printer QUEUE [--copies N]) [--style S] [--sender N] "
                       "[--entries A-B] [--guides] [--barcode on|off] [--dict DIR] [--offset X,Y]",
                       "address prints of a book (postcards, envelopes, labels) as PDF", Run});

}  // namespace
}  // namespace kaede::cli
