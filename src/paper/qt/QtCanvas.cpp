#include "QtCanvas.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QRawFont>
#include <QScreen>
#include <algorithm>
#include <climits>
#include <map>
#include <vector>

#include "Cp932.h"
#include "Files.h"
#include "QtPrinters.h"
#include "QtText.h"
#include "QtVerticalText.h"
#include "SheetPrinters.h"
#include "Strs.h"

namespace kaede {

// ---- Characters ----------------------------------------------------------------------------

char16_t SjisCharToUtf16(std::string_view ch) {
  if (ch.empty()) return 0;
  // One table for every code: single bytes at their value, double-byte characters at
  // lead * 256 + trail. 0 means "not looked up yet".
  static std::vector<char16_t> table(65536, 0);
  uint16_t code = ch.size() >= 2 ? static_cast<uint16_t>((static_cast<uint8_t>(ch[0]) << 8) | static_cast<uint8_t>(ch[1]))
                                 : static_cast<uint8_t>(ch[0]);
  char16_t& slot = table[code];
  if (slot == 0) {
    std::u16string u = SjisToUtf16(ch.substr(0, std::min<size_t>(ch.size(), 2)), TConvMode::Replace);
    slot = u.size() == 1 ? u[0] : u'\uFFFD';
    if (code == 0) slot = 0;
  }
  return slot;
}

// ---- Metrics -------------------------------------------------------------------------------

namespace {
// Advances are measured once at this pixel size and scaled: unhinted, so every size and every
// device gets the same proportions.
constexpr double kReferencePx = 1024.0;
}  // namespace

struct TQtTextMetrics::TCache {
  QFont Reference;
  std::vector<float> Advance = std::vector<float>(65536, -1.0f);
  std::map<int32_t, QRawFont> Raw;  // by pixel height
};

TQtTextMetrics::TQtTextMetrics(const std::string& face, uint8_t style) : FCache(std::make_unique<TCache>()) {
  FBase = QFont(ResolveFaceName(face));
  FBase.setBold((style & fsBold) != 0);
  FBase.setItalic((style & fsItalic) != 0);
  FBase.setHintingPreference(QFont::PreferNoHinting);
  FBase.setKerning(false);
  FBase.setStyleStrategy(QFont::PreferAntialias);
  FCache->Reference = FontAt(static_cast<int32_t>(kReferencePx));
  QFontMetricsF fm(FCache->Reference);
  double total = fm.ascent() + fm.descent();
  if (total > 0) FAscentRatio = fm.ascent() / total;
}

TQtTextMetrics::~TQtTextMetrics() = default;

QFont TQtTextMetrics::FontAt(int32_t height) const {
  QFont f = FBase;
  f.setPixelSize(std::max<int32_t>(1, height));
  return f;
}

void TQtTextMetrics::Advances(std::string_view text, int32_t height, bool vertical, int32_t* out) const {
  height = std::max<int32_t>(1, height);
  if (vertical) {
    VerticalAdvances(FontAt(height), text, out);
    return;
  }
  std::unique_ptr<QFontMetricsF> fm;
  for (size_t i = 0; i < text.size();) {
    size_t n = CharLenAt(text, i);
    std::string_view ch = text.substr(i, n);
    uint16_t code = n == 2 ? static_cast<uint16_t>((static_cast<uint8_t>(ch[0]) << 8) | static_cast<uint8_t>(ch[1]))
                           : static_cast<uint8_t>(ch[0]);
    float& a = FCache->Advance[code];
    if (a < 0) {
      if (!fm) fm = std::make_unique<QFontMetricsF>(FCache->Reference);
      a = static_cast<float>(fm->horizontalAdvance(QString(QChar(SjisCharToUtf16(ch)))));
    }
    out[i] = RoundHalfEven(a * height / kReferencePx);
    if (n == 2) out[i + 1] = 0;
    i += n;
  }
}

QRawFont TQtTextMetrics::RawFontAt(int32_t height) const {
  auto it = FCache->Raw.find(height);
  if (it == FCache->Raw.end()) it = FCache->Raw.emplace(height, QRawFont::fromFont(FontAt(height))).first;
  return it->second;
}

const TQtTextMetrics& QtMetrics(const std::string& face, uint8_t style) {
  // kept until the process ends: fonts must not be released after the application object
  static auto* cache = new std::map<std::pair<std::string, uint8_t>, std::unique_ptr<TQtTextMetrics>>();
  auto key = std::make_pair(face, static_cast<uint8_t>(style & (fsBold | fsItalic)));
  auto it = cache->find(key);
  if (it == cache->end()) it = cache->emplace(key, std::make_unique<TQtTextMetrics>(face, key.second)).first;
  return *it->second;
}

// ---- Canvas --------------------------------------------------------------------------------

namespace {

constexpr TRect kWholePlane{INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2};

TRect Meet(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

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

}  // namespace

TQtCanvas::TQtCanvas(QPainter* painter, int32_t dpi, const TRect& baseClip)
    : FPainter(painter), FDpi(dpi > 0 ? dpi : 96), FBaseClip(baseClip), FClip(baseClip) {
  if (FPainter) {
    FPainter->save();
    FPainter->setRenderHint(QPainter::Antialiasing, false);
    FPainter->setRenderHint(QPainter::TextAntialiasing, true);
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    ApplyClip(FClip);
  }
}

TQtCanvas::~TQtCanvas() {
  // the owner releases a print job's canvas before it ends the job; a painter ended anyway
  // has nothing to restore
  if (FPainter && FPainter->isActive()) FPainter->restore();
}

const TTextMetrics& TQtCanvas::Metrics() const { return QtMetrics(Font().Name, Font().Style); }

bool TQtCanvas::FaceExists(const std::string& name) const { return FaceAvailable(name); }

void TQtCanvas::ApplyClip(const TRect& r) {
  if (!FPainter) return;
  if (r == kWholePlane) FPainter->setClipping(false);
  else FPainter->setClipRect(ToQRect(r));
}

void TQtCanvas::SetClipRect(const TRect& r) {
  FClip = Meet(FBaseClip, r);
  ApplyClip(FClip);
}

void TQtCanvas::ResetClip() {
  FClip = FBaseClip;
  ApplyClip(FClip);
}

void TQtCanvas::ApplyPen() {
  const TPen& p = Pen();
  if (p.Style == TPenStyle::Clear) {
    FPainter->setPen(Qt::NoPen);
    return;
  }
  QPen pen(ToQColor(p.Color));
  pen.setWidth(std::max<int32_t>(1, p.Width));
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  if (p.Style == TPenStyle::Dot) pen.setDashPattern({1.0, 1.0});  // alternating pixels at width 1
  else if (p.Style == TPenStyle::Dash) pen.setStyle(Qt::DashLine);
  FPainter->setPen(pen);
}

void TQtCanvas::ApplyBrush() {
  const TBrush& b = Brush();
  if (b.Style == TBrushStyle::Clear) FPainter->setBrush(Qt::NoBrush);
  else FPainter->setBrush(QBrush(ToQColor(b.Color), QtBrushStyle(b.Style)));
}

void TQtCanvas::FillRect(const TRect& r) {
  if (!FPainter || Brush().Style == TBrushStyle::Clear || r.Right <= r.Left || r.Bottom <= r.Top) return;
  const TBrush& b = Brush();
  if (b.Style == TBrushStyle::Solid) FPainter->fillRect(ToQRect(r), ToQColor(b.Color));
  else FPainter->fillRect(ToQRect(r), QBrush(ToQColor(b.Color), QtBrushStyle(b.Style)));
}

void TQtCanvas::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!FPainter || Pen().Style == TPenStyle::Clear || (x1 == x2 && y1 == y2)) return;
  ApplyPen();
  // with flat caps the end point is left out, also by the one-pixel stroker
  FPainter->drawLine(QPoint(x1, y1), QPoint(x2, y2));
}

