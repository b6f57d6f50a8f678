#include "EditorStyles.h"

#include <algorithm>

#include "SheetPrinters.h"

namespace kaede {

namespace {

using V = TEditorValues;

const TStyleKey<V> kEditorKeys[] = {
    {"Vertical", &V::Vertical},
    {"ProportionalFont", &V::ProportionalFont},
    {"FreeCaret", &V::FreeCaret},
    {"ColumnCountAuto", &V::ColumnCountAuto},
    {"FontSizeAuto", &V::FontSizeAuto},
    {"PageRoll", &V::PageRoll},
    {"TailHang", &V::TailHang},
    {"TailAdjust", &V::TailAdjust},
    {"WordWrap", &V::WordWrap},
    {"EditIndent", &V::EditIndent},
    {"ItemizedStatement", &V::ItemizedStatement},
    {"ReadOnly", &V::ReadOnly},
    {"EofOverUnfilled", &V::EofOverUnfilled},
    {"BigCaret", &V::BigCaret},
    {"LineInfoVerticalRow", &V::LineInfoVerticalRow},
    {"LineInfoFillZero", &V::LineInfoFillZero},
    {"SerifuNameRestore", &V::SerifuNameRestore},
    {"UseZenkaku", &V::UseZenkaku},
    {"ConnectTatesen", &V::ConnectTatesen},
    {"ImeControl", &V::ImeControl},
    {"PartationCount", &V::PartationCount},
    {"ColumnCount", &V::ColumnCount},
    {"LineInfoStyle", &V::LineInfoStyle},
    {"AntiArius", &V::AntiArius},
    {"LineCountInPage", &V::LineCountInPage},
    {"TabLength", &V::TabLength},
    {"ViewIndent", &V::ViewIndent},
    {"GapLineStyle", &V::GapLineStyle},
    {"HashiraIndentCount", &V::HashiraIndentCount},
    {"TogakiIndentCount", &V::TogakiIndentCount},
    {"SerifuIndentCount", &V::SerifuIndentCount},
    {"LineInfoStartLineNo", &V::LineInfoStartLineNo},
    {"LineInfoInterval", &V::LineInfoInterval},
    {"StartLineInfoNo", &V::StartLineInfoNo},
    {"MaxPageCount", &V::MaxPageCount},
    {"MaxStrCount", &V::MaxStrCount},
    {"LineSpace", &V::LineSpace},
    {"ColumnSpace", &V::ColumnSpace},
    {"TextLeftMargin", &V::TextLeftMargin},
    {"TextRightMargin", &V::TextRightMargin},
    {"PartationMargin", &V::PartationMargin},
    {"ViewIndentStr", &V::ViewIndentStr},
    {"HangStr", &V::HangStr},
    {"ProhibitTopStr", &V::ProhibitTopStr},
    {"ProhibitBottomStr", &V::ProhibitBottomStr},
    {"Quote", &V::Quote},
    {"HashiraHeader", &V::HashiraHeader},
    {"SerifuHeader", &V::SerifuHeader},
    {"SerifuFooter", &V::SerifuFooter},
    {"Exts", &V::Exts},
    {"HeadingStrs", &V::HeadingStrs},
    {"KeyWordStrs", &V::KeyWordStrs},
};

// An element that draws text; colours as 0xRRGGBB.
TViewInfoRecord TextElement(int32_t status, const std::string& font, int32_t size, int32_t style, int32_t decorate,
                            double width, uint32_t text, uint32_t back, uint32_t decorateColor) {
  return ViewInfoRecord(status, font, size, style, decorate, width, RgbColor(text), RgbColor(back),
                        RgbColor(decorateColor));
}

// An element that draws lines or areas only.
TViewInfoRecord LineElement(int32_t status, int32_t decorate, double width, uint32_t back, int64_t decorateColor) {
  return ViewInfoRecord(status, "", 0, -1, decorate, width, clNone, RgbColor(back),
                        decorateColor < 0 ? clNone : RgbColor(static_cast<uint32_t>(decorateColor)));
}

}  // namespace

std::span<const TStyleKey<TEditorValues>> EditorStyleKeys() { return kEditorKeys; }

void TEditorStyle::Clamp(TEditorValues& v) {
  // both divide: the page into partitions, the screen pixel into samples
  v.PartationCount = std::max(1, v.PartationCount);
  v.AntiArius = std::max(1, v.AntiArius);
}

void TEditorStyle::CreateFields() {
  TBaseStyle::CreateFields();
  const std::string& gothic = SJ("ＭＳ ゴシック");
  const std::string& mincho = SJ("ＭＳ 明朝");
  const uint32_t ink = 0x182543, paper = 0xFCFCEF, rule = 0xB4AA63;
  AddElement(viNormal, "Normal", TextElement(1, gothic, 12, 0, 0, 1.0, ink, paper, ink));
  AddElement(viCaretLine, "CaretLine", TextElement(2, gothic, 12, 0, 2, 1.0, ink, paper, 0xF2850D));
  AddElement(viSelect, "Select", TextElement(2, gothic, 12, 0, 0, 1.0, ink, 0xF1C58D, ink));
  AddElement(viFind, "Find", TextElement(2, gothic, 12, 0, 1, 2.0, ink, paper, 0x995577));
  AddElement(viHeading, "Heading", TextElement(1, gothic, 12, 1, 0, 1.0, ink, 0xDADCE0, ink));
  AddElement(viUrl, "Url", TextElement(1, gothic, 12, 0, 1, 1.0, 0x0000FF, paper, 0x0000FF));
  AddElement(viMail, "Mail", TextElement(1, gothic, 12, 0, 1, 1.0, 0x008000, paper, 0x008000));
  AddElement(viKeyWord, "KeyWord", TextElement(1, gothic, 12, 1, 0, 1.0, 0xFF0000, paper, 0xFF0000));
  AddElement(viVerticalRow, "VerticalRow", TextElement(0, gothic, 12, 0, 0, 1.0, ink, paper, ink));
  AddElement(viLineInfo, "LineInfo", TextElement(1, gothic, 12, 0, 0, 1.0, 0xDEE4EF, 0x1E2D51, 0xDEE4EF));
  AddElement(viCaretLineInfo, "CaretLineInfo", TextElement(2, gothic, 12, 0, 0, 1.0, 0xFDEFE1, 0xF2850D, 0xFDEFE1));
  AddElement(viMarkLineInfo, "MarkLineInfo", TextElement(2, gothic, 12, 0, 0, 1.0, 0xDEE4EF, 0x4162AF, 0xDEE4EF));
  AddElement(viRubi, "Rubi", TextElement(0, gothic, 8, 0, 0, 1.0, ink, paper, ink));
  AddElement(viBoten, "Boten", TextElement(0, mincho, 14, 0, 0, 1.0, ink, paper, ink));
  AddElement(viFootNote, "FootNote", TextElement(0, SJ("ＭＳ Ｐゴシック"), 9, 0, 0, 1.0, ink, 0xD8E5EA, ink));
  AddElement(viFootNoteMark, "FootNoteMark", TextElement(0, mincho, 9, 0, 0, 1.0, 0x5578B3, paper, 0x5578B3));
  AddElement(viUnfilled, "Unfilled", LineElement(2, 1, 1.0, 0xE3E1B9, -1));
  AddElement(viCaret, "Caret", LineElement(0, 1, 1.0, paper, 0xFF0000));
  AddElement(viGapLine, "GapLine", LineElement(0, 1, 1.0, paper, 0xE3E1B9));
  AddElement(viPageDivideLine, "PageDivideLine", LineElement(0, 1, 1.0, paper, 0xE3E1B9));
  AddElement(viMaxPageDivideLine, "MaxPageDivideLine", LineElement(0, 2, 2.0, paper, 0xFF0000));
  AddElement(viPartationDivideLine, "PartationDivideLine", LineElement(0, 1, 1.0, paper, rule));
  AddElement(viLineInfoTailLine, "LineInfoTailLine", LineElement(0, 1, 1.0, paper, rule));
  AddElement(viColumnTailLine, "ColumnTailLine", LineElement(0, 1, 1.0, paper, rule));
  AddElement(viZenkakuSpace, "ZenkakuSpace", LineElement(0, 1, 1.0, paper, rule));
  AddElement(viHankakuSpace, "HankakuSpace", LineElement(0, 1, 1.0, paper, rule));
  AddElement(viReturn, "Return", LineElement(2, 1, 1.0, paper, rule));
  AddElement(viTab, "Tab", LineElement(2, 1, 1.0, paper, rule));
  AddElement(viEof, "Eof", LineElement(2, 1, 1.0, paper, rule));
}

void TEditorStyle::AssignFields(const TDataItem* source) {
  TBaseStyle::AssignFields(source);
  if (auto* s = dynamic_cast<const TEditorStyle*>(source)) FEd = s->FEd;
}

void TEditorStyle::Clear() {
  TBaseStyle::Clear();
  FEd = TEditorValues();
  ResetElements(viNormal, viEof);
}

void TEditorStyle::ReadSection(TSettingsStore& store, const std::string& section) {
  TBaseStyle::ReadSection(store, section);
  if (DefaultIndex() >= 0) return;
  ReadStyleKeys<V>(store, section, kEditorKeys, FEd, TEditorValues());
  Clamp(FEd);
  ReadElements(store, section, viNormal, viEof);
}

void TEditorStyle::WriteSection(TSettingsStore& store, const std::string& section) {
  TBaseStyle::WriteSection(store, section);
  if (DefaultIndex() >= 0) return;
  WriteStyleKeys<V>(store, section, kEditorKeys, FEd, TEditorValues());
  WriteElements(store, section, viNormal, viEof);
}

void TEditorStyle::DoSetFonts(const std::string& fontName, int32_t size) {
  TBaseStyle::DoSetFonts(fontName, size);
  for (int no = viNormal; no <= viRubi; ++no) {
    TViewInfo* e = ViewInfo(no);
    e->SetFontName(fontName);
    if (size > 0 && no <= viMarkLineInfo) e->SetFontSize(size);
  }
}

void TEditorStyle::DoSetColors(int index, TColor color) {
  TBaseStyle::DoSetColors(index, color);
  for (int no = viNormal; no <= viEof; ++no)
    if (no != viSelect && no != viFootNote) ViewInfo(no)->SetColor(index, color);
}

void TEditorStyle::DoConvertLineWidths(const std::function<double(double)>& conversion) {
  TBaseStyle::DoConvertLineWidths(conversion);
  for (int no = viNormal; no <= viEof; ++no) {
    TViewInfo* e = ViewInfo(no);
    e->SetLineWidth(conversion(RoundHalfEven(e->LineWidth())));
  }
}

void TEditorStyle::MakePrintable() {
  Updating([&] {
    bool hadPaper = PaperVisible();
    TBaseStyle::MakePrintable();
    int32_t dpi = PageMetrics().ScreenDpi;
    ChangeValues(FEd, [&](V& v) {
      if (!hadPaper) {
        for (double* length : {&v.LineSpace, &v.ColumnSpace, &v.TextLeftMargin, &v.TextRightMargin, &v.PartationMargin})
          *length = RoundHundredths(*length * 25.4 / dpi);
      }
      v.AntiArius = 1;
    });
    for (int no : {viCaretLine, viCaretLineInfo})
      if (ViewInfo(no)->Status() == 1) ViewInfo(no)->SetStatus(2);
    for (int no : {viReturn, viTab, viEof}) ViewInfo(no)->SetStatus(-1);
  });
}

}  // namespace kaede
