#pragma once
// What the updater reads from the settings store: where to fetch the postal-code archive
// from, and where the address book keeps its dictionary.
#include <string>

namespace kaede {

// The published archive, and the older LHA path on the same server that is tried when it fails.
inline constexpr const char* kDefaultZipSource = "https://www.post.japanpost.jp/zipcode/dl/kogaki/zip/ken_all.zip";
inline constexpr const char* kFallbackZipPath = "/zipcode/dl/kogaki/lzh/ken_all.lzh";

// A value of the settings file of an application key (CP932 "key=value" lines; "[section]"
// starts a section; the values of the key itself stand before the first section). Section and
// key are compared without regard to ASCII case. Empty when the file, section or key is missing
// or the file cannot be read.
std::string ReadSettingsValue(const std::string& appKey, const std::string& section, const std::string& key);

// The source of the archive: the setting "Source" of section "Option" of "KaedeZip", or the
// published address.
std::string ConfiguredZipSource();
// The same archive's path on the server of an http(s) source; empty for other sources and for
// a source that already is that path.
std::string FallbackZipSource(const std::string& source);
// The folder the dictionary goes to: the folder of the address book's program ("ExeName" of
// "KaedeAddress" when that value is set, otherwise this program's folder) when it is writable,
// otherwise the user's data folder; the address book reads from there first.
std::string ConfiguredDictionaryFolder();

}  // namespace kaede
