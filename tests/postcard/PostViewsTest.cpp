// The postcard view over the paper view: pages of a book, the current entry, the sender copy,
// the keys, painting on screen and printing with the card's colours made white.
#include <gtest/gtest.h>

#include "PersonLists.h"
#include "PostViews.h"
#include "TestUtil.h"
#include "paper/ViewTestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

class PostView : public TViewTest {
protected:
  TPersonList Book;
  void Fill(int entries) {
    for (int i = 1; i <= entries; ++i)
      Book.AddText(Utf8ToSjis("名前" + std::to_string(i) + ",なまえ,,,,1234567,東京都千代田区" + std::to_string(i)));
  }
  static void Preset(TPostView& v, int preset) {
    TPostStyle* s = TDataItem::Make<TPostStyle>();
    s->SetDefaultIndex(preset);
    s->EnsurePreset();
    v.SetStyle(s);
    s->Free();
  }
  // What a paint of the whole client area draws.
  static TRecordingCanvas PaintAll(TPostView& v) {
    TRecordingCanvas c(96);
    v.Paint(c, v.ClientRect());
    return c;
  }
  static bool HasText(const TRecordingCanvas& c, const char* utf8) {
    for (const TCanvasOp* t : c.Texts())
      if (t->Text == Utf8ToSjis(utf8)) return true;
    return false;
  }
};

}  // namespace

TEST_F(PostView, APageForEveryEntryOrOneOfFreeText) {
  TPostView v;
  TFakeViewHost host;
  v.SetHost(&host);
  v.SetBounds(600, 800);
  EXPECT_EQ(v.PageCount(), 1);  // without a book
  Fill(10);
  v.SetPersons(&Book);
  EXPECT_EQ(v.PageCount(), 10);
  EXPECT_EQ(v.SheetCount(), 10);
  EXPECT_EQ(U8(v.PagePerson(9)->Name()), "名前10");
  EXPECT_EQ(v.PagePerson(10), nullptr);
  Preset(v, 39);  // twelve labels a sheet
  EXPECT_EQ(v.PageCount(), 10);
  EXPECT_EQ(v.SheetCount(), 1);
  Preset(v, 5);  // the back of a card: free text, one page showing the current entry
  EXPECT_EQ(v.PageCount(), 1);
  v.SelectPerson(4);
  EXPECT_EQ(v.PagePerson(0), Book.Persons(4));
  // a shorter book puts the current entry back to the first
  Book.BeginUpdate();
  while (Book.Count() > 3) Book.Persons(Book.Count() - 1)->Free();
  Book.EndUpdate();
  v.SetPersons(&Book);
  EXPECT_EQ(v.CurrentPerson(), 0);
}

TEST_F(PostView, SelectingAnEntryScrollsToItsSheetAndKeysGoToTheEnds) {
  TPostView v;
  TFakeViewHost host;
  v.SetHost(&host);
  v.SetBounds(600, 800);
  Fill(10);
  v.SetPersons(&Book);
  v.SelectPerson(3);
  EXPECT_EQ(v.CurrentPerson(), 3);
  EXPECT_EQ(v.Offset().Y, -3 * (v.PaperBox().Height + 8));
  EXPECT_EQ(v.KeyToCommand(vkEnd, ssCtrl), vcScrollEnd);
  EXPECT_EQ(v.KeyToCommand(vkHome, ssCtrl), vcScrollHome);
  v.ExecuteCommand(vcScrollHome);
  EXPECT_EQ(v.Offset().Y, 0);
  // a new size (or zoom) comes back to the current entry's sheet
  v.SetBounds(500, 700);
  EXPECT_EQ(v.Offset().Y, -3 * (v.PaperBox().Height + 8));
  Preset(v, 5);  // free text: the editor's keys, no scrolling to an entry
  EXPECT_NE(v.KeyToCommand(vkEnd, ssCtrl), vcScrollEnd);
  v.SelectPerson(6);
  EXPECT_EQ(v.Offset().Y, 0);
}

