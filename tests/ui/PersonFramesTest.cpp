#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>

#include "CommaText.h"
#include "PersonFrames.h"
#include "RelationListBoxes.h"
#include "ui/EntryFakes.h"

using namespace kaede;
using namespace kaede::test;

namespace {

struct Pane {
  TRecordingHost host;
  TFakeFrameView view;
  TPersonEditor& editor = view.editor;
  TPersonList book;
  int changes = 0, done = 0;
  std::vector<std::string> jumps;
  Pane() {
    editor.OnChange = [this] { ++changes; };
    editor.OnModifiedDone = [this] { ++done; };
    editor.OnRelationJump = [this](const std::string& n) { jumps.push_back(SjisToUtf8(n)); };
    editor.Book = &book;
  }
  TPerson* Add(const char* utf8Line) { return book.AddPerson(S(utf8Line)); }
};

}  // namespace

TEST(PersonEditor, ShowsTheEntryAndAnEmptyReadingAsAPlaceholder) {
  Pane p;
  EXPECT_FALSE(p.view.enabled);
  TPerson* e = p.Add("山田太郎,,自宅:03-1234-5678|携帯:090-1111-2222,PC:t@example.jp,http://example.jp,1000001,東京都|千代田区");
  p.editor.SetPerson(e);
  EXPECT_TRUE(p.view.enabled);
  EXPECT_SJ_EQ("山田太郎", p.view.name);
  EXPECT_SJ_EQ("（よみ）", p.view.yomi);
  EXPECT_EQ(p.editor.Person().Yomi(), "");
  EXPECT_EQ(p.view.postal, "1000001");
  EXPECT_EQ(p.view.address.size(), 2u);
  EXPECT_EQ(p.view.lines[ekTel].size(), 2u);
  EXPECT_EQ(p.view.url, "http://example.jp");
  EXPECT_EQ(p.changes, 0);
  // changing the reading field stores what it holds
  p.view.TypeYomi("やまだ");
  EXPECT_SJ_EQ("やまだ", p.editor.Person().Yomi());
  EXPECT_EQ(p.changes, 1);
  EXPECT_TRUE(p.editor.Edited());
  // taking the entry away empties and disables the pane
  p.editor.SetPerson(nullptr);
  EXPECT_FALSE(p.view.enabled);
  EXPECT_EQ(p.view.name + p.view.yomi + p.view.postal, "");
  EXPECT_TRUE(p.view.lines[ekTel].empty());
}

TEST(PersonEditor, LeavingAChangedEntryCompletesTheEditOnce) {
  Pane p;
  TPerson* a = p.Add("A,a");
  TPerson* b = p.Add("B,b");
  p.editor.SetPerson(a);
  p.editor.SetPerson(b);
  EXPECT_EQ(p.done, 0);
  p.view.TypeName("B2");
  p.view.TypeName("B3");
  EXPECT_SJ_EQ("B", p.editor.Unedited().Name());
  EXPECT_EQ(p.editor.Person().Name(), "B3");
  p.editor.SetPerson(a);
  EXPECT_EQ(p.done, 1);
  p.editor.SetPerson(b);
  EXPECT_EQ(p.done, 1);
  // the owner marks its own commands, so that the next selection completes them too
  p.editor.SetEdited(true);
  p.editor.SetPerson(nullptr);
  EXPECT_EQ(p.done, 2);
}

TEST(PersonEditor, TheReadingFollowsTheNameTypedThroughTheInputMethod) {
  Pane p;
  p.editor.SetPerson(p.Add(""));
  p.view.TypeName("山田", "やまだ");
  EXPECT_SJ_EQ("やまだ", p.view.yomi);  // the placeholder is replaced, not appended to
  EXPECT_SJ_EQ("やまだ", p.editor.Person().Yomi());
  p.view.TypeName("山田太郎", "たろう");
  EXPECT_SJ_EQ("やまだたろう", p.editor.Person().Yomi());
  // a change without a new composition (a deleted character) leaves the reading alone
  p.view.TypeName("山田太", "");
  EXPECT_SJ_EQ("やまだたろう", p.editor.Person().Yomi());
  p.view.TypeName("");
  EXPECT_EQ(p.view.yomi, "");
  EXPECT_EQ(p.editor.Person().Yomi(), "");
  p.view.TypeName("山田", "やまだ");
  EXPECT_SJ_EQ("やまだ", p.editor.Person().Yomi());
  EXPECT_SJ_EQ("やまだ", p.editor.LastReading());
}

