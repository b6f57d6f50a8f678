#include <gtest/gtest.h>

#include <QFileInfo>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include "Cp932.h"
#include "QtText.h"
#include "QtVerticalText.h"
#include "Strs.h"

using namespace kaede;

namespace {

QFont Face(const char* utf8Face, int px, bool bold = false) {
  QFont f = MakeFont(Utf8ToSjis(utf8Face), 12, bold);
  f.setPixelSize(px);
  return f;
}

// Every CP932 character, single-byte and double-byte, outside the user-defined area (which
// no installed font can know).
std::string AllCp932() {
  std::string s;
  for (int b = 0x20; b <= 0xDF; ++b)
    if (Cp932ToUnicode(static_cast<unsigned char>(b)) >= 0 && b != 0x7F) s += static_cast<char>(b);
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    if (lead >= 0xF0 && lead <= 0xF9) continue;  // user-defined characters
    for (int trail = 0x40; trail <= 0xFC; ++trail)
      if (Cp932ToUnicode(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)) >= 0) {
        s += static_cast<char>(lead);
        s += static_cast<char>(trail);
      }
  }
  return s;
}

// The box of the pixels darker than the background, or an empty rectangle.
QRect Ink(const QImage& img, const QRect& within) {
  int l = INT32_MAX, t = INT32_MAX, r = -1, b = -1;
  for (int y = within.top(); y <= within.bottom(); ++y)
    for (int x = within.left(); x <= within.right(); ++x)
      if (qGray(img.pixel(x, y)) < 128) {
        l = std::min(l, x), t = std::min(t, y), r = std::max(r, x), b = std::max(b, y);
      }
  return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}

QImage Draw(const QFont& font, const std::string& sjis, const std::vector<int32_t>* advances = nullptr) {
  QImage img(200, 400, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setPen(Qt::black);
  DrawVerticalText(p, font, 150, 20, sjis, advances ? advances->data() : nullptr);
  return img;
}

}  // namespace

// No character of the code page comes out as an empty box in the faces the styles name.
TEST(QtVerticalText, EveryCp932CharacterHasAGlyphInTheDefaultFaces) {
  const std::string all = AllCp932();
  for (const char* face : {"ＭＳ ゴシック", "ＭＳ 明朝", "ＭＳ Ｐゴシック", "ＭＳ Ｐ明朝"}) {
    std::vector<TVerticalGlyph> glyphs = VerticalGlyphs(Face(face, 24), all);
    int missing = 0;
    for (const TVerticalGlyph& g : glyphs)
      if (g.Glyph == 0 && g.Code != 0x20) {
        if (++missing < 10) ADD_FAILURE() << face << ": no glyph for U+" << std::hex << g.Code;
      }
    EXPECT_EQ(missing, 0) << face;
    EXPECT_GT(glyphs.size(), 7000u);
  }
}

TEST(QtVerticalText, FullWidthUprightWithVerticalFormsHalfWidthOnTheirSide) {
  QFont f = Face("ＭＳ ゴシック", 32);
  auto one = [&](const char* utf8) { return VerticalGlyphs(f, Utf8ToSjis(utf8)).at(0); };
  // the font's own vertical glyphs for punctuation, brackets, the long vowel mark, small kana
  for (const char* c : {"、", "。", "「", "」", "（", "）", "ー", "ぁ", "ッ"}) {
    TVerticalGlyph g = one(c);
    EXPECT_TRUE(g.VerticalForm) << c;
    EXPECT_FALSE(g.Rotated) << c;
  }
  for (const char* c : {"あ", "漢", "Ａ", "１"}) {
    TVerticalGlyph g = one(c);
    EXPECT_FALSE(g.Rotated) << c;
    EXPECT_FALSE(g.VerticalForm) << c;
    EXPECT_DOUBLE_EQ(g.Advance, 32) << c;
  }
  // half-width letters, digits and kana lie on their side
  for (const char* c : {"A", "1", "ｱ", "-"}) EXPECT_TRUE(one(c).Rotated) << c;
  // a full-width colon has no vertical form in this face: it is turned, as vertical text turns it
  TVerticalGlyph colon = one("：");
  EXPECT_TRUE(colon.Rotated || colon.VerticalForm);
}

