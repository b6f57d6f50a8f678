#include <gtest/gtest.h>

#include <cmath>

#include "BaseViews.h"
#include "Collation.h"
#include "CommaText.h"
#include "FakePrinters.h"
#include "Files.h"
#include "PostStyles.h"
#include "StyleDialogFakes.h"
#include "StyleSettings.h"
#include "PersonColumns.h"
#include "TableStyles.h"
#include "TestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

using B = TBaseStyleValues;

// The process's printer: a fake one for the test's lifetime, or none.
struct TPrinterScope {
  explicit TPrinterScope(bool withPrinter) {
    if (!withPrinter) {
      SheetPrinter().SetBackend(nullptr);
      return;
    }
    auto backend = std::make_unique<TFakePrinterBackend>();
    backend->Devices.push_back(TFakePrinter::Standard());
    SheetPrinter().SetBackend(std::move(backend));
  }
  ~TPrinterScope() { SheetPrinter().SetBackend(nullptr); }
};

// A panel with the events it sent.
struct TPanel {
  TFakeStyleDialogs Dialogs;
  TStyleSettings S;
  std::vector<std::string> Events, Errors;
  explicit TPanel(TStyleFrameKind kind) : S(kind, Dialogs) {
    S.OnEditChanging = [this] { Events.push_back("changing"); };
    S.OnEditChange = [this] { Events.push_back("change"); };
    S.OnError = [this](const std::string& m) { Errors.push_back(m); };
  }
};

std::vector<std::string> Names(const TStyleSettings& s, const TStyleSettings::TCategoryNode& c) {
  std::vector<std::string> r;
  for (int no : c.Items) r.push_back(s.Item(no).Info.Name);
  return r;
}

bool Offers(const TStyleSettings& s, int no) {
  for (const auto& c : s.Tree())
    for (int i : c.Items)
      if (i == no) return true;
  return false;
}

}  // namespace

TEST(StyleItems, EveryOfferedItemHasANameAKindAndASettingOfItsStyle) {
  for (TStyleFrameKind kind : {sfBase, sfTable, sfEditor, sfPost}) {
    const auto& items = StyleItems(kind);
    const int counts[] = {34, 40, 114, 173};
    ASSERT_EQ(static_cast<int>(items.size()), counts[kind]);
    TPanel p(kind);
    for (const TStyleItem& item : items) {
      EXPECT_EQ(item.No, &item - items.data());
      if (item.Info.Category.empty()) continue;
      EXPECT_FALSE(item.Info.Name.empty()) << item.No;
      EXPECT_LE(item.Info.Name.size(), 60u) << item.No;
      EXPECT_LE(item.Info.Category.size(), 14u) << item.No;
      EXPECT_NE(item.Info.Kind, vkNone) << item.No;
      if (item.Scope == scElement) {
        EXPECT_NE(p.S.Style().ViewInfo(item.No), nullptr) << item.No;
      } else {
        TItemValue v;
        EXPECT_TRUE(ReadItemValue(p.S.Style(), item, v)) << kind << " " << item.No << " " << item.Key;
      }
    }
  }
  // the two editor elements the postcard panel shows, by the names it gives them
  EXPECT_EQ(StyleItems(sfPost)[52].Info.Name, SJ("通常文字"));
  EXPECT_EQ(StyleItems(sfPost)[70].Info.Name, SJ("罫線"));
}

TEST(StyleSettings, TheTreeGroupsOfferedItemsByCategoryInTextOrder) {
  TPanel post(sfPost);
  std::vector<std::string> cats;
  for (const auto& c : post.S.Tree()) cats.push_back(c.Caption);
  // the postcard panel hides the editor's settings but its text element and rule
  for (int hidden : {0, 20, 23, 25, 26, 28, 33, 51, 53, 69, 71, 112}) EXPECT_FALSE(Offers(post.S, hidden)) << hidden;
  for (int shown : {1, 19, 24, 27, 29, 32, 52, 70, 113, 151, 166}) EXPECT_TRUE(Offers(post.S, shown)) << shown;
  EXPECT_EQ(cats.size(), 4u);  // 印刷, 基本, 表示, 配置
  for (const auto& c : post.S.Tree()) {
    std::vector<std::string> names = Names(post.S, c), sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](auto& a, auto& b) { return CollateCompare(a, b) < 0; });
    EXPECT_EQ(names, sorted) << U8(c.Caption);
  }
  // the table panel never offers the paper switch: a table is printed
  TPanel table(sfTable);
  EXPECT_FALSE(Offers(table.S, 0));
  for (int shown : {1, 33, 36, 38}) EXPECT_TRUE(Offers(table.S, shown)) << shown;
  EXPECT_EQ(table.S.DefaultNames(), SJ("一覧表"));
  EXPECT_EQ(DecodeCommaText(post.S.DefaultNames()).size(), 42u);
}

