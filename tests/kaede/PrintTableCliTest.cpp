#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "CliRun.h"
#include "Files.h"
#include "PersonColumns.h"
#include "QtCanvas.h"
#include "QtPrinters.h"
#include "Tables.h"
#include "paper/QtTestApp.h"

using namespace kaede;
using namespace kaede::test;

namespace {

bool HavePoppler() { return std::system("pdftotext -v >/dev/null 2>&1") == 0; }

// The text of a PDF page by page (pdftotext ends every page with a form feed).
std::vector<std::string> PdfPages(const std::string& pdf) {
  std::string txt = pdf + ".txt";
  std::string cmd = "pdftotext -layout '" + pdf + "' '" + txt + "' 2>/dev/null";
  if (std::system(cmd.c_str()) != 0) return {};
  std::ifstream in(txt);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> pages;
  size_t start = 0;
  for (size_t ff = all.find('\f'); ff != std::string::npos; ff = all.find('\f', start)) {
    pages.push_back(all.substr(start, ff - start));
    start = ff + 1;
  }
  return pages;
}

// The text without blanks (the PDF text keeps no blank between glyphs set apart).
std::string NoBlanks(std::string s) {
  s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
  return s;
}

bool Exists(const std::string& utf8) { return FileExists(FromOsPath(utf8)); }

// Settings of their own, so that the user's table styles do not matter.
struct TCliFixture {
  ConfigHome Config;
  TempDir Dir;
};

bool HaveBookData() { return FileExists(SharedData("fake/synthetic_addressbook_5000_cp932.csv")); }

}  // namespace

TEST(KaedePrintTable, PageBreaksOfThePdfAreThoseOfTheScreen) {
  if (!HavePoppler()) GTEST_SKIP() << "pdftotext is not installed";
  if (!HaveBookData()) GTEST_SKIP() << "the shared test data is missing";
  TCliFixture f;
  std::string book = MakeBook(f.Dir, 250);
  std::string pdf = f.Dir.Path() + "/table.pdf";
  TRun r = Kaede({"print", "table", SjisToUtf8(book), "-o", pdf});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_FALSE(Exists(pdf + ".part"));

  // The same table laid out on screen, measured for the PDF printer at three zooms.
  EnsureApp();
  InstallQtDrawing();
  SheetPrinter().SetBackend(std::make_unique<TPdfPrinterBackend>());
  TPersonList list;
  list.Open(book, false);
  TTable table;
  table.View().OnCellText = [&](int32_t col, int32_t row, int32_t& align, std::string& text) {
    text = PersonTableCellText(*list.Persons(row), table.View().ColumnNames()[static_cast<size_t>(col)], align);
  };
  TTableStyleList styles;
  styles.Reset();
  table.AssignStyle(styles.Style(0));
  table.View().SetRowCount(list.Count());
  const int32_t rpp = table.View().RowsPerPage();
  const int32_t pages = (250 + rpp - 1) / rpp;
  for (int32_t ratio : {50, 100, 200}) {
    table.View().SetRatioValue(ratio);
    EXPECT_EQ(table.View().PageCount(), pages) << ratio;
  }
  SheetPrinter().SetBackend(nullptr);
  SetSurfaceFactory(nullptr);

  std::vector<std::string> text = PdfPages(pdf);
  ASSERT_EQ(static_cast<int32_t>(text.size()), pages);
  EXPECT_NE(r.Out.find("250 entries, " + std::to_string(pages) + " of " + std::to_string(pages) + " pages"),
            std::string::npos)
      << r.Out;
  for (int32_t p = 0; p < pages; ++p) {
    // the first and last entry of every screen page open and close the printed page
    const std::string first = SjisToUtf8(list.Persons(p * rpp)->Name());
    const std::string last = SjisToUtf8(list.Persons(std::min(250, (p + 1) * rpp) - 1)->Name());
    EXPECT_NE(text[static_cast<size_t>(p)].find(first), std::string::npos) << p;
    EXPECT_NE(text[static_cast<size_t>(p)].find(last), std::string::npos) << p;
    if (p + 1 < pages) {
      const std::string next = SjisToUtf8(list.Persons((p + 1) * rpp)->Name());
      EXPECT_EQ(text[static_cast<size_t>(p)].find(next), std::string::npos) << p;
    }
    EXPECT_NE(NoBlanks(text[static_cast<size_t>(p)]).find("－" + std::to_string(p + 1) + "－"), std::string::npos);
  }
}

