#include "PostLayouts.h"

#include <algorithm>
#include <vector>

#include "AppPaths.h"
#include "PersonLists.h"
#include "SheetPrinters.h"
#include "Strs.h"

namespace kaede {

namespace {

int32_t Wd(const TRect& r) { return r.Right - r.Left; }
int32_t Ht(const TRect& r) { return r.Bottom - r.Top; }

// The 0-based offset of the first occurrence of pattern that starts on a character boundary.
size_t FindOnBoundary(const std::string& text, const std::string& pattern) {
  for (size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern, at + 1))
    if (!IsTrailAt(text, at)) return at;
  return std::string::npos;
}

// The characters of a CP932 text.
TStrings Characters(const std::string& text) {
  TStrings r;
  for (size_t i = 0; i < text.size();) {
    size_t n = CharLenAt(text, i);
    r.push_back(text.substr(i, n));
    i += n;
  }
  return r;
}

bool IsDigitKind(const std::string& text, size_t at) {
  int k = CharKind(std::string_view(text).substr(at));
  if (k != ckHalfOther && k != ckFullOther) return false;
  // full-width "other" also holds a few symbols; only digits make a number run
  unsigned char c = static_cast<unsigned char>(text[at]);
  if (c >= '0' && c <= '9') return true;
  return at + 1 < text.size() && c == 0x82 && static_cast<unsigned char>(text[at + 1]) >= 0x4F &&
         static_cast<unsigned char>(text[at + 1]) <= 0x58;
}

// A digit, or a kanji numeral (一丁目, 十二番地): the number a block mark belongs to.
bool IsNumeralAt(const std::string& text, size_t at) {
  if (IsDigitKind(text, at)) return true;
  if (at + 1 >= text.size()) return false;
  static const std::string numerals = SJ("〇一二三四五六七八九十百千");
  for (size_t i = 0; i + 1 < numerals.size(); i += 2)
    if (text[at] == numerals[i] && text[at + 1] == numerals[i + 1]) return true;
  return false;
}

// A colour moved `part` of the way towards black.
TColor Darker(TColor c, double part) {
  auto ch = [&](int shift) { return static_cast<TColor>(RoundHalfEven(((c >> shift) & 0xFF) * (1 - part))) << shift; };
  return ch(0) | ch(8) | ch(16);
}

bool IsFullDigit(const std::string& s, size_t i) {
  return i + 1 < s.size() && static_cast<unsigned char>(s[i]) == 0x82 && static_cast<unsigned char>(s[i + 1]) >= 0x4F &&
         static_cast<unsigned char>(s[i + 1]) <= 0x58;
}

TPen SolidPen(TColor color, int32_t width = 1) { return TPen{TPenStyle::Solid, std::max(1, width), color}; }

}  // namespace

std::string VerticalNumbers(const std::string& line, int32_t kind, std::vector<TUprightDigits>& upright) {
  const std::string& fullDash = SJ("－");
  if (kind != 1 && kind != 2) return ReplaceStrAll(ZenkakuKansuji(line), fullDash, "-");
  // the hyphens go back to half width before the cells are placed
  const std::string z = ReplaceStrAll(ConvertStr(line, cvZenkaku), fullDash, "-");
  std::string r;
  for (size_t i = 0; i < z.size();) {
    if (!IsFullDigit(z, i)) {
      const size_t n = CharLenAt(z, i);
      r.append(z, i, n);
      i += n;
      continue;
    }
    std::string digits;  // ASCII
    for (; IsFullDigit(z, i); i += 2) digits += static_cast<char>('0' + static_cast<unsigned char>(z[i + 1]) - 0x4F);
    if (kind == 2) {
      if (digits.size() <= 2) {
        upright.push_back({r.size(), digits});
        r += SJ("　");
      } else {
        r += ConvertStr(digits, cvZenkaku);  // each digit upright in its own cell
      }
    } else if (digits.size() <= 3 && (digits.size() == 1 || digits[0] != '0')) {
      r += digits == "0" ? SJ("〇") : IntToKansuji(std::stoi(digits));
    } else {
      r += ZenkakuKansuji(digits);
    }
  }
  return r;
}

// ---- Pictures ------------------------------------------------------------------------------

std::string PostPictureName(const std::string& kind, int32_t number) {
  return kind + std::to_string(number) + ".bmp";
}

std::string PostPictureFolder() { return ProgramDataFolder() + "cards/"; }

TPostPictures LoadPostPictures(const TPostValues& values, const std::string& folder) {
  auto load = [&](const char* kind, int32_t n) {
    return n > 0 ? LoadPicture(IncludeTrailingDelimiter(folder) + PostPictureName(kind, n)) : nullptr;
  };
  return {load("Stamp", values.StampKind), load("HeaderImage", values.HeaderImageKind),
          load("FooterImage", values.FooterImageKind)};
}

// ---- TPostLayout ---------------------------------------------------------------------------

TPostLayout::TPostLayout(const TPostStyle& style, TCanvas& canvas, const TPostPaint& paint)
    : FStyle(style), FV(style.Post()), FCanvas(canvas), FPaint(paint), FDpi(canvas.Dpi()) {
  if (FPaint.Printing) FPaint.Zoom = 1.0;
  FLid = FV.WithLid ? std::max(0, ToPixels(FV.LidMargin)) : 0;
  FCard = FPaint.PageRect;
  FCard.Top = std::min(FCard.Top + FLid, FCard.Bottom);
  if (FPaint.Printing) {
    FCard.Left -= FPaint.PrintOffset.X;
    FCard.Right -= FPaint.PrintOffset.X;
    FCard.Top -= FPaint.PrintOffset.Y;
    FCard.Bottom -= FPaint.PrintOffset.Y;
  }
}

int32_t TPostLayout::ToPixels(double mm) const { return RoundHalfEven(mm * FDpi / 25.4 * FPaint.Zoom); }

