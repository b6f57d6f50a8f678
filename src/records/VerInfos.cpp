#include "VerInfos.h"

#include "KaedeVersion.h"

namespace kaede {

std::string TVerInfo::ProductName() { return KAEDE_PRODUCT_NAME; }
std::string TVerInfo::InternalName() { return KAEDE_INTERNAL_NAME; }
std::string TVerInfo::FileVersion() { return KAEDE_VERSION; }
int TVerInfo::Major() { return KAEDE_VERSION_MAJOR; }
int TVerInfo::Minor() { return KAEDE_VERSION_MINOR; }
int TVerInfo::Release() { return KAEDE_VERSION_PATCH; }

}  // namespace kaede
