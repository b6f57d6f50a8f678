// Printing address prints without a window, through a scripted printer: ranges of entries
// become sheets and each entry lands on its own page of the sheet.
#include <gtest/gtest.h>

#include "PersonLists.h"
#include "PostPrints.h"
#include "PostViews.h"
#include "TestUtil.h"
#include "paper/ViewTestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

class PostPrint : public TViewTest {
protected:
  TPersonList Book;
  std::vector<const TPerson*> Persons;
  TPostStyle* Style = TDataItem::Make<TPostStyle>();
  void TearDown() override {
    Style->Free();
    TViewTest::TearDown();
  }
  void Make(int preset, int entries) {
    if (preset > 0) {
      Style->SetDefaultIndex(preset);
      Style->EnsurePreset();
    }
    for (int i = 1; i <= entries; ++i) {
      std::string line = "名前" + std::to_string(i) + ",なまえ,,,,1234567,東京都千代田区" + std::to_string(i);
      Persons.push_back(static_cast<TPerson*>(Book.AddText(Utf8ToSjis(line))));
    }
  }
  TPostPrintJob Job(int32_t from, int32_t to) {
    TPostPrintJob job;
    job.Style = Style;
    job.Persons = Persons;
    job.Range = PostPrintRange(from, to, static_cast<int32_t>(Persons.size()), Style->PagesPerSheet());
    job.Title = "cards";
    return job;
  }
  // The names printed, in order.
  static std::vector<const TCanvasOp*> Names(const TFakePrinterBackend& b) {
    std::vector<const TCanvasOp*> r;
    for (const TCanvasOp* t : b.LastRecording->Texts())
      if (t->Text.rfind(SJ("名前"), 0) == 0) r.push_back(t);
    return r;
  }
};

}  // namespace

TEST(PostPrintRange, EntryRangesBecomeSheets) {
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

TEST_F(PostPrint, OneEntryOfALabelSheetPrintsInItsPlace) {
  TFakePrinterBackend& b = InstallFakePrinter();
  Make(39, 20);  // 2 x 6 labels on A4
  EXPECT_EQ(PrintPostcards(Job(5, 5)), 1);
  EXPECT_EQ(b.Documents, 1);
  EXPECT_EQ(b.Pages, 1);
  auto names = Names(b);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(U8(names[0]->Text), "名前5様");
  // label 5 is the first of the third row of the sheet less its margins
  const double dots = 600 / 25.4;
  const double labelW = (210 - 2 * 19.3) / 2, labelH = (297 - 2 * 21.5) / 6;
  EXPECT_NEAR(names[0]->X / dots, 19.3 + 6 + 7.3, 0.2);  // a short name keeps a tenth of the line free
  EXPECT_GT(names[0]->Y / dots, 21.5 + 2 * labelH + 25);
  EXPECT_LT(names[0]->Y / dots, 21.5 + 3 * labelH);
  // clipped to its label
  EXPECT_NEAR(names[0]->Clip.Left / dots, 19.3, 0.1);
  EXPECT_NEAR((names[0]->Clip.Right - names[0]->Clip.Left) / dots, labelW, 0.1);
  EXPECT_EQ(b.Devices[0].Settings.PaperNumber, kPaperA4);
}

TEST_F(PostPrint, ABookOfCardsPrintsASheetAnEntry) {
  TFakePrinterBackend& b = InstallFakePrinter();
  Make(0, 3);
  EXPECT_EQ(PrintPostcards(Job(0, 0)), 3);
  EXPECT_EQ(b.Pages, 3);
  const TPrinterSettings& s = b.Devices[0].Settings;
  EXPECT_EQ(s.PaperNumber, kPaperUser);
  EXPECT_EQ(s.PaperWidth, 1000);
  EXPECT_EQ(s.PaperLength, 1480);
  std::vector<std::string> order;
  for (const TCanvasOp& op : b.LastRecording->Ops) {
    if (op.Kind == TCanvasOp::opNewPage) order.push_back("|");
    if (op.Kind == TCanvasOp::opText && op.Text.rfind(SJ("名前"), 0) == 0) order.push_back(U8(op.Text));
  }
  EXPECT_EQ(order, (std::vector<std::string>{"名前1様", "|", "名前2様", "|", "名前3様"}));
  // nothing pre-printed reaches the paper: no frames, no title, no paper colour
  for (const TCanvasOp& op : b.LastRecording->Ops) {
    EXPECT_NE(op.Kind, TCanvasOp::opPolyline);
    EXPECT_NE(op.Kind, TCanvasOp::opFillRect);
  }
}

TEST_F(PostPrint, ProofsPrintTheGuidesOrTheCardAsShown) {
  TFakePrinterBackend& b = InstallFakePrinter();
  Make(0, 1);
  TPostPrintJob job = Job(0, 0);
  job.Guides = true;
  PrintPostcards(job);
  int guides = 0, frames = 0;
  for (const TCanvasOp& op : b.LastRecording->Ops)
    if (op.Kind == TCanvasOp::opPolyline)
      ++(op.Pen.Color == RgbColor(0xAADECC) || op.Pen.Color == RgbColor(0xDDAACC) ? guides : frames);
  EXPECT_EQ(guides, 2);  // the address and the name
  EXPECT_EQ(frames, 0);
  job.Guides = false;
  job.Preview = true;
  PrintPostcards(job);
  int titles = 0;
  frames = 0;
  for (const TCanvasOp& op : b.LastRecording->Ops) {
    if (op.Kind == TCanvasOp::opPolyline) ++frames;
    if (op.Kind == TCanvasOp::opText && op.Text == SJ("郵便はがき")) ++titles;
  }
  EXPECT_EQ(frames, 14);
  EXPECT_EQ(titles, 1);
  EXPECT_EQ(PrintPostcards(Job(9, 9)), 0);  // nothing to print begins no job
  EXPECT_EQ(b.Documents, 2);
}
