#pragma once
// Helpers shared by the tests: temporary folders and readable CP932 comparisons.
#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "Cp932.h"

namespace kaede::test {

// A fresh folder under the system's temporary folder, removed with its content at the end.
class TempDir {
public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "kaede-test-XXXXXX").string();
    char* p = ::mkdtemp(tmpl.data());
    if (!p) throw std::runtime_error("mkdtemp failed");
    FPath = p;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(FPath, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(FPath, ec);
  }
  // The folder's path (UTF-8, as on disk).
  const std::string& Path() const { return FPath; }
  // A CP932 file name inside the folder, built from a UTF-8 name.
  std::string File(const char* utf8Name) const { return Utf8ToSjis(FPath + "/" + utf8Name); }

private:
  std::string FPath;
};

// Points the application's settings store at a private folder for the test's lifetime.
class ConfigHome {
public:
  ConfigHome() {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    if (old) FOld = old, FHadOld = true;
    ::setenv("XDG_CONFIG_HOME", FDir.Path().c_str(), 1);
  }
  ~ConfigHome() {
    if (FHadOld) ::setenv("XDG_CONFIG_HOME", FOld.c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
  }
  // The settings file of an application key.
  std::string File(const char* appKey) const { return FDir.Path() + "/KaedeProject/" + appKey + ".ini"; }

private:
  TempDir FDir;
  std::string FOld;
  bool FHadOld = false;
};

// Shows CP932 text as UTF-8 in failure messages.
inline std::string U8(const std::string& sjis) { return SjisToUtf8(sjis); }

inline std::string SharedData(const std::string& rel) { return std::string(KAEDE_SHARED_DATA) + "/" + rel; }
inline bool HaveSharedData() { return std::filesystem::is_directory(KAEDE_SHARED_DATA); }

// The names of the files and folders in a folder, sorted.
inline std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> r;
  for (auto& e : std::filesystem::directory_iterator(folder)) r.push_back(e.path().filename().string());
  std::sort(r.begin(), r.end());
  return r;
}

}  // namespace kaede::test

// Skips the test (with a message) when the shared data folder is not there.
#define KAEDE_NEEDS_SHARED_DATA()                                                            \
  do {                                                                                       \
    if (!::kaede::test::HaveSharedData()) GTEST_SKIP() << "no shared data at " KAEDE_SHARED_DATA; \
  } while (0)

#define EXPECT_SJ_EQ(expected_utf8, actual_sjis) \
  EXPECT_EQ(std::string(expected_utf8), ::kaede::SjisToUtf8(actual_sjis))
