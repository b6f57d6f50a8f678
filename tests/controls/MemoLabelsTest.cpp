#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <climits>

#include "Cp932.h"
#include "MemoLabels.h"
#include "QtCanvas.h"
#include "QtText.h"

using namespace kaede;

namespace {

// A recording canvas with fixed-width metrics: a double-byte character is as wide as the font
// is high (12), a single-byte one half of that.
struct TBox {
  TRecordingCanvas Canvas;
  TTextBoxRequest R;
  TBox(const std::string& text, TRect box, int32_t margin = 4) {
    TCanvasFont f;
    f.Height = 12;
    Canvas.SetFont(f);
    R.Canvas = &Canvas;
    R.Box = box;
    R.Clip = box;
    R.Text = text;
    R.HangStr = SJ("、。");
    R.TailHang = true;
    R.LineSpace = 6;
    R.LeftMargin = R.TopMargin = R.RightMargin = R.BottomMargin = margin;
  }
  std::vector<const TCanvasOp*> Texts() const { return Canvas.Texts(); }
};

const TRect kBig{0, 0, 1000, 1000};

}  // namespace

TEST(TextBox, MeasuresParagraphsWithMarginsAndSpaceBetweenLinesOnly) {
  TBox one(SJ("あいう"), kBig);
  EXPECT_EQ(DrawTextBox(one.R), (TTextBoxSize{4 + 36 + 4, 4 + 12 + 4}));
  TBox two(SJ("あいう\r\nあ"), kBig);
  // two lines of 12 + 6, less the space after the last one
  EXPECT_EQ(DrawTextBox(two.R), (TTextBoxSize{44, 8 + 2 * 18 - 6}));
  ASSERT_EQ(two.Texts().size(), 2u);
  EXPECT_EQ(two.Texts()[0]->Text, SJ("あいう"));  // the line break is not drawn
  EXPECT_EQ(two.Texts()[1]->Y, 4 + 18);
  // an italic font adds half its height to the width, for the slant
  TBox italic(SJ("あいう"), kBig);
  TCanvasFont f = italic.Canvas.Font();
  f.Style = fsItalic;
  italic.Canvas.SetFont(f);
  EXPECT_EQ(DrawTextBox(italic.R).Width, 44 + 6);
}

TEST(TextBox, ClosingPunctuationHangsIntoTheMargin) {
  for (const char* mark : {"。", "、", "）"}) {
    TBox b(SJ("あいう") + Utf8ToSjis(mark, TConvMode::Strict), kBig);
    // 48 pixels of text, 40 % of the font height (4.8, rounded to 5) of it may hang
    EXPECT_EQ(DrawTextBox(b.R).Width, 8 + 48 - 5) << mark;
  }
  TBox plain(SJ("あいうえ"), kBig);
  EXPECT_EQ(DrawTextBox(plain.R).Width, 8 + 48);
  // "＝" then "B" ends in the bytes of "。" (0x81 0x42), but the 0x81 is the trail byte of "＝"
  TBox latin(SJ("＝") + "B", kBig);
  EXPECT_EQ(DrawTextBox(latin.R).Width, 8 + 18);
}

TEST(TextBox, WrapsToTheInnerWidthAndKeepsTheBreaksInTheCache) {
  TIntegers cache;
  TBox b(SJ("あいうえお"), TRect{0, 0, 4 + 24 + 4, 1000});
  b.R.BreakCache = &cache;
  TTextBoxSize s = DrawTextBox(b.R);
  ASSERT_EQ(b.Texts().size(), 3u);
  EXPECT_EQ(b.Texts()[0]->Text, SJ("あい"));
  EXPECT_EQ(b.Texts()[2]->Text, SJ("お"));
  EXPECT_EQ(s.Height, 8 + 3 * 18 - 6);
  EXPECT_EQ(cache, (TIntegers{4, 4, 2}));
  // the cache is used as it stands: a caller that keeps it skips the breaking
  cache = {6, 4};
  TBox again(SJ("あいうえお"), TRect{0, 0, 32, 1000});
  again.R.BreakCache = &cache;
  DrawTextBox(again.R);
  ASSERT_EQ(again.Texts().size(), 2u);
  EXPECT_EQ(again.Texts()[0]->Text, SJ("あいう"));
  // the full stop hangs at the end of the line rather than start the next one
  TBox hang(SJ("あい。う"), TRect{0, 0, 32, 1000});
  DrawTextBox(hang.R);
  ASSERT_EQ(hang.Texts().size(), 2u);
  EXPECT_EQ(hang.Texts()[0]->Text, SJ("あい。"));
  // without wrapping only CR LF breaks lines
  TBox nowrap(SJ("あいうえお\r\nか"), TRect{0, 0, 32, 1000});
  nowrap.R.Wrap = false;
  DrawTextBox(nowrap.R);
  ASSERT_EQ(nowrap.Texts().size(), 2u);
  EXPECT_EQ(nowrap.Texts()[0]->Text, SJ("あいうえお"));
}

