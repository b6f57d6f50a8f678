#pragma once
// The commands of the kaede command line. Each command lives in its own source file and
// registers itself with a static TCommandRegistrar, so that adding a command touches no
// other file.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Errors.h"

namespace kaede {
class TPersonList;
class TPostalData;
}

namespace kaede::cli {

using TArgs = std::vector<std::string>;

struct TCommand {
  std::string Name;
  std::string Synopsis;  // one line for the help text: "list BOOK.kad [--find TEXT]"
  std::string Summary;   // what it does
  // Runs with the arguments after the command name; returns the exit status. Errors raise
  // kaede::Exception (shown on standard error, status 1) or return a status themselves.
  std::function<int(const TArgs&)> Run;
};

std::vector<TCommand>& Registry();

struct TCommandRegistrar {
  explicit TCommandRegistrar(TCommand c) { Registry().push_back(std::move(c)); }
};

// Output helpers: CP932 text of the core goes to the terminal as UTF-8.
void PrintLine(const std::string& sjis);
void PrintError(const std::string& sjis);

// Simple option parsing shared by the commands.
class TArgReader {
public:
  explicit TArgReader(const TArgs& args) : FArgs(args) {}
  // Takes "--name VALUE" (or "--name=VALUE"); returns false when absent. Raises on a
  // missing value.
  bool Option(const std::string& name, std::string& value);
  // Takes "--name" alone.
  bool Flag(const std::string& name);
  // The remaining arguments that are not options; raises on an unknown "--option".
  TArgs Positionals();

private:
  TArgs FArgs;
};

// Opens a book for the rest of the run. The book is not freed when the command returns: the
// process ends right after, and the system takes back a big book's memory at once, far faster
// than freeing it entry by entry.
TPersonList& OpenBookForRun(const std::string& file);

// The postal-code dictionary of --dict DIR (UTF-8), or of the folders the address book reads
// it from when DIR is empty; raises a Japanese error naming where it looked when there is none
// or it is empty.
std::unique_ptr<TPostalData> OpenDictionary(const std::string& dir);

// Converts a UTF-8 argument (file name or text from the terminal) to CP932, raising a clear
// error for characters that CP932 cannot hold; what: the argument's name in the message, UTF-8
// ("住所録の名前").
std::string ArgToSjis(const std::string& utf8, const char* what);

// Messages are CP932 as every message of the core. A value the user gave (UTF-8) in 「」 for
// a message; characters that CP932 cannot hold are replaced.
std::string Quoted(const std::string& utf8);
// The error of a command given wrongly: 「使い方: kaede SYNOPSIS」 (UTF-8, lines after the
// first begin with "kaede" too and are indented to match).
Exception UsageError(const std::string& synopsis);
// The book of a command (UTF-8, as given) as CP932; raises 「住所録 x.kad がありません」 when
// there is no such file.
std::string ExistingBook(const std::string& utf8);

}  // namespace kaede::cli
