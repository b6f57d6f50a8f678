#pragma once
// The base style of every paper view (paper, division of a sheet into pages, tiling, margins,
// header and footer, zoom, scroll bars and the six page-frame elements) and the style lists
// that hold the predefined and user styles, stored one section per style.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "BaseOptions.h"
#include "StyleKeys.h"
#include "ViewInfos.h"

namespace kaede {

// The stored settings of a base style with their defaults. Lengths are millimetres, except
// BorderMargin (screen pixels) and PaperWidth/PaperHeight (whole millimetres).
struct TBaseStyleValues {
  bool PaperTileVReverse = false;  // sheets tiled vertically run from bottom to top
  bool PaperTileHReverse = false;  // sheets tiled horizontally run from right to left
  int32_t BorderMargin = 0;
  std::string Category;
  bool PaperVisible = false;
  bool Orientation = false;  // true: landscape
  bool PaperTileVertical = true;
  bool VScrollBarVisible = true;
  bool HScrollBarVisible = true;
  int32_t RatioValue = 0;  // above 0 a percentage; 0 whole page; -1 page width; -2 page height
  int32_t PaperSize = 9;   // printer paper number; 256 is PaperWidth x PaperHeight
  int32_t PaperWidth = 0;
  int32_t PaperHeight = 0;
  int32_t PaperLevelDivide = 1;     // pages side by side on one sheet
  int32_t PaperVerticalDivide = 1;  // pages one above the other
  int32_t StartPageNo = 1;
  double PaperMarginLeft = 0, PaperMarginTop = 0, PaperMarginRight = 0, PaperMarginBottom = 0;
  double MarginLeft = 20, MarginTop = 20, MarginRight = 20, MarginBottom = 20;
  double HeaderDistanceX = 5, HeaderDistanceY = 5, FooterDistanceX = 5, FooterDistanceY = 15;
  std::string Name = SJ("標準スタイル");
  std::string HeaderStr;
  std::string FooterStr = SJ("&b－ &p －&b");
  std::string Printer;  // the queue the style prints on (CP932); empty: the system's default
  bool operator==(const TBaseStyleValues&) const = default;
};

class TBaseStyleList;

class TBaseStyle : public TBaseOption {
public:
  // Element numbers (the settings of a style are numbered; elements share the numbering).
  enum { viPaperMargin = 27, viMargin, viHeader, viFooter, viPaperDivideLine, viPrintRange };

  // Set at creation, copied by Assign, never stored.
  bool KeyRepeatAccel = true;
  int32_t KeyRepeatLimit = 100;
  int32_t HintPause = 500;

  ~TBaseStyle() override;

  // A new, not yet constructed style of this object's class: every style class overrides it.
  virtual TBaseStyle* NewSame() const { return new TBaseStyle(); }
  // A constructed style of this object's class holding its defaults (made once per class,
  // never changed).
  const TBaseStyle& Defaults() const;

  const TBaseStyleValues& Base() const { return FBase; }
  // Setters: nothing for an unchanged value, else one Changing(-1)/Changed(-1) bracket.
  // Divisions are at least 1, paper sizes and margins at least 0, so that a hand-edited
  // style can never divide by zero or lay out a negative page.
  void SetBase(bool TBaseStyleValues::*field, bool value);
  void SetBase(int32_t TBaseStyleValues::*field, int32_t value);
  void SetBase(double TBaseStyleValues::*field, double value);
  void SetBase(std::string TBaseStyleValues::*field, const std::string& value);
  // 256 gives an unset user size 100 x 148 mm; any other number clears the user size.
  void SetPaperSize(int32_t value);
  // A size above 0 makes the paper a user size (256).
  void SetPaperWidth(int32_t value);
  void SetPaperHeight(int32_t value);
  // Tells the owning list (OnNameChange) after the change.
  void SetName(const std::string& value);
  const std::string& Name() const { return FBase.Name; }
  bool PaperVisible() const { return FBase.PaperVisible; }
  int32_t PagesPerSheet() const { return FBase.PaperLevelDivide * FBase.PaperVerticalDivide; }

  // -1 for a user style, else the number of a predefined style.
  int32_t DefaultIndex() const { return FDefaultIndex; }
  bool PresetApplied() const { return FPresetApplied; }
  // Makes the style predefined style `index` (its settings come with EnsurePreset) or, for
  // -1, a user style that keeps its settings and name.
  void SetDefaultIndex(int32_t index);
  // Gives a predefined style its settings unless it has them; then the owning list's
  // OnPreset completes them.
  void EnsurePreset();

  // The element numbered `no`; none for other numbers.
  virtual TViewInfo* ViewInfo(int no) const;
  // All elements in number order.
  std::vector<TViewInfo*> ViewInfos() const;

  bool Matches(const std::string& text) override { return text == FBase.Name; }
  std::string GetCaption() const override { return FBase.Name; }
  std::string GetText() const override { return FBase.Name; }
  void ReadText(const std::string& text) override { FBase.Name = text; }
  void CreateFields() override;
  void DestroyFields() override;
  void AssignFields(const TDataItem* source) override;
  void Clear() override;
  void ReadSection(TSettingsStore& store, const std::string& section) override;
  void WriteSection(TSettingsStore& store, const std::string& section) override;
  // A style file passed from elsewhere (.kps): a regular file of at most kStyleFileLimit
  // bytes, its values held to the ranges the settings panel allows. Raises EFileError
  // naming the file when it is not such a file. True when the section was there.
  static constexpr int64_t kStyleFileLimit = 256 * 1024;
  bool LoadStyleFile(const std::string& fileName, const std::string& section = std::string());

