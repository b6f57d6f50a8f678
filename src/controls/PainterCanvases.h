#pragma once
// A canvas over a QPainter for the program's small controls (labels, hints, samples and the
// stand-in page pictures of the print area): the drawing calls of TCanvas on a widget, an
// image or a printer, with text measured in the installed fonts that stand for the stored
// face names. Without a painter it only measures.
#include <QFont>
#include <memory>

#include "Canvas.h"

class QPainter;

namespace kaede {

class TPainterCanvas : public TCanvas {
public:
  // painter may be none (measuring only); dpi 0 takes the painter's device resolution (96
  // without a painter).
  explicit TPainterCanvas(QPainter* painter, int32_t dpi = 0);
  ~TPainterCanvas() override;

  QPainter* Painter() const { return FPainter; }
  // The Qt font of a canvas font (the pixel height of the canvas font, its face and style).
  static QFont QtFont(const TCanvasFont& font);

  int32_t Dpi() const override { return FDpi; }
  void SetClipRect(const TRect& r) override;
  void ResetClip() override;
  TRect ClipBounds() const override;
  void FillRect(const TRect& r) override;
  void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void Polyline(const TPoints& points) override;
  void Polygon(const TPoints& points) override;
  void Ellipse(const TRect& r) override;
  void DrawPicture(const TRect& r, const TPicture& picture) override;
  void TextOut(int32_t x, int32_t y, std::string_view text, const int32_t* advances = nullptr,
               const TRect* clip = nullptr, bool opaque = false) override;
  const TTextMetrics& Metrics() const override;
  int32_t TextHeight(std::string_view text) const override;
  bool FaceExists(const std::string& name) const override;

private:
  void ApplyPen();
  void ApplyBrush();
  QPainter* FPainter;
  int32_t FDpi;
  bool FHasClip = false;
  TRect FClip;
  std::unique_ptr<TTextMetrics> FMetrics;
};

}  // namespace kaede
