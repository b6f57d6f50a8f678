#include <gtest/gtest.h>

#include <random>

#include "CommaText.h"
#include "TestUtil.h"
#include "UndoLists.h"
#include "Undos.h"

using namespace kaede;

namespace {

// A task that writes what it does into a shared log.
class TLogTask : public TTask {
public:
  TLogTask(std::string name, std::string* log) : FName(std::move(name)), FLog(log) {}
  std::string GetUndoCaption() const override { return FName; }
  void Undo() override { *FLog += "-" + FName; }
  void Redo() override { *FLog += "+" + FName; }

private:
  std::string FName;
  std::string* FLog;
};

std::unique_ptr<TTask> Task(const char* name, std::string& log) { return std::make_unique<TLogTask>(name, &log); }

// An item with a name (sort text) and a note; text form "name,note".
class TNote : public TDataItem {
public:
  std::string Name, Note;
  void SetName(const std::string& v) { SetField(Name, v); }
  void SetNote(const std::string& v) { SetField(Note, v); }
  std::string GetSortText() const override { return Name; }
  std::string GetCaption() const override { return Name; }
  std::string GetText() const override { return EncodeCommaText({Name, Note}); }
  void ReadText(const std::string& text) override {
    auto f = DecodeCommaText(text);
    Name = f.size() > 0 ? f[0] : "";
    Note = f.size() > 1 ? f[1] : "";
  }
  void AssignFields(const TDataItem* source) override {
    TDataItem::AssignFields(source);
    if (auto s = dynamic_cast<const TNote*>(source)) {
      Name = s->Name;
      Note = s->Note;
    }
  }
  void Clear() override { Name.clear(), Note.clear(); }
};

class TNoteList : public TUndoDataList {
public:
  TNoteList() {
    RecordUndo = true;
    AutoSort = true;
  }
  TDataItem* NewInstance() const override { return new TNote(); }
  TNote* At(int i) const { return ItemAs<TNote>(i); }
  std::string Text() { return JoinStrings(GetStrings()); }
  static std::string JoinStrings(const TStrings& l) {
    std::string r;
    for (auto& s : l) r += s + ";";
    return r;
  }
};

}  // namespace

TEST(Undo, LinearHistoryAsInTheExample) {
  std::string log;
  TUndo u;
  EXPECT_FALSE(u.CanUndo());
  EXPECT_FALSE(u.CanRedo());
  u.Add(Task("A", log));
  u.Add(Task("B", log));
  EXPECT_EQ(u.Position(), 1);
  EXPECT_FALSE(u.Undone());
  EXPECT_FALSE(u.CanRedo());
  u.UndoStep();
  EXPECT_EQ(log, "-B");
  EXPECT_EQ(u.Position(), 1);
  EXPECT_TRUE(u.Undone());
  u.UndoStep();
  EXPECT_EQ(log, "-B-A");
  EXPECT_EQ(u.Position(), 0);
  EXPECT_FALSE(u.CanUndo());
  u.UndoStep();  // nothing left
  EXPECT_EQ(log, "-B-A");
  u.RedoSteps(2);
  EXPECT_EQ(log, "-B-A+A+B");
  EXPECT_EQ(u.Position(), 1);
  EXPECT_FALSE(u.CanRedo());
  // Recording after an undo discards what could have been redone.
  u.UndoStep();
  u.Add(Task("C", log));
  ASSERT_EQ(u.Count(), 2);
  EXPECT_EQ(u.Tasks(1)->GetUndoCaption(), "C");
  EXPECT_FALSE(u.CanRedo());
  // Recording after undoing everything starts over.
  u.UndoSteps(2);
  u.Add(Task("D", log));
  EXPECT_EQ(u.Count(), 1);
  EXPECT_EQ(u.LastTask()->GetUndoCaption(), "D");
}

