#include <gtest/gtest.h>

#include <random>

#include "StrSrch.h"
#include "Strs.h"
#include "TestUtil.h"
#include "text/RandomText.h"

using namespace kaede;

namespace {
// The reference: every character start where the pattern's bytes follow, non-overlapping.
TIntegers Naive(const std::string& pattern, const std::string& text) {
  TIntegers r;
  if (pattern.empty()) return r;
  size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, pattern.size(), pattern) == 0) {
      r.push_back(static_cast<int32_t>(i + 1));
      size_t end = i + pattern.size();
      while (i < end) i += CharLenAt(text, i);
      continue;
    }
    i += CharLenAt(text, i);
  }
  return r;
}
}  // namespace

TEST(StringSearch, AgreesWithANaiveCharacterScanOnRandomText) {
  std::mt19937 rng(20261209);
  for (int round = 0; round < 3000; ++round) {
    std::string text = test::RandomSjis(rng, 60);
    std::string pattern;
    if (round % 3 == 0 && !text.empty()) {
      // a piece of the text itself, possibly starting on a trail byte
      std::uniform_int_distribution<size_t> at(0, text.size() - 1), len(1, 6);
      pattern = text.substr(at(rng), len(rng));
    } else {
      pattern = test::RandomSjis(rng, 3);
    }
    if (pattern.empty()) continue;
    // a pattern that ends in a lone lead byte is not text; skip it
    if (!IsValidSjis(pattern)) continue;
    EXPECT_EQ(SearchAll(pattern, text, 0), Naive(pattern, text)) << round;
  }
}

TEST(StringSearch, IgnoreCaseMatchesEitherCaseOfEveryLetter) {
  EXPECT_EQ(SearchAll("x", "aXbxc", SearchIgnoreCase), (TIntegers{2, 4}));
  EXPECT_EQ(SearchAll(SJ("ｔｅｌ"), SJ("ＴＥＬとｔｅｌとＴｅＬ"), SearchIgnoreCase), (TIntegers{1, 9, 17}));
  EXPECT_EQ(SearchAll("Tokyo", "TOKYO tokyo ToKyO", SearchIgnoreCase), (TIntegers{1, 7, 13}));
  // a match that starts on a trail byte is skipped, the search goes on after it
  EXPECT_EQ(SearchAll("a", SJ("ア") + "A", SearchIgnoreCase), TIntegers{3});
}

TEST(StringSearch, IterationRecordWalksAllMatches) {
  TStringSearchRec rec("abcabcab", "ab", soDoubleByte);
  EXPECT_EQ(rec.Next(), 1u);
  EXPECT_EQ(rec.Next(), 4u);
  EXPECT_EQ(rec.Next(), 7u);
  EXPECT_EQ(rec.Next(), 0u);
  EXPECT_EQ(rec.Position, 0u);
}
