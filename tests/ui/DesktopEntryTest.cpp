// The desktop entry of the address book: a double-clicked book reaches the program as a path
// that it takes for a book, never for a switch.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "AppHost.h"
#include "KaedeAddressOptions.h"
#include "TestUtil.h"

using namespace kaede;

namespace {
std::string ReadSource(const std::string& rel) {
  std::ifstream in(std::string(KAEDE_SOURCE_DIR) + "/" + rel);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Value(const std::string& entry, const std::string& key) {
  size_t at = entry.find("\n" + key + "=");
  if (at == std::string::npos) return std::string();
  at += key.size() + 2;
  return entry.substr(at, entry.find('\n', at) - at);
}
}  // namespace

TEST(DesktopEntry, ADoubleClickedBookIsPassedAsAFileTheProgramOpens) {
  std::string entry = ReadSource("data/desktop/KaedeAddress.desktop");
  std::string exec = Value(entry, "Exec");
  ASSERT_NE(exec.find("%f"), std::string::npos) << exec;
  // books are a type of their own that the entry opens
  std::string mime = Value(entry, "MimeType");
  EXPECT_EQ(mime, "application/x-kaede-address-book;");
  std::string types = ReadSource("data/desktop/kaede-address-book.xml");
  EXPECT_NE(types.find("type=\"application/x-kaede-address-book\""), std::string::npos);
  EXPECT_NE(types.find("<glob pattern=\"*.kad\"/>"), std::string::npos);

  // what the desktop substitutes for %f reaches the window as a file argument
  test::ConfigHome home;
  struct THost : IAppHost {
  } host;
  SetAppHost(&host);
  std::string book = "/data/books/" + SJ("家族.kad");
  TAppOption::SetProgramArguments({"/D/tmp/kaede-desktop-test", book});
  auto* o = TDataItem::Make<TKaedeAddressOption>();
  TStrings files;
  o->OnParams = [&](const TStrings& f) { files = f; };
  o->ParseCommandLine();
  EXPECT_EQ(files, TStrings{book});
  EXPECT_EQ(o->DataPath(), "/tmp/kaede-desktop-test/");
  o->Free();
  TAppOption::SetProgramArguments({});
  SetAppHost(nullptr);
}
