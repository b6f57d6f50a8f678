// KaedeAddress: the address book window.
#include <QApplication>
#include <QFont>
#include <QIcon>

#include "AppGuards.h"
#include "AppSetup.h"
#include "Cp932.h"
#include "KaedeAddressMains.h"
#include "KaedeAddressOptions.h"
#include "MessageBoxes.h"
#include "QtCanvas.h"
#include "QtPrinters.h"
#include "QtText.h"
#include "VerInfos.h"

using namespace kaede;

int main(int argc, char** argv) {
  if (AnswerVersionOrHelp(argc, argv, "KaedeAddress",
                          "使い方: KaedeAddress [-D データフォルダ] [-N 名前] [-S スタイル] [/Q] [/Z] [住所録.kad]\n"
                          "  住所録.kad    この住所録を開く\n"
                          "  -D フォルダ   このデータフォルダを使う\n"
                          "  -N 名前       名前にこの文字を含む最初の人を選ぶ\n"
                          "  -S スタイル   この名前のはがきスタイルを選ぶ\n"
                          "  /Q            ウィンドウを表示して終了する\n"
                          "  /Z            通知領域で起動する\n"
                          "  --version     版を表示して終了する\n"
                          "詳しくは man KaedeAddress"))
    return 0;
  // an exception that leaves an event handler is shown, and the program goes on
  TGuardedApplication app(argc, argv);
  SetUpApplicationNames();
  LoadQtTranslations(app);
  QApplication::setFont(MakeFont(SJ("ＭＳ Ｐゴシック"), 10));
  // The printers (with the PDF printer) and the drawing surfaces of the paper views; handed
  // back before the application object goes.
  TQtPaperSetup paper;

  TQtAppHost host;
  SetAppHost(&host);
  TStrings args;
  for (int i = 1; i < argc; ++i) args.push_back(Utf8ToSjis(argv[i], TConvMode::Replace));
  TAppOption::SetProgramArguments(args);

  // The settings come first: at the first start they ask for the data folder, and without
  // one the program ends here.
  auto* options = TDataItem::Make<TKaedeAddressOption>();
  int status = 0;
  if (!host.Terminated()) {
    TKaedeAddressMain window(*options);
    host.SetMainWindow(&window);
    host.OnTrayAction = [options](int kind, const TPoint& at) { options->TrayAction(kind, at); };
    // a termination signal saves and closes the window; the program then ends as after 終了
    // (queued: a signal that comes while the program is still starting ends it as soon as
    // the event loop runs, instead of leaving a closed window in a running program); one that
    // comes during a question of the start ends the program when the start is over
    bool quitRequested = false;
    window.OnQuitRequested = [&quitRequested] {
      quitRequested = true;
      QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    };
    window.Start();  // the start book, and the command line (/Z keeps the window hidden)
    if (!options->TrayMode() && !host.Terminated() && !quitRequested) window.show();
    if (!host.Terminated() && !quitRequested) status = QApplication::exec();
    host.SetMainWindow(nullptr);
  }
  options->Free();  // saves the settings
  SetAppHost(nullptr);
  return status;
}