TEST(TextBox, BoxesUpToTheWholeIntegerRangeAreMeasuredWithoutOverflow) {
  // the width of this box does not fit 32 bits; the text must still be laid out
  TBox b(SJ("あいう"), TRect{-8, 0, INT32_MAX, 1000});
  TTextBoxSize s = DrawTextBox(b.R);
  EXPECT_EQ(s.Width, 44);
  ASSERT_EQ(b.Texts().size(), 1u);
  EXPECT_EQ(b.Texts()[0]->X, -8 + 4);
  // at the end of the line: the text's right edge at the box's right edge less the margin
  TBox end(SJ("あいう"), TRect{0, 0, INT32_MAX, 1000});
  end.R.LineAlign = taEnd;
  DrawTextBox(end.R);
  ASSERT_EQ(end.Texts().size(), 1u);
  EXPECT_EQ(end.Texts()[0]->X, INT32_MAX - 4 - 36);
  // margins wider than the box leave no room: nothing is drawn
  TBox narrow(SJ("あ"), TRect{0, 0, 8, 100});
  EXPECT_EQ(DrawTextBox(narrow.R), TTextBoxSize{});
  EXPECT_TRUE(narrow.Canvas.Ops.empty());
}

TEST(TextBox, EmptyTextClipAndMeasuringDrawOnlyWhatTheyShould) {
  TBox empty("", TRect{0, 0, 50, 30});
  EXPECT_EQ(DrawTextBox(empty.R), TTextBoxSize{});
  ASSERT_EQ(empty.Canvas.Ops.size(), 1u);  // the background of the box
  EXPECT_EQ(empty.Canvas.Ops[0].Kind, TCanvasOp::opFillRect);
  TBox clear("", TRect{0, 0, 50, 30});
  clear.R.Transparent = true;
  DrawTextBox(clear.R);
  EXPECT_TRUE(clear.Canvas.Ops.empty());
  TBox outside(SJ("あ"), TRect{0, 0, 50, 30});
  outside.R.Clip = TRect{60, 0, 80, 30};
  EXPECT_EQ(DrawTextBox(outside.R), TTextBoxSize{});
  EXPECT_TRUE(outside.Canvas.Ops.empty());
  TBox measure(SJ("あいう"), kBig);
  measure.R.MeasureOnly = true;
  EXPECT_EQ(DrawTextBox(measure.R).Width, 44);
  EXPECT_TRUE(measure.Canvas.Ops.empty());
  // an opaque line fills its own band of the box; the results never exceed the box
  TBox opaque(SJ("あいうえお"), TRect{0, 0, 40, 20});
  opaque.R.Wrap = false;
  EXPECT_EQ(DrawTextBox(opaque.R), (TTextBoxSize{40, 20}));
  ASSERT_EQ(opaque.Texts().size(), 1u);
  EXPECT_TRUE(opaque.Texts()[0]->Opaque);
  EXPECT_EQ(opaque.Texts()[0]->Rect, (TRect{0, 0, 40, 20}));
}

TEST(TextBox, AlignsBlocksAndLines) {
  TBox end(SJ("あ\r\nい"), TRect{0, 0, 100, 100});
  end.R.BlockAlign = taEnd;
  end.R.LineAlign = taCenter;
  DrawTextBox(end.R);
  ASSERT_EQ(end.Texts().size(), 2u);
  // the block ends on the bottom margin with its lines in reading order
  EXPECT_EQ(end.Texts()[0]->Text, SJ("あ"));
  EXPECT_EQ(end.Texts()[0]->Y, 100 - 4 - 36);
  EXPECT_EQ(end.Texts()[1]->Y, 100 - 4 - 18);
  EXPECT_EQ(end.Texts()[0]->X, (100 - 12) / 2);
  TBox centre(SJ("あ"), TRect{0, 0, 100, 100});
  centre.R.BlockAlign = taCenter;
  DrawTextBox(centre.R);
  EXPECT_EQ(centre.Texts()[0]->Y, (100 - 18) / 2);
  // a block taller than the box starts at its top, not above it
  TBox tall(SJ("あ\r\nい\r\nう\r\nえ"), TRect{0, 0, 100, 40});
  tall.R.BlockAlign = taCenter;
  DrawTextBox(tall.R);
  EXPECT_EQ(tall.Texts()[0]->Y, 0);
}

TEST(TextBox, VerticalWritingPutsColumnsFromTheRight) {
  TBox v(SJ("あいう\r\nえ"), TRect{0, 0, 100, 200});
  v.R.Vertical = true;
  TTextBoxSize s = DrawTextBox(v.R);
  ASSERT_EQ(v.Texts().size(), 2u);
  EXPECT_TRUE(v.Texts()[0]->Font.Vertical);
  EXPECT_EQ(v.Texts()[0]->X, 100 - 4);
  EXPECT_EQ(v.Texts()[1]->X, 100 - 4 - 18);
  EXPECT_EQ(v.Texts()[0]->Y, 4);
  EXPECT_EQ(s, (TTextBoxSize{8 + 2 * 18 - 6, 8 + 36}));
  EXPECT_FALSE(v.Canvas.Font().Vertical);  // the caller's font comes back
}

