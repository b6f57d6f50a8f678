#pragma once
// The items of the style settings panel: every setting of a style under a number, with its
// name, category, editor, unit, limits and choices, and the key it is stored under. The one
// table of the program's style items; the panel, its value editor and their tests read it.
//
// Numbers: 0-32 the base style (elements 27-32); then either the table style (33-38,
// elements 37 and 38) or the editor style (33-112, elements 52-80) followed by the postcard
// style (113-171, elements 152-166); last of every kind the style's printer (PrinterItemNo).
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "BaseStyles.h"
#include "StyleKeys.h"

namespace kaede {

// Editor kinds of an item.
enum TValueKind : uint8_t {
  vkNone = 0,
  vkCheck = 1,
  vkRadio = 2,
  vkList = 3,
  vkNumber = 4,
  vkText = 5,
  vkMemo = 6,
  vkLayout = 7,
  vkCheckList = 8,
  vkElement = 9,
};

// The sub-controls of the element editor an item shows, in the order of the description's
// switches.
enum TElementSwitch : uint8_t {
  esStatus = 1,
  esFontName = 2,  // with bold and italic
  esFontSize = 4,
  esDecorate = 8,
  esLineWidth = 16,
  esTextColor = 32,
  esBackColor = 64,
  esDecorateColor = 128,
  esAll = 255,
};

// The description of an item as the value editor gets it (CP932 texts).
struct RValueInfo {
  std::string Name;      // up to 60 bytes
  std::string Category;  // up to 14 bytes; empty: the item is not offered
  uint8_t Kind = vkNone;
  std::string Unit;  // "Dot", "Mm", "Mmm", "DotMm", "DotMmm" or a word shown as it is; a
                     // layout of "Position" has a place and no size (the barcode's)
  double Min = 0, Max = 0;  // a number is limited only when Min < Max
  TMmRect Layout;
  uint8_t Switches = 0;  // TElementSwitch bits
  std::string Choices;   // comma text of a radio group, list or check list
  bool operator==(const RValueInfo&) const = default;
};

// Where an item's value is kept.
enum TItemScope : uint8_t {
  scNone,     // not a setting of its own
  scBase,     // TBaseStyleValues (Key names the stored key; "Name" the style's name)
  scTable,    // TTableStyleValues
  scEditor,   // TEditorValues
  scPost,     // TPostValues
  scElement,  // the element of the item's number
};

struct TStyleItem {
  int No = -1;
  RValueInfo Info;
  TItemScope Scope = scNone;
  std::string Key;
};

// The style class a panel edits.
enum TStyleFrameKind : uint8_t { sfBase, sfTable, sfEditor, sfPost };

// The items a panel of that kind offers, numbered from 0 (ItemCount of them: 34, 40, 114 or
// 173). An item the panel hides has an empty category.
const std::vector<TStyleItem>& StyleItems(TStyleFrameKind kind);
// The number of the item プリンタ (the style's printer, `Printer`), the last of each kind.
int PrinterItemNo(TStyleFrameKind kind);

// The zoom values of item 5, in the order of its choices.
const std::vector<int32_t>& RatioValues();

// A setting's value, of the type its key stores.
using TItemValue = std::variant<bool, int32_t, double, std::string, TStrings, TMmRect>;

// Reads the value an item names (scBase, scTable, scEditor, scPost); false when the style has
// no such setting (a table item on a postcard style, an unknown key).
bool ReadItemValue(const TBaseStyle& style, const TStyleItem& item, TItemValue& value);
// Sets it through the style's setters (one change bracket, nothing for an unchanged value);
// false when the style has no such setting or the value is of another type.
bool WriteItemValue(TBaseStyle& style, const TStyleItem& item, const TItemValue& value);

}  // namespace kaede
