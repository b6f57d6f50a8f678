#pragma once
// The updater's whole run without a window: fetch the published archive into a private work
// folder, unpack KEN_ALL.CSV, convert it and write the dictionary. The window and the command
// line follow it through one status event and show the same texts.
#include <functional>
#include <string>

#include "Downloads.h"

namespace kaede {

enum class TZipStep { Ready, Download, Unpack, Convert, Done };

struct TZipStatus {
  TZipStep Step = TZipStep::Ready;
  int Percent = 0;     // 0-100
  std::string Text;    // the status text
  bool Failed = false; // the text reports a failure (shown in red)
};

using TZipStatusEvent = std::function<void(const TZipStatus& status)>;

class TKaedeZipPipeline {
public:
  std::string Source;        // web address, file:// address or local file of the archive
  std::string TargetFolder;  // where Ken.dat, City.dat and Postal.dat go
  TDownloadOptions DownloadOptions;
  TZipStatusEvent OnStatus;  // every change of step, percentage or text

  // Runs every step. True when the dictionary was replaced. A failed step reports its text
  // with Failed set and returns false, leaving the existing dictionary as it was: the download
  // gave no file ("ダウンロードに失敗しました。"), the archive is not one or lacks KEN_ALL.CSV
  // ("解凍に失敗しました。"), or the file gives no dictionary or there is no target folder
  // ("変換に失敗しました。"). A download error (EDownloadError), and a file that cannot be read
  // or written (EFileError), are raised.
  bool Run();

  const TZipStatus& Status() const { return FStatus; }

private:
  bool Steps();
  void Report(TZipStep step, int percent, const std::string& text, bool failed = false);
  void SetPercent(int percent);
  void Fetch(const std::string& archive);
  void CleanUp();
  bool Fail(const std::string& text);

  TZipStatus FStatus;
  std::string FWorkFolder, FArchive, FCsv;
};

}  // namespace kaede
