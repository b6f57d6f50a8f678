// KaedeZip: rebuilds the postal-code dictionary of the address book from the published archive.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "AppIcons.h"
#include "Cp932.h"
#include "Errors.h"
#include "KaedeZipPipelines.h"
#include "MemoLabels.h"
#include "QtText.h"
#include "Strs.h"
#include "VerInfos.h"
#include "ZipSettings.h"

using namespace kaede;

namespace {

class TKaedeZipMain : public QWidget {
public:
  TKaedeZipMain() {
    setWindowTitle(ToQ(SJ("Kaede Address 郵便番号データ更新")));
    auto* layout = new QVBoxLayout(this);
    // the explanation wraps with hanging punctuation and sizes itself to its text
    FMemo = new TMemoLabel(this);
    FMemo->SetFrameShape(2);
    FMemo->SetPen(QPen(Qt::gray, 1, Qt::DotLine));
    FMemo->SetMargins(10, 10, 10, 10);
    FMemo->SetCaption(SJ("郵便局のホームページで公開している郵便番号データを Kaede Address で使用する郵便番号ファイル（Ken.dat City.dat "
                         "Postal.dat）に変換するツールです。ダウンロード→解凍→変換という一連の作業をすべて自動で行うことができます。") +
                      "\r\n\r\n" + SJ("作業を開始するには［実行］ボタンをクリックしてください。"));
    FMemo->setFixedSize(420, FMemo->heightForWidth(420));
    layout->addWidget(FMemo);
    auto* row = new QHBoxLayout();
    FStatus = new QLabel(ToQ(SJ("進行状況")), this);
    FStatus->setWordWrap(true);
    FPercent = new QLabel("0%", this);
    FPercent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(FStatus, 1);
    row->addWidget(FPercent);
    layout->addLayout(row);
    FBar = new QProgressBar(this);
    FBar->setRange(0, 100);
    FBar->setValue(0);
    FBar->setTextVisible(false);
    layout->addWidget(FBar);
    FButton = new QPushButton(ToQ(SJ("実行")), this);
    FButton->setDefault(true);
    layout->addWidget(FButton, 0, Qt::AlignRight);
    connect(FButton, &QPushButton::clicked, this, [this] { ButtonClick(); });
    // A fixed border that still grows with a longer status text (a failure names its cause).
    layout->setSizeConstraint(QLayout::SetFixedSize);
  }

private:
  void ButtonClick() {
    if (FDone) {
      close();
      return;
    }
    TKaedeZipPipeline pipeline;
    pipeline.Source = ConfiguredZipSource();
    pipeline.TargetFolder = ConfiguredDictionaryFolder();
    pipeline.OnStatus = [this](const TZipStatus& s) {
      FStatus->setStyleSheet(s.Failed ? "color: red;" : "");
      FStatus->setText(ToQ(s.Text));
      FBar->setValue(s.Failed ? 0 : s.Percent);
      FPercent->setText(QString::number(s.Failed ? 0 : s.Percent) + "%");
      if (s.Step == TZipStep::Convert) FButton->setEnabled(false);
      repaint();
      QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    // a much smaller dictionary than the current one replaces it only when the user says so
    pipeline.OnConfirm = [this](const std::string& question) {
      QMessageBox box(QMessageBox::Question, windowTitle(), ToQ(ReplaceStrAll(question, "\r\n", "\n")),
                      QMessageBox::NoButton, this);
      QPushButton* yes = box.addButton(ToQ(SJ("はい")), QMessageBox::YesRole);
      QPushButton* no = box.addButton(ToQ(SJ("いいえ")), QMessageBox::NoRole);
      box.setDefaultButton(no);
      box.exec();
      return box.clickedButton() == yes;
    };
    FButton->setEnabled(false);
    bool ok = false;
    try {
      ok = pipeline.Run();
    } catch (const Exception& e) {
      QMessageBox::critical(this, windowTitle(), ToQ(e.what()));
    }
    const TZipStatus& s = pipeline.Status();
    if (ok) {
      FDone = true;
      FMemo->SetCaption(s.Text);
      FMemo->setFixedHeight(FMemo->heightForWidth(FMemo->width()));
      FStatus->hide();
      FPercent->hide();
      FBar->hide();
      FButton->setText(ToQ(SJ("閉じる")));
      FButton->setEnabled(true);
      FButton->setFocus();
      layout()->activate();
      setFixedSize(sizeHint());
    } else {
      // after a failed conversion the button stays off; download and unpacking may be tried again
      FButton->setEnabled(s.Step != TZipStep::Convert);
    }
  }

  TMemoLabel* FMemo;
  QLabel* FStatus;
  QLabel* FPercent;
  QProgressBar* FBar;
  QPushButton* FButton;
  bool FDone = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (AnswerVersionOrHelp(argc, argv, "KaedeZip",
                          "使い方: KaedeZip\n"
                          "郵便番号データを公開元から取得し、住所録の郵便番号辞書（Ken.dat City.dat Postal.dat）を作り直します。\n"
                          "ウィンドウなしで行うには: kaede postal-update\n"
                          "詳しくは man KaedeZip"))
    return 0;
  QApplication app(argc, argv);
  QApplication::setApplicationName("KaedeZip");
  QApplication::setDesktopFileName("KaedeZip");
  QApplication::setWindowIcon(ZipIcon());
  QApplication::setFont(MakeFont(SJ("ＭＳ Ｐゴシック"), 10));
  TKaedeZipMain window;
  if (QScreen* screen = QApplication::primaryScreen()) window.move(screen->availableGeometry().center() - window.rect().center());
  window.show();
  return QApplication::exec();
}
