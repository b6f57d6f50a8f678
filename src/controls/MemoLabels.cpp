#include "MemoLabels.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "CommaText.h"
#include "EditLists.h"
#include "QtCanvas.h"
#include "QtText.h"

namespace kaede {

namespace {

constexpr TColor kInfoBk = static_cast<TColor>(0xFF000018);  // the tooltip background

int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

bool Meets(const TRect& a, const TRect& b) {
  return std::max(a.Left, b.Left) < std::min(a.Right, b.Right) && std::max(a.Top, b.Top) < std::min(a.Bottom, b.Bottom);
}

TRect Intersect(const TRect& a, const TRect& b) {
  return TRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
}

// The pieces of a text that is not wrapped: every line with its CR LF, then what follows the
// last CR LF.
void SplitAtLineBreaks(const std::string& text, TIntegers& pieces) {
  size_t start = 0;
  for (size_t crlf = text.find("\r\n"); crlf != std::string::npos; crlf = text.find("\r\n", start)) {
    pieces.push_back(static_cast<int32_t>(crlf + 2 - start));
    start = crlf + 2;
  }
  if (start < text.size() || pieces.empty()) pieces.push_back(static_cast<int32_t>(text.size() - start));
}

std::string StripTrailingBreaks(std::string s) {
  while (s.size() >= 2 && s.compare(s.size() - 2, 2, "\r\n") == 0) s.resize(s.size() - 2);
  return s;
}

// The punctuation that hangs into the margin: a line ending with it is measured shorter.
bool EndsWithHangingMark(const std::string& s) {
  static const std::string marks[] = {SJ("。"), SJ("、"), SJ("）")};
  for (const std::string& m : marks)
    if (s.size() >= m.size() && s.compare(s.size() - m.size(), m.size(), m) == 0 &&
        !IsTrailAt(s, s.size() - m.size()))
      return true;
  return false;
}

}  // namespace

std::string ExpandLineBreaks(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    size_t n = CharLenAt(text, i);
    if (n == 1 && text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      out += "\r\n";
      i += 2;
      continue;
    }
    out.append(text, i, n);
    i += n;
  }
  return out;
}

