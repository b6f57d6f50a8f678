// The postcard control in its window: the real widget paints the cards through the Qt canvas,
// and keys page through the book. KAEDE_SHOTS=folder keeps the pictures it takes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QTest>

#include "PersonLists.h"
#include "Posts.h"
#include "QtCanvas.h"
#include "QtPaperControls.h"
#include "TestUtil.h"
#include "paper/ViewTestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

class QtPost : public TViewTest {
protected:
  void SetUp() override {
    TViewTest::SetUp();
    InstallFakePrinter();  // the paper sizes come from the printer, as in the window
    InstallQtDrawing();
    SetScreenDpiSource([] { return 96; });
  }
  void TearDown() override {
    SetSurfaceFactory(nullptr);
    SetPictureLoader(nullptr);
    TViewTest::TearDown();
  }
  static void Shot(QWidget& w, const char* name) {
    if (const char* dir = std::getenv("KAEDE_SHOTS")) w.grab().save(QDir(dir).filePath(name));
  }
  // Pixels of a colour close to rgb in a part of an image.
  static int Count(const QImage& image, const QRect& part, QRgb rgb) {
    int n = 0;
    for (int y = part.top(); y <= part.bottom(); ++y)
      for (int x = part.left(); x <= part.right(); ++x) {
        QColor c = image.pixelColor(x, y);
        QColor want(rgb);
        n += std::abs(c.red() - want.red()) + std::abs(c.green() - want.green()) + std::abs(c.blue() - want.blue()) < 60;
      }
    return n;
  }
};

}  // namespace

TEST_F(QtPost, TheWindowShowsTheCardsAndPagesThroughThem) {
  TPersonList book;
  for (int i = 1; i <= 5; ++i)
    book.AddText(Utf8ToSjis("\"山田 太郎" + std::to_string(i) + "\",やまだ,,,,1234567,東京都千代田区丸の内1-2-" +
                            std::to_string(i) + ",,,,,,,,花子"));
  TPerson* sender = static_cast<TPerson*>(book.AddText(Utf8ToSjis("\"鈴木 一郎\",すずき,,,,1500001,東京都渋谷区")));
  auto logic = std::make_unique<TPost>();
  TPost& post = *logic;
  TQtPaperControl control(std::move(logic));
  control.resize(440, 640);
  control.show();
  QApplication::setActiveWindow(&control);
  control.setFocus();
  // the card pictures drawn at build time, decoded by Qt
  post.PostView().PictureFolder = KAEDE_BINARY_DIR "/bin/cards/";
  TPostStyle* style = TDataItem::Make<TPostStyle>();
  style->SetDefaultIndex(1);  // with the sender
  style->EnsurePreset();
  post.SetStyle(*style);
  style->Free();
  post.SetPersons(&book);
  post.SetSender(sender);
  QApplication::processEvents();
  ASSERT_EQ(post.PostView().PageCount(), 6);
  ASSERT_TRUE(post.PostView().Pictures().Stamp);
  EXPECT_EQ(post.PostView().Pictures().Stamp->Width() * 6, post.PostView().Pictures().Stamp->Height() * 5);

  QImage first = control.ViewWidget()->grab().toImage();
  Shot(*control.ViewWidget(), "post-first.png");
  // the red frames of the postal code along the top, black text below
  const TRect sheet = post.PostView().SheetRect(0);
  const int h = sheet.Bottom - sheet.Top;
  QRect top(sheet.Left, sheet.Top, sheet.Right - sheet.Left, h / 6);
  EXPECT_GT(Count(first, top.intersected(first.rect()), qRgb(255, 0, 0)), 100);
  QRect middle(sheet.Left, sheet.Top + h / 4, sheet.Right - sheet.Left, h / 2);
  EXPECT_GT(Count(first, middle.intersected(first.rect()), qRgb(0, 0, 0)), 100);
  // the stamp in the top-left corner: its vermilion frame and disc
  QRect stamp(sheet.Left, sheet.Top, (sheet.Right - sheet.Left) * 3 / 10, h / 4);
  EXPECT_GT(Count(first, stamp.intersected(first.rect()), qRgb(0xD0, 0x2A, 0x1E)), 100);

  // Ctrl+End goes to the last card, Ctrl+Home back to the first
  QTest::keyClick(&control, Qt::Key_End, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_EQ(post.PostView().Offset().Y, post.PostView().PaperBox().Height - post.PostView().Extent().Y + 8);
  Shot(*control.ViewWidget(), "post-last.png");
  QTest::keyClick(&control, Qt::Key_Home, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_EQ(post.PostView().Offset().Y, 0);
  post.SelectPerson(2);
  QApplication::processEvents();
  EXPECT_EQ(post.PostView().Offset().Y, -2 * (post.PostView().PaperBox().Height + 8));
  post.SetShowGuides(true);
  QApplication::processEvents();
  Shot(*control.ViewWidget(), "post-guides.png");
}
