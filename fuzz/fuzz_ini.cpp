// The settings and style files: any file is read as settings (in both of its kinds) and as a
// table style and a postcard style without harm.
#include <sys/stat.h>

#include "BaseOptions.h"
#include "FuzzUtil.h"
#include "PostStyles.h"
#include "TableStyles.h"

using namespace kaede;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("XDG_CONFIG_HOME", fuzz::Scratch().c_str(), 1);
  return 0;
}

namespace {

void ReadAll(TSettingsStore& store) {
  for (const std::string& section : store.Sections())
    for (const std::string& key : store.Keys(section)) {
      (void)store.ReadString(section, key, std::string());
      (void)store.ReadInteger(section, key, 0);
      (void)store.ReadFloat(section, key, 0);
      (void)store.ReadBool(section, key, false);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string ini = fuzz::ScratchFile("style.ini");
  std::string_view text = fuzz::AsText(data, size);
  try {
    fuzz::WriteInput(ini, text);
    ReadAll(*TSettingsStore::OpenFile(ini));
    std::string registry = TSettingsStore::RegistryFileName("KaedeFuzz");
    std::string folder = registry.substr(0, registry.rfind('/'));
    ::mkdir(OsPath(folder).c_str(), 0700);
    fuzz::WriteInput(registry, text);
    ReadAll(*TSettingsStore::OpenRegistry("KaedeFuzz"));

    // style lists, and single styles from the sections of the file
    TTableStyleList tables;
    tables.ReadFromIniFile(ini);
    TPostStyleList posts;
    posts.ReadFromIniFile(ini);
    std::unique_ptr<TSettingsStore> store = TSettingsStore::OpenFile(ini);
    // (a few sections: each load reads the whole file again)
    std::vector<std::string> sections = store->Sections();
    for (size_t i = 0; i < sections.size() && i < 4; ++i) {
      TPostStyle* post = TDataItem::Make<TPostStyle>();
      post->LoadFromFile(ini, sections[i]);
      post->Free();
    }
  } catch (const Exception&) {
  }
  return 0;
}
