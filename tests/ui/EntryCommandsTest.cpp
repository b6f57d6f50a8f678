#include <gtest/gtest.h>

#include "CommaText.h"
#include "Files.h"
#include "ui/EntryFakes.h"

using namespace kaede;
using namespace kaede::test;

namespace {

// The main window as far as the entry commands see it: the list frame, the editing pane and
// the steps of the window's own events.
struct Window : IEntryHost, IEntryDialogs {
  TRecordingHost messages;
  TFakeListView listView;
  TDataListFrame frame{std::make_unique<TPersonList>(), &listView};
  TPersonList& book = static_cast<TPersonList&>(frame.List());
  TFakeFrameView pane;
  TFakeAddPersonView addDialog;
  TFakeUnifyView unifyDialog;
  TFakeSenderView senderDialog;
  TPersonList senders;
  TEntryCommands commands{frame, pane.editor, *this, *this};

  int classifyTab = -1, postSenderNo = 0, selectionEvents = 0, classifyRefreshes = 0;
  bool allTab = false;
  std::string status, inputAnswer;
  bool inputOk = true;

  Window() {
    senders.AutoSort = false;
    senders.RecordUndo = false;
    frame.OnIndexChange = [this] {
      if (commands.SelectionChanged()) ++selectionEvents;
    };
    book.OnClassifyChange = [this](TDataList*) { ClassificationsChanged(); };
  }
  ~Window() override {
    commands.Close();
    book.OnClassifyChange = nullptr;
    frame.OnIndexChange = nullptr;
  }

  void ShowStatus(const std::string& t) override { status = SjisToUtf8(t); }
  void ClassificationsChanged() override {
    ++classifyRefreshes;
    book.RebuildClassifications();
    commands.RefreshEditorClassifications();
  }
  void CountsChanged() override {}
  void ListCaptionsChanged() override {}
  void PrintAreaChanged() override {}
  int ClassifyTabNo() const override { return classifyTab; }
  void ShowAllTab() override {
    allTab = true;
    frame.List().ClearFilter(true);
  }
  bool InputText(const std::string&, const std::string&, std::string& value) override {
    value = inputAnswer;
    return inputOk;
  }
  TPersonList& SenderList() override { return senders; }
  int PostSenderIndex() const override { return postSenderNo > 0 ? postSenderNo - 1 : 0; }
  void SetPostSenderNo(int no) override { postSenderNo = no; }
  TAddPerson& AddPerson() override { return addDialog.logic; }
  TPersonFormUnify& FormatUnify() override { return unifyDialog.logic; }
  TSenderEditor& Senders() override { return senderDialog.logic; }

  // Loads a book of "name,reading,..." lines as opening a book file does.
  void Load(std::initializer_list<const char*> lines) {
    book.RecordUndo = false;
    WithUpdate(book, [&] {
      book.Clear();
      for (const char* l : lines) book.AddText(S(l));
    });
    book.RecordUndo = true;
  }
  void Select(const char* utf8Name) {
    for (int i = 0; i < book.Count(); ++i)
      if (book.Persons(i)->Name() == S(utf8Name)) return frame.SelectIndex(i);
    ADD_FAILURE() << "no " << utf8Name;
  }
  std::string SelectedName() {
    auto* p = static_cast<TPerson*>(frame.Selected());
    return p ? SjisToUtf8(p->Name()) : "<none>";
  }
  TPerson* Entry(const char* utf8Name) {
    for (int i = 0; i < book.AllCount(); ++i)
      if (book.AllPersons(i)->Name() == S(utf8Name)) return book.AllPersons(i);
    return nullptr;
  }
  std::vector<std::string> Names() { return test::Names(book); }
};

}  // namespace

TEST(EntryCommands, EditsOfOneEntryAreWrittenBackAsOneUndoStep) {
  Window w;
  SetTodayForTesting({2025, 3, 9});
  w.Load({"A,a", "B,b"});
  w.Select("B");
  ASSERT_TRUE(w.pane.enabled);
  EXPECT_EQ(w.book.History().Count(), 0);
  w.pane.TypeName("B1");
  w.pane.TypeYomi("b1");
  w.pane.editor.AddressChanged("1000001", SL({"東京都"}));
  TPerson* b = w.Entry("B1");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Yomi(), "b1");
  EXPECT_EQ(b->Postal(), "1000001");
  EXPECT_EQ(DateToText(b->Updated()), "2025/3/9");
  EXPECT_EQ(w.status, "更新日: 2025/3/9");
  EXPECT_EQ(w.book.History().Count(), 1);
  EXPECT_FALSE(w.book.Modified() && FileExists(w.book.FileName));  // no file: nothing saved

  w.commands.Undo();
  EXPECT_EQ(w.Entry("B1"), nullptr);
  EXPECT_EQ(w.SelectedName(), "B");
  EXPECT_EQ(w.pane.name, "B");  // the pane shows the entry as it is again
  EXPECT_EQ(w.pane.editor.Person().Postal(), "");
  EXPECT_TRUE(w.pane.editor.Edited());  // so that the next completion saves the undone state
  w.commands.Redo();
  EXPECT_NE(w.Entry("B1"), nullptr);
}