TTextBoxSize DrawTextBox(const TTextBoxRequest& r) {
  TCanvas* canvas = r.Canvas;
  if (!canvas || !Meets(r.Box, r.Clip)) return {};
  const TRect clip = Intersect(r.Box, r.Clip);
  if (r.Text.empty()) {
    if (!r.Transparent && !r.MeasureOnly) canvas->FillRect(clip);
    return {};
  }
  const int64_t boxW = static_cast<int64_t>(r.Box.Right) - r.Box.Left;
  const int64_t boxH = static_cast<int64_t>(r.Box.Bottom) - r.Box.Top;
  // the length of a line: across the box, or down it in vertical writing
  const int64_t inner = r.Vertical ? boxH - r.TopMargin - r.BottomMargin : boxW - r.LeftMargin - r.RightMargin;
  if (inner <= 0) return {};

  TCanvasFont font = canvas->Font();
  const TCanvasFont saved = font;
  font.Vertical = r.Vertical;
  canvas->SetFont(font);
  const int32_t fontH = std::abs(font.Height);

  TIntegers local;
  TIntegers& pieces = r.BreakCache ? *r.BreakCache : local;
  if (pieces.empty()) {
    if (r.Wrap) {
      TBreakOptions o;
      o.ProportionalFont = true;
      o.ColumnCountAuto = true;
      o.TailHang = r.TailHang;
      o.WordWrap = r.WordProtect;
      o.HangStr = TCharSet(r.HangStr);
      o.Columns.TabLength = r.TabLength;
      TMeasure m{&canvas->Metrics(), fontH, r.Vertical};
      BreakLine(r.Text, Clamp32(inner), 0, 0, r.HangIndent, false, o, m, pieces);
    } else {
      SplitAtLineBreaks(r.Text, pieces);
    }
  }

  const int64_t L = static_cast<int64_t>(fontH) + r.LineSpace;
  const int64_t n = static_cast<int64_t>(pieces.size());
  int64_t zeroRaise = 0;
  if (!r.Vertical) {
    int64_t diff = static_cast<int64_t>(canvas->TextHeight("0")) - fontH;
    if (diff != 0) zeroRaise = r.BlockAlign == taCenter ? diff - diff / 2 : diff - 1;
  }

  int64_t widest = 0;
  size_t pos = 0;
  for (int64_t i = 0; i < n; ++i) {
    const size_t len = static_cast<size_t>(std::max(0, pieces[static_cast<size_t>(i)]));
    const std::string text = StripTrailingBreaks(r.Text.substr(std::min(pos, r.Text.size()), len));
    pos += len;
    const int64_t textW = canvas->TextWidth(text);
    const int64_t indentW =
        r.HangIndent > 0 && i > 0 && !text.empty() ? canvas->TextWidth(std::string_view(text).substr(0, CharLenAt(text, 0))) : 0;
    int64_t x, y;
    TRect piece;
    if (!r.Vertical) {
      int64_t top;
      // at the end the block ends on the bottom margin, its lines still in reading order
      if (r.BlockAlign == taEnd) top = r.Box.Bottom - r.BottomMargin - (n - i) * L;
      else if (r.BlockAlign == taStart) top = r.Box.Top + r.TopMargin + i * L;
      else top = std::max<int64_t>(r.Box.Top, r.Box.Top + (boxH - L * n) / 2) + i * L;
      if (r.LineAlign == taStart) x = r.Box.Left + r.LeftMargin + indentW;
      else if (r.LineAlign == taEnd) x = r.Box.Right - r.RightMargin - textW;
      else x = r.Box.Left + (boxW - textW) / 2;
      y = top - zeroRaise;
      piece = TRect{r.Box.Left, Clamp32(i == 0 ? r.Box.Top : top), r.Box.Right, Clamp32(i == n - 1 ? r.Box.Bottom : top + L)};
    } else {
      // columns from the right; the text of a column runs down from its top margin
      int64_t right;
      if (r.BlockAlign == taEnd) right = r.Box.Left + r.LeftMargin + (n - i) * L;
      else if (r.BlockAlign == taStart) right = r.Box.Right - r.RightMargin - i * L;
      else right = std::min<int64_t>(r.Box.Right, r.Box.Right - (boxW - L * n) / 2) - i * L;
      if (r.LineAlign == taStart) y = r.Box.Top + r.TopMargin + indentW;
      else if (r.LineAlign == taEnd) y = r.Box.Bottom - r.BottomMargin - textW;
      else y = r.Box.Top + (boxH - textW) / 2;
      x = right;
      piece = TRect{Clamp32(i == n - 1 ? r.Box.Left : right - L), r.Box.Top, Clamp32(i == 0 ? r.Box.Right : right),
                    r.Box.Bottom};
    }
    if (!r.MeasureOnly && !text.empty() && Meets(piece, clip)) {
      TRect c = Intersect(piece, clip);
      canvas->TextOut(Clamp32(x), Clamp32(y), text, nullptr, &c, !r.Transparent);
    } else if (!r.MeasureOnly && !r.Transparent && Meets(piece, clip)) {
      canvas->FillRect(Intersect(piece, clip));
    }
    int64_t length = textW;
    if (EndsWithHangingMark(text)) length -= (static_cast<int64_t>(fontH) * 40 + 50) / 100;
    widest = std::max(widest, length);
  }
  if (font.Style & fsItalic) widest += fontH / 2;
  canvas->SetFont(saved);

  // The line space is between lines: none follows the last one.
  const int64_t across = L * n - (n >= 1 ? r.LineSpace : 0);
  int64_t width, height;
  if (!r.Vertical) {
    width = static_cast<int64_t>(r.LeftMargin) + r.RightMargin + widest;
    height = static_cast<int64_t>(r.TopMargin) + r.BottomMargin + across;
  } else {
    height = static_cast<int64_t>(r.TopMargin) + r.BottomMargin + widest;
    width = static_cast<int64_t>(r.LeftMargin) + r.RightMargin + across;
  }
  return TTextBoxSize{Clamp32(std::clamp<int64_t>(width, 0, boxW)), Clamp32(std::clamp<int64_t>(height, 0, boxH))};
}

// ---- TMemoLabel ----------------------------------------------------------------------------

TMemoLabel::TMemoLabel(QWidget* parent) : QWidget(parent), FHangStr(SJ(",.､｡、。，．｣」』")), FColor(kInfoBk) {
  resize(120, 120);
  FCaptions.push_back(FromQ(objectName().isEmpty() ? QString("MemoLabel") : objectName()));
}

std::string TMemoLabel::Caption() const {
  std::string s;
  for (const std::string& c : FCaptions) s += c + "\r\n";
  return s;
}

void TMemoLabel::SetCaption(const std::string& value) {
  if (value + "\r\n" == Caption()) return;
  TStrings lines;
  SplitLines(value, lines);
  SetCaptions(lines);
}

void TMemoLabel::SetCaptions(const TStrings& captions) {
  if (captions == FCaptions) return;
  FCaptions = captions;
  Measure();
  update();
}

template <class T>
void TMemoLabel::Set(T& field, const T& value, bool measure) {
  if (field == value) return;
  field = value;
  if (measure) Measure();
  update();
}

