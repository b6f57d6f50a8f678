#pragma once
// The layout of one address print (a postcard, an envelope, a label): the paper with the
// envelope flap, the postal-code boxes with their digits, the title, the pictures, the fold
// of a round-trip card, the address, the name with honorific and joint names, the telephone
// and mail lists, and the sender. It draws through TCanvas only and measures text in the
// canvas's own metrics, so that the preview, the printer, the PDF writer and the command line
// lay a card out alike, and tests check the geometry through a recording canvas.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"
#include "CustomerBarcodes.h"
#include "PostStyles.h"

namespace kaede {

class TPerson;
class TPostalData;

// The stamp, header and footer pictures of a style; each is absent when its file is missing
// or its number is 0.
struct TPostPictures {
  std::shared_ptr<TPicture> Stamp, Header, Footer;
};

// The file name of a card picture: kind ("Stamp", "HeaderImage", "FooterImage") and number
// ("Stamp1.bmp").
std::string PostPictureName(const std::string& kind, int32_t number);
// Where the card pictures are installed: the "cards/" folder of the program's data folder.
// The current folder is never searched.
std::string PostPictureFolder();
// The pictures a style names, from `folder` (the installed ones by default).
TPostPictures LoadPostPictures(const TPostValues& values, const std::string& folder = PostPictureFolder());

// One or two digits that a vertical line sets upright in one cell: the cell is the full-width
// space at byte At of the line.
struct TUprightDigits {
  size_t At;
  std::string Digits;  // ASCII
};
// The numbers of a vertical address line written as `kind` says (TPostValues::
// AddressNumerals): each digit a kanji (0, as ZenkakuKansuji), kanji with places up to three
// digits (1: 十二, 二十, 百五), or arabic (2: runs of one or two digits upright in one cell,
// listed in `upright`; longer ones a full-width digit to a cell); hyphens in half width.
std::string VerticalNumbers(const std::string& line, int32_t kind, std::vector<TUprightDigits>& upright);

// The postal-code boxes printed on an official postcard (100 x 148 mm): left edges from the
// card's left edge, 12.0 mm from its top, 5.7 x 8.0 mm each.
inline constexpr double kOfficialBoxLefts[7] = {44.3, 51.3, 58.3, 65.9, 72.7, 79.5, 86.3};
inline constexpr double kOfficialBoxTop = 12.0, kOfficialBoxWidth = 5.7, kOfficialBoxHeight = 8.0;

// What a printer test sheet says about the job it is printed with.
struct TCalibrationNote {
  std::string Printer;    // CP932
  double OffsetX = 0, OffsetY = 0;  // the offset the sheet is printed with, millimetres
};

// An entry (from 0) printed without its barcode, and why.
struct TBarcodeMissing {
  int32_t Entry;
  TBarcodeFailure Why;
};

// What one card is drawn with.
struct TPostPaint {
  // The page in pixels of the surface (flap included for an envelope printed with its flap
  // open); on a divided sheet the page's cell.
  TRect PageRect;
  // The screen zoom of lengths (1 while printing).
  double Zoom = 1.0;
  // Printing: status-2 elements, the pictures, the fold and the guides are not drawn, and the
  // printer's unprintable offset is taken off the card.
  bool Printing = false;
  TPoint PrintOffset;
  bool ShowGuides = false;
  // A proof: the guides are printed too.
  bool PrintGuides = false;
  // The addressee (none: the background alone) and the sender (none: no sender data).
  const TPerson* Person = nullptr;
  const TPerson* Sender = nullptr;
  const TPostPictures* Pictures = nullptr;
  // Where the barcode finds the town of an address (none: no barcode can be made).
  TPostalData* Dictionary = nullptr;
  // The colour outside the envelope's flap (the desktop's workspace colour).
  TColor WorkspaceColor = 0xABABAB;
};

class TPostLayout {
public:
  TPostLayout(const TPostStyle& style, TCanvas& canvas, const TPostPaint& paint);

  // The background, then the data; the canvas font returns to the element Normal.
  void Draw();
  // The paper (with the flap), the postal-code frames, the title, the pictures, the fold and
  // the half line.
  void DrawBackground();
  // The addressee's and the sender's postal codes, addresses, names, telephones and mails.
  void DrawData();
  // A printer test sheet on plain paper of the style's size: the postal-code boxes (those an
  // official card has printed on it, on a card; the style's elsewhere), the outlines of the
  // style's shown text rectangles, millimetre rulers along the top and left edges, and the
  // printer and offset it was printed with.
  void DrawCalibration(const TCalibrationNote& note);

  // Millimetres to pixels of the surface: round(mm x dpi / 25.4 x zoom), halves to even.
  int32_t ToPixels(double mm) const;
  // A layout rectangle as pixels relative to the card.
  TRect ToRect(const TMmRect& r) const;
  // The card: the page below the flap, less the printer's offset while printing.
  const TRect& CardRect() const { return FCard; }
  // The seven postal-code boxes of the addressee's (false) or the sender's (true) frame.
  void CodeBoxes(bool sender, TRect boxes[7]) const;
  // After DrawData: why the addressee's barcode was left out (None when it was drawn or is
  // not part of the style).
  TBarcodeFailure BarcodeFailure() const { return FBarcodeFailure; }

private:
  struct TBlock;
  bool Visible(int no) const;
  TCanvasFont Font(int no, int32_t height, bool vertical) const;
  int32_t Width(const std::string& text) const { return FCanvas.TextWidth(text); }
  int32_t FontPixels(int32_t points) const;
  void SetLinePen(int no, double widthMm);
  void Frame(const TRect& r, bool openLeft = false);
  void Guide(const TRect& r, uint32_t rrggbb);
  void DrawFlap();
  void DrawCodeFrame(bool sender);
  void DrawTitle();
  void DrawPictures();
  void DrawFold();
  void DrawHalfLine();
  void DrawPersonData(const TPerson& person, bool sender);
  void DrawPostCode(bool sender, const std::string& postal);
  void DrawAddress(int no, const TRect& r, TStrings lines);
  void DrawName(int no, const TRect& r, TStrings lines, int32_t honorificLen, const std::string& title);
  void DrawList(int no, const TRect& r, const TStrings& items);
  void DrawBarcode(const TPerson& person);
  void DrawUpright(int no, int32_t right, int32_t top, int32_t height, const std::string& line,
                   const std::vector<TUprightDigits>& cells);

  const TPostStyle& FStyle;
  const TPostValues& FV;
  TCanvas& FCanvas;
  TPostPaint FPaint;
  int32_t FDpi;
  int32_t FLid = 0;  // the flap's height in pixels
  TRect FCard;
  TBarcodeFailure FBarcodeFailure = TBarcodeFailure::None;
};

}  // namespace kaede