TEST(EntryCommands, EditingTheReadingResortsAndKeepsTheSelection) {
  Window w;
  w.Load({"A,a", "B,b", "C,c"});
  w.Select("A");
  int events = w.selectionEvents;
  w.pane.TypeYomi("z");
  EXPECT_EQ(w.Names(), (std::vector<std::string>{"B", "C", "A"}));
  EXPECT_EQ(w.SelectedName(), "A");
  // the write-back moved the selection about, which the window does not hear of
  EXPECT_EQ(w.selectionEvents, events);
  w.pane.TypeName("A2");
  EXPECT_EQ(w.SelectedName(), "A2");
}

TEST(EntryCommands, DeletingSelectsTheEntryAtTheSamePlaceOrNothing) {
  Window w;
  w.Load({"A,a", "B,b", "C,c"});
  w.Select("C");
  w.commands.Delete();
  EXPECT_EQ(w.SelectedName(), "B");
  EXPECT_EQ(w.pane.name, "B");
  w.Select("A");
  w.commands.Delete();
  EXPECT_EQ(w.SelectedName(), "B");
  w.commands.Delete();
  EXPECT_EQ(w.SelectedName(), "<none>");
  EXPECT_FALSE(w.pane.enabled);
  EXPECT_FALSE(w.commands.CanDelete());
  w.commands.Delete();  // nothing to delete
  w.commands.Undo();
  EXPECT_EQ(w.Names(), (std::vector<std::string>{"B"}));
}

TEST(EntryCommands, AddingOnAClassificationTabGivesTheEntryThatClassification) {
  Window w;
  w.Load({"A,a,,,,,,家族", "B,b,,,,,,友人"});
  w.classifyTab = 0;  // 家族
  w.addDialog.script.OnRun = [](TFakeAddPersonView& v) {
    v.Type("山田", "やまだ");
    return true;
  };
  w.commands.Add();
  EXPECT_EQ(w.SelectedName(), "山田");
  TPerson* p = w.Entry("山田");
  ASSERT_NE(p, nullptr);
  EXPECT_SJ_EQ("やまだ", p->Yomi());
  EXPECT_EQ(U8L(p->Classify().Lines()), (std::vector<std::string>{"家族"}));
  EXPECT_EQ(w.pane.name, S("山田"));
  EXPECT_TRUE(w.pane.nameFocused);
  EXPECT_TRUE(w.pane.editor.Edited());
  // the addition is one step
  w.commands.Undo();
  EXPECT_EQ(w.book.Count(), 2);
  EXPECT_EQ(w.Entry("山田"), nullptr);

  w.classifyTab = -1;
  w.addDialog.script.OnRun = [](TFakeAddPersonView&) { return false; };
  w.commands.Add();
  EXPECT_EQ(w.book.Count(), 2);
}

TEST(EntryCommands, AnEditLeftForANewEntryIsCompletedAsItsOwnStep) {
  Window w;
  w.Load({"山田,やまだ", "花子,はなこ,,,,,,,夫:山田"});
  w.Select("山田");
  w.pane.TypeName("山田太郎");
  w.addDialog.script.OnRun = [](TFakeAddPersonView& v) {
    v.Type("新人", "しんじん");
    return true;
  };
  w.commands.Add();
  EXPECT_SJ_EQ("夫:山田太郎", w.Entry("花子")->Relations()[0]);
  w.commands.Undo();
  EXPECT_EQ(w.Entry("新人"), nullptr);
  EXPECT_SJ_EQ("夫:山田太郎", w.Entry("花子")->Relations()[0]);
  EXPECT_NE(w.Entry("山田太郎"), nullptr);
  // the rename of the relations is a step of its own: undoing everything undoes it too
  while (w.book.History().CanUndo()) w.commands.Undo();
  EXPECT_NE(w.Entry("山田"), nullptr);
  EXPECT_SJ_EQ("夫:山田", w.Entry("花子")->Relations()[0]);
}

