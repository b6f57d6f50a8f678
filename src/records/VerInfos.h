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

}  // namespace kaede
