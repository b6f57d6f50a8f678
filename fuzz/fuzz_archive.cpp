// Archive extraction: any bytes, read as an archive of the format its first bytes tell (or of
// one chosen by the first byte), extract without harm, and never write anything but regular
// files and folders inside the output folder.
#include <sys/stat.h>

#include <filesystem>

#include "Archives.h"
#include "FuzzUtil.h"

using namespace kaede;
namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string archive = fuzz::ScratchFile("input.bin");
  static const std::string out = fuzz::ScratchFile("out");
  WriteFileAtomic(archive, fuzz::AsText(data, size));
  TArchiverType type = SniffArchiverType(fuzz::AsText(data, size));
  if (type == atNone && size > 0) {
    static const TArchiverType others[] = {atLha, atZip, atTar, atTgz, atBZ2, atCab, atRar, at7z};
    type = others[data[0] % (sizeof others / sizeof others[0])];
  }
  if (type == atNone) return 0;
  try {
    TArchiveFile file(archive);
    file.SetArchiverType(type);
    file.MaxMemberSize = 1 << 20;
    TArchiverOptions options;
    options.jso = options.jse = options.n = 1;
    file.Extract(nullptr, options, {}, out);
  } catch (const Exception&) {
  }
  // only regular files and folders, all inside the output folder; the scratch folder holds
  // nothing else
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(OsPath(out), ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    fs::file_status st = it->symlink_status();
    KAEDE_FUZZ_CHECK(fs::is_regular_file(st) || fs::is_directory(st));
  }
  for (const auto& e : fs::directory_iterator(fuzz::Scratch())) {
    std::string name = e.path().filename().string();
    KAEDE_FUZZ_CHECK(name == "input.bin" || name == "out");
  }
  RemoveTree(out);
  return 0;
}
