#include "PainterCanvases.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "QtText.h"
#include "QtVerticalText.h"
#include "Strs.h"

namespace kaede {

namespace {

// Advances in the face and style of the canvas's current font, at the height asked for.
class TPainterMetrics : public TTextMetrics {
public:
  explicit TPainterMetrics(const TPainterCanvas& canvas) : FCanvas(canvas) {}
  void Advances(std::string_view text, int32_t height, bool vertical, int32_t* out) const override {
    TCanvasFont f = FCanvas.Font();
    f.Height = std::max(1, height);
    QFont font = TPainterCanvas::QtFont(f);
    if (vertical) {
      VerticalAdvances(font, text, out);
      return;
    }
    QFontMetricsF fm(font);
    for (size_t i = 0; i < text.size();) {
      size_t n = CharLenAt(text, i);
      out[i] = static_cast<int32_t>(std::lround(fm.horizontalAdvance(ToQ(std::string(text.substr(i, n))))));
      if (n == 2) out[i + 1] = 0;
      i += n;
    }
  }

private:
  const TPainterCanvas& FCanvas;
};

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }

Qt::BrushStyle QtBrushStyle(TBrushStyle s) {
  switch (s) {
    case TBrushStyle::Solid: return Qt::SolidPattern;
    case TBrushStyle::Clear: return Qt::NoBrush;
    case TBrushStyle::Horizontal: return Qt::HorPattern;
    case TBrushStyle::Vertical: return Qt::VerPattern;
    case TBrushStyle::FDiagonal: return Qt::FDiagPattern;
    case TBrushStyle::BDiagonal: return Qt::BDiagPattern;
    case TBrushStyle::Cross: return Qt::CrossPattern;
    case TBrushStyle::DiagCross: return Qt::DiagCrossPattern;
  }
  return Qt::SolidPattern;
}

TRect Intersect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

}  // namespace

TPainterCanvas::TPainterCanvas(QPainter* painter, int32_t dpi)
    : FPainter(painter), FDpi(dpi), FMetrics(std::make_unique<TPainterMetrics>(*this)) {
  if (FDpi <= 0) FDpi = painter && painter->device() ? painter->device()->logicalDpiY() : 96;
}

TPainterCanvas::~TPainterCanvas() = default;

QFont TPainterCanvas::QtFont(const TCanvasFont& font) {
  std::string face = font.Name.empty() ? SJ("ＭＳ Ｐゴシック") : font.Name;
  QFont f = MakeFont(face, 9, font.Style & fsBold, font.Style & fsItalic);
  f.setPixelSize(std::max(1, font.Height));
  f.setUnderline(font.Style & fsUnderline);
  f.setStrikeOut(font.Style & fsStrikeOut);
  return f;
}

void TPainterCanvas::SetClipRect(const TRect& r) {
  FHasClip = true;
  FClip = r;
  if (FPainter) FPainter->setClipRect(ToQRect(r));
}

void TPainterCanvas::ResetClip() {
  FHasClip = false;
  if (FPainter) FPainter->setClipping(false);
}

TRect TPainterCanvas::ClipBounds() const {
  if (FHasClip) return FClip;
  if (FPainter && FPainter->device())
    return TRect{0, 0, FPainter->device()->width(), FPainter->device()->height()};
  return TRect{INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2};
}

void TPainterCanvas::ApplyPen() {
  const TPen& p = Pen();
  if (p.Style == TPenStyle::Clear) {
    FPainter->setPen(Qt::NoPen);
    return;
  }
  QPen pen(ToQColor(p.Color));
  pen.setWidth(std::max(1, p.Width));
  pen.setStyle(p.Style == TPenStyle::Dot ? Qt::DotLine : p.Style == TPenStyle::Dash ? Qt::DashLine : Qt::SolidLine);
  FPainter->setPen(pen);
}