// A face without vertical forms: dashes and ellipses are turned explicitly so that they run
// along the column; Greek stays upright; kana come from a fallback face.
TEST(QtVerticalText, FaceWithoutVerticalFormsTurnsDashesItself) {
  if (!QFontDatabase::hasFamily(QStringLiteral("DejaVu Sans"))) GTEST_SKIP() << "DejaVu Sans is not installed";
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(30);
  std::vector<TVerticalGlyph> g = VerticalGlyphs(f, SJ("―…αあ"));
  ASSERT_EQ(g.size(), 4u);
  EXPECT_TRUE(g[0].Rotated && g[0].Family == QStringLiteral("DejaVu Sans"));
  EXPECT_TRUE(g[1].Rotated);
  EXPECT_FALSE(g[2].Rotated);
  EXPECT_NE(g[3].Family, QStringLiteral("DejaVu Sans"));
  EXPECT_NE(g[3].Glyph, 0u);
}

TEST(QtVerticalText, AdvancesArePerByteAlongTheColumn) {
  QFont f = Face("ＭＳ ゴシック", 20);
  std::string s = SJ("あA。ｱ");
  std::vector<int32_t> adv(s.size(), -1);
  VerticalAdvances(f, s, adv.data());
  EXPECT_EQ(adv, (std::vector<int32_t>{20, 0, 10, 20, 0, 10}));
}

// What a reader sees: glyphs inside the column, each at its own advance; a hyphen turned so
// that it runs along the column; the long vowel mark as a vertical stroke.
TEST(QtVerticalText, DrawnInsideTheColumnAtTheGivenAdvances) {
  QFont f = Face("ＭＳ ゴシック", 40);
  QRect column(110, 0, 40, 400);  // x = 150 is the right edge, 40 pixels wide

  QImage a = Draw(f, SJ("あ"));
  QRect ink = Ink(a, a.rect());
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_TRUE(column.contains(ink)) << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
  EXPECT_GE(ink.top(), 20);
  EXPECT_LE(ink.bottom(), 60);

  std::vector<int32_t> adv{100, 0, 40, 0};
  QImage two = Draw(f, SJ("ああ"), &adv);
  QRect second = Ink(two, QRect(0, 100, 200, 300));
  ASSERT_FALSE(second.isEmpty());
  EXPECT_GE(second.top(), 120);
  EXPECT_LE(second.bottom(), 160);
  EXPECT_TRUE(Ink(two, QRect(0, 62, 200, 58)).isEmpty());  // nothing between the two cells

  QImage hyphen = Draw(f, "-");
  QRect h = Ink(hyphen, hyphen.rect());
  ASSERT_FALSE(h.isEmpty());
  EXPECT_GT(h.height(), h.width());
  EXPECT_TRUE(column.contains(h));

  QImage bar = Draw(f, SJ("ー"));
  QRect v = Ink(bar, bar.rect());
  ASSERT_FALSE(v.isEmpty());
  EXPECT_GT(v.height(), 2 * v.width());
}

TEST(QtVerticalText, ControlCharactersAndEmptyTextDrawNothing) {
  QFont f = Face("ＭＳ ゴシック", 30);
  EXPECT_TRUE(Ink(Draw(f, std::string()), QRect(0, 0, 200, 400)).isEmpty());
  EXPECT_TRUE(Ink(Draw(f, "\t\t"), QRect(0, 0, 200, 400)).isEmpty());
  // a byte that is no CP932 character still takes its place and draws no box of its own
  std::string bad = "\xA0";
  std::vector<int32_t> adv(1, -1);
  VerticalAdvances(f, bad, adv.data());
  EXPECT_GT(adv[0], 0);
}

