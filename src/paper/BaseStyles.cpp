#include "BaseStyles.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <stdexcept>
#include <typeindex>

#include "Files.h"
#include "SheetPrinters.h"

namespace kaede {

namespace {

using V = TBaseStyleValues;

// Name is stored apart (always written, read before the others).
const TStyleKey<V> kBaseKeys[] = {
    {"PaperTileVReverse", &V::PaperTileVReverse},
    {"PaperTileHReverse", &V::PaperTileHReverse},
    {"BorderMargin", &V::BorderMargin},
    {"Category", &V::Category},
    {"PaperVisible", &V::PaperVisible},
    {"Orientation", &V::Orientation},
    {"PaperTileVertical", &V::PaperTileVertical},
    {"VScrollBarVisible", &V::VScrollBarVisible},
    {"HScrollBarVisible", &V::HScrollBarVisible},
    {"RatioValue", &V::RatioValue},
    {"PaperSize", &V::PaperSize},
    {"PaperWidth", &V::PaperWidth},
    {"PaperHeight", &V::PaperHeight},
    {"PaperLevelDivide", &V::PaperLevelDivide},
    {"PaperVerticalDivide", &V::PaperVerticalDivide},
    {"StartPageNo", &V::StartPageNo},
    {"PaperMarginLeft", &V::PaperMarginLeft},
    {"PaperMarginTop", &V::PaperMarginTop},
    {"PaperMarginRight", &V::PaperMarginRight},
    {"PaperMarginBottom", &V::PaperMarginBottom},
    {"MarginLeft", &V::MarginLeft},
    {"MarginTop", &V::MarginTop},
    {"MarginRight", &V::MarginRight},
    {"MarginBottom", &V::MarginBottom},
    {"HeaderDistanceX", &V::HeaderDistanceX},
    {"HeaderDistanceY", &V::HeaderDistanceY},
    {"FooterDistanceX", &V::FooterDistanceX},
    {"FooterDistanceY", &V::FooterDistanceY},
    {"HeaderStr", &V::HeaderStr},
    {"FooterStr", &V::FooterStr},
    {"Printer", &V::Printer},
};

TViewInfoRecord FrameRecord(int32_t status, int32_t decorate, TColor decorateColor) {
  return ViewInfoRecord(status, "", 9, 0, decorate, 0, clNone, clWhite, decorateColor);
}

TViewInfoRecord TextRecord() {
  return ViewInfoRecord(1, SJ("ＭＳ Ｐゴシック"), 9, 0, 0, 0, clBlack, clWhite, clBlack);
}

}  // namespace

std::span<const TStyleKey<TBaseStyleValues>> BaseStyleKeys() { return kBaseKeys; }

// ---- Numbers and text ----------------------------------------------------------------------

std::string MmRectToStr(const TMmRect& r) {
  return ShortFloatText(r.Left) + "|" + ShortFloatText(r.Top) + "|" + ShortFloatText(r.Width) + "|" +
         ShortFloatText(r.Height);
}

bool StrToMmRect(const std::string& text, TMmRect& r) {
  TMmRect v = r;
  try {
    StrToDoubleRect(text, v.Left, v.Top, v.Width, v.Height);
  } catch (const Exception&) {
    return false;
  }
  r = v;
  return true;
}

// ---- TBaseStyle ----------------------------------------------------------------------------

TBaseStyle::~TBaseStyle() { FreeElements(); }

const TBaseStyle& TBaseStyle::Defaults() const {
  struct TFree {
    void operator()(TBaseStyle* s) const { s->Free(); }
  };
  static std::map<std::type_index, std::unique_ptr<TBaseStyle, TFree>> defaults;
  auto& style = defaults[typeid(*this)];
  if (!style) {
    std::unique_ptr<TBaseStyle, TFree> made(NewSame());
    made->Create(nullptr);
    // a class that does not make its own kind would compare with another class's defaults
    if (typeid(*made) != typeid(*this)) throw std::logic_error("a style class does not override NewSame");
    style = std::move(made);
  }
  return *style;
}

void TBaseStyle::CreateFields() {
  TBaseOption::CreateFields();
  Section = "Style";
  AddElement(viPaperMargin, "PaperMargin", FrameRecord(2, 0, clNone));
  AddElement(viMargin, "Margin", FrameRecord(2, 0, clNone));
  AddElement(viHeader, "Header", TextRecord());
  AddElement(viFooter, "Footer", TextRecord());
  AddElement(viPaperDivideLine, "PaperDivideLine", FrameRecord(2, 1, RgbColor(0xAAAAAA)));
  AddElement(viPrintRange, "PrintRange", FrameRecord(2, 5, RgbColor(0xA6CAF0)));
}

void TBaseStyle::DestroyFields() {
  FreeElements();
  if (FBackup) {
    FBackup->Free();
    FBackup = nullptr;
  }
}

void TBaseStyle::FreeElements() {
  std::vector<TElementSlot> slots;
  slots.swap(FElements);
  for (TElementSlot& s : slots) s.Info->Free();
}

TViewInfo* TBaseStyle::NewElement(int no, const char* key) {
  TViewInfo* e = TDataItem::Make<TViewInfo>();
  e->OnBeforeChange = [this](TDataItem*, int valueNo) { Changing(valueNo); };
  e->OnAfterChange = [this](TDataItem*, int valueNo) { Changed(valueNo); };
  FElements.push_back({no, key, e, {}, {}});
  return e;
}

TViewInfo* TBaseStyle::AddElement(int no, const char* key, const TViewInfoRecord& record) {
  TViewInfo* e = NewElement(no, key);
  FElements.back().Record = record;
  e->ApplyRecord(record);
  return e;
}

TViewInfo* TBaseStyle::AddElement(int no, const char* key, const std::string& defaultText) {
  TViewInfo* e = NewElement(no, key);
  FElements.back().Text = defaultText;
  e->Clear();
  e->ReadText(defaultText);
  return e;
}

TBaseStyle::TElementSlot* TBaseStyle::Slot(int no) {
  for (TElementSlot& s : FElements)
    if (s.No == no) return &s;
  return nullptr;
}

TViewInfo* TBaseStyle::ViewInfo(int no) const {
  for (const TElementSlot& s : FElements)
    if (s.No == no) return s.Info;
  return nullptr;
}

std::vector<TViewInfo*> TBaseStyle::ViewInfos() const {
  std::vector<const TElementSlot*> slots;
  for (const TElementSlot& s : FElements) slots.push_back(&s);
  std::sort(slots.begin(), slots.end(), [](auto* a, auto* b) { return a->No < b->No; });
  std::vector<TViewInfo*> r;
  for (auto* s : slots) r.push_back(s->Info);
  return r;
}

void TBaseStyle::ResetElements(int first, int last) {
  for (TElementSlot& s : FElements) {
    if (s.No < first || s.No > last) continue;
    if (s.Text.empty()) {
      s.Info->ApplyRecord(s.Record);
    } else {
      s.Info->Clear();
      s.Info->ReadText(s.Text);
    }
  }
}

void TBaseStyle::ReadElements(TSettingsStore& store, const std::string& section, int first, int last) {
  for (TElementSlot& s : FElements) {
    if (s.No < first || s.No > last || !store.ValueExists(section, s.Key)) continue;
    std::string text = store.ReadString(section, s.Key, "");
    if (!text.empty()) s.Info->SetText(text);
  }
}

// An element is compared with the same element of a style of this class that holds its
// defaults, which is exactly what reading starts from; so an element at its default writes
// nothing and every other one comes back as written.
void TBaseStyle::WriteElements(TSettingsStore& store, const std::string& section, int first, int last) const {
  const TBaseStyle& defaults = Defaults();
  for (const TElementSlot& s : FElements) {
    if (s.No < first || s.No > last) continue;
    const TViewInfo* d = defaults.ViewInfo(s.No);
    if (d && s.Info->SameAs(*d)) continue;
    if (!s.Text.empty()) store.WriteString(section, s.Key, s.Info->GetText());
    else store.WriteString(section, s.Key, s.Info->DiffText(d ? d->Record() : s.Record));
  }
}

void TBaseStyle::ClampBase(TBaseStyleValues& v) {
  // the divisions the settings panel offers (1 to 100 each way); a sheet of 2000 x 2000
  // pages from a hand-made style file would take minutes and gigabytes to lay out
  v.PaperLevelDivide = std::clamp(v.PaperLevelDivide, 1, 100);
  v.PaperVerticalDivide = std::clamp(v.PaperVerticalDivide, 1, 100);
  // paper up to 10 m, margins and distances up to 1 m
  v.PaperWidth = std::clamp(v.PaperWidth, 0, 10000);
  v.PaperHeight = std::clamp(v.PaperHeight, 0, 10000);
  for (double* m : {&v.PaperMarginLeft, &v.PaperMarginTop, &v.PaperMarginRight, &v.PaperMarginBottom, &v.MarginLeft,
                    &v.MarginTop, &v.MarginRight, &v.MarginBottom})
    *m = *m >= 0 ? std::min(*m, 1000.0) : 0;  // also a NaN
  for (double* m : {&v.HeaderDistanceX, &v.HeaderDistanceY, &v.FooterDistanceX, &v.FooterDistanceY})
    *m = std::isfinite(*m) ? std::clamp(*m, -1000.0, 1000.0) : 0;
}

bool TBaseStyle::LoadStyleFile(const std::string& fileName, const std::string& section) {
  auto store = TSettingsStore::ReadFile(fileName, kStyleFileLimit);
  const bool exists = LoadFromStore(*store, section);
  // every element's font size and line width as the element editor allows them
  for (TViewInfo* e : ViewInfos()) {
    if (e->Font().Size > 1000) e->SetFontSize(1000);
    if (!(e->LineWidth() <= 1000)) e->SetLineWidth(e->LineWidth() > 1000 ? 1000 : 1);
  }
  return exists;
}

void TBaseStyle::SetBase(bool TBaseStyleValues::*field, bool value) {
  ChangeValues(FBase, [&](V& v) { v.*field = value; });
}

void TBaseStyle::SetBase(int32_t TBaseStyleValues::*field, int32_t value) {
  if (field == &V::PaperSize) return SetPaperSize(value);
  if (field == &V::PaperWidth) return SetPaperWidth(value);
  if (field == &V::PaperHeight) return SetPaperHeight(value);
  ChangeValues(FBase, [&](V& v) {
    v.*field = value;
    ClampBase(v);
  });
}

void TBaseStyle::SetBase(double TBaseStyleValues::*field, double value) {
  ChangeValues(FBase, [&](V& v) {
    v.*field = value;
    ClampBase(v);
  });
}

void TBaseStyle::SetBase(std::string TBaseStyleValues::*field, const std::string& value) {
  if (field == &V::Name) return SetName(value);
  ChangeValues(FBase, [&](V& v) { v.*field = value; });
}

void TBaseStyle::SetPaperSize(int32_t value) {
  if (value == FBase.PaperSize) return;
  ChangeValues(FBase, [&](V& v) {
    v.PaperSize = value;
    if (value == kPaperUser) {
      if (v.PaperWidth == 0) v.PaperWidth = 100;
      if (v.PaperHeight == 0) v.PaperHeight = 148;
    } else {
      v.PaperWidth = 0;
      v.PaperHeight = 0;
    }
  });
}

void TBaseStyle::SetPaperWidth(int32_t value) {
  ChangeValues(FBase, [&](V& v) {
    v.PaperWidth = std::max(0, value);
    if (v.PaperWidth > 0) v.PaperSize = kPaperUser;
  });
}

void TBaseStyle::SetPaperHeight(int32_t value) {
  ChangeValues(FBase, [&](V& v) {
    v.PaperHeight = std::max(0, value);
    if (v.PaperHeight > 0) v.PaperSize = kPaperUser;
  });
}

void TBaseStyle::SetName(const std::string& value) {
  if (!ChangeValues(FBase, [&](V& v) { v.Name = value; })) return;
  if (!CanNotify()) return;
  if (auto* list = dynamic_cast<TBaseStyleList*>(Owner()); list && list->OnNameChange) list->OnNameChange(this);
}

void TBaseStyle::SetDefaultIndex(int32_t index) {
  if (index == FDefaultIndex) return;
  FDefaultIndex = index;
  // A style that becomes a user style keeps its name (and every other setting).
  if (index >= 0) ApplyPresetName(index);
  FPresetApplied = false;
}

void TBaseStyle::EnsurePreset() {
  if (FDefaultIndex < 0 || FPresetApplied) return;
  BeginChange();
  try {
    ClearForPreset();
    ApplyPresetName(FDefaultIndex);
    ApplyPreset(FDefaultIndex);
    FPresetApplied = true;
  } catch (...) {
    EndChange();
    throw;
  }
  EndChange();
  if (auto* list = dynamic_cast<TBaseStyleList*>(Owner()); list && list->OnPreset) list->OnPreset(this, FDefaultIndex);
}

// The copy has the very settings of the source, so it also has the source's preset state:
// a copy of an applied predefined style must not apply its preset again over settings an
// owner completed.
void TBaseStyle::AssignFields(const TDataItem* source) {
  TBaseOption::AssignFields(source);
  auto* s = dynamic_cast<const TBaseStyle*>(source);
  if (!s || s == this) return;
  FBase = s->FBase;
  FDefaultIndex = s->FDefaultIndex;
  FPresetApplied = s->FPresetApplied;
  KeyRepeatAccel = s->KeyRepeatAccel;
  KeyRepeatLimit = s->KeyRepeatLimit;
  HintPause = s->HintPause;
  for (TElementSlot& e : FElements)
    if (TViewInfo* from = s->ViewInfo(e.No)) e.Info->Assign(from);
}

// The predefined number stays: EnsurePreset clears a predefined style before applying its
// preset. Its preset is gone with the settings, so it is marked as not applied.
void TBaseStyle::Clear() {
  FBase = TBaseStyleValues();
  FPresetApplied = false;
  ResetElements(viPaperMargin, viPrintRange);
}

void TBaseStyle::ReadSection(TSettingsStore& store, const std::string& section) {
  SetDefaultIndex(store.ReadInteger(section, "DefaultIndex", -1));
  FBase.Name = store.ReadString(section, "Name", TBaseStyleValues().Name);
  if (FDefaultIndex >= 0) return;
  std::string name = FBase.Name;
  ReadStyleKeys<V>(store, section, kBaseKeys, FBase, TBaseStyleValues());
  FBase.Name = name;
  ClampBase(FBase);
  ReadElements(store, section, viPaperMargin, viPrintRange);
  // The old single number of pages per sheet.
  int32_t devide = store.ReadInteger(section, "PaperDevide", 0);
  if (devide == 2) {
    if (FBase.Orientation) FBase.PaperVerticalDivide = 2;
    else FBase.PaperLevelDivide = 2;
  } else if (devide == 4 || devide == 9 || devide == 16) {
    int32_t side = devide == 4 ? 2 : devide == 9 ? 3 : 4;
    FBase.PaperLevelDivide = side;
    FBase.PaperVerticalDivide = side;
  }
  if (devide > 1) store.DeleteKey(section, "PaperDevide");
}

void TBaseStyle::WriteSection(TSettingsStore& store, const std::string& section) {
  store.WriteString(section, "Name", FBase.Name);
  store.WriteInteger(section, "DefaultIndex", FDefaultIndex);
  if (FDefaultIndex >= 0) return;
  WriteStyleKeys<V>(store, section, kBaseKeys, FBase, TBaseStyleValues());
  WriteElements(store, section, viPaperMargin, viPrintRange);
}

void TBaseStyle::DoSetFonts(const std::string& fontName, int32_t size) {
  std::string name = !fontName.empty() && fontName[0] == '@' ? fontName.substr(1) : fontName;
  for (int no = viPaperMargin; no <= viPrintRange; ++no) {
    TViewInfo* e = ViewInfo(no);
    e->SetFontName(name);
    if (size > 0) e->SetFontSize(size);
  }
}

void TBaseStyle::DoSetColors(int index, TColor color) {
  for (int no = viPaperMargin; no <= viPaperDivideLine; ++no) ViewInfo(no)->SetColor(index, color);
}

void TBaseStyle::DoConvertLineWidths(const std::function<double(double)>& conversion) {
  for (int no = viPaperMargin; no <= viPrintRange; ++no) {
    TViewInfo* e = ViewInfo(no);
    e->SetLineWidth(conversion(RoundHalfEven(e->LineWidth())));
  }
}

void TBaseStyle::SaveBackup() {
  if (!FBackup) {
    FBackup = NewSame();
    FBackup->Create(nullptr);
  }
  FBackup->Assign(this);
}

void TBaseStyle::RestoreBackup() {
  if (FBackup) Assign(FBackup);
}

void TBaseStyle::SetColors(int index, TColor color) {
  Updating([&] { DoSetColors(index, color); });
}

void TBaseStyle::ConvertLineWidths(const std::function<double(double)>& conversion) {
  Updating([&] { DoConvertLineWidths(conversion); });
}

void TBaseStyle::SetFonts(const std::string& fontName, int32_t size) {
  Updating([&] { DoSetFonts(fontName, size); });
}

void TBaseStyle::MakePrintable() {
  if (FBase.PaperVisible) return;
  Updating([&] {
    ReadPrinterMetrics();
    SetBase(&V::PaperVisible, true);
    SetColors(TViewInfo::ciText, clBlack);
    SetColors(TViewInfo::ciBack, clWhite);
    int32_t dpi = PageMetrics().ScreenDpi;
    ConvertLineWidths([dpi](double px) { return RoundHundredths(px * 25.4 / dpi); });
  });
}

// ---- TBaseStyleList ------------------------------------------------------------------------

TBaseStyleList::TBaseStyleList(TStyleFactory itemClass, int32_t presetCount)
    : PresetCount(presetCount), FFactory(std::move(itemClass)) {}

std::string TBaseStyleList::SectionName(int index) const { return SectionPrefix + IntToStrPad(index, 2, PadZero); }

void TBaseStyleList::ReadFromStore(TSettingsStore& store) {
  WithUpdate(*this, [&] {
    Clear();
    for (int i = 0;; ++i) {
      TDataItem* item = NewInstance();
      item->Create(this);
      auto* style = static_cast<TBaseStyle*>(item);
      if (!style->LoadFromStore(store, SectionName(i))) {
        style->Free();
        break;
      }
    }
    if (AllCount() == 0) Reset();
  });
}

void TBaseStyleList::ReadFromIniFile(const std::string& fileName) {
  WithUpdate(*this, [&] {
    if (FileExists(fileName)) {
      auto store = TSettingsStore::OpenFile(fileName);
      // a file that exists but cannot be read is no reason to drop the styles held
      if (!store->Unreadable()) ReadFromStore(*store);
    }
    if (AllCount() == 0) Reset();
  });
}

void TBaseStyleList::ReadFromRegistry(const std::string& key) {
  auto store = TSettingsStore::OpenRegistry(key);
  ReadFromStore(*store);
}

void TBaseStyleList::WriteToStore(TSettingsStore& store) {
  for (int i = 0; store.SectionExists(SectionName(i)); ++i) store.DeleteSection(SectionName(i));
  for (int i = 0; i < AllCount(); ++i) static_cast<TBaseStyle*>(AllItems(i))->SaveToStore(store, SectionName(i));
}

void TBaseStyleList::WriteToIniFile(const std::string& fileName) {
  auto store = TSettingsStore::OpenFile(fileName);
  WriteToStore(*store);
  store->Save();
}

void TBaseStyleList::WriteToRegistry(const std::string& key) {
  auto store = TSettingsStore::OpenRegistry(key);
  WriteToStore(*store);
  store->Save();
}

void TBaseStyleList::Reset() {
  WithUpdate(*this, [&] {
    Clear();
    for (int i = 0; i < PresetCount; ++i) {
      TDataItem* item = NewInstance();
      item->Create(this);
      static_cast<TBaseStyle*>(item)->SetDefaultIndex(i);
    }
  });
}

TBaseStyle* TBaseStyleList::Style(int index) {
  auto* style = static_cast<TBaseStyle*>(Items(index));
  if (style) style->EnsurePreset();
  return style;
}

}  // namespace kaede
