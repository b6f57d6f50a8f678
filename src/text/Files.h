#pragma once
// File access for the core. Names inside the core are CP932 like all text; they become UTF-8
// only here, at the file-system boundary.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

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
// The same with a bound: a file (or a device or pipe, which tell no size) that holds more than
// maxSize bytes raises EFileError "ファイルが大きすぎます" without reading further.
std::string ReadFileBytes(const std::string& name, int64_t maxSize);
// The same for files passed from elsewhere: only a regular file is read (a device, a pipe or
// a folder raises EFileError "通常のファイルではありません" without waiting on it).
std::string ReadRegularFileBytes(const std::string& name, int64_t maxSize);

// What tells whether a file on disk is still the one that was read: its inode, size and
// modification time. A save compares the stamp taken when the file was read with the file's
// stamp now, so that nothing written meanwhile by another program is replaced unasked.
struct TFileStamp {
  bool Known = false;   // false: nothing was recorded, there is nothing to compare
  bool Exists = false;  // the file was there (the other fields are set only then)
  uint64_t Device = 0, Inode = 0;
  int64_t Size = 0;
  int64_t MTimeNs = 0;
  bool operator==(const TFileStamp& other) const;
  bool operator!=(const TFileStamp& other) const { return !(*this == other); }
};
// The stamp of the file now (Known; Exists false when there is no such file).
TFileStamp FileStampOf(const std::string& name);

// A save refused because the file on disk changed since it was read.
class ESaveConflict : public EFileError {
public:
  using EFileError::EFileError;
};

class TFileLock;

// How WriteFileAtomic guards the file it replaces.
struct TAtomicWriteGuard {
  // When Known: the file must still be this one (or still be missing); otherwise the write
  // raises ESaveConflict and the file stays as it is.
  const TFileStamp* Expected = nullptr;
  // The lock moves to the new file before the new file takes the name, so that there is no
  // moment in which the name is unlocked.
  TFileLock* Lock = nullptr;
  // Receives the stamp of the file written.
  TFileStamp* Written = nullptr;
};

// Replaces the file's content without ever leaving it half written: the data goes to a
// temporary file in the same folder, is flushed to disk and renamed over the original. On
// failure the original stays as it was, the temporary file is removed and EFileError is
// raised. An existing file keeps its permission bits; a symbolic link keeps pointing at the
// file it named, which receives the new content. Anything that is not a regular file (a
// device, a pipe, a folder, a dangling link) is refused, never replaced. Temporary files that
// an interrupted save left in the folder more than a day ago are removed on the first save
// into that folder.
void WriteFileAtomic(const std::string& name, std::string_view data);
void WriteFileAtomic(const std::string& name, std::string_view data, const TAtomicWriteGuard& guard);

// Removes the leftovers of interrupted saves and downloads in the folder: files of this
// program's temporary names (".NAME.tmp-XXXXXX", ".NAME.part-XXXXXX") of this user, last
// changed longer than maxAgeSeconds ago. Returns how many went.
int RemoveStaleTemporaries(const std::string& folder, int64_t maxAgeSeconds = 24 * 60 * 60);

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

// An advisory lock (flock) that a running address book holds on the book it has open, for as
// long as it has it open, so that another instance sees the book as in use. The lock belongs
// to one open file: a save moves it to the new file before that file takes the book's name
// (TAtomicWriteGuard::Lock), and Acquire makes sure that the file it locked still has the name.
class TFileLock {
public:
  TFileLock() = default;
  ~TFileLock() { Release(); }
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;
  TFileLock(TFileLock&& other) noexcept { *this = std::move(other); }
  TFileLock& operator=(TFileLock&& other) noexcept;

  // Takes the lock on the file; false when another holder has it or the file cannot be
  // opened (any lock held before is released first).
  bool Acquire(const std::string& path);
  bool Relock() { std::string p = FPath; return !p.empty() && Acquire(p); }
  void Release();
  // Takes over an open descriptor that already holds the lock of the file of that name.
  void Adopt(int fd, const std::string& path);
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

// Removes the folder with everything in it, without following symbolic links; errors are
// ignored.
void RemoveTree(const std::string& folder);

// A work folder made by MakeWorkFolder's rule that is locked while it is in use and removed
// with its content when the object goes, on every path out of the work. A work folder of this
// user that no running program holds (left by a killed run) is removed by the next
// RemoveStaleWorkFolders.
class TWorkFolder {
public:
  TWorkFolder();  // makes and locks the folder; raises EFileError
  ~TWorkFolder() { Remove(); }
  TWorkFolder(const TWorkFolder&) = delete;
  TWorkFolder& operator=(const TWorkFolder&) = delete;
  const std::string& Path() const { return FPath; }
  // Removes the folder now (nothing when it is gone already).
  void Remove();

private:
  std::string FPath;
  int FFd = -1;
};

// Removes the work folders in the temporary folder that belong to this user and that no
// running program holds. Returns how many went.
int RemoveStaleWorkFolders();

}  // namespace kaede
