#pragma once
// The dialog of an entry's details: honorific, title and joint names.
#include <QDialog>

#include "PersonParts.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace kaede {

class IPersonDetailView {
public:
  virtual ~IPersonDetailView() = default;
  virtual std::string KeisyoText() const = 0;
  virtual void SetKeisyoText(const std::string& text) = 0;
  virtual std::string TitleText() const = 0;
  virtual void SetTitleText(const std::string& text) = 0;
  virtual TStrings RenmeiLines() const = 0;
  virtual void SetRenmeiLines(const TStrings& lines) = 0;
  virtual bool RunModal() = 0;
};

class TPersonDetail {
public:
  explicit TPersonDetail(IPersonDetailView* view) : FView(view), FPerson(NewPersonCopy()) {}

  // Copies the entry and shows its details (nothing for none). An empty honorific shows as
  // "（自動）".
  void SetPerson(const TPerson* person);
  // On OK the details are written into Person ("（自動）" as an empty honorific).
  bool Execute();
  TPerson& Person() { return *FPerson; }

private:
  IPersonDetailView* FView;
  TPersonCopy FPerson;
};

class TPersonDetailDialog : public QDialog, public IPersonDetailView {
  Q_OBJECT
public:
  explicit TPersonDetailDialog(QWidget* parent = nullptr);
  TPersonDetail& Logic() { return FLogic; }

  std::string KeisyoText() const override;
  void SetKeisyoText(const std::string& text) override;
  std::string TitleText() const override;
  void SetTitleText(const std::string& text) override;
  TStrings RenmeiLines() const override;
  void SetRenmeiLines(const TStrings& lines) override;
  bool RunModal() override;

private:
  TPersonDetail FLogic{this};
  QComboBox* FComboBoxKeisyo;
  QLineEdit* FEditTitle;
  QPlainTextEdit* FMemoRenmei;
};

}  // namespace kaede