TEST(MemoLabel, BackslashNBreaksALine) {
  EXPECT_EQ(ExpandLineBreaks(SJ("一行目\\n二行目")), SJ("一行目\r\n二行目"));
  // a backslash that is the trail byte of a double-byte character is not one
  std::string so = SJ("ソ") + "n";
  EXPECT_EQ(ExpandLineBreaks(so), so);
  EXPECT_EQ(ExpandLineBreaks("a\\\\b"), "a\\\\b");
}

TEST(MemoLabel, SizesItselfToItsTextAndMeasuresLineBreaksAsItPaintsThem) {
  QWidget parent;
  auto* label = new TMemoLabel(&parent);
  label->SetAutoSize(true);
  parent.show();
  label->SetCaption(SJ("あいう"));
  const int h = QFontInfo(label->font()).pixelSize();
  const TTextBoxSize one = label->Measured();
  EXPECT_EQ(label->height(), 4 + h + 4);
  EXPECT_EQ(label->width(), one.Width);
  EXPECT_GT(one.Width, 8);
  // two paragraphs: two lines and one line space between them
  label->SetCaption(SJ("あいう\r\nあ"));
  EXPECT_EQ(label->height(), 8 + 2 * (h + 6) - 6);
  EXPECT_EQ(label->Captions().size(), 2u);
  // a backslash-n pair is painted as a line break, so it is measured as one
  label->SetCaption(SJ("あいう\\nあ"));
  EXPECT_EQ(label->height(), 8 + 2 * (h + 6) - 6);
  EXPECT_EQ(label->width(), one.Width);
  // a positive default width wraps the text to it, in a square box: three lines are cut to
  // the box's height
  label->SetDefaultWidth(8 + 2 * h + 1);
  EXPECT_LE(label->width(), 8 + 2 * h + 1);
  EXPECT_EQ(label->height(), 8 + 2 * h + 1);
  // a label of fixed width tells layouts the height of its text there
  EXPECT_EQ(label->heightForWidth(1000), 8 + 2 * (h + 6) - 6);
  EXPECT_GT(label->heightForWidth(8 + 2 * h), label->heightForWidth(1000));
  // setting the same caption again changes nothing
  const QSize before = label->size();
  label->SetCaption(label->Caption().substr(0, label->Caption().size() - 2));
  EXPECT_EQ(label->size(), before);
}

TEST(MemoLabel, PaintsItsColourAndFramesAroundAnEmptyCaption) {
  QWidget parent;
  parent.setStyleSheet("background: white");
  auto* label = new TMemoLabel(&parent);
  label->SetColor(0x0000FF);  // red
  label->SetCaption("");
  parent.resize(200, 200);
  parent.show();
  QImage plain = label->grab().toImage();
  EXPECT_EQ(plain.pixelColor(60, 60), QColor(255, 0, 0));
  label->SetFrameShape(1);
  QImage framed = label->grab().toImage();
  EXPECT_EQ(framed.pixelColor(60, 60), QColor(255, 0, 0));  // the inside, filled by the frame's step
  EXPECT_NE(framed.pixelColor(0, 60), QColor(255, 0, 0));   // the frame line
  label->SetTransparent(true);
  label->SetFrameShape(0);
  QImage clear = label->grab().toImage();
  EXPECT_NE(clear.pixelColor(60, 60), QColor(255, 0, 0));
}

TEST(HintWindow, ShowsItsTextSizedToItAndHidesWhenEmpty) {
  QWidget owner;  // as the paper views own theirs
  THintWindow hint(&owner);
  hint.ShowHint(SJ("３頁目"), QPoint(100, 100));
  ASSERT_TRUE(hint.isVisible());
  const int h = QFontInfo(hint.font()).pixelSize();
  EXPECT_EQ(hint.height(), 4 + h + 4);
  EXPECT_LT(hint.width(), 320);  // a short hint is narrow
  // a long one wraps at the default width
  std::string longText;
  for (int i = 0; i < 40; ++i) longText += SJ("あ");
  hint.ShowHint(longText, QPoint(100, 100));
  EXPECT_LE(hint.width(), 320);
  EXPECT_GT(hint.height(), 4 + h + 4);
  // a full stop hanging at the end of the line is inside the window, not cut off by it (also
  // when the window shows again)
  hint.hide();
  hint.ShowHint(SJ("３頁目。"), QPoint(100, 100));
  TQtCanvas canvas(nullptr, hint.logicalDpiY(), kBig);
  TCanvasFont font;
  font.Name = FromQ(hint.font().family());
  font.Height = h;
  canvas.SetFont(font);
  EXPECT_GE(hint.width(), 4 + canvas.TextWidth(SJ("３頁目。")) + 4);
  hint.ShowHint("", QPoint(0, 0));
  EXPECT_FALSE(hint.isVisible());
}
