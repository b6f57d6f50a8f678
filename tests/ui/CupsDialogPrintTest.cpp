// The print dialog's path to a real CUPS server: the printer object the dialog shows is preset
// as the window presets it, changed as a user changes it, and read back and printed by the
// code that runs once 印刷 is pressed. The server's job attributes and the document it
// received are compared with what the user chose.
#include <gtest/gtest.h>

#include <QPageRanges>
#include <QPageSize>
#include <QPrinter>

#include "CupsServer.h"
#include "PrintAreas.h"
#include "PrintPreviews.h"
#include "QtCanvas.h"
#include "QtPrinters.h"
#include "TestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

std::string SampleBook() { return std::string(KAEDE_BINARY_DIR) + "/bin/住所録.kad"; }

// What the user leaves in the dialog, read back as the dialog's caller reads it.
TPrintChoice DialogChoice(const TPrintRange& range, const std::string& queue, const QString& pages, int copies,
                          const QPageSize* properties = nullptr) {
  TPrintChoice choice;
  choice.PrinterName = queue;
  choice.PaperWidthMm = 100;
  choice.PaperHeightMm = 148;
  QPrinter printer(QPrinter::HighResolution);
  PresetDialogPrinter(printer, range, choice);
  EXPECT_EQ(printer.printerName().toStdString(), queue) << "the dialog does not see the test's server";
  printer.setCopyCount(copies);
  printer.setPrintRange(QPrinter::PageRange);
  printer.setPageRanges(QPageRanges::fromString(pages));
  if (properties) printer.setPageSize(*properties);  // the properties page
  ReadDialogChoice(printer, true, choice);
  return choice;
}

}  // namespace

// Two copies of cards 1 and 3 on the queue's own postcard medium; A4 chosen on the properties
// page is the medium the job asks for, with the card at its own size; content that the
// queue's 3 mm border would cut off is said before anything is sent, and stopping there sends
// nothing; the PDF queue has no border and never asks.
TEST_F(CupsServer, TheDialogsChoicesReachTheQueue) {
  TQtPaperSetup paper;
  if (SheetPrinter().QueueNames().size() < 2) GTEST_SKIP() << "the simulated printer did not start";
  TPersonList book;
  book.LoadFromFile(Utf8ToSjis(SampleBook()), false);
  ASSERT_GE(book.Count(), 3);
  TPostStyleList posts;
  posts.Reset();
  auto cards = MakePostControl();
  cards->AssignStyle(posts.Style(0));
  cards->View().SetBounds(400, 600);
  SetPostBook(*cards, &book);
  const TPrintRange range = PostcardPrintRange(static_cast<TPostStyle&>(cards->Style()), cards->View().SheetCount(), book.Count(), -1);
  std::vector<TClipLoss> asked;
  bool goOn = true;
  auto confirm = [&](const TClipLoss& loss) {
    asked.push_back(loss);
    return goOn;
  };

  TPrintChoice choice = DialogChoice(range, "kaede-ipp", "1,3", 2);
  EXPECT_EQ(choice.Ranges, (std::vector<std::pair<int32_t, int32_t>>{{1, 1}, {3, 3}}));
  EXPECT_EQ(choice.Job.Copies, 2);
  EXPECT_EQ(PrintChosenRange(cards->View(), "dialog", range, choice, confirm), 2);
  int job = FinishedJob("kaede-ipp");
  ASSERT_GT(job, 0);
  EXPECT_EQ(JobAttribute("kaede-ipp", job, "copies"), "2");
  EXPECT_EQ(JobAttribute("kaede-ipp", job, "media"), "jpn_hagaki_100x148mm");
  EXPECT_EQ(JobAttribute("kaede-ipp", job, "job-media-sheets-completed"), "4");
  std::string info = Received(job);
  EXPECT_EQ(Pages(info), "2");
  EXPECT_EQ(PageSize(info), "100 x 148") << info;
  EXPECT_TRUE(asked.empty()) << U8(asked[0].Text());  // the official card keeps clear of the border

  // the postal code boxes moved up to 1 mm from the top: the border takes the top of them
  auto& style = static_cast<TPostStyle&>(cards->Style());
  TMmRect big = style.Post().AtenaPostCodeBigFrameLayout, small = style.Post().AtenaPostCodeSmallFrameLayout;
  small.Top -= big.Top - 1;
  big.Top = 1;
  style.SetPost(&TPostValues::AtenaPostCodeBigFrameLayout, big);
  style.SetPost(&TPostValues::AtenaPostCodeSmallFrameLayout, small);
  const QPageSize a4(QPageSize::A4);
  choice = DialogChoice(range, "kaede-ipp", "1", 1, &a4);
  EXPECT_NEAR(choice.Job.MediumWidthMm, 210, 0.5);
  EXPECT_NEAR(choice.Job.MediumHeightMm, 297, 0.5);
  const std::string before = Shell("lpstat -W all -o");
  goOn = false;
  EXPECT_THROW(PrintChosenRange(cards->View(), "dialog", range, choice, confirm), EPrintStopped);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].Printer, "kaede-ipp");
  EXPECT_GT(asked[0].Top, 0);
  EXPECT_LE(asked[0].Top, 2);
  EXPECT_EQ(asked[0].Left + asked[0].Right + asked[0].Bottom, 0);
  EXPECT_NE(asked[0].Text().find(SJ("上端が")), std::string::npos) << U8(asked[0].Text());
  EXPECT_EQ(Shell("lpstat -W all -o"), before);  // nothing was sent
  goOn = true;
  EXPECT_EQ(PrintChosenRange(cards->View(), "dialog", range, choice, confirm), 1);
  EXPECT_EQ(asked.size(), 2u);
  job = FinishedJob("kaede-ipp");
  ASSERT_GT(job, 0);
  EXPECT_EQ(JobAttribute("kaede-ipp", job, "media"), "iso_a4_210x297mm");
  EXPECT_EQ(PageSize(Received(job)), "210 x 297");

  // the PDF queue declares no border: the same card goes without a question
  asked.clear();
  choice = DialogChoice(range, "kaede-pdf", "1", 1);
  EXPECT_EQ(PrintChosenRange(cards->View(), "dialog", range, choice, confirm), 1);
  EXPECT_TRUE(asked.empty());
  job = FinishedJob("kaede-pdf");
  ASSERT_GT(job, 0);
  EXPECT_EQ(PageSize(Received(job)), "100 x 148");
}
