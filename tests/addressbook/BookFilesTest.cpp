// Book files as the list reads them: entries that read their fields from the book's text
// behave exactly as entries read from their lines one by one; the checks of a book's bytes and
// the limits of a book stop it at the line that breaks them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "BookGenerator.h"
#include "CommaText.h"
#include "PersonLists.h"
#include "PersonText.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

std::string S(const char* utf8) { return Utf8ToSjis(utf8); }

std::string Joined(const TNotifyStrings& l) { return JoinStr(l.Lines(), "\x01"); }

// Every field of an entry, through its accessors.
std::string Fields(const TPerson& p) {
  return p.Name() + "\x02" + p.Yomi() + "\x02" + p.Postal() + "\x02" + p.Url() + "\x02" + p.Keisyo() + "\x02" + p.Title() +
         "\x02" + DateToText(p.Registered()) + "\x02" + DateToText(p.Updated()) + "\x02" + Joined(p.Address()) + "\x02" +
         Joined(p.Mails()) + "\x02" + Joined(p.Tels()) + "\x02" + Joined(p.Classify()) + "\x02" + Joined(p.Relations()) +
         "\x02" + Joined(p.Remarks()) + "\x02" + Joined(p.Renmei());
}

// The first line where two file texts differ (0 when they are the same), for short messages.
int FirstDifference(const std::string& a, const std::string& b) {
  TStrings x, y;
  SplitLines(a, x);
  SplitLines(b, y);
  for (size_t i = 0; i < std::max(x.size(), y.size()); ++i)
    if (i >= x.size() || i >= y.size() || x[i] != y[i]) return static_cast<int>(i) + 1;
  return 0;
}

std::string SavedText(TPersonList& l, const test::TempDir& dir) {
  std::string f = dir.File("saved.kad");
  l.SaveToFile(f);
  return ReadFileBytes(f);
}

// The lines read one by one as texts of new entries, as any text is read.
void ReadOneByOne(TPersonList& l, const TStrings& lines) {
  l.BeginUpdate();
  for (const std::string& line : lines) l.AddText(line);
  l.EndUpdate();
}

bool IsTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// What a book line may hold, character by character: no zero byte, and every lead byte
// followed by a second byte.
bool WholeCharacters(std::string_view s) {
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == 0) return false;
    if (IsLeadByte(c)) {
      if (i + 1 >= s.size() || !IsTrail(static_cast<unsigned char>(s[i + 1]))) return false;
      ++i;
    }
  }
  return true;
}

// Lines in every form a book may hold them: as this program writes them, and as other writers
// or hand editing leave them.
TStrings AwkwardLines() {
  return {
      S("\"山田 太郎\",\"やまだ たろう\",自宅:03-1234-5678|携帯:090-1111-2222,個人:t@example.jp,,1000001,"
        "東京都千代田区|メゾン桜101,家族|年賀状,勤務先:株式会社楓,,2007/3/5,0/0/0,,部長,花子|ちゃん|次郎"),
      S("一,いち"),
      "",
      S("\"不要\",ふよう"),                                    // quotes not needed
      S("\"引用\"\"名\",\"いんよう\"\"\",,,,,,\"友 人|会\"\"社\""),  // quotes inside the name, reading and classification
      S("a\"b,えー"),                                          // a quote without quotes around the field
      S("  空白 ,  くうはく ,"),                                 // blanks around the fields, a comma at the end
      S("区切,くぎり,自宅:1|,,,,住所|,分類|"),                   // lists that end in a separator
      S("郵便,ゆうびん,,,,100-0001"),                            // a postal code with a hyphen
      S("日付,ひづけ,,,,,,,,,,"),                               // empty dates: the day of reading
      S("日付2,ひづけ,,,,,,,,,2007/03/05, 2007/3/5"),
      S("日付3,ひづけ,,,,,,,,,+1/2/3,-0/1/1"),
      S("日付4,ひづけ,,,,,,,,,1000000000/1/1,-5/-6/-7"),
      S("多い,おおい,,,,,,,,,1/1/1,2/2/2,様,課長,,余分,もう一つ,さらに,まだ,最後"),
      S("閉じない,\"とじない"),
      S("ポ,ぽ,,,,,ポ|ポ|,ポ,ポ|"),                             // "ポ" ends with the byte of "|"
      S("連名,れんめい,,,,,,,,,1/1/1,1/1/1,,,花子|ちゃん|次郎|様|三郎|Mr.|"),
      S("\"タブ\t入り\",たぶ,,,\"http://example.com/a,b\""),
      S("   "),
      S("\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",1/1/1,1/1/1,\"\",\"\",\"\""),
      S("空,から,,,,,,,,,0/0/0,0/0/0,,,"),
  };
}

}  // namespace

