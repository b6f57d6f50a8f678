#pragma once
// The style settings panel: a closable side panel with a tool bar (predefined styles, undo
// of all edits, a print-friendly style), the items of the style in a tree by category and
// the value editor of the selected item. Its behaviour is TStyleSettings'; the host hands a
// style over, hears every edit and copies the result into its view and its style list.
#include <QWidget>
#include <functional>
#include <memory>

#include "StyleSettings.h"

class QLabel;
class QMenu;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kaede {

class TValueFrame;

// A side panel with a gradient background and a close button; it tells its host before and
// after it is shown or hidden.
class TBaseFrame : public QWidget {
  Q_OBJECT
public:
  explicit TBaseFrame(QWidget* parent = nullptr);

  bool GradationBackground = true;
  TColor GradationStartColor = 8421504;
  TColor GradationEndColor = static_cast<TColor>(0xFF00000F);  // the button face
  std::function<void()> OnVisibleChanging;
  std::function<void()> OnVisibleChanged;

  QToolButton* CloseButton() const { return FClose; }
  void setVisible(bool visible) override;

protected:
  void paintEvent(QPaintEvent* e) override;
  QToolButton* FClose;
};

class TBaseStyleFrame : public TBaseFrame {
  Q_OBJECT
public:
  TBaseStyleFrame(TStyleFrameKind kind, IStyleDialogs& dialogs, QWidget* parent = nullptr);
  ~TBaseStyleFrame() override;

  TStyleSettings& Settings() { return *FSettings; }
  // Host: hands a style over (copied); the style being edited.
  void SetStyle(const TBaseStyle* s) { FSettings->SetStyle(s); }
  TBaseStyle& Style() { return FSettings->Style(); }
  std::function<void()>& OnEditChanging() { return FSettings->OnEditChanging; }
  std::function<void()>& OnEditChange() { return FSettings->OnEditChange; }

  // The widgets, for tests and screenshots.
  QTreeWidget* Tree() const { return FTree; }
  TValueFrame* ValueFrame() const { return FValue; }
  QToolButton* DefaultButton() const { return FDefault; }
  QToolButton* RestoreButton() const { return FRestore; }
  QToolButton* PrintButton() const { return FPrint; }
  // The tree node of an item (none when the panel does not offer it).
  QTreeWidgetItem* Node(int item) const;
  // Selects the item's node as a click would.
  void SelectItem(int item);

protected:
  void showEvent(QShowEvent* e) override;

private:
  void BuildTree();
  void Refresh();
  void BuildDefaultMenu();

  std::unique_ptr<TStyleSettings> FSettings;
  QToolButton* FDefault;
  QToolButton* FRestore;
  QToolButton* FPrint;
  QMenu* FDefaultMenu = nullptr;
  QLabel* FTitle;
  QTreeWidget* FTree;
  TValueFrame* FValue;
};

// The panel of table styles, with the column names the table offers.
class TTableStyleFrame : public TBaseStyleFrame {
  Q_OBJECT
public:
  TTableStyleFrame(IStyleDialogs& dialogs, QWidget* parent = nullptr);
  void SetColumnNames(const std::string& names) { Settings().SetColumnNames(names); }
};

// The panel of postcard styles.
class TPostStyleFrame : public TBaseStyleFrame {
  Q_OBJECT
public:
  TPostStyleFrame(IStyleDialogs& dialogs, QWidget* parent = nullptr);
};

}  // namespace kaede