TRect TPostLayout::ToRect(const TMmRect& r) const {
  TRect p;
  p.Left = FCard.Left + ToPixels(r.Left);
  p.Top = FCard.Top + ToPixels(r.Top);
  p.Right = p.Left + std::max(0, ToPixels(r.Width));
  p.Bottom = p.Top + std::max(0, ToPixels(r.Height));
  return p;
}

bool TPostLayout::Visible(int no) const {
  const TViewInfo* e = FStyle.ViewInfo(no);
  return e && e->IsVisible(FPaint.Printing);
}

TCanvasFont TPostLayout::Font(int no, int32_t height, bool vertical) const {
  return CanvasFont(FStyle.ViewInfo(no)->Font(), std::max(1, height), FDpi, vertical);
}

int32_t TPostLayout::FontPixels(int32_t points) const {
  int32_t px = PointsToPixels(points > 0 ? points : 9, FDpi);
  return FPaint.Zoom == 1.0 ? px : std::max(1, RoundHalfEven(px * FPaint.Zoom));
}

void TPostLayout::SetLinePen(int no, double widthMm) {
  const TViewInfo* e = FStyle.ViewInfo(no);
  TPen pen;
  switch (e->LinePen()) {
    case lpSolid: pen.Style = TPenStyle::Solid; break;
    case lpDot: pen.Style = TPenStyle::Dot; break;
    case lpDash: pen.Style = TPenStyle::Dash; break;
    default: pen.Style = TPenStyle::Clear; break;
  }
  pen.Width = std::max(1, ToPixels(widthMm));
  pen.Color = e->DecorateColor();
  FCanvas.SetPen(pen);
}

void TPostLayout::Frame(const TRect& r, bool openLeft) {
  if (FCanvas.Pen().Style == TPenStyle::Clear) return;
  if (openLeft)
    FCanvas.Polyline({{r.Left, r.Top}, {r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}});
  else
    FCanvas.Polyline({{r.Left, r.Top}, {r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}, {r.Left, r.Top}});
}

void TPostLayout::Guide(const TRect& r, uint32_t rrggbb) {
  if (!FPaint.ShowGuides || (FPaint.Printing && !FPaint.PrintGuides)) return;
  FCanvas.SetPen(SolidPen(RgbColor(rrggbb)));
  int32_t right = std::max(r.Left, r.Right - 1), bottom = std::max(r.Top, r.Bottom - 1);
  FCanvas.Polyline({{r.Left, r.Top}, {right, r.Top}, {right, bottom}, {r.Left, bottom}, {r.Left, r.Top}});
}

void TPostLayout::Draw() {
  DrawBackground();
  DrawData();
}

// ---- Background ----------------------------------------------------------------------------

void TPostLayout::DrawBackground() {
  if (!FPaint.Printing) DrawFlap();
  if (Visible(TPostStyle::viAtenaPostCodeFrame)) DrawCodeFrame(false);
  if (Visible(TPostStyle::viSenderPostCodeFrame)) DrawCodeFrame(true);
  if (Visible(TPostStyle::viPostKind)) DrawTitle();
  if (!FPaint.Printing) {
    DrawPictures();
    if (Visible(TPostStyle::viRoundTrip)) DrawFold();
  }
  if (Visible(TPostStyle::viHalfLine)) DrawHalfLine();
}

// The paper on screen; an envelope printed with its flap open shows the flap above the body.
void TPostLayout::DrawFlap() {
  const TRect& pg = FPaint.PageRect;
  const TColor paper = FStyle.ViewInfo(TEditorStyle::viNormal)->BackColor();
  FCanvas.SetPen(TPen{TPenStyle::Clear, 1, paper});
  FCanvas.SetBrush(TBrush{TBrushStyle::Solid, paper});
  if (FLid <= 0) {
    FCanvas.FillRect(pg);
    return;
  }
  const int32_t inset = RoundHalfEven(Wd(pg) * 0.05);
  const int32_t body = FCard.Top, right = pg.Right - 1, bottom = pg.Bottom - 1;
  FCanvas.FillRect({pg.Left, body, pg.Right, pg.Bottom});
  FCanvas.Polygon({{pg.Left + inset, pg.Top}, {right - inset, pg.Top}, {right, body}, {pg.Left, body}});
  FCanvas.SetBrush(TBrush{TBrushStyle::Solid, FPaint.WorkspaceColor});
  FCanvas.Polygon({{pg.Left, pg.Top}, {pg.Left + inset, pg.Top}, {pg.Left, body}});
  FCanvas.Polygon({{right, pg.Top}, {right - inset, pg.Top}, {right, body}});
  FCanvas.SetPen(SolidPen(clBlack, ToPixels(0.2)));
  FCanvas.Polyline({{pg.Left + inset, pg.Top},
                    {right - inset, pg.Top},
                    {right, body},
                    {right, bottom},
                    {pg.Left, bottom},
                    {pg.Left, body},
                    {pg.Left + inset, pg.Top}});
  FCanvas.SetPen(SolidPen(Darker(FStyle.ViewInfo(TPostStyle::viAtenaName)->BackColor(), 0.1)));
  FCanvas.Line(pg.Left + 1, body, pg.Right, body);
}

void TPostLayout::CodeBoxes(bool sender, TRect boxes[7]) const {
  const TMmRect& big = sender ? FV.SenderPostCodeBigFrameLayout : FV.AtenaPostCodeBigFrameLayout;
  const TMmRect& small = sender ? FV.SenderPostCodeSmallFrameLayout : FV.AtenaPostCodeSmallFrameLayout;
  const double bigGap = sender ? FV.SenderYubinBigInterval : FV.YubinBigInterval;
  const double smallGap = sender ? FV.SenderYubinSmallInterval : FV.YubinSmallInterval;
  for (int i = 0; i < 3; ++i) boxes[i] = ToRect(big.Moved(i * (big.Width + bigGap), 0));
  for (int i = 3; i < 7; ++i) boxes[i] = ToRect(small.Moved((i - 3) * (small.Width + smallGap), 0));
}

