#include "EditAddresses.h"

#include <QApplication>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTimer>
#include <cmath>
#include <memory>

#include "CommaText.h"
#include "PostalDatas.h"
#include "QtText.h"
#include "UiErrors.h"

namespace kaede {

namespace {

TPostalData* gPostalOverride = nullptr;

}  // namespace

TPostalData& SharedPostalData() {
  if (gPostalOverride) return *gPostalOverride;
  static std::unique_ptr<TPostalData> data = std::make_unique<TPostalData>();
  return *data;
}

void SetSharedPostalData(TPostalData* data) { gPostalOverride = data; }

int PickListHeight(int count) { return std::min(count * 16 + 4, 120); }

std::string CutBeforeNote(const std::string& text) {
  std::string cut = LeftOf(text, SJ("（"));
  while (!cut.empty() && cut.back() == ' ') cut.pop_back();
  return cut;
}


std::string PostalForDisplay(const std::string& stored) {
  return IsPostalCodeDigits(stored) ? stored.substr(0, 3) + "-" + stored.substr(3) : stored;
}

std::string PostalForBook(const std::string& shown) {
  std::string half = HankakuAscii(shown);
  while (!half.empty() && half.back() == ' ') half.pop_back();
  while (!half.empty() && half.front() == ' ') half.erase(0, 1);
  if (half.size() == 8 && half[3] == '-') half.erase(3, 1);
  return IsPostalCodeDigits(half) ? half : shown;
}

// ---- TAddressCompleter ---------------------------------------------------------------------

void TAddressCompleter::Remember() {
  FSeenPostal = FView->PostalText();
  FSeenMemo = FView->MemoText();
}

void TAddressCompleter::SetPostalText(const std::string& text) {
  std::string shown = PostalForDisplay(text);
  if (shown == FView->PostalText()) return;
  FSetting = true;
  FView->SetPostalField(shown);
  FSetting = false;
  Remember();
}

void TAddressCompleter::TidyPostal() {
  std::string shown = PostalForDisplay(PostalText());
  if (shown == FView->PostalText()) return;
  // the same code in another form: no change of the entry
  FSetting = true;
  FView->SetPostalField(shown);
  FSetting = false;
  Remember();
}

TStrings TAddressCompleter::AddressLines() const {
  TStrings lines;
  SplitLines(FView->MemoText(), lines);
  return lines;
}

void TAddressCompleter::SetAddressLines(const TStrings* lines) {
  if (!lines) return;
  FSetting = true;
  FView->SetMemoText(JoinStr(*lines, "\r\n"));
  FSetting = false;
  Remember();
}

void TAddressCompleter::Clear() {
  SetPostal(std::string());
  SetMemo(std::string());
}

void TAddressCompleter::SetMemo(const std::string& text) {
  FView->SetMemoText(text);
  MemoChanged();
}

void TAddressCompleter::SetPostal(const std::string& text) {
  FView->SetPostalField(text);
  PostalChanged();
}

void TAddressCompleter::PostalChanged() {
  if (FSetting) return;
  std::string postal = FView->PostalText();
  if (postal == FSeenPostal) return;  // a step of a composition: nothing was committed
  FSeenPostal = postal;
  if (!FComposing && !postal.empty() && FView->MemoText().empty()) FindAddress(false);
  Raise();
}

void TAddressCompleter::MemoChanged() {
  if (FSetting) return;
  std::string memo = FView->MemoText();
  if (memo == FSeenMemo) return;
  FSeenMemo = memo;
  if (!FComposing && FView->PostalText().empty() && !memo.empty()) FindPostal(false);
  Raise();
}

void TAddressCompleter::LookUpAddress() { FindAddress(true); }
void TAddressCompleter::LookUpPostal() { FindPostal(true); }

void TAddressCompleter::FindAddress(bool asked) {
  int count = 0;
  std::string text = SharedPostalData().PostalToAddress(PostalText(), count);
  if (count == 1) {
    FView->HidePickList();
    SetMemo(LeftOf(text, SJ("（")));
    // the code is complete: the address follows it, with the caret where the block number goes
    FView->FocusMemo();
  } else if (count > 1) {
    Offer(text, true, asked);
  }
}

void TAddressCompleter::FindPostal(bool asked) {
  int count = 0;
  std::string text = SharedPostalData().AddressToPostal(FView->MemoText(), count);
  if (count == 1) {
    FView->HidePickList();
    SetPostal(PostalForDisplay(text.substr(0, 7)));
    // while the address is being typed, the caret stays in it
    if (asked) FView->FocusPostal();
  } else if (count > 1) {
    Offer(text, false, asked);
  } else if (!asked) {
    FView->HidePickList();  // the candidates of a shorter address no longer apply
  }
}

void TAddressCompleter::Offer(const std::string& candidates, bool addresses, bool focus) {
  FPickAddress = addresses;
  FPickLines.clear();
  SplitLines(candidates, FPickLines);
  // the codes of the candidates as the field shows codes
  TStrings shown = FPickLines;
  if (!addresses)
    for (std::string& line : shown) line = PostalForDisplay(line.substr(0, 7)) + (line.size() > 7 ? line.substr(7) : std::string());
  FView->ShowPickList(shown, addresses, focus);
}

void TAddressCompleter::Pick(int index) {
  if (index >= 0 && index < static_cast<int>(FPickLines.size())) {
    const std::string& line = FPickLines[static_cast<size_t>(index)];
    if (FPickAddress) {
      SetMemo(LeftOf(line, SJ("（")));
    } else {
      SetPostal(PostalForDisplay(line.substr(0, 7)));
      // The candidate's address carries the town's note twice (once as stored, once
      // appended): the address is taken without it, as a single candidate is.
      SetMemo(CutBeforeNote(line.size() > 8 ? line.substr(8) : std::string()));
    }
  }
  FView->HidePickList();
  if (FPickAddress) FView->FocusMemo();
  else FView->FocusPostal();
}

// ---- TEditAddress --------------------------------------------------------------------------

namespace {
// A line edit that the input method leaves alone: keys arrive as typed. A line edit answers
// the input method's question for itself, whatever its attribute says.
class TDirectInputEdit : public QLineEdit {
public:
  using QLineEdit::QLineEdit;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override {
    if (query == Qt::ImEnabled) return false;
    return QLineEdit::inputMethodQuery(query);
  }
};
}  // namespace

void UseButtonFaceWhenDisabled(QWidget* w) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::Disabled, QPalette::Base, pal.color(QPalette::Active, QPalette::Button));
  w->setPalette(pal);
}

