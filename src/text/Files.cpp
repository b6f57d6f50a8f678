#include "Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Cp932.h"

namespace kaede {
namespace {

[[noreturn]] void Raise(const std::string& sjisName, const std::string& what, int err) {
  EFileError e(what + ": " + FromOsPath(std::strerror(err)));
  e.SetFileName(sjisName);
  throw e;
}

}  // namespace

std::string OsPath(const std::string& sjisName) { return SjisToUtf8(sjisName, TConvMode::Replace); }
std::string FromOsPath(const std::string& utf8Name) { return Utf8ToSjis(utf8Name, TConvMode::Replace); }

bool FileExists(const std::string& name) {
  struct stat st;
  return !name.empty() && ::stat(OsPath(name).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& name) {
  struct stat st;
  return !name.empty() && ::stat(OsPath(name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsReadOnlyFile(const std::string& name) {
  std::string p = OsPath(name);
  struct stat st;
  if (::stat(p.c_str(), &st) != 0) return false;
  return ::access(p.c_str(), W_OK) != 0;
}

std::string ReadFileBytes(const std::string& name) {
  std::string p = OsPath(name);
  int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Raise(name, SJ("ファイルを開けません"), errno);
  std::string data;
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    Raise(name, SJ("ファイルを開けません"), EISDIR);
  }
  if (st.st_size > 0) data.reserve(static_cast<size_t>(st.st_size));
  char buf[1 << 16];
  while (true) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      Raise(name, SJ("ファイルを読み込めません"), err);
    }
    if (n == 0) break;
    data.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return data;
}

void WriteFileAtomic(const std::string& name, std::string_view data) {
  std::string target = OsPath(name);
  // Write through a symbolic link to the file it names, so that the link survives.
  char resolved[PATH_MAX];
  struct stat lst;
  if (::lstat(target.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode) && ::realpath(target.c_str(), resolved))
    target = resolved;
  std::string dir = ".";
  size_t slash = target.rfind('/');
  if (slash != std::string::npos) dir = slash == 0 ? "/" : target.substr(0, slash);
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string tmpl = (dir == "/" ? "" : dir) + "/." + base + ".tmp-XXXXXX";
  std::vector<char> tmp(tmpl.begin(), tmpl.end());
  tmp.push_back('\0');
  int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
  if (fd < 0) Raise(name, SJ("ファイルを保存できません"), errno);
  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(tmp.data());
    Raise(name, SJ("ファイルを保存できません"), err);
  };
  struct stat st;
  mode_t mode = 0644;
  if (::stat(target.c_str(), &st) == 0) mode = st.st_mode & 07777;
  else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd, mode) != 0) fail(errno);
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) fail(errno);
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(tmp.data());
    Raise(name, SJ("ファイルを保存できません"), err);
  }
  if (::rename(tmp.data(), target.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.data());
    Raise(name, SJ("ファイルを保存できません"), err);
  }
  // Make the rename itself durable.
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

std::string MakeWorkFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string base = tmp && *tmp ? tmp : "/tmp";
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  for (int n = 0; n < 100000; ++n) {
    std::string dir = base + "/KaedeTemp" + std::to_string(n);
    if (::mkdir(dir.c_str(), 0700) == 0) return FromOsPath(dir);
    if (errno != EEXIST) Raise(FromOsPath(dir), SJ("作業フォルダを作成できません"), errno);
  }
  Raise(FromOsPath(base), SJ("作業フォルダを作成できません"), EEXIST);
}

}  // namespace kaede