  // Font name (without a leading "@") and, when above 0, size of the page-frame elements.
  virtual void DoSetFonts(const std::string& fontName, int32_t size);
  // Colour index (0 text, 1 back, 2 decoration) of the page-frame elements but PrintRange.
  virtual void DoSetColors(int index, TColor color);
  // width := conversion(width rounded to a whole number) for every element concerned.
  virtual void DoConvertLineWidths(const std::function<double(double)>& conversion);
  virtual void ApplyPresetName(int /*index*/) {}
  virtual void ApplyPreset(int /*index*/) {}
  virtual void SaveBackup();
  virtual void RestoreBackup();
  virtual void SetColors(int index, TColor color);
  virtual void ConvertLineWidths(const std::function<double(double)>& conversion);
  // A screen style made printable: paper shown, black text on white, line widths from
  // screen pixels to millimetres. Nothing when the paper is already shown.
  virtual void MakePrintable();
  void SetFonts(const std::string& fontName, int32_t size);

protected:
  // Adds an element under a number and key with its default (a partial record, or a text
  // form applied over the element's defaults). Its changes are changes of the style.
  TViewInfo* AddElement(int no, const char* key, const TViewInfoRecord& record);
  TViewInfo* AddElement(int no, const char* key, const std::string& defaultText);
  // The default record of an element, for a derived style whose defaults differ from its
  // base's (set in CreateFields, before the first Clear).
  TViewInfoRecord& ElementRecord(int no) { return Slot(no)->Record; }
  // Puts the elements numbered first..last back to their defaults (without notification).
  void ResetElements(int first, int last);
  // Elements first..last: read from their keys when present; written when they differ from
  // the same element of Defaults().
  void ReadElements(TSettingsStore& store, const std::string& section, int first, int last);
  void WriteElements(TSettingsStore& store, const std::string& section, int first, int last) const;
  // What EnsurePreset clears before the preset is applied.
  virtual void ClearForPreset() { Clear(); }
  // Runs f inside one update bracket of the style, closed also when f raises.
  template <class F>
  void Updating(F f) {
    BeginUpdate();
    try {
      f();
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
  }
  // Replaces a value record through one change bracket, nothing when it ends up unchanged.
  template <class V, class F>
  bool ChangeValues(V& values, F edit) {
    V v = values;
    edit(v);
    if (v == values) return false;
    Changing(-1);
    values = std::move(v);
    Changed(-1);
    return true;
  }

  TBaseStyleValues FBase;

private:
  struct TElementSlot {
    int No;
    const char* Key;
    TViewInfo* Info;
    TViewInfoRecord Record;
    std::string Text;  // when not empty: the default is this text form, stored whole
  };
  TViewInfo* NewElement(int no, const char* key);
  void FreeElements();
  static void ClampBase(TBaseStyleValues& v);
  TElementSlot* Slot(int no);

  int32_t FDefaultIndex = -1;
  bool FPresetApplied = false;
  TBaseStyle* FBackup = nullptr;
  std::vector<TElementSlot> FElements;
};

// The stored keys of the base style's plain settings (Name is stored apart), for screens that
// edit a setting by its key.
std::span<const TStyleKey<TBaseStyleValues>> BaseStyleKeys();

// A list of styles: PresetCount predefined styles to start with, then whatever the user adds;
// stored one section per style (SectionPrefix and the two-digit position).
class TBaseStyleList : public TDataList {
public:
  using TStyleFactory = std::function<TBaseStyle*()>;
  TBaseStyleList(TStyleFactory itemClass, int32_t presetCount);

  int32_t PresetCount;
  std::string SectionPrefix = "Style";
  std::string DefaultExt;  // of a single-style file
  std::string FileFilter;
  std::function<void(TBaseStyle* style)> OnNameChange;
  // After a predefined style got its preset, so that the owner can complete it.
  std::function<void(TBaseStyle* style, int index)> OnPreset;

  TDataItem* NewInstance() const override { return FFactory(); }
  std::string SectionName(int index) const;

  // A file that does not exist (or cannot be read) leaves the present styles in place.
  void ReadFromIniFile(const std::string& fileName);
  // Key: the application key of the settings store (empty: the program's).
  void ReadFromRegistry(const std::string& key = std::string());
  void ReadFromStore(TSettingsStore& store);
  void WriteToIniFile(const std::string& fileName);
  void WriteToRegistry(const std::string& key = std::string());
  // Removes the list's old sections, then saves every style into its section; the other
  // sections of the store stay.
  void WriteToStore(TSettingsStore& store);
  // The PresetCount predefined styles, numbered from 0.
  void Reset();
  // The style at `index` with its settings (its preset applied); none outside the list.
  TBaseStyle* Style(int index);

private:
  TStyleFactory FFactory;
};

}  // namespace kaede
