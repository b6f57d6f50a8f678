#include "Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#include "Collation.h"
#include "CommaText.h"
#include "Cp932.h"

namespace kaede {
namespace {

[[noreturn]] void Raise(const std::string& sjisName, const std::string& what, int err) {
  EFileError e(what + ": " + FromOsPath(std::strerror(err)));
  e.SetFileName(sjisName);
  throw e;
}

// The folder part of a UTF-8 path ("." when there is none).
std::string DirOf(const std::string& p) {
  size_t slash = p.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : p.substr(0, slash);
}

std::string NameOf(const std::string& p) {
  size_t slash = p.rfind('/');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

// Creates the folder and its missing parents with the given mode.
bool MakeDirs(const std::string& dir, mode_t mode) {
  if (dir.empty()) return false;
  struct stat st;
  if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  std::string parent = DirOf(dir);
  if (parent != dir && parent != "." && !MakeDirs(parent, mode)) return false;
  return ::mkdir(dir.c_str(), mode) == 0 || errno == EEXIST;
}

// Starts a program with an argument vector (no shell), detached: the child forks again and
// exits at once, so that no zombie is left and the caller need not wait for the program.
bool Spawn(const std::vector<std::string>& argv, const std::string& workDir) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  int pipeFd[2];
  if (::pipe2(pipeFd, O_CLOEXEC) != 0) return false;
  pid_t child = ::fork();
  if (child < 0) {
    ::close(pipeFd[0]);
    ::close(pipeFd[1]);
    return false;
  }
  if (child == 0) {
    ::close(pipeFd[0]);
    pid_t grandchild = ::fork();
    if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
    ::setsid();
    if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) {
      // the working folder is a convenience; the program still starts
    }
    ::execvp(args[0], args.data());
    // Tell the parent that exec failed (the pipe closes on a successful exec).
    int err = errno;
    ssize_t ignored = ::write(pipeFd[1], &err, sizeof err);
    (void)ignored;
    _exit(127);
  }
  ::close(pipeFd[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int err = 0;
  ssize_t n;
  while ((n = ::read(pipeFd[0], &err, sizeof err)) < 0 && errno == EINTR) {
  }
  ::close(pipeFd[0]);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}

// Percent-encoding of a path for the trash record: unreserved bytes and "/" stay.
std::string UrlEscapePath(const std::string& p) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string r;
  for (unsigned char c : p) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      r += static_cast<char>(c);
    } else {
      r += '%';
      r += kHex[c >> 4];
      r += kHex[c & 15];
    }
  }
  return r;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home && *home ? home : std::string();
}

// The trash folder for a file: the home trash when the file is on the same file system,
// else "<top of its file system>/.Trash-<uid>".
std::string TrashFolderFor(const std::string& file) {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  std::string home = dataHome && *dataHome ? dataHome : (HomeFolder().empty() ? "" : HomeFolder() + "/.local/share");
  std::string homeTrash = home.empty() ? std::string() : home + "/Trash";
  struct stat fst;
  if (::stat(DirOf(file).c_str(), &fst) != 0) return homeTrash;
  if (!home.empty()) {
    MakeDirs(home, 0700);
    struct stat hst;
    if (::stat(home.c_str(), &hst) == 0 && hst.st_dev == fst.st_dev) return homeTrash;
  }
  // Walk up to the top of the file's file system.
  char real[PATH_MAX];
  if (!::realpath(DirOf(file).c_str(), real)) return homeTrash;
  std::string top = real;
  while (top != "/") {
    std::string parent = DirOf(top);
    struct stat pst;
    if (::stat(parent.c_str(), &pst) != 0 || pst.st_dev != fst.st_dev) break;
    top = parent;
  }
  return (top == "/" ? std::string() : top) + "/.Trash-" + std::to_string(::getuid());
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

bool IsWriteProtected(const std::string& name) {
  struct stat st;
  if (name.empty() || ::stat(OsPath(name).c_str(), &st) != 0) return false;
  return (st.st_mode & 0222) == 0 || IsReadOnlyFile(name);
}

std::string ReadFileBytes(const std::string& name) { return ReadFileBytes(name, -1); }

std::string ReadFileBytes(const std::string& name, int64_t maxSize) {
  std::string p = OsPath(name);
  int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Raise(name, SJ("ファイルを開けません"), errno);
  std::string data;
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    Raise(name, SJ("ファイルを開けません"), EISDIR);
  }
  auto tooLarge = [&] {
    ::close(fd);
    EFileError e(SJ("ファイルが大きすぎます（上限 ") + std::to_string(maxSize) + SJ(" バイト）"));
    e.SetFileName(name);
    throw e;
  };
  if (S_ISREG(st.st_mode) && maxSize >= 0 && st.st_size > maxSize) tooLarge();
  if (S_ISREG(st.st_mode) && st.st_size > 0) data.reserve(static_cast<size_t>(st.st_size));
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
    // a file that grows while it is read, or a device without end, stops at the bound
    if (maxSize >= 0 && static_cast<int64_t>(data.size()) + n > maxSize) tooLarge();
    data.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return data;
}

