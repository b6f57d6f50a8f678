#include "Canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "FakePrinters.h"
#include "SheetPrinters.h"

namespace kaede {

TBrushStyle HatchOfCode(int32_t code) {
  switch (code) {
    case 0: return TBrushStyle::Horizontal;
    case 1: return TBrushStyle::Vertical;
    case 2: return TBrushStyle::FDiagonal;
    case 3: return TBrushStyle::BDiagonal;
    case 4: return TBrushStyle::Cross;
    case 5: return TBrushStyle::DiagCross;
    default: return TBrushStyle::Solid;
  }
}

int32_t PointsToPixels(double points, int32_t dpi) {
  return std::max<int32_t>(1, RoundHalfEven(points * dpi / 72.0));
}

TCanvasFont CanvasFont(const TFontRecord& font, int32_t heightPx, int32_t dpi, bool vertical) {
  TCanvasFont f;
  f.Name = font.Name;
  f.Height = heightPx > 0 ? heightPx : PointsToPixels(font.Size > 0 ? font.Size : 9, dpi);
  f.Style = font.Style;
  f.Color = font.Color;
  f.Vertical = vertical;
  return f;
}

// ---- Pictures ------------------------------------------------------------------------------

namespace {
TPictureLoader& PictureLoaderSlot() {
  static TPictureLoader loader;
  return loader;
}
}  // namespace

std::shared_ptr<TPicture> LoadPicture(const std::string& fileName) {
  const TPictureLoader& loader = PictureLoaderSlot();
  return loader ? loader(fileName) : nullptr;
}

void SetPictureLoader(TPictureLoader loader) { PictureLoaderSlot() = std::move(loader); }

// ---- TCanvas -------------------------------------------------------------------------------

void TCanvas::Advances(std::string_view text, int32_t* out) const {
  Metrics().Advances(text, std::max<int32_t>(1, FFont.Height), FFont.Vertical, out);
}

int32_t TCanvas::TextWidth(std::string_view text) const {
  if (text.empty()) return 0;
  std::vector<int32_t> adv(text.size());
  Advances(text, adv.data());
  int64_t sum = 0;
  for (int32_t a : adv) sum += a;
  return static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
}

int32_t TCanvas::TextHeight(std::string_view /*text*/) const { return std::max<int32_t>(1, FFont.Height); }

// ---- TRecordingCanvas ----------------------------------------------------------------------

namespace {
constexpr TRect kWholePlane{INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2};

TRect Intersect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}
}  // namespace

TRecordingCanvas::TRecordingCanvas(int32_t dpi, std::shared_ptr<const TTextMetrics> metrics)
    : FDpi(dpi), FMetrics(metrics ? std::move(metrics) : std::make_shared<TFixedMetrics>()), FBaseClip(kWholePlane),
      FClip(kWholePlane) {}

void TRecordingCanvas::NewPage() { Add(TCanvasOp::opNewPage); }

void TRecordingCanvas::SetBaseClip(const TRect& r) {
  FBaseClip = r;
  FClip = r;
  FHasClip = false;
}

std::vector<const TCanvasOp*> TRecordingCanvas::Texts() const {
  std::vector<const TCanvasOp*> r;
  for (const TCanvasOp& op : Ops)
    if (op.Kind == TCanvasOp::opText) r.push_back(&op);
  return r;
}

void TRecordingCanvas::SetClipRect(const TRect& r) {
  FClip = Intersect(FBaseClip, r);
  FHasClip = true;
}

void TRecordingCanvas::ResetClip() {
  FClip = FBaseClip;
  FHasClip = false;
}

TRect TRecordingCanvas::ClipBounds() const { return FClip; }

TCanvasOp& TRecordingCanvas::Add(TCanvasOp::TKind kind) {
  TCanvasOp& op = Ops.emplace_back();
  op.Kind = kind;
  op.Clip = FClip;
  op.Pen = Pen();
  op.Brush = Brush();
  op.Font = Font();
  return op;
}

void TRecordingCanvas::FillRect(const TRect& r) { Add(TCanvasOp::opFillRect).Rect = r; }