TEST(QtVerticalText, UnderlineRunsDownTheLeftOfTheColumn) {
  QFont f = Face("ＭＳ ゴシック", 40);
  f.setUnderline(true);
  QImage img = Draw(f, SJ("　　"));  // full-width spaces: only the line is inked
  QRect ink = Ink(img, img.rect());
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_LT(ink.right(), 120);
  EXPECT_GE(ink.left(), 110);
  EXPECT_EQ(ink.top(), 20);
  EXPECT_EQ(ink.bottom(), 99);
}

// The PDF writer takes the same glyph runs: a page of vertical text has its font embedded.
TEST(QtVerticalText, APdfPageEmbedsTheFace) {
  QTemporaryDir dir;
  QString file = dir.filePath("v.pdf");
  {
    QPdfWriter pdf(file);
    pdf.setResolution(600);
    QPainter p(&pdf);
    QFont f = Face("ＭＳ 明朝", 200);
    DrawVerticalText(p, f, 2000, 300, SJ("縦書きの「テスト」。ABC"), nullptr);
  }
  QFile in(file);
  ASSERT_TRUE(in.open(QIODevice::ReadOnly));
  QByteArray data = in.readAll();
  EXPECT_TRUE(data.contains("/FontFile")) << "no embedded font";
  EXPECT_TRUE(data.contains("IPAMincho"));
}

// A sheet of every character of the code page in vertical columns, on an image and on a PDF
// page. Setting KAEDE_SAMPLE_DIR keeps the two files there for a look.
TEST(QtVerticalText, EveryCharacterOnOnePage) {
  const std::string all = AllCp932();
  const char* keep = std::getenv("KAEDE_SAMPLE_DIR");
  QTemporaryDir dir;
  QString folder = keep ? QString::fromLocal8Bit(keep) : dir.path();
  auto paint = [&](QPainter& p, int px, int width, int height) {
    QFont f = Face("ＭＳ 明朝", px);
    const int perColumn = height / px - 2;
    int x = width - px, y = px, chars = 0;
    size_t start = 0;
    for (size_t i = 0; i <= all.size();) {
      if (i == all.size() || chars == perColumn) {
        DrawVerticalText(p, f, x, y, std::string_view(all).substr(start, i - start), nullptr);
        x -= px + px / 4;
        if (x < px) {
          x = width - px;
          // further characters would fall off the page: the caller sizes it for all of them
        }
        start = i;
        chars = 0;
        if (i == all.size()) break;
      }
      i += CharLenAt(all, i);
      ++chars;
    }
  };
  QImage img(2400, 1400, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    p.setPen(Qt::black);
    paint(p, 12, img.width(), img.height());
  }
  EXPECT_FALSE(Ink(img, QRect(2300, 0, 100, 200)).isEmpty());
  ASSERT_TRUE(img.save(folder + "/every-cp932-vertical.png"));
  {
    QPdfWriter pdf(folder + "/every-cp932-vertical.pdf");
    pdf.setPageSize(QPageSize(QPageSize::A3));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setResolution(300);
    QPainter p(&pdf);
    paint(p, 30, pdf.width(), pdf.height());
  }
  EXPECT_GT(QFileInfo(folder + "/every-cp932-vertical.pdf").size(), 10000);

  // a few lines of running text at a reading size, plain, bold and underlined
  QImage lines(700, 900, QImage::Format_RGB32);
  lines.fill(Qt::white);
  {
    QPainter p(&lines);
    p.setPen(Qt::black);
    const char* texts[] = {"「こんにちは。」と彼女は言った──ちょっと待って……", "東京都千代田区丸の内１－２－３　ＡＢＣビル１２Ｆ",
                           "〒100-0005 TEL 03-1234-5678（代表）", "ゃゅょっァィゥェォー～＝：；！？‥"};
    int x = 680;
    for (const char* t : texts) {
      for (int style = 0; style < 3; ++style) {
        QFont f = Face(style == 1 ? "ＭＳ ゴシック" : "ＭＳ 明朝", 36, style == 1);
        f.setUnderline(style == 2);
        DrawVerticalText(p, f, x, 10, Utf8ToSjis(t), nullptr);
        x -= 54;
      }
    }
  }
  ASSERT_TRUE(lines.save(folder + "/vertical-lines.png"));
}
