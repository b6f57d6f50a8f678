#include "Downloads.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <vector>

#include "Cp932.h"
#include "Files.h"

namespace kaede {

EDownloadError::EDownloadError(const std::string& url, std::string reason)
    : Exception(SJ("ダウンロードエラー - URL：") + url), FUrl(url), FReason(std::move(reason)) {}

bool LocalSourcePath(const std::string& source, std::string& path) {
  static const std::string kFile = "file://";
  if (source.compare(0, kFile.size(), kFile) == 0) {
    std::string rest = source.substr(kFile.size());
    if (rest.compare(0, 9, "localhost") == 0) rest.erase(0, 9);
    if (rest.empty() || rest[0] != '/') return false;
    int length = 0;
    char* decoded = curl_easy_unescape(nullptr, rest.c_str(), static_cast<int>(rest.size()), &length);
    if (!decoded) return false;
    path = FromOsPath(std::string(decoded, static_cast<size_t>(length)));
    curl_free(decoded);
    return true;
  }
  if (source.find("://") != std::string::npos) return false;
  path = source;
  return true;
}

const char* RedirectProtocols(const std::string& url) {
  std::string scheme = url.substr(0, url.find("://"));
  for (char& c : scheme)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return scheme == "https" ? "https" : "http,https";
}

namespace {

struct TSink {
  std::FILE* File = nullptr;
  int64_t Written = 0;
  int64_t Max = 0;
  bool TooLarge = false;
};

size_t WriteData(char* data, size_t size, size_t count, void* user) {
  TSink* sink = static_cast<TSink*>(user);
  size_t n = size * count;
  if (sink->Written + static_cast<int64_t>(n) > sink->Max) {
    sink->TooLarge = true;
    return 0;
  }
  sink->Written += static_cast<int64_t>(n);
  return std::fwrite(data, 1, n, sink->File);
}

void FetchUrl(const std::string& url, const std::string& fileName, const TDownloadOptions& options) {
  static std::once_flag init;
  std::call_once(init, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  std::string target = OsPath(fileName);
  size_t slash = target.rfind('/');
  std::string dir = slash == std::string::npos ? "." : target.substr(0, slash);
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string tmpl = dir + "/." + base + ".part-XXXXXX";
  std::vector<char> tmp(tmpl.begin(), tmpl.end());
  tmp.push_back('\0');
  int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
  if (fd < 0) throw EDownloadError(url, SJ("一時ファイルを作成できません"));
  TSink sink;
  sink.File = ::fdopen(fd, "wb");
  sink.Max = options.MaxSize;
  auto fail = [&](const std::string& reason) {
    if (sink.File) std::fclose(sink.File);
    else ::close(fd);
    ::unlink(tmp.data());
    throw EDownloadError(url, reason);
  };
  if (!sink.File) fail(SJ("一時ファイルを作成できません"));

  CURL* curl = curl_easy_init();
  if (!curl) fail("curl_easy_init");
  char error[CURL_ERROR_SIZE] = "";
  std::string osUrl = OsPath(url);
  curl_easy_setopt(curl, CURLOPT_URL, osUrl.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, RedirectProtocols(url));
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, options.ConnectTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, options.TimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, options.StallTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.MaxSize));
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "KaedeZip");
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteData);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  CURLcode rc = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_cleanup(curl);
  if (sink.TooLarge) fail(SJ("ファイルが大きすぎます"));
  if (rc != CURLE_OK) fail(FromOsPath(*error ? error : curl_easy_strerror(rc)));
  if (status < 200 || status > 299) fail("HTTP " + std::to_string(status));
  bool flushed = std::fflush(sink.File) == 0 && ::fsync(fd) == 0;
  bool closed = std::fclose(sink.File) == 0;
  sink.File = nullptr;
  fd = -1;
  if (!flushed || !closed) {
    ::unlink(tmp.data());
    throw EDownloadError(url, SJ("ファイルを保存できません"));
  }
  if (std::rename(tmp.data(), target.c_str()) != 0) {
    ::unlink(tmp.data());
    throw EDownloadError(url, SJ("ファイルを保存できません"));
  }
}

}  // namespace

void DownloadFile(const std::string& source, const std::string& fileName, const TDownloadOptions& options) {
  std::string path;
  if (!LocalSourcePath(source, path)) {
    FetchUrl(source, fileName, options);
    return;
  }
  try {
    // bounded as a download is: a device without end (/dev/zero) or a huge file stops here
    WriteFileAtomic(fileName, ReadFileBytes(path, options.MaxSize));
  } catch (const Exception& e) {
    throw EDownloadError(source, e.what());
  }
}

}  // namespace kaede
