#include "PersonFrames.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <cmath>

#include "AppHost.h"
#include "CommaText.h"
#include "DialogParts.h"
#include "EditAddresses.h"
#include "Files.h"
#include "NengaMarks.h"
#include "PersonDetailDialogs.h"
#include "QtText.h"
#include "RelationEditDialogs.h"
#include "RelationListBoxes.h"
#include "UiErrors.h"

namespace kaede {

namespace {

std::string Trimmed(const std::string& s) {
  size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return std::string();
  size_t b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

bool StartsWithNoCase(const std::string& s, const char* prefix) {
  size_t n = std::char_traits<char>::length(prefix);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  return true;
}

struct TKindTexts {
  std::string Add, Edit, Copy, Delete, ValueLabel;
};

const TKindTexts& KindTexts(TEntryKind kind) {
  static const TKindTexts texts[3] = {
      {SJ("電話番号の追加"), SJ("電話番号の修正"), SJ("電話番号のコピー"), SJ("電話番号の削除"), SJ("電話番号：")},
      {SJ("メールアドレスの追加"), SJ("メールアドレスの修正"), SJ("メールアドレスのコピー"), SJ("メールアドレスの削除"),
       SJ("メールアドレス：")},
      {SJ("関連先の追加"), SJ("関連先の修正"), "", SJ("関連先の削除"), SJ("関連先：")},
  };
  return texts[kind];
}

}  // namespace

std::string HomePageTarget(const std::string& url) {
  std::string u = Trimmed(url);
  if (u.empty()) return std::string();
  if (StartsWithNoCase(u, "http://") || StartsWithNoCase(u, "https://")) return u;
  // a path, or a scheme other than the web's, would open a local file or run a handler
  if (u[0] == '/' || u[0] == '.' || u[0] == '~' || u[0] == '\\' || u.find("://") != std::string::npos) return std::string();
  size_t colon = u.find(':');
  if (colon != std::string::npos) {
    bool scheme = colon > 0;
    for (size_t i = 0; i < colon; ++i) scheme = scheme && std::isalpha(static_cast<unsigned char>(u[i]));
    if (scheme) return std::string();
  }
  return "http://" + u;
}

std::string MailTarget(const std::string& address) {
  std::string a = Trimmed(address.substr(0, address.find('?')));
  return a.empty() ? std::string() : "mailto:" + a;
}

// ---- TPersonEditor -------------------------------------------------------------------------

TPersonEditor::TPersonEditor(IPersonFrameView* view) : FView(view), FPerson(NewPersonCopy()), FUnedited(NewPersonCopy()) {}

std::string TPersonEditor::AddCaption(TEntryKind kind) { return KindTexts(kind).Add; }
std::string TPersonEditor::EditCaption(TEntryKind kind) { return KindTexts(kind).Edit; }
std::string TPersonEditor::CopyCaption(TEntryKind kind) { return KindTexts(kind).Copy; }
std::string TPersonEditor::DeleteCaption(TEntryKind kind) { return KindTexts(kind).Delete; }

void TPersonEditor::SetPerson(const TPerson* item) {
  SetEdited(false);
  if (item) {
    FPerson->Assign(item);
    FUnedited->Assign(item);
  } else {
    // Nothing is edited: a later completion must not compare the names of an entry that left.
    FPerson->Clear();
    FUnedited->Clear();
  }
  FEnabled = item != nullptr;
  FFollower.Reset();
  ShowPerson();
}

void TPersonEditor::Reload(const TPerson* item) {
  if (!item) return SetPerson(nullptr);
  FPerson->Assign(item);
  FEnabled = true;
  ShowPerson();
}

void TPersonEditor::ShowPerson() {
  FLoading = true;
  try {
    FView->SetFrameEnabled(FEnabled);
    const TPerson& p = *FPerson;
    if (FEnabled) {
      FView->SetNameText(p.Name());
      FView->SetYomiText(p.Yomi().empty() ? YomiPlaceholder() : p.Yomi());
      FView->SetAddress(p.Postal(), p.Address().Lines());
      FView->SetEntryLines(ekTel, p.Tels().Lines(), -1);
      FView->SetEntryLines(ekMail, p.Mails().Lines(), -1);
      FView->SetUrlText(p.Url());
      FView->SetEntryLines(ekRelation, p.Relations().Lines(), -1);
      FView->SetRemarkLines(RemarksWithoutNenga(p.Remarks().Lines()));  // the marks have their own grid
    } else {
      FView->SetNameText(std::string());
      FView->SetYomiText(std::string());
      FView->SetAddress(std::string(), TStrings());
      for (TEntryKind k : {ekTel, ekMail, ekRelation}) FView->SetEntryLines(k, TStrings(), -1);
      FView->SetUrlText(std::string());
      FView->SetRemarkLines(TStrings());
    }
    for (size_t i = 0; i < FClassNames.size(); ++i)
      FView->SetClassifyTick(static_cast<int>(i), FEnabled && p.HasClassifyBit(static_cast<int>(i)));
  } catch (...) {
    FLoading = false;
    throw;
  }
  FLoading = false;
}

void TPersonEditor::SetClassifications(const TStrings* names) {
  FLoading = true;
  FClassNames = names ? *names : TStrings();
  FView->SetClassifyItems(FClassNames);
  for (size_t i = 0; i < FClassNames.size(); ++i)
    FView->SetClassifyTick(static_cast<int>(i), FEnabled && FPerson->HasClassifyBit(static_cast<int>(i)));
  FLoading = false;
}

void TPersonEditor::SetEdited(bool value) {
  if (value == FEdited) return;
  bool completed = FEdited;
  // Set before the owner hears of it: the owner's work may come back here.
  FEdited = value;
  if (completed && OnModifiedDone) OnModifiedDone();
}

void TPersonEditor::MarkChanged() {
  FEdited = true;
  if (OnChange) OnChange();
}

void TPersonEditor::NameChanged(const std::string& name, const std::string& reading) {
  if (FLoading) return;
  FPerson->SetName(name);
  std::string yomi;
  if (FFollower.NameChanged(name, reading, FView->YomiText(), YomiPlaceholder(), yomi)) {
    FView->SetYomiText(yomi);
    FPerson->SetYomi(yomi);
  }
  MarkChanged();
}

void TPersonEditor::YomiChanged(const std::string& yomi) {
  if (FLoading) return;
  FPerson->SetYomi(yomi);
  MarkChanged();
}

void TPersonEditor::AddressChanged(const std::string& postal, const TStrings& lines) {
  if (FLoading) return;
  FPerson->SetPostal(postal);
  FPerson->SetAddress(&lines);
  MarkChanged();
}

void TPersonEditor::UrlChanged(const std::string& url) {
  if (FLoading) return;
  FPerson->SetUrl(url);
  MarkChanged();
}

void TPersonEditor::RemarksChanged(const TStrings& lines) {
  if (FLoading) return;
  // 備考 shows the remarks without the New Year card marks, which stay with them
  TStrings all = lines;
  if (TNengaMarks marks = NengaMarksOf(*FPerson); !marks.Empty()) all.push_back(marks.Line());
  UniteNengaLines(all);
  FPerson->SetRemarks(&all);
  MarkChanged();
}

void TPersonEditor::ClassifyToggled(const std::string& name, bool ticked) {
  if (FLoading) return;
  if (ticked) FPerson->AddClassify(name);
  else FPerson->RemoveClassify(name);
  MarkChanged();
}

TNotifyStrings& TPersonEditor::Lines(TEntryKind kind) {
  switch (kind) {
    case ekMail:
      return FPerson->Mails();
    case ekRelation:
      return FPerson->Relations();
    case ekTel:
      break;
  }
  return FPerson->Tels();
}

void TPersonEditor::ShowLines(TEntryKind kind, int selected) {
  FLoading = true;
  FView->SetEntryLines(kind, Lines(kind).Lines(), selected);
  FLoading = false;
}

bool TPersonEditor::CanChangeEntry(TEntryKind kind) const {
  int i = FView->SelectedEntry(kind);
  const TNotifyStrings& lines = const_cast<TPersonEditor*>(this)->Lines(kind);
  return FEnabled && i >= 0 && i < lines.Count();
}

bool TPersonEditor::RunLineDialog(TEntryKind kind, const std::string& caption, const std::string& text, std::string& line) {
  static const std::string kinds[3] = {TelKinds(), MailKinds(), RelationKinds()};
  TRelationEdit& dlg = FView->RelationDialog();
  dlg.SetShowChooser(kind == ekRelation);
  if (!dlg.Execute(caption, kinds[kind], kind == ekRelation ? Book : nullptr, text, KindTexts(kind).ValueLabel))
    return false;
  line = dlg.EntryText();
  return true;
}

void TPersonEditor::AddEntry(TEntryKind kind) {
  if (!FEnabled) return;
  // A new telephone number or mail address starts with the first kind (自宅, 個人), so that
  // the line does not end up without one; a relation's kind is left to the user.
  static const std::string kinds[2] = {TelKinds(), MailKinds()};
  std::string start;
  if (kind != ekRelation) {
    TStrings list = DecodeCommaText(kinds[kind]);
    if (!list.empty()) start = list.front() + ":";
  }
  std::string line;
  if (!RunLineDialog(kind, AddCaption(kind), start, line)) return;
  Lines(kind).Add(line);
  ShowLines(kind, Lines(kind).Count() - 1);
  MarkChanged();
}

void TPersonEditor::EditEntry(TEntryKind kind) {
  if (!CanChangeEntry(kind)) return;
  int i = FView->SelectedEntry(kind);
  std::string line;
  if (!RunLineDialog(kind, EditCaption(kind), Lines(kind)[i], line)) return;
  Lines(kind).Set(i, line);
  ShowLines(kind, i);
  MarkChanged();
}

void TPersonEditor::DeleteEntry(TEntryKind kind) {
  if (!CanChangeEntry(kind)) return;
  int i = FView->SelectedEntry(kind);
  Lines(kind).Delete(i);
  ShowLines(kind, std::min(i, Lines(kind).Count() - 1));
  MarkChanged();
}

void TPersonEditor::CopyEntry(TEntryKind kind) {
  if (!CanChangeEntry(kind)) return;
  // the value as the list shows it: a line without a kind is a value as a whole
  FView->SetClipboardText(RelationItemValue(Lines(kind)[FView->SelectedEntry(kind)]));
}

void TPersonEditor::SendMail() {
  if (!CanChangeEntry(ekMail)) return;
  std::string target = MailTarget(RelationItemValue(FPerson->Mails()[FView->SelectedEntry(ekMail)]));
  if (!target.empty()) FView->OpenShell(target);
}

void TPersonEditor::ShowHomePage() {
  std::string target = HomePageTarget(FView->UrlText());
  if (!target.empty()) FView->OpenShell(target);
}

void TPersonEditor::Detail() {
  if (!FEnabled) return;
  TPersonDetail& dlg = FView->DetailDialog();
  dlg.SetPerson(FPerson.get());
  if (!dlg.Execute()) return;
  SetPerson(&dlg.Person());
  MarkChanged();
  if (FPerson->Renmei().Count() > 0 && FPerson->Name().find(' ') == std::string::npos)
    AppHost().ShowInfo(SJ("連名を設定する場合は、“") + FPerson->Name() + SJ("”の名字と名前の間に半角空白を入れることをお薦めします。"));
}

void TPersonEditor::RelationJump() {
  int i = FView->SelectedEntry(ekRelation);
  if (!FEnabled || i < 0 || i >= FPerson->Relations().Count()) return;
  if (OnRelationJump) OnRelationJump(RelationItemValue(FPerson->Relations()[i]));
}

// ---- Layout --------------------------------------------------------------------------------

TPersonFrameLayout LayoutPersonFrame(int w, int h, int nameHeight, int editHeight) {
  // rounding to the nearest integer, halves to the even neighbour
  auto round = [](double v) { return static_cast<int>(std::nearbyint(v)); };
  constexpr int kButtonLeft = 2, kButton = 20, kLeft = kButtonLeft + kButton, kDetail = 60;
  TPersonFrameLayout l;
  int fieldWidth = w - kLeft - 4;
  l.Name = QRect(kLeft, 4, fieldWidth, nameHeight);
  int yomiTop = l.Name.y() + l.Name.height() + 2;
  l.Detail = QRect(w - 4 - kDetail, yomiTop, kDetail, editHeight);
  l.Yomi = QRect(kLeft, yomiTop, l.Detail.x() - 4 - kLeft, editHeight);

  int addressTop = yomiTop + editHeight + 4;
  l.Address = QRect(kLeft, addressTop, fieldWidth, round(h * 0.15));
  l.AddressButton = QRect(kButtonLeft, addressTop, kButton, kButton);

  int telTop = addressTop + l.Address.height() + 4;
  int telHeight = round(h * 0.2);
  l.TelButton = QRect(kButtonLeft, telTop, kButton, kButton);
  l.Tels = QRect(kLeft, telTop, w / 2 - kLeft, telHeight);
  int mailButtonLeft = l.Tels.x() + l.Tels.width() + 2;
  l.MailButton = QRect(mailButtonLeft, telTop, kButton, kButton);
  int mailLeft = mailButtonLeft + kButton;
  l.Mails = QRect(mailLeft, telTop, w - mailLeft - 4, telHeight - editHeight - 4);
  int urlTop = telTop + l.Mails.height() + 4;
  l.Url = QRect(mailLeft, urlTop, l.Mails.width(), editHeight);
  l.UrlButton = QRect(mailButtonLeft, urlTop, kButton, kButton);

  int classifyTop = telTop + telHeight + 4;
  int listHeight = (h - classifyTop) / 2;
  l.ClassifyButton = QRect(kButtonLeft, classifyTop, kButton, kButton);
  l.Classify = QRect(kLeft, classifyTop, round(w * 0.35), listHeight);
  int relationButtonLeft = l.Classify.x() + l.Classify.width() + 2;
  l.RelationButton = QRect(relationButtonLeft, classifyTop, kButton, kButton);
  int relationLeft = relationButtonLeft + kButton + 2;
  l.Relations = QRect(relationLeft, classifyTop, w - relationLeft - 4, listHeight);

  int remarkTop = classifyTop + listHeight + 4;
  l.RemarkButton = QRect(kButtonLeft, remarkTop, kButton, kButton);
  l.Remarks = QRect(kLeft, remarkTop, l.Name.width(), h - remarkTop - 4);
  return l;
}

// ---- TPersonFrame --------------------------------------------------------------------------

TPersonFrame::TPersonFrame(QWidget* parent) : QWidget(parent) {
  setMinimumSize(200, 210);
  setFocusPolicy(Qt::StrongFocus);

  FEditName = new QLineEdit(this);
  QFont nameFont = FEditName->font();
  nameFont.setBold(true);
  nameFont.setPixelSize(20);
  FEditName->setFont(nameFont);
  FEditYomi = new QLineEdit(this);
  for (QLineEdit* e : {FEditName, FEditYomi}) e->setValidator(OneLineValidator(e));
  FSpeedButtonDetail = new QToolButton(this);
  FSpeedButtonDetail->setText(ToQ(SJ("詳細...")));
  FSpeedButtonDetail->setToolTip(ToQ(SJ("「敬称」など人物の詳細を設定します")));
  FSpeedButtonDetail->setAutoRaise(true);
  FEditAddress = new TEditAddress(this);
  for (TEntryKind k : {ekTel, ekMail}) FLists[k] = new TRelationListBox(this);
  FEditUrl = new QLineEdit(this);
  FEditUrl->setInputMethodHints(Qt::ImhUrlCharactersOnly);
  FEditUrl->setValidator(OneLineValidator(FEditUrl));
  FCheckListBoxClassify = new QListWidget(this);
  FCheckListBoxClassify->setAttribute(Qt::WA_InputMethodEnabled, false);
  FLists[ekRelation] = new TRelationListBox(this);
  FLists[ekRelation]->setToolTip(ToQ(SJ("ダブルクリックで関連先にジャンプ")));
  FMemoRemark = new QPlainTextEdit(this);
  FMemoRemark->setTabChangesFocus(true);
  for (QWidget* w : std::initializer_list<QWidget*>{FEditName, FEditYomi, FEditUrl, FCheckListBoxClassify, FMemoRemark})
    UseButtonFaceWhenDisabled(w);

  FButtonAddress = MakeButton(SJ("〒"), SJ("住所"));
  FButtons[ekTel] = MakeButton(SJ("電"), SJ("電話番号"));
  FButtons[ekMail] = MakeButton(SJ("＠"), SJ("メールアドレス"));
  FButtonUrl = MakeButton(SJ("Ｈ"), SJ("ホームページ"));
  FButtonClassify = MakeButton(SJ("分"), SJ("分類"));
  FButtons[ekRelation] = MakeButton(SJ("関"), SJ("関連"));
  FButtonRemark = MakeButton(SJ("備"), SJ("備考"));

  // tab order: the fields from top to bottom
  QWidget* order[] = {FEditName, FEditYomi, FSpeedButtonDetail, FEditAddress, FLists[ekTel], FLists[ekMail], FEditUrl,
                      FCheckListBoxClassify, FLists[ekRelation], FMemoRemark};
  for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
  setFocusProxy(FEditName);

  // menus
  FMenuPostal = new QMenu(this);
  QAction* toAddress = FMenuPostal->addAction(ToQ(SJ("〒 → 住所")));
  QAction* toPostal = FMenuPostal->addAction(ToQ(SJ("〒 ← 住所")));
  connect(FMenuPostal, &QMenu::aboutToShow, this, [this, toAddress, toPostal] {
    toAddress->setVisible(!FEditAddress->PostalText().empty());
    toPostal->setVisible(!FEditAddress->MemoText().empty());
  });
  connect(toAddress, &QAction::triggered, this, [this] { FEditAddress->LookUpAddress(); });
  connect(toPostal, &QAction::triggered, this, [this] { FEditAddress->LookUpPostal(); });
  for (TEntryKind k : {ekTel, ekMail, ekRelation}) FMenus[k] = MakeEntryMenu(k);
  FMenuUrl = new QMenu(this);
  connect(FMenuUrl->addAction(ToQ(SJ("ホームページの表示"))), &QAction::triggered, this,
          [this] { ShowErrors([&] { FEditor.ShowHomePage(); }); });

  connect(FButtonAddress, &QToolButton::clicked, this, [this] { PopupBelow(FButtonAddress, FMenuPostal); });
  for (TEntryKind k : {ekTel, ekMail, ekRelation}) {
    connect(FButtons[k], &QToolButton::clicked, this, [this, k] { PopupBelow(FButtons[k], FMenus[k]); });
    FLists[k]->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FLists[k], &QWidget::customContextMenuRequested, this,
            [this, k](const QPoint& at) { FMenus[k]->popup(FLists[k]->viewport()->mapToGlobal(at)); });
  }
  connect(FButtonUrl, &QToolButton::clicked, this, [this] { PopupBelow(FButtonUrl, FMenuUrl); });
  connect(FButtonClassify, &QToolButton::clicked, this, [this] {
    if (FMenuClassify) PopupBelow(FButtonClassify, FMenuClassify);
  });
  FCheckListBoxClassify->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(FCheckListBoxClassify, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    if (FMenuClassify) FMenuClassify->popup(FCheckListBoxClassify->viewport()->mapToGlobal(at));
  });

