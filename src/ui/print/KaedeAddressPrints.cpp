// The main window's part in printing: opening and closing the print area beside the panes,
// the print and style commands, and what the settings keep of the print area.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QLayout>
#include <QSplitter>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "CoolTabSets.h"
#include "DataListFrames.h"
#include "KaedeAddressMains.h"
#include "PostStyles.h"
#include "PrintAreas.h"

namespace kaede {

void TKaedeAddressMain::ConnectPrintArea() {
  FPrintArea->SetBook(&FController->Book(), &FOptions.SenderList());
  FPrintArea->OnStateChanged = [this] { UpdateActions(); };
  FPrintArea->OnCardsPrinted = [this](const std::vector<std::pair<int, int>>& entries) { OfferMarkPrinted(entries); };
}

void TKaedeAddressMain::StartPrintArea() {
  if (FOptions.PostVisible() && !FPrintArea->Opened()) TogglePreview();
  if (FPrintArea->Prepared() && (FOptions.SelectStyleKind() > 0 || FOptions.SelectStyleNo() > 0))
    FPrintArea->SelectButton(FOptions.SelectStyleKind(), FOptions.SelectStyleNo());
  if (!FOptions.StartStyle.empty()) {
    bool exists = false;
    for (int i = 0; i < FPrintArea->PostStyles().AllCount() && !exists; ++i)
      exists = FPrintArea->PostStyles().Style(i)->Name() == FOptions.StartStyle;
    if (exists) {
      if (!FPrintArea->Opened()) TogglePreview();
      FPrintArea->SelectPostStyle(FOptions.StartStyle);
    }
  }
  UpdateActions();
}

void TKaedeAddressMain::StorePrintArea() {
  FOptions.SetPostVisible(FPrintArea->Opened());
  if (FPrintArea->Prepared()) {
    FOptions.SetSelectStyleKind(FPrintArea->SelectedCategory());
    FOptions.SetSelectStyleNo(FPrintArea->SelectedItem());
  }
  FPrintArea->SaveStyles();
}

// The area opens beside the editing pane, which keeps its width: the window grows by what the
// area needs when it fits on the screen (moving left when it would leave the screen), else
// the editing pane gives the room. Closing gives back exactly what opening took.
void TKaedeAddressMain::TogglePreview() {
  QList<int> sizes = FSplitter->sizes();
  const int handle = FSplitter->handleWidth();
  if (FPrintArea->Opened()) {
    FPrintArea->hide();
    if (FWidenedBy > 0 && windowState() == Qt::WindowNoState) resize(width() - FWidenedBy, height());
    // the panes get back the widths they had
    FSplitter->setSizes({FPaneWidths[0], FPaneWidths[1], 0});
    FWidenedBy = 0;
    UpdateActions();
    return;
  }
  FPrintArea->Prepare();
  if (!isVisible()) {
    // before the window is shown its splitter has not laid the panes out yet (at start): the
    // panes take their stored widths
    const int list = FOptions.PersonListWidth();
    sizes = {list, std::max(FOptions.PersonFrameWidth(), width() - list - handle), 0};
  }
  FPaneWidths[0] = sizes[0];
  FPaneWidths[1] = sizes[1];
  // before the window is shown (at start) its panes have no size yet: the list's height is
  // what the window leaves it beside the bars
  int listHeight = FList->height();
  if (!isVisible()) {
    listHeight = height() - menuBar()->sizeHint().height() - statusBar()->sizeHint().height() - FTabs->height();
    if (auto* tools = findChild<QToolBar*>("ActionToolBar")) listHeight -= tools->sizeHint().height();
  }
  const int need = FPrintArea->NeededWidth(std::max(0, listHeight)) + handle;
  QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
  const QRect avail = screen ? screen->availableGeometry() : QRect();
  const int frameExtra = frameGeometry().width() - width();
  if (windowState() == Qt::WindowNoState && !avail.isEmpty() && width() + need + frameExtra <= avail.width()) {
    FWidenedBy = need;
    // moved left only when the screen asks for it, and only sideways (a window that is not
    // moved keeps its place exactly, also before the window system framed it)
    int right = frameGeometry().right() + need;
    if (right > avail.right()) {
      int dx = std::max(avail.left() - frameGeometry().left(), -(right - avail.right()) - 8);
      move(frameGeometry().x() + dx, frameGeometry().y());
    }
    resize(width() + need, height());
    FSplitter->setSizes({sizes[0], sizes[1], need - handle});
  } else {
    FWidenedBy = 0;
    FSplitter->setSizes({sizes[0], std::max(0, sizes[1] - need), need - handle});
  }
  FPrintArea->show();
  FPrintArea->Refresh(FController->ListFrame().SelectedIndex());
  UpdateActions();
}

void TKaedeAddressMain::UpdatePrintActions() {
  const bool open = FPrintArea->Opened();
  FActions["ActionPreview"]->setChecked(open);
  FActions["ActionPreview"]->setEnabled(true);
  FActions["ActionPrint"]->setEnabled(true);
  FActions["ActionStyle"]->setEnabled(open);
  FActions["ActionStyle"]->setCheckable(true);
  FActions["ActionStyle"]->setChecked(FPrintArea->StyleFrameVisible());
  const bool view = FPrintArea->PostVisible() || FPrintArea->TableVisible();
  for (const char* a : {"ActionRatioFullScreen", "Action1", "Action2", "Action3", "Action4", "Action5", "Action6",
                        "Action7", "Action8", "Action9", "Action10"})
    if (QAction* z = Action(a)) z->setEnabled(view);
  if (auto* zoom = findChild<QMenu*>("MenuZoom")) zoom->setEnabled(view);
  if (open) FPrintArea->Refresh(FController->ListFrame().SelectedIndex());
}

void TKaedeAddressMain::PrintAreaChanged() {
  if (FPrintArea->PostVisible() && FPrintArea->PostPreview()) {
    FPrintArea->PostPreview()->Control().View().Invalidate();
  }
}

int TKaedeAddressMain::PostSenderIndex() const {
  if (!FPrintArea->PostVisible()) return 0;
  auto& style = static_cast<const TPostStyle&>(FPrintArea->PostPreview()->Control().Style());
  return std::max(0, style.Post().SenderNo - 1);
}

void TKaedeAddressMain::SetPostSenderNo(int no) {
  if (!FPrintArea->PostVisible()) return;
  if (auto* selected = dynamic_cast<TPostStyle*>(FPrintArea->SelectedStyle())) selected->SetPost(&TPostValues::SenderNo, no);
  auto& style = static_cast<TPostStyle&>(FPrintArea->PostPreview()->Control().Style());
  style.SetPost(&TPostValues::SenderNo, no);
  int i = no - 1;
  TPersonList& senders = FOptions.SenderList();
  FPrintArea->PostPreview()->SetSender(i >= 0 && i < senders.AllCount() ? senders.AllPersons(i) : nullptr);
}

}  // namespace kaede