void TRecordingCanvas::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Add(TCanvasOp::opLine).Points = {{x1, y1}, {x2, y2}};
}

void TRecordingCanvas::Polyline(const TPoints& points) { Add(TCanvasOp::opPolyline).Points = points; }

void TRecordingCanvas::Polygon(const TPoints& points) { Add(TCanvasOp::opPolygon).Points = points; }

void TRecordingCanvas::Ellipse(const TRect& r) { Add(TCanvasOp::opEllipse).Rect = r; }

void TRecordingCanvas::DrawPicture(const TRect& r, const TPicture& picture) {
  TCanvasOp& op = Add(TCanvasOp::opPicture);
  op.Rect = r;
  op.PictureRef = &picture;
}

void TRecordingCanvas::TextOut(int32_t x, int32_t y, std::string_view text, const int32_t* advances,
                               const TRect* clip, bool opaque) {
  TCanvasOp& op = Add(TCanvasOp::opText);
  op.X = x;
  op.Y = y;
  op.Text = std::string(text);
  op.Advances.resize(text.size());
  if (advances)
    std::copy(advances, advances + text.size(), op.Advances.begin());
  else if (!text.empty())
    Advances(text, op.Advances.data());
  op.HasClip = clip != nullptr;
  if (clip) op.Rect = *clip;
  op.Opaque = opaque;
}

bool TRecordingCanvas::FaceExists(const std::string& name) const {
  if (KnownFaces.empty()) return true;
  std::string face = !name.empty() && name[0] == '@' ? name.substr(1) : name;
  return std::find(KnownFaces.begin(), KnownFaces.end(), face) != KnownFaces.end();
}

// ---- TInkCanvas ----------------------------------------------------------------------------

TInkCanvas::TInkCanvas(TCanvas& measure) : FMeasure(measure), FClip(kWholePlane) {}

void TInkCanvas::SetClipRect(const TRect& r) {
  FClip = r;
  FHasClip = true;
}

void TInkCanvas::ResetClip() {
  FClip = kWholePlane;
  FHasClip = false;
}

TRect TInkCanvas::ClipBounds() const { return FClip; }

void TInkCanvas::Add(TRect r) {
  if (FHasClip) r = Intersect(r, FClip);
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  if (FInk.Right <= FInk.Left || FInk.Bottom <= FInk.Top) {
    FInk = r;
    return;
  }
  FInk = {std::min(FInk.Left, r.Left), std::min(FInk.Top, r.Top), std::max(FInk.Right, r.Right), std::max(FInk.Bottom, r.Bottom)};
}

bool TInkCanvas::Inks(const TBrush& b) const {
  return b.Style != TBrushStyle::Clear && !(b.Style == TBrushStyle::Solid && b.Color == clWhite);
}

void TInkCanvas::AddPoints(const TPoints& points, bool filled) {
  if (points.empty()) return;
  const bool pen = Pen().Style != TPenStyle::Clear;
  if (!pen && !filled) return;
  int32_t l = points[0].X, t = points[0].Y, r = l, b = t;
  for (const TPoint& p : points) {
    l = std::min(l, p.X);
    t = std::min(t, p.Y);
    r = std::max(r, p.X);
    b = std::max(b, p.Y);
  }
  const int32_t half = pen ? std::max(1, Pen().Width) / 2 : 0;
  Add({l - half, t - half, r + half + 1, b + half + 1});
}

void TInkCanvas::FillRect(const TRect& r) {
  if (Inks(Brush())) Add(r);
}

void TInkCanvas::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { AddPoints({{x1, y1}, {x2, y2}}, false); }
void TInkCanvas::Polyline(const TPoints& points) { AddPoints(points, false); }
void TInkCanvas::Polygon(const TPoints& points) { AddPoints(points, Inks(Brush())); }

void TInkCanvas::Ellipse(const TRect& r) {
  if (Inks(Brush()) || Pen().Style != TPenStyle::Clear) Add(r);
}

void TInkCanvas::DrawPicture(const TRect& r, const TPicture& /*picture*/) { Add(r); }