TEST(EntryCommands, ACompletedEditRenamesRelationsButNotAfterTheRenameWasUndone) {
  Window w;
  w.Load({"山田,やまだ", "花子,はなこ,,,,,,,夫:山田|兄:山田一郎"});
  w.Select("山田");
  w.pane.TypeName("山田太郎");
  w.Select("花子");
  EXPECT_EQ(U8L(w.Entry("花子")->Relations().Lines()), (std::vector<std::string>{"夫:山田太郎", "兄:山田一郎"}));

  // an undo before leaving the entry takes the new name back: the relations keep the name
  // that the entry has again
  w.Select("山田太郎");
  w.pane.TypeName("山田次郎");
  w.commands.Undo();
  EXPECT_EQ(w.SelectedName(), "山田太郎");
  w.Select("花子");
  EXPECT_EQ(U8L(w.Entry("花子")->Relations().Lines()), (std::vector<std::string>{"夫:山田太郎", "兄:山田一郎"}));

  // undone and redone while pending, the rename stays pending: leaving the entry renames the
  // relations as a step of its own, and undoing every step gives back what was loaded
  w.Select("山田太郎");
  w.pane.TypeName("山田次郎");
  w.commands.Undo();
  w.commands.Redo();
  EXPECT_EQ(w.SelectedName(), "山田次郎");
  w.Select("花子");
  EXPECT_EQ(U8L(w.Entry("花子")->Relations().Lines()), (std::vector<std::string>{"夫:山田次郎", "兄:山田一郎"}));
  while (w.book.History().CanUndo()) w.commands.Undo();
  EXPECT_EQ(U8L(w.Entry("花子")->Relations().Lines()), (std::vector<std::string>{"夫:山田", "兄:山田一郎"}));
  EXPECT_NE(w.Entry("山田"), nullptr);
}

TEST(EntryCommands, AnEditIsCompletedInTheBookItWasMadeIn) {
  TempDir dir;
  std::string first = dir.File("a.kad"), second = dir.File("b.kad");
  WriteFileAtomic(first, S("山田,やまだ\r\n"));
  WriteFileAtomic(second, S("花子,はなこ,,,,,,,夫:山田\r\n山田,やまだ\r\n"));
  Window w;
  w.book.Open(first, false);
  w.pane.TypeName("山田太郎");
  // the window completes the edit before it opens another book
  w.commands.CompleteEdit();
  EXPECT_NE(ReadFileBytes(first).find(S("山田太郎")), std::string::npos);
  w.pane.TypeName("山田次郎");
  w.book.Open(second, false);
  // an edit left pending renames nothing in the book that took its place
  EXPECT_EQ(U8L(w.Entry("花子")->Relations().Lines()), (std::vector<std::string>{"夫:山田"}));
  EXPECT_EQ(w.SelectedName(), "花子");
}

TEST(EntryCommands, ClassificationCommandsReachTheWorkingCopy) {
  Window w;
  w.Load({"A,a,,,,,,家族", "B,b,,,,,,家族|友人"});
  w.Select("B");
  w.inputAnswer = "";
  w.commands.AddClassify();
  EXPECT_EQ(w.Entry("B")->Classify().Count(), 2);
  w.inputAnswer = S("仕事");
  w.commands.AddClassify();
  EXPECT_EQ(U8L(w.Entry("B")->Classify().Lines()), (std::vector<std::string>{"家族", "友人", "仕事"}));
  EXPECT_EQ(w.pane.editor.Person().Classify().Count(), 3);
  EXPECT_TRUE(w.pane.editor.Edited());

  w.messages.ConfirmAnswer = false;
  w.commands.DeleteClassify(S("家族"));
  ASSERT_EQ(w.messages.Confirms.size(), 1u);
  EXPECT_EQ(w.messages.Confirms[0], "\"家族\"という分類を削除します。よろしいですか？");
  EXPECT_EQ(w.Entry("A")->Classify().Count(), 1);
  w.messages.ConfirmAnswer = true;
  w.commands.DeleteClassify(S("家族"));
  EXPECT_EQ(w.Entry("A")->Classify().Count(), 0);
  // the next edit of the entry does not bring the deleted classification back
  w.pane.TypeYomi("bb");
  EXPECT_EQ(U8L(w.Entry("B")->Classify().Lines()), (std::vector<std::string>{"友人", "仕事"}));
  EXPECT_EQ(U8L(w.pane.classNames), (std::vector<std::string>{"友人", "仕事"}));
  EXPECT_EQ(w.pane.ticks, (std::vector<bool>{true, true}));

  w.inputAnswer = "";
  w.commands.EditClassify(S("友人"));
  EXPECT_EQ(w.Entry("B")->Classify()[0], S("友人"));
  w.inputAnswer = S("知人");
  w.commands.EditClassify(S("友人"));
  EXPECT_EQ(w.Entry("B")->Classify()[0], S("知人"));
}