void TPostLayout::DrawCodeFrame(bool sender) {
  const int no = sender ? TPostStyle::viSenderPostCodeFrame : TPostStyle::viAtenaPostCodeFrame;
  const double bigWidth = sender ? FV.SenderYubinBigLineWidth : FV.YubinBigLineWidth;
  const double smallWidth = sender ? FV.SenderYubinSmallLineWidth : FV.YubinSmallLineWidth;
  // a group without gaps shares the sides: each later box leaves out its left side
  const bool bigShared = (sender ? FV.SenderYubinBigInterval : FV.YubinBigInterval) == 0;
  const bool smallShared = (sender ? FV.SenderYubinSmallInterval : FV.YubinSmallInterval) == 0;
  TRect boxes[7];
  CodeBoxes(sender, boxes);
  for (int i = 0; i < 7; ++i) {
    SetLinePen(no, i < 3 ? bigWidth : smallWidth);
    Frame(boxes[i], i < 3 ? bigShared && i > 0 : smallShared && i > 3);
  }
  const TViewInfo* e = FStyle.ViewInfo(no);
  if (e->Decorate() == 1 && boxes[3].Left > boxes[2].Right) {
    const int32_t t = std::max(1, ToPixels(bigWidth));
    const int32_t top = boxes[3].Top + (Ht(boxes[3]) - t) / 2;
    FCanvas.SetPen(TPen{TPenStyle::Clear, 1, e->DecorateColor()});
    FCanvas.SetBrush(TBrush{TBrushStyle::Solid, e->DecorateColor()});
    FCanvas.FillRect({boxes[2].Right, top, boxes[3].Left, top + t});
  }
}

// The title spans 32 mm whatever its length: every byte advances 32 mm / its byte count.
void TPostLayout::DrawTitle() {
  const std::string& title = FV.PostKindStr;
  if (title.empty()) return;
  const TViewInfo* e = FStyle.ViewInfo(TPostStyle::viPostKind);
  FCanvas.SetFont(Font(TPostStyle::viPostKind, FontPixels(e->Font().Size), false));
  const int32_t step = ToPixels(32.0 / static_cast<double>(title.size()));
  std::vector<int32_t> adv(title.size(), 0);
  for (size_t i = 0; i < title.size();) {
    size_t n = CharLenAt(title, i);
    adv[i] = step * static_cast<int32_t>(n);
    i += n;
  }
  FCanvas.TextOut(FCard.Left + ToPixels(43), FCard.Top + ToPixels(5), title, adv.data());
}

void TPostLayout::DrawPictures() {
  if (!FPaint.Pictures) return;
  auto draw = [&](const std::shared_ptr<TPicture>& pic, const TMmRect& layout) {
    if (!pic || pic->Width() <= 0 || pic->Height() <= 0) return;
    TRect r = ToRect(layout);
    // a side of 0 follows from the picture's proportions
    if (layout.Height == 0 && layout.Width > 0)
      r.Bottom = r.Top + static_cast<int32_t>(static_cast<int64_t>(Wd(r)) * pic->Height() / pic->Width());
    else if (layout.Width == 0 && layout.Height > 0)
      r.Right = r.Left + static_cast<int32_t>(static_cast<int64_t>(Ht(r)) * pic->Width() / pic->Height());
    if (Wd(r) > 0 && Ht(r) > 0) FCanvas.DrawPicture(r, *pic);
  };
  draw(FPaint.Pictures->Stamp, FV.StampLayout);
  draw(FPaint.Pictures->Header, FV.HeaderLayout);
  draw(FPaint.Pictures->Footer, FV.FooterLayout);
}

// The fold of a round-trip card, with the folding hint written down beside it.
void TPostLayout::DrawFold() {
  const TViewInfo* e = FStyle.ViewInfo(TPostStyle::viRoundTrip);
  const int32_t x = FCard.Left + Wd(FPaint.PageRect) / 2;
  SetLinePen(TPostStyle::viRoundTrip, e->LineWidth());
  if (FCanvas.Pen().Style != TPenStyle::Clear) {
    FCanvas.Line(x, FCard.Top + 1, x, FCard.Bottom);
    if (e->IsDoubleLine()) {
      int32_t d = std::max(2, 2 * FCanvas.Pen().Width);
      FCanvas.Line(x + d, FCard.Top + 1, x + d, FCard.Bottom);
    }
  }
  if (FV.RoundTripStr.empty()) return;
  TCanvasFont f = Font(TPostStyle::viRoundTrip, ToPixels(2.2), true);
  FCanvas.SetFont(f);
  const int32_t len = Width(FV.RoundTripStr);
  const int32_t left = x + RoundHalfEven(f.Height / 2.0) + 1;
  FCanvas.TextOut(left + f.Height, FCard.Top + (Ht(FCard) - len) / 2, FV.RoundTripStr);
}

void TPostLayout::DrawHalfLine() {
  const TViewInfo* e = FStyle.ViewInfo(TPostStyle::viHalfLine);
  SetLinePen(TPostStyle::viHalfLine, e->LineWidth());
  if (FCanvas.Pen().Style == TPenStyle::Clear) return;
  const int32_t d = std::max(2, 2 * FCanvas.Pen().Width);
  if (Wd(FCard) > Ht(FCard)) {
    const int32_t x = FCard.Left + Wd(FCard) / 2, top = FCard.Top + ToPixels(14), bottom = FCard.Bottom - ToPixels(14);
    FCanvas.Line(x, top, x, bottom);
    if (e->IsDoubleLine()) FCanvas.Line(x + d, top, x + d, bottom);
  } else {
    const int32_t y = FCard.Top + Ht(FCard) / 2, left = FCard.Left + ToPixels(7), right = FCard.Right - ToPixels(7);
    FCanvas.Line(left, y, right, y);
    if (e->IsDoubleLine()) FCanvas.Line(left, y + d, right, y + d);
  }
}