void TInkCanvas::TextOut(int32_t x, int32_t y, std::string_view text, const int32_t* advances, const TRect* clip,
                         bool opaque) {
  TRect box;
  if (!text.empty()) {
    int64_t length = 0;
    if (advances) {
      for (size_t i = 0; i < text.size(); ++i) length += advances[i];
    } else {
      length = TextWidth(text);
    }
    const int32_t n = static_cast<int32_t>(std::clamp<int64_t>(length, 0, INT32_MAX / 4));
    const int32_t h = std::max<int32_t>(1, Font().Height);
    box = Font().Vertical ? TRect{x - h, y, x, y + n} : TRect{x, y, x + n, y + h};
    if (clip) box = Intersect(box, *clip);
    Add(box);
  }
  if (opaque && Inks(Brush())) Add(clip ? *clip : box);
}

const TTextMetrics& TInkCanvas::Metrics() const {
  FMeasure.SetFont(Font());
  return FMeasure.Metrics();
}

int32_t TInkCanvas::TextHeight(std::string_view text) const {
  FMeasure.SetFont(Font());
  return FMeasure.TextHeight(text);
}

// ---- Surfaces ------------------------------------------------------------------------------

namespace {

// Draws on another canvas, handing over the state with every call.
class TForwardingCanvas : public TCanvas {
public:
  explicit TForwardingCanvas(std::shared_ptr<TRecordingCanvas> target) : FTarget(std::move(target)) {}
  int32_t Dpi() const override { return FTarget->Dpi(); }
  void SetClipRect(const TRect& r) override { FTarget->SetClipRect(r); }
  void ResetClip() override { FTarget->ResetClip(); }
  TRect ClipBounds() const override { return FTarget->ClipBounds(); }
  void FillRect(const TRect& r) override { Sync().FillRect(r); }
  void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override { Sync().Line(x1, y1, x2, y2); }
  void Polyline(const TPoints& points) override { Sync().Polyline(points); }
  void Polygon(const TPoints& points) override { Sync().Polygon(points); }
  void Ellipse(const TRect& r) override { Sync().Ellipse(r); }
  void DrawPicture(const TRect& r, const TPicture& picture) override { Sync().DrawPicture(r, picture); }
  void TextOut(int32_t x, int32_t y, std::string_view text, const int32_t* advances, const TRect* clip,
               bool opaque) override {
    Sync().TextOut(x, y, text, advances, clip, opaque);
  }
  const TTextMetrics& Metrics() const override { return FTarget->Metrics(); }
  bool FaceExists(const std::string& name) const override { return FTarget->FaceExists(name); }

private:
  TRecordingCanvas& Sync() {
    FTarget->SetPen(Pen());
    FTarget->SetBrush(Brush());
    FTarget->SetFont(Font());
    return *FTarget;
  }
  std::shared_ptr<TRecordingCanvas> FTarget;
};

class TDefaultSurfaceFactory : public TSurfaceFactory {
public:
  std::unique_ptr<TCanvas> MeasureCanvas(int32_t dpi) override { return std::make_unique<TRecordingCanvas>(dpi); }
  std::unique_ptr<TCanvas> PrintCanvas(TPrintSurface* surface, int32_t dpi) override {
    auto* fake = dynamic_cast<TFakePrintSurface*>(surface);
    if (!fake) return nullptr;
    if (!fake->Recording) fake->Recording = std::make_shared<TRecordingCanvas>(dpi);
    fake->Recording->SetDpi(dpi);
    return std::make_unique<TForwardingCanvas>(fake->Recording);
  }
};

std::unique_ptr<TSurfaceFactory>& FactorySlot() {
  static std::unique_ptr<TSurfaceFactory> factory = std::make_unique<TDefaultSurfaceFactory>();
  return factory;
}

}  // namespace

TSurfaceFactory& Surfaces() { return *FactorySlot(); }

std::unique_ptr<TSurfaceFactory> MakeDefaultSurfaceFactory() { return std::make_unique<TDefaultSurfaceFactory>(); }

void SetSurfaceFactory(std::unique_ptr<TSurfaceFactory> factory) {
  FactorySlot() = factory ? std::move(factory) : std::make_unique<TDefaultSurfaceFactory>();
}

}  // namespace kaede