void TQtCanvas::Polyline(const TPoints& points) {
  if (!FPainter || points.size() < 2 || Pen().Style == TPenStyle::Clear) return;
  ApplyPen();
  QPolygon poly;
  for (const TPoint& p : points) poly << QPoint(p.X, p.Y);
  FPainter->drawPolyline(poly);
}

void TQtCanvas::Polygon(const TPoints& points) {
  if (!FPainter || points.size() < 3) return;
  ApplyPen();
  ApplyBrush();
  QPolygon poly;
  for (const TPoint& p : points) poly << QPoint(p.X, p.Y);
  FPainter->drawPolygon(poly);
}

void TQtCanvas::Ellipse(const TRect& r) {
  if (!FPainter || r.Right <= r.Left || r.Bottom <= r.Top) return;
  ApplyPen();
  ApplyBrush();
  FPainter->drawEllipse(QRectF(r.Left, r.Top, r.Right - r.Left - 1, r.Bottom - r.Top - 1));
}

void TQtCanvas::DrawPicture(const TRect& r, const TPicture& picture) {
  if (!FPainter) return;
  if (const auto* q = dynamic_cast<const TQtPicture*>(&picture)) FPainter->drawImage(ToQRect(r), q->Image);
}

void TQtCanvas::TextOut(int32_t x, int32_t y, std::string_view text, const int32_t* advances, const TRect* clip,
                        bool opaque) {
  if (!FPainter || text.empty()) return;
  std::vector<int32_t> own;
  if (!advances) {
    own.resize(text.size());
    Advances(text, own.data());
    advances = own.data();
  }
  const TCanvasFont& font = Font();
  const int32_t h = std::max<int32_t>(1, font.Height);
  TRect area = FClip;
  if (clip) area = Meet(area, *clip);
  if (opaque) {
    TRect box = clip ? *clip : TRect{};
    if (!clip) {
      int64_t run = 0;
      for (size_t i = 0; i < text.size(); ++i) run += advances[i];
      int32_t len = static_cast<int32_t>(std::min<int64_t>(run, INT32_MAX / 4));
      box = font.Vertical ? TRect{x - h, y, x, y + len} : TRect{x, y, x + len, y + h};
    }
    box = Meet(box, area);
    if (box.Right > box.Left && box.Bottom > box.Top) FPainter->fillRect(ToQRect(box), ToQColor(Brush().Color));
  }
  if (area.Right <= area.Left || area.Bottom <= area.Top) return;
  FPainter->save();
  if (clip) FPainter->setClipRect(ToQRect(area));
  FPainter->setPen(ToQColor(font.Color));
  if (font.Vertical) {
    DrawVerticalText(*FPainter, QtMetrics(font.Name, font.Style).FontAt(h), x, y, text, advances);
  } else {
    DrawUpright(x, y, text, advances);
  }
  FPainter->restore();
}

