#pragma once
// The drawing surface of the paper views over a QPainter: a window, an image, a printer or a
// PDF file. Views never see this class; they draw through TCanvas.
//
// Fonts are realised at pixel sizes of the surface (TCanvasFont::Height), never at point
// sizes, because Qt's logical resolution differs from device to device. Text advances are the
// fonts' unhinted design advances scaled to the pixel height, so that a text measures the same
// (in proportion) on the screen, on a 600-dpi printer and in a PDF file, and the preview breaks
// lines and pages exactly where the print does. Glyphs are placed at those advances.
#include <QFont>
#include <QImage>
#include <QRawFont>
#include <memory>
#include <string>

#include "Canvas.h"

class QPainter;

namespace kaede {

// Text metrics of one stored face and style (the face goes through the font mapping of the Qt
// layer). Advances of a character are cached; all heights share one measurement.
class TQtTextMetrics : public TTextMetrics {
public:
  TQtTextMetrics(const std::string& face, uint8_t style);
  ~TQtTextMetrics() override;
  void Advances(std::string_view text, int32_t height, bool vertical, int32_t* out) const override;
  // The Qt font of the face and style at a pixel height (unhinted).
  QFont FontAt(int32_t height) const;
  // The face's glyphs at a pixel height (cached).
  QRawFont RawFontAt(int32_t height) const;
  // The em box's share above the baseline (ascent / (ascent + descent)).
  double AscentRatio() const { return FAscentRatio; }

private:
  struct TCache;
  QFont FBase;
  double FAscentRatio = 0.88;
  std::unique_ptr<TCache> FCache;
};

// The shared metrics of a face and style (made on first use, kept for the run).
const TQtTextMetrics& QtMetrics(const std::string& face, uint8_t style);

// A canvas over a painter. Without a painter it only measures. baseClip is the area being
// painted (a widget's update rectangle, an image's or a page's bounds).
class TQtCanvas : public TCanvas {
public:
  TQtCanvas(QPainter* painter, int32_t dpi, const TRect& baseClip);
  ~TQtCanvas() override;
  QPainter* Painter() const { return FPainter; }

  int32_t Dpi() const override { return FDpi; }
  void SetClipRect(const TRect& r) override;
  void ResetClip() override;
  TRect ClipBounds() const override { return FClip; }
  void FillRect(const TRect& r) override;
  void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void Polyline(const TPoints& points) override;
  void Polygon(const TPoints& points) override;
  void Ellipse(const TRect& r) override;
  void DrawPicture(const TRect& r, const TPicture& picture) override;
  void TextOut(int32_t x, int32_t y, std::string_view text, const int32_t* advances = nullptr,
               const TRect* clip = nullptr, bool opaque = false) override;
  const TTextMetrics& Metrics() const override;
  bool FaceExists(const std::string& name) const override;

private:
  void ApplyPen();
  void ApplyBrush();
  void ApplyClip(const TRect& r);
  void DrawUpright(int32_t x, int32_t y, std::string_view text, const int32_t* advances);

  QPainter* FPainter;
  int32_t FDpi;
  TRect FBaseClip;
  TRect FClip;
};

// A picture decoded by Qt.
class TQtPicture : public TPicture {
public:
  explicit TQtPicture(QImage image) : Image(std::move(image)) {}
  int32_t Width() const override { return Image.width(); }
  int32_t Height() const override { return Image.height(); }
  QImage Image;
};

// The Unicode character of one CP932 character (one or two bytes); U+FFFD for bytes that are
// not CP932.
char16_t SjisCharToUtf16(std::string_view ch);

// Installs the Qt surfaces (measuring canvases and print-job canvases), the picture loader and
// the screen's resolution as the source of the page metrics. The programs call this at start,
// after the application object exists, together with InstallQtPrinters.
void InstallQtDrawing();
// Hands all of it back (the default surfaces, no picture loader, 96 dots per inch), and the
// process's printer its Qt backend: what the toolkit made must go before the application
// object does, not in the exit handlers after it.
void UninstallQtDrawing();

// Installs the Qt printers and drawing for as long as it lives; a program's entry keeps one
// beside its application object, declared after it.
class TQtPaperSetup {
public:
  TQtPaperSetup();
  ~TQtPaperSetup();
  TQtPaperSetup(const TQtPaperSetup&) = delete;
  TQtPaperSetup& operator=(const TQtPaperSetup&) = delete;
};

}  // namespace kaede
