#include "KaedeZipPipelines.h"

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <system_error>

#include "AppPaths.h"
#include "Archives.h"
#include "CommaText.h"
#include "Files.h"
#include "KenAllConverter.h"
#include "ZipSettings.h"

namespace kaede {
namespace {

const char* const kCsvMember = "KEN_ALL.CSV";

// The file of the folder whose name equals the given one apart from ASCII case (the archive's
// member may be KEN_ALL.CSV where ken_all.CSV is expected); empty when there is none.
std::string FindIgnoringCase(const std::string& folder, const std::string& name) {
  std::string wanted = OsPath(name);
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(OsPath(folder), ec)) {
    std::string n = e.path().filename().string();
    if (n.size() != wanted.size() || !e.is_regular_file(ec)) continue;
    bool same = true;
    for (size_t i = 0; i < n.size() && same; ++i)
      same = std::tolower(static_cast<unsigned char>(n[i])) == std::tolower(static_cast<unsigned char>(wanted[i]));
    if (same) return FromOsPath(e.path().string());
  }
  return std::string();
}

}  // namespace

void TKaedeZipPipeline::Report(TZipStep step, int percent, const std::string& text, bool failed) {
  FStatus.Step = step;
  FStatus.Percent = percent;
  FStatus.Text = text;
  FStatus.Failed = failed;
  if (OnStatus) OnStatus(FStatus);
}

void TKaedeZipPipeline::SetPercent(int percent) {
  if (percent == FStatus.Percent) return;
  FStatus.Percent = percent;
  if (OnStatus) OnStatus(FStatus);
}

bool TKaedeZipPipeline::Fail(const std::string& text) {
  Report(FStatus.Step, 0, text, true);
  return false;
}

void TKaedeZipPipeline::Fetch(const std::string& archive) {
  try {
    DownloadFile(Source, archive, DownloadOptions);
  } catch (const EDownloadError& first) {
    std::string fallback = FallbackZipSource(Source);
    if (fallback.empty()) throw;
    try {
      DownloadFile(fallback, archive, DownloadOptions);
    } catch (const EDownloadError& second) {
      throw EDownloadError(Source, first.Reason() + "; " + fallback + ": " + second.Reason());
    }
  }
}

bool TKaedeZipPipeline::Run() {
  FStatus = TZipStatus();
  FWorkFolder.clear();
  FArchive.clear();
  FCsv.clear();
  // what killed runs left behind goes first
  RemoveStaleWorkFolders();
  // The work folder is private to this run and goes with everything in it on every way out:
  // success, a failed step, an error raised, or a kill (then the next run removes it).
  TWorkFolder work;
  FWorkFolder = work.Path();
  bool ok = Steps();
  FWorkFolder.clear();
  return ok;
}

bool TKaedeZipPipeline::Steps() {
  FArchive = FWorkFolder + "/ken_all.lzh";
  const std::string unpackFailed = SJ("解凍に失敗しました。");
  const std::string convertFailed = SJ("変換に失敗しました。");

  // Download
  Report(TZipStep::Download, 10, SJ("郵便番号ファイルをゆうびんホームページからダウンロードしています..."));
  Fetch(FArchive);
  bool downloaded = FileExists(FArchive);
  SetPercent(20);
  if (!downloaded) return Fail(SJ("ダウンロードに失敗しました。"));

  // Unpack: the format comes from the file's first bytes, not from its name or address.
  Report(TZipStep::Unpack, 20, SJ("郵便番号ファイルを解凍しています..."));
  int result = arcCannotOpen;
  std::string cause = SJ("郵便番号の書庫（ZIP または LHA）ではありません。");
  TArchiverType type = SniffArchiverFile(FArchive);
  if (type != atNone) {
    TArchiveFile archive(FArchive);
    archive.SetArchiverType(type);
    archive.MaxMemberSize = MaxCsvSize;
    TArchiverOptions options;
    options.jso = 1;
    options.jse = 1;
    options.n = 1;
    result = archive.Extract(nullptr, options, {kCsvMember}, FWorkFolder);
    cause = archive.FailureText();
  }
  ::unlink(OsPath(FArchive).c_str());  // not needed any more: the room goes back at once
  SetPercent(30);
  FCsv = FindIgnoringCase(FWorkFolder, "ken_all.CSV");
  if (result != arcSuccess || FCsv.empty()) {
    if (cause.empty()) cause = std::string(kCsvMember) + SJ(": 書庫にありません");
    return Fail(unpackFailed + cause);
  }

  // Convert: the whole file is read and every line checked before anything is replaced.
  Report(TZipStep::Convert, 30, SJ("解凍した郵便番号ファイルを読み込んでいます..."));
  std::string text = ReadFileBytes(FCsv, MaxCsvSize);
  Report(TZipStep::Convert, 30, SJ("解凍した郵便番号ファイルをKaede Addressで使用できる形式に変換しています..."));
  TPostalLists lists;
  try {
    ConvertKenAllText(text, lists, [&](size_t k, size_t n) {
      SetPercent(30 + static_cast<int>(std::nearbyint(70.0 * static_cast<double>(k) / static_cast<double>(n))));
    });
  } catch (const Exception& e) {
    return Fail(convertFailed + kCsvMember + SJ(" の ") + std::to_string(e.LineNo()) + SJ("行目: ") + e.Message());
  }
  text = std::string();
  if (lists.Postal.empty()) return Fail(convertFailed + kCsvMember + SJ(" に郵便番号のデータがありません。"));
  if (TargetFolder.empty()) return Fail(convertFailed + SJ("辞書を書き込むフォルダがありません。"));
  std::string implausible = ImplausibleReason(SummarizeDictionary(TargetFolder), SummarizePostalLists(lists));
  if (!implausible.empty() && !Force &&
      !(OnConfirm && OnConfirm(implausible + "\r\n" + SJ("それでも今の辞書を置き換えますか？")))) {
    FStatus.Implausible = true;
    return Fail(convertFailed + implausible);
  }
  SavePostalFiles(TargetFolder, lists);

  Report(TZipStep::Done, 100,
         SJ("Kaede Address の郵便番号ファイル（Ken.dat City.dat Postal.dat）は正常に更新されました。次回の Kaede Address "
            "起動から有効となります。［閉じる］ボタンをクリックして終了してください。"));
  return true;
}

}  // namespace kaede
