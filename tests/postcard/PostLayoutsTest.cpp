// The layout of one card, checked through the recording canvas at 600 dots per inch with
// fixed-width metrics (a single-byte character is half the font height wide, a double-byte
// one the full height).
#include <gtest/gtest.h>

#include <map>

#include "PersonLists.h"
#include "PostLayouts.h"
#include "SheetPrinters.h"
#include "TestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

int32_t Px(double mm) { return RoundHalfEven(mm * 600 / 25.4); }

struct TCard {
  TPostStyle* S = TDataItem::Make<TPostStyle>();
  TPersonList Book;
  TRecordingCanvas C{600};
  TPostPaint Paint;
  explicit TCard(int preset = 0) {
    if (preset > 0) {
      S->SetDefaultIndex(preset);
      S->EnsurePreset();
    }
    // the card, or on a sheet of A4 labels the first label
    const TBaseStyleValues& b = S->Base();
    const bool a4 = b.PaperSize == kPaperA4;
    const double w = ((a4 ? 210 : b.PaperWidth) - b.PaperMarginLeft - b.PaperMarginRight) / b.PaperLevelDivide;
    const double h = ((a4 ? 297 : b.PaperHeight) - b.PaperMarginTop - b.PaperMarginBottom) / b.PaperVerticalDivide;
    Paint.PageRect = {0, 0, Px(w), Px(h)};
  }
  ~TCard() { S->Free(); }
  TPerson* Add(const char* utf8Text) { return static_cast<TPerson*>(Book.AddText(Utf8ToSjis(utf8Text))); }
  TPostLayout Draw(const TPerson* person, bool printing, const TPerson* sender = nullptr) {
    C.Ops.clear();
    Paint.Person = person;
    Paint.Sender = sender;
    Paint.Printing = printing;
    TPostLayout layout(*S, C, Paint);
    layout.Draw();
    return layout;
  }
  std::vector<const TCanvasOp*> Ops(TCanvasOp::TKind kind) const {
    std::vector<const TCanvasOp*> r;
    for (const TCanvasOp& op : C.Ops)
      if (op.Kind == kind) r.push_back(&op);
    return r;
  }
  // The text operation whose text is `utf8`; fails the test when there is none.
  const TCanvasOp& Text(const char* utf8) const {
    for (const TCanvasOp* op : C.Texts())
      if (op->Text == Utf8ToSjis(utf8)) return *op;
    ADD_FAILURE() << "no text " << utf8;
    static TCanvasOp none;
    return none;
  }
  std::vector<std::string> TextsU8() const {
    std::vector<std::string> r;
    for (const TCanvasOp* op : C.Texts()) r.push_back(U8(op->Text));
    return r;
  }
};

int32_t Sum(const TIntegers& a) {
  int32_t s = 0;
  for (int32_t v : a) s += v;
  return s;
}

const char* kYamada = "\"山田 太郎\",\"やまだ たろう\",自宅:03-1234-5678|携帯:090-1111-2222,個人:taro@example.jp,,123-4567,"
                      "東京都千代田区丸の内1-2-3,,,,,,様,,花子";

}  // namespace

