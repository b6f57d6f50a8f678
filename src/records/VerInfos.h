#pragma once
// Version information of the running program, from the build.
#include <string>

namespace kaede {

class TVerInfo {
public:
  // "Kaede Address"
  static std::string ProductName();
  // "KaedeAddress": the settings' application key and the default data folder's name
  static std::string InternalName();
  // "0.1.0"
  static std::string FileVersion();
  static int Major();
  static int Minor();
  static int Release();
};

// A window program's --version and --help (-h), answered on standard output before any window
// opens: true when argv held one of them alone, and the program should end with status 0.
// usage is the UTF-8 synopsis and its explanation.
bool AnswerVersionOrHelp(int argc, char** argv, const char* program, const char* usage);

}  // namespace kaede