TEST(BookFile, EntriesReadFromTheBookAreTheEntriesTheirLinesGive) {
  test::TempDir dir;
  SetTodayForTesting(TDateValue{2024, 5, 6});
  TStrings lines = AwkwardLines();
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  std::string book = dir.File("book.kad");
  WriteFileAtomic(book, text);
  TPersonList loaded, alone;
  loaded.Open(book, false);
  ReadOneByOne(alone, lines);
  ASSERT_EQ(loaded.Count(), alone.Count());
  // What sorting, lists, finds, filters and saves read, without the entries' own fields.
  EXPECT_EQ(FirstDifference(SavedText(loaded, dir), SavedText(alone, dir)), 0);
  EXPECT_EQ(loaded.Classifications(), alone.Classifications());
  for (int i = 0; i < loaded.Count(); ++i) {
    const TPerson* a = loaded.Persons(i);
    const TPerson* b = alone.Persons(i);
    EXPECT_EQ(a->GetText(), b->GetText()) << i;
    EXPECT_EQ(a->GetCaption(), b->GetCaption()) << i;
    EXPECT_EQ(a->GetSortText(), b->GetSortText()) << i;
    for (int no = 0; no < 8; ++no) EXPECT_EQ(a->HasClassifyBit(no), b->HasClassifyBit(no)) << i << " " << no;
  }
  for (int mode : {pfmName, pfmAllFields}) {
    for (const char* what : {"友人", "くうはく", "0/0/0", "ポ", "\"", "example"}) {
      loaded.FindMode = alone.FindMode = mode;
      std::vector<int> a, b;
      for (int i = loaded.FindText(S(what), false); i >= 0; i = loaded.FindNext(i + 1, false)) a.push_back(i);
      for (int i = alone.FindText(S(what), false); i >= 0; i = alone.FindNext(i + 1, false)) b.push_back(i);
      EXPECT_EQ(a, b) << mode << " " << what;
    }
  }
  loaded.FindMode = alone.FindMode = pfmKanaRow;
  for (int row = 0; row <= 10; ++row) {
    loaded.FilterNo(row);
    alone.FilterNo(row);
    EXPECT_EQ(loaded.Count(), alone.Count()) << row;
  }
  loaded.ClearFilter(false);
  alone.ClearFilter(false);
  // Every field, through the accessors (which give the entry its own fields).
  for (int i = 0; i < loaded.Count(); ++i) EXPECT_EQ(Fields(*loaded.Persons(i)), Fields(*alone.Persons(i))) << i;
  EXPECT_EQ(FirstDifference(SavedText(loaded, dir), SavedText(alone, dir)), 0);
}

