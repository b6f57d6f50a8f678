// kaede: the address book's core from the command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Cp932.h"
#include "Errors.h"
#include "KaedeVersion.h"

namespace {

const char kUsage[] =
    "Usage: kaede <command> [options]\n"
    "\n"
    "Commands:\n"
    "  --version            print the version and exit\n"
    "  --help               print this help and exit\n"
    "\n"
    "Text in books, styles and dictionaries is CP932 (Shift-JIS); kaede prints UTF-8.\n";

int Usage(FILE* to, int status) {
  std::fputs(kUsage, to);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.empty()) return Usage(stderr, 2);
    const std::string& cmd = args[0];
    if (cmd == "--version" || cmd == "-V") {
      std::printf("kaede (%s) %s\n", KAEDE_PRODUCT_NAME, KAEDE_VERSION);
      return 0;
    }
    if (cmd == "--help" || cmd == "-h" || cmd == "help") return Usage(stdout, 0);
    std::fprintf(stderr, "kaede: unknown command '%s'\n", cmd.c_str());
    return Usage(stderr, 2);
  } catch (const kaede::Exception& e) {
    std::fprintf(stderr, "kaede: %s\n", kaede::SjisToUtf8(e.what()).c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kaede: %s\n", e.what());
    return 1;
  }
}
