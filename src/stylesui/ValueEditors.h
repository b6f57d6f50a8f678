#pragma once
// The behaviour of the value editors of the style settings panel, without their widgets:
// TValueEditor holds the one value an item description asks for (check box, radio group,
// list, number, text, multi-line text, layout rectangle, check list or view element) and
// reports every user change; TViewInfoEditor edits a view element (status, font, decoration,
// line width, colours) and keeps a copied colour and font name for pasting into other
// elements. They never touch a style: the panel reads their values and applies them.
#include <bitset>
#include <functional>
#include <string>

#include "StyleItems.h"
#include "ViewInfos.h"

namespace kaede {

class TViewInfoEditor {
public:
  // Sub-control codes of SetSwitch (the change codes of a view element).
  enum { swStatus = 0, swFontName = 2, swFontSize = 3, swTextColor = 5, swBackColor = 6, swDecorate = 7,
         swDecorateColor = 8, swLineWidth = 9 };
  // Font list modes.
  enum { flAll = 0, flVertical = 1, flHorizontal = 2 };

  TViewInfoEditor();
  ~TViewInfoEditor();
  TViewInfoEditor(const TViewInfoEditor&) = delete;
  TViewInfoEditor& operator=(const TViewInfoEditor&) = delete;

  // The editor's own copy of the element; its changes are reported through OnChanging and
  // OnChange with the change code.
  TViewInfo& Element() { return *FElement; }
  const TViewInfo& Element() const { return *FElement; }
  std::function<void(int valueNo)> OnChanging;
  std::function<void(int valueNo)> OnChange;
  // The unify entry of a colour menu: every element of the style takes this colour.
  std::function<void(int index, TColor color)> OnUnifyColor;
  // The shown element changed (the widget shows it again).
  std::function<void()> OnShow;

  bool Loading() const { return FLoading; }
  // Copies e and shows it; reports no change.
  void ShowElement(const TViewInfo& e);
  void SetSwitch(int code, bool on);
  bool Switch(int code) const { return code >= 0 && code < 10 && FSwitches[static_cast<size_t>(code)]; }
  // 1 "Dot", 2 "Mm", 3 "Mmm"; the unit label and the step of the line width.
  void SetUnit(int index);
  int Unit() const { return FUnit; }
  std::string UnitLabel() const;
  double Step() const { return FUnit == 3 ? 0.1 : 1.0; }
  // Which installed fonts the font list offers. Nothing when unchanged.
  void SetFontListMode(int mode);
  int FontListMode() const { return FFontListMode; }
  // The element's font name as the list shows it: with "@" in the vertical list, without it
  // in the horizontal list.
  std::string FontListName() const;
  void SetHatchMode(bool on);
  bool HatchMode() const { return FHatchMode; }
  // The entries of the decoration list: hatch patterns, underlines (when the font name is
  // shown) or line kinds.
  TStrings DecorateChoices() const;
  // The panel is enabled while the element is shown (status 1 or 2).
  bool PanelEnabled() const { return FElement->IsEnabled(); }

  // ---- User changes (ignored while a value is being shown) ----
  void SetStatus(int index);
  void SetFontName(const std::string& name);
  void SetFontSize(double size);
  void SetBold(bool on);
  void SetItalic(bool on);
  void SetDecorate(int index);
  void SetLineWidth(double width);
  void SetColor(int index, TColor color);

  // ---- Colour and font-name menus ----
  static std::string ColorButtonCaption(int index);  // "文字色(&T)...", "背景色(&H)...", "装飾色(&U)..."
  // "すべての項目の" + the first three characters of the button's caption + "をこの色で統一(&U)".
  static std::string UnifyCaption(int index);
  bool HasCopiedColor() const { return FCopiedColor != clNone; }
  TColor CopiedColor() const { return FCopiedColor; }
  void CopyColor(int index);
  void PasteColor(int index);
  void UnifyColor(int index);
  bool HasCopiedFontName() const { return !FCopiedFontName.empty(); }
  void CopyFontName();
  void PasteFontName();

private:
  TViewInfo* FElement;
  bool FLoading = false;
  bool FSwitches[10] = {true, false, true, true, false, true, true, true, true, true};
  int FUnit = 1;
  int FFontListMode = flAll;
  TColor FCopiedColor = clNone;
  std::string FCopiedFontName;
  bool FHatchMode = false;
};

class TValueEditor {
public:
  enum { kCheckCount = 256 };
  using TCheckedSet = std::bitset<kCheckCount>;

  TValueEditor();

  std::function<void()> OnChanging;
  std::function<void()> OnChange;
  // The widget follows: after Setup, and after a value was shown.
  std::function<void()> OnSetup;
  std::function<void()> OnShow;

  // ---- Set up for an item ----
  void Setup(const RValueInfo& info);
  const RValueInfo& Info() const { return FInfo; }
  uint8_t Kind() const { return FInfo.Kind; }
  std::string ItemLabel() const;  // "【" + name + "】"
  bool ItemLabelShown() const { return FInfo.Kind >= vkList && FInfo.Kind <= vkCheckList; }
  std::string UnitLabel() const { return FUnitLabel; }
  double Step() const { return FStep; }
  bool Limited() const { return FInfo.Min < FInfo.Max; }
  TStrings Choices() const;
  // A radio group of two short choices (each under 7 bytes) has two columns 49 pixels high,
  // any other one column 24 pixels a choice plus 16.
  int RadioColumns() const;
  int RadioHeight() const;
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool on);

  // ---- Values ----
  int32_t IntValue = 0;
  double FloatValue = 0;
  std::string TextValue;
  TMmRect LayoutValue;
  TCheckedSet CheckedSet;
  const TViewInfo& ElementValue() const { return FElement.Element(); }
  TViewInfoEditor& ElementEditor() { return FElement; }

  // Shown values: the value and its control are set without a change being reported.
  void ShowIndex(int index);
  void ShowNumber(double value);
  void ShowText(const std::string& text);
  void ShowLayout(const TMmRect& r);
  void ShowChecked(const TCheckedSet& set);
  void ShowElement(const TViewInfo& e);
  bool Loading() const { return FLoading; }

  // ---- User changes (ignored while a value is being shown) ----
  void UserIndex(int index);
  void UserNumber(double value);
  void UserText(const std::string& text);
  void UserLayout(const TMmRect& r);
  void UserChecked(const TCheckedSet& set);

private:
  template <class F>
  void Show(F f);
  template <class F>
  void User(F f);

  RValueInfo FInfo;
  std::string FUnitLabel;
  double FStep = 1;
  bool FEnabled = true;
  bool FLoading = false;
  TViewInfoEditor FElement;
};

}  // namespace kaede