TEST(Undo, LockAndClear) {
  std::string log;
  TUndo u;
  u.Lock();
  u.Add(Task("A", log));
  EXPECT_EQ(u.Count(), 0);
  u.Unlock();
  u.Add(Task("A", log));
  u.Add(Task("B", log));
  u.Clear();
  EXPECT_FALSE(u.CanUndo());
  EXPECT_FALSE(u.CanRedo());
  EXPECT_EQ(u.LastTask(), nullptr);
  u.Add(Task("C", log));  // starts afresh at position 0
  EXPECT_EQ(u.Position(), 0);
  u.UndoStep();
  EXPECT_EQ(log, "-C");
}

TEST(Undo, GroupIsOneStepUndoneBackwards) {
  std::string log;
  TUndo u;
  u.Add(Task("A", log));
  {
    TUndoGroup g(u, "import");
    u.Add(Task("B", log));
    u.BeginGroup();  // nested groups join the outer one
    u.Add(Task("C", log));
    u.EndGroup();
    EXPECT_EQ(u.LastTask()->GetUndoCaption(), "C");  // the group's newest task
    EXPECT_EQ(u.Count(), 1);
  }
  ASSERT_EQ(u.Count(), 2);
  EXPECT_EQ(u.Tasks(1)->GetUndoCaption(), "import");
  u.UndoStep();
  EXPECT_EQ(log, "-C-B");
  u.RedoStep();
  EXPECT_EQ(log, "-C-B+B+C");
  { TUndoGroup empty(u); }  // records nothing
  EXPECT_EQ(u.Count(), 2);
}

TEST(UndoDataList, AddEditDeleteUndoRedo) {
  TNoteList l;
  TDataItem* a = l.AddText("b,1");
  int32_t id = a->Id();
  EXPECT_EQ(l.History().Count(), 1);
  EXPECT_SJ_EQ("追加 [b]", l.History().LastTask()->GetUndoCaption());
  // three edits of one item are one step that restores the item as it was
  auto* n = static_cast<TNote*>(a);
  n->SetNote("2");
  n->SetNote("3");
  n->SetName("a");
  EXPECT_EQ(l.History().Count(), 2);
  EXPECT_SJ_EQ("修正 [a]", l.History().LastTask()->GetUndoCaption());
  l.AddText("c,9");
  l.Delete(0);
  EXPECT_EQ(l.Count(), 1);
  EXPECT_SJ_EQ("削除 [a]", l.History().LastTask()->GetUndoCaption());  // found in the trash
  EXPECT_EQ(l.Text(), "c,9;");
  l.History().UndoStep();  // the same object comes back
  EXPECT_EQ(l.Items(l.IndexOfId(id)), a);
  EXPECT_EQ(l.Text(), "a,3;c,9;");
  l.History().UndoSteps(2);
  EXPECT_EQ(l.Text(), "b,1;");
  l.History().UndoStep();
  EXPECT_EQ(l.Text(), "");
  l.History().RedoSteps(4);
  EXPECT_EQ(l.Text(), "c,9;");
  EXPECT_EQ(l.History().Count(), 4);  // nothing was recorded while undoing and redoing
}

TEST(UndoDataList, EditAfterUndoIsItsOwnStep) {
  TNoteList l;
  auto* n = static_cast<TNote*>(l.AddText("a,1"));
  n->SetNote("2");
  l.History().UndoStep();
  EXPECT_EQ(n->Note, "1");
  // The undone edit task is the newest task of the same item, but the new edit must not
  // disappear into it: it becomes a step that undo can reach.
  n->SetNote("5");
  ASSERT_TRUE(l.History().CanUndo());
  l.History().UndoStep();
  EXPECT_EQ(n->Note, "1");
  EXPECT_EQ(l.Count(), 1);
}

// A tab or a search that hides an entry must not make its steps do nothing: undo and redo
// of edits and additions reach the entry as they would if it were shown.
TEST(UndoDataList, StepsReachItemsThatTheFilterHides) {
  TNoteList l;
  auto* a = static_cast<TNote*>(l.AddText("a,1"));
  l.AddText("b,1");
  a->SetNote("2");
  l.FilterText("b");
  l.History().UndoStep();
  EXPECT_EQ(a->Note, "1");
  l.History().RedoStep();
  EXPECT_EQ(a->Note, "2");
  EXPECT_SJ_EQ("修正 [a]", l.History().CurrentTask()->GetUndoCaption());
  l.History().UndoStep();
  l.History().UndoStep();  // the addition of b, shown
  l.History().UndoStep();  // the addition of a, hidden
  EXPECT_EQ(l.AllCount(), 0);
  l.AddText("c,1");  // added while the filter hides it, and still taken back
  l.History().UndoStep();
  EXPECT_EQ(l.AllCount(), 0);
  l.ClearFilter(true);
  EXPECT_EQ(l.Count(), 0);
}

