#include <gtest/gtest.h>

#include "DataListFrames.h"
#include "TestUtil.h"
#include "ui/FakeViews.h"

using namespace kaede;

namespace {

class TName : public TDataItem {
public:
  std::string Name;
  void SetName(const std::string& v) { SetField(Name, v); }
  std::string GetText() const override { return Name; }
  std::string GetCaption() const override { return Name; }
  void ReadText(const std::string& t) override { Name = t; }
  void AssignFields(const TDataItem* s) override {
    TDataItem::AssignFields(s);
    if (auto n = dynamic_cast<const TName*>(s)) Name = n->Name;
  }
};
class TNames : public TDataList {
public:
  TDataItem* NewInstance() const override { return new TName(); }
};

struct Fixture {
  test::TFakeListView view;
  TDataListFrame frame{std::make_unique<TNames>(), &view};
  int indexChanges = 0, settingDone = 0, findedAll = 0, finded = 0;
  Fixture() {
    frame.List().AutoSort = true;
    frame.OnIndexChange = [this] { ++indexChanges; };
    frame.OnSetingDone = [this] { ++settingDone; };
    frame.OnFindedAll = [this] { ++findedAll; };
    frame.OnFinded = [this] { ++finded; };
  }
  void Load(std::initializer_list<const char*> names) {
    TDataList& l = frame.List();
    l.BeginUpdate();
    l.Clear();
    for (const char* n : names) l.AddText(n);
    l.EndUpdate();
  }
  std::string SelectedName() {
    auto* n = static_cast<TName*>(frame.Selected());
    return n ? n->Name : "<none>";
  }
};

}  // namespace

TEST(ListFrame, ReloadingSelectsTheFirstRowOrNone) {
  Fixture f;
  f.Load({});
  EXPECT_EQ(f.view.selected, -1);
  EXPECT_EQ(f.indexChanges, 1);  // the owner hears of it and finds nothing selected
  EXPECT_EQ(f.settingDone, 1);
  f.Load({"b", "a", "c"});
  EXPECT_EQ(f.view.rows, 3);
  EXPECT_EQ(f.SelectedName(), "a");
}

TEST(ListFrame, AnEditedEntryStaysSelectedWhereItSortsTo) {
  Fixture f;
  f.Load({"a", "b", "c", "d"});
  f.frame.SelectIndex(1);
  static_cast<TName*>(f.frame.Selected())->SetName("z");
  EXPECT_EQ(f.view.selected, 3);
  EXPECT_EQ(f.SelectedName(), "z");
}

TEST(ListFrame, DeletingTheLastSelectedRowSelectsTheNewLast) {
  Fixture f;
  f.Load({"a", "b", "c"});
  f.frame.SelectIndex(2);
  f.frame.Selected()->Free();
  EXPECT_EQ(f.view.rows, 2);
  EXPECT_EQ(f.SelectedName(), "b");
  f.frame.SelectIndex(99);  // beyond the end: the last row
  EXPECT_EQ(f.view.selected, 1);
}

TEST(ListFrame, FindBoxFiltersAndClearingItShowsEverything) {
  Fixture f;
  f.Load({"apple", "banana", "cherry"});
  f.frame.SetUseFind(true);
  EXPECT_TRUE(f.view.findShown);
  f.frame.FindTextChanged("an");
  EXPECT_EQ(f.view.rows, 1);
  EXPECT_EQ(f.SelectedName(), "banana");
  f.frame.FindTextChanged("");
  EXPECT_EQ(f.view.rows, 3);
  EXPECT_EQ(f.findedAll, 2);
  // a new find option refilters by the present text
  f.view.findText = "err";
  f.frame.SetFindOption(1);
  EXPECT_EQ(f.frame.List().FindMode, 1);
  EXPECT_EQ(f.view.rows, 1);
}

TEST(ListFrame, MatchesAreFoundForwardAndTheSearchTurnsBack) {
  Fixture f;
  f.Load({"ax", "b", "cx", "d", "ex"});
  EXPECT_FALSE(f.frame.SelectFirstMatch("zz"));
  EXPECT_EQ(f.SelectedName(), "ax");  // unchanged
  EXPECT_TRUE(f.frame.SelectFirstMatch("x"));
  EXPECT_EQ(f.finded, 1);
  EXPECT_TRUE(f.frame.SelectNextMatch("x"));
  EXPECT_EQ(f.SelectedName(), "cx");
  EXPECT_TRUE(f.frame.SelectNextMatch("x"));
  EXPECT_EQ(f.SelectedName(), "ex");
  // from the last row a jump still reaches a match above it
  EXPECT_TRUE(f.frame.SelectNextMatch("x"));
  EXPECT_EQ(f.SelectedName(), "ax");
  // the only match already selected, with rows after it: found again
  f.Load({"a", "only", "c"});
  f.frame.SelectIndex(1);
  EXPECT_TRUE(f.frame.SelectNextMatch("only"));
  EXPECT_EQ(f.SelectedName(), "only");
}

TEST(ListFrame, ResortKeepsTheSelectedEntry) {
  Fixture f;
  f.frame.List().AutoSort = false;
  f.Load({"c", "a", "b"});
  f.frame.SelectIndex(0);  // "c"
  f.frame.ResortKeepSelection();
  EXPECT_EQ(f.view.selected, 2);
  EXPECT_EQ(f.SelectedName(), "c");
}

TEST(ListFrame, TheWidgetShowsCaptionsAndFollowsSelection) {
  TDataListFrameWidget w;
  TDataListFrame frame(std::make_unique<TNames>(), &w);
  w.Bind(&frame);
  frame.List().BeginUpdate();
  frame.List().AddText(SJ("山田"));
  frame.List().AddText(SJ("鈴木"));
  frame.List().EndUpdate();
  EXPECT_EQ(w.RowCount(), 2);
  EXPECT_EQ(w.SelectedRow(), 0);
  int changes = 0;
  frame.OnIndexChange = [&] { ++changes; };
  frame.SelectIndex(1);
  EXPECT_EQ(w.SelectedRow(), 1);
  EXPECT_EQ(changes, 1);
  frame.SetUseFind(true);
  EXPECT_TRUE(w.FindPanelShown());
}
