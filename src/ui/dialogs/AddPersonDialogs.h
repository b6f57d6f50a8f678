#pragma once
// The dialog that asks for the name and reading of a new entry; the reading follows the name
// as it is typed through the input method.
#include <QDialog>
#include <string>

#include "ImeReadings.h"

class QLineEdit;

namespace kaede {

class IAddPersonView {
public:
  virtual ~IAddPersonView() = default;
  virtual std::string NameText() const = 0;
  virtual void SetNameText(const std::string& text) = 0;
  virtual std::string YomiText() const = 0;
  virtual void SetYomiText(const std::string& text) = 0;
  virtual void FocusName() = 0;
  virtual bool RunModal() = 0;
};

class TAddPerson {
public:
  explicit TAddPerson(IAddPersonView* view) : FView(view) {}
  // Shows the dialog with both fields empty; true for OK.
  bool Execute();
  std::string NameText() const { return FView->NameText(); }
  std::string YomiText() const { return FView->YomiText(); }
  // The name field changed; reading is the input method's reading of the latest commit.
  void NameChanged(const std::string& name, const std::string& reading);
  const std::string& LastReading() const { return FFollower.LastReading(); }

private:
  IAddPersonView* FView;
  TReadingFollower FFollower;
};

class TAddPersonDialog : public QDialog, public IAddPersonView {
  Q_OBJECT
public:
  explicit TAddPersonDialog(QWidget* parent = nullptr);
  TAddPerson& Logic() { return FLogic; }

  std::string NameText() const override;
  void SetNameText(const std::string& text) override;
  std::string YomiText() const override;
  void SetYomiText(const std::string& text) override;
  void FocusName() override;
  bool RunModal() override;

private:
  TAddPerson FLogic{this};
  QLineEdit* FEditName;
  QLineEdit* FEditYomi;
  TImeReadingFilter* FReadings;
};

}  // namespace kaede