TEST(EntryCommands, FormatUnificationRunsOnlyWithTickedSwitches) {
  Window w;
  w.Load({"山田　太郎,ヤマダ"});
  w.unifyDialog.script.OnRun = [](TFakeUnifyView& v) {
    v.checks.fill(false);
    return true;
  };
  w.commands.FormatUnify();
  EXPECT_SJ_EQ("山田　太郎", w.book.Persons(0)->Name());
  EXPECT_FALSE(w.pane.editor.Edited());
  w.unifyDialog.script.OnRun = [](TFakeUnifyView&) { return true; };
  w.commands.FormatUnify();
  EXPECT_SJ_EQ("山田 太郎", w.book.Persons(0)->Name());
  EXPECT_SJ_EQ("やまだ", w.book.Persons(0)->Yomi());
  EXPECT_SJ_EQ("山田 太郎", w.pane.name);
  EXPECT_TRUE(w.pane.editor.Edited());
  // the unification is one step of the history
  w.commands.Undo();
  EXPECT_SJ_EQ("山田　太郎", w.book.Persons(0)->Name());
  EXPECT_SJ_EQ("ヤマダ", w.book.Persons(0)->Yomi());
  EXPECT_FALSE(w.book.History().CanUndo());
  w.commands.Redo();
  EXPECT_SJ_EQ("山田 太郎", w.book.Persons(0)->Name());
}

TEST(EntryCommands, ARelationJumpFromAFilteredTabFallsBackToAllEntries) {
  Window w;
  w.Load({"ABC商事,えーびーしー", "山田,やまだ,,,,,,,勤務先:ABC商事|妻:"});
  w.book.FindMode = pfmKanaRow;
  w.book.FilterNo(7);  // や
  ASSERT_EQ(w.SelectedName(), "山田");
  w.pane.selected[ekRelation] = 1;
  w.pane.editor.RelationJump();  // a relation without a name goes nowhere
  EXPECT_FALSE(w.allTab);
  w.pane.selected[ekRelation] = 0;
  w.pane.editor.RelationJump();
  EXPECT_TRUE(w.allTab);
  EXPECT_EQ(w.SelectedName(), "ABC商事");
  EXPECT_SJ_EQ("ABC商事", w.pane.name);
}

TEST(EntryCommands, SendersAreEditedAndMadeFromTheSelectedEntry) {
  Window w;
  w.Load({"A,a,,,,1000001"});
  w.senderDialog.script.OnRun = [](TFakeSenderView& v) {
    v.logic.NameChanged(S("楓"));
    return true;
  };
  w.commands.EditSenders();
  ASSERT_EQ(w.senders.Count(), 1);
  EXPECT_SJ_EQ("楓", w.senders.Persons(0)->Name());
  EXPECT_EQ(w.postSenderNo, 1);

  EXPECT_SJ_EQ("“A”を差出人とする(&A)", w.commands.MakeSenderCaption());
  w.commands.MakeSender();
  ASSERT_EQ(w.senders.Count(), 2);
  EXPECT_EQ(w.senders.Persons(1)->Postal(), "1000001");
  EXPECT_EQ(w.postSenderNo, 2);
  EXPECT_EQ(w.messages.Infos, (std::vector<std::string>{"“A”を差出人2としました。"}));
}

// A user adds an entry, edits it, moves on, undoes the edit and quits: the file follows.
TEST(EntryCommands, EndToEndWithABookFile) {
  TempDir dir;
  std::string file = dir.File("住所録.kad");
  WriteFileAtomic(file, S("青木,あおき\r\n"));
  auto fileLines = [&] {
    TStrings lines;
    SplitLines(ReadFileBytes(file), lines);
    return U8L(lines);
  };
  {
    Window w;
    w.book.Open(file, false);
    ASSERT_EQ(w.SelectedName(), "青木");
    w.addDialog.script.OnRun = [](TFakeAddPersonView& v) {
      v.Type("山田", "やまだ");
      return true;
    };
    w.commands.Add();
    w.pane.editor.AddressChanged("1000001", SL({"東京都千代田区千代田"}));
    w.Select("青木");
    std::vector<std::string> saved = fileLines();
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0], "青木,あおき,,,,,,,,,0/0/0,0/0/0,,,");
    EXPECT_EQ(DecodeCommaText(saved[1])[5], "1000001");
    EXPECT_EQ(DecodeCommaText(saved[1])[6], "東京都千代田区千代田");

    w.commands.Undo();
    EXPECT_EQ(w.Entry("山田")->Postal(), "");
    EXPECT_EQ(DecodeCommaText(fileLines()[1])[5], "1000001");  // not saved yet
    w.commands.Close();
  }
  std::vector<std::string> quit = fileLines();
  ASSERT_EQ(quit.size(), 2u);
  EXPECT_EQ(DecodeCommaText(quit[1])[0], "山田");
  EXPECT_EQ(DecodeCommaText(quit[1])[5], "");
  EXPECT_EQ(DecodeCommaText(quit[1])[6], "");
}