void TPainterCanvas::ApplyBrush() {
  const TBrush& b = Brush();
  FPainter->setBrush(b.Style == TBrushStyle::Clear ? QBrush(Qt::NoBrush) : QBrush(ToQColor(b.Color), QtBrushStyle(b.Style)));
}

void TPainterCanvas::FillRect(const TRect& r) {
  if (!FPainter || Brush().Style == TBrushStyle::Clear) return;
  FPainter->fillRect(ToQRect(r), QBrush(ToQColor(Brush().Color), QtBrushStyle(Brush().Style)));
}

void TPainterCanvas::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!FPainter) return;
  ApplyPen();
  FPainter->drawLine(x1, y1, x2, y2);
}

void TPainterCanvas::Polyline(const TPoints& points) {
  if (!FPainter || points.size() < 2) return;
  ApplyPen();
  QPolygon poly;
  for (const TPoint& p : points) poly << QPoint(p.X, p.Y);
  FPainter->drawPolyline(poly);
}

void TPainterCanvas::Polygon(const TPoints& points) {
  if (!FPainter || points.size() < 3) return;
  ApplyPen();
  ApplyBrush();
  QPolygon poly;
  for (const TPoint& p : points) poly << QPoint(p.X, p.Y);
  FPainter->drawPolygon(poly);
}

void TPainterCanvas::Ellipse(const TRect& r) {
  if (!FPainter) return;
  ApplyPen();
  ApplyBrush();
  FPainter->drawEllipse(ToQRect(r));
}

void TPainterCanvas::DrawPicture(const TRect& r, const TPicture& /*picture*/) {
  // the small controls draw no pictures; a frame marks where one goes
  if (!FPainter) return;
  ApplyPen();
  FPainter->setBrush(Qt::NoBrush);
  FPainter->drawRect(ToQRect(r).adjusted(0, 0, -1, -1));
}

void TPainterCanvas::TextOut(int32_t x, int32_t y, std::string_view text, const int32_t* advances, const TRect* clip,
                             bool opaque) {
  if (!FPainter || text.empty()) return;
  const TCanvasFont& cf = Font();
  QFont font = QtFont(cf);
  std::vector<int32_t> own;
  if (!advances) {
    own.resize(text.size());
    Advances(text, own.data());
    advances = own.data();
  }
  int64_t run = 0;
  for (size_t i = 0; i < text.size(); ++i) run += advances[i];
  const int32_t h = std::max(1, cf.Height);
  TRect box = cf.Vertical ? TRect{x - h, y, x, static_cast<int32_t>(y + run)}
                          : TRect{x, y, static_cast<int32_t>(x + run), y + h};
  FPainter->save();
  if (clip) {
    TRect c = FHasClip ? Intersect(*clip, FClip) : *clip;
    FPainter->setClipRect(ToQRect(c));
  }
  if (opaque && Brush().Style != TBrushStyle::Clear) FPainter->fillRect(ToQRect(clip ? *clip : box), ToQColor(Brush().Color));
  FPainter->setPen(ToQColor(cf.Color));
  if (cf.Vertical) {
    DrawVerticalText(*FPainter, font, x, y, text, advances);
  } else {
    FPainter->setFont(font);
    QFontMetricsF fm(font);
    const double baseline = y + fm.ascent() * h / std::max(1.0, fm.height());
    double pos = x;
    for (size_t i = 0; i < text.size();) {
      size_t n = CharLenAt(text, i);
      FPainter->drawText(QPointF(pos, baseline), ToQ(std::string(text.substr(i, n))));
      pos += advances[i];
      i += n;
    }
  }
  FPainter->restore();
}

const TTextMetrics& TPainterCanvas::Metrics() const { return *FMetrics; }

int32_t TPainterCanvas::TextHeight(std::string_view /*text*/) const { return std::max<int32_t>(1, Font().Height); }

bool TPainterCanvas::FaceExists(const std::string& name) const { return FaceAvailable(name); }

}  // namespace kaede