TEST(StyleSettings, ValueEditorLayoutFollowsTheDescription) {
  TPanel p(sfTable);
  TValueEditor& v = p.S.Value();
  p.S.SelectItem(1);  // 縦,横
  EXPECT_EQ(v.RadioColumns(), 2);
  EXPECT_EQ(v.RadioHeight(), 49);
  EXPECT_EQ(v.IntValue, 0);
  p.S.SelectItem(33);  // すべてのページ,１ページ目のみ: longer than 6 bytes
  EXPECT_EQ(v.RadioColumns(), 1);
  EXPECT_EQ(v.RadioHeight(), 64);
  p.S.SelectItem(9);
  EXPECT_TRUE(v.Limited());
  EXPECT_EQ(v.Info().Min, 1);
  EXPECT_EQ(v.Info().Max, 100);
  EXPECT_EQ(v.ItemLabel(), SJ("【用紙分割（横）】"));
  p.S.SelectItem(11);
  EXPECT_FALSE(v.Limited());  // 0 and 0: no limits
  p.S.SelectItem(34);
  EXPECT_EQ(v.UnitLabel(), SJ(" ㎜"));
  EXPECT_DOUBLE_EQ(v.Step(), 0.1);
  EXPECT_DOUBLE_EQ(v.FloatValue, 1.0);
  // a length in pixels on screen and millimetres on paper follows the paper
  TPanel ed(sfEditor);
  ed.S.SelectItem(98);
  EXPECT_EQ(ed.S.Value().UnitLabel(), SJ("ドット"));
  TPanel post(sfPost);
  post.S.SelectItem(52);
  EXPECT_EQ(post.S.Value().ElementEditor().Unit(), 3);
  // a number entered beyond the limits is held to them
  p.S.SelectItem(9);
  v.UserNumber(500);
  EXPECT_EQ(p.S.Style().Base().PaperLevelDivide, 100);
}

TEST(StyleSettings, DividingTheSheetScalesThePageByTheSideOfAPageAndBack) {
  TPanel p(sfTable);
  TTableStyle& style = *TDataItem::Make<TTableStyle>();
  style.SetBase(&B::MarginLeft, 20.0);
  style.SetBase(&B::FooterDistanceY, 15.0);
  style.ViewInfo(TBaseStyle::viHeader)->SetLineWidth(2.0);
  p.S.SetStyle(&style);
  p.S.SelectItem(9);
  p.S.Value().UserNumber(2);
  const TBaseStyle& s = p.S.Style();
  const double h = std::sqrt(0.5);
  EXPECT_EQ(s.Base().PaperLevelDivide, 2);
  EXPECT_NEAR(s.Base().MarginLeft, 20 * h, 1e-9);
  EXPECT_NEAR(s.Base().MarginBottom, 20 * h, 1e-9);
  EXPECT_NEAR(s.Base().FooterDistanceY, 15 * h, 1e-9);
  EXPECT_NEAR(s.Base().HeaderDistanceX, 5 * h, 1e-9);
  EXPECT_EQ(s.ViewInfo(TBaseStyle::viHeader)->Font().Size, 6);  // round(9 x 0.707)
  EXPECT_NEAR(s.ViewInfo(TBaseStyle::viHeader)->LineWidth(), 2 * h, 1e-9);
  EXPECT_EQ(s.Base().PaperMarginLeft, 0);  // the paper keeps its margins
  p.S.Value().UserNumber(1);
  EXPECT_NEAR(s.Base().MarginLeft, 20, 1e-9);
  EXPECT_NEAR(s.Base().FooterDistanceY, 15, 1e-9);
  EXPECT_NEAR(s.ViewInfo(TBaseStyle::viHeader)->LineWidth(), 2, 1e-9);
  EXPECT_EQ(s.ViewInfo(TBaseStyle::viHeader)->Font().Size, 8);  // round(6 x 1.414)
  style.Free();
}

