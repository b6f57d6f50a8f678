#include <gtest/gtest.h>
#include <sys/stat.h>

#include "BaseStyles.h"
#include "SheetPrinters.h"
#include "Errors.h"
#include "Files.h"
#include "StyleTestUtil.h"
#include "TestUtil.h"

using namespace kaede;
using namespace kaede::test;
using V = TBaseStyleValues;

namespace {

struct TStyle {
  TBaseStyle* S = TDataItem::Make<TBaseStyle>();
  ~TStyle() { S->Free(); }
  TBaseStyle* operator->() { return S; }
};

// Every stored key of a base style away from its default, as the style writes it.
TKeyValues AllBaseKeys() {
  return {
      {"Name", SJ("私のスタイル")},     {"DefaultIndex", "-1"},         {"PaperTileVReverse", "1"},
      {"PaperTileHReverse", "1"},        {"BorderMargin", "6"},          {"Category", SJ("分類")},
      {"PaperVisible", "1"},             {"Orientation", "1"},           {"PaperTileVertical", "0"},
      {"VScrollBarVisible", "0"},        {"HScrollBarVisible", "0"},     {"RatioValue", "-2"},
      {"PaperSize", "256"},              {"PaperWidth", "120"},          {"PaperHeight", "235"},
      {"PaperLevelDivide", "2"},         {"PaperVerticalDivide", "3"},   {"StartPageNo", "0"},
      {"PaperMarginLeft", "1.5"},        {"PaperMarginTop", "2.5"},      {"PaperMarginRight", "3.5"},
      {"PaperMarginBottom", "4.5"},      {"MarginLeft", "10"},           {"MarginTop", "11.25"},
      {"MarginRight", "12"},             {"MarginBottom", "13"},         {"HeaderDistanceX", "6"},
      {"HeaderDistanceY", "7"},          {"FooterDistanceX", "8"},       {"FooterDistanceY", "9.5"},
      {"HeaderStr", "&d &t"},            {"FooterStr", "&p / &P"},
  };
}

}  // namespace

TEST(BaseStyle, DefaultsWriteOnlyNameAndNumber) {
  TStyle s;
  EXPECT_EQ(WrittenKeys(*s.S), (TKeyValues{{"Name", SJ("標準スタイル")}, {"DefaultIndex", "-1"}}));
  EXPECT_EQ(s->Section, "Style");
  EXPECT_EQ(s->PagesPerSheet(), 1);
}

TEST(BaseStyle, EveryKeyAndElementRoundTrips) {
  TStyle s;
  ASSERT_TRUE(LoadKeys(*s.S, AllBaseKeys()));
  EXPECT_EQ(WrittenKeys(*s.S), AllBaseKeys());
  EXPECT_EQ(s->PagesPerSheet(), 6);
  EXPECT_EQ(s->Base().MarginTop, 11.25);
  ChangeEveryElement(*s.S);
  TKeyValues written = WrittenKeys(*s.S);
  for (const char* key : {"PaperMargin", "Margin", "Header", "Footer", "PaperDivideLine", "PrintRange"})
    EXPECT_EQ(written.count(key), 1u) << key;
  ExpectFileRoundTrip<TBaseStyle>(*s.S, [](const TBaseStyle&, const TBaseStyle&) { return true; });
}

TEST(BaseStyle, PaperSizeRules) {
  TStyle s;
  s->SetPaperSize(256);
  EXPECT_EQ(s->Base().PaperWidth, 100);
  EXPECT_EQ(s->Base().PaperHeight, 148);
  s->SetPaperSize(9);
  EXPECT_EQ(s->Base().PaperWidth, 0);
  EXPECT_EQ(s->Base().PaperHeight, 0);
  s->SetBase(&V::PaperWidth, 50);
  EXPECT_EQ(s->Base().PaperSize, 256);
  EXPECT_EQ(s->Base().PaperHeight, 0);
}