TEST(UndoDataList, ClearEmptiesHistoryAndTrash) {
  TNoteList l;
  l.AddText("a,1");
  l.Delete(0);
  EXPECT_EQ(l.Trash().AllCount(), 1);
  l.Clear();
  EXPECT_FALSE(l.History().CanUndo());
  EXPECT_FALSE(l.History().CanRedo());
  EXPECT_EQ(l.Trash().AllCount(), 0);
}

TEST(UndoDataList, SeveralLinesAndDirectCreationAreUndoable) {
  TNoteList l;
  l.AddText("a,1\r\nb,2\r\nc,3");
  EXPECT_EQ(l.History().Count(), 1);
  l.History().UndoStep();
  EXPECT_EQ(l.Count(), 0);
  l.History().RedoStep();
  EXPECT_EQ(l.Count(), 3);
  // An item created straight into the list is recorded under its own Id.
  TNote* d = TDataItem::Make<TNote>(&l);
  EXPECT_EQ(l.Count(), 4);
  l.History().UndoStep();
  EXPECT_EQ(l.IndexOfId(d->Id()), -1);
  EXPECT_EQ(l.Count(), 3);
  // Bulk operations are never recorded.
  TNoteList other;
  other.AddText("x,1");
  int before = l.History().Count();
  l.AddList(&other);
  EXPECT_EQ(l.History().Count(), before);
}

// Random additions, edits, deletions, undos and redos keep an auto-sorted list in order; the
// items placed one by one after an edit end where a full sort would put them.
TEST(UndoDataList, RandomHistoryKeepsTheListSorted) {
  std::mt19937 rng(7);
  TNoteList l;
  std::uniform_int_distribution<int> op(0, 5), letter(0, 7);
  auto name = [&] { return std::string(1 + letter(rng) % 3, static_cast<char>('a' + letter(rng))); };
  for (int step = 0; step < 600; ++step) {
    int o = op(rng);
    if (o == 0 || l.Count() < 3) l.AddText(name() + ",x");
    else if (o == 1) l.At(letter(rng) % l.Count())->SetName(name());
    else if (o == 2) l.Delete(letter(rng) % l.Count());
    else if (o == 3) l.History().UndoStep();
    else if (o == 4) l.History().RedoStep();
    else l.At(letter(rng) % l.Count())->SetNote(name());
    for (int i = 1; i < l.Count(); ++i)
      ASSERT_LT(TDataList::StandardCompare(l.Items(i - 1), l.Items(i)), 0) << "step " << step;
  }
  std::vector<TDataItem*> before;
  for (int i = 0; i < l.Count(); ++i) before.push_back(l.Items(i));
  l.Exchange(0, l.Count() - 1);  // moved by hand: the next sort sorts everything
  l.Sort();
  for (int i = 0; i < l.Count(); ++i) EXPECT_EQ(l.Items(i), before[static_cast<size_t>(i)]);
}

TEST(UndoDataList, AnOlderEditFindsTheEntryBroughtBackFromTheTrash) {
  TNoteList l;
  auto* a = static_cast<TNote*>(l.AddText("a,1"));
  l.AddText("b,1");
  a->SetNote("2");
  l.Delete(l.IndexOfId(a->Id()));
  l.History().UndoStep();  // the deletion: the same object returns
  l.History().UndoStep();  // the edit finds it by its Id
  EXPECT_EQ(a->Note, "1");
  EXPECT_EQ(a->Owner(), &l);
  l.History().RedoSteps(2);
  EXPECT_EQ(a->Owner(), &l.Trash());
  EXPECT_EQ(a->Note, "2");
}
