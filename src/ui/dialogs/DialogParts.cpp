#include "DialogParts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "CommaText.h"
#include "QtText.h"

namespace kaede {

QDialogButtonBox* MakeOkCancel(QDialog* dialog) {
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  box->button(QDialogButtonBox::Ok)->setDefault(true);
  box->button(QDialogButtonBox::Cancel)->setText(ToQ(SJ("キャンセル")));
  QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return box;
}

void SetEditText(QLineEdit* edit, const std::string& text) {
  QSignalBlocker block(edit);
  edit->setText(ToQ(text));
}

std::string EditText(const QLineEdit* edit) { return FromQ(edit->text()); }

TStrings MemoLines(const QPlainTextEdit* memo) {
  TStrings lines;
  SplitLines(FromQ(memo->toPlainText()), lines);
  return lines;
}

void SetMemoLines(QPlainTextEdit* memo, const TStrings& lines) {
  QSignalBlocker block(memo);
  memo->setPlainText(ToQ(JoinStr(lines, "\n")));
}

}  // namespace kaede