// ---- Printer test sheet --------------------------------------------------------------------

void TPostLayout::DrawCalibration(const TCalibrationNote& note) {
  using S = TPostStyle;
  const TColor ink = clBlack, grey = RgbColor(0x808080);
  FCanvas.SetBrush(TBrush{TBrushStyle::Clear, clWhite});
  // the boxes, as thin as a print can show them
  FCanvas.SetPen(SolidPen(ink, ToPixels(0.1)));
  const TBaseStyleValues& b = FStyle.Base();
  // a card with the boxes printed on it: the official card, a round-trip card (its address
  // half on the left) and a card of a four-card sheet (147 mm high there)
  const int32_t cellWidth = b.PaperWidth / std::max<int32_t>(1, b.PaperLevelDivide);
  const int32_t cellHeight = b.PaperHeight / std::max<int32_t>(1, b.PaperVerticalDivide);
  const bool card = b.PaperSize != kPaperA4 && (cellWidth == 100 || (cellWidth == 200 && FStyle.PagesPerSheet() == 1)) &&
                    (cellHeight == 148 || cellHeight == 147) && !FV.WithLid;
  TRect boxes[7];
  if (card)
    for (int i = 0; i < 7; ++i)
      boxes[i] = ToRect({kOfficialBoxLefts[i], kOfficialBoxTop, kOfficialBoxWidth, kOfficialBoxHeight});
  else
    CodeBoxes(false, boxes);
  if (card || (FV.PostCodeKind == 1 && Visible(S::viAtenaPostCodeFrame)))
    for (const TRect& r : boxes) Frame(r);

  // the shown text rectangles, named in their corner
  const int32_t label = std::max(1, ToPixels(2.2));
  FCanvas.SetFont(Font(S::viAtenaPostCode, label, false));
  auto outline = [&](int no, const TMmRect& mm, const char* name) {
    if (!Visible(no) || mm.Width <= 0 || mm.Height <= 0) return;
    const TRect r = ToRect(mm);
    FCanvas.SetPen(TPen{TPenStyle::Dot, std::max(1, ToPixels(0.1)), grey});
    Frame(r);
    FCanvas.TextOut(r.Left + ToPixels(0.5), r.Top + ToPixels(0.5), Utf8ToSjisLiteral(name));
  };
  outline(S::viAtenaAddress, FV.AtenaAddressLayout, "住所");
  outline(S::viAtenaName, FV.AtenaNameLayout, "名前");
  outline(S::viAtenaTel, FV.AtenaTelLayout, "電話");
  outline(S::viAtenaMail, FV.AtenaMailLayout, "メール");
  outline(S::viSenderAddress, FV.SenderAddressLayout, "差出人住所");
  outline(S::viSenderName, FV.SenderNameLayout, "差出人名前");
  if (FV.Barcode) outline(S::viAtenaName, BarcodeBounds(FV), "バーコード");

  // rulers from the card's top-left corner: a tick every millimetre, longer ones every 5 and
  // 10, numbered every 10
  FCanvas.SetPen(SolidPen(ink, ToPixels(0.1)));
  const int32_t w = Wd(FCard), h = Ht(FCard);
  const int32_t numberHeight = std::max(1, ToPixels(2));
  for (int mm = 0;; ++mm) {
    const int32_t at = ToPixels(mm);
    if (at >= std::max(w, h)) break;
    const double len = mm % 10 == 0 ? 4 : mm % 5 == 0 ? 2.5 : 1.5;
    if (at < w) FCanvas.Line(FCard.Left + at, FCard.Top, FCard.Left + at, FCard.Top + ToPixels(len));
    if (at < h) FCanvas.Line(FCard.Left, FCard.Top + at, FCard.Left + ToPixels(len), FCard.Top + at);
    if (mm % 10 == 0 && mm > 0) {
      FCanvas.SetFont(Font(S::viAtenaPostCode, numberHeight, false));
      const std::string n = std::to_string(mm);
      if (at < w) FCanvas.TextOut(FCard.Left + at - Width(n) / 2, FCard.Top + ToPixels(4.5), n);
      if (at < h) FCanvas.TextOut(FCard.Left + ToPixels(4.5), FCard.Top + at - numberHeight / 2, n);
    }
  }

  // what the sheet was printed with, in the middle, 3 mm high or smaller on a narrow label
  auto mm = [](double v) { return FloatToGeneral3(v) + " mm"; };
  const TStrings lines = {
      SJ("プリンタ位置合わせ"),
      SJ("プリンタ: ") + (note.Printer.empty() ? SJ("（なし）") : note.Printer),
      SJ("補正: 横 ") + mm(note.OffsetX) + SJ("　縦 ") + mm(note.OffsetY),
      SJ("はがきに重ね、枠とのずれを定規で読んで補正に加えます"),
  };
  int32_t textHeight = std::max(1, ToPixels(3));
  FCanvas.SetFont(Font(S::viAtenaPostCode, textHeight, false));
  int32_t widest = 1;
  for (const std::string& line : lines) widest = std::max(widest, Width(line));
  const int32_t room = std::max(1, w - ToPixels(15));
  if (widest > room) {
    textHeight = std::max(1, static_cast<int32_t>(static_cast<int64_t>(textHeight) * room / widest));
    FCanvas.SetFont(Font(S::viAtenaPostCode, textHeight, false));
  }
  // on white, so that the outlines it crosses do not run through the words
  int32_t y = FCard.Top + h / 2 - static_cast<int32_t>(lines.size()) * textHeight;
  const int32_t x = FCard.Left + ToPixels(10), pad = ToPixels(0.5);
  FCanvas.SetPen(TPen{TPenStyle::Clear, 1, clWhite});
  FCanvas.SetBrush(TBrush{TBrushStyle::Solid, clWhite});
  for (const std::string& line : lines) {
    FCanvas.FillRect({x - pad, y - pad, x + Width(line) + pad, y + textHeight + pad});
    FCanvas.TextOut(x, y, line);
    y += textHeight * 3 / 2;
  }
  FCanvas.SetBrush(TBrush{TBrushStyle::Clear, clWhite});
}