TEST(PostLayout, TheOfficialCardPrintsDigitsInTheBoxesAndNothingPrePrinted) {
  TCard card;
  TPerson* p = card.Add(kYamada);
  TPostLayout layout = card.Draw(p, true);
  TRect boxes[7];
  layout.CodeBoxes(false, boxes);
  const int32_t lefts[7] = {1039, 1207, 1375, 1547, 1710, 1873, 2036};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(boxes[i].Left, lefts[i]) << i;
  EXPECT_EQ(boxes[0].Top, Px(11.8));
  EXPECT_EQ(boxes[3].Top, Px(12.0));

  // the large and the small boxes take one run each; every digit is centred in its box
  auto texts = card.C.Texts();
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(texts[0]->Text, "123");
  EXPECT_EQ(texts[1]->Text, "4567");
  for (int i = 0; i < 7; ++i) {
    const TCanvasOp& run = *texts[i < 3 ? 0 : 1];
    const size_t k = static_cast<size_t>(i < 3 ? i : i - 3);
    int32_t x = run.X;
    for (size_t j = 0; j < k; ++j) x += run.Advances[j];
    const int32_t w = run.Font.Height / 2;  // a half-width digit
    const TRect& b = boxes[i];
    EXPECT_FALSE(run.Font.Vertical);
    EXPECT_EQ(run.Font.Height, RoundHalfEven((b.Bottom - b.Top) * 0.65)) << i;
    EXPECT_LE(std::abs((x + w / 2) - (b.Left + b.Right) / 2), 1) << i;
    EXPECT_LE(std::abs((run.Y + run.Font.Height / 2) - (b.Top + b.Bottom) / 2), 1) << i;
  }
  EXPECT_EQ(texts[1]->Advances.back(), texts[1]->Font.Height / 2);
  EXPECT_EQ(texts[0]->Font.Height, 132);
  EXPECT_EQ(texts[1]->Font.Height, 127);
  // only digits, address and name: no frames, title, stamp, guides or paper
  EXPECT_EQ(card.TextsU8(),
            (std::vector<std::string>{"123", "4567", "東京都千代田区丸の内一-二-三", "山田太郎様", "花子様"}));
  EXPECT_TRUE(card.Ops(TCanvasOp::opPolyline).empty());
  EXPECT_TRUE(card.Ops(TCanvasOp::opFillRect).empty());
  EXPECT_TRUE(card.Ops(TCanvasOp::opPicture).empty());
}

TEST(PostLayout, OnScreenTheFramesTheBarAndTheTitle) {
  TCard card;
  card.Paint.ShowGuides = true;
  TPostLayout layout = card.Draw(nullptr, false);
  // a page without a person shows only the background
  auto texts = card.C.Texts();
  ASSERT_EQ(texts.size(), 1u);
  const TCanvasOp& title = *texts[0];
  EXPECT_EQ(U8(title.Text), "郵便はがき");
  EXPECT_EQ(title.X, Px(43));
  EXPECT_EQ(title.Y, Px(5));
  // ten bytes over 32 mm: 3.2 mm a byte, on the lead byte of each character
  EXPECT_EQ(title.Advances, (TIntegers{2 * Px(3.2), 0, 2 * Px(3.2), 0, 2 * Px(3.2), 0, 2 * Px(3.2), 0, 2 * Px(3.2), 0}));
  EXPECT_NEAR(Sum(title.Advances), Px(32), 5);
  EXPECT_EQ(title.Font.Color, RgbColor(0xFF0000));

  // the addressee's seven boxes (red, 0.4 and 0.3 mm) and the sender's seven (shared sides)
  auto frames = card.Ops(TCanvasOp::opPolyline);
  ASSERT_EQ(frames.size(), 14u);
  EXPECT_EQ(frames[0]->Pen.Width, Px(0.4));
  EXPECT_EQ(frames[3]->Pen.Width, Px(0.3));
  EXPECT_EQ(frames[0]->Pen.Color, RgbColor(0xFF0000));
  EXPECT_EQ(frames[0]->Points.size(), 5u);
  EXPECT_EQ(frames[1]->Points.size(), 5u);  // gaps between the addressee's boxes
  // the bar between the third and the fourth box, as thick as the large boxes' line
  TRect boxes[7];
  layout.CodeBoxes(false, boxes);
  auto fills = card.Ops(TCanvasOp::opFillRect);
  ASSERT_EQ(fills.size(), 2u);  // the paper, the bar
  const TRect& bar = fills[1]->Rect;
  EXPECT_EQ(bar.Left, boxes[2].Right);
  EXPECT_EQ(bar.Right, boxes[3].Left);
  EXPECT_EQ(bar.Bottom - bar.Top, Px(0.4));
  EXPECT_LE(std::abs((bar.Top + bar.Bottom) / 2 - (boxes[3].Top + boxes[3].Bottom) / 2), 1);
}