  // change handlers
  FReadings = new TImeReadingFilter(FEditName, this);
  connect(FEditName, &QLineEdit::textChanged, this, [this](const QString& t) {
    ShowErrors([&] { FEditor.NameChanged(FromQ(t), FReadings->Tracker().TakeReading()); });
  });
  connect(FEditYomi, &QLineEdit::textChanged, this, [this](const QString& t) { ShowErrors([&] { FEditor.YomiChanged(FromQ(t)); }); });
  FEditAddress->OnChange() = [this] {
    ShowErrors([&] { FEditor.AddressChanged(FEditAddress->Postal(), FEditAddress->AddressLines()); });
  };
  connect(FEditUrl, &QLineEdit::textChanged, this, [this](const QString& t) { ShowErrors([&] { FEditor.UrlChanged(FromQ(t)); }); });
  connect(FMemoRemark, &QPlainTextEdit::textChanged, this,
          [this] { ShowErrors([&] { FEditor.RemarksChanged(MemoLines(FMemoRemark)); }); });
  connect(FCheckListBoxClassify, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    if (FEditor.Loading()) return;
    // The change reaches the book, whose classification refresh refills this list: it runs
    // after the list has finished reporting the tick.
    std::string name = FromQ(item->text());
    bool ticked = item->checkState() == Qt::Checked;
    QTimer::singleShot(0, this, [this, name, ticked] { ShowErrors([&] { FEditor.ClassifyToggled(name, ticked); }); });
  });
  connect(FSpeedButtonDetail, &QToolButton::clicked, this, [this] { ShowErrors([&] { FEditor.Detail(); }); });
  FLists[ekRelation]->OnEnter = [this] { ShowErrors([&] { FEditor.RelationJump(); }); };
  FLists[ekRelation]->OnDoubleClick = FLists[ekRelation]->OnEnter;
  for (TEntryKind k : {ekTel, ekMail}) FLists[k]->OnEnter = [this] { NextField(); };

  for (QWidget* w : std::initializer_list<QWidget*>{FEditName, FEditYomi, FEditUrl, FCheckListBoxClassify}) w->installEventFilter(this);

  FEditor.ShowPerson();
}

