#include "ValueEditors.h"

#include <cmath>

#include "CommaText.h"
#include "SheetPrinters.h"

namespace kaede {

// ---- TViewInfoEditor -----------------------------------------------------------------------

TViewInfoEditor::TViewInfoEditor() : FElement(TDataItem::Make<TViewInfo>()) {
  // copying an element in to show it is no user change
  FElement->OnBeforeChange = [this](TDataItem*, int valueNo) {
    if (!FLoading && OnChanging) OnChanging(valueNo);
  };
  FElement->OnAfterChange = [this](TDataItem*, int valueNo) {
    if (FLoading) return;
    if (OnShow) OnShow();
    if (OnChange) OnChange(valueNo);
  };
}

TViewInfoEditor::~TViewInfoEditor() { FElement->Free(); }

void TViewInfoEditor::ShowElement(const TViewInfo& e) {
  FLoading = true;
  FElement->Assign(&e);
  FLoading = false;
  if (OnShow) OnShow();
}

void TViewInfoEditor::SetSwitch(int code, bool on) {
  if (code < 0 || code >= 10) return;
  FSwitches[static_cast<size_t>(code)] = on;
  if (OnShow) OnShow();
}

void TViewInfoEditor::SetUnit(int index) { FUnit = index; }

std::string TViewInfoEditor::UnitLabel() const { return FUnit == 1 ? SJ("ドット") : SJ(" ㎜"); }

void TViewInfoEditor::SetFontListMode(int mode) {
  if (mode == FFontListMode) return;
  FFontListMode = mode;
  if (OnShow) OnShow();
}

std::string TViewInfoEditor::FontListName() const {
  std::string name = FElement->Font().Name;
  bool vertical = !name.empty() && name[0] == '@';
  if (FFontListMode == flHorizontal && vertical) return name.substr(1);
  if (FFontListMode == flVertical && !vertical) return "@" + name;
  return name;
}

void TViewInfoEditor::SetHatchMode(bool on) {
  if (on == FHatchMode) return;
  FHatchMode = on;
  if (OnShow) OnShow();
}

TStrings TViewInfoEditor::DecorateChoices() const {
  if (FHatchMode) return DecodeCommaText(SJ("横縞,縦縞,斜縞,逆斜縞,格子,斜格子"));
  if (FSwitches[swFontName]) return DecodeCommaText(SJ("なし,下線（実線）,下線（点線）,二重線（実線）,二重線（点線）"));
  return DecodeCommaText(SJ("なし,実線,点線,二重線（実線）,二重線（点線）"));
}

void TViewInfoEditor::SetStatus(int index) {
  if (!FLoading) FElement->SetStatus(index);
}

void TViewInfoEditor::SetFontName(const std::string& name) {
  if (!FLoading) FElement->SetFontName(name);
}

void TViewInfoEditor::SetFontSize(double size) {
  if (FLoading) return;
  int32_t s = static_cast<int32_t>(std::trunc(size));
  if (s != FElement->Font().Size) FElement->SetFontSize(s);
}

void TViewInfoEditor::SetBold(bool on) {
  if (FLoading) return;
  uint8_t style = FElement->Font().Style;
  FElement->SetFontStyle(static_cast<uint8_t>(on ? style | fsBold : style & ~fsBold));
}

void TViewInfoEditor::SetItalic(bool on) {
  if (FLoading) return;
  uint8_t style = FElement->Font().Style;
  FElement->SetFontStyle(static_cast<uint8_t>(on ? style | fsItalic : style & ~fsItalic));
}

void TViewInfoEditor::SetDecorate(int index) {
  if (!FLoading) FElement->SetDecorate(index);
}

void TViewInfoEditor::SetLineWidth(double width) {
  if (!FLoading) FElement->SetLineWidth(width);
}

void TViewInfoEditor::SetColor(int index, TColor color) {
  if (!FLoading) FElement->SetColor(index, color);
}

std::string TViewInfoEditor::ColorButtonCaption(int index) {
  switch (index) {
    case TViewInfo::ciText: return SJ("文字色(&T)...");
    case TViewInfo::ciBack: return SJ("背景色(&H)...");
    default: return SJ("装飾色(&U)...");
  }
}

std::string TViewInfoEditor::UnifyCaption(int index) {
  // the first three characters of the caption: six bytes of double-byte text
  return SJ("すべての項目の") + ColorButtonCaption(index).substr(0, 6) + SJ("をこの色で統一(&U)");
}

void TViewInfoEditor::CopyColor(int index) { FCopiedColor = FElement->Color(index); }

void TViewInfoEditor::PasteColor(int index) {
  if (FCopiedColor == clNone || FLoading) return;
  FElement->SetColor(index, FCopiedColor);
}

void TViewInfoEditor::UnifyColor(int index) {
  if (OnUnifyColor) OnUnifyColor(index, FElement->Color(index));
}

void TViewInfoEditor::CopyFontName() { FCopiedFontName = FElement->Font().Name; }

void TViewInfoEditor::PasteFontName() {
  if (FCopiedFontName.empty() || FLoading) return;
  FElement->SetFontName(FCopiedFontName);
}

// ---- TValueEditor --------------------------------------------------------------------------

TValueEditor::TValueEditor() {
  FElement.OnChanging = [this](int) {
    if (!FLoading && OnChanging) OnChanging();
  };
  FElement.OnChange = [this](int) {
    if (!FLoading && OnChange) OnChange();
  };
}

std::string TValueEditor::ItemLabel() const { return SJ("【") + FInfo.Name + SJ("】"); }

TStrings TValueEditor::Choices() const { return DecodeCommaText(FInfo.Choices); }

int TValueEditor::RadioColumns() const {
  TStrings c = Choices();
  return c.size() == 2 && c[0].size() < 7 && c[1].size() < 7 ? 2 : 1;
}

int TValueEditor::RadioHeight() const {
  return RadioColumns() == 2 ? 49 : 24 * static_cast<int>(Choices().size()) + 16;
}

void TValueEditor::SetEnabled(bool on) {
  FEnabled = on;
  if (OnSetup) OnSetup();
}

void TValueEditor::Setup(const RValueInfo& info) {
  FInfo = info;
  const std::string& u = info.Unit;
  int unit = u == "Dot" ? 1 : u == "Mm" ? 2 : u == "Mmm" ? 3 : 0;
  if (unit == 1) FUnitLabel = SJ("ドット");
  else if (unit > 1) FUnitLabel = SJ(" ㎜");
  else FUnitLabel = u;
  FStep = unit == 3 ? 0.1 : 1.0;
  if (unit > 0) FElement.SetUnit(unit);
  if (info.Kind == vkElement) {
    const int codes[8] = {TViewInfoEditor::swStatus,      TViewInfoEditor::swFontName,  TViewInfoEditor::swFontSize,
                          TViewInfoEditor::swDecorate,    TViewInfoEditor::swLineWidth, TViewInfoEditor::swTextColor,
                          TViewInfoEditor::swBackColor,   TViewInfoEditor::swDecorateColor};
    for (int i = 0; i < 8; ++i) FElement.SetSwitch(codes[i], (info.Switches >> i) & 1);
  }
  FLoading = true;
  IntValue = 0;
  FloatValue = 0;
  TextValue.clear();
  LayoutValue = (info.Kind == vkLayout) ? info.Layout : TMmRect{};
  CheckedSet.reset();
  TViewInfo* defaults = TDataItem::Make<TViewInfo>();
  FElement.ShowElement(*defaults);
  defaults->Free();
  FLoading = false;
  FEnabled = true;
  if (OnSetup) OnSetup();
}

template <class F>
void TValueEditor::Show(F f) {
  FLoading = true;
  f();
  FLoading = false;
  if (OnShow) OnShow();
}

void TValueEditor::ShowIndex(int index) {
  Show([&] { IntValue = index; });
}
void TValueEditor::ShowNumber(double value) {
  Show([&] {
    FloatValue = value;
    IntValue = RoundHalfEven(value);
  });
}
void TValueEditor::ShowText(const std::string& text) {
  Show([&] { TextValue = text; });
}
void TValueEditor::ShowLayout(const TMmRect& r) {
  Show([&] { LayoutValue = r; });
}
void TValueEditor::ShowChecked(const TCheckedSet& set) {
  Show([&] { CheckedSet = set; });
}
void TValueEditor::ShowElement(const TViewInfo& e) {
  Show([&] { FElement.ShowElement(e); });
}

template <class F>
void TValueEditor::User(F f) {
  if (FLoading) return;
  if (OnChanging) OnChanging();
  f();
  if (OnChange) OnChange();
}

void TValueEditor::UserIndex(int index) {
  User([&] { IntValue = index; });
}
void TValueEditor::UserNumber(double value) {
  if (Limited()) value = std::clamp(value, FInfo.Min, FInfo.Max);
  User([&] {
    FloatValue = value;
    IntValue = RoundHalfEven(value);
  });
}
void TValueEditor::UserText(const std::string& text) {
  User([&] { TextValue = text; });
}
void TValueEditor::UserLayout(const TMmRect& r) {
  User([&] { LayoutValue = r; });
}
void TValueEditor::UserChecked(const TCheckedSet& set) {
  User([&] { CheckedSet = set; });
}

}  // namespace kaede