// The quick test of a line's form (used to save a line as it stands) against what reading the
// line and writing it again gives, over lines made of random pieces in random forms.
TEST(BookFile, TheTextFormTestAgreesWithReadingAndWritingAgain) {
  std::mt19937 rng(7);
  auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  const TStrings values = {"",         S("山田"), S("やまだ たろう"), "a,b",     "q\"t", S("ポ"),     S("ポ|"), "x|",
                           "|",        "a||b",    "1-2",             "0/0/0",   "tab\there", S("花子|ちゃん"), S("　"), "\"",
                           "1/2/3"};
  const TStrings dates = {"0/0/0", "2007/3/5", "-5/6/7", "1000000000/1/1", "",  "2007/03/05", "+1/2/3",
                          " 1/2/3", "-0/1/1", "1/2",     "1/2/3/4",        "x"};
  TDateValue day{2024, 5, 6};
  std::vector<TCommaSpan> spans;
  std::string scratch, again;
  int same = 0, differ = 0;
  for (int n = 0; n < 20000; ++n) {
    size_t count = pick(4) == 0 ? 1 + pick(20) : 15;
    std::string line;
    for (size_t k = 0; k < count; ++k) {
      if (k) line += pick(100) == 0 ? ", " : ",";
      bool date = k == 10 || k == 11;
      const std::string& v = date ? dates[pick(3) ? pick(4) : pick(dates.size())] : values[pick(values.size())];
      size_t form = pick(40);
      if (form == 0) line += "\"" + ReplaceStrAll(v, "\"", "\"\"") + "\"";  // always quoted
      else if (form == 1) line += v;                                           // never quoted
      else AppendCommaField(line, v);                                          // as written
    }
    ASSERT_TRUE(ScanCommaText(line, spans, SIZE_MAX));
    TPersonFields f(nullptr);
    try {
      ReadPersonFields(line, spans, f, day, true);
    } catch (const EDateToStrError&) {
      continue;  // such a line stops the book before its form matters
    }
    again.clear();
    AppendPersonText(again, f);
    bool expected = again == line;
    (expected ? same : differ)++;
    ASSERT_EQ(IsPersonTextForm(line, spans, scratch), expected) << SjisToUtf8(line, TConvMode::Replace);
  }
  EXPECT_GT(same, 300);
  EXPECT_GT(differ, 300);
}

// A zero byte ended the text of a book: the entries after it were lost without a word, and a
// save wrote the cut book over the file. Now it is a bad line like any other.
TEST(BookFile, ZeroBytesAndBrokenCharactersStopTheBookAtTheirLine) {
  test::TempDir dir;
  std::string book = dir.File("book.kad");
  const std::string zero("\0", 1);
  struct TCase {
    std::string Text;
    int Line;
  } cases[] = {
      {S("一,いち\r\n") + zero + zero + "\r\n" + S("三,さん\r\n"), 2},  // between lines
      {S("一,いち\r\n二,に") + zero + S("\r\n三,さん"), 2},            // inside a line
      {S("一,いち\r\n二,に\r\n三,さん\r\n") + zero, 4},                // at the end
      {S("一,いち\r\n二,に") + "\x82" + "\r\n" + S("三,さん"), 2},     // a lead byte without its second byte
      {S("一,いち\r\n二,に") + "\x82 x", 2},                           // followed by a byte that cannot follow it
      {S("一,い") + "\x81\x7F", 1},
  };
  for (const TCase& c : cases) {
    WriteFileAtomic(book, c.Text);
    TPersonList l;
    try {
      l.Open(book, false);
      ADD_FAILURE() << c.Line;
    } catch (const Exception& e) {
      EXPECT_EQ(e.FileName(), book);
      EXPECT_EQ(e.LineNo(), c.Line);
    }
    EXPECT_EQ(l.Count(), c.Line - 1);  // the lines before it
    l.AddPerson(S("五,ご"));
    EXPECT_THROW(l.SaveToFile(""), Exception);
    EXPECT_TRUE(ReadFileBytes(book) == c.Text);
  }
  // Single bytes that no character set maps stay: a book may hold them.
  WriteFileAtomic(book, S("一,いち") + "\x80\xA0\xFD\xFE\xFF\r\n");
  TPersonList l;
  l.Open(book, false);
  EXPECT_EQ(l.Persons(0)->Yomi(), S("いち") + "\x80\xA0\xFD\xFE\xFF");
}

