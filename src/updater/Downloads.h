#pragma once
// Fetching the published archive: a web address through libcurl, or a local file (a file://
// address or a plain path) for machines without a network and for tests.
#include <cstdint>
#include <string>

#include "Errors.h"

namespace kaede {

struct TDownloadOptions {
  long ConnectTimeoutSeconds = 30;
  long TimeoutSeconds = 600;     // the whole transfer
  long StallTimeoutSeconds = 60;  // no data at all for this long
  // The published archive is under 2 MB; a source of more than this is no postal archive.
  int64_t MaxSize = int64_t(64) << 20;
};

// A download that failed: "ダウンロードエラー - URL：<url>", with the reason apart.
class EDownloadError : public Exception {
public:
  EDownloadError(const std::string& url, std::string reason);
  const std::string& Url() const { return FUrl; }
  const std::string& Reason() const { return FReason; }

private:
  std::string FUrl, FReason;
};

// The path of a local source: a file:// address (percent escapes decoded) or a name that is no
// address at all. False for other addresses.
bool LocalSourcePath(const std::string& source, std::string& path);

// The protocols a redirect from the address may lead to: an https address only to https
// (a secure source never falls back to plain http), an http address to http and https.
const char* RedirectProtocols(const std::string& url);

// Fetches the source into the file. Web addresses follow redirects (see RedirectProtocols),
// an HTTP error status is a failure, and a stalled or overlong transfer is stopped; a local
// source is bounded by the same MaxSize. The data
// goes to a temporary file beside the target and is renamed into place only when complete, so
// an error page or a half file never takes the target's name. Raises EDownloadError.
void DownloadFile(const std::string& source, const std::string& fileName, const TDownloadOptions& options = {});

}  // namespace kaede
