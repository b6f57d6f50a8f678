#include "AppPaths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "Cp932.h"
#include "Files.h"

namespace kaede {
namespace {

// The home folder (UTF-8, as on disk): $HOME, or the password database when it is unset.
std::string HomeUtf8() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

// An XDG base folder: the variable when it holds an absolute path, else the home fallback.
std::string XdgFolderUtf8(const char* variable, const char* homeRelative) {
  const char* v = std::getenv(variable);
  std::string dir = v && *v == '/' ? std::string(v) : HomeUtf8() + "/" + homeRelative;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

}  // namespace

std::string IncludeTrailingDelimiter(const std::string& folder) {
  if (folder.empty() || folder.back() == '/') return folder;
  return folder + "/";
}

std::string ProgramFile() {
  std::string buf(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return std::string();
  buf.resize(static_cast<size_t>(n));
  return FromOsPath(buf);
}

std::string ProgramFolder() {
  std::string file = ProgramFile();
  size_t slash = file.rfind('/');  // "/" is never a trail byte
  return slash == std::string::npos ? "./" : file.substr(0, slash + 1);
}

std::string ProgramDataFolder() {
  std::string program = ProgramFolder();
  if (FileExists(program + SJ("住所録.kad"))) return program;
  // <prefix>/share/KaedeAddress/ for <prefix>/bin/, named without "bin/.." so that what is shown reads well
  size_t up = program.size() >= 2 ? program.rfind('/', program.size() - 2) : std::string::npos;
  std::string prefix = up == std::string::npos ? program + "../" : program.substr(0, up + 1);
  std::string shared = prefix + "share/KaedeAddress/";
  if (DirectoryExists(shared)) return shared;
  return program;
}

std::string UserDataFolder() { return FromOsPath(XdgFolderUtf8("XDG_DATA_HOME", ".local/share") + "/KaedeAddress/"); }

std::string SettingsFileName(const std::string& appKey) {
  return FromOsPath(XdgFolderUtf8("XDG_CONFIG_HOME", ".config") + "/KaedeProject/") + appKey + ".ini";
}

bool IsWritableFolder(const std::string& folder) {
  std::string p = OsPath(folder);
  struct stat st;
  return !p.empty() && ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ::access(p.c_str(), W_OK | X_OK) == 0;
}

namespace {

// A bin/ folder with share/KaedeAddress/ beside it: the programs were installed (by the package
// manager into /usr/bin, or into a prefix such as ~/.local), and the folder belongs to more than
// this program, even when it can be written (by root, or in the user's own prefix).
bool IsInstalledProgramFolder(const std::string& programFolder) {
  std::string program = IncludeTrailingDelimiter(programFolder);
  if (program.size() < 5 || program.compare(program.size() - 5, 5, "/bin/") != 0) return false;
  return DirectoryExists(program.substr(0, program.size() - 4) + "share/KaedeAddress/");
}

}  // namespace

std::string DictionaryFolder(const std::string& programFolder) {
  return IsWritableFolder(programFolder) && !IsInstalledProgramFolder(programFolder) ? IncludeTrailingDelimiter(programFolder)
                                                                                     : UserDataFolder();
}

std::string DictionaryFolder() { return DictionaryFolder(ProgramFolder()); }

std::vector<std::string> DictionaryFolders(const std::string& programFolder) {
  std::string first = DictionaryFolder(programFolder);
  std::string program = IncludeTrailingDelimiter(programFolder);
  std::string other = first == program ? UserDataFolder() : program;
  if (other == first) return {first};
  return {first, other};
}

std::vector<std::string> DictionaryFolders() {
  std::vector<std::string> folders = DictionaryFolders(ProgramFolder());
  std::string shipped = ShippedDictionaryFolder();
  if (std::find(folders.begin(), folders.end(), shipped) == folders.end()) folders.push_back(shipped);
  return folders;
}

std::string ShippedDictionaryFolder() { return ProgramDataFolder() + "postal/"; }

}  // namespace kaede
