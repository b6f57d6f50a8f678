// Printing to real print queues: a CUPS server of the test's own (tests/paper/cups), with a
// PDF-writing queue and a simulated driverless printer, reached through CUPS_SERVER. What the
// server received (job attributes, the document) is compared with what was asked.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "CliRun.h"
#include "CupsServer.h"
#include "PostStyles.h"
#include "TestUtil.h"

using namespace kaede;
using namespace kaede::test;


// Cards go to a queue on its own medium of their size, as many copies as asked, upright; a
// round-trip card comes upright on every queue; a queue added while nothing runs is listed
// and printed to, one removed is gone and printing to it fails without going elsewhere.
TEST_F(CupsServer, CardsReachTheQueueOnTheirMediumWithTheirCopiesAndUpright) {
  KAEDE_NEEDS_SHARED_DATA();
  ConfigHome config;
  TempDir dir;
  const std::string book = SjisToUtf8(MakeBook(dir, 5));

  TRun r = Kaede({"printers"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("kaede-pdf"), std::string::npos) << r.Out;
  if (r.Out.find("kaede-ipp") == std::string::npos) GTEST_SKIP() << "the simulated printer did not start:\n" << r.Out;
  EXPECT_NE(r.Out.find("jpn_hagaki_100x148mm\tはがき 100×148mm"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("jpn_oufuku_148x200mm\t往復はがき 148×200mm"), std::string::npos) << r.Out;

  // official cards: entries 1-3, two copies, on the queue's postcard medium
  r = Kaede({"print", "postcards", book, "--entries", "1-3", "--printer", "kaede-ipp", "--copies", "2"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("sent to kaede-ipp, 2 copies"), std::string::npos) << r.Out;
  EXPECT_EQ(r.Err.find("警告"), std::string::npos) << r.Err;  // the official card keeps clear of the border
  int job = FinishedJob("kaede-ipp");
  ASSERT_GT(job, 0);
  EXPECT_EQ(JobAttribute("kaede-ipp", job, "copies"), "2");
  EXPECT_EQ(JobAttribute("kaede-ipp", job, "media"), "jpn_hagaki_100x148mm");
  EXPECT_EQ(JobAttribute("kaede-ipp", job, "orientation-requested"), "portrait");
  EXPECT_EQ(JobAttribute("kaede-ipp", job, "job-media-sheets-completed"), "6");
  std::string info = Received(job);
  EXPECT_EQ(Pages(info), "3");
  EXPECT_EQ(PageSize(info), "100 x 148") << info;

  // the round-trip card (200 x 148 on screen) goes upright, 148 x 200, on both queues
  for (const char* queue : {"kaede-ipp", "kaede-pdf"}) {
    r = Kaede({"print", "postcards", book, "--style", "10", "--entries", "1", "--printer", queue});
    ASSERT_EQ(r.Status, 0) << r.Err;
    job = FinishedJob(queue);
    ASSERT_GT(job, 0);
    // the PDF queue has no such medium: it takes the card as a custom size
    EXPECT_EQ(JobAttribute(queue, job, "media"), queue == std::string("kaede-ipp") ? "jpn_oufuku_148x200mm" : "Custom.148x200mm");
    EXPECT_EQ(PageSize(Received(job)), "148 x 200") << queue;
  }

  // a queue added meanwhile is there and takes the job; removed, it is gone, and a print to
  // it fails with nothing sent anywhere
  Shell("lpadmin -p kaede-new -E -v file:///dev/null -m raw");
  r = Kaede({"printers"});
  EXPECT_NE(r.Out.find("kaede-new"), std::string::npos) << r.Out;
  Shell("lpadmin -x kaede-new");
  r = Kaede({"printers"});
  EXPECT_EQ(r.Out.find("kaede-new"), std::string::npos) << r.Out;
  const std::string before = Shell("lpstat -W all -o");
  r = Kaede({"print", "postcards", book, "--printer", "kaede-new"});
  EXPECT_NE(r.Status, 0);
  EXPECT_NE(r.Err.find("プリンタ「kaede-new」はありません"), std::string::npos) << r.Err;
  EXPECT_EQ(Shell("lpstat -W all -o"), before);

  // moved up to 1 mm from the top, the postal code boxes lose their top to the 3 mm border:
  // the command warns and the job still goes
  TPostStyleList list;
  list.Reset();
  TPostStyle* style = list.Style(0);
  TMmRect big = style->Post().AtenaPostCodeBigFrameLayout, small = style->Post().AtenaPostCodeSmallFrameLayout;
  small.Top -= big.Top - 1;
  big.Top = 1;
  style->SetPost(&TPostValues::AtenaPostCodeBigFrameLayout, big);
  style->SetPost(&TPostValues::AtenaPostCodeSmallFrameLayout, small);
  style->SetDefaultIndex(-1);
  const std::string kps = dir.File("high.kps");
  style->SaveToFile(kps, "Style");
  const std::string styleFile = SjisToUtf8(kps);
  r = Kaede({"print", "postcards", book, "--style", styleFile, "--entries", "1", "--printer", "kaede-ipp"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Err.find("警告: プリンタ「kaede-ipp」の用紙「はがき 100×148mm」"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("上端が"), std::string::npos) << r.Err;
  EXPECT_GT(FinishedJob("kaede-ipp"), job);
  r = Kaede({"print", "postcards", book, "--style", styleFile, "--entries", "1", "--printer", "kaede-pdf"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Err.find("警告"), std::string::npos) << r.Err;
}