TEST(StyleSettings, AnEditMakesAUserStyleAndRestoringBringsBackTheStyleHandedOver) {
  TTableStyleList list;
  list.Reset();
  TPanel p(sfTable);
  p.S.SetStyle(list.Style(0));
  ASSERT_EQ(p.S.Style().DefaultIndex(), 0);
  p.S.SelectItem(24);
  EXPECT_EQ(p.S.Value().TextValue, SJ("【一覧表】名前と住所"));
  p.S.Value().UserText(SJ("名簿"));
  EXPECT_EQ(p.S.Style().Name(), SJ("名簿"));
  EXPECT_EQ(p.S.Style().DefaultIndex(), -1);
  EXPECT_EQ(p.Events, (std::vector<std::string>{"changing", "change"}));
  EXPECT_EQ(p.S.LastApplied(), 24);
  // declined: nothing
  p.Dialogs.Answers = {false};
  p.S.Restore();
  EXPECT_EQ(p.S.Style().Name(), SJ("名簿"));
  EXPECT_EQ(p.Events.size(), 2u);
  EXPECT_EQ(p.Dialogs.Questions.back(), SJ("全ての設定項目を最初の状態に戻します。よろしいですか？"));
  p.Dialogs.Answers = {true};
  p.S.Restore();
  EXPECT_EQ(p.S.Style().Name(), SJ("【一覧表】名前と住所"));
  EXPECT_EQ(p.S.Style().DefaultIndex(), 0);
  EXPECT_EQ(p.S.Value().TextValue, SJ("【一覧表】名前と住所"));  // the item is shown again
  // the predefined 一覧表 of the tool bar is the plain default, without the list's completion
  p.S.Value().UserText(SJ("名簿"));
  p.S.ChooseDefault(0);
  auto& t = static_cast<TTableStyle&>(p.S.Style());
  EXPECT_EQ(t.Name(), SJ("一覧表"));
  EXPECT_EQ(t.Table().InBoxLevelMargin, 2.0);
  EXPECT_EQ(p.S.LastApplied(), -1);
}

TEST(StyleSettings, ColumnChoicesDropNamesTheTableDoesNotOffer) {
  TTableStyleList list;
  list.Reset();
  TPanel p(sfTable);
  p.S.SetColumnNames(EncodeCommaText(TableColumnNames()));
  p.S.SetStyle(list.Style(2));  // 名前,Mail,ホームページ
  p.S.SelectItem(36);
  TValueEditor::TCheckedSet set = p.S.Value().CheckedSet;
  EXPECT_EQ(set.count(), 2u);
  EXPECT_TRUE(set.test(0));  // 名前
  EXPECT_TRUE(set.test(8));  // ホームページ
  set.set(3);                // 住所
  p.S.Value().UserChecked(set);
  EXPECT_EQ(static_cast<TTableStyle&>(p.S.Style()).Table().ValueNames, SJ("名前,住所,ホームページ"));
}

TEST(StyleSettings, PaperItemsAskThePrinterAndFailWithoutOne) {
  {
    TPrinterScope printer(true);
    TPanel p(sfTable);
    p.S.SelectItem(6);
    EXPECT_EQ(p.S.Value().Choices(), (TStrings{"A4", "Postcard"}));
    EXPECT_EQ(p.S.Value().IntValue, 0);  // A4, the style's paper
    p.S.Value().UserIndex(1);
    EXPECT_EQ(p.S.Style().Base().PaperSize, kPaperPostcard);
  }
  {
    // a width entered while the height is 0 takes the height from the printer's paper
    TPrinterScope printer(true);
    TPanel q(sfTable);
    q.S.SelectItem(7);
    EXPECT_EQ(q.S.Value().FloatValue, 210);  // shown from the printer while 0
    q.S.Value().UserNumber(120);
    EXPECT_EQ(q.S.Style().Base().PaperWidth, 120);
    EXPECT_EQ(q.S.Style().Base().PaperHeight, 297);
    EXPECT_EQ(q.S.Style().Base().PaperSize, kPaperUser);
    EXPECT_TRUE(q.Errors.empty());
  }
  TPrinterScope none(false);
  TPanel p(sfTable);
  p.S.SelectItem(6);
  EXPECT_TRUE(p.S.Value().Choices().empty());
  ASSERT_EQ(p.Errors.size(), 1u);
  EXPECT_EQ(p.Errors[0], "TSheetPrinter.CheckNoPrinter: No Printer");
  EXPECT_TRUE(p.S.ItemFailed());
  p.S.Value().UserIndex(0);
  EXPECT_EQ(p.S.Style().Base().PaperSize, kPaperA4);
  EXPECT_TRUE(p.Events.empty());
  p.S.SelectItem(7);
  EXPECT_EQ(p.Errors.size(), 2u);
  // a width entered while the height is 0 fails and changes nothing
  p.S.SelectItem(16);
  p.S.SelectItem(7);
  p.S.Value().UserNumber(100);
  EXPECT_EQ(p.S.Style().Base().PaperWidth, 0);
  EXPECT_TRUE(p.Events.empty());
  // other items work without a printer
  p.S.SelectItem(16);
  EXPECT_FALSE(p.S.ItemFailed());
  p.S.Value().UserNumber(12.5);
  EXPECT_EQ(p.S.Style().Base().MarginLeft, 12.5);
}

