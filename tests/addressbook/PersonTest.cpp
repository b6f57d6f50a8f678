#include <gtest/gtest.h>

#include "PersonLists.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

std::string S(const char* utf8) { return Utf8ToSjis(utf8); }
TStrings Lines(std::initializer_list<const char*> l) {
  TStrings r;
  for (const char* s : l) r.push_back(S(s));
  return r;
}
std::vector<std::string> U8(const TStrings& l) {
  std::vector<std::string> r;
  for (auto& s : l) r.push_back(SjisToUtf8(s));
  return r;
}

// A detached person read from its text form.
struct TLoose {
  TPerson* p;
  explicit TLoose(const char* utf8Text = "") : p(TDataItem::Make<TPerson>()) {
    try {
      if (*utf8Text) p->SetText(S(utf8Text));
    } catch (...) {
      p->Free();
      throw;
    }
  }
  ~TLoose() { p->Free(); }
  TPerson* operator->() { return p; }
};

}  // namespace

TEST(Person, TextFormRoundTripsEveryField) {
  const char* line =
      "\"山田 太郎\",\"やまだ たろう\",自宅:03-1234-5678|携帯:090-1111-2222,個人:taro@example.com,"
      "https://example.com/,1000001,東京都千代田区千代田1-1|皇居ビル2F,家族|年賀状,妻:山田花子,"
      "\"備考一 行目|二,行目\",2007/3/5,0/0/0,先生,部長,花子|次郎";
  TLoose p(line);
  EXPECT_SJ_EQ("山田 太郎", p->Name());
  EXPECT_EQ(U8(p->Tels().Lines()), (std::vector<std::string>{"自宅:03-1234-5678", "携帯:090-1111-2222"}));
  EXPECT_EQ(U8(p->Address().Lines()), (std::vector<std::string>{"東京都千代田区千代田1-1", "皇居ビル2F"}));
  EXPECT_EQ(U8(p->Remarks().Lines()), (std::vector<std::string>{"備考一 行目", "二,行目"}));
  EXPECT_EQ(p->Registered().Year, 2007);
  EXPECT_EQ(p->Registered().Day, 5);
  EXPECT_TRUE(SameDate(p->Updated(), NoDate));
  EXPECT_SJ_EQ(line, p->GetText());
  EXPECT_SJ_EQ("090-1111-2222", p->TelNumber(1));
  EXPECT_EQ(p->TelNumber(2), "");
  EXPECT_SJ_EQ("taro@example.com", p->MailAddress(0));
  EXPECT_SJ_EQ("山田花子", TPerson::EntryValue(S("妻"), p->Relations()));
  EXPECT_EQ(TPerson::EntryValue(S("夫"), p->Relations()), "");
}

TEST(Person, ShortLinesBarsAndPostalCodes) {
  TLoose p("鈴木,すずき");
  EXPECT_SJ_EQ("鈴木", p->Name());
  EXPECT_EQ(p->Tels().Count(), 0);
  EXPECT_TRUE(SameDate(p->Registered(), NoDate));
  EXPECT_EQ(p->GetText(), S("鈴木,すずき,,,,,,,,,0/0/0,0/0/0,,,"));
  // the bar is the list separator and is not escaped: an address line with a bar splits
  TStrings addr{S("一丁目|二番")};
  p->SetAddress(&addr);
  TLoose back(SjisToUtf8(p->GetText()).c_str());
  EXPECT_EQ(back->Address().Count(), 2);
  // postal codes lose their hyphens when read; a trail byte equal to "|" does not split
  TLoose q("a,b,,,,100-0001,表|ソ|十");
  EXPECT_EQ(q->Postal(), "1000001");
  EXPECT_EQ(U8(q->Address().Lines()), (std::vector<std::string>{"表", "ソ", "十"}));
  // an empty date field is today, a bad one stops with the date error
  SetTodayForTesting(TDateValue{2024, 2, 29});
  TLoose today("a,b,,,,,,,,,,");
  EXPECT_EQ(today->Registered().Month, 2);
  try {
    TLoose bad("a,b,,,,,,,,,2024/x/1");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_SJ_EQ("\"2024/x/1\" を日付に変換することができませんでした", e.Message());
  }
}

TEST(Person, HonorificsAndNames) {
  TLoose p("株式会社ABC,かぶしきがいしゃ");
  EXPECT_SJ_EQ("御中", p->Honorific());
  p->SetName(S("㈲ソフト"));
  EXPECT_SJ_EQ("御中", p->Honorific());
  EXPECT_SJ_EQ("有限会社ソフト御中", p->NameWithHonorific());
  p->SetKeisyo(S("（なし）"));
  EXPECT_EQ(p->Honorific(), "");
  EXPECT_SJ_EQ("有限会社ソフト", p->NameWithHonorific());
  p->SetName(S("山田 太郎"));
  p->SetKeisyo("Mr.");
  EXPECT_SJ_EQ("Mr.山田 太郎", p->NameWithHonorific());
  p->SetKeisyo("");
  EXPECT_SJ_EQ("山田 太郎様", p->NameWithHonorific());
  p->SetName("");
  EXPECT_EQ(p->Honorific(), "");  // no name: no automatic honorific
  p->SetTitle(S("㈱ABC 部長"));
  EXPECT_SJ_EQ("株式会社ABC 部長", p->PrintTitle());
}

