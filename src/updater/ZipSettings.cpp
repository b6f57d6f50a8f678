#include "ZipSettings.h"

#include "AppPaths.h"
#include "BaseOptions.h"
#include "Files.h"
#include "Strs.h"

namespace kaede {
std::string ReadSettingsValue(const std::string& appKey, const std::string& section, const std::string& key) {
  return TSettingsStore::OpenRegistry(appKey)->ReadString(section, key, std::string());
}

std::string ConfiguredZipSource() {
  std::string source = ReadSettingsValue("KaedeZip", "Option", "Source");
  return source.empty() ? kDefaultZipSource : source;
}

std::string FallbackZipSource(const std::string& source) {
  size_t scheme = source.find("://");
  if (scheme == std::string::npos) return std::string();
  std::string name = source.substr(0, scheme);
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (name != "http" && name != "https") return std::string();
  size_t path = source.find('/', scheme + 3);
  std::string server = source.substr(0, path);
  std::string fallback = server + kFallbackZipPath;
  return fallback == source ? std::string() : fallback;
}

std::string ConfiguredDictionaryFolder() {
  std::string exe = ReadSettingsValue("KaedeAddress", "", "ExeName");
  size_t slash = exe.rfind('/');
  // The address book's own rule applied to its folder, so that it reads what is written here.
  return DictionaryFolder(slash != std::string::npos ? exe.substr(0, slash + 1) : ProgramFolder());
}

}  // namespace kaede
