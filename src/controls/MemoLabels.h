#pragma once
// The text box: a block of text laid out in a rectangle — lines broken to the width with
// Japanese hanging punctuation, margins, line spacing, upright or vertical writing — measured
// and drawn on any canvas; and TMemoLabel, the multi-line label built on it, which explains
// things on several screens and can size itself to its text.
#include <QPen>
#include <QWidget>
#include <cstdint>
#include <string>

#include "Canvas.h"
#include "KaedeTypes.h"
#include "Strs.h"

namespace kaede {

enum TTextBoxAlign : int32_t { taCenter = 0, taStart = 1, taEnd = 2 };

// What DrawTextBox lays out, and where. The canvas's current font and brush are used.
struct TTextBoxRequest {
  TCanvas* Canvas = nullptr;
  TRect Box;   // the text is laid out in this rectangle
  TRect Clip;  // nothing is drawn outside it
  bool MeasureOnly = false;
  std::string Text;  // paragraphs separated by CR LF
  bool Wrap = true;  // break lines to the width; false: only at CR LF
  bool Vertical = false;
  std::string HangStr;  // characters that may hang beyond the line end
  bool TailHang = false;
  bool WordProtect = false;  // runs of half-width letters or digits are not broken
  int32_t TabLength = 4;
  int32_t HangIndent = 0;  // cells of indent of every line but the first of a paragraph
  int32_t LineSpace = 0;   // pixels between lines, beyond the font height
  int32_t BlockAlign = taStart;  // where the lines sit across the box
  int32_t LineAlign = taStart;   // where the text sits along a line
  int32_t LeftMargin = 0, TopMargin = 0, RightMargin = 0, BottomMargin = 0;
  int32_t Smoothing = 1;  // 1 plain text; above 1 the text is drawn smoothed
  bool Transparent = false;  // text without background
  // Piece lengths kept between calls; empty: the text is broken again. None: broken each time.
  TIntegers* BreakCache = nullptr;
};

struct TTextBoxSize {
  int32_t Width = 0;
  int32_t Height = 0;
  bool operator==(const TTextBoxSize&) const = default;
};

// Measures and, unless MeasureOnly, draws. The size the text needs, each side at most the
// box's. Box sizes up to the full 32-bit range are handled (sums are taken in 64 bits).
TTextBoxSize DrawTextBox(const TTextBoxRequest& request);

// The label's text with every backslash-n pair turned into a line break.
std::string ExpandLineBreaks(const std::string& text);

// A multi-line label. Every setter does nothing for an unchanged value; otherwise it measures
// again (sizing the label when AutoSize is on) and repaints.
class TMemoLabel : public QWidget {
  Q_OBJECT
public:
  explicit TMemoLabel(QWidget* parent = nullptr);

  // The text: the captions joined by CR LF.
  std::string Caption() const;
  // Nothing when value + CR LF is the present text; otherwise the captions become its lines.
  void SetCaption(const std::string& value);
  const TStrings& Captions() const { return FCaptions; }
  void SetCaptions(const TStrings& captions);

  bool Vertical() const { return FVertical; }
  void SetVertical(bool v);
  bool Wordrap() const { return FWordrap; }
  void SetWordrap(bool v);
  int32_t LineSpace() const { return FLineSpace; }
  void SetLineSpace(int32_t v);
  int32_t DefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(int32_t v);
  int32_t LeftMargin() const { return FLeftMargin; }
  int32_t TopMargin() const { return FTopMargin; }
  int32_t RightMargin() const { return FRightMargin; }
  int32_t BottomMargin() const { return FBottomMargin; }
  void SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // 0 none, 1 a rectangle, 2 a rounded rectangle around the label.
  int32_t FrameShape() const { return FFrameShape; }
  void SetFrameShape(int32_t v);
  bool TailHang() const { return FTailHang; }
  void SetTailHang(bool v);
  const std::string& HangStr() const { return FHangStr; }
  void SetHangStr(const std::string& v);
  int32_t IndentCount() const { return FIndentCount; }
  void SetIndentCount(int32_t v);
  int32_t AntiArius() const { return FAntiArius; }
  void SetAntiArius(int32_t v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  const QPen& Pen() const { return FPen; }
  void SetPen(const QPen& pen);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool v);
  // The background (0x00BBGGRR); by default the tooltip background.
  TColor Color() const { return FColor; }
  void SetColor(TColor v);

  // The size measured last.
  TTextBoxSize Measured() const { return FMeasured; }
  // Measures again (nothing without a parent, while hidden or while a resize it caused runs).
  void Measure();

  QSize sizeHint() const override;
  // The height the text needs at a width (upright writing), so that layouts can give a
  // label of fixed width the height of its text.
  bool hasHeightForWidth() const override { return !FVertical; }
  int heightForWidth(int width) const override;

protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;

protected:
  TTextBoxRequest Request(TCanvas& canvas, const TRect& box) const;
  TCanvasFont LabelFont() const;

private:
  template <class T>
  void Set(T& field, const T& value, bool measure = true);

  TStrings FCaptions;
  bool FVertical = false;
  bool FWordrap = true;
  int32_t FLineSpace = 6;
  int32_t FDefaultWidth = 0;
  int32_t FLeftMargin = 4, FTopMargin = 4, FRightMargin = 4, FBottomMargin = 4;
  int32_t FFrameShape = 0;
  bool FTailHang = false;
  std::string FHangStr;
  int32_t FIndentCount = 0;
  int32_t FAntiArius = 1;
  bool FTransparent = false;
  QPen FPen;
  bool FAutoSize = false;
  TColor FColor;
  TIntegers FBreakCache;
  TTextBoxSize FMeasured;
  bool FResizing = false;
};

// The hint window of the paper views: a label of its own on top of everything, sized to its
// text (upright, the four margins equal) and shown at a point of the screen.
class THintWindow : public TMemoLabel {
  Q_OBJECT
public:
  explicit THintWindow(QWidget* parent = nullptr);
  // Shows text with its top-left corner at a screen point, kept on the screen; an empty text
  // hides the window.
  void ShowHint(const std::string& text, const QPoint& at);
};

}  // namespace kaede
