#include "VerInfos.h"

#include <cstdio>
#include <cstring>

#include "KaedeVersion.h"

namespace kaede {

std::string TVerInfo::ProductName() { return KAEDE_PRODUCT_NAME; }
std::string TVerInfo::InternalName() { return KAEDE_INTERNAL_NAME; }
std::string TVerInfo::FileVersion() { return KAEDE_VERSION; }
int TVerInfo::Major() { return KAEDE_VERSION_MAJOR; }
int TVerInfo::Minor() { return KAEDE_VERSION_MINOR; }
int TVerInfo::Release() { return KAEDE_VERSION_PATCH; }

bool AnswerVersionOrHelp(int argc, char** argv, const char* program, const char* usage) {
  if (argc != 2) return false;
  const char* a = argv[1];
  if (std::strcmp(a, "--version") == 0) {
    std::printf("%s (%s) %s\n", program, KAEDE_PRODUCT_NAME, KAEDE_VERSION);
    return true;
  }
  if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
    std::printf("%s\n", usage);
    return true;
  }
  return false;
}

}  // namespace kaede
