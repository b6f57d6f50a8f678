#include "PersonDetailDialogs.h"

#include <QDialogButtonBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "DialogParts.h"
#include "QtText.h"

namespace kaede {

void TPersonDetail::SetPerson(const TPerson* person) {
  if (!person) return;
  FPerson->Assign(person);
  FView->SetKeisyoText(person->Keisyo().empty() ? AutoKeisyo() : person->Keisyo());
  FView->SetTitleText(person->Title());
  FView->SetRenmeiLines(person->Renmei().Lines());
}

bool TPersonDetail::Execute() {
  if (!FView->RunModal()) return false;
  std::string keisyo = FView->KeisyoText();
  FPerson->SetKeisyo(keisyo == AutoKeisyo() ? std::string() : keisyo);
  FPerson->SetTitle(FView->TitleText());
  TStrings renmei = FView->RenmeiLines();
  FPerson->SetRenmei(&renmei);
  return true;
}

// ---- TPersonDetailDialog -------------------------------------------------------------------

TPersonDetailDialog::TPersonDetailDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(ToQ(SJ("人物の詳細")));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  FComboBoxKeisyo = new QComboBox(this);
  FComboBoxKeisyo->setEditable(true);
  FComboBoxKeisyo->setMaxVisibleItems(12);
  for (const std::string& k : KeisyoItems()) FComboBoxKeisyo->addItem(ToQ(k));
  form->addRow(ToQ(SJ("敬称")), FComboBoxKeisyo);
  FComboBoxKeisyo->setValidator(OneLineValidator(FComboBoxKeisyo));
  FEditTitle = new QLineEdit(this);
  FEditTitle->setValidator(OneLineValidator(FEditTitle));
  form->addRow(ToQ(SJ("肩書")), FEditTitle);
  FMemoRenmei = new QPlainTextEdit(this);
  FMemoRenmei->setTabChangesFocus(true);
  form->addRow(ToQ(SJ("連名")), FMemoRenmei);
  layout->addLayout(form, 1);
  layout->addWidget(MakeOkCancel(this));
  resize(320, 260);
}

std::string TPersonDetailDialog::KeisyoText() const { return FromQ(FComboBoxKeisyo->currentText()); }
void TPersonDetailDialog::SetKeisyoText(const std::string& text) { FComboBoxKeisyo->setCurrentText(ToQ(text)); }
std::string TPersonDetailDialog::TitleText() const { return EditText(FEditTitle); }
void TPersonDetailDialog::SetTitleText(const std::string& text) { SetEditText(FEditTitle, text); }
TStrings TPersonDetailDialog::RenmeiLines() const { return MemoLines(FMemoRenmei); }
void TPersonDetailDialog::SetRenmeiLines(const TStrings& lines) { SetMemoLines(FMemoRenmei, lines); }
bool TPersonDetailDialog::RunModal() { return exec() == QDialog::Accepted; }

}  // namespace kaede
