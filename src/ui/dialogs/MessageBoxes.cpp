#include "MessageBoxes.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QVBoxLayout>

#include "Cp932.h"
#include "DataPathDialogs.h"
#include "DialogParts.h"
#include "QtText.h"
#include "VerInfos.h"

namespace kaede {

namespace {
QWidget* Parent() { return QApplication::activeWindow(); }

int Box(QMessageBox::Icon icon, const std::string& text, bool withCancel) {
  QMessageBox box(icon, ToQ(TVerInfo::ProductName()), ToQ(ReplaceStrAll(text, "\r\n", "\n")), QMessageBox::NoButton, Parent());
  QPushButton* ok = box.addButton("OK", QMessageBox::AcceptRole);
  if (withCancel) box.addButton(ToQ(SJ("キャンセル")), QMessageBox::RejectRole);
  box.setDefaultButton(ok);
  box.exec();
  return box.clickedButton() == ok ? 1 : 0;
}
}  // namespace

void ShowInfo(const std::string& text) {
  QApplication::beep();
  Box(QMessageBox::Information, text, false);
}

void ShowError(const std::string& text) {
  QApplication::beep();
  Box(QMessageBox::Warning, text, false);
}

bool Confirm(const std::string& text) {
  QApplication::beep();
  return Box(QMessageBox::Question, text, true) == 1;
}

TInputDialog::TInputDialog(QWidget* parent) : QDialog(parent) {
  auto* layout = new QVBoxLayout(this);
  FLabel = new QLabel(ToQ(SJ("入力してください")), this);
  FEdit = new QLineEdit(this);
  FEdit->setMinimumWidth(320);
  FEdit->setAttribute(Qt::WA_InputMethodEnabled, true);
  layout->addWidget(FLabel);
  layout->addWidget(FEdit);
  layout->addWidget(MakeOkCancel(this));
}

TInputDialog& InputDialog() {
  static TInputDialog* dialog = new TInputDialog();  // kept for the run, like every dialog
  return *dialog;
}

bool InputText(const std::string& caption, const std::string& prompt, std::string& value) {
  TInputDialog& d = InputDialog();
  d.setWindowTitle(ToQ(caption));
  d.LabelMes()->setText(ToQ(prompt.empty() ? SJ("入力してください") : prompt));
  d.Edit()->setText(ToQ(value));
  d.Edit()->selectAll();
  d.Edit()->setFocus();
  bool ok = d.exec() == QDialog::Accepted;
  value = FromQ(d.Edit()->text());
  return ok;
}

// ---- TQtAppHost ----------------------------------------------------------------------------

TQtAppHost::TQtAppHost() = default;
TQtAppHost::~TQtAppHost() = default;

std::unique_ptr<TDataPathChooser> TQtAppHost::CreateDataPathChooser() { return std::make_unique<TDataPathDialog>(); }

void TQtAppHost::ShowMainWindow() {
  if (FMain) FMain->show();
}

void TQtAppHost::ToggleMainWindow() {
  if (!FMain) return;
  FMain->setVisible(!FMain->isVisible());
}

void TQtAppHost::BringToFront() {
  if (!FMain) return;
  FMain->raise();
  FMain->activateWindow();
}

void TQtAppHost::ProcessMessages() { QApplication::processEvents(); }

void TQtAppHost::ShowTrayIcon(const std::string& tooltip) {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
  if (!FTray) {
    FTray = std::make_unique<QSystemTrayIcon>(QApplication::windowIcon());
    FTrayMenu = std::make_unique<QMenu>();
    FTrayMenu->addAction(ToQ(SJ("起動(&E)")), [this] {
      if (OnTrayAction) OnTrayAction(0, TPoint{});
    });
    FTrayMenu->addAction(ToQ(SJ("終了(&Z)")), [this] {
      if (OnTrayQuit) OnTrayQuit();
      else QApplication::quit();
    });
    QObject::connect(FTray.get(), &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason r) {
      if (!OnTrayAction) return;
      QPoint p = QCursor::pos();
      if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick) OnTrayAction(0, TPoint{p.x(), p.y()});
      else if (r == QSystemTrayIcon::Context) OnTrayAction(1, TPoint{p.x(), p.y()});
    });
  }
  FTray->setToolTip(ToQ(tooltip));
  FTray->show();
}

void TQtAppHost::HideTrayIcon() {
  if (FTray) FTray->hide();
}

void TQtAppHost::PopupTrayMenu(const TPoint& at) {
  if (FTrayMenu) FTrayMenu->popup(QPoint(at.X, at.Y));
}

void TQtAppHost::Terminate() {
  IAppHost::Terminate();
  QApplication::quit();
  if (FMain) FMain->close();
}

}  // namespace kaede
