#pragma once
// The person selection dialog: a copy of the book in a list frame under a row of kana tabs,
// from which the relation edit dialog takes the name of a related entry.
#include <QDialog>
#include <memory>

#include "DataListFrames.h"
#include "PersonLists.h"

class QTabBar;

namespace kaede {

class IPersonSelectView {
public:
  virtual ~IPersonSelectView() = default;
  virtual bool RunModal() = 0;
};

class TPersonSelect {
public:
  // The tabs: "全", then the kana rows あ … わ and "他".
  static TStrings TabCaptions();

  TPersonSelect(IDataListView* listView, IPersonSelectView* view);
  TDataListFrame& Frame() { return FFrame; }
  TPersonList& List() { return static_cast<TPersonList&>(FFrame.List()); }

  // Copies the whole book (also the entries its present filter hides) and shows it as the
  // tab row says.
  void SetBook(const TPersonList* book);
  bool Execute() { return FView->RunModal(); }
  // The selected entry of the copy, or none.
  TPerson* Selected() const { return static_cast<TPerson*>(FFrame.Selected()); }
  int Tab() const { return FTab; }
  // "全" shows every entry; a kana tab the entries whose reading starts in that row.
  void TabChanged(int index);

private:
  TDataListFrame FFrame;
  IPersonSelectView* FView;
  int FTab = 0;
};

class TDataListFrameWidget;

class TPersonSelectDialog : public QDialog, public IPersonSelectView {
  Q_OBJECT
public:
  explicit TPersonSelectDialog(QWidget* parent = nullptr);
  ~TPersonSelectDialog() override;
  TPersonSelect& Logic() { return *FLogic; }

  bool RunModal() override;

private:
  QTabBar* FTabs;
  TDataListFrameWidget* FListWidget;
  std::unique_ptr<TPersonSelect> FLogic;
};

}  // namespace kaede
