#include <gtest/gtest.h>

#include <random>

#include "Dates.h"
#include "TestUtil.h"

using namespace kaede;

TEST(Dates, TextFormHasNoPadding) {
  EXPECT_EQ(DateToText({2008, 1, 5}), "2008/1/5");
  EXPECT_EQ(DateToText(NoDate), "0/0/0");
  EXPECT_TRUE(SameDate(TextToDate("0/0/0"), NoDate));
}

TEST(Dates, ParsingTakesValuesAsTheyStand) {
  TDateValue d = TextToDate("2008/01/05");
  EXPECT_EQ(d.Year, 2008);
  EXPECT_EQ(d.Month, 1);
  EXPECT_EQ(d.Day, 5);
  d = TextToDate("2008/13/40");
  EXPECT_EQ(d.Month, 13);
  EXPECT_EQ(d.Day, 40);
  d = TextToDate(" 2008/ 1/ 5");  // leading spaces are allowed
  EXPECT_TRUE(SameDate(d, TDateValue{2008, 1, 5}));
  SetTodayForTesting({2026, 12, 9});
  EXPECT_TRUE(SameDate(TextToDate(""), TDateValue{2026, 12, 9}));
  RefreshToday();
}

TEST(Dates, BadTextRaisesWithTheTextQuoted) {
  for (const char* bad : {"2008-01-05", "2008/1", "2008/1/5x", "/1/5", "2008//5", "a/b/c", "2008/1/5 ", "99999999999/1/1"}) {
    try {
      TextToDate(bad);
      ADD_FAILURE() << bad;
    } catch (const EDateToStrError& e) {
      EXPECT_EQ(e.Message(), "\"" + std::string(bad) + "\"" + SJ(" を日付に変換することができませんでした"));
    }
  }
}

TEST(Dates, RandomDatesRoundTrip) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int32_t> any(-2000000000, 2000000000);
  for (int i = 0; i < 2000; ++i) {
    TDateValue d{any(rng), any(rng) % 20, any(rng) % 40};
    EXPECT_TRUE(SameDate(TextToDate(DateToText(d)), d)) << DateToText(d);
  }
}
