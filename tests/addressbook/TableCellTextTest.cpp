#include <gtest/gtest.h>

#include "PersonColumns.h"
#include "PersonLists.h"
#include "TestUtil.h"

using namespace kaede;

// The place of work is found for its own columns, and for the address of an entry without one.
TEST(TableCellText, PlaceOfWorkColumns) {
  TPersonList l;
  auto* company = static_cast<TPerson*>(l.AddText(""));
  company->SetName(SJ("株式会社 楓"));
  company->SetPostal("1000001");
  TStrings address{SJ("東京都千代田区千代田1-1")};
  company->SetAddress(&address);
  company->Tels().Add("TEL:03-1111-2222");
  auto* person = static_cast<TPerson*>(l.AddText(""));
  person->SetName(SJ("佐藤 健"));
  person->Relations().Add(SJ("勤務先:株式会社楓"));
  person->Tels().Add(SJ("携帯:090-1"));
  int align = 1;
  EXPECT_EQ(PersonTableCellText(*person, SJ("名前"), align), SJ("佐藤 健"));
  EXPECT_EQ(align, 1);
  EXPECT_EQ(PersonTableCellText(*person, SJ("勤務先名"), align), SJ("株式会社 楓"));
  EXPECT_EQ(PersonTableCellText(*person, SJ("勤務先住所"), align), SJ("東京都千代田区千代田1-1"));
  EXPECT_EQ(align, 1);
  EXPECT_EQ(PersonTableCellText(*person, SJ("勤務先TEL"), align), "03-1111-2222");
  EXPECT_EQ(align, 0);
  // an entry without an address of its own shows its place of work's
  align = 1;
  EXPECT_EQ(PersonTableCellText(*person, SJ("住所"), align), SJ("東京都千代田区千代田1-1"));
  EXPECT_EQ(PersonTableCellText(*person, SJ("〒"), align), "1000001");
  // without a place of work its columns are empty
  EXPECT_EQ(PersonTableCellText(*company, SJ("勤務先名"), align), "");
  EXPECT_EQ(PersonTableCellText(*company, SJ("分類"), align), "");
}