std::string ReadRegularFileBytes(const std::string& name, int64_t maxSize) {
  // opened without waiting (a pipe with no writer would block the open), then checked
  const std::string p = OsPath(name);
  int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) Raise(name, SJ("ファイルを開けません"), errno);
  struct stat st;
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  ::close(fd);
  if (!regular) {
    EFileError e(SJ("通常のファイルではありません"));
    e.SetFileName(name);
    throw e;
  }
  return ReadFileBytes(name, maxSize);
}

bool TFileStamp::operator==(const TFileStamp& o) const {
  if (Known != o.Known || Exists != o.Exists) return false;
  return !Exists || (Device == o.Device && Inode == o.Inode && Size == o.Size && MTimeNs == o.MTimeNs);
}

namespace {

TFileStamp StampOf(const struct stat& st) {
  TFileStamp s;
  s.Known = s.Exists = true;
  s.Device = st.st_dev;
  s.Inode = st.st_ino;
  s.Size = st.st_size;
  s.MTimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return s;
}

// The stamp of a path on disk (not of a file name of the core).
TFileStamp StampOfPath(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) return StampOf(st);
  TFileStamp s;
  s.Known = true;
  return s;
}

// Whether a name is one of the temporary names that WriteFileAtomic and the download give:
// "." + name + ".tmp-" or ".part-" + six letters or digits.
bool IsTemporaryName(const std::string& name) {
  if (name.size() < 1 + 1 + 11 || name[0] != '.') return false;
  std::string tail = name.substr(name.size() - 11);
  if (tail.compare(0, 5, ".tmp-") != 0 && (name.size() < 14 || name.compare(name.size() - 12, 6, ".part-") != 0))
    return false;
  for (size_t i = name.size() - 6; i < name.size(); ++i)
    if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

// The folders already cleaned by this process: each is looked through once per run.
bool FirstSaveInto(const std::string& dir) {
  static std::mutex mutex;
  static std::set<std::string> seen;
  std::lock_guard<std::mutex> lock(mutex);
  return seen.insert(dir).second;
}

}  // namespace

TFileStamp FileStampOf(const std::string& name) { return StampOfPath(OsPath(name)); }

int RemoveStaleTemporaries(const std::string& folder, int64_t maxAgeSeconds) {
  std::string dir = OsPath(folder.empty() ? "." : folder);
  DIR* d = ::opendir(dir.c_str());
  if (!d) return 0;
  int removed = 0;
  std::time_t now = std::time(nullptr);
  while (struct dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (!IsTemporaryName(name)) continue;
    struct stat st;
    std::string path = dir + "/" + name;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) continue;
    if (now - st.st_mtime <= maxAgeSeconds) continue;  // perhaps a save that is running now
    if (::unlink(path.c_str()) == 0) ++removed;
  }
  ::closedir(d);
  return removed;
}

void WriteFileAtomic(const std::string& name, std::string_view data) { WriteFileAtomic(name, data, TAtomicWriteGuard()); }

