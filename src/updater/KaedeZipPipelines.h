#pragma once
// The updater's whole run without a window: fetch the published archive into a private work
// folder, unpack KEN_ALL.CSV, convert it and write the dictionary. The window and the command
// line follow it through one status event and show the same texts.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "Downloads.h"

namespace kaede {

enum class TZipStep { Ready, Download, Unpack, Convert, Done };

struct TZipStatus {
  TZipStep Step = TZipStep::Ready;
  int Percent = 0;     // 0-100
  std::string Text;    // the status text
  bool Failed = false; // the text reports a failure (shown in red)
  bool Implausible = false;  // failed because the new dictionary is much smaller than the current
};

using TZipStatusEvent = std::function<void(const TZipStatus& status)>;
// Asks the user a yes/no question (CP932); true for yes.
using TZipConfirmEvent = std::function<bool(const std::string& question)>;

// The largest KEN_ALL.CSV that is unpacked and read: the national file is about 12 MB (its
// UTF-8 form 18 MB), so five times that leaves room for growth while an archive that expands
// far beyond it (a bomb) stops early.
inline constexpr int64_t kMaxKenAllSize = int64_t(64) << 20;

class TKaedeZipPipeline {
public:
  std::string Source;        // web address, file:// address or local file of the archive
  std::string TargetFolder;  // where Ken.dat, City.dat and Postal.dat go
  TDownloadOptions DownloadOptions;
  int64_t MaxCsvSize = kMaxKenAllSize;
  TZipStatusEvent OnStatus;  // every change of step, percentage or text
  // A new dictionary much smaller than the one it replaces is put in place only when Force is
  // set or OnConfirm answers yes to the question; without either the step fails.
  bool Force = false;
  TZipConfirmEvent OnConfirm;

  // Runs every step. True when the dictionary was replaced. A failed step reports its text
  // with Failed set and returns false, leaving the existing dictionary as it was: the download
  // gave no file ("ダウンロードに失敗しました。"), the archive is not one, lacks KEN_ALL.CSV,
  // leads out of its folder, is cut short or expands too far ("解凍に失敗しました。" and the
  // cause), or the file has a control byte or a bad name on some line, gives no dictionary or
  // one much smaller than the current, or there is no target folder ("変換に失敗しました。" and
  // the cause). A download error (EDownloadError), and a file that cannot be read or written
  // (EFileError), are raised. The work folder goes on every path out, and work folders that
  // killed runs left go at the start.
  bool Run();

  const TZipStatus& Status() const { return FStatus; }

private:
  bool Steps();
  void Report(TZipStep step, int percent, const std::string& text, bool failed = false);
  void SetPercent(int percent);
  void Fetch(const std::string& archive);
  bool Fail(const std::string& text);

  TZipStatus FStatus;
  std::string FWorkFolder, FArchive, FCsv;
};

}  // namespace kaede