// ---- Data ----------------------------------------------------------------------------------

void TPostLayout::DrawData() {
  if (FPaint.Person) {
    DrawPersonData(*FPaint.Person, false);
    if (FV.Barcode) DrawBarcode(*FPaint.Person);
    if (FPaint.Sender) DrawPersonData(*FPaint.Sender, true);
  }
  const TViewInfo* normal = FStyle.ViewInfo(TEditorStyle::viNormal);
  FCanvas.SetFont(Font(TEditorStyle::viNormal, FontPixels(normal->Font().Size), FStyle.Editor().Vertical));
}

void TPostLayout::DrawPersonData(const TPerson& person, bool sender) {
  using S = TPostStyle;
  const int code = sender ? S::viSenderPostCode : S::viAtenaPostCode;
  if (Visible(code)) DrawPostCode(sender, person.PrintPostal());

  const int address = sender ? S::viSenderAddress : S::viAtenaAddress;
  if (Visible(address))
    DrawAddress(address, ToRect(sender ? FV.SenderAddressLayout : FV.AtenaAddressLayout), person.PrintAddress());

  const int name = sender ? S::viSenderName : S::viAtenaName;
  if (Visible(name)) {
    TStrings lines;
    int32_t honorific = 0;
    if (!sender) {
      std::string h = person.Honorific();
      // a half-width honorific stands in front of the name and does not count here
      bool behind = !IsHankakuStr(h);
      lines.push_back(FV.Keisyo ? person.NameWithHonorific() : person.PrintName());
      if (FV.Keisyo && behind) honorific = static_cast<int32_t>(h.size());
      if (FV.Renmei)
        if (const TStrings* joint = person.JointNames()) lines.insert(lines.end(), joint->begin(), joint->end());
    } else {
      // a reply card is addressed back to the sender: "行" stands where an honorific would
      std::string n = person.PrintName();
      if (FStyle.Name() == TPostStyle::PresetName(12)) {  // the reply card of a round-trip card
        n += SJ("行");
        honorific = 2;
      }
      lines.push_back(n);
      for (const std::string& j : person.Renmei().Lines()) lines.push_back(LeftOf(j, "|"));
    }
    DrawName(name, ToRect(sender ? FV.SenderNameLayout : FV.AtenaNameLayout), std::move(lines), honorific,
             person.PrintTitle());
  }

  const int tel = sender ? S::viSenderTel : S::viAtenaTel;
  if (Visible(tel)) DrawList(tel, ToRect(sender ? FV.SenderTelLayout : FV.AtenaTelLayout), person.Tels().Lines());
  const int mail = sender ? S::viSenderMail : S::viAtenaMail;
  if (Visible(mail))
    DrawList(mail, ToRect(sender ? FV.SenderMailLayout : FV.AtenaMailLayout), person.Mails().Lines());
}

void TPostLayout::DrawPostCode(bool sender, const std::string& postal) {
  const int no = sender ? TPostStyle::viSenderPostCode : TPostStyle::viAtenaPostCode;
  const int32_t kind = sender ? FV.SenderPostCodeKind : FV.PostCodeKind;
  // characters, not bytes: a code stored in full-width digits still fills seven boxes
  const TStrings chars = Characters(ReplaceStrAll(postal, "-", ""));
  if (kind == 1) {
    if (chars.size() <= 6) return;
    TRect boxes[7];
    CodeBoxes(sender, boxes);
    // each digit centred in its box; the three large and the four small boxes are one run
    // each, the advances carrying every digit to the centre of the next box
    for (int group = 0; group < 2; ++group) {
      const int first = group == 0 ? 0 : 3, last = group == 0 ? 2 : 6;
      const int32_t h = std::max(1, RoundHalfEven(Ht(boxes[first]) * 0.65));
      FCanvas.SetFont(Font(no, h, false));
      std::string run;
      std::vector<int32_t> x, adv;
      for (int i = first; i <= last; ++i) {
        const std::string& ch = chars[static_cast<size_t>(i)];
        const TRect& b = boxes[i];
        x.push_back(b.Left + (Wd(b) - Width(ch)) / 2);
        run += ch;
        adv.push_back(Width(ch));
        if (ch.size() == 2) adv.push_back(0);
      }
      // the advance of a digit reaches the next digit's place
      for (size_t k = 0, d = 0; k < adv.size(); k += chars[static_cast<size_t>(first) + d].size(), ++d)
        if (d + 1 < x.size()) adv[k] = x[d + 1] - x[d];
      FCanvas.TextOut(x[0], boxes[first].Top + (Ht(boxes[first]) - h) / 2, run, adv.data());
    }
  } else if (kind == 2) {
    if (chars.empty()) return;
    std::string text = SJ("〒");
    for (size_t i = 0; i < chars.size() && i < 7; ++i) text += (i == 3 ? "-" : "") + chars[i];
    const TRect r = ToRect(sender ? FV.SenderPostCodeTextLayout : FV.AtenaPostCodeTextLayout);
    FCanvas.SetFont(Font(no, std::max(1, RoundHalfEven(Ht(r) * 0.65)), false));
    FCanvas.TextOut(r.Left, r.Top, text);
  }
}

