#include "AddPersonDialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "DialogParts.h"
#include "QtText.h"

namespace kaede {

bool TAddPerson::Execute() {
  FView->SetNameText(std::string());
  FView->SetYomiText(std::string());
  // a new entry starts a new reading, also when it reads as the last one did
  FFollower.Reset();
  FView->FocusName();
  return FView->RunModal();
}

void TAddPerson::NameChanged(const std::string& name, const std::string& reading) {
  std::string yomi;
  if (FFollower.NameChanged(name, reading, FView->YomiText(), std::string(), yomi)) FView->SetYomiText(yomi);
}

// ---- TAddPersonDialog ----------------------------------------------------------------------

TAddPersonDialog::TAddPersonDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(ToQ(SJ("新しい人物（団体）")));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  FEditName = new QLineEdit(this);
  QFont bold = FEditName->font();
  bold.setBold(true);
  bold.setPixelSize(19);
  FEditName->setFont(bold);
  auto* nameLabel = new QLabel(ToQ(SJ("名前(&N):")), this);
  nameLabel->setBuddy(FEditName);
  form->addRow(nameLabel, FEditName);
  FEditYomi = new QLineEdit(this);
  for (QLineEdit* e : {FEditName, FEditYomi}) e->setValidator(OneLineValidator(e));
  auto* yomiLabel = new QLabel(ToQ(SJ("よみ(&Y):")), this);
  yomiLabel->setBuddy(FEditYomi);
  form->addRow(yomiLabel, FEditYomi);
  layout->addLayout(form);
  layout->addWidget(MakeOkCancel(this));
  FReadings = new TImeReadingFilter(FEditName, this);
  connect(FEditName, &QLineEdit::textChanged, this,
          [this](const QString& t) { FLogic.NameChanged(FromQ(t), FReadings->Tracker().TakeReading()); });
  resize(340, 120);
}

std::string TAddPersonDialog::NameText() const { return EditText(FEditName); }
void TAddPersonDialog::SetNameText(const std::string& text) { SetEditText(FEditName, text); }
std::string TAddPersonDialog::YomiText() const { return EditText(FEditYomi); }
void TAddPersonDialog::SetYomiText(const std::string& text) { SetEditText(FEditYomi, text); }

void TAddPersonDialog::FocusName() {
  FReadings->Tracker().Reset();
  FEditName->setFocus();
}

bool TAddPersonDialog::RunModal() { return exec() == QDialog::Accepted; }

}  // namespace kaede
