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

void TKaedeZipPipeline::CleanUp() {
  if (!FArchive.empty()) ::unlink(OsPath(FArchive).c_str());
  if (!FCsv.empty()) ::unlink(OsPath(FCsv).c_str());
  // The folder is private to this run; it goes when nothing else was left in it.
  if (!FWorkFolder.empty()) ::rmdir(OsPath(FWorkFolder).c_str());
}

bool TKaedeZipPipeline::Fail(const std::string& text) {
  Report(FStatus.Step, 0, text, true);
  CleanUp();
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
  try {
    return Steps();
  } catch (...) {
    // The files of a failed step stay for a look at them; an empty work folder goes.
    if (!FWorkFolder.empty()) ::rmdir(OsPath(FWorkFolder).c_str());
    throw;
  }
}

bool TKaedeZipPipeline::Steps() {
  FStatus = TZipStatus();
  FWorkFolder.clear();
  FArchive.clear();
  FCsv.clear();
  FWorkFolder = MakeWorkFolder();
  FArchive = FWorkFolder + "/ken_all.lzh";
  std::string expectedCsv = FWorkFolder + "/ken_all.CSV";

  // Download
  Report(TZipStep::Download, 10, SJ("郵便番号ファイルをゆうびんホームページからダウンロードしています..."));
  Fetch(FArchive);
  bool downloaded = FileExists(FArchive);
  SetPercent(20);
  if (!downloaded) return Fail(SJ("ダウンロードに失敗しました。"));

  // Unpack: the format comes from the file's first bytes, not from its name or address.
  Report(TZipStep::Unpack, 20, SJ("郵便番号ファイルを解凍しています..."));
  int result = arcCannotOpen;
  TArchiverType type = SniffArchiverFile(FArchive);
  if (type != atNone) {
    TArchiveFile archive(FArchive);
    archive.SetArchiverType(type);
    TArchiverOptions options;
    options.jso = 1;
    options.jse = 1;
    options.n = 1;
    result = archive.Extract(nullptr, options, {kCsvMember}, FWorkFolder);
  }
  SetPercent(30);
  FCsv = FindIgnoringCase(FWorkFolder, "ken_all.CSV");
  if (result != arcSuccess || FCsv.empty()) {
    if (FCsv.empty()) FCsv = expectedCsv;
    return Fail(SJ("解凍に失敗しました。"));
  }

  // Convert
  Report(TZipStep::Convert, 30, SJ("解凍した郵便番号ファイルを読み込んでいます..."));
  TStrings records;
  SplitLines(ReadFileBytes(FCsv), records);
  Report(TZipStep::Convert, 30, SJ("解凍した郵便番号ファイルをKaede Addressで使用できる形式に変換しています..."));
  TPostalLists lists;
  bool converted = ConvertKenAll(records, lists, [&](size_t k, size_t n) {
    SetPercent(30 + static_cast<int>(std::nearbyint(70.0 * static_cast<double>(k) / static_cast<double>(n))));
  });
  records.clear();
  if (!converted || TargetFolder.empty()) return Fail(SJ("変換に失敗しました。"));
  SavePostalFiles(TargetFolder, lists);

  CleanUp();
  Report(TZipStep::Done, 100,
         SJ("Kaede Address の郵便番号ファイル（Ken.dat City.dat Postal.dat）は正常に更新されました。次回の Kaede Address "
            "起動から有効となります。［閉じる］ボタンをクリックして終了してください。"));
  return true;
}

}  // namespace kaede