TEST(ReadingTracker, TheReadingIsTheLastKanaCompositionBeforeTheCommit) {
  TReadingTracker t;
  t.Preedit(S("ﾔﾏﾀﾞ"));
  t.Preedit(S("山田"));  // converted: not a reading
  t.Commit(S("山田"));
  EXPECT_SJ_EQ("やまだ", t.TakeReading());
  EXPECT_EQ(t.TakeReading(), "");  // once
  t.Preedit(S("カエデー"));
  t.Commit(S("楓"));
  EXPECT_SJ_EQ("かえでー", t.TakeReading());
  // a commit without a kana composition (a pasted candidate) has no reading
  t.Commit(S("東京"));
  EXPECT_EQ(t.TakeReading(), "");
  t.Preedit(S("ABC"));
  t.Commit("ABC");
  EXPECT_EQ(t.TakeReading(), "");
  EXPECT_TRUE(IsKanaText(S("がっこう")));
  EXPECT_FALSE(IsKanaText(S("学校")));
  EXPECT_FALSE(IsKanaText(""));
}

TEST(PersonEditor, TelephoneLinesAreAddedChangedCopiedAndDeletedThroughTheDialog) {
  Pane p;
  p.editor.SetPerson(p.Add("A,a,自宅:03-1234-5678|090-1111-2222"));
  TFakeRelationEditView& d = p.view.relationDialog;
  // without a selected line only "add" can run
  EXPECT_FALSE(p.editor.CanChangeEntry(ekTel));
  p.editor.EditEntry(ekTel);
  EXPECT_EQ(d.script.runs, 0);

  d.script.OnRun = [](TFakeRelationEditView& v) {
    v.kind = S("FAX");
    v.value = "03-9999-0000";
    return true;
  };
  p.editor.AddEntry(ekTel);
  EXPECT_FALSE(d.chooserShown);
  EXPECT_SJ_EQ("電話番号の追加", d.caption);
  EXPECT_EQ(p.editor.Person().Tels().Count(), 3);
  EXPECT_EQ(p.view.lines[ekTel].size(), 3u);
  EXPECT_EQ(p.changes, 1);

  // the number stored without a kind shows whole, and OK keeps it
  p.view.selected[ekTel] = 1;
  TStrings shown;
  d.script.OnRun = [&](TFakeRelationEditView& v) {
    shown = {v.kind, v.value};
    v.kind = S("携帯");
    return true;
  };
  p.editor.EditEntry(ekTel);
  EXPECT_EQ(U8L(shown), (std::vector<std::string>{"", "090-1111-2222"}));
  EXPECT_SJ_EQ("携帯:090-1111-2222", p.editor.Person().Tels()[1]);
  EXPECT_EQ(p.view.selected[ekTel], 1);

  p.editor.CopyEntry(ekTel);
  EXPECT_EQ(p.view.clipboard, "090-1111-2222");
  // a cancelled dialog changes nothing
  d.script.OnRun = [](TFakeRelationEditView&) { return false; };
  p.editor.EditEntry(ekTel);
  EXPECT_EQ(p.changes, 2);

  p.view.selected[ekTel] = 2;
  p.editor.DeleteEntry(ekTel);
  EXPECT_EQ(p.editor.Person().Tels().Count(), 2);
  EXPECT_EQ(p.view.selected[ekTel], 1);
  EXPECT_EQ(p.changes, 3);
}