TEST(KaedePrintTable, StylesSelectionsAndPages) {
  if (!HavePoppler()) GTEST_SKIP() << "pdftotext is not installed";
  if (!HaveBookData()) GTEST_SKIP() << "the shared test data is missing";
  TCliFixture f;
  std::string book = SjisToUtf8(MakeBook(f.Dir, 120));
  std::string pdf = f.Dir.Path() + "/t.pdf";
  // the telephone preset by number, only page 2
  TRun r = Kaede({"print", "table", book, "--style", "1", "--pages", "2", "-o", pdf});
  ASSERT_EQ(r.Status, 0) << r.Err;
  std::vector<std::string> pages = PdfPages(pdf);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].find("FAX"), std::string::npos);
  EXPECT_NE(NoBlanks(pages[0]).find("－2－"), std::string::npos);
  // by name, the entries of one classification; a range past the end is cut to the end
  r = Kaede({"print", "table", book, "--style", "【一覧表】名前と住所", "--classify", "東京都", "--pages", "1-99", "-o", pdf});
  ASSERT_EQ(r.Status, 0) << r.Err;
  pages = PdfPages(pdf);
  ASSERT_FALSE(pages.empty());
  EXPECT_EQ(pages[0].find("大阪府"), std::string::npos);
  EXPECT_NE(pages[0].find("東京都"), std::string::npos);
}

TEST(KaedePrintTable, ErrorsLeaveNoFile) {
  if (!HaveBookData()) GTEST_SKIP() << "the shared test data is missing";
  TCliFixture f;
  std::string book = SjisToUtf8(MakeBook(f.Dir, 30));
  std::string pdf = f.Dir.Path() + "/e.pdf";
  auto failsWith = [&](std::vector<std::string> args, const std::string& message) {
    TRun r = Kaede(args);
    EXPECT_EQ(r.Status, 1) << message;
    EXPECT_NE(r.Err.find(message), std::string::npos) << r.Err;
    EXPECT_FALSE(Exists(pdf)) << message;
    EXPECT_FALSE(Exists(pdf + ".part")) << message;
  };
  failsWith({"print", "table", book, "--style", "無いスタイル", "-o", pdf}, "表のスタイル「無いスタイル」はありません");
  failsWith({"print", "table", book, "--style", "4", "-o", pdf}, "【一覧表】名前と電話番号とメール");
  failsWith({"print", "table", book, "--find", "存在しない名前", "-o", pdf}, "に印刷する宛名がありません");
  failsWith({"print", "table", book, "--pages", "3-2", "-o", pdf}, "--pages にはページの番号を 1 から数えて A-B、A- または A の形で指定します（「3-2」は使えません）");
  failsWith({"print", "table", book, "--pages", "5-9", "-o", pdf}, "印刷するページがありません: 表は1ページで、--pages 「5-9」に当たるページはありません");
  failsWith({"print", "table", book}, "使い方: kaede print table");
  failsWith({"print", "table", f.Dir.Path() + "/無い.kad", "-o", pdf}, "無い.kad がありません");
  TRun r = Kaede({"print", "table", book, "-o", f.Dir.Path() + "/no/such/folder/x.pdf"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("x.pdf に書き込めません: フォルダがないか、書き込めないフォルダです"), std::string::npos) << r.Err;
  r = Kaede({"print", "table", book, "-o", f.Dir.Path()});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find(" に書き込めません: フォルダです"), std::string::npos) << r.Err;
}
