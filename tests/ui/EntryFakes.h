#pragma once
// Views without widgets for the editing screens, a message host that records what it was
// asked, and a small postal-code dictionary.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AddPersonDialogs.h"
#include "AppHost.h"
#include "EditAddresses.h"
#include "EntryCommands.h"
#include "PersonDetailDialogs.h"
#include "PersonFormUnifyDialogs.h"
#include "PersonFrames.h"
#include "PersonSelectDialogs.h"
#include "PostalDatas.h"
#include "RelationEditDialogs.h"
#include "SenderPersonDialogs.h"
#include "TestUtil.h"
#include "ui/FakeViews.h"

namespace kaede::test {

inline std::string S(const char* utf8) { return Utf8ToSjis(utf8); }
inline TStrings SL(std::initializer_list<const char*> utf8) {
  TStrings l;
  for (const char* s : utf8) l.push_back(Utf8ToSjis(s));
  return l;
}
inline std::vector<std::string> U8L(const TStrings& l) {
  std::vector<std::string> r;
  for (const std::string& s : l) r.push_back(SjisToUtf8(s));
  return r;
}

// The names of the visible entries, in order.
inline std::vector<std::string> Names(const TPersonList& list) {
  std::vector<std::string> r;
  for (int i = 0; i < list.Count(); ++i) r.push_back(SjisToUtf8(list.Persons(i)->Name()));
  return r;
}

// Records messages; Confirm answers as told.
class TRecordingHost : public IAppHost {
public:
  TRecordingHost() { SetAppHost(this); }
  ~TRecordingHost() override { SetAppHost(nullptr); }
  std::vector<std::string> Infos, Errors, Confirms;  // UTF-8
  bool ConfirmAnswer = true;
  // The data-folder dialog the settings ask for (none: the headless answer).
  std::function<std::unique_ptr<TDataPathChooser>()> MakeChooser;
  std::unique_ptr<TDataPathChooser> CreateDataPathChooser() override {
    return MakeChooser ? MakeChooser() : nullptr;
  }
  void ShowInfo(const std::string& t) override { Infos.push_back(SjisToUtf8(t)); }
  void ShowError(const std::string& t) override { Errors.push_back(SjisToUtf8(t)); }
  bool Confirm(const std::string& t) override {
    Confirms.push_back(SjisToUtf8(t));
    return ConfirmAnswer;
  }
};

// A dictionary with towns that carry notes, a code shared by two towns, and a city whose
// address finds a single code.
class TSmallDictionary {
public:
  TSmallDictionary() {
    TPostalLists l;
    l.Postal = SL({"1000001千代田", "1000002皇居外苑", "0600042大通西（１～１９丁目）", "0640820大通西（２０～２８丁目）",
                   "0720819共練町東", "0720819共練町西"});
    l.Ken = {RangeLine(0, S("東京都")), RangeLine(2, S("北海道"))};
    l.City = {RangeLine(0, S("千代田区")), RangeLine(2, S("札幌市中央区")), RangeLine(4, S("美唄市"))};
    SavePostalFiles(FDir.Path(), l);
    FData = std::make_unique<TPostalData>(std::vector<std::string>{FDir.Path()});
    SetSharedPostalData(FData.get());
  }
  ~TSmallDictionary() { SetSharedPostalData(nullptr); }

private:
  TempDir FDir;
  std::unique_ptr<TPostalData> FData;
};

class TFakeAddressView : public IEditAddressView {
public:
  std::string postal, memo, focus;  // focus: "postal", "memo" or "pick"
  TStrings pick;
  bool pickShown = false, pickBelowMemo = false;
  TAddressCompleter completer{this};
  std::string PostalText() const override { return postal; }
  void SetPostalField(const std::string& t) override { postal = t; }
  std::string MemoText() const override { return memo; }
  void SetMemoText(const std::string& t) override { memo = t; }
  void FocusPostal() override { focus = "postal"; }
  void FocusMemo() override { focus = "memo"; }
  void ShowPickList(const TStrings& lines, bool belowMemo, bool takeFocus) override {
    pick = lines, pickShown = true, pickBelowMemo = belowMemo;
    if (takeFocus) focus = "pick";
  }
  void HidePickList() override { pickShown = false; }
  // The user types into a field.
  void TypePostal(const char* t) {
    postal = t;
    completer.PostalChanged();
  }
  void TypeMemo(const char* utf8) {
    memo = S(utf8);
    completer.MemoChanged();
  }
};

// A dialog view whose modal run is a script: it may change the fields, and answers OK or not.
template <class TView>
struct TScripted {
  std::function<bool(TView&)> OnRun = [](TView&) { return true; };
  int runs = 0;
  bool Run(TView& v) {
    ++runs;
    return OnRun(v);
  }
};

class TFakePersonSelectView : public IPersonSelectView {
public:
  TFakeListView list;
  TPersonSelect logic{&list, this};
  TScripted<TFakePersonSelectView> script;
  bool RunModal() override { return script.Run(*this); }
};

class TFakeRelationEditView : public IRelationEditView {
public:
  std::string caption, valueLabel, kind, value;
  TStrings kinds;
  bool chooserShown = false;
  TRelationEdit logic{this};
  TFakePersonSelectView chooser;
  TScripted<TFakeRelationEditView> script;
  void SetCaption(const std::string& c) override { caption = c; }
  void SetKinds(const TStrings& k) override { kinds = k; }
  void SetValueLabel(const std::string& l) override { valueLabel = l; }
  std::string KindText() const override { return kind; }
  void SetKindText(const std::string& t) override { kind = t; }
  std::string ValueText() const override { return value; }
  void SetValueText(const std::string& t) override { value = t; }
  void ShowChooserButton(bool show) override { chooserShown = show; }
  bool RunModal() override { return script.Run(*this); }
  TPersonSelect& PersonChooser() override { return chooser.logic; }
};

class TFakeDetailView : public IPersonDetailView {
public:
  std::string keisyo, title;
  TStrings renmei;
  TPersonDetail logic{this};
  TScripted<TFakeDetailView> script;
  std::string KeisyoText() const override { return keisyo; }
  void SetKeisyoText(const std::string& t) override { keisyo = t; }
  std::string TitleText() const override { return title; }
  void SetTitleText(const std::string& t) override { title = t; }
  TStrings RenmeiLines() const override { return renmei; }
  void SetRenmeiLines(const TStrings& l) override { renmei = l; }
  bool RunModal() override { return script.Run(*this); }
};

class TFakeAddPersonView : public IAddPersonView {
public:
  std::string name, yomi;
  bool nameFocused = false;
  TAddPerson logic{this};
  TScripted<TFakeAddPersonView> script;
  std::string NameText() const override { return name; }
  void SetNameText(const std::string& t) override { name = t; }
  std::string YomiText() const override { return yomi; }
  void SetYomiText(const std::string& t) override { yomi = t; }
  void FocusName() override { nameFocused = true; }
  bool RunModal() override { return script.Run(*this); }
  // The user commits text through the input method (reading: the kana it was typed as).
  void Type(const char* utf8, const char* readingUtf8 = "") {
    name += S(utf8);
    logic.NameChanged(name, S(readingUtf8));
  }
};

class TFakeUnifyView : public IPersonFormUnifyView {
public:
  std::array<bool, 6> checks{};
  TPersonFormUnify logic{this};
  TScripted<TFakeUnifyView> script;
  void SetChecks(const std::array<bool, 6>& c) override { checks = c; }
  std::array<bool, 6> Checks() const override { return checks; }
  bool RunModal() override { return script.Run(*this); }
};

class TFakeSenderView : public ISenderPersonView {
public:
  TStrings tabs;
  int tab = -1;
  std::string name, postal;
  TStrings address, renmei, tels, mails;
  bool deleteEnabled = false;
  TSenderEditor logic{this};
  TScripted<TFakeSenderView> script;
  void SetTabs(const TStrings& c) override { tabs = c; }
  void SelectTab(int i) override { tab = i; }
  void SetNameText(const std::string& t) override { name = t; }
  void SetAddress(const std::string& p, const TStrings& l) override { postal = p, address = l; }
  void SetRenmeiLines(const TStrings& l) override { renmei = l; }
  void SetTelLines(const TStrings& l) override { tels = l; }
  void SetMailLines(const TStrings& l) override { mails = l; }
  void SetDeleteEnabled(bool e) override { deleteEnabled = e; }
  void FocusName() override {}
  bool RunModal() override { return script.Run(*this); }
};

class TFakeFrameView : public IPersonFrameView {
public:
  bool enabled = false, nameFocused = false;
  std::string name, yomi, postal, url, clipboard;
  TStrings address, remarks, classNames;
  TStrings lines[3];
  int selected[3] = {-1, -1, -1};
  std::vector<bool> ticks;
  std::vector<std::string> opened;
  TFakeRelationEditView relationDialog;
  TFakeDetailView detailDialog;
  TPersonEditor editor{this};