// The style's printer is chosen in the panel from the queues as they are when it is shown;
// the paper list follows the printer chosen, and a queue that has gone is shown by its name
// without failing.
TEST(StyleSettings, ThePrinterItemChoosesAQueueAndThePaperListFollowsIt) {
  auto owned = std::make_unique<TFakePrinterBackend>();
  TFakePrinterBackend* backend = owned.get();
  TFakePrinter office = TFakePrinter::Standard("Office");
  office.Papers = {{kPaperA4, "A4", {2100, 2970}}, {kPaperA5, "A5", {1480, 2100}}};
  backend->Devices = {office, TFakePrinter::Standard("Cards")};
  SheetPrinter().SetBackend(std::move(owned));
  TAtScopeExit gone([] { SheetPrinter().SetBackend(nullptr); });

  TPanel p(sfPost);
  const int item = PrinterItemNo(sfPost);
  EXPECT_TRUE(Offers(p.S, item));
  EXPECT_EQ(p.S.Item(item).Info.Name, SJ("プリンタ"));
  p.S.SelectItem(item);
  EXPECT_EQ(p.S.Value().Choices(), (TStrings{SJ("通常使うプリンタ"), "Office", "Cards"}));
  EXPECT_EQ(p.S.Value().IntValue, 0);
  p.S.Value().UserIndex(2);
  EXPECT_EQ(p.S.Style().Base().Printer, "Cards");
  EXPECT_EQ(p.Events, (std::vector<std::string>{"changing", "change"}));
  // the card's paper is found in the chosen queue's list by its size
  p.S.SelectItem(6);
  EXPECT_EQ(p.S.Value().Choices(), (TStrings{"A4", "Postcard"}));
  EXPECT_EQ(p.S.Value().IntValue, 1);
  // back to the default: the first queue, whose list has no card
  p.S.SelectItem(item);
  p.S.Value().UserIndex(0);
  EXPECT_EQ(p.S.Style().Base().Printer, "");
  p.S.SelectItem(6);
  EXPECT_EQ(p.S.Value().Choices(), (TStrings{"A4", "A5"}));

  // the style's queue is removed while the program runs: the panel opened again names it,
  // and the paper list is the default's
  TPostStyle* style = TDataItem::Make<TPostStyle>();
  TAtScopeExit freeStyle([&] { style->Free(); });
  style->SetBase(&B::Printer, std::string("Cards"));
  backend->Devices.pop_back();
  p.S.SetStyle(style);
  p.S.SelectItem(item);
  EXPECT_EQ(p.S.Value().Choices(), (TStrings{SJ("通常使うプリンタ"), "Office", SJ("Cards（見つかりません）")}));
  EXPECT_EQ(p.S.Value().IntValue, 2);
  p.S.SelectItem(6);
  EXPECT_EQ(p.S.Value().Choices(), (TStrings{"A4", "A5"}));
  EXPECT_TRUE(p.Errors.empty()) << p.Errors[0];
  EXPECT_EQ(p.S.Style().Base().Printer, "Cards");

  // the printer is kept in the style file under its own key, and a file with keys this
  // build does not know still opens
  TempDir dir;
  const std::string file = dir.File("printer.kps");
  p.S.Style().SaveToFile(file, "Style");
  std::string text = ReadFileBytes(file);
  EXPECT_NE(text.find("Printer=Cards"), std::string::npos) << text;
  WriteFileAtomic(file, text + "SomeLaterSetting=1\r\n");
  TPostStyle* back = TDataItem::Make<TPostStyle>();
  TAtScopeExit freeBack([&] { back->Free(); });
  ASSERT_TRUE(back->LoadStyleFile(file, "Style"));
  EXPECT_EQ(back->Base().Printer, "Cards");
}

TEST(StyleSettings, ZoomValuesOutsideTheListShowNoChange) {
  TPanel p(sfTable);
  p.S.SelectItem(5);
  EXPECT_EQ(p.S.Value().IntValue, 0);  // 画面いっぱい
  p.S.Value().UserIndex(7);
  EXPECT_EQ(p.S.Style().Base().RatioValue, 100);
  p.S.Style().SetBase(&B::RatioValue, 333);
  p.S.ShowCurrent();
  EXPECT_EQ(p.S.Value().IntValue, 7);
}

