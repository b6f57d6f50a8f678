#pragma once
// Helpers of the line-store tests: styles with chosen switches, Japanese text with notation,
// and the consistency checks every display table must pass.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "EditLists.h"
#include "TestUtil.h"
#include "text/RandomText.h"

namespace kaede::test {

inline std::string S(const char* utf8) { return Utf8ToSjis(utf8); }

// An editor style owned by the test.
struct TStyleHolder {
  TEditorStyle* S = TDataItem::Make<TEditorStyle>();
  TStyleHolder() = default;
  TStyleHolder(const TStyleHolder&) = delete;
  ~TStyleHolder() { S->Free(); }
  TEditorStyle* operator->() { return S; }
  void Enable(int element, bool on) { S->ViewInfo(element)->SetStatus(on ? 1 : 0); }
};

// Japanese text with some Latin, punctuation, tabs and every kind of notation, and a share of
// arbitrary CP932 characters.
inline std::string RandomNotatedText(std::mt19937& rng, int maxParts) {
  static const char* const kParts[] = {
      "吾輩", "は", "猫", "である", "。", "、", "名前", "はまだ無い", "「", "」", "（", "）", "『", "』",
      "｜漢字《かんじ》", "漢《かん》", "ルビ《るび》", "《", "》", "｜", "［＃注記］", "強調［＃「強調」に傍点］",
      "［＃", "］", "abc", "defghij", "12345", " ", "　", "\t", "ー", "っ", "ゃ", "・", "○", "太郎「はい」",
      "Hello", "world.", "ｶﾀｶﾅ", "々", "──"};
  std::uniform_int_distribution<int> count(0, maxParts), pick(0, static_cast<int>(std::size(kParts)) - 1 + 6);
  std::string s;
  int n = count(rng);
  for (int i = 0; i < n; ++i) {
    int k = pick(rng);
    if (k < static_cast<int>(std::size(kParts))) s += Utf8ToSjis(kParts[k]);
    else s += RandomSjis(rng, 3);
  }
  // the store's lines hold no line breaks
  std::string r;
  for (char c : s)
    if (c != '\r' && c != '\n') r += c;
  return r;
}

// Every display table must: list the lines in order, each line's pieces from byte 1 on joining
// back to the line, no piece ending on a lead byte or inside hidden notation.
inline void ExpectConsistent(const TEditList& list) {
  const auto& items = list.Infos().Items();
  size_t r = 0;
  for (int32_t line = 0; line < list.Count(); ++line) {
    const std::string& text = list[line];
    std::vector<bool> charStart(text.size() + 2, false);
    for (size_t i = 0; i <= text.size(); i += i < text.size() ? CharLenAt(text, i) : 1) charStart[i + 1] = true;
    int32_t start = 1, row = 0;
    ASSERT_LT(r, items.size()) << "line " << line << " has no record";
    while (true) {
      const TDisplayLine& d = items[r];
      ASSERT_EQ(d.LineIndex, line);
      ASSERT_EQ(d.Start, start) << "line " << line << " row " << row;
      ASSERT_EQ(d.Row, row);
      ASSERT_GE(d.Length, text.empty() ? 0 : 1);
      start += d.Length;
      ASSERT_LE(start - 1, static_cast<int32_t>(text.size()));
      if (start - 1 < static_cast<int32_t>(text.size())) {
        ASSERT_TRUE(charStart[static_cast<size_t>(start)]) << "a piece splits a character";
      }
      ++r;
      ++row;
      if (d.LastRow) break;
      ASSERT_LT(r, items.size());
    }
    ASSERT_EQ(start - 1, static_cast<int32_t>(text.size())) << "pieces of line " << line << " do not join back";
  }
  ASSERT_EQ(r, items.size()) << "records beyond the last line";
}

}  // namespace kaede::test