// The check of a line's bytes looks closely only where a character could be broken; over random
// lines it says what a walk through the characters says.
TEST(BookFile, TheByteCheckAgreesWithAWalkThroughTheCharacters) {
  test::TempDir dir;
  std::string book = dir.File("book.kad");
  std::mt19937 rng(11);
  const unsigned char bytes[] = {0x00, 0x20, 0x31, 0x3F, 0x40, 0x41, 0x7E, 0x7F, 0x80, 0x81, 0x9F, 0xA0,
                                 0xA1, 0xDF, 0xE0, 0xEF, 0xFC, 0xFD, 0xFF, 0x8E, 0x93, 0x5C, 0x7C};
  for (int n = 0; n < 3000; ++n) {
    std::string line = S("名,");
    size_t len = rng() % 70;
    for (size_t i = 0; i < len; ++i) line += static_cast<char>(bytes[rng() % sizeof bytes]);
    WriteFileAtomic(book, line);
    TPersonList l;
    bool ok = true;
    try {
      l.Open(book, false);
    } catch (const Exception& e) {
      ok = false;
      EXPECT_EQ(e.LineNo(), 1);
    }
    std::string hex;
    for (unsigned char c : line) hex += std::to_string(c) + " ";
    ASSERT_EQ(ok, WholeCharacters(line)) << n << ": " << hex;
  }
}

TEST(BookFile, EachLimitIsAnErrorNamingTheFileAndTheLine) {
  test::TempDir dir;
  std::string book = dir.File("book.kad");
  auto failure = [&](TPersonList& l) {
    try {
      l.Open(book, false);
    } catch (const Exception& e) {
      EXPECT_EQ(e.FileName(), book);
      return e;
    }
    ADD_FAILURE() << "the book loaded";
    return Exception("");
  };
  WriteFileAtomic(book, S("一,いち\r\n二,に\r\n三,さん\r\n四,よん\r\n"));
  {
    TPersonList l;
    l.Limits.Lines = 3;
    EXPECT_EQ(failure(l).LineNo(), 4);
    EXPECT_EQ(l.Count(), 3);
  }
  WriteFileAtomic(book, S("a,b\r\na,b\r\na,b\r\na,b\r\na,b\r\na,b\r\n"));
  {
    // Past the first lines, lines as short as these are too many.
    TPersonList l;
    l.Limits.ShortLines = 4;
    EXPECT_EQ(failure(l).LineNo(), 5);
    EXPECT_EQ(l.Count(), 4);
  }
  WriteFileAtomic(book, S("一,いち\r\n二,に,,,\r\n"));
  {
    TPersonList l;
    l.Limits.LineFields = 4;
    EXPECT_EQ(failure(l).LineNo(), 2);
  }
  {
    // A book that is too big is not read at all: the list keeps what it held.
    TPersonList l;
    l.AddText(S("前,まえ"));
    l.Limits.Bytes = 16;
    Exception e = failure(l);
    EXPECT_EQ(e.LineNo(), 0);
    EXPECT_EQ(l.Count(), 1);
  }
  {
    // With the limits of every book: a file of 256 MB and one byte (sparse, nothing written).
    std::string big = Utf8ToSjis(dir.Path() + "/big.kad");
    WriteFileAtomic(big, "a");
    ASSERT_EQ(::truncate(OsPath(big).c_str(), (off_t{256} << 20) + 1), 0);
    TPersonList l;
    EXPECT_THROW(l.Open(big, false), Exception);
  }
  {
    // A pipe might never end: it is not read.
    std::string pipe = Utf8ToSjis(dir.Path() + "/pipe.kad");
    ASSERT_EQ(::mkfifo(OsPath(pipe).c_str(), 0600), 0);
    TPersonList l;
    EXPECT_THROW(l.LoadFromFile(pipe, false), Exception);
  }
}