TEST(PostLayout, SenderBoxesWithoutGapsShareTheirSides) {
  TCard card(1);
  card.Draw(nullptr, false);
  auto frames = card.Ops(TCanvasOp::opPolyline);
  ASSERT_EQ(frames.size(), 14u);
  // boxes 0 and 3 of the sender are closed; the others leave out their left side
  const size_t closed[7] = {5, 4, 4, 5, 4, 4, 4};
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(frames[7 + i]->Points.size(), closed[i]) << i;
  EXPECT_EQ(frames[7]->Pen.Style, TPenStyle::Dot);
  EXPECT_EQ(frames[8]->Points[0], (TPoint{Px(6) + Px(4), Px(137.5)}));
  // sender boxes: 6 mm and 19 mm from the left, 4 mm wide, touching
  EXPECT_EQ(frames[7]->Points[0], (TPoint{Px(6), Px(137.5)}));
  EXPECT_EQ(frames[10]->Points[0], (TPoint{Px(19), Px(137.5)}));
}

TEST(PostLayout, VerticalAddressTurnsBlockNumbersIntoKanji) {
  TCard card;
  TPerson* p = card.Add("a,a,,,,1234567,東京都千代田区丸の内1-2-3");
  card.Draw(p, true);
  const TCanvasOp& a = card.Text("東京都千代田区丸の内一-二-三");
  EXPECT_TRUE(a.Font.Vertical);
  // the half-width hyphens stay half-width: the vertical font draws them as strokes
  EXPECT_EQ(a.Advances[a.Text.size() - 3], a.Font.Height / 2);
  // q = round(106 mm x 0.06), at most 6 mm
  EXPECT_EQ(a.Font.Height, Px(6));
  // one line: centred across the 23 mm, from the top
  TRect r{Px(70), Px(27), Px(70) + Px(23), Px(27) + Px(106)};
  EXPECT_EQ(a.Y, r.Top);
  EXPECT_EQ(a.X, r.Right - (Px(23) - a.Font.Height) / 2);
}

TEST(PostLayout, VerticalNumbersAreWrittenAsTheStyleChooses) {
  TCard card;
  TPerson* p = card.Add("a,a,,,,1234567,東京都港区芝12丁目105-2|タワー12階1203号室");
  card.S->SetPost(&TPostValues::AddressNumerals, 1);
  card.Draw(p, true);
  // places up to three digits, four digit by digit; the building line keeps each digit
  card.Text("東京都港区芝十二丁目百五-二");
  card.Text("タワー一二階一二〇三号室");
  card.S->SetPost(&TPostValues::BuildingNumerals, 1);
  card.Draw(p, true);
  card.Text("タワー十二階一二〇三号室");

  // arabic: one or two digits upright side by side in one cell of the column, longer runs a
  // digit to a cell
  card.S->SetPost(&TPostValues::AddressNumerals, 2);
  card.Draw(p, true);
  const TCanvasOp& line = card.Text("東京都港区芝　丁目１０５-　");
  const TCanvasOp& twelve = card.Text("12");
  const TCanvasOp& two = card.Text("2");
  const int32_t h = line.Font.Height;
  EXPECT_FALSE(twelve.Font.Vertical);
  EXPECT_EQ(twelve.Font.Height, h);  // two half-width digits fill the cell's width
  EXPECT_EQ(twelve.X, line.X - h);
  EXPECT_EQ(twelve.Y, line.Y + 6 * h);  // after six full-width characters
  EXPECT_EQ(two.X, line.X - h + h / 4);  // one digit centred
  EXPECT_EQ(two.Y, line.Y + 12 * h + h / 2);  // after twelve cells and the half-width hyphen
  // horizontal writing keeps arabic numerals whatever the choice
  card.S->SetPost(&TPostValues::PostVertical, false);
  card.Draw(p, true);
  card.Text("東京都港区芝12丁目105-2");
}