TEditAddress::TEditAddress(QWidget* parent) : QWidget(parent) {
  FEditPostal = new TDirectInputEdit(this);
  FEditPostal->setValidator(OneLineValidator(FEditPostal));
  // A code is digits: the field takes keys directly, whatever state the input method is in
  // (no full-width digits from a kana mode, no composition to commit).
  FEditPostal->setAttribute(Qt::WA_InputMethodEnabled, false);
  FEditPostal->setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhPreferLatin);
  FMemoAddress = new QPlainTextEdit(this);
  FMemoAddress->setTabChangesFocus(true);
  FMemoAddress->setLineWrapMode(QPlainTextEdit::NoWrap);
  UseButtonFaceWhenDisabled(FEditPostal);
  UseButtonFaceWhenDisabled(FMemoAddress);
  setFocusPolicy(Qt::StrongFocus);
  setFocusProxy(FEditPostal);
  FEditPostal->installEventFilter(this);
  FMemoAddress->installEventFilter(this);
  // candidates that wait beside the fields go when the user leaves the address
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (PickListShown() && now && now != FEditPostal && now != FMemoAddress && now != FPickList &&
        !FMemoAddress->isAncestorOf(now))
      HidePickList();
  });
  connect(FEditPostal, &QLineEdit::textChanged, this, [this] { ShowErrors([&] { FCompleter.PostalChanged(); }); });
  connect(FEditPostal, &QLineEdit::editingFinished, this, [this] { FCompleter.TidyPostal(); });
  connect(FMemoAddress, &QPlainTextEdit::textChanged, this, [this] { ShowErrors([&] { FCompleter.MemoChanged(); }); });
}

void TEditAddress::LookUpAddress() {
  ShowErrors([&] { FCompleter.LookUpAddress(); });
}

void TEditAddress::LookUpPostal() {
  ShowErrors([&] { FCompleter.LookUpPostal(); });
}

std::string TEditAddress::PostalText() const { return FromQ(FEditPostal->text()); }

void TEditAddress::SetPostalField(const std::string& text) {
  QSignalBlocker block(FEditPostal);
  FEditPostal->setText(ToQ(text));
}

std::string TEditAddress::MemoText() const {
  QString t = FMemoAddress->toPlainText();
  t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return FromQ(t);
}

void TEditAddress::SetMemoText(const std::string& text) {
  QSignalBlocker block(FMemoAddress);
  QString t = ToQ(text);
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  FMemoAddress->setPlainText(t);
}

void TEditAddress::FocusPostal() {
  FEditPostal->setFocus();
  FEditPostal->end(false);
}

void TEditAddress::FocusMemo() {
  FMemoAddress->setFocus();
  FMemoAddress->moveCursor(QTextCursor::End);
}

