#pragma once
// File access for the core. Names inside the core are CP932 like all text; they become UTF-8
// only here, at the file-system boundary.
#include <string>
#include <string_view>

#include "Errors.h"

namespace kaede {

// The UTF-8 name on disk for a CP932 name, and back (characters CP932 cannot hold become "〓").
std::string OsPath(const std::string& sjisName);
std::string FromOsPath(const std::string& utf8Name);

bool FileExists(const std::string& name);
bool DirectoryExists(const std::string& name);
// True when the file exists and this process may not write it.
bool IsReadOnlyFile(const std::string& name);

// The whole file; raises EFileError naming the file and the system's reason.
std::string ReadFileBytes(const std::string& name);

// Replaces the file's content without ever leaving it half written: the data goes to a
// temporary file in the same folder, is flushed to disk and renamed over the original. On
// failure the original stays as it was, the temporary file is removed and EFileError is
// raised. An existing file keeps its permission bits; a symbolic link keeps pointing at the
// file it named, which receives the new content.
void WriteFileAtomic(const std::string& name, std::string_view data);

// A new private folder for temporary work: the first of temp + "/KaedeTemp" + n (n = 0, 1, ...)
// that can be created, made with mode 0700 (an existing folder is taken, never reused). The
// name ends without a path delimiter. Raises EFileError when none can be made.
std::string MakeWorkFolder();

}  // namespace kaede