TEST(PostLayout, LongAddressesSplitAfterTheNumberRun) {
  {
    SCOPED_TRACE("vertical, after 1-2-3");
    TCard card;
    TPerson* p = card.Add("a,a,,,,1234567,\"東京都千代田区丸の内1-2-3 丸の内ビルディング12階\"");
    card.Draw(p, true);
    const TCanvasOp& first = card.Text("東京都千代田区丸の内一-二-三");
    const TCanvasOp& second = card.Text("　丸の内ビルディング一二階");
    // the second line stands one line and a quarter to the left and starts at the first
    // line's end less half its own length, pushed up to end at the bottom
    EXPECT_EQ(second.X, first.X - first.Font.Height - RoundHalfEven(first.Font.Height * 0.25));
    const int32_t bottom = Px(27) + Px(106);
    int32_t want = first.Y + Sum(first.Advances) - Sum(second.Advances) / 2;
    if (want + Sum(second.Advances) > bottom) want = bottom - Sum(second.Advances);
    EXPECT_EQ(second.Y, want);
    EXPECT_LE(second.Font.Height, first.Font.Height);
  }
  {
    SCOPED_TRACE("vertical, after 1丁目 (full-width digits do not join the kanji before them)");
    TCard card;
    TPerson* p = card.Add("a,a,,,,5300001,大阪府大阪市北区梅田1丁目2番3号梅田ビルディング");
    card.Draw(p, true);
    card.Text("大阪府大阪市北区梅田一丁目");
    card.Text("二番三号梅田ビルディング");
  }
  {
    SCOPED_TRACE("vertical, a kanji number stays with its 丁目 when the first line is split again");
    TCard card;
    TPerson* p = card.Add("a,a,,,,0600001,北海道札幌市中央区大通南一条西二十一丁目二番地札幌ビルディング");
    card.Draw(p, true);
    card.Text("北海道札幌市中央区大通南一条西");
    card.Text("二十一丁目二番地札幌ビルディング");
  }
  {
    SCOPED_TRACE("horizontal, after 丁目");
    TCard card(3);
    TPerson* p = card.Add("a,a,,,,5300001,大阪府大阪市北区梅田1丁目2番3号梅田ビルディング");
    card.Draw(p, true);
    const TCanvasOp& first = card.Text("大阪府大阪市北区梅田1丁目");
    const TCanvasOp& second = card.Text("2番3号梅田ビルディング");
    EXPECT_EQ(first.X, Px(10));
    const int32_t right = Px(10) + Px(80);
    int32_t want = first.X + Sum(first.Advances) - Sum(second.Advances) / 2;
    if (want + Sum(second.Advances) > right) want = right - Sum(second.Advances);
    EXPECT_EQ(second.X, want);
    EXPECT_EQ(second.Y, first.Y + first.Font.Height + RoundHalfEven(first.Font.Height * 0.25));
  }
  {
    SCOPED_TRACE("plain half-width lines keep their lines and their left edge");
    TCard card(3);
    TPerson* p = card.Add("a,a,,,,1000001,\"1-2-3 Marunouchi|Chiyoda-ku Tokyo\"");
    card.Draw(p, true);
    const TCanvasOp& first = card.Text("1-2-3 Marunouchi");
    const TCanvasOp& second = card.Text("Chiyoda-ku Tokyo");
    EXPECT_EQ(first.X, Px(10));
    EXPECT_EQ(second.X, Px(10));
    EXPECT_EQ(first.Y, Px(36) + RoundHalfEven(first.Font.Height * 0.4));
  }
}

TEST(PostLayout, AnAddressThatFitsNowhereStopsShrinkingAtOnePixel) {
  TCard card(3);
  card.S->SetPost(&TPostValues::AtenaAddressLayout, TMmRect{10, 28, 0.1, 24});
  TPerson* p = card.Add("a,a,,,,1000001,東京都千代田区");
  card.Draw(p, true);
  const TCanvasOp& a = card.Text("東京都千代田区");
  EXPECT_EQ(a.Font.Height, 1);
}

