#pragma once
// Pieces the screens' dialogs and frames share: the OK and cancel buttons, and moving CP932
// text and lines in and out of edits without reporting a change.
#include <string>

#include "Strs.h"

class QDialog;
class QDialogButtonBox;
class QLineEdit;
class QPlainTextEdit;

namespace kaede {

// OK (the default button) and "キャンセル" (the cancel button), wired to accept and reject.
QDialogButtonBox* MakeOkCancel(QDialog* dialog);

void SetEditText(QLineEdit* edit, const std::string& text);
std::string EditText(const QLineEdit* edit);
// A memo's lines; a last line break adds no empty line.
TStrings MemoLines(const QPlainTextEdit* memo);
void SetMemoLines(QPlainTextEdit* memo, const TStrings& lines);

}  // namespace kaede
