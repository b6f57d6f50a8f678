#pragma once
// Where the programs and their files live. Both programs (the address book and the dictionary
// updater) and the settings use these rules, so that what one writes the other finds. Names
// are CP932 like every name of the core; folders end with "/".
#include <string>
#include <vector>

namespace kaede {

// The running program file (from /proc/self/exe), and its folder.
std::string ProgramFile();
std::string ProgramFolder();
// Where the program's own data lives (the sample book, the manual): the program's folder when
// it holds them (a build tree, a portable copy), else <prefix>/share/KaedeAddress/ beside an
// installed bin/ folder.
std::string ProgramDataFolder();
// The user's data folder of the address book: $XDG_DATA_HOME (or ~/.local/share) + "/KaedeAddress/".
std::string UserDataFolder();
// The settings file of an application key: $XDG_CONFIG_HOME (or ~/.config) + "/KaedeProject/" +
// key + ".ini".
std::string SettingsFileName(const std::string& appKey);

// True when the folder exists and this process may create files in it.
bool IsWritableFolder(const std::string& folder);

// The folder the postal-code dictionary is written to: the program folder when it is writable
// and not the bin/ folder of an installed copy (a build tree, a portable copy), otherwise the
// user's data folder (which a program installed for all users can always use).
std::string DictionaryFolder(const std::string& programFolder);
std::string DictionaryFolder();
// The folders the dictionary is read from, in order: the folder it is written to comes first,
// so that a fresh dictionary in the user's data folder wins over an older one installed beside
// a read-only program.
std::vector<std::string> DictionaryFolders(const std::string& programFolder);
// The same for the running program, followed by the dictionary shipped with it, which answers
// when the user has never updated one.
std::vector<std::string> DictionaryFolders();
// The dictionary converted from the national file when the program was built and installed
// with its data: "postal/" in ProgramDataFolder(). The updater never writes there.
std::string ShippedDictionaryFolder();

// The folder with a trailing "/" added when missing (an empty folder stays empty).
std::string IncludeTrailingDelimiter(const std::string& folder);

}  // namespace kaede