TEST(PostLayout, TheNameIsSpreadAndTheJointNameStandsUnderTheGivenName) {
  TCard card;
  TPerson* p = card.Add(kYamada);
  card.Draw(p, true);
  const TCanvasOp& name = card.Text("山田太郎様");
  const TCanvasOp& joint = card.Text("花子様");
  const TRect r{Px(35), Px(27), Px(35) + Px(35), Px(27) + Px(106)};
  const int32_t L = r.Bottom - r.Top, m = RoundHalfEven(L * 0.1);
  EXPECT_TRUE(name.Font.Vertical);
  EXPECT_EQ(name.Font.Height, Px(10));  // round(L x 0.1), at most 10 mm
  // a short name keeps a tenth of the length free at both ends; its characters are spread
  // evenly and the honorific ends the usable length
  EXPECT_EQ(name.Y, r.Top + m);
  EXPECT_EQ(name.Y + Sum(name.Advances), r.Bottom - m);
  EXPECT_EQ(name.Advances[0], name.Advances[2]);
  EXPECT_EQ(name.Advances[8], name.Font.Height);
  // the joint name: the next column to the left, starting under 太
  EXPECT_EQ(joint.X, name.X - name.Font.Height);
  EXPECT_EQ(joint.Y, name.Y + name.Advances[0] + name.Advances[2]);
  EXPECT_EQ(joint.Y + Sum(joint.Advances), r.Bottom - m);  // the honorifics line up
  // the two columns are centred across the rectangle
  EXPECT_EQ(name.X, r.Right - (Px(35) - 2 * name.Font.Height) / 2);

  // without the honorific the joint name 花子様 is the longer line: the given name is
  // centred over it
  card.S->SetPost(&TPostValues::Keisyo, false);
  card.Draw(p, true);
  card.Text("山田 太郎 ");
  for (const std::string& t : card.TextsU8()) EXPECT_NE(t, "山田太郎様");

  card.S->SetPost(&TPostValues::Renmei, false);
  card.Draw(p, true);
  for (const std::string& t : card.TextsU8()) EXPECT_NE(t, "花子様");
}

TEST(PostLayout, ALongerJointNameCentresTheGivenNameOverIt) {
  TCard card;
  TPerson* p = card.Add("\"山田 一\",\"やまだ はじめ\",,,,1234567,東京都,,,,,,様,,太一郎");
  card.Draw(p, true);
  // 山田 + two spaces + 一 + two spaces + 様 over 太一郎様
  const TCanvasOp& name = card.Text("山田  一  様");
  const TCanvasOp& joint = card.Text("太一郎様");
  // both end together (the division remainders apart), and 一 stands beside 一
  EXPECT_NEAR(name.Y + Sum(name.Advances), joint.Y + Sum(joint.Advances), 8);
  EXPECT_NEAR(joint.Y + joint.Advances[0],
              name.Y + name.Advances[0] + name.Advances[2] + name.Advances[4] + name.Advances[5], 8);
}

TEST(PostLayout, TitlesAndPlainNames) {
  {
    SCOPED_TRACE("the title beside a vertical name, company marks written out");
    TCard card;
    TPerson* p = card.Add("\"佐藤 花子\",\"さとう はなこ\",,,,1234567,東京都,,,,,,,\"㈱佐藤商事 部長\",");
    card.Draw(p, true);
    const TCanvasOp& name = card.Text("佐藤花子様");
    const TCanvasOp& title = card.Text("株式会社佐藤商事 部長");
    const int32_t right = Px(35) + Px(35);
    EXPECT_GT(title.X, name.X);
    EXPECT_LE(title.X, right);
    EXPECT_EQ(title.Font.Height, std::max(RoundHalfEven(Px(106) * 0.05), Px(2.5)));
  }
  {
    SCOPED_TRACE("a Latin name on a horizontal card is not spread, its title below it");
    TCard card(3);
    TPerson* p = card.Add("\"John Smith\",\"john smith\",,,,1234567,Tokyo,,,,,,Mr.,Manager,");
    card.Draw(p, true);
    const TCanvasOp& name = card.Text("Mr.John Smith");
    const TCanvasOp& title = card.Text("Manager");
    EXPECT_EQ(name.Advances[0], name.Font.Height / 2);
    EXPECT_GT(title.Y, name.Y + name.Font.Height - 1);
  }
  {
    SCOPED_TRACE("a label's low name rectangle keeps the title above the name, inside it");
    TCard card(39);
    TPerson* p = card.Add("\"田中 直樹\",\"たなか なおき\",,,,8120011,福岡県,,,,,,,\"営業部 課長\",");
    card.Draw(p, true);
    const TCanvasOp& name = card.Text("田中直樹様");
    const TCanvasOp& title = card.Text("営業部 課長");
    EXPECT_LE(title.Y + title.Font.Height, name.Y);
    EXPECT_GE(title.Y, Px(25) - 1);
    EXPECT_LE(name.Y + name.Font.Height, Px(35) + 1);
  }
}

