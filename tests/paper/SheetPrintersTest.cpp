#include <gtest/gtest.h>

#include "FakePrinters.h"
#include "SheetPrinters.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

// A printer wrapper over a fake backend with the given printers; `backend` stays usable.
struct TRig {
  TFakePrinterBackend* Backend;
  TSheetPrinter Printer;
  explicit TRig(std::vector<TFakePrinter> devices, int current = 0) : Backend(new TFakePrinterBackend()) {
    Backend->Devices = std::move(devices);
    Backend->Current = current;
    Printer.SetBackend(std::unique_ptr<TPrinterBackend>(Backend));
  }
};

TFakePrinter Hidden(const std::string& name) {
  TFakePrinter p = TFakePrinter::Standard(name);
  p.Attributes = kPrinterAttributeHidden;
  return p;
}

template <class E, class F>
void ExpectRaises(F f, const std::string& message) {
  try {
    f();
    ADD_FAILURE() << "no exception, expected: " << message;
  } catch (const E& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

}  // namespace

TEST(SheetPrinter, HiddenPrintersDoNotCount) {
  TRig none({});
  EXPECT_FALSE(none.Printer.HasPrinter());
  TRig hidden({Hidden("fax")});
  EXPECT_FALSE(hidden.Printer.HasPrinter());
  ExpectRaises<ESheetPrinterNoPrinter>([&] { hidden.Printer.GetPaperSizeNumber(); },
                                       "TSheetPrinter.CheckNoPrinter: No Printer");
  // the index counts only the printers that are not hidden
  TRig mixed({Hidden("fax"), TFakePrinter::Standard("a"), Hidden("b"), TFakePrinter::Standard("c")}, 3);
  EXPECT_EQ(mixed.Printer.GetIndex(), 1);
  mixed.Backend->Current = 2;
  ExpectRaises<ESheetPrinterIllegalIndex>([&] { mixed.Printer.GetIndex(); },
                                          "TSheetPrinter.GetIndex: Printers.PrinterIndex is Illegal");
  mixed.Backend->Current = -1;
  EXPECT_EQ(mixed.Printer.GetIndex(), -1);
}

TEST(SheetPrinter, PaperListAndItsErrors) {
  TFakePrinter p = TFakePrinter::Standard();
  p.Papers.push_back({256, std::string(80, 'x'), {0, 0}});
  TRig rig({p});
  TSheetPrinter& s = rig.Printer;
  ASSERT_EQ(s.GetNumPaperSizes(), 3);
  EXPECT_EQ(s.GetPaperNumbers(1), kPaperPostcard);
  EXPECT_EQ(s.GetPaperSizeNames()[2].size(), 64u);  // names are cut
  EXPECT_TRUE(s.HasPaperNumber(43));
  EXPECT_FALSE(s.HasPaperNumber(8));
  EXPECT_EQ(s.GetPaperSizeIndex(), 0);
  for (int bad : {-1, 3})
    ExpectRaises<ESHEETPrinterRangeError>([&] { s.GetPaperNumbers(bad); },
                                          "TSheetPrinter.GetPaperNumbers: Index is our of range");
  s.SetPaperSizeNumber(kPaperA3);
  ExpectRaises<ESHEETPrinterPaperSizeError>([&] { s.GetPaperSizeIndex(); },
                                            "TSheetPrinter.GetPaperSizeIndex: Cannot Get Paper Index");
  // a printer that cannot give its papers, and one that takes no paper setting
  TFakePrinter failing = TFakePrinter::Standard();
  failing.FailPapers = true;
  TFakePrinter fixed = TFakePrinter::Standard();
  fixed.Supported = psOrientation;
  TRig other({failing, fixed});
  ExpectRaises<ESheetPrinterNoInfo>([&] { other.Printer.GetNumPaperSizes(); },
                                    "TSheetPrinter.GetNumPaperSizes: No Papersize Info Available");
  EXPECT_EQ(other.Printer.GetPaperSizeNumber(), kPaperA4);  // the settings are still there
  other.Backend->Current = 1;  // the capabilities follow the current printer
  ExpectRaises<ESheetPrinterNotSupported>([&] { other.Printer.SetPaperSizeNumber(43); },
                                          "TSheetPrinter.SetPaperSizeNumber: PaperSize is not Supported");
  EXPECT_EQ(other.Printer.Scale(), 100);
}

TEST(SheetPrinter, PendingSettingsAreCommittedOnlyWhenChanged) {
  TRig rig({TFakePrinter::Standard()});
  TSheetPrinter& s = rig.Printer;
  s.SetPaperSizeNumber(kPaperA4);  // the same again
  s.SetOrientation(false);
  EXPECT_FALSE(s.SettingsModified());
  s.ApplySettings();
  EXPECT_EQ(rig.Backend->Commits, 0);

  s.SetPaperExtent(1000, 1480);
  EXPECT_EQ(s.GetUserPaperExtent(), (TPoint{1000, 1480}));
  s.SetPaperSizeNumber(kPaperA4);
  ExpectRaises<ESheetPrinterNoUserPaperExtent>([&] { s.GetUserPaperExtent(); },
                                               "TSheetPrinter.GetUserpaperExtent: Cannot Get User paper Extent");
  s.SetPaperExtent(1000, 1480);
  s.SetOrientation(true);
  // nothing reaches the printer before the settings are applied
  EXPECT_EQ(s.PaperSizeDots(), (TPoint{4961, 7016}));
  s.ApplySettings();
  EXPECT_EQ(rig.Backend->Commits, 1);
  EXPECT_FALSE(s.SettingsModified());
  EXPECT_EQ(s.PaperSizeDots(), (TPoint{3496, 2362}));
  EXPECT_TRUE(s.GetOrientation());
  EXPECT_EQ(s.GetPaperSizeNumber(), kPaperUser);
}

TEST(SheetPrinter, SettingsOfOnePrinterNeverReachAnother) {
  TRig rig({TFakePrinter::Standard("a"), TFakePrinter::Standard("b")});
  rig.Printer.SetOrientation(true);
  rig.Backend->Current = 1;
  rig.Printer.ApplySettings();
  EXPECT_EQ(rig.Backend->Commits, 0);
  EXPECT_FALSE(rig.Printer.GetOrientation());
  EXPECT_FALSE(rig.Backend->Devices[0].Settings.Landscape);
}

TEST(SheetPrinter, PaperSizeInTenthsOfAMillimetre) {
  TFakePrinter p = TFakePrinter::Standard();
  p.Settings.Scale = 50;
  TRig rig({p});
  EXPECT_EQ(rig.Printer.PixelsPerInch(), (TPoint{600, 600}));
  EXPECT_EQ(rig.Printer.PaperSizeDots(), (TPoint{4961, 7016}));
  EXPECT_EQ(rig.Printer.PaperSizeTenthMm(), (TPoint{1050, 1485}));
  rig.Backend->Devices[0].Settings.Scale = 100;
  rig.Printer.DiscardSettings();
  EXPECT_EQ(rig.Printer.PaperSizeTenthMm(), (TPoint{2100, 2970}));
}

TEST(SheetPrinter, PrinterListChanges) {
  TRig rig({TFakePrinter::Standard("a")});
  rig.Backend->PortNames = {"LPT1:", "USB001", "LPT1:"};
  EXPECT_EQ(rig.Printer.Ports(), (TStrings{"LPT1:", "USB001"}));
  rig.Printer.SetOrientation(true);
  rig.Printer.PrintersChanged();  // the same printers: the settings stay
  EXPECT_TRUE(rig.Printer.SettingsModified());
  EXPECT_EQ(rig.Backend->Resets, 0);
  rig.Backend->Devices.push_back(TFakePrinter::Standard("new"));
  rig.Printer.PrintersChanged();
  EXPECT_FALSE(rig.Printer.SettingsModified());
  EXPECT_EQ(rig.Backend->Resets, 1);
}

TEST(SheetPrinter, PrintJobsCountTheirPages) {
  TRig rig({TFakePrinter::Standard()});
  TSheetPrinter& s = rig.Printer;
  EXPECT_EQ(s.Canvas(), nullptr);
  s.BeginDoc("cards");
  ASSERT_NE(s.Canvas(), nullptr);
  s.NewPage();
  s.NewPage();
  s.EndDoc();
  EXPECT_EQ(rig.Backend->Pages, 3);
  EXPECT_EQ(rig.Backend->Titles, (TStrings{"cards"}));
  rig.Backend->FailNewPageAfter = 1;
  s.BeginDoc("fails");
  EXPECT_THROW(s.NewPage(), ESheetPrinter);
  s.EndDoc();
  EXPECT_EQ(rig.Backend->Documents, 2);
  TSheetPrinter nothing;
  EXPECT_THROW(nothing.BeginDoc("x"), ESheetPrinterNoPrinter);
}

TEST(PageMetrics, WithoutPrinterA4At360Dpi) {
  TPageMetrics m;
  ResetPageMetrics(true, m);
  EXPECT_EQ(m.PaperDots, (TPoint{4209, 2976}));
  EXPECT_EQ(m.PrintableDots, m.PaperDots);
  EXPECT_EQ(m.PageDpi, 360);
  EXPECT_EQ(m.PaperScreen, (TPoint{1122, 794}));
  TSheetPrinter none;
  ReadPrinterMetrics(none, m);
  ReadPaperMetrics(false, 0, 0, none, m);
  EXPECT_EQ(m.PageDpi, 360);
  EXPECT_EQ(m.PaperDots, (TPoint{4209, 2976}));
}

TEST(PageMetrics, FromThePrinter) {
  TFakePrinter p = TFakePrinter::Standard();
  p.MarginLeft = 100;
  p.MarginTop = 120;
  p.MarginRight = 80;
  p.MarginBottom = 140;
  TRig rig({p});
  TPageMetrics m;
  SetScreenDpiSource([] { return 120; });
  ReadPrinterMetrics(rig.Printer, m);
  SetScreenDpiSource(nullptr);
  EXPECT_EQ(m.PageDpi, 600);
  EXPECT_EQ(m.ScreenDpi, 120);
  EXPECT_DOUBLE_EQ(m.ScreenPerPage, 0.2);
  ReadPaperMetrics(false, 0, 0, rig.Printer, m);
  EXPECT_EQ(m.PaperDots, (TPoint{4961, 7016}));
  EXPECT_EQ(m.PrintableDots, (TPoint{4961 - 180, 7016 - 260}));
  EXPECT_EQ(m.OffsetDots, (TPoint{100, 120}));
  EXPECT_EQ(m.PaperScreen, (TPoint{992, 1403}));
  ReadPaperMetrics(true, 100, 148, rig.Printer, m);
  EXPECT_EQ(m.PaperDots, (TPoint{2362, 3496}));
}

TEST(PageMetrics, ConversionsRoundHalvesToEven) {
  TPageMetrics m;
  m.ScreenDpi = 96;
  m.PageDpi = 254;
  EXPECT_EQ(MmToDots(25.4, m), 254);
  EXPECT_EQ(MmToDots(0.3, m), 3);
  EXPECT_EQ(MmToScreen(25.4, m), 96);
  EXPECT_EQ(ScreenToMm(96, m), 25.4);
  EXPECT_EQ(ScreenToMm(1, m), 0.26);
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-3.5), -4);
  EXPECT_EQ(RoundHundredths(0.125), 0.12);
}