// Address block: each line as large as fits, at most 6 mm; a long single line is split after
// the number run of its block number, and every further line continues where the one
// before it ends.
void TPostLayout::DrawAddress(int no, const TRect& r, TStrings lines) {
  const bool vertical = FV.PostVertical;
  const int32_t L = vertical ? Ht(r) : Wd(r), A = vertical ? Wd(r) : Ht(r);
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  if (lines.empty() || L <= 0 || A <= 0) return Guide(r, 0xAADECC);

  const bool plain = IsHankakuStr(JoinStr(lines, ""));
  if (!plain && lines.size() > 2) {
    std::string rest;
    for (size_t i = 1; i < lines.size(); ++i) rest += lines[i];
    lines = {lines[0], rest};
  }
  const int32_t q = std::max({1, ToPixels(3), std::min(RoundHalfEven(L * 0.06), ToPixels(6))});
  const std::string fullDash = SJ("－");
  if (vertical)
    for (std::string& l : lines) l = ReplaceStrAll(ConvertStr(l, cvZenkaku), fullDash, "-");

  FCanvas.SetFont(Font(no, q, vertical));
  if (!plain && (lines.size() == 1 || lines[1].empty()) && Width(lines[0]) > L) {
    lines.resize(2);
    std::string& first = lines[0];
    size_t mark = first.find('-');
    size_t s = 0, e = 0;  // the number run, 0-based, end exclusive
    if (mark != std::string::npos) {
      TPoint run = WordRange(first, static_cast<int>(mark) + 1, 3);
      s = static_cast<size_t>(run.X - 1);
      e = static_cast<size_t>(run.Y - 1);
    } else {
      for (const char* m : {"丁目", "番地"}) {
        const std::string& word = Utf8ToSjisLiteral(m);
        mark = FindOnBoundary(first, word);
        if (mark == std::string::npos) continue;
        // the number just before the mark (digits or kanji numerals) and the mark itself:
        // a second split never cuts 一丁目 into 一 and 丁目
        s = mark;
        while (s > 0) {
          size_t prev = s - 1;
          if (prev > 0 && IsTrailAt(first, prev)) --prev;
          if (!IsNumeralAt(first, prev)) break;
          s = prev;
        }
        e = mark + word.size();
        break;
      }
    }
    if (mark != std::string::npos) {
      e = std::min(e, first.size());
      lines[1] = first.substr(e) + lines[1];
      first.resize(e);
      if (s > 0 && s < first.size() && Width(first) > L) {
        lines[1] = first.substr(s) + lines[1];
        first.resize(s);
      }
    }
    if (lines[1].empty()) lines.pop_back();
  }
  // the numbers as the style writes them: the first line's, then the building's and room's
  std::vector<std::vector<TUprightDigits>> upright(lines.size());
  if (vertical)
    for (size_t i = 0; i < lines.size(); ++i)
      lines[i] = VerticalNumbers(lines[i], i == 0 ? FV.AddressNumerals : FV.BuildingNumerals, upright[i]);

  // Each line shrinks from q until it fits; no later line is larger than the first. Widths
  // grow with the height, so the largest fitting height is found from an estimate.
  std::vector<int32_t> heights(lines.size());
  int32_t limit = q;
  for (size_t i = 0; i < lines.size(); ++i) {
    auto fits = [&](int32_t h) {
      FCanvas.SetFont(Font(no, h, vertical));
      return Width(lines[i]) <= L;
    };
    int32_t h = limit;
    if (!fits(h)) {
      const int32_t w = Width(lines[i]);
      h = std::clamp<int32_t>(static_cast<int32_t>(static_cast<int64_t>(limit) * L / std::max(1, w)), 1,
                              std::max(1, limit - 1));
      if (fits(h))
        while (h + 1 < limit && fits(h + 1)) ++h;
      else
        while (h > 1 && !fits(h)) --h;  // never below one pixel
    }
    heights[i] = h;
    if (i == 0) limit = h;
  }

  const int32_t h0 = heights[0], n = static_cast<int32_t>(lines.size());
  const int32_t gap = RoundHalfEven(h0 * 0.25);
  int32_t along = 0, across = 0, prevEnd = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    FCanvas.SetFont(Font(no, heights[i], vertical));
    const int32_t len = Width(lines[i]);
    const int32_t start = vertical ? r.Top : r.Left, end = vertical ? r.Bottom : r.Right;
    if (i == 0) {
      along = start;
      if (vertical)
        across = r.Right - (A - h0 * n) / 2;
      else
        across = plain ? r.Top + RoundHalfEven(h0 * 0.4) : r.Top + (A - h0 * n) / 2;
    } else {
      if (vertical)
        across -= h0 + gap;
      else
        across += heights[i - 1] + gap;
      if (vertical || !plain) {
        along = prevEnd - len / 2;
        if (along + len > end) along = end - len;
        along = std::max(along, start);
      } else {
        along = start;
      }
    }
    if (vertical) {
      FCanvas.TextOut(across, along, lines[i]);
      if (!upright[i].empty()) DrawUpright(no, across, along, heights[i], lines[i], upright[i]);
    } else {
      FCanvas.TextOut(along, across, lines[i]);
    }
    prevEnd = along + len;
  }
  Guide(r, 0xAADECC);
}

// Digits set upright in the cells a vertical line keeps for them: the one or two digits side
// by side, centred in the column's cell, narrowed to fit it.
void TPostLayout::DrawUpright(int no, int32_t right, int32_t top, int32_t height, const std::string& line,
                              const std::vector<TUprightDigits>& cells) {
  std::vector<int32_t> adv(line.size(), 0);
  FCanvas.Advances(line, adv.data());
  for (const TUprightDigits& c : cells) {
    int32_t along = top;
    for (size_t k = 0; k < c.At && k < adv.size(); ++k) along += adv[k];
    const int32_t cell = c.At < adv.size() ? adv[c.At] : height;
    int32_t h = height;
    FCanvas.SetFont(Font(no, h, false));
    const int32_t w = Width(c.Digits);
    if (w > height) {
      h = std::max(1, static_cast<int32_t>(static_cast<int64_t>(height) * height / w));
      FCanvas.SetFont(Font(no, h, false));
    }
    FCanvas.TextOut(right - height + (height - Width(c.Digits)) / 2, along + (cell - h) / 2, c.Digits);
  }
  FCanvas.SetFont(Font(no, height, true));
}

