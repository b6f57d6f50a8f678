#include <gtest/gtest.h>

#include <algorithm>

#include "BookCheckTestUtil.h"
#include "Duplicates.h"
#include "PersonLists.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

std::string N(const char* utf8) { return FoldPersonName(Utf8ToSjis(utf8)); }

// The groups as "name|name (facts)", in the book's order.
std::vector<std::string> Groups(TPersonList& book) {
  std::vector<std::string> r;
  for (const TDuplicateGroup& g : FindDuplicates(book)) {
    TStrings names;
    for (int32_t id : g.Ids) names.push_back(static_cast<TPerson*>(book.ItemOfId(id))->Name());
    r.push_back(SjisToUtf8(JoinStr(names, "|") + " (" + DuplicateFactsText(g.Facts) + ")"));
  }
  std::sort(r.begin(), r.end());
  return r;
}

TPerson* Named(TPersonList& book, const char* name) {
  for (int i = 0; i < book.AllCount(); ++i)
    if (SjisToUtf8(book.AllPersons(i)->Name()) == name) return book.AllPersons(i);
  return nullptr;
}

std::string BookText(const TPersonList& book) {
  std::string r;
  for (int i = 0; i < book.AllCount(); ++i) r += SjisToUtf8(book.AllPersons(i)->GetText()) + "\n";
  return r;
}

}  // namespace

TEST(Duplicates, NamesFoldSpacesWidthOldKanjiAndCompanyMarks) {
  EXPECT_EQ(N("鈴木一郎"), N("鈴木　一郎"));
  EXPECT_EQ(N("鈴木 一郎"), N("鈴木一郎"));
  EXPECT_EQ(N("髙橋 﨑子"), N("高橋崎子"));
  EXPECT_EQ(N("渡邊"), N("渡辺"));
  EXPECT_EQ(N("渡邉"), N("渡辺"));
  EXPECT_EQ(N("齋藤"), N("斎藤"));
  EXPECT_EQ(N("齊藤"), N("斎藤"));
  EXPECT_EQ(N("㈱ＡＢＣ"), N("株式会社abc"));
  // a file from elsewhere may write a character by its other CP932 code: 髙 as EEE0, ㈱ as FA58
  EXPECT_EQ(FoldPersonName(std::string("\xEE\xE0") + SJ("橋 花子")), N("高橋花子"));
  EXPECT_EQ(FoldPersonName(std::string("\xFA\x58") + SJ("テスト")), N("株式会社テスト"));
  EXPECT_NE(FoldPersonName(std::string("\xEE\xE1") + SJ("橋")), N("高橋"));
  EXPECT_EQ(N("(株)ABC"), N("株式会社ABC"));
  EXPECT_EQ(N("（有）山田商店"), N("有限会社山田商店"));
  EXPECT_NE(N("鈴木一郎"), N("鈴木二郎"));
  EXPECT_NE(N("株式会社ABC"), N("有限会社ABC"));
}

TEST(Duplicates, AGroupNeedsTheNameAndOneMoreFactOrAContactAndTheFamily) {
  TPersonList book;
  for (const std::string& line : {
           test::EntryLine("鈴木一郎", "すずきいちろう", "携帯:090-1111-2222", "", "", ""),
           test::EntryLine("鈴木 一郎", "すずき いちろう", "携帯:09011112222", "", "1000001", "東京都千代田区千代田1"),
           test::EntryLine("鈴木　一郎", "すずき いちろう", "", "", "100-0001", ""),
           // the same name alone: two people
           test::EntryLine("山田 太郎", "やまだ たろう", "自宅:03-1111-1111", "", "1500001", "東京都渋谷区神宮前1"),
           test::EntryLine("山田 太郎", "やまだ たろう", "自宅:06-2222-2222", "", "5300001", "大阪府大阪市北区梅田1"),
           test::EntryLine("髙橋 花子", "たかはし はなこ", "", "", "", "大阪府大阪市北区梅田１－２"),
           test::EntryLine("高橋花子", "たかはしはなこ", "", "", "", "大阪府 大阪市北区梅田1-2"),
           test::EntryLine("㈱ABC", "えーびーしー", "代表:03-5555-0000", "", "", ""),
           test::EntryLine("株式会社ＡＢＣ", "えーびーしー", "代表:0355550000", "", "", ""),
           // a shared mail with the same family name; a shared telephone with another family
           test::EntryLine("佐藤 健", "さとう けん", "", "自宅:Sato@Example.com", "", ""),
           test::EntryLine("佐藤健二", "さとうけんじ", "", "sato@example.com", "", ""),
           test::EntryLine("田中 一", "たなか はじめ", "自宅:011-111-1111", "", "", ""),
           test::EntryLine("中村 一", "なかむら はじめ", "自宅:011-111-1111", "", "", ""),
       })
    book.AddText(line);
  EXPECT_EQ(Groups(book), (std::vector<std::string>{
                              "㈱ABC|株式会社ＡＢＣ (名前・電話)",
                              "佐藤 健|佐藤健二 (姓・メール)",
                              "鈴木 一郎|鈴木　一郎|鈴木一郎 (名前・郵便番号・電話)",
                              "髙橋 花子|高橋花子 (名前・住所)",
                          }));
}

