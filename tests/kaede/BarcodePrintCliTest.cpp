// The customer barcode as the command line prints it: its bars measured on a 600-dpi picture
// of the PDF page, and the entries that go without it.
#include <gtest/gtest.h>

#include <algorithm>

#include "CliRun.h"
#include "CustomerBarcodes.h"
#include "PdfRender.h"
#include "PostStyles.h"
#include "PostalDatas.h"
#include "TestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

std::string S(const char* utf8) { return Utf8ToSjis(utf8); }

const char* const kAddress = "千葉市稲毛区緑町3丁目30-8　郵便ビル403号";

struct TFixture {
  TFixture() {
    TPostalLists l;
    l.Postal = {S("2630023緑町")};
    l.Ken = {RangeLine(0, S("千葉県"))};
    l.City = {RangeLine(0, S("千葉市稲毛区"))};
    SavePostalFiles(Dict, l);
    // one entry with a barcode, one without a postal code, one with a code of no town
    TPersonList book;
    auto add = [&](const char* name, const char* code, const char* address) {
      auto* p = static_cast<TPerson*>(book.AddText(""));
      p->SetName(S(name));
      p->SetPostal(code);
      TStrings lines{S(address)};
      p->SetAddress(&lines);
    };
    add("郵便 太郎", "2630023", kAddress);
    add("番号 無子", "", "千葉市稲毛区緑町1-1");
    add("辞書 無男", "9999999", "どこか1-1");
    book.SetFileName(Dir.File("barcode.kad"));
    book.SaveToFile(Dir.File("barcode.kad"));
  }
  // A user's copy of a preset with the barcode at a size and place.
  std::string Style(int preset, double points, double left, double top) {
    TPostStyleList list;
    list.Reset();
    TPostStyle* s = list.Style(preset);
    s->SetDefaultIndex(-1);
    s->SetPost(&TPostValues::Barcode, true);
    s->SetPost(&TPostValues::BarcodeSize, points);
    s->SetPost(&TPostValues::BarcodeLayout, TMmRect{left, top, 0, 0});
    std::string file = Dir.Path() + "/style" + std::to_string(preset) + "-" + std::to_string(points) + ".kps";
    s->SaveToFile(FromOsPath(file), "");
    return file;
  }
  ConfigHome Config;
  TempDir Dir;
  std::string Dict = Dir.File("dict");
  std::string Book = SjisToUtf8(Dir.File("barcode.kad"));
};

constexpr double kDpi = 600;
double ToMm(int px) { return px * 25.4 / kDpi; }
int ToPx(double mm) { return static_cast<int>(mm * kDpi / 25.4 + 0.5); }

// Measures the barcode whose bars lie at `bars` (mm on the page) at `points`: 67 bars of the
// kinds the symbols give, widths, gaps, pitch and lengths within the allowed ranges scaled
// from 10 points, and no ink in the clear zone.
void MeasureBarcode(const TGrey& g, const TMmRect& bars, double points) {
  SCOPED_TRACE(std::to_string(points) + " pt");
  const double k = points / 10;
  const int left = ToPx(bars.Left - 2), right = ToPx(bars.Right() + 2);
  const int top = ToPx(bars.Top - 2), bottom = ToPx(bars.Bottom() + 2);
  const int middle = ToPx(bars.Top + bars.Height / 2);
  // the bars as dark runs across the middle, where every bar has ink
  std::vector<std::pair<int, int>> runs;
  for (int x = left; x <= right; ++x)
    if (g.Dark(x, middle) && !g.Dark(x - 1, middle)) runs.push_back({x, x});
    else if (g.Dark(x, middle)) runs.back().second = x;
  ASSERT_EQ(runs.size(), 67u);
  TCustomerBarcode code = EncodeCustomerBarcode("2630023", "3-30-8-403");
  const auto kinds = code.Bars();
  for (size_t i = 0; i < runs.size(); ++i) {
    SCOPED_TRACE("bar " + std::to_string(i));
    const int w = runs[i].second - runs[i].first + 1;
    EXPECT_GE(ToMm(w), 0.50 * k);
    EXPECT_LE(ToMm(w), 0.70 * k);
    if (i + 1 < runs.size()) {
      EXPECT_GE(ToMm(runs[i + 1].first - runs[i].first), 0.95 * k);
      EXPECT_LE(ToMm(runs[i + 1].first - runs[i].first), 1.30 * k);
      const int gap = runs[i + 1].first - runs[i].second - 1;
      EXPECT_GE(ToMm(gap), 0.45 * k);
      EXPECT_LE(ToMm(gap), 0.60 * k);
    }
    // the bar's height at its centre column
    const int cx = (runs[i].first + runs[i].second) / 2;
    int y0 = -1, y1 = -1;
    for (int y = top; y <= bottom; ++y)
      if (g.Dark(cx, y)) {
        if (y0 < 0) y0 = y;
        y1 = y;
      }
    const double h = ToMm(y1 - y0 + 1);
    switch (kinds[i]) {
      case TBarKind::Long:
        EXPECT_GE(h, 3.40 * k);
        EXPECT_LE(h, 3.60 * k);
        break;
      case TBarKind::Timing:
        EXPECT_GE(h, 1.05 * k);
        EXPECT_LE(h, 1.35 * k);
        break;
      default:  // a half bar reaches from one end to the foot of the timing bar
        EXPECT_NEAR(h, 2.4 * k, 0.1);
        break;
    }
  }
  // the barcode is about 80 mm long at 10 points
  EXPECT_NEAR(ToMm(runs.back().second - runs.front().first + 1), 79.8 * k, 0.15);
  // nothing else in the clear zone: every dark pixel there belongs to a bar's column
  int stray = 0;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x)
      if (g.Dark(x, y)) {
        const bool inBar = std::any_of(runs.begin(), runs.end(), [&](auto& r) { return x >= r.first && x <= r.second; });
        if (!inBar || y < ToPx(bars.Top) - 1 || y > ToPx(bars.Bottom()) + 1) ++stray;
      }
  EXPECT_EQ(stray, 0);
}

}  // namespace

