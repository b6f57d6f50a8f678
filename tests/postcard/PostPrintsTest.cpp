// Printing address prints through a scripted printer: ranges of entries become sheets, each
// entry lands on its own page of the sheet, and a failed job is always ended.
#include <gtest/gtest.h>

#include "FakePrinters.h"
#include "PersonLists.h"
#include "PostPrints.h"
#include "TestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

struct TPrintFixture {
  TFakePrinterBackend* Backend = nullptr;
  TSheetPrinter Printer;
  TPersonList Book;
  std::vector<const TPerson*> Persons;
  TPostStyle* Style = TDataItem::Make<TPostStyle>();
  explicit TPrintFixture(int preset, int entries) {
    auto backend = std::make_unique<TFakePrinterBackend>();
    backend->Devices = {TFakePrinter::Standard()};
    Backend = backend.get();
    Printer.SetBackend(std::move(backend));
    if (preset > 0) {
      Style->SetDefaultIndex(preset);
      Style->EnsurePreset();
    }
    for (int i = 1; i <= entries; ++i) {
      std::string line = "名前" + std::to_string(i) + ",なまえ,,,,1234567,東京都千代田区" + std::to_string(i);
      Persons.push_back(static_cast<TPerson*>(Book.AddText(Utf8ToSjis(line))));
    }
  }
  ~TPrintFixture() { Style->Free(); }
  TPostPrintJob Job(int32_t from, int32_t to) {
    TPostPrintJob job;
    job.Style = Style;
    job.Persons = Persons;
    job.Range = PostPrintRange(from, to, static_cast<int32_t>(Persons.size()), Style->PagesPerSheet());
    job.Title = "cards";
    return job;
  }
  // The names printed, with the position of each.
  std::vector<const TCanvasOp*> Names() const {
    std::vector<const TCanvasOp*> r;
    for (const TCanvasOp* t : Backend->LastRecording->Texts())
      if (t->Text.rfind(SJ("名前"), 0) == 0) r.push_back(t);
    return r;
  }
};

}  // namespace

TEST(PostPrint, EntryRangesBecomeSheets) {
  // entries 5-5 on twelve labels a sheet: the first sheet, holding entry 5 alone
  TPostPrintRange r = PostPrintRange(5, 5, 20, 12);
  EXPECT_EQ(r.FirstPage, 4);
  EXPECT_EQ(r.LastPage, 4);
  EXPECT_EQ(r.FirstSheet, 0);
  EXPECT_EQ(r.Sheets(), 1);
  r = PostPrintRange(0, 0, 20, 12);  // everything
  EXPECT_EQ(r.LastPage, 19);
  EXPECT_EQ(r.Sheets(), 2);
  r = PostPrintRange(11, 99, 20, 12);  // the end is clamped
  EXPECT_EQ(r.FirstSheet, 0);
  EXPECT_EQ(r.LastSheet, 1);
  EXPECT_EQ(r.LastPage, 19);
  EXPECT_TRUE(PostPrintRange(21, 0, 20, 12).Empty());
  EXPECT_TRUE(PostPrintRange(3, 2, 20, 1).Empty());
  EXPECT_TRUE(PostPrintRange(0, 0, 0, 1).Empty());
  EXPECT_EQ(PostPrintRange(3, 3, 5, 0).FirstSheet, 2);  // a broken division counts as one page
}

TEST(PostPrint, PagesOfADividedSheet) {
  TBaseStyleValues b;
  b.PaperLevelDivide = 2;
  b.PaperVerticalDivide = 6;
  b.PaperMarginLeft = b.PaperMarginRight = 19.3;
  b.PaperMarginTop = b.PaperMarginBottom = 21.5;
  const TPoint a4{4961, 7016};
  const TRect first = PostPageRect(b, a4, 600, 0);
  EXPECT_EQ(first.Left, RoundHalfEven(19.3 * 600 / 25.4));
  EXPECT_EQ(first.Top, RoundHalfEven(21.5 * 600 / 25.4));
  EXPECT_NEAR((first.Right - first.Left) * 25.4 / 600, 85.7, 0.05);
  EXPECT_NEAR((first.Bottom - first.Top) * 25.4 / 600, 42.33, 0.05);
  // the last column and row reach the margins; page 12 is page 0 of the next sheet
  const TRect last = PostPageRect(b, a4, 600, 11);
  EXPECT_EQ(last.Right, a4.X - first.Left);
  EXPECT_EQ(last.Bottom, a4.Y - first.Top);
  EXPECT_EQ(PostPageRect(b, a4, 600, 12), first);
  b.PaperTileHReverse = true;
  EXPECT_EQ(PostPageRect(b, a4, 600, 0).Right, last.Right);
}

