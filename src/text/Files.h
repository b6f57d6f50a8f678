#pragma once
// File access for the core. Names inside the core are CP932 like all text; they become UTF-8
// only here, at the file-system boundary.
#include <string>
#include <string_view>

#include "Errors.h"
#include "Strs.h"

namespace kaede {

// The UTF-8 name on disk for a CP932 name, and back (characters CP932 cannot hold become "〓").
std::string OsPath(const std::string& sjisName);
std::string FromOsPath(const std::string& utf8Name);

bool FileExists(const std::string& name);
bool DirectoryExists(const std::string& name);
// True when the file exists and this process may not write it.
bool IsReadOnlyFile(const std::string& name);
// True when the file exists and is read-only: no write permission at all, or none for this
// process. (A replacing save renames over the file, which the folder alone would allow.)
bool IsWriteProtected(const std::string& name);

// The whole file; raises EFileError naming the file and the system's reason.
std::string ReadFileBytes(const std::string& name);

// Replaces the file's content without ever leaving it half written: the data goes to a
// temporary file in the same folder, is flushed to disk and renamed over the original. On
// failure the original stays as it was, the temporary file is removed and EFileError is
// raised. An existing file keeps its permission bits; a symbolic link keeps pointing at the
// file it named, which receives the new content.
void WriteFileAtomic(const std::string& name, std::string_view data);

// ---- Shell and folder helpers -------------------------------------------------------------

// Opens a file or an address (a web page, a "mailto:" address) with the desktop's opener,
// xdg-open, in the target's folder. An executable file is started itself, with the parameters
// split at spaces. The target comes from user data, so it is handed over as one argument of
// the program's argument vector, never through a shell. Returns whether the program could be
// started; what it does then is its own affair.
bool ShellOpen(const std::string& target, const std::string& params = std::string());

// The file-name part of a path with everything from its first "." removed (a.b.kad gives a).
std::string FileBaseName(const std::string& path);

// Moves the file into the user's trash (the freedesktop.org trash under $XDG_DATA_HOME, or
// the ".Trash-<uid>" folder of the file's own file system when it lives elsewhere), with the
// ".trashinfo" record that lets a file manager restore it. A name already in the trash gets a
// number. Returns false when the file is missing or cannot be moved.
bool RecycleDelete(const std::string& path);

// Moves the file into the folder (created when missing), replacing a file of the same name.
// Nothing when either is empty or the file does not exist; returns whether the file moved.
bool MoveFileInto(const std::string& folder, const std::string& path);

// The user's documents folder (XDG_DOCUMENTS_DIR of the user-dirs.dirs settings that
// xdg-user-dir reads, else $HOME/Documents); empty without a home folder.
std::string MyDocumentsFolder();

// The names (without folder) of the files in the folder that match the mask ("*.kad"),
// sorted by name in the list collation; folders are left out.
void ListFiles(const std::string& folder, TStrings& list, const std::string& mask);

// 2 when the file does not exist; 1 when it is read-only or held by another running address
// book (see TFileLock); 0 when it can be opened for reading and writing; -1 when it cannot
// be opened at all.
int FileAccessState(const std::string& path);

// An advisory lock (flock) that a running address book holds on the book it has open, so
// that another instance sees the book as in use. The lock belongs to one open file: after a
// save replaced the file, Relock() moves it to the new one.
class TFileLock {
public:
  TFileLock() = default;
  ~TFileLock() { Release(); }
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

  // Takes the lock on the file; false when another holder has it or the file cannot be
  // opened (any lock held before is released first).
  bool Acquire(const std::string& path);
  bool Relock() { std::string p = FPath; return !p.empty() && Acquire(p); }
  void Release();
  bool Held() const { return FFd >= 0; }
  // Whether the last Acquire failed because another holder has the lock.
  bool Busy() const { return FBusy; }
  const std::string& Path() const { return FPath; }

private:
  int FFd = -1;
  bool FBusy = false;
  std::string FPath;
};

// A new private folder for temporary work: the first of temp + "/KaedeTemp" + n (n = 0, 1, ...)
// that can be created, made with mode 0700 (an existing folder is taken, never reused). The
// name ends without a path delimiter. Raises EFileError when none can be made.
std::string MakeWorkFolder();

}  // namespace kaede
