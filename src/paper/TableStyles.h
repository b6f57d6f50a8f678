#pragma once
// The style of the table print: the columns shown and their order, the margins inside the
// cells, whether the header row repeats on every page, and the elements of the body cells and
// of the header row with its rules.
#include "BaseStyles.h"

namespace kaede {

struct TTableStyleValues {
  bool ValueNameOnlyFirstPage = false;  // the header row only on the first page
  double InBoxVerticalMargin = 1.0;     // mm above and below the text of a cell
  double InBoxLevelMargin = 2.0;        // mm left and right of the text of a cell
  std::string ValueNames = SJ("名前,〒,住所");  // comma text of the column names
  bool operator==(const TTableStyleValues&) const = default;
};

class TTableStyle : public TBaseStyle {
public:
  enum { viNormal = 37, viLine = 38 };

  TBaseStyle* NewSame() const override { return new TTableStyle(); }

  const TTableStyleValues& Table() const { return FTable; }
  // Cell margins are at least 0.
  template <class T>
  void SetTable(T TTableStyleValues::*field, const T& value) {
    ChangeValues(FTable, [&](TTableStyleValues& v) {
      v.*field = value;
      Clamp(v);
    });
  }
  TViewInfo* Normal() const { return ViewInfo(viNormal); }
  TViewInfo* Line() const { return ViewInfo(viLine); }

  void CreateFields() override;
  void AssignFields(const TDataItem* source) override;
  void Clear() override;
  void ReadSection(TSettingsStore& store, const std::string& section) override;
  void WriteSection(TSettingsStore& store, const std::string& section) override;
  // "一覧表" for 0, an empty name for every other predefined number.
  void ApplyPresetName(int index) override;

private:
  static void Clamp(TTableStyleValues& v);
  TTableStyleValues FTable;
};

// The stored keys of the table style's own settings.
std::span<const TStyleKey<TTableStyleValues>> TableStyleKeys();

// The completion of the predefined table styles 0-3 (names, columns, a narrower cell margin
// for the first); other numbers get an empty name. The owner of a table style list installs
// it as the list's OnPreset.
void CompleteTablePreset(TBaseStyle* style, int index);

// Table styles, stored in the sections "TableStyle00", "TableStyle01", ...; by default with
// the four predefined styles and their completion.
class TTableStyleList : public TBaseStyleList {
public:
  explicit TTableStyleList(int32_t presetCount = 4);
  TTableStyle* Style(int index) { return static_cast<TTableStyle*>(TBaseStyleList::Style(index)); }
};

}  // namespace kaede
