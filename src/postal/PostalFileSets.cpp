// The three dictionary files are replaced as one set. The new files are written beside the
// old ones first (NAME.new, complete and flushed); the old ones are kept as NAME.old (a second
// name of the same file); a marker file records that the renames begin and which old files
// there were; then each new file is renamed over its name. A failed rename puts the old files
// back. A run that is killed part way is finished by the next writer or reader of the folder:
// with the marker saying "forward" the remaining new files are renamed into place (they were
// complete before the marker was written), with "back" the old files are put back; without a
// marker the leftovers go and the files in place are one whole set already.
//
// A writer holds an exclusive lock on the folder for the whole replacement; a reader holds a
// shared one while it reads the three files, so that it never reads half a replacement.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "AppPaths.h"
#include "Files.h"
#include "PostalDatas.h"

namespace kaede {
namespace {

const char* const kNames[3] = {kKenFileName, kCityFileName, kPostalFileName};
const char* const kMarkerName = ".postal-replace";

// flock on the folder itself; nothing when the folder cannot be opened.
class TFolderLock {
public:
  TFolderLock(const std::string& osDir, int mode) {
    FFd = ::open(osDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (FFd < 0) return;
    while (::flock(FFd, mode) != 0 && errno == EINTR) {
    }
  }
  ~TFolderLock() {
    if (FFd >= 0) ::close(FFd);
  }
  TFolderLock(const TFolderLock&) = delete;
  TFolderLock& operator=(const TFolderLock&) = delete;

private:
  int FFd = -1;
};

bool Exists(const std::string& os) { return ::access(os.c_str(), F_OK) == 0; }

void SyncFolder(const std::string& osDir) {
  int fd = ::open(osDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

[[noreturn]] void RaiseFor(const std::string& sjisName, int err) {
  EFileError e(SJ("ファイルを保存できません: ") + FromOsPath(std::strerror(err)));
  e.SetFileName(sjisName);
  throw e;
}

// The marker: "forward" or "back", a space, and one digit per file: 1 when it had an old file.
std::string MarkerText(const char* direction, const bool had[3]) {
  std::string s = std::string(direction) + " ";
  for (int i = 0; i < 3; ++i) s += had[i] ? '1' : '0';
  return s;
}

// Puts the old files back: a file with a kept old one gets it again, a file that had none
// goes. Errors are left for the next recovery (the marker stays then).
bool RollBack(const std::string& dir, const bool had[3]) {
  std::string os = OsPath(dir);
  bool ok = true;
  for (int i = 0; i < 3; ++i) {
    std::string target = os + kNames[i];
    if (had[i]) {
      if (Exists(target + ".old") && ::rename((target + ".old").c_str(), target.c_str()) != 0) ok = false;
    } else if (::unlink(target.c_str()) != 0 && errno != ENOENT) {
      ok = false;
    }
    ::unlink((target + ".new").c_str());
  }
  return ok;
}

// The names of the temporary files that writing NAME.new, NAME.old or the marker makes
// (".NAME.new.tmp-XXXXXX").
std::vector<std::string> TemporariesOf(const std::string& osDir) {
  std::vector<std::string> found;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(osDir, ec)) {
    std::string n = e.path().filename().string();
    size_t tmp = n.rfind(".tmp-");
    if (n.empty() || n[0] != '.' || tmp == std::string::npos) continue;
    std::string of = n.substr(1, tmp - 1);
    bool ours = of == kMarkerName;
    for (const char* name : kNames) ours = ours || of == std::string(name) + ".new" || of == std::string(name) + ".old";
    if (ours) found.push_back(n);
  }
  return found;
}

// The recovery, with the folder locked exclusively.
void RecoverLocked(const std::string& dir) {
  std::string os = OsPath(dir);
  std::string marker = os + kMarkerName;
  std::string text;
  if (Exists(marker)) {
    try {
      text = ReadFileBytes(FromOsPath(marker), 64);
    } catch (const Exception&) {
      return;  // cannot be read: the files stay as they are until it can
    }
  }
  bool done = true;
  bool had[3] = {true, true, true};
  size_t space = text.find(' ');
  if (space != std::string::npos && text.size() == space + 4)
    for (int i = 0; i < 3; ++i) had[i] = text[space + 1 + static_cast<size_t>(i)] == '1';
  if (text.rfind("forward ", 0) == 0) {
    for (int i = 0; i < 3 && done; ++i) {
      std::string target = os + kNames[i];
      if (Exists(target + ".new") && ::rename((target + ".new").c_str(), target.c_str()) != 0) done = false;
    }
    if (!done) {
      // cannot go forward: back to the old set
      WriteFileAtomic(FromOsPath(marker), MarkerText("back", had));
      done = RollBack(dir, had);
    }
  } else if (text.rfind("back ", 0) == 0) {
    done = RollBack(dir, had);
  }
  if (!done) return;
  for (const char* name : kNames) {
    ::unlink((os + name + ".new").c_str());
    ::unlink((os + name + ".old").c_str());
  }
  ::unlink(marker.c_str());
  // temporary files of a write of those that was killed (nobody else writes them while the
  // folder is locked, whatever their age)
  for (const std::string& name : TemporariesOf(os)) ::unlink((os + name).c_str());
  SyncFolder(os);
}

}  // namespace

void RecoverPostalFiles(const std::string& folder) {
  std::string dir = IncludeTrailingDelimiter(folder);
  std::string os = OsPath(dir);
  bool leftovers = Exists(os + kMarkerName) || !TemporariesOf(os).empty();
  for (const char* name : kNames) leftovers = leftovers || Exists(os + name + ".new") || Exists(os + name + ".old");
  if (!leftovers) return;
  TFolderLock lock(os, LOCK_EX);
  try {
    RecoverLocked(dir);
  } catch (const Exception&) {
    // a folder that cannot be written is left as it is
  }
}

TPostalReadLock::TPostalReadLock(const std::string& folder) {
  RecoverPostalFiles(folder);
  FFd = ::open(OsPath(IncludeTrailingDelimiter(folder)).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (FFd < 0) return;
  while (::flock(FFd, LOCK_SH) != 0 && errno == EINTR) {
  }
}

TPostalReadLock::~TPostalReadLock() {
  if (FFd >= 0) ::close(FFd);
}

void SavePostalFiles(const std::string& folder, const TPostalLists& lists) {
  std::string dir = IncludeTrailingDelimiter(folder);
  std::error_code ec;
  std::filesystem::create_directories(OsPath(dir), ec);
  if (!DirectoryExists(dir)) {
    EFileError e(SJ("フォルダを作成できません: ") + FromOsPath(ec.message()));
    e.SetFileName(dir);
    throw e;
  }
  std::string os = OsPath(dir);
  TFolderLock lock(os, LOCK_EX);
  RecoverLocked(dir);

  const TStrings* lines[3] = {&lists.Ken, &lists.City, &lists.Postal};
  auto removeNew = [&] {
    for (const char* name : kNames) ::unlink((os + name + ".new").c_str());
  };
  try {
    for (int i = 0; i < 3; ++i) {
      std::string text;
      size_t total = 0;
      for (const std::string& l : *lines[i]) total += l.size() + 2;
      text.reserve(total);
      for (const std::string& l : *lines[i]) text.append(l).append("\r\n");
      WriteFileAtomic(dir + kNames[i] + ".new", text);
    }
  } catch (...) {
    removeNew();
    throw;
  }
  // The old files stay under a second name until all three new ones are in place.
  bool had[3];
  for (int i = 0; i < 3; ++i) {
    std::string target = os + kNames[i];
    had[i] = Exists(target);
    ::unlink((target + ".old").c_str());
    if (had[i] && ::link(target.c_str(), (target + ".old").c_str()) != 0) {
      try {
        WriteFileAtomic(dir + kNames[i] + ".old", ReadFileBytes(dir + kNames[i]));
      } catch (...) {
        removeNew();
        for (const char* name : kNames) ::unlink((os + name + ".old").c_str());
        throw;
      }
    }
  }
  try {
    WriteFileAtomic(dir + kMarkerName, MarkerText("forward", had));
  } catch (...) {
    removeNew();
    for (const char* name : kNames) ::unlink((os + name + ".old").c_str());
    throw;
  }
  for (int i = 0; i < 3; ++i) {
    std::string target = os + kNames[i];
    if (::rename((target + ".new").c_str(), target.c_str()) != 0) {
      int err = errno;
      try {
        WriteFileAtomic(dir + kMarkerName, MarkerText("back", had));
      } catch (const Exception&) {
        // the marker still says forward: the next run finishes or undoes it
      }
      if (RollBack(dir, had)) RecoverLocked(dir);
      RaiseFor(dir + kNames[i], err);
    }
  }
  for (const char* name : kNames) ::unlink((os + name + ".old").c_str());
  ::unlink((os + kMarkerName).c_str());
  SyncFolder(os);
}

}  // namespace kaede
