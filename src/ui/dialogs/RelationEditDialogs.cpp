#include "RelationEditDialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "CommaText.h"
#include "DialogParts.h"
#include "PersonSelectDialogs.h"
#include "QtText.h"
#include "RelationListBoxes.h"

namespace kaede {

void TRelationEdit::SetShowChooser(bool value) {
  if (value == FShowChooser) return;
  FShowChooser = value;
  FView->ShowChooserButton(value);
}

bool TRelationEdit::Execute(const std::string& caption, const std::string& kinds, TPersonList* book,
                            const std::string& text, const std::string& valueLabel) {
  FView->SetCaption(caption);
  FView->SetKinds(DecodeCommaText(kinds));
  FView->SetValueLabel(valueLabel);
  SetEntryText(text);
  FBook = book;
  return FView->RunModal();
}

std::string TRelationEdit::EntryText() const { return RelationItemLine(FView->KindText(), FView->ValueText()); }

void TRelationEdit::SetEntryText(const std::string& text) {
  FView->SetKindText(RelationItemName(text));
  FView->SetValueText(text.empty() ? std::string() : RelationItemValue(text));
}

void TRelationEdit::ChooserClicked() {
  TPersonSelect& chooser = FView->PersonChooser();
  chooser.SetBook(FBook);
  if (!chooser.Execute()) return;
  if (TPerson* p = chooser.Selected()) FView->SetValueText(p->Name());
}

// ---- TRelationEditDialog -------------------------------------------------------------------

namespace {
constexpr int kMargin = 16;
constexpr int kEditLeft = 80;
}  // namespace

TRelationEditDialog::TRelationEditDialog(QWidget* parent) : QDialog(parent) {
  auto* kindLabel = new QLabel(ToQ(SJ("項目名：")), this);
  kindLabel->setGeometry(kMargin, 16, kEditLeft - kMargin, 22);
  FComboBoxItemName = new QComboBox(this);
  FComboBoxItemName->setEditable(true);
  FComboBoxItemName->setCompleter(nullptr);
  FComboBoxItemName->setGeometry(kEditLeft, 14, 150, 24);
  FLabelValue = new QLabel(ToQ(SJ("内容：")), this);
  FLabelValue->setGeometry(kMargin, 50, kEditLeft - kMargin, 22);
  FEditItemBody = new QLineEdit(this);
  FEditItemBody->setValidator(OneLineValidator(FEditItemBody));
  FButtonPersonSelect = new QPushButton(ToQ(SJ("参照(&R)...")), this);
  FButtonPersonSelect->hide();
  auto* buttons = MakeOkCancel(this);
  buttons->setGeometry(kMargin, 90, 360 - 2 * kMargin, 30);
  setFixedSize(360, 132);
  PlaceValueEdit();
  connect(FButtonPersonSelect, &QPushButton::clicked, this, [this] { FLogic.ChooserClicked(); });
}

void TRelationEditDialog::PlaceValueEdit() {
  const int top = 48, height = 24;
  int buttonWidth = 80;
  FButtonPersonSelect->setGeometry(width() - kMargin - buttonWidth, top, buttonWidth, height);
  int right = FButtonPersonSelect->isHidden() ? width() - kMargin : FButtonPersonSelect->x() - 4;
  FEditItemBody->setGeometry(kEditLeft, top, right - kEditLeft, height);
}

void TRelationEditDialog::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  PlaceValueEdit();
}

void TRelationEditDialog::SetCaption(const std::string& caption) { setWindowTitle(ToQ(caption)); }

void TRelationEditDialog::SetKinds(const TStrings& kinds) {
  QString text = FComboBoxItemName->currentText();
  FComboBoxItemName->clear();
  for (const std::string& k : kinds) FComboBoxItemName->addItem(ToQ(k));
  FComboBoxItemName->setCurrentText(text);
}

void TRelationEditDialog::SetValueLabel(const std::string& label) { FLabelValue->setText(ToQ(label)); }
std::string TRelationEditDialog::KindText() const { return FromQ(FComboBoxItemName->currentText()); }
void TRelationEditDialog::SetKindText(const std::string& text) { FComboBoxItemName->setCurrentText(ToQ(text)); }
std::string TRelationEditDialog::ValueText() const { return EditText(FEditItemBody); }
void TRelationEditDialog::SetValueText(const std::string& text) { SetEditText(FEditItemBody, text); }

void TRelationEditDialog::ShowChooserButton(bool show) {
  FButtonPersonSelect->setVisible(show);
  PlaceValueEdit();
}

bool TRelationEditDialog::RunModal() {
  FEditItemBody->setFocus();
  return exec() == QDialog::Accepted;
}

TPersonSelect& TRelationEditDialog::PersonChooser() {
  if (!FChooser) FChooser = new TPersonSelectDialog(this);
  return FChooser->Logic();
}

}  // namespace kaede
