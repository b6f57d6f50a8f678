#pragma once
// About 1 MB of novel-like text for the editor's benchmarks: paragraphs of narration and
// speech in kanji and kana with punctuation, some Latin words and some ruby (CP932, lines
// joined by CR LF).
#include <random>
#include <string>

#include "Cp932.h"

namespace kaede {

inline const std::string& NovelText() {
  static const std::string text = [] {
    static const char* const kWords[] = {
        "私", "は", "彼女", "の", "手紙", "を", "読み", "返し", "た", "窓", "の外", "では", "雨", "が", "降り続いて",
        "いる", "町", "外れ", "古い", "駅舎", "に", "着いた", "とき", "すでに", "日", "は", "暮れかけて", "いた",
        "汽車", "待合室", "には", "誰も", "いない", "ただ", "時計", "の", "音", "だけ", "が", "響いて", "いる",
        "思い出", "静かな", "夜", "海", "風", "記憶", "言葉", "約束", "遠く", "から", "聞こえる", "歌",
        "ゆっくりと", "歩き", "出した", "振り返る", "ことも", "なく", "坂道", "を", "上って", "行く"};
    static const char* const kLatin[] = {"Tokyo", "station", "radio", "coffee", "OK", "No.7", "Bach"};
    static const char* const kRubi[] = {"｜邂逅《かいこう》", "黄昏《たそがれ》", "｜眩暈《めまい》", "微睡《まどろ》み"};
    std::mt19937 rng(42);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::string utf8;
    utf8.reserve(1800000);
    while (true) {
      std::string para;
      bool speech = pick(4) == 0;
      para += speech ? "「" : "　";
      int sentences = 1 + pick(5);
      for (int s = 0; s < sentences; ++s) {
        int words = 6 + pick(18);
        for (int w = 0; w < words; ++w) {
          int k = pick(100);
          if (k < 3) para += kRubi[pick(4)];
          else if (k < 6) para += std::string(kLatin[pick(7)]) + " ";
          else para += kWords[pick(static_cast<int>(std::size(kWords)))];
          if (pick(9) == 0) para += "、";
        }
        para += "。";
      }
      if (speech) para += "」";
      utf8 += para + "\n";
      if (utf8.size() > 1500000) break;  // about 1 MB once in CP932
    }
    std::string sjis = Utf8ToSjis(utf8);
    std::string r;
    for (char c : sjis) {
      if (c == '\n') r += "\r\n";
      else r += c;
    }
    return r;
  }();
  return text;
}

}  // namespace kaede
