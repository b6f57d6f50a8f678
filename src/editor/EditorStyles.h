#pragma once
// The style of the text-layout editor: how text is broken into lines, arranged into
// partitions and pages, drawn and edited, with one view element for every kind of thing the
// editor draws.
#include "BaseStyles.h"

namespace kaede {

// The editor's stored settings with their defaults. Column counts are in half-width cells.
// LineSpace, ColumnSpace, TextLeftMargin, TextRightMargin and PartationMargin are millimetres
// on paper and screen pixels without paper (the paper view's length rule).
struct TEditorValues {
  bool Vertical = false;
  bool ProportionalFont = false;
  bool FreeCaret = false;
  bool ColumnCountAuto = true;
  bool FontSizeAuto = false;
  bool PageRoll = false;
  bool TailHang = true;
  bool TailAdjust = false;
  bool WordWrap = false;
  bool EditIndent = false;
  bool ItemizedStatement = false;
  bool ReadOnly = false;
  bool EofOverUnfilled = false;
  bool BigCaret = false;
  bool LineInfoVerticalRow = false;
  bool LineInfoFillZero = false;  // kept for the file; nothing reads it
  bool SerifuNameRestore = false;
  bool UseZenkaku = false;
  bool ConnectTatesen = false;
  int32_t ImeControl = 0;
  int32_t PartationCount = 1;  // at least 1
  int32_t ColumnCount = 0;
  int32_t LineInfoStyle = 0;
  int32_t AntiArius = 1;  // at least 1
  int32_t LineCountInPage = 0;
  int32_t TabLength = 4;
  int32_t ViewIndent = 1;
  int32_t GapLineStyle = 0;
  int32_t HashiraIndentCount = 4;
  int32_t TogakiIndentCount = 4;
  int32_t SerifuIndentCount = 2;
  int32_t LineInfoStartLineNo = 0;
  int32_t LineInfoInterval = 1;
  int32_t StartLineInfoNo = 1;
  int32_t MaxPageCount = 0;
  int32_t MaxStrCount = 0;  // kept for the file; nothing reads it
  double LineSpace = 10.0;
  double ColumnSpace = 0.0;
  double TextLeftMargin = 8.0;
  double TextRightMargin = 0.0;
  double PartationMargin = 12.0;
  std::string ViewIndentStr = SJ("※・□■◇◆○●◎§①②③④⑤⑥⑦⑧⑨⑩");
  std::string HangStr = SJ(";.､｡、。，．｣」』");
  std::string ProhibitTopStr = SJ("]}):;?!ﾞﾟ･~・：；？！゛゜‐’”）〕］｝〉》】ｬｭｮゃゅょャュョ");
  std::string ProhibitBottomStr = SJ("[{(‘“（〔［｛〈《「『【");
  std::string Quote = ">";  // kept for the file; nothing reads it
  std::string HashiraHeader = SJ("○");
  std::string SerifuHeader = SJ("「");
  std::string SerifuFooter = SJ("」");
  TStrings Exts;  // kept for the file; nothing reads it
  TStrings HeadingStrs = DecodeCommaText(SJ("□,■,○,●,◎,§"));
  TStrings KeyWordStrs;
  bool operator==(const TEditorValues&) const = default;
};

// The stored keys of the editor style's own settings, in their order.
std::span<const TStyleKey<TEditorValues>> EditorStyleKeys();

class TEditorStyle : public TBaseStyle {
public:
  // Element numbers; an element's number is also the drawing status of a cell.
  enum {
    viNormal = 52,
    viCaretLine,
    viSelect,
    viFind,
    viHeading,
    viUrl,
    viMail,
    viKeyWord,
    viVerticalRow,
    viLineInfo,
    viCaretLineInfo,
    viMarkLineInfo,
    viRubi,
    viBoten,
    viFootNote,
    viFootNoteMark,
    viUnfilled,
    viCaret,
    viGapLine,
    viPageDivideLine,
    viMaxPageDivideLine,
    viPartationDivideLine,
    viLineInfoTailLine,
    viColumnTailLine,
    viZenkakuSpace,
    viHankakuSpace,
    viReturn,
    viTab,
    viEof,
  };

  TBaseStyle* NewSame() const override { return new TEditorStyle(); }

  const TEditorValues& Editor() const { return FEd; }
  template <class T>
  void SetEditor(T TEditorValues::*field, const T& value) {
    ChangeValues(FEd, [&](TEditorValues& v) {
      v.*field = value;
      Clamp(v);
    });
  }

  void CreateFields() override;
  void AssignFields(const TDataItem* source) override;
  void Clear() override;
  void ReadSection(TSettingsStore& store, const std::string& section) override;
  void WriteSection(TSettingsStore& store, const std::string& section) override;
  // Also the names of Normal ... Rubi (as given, "@" included) and, when the size is above 0,
  // the sizes of Normal ... MarkLineInfo.
  void DoSetFonts(const std::string& fontName, int32_t size) override;
  // Also every editor element but Select and FootNote.
  void DoSetColors(int index, TColor color) override;
  void DoConvertLineWidths(const std::function<double(double)>& conversion) override;
  // Also the five lengths from pixels to millimetres when the paper was not shown; always
  // direct drawing (AntiArius 1), the caret-line marks on screen only, and the marks of line
  // ends, tabs and the end of text not enabled.
  void MakePrintable() override;

protected:
  TEditorValues FEd;

private:
  static void Clamp(TEditorValues& v);
};

}  // namespace kaede
