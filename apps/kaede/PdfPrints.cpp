#include "PdfPrints.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "AppPaths.h"
#include "BaseStyles.h"
#include "Commands.h"
#include "Cp932.h"
#include "Files.h"
#include "PostStyles.h"
#include "PrintOffsets.h"
#include "QtCanvas.h"
#include "CupsQueues.h"
#include "QtPrinters.h"

namespace kaede::cli {

namespace fs = std::filesystem;

bool IsNumber(const std::string& s) {
  return !s.empty() && s.size() < 9 && s.find_first_not_of("0123456789") == std::string::npos;
}

TBaseStyle* ListedStyle(TBaseStyleList& list, const std::string& arg) {
  // the settings of the address book, where its styles live
  list.ReadFromRegistry("KaedeAddress");
  if (IsNumber(arg)) {
    const int index = std::atoi(arg.c_str());
    return index < list.Count() ? list.Style(index) : nullptr;
  }
  const std::string name = ArgToSjis(arg, "スタイルの名前");
  for (int i = 0; i < list.Count(); ++i)
    if (list.Style(i)->Name() == name) return list.Style(i);
  return nullptr;
}

void ChoosePostStyle(const std::string& arg, TPostStyle& style) {
  if (arg.size() > 4 && (arg.substr(arg.size() - 4) == ".kps" || arg.substr(arg.size() - 4) == ".KPS")) {
    std::string file = ArgToSjis(arg, "スタイルファイル");
    if (!FileExists(file) || !style.LoadStyleFile(file, "Style"))
      throw Exception(SJ("はがきのスタイルファイル ") + file + SJ(" を読み込めません"));
    style.EnsurePreset();
    return;
  }
  TPostStyleList list;
  TBaseStyle* found = ListedStyle(list, arg);
  if (!found)
    throw Exception(SJ("はがきのスタイル") + Quoted(arg) + SJ("はありません。スタイル一覧の名前か 0 から ") +
                    std::to_string(list.Count() - 1) + SJ(" までの番号、または .kps ファイルを指定します"));
  style.Assign(found);
}

void TakeOffsetOption(TArgReader& r) {
  std::string text;
  TPrintOffset offset;
  if (r.Option("--offset", text) && !ParsePrintOffset(text, offset))
    throw Exception(SJ("--offset には X,Y を -10 から 10 までのミリメートルで指定します（") + Quoted(text) +
                    SJ("は使えません）"));
  SetPrintOffsetOverride(offset);
}

void ParseRange(const std::string& text, const char* option, const char* unit, int32_t& from, int32_t& to) {
  const size_t dash = text.find('-');
  const std::string a = text.substr(0, dash), b = dash == std::string::npos ? a : text.substr(dash + 1);
  auto bad = [&] {
    return Exception(std::string(option) + SJ(" には") + Utf8ToSjis(unit, TConvMode::Replace) +
                     SJ("の番号を 1 から数えて A-B、A- または A の形で指定します（") + Quoted(text) + SJ("は使えません）"));
  };
  if ((!a.empty() && !IsNumber(a)) || (!b.empty() && !IsNumber(b)) || (a.empty() && b.empty())) throw bad();
  from = a.empty() ? 0 : std::atoi(a.c_str());
  to = b.empty() ? 0 : std::atoi(b.c_str());
  if ((!a.empty() && from < 1) || (!b.empty() && to < 1) || (from > 0 && to > 0 && to < from)) throw bad();
}

namespace {
// The toolkit's notes about the desktop session (no runtime folder in a plain terminal or a
// service) mean nothing to a command that only writes a file; everything else is passed on.
void QtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))) return;
  std::fputs(qFormatLogMessage(type, context, message).toLocal8Bit().constData(), stderr);
  std::fputc('\n', stderr);
}
}  // namespace

std::unique_ptr<QGuiApplication> StartQt() {
  if (QGuiApplication::instance()) return nullptr;
#ifdef __GLIBC__
  // The PDF writer compresses every page in a buffer of its own: with the allocator's
  // defaults each one is given back to the system and faulted in zeroed again for the next
  // page, which took half of a long print. Keeping freed memory in the process (it stays
  // below 100 MB for 10,000 cards) halves the time.
  ::mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  ::mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
  qInstallMessageHandler(QtMessages);
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "kaede";
  static char* argv[] = {name, nullptr};
  auto app = std::make_unique<QGuiApplication>(argc, argv);
  InstallQtDrawing();
  return app;
}

TPdfOutput::TPdfOutput(const std::string& out) : FFile(ArgToSjis(out, "出力ファイル")), FPart(FFile + ".part") {
  const fs::path path(out);
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  if (!IsWritableFolder(FromOsPath(folder.string())))
    throw Exception(FFile + SJ(" に書き込めません: フォルダがないか、書き込めないフォルダです"));
  if (fs::is_directory(path)) throw Exception(FFile + SJ(" に書き込めません: フォルダです"));
}

void TPdfOutput::InstallPrinter() {
  auto backend = std::make_unique<TPdfPrinterBackend>();
  backend->SetOutputFileName(FPart);
  SheetPrinter().SetBackend(std::move(backend));
}

TPdfOutput::~TPdfOutput() {
  SheetPrinter().SetBackend(nullptr);
  if (!FDone) {
    std::error_code ec;
    fs::remove(OsPath(FPart), ec);
  }
}

void TPdfOutput::Finish() {
  // the job is over: the printer lets go of the file
  SheetPrinter().SetBackend(nullptr);
  if (!fs::exists(OsPath(FPart))) throw Exception(SJ("PDF プリンタが ") + FPart + SJ(" に何も書きませんでした"));
  std::error_code ec;
  fs::rename(OsPath(FPart), OsPath(FFile), ec);
  if (ec) throw Exception(FFile + SJ(" に書き込めません: ") + Utf8ToSjis(ec.message(), TConvMode::Replace));
  FDone = true;
}

TQueueOutput::TQueueOutput(const std::string& queue, const std::string& copies)
    : FQueue(ArgToSjis(queue, "プリンタの名前")) {
  if (!copies.empty()) {
    if (!IsNumber(copies) || std::atoi(copies.c_str()) < 1 || std::atoi(copies.c_str()) > 999)
      throw Exception(SJ("--copies には 1 から 999 までの部数を指定します（") + Quoted(copies) + SJ("は使えません）"));
    FCopies = std::atoi(copies.c_str());
  }
}

void TQueueOutput::InstallPrinter() {
  InstallQtPrinters();
  TSheetPrinter& printer = SheetPrinter();
  if (FQueue == TPdfPrinterBackend::kName || !printer.SelectPrinter(FQueue)) {
    std::string names;
    for (const TCupsQueue& q : CupsQueues()) names += "\n  " + Utf8ToSjis(q.Name, TConvMode::Replace);
    throw Exception(SJ("プリンタ「") + FQueue + SJ("」はありません") +
                    (names.empty() ? SJ("。印刷システムにプリンタが一つもありません") : SJ("。プリンタは次のとおりです:") + names));
  }
  TPrintJobOptions job;
  job.Copies = FCopies;
  printer.SetJobOptions(job);
  // nobody to ask on the command line: the user is warned and the job goes
  printer.ClipCheck = [](const TClipLoss& loss) {
    std::fputs(SjisToUtf8(SJ("警告: ") + loss.Text() + SJ("そのまま印刷します。")).c_str(), stderr);
    std::fputc('\n', stderr);
    return true;
  };
}

TQueueOutput::~TQueueOutput() {
  SheetPrinter().ClipCheck = nullptr;
  SheetPrinter().SetBackend(nullptr);
}

}  // namespace kaede::cli
