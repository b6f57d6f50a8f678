#pragma once
// The message boxes and the one-line input box that every screen uses, and the application
// host that gives the core's records their windows.
#include <QDialog>
#include <QPointer>
#include <memory>
#include <string>

#include "AppHost.h"

class QLabel;
class QLineEdit;
class QMainWindow;
class QSystemTrayIcon;

namespace kaede {

void ShowInfo(const std::string& text);
void ShowError(const std::string& text);
bool Confirm(const std::string& text);
// The input box: caption, prompt ("入力してください" when empty) and the value with all its
// text selected. The typed text comes back in value whether the box was closed with OK or
// not; callers act only on true.
bool InputText(const std::string& caption, const std::string& prompt, std::string& value);

class TInputDialog : public QDialog {
  Q_OBJECT
public:
  explicit TInputDialog(QWidget* parent = nullptr);
  QLabel* LabelMes() { return FLabel; }
  QLineEdit* Edit() { return FEdit; }

private:
  QLabel* FLabel;
  QLineEdit* FEdit;
};
// The one input dialog of the program (made on first use); tests press its buttons.
TInputDialog& InputDialog();

// The host of the windowed program: message boxes, the data-folder dialog, the main window
// and the notification-area icon.
class TQtAppHost : public IAppHost {
public:
  TQtAppHost();
  ~TQtAppHost() override;
  void SetMainWindow(QMainWindow* window) { FMain = window; }

  void ShowInfo(const std::string& text) override { kaede::ShowInfo(text); }
  void ShowError(const std::string& text) override { kaede::ShowError(text); }
  bool Confirm(const std::string& text) override { return kaede::Confirm(text); }
  std::unique_ptr<TDataPathChooser> CreateDataPathChooser() override;
  void ShowMainWindow() override;
  void ToggleMainWindow() override;
  void BringToFront() override;
  void ProcessMessages() override;
  void ShowTrayIcon(const std::string& tooltip) override;
  void HideTrayIcon() override;
  void PopupTrayMenu(const TPoint& at) override;
  void Terminate() override;

  // Called by the icon's menu and clicks; the settings record decides what they do.
  std::function<void(int kind, const TPoint& at)> OnTrayAction;
  std::function<void()> OnTrayQuit;

private:
  QPointer<QMainWindow> FMain;
  std::unique_ptr<QSystemTrayIcon> FTray;
  std::unique_ptr<class QMenu> FTrayMenu;
};

}  // namespace kaede
