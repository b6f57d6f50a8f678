// kaede check on a real book against the national dictionary, built the way a user builds it
// (postal-update from the published archive): the synthetic book of real codes and towns checks
// clean but for what was planted in it, and --fix puts the planted codes right and saves.
#include <gtest/gtest.h>

#include <map>

#include "CliRun.h"
#include "PersonLists.h"
#include "TestUtil.h"

using namespace kaede;

namespace {

// The findings of a run: the lines of standard output by the entry's name (UTF-8).
std::multimap<std::string, std::vector<std::string>> Findings(const std::string& out) {
  std::multimap<std::string, std::vector<std::string>> r;
  for (const std::string& line : SplitStr(out, "\n")) {
    if (line.empty()) continue;
    std::vector<std::string> cells;
    for (size_t from = 0;;) {
      size_t tab = line.find('\t', from);
      cells.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
      if (tab == std::string::npos) break;
      from = tab + 1;
    }
    cells.resize(4);
    r.emplace(cells[0], cells);
  }
  return r;
}

}  // namespace

TEST(CheckCli, FindsThePlantedFaultsOfARealBookAndFixesThem) {
  KAEDE_NEEDS_SHARED_DATA();
  test::TempDir dir;
  const std::string dict = dir.Path() + "/dict";
  ASSERT_EQ(test::Kaede({"postal-update", "--source", test::SharedData("kenall/ken_all_2026-06-05.lzh"), "--to", dict})
                .Status,
            0);
  const std::string file = test::MakeBook(dir, 5000);
  std::string wrongName, missingName, unknownName, twinName, original;
  {
    TPersonList book;
    book.LoadFromFile(file, false);
    TPerson* wrong = book.AllPersons(10);
    original = wrong->Postal();
    wrong->SetPostal(book.AllPersons(2000)->Postal());  // a real code of another town
    book.AllPersons(20)->SetPostal("");
    book.AllPersons(30)->SetPostal("0000000");
    TPerson* twin = static_cast<TPerson*>(book.AddText(book.AllPersons(40)->GetText()));
    twin->SetName(ReplaceStrAll(twin->Name(), " ", ""));  // typed once more without the space
    wrongName = SjisToUtf8(wrong->Name());
    missingName = SjisToUtf8(book.AllPersons(20)->Name());
    unknownName = SjisToUtf8(book.AllPersons(30)->Name());
    twinName = SjisToUtf8(book.AllPersons(40)->Name());
    book.SaveToFile("");
  }
  test::TRun run = test::Kaede({"check", SjisToUtf8(file), "--dict", dict, "--duplicates"});
  EXPECT_EQ(run.Status, 1) << run.Err;
  auto found = Findings(run.Out);
  ASSERT_EQ(found.count(wrongName), 1u) << run.Out;
  EXPECT_EQ(found.find(wrongName)->second[1], "郵便番号と住所が合わない");
  EXPECT_EQ(found.find(wrongName)->second[3], "〒" + SjisToUtf8(original.substr(0, 3) + "-" + original.substr(3)));
  ASSERT_EQ(found.count(missingName), 1u) << run.Out;
  EXPECT_EQ(found.find(missingName)->second[1], "郵便番号がない");
  ASSERT_EQ(found.count(unknownName), 1u) << run.Out;
  EXPECT_EQ(found.find(unknownName)->second[1], "郵便番号が辞書にない");
  bool twins = false;
  for (const auto& [name, cells] : found)
    twins |= cells[1] == "重複の可能性" && name.find(twinName) != std::string::npos;
  EXPECT_TRUE(twins) << run.Out;
  // the real entries of the book give next to no false findings
  EXPECT_LE(found.size(), 4u + 5u) << run.Out;
  EXPECT_NE(run.Err.find("確認した項目: 5001"), std::string::npos) << run.Err;

  run = test::Kaede({"check", SjisToUtf8(file), "--dict", dict, "--fix"});
  EXPECT_NE(run.Err.find("修正: " + wrongName), std::string::npos) << run.Err;
  EXPECT_NE(run.Err.find("保存しました"), std::string::npos) << run.Err;
  {
    TPersonList book;
    book.LoadFromFile(file, false);
    EXPECT_EQ(book.AllPersons(10)->Postal(), original);
    EXPECT_FALSE(book.AllPersons(20)->Postal().empty());
  }
  // what was fixed is found no more; what has no single answer stays
  test::TRun again = test::Kaede({"check", SjisToUtf8(file), "--dict", dict});
  EXPECT_EQ(Findings(again.Out).count(wrongName), 0u) << again.Out;
  EXPECT_EQ(Findings(again.Out).count(missingName), 0u) << again.Out;
  EXPECT_EQ(again.Status, Findings(again.Out).empty() ? 0 : 1);
}