void TMemoLabel::SetVertical(bool v) { Set(FVertical, v); }
void TMemoLabel::SetWordrap(bool v) { Set(FWordrap, v); }
void TMemoLabel::SetLineSpace(int32_t v) { Set(FLineSpace, v); }
void TMemoLabel::SetDefaultWidth(int32_t v) { Set(FDefaultWidth, v); }
void TMemoLabel::SetFrameShape(int32_t v) { Set(FFrameShape, v); }
void TMemoLabel::SetTailHang(bool v) { Set(FTailHang, v); }
void TMemoLabel::SetHangStr(const std::string& v) { Set(FHangStr, v); }
void TMemoLabel::SetIndentCount(int32_t v) { Set(FIndentCount, v); }
void TMemoLabel::SetAntiArius(int32_t v) { Set(FAntiArius, std::max(1, v)); }
void TMemoLabel::SetTransparent(bool v) { Set(FTransparent, v, false); }
void TMemoLabel::SetPen(const QPen& pen) { Set(FPen, pen, false); }
void TMemoLabel::SetAutoSize(bool v) { Set(FAutoSize, v); }
void TMemoLabel::SetColor(TColor v) { Set(FColor, v, false); }

void TMemoLabel::SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (left == FLeftMargin && top == FTopMargin && right == FRightMargin && bottom == FBottomMargin) return;
  FLeftMargin = left;
  FTopMargin = top;
  FRightMargin = right;
  FBottomMargin = bottom;
  Measure();
  update();
}

TCanvasFont TMemoLabel::LabelFont() const {
  TCanvasFont f;
  f.Name = FromQ(font().family());
  QFontInfo info(font());
  f.Height = std::max(1, info.pixelSize());
  f.Style = static_cast<uint8_t>((font().bold() ? fsBold : 0) | (font().italic() ? fsItalic : 0));
  f.Color = isEnabled() ? static_cast<TColor>(0xFF000008) : static_cast<TColor>(0xFF000011);
  f.Vertical = FVertical;
  return f;
}

TTextBoxRequest TMemoLabel::Request(TCanvas& canvas, const TRect& box) const {
  TTextBoxRequest r;
  r.Canvas = &canvas;
  r.Box = box;
  r.Clip = box;
  // the paragraphs without the line break after the last one; a backslash-n pair breaks a
  // line in measuring as in painting, so that a label sized to its text shows all of it
  std::string text = ExpandLineBreaks(Caption());
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
  r.Text = text;
  r.Wrap = true;
  r.Vertical = FVertical;
  r.HangStr = FHangStr;
  r.TailHang = FTailHang;
  r.WordProtect = FWordrap;
  r.TabLength = 4;
  r.HangIndent = FIndentCount;
  r.LineSpace = FLineSpace;
  r.BlockAlign = taStart;
  r.LineAlign = taStart;
  r.LeftMargin = FLeftMargin;
  r.TopMargin = FTopMargin;
  r.RightMargin = FRightMargin;
  r.BottomMargin = FBottomMargin;
  r.Smoothing = FAntiArius;
  r.BreakCache = const_cast<TIntegers*>(&FBreakCache);
  return r;
}

void TMemoLabel::Measure() {
  if (!parentWidget() || !isVisible() || FResizing) return;
  FBreakCache.clear();
  TRect box;
  if (FAutoSize && FDefaultWidth < 1) box = TRect{0, 0, INT32_MAX, 1000};
  else if (FAutoSize) box = TRect{0, 0, FDefaultWidth, FDefaultWidth};
  else box = TRect{0, 0, width(), height()};
  TQtCanvas canvas(nullptr, logicalDpiY(), TRect{0, 0, INT32_MAX, INT32_MAX});
  canvas.SetFont(LabelFont());
  TTextBoxRequest r = Request(canvas, box);
  r.MeasureOnly = true;
  r.Transparent = true;
  FMeasured = DrawTextBox(r);
  FBreakCache.clear();
  if (FAutoSize && FMeasured.Width > 0 && FMeasured.Height > 0 && size() != QSize(FMeasured.Width, FMeasured.Height)) {
    FResizing = true;
    resize(FMeasured.Width, FMeasured.Height);
    updateGeometry();
    FResizing = false;
  }
}

QSize TMemoLabel::sizeHint() const {
  if (FAutoSize && FMeasured.Width > 0) return QSize(FMeasured.Width, FMeasured.Height);
  return QWidget::sizeHint().isValid() ? QWidget::sizeHint() : size();
}