TEST(Duplicates, MergeKeepsEveryFactRenamesRelationsAndIsOneUndoStep) {
  TPersonList book;
  book.AddText(test::EntryLine("鈴木一郎", "", "携帯:090-1111-2222", "自宅:ichiro@example.com", "", "",
                               "\"友人\",\"勤務先:㈱ABC\",\"電話帳から|年賀状:2024=送,2025=送受\",2020/5/1,2021/1/1,,,"));
  book.AddText(test::EntryLine("鈴木 一郎", "すずき いちろう", "携帯:09011112222|自宅:03-1234-5678",
                               "ICHIRO@example.com", "1000001", "東京都千代田区千代田1-1",
                               "\"同窓会|友人\",\"妻:鈴木花子\",\"手入力|年賀状:2025=喪,2026=送\",2019/3/3,2022/2/2,様,部長,\"花子|\""));
  book.AddText(test::EntryLine("鈴木 花子", "すずき はなこ", "", "", "", "", "\"\",\"夫:鈴木一郎\""));
  book.History().Clear();
  const std::string before = BookText(book);
  TPerson* typed = Named(book, "鈴木 一郎");
  TPerson* phone = Named(book, "鈴木一郎");
  TMergeChoice choice{typed->Id(), typed->Id(), typed->Id()};
  TPerson* kept = MergePersons(book, {phone->Id(), typed->Id()}, choice);
  const std::string merged = BookText(book);
  ASSERT_EQ(book.AllCount(), 2);
  EXPECT_EQ(SjisToUtf8(kept->Name()), "鈴木 一郎");
  EXPECT_EQ(SjisToUtf8(kept->Yomi()), "すずき いちろう");
  EXPECT_EQ(kept->Postal(), "1000001");
  // a telephone and a mail written two ways are one; nothing of either entry is lost
  EXPECT_EQ(SjisToUtf8(JoinStr(kept->Tels().Lines(), "|")), "携帯:09011112222|自宅:03-1234-5678");
  EXPECT_EQ(SjisToUtf8(JoinStr(kept->Mails().Lines(), "|")), "ICHIRO@example.com");
  EXPECT_EQ(SjisToUtf8(JoinStr(kept->Classify().Lines(), "|")), "同窓会|友人");
  EXPECT_EQ(SjisToUtf8(JoinStr(kept->Relations().Lines(), "|")), "妻:鈴木花子|勤務先:㈱ABC");
  // the New Year marks of both, united per year in one line
  EXPECT_EQ(SjisToUtf8(JoinStr(kept->Remarks().Lines(), "|")), "手入力|年賀状:2024=送,2025=送受喪,2026=送|電話帳から");
  EXPECT_EQ(SjisToUtf8(JoinStr(kept->Renmei().Lines(), "|")), "花子");
  EXPECT_EQ(SjisToUtf8(kept->Keisyo() + kept->Title()), "様部長");
  EXPECT_EQ(DateToText(kept->Registered()), "2019/3/3");
  EXPECT_EQ(DateToText(kept->Updated()), "2022/2/2");
  // the wife's relation named the entry that left: it names the kept one now
  EXPECT_EQ(SjisToUtf8(JoinStr(Named(book, "鈴木 花子")->Relations().Lines(), "|")), "夫:鈴木 一郎");

  ASSERT_EQ(book.History().Count(), 1);
  book.History().UndoStep();
  EXPECT_EQ(BookText(book), before);
  book.History().RedoStep();
  EXPECT_EQ(BookText(book), merged);
  // a group whose other entries are gone cannot be merged
  EXPECT_THROW(MergePersons(book, {phone->Id(), kept->Id()}, choice), Exception);
}
