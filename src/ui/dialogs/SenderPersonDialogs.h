#pragma once
// The dialog that edits the senders of the postcard print, one tab per sender.
#include <QDialog>
#include <memory>

#include "PersonLists.h"

class QAction;
class QLineEdit;
class QPlainTextEdit;
class QTabBar;

namespace kaede {

class TEditAddress;

class ISenderPersonView {
public:
  virtual ~ISenderPersonView() = default;
  // Replaces the tabs (without reporting a tab change).
  virtual void SetTabs(const TStrings& captions) = 0;
  virtual void SelectTab(int index) = 0;
  // The setters show the program's values: they report no change and look nothing up.
  virtual void SetNameText(const std::string& text) = 0;
  virtual void SetAddress(const std::string& postal, const TStrings& lines) = 0;
  virtual void SetRenmeiLines(const TStrings& lines) = 0;
  virtual void SetTelLines(const TStrings& lines) = 0;
  virtual void SetMailLines(const TStrings& lines) = 0;
  virtual void SetDeleteEnabled(bool enabled) = 0;
  virtual void FocusName() = 0;
  virtual bool RunModal() = 0;
};

class TSenderEditor {
public:
  explicit TSenderEditor(ISenderPersonView* view);

  // Works on a copy of the list (nothing for none); an empty list gets one empty sender.
  void SetSenders(const TPersonList* list);
  // Shows the sender at index (the first for an index outside the list); true for OK.
  bool Execute(int index);
  TPersonList& Senders() { return *FSenders; }
  int Current() const { return FCurrent; }
  bool Loading() const { return FLoading; }

  // From the widgets.
  void TabChanged(int index);
  void Add();
  void Delete();
  void NameChanged(const std::string& name);
  void AddressChanged(const std::string& postal, const TStrings& lines);
  void RenmeiChanged(const TStrings& lines);
  void TelsChanged(const TStrings& lines);
  void MailsChanged(const TStrings& lines);

private:
  TPerson* Sender() const { return FSenders->Persons(FCurrent); }
  TStrings Captions() const;
  void ShowCurrent();
  ISenderPersonView* FView;
  std::unique_ptr<TPersonList> FSenders;
  int FCurrent = 0;
  bool FLoading = false;
};

class TSenderPersonDialog : public QDialog, public ISenderPersonView {
  Q_OBJECT
public:
  explicit TSenderPersonDialog(QWidget* parent = nullptr);
  TSenderEditor& Logic() { return FLogic; }
  QLineEdit* EditName() { return FEditName; }
  QPlainTextEdit* MemoTels() { return FMemoTels; }
  QTabBar* Tabs() { return FTabs; }

  void SetTabs(const TStrings& captions) override;
  void SelectTab(int index) override;
  void SetNameText(const std::string& text) override;
  void SetAddress(const std::string& postal, const TStrings& lines) override;
  void SetRenmeiLines(const TStrings& lines) override;
  void SetTelLines(const TStrings& lines) override;
  void SetMailLines(const TStrings& lines) override;
  void SetDeleteEnabled(bool enabled) override;
  void FocusName() override;
  bool RunModal() override;

private:
  TSenderEditor FLogic{this};
  QAction* FActionDelete;
  QTabBar* FTabs;
  QLineEdit* FEditName;
  TEditAddress* FEditAddress;
  QPlainTextEdit* FMemoRenmei;
  QPlainTextEdit* FMemoTels;
  QPlainTextEdit* FMemoMails;
};

}  // namespace kaede