TPersonFrame::~TPersonFrame() {
  FEditor.OnChange = nullptr;
  FEditor.OnModifiedDone = nullptr;
  FEditor.OnRelationJump = nullptr;
}

QToolButton* TPersonFrame::MakeButton(const std::string& text, const std::string& hint) {
  auto* b = new QToolButton(this);
  b->setText(ToQ(text));
  b->setToolTip(ToQ(hint));
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

QMenu* TPersonFrame::MakeEntryMenu(TEntryKind kind) {
  auto* menu = new QMenu(this);
  QAction* add = menu->addAction(ToQ(TPersonEditor::AddCaption(kind)));
  connect(add, &QAction::triggered, this, [this, kind] { ShowErrors([&] { FEditor.AddEntry(kind); }); });
  std::vector<QAction*> needLine;
  needLine.push_back(menu->addAction(ToQ(TPersonEditor::EditCaption(kind))));
  connect(needLine.back(), &QAction::triggered, this, [this, kind] { ShowErrors([&] { FEditor.EditEntry(kind); }); });
  if (kind != ekRelation) {
    needLine.push_back(menu->addAction(ToQ(TPersonEditor::CopyCaption(kind))));
    connect(needLine.back(), &QAction::triggered, this, [this, kind] { FEditor.CopyEntry(kind); });
  }
  needLine.push_back(menu->addAction(ToQ(TPersonEditor::DeleteCaption(kind))));
  connect(needLine.back(), &QAction::triggered, this, [this, kind] { ShowErrors([&] { FEditor.DeleteEntry(kind); }); });
  if (kind == ekMail) {
    needLine.push_back(menu->addAction(ToQ(SJ("メール送信"))));
    connect(needLine.back(), &QAction::triggered, this, [this] { FEditor.SendMail(); });
  }
  // the commands that need a line are hidden, not merely disabled, without one
  connect(menu, &QMenu::aboutToShow, this, [this, kind, add, needLine] {
    add->setVisible(FEditor.Enabled());
    bool can = FEditor.CanChangeEntry(kind);
    for (QAction* a : needLine) a->setVisible(can);
  });
  return menu;
}

void TPersonFrame::NextField() {
  // Enter goes on to the next field that takes text or a choice; buttons are reached with Tab
  // (a button in the way would swallow the digits typed next)
  QWidget* start = QApplication::focusWidget();
  for (int i = 0; i < 20; ++i) {
    focusNextChild();
    QWidget* now = QApplication::focusWidget();
    if (!now || now == start || !qobject_cast<QAbstractButton*>(now)) return;
  }
}

void TPersonFrame::PopupBelow(QToolButton* button, QMenu* menu) {
  menu->popup(button->mapToGlobal(QPoint(0, button->height())));
}

void TPersonFrame::SetClassifyPopup(QMenu* menu) { FMenuClassify = menu; }

void TPersonFrame::SetFrameEnabled(bool enabled) { setEnabled(enabled); }
void TPersonFrame::SetNameText(const std::string& text) { SetEditText(FEditName, text); }
std::string TPersonFrame::YomiText() const { return EditText(FEditYomi); }
void TPersonFrame::SetYomiText(const std::string& text) { SetEditText(FEditYomi, text); }

void TPersonFrame::SetAddress(const std::string& postal, const TStrings& lines) {
  FEditAddress->SetPostalText(postal);
  FEditAddress->SetAddressLines(&lines);
  FEditAddress->HidePickList();
}

void TPersonFrame::SetEntryLines(TEntryKind kind, const TStrings& lines, int selected) {
  QSignalBlocker block(FLists[kind]);
  FLists[kind]->SetLines(lines);
  if (selected >= 0) FLists[kind]->setCurrentRow(selected);
}

int TPersonFrame::SelectedEntry(TEntryKind kind) const { return FLists[kind]->SelectedLine(); }
std::string TPersonFrame::UrlText() const { return EditText(FEditUrl); }
void TPersonFrame::SetUrlText(const std::string& text) { SetEditText(FEditUrl, text); }

void TPersonFrame::SetClassifyItems(const TStrings& names) {
  QSignalBlocker block(FCheckListBoxClassify);
  FCheckListBoxClassify->clear();
  for (const std::string& n : names) {
    auto* it = new QListWidgetItem(ToQ(n), FCheckListBoxClassify);
    it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    it->setCheckState(Qt::Unchecked);
  }
}

void TPersonFrame::SetClassifyTick(int index, bool ticked) {
  QSignalBlocker block(FCheckListBoxClassify);
  if (QListWidgetItem* it = FCheckListBoxClassify->item(index)) it->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void TPersonFrame::SetRemarkLines(const TStrings& lines) { SetMemoLines(FMemoRemark, lines); }

void TPersonFrame::FocusName(bool selectAll) {
  FEditName->setFocus();
  if (selectAll) FEditName->selectAll();
}

void TPersonFrame::SetClipboardText(const std::string& text) { QGuiApplication::clipboard()->setText(ToQ(text)); }
void TPersonFrame::OpenShell(const std::string& target) { ShellOpen(target); }

TRelationEdit& TPersonFrame::RelationDialog() {
  if (!FRelationDialog) FRelationDialog = new TRelationEditDialog(this);
  return FRelationDialog->Logic();
}

TPersonDetail& TPersonFrame::DetailDialog() {
  if (!FDetailDialog) FDetailDialog = new TPersonDetailDialog(this);
  return FDetailDialog->Logic();
}

void TPersonFrame::resizeEvent(QResizeEvent*) {
  TPersonFrameLayout l = LayoutPersonFrame(width(), height(), FEditName->sizeHint().height(), FEditYomi->sizeHint().height());
  FEditName->setGeometry(l.Name);
  FEditYomi->setGeometry(l.Yomi);
  FSpeedButtonDetail->setGeometry(l.Detail);
  FButtonAddress->setGeometry(l.AddressButton);
  FEditAddress->setGeometry(l.Address);
  FButtons[ekTel]->setGeometry(l.TelButton);
  FLists[ekTel]->setGeometry(l.Tels);
  FButtons[ekMail]->setGeometry(l.MailButton);
  FLists[ekMail]->setGeometry(l.Mails);
  FButtonUrl->setGeometry(l.UrlButton);
  FEditUrl->setGeometry(l.Url);
  FButtonClassify->setGeometry(l.ClassifyButton);
  FCheckListBoxClassify->setGeometry(l.Classify);
  FButtons[ekRelation]->setGeometry(l.RelationButton);
  FLists[ekRelation]->setGeometry(l.Relations);
  FButtonRemark->setGeometry(l.RemarkButton);
  FMemoRemark->setGeometry(l.Remarks);
}

bool TPersonFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(event);
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
      NextField();
      return true;
    }
  } else if (event->type() == QEvent::FocusIn) {
    // entering an edit selects its text, also when entered by a click
    if (auto* edit = qobject_cast<QLineEdit*>(watched)) QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace kaede