// Name block: the name with its honorific spread over the rectangle, the joint names beside
// (or below) it starting under the given name, and the title beside the name.
void TPostLayout::DrawName(int no, const TRect& r, TStrings lines, int32_t p, const std::string& title) {
  const bool vertical = FV.PostVertical;
  const int32_t L = vertical ? Ht(r) : Wd(r), A = vertical ? Wd(r) : Ht(r);
  // the block ends at its first empty line
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].empty()) {
      lines.resize(i);
      break;
    }
  if (lines.empty() || L <= 0 || A <= 0) return Guide(r, 0xDDAACC);

  // the family name: the bytes before the first ASCII space
  const size_t space = lines[0].find(' ');
  int32_t f = space == std::string::npos ? 0 : static_cast<int32_t>(space);
  const bool plain = IsHankakuStr(JoinStr(lines, ""));
  if (!plain) {
    for (std::string& l : lines) l = ReplaceStrAll(l, " ", "");
    if (lines.size() == 1) lines[0] = ReplaceStrAll(lines[0], SJ("　"), " ");
  }
  const size_t n = lines.size();
  int32_t h = RoundHalfEven(L * 0.1);
  if (n > 1) h = std::min(h, A / static_cast<int32_t>(n));
  h = std::min(std::max(std::min(h, ToPixels(10)), ToPixels(4)), A);
  // many joint names: the 4 mm floor would push lines out of the rectangle onto the parts
  // beside it, so the lines share what there is
  if (h * static_cast<int32_t>(n) > A) h = A / static_cast<int32_t>(n);
  h = std::max(1, h);

  // A joint name longer than the given name and honorific: the given name is centred over it.
  std::string& nameLine = lines[0];
  p = std::clamp<int32_t>(p, 0, static_cast<int32_t>(nameLine.size()));
  f = std::clamp<int32_t>(f, 0, static_cast<int32_t>(nameLine.size()) - p);
  int32_t x = 0;
  for (size_t i = 1; i < n; ++i)
    x = std::max(x, static_cast<int32_t>(lines[i].size()) + f - static_cast<int32_t>(nameLine.size()));
  if (x > 0) {
    const size_t len = nameLine.size(), fu = static_cast<size_t>(f), pu = static_cast<size_t>(p);
    nameLine = nameLine.substr(0, fu) + std::string(static_cast<size_t>(x / 2), ' ') +
               nameLine.substr(fu, len - fu - pu) + std::string(static_cast<size_t>(x - x / 2), ' ') +
               nameLine.substr(len - pu);
  }

  // A short name does not stretch to the ends of a long rectangle.
  size_t longest = 0;
  for (const std::string& l : lines) longest = std::max(longest, l.size());
  int32_t usableStart = 0, usable = L;
  if (static_cast<double>(L) / static_cast<double>(longest) * 2 > h * 1.25) {
    const int32_t m = RoundHalfEven(L * 0.1);
    usableStart = m;
    usable = L - 2 * m;
  }

  struct TLine {
    int32_t Height = 0, Start = 0;
    std::vector<int32_t> Advances;
  };
  std::vector<TLine> placed(n);
  const bool spread = !plain && !(n == 1 && !vertical);
  int32_t jointOffset = 0;
  for (size_t i = 0; i < n; ++i) {
    const std::string& t = lines[i];
    const int32_t bytes = static_cast<int32_t>(t.size());
    const int32_t offset = i == 0 ? 0 : jointOffset;
    const int32_t avail = std::max(1, usable - offset);
    FCanvas.SetFont(Font(no, h, vertical));
    if (Width(t) > avail) {
      h = std::max(1, avail / bytes * 2);
      FCanvas.SetFont(Font(no, h, vertical));
    }
    TLine& line = placed[i];
    line.Height = h;
    line.Start = usableStart + offset;
    line.Advances.assign(t.size(), 0);
    if (spread) {
      // every byte advances alike and the last character ends the usable length
      size_t last = 0;
      for (size_t k = 0; k < t.size(); k += CharLenAt(t, k)) last = k;
      const int32_t before = std::max<int32_t>(1, static_cast<int32_t>(last));
      const int32_t room = std::max(0, avail - h);
      const int32_t step = room / before, rest = room % before;
      for (size_t k = 0; k < t.size(); k += CharLenAt(t, k))
        line.Advances[k] = k == last ? h : step * static_cast<int32_t>(CharLenAt(t, k));
      if (vertical) line.Start += rest;
    } else {
      FCanvas.Advances(t, line.Advances.data());
    }
    if (i == 0)
      for (int32_t k = 0; k < f && k < bytes; ++k) jointOffset += line.Advances[static_cast<size_t>(k)];
  }

  int32_t total = 0;
  for (const TLine& l : placed) total += l.Height;
  // the title's size; across a horizontal name it takes the room above a Japanese name (below
  // a Latin one), shrinking to what the rectangle leaves beside the name
  int32_t th = 0;
  if (!title.empty()) {
    th = std::max(RoundHalfEven(L * 0.05), ToPixels(2.5));
    FCanvas.SetFont(Font(no, th, vertical));
    if (Width(title) > L) th = std::max(1, L / static_cast<int32_t>(title.size()) * 2);
  }
  int32_t lead = (A - total) / 2;
  if (!vertical && th > 0) {
    const int32_t room = std::max(0, A - total);
    th = std::min(th, std::max(room, ToPixels(1.5)));
    lead = plain ? std::min(lead, std::max(0, room - th)) : std::max(lead, std::min(th, room));
  }
  int32_t across = vertical ? r.Right - lead : r.Top + lead;
  const int32_t nameAcross = across;
  for (size_t i = 0; i < n; ++i) {
    FCanvas.SetFont(Font(no, placed[i].Height, vertical));
    if (vertical) {
      FCanvas.TextOut(across, r.Top + placed[i].Start, lines[i], placed[i].Advances.data());
      across -= placed[i].Height;
    } else {
      FCanvas.TextOut(r.Left + placed[i].Start, across, lines[i], placed[i].Advances.data());
      across += placed[i].Height;
    }
  }

  if (!title.empty()) {
    FCanvas.SetFont(Font(no, th, vertical));
    const int32_t tl = Width(title);
    const int32_t start = (vertical ? r.Top : r.Left) + placed[0].Start;
    if (vertical) {
      // between the name and the right edge, half a character before the name
      int32_t y = start - placed[0].Height / 2;
      if (y < r.Top || y + tl > r.Bottom) y = r.Top + (L - tl) / 2;
      FCanvas.TextOut((nameAcross + r.Right + th) / 2, y, title);
    } else {
      int32_t xt = start;
      if (xt + tl > r.Right) xt = r.Left + (L - tl) / 2;
      // above a Japanese name, below a Latin one
      const int32_t y = plain ? across + (r.Bottom - across - th) / 2 : r.Top + (nameAcross - r.Top - th) / 2;
      FCanvas.TextOut(xt, y, title);
    }
  }
  Guide(r, 0xDDAACC);
}

