#include "TableStyles.h"

#include <algorithm>

namespace kaede {

namespace {

using V = TTableStyleValues;

const TStyleKey<V> kTableKeys[] = {
    {"ValueNameOnlyFirstPage", &V::ValueNameOnlyFirstPage},
    {"InBoxVerticalMargin", &V::InBoxVerticalMargin},
    {"InBoxLevelMargin", &V::InBoxLevelMargin},
    {"ValueNames", &V::ValueNames},
};

const char* const kNormalText = "1,\"MS UI Gothic,9\",0,0,clBlack,clWhite,clBlack";
const char* const kLineText = "1,\"MS UI Gothic,9\",1,0,clBlack,$00EEEEEE,clGray";

}  // namespace

std::span<const TStyleKey<TTableStyleValues>> TableStyleKeys() { return kTableKeys; }

void TTableStyle::Clamp(TTableStyleValues& v) {
  if (!(v.InBoxVerticalMargin >= 0)) v.InBoxVerticalMargin = 0;
  if (!(v.InBoxLevelMargin >= 0)) v.InBoxLevelMargin = 0;
}

void TTableStyle::CreateFields() {
  TBaseStyle::CreateFields();
  AddElement(viNormal, "Normal", std::string(kNormalText));
  AddElement(viLine, "Line", std::string(kLineText));
}

void TTableStyle::AssignFields(const TDataItem* source) {
  TBaseStyle::AssignFields(source);
  if (auto* s = dynamic_cast<const TTableStyle*>(source)) FTable = s->FTable;
}

void TTableStyle::Clear() {
  TBaseStyle::Clear();
  FBase.Category = SJ("一覧表");
  FBase.PaperVisible = true;
  FTable = TTableStyleValues();
  ResetElements(viNormal, viLine);
}

void TTableStyle::ReadSection(TSettingsStore& store, const std::string& section) {
  TBaseStyle::ReadSection(store, section);
  if (DefaultIndex() >= 0) return;
  ReadStyleKeys<V>(store, section, kTableKeys, FTable, TTableStyleValues());
  Clamp(FTable);
  ReadElements(store, section, viNormal, viLine);
}

void TTableStyle::WriteSection(TSettingsStore& store, const std::string& section) {
  TBaseStyle::WriteSection(store, section);
  if (DefaultIndex() >= 0) return;
  WriteStyleKeys<V>(store, section, kTableKeys, FTable, TTableStyleValues());
  WriteElements(store, section, viNormal, viLine);
}

void TTableStyle::ApplyPresetName(int index) { FBase.Name = index == 0 ? SJ("一覧表") : std::string(); }

void CompleteTablePreset(TBaseStyle* style, int index) {
  auto* t = dynamic_cast<TTableStyle*>(style);
  if (!t) return;
  switch (index) {
    case 0:
      t->SetName(SJ("【一覧表】名前と住所"));
      t->SetTable(&V::ValueNames, SJ("名前,〒,住所"));
      t->SetTable(&V::InBoxLevelMargin, 1.5);
      break;
    case 1:
      t->SetName(SJ("【一覧表】名前と電話番号"));
      t->SetTable(&V::ValueNames, SJ("名前,TEL,FAX,携帯"));
      break;
    case 2:
      t->SetName(SJ("【一覧表】名前とメールとホームページ"));
      t->SetTable(&V::ValueNames, SJ("名前,Mail,ホームページ"));
      break;
    case 3:
      t->SetName(SJ("【一覧表】名前と電話番号とメール"));
      t->SetTable(&V::ValueNames, SJ("名前,TEL,FAX,携帯,Mail"));
      break;
    default:
      t->SetName(std::string());
      break;
  }
}

TTableStyleList::TTableStyleList(int32_t presetCount)
    : TBaseStyleList([] { return new TTableStyle(); }, presetCount) {
  SectionPrefix = "TableStyle";
  OnPreset = CompleteTablePreset;
}

}  // namespace kaede