TEST(PostPrint, OneEntryOfALabelSheetPrintsInItsPlace) {
  TPrintFixture f(39, 20);  // 2 x 6 labels on A4
  EXPECT_EQ(PrintPostcards(f.Printer, f.Job(5, 5)), 1);
  EXPECT_EQ(f.Backend->Documents, 1);
  EXPECT_EQ(f.Backend->Pages, 1);
  auto names = f.Names();
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(U8(names[0]->Text), "名前5様");
  // label 5 is the first of the third row
  const TRect page = PostPageRect(f.Style->Base(), {4961, 7016}, 600, 4);
  EXPECT_GE(names[0]->X, page.Left);
  EXPECT_LT(names[0]->X, page.Left + (page.Right - page.Left) / 2);
  EXPECT_GE(names[0]->Y, page.Top);
  EXPECT_LT(names[0]->Y, page.Bottom);
  EXPECT_EQ(names[0]->Clip, page);  // clipped to its label
  EXPECT_EQ(f.Backend->Devices[0].Settings.PaperNumber, kPaperA4);
}

TEST(PostPrint, ABookOfCardsPrintsASheetAnEntry) {
  TPrintFixture f(0, 3);
  EXPECT_EQ(PrintPostcards(f.Printer, f.Job(0, 0)), 3);
  EXPECT_EQ(f.Backend->Pages, 3);
  const TPrinterSettings& s = f.Backend->Devices[0].Settings;
  EXPECT_EQ(s.PaperNumber, kPaperUser);
  EXPECT_EQ(s.PaperWidth, 1000);
  EXPECT_EQ(s.PaperLength, 1480);
  std::vector<std::string> order;
  for (const TCanvasOp& op : f.Backend->LastRecording->Ops) {
    if (op.Kind == TCanvasOp::opNewPage) order.push_back("|");
    if (op.Kind == TCanvasOp::opText && op.Text.rfind(SJ("名前"), 0) == 0) order.push_back(U8(op.Text));
  }
  EXPECT_EQ(order, (std::vector<std::string>{"名前1様", "|", "名前2様", "|", "名前3様"}));
  // nothing pre-printed reaches the paper: no frames, no title
  for (const TCanvasOp& op : f.Backend->LastRecording->Ops) EXPECT_NE(op.Kind, TCanvasOp::opPolyline);
}

TEST(PostPrint, AFailedJobIsEndedAndTheStyleStaysAsItWas) {
  TPrintFixture f(0, 3);
  f.Backend->FailNewPageAfter = 1;
  const std::string before = f.Style->GetText();
  EXPECT_THROW(PrintPostcards(f.Printer, f.Job(0, 0)), Exception);
  EXPECT_FALSE(f.Backend->InDocument());
  EXPECT_EQ(f.Style->GetText(), before);
  // nothing to print begins no job
  f.Backend->FailNewPageAfter = -1;
  int documents = f.Backend->Documents;
  EXPECT_EQ(PrintPostcards(f.Printer, f.Job(9, 9)), 0);
  EXPECT_EQ(f.Backend->Documents, documents);
}

TEST(PostPrint, AProofPrintsTheGuides) {
  TPrintFixture f(0, 1);
  TPostPrintJob job = f.Job(0, 0);
  job.Guides = true;
  PrintPostcards(f.Printer, job);
  int guides = 0;
  for (const TCanvasOp& op : f.Backend->LastRecording->Ops)
    if (op.Kind == TCanvasOp::opPolyline && op.Pen.Color == RgbColor(0xAADECC)) ++guides;
  EXPECT_EQ(guides, 1);
}
