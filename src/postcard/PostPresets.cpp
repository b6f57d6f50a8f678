// The 42 predefined postcard styles. Every preset starts from the defaults of TPostStyle (an
// official 100 x 148 mm postcard whose postal-code boxes sit 12 mm from the top with their
// left edges at 44.0, 51.1, 58.2, 65.5, 72.4, 79.3 and 86.2 mm) and changes what differs.
// The rectangles chosen here are listed in docs/postcard-presets.md.
#include "PostStyles.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "SheetPrinters.h"

namespace kaede {

namespace {

struct TPresetName {
  const char* Name;
  const char* Category;
};

const TPresetName kPresets[kPostPresetCount] = {
    {"官製はがき", "官製はがき"},
    {"官製はがき（差出人付き）", "官製はがき"},
    {"官製はがき（差出人郵便番号上付き）", "官製はがき"},
    {"官製はがき（横書き）", "官製はがき"},
    {"官製はがき（横書き／差出人付き）", "官製はがき"},
    {"はがき（裏／横書き）", "官製はがき"},
    {"はがき（裏／横書き／差出人付き）", "官製はがき"},
    {"はがき（裏／縦書き）", "官製はがき"},
    {"年賀はがき", "年賀はがき"},
    {"年賀はがき（差出人付き）", "年賀はがき"},
    {"往復はがき（往信）", "往復はがき"},
    {"往復はがき（往信／差出人付き）", "往復はがき"},
    {"往復はがき（返信）", "往復はがき"},
    {"絵入りはがき", "その他のはがき"},
    {"絵入りはがき（差出人付き）", "その他のはがき"},
    {"絵入りはがき（本文表）", "その他のはがき"},
    {"絵入りはがき（本文表／差出人付き）", "その他のはがき"},
    {"無地はがき", "その他のはがき"},
    {"無地はがき（差出人付き）", "その他のはがき"},
    {"エアメールはがき", "その他のはがき"},
    {"エアメールはがき（差出人付き）", "その他のはがき"},
    {"四面連刷はがき", "その他のはがき"},
    {"四面連刷はがき（差出人付き）", "その他のはがき"},
    {"長形４号", "封筒長４"},
    {"長形４号（のりしろ付き）", "封筒長４"},
    {"長形４号（裏）", "封筒長４"},
    {"長形４号（裏／のりしろ付き）", "封筒長４"},
    {"長形３号", "封筒長３"},
    {"長形３号（のりしろ付き）", "封筒長３"},
    {"長形３号（裏）", "封筒長３"},
    {"長形３号（裏／のりしろ付き）", "封筒長３"},
    {"角形６号", "封筒角６"},
    {"角形６号（のりしろ付き）", "封筒角６"},
    {"角形６号（裏）", "封筒角６"},
    {"角形６号（裏／のりしろ付き）", "封筒角６"},
    {"角形３号", "封筒角３"},
    {"角形３号（のりしろ付き）", "封筒角３"},
    {"角形３号（裏）", "封筒角３"},
    {"角形３号（裏／のりしろ付き）", "封筒角３"},
    {"ラベル用紙2×6（宛名）", "ラベル"},
    {"ラベル用紙3×6（宛名）", "ラベル"},
    {"ラベル用紙2×5（名刺）", "ラベル"},
};

// The names in CP932, converted once.
const std::vector<std::string>& Converted(bool category) {
  static const auto make = [](bool cat) {
    std::vector<std::string> r;
    for (const TPresetName& p : kPresets) r.push_back(Utf8ToSjisLiteral(cat ? p.Category : p.Name));
    return r;
  };
  static const std::vector<std::string> names = make(false), categories = make(true);
  return category ? categories : names;
}

TMmRect Mm(double left, double top, double width, double height) {
  return {RoundHundredths(left), RoundHundredths(top), RoundHundredths(width), RoundHundredths(height)};
}

// The address, name, telephone and mail of the addressee, and of the sender.
void Atena(TPostValues& p, const TMmRect& address, const TMmRect& name, const TMmRect& tel, const TMmRect& mail) {
  p.AtenaAddressLayout = address;
  p.AtenaNameLayout = name;
  p.AtenaTelLayout = tel;
  p.AtenaMailLayout = mail;
}

void Sender(TPostValues& p, const TMmRect& address, const TMmRect& name, const TMmRect& tel, const TMmRect& mail) {
  p.SenderAddressLayout = address;
  p.SenderNameLayout = name;
  p.SenderTelLayout = tel;
  p.SenderMailLayout = mail;
}

// The reference envelope whose proportions the envelope layouts scale: 長形３号, 120 x 235 mm.
const double kRefWidth = 120, kRefHeight = 235;

}  // namespace

std::string TPostStyle::PresetName(int index) {
  return index >= 0 && index < kPostPresetCount ? Converted(false)[static_cast<size_t>(index)] : std::string();
}

std::string TPostStyle::PresetCategory(int index) {
  return index >= 0 && index < kPostPresetCount ? Converted(true)[static_cast<size_t>(index)] : std::string();
}

void TPostStyle::ApplyPresetName(int index) {
  if (index >= 0 && index < kPostPresetCount) FBase.Name = PresetName(index);
}

void TPostStyle::Paper(int32_t width, int32_t height) {
  FBase.PaperSize = kPaperUser;
  FBase.PaperWidth = width;
  FBase.PaperHeight = height;
}

void TPostStyle::Margins(double left, double top, double right, double bottom) {
  FBase.MarginLeft = left;
  FBase.MarginTop = top;
  FBase.MarginRight = right;
  FBase.MarginBottom = bottom;
}

void TPostStyle::Status(int no, int32_t status) { ViewInfo(no)->SetStatus(status); }

// One envelope: front or back, with or without the flap open above it. The rectangles are
// measured from the top of the envelope body; the flap adds its height (rounded to a whole
// millimetre) to the paper.
void TPostStyle::Envelope(int32_t width, int32_t height, double lid, bool back, bool flap) {
  TPostValues& p = FPost;
  const int32_t flapMm = flap ? RoundHalfEven(lid) : 0;
  const int32_t paperHeight = height + flapMm;
  Paper(width, paperHeight);
  if (flap) {
    p.WithLid = true;
    p.LidMargin = lid;
  }
  FBase.MarginBottom = paperHeight - FBase.MarginTop - 1;
  Status(viPostKind, 0);
  const double sx = width / kRefWidth;
  if (!back) {
    const double sy = height / kRefHeight;
    p.StampKind = 7;
    Status(viAtenaPostCodeFrame, 1);
    Status(viSenderPostCodeFrame, 0);
    p.StampLayout = Mm(15 * sx, 15 * sy, p.StampLayout.Width, p.StampLayout.Height);
    // the boxes as the card had them decide where the new ones start
    double span = PostCodeBoxesSpan(p.AtenaPostCodeBigFrameLayout, p.AtenaPostCodeSmallFrameLayout,
                                    p.YubinSmallInterval);
    double left = EnvelopeCodeFrameLeft(width, p.StampLayout.Right(), span);
    p.AtenaPostCodeBigFrameLayout = Mm(left, 12.2 * sy, 6.0, 8.3);
    p.YubinBigInterval = 1.0;
    p.AtenaPostCodeSmallFrameLayout = Mm(left + 21, 12.4 * sy, 5.9, 8.1);
    p.YubinSmallInterval = 1.0;
    Atena(p, Mm(85 * sx, 35 * sy, 25 * sx, 180 * sy), Mm(50 * sx, 45 * sy, 30 * sx, 130 * sy),
          Mm(44 * sx, 45 * sy, 5 * sx, 130 * sy), Mm(38 * sx, 45 * sy, 5 * sx, 130 * sy));
    // The barcode below the address and name, centred, its bars 10 mm and more from the
    // envelope's edges: as large as the width allows up to 10 points, in half points.
    const double size = std::min(10.0, std::floor((width - 2 * 12.0) / 8.0 * 2) / 2);
    const TBarcodeMetrics m = BarcodeMetrics(size);
    const double top = p.AtenaAddressLayout.Bottom() + TBarcodeMetrics::kClear + 0.5;
    if (size >= 8 && top + m.Long + 10 <= height) {
      p.Barcode = true;
      p.BarcodeSize = size;
      p.BarcodeLayout = Mm((width - m.Length) / 2, top, 0, 0);
    }
  } else {
    // heights scale with the paper against the reference envelope with the same flap
    const double sy = paperHeight / (kRefHeight + flapMm);
    p.StampKind = 0;
    p.PostCodeKind = 0;
    for (int no : {viAtenaPostCode, viAtenaPostCodeFrame, viAtenaAddress, viAtenaName}) Status(no, 0);
    SetWithSender(true);
    Status(viSenderPostCodeFrame, 1);
    const double end = 215 * sy;
    Sender(p, Mm(33 * sx, 148 * sy, 10 * sx, end - 148 * sy), Mm(20 * sx, 153 * sy, 13 * sx, end - 153 * sy),
           Mm(15.5 * sx, 153 * sy, 3.5 * sx, end - 153 * sy), Mm(11 * sx, 153 * sy, 3.5 * sx, end - 153 * sy));
    // the sender's boxes end under the address's right edge, 3 mm below its end
    const TMmRect& big = p.SenderPostCodeBigFrameLayout;
    const TMmRect& small = p.SenderPostCodeSmallFrameLayout;
    double span = PostCodeBoxesSpan(big, small, p.SenderYubinSmallInterval);
    double gap = small.Left - big.Left;
    double left = p.SenderAddressLayout.Right() - span;
    p.SenderPostCodeBigFrameLayout = Mm(left, p.SenderAddressLayout.Bottom() + 3, big.Width, big.Height);
    p.SenderPostCodeSmallFrameLayout = Mm(left + gap, p.SenderAddressLayout.Bottom() + 3, small.Width, small.Height);
  }
}

void TPostStyle::ApplyPreset(int index) {
  if (index < 0 || index >= kPostPresetCount) return;
  TPostValues& p = FPost;
  FBase.Category = PresetCategory(index);
  // The horizontal addressee of a 100 x 148 card, below the postal-code boxes and the stamp.
  auto horizontal = [&] {
    p.PostVertical = false;
    Atena(p, Mm(10, 36, 80, 20), Mm(10, 60, 80, 24), Mm(10, 88, 80, 5), Mm(10, 94, 80, 5));
    p.BarcodeLayout = Mm(10, 86.5, 0, 0);  // right below the name, when it is switched on
  };
  // The message side of a card: free text, no addressee.
  auto backSide = [&] {
    FEd.Vertical = false;
    p.Editor = true;
    p.StampKind = 0;
    p.PostCodeKind = 0;
    for (int no = viAtenaPostCode; no <= viAtenaMail; ++no) Status(no, 0);
    Status(viPostKind, 0);
    Status(viSenderPostCodeFrame, 0);  // the message side has no postal-code boxes
    Margins(8, 10, 8, 15);
  };
  // A sheet of labels on A4: each label is one page of the divided sheet, the postal code
  // written as text.
  struct TLabels {
    int32_t Across, Down;
    double Left, Top, Right, Bottom;  // paper margins
    TMmRect Code, Address, Name, Tel, Mail;
  };
  static const TLabels kLabels[] = {
      {2, 6, 19.3, 21.5, 19.3, 21.5, {6, 4, 0, 4}, {6, 9, 73, 14}, {6, 25, 73, 12}, {6, 38, 36, 3}, {43, 38, 36, 3}},
      {3, 6, 7.2, 9, 7.2, 9, {4, 4, 0, 4}, {4, 9, 57, 16}, {4, 27, 57, 12}, {4, 41, 27, 3}, {32, 41, 29, 3}},
      // business cards: the name first, then address, telephone and mail
      {2, 5, 14, 11, 14, 11, {8, 30, 0, 3.5}, {8, 34.5, 75, 9}, {8, 14, 75, 10}, {8, 45, 75, 3.5}, {8, 49.5, 75, 3.5}},
  };
  auto labels = [&](const TLabels& l) {
    FBase.PaperSize = kPaperA4;
    FBase.PaperWidth = 0;
    FBase.PaperHeight = 0;
    FBase.PaperLevelDivide = l.Across;
    FBase.PaperVerticalDivide = l.Down;
    FBase.PaperMarginLeft = l.Left;
    FBase.PaperMarginTop = l.Top;
    FBase.PaperMarginRight = l.Right;
    FBase.PaperMarginBottom = l.Bottom;
    Margins(5, 5, 5, 5);
    FEd.Vertical = false;
    p.PostVertical = false;
    p.StampKind = 0;
    p.PostCodeKind = 2;
    Status(viPostKind, 0);
    Status(viAtenaPostCodeFrame, 0);
    Status(viSenderPostCodeFrame, 0);
    p.AtenaPostCodeTextLayout = l.Code;
    Atena(p, l.Address, l.Name, l.Tel, l.Mail);
  };

  switch (index) {
    case 0: break;
    case 1: SetWithSender(true); break;
    case 2:
      SetWithSender(true);
      p.SenderPostCodeKind = 2;
      Status(viSenderPostCodeFrame, 0);
      break;
    case 3: horizontal(); break;
    case 4:
      horizontal();
      SetWithSender(true);
      Sender(p, Mm(10, 105, 62, 10), Mm(10, 116, 62, 9), Mm(10, 126, 62, 3.5), Mm(10, 130.5, 62, 3.5));
      break;
    case 5: backSide(); break;
    case 6:
      backSide();
      FBase.MarginBottom = 45;
      p.PostVertical = false;
      SetWithSender(true);
      p.SenderPostCodeKind = 2;
      Status(viSenderPostCodeFrame, 0);
      p.SenderPostCodeTextLayout = Mm(8, 107, 0, 4.2);
      Sender(p, Mm(8, 112, 84, 10), Mm(8, 123, 84, 9), Mm(8, 133, 84, 3.5), Mm(8, 137.5, 84, 3.5));
      break;
    case 7:
      backSide();
      FEd.Vertical = true;
      break;
    case 8:
    case 9:
      // the lottery band of the footer picture lies below the addressee; the sender moves up
      p.StampKind = 2;
      p.FooterImageKind = 1;
      p.FooterLayout = Mm(5, 133, 90, 0);
      FBase.MarginBottom = 30;
      if (index == 9) {
        SetWithSender(true);
        p.SenderPostCodeBigFrameLayout = Mm(6, 125, 4, 6.5);
        p.SenderPostCodeSmallFrameLayout = Mm(19, 125, 4, 6.5);
        Sender(p, Mm(25, 67, 10, 56), Mm(12, 67, 13, 56), Mm(8.5, 47, 3.5, 76), Mm(5, 47, 3.5, 76));
      }
      break;
    case 10:
    case 11:
      // The outgoing half: the address on the left half under the title, where an official
      // card has it; the free text on the right half beyond the fold.
      Paper(200, 148);
      FBase.MarginLeft = 110;
      p.StampKind = 3;
      p.PostKindStr = SJ("郵便往復はがき");
      Status(viRoundTrip, 2);
      if (index == 11) SetWithSender(true);
      break;
    case 12: {
      // The reply half: addressed back to the sender, who takes the addressee's places on
      // the left half; the free text and the folding hint lie right of the fold.
      Paper(200, 148);
      p.Editor = true;
      FEd.Vertical = false;
      FBase.MarginLeft = 108;
      p.StampKind = 4;
      p.PostKindStr = SJ("郵便往復はがき");
      p.RoundTripStr = SJ("こ の 折 り 目 を 内 側 に し て 折 っ て 差 し 出 し て く だ さ い 。");
      Status(viRoundTrip, 2);
      for (int no = viAtenaPostCode; no <= viAtenaMail; ++no) Status(no, 0);
      SetWithSender(true);
      Status(viSenderTel, 0);
      Status(viSenderMail, 0);
      p.SenderPostCodeBigFrameLayout = p.AtenaPostCodeBigFrameLayout;
      p.SenderPostCodeSmallFrameLayout = p.AtenaPostCodeSmallFrameLayout;
      p.SenderYubinBigInterval = p.YubinBigInterval;
      p.SenderYubinBigLineWidth = p.YubinBigLineWidth;
      p.SenderYubinSmallInterval = p.YubinSmallInterval;
      p.SenderYubinSmallLineWidth = p.YubinSmallLineWidth;
      ViewInfo(viSenderPostCodeFrame)->SetDecorate(ViewInfo(viAtenaPostCodeFrame)->Decorate());
      p.SenderPostCodeTextLayout = p.AtenaPostCodeTextLayout;
      p.SenderAddressLayout = p.AtenaAddressLayout;
      p.SenderNameLayout = p.AtenaNameLayout;
      break;
    }
    case 13:
    case 14:
    case 15:
    case 16:
      p.StampKind = 5;
      FBase.MarginBottom = 14;
      if (index >= 15) {
        // the address in the upper half, the message below it
        p.Editor = true;
        FBase.MarginTop = 82;
        Atena(p, Mm(70, 27, 23, 50), Mm(35, 27, 35, 50), Mm(30, 27, 5, 50), Mm(25, 27, 5, 50));
      }
      if (index == 14 || index == 16) SetWithSender(true);
      if (index == 16) {
        p.SenderPostCodeBigFrameLayout = Mm(6, 37, 4, 6.5);
        p.SenderPostCodeSmallFrameLayout = Mm(19, 37, 4, 6.5);
        Sender(p, Mm(22, 45, 8, 33), Mm(12, 45, 10, 33), Mm(8.5, 45, 3.5, 33), Mm(5, 45, 3.5, 33));
      }
      break;
    case 17:
    case 18: {
      // nothing is printed on a blank card beforehand: the title and the boxes are printed
      p.StampKind = 6;
      p.PostKindStr = "Post Card";
      TViewInfo* title = ViewInfo(viPostKind);
      title->SetFontStyle(fsBold);
      title->SetStatus(1);
      Status(viAtenaPostCodeFrame, 1);
      if (index == 18) {
        SetWithSender(true);
        Status(viSenderPostCodeFrame, 1);
      }
      break;
    }
    case 19:
    case 20:
      Paper(148, 100);
      p.Editor = true;
      FEd.Vertical = false;
      p.PostVertical = false;
      p.PostCodeKind = 0;
      p.StampKind = 8;
      p.HeaderImageKind = 1;
      p.FooterImageKind = 2;
      Margins(8, index == 20 ? 35 : 10, 80, 10);
      Status(viAtenaPostCodeFrame, 0);
      Status(viPostKind, 0);
      p.StampLayout = Mm(120, 8, 20, 0);
      p.HeaderLayout = Mm(75, 8, 40, 0);
      p.FooterLayout = Mm(8, 91.5, 132, 0);
      Atena(p, Mm(75, 50, 65, 28), Mm(75, 38, 65, 10), Mm(75, 80, 65, 5), Mm(75, 86, 65, 5));
      if (index == 20) {
        SetWithSender(true);
        p.SenderPostCodeKind = 0;
        Status(viSenderPostCodeFrame, 0);
        Sender(p, Mm(8, 14, 60, 12), Mm(8, 8, 60, 6), Mm(8, 26.5, 60, 3), Mm(8, 30, 60, 3));
      }
      break;
    case 21:
    case 22:
      Paper(200, 294);
      FBase.PaperLevelDivide = 2;
      FBase.PaperVerticalDivide = 2;
      if (index == 22) SetWithSender(true);
      break;
    case 39:
      labels(kLabels[0]);
      // a 9-point barcode right below a lower name, within the label
      p.AtenaNameLayout = Mm(6, 25, 73, 10);
      p.Barcode = true;
      p.BarcodeSize = 9;
      p.BarcodeLayout = Mm(6, 37, 0, 0);
      break;
    case 40: labels(kLabels[1]); break;
    case 41:
      labels(kLabels[2]);
      p.Keisyo = false;
      p.Renmei = false;
      Status(viAtenaTel, 1);
      Status(viAtenaMail, 1);
      break;
    default: {
      // envelopes 23-38: four families of front, front with flap, back, back with flap
      struct TFamily {
        int32_t Width, Height;
        double Lid;
      };
      static const TFamily kFamilies[] = {{90, 205, 18.0}, {120, 235, 26.5}, {162, 229, 26.5}, {216, 277, 33.0}};
      const TFamily& f = kFamilies[(index - 23) / 4];
      int variant = (index - 23) % 4;
      Envelope(f.Width, f.Height, f.Lid, variant >= 2, variant % 2 == 1);
      break;
    }
  }
  // A vertical card keeps the barcode's place ready below its addressee, for when it is
  // switched on: as large as fits between the address and name and 10 mm above the bottom
  // edge, its right end under the address's and 10 mm from the card's right edge (a
  // round-trip card's fold is an edge of the piece mailed).
  if (index < 23 && p.PostVertical && ViewInfo(viAtenaName)->Status() != 0) {
    const double height = (FBase.PaperHeight - FBase.PaperMarginTop - FBase.PaperMarginBottom) /
                          std::max<int32_t>(1, FBase.PaperVerticalDivide);
    const double top = std::max(p.AtenaAddressLayout.Bottom(), p.AtenaNameLayout.Bottom()) + TBarcodeMetrics::kClear;
    for (double size = 10; size >= 8; size -= 0.5) {
      const TBarcodeMetrics m = BarcodeMetrics(size);
      if (top + m.Long > height - 10) continue;
      p.BarcodeSize = size;
      p.BarcodeLayout = Mm(std::min(p.AtenaAddressLayout.Right(), 90.0) - m.Length, top, 0, 0);
      break;
    }
  }
}

}  // namespace kaede