// Whatever an entry holds, the book it is saved in opens again with the same entries: long
// fields, lists of many short or empty lines, and lines that grow shorter when written (fields
// beyond the fifteenth, quotes that were not needed).
TEST(BookFile, EveryBookThatWasSavedOpensAgain) {
  test::TempDir dir;
  std::string book = dir.File("book.kad"), saved = dir.File("saved.kad");
  auto roundTrip = [&](const std::string& text, int entries) {
    WriteFileAtomic(book, text);
    TPersonList l;
    l.Open(book, false);
    ASSERT_EQ(l.AllCount(), entries);
    l.Sort();
    l.SaveToFile(saved);
    TPersonList again;
    ASSERT_NO_THROW(again.Open(saved, false));
    ASSERT_EQ(again.AllCount(), l.AllCount());
    for (int i = 0; i < entries; ++i) EXPECT_EQ(Fields(*again.Persons(i)), Fields(*l.Persons(i))) << i;
  };
  // Twenty-five one-digit telephone numbers, and a memo of 80 KB as an import makes it.
  std::string digits;
  for (int i = 1; i <= 25; ++i) digits += (i > 1 ? "|" : "") + std::to_string(i);
  std::string memo;
  while (memo.size() < 80000) memo += S("長い備考です。");
  roundTrip(S("一,いち\r\n二,に,") + digits + "\r\n" + S("三,さん,,,,,,,,") + memo + "\r\n", 3);
  // A list of nothing but empty lines, in a line padded with fields the entry does not keep.
  std::string bars(300, '|'), padding;
  for (int i = 0; i < 40; ++i) padding += ",\"" + std::string(30, 'x') + "\"";
  roundTrip(S("四,よん,,,,,,,,,2024/4/1,2026/11/20,,,x") + bars + "y" + padding + "\r\n", 1);

  // An entry made in the program with a long name and a hundred empty joint-name lines.
  TPersonList made;
  TPerson* p = made.AddPerson(S("五,ご"));
  ASSERT_NE(p, nullptr);
  std::string longName;
  while (longName.size() < 70000) longName += S("寿限無");
  p->SetName(longName);
  for (int i = 0; i < 100; ++i) p->Renmei().Add("");
  made.SaveToFile(book);
  TPersonList again;
  ASSERT_NO_THROW(again.Open(book, false));
  ASSERT_EQ(again.AllCount(), 1);
  EXPECT_EQ(again.Persons(0)->Name(), longName);
}

// Opening, sorting, finding, filtering and saving leave the entries reading from the book's
// text; a change gives only the changed entries their own fields, and the book writes them
// back as they were when the change is undone.
TEST(BookFile, EntriesReadTheBookUntilTheyChange) {
  test::TempDir dir;
  std::string book = dir.File("book.kad");
  std::string text = bench::GenerateBookText(300);
  WriteFileAtomic(book, text);
  {
    TPersonList l;
    l.Open(book, false);
    l.SaveToFile("");  // in the book's order
  }
  std::string saved = ReadFileBytes(book);
  TPersonList b;
  b.Open(book, false);
  auto reading = [&] {
    int n = 0;
    for (int i = 0; i < b.AllCount(); ++i) n += b.AllPersons(i)->ReadsFromLine() ? 1 : 0;
    return n;
  };
  b.FindMode = pfmAllFields;
  b.FindText(S("存在しない"), true);
  b.FindMode = pfmName;
  b.FindText(S("存在しない"), true);
  b.FindMode = pfmKanaRow;
  b.FilterNo(3);
  b.FindMode = pfmClassify;
  b.FilterNo(1);
  b.ClearFilter(true);
  b.SaveToFile("");
  EXPECT_EQ(reading(), 300);
  EXPECT_EQ(FirstDifference(ReadFileBytes(book), saved), 0);

  // One edit, undone: the file is the same again.
  TPerson* p = b.Persons(10);
  p->SetYomi(S("ん"));
  EXPECT_EQ(reading(), 299);
  b.History().UndoStep();
  b.SaveToFile("");
  EXPECT_EQ(FirstDifference(ReadFileBytes(book), saved), 0);

  // Deleting a classification touches the entries that hold it, and only them.
  const std::string& name = b.Classifications()[0];
  int holders = 0;
  for (int i = 0; i < b.AllCount(); ++i) holders += b.AllPersons(i)->HasClassify(name) ? 1 : 0;
  b.DeleteClassify(name);
  EXPECT_EQ(reading(), 299 - holders);
  for (int i = 0; i < b.AllCount(); ++i) EXPECT_FALSE(b.AllPersons(i)->HasClassify(name));
  b.History().UndoStep();
  b.SaveToFile("");
  EXPECT_EQ(FirstDifference(ReadFileBytes(book), saved), 0);

  // Renaming the name of a relation: the entries whose line does not hold the name stay.
  std::string related;
  for (int i = 0; i < b.AllCount() && related.empty(); ++i)
    if (b.AllPersons(i)->Relations().Count() > 0) related = RightOf(b.AllPersons(i)->Relations()[0], ":");
  ASSERT_FALSE(related.empty());
  int before = reading();
  b.RenameRelations(related, S("新しい名前"));
  EXPECT_GT(reading(), before - 20);
  b.History().UndoStep();
  b.SaveToFile("");
  EXPECT_EQ(FirstDifference(ReadFileBytes(book), saved), 0);
}

