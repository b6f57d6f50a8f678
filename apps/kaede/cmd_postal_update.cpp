// kaede postal-update: rebuilds the postal-code dictionary from the published archive (or a
// local copy of it) without a window, showing the updater's progress and messages.
#include <unistd.h>

#include <cstdio>

#include "Commands.h"
#include "Cp932.h"
#include "KaedeZipPipelines.h"
#include "ZipSettings.h"

namespace kaede::cli {
namespace {

int Run(const TArgs& args) {
  TArgReader r(args);
  std::string source, target;
  bool haveSource = r.Option("--source", source);
  bool haveTarget = r.Option("--to", target);
  bool force = r.Flag("--force");
  if (!r.Positionals().empty()) throw UsageError("kaede postal-update [--source URL|FILE] [--to DIR] [--force]");
  TKaedeZipPipeline pipeline;
  // a dictionary much smaller than the current one replaces it only when asked for
  pipeline.Force = force;
  pipeline.Source = haveSource ? ArgToSjis(source, "取り込み元") : ConfiguredZipSource();
  pipeline.TargetFolder = haveTarget ? ArgToSjis(target, "フォルダ") : ConfiguredDictionaryFolder();

  // One line per status text; on a terminal the percentage is updated in place.
  const bool tty = ::isatty(STDERR_FILENO);
  std::string lastText;
  pipeline.OnStatus = [&](const TZipStatus& s) {
    if (s.Failed || s.Step == TZipStep::Done) return;  // the outcome is printed below
    bool newText = s.Text != lastText;
    if (!tty && !newText) return;
    if (tty && newText && !lastText.empty()) std::fputc('\n', stderr);
    std::fprintf(stderr, "%s[%3d%%] %s%s", tty ? "\r\033[K" : "", s.Percent, SjisToUtf8(s.Text).c_str(),
                 tty ? "" : "\n");
    std::fflush(stderr);
    lastText = s.Text;
  };
  bool ok = false;
  try {
    ok = pipeline.Run();
  } catch (const EDownloadError& e) {
    if (tty) std::fputc('\n', stderr);
    PrintError(e.Message());
    PrintError(e.Reason());
    return 1;
  } catch (...) {
    if (tty) std::fputc('\n', stderr);
    throw;
  }
  if (tty) std::fputc('\n', stderr);
  if (!ok) {
    PrintError(pipeline.Status().Text);
    if (pipeline.Status().Implausible) PrintError(SJ("--force を付けると、それでも辞書を置き換えます"));
    return 1;
  }
  PrintLine(pipeline.Status().Text);
  return 0;
}

TCommandRegistrar reg({"postal-update", "postal-update [--source URL|FILE] [--to DIR] [--force]",
                       "rebuild the postal-code dictionary from the published archive", Run});

}  // namespace
}  // namespace kaede::cli
