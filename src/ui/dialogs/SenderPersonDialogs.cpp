#include "SenderPersonDialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "DialogParts.h"
#include "EditAddresses.h"
#include "QtText.h"

namespace kaede {

TSenderEditor::TSenderEditor(ISenderPersonView* view) : FView(view), FSenders(std::make_unique<TPersonList>()) {
  FSenders->RecordUndo = false;
  FSenders->AutoSort = false;
}

TStrings TSenderEditor::Captions() const {
  TStrings captions;
  for (int i = 0; i < FSenders->Count(); ++i) captions.push_back(SJ("差出人") + std::to_string(i + 1));
  return captions;
}

void TSenderEditor::SetSenders(const TPersonList* list) {
  if (!list) return;
  FSenders->Assign(list);
  if (FSenders->Count() == 0) FSenders->AddPerson(std::string());
  FView->SetTabs(Captions());
  FCurrent = 0;
}

bool TSenderEditor::Execute(int index) {
  FCurrent = index >= 0 && index < FSenders->Count() ? index : 0;
  FView->SelectTab(FCurrent);
  ShowCurrent();
  FView->FocusName();
  return FView->RunModal();
}

void TSenderEditor::ShowCurrent() {
  TPerson* p = Sender();
  FLoading = true;
  FView->SetNameText(p ? p->Name() : std::string());
  FView->SetAddress(p ? p->Postal() : std::string(), p ? p->Address().Lines() : TStrings());
  FView->SetRenmeiLines(p ? p->Renmei().Lines() : TStrings());
  FView->SetTelLines(p ? p->Tels().Lines() : TStrings());
  FView->SetMailLines(p ? p->Mails().Lines() : TStrings());
  FLoading = false;
  FView->SetDeleteEnabled(FSenders->Count() > 1);
}

void TSenderEditor::TabChanged(int index) {
  if (index < 0 || index >= FSenders->Count()) return;
  FCurrent = index;
  ShowCurrent();
  FView->FocusName();
}

void TSenderEditor::Add() {
  FSenders->AddPerson(std::string());
  FView->SetTabs(Captions());
  FCurrent = FSenders->Count() - 1;
  FView->SelectTab(FCurrent);
  ShowCurrent();
  FView->FocusName();
}

void TSenderEditor::Delete() {
  TPerson* p = Sender();
  if (!p || FSenders->Count() <= 1) return;
  p->Free();
  FView->SetTabs(Captions());
  if (FCurrent >= FSenders->Count()) FCurrent = FSenders->Count() - 1;
  FView->SelectTab(FCurrent);
  ShowCurrent();
  FView->FocusName();
}

void TSenderEditor::NameChanged(const std::string& name) {
  if (TPerson* p = Sender(); p && !FLoading) p->SetName(name);
}

void TSenderEditor::AddressChanged(const std::string& postal, const TStrings& lines) {
  if (TPerson* p = Sender(); p && !FLoading) {
    p->SetPostal(postal);
    p->SetAddress(&lines);
  }
}

void TSenderEditor::RenmeiChanged(const TStrings& lines) {
  if (TPerson* p = Sender(); p && !FLoading) p->SetRenmei(&lines);
}

void TSenderEditor::TelsChanged(const TStrings& lines) {
  if (TPerson* p = Sender(); p && !FLoading) p->SetTels(&lines);
}

void TSenderEditor::MailsChanged(const TStrings& lines) {
  if (TPerson* p = Sender(); p && !FLoading) p->SetMails(&lines);
}

// ---- TSenderPersonDialog -------------------------------------------------------------------

TSenderPersonDialog::TSenderPersonDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(ToQ(SJ("差出人の設定")));
  auto* layout = new QVBoxLayout(this);
  auto* tools = new QToolBar(this);
  QAction* add = tools->addAction(ToQ(SJ("追加")));
  FActionDelete = tools->addAction(ToQ(SJ("削除")));
  layout->addWidget(tools);
  FTabs = new QTabBar(this);
  FTabs->setExpanding(false);
  layout->addWidget(FTabs);
  auto* form = new QFormLayout();
  FEditName = new QLineEdit(this);
  FEditName->setValidator(OneLineValidator(FEditName));
  form->addRow(ToQ(SJ("名前")), FEditName);
  FEditAddress = new TEditAddress(this);
  FEditAddress->setMinimumHeight(60);
  form->addRow(ToQ(SJ("〒")), FEditAddress);
  FMemoRenmei = new QPlainTextEdit(this);
  form->addRow(ToQ(SJ("連名")), FMemoRenmei);
  FMemoTels = new QPlainTextEdit(this);
  form->addRow(ToQ(SJ("電話")), FMemoTels);
  FMemoMails = new QPlainTextEdit(this);
  form->addRow(ToQ(SJ("メール")), FMemoMails);
  for (QPlainTextEdit* memo : {FMemoRenmei, FMemoTels, FMemoMails}) {
    memo->setTabChangesFocus(true);
    memo->setMaximumHeight(60);
  }
  layout->addLayout(form, 1);
  layout->addWidget(MakeOkCancel(this));
  resize(420, 420);

  connect(add, &QAction::triggered, this, [this] { FLogic.Add(); });
  connect(FActionDelete, &QAction::triggered, this, [this] { FLogic.Delete(); });
  connect(FTabs, &QTabBar::currentChanged, this, [this](int i) { FLogic.TabChanged(i); });
  connect(FEditName, &QLineEdit::textChanged, this, [this](const QString& t) { FLogic.NameChanged(FromQ(t)); });
  FEditAddress->OnChange() = [this] { FLogic.AddressChanged(FEditAddress->Postal(), FEditAddress->AddressLines()); };
  connect(FMemoRenmei, &QPlainTextEdit::textChanged, this, [this] { FLogic.RenmeiChanged(MemoLines(FMemoRenmei)); });
  connect(FMemoTels, &QPlainTextEdit::textChanged, this, [this] { FLogic.TelsChanged(MemoLines(FMemoTels)); });
  connect(FMemoMails, &QPlainTextEdit::textChanged, this, [this] { FLogic.MailsChanged(MemoLines(FMemoMails)); });
}

void TSenderPersonDialog::SetTabs(const TStrings& captions) {
  QSignalBlocker block(FTabs);
  while (FTabs->count() > 0) FTabs->removeTab(FTabs->count() - 1);
  for (const std::string& c : captions) FTabs->addTab(ToQ(c));
}

void TSenderPersonDialog::SelectTab(int index) {
  QSignalBlocker block(FTabs);
  FTabs->setCurrentIndex(index);
}

void TSenderPersonDialog::SetNameText(const std::string& text) { SetEditText(FEditName, text); }

void TSenderPersonDialog::SetAddress(const std::string& postal, const TStrings& lines) {
  FEditAddress->SetPostalText(postal);
  FEditAddress->SetAddressLines(&lines);
}

void TSenderPersonDialog::SetRenmeiLines(const TStrings& lines) { SetMemoLines(FMemoRenmei, lines); }
void TSenderPersonDialog::SetTelLines(const TStrings& lines) { SetMemoLines(FMemoTels, lines); }
void TSenderPersonDialog::SetMailLines(const TStrings& lines) { SetMemoLines(FMemoMails, lines); }
void TSenderPersonDialog::SetDeleteEnabled(bool enabled) { FActionDelete->setEnabled(enabled); }
void TSenderPersonDialog::FocusName() { FEditName->setFocus(); }
bool TSenderPersonDialog::RunModal() { return exec() == QDialog::Accepted; }

}  // namespace kaede
