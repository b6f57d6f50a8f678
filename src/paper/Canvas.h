#pragma once
// The drawing surface of every paper view. Views draw through TCanvas only, so that one
// drawing code serves the window, the printer, the PDF file and the command line, and tests
// check what was drawn through TRecordingCanvas.
//
// Coordinates are whole device pixels of the surface (screen pixels, or printer dots while
// printing), x to the right and y down. Rectangles are half-open: a TRect covers the pixels
// Left <= x < Right, Top <= y < Bottom. Colours are TColor values (0x00BBGGRR).
//
// Text is CP932 bytes. A text run is drawn with an optional per-byte advance array: the
// advance of a character (along the writing direction) sits on its lead byte and the trail
// byte of a double-byte character has 0; the next character starts at the sum of the
// advances before it. Without an array each character takes its own advance from the font.
//
// Upright (horizontal) text: (x, y) is the top-left corner of the first character's em box;
// the run goes right; the em box is Font().Height pixels high.
// Vertical text (Font().Vertical): (x, y) is the top-right corner of the column; the run goes
// down from y and the column extends Font().Height pixels to the left of x. Full-width
// characters stand upright in their vertical forms (、。「」（）ー～ and small kana take the
// font's vertical glyphs); half-width characters lie on their side, turned 90 degrees
// clockwise, as in a line of horizontal text turned to run down.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Fonts.h"
#include "KaedeTypes.h"
#include "TextMetrics.h"

namespace kaede {

class TPrintSurface;

enum class TPenStyle : uint8_t { Clear, Solid, Dot, Dash };

struct TPen {
  TPenStyle Style = TPenStyle::Solid;
  // Width in device pixels; 1 or less draws one pixel wide whatever the surface.
  int32_t Width = 1;
  TColor Color = clBlack;
  bool operator==(const TPen&) const = default;
};

// Solid and Clear, then the six hatches in the order of the hatch codes 0-5 that a style
// stores (horizontal, vertical, falling diagonal, rising diagonal, cross, diagonal cross).
enum class TBrushStyle : uint8_t { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };
// The hatch of a stored hatch code 0-5; codes outside give a solid brush.
TBrushStyle HatchOfCode(int32_t code);

struct TBrush {
  TBrushStyle Style = TBrushStyle::Solid;
  TColor Color = clWhite;
  bool operator==(const TBrush&) const = default;
};

// A font as the views ask for it. Sizes are pixels of the surface being drawn, never points:
// the views convert a stored point size with the surface's resolution (PointsToPixels).
struct TCanvasFont {
  std::string Name;  // stored face name (CP932); a leading "@" is allowed and ignored for the face
  int32_t Height = 12;  // em height in pixels, at least 1
  uint8_t Style = 0;    // TFontStyleBits
  TColor Color = clBlack;
  bool Vertical = false;  // vertical writing (see above)
  bool operator==(const TCanvasFont&) const = default;
};

// round(points x dpi / 72), at least 1.
int32_t PointsToPixels(double points, int32_t dpi);
// The canvas font of a stored font record at a pixel height (0 or less: the record's point
// size at dpi).
TCanvasFont CanvasFont(const TFontRecord& font, int32_t heightPx, int32_t dpi, bool vertical = false);

// A decoded picture (the stamp, header and footer pictures of a card).
class TPicture {
public:
  virtual ~TPicture() = default;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
};
using TPictureLoader = std::function<std::shared_ptr<TPicture>(const std::string& fileName)>;
// Loads a picture file (CP932 name); none when the file is missing or unreadable, or when no
// loader is installed (the Qt layer installs one).
std::shared_ptr<TPicture> LoadPicture(const std::string& fileName);
void SetPictureLoader(TPictureLoader loader);

class TCanvas {
public:
  virtual ~TCanvas() = default;

  // ---- State ----
  void SetPen(const TPen& pen) { FPen = pen; }
  const TPen& Pen() const { return FPen; }
  void SetBrush(const TBrush& brush) { FBrush = brush; }
  const TBrush& Brush() const { return FBrush; }
  void SetFont(const TCanvasFont& font) { FFont = font; }
  const TCanvasFont& Font() const { return FFont; }

  // Pixels per inch of the surface: the screen's, or the printer's page resolution.
  virtual int32_t Dpi() const = 0;

  // ---- Clipping ----
  // Limits all drawing to r within the base clip (the area being painted); replaces any
  // earlier SetClipRect.
  virtual void SetClipRect(const TRect& r) = 0;
  // Back to the base clip.
  virtual void ResetClip() = 0;
  // The bounds of the current clip (the base clip when none is set).
  virtual TRect ClipBounds() const = 0;

  // ---- Drawing ----
  // Fills r with the brush (hatches draw their lines in the brush colour and leave the rest).
  virtual void FillRect(const TRect& r) = 0;
  // A line with the pen from (x1, y1) towards (x2, y2); the end point itself is not drawn.
  virtual void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
  // Connected lines with the pen.
  virtual void Polyline(const TPoints& points) = 0;
  // Filled with the brush and outlined with the pen (a Clear pen draws no outline).
  virtual void Polygon(const TPoints& points) = 0;
  // The ellipse inside r, filled with the brush and outlined with the pen.
  virtual void Ellipse(const TRect& r) = 0;
  // The picture stretched to r.
  virtual void DrawPicture(const TRect& r, const TPicture& picture) = 0;
  // Text in the font at (x, y) (see the top of this file). clip, when given, limits the
  // text to that rectangle; opaque fills the clip rectangle (or, without one, the text's
  // own box) with the brush colour first.
  virtual void TextOut(int32_t x, int32_t y, std::string_view text, const int32_t* advances = nullptr,
                       const TRect* clip = nullptr, bool opaque = false) = 0;

