#pragma once
// 受取入力: recording the New Year cards that came, from the stack in the hand. Type a name
// or a reading and Enter: the one entry that matches gets 受 for the card year (one undo step
// each), several let the user pick one (arrows and Enter, or a click), and a name that is not
// in the book can be added with the mark. The field clears for the next card.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QLabel;
class QPushButton;

namespace kaede {

class TPersonList;
class TPerson;

class TNengaReceiveDialog : public QDialog {
  Q_OBJECT
public:
  TNengaReceiveDialog(TPersonList& book, int year, QWidget* parent = nullptr);
  // How many entries got 受 while the dialog was open.
  int Marked() const { return FMarked; }
  QLineEdit* Edit() const { return FEdit; }
  QListWidget* Choices() const { return FChoices; }
  QPushButton* AddButton() const { return FAdd; }
  // After each mark (the window refreshes what it shows).
  std::function<void()> OnMarked;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void Enter();
  void Mark(TPerson* p);
  void AddNew();
  TPersonList& FBook;
  int FYear;
  int FMarked = 0;
  std::vector<TPerson*> FFound;
  QLineEdit* FEdit;
  QListWidget* FChoices;
  QLabel* FLog;
  QPushButton* FAdd;
};

}  // namespace kaede
