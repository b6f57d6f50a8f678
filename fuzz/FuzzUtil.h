#pragma once
// Helpers of the fuzzers: a private scratch folder per process, and a check that ends the
// run (as a finding) when a property of the code under test does not hold.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "Files.h"

namespace kaede::fuzz {

// A folder that lives as long as the process (removed at exit).
inline const std::string& Scratch() {
  // never destroyed: the removal at exit still needs the name
  static const std::string* dir = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/kaede-fuzz-XXXXXX";
    if (!::mkdtemp(tmpl.data())) std::abort();
    return new std::string(tmpl);
  }();
  // (by its name on disk: the text tables are gone at exit)
  static const bool removeAtExit = (std::atexit([] {
                                      std::error_code ec;
                                      std::filesystem::remove_all(*dir, ec);
                                    }),
                                    true);
  (void)removeAtExit;
  return *dir;
}

// A CP932 file name in the scratch folder.
inline std::string ScratchFile(const char* name) { return FromOsPath(Scratch() + "/" + name); }

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

#define KAEDE_FUZZ_CHECK(cond)                                                   \
  do {                                                                           \
    if (!(cond)) {                                                               \
      std::fprintf(stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                              \
    }                                                                            \
  } while (0)

}  // namespace kaede::fuzz