void TEditAddress::ShowPickList(const TStrings& lines, bool belowMemo, bool focus) {
  QWidget* host = parentWidget() ? parentWidget() : this;
  if (!FPickList) {
    FPickList = new QListWidget(host);
    FPickList->setMouseTracking(true);
    FPickList->setUniformItemSizes(true);
    FPickList->installEventFilter(this);
    connect(FPickList, &QListWidget::itemEntered, FPickList, [this](QListWidgetItem* it) { FPickList->setCurrentItem(it); });
    connect(FPickList, &QListWidget::itemClicked, this, [this] { PickCurrent(); });
  }
  FPickList->clear();
  for (const std::string& line : lines) {
    auto* it = new QListWidgetItem(ToQ(line), FPickList);
    it->setSizeHint(QSize(0, 16));
  }
  // Codes go below the code field, as wide as both fields; candidates that wait while the
  // address is typed go below the address, so that they never cover the line being typed.
  QWidget* anchor = belowMemo || !focus ? static_cast<QWidget*>(FMemoAddress) : static_cast<QWidget*>(FEditPostal);
  QWidget* leftEdge = belowMemo ? static_cast<QWidget*>(FMemoAddress) : static_cast<QWidget*>(FEditPostal);
  QPoint topLeft(leftEdge->mapTo(host, QPoint(0, 0)).x(), anchor->mapTo(host, QPoint(0, anchor->height())).y());
  int width = FMemoAddress->mapTo(host, QPoint(FMemoAddress->width(), 0)).x() - topLeft.x();
  FPickList->setGeometry(topLeft.x(), topLeft.y(), width, PickListHeight(static_cast<int>(lines.size())));
  FPickList->setCurrentRow(0);
  FPickList->show();
  FPickList->raise();
  if (focus) FPickList->setFocus();
}

void TEditAddress::HidePickList() {
  if (FPickList) FPickList->hide();
}

bool TEditAddress::PickListShown() const { return FPickList && !FPickList->isHidden(); }

void TEditAddress::EnterPickList() {
  FPickList->setCurrentRow(0);
  FPickList->setFocus();
}

void TEditAddress::PickCurrent() {
  if (!FPickList || FPickList->isHidden()) return;
  int row = FPickList->currentRow();
  // the list closes first, so that losing its focus does not close it a second time
  FPickList->hide();
  ShowErrors([&] { FCompleter.Pick(row); });
}

bool TEditAddress::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == FEditPostal || watched == FMemoAddress) && event->type() == QEvent::InputMethod) {
    // seen before the field takes it: the change it makes is known to come from a composition
    auto* e = static_cast<QInputMethodEvent*>(event);
    FCompleter.SetComposing(!e->preeditString().isEmpty());
  }
  if ((watched == FEditPostal || watched == FMemoAddress) && event->type() == QEvent::FocusOut)
    FCompleter.SetComposing(false);
  if ((watched == FEditPostal || watched == FMemoAddress) && event->type() == QEvent::KeyPress && PickListShown()) {
    auto* k = static_cast<QKeyEvent*>(event);
    bool lastLine = watched == FEditPostal || !FMemoAddress->textCursor().movePosition(QTextCursor::Down);
    if (k->key() == Qt::Key_Down && k->modifiers() == Qt::NoModifier && lastLine) {
      EnterPickList();
      return true;
    }
    if (k->key() == Qt::Key_Escape) {
      HidePickList();
      return true;
    }
  }
  if (watched == FEditPostal && event->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(event);
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
      FocusMemo();
      return true;
    }
  }
  if (watched == FPickList) {
    if (event->type() == QEvent::KeyPress) {
      auto* k = static_cast<QKeyEvent*>(event);
      if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
        PickCurrent();
        return true;
      }
      if (k->key() == Qt::Key_Escape) {
        FPickList->hide();
        // back to the field the candidates were offered for
        if (FCompleter.PickAddress()) FocusMemo();
        else FocusPostal();
        return true;
      }
    } else if (event->type() == QEvent::FocusOut) {
      // a list left open would cover the fields below it
      QTimer::singleShot(0, FPickList, [list = FPickList] {
        if (!list->hasFocus()) list->hide();
      });
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TEditAddress::resizeEvent(QResizeEvent*) {
  int postalWidth = static_cast<int>(std::lrint(QFontInfo(font()).pixelSize() * 4.5));
  // wide enough for a code with its hyphen in any font
  postalWidth = std::max(postalWidth, FEditPostal->fontMetrics().horizontalAdvance(QStringLiteral("000-00000")) + 8);
  FEditPostal->setGeometry(0, 0, postalWidth, FEditPostal->sizeHint().height());
  int memoLeft = postalWidth + 4;
  FMemoAddress->setGeometry(memoLeft, 0, std::max(0, width() - memoLeft - 1), height());
}

void TEditAddress::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() == QEvent::FontChange) resizeEvent(nullptr);
}

}  // namespace kaede