TEST(StyleSettings, PostcardItemsReachTheirKeysElementsAndRectangles) {
  TPostStyleList list;
  list.Reset();
  TPanel p(sfPost);
  p.S.SetStyle(list.Style(0));
  EXPECT_FALSE(p.S.PrintStyleEnabled());  // a card shows its paper
  // the name's font size
  p.S.SelectItem(TPostStyle::viAtenaName);
  TViewInfoEditor& e = p.S.Value().ElementEditor();
  EXPECT_TRUE(e.Switch(TViewInfoEditor::swFontSize));
  EXPECT_FALSE(e.Switch(TViewInfoEditor::swDecorate));
  e.SetFontSize(24.7);
  EXPECT_EQ(p.S.Style().ViewInfo(TPostStyle::viAtenaName)->Font().Size, 24);
  EXPECT_EQ(p.S.Style().DefaultIndex(), -1);
  // a radio of a switch, an integer radio, a number, a rectangle
  auto& post = static_cast<TPostStyle&>(p.S.Style());
  p.S.SelectItem(114);
  EXPECT_EQ(p.S.Value().IntValue, 1);  // 縦書き
  p.S.Value().UserIndex(0);
  EXPECT_FALSE(post.Post().PostVertical);
  p.S.SelectItem(119);
  p.S.Value().UserIndex(2);
  EXPECT_EQ(post.Post().PostCodeKind, 2);
  p.S.SelectItem(118);
  p.S.Value().UserNumber(3);
  EXPECT_EQ(post.Post().SenderNo, 3);
  p.S.SelectItem(139);
  EXPECT_EQ(p.S.Value().LayoutValue, (TMmRect{35, 27, 35, 106}));
  p.S.Value().UserLayout(TMmRect{30, 25, 40, 100});
  EXPECT_EQ(post.Post().AtenaNameLayout, (TMmRect{30, 25, 40, 100}));
  // the text element of a vertical card offers the vertical fonts, the others the plain ones
  p.S.SelectItem(TEditorStyle::viNormal);
  EXPECT_EQ(e.FontListMode(), TViewInfoEditor::flVertical);
  EXPECT_EQ(e.FontListName(), SJ("@ＭＳ 明朝"));
  p.S.SelectItem(TPostStyle::viAtenaAddress);
  EXPECT_EQ(e.FontListMode(), TViewInfoEditor::flHorizontal);
  // the print-range element shows hatches
  p.S.SelectItem(TBaseStyle::viPrintRange);
  EXPECT_TRUE(e.HatchMode());
  EXPECT_EQ(e.DecorateChoices().size(), 6u);
}

TEST(ViewInfoEditor, ColoursAndFontNamesAreCopiedBetweenElements) {
  TPanel p(sfTable);
  p.S.SelectItem(TTableStyle::viNormal);
  TViewInfoEditor& e = p.S.Value().ElementEditor();
  EXPECT_FALSE(e.HasCopiedColor());
  e.CopyColor(TViewInfo::ciBack);
  EXPECT_TRUE(e.HasCopiedColor());
  p.S.SelectItem(TTableStyle::viLine);
  const TColor back = p.S.Style().ViewInfo(TTableStyle::viNormal)->BackColor();
  e.PasteColor(TViewInfo::ciText);
  EXPECT_EQ(p.S.Style().ViewInfo(TTableStyle::viLine)->TextColor(), back);
  EXPECT_EQ(e.UnifyCaption(TViewInfo::ciBack), SJ("すべての項目の背景色をこの色で統一(&U)"));
  // the unify entry gives every element the colour
  e.SetColor(TViewInfo::ciBack, 0x123456);
  e.UnifyColor(TViewInfo::ciBack);
  EXPECT_EQ(p.S.Style().ViewInfo(TBaseStyle::viHeader)->BackColor(), 0x123456);
  // font names
  e.CopyFontName();
  p.S.SelectItem(TTableStyle::viNormal);
  e.SetFontName(SJ("ＭＳ 明朝"));
  e.PasteFontName();
  EXPECT_EQ(p.S.Style().ViewInfo(TTableStyle::viNormal)->Font().Name, p.S.Style().ViewInfo(TTableStyle::viLine)->Font().Name);
  // the list's vertical mode shows the vertical form of the name
  e.SetFontName(SJ("ＭＳ 明朝"));
  e.SetFontListMode(TViewInfoEditor::flVertical);
  EXPECT_EQ(e.FontListName(), SJ("@ＭＳ 明朝"));
  EXPECT_EQ(e.DecorateChoices()[1], SJ("下線（実線）"));  // the font name is shown: underlines
}