TEST(PostLayout, TelephoneAndMailLists) {
  TCard card(41);  // business cards show the telephones and mails
  TPerson* none = card.Add("a,a,,,,1234567,Tokyo");
  card.Draw(none, true);  // no items: nothing, and no division by zero
  for (const std::string& t : card.TextsU8()) EXPECT_EQ(t.find(':'), std::string::npos);

  TPerson* p = card.Add(kYamada);
  card.Draw(p, true);
  const TCanvasOp& home = card.Text("自宅:03-1234-5678");
  const TCanvasOp& mobile = card.Text("携帯:090-1111-2222");
  const TRect tel = TPostLayout(*card.S, card.C, card.Paint).ToRect(card.S->Post().AtenaTelLayout);
  const int32_t h = (tel.Bottom - tel.Top) / 2;
  EXPECT_EQ(home.Y, tel.Top);
  EXPECT_EQ(mobile.Y, tel.Top + h);
  EXPECT_EQ(home.X + Sum(home.Advances), tel.Right);  // right-aligned
  card.Text("個人:taro@example.jp");

  TCard vertical;
  vertical.S->ViewInfo(TPostStyle::viAtenaTel)->SetStatus(1);
  vertical.Draw(p, true);
  const TCanvasOp& v0 = vertical.Text("自宅:03-1234-5678");
  const TCanvasOp& v1 = vertical.Text("携帯:090-1111-2222");
  const int32_t bottom = Px(27) + Px(106), right = Px(30) + Px(5);
  EXPECT_EQ(v0.X, right);
  EXPECT_EQ(v1.X, right - Px(5) / 2);
  EXPECT_EQ(v0.Y + Sum(v0.Advances), bottom);
}

TEST(PostLayout, PostalCodesOfEveryShape) {
  TCard card;
  card.Draw(card.Add("a,a,,,,１２３４５６７,東京都"), true);
  EXPECT_EQ(card.TextsU8()[1], "４５６７");  // seven characters, not fourteen bytes
  EXPECT_EQ(card.C.Texts()[1]->Advances.size(), 8u);
  card.Draw(card.Add("a,a,,,,123456,東京都"), true);
  EXPECT_EQ(card.TextsU8().front(), "東京都");  // six characters draw no digits

  TCard text(2);  // the sender's code as text
  TPerson* sender = text.Add("送り主,おくりぬし,,,,9876543,大阪府");
  text.Draw(text.Add(kYamada), true, sender);
  const TCanvasOp& t = text.Text("〒987-6543");
  TPostLayout l(*text.S, text.C, text.Paint);
  const TRect r = l.ToRect(text.S->Post().SenderPostCodeTextLayout);
  EXPECT_EQ(t.X, r.Left);
  EXPECT_EQ(t.Y, r.Top);
  EXPECT_EQ(t.Font.Height, RoundHalfEven(Px(4.2) * 0.65));
  text.Text("送り主");
  text.Text("大阪府");
}

TEST(PostLayout, TheReplyCardIsAddressedBackToTheSender) {
  TCard card(12);
  TPerson* sender = card.Add("\"鈴木 一郎\",\"すずき いちろう\",,,,1500001,東京都渋谷区神宮前1-1");
  card.Draw(card.Add(kYamada), true, sender);
  card.Text("鈴木一郎行");
  // the addressee is hidden on the reply half
  for (const std::string& t : card.TextsU8()) EXPECT_EQ(t.find("山田"), std::string::npos);
  // the sender's digits sit in the addressee's boxes, under the title on the left half
  TRect boxes[7];
  TPostLayout(*card.S, card.C, card.Paint).CodeBoxes(true, boxes);
  EXPECT_EQ(boxes[0].Left, 1039);
}