TEST_F(PostView, TheSenderIsAPrivateCopy) {
  TPostView v;
  Fill(1);
  TPerson* sender = static_cast<TPerson*>(Book.AddText(Utf8ToSjis("送り主,おくりぬし,,,,9876543,大阪府")));
  v.SetSender(sender);
  sender->SetName(SJ("別人"));
  ASSERT_NE(v.Sender(), nullptr);
  EXPECT_EQ(U8(v.Sender()->Name()), "送り主");
  EXPECT_NE(v.Sender(), sender);
  v.SetSender(nullptr);
  EXPECT_EQ(v.Sender(), nullptr);
}

TEST_F(PostView, OnScreenTheCardWithItsPreprintedPartsAndGuides) {
  TPostView v;
  TFakeViewHost host;
  v.SetHost(&host);
  v.SetBounds(600, 800);
  Fill(2);
  v.SetPersons(&Book);
  TRecordingCanvas c = PaintAll(v);
  EXPECT_TRUE(HasText(c, "郵便はがき"));  // shown, not printed
  EXPECT_TRUE(HasText(c, "名前1様"));
  int frames = 0;
  for (const TCanvasOp& op : c.Ops) frames += op.Kind == TCanvasOp::opPolyline;
  EXPECT_EQ(frames, 14);
  v.SetShowGuides(true);
  EXPECT_FALSE(host.Invalidated.empty());
  c = PaintAll(v);
  frames = 0;
  for (const TCanvasOp& op : c.Ops) frames += op.Kind == TCanvasOp::opPolyline;
  EXPECT_EQ(frames, 14 + 2);  // the address and the name of the first card
  // lengths follow the zoom: the title's step is 3.2 mm at the screen's scale
  const TCanvasOp* title = nullptr;
  for (const TCanvasOp* t : c.Texts())
    if (t->Text == SJ("郵便はがき")) title = t;
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->Advances[0], 2 * RoundHalfEven(3.2 * 96 / 25.4 * v.Zoom()));
}

TEST_F(PostView, PicturesComeFromTheViewsFolder) {
  std::vector<std::string> asked;
  SetPictureLoader([&](const std::string& name) -> std::shared_ptr<TPicture> {
    asked.push_back(name);
    return nullptr;
  });
  TPostView v;
  v.PictureFolder = "/cards/";
  Preset(v, 8);
  SetPictureLoader(nullptr);
  EXPECT_EQ(asked, (std::vector<std::string>{"/cards/Stamp2.bmp", "/cards/FooterImage1.bmp"}));
  EXPECT_FALSE(v.Pictures().Stamp);  // a missing file shows no picture
}

TEST_F(PostView, PrintingWhitensTheCardAndRestoresTheStyleEvenWhenItFails) {
  TFakePrinterBackend& b = InstallFakePrinter();
  TPostView v;
  TFakeViewHost host;
  v.SetHost(&host);
  v.SetBounds(600, 800);
  Fill(5);
  v.SetPersons(&Book);
  v.SelectPerson(2);
  const std::string before = v.PostStyle().GetText();
  const TColor card = v.PostStyle().ViewInfo(TPostStyle::viAtenaName)->BackColor();
  std::vector<TColor> whilePrinting;
  v.OnPaint = [&](const TPaintInfo&) {
    if (v.Printing()) whilePrinting.push_back(v.PostStyle().ViewInfo(TPostStyle::viAtenaName)->BackColor());
  };
  EXPECT_EQ(v.Print("cards", 0, 0), 5);
  ASSERT_EQ(whilePrinting.size(), 5u);
  EXPECT_EQ(whilePrinting[0], clWhite);
  EXPECT_EQ(v.PostStyle().ViewInfo(TPostStyle::viAtenaName)->BackColor(), card);
  EXPECT_EQ(v.PostStyle().GetText(), before);
  EXPECT_EQ(v.Offset().Y, -2 * (v.PaperBox().Height + 8));

  b.FailNewPageAfter = 2;
  EXPECT_THROW(v.Print("cards", 0, 0), Exception);
  EXPECT_FALSE(b.InDocument());
  EXPECT_EQ(v.PostStyle().ViewInfo(TPostStyle::viAtenaName)->BackColor(), card);
  EXPECT_EQ(v.Offset().Y, -2 * (v.PaperBox().Height + 8));
  EXPECT_FALSE(v.Printing());
}