TEST(PersonEditor, RelationsUseTheChooserAndJumpToTheRelatedName) {
  Pane p;
  p.Add("ABC商事,えーびーしー");
  p.editor.SetPerson(p.Add("山田,やまだ,,,,,,,勤務先:ABC商事|妻:"));
  TFakeRelationEditView& d = p.view.relationDialog;
  d.script.OnRun = [](TFakeRelationEditView& v) {
    v.kind = S("実家");
    return true;
  };
  p.editor.AddEntry(ekRelation);
  EXPECT_TRUE(d.chooserShown);
  EXPECT_EQ(d.logic.Book(), &p.book);
  EXPECT_EQ(p.editor.Person().Relations().Count(), 3);

  p.view.selected[ekRelation] = -1;
  p.editor.RelationJump();  // nothing selected
  EXPECT_TRUE(p.jumps.empty());
  p.view.selected[ekRelation] = 0;
  p.editor.RelationJump();
  EXPECT_EQ(p.jumps, (std::vector<std::string>{"ABC商事"}));

  // the mail list sends to the value alone
  p.editor.Person().Mails().Add("PC:t@example.jp?cc=x@example.jp");
  p.view.selected[ekMail] = 0;
  p.editor.SendMail();
  EXPECT_EQ(p.view.opened, (std::vector<std::string>{"mailto:t@example.jp"}));
}

TEST(PersonEditor, DetailsReplaceTheCopyAndRecommendASpaceForJointNames) {
  Pane p;
  p.editor.SetPerson(p.Add("山田太郎,やまだたろう"));
  p.view.TypeYomi("やまだ");
  TFakeDetailView& d = p.view.detailDialog;
  d.script.OnRun = [](TFakeDetailView& v) {
    EXPECT_SJ_EQ("（自動）", v.keisyo);
    v.renmei = SL({"花子"});
    return true;
  };
  p.editor.Detail();
  // the pending edit is completed first; the result is the new working copy
  EXPECT_EQ(p.done, 1);
  EXPECT_EQ(p.editor.Person().Renmei().Count(), 1);
  EXPECT_EQ(p.editor.Person().Keisyo(), "");
  EXPECT_SJ_EQ("やまだ", p.editor.Unedited().Yomi());
  EXPECT_TRUE(p.editor.Edited());
  ASSERT_EQ(p.host.Infos.size(), 1u);
  EXPECT_EQ(p.host.Infos[0], "連名を設定する場合は、“山田太郎”の名字と名前の間に半角空白を入れることをお薦めします。");

  p.view.TypeName("山田 太郎");
  p.editor.Detail();
  EXPECT_EQ(p.host.Infos.size(), 1u);
}

TEST(PersonEditor, ClassificationTicksFollowTheEntry) {
  Pane p;
  p.Add("A,a,,,,,,家族|友人");
  TPerson* b = p.Add("B,b,,,,,,友人");
  TStrings names = p.book.Classifications();
  p.editor.SetClassifications(&names);
  EXPECT_EQ(p.view.ticks, (std::vector<bool>{false, false}));
  p.editor.SetPerson(b);
  EXPECT_EQ(p.view.ticks, (std::vector<bool>{false, true}));
  p.editor.ClassifyToggled(S("家族"), true);
  p.editor.ClassifyToggled(S("友人"), false);
  EXPECT_EQ(U8L(p.editor.Person().Classify().Lines()), (std::vector<std::string>{"家族"}));
  EXPECT_EQ(p.changes, 2);
  p.editor.SetClassifications(nullptr);
  EXPECT_TRUE(p.view.classNames.empty());
}

TEST(PersonEditor, OnlyWebAddressesAndMailAddressesAreOpened) {
  EXPECT_EQ(HomePageTarget("http://example.jp/"), "http://example.jp/");
  EXPECT_EQ(HomePageTarget(" HTTPS://example.jp "), "HTTPS://example.jp");
  EXPECT_EQ(HomePageTarget("www.example.jp"), "http://www.example.jp");
  EXPECT_EQ(HomePageTarget("example.jp:8080/a"), "http://example.jp:8080/a");
  for (const char* bad : {"", "/usr/bin/xterm", "file:///etc/passwd", "javascript:alert(1)", "~/x", "ftp://x", "smb://h/s"})
    EXPECT_EQ(HomePageTarget(bad), "") << bad;
  EXPECT_EQ(MailTarget("a@example.jp"), "mailto:a@example.jp");
  EXPECT_EQ(MailTarget("a@example.jp?attach=/etc/passwd"), "mailto:a@example.jp");
  EXPECT_EQ(MailTarget(" "), "");

  Pane p;
  p.editor.SetPerson(p.Add("A,a"));
  p.view.url = "/bin/sh";
  p.editor.ShowHomePage();
  EXPECT_TRUE(p.view.opened.empty());
  p.view.url = "example.jp";
  p.editor.ShowHomePage();
  EXPECT_EQ(p.view.opened, (std::vector<std::string>{"http://example.jp"}));
}

