// Converts the national postal-code archive shipped in data/kenall/ into the dictionary the
// program is installed with, through the updater's own pipeline (unpack, check, convert, write
// the three files as one set), and records the archive's date and name beside it.
//
//   kaede_postal_dictionary ARCHIVE FOLDER DATE
#include <cstdio>
#include <string>

#include "AppPaths.h"
#include "Cp932.h"
#include "Errors.h"
#include "Files.h"
#include "KaedeZipPipelines.h"
#include "PostalDatas.h"

int main(int argc, char** argv) {
  using namespace kaede;
  if (argc != 4) {
    std::fprintf(stderr, "usage: kaede_postal_dictionary ARCHIVE FOLDER DATE\n");
    return 2;
  }
  try {
    std::string archive = FromOsPath(argv[1]);
    std::string folder = IncludeTrailingDelimiter(FromOsPath(argv[2]));
    TKaedeZipPipeline pipeline;
    pipeline.Source = archive;
    pipeline.TargetFolder = folder;
    pipeline.Force = true;  // a new archive may well be smaller than the one it replaces
    if (!pipeline.Run()) {
      std::fprintf(stderr, "kaede_postal_dictionary: %s\n", SjisToUtf8(pipeline.Status().Text).c_str());
      return 1;
    }
    std::string name = archive.substr(archive.rfind('/') + 1);
    WriteFileAtomic(folder + kPostalSourceFileName, std::string("date=") + argv[3] + "\r\nsource=" + name + "\r\n");
  } catch (const Exception& e) {
    std::fprintf(stderr, "kaede_postal_dictionary: %s\n", SjisToUtf8(e.what()).c_str());
    return 1;
  }
  return 0;
}