  // ---- Measuring (in the current font) ----
  // The metrics of the current font's face and style (the height and direction are passed
  // to each call).
  virtual const TTextMetrics& Metrics() const = 0;
  // Per-byte advances of text in the current font and direction: out[0 .. text.size()).
  void Advances(std::string_view text, int32_t* out) const;
  // The sum of the advances.
  int32_t TextWidth(std::string_view text) const;
  // The height of a line of text in the current font (the em height for the faces this
  // program uses; never below Font().Height).
  virtual int32_t TextHeight(std::string_view text) const;
  // Whether a stored face name stands for an installed font (or a face mapped to one).
  virtual bool FaceExists(const std::string& name) const = 0;

private:
  TPen FPen;
  TBrush FBrush;
  TCanvasFont FFont;
};

// ---- Recording canvas ----------------------------------------------------------------------

// One call to a canvas, kept as data.
struct TCanvasOp {
  enum TKind { opFillRect, opLine, opPolyline, opPolygon, opEllipse, opPicture, opText, opNewPage } Kind = opFillRect;
  TRect Rect;          // FillRect, Ellipse, Picture; Text: the clip when HasClip
  TPoints Points;      // Line (two points), Polyline, Polygon
  std::string Text;    // Text
  TIntegers Advances;  // Text: the advances used (given or measured), one per byte
  bool HasClip = false;
  bool Opaque = false;
  TRect Clip;  // the canvas clip bounds at the time of the call
  TPen Pen;
  TBrush Brush;
  TCanvasFont Font;
  int32_t X = 0, Y = 0;  // Text
  const TPicture* PictureRef = nullptr;
};

// A canvas that draws nothing and keeps every call (tests, measuring). Metrics come from the
// given TTextMetrics (fixed-width metrics by default). Its base clip is the whole plane
// unless set with SetBaseClip.
class TRecordingCanvas : public TCanvas {
public:
  explicit TRecordingCanvas(int32_t dpi = 96, std::shared_ptr<const TTextMetrics> metrics = nullptr);

  std::vector<TCanvasOp> Ops;
  // Page breaks of a print job are recorded as NewPage operations.
  void NewPage();
  void SetBaseClip(const TRect& r);
  void SetDpi(int32_t dpi) { FDpi = dpi; }
  // Only text operations, in order (a convenience for tests).
  std::vector<const TCanvasOp*> Texts() const;

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
  const TTextMetrics& Metrics() const override { return *FMetrics; }
  bool FaceExists(const std::string& name) const override;
  // Faces FaceExists answers true for (all when empty).
  std::vector<std::string> KnownFaces;

private:
  TCanvasOp& Add(TCanvasOp::TKind kind);
  int32_t FDpi;
  std::shared_ptr<const TTextMetrics> FMetrics;
  TRect FBaseClip;
  TRect FClip;
  bool FHasClip = false;
};

// A canvas that draws nothing and keeps only where ink would go: the bounds of everything
// drawn, within the clip. White and clear fills are the paper and leave no ink. Text is
// measured by the inner canvas (its metrics), so that it is laid out as it prints.
class TInkCanvas : public TCanvas {
public:
  explicit TInkCanvas(TCanvas& measure);
  // The bounds of the ink so far; empty (all 0) when nothing was drawn.
  const TRect& Ink() const { return FInk; }

  int32_t Dpi() const override { return FMeasure.Dpi(); }
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
  bool FaceExists(const std::string& name) const override { return FMeasure.FaceExists(name); }

private:
  void Add(TRect r);
  bool Inks(const TBrush& b) const;
  void AddPoints(const TPoints& points, bool filled);
  TCanvas& FMeasure;
  TRect FClip;
  bool FHasClip = false;
  TRect FInk;
};

// ---- Surfaces ------------------------------------------------------------------------------

// Where views get a canvas outside a paint: one that measures text at a resolution, and the
// canvas of a running print job. The Qt layer installs its own factory at start; the default
// makes recording canvases with fixed-width metrics, and for a fake printer's job records
// into the job (TFakePrintSurface::Recording).
class TSurfaceFactory {
public:
  virtual ~TSurfaceFactory() = default;
  virtual std::unique_ptr<TCanvas> MeasureCanvas(int32_t dpi) = 0;
  // The canvas of a print job's surface at the printer's resolution; none when the surface
  // is not one this factory knows.
  virtual std::unique_ptr<TCanvas> PrintCanvas(TPrintSurface* surface, int32_t dpi) = 0;
};
TSurfaceFactory& Surfaces();
// Installs a factory (none: back to the default).
void SetSurfaceFactory(std::unique_ptr<TSurfaceFactory> factory);
// A new default factory (recording canvases; fake print jobs record into the job), for a
// factory that hands the surfaces it does not know on to it.
std::unique_ptr<TSurfaceFactory> MakeDefaultSurfaceFactory();

}  // namespace kaede