TEST(PersonFrameLayout, ProportionsRoundHalvesToEven) {
  TPersonFrameLayout l = LayoutPersonFrame(410, 510, 28, 22);
  EXPECT_EQ(l.Address.height(), 76);        // 76.5
  EXPECT_EQ(l.Tels.height(), 102);
  EXPECT_EQ(l.Classify.width(), 144);       // 143.5
  EXPECT_EQ(l.Tels.right() + 1, 410 / 2);
  EXPECT_EQ(l.MailButton.left(), l.Tels.right() + 1 + 2);
  EXPECT_EQ(l.Mails.right() + 1, 410 - 4);
  EXPECT_EQ(l.Url.top(), l.Mails.bottom() + 1 + 4);
  EXPECT_EQ(l.Url.bottom() + 1, l.Tels.bottom() + 1);
  EXPECT_EQ(l.Classify.top(), l.Tels.bottom() + 1 + 4);
  EXPECT_EQ(l.Classify.height(), (510 - l.Classify.top()) / 2);
  EXPECT_EQ(l.Relations.right() + 1, 410 - 4);
  EXPECT_EQ(l.Remarks.bottom() + 1, 510 - 4);
  EXPECT_EQ(l.Remarks.width(), l.Name.width());
}

// The pane as a user sees it, with a rich entry; the picture is left in the build folder.
TEST(PersonFrameWidget, ShowsARichEntryAndReportsTypedChanges) {
  TRecordingHost host;
  TPersonList book;
  book.AddPerson(S("楓商事株式会社,かえでしょうじ"));
  // name, reading, telephones, mails, home page, code, address, classifications, relations,
  // remarks, registered, updated, honorific, title, joint names
  TPerson* e = book.AddPerson(EncodeCommaText(SL({"山田 太郎", "やまだ たろう", "自宅:03-1234-5678|携帯:090-1111-2222",
                                                 "PC:taro@example.jp|携帯:taro@mobile.example.jp", "http://example.jp/yamada",
                                                 "1000001", "東京都千代田区千代田１－１|楓マンション１０１", "家族|友人",
                                                 "勤務先:楓商事株式会社|妻:山田 花子", "年賀状は毎年|住所変更 2024年", "2020/4/1",
                                                 "2024/12/24", "様", "部長", "花子|様|一郎|くん"})));
  book.AddPerson(S(",,,,,,,取引先"));
  TPersonFrame frame;
  frame.resize(420, 560);
  TPersonEditor& ed = frame.Editor();
  int changes = 0;
  std::vector<std::string> jumps;
  ed.OnChange = [&] { ++changes; };
  ed.OnRelationJump = [&](const std::string& n) { jumps.push_back(SjisToUtf8(n)); };
  TStrings names = book.Classifications();
  ed.SetClassifications(&names);
  ed.SetPerson(e);
  frame.show();
  QApplication::processEvents();
  QPixmap shot = frame.grab();
  ASSERT_FALSE(shot.isNull());
  EXPECT_TRUE(shot.save(QStringLiteral(KAEDE_BINARY_DIR "/person-frame.png")));

  EXPECT_EQ(frame.EntryList(ekTel)->count(), 2);
  EXPECT_EQ(frame.CheckListBoxClassify()->item(0)->checkState(), Qt::Checked);
  EXPECT_EQ(frame.CheckListBoxClassify()->item(2)->checkState(), Qt::Unchecked);
  EXPECT_EQ(changes, 0);
  frame.EditYomi()->setText(QStringLiteral("やまだ"));
  EXPECT_EQ(changes, 1);
  EXPECT_SJ_EQ("やまだ", ed.Person().Yomi());
  frame.CheckListBoxClassify()->item(2)->setCheckState(Qt::Checked);
  QApplication::processEvents();
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(ed.Person().Classify().Count(), 3);

  TRelationListBox* relations = frame.EntryList(ekRelation);
  relations->setCurrentRow(0);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(relations, &enter);
  EXPECT_EQ(jumps, (std::vector<std::string>{"楓商事株式会社"}));
}