  void SetFrameEnabled(bool e) override { enabled = e; }
  void SetNameText(const std::string& t) override { name = t; }
  std::string YomiText() const override { return yomi; }
  void SetYomiText(const std::string& t) override { yomi = t; }
  void SetAddress(const std::string& p, const TStrings& l) override { postal = p, address = l; }
  void SetEntryLines(TEntryKind k, const TStrings& l, int sel) override { lines[k] = l, selected[k] = sel; }
  int SelectedEntry(TEntryKind k) const override { return selected[k]; }
  std::string UrlText() const override { return url; }
  void SetUrlText(const std::string& t) override { url = t; }
  void SetClassifyItems(const TStrings& n) override { classNames = n, ticks.assign(n.size(), false); }
  void SetClassifyTick(int i, bool t) override { ticks.at(static_cast<size_t>(i)) = t; }
  void SetRemarkLines(const TStrings& l) override { remarks = l; }
  void FocusName(bool) override { nameFocused = true; }
  void SetClipboardText(const std::string& t) override { clipboard = t; }
  void OpenShell(const std::string& t) override { opened.push_back(t); }
  TRelationEdit& RelationDialog() override { return relationDialog.logic; }
  TPersonDetail& DetailDialog() override { return detailDialog.logic; }

  // The user edits fields.
  void TypeName(const char* utf8, const char* readingUtf8 = "") {
    name = S(utf8);
    editor.NameChanged(name, S(readingUtf8));
  }
  void TypeYomi(const char* utf8) {
    yomi = S(utf8);
    editor.YomiChanged(yomi);
  }
};

}  // namespace kaede::test
