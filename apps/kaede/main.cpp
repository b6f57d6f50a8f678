// kaede: the address book's core from the command line.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Commands.h"
#include "Cp932.h"
#include "Errors.h"
#include "KaedeVersion.h"
#include "Files.h"
#include "PersonLists.h"
#include "Strs.h"

namespace kaede::cli {

std::vector<TCommand>& Registry() {
  static std::vector<TCommand> commands;
  return commands;
}

void PrintLine(const std::string& sjis) {
  std::string u = SjisToUtf8(sjis);
  u += '\n';
  std::fwrite(u.data(), 1, u.size(), stdout);
}

void PrintError(const std::string& sjis) {
  std::string u = "kaede: " + SjisToUtf8(sjis) + "\n";
  std::fwrite(u.data(), 1, u.size(), stderr);
}

bool TArgReader::Option(const std::string& name, std::string& value) {
  for (size_t i = 0; i < FArgs.size(); ++i) {
    if (FArgs[i] == name) {
      if (i + 1 >= FArgs.size()) throw Exception(SJ("オプション ") + name + SJ(" には値が必要です"));
      value = FArgs[i + 1];
      FArgs.erase(FArgs.begin() + static_cast<long>(i), FArgs.begin() + static_cast<long>(i) + 2);
      return true;
    }
    if (FArgs[i].rfind(name + "=", 0) == 0) {
      value = FArgs[i].substr(name.size() + 1);
      FArgs.erase(FArgs.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

bool TArgReader::Flag(const std::string& name) {
  auto it = std::find(FArgs.begin(), FArgs.end(), name);
  if (it == FArgs.end()) return false;
  FArgs.erase(it);
  return true;
}

TArgs TArgReader::Positionals() {
  for (const std::string& a : FArgs)
    if (a.size() > 2 && a.rfind("--", 0) == 0) throw Exception(SJ("オプション ") + Utf8ToSjis(a, TConvMode::Replace) + SJ(" は使えません"));
  return FArgs;
}

namespace {
// The books of the run, reachable until the process ends (so that leak checkers see them kept,
// not lost).
TPersonList* gRunBooks[4] = {};
}  // namespace

TPersonList& OpenBookForRun(const std::string& file) {
  auto* book = new TPersonList();
  for (TPersonList*& slot : gRunBooks) {
    if (!slot) {
      slot = book;
      break;
    }
  }
  book->Open(file, false);
  return *book;
}

std::string ArgToSjis(const std::string& utf8, const char* what) {
  try {
    return Utf8ToSjis(utf8, TConvMode::Strict);
  } catch (const EEncodingError&) {
    throw Exception(Utf8ToSjis(what, TConvMode::Replace) + Quoted(utf8) + SJ("には CP932（シフトJIS）で表せない文字があります"));
  }
}

std::string Quoted(const std::string& utf8) { return SJ("「") + Utf8ToSjis(utf8, TConvMode::Replace) + SJ("」"); }

Exception UsageError(const std::string& synopsis) {
  // "使い方: " is as wide as eight letters on a terminal
  return Exception(SJ("使い方: ") + ReplaceStrAll(Utf8ToSjis(synopsis, TConvMode::Replace), "\n", "\n        "));
}

std::string ExistingBook(const std::string& utf8) {
  std::string file = ArgToSjis(utf8, "住所録の名前");
  if (!FileExists(file)) throw Exception(SJ("住所録 ") + file + SJ(" がありません"));
  return file;
}

}  // namespace kaede::cli

namespace {

using namespace kaede::cli;

std::vector<TCommand> SortedCommands() {
  auto commands = Registry();
  std::sort(commands.begin(), commands.end(), [](const TCommand& a, const TCommand& b) { return a.Name < b.Name; });
  return commands;
}

void Usage(FILE* to) {
  std::fprintf(to, "Usage: kaede <command> [arguments]\n\nCommands:\n");
  for (const TCommand& c : SortedCommands()) std::fprintf(to, "  %-44s %s\n", c.Synopsis.c_str(), c.Summary.c_str());
  std::fprintf(to, "  %-44s %s\n", "--version", "print the version and exit");
  std::fprintf(to, "  %-44s %s\n", "--help", "print this help and exit");
  std::fprintf(to,
               "\nBooks, styles and dictionaries are CP932 (Shift-JIS) files; kaede reads its\n"
               "arguments and writes its output as UTF-8.\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    Usage(stderr);
    return 2;
  }
  const std::string& cmd = args[0];
  if (cmd == "--version" || cmd == "-V") {
    std::printf("kaede (%s) %s\n", KAEDE_PRODUCT_NAME, KAEDE_VERSION);
    return 0;
  }
  if (cmd == "--help" || cmd == "-h" || cmd == "help") {
    Usage(stdout);
    return 0;
  }
  // One line per command, synopsis and summary separated by a tab: the build makes the
  // commands of the manual page from it, so that a new command is in the manual at once.
  if (cmd == "--commands") {
    for (const TCommand& c : SortedCommands()) std::printf("%s\t%s\n", c.Synopsis.c_str(), c.Summary.c_str());
    return 0;
  }
  // A command of two words ("print postcards") is found before a command of its first word.
  size_t words = 1;
  if (args.size() > 1)
    for (const TCommand& c : Registry())
      if (c.Name == cmd + " " + args[1]) words = 2;
  const std::string name = words == 2 ? cmd + " " + args[1] : cmd;
  for (const TCommand& c : Registry()) {
    if (c.Name != name) continue;
    // COMMAND --help: what the command takes (its own usage error lists every option)
    if (args.size() == words + 1 && (args[words] == "--help" || args[words] == "-h")) {
      std::printf("Usage: kaede %s\n  %s\n", c.Synopsis.c_str(), c.Summary.c_str());
      return 0;
    }
    try {
      return c.Run(TArgs(args.begin() + static_cast<long>(words), args.end()));
    } catch (const kaede::Exception& e) {
      PrintError(e.what());
      return 1;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "kaede: 思いがけない失敗です: %s\n", e.what());
      return 1;
    }
  }
  std::fprintf(stderr, "kaede: コマンド「%s」はありません\n\n", cmd.c_str());
  Usage(stderr);
  return 2;
}