TEST(PostLayout, TheEnvelopeFlapOnScreenAndInPrint) {
  TCard card(28);  // 長形３号 with its flap open: 120 x 261 mm
  ASSERT_EQ(card.Paint.PageRect.Bottom, Px(261));
  TPerson* p = card.Add(kYamada);
  TPostLayout screen = card.Draw(p, false);
  EXPECT_EQ(screen.CardRect().Top, Px(26.5));
  auto polygons = card.Ops(TCanvasOp::opPolygon);
  ASSERT_EQ(polygons.size(), 3u);  // the flap and the two corners beside it
  const int32_t inset = RoundHalfEven(Px(120) * 0.05);
  EXPECT_EQ(polygons[0]->Points[0], (TPoint{inset, 0}));
  EXPECT_EQ(polygons[0]->Points[3], (TPoint{0, Px(26.5)}));
  EXPECT_EQ(polygons[1]->Brush.Color, card.Paint.WorkspaceColor);
  // the layout rectangles are measured from the body
  const TCanvasOp& address = card.Text("東京都千代田区丸の内一-二-三");
  EXPECT_EQ(address.Y, Px(26.5) + Px(35));
  // printing draws no flap and takes the printer's offset off the card
  card.Paint.PrintOffset = {50, 60};
  TPostLayout print = card.Draw(p, true);
  EXPECT_TRUE(card.Ops(TCanvasOp::opPolygon).empty());
  EXPECT_EQ(print.CardRect().Top, Px(26.5) - 60);
  EXPECT_EQ(print.CardRect().Left, -50);
}

TEST(PostLayout, RoundTripFoldAndHalfLine) {
  TCard card(10);
  card.S->SetPost(&TPostValues::RoundTripStr, SJ("折"));
  card.Draw(nullptr, false);
  auto lines = card.Ops(TCanvasOp::opLine);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->Points[0], (TPoint{Px(100), 1}));
  const TCanvasOp& fold = card.Text("折");
  EXPECT_TRUE(fold.Font.Vertical);
  EXPECT_EQ(fold.Font.Height, Px(2.2));
  EXPECT_EQ(fold.X - fold.Font.Height, Px(100) + RoundHalfEven(Px(2.2) / 2.0) + 1);
  card.Draw(nullptr, true);
  EXPECT_TRUE(card.Ops(TCanvasOp::opLine).empty());  // the fold is for the screen

  TCard half;
  half.S->ViewInfo(TPostStyle::viHalfLine)->SetStatus(1);
  half.Draw(nullptr, true);
  auto h = half.Ops(TCanvasOp::opLine);
  ASSERT_EQ(h.size(), 1u);
  EXPECT_EQ(h[0]->Points[0], (TPoint{Px(7), Px(148) / 2}));
  EXPECT_EQ(h[0]->Pen.Style, TPenStyle::Dot);
}

TEST(PostLayout, PicturesComeFromTheProgramDataAndOnlyToTheScreen) {
  struct TFakePicture : TPicture {
    int32_t Width() const override { return 200; }
    int32_t Height() const override { return 100; }
  };
  std::vector<std::string> asked;
  SetPictureLoader([&](const std::string& name) -> std::shared_ptr<TPicture> {
    asked.push_back(name);
    if (name.find("Footer") != std::string::npos) return nullptr;  // a missing file
    return std::make_shared<TFakePicture>();
  });
  TCard card(8);  // New Year card: stamp 2, footer 1
  TPostPictures pics = LoadPostPictures(card.S->Post(), "/data/");
  SetPictureLoader(nullptr);
  EXPECT_EQ(asked, (std::vector<std::string>{"/data/Stamp2.bmp", "/data/FooterImage1.bmp"}));
  ASSERT_TRUE(pics.Stamp);
  EXPECT_FALSE(pics.Header);
  EXPECT_FALSE(pics.Footer);
  EXPECT_EQ(PostPictureFolder().substr(PostPictureFolder().size() - 6), "cards/");

  card.Paint.Pictures = &pics;
  card.Draw(nullptr, false);
  auto drawn = card.Ops(TCanvasOp::opPicture);
  ASSERT_EQ(drawn.size(), 1u);
  // height 0: from the picture's proportions
  const TRect& r = drawn[0]->Rect;
  EXPECT_EQ(r.Left, Px(11));
  EXPECT_EQ(r.Bottom - r.Top, Px(18.5) / 2);
  card.Draw(nullptr, true);
  EXPECT_TRUE(card.Ops(TCanvasOp::opPicture).empty());
}