// Glyphs of the face itself go out as one glyph run at the given advances; a character the
// face lacks is drawn alone in the font with Qt's fallback.
void TQtCanvas::DrawUpright(int32_t x, int32_t y, std::string_view text, const int32_t* advances) {
  const TCanvasFont& font = Font();
  const int32_t h = std::max<int32_t>(1, font.Height);
  const TQtTextMetrics& m = QtMetrics(font.Name, font.Style);
  QRawFont raw = m.RawFontAt(h);
  const double baseline = y + h * m.AscentRatio();
  QList<quint32> glyphs;
  QList<QPointF> positions;
  glyphs.reserve(static_cast<qsizetype>(text.size()));
  positions.reserve(static_cast<qsizetype>(text.size()));
  std::vector<std::pair<double, QChar>> missing;
  int64_t pos = x;
  for (size_t i = 0; i < text.size();) {
    size_t n = CharLenAt(text, i);
    QChar c(SjisCharToUtf16(text.substr(i, n)));
    quint32 glyph = 0;
    int count = 1;
    if (raw.isValid()) raw.glyphIndexesForChars(&c, 1, &glyph, &count);
    if (glyph != 0) {
      glyphs.push_back(glyph);
      positions.push_back(QPointF(static_cast<double>(pos), baseline));
    } else if (!c.isSpace() && c.unicode() >= 0x20) {
      missing.emplace_back(static_cast<double>(pos), c);
    }
    pos += advances[i];
    i += n;
  }
  if (!glyphs.isEmpty()) {
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    FPainter->drawGlyphRun(QPointF(0, 0), run);
  }
  if (!missing.empty()) {
    FPainter->setFont(m.FontAt(h));
    for (const auto& [px, c] : missing) FPainter->drawText(QPointF(px, baseline), QString(c));
  }
}

// ---- Surfaces ------------------------------------------------------------------------------

namespace {

class TQtSurfaceFactory : public TSurfaceFactory {
public:
  std::unique_ptr<TCanvas> MeasureCanvas(int32_t dpi) override {
    return std::make_unique<TQtCanvas>(nullptr, dpi, kWholePlane);
  }
  std::unique_ptr<TCanvas> PrintCanvas(TPrintSurface* surface, int32_t dpi) override {
    auto* qt = dynamic_cast<TQtPrintSurface*>(surface);
    if (!qt || !qt->Painter) return FFallback->PrintCanvas(surface, dpi);
    QRect page = qt->Painter->viewport();
    return std::make_unique<TQtCanvas>(qt->Painter, dpi, TRect{0, 0, page.width(), page.height()});
  }

private:
  // Jobs of other backends (a fake printer in tests) draw as they would without Qt.
  std::unique_ptr<TSurfaceFactory> FFallback = MakeDefaultSurfaceFactory();
};

}  // namespace

void InstallQtDrawing() {
  SetSurfaceFactory(std::make_unique<TQtSurfaceFactory>());
  SetPictureLoader([](const std::string& fileName) -> std::shared_ptr<TPicture> {
    QImage image(QString::fromUtf8(OsPath(fileName)));
    if (image.isNull()) return nullptr;
    return std::make_shared<TQtPicture>(std::move(image));
  });
  SetScreenDpiSource([] {
    QScreen* screen = QGuiApplication::primaryScreen();
    int dpi = screen ? qRound(screen->logicalDotsPerInch()) : 96;
    return dpi > 0 ? dpi : 96;
  });
}

void UninstallQtDrawing() {
  SheetPrinter().SetBackend(nullptr);
  SetSurfaceFactory(nullptr);
  SetPictureLoader(nullptr);
  SetScreenDpiSource(nullptr);
}

TQtPaperSetup::TQtPaperSetup() {
  InstallQtPrinters();
  InstallQtDrawing();
}

TQtPaperSetup::~TQtPaperSetup() { UninstallQtDrawing(); }

}  // namespace kaede