TEST(Person, JointNamesAndDates) {
  TLoose p("a,b");
  TStrings one{""};
  p->SetRenmei(&one);
  EXPECT_EQ(p->Renmei().Count(), 0);
  EXPECT_EQ(p->JointNames(), nullptr);
  TStrings two = Lines({"花子", "次郎|君"});
  p->SetRenmei(&two);
  ASSERT_NE(p->JointNames(), nullptr);
  EXPECT_EQ(U8(*p->JointNames()), (std::vector<std::string>{"花子様", "次郎君"}));
  TStrings three = Lines({"一郎|殿"});
  p->SetRenmei(&three);  // the display list follows
  EXPECT_EQ(U8(*p->JointNames()), (std::vector<std::string>{"一郎殿"}));
  EXPECT_EQ(p->DatesText(), "");
  p->SetUpdated(TDateValue{2008, 1, 5});
  EXPECT_SJ_EQ("更新日: 2008/1/5", p->DatesText());
  p->SetRegistered(TDateValue{2007, 12, 1});
  EXPECT_SJ_EQ("登録日: 2007/12/1  更新日: 2008/1/5", p->DatesText());
}

TEST(Person, UnifyFormat) {
  TLoose a("林　太郎,ハヤシ　タロウ,,,,100-0001,ﾄｳｷｮｳ|東京都１－２,,勤務先:株式会社ABC|妻:有限会社X");
  a->UnifyFormat(ufNameSpace);
  EXPECT_SJ_EQ("林　太郎", a->Name());  // a one-character family name keeps its full-width space
  a->SetName(S("山田　太郎"));
  a->UnifyFormat(ufNameSpace);
  EXPECT_SJ_EQ("山田 太郎", a->Name());
  a->SetName(S("山田　太"));  // a one-character given name too
  a->UnifyFormat(ufNameSpace);
  EXPECT_SJ_EQ("山田　太", a->Name());
  a->SetName(S("株式会社ABC有限会社"));
  a->SetPostal("100-0001");
  a->UnifyFormat(0);  // every switch
  EXPECT_SJ_EQ("はやし たろう", a->Yomi());
  EXPECT_EQ(a->Postal(), "1000001");
  EXPECT_SJ_EQ("㈱ABC㈲", a->Name());
  EXPECT_EQ(U8(a->Relations().Lines()), (std::vector<std::string>{"勤務先:㈱ABC", "妻:㈲X"}));
  EXPECT_EQ(U8(a->Address().Lines()), (std::vector<std::string>{"ﾄｳｷｮｳ", "東京都1-2"}));
}

TEST(Person, ClassifyMembership) {
  TLoose p("a,b,,,,,,家族");
  p->AddClassify(S("友人"));
  p->AddClassify(S("家族"));  // already there
  EXPECT_EQ(U8(p->Classify().Lines()), (std::vector<std::string>{"家族", "友人"}));
  p->RenameClassify(S("友人"), S("親友"));
  EXPECT_EQ(U8(p->Classify().Lines()), (std::vector<std::string>{"家族", "親友"}));
  p->RenameClassify(S("親友"), S("家族"));  // onto a name it has: merged, not listed twice
  EXPECT_EQ(U8(p->Classify().Lines()), (std::vector<std::string>{"家族"}));
  p->SetClassifyBits(Lines({"会社", "家族"}));
  EXPECT_FALSE(p->HasClassifyBit(0));
  EXPECT_TRUE(p->HasClassifyBit(1));
  EXPECT_FALSE(p->HasClassifyBit(256));
  EXPECT_FALSE(p->HasClassifyBit(-1));
  p->RemoveClassify(S("家族"));
  EXPECT_EQ(p->Classify().Count(), 0);
}

TEST(Person, SettersReportOneChangeEachAndOnlyForNewValues) {
  TPersonList list;
  auto* p = static_cast<TPerson*>(list.AddText(S("a,あ")));
  int changes = 0;
  list.OnItemChanged = [&](TDataItem*) { ++changes; };
  p->SetName(S("a"));
  EXPECT_EQ(changes, 0);
  TStrings tels = Lines({"自宅:1", "携帯:2"});
  p->SetTels(&tels);
  EXPECT_EQ(changes, 1);
  p->SetTels(&tels);
  EXPECT_EQ(changes, 1);
  p->Mails().Add("x:y");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(list.History().Count(), 2);  // the addition, then the edits of one entry merged
}