TEST(PostLayout, EveryPresetLaysOutOddEntriesWithinItsCard) {
  // entries a book may well hold: empty fields, a name without a space, Latin text, a long
  // address of many lines, postal codes too short, too long and in full width, honorifics in
  // front and none, joint names longer than the name
  const char* entries[] = {
      ",,,,,,,,,,,,,,",
      "\"山田 太郎\",やまだ,,,,1234567,\"東京都千代田区丸の内1-2-3|丸の内ビルディング12階|株式会社楓 総務部|気付\",,,,,,,,\"花子|次郎|長い長い名前の人様\"",
      "山田太郎,やまだ,,,,12,東京都,,,,,,（なし）,,",
      "\"John Smith\",js,,,,1234567890123,\"1-2-3 Chiyoda|Tokyo 100-0001 JAPAN\",,,,,,Mr.,\"Director, Sales\",",
      "\"林　太郎\",はやし,,,,１２３－４５６７,大阪府大阪市北区梅田一丁目二番三号梅田第一生命ビルディング地下二階,,,,,,御中,㈱楓 代表取締役社長,",
      "\"佐藤 一\",さとう,携帯:090-1111-2222|自宅:03-1234-5678|FAX:03-1234-5679,a@example.jp|b@example.jp,,9999999,\"Ｘ\",,,,,,様,,\"a|b|c|d|e|f|g|h\"",
  };
  TPersonList book;
  std::vector<TPerson*> persons;
  for (const char* e : entries) persons.push_back(static_cast<TPerson*>(book.AddText(Utf8ToSjis(e))));
  TPerson* sender = persons[1];
  for (int preset = 0; preset < kPostPresetCount; ++preset) {
    TCard card(preset);
    SCOPED_TRACE(U8(card.S->Name()));
    card.Paint.ShowGuides = true;
    const TRect& page = card.Paint.PageRect;
    for (TPerson* p : persons)
      for (bool printing : {false, true}) {
        card.Draw(p, printing, sender);
        for (const TCanvasOp* t : card.C.Texts()) {
          EXPECT_GE(t->Font.Height, 1);
          EXPECT_EQ(t->Advances.size(), t->Text.size());
          // every text starts on the card (a title or a list may run past its end)
          EXPECT_GE(t->X, page.Left - 1) << U8(t->Text);
          EXPECT_LE(t->X, page.Right + 1) << U8(t->Text);
          EXPECT_GE(t->Y, page.Top - 1) << U8(t->Text);
          EXPECT_LE(t->Y, page.Bottom + 1) << U8(t->Text);
        }
      }
  }
}

TEST(PostLayout, ManyJointNamesShareTheNameRectangle) {
  TCard card(39);  // a label: the name has 12 mm
  TPerson* p = card.Add("\"佐藤 一\",さとう,,,,1234567,東京都,,,,,,様,,\"a|b|c|d|e|f|g|h\"");
  card.Draw(p, true);
  const TRect r = TPostLayout(*card.S, card.C, card.Paint).ToRect(card.S->Post().AtenaNameLayout);
  int lines = 0;
  for (const TCanvasOp* t : card.C.Texts()) {
    if (t->Font.Height > Px(4) || t->Y < r.Top || t->Text.find(SJ("様")) == std::string::npos) continue;
    ++lines;
    EXPECT_LE(t->Y + t->Font.Height, r.Bottom) << U8(t->Text);
  }
  EXPECT_EQ(lines, 9);  // the name and its eight joint names, each below 4 mm
}