// The customer barcode: 67 bars, each a rectangle whose edges are rounded from their exact
// millimetres, so that no error adds up along the row. An entry without one prints without
// it; the screen marks its place.
void TPostLayout::DrawBarcode(const TPerson& person) {
  TCustomerBarcode code;
  FBarcodeFailure = FPaint.Dictionary ? MakeCustomerBarcode(*FPaint.Dictionary, person.Postal(),
                                                            JoinStr(person.PrintAddress(), SJ("　")), code)
                                      : TBarcodeFailure::NoDictionary;
  const TBarcodeMetrics m = BarcodeMetrics(FV.BarcodeSize);
  const double left = FV.BarcodeLayout.Left, top = FV.BarcodeLayout.Top;
  if (FBarcodeFailure != TBarcodeFailure::None) {
    if (FPaint.Printing) return;
    const TRect r = ToRect({left, top, m.Length, m.Long});
    FCanvas.SetBrush(TBrush{TBrushStyle::Clear, clWhite});
    FCanvas.SetPen(TPen{TPenStyle::Dot, 1, RgbColor(0xDD2222)});
    Frame(r);
    const int32_t h = std::max(1, Ht(r) * 3 / 4);
    TCanvasFont f = Font(TPostStyle::viAtenaPostCode, h, false);
    f.Color = RgbColor(0xDD2222);
    FCanvas.SetFont(f);
    FCanvas.TextOut(r.Left + h / 2, r.Top + (Ht(r) - h) / 2, SJ("バーコードなし：") + BarcodeFailureText(FBarcodeFailure));
    return;
  }
  // The gaps and the long bars are at their largest allowed at the standard sizes: both are
  // rounded down to whole pixels, so that no gap and no bar grows past its limit, and each
  // bar takes what its pitch leaves beside its gap.
  auto floorPixels = [&](double mm) { return std::max(1, static_cast<int32_t>(mm * FDpi / 25.4 * FPaint.Zoom)); };
  const int32_t gap = floorPixels(m.Pitch - m.BarWidth), longPx = floorPixels(m.Long);
  const int32_t timingPx = std::min(longPx, std::max(1, ToPixels(m.Timing)));
  const int32_t y = FCard.Top + ToPixels(top), timingTop = y + (longPx - timingPx) / 2;
  FCanvas.SetPen(TPen{TPenStyle::Clear, 1, clBlack});
  FCanvas.SetBrush(TBrush{TBrushStyle::Solid, clBlack});
  const auto bars = code.Bars();
  for (size_t i = 0; i < bars.size(); ++i) {
    const double x = left + static_cast<double>(i) * m.Pitch;
    const int32_t x0 = FCard.Left + ToPixels(x);
    const int32_t x1 = std::max(x0 + 1, FCard.Left + ToPixels(x + m.Pitch) - gap);
    int32_t y0 = y, y1 = y + longPx;
    switch (bars[i]) {
      case TBarKind::Long: break;
      case TBarKind::Upper: y1 = timingTop + timingPx; break;
      case TBarKind::Lower: y0 = timingTop; break;
      case TBarKind::Timing: y0 = timingTop, y1 = timingTop + timingPx; break;
    }
    FCanvas.FillRect({x0, y0, x1, y1});
  }
  // the guide is the clear zone, which nothing else may enter
  const double c = TBarcodeMetrics::kClear;
  Guide(ToRect({left - c, top - c, m.Length + 2 * c, m.Long + 2 * c}), 0xCCAAEE);
}

// List block: the telephones or mails, one per row across the rectangle; an entry without
// any draws nothing.
void TPostLayout::DrawList(int no, const TRect& r, const TStrings& items) {
  const bool vertical = FV.PostVertical;
  const int32_t L = vertical ? Ht(r) : Wd(r), A = vertical ? Wd(r) : Ht(r);
  if (!items.empty() && L > 0 && A > 0) {
    const int32_t h = std::max(1, A / static_cast<int32_t>(items.size()));
    for (size_t i = 0; i < items.size(); ++i) {
      const std::string& t = items[i];
      if (t.empty()) continue;
      int32_t hi = h;
      FCanvas.SetFont(Font(no, hi, vertical));
      if (Width(t) > L) {
        hi = std::max(1, L / static_cast<int32_t>(t.size()) * 2);
        FCanvas.SetFont(Font(no, hi, vertical));
      }
      const int32_t w = Width(t), k = static_cast<int32_t>(i);
      if (vertical)
        FCanvas.TextOut(r.Right - k * h, r.Bottom - w, t);
      else
        FCanvas.TextOut(r.Right - w, r.Top + k * h, t);
    }
  }
  Guide(r, 0xEECCAA);
}

}  // namespace kaede