// Divisions of 0 would make pages per sheet 0 and divide by zero; negative margins would lay
// out negative pages.
TEST(BaseStyle, DivisionsSizesAndMarginsAreClamped) {
  TStyle s;
  ASSERT_TRUE(LoadKeys(*s.S, {{"PaperLevelDivide", "0"}, {"PaperVerticalDivide", "-3"}, {"PaperWidth", "-5"},
                              {"MarginLeft", "-1"}, {"PaperMarginTop", "-0.5"}}));
  EXPECT_EQ(s->PagesPerSheet(), 1);
  EXPECT_EQ(s->Base().PaperWidth, 0);
  EXPECT_EQ(s->Base().MarginLeft, 0);
  EXPECT_EQ(s->Base().PaperMarginTop, 0);
  s->SetBase(&V::PaperVerticalDivide, 0);
  s->SetBase(&V::MarginTop, -4.0);
  EXPECT_EQ(s->Base().PaperVerticalDivide, 1);
  EXPECT_EQ(s->Base().MarginTop, 0);
}

TEST(BaseStyle, TheOldPagesPerSheetKey) {
  auto store = TSettingsStore::OpenFile("");
  store->WriteString("A", "PaperDevide", "4");
  store->WriteString("B", "PaperDevide", "2");
  store->WriteString("B", "Orientation", "1");
  store->WriteString("C", "PaperDevide", "1");
  TStyle s;
  ASSERT_TRUE(s->LoadFromStore(*store, "A"));
  EXPECT_EQ(s->Base().PaperLevelDivide, 2);
  EXPECT_EQ(s->Base().PaperVerticalDivide, 2);
  EXPECT_FALSE(store->ValueExists("A", "PaperDevide"));
  ASSERT_TRUE(s->LoadFromStore(*store, "B"));
  EXPECT_EQ(s->Base().PaperLevelDivide, 1);
  EXPECT_EQ(s->Base().PaperVerticalDivide, 2);
  ASSERT_TRUE(s->LoadFromStore(*store, "C"));
  EXPECT_EQ(s->PagesPerSheet(), 1);
  EXPECT_TRUE(store->ValueExists("C", "PaperDevide"));
}

TEST(BaseStyle, FontsColoursAndLineWidthsOfAllElements) {
  TStyle s;
  s->ViewInfo(TBaseStyle::viHeader)->SetFontSize(11);
  s->SetFonts(SJ("@ＭＳ 明朝"), 0);
  for (TViewInfo* e : s->ViewInfos()) EXPECT_SJ_EQ("ＭＳ 明朝", e->Font().Name);
  EXPECT_EQ(s->ViewInfo(TBaseStyle::viHeader)->Font().Size, 11);
  EXPECT_EQ(s->ViewInfo(TBaseStyle::viFooter)->Font().Size, 9);
  s->SetColors(TViewInfo::ciBack, clRed);
  EXPECT_EQ(s->ViewInfo(TBaseStyle::viPaperDivideLine)->BackColor(), clRed);
  EXPECT_EQ(s->ViewInfo(TBaseStyle::viPrintRange)->BackColor(), clWhite);
  EXPECT_EQ(s->ViewInfo(27), s->ViewInfos().front());
  EXPECT_EQ(s->ViewInfo(33), nullptr);
}

TEST(BaseStyle, MakePrintableTurnsPixelsIntoMillimetres) {
  TStyle s;
  for (TViewInfo* e : s->ViewInfos()) {
    e->SetLineWidth(2.4);
    e->SetTextColor(clRed);
  }
  s->MakePrintable();
  EXPECT_TRUE(s->PaperVisible());
  TViewInfo* line = s->ViewInfo(TBaseStyle::viPaperDivideLine);
  EXPECT_EQ(line->LineWidth(), 0.53);  // 2 pixels at 96 per inch
  EXPECT_EQ(line->TextColor(), clBlack);
  EXPECT_EQ(s->ViewInfo(TBaseStyle::viPrintRange)->TextColor(), clRed);
  line->SetLineWidth(3);
  s->MakePrintable();  // already printable: nothing
  EXPECT_EQ(line->LineWidth(), 3);
}