TEST(KaedeBarcode, TheSymbolsAndTheAddressNumberOfAnAddress) {
  TFixture f;
  TRun r = Kaede({"barcode", "263-0023", kAddress, "--dict", SjisToUtf8(f.Dict)});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "STC 2 6 3 0 0 2 3 3 - 3 0 - 8 - 4 0 3 CC4 CC4 CC4 5 SPC\n3-30-8-403\n");
  r = Kaede({"barcode", "1000001", "千代田1", "--dict", SjisToUtf8(f.Dict)});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("郵便番号が辞書にありません"), std::string::npos) << r.Err;
  r = Kaede({"barcode", "2630023", "緑町1", "--dict", f.Dir.Path() + "/none"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("郵便番号辞書"), std::string::npos) << r.Err;
}

TEST(KaedeBarcode, PrintedBarsMeasureWithinTheirRangesAtEverySize) {
  if (!HavePdfToPpm()) GTEST_SKIP() << "pdftoppm is not installed";
  TFixture f;
  const std::string out = f.Dir.Path() + "/bars.pdf";
  // the official card with the barcode switched on, at the smallest, standard and largest size
  for (double points : {8.0, 10.0, 11.5}) {
    TRun r = Kaede({"print", "postcards", f.Book, "--style", f.Style(0, points, 5, 136), "--entries", "1", "--dict",
                    SjisToUtf8(f.Dict), "-o", out});
    ASSERT_EQ(r.Status, 0) << r.Err;
    TGrey g = RenderGrey(out, 600);
    ASSERT_GT(g.W, 0);
    TPostValues v;
    v.BarcodeSize = points;
    v.BarcodeLayout = {5, 136, 0, 0};
    MeasureBarcode(g, BarcodeBounds(v), points);
  }
  // 長形３号 carries it by default where the preset puts it
  TRun r = Kaede({"print", "postcards", f.Book, "--style", "長形３号", "--entries", "1", "--dict", SjisToUtf8(f.Dict),
                  "-o", out});
  ASSERT_EQ(r.Status, 0) << r.Err;
  TPostStyleList list;
  list.Reset();
  MeasureBarcode(RenderGrey(out, 600), BarcodeBounds(list.Style(27)->Post()), list.Style(27)->Post().BarcodeSize);
}

TEST(KaedeBarcode, APrintListsTheEntriesThatWentWithoutIt) {
  TFixture f;
  const std::string out = f.Dir.Path() + "/cards.pdf";
  TRun r = Kaede({"print", "postcards", f.Book, "--style", "長形３号", "--dict", SjisToUtf8(f.Dict), "-o", out});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("3 entries on 3 sheets"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("2 entries without the barcode:\n"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("  2 番号 無子: 郵便番号がありません"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("  3 辞書 無男: 郵便番号が辞書にありません"), std::string::npos) << r.Out;
  // switched off, nothing is missing; a dictionary asked for must be there
  r = Kaede({"print", "postcards", f.Book, "--style", "長形３号", "--barcode", "off", "-o", out});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out.find("without the barcode"), std::string::npos) << r.Out;
  r = Kaede({"print", "postcards", f.Book, "--dict", f.Dir.Path() + "/none", "-o", out});
  EXPECT_EQ(r.Status, 1);
  r = Kaede({"print", "postcards", f.Book, "--barcode", "maybe", "-o", out});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("--barcode には on か off を指定します（「maybe」は使えません）"), std::string::npos) << r.Err;
}