// The generated book of a hundred thousand entries: opened and saved, it holds the same lines in
// the book's order, and a second open and save gives the same bytes again.
TEST(BookFile, AHundredThousandEntriesRoundTrip) {
  test::TempDir dir;
  std::string first = dir.File("first.kad"), second = dir.File("second.kad");
  std::string text = bench::GenerateBookText(100000);
  WriteFileAtomic(first, text);
  {
    TPersonList l;
    l.Open(first, false);
    ASSERT_EQ(l.AllCount(), 100000);
    l.SaveToFile(second);
  }
  std::string saved = ReadFileBytes(second);
  TStrings a, b;
  SplitLines(text, a);
  SplitLines(saved, b);
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  EXPECT_TRUE(a == b);
  TPersonList l;
  l.Open(second, false);
  for (int i = 1; i < l.Count(); ++i) ASSERT_LE(TDataList::StandardCompare(l.Items(i - 1), l.Items(i)), 0);
  // Finds over the whole book give what a walk through every entry's text gives (a find by
  // name also looks at the reading; both fold kana, width and case).
  const TPerson* some = l.Persons(54321);
  struct TFind {
    int Mode;
    std::string Text;
  } finds[] = {{pfmName, some->Name()},
               {pfmAllFields, some->Name()},
               {pfmAllFields, some->Yomi()},  // across the space between family and given name
               {pfmAllFields, S("メゾン桜12")},
               {pfmAllFields, "u4321@"}};
  std::vector<std::string> texts[2];
  for (int i = 0; i < l.Count(); ++i) {
    texts[0].push_back(FoldForFind(l.Persons(i)->Name()) + "\n" + FoldForFind(l.Persons(i)->Yomi()));
    texts[1].push_back(FoldForFind(l.Persons(i)->GetText()));
  }
  for (const TFind& f : finds) {
    std::string pattern = FoldForFind(f.Text);
    std::vector<int> found, walked;
    l.FindMode = f.Mode;
    for (int i = l.FindText(f.Text, false); i >= 0; i = l.FindNext(i + 1, false)) found.push_back(i);
    const std::vector<std::string>& t = texts[f.Mode == pfmName ? 0 : 1];
    for (int i = 0; i < l.Count(); ++i)
      if (ContainsStr(t[static_cast<size_t>(i)], pattern)) walked.push_back(i);
    EXPECT_EQ(found, walked) << f.Mode << " " << SjisToUtf8(f.Text);
    EXPECT_FALSE(found.empty()) << f.Mode << " " << SjisToUtf8(f.Text);
  }
  l.SaveToFile("");
  EXPECT_TRUE(ReadFileBytes(second) == saved);
  // Entries with their own fields in both halves: their texts are made first and placed among
  // the others.
  for (int i : {10, 30000, 60000, 99990}) l.Persons(i)->SetName(S("新しい 名前") + std::to_string(i));
  for (int mode : {pfmName, pfmAllFields}) {
    l.FindMode = mode;
    std::vector<int> found;
    for (int i = l.FindText(S("しい名前"), false); i >= 0; i = l.FindNext(i + 1, false)) found.push_back(i);
    ASSERT_EQ(found.size(), 4u) << mode;
    for (int i : found) EXPECT_EQ(l.Persons(i)->Name().rfind(S("新しい 名前"), 0), 0u);
    EXPECT_EQ(l.FindText(some->Name(), false) >= 0, true);
  }
}

