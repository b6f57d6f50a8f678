#include "ZipSettings.h"

#include "AppPaths.h"
#include "CommaText.h"
#include "Files.h"
#include "Strs.h"

namespace kaede {
namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::string ReadSettingsValue(const std::string& appKey, const std::string& section, const std::string& key) {
  std::string text;
  try {
    text = ReadFileBytes(SettingsFileName(appKey));
  } catch (const Exception&) {
    return std::string();
  }
  TStrings lines;
  SplitLines(text, lines);
  std::string current;
  for (const std::string& line : lines) {
    if (!line.empty() && line[0] == '[') {
      size_t close = line.find(']');
      current = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos || !SameIgnoringCase(current, section)) continue;
    if (SameIgnoringCase(line.substr(0, eq), key)) return line.substr(eq + 1);
  }
  return std::string();
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