int TMemoLabel::heightForWidth(int width) const {
  TQtCanvas canvas(nullptr, logicalDpiY(), TRect{0, 0, INT32_MAX, INT32_MAX});
  canvas.SetFont(LabelFont());
  TIntegers cache;
  TTextBoxRequest r = Request(canvas, TRect{0, 0, width, INT32_MAX / 2});
  r.MeasureOnly = true;
  r.BreakCache = &cache;
  return DrawTextBox(r).Height;
}

void TMemoLabel::paintEvent(QPaintEvent*) {
  FBreakCache.clear();
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, FFrameShape == 2);
  const QColor parentColor = parentWidget() ? parentWidget()->palette().color(QPalette::Window) : palette().color(QPalette::Window);
  const QRect r = rect();
  if (FFrameShape == 1 || FFrameShape == 2) {
    QPen pen = FPen;
    if (!isEnabled()) pen.setColor(QColor(0xC0, 0xC0, 0xC0));
    p.setPen(pen);
    p.setBrush(parentColor);
    if (FFrameShape == 1) p.drawRect(r.adjusted(0, 0, -1, -1));
    else p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
  }
  const QColor back = isEnabled() ? ToQColor(FColor) : QColor(0x80, 0x80, 0x80);
  if (!FTransparent) {
    if (FFrameShape == 1) {
      p.fillRect(r.adjusted(1, 1, -1, -1), back);
    } else if (FFrameShape == 2) {
      p.fillRect(r.adjusted(2, 2, -2, -2), back);
      p.setPen(QPen(back, 1));
      const int w = r.width(), h = r.height();
      for (int d : {1, 2}) {
        p.drawLine(2, d, w - 3, d);
        p.drawLine(2, h - 1 - d, w - 3, h - 1 - d);
        p.drawLine(d, 2, d, h - 3);
        p.drawLine(w - 1 - d, 2, w - 1 - d, h - 3);
      }
    }
  }
  TQtCanvas canvas(&p, logicalDpiY(), TRect{0, 0, width(), height()});
  canvas.SetFont(LabelFont());
  canvas.SetBrush(TBrush{TBrushStyle::Solid, isEnabled() ? FColor : static_cast<TColor>(0x808080)});
  TTextBoxRequest req = Request(canvas, TRect{0, 0, width(), height()});
  req.Transparent = FTransparent || FFrameShape != 0;
  if (!req.Transparent && !isEnabled()) canvas.SetBrush(TBrush{TBrushStyle::Solid, 0x808080});
  DrawTextBox(req);
}

void TMemoLabel::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (!FAutoSize) Measure();
}

void TMemoLabel::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  Measure();
}

void TMemoLabel::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() == QEvent::FontChange) Measure();
  if (e->type() == QEvent::EnabledChange) update();
}

// ---- THintWindow ---------------------------------------------------------------------------

THintWindow::THintWindow(QWidget* parent) : TMemoLabel(parent) {
  setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
  setAttribute(Qt::WA_ShowWithoutActivating);
  SetFrameShape(1);
  SetPen(QPen(QColor(0x80, 0x80, 0x80)));
  SetMargins(4, 4, 4, 4);
  SetLineSpace(2);
  SetDefaultWidth(320);
  // ShowHint gives the window its size; the label's own sizing, which runs again whenever it
  // is shown, would take the room of a mark hanging at a line end away again
  SetAutoSize(false);
}

void THintWindow::ShowHint(const std::string& text, const QPoint& at) {
  if (text.empty()) {
    hide();
    return;
  }
  SetCaption(text);
  // As wide as the longest line needs, at most the default width. A mark that hangs at a
  // line end is measured without its overhang, which a window this tight would cut off: the
  // window keeps room for it.
  const TCanvasFont font = LabelFont();
  const int hang = (std::abs(font.Height) * 40 + 50) / 100;
  const int width = std::max(1, DefaultWidth() - hang);
  TQtCanvas canvas(nullptr, logicalDpiY(), TRect{0, 0, width, INT32_MAX / 2});
  canvas.SetFont(font);
  TTextBoxRequest r = Request(canvas, TRect{0, 0, width, INT32_MAX / 2});
  TIntegers cache;
  r.BreakCache = &cache;
  r.MeasureOnly = true;
  TTextBoxSize size = DrawTextBox(r);
  QRect g(at, QSize(std::max(size.Width + hang, 8), std::max(size.Height, 8)));
  if (QScreen* screen = QGuiApplication::screenAt(at)) {
    QRect area = screen->availableGeometry();
    if (g.right() > area.right()) g.moveRight(area.right());
    if (g.bottom() > area.bottom()) g.moveBottom(area.bottom());
  }
  setGeometry(g);
  show();
  raise();
  update();
}

}  // namespace kaede