// A queue's border takes content on the edge it lies on: an upright card meets the margins as
// they are; a landscape card is fed turned a quarter clockwise, so its left edge meets the
// medium's top and its top the medium's right; content past the medium's far edge is lost.
TEST(MediumClipLoss, EachEdgeOfThePageMeetsTheMarginItLandsOn) {
  TPaperEntry card(kPaperUser, SJ("はがき"));
  card.TenthMm = {1000, 1480};
  card.MarginLeft = 1;
  card.MarginTop = 2;
  card.MarginRight = 3;
  card.MarginBottom = 4;
  TClipLoss upright = MediumClipLoss(card, 100, 148, {0.5, 0.5, 99.5, 147.5});
  EXPECT_DOUBLE_EQ(upright.Left, 0.5);
  EXPECT_DOUBLE_EQ(upright.Top, 1.5);
  EXPECT_DOUBLE_EQ(upright.Right, 2.5);
  EXPECT_DOUBLE_EQ(upright.Bottom, 3.5);
  EXPECT_FALSE(MediumClipLoss(card, 100, 148, {1, 2, 97, 144}).Any());
  TClipLoss turned = MediumClipLoss(card, 148, 100, {0, 0, 148, 100});
  EXPECT_DOUBLE_EQ(turned.Left, 2);    // the medium's top
  EXPECT_DOUBLE_EQ(turned.Top, 3);     // its right
  EXPECT_DOUBLE_EQ(turned.Right, 4);   // its bottom
  EXPECT_DOUBLE_EQ(turned.Bottom, 1);  // its left
  // a card on A4 loses nothing on the edges it does not reach; A4 content on a card does
  TPaperEntry a4(kPaperA4, "A4");
  a4.TenthMm = {2100, 2970};
  a4.MarginLeft = a4.MarginTop = a4.MarginRight = a4.MarginBottom = 3;
  TClipLoss small = MediumClipLoss(a4, 100, 148, {10, 2, 90, 140});
  EXPECT_EQ(small.Top, 1);
  EXPECT_EQ(small.Left + small.Right + small.Bottom, 0);
  TClipLoss big = MediumClipLoss(card, 210, 297, {10, 10, 200, 287});
  EXPECT_EQ(big.Left + big.Top, 0);
  EXPECT_DOUBLE_EQ(big.Right, 103);
  EXPECT_DOUBLE_EQ(big.Bottom, 143);
  small.Printer = "q";
  small.Medium = "A4";
  EXPECT_EQ(small.Text(), SJ("プリンタ「q」の用紙「A4」には印刷できない余白があり、内容の上端が1mm欠けます。"));
}
