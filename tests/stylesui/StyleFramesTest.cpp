#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "BaseStyleFrames.h"
#include "CommaText.h"
#include "PostStyles.h"
#include "StyleDialogFakes.h"
#include "PersonColumns.h"
#include "TableStyles.h"
#include "TestUtil.h"
#include "ValueFrames.h"

using namespace kaede;
using namespace kaede::test;

namespace {

// Clicks an item of the panel's tree where it is drawn.
void ClickItem(TBaseStyleFrame& f, int item) {
  QTreeWidgetItem* node = f.Node(item);
  ASSERT_NE(node, nullptr) << item;
  f.Tree()->scrollToItem(node);
  QRect r = f.Tree()->visualItemRect(node);
  QTest::mouseClick(f.Tree()->viewport(), Qt::LeftButton, {}, r.center());
  ASSERT_EQ(f.Settings().CurrentItem(), item);
}

// Replaces the text of a spin box as typing would.
template <class Spin>
void TypeNumber(Spin* spin, const char* text) {
  spin->setFocus();
  spin->selectAll();
  QTest::keyClicks(spin, text);
  QTest::keyClick(spin, Qt::Key_Tab);
}

struct TFrameFixture : ::testing::Test {
  TFakeStyleDialogs Dialogs;
  TTableStyleList Tables;
  int Changes = 0;
  void SetUp() override { Tables.Reset(); }
};

}  // namespace

TEST_F(TFrameFixture, TableFrameEditsThroughItsControls) {
  TTableStyleFrame f(Dialogs);
  f.SetColumnNames(EncodeCommaText(TableColumnNames()));
  f.SetStyle(Tables.Style(0));
  f.OnEditChange() = [this] { ++Changes; };
  f.resize(320, 900);
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  EXPECT_EQ(f.Tree()->topLevelItemCount(), 3);  // 印刷, 基本, 表示
  EXPECT_EQ(f.Node(0), nullptr);                 // 用紙の表示 is not offered for tables
  EXPECT_FALSE(f.PrintButton()->isEnabled());

  // a number: the division of the sheet
  ClickItem(f, 9);
  TValueFrame* v = f.ValueFrame();
  EXPECT_TRUE(v->NumberEdit()->isVisible());
  EXPECT_FALSE(v->RadioGroup()->isVisible());
  EXPECT_EQ(v->ItemLabel()->text(), QString::fromUtf8("【用紙分割（横）】"));
  TypeNumber(v->NumberEdit(), "2");
  EXPECT_EQ(f.Style().Base().PaperLevelDivide, 2);
  EXPECT_NEAR(f.Style().Base().MarginLeft, 20 * std::sqrt(0.5), 1e-9);
  EXPECT_EQ(f.Style().DefaultIndex(), -1);
  EXPECT_GE(Changes, 1);

  // a radio group of two long choices: one column
  ClickItem(f, 33);
  ASSERT_TRUE(v->RadioGroup()->isVisible());
  auto radios = v->RadioGroup()->findChildren<QRadioButton*>();
  ASSERT_EQ(radios.size(), 2);
  EXPECT_TRUE(radios[0]->isChecked());
  QTest::mouseClick(radios[1], Qt::LeftButton, {}, QPoint(5, radios[1]->height() / 2));
  EXPECT_TRUE(static_cast<TTableStyle&>(f.Style()).Table().ValueNameOnlyFirstPage);

  // the check list of columns
  ClickItem(f, 36);
  QListWidget* list = v->CheckList();
  ASSERT_TRUE(list->isVisible());
  EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);  // 名前
  list->item(4)->setCheckState(Qt::Checked);            // TEL
  EXPECT_EQ(static_cast<TTableStyle&>(f.Style()).Table().ValueNames, SJ("名前,〒,住所,TEL"));

  // the style name as text
  ClickItem(f, 24);
  ASSERT_TRUE(v->TextEdit()->isVisible());
  v->TextEdit()->setFocus();
  v->TextEdit()->selectAll();
  QTest::keyClicks(v->TextEdit(), "abc");
  EXPECT_EQ(f.Style().Name(), "abc");
  EXPECT_EQ(v->TextEdit()->text(), "abc");  // typing is not disturbed by showing the value again

  // the restore button asks first
  Dialogs.Answers = {true};
  QTest::mouseClick(f.RestoreButton(), Qt::LeftButton);
  EXPECT_EQ(f.Style().Name(), SJ("【一覧表】名前と住所"));
  EXPECT_EQ(v->TextEdit()->text(), QString::fromUtf8("【一覧表】名前と住所"));
}