// A book in its own order is taken as it is after its neighbours were compared; one entry out
// of place anywhere still has the whole book sorted, and edits afterwards find their places.
TEST(BookFile, ABookOutOfOrderByOneEntryIsSortedAfterAll) {
  test::TempDir dir;
  std::string book = dir.File("book.kad");
  WriteFileAtomic(book, bench::GenerateBookText(3000));
  {
    TPersonList l;
    l.Open(book, false);
    l.SaveToFile("");  // in the book's order
  }
  TStrings lines;
  SplitLines(ReadFileBytes(book), lines);
  auto inOrder = [](TPersonList& l) {
    for (int i = 1; i < l.Count(); ++i)
      if (TDataList::StandardCompare(l.Items(i - 1), l.Items(i)) > 0) return false;
    return true;
  };
  for (size_t at : {size_t{0}, size_t{1500}, lines.size() - 2}) {
    TStrings moved = lines;
    std::swap(moved[at], moved[at + 1]);
    if (moved[at] == moved[at + 1]) continue;
    std::string text;
    for (const std::string& line : moved) text += line + "\r\n";
    std::string other = dir.File("other.kad");
    WriteFileAtomic(other, text);
    TPersonList l;
    l.Open(other, false);
    EXPECT_TRUE(inOrder(l)) << at;
    l.Persons(2000)->SetYomi(S("あ"));
    l.Persons(10)->SetYomi(S("んんん"));
    EXPECT_TRUE(inOrder(l)) << at;
    EXPECT_EQ(l.Persons(l.Count() - 1)->Yomi(), S("んんん"));
  }
}

// A line break pasted into a field never reaches the book as one: the entry's line would end
// inside the field and the book would open with the entry cut in pieces.
TEST(BookFile, ALineBreakInAFieldNeverCutsTheEntry) {
  test::TempDir dir;
  std::string book = dir.File("book.kad");
  TPersonList made;
  TPerson* p = made.AddPerson(S("五,ご"));
  p->SetName(S("山田\r\n太郎"));
  p->SetPostal(S("123\n4567"));
  p->SetTitle(std::string("a\0b", 3));
  p->Tels().Add(S("03-1234-5678\r090-1234-5678"));
  p->Address().Add(S("東京都"));
  made.AddPerson(S("六,ろく"));
  made.SaveToFile(book);
  TPersonList again;
  ASSERT_NO_THROW(again.Open(book, false));
  ASSERT_EQ(again.AllCount(), 2);
  const TPerson* q = again.AllPersons(0)->Name() == S("六") ? again.AllPersons(1) : again.AllPersons(0);
  EXPECT_EQ(q->Name(), S("山田 太郎"));
  EXPECT_EQ(q->Postal(), S("123 4567"));
  EXPECT_EQ(q->Title(), "ab");
  EXPECT_EQ(Joined(q->Tels()), S("03-1234-5678\x01" "090-1234-5678"));
  EXPECT_EQ(Joined(q->Address()), S("東京都"));
}
