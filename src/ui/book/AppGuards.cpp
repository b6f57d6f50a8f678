#include "AppGuards.h"

#include <cstdio>

#include "AppHost.h"
#include "Cp932.h"
#include "Errors.h"

namespace kaede {

namespace {
int GReported = 0;
bool GReporting = false;
}  // namespace

TGuardedApplication::TGuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TGuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ReportHandlerError(&e);
  } catch (...) {
    ReportHandlerError(nullptr);
  }
  return true;  // the event was handled, although its handler failed
}

int TGuardedApplication::ReportedErrors() { return GReported; }

std::string HandlerErrorText(const std::exception* e) {
  std::string text = SJ("操作を最後まで行えませんでした。入力した内容、住所録とスタイルはそのまま残っています。");
  std::string detail;
  if (auto* k = dynamic_cast<const Exception*>(e)) detail = k->what();  // CP932 already
  else if (e) detail = Utf8ToSjis(e->what(), TConvMode::Replace);
  else detail = SJ("不明なエラー");
  if (!detail.empty()) text += "\n\n" + detail;
  return text;
}

void ReportHandlerError(const std::exception* e) {
  ++GReported;
  const std::string text = HandlerErrorText(e);
  if (GReporting) {
    std::fprintf(stderr, "%s\n", SjisToUtf8(text, TConvMode::Replace).c_str());
    return;
  }
  GReporting = true;
  try {
    AppHost().ShowError(text);
  } catch (...) {
    std::fprintf(stderr, "%s\n", SjisToUtf8(text, TConvMode::Replace).c_str());
  }
  GReporting = false;
}

}  // namespace kaede