TEST_F(TFrameFixture, PostcardFrameEditsAnElementAndALayout) {
  TPostStyleList posts;
  posts.Reset();
  TPostStyleFrame f(Dialogs);
  f.SetStyle(posts.Style(0));
  f.resize(320, 1000);
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  EXPECT_EQ(f.Node(33), nullptr);
  ClickItem(f, TPostStyle::viAtenaName);
  TViewInfoFrame* e = f.ValueFrame()->ElementFrame();
  ASSERT_TRUE(e->isVisible());
  EXPECT_TRUE(e->FontSize()->isVisible());
  EXPECT_FALSE(e->DecorateList()->isVisible());
  EXPECT_EQ(e->StatusList()->currentIndex(), 1);
  TypeNumber(e->FontSize(), "28");
  EXPECT_EQ(f.Style().ViewInfo(TPostStyle::viAtenaName)->Font().Size, 28);
  // hiding the element disables its panel
  e->StatusList()->setCurrentIndex(0);
  EXPECT_EQ(f.Style().ViewInfo(TPostStyle::viAtenaName)->Status(), 0);
  EXPECT_FALSE(e->Panel()->isEnabled());
  // a colour through the (answered) colour dialog
  e->StatusList()->setCurrentIndex(1);
  e->ChooseColor = [](TColor& c) {
    c = 0x0000FF;
    return true;
  };
  QTest::mouseClick(e->ColorButton(TViewInfo::ciText), Qt::LeftButton);
  EXPECT_EQ(f.Style().ViewInfo(TPostStyle::viAtenaName)->TextColor(), 0x0000FF);
  // the text element of a vertical card lists vertical fonts
  ClickItem(f, TEditorStyle::viNormal);
  EXPECT_TRUE(e->FontList()->currentText().startsWith('@'));
  // a rectangle
  ClickItem(f, 138);
  TLayoutFrame* l = f.ValueFrame()->LayoutEditor();
  ASSERT_TRUE(l->isVisible());
  EXPECT_DOUBLE_EQ(l->Number(0)->value(), 70);
  TypeNumber(l->Number(2), "30");
  EXPECT_EQ(static_cast<TPostStyle&>(f.Style()).Post().AtenaAddressLayout, (TMmRect{70, 27, 30, 106}));
  EXPECT_TRUE(l->Number(2)->isVisible());
  // the barcode's place: its size follows from its points, so only left and top are offered
  ClickItem(f, 171);
  ASSERT_TRUE(l->isVisible());
  EXPECT_FALSE(l->Number(2)->isVisible());
  EXPECT_FALSE(l->Number(3)->isVisible());
  TypeNumber(l->Number(0), "25");
  EXPECT_DOUBLE_EQ(static_cast<TPostStyle&>(f.Style()).Post().BarcodeLayout.Left, 25);
  ClickItem(f, 138);
  EXPECT_TRUE(l->Number(2)->isVisible());
}

TEST_F(TFrameFixture, ClosingThePanelTellsTheHostBeforeAndAfter) {
  QWidget host;
  auto* f = new TTableStyleFrame(Dialogs, &host);
  std::vector<std::string> events;
  f->OnVisibleChanging = [&] { events.push_back(f->isVisible() ? "hiding" : "showing"); };
  f->OnVisibleChanged = [&] { events.push_back(f->isVisible() ? "shown" : "hidden"); };
  host.show();
  f->hide();  // panels are made hidden
  events.clear();
  f->show();
  QTest::mouseClick(f->CloseButton(), Qt::LeftButton);
  EXPECT_FALSE(f->isVisible());
  EXPECT_EQ(events, (std::vector<std::string>{"showing", "shown", "hiding", "hidden"}));
  EXPECT_TRUE(f->objectName().startsWith("Frame"));
}

TEST(ViewInfoFrame, TheSampleShowsHatchesAndText) {
  TViewInfoEditor editor;
  TViewInfoFrame f(editor);
  TViewInfo* e = TDataItem::Make<TViewInfo>();
  e->SetDecorate(4);  // cross hatch
  e->SetDecorateColor(0x0000FF);
  e->SetBackColor(clWhite);
  editor.SetHatchMode(true);
  editor.SetSwitch(TViewInfoEditor::swFontName, false);
  editor.ShowElement(*e);
  QImage img(60, 40, QImage::Format_RGB32);
  img.fill(Qt::black);
  {
    QPainter p(&img);
    f.PaintSample(p, img.rect(), true);
  }
  int red = 0, white = 0;
  for (int y = 2; y < 38; ++y)
    for (int x = 2; x < 58; ++x) {
      QColor c = img.pixelColor(x, y);
      if (c == QColor(255, 0, 0)) ++red;
      if (c == QColor(255, 255, 255)) ++white;
    }
  EXPECT_GT(red, 50);
  EXPECT_GT(white, 50);
  EXPECT_EQ(f.DecorateList()->count(), 6);
  // with the font shown: text, and underline kinds in the list
  editor.SetHatchMode(false);
  editor.SetSwitch(TViewInfoEditor::swFontName, true);
  f.Refresh();
  EXPECT_EQ(f.DecorateList()->itemText(1), QString::fromUtf8("下線（実線）"));
  e->Free();
}
