#pragma once
// Helpers of the updater's tests: archives made on the spot (stored LHA members written by
// hand, other formats through libarchive's writer, hostile names included) and a small HTTP
// server on 127.0.0.1 that runs in a thread.
#include <archive.h>
#include <archive_entry.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace kaede::test {

inline std::string ReadAll(const std::string& utf8Path) {
  std::ifstream in(utf8Path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteAll(const std::string& utf8Path, const std::string& data) {
  std::ofstream(utf8Path, std::ios::binary) << data;
}

// An LHA archive of stored (-lh0-) members with level-0 headers; names are raw bytes (CP932).
inline std::string LhaStored(const std::vector<std::pair<std::string, std::string>>& members) {
  auto put = [](std::string& s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  std::string out;
  for (const auto& [name, data] : members) {
    uint16_t crc = 0;  // CRC-16 of the data, as LHA checks it
    for (unsigned char c : data) {
      crc ^= c;
      for (int k = 0; k < 8; ++k) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    std::string h = "-lh0-";
    put(h, static_cast<uint32_t>(data.size()), 4);
    put(h, static_cast<uint32_t>(data.size()), 4);
    put(h, 0x3C210000, 4);  // 2010-01-01 00:00
    h += '\x20';            // attribute: archive
    h += '\0';              // header level 0
    h += static_cast<char>(name.size());
    h += name;
    put(h, crc, 2);
    unsigned char sum = 0;
    for (unsigned char c : h) sum = static_cast<unsigned char>(sum + c);
    out += static_cast<char>(h.size());
    out += static_cast<char>(sum);
    out += h + data;
  }
  out += '\0';
  return out;
}

struct TArchiveEntry {
  enum TKind { File, Symlink, Hardlink, Folder };
  TArchiveEntry(std::string name, std::string data, TKind kind = File, std::string link = std::string())
      : Name(std::move(name)), Data(std::move(data)), Kind(kind), Link(std::move(link)) {}
  std::string Name;
  std::string Data;
  TKind Kind;
  std::string Link;  // the target of a link
};

// Writes an archive with libarchive's writer: format "zip", "ustar", "pax", ...; filter "gzip"
// or empty.
inline void WriteArchive(const std::string& utf8Path, const char* format, const std::vector<TArchiveEntry>& entries,
                         const char* filter = nullptr) {
  archive* a = archive_write_new();
  archive_write_set_format_by_name(a, format);
  if (filter) archive_write_add_filter_by_name(a, filter);
  archive_write_open_filename(a, utf8Path.c_str());
  for (const TArchiveEntry& e : entries) {
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, e.Name.c_str());
    archive_entry_set_perm(entry, 0644);
    archive_entry_set_mtime(entry, 1262304000, 0);
    switch (e.Kind) {
      case TArchiveEntry::File:
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_size(entry, static_cast<la_int64_t>(e.Data.size()));
        break;
      case TArchiveEntry::Symlink:
        archive_entry_set_filetype(entry, AE_IFLNK);
        archive_entry_set_symlink(entry, e.Link.c_str());
        break;
      case TArchiveEntry::Hardlink:
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_hardlink(entry, e.Link.c_str());
        archive_entry_set_size(entry, 0);
        break;
      case TArchiveEntry::Folder:
        archive_entry_set_filetype(entry, AE_IFDIR);
        archive_entry_set_perm(entry, 0755);
        break;
    }
    archive_write_header(a, entry);
    if (e.Kind == TArchiveEntry::File && !e.Data.empty()) archive_write_data(a, e.Data.data(), e.Data.size());
    archive_entry_free(entry);
  }
  archive_write_close(a);
  archive_write_free(a);
}

// A one-request-per-connection HTTP/1.1 server on 127.0.0.1 with fixed answers per path.
class THttpServer {
public:
  struct TAnswer {
    TAnswer(int status = 200, std::string body = std::string(), std::string location = std::string(),
            long declaredLength = -1, std::string contentType = "application/octet-stream")
        : Status(status), Body(std::move(body)), Location(std::move(location)), DeclaredLength(declaredLength),
          ContentType(std::move(contentType)) {}
    int Status;
    std::string Body;
    std::string Location;  // for redirects
    long DeclaredLength;   // a Content-Length above the body makes a truncated answer
    std::string ContentType;
  };

  THttpServer() {
    FSocket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    ::setsockopt(FSocket, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(FSocket, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(FSocket, reinterpret_cast<sockaddr*>(&addr), &len);
    FPort = ntohs(addr.sin_port);
    ::listen(FSocket, 16);
    FThread = std::thread([this] { Serve(); });
  }
  ~THttpServer() {
    FStop = true;
    ::shutdown(FSocket, SHUT_RDWR);
    ::close(FSocket);
    FThread.join();
  }

  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(FPort) + path; }
  void Set(const std::string& path, TAnswer answer) {
    std::lock_guard<std::mutex> lock(FMutex);
    FAnswers[path] = std::move(answer);
  }
  std::vector<std::string> Requests() {
    std::lock_guard<std::mutex> lock(FMutex);
    return FRequests;
  }

private:
  void Serve() {
    while (!FStop) {
      int c = ::accept4(FSocket, nullptr, nullptr, SOCK_CLOEXEC);
      if (c < 0) {
        if (FStop) break;
        continue;
      }
      Handle(c);
      ::close(c);
    }
  }

  void Handle(int c) {
    std::string request;
    char buf[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      ssize_t n = ::recv(c, buf, sizeof buf, 0);
      if (n <= 0) return;
      request.append(buf, static_cast<size_t>(n));
    }
    std::string path = request.substr(4, request.find(' ', 4) - 4);  // "GET /path HTTP/1.1"
    TAnswer a;
    {
      std::lock_guard<std::mutex> lock(FMutex);
      FRequests.push_back(path);
      auto it = FAnswers.find(path);
      if (it != FAnswers.end()) a = it->second;
      else a = TAnswer{404, "<html><body>Not Found</body></html>", "", -1, "text/html"};
    }
    std::string reason = a.Status == 200 ? "OK" : a.Status == 302 ? "Found" : a.Status == 404 ? "Not Found" : "Status";
    std::string head = "HTTP/1.1 " + std::to_string(a.Status) + " " + reason + "\r\n";
    head += "Content-Type: " + a.ContentType + "\r\n";
    head += "Content-Length: " + std::to_string(a.DeclaredLength >= 0 ? a.DeclaredLength : static_cast<long>(a.Body.size())) + "\r\n";
    if (!a.Location.empty()) head += "Location: " + a.Location + "\r\n";
    head += "Connection: close\r\n\r\n";
    std::string all = head + a.Body;
    size_t sent = 0;
    while (sent < all.size()) {
      ssize_t n = ::send(c, all.data() + sent, all.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
  }

  int FSocket = -1;
  int FPort = 0;
  std::atomic<bool> FStop{false};
  std::thread FThread;
  std::mutex FMutex;
  std::map<std::string, TAnswer> FAnswers;
  std::vector<std::string> FRequests;
};

}  // namespace kaede::test