void WriteFileAtomic(const std::string& name, std::string_view data, const TAtomicWriteGuard& guard) {
  std::string target = OsPath(name);
  // Write through a symbolic link to the file it names, so that the link survives.
  char resolved[PATH_MAX];
  struct stat lst;
  if (::lstat(target.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode) && ::realpath(target.c_str(), resolved))
    target = resolved;
  // Renaming over a device, a pipe or a folder would put a plain file in its place.
  if (::lstat(target.c_str(), &lst) == 0 && !S_ISREG(lst.st_mode)) {
    EFileError e(SJ("通常のファイルではないため、保存できません"));
    e.SetFileName(name);
    throw e;
  }
  auto conflict = [&] {
    ESaveConflict e(SJ("ファイルが読み込んだ後に他のプログラムによって変更されたため、保存を中止しました"));
    e.SetFileName(name);
    return e;
  };
  bool check = guard.Expected && guard.Expected->Known;
  if (check && StampOfPath(target) != *guard.Expected) throw conflict();
  std::string dir = ".";
  size_t slash = target.rfind('/');
  if (slash != std::string::npos) dir = slash == 0 ? "/" : target.substr(0, slash);
  if (FirstSaveInto(dir)) RemoveStaleTemporaries(FromOsPath(dir));
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string tmpl = (dir == "/" ? "" : dir) + "/." + base + ".tmp-XXXXXX";
  std::vector<char> tmp(tmpl.begin(), tmpl.end());
  tmp.push_back('\0');
  int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
  if (fd < 0) Raise(name, SJ("ファイルを保存できません"), errno);
  int lockFd = -1;
  auto discard = [&] {
    if (fd >= 0) ::close(fd);
    if (lockFd >= 0) ::close(lockFd);
    ::unlink(tmp.data());
  };
  auto fail = [&](int err) {
    discard();
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
  struct stat written;
  if (::fstat(fd, &written) != 0) fail(errno);
  if (guard.Lock) {
    // The new file is locked before it gets the name: nobody else knows it yet, so this
    // cannot fail for another holder, and whoever opens the name afterwards finds it locked.
    lockFd = ::dup(fd);
    if (lockFd < 0) fail(errno);
    if (::flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) fail(errno);
      // a file system without locks: the save goes on unlocked, as the book was opened
      ::close(lockFd);
      lockFd = -1;
    }
  }
  int closed = ::close(fd);
  fd = -1;
  if (closed != 0) fail(errno);
  if (check && StampOfPath(target) != *guard.Expected) {
    discard();
    throw conflict();
  }
  if (::rename(tmp.data(), target.c_str()) != 0) fail(errno);
  if (guard.Lock) {
    if (lockFd >= 0) guard.Lock->Adopt(lockFd, name);
    else guard.Lock->Release();
  }
  if (guard.Written) *guard.Written = StampOf(written);
  // Make the rename itself durable.
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

bool ShellOpen(const std::string& target, const std::string& params) {
  if (target.empty()) return false;
  std::string t = OsPath(target);
  struct stat st;
  bool isFile = ::stat(t.c_str(), &st) == 0;
  std::string workDir = isFile && t.find('/') != std::string::npos ? DirOf(t) : std::string();
  std::vector<std::string> argv;
  if (isFile && S_ISREG(st.st_mode) && ::access(t.c_str(), X_OK) == 0) {
    argv.push_back(t.find('/') == std::string::npos ? "./" + t : t);
    std::string p = OsPath(params);
    size_t i = 0;
    while (i < p.size()) {
      size_t j = p.find(' ', i);
      if (j == std::string::npos) j = p.size();
      if (j > i) argv.push_back(p.substr(i, j - i));
      i = j + 1;
    }
  } else {
    argv = {"xdg-open", t};
  }
  return Spawn(argv, workDir);
}

std::string FileBaseName(const std::string& path) {
  // "/" is never the trail byte of a double-byte character, nor is ".".
  size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.find('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

bool RecycleDelete(const std::string& path) {
  std::string p = OsPath(path);
  struct stat st;
  if (path.empty() || ::lstat(p.c_str(), &st) != 0) return false;
  char real[PATH_MAX];
  std::string absolute = p;
  if (::realpath(DirOf(p).c_str(), real)) absolute = std::string(real) + (std::string(real) == "/" ? "" : "/") + NameOf(p);
  std::string trash = TrashFolderFor(p);
  if (trash.empty() || !MakeDirs(trash + "/files", 0700) || !MakeDirs(trash + "/info", 0700)) return false;
  std::string name = NameOf(absolute);
  size_t dot = name.rfind('.');
  std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
  std::string ext = dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
  char date[32];
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &tm);
  std::string record = "[Trash Info]\nPath=" + UrlEscapePath(absolute) + "\nDeletionDate=" + date + "\n";
  for (int n = 1; n < 100000; ++n) {
    std::string candidate = n == 1 ? name : stem + "." + std::to_string(n) + ext;
    std::string info = trash + "/info/" + candidate + ".trashinfo";
    std::string dest = trash + "/files/" + candidate;
    // The record is created first and exclusively: it reserves the name.
    int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    bool written = ::write(fd, record.data(), record.size()) == static_cast<ssize_t>(record.size());
    ::close(fd);
    struct stat dst;
    if (written && ::lstat(dest.c_str(), &dst) != 0 && ::rename(p.c_str(), dest.c_str()) == 0) return true;
    ::unlink(info.c_str());
    if (written && ::lstat(dest.c_str(), &dst) == 0) continue;  // a stray file holds the name
    return false;
  }
  return false;
}

bool MoveFileInto(const std::string& folder, const std::string& path) {
  if (folder.empty() || path.empty() || !FileExists(path)) return false;
  std::string dir = OsPath(folder);
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  if (!MakeDirs(dir, 0777)) return false;
  std::string src = OsPath(path);
  std::string dest = dir + "/" + NameOf(src);
  // rename replaces a file of the same name in one step, so the old one is never lost
  // without the new one in its place.
  if (::rename(src.c_str(), dest.c_str()) == 0) return true;
  if (errno != EXDEV) return false;
  try {
    WriteFileAtomic(FromOsPath(dest), ReadFileBytes(path));
  } catch (const Exception&) {
    return false;
  }
  return ::unlink(src.c_str()) == 0;
}

std::string MyDocumentsFolder() {
  std::string home = HomeFolder();
  if (home.empty()) return std::string();
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string dirs = (config && *config ? std::string(config) : home + "/.config") + "/user-dirs.dirs";
  std::string result = home + "/Documents";
  try {
    std::string data = ReadFileBytes(FromOsPath(dirs));
    TStrings lines;
    SplitLines(data, lines);
    for (std::string line : lines) {
      if (line.rfind("XDG_DOCUMENTS_DIR=", 0) != 0) continue;
      std::string v = line.substr(18);
      if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
      if (v.rfind("$HOME", 0) == 0) v = home + v.substr(5);
      if (!v.empty() && v.front() == '/') {
        while (v.size() > 1 && v.back() == '/') v.pop_back();
        // A documents folder set to the home folder itself means "not configured".
        if (v != home) result = v;
      }
    }
  } catch (const Exception&) {
    // no settings file: the default folder
  }
  return FromOsPath(result);
}

void ListFiles(const std::string& folder, TStrings& list, const std::string& mask) {
  list.clear();
  std::string dir = OsPath(folder.empty() ? "." : folder);
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  std::string m = OsPath(mask.empty() ? "*" : mask);
  std::vector<std::pair<std::string, std::string>> found;  // collation key, name
  while (struct dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (::fnmatch(m.c_str(), name.c_str(), FNM_PERIOD) != 0) continue;
    struct stat st;
    if (::stat((dir + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) continue;
    std::string sj = FromOsPath(name);
    found.emplace_back(CollationKey(sj), sj);
  }
  ::closedir(d);
  // The directory's own order is arbitrary; name order makes the book list stable.
  std::sort(found.begin(), found.end());
  for (auto& f : found) list.push_back(std::move(f.second));
}

int FileAccessState(const std::string& path) {
  std::string p = OsPath(path);
  struct stat st;
  if (path.empty()) return 2;
  if (::stat(p.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR ? 2 : -1;
  if (S_ISDIR(st.st_mode)) return -1;
  int fd = ::open(p.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    int rd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (rd < 0) return -1;
    ::close(rd);
    return 1;
  }
  // A file without any write permission is read-only even for a user who may write anyway.
  int state = (st.st_mode & 0222) == 0 ? 1 : 0;
  if (state == 0 && ::flock(fd, LOCK_SH | LOCK_NB) != 0) state = 1;  // an address book has it open
  ::close(fd);
  return state;
}

bool TFileLock::Acquire(const std::string& path) {
  Release();
  std::string p = OsPath(path);
  // A save of another holder may replace the file between the open and the lock: the lock
  // counts only when the name still leads to the file that was locked.
  for (int attempt = 0; attempt < 8; ++attempt) {
    // Without waiting: a named pipe would block the open until a writer came.
    int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat what;
    if (::fstat(fd, &what) != 0 || !S_ISREG(what.st_mode)) {  // only files hold books
      ::close(fd);
      return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      FBusy = errno == EWOULDBLOCK;
      ::close(fd);
      return false;
    }
    struct stat locked, named;
    if (::fstat(fd, &locked) == 0 && ::stat(p.c_str(), &named) == 0 && locked.st_dev == named.st_dev &&
        locked.st_ino == named.st_ino) {
      FFd = fd;
      FPath = path;
      return true;
    }
    ::close(fd);
  }
  FBusy = true;  // the file keeps being replaced: someone is writing it
  return false;
}

TFileLock& TFileLock::operator=(TFileLock&& other) noexcept {
  if (this != &other) {
    Release();
    std::swap(FFd, other.FFd);
    std::swap(FBusy, other.FBusy);
    std::swap(FPath, other.FPath);
  }
  return *this;
}

void TFileLock::Adopt(int fd, const std::string& path) {
  Release();
  FFd = fd;
  FPath = path;
}

void TFileLock::Release() {
  if (FFd >= 0) ::close(FFd);
  FBusy = false;
  FFd = -1;
  FPath.clear();
}

namespace {

std::string TempBase() {
  const char* tmp = std::getenv("TMPDIR");
  std::string base = tmp && *tmp ? tmp : "/tmp";
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base;
}

const char* const kWorkPrefix = "KaedeTemp";

// Locks the work folder of the path when it is one of this user's: the open descriptor that
// holds the lock, or -1 (not ours, not a folder, or held by a running program).
int LockWorkFolder(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st;
  if (::fstat(fd, &st) != 0 || st.st_uid != ::getuid() || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  // the folder may have been removed and made again between the open and the lock
  struct stat named;
  if (::lstat(path.c_str(), &named) != 0 || named.st_ino != st.st_ino || named.st_dev != st.st_dev) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::string MakeWorkFolder() {
  std::string base = TempBase();
  for (int n = 0; n < 100000; ++n) {
    std::string dir = base + "/" + kWorkPrefix + std::to_string(n);
    if (::mkdir(dir.c_str(), 0700) == 0) return FromOsPath(dir);
    if (errno != EEXIST) Raise(FromOsPath(dir), SJ("作業フォルダを作成できません"), errno);
  }
  Raise(FromOsPath(base), SJ("作業フォルダを作成できません"), EEXIST);
}

void RemoveTree(const std::string& folder) {
  if (folder.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(OsPath(folder), ec);  // links are removed, never followed
}

TWorkFolder::TWorkFolder() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = MakeWorkFolder();
    // Another run that cleans up stale folders may take this one between the mkdir and the
    // lock; then it is gone, and the next number is tried.
    int fd = LockWorkFolder(OsPath(path));
    if (fd >= 0) {
      FPath = path;
      FFd = fd;
      return;
    }
  }
  Raise(FromOsPath(TempBase()), SJ("作業フォルダを作成できません"), EBUSY);
}

void TWorkFolder::Remove() {
  if (FPath.empty()) return;
  RemoveTree(FPath);  // still holding the lock: nobody else takes the folder meanwhile
  if (FFd >= 0) ::close(FFd);
  FFd = -1;
  FPath.clear();
}

int RemoveStaleWorkFolders() {
  std::string base = TempBase();
  DIR* d = ::opendir(base.c_str());
  if (!d) return 0;
  std::vector<std::string> candidates;
  const size_t prefix = std::strlen(kWorkPrefix);
  while (struct dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name.size() <= prefix || name.compare(0, prefix, kWorkPrefix) != 0) continue;
    if (name.find_first_not_of("0123456789", prefix) != std::string::npos) continue;
    candidates.push_back(base + "/" + name);
  }
  ::closedir(d);
  int removed = 0;
  for (const std::string& path : candidates) {
    int fd = LockWorkFolder(path);
    if (fd < 0) continue;
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
    ::close(fd);
    if (!ec) ++removed;
  }
  return removed;
}

}  // namespace kaede