TEST(BaseStyle, ElementChangesAreChangesOfTheStyle) {
  TStyle s;
  std::vector<int> before, after;
  s->OnBeforeChange = [&](TDataItem*, int no) { before.push_back(no); };
  s->OnAfterChange = [&](TDataItem*, int no) { after.push_back(no); };
  s->ViewInfo(TBaseStyle::viFooter)->SetFontSize(12);
  s->SetBase(&V::StartPageNo, 3);
  s->SetBase(&V::StartPageNo, 3);
  s->SetColors(TViewInfo::ciText, clRed);  // one bracket for all elements
  EXPECT_EQ(before, (std::vector<int>{3, -1, -1}));
  EXPECT_EQ(after, (std::vector<int>{3, -1, -1}));
}

TEST(BaseStyle, BackupAndCopies) {
  TStyle s;
  s->RestoreBackup();  // nothing saved: nothing happens
  EXPECT_SJ_EQ("標準スタイル", s->Name());
  s->SetName("before");
  s->ViewInfo(TBaseStyle::viHeader)->SetStatus(0);
  s->SaveBackup();
  s->SetName("after");
  s->ViewInfo(TBaseStyle::viHeader)->SetStatus(2);
  s->KeyRepeatLimit = 7;
  TStyle copy;
  copy->Assign(s.S);
  EXPECT_EQ(copy->Name(), "after");
  EXPECT_EQ(copy->KeyRepeatLimit, 7);
  ExpectSameElements(*copy.S, *s.S);
  s->RestoreBackup();
  EXPECT_EQ(s->Name(), "before");
  EXPECT_EQ(s->ViewInfo(TBaseStyle::viHeader)->Status(), 0);
}

// Elements are stored as differences from the defaults of the style's own class; a class that
// cannot make its own kind would be compared with another class's defaults.
TEST(BaseStyle, AStyleClassMustMakeItsOwnKind) {
  struct TForgetful : TBaseStyle {};
  TForgetful* s = TDataItem::Make<TForgetful>();
  EXPECT_THROW(WrittenKeys(*s), std::logic_error);
  s->Free();
}

// A style file passed from elsewhere is read only when it is a regular file of a style's size,
// and its values are held to what the settings panel allows: no file can stall the program
// (a device or a pipe that never ends, a huge file, a sheet of millions of pages).
TEST(BaseStyle, StyleFilesAreBoundedAndTheirValuesClamped) {
  TempDir dir;
  TBaseStyle* s = TDataItem::Make<TBaseStyle>();
  auto refused = [s](const std::string& file) {
    try {
      s->LoadStyleFile(file);
    } catch (const EFileError& e) {
      return e.FileName() == file;
    }
    return false;
  };
  EXPECT_TRUE(refused("/dev/zero"));
  const std::string fifo = dir.Path() + "/pipe.kps";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_TRUE(refused(fifo));  // at once: nothing waits for a writer
  const std::string big = dir.Path() + "/big.kps";
  WriteFileAtomic(big, "[Style]\r\nName=x\r\nHeaderStr=" + std::string(TBaseStyle::kStyleFileLimit, 'a') + "\r\n");
  EXPECT_TRUE(refused(big));
  const std::string wide = dir.Path() + "/wide.kps";
  WriteFileAtomic(wide, "[Style]\r\nName=wide\r\nPaperLevelDivide=2000\r\nPaperVerticalDivide=2000\r\nMarginLeft=1e300\r\n"
                        "PaperWidth=99999999\r\n");
  EXPECT_TRUE(s->LoadStyleFile(wide));
  EXPECT_EQ(s->Name(), "wide");
  EXPECT_EQ(s->Base().PaperLevelDivide, 100);
  EXPECT_EQ(s->Base().PaperVerticalDivide, 100);
  EXPECT_LE(s->Base().MarginLeft, 1000);
  EXPECT_LE(s->Base().PaperWidth, 10000);
  s->Free();
}
