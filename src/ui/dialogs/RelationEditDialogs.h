#pragma once
// The dialog that adds and changes one "kind:value" line of an entry's telephone numbers,
// mail addresses or relations; for relations a chooser takes the value from the book.
#include <QDialog>
#include <string>

#include "PersonLists.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kaede {

class TPersonSelect;
class TPersonSelectDialog;

class IRelationEditView {
public:
  virtual ~IRelationEditView() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetKinds(const TStrings& kinds) = 0;
  virtual void SetValueLabel(const std::string& label) = 0;
  virtual std::string KindText() const = 0;
  virtual void SetKindText(const std::string& text) = 0;
  virtual std::string ValueText() const = 0;
  virtual void SetValueText(const std::string& text) = 0;
  // Shows or hides the chooser button; the value edit takes the room it leaves.
  virtual void ShowChooserButton(bool show) = 0;
  // Shows the dialog with the focus in the value edit; true for OK.
  virtual bool RunModal() = 0;
  // The person selection dialog, made on first use.
  virtual TPersonSelect& PersonChooser() = 0;
};

class TRelationEdit {
public:
  explicit TRelationEdit(IRelationEditView* view) : FView(view) {}

  bool ShowChooser() const { return FShowChooser; }
  void SetShowChooser(bool value);
  // kinds is comma text; text the line to change ("" for a new one).
  bool Execute(const std::string& caption, const std::string& kinds, TPersonList* book, const std::string& text,
               const std::string& valueLabel);
  // The kind, ":" and the value.
  std::string EntryText() const;
  // Shows a line: the kind before the first ":", the value after it. A line without ":"
  // shows as a value without a kind, so that OK keeps the number instead of erasing it.
  void SetEntryText(const std::string& text);
  TPersonList* Book() const { return FBook; }
  // The chooser button: the value becomes the name of the entry chosen from the book.
  void ChooserClicked();

private:
  IRelationEditView* FView;
  bool FShowChooser = false;
  TPersonList* FBook = nullptr;
};

class TRelationEditDialog : public QDialog, public IRelationEditView {
  Q_OBJECT
public:
  explicit TRelationEditDialog(QWidget* parent = nullptr);
  TRelationEdit& Logic() { return FLogic; }
  QLineEdit* EditItemBody() { return FEditItemBody; }
  QPushButton* ButtonPersonSelect() { return FButtonPersonSelect; }

  void SetCaption(const std::string& caption) override;
  void SetKinds(const TStrings& kinds) override;
  void SetValueLabel(const std::string& label) override;
  std::string KindText() const override;
  void SetKindText(const std::string& text) override;
  std::string ValueText() const override;
  void SetValueText(const std::string& text) override;
  void ShowChooserButton(bool show) override;
  bool RunModal() override;
  TPersonSelect& PersonChooser() override;

protected:
  void resizeEvent(QResizeEvent* e) override;

private:
  void PlaceValueEdit();
  TRelationEdit FLogic{this};
  QComboBox* FComboBoxItemName;
  QLabel* FLabelValue;
  QLineEdit* FEditItemBody;
  QPushButton* FButtonPersonSelect;
  TPersonSelectDialog* FChooser = nullptr;
};

}  // namespace kaede
