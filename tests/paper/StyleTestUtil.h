#pragma once
// Helpers of the style tests: sections as key/value maps, round trips through style files and
// the application's settings store.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "BaseStyles.h"
#include "TestUtil.h"

namespace kaede::test {

using TKeyValues = std::map<std::string, std::string>;

// The keys a style writes into a section, with their values.
inline TKeyValues WrittenKeys(TBaseStyle& style) {
  auto store = TSettingsStore::OpenFile("");
  style.SaveToStore(*store, "S");
  TKeyValues r;
  for (const std::string& k : store->Keys("S")) r[k] = store->ReadString("S", k, "");
  return r;
}

// Reads a style from a section holding exactly these keys (CP932 values).
inline bool LoadKeys(TBaseStyle& style, const TKeyValues& keys) {
  auto store = TSettingsStore::OpenFile("");
  store->EraseSection("S");
  for (const auto& [k, v] : keys) store->WriteString("S", k, v);
  return style.LoadFromStore(*store, "S");
}

// Every element of both styles has the same fields.
inline void ExpectSameElements(const TBaseStyle& a, const TBaseStyle& b) {
  std::vector<TViewInfo*> x = a.ViewInfos(), y = b.ViewInfos();
  ASSERT_EQ(x.size(), y.size());
  for (size_t i = 0; i < x.size(); ++i) EXPECT_TRUE(x[i]->SameAs(*y[i])) << U8(x[i]->GetText()) << " / " << U8(y[i]->GetText());
}

// Saves the style into a style file of its own and reads it into a new style of the same
// class; `same` compares the class's own values.
template <class T>
void ExpectFileRoundTrip(T& style, const std::function<bool(const T&, const T&)>& same) {
  TempDir dir;
  std::string file = dir.File("style.ini");
  style.SaveToFile(file, "");
  T* back = TDataItem::Make<T>();
  EXPECT_TRUE(back->LoadFromFile(file, ""));
  EXPECT_EQ(back->Base(), style.Base());
  EXPECT_EQ(back->DefaultIndex(), style.DefaultIndex());
  EXPECT_TRUE(same(*back, style));
  ExpectSameElements(*back, style);
  EXPECT_EQ(WrittenKeys(*back), WrittenKeys(style));
  back->Free();
}

// Every element moved away from its default.
inline void ChangeEveryElement(TBaseStyle& style) {
  int i = 0;
  for (TViewInfo* e : style.ViewInfos()) {
    ++i;
    e->SetStatus(e->Status() == 1 ? 2 : 1);
    e->SetFontName(i % 2 ? SJ("ＭＳ 明朝") : SJ("ＭＳ Ｐゴシック"));
    e->SetFontSize(e->Font().Size + 1);
    e->SetTextColor(RgbColor(0x102030 + static_cast<uint32_t>(i)));
    e->SetBackColor(RgbColor(0x405060 + static_cast<uint32_t>(i)));
    e->SetDecorateColor(RgbColor(0x708090 + static_cast<uint32_t>(i)));
    e->SetDecorate((e->Decorate() + 1) % 6);
    e->SetLineWidth(e->LineWidth() + 0.25);
  }
}

}  // namespace kaede::test
